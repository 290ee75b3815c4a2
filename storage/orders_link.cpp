// The board's thread: one connection to the shop, subscribed on PostgreSQL to the channel every
// change of an order is announced on.
#include "storage/orders_link.h"

#include "storage/audit_log.h"
#include "storage/connection.h"
#include "storage/database_thread.h"

#include <QFile>
#include <QPointer>
#include <QSqlDriver>
#include <QSqlError>

struct OrdersLink::State
{
    State()
        : thread(QStringLiteral("printcalc-orders"))
    { }

    // Touched on the thread only.
    DatabaseUrl url;
    ShopContacts contacts;
    Connection shop;
    // A manager's login the session gave, for what the database keeps to managers, and its
    // connection, opened when first needed.
    DatabaseLogin manager;
    Connection managerShop;
    // Last, so that it ends first: its final task closes the connection on the thread.
    DatabaseThread thread;
};

OrdersLink::OrdersLink(const DatabaseUrl &shop, const QString &counter,
                       const ShopContacts &contacts, QObject *parent)
    : QObject(parent)
    , state(new State)
    , counterName(counter)
{
    State *s = state.get();
    s->thread.post([s, shop, contacts] {
        s->url = shop;
        s->contacts = contacts;
    });
    s->thread.setFinalTask([s] {
        s->shop.close();
        s->managerShop.close();
    });
    // Connects and listens at once, so that a change made before the first list is heard.
    s->thread.post([this] {
        QString error;
        ensureOpen(&error);
    });
}

OrdersLink::~OrdersLink()
{
    state->thread.finish(DatabaseThread::LastWaitMs);
}

bool OrdersLink::ensureOpen(QString *error)
{
    State *s = state.get();
    if (s->shop.isOpen()) {
        s->shop.clearFault();
        return true;
    }
    if (!s->shop.open(s->url, QStringLiteral("orders"))) {
        *error = s->shop.errorText();
        return false;
    }
    if (!s->shop.isSqlite()) {
        QSqlDriver *driver = s->shop.database().driver();
        // The driver lives on this thread: its notifications come here, and go to the window.
        QObject::connect(
            driver,
            qOverload<const QString &, QSqlDriver::NotificationSource, const QVariant &>(
                &QSqlDriver::notification),
            s->thread.context(),
            [this](const QString &, QSqlDriver::NotificationSource, const QVariant &) {
                QMetaObject::invokeMethod(
                    this, [this] { emit ordersChanged(); }, Qt::QueuedConnection);
            });
        if (driver->subscribeToNotification(OrderBook::changeChannel()))
            QMetaObject::invokeMethod(
                this, [this] { emit listening(); }, Qt::QueuedConnection);
        else
            qWarning("the orders board does not hear the other counters: %s",
                     qPrintable(driver->lastError().text()));
    }
    return true;
}

void OrdersLink::noteFailure()
{
    State *s = state.get();
    const StorageFault fault = s->shop.fault();
    if (fault == StorageFault::Unreachable || fault == StorageFault::WrongPassword
        || fault == StorageFault::Corrupt || fault == StorageFault::DiskFull)
        s->shop.close();
}

void OrdersLink::changed()
{
    QMetaObject::invokeMethod(
        this, [this] { emit ordersChanged(); }, Qt::QueuedConnection);
}

void OrdersLink::list(const OrderQuery &query, QObject *context,
                      std::function<void(const BoardList &, const QString &)> done)
{
    State *s = state.get();
    QPointer<QObject> target(context);
    s->thread.post([this, s, query, target, done = std::move(done)] {
        BoardList found;
        QString error;
        if (ensureOpen(&error)) {
            OrderBook book(s->shop);
            bool listed = false, mailed = false;
            bool requested = true;
            if (query.withRequests)
                found.orders = waitingRequestRows(s->shop, query.text, &requested);
            if (requested)
                found.orders += book.list(query, &listed);
            if (listed)
                found.mails = book.latestMails(&mailed);
            if (!listed || !mailed) {
                error = s->shop.errorText();
                noteFailure();
            }
        }
        replyTo(target, [done, found, error] { done(found, error); });
    });
}

void OrdersLink::load(qint64 number, QObject *context,
                      std::function<void(bool, const OrderDetails &, const QString &)> done)
{
    State *s = state.get();
    QPointer<QObject> target(context);
    s->thread.post([this, s, number, target, done = std::move(done)] {
        OrderDetails details;
        QString error;
        bool found = false;
        if (ensureOpen(&error)) {
            s->shop.clearFault();
            found = OrderBook(s->shop).load(number, &details);
            if (!found && s->shop.fault() != StorageFault::None) {
                error = s->shop.errorText();
                noteFailure();
            }
        }
        replyTo(target, [done, found, details, error] { done(found, details, error); });
    });
}

