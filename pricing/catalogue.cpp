// The pages' groups, options and fields as the form shows them, and jobs read from a client's
// object names.
#include "pricing/catalogue.h"

#include "order/money.h"
#include "order/order_status.h"
#include "prices/price_versions.h"
#include "pricing/json_text.h"
#include "pricing/line_wording.h"
#include "pricing/page_pricing.h"

#include <QHash>
#include <QJsonArray>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <tuple>
#include <type_traits>
#include <utility>

namespace {

// The top of the form's number fields.
const int FieldLimit = 100500;
const int InnerSheetsLimit = 1000;

struct OptionFact
{
    const char *id;
    const char *caption;
    bool checked = false;
};

CatalogueGroup group(const char *id, const char *title, bool multiple,
                     std::initializer_list<OptionFact> options)
{
    CatalogueGroup group {QLatin1String(id), QString::fromUtf8(title), multiple, {}};
    for (const OptionFact &option : options)
        group.options.append(
            {QLatin1String(option.id), QString::fromUtf8(option.caption), option.checked});
    return group;
}

struct FieldFact
{
    const char *id;
    const char *title;
    const char *initial = "";
    const char *option = "";
    int max = FieldLimit;
};

CataloguePage page(PricingPage kind, const char *title, QVector<CatalogueGroup> groups)
{
    CataloguePage page;
    page.page = kind;
    page.title = QString::fromUtf8(title);
    page.groups = std::move(groups);
    return page;
}

void addFields(CataloguePage &page, const char *customSize, std::initializer_list<FieldFact> facts)
{
    page.customSize = QLatin1String(customSize);
    for (const FieldFact &fact : facts)
        page.fields.append({QLatin1String(fact.id), QString::fromUtf8(fact.title), 0, fact.max,
                            QLatin1String(fact.initial), QLatin1String(fact.option)});
}

QVector<CataloguePage> makeCatalogue()
{
    using P = PricingPage;
    QVector<CataloguePage> pages;
    pages.append(page(P::SheetProducts, "Листовая продукция",
                      {group("groupBoxListFormat", "Формат", false,
                             {{"radioButton", "А6 (105х148 мм.)", true},
                              {"radioButton_2", "А5 (148х210 мм.)"},
                              {"radioButton_3", "А4 (210х297 мм.)"},
                              {"radioButton_4", "А3 (297х420 мм.)"},
                              {"radioButton_5", "SRA3 (320х450 мм.)"},
                              {"radioButton_6", "Евроформат (98х210 мм.)"},
                              {"radioButton_7", "Визитки (90х50 мм.)"},
                              {"radioButton_8", "Визитки евро (85х55 мм.)"},
                              {"radioButton_9", "Конверты *"},
                              {"radioButton_10", "Пакеты *"},
                              {"radioButtonOther", "Другой"}}),
                       group("groupBoxListColor", "Цветность", false,
                             {{"radioButton_24", "1+0", true},
                              {"radioButton_25", "1+1"},
                              {"radioButton_26", "4+0"},
                              {"radioButton_27", "4+1"},
                              {"radioButton_28", "4+4"}}),
                       group("groupBoxListType", "Тип Бумаги", false,
                             {{"radioButton_47", "Простая", true},
                              {"radioButton_48", "Цветная"},
                              {"radioButton_49", "Матовая"},
                              {"radioButton_50", "Глянцевая"},
                              {"radioButton_51", "Текстурная"},
                              {"radioButton_52", "Плайк"},
                              {"radioButton_53", "Дизайнерская"},
                              {"radioButton_54", "Самоклеющаяся"},
                              {"radioButton_55", "Синтетическая"},
                              {"radioButton_56", "Самокопирующаяся"}}),
                       group("groupBoxListDensity", "Плотность (гр./м2)", false,
                             {{"radioButton_70", "80", true},
                              {"radioButton_71", "90"},
                              {"radioButton_72", "120"},
                              {"radioButton_73", "170"},
                              {"radioButton_74", "200"},
                              {"radioButton_75", "250"},
                              {"radioButton_76", "300"},
                              {"radioButton_77", "320"},
                              {"radioButton_78", "350"}}),
                       group("checkboxGroupList", "Ламинация", false,
                             {{"radioButton_136", "30 мкм Матовая"},
                              {"radioButton_132", "30 мкм Глянцевая"},
                              {"radioButton_137", "100 мкм Матовая"},
                              {"radioButton_133", "100 мкм Глянцевая"},
                              {"radioButton_138", "175 мкм Матовая"},
                              {"radioButton_134", "175 мкм Глянцевая"},
                              {"radioButton_145", "250 мкм Матовая"},
                              {"radioButton_135", "250 мкм Глянцевая"}}),
                       group("checkboxGroupList_1", "Брошюровка", false,
                             {{"radioButton_150", "Метал до 20 стр."},
                              {"radioButton_146", "Пластик до 20 стр."},
                              {"radioButton_151", "Метал до 50 стр."},
                              {"radioButton_147", "Пластик до 50 стр."},
                              {"radioButton_153", "Метал до 100 стр."},
                              {"radioButton_148", "Пластик до 100 стр."},
                              {"radioButton_152", "Метал до 100 стр."},
                              {"radioButton_149", "Пластик более 100 стр."}}),
                       group("checkboxGroupList_2", "Шелкография", true,
                             {{"checkBox_161", "1+0 лак"}, {"checkBox_162", "0+1 лак"}}),
                       group("checkboxGroupList_3", "Биговка / Фальцовка", false,
                             {{"radioButton_154", "Биговка / Фальцовка"},
                              {"radioButton_155", "Биговка / Фальцовка"},
                              {"radioButton_156", "Биговка / Фальцовка"},
                              {"radioButton_157", "Биговка / Фальцовка"}}),
                       group("checkboxGroupList_4", "Прочие работы", true,
                             {{"checkBox_27", "Обрезка по изображению"},
                              {"checkBox_28", "Тиснение фольгой"},
                              {"checkBox_34", "Обрезка углов 4 шт."}})}));
    pages.append(page(P::Brochures, "Брошюры",
                      {group("groupBoxBroshFormat", "Формат", false,
                             {{"radioButton_93", "А6 (105х148 мм.)", true},
                              {"radioButton_94", "А5 (148х210 мм.)"},
                              {"radioButton_95", "А4 (210х297 мм.)"},
                              {"radioButton_96", "А3 (297х420 мм.)"},
                              {"radioButton_97", "SRA3 (320х450 мм.)"},
                              {"radioButtonOtherBrosh", "Другой"}}),
                       group("groupBoxBroshInnerColor", "Цветность внутри", false,
                             {{"radioButton_116", "1+0", true},
                              {"radioButton_117", "1+1"},
                              {"radioButton_118", "4+0"},
                              {"radioButton_119", "4+1"},
                              {"radioButton_120", "4+4"}}),
                       group("groupBoxBroshInnerType", "Тип бумаги", false,
                             {{"radioButton_139", "Простая", true},
                              {"radioButton_140", "Цветная"},
                              {"radioButton_141", "Матовая"},
                              {"radioButton_142", "Глянцевая"},
                              {"radioButton_143", "Текстурная"},
                              {"radioButton_144", "Дизайнерская"}}),
                       group("groupBoxBroshInnerDensity", "Плотность (гр./м2)", false,
                             {{"radioButton_162", "80", true},
                              {"radioButton_163", "90"},
                              {"radioButton_164", "120"},
                              {"radioButton_165", "170"},
                              {"radioButton_166", "200"}}),
                       group("groupBoxBroshOuterColor", "Цветность Обложки", false,
                             {{"radioButton_415", "1+0", true},
                              {"radioButton_416", "1+1"},
                              {"radioButton_417", "4+0"},
                              {"radioButton_418", "4+1"},
                              {"radioButton_419", "4+4"}}),
                       group("groupBoxBroshOuterType", "Тип бумаги", false,
                             {{"radioButton_438", "Простая", true},
                              {"radioButton_439", "Цветная"},
                              {"radioButton_440", "Матовая"},
                              {"radioButton_441", "Глянцевая"},
                              {"radioButton_442", "Текстурная"},
                              {"radioButton_443", "Плайк"},
                              {"radioButton_444", "Дизайнерская"}}),
                       group("groupBoxBroshOuterDensity", "Плотность (гр./м2)", false,
                             {{"radioButton_461", "80", true},
                              {"radioButton_462", "90"},
                              {"radioButton_463", "120"},
                              {"radioButton_464", "170"},
                              {"radioButton_465", "200"},
                              {"radioButton_466", "250"},
                              {"radioButton_467", "300"},
                              {"radioButton_468", "320"},
                              {"radioButton_469", "350"}}),
                       group("checkboxGroupBrosh_4", "Переплет", false,
                             {{"radioButton_181", "На пружине"},
                              {"radioButton_180", "На скрепке"},
                              {"radioButton_179", "Клеевой"}}),
                       group("checkboxGroupBrosh_1", "Брошюровка", false,
                             {{"radioButton_173", "Метал до 20 стр."},
                              {"radioButton_176", "Пластик до 20 стр."},
                              {"radioButton_178", "Метал до 50 стр."},
                              {"radioButton_175", "Пластик до 50 стр."},
                              {"radioButton_171", "Метал до 100 стр."},
                              {"radioButton_177", "Пластик до 100 стр."},
                              {"radioButton_174", "Метал до 100 стр."},
                              {"radioButton_172", "Пластик более 100 стр."}}),
                       group("checkboxGroupBrosh_5", "Ламинация Обложки", false,
                             {{"radioButton_182", "30 мкм Матовая"},
                              {"radioButton_186", "30 мкм Глянцевая"},
                              {"radioButton_185", "100 мкм Матовая"},
                              {"radioButton_187", "100 мкм Глянцевая"},
                              {"radioButton_184", "175 мкм Матовая"},
                              {"radioButton_188", "175 мкм Глянцевая"},
                              {"radioButton_183", "250 мкм Матовая"},
                              {"radioButton_189", "250 мкм Глянцевая"}}),
                       group("checkboxGroupBrosh", "Ламинация вутри", false,
                             {{"radioButton_167", "30 мкм Матовая"},
                              {"radioButton_169", "30 мкм Глянцевая"},
                              {"radioButton_159", "100 мкм Матовая"},
                              {"radioButton_160", "100 мкм Глянцевая"},
                              {"radioButton_168", "175 мкм Матовая"},
                              {"radioButton_170", "175 мкм Глянцевая"},
                              {"radioButton_158", "250 мкм Матовая"},
                              {"radioButton_161", "250 мкм Глянцевая"}}),
                       group("checkboxGroupBrosh_6", "Шелкография Обложки", true,
                             {{"checkBox_18", "1+0 лак"}, {"checkBox_19", "0+1 лак"}}),
                       group("checkboxGroupBrosh_2", "Шелкография внутри", true,
                             {{"checkBox_14", "0+1 лак"}, {"checkBox_16", "1+0 лак"}}),
                       group("checkboxGroupBrosh_3", "Прочие", true,
                             {{"checkBox_17", "Обрезка углов 4 шт."},
                              {"checkBox_13", "Обрезка по изображению"},
                              {"checkBox_15", "Биг"}})}));
    pages.append(page(P::Street, "Уличная",
                      {group("groupBoxListStreetFormat", "Размер", false, {}),
                       group("groupBoxListStreetMaterial", "Материал", false,
                             {{"radioButton_11", "Самоклеющаяся плёнка"},
                              {"radioButton_12", "Самоклеющаяся плёнка Backlit"},
                              {"radioButton_13", "Баннерная ткань (Корея) 440 гр."},
                              {"radioButton_14", "Баннерная ткань (Бельгия) 440 гр."},
                              {"radioButton_19", "Баннерная ткань (Китай) 320 гр."},
                              {"radioButton_20", "Баннерная ткань Blackout"},
                              {"radioButton_21", "Баннерная сетка"},
                              {"radioButton_22", "Баннерная ткань Backlit"},
                              {"radioButton_23", "Бумага Blue Back 115 гр."},
                              {"radioButton_29", "Бумага постерная 150 гр."},
                              {"radioButton_30", "Перфорированная плёнка"},
                              {"radioButton_31", "Полиэстр"},
                              {"radioButton_33", "Фотообои"},
                              {"radioButton_39", "Холст"}}),
                       group("groupBoxListStreetColor", "Качество печати", false,
                             {{"radioButton_112", "360 dpi"},
                              {"radioButton_113", "540 dpi"},
                              {"radioButton_114", "720 dpi"},
                              {"radioButton_115", "720 dpi"},
                              {"radioButton_121", "1140 dpi"}}),
                       group("checkboxGroupStreet", "Тип плёнки", true,
                             {{"checkBox_40", "Глянцевая"}, {"checkBox_41", "Матовая"}}),
                       group("checkboxGroupStreet_1", "Основа", false,
                             {{"radioButton_122", "Пластик 2 мм."},
                              {"radioButton_123", "Пластик 4 мм."},
                              {"radioButton_124", "Пластик 6 мм."},
                              {"radioButton_125", "Пластик 8 мм."},
                              {"radioButton_126", "Пластик 10 мм."},
                              {"radioButton_127", "Композит"},
                              {"radioButton_128", "Пенокартон 3 мм."},
                              {"radioButton_129", "Пенокартон 4 мм."}}),
                       group("checkboxGroupStreet_2", "Постпечатка", true,
                             {{"checkBox_50", "Проклейка"},
                              {"checkBox_51", "Прошивка"},
                              {"checkBox_52", "Перфорация"},
                              {"checkBox_53", "Проклейка карманов"},
                              {"checkBox_54", "Прошивка карманов"},
                              {"checkBox_55", "Ламинация"},
                              {"checkBox_56", "Монтаж"}}),
                       group("groupBox_9", "Информационные стенды", false, {}),
                       group("checkboxGroupStreet_3", "Размер карманов", true,
                             {{"checkBox_59", "А3"},
                              {"checkBox_60", "А4"},
                              {"checkBox_61", "А5"},
                              {"checkBox_62", "А6"},
                              {"checkBox_63", "Визитки"},
                              {"checkBox_64", "Другой"}})}));
    pages.append(page(P::Interior, "Интерьерная",
                      {group("groupBoxIntererFormat", "Формат", false,
                             {{"radioButton_15", "А2 (420х594 мм.)"},
                              {"radioButton_16", "А1 (594х841 мм.)"},
                              {"radioButton_17", "А0 (841х1189 мм.)"},
                              {"radioButtonOtherInterer", "Другой"}}),
                       group("groupBoxIntererColor", "Цветность", false,
                             {{"radioButton_34", "1+0", true},
                              {"radioButton_35", "4+0"},
                              {"radioButton_36", "Заливка 5 %"},
                              {"radioButton_37", "Заливка 50 %"},
                              {"radioButton_38", "Заливка 100 %"}}),
                       group("groupBoxIntererType", "Тип бумаги", false,
                             {{"radioButton_40", "Простая"},
                              {"radioButton_41", "Матовая"},
                              {"radioButton_42", "Глянцевая"},
                              {"radioButton_43", "Самоклеющаяся"}}),
                       group("groupBoxIntererDensity", "Плотность бумаги гр./м2", false,
                             {{"radioButton_45", "80"},
                              {"radioButton_46", "120"},
                              {"radioButton_57", "160"},
                              {"radioButton_58", "200"}}),
                       group("checkboxGroupInterer", "Основа", true,
                             {{"checkBox_70", "Пластик 2 мм."},
                              {"checkBox_71", "Пластик 4 мм."},
                              {"checkBox_72", "Пластик 6 мм."},
                              {"checkBox_73", "Пластик 8 мм."},
                              {"checkBox_74", "Пластик 10 мм."},
                              {"checkBox_75", "Композит"},
                              {"checkBox_76", "Пенокартон 3 мм."},
                              {"checkBox_77", "Пенокартон 4 мм."}}),
                       group("checkboxGroupInterer_1", "Фальцовка", true,
                             {{"checkBox_78", "А3"},
                              {"checkBox_79", "А2"},
                              {"checkBox_80", "А1"},
                              {"checkBox_81", "А0"},
                              {"checkBox_82", "Нестандарт"}}),
                       group("checkboxGroupInterer_2", "Брошюровка", true,
                             {{"checkBox_83", "Пластик до 20 стр."},
                              {"checkBox_84", "Пластик до 50 стр."},
                              {"checkBox_85", "Пластик до 100 стр."},
                              {"checkBox_86", "Пластик более 100 стр."},
                              {"checkBox_88", "Метал до 20 стр."},
                              {"checkBox_89", "Метал до 50 стр."},
                              {"checkBox_90", "Метал до 100 стр."},
                              {"checkBox_87", "Метал более 100 стр."}}),
                       group("checkboxGroupInterer_3", "Ламинация", true,
                             {{"checkBox_111", "30 мкм Глянцевая"},
                              {"checkBox_115", "30 мкм Матовая"},
                              {"checkBox_113", "100 мкм Глянцевая"},
                              {"checkBox_109", "100 мкм Матовая"},
                              {"checkBox_114", "175 мкм Глянцевая"},
                              {"checkBox_108", "175 мкм Матовая"},
                              {"checkBox_110", "250 мкм Глянцевая"},
                              {"checkBox_112", "250 мкм Матовая"}}),
                       group("checkboxGroupInterer_4", "Прочие работы", true,
                             {{"checkBox_152", "Обрезка углов 4 шт."},
                              {"checkBox_148", "Тиснение фольгой"},
                              {"checkBox_107", "Обрезка по изображению"}})}));
    pages.append(page(P::Souvenir, "Печать",
                      {group("groupBoxListFormat_2", "Размер изображения", false,
                             {{"radioButton_131", "Визитки евро (85х55 мм.)"},
                              {"radioButton_130", "Визитки (90х50 мм.)"},
                              {"radioButton_69", "А7 (74х105 мм.)", true},
                              {"radioButton_65", "А6 (105х148 мм.)"},
                              {"radioButton_60", "А5 (148х210 мм.)"},
                              {"radioButton_67", "А4 (210х297 мм.)"},
                              {"radioButton_66", "А3 (297х420 мм.)"},
                              {"radioButtonOther_2", "Другой"}}),
                       group("groupBoxListColor_4", "Цветность", false,
                             {{"radioButton_59", "1+0", true},
                              {"radioButton_61", "1+1"},
                              {"radioButton_62", "4+0"},
                              {"radioButton_63", "4+1"},
                              {"radioButton_64", "4+4"}}),
                       group("groupBoxListType_2", "Тип материала", false,
                             {{"radioButton_68", "Кружки"},
                              {"radioButton_32", "Матовая"},
                              {"radioButton_79", "Ручки"},
                              {"radioButton_44", "Глянцевая"},
                              {"radioButton_80", "Футболки"},
                              {"radioButton_83", "Текстурная"},
                              {"radioButton_81", "Бейсболки"},
                              {"radioButton_85", "Плайк"},
                              {"radioButton_82", "Паззл"},
                              {"radioButton_87", "Дизайнерская"},
                              {"radioButton_84", "Диски"},
                              {"radioButton_86", "Костеры"},
                              {"radioButton_88", "Другое"},
                              {"radioButton_89", "Без материала"}}),
                       group("checkboxGroupPrint", "Цвет материала", true,
                             {{"checkBox_116", "Светлый"}, {"checkBox_117", "Темный"}})}));
    return pages;
}

QVector<CataloguePage> makePages()
{
    QVector<CataloguePage> pages = makeCatalogue();
    const char *const width = "Ширина";
    const char *const height = "Высота";
    const char *const quantity = "Кол-во";
    addFields(pages[0], "radioButtonOther",
              {{"lineEditWidth", width}, {"lineEditHeight", height}, {"lineEdit", quantity, "1"}});
    addFields(pages[1], "radioButtonOtherBrosh",
              {{"lineEditWidthBrosh", width},
               {"lineEditHeightBrosh", height},
               {"lineEdit_21", "Кол-во листов внутри", "1", "", InnerSheetsLimit},
               {"lineEdit_10", quantity, "1"}});
    // A stand's pockets are counted beside their check boxes, which name them.
    addFields(pages[2], "",
              {{"lineEditWidthStreet", width},
               {"lineEditHeightStreet", height},
               {"lineEdit_14", quantity, "1"},
               {"lineEdit_3", "А3", "", "checkBox_59"},
               {"lineEdit_4", "А4", "", "checkBox_60"},
               {"lineEdit_5", "А5", "", "checkBox_61"},
               {"lineEdit_6", "А6", "", "checkBox_62"},
               {"lineEdit_7", "Визитки", "", "checkBox_63"},
               {"lineEdit_8", "Другой", "", "checkBox_64"}});
    addFields(pages[3], "radioButtonOtherInterer",
              {{"lineEditWidthInterer", width},
               {"lineEditHeightInterer", height},
               {"lineEdit_12", quantity, "1"}});
    addFields(
        pages[4], "radioButtonOther_2",
        {{"lineEditWidth_7", width}, {"lineEditHeight_4", height}, {"lineEdit_16", quantity, "1"}});
    return pages;
}

// Where a page's job keeps each group and field: the object names the window reads them from.
template<typename Job> struct Binding
{
    QVector<std::pair<const char *, OptionGroup Job::*>> groups;
    QVector<std::pair<const char *, QString Job::*>> fields;
};

Binding<SheetProductsJob> bindingOf(const SheetProductsJob *)
{
    using J = SheetProductsJob;
    return {
        {{"groupBoxListFormat", &J::format},
         {"groupBoxListColor", &J::colour},
         {"groupBoxListType", &J::type},
         {"groupBoxListDensity", &J::density},
         {"checkboxGroupList", &J::lamination},
         {"checkboxGroupList_1", &J::binding},
         {"checkboxGroupList_2", &J::varnish},
         {"checkboxGroupList_3", &J::creasing},
         {"checkboxGroupList_4", &J::other}},
        {{"lineEditWidth", &J::width}, {"lineEditHeight", &J::height}, {"lineEdit", &J::quantity}}};
}

Binding<BrochureJob> bindingOf(const BrochureJob *)
{
    using J = BrochureJob;
    return {{{"groupBoxBroshFormat", &J::format},
             {"groupBoxBroshInnerColor", &J::innerColour},
             {"groupBoxBroshInnerType", &J::innerType},
             {"groupBoxBroshInnerDensity", &J::innerDensity},
             {"groupBoxBroshOuterColor", &J::coverColour},
             {"groupBoxBroshOuterType", &J::coverType},
             {"groupBoxBroshOuterDensity", &J::coverDensity},
             {"checkboxGroupBrosh_4", &J::bindingKind},
             {"checkboxGroupBrosh_1", &J::binding},
             {"checkboxGroupBrosh_5", &J::coverLamination},
             {"checkboxGroupBrosh", &J::innerLamination},
             {"checkboxGroupBrosh_6", &J::coverVarnish},
             {"checkboxGroupBrosh_2", &J::innerVarnish},
             {"checkboxGroupBrosh_3", &J::other}},
            {{"lineEditWidthBrosh", &J::width},
             {"lineEditHeightBrosh", &J::height},
             {"lineEdit_10", &J::quantity},
             {"lineEdit_21", &J::innerSheets}}};
}

Binding<StreetJob> bindingOf(const StreetJob *)
{
    using J = StreetJob;
    return {{{"groupBoxListStreetFormat", &J::size},
             {"groupBoxListStreetMaterial", &J::material},
             {"groupBoxListStreetColor", &J::quality},
             {"checkboxGroupStreet", &J::film},
             {"checkboxGroupStreet_1", &J::base},
             {"checkboxGroupStreet_2", &J::postPress},
             {"groupBox_9", &J::stand},
             {"checkboxGroupStreet_3", &J::pocketSizes}},
            {{"lineEditWidthStreet", &J::width},
             {"lineEditHeightStreet", &J::height},
             {"lineEdit_14", &J::quantity}}};
}

Binding<InteriorJob> bindingOf(const InteriorJob *)
{
    using J = InteriorJob;
    return {{{"groupBoxIntererFormat", &J::format},
             {"groupBoxIntererColor", &J::colour},
             {"groupBoxIntererType", &J::paper},
             {"groupBoxIntererDensity", &J::density},
             {"checkboxGroupInterer", &J::base},
             {"checkboxGroupInterer_1", &J::folding},
             {"checkboxGroupInterer_2", &J::binding},
             {"checkboxGroupInterer_3", &J::lamination},
             {"checkboxGroupInterer_4", &J::other}},
            {{"lineEditWidthInterer", &J::width},
             {"lineEditHeightInterer", &J::height},
             {"lineEdit_12", &J::quantity}}};
}

Binding<SouvenirJob> bindingOf(const SouvenirJob *)
{
    using J = SouvenirJob;
    return {{{"groupBoxListFormat_2", &J::size},
             {"groupBoxListColor_4", &J::colours},
             {"groupBoxListType_2", &J::material},
             {"checkboxGroupPrint", &J::materialColour}},
            {{"lineEditWidth_7", &J::width},
             {"lineEditHeight_4", &J::height},
             {"lineEdit_16", &J::quantity}}};
}

QString quoted(const QString &text)
{
    return QStringLiteral("«") + text + QStringLiteral("»");
}

// A page ready for many requests: where each option and field sits, and each option as the job
// carries it with the version's value and key.
struct PageIndex
{
    const CataloguePage *page = nullptr;
    struct Place
    {
        int group = 0;
        int option = 0;
    };
    QHash<QString, Place> options;
    QHash<QString, int> fields;
    QVector<QVector<OptionChoice>> choices; // by group, then option
    QVector<int> firstOption; // each group's first option's place among all the page's options
    int optionCount = 0;
    int customSize = -1; // the group of the custom-size option, -1 when the page has none
    int customSizeOption = -1;
};

PageIndex indexPage(const CataloguePage &page, const PriceVersion &version)
{
    PageIndex index;
    index.page = &page;
    for (int g = 0; g < page.groups.size(); ++g) {
        const CatalogueGroup &group = page.groups.at(g);
        QVector<OptionChoice> choices;
        index.firstOption.append(index.optionCount);
        index.optionCount += group.options.size();
        for (int o = 0; o < group.options.size(); ++o) {
            const CatalogueOption &option = group.options.at(o);
            // The first group holding an id is the one a request's id is checked against.
            if (!index.options.contains(option.id))
                index.options.insert(option.id, {g, o});
            OptionChoice choice {option.id, 0.0, option.caption, !group.multiple, QString()};
            choice.value = optionValue(version, option.id, &choice.key);
            choices.append(choice);
            if (option.id == page.customSize) {
                index.customSize = g;
                index.customSizeOption = o;
            }
        }
        index.choices.append(choices);
    }
    for (int f = 0; f < page.fields.size(); ++f)
        index.fields.insert(page.fields.at(f).id, f);
    return index;
}

// What the client asked for, checked against the page: the options chosen and the fields' texts
// as the form's fields would hold them, by field.
struct Request
{
    const PageIndex *index = nullptr;
    QVarLengthArray<bool, 256> chosen; // by the option's place among the page's options
    QVarLengthArray<QString, 16> fields;

