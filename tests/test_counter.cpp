// The window at the counter: the order's total, undo of removals and "Очистка", the keys, the
// tab order, a choice taken back, the table's tooltips, and a window that scrolls on a small
// screen.
#include "tests/page_driver.h"

#include "order/order_cells.h"

#include <QScrollArea>
#include <QScrollBar>

namespace {

// Money as written here, with a blank between digit groups, as the program shows it: with a
// no-break space there.
QString grouped(const QString &text)
{
    static const QRegularExpression blank(QStringLiteral("(?<=\\d) (?=\\d)"));
    return QString(text).replace(blank, QString(QChar(0x00A0)));
}

// What a line is in full: its texts, its job and breakdown, and its price cell's marks.
QStringList lineInFull(const QTableWidget *table, const OrderLine &line, int row)
{
    const QTableWidgetItem *price = table->item(row, OrderLine::UnitPrice);
    return {line.description, line.quantity,       line.unitPrice, line.keyText,
            line.titles,      QString::number(line.removalMarker),
            QString::fromUtf8(QJsonDocument(line.job).toJson(QJsonDocument::Compact)),
            line.explanation, QString::number(line.missingPrice), price->toolTip(),
            price->background().color().name()};
}

} // namespace

class CounterTest : public QObject, private PageDriver
{
    Q_OBJECT

private:
    QStringList order() const
    {
        QStringList lines;
        const QVector<OrderLine> all = window->orderLines();
        for (int row = 0; row < all.size(); ++row)
            lines << lineInFull(orderTable(), all.at(row), row).join(QLatin1Char('|'));
        return lines;
    }

    QString total() const { return find<QLabel>("labelOrderTotal")->text(); }

    void clickCell(int row, int column)
    {
        const QRect cell = orderTable()->visualRect(orderTable()->model()->index(row, column));
        QTest::mouseClick(orderTable()->viewport(), Qt::LeftButton, {}, cell.center());
    }

    void undoKey() { QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier); }

    // Lines priced on the sheet products page: three plain, one with a tier line, one without a
    // price.
    void priceSomeLines()
    {
        answerButton = QStringLiteral("pushButton");
        for (const QString quantity : {"5", "60", "700"}) {
            type("lineEdit", quantity);
            QVERIFY(answerAdds(quantity == QLatin1String("700") ? 2 : 1));
        }
        clickAll({"radioButtonOther", "radioButton_28"});
        type("lineEdit", "9");
        QVERIFY(answerAdds(1));
        QCOMPARE(rows(), 5);
    }

