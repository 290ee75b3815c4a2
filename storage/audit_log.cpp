// The audit trail in SQL. The chain's order is its ids, which the program gives: each one is the
// last one plus one, read under the write lock, so that two counters never seal onto the same row.
#include "storage/audit_log.h"

#include "storage/connection.h"
#include "storage/schema.h"
#include "storage/sql_lines.h"
#include "storage/transaction.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <limits>

namespace {

const QString AuditColumns = QStringLiteral(
    "id, logged_at, counter, operator_name, approver, what, old_value, new_value, previous_hash, "
    "own_hash");

// The time read as well unless only the chain is checked (its stored text is hashed then).
AuditRecord recordOf(const QSqlQuery &query, bool withTime = true)
{
    AuditRecord record;
    record.id = query.value(0).toLongLong();
    if (withTime)
        record.time = QDateTime::fromString(query.value(1).toString(), Qt::ISODateWithMs);
    record.counter = query.value(2).toString();
    record.operatorName = query.value(3).toString();
    record.approver = query.value(4).toString();
    record.what = query.value(5).toString();
    record.oldValue = query.value(6).toString();
    record.newValue = query.value(7).toString();
    record.previousHash = query.value(8).toString().toLatin1();
    record.hash = query.value(9).toString().toLatin1();
    return record;
}

// The start of a local day as the trail's text, so that a range is a range of the index.
QString dayStartText(const QDate &day)
{
    return auditTimeText(QDateTime(day, QTime(0, 0)));
}

} // namespace

QString auditTimeText(const QDateTime &time)
{
    return time.toUTC().toString(Qt::ISODateWithMs);
}

QString AuditCheck::text() const
{
    if (!read)
        return QStringLiteral("Журнал действий не прочитан.");
    if (!missingTriggers.isEmpty())
        return QStringLiteral("Журнал действий не защищён от правки: нет триггера %1.")
            .arg(missingTriggers.join(QStringLiteral(", ")));
    if (!verdict.intact)
        return QStringLiteral("Цепочка нарушена: ") + verdict.problem;
    return QStringLiteral("цепочка цела");
}

AuditLog::AuditLog(Connection &connection)
    : connection(connection)
{ }

bool AuditLog::append(AuditRecord *record)
{
    QSqlQuery query(connection.database());
    const auto fail = [&] {
        connection.noteError(query.lastError());
        return false;
    };
    // SQLite's transactions take the write lock at their start; PostgreSQL's counters wait here.
    if (!connection.isSqlite() && !query.exec(QStringLiteral("SELECT pg_advisory_xact_lock(7309)")))
        return fail();
    if (!query.exec(QStringLiteral("SELECT id, own_hash FROM audit_log ORDER BY id DESC LIMIT 1")))
        return fail();
    qint64 lastId = 0;
    QByteArray previous;
    if (query.next()) {
        lastId = query.value(0).toLongLong();
        previous = query.value(1).toString().toLatin1();
    }
    query.finish();
    record->id = lastId + 1;
    if (!record->time.isValid())
        record->time = QDateTime::currentDateTimeUtc();
    // The hash covers the time as stored, to the millisecond.
    record->time = QDateTime::fromString(auditTimeText(record->time), Qt::ISODateWithMs);
    *record = sealedAuditRecord(*record, previous);
    if (!query.prepare(QStringLiteral("INSERT INTO audit_log (") + AuditColumns
                       + QStringLiteral(") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")))
        return fail();
    query.addBindValue(record->id);
    query.addBindValue(auditTimeText(record->time));
    query.addBindValue(notNull(record->counter));
    query.addBindValue(notNull(record->operatorName));
    query.addBindValue(notNull(record->approver));
    query.addBindValue(notNull(record->what));
    query.addBindValue(notNull(record->oldValue));
    query.addBindValue(notNull(record->newValue));
    query.addBindValue(notNull(QString::fromLatin1(record->previousHash)));
    query.addBindValue(QString::fromLatin1(record->hash));
    return query.exec() || fail();
}

bool AuditLog::add(AuditRecord *record)
{
    Transaction transaction(connection);
    return transaction.isActive() && append(record) && transaction.commit();
}

bool AuditLog::missingTriggers(QStringList *missing)
{
    QSqlQuery query(connection.database());
    const bool read = connection.isSqlite()
        ? query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'trigger' AND "
                                    "tbl_name = 'audit_log'"))
        : query.exec(QStringLiteral("SELECT tgname FROM pg_catalog.pg_trigger WHERE tgrelid = "
                                    "'audit_log'::regclass AND tgenabled <> 'D'"));
    if (!read) {
        connection.noteError(query.lastError());
        return false;
    }
    QStringList present;
    while (query.next())
        present.append(query.value(0).toString());
    missing->clear();
    for (const QString &name : auditTriggerNames())
        if (!present.contains(name))
            missing->append(name);
    return true;
}

