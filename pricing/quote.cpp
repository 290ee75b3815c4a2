// How a quote explains itself.
#include "pricing/quote.h"

#include "pricing/number_text.h"

bool Quote::missingPrice() const
{
    for (const PriceLookup &lookup : lookups) {
        if (!lookup.found)
            return true;
    }
    return unitPrice == 0.0;
}

bool Quote::samplePrice() const
{
    // A line with no price at all is told as such, not as a sample.
    if (missingPrice())
        return false;
    for (const PriceLookup &lookup : lookups) {
        if (lookup.found && lookup.sample)
            return true;
    }
    return false;
}

QString Quote::missingKey() const
{
    for (const PriceLookup &lookup : lookups) {
        if (!lookup.found)
            return lookup.key;
    }
    return lookups.isEmpty() ? QString() : lookups.last().key;
}

QString Quote::explanation() const
{
    return explained(false);
}

QString Quote::publicExplanation() const
{
    return explained(true);
}

QString Quote::explained(bool forPublic) const
{
    // Figures as the line shows them: six digits from the built-in list, kopecks from a version.
    const auto shown
        = [this](double value) { return priceVersion == 0 ? numberText(value) : priceText(value); };
    QStringList items;
    // The list's keys, families and versions are the shop's own words, not the customer's.
    if (!forPublic) {
        if (missingPrice())
            items << QStringLiteral("Нет цены в прайс-листе: ключ ") + missingKey();
        if (!tierFamily.isEmpty())
            items << QStringLiteral("Строка тиража, семейство ") + tierFamily;
        for (const PriceLookup &lookup : lookups) {
            const QString role
                = lookup.role.isEmpty() ? QString() : lookup.role + QStringLiteral(": ");
            items << role + QStringLiteral("ключ ") + lookup.key
                    + (lookup.found ? QStringLiteral(" — есть в прайс-листе, ")
                               + shown(lookup.price) + QLatin1Char(' ') + per
                                    : QStringLiteral(" — нет в прайс-листе"));
        }
    }
    items << QStringLiteral("Размер: ") + factorText;
    for (const QuoteExtra &extra : extras) {
        items << extra.group + QStringLiteral(": ") + extra.caption + QStringLiteral(" + ")
                + shown(extra.amount);
    }
    items << QStringLiteral("Цена за единицу: ") + shown(unitPrice);
    if (!forPublic)
        items << QStringLiteral("Прайс-лист: ")
                + (priceVersion == 0 ? QStringLiteral("встроенный (версия 0)")
                                     : QStringLiteral("версия ") + QString::number(priceVersion));
    return items.join(QLatin1Char('\n'));
}

OrderLine Quote::orderLine() const
{
    OrderLine complete = line;
    complete.job = std::visit([](const auto &value) { return toJson(value); }, job);
    // A tier line is priced again from its own family alone.
    if (!tierFamily.isEmpty())
        complete.job.insert(QStringLiteral("family"), tierFamily);
    complete.explanation = explanation();
    return complete;
}
