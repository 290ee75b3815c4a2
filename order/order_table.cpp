// The order table: lines appended by the calculators, removed by a click in the last column.
#include "app/mainwindow.h"

#include "form/mainwindow_form.h"
#include "order/order_cells.h"

#include <QTableWidget>

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
    insertOrderLine(form->tableWidget->rowCount(), line);
    // The new line comes into view; this lays the table out first, so it is the last line.
    form->tableWidget->scrollToBottom();
}

void MainWindow::insertOrderLine(int row, const OrderLine &line)
{
    QTableWidget *table = form->tableWidget;
    table->insertRow(row);
    for (int column = OrderLine::Description; column < OrderLine::ColumnCount; ++column) {
        if (QTableWidgetItem *cell = newOrderCell(line, OrderLine::Column(column)))
            table->setItem(row, column, cell);
    }
    // The job and how it was priced ride on the line's first cell, for storing and explaining.
    QTableWidgetItem *first = table->item(row, OrderLine::Description);
    first->setData(JobRole, line.job);
    first->setData(ExplanationRole, line.explanation);
    first->setData(MissingPriceRole, line.missingPrice);
    first->setData(PriceVersionRole, line.priceVersion);
}

QVector<OrderLine> MainWindow::orderLines() const
{
    QVector<OrderLine> lines;
    lines.reserve(form->tableWidget->rowCount());
    for (int row = 0; row < form->tableWidget->rowCount(); ++row)
        lines.append(orderLine(row));
    return lines;
}

OrderLine MainWindow::orderLine(int row) const
{
    const QTableWidget *table = form->tableWidget;
    auto text = [&](int column) {
        const QTableWidgetItem *item = table->item(row, column);
        return item ? item->text() : QString();
    };
    OrderLine line;
    line.description = text(OrderLine::Description);
    line.quantity = text(OrderLine::Quantity);
    line.unitPrice = text(OrderLine::UnitPrice);
    line.keyText = text(OrderLine::KeyText);
    line.titles = text(OrderLine::Titles);
    line.removalMarker = table->item(row, OrderLine::Marker) != nullptr;
    if (const QTableWidgetItem *first = table->item(row, OrderLine::Description)) {
        line.job = first->data(JobRole).toJsonObject();
        line.explanation = first->data(ExplanationRole).toString();
        line.missingPrice = first->data(MissingPriceRole).toBool();
        line.priceVersion = first->data(PriceVersionRole).toInt();
    }
    return line;
}

void MainWindow::slotCellClicked(int row, int column)
{
    if (column == OrderLine::Marker)
        form->tableWidget->removeRow(row);
}

void MainWindow::clearTable()
{
    // clearContents, not clear: the header captions must survive.
    form->tableWidget->clearContents();
    form->tableWidget->setRowCount(0);
}
