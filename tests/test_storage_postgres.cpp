// The shop's journal on a real PostgreSQL server: a throwaway cluster on a Unix socket, two
// counters numbering at the same moment, a wrong password against a cluster that asks for one,
// the server gone at start and lost during work, and the waiting orders entered when it is back.
#include "tests/pg_cluster.h"

#include "storage/connection.h"
#include "storage/journal.h"
#include "storage/order_store.h"
#include "storage/shop_link.h"

#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

namespace {

InvoiceDraft draft(const QString &uid, const QString &description)
{
    OrderLine line;
    line.description = description;
    line.quantity = QStringLiteral("2");
    line.unitPrice = QStringLiteral("10");
    return {uid, QDateTime::currentDateTime(), QStringLiteral("стойка"), QString(), {line}, {}};
}

int takeNumbers(const QString &url, const QString &who, int count)
{
    Connection connection;
    if (!connection.open(DatabaseUrl::parse(url), QStringLiteral("child"))) {
        fprintf(stderr, "%s\n", qPrintable(connection.errorText()));
        return 2;
    }
    Journal journal(connection);
    for (int i = 0; i < count; ++i)
        if (journal.storeInvoice(draft(who + QString::number(i), who), 1) == 0) {
            fprintf(stderr, "%s\n", qPrintable(connection.errorText()));
            return 3;
        }
    return 0;
}

} // namespace

class PostgresTest : public QObject
{
    Q_OBJECT

    PgCluster cluster;
    QTemporaryDir dir;

private slots:
    void initTestCase() { QVERIFY2(cluster.start(), qPrintable(cluster.error)); }
    void cleanupTestCase() { cluster.stop(); }

