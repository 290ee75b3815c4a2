// The typed line's fields, their check and the line they make.
#include "dialogs/custom_line_dialog.h"

#include "dialogs/colours.h"
#include "order/money.h"
#include "prices/price_file_check.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

// Over this a typed figure is surely a slip: the price list's own limit for a price.
constexpr double MaxTypedAmount = PriceFileMaxPrice;

QLineEdit *field(const char *name, const QString &placeholder, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setPlaceholderText(placeholder);
    return edit;
}

} // namespace

CustomLineDialog::CustomLineDialog(const QString &prefix,
                                   std::function<void(const OrderLine &)> add, QWidget *parent)
    : QDialog(parent)
    , prefix(prefix)
    , add(std::move(add))
{
    setObjectName(QStringLiteral("CustomLineDialog"));
    setWindowTitle(QStringLiteral("Своя строка"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    description = field("lineEditCustomDescription",
                        QStringLiteral("например, Макет визитки по эскизу заказчика"), this);
    quantity = field("lineEditCustomQuantity", QStringLiteral("1"), this);
    price = field("lineEditCustomPrice", QStringLiteral("например, 1500 или 99,50"), this);
    description->setMinimumWidth(360);
    if (!prefix.isEmpty()) {
        auto *chosen = new QLabel(prefix, this);
        chosen->setObjectName(QStringLiteral("labelCustomPrefix"));
        chosen->setWordWrap(true);
        form->addRow(QStringLiteral("Выбрано на странице:"), chosen);
    }
    form->addRow(QStringLiteral("Описание:"), description);
    form->addRow(QStringLiteral("Количество:"), quantity);
    form->addRow(QStringLiteral("Цена за единицу, ₽:"), price);
    layout->addLayout(form);
    problem = new QLabel(this);
    problem->setObjectName(QStringLiteral("labelCustomProblem"));
    problem->setStyleSheet(labelColourStyle(ProblemColour));
    problem->setWordWrap(true);
    problem->hide();
    layout->addWidget(problem);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    QPushButton *addButton
        = buttons->addButton(QStringLiteral("Добавить"), QDialogButtonBox::AcceptRole);
    addButton->setObjectName(QStringLiteral("pushButtonCustomAdd"));
    addButton->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Закрыть"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CustomLineDialog::addLine);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    description->setFocus();
}

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
        = lineFrom(prefix, description->text(), quantity->text(), price->text(), &why);
    problem->setText(why);
    problem->setVisible(!why.isEmpty());
    if (!why.isEmpty())
        return;
    add(line);
    accept();
}
