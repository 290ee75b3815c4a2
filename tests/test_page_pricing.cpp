// Each page's pricing as a pure function: one row per job, the lines a press would append, without
// a window. New pricing cases go here; the widget suites keep the wiring.
#include "order/order.h"
#include "prices/price_table.h"
#include "pricing/number_text.h"
#include "pricing/page_pricing.h"

#include "tests/exact_prices.h"

#include <QtTest>

#include <functional>

namespace {

OptionGroup radio(double code, const char *caption, const char *title = "")
{
    return {QString::fromUtf8(title), {{QString(), code, QString::fromUtf8(caption), true}}};
}

OptionGroup boxes(std::initializer_list<std::pair<double, const char *>> checked)
{
    OptionGroup group;
    for (const auto &[amount, caption] : checked)
        group.checked.append({QString(), amount, QString::fromUtf8(caption), false});
    return group;
}

SheetProductsJob a4Sheet()
{
    SheetProductsJob job;
    job.format = radio(2, "А4 (210х297 мм.)", "Формат");
    job.colour = radio(4, "4+4", "Цветность");
    job.type = radio(2, "Матовая", "Тип Бумаги");
    job.density = radio(8, "350", "Плотность (гр./м2)");
    job.quantity = QStringLiteral("100");
    return job;
}

BrochureJob a4Brochure()
{
    BrochureJob job;
    job.format = radio(2, "А4 (210х297 мм.)", "Формат");
    job.innerColour = radio(1, "1+1");
    job.innerType = radio(2, "Матовая");
    job.innerDensity = radio(2, "120");
    job.coverColour = radio(4, "4+4");
    job.coverType = radio(3, "Глянцевая");
    job.coverDensity = radio(6, "300");
    job.bindingKind = radio(40, "На скрепке");
    job.coverLamination = radio(20, "30 мкм Глянцевая");
    job.innerSheets = QStringLiteral("10");
    job.quantity = QStringLiteral("20");
    return job;
}

StreetJob filmPrint(const char *width, const char *height)
{
    StreetJob job;
    job.material = radio(10, "Самоклеющаяся плёнка");
    job.quality = radio(9, "360 dpi");
    job.width = QString::fromUtf8(width);
    job.height = QString::fromUtf8(height);
    job.quantity = QStringLiteral("1");
    return job;
}

StandPocket pocket(double amount, const char *caption, const char *count)
{
    return {{QString(), amount, QString::fromUtf8(caption), false}, QString::fromUtf8(count)};
}

SouvenirJob a4Mugs()
{
    SouvenirJob job;
    job.size = radio(2, "А4 (210х297 мм.)", "Размер изображения");
    job.colours = radio(2, "4+0");
    job.material = radio(0, "Кружки");
    job.quantity = QStringLiteral("40");
    return job;
}

using Pricing = std::function<QVector<Quote>(const PriceTable &)>;

template<typename Job>
Pricing pricing(QVector<Quote> (*price)(const Job &, const PriceTable &), Job job)
{
    return [price, job](const PriceTable &table) { return price(job, table); };
}

} // namespace

Q_DECLARE_METATYPE(Pricing)