    bool has(int group, int option) const { return chosen[index->firstOption.at(group) + option]; }
    void choose(int group, int option) { chosen[index->firstOption.at(group) + option] = true; }
};

// Where the page's groups and fields sit for the job's members, found once: the catalogue never
// changes.
template<typename Job> struct Places
{
    QVector<std::pair<int, OptionGroup Job::*>> groups;
    QVector<std::tuple<int, QString Job::*, bool>> fields; // the field, its member, a typed size
};

template<typename Job> const Places<Job> &placesOf(const CataloguePage &page)
{
    static const Places<Job> places = [&page] {
        Places<Job> found;
        const Binding<Job> binding = bindingOf(static_cast<const Job *>(nullptr));
        for (const auto &[id, member] : binding.groups) {
            int group = -1;
            for (int g = 0; g < page.groups.size(); ++g) {
                if (page.groups.at(g).id == QLatin1String(id))
                    group = g;
            }
            Q_ASSERT(group >= 0);
            found.groups.append({group, member});
        }
        for (const auto &[id, member] : binding.fields) {
            const QString name = QLatin1String(id);
            int field = -1;
            for (int f = 0; f < page.fields.size(); ++f) {
                if (page.fields.at(f).id == name)
                    field = f;
            }
            Q_ASSERT(field >= 0);
            const bool size = name.startsWith(QLatin1String("lineEditWidth"))
                || name.startsWith(QLatin1String("lineEditHeight"));
            found.fields.append({field, member, size});
        }
        return found;
    }();
    return places;
}

template<typename Job> Job buildJob(const PageIndex &index, const Request &request)
{
    const CataloguePage &page = *index.page;
    Job job;
    const Places<Job> &places = placesOf<Job>(page);
    for (const auto &[g, member] : places.groups) {
        OptionGroup &options = job.*member;
        options.title = page.groups.at(g).title;
        const QVector<OptionChoice> &choices = index.choices.at(g);
        for (int o = 0; o < choices.size(); ++o) {
            if (request.has(g, o))
                options.checked.append(choices.at(o));
        }
    }
    const bool custom = page.customSize.isEmpty()
        || (index.customSize >= 0 && request.has(index.customSize, index.customSizeOption));
    // A standard format clears the typed size, as the page does when it hides it.
    for (const auto &[f, member, size] : places.fields)
        job.*member = size && !custom ? QString() : request.fields.at(f);
    if constexpr (std::is_same_v<Job, StreetJob>) {
        for (const OptionChoice &box : job.pocketSizes.checked) {
            for (int f = 0; f < page.fields.size(); ++f) {
                if (page.fields.at(f).option == box.name)
                    job.pockets.append({box, request.fields.at(f)});
            }
        }
    } else {
        job.customSize = custom;
    }
    return job;
}

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

const CatalogueGroup *CataloguePage::groupOf(const QString &optionId) const
{
    for (const CatalogueGroup &group : groups) {
        for (const CatalogueOption &option : group.options) {
            if (option.id == optionId)
                return &group;
        }
    }
    return nullptr;
}

const CatalogueField *CataloguePage::field(const QString &id) const
{
    for (const CatalogueField &candidate : fields) {
        if (candidate.id == id)
            return &candidate;
    }
    return nullptr;
}

const QVector<CataloguePage> &catalogue()
{
    static const QVector<CataloguePage> pages = makePages();
    return pages;
}

const CataloguePage *cataloguePage(PricingPage page)
{
    for (const CataloguePage &candidate : catalogue()) {
        if (candidate.page == page)
            return &candidate;
    }
    return nullptr;
}

QJsonObject catalogueJson(const PriceVersion &version)
{
    QJsonArray pages;
    for (const CataloguePage &page : catalogue()) {
        QJsonArray groups;
        for (const CatalogueGroup &group : page.groups) {
            if (group.options.isEmpty())
                continue;
            QJsonArray options;
            for (const CatalogueOption &option : group.options) {
                QJsonObject item {{QStringLiteral("id"), option.id},
                                  {QStringLiteral("caption"), option.caption}};
                if (option.checked)
                    item.insert(QStringLiteral("checked"), true);
                options.append(item);
            }
            groups.append(QJsonObject {{QStringLiteral("id"), group.id},
                                       {QStringLiteral("title"), group.title},
                                       {QStringLiteral("multiple"), group.multiple},
                                       {QStringLiteral("options"), options}});
        }
        QJsonArray fields;
        for (const CatalogueField &field : page.fields) {
            QJsonObject item {
                {QStringLiteral("id"), field.id},
                {QStringLiteral("title"), field.title},
                {QStringLiteral("min"), field.min},
                {QStringLiteral("max"), field.max},
                {QStringLiteral("default"),
                 field.initial.isEmpty() ? QJsonValue() : QJsonValue(field.initial.toInt())}};
            if (!field.option.isEmpty())
                item.insert(QStringLiteral("option"), field.option);
            fields.append(item);
        }
        QJsonObject item {{QStringLiteral("id"), pageName(page.page)},
                          {QStringLiteral("title"), page.title},
                          {QStringLiteral("groups"), groups},
                          {QStringLiteral("fields"), fields}};
        if (!page.customSize.isEmpty())
            item.insert(QStringLiteral("customSize"), page.customSize);
        pages.append(item);
    }
    return {{QStringLiteral("version"), version.info.number}, {QStringLiteral("pages"), pages}};
}

struct CatalogueIndex::Pages
{
    QVector<PageIndex> pages; // by PricingPage
    QHash<QString, PricingPage> byName;
};

CatalogueIndex::CatalogueIndex(const PriceVersion &version)
{
    auto pages = std::make_shared<Pages>();
    for (const CataloguePage &page : catalogue()) {
        if (pages->pages.size() <= int(page.page))
            pages->pages.resize(int(page.page) + 1);
        pages->pages[int(page.page)] = indexPage(page, version);
        pages->byName.insert(pageName(page.page), page.page);
    }
    d = std::move(pages);
}

bool CatalogueIndex::jobFrom(const QJsonValue &value, PricedJob *job, QString *error) const
{
    JobRequest request;
    if (!jobRequestFrom(value, &request))
        return fail(error, QStringLiteral("Заказ должен быть объектом JSON"));
    return jobFrom(request, job, error);
}

bool CatalogueIndex::jobFrom(const JobRequest &asked, PricedJob *job, QString *error) const
{
    const QJsonValue &pageValue = asked.page;
    if (!pageValue.isString())
        return fail(error, QStringLiteral("Поле «page»: ожидается строка"));
    const auto named = d->byName.constFind(pageValue.toString());
    if (named == d->byName.constEnd())
        return fail(error,
                    QStringLiteral("Поле «page»: неизвестная страница ")
                        + quoted(pageValue.toString()));
    const PricingPage kind = *named;
    const PageIndex &index = d->pages.at(int(kind));
    const CataloguePage &page = *index.page;
    if (asked.unknownMember)
        return fail(error,
                    QStringLiteral("Поле ") + quoted(asked.unknownName)
                        + QStringLiteral(": неизвестное поле"));

    Request request;
    request.index = &index;
    request.chosen.resize(index.optionCount);
    std::fill(request.chosen.begin(), request.chosen.end(), false);
    QVarLengthArray<int, 32> radioChosen(page.groups.size()); // the option chosen in each group
    std::fill(radioChosen.begin(), radioChosen.end(), -1);
    if (asked.optionsNotArray)
        return fail(error, QStringLiteral("Поле «options»: ожидается массив"));
    for (const QString &id : asked.options) {
        const auto place = index.options.constFind(id);
        if (place == index.options.constEnd())
            return fail(error,
                        QStringLiteral("Поле «options»: неизвестный вариант ") + quoted(id)
                            + QStringLiteral(" на странице ") + quoted(page.title));
        const CatalogueGroup &group = page.groups.at(place->group);
        if (!group.multiple) {
            const int other = radioChosen.at(place->group);
            if (other >= 0 && other != place->option)
                return fail(error,
                            QStringLiteral("Поле «options»: в группе ") + quoted(group.title)
                                + QStringLiteral(" выбирается один вариант"));
            radioChosen[place->group] = place->option;
        }
        request.choose(place->group, place->option);
    }
    if (asked.optionNotString)
        return fail(error, QStringLiteral("Поле «options»: ожидаются строки"));

    // A radio group keeps the button the form opens with until another is chosen: a person can
    // change it, never clear it.
    for (int g = 0; g < page.groups.size(); ++g) {
        const CatalogueGroup &group = page.groups.at(g);
        if (group.multiple || radioChosen.at(g) >= 0)
            continue;
        for (int o = 0; o < group.options.size(); ++o) {
            if (group.options.at(o).checked)
                request.choose(g, o);
        }
    }

    for (const CatalogueField &field : page.fields)
        request.fields.append(field.initial);
    if (asked.fieldsNotObject)
        return fail(error, QStringLiteral("Поле «fields»: ожидается объект"));
    for (const JobRequest::Field &asking : asked.fields) {
        const auto place = index.fields.constFind(asking.id);
        if (place == index.fields.constEnd())
            return fail(error,
                        QStringLiteral("Поле ") + quoted(asking.id)
                            + QStringLiteral(": неизвестное поле страницы ") + quoted(page.title));
        const CatalogueField &field = page.fields.at(*place);
        const QJsonValue &number = asking.value;
        const double figure = number.toDouble();
        if (!number.isDouble() || figure != std::floor(figure) || figure < field.min
            || figure > field.max)
            return fail(error,
                        QStringLiteral("Поле ") + quoted(field.title) + QStringLiteral(" (")
                            + field.id + QStringLiteral("): ожидается целое число от ")
                            + QString::number(field.min) + QStringLiteral(" до ")
                            + QString::number(field.max));
        request.fields[*place] = QString::number(qint64(figure));
    }

    switch (kind) {
    case PricingPage::SheetProducts:
        *job = buildJob<SheetProductsJob>(index, request);
        break;
    case PricingPage::Brochures:
        *job = buildJob<BrochureJob>(index, request);
        break;
    case PricingPage::Street:
        *job = buildJob<StreetJob>(index, request);
        break;
    case PricingPage::Interior:
        *job = buildJob<InteriorJob>(index, request);
        break;
    case PricingPage::Souvenir:
        *job = buildJob<SouvenirJob>(index, request);
        break;
    }
    return true;
}

bool jobFromRequest(const QJsonValue &value, const PriceVersion &version, PricedJob *job,
                    QString *error)
{
    return CatalogueIndex(version).jobFrom(value, job, error);
}

QVector<Quote> priceJob(const PricedJob &job, const PriceTable &prices)
{
    return std::visit(
        [&prices](const auto &page) -> QVector<Quote> {
            using Job = std::decay_t<decltype(page)>;
            if constexpr (std::is_same_v<Job, SheetProductsJob>)
                return priceSheetProducts(page, prices);
            else if constexpr (std::is_same_v<Job, BrochureJob>)
                return priceBrochures(page, prices);
            else if constexpr (std::is_same_v<Job, StreetJob>)
                return priceStreet(page, prices);
            else if constexpr (std::is_same_v<Job, InteriorJob>)
                return priceInterior(page, prices);
            else
                return priceSouvenir(page, prices);
        },
        job);
}

namespace {

// The figure a line's sum is made of; a price that is no number counts 0, as in the sum.
double unitPriceOf(const OrderLine &line)
{
    if (!line.hasNumbers) {
        OrderLine read = line;
        read.readNumbers();
        return unitPriceOf(read);
    }
    return line.unitPriceIsNumber ? line.unitPriceValue : 0.0;
}

// An amount to the kopeck as the invoice shows it: "782.55".
QString kopeckAmount(double roubles)
{
    qint64 kopecks = 0;
    if (boundedKopecks(roubles, &kopecks))
        return kopecksText(kopecks);
    // Only a caller that skipped the bound gets here: still decimal digits, never an exponent.
    return QString::number(calcRounded(roubles, 2), 'f', 2);
}

// A unit price as the invoice prints it: two decimals, more only where the price carries them
// (the built-in list's six digits), so that quantity × price is the line's sum.
QString unitPriceAmount(double value)
{
    const int decimals = std::fabs(value) < 1e9 ? 6 : 2;
    QString text = QString::number(calcRounded(value, decimals), 'f', decimals);
    while (text.endsWith(QLatin1Char('0')) && text.size() - text.indexOf(QLatin1Char('.')) > 3)
        text.chop(1);
    return text == QLatin1String("-0.00") ? QStringLiteral("0.00") : text;
}

// The tax as the invoice's foot computes it for the lines.
struct TaxFigures
{
    QString mode;
    int rate = 0;
    QString amount;
    QString total;
    QString subtotal;
};

TaxFigures taxFigures(const QVector<OrderLine> &lines, const FootTerms &terms)
{
    const InvoiceFoot foot = invoiceFoot(lines, terms);
    // Without a tax in the settings the invoice adds its old 18 % on top.
    const TaxMode mode = terms.taxGiven ? terms.tax.mode : TaxMode::OnTop;
    TaxFigures figures;
    figures.mode = taxModeWord(mode);
    figures.rate = mode == TaxMode::None ? 0 : (terms.taxGiven ? terms.tax.rate : 18);
    figures.amount = kopeckAmount(foot.tax);
    figures.total = kopeckAmount(foot.total);
    figures.subtotal = kopeckAmount(foot.subtotal);
    return figures;
}

// What the public reads of how a line was priced; of a sample's price, only that it will be told.
QString publicExplanationOf(const Quote &quote)
{
    return quote.line.samplePrice
        ? QStringLiteral("Цена уточняется: магазин назовёт её, подтверждая заявку.")
        : quote.publicExplanation();
}

QString pastTheBound(const QString &what)
{
    return what + QStringLiteral(" больше наибольшей возможной (") + roublesAndKopecks(MaxKopecks)
        + QLatin1Char(')');
}

} // namespace

QJsonObject lineJson(const OrderLine &line)
{
    return {{QStringLiteral("description"), line.description},
            {QStringLiteral("quantity"), line.quantity},
            {QStringLiteral("unitPrice"), unitPriceAmount(unitPriceOf(line))},
            {QStringLiteral("sum"), kopeckAmount(lineSum(line))},
            {QStringLiteral("missingPrice"), line.missingPrice},
            {QStringLiteral("explanation"), line.explanation}};
}

QJsonObject quoteJson(const QVector<Quote> &quotes, int version, const FootTerms &terms)
{
    QJsonArray lines;
    QVector<OrderLine> orderLines;
    for (const Quote &quote : quotes) {
        // The answer shows no stored job: the line's texts and explanation are enough, and the
        // line in words, as the customer's documents name it.
        OrderLine line = quote.line;
        line.explanation = publicExplanationOf(quote);
        QJsonObject item = lineJson(line);
        item.insert(QStringLiteral("wording"), customerWording(quote.orderLine()));
        // A sample's price is never quoted: the line has no sum and counts in no total.
        item.insert(QStringLiteral("samplePrice"), line.samplePrice);
        if (line.samplePrice) {
            item.insert(QStringLiteral("sum"), QJsonValue());
            item.insert(QStringLiteral("unitPrice"), QJsonValue());
        } else {
            orderLines.append(line);
        }
        lines.append(item);
    }
    const TaxFigures tax = taxFigures(orderLines, terms);
    return {{QStringLiteral("lines"), lines},
            {QStringLiteral("tax"),
             QJsonObject {{QStringLiteral("mode"), tax.mode},
                          {QStringLiteral("rate"), tax.rate},
                          {QStringLiteral("amount"), tax.amount},
                          {QStringLiteral("total"), tax.total}}},
            {QStringLiteral("total"), tax.subtotal},
            {QStringLiteral("version"), version}};
}

QByteArray quoteAnswer(const QVector<Quote> &quotes, int version, const FootTerms &terms)
{
    // The keys in QJsonObject's order (sorted), so that the bytes are quoteJson's to the last.
    QVarLengthArray<QString, 4> explanations;
    int room = 160;
    for (const Quote &quote : quotes) {
        explanations.append(publicExplanationOf(quote));
        const OrderLine &line = quote.line;
        room += 200
            + 3 * (line.description.size() + explanations.last().size() + line.quantity.size());
    }
    QByteArray out;
    out.reserve(room);
    out.append("{\"lines\":[");
    QVector<OrderLine> lines;
    lines.reserve(quotes.size());
    for (int i = 0; i < quotes.size(); ++i) {
        const OrderLine &line = quotes.at(i).line;
        if (!line.samplePrice)
            lines.append(line);
        if (i > 0)
            out.append(',');
        out.append("{\"description\":");
        appendJsonString(&out, line.description);
        out.append(",\"explanation\":");
        appendJsonString(&out, explanations.at(i));
        out.append(line.missingPrice ? ",\"missingPrice\":true" : ",\"missingPrice\":false");
        out.append(",\"quantity\":");
        appendJsonString(&out, line.quantity);
        out.append(line.samplePrice ? ",\"samplePrice\":true" : ",\"samplePrice\":false");
        if (line.samplePrice) {
            out.append(",\"sum\":null,\"unitPrice\":null,\"wording\":");
        } else {
            out.append(",\"sum\":\"");
            out.append(kopeckAmount(lineSum(line)).toLatin1());
            out.append("\",\"unitPrice\":\"");
            out.append(unitPriceAmount(unitPriceOf(line)).toLatin1());
            out.append("\",\"wording\":");
        }
        appendJsonString(&out, customerWording(quotes.at(i).orderLine()));
        out.append('}');
    }
    const TaxFigures tax = taxFigures(lines, terms);
    out.append("],\"tax\":{\"amount\":\"");
    out.append(tax.amount.toLatin1());
    out.append("\",\"mode\":");
    appendJsonString(&out, tax.mode);
    out.append(",\"rate\":");
    out.append(QByteArray::number(tax.rate));
    out.append(",\"total\":\"");
    out.append(tax.total.toLatin1());
    out.append("\"},\"total\":\"");
    out.append(tax.subtotal.toLatin1());
    out.append("\",\"version\":");
    out.append(QByteArray::number(version));
    out.append('}');
    return out;
}

QString lineAmountProblem(const OrderLine &line, const QString &name)
{
    qint64 kopecks = 0;
    const QString named = name + QStringLiteral(" «") + line.description + QStringLiteral("»: ");
    if (!boundedKopecks(unitPriceOf(line), &kopecks))
        return pastTheBound(named + QStringLiteral("цена"));
    if (!boundedKopecks(lineSum(line), &kopecks))
        return pastTheBound(named + QStringLiteral("сумма"));
    return QString();
}

QString totalAmountProblem(const QVector<OrderLine> &lines, const FootTerms &terms,
                           qint64 *linesKopecks)
{
    // Each line within the bound, so that two of them never add up past 64 bits.
    qint64 sum = 0;
    for (const OrderLine &line : lines) {
        qint64 kopecks = 0;
        if (!boundedKopecks(lineSum(line), &kopecks) || qAbs(sum + kopecks) > MaxKopecks)
            return pastTheBound(QStringLiteral("Итого"));
        sum += kopecks;
    }
    const InvoiceFoot foot = invoiceFoot(lines, terms);
    qint64 kopecks = 0;
    if (!boundedKopecks(foot.subtotal, &kopecks))
        return pastTheBound(QStringLiteral("Итого"));
    if (!boundedKopecks(foot.total, &kopecks))
        return pastTheBound(QStringLiteral("Всего с налогом"));
    if (linesKopecks)
        *linesKopecks = sum;
    return QString();
}
