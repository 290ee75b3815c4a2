// Who may do what at the counter: the three roles, the actions that need a right, and whether a
// role takes the action itself or asks a manager's approval on the spot.
#pragma once

#include <QString>

enum class Role { Operator, Manager, Owner };

// "operator", "manager", "owner" as the command line writes them; "Оператор", "Менеджер",
// "Владелец" as the window shows them.
QString roleWord(Role role);
QString roleCaption(Role role);
bool roleFromWord(const QString &word, Role *role);

enum class Action {
    Price,
    TakeOrder,
    MakeDocument,
    TakePayment,
    MoveStatus,
    SavePriceVersion,
    VoidInvoice,
    CancelOrder,
    Refund,
    HandOverOwing,
    DiscountAboveCap,
    PriceBelowList,
    MergeOrClearCustomers,
    ChangeSettings,
    ManageOperators,
    ViewAudit,
    ViewReports,
    OpenCloseShift,
    CashIn,
    CashOut
};

enum class Decision { Allowed, AsksManager, AsksOwner };

// What happens when an operator of this role takes the action: done, or done once a manager (or
// the owner) approves with their PIN.
Decision decisionFor(Role role, Action action);
// The least role that takes the action itself.
Role roleNeeded(Action action);
// What the action is, in the words of the audit trail and of the approval's question.
QString actionCaption(Action action);
