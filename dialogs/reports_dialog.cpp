// The reports' window: the period and the report chosen, read on a thread, shown as a table and
// a Qwt chart, saved in the chosen form.
#include "dialogs/reports_dialog.h"

#include "customers/customer_file.h"
#include "dialogs/prompts.h"
#include "order/money.h"
#include "order/order_status.h"
#include "storage/connection.h"

#include "ui_reports_dialog.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>
#include <QThread>
#include <QtConcurrent>

#include <qwt_plot.h>
#include <qwt_plot_barchart.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_renderer.h>
#include <qwt_scale_draw.h>
#include <qwt_symbol.h>
#include <qwt_text.h>

#include <atomic>

namespace {

const int OwedReport = int(SalesGrouping::Customer) + 1;

QString money(double roubles)
{
    return QString::number(calcRounded(roubles, 2), 'f', 2);
}

// The groups' names under the bars, every one while they fit, else every n-th.
class GroupScale : public QwtScaleDraw
{
public:
    explicit GroupScale(const QStringList &names)
        : names(names)
    { }
    QwtText label(double value) const override
    {
        const int at = qRound(value);
        if (qAbs(value - at) > 1e-6 || at < 0 || at >= names.size())
            return QwtText();
        return QwtText(names.at(at));
    }

private:
    QStringList names;
};

// Roubles as the documents write them ("1 200 000"), not in exponent form.
class MoneyScale : public QwtScaleDraw
{
public:
    QwtText label(double value) const override { return QwtText(moneyNumber(value)); }
};

} // namespace

ReportTable readReport(const DatabaseUrl &url, int report, const QDate &from, const QDate &to)
{
    static std::atomic<int> opened {0};
    ReportTable table;
    Connection connection;
    if (!connection.open(url, QStringLiteral("reports-%1").arg(++opened))) {
        table.error = connection.errorText();
        return table;
    }
    SalesReports reports(connection);
    AverageOrder average;
    if (!reports.average(from, to, &average)) {
        table.error = connection.errorText();
        return table;
    }
    table.summary = QStringLiteral("Счетов: %1, продано на %2, средний заказ %3")
                        .arg(average.invoices)
                        .arg(moneyText(average.sum), moneyText(average.average()));
    if (report == OwedReport) {
        QVector<OwedRow> rows;
        if (!reports.owed(to, &rows)) {
            table.error = connection.errorText();
            return table;
        }
        table.title = QStringLiteral("Неоплаченные заказы по возрасту на %1")
                          .arg(to.toString(QStringLiteral("dd.MM.yyyy")));
        table.headers = QStringList {QStringLiteral("Возраст, дней"), QStringLiteral("Заказов"),
                                     QStringLiteral("Долг, ₽")};
        for (const OwedRow &row : qAsConst(rows)) {
            table.rows.append(
                {row.age, QString::number(row.invoices), kopecksText(row.owedKopecks)});
            table.figures.append(double(row.owedKopecks) / 100.0);
        }
        return table;
    }
    const SalesGrouping by = SalesGrouping(report);
    QVector<SalesRow> rows;
    if (!reports.sales(from, to, by, &rows)) {
        table.error = connection.errorText();
        return table;
    }
    table.title
        = QStringLiteral("Продажи с %1 по %2, %3")
              .arg(from.toString(QStringLiteral("dd.MM.yyyy")),
                   to.toString(QStringLiteral("dd.MM.yyyy")), groupingCaption(by).toLower());
    table.overTime = by == SalesGrouping::Day;
    const QString group[] = {QStringLiteral("День"),     QStringLiteral("Неделя"),
                             QStringLiteral("Месяц"),    QStringLiteral("Вид продукции"),
                             QStringLiteral("Оператор"), QStringLiteral("Покупатель")};
    table.headers = QStringList {group[report], QStringLiteral("Счетов"), QStringLiteral("Строк"),
                                 QStringLiteral("Сумма, ₽")};
    for (const SalesRow &row : qAsConst(rows)) {
        table.rows.append(
            {row.group, QString::number(row.invoices), QString::number(row.lines), money(row.sum)});
        table.figures.append(row.sum);
    }
    return table;
}

QByteArray reportCsv(const ReportTable &table)
{
    // Names and captions are typed by people and kept from being taken for formulas; the figures
    // are the program's own numbers, a minus sign included.
    const auto line = [](const QStringList &cells, bool figuresAfterFirst) -> QString {
        QStringList fields;
        for (int c = 0; c < cells.size(); ++c) {
            const bool text = c == 0 || !figuresAfterFirst;
            fields << (text ? csvTextField(cells.at(c)) : cells.at(c));
        }
        return fields.join(QLatin1Char(';')) + QStringLiteral("\r\n");
    };
    QString text = line(table.headers, false);
    for (const QStringList &row : table.rows)
        text += line(row, true);
    return text.toUtf8();
}

