// A choice taken back: a second click on the checked option of an extras group unchecks it,
// as a check box would, so that a wrong lamination or binding needs no reset of the page.
#include "app/mainwindow.h"

#include "form/mainwindow_form.h"

#include <QGroupBox>
#include <QRadioButton>

namespace {

void letChoicesBeTakenBack(const QList<QGroupBox *> &groups)
{
    for (QGroupBox *group : groups) {
        for (QRadioButton *option : group->findChildren<QRadioButton *>()) {
            // Whether the option was checked before this click; the click itself cannot tell.
            QObject::connect(option, &QAbstractButton::pressed, option, [option] {
                option->setProperty("checkedWhenPressed", option->isChecked());
            });
            QObject::connect(option, &QAbstractButton::clicked, option, [option] {
                if (!option->property("checkedWhenPressed").toBool())
                    return;
                // The checked button of an exclusive group refuses to be unchecked.
                option->setAutoExclusive(false);
                option->setChecked(false);
                option->setAutoExclusive(true);
            });
        }
    }
}

} // namespace

void MainWindow::initTakeBack()
{
    for (const PricingPageParts &parts : qAsConst(pricingPages))
        letChoicesBeTakenBack(parts.extrasGroups);
}
