// The calculator page in a real headless Chromium, driven through puppeteer-core by
// web_page_test.cjs against the service program: the live price is the API's, and the request it
// sends is stored under the number the page shows.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

class WebPageTest : public QObject
{
    Q_OBJECT

private slots:
    void customerOnAPhone()
    {
        const QString puppeteer
            = QStringLiteral(PRINTCALC_BUILD_DIR "/web-browser/node_modules/puppeteer-core");
        QVERIFY2(QFile::exists(puppeteer + QStringLiteral("/package.json")),
                 "puppeteer-core is not installed in the build folder: ./run test installs it");
        QTemporaryDir dir;
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();

        QProcess service;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           dir.filePath(QStringLiteral("config")));
        service.setProcessEnvironment(environment);
        const QString database = dir.filePath(QStringLiteral("shop.sqlite"));
        // The shop's details as the settings file has them, commas unquoted.
        QDir().mkpath(dir.filePath(QStringLiteral("config/printcalc")));
        QFile ini(dir.filePath(QStringLiteral("config/printcalc/printcalc.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[requisites]\nname=Печатный двор «Лист»\naddress=г. Москва, ул. Печатная, д. 1\n"
                  "phone=+7 495 123-45-67\nhours=Пн–Пт 9–18, Сб 10–15\n");
        ini.close();
        // The shop's own prices: the sample's are never quoted on the page.
        QProcess confirm;
        confirm.setProcessEnvironment(environment);
        confirm.start(QStringLiteral(PRINTCALC_BUILD_DIR "/printcalc"),
                      {QStringLiteral("--prices"), QStringLiteral("confirm"),
                       QStringLiteral("--database"), QStringLiteral("sqlite://") + database});
        QVERIFY(confirm.waitForFinished(30000) && confirm.exitCode() == 0);
        service.start(QStringLiteral(PRINTCALC_BUILD_DIR "/printcalc-web"),
                      {QStringLiteral("--listen"), QStringLiteral("127.0.0.1:%1").arg(port),
                       QStringLiteral("--database"), QStringLiteral("sqlite://") + database});
        QVERIFY(service.waitForStarted());
        QByteArray log;
        QTRY_VERIFY2_WITH_TIMEOUT((log += service.readAllStandardError()).contains("127.0.0.1"),
                                  log.constData(), 10000);

        QProcess browser;
        QProcessEnvironment browserEnvironment = environment;
        browserEnvironment.insert(QStringLiteral("PUPPETEER_CORE"), puppeteer);
        browserEnvironment.insert(
            QStringLiteral("AXE_CORE"),
            QStringLiteral(PRINTCALC_BUILD_DIR "/web-browser/node_modules/axe-core/axe.min.js"));
        browserEnvironment.insert(QStringLiteral("BROWSER_PROFILE"),
                                  dir.filePath(QStringLiteral("profile")));
        browser.setProcessEnvironment(browserEnvironment);
        browser.start(QStringLiteral("node"),
                      {QStringLiteral(PRINTCALC_SOURCE_DIR "/tests/web_page_test.cjs"),
                       QStringLiteral("http://127.0.0.1:%1/").arg(port)});
        const bool finished = browser.waitForFinished(120000);
        if (!finished)
            browser.kill(); // its Chromium goes with puppeteer's pipe
        browser.waitForFinished(5000);
        service.terminate();
        QVERIFY(service.waitForFinished(5000));
        QVERIFY2(finished, "the browser test did not finish");
        const QByteArray errors = browser.readAllStandardError();
        QVERIFY2(browser.exitCode() == 0, errors.constData());
        const QJsonObject seen = QJsonDocument::fromJson(browser.readAllStandardOutput()).object();

        QCOMPARE(seen.value(QStringLiteral("sheet")).toArray().at(0).toArray(),
                 // In words, as the customer's documents name it, not the counter's composed text.
                 QJsonArray(
                     {QStringLiteral("Листовая продукция: А4 (210×297 мм), 4+4, матовая 350 г/м²; "
                                     "лак 1+0; обрезка углов 4 шт."),
                      QStringLiteral("100"), QStringLiteral("132")}));
        // Digit groups apart by a no-break space, as the counter shows money.
        QCOMPARE(seen.value(QStringLiteral("total")).toString(), QStringLiteral("13\u00a0200 ₽"));
        QCOMPARE(seen.value(QStringLiteral("sum")).toString(), QStringLiteral("13\u00a0200 ₽"));
        // No tax in the settings: the invoice adds its 18 % on top, and so does the page.
        QCOMPARE(seen.value(QStringLiteral("tax")).toString(),
                 QStringLiteral("+ НДС 18 %: 2\u00a0376 ₽, всего 15\u00a0576 ₽"));
        QCOMPARE(seen.value(QStringLiteral("bar")).toString(), QStringLiteral("15\u00a0576 ₽"));
        QCOMPARE(seen.value(QStringLiteral("street")).toArray().at(0).toArray().at(2).toString(),
                 QStringLiteral("540\u00a0000"));
        const QJsonArray pictures = seen.value(QStringLiteral("pictures")).toArray();
        QCOMPARE(pictures.size(), 6);
        QCOMPARE(pictures.at(1).toString(), QStringLiteral("Кружки, образец 2"));
        QCOMPARE(seen.value(QStringLiteral("discPictures")).toInt(), 0);
        QCOMPARE(seen.value(QStringLiteral("dateRefused")).toString(),
                 QStringLiteral("Дата пишется как ДД.ММ.ГГГГ, например 25.12.2026."));
        QCOMPARE(seen.value(QStringLiteral("duePlaceholder")).toString(),
                 QStringLiteral("ДД.ММ.ГГГГ"));
        QCOMPARE(
            seen.value(QStringLiteral("shop")).toString(),
            QStringLiteral("Печатный двор «Лист»\nг. Москва, ул. Печатная, д. 1\nТелефон: +7 495 "
                           "123-45-67\nЧасы работы: Пн–Пт 9–18, Сб 10–15"));
        // axe-core finds nothing against WCAG A and AA at either width, having tried its rules.
        QVERIFY(seen.value(QStringLiteral("axeRulesPassed")).toInt() > 20);
        QCOMPARE(
            seen.value(QStringLiteral("axe")).toVariant().toStringList().join(QLatin1Char('\n')),
            QString());
        const qint64 number = seen.value(QStringLiteral("number")).toInt();
        QCOMPARE(number, 1);

        {
            QSqlDatabase db
                = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
            db.setDatabaseName(database);
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec(QStringLiteral("SELECT name, phone, comment, total_kopecks, due "
                                              "FROM web_request WHERE number = 1")));
            QVERIFY(query.next());
            QCOMPARE(query.value(0).toString(), QStringLiteral("<b>Иван</b>"));
            QCOMPARE(query.value(1).toString(), QStringLiteral("+7 900 123-45-67"));
            QCOMPARE(query.value(2).toString(), QStringLiteral("Срочно"));
            QCOMPARE(query.value(3).toLongLong(), 54000000);
            // Typed ДД.ММ.ГГГГ in an English browser, stored as the day.
            QCOMPARE(query.value(4).toString(), seen.value(QStringLiteral("dueIso")).toString());
        }
        QSqlDatabase::removeDatabase(QStringLiteral("check"));
    }
};

QTEST_GUILESS_MAIN(WebPageTest)
#include "test_web_page.moc"
