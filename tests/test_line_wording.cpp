// The words a customer's document gives each order line, one row per page and case: the options
// as the form names them, tidied, and the extras by their groups.
#include "prices/extras_catalogue.h"
#include "prices/key_meanings.h"
#include "prices/price_versions.h"
#include "pricing/line_wording.h"
#include "pricing/page_pricing.h"

#include <QtTest>

namespace {

// The key option with this object name, as its page reads it.
OptionGroup option(const char *objectName)
{
    for (const KeyGrammar &grammar : keyGrammars()) {
        for (const KeyPart &part : grammar.parts) {
            if (const auto *found = std::find_if(
                    part.options.begin(), part.options.end(),
                    [&](const KeyOption &o) { return o.objectName == QLatin1String(objectName); });
                found != part.options.end())
                return {part.group,
                        {{found->objectName, double(found->code), found->caption, true}}};
        }
    }
    qFatal("no key option %s", objectName);
}

// Extras by their keys, checked as the form would check them.
OptionGroup extras(std::initializer_list<const char *> keys)
{
    OptionGroup group;
    for (const char *key : keys) {
        const ExtraOption *extra = findExtra(QLatin1String(key));
        if (!extra)
            qFatal("no extra %s", key);
        group.title = extra->group;
        group.checked.append({extra->objectName, extra->amount, extra->caption,
                              extra->objectName.startsWith(QStringLiteral("radioButton")),
                              extra->key});
    }
    return group;
}

SheetProductsJob a4Matte350()
{
    SheetProductsJob job;
    job.format = option("radioButton_3"), job.colour = option("radioButton_28");
    job.type = option("radioButton_49"), job.density = option("radioButton_78");
    job.quantity = QStringLiteral("100");
    return job;
}

QJsonObject sheetWithExtras()
{
    SheetProductsJob job = a4Matte350();
    job.lamination = extras({"sheet.lamination.matte-30"});
    job.varnish = extras({"sheet.varnish.1-0"});
    job.other = extras({"sheet.other.contour-cut"});
    return toJson(job);
}

QJsonObject sheetCustomSize()
{
    SheetProductsJob job;
    job.format = option("radioButtonOther"), job.colour = option("radioButton_24");
    job.type = option("radioButton_47"), job.density = option("radioButton_70");
    job.customSize = true;
    job.width = QStringLiteral("100"), job.height = QStringLiteral("200");
    job.binding = extras({"sheet.binding.metal-20"});
    job.creasing = extras({"sheet.folding.2"});
    return toJson(job);
}

QJsonObject envelopes()
{
    SheetProductsJob job = a4Matte350();
    job.format = option("radioButton_9");
    return toJson(job);
}

QJsonObject sheetTier()
{
    SheetProductsJob job = a4Matte350();
    job.quantity = QStringLiteral("1500");
    QJsonObject stored = toJson(job);
    stored.insert(QStringLiteral("family"), QStringLiteral("60"));
    return stored;
}

QJsonObject brochure()
{
    BrochureJob job;
    job.format = option("radioButton_94");
    job.coverColour = option("radioButton_419"), job.coverType = option("radioButton_441");
    job.coverDensity = option("radioButton_466");
    job.innerColour = option("radioButton_117"), job.innerType = option("radioButton_139");
    job.innerDensity = option("radioButton_162");
    job.innerSheets = QStringLiteral("12");
    job.bindingKind = extras({"brochure.binding-kind.staple"});
    job.coverLamination = extras({"brochure.cover-lamination.gloss-30"});
    job.innerVarnish = extras({"brochure.inner-varnish.0-1"});
    job.quantity = QStringLiteral("10");
    return toJson(job);
}

QJsonObject banner()
{
    StreetJob job;
    job.material = option("radioButton_13"), job.quality = option("radioButton_114");
    job.width = QStringLiteral("3000"), job.height = QStringLiteral("1000");
    job.film = extras({"street.film.matte"});
    job.base = extras({"street.base.plastic-2"});
    job.postPress = extras({"street.post-press.gluing", "street.post-press.mounting"});
    job.pocketSizes = extras({"street.pocket.a4"});
    job.pockets = {{job.pocketSizes.checked.first(), QStringLiteral("3")}};
    job.pocketSizes.checked.clear();
    job.quantity = QStringLiteral("1");
    return toJson(job);
}

QJsonObject interiorPoster()
{
    InteriorJob job;
    job.format = option("radioButton_16"), job.colour = option("radioButton_37");
    job.paper = option("radioButton_41"), job.density = option("radioButton_46");
    job.folding = extras({"interior.folding.a1"});
    job.lamination = extras({"interior.lamination.matte-30"});
    job.quantity = QStringLiteral("2");
    return toJson(job);
}

QJsonObject mug()
{
    SouvenirJob job;
    job.material = option("radioButton_68"), job.size = option("radioButton_65");
    job.colours = option("radioButton_62");
    job.materialColour = extras({"souvenir.material-colour.light"});
    job.quantity = QStringLiteral("5");
    return toJson(job);
}

QJsonObject noMaterialCustom()
{
    SouvenirJob job;
    job.material = option("radioButton_89"), job.size = option("radioButtonOther_2");
    job.colours = option("radioButton_59");
    job.customSize = true;
    job.width = QStringLiteral("50"), job.height = QStringLiteral("50");
    return toJson(job);
}

} // namespace

