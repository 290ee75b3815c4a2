// Tasks queued to a worker object on its own thread.
#include "storage/database_thread.h"

#include <QDeadlineTimer>
#include <QTimer>

DatabaseThread::DatabaseThread(const QString &name)
{
    thread.setObjectName(name);
    worker = new QObject;
    worker->moveToThread(&thread);
    QObject::connect(&thread, &QThread::finished, worker, &QObject::deleteLater);
    thread.start();
}

DatabaseThread::~DatabaseThread()
{
    // The repeated task stops before the final one closes what it uses.
    run([this] {
        delete repeatTimer;
        if (finalTask)
            finalTask();
    });
    thread.quit();
    thread.wait();
}

void DatabaseThread::post(std::function<void()> task)
{
    {
        QMutexLocker lock(&mutex);
        ++pending;
    }
    QMetaObject::invokeMethod(
        worker,
        [this, task = std::move(task)] {
            task();
            QMutexLocker lock(&mutex);
            if (--pending == 0)
                idle.wakeAll();
        },
        Qt::QueuedConnection);
}

void DatabaseThread::run(std::function<void()> task)
{
    if (QThread::currentThread() == &thread) {
        task();
        return;
    }
    post(std::move(task));
    waitIdle(-1);
}

void DatabaseThread::repeat(int msecs, std::function<void()> task)
{
    run([this, msecs, task = std::move(task)] {
        delete repeatTimer;
        repeatTimer = new QTimer(worker);
        QObject::connect(repeatTimer, &QTimer::timeout, worker, task);
        repeatTimer->start(msecs);
    });
}

void DatabaseThread::setRepeatInterval(int msecs)
{
    run([this, msecs] {
        if (repeatTimer)
            repeatTimer->start(msecs);
    });
}

bool DatabaseThread::waitIdle(int msecs)
{
    QDeadlineTimer deadline(msecs < 0 ? QDeadlineTimer::Forever : QDeadlineTimer(msecs));
    QMutexLocker lock(&mutex);
    while (pending > 0)
        if (!idle.wait(&mutex, deadline))
            return pending == 0;
    return true;
}

bool DatabaseThread::isIdle() const
{
    QMutexLocker lock(&mutex);
    return pending == 0;
}
