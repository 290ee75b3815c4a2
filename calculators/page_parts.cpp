// Helpers shared by the calculator pages.
#include "calculators/page_parts.h"

#include "app/mainwindow.h"
#include "calculators/number_text.h"
#include "calculators/whole_number_validator.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLineEdit>
#include <QVariant>

void setOptionValues(std::initializer_list<std::pair<QAbstractButton *, int>> options)
{
    for (const auto &[button, value] : options)
        button->setProperty("value", value);
}

void setOptionValues(std::initializer_list<QAbstractButton *> buttons, int value)
{
    for (QAbstractButton *button : buttons)
        button->setProperty("value", value);
}

QString composeKey(const QString &family, std::initializer_list<double> codes)
{
    QString key = family;
    for (const double code : codes)
        key += numberText(code);
    return key;
}

QString keyText(const QString &key)
{
    return QStringLiteral("значение=") + key;
}

void acceptWholeNumbers(std::initializer_list<QLineEdit *> fields, QObject *owner)
{
    for (QLineEdit *field : fields)
        field->setValidator(new WholeNumberValidator(0, 100500, owner));
}

double customArea(const QString &width, const QString &height)
{
    return fieldNumber(width) * fieldNumber(height) / 1000.0;
}

JobSize jobSize(bool custom, double standardFactor, const QString &formatTitle,
                const QString &width, const QString &height)
{
    if (!custom)
        return {standardFactor, formatTitle};
    // The fields are shown as typed, an empty side included.
    return {customArea(width, height), width + QLatin1Char('x') + height};
}

QString groupTitles(std::initializer_list<const QGroupBox *> groups)
{
    QString titles;
    for (const QGroupBox *group : groups)
        titles += group->title() + QLatin1Char(' ');
    return titles;
}

void MainWindow::showCustomSize(QGroupBox *sizeGroup, QLineEdit *width, QLineEdit *height,
                                bool shown)
{
    sizeGroup->setVisible(shown);
    if (!shown) {
        // A hidden size must not linger into the next custom job.
        width->setText(QString());
        height->setText(QString());
    }
}

// Laser printing pages only: runs from 500 to 3000 pieces get a second line, priced from a tier
// family of their own by the page's slot for that tier.
void MainWindow::appendQuantityTierLine(int quantity, void (MainWindow::*from500)(),
                                        void (MainWindow::*from1000)())
{
    if (quantity > 499 && quantity <= 999)
        (this->*from500)();
    else if (quantity > 999 && quantity <= 3000)
        (this->*from1000)();
}
