// The orders taken after the quote, in the shop's database: each on its journal invoice, with its
// status and every change of it, its payments and what is left to pay, its revisions, the bank
// statement's payments matched to it, and the "ready" mail queued with the change (the sending is
// not done here). Works on one open connection in the calling thread, like the journal.
#pragma once

#include "order/order_status.h"
#include "storage/connection.h"
#include "storage/records.h"

#include <QDateTime>
#include <QHash>
#include <QVector>

class Connection;

// An order as the board lists it.
struct TakenOrder
{
    qint64 number = 0;
    int revision = 1;
    OrderStatus status = OrderStatus::Accepted;
    QDateTime due;
    QString note; // for production
    QString source; // "стойка", later "сайт"
    QDateTime created;
    QString counter;
    QDateTime changed; // the last change of any kind
    Customer customer; // as the latest revision of the invoice printed it
    QString phone;
    QString email;
    qint64 totalKopecks = 0;
    qint64 paidKopecks = 0;
    // A website's request still waiting for the counter: its own number, no invoice yet (number
    // 0), shown as "Заявка".
    qint64 requestNumber = 0;

    qint64 balanceKopecks() const { return totalKopecks - paidKopecks; }
    PaymentState paymentState() const { return ::paymentState(totalKopecks, paidKopecks); }
    // Due time passed and neither made nor closed.
    bool isOverdue(const QDateTime &now) const;
};
// Every member is one of Qt's relocatable types: a list of thousands grows without copying them.
Q_DECLARE_TYPEINFO(TakenOrder, Q_MOVABLE_TYPE);

struct StatusChange
{
    QDateTime time;
    QString counter;
    QString operatorName; // empty until operators exist
    bool taking = false; // the order's first status, with nothing before it
    OrderStatus from = OrderStatus::Accepted;
    OrderStatus to = OrderStatus::Accepted;
    QString reason;
};

struct QueuedMail
{
    qint64 id = 0;
    qint64 number = 0;
    QString recipient;
    QString subject;
    QString body;
    // GivenUp: failed for good (the address, or the server's final no to it), never tried again.
    enum State { Waiting = 0, Sent = 1, Failed = 2, GivenUp = 3 } state = Waiting;
    int attempts = 0;
    QDateTime nextTry;
    QString lastError;
};

// The mail's state as the board and the command line tell it: "в очереди" (with the last error
// while it will be tried again), "отправлено", or "письмо не будет отправлено: …".
QString mailStateText(const QueuedMail &mail);

struct OrderDetails
{
    TakenOrder order;
    InvoiceRecord invoice; // the latest revision's lines
    QVector<Payment> payments; // oldest first
    QVector<StatusChange> changes; // oldest first
    QVector<QueuedMail> mails;
};

// What the counter hands over on taking an order.
struct OrderIntake
{
    InvoiceDraft draft; // its uid gives the number: one per order
    QDateTime due;
    QString note;
    QString source = QStringLiteral("стойка");
    QString phone; // a walk-in's, or the card's
    QString email;
    qint64 prepaymentKopecks = 0;
    PaymentMethod prepaymentMethod = PaymentMethod::Cash;
};

// Every field set narrows the list; text finds the number, the customer's name, the phone's
// digits or the beginnings of the lines' words.
struct OrderQuery
{
    bool anyStatus = true;
    OrderStatus status = OrderStatus::Accepted;
    bool openOnly = false; // neither handed over nor cancelled
    QDate dueDay;
    bool overdueOnly = false;
    bool unpaidOnly = false; // something left to pay
    QString text;
    QDateTime now; // for overdue; the current time when invalid
    bool withRequests = false; // the website's waiting requests listed first
};

// The shop's words for the "ready" mail.
struct ShopContacts
{
    QString name;
    QString address;
    QString hours;
};

enum class OrderOutcome { Done, Refused, NotFound, Failed };

struct OrderAnswer
{
    OrderOutcome outcome = OrderOutcome::Failed;
    QString message; // in Russian: why refused, or the fault
    qint64 owedKopecks = 0; // handing over refused for money still owed
    bool mailQueued = false;
    StorageFault fault = StorageFault::None; // of a failed change

    bool done() const { return outcome == OrderOutcome::Done; }
    // The database keeps the change to a manager's login.
    bool needsManagerLogin() const { return fault == StorageFault::NotPermitted; }
};

struct StatementLine
{
    enum Kind {
        PaidInFull,
        PartlyPaid,
        Overpaid,
        NotMatched,
        AlreadyImported,
        NotIncoming,
        ZeroAmount // incoming, but for 0.00: nothing to store
    };
    Kind kind = NotMatched;
    int line = 0; // where the document starts in the file
    QString documentNumber;
    QDate date;
    qint64 kopecks = 0;
    QString payer;
    qint64 invoiceNumber = 0; // matched, or named by the purpose
    qint64 balanceKopecks = 0; // after the payment: above zero still owed, below zero overpaid
    QString why; // not matched: what failed
    QString purpose;
    QDate received;
    QString identity; // what makes two imports of one document one
};

