// The live price beside "Ответ" on the five pricing pages: it shows what the press then appends,
// and a line the price list has no price for is marked before and after the press.
#include "tests/exact_prices.h"
#include "tests/page_driver.h"

#include "app/order_cells.h"
#include "calculators/live_price.h"
#include "order/money.h"

namespace {

const QString SampleNote = QStringLiteral("\n\n") + samplePriceWarning();

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
     {QStringLiteral("radioButton_3"), QStringLiteral("radioButton_28"), QStringLiteral("radioButton_49"), QStringLiteral("radioButton_78"), QStringLiteral("checkBox_161"), QStringLiteral("checkBox_34"), QStringLiteral("lineEdit=100")},
     QStringLiteral("0"), {}, QStringLiteral("132 ₽ × 100 шт. = 13 200 ₽"),
     {QStringLiteral("002428"), QStringLiteral("66"), QStringLiteral("Шелкография"), QStringLiteral("1+0 лак"), QStringLiteral("43"), QStringLiteral("Обрезка углов 4 шт."), QStringLiteral("23"), QStringLiteral("132")}},
    {"sheet: 700 pieces bring a tier line", 0, {QStringLiteral("lineEdit=700")},
     QStringLiteral("00"), {}, QStringLiteral("1,50 ₽ × 700 шт. = 1 050 ₽\nТираж: 10 ₽ × 700 шт. = 7 000 ₽"), {QStringLiteral("000000")}},
    {"sheet: 1500 laminated, the tier line without lamination", 0, {QStringLiteral("radioButton_134"), QStringLiteral("lineEdit=1500")},
     QStringLiteral("00"), {}, QStringLiteral("61,50 ₽ × 1 500 шт. = 92 250 ₽\nТираж: 20 ₽ × 1 500 шт. = 30 000 ₽"),
     {QStringLiteral("Ламинация"), QStringLiteral("175 мкм Глянцевая"), QStringLiteral("60")}},
    {"sheet: A4 4+4 matte 350 at 700, no tier price", 0,
     {QStringLiteral("radioButton_3"), QStringLiteral("radioButton_28"), QStringLiteral("radioButton_49"), QStringLiteral("radioButton_78"), QStringLiteral("lineEdit=700")},
     QStringLiteral("01"), {QStringLiteral(""), QStringLiteral("502428")}, {}, {QStringLiteral("002428")}},
    {"sheet: custom 100 x 200 in 4+4, no key", 0,
     {QStringLiteral("radioButtonOther"), QStringLiteral("lineEditWidth=100"), QStringLiteral("lineEditHeight=200"), QStringLiteral("radioButton_28")},
     QStringLiteral("1"), {QStringLiteral("0015400")}, QStringLiteral("Нет цены в прайс-листе: 0015400\n0 ₽ × 1 шт. = 0 ₽"), {QStringLiteral("100 × 200 мм → 20")}},
    {"sheet: custom size in 4+4 at 700, neither line priced", 0,
     {QStringLiteral("radioButtonOther"), QStringLiteral("lineEditWidth=1000"), QStringLiteral("lineEditHeight=2000"), QStringLiteral("radioButton_28"), QStringLiteral("lineEdit=700")},
     QStringLiteral("11"), {QStringLiteral("0015400"), QStringLiteral("5015400")}, {}, {}},
    {"brochures: 10 inner sheets, cover laminated", 1, {QStringLiteral("lineEdit_21=10"), QStringLiteral("radioButton_181"), QStringLiteral("lineEdit_10=3")},
     QStringLiteral("0"), {}, QStringLiteral("76,50 ₽ × 3 шт. = 229,50 ₽"), {QStringLiteral("внутренние листы"), QStringLiteral("обложка"), QStringLiteral("010000"), QStringLiteral("1.5"), QStringLiteral("60")}},
    {"brochures: 600 copies bring a tier line", 1, {QStringLiteral("lineEdit_10=600")}, QStringLiteral("00"), {}, {}, {QStringLiteral("010000")}},
    {"brochures: cover on Плайк has no price", 1, {QStringLiteral("radioButton_443")},
     QStringLiteral("1"), {QStringLiteral("010050")}, {}, {QStringLiteral("010000"), QStringLiteral("010050")}},
    {"brochures: cover on Плайк at 1500, neither line priced", 1, {QStringLiteral("radioButton_443"), QStringLiteral("lineEdit_10=1500")},
     QStringLiteral("11"), {QStringLiteral("010050"), QStringLiteral("610050")}, {}, {}},
    {"street: film 360 dpi 1000 x 2000, 3 pieces", 2,
     {QStringLiteral("radioButton_11"), QStringLiteral("radioButton_112"), QStringLiteral("lineEditWidthStreet=1000"), QStringLiteral("lineEditHeightStreet=2000"), QStringLiteral("lineEdit_14=3")},
     QStringLiteral("0"), {}, QStringLiteral("540 000 ₽ × 3 шт. = 1 620 000 ₽"), {QStringLiteral("121111109"), QStringLiteral("270"), QStringLiteral("1000 × 2000 мм → 2000")}},
    {"street: on plastic 2 mm, a unit price in exponent form", 2,
     {QStringLiteral("radioButton_11"), QStringLiteral("radioButton_112"), QStringLiteral("lineEditWidthStreet=1000"), QStringLiteral("lineEditHeightStreet=2000"), QStringLiteral("radioButton_122")},
     QStringLiteral("0"), {}, QStringLiteral("54 000 100 ₽ × 1 шт. = 54 000 100 ₽"), {QStringLiteral("Основа"), QStringLiteral("Пластик 2 мм."), QStringLiteral("100")}},
    {"street: mesh at 540 dpi has no price", 2,
     {QStringLiteral("radioButton_21"), QStringLiteral("radioButton_113"), QStringLiteral("lineEditWidthStreet=1000"), QStringLiteral("lineEditHeightStreet=1000")},
     QStringLiteral("1"), {QStringLiteral("1211111610")}, {}, {}},
    {"interior: A1 1+0 matte 120, 4 pieces", 3,
     {QStringLiteral("radioButton_16"), QStringLiteral("radioButton_41"), QStringLiteral("radioButton_46"), QStringLiteral("lineEdit_12=4")},
     QStringLiteral("0"), {}, QStringLiteral("0,05 ₽ × 4 шт. = 0,20 ₽"), {QStringLiteral("136022")}},
    {"interior: nothing chosen", 3, {}, QStringLiteral("1"), {QStringLiteral("130000")}, {}, {}},
    {"souvenir: A4 4+0 mugs, 40 pieces", 4,
     {QStringLiteral("radioButton_67"), QStringLiteral("radioButton_62"), QStringLiteral("radioButton_68"), QStringLiteral("lineEdit_16=40")},
     QStringLiteral("0"), {}, QStringLiteral("0,03 ₽ × 40 шт. = 1,20 ₽"), {QStringLiteral("002200")}},
    {"souvenir: pens at start, no key", 4, {QStringLiteral("radioButton_79")}, QStringLiteral("1"), {QStringLiteral("0014010")}, {}, {}},
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
        const auto *live = find<QLabel>(QLatin1String(page.label));
        // The built-in list's prices are all the sample's: said first in the tooltip, and each
        // such line's price marked in the table.
        const bool sample = row.missing.contains(QLatin1Char('0'));
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
            toolTips << QString(price->toolTip()).remove(SampleNote);
            QString prefix = i > 0 ? QStringLiteral("Тираж: ") : QString();
            if (row.missing.at(i) == QLatin1Char('1')) {
                const QString head = QStringLiteral("Нет цены в прайс-листе");
                QVERIFY2(toolTips.last().startsWith(head)
                             && toolTips.last()
                                    .section(QLatin1Char('\n'), 0, 0)
                                    .contains(row.keys.value(i)),
                         qPrintable(QStringLiteral("no warning with the key first: ")
                                    + toolTips.last()));
                QCOMPARE(price->background().color(), MissingPriceColour);
                prefix
                    = head + QStringLiteral(": ") + row.keys.value(i) + QLatin1Char('\n') + prefix;
            } else {
                QVERIFY2(!toolTips.last().contains(QStringLiteral("Нет цены")), "a false warning");
                QVERIFY(price->toolTip().endsWith(SampleNote));
                QCOMPARE(price->background().color(), MissingPriceColour);
            }
            double unitPrice = 0;
            QVERIFY(readAmount(line.price, &unitPrice));
            const double quantity = line.quantity.toDouble();
            rebuilt << prefix + moneyText(unitPrice) + QStringLiteral(" × ") + moneyNumber(quantity)
                    + QStringLiteral(" шт. = ") + moneyText(quantity * unitPrice);
        }
        QCOMPARE(text, rebuilt.join(QLatin1Char('\n')));

        QCOMPARE(toolTip,
                 (sample ? samplePriceWarning() + QStringLiteral("\n\n") : QString())
                     + toolTips.join(QStringLiteral("\n\n")));
        QCOMPARE(warned, !row.missing.isEmpty());
        for (const QString &mention : row.mentions)
            QVERIFY2(toolTips.first().contains(mention),
                     qPrintable(mention + QStringLiteral(" is not named")));
    }

    // Every keystroke and option click is priced at once; after the press the label shows the
    // extras cleared, as the next press appends them.
    void labelFollowsEachChange()
    {
        showPage(QStringLiteral("page"));
        const auto *live = find<QLabel>(QStringLiteral("labelLivePrice_1_1"));
        type(QStringLiteral("lineEdit"), QString());
        QCOMPARE(live->text(), QStringLiteral("1,50 ₽ × 0 шт. = 0 ₽"));
        const QStringList afterEachKey = {
            QStringLiteral("1,50 ₽ × 7 шт. = 10,50 ₽"),
            QStringLiteral("1,50 ₽ × 70 шт. = 105 ₽"),
            QStringLiteral(
                "1,50 ₽ × 700 шт. = 1 050 ₽\nТираж: 10 ₽ × 700 шт. = 7 000 ₽")};
        for (int i = 0; i < afterEachKey.size(); ++i) {
            QTest::keyClick(find<QLineEdit>(QStringLiteral("lineEdit")), "700"[i]);
            QCOMPARE(live->text(), grouped(afterEachKey.at(i)));
        }
        const auto firstRow = [live] { return live->text().section(QLatin1Char('\n'), 0, 0); };
        click(QStringLiteral("radioButton_3"));
        QCOMPARE(firstRow(), grouped(QStringLiteral("2 ₽ × 700 шт. = 1 400 ₽")));
        click(QStringLiteral("radioButton_145"));
        QCOMPARE(firstRow(), grouped(QStringLiteral("82 ₽ × 700 шт. = 57 400 ₽")));
        answerButton = QStringLiteral("pushButton");
        QVERIFY(answerAdds(2));
        QCOMPARE(firstRow(), grouped(QStringLiteral("2 ₽ × 700 шт. = 1 400 ₽")));
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
