// The built-in price list: its key set, the prices the shop has quoted, and the lookup rules.
// The window is built once: its price table is filled by the constructor and never changes.
#include "app/mainwindow.h"
#include "tests/price_scan.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QVector>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

struct PricePair
{
    QString key;
    double price;
};

// A key family: the keys that fully match the pattern, how many, and their price range.
struct Family
{
    const char *name;
    const char *pattern;
    int count;
    double lowest;
    double highest;
    int group; // families of one group share slots; groups follow each other in this order
};

const Family families[] = {
    {"sheet 000", "000[0-4][0-9][0-8]", 355, 1.5, 28, 0},
    {"sheet 001", "001[0-4][0-9][0-8]", 355, 2, 33, 1},
    {"sheet 0010", "0010[0-4][0-6][0-8]", 200, 1, 10, 2},
    {"sheet 002", "002[0-4][0-9][0-8]", 355, 2, 66, 3},
    {"sheet 003", "003[0-4][0-9][0-8]", 355, 4, 94, 4},
    {"sheet 004", "004[0-4][0-9][0-8]", 355, 1.5, 97, 5},
    {"sheet 008", "008[0-4][0-9][0-8]", 355, 2, 42, 6},
    {"sheet 009", "009[0-4][0-6][0-8]", 200, 2, 11, 7},
    {"brochure 010", "010[0-4][0-9][0-8]", 355, 1.5, 28, 8},
    {"brochure 011", "011[0-4][0-9][0-8]", 355, 2, 33, 9},
    {"brochure 012", "012[0-4][0-9][0-8]", 355, 2, 66, 10},
    {"brochure 013", "013[0-4][0-9][0-8]", 355, 4, 94, 11},
    {"brochure 014", "014[0-4][0-9][0-8]", 355, 1.5, 97, 12},
    {"brochure 018", "018[0-4][0-9][0-8]", 355, 2, 42, 13},
    {"street 10 digits", "121111[12][0-57-9]1[0-4]", 70, 90, 850, 14},
    {"street 9 digits", "121111[12][0-9]9", 15, 90, 660, 14},
    {"interior 131, 7 digits", "131[23][05-7][0237][0-5]", 96, 30, 90, 15},
    {"interior 131, 8 digits", "131[23][05-7][23][15][25-7]", 64, 30, 80, 15},
    {"interior 131, 9 digits", "131[23][05-7]251[67]", 16, 30, 50, 15},
    {"interior 133, 6 digits", "133[05-7][0237][0-5]", 48, 30, 50, 15},
    {"interior 135, 6 digits", "135[05-7][0237][0-5]", 48, 30, 50, 15},
    {"interior 136, 6 digits", "136[05-7][0237][0-5]", 48, 30, 50, 15},
    {"interior 137, 6 digits", "137[05-7][0237][0-5]", 48, 30, 50, 15},
    {"interior 133, 7 digits", "133[05-7][23][15][25-7]", 32, 30, 80, 15},
    {"interior 135, 7 digits", "135[05-7][23][15][25-7]", 32, 30, 80, 15},
    {"interior 136, 7 digits", "136[05-7][23][15][25-7]", 32, 30, 80, 15},
    {"interior 137, 7 digits", "137[05-7][23][15][25-7]", 32, 30, 80, 15},
    {"interior 133, 8 digits", "133[05-7]251[67]", 8, 30, 50, 15},
    {"interior 135, 8 digits", "135[05-7]251[67]", 8, 30, 50, 15},
    {"interior 136, 8 digits", "136[05-7]251[67]", 8, 30, 50, 15},
    {"interior 137, 8 digits", "137[05-7]251[67]", 8, 30, 50, 15},
    {"custom sheet", "0015000", 1, 10, 10, 16},
    {"custom brochure", "0115000", 1, 10, 10, 17},
    {"sheet tier 500", "500000", 1, 10, 10, 18},
    {"sheet tier 1000", "600000", 1, 20, 20, 19},
    {"brochure tier 500", "510000", 1, 10, 10, 20},
    {"brochure tier 1000", "610000", 1, 20, 20, 21},
};

