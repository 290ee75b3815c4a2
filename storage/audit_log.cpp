// The audit trail in SQL. The chain's order is its ids, which the program gives: each one is the
// last one plus one, read under the write lock, so that two counters never seal onto the same row.
#include "storage/audit_log.h"

#include "order/shift_report.h"
#include "storage/connection.h"
#include "storage/schema.h"
#include "storage/settings.h"
#include "storage/sql_lines.h"
#include "storage/transaction.h"

#include <QHash>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <sodium.h>

#include <cstring>
#include <limits>
#include <thread>

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
    // Without its triggers the chain is still read: what was changed or removed is named.
    const QString triggers = missingTriggers.isEmpty()
        ? QString()
        : QStringLiteral("Журнал действий не защищён от правки: нет триггера %1.")
              .arg(missingTriggers.join(QStringLiteral(", ")));
    QStringList told;
    if (!anchorBreak.isEmpty())
        told << anchorBreak + QLatin1Char('.');
    if (!triggers.isEmpty())
        told << triggers;
    told << headProblems;
    if (!verdict.intact)
        told << QStringLiteral("Цепочка нарушена: ") + verdict.problem;
    return told.isEmpty() ? QStringLiteral("цепочка цела") : told.join(QLatin1Char(' '));
}

AuditLog::AuditLog(Connection &connection)
    : connection(connection)
{ }

QString auditAppendFunction()
{
    return QStringLiteral("audit_append(text, text, text, text, text, text, text)");
}

QStringList auditAppendStatements(const QString &schema)
{
    // Each field as auditHash() takes it: its length in UTF-8 bytes, a colon, the text.
    QStringList fields;
    for (const char *field : {"new_id::text", "p_logged_at", "p_counter", "p_operator",
                              "p_approver", "p_what", "p_old", "p_new"})
        fields << QStringLiteral("octet_length(convert_to(%1, 'UTF8')) || ':' || %1")
                      .arg(QLatin1String(field));
    return {QStringLiteral(
                "CREATE OR REPLACE FUNCTION audit_append(p_logged_at text, p_counter text, "
                "p_operator text, p_approver text, p_what text, p_old text, p_new text) RETURNS "
                "TABLE (new_id bigint, new_hash text, previous text) LANGUAGE plpgsql SECURITY "
                "DEFINER SET search_path = %1, pg_temp AS $f$ BEGIN "
                "PERFORM pg_advisory_xact_lock(7309); "
                "SELECT a.id, a.own_hash INTO new_id, previous FROM audit_log a ORDER BY a.id DESC "
                "LIMIT 1; "
                "new_id := coalesce(new_id, 0) + 1; previous := coalesce(previous, ''); "
                "p_counter := coalesce(p_counter, ''); p_operator := coalesce(p_operator, ''); "
                "p_approver := coalesce(p_approver, ''); p_what := coalesce(p_what, ''); "
                "p_old := coalesce(p_old, ''); p_new := coalesce(p_new, ''); "
                // The counter's name is the program's word; the login is the server's.
                "IF EXISTS (SELECT 1 FROM pg_auth_members m JOIN pg_roles g ON g.oid = m.roleid "
                "JOIN pg_roles u ON u.oid = m.member WHERE u.rolname = session_user AND "
                "g.rolname IN ('printcalc_counter', 'printcalc_manager')) THEN p_counter := "
                "p_counter || ' (вход ' || session_user || ')'; END IF; "
                "new_hash := encode(pg_catalog.sha256(convert_to(previous || '|' || %2, 'UTF8')), "
                "'hex'); "
                "INSERT INTO audit_log (id, logged_at, counter, operator_name, approver, what, "
                "old_value, new_value, previous_hash, own_hash) VALUES (new_id, p_logged_at, "
                "p_counter, p_operator, p_approver, p_what, p_old, p_new, previous, new_hash); "
                "RETURN NEXT; END $f$")
                .arg(schema, fields.join(QStringLiteral(" || "))),
            QStringLiteral("REVOKE ALL ON FUNCTION %1 FROM PUBLIC").arg(auditAppendFunction())};
}

