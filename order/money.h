// Money as the invoice shows it: every sum computed as the sheet's formulas compute it, and shown
// as Calc shows a number with two decimals.
#pragma once

#include <QString>
#include <QVector>

struct OrderLine;

// Calc's display rounding: to 15 significant digits first, then half away from zero to the
// given decimals (0.25 × 0.18 shows 0.05, 2.675 shows 2.68).
double calcRounded(double value, int decimals = 2);

// Roubles for a label: "132 ₽", "13 203,15 ₽" (no-break space between digit groups, kopecks
// only when there are any).
QString moneyText(double value);
// The same figure without the currency sign: "13 203,15".
QString moneyNumber(double value);

// A quantity or price as an operator types it: "0,5" and "0.5" alike, blanks and no-break spaces
// between digit groups ignored, exponent form allowed. False for anything that is not a finite
// number.
bool readAmount(const QString &text, double *value);
// The same text as readAmount reads it: blanks between digit groups dropped, a decimal point
// ("1 250,50" gives "1250.50").
QString plainAmount(const QString &text);

struct OrderTotals
{
    double subtotal = 0.0; // the sum of quantity × unit price over the lines
    double tax = 0.0; // 18 % of the subtotal
    double total = 0.0;
    int lines = 0;
};

// The totals as the invoice's formulas count them; a line whose quantity or price is no number
// counts 0.
OrderTotals orderTotals(const QVector<OrderLine> &lines);
double lineSum(const OrderLine &line);
// The lines' sums added up as the sheet's SUM adds them.
double linesSum(const QVector<OrderLine> &lines);
