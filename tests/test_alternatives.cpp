// The alternatives table: the page's job on every pairing of paper type and density (material and
// quality on the street page) that the price list prices, cheapest first, the page's own pairing
// marked; Enter or a double click takes a pairing over to the page.
#include "tests/page_driver.h"

#include "app/order_cells.h"
#include "dialogs/alternatives_dialog.h"
#include "order/money.h"

class AlternativesTest : public QObject, private PageDriver
{
    Q_OBJECT

    using Table = AlternativesDialog;

    static QList<QRadioButton *> options(const QGroupBox *group)
    {
        return group->findChildren<QRadioButton *>(QString(), Qt::FindDirectChildrenOnly);
    }
    // A pairing by its options' object names, as the page holds it and as a row names it.
    static QString checked(const QGroupBox *first, const QGroupBox *second)
    {
        QStringList names;
        for (const QGroupBox *group : {first, second})
            for (const QRadioButton *option : options(group))
                if (option->isChecked())
                    names << option->objectName();
        return names.join(QLatin1Char('|'));
    }
    static QString pairing(const QTableWidget *table, int row)
    {
        return table->item(row, Table::First)->data(Qt::UserRole).toString() + QLatin1Char('|')
            + table->item(row, Table::Second)->data(Qt::UserRole).toString();
    }
    static double amount(const QString &money)
    {
        double value = -1;
        readAmount(QString(money).remove(QStringLiteral("₽")), &value);
        return value;
    }

    Table *openTable(const QString &button, bool byKey)
    {
        QApplication::setActiveWindow(window); // a closed table hands the activation back
        if (byKey)
            QTest::keyClick(window, Qt::Key_F3);
        else
            click(button);
        Table *table = window->findChild<Table *>();
        if (table && QTest::qWaitForWindowExposed(table))
            QApplication::setActiveWindow(table);
        return table;
    }

private slots:
    void init()
    {
        QVERIFY(openWindow());
        window->activateWindow();
        QApplication::setActiveWindow(window);
        QTRY_COMPARE(QApplication::activeWindow(), window);
    }
    void cleanup() { closeWindow(); }

