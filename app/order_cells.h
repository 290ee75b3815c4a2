// The cells of an order line as the table shows them: each carries its full text as its tooltip,
// the price cell the breakdown of the price instead, and a line the price list had no price for
// is marked in its price cell.
#pragma once

#include "dialogs/colours.h"
#include "order/order_line.h"

#include <QTableWidgetItem>

// A cell whose tooltip is its text, unless a tooltip of its own was set: an edited text shows
// in full at once.
class OrderCell : public QTableWidgetItem
{
public:
    using QTableWidgetItem::QTableWidgetItem;
    QVariant data(int role) const override;
    QTableWidgetItem *clone() const override { return new OrderCell(*this); }
};

// A new cell of the line's column, with its tooltip and mark; null for the marker column of a
// line without the removal marker.
QTableWidgetItem *newOrderCell(const OrderLine &line, OrderLine::Column column);

// The header's captions of columns 3 to 5: the key, the parameters and the removal sign.
void setOrderHeaderCaptions(QTableWidget *table);
