// "Экспорт" against the real office, run headless with a profile of its own: the invoice is read
// back from the opened document through UNO, and failures must stop before anything is written.
#include "app/mainwindow.h"
#include "office/office_session.h"

#include <QCryptographicHash>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/table/BorderLine2.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/CellHoriJustify.hpp>
#include <com/sun/star/table/CellVertJustify2.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <csignal>
#include <unistd.h>

using namespace css;
using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

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
    return pid > 0 && ::kill(pid_t(pid), 0) == 0;
}

// One cell of the exported sheet, row numbered from 1 as the sheet shows it.
struct SheetCell
{
    Reference<table::XCell> cell;

    table::CellContentType type() const { return cell->getType(); }
    QString text() const
    {
        return toQString(Reference<text::XText>(cell, UNO_QUERY_THROW)->getString());
    }
    double value() const { return cell->getValue(); }
    QString formula() const { return toQString(cell->getFormula()); }
    Any property(const char *name) const
    {
        return Reference<beans::XPropertySet>(cell, UNO_QUERY_THROW)
            ->getPropertyValue(rtl::OUString::createFromAscii(name));
    }
    bool framed(QString *why) const
    {
        bool wrapped = false;
        property("IsTextWrapped") >>= wrapped;
        table::CellHoriJustify hori = table::CellHoriJustify_STANDARD;
        property("HoriJustify") >>= hori;
        sal_Int32 vert = 0;
        property("VertJustify") >>= vert;
        if (!wrapped || hori != table::CellHoriJustify_CENTER
            || vert != table::CellVertJustify2::CENTER) {
            *why = QStringLiteral("wrap %1, horizontal %2, vertical %3")
                       .arg(wrapped)
                       .arg(int(hori))
                       .arg(vert);
            return false;
        }
        for (const char *edge : {"LeftBorder", "RightBorder", "TopBorder", "BottomBorder"}) {
            table::BorderLine2 line;
            property(edge) >>= line;
            if (line.LineWidth == 0 && line.OuterLineWidth == 0) {
                *why = QStringLiteral("no line on %1").arg(QLatin1String(edge));
                return false;
            }
        }
        return true;
    }
    bool hasAnyBorder() const
    {
        for (const char *edge : {"LeftBorder", "RightBorder", "TopBorder", "BottomBorder"}) {
            table::BorderLine2 line;
            property(edge) >>= line;
            if (line.LineWidth != 0 || line.OuterLineWidth != 0)
                return true;
        }
        return false;
    }
};

class ExportTest : public QObject
{
    Q_OBJECT

public:
    ExportTest() = default;

private:
    QTemporaryDir m_dir;
    QString m_template;
    QString m_withoutSheet;
    MainWindow *m_window = nullptr;
    QStringList m_messages;
    QVector<qint64> m_officePids;

    OfficeSession &office() { return OfficeSession::shared(); }

    QTableWidget *table() { return m_window->findChild<QTableWidget *>("tableWidget"); }

    int openDocuments()
    {
        const Reference<container::XEnumeration> all
            = office().desktop()->getComponents()->createEnumeration();
        int count = 0;
        for (; all->hasMoreElements(); all->nextElement())
            ++count;
        return count;
    }

    // Types the template path as the operator would and presses "Экспорт"; the document the
    // export opened, or null when it opened none.
    Reference<sheet::XSpreadsheetDocument> exportTo(const QString &path)
    {
        auto *pathField = m_window->findChild<QLineEdit *>("lineEdit_11");
        pathField->selectAll();
        QTest::keyClick(pathField, Qt::Key_Delete);
        typeText(pathField, path);
        const Reference<sheet::XSpreadsheetDocument> before = office().lastDocument();
        QTest::mouseClick(m_window->findChild<QPushButton *>("pushButton_6"), Qt::LeftButton);
        const Reference<sheet::XSpreadsheetDocument> after = office().lastDocument();
        return after == before ? Reference<sheet::XSpreadsheetDocument>() : after;
    }

