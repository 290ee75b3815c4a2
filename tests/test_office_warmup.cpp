// The office started ahead of the first export: after the window's first paint, with no window of
// its own (not headless, so that it can show the invoice), off by the setting "warmup" in [office];
// and closed when the program ends unless the operator still has an invoice open in it.
#include "app/export_panel.h"
#include "app/mainwindow.h"
#include "office/office_testkit.h"
#include "tests/prompt_recorder.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class FirstPaint : public QObject
{
public:
    qint64 at = -1;
    QElapsedTimer clock;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && at < 0)
            at = clock.elapsed();
        return false;
    }
};

class OfficeWarmUpTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_template;

    OfficeSession &office() { return OfficeSession::shared(); }

    void setWarmUp(const char *value)
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("config/printcalc"));
        QFile file(m_dir.filePath(QStringLiteral("config/printcalc/printcalc.ini")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("[office]\nwarmup=") + value + "\n");
    }

    QByteArray officeCommandLine()
    {
        for (qint64 pid : office().processIds()) {
            QFile file(QStringLiteral("/proc/%1/cmdline").arg(pid));
            if (file.open(QIODevice::ReadOnly)) {
                const QByteArray line = file.readAll().replace('\0', ' ');
                if (line.contains("soffice.bin"))
                    return line;
            }
        }
        return QByteArray();
    }

    // The program's end as the operator brings it about: the event loop quits.
    void quitProgram()
    {
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        qApp->exec();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "the windowed office needs an X server");
        QVERIFY(m_dir.isValid());
        m_template = QFINDTESTDATA("../templates/invoice.xlsx");
        QVERIFY(!m_template.isEmpty());
        // The settings file is looked for under XDG_CONFIG_HOME.
        qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toUtf8());
        office().setStartArguments(
            officetest::prepareProfile(m_dir.filePath(QStringLiteral("profile")), false));
        office().kill();
        QTRY_VERIFY_WITH_TIMEOUT(office().processIds().isEmpty(), 10000);
    }

    void cleanupTestCase() { office().kill(); }

    void offBySetting()
    {
        setWarmUp("false");
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Nothing may start: give it well past the moment a warm-up would begin.
        QTest::qWait(1500);
        QVERIFY(!window.findChild<ExportPanel *>()->exporter()->isWarmingUp());
        QVERIFY2(office().processIds().isEmpty(), "an office started although warm-up is off");
    }

    void startsAfterFirstPaintWithoutWindow()
    {
        setWarmUp("true");
        FirstPaint paint;
        PromptRecorder prompts;
        MainWindow window(nullptr, &prompts);
        window.installEventFilter(&paint);
        auto *exporter = window.findChild<ExportPanel *>()->exporter();
        QSignalSpy warmed(exporter, &OfficeExporter::warmUpFinished);
        paint.clock.start();
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(!office().processIds().isEmpty(), 10000);
        const qint64 officeSeen = paint.clock.elapsed();
        QVERIFY2(paint.at >= 0 && paint.at < officeSeen,
                 "the office started before the first paint");
        QTRY_COMPARE_WITH_TIMEOUT(warmed.count(), 1, 240000);
        QCOMPARE(warmed.first().first().toBool(), true);
        const QByteArray line = officeCommandLine();
        QVERIFY2(line.contains("--invisible") && !line.contains("--headless"), line.constData());

        // The first export uses the warm office: no second start, the invoice is shown.
        const qint64 started = office().startedProcessId();
        QStringList messages;
        prompts.onTell
            = [&messages](const QString &message, const QString &) { messages << message; };
        ExportRequest request;
        request.typedPath = m_template;
        request.lines = {{QStringLiteral("Визитки"), QStringLiteral("100"), QStringLiteral("5")}};
        window.findChild<ExportPanel *>()->exportOrder(request);
        QTRY_VERIFY_WITH_TIMEOUT(!exporter->isRunning(), 120000);
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(QStringLiteral(" | "))));
        QCOMPARE(office().startedProcessId(), started);
        QVERIFY(officetest::isVisible(office().lastDocument()));
    }

    // Runs after the export above: its invoice is still open for the operator.
    void keptAtExitWhileAnInvoiceIsOpen()
    {
        setWarmUp("false");
        MainWindow window;
        const QList<qint64> running = office().processIds();
        QVERIFY(!running.isEmpty());
        quitProgram();
        QCOMPARE(office().processIds(), running);
        office().discard(office().lastDocument());
    }

    void closedAtExit()
    {
        setWarmUp("false");
        MainWindow window;
        QVERIFY(office().isConnected());
        QCOMPARE(office().visibleDocumentCount(), 0);
        quitProgram();
        QTRY_VERIFY_WITH_TIMEOUT(office().processIds().isEmpty(), 10000);
    }
};

QTEST_MAIN(OfficeWarmUpTest)
#include "test_office_warmup.moc"
