// Number reading and writing shared by every calculator.
#include "pricing/number_text.h"

#include "order/money.h"

#include <cmath>

QString numberText(double value)
{
    // Most codes and prices are small whole numbers, which the general format spells as integers;
    // the integer path is several times faster.
    if (value >= 0 && value < 10 && value == std::trunc(value) && !std::signbit(value))
        return QString(QLatin1Char(char('0' + int(value))));
    if (value > -1e6 && value < 1e6 && value == std::trunc(value)
        && !(value == 0 && std::signbit(value)))
        return QString::number(qint64(value));
    return QString::number(value, 'g', 6);
}

static bool sixDigitsExact(double value, const QString &text)
{
    bool ok = false;
    return text.toDouble(&ok) == value && ok;
}

double linePrice(double value)
{
    if (!std::isfinite(value) || sixDigitsExact(value, numberText(value)))
        return value;
    return calcRounded(value, 2);
}

QString priceText(double value)
{
    const QString general = numberText(value);
    if (!std::isfinite(value) || sixDigitsExact(value, general))
        return general;
    const double kopecks = calcRounded(value, 2);
    QString text = QString::number(kopecks, 'f', 2);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

int wholeNumber(const QString &text)
{
    // Plain digits, as the fields' validators let through, are read without the general parser.
    if (text.size() > 0 && text.size() < 10) {
        int number = 0;
        bool plain = true;
        for (const QChar c : text) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
                plain = false;
                break;
            }
            number = number * 10 + (c.unicode() - '0');
        }
        if (plain)
            return number;
    }
    bool ok = false;
    const int number = text.toInt(&ok, 10);
    return ok ? number : 0;
}

double fieldNumber(const QString &text)
{
    bool ok = false;
    const double number = text.toDouble(&ok);
    return ok ? number : 0.0;
}
