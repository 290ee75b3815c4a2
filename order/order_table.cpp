// The order table: lines appended by the calculators, removed by a click in the last column.
#include "app/mainwindow.h"

#include "form/mainwindow_form.h"

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
    QTableWidget *table = form->tableWidget;
    const int row = table->rowCount();
    table->setRowCount(row + 1);
    for (int column = OrderLine::Description; column < OrderLine::Marker; ++column) {
        auto *item = new QTableWidgetItem(line.text(OrderLine::Column(column)));
        table->setItem(row, column, item);
    }
    // The job and how it was priced ride on the line's first cell, for storing and explaining.
    QTableWidgetItem *first = table->item(row, OrderLine::Description);
    first->setData(JobRole, line.job);
    first->setData(ExplanationRole, line.explanation);
    first->setData(MissingPriceRole, line.missingPrice);
    if (line.removalMarker) {
        auto *marker = new QTableWidgetItem;
        marker->setBackground(Qt::red);
        table->setItem(row, OrderLine::Marker, marker);
    }
}

QVector<OrderLine> MainWindow::orderLines() const
{
    const QTableWidget *table = form->tableWidget;
    QVector<OrderLine> lines;
    lines.reserve(table->rowCount());
    for (int row = 0; row < table->rowCount(); ++row) {
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
        }
        lines.append(line);
    }
    return lines;
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
