// The HTTP side: libmicrohttpd's epoll threads read the requests, each handled here from its
// complete body; bodies over the limit are read and dropped, then refused.
#include "web/web_service.h"

#include "customers/requisites.h"
#include "order/money.h"
#include "web/header_deadline.h"
#include "web/pictures.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTime>

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <exception>
#include <future>
#include <thread>

WebAnswer errorAnswer(int status, const QString &message);
bool refuse(WebAnswer *refusal, int status, const QString &message);

namespace {

const QByteArray QuotePath = "/api/v1/quote";
const QByteArray RequestsPath = "/api/v1/requests";

QByteArray json(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QByteArray resource(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool parseBody(const QByteArray &body, QJsonObject *object, WebAnswer *refusal)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error == QJsonParseError::IllegalUTF8String) {
        *refusal = errorAnswer(400, QStringLiteral("Тело запроса: текст не в кодировке UTF-8"));
        return false;
    }
    if (error.error == QJsonParseError::DeepNesting) {
        *refusal = errorAnswer(400, QStringLiteral("Тело запроса: слишком глубокая вложенность"));
        return false;
    }
    if (error.error != QJsonParseError::NoError) {
        *refusal = errorAnswer(400,
                               QStringLiteral("Тело запроса: ошибка JSON в позиции ")
                                   + QString::number(error.offset));
        return false;
    }
    if (!document.isObject()) {
        *refusal = errorAnswer(400, QStringLiteral("Тело запроса: ожидается объект JSON"));
        return false;
    }
    *object = document.object();
    return true;
}

// What a connection holds between the calls for its body.
struct Pending
{
    QByteArray body;
    qint64 received = 0;
    bool tooLarge = false;
    QString client;
    QByteArray origin;
    QByteArray ifNoneMatch;
    bool waiting = false; // suspended until the request is stored
    bool answeredAtStop = false;
    bool queued = false; // an answer is on its way: what more comes is read and dropped
    bool chunked = false; // no length announced: read and dropped to its end, in time
    std::chrono::steady_clock::time_point since = std::chrono::steady_clock::now();
    std::unique_ptr<WebAnswer> answer; // the stored request's, once it came
};

} // namespace

struct WebService::Waiting
{
    MHD_Connection *connection = nullptr;
    Pending *pending = nullptr;
};

namespace {

MHD_Result send(MHD_Connection *connection, const WebAnswer &answer, const WebService &service,
                Pending *pending)
{
    const bool unchanged = pending && !answer.etag.isEmpty() && pending->ifNoneMatch == answer.etag;
    // The response holds a share of the answer's bytes (the catalogue's and the pictures' are
    // the service's own): nothing is copied, and a catalogue replaced meanwhile stays valid.
    auto *body = new QByteArray(unchanged ? QByteArray() : answer.body);
    MHD_Response *response = MHD_create_response_from_buffer_with_free_callback_cls(
        size_t(body->size()), const_cast<char *>(body->constData()),
        [](void *bytes) { delete static_cast<QByteArray *>(bytes); }, body);
    if (!response) {
        delete body;
        return MHD_NO;
    }
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, answer.contentType.constData());
    MHD_add_response_header(response, "X-Content-Type-Options", "nosniff");
    if (!answer.cacheControl.isEmpty())
        MHD_add_response_header(response, MHD_HTTP_HEADER_CACHE_CONTROL,
                                answer.cacheControl.constData());
    if (!answer.etag.isEmpty())
        MHD_add_response_header(response, MHD_HTTP_HEADER_ETAG, answer.etag.constData());
    if (pending && service.originAllowed(pending->origin)) {
        MHD_add_response_header(response, "Access-Control-Allow-Origin",
                                pending->origin.constData());
        MHD_add_response_header(response, "Vary", "Origin");
        MHD_add_response_header(response, "Access-Control-Allow-Methods", "GET, POST, OPTIONS");
        MHD_add_response_header(response, "Access-Control-Allow-Headers", "Content-Type");
        MHD_add_response_header(response, "Access-Control-Max-Age", "600");
    }
    const MHD_Result result
        = MHD_queue_response(connection, unchanged ? 304u : unsigned(answer.status), response);
    MHD_destroy_response(response);
    if (pending && result == MHD_YES)
        pending->queued = true;
    return result;
}

