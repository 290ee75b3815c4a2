// The live price beside "Ответ" on the five pricing pages: it shows what the press then appends,
// and a line the price list has no price for is marked before and after the press.
#include "tests/exact_prices.h"
#include "tests/page_driver.h"

#include "app/order_cells.h"
#include "calculators/live_price.h"
#include "order/money.h"

namespace {

// Money as written here, with a blank between digit groups: the program puts a no-break space.
QString grouped(const QString &text)
{
    static const QRegularExpression blank(QStringLiteral("(?<=\\d) (?=\\d)"));
    return QString(text).replace(blank, QString(QChar(0x00A0)));
}

struct Page
{
    const char *page, *answer, *label;
};
const Page Pages[] = {{"page", "pushButton", "labelLivePrice_1_1"},
                      {"page_2", "pushButton_2", "labelLivePrice_1_2"},
                      {"page_3", "pushButton_12", "labelLivePrice_2_1"},
                      {"page_4", "pushButton_9", "labelLivePrice_2_2"},
                      {"page_5", "pushButton_15", "labelLivePrice_3_1"}};

// A job on a page: buttons clicked and "field=text" typed; per appended line '1' where it has no
// price, and the key it lacks; the label's text where spelled out; what the first breakdown names.
struct Job
{
    const char *name;
    int page;
    QStringList actions;
    QString missing;
    QStringList keys;
    QString shown;
    QStringList mentions;
};

// clang-format off
const Job Jobs[] = {
    {"sheet: A4 4+4 matte 350, varnish and corners, 100", 0,
     {"radioButton_3", "radioButton_28", "radioButton_49", "radioButton_78", "checkBox_161", "checkBox_34", "lineEdit=100"},
     "0", {}, "132 ₽ × 100 шт. = 13 200 ₽",
     {"002428", "66", "Шелкография", "1+0 лак", "43", "Обрезка углов 4 шт.", "23", "132"}},
    {"sheet: 700 pieces bring a tier line", 0, {"lineEdit=700"},
     "00", {}, "1,50 ₽ × 700 шт. = 1 050 ₽\nТираж: 10 ₽ × 700 шт. = 7 000 ₽", {"000000"}},
    {"sheet: 1500 laminated, the tier line without lamination", 0, {"radioButton_134", "lineEdit=1500"},
     "00", {}, "61,50 ₽ × 1 500 шт. = 92 250 ₽\nТираж: 20 ₽ × 1 500 шт. = 30 000 ₽",
     {"Ламинация", "175 мкм Глянцевая", "60"}},
    {"sheet: A4 4+4 matte 350 at 700, no tier price", 0,
     {"radioButton_3", "radioButton_28", "radioButton_49", "radioButton_78", "lineEdit=700"},
     "01", {"", "502428"}, {}, {"002428"}},
    {"sheet: custom 100 x 200 in 4+4, no key", 0,
     {"radioButtonOther", "lineEditWidth=100", "lineEditHeight=200", "radioButton_28"},
     "1", {"0015400"}, "Нет цены в прайс-листе: 0015400\n0 ₽ × 1 шт. = 0 ₽", {"100 × 200 мм → 20"}},
    {"sheet: custom size in 4+4 at 700, neither line priced", 0,
     {"radioButtonOther", "lineEditWidth=1000", "lineEditHeight=2000", "radioButton_28", "lineEdit=700"},
     "11", {"0015400", "5015400"}, {}, {}},
    {"brochures: 10 inner sheets, cover laminated", 1, {"lineEdit_21=10", "radioButton_181", "lineEdit_10=3"},
     "0", {}, "76,50 ₽ × 3 шт. = 229,50 ₽", {"внутренние листы", "обложка", "010000", "1.5", "60"}},
    {"brochures: 600 copies bring a tier line", 1, {"lineEdit_10=600"}, "00", {}, {}, {"010000"}},
    {"brochures: cover on Плайк has no price", 1, {"radioButton_443"},
     "1", {"010050"}, {}, {"010000", "010050"}},
    {"brochures: cover on Плайк at 1500, neither line priced", 1, {"radioButton_443", "lineEdit_10=1500"},
     "11", {"010050", "610050"}, {}, {}},
    {"street: film 360 dpi 1000 x 2000, 3 pieces", 2,
     {"radioButton_11", "radioButton_112", "lineEditWidthStreet=1000", "lineEditHeightStreet=2000", "lineEdit_14=3"},
     "0", {}, "540 000 ₽ × 3 шт. = 1 620 000 ₽", {"121111109", "270", "1000 × 2000 мм → 2000"}},
    {"street: on plastic 2 mm, a unit price in exponent form", 2,
     {"radioButton_11", "radioButton_112", "lineEditWidthStreet=1000", "lineEditHeightStreet=2000", "radioButton_122"},
     "0", {}, "54 000 100 ₽ × 1 шт. = 54 000 100 ₽", {"Основа", "Пластик 2 мм.", "100"}},
    {"street: mesh at 540 dpi has no price", 2,
     {"radioButton_21", "radioButton_113", "lineEditWidthStreet=1000", "lineEditHeightStreet=1000"},
     "1", {"1211111610"}, {}, {}},
    {"interior: A1 1+0 matte 120, 4 pieces", 3,
     {"radioButton_16", "radioButton_41", "radioButton_46", "lineEdit_12=4"},
     "0", {}, "0,05 ₽ × 4 шт. = 0,20 ₽", {"136022"}},
    {"interior: nothing chosen", 3, {}, "1", {"130000"}, {}, {}},
    {"souvenir: A4 4+0 mugs, 40 pieces", 4,
     {"radioButton_67", "radioButton_62", "radioButton_68", "lineEdit_16=40"},
     "0", {}, "0,03 ₽ × 40 шт. = 1,20 ₽", {"002200"}},
    {"souvenir: pens at start, no key", 4, {"radioButton_79"}, "1", {"0014010"}, {}, {}},
};
// clang-format on

} // namespace

