// The command line as an ordinary user meets folders and files it may not write. Root writes
// anything, so run as root the suite starts the program as `nobody`, in a home that user owns;
// run as anyone else, as that user. Every refusal exits 1 with its cause in Russian, leaves no
// half file and claims nothing written.
#include "storage/connection.h"
#include "storage/journal.h"
#include "storage/records.h"
#include "tests/program_run.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

class ReadOnlyUserTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString program; // a copy the user may run, the build folder being root's

    QString path(const QString &name) const { return dir.filePath(name); }
    QString url() const
    {
        return QStringLiteral("sqlite://") + path(QStringLiteral("shop/shop.sqlite"));
    }

    ProgramRun runAsUser(const QStringList &arguments) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "QT_QPA_PLATFORM", "PRINTCALC_DATABASE"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("home/data")));
        environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        process.setProcessEnvironment(environment);
        if (geteuid() == 0)
            process.start(
                QStringLiteral("/usr/bin/setpriv"),
                QStringList {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                             QStringLiteral("--clear-groups"), QStringLiteral("--"), program}
                    + arguments);
        else
            process.start(program, arguments);
        process.closeWriteChannel();
        const bool ended = process.waitForFinished(60000);
        return {ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    // Everything under the test's folder belongs to the user the program runs as.
    bool giveToUser() const
    {
        return geteuid() != 0
            || QProcess::execute(
                   QStringLiteral("chown"),
                   {QStringLiteral("-R"), QStringLiteral("nobody:nogroup"), dir.path()})
            == 0;
    }

    // What the journal holds; read as root, the files then given back to the user.
    QString journalCounts() const
    {
        JournalCounts counts;
        {
            Connection connection;
            if (!connection.open(DatabaseUrl::parse(url()), QStringLiteral("read"))
                || !Journal(connection).counts(&counts))
                return QStringLiteral("unreadable");
        }
        giveToUser();
        return QStringLiteral("%1 invoices, %2 void, %3 documents")
            .arg(counts.invoices)
            .arg(counts.voided)
            .arg(counts.documents);
    }

    static void setWritable(const QString &target, bool writable)
    {
        const QFile::Permissions write = QFile::WriteOwner | QFile::WriteUser;
        const QFile::Permissions now = QFile::permissions(target);
        QFile::setPermissions(target, writable ? now | write : now & ~write);
    }

    static QStringList words(const char *line)
    {
        return QString::fromLatin1(line).split(QLatin1Char(' '));
    }

    static QStringList entries(const QString &folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        for (const char *folder : {"home/data", "config/printcalc", "shop", "out"})
            QVERIFY(QDir().mkpath(path(QString::fromLatin1(folder))));
        QFile config(path(QStringLiteral("config/printcalc/printcalc.ini")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(QStringLiteral("[counter]\nname=стойка-7\n[documents]\npdfFolder=%1\n"
                                    "[tax]\nmode=included\nrate=22\n[requisites]\n"
                                    "name=ООО «Ясный лист»\ninn=7707083893\nkpp=770701001\n"
                                    "bankName=АО «Банк Энска»\nbik=044525225\n"
                                    "settlementAccount=40702810938000012345\n"
                                    "corrAccount=30101810400000000225\n")
                         .arg(path(QStringLiteral("out")))
                         .toUtf8());
        config.close();
        {
            Connection connection;
            QVERIFY(connection.open(DatabaseUrl::parse(url()), QStringLiteral("fill")));
            InvoiceDraft draft;
            draft.orderUid = QStringLiteral("a");
            draft.created = QDateTime(QDate(2026, 3, 4), QTime(11, 0));
            draft.counter = QStringLiteral("стойка-1");
            draft.lines = {{QStringLiteral("Визитки 90х50 4+4"), QStringLiteral("1000"),
                            QStringLiteral("1.32"), QStringLiteral("vz-90x50-44")}};
            TaxSettings tax;
            tax.given = true;
            tax.rule = {TaxMode::Included, 22};
            setTaxOfItsDay(&draft, tax);
            QCOMPARE(Journal(connection).storeInvoice(draft, 1), qint64(1));
        }
        program = path(QStringLiteral("printcalc"));
        QVERIFY(QFile::copy(QStringLiteral(PRINTCALC_PROGRAM), program));
        QVERIFY(QFile::setPermissions(
            program, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        QVERIFY(QFile::setPermissions(dir.path(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                          | QFile::ReadOther | QFile::ExeOther));
        QVERIFY(giveToUser());
    }

    // What was already in the folder stays as it was: no half file, no temporary one beside.
    void exportRefused_data()
    {
        QTest::addColumn<QStringList>("command"); // "@" is the target's path
        QTest::addColumn<QString>("target"); // under "out"
        QTest::addColumn<QString>("locked"); // "folder", "file" or "" for none
        QTest::addColumn<int>("status");
        // A part of standard error; "@" is the target's path, "%" the folder it is made in.
        QTest::addColumn<QString>("err");
        const QStringList journal = words("--journal export @");
        const QStringList prices = words("--prices export @");
        QTest::newRow("journal, folder writable") << journal << "j.csv"
                                                  << "" << 0 << "";
        QTest::newRow("journal into a read-only folder")
            << journal << "j.csv"
            << "folder" << 1
            << "Файл @ не открыть для записи: нет прав на запись (Permission denied)";
        QTest::newRow("journal over a read-only file")
            << journal << "old.csv"
            << "file" << 1
            << "Файл @ не открыть для записи: нет прав на запись (Existing file @ is not writable)";
        QTest::newRow("price list into a read-only folder")
            << prices << "p.csv"
            << "folder" << 1
            << "Файл @ не открыть для записи: нет прав на запись (Permission denied)";
        QTest::newRow("price list over a read-only file")
            << prices << "old.csv"
            << "file" << 1
            << "Файл @ не открыть для записи: нет прав на запись (Existing file @ is not writable)";
        QTest::newRow("invoice PDF, folder writable") << words("--pdf invoice 1 @") << "s.pdf"
                                                      << "" << 0 << "";
        QTest::newRow("invoice PDF into a read-only folder")
            << words("--pdf invoice 1 @") << "s.pdf"
            << "folder" << 1 << "PDF «@» не записан: нет прав на запись (Permission denied)";
        QTest::newRow("act PDF into a read-only folder")
            << words("--pdf act 1 @") << "a.pdf"
            << "folder" << 1 << "PDF «@» не записан: нет прав на запись (Permission denied)";
        QTest::newRow("invoice PDF into the settings' read-only folder")
            << words("--pdf invoice 1") << ""
            << "folder" << 1
            << "PDF «%/Счёт-1-2026-03-04.pdf» не записан: нет прав на запись (Permission denied)";
    }
    void exportRefused()
    {
        QFETCH(QStringList, command);
        QFETCH(QString, target);
        QFETCH(QString, locked);
        QFETCH(int, status);
        QFETCH(QString, err);
        QTemporaryDir place(path(QStringLiteral("out/XXXXXX")));
        QVERIFY(place.isValid());
        QFile old(place.filePath(QStringLiteral("old.csv")));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        QVERIFY(giveToUser());
        const QString file = target.isEmpty() ? QString() : place.filePath(target);
        command.replaceInStrings(QStringLiteral("@"), file);
        const QStringList before = entries(place.path());
        const QString journalBefore = journalCounts();
        const QString lockedPath = locked == QLatin1String("folder") ? place.path() : file;
        if (!locked.isEmpty())
            setWritable(lockedPath, false);
        // The settings' folder is the one made for this row.
        QFile config(path(QStringLiteral("config/printcalc/printcalc.ini")));
        QVERIFY(config.open(QIODevice::ReadOnly));
        const QByteArray settings = config.readAll();
        config.close();
        QByteArray pointed = settings;
        pointed.replace(QFile::encodeName(path(QStringLiteral("out")) + QLatin1Char('\n')),
                        QFile::encodeName(place.path() + QLatin1Char('\n')));
        QVERIFY(config.open(QIODevice::WriteOnly) && config.write(pointed) == pointed.size());
        config.close();
        const ProgramRun result
            = runAsUser(command + QStringList {QStringLiteral("--database"), url()});
        QVERIFY(config.open(QIODevice::WriteOnly) && config.write(settings) == settings.size());
        config.close();
        if (!locked.isEmpty())
            setWritable(lockedPath, true);
        QVERIFY2(result.status == status, qPrintable(result.out + result.err));
        QVERIFY2(result.err.contains(QString(err)
                                         .replace(QLatin1Char('@'), file)
                                         .replace(QLatin1Char('%'), place.path())),
                 qPrintable(result.err));
        QStringList after = entries(place.path());
        if (status == 0) {
            QVERIFY2(after.removeOne(target), qPrintable(after.join(QLatin1Char(' '))));
            QVERIFY2(QFileInfo(place.filePath(target)).size() > 0, "an empty file written");
            return;
        }
        QCOMPARE(after, before);
        // No document recorded, no number voided.
        QCOMPARE(journalCounts(), journalBefore);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old"));
        // Nothing claimed: no "Выгружен", no "записан" of a file.
        QVERIFY2(result.out.isEmpty(), qPrintable(result.out));
        QVERIFY2(!result.err.contains(QStringLiteral("Выгружен")), qPrintable(result.err));
    }

    // `--check` tells a database this user cannot write, and once its rights are given back,
    // finds it writable: nothing the refused check left beside it keeps it read-only.
    void checkReadOnly_data()
    {
        QTest::addColumn<QString>("locked"); // "file", "folder" or "" for none
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err"); // "@" is the database's path
        QTest::newRow("writable") << "" << 0 << "";
        QTest::newRow("the file read-only") << "file" << 1
                                            << "Файл базы данных @ или его папка недоступны для "
                                               "записи (attempt to write a readonly database";
        QTest::newRow("its folder read-only") << "folder" << 1
                                              << "Файл базы данных @ или его папка недоступны для "
                                                 "записи (attempt to write a readonly database";
    }
    void checkReadOnly()
    {
        QFETCH(QString, locked);
        QFETCH(int, status);
        QFETCH(QString, err);
        const QString file = path(QStringLiteral("shop/shop.sqlite"));
        const QString lockedPath
            = locked == QLatin1String("folder") ? path(QStringLiteral("shop")) : file;
        QFile database(file);
        QVERIFY(database.open(QIODevice::ReadOnly));
        const QByteArray before = database.readAll();
        database.close();
        const QStringList check {QStringLiteral("--check"), QStringLiteral("--database"), url()};
        if (!locked.isEmpty())
            setWritable(lockedPath, false);
        const ProgramRun result = runAsUser(check);
        if (!locked.isEmpty())
            setWritable(lockedPath, true);
        QVERIFY2(result.status == status, qPrintable(result.out + result.err));
        QVERIFY2(result.err.contains(QString(err).replace(QLatin1Char('@'), file)),
                 qPrintable(result.err));
        QVERIFY(database.open(QIODevice::ReadOnly));
        QVERIFY2(database.readAll() == before, "the check changed the database");
        database.close();
        const ProgramRun again = runAsUser(check);
        QVERIFY2(again.status == 0, qPrintable(again.out + again.err));
        QCOMPARE(entries(path(QStringLiteral("shop"))),
                 QStringList {QStringLiteral("shop.sqlite")});
    }
};

QTEST_GUILESS_MAIN(ReadOnlyUserTest)
#include "test_read_only_user.moc"
