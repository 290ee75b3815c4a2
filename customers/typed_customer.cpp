// The counter's typed text sorted into a new card's fields.
#include "customers/typed_customer.h"

#include <QRegularExpression>

Customer customerFromTyped(const QString &typed)
{
    Customer customer;
    const QString text = typed.simplified();
    static const QRegularExpression inn(QStringLiteral("^(\\d{10}|\\d{12})$"));
    static const QRegularExpression phone(
        QStringLiteral("^(\\+|8)[\\d\\s()\\-]*\\d[\\d\\s()\\-]*$"));
    if (inn.match(text).hasMatch()) {
        customer.inn = text;
        customer.kind = text.size() == 10 ? Customer::Organisation : Customer::SoleTrader;
    } else if (phone.match(text).hasMatch()) {
        customer.phone = text;
        customer.kind = Customer::Person;
    } else {
        customer.shortName = text;
    }
    return customer;
}
