// The window's operators: who works at the counter, the sign-in checked on a thread of its own
// (the PIN's hash takes a tenth of a second, the shop's database may be on the network), and the
// audit trail's records of what the window does. Off, and never in the way, while the shop has
// no operator.
#pragma once

#include "dialogs/audit_model.h"
#include "operators/rights.h"
#include "storage/database_thread.h"
#include "storage/database_url.h"
#include "storage/operator_store.h"

#include <QObject>
#include <QVector>

#include <functional>
#include <memory>

class OperatorGate : public QObject
{
    Q_OBJECT

public:
    OperatorGate(const DatabaseUrl &shop, const QString &localPath, const QString &counter,
                 QObject *parent = nullptr);
    ~OperatorGate() override;

    // Reads the operators: on when there is any; the accounts by name.
    void look(QObject *context,
              std::function<void(bool on, const QVector<OperatorAccount> &accounts)> done);
    void signIn(const QString &name, const QString &pin, QObject *context,
                std::function<void(const SignInAnswer &)> done);
    // Seals the record onto the trail under the operator signed in (the counter's name given),
    // and keeps the chain's head in the counter's state file.
    void record(const AuditRecord &record);
    // The record a change is to carry into the trail, written by whoever makes the change: under
    // the operator signed in at this counter; what empty (nothing to write) while operators are
    // off.
    AuditRecord note(const QString &what, const QString &oldValue, const QString &newValue,
                     const QString &approver) const;
    // The chain's head after a record sealed elsewhere (with its change), into the counter's
    // state file.
    void keepHead(const AuditHead &head);
    // Reads the trail with the filter and checks the whole chain against the head this counter
    // keeps, on the gate's thread; answers on the context's thread.
    void readAudit(const AuditFilter &filter, QObject *context,
                   std::function<void(const AuditReading &)> done);
    bool waitIdle(int msecs);

    bool isOn() const { return on; }
    const QVector<OperatorAccount> &accounts() const { return known; }
    QString current() const { return currentName; }
    Role currentRole() const { return role; }
    QString counter() const { return counterName; }
    void setCurrent(const OperatorAccount &account);
    void setAccounts(bool isOn, const QVector<OperatorAccount> &accounts);

signals:
    // The records since this counter's anchor do not hold: rows removed or changed.
    void auditBroken(const QString &problem);

private:
    // On the gate's thread: the anchor moved on, or the break told.
    void advance(const AuditHead &head);

    struct State;
    std::shared_ptr<State> state;
    DatabaseThread thread;
    QString counterName;
    bool on = false;
    QVector<OperatorAccount> known;
    QString currentName;
    Role role = Role::Operator;
};
