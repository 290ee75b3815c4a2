// The window's order kept in the counter's file: every kind of change stored before the next
// input event, the restore notice and what it brings back, invoice numbers for documents, the
// faults told to the operator, the shop's server lost and back, and the journal dialog.
#include "tests/as_nobody.h"
#include "tests/document_number.h"
#include "tests/page_driver.h"
#include "tests/pg_cluster.h"

#include "app/order_storage.h"
#include "dialogs/journal_dialog.h"
#include "order/money.h"
#include "order/order.h"
#include "pricing/page_pricing.h"
#include "storage/connection.h"
#include "storage/journal.h"
#include "storage/order_writer.h"
#include "storage/schema.h"
#include "storage/settings.h"
#include "storage/shop_link.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QStatusBar>

#include <csignal>
#include <unistd.h>

namespace {

OrderLine sample(int i)
{
    OrderLine line;
    line.description = QStringLiteral("Строка %1; с точкой с запятой").arg(i);
    line.quantity = QString::number(i * 10);
    line.unitPrice = QStringLiteral("%1,5").arg(i);
    line.keyText = QStringLiteral("значение=00%1").arg(i);
    line.titles = QStringLiteral("Формат Цветность ");
    line.removalMarker = i % 2;
    line.job
        = QJsonObject {{QStringLiteral("page"), QStringLiteral("test")}, {QStringLiteral("i"), i}};
    line.explanation = QStringLiteral("как считали %1").arg(i);
    return line;
}

// The customer a crashing child chooses.
Customer chosenCustomer()
{
    Customer customer;
    customer.id = 12;
    customer.kind = Customer::Organisation;
    customer.shortName = QStringLiteral("ООО «Ромашка»");
    customer.fullName = QStringLiteral("Общество с ограниченной ответственностью «Ромашка»");
    customer.inn = QStringLiteral("7707083893");
    customer.kpp = QStringLiteral("770701001");
    customer.address = QStringLiteral("Москва, ул. Вавилова, 19");
    customer.phone = QStringLiteral("+7 495 500-55-50");
    customer.discountHundredths = 525;
    return customer;
}

QString dataFile()
{
    return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/printcalc/printcalc.sqlite");
}

} // namespace

class OrderStorageTest : public QObject, private PageDriver
{
    Q_OBJECT

    QScopedPointer<QTemporaryDir> home;
    QStringList messages;

