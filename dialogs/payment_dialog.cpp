// The payment's fields and their checks before anything is sent.
#include "dialogs/payment_dialog.h"

#include "order/money.h"

#include "ui_payment_dialog.h"

#include <QPushButton>

PaymentDialog::PaymentDialog(qint64 number, qint64 balanceKopecks, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::PaymentDialog)
    , orderNumber(number)
{
    ui->setupUi(this);
    setWindowTitle(windowTitle().arg(number));
    ui->labelPaymentBalance->setText(moneyText(double(balanceKopecks) / 100.0));
    if (balanceKopecks > 0)
        ui->lineEditPaymentAmount->setText(moneyNumber(double(balanceKopecks) / 100.0));
    ui->lineEditPaymentAmount->selectAll();
    for (PaymentMethod each : {PaymentMethod::Cash, PaymentMethod::Card, PaymentMethod::Transfer})
        ui->comboBoxPaymentMethod->addItem(paymentMethodWord(each), int(each));
    QPushButton *ok = ui->buttonBoxPayment->button(QDialogButtonBox::Ok);
    ok->setText(QStringLiteral("Принять"));
    ok->setDefault(true);
    ui->buttonBoxPayment->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    connect(ui->buttonBoxPayment, &QDialogButtonBox::accepted, this, &PaymentDialog::accept);
    connect(ui->buttonBoxPayment, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // The form's size is only the designer's canvas: the dialog is as large as its fields need.
    adjustSize();
    ui->lineEditPaymentAmount->setFocus();
}

PaymentDialog::~PaymentDialog() = default;

void PaymentDialog::accept()
{
    qint64 kopecks = 0;
    if (!readKopecks(ui->lineEditPaymentAmount->text(), &kopecks) || kopecks == 0) {
        ui->labelPaymentProblem->setText(
            QStringLiteral("Сумма — число с двумя знаками после запятой, не ноль: "
                           "«1 200,50», для возврата «-300»."));
        ui->lineEditPaymentAmount->setFocus();
        return;
    }
    const QString reason = ui->lineEditPaymentReason->text().trimmed();
    if (kopecks < 0 && reason.isEmpty()) {
        ui->labelPaymentProblem->setText(QStringLiteral("Возврат требует причины."));
        ui->lineEditPaymentReason->setFocus();
        return;
    }
    taken = Payment();
    taken.kopecks = kopecks;
    taken.method = PaymentMethod(ui->comboBoxPaymentMethod->currentData().toInt());
    taken.reason = reason;
    QDialog::accept();
}
