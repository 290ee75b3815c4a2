// The journal's thread: one connection to the shop, one to the counter's file for the orders
// that wait for a number, a timer that checks the connection.
#include "storage/shop_link.h"

#include "storage/audit_log.h"
#include "storage/connection.h"
#include "storage/database_thread.h"
#include "storage/order_store.h"
#include "storage/settings.h"

#include <QPointer>
#include <QSqlError>
#include <QSqlQuery>

struct ShopLink::State
{
    State()
        : thread(QStringLiteral("printcalc-shop"))
    { }

    // Touched on the thread only.
    DatabaseUrl url;
    QString localPath;
    QString settingsPath;
    Connection shop;
    Connection local;
    DatabaseLogin manager; // given at the counter, for the session only
    bool reachable = false;
    bool told = false;
    // Last, so that it ends first: its final task closes the connections on the thread.
    DatabaseThread thread;
};

ShopLink::ShopLink(const DatabaseUrl &shop, const QString &localPath, const QString &settingsPath,
                   QObject *parent)
    : QObject(parent)
    , state(new State)
    , shopUrl(shop)
{
    State *s = state.get();
    s->thread.run([this, s, shop, localPath, settingsPath] {
        s->url = shop;
        s->localPath = localPath;
        s->settingsPath = settingsPath;
    });
    s->thread.repeat(15000, [this] { check(); });
    s->thread.setFinalTask([s] {
        s->shop.close();
        s->local.close();
    });
    checkNow();
}

ShopLink::~ShopLink() = default;

// On the thread: tells the window when the shop comes or goes.
void ShopLink::setReachable(bool reachable)
{
    State *s = state.get();
    const QString problem = reachable ? QString() : s->shop.errorText();
    if (s->told && reachable == s->reachable)
        return;
    s->told = true;
    s->reachable = reachable;
    QMetaObject::invokeMethod(
        this,
        [this, reachable, problem] {
            isReachable = reachable;
            lastProblem = problem;
            emit reachabilityChanged(reachable, problem);
        },
        Qt::QueuedConnection);
}

// On the thread: the shop's connection, opened if need be, else false and the window told.
bool ShopLink::ensureShop()
{
    State *s = state.get();
    if (s->shop.isOpen())
        s->shop.clearFault();
    if (!s->shop.isOpen() && !s->shop.open(s->url, QStringLiteral("shop"))) {
        setReachable(false);
        return false;
    }
    return true;
}

// On the thread: after a failed statement, a connection that is gone is dropped, to be opened
// again by the next call or check.
void ShopLink::noteFailure()
{
    State *s = state.get();
    const StorageFault fault = s->shop.fault();
    if (fault == StorageFault::Unreachable || fault == StorageFault::WrongPassword
        || fault == StorageFault::NotWritable || fault == StorageFault::Corrupt
        || fault == StorageFault::DiskFull) {
        s->shop.close();
        setReachable(false);
    }
}

// The settings file's next_number is a floor the administrator sets; the program's own copy,
// beside the counter's file, carries on from the last number taken.
qint64 ShopLink::lowestNumber() const
{
    return qMax(Settings(state->settingsPath).nextInvoiceNumber(),
                ProgramState(state->localPath).nextInvoiceNumber());
}

void ShopLink::keepNextNumber(qint64 number) const
{
    ProgramState(state->localPath).keepNextInvoiceNumber(number + 1);
}

// On the thread: a ping when connected, a new attempt when not, then the waiting orders.
void ShopLink::check()
{
    State *s = state.get();
    if (s->shop.isOpen()) {
        QSqlQuery ping(s->shop.database());
        if (!ping.exec(QStringLiteral("SELECT 1"))) {
            s->shop.noteError(ping.lastError());
            if (s->shop.fault() == StorageFault::Other)
                s->shop.noteError(QSqlError(ping.lastError().driverText(),
                                            ping.lastError().databaseText(),
                                            QSqlError::ConnectionError));
            ping = QSqlQuery();
            noteFailure();
        }
    }
    if (!ensureShop())
        return;
    if (!s->shop.writable()) {
        setReachable(false);
        return;
    }
    setReachable(true);
    enterWaitingOrders();
}

