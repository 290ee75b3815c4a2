// "Экспорт" against the real office, run headless with a profile of its own: the invoice is read
// back from the opened document through UNO, and failures must stop before anything is written.
#include "app/export_panel.h"
#include "app/mainwindow.h"
#include "office/office_testkit.h"
#include "order/order.h"
#include "tests/prompt_recorder.h"

#include <QCryptographicHash>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <unistd.h>

using officetest::Cell;

static const char *const HeadSignature
    = "Руководитель предприятия_____________________Берется из проги где то";
static const char *const AccountantSignature
    = "Главный бухгалтер____________________________Берется из проги где то";

static QByteArray fileHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// QTest::keyClicks knows only ASCII; Cyrillic paths and descriptions are typed key by key with
// their text, as a keyboard layout would deliver them.
static void typeText(QWidget *widget, const QString &text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

static bool processAlive(qint64 pid)
{
    return officetest::processRunning(pid);
}

// Framed: wrapped, centred both ways, a line on every edge.
static bool isFramed(const Cell &cell, QString *why)
{
    if (cell.wrapped && cell.centred && cell.borderEdges == 4)
        return true;
    *why = QStringLiteral("wrap %1, centred %2, edges %3")
               .arg(cell.wrapped)
               .arg(cell.centred)
               .arg(cell.borderEdges);
    return false;
}

class ExportTest : public QObject
{
    Q_OBJECT

public:
    ExportTest() = default;

private:
    QTemporaryDir m_dir;
    QString m_template;
    QString m_withoutSheet;
    PromptRecorder m_prompts;
    MainWindow *m_window = nullptr;
    QStringList m_messages;
    QVector<qint64> m_officePids;

    OfficeSession &office() { return OfficeSession::shared(); }

    QTableWidget *table()
    {
        return m_window->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    }

    int openDocuments() { return office().openDocumentCount(); }

    // Types the template path as the operator would and presses QStringLiteral("Экспорт"); the
    // document the export opened, or null when it opened none.
    OfficeDocument exportTo(const QString &path)
    {
        auto *pathField = m_window->findChild<QLineEdit *>(QStringLiteral("lineEdit_11"));
        pathField->selectAll();
        QTest::keyClick(pathField, Qt::Key_Delete);
        typeText(pathField, path);
        const OfficeDocument before = office().lastDocument();
        auto *panel = m_window->findChild<ExportPanel *>();
        QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("pushButton_6")),
                          Qt::LeftButton);
        // The export runs off the window's thread; the window goes on meanwhile.
        [&] { QTRY_VERIFY_WITH_TIMEOUT(!panel->isRunning(), 60000); }();
        const OfficeDocument after = office().lastDocument();
        return after == before ? OfficeDocument() : after;
    }

    static Cell cellOf(const OfficeDocument &document, const char *name)
    {
        return officetest::cell(document, name);
    }

    QStringList tableTexts()
    {
        QStringList texts;
        for (int row = 0; row < table()->rowCount(); ++row)
            for (int column = 0; column < 5; ++column)
                texts << (table()->item(row, column) ? table()->item(row, column)->text()
                                                     : QStringLiteral("-"));
        return texts;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_dir.isValid(), "no temporary folder");
        const QString source = QFINDTESTDATA("../templates/invoice.xlsx");
        QVERIFY2(!source.isEmpty(), "the sample template templates/invoice.xlsx is missing");
        m_template = m_dir.filePath(QStringLiteral("invoice.xlsx"));
        QVERIFY(QFile::copy(source, m_template));

        // One headless office for the whole run, on the program's own pipe, with its own profile;
        // none left by an earlier run may answer in its place.
        office().kill();
        QTRY_VERIFY_WITH_TIMEOUT(office().processIds().isEmpty(), 10000);
        office().setStartArguments(
            officetest::prepareProfile(m_dir.filePath(QStringLiteral("profile")), true));
        QElapsedTimer started;
        started.start();
        OfficeFailure failure;
        QVERIFY2(office().reach(&failure), qPrintable(failure.message + failure.details));
        qInfo("office reached in %lld ms", started.elapsed());
        m_officePids << office().startedProcessId();

        m_withoutSheet = m_dir.filePath(QStringLiteral("no-invoice-sheet.xlsx"));
        QString error;
        QVERIFY2(officetest::makeTemplate(office(), m_template, m_withoutSheet,
                                          officetest::Change::RenameSheet, &error),
                 qPrintable(error));
        QVERIFY2(QFileInfo::exists(m_withoutSheet), "the workbook without Лист1 was not written");
    }

    void cleanupTestCase()
    {
        office().terminate();
        for (qint64 pid : m_officePids) {
            if (pid <= 0)
                continue;
            QTRY_VERIFY_WITH_TIMEOUT(!processAlive(pid), 10000);
            if (processAlive(pid)) {
                const pid_t group = ::getpgid(pid_t(pid));
                if (group > 1)
                    ::kill(-group, SIGKILL);
            }
        }
    }

    void init()
    {
        m_messages.clear();
        m_prompts.onTell
            = [this](const QString &message, const QString &) { m_messages << message; };
        m_window = new MainWindow(nullptr, &m_prompts);
        m_window->show();
    }

    void cleanup()
    {
        // Every test leaves the office as it found it: no document of ours stays open.
        const OfficeDocument last = office().lastDocument();
        if (!last.isNull())
            office().discard(last);
        delete m_window;
        m_window = nullptr;
    }

    // An empty order makes no invoice: the operator is told, and the office is not asked to open
    // anything.
    void emptyOrder()
    {
        const int before = openDocuments();
        const auto document = exportTo(m_template);
        QVERIFY2(document.isNull(), "an invoice opened for an empty order");
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages.first().startsWith(QStringLiteral("Заказ пуст")),
                 qPrintable(m_messages.first()));
        QCOMPARE(m_prompts.titles.value(m_prompts.titles.size() - 1), QStringLiteral("Экспорт"));
        QCOMPARE(openDocuments(), before);
    }

    // Lines as three different pages append them; the sums and formulas are computed by the sheet.
    void linesOfDifferentPages()
    {
        m_window->appendOrderLine(QStringLiteral("А4 (210х297 мм.) 4+4 Матовая 350"),
                                  QStringLiteral("100"), QStringLiteral("132"),
                                  QStringLiteral("значение=002428"),
                                  QStringLiteral("Формат Цветность Бумага Плотность "), true);
        m_window->appendOrderLine(QStringLiteral("Интерьерная печать: плёнка, 2 м²"),
                                  QStringLiteral("2"), QStringLiteral("0.03"),
                                  QStringLiteral("значение=0521"),
                                  QStringLiteral("Материал Разрешение "), false);
        m_window->appendOrderLine(QStringLiteral("Кружка белая, печать по кругу"),
                                  QStringLiteral("10"), QStringLiteral("1.5"),
                                  QStringLiteral("значение=0612"),
                                  QStringLiteral("Изделие Печать "), false);
        const QStringList before = tableTexts();

        const auto document = exportTo(m_template);
        QVERIFY2(!document.isNull(),
                 qPrintable(QStringLiteral("no invoice opened: ")
                            + m_messages.join(QStringLiteral(" | "))));
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QStringLiteral(" | "))));
        QCOMPARE(tableTexts(), before);

        const char *const descriptions[]
            = {"А4 (210х297 мм.) 4+4 Матовая 350", "Интерьерная печать: плёнка, 2 м²",
               "Кружка белая, печать по кругу"};
        const double quantities[] = {100, 2, 10};
        const double prices[] = {132, 0.03, 1.5};
        for (int i = 0; i < 3; ++i) {
            const QByteArray row = QByteArray::number(17 + i);
            const Cell number = cellOf(document, QByteArray("B" + row));
            QCOMPARE(number.kind, Cell::Value);
            QCOMPARE(number.value, double(i + 1));
            QCOMPARE(cellOf(document, QByteArray("C" + row)).text,
                     QString::fromUtf8(descriptions[i]));
            QCOMPARE(cellOf(document, QByteArray("D" + row)).kind, Cell::Value);
            QCOMPARE(cellOf(document, QByteArray("D" + row)).value, quantities[i]);
            QCOMPARE(cellOf(document, QByteArray("E" + row)).value, prices[i]);
            QVERIFY2(qAbs(cellOf(document, QByteArray("F" + row)).value - quantities[i] * prices[i])
                         < 1e-9,
                     qPrintable(QStringLiteral("line sum in F") + QString::fromLatin1(row)));
        }
        const double subtotal = 13200 + 0.06 + 15;
        QCOMPARE(cellOf(document, "E20").text, QStringLiteral("Итого"));
        QCOMPARE(cellOf(document, "F20").formula, QStringLiteral("=SUM(F17:F19)"));
        QVERIFY2(qAbs(cellOf(document, "F20").value - subtotal) < 1e-6, "subtotal");
        QVERIFY2(qAbs(cellOf(document, "F21").value - subtotal * 0.18) < 1e-6, "tax");
        QVERIFY2(qAbs(cellOf(document, "F22").value - subtotal * 1.18) < 1e-6, "total");
        QCOMPARE(cellOf(document, "B25").text, QString::fromUtf8(HeadSignature));
        QCOMPARE(cellOf(document, "B27").text, QString::fromUtf8(AccountantSignature));
        QCOMPARE(cellOf(document, "C29").text, QStringLiteral("М.П."));
        QCOMPARE(cellOf(document, "B22").kind, Cell::Empty);

        // Live formulas: the operator's edit of a line sum carries through to the total.
        officetest::setCellValue(document, "F17", 100);
        QVERIFY2(qAbs(cellOf(document, "F22").value - (100 + 0.06 + 15) * 1.18) < 1e-6,
                 "the total did not follow an edited line sum");
    }

    void decimalAndExponentPrices()
    {
        m_window->appendOrderLine(QStringLiteral("Наклейки"), QStringLiteral("2"),
                                  QStringLiteral("0.03"), QStringLiteral("значение=1"),
                                  QStringLiteral(""), false);
        m_window->appendOrderLine(QStringLiteral("Баннер"), QStringLiteral("1"),
                                  QStringLiteral("5.40001e+07"), QStringLiteral("значение=2"),
                                  QStringLiteral(""), false);
        const auto document = exportTo(m_template);
        QVERIFY2(!document.isNull(),
                 qPrintable(QStringLiteral("no invoice opened: ")
                            + m_messages.join(QStringLiteral(" | "))));
        QVERIFY2(qAbs(cellOf(document, "F17").value - 0.06) < 1e-12, "0.03 × 2");
        QCOMPARE(cellOf(document, "E18").kind, Cell::Value);
        QCOMPARE(cellOf(document, "E18").value, 54000100.0);
        QCOMPARE(cellOf(document, "F18").value, 54000100.0);
    }

    // The operator edits cells in place; the export takes the texts as they are now: descriptions
    // as texts, quantities only as numbers (an edited formula is refused before anything opens).
    void editedCellsAsTexts()
    {
        m_window->appendOrderLine(QStringLiteral("Визитки"), QStringLiteral("100"),
                                  QStringLiteral("5"), QStringLiteral("значение=3"),
                                  QStringLiteral(""), true);
        m_window->appendOrderLine(QStringLiteral("Листовки"), QStringLiteral("50"),
                                  QStringLiteral("2"), QStringLiteral("значение=4"),
                                  QStringLiteral(""), true);
        const auto edit = [this](int row, int column, const QString &text) {
            table()->setCurrentCell(row, column);
            table()->editItem(table()->item(row, column));
            auto *editor = table()->viewport()->findChild<QLineEdit *>();
            QVERIFY2(editor, "no cell editor opened");
            editor->selectAll();
            typeText(editor, text);
            QTest::keyClick(editor, Qt::Key_Return);
            // The delegate commits and closes its editor from the event loop.
            QTRY_COMPARE(table()->item(row, column)->text(), text);
            QTRY_VERIFY(!table()->viewport()->findChild<QLineEdit *>());
        };
        edit(0, 0, QStringLiteral("Визитки на картоне 300 г"));
        edit(1, 0, QStringLiteral("=1+1"));
        edit(1, 1, QStringLiteral("=2*3"));
        const int documentsBefore = openDocuments();
        QVERIFY2(exportTo(m_template).isNull(), "an invoice opened with a formula as quantity");
        QCOMPARE(
            m_messages,
            QStringList {QStringLiteral("Строка 2: количество «=2*3» не число. Исправьте ячейку "
                                        "в таблице заказа и повторите экспорт.")});
        QCOMPARE(openDocuments(), documentsBefore);
        m_messages.clear();
        edit(1, 1, QStringLiteral("6"));

        const auto document = exportTo(m_template);
        QVERIFY2(!document.isNull(),
                 qPrintable(QStringLiteral("no invoice opened: ")
                            + m_messages.join(QStringLiteral(" | "))));
        QCOMPARE(cellOf(document, "C17").text, QStringLiteral("Визитки на картоне 300 г"));
        QVERIFY2(cellOf(document, "C18").kind == Cell::Text, "C18 was evaluated");
        QCOMPARE(cellOf(document, "C18").text, QStringLiteral("=1+1"));
        QCOMPARE(cellOf(document, "D18").kind, Cell::Value);
        QCOMPARE(cellOf(document, "F18").value, 12.0);
    }

    void framedAndPlainCells()
    {
        m_window->appendOrderLine(
            QStringLiteral("Длинное описание заказа, которое не помещается в одну строку "
                           "ячейки и должно переноситься"),
            QStringLiteral("3"), QStringLiteral("7"), QStringLiteral("значение=5"),
            QStringLiteral(""), false);
        m_window->appendOrderLine(QStringLiteral("Плакат"), QStringLiteral("1"),
                                  QStringLiteral("90"), QStringLiteral("значение=6"),
                                  QStringLiteral(""), false);
        const auto document = exportTo(m_template);
        QVERIFY2(!document.isNull(),
                 qPrintable(QStringLiteral("no invoice opened: ")
                            + m_messages.join(QStringLiteral(" | "))));
        QStringList framed;
        for (int row = 17; row <= 18; ++row)
            for (char column = 'B'; column <= 'F'; ++column)
                framed << QString(QLatin1Char(column)) + QString::number(row);
        framed << QStringLiteral("E19") << QStringLiteral("F19") << QStringLiteral("E20")
               << QStringLiteral("F20") << QStringLiteral("E21") << QStringLiteral("F21");
        for (const QString &name : framed) {
            QString why;
            QVERIFY2(isFramed(cellOf(document, name.toLatin1()), &why),
                     qPrintable(name + QStringLiteral(" is not framed: ") + why));
        }
        for (const char *name : {"B24", "B26", "C28"}) {
            const Cell cell = cellOf(document, name);
            QVERIFY2(!cell.wrapped,
                     qPrintable(QStringLiteral("%1 wraps").arg(QLatin1String(name))));
            QVERIFY2(cell.leftAligned,
                     qPrintable(QStringLiteral("%1 alignment changed").arg(QLatin1String(name))));
            QVERIFY2(cell.borderEdges == 0,
                     qPrintable(QStringLiteral("%1 got a border").arg(QLatin1String(name))));
        }
        // Beside the written cells nothing is framed.
        for (const char *name : {"A17", "G17", "D19", "B19", "F22"})
            QVERIFY2(cellOf(document, name).borderEdges == 0,
                     qPrintable(QStringLiteral("%1 got a border").arg(QLatin1String(name))));
    }

    // The invoice is a new untitled document; the template's own cells stay and its file is not
    // written, not even when the invoice is closed.
    void templateKeptAndUnwritten()
    {
        const QByteArray hashBefore = fileHash(m_template);
        const QDateTime modifiedBefore = QFileInfo(m_template).lastModified();
        m_window->appendOrderLine(QStringLiteral("Буклет"), QStringLiteral("20"),
                                  QStringLiteral("12"), QStringLiteral("значение=7"),
                                  QStringLiteral(""), false);
        const auto document = exportTo(m_template);
        QVERIFY2(!document.isNull(),
                 qPrintable(QStringLiteral("no invoice opened: ")
                            + m_messages.join(QStringLiteral(" | "))));

        QVERIFY2(officetest::documentUrl(document).isEmpty(),
                 "the invoice is tied to the template file instead of being untitled");
        QCOMPARE(cellOf(document, "B2").text, QStringLiteral("Типография «Ясный лист»"));
        QVERIFY(cellOf(document, "B9").text.startsWith(QStringLiteral("Счёт №")));
        const char *const captions[][2] = {{"B16", "№"},
                                           {"C16", "Наименование"},
                                           {"D16", "Кол-во"},
                                           {"E16", "Цена"},
                                           {"F16", "Сумма"}};
        for (const auto &caption : captions)
            QCOMPARE(cellOf(document, caption[0]).text, QString::fromUtf8(caption[1]));

        office().discard(document);
        QCOMPARE(fileHash(m_template), hashBefore);
        QCOMPARE(QFileInfo(m_template).lastModified(), modifiedBefore);
    }

    // Where the template names cells for the invoice's number and date, they get them; a template
    // without the names exports as before.
    void numberAndDate_data()
    {
        QTest::addColumn<bool>("named");
        QTest::newRow("sample template with the names") << true;
        QTest::newRow("template without them") << false;
    }
    void numberAndDate()
    {
        QFETCH(bool, named);
        QString path = m_template;
        if (!named) {
            path = m_dir.filePath(QStringLiteral("no-names.xlsx"));
            QString error;
            QVERIFY2(officetest::makeTemplate(office(), m_template, path,
                                              officetest::Change::DropNames, &error),
                     qPrintable(error));
        }
        ExportRequest request;
        request.typedPath = path;
        request.lines = {{QStringLiteral("Визитки"), QStringLiteral("100"), QStringLiteral("5")}};
        request.number = QStringLiteral("000127");
        request.date = QDate(2024, 12, 9);
        const OfficeDocument before = office().lastDocument();
        auto *panel = m_window->findChild<ExportPanel *>();
        panel->exportOrder(request);
        QTRY_VERIFY_WITH_TIMEOUT(!panel->isRunning(), 60000);
        const OfficeDocument document = office().lastDocument();
        QVERIFY2(document != before && !document.isNull(),
                 qPrintable(m_messages.join(QStringLiteral(" | "))));
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QStringLiteral(" | "))));
        QCOMPARE(cellOf(document, "F17").value, 500.0);
        QCOMPARE(cellOf(document, "B9").text, QStringLiteral("Счёт №"));
        if (named) {
            QCOMPARE(cellOf(document, "C9").text, QStringLiteral("000127"));
            QCOMPARE(cellOf(document, "E9").kind, Cell::Value);
            QCOMPARE(cellOf(document, "E9").value, 45635.0); // days since 30.12.1899
            QCOMPARE(cellOf(document, "E9").text, QStringLiteral("09.12.2024"));
        } else {
            QCOMPARE(cellOf(document, "C9").text, QStringLiteral("______"));
            QVERIFY(cellOf(document, "E9").text.startsWith(QStringLiteral("«____»")));
        }
    }

    // Where the settings name the director and the accountant, the sheet is signed with their
    // names as the PDF is; the settings file is put back afterwards.
    void signedAsThePdf()
    {
        const QString settingsPath
            = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/printcalc/printcalc.ini");
        QFile settings(settingsPath);
        QVERIFY(settings.open(QIODevice::ReadOnly));
        const QByteArray before = settings.readAll();
        settings.close();
        const auto restore = [&] {
            QFile file(settingsPath);
            return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
                && file.write(before) == before.size();
        };
        QVERIFY(settings.open(QIODevice::Append));
        settings.write("[requisites]\ndirector=Иванов И. И.\naccountant=Петрова А. С.\n");
        settings.close();
        m_window->appendOrderLine(QStringLiteral("Листовки"), QStringLiteral("10"),
                                  QStringLiteral("5"), QStringLiteral("значение=9"),
                                  QStringLiteral(""), false);
        const auto document = exportTo(m_template);
        QVERIFY(restore());
        QVERIFY2(!document.isNull(),
                 qPrintable(QStringLiteral("no invoice opened: ")
                            + m_messages.join(QStringLiteral(" | "))));
        QCOMPARE(cellOf(document, "B23").text,
                 QStringLiteral("Руководитель предприятия_____________________Иванов И. И."));
        QCOMPARE(cellOf(document, "B25").text,
                 QStringLiteral("Главный бухгалтер____________________________Петрова А. С."));
    }

    // The customer's discount and the shop's tax in the sheet, read back to the kopeck: each
    // foot row's caption and amount, live formulas that follow an edited line, and the payer in
    // the cell the template names "Покупатель". Without a customer the cell keeps its blank.
    void footAndPayer_data()
    {
        QTest::addColumn<QByteArray>("taxSection");
        QTest::addColumn<int>("discount"); // -1: no customer
        QTest::addColumn<QStringList>("captions"); // E18 on
        QTest::addColumn<QList<qint64>>("kopecks"); // F18 on; -1 for the dash
        QTest::addColumn<qint64>("totalAfterEdit"); // the last row's kopecks once F17 is 20 000
        QTest::newRow("no customer, on top 22")
            << QByteArray("[tax]\nmode=on-top\nrate=22\n") << -1
            << QStringList {QStringLiteral("Итого"), QStringLiteral("НДС 22 %"),
                            QStringLiteral("Всего")}
            << QList<qint64> {1320000, 290400, 1610400} << qint64(2440000);
        QTest::newRow("5 %, no tax set")
            << QByteArray() << 500
            << QStringList {QStringLiteral("Итого"), QStringLiteral("Скидка 5 %"),
                            QStringLiteral("18%"), QStringLiteral("Всего")}
            << QList<qint64> {1320000, -66000, 225720, 1479720} << qint64(2242000);
        QTest::newRow("5 %, on top 22")
            << QByteArray("[tax]\nmode=on-top\nrate=22\n") << 500
            << QStringList {QStringLiteral("Итого"), QStringLiteral("Скидка 5 %"),
                            QStringLiteral("НДС 22 %"), QStringLiteral("Всего")}
            << QList<qint64> {1320000, -66000, 275880, 1529880} << qint64(2318000);
        QTest::newRow("5,25 %, included 22")
            << QByteArray("[tax]\nmode=included\nrate=22\n") << 525
            << QStringList {QStringLiteral("Итого"), QStringLiteral("Скидка 5,25 %"),
                            QStringLiteral("В том числе НДС 22 %"), QStringLiteral("Всего")}
            << QList<qint64> {1320000, -69300, 225536, 1250700} << qint64(1895000);
        QTest::newRow("5,25 %, none")
            << QByteArray("[tax]\nmode=none\n") << 525
            << QStringList {QStringLiteral("Итого"), QStringLiteral("Скидка 5,25 %"),
                            QStringLiteral("Без налога (НДС)"), QStringLiteral("Всего")}
            << QList<qint64> {1320000, -69300, -1, 1250700} << qint64(1895000);
        QTest::newRow("a customer at 0 %, no tax set: as before")
            << QByteArray() << 0
            << QStringList {QStringLiteral("Итого"), QStringLiteral("18%"), QStringLiteral("Всего")}
            << QList<qint64> {1320000, 237600, 1557600} << qint64(2360000);
    }
    void footAndPayer()
    {
        QFETCH(QByteArray, taxSection);
        QFETCH(int, discount);
        QFETCH(QStringList, captions);
        QFETCH(QList<qint64>, kopecks);
        QFETCH(qint64, totalAfterEdit);
        const QString settingsPath
            = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/printcalc/printcalc.ini");
        QFile settings(settingsPath);
        QVERIFY(settings.open(QIODevice::ReadOnly));
        const QByteArray before = settings.readAll();
        settings.close();
        const auto restore = [&] {
            QFile file(settingsPath);
            return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
                && file.write(before) == before.size();
        };
        QVERIFY(settings.open(QIODevice::Append));
        settings.write("\n" + taxSection);
        settings.close();

        m_window->appendOrderLine(QStringLiteral("Буклеты"), QStringLiteral("1000"),
                                  QStringLiteral("13.2"), QStringLiteral("значение=3"),
                                  QStringLiteral(""), false);
        if (discount >= 0) {
            Customer customer;
            customer.id = 3;
            customer.fullName = QStringLiteral("ООО «Ромашка»");
            customer.inn = QStringLiteral("7707083893");
            customer.kpp = QStringLiteral("770701001");
            customer.address = QStringLiteral("123456, г. Москва, ул. Ленина, д. 1");
            customer.discountHundredths = discount;
            m_window->order()->setCustomer(customer);
        }
        const auto document = exportTo(m_template);
        QVERIFY(restore());
        QVERIFY2(!document.isNull(),
                 qPrintable(QStringLiteral("no invoice opened: ")
                            + m_messages.join(QStringLiteral(" | "))));
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QStringLiteral(" | "))));

        const auto check = [&](int row, const QString &caption, qint64 expected) {
            const QByteArray at = QByteArray::number(row);
            QCOMPARE(cellOf(document, QByteArray("E" + at)).text, caption);
            const Cell amount = cellOf(document, QByteArray("F" + at));
            if (expected < 0 && caption.startsWith(QStringLiteral("Без налога"))) {
                QCOMPARE(amount.text, QStringLiteral("-"));
                return;
            }
            QVERIFY2(amount.kind == Cell::Formula,
                     qPrintable(QStringLiteral("F%1 is no formula").arg(row)));
            QCOMPARE(qRound64(amount.value * 100), expected);
        };
        for (int i = 0; i < captions.size(); ++i)
            check(18 + i, captions.at(i), kopecks.at(i));
        QVERIFY2(cellOf(document, QByteArray("E" + QByteArray::number(18 + captions.size()))).kind
                     == Cell::Empty,
                 "the foot has a row too many");
        QCOMPARE(cellOf(document, "C11").text,
                 discount >= 0 ? QStringLiteral("ООО «Ромашка», ИНН 7707083893, КПП 770701001, "
                                                "123456, г. Москва, ул. Ленина, д. 1")
                               : QString(44, QLatin1Char('_')));
        QCOMPARE(cellOf(document, "B11").text, QStringLiteral("Плательщик:"));
        // The payer's two lines in a row tall enough for them; the blank in one line.
        const int oneLine = cellOf(document, "B12").rowHeight;
        QVERIFY2(discount >= 0 ? cellOf(document, "C11").rowHeight > oneLine * 3 / 2
                               : cellOf(document, "C11").rowHeight == oneLine,
                 qPrintable(QStringLiteral("row 11 is %1, a line %2")
                                .arg(cellOf(document, "C11").rowHeight)
                                .arg(oneLine)));
        // Two rows free under the foot, then the signatures.
        QCOMPARE(cellOf(document, QByteArray("B" + QByteArray::number(20 + captions.size()))).text,
                 QString::fromUtf8(HeadSignature));

        officetest::setCellValue(document, "F17", 20000);
        const QByteArray last = "F" + QByteArray::number(17 + captions.size());
        QCOMPARE(qRound64(cellOf(document, last).value * 100), totalAfterEdit);
    }

    // A thousand and one lines of half a kopeck: the sheet's SUM and the documents agree on
    // 5,01, and the foot's rows on the kopecks that follow from it.
    void halfKopecksAddUp()
    {
        ExportRequest request;
        request.typedPath = m_template;
        for (int i = 0; i < 1001; ++i)
            request.lines.append(
                {QStringLiteral("Наклейка"), QStringLiteral("1"), QStringLiteral("0.005")});
        request.payer.shortName = QStringLiteral("Ромашка");
        request.payer.discountHundredths = 500;
        request.tax.given = true;
        request.tax.rule = {TaxMode::OnTop, 22};
        const OfficeDocument before = office().lastDocument();
        auto *panel = m_window->findChild<ExportPanel *>();
        panel->exportOrder(request);
        QTRY_VERIFY_WITH_TIMEOUT(!panel->isRunning(), 120000);
        const OfficeDocument document = office().lastDocument();
        QVERIFY2(document != before && !document.isNull(),
                 qPrintable(m_messages.join(QStringLiteral(" | "))));
        const InvoiceFoot foot = invoiceFoot(request.lines, FootTerms::on(request.tax, {}, 500));
        const QList<qint64> expected = {501, -25, 105, 581};
        for (int i = 0; i < 4; ++i) {
            const QByteArray at = "F" + QByteArray::number(1018 + i);
            QCOMPARE(qRound64(cellOf(document, at).value * 100), expected.at(i));
            QCOMPARE(qRound64(foot.rows.at(i).amount * 100), expected.at(i));
        }
        QCOMPARE(cellOf(document, "C11").text, QStringLiteral("Ромашка"));
    }

    void templatePathWithCyrillicAndBlanks()
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("Шаблоны счетов"));
        const QString path = m_dir.filePath(QStringLiteral("Шаблоны счетов/счёт на оплату.xlsx"));
        QVERIFY(QFile::copy(m_template, path));
        m_window->appendOrderLine(QStringLiteral("Открытки"), QStringLiteral("30"),
                                  QStringLiteral("4"), QStringLiteral("значение=8"),
                                  QStringLiteral(""), false);
        const auto document = exportTo(path);
        QVERIFY2(!document.isNull(),
                 qPrintable(QStringLiteral("no invoice opened: ")
                            + m_messages.join(QStringLiteral(" | "))));
        QCOMPARE(cellOf(document, "F17").value, 120.0);

        // The template that made an invoice is the one the next start offers.
        office().discard(document);
        delete m_window;
        m_window = new MainWindow(nullptr, &m_prompts);
        m_window->show();
        QCOMPARE(m_window->findChild<QLineEdit *>(QStringLiteral("lineEdit_11"))->text(), path);
    }

    void failuresAreTold_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("named");
        QTest::newRow("missing template") << "missing"
                                          << "не найден";
        QTest::newRow("form default on this machine") << "D:/999.xlsx"
                                                      << "не найден";
        QTest::newRow("a folder") << "folder"
                                  << "папка";
        QTest::newRow("not a spreadsheet") << "text"
                                           << "не является книгой";
        QTest::newRow("no sheet Лист1") << "nosheet"
                                        << "нет листа «Лист1»";
        QTest::newRow("empty path") << ""
                                    << "не указан";
    }
    void failuresAreTold()
    {
        QFETCH(QString, path);
        QFETCH(QString, named);
        if (path == QStringLiteral("missing"))
            path = m_dir.filePath(QStringLiteral("нет такого.xlsx"));
        else if (path == QStringLiteral("folder"))
            path = m_dir.path();
        else if (path == QStringLiteral("nosheet"))
            path = m_withoutSheet;
        else if (path == QStringLiteral("text")) {
            path = m_dir.filePath(QStringLiteral("notes.xlsx"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("Это не таблица, а заметка.\n");
        }
        m_window->appendOrderLine(QStringLiteral("Визитки"), QStringLiteral("100"),
                                  QStringLiteral("5"), QStringLiteral("значение=9"),
                                  QStringLiteral(""), true);
        const QStringList before = tableTexts();
        const int documentsBefore = openDocuments();

        const auto document = exportTo(path);

        QVERIFY2(document.isNull(), "an invoice was opened although the export failed");
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages.first().contains(named),
                 qPrintable(QStringLiteral("the message does not say what failed: ")
                            + m_messages.first()));
        if (!path.isEmpty())
            QVERIFY2(m_messages.first().contains(path),
                     qPrintable(QStringLiteral("the message does not name the path: ")
                                + m_messages.first()));
        QCOMPARE(tableTexts(), before);
        QCOMPARE(openDocuments(), documentsBefore);
    }

    // Runs last: the operator closed the office; the next export starts it again.
    void closedOfficeStartsAgain()
    {
        const qint64 first = office().startedProcessId();
        office().terminate();
        QTRY_VERIFY2_WITH_TIMEOUT(!processAlive(first), "the office did not close", 10000);

        m_window->appendOrderLine(QStringLiteral("Календарь"), QStringLiteral("5"),
                                  QStringLiteral("40"), QStringLiteral("значение=10"),
                                  QStringLiteral(""), false);
        const auto document = exportTo(m_template);
        QVERIFY2(!document.isNull(),
                 qPrintable(QStringLiteral("no invoice after restart: ")
                            + m_messages.join(QStringLiteral(" | "))));
        QVERIFY2(office().startedProcessId() != first, "no new office was started");
        m_officePids << office().startedProcessId();
        QCOMPARE(cellOf(document, "F17").value, 200.0);
    }
};

QTEST_MAIN(ExportTest)
#include "test_export.moc"
