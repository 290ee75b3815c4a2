// The words a customer's document gives each order line, one row per page and case: the options
// as the form names them, tidied, and the extras by their groups.
#include "prices/price_versions.h"
#include "pricing/line_wording.h"
#include "pricing/page_pricing.h"
#include "tests/line_jobs.h"

#include <QtTest>

using namespace jobs;

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
