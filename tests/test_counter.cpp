// The window at the counter: the order's total, undo of removals and "Очистка", the keys, the
// tab order, a choice taken back, the table's tooltips, a window that scrolls on a small screen.
#include "tests/page_driver.h"

#include "app/order_cells.h"
#include "app/scrolling.h"

#include <QDialog>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

namespace {

// Money as written here, with a blank between digit groups: the program puts a no-break space.
QString grouped(const QString &text)
{
    static const QRegularExpression blank(QStringLiteral("(?<=\\d) (?=\\d)"));
    return QString(text).replace(blank, QString(QChar(0x00A0)));
}

} // namespace

class CounterTest : public QObject, private PageDriver
{
    Q_OBJECT

    // Every line in full: texts, job, breakdown, and its price cell's tooltip and mark.
    QString order() const
    {
        QStringList lines;
        const QVector<OrderLine> all = window->orderLines();
        for (int row = 0; row < all.size(); ++row) {
            const OrderLine &line = all.at(row);
            const QTableWidgetItem *price = orderTable()->item(row, OrderLine::UnitPrice);
            lines << QStringList {line.description,
                                  line.quantity,
                                  line.unitPrice,
                                  line.keyText,
                                  line.titles,
                                  QString::number(line.removalMarker),
                                  QString::fromUtf8(QJsonDocument(line.job).toJson()),
                                  line.explanation,
                                  QString::number(line.missingPrice),
                                  price->toolTip(),
                                  price->background().color().name()}
                         .join(QLatin1Char('|'));
        }
        return lines.join(QLatin1Char('\n'));
    }
    QString total() const { return find<QLabel>(QStringLiteral("labelOrderTotal"))->text(); }
    void clickCell(int row, int column) const
    {
        const QRect cell = orderTable()->visualRect(orderTable()->model()->index(row, column));
        QTest::mouseClick(orderTable()->viewport(), Qt::LeftButton, {}, cell.center());
    }
    void undoKey() const { QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier); }
    void append(const QString &quantity, const QString &price) const
    {
        window->appendOrderLine(QStringLiteral("строка"), quantity, price,
                                QStringLiteral("значение=000000"), QStringLiteral("Формат "), true);
    }

