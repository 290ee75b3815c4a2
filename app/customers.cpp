// The window's customers: the field in the order area, its card button, "Клиенты" beside
// "Журнал", and the cards, each a child of the window.
#include "app/mainwindow.h"

#include "app/customer_field.h"
#include "app/operators.h"
#include "app/order_storage.h"
#include "customers/typed_customer.h"
#include "dialogs/customer_card_dialog.h"
#include "dialogs/customers_dialog.h"
#include "form/mainwindow_form.h"
#include "order/order.h"
#include "storage/settings.h"

#ifdef PRINTCALC_HAVE_OFFICE
#include "office/customer_sheets.h"
#include "office/office_pool.h"
#include "office/office_session.h"
#endif

#include <QPushButton>

void MainWindow::initCustomers()
{
    customerField = new CustomerField(orderModel.get(), keeper->shop(), form->lineEditCustomer,
                                      form->labelCustomer, this);
    connect(form->pushButtonCustomer, &QPushButton::clicked, this, [this] {
        const QString typed = customerField->typed();
        const Customer &chosen = orderModel->customer();
        openCustomerCard(typed.isEmpty() && !chosen.isNull() ? chosen : customerFromTyped(typed));
    });
    auto *customers = new QPushButton(QStringLiteral("Клиенты"));
    customers->setObjectName(QStringLiteral("pushButtonCustomers"));
    customers->setToolTip(QStringLiteral("Все клиенты: поиск, карточки, объединение двойников"));
    addWindowButton(customers);
    connect(customers, &QPushButton::clicked, this, [this] { showCustomers(); });
}

CustomerCardDialog *MainWindow::openCustomerCard(const Customer &customer)
{
    if (customer.id > 0) {
        for (CustomerCardDialog *open :
             findChildren<CustomerCardDialog *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (open->stored().id == customer.id) {
                open->show();
                open->raise();
                open->activateWindow();
                return open;
            }
        }
    }
    auto *card = new CustomerCardDialog(
        orderModel.get(), [this] { return prices(); }, keeper->shop(), this);
    card->setAttribute(Qt::WA_DeleteOnClose);
    card->guard = rightGuard();
    card->discountCapHundredths = Settings().discountCap() * 100;
    // A list open beside it shows what the card stored.
    connect(card, &CustomerCardDialog::customerStored, this, [this] {
        if (auto *list = findChild<CustomersDialog *>(QString(), Qt::FindDirectChildrenOnly))
            list->search();
    });
    card->showCustomer(customer);
    card->show();
    card->raise();
    card->activateWindow();
    return card;
}

CustomersDialog *MainWindow::showCustomers()
{
    auto *list = findChild<CustomersDialog *>(QString(), Qt::FindDirectChildrenOnly);
    if (!list) {
        list = new CustomersDialog(
            keeper->shop(), [this](const Customer &customer) { openCustomerCard(customer); }, this);
        list->setAttribute(Qt::WA_DeleteOnClose);
#ifdef PRINTCALC_HAVE_OFFICE
        // Workbooks through the window's office, on its threads.
        list->readSheet = [](const QString &path, CustomerFileRead *read, QString *error) {
            return readCustomerSheet(OfficeSession::shared(), path, read, error);
        };
        list->writeSheet
            = [](const QString &path, const QVector<Customer> &customers, QString *error) {
                  return writeCustomerSheet(OfficeSession::shared(), path, customers, error);
              };
        list->sheetPool = officePool();
#endif
        list->guard = rightGuard();
        list->discountCapHundredths = Settings().discountCap() * 100;
        // The order named the one merged away: it is for the one kept now.
        connect(list, &CustomersDialog::merged, this, [this](const Customer &kept, qint64 gone) {
            if (orderModel->customer().id == gone)
                orderModel->setCustomer(kept);
        });
    }
    list->show();
    list->raise();
    list->activateWindow();
    return list;
}

RightGuard MainWindow::rightGuard()
{
    return [this](Action action, const QString &what, std::function<void(const AuditRecord &)> go) {
        withRight(action, what, [this, action, what, go](const QString &approver) {
            go(operatorGate ? operatorGate->note(actionCaption(action), QString(), what, approver)
                            : AuditRecord());
        });
    };
}
