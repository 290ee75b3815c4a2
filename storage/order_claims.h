// Which stored orders a running program has on screen: a lock file per order beside the
// counter's file. A second copy of the program at the same counter must not offer the first's
// live order for restoring; a program that crashed leaves a lock that nobody holds any more.
#pragma once

#include <QString>

#include <memory>

class QLockFile;

class OrderClaims
{
public:
    explicit OrderClaims(const QString &localPath);
    ~OrderClaims();

    // Holds the order's lock, letting go of the one held before; an empty uid holds none. False,
    // the lock held before kept, when another running program holds the order.
    bool claim(const QString &uid);
    // Whether another running program holds the order.
    bool claimedElsewhere(const QString &uid) const;

private:
    QString lockPath(const QString &uid) const;

    QString folder;
    QString claimed;
    std::unique_ptr<QLockFile> held;
};
