// The order's total under the table.
#include "app/order_total.h"

#include "order/order.h"

#include <QLabel>

QString orderTotalText(const OrderTotals &totals)
{
    return QStringLiteral("Итого: ") + moneyText(totals.subtotal) + QStringLiteral(" · строк: ")
        + QString::number(totals.lines);
}

QString orderTotalText(const QVector<OrderLine> &lines)
{
    return orderTotalText(orderTotals(lines));
}

OrderTotal::OrderTotal(const Order *order, QLabel *label, QObject *parent)
    : QObject(parent)
    , order(order)
    , label(label)
{
    pending.setSingleShot(true);
    pending.setInterval(0);
    connect(&pending, &QTimer::timeout, this, &OrderTotal::refresh);
    const auto later = [this] { pending.start(); };
    connect(order, &Order::linesInserted, this, later);
    connect(order, &Order::linesRemoved, this, later);
    connect(order, &Order::lineChanged, this, later);
    connect(order, &Order::cleared, this, later);
    refresh();
}

void OrderTotal::refresh()
{
    pending.stop();
    label->setText(orderTotalText(order->totals()));
}
