// The window's "Смена" before "Заказы": the shift dialog over the shop's database, its rights
// asked and its actions recorded through the window's operators.
#include "app/mainwindow.h"

#include "app/order_storage.h"
#include "dialogs/shift_dialog.h"
#include "storage/database_thread.h"
#include "storage/settings.h"
#include "storage/shift_link.h"
#include "storage/shop_link.h"

#include <QBoxLayout>
#include <QPushButton>

void MainWindow::initShift()
{
    auto *shift = new QPushButton(QStringLiteral("Смена"));
    shift->setObjectName(QStringLiteral("pushButtonShift"));
    shift->setToolTip(QStringLiteral("Смена кассы: размен, внесение и изъятие, X- и Z-отчёты"));
    addWindowButton(shift);
    QWidget *orders = findChild<QWidget *>(QStringLiteral("pushButtonOrders"));
    if (auto *row = qobject_cast<QBoxLayout *>(shift->parentWidget()->layout()); row && orders)
        row->insertWidget(row->indexOf(orders), shift);
    connect(shift, &QPushButton::clicked, this, [this] { showShift(); });
}

ShiftDialog *MainWindow::showShift()
{
    auto *dialog = findChild<ShiftDialog *>(QString(), Qt::FindDirectChildrenOnly);
    if (!dialog) {
        // The link goes with the dialog, its thread ended or let go as the board's is.
        auto *link = new ShiftLink(keeper->shop()->url(), keeper->counter());
        dialog = new ShiftDialog(link, &prompts(), Settings().shopName(), this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(dialog, &QObject::destroyed, this, [link] { endOrLetGo(link); });
        dialog->guard
            = [this](Action action, const QString &what, std::function<void(const QString &)> go) {
                  withRight(action, what, go);
              };
        dialog->record
            = [this](const QString &what, const QString &oldValue, const QString &newValue,
                     const QString &approver) { recordAudit(what, oldValue, newValue, approver); };
        dialog->operatorName = [this] { return signedInOperator(); };
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}
