// The check a price file passes before it becomes a version, one row per rule, and the round trip
// of a version through a CSV file.
#include "prices/composable_keys.h"
#include "prices/extras_catalogue.h"
#include "prices/price_file_check.h"
#include "prices/price_versions.h"

#include <QElapsedTimer>
#include <QtTest>

namespace {

const QByteArray Header = "ключ;что это;за что;цена\n";

} // namespace

class PriceFileCheckTest : public QObject
{
    Q_OBJECT

private slots:
    void rules_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("errors");
        QTest::addColumn<int>("warnings");
        QTest::addColumn<QString>("line"); // a line the report must hold
        // A QByteArray, not the builder of one, which would outlive the body it refers to.
        const auto rows = [](const char *body) -> QByteArray { return Header + QByteArray(body); };

        QTest::newRow("one good row") << rows("002428;;;70\n") << 0 << 0
                                      << "изменено цен и надбавок: 1; не указано в файле: 5394";
        QTest::newRow("key too short")
            << rows("77777;;;1\n") << 1 << 0
            << "Строка 2: ошибка — «77777» — не ключ: ключ прайс-листа — от 6 до 10 цифр.";
        QTest::newRow("key of letters")
            << rows("abc;;;5\n") << 1 << 0 << "Строка 2: ошибка — «abc» — не ключ";
        QTest::newRow("unknown key") << rows("999999;;;4\n") << 1 << 0
                                     << "Строка 2: ошибка — ключа 999999 нет в прайс-листе";
        QTest::newRow("a key a page composes, priced at last")
            << rows("0010220;;;250\n") << 0 << 0
            << "изменено цен и надбавок: 1; не указано в файле: 5395";
        QTest::newRow("a composed key left without a price")
            << rows("002428;;;70\n0010220;;;нет цены\n601426;;;\n") << 0 << 0
            << "Ключей без цены: 2 — остаются без цены.";
        QTest::newRow("a composed key's zeros lost")
            << rows("10220;;;5\n") << 1 << 0
            << "Строка 2: ошибка — 10220 — возможно, 010220 или 0010220: ведущие нули потеряны.";
        QTest::newRow("a priced key said to have none")
            << rows("002428;;;нет цены\n") << 1 << 0
            << "Строка 2: ошибка — цена «нет цены» — не число.";
        QTest::newRow("a page's family, codes no option gives")
            << rows("0099999;;;5\n") << 1 << 0
            << "Строка 2: ошибка — ключа 0099999 нет в прайс-листе: новые ключи не добавляются.";
        QTest::newRow("leading zeros lost")
            << rows("002428;;;66\n2428;;;70\n") << 1 << 0
            << "Строка 3: ошибка — 2428 — возможно, 002428: ведущие нули потеряны.";
        QTest::newRow("no price") << rows("002428;;;\n") << 1 << 0
                                  << "Строка 2: ошибка — у ключа 002428 нет цены.";
        QTest::newRow("not a number") << rows("002428;;;66 руб\n") << 1 << 0
                                      << "Строка 2: ошибка — цена «66 руб» — не число.";
        QTest::newRow("comma and point") << rows("002428;;;1.000,5\n") << 1 << 0 << "не число";
        QTest::newRow("negative") << rows("002428;;;-3\n") << 1 << 0
                                  << "Строка 2: ошибка — цена -3 меньше нуля.";
        QTest::newRow("infinite") << rows("002428;;;inf\n") << 1 << 0
                                  << "цена «inf» — не конечное число.";
        QTest::newRow("overflowing exponent")
            << rows("002428;;;1e999\n") << 1 << 0 << "цена «1e999» — не конечное число.";
        QTest::newRow("not a number at all")
            << rows("002428;;;NaN\n") << 1 << 0 << "не конечное число";
        QTest::newRow("above ten million")
            << rows("002428;;;10000001\n") << 1 << 0 << "цена 10000001 больше 10 000 000.";
        QTest::newRow("above by a kopeck, told as read")
            << rows("002428;;;10000000,01\n") << 1 << 0
            << "Строка 2: ошибка — цена 10000000,01 больше 10 000 000.";
        QTest::newRow("far above, told as read")
            << rows("002428;;;1e308\n") << 1 << 0 << "цена 1e308 больше 10 000 000.";
        QTest::newRow("tiny negative, told as read")
            << rows("002428;;;-1e-300\n") << 1 << 0 << "цена -1e-300 меньше нуля.";
        QTest::newRow("ten million is allowed")
            << rows("radioButton_145;;;10000000\n") << 0 << 1 << "изменение больше чем наполовину";
        QTest::newRow("same key, other price")
            << rows("002428;;;66\n\n002428;;;67\n") << 1 << 0
            << "Строка 4: ошибка — ключ 002428 уже был в строке 2 с ценой 66, здесь 67.";
        QTest::newRow("same key, same price")
            << rows("002428;;;66\n002428;;;66,0\n") << 0 << 0 << "Файл можно загрузить";
        QTest::newRow("empty file") << QByteArray() << 1 << 0 << "Ошибка — файл пуст";
        QTest::newRow("header only") << Header << 1 << 0 << "Ошибка — пустой файл";
        QTest::newRow("header and blank lines")
            << Header + QByteArray("\r\n;;;\n") << 1 << 0 << "Ошибка — пустой файл";
        QTest::newRow("blank lines only") << QByteArray("\r\n\r\n;;\n") << 1 << 0 << "файл пуст";
        QTest::newRow("no key column")
            << QByteArray("002428;66\n") << 1 << 0 << "Строка 1: ошибка — нет столбца «ключ»";
        QTest::newRow("no price column")
            << QByteArray("ключ;стоит\n002428;66\n") << 1 << 0 << "нет столбца «цена»";
        QTest::newRow("Windows-1251")
            << Header + QByteArray("002428;\xCC\xE0\xF2\xEE\xE2\xE0\xFF;;66\n") << 1 << 0
            << "Строка 2: ошибка — файл не в кодировке UTF-8 (похоже на Windows-1251)";
        QTest::newRow("UTF-16") << QByteArray("\xFF\xFEk\0e\0y\0", 8) << 1 << 0
                                << "похоже на UTF-16";
        QTest::newRow("UTF-16 without a mark")
            << QByteArray("k\0e\0y\0", 6) << 1 << 0
            << "Строка 1: ошибка — в файле нулевой байт (NUL): это не текст CSV";
        QTest::newRow("NUL in a price") << Header
                + QByteArray("002428;;;66\n000000;;;1\0"
                             "5\n",
                             25) << 1 << 0
                                        << "Строка 3: ошибка — в файле нулевой байт (NUL)";
        QTest::newRow("BOM, CRLF, blank lines, quotes")
            << QByteArray("\xEF\xBB\xBF\"ключ\";что это;за что;цена\r\n\r\n\"000000\";\"А6; "
                          "1+0\";за лист;2\r\n")
            << 0 << 0 << "Строк с ключами: 1; изменено цен и надбавок: 1;";
        QTest::newRow("tab separated, English header")
            << QByteArray("key\tprice\n000000\t1.5\n") << 0 << 0 << "изменено цен и надбавок: 0";
        QTest::newRow("thousands with a no-break space") << rows("checkBox_71;;;100\xC2\xA0"
                                                                 "500\n")
                                                         << 0 << 0 << "изменено цен и надбавок: 0";
        QTest::newRow("changed by more than half")
            << rows("\n003418;;;200\n") << 0 << 1
            << "Строка 3: предупреждение — 003418: цена 94 → 200 (+113 %), изменение больше чем "
               "наполовину.";
        QTest::newRow("half exactly is no warning")
            << rows("002428;;;99\n") << 0 << 0 << "Файл можно загрузить";
        QTest::newRow("extra more than doubled")
            << rows("checkBox_34;;;50\n") << 0 << 1 << "checkBox_34: цена 23 → 50";
        QTest::newRow("price 0") << rows("000000;;;0\n") << 0 << 2
                                 << "Строка 2: предупреждение — цена ключа 000000 — 0";
        QTest::newRow("tiny price warned as 0")
            << rows("000000;;;1e-300\n") << 0 << 2
            << "Строка 2: предупреждение — цена ключа 000000 — 1e-300, меньше копейки";
        QTest::newRow("tiny price makes no cheaper pair")
            << rows("002428;;;0,001\n") << 0 << 2 << "цена ключа 002428 — 0,001, меньше копейки";
        QTest::newRow("denser paper cheaper")
            << rows("002427;;;67\n") << 0 << 1
            << "Строка 2: предупреждение — 002428 (плотность 350) — 66, дешевле, чем 002427 "
               "(плотность 320) — 67; в действующей версии было не так.";
        QTest::newRow("more colours cheaper")
            << rows("002428;;;61\n") << 0 << 2
            << "002428 (цветность 4+4) — 61, дешевле, чем 002328 (цветность 4+1) — 62";
        QTest::newRow("interior fill cheaper") << rows("135700;;;35\n") << 0 << 1
                                               << "135700 (цветность Заливка 100 %) — 35, дешевле, "
                                                  "чем 135600 (цветность Заливка 50 %) — 40";
        QTest::newRow("equal prices stay allowed")
            << rows("002428;;;65\n002427;;;65\n") << 0 << 0 << "Файл можно загрузить";
    }
    void rules()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, errors);
        QFETCH(int, warnings);
        QFETCH(QString, line);
        const PriceFileCheck check = checkPriceCsv(file, builtInVersion());
        const QString report = check.report();
        QVERIFY2(report.contains(line), qPrintable(report));
        QCOMPARE(check.errors(), errors);
        QCOMPARE(check.warnings(), warnings);
        QVERIFY(report.startsWith(errors ? QStringLiteral("Файл отклонён")
                                         : QStringLiteral("Файл можно загрузить")));
    }

    void decimalCommaAndPoint()
    {
        const PriceFileCheck check
            = checkPriceCsv(Header + "000000;;;2,5\n000011;;;2.5\n", builtInVersion());
        QCOMPARE(check.prices.value(QStringLiteral("000000")), 2.5);
        QCOMPARE(check.prices.value(QStringLiteral("000011")), 2.5);
    }

    void rowLimit_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("blankLines"); // one after every tenth row
        QTest::addColumn<bool>("refusedAtOnce");
        QTest::newRow("at the limit") << PriceFileMaxRows << 0 << false;
        QTest::newRow("at the limit, blank lines between")
            << PriceFileMaxRows << PriceFileMaxRows / 10 << false;
        QTest::newRow("one more") << PriceFileMaxRows + 1 << 0 << true;
        QTest::newRow("one more, blank lines between")
            << PriceFileMaxRows + 1 << PriceFileMaxRows / 10 << true;
        QTest::newRow("a million") << 1000000 << 0 << true;
    }
    void rowLimit()
    {
        QFETCH(int, rows);
        QFETCH(int, blankLines);
        QFETCH(bool, refusedAtOnce);
        QByteArray file = Header;
        file.reserve(file.size() + rows * 12);
        for (int i = 0; i < rows; ++i) {
            file += "002428;;;66\n";
            if (i % 10 == 0 && i / 10 < blankLines)
                file += i % 20 == 0 ? "\r\n" : ";;;\n";
        }
        QElapsedTimer timer;
        timer.start();
        const PriceFileCheck check = checkPriceCsv(file, builtInVersion());
        const QString report = check.report();
        QCOMPARE(report.contains(QStringLiteral("больше допустимых")), refusedAtOnce);
        QCOMPARE(check.accepted(), !refusedAtOnce);
        if (refusedAtOnce)
            QVERIFY2(
                timer.elapsed() < 500,
                qPrintable(QString::number(timer.elapsed()) + QStringLiteral(" ms to refuse")));
    }

    void roundTrip()
    {
        const PriceVersion &v0 = builtInVersion();
        const QByteArray exported = priceFileCsv(v0);
        QVERIFY(exported.startsWith("\xEF\xBB\xBF"
                                    "ключ;что это;за что;цена\n\"000000\";"));
        QVERIFY(exported.contains(
            "\n\"002428\";Листовая: А4 (210х297 мм.), 4+4, Матовая, 350;за лист;66\n"));
        QVERIFY(exported.contains("\n\"sheet.lamination.matte-250\";Листовая: Ламинация — 250 мкм "
                                  "Матовая;надбавка за шт.;80\n"));
        QVERIFY(!exported.contains("radioButton_") && !exported.contains("checkBox_"));
        // Keys the pages compose that the list has no price for are there to be priced.
        QVERIFY(exported.contains("\n\"601426\";Листовая, тираж 1000–3000: А5 (148х210 мм.), 4+4, "
                                  "Матовая, 300;за лист;нет цены\n"));

        PriceFileCheck check = checkPriceCsv(exported, v0);
        QVERIFY2(check.accepted(), qPrintable(check.report()));
        QCOMPARE(check.rows, v0.prices.size() + extrasCatalogue().size());
        QCOMPARE(check.unpriced, unpricedBuiltInCount());
        QCOMPARE(check.changed, 0);
        QCOMPARE(check.kept, 0);

        QByteArray edited = exported;
        edited.replace("\"002428\";Листовая: А4 (210х297 мм.), 4+4, Матовая, 350;за лист;66\n",
                       "\"002428\";Листовая: А4 (210х297 мм.), 4+4, Матовая, 350;за лист;70,5\n");
        edited.replace("Ламинация — 250 мкм Матовая;надбавка за шт.;80\n",
                       "Ламинация — 250 мкм Матовая;надбавка за шт.;95\n");
        check = checkPriceCsv(edited, v0);
        QVERIFY2(check.accepted(), qPrintable(check.report()));
        QCOMPARE(check.changed, 2);
        PriceVersionInfo info;
        info.number = 1;
        const PriceVersion v1 = changedVersion(v0, check.prices, check.extras, info);
        QCOMPARE(v1.prices.price(QStringLiteral("002428")), 70.5);
        QCOMPARE(v1.extra(QStringLiteral("sheet.lamination.matte-250")), 95.0);
        QCOMPARE(v1.prices.price(QStringLiteral("002427")),
                 v0.prices.price(QStringLiteral("002427")));

        const PriceFileCheck again = checkPriceCsv(priceFileCsv(v1), v1);
        QVERIFY(again.accepted());
        QCOMPARE(again.changed, 0);
    }

    // Files written before the extras had keys name them by object name: read as their keys.
    void formerExtraNames_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("errors");
        QTest::addColumn<QString>("key"); // an extra the file sets
        QTest::addColumn<double>("amount");
        QTest::addColumn<int>("former");
        QTest::addColumn<QString>("line"); // a line the report must hold
        QTest::newRow("lamination by object name")
            << QByteArray("radioButton_145;;;95\n") << 0 << "sheet.lamination.matte-250" << 95.0
            << 1 << "Надбавок под прежними именами (radioButton_…, checkBox_…): 1";
        QTest::newRow("pocket by object name")
            << QByteArray("checkBox_60;;;25\n002428;;;70\n") << 0 << "street.pocket.a4" << 25.0 << 1
            << "Строк с ключами: 2; изменено цен и надбавок: 2";
        QTest::newRow("one of two alike")
            << QByteArray("radioButton_152;;;81\n") << 0 << "sheet.binding.metal-100-2" << 81.0 << 1
            << "Файл можно загрузить";
        QTest::newRow("new key") << QByteArray("sheet.folding.3;;;65\n") << 0 << "sheet.folding.3"
                                 << 65.0 << 0 << "изменено цен и надбавок: 1";
        QTest::newRow("both names, one price")
            << QByteArray("radioButton_145;;;95\nsheet.lamination.matte-250;;;95\n") << 0
            << "sheet.lamination.matte-250" << 95.0 << 1 << "Строк с ключами: 2";
        QTest::newRow("both names, two prices")
            << QByteArray("sheet.lamination.matte-250;;;95\nradioButton_145;;;96\n") << 1 << ""
            << 0.0 << 1
            << "Строка 3: ошибка — ключ radioButton_145 (sheet.lamination.matte-250) уже был в "
               "строке 2 с ценой 95, здесь 96.";
        QTest::newRow("no such object name")
            << QByteArray("radioButton_999;;;5\n") << 1 << "" << 0.0 << 0
            << "Строка 2: ошибка — «radioButton_999» — не ключ: ключ — это от 6 до 10 цифр или "
               "ключ надбавки из выгрузки (например, sheet.lamination.matte-250).";
    }
    void formerExtraNames()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, errors);
        QFETCH(QString, key);
        QFETCH(double, amount);
        QFETCH(int, former);
        QFETCH(QString, line);
        const PriceFileCheck check = checkPriceCsv(Header + body, builtInVersion());
        QVERIFY2(check.report().contains(line), qPrintable(check.report()));
        QCOMPARE(check.errors(), errors);
        QCOMPARE(check.formerNames, former);
        if (!key.isEmpty()) {
            QCOMPARE(check.extras.keys(), QStringList {key});
            QCOMPARE(check.extras.value(key), amount);
        }
    }

    // The export names every extra by its key, never by an object name.
    void exportedExtraRows_data()
    {
        QTest::addColumn<QByteArray>("row");
        QTest::newRow("sheet binding") << QByteArray(
            "\n\"sheet.binding.metal-100-2\";Листовая: Брошюровка — Метал до 100 стр. "
            "(кнопка 2 из 2);надбавка за шт.;80\n");
        QTest::newRow("brochure cover") << QByteArray(
            "\n\"brochure.cover-lamination.gloss-30\";Брошюры: Ламинация Обложки — 30 мкм "
            "Глянцевая;надбавка за шт.;20\n");
        QTest::newRow("street base") << QByteArray(
            "\n\"street.base.plastic-2\";Уличная: Основа — Пластик 2 мм.;множитель печати и "
            "надбавка;100\n");
        QTest::newRow("street pocket")
            << QByteArray("\n\"street.pocket.a4\";Уличная: Размер карманов — А4;за карман;20\n");
        QTest::newRow("souvenir") << QByteArray(
            "\n\"souvenir.material-colour.dark\";Сувениры: Цвет материала — Темный;надбавка за "
            "шт.;100501\n");
    }
    void exportedExtraRows()
    {
        QFETCH(QByteArray, row);
        const QByteArray exported = priceFileCsv(builtInVersion());
        QVERIFY(exported.contains(row));
    }

    void priceNumbers_data()
    {
        QTest::addColumn<double>("price");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 66.0 << "66";
        QTest::newRow("half") << 1.5 << "1,5";
        QTest::newRow("kopecks") << 1.55 << "1,55";
        QTest::newRow("9 digits") << 1234567.89 << "1234567,89";
        QTest::newRow("thousandth") << 0.001 << "0,001";
        QTest::newRow("millionth") << 0.000001 << "0,000001";
        QTest::newRow("tiny") << 1e-300 << "1e-300";
        QTest::newRow("tiny with digits") << 1.5e-7 << "1,5e-7";
        QTest::newRow("huge") << 1e308 << "1e308";
        QTest::newRow("ten million") << 10000000.0 << "10000000";
        QTest::newRow("amount of 100501") << 100501.0 << "100501";
    }
    void priceNumbers()
    {
        QFETCH(double, price);
        QFETCH(QString, text);
        QCOMPARE(priceFileNumber(price), text);
    }
};

QTEST_GUILESS_MAIN(PriceFileCheckTest)
#include "test_price_file_check.moc"