bool AuditLog::append(AuditRecord *record)
{
    QSqlQuery query(connection.database());
    const auto fail = [&] {
        connection.noteError(query.lastError());
        return false;
    };
    if (!record->time.isValid())
        record->time = QDateTime::currentDateTimeUtc();
    // The hash covers the time as stored, to the millisecond.
    record->time = QDateTime::fromString(auditTimeText(record->time), Qt::ISODateWithMs);
    if (!connection.isSqlite()) {
        if (!query.prepare(QStringLiteral(
                "SELECT new_id, new_hash, previous FROM audit_append(?, ?, ?, ?, ?, ?, ?)")))
            return fail();
        for (const QString &value :
             {auditTimeText(record->time), record->counter, record->operatorName, record->approver,
              record->what, record->oldValue, record->newValue})
            query.addBindValue(notNull(value));
        if (!query.exec() || !query.next())
            return fail();
        record->id = query.value(0).toLongLong();
        record->hash = query.value(1).toString().toLatin1();
        record->previousHash = query.value(2).toString().toLatin1();
        return true;
    }
    // SQLite's transactions take the write lock at their start.
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

bool changeWithRecord(Connection &connection, const AuditRecord &record,
                      const std::function<bool()> &change, AuditHead *sealed)
{
    *sealed = AuditHead();
    Transaction transaction(connection);
    if (!transaction.isActive() || !change())
        return false;
    AuditRecord written = record;
    if (!written.what.isEmpty() && !AuditLog(connection).append(&written))
        return false;
    if (!transaction.commit())
        return false;
    if (!written.what.isEmpty())
        *sealed = {written.id, written.hash};
    return true;
}

namespace {

// The triggers that keep the trail as written, checked by what they do, not by their names: a
// trigger of the same name that refuses nothing is no guard.
struct TriggerGuard
{
    const char *name;
    const char *event; // SQLite's
    int postgresType; // pg_trigger.tgtype: BEFORE (2), FOR EACH ROW (1), the event's bit
    bool postgresOnly;
};
const TriggerGuard Guards[] = {
    {"audit_log_no_update", "UPDATE", 2 | 1 | 16, false},
    {"audit_log_no_delete", "DELETE", 2 | 1 | 8, false},
    {"audit_log_no_truncate", "TRUNCATE", 2 | 32, true},
};

bool sqliteGuards(const QString &sql, const char *event)
{
    // BEFORE the event, for every row, nothing but the refusal in its body.
    static const QRegularExpression punctuation(QStringLiteral("\\s*([(),;])\\s*"));
    const QRegularExpression form(
        QStringLiteral("^CREATE TRIGGER (IF NOT EXISTS )?\\w+ BEFORE %1 ON AUDIT_LOG (FOR EACH "
                       "ROW )?BEGIN SELECT RAISE\\((ABORT|FAIL|ROLLBACK),'[^']*'\\);END$")
            .arg(QLatin1String(event)));
    QString plain = sql.simplified().toUpper();
    plain.remove(QLatin1Char('"')).remove(QLatin1Char('`'));
    plain.replace(punctuation, QStringLiteral("\\1"));
    return form.match(plain).hasMatch();
}

bool postgresGuards(int type, bool unconditional, const QString &body, int wanted)
{
    static const QRegularExpression refusal(
        QStringLiteral("^BEGIN RAISE EXCEPTION '[^']*' ?; ?END ?;?$"),
        QRegularExpression::CaseInsensitiveOption);
    return (type & (1 | 2 | 4 | 8 | 16 | 32 | 64)) == wanted && unconditional
        && refusal.match(body.simplified()).hasMatch();
}

} // namespace

bool AuditLog::missingTriggers(QStringList *missing)
{
    QSqlQuery query(connection.database());
    const bool sqlite = connection.isSqlite();
    const bool read = sqlite
        ? query.exec(QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'trigger' "
                                    "AND tbl_name = 'audit_log'"))
        : query.exec(QStringLiteral(
            "SELECT t.tgname, t.tgtype, t.tgqual IS NULL, p.prosrc FROM pg_catalog.pg_trigger t "
            "JOIN pg_catalog.pg_proc p ON p.oid = t.tgfoid WHERE t.tgrelid = "
            "'audit_log'::regclass AND t.tgenabled <> 'D' AND NOT t.tgisinternal"));
    if (!read) {
        connection.noteError(query.lastError());
        return false;
    }
    QHash<QString, bool> present; // by name: whether it refuses what its name says
    while (query.next()) {
        const QString name = query.value(0).toString();
        for (const TriggerGuard &guard : Guards)
            if (name == QLatin1String(guard.name))
                present[name] = present.value(name)
                    || (sqlite ? sqliteGuards(query.value(1).toString(), guard.event)
                               : postgresGuards(query.value(1).toInt(), query.value(2).toBool(),
                                                query.value(3).toString(), guard.postgresType));
    }
    missing->clear();
    for (const TriggerGuard &guard : Guards) {
        if (guard.postgresOnly && sqlite)
            continue;
        const QString name = QLatin1String(guard.name);
        if (!present.contains(name))
            missing->append(name);
        else if (!present.value(name))
            missing->append(name + QStringLiteral(" (есть, но ничего не запрещает)"));
    }
    return true;
}