QRegularExpression wholeMatch(const char *pattern)
{
    return QRegularExpression(QRegularExpression::anchoredPattern(QLatin1String(pattern)));
}

// Paper/density combinations the shop stocks for А6 to SRA3 and the euro format.
bool sheetCombination(int paper, int density)
{
    if (paper == 0)
        return density == 0;
    if (paper == 7)
        return density >= 0 && density <= 8;
    if (paper == 9)
        return density >= 0 && density <= 4;
    return paper >= 1 && paper <= 8 && density >= 1 && density <= 8;
}

// ... and for the two business-card formats.
bool cardCombination(int paper, int density)
{
    switch (paper) {
    case 0:
        return density == 0;
    case 1:
        return density == 1;
    case 2:
    case 3:
        return density >= 2 && density <= 8;
    case 4:
    case 5:
    case 6:
        return density >= 1 && density <= 8;
    default:
        return false;
    }
}

// Street price per square metre: material codes 10..24, quality codes 9..14; 0 where no key.
const int streetPrices[15][6] = {
    {270, 300, 315, 270, 300, 315}, {650, 750, 850, 650, 750, 850}, {230, 250, 280, 230, 250, 280},
    {277, 300, 330, 277, 300, 330}, {195, 220, 230, 195, 220, 230}, {660, 735, 810, 660, 735, 810},
    {315, 0, 0, 0, 0, 0},           {630, 660, 705, 630, 660, 705}, {90, 120, 150, 90, 120, 150},
    {150, 180, 210, 150, 180, 210}, {450, 500, 550, 450, 500, 550}, {525, 570, 620, 525, 570, 620},
    {270, 300, 330, 270, 300, 330}, {450, 500, 550, 450, 500, 550}, {450, 500, 550, 450, 500, 550},
};

// Interior prices, the same for the formats А2 (5), А1 (6), А0 (7) and custom (12), by paper and
// density, for the colourings 1+0 (0), 5 % (5), 50 % (6) and 100 % (7).
struct InteriorRow
{
    const char *paper;
    int paperCode;
    int densityCode;
    double prices[4];
};
const InteriorRow interiorPrices[] = {
    {"plain 80", 0, 0, {30, 30, 40, 50}},          {"matte 120", 2, 2, {50, 30, 40, 50}},
    {"matte 200", 2, 4, {50, 30, 40, 50}},         {"glossy 120", 3, 2, {30, 30, 40, 50}},
    {"glossy 200", 3, 4, {30, 30, 40, 50}},        {"self-adhesive 120", 7, 2, {30, 30, 40, 50}},
    {"self-adhesive 160", 7, 3, {30, 30, 40, 50}}, {"self-adhesive 200", 7, 4, {30, 30, 40, 50}},
};
const int interiorFormats[] = {5, 6, 7, 12};
const int interiorColourings[] = {0, 5, 6, 7};

// Souvenir printing: "00" + size + colouring + material + "0", for 1+0, 1+1, 4+0, 4+1, 4+4.
struct SouvenirRow
{
    const char *size;
    int sizeCode;
    int material;
    double prices[5];
};
const SouvenirRow souvenirPrices[] = {
    {"A6", 0, 0, {1.5, 3, 10, 15, 20}}, {"A6", 0, 9, {1.5, 3, 10, 15, 20}},
    {"A5", 1, 0, {2, 4, 20, 25, 25}},   {"A5", 1, 9, {2, 5, 20, 25, 25}},
    {"A4", 2, 0, {2, 5, 30, 35, 50}},   {"A4", 2, 9, {3, 5, 32, 35, 50}},
    {"A3", 3, 0, {4, 6, 50, 40, 80}},   {"A3", 3, 9, {4, 6, 50, 42, 80}},
    {"cards", 9, 0, {2, 3, 4, 5, 6}},   {"euro cards", 10, 0, {2, 3, 4, 5, 6}},
};

QString codes(std::initializer_list<int> parts)
{
    QString key;
    for (int part : parts)
        key += QString::number(part);
    return key;
}

} // namespace

