// The office the window started goes with the program, whether the window is closed or the
// program is told to end by SIGTERM (a logout) or SIGHUP (its terminal gone); and each home has an
// office of its own. Real programs, real signals, a real office under Xvfb.
#include "office/office_profile.h"
#include "office/office_session.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <unistd.h>

class OfficeLifetimeTest : public QObject
{
    Q_OBJECT

    // The program's window started with a home of its own; its office starts behind it.
    static void start(QProcess *program, const QString &home)
    {
        QDir().mkpath(home + QStringLiteral("/config/printcalc"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.remove(QStringLiteral("PRINTCALC_DATABASE"));
        program->setProcessEnvironment(environment);
        program->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program->start(QStringLiteral(PRINTCALC_PROGRAM), QStringList());
    }

    static QList<qint64> officeOf(const QString &home)
    {
        return OfficeSession(OfficeSession::pipeNameFor(home)).processIds();
    }

    // Whether one of the processes was started with the argument.
    static bool startedWith(const QList<qint64> &pids, const QString &argument)
    {
        for (const qint64 pid : pids) {
            QFile file(QStringLiteral("/proc/%1/cmdline").arg(pid));
            if (file.open(QIODevice::ReadOnly)
                && file.readAll().split('\0').contains(argument.toUtf8()))
                return true;
        }
        return false;
    }

    static bool waitFor(const std::function<bool()> &condition, int msecs)
    {
        QElapsedTimer timer;
        timer.start();
        while (!condition()) {
            if (timer.elapsed() > msecs)
                return false;
            QTest::qWait(200);
        }
        return true;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "the windowed office needs an X server");
    }

    void pipeNamedByTheHome_data()
    {
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("pipe");
        QTest::newRow("a user's home") << "/home/kassa"
                                       << "printcalc-office-kassa-51db4a66";
        QTest::newRow("the same, typed with a slash") << "/home/kassa/"
                                                      << "printcalc-office-kassa-51db4a66";
        QTest::newRow("root's home") << "/root"
                                     << "printcalc-office-root-1fc90f46";
        QTest::newRow("Cyrillic and a blank") << "/home/Кассир 2"
                                              << "printcalc-office-2-4f049cfc";
        QTest::newRow("no folder name") << "/"
                                        << "printcalc-office-42099b4a";
    }
    void pipeNamedByTheHome()
    {
        QFETCH(QString, home);
        QFETCH(QString, pipe);
        QCOMPARE(OfficeSession::pipeNameFor(home), pipe);
    }

    // Told to end, the program ends as its window's close does, and takes its office along.
    void officeEndsWithTheProgram_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void officeEndsWithTheProgram()
    {
        QFETCH(int, signal);
        QTemporaryDir first, second;
        QProcess one, two;
        start(&one, first.path());
        start(&two, second.path());
        QVERIFY2(waitFor([&] { return !officeOf(first.path()).isEmpty(); }, 180000),
                 "the first program started no office");
        QVERIFY2(waitFor([&] { return !officeOf(second.path()).isEmpty(); }, 180000),
                 "the second program started no office of its own");
        const QList<qint64> firstOffice = officeOf(first.path());
        const QList<qint64> secondOffice = officeOf(second.path());
        QVERIFY2(!QSet<qint64>(firstOffice.begin(), firstOffice.end())
                      .intersects(QSet<qint64>(secondOffice.begin(), secondOffice.end())),
                 "two homes share one office");
        // Each on the program's own profile under its home, whose settings open the invoice in
        // Russian with no tip of the day and no Start Center.
        const QString profile = first.path() + QStringLiteral("/data/printcalc/office-profile");
        QVERIFY2(startedWith(firstOffice, officeprofile::installationArgument(profile)),
                 "the office does not run on the program's own profile");
        QFile settings(profile + QStringLiteral("/user/registrymodifications.xcu"));
        QVERIFY2(settings.open(QIODevice::ReadOnly), "the program's profile has no settings");
        const QString text = QString::fromUtf8(settings.readAll());
        QCOMPARE(officeprofile::withSettings(text), text);
        // The office takes a moment to answer on its pipe after its process appears.
        QTest::qWait(3000);
        ::kill(pid_t(one.processId()), signal);
        QVERIFY2(one.waitForFinished(30000), "the program did not end on the signal");
        QCOMPARE(one.exitStatus(), QProcess::NormalExit);
        QCOMPARE(one.exitCode(), 0);
        QVERIFY2(waitFor([&] { return officeOf(first.path()).isEmpty(); }, 30000),
                 "the office stayed after its program ended");
        // The other home's office is not this program's to end.
        QVERIFY2(!officeOf(second.path()).isEmpty(), "the other home's office went too");
        two.terminate();
        QVERIFY(two.waitForFinished(30000));
        QVERIFY2(waitFor([&] { return officeOf(second.path()).isEmpty(); }, 30000),
                 "the second office stayed after its program ended");
    }
};

QTEST_GUILESS_MAIN(OfficeLifetimeTest)
#include "test_office_lifetime.moc"
