// The "Брошюры" page: a cover and inner sheets priced per copy.
#include "app/mainwindow.h"

#include "calculators/number_text.h"
#include "calculators/page_parts.h"
#include "calculators/whole_number_validator.h"
#include "form/mainwindow_form.h"

void MainWindow::page1_2_init()
{
    MainWindowForm *f = form;
    setOptionValues({{f->radioButton_93, 0},
                     {f->radioButton_94, 1},
                     {f->radioButton_95, 2},
                     {f->radioButton_96, 3},
                     {f->radioButton_97, 4},
                     {f->radioButtonOtherBrosh, 15}});
    setOptionValues({{f->radioButton_116, 0},
                     {f->radioButton_117, 1},
                     {f->radioButton_118, 2},
                     {f->radioButton_119, 3},
                     {f->radioButton_120, 4}});
    // Inner paper has no "Плайк", so the codes skip 5.
    setOptionValues({{f->radioButton_139, 0},
                     {f->radioButton_140, 1},
                     {f->radioButton_141, 2},
                     {f->radioButton_142, 3},
                     {f->radioButton_143, 4},
                     {f->radioButton_144, 6}});
    setOptionValues({{f->radioButton_162, 0},
                     {f->radioButton_163, 1},
                     {f->radioButton_164, 2},
                     {f->radioButton_165, 3},
                     {f->radioButton_166, 4}});
    setOptionValues({{f->radioButton_415, 0},
                     {f->radioButton_416, 1},
                     {f->radioButton_417, 2},
                     {f->radioButton_418, 3},
                     {f->radioButton_419, 4}});
    setOptionValues({{f->radioButton_438, 0},
                     {f->radioButton_439, 1},
                     {f->radioButton_440, 2},
                     {f->radioButton_441, 3},
                     {f->radioButton_442, 4},
                     {f->radioButton_443, 5},
                     {f->radioButton_444, 6}});
    setOptionValues({{f->radioButton_461, 0},
                     {f->radioButton_462, 1},
                     {f->radioButton_463, 2},
                     {f->radioButton_464, 3},
                     {f->radioButton_465, 4},
                     {f->radioButton_466, 5},
                     {f->radioButton_467, 6},
                     {f->radioButton_468, 7},
                     {f->radioButton_469, 8}});
    // Extras: prices added to one copy.
    setOptionValues({{f->radioButton_181, 60}, {f->radioButton_180, 40}, {f->radioButton_179, 20}});
    setOptionValues({{f->radioButton_171, 80},
                     {f->radioButton_176, 20},
                     {f->radioButton_177, 60},
                     {f->radioButton_178, 80},
                     {f->radioButton_174, 80},
                     {f->radioButton_172, 80},
                     {f->radioButton_175, 40},
                     {f->radioButton_173, 80}});
    setOptionValues({{f->radioButton_182, 80},
                     {f->radioButton_183, 80},
                     {f->radioButton_184, 80},
                     {f->radioButton_185, 80},
                     {f->radioButton_186, 20},
                     {f->radioButton_187, 40},
                     {f->radioButton_188, 60},
                     {f->radioButton_189, 80}});
    setOptionValues({{f->radioButton_167, 80},
                     {f->radioButton_158, 80},
                     {f->radioButton_168, 80},
                     {f->radioButton_159, 80},
                     {f->radioButton_169, 20},
                     {f->radioButton_160, 40},
                     {f->radioButton_170, 60},
                     {f->radioButton_161, 80}});
    setOptionValues({{f->checkBox_18, 11}, {f->checkBox_19, 12}});
    setOptionValues({{f->checkBox_14, 14}, {f->checkBox_16, 13}});
    setOptionValues({{f->checkBox_17, 15}, {f->checkBox_13, 16}, {f->checkBox_15, 17}});

    f->lineEdit_21->setText(QStringLiteral("1"));
    f->lineEdit_21->setValidator(new WholeNumberValidator(0, 1000, this));
    connect(f->radioButtonOtherBrosh, SIGNAL(toggled(bool)), this, SLOT(page1_2_showDim(bool)));
    f->groupBoxBroshSize->hide();
    acceptWholeNumbers({f->lineEditWidthBrosh, f->lineEditHeightBrosh, f->lineEdit_10}, this);
    f->lineEdit_10->setText(QStringLiteral("1"));
    connect(f->pushButton_2, SIGNAL(clicked()), this, SLOT(page1_2_answer()));
}