class PriceListTest : public QObject
{
    Q_OBJECT

private:
    MainWindow *window = nullptr;
    QVector<PricePair> listed; // the compiled-in list, line by line
    QStringList lines;

    int familyOf(const QString &key) const
    {
        for (int i = 0; i < int(std::size(families)); ++i) {
            if (wholeMatch(families[i].pattern).match(key).hasMatch())
                return i;
        }
        return -1;
    }

private slots:
    void initTestCase()
    {
        window = new MainWindow;
        QFile file(QStringLiteral(":/prices/price_list.tsv"));
        QVERIFY2(file.open(QIODevice::ReadOnly), "the price list is not compiled in");
        const QByteArray data = file.readAll();
        QVERIFY2(data.endsWith('\n'), "the last line of the price list has no line end");
        lines = QString::fromLatin1(data.left(data.size() - 1)).split(QLatin1Char('\n'));
        for (const QString &line : qAsConst(lines)) {
            const QStringList fields = line.split(QLatin1Char('\t'));
            QVERIFY2(fields.size() == 2,
                     qPrintable(QStringLiteral("not a key<TAB>price line: ") + line));
            bool ok = false;
            const double price = fields.at(1).toDouble(&ok);
            QVERIFY2(ok, qPrintable(QStringLiteral("price is not a number: ") + line));
            listed.append({fields.at(0), price});
        }
    }

    void cleanupTestCase() { delete window; }

    void listHoldsWellFormedPairs()
    {
        QCOMPARE(listed.size(), 5279);
        const QRegularExpression digits(QStringLiteral("^[0-9]{6,10}$"));
        QSet<QString> seen;
        double lowest = 1e9, highest = 0;
        for (const PricePair &pair : qAsConst(listed)) {
            QVERIFY2(digits.match(pair.key).hasMatch(),
                     qPrintable(QStringLiteral("key not 6 to 10 digits: '") + pair.key
                                + QStringLiteral("'")));
            QVERIFY2(!seen.contains(pair.key),
                     qPrintable(QStringLiteral("key listed twice: ") + pair.key));
            seen.insert(pair.key);
            QVERIFY2(pair.price == 1.5 || (pair.price >= 1 && pair.price == std::floor(pair.price)),
                     qPrintable(QStringLiteral("price neither whole nor 1.5: %1 = %2")
                                    .arg(pair.key)
                                    .arg(pair.price)));
            lowest = std::min(lowest, pair.price);
            highest = std::max(highest, pair.price);
        }
        QCOMPARE(lowest, 1.0);
        QCOMPARE(highest, 850.0);
    }

    void tableAnswersEveryListedPair()
    {
        for (const PricePair &pair : qAsConst(listed)) {
            QVERIFY2(window->lookupPrice(pair.key) == pair.price,
                     qPrintable(QStringLiteral("%1: table gives %2, list says %3")
                                    .arg(pair.key)
                                    .arg(window->lookupPrice(pair.key))
                                    .arg(pair.price)));
        }
    }

