// The pages' pricing rules: keys, base prices, size factors, extras and the composed texts.
#include "pricing/page_pricing.h"

#include "prices/price_table.h"
#include "pricing/number_text.h"
#include "pricing/rules.h"

#include <cmath>

namespace {

const QString Separator = QStringLiteral("; ");

PriceLookup lookUp(const PriceTable &prices, const QString &key, const QString &role = QString())
{
    PriceLookup lookup;
    lookup.role = role;
    lookup.key = key;
    lookup.price = prices.price(key, &lookup.found, &lookup.sample);
    return lookup;
}

// Every checked option of an extras group, with its amount, for the explanation.
void addExtras(Quote &quote, const OptionGroup &group)
{
    for (const OptionChoice &choice : group.checked)
        quote.extras.append({group.title, choice.caption, choice.value});
}

void finish(Quote &quote, int quantity, double unitPrice, const QString &description,
            const QString &key, const QString &titles, bool marker, const PricedJob &job,
            const PriceTable &prices)
{
    // The line's figure is its text's: the screen, the sheet and the PDF sum the same price. The
    // built-in list's lines keep the six-digit texts they always had; a shop's own version is
    // priced to the kopeck.
    const bool builtIn = prices.version() == 0;
    const QString shown = builtIn ? numberText(unitPrice) : priceText(unitPrice);
    quote.quantity = quantity;
    quote.unitPrice = builtIn ? shown.toDouble() : linePrice(unitPrice);
    quote.priceVersion = prices.version();
    OrderLine &line = quote.line;
    line.description = description;
    line.quantity = QString::number(quantity);
    line.unitPrice = shown;
    line.setNumbers(quantity, quote.unitPrice);
    line.keyText = keyText(key);
    line.titles = titles;
    line.removalMarker = marker;
    line.missingPrice = quote.missingPrice();
    line.samplePrice = !line.missingPrice && quote.samplePrice();
    line.priceVersion = prices.version();
    quote.job = job;
}

// A pocket count that is negative or no finite number orders no pockets, so a stray "-5" or
// "inf" can never take money off the order or spoil the price.
double pocketCount(const QString &text)
{
    const double count = fieldNumber(text);
    return std::isfinite(count) && count > 0.0 ? count : 0.0;
}

} // namespace

Quote quoteSheetProducts(const SheetProductsJob &job, const QString &family,
                         const PriceTable &prices)
{
    const OptionChoice format = job.format.chosen();
    const OptionChoice colour = job.colour.chosen();
    const OptionChoice type = job.type.chosen();
    const OptionChoice density = job.density.chosen();
    const QString key = composeKey(family, {format.value, colour.value, type.value, density.value});
    const int quantity = wholeNumber(job.quantity);
    const JobSize size = jobSize(job.customSize, 1.0, job.format.title, job.width, job.height);

    Quote quote;
    quote.lookups = {lookUp(prices, key)};
    quote.per = size.per;
    quote.factor = size.factor;
    quote.factorText = size.explanation;
    if (family != QLatin1String("00"))
        quote.tierFamily = family;
    const double sheetPrice = size.factor * quote.lookups.first().price;

    const OptionChoice lamination = job.lamination.chosen();
    const OptionChoice binding = job.binding.chosen();
    const OptionChoice creasing = job.creasing.chosen();
    const double unitPrice = sheetPrice + lamination.value + binding.value + job.varnish.boxSum()
        + creasing.value + job.other.boxSum();
    for (const OptionGroup *group :
         {&job.lamination, &job.binding, &job.varnish, &job.creasing, &job.other})
        addExtras(quote, *group);

    const QString titles = size.text + QLatin1Char(' ')
        + groupTitles({job.colour.title, job.density.title, job.type.title, job.lamination.title,
                       job.binding.title, job.varnish.title, job.creasing.title, job.other.title});
    // The shop's line: no separator between density and lamination, nor between the varnish
    // captions and the creasing caption.
    const QString description = format.caption + Separator + size.text + QLatin1Char(' ')
        + colour.caption + Separator + type.caption + Separator + density.caption
        + lamination.caption + Separator + binding.caption + Separator + job.varnish.boxCaptions()
        + creasing.caption + Separator + job.other.boxCaptions();

    finish(quote, quantity, unitPrice, description, key, titles, true, job, prices);
    return quote;
}