void ShopLink::enterWaitingOrders()
{
    State *s = state.get();
    if (!s->local.isOpen()
        && !s->local.open(DatabaseUrl::sqliteFile(s->localPath), QStringLiteral("waiting")))
        return;
    bool ok = false;
    OrderStore store(s->local);
    const QVector<StoredOrder> orders = store.waiting(&ok);
    if (!ok) {
        s->local.close();
        return;
    }
    Journal journal(s->shop);
    const TaxSettings tax = Settings(s->settingsPath).tax();
    for (const StoredOrder &order : orders) {
        InvoiceDraft draft {order.uid,   order.changed,   order.counter, order.templatePath,
                            order.lines, order.documents, order.customer};
        // The rule of the day the order waited from, the one its documents were made with.
        setTaxOfItsDay(&draft, tax);
        const qint64 number = journal.storeInvoice(draft, lowestNumber());
        if (number == 0) {
            noteFailure();
            return;
        }
        keepNextNumber(number);
        OrderChange change;
        change.at = QDateTime::currentDateTime();
        change.states.append({order.uid, OrderState::Numbered, number});
        if (!store.apply(change))
            return;
        const QString uid = order.uid;
        QMetaObject::invokeMethod(
            this, [this, uid, number] { emit waitingOrderEntered(uid, number); },
            Qt::QueuedConnection);
    }
}

void ShopLink::setCheckInterval(int msecs)
{
    state->thread.setRepeatInterval(msecs);
}

void ShopLink::noteNoAnswer(const QString &problem)
{
    if (isReachable || lastProblem.isEmpty()) {
        isReachable = false;
        lastProblem = problem;
        emit reachabilityChanged(false, problem);
    }
    // Once the thread is free again, the next answer counts as a change and clears the notice.
    State *s = state.get();
    s->thread.post([s] { s->reachable = false; });
}

void ShopLink::checkNow()
{
    state->thread.post([this] { check(); });
}

bool ShopLink::waitIdle(int msecs)
{
    return state->thread.waitIdle(msecs);
}

bool ShopLink::finish(int msecs)
{
    return state->thread.finish(msecs);
}

void ShopLink::storeInvoice(const InvoiceDraft &draft, QObject *context,
                            std::function<void(qint64, const QString &)> done)
{
    State *s = state.get();
    s->thread.post([this, s, draft, context = QPointer<QObject>(context), done] {
        qint64 number = 0;
        QString error;
        if (ensureShop()) {
            number = Journal(s->shop).storeInvoice(draft, lowestNumber());
            if (number > 0) {
                keepNextNumber(number);
                setReachable(true);
            } else {
                error = s->shop.errorText();
                noteFailure();
            }
        } else {
            error = s->shop.errorText();
        }
        const StorageFault fault = number > 0 ? StorageFault::None : s->shop.fault();
        replyTo(context, [self = QPointer<ShopLink>(this), done, number, error, fault] {
            if (self)
                self->numberFault = fault;
            done(number, error);
        });
    });
}

void ShopLink::addDocument(qint64 number, const DocumentRecord &document)
{
    State *s = state.get();
    s->thread.post([this, s, number, document] {
        DocumentRecord made = document;
        if (made.counter.isEmpty())
            made.counter = Settings(s->settingsPath).counterName();
        if (ensureShop() && !Journal(s->shop).addDocument(number, made))
            noteFailure();
    });
}

void ShopLink::find(const JournalQuery &query, QObject *context,
                    std::function<void(const QVector<InvoiceSummary> &, const QString &)> done)
{
    State *s = state.get();
    s->thread.post([this, s, query, context = QPointer<QObject>(context), done] {
        QVector<InvoiceSummary> found;
        QString error;
        bool ok = false;
        if (ensureShop()) {
            found = Journal(s->shop).find(query, &ok);
            if (!ok) {
                error = s->shop.errorText();
                noteFailure();
            }
        } else {
            error = s->shop.errorText();
        }
        replyTo(context, [done, found, error] { done(found, error); });
    });
}

void ShopLink::load(qint64 number, QObject *context,
                    std::function<void(bool, const InvoiceRecord &, const QString &)> done)
{
    State *s = state.get();
    s->thread.post([this, s, number, context = QPointer<QObject>(context), done] {
        InvoiceRecord record;
        QString error;
        bool found = false;
        if (ensureShop()) {
            found = Journal(s->shop).load(number, &record);
            if (!found && s->shop.fault() != StorageFault::None) {
                error = s->shop.errorText();
                noteFailure();
            }
        } else {
            error = s->shop.errorText();
        }
        replyTo(context, [done, found, record, error] { done(found, record, error); });
    });
}

