// Finding and naming the lines without a price.
#include "order/unpriced_lines.h"

#include "order/money.h"

QVector<UnpricedLine> unpricedLines(const QVector<OrderLine> &lines)
{
    QVector<UnpricedLine> found;
    for (int row = 0; row < lines.size(); ++row) {
        const OrderLine &line = lines.at(row);
        double price = 0.0;
        // The reading the sums take: the line's own where it has one.
        const bool number
            = line.hasNumbers ? line.unitPriceIsNumber : readAmount(line.unitPrice, &price);
        if (!number)
            found.append({row, UnpricedLine::PriceNotNumber, line.unitPrice});
        else if (line.missingPrice)
            found.append({row, UnpricedLine::NoListPrice, line.unitPrice});
        else if (line.samplePrice)
            found.append({row, UnpricedLine::SamplePrice, line.unitPrice});
    }
    return found;
}

QString unpricedLineText(const UnpricedLine &line)
{
    const QString row = QStringLiteral("Строка %1: ").arg(line.row + 1);
    if (line.reason == UnpricedLine::NoListPrice)
        return row + QStringLiteral("нет цены в прайс-листе");
    if (line.reason == UnpricedLine::SamplePrice)
        return row + QStringLiteral("цена-образец, магазин её не задал");
    return row + QStringLiteral("цена «%1» не число").arg(line.price);
}
