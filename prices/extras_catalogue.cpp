// The extras and their version 0 amounts, in each page's group order.
#include "prices/extras_catalogue.h"

#include "prices/key_meanings.h"

#include <QHash>
#include <QJsonArray>

namespace {

struct ExtraFact
{
    const char *key;
    // The object name the option was stored and exported under before it had a key; never
    // changed, so that old files and databases still find it.
    const char *formerName;
    const char *caption;
    double amount;
    // The button's object name when the form renamed it since; null while it is the former name.
    const char *objectName = nullptr;
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
         {{"sheet.lamination.matte-250", "radioButton_145", "250 мкм Матовая", 80},
          {"sheet.lamination.matte-30", "radioButton_136", "30 мкм Матовая", 80},
          {"sheet.lamination.matte-100", "radioButton_137", "100 мкм Матовая", 80},
          {"sheet.lamination.gloss-250", "radioButton_135", "250 мкм Глянцевая", 80},
          {"sheet.lamination.matte-175", "radioButton_138", "175 мкм Матовая", 80},
          {"sheet.lamination.gloss-175", "radioButton_134", "175 мкм Глянцевая", 60},
          {"sheet.lamination.gloss-100", "radioButton_133", "100 мкм Глянцевая", 40},
          {"sheet.lamination.gloss-30", "radioButton_132", "30 мкм Глянцевая", 20}}},
        {P::SheetProducts,
         "Брошюровка",
         {{"sheet.binding.metal-100-1", "radioButton_153", "Метал до 100 стр.", 80},
          {"sheet.binding.plastic-over-100", "radioButton_149", "Пластик более 100 стр.", 80},
          {"sheet.binding.metal-20", "radioButton_150", "Метал до 20 стр.", 80},
          {"sheet.binding.metal-100-2", "radioButton_152", "Метал до 100 стр.", 80},
          {"sheet.binding.plastic-50", "radioButton_147", "Пластик до 50 стр.", 40},
          {"sheet.binding.plastic-20", "radioButton_146", "Пластик до 20 стр.", 20},
          {"sheet.binding.plastic-100", "radioButton_148", "Пластик до 100 стр.", 60},
          {"sheet.binding.metal-50", "radioButton_151", "Метал до 50 стр.", 80}}},
        {P::SheetProducts,
         "Шелкография",
         {{"sheet.varnish.1-0", "checkBox_161", "1+0 лак", 43},
          {"sheet.varnish.0-1", "checkBox_162", "0+1 лак", 33}}},
        {P::SheetProducts,
         "Прочие работы",
         {{"sheet.other.contour-cut", "checkBox_27", "Обрезка по изображению", 566},
          {"sheet.other.foil-stamping", "checkBox_28", "Тиснение фольгой", 566},
          {"sheet.other.round-corners", "checkBox_34", "Обрезка углов 4 шт.", 23}}},
        {P::SheetProducts,
         "Биговка / Фальцовка",
         {{"sheet.folding.1", "radioButton_154", "Биговка / Фальцовка", 20},
          {"sheet.folding.2", "radioButton_155", "Биговка / Фальцовка", 40},
          {"sheet.folding.3", "radioButton_156", "Биговка / Фальцовка", 60},
          {"sheet.folding.4", "radioButton_157", "Биговка / Фальцовка", 80}}},
        {P::Brochures,
         "Ламинация Обложки",
         {{"brochure.cover-lamination.matte-30", "radioButton_182", "30 мкм Матовая", 80},
          {"brochure.cover-lamination.matte-250", "radioButton_183", "250 мкм Матовая", 80},
          {"brochure.cover-lamination.matte-175", "radioButton_184", "175 мкм Матовая", 80},
          {"brochure.cover-lamination.matte-100", "radioButton_185", "100 мкм Матовая", 80},
          {"brochure.cover-lamination.gloss-30", "radioButton_186", "30 мкм Глянцевая", 20},
          {"brochure.cover-lamination.gloss-100", "radioButton_187", "100 мкм Глянцевая", 40},
          {"brochure.cover-lamination.gloss-175", "radioButton_188", "175 мкм Глянцевая", 60},
          {"brochure.cover-lamination.gloss-250", "radioButton_189", "250 мкм Глянцевая", 80}}},
        {P::Brochures,
         "Ламинация вутри",
         {{"brochure.inner-lamination.matte-30", "radioButton_167", "30 мкм Матовая", 80},
          {"brochure.inner-lamination.matte-250", "radioButton_158", "250 мкм Матовая", 80},
          {"brochure.inner-lamination.matte-175", "radioButton_168", "175 мкм Матовая", 80},
          {"brochure.inner-lamination.matte-100", "radioButton_159", "100 мкм Матовая", 80},
          {"brochure.inner-lamination.gloss-30", "radioButton_169", "30 мкм Глянцевая", 20},
          {"brochure.inner-lamination.gloss-100", "radioButton_160", "100 мкм Глянцевая", 40},
          {"brochure.inner-lamination.gloss-175", "radioButton_170", "175 мкм Глянцевая", 60},
          {"brochure.inner-lamination.gloss-250", "radioButton_161", "250 мкм Глянцевая", 80}}},
        {P::Brochures,
         "Брошюровка",
         {{"brochure.binding.metal-100-1", "radioButton_171", "Метал до 100 стр.", 80},
          {"brochure.binding.plastic-20", "radioButton_176", "Пластик до 20 стр.", 20},
          {"brochure.binding.plastic-100", "radioButton_177", "Пластик до 100 стр.", 60},
          {"brochure.binding.metal-50", "radioButton_178", "Метал до 50 стр.", 80},
          {"brochure.binding.metal-100-2", "radioButton_174", "Метал до 100 стр.", 80},
          {"brochure.binding.plastic-over-100", "radioButton_172", "Пластик более 100 стр.", 80},
          {"brochure.binding.plastic-50", "radioButton_175", "Пластик до 50 стр.", 40},
          {"brochure.binding.metal-20", "radioButton_173", "Метал до 20 стр.", 80}}},
        {P::Brochures,
         "Переплет",
         {{"brochure.binding-kind.spring", "radioButton_181", "На пружине", 60},
          {"brochure.binding-kind.staple", "radioButton_180", "На скрепке", 40},
          {"brochure.binding-kind.glue", "radioButton_179", "Клеевой", 20}}},
        {P::Brochures,
         "Шелкография Обложки",
         {{"brochure.cover-varnish.1-0", "checkBox_18", "1+0 лак", 11},
          {"brochure.cover-varnish.0-1", "checkBox_19", "0+1 лак", 12}}},
        {P::Brochures,
         "Шелкография внутри",
         {{"brochure.inner-varnish.0-1", "checkBox_14", "0+1 лак", 14},
          {"brochure.inner-varnish.1-0", "checkBox_16", "1+0 лак", 13}}},
        {P::Brochures,
         "Прочие",
         {{"brochure.other.round-corners", "checkBox_17", "Обрезка углов 4 шт.", 15},
          {"brochure.other.contour-cut", "checkBox_13", "Обрезка по изображению", 16},
          {"brochure.other.crease", "checkBox_15", "Биг", 17}}},
        // The base multiplies the print's price and is charged once more as an amount.
        {P::Street,
         "Основа",
         {{"street.base.plastic-2", "radioButton_122", "Пластик 2 мм.", 100},
          {"street.base.plastic-4", "radioButton_123", "Пластик 4 мм.", 50},
          {"street.base.plastic-6", "radioButton_124", "Пластик 6 мм.", 40},
          {"street.base.plastic-8", "radioButton_125", "Пластик 8 мм.", 40},
          {"street.base.plastic-10", "radioButton_126", "Пластик 10 мм.", 30},
          {"street.base.composite", "radioButton_127", "Композит", 52},
          {"street.base.foam-board-3", "radioButton_128", "Пенокартон 3 мм.", 47},
          {"street.base.foam-board-4", "radioButton_129", "Пенокартон 4 мм.", 91}},
         "множитель печати и надбавка"},
        {P::Street,
         "Тип плёнки",
         {{"street.film.gloss", "checkBox_40", "Глянцевая", 0},
          {"street.film.matte", "checkBox_41", "Матовая", 0}}},
        {P::Street,
         "Постпечатка",
         {{"street.post-press.gluing", "checkBox_50", "Проклейка", 60},
          {"street.post-press.stitching", "checkBox_51", "Прошивка", 60},
          {"street.post-press.perforation", "checkBox_52", "Перфорация", 60},
          {"street.post-press.pocket-gluing", "checkBox_53", "Проклейка карманов", 60},
          {"street.post-press.pocket-stitching", "checkBox_54", "Прошивка карманов", 60},
          {"street.post-press.lamination", "checkBox_55", "Ламинация", 60},
          {"street.post-press.mounting", "checkBox_56", "Монтаж", 60}}},
        {P::Street,
         "Размер карманов",
         {{"street.pocket.a3", "checkBox_59", "А3", 15},
          {"street.pocket.a4", "checkBox_60", "А4", 20},
          {"street.pocket.a5", "checkBox_61", "А5", 30},
          {"street.pocket.a6", "checkBox_62", "А6", 40},
          {"street.pocket.business-card", "checkBox_63", "Визитки", 50},
          {"street.pocket.other", "checkBox_64", "Другой", 60}},
         "за карман"},
        {P::Interior,
         "Основа",
         {{"interior.base.plastic-2", "checkBox_70", "Пластик 2 мм.", 5},
          {"interior.base.plastic-4", "checkBox_71", "Пластик 4 мм.", 100500},
          {"interior.base.plastic-6", "checkBox_72", "Пластик 6 мм.", 100501},
          {"interior.base.plastic-8", "checkBox_73", "Пластик 8 мм.", 666},
          {"interior.base.plastic-10", "checkBox_74", "Пластик 10 мм.", 666},
          {"interior.base.composite", "checkBox_75", "Композит", 666},
          {"interior.base.foam-board-3", "checkBox_76", "Пенокартон 3 мм.", 666},
          {"interior.base.foam-board-4", "checkBox_77", "Пенокартон 4 мм.", 666}}},
        {P::Interior,
         "Фальцовка",
         {{"interior.folding.a3", "checkBox_78", "А3", 666},
          {"interior.folding.a2", "checkBox_79", "А2", 666},
          {"interior.folding.a1", "checkBox_80", "А1", 666},
          {"interior.folding.a0", "checkBox_81", "А0", 13},
          {"interior.folding.custom", "checkBox_82", "Нестандарт", 13}}},
        {P::Interior,
         "Брошюровка",
         {{"interior.binding.plastic-20", "checkBox_83", "Пластик до 20 стр.", 13},
          {"interior.binding.plastic-50", "checkBox_84", "Пластик до 50 стр.", 13},
          {"interior.binding.plastic-100", "checkBox_85", "Пластик до 100 стр.", 13},
          {"interior.binding.plastic-over-100", "checkBox_86", "Пластик более 100 стр.", 13},
          {"interior.binding.metal-20", "checkBox_88", "Метал до 20 стр.", 5},
          {"interior.binding.metal-50", "checkBox_89", "Метал до 50 стр.", 100500},
          {"interior.binding.metal-100", "checkBox_90", "Метал до 100 стр.", 100501},
          {"interior.binding.metal-over-100", "checkBox_87", "Метал более 100 стр.", 666}}},
        {P::Interior,
         "Ламинация",
         {{"interior.lamination.gloss-30", "checkBox_111", "30 мкм Глянцевая", 666},
          {"interior.lamination.matte-30", "checkBox_115", "30 мкм Матовая", 666},
          {"interior.lamination.gloss-100", "checkBox_113", "100 мкм Глянцевая", 666},
          {"interior.lamination.matte-100", "checkBox_109", "100 мкм Матовая", 666},
          {"interior.lamination.gloss-175", "checkBox_114", "175 мкм Глянцевая", 666},
          {"interior.lamination.matte-175", "checkBox_108", "175 мкм Матовая", 666},
          {"interior.lamination.gloss-250", "checkBox_110", "250 мкм Глянцевая", 666},
          {"interior.lamination.matte-250", "checkBox_112", "250 мкм Матовая", 13}}},
        {P::Interior,
         "Прочие работы",
         {{"interior.other.contour-cut", "checkBox_107", "Обрезка по изображению", 13},
          {"interior.other.foil-stamping", "checkBox_148", "Тиснение фольгой", 13},
          {"interior.other.round-corners", "checkBox_152", "Обрезка углов 4 шт.", 13}}},
        {P::Souvenir,
         "Цвет материала",
         {{"souvenir.material-colour.light", "checkBox_116", "Светлый", 100500},
          {"souvenir.material-colour.dark", "checkBox_117", "Темный", 100501}}},
    };
    QVector<ExtraOption> catalogue;
    for (const GroupFact &group : groups) {
        for (const ExtraFact &option : group.options) {
            const char *objectName = option.objectName ? option.objectName : option.formerName;
            catalogue.append({QLatin1String(option.key), QLatin1String(objectName),
                              QLatin1String(option.formerName), group.page,
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
        if (other.key == key)
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

namespace {

const ExtraOption *findIn(const QHash<QString, int> &index, const QString &name)
{
    const auto at = index.constFind(name);
    return at == index.constEnd() ? nullptr : &extrasCatalogue().at(*at);
}

QHash<QString, int> indexBy(QString ExtraOption::*field)
{
    QHash<QString, int> index;
    for (int i = 0; i < extrasCatalogue().size(); ++i)
        index.insert(extrasCatalogue().at(i).*field, i);
    return index;
}

} // namespace

const ExtraOption *findExtra(const QString &key)
{
    static const QHash<QString, int> index = indexBy(&ExtraOption::key);
    return findIn(index, key);
}

const ExtraOption *findExtraByObjectName(const QString &objectName)
{
    static const QHash<QString, int> index = indexBy(&ExtraOption::objectName);
    return findIn(index, objectName);
}

const ExtraOption *findExtraByFormerName(const QString &formerName)
{
    static const QHash<QString, int> index = indexBy(&ExtraOption::formerName);
    return findIn(index, formerName);
}

QJsonObject withExtraKeys(QJsonObject job, int *added)
{
    for (auto field = job.begin(); field != job.end(); ++field) {
        // A job's groups are objects; a street job's pockets are an array of groups.
        QJsonArray groups;
        const bool many = field.value().isArray();
        if (many)
            groups = field.value().toArray();
        else if (field.value().isObject())
            groups.append(field.value());
        else
            continue;
        bool changed = false;
        for (auto group = groups.begin(); group != groups.end(); ++group) {
            QJsonObject object = group->toObject();
            QJsonArray choices = object.value(QStringLiteral("checked")).toArray();
            bool keyed = false;
            for (auto choice = choices.begin(); choice != choices.end(); ++choice) {
                QJsonObject option = choice->toObject();
                const ExtraOption *extra
                    = findExtraByFormerName(option.value(QStringLiteral("name")).toString());
                if (!extra || option.value(QStringLiteral("key")).toString() == extra->key)
                    continue;
                option.insert(QStringLiteral("key"), extra->key);
                *choice = option;
                keyed = true;
                if (added)
                    ++*added;
            }
            if (keyed) {
                object.insert(QStringLiteral("checked"), choices);
                *group = object;
                changed = true;
            }
        }
        if (changed)
            field.value() = many ? QJsonValue(groups) : groups.first();
    }
    return job;
}
