// The order without a window: sums from the lines' numbers, cells typed over, removals and
// "Очистка" brought back, each as a table of cases.
#include "order/order.h"
#include "pricing/number_text.h"

#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

namespace {

// A line as a quote makes it: the price's text and its figure.
OrderLine quoted(const QString &description, double quantity, double unitPrice)
{
    OrderLine line;
    line.description = description;
    line.quantity = QString::number(quantity);
    line.unitPrice = priceText(unitPrice);
    line.setNumbers(quantity, linePrice(unitPrice));
    return line;
}

OrderLine typed(const QString &description)
{
    OrderLine line;
    line.description = description;
    line.quantity = QStringLiteral("1");
    line.unitPrice = QStringLiteral("10");
    return line;
}

QString descriptions(const Order &order)
{
    QStringList all;
    for (const OrderLine &line : order.lines())
        all << line.description;
    return all.join(QLatin1Char(' '));
}

// A script of steps: "+X" appends X, "^N:X" puts X in at row N, "-N" removes row N, "-N,M"
// removes rows N and M as one step, "c" clears, "u" undoes.
void run(Order &order, const QString &script)
{
    for (const QString &step : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString rest = step.mid(1);
        switch (step.at(0).unicode()) {
        case '+':
            order.append(typed(rest));
            break;
        case '^':
            order.insert(rest.section(QLatin1Char(':'), 0, 0).toInt(),
                         typed(rest.section(QLatin1Char(':'), 1)));
            break;
        case '-': {
            QVector<int> rows;
            for (const QString &row : rest.split(QLatin1Char(',')))
                rows << row.toInt();
            if (rows.size() == 1)
                order.remove(rows.first());
            else
                order.removeRows(rows);
            break;
        }
        case 'c':
            order.clear();
            break;
        case 'u':
            order.undo();
            break;
        }
    }
}

} // namespace

class OrderTest : public QObject
{
    Q_OBJECT

private slots:
    void sumsComeFromTheNumbers_data()
    {
        QTest::addColumn<double>("quantity");
        QTest::addColumn<double>("unitPrice");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<double>("subtotal");
        QTest::newRow("built-in price, exact text") << 100.0 << 132.0 << "132" << 13200.0;
        QTest::newRow("7 digits") << 100.0 << 12345.67 << "12345.67" << 1234567.0;
        QTest::newRow("9 digits") << 3.0 << 1234567.89 << "1234567.89" << 3703703.67;
        QTest::newRow("computed, to kopecks") << 2.0 << 136900.23273 << "136900.23" << 273800.46;
        QTest::newRow("kopecks") << 7.0 << 0.03 << "0.03" << 0.21;
    }
    void sumsComeFromTheNumbers()
    {
        QFETCH(double, quantity);
        QFETCH(double, unitPrice);
        QFETCH(QString, shown);
        QFETCH(double, subtotal);
        Order order;
        order.append(quoted(QStringLiteral("строка"), quantity, unitPrice));
        QCOMPARE(order.line(0).unitPrice, shown);
        QCOMPARE(calcRounded(order.totals().subtotal), subtotal);
        QCOMPARE(calcRounded(order.totals().tax), calcRounded(subtotal * 0.18));
    }

