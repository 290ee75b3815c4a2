// The quoting service over HTTP (GNU libmicrohttpd, its epoll thread pool): the catalogue, quotes,
// requests from the website, its health and the calculator page. Answers from the price version
// it was last given, so a database that is away stops nothing.
#pragma once

#include "prices/price_versions.h"
#include "pricing/catalogue.h"
#include "web/rate_limit.h"
#include "web/web_settings.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QHostAddress>
#include <QJsonObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <set>

struct MHD_Daemon;
class HeaderDeadline;

// A request from the website as the service checked it: the contact, the jobs priced again.
struct WebRequest
{
    QString name;
    QString phone;
    QString email;
    QString comment;
    QDate due; // null when no wish was given
    QVector<PricedJob> jobs;
    QVector<OrderLine> lines; // every job's lines, priced with the version in force
    qint64 totalKopecks = 0; // the lines' sums, each to the kopeck, added up
    int priceVersion = 0;
};

// Stores a request and calls done with its number, or with 0 and the reason, once, from any
// thread. The service's threads never wait for the database: the connection waits, suspended.
using RequestDone = std::function<void(qint64 number, const QString &error)>;
using RequestTaker = std::function<void(const WebRequest &request, RequestDone done)>;

// The answer to one HTTP request, made without a socket (the tests and the bench call it too).
struct WebAnswer
{
    int status = 200;
    QByteArray contentType = "application/json; charset=utf-8";
    QByteArray body;
    QByteArray cacheControl = "no-cache"; // prices change: a browser asks again each time
    QByteArray etag; // with it, a client that has these bytes is answered 304
};

class WebService
{
public:
    explicit WebService(const WebSettings &settings);
    ~WebService();
    WebService(const WebService &) = delete;
    WebService &operator=(const WebService &) = delete;

    // Listens; port 0 takes a free one (port() tells which). False with the reason.
    bool start(const QHostAddress &address, quint16 port, QString *error);
    void stop();
    quint16 port() const { return boundPort; }

    // The version quotes are priced with from now on; from any thread.
    void setPrices(const PriceVersion &version);
    // The shop's versions: quotes are priced with the one in force by the clock, switching at
    // midnight on the first request after it; from any thread.
    void setVersions(const QVector<PriceVersion> &versions);
    // Milliseconds since the epoch; the price clock unless a test gives another.
    void setClock(std::function<qint64()> msecsSinceEpoch);
    void setDatabaseAnswers(bool answers) { databaseUp = answers; }
    void setRequestTaker(RequestTaker taker) { requestTaker = std::move(taker); }

    // What the service answers to a complete request from a client at that address.
    WebAnswer answer(const QByteArray &method, const QByteArray &path, const QByteArray &body,
                     const QString &client);

    // A request's body checked and priced; false with the refusal.
    bool readRequest(const QByteArray &body, WebRequest *request, WebAnswer *refusal);
    // Hands a checked request to the taker; done gets the answer, from any thread.
    void takeRequest(const WebRequest &request, std::function<void(const WebAnswer &)> done);

    // The address a request stands for: the peer, or the last address of X-Forwarded-For when the
    // peer is a trusted proxy.
    QString clientAddress(const QString &peer, const QByteArray &forwardedFor) const;
    bool originAllowed(const QByteArray &origin) const;
    // Counts a POST to the path against its address's limit; false when over it.
    bool allowed(const QByteArray &path, const QString &client);
    const WebSettings &settings() const { return config; }

    static constexpr qint64 DrainLimit = 1024 * 1024; // a body is read and dropped up to this
    static constexpr int BodyWithinMs = 30000; // from the headers' end
    // A request's head whole within this of the connection, or of the answer before it.
    static constexpr int HeaderWithinMs = 10000;
    HeaderDeadline *headerDeadline() const { return heads.get(); }

private:
    struct Prices
    {
        PriceVersion version;
        CatalogueIndex index; // the version's options ready for quotes
        QByteArray catalogue;
        qint64 validUntil = 0; // the next midnight by the clock; 0: for good
        quint64 generation = 0; // tells a thread's quote cache its answers are stale
    };
    std::shared_ptr<const Prices> prices() const;
    // The invoice's terms for a customer of the website today: the shop's tax, no discount.
    FootTerms footTerms() const;
    std::shared_ptr<const Prices> pricesFor(const PriceVersion &version, qint64 validUntil) const;
    WebAnswer quote(const QByteArray &body, const Prices *snapshot, const FootTerms &terms);
    WebAnswer cachedQuote(const QByteArray &body);
    WebAnswer requestNow(const QByteArray &body);

    WebSettings config;
    RateLimit quoteLimit;
    RateLimit requestLimit;
    mutable std::mutex pricesMutex;
    mutable std::shared_ptr<const Prices> current;
    QVector<PriceVersion> versions; // empty: the version given by setPrices, for good
    std::function<qint64()> clock;
    std::atomic<bool> databaseUp {false};
    RequestTaker requestTaker;
    MHD_Daemon *daemon = nullptr;
    std::unique_ptr<HeaderDeadline> heads;

public:
    // A connection suspended while its request is stored: answered once, by the taker or by
    // stop(), never after the connection is gone.
    struct Waiting;
    void holdWaiting(const std::shared_ptr<Waiting> &waiting);
    void resumeWaiting(const std::shared_ptr<Waiting> &waiting, const WebAnswer &answer);
    std::atomic<int> stopAnswered {0}; // answered by stop() and not yet sent

private:
    std::mutex waitingMutex;
    std::set<std::shared_ptr<Waiting>> waitingSet;
    quint16 boundPort = 0;
    QByteArray pageHtml, pageScript, pageStyle;
    QHash<QByteArray, WebAnswer> pictures; // by path
};

// A JSON error answer: {"error": message}.
WebAnswer errorAnswer(int status, const QString &message);
