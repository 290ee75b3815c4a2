// The dialog's defaults, its checks and what it hands back.
#include "dialogs/accept_order_dialog.h"

#include "dialogs/prompts.h"
#include "order/money.h"

#include "ui_accept_order_dialog.h"

#include <QPushButton>

namespace {

const QString Title = QStringLiteral("Принять заказ");

QString linesText(int count)
{
    const int lastTwo = count % 100;
    const int last = count % 10;
    if (lastTwo >= 11 && lastTwo <= 14)
        return QStringLiteral("%1 строк").arg(count);
    if (last == 1)
        return QStringLiteral("%1 строка").arg(count);
    if (last >= 2 && last <= 4)
        return QStringLiteral("%1 строки").arg(count);
    return QStringLiteral("%1 строк").arg(count);
}

QString roubles(qint64 kopecks)
{
    return moneyText(double(kopecks) / 100.0);
}

} // namespace

AcceptOrderDialog::AcceptOrderDialog(const AcceptOrderSetup &given, Prompts &prompter,
                                     QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::AcceptOrderDialog)
    , setup(given)
    , prompts(prompter)
{
    ui->setupUi(this);
    shown.start();
    if (!setup.now.isValid())
        setup.now = QDateTime::currentDateTime();
    ui->buttonBoxAccept->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Принять"));
    ui->buttonBoxAccept->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    ui->buttonBoxAccept->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(ui->buttonBoxAccept, &QDialogButtonBox::accepted, this, &AcceptOrderDialog::accept);
    connect(ui->buttonBoxAccept, &QDialogButtonBox::rejected, this, &QDialog::reject);

    const QString summary
        = linesText(setup.lineCount) + QStringLiteral(" на ") + roubles(setup.totalKopecks);
    if (setup.revising > 0) {
        setWindowTitle(QStringLiteral("Изменение заказа № %1").arg(setup.revising));
        ui->labelOrderSummary->setText(
            QStringLiteral("Изменение заказа № %1: %2. Оплачено %3; номер, оплаты и статус "
                           "заказа сохраняются.")
                .arg(setup.revising)
                .arg(summary, roubles(setup.paidKopecks)));
        // Payments of a taken order are taken on the board, each with its own time.
        ui->doubleSpinBoxPrepayment->setEnabled(false);
        ui->comboBoxPrepaymentMethod->setEnabled(false);
        ui->plainTextEditOrderNote->setPlainText(setup.note);
    } else {
        ui->labelOrderSummary->setText(QStringLiteral("Заказ: ") + summary + QLatin1Char('.'));
    }

    const bool chosen = !setup.chosen.isNull();
    ui->radioButtonChosenCustomer->setEnabled(chosen);
    if (chosen) {
        QString text = QStringLiteral("Выбранный в окне: ") + setup.chosen.name();
        if (!setup.chosen.phone.isEmpty())
            text += QStringLiteral(" · ") + setup.chosen.phone;
        ui->radioButtonChosenCustomer->setText(text);
        ui->radioButtonChosenCustomer->setChecked(true);
    } else {
        ui->radioButtonNoCustomer->setChecked(true);
    }
    connect(ui->lineEditWalkInName, &QLineEdit::textEdited, this, &AcceptOrderDialog::chooseWalkIn);
    connect(ui->lineEditWalkInPhone, &QLineEdit::textEdited, this,
            &AcceptOrderDialog::chooseWalkIn);

    const QDateTime due = setup.revising > 0 && setup.due.isValid()
        ? setup.due
        : defaultDue(setup.now, setup.workingDays, setup.dueHour);
    ui->dateTimeEditDue->setDateTime(due);
    ui->dateTimeEditDue->setFocus();
}

AcceptOrderDialog::~AcceptOrderDialog() = default;

void AcceptOrderDialog::chooseWalkIn()
{
    ui->radioButtonWalkIn->setChecked(true);
}

QDateTime AcceptOrderDialog::now() const
{
    return setup.now.addMSecs(shown.elapsed());
}

AcceptedOrder AcceptOrderDialog::accepted() const
{
    AcceptedOrder order;
    if (ui->radioButtonChosenCustomer->isChecked()) {
        order.customer = setup.chosen;
        order.phone = setup.chosen.phone;
    } else if (ui->radioButtonWalkIn->isChecked()) {
        order.customer.kind = Customer::Person;
        order.customer.shortName = ui->lineEditWalkInName->text().simplified();
        order.phone = ui->lineEditWalkInPhone->text().simplified();
        order.customer.phone = order.phone;
    }
    order.due = ui->dateTimeEditDue->dateTime();
    if (setup.revising == 0) {
        order.prepaymentKopecks = kopecksOf(ui->doubleSpinBoxPrepayment->value());
        const int method = ui->comboBoxPrepaymentMethod->currentIndex();
        order.prepaymentMethod = method == 1 ? PaymentMethod::Card
            : method == 2                    ? PaymentMethod::Transfer
                                             : PaymentMethod::Cash;
    }
    order.note = ui->plainTextEditOrderNote->toPlainText().trimmed();
    return order;
}

void AcceptOrderDialog::accept()
{
    const AcceptedOrder order = accepted();
    if (ui->radioButtonWalkIn->isChecked() && order.customer.shortName.isEmpty()
        && order.phone.isEmpty()) {
        prompts.tell(Title,
                     QStringLiteral("Для клиента без карточки впишите имя или телефон, либо "
                                    "выберите «Без клиента»."));
        ui->lineEditWalkInName->setFocus();
        return;
    }
    if (order.prepaymentKopecks > setup.totalKopecks) {
        prompts.tell(Title,
                     QStringLiteral("Предоплата %1 больше суммы заказа %2: исправьте её.")
                         .arg(roubles(order.prepaymentKopecks), roubles(setup.totalKopecks)));
        ui->doubleSpinBoxPrepayment->setFocus();
        ui->doubleSpinBoxPrepayment->selectAll();
        return;
    }
    if (order.due < now()) {
        const QString question = QStringLiteral("Срок %1 уже прошёл. Принять заказ с этим сроком?")
                                     .arg(order.due.toString(QStringLiteral("dd.MM.yyyy HH:mm")));
        // Enter alone changes nothing: the key that opened the question may be meant for it.
        if (prompts.ask(Title, question,
                        {QStringLiteral("Принять"), QStringLiteral("Изменить срок")}, 1)
            != 0) {
            ui->dateTimeEditDue->setFocus();
            return;
        }
    }
    QDialog::accept();
}
