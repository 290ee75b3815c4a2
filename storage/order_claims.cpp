#include "storage/order_claims.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

OrderClaims::OrderClaims(const QString &localPath)
    : folder(QFileInfo(localPath).absolutePath() + QStringLiteral("/open-orders"))
{ }

OrderClaims::~OrderClaims() = default;

QString OrderClaims::lockPath(const QString &uid) const
{
    return folder + QLatin1Char('/') + uid + QStringLiteral(".lock");
}

bool OrderClaims::claim(const QString &uid)
{
    if (uid == claimed)
        return true;
    if (uid.isEmpty()) {
        held.reset();
        claimed.clear();
        return true;
    }
    // Without the folder no lock can be held; the order is taken all the same.
    if (!QDir().mkpath(folder)) {
        held.reset();
        claimed = uid;
        return true;
    }
    auto lock = std::make_unique<QLockFile>(lockPath(uid));
    // Only a process that is gone lets a lock go, never the lock's age.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() == QLockFile::LockFailedError)
            return false; // another running program has it; the lock held before stays
        lock.reset();
    }
    held = std::move(lock);
    claimed = uid;
    return true;
}

bool OrderClaims::claimedElsewhere(const QString &uid) const
{
    if (uid.isEmpty() || uid == claimed)
        return false;
    QLockFile probe(lockPath(uid));
    probe.setStaleLockTime(0);
    if (probe.tryLock(0)) {
        // A crashed program's lock, or none: the order is free. The probe removes its file.
        probe.unlock();
        return false;
    }
    return probe.error() == QLockFile::LockFailedError;
}
