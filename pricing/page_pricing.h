// One pure function per pricing page: a job and the price list in, the lines a press appends out.
// The laser pages give a second line for a run of 500 to 3000 pieces, priced from the tier
// family with the extras unchecked, as the page holds them after the first line.
#pragma once

#include "pricing/jobs.h"
#include "pricing/quote.h"

#include <QJsonObject>
#include <QVector>

class PriceTable;

QVector<Quote> priceSheetProducts(const SheetProductsJob &job, const PriceTable &prices);
QVector<Quote> priceBrochures(const BrochureJob &job, const PriceTable &prices);
QVector<Quote> priceStreet(const StreetJob &job, const PriceTable &prices);
QVector<Quote> priceInterior(const InteriorJob &job, const PriceTable &prices);
QVector<Quote> priceSouvenir(const SouvenirJob &job, const PriceTable &prices);

// One line of a laser page's family: "00", "50", "60" on sheet products; "01", "51", "61" on
// brochures.
Quote quoteSheetProducts(const SheetProductsJob &job, const QString &family,
                         const PriceTable &prices);
Quote quoteBrochure(const BrochureJob &job, const QString &family, const PriceTable &prices);

// A stored job priced again: the lines its press would append with these prices, or, for a tier
// line's job, that line alone. Empty for an object that is no job.
QVector<Quote> priceStoredJob(const QJsonObject &job, const PriceTable &prices);
