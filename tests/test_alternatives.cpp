// The alternatives table: the page's job on every pairing of paper type and density (material and
// quality on the street page) that the price list prices, cheapest first, the page's own pairing
// marked; Enter or a double click takes a pairing over to the page.
#include "tests/page_driver.h"

#include "calculators/live_price.h"
#include "dialogs/alternatives_dialog.h"
#include "order/money.h"
#include "order/order_cells.h"

#include <QSet>

namespace {

void act(const PageDriver &driver, const QStringList &actions)
{
    for (const QString &action : actions) {
        const int equals = action.indexOf(QLatin1Char('='));
        if (equals > 0)
            driver.type(action.left(equals), action.mid(equals + 1));
        else
            driver.click(action);
    }
}

QList<QRadioButton *> options(const QGroupBox *group)
{
    return group->findChildren<QRadioButton *>(QString(), Qt::FindDirectChildrenOnly);
}

QString checkedOption(const QGroupBox *group)
{
    for (const QRadioButton *option : options(group))
        if (option->isChecked())
            return option->objectName();
    return {};
}

// The pairing of a row, by the options' object names.
QString pairingAt(const QTableWidget *table, int row)
{
    return table->item(row, AlternativesDialog::First)->data(Qt::UserRole).toString() + '|'
        + table->item(row, AlternativesDialog::Second)->data(Qt::UserRole).toString();
}

} // namespace

class AlternativesTest : public QObject, private PageDriver
{
    Q_OBJECT

private:
    AlternativesDialog *openTable(const QString &button, bool byKey)
    {
        // A closed table hands the activation back to the window.
        QApplication::setActiveWindow(window);
        if (byKey)
            QTest::keyClick(window, Qt::Key_F3);
        else
            click(button);
        AlternativesDialog *dialog = nullptr;
        const bool shown = QTest::qWaitFor([&] {
            dialog = window->findChild<AlternativesDialog *>();
            return dialog && dialog->isVisible();
        });
        if (!shown)
            return nullptr;
        QApplication::setActiveWindow(dialog);
        return dialog;
    }

    // The live price of every pairing, each checked in turn on the page.
    QHash<QString, QString> livePrices(QGroupBox *first, QGroupBox *second, const QString &label)
    {
        const QLabel *live = find<QLabel>(label);
        QHash<QString, QString> prices;
        for (QRadioButton *a : options(first)) {
            a->setChecked(true);
            for (QRadioButton *b : options(second)) {
                b->setChecked(true);
                prices.insert(a->objectName() + QLatin1Char('|') + b->objectName(), live->text());
            }
        }
        return prices;
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
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("byKey");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QString>("answer");
        QTest::newRow("sheet products, A4 4+4, 100 pieces")
            << "page" << "pushButtonCompare_1_1" << false << "groupBoxListType"
            << "groupBoxListDensity" << "labelLivePrice_1_1"
            << QStringList {"radioButton_3", "radioButton_28", "lineEdit=100"} << "pushButton";
        QTest::newRow("sheet products, 700 pieces with a tier line, by F3")
            << "page" << "pushButtonCompare_1_1" << true << "groupBoxListType"
            << "groupBoxListDensity" << "labelLivePrice_1_1" << QStringList {"lineEdit=700"}
            << "pushButton";
        QTest::newRow("brochures, four inner sheets")
            << "page_2" << "pushButtonCompare_1_2" << false << "groupBoxBroshInnerType"
            << "groupBoxBroshInnerDensity" << "labelLivePrice_1_2"
            << QStringList {"lineEdit_21=4", "lineEdit_10=20"} << "pushButton_2";
        QTest::newRow("street, film 360 dpi 1000 x 1000")
            << "page_3" << "pushButtonCompare_2_1" << false << "groupBoxListStreetMaterial"
            << "groupBoxListStreetColor" << "labelLivePrice_2_1"
            << QStringList {"radioButton_11", "radioButton_112", "lineEditWidthStreet=1000",
                            "lineEditHeightStreet=1000"}
            << "pushButton_12";
        QTest::newRow("interior, A1 1+0 matte 120, by F3")
            << "page_4" << "pushButtonCompare_2_2" << true << "groupBoxIntererType"
            << "groupBoxIntererDensity" << "labelLivePrice_2_2"
            << QStringList {"radioButton_16", "radioButton_41", "radioButton_46", "lineEdit_12=2"}
            << "pushButton_9";
    }
    void pairingsPricedAndApplied()
    {
        QFETCH(QString, page);
        QFETCH(QString, button);
        QFETCH(bool, byKey);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, label);
        QFETCH(QStringList, actions);
        QFETCH(QString, answer);
        showPage(page);
        act(*this, actions);
        auto *firstGroup = find<QGroupBox>(first);
        auto *secondGroup = find<QGroupBox>(second);
        const QString current = checkedOption(firstGroup) + '|' + checkedOption(secondGroup);
        QRadioButton *firstChecked = nullptr;
        QRadioButton *secondChecked = nullptr;
        for (QRadioButton *option : options(firstGroup) + options(secondGroup))
            if (option->isChecked())
                (option->parentWidget() == firstGroup ? firstChecked : secondChecked) = option;

