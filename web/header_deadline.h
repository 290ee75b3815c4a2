// A request's head must arrive whole within its time: from the connection's start, or from the
// previous answer on a connection kept open. The server's own timeout counts only silence, so a
// client sending a header byte every few seconds would hold its slot for as long as it liked;
// such a connection is shut down here, and the server closes it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

struct MHD_Connection;

class HeaderDeadline
{
public:
    explicit HeaderDeadline(std::chrono::milliseconds within);
    ~HeaderDeadline();
    HeaderDeadline(const HeaderDeadline &) = delete;
    HeaderDeadline &operator=(const HeaderDeadline &) = delete;

    // The server's notices: a connection opened (its context set) and closed (its context freed,
    // before the server closes the socket).
    void opened(MHD_Connection *connection, void **context);
    void closed(void **context);
    // The head arrived: the request is the handler's now. Answered: the next head's time starts.
    static void headed(MHD_Connection *connection);
    static void answered(MHD_Connection *connection);

    // How many connections were cut so far.
    int cut() const;

private:
    struct Tracked;
    static Tracked *trackedOf(MHD_Connection *connection);
    void watch();

    const std::chrono::milliseconds within;
    mutable std::mutex lock;
    std::condition_variable wake;
    bool stopping = false;
    int cutCount = 0;
    std::set<Tracked *> tracked;
    std::thread watcher;
};
