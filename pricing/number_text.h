// Number reading and writing shared by every calculator: how keys, prices and fields are spelled.
#pragma once

#include <QString>

// Codes in keys and prices in lines: general format, six significant digits ("1.5", "1.62e+06").
QString numberText(double value);

// A unit price as a line carries it. A price whose six-digit text reads back as the price itself
// keeps that text and that figure (every built-in price does); any other is rounded to kopecks and
// written with the digits it has ("12345.67", "1234567.89"), so that the text, which the sheet and
// the PDF read, and the figure, which the order sums, are one number.
double linePrice(double value);
QString priceText(double value);

// A quantity field: a base-10 whole number, 0 when empty or not one.
int wholeNumber(const QString &text);

// A size or count field: a decimal number, 0 when empty or not one.
double fieldNumber(const QString &text);
