// What the window offers at the counter beyond the pages' own rules: the live prices, the
// readable order table with its total and undo, the keys, the alternatives, a window that
// scrolls on a small screen.
#include "app/mainwindow.h"

#include "app/order_area.h"
#include "app/order_cells.h"
#include "app/order_table.h"
#include "app/order_total.h"
#include "app/row_number_header.h"
#include "app/scrolling.h"
#include "form/mainwindow_form.h"

#include <QLabel>
#include <QTableWidget>

void MainWindow::initCounter()
{
    MainWindowForm *f = form.data();
    setOrderHeaderCaptions(f->tableWidget);
    // Tab goes on to "Очистка" and the documents' buttons; the cells are reached with the arrows.
    f->tableWidget->setTabKeyNavigation(false);
    useRowNumberHeader(f->tableWidget);
    // Under the table, in its left part, wide enough for a discount and the tax: the right part
    // stays free for other controls.
    auto *total = new QLabel(f->centralwidget);
    total->setObjectName(QStringLiteral("labelOrderTotal"));
    total->setGeometry(10, 746, 720, 22);
    tableMirror = std::make_unique<OrderTableMirror>(orderModel.get(), f->tableWidget);
    new OrderTotal(orderModel.get(), total, this);

    initLivePrices();
    initTakeBack();
    initAlternatives();
    initKeyboard();
    initCustomLine();
    scrollContents(this);
    // A larger window than designed gives its room to the order table.
    new OrderArea(f->centralwidget);
}
