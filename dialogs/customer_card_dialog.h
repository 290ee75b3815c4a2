// A customer's card: every field with its mistakes told at the field, saved through the shop's
// link (a duplicate offered for opening instead), the customer's invoices newest first with
// "Повторить", "Удалить персональные данные" for a private person, and "Выбрать" that makes the
// card the order's customer.
#pragma once

#include "customers/requisites.h"
#include "operators/rights.h"
#include "prices/price_table.h"
#include "storage/customer_store.h"

#include <QDialog>
#include <QHash>
#include <QScopedPointer>
#include <QSet>

#include <functional>

namespace Ui {
class CustomerCardDialog;
}
class Order;
class ShopLink;
class QLabel;
class QLineEdit;

class CustomerCardDialog : public QDialog
{
    Q_OBJECT

public:
    // The order "Выбрать" and "Повторить" go to, the prices a repeat is priced at, the shop.
    CustomerCardDialog(Order *order, std::function<PriceTable()> pricesInForce, ShopLink *shop,
                       QWidget *parent);
    ~CustomerCardDialog() override;

    // A new card with these fields (id 0), or the stored one read again from the shop.
    void showCustomer(const Customer &customer);
    // The card as its fields hold it now.
    Customer edited() const;
    // Its mistakes, in the order of the fields: the discount as typed and customerProblems.
    QVector<CustomerProblem> problems() const;
    // The customer last read from the shop or saved (id 0 while new).
    const Customer &stored() const { return current; }
    const QVector<CustomerInvoice> &invoices() const { return history; }

    // "Сохранить": refused, every mistake shown, while there is one; then is called once saved.
    void save(std::function<void()> then = {});
    // "Выбрать": saved first if new or changed, then the order's customer.
    void choose();
    void repeatSelected();
    void clearPersonalData();
    // The card stored as it is, its checks passed; with the right's record, when one was used.
    void store(std::function<void()> then, const AuditRecord &record = AuditRecord());

    // Questions to the operator (a duplicate to open, personal data to delete); the tests answer
    // them instead of a message box.
    std::function<bool(const QString &question)> confirm;
    // Asked before an action that needs a right (the window's operators): calls go when it may
    // be done, at once or once approved; never when refused. Unset, everything goes on at once.
    RightGuard guard;
    // A discount above this (hundredths of a percent) asks the guard; below zero: no cap.
    int discountCapHundredths = -1;

signals:
    // Saved, merged away, or its personal data deleted: lists of customers read again.
    void customerStored(qint64 id);

private:
    void fill(const Customer &customer);
    void showInvoices(const QVector<CustomerInvoice> &invoices);
    void showProblems(bool all);
    void followKind();
    void setStatus(const QString &text, bool bad = false);
    QLineEdit *fieldOf(const QString &caption) const;
    QLabel *problemLabelOf(QLineEdit *edit) const;

    const QScopedPointer<Ui::CustomerCardDialog> ui;
    Order *order;
    std::function<PriceTable()> pricesInForce;
    ShopLink *shop;
    Customer current;
    QVector<CustomerInvoice> history;
    QHash<QLineEdit *, QLabel *> problemLabels;
    QSet<QLineEdit *> touched; // their mistakes are shown while typed
    bool filling = false;
    int loadSerial = 0;
};
