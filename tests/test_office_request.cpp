// The export's checks before anything opens: paths as typed and amounts as an operator types them.
#include "office/export_request.h"
#include "order/order.h"
#include "tests/exact_prices.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class OfficeRequestTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_template;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_template = m_dir.filePath(QStringLiteral("счёт 1.xlsx"));
        QFile file(m_template);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    void pathsAsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("path"); // "~" stands for the home folder
        QTest::newRow("plain") << "/srv/шаблоны/счёт.xlsx"
                               << "/srv/шаблоны/счёт.xlsx";
        QTest::newRow("blanks around") << " \t/srv/счёт.xlsx  "
                                       << "/srv/счёт.xlsx";
        QTest::newRow("home") << "~/Шаблоны/счёт.xlsx"
                              << "~/Шаблоны/счёт.xlsx";
        QTest::newRow("home with blanks") << "  ~/счёт.xlsx "
                                          << "~/счёт.xlsx";
        QTest::newRow("tilde inside stays") << "/srv/~/счёт.xlsx"
                                            << "/srv/~/счёт.xlsx";
        QTest::newRow("file URL, encoded") << "file:///srv/%D1%81%D1%87%D1%91%D1%82%201.xlsx"
                                           << "/srv/счёт 1.xlsx";
        QTest::newRow("file URL, typed") << " file:///srv/счёт 1.xlsx "
                                         << "/srv/счёт 1.xlsx";
        QTest::newRow("empty") << "   "
                               << "";
    }
    void pathsAsTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QString, path);
        if (path.startsWith(QLatin1Char('~')))
            path = QDir::homePath() + path.mid(1);
        QCOMPARE(templatePathFromTyped(typed), path);
    }

    void amounts_data()
    {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("price");
        QTest::addColumn<double>("lineSum"); // F17 as written; NaN where the export must stop
        QTest::addColumn<QString>("message");
        const double refused = qQNaN();
        QTest::newRow("comma decimal") << "0,5"
                                       << "120" << 60.0 << "";
        QTest::newRow("point decimal") << "0.5"
                                       << "120" << 60.0 << "";
        QTest::newRow("digit groups") << "1 000"
                                      << "2,5" << 2500.0 << "";
        QTest::newRow("no-break groups") << "1\u00a0000"
                                         << "1\u202f200,5" << 1200500.0 << "";
        QTest::newRow("exponent") << "2"
                                  << "5.40001e+07" << 108000200.0 << "";
        QTest::newRow("unit after number")
            << "5 шт"
            << "10" << refused << "Строка 1: количество «5 шт» не число";
        QTest::newRow("formula as price") << "5"
                                          << "=2*3" << refused << "Строка 1: цена «=2*3» не число";
        QTest::newRow("empty quantity") << ""
                                        << "10" << refused << "Строка 1: количество «» не число";
        QTest::newRow("infinite sum")
            << "1e308"
            << "10" << refused << "Строка 1: сумма (количество «1e308» × цена «10»)";
        QTest::newRow("overflowing number")
            << "1e309"
            << "1" << refused << "Строка 1: количество «1e309» не число";
    }
    void amounts()
    {
        QFETCH(QString, quantity);
        QFETCH(QString, price);
        QFETCH(double, lineSum);
        QFETCH(QString, message);
        ExportRequest request;
        request.typedPath = m_template;
        request.lines = {{QStringLiteral("Визитки"), QStringLiteral("1"), QStringLiteral("1")},
                         {QStringLiteral("Листовки"), quantity, price}};
        // The line under test is the second: the message must name that line.
        message.replace(QStringLiteral("Строка 1"), QStringLiteral("Строка 2"));
        PreparedExport prepared;
        QString told;
        const bool ready = prepareExport(request, &prepared, &told);
        if (qIsNaN(lineSum)) {
            QVERIFY2(!ready, "the export went on with an amount the sheet cannot sum");
            QVERIFY2(told.startsWith(message), qPrintable(told));
            return;
        }
        QVERIFY2(ready, qPrintable(told));
        const InvoiceCell *sum = invoiceCellAt(prepared.blocks, 18, invoice::ColumnF);
        const InvoiceCell *count = invoiceCellAt(prepared.blocks, 18, invoice::ColumnF - 2);
        QVERIFY(sum && count);
        QCOMPARE(count->kind, InvoiceCell::Number);
        QCOMPARE(sum->kind, InvoiceCell::Number);
        QCOMPARE(sum->number, lineSum);
        QCOMPARE(prepared.lastRow, 26 + 2); // "М.П." two rows below the signatures
    }

    // The operator chose to go on with a price that is no number: it goes into the sheet as the
    // table shows it, its line sums to 0; a quantity that is no number still stops the export.
    void textPricesAccepted_data()
    {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("message");
        QTest::newRow("a word") << "2"
                                << "abc"
                                << "";
        QTest::newRow("a formula kept as text") << "5"
                                                << "=2*3"
                                                << "";
        QTest::newRow("a unit in the quantity") << "5 шт"
                                                << "abc"
                                                << "Строка 2: количество «5 шт» не число";
    }
    void textPricesAccepted()
    {
        QFETCH(QString, quantity);
        QFETCH(QString, price);
        QFETCH(QString, message);
        ExportRequest request;
        request.typedPath = m_template;
        request.textPricesAccepted = true;
        request.lines = {{QStringLiteral("Визитки"), QStringLiteral("1"), QStringLiteral("1")},
                         {QStringLiteral("Листовки"), quantity, price}};
        PreparedExport prepared;
        QString told;
        const bool ready = prepareExport(request, &prepared, &told);
        QVERIFY2(ready == message.isEmpty() && (ready || told.startsWith(message)),
                 qPrintable(told));
        if (!ready)
            return;
        const InvoiceCell *unit = invoiceCellAt(prepared.blocks, 18, invoice::ColumnE);
        const InvoiceCell *sum = invoiceCellAt(prepared.blocks, 18, invoice::ColumnF);
        QVERIFY(unit && sum);
        QCOMPARE(unit->kind, InvoiceCell::Text);
        QCOMPARE(unit->text, price);
        QCOMPARE(sum->number, 0.0);
    }

    // Lines priced from prices of seven to nine digits: the price and sum cells the sheet gets
    // are the figures the order sums.
    void cellsToTheKopeck_data()
    {
        QTest::addColumn<QString>("job");
        QTest::addColumn<double>("price");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<double>("priceCell");
        QTest::addColumn<double>("sumCell");
        QTest::newRow("7 digits") << "sheet" << 12345.67 << "3" << 12345.67 << 37037.01;
        QTest::newRow("9 digits") << "sheet" << 1234567.89 << "3" << 1234567.89 << 3703703.67;
        QTest::newRow("9 digits at the limit")
            << "sheet" << 9999999.99 << "1" << 9999999.99 << 9999999.99;
        QTest::newRow("exact in six digits")
            << "sheet" << 1620000.0 << "2" << 1620000.0 << 3240000.0;
        QTest::newRow("computed, rounded to kopecks")
            << "street" << 1234.57 << "2" << 136900.23 << 273800.46;
        QTest::newRow("computed, half a kopeck up")
            << "street" << 45.0 << "1" << 4990.01 << 4990.01;
    }
    void cellsToTheKopeck()
    {
        QFETCH(QString, job);
        QFETCH(double, price);
        QFETCH(QString, quantity);
        QFETCH(double, priceCell);
        QFETCH(double, sumCell);
        Order order;
        order.append(exact::quote(job, price, quantity).orderLine());
        ExportRequest request;
        request.typedPath = m_template;
        request.lines = order.lines();
        PreparedExport prepared;
        QString told;
        QVERIFY2(prepareExport(request, &prepared, &told), qPrintable(told));
        const InvoiceCell *unit = invoiceCellAt(prepared.blocks, 17, invoice::ColumnE);
        const InvoiceCell *sum = invoiceCellAt(prepared.blocks, 17, invoice::ColumnF);
        QVERIFY(unit && sum);
        QCOMPARE(unit->kind, InvoiceCell::Number);
        QVERIFY2(unit->number == priceCell, qPrintable(QString::number(unit->number, 'g', 17)));
        QCOMPARE(sum->number, sumCell);
        QCOMPARE(calcRounded(sum->number), calcRounded(order.totals().subtotal));
    }

    void templateChecks_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("found, typed with blanks") << "  TEMPLATE "
                                                  << "";
        QTest::newRow("found as a file URL") << "URL"
                                             << "";
        QTest::newRow("missing") << "/nonexistent/счёт.xlsx"
                                 << "не найден";
        QTest::newRow("folder") << "DIR"
                                << "это папка";
        QTest::newRow("empty") << ""
                               << "не указан";
    }
    void templateChecks()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        typed.replace(QStringLiteral("TEMPLATE"), m_template)
            .replace(QStringLiteral("DIR"), m_dir.path());
        typed.replace(QStringLiteral("URL"), QUrl::fromLocalFile(m_template).toString());
        ExportRequest request;
        request.typedPath = typed;
        PreparedExport prepared;
        QString told;
        QCOMPARE(prepareExport(request, &prepared, &told), message.isEmpty());
        if (message.isEmpty())
            QCOMPARE(prepared.path, m_template);
        else
            QVERIFY2(told.contains(message), qPrintable(told));
    }

    // The shop's lines reach the template's named cells all together or not at all: none while
    // the settings describe no shop, every name (an empty line clearing its cell) once they do.
    void shopLinesByName()
    {
        ShopLines shop;
        QVERIFY(shop.namedTexts().isEmpty());
        shop.name = QStringLiteral("ООО «Ясный лист»");
        const QVector<QPair<QString, QString>> cells = shop.namedTexts();
        QCOMPARE(cells.size(), 5);
        QCOMPARE(cells.at(0), qMakePair(QStringLiteral("ShopName"), shop.name));
        for (int i = 1; i < 5; ++i) {
            QCOMPARE(cells.at(i).first, invoice::shopCellNames().at(i));
            QVERIFY(cells.at(i).second.isEmpty());
        }
        ExportRequest request;
        request.typedPath = QFINDTESTDATA("../templates/invoice.xlsx");
        request.lines = {{QStringLiteral("Визитки"), QStringLiteral("100"), QStringLiteral("5")}};
        request.shop = shop;
        PreparedExport prepared;
        QString message;
        QVERIFY2(prepareExport(request, &prepared, &message), qPrintable(message));
        QCOMPARE(prepared.shop.namedTexts(), cells);
    }
};

QTEST_GUILESS_MAIN(OfficeRequestTest)
#include "test_office_request.moc"
