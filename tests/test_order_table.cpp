// The order table: appending lines, removing them by a click in the last column, "Очистка".
#include "tests/page_driver.h"

#include <QHeaderView>

namespace {
const QStringList Captions
    = {QStringLiteral("Описание"), QStringLiteral("Кол-во"),    QStringLiteral("Цена"),
       QStringLiteral("Ключ"),     QStringLiteral("Параметры"), QStringLiteral("✕")};
}

class OrderTableTest : public QObject, private PageDriver
{
    Q_OBJECT

private:
    QTableWidget *table = nullptr;

    void clickCell(int row, int column)
    {
        const QRect cell = table->visualRect(table->model()->index(row, column));
        QVERIFY2(cell.isValid(), "cell is not on screen");
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    }

    void append(const QString &description, bool marker)
    {
        window->appendOrderLine(description, QStringLiteral("100"), QStringLiteral("132"),
                                QStringLiteral("значение=002428"),
                                QStringLiteral("Формат Цветность "), marker);
    }

    QStringList headerCaptions() const
    {
        QStringList captions;
        for (int column = 0; column < table->columnCount(); ++column) {
            const QTableWidgetItem *item = table->horizontalHeaderItem(column);
            captions << (item ? item->text() : QString());
        }
        return captions;
    }

private slots:
    void init()
    {
        QVERIFY(openWindow());
        table = orderTable();
    }
    void cleanup() { closeWindow(); }

    void headerAtStart()
    {
        QCOMPARE(table->columnCount(), 6);
        QCOMPARE(table->rowCount(), 0);
        QCOMPARE(headerCaptions(), Captions);
        QCOMPARE(table->horizontalHeaderItem(5)->toolTip(),
                 QStringLiteral("Щелчок удаляет строку"));
        QCOMPARE(table->horizontalHeader()->minimumSectionSize(), 27);
        // All six columns, the removal marker included, are on screen without scrolling.
        const int right = table->columnViewportPosition(5) + table->columnWidth(5);
        QVERIFY2(right <= table->viewport()->width(), "the marker column is off screen");
        QVERIFY2(table->columnWidth(0) >= 300, "descriptions are cut to a few letters");
    }

    void appendPutsTextsInHeaderColumns()
    {
        append(QStringLiteral("первая"), true);
        window->appendOrderLine(QStringLiteral("вторая"), QStringLiteral("1"), QString(),
                                QStringLiteral("значение=130000"), QStringLiteral("Формат "),
                                false);
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(orderLine(0),
                 (TableRow {QStringLiteral("первая"), QStringLiteral("100"), QStringLiteral("132"),
                            QStringLiteral("значение=002428"), QStringLiteral("Формат Цветность "),
                            Marker::Red}));
        // An empty text still gets its item, and a line without marker has none in column 5.
        QCOMPARE(orderLine(1),
                 (TableRow {QStringLiteral("вторая"), QStringLiteral("1"), QStringLiteral(""),
                            QStringLiteral("значение=130000"), QStringLiteral("Формат "),
                            Marker::None}));
        QVERIFY(table->item(1, 0)->flags() & Qt::ItemIsEditable);
    }

    void clicksOutsideColumnFiveAreIgnored()
    {
        append(QStringLiteral("строка"), true);
        for (int column = 0; column < 5; ++column)
            clickCell(0, column);
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("строка"));
    }

    void clickInColumnFiveRemovesLine_data()
    {
        QTest::addColumn<bool>("marker");
        QTest::newRow("with marker") << true;
        QTest::newRow("without marker") << false;
    }
    void clickInColumnFiveRemovesLine()
    {
        QFETCH(bool, marker);
        append(QStringLiteral("первая"), marker);
        append(QStringLiteral("вторая"), marker);
        clickCell(0, 5);
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("вторая"));
        clickCell(0, 5);
        QCOMPARE(table->rowCount(), 0);
    }

    void clearKeepsHeader_data()
    {
        QTest::addColumn<int>("lines");
        QTest::newRow("empty table") << 0;
        QTest::newRow("three lines") << 3;
    }
    void clearKeepsHeader()
    {
        QFETCH(int, lines);
        for (int i = 0; i < lines; ++i)
            append(QString::number(i), i % 2 == 0);
        click(QStringLiteral("pushButton_4"));
        QCOMPARE(table->rowCount(), 0);
        QCOMPARE(table->columnCount(), 6);
        QCOMPARE(headerCaptions(), Captions);

        append(QStringLiteral("после очистки"), true);
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("после очистки"));
        QVERIFY(table->item(0, 5));
    }

    void editedCellKeepsItsText()
    {
        append(QStringLiteral("строка"), true);
        QTableWidgetItem *price = table->item(0, 2);
        table->setCurrentItem(price);
        table->editItem(price);
        auto *editor = table->viewport()->findChild<QLineEdit *>();
        QVERIFY2(editor, "no editor opened on the cell");
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, QStringLiteral("150"));
        QCOMPARE(editor->text(), QStringLiteral("150"));
        QTest::keyClick(editor, Qt::Key_Return);
        // The delegate commits on the next turn of the event loop.
        QTRY_COMPARE(table->item(0, 2)->text(), QStringLiteral("150"));
        QCOMPARE(table->item(0, 1)->text(), QStringLiteral("100"));
    }

    // The row numbers' column is as wide as Qt's own measuring of every number makes it, at
    // each count of digits, after removals too, and clicking a number still selects its line.
    void rowNumbersAsWideAsQtMakesThem_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("removed");
        for (int rows : {1, 9, 10, 99, 100, 1000})
            QTest::addRow("%d lines", rows) << rows << 0;
        QTest::newRow("1000 lines less 1") << 1000 << 1;
        QTest::newRow("100 lines less 91") << 100 << 91;
    }
    void rowNumbersAsWideAsQtMakesThem()
    {
        QFETCH(int, rows);
        QFETCH(int, removed);
        QTableWidget plain(0, table->columnCount());
        plain.setFont(table->font());
        for (int row = 0; row < rows; ++row)
            append(QStringLiteral("Строка"), false);
        plain.setRowCount(rows - removed);
        for (int row = 0; row < removed; ++row)
            table->removeRow(0);
        QCOMPARE(table->verticalHeader()->sizeHint().width(),
                 plain.verticalHeader()->sizeHint().width());
        QTest::mouseClick(table->verticalHeader()->viewport(), Qt::LeftButton, {},
                          QPoint(5, table->verticalHeader()->sectionViewportPosition(0) + 5));
        QCOMPARE(table->selectionModel()->isRowSelected(0, QModelIndex()), true);
    }

    void removeRowSignalIsNeverEmitted()
    {
        QSignalSpy spy(window, SIGNAL(removeRow(int)));
        append(QStringLiteral("строка"), true);
        clickCell(0, 5);
        QCOMPARE(table->rowCount(), 0);
        QCOMPARE(spy.count(), 0);
    }
};

QTEST_MAIN(OrderTableTest)
#include "test_order_table.moc"