class PagePricingTest : public QObject
{
    Q_OBJECT

private slots:
    void jobs_data()
    {
        QTest::addColumn<Pricing>("price");
        QTest::addColumn<QString>("keyText");
        QTest::addColumn<QString>("unitPrice");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("tierKeyText"); // empty: no second line
        QTest::addColumn<bool>("missing");

        SheetProductsJob sheet = a4Sheet();
        sheet.varnish = boxes({{43, "1+0 лак"}});
        sheet.other = boxes({{23, "Обрезка углов 4 шт."}});
        QTest::newRow("sheet: A4 4+4 matte 350, varnish and corners")
            << pricing(priceSheetProducts, sheet) << "значение=002428"
            << "132"
            << "А4 (210х297 мм.); Формат 4+4; Матовая; 350; ; ; 1+0 лак; ; Обрезка углов 4 шт."
            << "" << false;
        sheet.quantity = QStringLiteral("500");
        QTest::newRow("sheet: 500 pieces add the tier line without the extras")
            << pricing(priceSheetProducts, sheet) << "значение=002428"
            << "132"
            << "А4 (210х297 мм.); Формат 4+4; Матовая; 350; ; ; 1+0 лак; ; Обрезка углов 4 шт."
            << "значение=502428" << false;
        sheet.quantity = QStringLiteral("3000");
        QTest::newRow("sheet: 3000 pieces, the second tier")
            << pricing(priceSheetProducts, sheet) << "значение=002428"
            << "132"
            << "А4 (210х297 мм.); Формат 4+4; Матовая; 350; ; ; 1+0 лак; ; Обрезка углов 4 шт."
            << "значение=602428" << false;

        SheetProductsJob custom = a4Sheet();
        custom.format = radio(15, "Другой", "Формат");
        custom.colour = radio(0, "1+0");
        custom.type = radio(0, "Простая");
        custom.density = radio(0, "80");
        custom.customSize = true;
        custom.width = QStringLiteral("100");
        custom.height = QStringLiteral("200");
        QTest::newRow("sheet: custom 100 x 200 prices by area")
            << pricing(priceSheetProducts, custom) << "значение=0015000"
            << "200"
            << "Другой; 100x200 1+0; Простая; 80; ; ; "
            << "" << false;
        custom.colour = radio(4, "4+4");
        QTest::newRow("sheet: custom size in 4+4 is not in the list")
            << pricing(priceSheetProducts, custom) << "значение=0015400"
            << "0"
            << "Другой; 100x200 4+4; Простая; 80; ; ; "
            << "" << true;

        QTest::newRow("brochure: 10 matte inner sheets, glossy cover, stapled, laminated")
            << pricing(priceBrochures, a4Brochure()) << "значение=012436"
            << "194"
            << "А4 (210х297 мм.); Формат 1+1; Матовая; 120; 4+4; Глянцевая; 300На скрепке; ; "
               "30 мкм Глянцевая; ; "
            << "" << false;

        QTest::newRow("street: film 360 dpi 1000 x 2000")
            << pricing(priceStreet, filmPrint("1000", "2000")) << "значение=121111109"
            << "540000"
            << "Другой; Другой; Самоклеющаяся плёнка; 360 dpi; "
            << "" << false;
        StreetJob plastic = filmPrint("1000", "2000");
        plastic.base = radio(100, "Пластик 2 мм.");
        QTest::newRow("street: the base multiplies the print and adds itself")
            << pricing(priceStreet, plastic) << "значение=121111109"
            << "5.40001e+07"
            << "Другой; Другой; Самоклеющаяся плёнка; 360 dpiПластик 2 мм.; "
            << "" << false;
        StreetJob stand = filmPrint("", "");
        stand.pockets = {pocket(20, "А4", "3"), pocket(15, "А3", "-5"), pocket(30, "А5", "inf")};
        QTest::newRow("street: pockets count, a bad count orders none")
            << pricing(priceStreet, stand) << "значение=121111109"
            << "60"
            << "Другой; Другой; Самоклеющаяся плёнка; 360 dpi; "
            << "" << false;

        InteriorJob interior;
        interior.format.title = QStringLiteral("Формат");
        interior.colour = radio(0, "1+0");
        interior.quantity = QStringLiteral("1");
        QTest::newRow("interior: nothing chosen has no price")
            << pricing(priceInterior, interior) << "значение=130000"
            << "0"
            << "; Формат 1+0; ; "
            << "" << true;

        QTest::newRow("souvenir: A4 4+0 on mugs, priced per thousand")
            << pricing(priceSouvenir, a4Mugs()) << "значение=252200"
            << "0.03"
            << "А4 (210х297 мм.); Размер изображения 4+0; Кружки; 0"
            << "" << false;
    }

    // The line a press appends, its tier line, the missing-price mark, and the stored job priced
    // again to the same lines.
    void jobs()
    {
        QFETCH(Pricing, price);
        QFETCH(QString, keyText);
        QFETCH(QString, unitPrice);
        QFETCH(QString, description);
        QFETCH(QString, tierKeyText);
        QFETCH(bool, missing);

        const PriceTable &table = PriceTable::shared();
        const QVector<Quote> quotes = price(table);
        QCOMPARE(quotes.size(), tierKeyText.isEmpty() ? 1 : 2);
        const OrderLine &line = quotes.first().line;
        QCOMPARE(line.keyText, keyText);
        QCOMPARE(line.unitPrice, unitPrice);
        QCOMPARE(line.description, description);
        QCOMPARE(line.missingPrice, missing);
        const QString explanation = quotes.first().explanation();
        QCOMPARE(explanation.startsWith(QStringLiteral("Нет цены в прайс-листе")), missing);
        for (const PriceLookup &lookup : quotes.first().lookups)
            QVERIFY2(explanation.contains(lookup.key), qPrintable(explanation));

        if (quotes.size() == 2) {
            const Quote &tier = quotes.at(1);
            QCOMPARE(tier.line.keyText, tierKeyText);
            QVERIFY(tier.extras.isEmpty());
            QCOMPARE(tier.line.unitPrice,
                     numberText(
                         table.price(tierKeyText.mid(tierKeyText.indexOf(QLatin1Char('=')) + 1))));
            QCOMPARE(tier.line.removalMarker, line.removalMarker);
        }

        const QVector<Quote> again = priceStoredJob(quotes.first().orderLine().job, table);
        QCOMPARE(again.size(), quotes.size());
        for (int i = 0; i < quotes.size(); ++i)
            QCOMPARE(again.at(i).line, quotes.at(i).line);
        if (quotes.size() == 2) {
            const QVector<Quote> tier = priceStoredJob(quotes.at(1).orderLine().job, table);
            QCOMPARE(tier.size(), 1);
            QCOMPARE(tier.first().line, quotes.at(1).line);
        }
    }