class LineWordingTest : public QObject
{
    Q_OBJECT

private slots:
    void wording_data()
    {
        QTest::addColumn<QJsonObject>("job");
        QTest::addColumn<QString>("typed"); // a description typed in the table, or none
        QTest::addColumn<QString>("wording");
        QTest::newRow("A4 4+4 matte 350, lamination, varnish, contour cut")
            << sheetWithExtras() << ""
            << "Листовая продукция: А4 (210×297 мм), 4+4, матовая 350 г/м²; ламинация 30 мкм "
               "матовая; лак 1+0; обрезка по изображению";
        QTest::newRow("custom size, metal binding, folding")
            << sheetCustomSize() << ""
            << "Листовая продукция: 100×200 мм, 1+0, простая 80 г/м²; брошюровка металл до 20 "
               "стр.; биговка / фальцовка";
        QTest::newRow("envelopes") << envelopes() << ""
                                   << "Листовая продукция: Конверты, 4+4, матовая 350 г/м²";
        QTest::newRow("tier line 1000–3000")
            << sheetTier() << ""
            << "Листовая продукция, тираж 1000–3000 шт.: А4 (210×297 мм), 4+4, матовая 350 г/м²";
        QTest::newRow("brochure with cover and inner sheets")
            << brochure() << ""
            << "Брошюры: А5 (148×210 мм); обложка 4+4, глянцевая 250 г/м²; внутренние листы "
               "1+1, простая 80 г/м², 12 листов; переплёт на скрепке; ламинация обложки 30 мкм "
               "глянцевая; лак внутренних листов 0+1";
        QTest::newRow("street banner with base, post-press and pockets")
            << banner() << ""
            << "Уличная печать: баннерная ткань (Корея) 440 г/м², 720 dpi, 3000×1000 мм; плёнка "
               "матовая; основа пластик 2 мм; проклейка; монтаж; карманы А4: 3 шт.";
        QTest::newRow("interior A1 poster")
            << interiorPoster() << ""
            << "Интерьерная печать: А1 (594×841 мм), заливка 50 %, матовая 120 г/м²; фальцовка "
               "А1; ламинация 30 мкм матовая";
        QTest::newRow("mug, light") << mug() << ""
                                    << "Сувенирная печать: кружки, А6 (105×148 мм), 4+0; цвет "
                                       "изделия светлый";
        QTest::newRow("souvenir without material, custom size")
            << noMaterialCustom() << ""
            << "Сувенирная печать: без материала, 50×50 мм, 1+0";
        QTest::newRow("typed by hand") << QJsonObject() << "Дизайн визитки: 2 макета"
                                       << "Дизайн визитки: 2 макета";
        QTest::newRow("a priced line's text typed over") << sheetWithExtras() << "Листовки к акции"
                                                         << "Листовки к акции";
        QTest::newRow("a job of no page")
            << QJsonObject {{QStringLiteral("page"), QStringLiteral("engraving")}} << "Гравировка"
            << "Гравировка";
    }
    void wording()
    {
        QFETCH(QJsonObject, job);
        QFETCH(QString, typed);
        QFETCH(QString, wording);
        OrderLine line;
        const QVector<Quote> quotes = priceStoredJob(job, builtInVersion().prices);
        if (!quotes.isEmpty())
            line = quotes.last().orderLine();
        line.job = job;
        if (!typed.isEmpty())
            line.description = typed;
        QCOMPARE(customerWording(line), wording);
    }
};

QTEST_GUILESS_MAIN(LineWordingTest)
#include "test_line_wording.moc"
