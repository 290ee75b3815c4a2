// Live prices on the five pricing pages.
#include "calculators/live_price.h"

#include "app/mainwindow.h"
#include "form/mainwindow_form.h"
#include "order/money.h"
#include "prices/price_table.h"
#include "pricing/page_pricing.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>

namespace {

QString priceRow(const Quote &quote)
{
    const double unitPrice = quote.unitPrice;
    QString row;
    if (quote.missingPrice())
        row = QStringLiteral("Нет цены в прайс-листе: ") + quote.missingKey() + QLatin1Char('\n');
    if (!quote.tierFamily.isEmpty())
        row += QStringLiteral("Тираж: ");
    return row + moneyText(unitPrice) + QStringLiteral(" × ") + moneyNumber(quote.quantity)
        + QStringLiteral(" шт. = ") + moneyText(lineSum(quote.line));
}

} // namespace

QString livePriceText(const QVector<Quote> &quotes)
{
    QStringList rows;
    for (const Quote &quote : quotes)
        rows << priceRow(quote);
    return rows.join(QLatin1Char('\n'));
}

QString livePriceToolTip(const QVector<Quote> &quotes)
{
    QStringList explanations;
    bool sample = false;
    for (const Quote &quote : quotes) {
        explanations << quote.explanation();
        sample = sample || quote.samplePrice();
    }
    // The label has no room for another line: the sample is told by its colour and here.
    if (sample)
        explanations.prepend(samplePriceWarning());
    return explanations.join(QStringLiteral("\n\n"));
}

LivePrice::LivePrice(QWidget *page, QLabel *label, Pricing price, QObject *parent)
    : QObject(parent)
    , label(label)
    , price(std::move(price))
{
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (QAbstractButton *button : page->findChildren<QAbstractButton *>()) {
        // A radio button going off in its group is followed by the one going on.
        connect(button, &QAbstractButton::toggled, this, [this, button](bool checked) {
            if (checked || !button->autoExclusive())
                refresh();
        });
    }
    for (QLineEdit *field : page->findChildren<QLineEdit *>())
        connect(field, &QLineEdit::textChanged, this, &LivePrice::refresh);
    refresh();
}

void LivePrice::refresh()
{
    current = price();
    bool missing = false;
    for (const Quote &quote : qAsConst(current))
        missing = missing || quote.missingPrice() || quote.samplePrice();
    label->setText(livePriceText(current));
    label->setToolTip(livePriceToolTip(current));
    QPalette palette;
    // A tool box page draws its labels in the button text colour.
    if (missing)
        palette.setColor(label->foregroundRole(), LivePriceWarningColour);
    label->setPalette(palette);
}

void MainWindow::initLivePrices()
{
    for (const PricingPageParts &parts : qAsConst(pricingPages)) {
        auto *label = new QLabel(parts.page);
        label->setObjectName(parts.livePriceName);
        label->setGeometry(parts.livePricePlace);
        livePrices << new LivePrice(parts.page, label, parts.price, this);
    }
}

void MainWindow::refreshLivePrices()
{
    for (LivePrice *price : qAsConst(livePrices))
        price->refresh();
}