struct StatementReport
{
    bool read = false; // false: the file was refused and nothing changed
    QString problem;
    QVector<StatementLine> lines;

    int count(StatementLine::Kind kind) const;
};

// "Строка 12: п/п № 15 от 03.03.2026 на 1200.00 от ООО «Ромашка» — счёт № 1042 оплачен
// полностью." and the like, one per document.
QString statementLineText(const StatementLine &line);
QString statementSummaryText(const StatementReport &report);

class OrderBook
{
public:
    explicit OrderBook(Connection &connection);

    void setShopContacts(const ShopContacts &contacts) { shop = contacts; }
    // The shop's tax as the settings give it: from then on every draft taken or revised here is
    // stored with the rule of its day (its created time), whatever tax it carried.
    void setTaxSettings(const TaxSettings &settings)
    {
        tax = settings;
        hasTax = true;
    }
    // Who makes the changes that follow, kept with each status change; empty while operators are
    // off.
    void setOperatorName(const QString &name) { operatorName = name; }

    // Takes the order with status Принят: the invoice number through the journal (one per
    // order uid), the first status, the prepayment; all or nothing. Taking it again gives the same
    // number and changes nothing. 0 on failure (the connection tells why) or when refused
    // (refusal() tells why: cash with no shift open).
    qint64 take(const OrderIntake &intake, qint64 lowestNumber);
    // Why the last take was refused; empty when it was not.
    QString refusal() const { return refused; }
    // Cash goes into a shift's drawer: at a counter that keeps shifts, only while one is open
    // there since the time given. The reason in Russian when refused, empty when allowed; false
    // when it cannot be read.
    bool cashRefusal(const QString &counter, const QDateTime &time, QString *reason);
    // How that refusal begins, so that the window can offer to open the shift.
    static QString shiftRefusalStart();
    // The order's change as its next revision: lines, totals, customer, due and note; number,
    // payments and status kept. Refused for a handed over or cancelled order.
    OrderAnswer revise(qint64 number, const OrderIntake &change);

    // The board's columns of each order found, and no more: number, status, due, the customer's
    // name (as shortName: the short one, or the full one where there is none), phone, total, paid
    // and source; the rest (revision, note, times, counter, e-mail, the customer's requisites)
    // comes with load().
    QVector<TakenOrder> list(const OrderQuery &query, bool *ok = nullptr);
    bool load(qint64 number, OrderDetails *details);

    // The rules of statusChangeProblem; Отменён needs a reason; handing over with money owed is
    // refused (owedKopecks set) unless forced. A change to Готов queues the mail when the
    // customer has an e-mail, in the same transaction.
    OrderAnswer changeStatus(qint64 number, OrderStatus to, const QString &reason, bool force,
                             const QString &counter, const QDateTime &when);
    // A payment (below zero a refund, which needs a reason and no more than was paid).
    OrderAnswer addPayment(qint64 number, const Payment &payment);

    // The statement read whole, then its incoming documents to the account matched and stored in
    // one transaction; a malformed file (or a failure) changes nothing.
    StatementReport importStatement(const QByteArray &bytes, const QString &account,
                                    const QString &counter, const QDateTime &when);

    // A statement's document that matched no order, paid to the order the operator names, as
    // the import would have stored it: importing the statement again counts it as imported.
    OrderAnswer matchByHand(qint64 number, const StatementLine &line, const QString &counter,
                            const QDateTime &when);

    QVector<QueuedMail> mails(qint64 number, bool *ok = nullptr);
    // Every order's latest mail, by the order's number.
    QHash<qint64, QueuedMail> latestMails(bool *ok = nullptr);

    // On PostgreSQL every change of an order is announced on this channel when its transaction
    // commits, the order's number as the payload (none for a statement), so that the other
    // counters' boards follow.
    static QString changeChannel() { return QStringLiteral("order_changed"); }

private:
    bool announce(qint64 number);
    bool insertPayment(qint64 number, const Payment &payment, const QString &statementDocument,
                       const QDateTime &changedAt);
    bool insertChange(qint64 number, const StatusChange &change);
    bool readOrder(qint64 number, bool forUpdate, TakenOrder *order, bool *found);

    InvoiceDraft withTax(const InvoiceDraft &draft) const;

    Connection &connection;
    QString refused;
    ShopContacts shop;
    TaxSettings tax;
    bool hasTax = false;
    QString operatorName;
};
