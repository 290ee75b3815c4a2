// The price a press of "Ответ" would append, shown beside the button before the press and
// recomputed on every option change and keystroke on the page.
#pragma once

#include "dialogs/colours.h"
#include "pricing/quote.h"

#include <QObject>
#include <QVector>

#include <functional>

class QLabel;
class QWidget;

// One row per line the press would append: "132 ₽ × 100 шт. = 13 200 ₽", the tier line as
// "Тираж: …"; a line without a price gets a row "Нет цены в прайс-листе: <key>" before its own.
// The figures are the line's own: its unit price text read as a number, its quantity.
QString livePriceText(const QVector<Quote> &quotes);
// The lines' breakdowns, as their price cells will carry them.
QString livePriceToolTip(const QVector<Quote> &quotes);

class LivePrice : public QObject
{
public:
    using Pricing = std::function<QVector<Quote>()>;

    // Watches every option button and field of the page.
    LivePrice(QWidget *page, QLabel *label, Pricing price, QObject *parent);

    void refresh();
    const QVector<Quote> &quotes() const { return current; }

private:
    QLabel *label;
    Pricing price;
    QVector<Quote> current;
};
