// The payment's fields and their checks before anything is sent.
#include "dialogs/payment_dialog.h"

#include "order/money.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

PaymentDialog::PaymentDialog(qint64 number, qint64 balanceKopecks, QWidget *parent)
    : QDialog(parent)
    , orderNumber(number)
{
    setObjectName(QStringLiteral("PaymentDialog"));
    setWindowTitle(QStringLiteral("Оплата заказа № %1").arg(number));
    amount = new QLineEdit(this);
    amount->setObjectName(QStringLiteral("lineEditPaymentAmount"));
    amount->setPlaceholderText(QStringLiteral("1 200,50; возврат с минусом: -300"));
    if (balanceKopecks > 0)
        amount->setText(moneyNumber(double(balanceKopecks) / 100.0));
    amount->selectAll();
    method = new QComboBox(this);
    method->setObjectName(QStringLiteral("comboBoxPaymentMethod"));
    for (PaymentMethod each : {PaymentMethod::Cash, PaymentMethod::Card, PaymentMethod::Transfer})
        method->addItem(paymentMethodWord(each), int(each));
    reason = new QLineEdit(this);
    reason->setObjectName(QStringLiteral("lineEditPaymentReason"));
    reason->setPlaceholderText(QStringLiteral("для возврата обязательно"));
    problem = new QLabel(this);
    problem->setObjectName(QStringLiteral("labelPaymentProblem"));
    problem->setStyleSheet(QStringLiteral("QLabel { color: #b00000; }"));
    problem->setWordWrap(true);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Остаток:"),
                 new QLabel(moneyText(double(balanceKopecks) / 100.0), this));
    form->addRow(QStringLiteral("Сумма:"), amount);
    form->addRow(QStringLiteral("Способ:"), method);
    form->addRow(QStringLiteral("Основание:"), reason);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Принять"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    connect(buttons, &QDialogButtonBox::accepted, this, &PaymentDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(problem);
    layout->addWidget(buttons);
    amount->setFocus();
}

void PaymentDialog::accept()
{
    qint64 kopecks = 0;
    if (!readKopecks(amount->text(), &kopecks) || kopecks == 0) {
        problem->setText(QStringLiteral("Сумма — число с двумя знаками после запятой, не ноль: "
                                        "«1 200,50», для возврата «-300»."));
        amount->setFocus();
        return;
    }
    if (kopecks < 0 && reason->text().trimmed().isEmpty()) {
        problem->setText(QStringLiteral("Возврат требует причины."));
        reason->setFocus();
        return;
    }
    taken = Payment();
    taken.kopecks = kopecks;
    taken.method = PaymentMethod(method->currentData().toInt());
    taken.reason = reason->text().trimmed();
    QDialog::accept();
}
