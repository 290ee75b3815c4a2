// The counter's own orders in its local SQLite file: the order being built, changed line by line
// as the table changes, and orders that wait for an invoice number while the shop is unreachable.
#pragma once

#include "storage/records.h"

#include <QPair>
#include <QSqlQuery>
#include <QString>
#include <QVector>

class Connection;

// One line as it stands in the table: a stable id, its row and its texts.
struct LineWrite
{
    int id = 0;
    int position = 0;
    OrderLine line;
};

struct OrderStateChange
{
    QString uid;
    OrderState state = OrderState::Open;
    qint64 invoiceNumber = 0;
};

// What changed in an order since the last store, applied in one transaction.
struct OrderChange
{
    QString uid;
    QString counter;
    QDateTime at;
    QString templatePath;
    bool create = false; // the order is new: its row is made first
    bool clearLines = false; // every line goes before the writes
    QVector<LineWrite> writes; // new or changed lines
    QVector<int> removals; // ids of lines taken out
    QVector<QPair<int, int>> positions; // (id, row) of lines that moved
    QVector<OrderStateChange> states; // this or other orders finished
    QVector<QPair<QString, DocumentRecord>> documents; // made for an order without a number
    bool setCustomer = false; // the order's customer is written (always with a new order)
    Customer customer;

    bool isEmpty() const
    {
        return !create && !clearLines && writes.isEmpty() && removals.isEmpty()
            && positions.isEmpty() && states.isEmpty() && documents.isEmpty() && !setCustomer;
    }
};

class OrderStore
{
public:
    explicit OrderStore(Connection &connection);

    bool apply(const OrderChange &change);
    // Open orders of this counter with at least one line, newest first, without their lines.
    QVector<StoredOrder> unfinished(const QString &counter, const QStringList &except,
                                    bool *ok = nullptr);
    // One order with its lines in their rows, and its documents.
    bool load(const QString &uid, StoredOrder *order);
    // Orders that made a document while the shop was unreachable, oldest first, with lines.
    QVector<StoredOrder> waiting(bool *ok = nullptr);

private:
    Connection &connection;
    QSqlQuery upsertLine;
    QSqlQuery deleteLine;
    QSqlQuery moveLine;
    QSqlQuery touchOrder;
    bool prepared = false;
    bool prepare();
};
