// The pure helpers every page prices with: number text, field reading, keys, sizes, tiers, money
// and the built-in table.
#include "order/money.h"
#include "order/order_line.h"
#include "prices/price_table.h"
#include "pricing/number_text.h"
#include "pricing/rules.h"

#include <QtTest>

#include <limits>

class CoreRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void numberTexts_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 132.0 << "132";
        QTest::newRow("fraction 0.03") << 0.03 << "0.03";
        QTest::newRow("half") << 1.5 << "1.5";
        QTest::newRow("six digits kept") << 123456.0 << "123456";
        QTest::newRow("seventh digit gives exponent") << 1620000.0 << "1.62e+06";
        QTest::newRow("rounded to six digits") << 54000100.0 << "5.40001e+07";
        QTest::newRow("product of float price") << 0.001 * double(float(13.2)) << "0.0132";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative") << -2.5 << "-2.5";
    }
    void numberTexts()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(numberText(value), text);
    }

    // A unit price keeps its six-digit text where that is exact, else goes to kopecks; the line's
    // figure is always its text's reading, which the sheet and the PDF read.
    void priceTexts_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("figure");
        QTest::newRow("built-in whole") << 132.0 << "132" << 132.0;
        QTest::newRow("built-in half") << 1.5 << "1.5" << 1.5;
        QTest::newRow("exact in six digits, exponent kept") << 1620000.0 << "1.62e+06" << 1620000.0;
        QTest::newRow("thousandth kept") << 0.001 << "0.001" << 0.001;
        QTest::newRow("four decimals kept") << 1.2345 << "1.2345" << 1.2345;
        QTest::newRow("7 digits") << 12345.67 << "12345.67" << 12345.67;
        QTest::newRow("8 digits") << 123456.78 << "123456.78" << 123456.78;
        QTest::newRow("9 digits") << 1234567.89 << "1234567.89" << 1234567.89;
        QTest::newRow("7 whole digits") << 1234567.0 << "1234567" << 1234567.0;
        QTest::newRow("trailing zero dropped") << 1234567.5 << "1234567.5" << 1234567.5;
        QTest::newRow("computed, to kopecks") << 136900.23273 << "136900.23" << 136900.23;
        QTest::newRow("half a kopeck up") << 1234.565 << "1234.57" << 1234.57;
        QTest::newRow("binary sum") << 0.1 + 0.2 << "0.3" << 0.3;
        QTest::newRow("below a kopeck, not exact") << 0.0123456789 << "0.01" << 0.01;
        QTest::newRow("negative") << -12345.67 << "-12345.67" << -12345.67;
    }
    void priceTexts()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QFETCH(double, figure);
        QCOMPARE(priceText(value), text);
        QCOMPARE(linePrice(value), figure);
        double read = 0.0;
        QVERIFY(readAmount(text, &read));
        QVERIFY2(read == linePrice(value), "the text and the line's figure differ");
    }

    void fieldReading_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("whole");
        QTest::addColumn<double>("decimal");
        QTest::newRow("empty") << "" << 0 << 0.0;
        QTest::newRow("leading blank") << " 3" << 3 << 3.0;
        QTest::newRow("letters") << "abc" << 0 << 0.0;
        QTest::newRow("above the field's top") << "100501" << 100501 << 100501.0;
        QTest::newRow("decimal point") << "2.5" << 0 << 2.5;
        QTest::newRow("comma is no decimal") << "2,5" << 0 << 0.0;
        QTest::newRow("negative") << "-5" << -5 << -5.0;
        QTest::newRow("too large for int") << "99999999999" << 0 << 99999999999.0;
    }
    void fieldReading()
    {
        QFETCH(QString, text);
        QFETCH(int, whole);
        QFETCH(double, decimal);
        QCOMPARE(wholeNumber(text), whole);
        QCOMPARE(fieldNumber(text), decimal);
    }

    void keys_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QVector<double>>("codes");
        QTest::addColumn<QString>("key");
        QTest::newRow("sheet A4 4+4 coated 350")
            << "00" << QVector<double> {2, 4, 2, 8} << "002428";
        QTest::newRow("two-digit code") << "00" << QVector<double> {10, 4, 2, 8} << "0010428";
        QTest::newRow("custom size code 15") << "01" << QVector<double> {15, 0, 0, 0} << "0115000";
        QTest::newRow("street") << "12" << QVector<double> {11, 11, 9, 100}
                                << "12111191"
                                   "00";
        QTest::newRow("fractional code") << "00" << QVector<double> {1.5} << "001.5";
    }
    void keys()
    {
        QFETCH(QString, family);
        QFETCH(QVector<double>, codes);
        QFETCH(QString, key);
        QString composed;
        switch (codes.size()) {
        case 1:
            composed = composeKey(family, {codes[0]});
            break;
        default:
            composed = composeKey(family, {codes[0], codes[1], codes[2], codes[3]});
        }
        QCOMPARE(composed, key);
        QCOMPARE(keyText(key), QStringLiteral("значение=") + key);
    }

    void sizes_data()
    {
        QTest::addColumn<bool>("custom");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::addColumn<double>("factor");
        QTest::addColumn<QString>("text");
        QTest::newRow("standard keeps the page factor") << false << "100"
                                                        << "200" << 0.001 << "Формат";
        QTest::newRow("custom area /1000") << true << "100"
                                           << "200" << 20.0 << "100x200";
        QTest::newRow("custom 1000 x 2000") << true << "1000"
                                            << "2000" << 2000.0 << "1000x2000";
        QTest::newRow("empty side reads 0") << true << "100"
                                            << "" << 0.0 << "100x";
        QTest::newRow("letters read 0") << true << "abc"
                                        << "5" << 0.0 << "abcx5";
    }
    void sizes()
    {
        QFETCH(bool, custom);
        QFETCH(QString, width);
        QFETCH(QString, height);
        QFETCH(double, factor);
        QFETCH(QString, text);
        const JobSize size = jobSize(custom, 0.001, QStringLiteral("Формат"), width, height);
        QCOMPARE(size.factor, factor);
        QCOMPARE(size.text, text);
        if (custom) {
            QCOMPARE(size.per, QStringLiteral("за 1000 мм²"));
            QVERIFY2(size.explanation.startsWith(width + QStringLiteral(" × ") + height),
                     qPrintable(size.explanation));
        }
    }

    void tiers_data()
    {
        QTest::addColumn<int>("quantity");
        QTest::addColumn<QString>("family");
        for (const auto &[quantity, family] :
             std::initializer_list<std::pair<int, const char *>> {{0, ""},
                                                                  {499, ""},
                                                                  {500, "50"},
                                                                  {999, "50"},
                                                                  {1000, "60"},
                                                                  {3000, "60"},
                                                                  {3001, ""},
                                                                  {-600, ""}})
            QTest::addRow("%d", quantity) << quantity << QString::fromLatin1(family);
    }
    void tiers()
    {
        QFETCH(int, quantity);
        QFETCH(QString, family);
        QCOMPARE(tierFamily(quantity, QStringLiteral("50"), QStringLiteral("60")), family);
    }

    void calcRounding_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("0.25 x 0.18 shows 0.05") << 0.25 * 0.18 << "0,05";
        QTest::newRow("2.675 shows 2.68") << 2.675 << "2,68";
        QTest::newRow("1.005 shows 1.01") << 1.005 << "1,01";
        QTest::newRow("whole roubles without kopecks") << 132.0 << "132";
        QTest::newRow("thousands grouped") << 13203.15 << "13\u00a0203,15";
        QTest::newRow("millions") << 1234567.5 << "1\u00a0234\u00a0567,50";
        QTest::newRow("half away from zero, negative") << -2.675 << "-2,68";
        QTest::newRow("tiny rounds to zero") << 0.004 << "0";
    }
    void calcRounding()
    {
        QFETCH(double, value);
        QFETCH(QString, shown);
        QCOMPARE(moneyNumber(value), shown);
        QCOMPARE(moneyText(value), shown + QStringLiteral(" ₽"));
    }

    void amounts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        QTest::newRow("point") << "0.5" << true << 0.5;
        QTest::newRow("comma") << "0,5" << true << 0.5;
        QTest::newRow("grouped by blank") << "1 000" << true << 1000.0;
        QTest::newRow("grouped by no-break space") << "1\u00a0000,25" << true << 1000.25;
        QTest::newRow("exponent") << "5.40001e+07" << true << 54000100.0;
        QTest::newRow("unit after number") << "5 шт" << false << 0.0;
        QTest::newRow("infinite") << "1e999" << false << 0.0;
        QTest::newRow("nan") << "nan" << false << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
    }
    void amounts()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(double, value);
        double read = -1;
        QCOMPARE(readAmount(text, &read), ok);
        if (ok)
            QCOMPARE(read, value);
    }

    // The totals are the invoice's: quantity × price per line, 18 % on the subtotal.
    void totals()
    {
        auto line = [](const char *quantity, const char *price) {
            OrderLine l;
            l.quantity = QString::fromUtf8(quantity);
            l.unitPrice = QString::fromUtf8(price);
            return l;
        };
        const OrderTotals totals = orderTotals(
            {line("100", "132"), line("3", "0.03"), line("5 шт", "10"), line("2", "")});
        QCOMPARE(totals.lines, 4);
        QCOMPARE(totals.subtotal, 100 * 132.0 + 3 * 0.03);
        QCOMPARE(totals.tax, totals.subtotal * 0.18);
        QCOMPARE(totals.total, totals.subtotal + totals.subtotal * 0.18);
    }

    void builtInTable()
    {
        QString error;
        const PriceTable table = PriceTable::builtIn(&error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(table.size(), 5279);
        QCOMPARE(table.version(), 0);
        bool found = true;
        QCOMPARE(table.price(QString(), &found), 0.0);
        QVERIFY(!found);
        QCOMPARE(table.price(QStringLiteral("002428"), &found), 66.0);
        QVERIFY(found);
    }

    // A version's prices are held as loaded, to the kopeck and below.
    void versionPricesAreHeldExactly()
    {
        const PriceTable table({{QStringLiteral("001"), 123.45},
                                {QStringLiteral("002"), 9999999.99},
                                {QStringLiteral("003"), 0.001},
                                {QStringLiteral("001"), 5.0}},
                               3);
        QCOMPARE(table.size(), 3);
        QVERIFY(table.price(QStringLiteral("001")) == 123.45);
        QVERIFY(table.price(QStringLiteral("002")) == 9999999.99);
        QVERIFY(table.price(QStringLiteral("003")) == 0.001);
        QCOMPARE(table.version(), 3);
    }
};

QTEST_GUILESS_MAIN(CoreRulesTest)
#include "test_core_rules.moc"