    void twoCountersNumberAtTheSameMoment()
    {
        QList<QProcess *> children;
        for (const QString &who : {QStringLiteral("a"), QStringLiteral("b")}) {
            auto *child = new QProcess(this);
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("STORAGE_TEST_CHILD"), who);
            environment.insert(QStringLiteral("STORAGE_TEST_URL"), cluster.url());
            child->setProcessEnvironment(environment);
            children.append(child);
        }
        for (QProcess *child : children)
            child->start(QCoreApplication::applicationFilePath(), QStringList());
        for (QProcess *child : children) {
            QVERIFY(child->waitForFinished(60000));
            QVERIFY2(child->exitCode() == 0, child->readAllStandardError().constData());
        }
        Connection connection;
        QVERIFY2(connection.open(DatabaseUrl::parse(cluster.url()), QStringLiteral("t")),
                 qPrintable(connection.errorText()));
        JournalQuery all;
        all.limit = 0;
        QList<int> numbers;
        for (const InvoiceSummary &invoice : Journal(connection).find(all))
            numbers.prepend(invoice.number);
        QCOMPARE(numbers.size(), 60);
        for (int i = 0; i < numbers.size(); ++i)
            QCOMPARE(numbers.at(i), i + 1);
    }

    void searchUsesTheWordIndex_data()
    {
        QTest::addColumn<QString>("words");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("found");
        QTest::newRow("word start, any case") << "ВИЗИТ" << 0 << 2;
        QTest::newRow("all words") << "визитки глянец" << 0 << 1;
        QTest::newRow("none") << "плакат" << 0 << 0;
        QTest::newRow("number") << "" << 1 << 1;
    }
    void searchUsesTheWordIndex()
    {
        QFETCH(QString, words);
        QFETCH(int, number);
        QFETCH(int, found);
        Connection connection;
        QVERIFY(connection.open(DatabaseUrl::parse(cluster.url()), QStringLiteral("t")));
        Journal journal(connection);
        journal.storeInvoice(draft(QStringLiteral("s1"), QStringLiteral("Визитки матовые")), 1);
        journal.storeInvoice(draft(QStringLiteral("s2"), QStringLiteral("визитки глянец")), 1);
        JournalQuery query;
        query.words = words;
        query.number = number;
        bool ok = false;
        const int got = journal.find(query, &ok).size();
        QVERIFY2(ok, qPrintable(connection.errorText()));
        QCOMPARE(got, found);
    }

    void wrongPasswordIsTold()
    {
        PgCluster guarded(QStringLiteral("верный-пароль"));
        QVERIFY2(guarded.start(), qPrintable(guarded.error));
        Connection connection;
        QVERIFY(!connection.open(
            DatabaseUrl::parse(guarded.url(QStringLiteral("printcalc"), QStringLiteral("neverno"))),
            QStringLiteral("t")));
        QCOMPARE(connection.fault(), StorageFault::WrongPassword);
        QVERIFY2(connection.errorText().contains(QStringLiteral("пароль")),
                 qPrintable(connection.errorText()));
        QVERIFY2(!connection.errorText().contains(QStringLiteral("neverno")), "the password shows");
        const QString good = guarded.url(
            QStringLiteral("printcalc"),
            QString::fromUtf8(QUrl::toPercentEncoding(QStringLiteral("верный-пароль"))));
        QVERIFY2(connection.open(DatabaseUrl::parse(good), QStringLiteral("t")),
                 qPrintable(connection.errorText()));
    }

    // The driver's own English words come only after a whole Russian sentence, in parentheses:
    // opening faults of both databases and a failed statement. DIR: the cluster's folder or a
    // folder of the test; WRONG: a cluster asking for another password.
    void faultsToldInRussianFirst_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("statement"); // run once open; empty: the opening fails
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<bool>("detail"); // the driver's words follow in parentheses
        QTest::newRow("wrong password")
            << "WRONG"
            << ""
            << "База магазина postgresql://printcalc:***@/shop?host=GUARDED не приняла имя "
               "пользователя или пароль"
            << true;
        QTest::newRow("no such login")
            << "postgresql://nobody@/shop?host=DIR"
            << ""
            << "База магазина postgresql://nobody@/shop?host=DIR не приняла имя пользователя или "
               "пароль"
            << true;
        QTest::newRow("no such database")
            << "postgresql://printcalc@/nosuch?host=DIR"
            << ""
            << "На сервере нет базы postgresql://printcalc@/nosuch?host=DIR" << true;
        QTest::newRow("server away")
            << "postgresql://printcalc@/shop?host=DIR/away"
            << ""
            << "Нет связи с базой магазина postgresql://printcalc@/shop?host=DIR/away: проверьте "
               "сеть и что сервер базы работает"
            << true;
        QTest::newRow("statement refused by the server")
            << "postgresql://printcalc@/shop?host=DIR"
            << "SELECT nothing FROM nowhere"
            << "Ошибка базы данных postgresql://printcalc@/shop?host=DIR: повторите действие, а "
               "если ошибка останется, покажите это сообщение администратору"
            << true;
        QTest::newRow("SQLite file not a database")
            << "sqlite://DIR/garbage.sqlite"
            << ""
            << "Файл базы данных DIR/garbage.sqlite повреждён: восстановите его из резервной копии"
            << true;
        QTest::newRow("SQLite folder under a file")
            << "sqlite://DIR/garbage.sqlite/inner/shop.sqlite"
            << ""
            << "Файл базы данных DIR/garbage.sqlite/inner/shop.sqlite или его папка недоступны для "
               "записи"
            << true;
        QTest::newRow("SQLite statement refused")
            << "sqlite://DIR/plain.sqlite"
            << "SELECT nothing FROM nowhere"
            << "Ошибка базы данных sqlite://DIR/plain.sqlite: повторите действие, а если ошибка "
               "останется, покажите это сообщение администратору"
            << true;
    }
    void faultsToldInRussianFirst()
    {
        QFETCH(QString, url);
        QFETCH(QString, statement);
        QFETCH(QString, sentence);
        QFETCH(bool, detail);
        static PgCluster guarded(QStringLiteral("верный-пароль"));
        if (url == QLatin1String("WRONG")) {
            if (guarded.dir.isEmpty())
                QVERIFY2(guarded.start(), qPrintable(guarded.error));
            url = guarded.url(QStringLiteral("printcalc"), QStringLiteral("neverno"));
            sentence.replace(QLatin1String("GUARDED"), guarded.dir);
        }
        const bool sqlite = url.startsWith(QLatin1String("sqlite://"));
        const QString folder = sqlite ? dir.path() : cluster.dir;
        url.replace(QLatin1String("DIR"), folder);
        sentence.replace(QLatin1String("DIR"), folder);
        QFile garbage(dir.path() + QStringLiteral("/garbage.sqlite"));
        QVERIFY(garbage.open(QIODevice::WriteOnly) && garbage.write(QByteArray(4096, 'x')) == 4096);
        garbage.close();

        Connection connection;
        const bool opened = connection.open(DatabaseUrl::parse(url), QStringLiteral("t"));
        QCOMPARE(opened, !statement.isEmpty());
        if (opened) {
            QSqlQuery query(connection.database());
            QVERIFY(!query.exec(statement));
            connection.noteError(query.lastError());
        }
        const QString text = connection.errorText();
        QVERIFY2(text.startsWith(sentence), qPrintable(text));
        const QString rest = text.mid(sentence.size());
        QVERIFY2(detail ? rest.startsWith(QLatin1String(" (")) && rest.endsWith(QLatin1String(")."))
                        : rest == QLatin1String("."),
                 qPrintable(text));
        QVERIFY2(!text.contains(QLatin1String("neverno")), "the password shows");
    }

    // Gone at start, lost during work, back again: the link says so each time, and the order
    // that waited in the counter's file enters the journal with its document and the settings'
    // tax of its day (20.00 with 10 % included).
    void serverLostAndBack()
    {
        const QString local = dir.path() + QStringLiteral("/counter.sqlite");
        QFile settings(dir.path() + QStringLiteral("/p.ini"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[tax]\nmode=included\nrate=10\nchangeFrom=2999-01-01\nchangeMode=none\n");
        settings.close();
        ShopLink link(DatabaseUrl::parse(cluster.url()), local,
                      dir.path() + QStringLiteral("/p.ini"));
        link.setCheckInterval(100);
        QSignalSpy changes(&link, &ShopLink::reachabilityChanged);
        QSignalSpy entered(&link, &ShopLink::waitingOrderEntered);
        QTRY_VERIFY(link.reachable());

        cluster.stop();
        QTRY_VERIFY_WITH_TIMEOUT(!link.reachable(), 10000);
        QVERIFY2(link.problem().contains(QStringLiteral("Нет связи")), qPrintable(link.problem()));
        int number = -1;
        QString error;
        link.storeInvoice(draft(QStringLiteral("w"), QStringLiteral("Листовки")), this,
                          [&](int n, const QString &why) {
                              number = n;
                              error = why;
                          });
        QTRY_VERIFY(number >= 0);
        QCOMPARE(number, 0);
        QVERIFY2(error.contains(QStringLiteral("Нет связи")), qPrintable(error));

        {
            Connection file;
            QVERIFY(file.open(DatabaseUrl::sqliteFile(local), QStringLiteral("t")));
            OrderChange change;
            change.uid = QStringLiteral("waiting-order");
            change.counter = QStringLiteral("стойка");
            change.at = QDateTime::currentDateTime();
            change.create = true;
            change.writes = {{1, 0, draft(QString(), QStringLiteral("Календари")).lines.first()}};
            change.documents = {{change.uid, {QStringLiteral("pdf"), change.at, true}}};
            change.states = {{change.uid, OrderState::Waiting, 0}};
            QVERIFY(OrderStore(file).apply(change));
        }
        QVERIFY(cluster.resume());
        QTRY_VERIFY_WITH_TIMEOUT(link.reachable(), 10000);
        QTRY_COMPARE(entered.size(), 1);
        QCOMPARE(entered.first().first().toString(), QStringLiteral("waiting-order"));
        Connection connection;
        QVERIFY(connection.open(DatabaseUrl::parse(cluster.url()), QStringLiteral("t")));
        InvoiceRecord record;
        QVERIFY(Journal(connection).load(entered.first().at(1).toInt(), &record));
        QCOMPARE(record.lines.first().description, QStringLiteral("Календари"));
        QCOMPARE(record.documents.size(), 1);
        QVERIFY(!record.summary.isVoid);
        QVERIFY(record.summary.taxStored && record.summary.taxGiven);
        QCOMPARE(record.summary.taxRule.mode, TaxMode::Included);
        QCOMPARE(record.summary.taxRule.rate, 10);
        QCOMPARE(record.summary.tax, 1.82);
        QCOMPARE(record.summary.total, 20.0);
        QVERIFY(changes.size() >= 3); // reachable, lost, back
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString child = qEnvironmentVariable("STORAGE_TEST_CHILD");
    if (!child.isEmpty())
        return takeNumbers(qEnvironmentVariable("STORAGE_TEST_URL"), child, 30);
    PostgresTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_storage_postgres.moc"
