// The order table's row numbers. Qt measures up to two hundred numbers to size the column each
// time a line is appended, which is most of an "Ответ" press at a long order; the widest number
// is the last one, so measuring the first and the last gives the same width.
#pragma once

#include <QHeaderView>

class QTableView;

class RowNumberHeader : public QHeaderView
{
public:
    explicit RowNumberHeader(QWidget *parent = nullptr);
    QSize sizeHint() const override;
};

// Puts the row-number header on the table, as clickable and highlighted as the standard one.
void useRowNumberHeader(QTableView *table);
