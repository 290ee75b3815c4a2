// The quoting service over real sockets: bad input refused with the field named, limits kept,
// idle and slow clients holding nobody up, quotes equal to the core's lines, requests stored.
#include "prices/price_versions.h"
#include "pricing/catalogue.h"
#include "storage/connection.h"
#include "storage/price_store.h"
#include "storage/settings_file.h"
#include "storage/web_requests.h"
#include "tests/pg_cluster.h"
#include "tests/web_client.h"
#include "web/request_book.h"
#include "web/request_mail.h"
#include "web/web_service.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QProcess>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

#include <thread>

using namespace web;

namespace {

const QByteArray Street = "{\"page\": \"street\", \"options\": [\"radioButton_11\", "
                          "\"radioButton_112\"], \"fields\": {\"lineEditWidthStreet\": 1000, "
                          "\"lineEditHeightStreet\": 2000}}";

// Another client's address on the loopback.
const quint32 Elsewhere = 0x7f000002;

QByteArray requestBody(const QByteArray &contact, const QByteArray &rest = QByteArray())
{
    return "{\"contact\": " + contact + ", \"jobs\": [" + Street + "]" + rest + "}";
}

// Film at 360 dpi, width × height mm, so many pieces.
QByteArray film(int width, int height, int pieces)
{
    return "{\"page\": \"street\", \"options\": [\"radioButton_11\", \"radioButton_112\"], "
           "\"fields\": {\"lineEditWidthStreet\": "
        + QByteArray::number(width) + ", \"lineEditHeightStreet\": " + QByteArray::number(height)
        + ", \"lineEdit_14\": " + QByteArray::number(pieces) + "}}";
}

const QString PastTheBound = QStringLiteral(
    " больше наибольшей возможной (99\u00a0999\u00a0999\u00a0999,99 ₽)");

} // namespace

class WebTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<WebService> service;
    quint16 port = 0;

    // The service as a process on the database, its limits off; its port, 0 when it did not start.
    static quint16 startProgram(QProcess *program, const QTemporaryDir &dir,
                                const QString &database)
    {
        QFile ini(dir.filePath(QStringLiteral("web.ini")));
        if (!ini.open(QIODevice::WriteOnly))
            return 0;
        ini.write("[web]\nquotePerMinute=0\nrequestsPerMinute=0\n");
        ini.close();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           dir.filePath(QStringLiteral("config")));
        program->setProcessEnvironment(environment);
        program->setProcessChannelMode(QProcess::MergedChannels);
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost))
            return 0;
        const quint16 free = probe.serverPort();
        probe.close();
        program->start(QCoreApplication::applicationDirPath() + QStringLiteral("/../printcalc-web"),
                       {QStringLiteral("--listen"), QStringLiteral("127.0.0.1:%1").arg(free),
                        QStringLiteral("--database"), database, QStringLiteral("--config"),
                        ini.fileName()});
        return program->waitForStarted() ? free : 0;
    }

    void startService(WebSettings settings = WebSettings())
    {
        service = std::make_unique<WebService>(settings);
        // The built-in list taken as the shop's own: the quotes below have sums.
        service->setPrices(confirmedVersion(builtInVersion(), builtInVersion().info));
        QString error;
        QVERIFY2(service->start(QHostAddress::LocalHost, 0, &error), qPrintable(error));
        port = service->port();
    }

