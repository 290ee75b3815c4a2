// Helpers of the laser printing pages ("Листовая продукция" and "Брошюры").
#include "calculators/laser_printing.h"

#include "app/mainwindow.h"
#include "calculators/number_text.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLineEdit>
#include <QVariant>

void setOptionValues(std::initializer_list<std::pair<QAbstractButton *, int>> options)
{
    for (const auto &[button, value] : options)
        button->setProperty("value", value);
}

QString composeKey(const QString &family, std::initializer_list<double> codes)
{
    QString key = family;
    for (const double code : codes)
        key += numberText(code);
    return key;
}

JobSize jobSize(bool custom, const QString &formatTitle, const QString &width,
                const QString &height)
{
    if (!custom)
        return {false, 1.0, formatTitle};
    // The fields are shown as typed; an empty side prices the sheet at 0.
    return {true, fieldNumber(width) * fieldNumber(height) / 1000.0,
            width + QLatin1Char('x') + height};
}

QuantityBand quantityBand(int quantity)
{
    if (quantity > 499 && quantity <= 999)
        return QuantityBand::From500;
    if (quantity > 999 && quantity <= 3000)
        return QuantityBand::From1000;
    return QuantityBand::Single;
}

void MainWindow::showCustomSize(QGroupBox *sizeGroup, QLineEdit *width, QLineEdit *height,
                                bool shown)
{
    sizeGroup->setVisible(shown);
    if (!shown) {
        // A hidden size must not linger into the next custom job.
        width->clear();
        height->clear();
    }
}
