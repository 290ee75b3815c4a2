// "Экспорт" against a windowed office under Xvfb, as the operator has it, with the templates and
// faults a shop meets sooner or later: the window never freezes, no dialog, no macro, no
// half-written invoice, no silently wrong total, one invoice per press, messages for people.
#include "app/export_panel.h"
#include "app/mainwindow.h"
#include "office/office_testkit.h"
#include "tests/prompt_recorder.h"

#include <QElapsedTimer>
#include <QFrame>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <unistd.h>

using officetest::Cell;

// The longest wait of the window's event loop while a condition comes true.
class LoopWatch
{
public:
    LoopWatch()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this] { m_longest = qMax(m_longest, m_since.restart()); });
        m_since.start();
        m_timer.start();
    }
    qint64 longestMs() const { return m_longest; }

private:
    QTimer m_timer;
    QElapsedTimer m_since;
    qint64 m_longest = 0;
};

class OfficeFaultsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_template;
    PromptRecorder m_prompts;
    MainWindow *m_window = nullptr;
    QStringList m_messages;
    QStringList m_details;

    OfficeSession &office() { return OfficeSession::shared(); }
    ExportPanel *panel() { return m_window->findChild<ExportPanel *>(); }
    QPushButton *exportButton()
    {
        return m_window->findChild<QPushButton *>(QStringLiteral("pushButton_6"));
    }
    QTableWidget *table()
    {
        return m_window->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    }

    void signalOffice(int signal)
    {
        const QList<qint64> pids = office().processIds();
        QVERIFY2(!pids.isEmpty(), "no office process serves the pipe");
        for (qint64 pid : pids)
            ::kill(pid_t(pid), signal);
    }

    void press(const QString &path)
    {
        m_window->findChild<QLineEdit *>(QStringLiteral("lineEdit_11"))->setText(path);
        QTest::mouseClick(exportButton(), Qt::LeftButton);
    }

    // Presses "Экспорт" and waits for the export to end; the new invoice, or null.
    OfficeDocument exportTo(const QString &path)
    {
        const OfficeDocument before = office().lastDocument();
        press(path);
        [&] { QTRY_VERIFY_WITH_TIMEOUT(!panel()->isRunning(), 240000); }();
        const OfficeDocument after = office().lastDocument();
        return after == before ? OfficeDocument() : after;
    }

    void appendLines(int count)
    {
        for (int i = 0; i < count; ++i)
            m_window->appendOrderLine(QStringLiteral("Листовки А5, заказ %1").arg(i + 1),
                                      QString::number(i + 1), QStringLiteral("2,5"),
                                      QStringLiteral("значение=1"), QStringLiteral(""), false);
    }

    QString makeTemplate(const QString &name, officetest::Change change)
    {
        const QString path = m_dir.filePath(name);
        QString error;
        if (!officetest::makeTemplate(office(), m_template, path, change, &error))
            qWarning("template %s not made: %s", qPrintable(name), qPrintable(error));
        return path;
    }

    QStringList tableTexts()
    {
        QStringList texts;
        for (const OrderLine &line : m_window->orderLines())
            texts << line.description << line.quantity << line.unitPrice;
        return texts;
    }

    // A plain Russian message: apart from the template's path, the program's name and the file
    // kinds, no word of Latin letters.
    static bool plainRussian(QString message, const QString &path)
    {
        if (!path.isEmpty())
            message.remove(path);
        message.remove(QRegularExpression(QStringLiteral("LibreOffice|Calc|\\.xlsx|\\.ods")));
        return !message.contains(QRegularExpression(QStringLiteral("[A-Za-z]{3,}")));
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "the windowed office needs an X server");
        QVERIFY(m_dir.isValid());
        m_template = m_dir.filePath(QStringLiteral("invoice.xlsx"));
        QVERIFY(QFile::copy(QFINDTESTDATA("../templates/invoice.xlsx"), m_template));
        // No office left on the program's pipe by an earlier run may answer in place of ours.
        office().kill();
        QTRY_VERIFY_WITH_TIMEOUT(office().processIds().isEmpty(), 10000);
        // Macro security Low in the profile: a bound macro runs unless the export forbids it.
        office().setStartArguments(
            officetest::prepareProfile(m_dir.filePath(QStringLiteral("profile")), false));
        OfficeFailure failure;
        QVERIFY2(office().reach(&failure, 60000), qPrintable(failure.message + failure.details));
    }

    void cleanupTestCase()
    {
        office().setTestHook(nullptr);
        office().kill();
    }

    void init()
    {
        m_messages.clear();
        m_details.clear();
        office().setTestHook(nullptr);
        OfficeFailure failure;
        QVERIFY2(office().reach(&failure, 60000), qPrintable(failure.message + failure.details));
        m_prompts.onTell = [this](const QString &message, const QString &details) {
            m_messages << message;
            m_details << details;
        };
        m_window = new MainWindow(nullptr, &m_prompts);
        OfficeExporter::TimeLimits limits;
        limits.startMs = 60000;
        panel()->exporter()->setTimeLimits(limits);
        m_window->show();
    }

    void cleanup()
    {
        office().setTestHook(nullptr);
        const OfficeDocument last = office().lastDocument();
        if (!last.isNull())
            office().discard(last);
        delete m_window;
        m_window = nullptr;
        QTRY_COMPARE_WITH_TIMEOUT(OfficeExporter::workersRunning(), 0, 120000);
    }

    // Each template is refused before a word is written, the document it opened is closed, the
    // office never shows a dialog (the export ends by itself), and the message says why.
    void refusedTemplates_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("named");
        QTest::newRow("text named .xlsx") << "text"
                                          << "не является книгой";
        QTest::newRow("PNG named .xlsx") << "png"
                                         << "не является книгой";
        QTest::newRow("CSV file") << "csv"
                                  << "не является книгой";
        QTest::newRow("protected sheet") << "protected"
                                         << "лист «Лист1» защищён";
        QTest::newRow("protected but the first rows") << "partly"
                                                      << "лист «Лист1» защищён";
        QTest::newRow("text in row 20") << "text below"
                                        << "заняты строки с 17-й (ячейка C20)";
        QTest::newRow("formula in row 25") << "formula below"
                                           << "заняты строки с 17-й (ячейка F25)";
        QTest::newRow("merged cells in row 18") << "merged"
                                                << "объединённые ячейки";
    }
    void refusedTemplates()
    {
        QFETCH(QString, kind);
        QFETCH(QString, named);
        QString path = m_dir.filePath(kind + QStringLiteral(".xlsx"));
        if (kind == QStringLiteral("text") || kind == QStringLiteral("csv")) {
            if (kind == QStringLiteral("csv"))
                path = m_dir.filePath(QStringLiteral("order.csv"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("Наименование;Кол-во;Цена\nВизитки;100;5\n");
        } else if (kind == QStringLiteral("png")) {
            QImage picture(40, 20, QImage::Format_RGB32);
            picture.fill(Qt::red);
            QVERIFY(picture.save(path, "PNG"));
        } else {
            const QMap<QString, officetest::Change> changes {
                {QStringLiteral("protected"), officetest::Change::ProtectSheet},
                {QStringLiteral("partly"), officetest::Change::ProtectAllButFirstRows},
                {QStringLiteral("text below"), officetest::Change::TextBelow},
                {QStringLiteral("formula below"), officetest::Change::FormulaBelow},
                {QStringLiteral("merged"), officetest::Change::MergedBelow}};
            path = makeTemplate(kind + QStringLiteral(".xlsx"), changes.value(kind));
        }
        appendLines(3);
        const QStringList before = tableTexts();
        const int documents = office().openDocumentCount();

        QVERIFY2(exportTo(path).isNull(), "an invoice stayed open although the export failed");
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages.first().contains(named), qPrintable(m_messages.first()));
        QVERIFY2(plainRussian(m_messages.first(), path), qPrintable(m_messages.first()));
        QVERIFY2(!m_messages.first().contains(QStringLiteral("закройте"), Qt::CaseInsensitive),
                 "the message asks to close a document");
        QCOMPARE(tableTexts(), before);
        QCOMPARE(office().openDocumentCount(), documents);
    }

    // The template's macro is bound to opening and to new documents, and runs when nothing
    // forbids it (macro security Low); the export opens it with macros forbidden.
    void macroNeverRuns()
    {
        const QString path = makeTemplate(QStringLiteral("macro.ods"), officetest::Change::Macro);
        const OfficeDocument control = officetest::openWithMacros(office(), path);
        QVERIFY2(!control.isNull(), "the macro template did not open");
        // The office runs event macros after the load returns.
        QTRY_COMPARE_WITH_TIMEOUT(officetest::cell(control, "H1").text, QStringLiteral("macro ran"),
                                  10000);
        office().discard(control);

        appendLines(2);
        const OfficeDocument invoice = exportTo(path);
        QVERIFY2(!invoice.isNull(), qPrintable(m_messages.join(QStringLiteral(" | "))));
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QStringLiteral(" | "))));
        QTest::qWait(2000); // as long as the macro took to show up above, and more
        QCOMPARE(officetest::cell(invoice, "H1").kind, Cell::Empty);
        QCOMPARE(officetest::cell(invoice, "F18").value, 5.0);
    }

    // Amounts as the operator typed them reach the sheet as numbers the totals can sum.
    void amountsAsTyped()
    {
        m_window->appendOrderLine(QStringLiteral("Баннер"), QStringLiteral("0,5"),
                                  QStringLiteral("1 200"), QStringLiteral("значение=1"),
                                  QStringLiteral(""), false);
        m_window->appendOrderLine(QStringLiteral("Наклейки"), QStringLiteral("1\u00a0000"),
                                  QStringLiteral("0.03"), QStringLiteral("значение=2"),
                                  QStringLiteral(""), false);
        const OfficeDocument invoice
            = exportTo(QStringLiteral("  ") + QUrl::fromLocalFile(m_template).toString());
        QVERIFY2(!invoice.isNull(), qPrintable(m_messages.join(QStringLiteral(" | "))));
        QCOMPARE(officetest::cell(invoice, "D17").value, 0.5);
        QCOMPARE(officetest::cell(invoice, "E17").value, 1200.0);
        QCOMPARE(officetest::cell(invoice, "D18").value, 1000.0);
        QVERIFY(qAbs(officetest::cell(invoice, "F19").value - 630.0) < 1e-9);
        QVERIFY(qAbs(officetest::cell(invoice, "F21").value - 630.0 * 1.18) < 1e-9);
        QCOMPARE(officetest::cell(invoice, "F21").kind, Cell::Formula);
    }

    void amountNotANumberOpensNothing()
    {
        appendLines(2);
        m_window->appendOrderLine(QStringLiteral("Визитки"), QStringLiteral("5 шт"),
                                  QStringLiteral("10"), QStringLiteral("значение=3"),
                                  QStringLiteral(""), false);
        const int documents = office().openDocumentCount();
        QVERIFY(exportTo(m_template).isNull());
        QCOMPARE(
            m_messages,
            QStringList {QStringLiteral("Строка 3: количество «5 шт» не число. Исправьте ячейку в "
                                        "таблице заказа и повторите экспорт.")});
        QCOMPARE(office().openDocumentCount(), documents);
        QCOMPARE(m_window->orderLines().at(2).quantity, QStringLiteral("5 шт"));
    }

    void officeKilledBetweenExports()
    {
        appendLines(2);
        QVERIFY(!exportTo(m_template).isNull());
        const QList<qint64> first = office().processIds();
        signalOffice(SIGKILL);
        QTRY_VERIFY_WITH_TIMEOUT(office().processIds().isEmpty(), 10000);

        const OfficeDocument invoice = exportTo(m_template);
        QVERIFY2(!invoice.isNull(), qPrintable(m_messages.join(QStringLiteral(" | "))));
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QStringLiteral(" | "))));
        QVERIFY2(office().processIds() != first, "no new office was started");
        QCOMPARE(officetest::cell(invoice, "F18").value, 5.0);
    }

    void officeKilledDuringLongExport()
    {
        appendLines(3000);
        const QStringList before = tableTexts();
        office().setTestHook([this](const QString &point) {
            if (point == QStringLiteral("write 2"))
                signalOffice(SIGKILL);
        });
        QVERIFY(exportTo(m_template).isNull());
        office().setTestHook(nullptr);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(
            m_messages.first().startsWith(QStringLiteral("Связь с LibreOffice Calc прервалась")),
            qPrintable(m_messages.first()));
        QVERIFY2(plainRussian(m_messages.first(), QString()), qPrintable(m_messages.first()));
        QVERIFY2(!m_details.first().isEmpty(), "the office's own words are not kept for details");
        QCOMPARE(tableTexts(), before);

        m_messages.clear();
        QVERIFY2(!exportTo(m_template).isNull(),
                 qPrintable(m_messages.join(QStringLiteral(" | "))));
    }

    // Stopped in the middle of the writes: the window answers, asks after the time limit, and
    // after "Подождать" and the office's return the one invoice is complete.
    void officeStoppedThenResumed()
    {
        OfficeExporter::TimeLimits limits = panel()->exporter()->timeLimits();
        limits.writeMs = 1500;
        limits.writePerLineMs = 0;
        panel()->exporter()->setTimeLimits(limits);
        appendLines(1000);
        const int documents = office().openDocumentCount();
        office().setTestHook([this](const QString &point) {
            if (point == QStringLiteral("write 1"))
                signalOffice(SIGSTOP);
        });
        LoopWatch watch;
        press(m_template);
        QMessageBox *question = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT(
            (question = m_window->findChild<QMessageBox *>(QStringLiteral("officeStallQuestion")))
                != nullptr,
            20000);
        QVERIFY2(question->text().startsWith(QStringLiteral("LibreOffice не отвечает")),
                 qPrintable(question->text()));
        QVERIFY(m_window->findChild<QFrame *>(QStringLiteral("exportWaitNotice"))->isVisible());
        QVERIFY2(!exportButton()->isEnabled(), "a second export could start meanwhile");
        QTest::mouseClick(question->findChild<QPushButton *>(QStringLiteral("buttonWaitForOffice")),
                          Qt::LeftButton);
        office().setTestHook(nullptr);
        QTest::qWait(300);
        signalOffice(SIGCONT);
        QTRY_VERIFY_WITH_TIMEOUT(!panel()->isRunning(), 120000);
        QVERIFY2(watch.longestMs() < 300,
                 qPrintable(QStringLiteral("the window froze for %1 ms").arg(watch.longestMs())));
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QStringLiteral(" | "))));
        QCOMPARE(office().openDocumentCount(), documents + 1);
        const OfficeDocument invoice = office().lastDocument();
        QCOMPARE(officetest::cell(invoice, "F1016").value, 2500.0);
        QCOMPARE(officetest::cell(invoice, "E1017").text, QStringLiteral("Итого"));
        QVERIFY(officetest::isVisible(invoice));
    }

    // Stopped while it loads: "Перезапустить LibreOffice" ends it and makes the invoice anew.
    void officeStoppedThenRestarted()
    {
        OfficeExporter::TimeLimits limits = panel()->exporter()->timeLimits();
        limits.openMs = 1500;
        panel()->exporter()->setTimeLimits(limits);
        appendLines(2);
        const QList<qint64> stopped = office().processIds();
        bool once = true;
        office().setTestHook([this, &once](const QString &point) {
            if (point == QStringLiteral("load") && once) {
                once = false;
                signalOffice(SIGSTOP);
            }
        });
        press(m_template);
        QMessageBox *question = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT(
            (question = m_window->findChild<QMessageBox *>(QStringLiteral("officeStallQuestion")))
                != nullptr,
            20000);
        QTest::mouseClick(question->findChild<QPushButton *>(QStringLiteral("buttonRestartOffice")),
                          Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!panel()->isRunning(), 240000);
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QStringLiteral(" | "))));
        for (qint64 pid : stopped)
            QTRY_VERIFY2_WITH_TIMEOUT(!officetest::processRunning(pid),
                                      "the stopped office was left running", 10000);
        QCOMPARE(office().openDocumentCount(), 1);
        QCOMPARE(officetest::cell(office().lastDocument(), "F18").value, 5.0);
    }

    // The operator gives up while the office is stopped in the load: the window is free at once,
    // and the document the office opens after it resumes is closed without being shown.
    void cancelledExportLeavesNothing()
    {
        appendLines(2);
        const int documents = office().openDocumentCount();
        office().setTestHook([this](const QString &point) {
            if (point == QStringLiteral("load"))
                signalOffice(SIGSTOP);
        });
        press(m_template);
        auto *notice = m_window->findChild<QFrame *>(QStringLiteral("exportWaitNotice"));
        QTRY_VERIFY_WITH_TIMEOUT(notice->isVisible(), 5000);
        QTest::mouseClick(
            notice->findChild<QPushButton *>(QStringLiteral("pushButtonCancelExport")),
            Qt::LeftButton);
        QVERIFY(!panel()->isRunning());
        QVERIFY(exportButton()->isEnabled());
        QVERIFY(!notice->isVisible());
        office().setTestHook(nullptr);
        signalOffice(SIGCONT);
        QTRY_COMPARE_WITH_TIMEOUT(OfficeExporter::workersRunning(), 0, 120000);
        QTRY_COMPARE_WITH_TIMEOUT(office().openDocumentCount(), documents, 30000);
        QVERIFY(m_messages.isEmpty());
    }

    // Two presses while the office starts make one invoice.
    void doublePressWhileOfficeStarts()
    {
        office().kill();
        QTRY_VERIFY_WITH_TIMEOUT(office().processIds().isEmpty(), 10000);
        appendLines(2);
        press(m_template);
        QTest::mouseClick(exportButton(), Qt::LeftButton);
        QMetaObject::invokeMethod(m_window, "exportToExcel");
        QTRY_VERIFY_WITH_TIMEOUT(!panel()->isRunning(), 150000);
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QStringLiteral(" | "))));
        QCOMPARE(office().openDocumentCount(), 1);
    }
};

QTEST_MAIN(OfficeFaultsTest)
#include "test_office_faults.moc"
