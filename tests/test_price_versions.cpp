// Price list versions without a window: what keys mean, that the meanings agree with how the pages
// price, which version is in force on a day and at midnight, and how a version is made.
#include "prices/composable_keys.h"
#include "prices/extras_catalogue.h"
#include "prices/key_meanings.h"
#include "prices/price_versions.h"
#include "prices/sample_prices.h"
#include "pricing/page_pricing.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

namespace {

qint64 at(const QDate &day, const QTime &time)
{
    return QDateTime(day, time).toMSecsSinceEpoch();
}

PriceVersion dated(const QDate &from, const QHash<QString, double> &prices = {})
{
    PriceVersionInfo info;
    info.from = from;
    return changedVersion(builtInVersion(), prices, {}, info);
}

OptionGroup chosen(const KeyPart &part, const KeyOption &option)
{
    return {part.group, {{option.objectName, double(option.code), option.caption, true}}};
}

// Every combination of the options of a grammar's parts that options choose.
void combinations(const KeyGrammar &grammar, int index, QVector<const KeyOption *> &picked,
                  const std::function<void(const QVector<const KeyOption *> &)> &visit)
{
    if (index == grammar.parts.size()) {
        visit(picked);
        return;
    }
    const KeyPart &part = grammar.parts.at(index);
    if (part.fixed()) {
        picked.append(nullptr);
        combinations(grammar, index + 1, picked, visit);
        picked.removeLast();
        return;
    }
    for (const KeyOption &option : part.options) {
        picked.append(&option);
        combinations(grammar, index + 1, picked, visit);
        picked.removeLast();
    }
}

// The quote a page gives for a job of these options: the key it looks up (the cover's on
// brochures) and what its price is per.
Quote quoteFor(const KeyGrammar &grammar, const QVector<const KeyOption *> &options)
{
    const auto group = [&](int i) { return chosen(grammar.parts.at(i), *options.at(i)); };
    switch (grammar.page) {
    case PricingPage::SheetProducts: {
        SheetProductsJob job;
        job.format = group(0), job.colour = group(1), job.type = group(2), job.density = group(3);
        job.customSize = options.at(0)->code == grammar.customCode;
        return quoteSheetProducts(job, grammar.family, builtInVersion().prices);
    }
    case PricingPage::Brochures: {
        BrochureJob job;
        job.format = group(0);
        job.coverColour = group(1), job.coverType = group(2), job.coverDensity = group(3);
        job.innerColour = group(1), job.innerType = group(2), job.innerDensity = group(3);
        job.customSize = options.at(0)->code == grammar.customCode;
        return quoteBrochure(job, grammar.family, builtInVersion().prices);
    }
    case PricingPage::Street: {
        StreetJob job;
        job.material = group(2), job.quality = group(3);
        return priceStreet(job, builtInVersion().prices).first();
    }
    case PricingPage::Interior: {
        InteriorJob job;
        job.format = group(0), job.colour = group(1), job.paper = group(2), job.density = group(3);
        job.customSize = options.at(0)->code == grammar.customCode;
        return priceInterior(job, builtInVersion().prices).first();
    }
    case PricingPage::Souvenir: {
        SouvenirJob job;
        job.size = group(0), job.colours = group(1), job.material = group(2);
        job.customSize = options.at(0)->code == grammar.customCode;
        return priceSouvenir(job, builtInVersion().prices).first();
    }
    }
    return {};
}

// A radio choice carrying a key code, as a page reads it.
OptionGroup code(int value)
{
    return {QString(), {{QString(), double(value), QString(), true, {}}}};
}

QJsonObject souvenirJob(int size, int colours, int material)
{
    SouvenirJob job;
    job.size = code(size), job.colours = code(colours), job.material = code(material);
    job.quantity = QStringLiteral("1");
    return toJson(job);
}

// A tier line's stored job: the family it is priced from beside the job.
QJsonObject sheetTierJob(int format, int colour, int type, int density, const char *family)
{
    SheetProductsJob job;
    job.format = code(format), job.colour = code(colour), job.type = code(type);
    job.density = code(density);
    job.quantity = QStringLiteral("1500");
    QJsonObject stored = toJson(job);
    stored.insert(QStringLiteral("family"), QLatin1String(family));
    return stored;
}

} // namespace

class PriceVersionsTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { setPriceClock({}); }

    void keyMeanings_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QStringList>("pers");
        const QString sheet = QStringLiteral("за лист");
        const QString area = QStringLiteral("за 1000 мм²");
        const QString piece = QStringLiteral("за шт.");
        QTest::newRow("sheet products")
            << QStringLiteral("002428")
            << QStringList {QStringLiteral("Листовая: А4 (210х297 мм.), 4+4, Матовая, 350")}
            << QStringList {sheet};
        QTest::newRow("two-digit format")
            << QStringLiteral("0010448")
            << QStringList {QStringLiteral(
                   "Листовая: Визитки евро (85х55 мм.), 4+4, Текстурная, 350")}
            << QStringList {sheet};
        QTest::newRow("one code, two formats")
            << "008000"
            << QStringList {QStringLiteral(
                   "Листовая: Евроформат (98х210 мм.) / Конверты *, 1+0, Простая, 80")}
            << QStringList {sheet};
        QTest::newRow("shared by souvenirs")
            << "000000"
            << QStringList {QStringLiteral("Листовая: А6 (105х148 мм.), 1+0, Простая, 80"),
                            QStringLiteral("Сувениры: А6 (105х148 мм.), 1+0, Кружки")}
            << QStringList {sheet, piece};
        QTest::newRow("custom size, both pages")
            << "0015000"
            << QStringList {QStringLiteral("Листовая: Другой, 1+0, Простая, 80"),
                            QStringLiteral("Сувениры: Другой, 1+0, Кружки")}
            << QStringList {area, area};
        QTest::newRow("quantity tier")
            << "600000"
            << QStringList {QStringLiteral(
                   "Листовая, тираж 1000–3000: А6 (105х148 мм.), 1+0, Простая, 80")}
            << QStringList {sheet};
        QTest::newRow("brochure sheet for cover and inside")
            << QStringLiteral("012021")
            << QStringList {QStringLiteral("Брошюры: А4 (210х297 мм.), 1+0, Матовая, 90")}
            << QStringList {sheet};
        QTest::newRow("brochure cover only")
            << QStringLiteral("012428")
            << QStringList {QStringLiteral("Брошюры, обложка: А4 (210х297 мм.), 4+4, Матовая, 350")}
            << QStringList {sheet};
        QTest::newRow("street") << QStringLiteral("1211112414")
                                << QStringList {QStringLiteral("Уличная: Холст, 1140 dpi")}
                                << QStringList {area};
        QTest::newRow("street, 720 dpi told apart")
            << "1211111311"
            << QStringList {QStringLiteral(
                   "Уличная: Баннерная ткань (Бельгия) 440 гр., 720 dpi (широкоформатная)")}
            << QStringList {area};
        QTest::newRow("interior sheet")
            << QStringLiteral("135000")
            << QStringList {QStringLiteral("Интерьерная: А2 (420х594 мм.), 1+0, Простая, 80")}
            << QStringList {piece};
        QTest::newRow("interior custom")
            << QStringLiteral("1312000")
            << QStringList {QStringLiteral("Интерьерная: Другой, 1+0, Простая, 80")}
            << QStringList {area};
        QTest::newRow("interior, no such format")
            << "1313774"
            << QStringList {QStringLiteral(
                   "Интерьерная: формат с кодом 13, Заливка 100 %, Самоклеющаяся, 200 — "
                   "такой ключ страница не составляет")}
            << QStringList {piece};
        QTest::newRow("street, no such material")
            << "121111209"
            << QStringList {QStringLiteral(
                   "Уличная: материал с кодом 20, 360 dpi — такой ключ страница не "
                   "составляет")}
            << QStringList {area};
        QTest::newRow("no page reads it") << "999999" << QStringList {} << QStringList {};
    }
    void keyMeanings()
    {
        QFETCH(QString, key);
        QFETCH(QStringList, words);
        QFETCH(QStringList, pers);
        QStringList gotWords, gotPers;
        for (const KeyMeaning &meaning : ::keyMeanings(key)) {
            gotWords << meaning.words;
            gotPers << meaning.per;
            QCOMPARE(meaning.composed, !meaning.words.contains(QStringLiteral("не составляет")));
        }
        QCOMPARE(gotWords, words);
        QCOMPARE(gotPers, pers);
    }

    // Every job the options can make: the key its page looks up means these options, per what the
    // page's quote says.
    void meaningsAgreeWithPricing()
    {
        int checked = 0;
        for (const KeyGrammar &grammar : keyGrammars()) {
            // Brochures look both roles up; the cover's grammar covers every cover key.
            if (grammar.role == QLatin1String("внутренние листы"))
                continue;
            QVector<const KeyOption *> picked;
            combinations(grammar, 0, picked, [&](const QVector<const KeyOption *> &options) {
                const Quote quote = quoteFor(grammar, options);
                const QString key = quote.lookups.last().key;
                const QVector<KeyMeaning> meanings = ::keyMeanings(key);
                const auto match
                    = std::find_if(meanings.begin(), meanings.end(), [&](const KeyMeaning &m) {
                          if (m.page != grammar.page || m.per != quote.per || !m.composed)
                              return false;
                          for (const KeyOption *option : options) {
                              if (option && !m.words.contains(option->caption))
                                  return false;
                          }
                          return true;
                      });
                QVERIFY2(match != meanings.end(),
                         qPrintable(key + QStringLiteral(" priced ") + quote.per
                                    + QStringLiteral(" has no meaning that names its options")));
                ++checked;
            });
        }
        QVERIFY(checked > 5000);
    }

    void everyBuiltInKeyHasAMeaning()
    {
        for (const PriceEntry &entry : builtInVersion().prices.entries())
            QVERIFY2(!::keyMeanings(entry.key).isEmpty(), qPrintable(entry.key));
    }

    void extrasKeyedOnce()
    {
        const QRegularExpression keyForm(QStringLiteral(
            "^(sheet|brochure|street|interior|souvenir)\\.[a-z]+(-[a-z]+)*\\.[a-z0-9]+"
            "(-[a-z0-9]+)*$"));
        QSet<QString> keys, names;
        for (const ExtraOption &option : extrasCatalogue()) {
            QVERIFY2(keyForm.match(option.key).hasMatch(), qPrintable(option.key));
            QVERIFY2(!keys.contains(option.key), qPrintable(option.key));
            QVERIFY2(!names.contains(option.objectName), qPrintable(option.objectName));
            keys.insert(option.key);
            names.insert(option.objectName);
            QCOMPARE(findExtra(option.key), &option);
            QCOMPARE(findExtraByObjectName(option.objectName), &option);
            QCOMPARE(findExtraByFormerName(option.formerName), &option);
            QCOMPARE(builtInVersion().extra(option.key), option.amount);
        }
        QCOMPARE(builtInVersion().extras.size(), extrasCatalogue().size());
        QVERIFY2(!findExtra(QStringLiteral("radioButton_145")), "an object name is no key");
    }

    // Keys are stored by the shop: renaming a key, or a button without telling the catalogue,
    // fails here.
    void extraKeysStayPut_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<QString>("meaning");
        QTest::newRow("lamination") << "sheet.lamination.matte-250"
                                    << "radioButton_145"
                                    << "Листовая: Ламинация — 250 мкм Матовая";
        QTest::newRow("two captions alike, first")
            << "sheet.binding.metal-100-1"
            << "radioButton_153"
            << "Листовая: Брошюровка — Метал до 100 стр. (кнопка 1 из 2)";
        QTest::newRow("two captions alike, second")
            << "sheet.binding.metal-100-2"
            << "radioButton_152"
            << "Листовая: Брошюровка — Метал до 100 стр. (кнопка 2 из 2)";
        QTest::newRow("by place only")
            << "sheet.folding.3"
            << "radioButton_156"
            << "Листовая: Биговка / Фальцовка — Биговка / Фальцовка (кнопка 3 из 4)";
        QTest::newRow("brochure cover") << "brochure.cover-lamination.gloss-30"
                                        << "radioButton_186"
                                        << "Брошюры: Ламинация Обложки — 30 мкм Глянцевая";
        QTest::newRow("brochure varnish") << "brochure.inner-varnish.0-1"
                                          << "checkBox_14"
                                          << "Брошюры: Шелкография внутри — 0+1 лак";
        QTest::newRow("street base") << "street.base.foam-board-3"
                                     << "radioButton_128"
                                     << "Уличная: Основа — Пенокартон 3 мм.";
        QTest::newRow("street pocket") << "street.pocket.a4"
                                       << "checkBox_60"
                                       << "Уличная: Размер карманов — А4";
        QTest::newRow("interior binding") << "interior.binding.metal-over-100"
                                          << "checkBox_87"
                                          << "Интерьерная: Брошюровка — Метал более 100 стр.";
        QTest::newRow("souvenir") << "souvenir.material-colour.dark"
                                  << "checkBox_117"
                                  << "Сувениры: Цвет материала — Темный";
    }
    void extraKeysStayPut()
    {
        QFETCH(QString, key);
        QFETCH(QString, objectName);
        QFETCH(QString, meaning);
        const ExtraOption *option = findExtra(key);
        QVERIFY2(option, qPrintable(key));
        QCOMPARE(option->objectName, objectName);
        QCOMPARE(option->formerName, objectName);
        QCOMPARE(option->meaning(), meaning);
    }

    // A job stored before keys gets each extra's key beside the name; other choices stay as they
    // were.
    void storedJobsGetKeys_data()
    {
        QTest::addColumn<QByteArray>("job");
        QTest::addColumn<QStringList>("keys"); // of every choice, in the order stored; "" for none
        QTest::addColumn<int>("added");
        // Written with ' for ", as a stored job holds them.
        const auto json = [](const char *text) { return QByteArray(text).replace('\'', '"'); };
        QTest::newRow("an extra and a format")
            << json("{'page':'sheet_products','format':{'title':'Формат','checked':[{'name':"
                    "'radioButton_3','value':2,'caption':'А4','exclusive':true}]},'lamination':{"
                    "'title':'Ламинация','checked':[{'name':'radioButton_145','value':80,"
                    "'caption':'250 мкм Матовая','exclusive':true}]}}")
            << QStringList {QStringLiteral(""), QStringLiteral("sheet.lamination.matte-250")} << 1;
        QTest::newRow("street pockets")
            << json("{'page':'street','pocketSizes':{'title':'Размер карманов','checked':[{"
                    "'name':'checkBox_60','value':20,'caption':'А4','exclusive':false}]},"
                    "'pockets':[{'title':'','count':'3','checked':[{'name':'checkBox_60',"
                    "'value':20,'caption':'А4','exclusive':false}]}]}")
            << QStringList {QStringLiteral("street.pocket.a4"), QStringLiteral("street.pocket.a4")}
            << 2;
        QTest::newRow("keyed already")
            << json("{'page':'sheet_products','lamination':{'title':'Ламинация','checked':[{"
                    "'name':'radioButton_145','key':'sheet.lamination.matte-250','value':80,"
                    "'caption':'250 мкм Матовая','exclusive':true}]}}")
            << QStringList {QStringLiteral("sheet.lamination.matte-250")} << 0;
        QTest::newRow("no job") << QByteArray("{}") << QStringList {} << 0;
    }
    void storedJobsGetKeys()
    {
        QFETCH(QByteArray, job);
        QFETCH(QStringList, keys);
        QFETCH(int, added);
        int count = 0;
        const QJsonObject keyed = withExtraKeys(QJsonDocument::fromJson(job).object(), &count);
        QCOMPARE(count, added);
        QStringList got;
        for (const QJsonValue &field : keyed) {
            const QJsonArray groups
                = field.isArray() ? field.toArray() : QJsonArray {field.toObject()};
            for (const QJsonValue &group : groups) {
                for (const QJsonValue &choice :
                     group.toObject().value(QStringLiteral("checked")).toArray())
                    got << choice.toObject().value(QStringLiteral("key")).toString();
            }
        }
        QCOMPARE(got, keys);
    }

    void versionInForce_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<int>("number");
        // Versions 1 to 3 are dated 1 July, 15 June and 1 July, loaded in that order.
        QTest::newRow("before any date") << QDate(2026, 6, 14) << 0;
        QTest::newRow("on its date") << QDate(2026, 6, 15) << 2;
        QTest::newRow("the day before the next") << QDate(2026, 6, 30) << 2;
        QTest::newRow("same date: the later loaded") << QDate(2026, 7, 1) << 3;
        QTest::newRow("long after") << QDate(2030, 1, 1) << 3;
    }
    void versionInForce()
    {
        QFETCH(QDate, day);
        QFETCH(int, number);
        PriceVersionList list;
        int next = 1;
        for (const QDate &from : {QDate(2026, 7, 1), QDate(2026, 6, 15), QDate(2026, 7, 1)}) {
            PriceVersion version = dated(from);
            version.info.number = next++;
            list.put(version);
        }
        QCOMPARE(list.inForce(day).info.number, number);
    }

    void switchesAtMidnight()
    {
        PriceBook book;
        const QDate today(2026, 6, 10);
        qint64 now = at(today, QTime(23, 59, 59));
        setPriceClock([&now] { return now; });
        PricesInForce follower(book);
        QVERIFY(follower.update());
        QCOMPARE(follower.version().info.number, 0);

        int number = 0;
        book.add(dated(today.addDays(1), {{QStringLiteral("002428"), 70}}),
                 [&number](int given, const QString &) { number = given; });
        QCOMPARE(number, 1);
        QVERIFY2(!follower.update(), "a version dated tomorrow is in force today");
        QVERIFY(!follower.update());

        now += 1000;
        QVERIFY2(follower.update(), "midnight passed without a switch");
        QCOMPARE(follower.version().info.number, 1);
        QCOMPARE(follower.version().prices.version(), 1);
        QCOMPARE(follower.version().prices.price(QStringLiteral("002428")), 70.0);
        QVERIFY(!follower.update());

        book.reset();
        QVERIFY2(follower.update(), "the book changed, the follower did not see it");
        QCOMPARE(follower.version().info.number, 0);
    }

    // A key a page composes that the built-in list lacks is priced once a version gives it a
    // price; a key no page composes is no key of any version.
    void composedKeysPriced_data()
    {
        QTest::addColumn<QJsonObject>("job");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("composed");
        QTest::addColumn<QString>("unitPrice"); // at a price of 250
        QTest::newRow("souvenir: T-shirt, euro business card, 4+0")
            << souvenirJob(10, 2, 2) << "0010220" << true << "0.25";
        QTest::newRow("souvenir: cap, A7, 4+4")
            << souvenirJob(14, 4, 3) << "0014430" << true << "0.25";
        QTest::newRow("sheet tier 1000–3000: A5 4+4 matte 300")
            << sheetTierJob(1, 4, 2, 6, "60") << "601426" << true << "250";
        QTest::newRow("sheet tier 500–999: euro format 1+1 designer 120")
            << sheetTierJob(8, 1, 6, 2, "50") << "508162" << true << "250";
        QTest::newRow("no page composes it") << QJsonObject() << "0099999" << false << QString();
        QTest::newRow("interior: no such format")
            << QJsonObject() << "1399000" << false << QString();
    }
    void composedKeysPriced()
    {
        QFETCH(QJsonObject, job);
        QFETCH(QString, key);
        QFETCH(bool, composed);
        QFETCH(QString, unitPrice);
        const PriceVersion &builtIn = builtInVersion();
        QVERIFY(!builtIn.prices.contains(key));
        QCOMPARE(isComposableKey(key), composed);
        QCOMPARE(listedPriceKeys().contains(key), composed);
        if (!job.isEmpty()) {
            const Quote before = priceStoredJob(job, builtIn.prices).last();
            QVERIFY2(before.explanation().contains(QStringLiteral("Нет цены в прайс-листе: ключ ")
                                                   + key),
                     qPrintable(before.explanation()));
        }
        PriceVersionInfo info;
        info.number = 1;
        const PriceVersion version
            = changedVersion(builtIn, {{key, 250.0}, {QStringLiteral("002428"), 70.0}}, {}, info);
        QCOMPARE(version.prices.contains(key), composed);
        QCOMPARE(version.prices.size(), builtIn.prices.size() + (composed ? 1 : 0));
        QCOMPARE(version.prices.price(QStringLiteral("002428")), 70.0);
        if (!job.isEmpty()) {
            const Quote after = priceStoredJob(job, version.prices).last();
            QVERIFY2(!after.missingPrice(), qPrintable(after.explanation()));
            QCOMPARE(after.lookups.last().key, key);
            QCOMPARE(after.line.unitPrice, unitPrice);
        }
    }

    // The listed keys: the built-in list first, as it stands, then every key the pages compose
    // that it lacks; each composed key reads as the options that compose it.
    void listedKeys()
    {
        const QVector<PriceEntry> &builtIn = builtInVersion().prices.entries();
        const QVector<QString> &listed = listedPriceKeys();
        QCOMPARE(listed.size(), builtIn.size() + unpricedBuiltInCount());
        for (int i = 0; i < builtIn.size(); ++i)
            QCOMPARE(listed.at(i), builtIn.at(i).key);
        QVERIFY2(unpricedBuiltInCount() > 10000,
                 qPrintable(QString::number(unpricedBuiltInCount())));
        for (int i = builtIn.size(); i < listed.size(); ++i) {
            const QString &key = listed.at(i);
            QVERIFY2(isComposableKey(key), qPrintable(key));
            const QVector<KeyMeaning> meanings = ::keyMeanings(key);
            QVERIFY2(std::any_of(meanings.begin(), meanings.end(),
                                 [](const KeyMeaning &meaning) { return meaning.composed; }),
                     qPrintable(key));
        }
    }

    // Sample amounts and odd units are told apart from the shop's plain prices.
    void sampleNotes_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<double>("price");
        QTest::addColumn<QString>("note");
        QTest::newRow("a plain sheet price") << "002428" << 66.0 << "";
        QTest::newRow("street, per 1000 mm²")
            << "1211112414" << 230.0
            << "Цена за 1000 мм² площади: 1 м² — это 1000 таких единиц, при этой цене 1 м² стоит "
               "230\u00A0000 ₽.";
        QTest::newRow("interior A2, the standard-size factor")
            << "135000" << 30.0
            << "Интерьерная: стандартный размер страница считает как 0,001 этой цены "
               "(0,03 ₽ за шт.).";
        QTest::newRow("shared by sheet products and souvenirs")
            << "000000" << 1.5
            << "Сувениры: стандартный размер страница считает как 0,001 этой цены "
               "(0,0015 ₽ за шт.).";
        QTest::newRow("filler digits as a key's price")
            << "002428" << 666.0
            << "Сумма 666 ₽ — заполнитель образца, а "
               "не цена: впишите свою.";
        QTest::newRow("interior base 100 500")
            << "interior.base.plastic-4" << 100500.0
            << "Сумма 100\u00A0500 ₽ — заполнитель образца, а "
               "не цена: впишите свою.";
        QTest::newRow("mug colour 100 501")
            << "souvenir.material-colour.dark" << 100501.0
            << "Сумма 100\u00A0501 ₽ — заполнитель образца, а не "
               "цена: впишите свою.";
        QTest::newRow("interior lamination 666")
            << "interior.lamination.gloss-30" << 666.0
            << "Сумма 666 ₽ — заполнитель образца, а не "
               "цена: впишите свою.";
        QTest::newRow("a plain extra") << "sheet.lamination.matte-250" << 80.0 << "";
        QTest::newRow("a base multiplies the print")
            << "street.base.plastic-2" << 100.0
            << "Основа умножает цену печати на 100 и добавляется ещё раз как надбавка.";
        QTest::newRow("not quite filler") << "sheet.other.contour-cut" << 566.0 << "";
    }
    void sampleNotes()
    {
        QFETCH(QString, key);
        QFETCH(double, price);
        QFETCH(QString, note);
        const ExtraOption *extra = findExtra(key);
        QCOMPARE(extra ? sampleAmountNote(*extra, price) : samplePriceNote(key, price, true), note);
    }

    void changedVersionKeepsTheKeys()
    {
        const PriceVersion &base = builtInVersion();
        PriceVersionInfo info;
        info.number = 4;
        const PriceVersion version
            = changedVersion(base, {{QStringLiteral("002428"), 1.55}, {QStringLiteral("2428"), 5}},
                             {{QStringLiteral("sheet.lamination.matte-250"), 95},
                              {QStringLiteral("nosuchbutton"), 1},
                              {QStringLiteral("checkBox_34"), 50}},
                             info);
        QCOMPARE(version.prices.size(), base.prices.size());
        QCOMPARE(version.prices.version(), 4);
        QVERIFY(!version.prices.contains(QStringLiteral("2428")));
        QVERIFY(version.prices.price(QStringLiteral("002428")) == 1.55);
        QCOMPARE(version.prices.price(QStringLiteral("000000")), 1.5);
        QCOMPARE(version.extras.size(), base.extras.size());
        QCOMPARE(version.extra(QStringLiteral("sheet.lamination.matte-250")), 95.0);
        // An object name is no key of a version.
        QCOMPARE(version.extra(QStringLiteral("sheet.other.round-corners")), 23.0);
    }

    // What a button of the form stands for, read from a version and never from the button: a
    // key option's code whatever the version, an extra's amount as the version gives it.
    void optionValuesComeFromTheVersion_data()
    {
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<double>("builtIn");
        QTest::addColumn<double>("changed");
        QTest::addColumn<QString>("key");
        QTest::newRow("format A4") << "radioButton_3" << 2.0 << 2.0 << "";
        QTest::newRow("envelopes share the euro leaflet's code")
            << "radioButton_9" << 8.0 << 8.0 << "";
        QTest::newRow("density 350") << "radioButton_78" << 8.0 << 8.0 << "";
        QTest::newRow("brochure cover paper Плайк") << "radioButton_443" << 5.0 << 5.0 << "";
        QTest::newRow("street quality 720 dpi interior") << "radioButton_115" << 13.0 << 13.0 << "";
        QTest::newRow("lamination changed by the version")
            << "radioButton_145" << 80.0 << 95.5 << "sheet.lamination.matte-250";
        QTest::newRow("lamination the version leaves")
            << "radioButton_132" << 20.0 << 20.0 << "sheet.lamination.gloss-30";
        QTest::newRow("street base changed")
            << "radioButton_122" << 100.0 << 7.0 << "street.base.plastic-2";
        QTest::newRow("pocket") << "checkBox_60" << 20.0 << 20.0 << "street.pocket.a4";
        QTest::newRow("film of no amount") << "checkBox_40" << 0.0 << 0.0 << "street.film.gloss";
        QTest::newRow("souvenir material's right-hand column")
            << "radioButton_83" << 0.0 << 0.0 << "";
        QTest::newRow("engraving, priced by no table") << "radioButton_18" << 0.0 << 0.0 << "";
        QTest::newRow("no button") << "" << 0.0 << 0.0 << "";
    }
    void optionValuesComeFromTheVersion()
    {
        QFETCH(QString, objectName);
        QFETCH(double, builtIn);
        QFETCH(double, changed);
        QFETCH(QString, key);
        PriceVersionInfo info;
        info.number = 2;
        const PriceVersion version
            = changedVersion(builtInVersion(), {},
                             {{QStringLiteral("sheet.lamination.matte-250"), 95.5},
                              {QStringLiteral("street.base.plastic-2"), 7}},
                             info);
        QString extraKey = QStringLiteral("stale");
        QCOMPARE(optionValue(builtInVersion(), objectName, &extraKey), builtIn);
        QCOMPARE(extraKey, key);
        QCOMPARE(optionValue(version, objectName), changed);
    }
};

QTEST_GUILESS_MAIN(PriceVersionsTest)
#include "test_price_versions.moc"
