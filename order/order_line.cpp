// The order line's texts by column.
#include "order/order_line.h"

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
    return a.description == b.description && a.quantity == b.quantity
        && a.unitPrice == b.unitPrice && a.keyText == b.keyText && a.titles == b.titles
        && a.removalMarker == b.removalMarker && a.job == b.job
        && a.priceVersion == b.priceVersion;
}
