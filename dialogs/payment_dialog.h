// A payment for an order: the amount as typed ("1 200,50"; with a minus, a refund, which needs
// its reason), the method. Accepting hands the payment over; nothing is stored here.
#pragma once

#include "order/order_status.h"

#include <QDialog>
#include <QScopedPointer>

namespace Ui {
class PaymentDialog;
}

class PaymentDialog : public QDialog
{
    Q_OBJECT

public:
    // The order's number and what is left to pay, offered as the amount when above zero.
    PaymentDialog(qint64 number, qint64 balanceKopecks, QWidget *parent);
    ~PaymentDialog() override;

    qint64 number() const { return orderNumber; }
    // Valid after accepted().
    Payment payment() const { return taken; }
    void accept() override;

private:
    const QScopedPointer<Ui::PaymentDialog> ui;
    qint64 orderNumber;
    Payment taken;
};
