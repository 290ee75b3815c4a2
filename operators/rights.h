// Who may do what at the counter: the three roles, the actions that need a right, and whether a
// role takes the action itself or asks a manager's approval on the spot.
#pragma once

#include "operators/audit_chain.h"

#include <QString>

#include <functional>

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

// A dialog's way to the window's rights: go runs once the action may be taken (at once, or once a
// manager approved it on the spot), never when refused, with the record the change is to leave in
// the audit trail: the operator, the approver, what is done; nothing named done while operators
// are off. The dialog writes it with its change, so that a change that fails leaves none.
using RightGuard = std::function<void(Action action, const QString &what,
                                      std::function<void(const AuditRecord &record)> go)>;