QString peerOf(MHD_Connection *connection)
{
    const MHD_ConnectionInfo *info
        = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    if (!info || !info->client_addr)
        return QString();
    QHostAddress address(info->client_addr);
    bool v4 = false;
    const quint32 mapped = address.toIPv4Address(&v4);
    return v4 ? QHostAddress(mapped).toString() : address.toString();
}

// The page's own origin: the scheme's part dropped, what is left is the Host the client asked.
bool sameSite(const QByteArray &origin, const char *host)
{
    const int scheme = origin.indexOf("://");
    return host && scheme > 0 && origin.mid(scheme + 3).toLower() == QByteArray(host).toLower();
}

MHD_Result onRequest(void *self, MHD_Connection *connection, const char *url, const char *method,
                     const char *, const char *data, size_t *size, void **state)
{
    auto *service = static_cast<WebService *>(self);
    auto *pending = static_cast<Pending *>(*state);
    try {
        if (!pending) {
            pending = new Pending;
            *state = pending;
            HeaderDeadline::headed(connection);
            pending->client = service->clientAddress(
                peerOf(connection),
                MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "X-Forwarded-For"));
            pending->origin = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Origin");
            pending->ifNoneMatch = MHD_lookup_connection_value(connection, MHD_HEADER_KIND,
                                                               MHD_HTTP_HEADER_IF_NONE_MATCH);
            const char *length = MHD_lookup_connection_value(connection, MHD_HEADER_KIND,
                                                             MHD_HTTP_HEADER_CONTENT_LENGTH);
            pending->chunked = !length;
            if (length) {
                if (QByteArray(length).toLongLong() > WebService::DrainLimit)
                    return send(connection,
                                errorAnswer(413,
                                            QStringLiteral("Тело запроса больше ")
                                                + QString::number(service->settings().maxBody)
                                                + QStringLiteral(" байт")),
                                *service, pending);
            }
            if (std::strcmp(method, "POST") == 0) {
                // A plain form from any page sends no preflight: JSON alone is read, and only
                // from the service's own page or the listed sites.
                const QByteArray type
                    = QByteArray(MHD_lookup_connection_value(connection, MHD_HEADER_KIND,
                                                             MHD_HTTP_HEADER_CONTENT_TYPE))
                          .trimmed()
                          .toLower();
                if (type != "application/json" && !type.startsWith("application/json;"))
                    return send(connection,
                                errorAnswer(415,
                                            QStringLiteral("Принимается только тело "
                                                           "application/json")),
                                *service, pending);
                if (!pending->origin.isEmpty() && !service->originAllowed(pending->origin)
                    && !sameSite(pending->origin,
                                 MHD_lookup_connection_value(connection, MHD_HEADER_KIND,
                                                             MHD_HTTP_HEADER_HOST)))
                    return send(connection,
                                errorAnswer(403,
                                            QStringLiteral("Запросы с чужих сайтов не "
                                                           "принимаются")),
                                *service, pending);
            }
            if (std::strcmp(method, "POST") == 0 && !service->allowed(url, pending->client))
                return send(connection,
                            errorAnswer(429,
                                        QStringLiteral("Слишком много запросов с адреса ")
                                            + pending->client
                                            + QStringLiteral(", повторите через минуту")),
                            *service, pending);
            return MHD_YES;
        }
        if (*size != 0 && pending->queued) {
            *size = 0;
            return MHD_YES;
        }
        if (*size != 0) {
            pending->received += qint64(*size);
            if (pending->received <= service->settings().maxBody)
                pending->body.append(data, int(*size));
            else if (!pending->tooLarge) {
                pending->tooLarge = true;
                pending->body.clear();
            }
            *size = 0;
            // A body still coming after BodyWithinMs is cut; a chunked one is read to its end
            // before the refusal, which a client still sending would otherwise never read.
            const bool late = std::chrono::steady_clock::now() - pending->since
                > std::chrono::milliseconds(WebService::BodyWithinMs);
            if (late && !pending->tooLarge) {
                pending->tooLarge = true;
                pending->body.clear();
            }
            if (!late && (pending->received <= WebService::DrainLimit || pending->chunked))
                return MHD_YES;
        }
        if (pending->answer)
            return send(connection, *pending->answer, *service, pending);
        if (pending->waiting)
            return MHD_YES;
        if (std::strcmp(method, "POST") == 0 && RequestsPath == url && !pending->tooLarge) {
            WebRequest request;
            WebAnswer refusal;
            if (!service->readRequest(pending->body, &request, &refusal))
                return send(connection, refusal, *service, pending);
            pending->waiting = true;
            auto waiting = std::make_shared<WebService::Waiting>();
            waiting->connection = connection;
            waiting->pending = pending;
            service->holdWaiting(waiting);
            service->takeRequest(request, [service, waiting](const WebAnswer &answer) {
                service->resumeWaiting(waiting, answer);
            });
            return MHD_YES;
        }
        if (pending->tooLarge)
            return send(connection,
                        errorAnswer(413,
                                    QStringLiteral("Тело запроса больше ")
                                        + QString::number(service->settings().maxBody)
                                        + QStringLiteral(" байт")),
                        *service, pending);
        return send(connection, service->answer(method, url, pending->body, pending->client),
                    *service, pending);
    } catch (const std::exception &) {
        return send(connection, errorAnswer(500, QStringLiteral("Внутренняя ошибка сервиса")),
                    *service, pending);
    }
}

