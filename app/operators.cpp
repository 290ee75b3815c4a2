// The operators at the window: the sign-in over the window once it is shown, the lock after the
// idle minutes and on Ctrl+L, a manager's approval for what the operator may not do alone.
#include "app/operators.h"
#include "app/mainwindow.h"
#include "app/order_storage.h"
#include "dialogs/audit_dialog.h"
#include "dialogs/operators_dialog.h"
#include "dialogs/prompts.h"
#include "dialogs/sign_in_dialog.h"
#include "order/order.h"
#include "storage/audit_log.h"
#include "storage/connection.h"
#include "storage/settings.h"
#include "storage/shop_link.h"

#include <QApplication>
#include <QEvent>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

struct OperatorGate::State
{
    DatabaseUrl url;
    QString localPath;
    Connection connection;

    bool open() { return connection.isOpen() || connection.open(url, QStringLiteral("operators")); }
};

OperatorGate::OperatorGate(const DatabaseUrl &shop, const QString &localPath,
                           const QString &counter, QObject *parent)
    : QObject(parent)
    , state(std::make_shared<State>())
    , thread(QStringLiteral("operators"))
    , counterName(counter)
{
    state->url = shop;
    state->localPath = localPath;
    std::shared_ptr<State> s = state;
    thread.setFinalTask([s] { s->connection.close(); });
}

OperatorGate::~OperatorGate()
{
    thread.finish(DatabaseThread::EndWaitMs);
}

void OperatorGate::look(QObject *context,
                        std::function<void(bool, const QVector<OperatorAccount> &)> done)
{
    std::shared_ptr<State> s = state;
    QPointer<QObject> receiver(context);
    thread.post([s, receiver, done] {
        QVector<OperatorAccount> accounts;
        bool ok = false;
        if (s->open())
            accounts = OperatorStore(s->connection).list(&ok);
        replyTo(receiver, [done, ok, accounts] { done(ok && !accounts.isEmpty(), accounts); });
    });
}

void OperatorGate::signIn(const QString &name, const QString &pin, QObject *context,
                          std::function<void(const SignInAnswer &)> done)
{
    std::shared_ptr<State> s = state;
    QPointer<QObject> receiver(context);
    const QString counter = counterName;
    thread.post([this, s, receiver, done, name, pin, counter] {
        SignInAnswer answer;
        if (!s->open()) {
            answer.message = s->connection.errorText();
        } else {
            OperatorStore store(s->connection);
            answer = store.signIn(name, pin, counter);
            if (store.lastHead().count > 0)
                advance(store.lastHead());
        }
        replyTo(receiver, [done, answer] { done(answer); });
    });
}

void OperatorGate::record(const AuditRecord &record)
{
    if (!on)
        return;
    AuditRecord sealed = record;
    sealed.counter = counterName;
    sealed.operatorName = currentName;
    sealed.time = QDateTime::currentDateTimeUtc();
    std::shared_ptr<State> s = state;
    thread.post([this, s, sealed]() mutable {
        if (s->open() && AuditLog(s->connection).add(&sealed))
            advance({sealed.id, sealed.hash});
    });
}

AuditRecord OperatorGate::note(const QString &what, const QString &oldValue,
                               const QString &newValue, const QString &approver) const
{
    AuditRecord record;
    if (!on)
        return record;
    record.counter = counterName;
    record.operatorName = currentName;
    record.approver = approver;
    record.what = what;
    record.oldValue = oldValue;
    record.newValue = newValue;
    return record;
}

void OperatorGate::keepHead(const AuditHead &head)
{
    std::shared_ptr<State> s = state;
    thread.post([this, s, head] {
        if (s->open())
            advance(head);
    });
}

void OperatorGate::advance(const AuditHead &head)
{
    const QString problem
        = advanceAuditAnchor(state->connection, state->localPath, state->url.display(), head);
    // The gate outlives its thread's tasks: the thread is finished in its destructor.
    if (!problem.isEmpty())
        QMetaObject::invokeMethod(
            this, [this, problem] { emit auditBroken(problem); }, Qt::QueuedConnection);
}

void OperatorGate::readAudit(const AuditFilter &filter, QObject *context,
                             std::function<void(const AuditReading &)> done)
{
    std::shared_ptr<State> s = state;
    QPointer<QObject> receiver(context);
    thread.post([s, receiver, done, filter] {
        AuditReading reading;
        if (s->open()) {
            AuditLog log(s->connection);
            reading.records = log.list(filter, &reading.read);
            if (reading.read) {
                const ProgramState kept(s->localPath);
                AuditCheck check = log.verify(kept.auditHead(s->url.display()));
                check.anchorBreak = kept.auditBreak(s->url.display());
                reading.chain = check.read
                    ? check.text()
                    : check.text() + QLatin1Char(' ') + s->connection.errorText();
            }
        }
        if (!reading.read)
            reading.error = s->connection.errorText();
        replyTo(receiver, [done, reading] { done(reading); });
    });
}

