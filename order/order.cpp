// The order's lines, their edits and their undo.
#include "order/order.h"

#include <algorithm>
#include <functional>

namespace {

bool isBlank(const OrderLine &line)
{
    return line.description.isEmpty() && line.quantity.isEmpty() && line.unitPrice.isEmpty()
        && line.keyText.isEmpty() && line.titles.isEmpty() && !line.removalMarker;
}

} // namespace

Order::Order(QObject *parent)
    : QObject(parent)
{ }

void Order::setCustomer(const Customer &customer)
{
    if (customer == orderCustomer)
        return;
    orderCustomer = customer;
    emit customerChanged();
}

void Order::insert(int row, const OrderLine &line)
{
    insert(row, QVector<OrderLine> {line});
}

void Order::insert(int row, const QVector<OrderLine> &lines)
{
    if (lines.isEmpty())
        return;
    row = qBound(0, row, int(entries.size()));
    QVector<OrderLine> added = lines;
    for (OrderLine &line : added)
        line.settleNumbers();
    if (row == entries.size()) {
        entries.append(added);
    } else {
        entries.insert(row, added.size(), OrderLine());
        std::copy(added.cbegin(), added.cend(), entries.begin() + row);
    }
    emit linesInserted(row, row + int(added.size()) - 1);
}

void Order::setText(int row, OrderLine::Column column, const QString &text)
{
    if (row < 0 || row >= entries.size())
        return;
    OrderLine &line = entries[row];
    if (line.text(column) == text && column != OrderLine::Marker)
        return;
    // A price the list gave, typed over: the list's stays beside it, the first one only.
    if (column == OrderLine::UnitPrice && !line.job.isEmpty() && !line.unitPrice.isEmpty()
        && listPriceOf(line).isEmpty())
        line.explanation += (line.explanation.isEmpty() ? QString() : QStringLiteral("\n"))
            + typedPriceNote(line.unitPrice);
    line.setText(column, text);
    emit lineChanged(row, column);
}

void Order::remove(int row, int count)
{
    if (row < 0 || count <= 0 || row >= entries.size())
        return;
    count = qMin(count, int(entries.size()) - row);
    QVector<OrderLine> gone;
    gone.reserve(count);
    for (int i = row; i < row + count; ++i)
        gone.append(entries.at(i));
    remember(row, gone);
    entries.remove(row, count);
    emit linesRemoved(row, row + count - 1);
}

void Order::removeRows(QVector<int> rows)
{
    // From the bottom up, so that each row number still means the line it meant.
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    beginStep();
    for (int row : qAsConst(rows))
        remove(row);
    endStep();
}

void Order::clear()
{
    if (entries.isEmpty())
        return;
    remember(0, entries);
    entries.clear();
    emit cleared();
}

void Order::beginStep()
{
    stepOpen = true;
    stepStarted = false;
}

void Order::endStep()
{
    stepOpen = false;
}

void Order::remember(int row, QVector<OrderLine> lines)
{
    // Rows that never held anything (a table's rows before their cells came) are not worth a step.
    if (std::all_of(lines.cbegin(), lines.cend(), isBlank))
        return;
    const Block block {row, std::move(lines)};
    if (stepOpen && stepStarted) {
        taken.last().append(block);
        return;
    }
    stepStarted = true;
    taken.append({block});
    if (taken.size() > MaxUndoSteps)
        taken.removeFirst();
}

int Order::undo()
{
    if (taken.isEmpty())
        return -1;
    const Step step = taken.takeLast();
    // Blocks go back in the reverse of the order they were taken in, so each row number means
    // the order as it was when its block left.
    int first = entries.size();
    for (auto block = step.crbegin(); block != step.crend(); ++block) {
        const int row = qBound(0, block->row, int(entries.size()));
        first = qMin(first, row);
        insert(row, block->lines);
    }
    return first;
}