void onConnection(void *self, MHD_Connection *connection, void **context,
                  MHD_ConnectionNotificationCode code)
{
    HeaderDeadline *heads = static_cast<WebService *>(self)->headerDeadline();
    if (code == MHD_CONNECTION_NOTIFY_STARTED)
        heads->opened(connection, context);
    else
        heads->closed(context);
}

void onCompleted(void *self, MHD_Connection *connection, void **state, MHD_RequestTerminationCode)
{
    HeaderDeadline::answered(connection);
    auto *pending = static_cast<Pending *>(*state);
    if (pending && pending->answeredAtStop)
        --static_cast<WebService *>(self)->stopAnswered;
    delete pending;
    *state = nullptr;
}

const QRegularExpression &emailPattern()
{
    static const QRegularExpression pattern(QStringLiteral("^[^@\\s]+@[^@\\s]+\\.[^@\\s]+$"));
    return pattern;
}

// A phone as people write it: digits with "+", blanks, brackets and dashes, 10 to 15 digits.
bool phoneValid(const QString &phone)
{
    int digits = 0;
    for (const QChar c : phone) {
        if (c.isDigit() && c.unicode() < 0x80)
            ++digits;
        else if (!QStringLiteral("+ ()-").contains(c))
            return false;
    }
    return digits >= 10 && digits <= 15;
}

bool text(const QJsonObject &object, const char *key, int longest, QString *value,
          const QString &field, WebAnswer *refusal)
{
    const QJsonValue item = object.value(QLatin1String(key));
    if (item.isUndefined() || item.isNull()) {
        value->clear();
        return true;
    }
    if (!item.isString()) {
        *refusal = errorAnswer(
            400, QStringLiteral("Поле «") + field + QStringLiteral("»: ожидается строка"));
        return false;
    }
    *value = item.toString().trimmed();
    // No database keeps a NUL in a text: the sender's fault, told as such.
    if (value->contains(QChar(0))) {
        *refusal = errorAnswer(400,
                               QStringLiteral("Поле «") + field
                                   + QStringLiteral("»: недопустимый символ U+0000"));
        return false;
    }
    if (value->size() > longest) {
        *refusal = errorAnswer(400,
                               QStringLiteral("Поле «") + field + QStringLiteral("»: не длиннее ")
                                   + QString::number(longest) + QStringLiteral(" знаков"));
        return false;
    }
    return true;
}

} // namespace

bool refuse(WebAnswer *refusal, int status, const QString &message)
{
    *refusal = errorAnswer(status, message);
    return false;
}

WebAnswer errorAnswer(int status, const QString &message)
{
    return {status, "application/json; charset=utf-8", json({{QStringLiteral("error"), message}})};
}

