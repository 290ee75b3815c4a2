// Undo of removals and clearing.
#include "order/order_undo.h"

#include <QTableWidget>

OrderUndo::OrderUndo(QTableWidget *table, ReadLine read, PutBack putBack, QObject *parent)
    : QObject(parent)
    , table(table)
    , read(std::move(read))
    , putBack(std::move(putBack))
{
    QAbstractItemModel *model = table->model();
    // "Очистка" deletes the cells first (a model reset), then drops the emptied rows.
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { take(0, this->table->rowCount() - 1); });
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex &, int first, int last) { take(first, last); });
}

void OrderUndo::beginStep()
{
    stepOpen = true;
    stepStarted = false;
}

void OrderUndo::endStep()
{
    stepOpen = false;
}

void OrderUndo::take(int first, int last)
{
    Block block {first, {}};
    bool anyCell = false;
    for (int row = first; row <= last; ++row) {
        for (int column = 0; column < table->columnCount() && !anyCell; ++column)
            anyCell = table->item(row, column) != nullptr;
        block.lines.append(read(row));
    }
    // Rows already emptied by a reset were taken with it.
    if (!anyCell)
        return;
    if (stepOpen && stepStarted) {
        taken.last().append(block);
        return;
    }
    stepStarted = true;
    taken.append({block});
    if (taken.size() > MaxSteps)
        taken.removeFirst();
}

int OrderUndo::undo()
{
    if (taken.isEmpty())
        return -1;
    const Step step = taken.takeLast();
    // Blocks go back in the reverse of the order they were taken in, so each row number means
    // the table as it was when its block left.
    int first = table->rowCount();
    for (auto block = step.crbegin(); block != step.crend(); ++block) {
        int row = qBound(0, block->row, table->rowCount());
        first = qMin(first, row);
        for (const OrderLine &line : block->lines)
            putBack(row++, line);
    }
    return first;
}
