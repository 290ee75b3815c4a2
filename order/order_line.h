// One line of the order, as the order table shows it, the invoice prints it and the journal keeps
// it: five texts, the removal marker, and the job that priced it.
#pragma once

#include <QJsonObject>
#include <QString>

struct OrderLine
{
    // The order table's columns, in the order the header shows them.
    enum Column { Description, Quantity, UnitPrice, KeyText, Titles, Marker, ColumnCount };

    QString description;
    QString quantity;
    QString unitPrice;
    QString keyText;
    QString titles;
    bool removalMarker = false;

    // Kept beside the texts, never shown in a cell: the job that priced the line (empty for a
    // line that came from elsewhere), how it was priced, and whether the list had no price for it.
    QJsonObject job;
    QString explanation;
    bool missingPrice = false;
    int priceVersion = 0; // the price list version that priced it; 0 is the built-in list

    QString text(Column column) const;
    friend bool operator==(const OrderLine &a, const OrderLine &b);
    friend bool operator!=(const OrderLine &a, const OrderLine &b) { return !(a == b); }
};
