// The live price beside "Ответ" on the five pricing pages: it shows what the press then appends,
// and a line the price list has no price for is marked before and after the press.
#include "tests/page_driver.h"

#include "calculators/live_price.h"
#include "order/money.h"
#include "order/order_cells.h"

namespace {

// Clicks the named buttons and types "field=text" entries, in the order given.
void act(const PageDriver &driver, const QStringList &actions)
{
    for (const QString &action : actions) {
        const int equals = action.indexOf(QLatin1Char('='));
        if (equals > 0)
            driver.type(action.left(equals), action.mid(equals + 1));
        else
            driver.click(action);
    }
}

// Money as written here, with a blank between digit groups, as the program shows it: with a
// no-break space there.
QString grouped(const QString &text)
{
    static const QRegularExpression blank(QStringLiteral("(?<=\\d) (?=\\d)"));
    return QString(text).replace(blank, QString(QChar(0x00A0)));
}

} // namespace

class LivePriceTest : public QObject, private PageDriver
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(openWindow()); }
    void cleanup() { closeWindow(); }

    void labelShowsWhatThePressAppends_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QString>("missing"); // per line appended: '1' when it has no price
        QTest::addColumn<QString>("missingKey");
        QTest::addColumn<QString>("shown"); // the label's text, where spelled out
        QTest::addColumn<QStringList>("mentions"); // in the first line's breakdown

        const QString sheet = QStringLiteral("labelLivePrice_1_1");
        QTest::newRow("sheet: A4 4+4 matte 350, varnish and corners, 100")
            << "page" << "pushButton" << sheet
            << QStringList {"radioButton_3",  "radioButton_28", "radioButton_49",
                            "radioButton_78", "checkBox_161",   "checkBox_34", "lineEdit=100"}
            << "0" << QString() << "132 ₽ × 100 шт. = 13 200 ₽"
            << QStringList {"002428", "66", "Шелкография", "1+0 лак", "43", "Обрезка углов 4 шт.",
                            "23", "132"};
        QTest::newRow("sheet: 700 pieces bring a tier line")
            << "page" << "pushButton" << sheet << QStringList {"lineEdit=700"} << "00" << QString()
            << "1,50 ₽ × 700 шт. = 1 050 ₽\nТираж: 10 ₽ × 700 шт. = 7 000 ₽" << QStringList {"000000"};
        QTest::newRow("sheet: 1500 laminated, the tier line without lamination")
            << "page" << "pushButton" << sheet << QStringList {"radioButton_134", "lineEdit=1500"}
            << "00" << QString() << "61,50 ₽ × 1 500 шт. = 92 250 ₽\nТираж: 20 ₽ × 1 500 шт. = 30 000 ₽"
            << QStringList {"Ламинация", "175 мкм Глянцевая", "60"};
        QTest::newRow("sheet: A4 4+4 matte 350 at 700, no tier price")
            << "page" << "pushButton" << sheet
            << QStringList {"radioButton_3", "radioButton_28", "radioButton_49", "radioButton_78",
                            "lineEdit=700"}
            << "01" << "502428" << QString() << QStringList {"002428"};
        QTest::newRow("sheet: custom 100 x 200 in 4+4, no key")
            << "page" << "pushButton" << sheet
            << QStringList {"radioButtonOther", "lineEditWidth=100", "lineEditHeight=200",
                            "radioButton_28"}
            << "1" << "0015400" << "Нет цены в прайс-листе: 0015400\n0 ₽ × 1 шт. = 0 ₽"
            << QStringList {"100 × 200 мм → 20"};

        const QString brochures = QStringLiteral("labelLivePrice_1_2");
        QTest::newRow("brochures: 10 inner sheets, cover laminated")
            << "page_2" << "pushButton_2" << brochures
            << QStringList {"lineEdit_21=10", "radioButton_181", "lineEdit_10=3"} << "0"
            << QString() << "76,50 ₽ × 3 шт. = 229,50 ₽"
            << QStringList {"внутренние листы", "обложка", "010000", "1.5", "60"};
        QTest::newRow("brochures: 600 copies bring a tier line")
            << "page_2" << "pushButton_2" << brochures << QStringList {"lineEdit_10=600"} << "00"
            << QString() << QString() << QStringList {"010000"};
        QTest::newRow("brochures: cover on Плайк has no price")
            << "page_2" << "pushButton_2" << brochures << QStringList {"radioButton_443"} << "1"
            << "010050" << QString() << QStringList {"010000", "010050"};

        const QString street = QStringLiteral("labelLivePrice_2_1");
        QTest::newRow("street: film 360 dpi 1000 x 2000, 3 pieces")
            << "page_3" << "pushButton_12" << street
            << QStringList {"radioButton_11", "radioButton_112", "lineEditWidthStreet=1000",
                            "lineEditHeightStreet=2000", "lineEdit_14=3"}
            << "0" << QString() << "540 000 ₽ × 3 шт. = 1 620 000 ₽"
            << QStringList {"121111109", "270", "1000 × 2000 мм → 2000"};
        QTest::newRow("street: on plastic 2 mm, a unit price in exponent form")
            << "page_3" << "pushButton_12" << street
            << QStringList {"radioButton_11", "radioButton_112", "lineEditWidthStreet=1000",
                            "lineEditHeightStreet=2000", "radioButton_122"}
            << "0" << QString() << "54 000 100 ₽ × 1 шт. = 54 000 100 ₽"
            << QStringList {"Основа", "Пластик 2 мм.", "100"};
        QTest::newRow("street: mesh at 540 dpi has no price")
            << "page_3" << "pushButton_12" << street
            << QStringList {"radioButton_21", "radioButton_113", "lineEditWidthStreet=1000",
                            "lineEditHeightStreet=1000"}
            << "1" << "1211111610" << QString() << QStringList {};

        const QString interior = QStringLiteral("labelLivePrice_2_2");
        QTest::newRow("interior: A1 1+0 matte 120, 4 pieces")
            << "page_4" << "pushButton_9" << interior
            << QStringList {"radioButton_16", "radioButton_41", "radioButton_46", "lineEdit_12=4"}
            << "0" << QString() << "0,05 ₽ × 4 шт. = 0,20 ₽" << QStringList {"136022"};
        QTest::newRow("interior: nothing chosen")
            << "page_4" << "pushButton_9" << interior << QStringList {} << "1" << "130000"
            << QString() << QStringList {};

        const QString souvenir = QStringLiteral("labelLivePrice_3_1");
        QTest::newRow("souvenir: A4 4+0 mugs, 40 pieces, light")
            << "page_5" << "pushButton_15" << souvenir
            << QStringList {"radioButton_67", "radioButton_62", "radioButton_68", "lineEdit_16=40"}
            << "0" << QString() << "0,03 ₽ × 40 шт. = 1,20 ₽" << QStringList {"002200"};
        QTest::newRow("souvenir: pens at start, no key")
            << "page_5" << "pushButton_15" << souvenir << QStringList {"radioButton_79"} << "1"
            << "0014010" << QString() << QStringList {};
    }

    void labelShowsWhatThePressAppends()
    {
        QFETCH(QString, page);
        QFETCH(QString, answer);
        QFETCH(QString, label);
        QFETCH(QStringList, actions);
        QFETCH(QString, missing);
        QFETCH(QString, missingKey);
        QFETCH(QString, shown);
        QFETCH(QStringList, mentions);

        showPage(page);
        act(*this, actions);
        const QLabel *live = find<QLabel>(label);
        QVERIFY2(live->isVisible(), "the live price is not on screen");
        const QString text = live->text();
        const QString toolTip = live->toolTip();
        const bool warned = live->palette().color(live->foregroundRole()) == LivePriceWarningColour;
        if (!shown.isEmpty())
            QCOMPARE(text, grouped(shown));

        answerButton = answer;
        const int lines = missing.size();
        QVERIFY(answerAdds(lines));

        // The label's rows rebuilt from the lines the press appended.
        QStringList rebuilt;
        QStringList toolTips;
        for (int i = 0; i < lines; ++i) {
            const int row = rows() - lines + i;
            const TableRow line = orderLine(row);
            const QTableWidgetItem *price = orderTable()->item(row, 2);
            const QString breakdown = price->toolTip();
            toolTips << breakdown;
            const bool lacking = missing.at(i) == QLatin1Char('1');
            QString expected;
            if (lacking) {
                QVERIFY2(breakdown.startsWith(QStringLiteral("Нет цены в прайс-листе")),
                         qPrintable("no warning first in: " + breakdown));
                QVERIFY2(breakdown.section(QLatin1Char('\n'), 0, 0).contains(missingKey),
                         qPrintable("the missing key is not named first: " + breakdown));
                QCOMPARE(price->background().color(), MissingPriceColour);
                expected = QStringLiteral("Нет цены в прайс-листе: ") + missingKey + QLatin1Char('\n');
            } else {
                QVERIFY2(!breakdown.contains(QStringLiteral("Нет цены")), qPrintable(breakdown));
                QCOMPARE(price->background().style(), Qt::NoBrush);
            }
            double unitPrice = 0;
            QVERIFY(readAmount(line.price, &unitPrice));
            const double quantity = line.quantity.toDouble();
            rebuilt << expected + (i > 0 ? QStringLiteral("Тираж: ") : QString())
                    + moneyText(unitPrice) + QStringLiteral(" × ") + moneyNumber(quantity)
                    + QStringLiteral(" шт. = ") + moneyText(quantity * unitPrice);
        }
        QCOMPARE(text, rebuilt.join(QLatin1Char('\n')));
        QCOMPARE(toolTip, toolTips.join(QStringLiteral("\n\n")));
        QCOMPARE(warned, missing.contains(QLatin1Char('1')));
        for (const QString &mention : mentions)
            QVERIFY2(toolTips.first().contains(mention),
                     qPrintable(mention + " is not in: " + toolTips.first()));
    }

    // Every keystroke in a number field and every option click is priced at once; after the
    // press the label shows the extras cleared, as the next press appends them.
    void labelFollowsEachChange()
    {
        showPage(QStringLiteral("page"));
        const QLabel *live = find<QLabel>("labelLivePrice_1_1");
        auto *quantity = find<QLineEdit>("lineEdit");
        quantity->setFocus();
        quantity->selectAll();
        QTest::keyClick(quantity, Qt::Key_Backspace);
        QCOMPARE(live->text(), QStringLiteral("1,50 ₽ × 0 шт. = 0 ₽"));
        const QStringList afterEachKey
            = {"1,50 ₽ × 7 шт. = 10,50 ₽", "1,50 ₽ × 70 шт. = 105 ₽",
               "1,50 ₽ × 700 шт. = 1 050 ₽\nТираж: 10 ₽ × 700 шт. = 7 000 ₽"};
        for (int i = 0; i < afterEachKey.size(); ++i) {
            QTest::keyClick(quantity, "700"[i]);
            QCOMPARE(live->text(), grouped(afterEachKey.at(i)));
        }
        click("radioButton_3");
        QCOMPARE(live->text().section(QLatin1Char('\n'), 0, 0),
                 grouped("2 ₽ × 700 шт. = 1 400 ₽"));
        click("radioButton_145");
        QCOMPARE(live->text().section(QLatin1Char('\n'), 0, 0),
                 grouped("82 ₽ × 700 шт. = 57 400 ₽"));
        answerButton = QStringLiteral("pushButton");
        QVERIFY(answerAdds(2));
        QCOMPARE(live->text().section(QLatin1Char('\n'), 0, 0),
                 grouped("2 ₽ × 700 шт. = 1 400 ₽"));
    }
};

QTEST_MAIN(LivePriceTest)
#include "test_live_price.moc"
