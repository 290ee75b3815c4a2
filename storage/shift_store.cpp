// The shifts stored, each change in a transaction of its own.
#include "storage/shift_store.h"

#include "storage/audit_log.h"
#include "storage/connection.h"
#include "storage/mail_queue.h"
#include "storage/records.h"
#include "storage/transaction.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

PaymentMethod methodOf(int value)
{
    return value == int(PaymentMethod::Card)    ? PaymentMethod::Card
        : value == int(PaymentMethod::Transfer) ? PaymentMethod::Transfer
                                                : PaymentMethod::Cash;
}

ShiftAnswer refused(ShiftOutcome outcome, const QString &message)
{
    ShiftAnswer answer;
    answer.outcome = outcome;
    answer.message = message;
    return answer;
}

QString noOpenShift(const QString &counter)
{
    return QStringLiteral("На кассе «%1» нет открытой смены.").arg(counter);
}

// Stored times are to the second: a time given is cut to it, so that what is kept is compared.
QDateTime wholeSecond(const QDateTime &when)
{
    const QDateTime time = when.isValid() ? when : QDateTime::currentDateTime();
    return readStoredTime(storedTime(time));
}

// An unset name bound as it is would be NULL, which the columns refuse.
QString notNull(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

} // namespace

ShiftStore::ShiftStore(Connection &connection)
    : connection(connection)
{ }

ShiftAnswer ShiftStore::fault()
{
    return refused(ShiftOutcome::Failed, connection.errorText());
}

ShiftAnswer ShiftStore::open(const QString &counter, qint64 floatKopecks,
                             const QString &operatorName, const QDateTime &when)
{
    if (floatKopecks < 0)
        return refused(ShiftOutcome::Refused,
                       QStringLiteral("Размен в кассе не может быть меньше нуля."));
    Transaction transaction(connection);
    if (!transaction.isActive())
        return fault();
    ShiftFacts facts;
    bool found = false;
    if (!current(counter, &facts, &found))
        return fault();
    if (found)
        return refused(
            ShiftOutcome::Refused,
            QStringLiteral("На кассе «%1» уже открыта смена № %2.").arg(counter).arg(facts.number));
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("SELECT COALESCE(MAX(number), 0) FROM shift WHERE counter = ?"));
    query.addBindValue(counter);
    if (!query.exec() || !query.next()) {
        connection.noteError(query.lastError());
        return fault();
    }
    const int number = query.value(0).toInt() + 1;
    query.prepare(QStringLiteral("INSERT INTO shift (counter, number, opened_at, opened_by, "
                                 "float_kopecks) VALUES (?, ?, ?, ?, ?)"));
    query.addBindValue(counter);
    query.addBindValue(number);
    query.addBindValue(storedTime(wholeSecond(when)));
    query.addBindValue(notNull(operatorName));
    query.addBindValue(floatKopecks);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return fault();
    }
    if (!transaction.commit())
        return fault();
    ShiftAnswer answer;
    answer.outcome = ShiftOutcome::Done;
    answer.number = number;
    answer.message = QStringLiteral("Смена № %1 открыта, размен %2.")
                         .arg(number)
                         .arg(kopecksText(floatKopecks));
    return answer;
}

ShiftAnswer ShiftStore::addCash(const QString &counter, const CashEntry &entry)
{
    if (entry.kopecks == 0)
        return refused(ShiftOutcome::Refused, QStringLiteral("Сумма не может быть нулевой."));
    if (entry.kopecks < 0 && entry.reason.trimmed().isEmpty())
        return refused(ShiftOutcome::Refused, QStringLiteral("Для изъятия нужна причина."));
    Transaction transaction(connection);
    if (!transaction.isActive())
        return fault();
    ShiftFacts facts;
    qint64 id = 0;
    bool found = false;
    if (!readShift(counter, 0, &facts, &id, &found))
        return fault();
    if (!found)
        return refused(ShiftOutcome::NotFound, noOpenShift(counter));
    const QDateTime time = wholeSecond(entry.time);
    if (entry.kopecks < 0) {
        if (!readFigures(id, &facts, time))
            return fault();
        const qint64 drawer = shiftReport(facts).expectedCash;
        if (-entry.kopecks > drawer)
            return refused(ShiftOutcome::Refused,
                           QStringLiteral("В кассе должно быть %1: изъять %2 нельзя.")
                               .arg(kopecksText(drawer), kopecksText(-entry.kopecks)));
    }
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("INSERT INTO shift_cash (shift_id, kopecks, reason, "
                                 "operator_name, entered_at) VALUES (?, ?, ?, ?, ?)"));
    query.addBindValue(id);
    query.addBindValue(entry.kopecks);
    query.addBindValue(notNull(entry.reason.trimmed()));
    query.addBindValue(notNull(entry.operatorName));
    query.addBindValue(storedTime(time));
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return fault();
    }
    if (!transaction.commit())
        return fault();
    ShiftAnswer answer;
    answer.outcome = ShiftOutcome::Done;
    answer.number = facts.number;
    answer.message
        = (entry.kopecks > 0 ? QStringLiteral("Внесено %1.") : QStringLiteral("Изъято %1."))
              .arg(kopecksText(qAbs(entry.kopecks)));
    return answer;
}

