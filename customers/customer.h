// A customer of the shop as the counter, the journal and the documents know it: an organisation,
// a sole trader or a private person, with the requisites an invoice names and their discount.
#pragma once

#include <QDateTime>
#include <QString>

struct Customer
{
    enum Kind { Organisation, SoleTrader, Person };

    qint64 id = 0; // 0: not in the shop's list (nobody, or a walk-in named only for this order)
    Kind kind = Organisation;
    QString shortName;
    QString fullName;
    QString inn;
    QString kpp; // organisations only
    QString ogrn; // ОГРН of an organisation, ОГРНИП of a sole trader
    QString address;
    QString phone; // as typed; compared by its digits
    QString email;
    QString contact;
    QString bik;
    QString account;
    QString correspondentAccount;
    QString bankName;
    int discountHundredths = 0; // the discount in hundredths of a percent: 5,25 % is 525
    QString note;
    QDateTime created;
    QString createdAt; // the counter that made the card
    QDateTime changed;
    QString changedAt;
    bool personalDataCleared = false;

    // Nobody: the order has no customer.
    bool isNull() const { return id == 0 && shortName.isEmpty() && fullName.isEmpty(); }
    // The short name, or the full one where no short one is given.
    QString name() const { return shortName.isEmpty() ? fullName : shortName; }
    // The full name, or the short one where no full one is given: what the invoice's payer reads.
    QString legalName() const { return fullName.isEmpty() ? shortName : fullName; }

    friend bool operator==(const Customer &a, const Customer &b);
    friend bool operator!=(const Customer &a, const Customer &b) { return !(a == b); }
};

// "организация", "ип", "частное лицо": the words of the lists, the import and the command line.
QString customerKindWord(Customer::Kind kind);
// The kind a word names (case and "ИП" alike); false for any other word.
bool customerKindFromWord(const QString &word, Customer::Kind *kind);