    void open()
    {
        messages.clear();
        prompts.onTell
            = [this](const QString &message, const QString &) { messages.append(message); };
        window = new MainWindow(nullptr, &prompts, &documents);
        documents.attach(window);
        documents.clear();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
    OrderKeeper *keeper() const { return window->orderKeeper(); }

    // What the counter's file holds for the window's order, read through a connection of its own.
    QVector<OrderLine> stored() const
    {
        Connection connection;
        StoredOrder order;
        if (!connection.open(DatabaseUrl::sqliteFile(dataFile()), QStringLiteral("check"))
            || !OrderStore(connection).load(keeper()->currentOrder(), &order))
            return {};
        return order.lines;
    }

    void verifyStoredAsShown() const
    {
        const QVector<OrderLine> shown = window->orderLines();
        const QVector<OrderLine> kept = stored();
        QCOMPARE(kept.size(), shown.size());
        for (int i = 0; i < shown.size(); ++i) {
            QVERIFY2(kept.at(i) == shown.at(i), qPrintable(kept.at(i).description));
            QCOMPARE(kept.at(i).explanation, shown.at(i).explanation);
        }
    }

    QWidget *notice() const { return find<QFrame>(QStringLiteral("frameRestoreNotice")); }
    // The storage warning in the order area, empty while none shows.
    QString warning() const
    {
        return find<QFrame>(QStringLiteral("frameStorageNotice"))->isVisible()
            ? find<QLabel>(QStringLiteral("labelStorageNotice"))->text()
            : QString();
    }

private slots:
    void init()
    {
        home.reset(new QTemporaryDir);
        qputenv("XDG_DATA_HOME", (home->path() + QStringLiteral("/data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", (home->path() + QStringLiteral("/config")).toUtf8());
        qunsetenv("PRINTCALC_DATABASE");
        // No office warmed up: a copy killed by a test would leave it running.
        QVERIFY(QDir().mkpath(home->path() + QStringLiteral("/config/printcalc")));
        QFile settings(home->path() + QStringLiteral("/config/printcalc/printcalc.ini"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[office]\nwarmup=false\n");
        settings.close();
        open();
    }
    void cleanup() { closeWindow(); }

    void everyChangeIsStoredBeforeTheNextInput_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("append") << 0;
        QTest::newRow("remove by the marker") << 1;
        QTest::newRow("cell edited") << 2;
        QTest::newRow("Очистка") << 3;
        QTest::newRow("a row put back in the middle (undo)") << 4;
        QTest::newRow("a finished order changed") << 5;
    }
    void everyChangeIsStoredBeforeTheNextInput()
    {
        QFETCH(int, change);
        for (int i = 1; i <= 3; ++i)
            window->appendOrderLine(sample(i));
        QVERIFY(keeper()->waitStored());
        QTableWidget *table = orderTable();
        switch (change) {
        case 0:
            window->appendOrderLine(sample(4));
            break;
        case 1: {
            const QRect cell = table->visualRect(table->model()->index(1, OrderLine::Marker));
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
            QCOMPARE(table->rowCount(), 2);
            break;
        }
        case 2:
            table->item(2, OrderLine::Quantity)->setText(QStringLiteral("77"));
            break;
        case 3:
            click(QStringLiteral("pushButton_4"));
            break;
        case 4:
            table->insertRow(1);
            table->setItem(1, OrderLine::Description,
                           new QTableWidgetItem(QStringLiteral("назад")));
            table->setItem(1, OrderLine::Quantity, new QTableWidgetItem(QStringLiteral("5")));
            break;
        case 5:
            QVERIFY(numberNow(window, QStringLiteral("export")).ok);
            window->appendOrderLine(sample(5));
            break;
        }
        // The next thing the operator does; by the time it is handled the change is on disk.
        QTest::keyClick(table, Qt::Key_Shift);
        verifyStoredAsShown();
    }

    void restoreBringsBackEveryLine()
    {
        QVERIFY2(!notice()->isVisible(), "a notice with nothing to restore");
        QVector<OrderLine> lines;
        for (int i = 1; i <= 3; ++i) {
            lines.append(sample(i));
            window->appendOrderLine(lines.last());
        }
        closeWindow(); // as a crash would leave it: stored, unfinished
        open();
        QCOMPARE(rows(), 0); // the window starts as designed
        QVERIFY(notice()->isVisible());
        const QRect free(1140, 510, 141, 114);
        QVERIFY2(free.contains(notice()->geometry()), "the notice leaves its free space");
        for (QWidget *other : find<QWidget>(QStringLiteral("centralwidget"))
                                  ->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            if (other != notice() && other->isVisible())
                QVERIFY2(!other->geometry().intersects(notice()->geometry()),
                         qPrintable(other->objectName()));
        for (QWidget *part : notice()->findChildren<QWidget *>())
            QVERIFY2(notice()->rect().contains(part->geometry()),
                     qPrintable(part->objectName() + QStringLiteral(" is clipped")));
        const QString text = find<QLabel>(QStringLiteral("labelRestoreNotice"))->text();
        QVERIFY2(
            QRegularExpression(
                QStringLiteral(
                    "^Незавершённый заказ от \\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d, 3 строки$"))
                .match(text)
                .hasMatch(),
            qPrintable(text));

        click(QStringLiteral("pushButtonRestore"));
        QCOMPARE(window->orderLines(), lines);
        for (int i = 0; i < lines.size(); ++i)
            QCOMPARE(window->orderLines().at(i).explanation, lines.at(i).explanation);
        QCOMPARE(orderLine(0).marker, Marker::Red);
        QVERIFY(!notice()->isVisible());
        QTest::keyClick(orderTable(), Qt::Key_Shift);
        verifyStoredAsShown();

        closeWindow();
        open(); // the restored lines are the unfinished order now
        QVERIFY(notice()->isVisible());
        click(QStringLiteral("pushButtonDiscard"));
        QVERIFY(!notice()->isVisible());
        closeWindow();
        open();
        QVERIFY2(!notice()->isVisible(), "a discarded order is offered again");
    }

    // Two orders left behind: the newer is offered first, the older after it.
    void olderOrderOfferedNext()
    {
        window->appendOrderLine(sample(1));
        closeWindow();
        open();
        window->appendOrderLine(sample(2));
        window->appendOrderLine(sample(3));
        closeWindow();
        open();
        auto *text = find<QLabel>(QStringLiteral("labelRestoreNotice"));
        QVERIFY2(text->text().endsWith(QStringLiteral(", 2 строки")), qPrintable(text->text()));
        click(QStringLiteral("pushButtonDiscard"));
        QTRY_VERIFY(notice()->isVisible());
        QVERIFY2(text->text().endsWith(QStringLiteral(", 1 строка")), qPrintable(text->text()));
        click(QStringLiteral("pushButtonRestore"));
        QCOMPARE(window->orderLines(), QVector<OrderLine> {sample(1)});
        QTest::qWait(100);
        QVERIFY(!notice()->isVisible());
    }

    void documentsTakeNumbers()
    {
        window->appendOrderLine(sample(1));
        const DocumentNumber first = numberNow(window, QStringLiteral("export"));
        QVERIFY2(first.ok, qPrintable(first.reason));
        QCOMPARE(first.number, 1);
        window->documentFinished(1, QStringLiteral("export"), true);
        QCOMPARE(numberNow(window, QStringLiteral("pdf")).number, 1); // unchanged order
        window->appendOrderLine(sample(2));
        const DocumentNumber second = numberNow(window, QStringLiteral("pdf"));
        QCOMPARE(second.number, 2);
        window->documentFinished(2, QStringLiteral("pdf"), false); // failed: 2 stays, void
        QCOMPARE(numberNow(window, QStringLiteral("pdf")).number, 3);
        window->documentFinished(3, QStringLiteral("pdf"), true);
        QVERIFY(keeper()->shop()->waitIdle(5000));

        Connection connection;
        QVERIFY(connection.open(DatabaseUrl::sqliteFile(dataFile()), QStringLiteral("t")));
        InvoiceRecord record;
        QVERIFY(Journal(connection).load(2, &record));
        QVERIFY(record.summary.isVoid);
        QCOMPARE(record.lines, window->orderLines());
        QVERIFY(Journal(connection).load(1, &record));
        QVERIFY(!record.summary.isVoid);
        QCOMPARE(record.summary.counter, Settings().counterName());
        QCOMPARE(record.summary.templatePath,
                 find<QLineEdit>(QStringLiteral("lineEdit_11"))->text());
        // The number's copy is the program's own; the shop's settings file is never written.
        QCOMPARE(ProgramState(dataFile()).nextInvoiceNumber(), 4);
        QFile shopSettings(Settings().path());
        QVERIFY(shopSettings.open(QIODevice::ReadOnly));
        QCOMPARE(shopSettings.readAll(), QByteArray("[office]\nwarmup=false\n"));
        shopSettings.close();
        closeWindow();
        open();
        QVERIFY2(!notice()->isVisible(), "a numbered order is offered for restoring");
    }

    // The invoice a document's number is taken for keeps the settings' tax of its day and the
    // customer's discount: 65.00 less 5,25 % is 61.59.
    void documentsKeepTheTaxOfTheirDay_data()
    {
        QTest::addColumn<QByteArray>("tax"); // the settings file's section
        QTest::addColumn<QString>("rule"); // as stored; empty: none in the settings
        QTest::addColumn<double>("taxAmount");
        QTest::addColumn<double>("total");
        QTest::newRow("no section: 18 % after the discount")
            << QByteArray() << "" << 11.09 << 72.68;
        QTest::newRow("22 % on top")
            << QByteArray("[tax]\nmode=on-top\nrate=22\n") << "on-top 22" << 13.55 << 75.14;
        QTest::newRow("10 % included")
            << QByteArray("[tax]\nmode=included\nrate=10\n") << "included 10" << 5.6 << 61.59;
    }
    void documentsKeepTheTaxOfTheirDay()
    {
        QFETCH(QByteArray, tax);
        QFETCH(QString, rule);
        QFETCH(double, taxAmount);
        QFETCH(double, total);
        closeWindow();
        QFile settings(Settings().path());
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[office]\nwarmup=false\n" + tax);
        settings.close();
        open();
        window->appendOrderLine(sample(1));
        window->appendOrderLine(sample(2));
        window->order()->setCustomer(chosenCustomer());
        const DocumentNumber number = numberNow(window, QStringLiteral("pdf"));
        QVERIFY2(number.ok, qPrintable(number.reason));
        window->documentFinished(number.number, QStringLiteral("pdf"), true);
        QVERIFY(keeper()->shop()->waitIdle(5000));

        Connection connection;
        QVERIFY(connection.open(DatabaseUrl::sqliteFile(dataFile()), QStringLiteral("t")));
        InvoiceRecord record;
        QVERIFY(Journal(connection).load(number.number, &record));
        QVERIFY(record.summary.taxStored);
        QCOMPARE(record.summary.taxGiven, !rule.isEmpty());
        if (record.summary.taxGiven)
            QCOMPARE(taxModeWord(record.summary.taxRule.mode) + QLatin1Char(' ')
                         + QString::number(record.summary.taxRule.rate),
                     rule);
        QCOMPARE(record.summary.subtotal, 65.0);
        QCOMPARE(record.summary.tax, taxAmount);
        QCOMPARE(record.summary.total, total);
    }

    void fullDiskIsToldOnceAndStoringResumes()
    {
        keeper()->writer()->setRetryInterval(50);
        window->appendOrderLine(sample(1));
        QVERIFY(keeper()->waitStored());
        keeper()->writer()->runWithDatabase([](QSqlDatabase db) {
            QSqlQuery query(db);
            query.exec(QStringLiteral("PRAGMA page_count"));
            query.next();
            query.exec(QStringLiteral("PRAGMA max_page_count = %1").arg(query.value(0).toInt()));
        });
        OrderLine big = sample(2);
        big.explanation = QString(5000, QLatin1Char('x'));
        for (int i = 0; i < 20; ++i)
            window->appendOrderLine(big);
        // In the order area, not as a box: the Enter meant for the window leaves it in sight.
        QTRY_VERIFY2(warning().contains(QStringLiteral("Диск заполнен")), qPrintable(warning()));
        QTest::keyClick(window, Qt::Key_Return);
        QTest::qWait(200);
        QVERIFY2(warning().contains(QStringLiteral("Диск заполнен")), qPrintable(warning()));
        QCOMPARE(messages, QStringList());
        QCOMPARE(rows(), 21);
        keeper()->writer()->runWithDatabase([](QSqlDatabase db) {
            QSqlQuery(db).exec(QStringLiteral("PRAGMA max_page_count = 1000000"));
        });
        QTRY_COMPARE(stored().size(), 21);
        verifyStoredAsShown();
        // Gone with the problem.
        QTRY_COMPARE(warning(), QString());
    }

    void damagedFileIsToldAndNumberingGoesOn()
    {
        closeWindow();
        QFile damaged(dataFile());
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray(4096, '#'));
        damaged.close();
        Settings settings;
        settings.setNextInvoiceNumber(42);
        settings.sync();
        open();
        QTRY_VERIFY2(warning().contains(QStringLiteral("повреждён"))
                         && warning().contains(QStringLiteral("42")),
                     qPrintable(warning()));
        QCOMPARE(messages, QStringList());
        window->appendOrderLine(sample(1));
        QCOMPARE(numberNow(window, QStringLiteral("export")).number, 42);
        // News of something done: it stays until the operator has read it.
        QVERIFY(warning().contains(QStringLiteral("повреждён")));
        click(QStringLiteral("pushButtonHideStorageNotice"));
        QCOMPARE(warning(), QString());
    }

    // The counter's file could not be written when the program started: once it can be, the
    // order on screen reaches it within a few seconds, without a restart.
    void fileWritableAgainAfterStart_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::addColumn<bool>("whileOpen"); // the write-ahead log left beside the file
        QTest::newRow("the file") << false << false;
        QTest::newRow("its folder") << true << false;
        QTest::newRow("the file, while open") << false << true;
    }
    void fileWritableAgainAfterStart()
    {
        QFETCH(bool, folder);
        QFETCH(bool, whileOpen);
        window->appendOrderLine(sample(1));
        QVERIFY(keeper()->waitStored());
        if (!whileOpen)
            closeWindow();
        const QString locked = folder ? QFileInfo(dataFile()).absolutePath() : dataFile();
        const auto chattr = [](const QString &flag, const QString &path) {
            return QProcess::execute(QStringLiteral("chattr"), {flag, path}) == 0;
        };
        if (geteuid() != 0) {
            closeWindow();
            QSKIP("only root can make the file immutable, and root writes any read-only file");
        }
        if (!chattr(QStringLiteral("+i"), locked)) {
            closeWindow();
            QSKIP("chattr +i is not available on this file system");
        }
        closeWindow();
        bool immutable = true;
        const auto release = qScopeGuard([&] {
            if (immutable)
                chattr(QStringLiteral("-i"), locked);
        });
        open();
        window->appendOrderLine(sample(2));
        QTest::keyClick(orderTable(), Qt::Key_Shift);
        QTest::qWait(500);
        QVERIFY2(stored().isEmpty(), "an immutable file was written");
        QVERIFY2(!warning().isEmpty(), "nothing says the order is not stored");
        QVERIFY(chattr(QStringLiteral("-i"), locked));
        immutable = false;
        QTRY_COMPARE_WITH_TIMEOUT(stored().size(), 1, 8000);
        verifyStoredAsShown();
        QTRY_COMPARE(warning(), QString());
    }

    // The same with the rights an ordinary user meets: the file's owner takes the right to write
    // away before the window starts and gives it back while it runs. Root writes a read-only
    // file, so as root the window runs in a child as `nobody`.
    void readOnlyForTheUserAtStart_data()
    {
        QTest::addColumn<QString>("locked");
        QTest::newRow("the file") << "file";
        QTest::newRow("its folder") << "folder";
    }
    void readOnlyForTheUserAtStart()
    {
        QFETCH(QString, locked);
        closeWindow();
        QVERIFY(QDir().mkpath(home->path() + QStringLiteral("/data")));
        QFile::setPermissions(home->path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                  | QFile::ReadOther | QFile::ExeOther);
        if (geteuid() == 0)
            QCOMPARE(QProcess::execute(
                         QStringLiteral("chown"),
                         {QStringLiteral("-R"), QStringLiteral("nobody:nogroup"), home->path()}),
                     0);
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("STORAGE_TEST_CHILD"),
                           QStringLiteral("read-only-") + locked);
        environment.insert(QStringLiteral("HOME"), home->path());
        AsNobody nobody;
        QVERIFY(nobody.start(child, environment));
        QVERIFY(child.waitForFinished(60000));
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 child.readAll().constData());
    }

    void unwritableFolderIsToldOnce()
    {
        closeWindow();
        QDir().mkpath(home->path() + QStringLiteral("/data"));
        for (const QString &path : {home->path(), QString(home->path() + QStringLiteral("/data"))})
            QFile::setPermissions(path,
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                      | QFile::ReadOther | QFile::ExeOther);
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("STORAGE_TEST_CHILD"), QStringLiteral("unwritable"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("/nonexistent"));
        AsNobody nobody;
        QVERIFY(nobody.start(child, environment));
        QVERIFY(child.waitForFinished(60000));
        QVERIFY2(child.exitCode() == 0, child.readAll().constData());
        window = nullptr;
    }

    // A second copy of the program at the same counter: the first one's live order is not
    // offered for restoring; once that copy has crashed, its order is.
    void secondCopyAtTheCounter()
    {
        closeWindow();
        QProcess first;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("STORAGE_TEST_CHILD"), QStringLiteral("holding"));
        first.setProcessEnvironment(environment);
        first.start(QCoreApplication::applicationFilePath(), QStringList());
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += first.readAllStandardOutput()).contains("stored")
                                     || first.state() == QProcess::NotRunning,
                                 30000);
        QCOMPARE(first.state(), QProcess::Running);
        open();
        QTest::qWait(200);
        QVERIFY2(!notice()->isVisible(), "the other copy's live order is offered");
        first.kill();
        QVERIFY(first.waitForFinished(10000));
        closeWindow();
        open();
        QTRY_VERIFY(notice()->isVisible());
        click(QStringLiteral("pushButtonRestore"));
        QCOMPARE(window->orderLines(), (QVector<OrderLine> {sample(1), sample(2)}));
    }

    // A kill between the steps of numbering a document: the order is offered again, and the
    // document made after the restore carries the number the journal gave it before the kill.
    void crashWhileNumberingKeepsTheNumber_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("changedAfter");
        QTest::newRow("number taken, the counter's file not told") << "taken" << false;
        QTest::newRow("number in both, no document yet") << "recorded" << false;
        QTest::newRow("restored, then a line added") << "taken" << true;
    }
    void crashWhileNumberingKeepsTheNumber()
    {
        QFETCH(QString, step);
        QFETCH(bool, changedAfter);
        closeWindow();
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("STORAGE_TEST_CHILD"), QStringLiteral("crash-") + step);
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(child.waitForFinished(30000));
        const QByteArray said = child.readAllStandardOutput();
        QVERIFY2(child.exitStatus() == QProcess::CrashExit,
                 QByteArray(said + child.readAllStandardError()).constData());
        const qint64 taken = said.mid(said.indexOf("number ") + 7).trimmed().toLongLong();
        QCOMPARE(taken, 1);

        open();
        QTRY_VERIFY(notice()->isVisible());
        click(QStringLiteral("pushButtonRestore"));
        QVector<OrderLine> lines {sample(1), sample(2)};
        QCOMPARE(window->orderLines(), lines);
        if (changedAfter) {
            lines.append(sample(3));
            window->appendOrderLine(sample(3));
        }
        const DocumentNumber again = numberNow(window, QStringLiteral("pdf"));
        QVERIFY2(again.ok, qPrintable(again.reason));
        QCOMPARE(again.number, taken);
        window->documentFinished(again.number, QStringLiteral("pdf"), true);
        QVERIFY(keeper()->shop()->waitIdle(5000));
        QVERIFY(keeper()->waitStored());

        Connection connection;
        QVERIFY(connection.open(DatabaseUrl::sqliteFile(dataFile()), QStringLiteral("t")));
        JournalQuery all;
        all.limit = 0;
        QCOMPARE(Journal(connection).find(all).size(), 1);
        InvoiceRecord record;
        QVERIFY(Journal(connection).load(taken, &record));
        QCOMPARE(record.lines, lines);
        QCOMPARE(record.documents.size(), 1);
        QVERIFY(!record.summary.isVoid);
        closeWindow();
        open();
        QTest::qWait(200);
        QVERIFY2(!notice()->isVisible(), "an order with its document is offered again");
    }

    // A crash with a customer chosen: the restored order has them again, and its invoice names
    // them.
    void crashKeepsTheCustomer_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("chosen");
        QTest::newRow("chosen before the lines") << "customer,lines" << true;
        QTest::newRow("chosen after the lines were stored") << "lines,customer" << true;
        QTest::newRow("another first, then this one") << "other,lines,customer" << true;
        QTest::newRow("chosen, then taken away") << "customer,lines,nobody" << false;
    }
    void crashKeepsTheCustomer()
    {
        QFETCH(QString, steps);
        QFETCH(bool, chosen);
        closeWindow();
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("STORAGE_TEST_CHILD"),
                           QStringLiteral("customer-") + steps);
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(child.waitForFinished(30000));
        QVERIFY2(
            child.exitStatus() == QProcess::CrashExit,
            QByteArray(child.readAllStandardOutput() + child.readAllStandardError()).constData());

        open();
        QTRY_VERIFY(notice()->isVisible());
        click(QStringLiteral("pushButtonRestore"));
        QCOMPARE(window->orderLines(), (QVector<OrderLine> {sample(1), sample(2)}));
        const Customer expected = chosen ? chosenCustomer() : Customer();
        QCOMPARE(window->order()->customer(), expected);
        const DocumentNumber number = numberNow(window, QStringLiteral("pdf"));
        QVERIFY2(number.ok, qPrintable(number.reason));
        window->documentFinished(number.number, QStringLiteral("pdf"), true);
        QVERIFY(keeper()->shop()->waitIdle(5000));
        Connection connection;
        QVERIFY(connection.open(DatabaseUrl::sqliteFile(dataFile()), QStringLiteral("t")));
        InvoiceRecord record;
        QVERIFY(Journal(connection).load(number.number, &record));
        QCOMPARE(record.customer.id, expected.id);
        QCOMPARE(record.customer.legalName(), expected.legalName());
        QCOMPARE(record.customer.inn, expected.inn);
    }

    // Two programs at the counter press "Восстановить" on the same crashed order at the same
    // moment: one brings it back, the other is told and appends nothing.
    void restoringTwiceAtOnce()
    {
        window->appendOrderLine(sample(1));
        window->appendOrderLine(sample(2));
        closeWindow();
        QProcess children[2];
        QByteArray said[2];
        for (int i = 0; i < 2; ++i) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("STORAGE_TEST_CHILD"), QStringLiteral("restoring"));
            children[i].setProcessEnvironment(environment);
            children[i].start(QCoreApplication::applicationFilePath(), QStringList());
            // One after the other up to the offer, so that neither start's look at the lock
            // hides the order from the other.
            QTRY_VERIFY_WITH_TIMEOUT(
                (said[i] += children[i].readAllStandardOutput()).contains("ready")
                    || children[i].state() == QProcess::NotRunning,
                30000);
            QVERIFY2(children[i].state() == QProcess::Running,
                     QByteArray(said[i] + children[i].readAllStandardError()).constData());
        }
        for (QProcess &child : children)
            child.write("go\n");
        for (int i = 0; i < 2; ++i)
            QTRY_VERIFY_WITH_TIMEOUT(
                (said[i] += children[i].readAllStandardOutput()).contains("lines")
                    && said[i].endsWith('\n'),
                30000);
        QStringList outcomes;
        for (int i = 0; i < 2; ++i)
            outcomes.append(QString::fromUtf8(said[i].mid(said[i].indexOf("lines")).trimmed()));
        outcomes.sort();
        QCOMPARE(outcomes.size(), 2);
        QVERIFY2(outcomes.at(0).startsWith(QStringLiteral("lines 0 told 1 "))
                     && outcomes.at(0).contains(QStringLiteral("уже открыт в другом окне")),
                 qPrintable(outcomes.join(QStringLiteral(" / "))));
        QCOMPARE(outcomes.at(1), QStringLiteral("lines 2 told 0"));
        for (QProcess &child : children) {
            child.write("quit\n");
            QVERIFY(child.waitForFinished(10000));
            QCOMPARE(child.exitCode(), 0);
        }
        open();
        QTRY_VERIFY(notice()->isVisible());
        click(QStringLiteral("pushButtonRestore"));
        QCOMPARE(window->orderLines(), (QVector<OrderLine> {sample(1), sample(2)}));
        QTest::qWait(200);
        QVERIFY2(!notice()->isVisible(), "the order was duplicated");
    }

    // Pressed on an order another program discarded meanwhile: told, nothing appended.
    void restoringAnOrderNoLongerOpen()
    {
        window->appendOrderLine(sample(1));
        closeWindow();
        open();
        QVERIFY(notice()->isVisible());
        {
            Connection connection;
            QVERIFY(connection.open(DatabaseUrl::sqliteFile(dataFile()), QStringLiteral("t")));
            OrderChange change;
            change.at = QDateTime::currentDateTime();
            change.states = {{keeper()->offered().uid, OrderState::Discarded, 0}};
            QVERIFY(OrderStore(connection).apply(change));
        }
        click(QStringLiteral("pushButtonRestore"));
        QCOMPARE(rows(), 0);
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().contains(QStringLiteral("восстанавливать нечего")),
                 qPrintable(messages.first()));
        QTRY_VERIFY(!notice()->isVisible());
    }

    // A document without a number: the message promises saving and a number only where they
    // come, and otherwise says what to do.
    void noNumberMessageTellsTheTruth_data()
    {
        QTest::addColumn<QString>("url"); // the shop's database; empty: the counter's file
        QTest::addColumn<QString>("file"); // the counter's file: fine, newer, full
        QTest::addColumn<QStringList>("said");
        QTest::addColumn<QStringList>("unsaid");
        const QString away = QStringLiteral("postgresql:///shop?host=/nonexistent");
        const QStringList promises {QStringLiteral("заказ сохранён"),
                                    QStringLiteral("снова станет доступна"),
                                    QStringLiteral("сохранение продолжится")};
        QTest::newRow("server away")
            << away << "fine"
            << QStringList {QStringLiteral("заказ сохранён и получит номер, когда база магазина "
                                           "снова станет доступна")}
            << QStringList {QStringLiteral("не сохранён")};
        QTest::newRow("malformed URL")
            << "mysql://server/shop"
            << "fine"
            << QStringList {QStringLiteral("заказ сохранён"), QStringLiteral("«Настройки»"),
                            QStringLiteral("перезапустите")}
            << QStringList {QStringLiteral("снова станет доступна")};
        QTest::newRow("file of a newer program, server away")
            << away << "newer"
            << QStringList {QStringLiteral("не сохранён"), QStringLiteral("обновите программу")}
            << promises;
        QTest::newRow("file of a newer program as the journal")
            << QString() << "newer"
            << QStringList {QStringLiteral("не сохранён"), QStringLiteral("обновите программу")}
            << promises;
        QTest::newRow("disk full, server away")
            << away << "full"
            << QStringList {QStringLiteral("не сохранён"), QStringLiteral("освободите место")}
            << QStringList {QStringLiteral("заказ сохранён"),
                            QStringLiteral("снова станет доступна")};
    }
    void noNumberMessageTellsTheTruth()
    {
        QFETCH(QString, url);
        QFETCH(QString, file);
        QFETCH(QStringList, said);
        QFETCH(QStringList, unsaid);
        closeWindow();
        if (file == QLatin1String("newer")) {
            Connection connection;
            QVERIFY(connection.open(DatabaseUrl::sqliteFile(dataFile()), QStringLiteral("t")));
            QVERIFY(QSqlQuery(connection.database())
                        .exec(QStringLiteral("UPDATE schema_version SET version = %1")
                                  .arg(latestSchemaVersion() + 1)));
        }
        if (!url.isEmpty())
            qputenv("PRINTCALC_DATABASE", url.toUtf8());
        open();
        qunsetenv("PRINTCALC_DATABASE");
        keeper()->writer()->setRetryInterval(50);
        if (file == QLatin1String("full")) {
            window->appendOrderLine(sample(1));
            QVERIFY(keeper()->waitStored());
            keeper()->writer()->runWithDatabase([](QSqlDatabase db) {
                QSqlQuery query(db);
                query.exec(QStringLiteral("PRAGMA page_count"));
                query.next();
                query.exec(
                    QStringLiteral("PRAGMA max_page_count = %1").arg(query.value(0).toInt()));
            });
            OrderLine big = sample(2);
            big.explanation = QString(5000, QLatin1Char('x'));
            for (int i = 0; i < 20; ++i)
                window->appendOrderLine(big);
        } else {
            window->appendOrderLine(sample(1));
        }
        QTRY_VERIFY(keeper()->shop()->problem().size() > 0);
        const DocumentNumber none = numberNow(window, QStringLiteral("pdf"));
        QVERIFY(!none.ok);
        const QString told = none.reason + QLatin1Char('|') + messages.join(QLatin1Char('|'));
        for (const QString &text : said)
            QVERIFY2(none.reason.contains(text),
                     qPrintable(text + QStringLiteral(" not in: ") + told));
        for (const QString &text : unsaid)
            QVERIFY2(!told.contains(text), qPrintable(text + QStringLiteral(" in: ") + told));
    }

    void shopOutOfReachAtStart_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("told");
        QTest::newRow("no server on the socket") << "postgresql:///shop?host=/nonexistent"
                                                 << "Нет связи";
        QTest::newRow("URL of no known form") << "mysql://server/shop"
                                              << "не понят";
    }
    void shopOutOfReachAtStart()
    {
        QFETCH(QString, url);
        QFETCH(QString, told);
        closeWindow();
        qputenv("PRINTCALC_DATABASE", url.toUtf8());
        open();
        qunsetenv("PRINTCALC_DATABASE");
        auto *state = find<QLabel>(QStringLiteral("labelShopState"));
        QTRY_VERIFY(state->isVisible());
        QVERIFY2(state->toolTip().contains(told), qPrintable(state->toolTip()));
        QVERIFY2(messages.isEmpty(), "the start asks or tells nothing modal");
        // The counter prices and keeps its order all the same.
        window->appendOrderLine(sample(1));
        QTest::keyClick(orderTable(), Qt::Key_Shift);
        verifyStoredAsShown();
    }

    // The shop's server gone during work and back: the notice beside the window buttons, a
    // document without a number, the order numbered when the server returns.
    void shopLostAndBack()
    {
        closeWindow();
        PgCluster cluster;
        QVERIFY2(cluster.start(), qPrintable(cluster.error));
        qputenv("PRINTCALC_DATABASE", cluster.url().toUtf8());
        open();
        keeper()->shop()->setCheckInterval(100);
        auto *state = find<QLabel>(QStringLiteral("labelShopState"));
        QTRY_VERIFY(keeper()->shop()->reachable());
        QVERIFY(!state->isVisible());

        cluster.stop();
        QTRY_VERIFY_WITH_TIMEOUT(state->isVisible(), 10000);
        QVERIFY2(state->toolTip().contains(QStringLiteral("Нет связи")),
                 qPrintable(state->toolTip()));
        QVERIFY(!window->statusBar()->isVisible()
                || window->statusBar()->currentMessage().isEmpty());
        window->appendOrderLine(sample(1));
        const DocumentNumber none = numberNow(window, QStringLiteral("export"));
        QVERIFY(!none.ok);
        QVERIFY2(none.reason.contains(QStringLiteral("без номера")), qPrintable(none.reason));
        window->documentFinished(0, QStringLiteral("export"), true);

        QVERIFY(cluster.resume());
        QTRY_VERIFY_WITH_TIMEOUT(!state->isVisible(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(numberNow(window, QStringLiteral("pdf")).number, 1, 10000);
        Connection connection;
        QVERIFY(connection.open(DatabaseUrl::parse(cluster.url()), QStringLiteral("t")));
        InvoiceRecord record;
        QVERIFY(Journal(connection).load(1, &record));
        QCOMPARE(record.documents.size(), 1);
        closeWindow();
        qunsetenv("PRINTCALC_DATABASE");
    }

    // A server that hangs (every process of it stopped): the window waits a few seconds at
    // most, shows the notice, and the document waits for its number; once the server goes on,
    // the invoice is entered once, with its document.
    void shopFrozenAndResumed()
    {
        closeWindow();
        PgCluster cluster;
        QVERIFY2(cluster.start(), qPrintable(cluster.error));
        qputenv("PRINTCALC_DATABASE", cluster.url().toUtf8());
        open();
        qunsetenv("PRINTCALC_DATABASE");
        auto *state = find<QLabel>(QStringLiteral("labelShopState"));
        QTRY_VERIFY(keeper()->shop()->reachable());
        keeper()->shop()->setCheckInterval(200);
        window->appendOrderLine(sample(1));

        QVERIFY(cluster.signalServer(SIGSTOP));
        bool frozen = true;
        const auto thaw = qScopeGuard([&] {
            if (frozen)
                cluster.signalServer(SIGCONT);
        });
        QElapsedTimer waited;
        waited.start();
        const DocumentNumber none = numberNow(window, QStringLiteral("pdf"));
        QVERIFY2(waited.elapsed() < 6000, qPrintable(QString::number(waited.elapsed())));
        QVERIFY(!none.ok);
        QVERIFY2(none.reason.contains(QStringLiteral("получит номер")), qPrintable(none.reason));
        QTRY_VERIFY(state->isVisible());
        window->documentFinished(0, QStringLiteral("pdf"), true);

        QVERIFY(cluster.signalServer(SIGCONT));
        frozen = false;
        QTRY_VERIFY_WITH_TIMEOUT(!state->isVisible(), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(numberNow(window, QStringLiteral("pdf")).number > 0, 20000);
        const qint64 number = numberNow(window, QStringLiteral("pdf")).number;
        Connection connection;
        QVERIFY(connection.open(DatabaseUrl::parse(cluster.url()), QStringLiteral("t")));
        JournalQuery all;
        all.limit = 0;
        QCOMPARE(Journal(connection).find(all).size(), 1);
        InvoiceRecord record;
        QVERIFY(Journal(connection).load(number, &record));
        QCOMPARE(record.documents.size(), 1);
        QCOMPARE(record.documents.first().kind, QStringLiteral("pdf"));
        QVERIFY(!record.summary.isVoid);
        closeWindow();
    }

    // A frozen server never holds the window: "PDF" returns at once and the document buttons
    // wait disabled while typing goes on, the notice shows, the PDF goes out without a number;
    // the window then closes within seconds, the server still frozen, and its order waits in the
    // counter's file for its number.
    void frozenServerNeverHoldsTheWindow()
    {
        closeWindow();
        // The PDF goes into the test's own home.
        const QByteArray realHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home->path()));
        const auto homeBack = qScopeGuard([&] { qputenv("HOME", realHome); });
        PgCluster cluster;
        QVERIFY2(cluster.start(), qPrintable(cluster.error));
        qputenv("PRINTCALC_DATABASE", cluster.url().toUtf8());
        open();
        qunsetenv("PRINTCALC_DATABASE");
        auto *state = find<QLabel>(QStringLiteral("labelShopState"));
        QTRY_VERIFY(keeper()->shop()->reachable());
        window->appendOrderLine(sample(1));
        QVERIFY(keeper()->waitStored());
        const QString uid = keeper()->currentOrder();
        const QList<QPushButton *> buttons = {find<QPushButton>(QStringLiteral("pushButtonPdf")),
                                              find<QPushButton>(QStringLiteral("pushButtonPrint")),
                                              find<QPushButton>(QStringLiteral("pushButton_6"))};

        QVERIFY(cluster.signalServer(SIGSTOP));
        bool frozen = true;
        const auto thaw = qScopeGuard([&] {
            if (frozen)
                cluster.signalServer(SIGCONT);
        });
        QElapsedTimer pressed;
        pressed.start();
        click(QStringLiteral("pushButtonPdf"));
        for (QPushButton *button : buttons)
            QVERIFY2(!button->isEnabled(), qPrintable(button->objectName()));
        auto *field = find<QLineEdit>(QStringLiteral("lineEdit"));
        field->clear();
        QTest::keyClicks(field, QStringLiteral("250"));
        QVERIFY2(
            pressed.elapsed() < 1500,
            qPrintable(QStringLiteral("the press and typing took %1 ms").arg(pressed.elapsed())));
        QCOMPARE(field->text(), QStringLiteral("250"));
        QTRY_VERIFY_WITH_TIMEOUT(state->isVisible(), 8000);
        QTRY_COMPARE_WITH_TIMEOUT(documents.opened.size(), 1, 8000);
        QCOMPARE(documents.informed.size(), 1);
        QVERIFY2(documents.informed.first().contains(QStringLiteral("Счёт без номера")),
                 qPrintable(documents.informed.first()));
        for (QPushButton *button : buttons)
            QVERIFY2(button->isEnabled(), qPrintable(button->objectName()));

        QElapsedTimer closing;
        closing.start();
        closeWindow();
        QVERIFY2(closing.elapsed() < 8000,
                 qPrintable(QStringLiteral("closing took %1 ms").arg(closing.elapsed())));
        Connection connection;
        StoredOrder order;
        QVERIFY(connection.open(DatabaseUrl::sqliteFile(dataFile()), QStringLiteral("check")));
        QVERIFY(OrderStore(connection).load(uid, &order));
        QCOMPARE(int(order.state), int(OrderState::Waiting));
        QCOMPARE(order.lines.size(), 1);
        QCOMPARE(order.lines.first(), sample(1));
    }

    void journalDialog()
    {
        find<QLineEdit>(QStringLiteral("lineEdit"))->setText(QStringLiteral("100"));
        const QVector<Quote> quotes
            = priceSheetProducts(window->sheetProductsJob(), window->prices());
        QVERIFY(!quotes.isEmpty());
        OrderLine cheap = quotes.first().orderLine();
        cheap.unitPrice = QStringLiteral("1");
        OrderLine loose = sample(3);
        loose.job = QJsonObject();
        window->appendOrderLine(cheap);
        window->appendOrderLine(loose);
        window->appendOrderLine(cheap);
        QCOMPARE(numberNow(window, QStringLiteral("export")).number, 1);
        OrderLine calendar = sample(4);
        calendar.description = QStringLiteral("Календарь настольный");
        window->appendOrderLine(calendar);
        QCOMPARE(numberNow(window, QStringLiteral("export")).number, 2);

        click(QStringLiteral("pushButtonJournal"));
        auto *dialog = window->findChild<JournalDialog *>();
        QVERIFY(dialog);
        auto *invoices = dialog->findChild<QTableWidget *>(QStringLiteral("tableJournalInvoices"));
        QTRY_COMPARE(invoices->rowCount(), 2);
        QCOMPARE(invoices->item(0, 0)->text(), QStringLiteral("2")); // newest first
        dialog->findChild<QLineEdit *>(QStringLiteral("lineEditJournalNumber"))
            ->setText(QStringLiteral("1"));
        QTRY_COMPARE(invoices->rowCount(), 1);
        invoices->selectRow(0);
        auto *lines = dialog->findChild<QTableWidget *>(QStringLiteral("tableJournalLines"));
        QTRY_COMPARE(lines->rowCount(), 3);
        // The list's sum is the invoice's "Всего" (with the tax), and says so.
        QCOMPARE(invoices->horizontalHeaderItem(4)->text(), QStringLiteral("Всего"));
        QCOMPARE(invoices->item(0, 4)->text(), moneyText(dialog->shown().summary.total));
        QVERIFY(dialog->shown().summary.total > dialog->shown().summary.subtotal);

        dialog->findChild<QPushButton *>(QStringLiteral("pushButtonTodayPrices"))->click();
        const QString today = quotes.first().line.unitPrice;
        QCOMPARE(lines->item(0, 4)->text(), today);
        QCOMPARE(lines->item(1, 4)->text(), QStringLiteral("нет задания"));
        QCOMPARE(lines->item(0, 6)->checkState(), Qt::Checked);
        lines->item(2, 6)->setCheckState(Qt::Unchecked); // keep the old price on the last line
        const double perLine = calcRounded(100 * (quotes.first().unitPrice - 1));
        QVERIFY2(dialog->findChild<QLabel *>(QStringLiteral("labelJournalDifference"))
                     ->text()
                     .contains(moneyText(2 * perLine)),
                 "the total difference counts both lines");

        dialog->findChild<QRadioButton *>(QStringLiteral("radioButtonJournalReplace"))
            ->setChecked(true);
        dialog->findChild<QPushButton *>(QStringLiteral("pushButtonJournalToOrder"))->click();
        const QVector<OrderLine> order = window->orderLines();
        QCOMPARE(order.size(), 3);
        QCOMPARE(order.at(0).unitPrice, today);
        QCOMPARE(order.at(0).job, cheap.job);
        QCOMPARE(order.at(1), loose);
        QCOMPARE(order.at(2).unitPrice, QStringLiteral("1"));
        QCOMPARE(window->order()->totals().subtotal,
                 quotes.first().unitPrice * 100 + lineSum(loose) + 100);

        dialog->findChild<QRadioButton *>(QStringLiteral("radioButtonJournalAppend"))
            ->setChecked(true);
        dialog->findChild<QPushButton *>(QStringLiteral("pushButtonJournalToOrder"))->click();
        QCOMPARE(rows(), 6);
        dialog->findChild<QLineEdit *>(QStringLiteral("lineEditJournalNumber"))->clear();
        dialog->findChild<QLineEdit *>(QStringLiteral("lineEditJournalWords"))
            ->setText(QStringLiteral("КАЛЕНД"));
        QTRY_VERIFY(invoices->rowCount() == 1
                    && invoices->item(0, 0)->text() == QLatin1String("2"));
    }
};

