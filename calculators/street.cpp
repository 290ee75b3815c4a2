// The "Уличная" page: outdoor wide-format prints priced by area, material and quality, with a
// mounting base, post-press work and information-stand pockets.
#include "app/mainwindow.h"

#include "calculators/number_text.h"
#include "calculators/page_parts.h"
#include "form/mainwindow_form.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVariant>

#include <cmath>

// The count fields take any text; a count that is negative or no finite number orders no
// pockets, so a stray "-5" or "inf" can never take money off the order or spoil the price.
static double pocketCount(const QString &text)
{
    const double count = fieldNumber(text);
    return std::isfinite(count) && count > 0.0 ? count : 0.0;
}

void MainWindow::page2_1_init()
{
    MainWindowForm *f = form;

    setOptionValues({{f->radioButton_112, 9},
                     {f->radioButton_113, 10},
                     {f->radioButton_114, 11},
                     {f->radioButton_115, 13},
                     {f->radioButton_121, 14}});
    setOptionValues({{f->radioButton_11, 10},
                     {f->radioButton_12, 11},
                     {f->radioButton_13, 12},
                     {f->radioButton_14, 13},
                     {f->radioButton_19, 14},
                     {f->radioButton_20, 15},
                     {f->radioButton_21, 16},
                     {f->radioButton_22, 17},
                     {f->radioButton_23, 18},
                     {f->radioButton_29, 19},
                     {f->radioButton_30, 21},
                     {f->radioButton_31, 22},
                     {f->radioButton_33, 23},
                     {f->radioButton_39, 24}});
    setOptionValues({{f->radioButton_122, 100},
                     {f->radioButton_123, 50},
                     {f->radioButton_124, 40},
                     {f->radioButton_125, 40},
                     {f->radioButton_126, 30},
                     {f->radioButton_127, 52},
                     {f->radioButton_128, 47},
                     {f->radioButton_129, 91}});
    setOptionValues({f->checkBox_40, f->checkBox_41}, 0);
    setOptionValues({{f->checkBox_59, 15},
                     {f->checkBox_60, 20},
                     {f->checkBox_61, 30},
                     {f->checkBox_62, 40},
                     {f->checkBox_63, 50},
                     {f->checkBox_64, 60}});
    setOptionValues({f->checkBox_50, f->checkBox_51, f->checkBox_52, f->checkBox_53, f->checkBox_54,
                     f->checkBox_55, f->checkBox_56},
                    60);

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

void MainWindow::page2_1_answer()
{
    MainWindowForm *f = form;

    const OptionChoice material = checkedOption(f->groupBoxListStreetMaterial);
    const OptionChoice quality = checkedOption(f->groupBoxListStreetColor);
    const QString key = composeKey(QStringLiteral("12"), {11, 11, material.value, quality.value});
    const int quantity = wholeNumber(f->lineEdit_14->text());

    // There is no standard format here: the size is always the typed one.
    const double area = customArea(f->lineEditWidthStreet->text(), f->lineEditHeightStreet->text());

    // The base multiplies the print and is charged once more as an amount of its own.
    const OptionChoice base = checkedOption(f->checkboxGroupStreet_1);
    const double baseFactor = base.value != 0.0 ? base.value : 1.0;
    const double printCost = area * baseFactor * lookupPrice(key);

    const double filmSum = sumCheckedValues(f->checkboxGroupStreet);
    const double postPressSum = sumCheckedValues(f->checkboxGroupStreet_2);
    const double standSum = sumCheckedValues(f->groupBox_9);
    double pocketSum = 0.0;
    for (const auto &pocket : qAsConst(pocketFields)) {
        if (pocket.first->isChecked())
            pocketSum
                += pocket.first->property("value").toDouble() * pocketCount(pocket.second->text());
    }

    const double total
        = ((((printCost + filmSum) + base.value) + postPressSum) + standSum) + pocketSum;

    const QString description = QStringLiteral("Другой; Другой; ") + material.caption
        + QStringLiteral("; ") + quality.caption + checkedCaptions(f->checkboxGroupStreet)
        + base.caption + QStringLiteral("; ") + checkedCaptions(f->checkboxGroupStreet_2)
        + checkedCaptions(f->groupBox_9);
    const QString titles = groupTitles({f->groupBoxListStreetFormat, f->groupBoxListStreetColor,
                                        f->groupBoxListStreetMaterial, f->checkboxGroupStreet,
                                        f->checkboxGroupStreet_1, f->checkboxGroupStreet_2,
                                        f->checkboxGroupStreet_3});

    appendOrderLine(description, QString::number(quantity), numberText(total), keyText(key), titles,
                    false);

    for (QGroupBox *group : {f->checkboxGroupStreet, f->checkboxGroupStreet_2,
                             f->checkboxGroupStreet_1, f->groupBox_9})
        clearGroup(group);
}

void MainWindow::page2_1_showDim(bool toggled)
{
    showCustomSize(form->groupBoxSizeInfStend, form->lineEditWidth_6, form->lineEditHeight_5,
                   toggled);
}