AuditCheck AuditLog::verify(const AuditHead &kept)
{
    AuditCheck check;
    if (!missingTriggers(&check.missingTriggers))
        return check;
    check.read = connection.isSqlite() ? verifySqlite(kept, &check) : verifyPostgres(kept, &check);
    QVector<QPair<QString, AuditHead>> heads;
    if (check.read)
        check.read = zReportHeads(&heads) && checkHeads(heads, &check.headProblems);
    return check;
}

namespace {

// The bytes each own hash is taken over, as auditHash() writes them (the lengths in bytes),
// composed by the database so that a row comes as one value instead of ten texts, none of them
// turned into the program's strings and back.
QStringList composedFields(const std::function<QString(const QString &)> &length)
{
    QStringList fields {QStringLiteral("CAST(id AS TEXT)")};
    for (const char *column :
         {"logged_at", "counter", "operator_name", "approver", "what", "old_value", "new_value"})
        fields << QLatin1String(column);
    QStringList parts;
    for (const QString &field : qAsConst(fields))
        parts << length(field) << field;
    return parts;
}

// Rows read on one thread while the ones before are hashed on another.
const int SqliteBatch = 20000;

struct SqliteRow
{
    qint64 id = 0;
    int ownLength = 0; // the stored own hash first, then the content (previous hash first)
    int previousLength = 0;
    QByteArray bytes;
    bool sound = false; // the stored own hash is the content's
};

void hashRows(QVector<SqliteRow> *rows)
{
    unsigned char digest[crypto_hash_sha256_BYTES];
    char hex[crypto_hash_sha256_BYTES * 2 + 1];
    for (SqliteRow &row : *rows) {
        const auto *bytes = reinterpret_cast<const unsigned char *>(row.bytes.constData());
        if (row.ownLength + row.previousLength > row.bytes.size()) {
            row.sound = false;
            continue;
        }
        crypto_hash_sha256(digest, bytes + row.ownLength,
                           quint64(row.bytes.size() - row.ownLength));
        sodium_bin2hex(hex, sizeof hex, digest, sizeof digest);
        row.sound = row.ownLength == int(sizeof hex) - 1
            && std::memcmp(hex, row.bytes.constData(), sizeof hex - 1) == 0;
    }
}

} // namespace

bool AuditLog::verifySqlite(const AuditHead &kept, AuditCheck *check)
{
    static const bool sodium = sodium_init() >= 0;
    if (!sodium)
        return false;
    QStringList parts = composedFields(
        [](const QString &field) { return QStringLiteral("length(CAST(%1 AS BLOB))").arg(field); });
    QString format = QStringLiteral("%s%s|");
    for (int i = 0; i < parts.size(); i += 2)
        format += QStringLiteral("%d:%s");
    parts.prepend(QStringLiteral("previous_hash"));
    parts.prepend(QStringLiteral("own_hash"));
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT id, length(CAST(own_hash AS BLOB)), "
                                   "length(CAST(previous_hash AS BLOB)), CAST(printf('%1', %2) AS "
                                   "BLOB) FROM audit_log ORDER BY id")
                        .arg(format, parts.join(QStringLiteral(", "))))) {
        connection.noteError(query.lastError());
        return false;
    }
    QByteArray previous;
    QByteArray hashAtHead;
    qint64 count = 0;
    qint64 lastId = 0;
    QVector<SqliteRow> reading(SqliteBatch), hashed;
    std::thread hashing;
    bool more = true;
    bool broken = false;
    while (!broken && (more || !hashed.isEmpty())) {
        int filled = 0;
        while (more && filled < SqliteBatch) {
            more = query.next();
            if (!more)
                break;
            SqliteRow &row = reading[filled++];
            row.id = query.value(0).toLongLong();
            row.ownLength = query.value(1).toInt();
            row.previousLength = query.value(2).toInt();
            row.bytes = query.value(3).toByteArray();
        }
        if (!more && query.lastError().isValid()) {
            if (hashing.joinable())
                hashing.join();
            connection.noteError(query.lastError());
            return false;
        }
        if (hashing.joinable())
            hashing.join();
        // The batch hashed meanwhile is checked in order; the one just read goes to be hashed.
        for (const SqliteRow &row : qAsConst(hashed)) {
            const QByteArray carried = QByteArray::fromRawData(
                row.bytes.constData() + qMin(row.ownLength, row.bytes.size()),
                qMax(0, qMin(row.previousLength, row.bytes.size() - row.ownLength)));
            const AuditBreak kind = carried != previous ? AuditBreak::NotFollowing
                : !row.sound                            ? AuditBreak::Changed
                                                        : AuditBreak::OutOfPlace;
            if (kind != AuditBreak::OutOfPlace || row.id <= lastId) {
                check->verdict = auditBreakVerdict(int(count), row.id, kind);
                broken = true;
                break;
            }
            previous = QByteArray(row.bytes.constData(), row.ownLength);
            lastId = row.id;
            if (++count == kept.count)
                hashAtHead = previous;
        }
        reading.resize(filled);
        hashed.swap(reading);
        reading.resize(SqliteBatch);
        if (!broken && !hashed.isEmpty())
            hashing = std::thread(hashRows, &hashed);
    }
    if (hashing.joinable())
        hashing.join();
    if (!broken) {
        check->verdict = auditEndVerdict(kept, count, lastId, hashAtHead);
        if (check->verdict.intact)
            check->head = {count, previous};
    }
    return true;
}

