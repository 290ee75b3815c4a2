// The order's total under the table.
#include "app/order_total.h"

#include "documents/document_settings.h"
#include "order/order.h"

#include <QDate>

#include <QLabel>
#include <QStringList>

#include <algorithm>

QString orderTotalText(const OrderTotals &totals)
{
    return QStringLiteral("Итого: ") + moneyText(totals.subtotal) + QStringLiteral(" · строк: ")
        + QString::number(totals.lines);
}

namespace {

// A typed text as the total quotes it: short enough for the line under the table.
QString quoted(const QString &text)
{
    const int longest = 16;
    const QString shown = text.size() > longest ? text.left(longest - 1) + QChar(0x2026) : text;
    return QStringLiteral("«") + shown + QStringLiteral("»");
}

} // namespace

QString orderTotalText(const QVector<OrderLine> &lines)
{
    QStringList rows;
    QString what;
    for (int row = 0; row < lines.size(); ++row) {
        double sum = 0.0;
        const OrderLine &line = lines.at(row);
        if (line.sum(&sum))
            continue;
        rows << QString::number(row + 1);
        if (!what.isEmpty())
            continue;
        double price = 0.0;
        what = readAmount(line.unitPrice, &price)
            ? QStringLiteral("количество %1 не число").arg(quoted(line.quantity))
            : QStringLiteral("цена %1 не число").arg(quoted(line.unitPrice));
    }
    if (rows.isEmpty())
        return orderTotalText(orderTotals(lines));
    QString named;
    if (rows.size() == 1) {
        named = QStringLiteral("строка ") + rows.first() + QStringLiteral(": ") + what;
    } else {
        const QString listed = rows.mid(0, 5).join(QStringLiteral(", "));
        named = QStringLiteral("строки ") + listed
            + (rows.size() > 5 ? QString(QChar(0x2026)) : QString())
            + QStringLiteral(": цена или количество не число");
    }
    return QStringLiteral("Итого: не посчитать — ") + named + QStringLiteral(" · строк: ")
        + QString::number(lines.size());
}

QString orderTotalText(const QVector<OrderLine> &lines, const FootTerms &terms)
{
    // A line that is no number is named before any discount is counted.
    const bool allNumbers = std::all_of(lines.cbegin(), lines.cend(), [](const OrderLine &line) {
        double sum = 0.0;
        return line.sum(&sum);
    });
    if (!terms.hasDiscount() || !allNumbers)
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
    // The settings are read only for a discount: an order without one shows what it always did.
    const QString text = discount <= 0
        ? orderTotalText(order->lines())
        : orderTotalText(order->lines(),
                         FootTerms::on(taxSettings(), QDate::currentDate(), discount));
    label->setText(text);
    // A long list of rows may not fit the line; the tooltip holds it whole.
    label->setToolTip(text);
}
