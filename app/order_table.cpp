// The order table: lines appended by the calculators, removed by a click in the last column.
#include "app/order_table.h"

#include "app/mainwindow.h"
#include "app/order_cells.h"
#include "dialogs/prompts.h"
#include "form/mainwindow_form.h"
#include "order/money.h"
#include "order/order.h"
#include "order/order_status.h"

#include <QScopedValueRollback>
#include <QTableWidget>

OrderTableMirror::OrderTableMirror(Order *order, QTableWidget *table, QObject *parent)
    : QObject(parent)
    , order(order)
    , table(table)
{
    connect(order, &Order::linesInserted, this, &OrderTableMirror::showInserted);
    connect(order, &Order::linesRemoved, this, &OrderTableMirror::showRemoved);
    connect(order, &Order::lineChanged, this, &OrderTableMirror::showChanged);
    connect(order, &Order::cleared, this, &OrderTableMirror::showCleared);
    const QAbstractItemModel *model = table->model();
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) { takeInserted(first, last); });
    connect(model, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex &, int first, int last) { takeRemoved(first, last); });
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                takeChanged(topLeft.row(), bottomRight.row(), topLeft.column(),
                            bottomRight.column());
            });
    // A reset from outside (the cells emptied at once): what the rows held is gone with it.
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        if (!following) {
            const QScopedValueRollback<bool> guard(following, true);
            this->order->clear();
        }
    });
    connect(model, &QAbstractItemModel::modelReset, this, &OrderTableMirror::takeReset);
}

OrderTableMirror::~OrderTableMirror()
{
    // The window's table is emptied as it goes; that is no change of the order.
    table->model()->disconnect(this);
    order->disconnect(this);
}

void OrderTableMirror::showInserted(int first, int last)
{
    if (following)
        return;
    const QScopedValueRollback<bool> guard(following, true);
    for (int row = first; row <= last; ++row) {
        const OrderLine &line = order->line(row);
        table->insertRow(row);
        for (int column = OrderLine::Description; column < OrderLine::ColumnCount; ++column) {
            if (QTableWidgetItem *cell = newOrderCell(line, OrderLine::Column(column)))
                table->setItem(row, column, cell);
        }
    }
}

void OrderTableMirror::showRemoved(int first, int last)
{
    if (following)
        return;
    const QScopedValueRollback<bool> guard(following, true);
    for (int row = last; row >= first; --row)
        table->removeRow(row);
}

void OrderTableMirror::showChanged(int row, int column)
{
    if (following)
        return;
    const QScopedValueRollback<bool> guard(following, true);
    const OrderLine &line = order->line(row);
    delete table->takeItem(row, column);
    if (QTableWidgetItem *cell = newOrderCell(line, OrderLine::Column(column)))
        table->setItem(row, column, cell);
}

void OrderTableMirror::showCleared()
{
    if (following)
        return;
    const QScopedValueRollback<bool> guard(following, true);
    // clearContents, not clear: the header captions must survive.
    table->clearContents();
    table->setRowCount(0);
}

void OrderTableMirror::takeInserted(int first, int last)
{
    if (following)
        return;
    const QScopedValueRollback<bool> guard(following, true);
    QVector<OrderLine> lines(last - first + 1);
    for (int row = first; row <= last; ++row)
        for (int column = OrderLine::Description; column < OrderLine::Marker; ++column)
            if (const QTableWidgetItem *cell = table->item(row, column))
                lines[row - first].setText(OrderLine::Column(column), cell->text());
    order->insert(first, lines);
}

void OrderTableMirror::takeRemoved(int first, int last)
{
    if (following)
        return;
    const QScopedValueRollback<bool> guard(following, true);
    order->remove(first, last - first + 1);
}

void OrderTableMirror::takeChanged(int firstRow, int lastRow, int firstColumn, int lastColumn)
{
    if (following)
        return;
    const QScopedValueRollback<bool> guard(following, true);
    lastRow = qMin(lastRow, order->size() - 1);
    lastColumn = qMin(lastColumn, int(OrderLine::Titles));
    for (int row = qMax(firstRow, 0); row <= lastRow; ++row) {
        for (int column = qMax(firstColumn, 0); column <= lastColumn; ++column) {
            QTableWidgetItem *cell = table->item(row, column);
            order->setText(row, OrderLine::Column(column), cell ? cell->text() : QString());
            // The list's price kept beside a typed one shows with the rest of the explanation.
            if (cell && column == OrderLine::UnitPrice && !order->line(row).explanation.isEmpty())
                cell->setToolTip(order->line(row).explanation);
            // A price typed over a missing one is no longer marked as missing.
            if (cell && column == OrderLine::UnitPrice && !order->line(row).missingPrice
                && !order->line(row).samplePrice
                && cell->background().color() == MissingPriceColour)
                cell->setBackground(QBrush());
        }
    }
}

void OrderTableMirror::takeReset()
{
    if (following)
        return;
    // Rows the reset left (emptied cells) are blank lines of the order until they go too.
    takeInserted(0, table->rowCount() - 1);
}

// ---- MainWindow's side ----

void MainWindow::appendOrderLine(const QString &description, const QString &quantity,
                                 const QString &unitPrice, const QString &keyText,
                                 const QString &titles, bool removalMarker)
{
    OrderLine line;
    line.description = description;
    line.quantity = quantity;
    line.unitPrice = unitPrice;
    line.keyText = keyText;
    line.titles = titles;
    line.removalMarker = removalMarker;
    appendOrderLine(line);
}

void MainWindow::appendOrderLine(const OrderLine &line)
{
    // A sum past the largest the shop's records take is no price to quote: told, not added.
    if (line.hasNumbers
        && (lineSum(line) + linesSum(orderModel->lines())) * 100 > double(MaxKopecks)) {
        prompts().tell(QStringLiteral("Ответ"),
                       QStringLiteral("Сумма строки «%1» с заказом больше наибольшей возможной "
                                      "(%2): строка не добавлена.")
                           .arg(line.description, roublesAndKopecks(MaxKopecks)));
        return;
    }
    orderModel->append(line);
    // The new line comes into view; this lays the table out first, so it is the last line.
    form->tableWidget->scrollToBottom();
}

void MainWindow::insertOrderLine(int row, const OrderLine &line)
{
    orderModel->insert(row, line);
}

QVector<OrderLine> MainWindow::orderLines() const
{
    return orderModel->lines();
}

OrderLine MainWindow::orderLine(int row) const
{
    return row >= 0 && row < orderModel->size() ? orderModel->line(row) : OrderLine();
}

void MainWindow::slotCellClicked(int row, int column)
{
    if (column == OrderLine::Marker)
        orderModel->remove(row);
}

void MainWindow::clearTable()
{
    orderModel->clear();
}