void ShopLink::voidInvoice(qint64 number, const HandVoid &mark, const DatabaseLogin &login,
                           QObject *context, std::function<void(const VoidAnswer &)> done)
{
    State *s = state.get();
    s->thread.post([this, s, number, mark, login, context = QPointer<QObject>(context), done] {
        HandVoid made = mark;
        if (made.counter.isEmpty())
            made.counter = Settings(s->settingsPath).counterName();
        VoidAnswer answer;
        const DatabaseLogin manager = login.isSet() ? login : s->manager;
        if (manager.isSet()) {
            QString error;
            runWithLogin(
                s->url, manager,
                [&](Connection &connection) {
                    answer.outcome = Journal(connection).voidByHand(number, made);
                    answer.fault = connection.fault();
                    error = connection.errorText();
                    return answer.done();
                },
                &answer.fault, &error);
            answer.message = voidOutcomeText(answer.outcome, number, error);
            // A login that voided is a manager's: the session's further voids need no question.
            if (answer.done() && login.isSet())
                s->manager = login;
            else if (answer.fault == StorageFault::WrongPassword && !login.isSet())
                s->manager = DatabaseLogin();
        } else if (ensureShop()) {
            answer.outcome = Journal(s->shop).voidByHand(number, made);
            answer.fault = s->shop.fault();
            answer.message = voidOutcomeText(answer.outcome, number, s->shop.errorText());
            if (answer.outcome == VoidOutcome::Failed)
                noteFailure();
        } else {
            answer.fault = s->shop.fault();
            answer.message = s->shop.errorText();
        }
        const bool kept = s->manager.isSet();
        replyTo(context, [self = QPointer<ShopLink>(this), done, answer, kept] {
            if (self)
                self->managerLoginKept = kept;
            done(answer);
        });
    });
}

namespace {

// "строк 4, предоплата 3000.00 наличные": what the audit trail keeps of a taken order.
QString intakeAuditText(const OrderIntake &intake)
{
    QString text = QStringLiteral("строк %1").arg(intake.draft.lines.size());
    if (intake.prepaymentKopecks > 0)
        text += QStringLiteral(", предоплата %1 %2")
                    .arg(kopecksText(intake.prepaymentKopecks),
                         paymentMethodWord(intake.prepaymentMethod));
    return text;
}

} // namespace

void ShopLink::takeOrder(const OrderIntake &intake, QObject *context,
                         std::function<void(qint64, const QString &)> done,
                         const AuditRecord &record)
{
    State *s = state.get();
    s->thread.post([this, s, intake, context = QPointer<QObject>(context), done, record] {
        qint64 number = 0;
        QString error;
        if (ensureShop()) {
            OrderBook book(s->shop);
            book.setTaxSettings(Settings(s->settingsPath).tax());
            book.setOperatorName(record.operatorName);
            // The record names the number, known only once taken in the same transaction.
            const bool kept = recordedOn(
                s->shop, record,
                [&] {
                    number = book.take(intake, lowestNumber());
                    return number > 0;
                },
                [&]() -> QString {
                    return QStringLiteral("заказ № %1 принят: ").arg(number)
                        + intakeAuditText(intake);
                });
            if (!kept)
                number = 0;
            if (number > 0) {
                keepNextNumber(number);
                setReachable(true);
            } else if (!book.refusal().isEmpty()) {
                error = book.refusal();
            } else {
                error = failure();
            }
        } else {
            error = s->shop.errorText();
        }
        replyTo(context, [done, number, error] { done(number, error); });
    });
}

void ShopLink::reviseOrder(qint64 number, const OrderIntake &change, QObject *context,
                           std::function<void(const OrderAnswer &)> done, const AuditRecord &record)
{
    State *s = state.get();
    s->thread.post([this, s, number, change, context = QPointer<QObject>(context), done, record] {
        OrderAnswer answer;
        if (ensureShop()) {
            OrderBook book(s->shop);
            book.setTaxSettings(Settings(s->settingsPath).tax());
            book.setOperatorName(record.operatorName);
            recordedOn(
                s->shop, record,
                [&] {
                    answer = book.revise(number, change);
                    return answer.done();
                },
                [&]() -> QString {
                    return QStringLiteral("заказ № %1 изменён: ").arg(number)
                        + intakeAuditText(change);
                });
            if (answer.outcome == OrderOutcome::Failed)
                answer.message = failure();
        } else {
            answer.message = s->shop.errorText();
        }
        replyTo(context, [done, answer] { done(answer); });
    });
}

