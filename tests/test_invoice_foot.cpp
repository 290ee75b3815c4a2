// The documents' foot without any document: the rows, their captions and their amounts for every
// tax mode and rate, with and without a discount, at the rounding edges.
#include "order/invoice.h"
#include "order/invoice_foot.h"

#include <QtTest>

// "2|617.28" as an order line of that quantity and price, `times` over.
static QVector<OrderLine> linesOf(const QStringList &rows, int times = 1)
{
    QVector<OrderLine> lines;
    for (int time = 0; time < times; ++time)
        for (const QString &row : rows) {
            const QStringList parts = row.split(QLatin1Char('|'));
            lines.append({QStringLiteral("Строка"), parts.value(0), parts.value(1)});
        }
    return lines;
}

// "Итого=13200.00", one a row; "Без налога (НДС)=-" for a row without an amount.
static QStringList rowsOf(const InvoiceFoot &foot)
{
    QStringList rows;
    for (const FootRow &row : foot.rows)
        rows << row.caption + QLatin1Char('=')
                + (row.hasAmount ? QString::number(row.amount, 'f', 2) : QStringLiteral("-"));
    return rows;
}

class InvoiceFootTest : public QObject
{
    Q_OBJECT

private slots:
    void foot_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("times");
        QTest::addColumn<int>("discount");
        QTest::addColumn<QString>("mode"); // empty: no tax in the settings
        QTest::addColumn<int>("rate");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<double>("total");

