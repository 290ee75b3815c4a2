// Jobs priced from a loaded version whose prices have seven to nine significant digits, as a
// press of "Ответ" prices them: an A4 sheet (the unit price is the list's price) and a street
// print of 333 × 333 mm (the unit price is the price per 1000 mm² × 110.889).
#pragma once

#include "prices/price_table.h"
#include "pricing/page_pricing.h"

#include <QtTest>

namespace exact {

inline OptionGroup radio(double code, const char *caption)
{
    return {QString(), {{QString(), code, QString::fromUtf8(caption), true}}};
}

// The built-in list with one price changed, as a loaded version 7.
inline PriceTable loaded(const QString &key, double price)
{
    QVector<PriceEntry> entries = PriceTable::shared().entries();
    for (PriceEntry &entry : entries) {
        if (entry.key == key)
            entry.price = price;
    }
    return PriceTable(entries, 7);
}

// "sheet" or "street" at that price, quantity as typed.
inline Quote quote(const QString &job, double price, const QString &quantity)
{
    if (job == QLatin1String("street")) {
        StreetJob street;
        street.material = radio(10, "Самоклеющаяся плёнка");
        street.quality = radio(9, "360 dpi");
        street.width = street.height = QStringLiteral("333");
        street.quantity = quantity;
        return priceStreet(street, loaded(QStringLiteral("121111109"), price)).first();
    }
    SheetProductsJob sheet;
    sheet.format = radio(2, "А4 (210х297 мм.)");
    sheet.colour = radio(4, "4+4");
    sheet.type = radio(2, "Матовая");
    sheet.density = radio(8, "350");
    sheet.quantity = quantity;
    return priceSheetProducts(sheet, loaded(QStringLiteral("002428"), price)).first();
}

} // namespace exact