    void pairingsPricedAndApplied_data()
    {
        QTest::addColumn<QString>("page"); // page, compare button, the two groups, live price
        QTest::addColumn<bool>("byKey");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QString>("answer");
        QTest::newRow("sheet products, A4 4+4, 100 pieces")
            << QStringLiteral("page pushButtonCompare_1_1 groupBoxListType groupBoxListDensity "
                              "labelLivePrice_1_1")
            << false
            << QStringList {QStringLiteral("radioButton_3"), QStringLiteral("radioButton_28"),
                            QStringLiteral("lineEdit=100")}
            << QStringLiteral("pushButton");
        QTest::newRow("sheet products, 700 pieces with a tier line, by F3")
            << QStringLiteral("page pushButtonCompare_1_1 groupBoxListType groupBoxListDensity "
                              "labelLivePrice_1_1")
            << true << QStringList {QStringLiteral("lineEdit=700")} << QStringLiteral("pushButton");
        QTest::newRow("brochures, four inner sheets")
            << QStringLiteral(
                   "page_2 pushButtonCompare_1_2 groupBoxBroshInnerType groupBoxBroshInnerDensity "
                   "labelLivePrice_1_2")
            << false
            << QStringList {QStringLiteral("lineEdit_21=4"), QStringLiteral("lineEdit_10=20")}
            << QStringLiteral("pushButton_2");
        QTest::newRow("street, film 360 dpi 1000 x 1000")
            << QStringLiteral("page_3 pushButtonCompare_2_1 groupBoxListStreetMaterial "
                              "groupBoxListStreetColor "
                              "labelLivePrice_2_1")
            << false
            << QStringList {QStringLiteral("radioButton_11"), QStringLiteral("radioButton_112"),
                            QStringLiteral("lineEditWidthStreet=1000"),
                            QStringLiteral("lineEditHeightStreet=1000")}
            << QStringLiteral("pushButton_12");
        QTest::newRow("interior, A1 1+0 matte 120, by F3")
            << QStringLiteral(
                   "page_4 pushButtonCompare_2_2 groupBoxIntererType groupBoxIntererDensity "
                   "labelLivePrice_2_2")
            << true
            << QStringList {QStringLiteral("radioButton_16"), QStringLiteral("radioButton_41"),
                            QStringLiteral("radioButton_46")}
            << QStringLiteral("pushButton_9");
    }
    void pairingsPricedAndApplied()
    {
        QFETCH(QString, page);
        QFETCH(bool, byKey);
        QFETCH(QStringList, actions);
        QFETCH(QString, answer);
        const QStringList names = page.split(QLatin1Char(' '));
        showPage(names.at(0));
        for (const QString &action : actions)
            action.contains(QLatin1Char('='))
                ? type(action.section(QLatin1Char('='), 0, 0), action.section(QLatin1Char('='), 1))
                : click(action);
        auto *first = find<QGroupBox>(names.at(2));
        auto *second = find<QGroupBox>(names.at(3));
        const QString current = checked(first, second);

        Table *dialog = openTable(names.at(1), byKey);
        QVERIFY2(dialog, "no alternatives table opened");
        struct Row
        {
            QString pairing, mark, unitPrice;
            bool warm;
        };
        QVector<Row> shown;
        for (int row = 0; row < dialog->table()->rowCount(); ++row) {
            const auto cell = [&](int column) { return dialog->table()->item(row, column); };
            shown.append({pairing(dialog->table(), row), cell(Table::Mark)->text(),
                          cell(Table::UnitPrice)->text(),
                          cell(Table::Sum)->background().color() == MissingPriceColour});
        }
        QTest::keyClick(dialog->table(), Qt::Key_Escape);
        QTRY_VERIFY(!window->findChild<Table *>());

        // The page's own live price of every pairing, each checked in turn.
        const auto *live = find<QLabel>(names.at(4));
        QHash<QString, QString> prices;
        for (QRadioButton *a : options(first)) {
            a->setChecked(true);
            for (QRadioButton *b : options(second)) {
                b->setChecked(true);
                prices.insert(checked(first, second), live->text());
            }
        }
        // Each row: the page's unit price, a warm mark where the page warns, offered only where
        // the first line has a price, cheapest first, the page's own pairing marked once.
        QStringList offered, marked;
        double previous = 0;
        for (const Row &row : qAsConst(shown)) {
            const QString firstLine = prices.value(row.pairing).section(QLatin1Char('\n'), 0, 0);
            if (!row.mark.isEmpty())
                marked << row.pairing;
            else if (firstLine.startsWith(QStringLiteral("Нет цены")))
                QFAIL(qPrintable(row.pairing + QStringLiteral(" is offered without a price")));
            offered << row.pairing;
            QCOMPARE(row.warm, prices.value(row.pairing).contains(QStringLiteral("Нет цены")));
            if (!row.warm)
                QCOMPARE(row.unitPrice, firstLine.section(QStringLiteral(" × "), 0, 0));
            QVERIFY2(amount(row.unitPrice) >= previous,
                     qPrintable(QStringLiteral("unsorted at ") + row.pairing));
            previous = amount(row.unitPrice);
        }
        QCOMPARE(marked, QStringList {current});
        for (const QString &option : current.split(QLatin1Char('|')))
            find<QRadioButton>(option)->setChecked(true);
        for (auto price = prices.cbegin(); price != prices.cend(); ++price)
            QVERIFY2(price.value().startsWith(QStringLiteral("Нет цены"))
                         || offered.contains(price.key()),
                     qPrintable(price.key() + QStringLiteral(" is priced but not offered")));

        // Enter on the cheapest row: the page takes its pairing and the press prices it so.
        dialog = openTable(names.at(1), byKey);
        QVERIFY(dialog);
        QCOMPARE(pairing(dialog->table(), dialog->table()->currentRow()), current);
        dialog->table()->setCurrentCell(0, Table::First);
        QTest::keyClick(dialog->table(), Qt::Key_Return);
        QTRY_VERIFY2(!window->findChild<Table *>(), "Enter leaves the table open");
        QCOMPARE(checked(first, second), shown.first().pairing);
        click(answer);
        QVERIFY(rows() > 0);
        QCOMPARE(moneyText(amount(orderLine(0).price)), shown.first().unitPrice);

        // A double click as the mouse makes it, a click and a second press, on the dearest row.
        dialog = openTable(names.at(1), byKey);
        QVERIFY(dialog);
        QTableWidgetItem *dearest = dialog->table()->item(shown.size() - 1, Table::Second);
        dialog->table()->scrollToItem(dearest);
        const QPoint centre = dialog->table()->visualItemRect(dearest).center();
        QTest::mouseClick(dialog->table()->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(dialog->table()->viewport(), Qt::LeftButton, {}, centre);
        QTRY_VERIFY2(!window->findChild<Table *>(), "a double click leaves the table open");
        QCOMPARE(checked(first, second), shown.last().pairing);
    }

    // The souvenir page has no alternatives: F3 opens nothing there.
    void noTableElsewhere()
    {
        showPage(QStringLiteral("page_5"));
        QTest::keyClick(window, Qt::Key_F3);
        QTest::qWait(20);
        QVERIFY(!window->findChild<Table *>());
    }
};

QTEST_MAIN(AlternativesTest)
#include "test_alternatives.moc"
