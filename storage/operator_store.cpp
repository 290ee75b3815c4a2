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

// Never the PIN's hash, which the counters' logins may not read on PostgreSQL.
const QString AccountColumns
    = QStringLiteral("id, name, role, disabled, failed_count, locked_until, created");

// What the check under the lock answers, as the server's function numbers it.
enum class Verdict { SignedIn = 0, WrongPin = 1, Locked = 2, Disabled = 3, Unknown = 4 };

const QString UtcMillis = QStringLiteral("'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"'");

OperatorAccount accountOf(const QSqlQuery &query)
{
    OperatorAccount account;
    account.id = query.value(0).toLongLong();
    account.name = query.value(1).toString();
    const int role = query.value(2).toInt();
    account.role = role == int(Role::Owner) ? Role::Owner
        : role == int(Role::Manager)        ? Role::Manager
                                            : Role::Operator;
    account.disabled = query.value(3).toInt() != 0;
    account.failedCount = query.value(4).toInt();
    const QString locked = query.value(5).toString();
    if (!locked.isEmpty())
        account.lockedUntil = QDateTime::fromString(locked, Qt::ISODateWithMs);
    account.created = QDateTime::fromString(query.value(6).toString(), Qt::ISODateWithMs);
    return account;
}

QString lockText(const OperatorAccount &account)
{
    return QStringLiteral("Оператор «%1» заблокирован до %2 после %3 неверных PIN подряд.")
        .arg(account.name, account.lockedUntil.toLocalTime().toString(QStringLiteral("HH:mm")))
        .arg(PinAttempts);
}

} // namespace

QStringList signInFunctionStatements(const QString &schema)
{
    const QString header
        = QStringLiteral("LANGUAGE %1 SECURITY DEFINER SET search_path = %2, pg_temp AS ");
    return {
        QStringLiteral("CREATE OR REPLACE FUNCTION operator_pin_setting(p_name text) RETURNS text ")
            + header.arg(QStringLiteral("sql STABLE"), schema)
            + QStringLiteral("$f$ SELECT coalesce((SELECT substring(pin_hash from "
                             "'^(\\$argon2id\\$.*)\\$[^$]*$') FROM operator WHERE name = "
                             "p_name), '') $f$"),
        // Counted first, compared after, in one statement under the row's lock.
        QStringLiteral("CREATE OR REPLACE FUNCTION operator_sign_in(p_name text, p_proof text) "
                       "RETURNS TABLE (outcome integer, failed integer, locked text) ")
            + header.arg(QStringLiteral("plpgsql"), schema)
            + QStringLiteral(
                  "$f$ DECLARE r record; kept text; "
                  "stamp text := to_char(clock_timestamp() AT TIME ZONE 'UTC', %1); "
                  "BEGIN "
                  "SELECT o.id, o.disabled, o.failed_count, o.locked_until, o.pin_hash INTO r "
                  "FROM operator o WHERE o.name = p_name FOR UPDATE; "
                  "IF NOT FOUND THEN RETURN QUERY SELECT 4, 0, ''::text; RETURN; END IF; "
                  "IF r.disabled <> 0 THEN "
                  "RETURN QUERY SELECT 3, r.failed_count, r.locked_until; RETURN; END IF; "
                  "IF r.locked_until <> '' AND r.locked_until > stamp THEN "
                  "RETURN QUERY SELECT 2, r.failed_count, r.locked_until; RETURN; END IF; "
                  "IF r.failed_count + 1 >= %2 THEN r.failed_count := 0; "
                  "r.locked_until := to_char(clock_timestamp() AT TIME ZONE 'UTC' "
                  "+ interval '%3 minutes', %1); "
                  "ELSE r.failed_count := r.failed_count + 1; END IF; "
                  "UPDATE operator SET failed_count = r.failed_count, "
                  "locked_until = r.locked_until WHERE id = r.id; "
                  "kept := substring(r.pin_hash from '\\$([^$]*)$'); "
                  "IF kept IS NOT NULL AND coalesce(p_proof, '') <> '' AND kept = p_proof THEN "
                  "UPDATE operator SET failed_count = 0, locked_until = '' WHERE id = r.id; "
                  "RETURN QUERY SELECT 0, 0, ''::text; RETURN; END IF; "
                  "RETURN QUERY SELECT 1, r.failed_count, r.locked_until; "
                  "END $f$")
                  .arg(UtcMillis)
                  .arg(PinAttempts)
                  .arg(PinLockMinutes),
        QStringLiteral("REVOKE ALL ON FUNCTION operator_pin_setting(text), "
                       "operator_sign_in(text, text) FROM PUBLIC")};
}