        const QStringList sale = {QStringLiteral("1|13200")};
        QTest::newRow("no tax set, no discount: the old rows")
            << sale << 1 << 0 << "" << 0
            << QStringList {QStringLiteral("Итого=13200.00"), QStringLiteral("18%=2376.00"),
                            QStringLiteral("Всего=15576.00")}
            << 15576.0;
        QTest::newRow("the old rows keep the old unrounded chain")
            << QStringList {QStringLiteral("0.25|0.18")} << 1 << 0 << QStringLiteral("") << 0
            << QStringList {QStringLiteral("Итого=0.05"), QStringLiteral("18%=0.01"),
                            QStringLiteral("Всего=0.05")}
            << 0.05;
        QTest::newRow("no tax set, 5 %: the old caption, tax after the discount")
            << sale << 1 << 500 << "" << 0
            << QStringList {QStringLiteral("Итого=13200.00"), QStringLiteral("Скидка 5 %=-660.00"),
                            QStringLiteral("18%=2257.20"), QStringLiteral("Всего=14797.20")}
            << 14797.2;
        QTest::newRow("on top 22")
            << sale << 1 << 0 << "on-top" << 22
            << QStringList {QStringLiteral("Итого=13200.00"), QStringLiteral("НДС 22 %=2904.00"),
                            QStringLiteral("Всего=16104.00")}
            << 16104.0;
        QTest::newRow("on top 22, 5 %")
            << sale << 1 << 500 << "on-top" << 22
            << QStringList {QStringLiteral("Итого=13200.00"), QStringLiteral("Скидка 5 %=-660.00"),
                            QStringLiteral("НДС 22 %=2758.80"), QStringLiteral("Всего=15298.80")}
            << 15298.8;
        QTest::newRow("included 22, 5 %")
            << sale << 1 << 500 << "included" << 22
            << QStringList {QStringLiteral("Итого=13200.00"), QStringLiteral("Скидка 5 %=-660.00"),
                            QStringLiteral("В том числе НДС 22 %=2261.31"),
                            QStringLiteral("Всего=12540.00")}
            << 12540.0;
        QTest::newRow("none, 5,25 %")
            << sale << 1 << 525 << "none" << 0
            << QStringList {QStringLiteral("Итого=13200.00"),
                            QStringLiteral("Скидка 5,25 %=-693.00"),
                            QStringLiteral("Без налога (НДС)=-"), QStringLiteral("Всего=12507.00")}
            << 12507.0;
        QTest::newRow("on top 22, 5,25 %")
            << sale << 1 << 525 << "on-top" << 22
            << QStringList {QStringLiteral("Итого=13200.00"),
                            QStringLiteral("Скидка 5,25 %=-693.00"),
                            QStringLiteral("НДС 22 %=2751.54"), QStringLiteral("Всего=15258.54")}
            << 15258.54;
        QTest::newRow("included 22, 5,25 %")
            << sale << 1 << 525 << "included" << 22
            << QStringList {QStringLiteral("Итого=13200.00"),
                            QStringLiteral("Скидка 5,25 %=-693.00"),
                            QStringLiteral("В том числе НДС 22 %=2255.36"),
                            QStringLiteral("Всего=12507.00")}
            << 12507.0;
        QTest::newRow("on top 20, 5,25 %, kopecks")
            << QStringList {QStringLiteral("2|617.28")} << 1 << 525 << QStringLiteral("on-top")
            << 20
            << QStringList {QStringLiteral("Итого=1234.56"), QStringLiteral("Скидка 5,25 %=-64.81"),
                            QStringLiteral("НДС 20 %=233.95"), QStringLiteral("Всего=1403.70")}
            << 1403.7;
        QTest::newRow("on top 18")
            << QStringList {QStringLiteral("1|1000")} << 1 << 0 << QStringLiteral("on-top") << 18
            << QStringList {QStringLiteral("Итого=1000.00"), QStringLiteral("НДС 18 %=180.00"),
                            QStringLiteral("Всего=1180.00")}
            << 1180.0;
        QTest::newRow("included 10")
            << QStringList {QStringLiteral("1|1000")} << 1 << 0 << QStringLiteral("included") << 10
            << QStringList {QStringLiteral("Итого=1000.00"),
                            QStringLiteral("В том числе НДС 10 %=90.91"),
                            QStringLiteral("Всего=1000.00")}
            << 1000.0;
        QTest::newRow("included 7")
            << QStringList {QStringLiteral("1|1000")} << 1 << 0 << QStringLiteral("included") << 7
            << QStringList {QStringLiteral("Итого=1000.00"),
                            QStringLiteral("В том числе НДС 7 %=65.42"),
                            QStringLiteral("Всего=1000.00")}
            << 1000.0;
        QTest::newRow("included 5")
            << QStringList {QStringLiteral("1|999.99")} << 1 << 0 << QStringLiteral("included") << 5
            << QStringList {QStringLiteral("Итого=999.99"),
                            QStringLiteral("В том числе НДС 5 %=47.62"),
                            QStringLiteral("Всего=999.99")}
            << 999.99;
        QTest::newRow("on top 0") << QStringList {QStringLiteral("1|0.1")} << 1 << 0
                                  << QStringLiteral("on-top") << 0
                                  << QStringList {QStringLiteral("Итого=0.10"),
                                                  QStringLiteral("НДС 0 %=0.00"),
                                                  QStringLiteral("Всего=0.10")}
                                  << 0.1;
        QTest::newRow("half a kopeck of sum rounds up")
            << QStringList {QStringLiteral("1|0.005")} << 1 << 0 << QStringLiteral("on-top") << 7
            << QStringList {QStringLiteral("Итого=0.01"), QStringLiteral("НДС 7 %=0.00"),
                            QStringLiteral("Всего=0.01")}
            << 0.01;
        QTest::newRow("half a kopeck of discount rounds up")
            << QStringList {QStringLiteral("1|10.1")} << 1 << 500 << QStringLiteral("none") << 0
            << QStringList {QStringLiteral("Итого=10.10"), QStringLiteral("Скидка 5 %=-0.51"),
                            QStringLiteral("Без налога (НДС)=-"), QStringLiteral("Всего=9.59")}
            << 9.59;
        QTest::newRow("a discount of half, rows add up as printed")
            << QStringList {QStringLiteral("1|0.3")} << 1 << 5000 << QStringLiteral("on-top") << 7
            << QStringList {QStringLiteral("Итого=0.30"), QStringLiteral("Скидка 50 %=-0.15"),
                            QStringLiteral("НДС 7 %=0.01"), QStringLiteral("Всего=0.16")}
            << 0.16;
        QTest::newRow("10 %, included 20")
            << QStringList {QStringLiteral("3|33.33"), QStringLiteral("1|0.01")} << 1 << 1000
            << QStringLiteral("included") << 20
            << QStringList {QStringLiteral("Итого=100.00"), QStringLiteral("Скидка 10 %=-10.00"),
                            QStringLiteral("В том числе НДС 20 %=15.00"),
                            QStringLiteral("Всего=90.00")}
            << 90.0;
        // A running sum of 1001 half kopecks is 5.00499999999992; the sheet's SUM gives 5.005.
        QTest::newRow("1001 lines of half a kopeck, the old rows")
            << QStringList {QStringLiteral("1|0.005")} << 1001 << 0 << QStringLiteral("") << 0
            << QStringList {QStringLiteral("Итого=5.01"), QStringLiteral("18%=0.90"),
                            QStringLiteral("Всего=5.91")}
            << 5.91;
        QTest::newRow("1001 lines of half a kopeck, included 22")
            << QStringList {QStringLiteral("1|0.005")} << 1001 << 0 << QStringLiteral("included")
            << 22
            << QStringList {QStringLiteral("Итого=5.01"),
                            QStringLiteral("В том числе НДС 22 %=0.90"),
                            QStringLiteral("Всего=5.01")}
            << 5.01;
        QTest::newRow("1001 lines of half a kopeck, 5 %, on top 22")
            << QStringList {QStringLiteral("1|0.005")} << 1001 << 500 << QStringLiteral("on-top")
            << 22
            << QStringList {QStringLiteral("Итого=5.01"), QStringLiteral("Скидка 5 %=-0.25"),
                            QStringLiteral("НДС 22 %=1.05"), QStringLiteral("Всего=5.81")}
            << 5.81;
        QTest::newRow("3000 lines of ten kopecks, 5 %, on top 22")
            << QStringList {QStringLiteral("1|0.1")} << 3000 << 500 << QStringLiteral("on-top")
            << 22
            << QStringList {QStringLiteral("Итого=300.00"), QStringLiteral("Скидка 5 %=-15.00"),
                            QStringLiteral("НДС 22 %=62.70"), QStringLiteral("Всего=347.70")}
            << 347.7;
        QTest::newRow("an empty order, 5 %, none")
            << QStringList {} << 1 << 500 << "none" << 0
            << QStringList {QStringLiteral("Итого=0.00"), QStringLiteral("Скидка 5 %=0.00"),
                            QStringLiteral("Без налога (НДС)=-"), QStringLiteral("Всего=0.00")}
            << 0.0;
    }
    void foot()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, times);
        QFETCH(int, discount);
        QFETCH(QString, mode);
        QFETCH(int, rate);
        QFETCH(QStringList, rows);
        QFETCH(double, total);
        TaxSettings tax;
        tax.given = !mode.isEmpty();
        if (tax.given)
            QVERIFY(taxModeFromWord(mode, &tax.rule.mode));
        tax.rule.rate = rate;
        const InvoiceFoot foot
            = invoiceFoot(linesOf(lines, times), FootTerms::on(tax, QDate(2026, 12, 9), discount));
        QCOMPARE(rowsOf(foot), rows);
        QCOMPARE(foot.total, total);
    }

    // The invoice's date decides: the change holds from its own day on.
    void datedChange_data()
    {
        QTest::addColumn<QDate>("changeFrom");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("taxCaption");
        QTest::newRow("the day before") << QDate(2027, 1, 1) << QDate(2026, 12, 31) << "НДС 20 %";
        QTest::newRow("the day itself")
            << QDate(2027, 1, 1) << QDate(2027, 1, 1) << "В том числе НДС 22 %";
        QTest::newRow("the day after")
            << QDate(2027, 1, 1) << QDate(2027, 1, 2) << "В том числе НДС 22 %";
        QTest::newRow("no change") << QDate() << QDate(2030, 1, 1) << "НДС 20 %";
    }
    void datedChange()
    {
        QFETCH(QDate, changeFrom);
        QFETCH(QDate, day);
        QFETCH(QString, taxCaption);
        TaxSettings tax;
        tax.given = true;
        tax.rule = {TaxMode::OnTop, 20};
        tax.changeFrom = changeFrom;
        tax.change = {TaxMode::Included, 22};
        const InvoiceFoot foot = invoiceFoot(1000.0, FootTerms::on(tax, day, 0));
        QCOMPARE(foot.rows.at(1).caption, taxCaption);
    }

    void percent_data()
    {
        QTest::addColumn<int>("hundredths");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("number");
        QTest::newRow("whole") << 500 << "5"
                               << "5";
        QTest::newRow("two decimals") << 525 << "5,25"
                                      << "5.25";
        QTest::newRow("one decimal") << 550 << "5,5"
                                     << "5.5";
        QTest::newRow("a hundredth") << 1 << "0,01"
                                     << "0.01";
        QTest::newRow("five hundredths") << 5 << "0,05"
                                         << "0.05";
        QTest::newRow("the most") << 5000 << "50"
                                  << "50";
    }
    void percent()
    {
        QFETCH(int, hundredths);
        QFETCH(QString, text);
        QFETCH(QString, number);
        QCOMPARE(percentText(hundredths), text);
        QCOMPARE(percentNumber(hundredths), number);
    }

    void modeWords_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("known");
        QTest::addColumn<int>("mode");
        QTest::newRow("on top") << "on-top" << true << int(TaxMode::OnTop);
        QTest::newRow("included, any case") << " Included" << true << int(TaxMode::Included);
        QTest::newRow("none") << "none" << true << int(TaxMode::None);
        QTest::newRow("a Russian word") << "сверху" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
    }
    void modeWords()
    {
        QFETCH(QString, word);
        QFETCH(bool, known);
        QFETCH(int, mode);
        TaxMode read = TaxMode::OnTop;
        QCOMPARE(taxModeFromWord(word, &read), known);
        QCOMPARE(int(read), mode);
    }

    // The sheet's foot: the same rows, live formulas for the discount and the tax.
    void sheetFoot_data()
    {
        QTest::addColumn<int>("discount");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("rate");
        QTest::addColumn<QStringList>("cells"); // E and F of each foot row, from row 19
        QTest::addColumn<int>("signatureRow");
        QTest::newRow("as before")
            << 0 << "" << 0
            << QStringList {QStringLiteral("Итого"), QStringLiteral("=SUM(F17:F18)"),
                            QStringLiteral("18%"),   QStringLiteral("=F19*0.18"),
                            QStringLiteral("Всего"), QStringLiteral("=F19+F20")}
            << 24;
        QTest::newRow("no tax set, 5 %")
            << 500 << "" << 0 << QStringList {QStringLiteral("Итого"),
                                              QStringLiteral("=ROUND(SUM(F17:F18);2)"),
                                              QStringLiteral("Скидка 5 %"),
                                              QStringLiteral("=-ROUND(F19*5/100;2)"),
                                              QStringLiteral("18%"),
                                              QStringLiteral("=ROUND((F19+F20)*18/100;2)"),
                                              QStringLiteral("Всего"),
                                              QStringLiteral("=F19+F20+F21")}
            << 25;
        QTest::newRow("on top 22")
            << 0 << "on-top" << 22
            << QStringList {QStringLiteral("Итого"),    QStringLiteral("=ROUND(SUM(F17:F18);2)"),
                            QStringLiteral("НДС 22 %"), QStringLiteral("=ROUND(F19*22/100;2)"),
                            QStringLiteral("Всего"),    QStringLiteral("=F19+F20")}
            << 24;
        QTest::newRow("included 22, 5,25 %")
            << 525 << "included" << 22
            << QStringList {QStringLiteral("Итого"),
                            QStringLiteral("=ROUND(SUM(F17:F18);2)"),
                            QStringLiteral("Скидка 5,25 %"),
                            QStringLiteral("=-ROUND(F19*5.25/100;2)"),
                            QStringLiteral("В том числе НДС 22 %"),
                            QStringLiteral("=ROUND((F19+F20)*22/122;2)"),
                            QStringLiteral("Всего"),
                            QStringLiteral("=F19+F20")}
            << 25;
        QTest::newRow("none") << 0 << "none" << 0
                              << QStringList {QStringLiteral("Итого"),
                                              QStringLiteral("=ROUND(SUM(F17:F18);2)"),
                                              QStringLiteral("Без налога (НДС)"),
                                              QStringLiteral("-"),
                                              QStringLiteral("Всего"),
                                              QStringLiteral("=F19")}
                              << 24;
    }
    void sheetFoot()
    {
        QFETCH(int, discount);
        QFETCH(QString, mode);
        QFETCH(int, rate);
        QFETCH(QStringList, cells);
        QFETCH(int, signatureRow);
        TaxSettings tax;
        tax.given = !mode.isEmpty();
        if (tax.given)
            QVERIFY(taxModeFromWord(mode, &tax.rule.mode));
        tax.rule.rate = rate;
        const QVector<InvoiceBlock> blocks
            = invoiceFor(linesOf({QStringLiteral("1|100"), QStringLiteral("2|50")}),
                         InvoiceSigners(), FootTerms::on(tax, QDate(2026, 12, 9), discount));
        QStringList written;
        for (int row = 19; row < 19 + cells.size() / 2; ++row)
            for (int column : {invoice::ColumnE, invoice::ColumnF}) {
                const InvoiceCell *cell = invoiceCellAt(blocks, row, column);
                written << (cell ? cell->text : QStringLiteral("(none)"));
            }
        QCOMPARE(written, cells);
        QVERIFY2(invoiceCellAt(blocks, 19 + cells.size() / 2, invoice::ColumnF) == nullptr,
                 "the foot has a row too many");
        const InvoiceCell *signature = invoiceCellAt(blocks, signatureRow, invoice::ColumnB);
        QVERIFY2(signature && signature->text.startsWith(QStringLiteral("Руководитель")),
                 qPrintable(QStringLiteral("no signature in B%1").arg(signatureRow)));
    }

    void payer_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("fullName");
        QTest::addColumn<QString>("inn");
        QTest::addColumn<QString>("kpp");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("text");
        QTest::newRow("organisation")
            << int(Customer::Organisation) << "ООО «Ромашка»"
            << "7707083893"
            << "770701001"
            << "123456, г. Москва, ул. Ленина, д. 1"
            << "ООО «Ромашка», ИНН 7707083893, КПП 770701001, 123456, г. Москва, ул. Ленина, д. 1";
        QTest::newRow("sole trader without an address")
            << int(Customer::SoleTrader) << "ИП Иванов Иван Иванович"
            << "500100732259"
            << ""
            << ""
            << "ИП Иванов Иван Иванович, ИНН 500100732259";
        QTest::newRow("a person") << int(Customer::Person) << "Петров Пётр"
                                  << ""
                                  << ""
                                  << "г. Энск"
                                  << "Петров Пётр, г. Энск";
        QTest::newRow("nobody") << int(Customer::Organisation) << ""
                                << ""
                                << ""
                                << ""
                                << "";
    }
    void payer()
    {
        QFETCH(int, kind);
        QFETCH(QString, fullName);
        QFETCH(QString, inn);
        QFETCH(QString, kpp);
        QFETCH(QString, address);
        QFETCH(QString, text);
        Customer customer;
        customer.kind = Customer::Kind(kind);
        customer.fullName = fullName;
        customer.inn = inn;
        customer.kpp = kpp;
        customer.address = address;
        QCOMPARE(payerText(customer), text);
    }
};

QTEST_GUILESS_MAIN(InvoiceFootTest)
#include "test_invoice_foot.moc"
