// The order table as a mirror of the order: every line the order gains, loses or changes is
// shown in the table's cells, and what the operator types into a cell (or a row the table gains
// or loses some other way) goes to the order. Nothing else reads the cells.
#pragma once

#include <QObject>

class Order;
class QTableWidget;

class OrderTableMirror : public QObject
{
public:
    OrderTableMirror(Order *order, QTableWidget *table, QObject *parent = nullptr);
    ~OrderTableMirror() override;

private:
    // The order to the table.
    void showInserted(int first, int last);
    void showRemoved(int first, int last);
    void showChanged(int row, int column);
    void showCleared();
    // The table to the order: cells typed over, rows put in or taken out from outside.
    void takeInserted(int first, int last);
    void takeRemoved(int first, int last);
    void takeChanged(int firstRow, int lastRow, int firstColumn, int lastColumn);
    void takeReset();

    Order *order;
    QTableWidget *table;
    // Set while one side follows the other, so that the change does not come back.
    bool following = false;
};
