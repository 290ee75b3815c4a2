// The shop's operators in its database: their roles, PIN hashes and lockout after wrong PINs,
// kept there so that every counter sees the same. Every change goes into the audit trail in the
// same transaction.
#pragma once

#include "operators/audit_chain.h"
#include "operators/rights.h"

#include <QDateTime>
#include <QVariantList>
#include <QVector>

class Connection;

// Wrong PINs in a row that lock an operator, and for how long.
constexpr int PinAttempts = 5;
constexpr int PinLockMinutes = 5;

struct OperatorAccount
{
    qint64 id = 0;
    QString name;
    Role role = Role::Operator;
    bool disabled = false;
    int failedCount = 0;
    QDateTime lockedUntil; // invalid: not locked
    QDateTime created;
};

enum class SignInOutcome { SignedIn, WrongPin, Locked, Disabled, Unknown, Failed };

struct SignInAnswer
{
    SignInOutcome outcome = SignInOutcome::Failed;
    OperatorAccount account;
    int attemptsLeft = 0; // after a wrong PIN
    QString message; // in Russian, empty when signed in

    bool signedIn() const { return outcome == SignInOutcome::SignedIn; }
};

enum class OperatorChange {
    Done,
    Exists,
    NotFound,
    FirstMustBeOwner,
    BadName,
    LastOwner, // the change would leave the shop without an owner who may sign in
    Failed
};

// What an audit record of this counter carries besides what was done.
struct AuditSigner
{
    QString counter;
    QString operatorName;
    QString approver;
};

class OperatorStore
{
public:
    explicit OperatorStore(Connection &connection);

    // -1 when it cannot be read. Operators are on once there is one, disabled or not.
    int count();
    QVector<OperatorAccount> list(bool *ok = nullptr); // by name
    bool find(const QString &name, OperatorAccount *account, bool *found);

    // The PIN's hash is made beforehand (it takes a tenth of a second, no transaction waits on
    // it). The first operator must be an owner.
    OperatorChange add(const QString &name, Role role, const QByteArray &pinHash,
                       const AuditSigner &by);
    OperatorChange disable(const QString &name, const AuditSigner &by);
    OperatorChange enable(const QString &name, const AuditSigner &by);
    OperatorChange setRole(const QString &name, Role role, const AuditSigner &by);
    // A new PIN (its hash made beforehand); the wrong PINs and the lock start again.
    OperatorChange resetPin(const QString &name, const QByteArray &pinHash, const AuditSigner &by);

    // Checks the PIN (a tenth of a second) and keeps the outcome: the wrong PINs in a row, the
    // lock after five, the sign-in or failed one in the audit trail. The attempt is counted
    // under the operator's row lock before its PIN is compared, so that however many sign-ins
    // start at once, no more than five wrong PINs are compared before the lock; the slow hash is
    // made before, outside the lock. On PostgreSQL the PIN's hash never leaves the database:
    // the server's own functions give its setting and compare the proof.
    SignInAnswer signIn(const QString &name, const QString &pin, const QString &counter,
                        const QDateTime &now = QDateTime());

    // The chain's head after the last audit record this store sealed; count 0 when none.
    AuditHead lastHead() const { return head; }

private:
    // One UPDATE of the operator's row and its audit record, in one transaction.
    OperatorChange change(const QString &name, const QString &assignments,
                          const QVariantList &values, AuditRecord record, const AuditSigner &by);
    // Whether another owner than name may still sign in; false when it cannot be read.
    bool otherOwnerActive(const QString &name, bool *ok);

    Connection &connection;
    AuditHead head;
};

// The server's functions that alone read the PIN hashes and change the lock on PostgreSQL, run
// with the rights of the schema's owner; made by the schema's upgrade. Their names are for the
// grants.
QStringList signInFunctionStatements(const QString &schema);
const QStringList &signInFunctions();

// "Оператор «Анна» (Менеджер) добавлен." and the like, for the command line and the window.
QString operatorChangeText(OperatorChange change, const QString &name);
