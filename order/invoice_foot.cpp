// The documents' foot: discount before tax, every amount to the kopeck as Calc shows it.
#include "order/invoice_foot.h"

#include "order/money.h"

QString taxModeWord(TaxMode mode)
{
    switch (mode) {
    case TaxMode::Included:
        return QStringLiteral("included");
    case TaxMode::None:
        return QStringLiteral("none");
    case TaxMode::OnTop:
        break;
    }
    return QStringLiteral("on-top");
}

bool taxModeFromWord(const QString &word, TaxMode *mode)
{
    for (const TaxMode candidate : {TaxMode::OnTop, TaxMode::Included, TaxMode::None}) {
        if (word.trimmed().compare(taxModeWord(candidate), Qt::CaseInsensitive) == 0) {
            *mode = candidate;
            return true;
        }
    }
    return false;
}

bool isTaxRate(int rate)
{
    for (const int allowed : {0, 5, 7, 10, 18, 20, 22})
        if (rate == allowed)
            return true;
    return false;
}

TaxRule TaxSettings::ruleOn(const QDate &day) const
{
    // The change holds from its day on, that day included.
    if (changeFrom.isValid() && day.isValid() && day >= changeFrom)
        return change;
    return rule;
}

FootTerms FootTerms::on(const TaxSettings &settings, const QDate &day, int discountHundredths)
{
    FootTerms terms;
    terms.discountHundredths = qMax(0, discountHundredths);
    terms.taxGiven = settings.given;
    if (settings.given)
        terms.tax = settings.ruleOn(day);
    return terms;
}

const FootRow *InvoiceFoot::row(FootRow::Kind kind) const
{
    for (const FootRow &each : rows)
        if (each.kind == kind)
            return &each;
    return nullptr;
}

QString percentNumber(int hundredths)
{
    QString text = QString::number(hundredths / 100);
    const int fraction = hundredths % 100;
    if (fraction != 0) {
        text += QLatin1Char('.') + QStringLiteral("%1").arg(fraction, 2, 10, QLatin1Char('0'));
        if (text.endsWith(QLatin1Char('0')))
            text.chop(1);
    }
    return text;
}

QString percentText(int hundredths)
{
    return percentNumber(hundredths).replace(QLatin1Char('.'), QLatin1Char(','));
}

static QString taxCaption(const FootTerms &terms)
{
    if (!terms.taxGiven)
        return QStringLiteral("18%");
    const QString rate = QString::number(terms.tax.rate);
    switch (terms.tax.mode) {
    case TaxMode::Included:
        return QStringLiteral("В том числе НДС ") + rate + QStringLiteral(" %");
    case TaxMode::None:
        return QStringLiteral("Без налога (НДС)");
    case TaxMode::OnTop:
        break;
    }
    return QStringLiteral("НДС ") + rate + QStringLiteral(" %");
}

InvoiceFoot invoiceFoot(double linesSum, const FootTerms &terms)
{
    InvoiceFoot foot;
    foot.terms = terms;
    if (terms.asBefore()) {
        // The sheet's old formulas: 18 % of the unrounded sum, added to it, rounded when shown.
        const double tax = linesSum * 0.18;
        foot.subtotal = calcRounded(linesSum);
        foot.tax = calcRounded(tax);
        foot.total = calcRounded(linesSum + tax);
        foot.rows = {{FootRow::Subtotal, QStringLiteral("Итого"), foot.subtotal, true},
                     {FootRow::Tax, taxCaption(terms), foot.tax, true},
                     {FootRow::Total, QStringLiteral("Всего"), foot.total, true}};
        return foot;
    }

    // Each step as the sheet's formulas do it, in the same order of operations, so that the
    // PDF and the sheet agree to the last kopeck.
    const double subtotal = calcRounded(linesSum);
    const double discount = terms.hasDiscount()
        ? calcRounded(subtotal * (terms.discountHundredths / 100.0) / 100.0)
        : 0.0;
    const double base = subtotal - discount;
    const TaxMode mode = terms.taxGiven ? terms.tax.mode : TaxMode::OnTop;
    const int rate = terms.taxGiven ? terms.tax.rate : 18;
    double tax = 0.0;
    double total = base;
    if (mode == TaxMode::OnTop) {
        tax = calcRounded(base * rate / 100.0);
        total = base + tax;
    } else if (mode == TaxMode::Included) {
        tax = calcRounded(base * rate / (100.0 + rate));
    }
    foot.subtotal = subtotal;
    foot.discount = discount;
    foot.tax = tax;
    foot.total = calcRounded(total);

    foot.rows.append({FootRow::Subtotal, QStringLiteral("Итого"), subtotal, true});
    if (terms.hasDiscount())
        foot.rows.append({FootRow::Discount,
                          QStringLiteral("Скидка ") + percentText(terms.discountHundredths)
                              + QStringLiteral(" %"),
                          0.0 - discount, true});
    foot.rows.append({FootRow::Tax, taxCaption(terms), tax, mode != TaxMode::None});
    foot.rows.append({FootRow::Total, QStringLiteral("Всего"), foot.total, true});
    return foot;
}

InvoiceFoot invoiceFoot(const QVector<OrderLine> &lines, const FootTerms &terms)
{
    return invoiceFoot(linesSum(lines), terms);
}
