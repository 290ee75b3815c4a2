// Requests a minute per client address: a window of 60 seconds per address that starts with its
// first request. Safe from several threads.
#pragma once

#include <QHash>
#include <QString>

#include <mutex>

class RateLimit
{
public:
    explicit RateLimit(int perMinute)
        : limit(perMinute)
    { }

    // Counts one request at now (milliseconds); false when the address is over its limit.
    bool allow(const QString &address, qint64 now);

private:
    struct Window
    {
        qint64 start = 0;
        int count = 0;
    };
    int limit;
    std::mutex mutex;
    QHash<QString, Window> windows;
    qint64 lastSweep = 0;
};