void OrdersLink::changeStatus(qint64 number, OrderStatus to, const QString &reason, bool force,
                              QObject *context, std::function<void(const OrderAnswer &)> done,
                              const AuditRecord &record)
{
    State *s = state.get();
    QPointer<QObject> target(context);
    AuditRecord stamped = record;
    stamped.counter = counterName;
    s->thread.post([this, s, number, to, reason, force, stamped, target, done = std::move(done)] {
        OrderAnswer answer;
        if (ensureOpen(&answer.message)) {
            answer = recorded(stamped, [&](Connection &connection) {
                OrderBook book(connection);
                book.setShopContacts(s->contacts);
                book.setOperatorName(stamped.operatorName);
                return book.changeStatus(number, to, reason, force, stamped.counter, QDateTime());
            });
        }
        if (answer.done())
            changed();
        replyTo(target, [done, answer] { done(answer); });
    });
}

void OrdersLink::addPayment(qint64 number, const Payment &payment, QObject *context,
                            std::function<void(const OrderAnswer &)> done,
                            const AuditRecord &record)
{
    State *s = state.get();
    QPointer<QObject> target(context);
    Payment stamped = payment;
    stamped.counter = counterName;
    AuditRecord note = record;
    note.counter = counterName;
    s->thread.post([this, s, number, stamped, note, target, done = std::move(done)] {
        OrderAnswer answer;
        if (ensureOpen(&answer.message))
            answer = recorded(note, [&](Connection &connection) {
                return OrderBook(connection).addPayment(number, stamped);
            });
        if (answer.done())
            changed();
        replyTo(target, [done, answer] { done(answer); });
    });
}

void OrdersLink::setManagerLogin(const DatabaseLogin &login)
{
    State *s = state.get();
    s->thread.post([s, login] {
        s->manager = login;
        s->managerShop.close();
    });
}

OrderAnswer OrdersLink::recorded(const AuditRecord &record,
                                 const std::function<OrderAnswer(Connection &)> &change)
{
    State *s = state.get();
    OrderAnswer answer = recordedOn(s->shop, record, change);
    if (answer.fault != StorageFault::NotPermitted || !s->manager.isSet())
        return answer;
    // The database keeps this to a manager: again over the manager's login the session gave.
    if (!s->managerShop.isOpen()) {
        DatabaseUrl url = s->url;
        url.user = s->manager.user;
        url.password = s->manager.password;
        if (!s->managerShop.open(url, QStringLiteral("orders-manager"))) {
            answer.fault = s->managerShop.fault();
            answer.message = s->managerShop.errorText();
            s->managerShop.close();
            return answer;
        }
    }
    s->managerShop.clearFault();
    answer = recordedOn(s->managerShop, record, change);
    if (answer.fault != StorageFault::None && answer.fault != StorageFault::NotPermitted)
        s->managerShop.close();
    return answer;
}

OrderAnswer OrdersLink::recordedOn(Connection &connection, const AuditRecord &record,
                                   const std::function<OrderAnswer(Connection &)> &change)
{
    OrderAnswer answer;
    const bool kept = decided(connection, record, [&] {
        answer = change(connection);
        return answer.done();
    });
    if (!kept && (answer.done() || answer.message.isEmpty())) {
        // The change went but its record or the commit did not (neither is kept), or nothing
        // began.
        answer.outcome = OrderOutcome::Failed;
        answer.message = connection.errorText();
    }
    if (answer.outcome == OrderOutcome::Failed) {
        answer.fault = connection.fault();
        if (&connection == &state->shop)
            noteFailure();
    }
    return answer;
}

void OrdersLink::importStatement(const QString &path, const QString &account, QObject *context,
                                 std::function<void(const StatementReport &)> done)
{
    State *s = state.get();
    QPointer<QObject> target(context);
    const QString counter = counterName;
    s->thread.post([this, s, path, account, counter, target, done = std::move(done)] {
        StatementReport report;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            report.problem
                = QStringLiteral("Файл выписки %1 не открыть: %2").arg(path, file.errorString());
        } else {
            const QByteArray bytes = file.readAll();
            if (file.error() != QFileDevice::NoError)
                report.problem = QStringLiteral("Файл выписки %1 не прочитан: %2")
                                     .arg(path, file.errorString());
            else if (ensureOpen(&report.problem))
                report = OrderBook(s->shop).importStatement(bytes, account, counter, QDateTime());
            if (!report.read && s->shop.fault() != StorageFault::None)
                noteFailure();
        }
        if (report.read)
            changed();
        replyTo(target, [done, report] { done(report); });
    });
}