ReportsDialog::ReportsDialog(const DatabaseUrl &shop, Prompts *prompts, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ReportsDialog)
    , shop(shop)
    , prompts(prompts)
{
    ui->setupUi(this);
    from = ui->dateEditFrom;
    to = ui->dateEditTo;
    grouping = ui->comboBoxReport;
    showButton = ui->pushButtonReportShow;
    saveButton = ui->pushButtonReportSave;
    summary = ui->labelReportSummary;
    grid = ui->tableReport;
    plot = ui->plotReport;
    const QDate today = QDate::currentDate();
    from->setDate(QDate(today.year(), today.month(), 1));
    to->setDate(today);
    for (int by = 0; by <= int(SalesGrouping::Customer); ++by)
        grouping->addItem(groupingCaption(SalesGrouping(by)));
    grouping->addItem(QStringLiteral("Неоплаченные по возрасту"));
    plot->setCanvasBackground(Qt::white);
    auto *lines = new QwtPlotGrid;
    lines->enableX(false);
    lines->setMajorPen(QColor(0xd0, 0xd0, 0xd0), 0, Qt::DotLine);
    lines->attach(plot);
    ui->splitterReport->setStretchFactor(0, 2);
    ui->splitterReport->setStretchFactor(1, 3);
    // The table wide enough for a customer's name and a sum of millions.
    ui->splitterReport->setSizes({430, 550});
    connect(showButton, &QPushButton::clicked, this, [this] { read(grouping->currentIndex()); });
    connect(grouping, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { read(index); });
    chooseFile = [this](const QString &filter, const QString &name) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить отчёт"), name, filter);
    };
    connect(saveButton, &QPushButton::clicked, this, [this] {
        QString filter = QStringLiteral("CSV (*.csv);;PDF (*.pdf)");
        if (writeSheet)
            filter += QStringLiteral(";;Таблица (*.ods);;Таблица Excel (*.xlsx)");
        const QString path = chooseFile(filter, QStringLiteral("отчёт.csv"));
        if (!path.isEmpty())
            save(path);
    });
}

ReportsDialog::~ReportsDialog() = default;

void ReportsDialog::read(int report)
{
    if (to->date() < from->date()) {
        summary->setText(QStringLiteral("Начало периода позже его конца."));
        return;
    }
    const int question = ++serial;
    reading = true;
    summary->setText(QStringLiteral("Отчёт считается…"));
    auto *watcher = new QFutureWatcher<ReportTable>(this);
    connect(watcher, &QFutureWatcher<ReportTable>::finished, this, [this, watcher, question] {
        watcher->deleteLater();
        if (question != serial)
            return;
        reading = false;
        showTable(watcher->result());
    });
    watcher->setFuture(QtConcurrent::run(readReport, shop, report, from->date(), to->date()));
}

void ReportsDialog::showTable(const ReportTable &result)
{
    if (!result.error.isEmpty()) {
        summary->setText(QStringLiteral("Отчёт не получен: ") + result.error);
        return;
    }
    table = result;
    summary->setText(result.title + QStringLiteral(". ") + result.summary);
    saveButton->setEnabled(true);
    grid->clear();
    grid->setColumnCount(result.headers.size());
    grid->setRowCount(result.rows.size());
    grid->setHorizontalHeaderLabels(result.headers);
    for (int r = 0; r < result.rows.size(); ++r) {
        for (int c = 0; c < result.rows.at(r).size(); ++c) {
            auto *item = new QTableWidgetItem(result.rows.at(r).at(c));
            if (c > 0)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grid->setItem(r, c, item);
        }
    }
    grid->resizeColumnsToContents();

    plot->detachItems(QwtPlotItem::Rtti_PlotBarChart);
    plot->detachItems(QwtPlotItem::Rtti_PlotCurve);
    QStringList names;
    QVector<QPointF> points;
    for (int r = 0; r < result.rows.size(); ++r) {
        QString name = result.rows.at(r).value(0);
        if (result.overTime)
            name = name.mid(8, 2) + QLatin1Char('.') + name.mid(5, 2); // "09.03"
        names << (name.size() > 16 ? name.left(15) + QChar(0x2026) : name);
        points.append(QPointF(r, result.figures.value(r)));
    }
    if (result.overTime) {
        auto *curve = new QwtPlotCurve(result.title);
        curve->setPen(QColor(0x2a, 0x6f, 0xb8), 2);
        curve->setSymbol(new QwtSymbol(QwtSymbol::Ellipse, QBrush(QColor(0x2a, 0x6f, 0xb8)),
                                       QPen(Qt::white), QSize(7, 7)));
        curve->setSamples(points);
        curve->attach(plot);
    } else {
        auto *bars = new QwtPlotBarChart(result.title);
        bars->setSamples(points);
        bars->setLayoutPolicy(QwtPlotBarChart::AutoAdjustSamples);
        bars->setSpacing(12);
        bars->attach(plot);
    }
    auto *scale = new GroupScale(names);
    int longest = 0;
    for (const QString &name : qAsConst(names))
        longest = qMax(longest, int(name.size()));
    // Names that would run into each other under the bars are slanted.
    const bool slanted = names.size() * longest > 50;
    scale->setLabelRotation(slanted ? -40.0 : 0.0);
    scale->setLabelAlignment(slanted ? Qt::AlignLeft | Qt::AlignBottom
                                     : Qt::AlignHCenter | Qt::AlignBottom);
    plot->setAxisScaleDraw(QwtPlot::xBottom, scale);
    const int step = qMax(1, int(names.size() + 11) / 12);
    plot->setAxisScale(QwtPlot::xBottom, -0.5, qMax(0.5, names.size() - 0.5), step);
    plot->setAxisMaxMinor(QwtPlot::xBottom, 0);
    plot->setAxisTitle(QwtPlot::yLeft, result.headers.value(result.headers.size() - 1));
    plot->setAxisScaleDraw(QwtPlot::yLeft, new MoneyScale);
    plot->setAxisAutoScale(QwtPlot::yLeft);
    plot->replot();
}

