// Brings back what removals and "Очистка" took from the order table, the latest first, each line
// at its old place with the job and the explanation it carried. It watches the table's model, so
// a removal is remembered whichever way it was made.
#pragma once

#include "order/order_line.h"

#include <QObject>
#include <QVector>

#include <functional>

class QTableWidget;

class OrderUndo : public QObject
{
public:
    using ReadLine = std::function<OrderLine(int row)>;
    using PutBack = std::function<void(int row, const OrderLine &line)>;

    // How many steps are kept; older ones are forgotten.
    static constexpr int MaxSteps = 100;

    OrderUndo(QTableWidget *table, ReadLine read, PutBack putBack, QObject *parent);

    // Removals between the two calls come back as one step (several selected lines deleted).
    void beginStep();
    void endStep();

    // Puts back what the latest step took; the first row put back, or -1 when nothing is left
    // to bring back.
    int undo();
    int steps() const { return taken.size(); }

private:
    // Lines taken at once: the first one's row and the lines in order.
    struct Block
    {
        int row = 0;
        QVector<OrderLine> lines;
    };
    using Step = QVector<Block>;

    void take(int first, int last);

    QTableWidget *table;
    ReadLine read;
    PutBack putBack;
    QVector<Step> taken;
    bool stepOpen = false;
    bool stepStarted = false;
};