AuditCheck AuditLog::verify(const AuditHead &kept)
{
    AuditCheck check;
    if (!missingTriggers(&check.missingTriggers))
        return check;
    // The database composes the bytes each hash is taken over (the lengths in bytes, as
    // auditHash() writes them), so that a row comes as four values instead of ten texts, none of
    // them turned into the program's strings and back. In pages by id: PostgreSQL's driver then
    // takes each page in one answer instead of a row at a time, and neither database holds the
    // whole trail in memory.
    const bool sqlite = connection.isSqlite();
    const auto field = [sqlite](const QString &column) {
        return sqlite
            ? QStringLiteral("length(CAST(%1 AS BLOB)) || ':' || %1").arg(column)
            : QStringLiteral("CAST(octet_length(convert_to(%1, 'UTF8')) AS TEXT) || ':' || %1")
                  .arg(column);
    };
    QStringList parts {QStringLiteral("previous_hash || '|'"),
                       field(QStringLiteral("CAST(id AS TEXT)"))};
    for (const char *column :
         {"logged_at", "counter", "operator_name", "approver", "what", "old_value", "new_value"})
        parts << field(QLatin1String(column));
    const QString content = parts.join(QStringLiteral(" || "));
    const int page = 50000;
    QSqlQuery query(connection.database());
    query.setForwardOnly(sqlite);
    const QString columns = sqlite
        ? QStringLiteral(
            "id, CAST(previous_hash AS BLOB), CAST(own_hash AS BLOB), CAST(%1 AS BLOB)")
        : QStringLiteral("id, previous_hash, own_hash, %1");
    if (!query.prepare(QStringLiteral("SELECT ") + columns.arg(content)
                       + QStringLiteral(" FROM audit_log WHERE id > ? ORDER BY id LIMIT ")
                       + QString::number(page))) {
        connection.noteError(query.lastError());
        return check;
    }
    AuditChainCheck chain(kept);
    qint64 after = std::numeric_limits<qint64>::min();
    bool going = true;
    QVector<AuditRecord> records;
    QVector<QByteArray> contents;
    records.reserve(page);
    contents.reserve(page);
    while (going) {
        query.addBindValue(after);
        if (!query.exec()) {
            connection.noteError(query.lastError());
            return check;
        }
        records.clear();
        contents.clear();
        while (query.next()) {
            AuditRecord record;
            record.id = query.value(0).toLongLong();
            if (sqlite) {
                record.previousHash = query.value(1).toByteArray();
                record.hash = query.value(2).toByteArray();
                contents.append(query.value(3).toByteArray());
            } else {
                record.previousHash = query.value(1).toString().toLatin1();
                record.hash = query.value(2).toString().toLatin1();
                contents.append(query.value(3).toString().toUtf8());
            }
            records.append(record);
        }
        if (!records.isEmpty())
            after = records.last().id;
        going = chain.addComposedPage(records, contents) && records.size() == page;
    }
    check.read = true;
    check.verdict = chain.finish();
    if (check.verdict.intact)
        check.head = chain.readHead();
    return check;
}

QVector<AuditRecord> AuditLog::list(const AuditFilter &filter, bool *ok)
{
    QString sql = QStringLiteral("SELECT ") + AuditColumns + QStringLiteral(" FROM audit_log");
    QStringList where;
    QVariantList values;
    if (filter.from.isValid()) {
        where << QStringLiteral("logged_at >= ?");
        values << dayStartText(filter.from);
    }
    if (filter.to.isValid()) {
        where << QStringLiteral("logged_at < ?");
        values << dayStartText(filter.to.addDays(1));
    }
    if (!filter.who.isEmpty()) {
        where << QStringLiteral("(operator_name = ? OR approver = ?)");
        values << filter.who << filter.who;
    }
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY id");
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    QVector<AuditRecord> records;
    bool done = query.prepare(sql);
    for (const QVariant &value : qAsConst(values))
        query.addBindValue(value);
    done = done && query.exec();
    // The part of what was done is looked for here: the databases' own matching ignores the case
    // of Latin letters only.
    const QString what = filter.what.trimmed();
    while (done && query.next()) {
        AuditRecord record = recordOf(query);
        if (what.isEmpty() || record.what.contains(what, Qt::CaseInsensitive))
            records.append(record);
    }
    if (!done)
        connection.noteError(query.lastError());
    if (ok)
        *ok = done;
    return records;
}
