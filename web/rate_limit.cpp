// Fixed windows per address, swept once a minute so that a scan of many addresses holds no memory.
#include "web/rate_limit.h"

bool RateLimit::allow(const QString &address, qint64 now)
{
    if (limit <= 0)
        return true;
    const std::lock_guard<std::mutex> lock(mutex);
    if (now - lastSweep > 60000) {
        for (auto it = windows.begin(); it != windows.end();)
            it = now - it->start >= 60000 ? windows.erase(it) : std::next(it);
        lastSweep = now;
    }
    Window &window = windows[address];
    if (window.count == 0 || now - window.start >= 60000) {
        window.start = now;
        window.count = 0;
    }
    return ++window.count <= limit;
}