void ShopLink::loadOrder(qint64 number, QObject *context,
                         std::function<void(bool, const OrderDetails &, const QString &)> done)
{
    State *s = state.get();
    s->thread.post([this, s, number, context = QPointer<QObject>(context), done] {
        OrderDetails details;
        QString error;
        bool found = false;
        if (ensureShop()) {
            found = OrderBook(s->shop).load(number, &details);
            if (!found && s->shop.fault() != StorageFault::None)
                error = failure();
        } else {
            error = s->shop.errorText();
        }
        replyTo(context, [done, found, details, error] { done(found, details, error); });
    });
}

QString ShopLink::failure()
{
    const QString error = state->shop.errorText();
    noteFailure();
    return error.isEmpty() ? QStringLiteral("База магазина не ответила.") : error;
}

void ShopLink::findCustomers(const QString &text, int limit, QObject *context,
                             std::function<void(const QVector<Customer> &, const QString &)> done)
{
    State *s = state.get();
    s->thread.post([this, s, text, limit, context = QPointer<QObject>(context), done] {
        QVector<Customer> found;
        QString error;
        bool ok = false;
        if (ensureShop()) {
            found = CustomerStore(s->shop).matches(text, limit, &ok);
            if (!ok)
                error = failure();
        } else {
            error = s->shop.errorText();
        }
        replyTo(context, [done, found, error] { done(found, error); });
    });
}

void ShopLink::listCustomers(const QString &text, QObject *context,
                             std::function<void(const QVector<Customer> &, const QString &)> done)
{
    State *s = state.get();
    s->thread.post([this, s, text, context = QPointer<QObject>(context), done] {
        QVector<Customer> found;
        QString error;
        bool ok = false;
        if (ensureShop()) {
            found = CustomerStore(s->shop).list(text, &ok);
            if (!ok)
                error = failure();
        } else {
            error = s->shop.errorText();
        }
        replyTo(context, [done, found, error] { done(found, error); });
    });
}

void ShopLink::loadCustomer(
    qint64 id, QObject *context,
    std::function<void(bool, const Customer &, const QVector<CustomerInvoice> &, const QString &)>
        done)
{
    State *s = state.get();
    s->thread.post([this, s, id, context = QPointer<QObject>(context), done] {
        Customer customer;
        QVector<CustomerInvoice> invoices;
        QString error;
        bool found = false;
        if (ensureShop()) {
            CustomerStore store(s->shop);
            found = store.load(id, &customer);
            bool ok = true;
            if (found)
                invoices = store.invoices(id, &ok);
            if ((!found && s->shop.fault() != StorageFault::None) || !ok) {
                found = false;
                error = failure();
            }
        } else {
            error = s->shop.errorText();
        }
        replyTo(context, [done, found, customer, invoices, error] {
            done(found, customer, invoices, error);
        });
    });
}

void ShopLink::saveCustomer(
    const Customer &customer, QObject *context,
    std::function<void(CustomerSaveResult, const Customer &, const QVector<CustomerProblem> &,
                       const Customer &, const QString &)>
        done,
    const AuditRecord &record)
{
    State *s = state.get();
    s->thread.post([this, s, customer, record, context = QPointer<QObject>(context), done] {
        Customer saved = customer;
        Customer existing;
        QVector<CustomerProblem> problems;
        QString error;
        CustomerSaveResult result = CustomerSaveResult::Failed;
        if (ensureShop()) {
            const bool kept = recorded(record, [&] {
                result = CustomerStore(s->shop).save(
                    &saved, Settings(s->settingsPath).counterName(), &problems, &existing);
                return result == CustomerSaveResult::Saved;
            });
            // Stored, but its record or the commit failed: neither is kept.
            if (result == CustomerSaveResult::Saved && !kept)
                result = CustomerSaveResult::Failed;
            if (result == CustomerSaveResult::Failed)
                error = s->shop.fault() != StorageFault::None
                    ? failure()
                    : QStringLiteral("Клиента уже нет в базе: его карточку объединили с другой. "
                                     "Найдите клиента снова.");
        } else {
            error = s->shop.errorText();
        }
        replyTo(context, [done, result, saved, problems, existing, error] {
            done(result, saved, problems, existing, error);
        });
    });
}

