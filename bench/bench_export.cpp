// Export benchmark (not a test): office cold start, the export of 10, 100 and 1000 lines into a
// warm office through the window's "Экспорт", and bulk writes against cell-by-cell writes of the
// same invoice. Runs its own headless office with a fresh profile and ends it afterwards.
#include "app/mainwindow.h"
#include "order/invoice.h"
#include "office/office_session.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QUrl>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/table/BorderLine2.hpp>
#include <com/sun/star/table/BorderLineStyle.hpp>
#include <com/sun/star/table/CellHoriJustify.hpp>
#include <com/sun/star/table/CellVertJustify2.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XText.hpp>

#include <algorithm>
#include <csignal>
#include <unistd.h>

using namespace css;
using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

static QTextStream out(stdout);

static QVector<OrderLine> sampleLines(int count)
{
    QVector<OrderLine> lines;
    for (int i = 0; i < count; ++i)
        lines.append({QStringLiteral("А4 (210х297 мм.) 4+4 Матовая 350, заказ %1").arg(i + 1),
                      QString::number(100 + i), QStringLiteral("0.03")});
    return lines;
}

static Reference<sheet::XSpreadsheet>
invoiceSheet(OfficeSession &office, const Reference<sheet::XSpreadsheetDocument> &doc,
             const QString &path)
{
    return office.sheetByName(doc, QStringLiteral("Лист1"), path);
}

// The way of one automation call per property: range, value, wrap, two alignments, four borders.
static void writeCellByCell(const Reference<sheet::XSpreadsheet> &sheet,
                            const QVector<InvoiceBlock> &blocks)
{
    table::BorderLine2 line;
    line.LineStyle = table::BorderLineStyle::SOLID;
    line.OuterLineWidth = 26;
    line.LineWidth = 26;
    for (const InvoiceBlock &block : blocks)
        for (int r = 0; r < block.rowCount(); ++r)
            for (int c = 0; c < block.columnCount(); ++c) {
                const InvoiceCell &value = block.rows.at(r).at(c);
                const QString name = cellName(block.top + r, block.left + c);
                const Reference<table::XCellRange> range
                    = sheet->getCellRangeByName(toOUString(name + ':' + name));
                const Reference<table::XCell> cell = range->getCellByPosition(0, 0);
                if (value.kind == InvoiceCell::Number)
                    cell->setValue(value.number);
                else if (value.kind == InvoiceCell::Formula)
                    cell->setFormula(toOUString(value.text));
                else
                    Reference<text::XText>(cell, UNO_QUERY_THROW)
                        ->setString(toOUString(value.text));
                const Reference<beans::XPropertySet> properties(range, UNO_QUERY_THROW);
                properties->setPropertyValue("IsTextWrapped", Any(block.framed));
                if (!block.framed)
                    continue;
                properties->setPropertyValue("HoriJustify", Any(table::CellHoriJustify_CENTER));
                properties->setPropertyValue("VertJustify",
                                             Any(sal_Int32(table::CellVertJustify2::CENTER)));
                for (const char *edge : {"LeftBorder", "RightBorder", "TopBorder", "BottomBorder"})
                    properties->setPropertyValue(rtl::OUString::createFromAscii(edge), Any(line));
            }
}

static double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    out.setCodec("UTF-8");
    QTemporaryDir dir;
    const QString templatePath = QStringLiteral(PRINTCALC_SOURCE_DIR "/templates/invoice.xlsx");
    if (!dir.isValid() || !QFileInfo::exists(templatePath)) {
        out << "no temporary folder or no template at " << templatePath << "\n";
        return 1;
    }

    OfficeSession &office = OfficeSession::shared();
    office.setStartArguments(
        {"--headless",
         "-env:UserInstallation=" + QUrl::fromLocalFile(dir.filePath("profile")).toString()});

    QElapsedTimer timer;
    timer.start();
    if (!office.reach()) {
        out << office.lastError() << "\n";
        return 1;
    }
    const double reached = timer.nsecsElapsed() / 1e6;
    if (office.startedProcessId() == 0)
        out << "note: an office already listened on the pipe, so this start was not cold\n";
    const auto first = office.openTemplate(templatePath);
    const double opened = timer.nsecsElapsed() / 1e6;
    office.discard(first);
    out << QString("office cold start (fresh profile): %1 ms to connect, %2 ms to the opened "
                   "template\n")
               .arg(reached, 0, 'f', 0)
               .arg(opened, 0, 'f', 0);

    // The export as the operator runs it: the window reads its table and writes the invoice.
    out << QStringLiteral("export through \"Экспорт\", warm office (median of 3):\n");
    for (int count : {10, 100, 1000}) {
        MainWindow window;
        window.showMessage
            = [](const QString &message) { out << "  message: " << message << "\n"; };
        for (const OrderLine &line : sampleLines(count))
            window.appendOrderLine(line.description, line.quantity, line.unitPrice,
                                   QStringLiteral("значение=002428"), QString(), false);
        window.findChild<QLineEdit *>("lineEdit_11")->setText(templatePath);
        auto *button = window.findChild<QPushButton *>("pushButton_6");
        QVector<double> runs;
        for (int run = 0; run < 3; ++run) {
            timer.restart();
            button->click();
            runs << timer.nsecsElapsed() / 1e6;
            office.discard(office.lastDocument());
        }
        const double ms = median(runs);

        // The writes alone, without opening the template: this is the part that grows.
        const QVector<InvoiceBlock> invoice = invoiceFor(sampleLines(count));
        QVector<double> writes;
        for (int run = 0; run < 3; ++run) {
            const auto document = office.openTemplate(templatePath);
            const auto sheet = invoiceSheet(office, document, templatePath);
            timer.restart();
            office.writeBlocks(document, sheet, invoice);
            writes << timer.nsecsElapsed() / 1e6;
            office.discard(document);
        }
        const double written = median(writes);
        out << QString("  %1 lines: %2 ms in all; writes %3 ms, %4 ms a line\n")
                   .arg(count, 4)
                   .arg(ms, 6, 'f', 1)
                   .arg(written, 6, 'f', 1)
                   .arg(written / count, 0, 'f', 3);
    }

    // The same invoice written both ways into fresh documents; only the writes are timed.
    const int lines = 300;
    const QVector<InvoiceBlock> blocks = invoiceFor(sampleLines(lines));
    auto document = office.openTemplate(templatePath);
    auto sheet = invoiceSheet(office, document, templatePath);
    timer.restart();
    office.writeBlocks(document, sheet, blocks);
    const double bulk = timer.nsecsElapsed() / 1e6;
    office.discard(document);

    document = office.openTemplate(templatePath);
    sheet = invoiceSheet(office, document, templatePath);
    timer.restart();
    writeCellByCell(sheet, blocks);
    const double cellByCell = timer.nsecsElapsed() / 1e6;
    office.discard(document);
    out << QString(
               "same invoice of %1 lines: bulk %2 ms, cell by cell %3 ms, bulk %4 times faster\n")
               .arg(lines)
               .arg(bulk, 0, 'f', 1)
               .arg(cellByCell, 0, 'f', 0)
               .arg(cellByCell / bulk, 0, 'f', 0);

    const qint64 pid = office.startedProcessId();
    try {
        office.desktop()->terminate();
    } catch (const uno::Exception &) { }
    for (int waited = 0; pid > 0 && ::kill(pid_t(pid), 0) == 0 && waited < 100; ++waited)
        QThread::msleep(100);
    if (pid > 0 && ::kill(pid_t(pid), 0) == 0)
        ::kill(-::getpgid(pid_t(pid)), SIGKILL);
    return 0;
}
