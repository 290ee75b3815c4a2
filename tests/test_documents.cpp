// The invoice without the office: its sums as the sheet shows them, the total in words, the PDF
// read back with poppler-utils, pages that flow, and the documents' settings file.
#include "documents/amount_in_words.h"
#include "documents/document_settings.h"
#include "documents/invoice_painter.h"
#include "prices/price_versions.h"
#include "pricing/page_pricing.h"
#include "tests/exact_prices.h"
#include "tests/line_jobs.h"
#include "tests/pdf_text.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// "13 203,15" as the invoice prints it, with no-break spaces between the digit groups.
static QString grouped(QString text)
{
    static const QRegularExpression between(QStringLiteral("(?<=\\d) (?=\\d)"));
    return text.replace(between, QString(QChar(0x00A0)));
}

// "1000|13203.15" as an order line of that quantity and unit price.
static QVector<OrderLine> linesOf(const QStringList &rows)
{
    QVector<OrderLine> lines;
    for (const QString &row : rows) {
        const QStringList parts = row.split(QLatin1Char('|'));
        lines.append(
            {QStringLiteral("Строка %1").arg(lines.size() + 1), parts.value(0), parts.value(1)});
    }
    return lines;
}

static QVector<OrderLine> numberedLines(int count)
{
    QVector<OrderLine> lines;
    for (int i = 1; i <= count; ++i)
        lines.append(
            {QStringLiteral("Позиция %1").arg(i), QStringLiteral("10"), QStringLiteral("1.5")});
    return lines;
}

class DocumentsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home;

    QString writePdf(const InvoiceDocument &document)
    {
        const QString path = home->filePath(QStringLiteral("invoice.pdf"));
        QString error;
        if (!writeInvoicePdf(document, path, &error))
            qWarning("the PDF was not written: %s", qPrintable(error));
        return path;
    }

    static void writeSettingsFile(const QByteArray &text)
    {
        QDir().mkpath(QFileInfo(settingsFilePath()).path());
        QFile file(settingsFilePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

private slots:
    void pdfFolderAsTyped_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("usable");
        QTest::newRow("empty: the default") << "" << true;
        QTest::newRow("from the root") << "/srv/счета" << true;
        QTest::newRow("the home folder") << "~" << true;
        QTest::newRow("under the home folder") << "~/Счета" << true;
        QTest::newRow("relative") << "Счета" << false;
        QTest::newRow("dot") << "./pdf" << false;
        QTest::newRow("tilde of another user") << "~kassa/pdf" << false;
    }
    void pdfFolderAsTyped()
    {
        QFETCH(QString, folder);
        QFETCH(bool, usable);
        QCOMPARE(DocumentSettings::pdfFolderProblem(folder).isEmpty(), usable);
    }

    // Each test has a home and a settings folder of its own.
    void init()
    {
        home = std::make_unique<QTemporaryDir>();
        QVERIFY(home->isValid());
        qputenv("HOME", QFile::encodeName(home->path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home->filePath(QStringLiteral("config"))));
    }

    // Each sum as the sheet's formulas compute it, shown as Calc shows two decimals.
    void sums_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("lineSums");
        QTest::addColumn<QString>("subtotal");
        QTest::addColumn<QString>("tax");
        QTest::addColumn<QString>("total");
        QTest::newRow("0.25 × 0.18 shows 0.05, not 0.04")
            << QStringList {QStringLiteral("0.25|0.18")} << QStringList {QStringLiteral("0,05")}
            << QStringLiteral("0,05") << "0,01"
            << "0,05";
        QTest::newRow("2.675 shows 2.68")
            << QStringList {QStringLiteral("1|2.675")} << QStringList {QStringLiteral("2,68")}
            << QStringLiteral("2,68") << "0,48"
            << "3,16";
        QTest::newRow("half a kopeck in the tax rounds up")
            << QStringList {QStringLiteral("1|0.25")} << QStringList {QStringLiteral("0,25")}
            << QStringLiteral("0,25") << "0,05"
            << "0,30";
        QTest::newRow("subtotal from the exact sums, not the shown ones")
            << QStringList {QStringLiteral("1|0.333"), QStringLiteral("1|0.333"),
                            QStringLiteral("1|0.333")}
            << QStringList {QStringLiteral("0,33"), QStringLiteral("0,33"), QStringLiteral("0,33")}
            << "1,00"
            << "0,18"
            << "1,18";
        QTest::newRow("thousands grouped, kopecks kept")
            << QStringList {QStringLiteral("1000|13203.15")}
            << QStringList {QStringLiteral("13 203 150,00")} << QStringLiteral("13 203 150,00")
            << "2 376 567,00"
            << "15 579 717,00";
        QTest::newRow("price in exponent form") << QStringList {QStringLiteral("1|5.40001e+07")}
                                                << QStringList {QStringLiteral("54 000 100,00")}
                                                << QStringLiteral("54 000 100,00") << "9 720 018,00"
                                                << "63 720 118,00";
        QTest::newRow("a word for a quantity counts nothing")
            << QStringList {QStringLiteral("много|10"), QStringLiteral("2|1.5")}
            << QStringList {QStringLiteral("0,00"), QStringLiteral("3,00")}
            << QStringLiteral("3,00") << "0,54"
            << "3,54";
    }
    void sums()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, lineSums);
        QFETCH(QString, subtotal);
        QFETCH(QString, tax);
        QFETCH(QString, total);
        const InvoiceTexts texts = invoiceTexts(linesOf(lines));
        QCOMPARE(texts.rows.size(), lineSums.size());
        for (int i = 0; i < lineSums.size(); ++i) {
            QCOMPARE(texts.rows.at(i).number, QString::number(i + 1));
            QCOMPARE(texts.rows.at(i).sum, grouped(lineSums.at(i)));
        }
        QCOMPARE(texts.subtotal, grouped(subtotal));
        QCOMPARE(texts.tax, grouped(tax));
        QCOMPARE(texts.total, grouped(total));
        QCOMPARE(texts.countLine,
                 QStringLiteral("Всего наименований %1, на сумму %2 руб.")
                     .arg(lines.size())
                     .arg(grouped(total)));
    }

    // Quantities and prices in the invoice's Russian form; a text that is no number as it is.
    void amounts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("minDecimals");
        QTest::addColumn<QString>("shown");
        QTest::newRow("whole quantity grouped") << "1000" << 0 << "1 000";
        QTest::newRow("half a sheet") << "0.5" << 0 << "0,5";
        QTest::newRow("price gets two decimals") << "2.5" << 2 << "2,50";
        QTest::newRow("price keeps its own decimals") << "0.0345" << 2 << "0,0345";
        QTest::newRow("exponent form written out") << "1.62e+06" << 2 << "1 620 000,00";
        QTest::newRow("negative") << "-1500" << 0 << "-1 500";
        QTest::newRow("a word stays") << "по запросу" << 0 << "по запросу";
        QTest::newRow("empty stays empty") << "" << 2 << "";
    }
    void amounts()
    {
        QFETCH(QString, text);
        QFETCH(int, minDecimals);
        QFETCH(QString, shown);
        QCOMPARE(invoiceAmount(text, minDecimals), grouped(shown));
    }

    void totalInWords_data()
    {
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("words");
        QTest::newRow("nothing") << 0.0 << "Ноль рублей 00 копеек";
        QTest::newRow("kopecks only, rounded as shown") << 0.045 << "Ноль рублей 05 копеек";
        QTest::newRow("one") << 1.0 << "Один рубль 00 копеек";
        QTest::newRow("few") << 2.5 << "Два рубля 50 копеек";
        QTest::newRow("eleven is many") << 11.21 << "Одиннадцать рублей 21 копейка";
        QTest::newRow("twenty-one is one") << 21.02 << "Двадцать один рубль 02 копейки";
        QTest::newRow("one thousand is feminine") << 1000.0 << "Одна тысяча рублей 00 копеек";
        QTest::newRow("two thousand two") << 2002.0 << "Две тысячи два рубля 00 копеек";
        QTest::newRow("teens in thousands")
            << 111111.0 << "Сто одиннадцать тысяч сто одиннадцать рублей 00 копеек";
        QTest::newRow("an invoice total")
            << 13203.15 << "Тринадцать тысяч двести три рубля 15 копеек";
        QTest::newRow("millions without thousands")
            << 5000000.0 << "Пять миллионов рублей 00 копеек";
        QTest::newRow("a milliard and more")
            << 1912238404.19
            << "Один миллиард девятьсот двенадцать миллионов двести тридцать восемь тысяч "
               "четыреста четыре рубля 19 копеек";
    }
    void totalInWords()
    {
        QFETCH(double, amount);
        QFETCH(QString, words);
        QCOMPARE(roublesInWords(amount), words);
    }

    void titleAndFileName_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("numbered") << "57" << 1 << QDate(2026, 12, 9) << "Счёт № 57 от 09.12.2026"
                                  << "Счёт-57-2026-12-09.pdf";
        QTest::newRow("no number yet") << "" << 1 << QDate(2027, 1, 2) << "Счёт б/н от 02.01.2027"
                                       << "Счёт-б-н-2027-01-02.pdf";
        QTest::newRow("a slash cannot cut the file name")
            << "К1/7" << 1 << QDate(2026, 3, 1) << "Счёт № К1/7 от 01.03.2026"
            << "Счёт-К1-7-2026-03-01.pdf";
        QTest::newRow("a taken order changed once")
            << "1042" << 2 << QDate(2026, 12, 9) << "Счёт № 1042 (изм. 2) от 09.12.2026"
            << "Счёт-1042-изм-2-2026-12-09.pdf";
        QTest::newRow("changed again")
            << "1042" << 11 << QDate(2026, 12, 10) << "Счёт № 1042 (изм. 11) от 10.12.2026"
            << "Счёт-1042-изм-11-2026-12-10.pdf";
        QTest::newRow("a revision without a number reads as none")
            << "" << 3 << QDate(2026, 12, 9) << "Счёт б/н от 09.12.2026"
            << "Счёт-б-н-2026-12-09.pdf";
    }
    void titleAndFileName()
    {
        QFETCH(QString, number);
        QFETCH(int, revision);
        QFETCH(QDate, date);
        QFETCH(QString, title);
        QFETCH(QString, fileName);
        InvoiceDocument document;
        document.number = number;
        document.revision = revision;
        document.date = date;
        QCOMPARE(document.title(), title);
        QCOMPARE(document.fileName(), fileName);
    }

    // Everything the invoice says, read back from the PDF: each line's cells in one row, the
    // totals beside their labels, number, dates, requisites and signatures.
    void pdfReadsBack()
    {
        InvoiceDocument document;
        document.shop = ShopRequisites::sample();
        document.shop.director = QStringLiteral("Петров П. П.");
        document.number = QStringLiteral("57");
        document.date = QDate(2026, 12, 30);
        document.lines = {
            {QStringLiteral("Визитки 90х50, 4+4"), QStringLiteral("1000"), QStringLiteral("1.62")},
            {QStringLiteral("Кружка белая"), QStringLiteral("12"), QStringLiteral("0.25")},
            {QStringLiteral("Плёнка 360 dpi"), QStringLiteral("1"), QStringLiteral("2.675")}};
        const QString path = writePdf(document);
        const QString table = pdfText(path, true);
        QVERIFY2(!table.isEmpty(), "no text came back from the PDF");

        const QList<QStringList> rows = {
            {QStringLiteral("№"), QStringLiteral("Наименование"), QStringLiteral("Кол-во"),
             QStringLiteral("Цена"), QStringLiteral("Сумма")},
            {QStringLiteral("1"), QStringLiteral("Визитки 90х50, 4+4"), QStringLiteral("1 000"),
             QStringLiteral("1,62"), QStringLiteral("1 620,00")},
            {QStringLiteral("2"), QStringLiteral("Кружка белая"), QStringLiteral("12"),
             QStringLiteral("0,25"), QStringLiteral("3,00")},
            {QStringLiteral("3"), QStringLiteral("Плёнка 360 dpi"), QStringLiteral("1"),
             QStringLiteral("2,675"), QStringLiteral("2,68")},
            {QStringLiteral("Итого"), QStringLiteral("1 625,68")},
            {QStringLiteral("18%"), QStringLiteral("292,62")},
            {QStringLiteral("Всего"), QStringLiteral("1 918,30")},
            {QStringLiteral("Руководитель предприятия"), QStringLiteral("/ Петров П. П. /")},
        };
        for (const QStringList &row : rows)
            QVERIFY2(!rowWith(table, row).isEmpty(),
                     qPrintable(QStringLiteral("no row reads \"%1\" in:\n%2")
                                    .arg(row.join(QStringLiteral(" | ")), table)));

        const QString text = pdfText(path);
        const ShopRequisites shop = ShopRequisites::sample();
        for (const QString &expected :
             {shop.name, shop.address, shop.taxNumbers, shop.bank, shop.account,
              QStringLiteral("Счёт № 57 от 30.12.2026"),
              QStringLiteral("Счёт действителен до 04.01.2027."),
              QStringLiteral("Всего наименований 3, на сумму 1 918,30 руб."),
              QStringLiteral("Одна тысяча девятьсот восемнадцать рублей 30 копеек"),
              QStringLiteral("Главный бухгалтер"), QStringLiteral("М.П.")})
            QVERIFY2(text.contains(expected),
                     qPrintable(QStringLiteral("\"%1\" is missing from:\n%2").arg(expected, text)));
        QVERIFY2(!text.contains(QStringLiteral("Страница")), "a one-page invoice numbers its page");
    }

    // Lines of every page read in words on the PDF, wrapped within their cell; a line typed by
    // hand reads as typed. The table's composed texts are not printed.
    void pdfWordsEachLine()
    {
        InvoiceDocument document;
        document.date = QDate(2026, 12, 30);
        for (const QJsonObject &job : {jobs::sheetWithExtras(), jobs::sheetTier(), jobs::brochure(),
                                       jobs::banner(), jobs::interiorPoster(), jobs::mug()})
            document.lines.append(priceStoredJob(job, builtInVersion().prices).last().orderLine());
        document.lines.append({QStringLiteral("Дизайн визитки: 2 макета"), QStringLiteral("1"),
                               QStringLiteral("1500")});
        QString text = pdfText(writePdf(document));
        text.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
        for (const char *words :
             {"1 Листовая продукция: А4 (210×297 мм), 4+4, матовая 350 г/м²; ламинация 30 мкм "
              "матовая; лак 1+0; обрезка по изображению",
              "2 Листовая продукция, тираж 1000–3000 шт.: А4 (210×297 мм), 4+4, матовая 350 г/м²",
              "3 Брошюры: А5 (148×210 мм); обложка 4+4, глянцевая 250 г/м²; внутренние листы "
              "1+1, простая 80 г/м², 12 листов; переплёт на скрепке; ламинация обложки 30 мкм "
              "глянцевая; лак внутренних листов 0+1",
              "4 Уличная печать: баннерная ткань (Корея) 440 г/м², 720 dpi, 3000×1000 мм; плёнка "
              "матовая; основа пластик 2 мм; проклейка; монтаж; карманы А4: 3 шт.",
              "5 Интерьерная печать: А1 (594×841 мм), заливка 50 %, матовая 120 г/м²; фальцовка "
              "А1; ламинация 30 мкм матовая",
              "6 Сувенирная печать: кружки, А6 (105×148 мм), 4+0; цвет изделия светлый",
              "7 Дизайн визитки: 2 макета"})
            QVERIFY2(text.contains(QString::fromUtf8(words)),
                     qPrintable(QStringLiteral("\"%1\" is missing from:\n%2")
                                    .arg(QString::fromUtf8(words), text)));
        for (const char *composed : {"Матовая; 350", "30 мкм Матовая", "Другой; Другой"})
            QVERIFY2(!text.contains(QString::fromUtf8(composed)), composed);
    }

    // The text is set in DejaVu Sans and the font travels inside the file.
    // A line priced from a price of seven to nine digits, read back from the PDF: its price, its
    // sum and the totals to the kopeck.
    void pdfPricesToTheKopeck_data()
    {
        QTest::addColumn<QString>("job");
        QTest::addColumn<double>("price");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QStringList>("row"); // quantity, price, sum
        QTest::addColumn<QStringList>("totals"); // subtotal, 18 %, total
        QTest::newRow("7 digits") << "sheet" << 12345.67 << "3"
                                  << QStringList {QStringLiteral("3"), QStringLiteral("12 345,67"),
                                                  QStringLiteral("37 037,01")}
                                  << QStringList {QStringLiteral("37 037,01"),
                                                  QStringLiteral("6 666,66"),
                                                  QStringLiteral("43 703,67")};
        QTest::newRow("9 digits") << "sheet" << 1234567.89 << "3"
                                  << QStringList {QStringLiteral("3"),
                                                  QStringLiteral("1 234 567,89"),
                                                  QStringLiteral("3 703 703,67")}
                                  << QStringList {QStringLiteral("3 703 703,67"),
                                                  QStringLiteral("666 666,66"),
                                                  QStringLiteral("4 370 370,33")};
        QTest::newRow("9 digits at the limit")
            << QStringLiteral("sheet") << 9999999.99 << QStringLiteral("1")
            << QStringList {QStringLiteral("1"), QStringLiteral("9 999 999,99"),
                            QStringLiteral("9 999 999,99")}
            << QStringList {QStringLiteral("9 999 999,99"), QStringLiteral("1 800 000,00"),
                            QStringLiteral("11 799 999,99")};
        QTest::newRow("exact in six digits")
            << QStringLiteral("sheet") << 1620000.0 << QStringLiteral("2")
            << QStringList {QStringLiteral("2"), QStringLiteral("1 620 000,00"),
                            QStringLiteral("3 240 000,00")}
            << QStringList {QStringLiteral("3 240 000,00"), QStringLiteral("583 200,00"),
                            QStringLiteral("3 823 200,00")};
        QTest::newRow("computed, rounded to kopecks")
            << QStringLiteral("street") << 1234.57 << QStringLiteral("2")
            << QStringList {QStringLiteral("2"), QStringLiteral("136 900,23"),
                            QStringLiteral("273 800,46")}
            << QStringList {QStringLiteral("273 800,46"), QStringLiteral("49 284,08"),
                            QStringLiteral("323 084,54")};
    }
    void pdfPricesToTheKopeck()
    {
        QFETCH(QString, job);
        QFETCH(double, price);
        QFETCH(QString, quantity);
        QFETCH(QStringList, row);
        QFETCH(QStringList, totals);
        InvoiceDocument document;
        document.date = QDate(2026, 12, 30);
        OrderLine line = exact::quote(job, price, quantity).orderLine();
        line.description = QStringLiteral("Строка");
        document.lines = {line};
        const QString table = pdfText(writePdf(document), true);
        QVERIFY2(!table.isEmpty(), "no text came back from the PDF");
        const QList<QStringList> rows
            = {QStringList {QStringLiteral("1"), QStringLiteral("Строка")} + row,
               {QStringLiteral("Итого"), totals.at(0)},
               {QStringLiteral("18%"), totals.at(1)},
               {QStringLiteral("Всего"), totals.at(2)}};
        for (const QStringList &expected : rows)
            QVERIFY2(!rowWith(table, expected).isEmpty(),
                     qPrintable(QStringLiteral("no row reads \"%1\" in:\n%2")
                                    .arg(expected.join(QStringLiteral(" | ")), table)));
    }

    // The foot read back from the PDF for each tax mode and discount: every row beside its
    // caption, to the kopeck, the total in words after "Всего", and the payer's line.
    void pdfFoot_data()
    {
        QTest::addColumn<QByteArray>("taxSection"); // empty: no [tax] in the settings
        QTest::addColumn<int>("discount");
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<QString>("words");
        QTest::newRow("no tax set, no customer: as before")
            << QByteArray() << -1
            << QList<QStringList> {{QStringLiteral("Итого"), QStringLiteral("13 200,00")},
                                   {QStringLiteral("18%"), QStringLiteral("2 376,00")},
                                   {QStringLiteral("Всего"), QStringLiteral("15 576,00")}}
            << "Пятнадцать тысяч пятьсот семьдесят шесть рублей 00 копеек";
        QTest::newRow("no tax set, a customer at 0 %: as before")
            << QByteArray() << 0
            << QList<QStringList> {{QStringLiteral("Итого"), QStringLiteral("13 200,00")},
                                   {QStringLiteral("18%"), QStringLiteral("2 376,00")},
                                   {QStringLiteral("Всего"), QStringLiteral("15 576,00")}}
            << "Пятнадцать тысяч пятьсот семьдесят шесть рублей 00 копеек";
        QTest::newRow("no tax set, 5 %")
            << QByteArray() << 500
            << QList<QStringList> {{QStringLiteral("Итого"), QStringLiteral("13 200,00")},
                                   {QStringLiteral("Скидка 5 %"), QStringLiteral("−660,00")},
                                   {QStringLiteral("18%"), QStringLiteral("2 257,20")},
                                   {QStringLiteral("Всего"), QStringLiteral("14 797,20")}}
            << "Четырнадцать тысяч семьсот девяносто семь рублей 20 копеек";
        QTest::newRow("on top 22, 5 %")
            << QByteArray("mode=on-top\nrate=22\n") << 500
            << QList<QStringList> {{QStringLiteral("Итого"), QStringLiteral("13 200,00")},
                                   {QStringLiteral("Скидка 5 %"), QStringLiteral("−660,00")},
                                   {QStringLiteral("НДС 22 %"), QStringLiteral("2 758,80")},
                                   {QStringLiteral("Всего"), QStringLiteral("15 298,80")}}
            << "Пятнадцать тысяч двести девяносто восемь рублей 80 копеек";
        QTest::newRow("included 22, 5,25 %")
            << QByteArray("mode=included\nrate=22\n") << 525
            << QList<QStringList> {{QStringLiteral("Итого"), QStringLiteral("13 200,00")},
                                   {QStringLiteral("Скидка 5,25 %"), QStringLiteral("−693,00")},
                                   {QStringLiteral("В том числе НДС 22 %"),
                                    QStringLiteral("2 255,36")},
                                   {QStringLiteral("Всего"), QStringLiteral("12 507,00")}}
            << "Двенадцать тысяч пятьсот семь рублей 00 копеек";
        QTest::newRow("none, 5,25 %")
            << QByteArray("mode=none\n") << 525
            << QList<QStringList> {{QStringLiteral("Итого"), QStringLiteral("13 200,00")},
                                   {QStringLiteral("Скидка 5,25 %"), QStringLiteral("−693,00")},
                                   {QStringLiteral("Без налога (НДС)"), QStringLiteral("-")},
                                   {QStringLiteral("Всего"), QStringLiteral("12 507,00")}}
            << "Двенадцать тысяч пятьсот семь рублей 00 копеек";
        QTest::newRow("on top 20, no discount")
            << QByteArray("mode=on-top\nrate=20\n") << 0
            << QList<QStringList> {{QStringLiteral("Итого"), QStringLiteral("13 200,00")},
                                   {QStringLiteral("НДС 20 %"), QStringLiteral("2 640,00")},
                                   {QStringLiteral("Всего"), QStringLiteral("15 840,00")}}
            << "Пятнадцать тысяч восемьсот сорок рублей 00 копеек";
    }
    void pdfFoot()
    {
        QFETCH(QByteArray, taxSection);
        QFETCH(int, discount);
        QFETCH(QList<QStringList>, rows);
        QFETCH(QString, words);
        if (!taxSection.isEmpty())
            writeSettingsFile("[tax]\n" + taxSection);
        InvoiceDocument document;
        document.tax = DocumentSettings::load().tax;
        document.date = QDate(2026, 12, 9);
        document.lines
            = {{QStringLiteral("Буклеты"), QStringLiteral("1000"), QStringLiteral("13.2")}};
        if (discount >= 0) {
            document.payer.fullName = QStringLiteral("ООО «Ромашка»");
            document.payer.inn = QStringLiteral("7707083893");
            document.payer.kpp = QStringLiteral("770701001");
            document.payer.address = QStringLiteral("123456, г. Москва, ул. Ленина, д. 1");
            document.payer.discountHundredths = discount;
        }
        const QString path = writePdf(document);
        const QString table = pdfText(path, true);
        QVERIFY2(!table.isEmpty(), "no text came back from the PDF");
        QString foot;
        for (const QStringList &row : rows) {
            const QString line = rowWith(table, row);
            QVERIFY2(!line.isEmpty(),
                     qPrintable(QStringLiteral("no row reads \"%1\" in:\n%2")
                                    .arg(row.join(QStringLiteral(" | ")), table)));
            foot += line.simplified() + QLatin1Char('\n');
        }
        // No other row in the foot: the captions between "Итого" and "Всего" are the table's.
        const QString after = table.mid(table.indexOf(QStringLiteral("Итого")));
        const QStringList captions = {QStringLiteral("Скидка"), QStringLiteral("НДС"),
                                      QStringLiteral("18%"), QStringLiteral("Без налога")};
        for (const QString &caption : captions)
            QCOMPARE(after.left(after.indexOf(QStringLiteral("Всего"))).contains(caption),
                     foot.contains(caption));
        const QString text = pdfText(path);
        QVERIFY2(text.contains(words),
                 qPrintable(QStringLiteral("no \"%1\" in:\n%2").arg(words, text)));
        const QString payer = discount >= 0
            ? QStringLiteral("Плательщик: ООО «Ромашка», ИНН 7707083893, КПП 770701001")
            : QStringLiteral("Плательщик: ") + QString(48, QLatin1Char('_'));
        QVERIFY2(!rowWith(table, {payer}).isEmpty(),
                 qPrintable(QStringLiteral("no payer line \"%1\" in:\n%2").arg(payer, table)));
        QCOMPARE(text.contains(QStringLiteral("123456, г. Москва, ул. Ленина, д. 1")),
                 discount >= 0);
    }

    // A payer's name too long for one line wraps under itself; nothing of it is lost.
    void longPayerWraps()
    {
        InvoiceDocument document;
        document.date = QDate(2026, 12, 9);
        document.lines = linesOf({QStringLiteral("1|100")});
        document.payer.fullName = QStringLiteral(
            "Общество с ограниченной ответственностью «Объединённая типографская и рекламная "
            "компания Северо-Западного региона»");
        document.payer.inn = QStringLiteral("7707083893");
        document.payer.kpp = QStringLiteral("770701001");
        const QString text = pdfText(writePdf(document)).simplified();
        QVERIFY2(text.contains(QStringLiteral(
                     "Плательщик: Общество с ограниченной ответственностью «Объединённая")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Северо-Западного региона», ИНН 7707083893, КПП "
                                              "770701001")),
                 qPrintable(text));
    }

    void fontEmbedded()
    {
        InvoiceDocument document;
        document.date = QDate(2026, 12, 9);
        document.lines = linesOf({QStringLiteral("1|1")});
        const QStringList fonts
            = pdfFonts(writePdf(document)).split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(2);
        QVERIFY2(!fonts.isEmpty(), "pdffonts lists no font");
        for (const QString &font : fonts) {
            const QStringList columns = font.simplified().split(QLatin1Char(' '));
            QVERIFY2(font.startsWith(QLatin1String("DejaVuSans")),
                     qPrintable(QStringLiteral("not DejaVu Sans: ") + font));
            QVERIFY2(columns.size() > 5 && columns.at(columns.size() - 5) == QLatin1String("yes"),
                     qPrintable(QStringLiteral("not embedded: ") + font));
        }
    }

    // Rows fill the pages in order, each page repeats the column headers and says which page it
    // is, and the totals end the last page under at least one row of the table.
    void longOrderFlows_data()
    {
        QTest::addColumn<int>("lines");
        QTest::newRow("one line") << 1;
        for (int lines = 20; lines <= 50; lines += 3)
            QTest::newRow(qPrintable(QStringLiteral("%1 lines").arg(lines))) << lines;
        QTest::newRow("400 lines") << 400;
    }
    void longOrderFlows()
    {
        QFETCH(int, lines);
        InvoiceDocument document;
        document.date = QDate(2026, 12, 9);
        document.number = QStringLiteral("8");
        document.lines = numberedLines(lines);
        const QStringList pages = pdfPages(writePdf(document));
        QVERIFY2(!pages.isEmpty(), "no text came back from the PDF");
        if (lines >= 50)
            QVERIFY2(pages.size() > 1, "fifty lines fit on one page");

        int next = 1;
        for (int page = 0; page < pages.size(); ++page) {
            const QStringList texts = pages.at(page).split(QLatin1Char('\n'));
            for (const char *caption : {"№", "Наименование", "Кол-во", "Цена", "Сумма"})
                QVERIFY2(texts.contains(QString::fromUtf8(caption)),
                         qPrintable(QStringLiteral("page %1 lacks the column header %2")
                                        .arg(page + 1)
                                        .arg(QString::fromUtf8(caption))));
            int rowsHere = 0;
            for (const QString &text : texts) {
                if (!text.startsWith(QStringLiteral("Позиция ")))
                    continue;
                QCOMPARE(text, QStringLiteral("Позиция %1").arg(next));
                ++next;
                ++rowsHere;
            }
            QVERIFY2(rowsHere > 0, qPrintable(QStringLiteral("page %1 has no row").arg(page + 1)));
            const bool last = page == pages.size() - 1;
            QCOMPARE(texts.contains(QStringLiteral("Итого")), last);
            QCOMPARE(texts.contains(QStringLiteral("М.П.")), last);
            if (pages.size() > 1)
                QVERIFY2(
                    pages.at(page).contains(
                        QStringLiteral("Страница %1 из %2").arg(page + 1).arg(pages.size())),
                    qPrintable(QStringLiteral("page %1 does not say its number").arg(page + 1)));
        }
        QCOMPARE(next - 1, lines);
    }

    void settingsPath()
    {
        QCOMPARE(settingsFilePath(),
                 home->filePath(QStringLiteral("config/printcalc/printcalc.ini")));
    }

    // No file: the sample requisites, five days, the documents folder.
    void settingsDefaults()
    {
        const DocumentSettings settings = DocumentSettings::load();
        QVERIFY(settings.requisites == ShopRequisites::sample());
        QCOMPARE(settings.validityDays, 5);
        QCOMPARE(settings.effectivePdfFolder(),
                 home->filePath(QStringLiteral("Documents/printcalc")));
    }

    // The file as an administrator writes it by hand, in UTF-8, naming only what differs.
    void settingsEditedByHand()
    {
        writeSettingsFile("[requisites]\n"
                          "name=Типография «Новый лист»\n"
                          "director=Иванов И. И.\n"
                          "[documents]\n"
                          "pdfFolder=~/Счета\n"
                          "validityDays=10\n"
                          "[database]\n"
                          "url=sqlite:///tmp/a.sqlite\n");
        const DocumentSettings settings = DocumentSettings::load();
        QCOMPARE(settings.requisites.name, QStringLiteral("Типография «Новый лист»"));
        QCOMPARE(settings.requisites.director, QStringLiteral("Иванов И. И."));
        QCOMPARE(settings.requisites.address, ShopRequisites::sample().address);
        QCOMPARE(settings.validityDays, 10);
        QCOMPARE(settings.effectivePdfFolder(), home->filePath(QStringLiteral("Счета")));
    }

    void validityDaysRead_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("days");
        QTest::newRow("thirty") << QByteArray("30") << 30;
        QTest::newRow("due at once") << QByteArray("0") << 0;
        QTest::newRow("a word") << QByteArray("неделя") << 5;
        QTest::newRow("negative") << QByteArray("-1") << 5;
        QTest::newRow("over a year") << QByteArray("400") << 5;
    }
    void validityDaysRead()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, days);
        writeSettingsFile("[documents]\nvalidityDays=" + value + "\n");
        QCOMPARE(DocumentSettings::load().validityDays, days);
    }

    // The [tax] section as an administrator writes it, and the rule in force on either side of
    // the change's day.
    void taxSettingsRead_data()
    {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<bool>("given");
        QTest::addColumn<QString>("before"); // the rule on 31.12.2026: "mode rate"
        QTest::addColumn<QString>("from"); // the rule on 01.01.2027
        QTest::newRow("no section") << QByteArray() << false << "on-top 18"
                                    << "on-top 18";
        QTest::newRow("on top 20")
            << QByteArray("[tax]\nmode=on-top\nrate=20\n") << true << "on-top 20"
            << "on-top 20";
        QTest::newRow("included 22 from the new year")
            << QByteArray("[tax]\nmode=on-top\nrate=20\nchangeFrom=2027-01-01\n"
                          "changeMode=included\nchangeRate=22\n")
            << true << "on-top 20"
            << "included 22";
        QTest::newRow("none from the new year, its rate kept")
            << QByteArray("[tax]\nmode=included\nrate=5\nchangeFrom=2027-01-01\n"
                          "changeMode=none\n")
            << true << "included 5"
            << "none 5";
        QTest::newRow("a mode alone: 22 %")
            << QByteArray("[tax]\nmode=included\n") << true << "included 22"
            << "included 22";
        QTest::newRow("a rate not charged anywhere: 22 %")
            << QByteArray("[tax]\nmode=on-top\nrate=19\n") << true << "on-top 22"
            << "on-top 22";
        QTest::newRow("a date that is no date: no change")
            << QByteArray("[tax]\nmode=on-top\nrate=20\nchangeFrom=01.01.2027\n"
                          "changeMode=none\n")
            << true << "on-top 20"
            << "on-top 20";
    }
    void taxSettingsRead()
    {
        QFETCH(QByteArray, section);
        QFETCH(bool, given);
        QFETCH(QString, before);
        QFETCH(QString, from);
        writeSettingsFile("[documents]\nvalidityDays=5\n" + section);
        const TaxSettings tax = DocumentSettings::load().tax;
        QCOMPARE(tax.given, given);
        const auto rule = [&tax](const QDate &day) -> QString {
            const TaxRule in = tax.ruleOn(day);
            return taxModeWord(in.mode) + QLatin1Char(' ') + QString::number(in.rate);
        };
        QCOMPARE(rule(QDate(2026, 12, 31)), before);
        QCOMPARE(rule(QDate(2027, 1, 1)), from);

        // Saved again, the section reads back alike, and a file without one gets none.
        DocumentSettings settings = DocumentSettings::load();
        QVERIFY(settings.save());
        const TaxSettings again = DocumentSettings::load().tax;
        QCOMPARE(again.given, given);
        QVERIFY(again.ruleOn(QDate(2026, 12, 31)) == tax.ruleOn(QDate(2026, 12, 31)));
        QVERIFY(again.ruleOn(QDate(2027, 1, 1)) == tax.ruleOn(QDate(2027, 1, 1)));
    }

    // Saved settings read back alike, stay readable text, and leave the other parts' keys be.
    void settingsSaved()
    {
        writeSettingsFile("[database]\nurl=postgresql:///shop?host=/run/postgresql\n");
        DocumentSettings settings;
        settings.requisites.name = QStringLiteral("Печатный двор");
        settings.requisites.accountant = QStringLiteral("Сидорова С. С.");
        settings.pdfFolder = home->filePath(QStringLiteral("счета"));
        settings.validityDays = 3;
        QVERIFY(settings.save());
        const DocumentSettings loaded = DocumentSettings::load();
        QVERIFY(loaded.requisites == settings.requisites);
        QCOMPARE(loaded.pdfFolder, settings.pdfFolder);
        QCOMPARE(loaded.validityDays, 3);

        QFile file(settingsFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY2(text.contains(QStringLiteral("name=Печатный двор")),
                 qPrintable(QStringLiteral("the file does not read as plain text:\n") + text));
        QCOMPARE(openSettingsFile()->value(QStringLiteral("database/url")).toString(),
                 QStringLiteral("postgresql:///shop?host=/run/postgresql"));
    }
};

QTEST_MAIN(DocumentsTest)
#include "test_documents.moc"
