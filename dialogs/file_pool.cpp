// The pool lives until the application object goes, and waits a moment for its work then.
#include "dialogs/file_pool.h"

#include <QCoreApplication>
#include <QThreadPool>

namespace {
QThreadPool *pool = nullptr;

// At the end work on a file that does not answer (a network share) is not waited for.
void endPool()
{
    if (pool && pool->waitForDone(1000))
        delete pool;
    pool = nullptr;
}
} // namespace

QThreadPool *filePool()
{
    if (!pool) {
        pool = new QThreadPool;
        pool->setObjectName(QStringLiteral("printcalc-files"));
        pool->setMaxThreadCount(2);
        qAddPostRoutine(endPool);
    }
    return pool;
}
