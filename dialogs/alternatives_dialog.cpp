// The alternatives table.
#include "dialogs/alternatives_dialog.h"

#include "dialogs/colours.h"
#include "dialogs/screen_fit.h"
#include "order/money.h"

#include "ui_alternatives_dialog.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableWidget>

#include <algorithm>

AlternativesDialog::AlternativesDialog(const QString &pageTitle, const QString &firstTitle,
                                       const QString &secondTitle,
                                       const QVector<Alternative> &alternatives,
                                       const QHash<QString, QString> &captions, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::AlternativesDialog)
    , offered(alternatives)
{
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("Варианты: ") + pageTitle);
    QTableWidget *view = ui->tableAlternatives;
    view->setRowCount(alternatives.size());

    bool tiers = false;
    for (const Alternative &alternative : alternatives)
        tiers = tiers || alternative.quotes.size() > 1;
    view->setHorizontalHeaderLabels(
        {QString(), firstTitle, secondTitle, QStringLiteral("Цена за шт."),
         tiers ? QStringLiteral("Сумма с тиражом") : QStringLiteral("Сумма")});
    const QFontMetrics metrics(view->font());
    view->verticalHeader()->setDefaultSectionSize(metrics.height() + 8);

    // Each cell is made whole before it goes into the table, so the table hears of it once.
    int currentRow = 0;
    int widths[ColumnCount] = {};
    QFont bold = view->font();
    bold.setBold(true);
    for (int row = 0; row < alternatives.size(); ++row) {
        const Alternative &alternative = alternatives.at(row);
        const QString texts[]
            = {alternative.current ? QStringLiteral("▶") : QString(),
               captions.value(alternative.first.name, alternative.first.caption),
               captions.value(alternative.second.name, alternative.second.caption),
               moneyText(alternative.unitPrice()), moneyText(alternative.sum())};
        QStringList explanations;
        for (const Quote &quote : alternative.quotes)
            explanations << quote.explanation();
        for (int column = 0; column < ColumnCount; ++column) {
            auto *cell = new QTableWidgetItem(texts[column]);
            if (column >= UnitPrice)
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (alternative.current) {
                cell->setFont(bold);
                cell->setToolTip(QStringLiteral("Выбрано на странице сейчас"));
            }
            if (column == First || column == Second)
                cell->setData(Qt::UserRole,
                              column == First ? alternative.first.name : alternative.second.name);
            if (column == UnitPrice)
                cell->setToolTip(explanations.join(QStringLiteral("\n\n")));
            if (column == Sum && alternative.missingPrice())
                cell->setBackground(MissingPriceColour);
            widths[column] = qMax(widths[column], metrics.horizontalAdvance(texts[column]));
            view->setItem(row, column, cell);
        }
        if (alternative.current)
            currentRow = row;
    }
    // Sized by the texts themselves: measuring the cells through the view costs more.
    const int padding = 3 * metrics.averageCharWidth();
    int tableWidth = 2 * view->frameWidth() + view->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < ColumnCount; ++column) {
        const QString caption = view->horizontalHeaderItem(column)->text();
        QFont headerFont = view->horizontalHeader()->font();
        headerFont.setBold(true);
        const int width
            = qMax(widths[column], QFontMetrics(headerFont).horizontalAdvance(caption)) + padding;
        view->setColumnWidth(column, width);
        tableWidth += width;
    }
    if (!alternatives.isEmpty())
        view->setCurrentCell(currentRow, First);

    ui->labelAlternativesHint->setText(alternatives.isEmpty()
                                           ? QStringLiteral("В прайс-листе нет других вариантов.")
                                           : QStringLiteral("Дешёвые сверху. Enter или двойной "
                                                            "щелчок — выбрать вариант, Esc — "
                                                            "закрыть."));
    // The whole width of the columns and up to sixteen rows, within the screen.
    const int visibleRows = qBound(4, int(alternatives.size()), 16);
    QSize wanted(tableWidth + 24,
                 view->verticalHeader()->defaultSectionSize() * (visibleRows + 1)
                     + 4 * metrics.height());
    resizeWithinScreen(this, wanted);

    connect(view, &QAbstractItemView::activated, this,
            [this](const QModelIndex &index) { choose(index.row()); });
}

AlternativesDialog::~AlternativesDialog() = default;

QTableWidget *AlternativesDialog::table() const
{
    return ui->tableAlternatives;
}

void AlternativesDialog::choose(int row)
{
    if (row < 0 || row >= offered.size())
        return;
    if (apply)
        apply(offered.at(row));
    accept();
}