WebService::WebService(const WebSettings &settings)
    : config(settings)
    , quoteLimit(settings.quotePerMinute)
    , requestLimit(settings.requestsPerMinute)
{
    Q_INIT_RESOURCE(web);
    pageHtml = resource(QStringLiteral(":/web/index.html"));
    pageScript = resource(QStringLiteral(":/web/page.js"));
    pageStyle = resource(QStringLiteral(":/web/page.css"));
    Q_INIT_RESOURCE(pictures);
    for (const QString &path : allSouvenirPictures()) {
        const PictureFile file = pictureFile(path);
        WebAnswer &answer = pictures[QByteArrayLiteral("/pictures/") + path.toUtf8()];
        answer.contentType = file.contentType;
        answer.body = file.body;
        // Revalidated after a day: a new drawing of the picture keeps its name.
        answer.cacheControl = "public, max-age=86400";
        answer.etag = '"'
            + QCryptographicHash::hash(file.body, QCryptographicHash::Sha1).toHex().left(16) + '"';
    }
    setPrices(builtInVersion());
}

WebService::~WebService()
{
    stop();
}

bool WebService::start(const QHostAddress &address, quint16 port, QString *error)
{
    stop();
    sockaddr_storage storage {};
    socklen_t length = 0;
    unsigned flags = MHD_USE_EPOLL_INTERNAL_THREAD | MHD_USE_INTERNAL_POLLING_THREAD;
    if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        auto *v6 = reinterpret_cast<sockaddr_in6 *>(&storage);
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(port);
        const Q_IPV6ADDR bytes = address.toIPv6Address();
        std::memcpy(&v6->sin6_addr, &bytes, sizeof bytes);
        length = sizeof *v6;
        flags |= MHD_USE_IPv6;
    } else {
        auto *v4 = reinterpret_cast<sockaddr_in *>(&storage);
        v4->sin_family = AF_INET;
        v4->sin_port = htons(port);
        v4->sin_addr.s_addr = htonl(address.toIPv4Address());
        length = sizeof *v4;
    }
    Q_UNUSED(length)
    // Two threads for two cores; an idle or slow client is dropped after 10 seconds of silence
    // and holds at most its own small pool, never a thread. One address holds at most its share
    // of the connections, and all of them stay below the descriptors the process may open.
    flags |= MHD_ALLOW_SUSPEND_RESUME;
    rlimit files {};
    const rlim_t open = getrlimit(RLIMIT_NOFILE, &files) == 0 ? files.rlim_cur : 1024;
    const unsigned total = unsigned(std::clamp<rlim_t>(open > 128 ? open - 128 : 16, 16, 8000));
    const unsigned perAddress
        = config.trustedProxies.isEmpty() ? unsigned(config.connectionsPerAddress) : 0u;
    heads = std::make_unique<HeaderDeadline>(std::chrono::milliseconds(HeaderWithinMs));
    daemon = MHD_start_daemon(
        flags, port, nullptr, nullptr, reinterpret_cast<MHD_AccessHandlerCallback>(&onRequest),
        this, MHD_OPTION_SOCK_ADDR, reinterpret_cast<sockaddr *>(&storage),
        MHD_OPTION_THREAD_POOL_SIZE, 2u, MHD_OPTION_CONNECTION_TIMEOUT, 10u,
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, size_t(32 * 1024), MHD_OPTION_CONNECTION_LIMIT, total,
        MHD_OPTION_PER_IP_CONNECTION_LIMIT, perAddress, MHD_OPTION_LISTEN_BACKLOG_SIZE, 1024u,
        MHD_OPTION_NOTIFY_COMPLETED, reinterpret_cast<MHD_RequestCompletedCallback>(&onCompleted),
        this, MHD_OPTION_NOTIFY_CONNECTION, &onConnection, this, MHD_OPTION_END);
    if (!daemon) {
        if (error)
            *error = QStringLiteral("Не удалось слушать адрес ") + address.toString()
                + QLatin1Char(':') + QString::number(port) + QStringLiteral(": ")
                + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    const MHD_DaemonInfo *info = MHD_get_daemon_info(daemon, MHD_DAEMON_INFO_BIND_PORT);
    boundPort = info ? info->port : port;
    return true;
}

void WebService::holdWaiting(const std::shared_ptr<Waiting> &waiting)
{
    std::lock_guard<std::mutex> hold(waitingMutex);
    waitingSet.insert(waiting);
    MHD_suspend_connection(waiting->connection);
}