// Run as `nobody` by unwritableFolderIsToldOnce: the window over a data folder it cannot write.
static int unwritableChild()
{
    QStringList told;
    PromptRecorder prompts;
    prompts.onTell = [&](const QString &message, const QString &) { told.append(message); };
    MainWindow window(nullptr, &prompts);
    window.show();
    window.appendOrderLine(sample(1));
    window.appendOrderLine(sample(2));
    QTest::qWait(300);
    // Said once, in the order area, and not in a box.
    const auto *notice = window.findChild<QLabel *>(QStringLiteral("labelStorageNotice"));
    const QString shown = notice && notice->isVisible() ? notice->text() : QString();
    if (!told.isEmpty() || shown.count(QStringLiteral("недоступны для записи")) != 1
        || window.orderLines().size() != 2) {
        fprintf(stderr, "told %d times: %s; shown: %s\n", int(told.size()),
                qPrintable(told.join(QLatin1Char('|'))), qPrintable(shown));
        return 1;
    }
    return 0;
}

// Run by readOnlyForTheUserAtStart as the file's owner: a stored order, then the file or its
// folder made read-only, the window started with an order that cannot be stored, and the right
// to write given back while it runs.
static int readOnlyAtStartChild(const QString &locked)
{
    PromptRecorder prompts;
    {
        MainWindow first(nullptr, &prompts);
        first.appendOrderLine(sample(1));
        if (!first.orderKeeper()->waitStored()) {
            fprintf(stderr, "the first order was not stored\n");
            return 1;
        }
    }
    const QString path
        = locked == QLatin1String("folder") ? QFileInfo(dataFile()).absolutePath() : dataFile();
    const QFile::Permissions writable = QFile::permissions(path);
    if (!QFile::setPermissions(path, writable & ~(QFile::WriteOwner | QFile::WriteUser)))
        return 2;
    MainWindow window(nullptr, &prompts);
    window.show();
    window.appendOrderLine(sample(2));
    const auto lines = [&window] {
        Connection connection;
        StoredOrder order;
        if (!connection.open(DatabaseUrl::sqliteFile(dataFile()), QStringLiteral("check"))
            || !OrderStore(connection).load(window.orderKeeper()->currentOrder(), &order))
            return -1;
        return int(order.lines.size());
    };
    const auto *notice = window.findChild<QFrame *>(QStringLiteral("frameStorageNotice"));
    QTest::qWait(500);
    if (lines() > 0 || !notice || !notice->isVisible()) {
        fprintf(stderr, "read-only: %d lines stored, notice %s\n", lines(),
                notice && notice->isVisible() ? "shown" : "not shown");
        return 3;
    }
    if (!QFile::setPermissions(path, writable))
        return 4;
    if (!QTest::qWaitFor([&] { return lines() == 1 && !notice->isVisible(); }, 8000)) {
        fprintf(stderr, "writable again: %d lines stored after 8 s, notice %s\n", lines(),
                notice->isVisible() ? "still shown" : "gone");
        return 5;
    }
    return 0;
}

