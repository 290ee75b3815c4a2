// Calc's rounding and the rouble text.
#include "order/money.h"

#include "order/invoice.h"
#include "order/order_line.h"

#include <QByteArray>

#include <cmath>

double calcRounded(double value, int decimals)
{
    if (!std::isfinite(value) || value == 0.0)
        return value;
    // 15 significant digits first: what the sheet holds is the binary double, what it rounds is
    // its 15-digit decimal reading, so 2.675 (2.67499999…) rounds up as Calc shows it.
    const double significant = QByteArray::number(value, 'g', 15).toDouble();
    const double scale = std::pow(10.0, decimals);
    const double scaled = QByteArray::number(significant * scale, 'g', 15).toDouble();
    const double rounded = std::copysign(std::floor(std::fabs(scaled) + 0.5), scaled);
    return rounded / scale;
}

QString moneyNumber(double value)
{
    const double rounded = calcRounded(value, 2);
    const bool negative = rounded < 0;
    const qint64 cents = qint64(std::llround(std::fabs(rounded) * 100.0));
    const qint64 roubles = cents / 100;
    const int kopecks = int(cents % 100);
    QString digits = QString::number(roubles);
    for (int at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QChar(0x00A0));
    if (kopecks != 0)
        digits += QLatin1Char(',') + QStringLiteral("%1").arg(kopecks, 2, 10, QLatin1Char('0'));
    return negative ? QLatin1Char('-') + digits : digits;
}

QString moneyText(double value)
{
    return moneyNumber(value) + QStringLiteral(" ₽");
}

QString plainAmount(const QString &text)
{
    QString plain;
    plain.reserve(text.size());
    for (const QChar c : text.trimmed()) {
        if (c == QLatin1Char(' ') || c == QChar(0x00A0) || c == QChar(0x202F))
            continue;
        plain += c == QLatin1Char(',') ? QLatin1Char('.') : c;
    }
    return plain;
}

bool readAmount(const QString &text, double *value)
{
    const QString plain = plainAmount(text);
    bool ok = false;
    const double number = plain.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return false;
    *value = number;
    return true;
}

double lineSum(const OrderLine &line)
{
    double sum = 0.0;
    line.sum(&sum);
    return sum;
}

double linesSum(const QVector<OrderLine> &lines)
{
    // Compensated (Neumaier) summation, as Calc's SUM does it: a thousand lines of half a
    // kopeck add up to 5,005 there, and a plain running sum would show 5,00 instead of 5,01.
    double sum = 0.0;
    double lost = 0.0;
    for (const OrderLine &line : lines) {
        const double value = lineSum(line);
        const double next = sum + value;
        lost += std::fabs(sum) >= std::fabs(value) ? (sum - next) + value : (value - next) + sum;
        sum = next;
    }
    return sum + lost;
}

OrderTotals orderTotals(const QVector<OrderLine> &lines)
{
    OrderTotals totals;
    totals.subtotal = linesSum(lines);
    totals.tax = totals.subtotal * invoice::TaxRate;
    totals.total = totals.subtotal + totals.tax;
    totals.lines = lines.size();
    return totals;
}