bool OperatorGate::waitIdle(int msecs)
{
    return thread.waitIdle(msecs);
}

void OperatorGate::setCurrent(const OperatorAccount &account)
{
    currentName = account.name;
    role = account.role;
}

void OperatorGate::setAccounts(bool isOn, const QVector<OperatorAccount> &accounts)
{
    on = isOn;
    known = accounts;
}

namespace {

// Any input to the application restarts the idle time; the window's first showing opens the
// sign-in when one waits for it.
class IdleWatch : public QObject
{
public:
    IdleWatch(QTimer *timer, std::function<void()> shown, QObject *parent)
        : QObject(parent)
        , timer(timer)
        , shown(std::move(shown))
    { }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::Wheel:
            if (timer->isActive())
                timer->start();
            break;
        case QEvent::Show:
            if (watched == parent())
                QTimer::singleShot(0, parent(), shown);
            break;
        default:
            break;
        }
        return false;
    }

private:
    QTimer *timer;
    std::function<void()> shown;
};

QStringList activeNames(const QVector<OperatorAccount> &accounts, Role least)
{
    QStringList names;
    for (const OperatorAccount &account : accounts)
        if (!account.disabled && int(account.role) >= int(least))
            names << account.name;
    return names;
}

// One view of the trail at a time, not modal: the counter goes on working beside it.
void openAuditView(QWidget *window, OperatorGate *gate)
{
    AuditDialog *view = window->findChild<AuditDialog *>();
    if (!view) {
        view = new AuditDialog(
            [gate](const AuditFilter &filter, QObject *context,
                   std::function<void(const AuditReading &)> done) {
                gate->readAudit(filter, context, std::move(done));
            },
            window);
        view->setAttribute(Qt::WA_DeleteOnClose);
        view->refresh();
    }
    view->show();
    view->raise();
    view->activateWindow();
}

} // namespace

void MainWindow::initOperators()
{
    OrderKeeper *kept = orderKeeper();
    operatorGate = new OperatorGate(kept->shop()->url(), kept->localFile(), kept->counter(), this);
    // A change stored with its record moves the chain's head this counter keeps.
    connect(kept->shop(), &ShopLink::auditSealed, operatorGate, &OperatorGate::keepHead);
    // Told once, when found; every later check of the trail tells it again.
    connect(operatorGate, &OperatorGate::auditBroken, this, [this](const QString &problem) {
        prompts().tell(QStringLiteral("Журнал действий"), problem + QLatin1Char('.'));
    });
    idleTimer = new QTimer(this);
    idleTimer->setSingleShot(true);
    idleTimer->setInterval(Settings().idleMinutes() * 60 * 1000);
    connect(idleTimer, &QTimer::timeout, this, [this] { lockCounter(); });
    // The application's filter sees every input and the window's own showing.
    qApp->installEventFilter(new IdleWatch(
        idleTimer,
        [this] {
            if (signInWanted)
                lockCounter();
        },
        this));
    auto *lock = new QShortcut(QKeySequence(Qt::CTRL + Qt::Key_L), this);
    lock->setObjectName(QStringLiteral("shortcutLock"));
    connect(lock, &QShortcut::activated, this, [this] {
        if (operatorGate->isOn())
            lockCounter();
    });
    // The owner's view of the trail; anyone else is asked for the owner's PIN.
    auto *audit = new QShortcut(QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_J), this);
    audit->setObjectName(QStringLiteral("shortcutAudit"));
    connect(audit, &QShortcut::activated, this, [this] {
        withRight(Action::ViewAudit, actionCaption(Action::ViewAudit),
                  [this](const QString &) { openAuditView(this, operatorGate); });
    });
    connect(order(), &Order::lineChanged, this, [this](int row, int column) {
        if (column == OrderLine::UnitPrice && !restoringPrice)
            checkTypedPrice(row);
    });
    operatorGate->look(this, [this](bool on, const QVector<OperatorAccount> &accounts) {
        operatorGate->setAccounts(on, accounts);
        if (!on)
            return;
        signInWanted = true;
        if (isVisible())
            lockCounter();
    });
}

