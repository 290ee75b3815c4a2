// "Своя строка": a line typed by hand, for work the price list does not price (design, engraving,
// a job agreed with the customer). The description, the quantity and the price go into the order
// as typed (the price with a decimal point); Enter adds the line.
#pragma once

#include "order/order_line.h"

#include <QDialog>
#include <QScopedPointer>
#include <QStringList>
#include <QVector>

#include <functional>

class QLineEdit;

namespace Ui {
class CustomLineDialog;
}

class CustomLineDialog : public QDialog
{
public:
    // prefix: what the page in front has chosen (the engraving and design pages), put before
    // the description; add: called with each line the operator adds. services: the services
    // ticked on the page, each proposed as a line of its own with its own price to type.
    CustomLineDialog(const QString &prefix, std::function<void(const OrderLine &)> add,
                     QWidget *parent, const QStringList &services = QStringList());
    ~CustomLineDialog() override;

    // The line the fields give, or an empty description with the reason in problem.
    static OrderLine lineFrom(const QString &prefix, const QString &description,
                              const QString &quantity, const QString &price, QString *problem);

private:
    struct ServiceRow
    {
        QString service;
        QLineEdit *quantity = nullptr;
        QLineEdit *price = nullptr;
    };

    void addLine();
    void addServiceLines();
    void showServices(const QStringList &services);
    void tell(const QString &problem);

    const QScopedPointer<Ui::CustomLineDialog> ui;
    QString prefix;
    std::function<void(const OrderLine &)> add;
    QVector<ServiceRow> serviceRows;
};
