// Composable keys: every option combination of every page's key groups, priced without prices.
#include "prices/composable_keys.h"

#include "prices/key_meanings.h"
#include "prices/price_table.h"
#include "pricing/page_pricing.h"

#include <QHash>
#include <QSet>

#include <algorithm>

#include <functional>

namespace {

OptionGroup chosen(const KeyPart &part, const KeyOption *option)
{
    if (!option)
        return {};
    return {part.group, {{option->objectName, double(option->code), option->caption, true, {}}}};
}

// Calls visit with one option per part (null for a fixed code), for every combination.
void combinations(const KeyGrammar &grammar, int index, QVector<const KeyOption *> &picked,
                  const std::function<void()> &visit)
{
    if (index == grammar.parts.size()) {
        visit();
        return;
    }
    const KeyPart &part = grammar.parts.at(index);
    if (part.fixed()) {
        picked.append(nullptr);
        combinations(grammar, index + 1, picked, visit);
        picked.removeLast();
        return;
    }
    for (const KeyOption &option : part.options) {
        picked.append(&option);
        combinations(grammar, index + 1, picked, visit);
        picked.removeLast();
    }
}

// The keys the grammar's page looks up for these options: the page's own pricing composes them.
Quote quoteFor(const KeyGrammar &grammar, const QVector<const KeyOption *> &picked)
{
    static const PriceTable none;
    const auto group = [&](int i) { return chosen(grammar.parts.at(i), picked.at(i)); };
    switch (grammar.page) {
    case PricingPage::SheetProducts: {
        SheetProductsJob job;
        job.format = group(0), job.colour = group(1), job.type = group(2), job.density = group(3);
        return quoteSheetProducts(job, grammar.family, none);
    }
    case PricingPage::Brochures: {
        BrochureJob job;
        job.format = group(0);
        if (grammar.role == QStringLiteral("обложка"))
            job.coverColour = group(1), job.coverType = group(2), job.coverDensity = group(3);
        else
            job.innerColour = group(1), job.innerType = group(2), job.innerDensity = group(3);
        Quote quote = quoteBrochure(job, grammar.family, none);
        // Only the role's key: the other one is the first option's, composed by its own grammar.
        quote.lookups.erase(
            std::remove_if(quote.lookups.begin(), quote.lookups.end(),
                           [&](const PriceLookup &lookup) { return lookup.role != grammar.role; }),
            quote.lookups.end());
        return quote;
    }
    case PricingPage::Street: {
        StreetJob job;
        job.size = group(0), job.material = group(2), job.quality = group(3);
        return priceStreet(job, none).first();
    }
    case PricingPage::Interior: {
        InteriorJob job;
        job.format = group(0), job.colour = group(1), job.paper = group(2), job.density = group(3);
        return priceInterior(job, none).first();
    }
    case PricingPage::Souvenir: {
        SouvenirJob job;
        job.size = group(0), job.colours = group(1), job.material = group(2);
        return priceSouvenir(job, none).first();
    }
    }
    return {};
}

struct ComposedKeys
{
    QSet<QString> all;
    QVector<QString> listed;
    int unpriced = 0;
    QHash<QString, QVector<StandardFactor>> factors;
};

const ComposedKeys &composedKeys()
{
    static const ComposedKeys keys = [] {
        ComposedKeys made;
        QVector<QString> inPageOrder;
        for (const KeyGrammar &grammar : keyGrammars()) {
            QVector<const KeyOption *> picked;
            combinations(grammar, 0, picked, [&] {
                const Quote quote = quoteFor(grammar, picked);
                const bool standard = !grammar.areaOnly && picked.first()
                    && picked.first()->code != grammar.customCode;
                for (const PriceLookup &lookup : quote.lookups) {
                    if (!made.all.contains(lookup.key)) {
                        made.all.insert(lookup.key);
                        inPageOrder.append(lookup.key);
                    }
                    if (standard && quote.factor != 1.0) {
                        QVector<StandardFactor> &factors = made.factors[lookup.key];
                        const auto same = std::find_if(factors.begin(), factors.end(),
                                                       [&](const StandardFactor &known) {
                                                           return known.page == grammar.page;
                                                       });
                        if (same == factors.end())
                            factors.append({grammar.page, quote.factor});
                    }
                }
            });
        }
        const PriceTable &builtIn = PriceTable::shared();
        made.listed.reserve(builtIn.size() + inPageOrder.size());
        for (const PriceEntry &entry : builtIn.entries())
            made.listed.append(entry.key);
        for (const QString &key : qAsConst(inPageOrder)) {
            if (!builtIn.contains(key)) {
                made.listed.append(key);
                ++made.unpriced;
            }
        }
        return made;
    }();
    return keys;
}

} // namespace

bool isComposableKey(const QString &key)
{
    return composedKeys().all.contains(key);
}

const QVector<QString> &listedPriceKeys()
{
    return composedKeys().listed;
}

QVector<StandardFactor> standardFactors(const QString &key)
{
    return composedKeys().factors.value(key);
}

int unpricedBuiltInCount()
{
    return composedKeys().unpriced;
}

QString noPriceText()
{
    return QStringLiteral("нет цены");
}