        AlternativesDialog *dialog = openTable(button, byKey);
        QVERIFY2(dialog, "no alternatives table opened");
        QTableWidget *table = dialog->table();
        const QStringList rowsShown = [table] {
            QStringList shown;
            for (int row = 0; row < table->rowCount(); ++row) {
                QStringList texts = {pairingAt(table, row)};
                for (int column = 0; column < AlternativesDialog::ColumnCount; ++column)
                    texts << table->item(row, column)->text();
                texts << QString::number(table->item(row, AlternativesDialog::Sum)
                                             ->background()
                                             .color()
                                         == MissingPriceColour);
                shown << texts.join(QLatin1Char('|'));
            }
            return shown;
        }();
        QTest::keyClick(table, Qt::Key_Escape);
        QTRY_VERIFY(!window->findChild<AlternativesDialog *>());

        // Each row against the page's own live price of its pairing: the same unit price, a
        // warm mark where the page warns, offered only where the first line has a price.
        const QHash<QString, QString> live = livePrices(firstGroup, secondGroup, label);
        QSet<QString> offered;
        double previous = -1;
        int marked = 0;
        for (const QString &shown : rowsShown) {
            const QStringList all = shown.split(QLatin1Char('|'));
            const QString pairing = all.at(0) + '|' + all.at(1);
            const QStringList cells = all.mid(2);
            const QString firstRow = live.value(pairing).section(QLatin1Char('\n'), 0, 0);
            if (!cells.at(AlternativesDialog::Mark).isEmpty()) {
                ++marked;
                QCOMPARE(pairing, current);
            } else {
                QVERIFY2(!firstRow.startsWith(QStringLiteral("Нет цены")),
                         qPrintable(pairing + " is offered without a price"));
            }
            offered << pairing;
            QCOMPARE(cells.last() == QLatin1String("1"),
                     live.value(pairing).contains(QStringLiteral("Нет цены")));
            if (!cells.last().toInt())
                QCOMPARE(cells.at(AlternativesDialog::UnitPrice),
                         firstRow.section(QStringLiteral(" × "), 0, 0)
                             .remove(QStringLiteral("Тираж: ")));
            double unitPrice = 0;
            QVERIFY(readAmount(QString(cells.at(AlternativesDialog::UnitPrice)).remove("₽"), &unitPrice));
            QVERIFY2(unitPrice >= previous, qPrintable("not sorted by price at " + pairing));
            previous = unitPrice;
        }
        QCOMPARE(marked, 1);
        for (auto price = live.cbegin(); price != live.cend(); ++price) {
            if (!price.value().startsWith(QStringLiteral("Нет цены")))
                QVERIFY2(offered.contains(price.key()),
                         qPrintable(price.key() + " is priced but not offered"));
        }
        firstChecked->setChecked(true);
        secondChecked->setChecked(true);

        // Enter on the cheapest row: the page takes its pairing and the press prices it so.
        dialog = openTable(button, byKey);
        QVERIFY(dialog);
        const QString cheapest = pairingAt(dialog->table(), 0);
        QString unitText = dialog->table()->item(0, AlternativesDialog::UnitPrice)->text();
        dialog->table()->setCurrentCell(0, AlternativesDialog::First);
        QTest::keyClick(dialog->table(), Qt::Key_Return);
        QTRY_VERIFY2(!window->findChild<AlternativesDialog *>(), "Enter leaves the table open");
        QCOMPARE(checkedOption(firstGroup) + '|' + checkedOption(secondGroup), cheapest);
        const int before = rows();
        click(answer);
        QVERIFY(rows() > before);
        double shownUnit = 0;
        double appendedUnit = 0;
        QVERIFY(readAmount(unitText.remove(QStringLiteral("₽")), &shownUnit));
        QVERIFY(readAmount(orderLine(before).price, &appendedUnit));
        QCOMPARE(moneyText(appendedUnit), moneyText(shownUnit));

        // A double click on the dearest row takes that one.
        dialog = openTable(button, byKey);
        QVERIFY(dialog);
        const int last = dialog->table()->rowCount() - 1;
        const QString dearest = pairingAt(dialog->table(), last);
        QTableWidgetItem *dearestCell = dialog->table()->item(last, AlternativesDialog::Second);
        dialog->table()->scrollToItem(dearestCell);
        // A double click as the mouse makes it: a click, then the second press.
        const QPoint centre = dialog->table()->visualItemRect(dearestCell).center();
        QTest::mouseClick(dialog->table()->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(dialog->table()->viewport(), Qt::LeftButton, {}, centre);
        QTRY_VERIFY2(!window->findChild<AlternativesDialog *>(), "a double click leaves it open");
        QCOMPARE(checkedOption(firstGroup) + '|' + checkedOption(secondGroup), dearest);
    }

    // The souvenir and engraving pages have no alternatives: F3 opens nothing there.
    void noTableElsewhere()
    {
        showPage(QStringLiteral("page_5"));
        QTest::keyClick(window, Qt::Key_F3);
        QTest::qWait(20);
        QVERIFY(!window->findChild<AlternativesDialog *>());
    }
};

QTEST_MAIN(AlternativesTest)
#include "test_alternatives.moc"