    static SheetCell cellOf(const Reference<sheet::XSpreadsheetDocument> &document,
                            const char *name)
    {
        const Reference<container::XNameAccess> sheets(document->getSheets(), UNO_QUERY_THROW);
        const Reference<sheet::XSpreadsheet> sheet(
            sheets->getByName(toOUString(QStringLiteral("Лист1"))), UNO_QUERY_THROW);
        return {
            Reference<table::XCell>(sheet->getCellRangeByName(rtl::OUString::createFromAscii(name))
                                        ->getCellByPosition(0, 0),
                                    UNO_QUERY_THROW)};
    }

    QStringList tableTexts()
    {
        QStringList texts;
        for (int row = 0; row < table()->rowCount(); ++row)
            for (int column = 0; column < 5; ++column)
                texts << (table()->item(row, column) ? table()->item(row, column)->text() : "-");
        return texts;
    }

    void makeWorkbookWithoutInvoiceSheet(const QString &path)
    {
        const beans::PropertyValue hidden {"Hidden", 0, Any(true),
                                           beans::PropertyState_DIRECT_VALUE};
        const Reference<lang::XComponent> component = office().desktop()->loadComponentFromURL(
            "private:factory/scalc", "_blank", 0, uno::Sequence<beans::PropertyValue>(&hidden, 1));
        const Reference<sheet::XSpreadsheetDocument> document(component, UNO_QUERY_THROW);
        const Reference<container::XIndexAccess> sheets(document->getSheets(), UNO_QUERY_THROW);
        Reference<container::XNamed>(sheets->getByIndex(0), UNO_QUERY_THROW)
            ->setName(toOUString(QStringLiteral("Данные")));
        const beans::PropertyValue filter {"FilterName", 0,
                                           Any(rtl::OUString("Calc MS Excel 2007 XML")),
                                           beans::PropertyState_DIRECT_VALUE};
        Reference<frame::XStorable>(component, UNO_QUERY_THROW)
            ->storeToURL(toOUString(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)),
                         uno::Sequence<beans::PropertyValue>(&filter, 1));
        office().discard(component);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_dir.isValid(), "no temporary folder");
        const QString source = QFINDTESTDATA("../templates/invoice.xlsx");
        QVERIFY2(!source.isEmpty(), "the sample template templates/invoice.xlsx is missing");
        m_template = m_dir.filePath("invoice.xlsx");
        QVERIFY(QFile::copy(source, m_template));

        // One headless office for the whole run, on the program's own pipe, with its own profile.
        office().setStartArguments(
            {"--headless",
             "-env:UserInstallation=" + QUrl::fromLocalFile(m_dir.filePath("profile")).toString()});
        QElapsedTimer started;
        started.start();
        QVERIFY2(office().reach(), qPrintable(office().lastError()));
        qInfo("office reached in %lld ms", started.elapsed());
        m_officePids << office().startedProcessId();

        m_withoutSheet = m_dir.filePath("no-invoice-sheet.xlsx");
        makeWorkbookWithoutInvoiceSheet(m_withoutSheet);
        QVERIFY2(QFileInfo::exists(m_withoutSheet), "the workbook without Лист1 was not written");
    }

    void cleanupTestCase()
    {
        try {
            if (office().desktop().is())
                office().desktop()->terminate();
        } catch (const uno::Exception &) {
            // Terminating drops the bridge under our feet; the office goes all the same.
        }
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
        m_window = new MainWindow;
        m_window->showMessage = [this](const QString &message) { m_messages << message; };
        m_window->show();
    }

    void cleanup()
    {
        // Every test leaves the office as it found it: no document of ours stays open.
        const Reference<sheet::XSpreadsheetDocument> last = office().lastDocument();
        if (last.is())
            office().discard(last);
        delete m_window;
        m_window = nullptr;
    }

    void emptyOrder()
    {
        const auto document = exportTo(m_template);
        QVERIFY2(document.is(), qPrintable("no invoice opened: " + m_messages.join(" | ")));
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(" | ")));

        QCOMPARE(cellOf(document, "E17").text(), QStringLiteral("Итого"));
        QCOMPARE(cellOf(document, "F17").type(), table::CellContentType_VALUE);
        QCOMPARE(cellOf(document, "F17").value(), 0.0);
        QCOMPARE(cellOf(document, "E18").text(), QStringLiteral("18%"));
        QCOMPARE(cellOf(document, "E18").type(), table::CellContentType_TEXT);
        QCOMPARE(cellOf(document, "F18").type(), table::CellContentType_FORMULA);
        QCOMPARE(cellOf(document, "F18").value(), 0.0);
        QCOMPARE(cellOf(document, "E19").text(), QStringLiteral("Всего"));
        QCOMPARE(cellOf(document, "F19").value(), 0.0);
        QCOMPARE(cellOf(document, "B22").text(), QString::fromUtf8(HeadSignature));
        QCOMPARE(cellOf(document, "B24").text(), QString::fromUtf8(AccountantSignature));
        QCOMPARE(cellOf(document, "C26").text(), QStringLiteral("М.П."));
        for (const char *untouched : {"B17", "C17", "D17", "B20", "E20", "F20", "B26"})
            QVERIFY2(cellOf(document, untouched).type() == table::CellContentType_EMPTY,
                     qPrintable(QStringLiteral("%1 was written").arg(untouched)));
    }

    // Lines as three different pages append them; the sums and formulas are computed by the sheet.
    void linesOfDifferentPages()
    {
        m_window->appendOrderLine("А4 (210х297 мм.) 4+4 Матовая 350", "100", "132",
                                  "значение=002428", "Формат Цветность Бумага Плотность ", true);
        m_window->appendOrderLine("Интерьерная печать: плёнка, 2 м²", "2", "0.03", "значение=0521",
                                  "Материал Разрешение ", false);
        m_window->appendOrderLine("Кружка белая, печать по кругу", "10", "1.5", "значение=0612",
                                  "Изделие Печать ", false);
        const QStringList before = tableTexts();

        const auto document = exportTo(m_template);
        QVERIFY2(document.is(), qPrintable("no invoice opened: " + m_messages.join(" | ")));
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(" | ")));
        QCOMPARE(tableTexts(), before);

        const char *const descriptions[]
            = {"А4 (210х297 мм.) 4+4 Матовая 350", "Интерьерная печать: плёнка, 2 м²",
               "Кружка белая, печать по кругу"};
        const double quantities[] = {100, 2, 10};
        const double prices[] = {132, 0.03, 1.5};
        for (int i = 0; i < 3; ++i) {
            const QByteArray row = QByteArray::number(17 + i);
            const SheetCell number = cellOf(document, "B" + row);
            QCOMPARE(number.type(), table::CellContentType_VALUE);
            QCOMPARE(number.value(), double(i + 1));
            QCOMPARE(cellOf(document, "C" + row).text(), QString::fromUtf8(descriptions[i]));
            QCOMPARE(cellOf(document, "D" + row).type(), table::CellContentType_VALUE);
            QCOMPARE(cellOf(document, "D" + row).value(), quantities[i]);
            QCOMPARE(cellOf(document, "E" + row).value(), prices[i]);
            QVERIFY2(qAbs(cellOf(document, "F" + row).value() - quantities[i] * prices[i]) < 1e-9,
                     qPrintable("line sum in F" + row));
        }
        const double subtotal = 13200 + 0.06 + 15;
        QCOMPARE(cellOf(document, "E20").text(), QStringLiteral("Итого"));
        QCOMPARE(cellOf(document, "F20").formula(), QStringLiteral("=SUM(F17:F19)"));
        QVERIFY2(qAbs(cellOf(document, "F20").value() - subtotal) < 1e-6, "subtotal");
        QVERIFY2(qAbs(cellOf(document, "F21").value() - subtotal * 0.18) < 1e-6, "tax");
        QVERIFY2(qAbs(cellOf(document, "F22").value() - subtotal * 1.18) < 1e-6, "total");
        QCOMPARE(cellOf(document, "B25").text(), QString::fromUtf8(HeadSignature));
        QCOMPARE(cellOf(document, "B27").text(), QString::fromUtf8(AccountantSignature));
        QCOMPARE(cellOf(document, "C29").text(), QStringLiteral("М.П."));
        QCOMPARE(cellOf(document, "B22").type(), table::CellContentType_EMPTY);

        // Live formulas: the operator's edit of a line sum carries through to the total.
        cellOf(document, "F17").cell->setValue(100);
        QVERIFY2(qAbs(cellOf(document, "F22").value() - (100 + 0.06 + 15) * 1.18) < 1e-6,
                 "the total did not follow an edited line sum");
    }

    void decimalAndExponentPrices()
    {
        m_window->appendOrderLine("Наклейки", "2", "0.03", "значение=1", "", false);
        m_window->appendOrderLine("Баннер", "1", "5.40001e+07", "значение=2", "", false);
        const auto document = exportTo(m_template);
        QVERIFY2(document.is(), qPrintable("no invoice opened: " + m_messages.join(" | ")));
        QVERIFY2(qAbs(cellOf(document, "F17").value() - 0.06) < 1e-12, "0.03 × 2");
        QCOMPARE(cellOf(document, "E18").type(), table::CellContentType_VALUE);
        QCOMPARE(cellOf(document, "E18").value(), 54000100.0);
        QCOMPARE(cellOf(document, "F18").value(), 54000100.0);
    }

    // The operator edits cells in place; the export takes the texts as they are now, as texts.
    void editedCellsAsTexts()
    {
        m_window->appendOrderLine("Визитки", "100", "5", "значение=3", "", true);
        m_window->appendOrderLine("Листовки", "50", "2", "значение=4", "", true);
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
        edit(0, 0, "Визитки на картоне 300 г");
        edit(1, 0, "=1+1");
        edit(1, 1, "=2*3");

        const auto document = exportTo(m_template);
        QVERIFY2(document.is(), qPrintable("no invoice opened: " + m_messages.join(" | ")));
        QCOMPARE(cellOf(document, "C17").text(), QStringLiteral("Визитки на картоне 300 г"));
        for (const char *name : {"C18", "D18"}) {
            QVERIFY2(cellOf(document, name).type() == table::CellContentType_TEXT,
                     qPrintable(QStringLiteral("%1 was evaluated").arg(name)));
        }
        QCOMPARE(cellOf(document, "C18").text(), QStringLiteral("=1+1"));
        QCOMPARE(cellOf(document, "D18").text(), QStringLiteral("=2*3"));
        QCOMPARE(cellOf(document, "F18").value(), 0.0);
    }

    void framedAndPlainCells()
    {
        m_window->appendOrderLine("Длинное описание заказа, которое не помещается в одну строку "
                                  "ячейки и должно переноситься",
                                  "3", "7", "значение=5", "", false);
        m_window->appendOrderLine("Плакат", "1", "90", "значение=6", "", false);
        const auto document = exportTo(m_template);
        QVERIFY2(document.is(), qPrintable("no invoice opened: " + m_messages.join(" | ")));
        QStringList framed;
        for (int row = 17; row <= 18; ++row)
            for (char column = 'B'; column <= 'F'; ++column)
                framed << QString(QChar(column)) + QString::number(row);
        framed << "E19"
               << "F19"
               << "E20"
               << "F20"
               << "E21"
               << "F21";
        for (const QString &name : framed) {
            QString why;
            QVERIFY2(cellOf(document, name.toLatin1()).framed(&why),
                     qPrintable(name + " is not framed: " + why));
        }
        for (const char *name : {"B24", "B26", "C28"}) {
            const SheetCell cell = cellOf(document, name);
            bool wrapped = true;
            cell.property("IsTextWrapped") >>= wrapped;
            table::CellHoriJustify hori = table::CellHoriJustify_CENTER;
            cell.property("HoriJustify") >>= hori;
            QVERIFY2(!wrapped, qPrintable(QStringLiteral("%1 wraps").arg(name)));
            QVERIFY2(hori == table::CellHoriJustify_STANDARD,
                     qPrintable(QStringLiteral("%1 alignment changed").arg(name)));
            QVERIFY2(!cell.hasAnyBorder(), qPrintable(QStringLiteral("%1 got a border").arg(name)));
        }
        // Beside the written cells nothing is framed.
        for (const char *name : {"A17", "G17", "D19", "B19", "F22"})
            QVERIFY2(!cellOf(document, name).hasAnyBorder(),
                     qPrintable(QStringLiteral("%1 got a border").arg(name)));
    }

    // The invoice is a new untitled document; the template's own cells stay and its file is not
    // written, not even when the invoice is closed.
    void templateKeptAndUnwritten()
    {
        const QByteArray hashBefore = fileHash(m_template);
        const QDateTime modifiedBefore = QFileInfo(m_template).lastModified();
        m_window->appendOrderLine("Буклет", "20", "12", "значение=7", "", false);
        const auto document = exportTo(m_template);
        QVERIFY2(document.is(), qPrintable("no invoice opened: " + m_messages.join(" | ")));

        QVERIFY2(Reference<frame::XModel>(document, UNO_QUERY_THROW)->getURL().isEmpty(),
                 "the invoice is tied to the template file instead of being untitled");
        QCOMPARE(cellOf(document, "B2").text(), QStringLiteral("Типография «Ясный лист»"));
        QVERIFY(cellOf(document, "B9").text().startsWith(QStringLiteral("Счёт №")));
        const char *const captions[][2] = {{"B16", "№"},
                                           {"C16", "Наименование"},
                                           {"D16", "Кол-во"},
                                           {"E16", "Цена"},
                                           {"F16", "Сумма"}};
        for (const auto &caption : captions)
            QCOMPARE(cellOf(document, caption[0]).text(), QString::fromUtf8(caption[1]));

        office().discard(document);
        QCOMPARE(fileHash(m_template), hashBefore);
        QCOMPARE(QFileInfo(m_template).lastModified(), modifiedBefore);
    }

    void templatePathWithCyrillicAndBlanks()
    {
        QDir(m_dir.path()).mkpath("Шаблоны счетов");
        const QString path = m_dir.filePath("Шаблоны счетов/счёт на оплату.xlsx");
        QVERIFY(QFile::copy(m_template, path));
        m_window->appendOrderLine("Открытки", "30", "4", "значение=8", "", false);
        const auto document = exportTo(path);
        QVERIFY2(document.is(), qPrintable("no invoice opened: " + m_messages.join(" | ")));
        QCOMPARE(cellOf(document, "F17").value(), 120.0);
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
        if (path == "missing")
            path = m_dir.filePath("нет такого.xlsx");
        else if (path == "folder")
            path = m_dir.path();
        else if (path == "nosheet")
            path = m_withoutSheet;
        else if (path == "text") {
            path = m_dir.filePath("notes.xlsx");
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("Это не таблица, а заметка.\n");
        }
        m_window->appendOrderLine("Визитки", "100", "5", "значение=9", "", true);
        const QStringList before = tableTexts();
        const int documentsBefore = openDocuments();

        const auto document = exportTo(path);

        QVERIFY2(!document.is(), "an invoice was opened although the export failed");
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages.first().contains(named),
                 qPrintable("the message does not say what failed: " + m_messages.first()));
        if (!path.isEmpty())
            QVERIFY2(m_messages.first().contains(path),
                     qPrintable("the message does not name the path: " + m_messages.first()));
        QCOMPARE(tableTexts(), before);
        QCOMPARE(openDocuments(), documentsBefore);
    }

    // Runs last: the operator closed the office; the next export starts it again.
    void closedOfficeStartsAgain()
    {
        const qint64 first = office().startedProcessId();
        try {
            office().desktop()->terminate();
        } catch (const uno::Exception &) { }
        QTRY_VERIFY2_WITH_TIMEOUT(!processAlive(first), "the office did not close", 10000);

        m_window->appendOrderLine("Календарь", "5", "40", "значение=10", "", false);
        const auto document = exportTo(m_template);
        QVERIFY2(document.is(), qPrintable("no invoice after restart: " + m_messages.join(" | ")));
        QVERIFY2(office().startedProcessId() != first, "no new office was started");
        m_officePids << office().startedProcessId();
        QCOMPARE(cellOf(document, "F17").value(), 200.0);
    }
};

QTEST_MAIN(ExportTest)
#include "test_export.moc"