void WebService::resumeWaiting(const std::shared_ptr<Waiting> &waiting, const WebAnswer &answer)
{
    std::lock_guard<std::mutex> hold(waitingMutex);
    // Answered at the stop already: the connection may be gone.
    if (waitingSet.erase(waiting) == 0)
        return;
    waiting->pending->answer = std::make_unique<WebAnswer>(answer);
    MHD_resume_connection(waiting->connection);
}

void WebService::stop()
{
    if (!daemon)
        return;
    // What still waits for the database is told now; the daemon never stops on a suspended
    // connection.
    {
        std::lock_guard<std::mutex> hold(waitingMutex);
        for (const std::shared_ptr<Waiting> &waiting : waitingSet) {
            waiting->pending->answer = std::make_unique<WebAnswer>(
                errorAnswer(503, QStringLiteral("Сервис останавливается, повторите позже")));
            waiting->pending->answeredAtStop = true;
            ++stopAnswered;
            MHD_resume_connection(waiting->connection);
        }
        waitingSet.clear();
    }
    // The answers reach their clients before the daemon goes.
    for (int i = 0; i < 200 && stopAnswered > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    MHD_stop_daemon(daemon);
    daemon = nullptr;
    heads.reset();
}

// The catalogue with each souvenir material's pictures and the shop's own details.
QByteArray catalogueWithPictures(const PriceVersion &version, const WebSettings &settings)
{
    QJsonObject catalogue = catalogueJson(version);
    catalogue.insert(QStringLiteral("shop"),
                     QJsonObject {{QStringLiteral("name"), settings.shopName},
                                  {QStringLiteral("address"), settings.shopAddress},
                                  {QStringLiteral("phone"), settings.shopPhone},
                                  {QStringLiteral("hours"), settings.shopHours}});
    QJsonArray pages = catalogue.value(QStringLiteral("pages")).toArray();
    for (int p = 0; p < pages.size(); ++p) {
        QJsonObject page = pages.at(p).toObject();
        QJsonArray groups = page.value(QStringLiteral("groups")).toArray();
        for (int g = 0; g < groups.size(); ++g) {
            QJsonObject group = groups.at(g).toObject();
            QJsonArray options = group.value(QStringLiteral("options")).toArray();
            bool changed = false;
            for (int o = 0; o < options.size(); ++o) {
                QJsonObject option = options.at(o).toObject();
                const QStringList paths
                    = souvenirPictures(option.value(QStringLiteral("id")).toString());
                if (paths.isEmpty())
                    continue;
                QJsonArray urls;
                for (const QString &path : paths)
                    urls.append(QString(QStringLiteral("/pictures/") + path));
                option.insert(QStringLiteral("pictures"), urls);
                options.replace(o, option);
                changed = true;
            }
            if (!changed)
                continue;
            group.insert(QStringLiteral("options"), options);
            groups.replace(g, group);
            page.insert(QStringLiteral("groups"), groups);
            pages.replace(p, page);
        }
    }
    catalogue.insert(QStringLiteral("pages"), pages);
    return json(catalogue);
}

std::shared_ptr<const WebService::Prices> WebService::pricesFor(const PriceVersion &version,
                                                                qint64 validUntil) const
{
    auto next = std::make_shared<Prices>(Prices {version, CatalogueIndex(version), {}, 0, 0});
    next->catalogue = catalogueWithPictures(version, config);
    next->validUntil = validUntil;
    static std::atomic<quint64> generations {0}; // across services: a thread may serve several
    next->generation = ++generations;
    return next;
}

void WebService::setPrices(const PriceVersion &version)
{
    const std::lock_guard<std::mutex> lock(pricesMutex);
    versions.clear();
    current = pricesFor(version, 0);
}

void WebService::setVersions(const QVector<PriceVersion> &list)
{
    const std::lock_guard<std::mutex> lock(pricesMutex);
    versions = list;
    current.reset(); // the next request finds the one in force
}

void WebService::setClock(std::function<qint64()> msecsSinceEpoch)
{
    const std::lock_guard<std::mutex> lock(pricesMutex);
    clock = std::move(msecsSinceEpoch);
    if (!versions.isEmpty())
        current.reset();
}

std::shared_ptr<const WebService::Prices> WebService::prices() const
{
    const std::lock_guard<std::mutex> lock(pricesMutex);
    if (versions.isEmpty())
        return current;
    const qint64 now = clock ? clock() : priceClockMSecs();
    if (current && now < current->validUntil)
        return current;
    PriceVersionList list;
    for (const PriceVersion &version : qAsConst(versions))
        list.put(version);
    const QDateTime moment = QDateTime::fromMSecsSinceEpoch(now);
    const PriceVersion &inForce = list.inForce(moment.date());
    const qint64 midnight = QDateTime(moment.date().addDays(1), QTime(0, 0)).toMSecsSinceEpoch();
    if (current && current->version.info.number == inForce.info.number) {
        auto same = std::make_shared<Prices>(*current);
        same->validUntil = midnight;
        current = same;
    } else {
        current = pricesFor(inForce, midnight);
    }
    return current;
}

FootTerms WebService::footTerms() const
{
    QDate day; // the clock is read only when the rate changes from a day
    if (config.tax.changeFrom.isValid()) {
        const std::lock_guard<std::mutex> lock(pricesMutex);
        day = QDateTime::fromMSecsSinceEpoch(clock ? clock() : priceClockMSecs()).date();
    }
    return FootTerms::on(config.tax, day, 0);
}

QString WebService::clientAddress(const QString &peer, const QByteArray &forwardedFor) const
{
    if (forwardedFor.isEmpty() || !config.trustedProxies.contains(peer))
        return peer;
    // The proxy appends the address it saw last; what comes before is the client's to write.
    const QList<QByteArray> hops = forwardedFor.split(',');
    const QHostAddress address(QString::fromLatin1(hops.last().trimmed()));
    return address.isNull() ? peer : address.toString();
}

bool WebService::originAllowed(const QByteArray &origin) const
{
    return !origin.isEmpty() && config.origins.contains(QString::fromUtf8(origin));
}

bool WebService::allowed(const QByteArray &path, const QString &client)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (path == RequestsPath)
        return requestLimit.allow(client, now);
    if (path == QuotePath)
        return quoteLimit.allow(client, now);
    return true;
}

