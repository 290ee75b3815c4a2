// The shop's journal of invoices: numbers that increase and stay unique however many counters
// take one at the same moment, each invoice with its lines, totals and documents; searches by
// number, dates and words; the lines for an export. Works on one open connection, in the calling
// thread (the window calls it through ShopLink's thread, the command line directly).
#pragma once

#include "storage/records.h"

#include <functional>

class Connection;

// An invoice voided by hand: why, and who did it where (the time is now when unset).
struct HandVoid
{
    QString reason;
    QDateTime at;
    QString counter;
    QString operatorName;
    QString approver; // the manager who allowed an operator's void
};

enum class VoidOutcome { Done, NoReason, NoSuchInvoice, AlreadyVoid, Failed };

// What the outcome tells the operator, in Russian; the connection's error for Failed.
QString voidOutcomeText(VoidOutcome outcome, qint64 number, const QString &error);
// The audit trail's old and new value of a void by hand: "счёт № 12: действителен",
// "аннулирован: REASON".
QString voidAuditOldValue(qint64 number);
QString voidAuditNewValue(const QString &reason);

struct JournalCounts
{
    int invoices = 0;
    int voided = 0;
    int lines = 0;
    int documents = 0;
    int openOrders = 0; // orders being built at counters whose file this is
    int waitingOrders = 0; // orders that made a document and wait for their number
};

class Journal
{
public:
    explicit Journal(Connection &connection);

    // Stores the order as an invoice under the next free number, at least lowestNumber, and
    // returns it; 0 on failure (the connection tells why). An order stored before keeps the
    // number it got then; while no document of it is recorded, its lines are replaced by the
    // draft's and the draft's documents added.
    qint64 storeInvoice(const InvoiceDraft &draft, qint64 lowestNumber);
    // The same inside a transaction the caller holds and commits.
    qint64 storeInvoiceWithin(const InvoiceDraft &draft, qint64 lowestNumber);
    // The draft's lines, totals and customer as the invoice's next revision, inside the caller's
    // transaction; the earlier revisions' lines stay. The new revision, 0 on failure or when there
    // is no such invoice.
    int storeRevisionWithin(qint64 number, const InvoiceDraft &draft);
    // Records a document made for the invoice. The invoice is void when documents were made and
    // none of them succeeded.
    bool addDocument(qint64 number, const DocumentRecord &document);
    // Marks the invoice void by hand: it stays in the journal, out of the sales and of what is
    // owed, whatever documents follow. Inside the caller's transaction, or one of its own.
    VoidOutcome voidByHandWithin(qint64 number, const HandVoid &mark);
    VoidOutcome voidByHand(qint64 number, const HandVoid &mark);

    QVector<InvoiceSummary> find(const JournalQuery &query, bool *ok = nullptr);
    // False when there is no such invoice or it cannot be read (then the connection has a fault).
    // The invoice with its latest revision's lines.
    bool load(qint64 number, InvoiceRecord *record);
    // The lines of one revision, from 1 (empty for a revision never made).
    bool loadLines(qint64 number, int revision, QVector<OrderLine> *lines);
    // Each line of each invoice in the dates (either may be invalid: no bound), by number.
    bool forEachLine(const QDate &from, const QDate &to,
                     const std::function<void(const InvoiceSummary &, const OrderLine &)> &visit);
    bool counts(JournalCounts *counts);

private:
    bool insertLines(qint64 number, int revision, const QVector<OrderLine> &lines);

    Connection &connection;
};
