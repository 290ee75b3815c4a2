// The spreadsheet invoice's payment QR code and foot, and the customers' workbooks, against the
// real office run headless with a profile of its own: the invoice is read back from the opened
// document, its picture decoded by zbarimg; the customers go through .ods and .xlsx and back.
#include "app/document_actions.h"
#include "app/export_panel.h"
#include "app/mainwindow.h"
#include "dialogs/customers_dialog.h"
#include "documents/invoice_painter.h"
#include "office/office_testkit.h"
#include "office/sheet_rows.h"
#include "order/order.h"
#include "tests/pdf_text.h"
#include "tests/program_run.h"
#include "tests/prompt_recorder.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <unistd.h>

using officetest::Cell;

namespace {

const QByteArray Requisites = "[requisites]\n"
                              "name=ООО «Ясный лист»\n"
                              "inn=7707083893\n"
                              "kpp=770701001\n"
                              "bankName=ПАО Банк\n"
                              "bik=044525225\n"
                              "corrAccount=30101810400000000225\n";

// Customers of every kind, with the requisites a spreadsheet likes to spoil: an ИНН with a leading
// zero, twenty-digit accounts, a КПП with letters, a discount with decimals, a ";" in a note.
const QByteArray CustomersCsv
    = "вид;наименование;полное наименование;инн;кпп;огрн;адрес;телефон;email;контакт;бик;счёт;"
      "корсчёт;банк;скидка;заметка\n"
      "организация;Ромашка;ООО «Ромашка»;7707083893;7707AB001;1027700132195;г. Москва, ул. "
      "Ленина, д. 1;+7 912 345-67-89;info@romashka.ru;Иванов;044525225;40702810938000012345;"
      "30101810400000000225;ПАО Банк;5.25;\"звонить; после обеда\"\n"
      "ип;Петров;ИП Петров П. П.;027400000138;;304770000000019;г. Уфа;8 917 000-00-01;;;044525225;"
      "40802810600000000077;30101810400000000225;ПАО Банк;0;\n"
      "организация;Башкирия;ООО «Башкирия»;0274000002;;;;;;;;;;;10;\n"
      "частное лицо;Сидорова А.;;;;;;+7 900 111-22-33;a@b.ru;;;;;;;=1+1\n";

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void typeText(QWidget *widget, const QString &text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

} // namespace

class InvoiceSheetTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_template;
    QString m_withoutShopNames; // the sample with no cells named for the shop's lines
    QByteArray m_settingsBefore;
    PromptRecorder m_prompts;
    MainWindow *m_window = nullptr;
    QStringList m_messages;
    qint64 m_officePid = 0;

    OfficeSession &office() { return OfficeSession::shared(); }

    static QString settingsPath()
    {
        return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/printcalc/printcalc.ini");
    }