bool AuditLog::verifyPostgres(const AuditHead &kept, AuditCheck *check)
{
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT current_setting('server_encoding')")) || !query.next()) {
        connection.noteError(query.lastError());
        return false;
    }
    // A text's length in bytes is its UTF-8 length only in a UTF-8 database.
    const bool utf8 = query.value(0).toString() == QLatin1String("UTF8");
    const QString content = QStringLiteral("previous_hash || '|' || ")
        + composedFields([utf8](const QString &field) {
              return utf8
                  ? QStringLiteral("octet_length(%1) || ':'").arg(field)
                  : QStringLiteral("octet_length(convert_to(%1, 'UTF8')) || ':'").arg(field);
          }).join(QStringLiteral(" || "));
    // The server checks the trail where it is, and answers with the first row that does not
    // hold and the chain's head: a million rows need not cross the network. The hashes are
    // checked by a scan the server may share out among its workers, the links by a pass in
    // order of the ids; one statement, so both see the same rows.
    const QString sql = QStringLiteral(
        "SELECT hashed.unsound, linked.* FROM (SELECT min(id) FILTER (WHERE own_hash <> "
        "encode(pg_catalog.sha256(convert_to(%1, 'UTF8')), 'hex')) AS unsound FROM audit_log) "
        "AS hashed CROSS JOIN (SELECT count(*), min(id) FILTER (WHERE NOT continues), max(id), "
        "max(own_hash) FILTER (WHERE last), max(own_hash) FILTER (WHERE position = ?), "
        "min(id) FILTER (WHERE id <= 0) FROM "
        "(SELECT id, own_hash, row_number() OVER w AS position, previous_hash = "
        "COALESCE(lag(own_hash) OVER w, '') AS continues, lead(id) OVER w IS NULL AS last FROM "
        "audit_log WINDOW w AS (ORDER BY id)) AS chain) AS linked");
    if (!query.prepare(sql.arg(content))) {
        connection.noteError(query.lastError());
        return false;
    }
    query.addBindValue(kept.count);
    if (!query.exec() || !query.next()) {
        connection.noteError(query.lastError());
        return false;
    }
    const qint64 count = query.value(1).toLongLong();
    // The first id among those not linked, not hashed right, and placed before the first id.
    const auto first = [&query](int column) {
        return query.value(column).isNull() ? std::numeric_limits<qint64>::max()
                                            : query.value(column).toLongLong();
    };
    const qint64 unsound = first(0), gap = first(2), misplaced = first(6);
    const qint64 broken = qMin(qMin(unsound, gap), misplaced);
    if (broken != std::numeric_limits<qint64>::max()) {
        const AuditBreak kind = broken == gap ? AuditBreak::NotFollowing
            : broken == unsound               ? AuditBreak::Changed
                                              : AuditBreak::OutOfPlace;
        query.prepare(QStringLiteral("SELECT count(*) FROM audit_log WHERE id < ?"));
        query.addBindValue(broken);
        if (!query.exec() || !query.next()) {
            connection.noteError(query.lastError());
            return false;
        }
        check->verdict = auditBreakVerdict(query.value(0).toInt(), broken, kind);
        return true;
    }
    const QByteArray last = query.value(4).toString().toLatin1();
    check->verdict = auditEndVerdict(kept, count, query.value(3).toLongLong(),
                                     query.value(5).toString().toLatin1());
    if (check->verdict.intact)
        check->head = {count, last};
    return true;
}

