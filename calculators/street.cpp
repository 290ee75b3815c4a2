// The "Уличная" page: outdoor wide-format prints priced by area, material and quality, with a
// mounting base, post-press work and information-stand pockets.
#include "app/mainwindow.h"

#include "calculators/page_parts.h"
#include "form/mainwindow_form.h"
#include "pricing/page_pricing.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVariant>

void MainWindow::page2_1_init()
{
    MainWindowForm *f = form.data();
    setOptionValues(f->page_3, PricingPage::Street);

    acceptWholeNumbers({f->lineEditWidthStreet, f->lineEditHeightStreet, f->lineEditWidth_6,
                        f->lineEditHeight_5, f->lineEdit_14, f->lineEditWidth_4},
                       this);
    f->lineEdit_14->setText(QStringLiteral("1"));
    f->lineEditWidth_4->setText(QStringLiteral("1"));

    pocketFields << qMakePair(f->checkBox_59, f->lineEdit_3)
                 << qMakePair(f->checkBox_60, f->lineEdit_4)
                 << qMakePair(f->checkBox_61, f->lineEdit_5)
                 << qMakePair(f->checkBox_62, f->lineEdit_6)
                 << qMakePair(f->checkBox_63, f->lineEdit_7)
                 << qMakePair(f->checkBox_64, f->lineEdit_8);

    connect(f->pushButton_12, SIGNAL(clicked()), this, SLOT(page2_1_answer()));

    // Checking a box hides its field: the count or length is typed first, then confirmed.
    const struct
    {
        QCheckBox *box;
        QLineEdit *field;
        QLabel *unit;
    } besides[] = {
        {f->checkBox_59, f->lineEdit_3, f->label_39},
        {f->checkBox_60, f->lineEdit_4, f->label_40},
        {f->checkBox_61, f->lineEdit_5, f->label_41},
        {f->checkBox_62, f->lineEdit_6, f->label_42},
        {f->checkBox_63, f->lineEdit_7, f->label_43},
        {f->checkBox_64, f->lineEdit_8, f->label_44},
        {f->checkBox_50, f->lineEdit_23, f->label_49},
        {f->checkBox_51, f->lineEdit_25, f->label_62},
        {f->checkBox_53, f->lineEdit_24, f->label_64},
        {f->checkBox_54, f->lineEdit_26, f->label_65},
    };
    for (const auto &beside : besides) {
        connect(beside.box, SIGNAL(clicked(bool)), beside.field, SLOT(setHidden(bool)));
        connect(beside.box, SIGNAL(clicked(bool)), beside.unit, SLOT(setHidden(bool)));
    }
}

StreetJob MainWindow::streetJob() const
{
    const MainWindowForm *f = form.data();
    StreetJob job;
    job.size = optionGroup(f->groupBoxListStreetFormat);
    job.material = optionGroup(f->groupBoxListStreetMaterial);
    job.quality = optionGroup(f->groupBoxListStreetColor);
    job.film = optionGroup(f->checkboxGroupStreet);
    job.base = optionGroup(f->checkboxGroupStreet_1);
    job.postPress = optionGroup(f->checkboxGroupStreet_2);
    job.stand = optionGroup(f->groupBox_9);
    job.pocketSizes = optionGroup(f->checkboxGroupStreet_3);
    for (const auto &pocket : qAsConst(pocketFields)) {
        if (pocket.first->isChecked()) {
            job.pockets.append({buttonChoice(pocket.first, priceVersion()), pocket.second->text()});
        }
    }
    job.width = f->lineEditWidthStreet->text();
    job.height = f->lineEditHeightStreet->text();
    job.quantity = f->lineEdit_14->text();
    return job;
}

void MainWindow::page2_1_answer()
{
    followPriceVersion();
    appendOrderLine(priceStreet(streetJob(), prices()).first().orderLine());
    clearExtras(form->page_3);
}

void MainWindow::page2_1_showDim(bool toggled)
{
    showCustomSize(form->groupBoxSizeInfStend, form->lineEditWidth_6, form->lineEditHeight_5,
                   toggled);
}
