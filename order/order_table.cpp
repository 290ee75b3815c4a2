// The order table: lines appended by the calculators, removed by a click in the last column.
#include "app/mainwindow.h"

#include "form/mainwindow_form.h"

#include <QTableWidget>

void MainWindow::appendOrderLine(const QString &description, const QString &quantity,
                                 const QString &unitPrice, const QString &keyText,
                                 const QString &titles, bool removalMarker)
{
    QTableWidget *table = form->tableWidget;
    const int row = table->rowCount();
    table->setRowCount(row + 1);
    const QString texts[] = {description, quantity, unitPrice, keyText, titles};
    for (int column = 0; column < 5; ++column)
        table->setItem(row, column, new QTableWidgetItem(texts[column]));
    if (removalMarker) {
        auto *marker = new QTableWidgetItem;
        marker->setBackground(Qt::red);
        table->setItem(row, 5, marker);
    }
}

void MainWindow::slotCellClicked(int row, int column)
{
    if (column == 5)
        form->tableWidget->removeRow(row);
}

void MainWindow::clearTable()
{
    // clearContents, not clear: the header captions must survive.
    form->tableWidget->clearContents();
    form->tableWidget->setRowCount(0);
}
