// Tasks queued to a worker object on its own thread.
#include "storage/database_thread.h"

#include <QDeadlineTimer>
#include <QMutex>
#include <QThread>
#include <QTimer>
#include <QWaitCondition>

struct DatabaseThread::Core
{
    QThread thread;
    QObject *worker = nullptr;
    mutable QMutex mutex;
    QWaitCondition idle;
    int pending = 0;
    std::function<void()> finalTask;
    QTimer *repeatTimer = nullptr; // lives on the thread
    bool finishing = false;
    bool ended = false;
};

DatabaseThread::DatabaseThread(const QString &name)
    : core(std::make_shared<Core>())
{
    core->thread.setObjectName(name);
    core->worker = new QObject;
    core->worker->moveToThread(&core->thread);
    QObject::connect(&core->thread, &QThread::finished, core->worker, &QObject::deleteLater);
    core->thread.start();
}

DatabaseThread::~DatabaseThread()
{
    if (finish(LastWaitMs))
        return;
    // The thread still runs a task and uses this core when it returns: the core stays with it.
    qWarning("%s: a task still holds the thread; it is left to end by itself",
             qPrintable(core->thread.objectName()));
    new std::shared_ptr<Core>(core);
}

QObject *DatabaseThread::context() const
{
    return core->worker;
}

void DatabaseThread::setFinalTask(std::function<void()> task)
{
    core->finalTask = std::move(task);
}

void DatabaseThread::post(std::function<void()> task)
{
    Core *c = core.get();
    {
        QMutexLocker lock(&c->mutex);
        ++c->pending;
    }
    QMetaObject::invokeMethod(
        c->worker,
        [c, task = std::move(task)] {
            task();
            QMutexLocker lock(&c->mutex);
            if (--c->pending == 0)
                c->idle.wakeAll();
        },
        Qt::QueuedConnection);
}

namespace {
// One run() call: whether its task has started, ended, or was given up by the caller.
struct Call
{
    enum Stage { Queued, Running, Done, GivenUp };
    QMutex mutex;
    QWaitCondition changed;
    Stage stage = Queued;
};
} // namespace

bool DatabaseThread::run(std::function<void()> task, int msecs)
{
    if (QThread::currentThread() == &core->thread) {
        task();
        return true;
    }
    auto call = std::make_shared<Call>();
    post([call, task = std::move(task)] {
        {
            QMutexLocker lock(&call->mutex);
            if (call->stage == Call::GivenUp)
                return;
            call->stage = Call::Running;
        }
        task();
        QMutexLocker lock(&call->mutex);
        call->stage = Call::Done;
        call->changed.wakeAll();
    });
    const QDeadlineTimer deadline(msecs < 0 ? QDeadlineTimer::Forever : QDeadlineTimer(msecs));
    QMutexLocker lock(&call->mutex);
    while (call->stage != Call::Done) {
        if (call->stage == Call::Queued && deadline.hasExpired()) {
            call->stage = Call::GivenUp;
            return false;
        }
        // A task that has started is waited for: it may use the caller's locals.
        call->changed.wait(&call->mutex,
                           call->stage == Call::Queued ? deadline
                                                       : QDeadlineTimer(QDeadlineTimer::Forever));
    }
    return true;
}

void DatabaseThread::repeat(int msecs, std::function<void()> task)
{
    Core *c = core.get();
    post([c, msecs, task = std::move(task)] {
        delete c->repeatTimer;
        c->repeatTimer = new QTimer(c->worker);
        QObject::connect(c->repeatTimer, &QTimer::timeout, c->worker, task);
        c->repeatTimer->start(msecs);
    });
}

void DatabaseThread::setRepeatInterval(int msecs)
{
    Core *c = core.get();
    post([c, msecs] {
        if (c->repeatTimer)
            c->repeatTimer->start(msecs);
    });
}

bool DatabaseThread::waitIdle(int msecs)
{
    Core *c = core.get();
    QDeadlineTimer deadline(msecs < 0 ? QDeadlineTimer::Forever : QDeadlineTimer(msecs));
    QMutexLocker lock(&c->mutex);
    while (c->pending > 0)
        if (!c->idle.wait(&c->mutex, deadline))
            return c->pending == 0;
    return true;
}

bool DatabaseThread::isIdle() const
{
    QMutexLocker lock(&core->mutex);
    return core->pending == 0;
}

bool DatabaseThread::finish(int msecs)
{
    Core *c = core.get();
    if (c->ended)
        return true;
    if (!c->finishing) {
        c->finishing = true;
        // The repeated task stops before the final one closes what it uses.
        post([c] {
            delete c->repeatTimer;
            c->repeatTimer = nullptr;
            if (c->finalTask)
                c->finalTask();
            c->thread.quit();
        });
    }
    c->ended = c->thread.wait(ulong(qMax(0, msecs)));
    return c->ended;
}
