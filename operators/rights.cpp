// The rights of each role.
#include "operators/rights.h"

QString roleWord(Role role)
{
    switch (role) {
    case Role::Operator:
        return QStringLiteral("operator");
    case Role::Manager:
        return QStringLiteral("manager");
    case Role::Owner:
        return QStringLiteral("owner");
    }
    return QString();
}

QString roleCaption(Role role)
{
    switch (role) {
    case Role::Operator:
        return QStringLiteral("Оператор");
    case Role::Manager:
        return QStringLiteral("Менеджер");
    case Role::Owner:
        return QStringLiteral("Владелец");
    }
    return QString();
}

bool roleFromWord(const QString &word, Role *role)
{
    const QString text = word.trimmed().toLower();
    for (Role each : {Role::Operator, Role::Manager, Role::Owner}) {
        if (text == roleWord(each) || text == roleCaption(each).toLower()) {
            *role = each;
            return true;
        }
    }
    return false;
}

Role roleNeeded(Action action)
{
    switch (action) {
    case Action::Price:
    case Action::TakeOrder:
    case Action::MakeDocument:
    case Action::TakePayment:
    case Action::MoveStatus:
    case Action::OpenCloseShift:
    case Action::CashIn:
        return Role::Operator;
    case Action::SavePriceVersion:
    case Action::VoidInvoice:
    case Action::CancelOrder:
    case Action::Refund:
    case Action::HandOverOwing:
    case Action::DiscountAboveCap:
    case Action::PriceBelowList:
    case Action::MergeOrClearCustomers:
    case Action::ChangeSettings:
    // Cash taken out of the drawer leaves no sale behind it: a manager answers for it.
    case Action::CashOut:
        return Role::Manager;
    case Action::ManageOperators:
    case Action::ViewAudit:
    case Action::ViewReports:
        return Role::Owner;
    }
    return Role::Owner;
}

Decision decisionFor(Role role, Action action)
{
    const Role needed = roleNeeded(action);
    if (static_cast<int>(role) >= static_cast<int>(needed))
        return Decision::Allowed;
    return needed == Role::Owner ? Decision::AsksOwner : Decision::AsksManager;
}

QString actionCaption(Action action)
{
    switch (action) {
    case Action::Price:
        return QStringLiteral("расчёт цены");
    case Action::TakeOrder:
        return QStringLiteral("приём заказа");
    case Action::MakeDocument:
        return QStringLiteral("документ");
    case Action::TakePayment:
        return QStringLiteral("оплата");
    case Action::MoveStatus:
        return QStringLiteral("смена статуса");
    case Action::SavePriceVersion:
        return QStringLiteral("версия прайс-листа");
    case Action::VoidInvoice:
        return QStringLiteral("аннулирование счёта");
    case Action::CancelOrder:
        return QStringLiteral("отмена заказа");
    case Action::Refund:
        return QStringLiteral("возврат денег");
    case Action::HandOverOwing:
        return QStringLiteral("выдача с долгом");
    case Action::DiscountAboveCap:
        return QStringLiteral("скидка выше предела");
    case Action::PriceBelowList:
        return QStringLiteral("цена ниже прайс-листа");
    case Action::MergeOrClearCustomers:
        return QStringLiteral("объединение или очистка клиентов");
    case Action::ChangeSettings:
        return QStringLiteral("изменение настроек");
    case Action::ManageOperators:
        return QStringLiteral("операторы");
    case Action::ViewAudit:
        return QStringLiteral("журнал действий");
    case Action::ViewReports:
        return QStringLiteral("отчёты");
    case Action::OpenCloseShift:
        return QStringLiteral("открытие или закрытие смены");
    case Action::CashIn:
        return QStringLiteral("внесение в кассу");
    case Action::CashOut:
        return QStringLiteral("изъятие из кассы");
    }
    return QString();
}
