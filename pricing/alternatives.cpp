// Pricing a job on every pairing of two option groups.
#include "pricing/alternatives.h"

#include "order/money.h"
#include "pricing/page_pricing.h"

#include <algorithm>

double Alternative::unitPrice() const
{
    return quotes.isEmpty() ? 0.0 : quotes.first().unitPrice;
}

double Alternative::sum() const
{
    double total = 0.0;
    for (const Quote &quote : quotes)
        total += lineSum(quote.line);
    return total;
}

bool Alternative::missingPrice() const
{
    return std::any_of(quotes.cbegin(), quotes.cend(),
                       [](const Quote &quote) { return quote.missingPrice(); });
}

namespace {

template<typename Job, typename Pricing>
QVector<Alternative> alternatives(const Job &job, OptionGroup Job::*first, OptionGroup Job::*second,
                                  const AlternativeChoices &choices, Pricing price,
                                  const PriceTable &prices)
{
    const QString currentFirst = (job.*first).chosen().name;
    const QString currentSecond = (job.*second).chosen().name;
    QVector<Alternative> offered;
    offered.reserve(choices.first.size() * choices.second.size());
    for (const OptionChoice &a : choices.first) {
        for (const OptionChoice &b : choices.second) {
            Job variant = job;
            (variant.*first).checked = {a};
            (variant.*second).checked = {b};
            Alternative alternative {a, b, price(variant, prices),
                                     a.name == currentFirst && b.name == currentSecond};
            // A pairing whose own key the list lacks is no alternative; the current one stays,
            // so the operator sees where the job stands.
            if (alternative.current || !alternative.quotes.first().missingPrice())
                offered.append(alternative);
        }
    }
    // Cheapest first by the unit price: a tier line the list lacks would price a pairing at less
    // than it costs. Equal prices keep the page's order.
    QVector<std::pair<double, double>> cost(offered.size());
    QVector<int> order(offered.size());
    for (int i = 0; i < offered.size(); ++i) {
        cost[i] = {offered.at(i).unitPrice(), offered.at(i).sum()};
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return cost[a] < cost[b]; });
    QVector<Alternative> sorted;
    sorted.reserve(order.size());
    for (int i : order)
        sorted.append(offered.at(i));
    return sorted;
}

} // namespace

QVector<Alternative> sheetProductsAlternatives(const SheetProductsJob &job,
                                               const AlternativeChoices &choices,
                                               const PriceTable &prices)
{
    return alternatives(job, &SheetProductsJob::type, &SheetProductsJob::density, choices,
                        priceSheetProducts, prices);
}

QVector<Alternative> brochureAlternatives(const BrochureJob &job, const AlternativeChoices &choices,
                                          const PriceTable &prices)
{
    return alternatives(job, &BrochureJob::innerType, &BrochureJob::innerDensity, choices,
                        priceBrochures, prices);
}

QVector<Alternative> streetAlternatives(const StreetJob &job, const AlternativeChoices &choices,
                                        const PriceTable &prices)
{
    return alternatives(job, &StreetJob::material, &StreetJob::quality, choices, priceStreet,
                        prices);
}

QVector<Alternative> interiorAlternatives(const InteriorJob &job, const AlternativeChoices &choices,
                                          const PriceTable &prices)
{
    return alternatives(job, &InteriorJob::paper, &InteriorJob::density, choices, priceInterior,
                        prices);
}
