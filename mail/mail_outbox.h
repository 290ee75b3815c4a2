// The queue's sender beside the window: a thread of its own with its own connection to the
// shop's database, looking for due mails every little while and at once when told a mail was
// queued. Closing the program stops a send under way within a second or so.
#pragma once

#include "mail/smtp_sender.h"
#include "storage/database_url.h"
#include "storage/mail_queue.h"

#include <QObject>

class DatabaseThread;

#include <atomic>
#include <memory>

// Sends one claimed mail and records in the queue what came of it (sent, failed with the
// reason and a later try, failed for good when retrying cannot help, or handed back when
// stopped).
SendResult sendQueuedMail(MailQueue &queue, const QueuedMail &mail, const MailServer &server,
                          const std::atomic<bool> *stop = nullptr);

class MailOutbox : public QObject
{
    Q_OBJECT

public:
    static constexpr int CheckIntervalMs = 20000;

    MailOutbox(const DatabaseUrl &shop, const MailServer &server, QObject *parent = nullptr);
    // Stops the send under way and ends the thread within EndWaitMs; a thread a database server
    // still holds is let go, to end by itself.
    ~MailOutbox() override;

    // A mail was queued: it goes now rather than at the next look.
    void sendSoon();
    void setCheckInterval(int msecs);
    // Stops what is under way and ends the thread within msecs; false while a database server
    // that does not answer holds it (the thread then ends by itself once it lets go).
    bool finish(int msecs);

signals:
    // A mail of the order was sent, or failed: the board reads the order's mails again.
    void mailChanged(qint64 number, bool sent, const QString &error);

private:
    struct Work;
    std::shared_ptr<Work> work;
    std::unique_ptr<DatabaseThread> thread;
};
