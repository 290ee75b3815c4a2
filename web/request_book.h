// The website's requests in the shop's database, written on a thread of its own: the service's
// threads hand a checked request over and are answered within AnswerWithinMs whatever the
// database does.
#pragma once

#include "storage/database_thread.h"
#include "storage/database_url.h"
#include "storage/web_requests.h"
#include "web/web_service.h"

#include <memory>

class RequestBook
{
public:
    // The answer's bound, and the part of it the storing may take: a request not stored by then
    // is refused and never kept later.
    static constexpr int AnswerWithinMs = 5000;
    static constexpr int StoreWithinMs = 4500;

    explicit RequestBook(const DatabaseUrl &shop, int answerWithinMs = AnswerWithinMs,
                         int storeWithinMs = StoreWithinMs);
    ~RequestBook();

    // Stores the request with status "Заявка", then calls done once: with its number, or with 0
    // and the reason (on the book's thread or its watch's).
    void take(const WebRequest &request, RequestDone done);
    // The customer's acknowledgement, queued with each request that gives an e-mail; set before
    // the first request.
    void setMail(RequestMail mail);
    // The service closes: every request not yet committing is refused now.
    void refuseWaiting();
    bool finish(int msecs);

private:
    struct State;
    struct Watch;
    DatabaseUrl url;
    int answerWithin;
    int storeWithin;
    RequestMail mail;
    std::shared_ptr<State> state;
    std::unique_ptr<Watch> watch;
    DatabaseThread thread;
};
