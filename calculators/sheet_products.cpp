// The "Листовая продукция" page: leaflets, cards, envelopes and bags priced per sheet.
#include "app/mainwindow.h"

#include "calculators/page_parts.h"
#include "form/mainwindow_form.h"
#include "pricing/number_text.h"
#include "pricing/page_pricing.h"

void MainWindow::page1_1_init()
{
    MainWindowForm *f = form.data();
    setOptionValues(f->page, PricingPage::SheetProducts);

    connect(f->radioButtonOther, SIGNAL(toggled(bool)), this, SLOT(page1_1_showDim(bool)));
    f->groupBoxListSize->hide();
    acceptWholeNumbers({f->lineEditWidth, f->lineEditHeight, f->lineEdit}, this);
    f->lineEdit->setText(QStringLiteral("1"));
    connect(f->pushButton, SIGNAL(clicked()), this, SLOT(page1_1_answer()));
}

SheetProductsJob MainWindow::sheetProductsJob() const
{
    const MainWindowForm *f = form.data();
    SheetProductsJob job;
    job.format = optionGroup(f->groupBoxListFormat);
    job.colour = optionGroup(f->groupBoxListColor);
    job.type = optionGroup(f->groupBoxListType);
    job.density = optionGroup(f->groupBoxListDensity);
    job.lamination = optionGroup(f->checkboxGroupList);
    job.binding = optionGroup(f->checkboxGroupList_1);
    job.varnish = optionGroup(f->checkboxGroupList_2);
    job.creasing = optionGroup(f->checkboxGroupList_3);
    job.other = optionGroup(f->checkboxGroupList_4);
    job.customSize = f->radioButtonOther->isChecked();
    job.width = f->lineEditWidth->text();
    job.height = f->lineEditHeight->text();
    job.quantity = f->lineEdit->text();
    return job;
}

// One line of the family "00" (per sheet), "50" or "60" (quantity tiers).
void MainWindow::appendSheetProductsLine(const QString &family)
{
    appendOrderLine(quoteSheetProducts(sheetProductsJob(), family, prices()).orderLine());
    clearExtras(form->page);
}

void MainWindow::page1_1_answer()
{
    followPriceVersion();
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