WebAnswer WebService::answer(const QByteArray &method, const QByteArray &path,
                             const QByteArray &body, const QString &)
{
    const bool get = method == "GET" || method == "HEAD";
    if (method == "OPTIONS")
        return {204, "text/plain", QByteArray()};
    if (path == "/healthz" && get) {
        const auto snapshot = prices();
        return {200, "application/json; charset=utf-8",
                json({{QStringLiteral("version"), snapshot->version.info.number},
                      {QStringLiteral("database"), databaseUp.load()}})};
    }
    if (path == "/api/v1/catalogue" && get)
        return {200, "application/json; charset=utf-8", prices()->catalogue};
    if (path == QuotePath && method == "POST")
        return cachedQuote(body);
    if (path == RequestsPath && method == "POST")
        return requestNow(body);
    if ((path == "/" || path == "/index.html") && get)
        return {200, "text/html; charset=utf-8", pageHtml};
    if (path == "/page.js" && get)
        return {200, "text/javascript; charset=utf-8", pageScript};
    if (path == "/favicon.ico" && get)
        return {204, "image/x-icon", QByteArray()};
    if (path == "/page.css" && get)
        return {200, "text/css; charset=utf-8", pageStyle};
    if (get && path.startsWith("/pictures/")) {
        const auto picture = pictures.constFind(path);
        if (picture != pictures.constEnd())
            return *picture;
    }
    if (path == "/healthz" || path.startsWith("/api/v1/") || path == "/")
        return errorAnswer(405,
                           QStringLiteral("Метод ") + QString::fromLatin1(method)
                               + QStringLiteral(" здесь не принимается"));
    return errorAnswer(404, QStringLiteral("Адрес не найден"));
}