    // One order line of 13 200,00 exported with these settings added; the document opened.
    OfficeDocument exportWith(const QByteArray &settings, const QString &templatePath = QString())
    {
        if (!writeFile(settingsPath(), m_settingsBefore + "\n" + settings))
            return OfficeDocument();
        m_window->appendOrderLine(QStringLiteral("Буклеты"), QStringLiteral("1000"),
                                  QStringLiteral("13.2"), QStringLiteral("значение=3"), QString(),
                                  false);
        auto *pathField = m_window->findChild<QLineEdit *>(QStringLiteral("lineEdit_11"));
        pathField->selectAll();
        QTest::keyClick(pathField, Qt::Key_Delete);
        typeText(pathField, templatePath.isEmpty() ? m_template : templatePath);
        const OfficeDocument before = office().lastDocument();
        auto *panel = m_window->findChild<ExportPanel *>();
        QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("pushButton_6")),
                          Qt::LeftButton);
        if (!QTest::qWaitFor([panel] { return !panel->isRunning(); }, 60000))
            return OfficeDocument();
        const OfficeDocument after = office().lastDocument();
        return after == before ? OfficeDocument() : after;
    }

    QString decodedQr(const OfficeDocument &document, int index)
    {
        const QString png = m_dir.filePath(QStringLiteral("qr-%1.png").arg(index));
        QString error;
        if (!officetest::savePicture(office(), document, index, png, &error))
            return QStringLiteral("(not saved: %1)").arg(error);
        QProcess zbar;
        zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"), png});
        if (!zbar.waitForFinished(20000))
            return QStringLiteral("(zbarimg did not end)");
        return QString::fromUtf8(zbar.readAllStandardOutput()).trimmed();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_dir.isValid(), "no temporary folder");
        const QString source = QFINDTESTDATA("../templates/invoice.xlsx");
        QVERIFY2(!source.isEmpty(), "the sample template templates/invoice.xlsx is missing");
        m_template = m_dir.filePath(QStringLiteral("invoice.xlsx"));
        QVERIFY(QFile::copy(source, m_template));
        m_settingsBefore = readFile(settingsPath());
        office().kill();
        QTRY_VERIFY_WITH_TIMEOUT(office().processIds().isEmpty(), 10000);
        office().setStartArguments(
            officetest::prepareProfile(m_dir.filePath(QStringLiteral("profile")), true));
        OfficeFailure failure;
        QVERIFY2(office().reach(&failure), qPrintable(failure.message + failure.details));
        m_officePid = office().startedProcessId();
        m_withoutShopNames = m_dir.filePath(QStringLiteral("without-shop-names.xlsx"));
        QString error;
        QVERIFY2(officetest::makeTemplate(office(), m_template, m_withoutShopNames,
                                          officetest::Change::DropShopNames, &error),
                 qPrintable(error));
    }

    void cleanupTestCase()
    {
        writeFile(settingsPath(), m_settingsBefore);
        office().terminate();
        if (m_officePid > 0) {
            QTRY_VERIFY_WITH_TIMEOUT(!officetest::processRunning(m_officePid), 10000);
            if (officetest::processRunning(m_officePid)) {
                const pid_t group = ::getpgid(pid_t(m_officePid));
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
        const OfficeDocument last = office().lastDocument();
        if (!last.isNull())
            office().discard(last);
        delete m_window;
        m_window = nullptr;
        writeFile(settingsPath(), m_settingsBefore);
    }

    // The payment QR code over the cell the template names "QR", at least 35 mm square, its text
    // read back field by field; none where the account fails its check or the file has no fields.
    void qrPicture_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("expected"); // "%1": the invoice's number, "%2": its date
        QTest::newRow("on top 22")
            << QByteArray(Requisites
                          + "settlementAccount=40702810938000012345\n"
                            "[tax]\nmode=on-top\nrate=22\n")
            << "ST00012|Name=ООО «Ясный лист»|PersonalAcc=40702810938000012345|BankName=ПАО "
               "Банк|BIC=044525225|CorrespAcc=30101810400000000225|PayeeINN=7707083893|KPP="
               "770701001|Sum=1610400|Purpose=Оплата по счёту № %1 от %2, в т.ч. НДС 22 % — "
               "2 904,00 руб.|DocNo=%1|DocDate=%2";
        QTest::newRow("none")
            << QByteArray(Requisites
                          + "settlementAccount=40702810938000012345\n"
                            "[tax]\nmode=none\n")
            << "ST00012|Name=ООО «Ясный лист»|PersonalAcc=40702810938000012345|BankName=ПАО "
               "Банк|BIC=044525225|CorrespAcc=30101810400000000225|PayeeINN=7707083893|KPP="
               "770701001|Sum=1320000|Purpose=Оплата по счёту № %1 от %2, НДС не "
               "облагается|DocNo=%1|DocDate=%2";
        QTest::newRow("broken account")
            << QByteArray(Requisites + "settlementAccount=40702810938000012346\n") << QString();
        QTest::newRow("older free-text lines only")
            << QByteArray("[requisites]\naccount=Р/с 40702810938000012345\n") << QString();
    }
    void qrPicture()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, expected);
        const OfficeDocument document = exportWith(settings);
        QVERIFY2(!document.isNull(),
                 qPrintable(QStringLiteral("no invoice opened: ")
                            + m_messages.join(QStringLiteral(" | "))));
        const QVector<officetest::Picture> pictures = officetest::pictures(document);
        if (expected.isEmpty()) {
            QCOMPARE(pictures.size(), 0);
            return;
        }
        QCOMPARE(pictures.size(), 1);
        QCOMPARE(pictures.first().anchorCell, QStringLiteral("E2"));
        QVERIFY2(pictures.first().width >= 3500 && pictures.first().height >= 3500,
                 qPrintable(QStringLiteral("%1 × %2")
                                .arg(pictures.first().width)
                                .arg(pictures.first().height)));
        // The picture ends above the invoice's title row.
        int above = 0;
        for (const char *row : {"E2", "E3", "E4", "E5", "E6", "E7", "E8"})
            above += officetest::cell(document, row).rowHeight;
        QVERIFY2(above >= pictures.first().height,
                 qPrintable(QStringLiteral("rows 2 to 8 are %1 high").arg(above)));
        const QString number = officetest::cell(document, "C9").text;
        const QString date = QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
        const QStringList fields = decodedQr(document, 0).split(QLatin1Char('|'));
        const QStringList wanted = expected.arg(number, date).split(QLatin1Char('|'));
        for (int i = 0; i < qMax(fields.size(), wanted.size()); ++i)
            QCOMPARE(fields.value(i), wanted.value(i));
    }

    // The shop's lines at the top of the sheet come from the settings, with the texts the PDF
    // invoice of the same order prints; the template's own texts stay where the settings describe
    // no shop, or where the template names no cells for the lines; a line the settings leave empty
    // is cleared, never filled with a placeholder.
    void shopRequisites_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<bool>("named"); // the sample template, or a copy without the names
        QTest::addColumn<QStringList>("lines"); // B2, B3, B4, B6, B7 ("" an empty cell)
        QTest::addColumn<QStringList>("printed"); // on the sheet's lines and the PDF alike
        const QChar nbsp(0x00A0);
        const QStringList sample
            = {QStringLiteral("Типография «Ясный лист»"),
               QStringLiteral("ООО «Ясный лист», 000000, г. Энск, ул. Печатников, д. 1"),
               QStringLiteral("ИНН 0000000000, КПП 000000000, тел. +7 (000) 000-00-00"),
               QStringLiteral("Банк получателя: АО «Банк Энска», БИК 000000000"),
               QStringLiteral("Р/с 00000000000000000000, к/с 00000000000000000000")};
        const QByteArray fields = Requisites
            + "address=109012, г. Москва, ул. Ильинка, д. 4\n"
              "settlementAccount=40702810938000012345\n";
        QTest::newRow("requisites as fields")
            << fields << true
            << QStringList {QStringLiteral("ООО «Ясный лист»"),
                            QStringLiteral("109012, г. Москва, ул. Ильинка, д. 4"),
                            QStringLiteral("ИНН") + nbsp + QStringLiteral("7707083893, КПП") + nbsp
                                + QStringLiteral("770701001"),
                            QStringLiteral("Банк получателя: ПАО Банк, БИК") + nbsp
                                + QStringLiteral("044525225"),
                            QStringLiteral("Р/с") + nbsp
                                + QStringLiteral("40702810938000012345, к/с") + nbsp
                                + QStringLiteral("30101810400000000225")}
            << QStringList {QStringLiteral("ООО «Ясный лист»"),
                            QStringLiteral("109012, г. Москва, ул. Ильинка, д. 4"),
                            QStringLiteral("7707083893"),
                            QStringLiteral("770701001"),
                            QStringLiteral("ПАО Банк"),
                            QStringLiteral("044525225"),
                            QStringLiteral("40702810938000012345"),
                            QStringLiteral("30101810400000000225")};
        QTest::newRow("free-text lines")
            << QByteArray("[requisites]\nname=Типография «Оттиск»\naddress=ИП Петров П. П., "
                          "450000, г. Уфа, ул. Ленина, д. 2\ntaxNumbers=ИНН 027400000138, тел. "
                          "8 (347) 200-00-00\nbank=Банк получателя: ПАО Банк, БИК 044525225\n"
                          "account=Р/с 40802810600000000077, к/с 30101810400000000225\n")
            << true
            << QStringList {QStringLiteral("Типография «Оттиск»"),
                            QStringLiteral("ИП Петров П. П., 450000, г. Уфа, ул. Ленина, д. 2"),
                            QStringLiteral("ИНН 027400000138, тел. 8 (347) 200-00-00"),
                            QStringLiteral("Банк получателя: ПАО Банк, БИК 044525225"),
                            QStringLiteral("Р/с 40802810600000000077, к/с 30101810400000000225")}
            << QStringList {QStringLiteral("Типография «Оттиск»"),
                            QStringLiteral("ИП Петров П. П., 450000, г. Уфа, ул. Ленина, д. 2"),
                            QStringLiteral("ИНН 027400000138, тел. 8 (347) 200-00-00"),
                            QStringLiteral("Банк получателя: ПАО Банк, БИК 044525225"),
                            QStringLiteral("Р/с 40802810600000000077, к/с 30101810400000000225")};
        QTest::newRow("no requisites in the settings") << QByteArray() << true << sample << sample;
        QTest::newRow("some requisites empty")
            << QByteArray("[requisites]\nname=ООО «Ясный лист»\ninn=7707083893\n") << true
            << QStringList {QStringLiteral("ООО «Ясный лист»"), QString(),
                            QStringLiteral("ИНН") + nbsp + QStringLiteral("7707083893"), QString(),
                            QString()}
            << QStringList {QStringLiteral("ООО «Ясный лист»"), QStringLiteral("7707083893")};
        QTest::newRow("a template without the names") << fields << false << sample << QStringList();
    }
    void shopRequisites()
    {
        QFETCH(QByteArray, settings);
        QFETCH(bool, named);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, printed);
        const OfficeDocument document
            = exportWith(settings, named ? m_template : m_withoutShopNames);
        QVERIFY2(!document.isNull(),
                 qPrintable(QStringLiteral("no invoice opened: ")
                            + m_messages.join(QStringLiteral(" | "))));
        QStringList shown;
        const char *const cells[] = {"B2", "B3", "B4", "B6", "B7"};
        for (int i = 0; i < 5; ++i) {
            const Cell cell = officetest::cell(document, cells[i]);
            QCOMPARE(cell.text, lines.at(i));
            if (lines.at(i).isEmpty())
                QCOMPARE(cell.kind, Cell::Empty);
            else
                QCOMPARE(cell.kind, Cell::Text);
            shown << cell.text;
        }

        // The PDF of the same order with the same settings prints the same requisites.
        const QString pdf = m_dir.filePath(QStringLiteral("shop.pdf"));
        QString error;
        QVERIFY2(writeInvoicePdf(
                     DocumentActions::documentFor(m_window->orderLines(), DocumentSettings::load()),
                     pdf, &error),
                 qPrintable(error));
        const QString onPaper = pdfText(pdf).simplified();
        QString onSheet = shown.join(QLatin1Char('\n'));
        onSheet.replace(QChar(0x00A0), QLatin1Char(' '));
        onSheet = onSheet.simplified();
        for (const QString &text : printed) {
            QVERIFY2(onPaper.contains(text),
                     qPrintable(text + QStringLiteral(" not on the PDF: ") + onPaper));
            QVERIFY2(onSheet.contains(text),
                     qPrintable(text + QStringLiteral(" not on the sheet: ") + onSheet));
        }
    }

    // The foot's rows for each mode, live formulas: captions, kopecks, and the total once the
    // line's sum is edited in the sheet.
    void footForEachMode_data()
    {
        QTest::addColumn<QByteArray>("tax");
        QTest::addColumn<QStringList>("captions"); // E18 on
        QTest::addColumn<QList<qint64>>("kopecks"); // F18 on; -1 for the dash
        QTest::addColumn<qint64>("totalAfterEdit"); // once F17 is 20 000
        QTest::newRow("no tax section")
            << QByteArray()
            << QStringList {QStringLiteral("Итого"), QStringLiteral("18%"), QStringLiteral("Всего")}
            << QList<qint64> {1320000, 237600, 1557600} << qint64(2360000);
        QTest::newRow("on top 10")
            << QByteArray("[tax]\nmode=on-top\nrate=10\n")
            << QStringList {QStringLiteral("Итого"), QStringLiteral("НДС 10 %"),
                            QStringLiteral("Всего")}
            << QList<qint64> {1320000, 132000, 1452000} << qint64(2200000);
        QTest::newRow("included 22")
            << QByteArray("[tax]\nmode=included\nrate=22\n")
            << QStringList {QStringLiteral("Итого"), QStringLiteral("В том числе НДС 22 %"),
                            QStringLiteral("Всего")}
            << QList<qint64> {1320000, 238033, 1320000} << qint64(2000000);
        QTest::newRow("none") << QByteArray("[tax]\nmode=none\n")
                              << QStringList {QStringLiteral("Итого"),
                                              QStringLiteral("Без налога (НДС)"),
                                              QStringLiteral("Всего")}
                              << QList<qint64> {1320000, -1, 1320000} << qint64(2000000);
        QTest::newRow("a change in force today")
            << QByteArray("[tax]\nmode=on-top\nrate=20\nchangeFrom=2000-01-01\nchangeMode="
                          "included\nchangeRate=5\n")
            << QStringList {QStringLiteral("Итого"), QStringLiteral("В том числе НДС 5 %"),
                            QStringLiteral("Всего")}
            << QList<qint64> {1320000, 62857, 1320000} << qint64(2000000);
    }
    void footForEachMode()
    {
        QFETCH(QByteArray, tax);
        QFETCH(QStringList, captions);
        QFETCH(QList<qint64>, kopecks);
        QFETCH(qint64, totalAfterEdit);
        const OfficeDocument document = exportWith(tax);
        QVERIFY2(!document.isNull(),
                 qPrintable(QStringLiteral("no invoice opened: ")
                            + m_messages.join(QStringLiteral(" | "))));
        for (int i = 0; i < captions.size(); ++i) {
            const QByteArray row = QByteArray::number(18 + i);
            QCOMPARE(officetest::cell(document, QByteArray("E" + row).constData()).text,
                     captions.at(i));
            const Cell amount = officetest::cell(document, QByteArray("F" + row).constData());
            if (kopecks.at(i) < 0) {
                QCOMPARE(amount.text, QStringLiteral("-"));
                continue;
            }
            QVERIFY2(amount.kind == Cell::Formula,
                     QByteArray("F" + row + " is no formula").constData());
            QCOMPARE(qRound64(amount.value * 100), kopecks.at(i));
        }
        QCOMPARE(officetest::cell(document, "E21").kind, Cell::Empty);
        officetest::setCellValue(document, "F17", 20000);
        QCOMPARE(qRound64(officetest::cell(document, "F20").value * 100), totalAfterEdit);
    }

    // Customers out to a workbook and into another shop's database: every column as it was.
    void customersRoundTrip_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("ods") << "ods";
        QTest::newRow("xlsx") << "xlsx";
    }
    void customersRoundTrip()
    {
        QFETCH(QString, suffix);
        const QString folder = m_dir.filePath(QStringLiteral("customers-") + suffix);
        const QString first
            = QStringLiteral("sqlite://") + folder + QStringLiteral("/first.sqlite");
        const QString second
            = QStringLiteral("sqlite://") + folder + QStringLiteral("/second.sqlite");
        const QString csv = folder + QStringLiteral("/customers.csv");
        const QString sheet = folder + QStringLiteral("/customers.") + suffix;
        QVERIFY(writeFile(csv, CustomersCsv));
        const auto run = [](const QStringList &arguments) {
            const ProgramRun done = runProgram(arguments, QString(), 120000);
            if (done.status != 0)
                qWarning("%s: %d %s %s", qPrintable(arguments.join(QLatin1Char(' '))), done.status,
                         qPrintable(done.out), qPrintable(done.err));
            return done;
        };
        QCOMPARE(run({QStringLiteral("--database"), first, QStringLiteral("--customers"),
                      QStringLiteral("import"), csv})
                     .status,
                 0);
        const ProgramRun exported
            = run({QStringLiteral("--database"), first, QStringLiteral("--customers"),
                   QStringLiteral("export"), sheet});
        QCOMPARE(exported.status, 0);
        QCOMPARE(exported.out.trimmed(), QStringLiteral("Выгружены клиенты в %1: 4.").arg(sheet));
        const ProgramRun imported
            = run({QStringLiteral("--database"), second, QStringLiteral("--customers"),
                   QStringLiteral("import"), sheet});
        QCOMPARE(imported.status, 0);

        const QString firstCsv = folder + QStringLiteral("/first.csv");
        const QString secondCsv = folder + QStringLiteral("/second.csv");
        QCOMPARE(run({QStringLiteral("--database"), first, QStringLiteral("--customers"),
                      QStringLiteral("export"), firstCsv})
                     .status,
                 0);
        QCOMPARE(run({QStringLiteral("--database"), second, QStringLiteral("--customers"),
                      QStringLiteral("export"), secondCsv})
                     .status,
                 0);
        const QByteArray before = readFile(firstCsv);
        QVERIFY(before.contains("027400000138"));
        QVERIFY(before.contains("0274000002"));
        QCOMPARE(readFile(secondCsv), before);
        const ProgramRun listed = run({QStringLiteral("--database"), second,
                                       QStringLiteral("--customers"), QStringLiteral("list")});
        QVERIFY2(listed.out.contains(QStringLiteral(
                     "\tорганизация\tРомашка\t7707083893\t7707AB001\t+7 912 345-67-89\t"
                     "info@romashka.ru\t5.25\n")),
                 qPrintable(listed.out));

        // A workbook with a wrong requisite is refused as a CSV file is, nothing stored.
        const QString brokenSheet = folder + QStringLiteral("/broken.") + suffix;
        QString error;
        QVERIFY2(
            writeSheetRows(office(), brokenSheet,
                           {{QStringLiteral("вид"), QStringLiteral("наименование"),
                             QStringLiteral("инн"), QStringLiteral("бик"), QStringLiteral("счёт")},
                            {QStringLiteral("организация"), QStringLiteral("Лютик"),
                             QStringLiteral("7707083893"), QStringLiteral("044525225"),
                             QStringLiteral("40702810938000012346")}},
                           {{0, 1, 2, 3, 4}, {}}, &error),
            qPrintable(error));
        const ProgramRun refused
            = runProgram({QStringLiteral("--database"), second, QStringLiteral("--customers"),
                          QStringLiteral("import"), brokenSheet});
        QCOMPARE(refused.status, 1);
        QVERIFY2(refused.out.contains(QStringLiteral("Строка 2: Расчётный счёт")),
                 qPrintable(refused.out + refused.err));
        QVERIFY(!run({QStringLiteral("--database"), second, QStringLiteral("--customers"),
                      QStringLiteral("list")})
                     .out.contains(QStringLiteral("Лютик")));
    }

    // "Клиенты": the list out to a workbook through the window's office and back in, where a
    // second import updates every card; a build without the office refuses a workbook in words.
    void customersDialogWorkbooks_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("xlsx") << "xlsx";
        QTest::newRow("ods") << "ods";
    }
    void customersDialogWorkbooks()
    {
        QFETCH(QString, suffix);
        CustomersDialog *list = m_window->showCustomers();
        const QString csv = m_dir.filePath(QStringLiteral("dialog.csv"));
        const QString sheet = m_dir.filePath(QStringLiteral("dialog.") + suffix);
        QVERIFY(writeFile(csv, CustomersCsv));
        QString chosen;
        list->chooseFile = [&chosen](bool) { return chosen; };
        QSignalSpy ended(list, &CustomersDialog::fileDone);
        const auto press = [&](const char *button, const QString &path) {
            chosen = path;
            ended.clear();
            QTest::mouseClick(list->findChild<QPushButton *>(QLatin1String(button)),
                              Qt::LeftButton);
            // -1: it never ended.
            if (ended.isEmpty() && !ended.wait(60000))
                return -1;
            return int(ended.first().first().toBool());
        };
        QVERIFY2(press("pushButtonCustomersImport", csv) == 1, qPrintable(list->lastReport()));
        QVERIFY2(press("pushButtonCustomersExport", sheet) == 1, qPrintable(list->lastReport()));
        QCOMPARE(list->lastReport(),
                 QStringLiteral("Выгружены клиенты в «dialog.%1»: 4.").arg(suffix));
        QVERIFY2(press("pushButtonCustomersImport", sheet) == 1, qPrintable(list->lastReport()));
        QVERIFY2(list->lastReport().startsWith(
                     QStringLiteral("Клиенты загружены: добавлено — 0, обновлено — 4.")),
                 qPrintable(list->lastReport()));
        QTRY_COMPARE(list->shown().size(), 4);

        list->readSheet = nullptr;
        QCOMPARE(press("pushButtonCustomersImport", sheet), 0);
        QCOMPARE(list->lastReport(),
                 QStringLiteral("Таблицы .ods и .xlsx читаются и пишутся через LibreOffice Calc, "
                                "а эта сборка программы собрана без него: сохраните таблицу в "
                                "Calc как «Текст CSV» (UTF-8, разделитель «;»)."));
    }
};

QTEST_MAIN(InvoiceSheetTest)
#include "test_invoice_sheet.moc"
