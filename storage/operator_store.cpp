// Operators in SQL. The lock's count is kept by the database in one statement, so that wrong PINs
// typed at two counters at once still add up.
#include "storage/operator_store.h"

#include "storage/audit_log.h"
#include "storage/connection.h"
#include "storage/pin_hash.h"
#include "storage/transaction.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

const QString AccountColumns
    = QStringLiteral("id, name, role, pin_hash, disabled, failed_count, locked_until, created");

OperatorAccount accountOf(const QSqlQuery &query)
{
    OperatorAccount account;
    account.id = query.value(0).toLongLong();
    account.name = query.value(1).toString();
    const int role = query.value(2).toInt();
    account.role = role == int(Role::Owner) ? Role::Owner
        : role == int(Role::Manager)        ? Role::Manager
                                            : Role::Operator;
    account.pinHash = query.value(3).toString().toUtf8();
    account.disabled = query.value(4).toInt() != 0;
    account.failedCount = query.value(5).toInt();
    const QString locked = query.value(6).toString();
    if (!locked.isEmpty())
        account.lockedUntil = QDateTime::fromString(locked, Qt::ISODateWithMs);
    account.created = QDateTime::fromString(query.value(7).toString(), Qt::ISODateWithMs);
    return account;
}

QString lockText(const OperatorAccount &account)
{
    return QStringLiteral("Оператор «%1» заблокирован до %2 после %3 неверных PIN подряд.")
        .arg(account.name, account.lockedUntil.toLocalTime().toString(QStringLiteral("HH:mm")))
        .arg(PinAttempts);
}

} // namespace

QString operatorChangeText(OperatorChange change, const QString &name)
{
    switch (change) {
    case OperatorChange::Done:
        return QString();
    case OperatorChange::Exists:
        return QStringLiteral("Оператор «%1» уже есть.").arg(name);
    case OperatorChange::NotFound:
        return QStringLiteral("Оператора «%1» нет.").arg(name);
    case OperatorChange::FirstMustBeOwner:
        return QStringLiteral("Первым заводится владелец: --role owner.");
    case OperatorChange::BadName:
        return QStringLiteral("Имя оператора «%1» не подходит: нужно непустое имя в одну строку.")
            .arg(name);
    case OperatorChange::Failed:
        break;
    }
    return QStringLiteral("Оператор «%1» не сохранён.").arg(name);
}

OperatorStore::OperatorStore(Connection &connection)
    : connection(connection)
{ }

int OperatorStore::count()
{
    QSqlQuery query(connection.database());
    if (!query.exec(QStringLiteral("SELECT count(*) FROM operator")) || !query.next()) {
        connection.noteError(query.lastError());
        return -1;
    }
    return query.value(0).toInt();
}

QVector<OperatorAccount> OperatorStore::list(bool *ok)
{
    QSqlQuery query(connection.database());
    QVector<OperatorAccount> accounts;
    const bool done = query.exec(QStringLiteral("SELECT ") + AccountColumns
                                 + QStringLiteral(" FROM operator ORDER BY name, id"));
    while (done && query.next())
        accounts.append(accountOf(query));
    if (!done)
        connection.noteError(query.lastError());
    if (ok)
        *ok = done;
    return accounts;
}

bool OperatorStore::find(const QString &name, OperatorAccount *account, bool *found)
{
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("SELECT ") + AccountColumns
                  + QStringLiteral(" FROM operator WHERE name = ?"));
    query.addBindValue(name);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return false;
    }
    *found = query.next();
    if (*found)
        *account = accountOf(query);
    return true;
}

OperatorChange OperatorStore::add(const QString &name, Role role, const QByteArray &pinHash,
                                  const AuditSigner &by)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty() || trimmed != name || name.contains(QLatin1Char('\n'))
        || name.contains(QLatin1Char('\t')))
        return OperatorChange::BadName;
    if (pinHash.isEmpty())
        return OperatorChange::Failed;
    Transaction transaction(connection);
    if (!transaction.isActive())
        return OperatorChange::Failed;
    QSqlQuery query(connection.database());
    // Two counters adding the first operator at once: the second sees the first.
    if (!connection.isSqlite()
        && !query.exec(QStringLiteral("LOCK TABLE operator IN SHARE ROW EXCLUSIVE MODE"))) {
        connection.noteError(query.lastError());
        return OperatorChange::Failed;
    }
    const int existing = count();
    if (existing < 0)
        return OperatorChange::Failed;
    if (existing == 0 && role != Role::Owner)
        return OperatorChange::FirstMustBeOwner;
    OperatorAccount account;
    bool found = false;
    if (!find(name, &account, &found))
        return OperatorChange::Failed;
    if (found)
        return OperatorChange::Exists;
    query.prepare(QStringLiteral("INSERT INTO operator (name, role, pin_hash, created) "
                                 "VALUES (?, ?, ?, ?)"));
    query.addBindValue(name);
    query.addBindValue(int(role));
    query.addBindValue(QString::fromUtf8(pinHash));
    query.addBindValue(auditTimeText(QDateTime::currentDateTimeUtc()));
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return OperatorChange::Failed;
    }
    AuditRecord record;
    record.counter = by.counter;
    record.operatorName = by.operatorName;
    record.approver = by.approver;
    record.what = QStringLiteral("оператор добавлен");
    record.newValue = name + QStringLiteral(" (") + roleCaption(role) + QLatin1Char(')');
    if (!AuditLog(connection).append(&record) || !transaction.commit())
        return OperatorChange::Failed;
    head = {record.id, record.hash};
    return OperatorChange::Done;
}

