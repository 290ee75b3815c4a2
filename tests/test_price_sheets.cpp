// The price list as a spreadsheet through a real, headless LibreOffice: written and read back in
// both formats, a key that Calc turned into a number, and the command line's own office.
#include "office/office_session.h"
#include "office/office_testkit.h"
#include "office/price_sheets.h"
#include "prices/composable_keys.h"
#include "prices/price_versions.h"

#include <QProcess>
#include <QThread>
#include <QtTest>

#include <csignal>

class PriceSheetsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    OfficeSession &office() { return OfficeSession::shared(); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        office().setStartArguments(
            officetest::prepareProfile(dir.filePath(QStringLiteral("profile")), true));
        OfficeFailure failure;
        QVERIFY2(office().reach(&failure), qPrintable(failure.message + failure.details));
    }
    void cleanupTestCase()
    {
        if (!office().terminate())
            office().kill();
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("LibreOffice") << "prices.ods";
        QTest::newRow("Excel") << "prices.xlsx";
    }
    void roundTrip()
    {
        QFETCH(QString, name);
        const QString path = dir.filePath(name);
        const PriceVersion &v0 = builtInVersion();
        QString error;
        QVERIFY2(
            writePriceFile(path, v0, &error,
                           [this](const QString &file, const PriceFileRows &rows, QString *why) {
                               return writePriceSheet(office(), file, rows, why);
                           }),
            qPrintable(error));
        PriceFileRows rows;
        QVERIFY2(readPriceSheet(office(), path, &rows, &error), qPrintable(error));
        // Every listed key, those without a price too, then the extras and the header.
        QCOMPARE(rows.size(), listedPriceKeys().size() + 117);
        QCOMPARE(rows.at(1).first(), QStringLiteral("000000"));
        const PriceFileCheck check = checkPriceRows(rows, v0);
        QVERIFY2(check.accepted(), qPrintable(check.report()));
        QCOMPARE(check.changed, 0);
        QCOMPARE(check.kept, 0);

        // One price typed over in Calc and saved: the keys keep their zeros, and the version
        // made from the file prices with the new figure.
        int row = 0;
        while (row < rows.size() && rows.at(row).value(0) != QLatin1String("002428"))
            ++row;
        QVERIFY(row < rows.size());
        const QByteArray cell = "D" + QByteArray::number(row + 1);
        QVERIFY2(officetest::typeIntoFile(office(), path, cell.constData(), 70, &error),
                 qPrintable(error));
        QVERIFY2(readPriceSheet(office(), path, &rows, &error), qPrintable(error));
        const PriceFileCheck edited = checkPriceRows(rows, v0);
        QVERIFY2(edited.accepted(), qPrintable(edited.report()));
        QCOMPARE(edited.changed, 1);
        const PriceVersion version = changedVersion(v0, edited.prices, edited.extras, {});
        QCOMPARE(version.prices.price(QStringLiteral("002428")), 70.0);
        QCOMPARE(version.prices.price(QStringLiteral("002427")),
                 v0.prices.price(QStringLiteral("002427")));
    }

    // A key typed over as a number in Calc: the reading says so rather than losing the key.
    void keyTurnedIntoANumber()
    {
        const QString path = dir.filePath(QStringLiteral("numbers.ods"));
        QString error;
        // The last column is written as numbers: here it holds the keys.
        QVERIFY2(writePriceSheet(office(), path,
                                 {{QStringLiteral("цена"), QStringLiteral("ключ")},
                                  {QStringLiteral("70"), QStringLiteral("002428")}},
                                 &error),
                 qPrintable(error));
        PriceFileRows rows;
        QVERIFY2(readPriceSheet(office(), path, &rows, &error), qPrintable(error));
        QCOMPARE(rows.value(1), (QStringList {QStringLiteral("70"), QStringLiteral("2428")}));
        const QString report = checkPriceRows(rows, builtInVersion()).report();
        QVERIFY2(report.contains(QStringLiteral(
                     "Строка 2: ошибка — 2428 — возможно, 002428: ведущие нули потеряны.")),
                 qPrintable(report));
    }

    void notASpreadsheet()
    {
        QFile text(dir.filePath(QStringLiteral("text.xlsx")));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("ключ;цена\n002428;70\n");
        text.close();
        PriceFileRows rows;
        QString error;
        QVERIFY(!readPriceSheet(office(), text.fileName(), &rows, &error));
        QVERIFY2(error.contains(QStringLiteral("не открыл")), qPrintable(error));
    }

    // `printcalc --prices export|check` with a spreadsheet: an office of its own, gone after.
    void commandLine()
    {
        const QString url
            = QStringLiteral("sqlite://") + dir.filePath(QStringLiteral("shop.sqlite"));
        const QString path = dir.filePath(QStringLiteral("cli.xlsx"));
        for (const QStringList &command : {QStringList {QStringLiteral("export"), path},
                                           QStringList {QStringLiteral("check"), path}}) {
            QProcess program;
            program.start(
                QStringLiteral(PRINTCALC_PROGRAM),
                QStringList {QStringLiteral("--database"), url, QStringLiteral("--prices")}
                    + command);
            QVERIFY(program.waitForFinished(120000));
            const QString out = QString::fromUtf8(program.readAllStandardOutput());
            QVERIFY2(program.exitCode() == 0,
                     qPrintable(out + QString::fromUtf8(program.readAllStandardError())));
            if (command.first() == QLatin1String("check"))
                QVERIFY2(out.contains(QStringLiteral("изменено цен и надбавок: 0")),
                         qPrintable(out));
        }
        QProcess search;
        search.start(QStringLiteral("pgrep"),
                     {QStringLiteral("-f"), QStringLiteral("printcalc-cli-")});
        QVERIFY(search.waitForFinished());
        QVERIFY2(search.readAllStandardOutput().trimmed().isEmpty(),
                 "the command left its office running");
    }

    // `printcalc --prices export` onto a place no workbook can go: status 1, the cause in
    // Russian, nothing written; over an existing file, the new workbook whole and nothing beside.
    void commandLineWrites_data()
    {
        QTest::addColumn<QString>("target"); // under the test's folder
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err"); // a part of standard error; "@" is the test's folder
        QTest::newRow("the parent is a file")
            << "plain.txt/prices.ods" << 1 << "«@/plain.txt» — файл, а не папка";
        QTest::newRow("a folder") << "folder.ods" << 1 << "«@/folder.ods» — не обычный файл";
        QTest::newRow("no such folder") << "gone/prices.xlsx" << 1 << "Папки «@/gone» нет.";
        QTest::newRow("over an existing file") << "old.ods" << 0 << "";
    }
    void commandLineWrites()
    {
        QFETCH(QString, target);
        QFETCH(int, status);
        QFETCH(QString, err);
        QTemporaryDir place;
        QFile plain(place.filePath(QStringLiteral("plain.txt")));
        QVERIFY(plain.open(QIODevice::WriteOnly) && plain.write("text") == 4);
        plain.close();
        QVERIFY(QDir(place.path()).mkdir(QStringLiteral("folder.ods")));
        QFile old(place.filePath(QStringLiteral("old.ods")));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        const QStringList before
            = QDir(place.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QProcess program;
        program.start(
            QStringLiteral(PRINTCALC_PROGRAM),
            QStringList {QStringLiteral("--database"),
                         QStringLiteral("sqlite://") + dir.filePath(QStringLiteral("shop.sqlite")),
                         QStringLiteral("--prices"), QStringLiteral("export"),
                         place.filePath(target)});
        QVERIFY(program.waitForFinished(120000));
        const QString error = QString::fromUtf8(program.readAllStandardError());
        QCOMPARE(program.exitCode(), status);
        QVERIFY2(error.contains(QString(err).replace(QLatin1Char('@'), place.path())),
                 qPrintable(error));
        // No half workbook, no temporary file left beside the target.
        QCOMPARE(
            QDir(place.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            before);
        if (status == 0) {
            PriceFileRows rows;
            QString problem;
            QVERIFY2(readPriceSheet(office(), place.filePath(target), &rows, &problem),
                     qPrintable(problem));
            QVERIFY(rows.size() > 1); // the header and the prices
        }
    }

    // The command's office killed while it writes the workbook: status 1 and the cause in Russian,
    // the old file as it was, nothing left beside it, no office running; the next export starts
    // an office of its own and writes the workbook.
    void commandLineOfficeKilled()
    {
        QTemporaryDir place;
        const QString target = place.filePath(QStringLiteral("prices.ods"));
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        const QStringList command {QStringLiteral("--database"),
                                   QStringLiteral("sqlite://")
                                       + dir.filePath(QStringLiteral("shop.sqlite")),
                                   QStringLiteral("--prices"), QStringLiteral("export"), target};
        QProcess program;
        program.start(QStringLiteral(PRINTCALC_PROGRAM), command);
        QVERIFY(program.waitForStarted());
        // The office of this command is known by its pipe; it writes once a file of its own is
        // open in the target's folder.
        const QByteArray pipe = "printcalc-cli-" + QByteArray::number(program.processId());
        QList<qint64> officePids;
        bool writing = false;
        while (!writing && program.state() == QProcess::Running) {
            for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
                QFile line(QStringLiteral("/proc/%1/cmdline").arg(pid));
                if (pid.toLongLong() == 0 || !line.open(QIODevice::ReadOnly)
                    || !line.readAll().contains(pipe))
                    continue;
                if (!officePids.contains(pid.toLongLong()))
                    officePids.append(pid.toLongLong());
                const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
                for (const QString &fd : fds.entryList(QDir::Files | QDir::System))
                    writing = writing
                        || QFile::symLinkTarget(fds.filePath(fd)).startsWith(place.path());
            }
            QThread::msleep(2);
        }
        QVERIFY2(writing, "the export ended before its office was seen writing");
        for (const qint64 pid : qAsConst(officePids))
            ::kill(pid_t(pid), SIGKILL);
        QVERIFY(program.waitForFinished(60000));
        const QString error = QString::fromUtf8(program.readAllStandardError());
        QCOMPARE(program.exitCode(), 1);
        QVERIFY2(error.startsWith(QStringLiteral("Файл %1 не записан: Связь с LibreOffice Calc "
                                                 "прервалась: программа закрылась или перестала "
                                                 "отвечать. Файл «%1» не записан, прежний остался "
                                                 "как был; повторите выгрузку (")
                                      .arg(target)),
                 qPrintable(error));
        QVERIFY2(program.readAllStandardOutput().isEmpty(), "a failed export claimed success");
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old"));
        old.close();
        const QDir::Filters all = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
        QCOMPARE(QDir(place.path()).entryList(all), QStringList {QStringLiteral("prices.ods")});

        QProcess again;
        again.start(QStringLiteral(PRINTCALC_PROGRAM), command);
        QVERIFY(again.waitForFinished(120000));
        QVERIFY2(again.exitCode() == 0, again.readAllStandardError().constData());
        QCOMPARE(QDir(place.path()).entryList(all), QStringList {QStringLiteral("prices.ods")});
        PriceFileRows rows;
        QString problem;
        QVERIFY2(readPriceSheet(office(), target, &rows, &problem), qPrintable(problem));
        QVERIFY(rows.size() > 1);
        QProcess search;
        search.start(QStringLiteral("pgrep"),
                     {QStringLiteral("-f"), QStringLiteral("printcalc-cli-")});
        QVERIFY(search.waitForFinished());
        QVERIFY2(search.readAllStandardOutput().trimmed().isEmpty(),
                 "a command left its office running");
    }
};

QTEST_GUILESS_MAIN(PriceSheetsTest)
#include "test_price_sheets.moc"
