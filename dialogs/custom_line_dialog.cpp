// The typed line's fields, their check and the line they make.
#include "dialogs/custom_line_dialog.h"

#include "dialogs/colours.h"
#include "order/money.h"
#include "order/order_status.h"
#include "prices/price_file_check.h"

#include "ui_custom_line_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

namespace {

// Over this a typed figure is surely a slip: the price list's own limit for a price.
constexpr double MaxTypedAmount = PriceFileMaxPrice;

} // namespace

CustomLineDialog::CustomLineDialog(const QString &prefix,
                                   std::function<void(const OrderLine &)> add, QWidget *parent,
                                   const QStringList &services)
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
    connect(ui->buttonBoxCustom, &QDialogButtonBox::accepted, this, [this] {
        if (serviceRows.isEmpty())
            addLine();
        else
            addServiceLines();
    });
    connect(ui->buttonBoxCustom, &QDialogButtonBox::rejected, this, &QDialog::reject);
    if (!services.isEmpty())
        showServices(services);
    // The form's size is only the designer's canvas: the dialog is as large as its fields need.
    adjustSize();
    if (serviceRows.isEmpty())
        ui->lineEditCustomDescription->setFocus();
    else
        serviceRows.first().price->setFocus();
}

void CustomLineDialog::showServices(const QStringList &services)
{
    // One line per service in place of the one description.
    for (QWidget *single : {static_cast<QWidget *>(ui->labelCustomDescriptionCaption),
                            static_cast<QWidget *>(ui->lineEditCustomDescription),
                            static_cast<QWidget *>(ui->labelCustomQuantityCaption),
                            static_cast<QWidget *>(ui->lineEditCustomQuantity),
                            static_cast<QWidget *>(ui->labelCustomPriceCaption),
                            static_cast<QWidget *>(ui->lineEditCustomPrice)})
        single->hide();
    auto *grid = new QGridLayout;
    grid->setObjectName(QStringLiteral("gridLayoutCustomServices"));
    grid->addWidget(new QLabel(QStringLiteral("Услуга")), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Количество")), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Цена за единицу, ₽")), 0, 2);
    for (int row = 0; row < services.size(); ++row) {
        ServiceRow each;
        each.service = services.at(row);
        each.quantity = new QLineEdit;
        each.quantity->setObjectName(QStringLiteral("lineEditServiceQuantity%1").arg(row + 1));
        each.quantity->setPlaceholderText(QStringLiteral("1"));
        each.price = new QLineEdit;
        each.price->setObjectName(QStringLiteral("lineEditServicePrice%1").arg(row + 1));
        each.price->setPlaceholderText(QStringLiteral("например, 1500"));
        auto *caption = new QLabel(each.service);
        caption->setBuddy(each.price);
        grid->addWidget(caption, row + 1, 0);
        grid->addWidget(each.quantity, row + 1, 1);
        grid->addWidget(each.price, row + 1, 2);
        serviceRows.append(each);
    }
    grid->setColumnStretch(2, 1);
    ui->verticalLayoutCustom->insertLayout(1, grid);
}

void CustomLineDialog::tell(const QString &problem)
{
    ui->labelCustomProblem->setText(problem);
    ui->labelCustomProblem->setVisible(!problem.isEmpty());
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
    tell(why);
    if (!why.isEmpty())
        return;
    add(line);
    accept();
}

void CustomLineDialog::addServiceLines()
{
    // All or none: a slip in one price keeps every line in the dialog.
    QVector<OrderLine> lines;
    for (const ServiceRow &row : qAsConst(serviceRows)) {
        QString why;
        lines.append(lineFrom(prefix, row.service, row.quantity->text(), row.price->text(), &why));
        if (!why.isEmpty()) {
            tell(QStringLiteral("«%1»: %2").arg(row.service, why));
            row.price->setFocus();
            return;
        }
    }
    tell(QString());
    for (const OrderLine &line : qAsConst(lines))
        add(line);
    accept();
}
