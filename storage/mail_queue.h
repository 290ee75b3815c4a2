// The "ready" mails queued in the shop's database with the status change, taken from there by
// whoever sends them: the window's sender or the command line, on one counter or several. A mail
// is claimed before it is sent, so two senders never send it twice, and a sender that dies with a
// claim leaves the mail to the others once the claim runs out.
#pragma once

#include "storage/order_book.h"

#include <QDateTime>
#include <QStringList>
#include <QVector>

class Connection;

// The pause before the next try after the given number of failed ones: 1, 2, 4, … minutes, at
// most an hour.
int mailRetryPauseSeconds(int failedAttempts);

// A mail queued in the caller's transaction, due at once: the body's lines joined, ending in a
// line break. Number 0 for a mail of no order. False on failure (the connection tells why).
bool queueMail(Connection &connection, qint64 number, const QString &recipient,
               const QString &subject, const QStringList &body, const QDateTime &time);

class MailQueue
{
public:
    explicit MailQueue(Connection &connection);

    // Claims the unsent mails whose time has come, oldest first, at most limit (those of one order
    // only when number is set): each counts an attempt and is left alone by other senders for
    // claimSeconds. Empty on failure too (ok false; the connection tells why).
    QVector<QueuedMail> claimDue(const QDateTime &now, int limit, int claimSeconds,
                                 qint64 number = 0, bool *ok = nullptr);
    bool markSent(qint64 id, const QDateTime &when);
    // Failed with the reason, tried again after the pause its attempts give.
    bool markFailed(const QueuedMail &mail, const QString &error, const QDateTime &when);
    // Failed for good: kept with the reason, never claimed again.
    bool markGivenUp(const QueuedMail &mail, const QString &error, const QDateTime &when);

    // An attempt cut short by the program's end is no attempt: the mail is due again at once.
    bool release(const QueuedMail &mail, const QDateTime &when);

private:
    Connection &connection;
};