    void explanationNamesEveryPart()
    {
        const Quote quote = priceBrochures(a4Brochure(), PriceTable::shared()).first();
        for (const char *part : {"012122", "012436", "На скрепке", "30 мкм Глянцевая", "40", "20",
                                 "внутренних листов: 10", "194"})
            QVERIFY2(quote.explanation().contains(QString::fromUtf8(part)),
                     qPrintable(QString::fromUtf8(part) + QStringLiteral(" missing from:\n")
                                + quote.explanation()));
    }

    void titlesAndMarker()
    {
        const Quote quote = priceSheetProducts(a4Sheet(), PriceTable::shared()).first();
        QCOMPARE(quote.line.titles,
                 QStringLiteral("Формат Цветность Плотность (гр./м2) Тип Бумаги      "));
        QVERIFY(quote.line.removalMarker);
        QVERIFY(!priceSouvenir(a4Mugs(), PriceTable::shared()).first().line.removalMarker);
    }

    void storedJobsOfNoPage_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("empty") << QByteArray("{}");
        QTest::newRow("unknown page") << QByteArray(R"({"page":"engraving"})");
        QTest::newRow("page of another type") << QByteArray(R"({"page":5})");
    }
    void storedJobsOfNoPage()
    {
        QFETCH(QByteArray, json);
        QVERIFY(
            priceStoredJob(QJsonDocument::fromJson(json).object(), PriceTable::shared()).isEmpty());
    }

    // Loaded prices of seven to nine digits: the line's text, its sum and the order's total, and
    // the breakdown, all of one figure.
    void loadedPricesToTheKopeck_data()
    {
        QTest::addColumn<QString>("job");
        QTest::addColumn<double>("price");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("unitPrice");
        QTest::addColumn<QString>("sum");
        QTest::addColumn<QString>("listed"); // the price as the breakdown names it
        QTest::newRow("7 digits") << "sheet" << 12345.67 << "3"
                                  << "12345.67"
                                  << "37 037,01 ₽"
                                  << "12345.67 за лист";
        QTest::newRow("9 digits") << "sheet" << 1234567.89 << "3"
                                  << "1234567.89"
                                  << "3 703 703,67 ₽"
                                  << "1234567.89 за лист";
        QTest::newRow("9 digits at the limit") << "sheet" << 9999999.99 << "1"
                                               << "9999999.99"
                                               << "9 999 999,99 ₽"
                                               << "9999999.99 за лист";
        QTest::newRow("7 digits, one decimal") << "sheet" << 123456.7 << "10"
                                               << "123456.7"
                                               << "1 234 567 ₽"
                                               << "123456.7 за лист";
        QTest::newRow("exact in six digits") << "sheet" << 1620000.0 << "2"
                                             << "1.62e+06"
                                             << "3 240 000 ₽"
                                             << "1.62e+06 за лист";
        QTest::newRow("computed, rounded to kopecks") << "street" << 1234.57 << "2"
                                                      << "136900.23"
                                                      << "273 800,46 ₽"
                                                      << "1234.57 за 1000 мм²";
        QTest::newRow("computed, half a kopeck up") << "street" << 45.0 << "1"
                                                    << "4990.01"
                                                    << "4 990,01 ₽"
                                                    << "45 за 1000 мм²";
    }
    void loadedPricesToTheKopeck()
    {
        QFETCH(QString, job);
        QFETCH(double, price);
        QFETCH(QString, quantity);
        QFETCH(QString, unitPrice);
        QFETCH(QString, sum);
        QFETCH(QString, listed);
        const Quote quote = exact::quote(job, price, quantity);
        QCOMPARE(quote.line.unitPrice, unitPrice);
        sum.replace(QRegularExpression(QStringLiteral("(?<=\\d) (?=\\d)")), QChar(0x00A0));
        QCOMPARE(moneyText(lineSum(quote.line)), sum);
        Order order;
        order.append(quote.orderLine());
        QCOMPARE(moneyText(order.totals().subtotal), sum);
        // Read back from its text, as storage and the sheet read it, the line sums the same.
        OrderLine stored = quote.orderLine();
        stored.hasNumbers = false;
        QCOMPARE(lineSum(stored), lineSum(quote.line));
        const QString explanation = quote.explanation();
        QVERIFY2(explanation.contains(listed), qPrintable(explanation));
        QVERIFY2(explanation.contains(QStringLiteral("Цена за единицу: ") + unitPrice),
                 qPrintable(explanation));
    }
};

QTEST_GUILESS_MAIN(PagePricingTest)
#include "test_page_pricing.moc"
