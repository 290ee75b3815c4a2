// Keys, sizes, titles and tiers.
#include "pricing/rules.h"

#include "pricing/number_text.h"

QString composeKey(const QString &family, std::initializer_list<double> codes)
{
    QString key = family;
    for (const double code : codes)
        key += numberText(code);
    return key;
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
        return {standardFactor, formatTitle, standardPer,
                QStringLiteral("стандартный формат → ") + numberText(standardFactor)};
    }
    const double area = customArea(width, height);
    // The fields are shown as typed, an empty side included.
    return {area, width + QLatin1Char('x') + height, QStringLiteral("за 1000 мм²"),
            width + QStringLiteral(" × ") + height + QStringLiteral(" мм → ") + numberText(area)};
}

QString groupTitles(std::initializer_list<QString> titles)
{
    QString text;
    for (const QString &title : titles)
        text += title + QLatin1Char(' ');
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
