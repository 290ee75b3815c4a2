// What makes a price of the list read as a sample rather than the shop's own: an amount that is
// filler digits (666, 100 500), or a unit that turns a plausible figure into an odd price (per
// 1000 mm² of area, a standard size taken at 0,001 of the price, a base that multiplies the print).
#pragma once

#include <QString>

struct ExtraOption;

// Filler amounts the built-in list and the form were designed with: 666 and its like, 100 500,
// 100 501.
bool isPlaceholderAmount(double amount);

// The note for a price key at this price, or empty when nothing about it is odd.
QString samplePriceNote(const QString &key, double price, bool priced);
// The note for an extra at this amount, or empty.
QString sampleAmountNote(const ExtraOption &extra, double amount);