    void familyCountsAndRanges_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("lowest");
        QTest::addColumn<double>("highest");
        for (const Family &family : families)
            QTest::newRow(family.name) << QString::fromLatin1(family.pattern) << family.count
                                       << family.lowest << family.highest;
    }

    void familyCountsAndRanges()
    {
        QFETCH(QString, pattern);
        QFETCH(int, count);
        QFETCH(double, lowest);
        QFETCH(double, highest);
        const QRegularExpression re(QRegularExpression::anchoredPattern(pattern));
        QVector<double> prices;
        for (const PricePair &pair : qAsConst(listed)) {
            if (re.match(pair.key).hasMatch())
                prices.append(pair.price);
        }
        QCOMPARE(prices.size(), count);
        QCOMPARE(*std::min_element(prices.begin(), prices.end()), lowest);
        QCOMPARE(*std::max_element(prices.begin(), prices.end()), highest);
    }

    void everyKeyBelongsToOneFamily()
    {
        for (const PricePair &pair : qAsConst(listed)) {
            int hits = 0;
            for (const Family &family : families)
                hits += wholeMatch(family.pattern).match(pair.key).hasMatch();
            QVERIFY2(hits == 1,
                     qPrintable(QStringLiteral("%1 matches %2 families").arg(pair.key).arg(hits)));
        }
    }

    // Slots are filled family by family; only the street rows and the interior rows mix.
    void slotsFollowTheFamilyOrder()
    {
        int previousGroup = 0;
        for (int slot = 0; slot < listed.size(); ++slot) {
            const int family = familyOf(listed.at(slot).key);
            QVERIFY(family >= 0);
            const int group = families[family].group;
            QVERIFY2(group >= previousGroup,
                     qPrintable(QStringLiteral("slot %1 (%2) comes after a later family")
                                    .arg(slot)
                                    .arg(listed.at(slot).key)));
            previousGroup = group;
        }
    }

    // Every format has the same combinations under each colour; nothing else of the pattern.
    void sheetCombinations_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<bool>("cards");
        for (const char *prefix :
             {"000", "001", "002", "003", "004", "008", "010", "011", "012", "013", "014", "018"})
            QTest::newRow(prefix) << QString::fromLatin1(prefix) << false;
        QTest::newRow("009") << QStringLiteral("009") << true;
        QTest::newRow("0010") << QStringLiteral("0010") << true;
    }

    void sheetCombinations()
    {
        QFETCH(QString, prefix);
        QFETCH(bool, cards);
        int present = 0;
        for (int colour = 0; colour <= 9; ++colour) {
            for (int paper = 0; paper <= 9; ++paper) {
                for (int density = 0; density <= 9; ++density) {
                    const QString key = prefix + codes({colour, paper, density});
                    const bool expected = colour <= 4
                        && (cards ? cardCombination(paper, density)
                                  : sheetCombination(paper, density));
                    const bool found = window->lookupPrice(key) > 0;
                    QVERIFY2(found == expected,
                             qPrintable(key
                                        + (expected ? QStringLiteral(" is missing")
                                                    : QStringLiteral(" should not exist"))));
                    present += found;
                }
            }
        }
        QCOMPARE(present, cards ? 200 : 355);
    }

    void brochurePricesCopySheetPrices()
    {
        for (int format : {0, 1, 2, 3, 4, 8}) {
            for (int colour = 0; colour <= 4; ++colour) {
                for (int paper = 0; paper <= 9; ++paper) {
                    for (int density = 0; density <= 9; ++density) {
                        const QString tail = codes({format, colour, paper, density});
                        const double sheet = window->lookupPrice(QStringLiteral("00") + tail);
                        const double brochure = window->lookupPrice(QStringLiteral("01") + tail);
                        QVERIFY2(sheet == brochure,
                                 qPrintable(QStringLiteral("00%1 = %2 but 01%1 = %3")
                                                .arg(tail)
                                                .arg(sheet)
                                                .arg(brochure)));
                    }
                }
            }
        }
    }

    void quotedPrices_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<double>("price");
        const QList<QPair<const char *, double>> telling = {
            {"000000", 1.5},
            {"000011", 1.5},
            {"000111", 4},
            {"000218", 18},
            {"002318", 62},
            {"003418", 94},
            {"004418", 97},
            {"0010000", 2},
            {"009000", 2},
            {"010000", 1.5},
            {"1211111010", 300},
            {"1211112414", 550},
            {"121111109", 270},
            {"1312000", 30},
            {"13120215", 30},
            {"131202516", 30},
            {"1313774", 90},
            {"133000", 30},
            {"0015000", 10},
            {"0115000", 10},
            {"500000", 10},
            {"600000", 20},
            {"510000", 10},
            {"610000", 20},
            // sheet products: А4 1+0 matte 90, А4 4+4 matte 350, SRA3 4+4 synthetic 350
            {"002021", 3},
            {"002428", 66},
            {"004488", 97},
            // brochures, and the sheet keys that carry the same price
            {"012000", 2},
            {"012122", 7},
            {"012436", 64},
            {"014488", 97},
            {"002000", 2},
            {"002122", 7},
            {"002436", 64},
        };
        for (const auto &row : telling)
            QTest::newRow(qPrintable(QStringLiteral("quoted %1").arg(QLatin1String(row.first))))
                << QString::fromLatin1(row.first) << row.second;

        for (int material = 10; material <= 24; ++material) {
            for (int quality = 9; quality <= 14; ++quality) {
                const int price = streetPrices[material - 10][quality - 9];
                if (price)
                    QTest::newRow(qPrintable(
                        QStringLiteral("street material %1 quality %2").arg(material).arg(quality)))
                        << QStringLiteral("121111") + codes({material, quality}) << double(price);
            }
        }

        for (int format : interiorFormats) {
            for (const InteriorRow &row : interiorPrices) {
                for (int c = 0; c < 4; ++c) {
                    QTest::newRow(qPrintable(QStringLiteral("interior format %1 %2 colouring %3")
                                                 .arg(format)
                                                 .arg(QLatin1String(row.paper))
                                                 .arg(interiorColourings[c])))
                        << QStringLiteral("13")
                            + codes({format, interiorColourings[c], row.paperCode, row.densityCode})
                        << row.prices[c];
                }
            }
        }

        for (const SouvenirRow &row : souvenirPrices) {
            for (int colour = 0; colour <= 4; ++colour) {
                QTest::newRow(qPrintable(QStringLiteral("souvenir %1 material %2 colours %3")
                                             .arg(QLatin1String(row.size))
                                             .arg(row.material)
                                             .arg(colour)))
                    << QStringLiteral("00") + codes({row.sizeCode, colour, row.material, 0})
                    << row.prices[colour];
            }
        }
        QTest::newRow("souvenir custom size 1+0 mugs") << QStringLiteral("0015000") << 10.0;
    }

    void quotedPrices()
    {
        QFETCH(QString, key);
        QFETCH(double, price);
        QCOMPARE(window->lookupPrice(key), price);
    }

    // Keys the street page can compose: only the table's cells are present.
    void streetKeysPresentExactlyAsTabled()
    {
        for (int material : {0, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24}) {
            for (int quality : {0, 9, 10, 11, 12, 13, 14}) {
                const bool tabled
                    = material && quality && streetPrices[material - 10][quality - 9] != 0;
                const QString key = QStringLiteral("121111") + codes({material, quality});
                QVERIFY2((window->lookupPrice(key) > 0) == tabled,
                         qPrintable(key
                                    + (tabled ? QStringLiteral(" is missing")
                                              : QStringLiteral(" should not exist"))));
            }
        }
    }

    // Of the 320 keys the interior page can compose, exactly its 128 tabled ones are present;
    // 4+0 never has a price.
    void interiorComposedKeys()
    {
        int present = 0;
        for (int format : {5, 6, 7, 12}) {
            for (int colouring : {0, 2, 5, 6, 7}) {
                for (int paper : {0, 2, 3, 7}) {
                    for (int density : {0, 2, 3, 4}) {
                        const QString key
                            = QStringLiteral("13") + codes({format, colouring, paper, density});
                        bool tabled = false;
                        for (const InteriorRow &row : interiorPrices)
                            tabled |= row.paperCode == paper && row.densityCode == density;
                        tabled &= colouring != 2;
                        QVERIFY2((window->lookupPrice(key) > 0) == tabled,
                                 qPrintable(key
                                            + (tabled ? QStringLiteral(" is missing")
                                                      : QStringLiteral(" should not exist"))));
                        present += tabled;
                    }
                }
            }
        }
        QCOMPARE(present, 128);
        int family = 0;
        for (const PricePair &pair : qAsConst(listed))
            family += pair.key.startsWith(QLatin1String("13"));
        QCOMPARE(family, 528);
    }

    // Souvenir keys: only sizes 0-3, 9, 10 (and 15 with 1+0) with materials 0 and 9 as tabled.
    void souvenirComposedKeys()
    {
        for (int size : {0, 1, 2, 3, 9, 10, 14, 15}) {
            for (int colour = 0; colour <= 4; ++colour) {
                for (int material : {0, 1, 2, 3, 4, 6, 8, 9}) {
                    bool tabled = size == 15 && colour == 0 && material == 0;
                    for (const SouvenirRow &row : souvenirPrices)
                        tabled |= row.sizeCode == size && row.material == material;
                    const QString key = QStringLiteral("00") + codes({size, colour, material, 0});
                    QVERIFY2((window->lookupPrice(key) > 0) == tabled,
                             qPrintable(key
                                        + (tabled ? QStringLiteral(" is missing")
                                                  : QStringLiteral(" should not exist"))));
                }
            }
        }
    }

    void lookupEdgeCases_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<double>("price");
        QTest::newRow("A6 1+0 plain 80") << QStringLiteral("000000") << 1.5;
        QTest::newRow("SRA3 4+4 coloured 350") << QStringLiteral("004418") << 97.0;
        QTest::newRow("street 24 at 1140 dpi") << QStringLiteral("1211112414") << 550.0;
        QTest::newRow("custom sheet") << QStringLiteral("0015000") << 10.0;
        QTest::newRow("custom brochure") << QStringLiteral("0115000") << 10.0;
        QTest::newRow("combination outside the 71") << QStringLiteral("000495") << 0.0;
        QTest::newRow("empty key") << QStringLiteral("") << 0.0;
        QTest::newRow("null key") << QString() << 0.0;
        QTest::newRow("letters") << QStringLiteral("abcdef") << 0.0;
        QTest::newRow("digits and a letter") << QStringLiteral("00000a") << 0.0;
        QTest::newRow("trailing blank") << QStringLiteral("000000 ") << 0.0;
        QTest::newRow("leading blank") << QStringLiteral(" 000000") << 0.0;
        QTest::newRow("trailing tab") << QStringLiteral("000000\t") << 0.0;
        QTest::newRow("trailing line end") << QStringLiteral("000000\n") << 0.0;
        QTest::newRow("five digits") << QStringLiteral("00000") << 0.0;
        QTest::newRow("leading zero added") << QStringLiteral("0000000") << 0.0;
        QTest::newRow("leading zero dropped") << QStringLiteral("015000") << 0.0;
        QTest::newRow("number, not text") << QStringLiteral("0") << 0.0;
        QTest::newRow("full-width digits")
            << QStringLiteral("\uff10\uff10\uff10\uff10\uff10\uff10") << 0.0;
        QTest::newRow("key with its price") << QStringLiteral("000000\t1.5") << 0.0;
        QTest::newRow("prefix of a street key") << QStringLiteral("12111110") << 0.0;
        QTest::newRow("street key without material") << QStringLiteral("12111100") << 0.0;
        QTest::newRow("interior 4+0") << QStringLiteral("135200") << 0.0;
        QTest::newRow("sheet tier key for a brochure") << QStringLiteral("510001") << 0.0;
    }

    void lookupEdgeCases()
    {
        QFETCH(QString, key);
        QFETCH(double, price);
        QCOMPARE(window->lookupPrice(key), price);
        QCOMPARE(PriceScan(window->prices()).price(key), price);
    }

    // The index must answer what the plain scan over the slots answers, present key or not.
    void indexAgreesWithScan()
    {
        QStringList keys;
        for (int i = 0; i < listed.size(); ++i) {
            const QString &key = listed.at(i).key;
            keys << key;
            if (i % 7 == 0)
                keys << key + QLatin1Char(' ') << key.left(key.size() - 1) << key.mid(1)
                     << key + QLatin1Char('0') << key.left(key.size() - 1) + QLatin1Char('9');
        }
        keys << QString() << QStringLiteral("") << QStringLiteral("000495")
             << QStringLiteral("9999999999");
        int present = 0;
        const PriceScan scan(window->prices());
        for (const QString &key : qAsConst(keys)) {
            const double indexed = window->lookupPrice(key);
            const double scanned = scan.price(key);
            QVERIFY2(
                indexed == scanned,
                qPrintable(
                    QStringLiteral("'%1': index %2, scan %3").arg(key).arg(indexed).arg(scanned)));
            present += scanned > 0;
        }
        QVERIFY2(present > listed.size(), "the altered keys never hit a listed key");
    }
};

QTEST_MAIN(PriceListTest)
#include "test_price_list.moc"