QVector<Quote> priceSheetProducts(const SheetProductsJob &job, const PriceTable &prices)
{
    QVector<Quote> quotes {quoteSheetProducts(job, QStringLiteral("00"), prices)};
    const QString tier
        = tierFamily(wholeNumber(job.quantity), QStringLiteral("50"), QStringLiteral("60"));
    if (!tier.isEmpty())
        quotes.append(quoteSheetProducts(withoutExtras(job), tier, prices));
    return quotes;
}

Quote quoteBrochure(const BrochureJob &job, const QString &family, const PriceTable &prices)
{
    const OptionChoice format = job.format.chosen();
    const OptionChoice innerColour = job.innerColour.chosen();
    const OptionChoice innerType = job.innerType.chosen();
    const OptionChoice innerDensity = job.innerDensity.chosen();
    const OptionChoice coverColour = job.coverColour.chosen();
    const OptionChoice coverType = job.coverType.chosen();
    const OptionChoice coverDensity = job.coverDensity.chosen();
    const QString innerKey = composeKey(
        family, {format.value, innerColour.value, innerType.value, innerDensity.value});
    const QString coverKey = composeKey(
        family, {format.value, coverColour.value, coverType.value, coverDensity.value});
    const int quantity = wholeNumber(job.quantity);
    const JobSize size = jobSize(job.customSize, 1.0, job.format.title, job.width, job.height);
    const int innerSheets = wholeNumber(job.innerSheets);

    Quote quote;
    quote.lookups = {lookUp(prices, innerKey, QStringLiteral("внутренние листы")),
                     lookUp(prices, coverKey, QStringLiteral("обложка"))};
    quote.per = size.per;
    quote.factor = size.factor;
    quote.factorText
        = size.explanation + QStringLiteral("; внутренних листов: ") + QString::number(innerSheets);
    if (family != QLatin1String("01"))
        quote.tierFamily = family;
    const double innerPrice = size.factor * quote.lookups.at(0).price * innerSheets;
    const double coverPrice = size.factor * quote.lookups.at(1).price;

    const OptionChoice bindingKind = job.bindingKind.chosen();
    const OptionChoice binding = job.binding.chosen();
    const OptionChoice coverLamination = job.coverLamination.chosen();
    const OptionChoice innerLamination = job.innerLamination.chosen();
    const double unitPrice = innerPrice + coverPrice + bindingKind.value + binding.value
        + coverLamination.value + innerLamination.value + job.coverVarnish.boxSum()
        + job.innerVarnish.boxSum() + job.other.boxSum();
    for (const OptionGroup *group :
         {&job.bindingKind, &job.binding, &job.coverLamination, &job.innerLamination,
          &job.coverVarnish, &job.innerVarnish, &job.other})
        addExtras(quote, *group);

    QString titles = size.text + QLatin1Char(' ')
        + groupTitles({job.format.title, job.innerColour.title, job.innerType.title,
                       job.innerDensity.title, job.coverColour.title, job.coverType.title,
                       job.coverDensity.title});
    // The extras' titles follow one another without a blank.
    for (const OptionGroup *group :
         {&job.innerLamination, &job.binding, &job.innerVarnish, &job.other, &job.bindingKind})
        titles += group->title;

    // No separator between the cover density and the binding kind.
    const QString description = format.caption + Separator + size.text + QLatin1Char(' ')
        + innerColour.caption + Separator + innerType.caption + Separator + innerDensity.caption
        + Separator + coverColour.caption + Separator + coverType.caption + Separator
        + coverDensity.caption + bindingKind.caption + Separator + binding.caption + Separator
        + coverLamination.caption + Separator + innerLamination.caption + Separator
        + job.coverVarnish.boxCaptions() + job.innerVarnish.boxCaptions() + job.other.boxCaptions();

    finish(quote, quantity, unitPrice, description, coverKey, titles, false, job, prices);
    return quote;
}

