// Tooltips, marks and header captions of the order table.
#include "app/order_cells.h"
#include "pricing/quote.h"

#include <QBrush>

namespace {
const QString RemovalHint = QStringLiteral("Щелчок удаляет строку");
}

QVariant OrderCell::data(int role) const
{
    if (role == Qt::ToolTipRole) {
        const QVariant own = QTableWidgetItem::data(role);
        if (own.isValid())
            return own;
        const QString shown = text();
        return shown.isEmpty() ? QVariant() : QVariant(shown);
    }
    return QTableWidgetItem::data(role);
}

QTableWidgetItem *newOrderCell(const OrderLine &line, OrderLine::Column column)
{
    if (column == OrderLine::Marker) {
        if (!line.removalMarker)
            return nullptr;
        auto *marker = new QTableWidgetItem;
        marker->setBackground(RemovalMarkerColour);
        marker->setToolTip(RemovalHint);
        return marker;
    }
    auto *cell = new OrderCell(line.text(column));
    if (column == OrderLine::UnitPrice) {
        if (!line.explanation.isEmpty())
            cell->setToolTip(line.explanation);
        if (line.missingPrice)
            cell->setBackground(MissingPriceColour);
        // A sample's price is no price of the shop's either: marked the same, and told why.
        if (line.samplePrice) {
            cell->setBackground(MissingPriceColour);
            cell->setToolTip(line.explanation + QStringLiteral("\n\n") + samplePriceWarning());
        }
    }
    return cell;
}

void setOrderHeaderCaptions(QTableWidget *table)
{
    table->setHorizontalHeaderItem(OrderLine::KeyText,
                                   new QTableWidgetItem(QStringLiteral("Ключ")));
    table->setHorizontalHeaderItem(OrderLine::Titles,
                                   new QTableWidgetItem(QStringLiteral("Параметры")));
    auto *removal = new QTableWidgetItem(QStringLiteral("✕"));
    removal->setToolTip(RemovalHint);
    table->setHorizontalHeaderItem(OrderLine::Marker, removal);
}
