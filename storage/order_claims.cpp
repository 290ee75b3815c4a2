#include "storage/order_claims.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

OrderClaims::OrderClaims(const QString &localPath)
    : folder(QFileInfo(localPath).absolutePath() + QStringLiteral("/open-orders"))
{
}

OrderClaims::~OrderClaims() = default;

QString OrderClaims::lockPath(const QString &uid) const
{
    return folder + QLatin1Char('/') + uid + QStringLiteral(".lock");
}

void OrderClaims::claim(const QString &uid)
{
    if (uid == claimed)
        return;
    held.reset();
    claimed = uid;
    if (uid.isEmpty() || !QDir().mkpath(folder))
        return;
    held = std::make_unique<QLockFile>(lockPath(uid));
    // Only a process that is gone lets a lock go, never the lock's age.
    held->setStaleLockTime(0);
    if (!held->tryLock(0))
        held.reset();
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
