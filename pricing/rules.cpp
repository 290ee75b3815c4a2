// Keys, sizes, titles and tiers.
#include "pricing/rules.h"

#include "pricing/number_text.h"

static QString composeKeySlowly(const QString &family, std::initializer_list<double> codes)
{
    QString key = family;
    for (const double code : codes)
        key += numberText(code);
    return key;
}

QString composeKey(const QString &family, std::initializer_list<double> codes)
{
    // Codes are small whole numbers but for a rare few: their digits go straight into the key,
    // which keeps a key to one allocation.
    char digits[64];
    int length = 0;
    for (const double code : codes) {
        const int whole = int(code);
        if (double(whole) != code || whole < 0 || whole > 999 || length > 60)
            return composeKeySlowly(family, codes);
        if (whole >= 100)
            digits[length++] = char('0' + whole / 100);
        if (whole >= 10)
            digits[length++] = char('0' + whole / 10 % 10);
        digits[length++] = char('0' + whole % 10);
    }
    return family + QLatin1String(digits, length);
}

QString keyText(const QString &key)
{
    return QStringLiteral("значение=") + key;
}

double customArea(const QString &width, const QString &height)
{
    return fieldNumber(width) * fieldNumber(height) / 1000.0;
}

JobSize jobSize(bool custom, double standardFactor, const QString &formatTitle,
                const QString &width, const QString &height, const QString &standardPer)
{
    if (!custom) {
        static const QString perSheet = QStringLiteral("стандартный формат → 1");
        const QString explanation = standardFactor == 1.0
            ? perSheet
            : QStringLiteral("стандартный формат → ") + numberText(standardFactor);
        return {standardFactor, formatTitle, standardPer, explanation};
    }
    const double area = customArea(width, height);
    // The fields are shown as typed, an empty side included.
    return {area, width + QLatin1Char('x') + height, QStringLiteral("за 1000 мм²"),
            width + QStringLiteral(" × ") + height + QStringLiteral(" мм → ") + numberText(area)};
}

QString groupTitles(std::initializer_list<QString> titles)
{
    int length = 0;
    for (const QString &title : titles)
        length += title.size() + 1;
    QString text;
    text.reserve(length);
    for (const QString &title : titles) {
        text += title;
        text += QLatin1Char(' ');
    }
    return text;
}

QString tierFamily(int quantity, const QString &from500, const QString &from1000)
{
    if (quantity > 499 && quantity <= 999)
        return from500;
    if (quantity > 999 && quantity <= 3000)
        return from1000;
    return QString();
}
