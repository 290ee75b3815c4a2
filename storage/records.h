// What the journal and the counter's file hold, as values: invoices with their lines and
// documents, stored orders, and a journal search.
#pragma once

#include "customers/customer.h"
#include "order/invoice_foot.h"
#include "order/order_line.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVector>

struct DocumentRecord
{
    QString kind; // "export", "pdf", "print"; the invoice's act: "act-pdf", "act-print"
    QDateTime made;
    bool succeeded = false;
    QString path; // the file written, for a PDF whose path is known
    QString counter;
    QString operatorName; // empty while the shop has no operators
    QDate actDate; // an act's date, which every later copy of it keeps

    bool isAct() const;
};

// One document of an invoice as the journal lists it: "Счёт в PDF, 09.12.2026 15:01, стойка-1",
// "Акт № 12 от 09.12.2026 в PDF, 10.12.2026 09:05, стойка-2, Иванова: /pdf/Акт-12-….pdf".
QString documentText(qint64 number, const DocumentRecord &document);

// An order about to become an invoice. The order's uid makes storing it twice harmless: the second
// time gives back the number of the first.
struct InvoiceDraft
{
    QString orderUid;
    QDateTime created;
    QString counter;
    QString templatePath;
    QVector<OrderLine> lines;
    QVector<DocumentRecord> documents; // made before the number came (the shop was unreachable)
    // Who the invoice is for (null: nobody). The invoice keeps its id, names, ИНН, КПП, address
    // and discount as printed, whatever becomes of the card later.
    Customer customer;
    // The shop's tax the invoice is made with (the rule of its day); the journal keeps it, and
    // the foot's totals computed with it and the customer's discount.
    TaxRule taxRule;
    bool taxGiven = false; // false: the old rows ("18%")
};

struct InvoiceSummary
{
    qint64 number = 0;
    QDateTime created;
    QString counter;
    int lineCount = 0;
    double subtotal = 0.0;
    double tax = 0.0;
    double total = 0.0;
    QString templatePath;
    bool isVoid = false;
    // Voided by hand: why, when, where and by whom (empty reason: not by hand).
    QString voidReason;
    QDateTime voidedAt;
    QString voidedCounter;
    QString voidedBy;
    QString voidedApprover;
    int revision = 1; // the lines' latest revision; the earlier ones stay in the journal
    // As the invoice printed it: id, short and full name, ИНН, КПП, address, discount.
    Customer customer;
    // The tax the invoice was made with; an invoice stored before the journal kept it has
    // taxStored false, and its documents take the settings' rule of its day.
    TaxRule taxRule;
    bool taxGiven = false;
    bool taxStored = false;
};

struct InvoiceRecord
{
    InvoiceSummary summary;
    QVector<OrderLine> lines;
    QVector<DocumentRecord> documents;
    Customer customer; // the same as summary.customer

    // The date of the act made before, the one a copy repeats; invalid while none was made.
    QDate actDate() const;
};

// Every field that is set narrows the search; words match the beginnings of the descriptions'
// words, all of them, in any case.
struct JournalQuery
{
    qint64 number = 0;
    QDate from;
    QDate to;
    QString words;
    qint64 customerId = 0; // the invoices of this customer's card
    int limit = 500; // 0: every invoice found
};

enum class OrderState { Open = 0, Numbered = 1, Discarded = 2, Waiting = 3, Restored = 4 };

struct StoredOrder
{
    QString uid;
    QString counter;
    QDateTime started;
    QDateTime changed;
    OrderState state = OrderState::Open;
    qint64 invoiceNumber = 0;
    QString templatePath;
    int lineCount = 0;
    QVector<OrderLine> lines; // filled by OrderStore::load and waiting()
    QVector<DocumentRecord> documents;
    Customer customer; // as chosen at the counter, whole, so that a restore needs no shop
};

// The settings' tax rule of the draft's day (its creation), the one its documents print with.
void setTaxOfItsDay(InvoiceDraft *draft, const TaxSettings &settings);
// What the draft's foot is computed with: its customer's discount and its tax.
FootTerms footTerms(const InvoiceDraft &draft);
// What the invoice was made with: its stored tax; one stored before the journal kept it takes the
// settings' rule of its day.
FootTerms footTerms(const InvoiceSummary &invoice, const TaxSettings &settings);

// Dates in the database: text that sorts as time does, the same on SQLite and PostgreSQL.
QString storedTime(const QDateTime &time);
QDateTime readStoredTime(const QString &text);
// The words of a search, lower case, as the word index splits them.
QStringList searchWords(const QString &text);
// A customer as one text for the counter's file, and back (null for an empty or broken text).
QString customerText(const Customer &customer);
Customer readCustomerText(const QString &text);

// The invoice number a document carries: ok false (number 0) with the reason when none could be
// had; the document then goes out without a number.
struct DocumentNumber
{
    bool ok = false;
    qint64 number = 0;
    QDateTime date;
    QString reason;
    QString orderUid; // the order the number was asked for
    int revision = 1; // a taken order's change: its documents read "№ 1042 (изм. 2)"
};
