// The "Интерьерная" page: indoor wide-format prints on paper, a standard sheet or a custom size,
// with flat-priced extras.
#include "app/mainwindow.h"

#include "calculators/page_parts.h"
#include "form/mainwindow_form.h"
#include "pricing/page_pricing.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

void MainWindow::page2_2_init()
{
    MainWindowForm *f = form.data();
    setKeyCodes(this, PricingPage::Interior);

    // Extras: amounts added to the print's price.
    setOptionValues({{f->checkBox_70, 5}, {f->checkBox_71, 100500}, {f->checkBox_72, 100501}});
    setOptionValues({f->checkBox_73, f->checkBox_74, f->checkBox_75, f->checkBox_76, f->checkBox_77,
                     f->checkBox_78, f->checkBox_79, f->checkBox_80},
                    666);
    setOptionValues({f->checkBox_81, f->checkBox_82, f->checkBox_83, f->checkBox_84, f->checkBox_85,
                     f->checkBox_86},
                    13);
    setOptionValues({{f->checkBox_88, 5},
                     {f->checkBox_89, 100500},
                     {f->checkBox_90, 100501},
                     {f->checkBox_87, 666}});
    setOptionValues({f->checkBox_111, f->checkBox_115, f->checkBox_113, f->checkBox_109,
                     f->checkBox_114, f->checkBox_108, f->checkBox_110},
                    666);
    setOptionValues({f->checkBox_112, f->checkBox_107, f->checkBox_148, f->checkBox_152}, 13);

    connect(f->radioButtonOtherInterer, SIGNAL(toggled(bool)), this, SLOT(page2_2_showDim(bool)));
    f->groupBoxIntererSize->hide();

    acceptWholeNumbers({f->lineEditWidthInterer, f->lineEditHeightInterer, f->lineEdit_12}, this);
    f->lineEdit_12->setText(QStringLiteral("1"));

    connect(f->pushButton_9, SIGNAL(clicked()), this, SLOT(page2_2_answer()));
}

InteriorJob MainWindow::interiorJob() const
{
    const MainWindowForm *f = form.data();
    InteriorJob job;
    job.format = optionGroup(f->groupBoxIntererFormat);
    job.colour = optionGroup(f->groupBoxIntererColor);
    job.paper = optionGroup(f->groupBoxIntererType);
    job.density = optionGroup(f->groupBoxIntererDensity);
    job.base = optionGroup(f->checkboxGroupInterer);
    job.folding = optionGroup(f->checkboxGroupInterer_1);
    job.binding = optionGroup(f->checkboxGroupInterer_2);
    job.lamination = optionGroup(f->checkboxGroupInterer_3);
    job.other = optionGroup(f->checkboxGroupInterer_4);
    job.customSize = f->radioButtonOtherInterer->isChecked();
    job.width = f->lineEditWidthInterer->text();
    job.height = f->lineEditHeightInterer->text();
    job.quantity = f->lineEdit_12->text();
    return job;
}

void MainWindow::page2_2_answer()
{
    appendOrderLine(priceInterior(interiorJob(), priceTable).first().orderLine());
    clearExtras(form->page_4);
}

void MainWindow::page2_2_showDim(bool toggled)
{
    showCustomSize(form->groupBoxIntererSize, form->lineEditWidthInterer,
                   form->lineEditHeightInterer, toggled);
}
