// Construction and wiring of the window; the slots themselves live with their pages.
#include "app/mainwindow.h"

#include "app/document_actions.h"
#include "app/guide_opener.h"
#include "app/order_storage.h"
#include "app/order_table.h"
#include "app/order_taking.h"
#include "dialogs/prompts.h"
#include "form/mainwindow_form.h"
#include "order/order.h"

#include <QHBoxLayout>
#include <QMessageBox>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

namespace {

// The window buttons' corner never takes the tabs' room: a label in it gives up what is short.
class WindowCorner : public QWidget
{
public:
    using QWidget::QWidget;
    QSize sizeHint() const override
    {
        QSize hint = QWidget::sizeHint();
        const auto *tabs = qobject_cast<const QTabWidget *>(parentWidget());
        const QTabBar *bar = tabs ? tabs->findChild<QTabBar *>() : nullptr;
        if (bar)
            hint.setWidth(qMax(minimumSizeHint().width(),
                               qMin(hint.width(), tabs->width() - bar->sizeHint().width() - 2)));
        return hint;
    }
};

} // namespace

// The pictures are compiled into the static library; without a reference from code that is
// linked, their registration would be dropped by the linker.
static void registerResources()
{
    Q_INIT_RESOURCE(images);
}

MainWindow::MainWindow(QWidget *parent, Prompts *prompts, DocumentServices *documents)
    : QMainWindow(parent)
    , ownPrompts(prompts ? nullptr : std::make_unique<MessageBoxes>(this))
    , prompter(prompts ? prompts : ownPrompts.get())
    , form(new MainWindowForm)
    , orderModel(std::make_unique<Order>())
{
    registerResources();
    galleryWidgets.clear();
    pocketFields.clear();
    form->setupForm(this);
    initPricingPages();
    fillPriceTable();

    page1_1_init();
    page1_2_init();
    page2_1_init();
    page2_2_init();
    page3_1_init();
    page3_2_init();
    initPriceVersions();

    // Signatures stay in Qt's normalized spelling.
    // clang-format off
    connect(form->tableWidget, SIGNAL(cellClicked(int,int)), this, SLOT(slotCellClicked(int,int)));
    // clang-format on
    connect(form->pushButton_4, SIGNAL(clicked()), this, SLOT(clearTable()));
    connect(form->pushButton_6, SIGNAL(clicked()), this, SLOT(exportToExcel()));
    exportInit();

    // At the counter: live prices, the total and undo, keys, alternatives, scrolling.
    initCounter();

    initOrderStorage();
    // "Заказы" beside "Журнал" (app/orders.cpp).
    initOrders();
    // "Смена" before "Заказы" (app/shift.cpp).
    initShift();
    // The order's customer, "Клиенты" beside "Журнал" (app/customers.cpp).
    initCustomers();
    // "PDF", "Печать" and "Настройки" (app/document_actions.cpp).
    new DocumentActions(this, documents);
    // "Принять заказ" and a taken order changed in the window (app/order_taking.cpp).
    taking = new OrderTaking(this);
    // Who works at the counter, once the shop has operators (app/operators.cpp).
    initOperators();
    initReports();
    // "Справка" and F1: the staff's guide (app/guide_opener.cpp). Its button takes the height the
    // empty status bar has, so that the window keeps its designed size.
    QToolButton *guide = (new GuideOpener(this, *prompter))->button();
    guide->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
    statusBar()->addPermanentWidget(guide);
}

MainWindow::~MainWindow() = default;

void MainWindow::fillPriceTable()
{
    // The program checks the built-in list once at start; a window always has a version to price
    // with, before any page is built.
    pricesInForce.update();
}

double MainWindow::lookupPrice(const QString &key) const
{
    return prices().price(key);
}

void MainWindow::addWindowButton(QWidget *button)
{
    QWidget *corner = form->tabWidget->cornerWidget(Qt::TopRightCorner);
    if (!corner) {
        corner = new WindowCorner(form->tabWidget);
        auto *layout = new QHBoxLayout(corner);
        layout->setContentsMargins(0, 0, 2, 2);
        layout->setSpacing(4);
        form->tabWidget->setCornerWidget(corner, Qt::TopRightCorner);
    }
    corner->layout()->addWidget(button);
    corner->show();
}
