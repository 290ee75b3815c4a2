// The tracked connections are looked at four times a second; a socket is only shut down (never
// closed) here, under the lock its close notice also takes, so it is never one reused meanwhile.
#include "web/header_deadline.h"

#include <microhttpd.h>
#include <sys/socket.h>

#include <atomic>

using Clock = std::chrono::steady_clock;

struct HeaderDeadline::Tracked
{
    int fd = -1;
    std::atomic<Clock::rep> since {0};
    std::atomic<bool> busy {false};
    bool cut = false;
};

HeaderDeadline::Tracked *HeaderDeadline::trackedOf(MHD_Connection *connection)
{
    const MHD_ConnectionInfo *info
        = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
    return info ? static_cast<Tracked *>(info->socket_context) : nullptr;
}

HeaderDeadline::HeaderDeadline(std::chrono::milliseconds within)
    : within(within)
    , watcher([this] { watch(); })
{ }

HeaderDeadline::~HeaderDeadline()
{
    {
        std::lock_guard<std::mutex> hold(lock);
        stopping = true;
    }
    wake.notify_all();
    watcher.join();
    for (Tracked *connection : tracked)
        delete connection;
}

void HeaderDeadline::opened(MHD_Connection *connection, void **context)
{
    const MHD_ConnectionInfo *info
        = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
    auto *made = new Tracked;
    made->fd = info ? info->connect_fd : -1;
    made->since = Clock::now().time_since_epoch().count();
    *context = made;
    std::lock_guard<std::mutex> hold(lock);
    tracked.insert(made);
}

void HeaderDeadline::closed(void **context)
{
    auto *gone = static_cast<Tracked *>(*context);
    if (!gone)
        return;
    {
        std::lock_guard<std::mutex> hold(lock);
        tracked.erase(gone);
    }
    delete gone;
    *context = nullptr;
}

void HeaderDeadline::headed(MHD_Connection *connection)
{
    if (Tracked *t = trackedOf(connection))
        t->busy = true;
}

void HeaderDeadline::answered(MHD_Connection *connection)
{
    if (Tracked *t = trackedOf(connection)) {
        t->since = Clock::now().time_since_epoch().count();
        t->busy = false;
    }
}

int HeaderDeadline::cut() const
{
    std::lock_guard<std::mutex> hold(lock);
    return cutCount;
}

void HeaderDeadline::watch()
{
    std::unique_lock<std::mutex> hold(lock);
    while (!stopping) {
        wake.wait_for(hold, std::chrono::milliseconds(250));
        const Clock::rep latest = (Clock::now() - within).time_since_epoch().count();
        for (Tracked *connection : tracked) {
            if (connection->cut || connection->busy || connection->since > latest
                || connection->fd < 0)
                continue;
            connection->cut = true;
            ++cutCount;
            ::shutdown(connection->fd, SHUT_RDWR);
        }
    }
}