WebAnswer WebService::quote(const QByteArray &body, const Prices *snapshot, const FootTerms &terms)
{
    // The page's plain body is read straight from its bytes; anything else by QJsonDocument,
    // whose refusals name what is wrong.
    JobRequest request;
    if (!readPlainJobRequest(body, &request)) {
        QJsonObject object;
        WebAnswer refusal;
        if (!parseBody(body, &object, &refusal))
            return refusal;
        request = JobRequest();
        jobRequestFrom(object, &request);
    }
    PricedJob job;
    QString error;
    if (!snapshot->index.jobFrom(request, &job, &error))
        return errorAnswer(400, error);
    const QVector<Quote> quotes = priceJob(job, snapshot->version.prices);
    QVector<OrderLine> lines;
    for (int i = 0; i < quotes.size(); ++i) {
        lines.append(quotes.at(i).line);
        const QString problem
            = lineAmountProblem(lines.last(), QStringLiteral("Строка ") + QString::number(i + 1));
        if (!problem.isEmpty())
            return errorAnswer(400, problem);
    }
    const QString problem = totalAmountProblem(lines, terms);
    if (!problem.isEmpty())
        return errorAnswer(400, problem);
    return {200, "application/json; charset=utf-8",
            quoteAnswer(quotes, snapshot->version.info.number, terms)};
}

WebAnswer WebService::cachedQuote(const QByteArray &body)
{
    // The answer is the body's and the version's alone: the page asks the same few jobs again
    // and again as people click back and forth. Each thread keeps its own, so no lock is shared.
    struct Cache
    {
        quint64 generation = 0;
        TaxRule tax; // a change of the tax's rate from a day tells the answers are stale too
        QHash<QByteArray, QByteArray> answers;
    };
    static thread_local Cache cache;
    constexpr int Largest = 1024;
    const auto snapshot = prices();
    const FootTerms terms = footTerms();
    if (cache.generation != snapshot->generation || !(cache.tax == terms.tax)) {
        cache.answers.clear();
        cache.generation = snapshot->generation;
        cache.tax = terms.tax;
    }
    const auto known = cache.answers.constFind(body);
    if (known != cache.answers.constEnd())
        return {200, "application/json; charset=utf-8", *known};
    WebAnswer fresh = quote(body, snapshot.get(), terms);
    if (fresh.status == 200) {
        if (cache.answers.size() >= Largest)
            cache.answers.clear();
        cache.answers.insert(body, fresh.body);
    }
    return fresh;
}

