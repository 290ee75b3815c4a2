// The order line's texts by column.
#include "order/order_line.h"

#include "order/money.h"

QString OrderLine::text(Column column) const
{
    switch (column) {
    case Description:
        return description;
    case Quantity:
        return quantity;
    case UnitPrice:
        return unitPrice;
    case KeyText:
        return keyText;
    case Titles:
        return titles;
    case Marker:
    case ColumnCount:
        break;
    }
    return QString();
}

bool operator==(const OrderLine &a, const OrderLine &b)
{
    return a.description == b.description && a.quantity == b.quantity && a.unitPrice == b.unitPrice
        && a.keyText == b.keyText && a.titles == b.titles && a.removalMarker == b.removalMarker
        && a.job == b.job && a.priceVersion == b.priceVersion;
}

void OrderLine::setNumbers(double quantity, double unitPrice)
{
    quantityValue = quantity;
    unitPriceValue = unitPrice;
    quantityIsNumber = unitPriceIsNumber = hasNumbers = true;
}

void OrderLine::readNumbers()
{
    quantityValue = unitPriceValue = 0.0;
    quantityIsNumber = readAmount(quantity, &quantityValue);
    unitPriceIsNumber = readAmount(unitPrice, &unitPriceValue);
    hasNumbers = true;
}

namespace {

// A text shows its number when it reads as that number to the six significant digits a price
// text keeps at least.
bool shows(const QString &text, double number)
{
    double shown = 0.0;
    if (!readAmount(text, &shown))
        return false;
    const double scale = qMax(qAbs(shown), qAbs(number));
    return scale == 0.0 || qAbs(shown - number) <= scale * 5e-6;
}

} // namespace

void OrderLine::settleNumbers()
{
    if (!hasNumbers || !quantityIsNumber || !unitPriceIsNumber || !shows(quantity, quantityValue)
        || !shows(unitPrice, unitPriceValue))
        readNumbers();
}

void OrderLine::setText(Column column, const QString &value)
{
    if (!hasNumbers)
        readNumbers();
    switch (column) {
    case Description:
        description = value;
        break;
    case Quantity:
        quantity = value;
        quantityValue = 0.0;
        quantityIsNumber = readAmount(value, &quantityValue);
        break;
    case UnitPrice:
        // A price typed over is the operator's own: neither the list's lack of one nor its
        // sample counts any more.
        if (value != unitPrice)
            samplePrice = false;
        unitPrice = value;
        missingPrice = false;
        unitPriceValue = 0.0;
        unitPriceIsNumber = readAmount(value, &unitPriceValue);
        break;
    case KeyText:
        keyText = value;
        break;
    case Titles:
        titles = value;
        break;
    case Marker:
    case ColumnCount:
        break;
    }
}

bool OrderLine::sum(double *value) const
{
    *value = 0.0;
    if (!hasNumbers) {
        OrderLine read = *this;
        read.readNumbers();
        return read.sum(value);
    }
    if (!quantityIsNumber || !unitPriceIsNumber)
        return false;
    *value = quantityValue * unitPriceValue;
    return true;
}

namespace {

const QString TypedPricePrefix = QStringLiteral("цена изменена вручную: было ");

} // namespace

QString typedPriceNote(const QString &listPrice)
{
    return TypedPricePrefix + listPrice;
}

QString listPriceOf(const OrderLine &line)
{
    const int at = line.explanation.lastIndexOf(TypedPricePrefix);
    if (at < 0)
        return QString();
    return line.explanation.mid(at + TypedPricePrefix.size()).section(QLatin1Char('\n'), 0, 0);
}
