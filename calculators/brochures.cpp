// The "Брошюры" page: a cover and inner sheets priced per copy.
#include "app/mainwindow.h"

#include "calculators/page_parts.h"
#include "calculators/whole_number_validator.h"
#include "form/mainwindow_form.h"
#include "pricing/number_text.h"
#include "pricing/page_pricing.h"

void MainWindow::page1_2_init()
{
    MainWindowForm *f = form.data();
    setOptionValues(f->page_2, PricingPage::Brochures);

    f->lineEdit_21->setText(QStringLiteral("1"));
    f->lineEdit_21->setValidator(new WholeNumberValidator(0, InnerSheetsLimit, this));
    connect(f->radioButtonOtherBrosh, SIGNAL(toggled(bool)), this, SLOT(page1_2_showDim(bool)));
    f->groupBoxBroshSize->hide();
    acceptWholeNumbers({f->lineEditWidthBrosh, f->lineEditHeightBrosh, f->lineEdit_10}, this);
    f->lineEdit_10->setText(QStringLiteral("1"));
    connect(f->pushButton_2, SIGNAL(clicked()), this, SLOT(page1_2_answer()));
}

BrochureJob MainWindow::brochureJob() const
{
    const MainWindowForm *f = form.data();
    BrochureJob job;
    job.format = optionGroup(f->groupBoxBroshFormat);
    job.innerColour = optionGroup(f->groupBoxBroshInnerColor);
    job.innerType = optionGroup(f->groupBoxBroshInnerType);
    job.innerDensity = optionGroup(f->groupBoxBroshInnerDensity);
    job.coverColour = optionGroup(f->groupBoxBroshOuterColor);
    job.coverType = optionGroup(f->groupBoxBroshOuterType);
    job.coverDensity = optionGroup(f->groupBoxBroshOuterDensity);
    job.bindingKind = optionGroup(f->checkboxGroupBrosh_4);
    job.binding = optionGroup(f->checkboxGroupBrosh_1);
    job.coverLamination = optionGroup(f->checkboxGroupBrosh_5);
    job.innerLamination = optionGroup(f->checkboxGroupBrosh);
    job.coverVarnish = optionGroup(f->checkboxGroupBrosh_6);
    job.innerVarnish = optionGroup(f->checkboxGroupBrosh_2);
    job.other = optionGroup(f->checkboxGroupBrosh_3);
    job.customSize = f->radioButtonOtherBrosh->isChecked();
    job.width = f->lineEditWidthBrosh->text();
    job.height = f->lineEditHeightBrosh->text();
    job.quantity = f->lineEdit_10->text();
    job.innerSheets = f->lineEdit_21->text();
    return job;
}

// One line of the family "01" (per sheet), "51" or "61" (quantity tiers). Cover and inner
// sheets are looked up in the same family; the key text names the cover's key.
void MainWindow::appendBrochureLine(const QString &family)
{
    appendOrderLine(quoteBrochure(brochureJob(), family, prices()).orderLine());
    clearExtras(form->page_2);
}

void MainWindow::page1_2_answer()
{
    followPriceVersion();
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
