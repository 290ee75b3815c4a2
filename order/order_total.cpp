// The order's total under the table.
#include "order/order_total.h"

#include "order/money.h"

#include <QLabel>
#include <QTableWidget>

QString orderTotalText(const QVector<OrderLine> &lines)
{
    return QStringLiteral("Итого: ") + moneyText(orderTotals(lines).subtotal)
        + QStringLiteral(" · строк: ") + QString::number(lines.size());
}

OrderTotal::OrderTotal(QTableWidget *table, QLabel *label, QObject *parent)
    : QObject(parent)
    , table(table)
    , label(label)
{
    pending.setSingleShot(true);
    pending.setInterval(0);
    connect(&pending, &QTimer::timeout, this, &OrderTotal::refresh);
    const QAbstractItemModel *model = table->model();
    const auto later = [this] { pending.start(); };
    connect(model, &QAbstractItemModel::rowsInserted, this, later);
    connect(model, &QAbstractItemModel::rowsRemoved, this, later);
    connect(model, &QAbstractItemModel::dataChanged, this, later);
    connect(model, &QAbstractItemModel::modelReset, this, later);
    refresh();
}

void OrderTotal::refresh()
{
    pending.stop();
    // Only the two columns the sum is made of.
    QVector<OrderLine> lines(table->rowCount());
    for (int row = 0; row < lines.size(); ++row) {
        if (const QTableWidgetItem *quantity = table->item(row, OrderLine::Quantity))
            lines[row].quantity = quantity->text();
        if (const QTableWidgetItem *price = table->item(row, OrderLine::UnitPrice))
            lines[row].unitPrice = price->text();
    }
    label->setText(orderTotalText(lines));
}
