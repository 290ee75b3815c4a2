// The claim is a compare-and-set on next_try: it works the same on SQLite and PostgreSQL, and
// holds no transaction open while the server is talked to.
#include "storage/mail_queue.h"

#include "storage/connection.h"
#include "storage/records.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

int mailRetryPauseSeconds(int failedAttempts)
{
    const int MaxPause = 3600;
    if (failedAttempts <= 1)
        return 60;
    if (failedAttempts > 7)
        return MaxPause;
    return qMin(MaxPause, 60 << (failedAttempts - 1));
}

bool queueMail(Connection &connection, qint64 number, const QString &recipient,
               const QString &subject, const QStringList &body, const QDateTime &time)
{
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("INSERT INTO mail_queue (invoice_number, recipient, subject, "
                                 "body, state, attempts, next_try, last_error, created) VALUES "
                                 "(?, ?, ?, ?, 0, 0, ?, '', ?)"));
    for (const QVariant &value : {QVariant(number), QVariant(recipient), QVariant(subject),
                                  QVariant(body.join(QLatin1Char('\n')) + QLatin1Char('\n')),
                                  QVariant(storedTime(time)), QVariant(storedTime(time))})
        query.addBindValue(value);
    if (query.exec())
        return true;
    connection.noteError(query.lastError());
    return false;
}

MailQueue::MailQueue(Connection &c)
    : connection(c)
{ }

QVector<QueuedMail> MailQueue::claimDue(const QDateTime &now, int limit, int claimSeconds,
                                        qint64 number, bool *ok)
{
    QVector<QueuedMail> claimed;
    if (ok)
        *ok = false;
    if (!connection.isOpen() || !connection.writable())
        return claimed;
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("SELECT id, invoice_number, recipient, subject, body, state, "
                                 "attempts, next_try, last_error FROM mail_queue WHERE state IN "
                                 "(0, 2) AND next_try <= ?%1 ORDER BY next_try, id LIMIT %2")
                      .arg(number > 0 ? QStringLiteral(" AND invoice_number = ?") : QString())
                      .arg(qMax(1, limit)));
    query.addBindValue(storedTime(now));
    if (number > 0)
        query.addBindValue(number);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return claimed;
    }
    QVector<QueuedMail> due;
    while (query.next()) {
        QueuedMail mail;
        mail.id = query.value(0).toLongLong();
        mail.number = query.value(1).toLongLong();
        mail.recipient = query.value(2).toString();
        mail.subject = query.value(3).toString();
        mail.body = query.value(4).toString();
        mail.state = query.value(5).toInt() == 2 ? QueuedMail::Failed : QueuedMail::Waiting;
        mail.attempts = query.value(6).toInt();
        mail.nextTry = readStoredTime(query.value(7).toString());
        mail.lastError = query.value(8).toString();
        due.append(mail);
    }
    const QString until = storedTime(now.addSecs(claimSeconds));
    for (QueuedMail mail : qAsConst(due)) {
        QSqlQuery claim(connection.database());
        claim.prepare(QStringLiteral("UPDATE mail_queue SET attempts = attempts + 1, next_try = ? "
                                     "WHERE id = ? AND state IN (0, 2) AND next_try = ?"));
        claim.addBindValue(until);
        claim.addBindValue(mail.id);
        claim.addBindValue(storedTime(mail.nextTry));
        if (!claim.exec()) {
            connection.noteError(claim.lastError());
            return claimed;
        }
        if (claim.numRowsAffected() != 1)
            continue; // another sender was first
        mail.attempts += 1;
        mail.nextTry = readStoredTime(until);
        claimed.append(mail);
    }
    if (ok)
        *ok = true;
    return claimed;
}

bool MailQueue::markSent(qint64 id, const QDateTime &when)
{
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("UPDATE mail_queue SET state = 1, last_error = '', next_try = ? "
                                 "WHERE id = ?"));
    query.addBindValue(storedTime(when));
    query.addBindValue(id);
    if (!connection.isOpen() || !query.exec()) {
        connection.noteError(query.lastError());
        return false;
    }
    return true;
}

bool MailQueue::markFailed(const QueuedMail &mail, const QString &error, const QDateTime &when)
{
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("UPDATE mail_queue SET state = 2, last_error = ?, next_try = ? "
                                 "WHERE id = ? AND state IN (0, 2)"));
    query.addBindValue(error.isNull() ? QStringLiteral("") : error);
    query.addBindValue(storedTime(when.addSecs(mailRetryPauseSeconds(mail.attempts))));
    query.addBindValue(mail.id);
    if (!connection.isOpen() || !query.exec()) {
        connection.noteError(query.lastError());
        return false;
    }
    return true;
}

bool MailQueue::markGivenUp(const QueuedMail &mail, const QString &error, const QDateTime &when)
{
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("UPDATE mail_queue SET state = 3, last_error = ?, next_try = ? "
                                 "WHERE id = ? AND state IN (0, 2)"));
    query.addBindValue(error.isNull() ? QStringLiteral("") : error);
    query.addBindValue(storedTime(when));
    query.addBindValue(mail.id);
    if (!connection.isOpen() || !query.exec()) {
        connection.noteError(query.lastError());
        return false;
    }
    return true;
}

bool MailQueue::release(const QueuedMail &mail, const QDateTime &when)
{
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("UPDATE mail_queue SET attempts = ?, next_try = ? WHERE id = ? "
                                 "AND state IN (0, 2)"));
    query.addBindValue(qMax(0, mail.attempts - 1));
    query.addBindValue(storedTime(when));
    query.addBindValue(mail.id);
    if (!connection.isOpen() || !query.exec()) {
        connection.noteError(query.lastError());
        return false;
    }
    return true;
}
