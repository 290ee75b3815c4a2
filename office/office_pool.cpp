// The pool lives until the application object goes, and waits a moment for its calls then.
#include "office/office_pool.h"

#include <QCoreApplication>
#include <QThreadPool>

namespace {
QThreadPool *pool = nullptr;

// At the end a call the office does not answer is not waited for: the process ends with it.
void endPool()
{
    if (pool && pool->waitForDone(1000))
        delete pool;
    pool = nullptr;
}
} // namespace

QThreadPool *officePool()
{
    if (!pool) {
        pool = new QThreadPool;
        pool->setObjectName(QStringLiteral("printcalc-office"));
        // Room beside calls abandoned to an office that does not answer.
        pool->setMaxThreadCount(8);
        qAddPostRoutine(endPool);
    }
    return pool;
}
