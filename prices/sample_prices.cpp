// Notes on sample amounts and odd units.
#include "prices/sample_prices.h"

#include "order/money.h"
#include "prices/composable_keys.h"
#include "prices/extras_catalogue.h"
#include "prices/key_meanings.h"
#include "prices/price_file_check.h"

#include <QStringList>

#include <cmath>

namespace {

// A multiplier of the print's price, not an amount: "множитель печати и надбавка".
bool multipliesThePrint(const ExtraOption &extra)
{
    return extra.per.startsWith(QStringLiteral("множитель"));
}

// Roubles as a label shows them; a fraction of a kopeck, which a factor makes, as it is.
QString roubles(double value)
{
    if (calcRounded(value, 2) == value)
        return moneyText(value);
    return priceFileNumber(value) + QStringLiteral(" ₽");
}

QString placeholderNote(double amount)
{
    return QStringLiteral("Сумма ") + moneyText(amount)
        + QStringLiteral(" — заполнитель образца, а не цена: впишите свою.");
}

} // namespace

bool isPlaceholderAmount(double amount)
{
    if (amount == 100500.0 || amount == 100501.0)
        return true;
    if (amount < 666.0 || amount != std::floor(amount) || amount > 1e12)
        return false;
    // 666, 6666, …: every digit a six.
    for (auto whole = static_cast<long long>(amount); whole > 0; whole /= 10) {
        if (whole % 10 != 6)
            return false;
    }
    return true;
}

QString samplePriceNote(const QString &key, double price, bool priced)
{
    QStringList notes;
    if (priced && isPlaceholderAmount(price))
        notes << placeholderNote(price);
    bool perArea = false;
    for (const KeyMeaning &meaning : keyMeanings(key))
        perArea = perArea || meaning.per == QStringLiteral("за 1000 мм²");
    if (perArea) {
        notes << QStringLiteral("Цена за 1000 мм² площади: 1 м² — это 1000 таких единиц");
        if (priced && price > 0.0) {
            notes.last()
                += QStringLiteral(", при этой цене 1 м² стоит ") + moneyText(price * 1000.0);
        }
        notes.last() += QLatin1Char('.');
    }
    for (const StandardFactor &factor : standardFactors(key)) {
        QString note = pageTitle(factor.page)
            + QStringLiteral(": стандартный размер страница "
                             "считает как ")
            + priceFileNumber(factor.factor) + QStringLiteral(" этой цены");
        if (priced && price > 0.0)
            note += QStringLiteral(" (") + roubles(price * factor.factor)
                + QStringLiteral(" за шт.)");
        notes << note + QLatin1Char('.');
    }
    return notes.join(QLatin1Char('\n'));
}

QString sampleAmountNote(const ExtraOption &extra, double amount)
{
    QStringList notes;
    if (isPlaceholderAmount(amount))
        notes << placeholderNote(amount);
    if (multipliesThePrint(extra) && amount != 0.0 && amount != 1.0) {
        notes << QStringLiteral("Основа умножает цену печати на ") + priceFileNumber(amount)
                + QStringLiteral(" и добавляется ещё раз как надбавка.");
    }
    return notes.join(QLatin1Char('\n'));
}