void OrdersLink::matchByHand(qint64 number, const StatementLine &line, QObject *context,
                             std::function<void(const OrderAnswer &)> done)
{
    State *s = state.get();
    QPointer<QObject> target(context);
    const QString counter = counterName;
    s->thread.post([this, s, number, line, counter, target, done = std::move(done)] {
        OrderAnswer answer;
        if (ensureOpen(&answer.message)) {
            answer = OrderBook(s->shop).matchByHand(number, line, counter, QDateTime());
            if (answer.outcome == OrderOutcome::Failed)
                noteFailure();
        }
        if (answer.done())
            changed();
        replyTo(target, [done, answer] { done(answer); });
    });
}

void OrdersLink::confirmRequest(qint64 request, const RequestTerms &terms, QObject *context,
                                std::function<void(qint64, const QString &)> done,
                                const AuditRecord &record)
{
    State *s = state.get();
    QPointer<QObject> target(context);
    const QString counter = counterName;
    AuditRecord note = record;
    note.counter = counterName;
    s->thread.post([this, s, request, terms, counter, note, target, done = std::move(done)] {
        QString error;
        qint64 invoice = 0;
        if (ensureOpen(&error)) {
            s->shop.clearFault();
            OrderBook book(s->shop);
            book.setShopContacts(s->contacts);
            book.setOperatorName(note.operatorName);
            if (terms.hasTax)
                book.setTaxSettings(terms.tax);
            if (!decided(s->shop, note, [&] {
                    invoice = confirmWebRequest(s->shop, book, request, counter, terms.lowestNumber,
                                                &error, terms.card);
                    return invoice != 0;
                })) {
                if (invoice != 0)
                    error = s->shop.errorText();
                invoice = 0;
            }
            if (invoice == 0 && s->shop.fault() != StorageFault::None)
                noteFailure();
        }
        if (invoice != 0)
            changed();
        replyTo(target, [done, invoice, error] { done(invoice, error); });
    });
}

void OrdersLink::cancelRequest(qint64 request, const QString &reason, QObject *context,
                               std::function<void(bool, const QString &)> done,
                               const AuditRecord &record)
{
    State *s = state.get();
    QPointer<QObject> target(context);
    AuditRecord note = record;
    note.counter = counterName;
    s->thread.post([this, s, request, reason, note, target, done = std::move(done)] {
        QString error;
        bool cancelled = false;
        if (ensureOpen(&error)) {
            s->shop.clearFault();
            cancelled = decided(s->shop, note,
                                [&] { return cancelWebRequest(s->shop, request, &error, reason); });
            if (!cancelled && error.isEmpty())
                error = s->shop.errorText();
            if (!cancelled && s->shop.fault() != StorageFault::None)
                noteFailure();
        }
        if (cancelled)
            changed();
        replyTo(target, [done, cancelled, error] { done(cancelled, error); });
    });
}

bool OrdersLink::decided(Connection &connection, const AuditRecord &record,
                         const std::function<bool()> &change)
{
    AuditHead sealed;
    const bool kept = changeWithRecord(connection, record, change, &sealed);
    if (sealed.count > 0)
        QMetaObject::invokeMethod(
            this, [this, sealed] { emit auditSealed(sealed); }, Qt::QueuedConnection);
    return kept;
}

void OrdersLink::loadRequest(qint64 request, QObject *context,
                             std::function<void(bool, const WebRequestRecord &)> done)
{
    State *s = state.get();
    QPointer<QObject> target(context);
    s->thread.post([this, s, request, target, done = std::move(done)] {
        WebRequestRecord record;
        QString error;
        const bool found = ensureOpen(&error) && loadWebRequest(s->shop, request, &record);
        replyTo(target, [done, found, record] { done(found, record); });
    });
}

void OrdersLink::requestCards(
    qint64 request, QObject *context,
    std::function<void(bool, const WebRequestRecord &, const QVector<Customer> &, const QString &)>
        done)
{
    State *s = state.get();
    QPointer<QObject> target(context);
    s->thread.post([this, s, request, target, done = std::move(done)] {
        WebRequestRecord record;
        QVector<Customer> cards;
        QString error;
        bool found = ensureOpen(&error);
        if (found) {
            s->shop.clearFault();
            found = loadWebRequest(s->shop, request, &record)
                && ::requestCards(s->shop, record, &cards);
            if (!found)
                error = s->shop.fault() == StorageFault::None
                    ? QStringLiteral("Заявки № %1 нет").arg(requestNumberText(request))
                    : s->shop.errorText();
        }
        replyTo(target, [done, found, record, cards, error] { done(found, record, cards, error); });
    });
}

bool OrdersLink::waitIdle(int msecs)
{
    return state->thread.waitIdle(msecs);
}

bool OrdersLink::finish(int msecs)
{
    return state->thread.finish(msecs);
}
