// "Принять заказ": who the order is for (the customer chosen in the window, a walk-in's name and
// phone, or nobody), when it is promised, the prepayment and its method, and a note for
// production. Enter accepts from every field but the note; an impossible prepayment is refused
// and a promise already past asked about before the dialog closes.
#pragma once

#include "customers/customer.h"
#include "order/order_status.h"

#include <QDateTime>
#include <QDialog>
#include <QElapsedTimer>
#include <QScopedPointer>
#include <QVector>

namespace Ui {
class AcceptOrderDialog;
}
class Prompts;

// What the dialog starts from.
struct AcceptOrderSetup
{
    Customer chosen; // the window's customer; null when none is chosen
    int lineCount = 0;
    qint64 totalKopecks = 0;
    QDateTime now; // the default promise is counted from it
    QVector<int> workingDays {1, 2, 3, 4, 5};
    int dueHour = 12;
    // A taken order being changed: its number, its promise and note as stored, what was paid.
    qint64 revising = 0;
    QDateTime due;
    QString note;
    qint64 paidKopecks = 0;
};

// What the operator accepted.
struct AcceptedOrder
{
    Customer customer; // null: nobody; a walk-in has a name and a phone but no card (id 0)
    QString phone;
    QDateTime due;
    qint64 prepaymentKopecks = 0;
    PaymentMethod prepaymentMethod = PaymentMethod::Cash;
    QString note;
};

class AcceptOrderDialog : public QDialog
{
    Q_OBJECT

public:
    AcceptOrderDialog(const AcceptOrderSetup &setup, Prompts &prompts, QWidget *parent);
    ~AcceptOrderDialog() override;

    AcceptedOrder accepted() const;
    // Checks what was entered and closes with Accepted, or says what is wrong and stays.
    void accept() override;

private:
    void chooseWalkIn();
    // The setup's moment moved on by the time the dialog has been open.
    QDateTime now() const;

    const QScopedPointer<Ui::AcceptOrderDialog> ui;
    AcceptOrderSetup setup;
    Prompts &prompts;
    QElapsedTimer shown;
};
