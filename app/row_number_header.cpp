#include "app/row_number_header.h"

#include <QTableView>

RowNumberHeader::RowNumberHeader(QWidget *parent)
    : QHeaderView(Qt::Vertical, parent)
{ }

QSize RowNumberHeader::sizeHint() const
{
    if (count() == 0 || isHidden())
        return QHeaderView::sizeHint();
    const QSize first = sectionSizeFromContents(logicalIndex(0));
    const QSize last = sectionSizeFromContents(logicalIndex(count() - 1));
    return first.expandedTo(last);
}

void useRowNumberHeader(QTableView *table)
{
    const QHeaderView *standard = table->verticalHeader();
    auto *header = new RowNumberHeader(table);
    header->setSectionsClickable(standard->sectionsClickable());
    header->setHighlightSections(standard->highlightSections());
    header->setDefaultSectionSize(standard->defaultSectionSize());
    header->setMinimumSectionSize(standard->minimumSectionSize());
    header->setVisible(!standard->isHidden());
    table->setVerticalHeader(header);
}