// Run by secondCopyAtTheCounter: a program with an order on screen until it is killed.
static int holdingChild()
{
    PromptRecorder prompts;
    prompts.onTell = [](const QString &message, const QString &) {
        fprintf(stderr, "%s\n", qPrintable(message));
    };
    MainWindow window(nullptr, &prompts);
    window.show();
    window.appendOrderLine(sample(1));
    window.appendOrderLine(sample(2));
    if (!window.orderKeeper()->waitStored())
        return 1;
    fprintf(stdout, "stored\n");
    fflush(stdout);
    return QCoreApplication::exec();
}

// Run twice by restoringTwiceAtOnce: a window that presses "Восстановить" when told "go", says
// what it got, and holds its order until told "quit".
static int restoringChild()
{
    QStringList told;
    PromptRecorder prompts;
    prompts.onTell = [&](const QString &message, const QString &) { told.append(message); };
    MainWindow window(nullptr, &prompts);
    window.show();
    auto *restore = window.findChild<QPushButton *>(QStringLiteral("pushButtonRestore"));
    if (!QTest::qWaitFor([restore] { return restore->isVisible(); }, 10000))
        return 1;
    fprintf(stdout, "ready\n");
    fflush(stdout);
    char line[16];
    if (!fgets(line, sizeof line, stdin))
        return 2;
    restore->click();
    if (!window.orderKeeper()->waitStored())
        return 3;
    fprintf(stdout, "lines %d told %d %s\n", int(window.orderLines().size()), int(told.size()),
            qPrintable(told.join(QLatin1Char('|'))));
    fflush(stdout);
    return fgets(line, sizeof line, stdin) ? 0 : 4;
}