QVector<Quote> priceBrochures(const BrochureJob &job, const PriceTable &prices)
{
    QVector<Quote> quotes {quoteBrochure(job, QStringLiteral("01"), prices)};
    const QString tier
        = tierFamily(wholeNumber(job.quantity), QStringLiteral("51"), QStringLiteral("61"));
    if (!tier.isEmpty())
        quotes.append(quoteBrochure(withoutExtras(job), tier, prices));
    return quotes;
}

QVector<Quote> priceStreet(const StreetJob &job, const PriceTable &prices)
{
    const OptionChoice material = job.material.chosen();
    const OptionChoice quality = job.quality.chosen();
    const QString key = composeKey(QStringLiteral("12"), {11, 11, material.value, quality.value});
    const int quantity = wholeNumber(job.quantity);

    Quote quote;
    quote.lookups = {lookUp(prices, key)};
    // There is no standard format here: the size is always the typed one.
    const JobSize size = jobSize(true, 1.0, QString(), job.width, job.height);
    const double area = size.factor;

    // The base multiplies the print and is charged once more as an amount of its own.
    const OptionChoice base = job.base.chosen();
    const double baseFactor = base.value != 0.0 ? base.value : 1.0;
    const double printCost = area * baseFactor * quote.lookups.first().price;
    quote.per = size.per;
    quote.factor = area * baseFactor;
    quote.factorText = size.explanation;
    if (base.value != 0.0)
        quote.factorText += QStringLiteral("; основа «") + base.caption + QStringLiteral("» × ")
            + numberText(baseFactor);

    const double filmSum = job.film.boxSum();
    const double postPressSum = job.postPress.boxSum();
    const double standSum = job.stand.boxSum();
    double pocketSum = 0.0;
    addExtras(quote, job.film);
    addExtras(quote, job.base);
    addExtras(quote, job.postPress);
    addExtras(quote, job.stand);
    for (const StandPocket &pocket : job.pockets) {
        const double amount = pocket.box.value * pocketCount(pocket.count);
        pocketSum += amount;
        quote.extras.append(
            {job.pocketSizes.title,
             pocket.box.caption + QStringLiteral(" × ") + numberText(pocketCount(pocket.count)),
             amount});
    }

    const double total
        = ((((printCost + filmSum) + base.value) + postPressSum) + standSum) + pocketSum;

    const QString description = QStringLiteral("Другой; Другой; ") + material.caption + Separator
        + quality.caption + job.film.boxCaptions() + base.caption + Separator
        + job.postPress.boxCaptions() + job.stand.boxCaptions();
    const QString titles
        = groupTitles({job.size.title, job.quality.title, job.material.title, job.film.title,
                       job.base.title, job.postPress.title, job.pocketSizes.title});

    finish(quote, quantity, total, description, key, titles, false, job, prices);
    return {quote};
}