// One line of the family "01" (per sheet), "51" or "61" (quantity tiers). Cover and inner
// sheets are looked up in the same family; the key text names the cover's key.
void MainWindow::appendBrochureLine(const QString &family)
{
    MainWindowForm *f = form;
    const OptionChoice format = checkedOption(f->groupBoxBroshFormat);
    const OptionChoice innerColour = checkedOption(f->groupBoxBroshInnerColor);
    const OptionChoice innerType = checkedOption(f->groupBoxBroshInnerType);
    const OptionChoice innerDensity = checkedOption(f->groupBoxBroshInnerDensity);
    const OptionChoice coverColour = checkedOption(f->groupBoxBroshOuterColor);
    const OptionChoice coverType = checkedOption(f->groupBoxBroshOuterType);
    const OptionChoice coverDensity = checkedOption(f->groupBoxBroshOuterDensity);
    const QString innerKey = composeKey(
        family, {format.value, innerColour.value, innerType.value, innerDensity.value});
    const QString coverKey = composeKey(
        family, {format.value, coverColour.value, coverType.value, coverDensity.value});
    const int quantity = wholeNumber(f->lineEdit_10->text());
    const JobSize size
        = jobSize(f->radioButtonOtherBrosh->isChecked(), 1.0, f->groupBoxBroshFormat->title(),
                  f->lineEditWidthBrosh->text(), f->lineEditHeightBrosh->text());

    const int innerSheets = wholeNumber(f->lineEdit_21->text());
    const double innerPrice = size.factor * lookupPrice(innerKey) * innerSheets;
    const double coverPrice = size.factor * lookupPrice(coverKey);

    const OptionChoice bindingKind = checkedOption(f->checkboxGroupBrosh_4);
    const OptionChoice binding = checkedOption(f->checkboxGroupBrosh_1);
    const OptionChoice coverLamination = checkedOption(f->checkboxGroupBrosh_5);
    const OptionChoice innerLamination = checkedOption(f->checkboxGroupBrosh);
    const double unitPrice = innerPrice + coverPrice + bindingKind.value + binding.value
        + coverLamination.value + innerLamination.value + sumCheckedValues(f->checkboxGroupBrosh_6)
        + sumCheckedValues(f->checkboxGroupBrosh_2) + sumCheckedValues(f->checkboxGroupBrosh_3);

    QString titles = size.text + QLatin1Char(' ')
        + groupTitles({f->groupBoxBroshFormat, f->groupBoxBroshInnerColor,
                       f->groupBoxBroshInnerType, f->groupBoxBroshInnerDensity,
                       f->groupBoxBroshOuterColor, f->groupBoxBroshOuterType,
                       f->groupBoxBroshOuterDensity});
    // The extras' titles follow one another without a blank.
    for (const QGroupBox *group :
         {f->checkboxGroupBrosh, f->checkboxGroupBrosh_1, f->checkboxGroupBrosh_2,
          f->checkboxGroupBrosh_3, f->checkboxGroupBrosh_4})
        titles += group->title();

    // No separator between the cover density and the binding kind.
    const QString separator = QStringLiteral("; ");
    const QString description = format.caption + separator + size.text + QLatin1Char(' ')
        + innerColour.caption + separator + innerType.caption + separator + innerDensity.caption
        + separator + coverColour.caption + separator + coverType.caption + separator
        + coverDensity.caption + bindingKind.caption + separator + binding.caption + separator
        + coverLamination.caption + separator + innerLamination.caption + separator
        + checkedCaptions(f->checkboxGroupBrosh_6) + checkedCaptions(f->checkboxGroupBrosh_2)
        + checkedCaptions(f->checkboxGroupBrosh_3);

    appendOrderLine(description, QString::number(quantity), numberText(unitPrice),
                    keyText(coverKey), titles, false);

    for (QGroupBox *group :
         {f->checkboxGroupBrosh_4, f->checkboxGroupBrosh_1, f->checkboxGroupBrosh_5,
          f->checkboxGroupBrosh, f->checkboxGroupBrosh_6, f->checkboxGroupBrosh_2,
          f->checkboxGroupBrosh_3})
        clearGroup(group);
}

void MainWindow::page1_2_answer()
{
    appendBrochureLine(QStringLiteral("01"));
    appendQuantityTierLine(wholeNumber(form->lineEdit_10->text()), &MainWindow::page1_2_answer2,
                           &MainWindow::page1_2_answer3);
}

void MainWindow::page1_2_answer2()
{
    appendBrochureLine(QStringLiteral("51"));
}

void MainWindow::page1_2_answer3()
{
    appendBrochureLine(QStringLiteral("61"));
}

void MainWindow::page1_2_showDim(bool toggled)
{
    showCustomSize(form->groupBoxBroshSize, form->lineEditWidthBrosh, form->lineEditHeightBrosh,
                   toggled);
}
