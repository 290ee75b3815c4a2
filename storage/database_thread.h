// A thread of its own for one database connection: tasks run there one after another, in the
// order they were posted, so the window never waits on the disk's flush or the network. Every
// wait on it has a limit: a server that stops answering holds the thread, never the window.
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class DatabaseThread
{
public:
    // How long run() waits for its task's turn, and the end for the thread, unless told otherwise.
    static constexpr int RunWaitMs = 10000;
    static constexpr int EndWaitMs = 3000;
    // The destructor's own: its owner's members go with it, so it waits longer.
    static constexpr int LastWaitMs = 60000;

    explicit DatabaseThread(const QString &name);
    // Ends the thread as finish() does (within LastWaitMs), unless it has ended already.
    ~DatabaseThread();
    DatabaseThread(const DatabaseThread &) = delete;
    DatabaseThread &operator=(const DatabaseThread &) = delete;

    void post(std::function<void()> task);
    // Runs the task there and waits for it (and everything posted before it). When its turn has
    // not come within msecs the task is dropped, never to run, and the answer is false: a task
    // may then take the caller's locals by reference. The task itself must be short.
    bool run(std::function<void()> task, int msecs = RunWaitMs);
    // Waits until every task posted so far has run; false when the time ran out first.
    bool waitIdle(int msecs);
    bool isIdle() const;
    // Lives in the thread: timers and queued calls made with it as context run there.
    QObject *context() const;
    // Runs on the thread before it ends, e.g. to close the connection.
    void setFinalTask(std::function<void()> task);
    // Runs the task there every msecs until the thread ends; the interval can change later.
    void repeat(int msecs, std::function<void()> task);
    void setRepeatInterval(int msecs);

    // Runs what was posted, then the final task, and ends the thread, waiting at most msecs.
    // False when a task still holds the thread (a server that does not answer): the thread then
    // ends by itself once the task returns, and whatever its tasks use must stay alive until then.
    bool finish(int msecs = EndWaitMs);

private:
    struct Core;
    std::shared_ptr<Core> core;
};

// Hands a result back from the thread: the call runs in the context's thread, and not at all
// once the context is gone.
template<class Call> void replyTo(const QPointer<QObject> &context, Call call)
{
    if (QObject *receiver = context.data())
        QMetaObject::invokeMethod(
            receiver,
            [context, call = std::move(call)] {
                if (context)
                    call();
            },
            Qt::QueuedConnection);
}

// Ends a link's thread, then the link; a link whose thread a server still holds is let go
// instead: unparented and unheard, it stays, with all its thread uses, until the process ends.
template<class Link> void endOrLetGo(Link *link, int msecs = DatabaseThread::EndWaitMs)
{
    if (!link)
        return;
    if (link->finish(msecs)) {
        delete link;
        return;
    }
    link->disconnect();
    link->setParent(nullptr);
}
