// Requests written in one transaction each, on the book's own connection.
#include "web/request_book.h"

#include "order/money.h"
#include "order/order_status.h"
#include "storage/connection.h"
#include "storage/transaction.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

// Bound as text even when empty: the columns take no NULL.
QString asText(const QString &text)
{
    return text.isNull() ? QString(QLatin1String("")) : text;
}

} // namespace

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

QJsonArray RequestBook::linesJson(const QVector<OrderLine> &lines)
{
    QJsonArray stored;
    for (const OrderLine &line : lines) {
        QJsonObject item = lineJson(line);
        item.insert(QStringLiteral("keyText"), line.keyText);
        item.insert(QStringLiteral("titles"), line.titles);
        item.insert(QStringLiteral("priceVersion"), line.priceVersion);
        item.insert(QStringLiteral("job"), line.job);
        stored.append(item);
    }
    return stored;
}

void RequestBook::take(const WebRequest &request, RequestDone done)
{
    auto s = state;
    const DatabaseUrl shop = url;
    thread.post([s, shop, request, done] {
        const QByteArray lines
            = QJsonDocument(linesJson(request.lines)).toJson(QJsonDocument::Compact);
        qint64 total = 0;
        for (const OrderLine &line : request.lines)
            total += kopecksOf(lineSum(line));
        bool stored = false;
        QString problem;
        qint64 taken = 0;
        [&] {
            if (!s->connection.isOpen() && !s->connection.open(shop, QStringLiteral("web")))
                problem = s->connection.errorText();
            if (!s->connection.isOpen())
                return;
            s->connection.clearFault();
            bool broken = false;
            {
                Transaction transaction(s->connection);
                QSqlQuery query(s->connection.database());
                const bool sqlite = s->connection.isSqlite();
                query.prepare(QStringLiteral("INSERT INTO web_request (status, created, name, "
                                             "phone, email, comment, due, "
                                             "lines, price_version, total_kopecks) VALUES (0, ?, "
                                             "?, ?, ?, ?, ?, ?, ?, ?)")
                              + (sqlite ? QString() : QStringLiteral(" RETURNING number")));
                query.addBindValue(QDateTime::currentDateTime().toString(Qt::ISODate));
                query.addBindValue(asText(request.name));
                query.addBindValue(asText(request.phone));
                query.addBindValue(asText(request.email));
                query.addBindValue(asText(request.comment));
                query.addBindValue(asText(request.due.toString(Qt::ISODate)));
                query.addBindValue(QString::fromUtf8(lines));
                query.addBindValue(request.priceVersion);
                query.addBindValue(total);
                if (!query.exec()) {
                    problem = query.lastError().text();
                    broken = true;
                } else {
                    taken = sqlite ? query.lastInsertId().toLongLong()
                                   : (query.next() ? query.value(0).toLongLong() : 0);
                    stored = transaction.commit();
                    if (!stored)
                        problem = s->connection.errorText();
                }
            }
            if (broken)
                s->connection.close(); // opened again for the next request
        }();
        done(stored ? taken : 0, problem);
    });
}
