// Requests written in one transaction each, on the book's own connection; a watch thread refuses
// those the database has not taken in time, and the storing gives up on them too.
#include "web/request_book.h"

#include "storage/connection.h"
#include "storage/web_requests.h"

#include <QDateTime>
#include <QDeadlineTimer>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace {

// Said once: the number stored, or the refusal when the time ran out first. A commit on its
// way is not refused by the service's closing: its own answer follows (the server holds it to
// its time).
struct Answer
{
    std::mutex lock;
    bool given = false;
    bool committing = false;
    RequestDone done;

    // Before the commit: false when the request was refused meanwhile.
    bool commit()
    {
        std::lock_guard<std::mutex> hold(lock);
        committing = !given;
        return committing;
    }
    void give(qint64 number, const QString &error, bool evenCommitting = true)
    {
        {
            std::lock_guard<std::mutex> hold(lock);
            if (given || (committing && !evenCommitting && number == 0)) {
                if (given && number > 0)
                    qWarning("printcalc-web: заявка %lld сохранена после отказа", number);
                return;
            }
            given = true;
        }
        done(number, error);
    }
};

QString lateText()
{
    return QStringLiteral("база магазина не ответила вовремя");
}

} // namespace

struct RequestBook::State
{
    Connection connection;
};

struct RequestBook::Watch
{
    using Clock = std::chrono::steady_clock;
    std::mutex lock;
    std::condition_variable wake;
    bool ending = false;
    std::multimap<Clock::time_point, std::shared_ptr<Answer>> due;
    std::thread thread;

    Watch()
        : thread([this] { run(); })
    { }
    ~Watch()
    {
        {
            std::lock_guard<std::mutex> hold(lock);
            ending = true;
        }
        wake.notify_all();
        thread.join();
    }

    void add(Clock::time_point when, std::shared_ptr<Answer> answer)
    {
        {
            std::lock_guard<std::mutex> hold(lock);
            due.emplace(when, std::move(answer));
        }
        wake.notify_all();
    }

    void run()
    {
        std::unique_lock<std::mutex> hold(lock);
        while (true) {
            // What is still waiting at the end is refused too: the service is closing.
            if (ending) {
                for (auto &[when, answer] : due)
                    answer->give(0, lateText(), false);
                due.clear();
                return;
            }
            if (due.empty()) {
                wake.wait(hold);
                continue;
            }
            const auto first = due.begin();
            if (first->first > Clock::now()) {
                wake.wait_until(hold, first->first);
                continue;
            }
            const std::shared_ptr<Answer> answer = first->second;
            due.erase(first);
            hold.unlock();
            answer->give(0, lateText());
            hold.lock();
        }
    }
};

RequestBook::RequestBook(const DatabaseUrl &shop, int answerWithinMs, int storeWithinMs)
    : url(shop)
    , answerWithin(answerWithinMs)
    , storeWithin(storeWithinMs)
    , state(std::make_shared<State>())
    , watch(std::make_unique<Watch>())
    , thread(QStringLiteral("web-requests"))
{
    auto s = state;
    thread.setFinalTask([s] { s->connection.close(); });
}

RequestBook::~RequestBook()
{
    thread.finish(DatabaseThread::EndWaitMs);
}

void RequestBook::refuseWaiting()
{
    std::lock_guard<std::mutex> hold(watch->lock);
    for (auto &[when, answer] : watch->due)
        answer->give(0, QStringLiteral("сервис закрывается"), false);
}

bool RequestBook::finish(int msecs)
{
    return thread.finish(msecs);
}

void RequestBook::setMail(RequestMail composed)
{
    mail = std::move(composed);
}

void RequestBook::take(const WebRequest &request, RequestDone done)
{
    WebRequestRecord record;
    record.created = QDateTime::currentDateTime();
    record.name = request.name;
    record.phone = request.phone;
    record.email = request.email;
    record.comment = request.comment;
    record.due = request.due;
    record.lines = request.lines;
    record.priceVersion = request.priceVersion;
    record.totalKopecks = request.totalKopecks;
    auto answer = std::make_shared<Answer>();
    answer->done = std::move(done);
    const QDeadlineTimer storeBy(storeWithin);
    watch->add(Watch::Clock::now() + std::chrono::milliseconds(answerWithin), answer);
    auto s = state;
    const DatabaseUrl shop = url;
    const RequestMail acknowledgement = mail;
    thread.post([s, shop, record, answer, storeBy, acknowledgement] {
        // Refused meanwhile: the database is not asked at all.
        if (storeBy.hasExpired() || !answer->commit()) {
            answer->give(0, lateText());
            return;
        }
        const bool wasOpen = s->connection.isOpen();
        if (!wasOpen && !s->connection.open(shop, QStringLiteral("web"))) {
            answer->give(0, s->connection.errorText());
            return;
        }
        s->connection.clearFault();
        const auto wanted = [&answer] { return answer->commit(); };
        qint64 number = storeWebRequest(s->connection, record, storeBy, wanted, acknowledgement);
        // A server that was restarted meanwhile broke the open connection: once more on a new one.
        if (number == 0 && wasOpen && !storeBy.hasExpired()) {
            s->connection.close();
            if (s->connection.open(shop, QStringLiteral("web")))
                number = storeWebRequest(s->connection, record, storeBy, wanted, acknowledgement);
        }
        const QString problem
            = number == 0 && storeBy.hasExpired() ? lateText() : s->connection.errorText();
        if (number == 0)
            s->connection.close(); // opened again for the next request
        answer->give(number, problem);
    });
}