OperatorsDialog *MainWindow::showOperators(QWidget *over)
{
    if (operatorGate->isOn()
        && (operatorGate->current().isEmpty()
            || decisionFor(operatorGate->currentRole(), Action::ManageOperators)
                != Decision::Allowed)) {
        prompts().tell(QStringLiteral("Операторы"),
                       QStringLiteral("Список операторов — право роли «%1»: войдите как владелец "
                                      "(Ctrl+L).")
                           .arg(roleCaption(roleNeeded(Action::ManageOperators))));
        return nullptr;
    }
    auto *dialog = findChild<OperatorsDialog *>();
    if (!dialog) {
        // Over "Настройки", which it is opened from, so that the settings' modality lets it in.
        dialog = new OperatorsDialog(orderKeeper()->shop()->url(),
                                     {operatorGate->counter(), operatorGate->current(), QString()},
                                     &prompts(), over ? over : this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(dialog, &OperatorsDialog::changed, this, [this](const AuditHead &head) {
            operatorGate->keepHead(head);
            operatorGate->look(this, [this](bool on, const QVector<OperatorAccount> &accounts) {
                // The first operator turns the sign-in on, once the list is closed.
                signInWanted = signInWanted || (on && !operatorGate->isOn());
                operatorGate->setAccounts(on, accounts);
            });
        });
        connect(dialog, &QDialog::finished, this, [this] {
            if (signInWanted && operatorGate->isOn())
                lockCounter();
        });
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

SignInDialog *MainWindow::lockCounter()
{
    // A dialog signed in a moment ago is closed but not yet gone.
    if (signInDialog && signInDialog->isVisible())
        return signInDialog;
    signInWanted = false;
    idleTimer->stop();
    const QString last = ProgramState(orderKeeper()->localFile()).lastOperator();
    auto *dialog
        = new SignInDialog(activeNames(operatorGate->accounts(), Role::Operator), last, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    signInDialog = dialog;
    connect(
        dialog, &SignInDialog::signInAsked, this,
        [this, dialog](const QString &name, const QString &pin) {
            operatorGate->signIn(name, pin, dialog, [this, dialog](const SignInAnswer &answer) {
                if (answer.signedIn()) {
                    // Another operator takes over the same order: nothing of it is closed.
                    operatorGate->setCurrent(answer.account);
                    ProgramState(orderKeeper()->localFile()).keepLastOperator(answer.account.name);
                    idleTimer->start();
                }
                dialog->showOutcome(answer.signedIn(), answer.message);
            });
        });
    dialog->open();
    return dialog;
}

void MainWindow::checkTypedPrice(int row)
{
    if (!operatorGate->isOn() || row < 0 || row >= order()->size())
        return;
    const OrderLine &line = order()->line(row);
    const QString listPrice = listPriceOf(line);
    bool isNumber = false;
    const double listValue
        = QString(listPrice).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&isNumber);
    if (!isNumber || !line.unitPriceIsNumber)
        return;
    const QString typed = line.unitPrice;
    if (line.unitPriceValue >= listValue) {
        recordAudit(QStringLiteral("цена изменена вручную"), listPrice, typed);
        return;
    }
    const QString what = actionCaption(Action::PriceBelowList);
    withRight(
        Action::PriceBelowList,
        QStringLiteral("%1 (было %2, стало %3)").arg(what, listPrice, typed),
        [this, what, listPrice, typed](const QString &approver) {
            recordAudit(what, listPrice, typed, approver);
        },
        [this, row, listPrice] {
            restoringPrice = true;
            if (row < order()->size())
                order()->setText(row, OrderLine::UnitPrice, listPrice);
            restoringPrice = false;
        });
}

QString MainWindow::signedInOperator() const
{
    return operatorGate ? operatorGate->current() : QString();
}

void MainWindow::withRight(Action action, const QString &what,
                           std::function<void(const QString &approver)> go,
                           std::function<void()> refused)
{
    if (!operatorGate || !operatorGate->isOn()
        || decisionFor(operatorGate->currentRole(), action) == Decision::Allowed) {
        go(QString());
        return;
    }
    const Role needed = roleNeeded(action);
    const QString who = operatorGate->current();
    auto *dialog = new ApprovalDialog(
        QStringLiteral("Оператору «%1» нужно разрешение: %2. Разрешает %3.")
            .arg(who, what,
                 needed == Role::Owner ? QStringLiteral("владелец")
                                       : QStringLiteral("менеджер или владелец")),
        activeNames(operatorGate->accounts(), needed), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    if (refused)
        connect(dialog, &QDialog::rejected, this, refused);
    connect(dialog, &ApprovalDialog::approvalAsked, this,
            [this, dialog, needed, go](const QString &name, const QString &pin) {
                operatorGate->signIn(
                    name, pin, dialog, [dialog, needed, go, name](const SignInAnswer &answer) {
                        const bool holds
                            = answer.signedIn() && int(answer.account.role) >= int(needed);
                        dialog->showOutcome(
                            holds,
                            answer.signedIn() ? QStringLiteral("У «%1» нет такого права.").arg(name)
                                              : answer.message);
                        if (holds)
                            go(name);
                    });
            });
    dialog->open();
}

void MainWindow::recordAudit(const QString &what, const QString &oldValue, const QString &newValue,
                             const QString &approver)
{
    if (!operatorGate)
        return;
    AuditRecord record;
    record.approver = approver;
    record.what = what;
    record.oldValue = oldValue;
    record.newValue = newValue;
    operatorGate->record(record);
}

OperatorGate *MainWindow::operators() const
{
    return operatorGate;
}
