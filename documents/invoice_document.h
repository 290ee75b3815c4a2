// The invoice as a document: the shop's requisites, the number and date, the order's lines, and
// every text the page shows, computed without any paint device. The sums are those of the
// spreadsheet invoice, shown as Calc shows them.
#pragma once

#include "customers/customer.h"
#include "order/invoice_foot.h"
#include "order/order_line.h"
#include "order/payment_qr.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVector>

// The shop as its invoices name it. Empty director or accountant leave a blank to sign by hand.
struct ShopRequisites
{
    QString name;
    QString address;
    QString taxNumbers;
    QString bank;
    QString account;
    QString director;
    QString accountant;
    // The requisites as fields of their own; empty in a file that has only the free-text lines
    // above, whose documents then print those lines as before.
    QString inn;
    QString kpp;
    QString ogrn;
    QString bankName;
    QString bik;
    QString settlementAccount;
    QString corrAccount;

    // The texts of the sample spreadsheet template.
    static ShopRequisites sample();
    // Whether any requisite is set as a field of its own: the documents then print the bank
    // table of the Russian form instead of the free-text lines.
    bool structured() const;
    Payee payee() const;
    friend bool operator==(const ShopRequisites &a, const ShopRequisites &b);
};

struct InvoiceDocument
{
    ShopRequisites shop;
    QString number; // empty while the order has none: the invoice then reads "б/н"
    int revision = 1; // a taken order changed: "№ 1042 (изм. 2)"
    QDate date;
    int validityDays = 5;
    QVector<OrderLine> lines;
    Customer payer; // nobody: the payer's line is left blank to fill by hand
    TaxSettings tax; // the shop's; the invoice's date picks the rule in force
    QDate actDate; // the date of the act made before; invalid: the invoice's date

    // The foot's terms: the payer's discount and the tax of the invoice's day.
    FootTerms footTerms() const;

    // "1042", "1042 (изм. 2)"; empty without a number.
    QString numberText() const;
    // "Счёт № 12 от 09.12.2026", "Счёт № 1042 (изм. 2) от 09.12.2026", "Счёт б/н от 09.12.2026"
    QString title() const;
    QDate validUntil() const { return date.addDays(validityDays); }
    // "Счёт-12-2026-12-09.pdf", "Счёт-1042-изм-2-2026-12-09.pdf", "Счёт-б-н-2026-12-09.pdf"
    QString fileName() const;
    // The heading of the Russian form: "Счёт на оплату № 12 от 09 декабря 2026 г."
    QString formTitle() const;
    // The act of the work done takes the invoice's number: "Акт выполненных работ № 12 от 09
    // декабря 2026 г.", "Акт-12-2026-12-09.pdf"; its date is the invoice's unless an act of
    // another date was made before.
    QDate actDay() const { return actDate.isValid() ? actDate : date; }
    QString actTitle() const;
    QString actFileName() const;
    // The payment code's text (the "Всего", the purpose with the tax of the foot, the payer's
    // ИНН); empty for free-text requisites, or with the reason when a requisite fails its check.
    QString paymentCode(QString *problem = nullptr) const;
};

// The shop or the payer in one line as the Russian form names them: "ООО «Ясный лист», ИНН
// 7707083893, КПП 770701001, 000000, г. Энск, ул. Печатников, д. 1"; with `registration` the
// ОГРН and the bank account too, as an act lists the executor.
QString supplierText(const ShopRequisites &shop, bool registration = false);
// "09 декабря 2026 г."
QString longDateText(const QDate &date);
// What the operator is told when a job ticket is asked for a number that is no taken order:
// `invoiceStored` when the journal holds an invoice of that number.
QString ticketRefusal(qint64 number, bool invoiceStored);

// The job ticket for production: the order's number, who and when, every line with its options
// and key, the note; the number is also a QR code for the production desk.
struct JobTicket
{
    qint64 number = 0;
    QDateTime created;
    QDateTime due; // invalid: no due time given
    QString customer; // the name as the order prints it; empty for a walk-in without one
    QString phone;
    QString note;
    QString shopName;
    QVector<OrderLine> lines;

    // "Заказ-наряд № 1042"
    QString title() const;
    // "Заказ-наряд-1042.pdf"
    QString fileName() const;
    // What the code says: the order's number alone, as the desk's scanner types it.
    QString codeText() const { return QString::number(number); }
};

// One line of the invoice's table as it is printed.
struct InvoiceRowTexts
{
    QString number, description, quantity, price, sum;
};

// One row of the foot as printed: "Скидка 5 %" and "−660,00"; a dash where there is no amount.
struct InvoiceFootTexts
{
    QString caption, amount;
    bool total = false;
};

// The table and the summary as printed.
struct InvoiceTexts
{
    QVector<InvoiceRowTexts> rows;
    QVector<InvoiceFootTexts> foot;
    QString subtotal, tax, total;
    // "Всего наименований 3, на сумму 13 203,15 руб." and the same total in words.
    QString countLine, totalInWords;
};

InvoiceTexts invoiceTexts(const QVector<OrderLine> &lines, const FootTerms &terms = FootTerms());
InvoiceTexts invoiceTexts(const InvoiceDocument &document);
// "Плательщик: ООО «Ромашка», ИНН 7707083893, КПП 770701001", or the blank to fill by hand.
QString payerLineText(const Customer &payer);

// A sum as the sheet's money format shows it: "13 203,15", "132,00" (no-break spaces between
// digit groups).
QString invoiceSum(double value);
// A quantity or price from the order table: a number in the same Russian form with at least
// `minDecimals` decimals ("1 000", "2,50", "0,0345"), a text that is no number as it stands.
QString invoiceAmount(const QString &text, int minDecimals);
