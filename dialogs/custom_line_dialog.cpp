// The typed line's fields, their check and the line they make.
#include "dialogs/custom_line_dialog.h"

#include "dialogs/colours.h"
#include "order/money.h"
#include "order/order_status.h"
#include "prices/price_file_check.h"

#include "ui_custom_line_dialog.h"

#include <QPushButton>

#include <cmath>

namespace {

// Over this a typed figure is surely a slip: the price list's own limit for a price.
constexpr double MaxTypedAmount = PriceFileMaxPrice;

} // namespace

CustomLineDialog::CustomLineDialog(const QString &prefix,
                                   std::function<void(const OrderLine &)> add, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CustomLineDialog)
    , prefix(prefix)
    , add(std::move(add))
{
    ui->setupUi(this);
    // The page's choice has its row only when there is one.
    if (prefix.isEmpty())
        ui->formLayoutCustom->removeRow(0);
    else
        ui->labelCustomPrefix->setText(prefix);
    ui->labelCustomProblem->setStyleSheet(labelColourStyle(ProblemColour));
    ui->labelCustomProblem->hide();
    QPushButton *addButton
        = ui->buttonBoxCustom->addButton(QStringLiteral("Добавить"), QDialogButtonBox::AcceptRole);
    addButton->setObjectName(QStringLiteral("pushButtonCustomAdd"));
    addButton->setDefault(true);
    ui->buttonBoxCustom->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Закрыть"));
    connect(ui->buttonBoxCustom, &QDialogButtonBox::accepted, this, &CustomLineDialog::addLine);
    connect(ui->buttonBoxCustom, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // The form's size is only the designer's canvas: the dialog is as large as its fields need.
    adjustSize();
    ui->lineEditCustomDescription->setFocus();
}

CustomLineDialog::~CustomLineDialog() = default;

OrderLine CustomLineDialog::lineFrom(const QString &prefix, const QString &typedDescription,
                                     const QString &typedQuantity, const QString &typedPrice,
                                     QString *problemText)
{
    OrderLine line;
    const QString text = typedDescription.simplified();
    const QString quantityText
        = typedQuantity.trimmed().isEmpty() ? QStringLiteral("1") : plainAmount(typedQuantity);
    const QString priceText = plainAmount(typedPrice);
    double quantity = 0.0;
    double price = 0.0;
    if (text.isEmpty())
        *problemText = QStringLiteral("Опишите работу: без описания строку в счёте не понять.");
    else if (!readAmount(quantityText, &quantity) || quantity <= 0 || quantity > MaxTypedAmount)
        *problemText = QStringLiteral("Количество «%1» не понято: нужно число больше нуля, "
                                      "например 1 или 2,5.")
                           .arg(typedQuantity.trimmed());
    else if (priceText.isEmpty() || !readAmount(priceText, &price) || price < 0
             || price > MaxTypedAmount)
        *problemText = QStringLiteral("Цена «%1» не понята: нужно число от 0 до 10 000 000, "
                                      "например 1500 или 99,50.")
                           .arg(typedPrice.trimmed());
    else if (quantity * price * 100 > double(MaxKopecks))
        *problemText = QStringLiteral("Сумма строки больше наибольшей возможной (%1): уменьшите "
                                      "количество или цену.")
                           .arg(roublesAndKopecks(MaxKopecks));
    else if (std::round(price * 100) != price * 100)
        *problemText = QStringLiteral("Цена «%1» точнее копейки: оставьте не больше двух знаков "
                                      "после запятой.")
                           .arg(typedPrice.trimmed());
    if (!problemText->isEmpty())
        return line;
    line.description = prefix.isEmpty() ? text : prefix + QStringLiteral(" — ") + text;
    line.quantity = quantityText;
    line.unitPrice = priceText;
    line.removalMarker = true;
    line.setNumbers(quantity, price);
    line.explanation = QStringLiteral("Строка набрана вручную: описание, количество и цена — как "
                                      "их ввёл оператор, без прайс-листа.");
    return line;
}

void CustomLineDialog::addLine()
{
    QString why;
    const OrderLine line
        = lineFrom(prefix, ui->lineEditCustomDescription->text(),
                   ui->lineEditCustomQuantity->text(), ui->lineEditCustomPrice->text(), &why);
    ui->labelCustomProblem->setText(why);
    ui->labelCustomProblem->setVisible(!why.isEmpty());
    if (!why.isEmpty())
        return;
    add(line);
    accept();
}