    void typedCellKeepsItsTextAndCountsItsReading_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("subtotal");
        QTest::addColumn<bool>("countable");
        QTest::newRow("quantity with a comma")
            << int(OrderLine::Quantity) << "0,5" << 6172.835 << true;
        QTest::newRow("quantity with a group blank")
            << int(OrderLine::Quantity) << "1 000" << 12345670.0 << true;
        QTest::newRow("price typed over") << int(OrderLine::UnitPrice) << "99.5" << 9950.0 << true;
        QTest::newRow("price that is no number")
            << int(OrderLine::UnitPrice) << "abc" << 0.0 << false;
        QTest::newRow("description only")
            << int(OrderLine::Description) << "другое" << 1234567.0 << true;
    }
    void typedCellKeepsItsTextAndCountsItsReading()
    {
        QFETCH(int, column);
        QFETCH(QString, text);
        QFETCH(double, subtotal);
        QFETCH(bool, countable);
        Order order;
        order.append(quoted(QStringLiteral("строка"), 100, 12345.67));
        QSignalSpy changed(&order, &Order::lineChanged);
        order.setText(0, OrderLine::Column(column), text);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(order.line(0).text(OrderLine::Column(column)), text);
        double sum = -1;
        QCOMPARE(order.line(0).sum(&sum), countable);
        QCOMPARE(order.totals().subtotal, subtotal);
    }

    // A price the list gave, typed over, keeps the list's beside it; a line typed by hand (no
    // job) has no list price to keep.
    void typedOverPriceKeepsTheList_data()
    {
        QTest::addColumn<bool>("priced");
        QTest::addColumn<QString>("explanation");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("listPrice");
        const auto t = [](const char *text) { return QString::fromUtf8(text); };
        QTest::newRow("typed below") << true << QString() << QStringList {t("120")}
                                     << t("цена изменена вручную: было 132") << t("132");
        QTest::newRow("after the quote's own words")
            << true << t("1000 шт. × 0.132") << QStringList {t("150")}
            << t("1000 шт. × 0.132\nцена изменена вручную: было 132") << t("132");
        QTest::newRow("typed twice, the list's stays")
            << true << QString() << QStringList {t("120"), t("100")}
            << t("цена изменена вручную: было 132") << t("132");
        QTest::newRow("a line typed by hand")
            << false << QString() << QStringList {t("120")} << QString() << QString();
    }
    void typedOverPriceKeepsTheList()
    {
        QFETCH(bool, priced);
        QFETCH(QString, explanation);
        QFETCH(QStringList, typed);
        QFETCH(QString, kept);
        QFETCH(QString, listPrice);
        Order order;
        OrderLine line = quoted(QStringLiteral("Визитки"), 1, 132);
        if (priced)
            line.job = QJsonObject {{QStringLiteral("page"), QStringLiteral("1.1")}};
        line.explanation = explanation;
        order.append(line);
        for (const QString &price : typed)
            order.setText(0, OrderLine::UnitPrice, price);
        QCOMPARE(order.line(0).unitPrice, typed.last());
        QCOMPARE(order.line(0).explanation, kept);
        QCOMPARE(listPriceOf(order.line(0)), listPrice);
    }

    void storedLinesAreReadFromTheirTexts()
    {
        // A line that comes with texts alone (storage, another program) is counted as it reads.
        Order order;
        OrderLine line = typed(QStringLiteral("из файла"));
        line.quantity = QStringLiteral("2,5");
        line.unitPrice = QStringLiteral("1 200");
        order.append(line);
        QCOMPARE(order.totals().subtotal, 3000.0);
        QVERIFY(order.line(0).hasNumbers);
    }

    void textChangedWithoutItsNumberIsReadAgain_data()
    {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("price");
        QTest::addColumn<double>("subtotal");
        QTest::newRow("texts as quoted") << "100"
                                         << "12345.67" << 1234567.0;
        QTest::newRow("price text replaced") << "100"
                                             << "1" << 100.0;
        QTest::newRow("quantity text replaced") << "2"
                                                << "12345.67" << 24691.34;
        QTest::newRow("price text no number") << "100"
                                              << "—" << 0.0;
    }
    void textChangedWithoutItsNumberIsReadAgain()
    {
        QFETCH(QString, quantity);
        QFETCH(QString, price);
        QFETCH(double, subtotal);
        OrderLine line = quoted(QStringLiteral("строка"), 100, 12345.67);
        line.quantity = quantity;
        line.unitPrice = price;
        Order order;
        order.append(line);
        QCOMPARE(order.totals().subtotal, subtotal);
    }

    void removalsComeBack_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("lines");
        QTest::addColumn<int>("steps");
        QTest::newRow("nothing to undo") << "+A u"
                                         << "A" << 0;
        QTest::newRow("a removal") << "+A +B +C -1"
                                   << "A C" << 1;
        QTest::newRow("a removal undone, in place") << "+A +B +C -1 u"
                                                    << "A B C" << 0;
        QTest::newRow("two removals, latest first") << "+A +B +C -0 -1 u"
                                                    << "B C" << 1;
        QTest::newRow("both undone") << "+A +B +C -0 -1 u u"
                                     << "A B C" << 0;
        QTest::newRow("selected rows as one step") << "+A +B +C +D -3,1 u"
                                                   << "A B C D" << 0;
        QTest::newRow("Очистка") << "+A +B c"
                                 << "" << 1;
        QTest::newRow("Очистка undone after new lines") << "+A +B c +X u"
                                                        << "A B X" << 0;
        QTest::newRow("row gone since: put at the end") << "+A +B +C -2 -1 -0 u u"
                                                        << "A B" << 1;
        QTest::newRow("insert in the middle") << "+A +C ^1:B"
                                              << "A B C" << 0;
        QTest::newRow("insert past the end is an append") << "+A ^9:B"
                                                          << "A B" << 0;
        QTest::newRow("removal past the end is nothing") << "+A -5"
                                                         << "A" << 0;
    }
    void removalsComeBack()
    {
        QFETCH(QString, script);
        QFETCH(QString, lines);
        QFETCH(int, steps);
        Order order;
        run(order, script);
        QCOMPARE(descriptions(order), lines);
        QCOMPARE(order.undoSteps(), steps);
    }

    void undoKeepsAHundredSteps()
    {
        Order order;
        for (int i = 0; i < 150; ++i) {
            order.append(typed(QString::number(i)));
            order.remove(0);
        }
        QCOMPARE(order.undoSteps(), Order::MaxUndoSteps);
        while (order.undo() >= 0) { }
        QCOMPARE(order.size(), 100);
        QCOMPARE(order.line(0).description, QStringLiteral("50"));
    }

    void changesAreSignalledOnce_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("inserted");
        QTest::addColumn<int>("removed");
        QTest::addColumn<int>("cleared");
        QTest::newRow("appends") << "+A +B" << 2 << 0 << 0;
        QTest::newRow("two rows removed") << "+A +B +C -0,2" << 3 << 2 << 0;
        QTest::newRow("clear sends no removals") << "+A +B c" << 2 << 0 << 1;
        QTest::newRow("clear of nothing") << "c" << 0 << 0 << 0;
        QTest::newRow("undo of a clear is one insert") << "+A +B c u" << 3 << 0 << 1;
    }
    void changesAreSignalledOnce()
    {
        QFETCH(QString, script);
        QFETCH(int, inserted);
        QFETCH(int, removed);
        QFETCH(int, cleared);
        Order order;
        QSignalSpy insertedSpy(&order, &Order::linesInserted);
        QSignalSpy removedSpy(&order, &Order::linesRemoved);
        QSignalSpy clearedSpy(&order, &Order::cleared);
        run(order, script);
        QCOMPARE(insertedSpy.count(), inserted);
        QCOMPARE(removedSpy.count(), removed);
        QCOMPARE(clearedSpy.count(), cleared);
    }
};

QTEST_GUILESS_MAIN(OrderTest)
#include "test_order.moc"
