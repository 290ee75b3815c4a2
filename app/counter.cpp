// What the window offers at the counter beyond the pages' own rules: the live prices, the
// readable order table with its total and undo, the keys, the alternatives, a window that
// scrolls on a small screen.
#include "app/mainwindow.h"

#include "app/scrolling.h"
#include "form/mainwindow_form.h"
#include "order/order_cells.h"
#include "order/order_total.h"
#include "order/order_undo.h"
#include "order/row_number_header.h"

#include <QLabel>
#include <QTableWidget>

void MainWindow::initCounter()
{
    MainWindowForm *f = form.data();
    setOrderHeaderCaptions(f->tableWidget);
    useRowNumberHeader(f->tableWidget);
    // Under the table, in its left part: the right part stays free for other controls.
    auto *total = new QLabel(f->centralwidget);
    total->setObjectName(QStringLiteral("labelOrderTotal"));
    total->setGeometry(10, 746, 520, 22);
    new OrderTotal(f->tableWidget, total, this);
    orderUndo = new OrderUndo(
        f->tableWidget, [this](int row) { return orderLine(row); },
        [this](int row, const OrderLine &line) { insertOrderLine(row, line); }, this);

    initLivePrices();
    initTakeBack();
    initAlternatives();
    initKeyboard();
    scrollContents(this);
}
