// The same job on other choices of two option groups: paper type and density on the laser pages
// (the inner sheets' on brochures, the cover kept), material and print quality on the street
// page, paper type and density on the interior page. Only pairings whose own key the price list
// holds are offered, cheapest first.
#pragma once

#include "pricing/jobs.h"
#include "pricing/quote.h"

#include <QVector>

class PriceTable;

struct Alternative
{
    OptionChoice first, second;
    QVector<Quote> quotes; // the lines a press would append
    bool current = false; // the pairing the page holds now

    // The first line's unit price, as its text reads.
    double unitPrice() const;
    // Every line's quantity × unit price, as the invoice counts them.
    double sum() const;
    // A line of the pairing has no price in the list: the tier line, or the first line of the
    // current pairing, which is always offered.
    bool missingPrice() const;
};

// Every option of the two groups as a page offers them, in the page's order.
struct AlternativeChoices
{
    QVector<OptionChoice> first, second;
};

QVector<Alternative> sheetProductsAlternatives(const SheetProductsJob &job,
                                               const AlternativeChoices &choices,
                                               const PriceTable &prices);
QVector<Alternative> brochureAlternatives(const BrochureJob &job, const AlternativeChoices &choices,
                                          const PriceTable &prices);
QVector<Alternative> streetAlternatives(const StreetJob &job, const AlternativeChoices &choices,
                                        const PriceTable &prices);
QVector<Alternative> interiorAlternatives(const InteriorJob &job, const AlternativeChoices &choices,
                                          const PriceTable &prices);