private slots:
    void initTestCase() { useDesktopFont(); }
    void init()
    {
        QVERIFY(openWindow());
        // Window shortcuts act in the active window only.
        window->activateWindow();
        QApplication::setActiveWindow(window);
        QTRY_COMPARE(QApplication::activeWindow(), window);
        orderTable()->setFocus();
    }
    void cleanup() { closeWindow(); }

    void totalFollowsTheOrder()
    {
        QTRY_COMPARE(total(), grouped(QStringLiteral("Итого: 0 ₽ · строк: 0")));
        append(QStringLiteral("100"), QStringLiteral("132"));
        QTRY_COMPARE(total(), grouped(QStringLiteral("Итого: 13 200 ₽ · строк: 1")));
        append(QStringLiteral("3"), QStringLiteral("1.05"));
        append(QStringLiteral("2"), QStringLiteral("нет")); // no number: named, never counted as 0
        QTRY_COMPARE(
            total(),
            QStringLiteral("Итого: не посчитать — строка 3: цена «нет» не число · строк: 3"));
        orderTable()->item(2, OrderLine::UnitPrice)->setText(QStringLiteral("0"));
        QTRY_COMPARE(total(),
                     grouped(QStringLiteral("Итого: 13 203,15 ₽ · строк: 3")));
        orderTable()->editItem(orderTable()->item(1, OrderLine::UnitPrice));
        auto *editor = orderTable()->viewport()->findChild<QLineEdit *>();
        QVERIFY2(editor, "no editor opened on the price");
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("2.05"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(total(),
                     grouped(QStringLiteral("Итого: 13 206,15 ₽ · строк: 3")));
        clickCell(0, OrderLine::Marker);
        QTRY_COMPARE(total(), grouped(QStringLiteral("Итого: 6,15 ₽ · строк: 2")));
        click(QStringLiteral("pushButton_4"));
        QTRY_COMPARE(total(), grouped(QStringLiteral("Итого: 0 ₽ · строк: 0")));
        undoKey();
        QTRY_COMPARE(total(), grouped(QStringLiteral("Итого: 6,15 ₽ · строк: 2")));
        undoKey();
        QTRY_COMPARE(total(),
                     grouped(QStringLiteral("Итого: 13 206,15 ₽ · строк: 3")));
    }

    // Removals and "Очистка" come back in reverse order, each line at its old place with its
    // job, breakdown and marks; two lines deleted together are one step.
    void undoBringsLinesBackInPlace()
    {
        showPage(QStringLiteral("page"));
        answerButton = QStringLiteral("pushButton");
        for (const QString &quantity : {QStringLiteral("5"), QStringLiteral("60"),
                                        QStringLiteral("700")}) { // the last with its tier line
            type(QStringLiteral("lineEdit"), quantity);
            QVERIFY(answerAdds(quantity == QLatin1String("700") ? 2 : 1));
        }
        clickAll(
            {QStringLiteral("radioButtonOther"), QStringLiteral("radioButton_28")}); // no price
        type(QStringLiteral("lineEdit"), QStringLiteral("9"));
        QVERIFY(answerAdds(1));
        QStringList states = {order()};
        clickCell(1, OrderLine::Marker);
        states << order();
        orderTable()->setFocus();
        orderTable()->setCurrentCell(0, 1, QItemSelectionModel::ClearAndSelect);
        orderTable()->setCurrentCell(2, 3, QItemSelectionModel::Select);
        QTest::keyClick(orderTable(), Qt::Key_Delete);
        QCOMPARE(rows(), 2);
        states << order();
        click(QStringLiteral("pushButton_4"));
        orderTable()->setFocus();
        while (!states.isEmpty()) {
            undoKey();
            QCOMPARE(order(), states.takeLast());
        }
        QCOMPARE(orderTable()->item(4, OrderLine::UnitPrice)->background().color(),
                 MissingPriceColour);
        undoKey();
        QCOMPARE(rows(), 5);
    }

    void undoKeepsTwentyFiveSteps()
    {
        for (int i = 0; i < 25; ++i)
            append(QString::number(i), QStringLiteral("1"));
        const QString before = order();
        for (int i = 0; i < 25; ++i)
            clickCell(i % 3 ? rows() - 1 : 0, OrderLine::Marker);
        for (int i = 0; i < 25; ++i)
            undoKey();
        QCOMPARE(order(), before);
    }

    // In a text field Ctrl+Z undoes the typing, not the order's removals.
    void ctrlZInAFieldIsTheFieldsOwn()
    {
        append(QStringLiteral("1"), QStringLiteral("1"));
        clickCell(0, OrderLine::Marker);
        showPage(QStringLiteral("page"));
        type(QStringLiteral("lineEdit"), QStringLiteral("25"));
        QTest::keyClick(find<QLineEdit>(QStringLiteral("lineEdit")), Qt::Key_Z,
                        Qt::ControlModifier);
        QVERIFY2(find<QLineEdit>(QStringLiteral("lineEdit"))->text() != QLatin1String("25"),
                 "no undo of typing");
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
        const int enter = Qt::Key_Enter, ret = Qt::Key_Return;
        QTest::newRow("sheet products, quantity") << "page"
                                                  << "lineEdit" << ret;
        QTest::newRow("sheet products, an option") << "page"
                                                   << "radioButton_3" << enter;
        QTest::newRow("brochures, inner sheets") << "page_2"
                                                 << "lineEdit_21" << ret;
        QTest::newRow("street, quantity") << "page_3"
                                          << "lineEdit_14" << ret;
        QTest::newRow("street, a pocket count") << "page_3"
                                                << "lineEdit_3" << enter;
        QTest::newRow("interior, quantity") << "page_4"
                                            << "lineEdit_12" << ret;
        QTest::newRow("souvenir, quantity") << "page_5"
                                            << "lineEdit_16" << ret;
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
        orderTable()->setFocus(); // elsewhere Enter prices nothing
        QTest::keyClick(orderTable(), Qt::Key(key));
        QCOMPARE(rows(), 1);
    }

    void keysOpenTabsPagesAndExport()
    {
        auto *tabs = find<QTabWidget>(QStringLiteral("tabWidget"));
        for (const int tab : {1, 3, 2, 0}) {
            QTest::keyClick(window, Qt::Key(Qt::Key_1 + tab), Qt::ControlModifier);
            QCOMPARE(tabs->currentIndex(), tab);
            QVERIFY2(tab == 3 || tabs->currentWidget()->isAncestorOf(QApplication::focusWidget()),
                     "the focus stays outside the opened tab");
        }
        auto *box = find<QToolBox>(QStringLiteral("toolBox"));
        for (const int index : {1, 0, 1}) {
            QTest::keyClick(QApplication::focusWidget(), index ? Qt::Key_PageDown : Qt::Key_PageUp,
                            Qt::ControlModifier);
            QCOMPARE(box->currentIndex(), index);
            QVERIFY(box->currentWidget()->isAncestorOf(QApplication::focusWidget()));
        }
        // Ctrl+E presses QStringLiteral("Экспорт"), in a field too; the office stays out of it.
        auto *exportButton = find<QPushButton>(QStringLiteral("pushButton_6"));
        QObject::disconnect(exportButton, nullptr, window, nullptr);
        QSignalSpy pressed(exportButton, &QPushButton::clicked);
        type(QStringLiteral("lineEdit_10"), QStringLiteral("12"));
        QTest::keyClick(find<QLineEdit>(QStringLiteral("lineEdit_10")), Qt::Key_E,
                        Qt::ControlModifier);
        QCOMPARE(find<QLineEdit>(QStringLiteral("lineEdit_10"))->text(), QStringLiteral("12"));
        QTest::keyClick(orderTable(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(pressed.count(), 2);
    }

    void tabOrder_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("stops"); // groups and fields in the order Tab visits them
        QTest::newRow("sheet products")
            << "page"
            << "groupBoxListFormat groupBoxListColor groupBoxListDensity groupBoxListType "
               "checkboxGroupList checkboxGroupList_1 checkboxGroupList_2 checkboxGroupList_4 "
               "checkboxGroupList_3 lineEdit pushButton pushButtonCompare_1_1";
        QTest::newRow("brochures")
            << "page_2"
            << "groupBoxBroshFormat groupBoxBroshOuterColor groupBoxBroshInnerColor "
               "groupBoxBroshInnerType groupBoxBroshInnerDensity groupBoxBroshOuterType "
               "groupBoxBroshOuterDensity checkboxGroupBrosh_5 checkboxGroupBrosh "
               "checkboxGroupBrosh_1 checkboxGroupBrosh_4 checkboxGroupBrosh_6 "
               "checkboxGroupBrosh_2 "
               "checkboxGroupBrosh_3 lineEdit_21 lineEdit_10 pushButton_2 pushButtonCompare_1_2";
        QTest::newRow("street")
            << "page_3"
            << "groupBoxListStreetMaterial groupBoxListStreetColor checkboxGroupStreet_1 "
               "checkboxGroupStreet checkboxGroupStreet_2 groupBox_9 lineEditWidthStreet "
               "lineEditHeightStreet lineEdit_14 pushButton_12 pushButtonCompare_2_1";
        QTest::newRow("interior")
            << "page_4"
            << "groupBoxIntererFormat groupBoxIntererColor groupBoxIntererType "
               "groupBoxIntererDensity checkboxGroupInterer checkboxGroupInterer_3 "
               "checkboxGroupInterer_2 checkboxGroupInterer_1 checkboxGroupInterer_4 lineEdit_12 "
               "pushButton_9 pushButtonCompare_2_2";
        QTest::newRow("souvenir printing")
            << "page_5"
            << "groupBoxListFormat_2 groupBoxListColor_4 groupBoxListType_2 groupBox "
               "checkboxGroupPrint lineEdit_16 pushButton_15";
    }
    void tabOrder()
    {
        QFETCH(QString, page);
        QFETCH(QString, stops);
        const QStringList expected = stops.split(QLatin1Char(' '));
        showPage(page);
        QWidget *pageWidget = find<QWidget>(page);
        QWidget *first = find<QWidget>(expected.first())->findChildren<QAbstractButton *>().first();
        QStringList visited;
        QWidget *widget = first;
        do {
            if (pageWidget->isAncestorOf(widget) && widget->isVisible()
                && (widget->focusPolicy() & Qt::TabFocus)) {
                const QWidget *outer = widget;
                while (outer->parentWidget() != pageWidget)
                    outer = outer->parentWidget();
                // A stop is named by its group on the page, a field listed on its own by itself.
                const QString name = qobject_cast<const QGroupBox *>(outer)
                        && !expected.contains(widget->objectName())
                    ? outer->objectName()
                    : widget->objectName();
                if (visited.isEmpty() || visited.last() != name)
                    visited << name;
            }
            widget = widget->nextInFocusChain();
        } while (widget != first);
        QCOMPARE(visited, expected);
    }

    // Tab leaves the order table for the next control, whatever the table holds; the arrows
    // still move between its cells.
    void tabLeavesTheOrderTable_data()
    {
        QTest::addColumn<int>("lines");
        QTest::newRow("empty order") << 0;
        QTest::newRow("three lines") << 3;
    }
    void tabLeavesTheOrderTable()
    {
        QFETCH(int, lines);
        for (int i = 0; i < lines; ++i)
            append(QStringLiteral("1"), QStringLiteral("10"));
        QTableWidget *table = orderTable();
        table->setFocus();
        if (lines > 0) {
            table->setCurrentCell(0, 0);
            QTest::keyClick(table, Qt::Key_Right);
            QCOMPARE(table->currentColumn(), 1);
            QTest::keyClick(table, Qt::Key_Down);
            QCOMPARE(table->currentRow(), 1);
        }
        QTest::keyClick(table, Qt::Key_Tab);
        QVERIFY2(QApplication::focusWidget() != table, "Tab stayed in the order table");
    }

    void secondClickTakesAChoiceBack_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("option");
        QTest::addColumn<bool>("takenBack");
        QTest::newRow("lamination") << "page"
                                    << "radioButton_145" << true;
        QTest::newRow("binding") << "page"
                                 << "radioButton_153" << true;
        QTest::newRow("creasing and folding") << "page"
                                              << "radioButton_154" << true;
        QTest::newRow("brochure binding kind") << "page_2"
                                               << "radioButton_181" << true;
        QTest::newRow("street base") << "page_3"
                                     << "radioButton_122" << true;
        QTest::newRow("a format is no extra") << "page"
                                              << "radioButton_3" << false;
    }
    void secondClickTakesAChoiceBack()
    {
        QFETCH(QString, page);
        QFETCH(QString, option);
        QFETCH(bool, takenBack);
        showPage(page);
        auto *button = find<QRadioButton>(option);
        const QLabel *live
            = find<QWidget>(page)
                  ->findChildren<QLabel *>(QRegularExpression(QStringLiteral("^labelLivePrice_")))
                  .value(0);
        QVERIFY2(live, "the page has no live price");
        const QString before = live->text();
        click(button);
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
        click(QStringLiteral("checkBox_161"));
        QVERIFY(answerAdds(1));
        const QTableWidget *table = orderTable();
        for (const int column : {0, 1, 3, 4})
            QCOMPARE(table->item(0, column)->toolTip(), table->item(0, column)->text());
        // The built-in list's price is the sample's: said after how it was priced, and marked.
        QCOMPARE(table->item(0, 2)->toolTip(),
                 window->orderLine(0).explanation + QStringLiteral("\n\n") + samplePriceWarning());
        QCOMPARE(table->item(0, 2)->background().color(), MissingPriceColour);
        QCOMPARE(table->item(0, 5)->toolTip(), QStringLiteral("Щелчок удаляет строку"));
        table->item(0, 0)->setText(QStringLiteral("исправлено"));
        QCOMPARE(table->item(0, 0)->toolTip(), QStringLiteral("исправлено"));
        // New lines come into view at the bottom of the table.
        for (int i = 0; i < 30; ++i)
            QVERIFY(answerAdds(1));
        QVERIFY2(
            table->viewport()->rect().contains(table->visualItemRect(table->item(rows() - 1, 0))),
            "the new line is out of view");
    }

    // A price or quantity that is no number is named under the table, never counted as 0.
    void totalNamesWhatIsNoNumber_data()
    {
        QTest::addColumn<QStringList>("lines"); // quantity|price
        QTest::addColumn<QString>("typedPrice"); // typed over the last line's price, if any
        QTest::addColumn<QString>("shown");
        QTest::newRow("priced") << QStringList {QStringLiteral("100|132")} << QStringLiteral("")
                                << QStringLiteral("Итого: 13 200 ₽ · строк: 1");
        QTest::newRow("a word as the price")
            << QStringList {QStringLiteral("100|132"), QStringLiteral("2|abc")}
            << QStringLiteral("")
            << QStringLiteral("Итого: не посчитать — строка 2: цена «abc» не число · строк: 2");
        QTest::newRow("typed over with a word")
            << QStringList {QStringLiteral("100|132"), QStringLiteral("2|5")}
            << QStringLiteral("abc")
            << QStringLiteral("Итого: не посчитать — строка 2: цена «abc» не число · строк: 2");
        QTest::newRow("typed over with a number again")
            << QStringList {QStringLiteral("100|132"), QStringLiteral("2|abc")}
            << QStringLiteral("5") << QStringLiteral("Итого: 13 210 ₽ · строк: 2");
        QTest::newRow("a unit in the quantity")
            << QStringList {QStringLiteral("5 шт|10")} << QStringLiteral("")
            << QStringLiteral(
                   "Итого: не посчитать — строка 1: количество «5 шт» не число · строк: 1");
        QTest::newRow("two lines")
            << QStringList {QStringLiteral("1|x"), QStringLiteral("1|10"), QStringLiteral("1|")}
            << QStringLiteral("")
            << QStringLiteral("Итого: не посчитать — строки 1, 3: цена или количество не "
                              "число · строк: 3");
        QTest::newRow("a long text cut")
            << QStringList {QStringLiteral("1|двадцать пять рублей")} << QStringLiteral("")
            << QStringLiteral(
                   "Итого: не посчитать — строка 1: цена «двадцать пять р…» не число · строк: 1");
    }
    void totalNamesWhatIsNoNumber()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, typedPrice);
        QFETCH(QString, shown);
        for (const QString &line : lines)
            append(line.section(QLatin1Char('|'), 0, 0), line.section(QLatin1Char('|'), 1));
        if (!typedPrice.isEmpty())
            orderTable()->item(rows() - 1, OrderLine::UnitPrice)->setText(typedPrice);
        QTRY_COMPARE(total(), grouped(shown));
    }

    // The controls made in code lie clear of the form's and are wide enough for their text.
    void newControlsFitTheirPlaces()
    {
        const QStringList controls
            = {QStringLiteral("page labelLivePrice_1_1 pushButtonCompare_1_1"),
               QStringLiteral("page_2 labelLivePrice_1_2 pushButtonCompare_1_2"),
               QStringLiteral("page_3 labelLivePrice_2_1 pushButtonCompare_2_1"),
               QStringLiteral("page_4 labelLivePrice_2_2 pushButtonCompare_2_2"),
               QStringLiteral("page_5 labelLivePrice_3_1"),
               QStringLiteral("centralwidget labelOrderTotal")};
        for (const QString &place : controls) {
            const QStringList names = place.split(QLatin1Char(' '));
            if (names.first() != QLatin1String("centralwidget"))
                showPage(names.first());
            QWidget *area = find<QWidget>(names.first());
            for (const QString &name : names.mid(1)) {
                auto *control = find<QWidget>(name);
                QVERIFY2(control->isVisible() && area->rect().contains(control->geometry()),
                         qPrintable(name + QStringLiteral(" is hidden or out of its place")));
                for (const QWidget *other :
                     area->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
                    QVERIFY2(other == control || !other->isVisible()
                                 || !other->geometry().intersects(control->geometry()),
                             qPrintable(name + QStringLiteral(" overlaps ") + other->objectName()));
                QVERIFY2(control->width() >= control->sizeHint().width()
                             || control->heightForWidth(control->width()) <= control->height(),
                         qPrintable(name + QStringLiteral(" is clipped")));
            }
        }
        const auto *total = find<QLabel>(QStringLiteral("labelOrderTotal"));
        QVERIFY(total->fontMetrics().horizontalAdvance(grouped(
                    QStringLiteral("Итого: 10 100 417 433 000,55 ₽ · строк: 10000")))
                <= total->width());
        const QString discounted = grouped(QStringLiteral(
            "Итого: 1 234 567,89 ₽ · скидка 12,75 %: −157 407,41 ₽ · "
            "к оплате 1 314 062,26 ₽ с НДС "
            "22 % · строк: 999"));
        QVERIFY(total->fontMetrics().horizontalAdvance(discounted) <= total->width());
    }

    void windowScrollsOnSmallScreens_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("scrolls");
        QTest::addColumn<bool>("moved"); // the controls leave their designed places
        QTest::newRow("800 x 400") << QSize(800, 400) << true << true;
        QTest::newRow("1024 x 600: the pages give up height") << QSize(1024, 600) << false << true;
        QTest::newRow("1366 x 700") << QSize(1366, 700) << false << true;
        QTest::newRow("designed 1289 x 792") << QSize(1289, 792) << false << false;
        QTest::newRow("1600 x 900") << QSize(1600, 900) << false << true;
    }
    void windowScrollsOnSmallScreens()
    {
        QFETCH(QSize, size);
        QFETCH(bool, scrolls);
        QFETCH(bool, moved);
        auto *contents = find<QWidget>(QStringLiteral("centralwidget"));
        const auto places = [contents] {
            QList<QRect> places;
            for (auto *child :
                 contents->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
                places << child->geometry();
            return places;
        };
        const QList<QRect> before = places();
        window->resize(size);
        QTRY_COMPARE(window->size(), size);
        QApplication::processEvents();
        auto *area = qobject_cast<QScrollArea *>(window->centralWidget());
        QCOMPARE(area->verticalScrollBar()->isVisible(), scrolls);
        // Nothing moves at the designed size; a larger or a shorter window moves the controls
        // (orderAreaTakesTheRoom).
        QCOMPARE(places() == before, !moved);
        auto *exportButton = find<QPushButton>(QStringLiteral("pushButton_6"));
        area->ensureWidgetVisible(exportButton); // whatever lies lowest comes into view
        const QRect shown(exportButton->mapTo(area->viewport(), QPoint()), exportButton->size());
        QVERIFY2(area->viewport()->rect().contains(shown), "\"Экспорт\" cannot be scrolled to");
    }

    // From a small laptop's screen to a maximised full-HD window: every caption fits its button,
    // the order table takes the room a larger window gives and gives up rows (then the pages
    // height) in a shorter one, the order area's controls stay clear of each other, and so does the
    // journal's "По сегодняшним ценам".
    void orderAreaTakesTheRoom_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("table");
        QTest::addColumn<QRect>("toolBox");
        QTest::addColumn<int>("tabsHeight");
        QTest::newRow("1024 x 600")
            << QSize(1024, 600) << QSize(1041, 133) << QRect(10, 4, 1251, 355) << 389;
        QTest::newRow("1366 x 768")
            << QSize(1366, 768) << QSize(1118, 219) << QRect(10, 4, 1251, 451) << 485;
        QTest::newRow("1920 x 1080 maximised")
            << QSize(1920, 1080) << QSize(1672, 519) << QRect(10, 10, 1251, 451) << 491;
    }
    void orderAreaTakesTheRoom()
    {
        QFETCH(QSize, size);
        QFETCH(QSize, table);
        QFETCH(QRect, toolBox);
        QFETCH(int, tabsHeight);
        // An order left by an earlier test is offered back: the table keeps its room for that.
        find<QWidget>(QStringLiteral("frameRestoreNotice"))->hide();
        window->appendOrderLine(QStringLiteral("строка"), QStringLiteral("1"),
                                QStringLiteral("abc"), QString(), QString(), false);
        window->resize(size);
        QTRY_COMPARE(window->size(), size);
        QApplication::processEvents();
        QCOMPARE(orderTable()->size(), table);
        QCOMPARE(find<QToolBox>(QStringLiteral("toolBox"))->geometry(), toolBox);
        QCOMPARE(find<QTabWidget>(QStringLiteral("tabWidget"))->geometry().height(), tabsHeight);
        const auto fits = [](const QPushButton *button) {
            QStyleOptionButton option;
            option.initFrom(button);
            const QRect inside
                = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            // A caption of two lines is as wide as its wider line.
            int widest = 0;
            for (const QString &line : button->text().split(QLatin1Char('\n')))
                widest = qMax(widest, button->fontMetrics().horizontalAdvance(line));
            return inside.width() >= widest;
        };
        // The notices that come and go are shown once, so that their buttons are laid out.
        const QStringList notices
            = {QStringLiteral("exportWaitNotice"), QStringLiteral("frameRestoreNotice"),
               QStringLiteral("frameStorageNotice")};
        // A build without the office has no export notice.
        for (const QString &notice : notices) {
            if (auto *shown = window->findChild<QWidget *>(notice))
                shown->show();
        }
        QApplication::processEvents();
        for (const QPushButton *button : window->findChildren<QPushButton *>()) {
            if (!button->isHidden() && !button->text().isEmpty())
                QVERIFY2(fits(button),
                         qPrintable(button->objectName() + QStringLiteral(" clips «")
                                    + button->text() + QStringLiteral("»")));
        }
        for (const QString &notice : notices) {
            if (auto *shown = window->findChild<QWidget *>(notice))
                shown->hide();
        }
        QApplication::processEvents();
        auto *contents = find<QWidget>(QStringLiteral("centralwidget"));
        const QList<QWidget *> placed
            = contents->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
        for (const QWidget *control : placed) {
            if (!control->isVisible())
                continue;
            QVERIFY2(
                contents->rect().contains(control->geometry()),
                qPrintable(control->objectName() + QStringLiteral(" reaches out of the window")));
            for (const QWidget *other : placed)
                QVERIFY2(other == control || !other->isVisible()
                             || !other->geometry().intersects(control->geometry()),
                         qPrintable(control->objectName() + QStringLiteral(" overlaps ")
                                    + other->objectName()));
        }
        click(QStringLiteral("pushButtonJournal"));
        auto *journal = window->findChild<QDialog *>();
        QVERIFY(journal);
        // As the journal opens on a screen of this size: within nine tenths of it.
        journal->resize(QSize(980, 620).boundedTo(size * 9 / 10));
        QApplication::processEvents();
        auto *today = find<QPushButton>(QStringLiteral("pushButtonTodayPrices"));
        QVERIFY2(fits(today), qPrintable(QString::number(today->width())));
    }

    // On the counters' screens, a taskbar's 40 pixels taken or not, and on a full-HD one: on every
    // page the total, the customer and "Принять заказ" are in sight without scrolling, and no
    // caption, button or field of the page or the order area lies on another.
    void everyPageFitsTheScreen_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::newRow("1366 x 728, a taskbar below") << QSize(1366, 728);
        QTest::newRow("1366 x 768") << QSize(1366, 768);
        QTest::newRow("1920 x 1080") << QSize(1920, 1080);
    }
    void everyPageFitsTheScreen()
    {
        QFETCH(QSize, screen);
        window->resize(sizeOnScreen(window, screen));
        auto *area = qobject_cast<QScrollArea *>(window->centralWidget());
        QVERIFY(area);
        const auto *tabs = find<QTabWidget>(QStringLiteral("tabWidget"));
        QWidgetList pages;
        for (int i = 0; i < tabs->count(); ++i) {
            const auto *box = tabs->widget(i)->findChild<QToolBox *>();
            for (int j = 0; box && j < box->count(); ++j)
                pages << box->widget(j);
            if (!box)
                pages << tabs->widget(i);
        }
        // What of a widget is in sight: its rectangle in the window, cut by every parent's.
        const auto shown = [this](const QWidget *widget) {
            QRect rect(widget->mapTo(window, QPoint()), widget->size());
            for (const QWidget *parent = widget->parentWidget(); parent != window;
                 parent = parent->parentWidget())
                rect &= QRect(parent->mapTo(window, QPoint()), parent->size());
            return rect;
        };
        for (QWidget *page : qAsConst(pages)) {
            showPage(page->objectName());
            QApplication::processEvents();
            QCOMPARE(area->verticalScrollBar()->value(), 0);
            for (const char *name : {"labelOrderTotal", "lineEditCustomer", "pushButtonAccept"}) {
                const auto *control = find<QWidget>(QLatin1String(name));
                QVERIFY2(shown(control).size() == control->size(),
                         qPrintable(page->objectName() + QStringLiteral(": ") + QLatin1String(name)
                                    + QStringLiteral(" is out of sight")));
            }
            QWidgetList widgets = page->findChildren<QWidget *>();
            widgets << area->widget()->findChildren<QWidget *>();
            QWidgetList placed;
            for (QWidget *widget : qAsConst(widgets))
                if ((qobject_cast<QLabel *>(widget) || qobject_cast<QAbstractButton *>(widget)
                     || qobject_cast<QLineEdit *>(widget) || qobject_cast<QGroupBox *>(widget))
                    && widget->isVisible() && !shown(widget).isEmpty()
                    && (page->isAncestorOf(widget) || !tabs->isAncestorOf(widget)))
                    placed << widget;
            for (const QWidget *one : qAsConst(placed))
                for (const QWidget *other : qAsConst(placed))
                    QVERIFY2(one == other || one->isAncestorOf(other) || other->isAncestorOf(one)
                                 || !shown(one).intersects(shown(other)),
                             qPrintable(page->objectName() + QStringLiteral(": ")
                                        + one->objectName() + QStringLiteral(" overlaps ")
                                        + other->objectName()));
        }
    }

    // At start a window larger than its screen's free area is made to fit; one that fits stays.
    void windowFitsItsScreen()
    {
        const QRect free = window->screen()->availableGeometry();
        window->resize(free.size() + QSize(300, 200));
        fitToScreen(window);
        QVERIFY2(free.contains(window->geometry()), "the window still reaches out of the screen");
        QVERIFY2(window->height() > free.height() * 9 / 10, "the window shrank more than needed");
        window->resize(free.size() / 2);
        fitToScreen(window);
        QCOMPARE(window->size(), free.size() / 2);
    }
};

QTEST_MAIN(CounterTest)
#include "test_counter.moc"