// Run by crashWhileNumberingKeepsTheNumber: the order's number taken for a PDF, then the
// program killed at the step named.
static int crashingChild(const QString &step)
{
    struct Kill : NumberingSteps
    {
        QString at;
        void numberTaken(const QString &, qint64 number) override { reached("taken", number); }
        void numberRecorded(const QString &, qint64 number) override
        {
            reached("recorded", number);
        }
        void reached(const char *name, qint64 number) const
        {
            if (at != QLatin1String(name))
                return;
            fprintf(stdout, "number %lld\n", static_cast<long long>(number));
            fflush(stdout);
            ::kill(::getpid(), SIGKILL);
        }
    };
    Kill kill;
    kill.at = step;
    Order order;
    OrderKeeper keeper(&order, nullptr, &kill);
    order.append(sample(1));
    order.append(sample(2));
    if (!keeper.waitStored())
        return 1;
    numberNow(&keeper, QStringLiteral("pdf"));
    return 2; // the kill never came
}

// Run by crashKeepsTheCustomer: the steps named, each stored, then the program killed.
static int customerChild(const QString &steps)
{
    Order order;
    OrderKeeper keeper(&order, nullptr);
    Customer other;
    other.shortName = QStringLiteral("Иван Петров");
    other.kind = Customer::Person;
    for (const QString &step : steps.split(QLatin1Char(','))) {
        if (step == QLatin1String("lines")) {
            order.append(sample(1));
            order.append(sample(2));
        } else if (step == QLatin1String("customer")) {
            order.setCustomer(chosenCustomer());
        } else if (step == QLatin1String("other")) {
            order.setCustomer(other);
        } else {
            order.setCustomer(Customer());
        }
        if (!keeper.waitStored())
            return 1;
    }
    ::kill(::getpid(), SIGKILL);
    return 2;
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    PageDriver::useDesktopFont();
    if (qEnvironmentVariable("STORAGE_TEST_CHILD") == QLatin1String("unwritable"))
        return unwritableChild();
    if (qEnvironmentVariable("STORAGE_TEST_CHILD").startsWith(QLatin1String("read-only-")))
        return readOnlyAtStartChild(qEnvironmentVariable("STORAGE_TEST_CHILD").mid(10));
    if (qEnvironmentVariable("STORAGE_TEST_CHILD") == QLatin1String("holding"))
        return holdingChild();
    if (qEnvironmentVariable("STORAGE_TEST_CHILD") == QLatin1String("restoring"))
        return restoringChild();
    if (qEnvironmentVariable("STORAGE_TEST_CHILD").startsWith(QLatin1String("customer-")))
        return customerChild(qEnvironmentVariable("STORAGE_TEST_CHILD").mid(9));
    if (qEnvironmentVariable("STORAGE_TEST_CHILD").startsWith(QLatin1String("crash-")))
        return crashingChild(qEnvironmentVariable("STORAGE_TEST_CHILD").mid(6));
    OrderStorageTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_order_storage.moc"
