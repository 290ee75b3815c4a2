// Customers' "ready" mail: the headers' encoding and the message's parts as tables; then the
// real thing against a real SMTP server on loopback (Debian's aiosmtpd, started and stopped by
// each test), one that refuses, and one that takes the connection and never says a word; the
// window's sender on its thread, and the command line's status change that sends its mail.
#include "mail/mail_message.h"
#include "mail/mail_outbox.h"
#include "mail/smtp_sender.h"
#include "storage/connection.h"
#include "storage/mail_queue.h"
#include "storage/order_book.h"
#include "storage/settings.h"
#include "tests/pg_cluster.h"
#include "tests/program_run.h"
#include "tests/smtp_servers.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

MailServer loopback(int port)
{
    MailServer server;
    server.host = QStringLiteral("127.0.0.1");
    server.port = port;
    server.sender = {QStringLiteral("Печатный двор «Лист»"), QStringLiteral("shop@example.ru")};
    server.connectTimeoutMs = 2000;
    server.totalTimeoutMs = 10000;
    return server;
}

const QString ShopConfig = QStringLiteral(
    "[counter]\nname=стойка-7\n[requisites]\nname=Печатный двор «Лист»\naddress=г. Тула, ул. "
    "Советская, д. 5\nhours=Пн–Пт 9:00–19:00, Сб 10:00–16:00\n");

} // namespace

class MailTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<PgCluster> cluster; // started by the first test that needs it
    QString url;
    Connection connection;

    // An order of 1 000 ₽ with 400 ₽ paid, its customer's e-mail given, made Готов: one
    // mail queued. Its number.
    qint64 readyOrder(const QString &email = QStringLiteral("ivan@example.ru"))
    {
        OrderLine line;
        line.description = QStringLiteral("Визитки 90×50, 4+4");
        line.quantity = QStringLiteral("1");
        line.unitPrice = QStringLiteral("1000");
        OrderIntake intake;
        intake.draft.orderUid = QUuid::createUuid().toString();
        intake.draft.created = QDateTime::currentDateTime();
        intake.draft.counter = QStringLiteral("стойка-7");
        intake.draft.lines = {line};
        intake.draft.customer.shortName = QStringLiteral("Иван Петров");
        intake.email = email;
        intake.due = QDateTime::currentDateTime().addDays(1);
        intake.prepaymentKopecks = 40000;
        OrderBook book(connection);
        book.setShopContacts({QStringLiteral("Печатный двор «Лист»"),
                              QStringLiteral("г. Тула, ул. Советская, д. 5"),
                              QStringLiteral("Пн–Пт 9:00–19:00, Сб 10:00–16:00")});
        const qint64 number = book.take(intake, 1042);
        const OrderAnswer answer = book.changeStatus(number, OrderStatus::Ready, QString(), false,
                                                     QStringLiteral("стойка-7"), QDateTime());
        if (!answer.mailQueued)
            return 0;
        return number;
    }
    QueuedMail onlyMail(qint64 number)
    {
        const QVector<QueuedMail> mails = OrderBook(connection).mails(number);
        return mails.size() == 1 ? mails.first() : QueuedMail();
    }
    void writeConfig(const QString &extra)
    {
        QDir().mkpath(dir->filePath(QStringLiteral("config/printcalc")));
        QFile file(dir->filePath(QStringLiteral("config/printcalc/printcalc.ini")));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write((ShopConfig + extra).toUtf8());
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        url = QStringLiteral("sqlite://") + dir->filePath(QStringLiteral("shop.sqlite"));
        QVERIFY(connection.open(DatabaseUrl::parse(url), QStringLiteral("test")));
    }
    void cleanup()
    {
        connection.close();
        dir.reset();
    }

    void headers_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("header");
        QTest::newRow("plain ASCII as it is") << QByteArray("Subject") << "Order 1042 is ready"
                                              << QByteArray("Subject: Order 1042 is ready");
        QTest::newRow("the ready subject, one word")
            << QByteArray("Subject") << "Заказ № 1042 готов"
            << QByteArray("Subject: =?UTF-8?B?0JfQsNC60LDQtyDihJYgMTA0MiDQs9C+0YLQvtCy?=");
        QTest::newRow("long: words on continuation lines, no letter split")
            << QByteArray("Subject") << "Заказ № 1042 готов: визитки, листовки и баннер 3×1 м"
            << QByteArray(
                   "Subject: =?UTF-8?B?0JfQsNC60LDQtyDihJYgMTA0MiDQs9C+0YLQvtCyOiDQstC40Lc=?="
                   "\r\n =?UTF-8?B?0LjRgtC60LgsINC70LjRgdGC0L7QstC60Lgg0Lgg0LHQsNC90L3QtdGAIDM=?="
                   "\r\n =?UTF-8?B?w5cxINC8?=");
        QTest::newRow("four-byte characters kept whole")
            << QByteArray("Subject") << "Готово 🎉🎉🎉🎉🎉🎉🎉🎉🎉🎉🎉🎉🎉🎉"
            << QByteArray(
                   "Subject: =?UTF-8?B?0JPQvtGC0L7QstC+IPCfjonwn46J8J+OifCfjonwn46J8J+OiQ==?="
                   "\r\n =?UTF-8?B?8J+OifCfjonwn46J8J+OifCfjonwn46J8J+OifCfjok=?=");
        QTest::newRow("ASCII that looks encoded is encoded")
            << QByteArray("Subject")
            << "=?utf-8?q?x?=" << QByteArray("Subject: =?UTF-8?B?PT91dGYtOD9xP3g/PQ==?=");
        QTest::newRow("a line break cannot start a header")
            << QByteArray("Subject") << "Hello\r\nBcc: evil@example.ru"
            << QByteArray("Subject: Hello Bcc: evil@example.ru");
        QTest::newRow("nor in Cyrillic")
            << QByteArray("Subject") << "Заказ готов\nBcc: x@y.ru"
            << QByteArray("Subject: =?UTF-8?B?0JfQsNC60LDQtyDQs9C+0YLQvtCyIEJjYzogeEB5LnJ1?=");
    }
    void headers()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, value);
        QFETCH(QByteArray, header);
        QCOMPARE(encodedHeader(name, value), header);
    }

    void mailboxes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("header");
        QTest::newRow("address only") << ""
                                      << "ivan@example.ru" << QByteArray("To: <ivan@example.ru>");
        QTest::newRow("plain name")
            << "Print Shop"
            << "shop@example.ru" << QByteArray("To: Print Shop <shop@example.ru>");
        QTest::newRow("name with a comma, quoted")
            << "Smith, J. \"Jo\""
            << "jo@example.ru" << QByteArray("To: \"Smith, J. \\\"Jo\\\"\" <jo@example.ru>");
        QTest::newRow("Cyrillic domain in its ASCII form")
            << ""
            << "anna@почта.рф" << QByteArray("To: <anna@xn--80a1acny.xn--p1ai>");
        QTest::newRow("Cyrillic name encoded")
            << "Печатный двор"
            << "shop@example.ru"
            << QByteArray("To: =?UTF-8?B?0J/QtdGH0LDRgtC90YvQuSDQtNCy0L7RgA==?= <shop@example.ru>");
    }
    void mailboxes()
    {
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QByteArray, header);
        QCOMPARE(mailboxHeader("To", {name, address}), header);
    }

    void addresses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("problem");
        QTest::newRow("name and address") << "Печатный двор <shop@example.ru>"
                                          << "Печатный двор"
                                          << "shop@example.ru"
                                          << "";
        QTest::newRow("quoted name") << "\"Smith, J.\" <j@example.ru>"
                                     << "Smith, J."
                                     << "j@example.ru"
                                     << "";
        QTest::newRow("bare address") << " shop@example.ru "
                                      << ""
                                      << "shop@example.ru"
                                      << "";
        QTest::newRow("none") << ""
                              << ""
                              << ""
                              << "адрес не указан";
        QTest::newRow("no at sign")
            << "shop.example.ru"
            << ""
            << "shop.example.ru"
            << "адрес «shop.example.ru» не похож на адрес электронной почты";
        QTest::newRow("a command smuggled in")
            << "a@b.ru\r\nRCPT TO:x@y.ru"
            << ""
            << "a@b.ru\r\nRCPT TO:x@y.ru"
            << "адрес «a@b.ru RCPT TO:x@y.ru» не похож на адрес электронной почты";
        QTest::newRow("a Cyrillic domain") << "Анна <anna@почта.рф>"
                                           << "Анна"
                                           << "anna@почта.рф"
                                           << "";
        QTest::newRow("a Cyrillic mailbox")
            << "анна@почта.рф"
            << ""
            << "анна@почта.рф"
            << "адрес «анна@почта.рф»: имя до @ пишется латиницей, на такой адрес письмо не "
               "отправить";
        QTest::newRow("space inside") << "ivan petrov@example.ru"
                                      << ""
                                      << "ivan petrov@example.ru"
                                      << "адрес «ivan petrov@example.ru» не похож на адрес "
                                         "электронной почты";
    }
    void addresses()
    {
        QFETCH(QString, text);
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, problem);
        const MailAddress parsed = parseMailAddress(text);
        QCOMPARE(parsed.name, name);
        QCOMPARE(parsed.address, address);
        QCOMPARE(mailAddressProblem(parsed.address), problem);
    }

    void dates_data()
    {
        QTest::addColumn<QDateTime>("time");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("Moscow") << QDateTime(QDate(2026, 3, 2), QTime(9, 5, 7), Qt::OffsetFromUTC,
                                             3 * 3600)
                                << QByteArray("Mon, 02 Mar 2026 09:05:07 +0300");
        QTest::newRow("UTC, year's end")
            << QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59), Qt::UTC)
            << QByteArray("Thu, 31 Dec 2026 23:59:59 +0000");
        QTest::newRow("west, half an hour")
            << QDateTime(QDate(2027, 1, 1), QTime(0, 0), Qt::OffsetFromUTC, -(5 * 3600 + 1800))
            << QByteArray("Fri, 01 Jan 2027 00:00:00 -0530");
    }
    void dates()
    {
        QFETCH(QDateTime, time);
        QFETCH(QByteArray, text);
        QCOMPARE(mailDate(time), text);
    }

    void retryPauses_data()
    {
        QTest::addColumn<int>("failed");
        QTest::addColumn<int>("seconds");
        QTest::newRow("first") << 1 << 60;
        QTest::newRow("second") << 2 << 120;
        QTest::newRow("third") << 3 << 240;
        QTest::newRow("sixth") << 6 << 1920;
        QTest::newRow("seventh, capped") << 7 << 3600;
        QTest::newRow("many, no overflow") << 100 << 3600;
    }
    void retryPauses()
    {
        QFETCH(int, failed);
        QFETCH(int, seconds);
        QCOMPARE(mailRetryPauseSeconds(failed), seconds);
    }

    void receivedAsQueued()
    {
        SmtpSink sink;
        QVERIFY2(sink.port > 0, "the SMTP server did not start");
        const qint64 number = readyOrder();
        QVERIFY(number > 0);
        MailQueue queue(connection);
        const QVector<QueuedMail> due = queue.claimDue(QDateTime::currentDateTime(), 10, 60);
        QCOMPARE(due.size(), 1);
        const SendResult result = sendQueuedMail(queue, due.first(), loopback(sink.port));
        QVERIFY2(result.sent(), qPrintable(result.error));
        QCOMPARE(onlyMail(number).state, QueuedMail::Sent);
        QVERIFY(queue.claimDue(QDateTime::currentDateTime().addDays(1), 10, 60).isEmpty());

        const QVector<QJsonObject> received = sink.received();
        QCOMPARE(received.size(), 1);
        const QJsonObject mail = received.first();
        QCOMPARE(mail.value(QLatin1String("subject")).toString(),
                 QStringLiteral("Заказ № 1042 готов"));
        QCOMPARE(mail.value(QLatin1String("from")).toString(),
                 QStringLiteral("Печатный двор «Лист» <shop@example.ru>"));
        QCOMPARE(mail.value(QLatin1String("to")).toString(), QStringLiteral("ivan@example.ru"));
        QCOMPARE(mail.value(QLatin1String("mailFrom")).toString(),
                 QStringLiteral("shop@example.ru"));
        QCOMPARE(mail.value(QLatin1String("rcptTo")).toVariant().toStringList(),
                 QStringList {QStringLiteral("ivan@example.ru")});
        QCOMPARE(mail.value(QLatin1String("charset")).toString(), QStringLiteral("utf-8"));
        // As queued, in the canonical form: CRLF inside the text too.
        QString queued = onlyMail(number).body;
        queued.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        QCOMPARE(mail.value(QLatin1String("body")).toString(), queued);
        for (const QString &line :
             {QStringLiteral("\r\nВаш заказ № 1042 готов.\r\n"),
              QStringLiteral("\r\nАдрес: г. Тула, ул. Советская, д. 5\r\n"),
              QStringLiteral("\r\nЧасы работы: Пн–Пт 9:00–19:00, Сб 10:00–16:00\r\n")})
            QVERIFY2(queued.contains(line), qPrintable(line));
        QVERIFY2(mail.value(QLatin1String("messageId"))
                     .toString()
                     .endsWith(QLatin1String("@example.ru>")),
                 qPrintable(mail.value(QLatin1String("messageId")).toString()));
        QVERIFY(!mail.value(QLatin1String("date")).toString().isEmpty());
        // Every line ends CRLF and keeps to the lengths mail allows.
        const QString raw = mail.value(QLatin1String("raw")).toString();
        QVERIFY(raw.endsWith(QLatin1String("\r\n")));
        const QStringList lines = raw.split(QStringLiteral("\r\n"));
        for (const QString &line : lines) {
            QVERIFY2(!line.contains(QLatin1Char('\n')) && !line.contains(QLatin1Char('\r')),
                     qPrintable(QStringLiteral("a bare line break in «%1»").arg(line)));
            QVERIFY2(line.size() <= 78, qPrintable(QStringLiteral("too long: %1").arg(line)));
        }
    }

    void refused_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("error");
        QTest::newRow("the recipient, for now")
            << QStringList {QStringLiteral("--refuse-rcpt"),
                            QStringLiteral("450 4.2.2 Mailbox full, try later")}
            << "почтовый сервер отказал: 450 4.2.2 Mailbox full, try later";
        QTest::newRow("the message")
            << QStringList {QStringLiteral("--refuse-data"),
                            QStringLiteral("554 5.7.1 Message rejected as spam")}
            << "почтовый сервер отказал: 554 5.7.1 Message rejected as spam";
    }
    void refused()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, error);
        SmtpSink sink(options);
        QVERIFY2(sink.port > 0, "the SMTP server did not start");
        const qint64 number = readyOrder();
        MailQueue queue(connection);
        const QDateTime first = QDateTime::currentDateTime();
        QVector<QueuedMail> due = queue.claimDue(first, 10, 60);
        QCOMPARE(due.size(), 1);
        SendResult result = sendQueuedMail(queue, due.first(), loopback(sink.port));
        QCOMPARE(result.outcome, SendResult::Refused);
        QueuedMail mail = onlyMail(number);
        QCOMPARE(mail.state, QueuedMail::Failed);
        QCOMPARE(mail.lastError, error);
        QCOMPARE(mail.attempts, 1);
        // Tried again after a minute, then after two.
        QVERIFY2(qAbs(first.secsTo(mail.nextTry) - 60) <= 2,
                 qPrintable(mail.nextTry.toString(Qt::ISODate)));
        QVERIFY(queue.claimDue(first.addSecs(30), 10, 60).isEmpty());
        due = queue.claimDue(mail.nextTry, 10, 60);
        QCOMPARE(due.size(), 1);
        const QDateTime second = QDateTime::currentDateTime();
        result = sendQueuedMail(queue, due.first(), loopback(sink.port));
        mail = onlyMail(number);
        QCOMPARE(mail.attempts, 2);
        QVERIFY2(qAbs(second.secsTo(mail.nextTry) - 120) <= 2,
                 qPrintable(mail.nextTry.toString(Qt::ISODate)));
        QVERIFY(sink.received().isEmpty());
    }

    // Retrying cannot help: the mail fails for good, its reason kept, and is never claimed again.
    void givenUp_data()
    {
        QTest::addColumn<QString>("email");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("error");
        QTest::newRow("a malformed address")
            << "ivan@@example.ru" << QStringList()
            << "адрес «ivan@@example.ru» не похож на адрес электронной почты — письмо больше не "
               "отправляется";
        QTest::newRow("refused for good at RCPT")
            << "ivan@example.ru"
            << QStringList {QStringLiteral("--refuse-rcpt"),
                            QStringLiteral("550 5.1.1 No such mailbox here")}
            << "почтовый сервер отказал: 550 5.1.1 No such mailbox here — письмо больше не "
               "отправляется";
    }
    void givenUp()
    {
        QFETCH(QString, email);
        QFETCH(QStringList, options);
        QFETCH(QString, error);
        SmtpSink sink(options);
        QVERIFY2(sink.port > 0, "the SMTP server did not start");
        const qint64 number = readyOrder(email);
        QVERIFY(number > 0);
        MailQueue queue(connection);
        const QVector<QueuedMail> due = queue.claimDue(QDateTime::currentDateTime(), 10, 60);
        QCOMPARE(due.size(), 1);
        const SendResult result = sendQueuedMail(queue, due.first(), loopback(sink.port));
        QCOMPARE(result.outcome, SendResult::Refused);
        QVERIFY(result.permanent);
        const QueuedMail mail = onlyMail(number);
        QCOMPARE(mail.state, QueuedMail::GivenUp);
        QCOMPARE(mail.lastError, error);
        QCOMPARE(mail.attempts, 1);
        // Not an hour later, nor a week: it stays as it is.
        QVERIFY(queue.claimDue(QDateTime::currentDateTime().addSecs(3600), 10, 60).isEmpty());
        QVERIFY(queue.claimDue(QDateTime::currentDateTime().addDays(7), 10, 60).isEmpty());
        QCOMPARE(onlyMail(number).state, QueuedMail::GivenUp);
        QVERIFY(sink.received().isEmpty());
    }

    // A shop's own server with a certificate from its own authority: trusted through [mail]
    // caFile, on STARTTLS and on TLS from the first byte; another authority's file is refused.
    void ownAuthority_data()
    {
        QTest::addColumn<bool>("fromTheStart");
        QTest::addColumn<bool>("rightAuthority");
        QTest::addColumn<QString>("error"); // its beginning, %1 the port; empty: received
        QTest::newRow("STARTTLS, the shop's authority") << false << true << QString();
        QTest::newRow("TLS from the start, the shop's authority") << true << true << QString();
        QTest::newRow("STARTTLS, another authority")
            << false << false
            << "почтовый сервер localhost:%1 предъявил сертификат, которому нет доверия: "
               "проверьте имя сервера ([mail] host) и сертификат центра ([mail] caFile) (";
        QTest::newRow("TLS from the start, another authority")
            << true << false
            << "почтовый сервер localhost:%1 предъявил сертификат, которому нет доверия: "
               "проверьте имя сервера ([mail] host) и сертификат центра ([mail] caFile) (";
    }
    void ownAuthority()
    {
        QFETCH(bool, fromTheStart);
        QFETCH(bool, rightAuthority);
        QFETCH(QString, error);
        TestAuthority authority;
        QVERIFY2(authority.made, qPrintable(authority.error));
        QStringList options {QStringLiteral("--tls"), authority.certFile(), authority.keyFile()};
        if (fromTheStart)
            options << QStringLiteral("--ssl");
        SmtpSink sink(options);
        QVERIFY2(sink.port > 0, "the SMTP server did not start");
        const qint64 number = readyOrder();
        QVERIFY(number > 0);
        MailQueue queue(connection);
        const QVector<QueuedMail> due = queue.claimDue(QDateTime::currentDateTime(), 10, 60);
        QCOMPARE(due.size(), 1);
        MailServer server = loopback(sink.port);
        server.host = QStringLiteral("localhost");
        server.security = fromTheStart ? MailServer::Ssl : MailServer::StartTls;
        server.caFile = rightAuthority ? authority.caFile() : authority.otherCaFile();
        const SendResult result = sendQueuedMail(queue, due.first(), server);
        if (error.isEmpty()) {
            QVERIFY2(result.sent(), qPrintable(result.error));
            QCOMPARE(sink.received().size(), 1);
            QCOMPARE(sink.received().first().value(QLatin1String("subject")).toString(),
                     QStringLiteral("Заказ № 1042 готов"));
            return;
        }
        QCOMPARE(result.outcome, SendResult::Failed);
        QVERIFY2(result.error.startsWith(error.arg(sink.port)), qPrintable(result.error));
        QCOMPARE(onlyMail(number).state, QueuedMail::Failed);
        QVERIFY(sink.received().isEmpty());
    }

    // [mail] caFile read from the settings: a file that is not there is said before any mail.
    void caFileSetting_data()
    {
        // PRESENT names an authority's file that exists, ABSENT one that does not.
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("caFile");
        QTest::addColumn<QString>("problem");
        QTest::newRow("none: the system's authorities") << ""
                                                        << ""
                                                        << "";
        QTest::newRow("the shop's own") << "caFile=PRESENT\n"
                                        << "PRESENT"
                                        << "";
        QTest::newRow("a file that is not there")
            << "caFile=ABSENT\n"
            << "ABSENT"
            << "Файл сертификата почтового сервера «ABSENT» ([mail] caFile) не найден или не "
               "читается.";
    }
    void caFileSetting()
    {
        QFETCH(QString, line);
        QFETCH(QString, caFile);
        QFETCH(QString, problem);
        const QString present = dir->filePath(QStringLiteral("ca.pem"));
        const QString absent = dir->filePath(QStringLiteral("none.pem"));
        const auto named = [&](QString text) {
            return text.replace(QLatin1String("PRESENT"), present)
                .replace(QLatin1String("ABSENT"), absent);
        };
        QFile pem(present);
        QVERIFY(pem.open(QIODevice::WriteOnly));
        pem.write("-----BEGIN CERTIFICATE-----\n");
        pem.close();
        const QString path = dir->filePath(QStringLiteral("mail.ini"));
        QFile ini(path);
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write((QStringLiteral("[mail]\nhost=mail.example.ru\nsecurity=starttls\nsender=shop@"
                                  "example.ru\n")
                   + named(line))
                      .toUtf8());
        ini.close();
        QString said;
        const MailServer server = mailServerFrom(Settings(path), &said);
        QCOMPARE(server.caFile, named(caFile));
        QCOMPARE(said, named(problem));
    }

    void notAnswering()
    {
        SilentServer silent;
        QVERIFY(silent.port > 0);
        const qint64 number = readyOrder();
        MailQueue queue(connection);
        const QVector<QueuedMail> due = queue.claimDue(QDateTime::currentDateTime(), 10, 60);
        QCOMPARE(due.size(), 1);
        MailServer server = loopback(silent.port);
        server.connectTimeoutMs = 1000;
        server.totalTimeoutMs = 2000;
        QElapsedTimer clock;
        clock.start();
        const SendResult result = sendQueuedMail(queue, due.first(), server);
        QVERIFY2(clock.elapsed() < 4000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(result.outcome, SendResult::TimedOut);
        const QueuedMail mail = onlyMail(number);
        QVERIFY(mail.state != QueuedMail::Sent);
        QCOMPARE(mail.lastError,
                 QStringLiteral("почтовый сервер 127.0.0.1:%1 не ответил за 2 с").arg(silent.port));
        QVERIFY(mail.nextTry > QDateTime::currentDateTime());
    }

    // What went wrong is said for the board, and the mail waits for its next try.
    void failures_data()
    {
        QTest::addColumn<QString>("server"); // "sink" or "closed"
        QTest::addColumn<int>("security");
        QTest::addColumn<QString>("error"); // its beginning; %1 the port
        QTest::newRow("nobody listening")
            << "closed" << int(MailServer::Plain) << "нет связи с почтовым сервером 127.0.0.1:%1 (";
        QTest::newRow("SSL to a plain server")
            << "sink" << int(MailServer::Ssl)
            << "защищённое соединение с 127.0.0.1:%1 не установлено (";
        QTest::newRow("STARTTLS the server does not offer")
            << "sink" << int(MailServer::StartTls)
            << "защищённое соединение с 127.0.0.1:%1 не установлено (";
    }
    void failures()
    {
        QFETCH(QString, server);
        QFETCH(int, security);
        QFETCH(QString, error);
        std::unique_ptr<SmtpSink> sink;
        int port = 0;
        if (server == QLatin1String("sink")) {
            sink = std::make_unique<SmtpSink>();
            port = sink->port;
        } else {
            SilentServer gone; // a port just freed: nobody listens there now
            port = gone.port;
        }
        const qint64 number = readyOrder();
        MailQueue queue(connection);
        const QVector<QueuedMail> due = queue.claimDue(QDateTime::currentDateTime(), 10, 60);
        QCOMPARE(due.size(), 1);
        MailServer settings = loopback(port);
        settings.security = MailServer::Security(security);
        const SendResult result = sendQueuedMail(queue, due.first(), settings);
        QCOMPARE(result.outcome, SendResult::Failed);
        const QueuedMail mail = onlyMail(number);
        QCOMPARE(mail.state, QueuedMail::Failed);
        QVERIFY2(mail.lastError.startsWith(error.arg(port)), qPrintable(mail.lastError));
        QVERIFY(mail.nextTry > QDateTime::currentDateTime());
        if (sink)
            QVERIFY(sink->received().isEmpty());
    }

    // Two senders at one queue: the mail is claimed by one only, on either database.
    void claimedOnce_data()
    {
        QTest::addColumn<bool>("postgres");
        QTest::newRow("SQLite") << false;
        QTest::newRow("PostgreSQL") << true;
    }
    void claimedOnce()
    {
        QFETCH(bool, postgres);
        if (postgres) {
            if (!cluster) {
                cluster = std::make_unique<PgCluster>();
                QVERIFY2(cluster->start(), "no PostgreSQL cluster");
            }
            url = cluster->url();
            connection.close();
            QVERIFY2(connection.open(DatabaseUrl::parse(url), QStringLiteral("test")),
                     qPrintable(connection.errorText()));
        }
        const qint64 number = readyOrder();
        QVERIFY(number > 0);
        Connection other;
        QVERIFY(other.open(DatabaseUrl::parse(url), QStringLiteral("other")));
        const QDateTime now = QDateTime::currentDateTime();
        const QVector<QueuedMail> mine = MailQueue(connection).claimDue(now, 10, 60);
        const QVector<QueuedMail> theirs = MailQueue(other).claimDue(now, 10, 60);
        QCOMPARE(mine.size(), 1);
        QCOMPARE(mine.first().number, number);
        QCOMPARE(mine.first().attempts, 1);
        QVERIFY(theirs.isEmpty());
        // A claim that ran out without an answer goes to the next sender; once sent, to none.
        const QVector<QueuedMail> later = MailQueue(other).claimDue(now.addSecs(61), 10, 60);
        QCOMPARE(later.size(), 1);
        QCOMPARE(later.first().attempts, 2);
        QVERIFY(MailQueue(other).markSent(later.first().id, now));
        QCOMPARE(onlyMail(number).state, QueuedMail::Sent);
        QVERIFY(MailQueue(connection).claimDue(now.addDays(1), 10, 60).isEmpty());
    }

    void outboxSends()
    {
        SmtpSink sink;
        QVERIFY2(sink.port > 0, "the SMTP server did not start");
        MailOutbox outbox(DatabaseUrl::parse(url), loopback(sink.port));
        QSignalSpy changed(&outbox, &MailOutbox::mailChanged);
        const qint64 number = readyOrder();
        outbox.sendSoon();
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 1, 15000);
        QCOMPARE(changed.first().value(0).toLongLong(), number);
        QCOMPARE(changed.first().value(1).toBool(), true);
        QCOMPARE(sink.received().size(), 1);
        QCOMPARE(onlyMail(number).state, QueuedMail::Sent);
    }

    // Closing the program while a server keeps the sender waiting: done at once, the mail
    // still to go, the attempt not counted.
    void outboxEndsPromptly()
    {
        SilentServer silent;
        const qint64 number = readyOrder();
        MailServer server = loopback(silent.port);
        server.totalTimeoutMs = 60000;
        auto outbox = std::make_unique<MailOutbox>(DatabaseUrl::parse(url), server);
        QVERIFY2(silent.knockedWithin(10000), "the sender never came to the server");
        QElapsedTimer clock;
        clock.start();
        outbox.reset();
        QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));
        const QueuedMail mail = onlyMail(number);
        QCOMPARE(mail.state, QueuedMail::Waiting);
        QCOMPARE(mail.attempts, 0);
        QVERIFY(mail.nextTry <= QDateTime::currentDateTime());
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("server"); // "sink", "refusing", "silent" or "none"
        QTest::addColumn<QString>("extra"); // for the settings file, %1 the port
        QTest::addColumn<QString>("out"); // %1 the order's number
        QTest::addColumn<QString>("err"); // %1 the number, %2 the port
        QTest::addColumn<int>("sent");
        QTest::newRow("sent before the command ends")
            << "sink"
            << "[mail]\nhost=127.0.0.1\nport=%1\nsender=shop@example.ru\n"
            << "Заказ № %1: Готов.\nПисьмо покупателю «Заказ № %1 готов» отправлено на "
               "ivan@example.ru.\n"
            << "" << 1;
        QTest::newRow("a server that does not answer: left queued")
            << "silent"
            << "[mail]\nhost=127.0.0.1\nport=%1\nsender=shop@example.ru\ntimeout=2\n"
            << "Заказ № %1: Готов.\n"
            << "Письмо покупателю «Заказ № %1 готов» не отправлено: почтовый сервер "
               "127.0.0.1:%2 не ответил за 2 с. Оно осталось в очереди, попытка повторится "
               "позже.\n"
            << 0;
        // Given up for good: never said to wait in the queue.
        QTest::newRow("an address refused for good")
            << "refusing"
            << "[mail]\nhost=127.0.0.1\nport=%1\nsender=shop@example.ru\n"
            << "Заказ № %1: Готов.\n"
            << "Письмо покупателю «Заказ № %1 готов» не будет отправлено: почтовый сервер "
               "отказал: 550 5.1.1 No such mailbox here.\n"
            << 0;
        QTest::newRow("no server set")
            << "none"
            << ""
            << "Заказ № %1: Готов.\nПисьмо покупателю «Заказ № %1 готов» поставлено в очередь: "
               "почтовый сервер не указан ([mail] host в файле настроек).\n"
            << "" << 0;
        QTest::newRow("a security word not understood")
            << "sink"
            << "[mail]\nhost=127.0.0.1\nport=%1\nsender=shop@example.ru\nsecurity=tls\n"
            << "Заказ № %1: Готов.\n"
            << "Письмо покупателю «Заказ № %1 готов» не отправлено и осталось в очереди. Защита "
               "почты «tls» ([mail] security) не понята: есть none, starttls и ssl.\n"
            << 0;
    }
    void commandLine()
    {
        QFETCH(QString, server);
        QFETCH(QString, extra);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(int, sent);
        std::unique_ptr<SmtpSink> sink;
        std::unique_ptr<SilentServer> silent;
        int port = 0;
        if (server == QLatin1String("sink") || server == QLatin1String("refusing")) {
            sink = std::make_unique<SmtpSink>(
                server == QLatin1String("sink")
                    ? QStringList()
                    : QStringList {QStringLiteral("--refuse-rcpt"),
                                   QStringLiteral("550 5.1.1 No such mailbox here")});
            port = sink->port;
        } else if (server == QLatin1String("silent")) {
            silent = std::make_unique<SilentServer>();
            port = silent->port;
        }
        writeConfig(extra.contains(QLatin1String("%1")) ? extra.arg(port) : extra);
        OrderLine line;
        line.description = QStringLiteral("Баннер");
        line.quantity = QStringLiteral("1");
        line.unitPrice = QStringLiteral("1000");
        OrderIntake intake;
        intake.draft.orderUid = QUuid::createUuid().toString();
        intake.draft.created = QDateTime::currentDateTime();
        intake.draft.lines = {line};
        intake.email = QStringLiteral("ivan@example.ru");
        intake.due = QDateTime::currentDateTime().addDays(1);
        const qint64 number = OrderBook(connection).take(intake, 7);
        QVERIFY2(number == 7, qPrintable(connection.errorText()));
        QElapsedTimer clock;
        clock.start();
        const ProgramRun run = runProgram({QStringLiteral("--database"), url,
                                           QStringLiteral("--orders"), QStringLiteral("status"),
                                           QString::number(number), QStringLiteral("готов")},
                                          dir->filePath(QStringLiteral("config")), 60000);
        QCOMPARE(run.err,
                 err.contains(QLatin1String("%2"))       ? err.arg(number).arg(port)
                     : err.contains(QLatin1String("%1")) ? err.arg(number)
                                                         : err);
        QCOMPARE(run.out, out.arg(number));
        QCOMPARE(run.status, 0);
        QVERIFY2(clock.elapsed() < 30000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(onlyMail(number).state == QueuedMail::Sent, bool(sent));
        if (sink)
            QCOMPARE(sink->received().size(), sent);
        // The shop's texts as the settings file has them, commas and all, unquoted.
        if (sink && sent) {
            const QString body = sink->received().first().value(QLatin1String("body")).toString();
            for (const QString &line :
                 {QStringLiteral("\r\nАдрес: г. Тула, ул. Советская, д. 5\r\n"),
                  QStringLiteral("\r\nЧасы работы: Пн–Пт 9:00–19:00, Сб "
                                 "10:00–16:00\r\n")})
                QVERIFY2(body.contains(line), qPrintable(body));
        }
        // A sender without a name goes by the shop's.
        if (sink && sent)
            QCOMPARE(sink->received().first().value(QLatin1String("from")).toString(),
                     QStringLiteral("Печатный двор «Лист» <shop@example.ru>"));
    }
};

QTEST_GUILESS_MAIN(MailTest)
#include "test_mail.moc"
