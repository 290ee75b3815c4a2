// The website's requests in the shop's database: their own numbers, confirmed into an order with
// source "сайт" (once, whatever the retries) or cancelled, and a database of the version before
// upgraded with its orders kept.
#include "storage/connection.h"
#include "storage/journal.h"
#include "storage/order_book.h"
#include "storage/schema.h"
#include "storage/web_requests.h"
#include "tests/older_database.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

WebRequestRecord request(const QString &name)
{
    WebRequestRecord record;
    record.created = QDateTime(QDate(2026, 12, 9), QTime(21, 0));
    record.name = name;
    record.phone = QStringLiteral("+7 900 123-45-67");
    record.comment = QStringLiteral("<script>alert(1)</script>");
    record.due = QDate(2026, 12, 12);
    OrderLine line;
    line.description = QStringLiteral("Другой; Другой; Самоклеющаяся плёнка; 360 dpi; ");
    line.quantity = QStringLiteral("2");
    line.unitPrice = QStringLiteral("540000");
    line.keyText = QStringLiteral("значение=121111109");
    line.setNumbers(2, 540000);
    record.lines = {line};
    record.totalKopecks = 108000000;
    return record;
}

} // namespace

class WebRequestsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    int databases = 0;

    DatabaseUrl freshDatabase()
    {
        return DatabaseUrl::sqliteFile(
            dir.filePath(QStringLiteral("shop-%1.sqlite").arg(++databases)));
    }

