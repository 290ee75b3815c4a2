// The orders board's way to the taken orders: a connection of its own on a thread of its own, so
// that the board never waits on the disk or the network, each call answering through a callback
// on the caller's thread. On PostgreSQL it listens for the other counters' changes and says so.
#pragma once

#include "operators/audit_chain.h"
#include "storage/connection.h"
#include "storage/database_roles.h"
#include "storage/database_url.h"
#include "storage/order_book.h"
#include "storage/web_requests.h"

#include <QObject>

#include <functional>
#include <memory>

// What confirming a website's request takes from the settings at that moment: the invoice
// numbers' start and the shop's tax.
struct RequestTerms
{
    qint64 lowestNumber = 1;
    bool hasTax = false;
    TaxSettings tax;
    RequestCard card; // whose order it becomes
};

// What the board lists at once: the orders of a view and each one's latest mail.
struct BoardList
{
    QVector<TakenOrder> orders;
    QHash<qint64, QueuedMail> mails;
};

class OrdersLink : public QObject
{
    Q_OBJECT

public:
    // counter names this PC in what it stores; the contacts go into the "ready" mail.
    OrdersLink(const DatabaseUrl &shop, const QString &counter, const ShopContacts &contacts,
               QObject *parent = nullptr);
    ~OrdersLink() override;

    QString counter() const { return counterName; }

    void list(const OrderQuery &query, QObject *context,
              std::function<void(const BoardList &, const QString &error)> done);
    void load(qint64 number, QObject *context,
              std::function<void(bool found, const OrderDetails &, const QString &error)> done);
    // A change and its record in the audit trail are kept together or not at all; a record that
    // names nothing done (operators off) is not written. The operator the record names makes the
    // change.
    void changeStatus(qint64 number, OrderStatus to, const QString &reason, bool force,
                      QObject *context, std::function<void(const OrderAnswer &)> done,
                      const AuditRecord &record = AuditRecord());
    void addPayment(qint64 number, const Payment &payment, QObject *context,
                    std::function<void(const OrderAnswer &)> done,
                    const AuditRecord &record = AuditRecord());
    // The file read there too; account is the shop's settlement account.
    void importStatement(const QString &path, const QString &account, QObject *context,
                         std::function<void(const StatementReport &)> done);
    void matchByHand(qint64 number, const StatementLine &line, QObject *context,
                     std::function<void(const OrderAnswer &)> done);
    // The website's request taken as an order with status Принят (its invoice number from
    // terms' lowest number up); invoice 0 with the reason when refused or failed.
    // Each with its audit record, kept with the decision or not at all.
    void confirmRequest(qint64 request, const RequestTerms &terms, QObject *context,
                        std::function<void(qint64 invoice, const QString &error)> done,
                        const AuditRecord &record = AuditRecord());
    void cancelRequest(qint64 request, const QString &reason, QObject *context,
                       std::function<void(bool done, const QString &error)> done,
                       const AuditRecord &record = AuditRecord());
    // The request whole, with its lines priced by the website.
    void loadRequest(qint64 request, QObject *context,
                     std::function<void(bool found, const WebRequestRecord &)> done);
    // The request with the stored cards its phone or e-mail names; found false with the reason.
    void requestCards(qint64 request, QObject *context,
                      std::function<void(bool found, const WebRequestRecord &,
                                         const QVector<Customer> &cards, const QString &error)>
                          done);

    // What the database keeps to a manager (a refund, a cancel, handing over with a debt) is
    // tried again over this login when the board's own is refused; empty forgets it.
    void setManagerLogin(const DatabaseLogin &login);

    // Waits until everything asked so far has run.
    bool waitIdle(int msecs);
    // Ends the thread within msecs; false while a server that does not answer holds it.
    bool finish(int msecs);

signals:
    // An order changed: through this link (once its change is stored) or, on PostgreSQL, on
    // another counter.
    void ordersChanged();
    // Listening for the other counters' changes started (after each connection).
    void listening();
    // A change's record sealed onto the audit trail: the chain's head, for the counter to keep.
    void auditSealed(const AuditHead &head);

private:
    struct State;
    // On the thread: the connection, opened (and listening) if need be; false with the reason.
    bool ensureOpen(QString *error);
    // On the thread: a connection that is gone is dropped, to be opened again by the next call.
    void noteFailure();
    void changed();
    // On the thread: the change with its record, in one transaction; over the manager's login
    // when the board's is refused and the session gave one.
    OrderAnswer recorded(const AuditRecord &record,
                         const std::function<OrderAnswer(Connection &)> &change);
    OrderAnswer recordedOn(Connection &connection, const AuditRecord &record,
                           const std::function<OrderAnswer(Connection &)> &change);
    // The same for a request's decision: true when it and its record are kept.
    bool decided(Connection &connection, const AuditRecord &record,
                 const std::function<bool()> &change);

    std::unique_ptr<State> state;
    QString counterName;
};
