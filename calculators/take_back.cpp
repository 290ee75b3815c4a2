// A choice taken back: a second click on the checked option of an extras group unchecks it,
// as a check box would, so that a wrong lamination or binding needs no reset of the page.
#include "app/mainwindow.h"

#include "form/mainwindow_form.h"

#include <QGroupBox>
#include <QRadioButton>

namespace {

void letChoicesBeTakenBack(std::initializer_list<QGroupBox *> groups)
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
    MainWindowForm *f = form.data();
    letChoicesBeTakenBack({f->checkboxGroupList, f->checkboxGroupList_1, f->checkboxGroupList_2,
                           f->checkboxGroupList_3, f->checkboxGroupList_4});
    letChoicesBeTakenBack({f->checkboxGroupBrosh_4, f->checkboxGroupBrosh_1,
                           f->checkboxGroupBrosh_5, f->checkboxGroupBrosh, f->checkboxGroupBrosh_6,
                           f->checkboxGroupBrosh_2, f->checkboxGroupBrosh_3});
    letChoicesBeTakenBack({f->checkboxGroupStreet, f->checkboxGroupStreet_1,
                           f->checkboxGroupStreet_2, f->groupBox_9});
    letChoicesBeTakenBack({f->checkboxGroupInterer, f->checkboxGroupInterer_1,
                           f->checkboxGroupInterer_2, f->checkboxGroupInterer_3,
                           f->checkboxGroupInterer_4});
    letChoicesBeTakenBack({f->checkboxGroupPrint});
}
