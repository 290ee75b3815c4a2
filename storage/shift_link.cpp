// The shift's thread: one connection to the shop, opened again after it was lost.
#include "storage/shift_link.h"

#include "storage/connection.h"
#include "storage/database_thread.h"
#include "storage/settings.h"

#include <QPointer>

struct ShiftLink::State
{
    State()
        : thread(QStringLiteral("printcalc-shift"))
    { }

    // Touched on the thread only.
    DatabaseUrl url;
    Connection shop;
    // Last, so that it ends first: its final task closes the connection on the thread.
    DatabaseThread thread;
};

ShiftLink::ShiftLink(const DatabaseUrl &shop, const QString &counter, QObject *parent)
    : QObject(parent)
    , state(new State)
    , counterName(counter)
{
    State *s = state.get();
    s->thread.post([s, shop] { s->url = shop; });
    s->thread.setFinalTask([s] { s->shop.close(); });
}

ShiftLink::~ShiftLink()
{
    state->thread.finish(DatabaseThread::LastWaitMs);
}

void ShiftLink::call(QObject *context, std::function<ShiftAnswer(ShiftStore &)> work,
                     std::function<void(const ShiftAnswer &)> done)
{
    State *s = state.get();
    QPointer<QObject> target(context);
    s->thread.post([s, target, work = std::move(work), done = std::move(done)] {
        ShiftAnswer answer;
        if (!s->shop.isOpen() && !s->shop.open(s->url, QStringLiteral("shift"))) {
            answer.message = s->shop.errorText();
        } else {
            s->shop.clearFault();
            ShiftStore store(s->shop);
            answer = work(store);
            const StorageFault fault = s->shop.fault();
            if (fault == StorageFault::Unreachable || fault == StorageFault::WrongPassword
                || fault == StorageFault::Corrupt || fault == StorageFault::DiskFull)
                s->shop.close();
        }
        replyTo(target, [done, answer] { done(answer); });
    });
}

void ShiftLink::xReport(QObject *context, std::function<void(const ShiftAnswer &)> done)
{
    const QString counter = counterName;
    call(
        context, [counter](ShiftStore &store) { return store.xReport(counter); }, std::move(done));
}

void ShiftLink::open(qint64 floatKopecks, const QString &operatorName, QObject *context,
                     std::function<void(const ShiftAnswer &)> done)
{
    const QString counter = counterName;
    call(
        context,
        [counter, floatKopecks, operatorName](ShiftStore &store) {
            return store.open(counter, floatKopecks, operatorName);
        },
        std::move(done));
}

void ShiftLink::addCash(const CashEntry &entry, QObject *context,
                        std::function<void(const ShiftAnswer &)> done)
{
    const QString counter = counterName;
    call(
        context, [counter, entry](ShiftStore &store) { return store.addCash(counter, entry); },
        std::move(done));
}

void ShiftLink::close(qint64 countedKopecks, const QString &operatorName, QObject *context,
                      std::function<void(const ShiftAnswer &)> done)
{
    const QString counter = counterName;
    const QString owner = Settings().ownerMail();
    call(
        context,
        [counter, countedKopecks, operatorName, owner](ShiftStore &store) {
            store.setOwnerMail(owner);
            return store.close(counter, countedKopecks, operatorName);
        },
        std::move(done));
}

bool ShiftLink::waitIdle(int msecs)
{
    return state->thread.waitIdle(msecs);
}

bool ShiftLink::finish(int msecs)
{
    return state->thread.finish(msecs);
}
