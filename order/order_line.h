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
    // Priced from the built-in sample, not a price the shop set: marked, and asked about before a
    // document. Known while the line is on the counter; not stored.
    bool samplePrice = false;
    int priceVersion = 0; // the price list version that priced it; 0 is the built-in list

    // The numbers the sums are made of, beside the texts shown: a quote's own figures, or the
    // reading of a text (typed over, or read back from storage). Until one of those is set the
    // texts are read when a sum is asked for.
    double quantityValue = 0.0;
    double unitPriceValue = 0.0;
    bool quantityIsNumber = false;
    bool unitPriceIsNumber = false;
    bool hasNumbers = false;

    void setNumbers(double quantity, double unitPrice);
    void readNumbers();
    // Keeps the numbers where the texts show them (rounded for display), and reads the texts
    // again where a text was changed without them.
    void settleNumbers();
    // A text set with its reading: Quantity and UnitPrice are read, the others only kept; a
    // price set so is no longer one the list lacked.
    void setText(Column column, const QString &text);
    // quantity × unit price; false (and 0) when either is not a number.
    bool sum(double *value) const;

    QString text(Column column) const;
    friend bool operator==(const OrderLine &a, const OrderLine &b);
    friend bool operator!=(const OrderLine &a, const OrderLine &b) { return !(a == b); }
};

// The note a line priced by the list keeps once its price is typed over, with the list's price:
// "цена изменена вручную: было 132".
QString typedPriceNote(const QString &listPrice);
// The list's price such a line keeps in its explanation; empty when its price was never typed
// over.
QString listPriceOf(const OrderLine &line);
