// The outbox's tasks share their state with the thread: a thread a server still holds at the end
// keeps what it uses alive until it lets go.
#include "mail/mail_outbox.h"

#include "storage/connection.h"
#include "storage/database_thread.h"

#include <QPointer>

namespace {

// A claim outlives the longest attempt, so a living sender never loses its mail to another.
int claimSeconds(const MailServer &server)
{
    return server.totalTimeoutMs / 1000 + 60;
}

} // namespace

SendResult sendQueuedMail(MailQueue &queue, const QueuedMail &mail, const MailServer &server,
                          const std::atomic<bool> *stop)
{
    const QDateTime now = QDateTime::currentDateTime();
    OutgoingMail outgoing;
    outgoing.from = server.sender;
    outgoing.to = {QString(), mail.recipient};
    outgoing.subject = mail.subject;
    outgoing.body = mail.body;
    outgoing.date = now;
    outgoing.messageId = messageIdFor(mail.id, now, server.sender.address);
    const SendResult result = sendMail(server, mail.recipient, composedMail(outgoing), stop);
    const QDateTime done = QDateTime::currentDateTime();
    if (result.sent())
        queue.markSent(mail.id, done);
    else if (result.outcome == SendResult::Stopped)
        queue.release(mail, done);
    else if (result.permanent)
        queue.markGivenUp(mail, result.error + QStringLiteral(" — письмо больше не отправляется"),
                          done);
    else
        queue.markFailed(mail, result.error, done);
    return result;
}

struct MailOutbox::Work
{
    DatabaseUrl url;
    MailServer server;
    std::atomic<bool> stop {false};
    QPointer<QObject> owner;
    // On the thread only.
    Connection connection;

    void look();
};

void MailOutbox::Work::look()
{
    if (stop)
        return;
    if (!connection.isOpen() && !connection.open(url, QStringLiteral("mail")))
        return;
    connection.clearFault();
    MailQueue queue(connection);
    bool ok = false;
    // One at a time: a claim made early would run out while the ones before it are sent.
    while (!stop) {
        const QVector<QueuedMail> due
            = queue.claimDue(QDateTime::currentDateTime(), 1, claimSeconds(server), 0, &ok);
        if (!ok) {
            // A connection that was lost is made again at the next look.
            if (connection.fault() == StorageFault::Unreachable)
                connection.close();
            return;
        }
        if (due.isEmpty())
            return;
        const QueuedMail &mail = due.first();
        const SendResult result = sendQueuedMail(queue, mail, server, &stop);
        if (result.outcome == SendResult::Stopped)
            return;
        replyTo(owner,
                [owner = owner, number = mail.number, sent = result.sent(), error = result.error] {
                    if (auto *outbox = qobject_cast<MailOutbox *>(owner.data()))
                        emit outbox->mailChanged(number, sent, error);
                });
    }
}

MailOutbox::MailOutbox(const DatabaseUrl &shop, const MailServer &server, QObject *parent)
    : QObject(parent)
    , work(std::make_shared<Work>())
    , thread(std::make_unique<DatabaseThread>(QStringLiteral("mail")))
{
    work->url = shop;
    work->server = server;
    work->owner = this;
    thread->setFinalTask([work = work] { work->connection.close(); });
    thread->repeat(CheckIntervalMs, [work = work] { work->look(); });
    sendSoon();
}

MailOutbox::~MailOutbox()
{
    if (!finish(DatabaseThread::EndWaitMs))
        (void)thread.release(); // let go: it ends once the database server lets it
}

void MailOutbox::sendSoon()
{
    if (!work->stop)
        thread->post([work = work] { work->look(); });
}

void MailOutbox::setCheckInterval(int msecs)
{
    thread->setRepeatInterval(msecs);
}

bool MailOutbox::finish(int msecs)
{
    work->stop = true;
    return thread->finish(msecs);
}
