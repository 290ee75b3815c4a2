// The order's total on screen, kept up to date with the order.
#pragma once

#include "order/invoice_foot.h"
#include "order/money.h"
#include "order/order_line.h"

#include <QObject>
#include <QTimer>
#include <QVector>

#include <functional>

class Order;
class QLabel;

// "Итого: 13 203,15 ₽ · строк: 3": the sum of quantity × unit price over the lines,
// as the invoice counts it.
QString orderTotalText(const OrderTotals &totals);
// The same, or, where a line's price or quantity is no number, the line named instead of a sum
// that would count it as 0: "Итого: не посчитать — строка 2: цена «abc» не число · строк: 3".
QString orderTotalText(const QVector<OrderLine> &lines);
// With the customer's discount the line names it and what is to be paid (the documents'
// "Всего"), with the tax where it is added on top:
// "Итого: 13 200 ₽ · скидка 5 %: −660 ₽ · к оплате 12 540 ₽ ·
// строк: 3". Without a discount it reads as above.
QString orderTotalText(const QVector<OrderLine> &lines, const FootTerms &terms);

class OrderTotal : public QObject
{
public:
    OrderTotal(const Order *order, QLabel *label, QObject *parent);

    // Counts now rather than after the current burst of changes.
    void refresh();

    // The shop's tax as the documents read it (the settings file); a test sets its own.
    std::function<TaxSettings()> taxSettings;

private:
    const Order *order;
    QLabel *label;
    // A restore or an undo changes many lines; the total is counted once they are all in.
    QTimer pending;
};
