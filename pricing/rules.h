// The shop's rules for keys, sizes and titles, shared by every page's pricing.
#pragma once

#include <QString>
#include <QStringList>

#include <initializer_list>

// A price key: the two-character family followed by each code ("00", 2, 4, 2, 8 -> "002428").
QString composeKey(const QString &family, std::initializer_list<double> codes);
// How an order line names its key: "значение=002428".
QString keyText(const QString &key);

// A custom size's area: millimetres as typed, divided by 1000 once, for the price list's rates
// are set for this factor. An empty or non-numeric side reads as 0.
double customArea(const QString &width, const QString &height);

// The size part of a job. A custom size prices by its area and names itself "100x200" in the
// line; a standard format keeps the page's own factor and names itself by the group title.
struct JobSize
{
    double factor = 1.0;
    QString text;
    QString per; // what the base price is per
    QString explanation; // how the factor came from the entries
};
JobSize jobSize(bool custom, double standardFactor, const QString &formatTitle,
                const QString &width, const QString &height,
                const QString &standardPer = QStringLiteral("за лист"));

// The titles column of an order line: each group's title followed by a blank.
QString groupTitles(std::initializer_list<QString> titles);

// The quantity tier family of a laser page's second line ("50"/"60" on sheet products, "51"/"61"
// on brochures), or empty when the run has none: 500 to 999 and 1000 to 3000 pieces.
QString tierFamily(int quantity, const QString &from500, const QString &from1000);
