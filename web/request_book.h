// The website's requests in the shop's database, written on a thread of its own: the service's
// threads hand a checked request over and wait a few seconds at most for its number.
#pragma once

#include "storage/database_thread.h"
#include "storage/database_url.h"
#include "web/web_service.h"

class RequestBook
{
public:
    explicit RequestBook(const DatabaseUrl &shop);
    ~RequestBook();

    // Stores the request with status "Заявка" on the book's thread, then calls done there with its
    // number, or with 0 and the reason.
    void take(const WebRequest &request, RequestDone done);
    bool finish(int msecs);

private:
    struct State;
    DatabaseUrl url;
    std::shared_ptr<State> state;
    DatabaseThread thread;
};