ShiftAnswer ShiftStore::close(const QString &counter, qint64 countedKopecks,
                              const QString &operatorName, const QDateTime &when)
{
    if (countedKopecks < 0)
        return refused(ShiftOutcome::Refused,
                       QStringLiteral("Пересчитанная сумма не может быть меньше нуля."));
    Transaction transaction(connection);
    if (!transaction.isActive())
        return fault();
    ShiftFacts facts;
    qint64 id = 0;
    bool found = false;
    if (!readShift(counter, 0, &facts, &id, &found))
        return fault();
    if (!found)
        return refused(ShiftOutcome::NotFound, noOpenShift(counter));
    const QDateTime time = wholeSecond(when);
    facts.closed = true;
    facts.closedAt = time;
    facts.closedBy = operatorName;
    facts.countedKopecks = countedKopecks;
    facts.at = time;
    if (!readFigures(id, &facts, time))
        return fault();
    const ShiftReport report = shiftReport(facts);
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("UPDATE shift SET closed_at = ?, closed_by = ?, "
                                 "counted_kopecks = ?, z_report = ? WHERE id = ? AND "
                                 "closed_at = ''"));
    query.addBindValue(storedTime(time));
    query.addBindValue(notNull(operatorName));
    query.addBindValue(countedKopecks);
    query.addBindValue(report.text());
    query.addBindValue(id);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return fault();
    }
    // The head leaves the database with the close, so that a trail cut later shows against it.
    if (!ownerMail.isEmpty() && facts.auditCount > 0) {
        const QString head = QStringLiteral("%1:%2")
                                 .arg(facts.auditCount)
                                 .arg(QString::fromLatin1(facts.auditHash));
        const QStringList body {
            report.title(),
            QString(),
            QStringLiteral("Записей в журнале действий: %1").arg(facts.auditCount),
            QStringLiteral("Последний хеш журнала: %1").arg(QString::fromLatin1(facts.auditHash)),
            QString(),
            QStringLiteral("Проверка: printcalc --audit verify --head %1").arg(head)};
        if (!queueMail(connection, 0, ownerMail,
                       report.title() + QStringLiteral(": голова журнала"), body, time))
            return fault();
    }
    if (!transaction.commit())
        return fault();
    ShiftAnswer answer;
    answer.outcome = ShiftOutcome::Done;
    answer.number = facts.number;
    answer.report = report;
    answer.message = QStringLiteral("Смена № %1 закрыта, расхождение %2.")
                         .arg(facts.number)
                         .arg(kopecksText(report.difference));
    return answer;
}

bool ShiftStore::current(const QString &counter, ShiftFacts *facts, bool *found)
{
    qint64 id = 0;
    return readShift(counter, 0, facts, &id, found);
}

ShiftAnswer ShiftStore::xReport(const QString &counter, const QDateTime &when)
{
    ShiftFacts facts;
    qint64 id = 0;
    bool found = false;
    if (!readShift(counter, 0, &facts, &id, &found))
        return fault();
    if (!found)
        return refused(ShiftOutcome::NotFound, noOpenShift(counter));
    facts.at = wholeSecond(when);
    if (!readFigures(id, &facts, facts.at))
        return fault();
    ShiftAnswer answer;
    answer.outcome = ShiftOutcome::Done;
    answer.number = facts.number;
    answer.report = shiftReport(facts);
    return answer;
}

ShiftAnswer ShiftStore::zReport(const QString &counter, int number)
{
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("SELECT z_report FROM shift WHERE counter = ? AND number = ? "
                                 "AND closed_at <> ''"));
    query.addBindValue(counter);
    query.addBindValue(number);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return fault();
    }
    ShiftAnswer answer;
    if (!query.next())
        return refused(ShiftOutcome::NotFound,
                       QStringLiteral("Z-отчёта № %1 на кассе «%2» нет.").arg(number).arg(counter));
    if (!readShiftReportText(query.value(0).toString(), &answer.report))
        return refused(
            ShiftOutcome::Failed,
            QStringLiteral("Z-отчёт № %1 на кассе «%2» не прочитан.").arg(number).arg(counter));
    answer.outcome = ShiftOutcome::Done;
    answer.number = number;
    return answer;
}

