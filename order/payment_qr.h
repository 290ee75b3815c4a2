// The text of an invoice's payment QR code, as banking apps read it: the "ST00012" header (UTF-8),
// then the payee's requisites, the sum in kopecks and the purpose, "|" between the fields.
#pragma once

#include <QDate>
#include <QString>

struct Payee
{
    QString name;
    QString inn;
    QString kpp;
    QString bankName;
    QString bik;
    QString settlementAccount;
    QString corrAccount; // empty where the bank has none
};

struct PaymentRequest
{
    Payee payee;
    qint64 sumKopecks = 0;
    QString purpose;
    QString payerInn; // the customer's, where the invoice names one
    QString documentNumber;
    QDate documentDate;
};

// The code's text; empty, with the reason in Russian, when a mandatory field is missing or fails
// its check (then the invoice is printed without a code).
QString paymentQrText(const PaymentRequest &request, QString *problem = nullptr);

// "Оплата по счёту № 1042 от 09.12.2026", then the tax note: ", НДС не облагается" without tax,
// else ", в т.ч. НДС 22 % — 1 234,56 руб.".
QString invoicePaymentPurpose(qint64 number, const QDate &date, bool taxExempt, int ratePercent,
                              qint64 taxKopecks);
