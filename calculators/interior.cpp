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

    setOptionValues(f->page_4, PricingPage::Interior);

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
    followPriceVersion();
    appendOrderLine(priceInterior(interiorJob(), prices()).first().orderLine());
    clearExtras(form->page_4);
}

void MainWindow::page2_2_showDim(bool toggled)
{
    showCustomSize(form->groupBoxIntererSize, form->lineEditWidthInterer,
                   form->lineEditHeightInterer, toggled);
}