bool WebService::readRequest(const QByteArray &body, WebRequest *out, WebAnswer *refusalOut)
{
    WebRequest &request = *out;
    WebAnswer &refusal = *refusalOut;
    QJsonObject object;
    if (!parseBody(body, &object, &refusal))
        return false;
    for (auto it = object.begin(); it != object.end(); ++it) {
        static const QStringList known = {QStringLiteral("contact"), QStringLiteral("jobs"),
                                          QStringLiteral("comment"), QStringLiteral("due")};
        if (!known.contains(it.key()))
            return refuse(refusalOut, 400,
                          QStringLiteral("Поле «") + it.key()
                              + QStringLiteral("»: неизвестное поле"));
    }
    const QJsonValue contact = object.value(QStringLiteral("contact"));
    if (!contact.isObject())
        return refuse(refusalOut, 400, QStringLiteral("Поле «contact»: ожидается объект"));
    const QJsonObject person = contact.toObject();
    if (!text(person, "name", 200, &request.name, QStringLiteral("contact.name"), &refusal)
        || !text(person, "phone", 40, &request.phone, QStringLiteral("contact.phone"), &refusal)
        || !text(person, "email", 200, &request.email, QStringLiteral("contact.email"), &refusal)
        || !text(object, "comment", 2000, &request.comment, QStringLiteral("comment"), &refusal))
        return false;
    if (request.name.isEmpty())
        return refuse(refusalOut, 400, QStringLiteral("Поле «contact.name»: укажите имя"));
    if (request.phone.isEmpty() && request.email.isEmpty())
        return refuse(refusalOut, 400,
                      QStringLiteral("Поле «contact»: укажите телефон или e-mail"));
    if (!request.phone.isEmpty() && !phoneValid(request.phone))
        return refuse(refusalOut, 400,
                      QStringLiteral("Поле «contact.phone»: телефон из 10–15 цифр"));
    if (!request.email.isEmpty() && !emailPattern().match(request.email).hasMatch())
        return refuse(refusalOut, 400,
                      QStringLiteral("Поле «contact.email»: адрес вида имя@домен"));
    // The rule the shop's mail is sent by: an address it would give up on is refused here.
    if (!request.email.isEmpty()) {
        const QString why = mailAddressProblem(request.email);
        if (!why.isEmpty())
            return refuse(refusalOut, 400, QStringLiteral("Поле «contact.email»: ") + why);
    }
    QString due;
    if (!text(object, "due", 10, &due, QStringLiteral("due"), &refusal))
        return false;
    if (!due.isEmpty()) {
        request.due = QDate::fromString(due, QStringLiteral("yyyy-MM-dd"));
        if (!request.due.isValid())
            return refuse(refusalOut, 400, QStringLiteral("Поле «due»: дата вида ГГГГ-ММ-ДД"));
        if (request.due < priceClockToday())
            return refuse(refusalOut, 400, QStringLiteral("Поле «due»: дата уже прошла"));
    }
    const QJsonValue jobs = object.value(QStringLiteral("jobs"));
    if (!jobs.isArray() || jobs.toArray().isEmpty() || jobs.toArray().size() > 20)
        return refuse(refusalOut, 400, QStringLiteral("Поле «jobs»: от 1 до 20 заказов"));
    const auto snapshot = prices();
    request.priceVersion = snapshot->version.info.number;
    int index = 0;
    for (const QJsonValue &item : jobs.toArray()) {
        ++index;
        PricedJob job;
        QString error;
        if (!snapshot->index.jobFrom(item, &job, &error))
            return refuse(refusalOut, 400,
                          QStringLiteral("Поле «jobs» (") + QString::number(index)
                              + QStringLiteral("): ") + error);
        const QString named = QStringLiteral("Задание ") + QString::number(index);
        const QVector<Quote> quotes = priceJob(job, snapshot->version.prices);
        // A line the list has no price for would be taken at its extras alone.
        for (const Quote &quote : quotes) {
            if (quote.line.missingPrice)
                return refuse(refusalOut, 400,
                              named + QStringLiteral(": цены на это сочетание нет"));
        }
        for (int i = 0; i < quotes.size(); ++i) {
            const QString problem = lineAmountProblem(
                quotes.at(i).line, named + QStringLiteral(", строка ") + QString::number(i + 1));
            if (!problem.isEmpty())
                return refuse(refusalOut, 400, problem);
        }
        request.jobs.append(job);
        for (const Quote &quote : quotes) {
            OrderLine line = quote.orderLine();
            // A sample's price is not the shop's: the line comes unpriced, for the counter to
            // price when it confirms the request.
            if (line.samplePrice) {
                line.unitPrice.clear();
                line.setNumbers(quote.quantity, 0.0);
                line.missingPrice = true;
            }
            request.lines.append(line);
        }
    }
    const QString problem = totalAmountProblem(request.lines, footTerms(), &request.totalKopecks);
    if (!problem.isEmpty())
        return refuse(refusalOut, 400, problem);
    return true;
}

void WebService::takeRequest(const WebRequest &request, std::function<void(const WebAnswer &)> done)
{
    if (!requestTaker) {
        done(errorAnswer(503, QStringLiteral("Приём заявок сейчас не работает")));
        return;
    }
    requestTaker(request, [done](qint64 number, const QString &) {
        done(number > 0
                 ? WebAnswer {200, "application/json; charset=utf-8",
                              json({{QStringLiteral("number"), number}})}
                 : errorAnswer(503, QStringLiteral("Заявка не сохранена, попробуйте позже")));
    });
}

WebAnswer WebService::requestNow(const QByteArray &body)
{
    WebRequest request;
    WebAnswer refusal;
    if (!readRequest(body, &request, &refusal))
        return refusal;
    auto promise = std::make_shared<std::promise<WebAnswer>>();
    std::future<WebAnswer> future = promise->get_future();
    takeRequest(request, [promise](const WebAnswer &answer) { promise->set_value(answer); });
    if (future.wait_for(std::chrono::seconds(10)) != std::future_status::ready)
        return errorAnswer(503, QStringLiteral("Заявка не сохранена, попробуйте позже"));
    return future.get();
}
