// Lines that would go onto a document without a price of their own: the price list had none for
// them, only the built-in sample's, or their price cell holds no number. Named before a document is
// made, and under the table instead of being counted as 0.
#pragma once

#include "order/order_line.h"

#include <QString>
#include <QVector>

struct UnpricedLine
{
    enum Reason { NoListPrice, PriceNotNumber, SamplePrice };

    int row = 0; // from 0, as the order counts
    Reason reason = NoListPrice;
    QString price; // the price cell's text
};

// In the order of the lines; a price that is no number is named as such even where the list had
// none either.
QVector<UnpricedLine> unpricedLines(const QVector<OrderLine> &lines);

// "Строка 4: нет цены в прайс-листе", "Строка 2: цена «abc» не число",
// "Строка 3: цена-образец, магазин её не задал".
QString unpricedLineText(const UnpricedLine &line);
