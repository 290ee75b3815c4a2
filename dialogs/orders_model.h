// The orders board's table: one row per taken order as the board lists it (the website's waiting
// requests first, as "Заявка"), the overdue ones in red; and the board's views, each a query of
// the order book.
#pragma once

#include "storage/orders_link.h"

#include <QAbstractTableModel>
#include <QDateTime>

enum class BoardView { Open, HandOverToday, Overdue, Ready, InWork, Unpaid, All };

// "Открытые", "К выдаче сегодня", "Просрочены", "Готовы", "В работе", "Не оплачены", "Все".
QString boardViewCaption(BoardView view);
constexpr BoardView BoardViews[]
    = {BoardView::Open,   BoardView::HandOverToday, BoardView::Overdue, BoardView::Ready,
       BoardView::InWork, BoardView::Unpaid,        BoardView::All};
// The view's orders with the text searched (number, customer, phone, words of the lines).
OrderQuery boardQuery(BoardView view, const QString &text, const QDateTime &now);
// Whether the view, without a search, shows the listed order (or request) at now (best given
// as boardTime): the rules of boardQuery's list, for a view narrowed from a list already read.
bool boardViewShows(BoardView view, const TakenOrder &order, const QDateTime &now);
// The time at its offset from UTC, as the listed due times are: thousands of them are compared
// with it without a time-zone lookup each.
QDateTime boardTime(const QDateTime &time);
// Every order (and request) the view shows is in the list of within, so it can be filtered from
// that list instead of read again.
bool boardViewWithin(BoardView view, BoardView within);
// A tooltip that shows the text as typed, whatever markup it holds (texts from the website, a
// server's answer).
QString plainToolTip(const QString &text);

class OrdersModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        Number,
        Status,
        Due,
        Customer,
        Phone,
        Total,
        Paid,
        Balance,
        PaymentStateColumn,
        Mail,
        Source,
        ColumnCount
    };

    explicit OrdersModel(QObject *parent = nullptr);

    // The rows as listed, overdue counted against now.
    void setOrders(const BoardList &list, const QDateTime &now);
    const TakenOrder &order(int row) const { return orders.at(row); }
    int rowOf(qint64 number) const;
    int rowOfRequest(qint64 request) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QVector<TakenOrder> orders;
    QHash<qint64, QueuedMail> mails;
    QHash<qint64, int> rows;
    QHash<qint64, int> requestRows;
    QDateTime now;
};
