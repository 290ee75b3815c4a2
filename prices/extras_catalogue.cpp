// The extras and their version 0 amounts, in each page's group order.
#include "prices/extras_catalogue.h"

#include "prices/key_meanings.h"

#include <QHash>

namespace {

struct ExtraFact
{
    const char *objectName;
    const char *caption;
    double amount;
};

struct GroupFact
{
    PricingPage page;
    const char *title;
    std::initializer_list<ExtraFact> options;
    const char *per = "надбавка за шт.";
};

QVector<ExtraOption> makeCatalogue()
{
    using P = PricingPage;
    const GroupFact groups[] = {
        {P::SheetProducts,
         "Ламинация",
         {{"radioButton_145", "250 мкм Матовая", 80},
          {"radioButton_136", "30 мкм Матовая", 80},
          {"radioButton_137", "100 мкм Матовая", 80},
          {"radioButton_135", "250 мкм Глянцевая", 80},
          {"radioButton_138", "175 мкм Матовая", 80},
          {"radioButton_134", "175 мкм Глянцевая", 60},
          {"radioButton_133", "100 мкм Глянцевая", 40},
          {"radioButton_132", "30 мкм Глянцевая", 20}}},
        {P::SheetProducts,
         "Брошюровка",
         {{"radioButton_153", "Метал до 100 стр.", 80},
          {"radioButton_149", "Пластик более 100 стр.", 80},
          {"radioButton_150", "Метал до 20 стр.", 80},
          {"radioButton_152", "Метал до 100 стр.", 80},
          {"radioButton_147", "Пластик до 50 стр.", 40},
          {"radioButton_146", "Пластик до 20 стр.", 20},
          {"radioButton_148", "Пластик до 100 стр.", 60},
          {"radioButton_151", "Метал до 50 стр.", 80}}},
        {P::SheetProducts,
         "Шелкография",
         {{"checkBox_161", "1+0 лак", 43}, {"checkBox_162", "0+1 лак", 33}}},
        {P::SheetProducts,
         "Прочие работы",
         {{"checkBox_27", "Обрезка по изображению", 566},
          {"checkBox_28", "Тиснение фольгой", 566},
          {"checkBox_34", "Обрезка углов 4 шт.", 23}}},
        {P::SheetProducts,
         "Биговка / Фальцовка",
         {{"radioButton_154", "Биговка / Фальцовка", 20},
          {"radioButton_155", "Биговка / Фальцовка", 40},
          {"radioButton_156", "Биговка / Фальцовка", 60},
          {"radioButton_157", "Биговка / Фальцовка", 80}}},
        {P::Brochures,
         "Ламинация Обложки",
         {{"radioButton_182", "30 мкм Матовая", 80},
          {"radioButton_183", "250 мкм Матовая", 80},
          {"radioButton_184", "175 мкм Матовая", 80},
          {"radioButton_185", "100 мкм Матовая", 80},
          {"radioButton_186", "30 мкм Глянцевая", 20},
          {"radioButton_187", "100 мкм Глянцевая", 40},
          {"radioButton_188", "175 мкм Глянцевая", 60},
          {"radioButton_189", "250 мкм Глянцевая", 80}}},
        {P::Brochures,
         "Ламинация вутри",
         {{"radioButton_167", "30 мкм Матовая", 80},
          {"radioButton_158", "250 мкм Матовая", 80},
          {"radioButton_168", "175 мкм Матовая", 80},
          {"radioButton_159", "100 мкм Матовая", 80},
          {"radioButton_169", "30 мкм Глянцевая", 20},
          {"radioButton_160", "100 мкм Глянцевая", 40},
          {"radioButton_170", "175 мкм Глянцевая", 60},
          {"radioButton_161", "250 мкм Глянцевая", 80}}},
        {P::Brochures,
         "Брошюровка",
         {{"radioButton_171", "Метал до 100 стр.", 80},
          {"radioButton_176", "Пластик до 20 стр.", 20},
          {"radioButton_177", "Пластик до 100 стр.", 60},
          {"radioButton_178", "Метал до 50 стр.", 80},
          {"radioButton_174", "Метал до 100 стр.", 80},
          {"radioButton_172", "Пластик более 100 стр.", 80},
          {"radioButton_175", "Пластик до 50 стр.", 40},
          {"radioButton_173", "Метал до 20 стр.", 80}}},
        {P::Brochures,
         "Переплет",
         {{"radioButton_181", "На пружине", 60},
          {"radioButton_180", "На скрепке", 40},
          {"radioButton_179", "Клеевой", 20}}},
        {P::Brochures,
         "Шелкография Обложки",
         {{"checkBox_18", "1+0 лак", 11}, {"checkBox_19", "0+1 лак", 12}}},
        {P::Brochures,
         "Шелкография внутри",
         {{"checkBox_14", "0+1 лак", 14}, {"checkBox_16", "1+0 лак", 13}}},
        {P::Brochures,
         "Прочие",
         {{"checkBox_17", "Обрезка углов 4 шт.", 15},
          {"checkBox_13", "Обрезка по изображению", 16},
          {"checkBox_15", "Биг", 17}}},
        // The base multiplies the print's price and is charged once more as an amount.
        {P::Street,
         "Основа",
         {{"radioButton_122", "Пластик 2 мм.", 100},
          {"radioButton_123", "Пластик 4 мм.", 50},
          {"radioButton_124", "Пластик 6 мм.", 40},
          {"radioButton_125", "Пластик 8 мм.", 40},
          {"radioButton_126", "Пластик 10 мм.", 30},
          {"radioButton_127", "Композит", 52},
          {"radioButton_128", "Пенокартон 3 мм.", 47},
          {"radioButton_129", "Пенокартон 4 мм.", 91}},
         "множитель печати и надбавка"},
        {P::Street, "Тип плёнки", {{"checkBox_40", "Глянцевая", 0}, {"checkBox_41", "Матовая", 0}}},
        {P::Street,
         "Постпечатка",
         {{"checkBox_50", "Проклейка", 60},
          {"checkBox_51", "Прошивка", 60},
          {"checkBox_52", "Перфорация", 60},
          {"checkBox_53", "Проклейка карманов", 60},
          {"checkBox_54", "Прошивка карманов", 60},
          {"checkBox_55", "Ламинация", 60},
          {"checkBox_56", "Монтаж", 60}}},
        {P::Street,
         "Размер карманов",
         {{"checkBox_59", "А3", 15},
          {"checkBox_60", "А4", 20},
          {"checkBox_61", "А5", 30},
          {"checkBox_62", "А6", 40},
          {"checkBox_63", "Визитки", 50},
          {"checkBox_64", "Другой", 60}},
         "за карман"},
        {P::Interior,
         "Основа",
         {{"checkBox_70", "Пластик 2 мм.", 5},
          {"checkBox_71", "Пластик 4 мм.", 100500},
          {"checkBox_72", "Пластик 6 мм.", 100501},
          {"checkBox_73", "Пластик 8 мм.", 666},
          {"checkBox_74", "Пластик 10 мм.", 666},
          {"checkBox_75", "Композит", 666},
          {"checkBox_76", "Пенокартон 3 мм.", 666},
          {"checkBox_77", "Пенокартон 4 мм.", 666}}},
        {P::Interior,
         "Фальцовка",
         {{"checkBox_78", "А3", 666},
          {"checkBox_79", "А2", 666},
          {"checkBox_80", "А1", 666},
          {"checkBox_81", "А0", 13},
          {"checkBox_82", "Нестандарт", 13}}},
        {P::Interior,
         "Брошюровка",
         {{"checkBox_83", "Пластик до 20 стр.", 13},
          {"checkBox_84", "Пластик до 50 стр.", 13},
          {"checkBox_85", "Пластик до 100 стр.", 13},
          {"checkBox_86", "Пластик более 100 стр.", 13},
          {"checkBox_88", "Метал до 20 стр.", 5},
          {"checkBox_89", "Метал до 50 стр.", 100500},
          {"checkBox_90", "Метал до 100 стр.", 100501},
          {"checkBox_87", "Метал более 100 стр.", 666}}},
        {P::Interior,
         "Ламинация",
         {{"checkBox_111", "30 мкм Глянцевая", 666},
          {"checkBox_115", "30 мкм Матовая", 666},
          {"checkBox_113", "100 мкм Глянцевая", 666},
          {"checkBox_109", "100 мкм Матовая", 666},
          {"checkBox_114", "175 мкм Глянцевая", 666},
          {"checkBox_108", "175 мкм Матовая", 666},
          {"checkBox_110", "250 мкм Глянцевая", 666},
          {"checkBox_112", "250 мкм Матовая", 13}}},
        {P::Interior,
         "Прочие работы",
         {{"checkBox_107", "Обрезка по изображению", 13},
          {"checkBox_148", "Тиснение фольгой", 13},
          {"checkBox_152", "Обрезка углов 4 шт.", 13}}},
        {P::Souvenir,
         "Цвет материала",
         {{"checkBox_116", "Светлый", 100500}, {"checkBox_117", "Темный", 100501}}},
    };
    QVector<ExtraOption> catalogue;
    for (const GroupFact &group : groups) {
        for (const ExtraFact &option : group.options) {
            catalogue.append({QLatin1String(option.objectName), group.page,
                              QString::fromUtf8(group.title), QString::fromUtf8(option.caption),
                              option.amount, QString::fromUtf8(group.per)});
        }
    }
    return catalogue;
}

} // namespace

QString ExtraOption::meaning() const
{
    int place = 0;
    int count = 0;
    for (const ExtraOption &other : extrasCatalogue()) {
        if (other.page != page || other.group != group || other.caption != caption)
            continue;
        ++count;
        if (other.objectName == objectName)
            place = count;
    }
    QString words
        = pageTitle(page) + QStringLiteral(": ") + group + QStringLiteral(" — ") + caption;
    if (count > 1) {
        words += QStringLiteral(" (кнопка ") + QString::number(place) + QStringLiteral(" из ")
            + QString::number(count) + QLatin1Char(')');
    }
    return words;
}

const QVector<ExtraOption> &extrasCatalogue()
{
    static const QVector<ExtraOption> catalogue = makeCatalogue();
    return catalogue;
}

const ExtraOption *findExtra(const QString &objectName)
{
    static const QHash<QString, int> index = [] {
        QHash<QString, int> byName;
        for (int i = 0; i < extrasCatalogue().size(); ++i)
            byName.insert(extrasCatalogue().at(i).objectName, i);
        return byName;
    }();
    const auto at = index.constFind(objectName);
    return at == index.constEnd() ? nullptr : &extrasCatalogue().at(*at);
}
