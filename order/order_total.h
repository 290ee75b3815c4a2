// The order's total on screen, kept up to date with the order table.
#pragma once

#include "order/order_line.h"

#include <QObject>
#include <QTimer>
#include <QVector>

class QLabel;
class QTableWidget;

// "Итого: 13 203,15 ₽ · строк: 3": the sum of quantity × unit price over the lines, as
// the invoice counts it.
QString orderTotalText(const QVector<OrderLine> &lines);

class OrderTotal : public QObject
{
public:
    OrderTotal(QTableWidget *table, QLabel *label, QObject *parent);

    // Counts now rather than after the current burst of changes.
    void refresh();

private:
    QTableWidget *table;
    QLabel *label;
    // Appending a line changes several cells; the total is counted once they are all in.
    QTimer pending;
};
