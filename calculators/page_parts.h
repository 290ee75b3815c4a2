// What the calculator pages share: option codes, key spelling, number fields, the custom size and
// group titles.
#pragma once

#include <QString>

#include <initializer_list>
#include <utility>

class QAbstractButton;
class QGroupBox;
class QLineEdit;
class QObject;

// Gives each option button its code or price, read back by the option-group operations.
void setOptionValues(std::initializer_list<std::pair<QAbstractButton *, int>> options);
void setOptionValues(std::initializer_list<QAbstractButton *> buttons, int value);

// A price key: the two-character family followed by each code ("00", 2, 4, 2, 8 -> "002428").
QString composeKey(const QString &family, std::initializer_list<double> codes);
// How an order line names its key: "значение=002428".
QString keyText(const QString &key);

// Size and quantity fields take whole numbers up to 100500; `owner` keeps the validators.
void acceptWholeNumbers(std::initializer_list<QLineEdit *> fields, QObject *owner);

// A custom size's area: millimetres as typed, divided by 1000 once, for the price list's rates
// are set for this factor. An empty or non-numeric side reads as 0.
double customArea(const QString &width, const QString &height);

// The size part of a job. A custom size prices by its area and names itself "100x200" in the
// line; a standard format keeps the page's own factor and names itself by the group title.
struct JobSize
{
    double factor = 1.0;
    QString text;
};
JobSize jobSize(bool custom, double standardFactor, const QString &formatTitle,
                const QString &width, const QString &height);

// The titles column of an order line: each group's title followed by a blank.
QString groupTitles(std::initializer_list<const QGroupBox *> groups);