bool ShiftStore::readShift(const QString &counter, int number, ShiftFacts *facts, qint64 *id,
                           bool *found)
{
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("SELECT id, number, opened_at, opened_by, float_kopecks, "
                                 "closed_at, closed_by, counted_kopecks FROM shift WHERE "
                                 "counter = ? AND ")
                  + (number > 0 ? QStringLiteral("number = ?") : QStringLiteral("closed_at = ''")));
    query.addBindValue(counter);
    if (number > 0)
        query.addBindValue(number);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return false;
    }
    *found = query.next();
    if (!*found)
        return true;
    *id = query.value(0).toLongLong();
    facts->counter = counter;
    facts->number = query.value(1).toInt();
    facts->opened = readStoredTime(query.value(2).toString());
    facts->openedBy = query.value(3).toString();
    facts->floatKopecks = query.value(4).toLongLong();
    facts->closed = !query.value(5).toString().isEmpty();
    facts->closedAt = readStoredTime(query.value(5).toString());
    facts->closedBy = query.value(6).toString();
    facts->countedKopecks = query.value(7).toLongLong();
    return true;
}

bool ShiftStore::readFigures(qint64 id, ShiftFacts *facts, const QDateTime &until)
{
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("SELECT id, kopecks, method, paid_at, reason, operator_name, "
                                 "approver FROM order_payment WHERE counter = ? AND paid_at >= ? "
                                 "AND paid_at <= ? ORDER BY id"));
    query.addBindValue(facts->counter);
    query.addBindValue(storedTime(facts->opened));
    query.addBindValue(storedTime(until));
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return false;
    }
    facts->payments.clear();
    while (query.next()) {
        Payment payment;
        payment.id = query.value(0).toLongLong();
        payment.kopecks = query.value(1).toLongLong();
        payment.method = methodOf(query.value(2).toInt());
        payment.time = readStoredTime(query.value(3).toString());
        payment.counter = facts->counter;
        payment.reason = query.value(4).toString();
        payment.operatorName = query.value(5).toString();
        payment.approver = query.value(6).toString();
        facts->payments.append(payment);
    }
    QStringList people;
    const auto worked = [&people](const QString &name) {
        if (!name.isEmpty() && !people.contains(name))
            people.append(name);
    };
    worked(facts->openedBy);
    // Who took each payment; the older ones name no one, the trail below names who worked then.
    for (const Payment &payment : qAsConst(facts->payments))
        worked(payment.operatorName);
    query.prepare(QStringLiteral("SELECT kopecks, reason, operator_name, entered_at FROM "
                                 "shift_cash WHERE shift_id = ? ORDER BY id"));
    query.addBindValue(id);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return false;
    }
    facts->entries.clear();
    while (query.next()) {
        CashEntry entry;
        entry.kopecks = query.value(0).toLongLong();
        entry.reason = query.value(1).toString();
        entry.operatorName = query.value(2).toString();
        entry.time = readStoredTime(query.value(3).toString());
        facts->entries.append(entry);
        worked(entry.operatorName);
    }
    // Whoever signed in or did anything at this counter while the shift was open.
    query.prepare(QStringLiteral("SELECT operator_name FROM audit_log WHERE counter = ? AND "
                                 "logged_at >= ? AND logged_at <= ? AND what <> ? ORDER BY id"));
    query.addBindValue(facts->counter);
    query.addBindValue(auditTimeText(facts->opened));
    query.addBindValue(auditTimeText(until.addMSecs(999)));
    query.addBindValue(QStringLiteral("неудачный вход"));
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return false;
    }
    while (query.next())
        worked(query.value(0).toString());
    worked(facts->closedBy);
    people.sort();
    facts->operators = people;
    if (!query.exec(QStringLiteral("SELECT COUNT(*), MAX(id) FROM audit_log")) || !query.next()) {
        connection.noteError(query.lastError());
        return false;
    }
    facts->auditCount = query.value(0).toLongLong();
    const qint64 lastId = query.value(1).toLongLong();
    facts->auditHash.clear();
    if (lastId > 0) {
        query.prepare(QStringLiteral("SELECT own_hash FROM audit_log WHERE id = ?"));
        query.addBindValue(lastId);
        if (!query.exec()) {
            connection.noteError(query.lastError());
            return false;
        }
        if (query.next())
            facts->auditHash = query.value(0).toString().toLatin1();
    }
    return true;
}