class LivePriceTest : public QObject, private PageDriver
{
    Q_OBJECT

    void act(const QStringList &actions) const
    {
        for (const QString &action : actions) {
            const int equals = action.indexOf(QLatin1Char('='));
            if (equals > 0)
                type(action.left(equals), action.mid(equals + 1));
            else
                click(action);
        }
    }

private slots:
    void initTestCase() { useDesktopFont(); }
    void init() { QVERIFY(openWindow()); }
    void cleanup() { closeWindow(); }

    void labelShowsWhatThePressAppends_data()
    {
        QTest::addColumn<int>("job");
        for (int i = 0; i < int(std::size(Jobs)); ++i)
            QTest::newRow(Jobs[i].name) << i;
    }
    void labelShowsWhatThePressAppends()
    {
        QFETCH(int, job);
        const Job &row = Jobs[job];
        const Page &page = Pages[row.page];
        showPage(QLatin1String(page.page));
        act(row.actions);
        const auto *live = find<QLabel>(page.label);
        const QString text = live->text();
        const QString toolTip = live->toolTip();
        const bool warned = live->palette().color(live->foregroundRole()) == LivePriceWarningColour;
        if (!row.shown.isEmpty())
            QCOMPARE(text, grouped(row.shown));
        QVERIFY2(live->isVisible() && live->heightForWidth(live->width()) <= live->height(),
                 "the live price is hidden or clipped");

        answerButton = QLatin1String(page.answer);
        const int lines = row.missing.size();
        QVERIFY(answerAdds(lines));
        // The label rebuilt from the lines the press appended.
        QStringList rebuilt, toolTips;
        for (int i = 0; i < lines; ++i) {
            const TableRow line = orderLine(rows() - lines + i);
            const QTableWidgetItem *price = orderTable()->item(rows() - lines + i, 2);
            toolTips << price->toolTip();
            QString prefix = i > 0 ? QStringLiteral("Тираж: ") : QString();
            if (row.missing.at(i) == QLatin1Char('1')) {
                const QString head = QStringLiteral("Нет цены в прайс-листе");
                QVERIFY2(toolTips.last().startsWith(head)
                             && toolTips.last().section('\n', 0, 0).contains(row.keys.value(i)),
                         qPrintable("no warning with the key first: " + toolTips.last()));
                QCOMPARE(price->background().color(), MissingPriceColour);
                prefix = head + QStringLiteral(": ") + row.keys.value(i) + '\n' + prefix;
            } else {
                QVERIFY2(!toolTips.last().contains(QStringLiteral("Нет цены")), "a false warning");
                QCOMPARE(price->background().style(), Qt::NoBrush);
            }
            double unitPrice = 0;
            QVERIFY(readAmount(line.price, &unitPrice));
            const double quantity = line.quantity.toDouble();
            rebuilt << prefix + moneyText(unitPrice) + QStringLiteral(" × ") + moneyNumber(quantity)
                    + QStringLiteral(" шт. = ") + moneyText(quantity * unitPrice);
        }
        QCOMPARE(text, rebuilt.join('\n'));
        QCOMPARE(toolTip, toolTips.join(QStringLiteral("\n\n")));
        QCOMPARE(warned, row.missing.contains(QLatin1Char('1')));
        for (const QString &mention : row.mentions)
            QVERIFY2(toolTips.first().contains(mention), qPrintable(mention + " is not named"));
    }