OperatorChange OperatorStore::disable(const QString &name, const AuditSigner &by)
{
    Transaction transaction(connection);
    if (!transaction.isActive())
        return OperatorChange::Failed;
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("UPDATE operator SET disabled = 1 WHERE name = ?"));
    query.addBindValue(name);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return OperatorChange::Failed;
    }
    if (query.numRowsAffected() == 0)
        return OperatorChange::NotFound;
    AuditRecord record;
    record.counter = by.counter;
    record.operatorName = by.operatorName;
    record.approver = by.approver;
    record.what = QStringLiteral("оператор отключён");
    record.oldValue = name;
    if (!AuditLog(connection).append(&record) || !transaction.commit())
        return OperatorChange::Failed;
    head = {record.id, record.hash};
    return OperatorChange::Done;
}

SignInAnswer OperatorStore::signIn(const QString &name, const QString &pin, const QString &counter,
                                   const QDateTime &now)
{
    const QDateTime at = now.isValid() ? now.toUTC() : QDateTime::currentDateTimeUtc();
    SignInAnswer answer;
    bool found = false;
    if (!find(name, &answer.account, &found)) {
        answer.message = connection.errorText();
        return answer;
    }
    if (!found) {
        answer.outcome = SignInOutcome::Unknown;
        answer.message = operatorChangeText(OperatorChange::NotFound, name);
        return answer;
    }
    if (answer.account.disabled) {
        answer.outcome = SignInOutcome::Disabled;
        answer.message = QStringLiteral("Оператор «%1» отключён.").arg(name);
        return answer;
    }
    if (answer.account.lockedUntil.isValid() && answer.account.lockedUntil > at) {
        answer.outcome = SignInOutcome::Locked;
        answer.message = lockText(answer.account);
        return answer;
    }
    const bool matches = pinMatches(answer.account.pinHash, pin);

    Transaction transaction(connection);
    if (!transaction.isActive()) {
        answer.message = connection.errorText();
        return answer;
    }
    QSqlQuery query(connection.database());
    if (matches) {
        query.prepare(QStringLiteral("UPDATE operator SET failed_count = 0, locked_until = '' "
                                     "WHERE id = ?"));
    } else {
        // The count starts again once the lock is set, so that the lock's end gives five more.
        query.prepare(
            QStringLiteral("UPDATE operator SET failed_count = CASE WHEN failed_count + 1 >= ? "
                           "THEN 0 ELSE failed_count + 1 END, locked_until = CASE WHEN "
                           "failed_count + 1 >= ? THEN ? ELSE locked_until END WHERE id = ?"));
        query.addBindValue(PinAttempts);
        query.addBindValue(PinAttempts);
        query.addBindValue(auditTimeText(at.addSecs(PinLockMinutes * 60)));
    }
    query.addBindValue(answer.account.id);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        answer.message = connection.errorText();
        return answer;
    }
    OperatorAccount after;
    if (!find(name, &after, &found) || !found) {
        answer.message = connection.errorText();
        return answer;
    }
    AuditRecord record;
    record.time = at;
    record.counter = counter;
    record.operatorName = name;
    record.what = matches ? QStringLiteral("вход") : QStringLiteral("неудачный вход");
    if (!matches && after.lockedUntil.isValid() && after.lockedUntil > at)
        record.newValue = QStringLiteral("заблокирован до ") + auditTimeText(after.lockedUntil);
    if (!AuditLog(connection).append(&record) || !transaction.commit()) {
        answer.outcome = SignInOutcome::Failed;
        answer.message = connection.errorText();
        return answer;
    }
    head = {record.id, record.hash};
    answer.account = after;
    if (matches) {
        answer.outcome = SignInOutcome::SignedIn;
    } else if (after.lockedUntil.isValid() && after.lockedUntil > at) {
        answer.outcome = SignInOutcome::Locked;
        answer.message = QStringLiteral("Неверный PIN. ") + lockText(after);
    } else {
        answer.outcome = SignInOutcome::WrongPin;
        answer.attemptsLeft = PinAttempts - after.failedCount;
        answer.message
            = QStringLiteral("Неверный PIN. Осталось попыток: %1.").arg(answer.attemptsLeft);
    }
    return answer;
}