private slots:
    void init()
    {
        QVERIFY(openWindow());
        // Window shortcuts act in the active window only.
        window->activateWindow();
        QApplication::setActiveWindow(window);
        QTRY_COMPARE(QApplication::activeWindow(), window);
        find<QTableWidget>("tableWidget")->setFocus();
    }
    void cleanup() { closeWindow(); }

    void totalFollowsTheOrder()
    {
        QTRY_COMPARE(total(), grouped("Итого: 0 ₽ · строк: 0"));
        window->appendOrderLine("первая", "100", "132", "значение=002428", "Формат ", true);
        QTRY_COMPARE(total(), grouped("Итого: 13 200 ₽ · строк: 1"));
        window->appendOrderLine("вторая", "3", "1.05", "значение=000000", "Формат ", true);
        // A price that is no number counts nothing, as in the invoice.
        window->appendOrderLine("третья", "2", "нет", "значение=000000", "Формат ", false);
        QTRY_COMPARE(total(), grouped("Итого: 13 203,15 ₽ · строк: 3"));

        QTableWidgetItem *price = orderTable()->item(1, OrderLine::UnitPrice);
        orderTable()->editItem(price);
        auto *editor = orderTable()->viewport()->findChild<QLineEdit *>();
        QVERIFY2(editor, "no editor opened on the price");
        editor->selectAll();
        QTest::keyClicks(editor, "2.05");
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(total(), grouped("Итого: 13 206,15 ₽ · строк: 3"));

        clickCell(0, OrderLine::Marker);
        QTRY_COMPARE(total(), grouped("Итого: 6,15 ₽ · строк: 2"));
        click("pushButton_4");
        QTRY_COMPARE(total(), grouped("Итого: 0 ₽ · строк: 0"));
        undoKey();
        QTRY_COMPARE(total(), grouped("Итого: 6,15 ₽ · строк: 2"));
        undoKey();
        QTRY_COMPARE(total(), grouped("Итого: 13 206,15 ₽ · строк: 3"));
    }

    // Each removal and "Очистка" is taken back in reverse order, every line at its old place
    // with its job, breakdown and marks.
    void undoBringsLinesBackInPlace()
    {
        showPage(QStringLiteral("page"));
        priceSomeLines();
        QStringList states;
        states << order().join(QLatin1Char('\n'));
        clickCell(1, OrderLine::Marker);
        states << order().join(QLatin1Char('\n'));
        // Two lines apart, deleted together: one step.
        QTableWidget *table = orderTable();
        table->setFocus();
        table->clearSelection();
        table->setCurrentCell(0, 1, QItemSelectionModel::Select);
        table->setCurrentCell(2, 3, QItemSelectionModel::Select);
        QTest::keyClick(table, Qt::Key_Delete);
        QCOMPARE(rows(), 2);
        states << order().join(QLatin1Char('\n'));
        click("pushButton_4");
        QCOMPARE(rows(), 0);

        table->setFocus();
        while (!states.isEmpty()) {
            undoKey();
            QCOMPARE(order().join(QLatin1Char('\n')), states.takeLast());
        }
        QVERIFY2(table->item(4, OrderLine::UnitPrice)->background().color() == MissingPriceColour,
                 "the line without a price lost its mark");
        undoKey();
        QCOMPARE(rows(), 5);
    }

    void undoKeepsTwentySteps()
    {
        for (int i = 0; i < 25; ++i)
            window->appendOrderLine(QString::number(i), "1", "1", "значение=000000", "", i % 2);
        const QStringList before = order();
        for (int i = 0; i < 25; ++i)
            clickCell(i % 3 == 0 ? 0 : rows() - 1, OrderLine::Marker);
        QCOMPARE(rows(), 0);
        for (int i = 0; i < 25; ++i)
            undoKey();
        QCOMPARE(order(), before);
    }

    // In a text field Ctrl+Z undoes the typing, not the order's removals.
    void ctrlZInAFieldIsTheFieldsOwn()
    {
        window->appendOrderLine("строка", "1", "1", "значение=000000", "", true);
        clickCell(0, OrderLine::Marker);
        showPage(QStringLiteral("page"));
        type("lineEdit", "25");
        QTest::keyClick(find<QLineEdit>("lineEdit"), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY2(find<QLineEdit>("lineEdit")->text() != QLatin1String("25"),
                 "the field did not undo its typing");
        QCOMPARE(rows(), 0);
        orderTable()->setFocus();
        undoKey();
        QCOMPARE(rows(), 1);
    }

    void enterPressesTheAnswer_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::newRow("sheet products, quantity, Return") << "page" << "lineEdit" << int(Qt::Key_Return);
        QTest::newRow("sheet products, an option, Enter") << "page" << "radioButton_3" << int(Qt::Key_Enter);
        QTest::newRow("brochures, inner sheets") << "page_2" << "lineEdit_21" << int(Qt::Key_Return);
        QTest::newRow("street, quantity") << "page_3" << "lineEdit_14" << int(Qt::Key_Return);
        QTest::newRow("street, a pocket count") << "page_3" << "lineEdit_3" << int(Qt::Key_Enter);
        QTest::newRow("interior, quantity") << "page_4" << "lineEdit_12" << int(Qt::Key_Return);
        QTest::newRow("souvenir, quantity") << "page_5" << "lineEdit_16" << int(Qt::Key_Return);
    }
    void enterPressesTheAnswer()
    {
        QFETCH(QString, page);
        QFETCH(QString, focus);
        QFETCH(int, key);
        showPage(page);
        auto *field = find<QWidget>(focus);
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        QTest::keyClick(field, Qt::Key(key),
                        key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(rows(), 1);
        // Elsewhere Enter prices nothing.
        orderTable()->setFocus();
        QTest::keyClick(orderTable(), Qt::Key(key));
        QCOMPARE(rows(), 1);
    }

    void keysOpenTabsAndPages()
    {
        auto *tabs = find<QTabWidget>("tabWidget");
        for (const int tab : {1, 3, 2, 0}) {
            QTest::keyClick(window, Qt::Key(Qt::Key_1 + tab), Qt::ControlModifier);
            QCOMPARE(tabs->currentIndex(), tab);
            QVERIFY2(tab == 3 || tabs->currentWidget()->isAncestorOf(QApplication::focusWidget()),
                     "the focus stays outside the opened tab");
        }
        auto *box = find<QToolBox>("toolBox");
        QTest::keyClick(window, Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(box->currentIndex(), 1);
        QVERIFY2(find<QWidget>("page_2")->isAncestorOf(QApplication::focusWidget()),
                 "the focus is not on the brochures page");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(box->currentIndex(), 0);
        QTest::keyClick(window, Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(box->currentIndex(), 1);
    }

    void ctrlEPressesExport()
    {
        // The office stays out of it: only the press of the button counts.
        auto *exportButton = find<QPushButton>("pushButton_6");
        QObject::disconnect(exportButton, nullptr, window, nullptr);
        QSignalSpy pressed(exportButton, &QPushButton::clicked);
        showPage(QStringLiteral("page"));
        type("lineEdit", "12");
        QTest::keyClick(find<QLineEdit>("lineEdit"), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(pressed.count(), 1);
        QCOMPARE(find<QLineEdit>("lineEdit")->text(), QStringLiteral("12"));
        QTest::keyClick(orderTable(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(pressed.count(), 2);
    }

    void tabOrder_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("groups");
        QTest::addColumn<QStringList>("tail");
        QTest::newRow("sheet products")
            << "page"
            << QStringList {"groupBoxListFormat", "groupBoxListColor", "groupBoxListDensity",
                            "groupBoxListType", "checkboxGroupList", "checkboxGroupList_1",
                            "checkboxGroupList_2", "checkboxGroupList_4", "checkboxGroupList_3"}
            << QStringList {"lineEdit", "pushButton", "pushButtonCompare_1_1"};
        QTest::newRow("brochures")
            << "page_2"
            << QStringList {"groupBoxBroshFormat",      "groupBoxBroshOuterColor",
                            "groupBoxBroshInnerColor",  "groupBoxBroshInnerType",
                            "groupBoxBroshInnerDensity", "groupBoxBroshOuterType",
                            "groupBoxBroshOuterDensity", "checkboxGroupBrosh_5",
                            "checkboxGroupBrosh",       "checkboxGroupBrosh_1",
                            "checkboxGroupBrosh_4",     "checkboxGroupBrosh_6",
                            "checkboxGroupBrosh_2",     "checkboxGroupBrosh_3"}
            << QStringList {"lineEdit_21", "lineEdit_10", "pushButton_2", "pushButtonCompare_1_2"};
        QTest::newRow("street")
            << "page_3"
            << QStringList {"groupBoxListStreetMaterial", "groupBoxListStreetColor",
                            "checkboxGroupStreet_1", "checkboxGroupStreet",
                            "checkboxGroupStreet_2", "groupBox_9"}
            << QStringList {"lineEditWidthStreet", "lineEditHeightStreet", "lineEdit_14",
                            "pushButton_12", "pushButtonCompare_2_1"};
        QTest::newRow("interior")
            << "page_4"
            << QStringList {"groupBoxIntererFormat", "groupBoxIntererColor",
                            "groupBoxIntererType", "groupBoxIntererDensity",
                            "checkboxGroupInterer", "checkboxGroupInterer_3",
                            "checkboxGroupInterer_2", "checkboxGroupInterer_1",
                            "checkboxGroupInterer_4"}
            << QStringList {"lineEdit_12", "pushButton_9", "pushButtonCompare_2_2"};
        QTest::newRow("souvenir printing")
            << "page_5"
            << QStringList {"groupBoxListFormat_2", "groupBoxListColor_4", "groupBoxListType_2",
                            "groupBox", "checkboxGroupPrint"}
            << QStringList {"lineEdit_16", "pushButton_15"};
    }
    void tabOrder()
    {
        QFETCH(QString, page);
        QFETCH(QStringList, groups);
        QFETCH(QStringList, tail);
        showPage(page);
        QWidget *pageWidget = find<QWidget>(page);
        // The page's stops in the order Tab visits them, from its first option on.
        QList<QWidget *> stops;
        QWidget *first = find<QGroupBox>(groups.first())->findChildren<QRadioButton *>().value(0);
        if (!first)
            first = find<QGroupBox>(groups.first())->findChildren<QAbstractButton *>().first();
        for (QWidget *widget = first; stops.size() < 400; widget = widget->nextInFocusChain()) {
            if (widget == first && !stops.isEmpty())
                break;
            if (pageWidget->isAncestorOf(widget) && widget->isVisible()
                && (widget->focusPolicy() & Qt::TabFocus))
                stops << widget;
        }
        QStringList visited;
        for (const QWidget *stop : qAsConst(stops)) {
            const QWidget *group = stop;
            while (group->parentWidget() != pageWidget)
                group = group->parentWidget();
            const QString name = qobject_cast<const QGroupBox *>(group)
                    && !tail.contains(stop->objectName())
                ? group->objectName()
                : stop->objectName();
            if (visited.isEmpty() || visited.last() != name)
                visited << name;
        }
        QCOMPARE(visited, groups + tail);
    }

    void secondClickTakesAChoiceBack_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("option");
        QTest::addColumn<bool>("takenBack");
        QTest::newRow("lamination") << "page" << "radioButton_145" << true;
        QTest::newRow("binding") << "page" << "radioButton_153" << true;
        QTest::newRow("creasing and folding") << "page" << "radioButton_154" << true;
        QTest::newRow("brochure binding kind") << "page_2" << "radioButton_181" << true;
        QTest::newRow("street base") << "page_3" << "radioButton_122" << true;
        QTest::newRow("a format is no extra") << "page" << "radioButton_3" << false;
    }
    void secondClickTakesAChoiceBack()
    {
        QFETCH(QString, page);
        QFETCH(QString, option);
        QFETCH(bool, takenBack);
        showPage(page);
        auto *button = find<QRadioButton>(option);
        const QLabel *live = find<QWidget>(page)->findChildren<QLabel *>(
            QRegularExpression(QStringLiteral("^labelLivePrice_"))).value(0);
        QVERIFY2(live, "the page has no live price");
        const QString before = live->text();
        click(button);
        QVERIFY(button->isChecked());
        click(button);
        QCOMPARE(button->isChecked(), !takenBack);
        if (takenBack)
            QCOMPARE(live->text(), before);
        click(button);
        QVERIFY2(button->isChecked(), "a choice taken back cannot be made again");
    }

    void tableCellsExplainThemselves()
    {
        showPage(QStringLiteral("page"));
        answerButton = QStringLiteral("pushButton");
        click("checkBox_161");
        QVERIFY(answerAdds(1));
        QTableWidget *table = orderTable();
        for (int column = 0; column < OrderLine::Marker; ++column) {
            if (column != OrderLine::UnitPrice)
                QCOMPARE(table->item(0, column)->toolTip(), table->item(0, column)->text());
        }
        QCOMPARE(table->item(0, OrderLine::UnitPrice)->toolTip(),
                 table->item(0, OrderLine::Description)->data(MainWindow::ExplanationRole).toString());
        QCOMPARE(table->item(0, OrderLine::Marker)->toolTip(),
                 QStringLiteral("Щелчок удаляет строку"));
        table->item(0, OrderLine::Description)->setText(QStringLiteral("исправлено"));
        QCOMPARE(table->item(0, OrderLine::Description)->toolTip(), QStringLiteral("исправлено"));

        // New lines come into view at the bottom of the table.
        for (int i = 0; i < 30; ++i)
            QVERIFY(answerAdds(1));
        const QRect last = table->visualItemRect(table->item(rows() - 1, 0));
        QVERIFY2(table->viewport()->rect().contains(last), "the new line is out of view");
    }

    void windowScrollsOnSmallScreens_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("scrolls");
        QTest::newRow("1024 x 600") << QSize(1024, 600) << true;
        QTest::newRow("1366 x 700") << QSize(1366, 700) << true;
        QTest::newRow("designed 1289 x 792") << QSize(1289, 792) << false;
        QTest::newRow("1600 x 900") << QSize(1600, 900) << false;
    }
    void windowScrollsOnSmallScreens()
    {
        QFETCH(QSize, size);
        QFETCH(bool, scrolls);
        auto *contents = find<QWidget>("centralwidget");
        QList<QRect> places;
        for (QWidget *child : contents->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            places << child->geometry();
        window->resize(size);
        QTRY_COMPARE(window->size(), size);
        auto *area = qobject_cast<QScrollArea *>(window->centralWidget());
        QApplication::processEvents();
        QCOMPARE(area->verticalScrollBar()->isVisible(), scrolls);
        QVERIFY2(contents->width() >= 1289 && contents->y() <= 0, "the contents shrank");
        QList<QRect> after;
        for (QWidget *child : contents->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            after << child->geometry();
        QCOMPARE(after, places);
        // Whatever lies lowest comes into view by scrolling.
        auto *exportButton = find<QPushButton>("pushButton_6");
        area->ensureWidgetVisible(exportButton);
        const QRect shown(exportButton->mapTo(area->viewport(), QPoint()), exportButton->size());
        QVERIFY2(area->viewport()->rect().contains(shown), "\"Экспорт\" cannot be scrolled to");
    }
};

QTEST_MAIN(CounterTest)
#include "test_counter.moc"
