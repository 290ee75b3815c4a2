// The window's way to the shop's journal, which may be a PostgreSQL server on the network: every
// call runs on a thread of its own and answers through a callback on the caller's thread. The
// link watches the connection (a notice when it is lost, again when it is back) and, whenever the
// shop is reachable, enters the orders that waited in the counter's file for their number.
#pragma once

#include "operators/audit_chain.h"
#include "storage/connection.h"
#include "storage/customer_import.h"
#include "storage/customer_store.h"
#include "storage/database_roles.h"
#include "storage/database_url.h"
#include "storage/journal.h"
#include "storage/order_book.h"

#include <QObject>

#include <functional>
#include <memory>

// How a void by hand ended: NotPermitted when the database keeps it to a manager's login.
struct VoidAnswer
{
    VoidOutcome outcome = VoidOutcome::Failed;
    StorageFault fault = StorageFault::None;
    QString message;

    bool done() const { return outcome == VoidOutcome::Done; }
    bool needsManagerLogin() const { return fault == StorageFault::NotPermitted; }
};

class ShopLink : public QObject
{
    Q_OBJECT

public:
    // Connects in the background. The settings file at settingsPath gives the lowest next invoice
    // number and is only read; the number taken last is kept in ProgramState beside localPath.
    ShopLink(const DatabaseUrl &shop, const QString &localPath, const QString &settingsPath,
             QObject *parent = nullptr);
    ~ShopLink() override;

    // Unknown until the first connection attempt ends: reachable() is then false, problem() empty.
    bool reachable() const { return isReachable; }
    QString problem() const { return lastProblem; }
    const DatabaseUrl &url() const { return shopUrl; }
    StorageFault lastNumberFault() const { return numberFault; }
    // How often a lost connection is tried again and the connection checked.
    void setCheckInterval(int msecs);

    // number 0 and the reason when no number could be had; lastNumberFault() tells its kind
    // from the moment done runs.
    void storeInvoice(const InvoiceDraft &draft, QObject *context,
                      std::function<void(qint64 number, const QString &error)> done);
    void addDocument(qint64 number, const DocumentRecord &document);
    void find(const JournalQuery &query, QObject *context,
              std::function<void(const QVector<InvoiceSummary> &, const QString &error)> done);
    void load(qint64 number, QObject *context,
              std::function<void(bool found, const InvoiceRecord &, const QString &error)> done);

    // Voids the invoice by hand (the counter's name filled in when the mark has none). With a
    // manager's login given here or before in the session, over a connection of its own with that
    // login, which the link keeps in memory once it has voided; otherwise over the shop's own.
    void voidInvoice(qint64 number, const HandVoid &mark, const DatabaseLogin &login,
                     QObject *context, std::function<void(const VoidAnswer &)> done);
    // Whether a manager's login was kept in this session.
    bool hasManagerLogin() const { return managerLoginKept; }

    // Taken orders: the order taken ("Принят", its prepayment, its number: one per order uid),
    // changed as its next revision, or read with its lines, payments and statuses. number 0, or
    // found false, with the reason when it could not be done.
    // The audit record, when operators are on, is written in the order's transaction with the
    // number it took, and its operator goes into the order's status history.
    void takeOrder(const OrderIntake &intake, QObject *context,
                   std::function<void(qint64 number, const QString &error)> done,
                   const AuditRecord &record = AuditRecord());
    void reviseOrder(qint64 number, const OrderIntake &change, QObject *context,
                     std::function<void(const OrderAnswer &answer)> done,
                     const AuditRecord &record = AuditRecord());
    void
    loadOrder(qint64 number, QObject *context,
              std::function<void(bool found, const OrderDetails &, const QString &error)> done);

    // Customers: matches for what is typed at the counter (best first), the list by name, a
    // card with its invoices (newest first), saving (stamped with this counter's name), merging
    // two cards and clearing a person's data.
    void findCustomers(const QString &text, int limit, QObject *context,
                       std::function<void(const QVector<Customer> &, const QString &error)> done);
    void listCustomers(const QString &text, QObject *context,
                       std::function<void(const QVector<Customer> &, const QString &error)> done);
    void loadCustomer(qint64 id, QObject *context,
                      std::function<void(bool found, const Customer &,
                                         const QVector<CustomerInvoice> &, const QString &error)>
                          done);
    void saveCustomer(const Customer &customer, QObject *context,
                      std::function<void(CustomerSaveResult, const Customer &saved,
                                         const QVector<CustomerProblem> &, const Customer &existing,
                                         const QString &error)>
                          done,
                      const AuditRecord &record = AuditRecord());
    // Each with its record in the audit trail in the same transaction, when one is given (see
    // changeWithRecord): both kept or neither.
    // A merge the database keeps to a manager goes over the manager's login the session gave
    // (setManagerLogin); fault tells NotPermitted when none was given.
    void mergeCustomers(qint64 keptId, qint64 goneId, QObject *context,
                        std::function<void(bool ok, const QString &error, StorageFault)> done,
                        const AuditRecord &record = AuditRecord());
    // A manager's login for the session's merges and voids; empty forgets it.
    void setManagerLogin(const DatabaseLogin &login);
    void clearPersonalData(qint64 id, QObject *context,
                           std::function<void(bool ok, const QString &error)> done,
                           const AuditRecord &record = AuditRecord());
    // A file of customers, read and checked, brought in as one (see importCustomers); error
    // tells a database that could not be reached or written.
    // With the record the right's guard gave (empty while operators are off), kept with the
    // change.
    void importCustomerFile(const CustomerFileRead &read, const AuditRecord &record,
                            QObject *context,
                            std::function<void(const CustomerImport &, const QString &error)> done);

    // The window gave up waiting for an answer: the shop counts as unreachable until a call or
    // check gets through again.
    void noteNoAnswer(const QString &problem);
    // Connects if need be and enters the waiting orders now.
    void checkNow();
    // Waits until everything asked so far has run.
    bool waitIdle(int msecs);
    // Ends the link's thread within msecs; false while a server that does not answer holds it.
    bool finish(int msecs);

signals:
    void reachabilityChanged(bool reachable, const QString &problem);
    // An order that waited in the counter's file is in the journal now.
    void waitingOrderEntered(const QString &uid, qint64 number);
    // A change's record sealed onto the audit trail: the chain's head, for the counter to keep.
    void auditSealed(const AuditHead &head);

private:
    struct State;

    void setReachable(bool reachable);
    bool ensureShop();
    // On the thread: the change with its record (stamped with this counter), in one transaction.
    bool recorded(const AuditRecord &record, const std::function<bool()> &change);
    // newValue, when given, writes the record's new value once the change is made (a number it
    // took, say).
    bool recordedOn(Connection &connection, const AuditRecord &record,
                    const std::function<bool()> &change,
                    const std::function<QString()> &newValue = {});
    void noteFailure();
    void check();
    void enterWaitingOrders();
    // On the thread: the shop's connection's error after a failed call, the connection dropped
    // if it is gone.
    QString failure();
    qint64 lowestNumber() const;
    void keepNextNumber(qint64 number) const;

    std::unique_ptr<State> state;
    DatabaseUrl shopUrl;
    bool isReachable = false;
    QString lastProblem;
    StorageFault numberFault = StorageFault::None;
    bool managerLoginKept = false;
};