const QStringList &signInFunctions()
{
    static const QStringList names {QStringLiteral("operator_pin_setting(text)"),
                                    QStringLiteral("operator_sign_in(text, text)")};
    return names;
}

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
    case OperatorChange::LastOwner:
        return QStringLiteral("«%1» — последний действующий владелец: сначала назначьте другого.")
            .arg(name);
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
    AuditRecord record;
    record.what = QStringLiteral("оператор отключён");
    record.oldValue = name;
    return change(name, QStringLiteral("disabled = 1"), {}, record, by);
}

OperatorChange OperatorStore::change(const QString &name, const QString &assignments,
                                     const QVariantList &values, AuditRecord record,
                                     const AuditSigner &by)
{
    Transaction transaction(connection);
    if (!transaction.isActive())
        return OperatorChange::Failed;
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("UPDATE operator SET ") + assignments
                  + QStringLiteral(" WHERE name = ?"));
    for (const QVariant &value : values)
        query.addBindValue(value);
    query.addBindValue(name);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return OperatorChange::Failed;
    }
    if (query.numRowsAffected() == 0)
        return OperatorChange::NotFound;
    record.counter = by.counter;
    record.operatorName = by.operatorName;
    record.approver = by.approver;
    if (!AuditLog(connection).append(&record) || !transaction.commit())
        return OperatorChange::Failed;
    head = {record.id, record.hash};
    return OperatorChange::Done;
}

bool OperatorStore::otherOwnerActive(const QString &name, bool *ok)
{
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral(
        "SELECT count(*) FROM operator WHERE role = ? AND disabled = 0 AND name <> ?"));
    query.addBindValue(int(Role::Owner));
    query.addBindValue(name);
    *ok = query.exec() && query.next();
    if (!*ok) {
        connection.noteError(query.lastError());
        return false;
    }
    return query.value(0).toInt() > 0;
}

OperatorChange OperatorStore::enable(const QString &name, const AuditSigner &by)
{
    AuditRecord record;
    record.what = QStringLiteral("оператор включён");
    record.newValue = name;
    return change(name, QStringLiteral("disabled = 0"), {}, record, by);
}

OperatorChange OperatorStore::setRole(const QString &name, Role role, const AuditSigner &by)
{
    OperatorAccount account;
    bool found = false;
    if (!find(name, &account, &found))
        return OperatorChange::Failed;
    if (!found)
        return OperatorChange::NotFound;
    if (account.role == role)
        return OperatorChange::Done;
    bool ok = false;
    if (account.role == Role::Owner && !account.disabled && !otherOwnerActive(name, &ok))
        return ok ? OperatorChange::LastOwner : OperatorChange::Failed;
    AuditRecord record;
    record.what = QStringLiteral("роль оператора изменена");
    record.oldValue = name + QStringLiteral(" (") + roleCaption(account.role) + QLatin1Char(')');
    record.newValue = name + QStringLiteral(" (") + roleCaption(role) + QLatin1Char(')');
    return change(name, QStringLiteral("role = ?"), {int(role)}, record, by);
}

OperatorChange OperatorStore::resetPin(const QString &name, const QByteArray &pinHash,
                                       const AuditSigner &by)
{
    if (pinHash.isEmpty())
        return OperatorChange::Failed;
    AuditRecord record;
    record.what = QStringLiteral("PIN оператора сброшен");
    record.oldValue = name;
    return change(name, QStringLiteral("pin_hash = ?, failed_count = 0, locked_until = ''"),
                  {QString::fromUtf8(pinHash)}, record, by);
}

