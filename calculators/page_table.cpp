// The table of the pricing pages.
#include "calculators/page_table.h"

#include "app/mainwindow.h"
#include "form/mainwindow_form.h"
#include "pricing/page_pricing.h"

void MainWindow::initPricingPages()
{
    MainWindowForm *f = form.data();
    pricingPages = {
        {f->page,
         f->toolBox->itemText(0),
         f->pushButton,
         {f->lineEditWidth, f->lineEditHeight, f->lineEdit},
         {f->checkboxGroupList, f->checkboxGroupList_1, f->checkboxGroupList_4,
          f->checkboxGroupList_2, f->checkboxGroupList_3},
         QStringLiteral("labelLivePrice_1_1"),
         {622, 300, 362, 84},
         [this] {
             followPriceVersion();
             return priceSheetProducts(sheetProductsJob(), prices());
         },
         f->groupBoxListType,
         f->groupBoxListDensity,
         QStringLiteral("pushButtonCompare_1_1"),
         {394, 212},
         QStringLiteral("бумагах и плотностях"),
         [this](const AlternativeChoices &choices) {
             followPriceVersion();
             return sheetProductsAlternatives(sheetProductsJob(), choices, prices());
         }},
        {f->page_2,
         f->toolBox->itemText(1),
         f->pushButton_2,
         {f->lineEditWidthBrosh, f->lineEditHeightBrosh, f->lineEdit_21, f->lineEdit_10},
         {f->checkboxGroupBrosh_4, f->checkboxGroupBrosh_1, f->checkboxGroupBrosh_5,
          f->checkboxGroupBrosh, f->checkboxGroupBrosh_6, f->checkboxGroupBrosh_2,
          f->checkboxGroupBrosh_3},
         QStringLiteral("labelLivePrice_1_2"),
         {615, 316, 350, 68},
         [this] {
             followPriceVersion();
             return priceBrochures(brochureJob(), prices());
         },
         f->groupBoxBroshInnerType,
         f->groupBoxBroshInnerDensity,
         QStringLiteral("pushButtonCompare_1_2"),
         {390, 352},
         QStringLiteral("бумагах и плотностях внутренних листов"),
         [this](const AlternativeChoices &choices) {
             followPriceVersion();
             return brochureAlternatives(brochureJob(), choices, prices());
         }},
        {f->page_3,
         f->toolBox_2->itemText(0),
         f->pushButton_12,
         {f->lineEditWidthStreet, f->lineEditHeightStreet, f->lineEdit_14},
         {f->checkboxGroupStreet, f->checkboxGroupStreet_2, f->checkboxGroupStreet_1,
          f->groupBox_9},
         QStringLiteral("labelLivePrice_2_1"),
         {600, 352, 425, 36},
         [this] {
             followPriceVersion();
             return priceStreet(streetJob(), prices());
         },
         f->groupBoxListStreetMaterial,
         f->groupBoxListStreetColor,
         QStringLiteral("pushButtonCompare_2_1"),
         {310, 315},
         QStringLiteral("материалах и качествах печати"),
         [this](const AlternativeChoices &choices) {
             followPriceVersion();
             return streetAlternatives(streetJob(), choices, prices());
         }},
        {f->page_4,
         f->toolBox_2->itemText(1),
         f->pushButton_9,
         {f->lineEditWidthInterer, f->lineEditHeightInterer, f->lineEdit_12},
         {f->checkboxGroupInterer, f->checkboxGroupInterer_1, f->checkboxGroupInterer_2,
          f->checkboxGroupInterer_3, f->checkboxGroupInterer_4},
         QStringLiteral("labelLivePrice_2_2"),
         {940, 296, 300, 34},
         [this] {
             followPriceVersion();
             return priceInterior(interiorJob(), prices());
         },
         f->groupBoxIntererType,
         f->groupBoxIntererDensity,
         QStringLiteral("pushButtonCompare_2_2"),
         {370, 305},
         QStringLiteral("бумагах и плотностях"),
         [this](const AlternativeChoices &choices) {
             followPriceVersion();
             return interiorAlternatives(interiorJob(), choices, prices());
         }},
        {f->page_5,
         f->toolBox_3->itemText(0),
         f->pushButton_15,
         {f->lineEditWidth_7, f->lineEditHeight_4, f->lineEdit_16},
         {f->checkboxGroupPrint},
         QStringLiteral("labelLivePrice_3_1"),
         {786, 306, 240, 78},
         [this] {
             followPriceVersion();
             return priceSouvenir(souvenirJob(), prices());
         }},
    };
}

const PricingPageParts *MainWindow::pricingPageOf(const QWidget *page) const
{
    for (const PricingPageParts &parts : pricingPages)
        if (parts.page == page)
            return &parts;
    return nullptr;
}

void MainWindow::clearExtras(const QWidget *page)
{
    if (const PricingPageParts *parts = pricingPageOf(page))
        for (QGroupBox *group : parts->extrasGroups)
            clearGroup(group);
}
