// The order on the counter: its lines with the numbers their sums are made of, its identity, and
// what removals and "Очистка" took, to bring back. The window's table, the keeper, the total and
// the documents all follow this one object; none of them reads the table's cells.
#pragma once

#include "customers/customer.h"
#include "order/money.h"
#include "order/order_line.h"

#include <QObject>
#include <QString>
#include <QVector>

class Order : public QObject
{
    Q_OBJECT

public:
    // How many undo steps are kept; older ones are forgotten.
    static constexpr int MaxUndoSteps = 100;

    explicit Order(QObject *parent = nullptr);

    int size() const { return entries.size(); }
    bool isEmpty() const { return entries.isEmpty(); }
    const OrderLine &line(int row) const { return entries.at(row); }
    const QVector<OrderLine> &lines() const { return entries; }
    OrderTotals totals() const { return orderTotals(entries); }

    // A line put in at a row (clamped to the order); its numbers are read from its texts unless
    // it carries them (a quote's line does).
    void insert(int row, const OrderLine &line);
    void append(const OrderLine &line) { insert(size(), line); }
    // Several lines at once, one signal: a restore or a journal's lines put into the order.
    void insert(int row, const QVector<OrderLine> &lines);
    // A cell's text typed over: the text is kept as typed, its reading becomes the line's number.
    void setText(int row, OrderLine::Column column, const QString &text);
    // Removals are remembered for undo; rows removed between beginStep and endStep come back as
    // one step.
    void remove(int row, int count = 1);
    void removeRows(QVector<int> rows);
    void clear();
    void beginStep();
    void endStep();
    // Puts back what the latest step took, each line at its old place; the first row put back,
    // or -1 when there is nothing to bring back.
    int undo();
    int undoSteps() const { return taken.size(); }

    // Who the order is: its uid once stored, its invoice number once it has one (0 before).
    QString uid() const { return orderUid; }
    void setUid(const QString &uid) { orderUid = uid; }
    qint64 number() const { return invoiceNumber; }
    void setNumber(qint64 number) { invoiceNumber = number; }
    // Who the order is for; a null customer when nobody is named.
    const Customer &customer() const { return orderCustomer; }
    void setCustomer(const Customer &customer);

signals:
    void linesInserted(int first, int last);
    void linesRemoved(int first, int last);
    void lineChanged(int row, int column);
    // Every line gone at once ("Очистка"); no linesRemoved is sent for them.
    void cleared();
    void customerChanged();

private:
    // Lines taken at once: the first one's row and the lines in order.
    struct Block
    {
        int row = 0;
        QVector<OrderLine> lines;
    };
    using Step = QVector<Block>;

    void remember(int row, QVector<OrderLine> lines);

    QVector<OrderLine> entries;
    QVector<Step> taken;
    bool stepOpen = false;
    bool stepStarted = false;
    QString orderUid;
    qint64 invoiceNumber = 0;
    Customer orderCustomer;
};