SignInAnswer OperatorStore::signIn(const QString &name, const QString &pin, const QString &counter,
                                   const QDateTime &now)
{
    const QDateTime at = now.isValid() ? now.toUTC() : QDateTime::currentDateTimeUtc();
    SignInAnswer answer;
    // The account and its hash's setting in one read (on SQLite the hash itself, whose setting
    // is taken here).
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("SELECT ") + AccountColumns
                  + (connection.isSqlite() ? QStringLiteral(", pin_hash")
                                           : QStringLiteral(", operator_pin_setting(name)"))
                  + QStringLiteral(" FROM operator WHERE name = ?"));
    query.addBindValue(name);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        answer.message = connection.errorText();
        return answer;
    }
    const bool found = query.next();
    if (found)
        answer.account = accountOf(query);
    const QByteArray stored = found ? query.value(7).toString().toUtf8() : QByteArray();
    query.finish();
    // Told before the slow hash; the check under the lock below decides all the same.
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
    const QByteArray proof = pinProof(connection.isSqlite() ? pinSetting(stored) : stored, pin);

    Transaction transaction(connection);
    if (!transaction.isActive()) {
        answer.message = connection.errorText();
        return answer;
    }
    Verdict verdict = Verdict::Unknown;
    // The count and the lock as the check under the lock left them.
    int failedAfter = 0;
    QString lockedAfter;
    if (connection.isSqlite()) {
        // The file's write lock is held from the transaction's start (BEGIN IMMEDIATE).
        query.prepare(QStringLiteral("SELECT disabled, failed_count, locked_until, pin_hash FROM "
                                     "operator WHERE id = ?"));
        query.addBindValue(answer.account.id);
        if (!query.exec()) {
            connection.noteError(query.lastError());
            answer.message = connection.errorText();
            return answer;
        }
        if (query.next()) {
            const QString locked = query.value(2).toString();
            const QByteArray hash = query.value(3).toString().toUtf8();
            int failed = query.value(1).toInt();
            QString lockedUntil = locked;
            if (query.value(0).toInt() != 0) {
                verdict = Verdict::Disabled;
            } else if (!locked.isEmpty() && locked > auditTimeText(at)) {
                verdict = Verdict::Locked;
            } else {
                // Counted first, compared after.
                if (failed + 1 >= PinAttempts) {
                    failed = 0;
                    lockedUntil = auditTimeText(at.addSecs(PinLockMinutes * 60));
                } else {
                    ++failed;
                }
                verdict = proofMatches(hash, proof) ? Verdict::SignedIn : Verdict::WrongPin;
                if (verdict == Verdict::SignedIn) {
                    failed = 0;
                    lockedUntil.clear();
                }
                query.finish();
                query.prepare(QStringLiteral(
                    "UPDATE operator SET failed_count = ?, locked_until = ? WHERE id = ?"));
                query.addBindValue(failed);
                query.addBindValue(lockedUntil.isEmpty() ? QStringLiteral("") : lockedUntil);
                query.addBindValue(answer.account.id);
                if (!query.exec()) {
                    connection.noteError(query.lastError());
                    answer.message = connection.errorText();
                    return answer;
                }
            }
            failedAfter = failed;
            lockedAfter = lockedUntil;
        }
    } else {
        query.prepare(QStringLiteral("SELECT outcome, failed, locked FROM operator_sign_in(?, ?)"));
        query.addBindValue(name);
        query.addBindValue(QString::fromLatin1(proof));
        if (!query.exec() || !query.next()) {
            connection.noteError(query.lastError());
            answer.message = connection.errorText();
            return answer;
        }
        verdict = Verdict(query.value(0).toInt());
        failedAfter = query.value(1).toInt();
        lockedAfter = query.value(2).toString();
    }
    query.finish();
    OperatorAccount after = answer.account;
    after.failedCount = failedAfter;
    after.lockedUntil = lockedAfter.isEmpty()
        ? QDateTime()
        : QDateTime::fromString(lockedAfter, Qt::ISODateWithMs);
    answer.account = after;
    switch (verdict) {
    case Verdict::Unknown:
        answer.outcome = SignInOutcome::Unknown;
        answer.message = operatorChangeText(OperatorChange::NotFound, name);
        return answer;
    case Verdict::Disabled:
        answer.outcome = SignInOutcome::Disabled;
        answer.message = QStringLiteral("Оператор «%1» отключён.").arg(name);
        return answer;
    case Verdict::Locked:
        // Another counter's wrong PINs locked it while this one's hash was made.
        answer.outcome = SignInOutcome::Locked;
        answer.message = lockText(after);
        return answer;
    case Verdict::SignedIn:
    case Verdict::WrongPin:
        break;
    }
    const bool matches = verdict == Verdict::SignedIn;
    // The count starts again when the lock is set: a wrong PIN that leaves it at 0 set it.
    const bool lockedNow = !matches && after.failedCount == 0 && after.lockedUntil.isValid();
    AuditRecord record;
    record.time = at;
    record.counter = counter;
    record.operatorName = name;
    record.what = matches ? QStringLiteral("вход") : QStringLiteral("неудачный вход");
    if (!matches && lockedNow)
        record.newValue = QStringLiteral("заблокирован до ") + auditTimeText(after.lockedUntil);
    if (!AuditLog(connection).append(&record) || !transaction.commit()) {
        answer.outcome = SignInOutcome::Failed;
        answer.message = connection.errorText();
        return answer;
    }
    head = {record.id, record.hash};
    if (matches) {
        answer.outcome = SignInOutcome::SignedIn;
    } else if (lockedNow) {
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
