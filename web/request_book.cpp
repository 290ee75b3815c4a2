// Requests written in one transaction each, on the book's own connection.
#include "web/request_book.h"

#include "storage/connection.h"
#include "storage/web_requests.h"

#include <QDateTime>

struct RequestBook::State
{
    Connection connection;
};

RequestBook::RequestBook(const DatabaseUrl &shop)
    : url(shop)
    , state(std::make_shared<State>())
    , thread(QStringLiteral("web-requests"))
{
    auto s = state;
    thread.setFinalTask([s] { s->connection.close(); });
}

RequestBook::~RequestBook()
{
    thread.finish(DatabaseThread::EndWaitMs);
}

bool RequestBook::finish(int msecs)
{
    return thread.finish(msecs);
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
    auto s = state;
    const DatabaseUrl shop = url;
    thread.post([s, shop, record, done] {
        const bool wasOpen = s->connection.isOpen();
        if (!wasOpen && !s->connection.open(shop, QStringLiteral("web"))) {
            done(0, s->connection.errorText());
            return;
        }
        s->connection.clearFault();
        qint64 number = storeWebRequest(s->connection, record);
        // A server that was restarted meanwhile broke the open connection: once more on a new one.
        if (number == 0 && wasOpen) {
            s->connection.close();
            if (s->connection.open(shop, QStringLiteral("web")))
                number = storeWebRequest(s->connection, record);
        }
        const QString problem = s->connection.errorText();
        if (number == 0)
            s->connection.close(); // opened again for the next request
        done(number, problem);
    });
}
