// The statement a bank client exports for accounting (a text file of Key=value lines, sections
// for the account and for each document), read whole before anything is done with it, and the
// invoice number a payer wrote into the purpose.
#pragma once

#include <QDate>
#include <QString>
#include <QVector>

struct StatementDocument
{
    int line = 0; // where its section starts in the file, from 1
    QString kind; // "Платежное поручение", "Банковский ордер", …
    QString number;
    QDate date;
    qint64 kopecks = 0;
    QString payerName;
    QString payerInn;
    QString payerKpp;
    QString payerAccount;
    QString recipientAccount;
    QString recipientInn;
    QDate received; // ДатаПоступило: money came in
    QDate writtenOff; // ДатаСписано: money went out
    QString purpose;

    // Money received on this account.
    bool isIncomingTo(const QString &account) const;
    // What makes two imports of one document one: number, date, amount and payer.
    QString identity() const;
};

struct BankStatement
{
    QString version; // ВерсияФормата
    QString encoding; // as the header names it
    QVector<StatementDocument> documents;
};

// False with the line and what is wrong ("Строка 12: …") for a file that is not such a statement
// or is broken; nothing is returned then.
bool readBankStatement(const QByteArray &bytes, BankStatement *statement, QString *problem);

// The invoice or order number a purpose names ("счёт № 1042", "сч.05.12.2026 №1042", "по заказу
// клиента № 1042", a bare "№ 1042"), 0 when it names none; a date is never read as one.
qint64 invoiceNumberInPurpose(const QString &purpose);
