// The order's total on screen, kept up to date with the order.
#pragma once

#include "order/money.h"
#include "order/order_line.h"

#include <QObject>
#include <QTimer>
#include <QVector>

class Order;
class QLabel;

// "Итого: 13 203,15 ₽ · строк: 3": the sum of quantity × unit price over the lines,
// as the invoice counts it.
QString orderTotalText(const OrderTotals &totals);
// The same, or, where a line's price or quantity is no number, the line named instead of a sum
// that would count it as 0: "Итого: не посчитать — строка 2: цена «abc» не число · строк: 3".
QString orderTotalText(const QVector<OrderLine> &lines);

class OrderTotal : public QObject
{
public:
    OrderTotal(const Order *order, QLabel *label, QObject *parent);

    // Counts now rather than after the current burst of changes.
    void refresh();

private:
    const Order *order;
    QLabel *label;
    // A restore or an undo changes many lines; the total is counted once they are all in.
    QTimer pending;
};