    // Every keystroke and option click is priced at once; after the press the label shows the
    // extras cleared, as the next press appends them.
    void labelFollowsEachChange()
    {
        showPage(QStringLiteral("page"));
        const auto *live = find<QLabel>("labelLivePrice_1_1");
        type("lineEdit", QString());
        QCOMPARE(live->text(), QStringLiteral("1,50 ₽ × 0 шт. = 0 ₽"));
        const QStringList afterEachKey
            = {"1,50 ₽ × 7 шт. = 10,50 ₽", "1,50 ₽ × 70 шт. = 105 ₽",
               "1,50 ₽ × 700 шт. = 1 050 ₽\nТираж: 10 ₽ × 700 шт. = 7 000 ₽"};
        for (int i = 0; i < afterEachKey.size(); ++i) {
            QTest::keyClick(find<QLineEdit>("lineEdit"), "700"[i]);
            QCOMPARE(live->text(), grouped(afterEachKey.at(i)));
        }
        const auto firstRow = [live] { return live->text().section('\n', 0, 0); };
        click("radioButton_3");
        QCOMPARE(firstRow(), grouped("2 ₽ × 700 шт. = 1 400 ₽"));
        click("radioButton_145");
        QCOMPARE(firstRow(), grouped("82 ₽ × 700 шт. = 57 400 ₽"));
        answerButton = QStringLiteral("pushButton");
        QVERIFY(answerAdds(2));
        QCOMPARE(firstRow(), grouped("2 ₽ × 700 шт. = 1 400 ₽"));
    }

    // Prices of seven to nine digits as the live price shows them: the line's own figures.
    void pricesToTheKopeck_data()
    {
        QTest::addColumn<QString>("job");
        QTest::addColumn<double>("price");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("shown");
        QTest::newRow("7 digits") << "sheet" << 12345.67 << "3"
                                  << "12 345,67 ₽ × 3 шт. = 37 037,01 ₽";
        QTest::newRow("9 digits") << "sheet" << 1234567.89 << "3"
                                  << "1 234 567,89 ₽ × 3 шт. = 3 703 703,67 ₽";
        QTest::newRow("9 digits at the limit") << "sheet" << 9999999.99 << "1"
                                               << "9 999 999,99 ₽ × 1 шт. = 9 999 999,99 ₽";
        QTest::newRow("computed, rounded to kopecks")
            << "street" << 1234.57 << "2"
            << "136 900,23 ₽ × 2 шт. = 273 800,46 ₽";
        QTest::newRow("computed, half a kopeck up") << "street" << 45.0 << "1"
                                                    << "4 990,01 ₽ × 1 шт. = 4 990,01 ₽";
    }
    void pricesToTheKopeck()
    {
        QFETCH(QString, job);
        QFETCH(double, price);
        QFETCH(QString, quantity);
        QFETCH(QString, shown);
        QCOMPARE(livePriceText({exact::quote(job, price, quantity)}), grouped(shown));
    }
};

QTEST_MAIN(LivePriceTest)
#include "test_live_price.moc"
