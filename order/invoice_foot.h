// The foot of every document: the lines' sum, the customer's discount, the shop's tax and the
// total, computed once here and only shown by the screen, the PDF, the printout and the sheet.
#pragma once

#include "order/order_line.h"

#include <QDate>
#include <QString>
#include <QVector>

enum class TaxMode { OnTop, Included, None };

// "on-top", "included", "none": the words of the settings file.
QString taxModeWord(TaxMode mode);
// The mode a word names; false for any other word.
bool taxModeFromWord(const QString &word, TaxMode *mode);
// The rates a shop may charge: 0, 5, 7, 10, 18, 20 and 22 %.
bool isTaxRate(int rate);

struct TaxRule
{
    TaxMode mode = TaxMode::OnTop;
    int rate = 18; // percent

    friend bool operator==(const TaxRule &a, const TaxRule &b)
    {
        return a.mode == b.mode && a.rate == b.rate;
    }
};

// The shop's tax as its settings give it, with one change that takes effect from a day.
struct TaxSettings
{
    // False when the settings name no tax: the documents keep their old rows ("18%").
    bool given = false;
    TaxRule rule;
    QDate changeFrom; // invalid: no change
    TaxRule change;

    // The rule in force on the day (the invoice's date).
    TaxRule ruleOn(const QDate &day) const;
};

// What one document's foot is computed with.
struct FootTerms
{
    int discountHundredths = 0; // the customer's discount, 5,25 % is 525
    TaxRule tax;
    bool taxGiven = false;

    // The terms of an invoice dated `day` for a customer with that discount.
    static FootTerms on(const TaxSettings &settings, const QDate &day, int discountHundredths);
    // No tax in the settings and no discount: every row as the documents always had them.
    bool asBefore() const { return !taxGiven && discountHundredths <= 0; }
    bool hasDiscount() const { return discountHundredths > 0; }
};

struct FootRow
{
    enum Kind { Subtotal, Discount, Tax, Total };

    Kind kind = Subtotal;
    QString caption; // "Итого", "Скидка 5,25 %", "НДС 22 %", "Всего"
    double amount = 0.0; // as Calc shows it to two decimals; the discount is negative
    bool hasAmount = true; // false for "Без налога (НДС)", which shows a dash
};

struct InvoiceFoot
{
    FootTerms terms;
    // Each to the kopeck as Calc shows it. With a discount or a tax in the settings the discount
    // and the tax are themselves rounded to kopecks, so that the rows add up as printed; the
    // old rows keep the old unrounded chain.
    double subtotal = 0.0;
    double discount = 0.0; // positive: what is taken off
    double tax = 0.0; // on top, or the part included; 0 without tax
    double total = 0.0;
    QVector<FootRow> rows;

    const FootRow *row(FootRow::Kind kind) const;
};

InvoiceFoot invoiceFoot(double linesSum, const FootTerms &terms);
InvoiceFoot invoiceFoot(const QVector<OrderLine> &lines, const FootTerms &terms);

// A discount as typed: "5", "5,25", "0,5" (hundredths of a percent, trailing zeros dropped).
QString percentText(int hundredths);
// The same with a decimal point, as a formula reads it: "5", "5.25".
QString percentNumber(int hundredths);
