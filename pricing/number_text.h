// Number reading and writing shared by every calculator: how keys, prices and fields are spelled.
#pragma once

#include <QString>

// Codes in keys and prices in lines: general format, six significant digits ("1.5", "1.62e+06").
QString numberText(double value);

// A quantity field: a base-10 whole number, 0 when empty or not one.
int wholeNumber(const QString &text);

// A size or count field: a decimal number, 0 when empty or not one.
double fieldNumber(const QString &text);
