// The pages without widgets: a client's job priced through the catalogue gives the lines the page
// suites expect from the window, and a wrong job is refused with a message naming the field.
#include "prices/price_versions.h"
#include "pricing/catalogue.h"
#include "pricing/json_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

#include <cmath>
#include <limits>

namespace {

QJsonObject request(const QString &page, const QStringList &options, const QStringList &fields)
{
    QJsonObject values;
    for (const QString &field : fields) {
        const int equals = field.indexOf(QLatin1Char('='));
        values.insert(field.left(equals), field.mid(equals + 1).toDouble());
    }
    return {{QStringLiteral("page"), page},
            {QStringLiteral("options"), QJsonArray::fromStringList(options)},
            {QStringLiteral("fields"), values}};
}

QStringList lineTexts(const QVector<Quote> &quotes)
{
    QStringList texts;
    for (const Quote &quote : quotes) {
        texts << quote.line.description + QStringLiteral(" | ") + quote.line.quantity
                + QStringLiteral(" | ") + quote.line.unitPrice + QStringLiteral(" | ")
                + quote.line.keyText;
    }
    return texts;
}

// The shop's tax as the settings name it ("included 22"); empty: no tax in the settings.
FootTerms termsOf(const QString &tax)
{
    TaxSettings settings;
    const QStringList words = tax.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    settings.given = words.size() == 2;
    if (settings.given) {
        taxModeFromWord(words.at(0), &settings.rule.mode);
        settings.rule.rate = words.at(1).toInt();
    }
    return FootTerms::on(settings, QDate(2026, 3, 1), 0);
}

const QString BrochureStart
    = QStringLiteral("А6 (105х148 мм.); Формат 1+0; Простая; 80; 1+0; Простая; 80; ; ; ; ");

} // namespace