bool AuditLog::checkSinceAnchor(const AuditHead &anchor, const AuditHead &head, QString *problem)
{
    problem->clear();
    const QString changed = QStringLiteral("Журнал действий изменён: ");
    const auto missing = [&](qint64 after, qint64 count) {
        *problem = changed
            + QStringLiteral("после записи %1 недостаёт %2 записей").arg(after).arg(count);
        return true;
    };
    if (anchor.count <= 0 || head.count <= 0)
        return true;
    QSqlQuery query(connection.database());
    // A head older than the anchor (sealed by another of the counter's links, told late) moves
    // nothing while the anchor's record is still there as it was. Records are numbered from 1 in
    // order: one sealed at or before the anchor took the place of records removed.
    if (head.count <= anchor.count) {
        query.prepare(QStringLiteral("SELECT own_hash FROM audit_log WHERE id = ?"));
        query.addBindValue(anchor.count);
        if (!query.exec()) {
            connection.noteError(query.lastError());
            return false;
        }
        if (query.next() && query.value(0).toString().toLatin1() == anchor.lastHash)
            return true;
        return missing(head.count - 1, anchor.count - head.count + 1);
    }
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT ") + AuditColumns
                  + QStringLiteral(" FROM audit_log WHERE id >= ? AND id <= ? ORDER BY id"));
    query.addBindValue(anchor.count);
    query.addBindValue(head.count);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return false;
    }
    qint64 expected = anchor.count;
    QByteArray previous;
    while (query.next()) {
        const AuditRecord record = recordOf(query, false);
        if (record.id != expected)
            return missing(expected - 1, record.id - expected);
        const bool sound
            = auditHash(record, query.value(1).toString(), record.previousHash) == record.hash;
        if (record.id == anchor.count) {
            if (record.hash != anchor.lastHash || !sound) {
                *problem = changed + QStringLiteral("запись %1 изменена").arg(record.id);
                return true;
            }
        } else if (record.previousHash != previous) {
            *problem
                = changed + QStringLiteral("запись %1 не продолжает предыдущую").arg(record.id);
            return true;
        } else if (!sound) {
            *problem = changed + QStringLiteral("запись %1 изменена").arg(record.id);
            return true;
        }
        previous = record.hash;
        ++expected;
    }
    if (expected <= head.count)
        return missing(expected - 1, head.count - expected + 1);
    if (previous != head.lastHash)
        *problem = changed + QStringLiteral("запись %1 изменена").arg(head.count);
    return true;
}

bool AuditLog::checkHeads(const QVector<QPair<QString, AuditHead>> &heads, QStringList *problems)
{
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("SELECT own_hash FROM audit_log WHERE id = ?"));
    for (const auto &[where, head] : heads) {
        if (head.count <= 0)
            continue;
        query.addBindValue(head.count);
        if (!query.exec()) {
            connection.noteError(query.lastError());
            return false;
        }
        const bool there = query.next();
        if (there && query.value(0).toString().toLatin1() == head.lastHash)
            continue;
        *problems << QStringLiteral("%1: запись %2 с хешем %3… %4.")
                         .arg(where)
                         .arg(head.count)
                         .arg(QString::fromLatin1(head.lastHash.left(8)),
                              there ? QStringLiteral("в журнале изменена")
                                    : QStringLiteral("в журнале отсутствует"));
    }
    return true;
}

bool AuditLog::zReportHeads(QVector<QPair<QString, AuditHead>> *heads)
{
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    if (!query.exec(
            QStringLiteral("SELECT z_report FROM shift WHERE closed_at <> '' ORDER BY id"))) {
        connection.noteError(query.lastError());
        return false;
    }
    while (query.next()) {
        ShiftReport report;
        if (!readShiftReportText(query.value(0).toString(), &report))
            continue;
        AuditHead head;
        for (const ShiftReportLine &line : qAsConst(report.lines)) {
            if (line.label == QStringLiteral("Записей в журнале действий"))
                head.count = line.value.toLongLong();
            else if (line.label == QStringLiteral("Последний хеш журнала"))
                head.lastHash = line.value.toLatin1();
        }
        heads->append({report.title(), head});
    }
    return true;
}

QString advanceAuditAnchor(Connection &connection, const QString &localPath,
                           const QString &database, const AuditHead &head)
{
    ProgramState state(localPath);
    const QString kept = state.auditBreak(database);
    if (!kept.isEmpty())
        return kept;
    QString problem;
    if (!AuditLog(connection).checkSinceAnchor(state.auditHead(database), head, &problem))
        return QString();
    if (!problem.isEmpty()) {
        state.keepAuditBreak(database, problem);
        return problem;
    }
    state.keepAuditHead(database, head);
    return QString();
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
