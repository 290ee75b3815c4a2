// The "Листовая продукция" page: leaflets, cards, envelopes and bags priced per sheet.
#include "app/mainwindow.h"

#include "calculators/number_text.h"
#include "calculators/page_parts.h"
#include "form/mainwindow_form.h"

void MainWindow::page1_1_init()
{
    MainWindowForm *f = form;
    // Key codes; envelopes share the euro leaflet's prices and bags the business cards'.
    setOptionValues({{f->radioButton, 0},
                     {f->radioButton_2, 1},
                     {f->radioButton_3, 2},
                     {f->radioButton_4, 3},
                     {f->radioButton_5, 4},
                     {f->radioButton_6, 8},
                     {f->radioButton_7, 9},
                     {f->radioButton_8, 10},
                     {f->radioButton_9, 8},
                     {f->radioButton_10, 9},
                     {f->radioButtonOther, 15}});
    setOptionValues({{f->radioButton_24, 0},
                     {f->radioButton_25, 1},
                     {f->radioButton_26, 2},
                     {f->radioButton_27, 3},
                     {f->radioButton_28, 4}});
    setOptionValues({{f->radioButton_47, 0},
                     {f->radioButton_48, 1},
                     {f->radioButton_49, 2},
                     {f->radioButton_50, 3},
                     {f->radioButton_51, 4},
                     {f->radioButton_52, 5},
                     {f->radioButton_53, 6},
                     {f->radioButton_54, 7},
                     {f->radioButton_55, 8},
                     {f->radioButton_56, 9}});
    setOptionValues({{f->radioButton_70, 0},
                     {f->radioButton_71, 1},
                     {f->radioButton_72, 2},
                     {f->radioButton_73, 3},
                     {f->radioButton_74, 4},
                     {f->radioButton_75, 5},
                     {f->radioButton_76, 6},
                     {f->radioButton_77, 7},
                     {f->radioButton_78, 8}});
    // Extras: prices added to one piece.
    setOptionValues({{f->radioButton_145, 80},
                     {f->radioButton_136, 80},
                     {f->radioButton_137, 80},
                     {f->radioButton_135, 80},
                     {f->radioButton_138, 80},
                     {f->radioButton_134, 60},
                     {f->radioButton_133, 40},
                     {f->radioButton_132, 20}});
    setOptionValues({{f->radioButton_153, 80},
                     {f->radioButton_149, 80},
                     {f->radioButton_150, 80},
                     {f->radioButton_152, 80},
                     {f->radioButton_147, 40},
                     {f->radioButton_146, 20},
                     {f->radioButton_148, 60},
                     {f->radioButton_151, 80}});
    setOptionValues({{f->radioButton_154, 20},
                     {f->radioButton_155, 40},
                     {f->radioButton_156, 60},
                     {f->radioButton_157, 80}});
    setOptionValues({{f->checkBox_161, 43}, {f->checkBox_162, 33}});
    setOptionValues({{f->checkBox_27, 566}, {f->checkBox_28, 566}, {f->checkBox_34, 23}});

    connect(f->radioButtonOther, SIGNAL(toggled(bool)), this, SLOT(page1_1_showDim(bool)));
    f->groupBoxListSize->hide();
    acceptWholeNumbers({f->lineEditWidth, f->lineEditHeight, f->lineEdit}, this);
    f->lineEdit->setText(QStringLiteral("1"));
    connect(f->pushButton, SIGNAL(clicked()), this, SLOT(page1_1_answer()));
}

// One line of the family "00" (per sheet), "50" or "60" (quantity tiers).
void MainWindow::appendSheetProductsLine(const QString &family)
{
    MainWindowForm *f = form;
    const OptionChoice format = checkedOption(f->groupBoxListFormat);
    const OptionChoice colour = checkedOption(f->groupBoxListColor);
    const OptionChoice type = checkedOption(f->groupBoxListType);
    const OptionChoice density = checkedOption(f->groupBoxListDensity);
    const QString key = composeKey(family, {format.value, colour.value, type.value, density.value});
    const int quantity = wholeNumber(f->lineEdit->text());
    const JobSize size
        = jobSize(f->radioButtonOther->isChecked(), 1.0, f->groupBoxListFormat->title(),
                  f->lineEditWidth->text(), f->lineEditHeight->text());
    const double sheetPrice = size.factor * lookupPrice(key);

    const OptionChoice lamination = checkedOption(f->checkboxGroupList);
    const OptionChoice binding = checkedOption(f->checkboxGroupList_1);
    const OptionChoice creasing = checkedOption(f->checkboxGroupList_3);
    const double unitPrice = sheetPrice + lamination.value + binding.value
        + sumCheckedValues(f->checkboxGroupList_2) + creasing.value
        + sumCheckedValues(f->checkboxGroupList_4);

    const QString titles = size.text + QLatin1Char(' ')
        + groupTitles({f->groupBoxListColor, f->groupBoxListDensity, f->groupBoxListType,
                       f->checkboxGroupList, f->checkboxGroupList_1, f->checkboxGroupList_2,
                       f->checkboxGroupList_3, f->checkboxGroupList_4});

    // The shop's line: no separator between density and lamination, nor between the varnish
    // captions and the creasing caption.
    const QString separator = QStringLiteral("; ");
    const QString description = format.caption + separator + size.text + QLatin1Char(' ')
        + colour.caption + separator + type.caption + separator + density.caption
        + lamination.caption + separator + binding.caption + separator
        + checkedCaptions(f->checkboxGroupList_2) + creasing.caption + separator
        + checkedCaptions(f->checkboxGroupList_4);

    appendOrderLine(description, QString::number(quantity), numberText(unitPrice), keyText(key),
                    titles, true);

    for (QGroupBox *group : {f->checkboxGroupList, f->checkboxGroupList_1, f->checkboxGroupList_4,
                             f->checkboxGroupList_2, f->checkboxGroupList_3})
        clearGroup(group);
}

void MainWindow::page1_1_answer()
{
    appendSheetProductsLine(QStringLiteral("00"));
    appendQuantityTierLine(wholeNumber(form->lineEdit->text()), &MainWindow::page1_1_answer2,
                           &MainWindow::page1_1_answer3);
}

void MainWindow::page1_1_answer2()
{
    appendSheetProductsLine(QStringLiteral("50"));
}

void MainWindow::page1_1_answer3()
{
    appendSheetProductsLine(QStringLiteral("60"));
}

void MainWindow::page1_1_showDim(bool toggled)
{
    showCustomSize(form->groupBoxListSize, form->lineEditWidth, form->lineEditHeight, toggled);
}
