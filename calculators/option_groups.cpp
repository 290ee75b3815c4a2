// Option groups: a group box's direct radio buttons and check boxes. What a checked button stands
// for (its code or amount) comes from the price version; the form's "value" properties are only
// what the form keeps.
#include "app/mainwindow.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVariant>

static double formValue(const QObject *button)
{
    return button->property("value").toDouble();
}

OptionChoice MainWindow::buttonChoice(const QAbstractButton *button, const PriceVersion &version)
{
    OptionChoice choice {button->objectName(), 0.0, button->text(),
                         qobject_cast<const QRadioButton *>(button) != nullptr, QString()};
    // The key comes from the catalogue, so a stored choice outlives a rename of its button.
    choice.value = optionValue(version, choice.name, &choice.key);
    return choice;
}

OptionChoice MainWindow::checkedOption(const QGroupBox *group) const
{
    for (const QObject *child : group->children()) {
        const auto *radio = qobject_cast<const QRadioButton *>(child);
        if (radio && radio->isChecked()) {
            OptionChoice choice = buttonChoice(radio, priceVersion());
            choice.value = formValue(radio);
            return choice;
        }
    }
    return {};
}

double MainWindow::sumCheckedValues(const QGroupBox *group) const
{
    double sum = 0.0;
    for (const QObject *child : group->children()) {
        const auto *box = qobject_cast<const QCheckBox *>(child);
        if (box && box->isChecked())
            sum += formValue(box);
    }
    return sum;
}

QString MainWindow::checkedCaptions(const QGroupBox *group) const
{
    QString captions;
    for (const QObject *child : group->children()) {
        const auto *box = qobject_cast<const QCheckBox *>(child);
        if (box && box->isChecked())
            captions += QStringLiteral("; ") + box->text();
    }
    return captions;
}

void MainWindow::clearGroup(QGroupBox *group)
{
    for (QObject *child : group->children()) {
        if (auto *radio = qobject_cast<QRadioButton *>(child)) {
            // The checked button of an exclusive group refuses to be unchecked.
            radio->setAutoExclusive(false);
            radio->setChecked(false);
            radio->setAutoExclusive(true);
        } else if (auto *box = qobject_cast<QCheckBox *>(child)) {
            box->setChecked(false);
        }
    }
}

OptionGroup MainWindow::optionGroup(const QGroupBox *group) const
{
    const PriceVersion &version = priceVersion();
    OptionGroup options {group->title(), {}};
    for (const QObject *child : group->children()) {
        const auto *button = qobject_cast<const QAbstractButton *>(child);
        if (!button || !button->isChecked())
            continue;
        if (qobject_cast<const QRadioButton *>(button) || qobject_cast<const QCheckBox *>(button))
            options.checked.append(buttonChoice(button, version));
    }
    return options;
}
