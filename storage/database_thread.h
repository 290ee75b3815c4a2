// A thread of its own for one database connection: tasks run there one after another, in the
// order they were posted, so the window never waits on the disk's flush or the network.
#pragma once

#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <QWaitCondition>

#include <functional>

class QTimer;

class DatabaseThread
{
public:
    explicit DatabaseThread(const QString &name);
    // Runs what was posted, then the final task, then ends the thread.
    ~DatabaseThread();
    DatabaseThread(const DatabaseThread &) = delete;
    DatabaseThread &operator=(const DatabaseThread &) = delete;

    void post(std::function<void()> task);
    // Runs the task there and waits for it (and everything posted before it).
    void run(std::function<void()> task);
    // Waits until every task posted so far has run; false when the time ran out first.
    bool waitIdle(int msecs);
    bool isIdle() const;
    // Lives in the thread: timers and queued calls made with it as context run there.
    QObject *context() const { return worker; }
    // Runs on the thread before it ends, e.g. to close the connection.
    void setFinalTask(std::function<void()> task) { finalTask = std::move(task); }
    // Runs the task there every msecs until the thread ends; the interval can change later.
    void repeat(int msecs, std::function<void()> task);
    void setRepeatInterval(int msecs);

private:
    QThread thread;
    QObject *worker = nullptr;
    mutable QMutex mutex;
    QWaitCondition idle;
    int pending = 0;
    std::function<void()> finalTask;
    QTimer *repeatTimer = nullptr; // lives on the thread
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