private slots:
    void confirmedIntoOneOrder()
    {
        Connection connection;
        QVERIFY(connection.open(freshDatabase(), QStringLiteral("t")));
        OrderBook book(connection);
        QCOMPARE(storeWebRequest(connection, request(QStringLiteral("Иван"))), 1);
        QCOMPARE(storeWebRequest(connection, request(QStringLiteral("Пётр"))), 2);
        QCOMPARE(waitingWebRequests(connection).size(), 2);

        QString error;
        const qint64 invoice
            = confirmWebRequest(connection, book, 1, QStringLiteral("стойка-1"), 500, &error);
        QVERIFY2(invoice >= 500, qPrintable(error));
        // A second press, or a retry after a failure, takes no second order.
        QCOMPARE(confirmWebRequest(connection, book, 1, QStringLiteral("стойка-1"), 500, &error),
                 invoice);
        const QVector<TakenOrder> orders = book.list(OrderQuery());
        QCOMPARE(orders.size(), 1);
        QCOMPARE(orders.first().number, invoice);
        QCOMPARE(orders.first().status, OrderStatus::Accepted);
        QCOMPARE(orders.first().source, QStringLiteral("сайт"));
        QCOMPARE(orders.first().customer.shortName, QStringLiteral("Иван"));
        QCOMPARE(orders.first().phone, QStringLiteral("+7 900 123-45-67"));
        QCOMPARE(orders.first().totalKopecks, 108000000 + 108000000 * 18 / 100);
        OrderDetails details;
        QVERIFY(book.load(invoice, &details));
        QCOMPARE(details.order.note, QStringLiteral("<script>alert(1)</script>"));
        QCOMPARE(details.invoice.lines.size(), 1);
        QCOMPARE(details.invoice.lines.first().keyText, QStringLiteral("значение=121111109"));

        WebRequestRecord stored;
        QVERIFY(loadWebRequest(connection, 1, &stored));
        QCOMPARE(stored.state, WebRequestRecord::Confirmed);
        QCOMPARE(stored.invoiceNumber, invoice);
        QCOMPARE(waitingWebRequests(connection).size(), 1);
    }

    void cancelled_data()
    {
        QTest::addColumn<bool>("confirmFirst");
        QTest::addColumn<QString>("cancelError");
        QTest::newRow("a waiting request") << false << QString();
        QTest::newRow("a confirmed one stays an order")
            << true << "Заявка № З-1 уже принята: заказ № 1";
    }

    void cancelled()
    {
        QFETCH(bool, confirmFirst);
        QFETCH(QString, cancelError);
        Connection connection;
        QVERIFY(connection.open(freshDatabase(), QStringLiteral("t")));
        OrderBook book(connection);
        QCOMPARE(storeWebRequest(connection, request(QStringLiteral("Иван"))), 1);
        QString error;
        if (confirmFirst)
            QVERIFY(confirmWebRequest(connection, book, 1, QString(), 1, &error) > 0);
        QCOMPARE(cancelWebRequest(connection, 1, &error), cancelError.isEmpty());
        QCOMPARE(error, cancelError);
        if (!confirmFirst) {
            QCOMPARE(confirmWebRequest(connection, book, 1, QString(), 1, &error), 0);
            QCOMPARE(error, QStringLiteral("Заявка № З-1 уже отклонена"));
            QVERIFY(book.list(OrderQuery()).isEmpty());
        }
    }

    // The customer's acknowledgement goes into the queue with the request, or not at all.
    void acknowledgementWithTheRequest_data()
    {
        QTest::addColumn<QString>("email");
        QTest::addColumn<bool>("wanted"); // the service still waits for the answer
        QTest::addColumn<qint64>("number");
        QTest::addColumn<QString>("queued");
        QTest::newRow("no e-mail, no mail") << "" << true << qint64(1) << "";
        QTest::newRow("queued to the request's address")
            << " ira@example.ru " << true << qint64(1) << "0 ira@example.ru Заявка № З-1 получена";
        QTest::newRow("the request given up: no mail either")
            << "ira@example.ru" << false << qint64(0) << "";
    }
    void acknowledgementWithTheRequest()
    {
        QFETCH(QString, email);
        QFETCH(bool, wanted);
        QFETCH(qint64, number);
        QFETCH(QString, queued);
        Connection connection;
        QVERIFY(connection.open(freshDatabase(), QStringLiteral("t")));
        WebRequestRecord record = request(QStringLiteral("Ира"));
        record.email = email;
        QCOMPARE(storeWebRequest(
                     connection, record, QDeadlineTimer(QDeadlineTimer::Forever),
                     [wanted] { return wanted; },
                     [](qint64 n, const WebRequestRecord &) {
                         return MailText {
                             QStringLiteral("Заявка № %1 получена").arg(requestNumberText(n)),
                             {QStringLiteral("Здравствуйте!")}};
                     }),
                 number);
        QSqlQuery query(connection.database());
        QVERIFY(query.exec(QStringLiteral("SELECT invoice_number, recipient, subject FROM "
                                          "mail_queue")));
        QStringList found;
        while (query.next())
            found << QStringLiteral("%1 %2 %3")
                         .arg(query.value(0).toString(), query.value(1).toString(),
                              query.value(2).toString());
        QCOMPARE(found.join(QLatin1Char('|')), queued);
    }

    // A database of the version before the requests: made step by step, upgraded in place.
    void upgradeFromTheVersionBefore()
    {
        const DatabaseUrl url = freshDatabase();
        const QString problem = makeDatabaseBefore(
            url.path, 10, {QStringLiteral("UPDATE invoice_counter SET next_number = 43")});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));

        Connection connection;
        QVERIFY2(connection.open(url, QStringLiteral("t")), qPrintable(connection.errorText()));
        QCOMPARE(connection.schemaVersion(), latestSchemaVersion());
        OrderBook book(connection);
        QCOMPARE(storeWebRequest(connection, request(QStringLiteral("Иван"))), 1);
        QString error;
        // The invoice numbers go on from where the journal was; the request kept its own.
        QCOMPARE(confirmWebRequest(connection, book, 1, QString(), 1, &error), 43);
    }

    // A request waiting in a database of the version before the declines' reasons: kept as it
    // was by the upgrade, then declined with its reason, which is kept.
    void waitingRequestKeptByTheUpgrade()
    {
        const DatabaseUrl url = freshDatabase();
        const QString problem = makeDatabaseBefore(
            url.path, 12,
            {QStringLiteral(
                "INSERT INTO web_request (status, created, name, phone, email, comment, "
                "due, lines, price_version, total_kopecks) VALUES (0, "
                "'2026-12-09T21:00:00', 'Иван', '+7 900 123-45-67', '', 'срочно', "
                "'2026-12-12', '[]', 3, 150000)")});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));

        Connection connection;
        QVERIFY2(connection.open(url, QStringLiteral("t")), qPrintable(connection.errorText()));
        QCOMPARE(connection.schemaVersion(), latestSchemaVersion());
        const QVector<TakenOrder> rows = waitingRequestRows(connection, QString());
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().requestNumber, 1);
        QCOMPARE(rows.first().number, 0);
        QCOMPARE(rows.first().customer.shortName, QStringLiteral("Иван"));
        QCOMPARE(rows.first().note, QStringLiteral("срочно"));
        QCOMPARE(rows.first().totalKopecks, 150000);
        QCOMPARE(rows.first().due, QDateTime(QDate(2026, 12, 12), QTime(18, 0)));
        QCOMPARE(rows.first().source, QStringLiteral("сайт"));
        QString error;
        QVERIFY2(cancelWebRequest(connection, 1, &error, QStringLiteral(" нет макета ")),
                 qPrintable(error));
        WebRequestRecord stored;
        QVERIFY(loadWebRequest(connection, 1, &stored));
        QCOMPARE(stored.state, WebRequestRecord::Cancelled);
        QCOMPARE(stored.cancelReason, QStringLiteral("нет макета"));
        QCOMPARE(stored.comment, QStringLiteral("срочно"));
        QVERIFY(waitingRequestRows(connection, QString()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(WebRequestsTest)
#include "test_web_requests.moc"