class CatalogueTest : public QObject
{
    Q_OBJECT

private slots:
    void pricesAsTheWindow_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("A4 4+4 matte 350 with varnish and corner cutting")
            << "sheet_products"
            << QStringList {QStringLiteral("radioButton_3"),  QStringLiteral("radioButton_28"),
                            QStringLiteral("radioButton_49"), QStringLiteral("radioButton_78"),
                            QStringLiteral("checkBox_161"),   QStringLiteral("checkBox_34")}
            << QStringList {QStringLiteral("lineEdit=100")}
            << QStringList {QStringLiteral(
                   "А4 (210х297 мм.); Формат 4+4; Матовая; 350; ; ; 1+0 лак; ; Обрезка "
                   "углов 4 шт. | 100 | 132 | значение=002428")};
        QTest::newRow("euro business card, seven-character key")
            << QStringLiteral("sheet_products") << QStringList {QStringLiteral("radioButton_8")}
            << QStringList {QStringLiteral("lineEdit=1")}
            << QStringList {QStringLiteral(
                   "Визитки евро (85х55 мм.); Формат 1+0; Простая; 80; ; ;  | 1 | 2 | "
                   "значение=0010000")};
        QTest::newRow("1000 of A4: a tier line without an A4 price")
            << QStringLiteral("sheet_products") << QStringList {QStringLiteral("radioButton_3")}
            << QStringList {QStringLiteral("lineEdit=1000")}
            << QStringList {
                   QStringLiteral("А4 (210х297 мм.); Формат 1+0; Простая; 80; ; ;  | 1000 | 2 | "
                                  "значение=002000"),
                   QStringLiteral("А4 (210х297 мм.); Формат 1+0; Простая; 80; ; ;  | 1000 | 0 | "
                                  "значение=602000")};
        QTest::newRow("500 with extras: the tier line without them")
            << QStringLiteral("sheet_products")
            << QStringList {QStringLiteral("checkBox_34"), QStringLiteral("radioButton_132")}
            << QStringList {QStringLiteral("lineEdit=500")}
            << QStringList {
                   QStringLiteral(
                       "А6 (105х148 мм.); Формат 1+0; Простая; 8030 мкм Глянцевая; ; ; ; "
                       "Обрезка углов 4 шт. | 500 | 44.5 | значение=000000"),
                   QStringLiteral("А6 (105х148 мм.); Формат 1+0; Простая; 80; ; ;  | 500 | 10 | "
                                  "значение=500000")};
        QTest::newRow("A4 brochure, 10 matte sheets, glossy cover, stapled, laminated")
            << "brochures"
            << QStringList {QStringLiteral("radioButton_95"),  QStringLiteral("radioButton_117"),
                            QStringLiteral("radioButton_141"), QStringLiteral("radioButton_164"),
                            QStringLiteral("radioButton_419"), QStringLiteral("radioButton_441"),
                            QStringLiteral("radioButton_467"), QStringLiteral("radioButton_180"),
                            QStringLiteral("radioButton_186")}
            << QStringList {QStringLiteral("lineEdit_21=10"), QStringLiteral("lineEdit_10=20")}
            << QStringList {QStringLiteral(
                   "А4 (210х297 мм.); Формат 1+1; Матовая; 120; 4+4; Глянцевая; "
                   "300На скрепке; ; 30 мкм Глянцевая; ;  | 20 | 194 | значение=012436")};
        QTest::newRow("brochure, two \"Прочие\" in the group's order")
            << QStringLiteral("brochures")
            << QStringList {QStringLiteral("checkBox_13"), QStringLiteral("checkBox_17")}
            << QStringList {}
            << QStringList {
                   BrochureStart
                   + QStringLiteral("; Обрезка углов 4 шт.; Обрезка по изображению | 1 | 34 | "
                                    "значение=010000")};
        QTest::newRow("street film 360 dpi 1000 x 2000")
            << QStringLiteral("street")
            << QStringList {QStringLiteral("radioButton_11"), QStringLiteral("radioButton_112")}
            << QStringList {QStringLiteral("lineEditWidthStreet=1000"),
                            QStringLiteral("lineEditHeightStreet=2000")}
            << QStringList {QStringLiteral("Другой; Другой; Самоклеющаяся плёнка; 360 dpi; "
                                           " | 1 | 540000 | значение=121111109")};
        QTest::newRow("street pockets: A4 × 3, business cards × 2, A3 unchecked")
            << QStringLiteral("street")
            << QStringList {QStringLiteral("checkBox_60"), QStringLiteral("checkBox_63")}
            << QStringList {QStringLiteral("lineEdit_4=3"), QStringLiteral("lineEdit_7=2"),
                            QStringLiteral("lineEdit_3=7")}
            << QStringList {QStringLiteral("Другой; Другой; ; ;  | 1 | 160 | значение=12111100")};
        QTest::newRow("interior A2 1+0 plain 80")
            << QStringLiteral("interior")
            << QStringList {QStringLiteral("radioButton_15"), QStringLiteral("radioButton_40"),
                            QStringLiteral("radioButton_45")}
            << QStringList {}
            << QStringList {QStringLiteral("А2 (420х594 мм.); Формат 1+0; Простая; 80 | 1 | 0.03 | "
                                           "значение=135000")};
        QTest::newRow("interior custom 1000 x 1000")
            << "interior"
            << QStringList {QStringLiteral("radioButtonOtherInterer"),
                            QStringLiteral("radioButton_40"), QStringLiteral("radioButton_45")}
            << QStringList {QStringLiteral("lineEditWidthInterer=1000"),
                            QStringLiteral("lineEditHeightInterer=1000")}
            << QStringList {QStringLiteral("Другой; 1000x1000 1+0; Простая; 80 | 1 | 30000 | "
                                           "значение=1312000")};
        QTest::newRow("interior standard format ignores a typed size")
            << QStringLiteral("interior")
            << QStringList {QStringLiteral("radioButton_15"), QStringLiteral("radioButton_40"),
                            QStringLiteral("radioButton_45")}
            << QStringList {QStringLiteral("lineEditWidthInterer=1000"),
                            QStringLiteral("lineEditHeightInterer=1000")}
            << QStringList {QStringLiteral("А2 (420х594 мм.); Формат 1+0; Простая; 80 | 1 | 0.03 | "
                                           "значение=135000")};
        QTest::newRow("souvenir A4 4+0 mugs")
            << QStringLiteral("souvenir")
            << QStringList {QStringLiteral("radioButton_67"), QStringLiteral("radioButton_62"),
                            QStringLiteral("radioButton_68")}
            << QStringList {QStringLiteral("lineEdit_16=40")}
            << QStringList {QStringLiteral(
                   "А4 (210х297 мм.); Размер изображения 4+0; Кружки; 0 | 40 | 0.03 | "
                   "значение=252200")};
        QTest::newRow("souvenir custom 100 x 50, 1+0 mugs")
            << QStringLiteral("souvenir")
            << QStringList {QStringLiteral("radioButtonOther_2"), QStringLiteral("radioButton_68")}
            << QStringList {QStringLiteral("lineEditWidth_7=100"),
                            QStringLiteral("lineEditHeight_4=50"), QStringLiteral("lineEdit_16=3")}
            << QStringList {
                   QStringLiteral("Другой; 100x50 1+0; Кружки; 0 | 3 | 50 | значение=2515000")};
    }

    void pricesAsTheWindow()
    {
        QFETCH(QString, page);
        QFETCH(QStringList, options);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, lines);
        PricedJob job;
        QString error;
        QVERIFY2(jobFromRequest(request(page, options, fields), builtInVersion(), &job, &error),
                 qPrintable(error));
        QCOMPARE(lineTexts(priceJob(job, builtInVersion().prices)), lines);
    }

    void answerCarriesSumsAndTotal()
    {
        PricedJob job;
        QString error;
        QVERIFY(jobFromRequest(request(QStringLiteral("sheet_products"),
                                       {QStringLiteral("radioButton_3")},
                                       {QStringLiteral("lineEdit=1000")}),
                               builtInVersion(), &job, &error));
        const QJsonObject answer = quoteJson(
            priceJob(job, confirmedVersion(builtInVersion(), builtInVersion().info).prices), 0);
        const QJsonArray lines = answer.value(QStringLiteral("lines")).toArray();
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(0)[QStringLiteral("sum")].toString(), QStringLiteral("2000.00"));
        QCOMPARE(lines.at(0)[QStringLiteral("missingPrice")].toBool(), false);
        QCOMPARE(lines.at(1)[QStringLiteral("missingPrice")].toBool(), true);
        // The public's explanation: the unit price, never the list's keys or words.
        for (const QJsonValue &line : lines) {
            const QString explanation = line[QStringLiteral("explanation")].toString();
            QVERIFY2(explanation.contains(QStringLiteral("Цена за единицу: ")),
                     qPrintable(explanation));
            for (const char *inside : {"002000", "ключ", "Прайс-лист", "прайс-листе"})
                QVERIFY2(!explanation.contains(QString::fromUtf8(inside)), qPrintable(explanation));
        }
        QCOMPARE(answer.value(QStringLiteral("total")).toString(), QStringLiteral("2000.00"));
    }

    void refusesWrongJobs_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("error");

        QTest::newRow("not an object") << QByteArray("[1]") << "Заказ должен быть объектом JSON";
        QTest::newRow("page a number")
            << QByteArray(R"({"page": 3})") << "Поле «page»: ожидается строка";
        QTest::newRow("unknown page") << QByteArray(R"({"page": "engraving"})")
                                      << "Поле «page»: неизвестная страница «engraving»";
        QTest::newRow("unknown member")
            << QByteArray(R"({"page": "street", "price": 1})") << "Поле «price»: неизвестное поле";
        QTest::newRow("options an object") << QByteArray(R"({"page": "street", "options": {}})")
                                           << "Поле «options»: ожидается массив";
        QTest::newRow("option a number") << QByteArray(R"({"page": "street", "options": [12]})")
                                         << "Поле «options»: ожидаются строки";
        QTest::newRow("option of another page")
            << QByteArray(R"({"page": "street", "options": ["radioButton_3"]})")
            << "Поле «options»: неизвестный вариант «radioButton_3» на странице «Уличная»";
        QTest::newRow("two radio buttons of one group")
            << QByteArray(
                   R"({"page": "sheet_products", "options": ["radioButton_2", "radioButton_3"]})")
            << "Поле «options»: в группе «Формат» выбирается один вариант";
        QTest::newRow("fields an array") << QByteArray(R"({"page": "street", "fields": []})")
                                         << "Поле «fields»: ожидается объект";
        QTest::newRow("unknown field")
            << QByteArray(R"({"page": "street", "fields": {"lineEdit": 1}})")
            << "Поле «lineEdit»: неизвестное поле страницы «Уличная»";
        QTest::newRow("quantity as text")
            << QByteArray(R"({"page": "sheet_products", "fields": {"lineEdit": "5"}})")
            << "Поле «Кол-во» (lineEdit): ожидается целое число от 0 до 100500";
        QTest::newRow("fractional quantity")
            << QByteArray(R"({"page": "sheet_products", "fields": {"lineEdit": 2.5}})")
            << "Поле «Кол-во» (lineEdit): ожидается целое число от 0 до 100500";
        QTest::newRow("negative width")
            << QByteArray(R"({"page": "street", "fields": {"lineEditWidthStreet": -1}})")
            << "Поле «Ширина» (lineEditWidthStreet): ожидается целое число от 0 до 100500";
        QTest::newRow("inner sheets over the form's limit")
            << QByteArray(R"({"page": "brochures", "fields": {"lineEdit_21": 1001}})")
            << "Поле «Кол-во листов внутри» (lineEdit_21): ожидается целое число от 0 до 1000";
    }

    void refusesWrongJobs()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, error);
        PricedJob job;
        QString message;
        QVERIFY(!jobFromRequest(QJsonDocument::fromJson(json).isArray()
                                    ? QJsonValue(QJsonDocument::fromJson(json).array())
                                    : QJsonValue(QJsonDocument::fromJson(json).object()),
                                builtInVersion(), &job, &message));
        QCOMPARE(message, error);
    }

    void catalogueListsEveryPage()
    {
        const QJsonObject json = catalogueJson(builtInVersion());
        QStringList titles;
        int options = 0;
        for (const QJsonValue &page : json.value(QStringLiteral("pages")).toArray()) {
            titles << page[QStringLiteral("id")].toString() + QLatin1Char('=')
                    + page[QStringLiteral("title")].toString();
            for (const QJsonValue &group : page[QStringLiteral("groups")].toArray())
                options += group[QStringLiteral("options")].toArray().size();
        }
        QCOMPARE(titles,
                 QStringList({QStringLiteral("sheet_products=Листовая продукция"),
                              QStringLiteral("brochures=Брошюры"), QStringLiteral("street=Уличная"),
                              QStringLiteral("interior=Интерьерная"),
                              QStringLiteral("souvenir=Печать")}));
        QCOMPARE(options, 257);
    }

    // The answer's texts are written by hand: each must come out as Qt's compact JSON writes it.
    void jsonStrings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("json");

        QTest::newRow("plain") << QStringLiteral("A4 350") << QByteArray("\"A4 350\"");
        QTest::newRow("empty") << QString() << QByteArray("\"\"");
        QTest::newRow("quote and backslash")
            << QStringLiteral("\"Лак\" 1\\2") << QByteArray("\"\\\"Лак\\\" 1\\\\2\"");
        QTest::newRow("control characters by letter")
            << QStringLiteral("a\nb\tc\rd\be\ff") << QByteArray("\"a\\nb\\tc\\rd\\be\\ff\"");
        QTest::newRow("other control characters in hex") << QString(QChar(0x01)) + QChar(0x0b)
                + QChar(0x1f) + QChar(0x00) << QByteArray("\"\\u0001\\u000b\\u001f\\u0000\"");
        QTest::newRow("delete and slash as they are")
            << QString(QChar(0x7f)) + QStringLiteral("/") << QByteArray("\"\x7f/\"");
        QTest::newRow("Cyrillic and the rouble sign as UTF-8")
            << QStringLiteral("Обрезка 132 ₽") << QByteArray("\"Обрезка 132 ₽\"");
        QTest::newRow("a character beyond the basic plane")
            << QString::fromUcs4(U"x\U0001F600") << QByteArray("\"x\xf0\x9f\x98\x80\"");
        QTest::newRow("lone surrogates escaped") << QString(QChar(0xd800)) + QStringLiteral("x")
                + QChar(0xdc00) << QByteArray("\"\\ud800x\\udc00\"");
        QTest::newRow("high surrogate at the end")
            << QStringLiteral("ab") + QChar(0xdbff) << QByteArray("\"ab\\udbff\"");
    }

    void jsonStrings()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, json);
        QByteArray written("[");
        appendJsonString(&written, text);
        written.append(']');
        QCOMPARE(written, '[' + json + ']');
        // The same as Qt's writer, which the answers were before.
        QCOMPARE(written, QJsonDocument(QJsonArray {text}).toJson(QJsonDocument::Compact));
    }

    void jsonNumbers_data()
    {
        QTest::addColumn<double>("number");
        QTest::addColumn<QByteArray>("json");

        QTest::newRow("whole") << 92400.0 << QByteArray("92400");
        QTest::newRow("a million without exponent") << 1e6 << QByteArray("1000000");
        QTest::newRow("negative whole") << -1500.0 << QByteArray("-1500");
        QTest::newRow("minus zero") << -0.0 << QByteArray("0");
        QTest::newRow("a tenth") << 0.1 << QByteArray("0.1");
        QTest::newRow("kopecks") << 13203.15 << QByteArray("13203.15");
        QTest::newRow("sum of tenths") << 0.1 + 0.2 << QByteArray("0.30000000000000004");
        QTest::newRow("small") << 1e-7 << QByteArray("1e-07");
        QTest::newRow("whole beyond 2^53")
            << 6560823682932000000.0 << QByteArray("6560823682932000000");
        QTest::newRow("beyond 64 bits") << 1e20 << QByteArray("1e+20");
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << QByteArray("null");
        QTest::newRow("not a number") << std::nan("") << QByteArray("null");
    }

    void jsonNumbers()
    {
        QFETCH(double, number);
        QFETCH(QByteArray, json);
        QByteArray written;
        appendJsonNumber(&written, number);
        QCOMPARE(written, json);
        QCOMPARE('[' + written + ']',
                 QJsonDocument(QJsonArray {number}).toJson(QJsonDocument::Compact));
    }

    // A line's texts with what the writer must escape, its numbers from its texts, the shop's tax.
    void quoteAnswerIsQuoteJson_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("unitPrice");
        QTest::addColumn<QString>("factorText");
        QTest::addColumn<bool>("missing");
        QTest::addColumn<QString>("tax");
        QTest::addColumn<QByteArray>("json");

        QTest::newRow("quotes and backslash in the description")
            << QStringLiteral("Кружка \"Лого\" \\ 1") << QStringLiteral("3")
            << QStringLiteral("0.1") << QStringLiteral("стандартный формат → 1") << false
            << QString()
            << QByteArray(
                   "{\"lines\":[{\"description\":\"Кружка \\\"Лого\\\" \\\\ 1\",\"explanation\":"
                   "\"Размер: стандартный формат → 1\\nЦена за единицу: 0.1\","
                   "\"missingPrice\":false,"
                   "\"quantity\":\"3\",\"samplePrice\":false,\"sum\":\"0.30\",\"unitPrice\":\"0."
                   "10\",\"wording\":"
                   "\"Кружка \\\"Лого\\\" \\\\ 1\"}],"
                   "\"tax\":{\"amount\":\"0.05\",\"mode\":\"on-top\",\"rate\":18,"
                   "\"total\":\"0.35\"},\"total\":\"0.30\",\"version\":4}");
        QTest::newRow("a million as exponent text, missing price")
            << QStringLiteral("Визитки\t(90х50)") << QStringLiteral("1e+06") << QStringLiteral("0")
            << QStringLiteral("a\u0001b") << true << QString()
            << QByteArray("{\"lines\":[{\"description\":\"Визитки\\t(90х50)\",\"explanation\":"
                          "\"Размер: a\\u0001b\\nЦена за единицу: 0\","
                          "\"missingPrice\":true,"
                          "\"quantity\":\"1e+06\",\"samplePrice\":false,\"sum\":\"0.00\","
                          "\"unitPrice\":\"0.00\",\"wording\":"
                          "\"Визитки\\t(90х50)\"}],"
                          "\"tax\":{\"amount\":\"0.00\",\"mode\":\"on-top\",\"rate\":18,"
                          "\"total\":\"0.00\"},\"total\":\"0.00\",\"version\":4}");
        QTest::newRow("a sum of a million, tax included")
            << QStringLiteral("Листовки") << QStringLiteral("1e+06") << QStringLiteral("1")
            << QStringLiteral("1") << false << QStringLiteral("included 22")
            << QByteArray("{\"lines\":[{\"description\":\"Листовки\",\"explanation\":"
                          "\"Размер: 1\\nЦена за единицу: 1\","
                          "\"missingPrice\":false,\"quantity\":\"1e+06\",\"samplePrice\":false,"
                          "\"sum\":\"1000000.00\","
                          "\"unitPrice\":\"1.00\",\"wording\":\"Листовки\"}],\"tax\":{\"amount\":"
                          "\"180327.87\","
                          "\"mode\":\"included\",\"rate\":22,\"total\":\"1000000.00\"},"
                          "\"total\":\"1000000.00\",\"version\":4}");
        QTest::newRow("a quantity that is no number, no tax")
            << QString() << QStringLiteral("много") << QStringLiteral("5") << QString() << false
            << QStringLiteral("none 22")
            << QByteArray("{\"lines\":[{\"description\":\"\",\"explanation\":"
                          "\"Размер: \\nЦена за единицу: 5\","
                          "\"missingPrice\":false,\"quantity\":\"много\",\"samplePrice\":false,"
                          "\"sum\":\"0.00\","
                          "\"unitPrice\":\"5.00\",\"wording\":\"\"}],\"tax\":{\"amount\":\"0.00\","
                          "\"mode\":\"none\","
                          "\"rate\":0,\"total\":\"0.00\"},\"total\":\"0.00\",\"version\":4}");
    }

    void quoteAnswerIsQuoteJson()
    {
        QFETCH(QString, description);
        QFETCH(QString, quantity);
        QFETCH(QString, unitPrice);
        QFETCH(QString, factorText);
        QFETCH(bool, missing);
        QFETCH(QString, tax);
        QFETCH(QByteArray, json);
        Quote quote;
        quote.line.description = description;
        quote.line.setText(OrderLine::Quantity, quantity);
        quote.line.setText(OrderLine::UnitPrice, unitPrice);
        quote.line.missingPrice = missing;
        quote.factorText = factorText;
        quote.unitPrice = unitPrice.toDouble();
        const FootTerms terms = termsOf(tax);
        // Two lines as well as one: the total is the lines' sum.
        QCOMPARE(quoteAnswer({quote}, 4, terms), json);
        QCOMPARE(quoteAnswer({quote}, 4, terms),
                 QJsonDocument(quoteJson({quote}, 4, terms)).toJson(QJsonDocument::Compact));
        QCOMPARE(quoteAnswer({quote, quote}, 4, terms),
                 QJsonDocument(quoteJson({quote, quote}, 4, terms)).toJson(QJsonDocument::Compact));
    }

    void noLinesAnswer()
    {
        QCOMPARE(quoteAnswer({}, 7),
                 QByteArray("{\"lines\":[],\"tax\":{\"amount\":\"0.00\",\"mode\":\"on-top\","
                            "\"rate\":18,\"total\":\"0.00\"},\"total\":\"0.00\",\"version\":7}"));
    }

    // Jobs priced and answered: every amount a decimal string to the kopeck, as the invoice shows
    // it, and the tax as its foot computes it.
    void quoteMoney_data()
    {
        QTest::addColumn<QByteArray>("job");
        QTest::addColumn<double>(
            "price"); // the job's key in a shop's version; 0: the built-in list
        QTest::addColumn<QString>("tax");
        QTest::addColumn<QStringList>("lines"); // unit price and sum
        QTest::addColumn<QByteArray>("money"); // the answer's "tax" and "total"

        const QByteArray a4 = "{\"page\":\"sheet_products\",\"options\":[\"radioButton_3\"],"
                              "\"fields\":{\"lineEdit\":15}}";
        const QByteArray a4Varnished
            = "{\"page\":\"sheet_products\",\"options\":[\"radioButton_3\",\"radioButton_28\","
              "\"radioButton_49\",\"radioButton_78\",\"checkBox_161\",\"checkBox_34\"],"
              "\"fields\":{\"lineEdit\":100}}";
        QTest::newRow("15 at 52.17: not 782.5500000000001")
            << a4 << 52.17 << QStringLiteral("on-top 22")
            << QStringList {QStringLiteral("52.17 782.55")}
            << QByteArray("\"tax\":{\"amount\":\"172.16\",\"mode\":\"on-top\",\"rate\":22,"
                          "\"total\":\"954.71\"},\"total\":\"782.55\"");
        QTest::newRow("a price with a fraction of a kopeck, tax included")
            << QByteArray(
                   "{\"page\":\"street\",\"options\":[\"radioButton_11\",\"radioButton_114\"],"
                   "\"fields\":{\"lineEditWidthStreet\":1,\"lineEditHeightStreet\":1,"
                   "\"lineEdit_14\":7}}")
            << 0.0 << QStringLiteral("included 20") << QStringList {QStringLiteral("0.315 2.21")}
            << QByteArray("\"tax\":{\"amount\":\"0.37\",\"mode\":\"included\",\"rate\":20,"
                          "\"total\":\"2.21\"},\"total\":\"2.21\"");
        QTest::newRow("a six-digit price in exponent form")
            << a4 << 50456600.0 << QStringLiteral("none 22")
            << QStringList {QStringLiteral("50456600.00 756849000.00")}
            << QByteArray("\"tax\":{\"amount\":\"0.00\",\"mode\":\"none\",\"rate\":0,"
                          "\"total\":\"756849000.00\"},\"total\":\"756849000.00\"");
        QTest::newRow("100500 pieces of film")
            << QByteArray(
                   "{\"page\":\"street\",\"options\":[\"radioButton_11\",\"radioButton_112\"],"
                   "\"fields\":{\"lineEditWidthStreet\":1000,\"lineEditHeightStreet\":2000,"
                   "\"lineEdit_14\":100500}}")
            << 0.0 << QStringLiteral("on-top 22")
            << QStringList {QStringLiteral("540000.00 54270000000.00")}
            << QByteArray("\"tax\":{\"amount\":\"11939400000.00\",\"mode\":\"on-top\",\"rate\":22,"
                          "\"total\":\"66209400000.00\"},\"total\":\"54270000000.00\"");
        QTest::newRow("a shop with tax on top")
            << a4Varnished << 0.0 << QStringLiteral("on-top 22")
            << QStringList {QStringLiteral("132.00 13200.00")}
            << QByteArray("\"tax\":{\"amount\":\"2904.00\",\"mode\":\"on-top\",\"rate\":22,"
                          "\"total\":\"16104.00\"},\"total\":\"13200.00\"");
        QTest::newRow("a shop with tax included")
            << a4Varnished << 0.0 << QStringLiteral("included 22")
            << QStringList {QStringLiteral("132.00 13200.00")}
            << QByteArray("\"tax\":{\"amount\":\"2380.33\",\"mode\":\"included\",\"rate\":22,"
                          "\"total\":\"13200.00\"},\"total\":\"13200.00\"");
        QTest::newRow("a shop without tax")
            << a4Varnished << 0.0 << QStringLiteral("none 10")
            << QStringList {QStringLiteral("132.00 13200.00")}
            << QByteArray("\"tax\":{\"amount\":\"0.00\",\"mode\":\"none\",\"rate\":0,"
                          "\"total\":\"13200.00\"},\"total\":\"13200.00\"");
        QTest::newRow("no tax in the settings: the invoice's 18 % on top")
            << a4Varnished << 0.0 << QString() << QStringList {QStringLiteral("132.00 13200.00")}
            << QByteArray("\"tax\":{\"amount\":\"2376.00\",\"mode\":\"on-top\",\"rate\":18,"
                          "\"total\":\"15576.00\"},\"total\":\"13200.00\"");
        // The built-in sample's price is never quoted: no sum, and nothing in the total.
        QTest::newRow("the sample's price, still the list's")
            << a4Varnished << -1.0 << QStringLiteral("on-top 22")
            << QStringList {QStringLiteral(" ")}
            << QByteArray("\"tax\":{\"amount\":\"0.00\",\"mode\":\"on-top\",\"rate\":22,"
                          "\"total\":\"0.00\"},\"total\":\"0.00\"");
        QTest::newRow("a tier line without a price counts nothing")
            << QByteArray("{\"page\":\"sheet_products\",\"options\":[\"radioButton_3\"],"
                          "\"fields\":{\"lineEdit\":1000}}")
            << 0.0 << QStringLiteral("on-top 20")
            << QStringList {QStringLiteral("2.00 2000.00"), QStringLiteral("0.00 0.00")}
            << QByteArray("\"tax\":{\"amount\":\"400.00\",\"mode\":\"on-top\",\"rate\":20,"
                          "\"total\":\"2400.00\"},\"total\":\"2000.00\"");
    }

    void quoteMoney()
    {
        QFETCH(QByteArray, job);
        QFETCH(double, price);
        QFETCH(QString, tax);
        QFETCH(QStringList, lines);
        QFETCH(QByteArray, money);
        PriceVersionInfo info;
        info.number = 3;
        // The list taken as the shop's, unless the row keeps the sample (below zero).
        const PriceVersion shop = confirmedVersion(builtInVersion(), builtInVersion().info);
        const PriceVersion version = price < 0.0 ? builtInVersion()
            : price == 0.0                       ? shop
                           : changedVersion(shop, {{QStringLiteral("002000"), price}}, {}, info);
        PricedJob priced;
        QString error;
        QVERIFY2(jobFromRequest(QJsonDocument::fromJson(job).object(), version, &priced, &error),
                 qPrintable(error));
        const QByteArray answer
            = quoteAnswer(priceJob(priced, version.prices), version.info.number, termsOf(tax));
        QStringList shown;
        for (const QJsonValue &line :
             QJsonDocument::fromJson(answer).object().value(QStringLiteral("lines")).toArray())
            shown << line[QStringLiteral("unitPrice")].toString() + QLatin1Char(' ')
                    + line[QStringLiteral("sum")].toString();
        QCOMPARE(shown, lines);
        QVERIFY2(answer.contains("]," + money + ",\"version\":"), answer.constData());
    }

    // Sums past 99 999 999 999,99 ₽ are named before anything takes them, on whole kopecks.
    void amountsBounded_data()
    {
        QTest::addColumn<QStringList>("lines"); // quantity and unit price
        QTest::addColumn<QString>("tax");
        QTest::addColumn<QString>("problem"); // empty: taken
        QTest::addColumn<qint64>("kopecks"); // the lines' sums added up, when taken

        const QString max = QStringLiteral(" больше наибольшей возможной (99\u00a0999\u00a0999"
                                           "\u00a0999,99 ₽)");
        QTest::newRow("the largest sum")
            << QStringList {QStringLiteral("1 99999999999.99")} << QStringLiteral("none 0")
            << QString() << Q_INT64_C(9999999999999);
        QTest::newRow("a kopeck more")
            << QStringList {QStringLiteral("10 10000000000")} << QStringLiteral("none 0")
            << QStringLiteral("Строка 1 «Плакат»: сумма") + max << qint64(-1);
        QTest::newRow("the largest sheet at the highest price, past 64 bits in kopecks")
            << QStringList {QStringLiteral("100500 101002500000000")} << QStringLiteral("none 0")
            << QStringLiteral("Строка 1 «Плакат»: цена") + max << qint64(-1);
        QTest::newRow("two lines within, their total not")
            << QStringList {QStringLiteral("1 50000000000"), QStringLiteral("1 50000000000")}
            << QStringLiteral("none 0") << QStringLiteral("Итого") + max << qint64(-1);
        QTest::newRow("within, the tax on top not")
            << QStringList {QStringLiteral("1 90000000000")} << "on-top 22"
            << QStringLiteral("Всего с налогом") + max << qint64(-1);
        QTest::newRow("within, the tax included")
            << QStringList {QStringLiteral("1 90000000000"), QStringLiteral("3 0.005")}
            << QStringLiteral("included 22") << QString() << Q_INT64_C(9000000000002);
    }

    void amountsBounded()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, tax);
        QFETCH(QString, problem);
        QFETCH(qint64, kopecks);
        QVector<OrderLine> orderLines;
        QString found;
        for (const QString &figures : lines) {
            OrderLine line;
            line.description = QStringLiteral("Плакат");
            line.setText(OrderLine::Quantity, figures.section(QLatin1Char(' '), 0, 0));
            line.setText(OrderLine::UnitPrice, figures.section(QLatin1Char(' '), 1, 1));
            orderLines.append(line);
            if (found.isEmpty())
                found = lineAmountProblem(line, QStringLiteral("Строка %1").arg(orderLines.size()));
        }
        qint64 total = -1;
        if (found.isEmpty())
            found = totalAmountProblem(orderLines, termsOf(tax), &total);
        QCOMPARE(found, problem);
        QCOMPARE(total, kopecks);
    }

    // The index is made once per version: its options carry that version's amounts, not the
    // built-in ones, and a copy answers the same.
    void indexPricesWithItsVersion()
    {
        PriceVersionInfo info;
        info.number = 5;
        info.from = QDate(2026, 1, 1);
        const PriceVersion version = changedVersion(
            builtInVersion(), {}, {{QStringLiteral("sheet.varnish.1-0"), 100.0}}, info);
        const QJsonObject job
            = request(QStringLiteral("sheet_products"),
                      {QStringLiteral("radioButton_3"), QStringLiteral("checkBox_161")},
                      {QStringLiteral("lineEdit=10")});
        const CatalogueIndex builtIn(builtInVersion());
        const CatalogueIndex own(version);
        const CatalogueIndex copy = own;
        QStringList prices;
        for (const CatalogueIndex *index : {&builtIn, &own, &copy}) {
            PricedJob priced;
            QString error;
            QVERIFY2(index->jobFrom(job, &priced, &error), qPrintable(error));
            prices << priceJob(priced, builtInVersion().prices).first().line.unitPrice;
        }
        QCOMPARE(prices,
                 QStringList({QStringLiteral("45"), QStringLiteral("102"), QStringLiteral("102")}));
    }

    // The quote's body is read straight from its bytes when it has the plain form, by
    // QJsonDocument otherwise; both readings must ask the same.
    void plainBodies_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("plain");
        QTest::addColumn<QString>("answer"); // the first line's description and price, or the error

        const QString a4 = QStringLiteral("А4 (210х297 мм.); Формат 1+0; Простая; 80; ; ;  | 2");
        const QString a6 = QStringLiteral("А6 (105х148 мм.); Формат 1+0; Простая; 80; ; ;  | 1.5");
        QTest::newRow("compact") << QByteArray("{\"page\":\"sheet_products\",\"options\":["
                                               "\"radioButton_3\"],\"fields\":{\"lineEdit\":7}}")
                                 << true << a4;
        QTest::newRow("with blanks and line breaks") << QByteArray(
            "{ \"fields\" : {\"lineEdit\": 7 },\n\t\"options\": [ \"radioButton_3\" ],"
            "\r\n\"page\": \"sheet_products\" }") << true
                                                     << a4;
        QTest::newRow("empty object")
            << QByteArray("{}") << true << QStringLiteral("Поле «page»: ожидается строка");
        QTest::newRow("unknown option")
            << QByteArray("{\"page\":\"street\",\"options\":[\"x\"]}") << true
            << QStringLiteral("Поле «options»: неизвестный вариант «x» "
                              "на странице «Уличная»");
        QTest::newRow("fields reported in key order")
            << QByteArray("{\"page\":\"sheet_products\",\"fields\":{\"zz\":1,\"lineEdit\":100501}}")
            << true
            << QStringLiteral("Поле «Кол-во» (lineEdit): ожидается целое число от 0 до 100500");
        QTest::newRow("an escape")
            << QByteArray("{\"page\":\"sheet_products\",\"options\":[\"radioButton\\u005f3\"],"
                          "\"fields\":{\"lineEdit\":7}}")
            << false << a4;
        QTest::newRow("non-ASCII page")
            << QByteArray("{\"page\":\"листы\"}") << false
            << QStringLiteral("Поле «page»: неизвестная страница «листы»");
        // QJsonDocument keeps the last of a member given twice.
        QTest::newRow("a member twice")
            << QByteArray("{\"page\":\"street\",\"page\":\"sheet_products\"}") << false << a6;
        QTest::newRow("a field twice") << QByteArray(
            "{\"page\":\"sheet_products\",\"fields\":{\"lineEdit\":7,\"lineEdit\":9}}")
                                       << false << a6;
        QTest::newRow("negative")
            << QByteArray("{\"page\":\"sheet_products\",\"fields\":{\"lineEdit\":-1}}") << false
            << QStringLiteral("Поле «Кол-во» (lineEdit): ожидается целое число от 0 до "
                              "100500");
        QTest::newRow("fraction") << QByteArray(
            "{\"page\":\"sheet_products\",\"fields\":{\"lineEdit\":7.0}}")
                                  << false << a6;
        QTest::newRow("exponent") << QByteArray(
            "{\"page\":\"sheet_products\",\"fields\":{\"lineEdit\":7e0}}")
                                  << false << a6;
        QTest::newRow("a number as text")
            << QByteArray("{\"page\":\"sheet_products\",\"fields\":{\"lineEdit\":\"7\"}}") << false
            << QStringLiteral("Поле «Кол-во» (lineEdit): ожидается целое число от 0 до 100500");
        QTest::newRow("an option no string")
            << QByteArray("{\"page\":\"street\",\"options\":[\"x\",5]}") << false
            << QStringLiteral("Поле «options»: неизвестный вариант «x» на странице «Уличная»");
        QTest::newRow("a string after a number")
            << QByteArray("{\"page\":\"street\",\"options\":[5,\"x\"]}") << false
            << QStringLiteral("Поле «options»: ожидаются строки");
        QTest::newRow("unknown member") << QByteArray("{\"page\":\"street\",\"price\":1}") << false
                                        << QStringLiteral("Поле «price»: неизвестное поле");
        QTest::newRow("unnamed member") << QByteArray("{\"page\":\"street\",\"\":1}") << false
                                        << QStringLiteral("Поле «»: неизвестное поле");
    }

    void plainBodies()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, plain);
        QFETCH(QString, answer);
        const CatalogueIndex index(builtInVersion());
        const auto asked = [&index](const JobRequest &request) -> QString {
            PricedJob job;
            QString error;
            if (!index.jobFrom(request, &job, &error))
                return error;
            const Quote first = priceJob(job, builtInVersion().prices).first();
            return first.line.description + QStringLiteral(" | ") + first.line.unitPrice;
        };
        JobRequest read;
        QCOMPARE(readPlainJobRequest(body, &read), plain);
        if (plain)
            QCOMPARE(asked(read), answer);
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(body, &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        JobRequest fromJson;
        QVERIFY(jobRequestFrom(document.object(), &fromJson));
        QCOMPARE(asked(fromJson), answer);
    }

    void plainReaderLeavesMalformedBodies_data()
    {
        QTest::addColumn<QByteArray>("body");

        QTest::newRow("empty") << QByteArray();
        QTest::newRow("an array") << QByteArray("[1]");
        QTest::newRow("trailing comma") << QByteArray("{\"page\":\"street\",}");
        QTest::newRow("trailing garbage") << QByteArray("{\"page\":\"street\"} x");
        QTest::newRow("unclosed") << QByteArray("{\"page\":\"street\"");
        QTest::newRow("unclosed text") << QByteArray("{\"page\":\"street}");
        QTest::newRow("leading zero") << QByteArray("{\"fields\":{\"lineEdit\":07}}");
        QTest::newRow("sixteen digits")
            << QByteArray("{\"fields\":{\"lineEdit\":1000000000000000}}");
        QTest::newRow("missing number") << QByteArray("{\"fields\":{\"lineEdit\":}}");
        QTest::newRow("a zero byte after") << QByteArray("{}\0", 3);
    }

    // A body the plain reader does not take goes to QJsonDocument, which says what is wrong.
    void plainReaderLeavesMalformedBodies()
    {
        QFETCH(QByteArray, body);
        JobRequest read;
        QVERIFY(!readPlainJobRequest(body, &read));
    }
};

QTEST_GUILESS_MAIN(CatalogueTest)
#include "test_catalogue.moc"
