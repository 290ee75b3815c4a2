// The customer's kind words and comparison.
#include "customers/customer.h"

bool operator==(const Customer &a, const Customer &b)
{
    return a.id == b.id && a.kind == b.kind && a.shortName == b.shortName
        && a.fullName == b.fullName && a.inn == b.inn && a.kpp == b.kpp && a.ogrn == b.ogrn
        && a.address == b.address && a.phone == b.phone && a.email == b.email
        && a.contact == b.contact && a.bik == b.bik && a.account == b.account
        && a.correspondentAccount == b.correspondentAccount && a.bankName == b.bankName
        && a.discountHundredths == b.discountHundredths && a.note == b.note
        && a.personalDataCleared == b.personalDataCleared;
}

QString customerKindWord(Customer::Kind kind)
{
    switch (kind) {
    case Customer::Organisation:
        return QStringLiteral("организация");
    case Customer::SoleTrader:
        return QStringLiteral("ип");
    case Customer::Person:
        return QStringLiteral("частное лицо");
    }
    return QString();
}

bool customerKindFromWord(const QString &word, Customer::Kind *kind)
{
    const QString folded = word.simplified().toLower();
    for (Customer::Kind each : {Customer::Organisation, Customer::SoleTrader, Customer::Person}) {
        if (folded == customerKindWord(each)) {
            *kind = each;
            return true;
        }
    }
    return false;
}