private slots:
    // The customer's acknowledgement, as the mail reads it: the request's number, each line in
    // words with its sum to the kopeck, the tax, the wish and the shop's contacts whole.
    void acknowledgementWording()
    {
        WebRequestRecord request;
        request.due = QDate(2026, 12, 14);
        for (const auto &[text, quantity, price] :
             {std::tuple {"Визитки 90×50", 100, 12.5}, std::tuple {"Листовки", 2, 150.5}}) {
            OrderLine line;
            line.description = QString::fromUtf8(text);
            line.quantity = QString::number(quantity);
            line.setNumbers(quantity, price);
            request.lines.append(line);
        }
        request.totalKopecks = 186120;
        WebSettings shop;
        shop.shopName = QStringLiteral("Типография, ООО «Лист»");
        shop.shopAddress = QStringLiteral("г. Энск, ул. Печатная, д. 1");
        shop.shopPhone = QStringLiteral("+7 900 000-00-00");
        shop.shopHours = QStringLiteral("пн–пт 9–18, сб 10–15");
        const MailText mail = requestAcknowledgement(42, request, shop);
        QCOMPARE(mail.subject, QStringLiteral("Заявка № З-42 получена"));
        QCOMPARE(mail.body.join(QLatin1Char('\n')).replace(QChar::Nbsp, QLatin1Char(' ')),
                 QStringLiteral("Здравствуйте!\n\nВаша заявка № З-42 получена. Мы свяжемся с "
                                "вами, чтобы подтвердить заказ; цены окончательны после "
                                "подтверждения.\n\n"
                                "1. Визитки 90×50 — 100 шт. — 1 250,00 ₽\n"
                                "2. Листовки — 2 шт. — 301,00 ₽\n"
                                "Налог: 310,20 ₽\nИтого: 1 861,20 ₽\n"
                                "Желаемая дата: 14.12.2026\n\n"
                                "Адрес: г. Энск, ул. Печатная, д. 1\n"
                                "Телефон: +7 900 000-00-00\nЧасы работы: пн–пт 9–18, сб 10–15\n\n"
                                "Типография, ООО «Лист»"));
    }

    void initTestCase()
    {
        // A thousand idle clients and the service's end of each in one process.
        rlimit limit {};
        getrlimit(RLIMIT_NOFILE, &limit);
        limit.rlim_cur = std::min<rlim_t>(limit.rlim_max, 8192);
        setrlimit(RLIMIT_NOFILE, &limit);
    }
    void init() { startService(); }
    void cleanup() { service.reset(); }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error"); // how the message begins

        const QByteArray quote = "/api/v1/quote";
        const QByteArray requests = "/api/v1/requests";
        QTest::newRow("malformed JSON")
            << quote << QByteArray("{\"page\": ") << 400 << "Тело запроса: ошибка JSON в позиции";
        QTest::newRow("not an object")
            << quote << QByteArray("[]") << 400 << "Тело запроса: ожидается объект JSON";
        QTest::newRow("deep nesting") << quote << QByteArray(5000, '[') + QByteArray(5000, ']')
                                      << 400 << "Тело запроса: слишком глубокая вложенность";
        QTest::newRow("non-UTF-8 bytes") << quote << QByteArray("{\"page\": \"\xff\xfe\"}") << 400
                                         << "Тело запроса: текст не в кодировке UTF-8";
        QTest::newRow("page a number")
            << quote << QByteArray("{\"page\": 1}") << 400 << "Поле «page»: ожидается строка";
        QTest::newRow("unknown option")
            << quote << QByteArray("{\"page\": \"souvenir\", \"options\": [\"radioButton_11\"]}")
            << 400 << "Поле «options»: неизвестный вариант «radioButton_11» на странице «Печать»";
        QTest::newRow("quantity as text")
            << quote << QByteArray("{\"page\": \"souvenir\", \"fields\": {\"lineEdit_16\": \"7\"}}")
            << 400 << "Поле «Кол-во» (lineEdit_16): ожидается целое число от 0 до 100500";
        QTest::newRow("figures from the client are no job")
            << quote << QByteArray("{\"page\": \"souvenir\", \"price\": 1}") << 400
            << "Поле «price»: неизвестное поле";
        QTest::newRow("request without contact") << requests << QByteArray("{\"jobs\": []}") << 400
                                                 << "Поле «contact»: ожидается объект";
        QTest::newRow("request without phone or e-mail")
            << requests << requestBody("{\"name\": \"Иван\"}") << 400
            << "Поле «contact»: укажите телефон или e-mail";
        QTest::newRow("request with a wrong phone")
            << requests << requestBody("{\"name\": \"Иван\", \"phone\": \"12-34\"}") << 400
            << "Поле «contact.phone»: телефон из 10–15 цифр";
        QTest::newRow("request with a wrong e-mail")
            << requests << requestBody("{\"name\": \"Иван\", \"email\": \"ivan@\"}") << 400
            << "Поле «contact.email»: адрес вида имя@домен";
        QTest::newRow("request with a name as a number")
            << requests << requestBody("{\"name\": 5, \"email\": \"a@b.ru\"}") << 400
            << "Поле «contact.name»: ожидается строка";
        QTest::newRow("request to an address the mail would give up on")
            << requests << requestBody("{\"name\": \"Пётр\", \"email\": \"пётр@пример.рф\"}") << 400
            << "Поле «contact.email»: адрес «пётр@пример.рф»: имя до @ пишется латиницей, на "
               "такой адрес письмо не отправить";
        QTest::newRow("request to a quoted name")
            << requests << requestBody("{\"name\": \"Аб\", \"email\": \"\\\"ab\\\"@example.ru\"}")
            << 400 << "Поле «contact.email»: адрес «\"ab\"@example.ru» не похож на адрес";
        QTest::newRow("request with a NUL in the name")
            << requests << requestBody("{\"name\": \"Ив\\u0000ан\", \"email\": \"a@b.ru\"}") << 400
            << "Поле «contact.name»: недопустимый символ U+0000";
        QTest::newRow("request with a past due date")
            << requests
            << requestBody("{\"name\": \"Иван\", \"email\": \"a@b.ru\"}",
                           ", \"due\": \"2001-01-01\"")
            << 400 << "Поле «due»: дата уже прошла";
        QTest::newRow("request with a wrong job")
            << requests
            << QByteArray("{\"contact\": {\"name\": \"Иван\", \"email\": \"a@b.ru\"}, \"jobs\": "
                          "[{\"page\": \"x\"}]}")
            << 400 << "Поле «jobs» (1): Поле «page»: неизвестная страница «x»";
        QTest::newRow("request taken nowhere")
            << requests << requestBody("{\"name\": \"Иван\", \"email\": \"a@b.ru\"}") << 503
            << "Приём заявок сейчас не работает";
        QTest::newRow("a quote past the largest sum")
            << quote << film(100500, 100500, 100500) << 400
            << QStringLiteral("Строка 1 «Другой; Другой; Самоклеющаяся плёнка; 360 dpi; »: сумма")
                + PastTheBound;
        QTest::newRow("a quote within, past it with the tax on top")
            << quote << film(1800, 2000, 100500) << 400
            << QStringLiteral("Всего с налогом") + PastTheBound;
        QTest::newRow("unknown address")
            << QByteArray("/api/v2/quote") << QByteArray("{}") << 404 << "Адрес не найден";
    }

    void refusals()
    {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QString, error);
        const Reply reply = post(port, path, body);
        QCOMPARE(reply.status, status);
        QVERIFY2(reply.error().startsWith(error), qPrintable(reply.error()));
        QVERIFY2(reply.headers.contains("application/json"), reply.headers.constData());
    }

    // What a page elsewhere can send without a preflight is refused before anything is read.
    void crossSite_data()
    {
        QTest::addColumn<QByteArray>("headers");
        QTest::addColumn<int>("status");
        const QByteArray json = "Content-Type: application/json\r\n";
        QTest::newRow("a plain form") << QByteArray("Content-Type: text/plain\r\n") << 415;
        QTest::newRow("a form's fields")
            << QByteArray("Content-Type: application/x-www-form-urlencoded\r\n") << 415;
        QTest::newRow("no type") << QByteArray() << 415;
        QTest::newRow("another site") << json + "Origin: http://evil.example\r\n" << 403;
        QTest::newRow("another port of the host") << json + "Origin: http://x:1\r\n" << 403;
        QTest::newRow("the service's own page") << json + "Origin: http://x\r\n" << 400;
        QTest::newRow("a listed site") << json + "Origin: https://shop.example\r\n" << 400;
        QTest::newRow("json with its charset")
            << QByteArray("Content-Type: Application/JSON; charset=utf-8\r\n") << 400;
    }

    void crossSite()
    {
        QFETCH(QByteArray, headers);
        QFETCH(int, status);
        WebSettings settings;
        settings.origins = QStringList {QStringLiteral("https://shop.example")};
        startService(settings);
        const int fd = connectTo(port);
        QVERIFY(fd >= 0);
        const QByteArray body = "{}";
        QVERIFY(sendAll(fd,
                        "POST /api/v1/requests HTTP/1.1\r\nHost: x\r\nConnection: close\r\n"
                            + headers + "Content-Length: " + QByteArray::number(body.size())
                            + "\r\n\r\n" + body));
        const Reply reply = readReply(fd);
        ::close(fd);
        QCOMPARE(reply.status, status);
    }

    void hugeBodies_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("sent"); // false: only announced
        QTest::newRow("just over 64 KiB, read and dropped") << qint64(65537) << true;
        QTest::newRow("900 KiB, read and dropped") << qint64(900 * 1024) << true;
        QTest::newRow("2 MiB announced, refused before the body") << qint64(2 << 20) << false;
    }

    void hugeBodies()
    {
        QFETCH(qint64, size);
        QFETCH(bool, sent);
        const int fd = connectTo(port);
        QVERIFY(fd >= 0);
        QByteArray head = "POST /api/v1/quote HTTP/1.1\r\nHost: x\r\nConnection: close\r\n"
                          "Content-Type: application/json\r\nContent-Length: "
            + QByteArray::number(size) + "\r\n\r\n";
        QVERIFY(sendAll(fd, head));
        if (sent)
            QVERIFY2(sendAll(fd, QByteArray(int(size), ' ')), "the body was not taken whole");
        const Reply reply = readReply(fd);
        ::close(fd);
        QCOMPARE(reply.status, 413);
        QCOMPARE(reply.error(), QStringLiteral("Тело запроса больше 65536 байт"));
        // The service still answers.
        QCOMPARE(get(port, "/healthz").status, 200);
    }

    void healthAndCatalogue()
    {
        const Reply health = get(port, "/healthz");
        QCOMPARE(health.status, 200);
        QCOMPARE(health.body, QByteArray("{\"database\":false,\"version\":0}"));
        service->setDatabaseAnswers(true);
        QCOMPARE(get(port, "/healthz").body, QByteArray("{\"database\":true,\"version\":0}"));
        const Reply catalogue = get(port, "/api/v1/catalogue");
        QCOMPARE(catalogue.status, 200);
        QCOMPARE(catalogue.json().value(QStringLiteral("pages")).toArray().size(), 5);
        const Reply page = get(port, "/");
        QCOMPARE(page.status, 200);
        QVERIFY(page.body.contains("<html lang=\"ru\">"));
        QVERIFY(get(port, "/page.js").body.contains("api/v1/quote"));
    }

    void souvenirPictures_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("second");
        QTest::newRow("mugs") << "radioButton_68" << 6 << "/pictures/Kruzhki/2.gif";
        QTest::newRow("pens") << "radioButton_79" << 9 << "/pictures/Ruchki/2.jpg";
        QTest::newRow("t-shirts") << "radioButton_80" << 5 << "/pictures/Tekstil/2.jpg";
        QTest::newRow("caps") << "radioButton_81" << 3 << "/pictures/Beisbolki/2.jpg";
        QTest::newRow("puzzle") << "radioButton_82" << 4 << "/pictures/Pazzl/2.jpg";
        QTest::newRow("coasters") << "radioButton_86" << 3 << "/pictures/Kosteri/2.jpg";
        QTest::newRow("discs") << "radioButton_84" << 0 << "";
        QTest::newRow("glossy paper") << "radioButton_44" << 0 << "";
    }

    // The souvenir page's materials carry their gallery as URLs, each answered with the image.
    void souvenirPictures()
    {
        QFETCH(QString, option);
        QFETCH(int, count);
        QFETCH(QString, second);
        QJsonArray urls;
        bool found = false;
        const QJsonArray pages
            = get(port, "/api/v1/catalogue").json().value(QStringLiteral("pages")).toArray();
        for (const QJsonValue &page : pages) {
            if (page.toObject().value(QStringLiteral("id")).toString() != QLatin1String("souvenir"))
                continue;
            for (const QJsonValue &group :
                 page.toObject().value(QStringLiteral("groups")).toArray())
                for (const QJsonValue &item :
                     group.toObject().value(QStringLiteral("options")).toArray())
                    if (item.toObject().value(QStringLiteral("id")).toString() == option) {
                        found = true;
                        urls = item.toObject().value(QStringLiteral("pictures")).toArray();
                    }
        }
        QVERIFY(found);
        QCOMPARE(urls.size(), count);
        if (count == 0)
            return;
        QCOMPARE(urls.at(1).toString(), second);
        for (const QJsonValue &url : urls) {
            const QByteArray path = url.toString().toUtf8();
            const Reply reply = get(port, path);
            QCOMPARE(reply.status, 200);
            const bool gif = path.endsWith(".gif");
            QVERIFY2(reply.headers.contains(gif ? "Content-Type: image/gif"
                                                : "Content-Type: image/jpeg"),
                     reply.headers.constData());
            QVERIFY2(reply.body.startsWith(gif ? QByteArray("GIF8") : QByteArray("\xFF\xD8\xFF")),
                     path.constData());
            QVERIFY(reply.body.size() > 1000);
            QVERIFY2(reply.headers.contains("Cache-Control: public, max-age=86400"),
                     reply.headers.constData());
            const int at = reply.headers.indexOf("ETag: ");
            QVERIFY(at > 0);
            const QByteArray etag
                = reply.headers.mid(at + 6, reply.headers.indexOf('\r', at) - at - 6);
            const Reply again = get(port, path, "If-None-Match: " + etag + "\r\n");
            QCOMPARE(again.status, 304);
            QVERIFY(again.body.isEmpty());
            QCOMPARE(get(port, path, "If-None-Match: \"other\"\r\n").status, 200);
        }
    }

    void unknownPicturesAreNotFound_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::newRow("no such number") << QByteArray("/pictures/Kruzhki/7.jpg");
        QTest::newRow("wrong extension") << QByteArray("/pictures/Kruzhki/2.jpg");
        QTest::newRow("a fold picture") << QByteArray("/pictures/Falc/1.png");
        QTest::newRow("out of the folder") << QByteArray("/pictures/../web/index.html");
    }

    void unknownPicturesAreNotFound()
    {
        QFETCH(QByteArray, path);
        const Reply reply = get(port, path);
        QCOMPARE(reply.status, 404);
        QCOMPARE(reply.error(), QStringLiteral("Адрес не найден"));
    }

    // A version that comes into force at midnight prices the first request after it, the same
    // job's remembered answer included; the catalogue and /healthz name it.
    void switchesAtMidnight()
    {
        const auto version = [](int number, const QDate &from, double price) {
            PriceVersionInfo info;
            info.number = number;
            info.from = from;
            PriceVersion made = changedVersion(builtInVersion(),
                                               {{QStringLiteral("121111109"), price}}, {}, info);
            made.info.number = number;
            made.prices = PriceTable(made.prices.entries(), number);
            return made;
        };
        std::atomic<qint64> now {
            QDateTime(QDate(2026, 3, 1), QTime(23, 59, 59, 999)).toMSecsSinceEpoch()};
        service->setClock([&now] { return now.load(); });
        service->setVersions({builtInVersion(), version(1, QDate(2026, 2, 1), 300),
                              version(2, QDate(2026, 3, 2), 400)});
        const auto unitPrice = [this]() -> QString {
            const QJsonObject answer = post(port, "/api/v1/quote", Street).json();
            return QString::number(answer.value(QStringLiteral("version")).toInt())
                + QLatin1Char(' ')
                + answer.value(QStringLiteral("lines"))
                      .toArray()
                      .at(0)
                      .toObject()
                      .value(QStringLiteral("unitPrice"))
                      .toString();
        };
        QCOMPARE(unitPrice(), QStringLiteral("1 600000.00"));
        QCOMPARE(unitPrice(), QStringLiteral("1 600000.00"));
        QCOMPARE(get(port, "/healthz").body, QByteArray("{\"database\":false,\"version\":1}"));
        now = QDateTime(QDate(2026, 3, 2), QTime(0, 0)).toMSecsSinceEpoch();
        QCOMPARE(unitPrice(), QStringLiteral("2 800000.00"));
        QCOMPARE(get(port, "/healthz").body, QByteArray("{\"database\":false,\"version\":2}"));
        QCOMPARE(get(port, "/api/v1/catalogue").json().value(QStringLiteral("version")).toInt(), 2);
        // A version loaded for today takes over at once, without waiting for a midnight.
        service->setVersions({builtInVersion(), version(1, QDate(2026, 2, 1), 300),
                              version(2, QDate(2026, 3, 2), 400),
                              version(3, QDate(2026, 3, 2), 450)});
        QCOMPARE(unitPrice(), QStringLiteral("3 900000.00"));
    }

    void corsOnlyForListedOrigins()
    {
        WebSettings settings;
        settings.origins = QStringList {QStringLiteral("https://shop.example")};
        startService(settings);
        const Reply listed = get(port, "/api/v1/catalogue", "Origin: https://shop.example\r\n");
        QVERIFY2(listed.headers.contains("Access-Control-Allow-Origin: https://shop.example"),
                 listed.headers.constData());
        const Reply other = get(port, "/api/v1/catalogue", "Origin: https://evil.example\r\n");
        QCOMPARE(other.status, 200);
        QVERIFY2(!other.headers.contains("Access-Control-Allow-Origin"), other.headers.constData());
        const Reply preflight = exchange(
            port,
            request("OPTIONS", "/api/v1/quote", QByteArray(),
                    "Origin: https://shop.example\r\nAccess-Control-Request-Method: POST\r\n"));
        QCOMPARE(preflight.status, 204);
        QVERIFY(preflight.headers.contains("Access-Control-Allow-Methods: GET, POST, OPTIONS"));
    }

    // Every option of every page alone, quoted over HTTP, answers the core's lines.
    void quotesAreTheCoreLines()
    {
        int compared = 0;
        for (const CataloguePage &page : catalogue()) {
            for (const CatalogueGroup &group : page.groups) {
                for (const CatalogueOption &option : group.options) {
                    const QJsonObject job {
                        {QStringLiteral("page"), pageName(page.page)},
                        {QStringLiteral("options"), QJsonArray {option.id}},
                        {QStringLiteral("fields"),
                         QJsonObject {{page.fields.first().id, 300}, {page.fields.at(1).id, 200}}}};
                    PricedJob priced;
                    QString error;
                    QVERIFY(jobFromRequest(job, builtInVersion(), &priced, &error));
                    const QJsonObject expected = quoteJson(
                        priceJob(priced,
                                 confirmedVersion(builtInVersion(), builtInVersion().info).prices),
                        0);
                    const Reply reply = post(port, "/api/v1/quote",
                                             QJsonDocument(job).toJson(QJsonDocument::Compact));
                    QCOMPARE(reply.status, 200);
                    QCOMPARE(reply.json(), expected);
                    // To the byte: the answer is written without Qt's JSON classes.
                    QCOMPARE(reply.body, QJsonDocument(expected).toJson(QJsonDocument::Compact));
                    ++compared;
                }
            }
        }
        QCOMPARE(compared, 257);
    }

    void floodIsLimitedPerAddress()
    {
        WebSettings settings;
        settings.requestsPerMinute = 3;
        settings.quotePerMinute = 5;
        settings.trustedProxies = QStringList {QStringLiteral("127.0.0.1")};
        startService(settings);
        QList<int> statuses;
        for (int i = 0; i < 7; ++i)
            statuses << post(port, "/api/v1/quote", Street).status;
        QCOMPARE(statuses, QList<int>({200, 200, 200, 200, 200, 429, 429}));
        // Behind the proxy each client has its own count; the quotes' count is not the requests'.
        QCOMPARE(post(port, "/api/v1/quote", Street, "X-Forwarded-For: 203.0.113.7\r\n").status,
                 200);
        const QByteArray body = requestBody("{\"name\": \"Иван\", \"email\": \"a@b.ru\"}");
        statuses.clear();
        for (int i = 0; i < 4; ++i)
            statuses << post(port, "/api/v1/requests", body).status;
        QCOMPARE(statuses, QList<int>({503, 503, 503, 429}));
        const Reply limited = post(port, "/api/v1/requests", body);
        QCOMPARE(
            limited.error(),
            QStringLiteral("Слишком много запросов с адреса 127.0.0.1, повторите через минуту"));
        // A forwarded address from a peer that is no proxy counts for the peer.
        WebSettings open;
        open.requestsPerMinute = 1;
        startService(open);
        QCOMPARE(post(port, "/api/v1/requests", body, "X-Forwarded-For: 1.2.3.4\r\n").status, 503);
        QCOMPARE(post(port, "/api/v1/requests", body, "X-Forwarded-For: 5.6.7.8\r\n").status, 429);
    }

    void idleClientsHoldNobodyUp()
    {
        QVector<int> idle;
        for (int i = 0; i < 1000; ++i) {
            const int fd = connectTo(port);
            QVERIFY2(fd >= 0, qPrintable(QStringLiteral("connection %1 refused").arg(i)));
            idle << fd;
            if (i % 2)
                sendAll(fd, "POST /api/v1/quote HTTP/1.1\r\nHost: x\r\n"); // headers never end
        }
        QElapsedTimer timer;
        timer.start();
        // Another client, at another address.
        for (int i = 0; i < 20; ++i)
            QCOMPARE(
                exchange(port, request("POST", "/api/v1/quote", Street), 5000, Elsewhere).status,
                200);
        QVERIFY2(timer.elapsed() < 2000,
                 qPrintable(QStringLiteral("20 quotes took %1 ms").arg(timer.elapsed())));
        for (int fd : qAsConst(idle))
            ::close(fd);
    }

    // One address holds at most its share of the connections; the rest are closed at once, and
    // another address is answered. Behind a trusted proxy the share is not counted.
    void connectionsPerAddress_data()
    {
        QTest::addColumn<int>("perAddress");
        QTest::addColumn<bool>("behindProxy");
        QTest::addColumn<int>("kept"); // of 40 slow connections
        QTest::newRow("the default") << 32 << false << 32;
        QTest::newRow("a setting of 5") << 5 << false << 5;
        QTest::newRow("off") << 0 << false << 40;
        QTest::newRow("behind a proxy") << 5 << true << 40;
    }

    void connectionsPerAddress()
    {
        QFETCH(int, perAddress);
        QFETCH(bool, behindProxy);
        QFETCH(int, kept);
        WebSettings settings;
        settings.connectionsPerAddress = perAddress;
        if (behindProxy)
            settings.trustedProxies = QStringList {QStringLiteral("127.0.0.1")};
        startService(settings);
        QVector<int> slow;
        for (int i = 0; i < 40; ++i) {
            const int fd = connectTo(port);
            QVERIFY(fd >= 0);
            sendAll(fd, "GET /healthz HTTP/1.1\r\nHost: x\r\n"); // a header never ended
            slow << fd;
        }
        QTest::qWait(300);
        int open = 0;
        for (int fd : qAsConst(slow)) {
            char byte = 0;
            // Closed by the service: the read ends at once; still held: nothing to read yet.
            if (::recv(fd, &byte, 1, MSG_DONTWAIT) < 0 && errno == EAGAIN)
                ++open;
            ::close(fd);
        }
        QCOMPARE(open, kept);
    }

    // A head trickled a byte a second is cut HeaderWithinMs after its connection, or after the
    // answer before it on a connection kept open; another client is answered meanwhile.
    void headerTrickledIsCut()
    {
        startService();
        const struct
        {
            int answeredFirst; // ms in: a whole request answered, then the trickle (0: none)
            int cutFrom, cutBy; // ms from the connection
        } rows[] = {{0, 9500, 11500}, {3000, 12500, 14500}};
        std::vector<std::thread> clients;
        std::vector<qint64> cutAt(std::size(rows), -1);
        QElapsedTimer since;
        since.start();
        for (size_t i = 0; i < std::size(rows); ++i) {
            const int fd = connectTo(port);
            QVERIFY(fd >= 0);
            clients.emplace_back([&, i, fd] {
                if (rows[i].answeredFirst > 0) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(rows[i].answeredFirst));
                    sendAll(fd, "GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n");
                    readReply(fd);
                }
                const QByteArray head = "GET /healthz HTTP/1.1\r\nHost: x\r\nX-Slow: ";
                for (int b = 0; since.elapsed() < 20000; ++b) {
                    char byte = 0;
                    if (::send(fd, head.constData() + b % head.size(), 1, MSG_NOSIGNAL) != 1
                        || ::recv(fd, &byte, 1, MSG_DONTWAIT) == 0) {
                        cutAt[i] = since.elapsed();
                        break;
                    }
                    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
                }
                ::close(fd);
            });
        }
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(get(port, "/healthz").status, 200);
            QTest::qWait(1000);
        }
        for (std::thread &client : clients)
            client.join();
        for (size_t i = 0; i < std::size(rows); ++i)
            QVERIFY2(cutAt[i] >= rows[i].cutFrom && cutAt[i] <= rows[i].cutBy,
                     qPrintable(QStringLiteral("row %1 cut at %2 ms").arg(i).arg(cutAt[i])));
    }

    void slowClientHoldsNobodyUp()
    {
        WebSettings unlimited;
        unlimited.quotePerMinute = 0;
        startService(unlimited);
        const QByteArray raw = request("POST", "/api/v1/quote", Street);
        const int fd = connectTo(port);
        QVERIFY(fd >= 0);
        std::atomic<bool> done {false};
        std::thread slow([&] {
            // A byte a second for the first few, then the rest at once.
            for (int i = 0; i < 4; ++i) {
                sendAll(fd, raw.mid(i, 1));
                std::this_thread::sleep_for(std::chrono::seconds(1));
            }
            sendAll(fd, raw.mid(4));
            done = true;
        });
        int served = 0;
        QElapsedTimer timer;
        timer.start();
        while (!done) {
            QElapsedTimer one;
            one.start();
            QCOMPARE(post(port, "/api/v1/quote", Street).status, 200);
            QVERIFY2(one.elapsed() < 500, "a quote waited behind the slow client");
            ++served;
        }
        slow.join();
        QCOMPARE(readReply(fd).status, 200);
        ::close(fd);
        QVERIFY2(served > 20, qPrintable(QString::number(served)));
    }

    void requestsAreStored()
    {
        QTemporaryDir dir;
        const DatabaseUrl url
            = DatabaseUrl::sqliteFile(dir.filePath(QStringLiteral("shop.sqlite")));
        RequestBook book(url);
        service->setRequestTaker([&book](const WebRequest &request, RequestDone done) {
            book.take(request, std::move(done));
        });
        const QByteArray body = requestBody(
            "{\"name\": \"<b>Иван</b>\", \"phone\": \"+7 (900) 123-45-67\"}",
            ", \"comment\": \"'; DROP TABLE web_request; --\", \"due\": \"2099-12-31\"");
        QCOMPARE(post(port, "/api/v1/requests", body).body, QByteArray("{\"number\":1}"));
        QCOMPARE(post(port, "/api/v1/requests", body).body, QByteArray("{\"number\":2}"));
        QVERIFY(book.finish(3000));
        {
            QSqlDatabase db
                = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
            db.setDatabaseName(url.path);
            QVERIFY(db.open());
            QSqlQuery query(
                QStringLiteral("SELECT number, status, name, phone, email, comment, due, "
                               "total_kopecks, lines FROM web_request ORDER BY number"),
                db);
            QVERIFY(query.next());
            QCOMPARE(query.value(0).toLongLong(), 1);
            QCOMPARE(query.value(1).toInt(), 0);
            QCOMPARE(query.value(2).toString(), QStringLiteral("<b>Иван</b>"));
            QCOMPARE(query.value(3).toString(), QStringLiteral("+7 (900) 123-45-67"));
            QCOMPARE(query.value(4).toString(), QString());
            QCOMPARE(query.value(5).toString(), QStringLiteral("'; DROP TABLE web_request; --"));
            QCOMPARE(query.value(6).toString(), QStringLiteral("2099-12-31"));
            // 1000 × 2000 mm of film at 360 dpi: 540000 a piece.
            QCOMPARE(query.value(7).toLongLong(), 54000000);
            const QJsonArray lines = QJsonDocument::fromJson(query.value(8).toByteArray()).array();
            QCOMPARE(lines.size(), 1);
            QCOMPARE(lines.at(0)[QStringLiteral("keyText")].toString(),
                     QStringLiteral("значение=121111109"));
            QVERIFY(query.next());
            QVERIFY(!query.next());
        }
        QSqlDatabase::removeDatabase(QStringLiteral("check"));
    }

    // A price still the built-in sample's is never quoted nor kept: the quote says so and has no
    // sum, and the request keeps the line unpriced for the counter; the shop's price is quoted.
    void samplePricesNeverQuoted_data()
    {
        QTest::addColumn<bool>("shops");
        QTest::addColumn<QByteArray>("quoted"); // of the answer's line
        QTest::addColumn<qint64>("stored"); // the request's total
        QTest::newRow("the sample")
            << false << QByteArray("\"samplePrice\":true,\"sum\":null") << qint64(0);
        QTest::newRow("the shop's")
            << true << QByteArray("\"samplePrice\":false,\"sum\":\"540000.00\"")
            << qint64(54000000);
    }
    void samplePricesNeverQuoted()
    {
        QFETCH(bool, shops);
        QFETCH(QByteArray, quoted);
        QFETCH(qint64, stored);
        if (!shops)
            service->setPrices(builtInVersion());
        const Reply quote = post(port, "/api/v1/quote", Street);
        QCOMPARE(quote.status, 200);
        QVERIFY2(quote.body.contains(quoted), quote.body.constData());
        QTemporaryDir dir;
        const DatabaseUrl url = DatabaseUrl::sqliteFile(dir.filePath(QStringLiteral("s.sqlite")));
        RequestBook book(url);
        service->setRequestTaker([&book](const WebRequest &request, RequestDone done) {
            book.take(request, std::move(done));
        });
        QCOMPARE(post(port, "/api/v1/requests",
                      requestBody("{\"name\": \"Иван\", \"phone\": "
                                  "\"+7 900 123-45-67\"}"))
                     .body,
                 QByteArray("{\"number\":1}"));
        QVERIFY(book.finish(3000));
        Connection connection;
        QVERIFY(connection.open(url, QStringLiteral("t")));
        WebRequestRecord request;
        QVERIFY(loadWebRequest(connection, 1, &request));
        QCOMPARE(request.totalKopecks, stored);
        QCOMPARE(request.lines.first().missingPrice, !shops);
    }

    // A request the shop could not invoice as quoted is refused before the database sees it.
    void requestsRefusedUnstored_data()
    {
        QTest::addColumn<QByteArray>("jobs");
        QTest::addColumn<QString>("error");

        QTest::newRow("the second job priced at its pockets alone")
            << Street
                + ", {\"page\": \"street\", \"options\": [\"radioButton_21\", "
                  "\"radioButton_113\", \"checkBox_59\"], \"fields\": {\"lineEdit_3\": 2}}"
            << QStringLiteral("Задание 2: цены на это сочетание нет");
        QTest::newRow("a line past the largest sum")
            << Street + ", " + film(100500, 100500, 100500)
            << QStringLiteral(
                   "Задание 2, строка 1 «Другой; Другой; Самоклеющаяся плёнка; 360 dpi; »: сумма")
                + PastTheBound;
        QTest::newRow("lines within, their total past it") << film(1800, 2000, 100500) + ", "
                + film(1800, 2000, 100500) << QStringLiteral("Итого") + PastTheBound;
    }

    void requestsRefusedUnstored()
    {
        QFETCH(QByteArray, jobs);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const DatabaseUrl url
            = DatabaseUrl::sqliteFile(dir.filePath(QStringLiteral("shop.sqlite")));
        RequestBook book(url);
        int taken = 0;
        service->setRequestTaker([&book, &taken](const WebRequest &request, RequestDone done) {
            ++taken;
            book.take(request, std::move(done));
        });
        const Reply reply = post(port, "/api/v1/requests",
                                 "{\"contact\": {\"name\": \"Иван\", \"email\": \"a@b.ru\"}, "
                                 "\"jobs\": ["
                                     + jobs + "]}");
        QCOMPARE(reply.status, 400);
        QCOMPARE(reply.error(), error);
        QCOMPARE(taken, 0);
        // The same book takes a request within the bounds: the refusal was the service's.
        QCOMPARE(post(port, "/api/v1/requests",
                      requestBody("{\"name\": \"Иван\", \"email\": \"a@b.ru\"}"))
                     .body,
                 QByteArray("{\"number\":1}"));
        QCOMPARE(taken, 1);
    }

    // The quote tells the tax as the shop's settings file names it.
    void quotesTellTheShopsTax_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QByteArray>("money"); // the answer's "tax" and "total"

        QTest::newRow("added on top")
            << QByteArray("[tax]\nmode=on-top\nrate=22\n")
            << QByteArray("\"tax\":{\"amount\":\"118800000.00\",\"mode\":\"on-top\","
                          "\"rate\":22,\"total\":\"658800000.00\"},\"total\":\"540000000.00\"");
        QTest::newRow("included")
            << QByteArray("[tax]\nmode=included\nrate=20\n")
            << QByteArray("\"tax\":{\"amount\":\"90000000.00\",\"mode\":\"included\","
                          "\"rate\":20,\"total\":\"540000000.00\"},\"total\":\"540000000.00\"");
        QTest::newRow("none") << QByteArray("[tax]\nmode=none\n")
                              << QByteArray(
                                     "\"tax\":{\"amount\":\"0.00\",\"mode\":\"none\",\"rate\":0,"
                                     "\"total\":\"540000000.00\"},\"total\":\"540000000.00\"");
        QTest::newRow("changed from a day gone by")
            << QByteArray(
                   "[tax]\nmode=on-top\nrate=20\nchangeFrom=2020-01-01\nchangeMode=included\n"
                   "changeRate=10\n")
            << QByteArray("\"tax\":{\"amount\":\"49090909.09\",\"mode\":\"included\","
                          "\"rate\":10,\"total\":\"540000000.00\"},\"total\":\"540000000.00\"");
        QTest::newRow("no section: the invoice's 18 % on top")
            << QByteArray("[web]\nquotePerMinute=0\n")
            << QByteArray("\"tax\":{\"amount\":\"97200000.00\",\"mode\":\"on-top\","
                          "\"rate\":18,\"total\":\"637200000.00\"},\"total\":\"540000000.00\"");
    }

    void quotesTellTheShopsTax()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QByteArray, money);
        QTemporaryDir dir;
        QFile ini(dir.filePath(QStringLiteral("shop.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(settings);
        ini.close();
        startService(WebSettings::read(SettingsFile(ini.fileName())));
        const Reply reply = post(port, "/api/v1/quote", film(1000, 2000, 1000));
        QCOMPARE(reply.status, 200);
        QVERIFY2(reply.body.contains("]," + money + ",\"version\":0}"), reply.body.constData());
    }

    // Requests waiting for a slow database hold no service thread: quotes go on meanwhile.
    void slowDatabaseHoldsNobodyUp()
    {
        std::vector<std::thread> database;
        std::mutex mutex;
        service->setRequestTaker([&](const WebRequest &, RequestDone done) {
            const std::lock_guard<std::mutex> lock(mutex);
            database.emplace_back([done] {
                std::this_thread::sleep_for(std::chrono::milliseconds(1500));
                done(42, QString());
            });
        });
        const QByteArray body = requestBody("{\"name\": \"Иван\", \"email\": \"a@b.ru\"}");
        std::vector<std::thread> clients;
        std::atomic<int> numbered {0};
        for (int i = 0; i < 4; ++i)
            clients.emplace_back([&] {
                if (post(port, "/api/v1/requests", body).body == "{\"number\":42}")
                    ++numbered;
            });
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 20; ++i)
            QCOMPARE(post(port, "/api/v1/quote", Street).status, 200);
        const qint64 quotes = timer.elapsed();
        for (std::thread &client : clients)
            client.join();
        for (std::thread &thread : database)
            thread.join();
        QVERIFY2(quotes < 1000, qPrintable(QStringLiteral("20 quotes took %1 ms").arg(quotes)));
        QCOMPARE(numbered.load(), 4);
    }

    void requestWithoutDatabaseIsRefused()
    {
        // A file under a plain file: the database can never be made.
        QTemporaryDir dir;
        QFile blocker(dir.filePath(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        RequestBook book(DatabaseUrl::sqliteFile(dir.filePath(QStringLiteral("file/shop.sqlite"))));
        service->setRequestTaker([&book](const WebRequest &request, RequestDone done) {
            book.take(request, std::move(done));
        });
        const Reply reply = post(port, "/api/v1/requests",
                                 requestBody("{\"name\": \"Иван\", \"email\": \"a@b.ru\"}"));
        QCOMPARE(reply.status, 503);
        QCOMPARE(reply.error(), QStringLiteral("Заявка не сохранена, попробуйте позже"));
        QCOMPARE(post(port, "/api/v1/quote", Street).status, 200);
    }

    // The shop's PostgreSQL frozen (SIGSTOP, as a hung machine): /healthz says so within 2 s, a
    // request is refused within 5 s and not kept once the server goes on, and SIGTERM ends the
    // service within 10 s, answering the request still waiting with 503.
    void databaseFrozen()
    {
        PgCluster cluster;
        QVERIFY2(cluster.start(), qPrintable(cluster.error));
        QTemporaryDir dir;
        QProcess program;
        const quint16 free = startProgram(&program, dir, cluster.url());
        QVERIFY(free > 0);
        const auto thawed = qScopeGuard([&] { cluster.signalServer(SIGCONT); });
        QTRY_COMPARE_WITH_TIMEOUT(get(free, "/healthz").body,
                                  QByteArray("{\"database\":true,\"version\":0}"), 10000);
        const QByteArray body = requestBody("{\"name\": \"Ира\", \"email\": \"a@b.ru\"}");
        QCOMPARE(post(free, "/api/v1/requests", body).status, 200);

        QVERIFY(cluster.signalServer(SIGSTOP));
        QElapsedTimer clock;
        clock.start();
        QTRY_COMPARE_WITH_TIMEOUT(get(free, "/healthz").body,
                                  QByteArray("{\"database\":false,\"version\":0}"), 3000);
        qInfo("/healthz said false %lld ms after the freeze", clock.elapsed());
        // The service turns within 2 s; the rest is this polling on a shared machine.
        QVERIFY(clock.elapsed() <= 2500);
        clock.restart();
        const Reply refused = post(free, "/api/v1/requests", body);
        QCOMPARE(refused.status, 503);
        qInfo("a request refused %lld ms after it was sent", clock.elapsed());
        QVERIFY(clock.elapsed() >= 4000 && clock.elapsed() <= 6000);

        // One more waits when the service is told to end.
        Reply waited;
        std::thread client([&] { waited = post(free, "/api/v1/requests", body); });
        QTest::qWait(500);
        clock.restart();
        program.terminate();
        const bool ended = program.waitForFinished(12000);
        client.join();
        qInfo("the service ended %lld ms after SIGTERM", clock.elapsed());
        QVERIFY2(ended, program.readAll().constData());
        QVERIFY(clock.elapsed() <= 10000);
        QVERIFY2(!program.readAll().contains("Fatal"), "the service aborted");
        QCOMPARE(waited.status, 503);

        QVERIFY(cluster.signalServer(SIGCONT));
        QTest::qWait(1500);
        Connection owner;
        QVERIFY(owner.open(DatabaseUrl::parse(cluster.url()), QStringLiteral("count")));
        QSqlQuery count(owner.database());
        QVERIFY(count.exec(QStringLiteral("SELECT count(*) FROM web_request")) && count.next());
        QCOMPARE(count.value(0).toInt(), 1);
    }

    // A commit the server reaches after the time the service set for it is refused by the server.
    void lateCommitRefused_data()
    {
        QTest::addColumn<int>("withinMs");
        QTest::addColumn<int>("sleepMs");
        QTest::addColumn<bool>("kept");
        QTest::newRow("in time") << 5000 << 0 << true;
        QTest::newRow("late") << 50 << 200 << false;
        QTest::newRow("no time set") << 0 << 200 << true;
    }

    void lateCommitRefused()
    {
        QFETCH(int, withinMs);
        QFETCH(int, sleepMs);
        QFETCH(bool, kept);
        static PgCluster cluster;
        if (cluster.dir.isEmpty())
            QVERIFY2(cluster.start(), qPrintable(cluster.error));
        Connection connection;
        QVERIFY(connection.open(DatabaseUrl::parse(cluster.url()), QStringLiteral("late")));
        QSqlDatabase db = connection.database();
        QSqlQuery query(db);
        QVERIFY(query.exec(QStringLiteral("SELECT count(*) FROM web_request")) && query.next());
        const int before = query.value(0).toInt();
        QVERIFY(db.transaction());
        if (withinMs > 0)
            QVERIFY(query.exec(
                QStringLiteral("SELECT set_config('printcalc.commit_within_ms', '%1', true)")
                    .arg(withinMs)));
        QVERIFY(query.exec(QStringLiteral(
            "INSERT INTO web_request (created, name, phone, email, comment, due, lines, "
            "price_version, total_kopecks) VALUES ('2026-12-10', 'Ира', '', '', '', '', '[]', 0, "
            "100)")));
        QVERIFY(query.exec(QStringLiteral("SELECT pg_sleep(%1)").arg(sleepMs / 1000.0)));
        QCOMPARE(db.commit(), kept);
        if (!kept)
            db.rollback();
        QVERIFY(query.exec(QStringLiteral("SELECT count(*) FROM web_request")) && query.next());
        QCOMPARE(query.value(0).toInt(), before + (kept ? 1 : 0));
    }

    // The shop's PostgreSQL stopped and started while clients keep asking: quotes answer from the
    // version last read throughout, /healthz follows the database, and a request is refused with
    // 503 while it is away (not queued: the customer is told at once) and stored once it is back.
    void databaseStoppedUnderLoad()
    {
        PgCluster cluster;
        QVERIFY2(cluster.start(), qPrintable(cluster.error));
        {
            Connection connection;
            QVERIFY(connection.open(DatabaseUrl::parse(cluster.url()), QStringLiteral("fill")));
            PriceVersionInfo info;
            info.from = QDate::currentDate().addDays(-1);
            QCOMPARE(PriceVersionTables(connection)
                         .store(changedVersion(builtInVersion(),
                                               {{QStringLiteral("121111109"), 300}}, {}, info)),
                     1);
        }
        QTemporaryDir dir;
        QProcess program;
        const quint16 free = startProgram(&program, dir, cluster.url());
        QVERIFY(free > 0);
        QTRY_COMPARE_WITH_TIMEOUT(get(free, "/healthz").body,
                                  QByteArray("{\"database\":true,\"version\":1}"), 10000);

        std::atomic<bool> going {true};
        std::atomic<int> answered {0};
        std::atomic<int> wrong {0};
        std::vector<std::thread> load;
        // The clients stop whatever the outcome.
        const std::shared_ptr<void> stopLoad(nullptr, [&](void *) {
            going = false;
            for (std::thread &thread : load)
                thread.join();
        });
        for (int t = 0; t < 4; ++t)
            load.emplace_back([&, t] {
                for (int width = 1000 + t; going; width += 4) {
                    const QByteArray job
                        = "{\"page\": \"street\", \"options\": [\"radioButton_11\", "
                          "\"radioButton_112\"], \"fields\": {\"lineEditWidthStreet\": "
                        + QByteArray::number(width % 5000 + 100)
                        + ", \"lineEditHeightStreet\": 2000}}";
                    const Reply reply = post(free, "/api/v1/quote", job);
                    if (reply.status == 200
                        && reply.json().value(QStringLiteral("version")).toInt() == 1)
                        ++answered;
                    else
                        ++wrong;
                }
            });
        const QByteArray request = requestBody("{\"name\": \"Иван\", \"email\": \"a@b.ru\"}");
        QCOMPARE(post(free, "/api/v1/requests", request).body, QByteArray("{\"number\":1}"));
        const auto away = [&] {
            cluster.stop();
            QTRY_COMPARE_WITH_TIMEOUT(get(free, "/healthz").body,
                                      QByteArray("{\"database\":false,\"version\":1}"), 10000);
            const int before = answered;
            QTRY_VERIFY_WITH_TIMEOUT(answered > before + 100, 5000);
        };
        const auto back = [&] {
            QVERIFY(cluster.resume());
            QTRY_COMPARE_WITH_TIMEOUT(get(free, "/healthz").body,
                                      QByteArray("{\"database\":true,\"version\":1}"), 10000);
        };
        const auto stored = [&] {
            // The server's sequence may skip numbers after an immediate stop.
            const Reply reply = post(free, "/api/v1/requests", request);
            QCOMPARE(reply.status, 200);
            QVERIFY2(reply.json().value(QStringLiteral("number")).toInt() > 1,
                     reply.body.constData());
        };
        // Away with no request meanwhile: the first one after the start is stored all the same,
        // on a new connection.
        away();
        back();
        stored();
        // A request while it is away is refused at once.
        away();
        const Reply refused = post(free, "/api/v1/requests", request);
        QCOMPARE(refused.status, 503);
        QCOMPARE(refused.error(), QStringLiteral("Заявка не сохранена, попробуйте позже"));
        back();
        stored();
        going = false;
        QCOMPARE(wrong.load(), 0);
        QVERIFY2(answered > 200, qPrintable(QString::number(answered)));
        program.terminate();
        QVERIFY2(program.waitForFinished(5000), "the service did not end on SIGTERM");
        QCOMPARE(program.exitCode(), 0);
    }

    // The executable: listens, prices with the shop's version in force, ends on SIGTERM.
    void serviceProgram()
    {
        QTemporaryDir dir;
        const DatabaseUrl shop
            = DatabaseUrl::sqliteFile(dir.filePath(QStringLiteral("shop.sqlite")));
        {
            Connection connection;
            QVERIFY(connection.open(shop, QStringLiteral("fill")));
            PriceVersionInfo info;
            info.from = QDate::currentDate().addDays(-1);
            info.note = QStringLiteral("зима");
            QCOMPARE(PriceVersionTables(connection)
                         .store(changedVersion(builtInVersion(),
                                               {{QStringLiteral("121111109"), 300}}, {}, info)),
                     1);
        }
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           dir.filePath(QStringLiteral("config")));
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::MergedChannels);
        QTcpServer probe; // a port nobody listens on
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 free = probe.serverPort();
        probe.close();
        program.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../printcalc-web"),
                      {QStringLiteral("--listen"), QStringLiteral("127.0.0.1:%1").arg(free),
                       QStringLiteral("--database"),
                       QStringLiteral("sqlite://") + dir.filePath(QStringLiteral("shop.sqlite"))});
        QVERIFY(program.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(get(free, "/healthz").body,
                                  QByteArray("{\"database\":true,\"version\":1}"), 10000);
        // 1000 × 2000 mm at the shop's 300 per 1000 mm²: 600000, kopecks shown as the version's.
        const Reply quote = post(free, "/api/v1/quote", Street);
        QCOMPARE(quote.json().value(QStringLiteral("version")).toInt(), 1);
        QCOMPARE(quote.json()
                     .value(QStringLiteral("lines"))
                     .toArray()
                     .at(0)
                     .toObject()
                     .value(QStringLiteral("unitPrice"))
                     .toString(),
                 QStringLiteral("600000.00"));
        QCOMPARE(post(free, "/api/v1/requests",
                      requestBody("{\"name\": \"Иван\", \"email\": \"a@b.ru\"}"))
                     .body,
                 QByteArray("{\"number\":1}"));
        program.terminate();
        QVERIFY2(program.waitForFinished(5000), "the service did not end on SIGTERM");
        QCOMPARE(program.exitCode(), 0);
        const QByteArray output = program.readAll();
        QVERIFY2(output.contains("слушает 127.0.0.1:"), output.constData());
        QVERIFY2(!output.contains("QSql"), output.constData());
    }
};

QTEST_GUILESS_MAIN(WebTest)
#include "test_web.moc"
