// The order's total under the table.
#include "app/order_total.h"

#include "documents/document_settings.h"
#include "order/order.h"

#include <QDate>

#include <QLabel>

QString orderTotalText(const OrderTotals &totals)
{
    return QStringLiteral("Итого: ") + moneyText(totals.subtotal) + QStringLiteral(" · строк: ")
        + QString::number(totals.lines);
}

QString orderTotalText(const QVector<OrderLine> &lines)
{
    return orderTotalText(orderTotals(lines));
}

QString orderTotalText(const QVector<OrderLine> &lines, const FootTerms &terms)
{
    if (!terms.hasDiscount())
        return orderTotalText(lines);
    const InvoiceFoot foot = invoiceFoot(lines, terms);
    QString text = QStringLiteral("Итого: ") + moneyText(foot.subtotal)
        + QStringLiteral(" · скидка ") + percentText(terms.discountHundredths)
        + QStringLiteral(" %: ") + QChar(0x2212) + moneyText(foot.discount)
        + QStringLiteral(" · к оплате ") + moneyText(foot.total);
    const bool onTop = !terms.taxGiven || terms.tax.mode == TaxMode::OnTop;
    if (onTop)
        text += QStringLiteral(" с НДС ") + QString::number(terms.tax.rate) + QStringLiteral(" %");
    return text + QStringLiteral(" · строк: ") + QString::number(lines.size());
}

OrderTotal::OrderTotal(const Order *order, QLabel *label, QObject *parent)
    : QObject(parent)
    , order(order)
    , label(label)
{
    pending.setSingleShot(true);
    pending.setInterval(0);
    connect(&pending, &QTimer::timeout, this, &OrderTotal::refresh);
    const auto later = [this] { pending.start(); };
    connect(order, &Order::linesInserted, this, later);
    connect(order, &Order::linesRemoved, this, later);
    connect(order, &Order::lineChanged, this, later);
    connect(order, &Order::cleared, this, later);
    connect(order, &Order::customerChanged, this, later);
    taxSettings = [] { return DocumentSettings::load().tax; };
    refresh();
}

void OrderTotal::refresh()
{
    pending.stop();
    const int discount = order->customer().discountHundredths;
    if (discount <= 0) {
        label->setText(orderTotalText(order->totals()));
        return;
    }
    // The settings are read only for a discount: an order without one shows what it always did.
    label->setText(orderTotalText(order->lines(),
                                  FootTerms::on(taxSettings(), QDate::currentDate(), discount)));
}