void ReportsDialog::save(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    QString error;
    bool done = false;
    if (suffix == QLatin1String("pdf")) {
        done = writePdf(path, &error);
    } else if (suffix == QLatin1String("ods") || suffix == QLatin1String("xlsx")) {
        if (!writeSheet) {
            error = QStringLiteral("таблицы пишет офис, а его в программе нет; сохраните CSV.");
        } else {
            QVector<QStringList> rows {table.headers};
            rows += table.rows;
            QSet<int> numbers;
            for (int c = 1; c < table.headers.size(); ++c)
                numbers.insert(c);
            // The office may take seconds: the window waits for nothing.
            const auto writer = writeSheet;
            auto *watcher = new QFutureWatcher<QString>(this);
            connect(watcher, &QFutureWatcher<QString>::finished, this, [this, watcher, path] {
                watcher->deleteLater();
                const QString failure = watcher->result();
                if (!failure.isEmpty())
                    prompts->tell(QStringLiteral("Отчёт не сохранён"),
                                  QStringLiteral("Отчёт не записан в «%1»: %2")
                                      .arg(QFileInfo(path).fileName(), failure));
            });
            const auto write = [writer, path, rows, numbers] {
                QString failure;
                if (!writer(path, rows, numbers, &failure) && failure.isEmpty())
                    failure = QStringLiteral("офис не записал файл.");
                return failure;
            };
            watcher->setFuture(sheetPool ? QtConcurrent::run(sheetPool, write)
                                         : QtConcurrent::run(write));
            return;
        }
    } else {
        QSaveFile file(path);
        done
            = file.open(QIODevice::WriteOnly) && file.write(reportCsv(table)) >= 0 && file.commit();
        if (!done)
            error = file.errorString();
    }
    if (!done)
        prompts->tell(
            QStringLiteral("Отчёт не сохранён"),
            QStringLiteral("Отчёт не записан в «%1»: %2").arg(QFileInfo(path).fileName(), error));
}

bool ReportsDialog::writePdf(const QString &path, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    {
        QPdfWriter pdf(&file);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageOrientation(QPageLayout::Landscape);
        pdf.setResolution(150);
        pdf.setTitle(table.title);
        QPainter painter(&pdf);
        const QRect page = painter.viewport();
        QFont font(QStringLiteral("DejaVu Sans"), 10);
        painter.setFont(font);
        const int lineHeight = painter.fontMetrics().height() + 6;
        int y = lineHeight;
        QFont bold = font;
        bold.setBold(true);
        bold.setPointSize(13);
        painter.setFont(bold);
        painter.drawText(QPoint(0, y), table.title);
        y += lineHeight + 4;
        painter.setFont(font);
        painter.drawText(QPoint(0, y), table.summary);
        y += lineHeight * 2;
        const int tableWidth = page.width() * 2 / 5;
        const int firstColumn = tableWidth * 2 / 5;
        const int otherColumn = table.headers.size() > 1
            ? (tableWidth - firstColumn) / (int(table.headers.size()) - 1)
            : 0;
        const auto drawRow = [&](const QStringList &cells, bool header) {
            QFont rowFont = font;
            rowFont.setBold(header);
            painter.setFont(rowFont);
            int x = 0;
            for (int c = 0; c < cells.size(); ++c) {
                const int width = c == 0 ? firstColumn : otherColumn;
                const QRect cell(x, y - lineHeight + 6, width - 8, lineHeight);
                painter.drawText(
                    cell, (c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter,
                    painter.fontMetrics().elidedText(cells.at(c), Qt::ElideRight, width - 8));
                x += width;
            }
            y += lineHeight;
        };
        const int tableTop = y;
        drawRow(table.headers, true);
        painter.drawLine(0, y - lineHeight + 4, tableWidth, y - lineHeight + 4);
        for (const QStringList &row : qAsConst(table.rows)) {
            if (y > page.height() - lineHeight) {
                pdf.newPage();
                y = lineHeight;
            }
            drawRow(row, false);
        }
        // The chart beside the table, as the window draws it.
        const QRectF chart(tableWidth + 40, tableTop - lineHeight, page.width() - tableWidth - 40,
                           qMin(page.height() - tableTop, page.width() / 3));
        QwtPlotRenderer renderer;
        renderer.setDiscardFlag(QwtPlotRenderer::DiscardBackground);
        renderer.setDiscardFlag(QwtPlotRenderer::DiscardCanvasFrame);
        renderer.render(plot, &painter, chart);
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