QVector<Quote> priceInterior(const InteriorJob &job, const PriceTable &prices)
{
    const OptionChoice format = job.format.chosen();
    const OptionChoice colour = job.colour.chosen();
    const OptionChoice paper = job.paper.chosen();
    const OptionChoice density = job.density.chosen();
    const QString key = composeKey(QStringLiteral("13"),
                                   {format.value, colour.value, paper.value, density.value});
    const int quantity = wholeNumber(job.quantity);

    // A standard sheet's price is set for the factor 0.001.
    const JobSize size = jobSize(job.customSize, 0.001, job.format.title, job.width, job.height,
                                 QStringLiteral("за шт."));
    Quote quote;
    quote.lookups = {lookUp(prices, key)};
    quote.per = size.per;
    quote.factor = size.factor;
    quote.factorText = size.explanation;
    const double printCost = size.factor * quote.lookups.first().price;

    const OptionGroup *extras[]
        = {&job.base, &job.folding, &job.binding, &job.lamination, &job.other};
    double total = printCost;
    for (const OptionGroup *group : extras) {
        total += group->boxSum();
        addExtras(quote, *group);
    }

    QString titles = size.text + QLatin1Char(' ')
        + groupTitles({job.format.title, job.colour.title, job.paper.title, job.density.title});
    QString description = format.caption + Separator + size.text + QLatin1Char(' ') + colour.caption
        + Separator + paper.caption + Separator + density.caption;
    for (const OptionGroup *group : extras) {
        titles += group->title + QLatin1Char(' ');
        description += group->boxCaptions();
    }

    finish(quote, quantity, total, description, key, titles, false, job, prices);
    return {quote};
}

QVector<Quote> priceSouvenir(const SouvenirJob &job, const PriceTable &prices)
{
    const OptionChoice size = job.size.chosen();
    const OptionChoice colours = job.colours.chosen();
    const OptionChoice material = job.material.chosen();
    const std::initializer_list<double> codes = {size.value, colours.value, material.value, 0};
    const QString key = composeKey(QStringLiteral("00"), codes);
    const int quantity = wholeNumber(job.quantity);

    // A standard size is priced per thousand.
    const JobSize dimensions = jobSize(job.customSize, 0.001, job.size.title, job.width, job.height,
                                       QStringLiteral("за шт."));
    Quote quote;
    quote.lookups = {lookUp(prices, key)};
    quote.per = dimensions.per;
    quote.factor = dimensions.factor;
    quote.factorText = dimensions.explanation;
    const double printCost = dimensions.factor * quote.lookups.first().price;
    const double total = printCost + job.materialColour.boxSum();
    addExtras(quote, job.materialColour);

    const QString titles = dimensions.text + QLatin1Char(' ')
        + groupTitles({job.size.title, job.colours.title, job.material.title,
                       job.materialColour.title});
    const QString description = size.caption + Separator + dimensions.text + QLatin1Char(' ')
        + colours.caption + Separator + material.caption + Separator + QLatin1Char('0')
        + job.materialColour.boxCaptions();

    // Priced from the "00" family, yet the line names its key in the family "25".
    finish(quote, quantity, total, description, composeKey(QStringLiteral("25"), codes), titles,
           false, job, prices);
    return {quote};
}

QVector<Quote> priceStoredJob(const QJsonObject &object, const PriceTable &prices)
{
    PricingPage page;
    if (!pageOf(object, &page))
        return {};
    const QString family = object.value(QStringLiteral("family")).toString();
    switch (page) {
    case PricingPage::SheetProducts: {
        SheetProductsJob job;
        if (!fromJson(object, &job))
            return {};
        return family.isEmpty() ? priceSheetProducts(job, prices)
                                : QVector<Quote> {quoteSheetProducts(job, family, prices)};
    }
    case PricingPage::Brochures: {
        BrochureJob job;
        if (!fromJson(object, &job))
            return {};
        return family.isEmpty() ? priceBrochures(job, prices)
                                : QVector<Quote> {quoteBrochure(job, family, prices)};
    }
    case PricingPage::Street: {
        StreetJob job;
        return fromJson(object, &job) ? priceStreet(job, prices) : QVector<Quote>();
    }
    case PricingPage::Interior: {
        InteriorJob job;
        return fromJson(object, &job) ? priceInterior(job, prices) : QVector<Quote>();
    }
    case PricingPage::Souvenir: {
        SouvenirJob job;
        return fromJson(object, &job) ? priceSouvenir(job, prices) : QVector<Quote>();
    }
    }
    return {};
}
