// The window's "Заказы": the board over the shop's database, with a link of its own made on first
// use; what the board asks of the window (to change an order, its documents) is told by its
// signals.
#include "app/mainwindow.h"
#include "app/operators.h"

#include "app/order_storage.h"
#include "dialogs/order_documents.h"
#include "dialogs/orders_dialog.h"
#include "storage/orders_link.h"
#include "storage/settings.h"
#include "storage/shop_link.h"

#include <QBoxLayout>
#include <QPushButton>

void MainWindow::initOrders()
{
    auto *orders = new QPushButton(QStringLiteral("Заказы"));
    orders->setObjectName(QStringLiteral("pushButtonOrders"));
    orders->setToolTip(QStringLiteral("Принятые заказы: статусы, оплаты, выписка банка"));
    addWindowButton(orders);
    // Just before "Журнал": the two are where the counter looks back at its orders.
    QWidget *journal = findChild<QWidget *>(QStringLiteral("pushButtonJournal"));
    if (auto *row = qobject_cast<QBoxLayout *>(orders->parentWidget()->layout()); row && journal)
        row->insertWidget(row->indexOf(journal), orders);
    connect(orders, &QPushButton::clicked, this, [this] { showOrders(); });
}

OrdersDialog *MainWindow::showOrders()
{
    auto *board = findChild<OrdersDialog *>(QString(), Qt::FindDirectChildrenOnly);
    if (!board) {
        const Settings settings;
        if (!ordersLink) {
            ordersLink = new OrdersLink(
                keeper->shop()->url(), keeper->counter(),
                {settings.shopName(), settings.shopAddress(), settings.shopHours()}, this);
            connect(ordersLink, &OrdersLink::auditSealed, this, [this](const AuditHead &head) {
                if (operatorGate)
                    operatorGate->keepHead(head);
            });
        }
        board = new OrdersDialog(ordersLink, &prompts(), settings.settlementAccount(),
                                 settings.settlementAccountProblem(), this);
        board->setAttribute(Qt::WA_DeleteOnClose);
        board->requestTerms = [] {
            const Settings now;
            RequestTerms terms;
            terms.lowestNumber = now.nextInvoiceNumber();
            terms.hasTax = true;
            terms.tax = now.tax();
            return terms;
        };
        board->guard = rightGuard();
        connect(board, &OrdersDialog::reviseRequested, this, [this](qint64 number) {
            reviseTakenOrder(number);
            raise();
            activateWindow();
        });
        // The board's documents answer in the board's place: a message over it, the PDF opened.
        auto *documents = new OrderDocuments(keeper->shop(), &prompts(), board);
        documents->setOperatorName(
            [this] { return operators() ? operators()->current() : QString(); });
        connect(board, &OrdersDialog::ticketRequested, documents, &OrderDocuments::writeTicketPdf);
        connect(board, &OrdersDialog::actRequested, documents, &OrderDocuments::writeActPdf);
        connect(board, &OrdersDialog::mailQueued, this, &MainWindow::mailQueued);
    }
    board->show();
    board->raise();
    board->activateWindow();
    return board;
}
