// What the two laser printing pages share: key spelling, the custom size and the quantity bands.
#pragma once

#include <QString>

#include <initializer_list>
#include <utility>

class QAbstractButton;

// Gives each option button its code or price, read back by the option-group operations.
void setOptionValues(std::initializer_list<std::pair<QAbstractButton *, int>> options);

// A price key: the two-character family followed by each code ("00", 2, 4, 2, 8 -> "002428").
QString composeKey(const QString &family, std::initializer_list<double> codes);

// The size part of a job. A custom size scales the per-sheet price by its area over 1000 mm²
// and names itself "100x200" in the line; a standard format keeps factor 1 and the group title.
struct JobSize
{
    bool custom = false;
    double factor = 1.0;
    QString text;
};
JobSize jobSize(bool custom, const QString &formatTitle, const QString &width,
                const QString &height);

// Runs from 500 to 3000 pieces get a second line priced from a tier family of their own.
enum class QuantityBand { Single, From500, From1000 };
QuantityBand quantityBand(int quantity);