void ShopLink::importCustomerFile(const CustomerFileRead &read, const AuditRecord &record,
                                  QObject *context,
                                  std::function<void(const CustomerImport &, const QString &)> done)
{
    State *s = state.get();
    s->thread.post([this, s, read, record, context = QPointer<QObject>(context), done] {
        CustomerImport imported;
        QString error;
        if (ensureShop()) {
            CustomerStore store(s->shop);
            recorded(record, [&] {
                imported = importCustomers(store, read, Settings(s->settingsPath).counterName());
                return imported.stored;
            });
            if (!imported.stored && s->shop.fault() != StorageFault::None)
                error = failure();
        } else {
            error = s->shop.errorText();
        }
        replyTo(context, [done, imported, error] { done(imported, error); });
    });
}

bool ShopLink::recorded(const AuditRecord &record, const std::function<bool()> &change)
{
    return recordedOn(state->shop, record, change);
}

bool ShopLink::recordedOn(Connection &connection, const AuditRecord &record,
                          const std::function<bool()> &change,
                          const std::function<QString()> &newValue)
{
    AuditRecord stamped = record;
    stamped.counter = Settings(state->settingsPath).counterName();
    AuditHead sealed;
    // The record is read after the change, so the value written here is the one kept.
    const auto changed = [&] {
        if (!change())
            return false;
        if (newValue && !stamped.what.isEmpty())
            stamped.newValue = newValue();
        return true;
    };
    const bool kept = changeWithRecord(connection, stamped, changed, &sealed);
    if (sealed.count > 0)
        QMetaObject::invokeMethod(
            this, [this, sealed] { emit auditSealed(sealed); }, Qt::QueuedConnection);
    return kept;
}

void ShopLink::mergeCustomers(qint64 keptId, qint64 goneId, QObject *context,
                              std::function<void(bool, const QString &, StorageFault)> done,
                              const AuditRecord &record)
{
    State *s = state.get();
    s->thread.post([this, s, keptId, goneId, record, context = QPointer<QObject>(context), done] {
        QString error;
        StorageFault fault = StorageFault::None;
        bool ok = false;
        if (ensureShop()) {
            ok = recorded(record, [&] { return CustomerStore(s->shop).merge(keptId, goneId); });
            fault = ok ? StorageFault::None : s->shop.fault();
            if (fault == StorageFault::NotPermitted && s->manager.isSet()) {
                // The database keeps merging to a manager: over the login the session gave.
                bool found = true;
                ok = runWithLogin(
                    s->url, s->manager,
                    [&](Connection &connection) {
                        const bool kept = recordedOn(connection, record, [&] {
                            return found = CustomerStore(connection).merge(keptId, goneId);
                        });
                        return kept || (connection.fault() == StorageFault::None && !found);
                    },
                    &fault, &error);
                if (ok && !found)
                    ok = false;
            } else if (fault != StorageFault::None) {
                error = failure();
            }
            if (!ok && fault == StorageFault::None)
                error = QStringLiteral("Одного из клиентов уже нет в базе: объединять нечего.");
        } else {
            error = s->shop.errorText();
            fault = s->shop.fault();
        }
        replyTo(context, [done, ok, error, fault] { done(ok, error, fault); });
    });
}

void ShopLink::setManagerLogin(const DatabaseLogin &login)
{
    State *s = state.get();
    managerLoginKept = login.isSet();
    s->thread.post([s, login] { s->manager = login; });
}

void ShopLink::clearPersonalData(qint64 id, QObject *context,
                                 std::function<void(bool, const QString &)> done,
                                 const AuditRecord &record)
{
    State *s = state.get();
    s->thread.post([this, s, id, record, context = QPointer<QObject>(context), done] {
        QString error;
        bool ok = false;
        if (ensureShop()) {
            ok = recorded(record, [&] { return CustomerStore(s->shop).clearPersonalData(id); });
            if (!ok)
                error = s->shop.fault() != StorageFault::None
                    ? failure()
                    : QStringLiteral("Персональные данные удаляются только у частного лица, "
                                     "которое есть в базе.");
        } else {
            error = s->shop.errorText();
        }
        replyTo(context, [done, ok, error] { done(ok, error); });
    });
}
