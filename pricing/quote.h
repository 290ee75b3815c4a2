// A priced order line and how it was priced: the key or keys looked up, the base price and what it
// is per, the size factor and where it came from, each extra with its amount, the tier family.
#pragma once

#include "order/order_line.h"
#include "pricing/jobs.h"

#include <QString>
#include <QVector>

#include <variant>

using PricedJob = std::variant<SheetProductsJob, BrochureJob, StreetJob, InteriorJob, SouvenirJob>;

// What the counter says of a price still the built-in sample's.
inline QString samplePriceWarning()
{
    return QStringLiteral("Цена-образец: магазин ещё не задал эту цену в прайс-листе. Впишите "
                          "свою цену или задайте её в «Прайс-лист».");
}

struct PriceLookup
{
    QString role; // "" for the one key of a page; "внутренние листы", "обложка" on brochures
    QString key;
    bool found = false;
    double price = 0.0;
    bool sample = false; // the built-in sample's price, not yet the shop's
};

struct QuoteExtra
{
    QString group;
    QString caption;
    double amount = 0.0;
};

struct Quote
{
    // The line's texts, marker and missing-price mark; orderLine() adds the stored job and the
    // explanation, which only a line that goes into the order needs.
    OrderLine line;
    PricedJob job;
    QVector<PriceLookup> lookups;
    QString per; // "за лист", "за 1000 мм²", "за шт."
    double factor = 1.0;
    QString factorText; // how the factor came from the entries: "1000 × 2000 мм → 2000"
    QVector<QuoteExtra> extras;
    QString tierFamily; // the quantity tier's family for a second line, empty for the first
    double unitPrice = 0.0; // as the line carries it: see linePrice()
    int quantity = 0;
    int priceVersion = 0;

    // A key the list does not hold, or a unit price of 0: the line goes out at no price.
    bool missingPrice() const;
    // Every price found, one of them still the built-in sample's: never quoted as real.
    bool samplePrice() const;
    // The first key the list does not hold, or the line's key when every key was found.
    QString missingKey() const;
    // The breakdown for a person, one item a line.
    QString explanation() const;
    // The same for the public: the size, the extras by name and the unit price, without the
    // price list's keys, families and versions.
    QString publicExplanation() const;
    QString explained(bool forPublic) const;
    // The line as the order keeps it: texts, the job's stored form and the explanation.
    OrderLine orderLine() const;
};
