// The board's rows: texts made only for the rows shown, so that ten thousand orders fill the
// table at once.
#include "dialogs/orders_model.h"

#include "order/money.h"

#include <QBrush>
#include <QColor>

namespace {

QString roubles(qint64 kopecks)
{
    return moneyText(double(kopecks) / 100.0);
}

} // namespace

QString boardViewCaption(BoardView view)
{
    switch (view) {
    case BoardView::Open:
        return QStringLiteral("Открытые");
    case BoardView::HandOverToday:
        return QStringLiteral("К выдаче сегодня");
    case BoardView::Overdue:
        return QStringLiteral("Просрочены");
    case BoardView::Ready:
        return QStringLiteral("Готовы");
    case BoardView::InWork:
        return QStringLiteral("В работе");
    case BoardView::Unpaid:
        return QStringLiteral("Не оплачены");
    case BoardView::All:
        return QStringLiteral("Все");
    }
    return QString();
}

OrderQuery boardQuery(BoardView view, const QString &text, const QDateTime &now)
{
    OrderQuery query;
    query.now = now;
    query.text = text;
    switch (view) {
    case BoardView::Open:
        query.openOnly = true;
        query.withRequests = true;
        break;
    case BoardView::HandOverToday:
        query.openOnly = true;
        query.dueDay = now.date();
        break;
    case BoardView::Overdue:
        query.overdueOnly = true;
        break;
    case BoardView::Ready:
        query.anyStatus = false;
        query.status = OrderStatus::Ready;
        break;
    case BoardView::InWork:
        query.anyStatus = false;
        query.status = OrderStatus::InWork;
        break;
    case BoardView::Unpaid:
        query.unpaidOnly = true;
        break;
    case BoardView::All:
        query.withRequests = true;
        break;
    }
    return query;
}

bool boardViewShows(BoardView view, const TakenOrder &order, const QDateTime &now)
{
    if (order.requestNumber != 0)
        return view == BoardView::Open || view == BoardView::All;
    const bool open = statusIsOpen(order.status);
    switch (view) {
    case BoardView::Open:
        return open;
    case BoardView::HandOverToday:
        // The due time is kept at its own offset: its date is the local day, with no time-zone
        // lookup per order.
        return open && order.due.isValid() && order.due.date() == now.date();
    case BoardView::Overdue:
        return order.isOverdue(now);
    case BoardView::Ready:
        return order.status == OrderStatus::Ready;
    case BoardView::InWork:
        return order.status == OrderStatus::InWork;
    case BoardView::Unpaid:
        return order.status != OrderStatus::Cancelled && order.paidKopecks < order.totalKopecks;
    case BoardView::All:
        return true;
    }
    return false;
}

QDateTime boardTime(const QDateTime &time)
{
    return time.isValid() ? time.toOffsetFromUtc(time.offsetFromUtc()) : time;
}

bool boardViewWithin(BoardView view, BoardView within)
{
    if (within == BoardView::All)
        return true;
    if (within == BoardView::Open)
        return view != BoardView::Unpaid && view != BoardView::All;
    return view == within;
}

QString plainToolTip(const QString &text)
{
    if (text.isEmpty())
        return QString();
    QString escaped = text.toHtmlEscaped();
    escaped.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    // The paragraph makes it rich text, so that what was escaped is shown, not read as markup.
    return QStringLiteral("<p>") + escaped + QStringLiteral("</p>");
}

OrdersModel::OrdersModel(QObject *parent)
    : QAbstractTableModel(parent)
{ }

void OrdersModel::setOrders(const BoardList &list, const QDateTime &when)
{
    beginResetModel();
    orders = list.orders;
    mails = list.mails;
    now = boardTime(when);
    rows.clear();
    requestRows.clear();
    rows.reserve(orders.size());
    for (int row = 0; row < orders.size(); ++row) {
        const TakenOrder &order = orders.at(row);
        if (order.requestNumber != 0)
            requestRows.insert(order.requestNumber, row);
        else
            rows.insert(order.number, row);
    }
    endResetModel();
}

int OrdersModel::rowOfRequest(qint64 request) const
{
    return requestRows.value(request, -1);
}

int OrdersModel::rowOf(qint64 number) const
{
    return rows.value(number, -1);
}

int OrdersModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : orders.size();
}

int OrdersModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant OrdersModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= orders.size())
        return QVariant();
    const TakenOrder &order = orders.at(index.row());
    const bool request = order.requestNumber != 0;
    if (role == Qt::ForegroundRole)
        return !request && order.isOverdue(now) ? QVariant(QBrush(QColor(0xb0, 0, 0))) : QVariant();
    if (role == Qt::TextAlignmentRole) {
        const bool figure = index.column() == Number || index.column() == Total
            || index.column() == Paid || index.column() == Balance;
        return int((figure ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    if (role == Qt::ToolTipRole) {
        if (index.column() == Mail)
            return plainToolTip(mailStateText(mails.value(order.number)));
        if (request && index.column() == Customer)
            return plainToolTip(QStringList({order.customer.name(), order.phone, order.email})
                                    .join(QLatin1Char('\n'))
                                    .trimmed());
        return QVariant();
    }
    if (role != Qt::DisplayRole)
        return QVariant();
    switch (index.column()) {
    case Number:
        return request ? requestNumberText(order.requestNumber) : QString::number(order.number);
    case Status:
        return request ? QStringLiteral("Заявка") : statusCaption(order.status);
    case Due:
        // A request's wish is a day: no time is made up for it.
        return order.due.toString(request ? QStringLiteral("dd.MM.yyyy")
                                          : QStringLiteral("dd.MM.yyyy HH:mm"));
    case Customer:
        return order.customer.name();
    case Phone:
        return order.phone;
    case Total:
        return roubles(order.totalKopecks);
    case Paid:
        return request ? QString() : roubles(order.paidKopecks);
    case Balance:
        return request ? QString() : roubles(order.balanceKopecks());
    case PaymentStateColumn:
        return request ? QString() : paymentStateWord(order.paymentState());
    case Mail:
        return request ? QString() : mailStateText(mails.value(order.number));
    case Source:
        return order.source;
    }
    return QVariant();
}

QVariant OrdersModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char *const captions[ColumnCount]
        = {"№",        "Статус",  "Срок",   "Клиент", "Телефон", "Сумма",
           "Оплачено", "Остаток", "Оплата", "Письмо", "Источник"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(captions[section])
                                                 : QVariant();
}
