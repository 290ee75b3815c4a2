// "Своя строка": a line typed by hand goes into the order as typed, is counted and taken back
// like any other, and on the engraving and design pages starts with what the page has chosen.
#include "dialogs/custom_line_dialog.h"
#include "order/order.h"
#include "tests/page_driver.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBox>

class CustomLineTest : public QObject, private PageDriver
{
    Q_OBJECT

    // Window shortcuts act in the active window only.
    void activate()
    {
        window->activateWindow();
        QApplication::setActiveWindow(window);
        QTRY_COMPARE(QApplication::activeWindow(), window);
    }

    CustomLineDialog *openByKey()
    {
        QTest::keyClick(window, Qt::Key_N, Qt::ControlModifier);
        auto *dialog = window->findChild<CustomLineDialog *>(QStringLiteral("CustomLineDialog"));
        return dialog && dialog->isVisible() ? dialog : nullptr;
    }

    void type(CustomLineDialog *dialog, const char *name, const QString &text)
    {
        auto *field = dialog->findChild<QLineEdit *>(QLatin1String(name));
        QVERIFY2(field, name);
        field->setFocus();
        // Key events carry Latin letters only; Cyrillic goes in as the input method puts it.
        field->insert(text);
    }

private slots:
    void initTestCase() { useDesktopFont(); }
    void init()
    {
        QVERIFY(openWindow());
        activate();
    }
    void cleanup() { closeWindow(); }

    void fieldsMakeTheLine_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("texts"); // description | quantity | price, or the problem
        QTest::newRow("as typed") << "Макет визитки"
                                  << "1"
                                  << "1500"
                                  << "Макет визитки|1|1500";
        QTest::newRow("decimal comma becomes a point") << "Вёрстка"
                                                       << "2,5"
                                                       << "99,50"
                                                       << "Вёрстка|2.5|99.50";
        QTest::newRow("blanks in the figures") << "Плёнка"
                                               << "1 000"
                                               << "1 250,5"
                                               << "Плёнка|1000|1250.5";
        QTest::newRow("no quantity: one") << "Правка"
                                          << ""
                                          << "300"
                                          << "Правка|1|300";
        QTest::newRow("blanks around the description") << "  Два   слова "
                                                       << "1"
                                                       << "1"
                                                       << "Два слова|1|1";
        QTest::newRow("no description") << " "
                                        << "1"
                                        << "10"
                                        << "Опишите работу";
        QTest::newRow("quantity zero") << "Макет"
                                       << "0"
                                       << "10"
                                       << "Количество «0» не понято";
        QTest::newRow("quantity words") << "Макет"
                                        << "пять"
                                        << "10"
                                        << "Количество «пять»";
        QTest::newRow("price missing") << "Макет"
                                       << "1"
                                       << ""
                                       << "Цена «» не понята";
        QTest::newRow("price negative") << "Макет"
                                        << "1"
                                        << "-5"
                                        << "Цена «-5» не понята";
        QTest::newRow("price too large") << "Макет"
                                         << "1"
                                         << "10000001"
                                         << "Цена «10000001»";
        QTest::newRow("sum past the largest") << "Тираж"
                                              << "10000000"
                                              << "10000"
                                              << "Сумма строки больше наибольшей возможной "
                                                 "(99\u00a0999\u00a0999\u00a0999,99 ₽)";
        QTest::newRow("sum at the largest") << "Тираж"
                                            << "9999999"
                                            << "9999,99"
                                            << "Тираж|9999999|9999.99";
        QTest::newRow("price below a kopeck") << "Макет"
                                              << "1"
                                              << "0,005"
                                              << "точнее копейки";
    }
    void fieldsMakeTheLine()
    {
        QFETCH(QString, description);
        QFETCH(QString, quantity);
        QFETCH(QString, price);
        QFETCH(QString, texts);
        QString problem;
        const OrderLine line
            = CustomLineDialog::lineFrom(QString(), description, quantity, price, &problem);
        if (!problem.isEmpty()) {
            QVERIFY2(problem.contains(texts), qPrintable(problem));
            QVERIFY(line.description.isEmpty());
            return;
        }
        QCOMPARE(line.description + QLatin1Char('|') + line.quantity + QLatin1Char('|')
                     + line.unitPrice,
                 texts);
        QVERIFY(line.explanation.contains(QStringLiteral("набрана вручную")));
    }

    // Ctrl+N, the fields, Enter: one line in the order, counted in the total, removed and
    // brought back as the others are.
    void enterAddsTheLine()
    {
        CustomLineDialog *dialog = openByKey();
        QVERIFY(dialog);
        QCOMPARE(dialog->parent(), window);
        type(dialog, "lineEditCustomDescription", QStringLiteral("Дизайн логотипа"));
        type(dialog, "lineEditCustomQuantity", QStringLiteral("2"));
        type(dialog, "lineEditCustomPrice", QStringLiteral("1234,56"));
        QTest::keyClick(dialog->findChild<QLineEdit *>(QStringLiteral("lineEditCustomPrice")),
                        Qt::Key_Return);
        QTRY_VERIFY(!window->findChild<CustomLineDialog *>());
        QCOMPARE(rows(), 1);
        const QTableWidget *table = orderTable();
        QCOMPARE(table->item(0, OrderLine::Description)->text(), QStringLiteral("Дизайн логотипа"));
        QCOMPARE(table->item(0, OrderLine::Quantity)->text(), QStringLiteral("2"));
        QCOMPARE(table->item(0, OrderLine::UnitPrice)->text(), QStringLiteral("1234.56"));
        QCOMPARE(window->order()->totals().subtotal, 2469.12);
        QTRY_VERIFY(find<QLabel>(QStringLiteral("labelOrderTotal"))
                        ->text()
                        .startsWith(QStringLiteral("Итого: 2\u00A0469,12 ₽")));
        QTest::mouseClick(find<QPushButton>(QStringLiteral("pushButton_4")), Qt::LeftButton);
        QCOMPARE(rows(), 0);
        // Outside a text field, Ctrl+Z is the order's.
        activate();
        orderTable()->setFocus();
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rows(), 1);
        QCOMPARE(window->orderLine(0).unitPrice, QStringLiteral("1234.56"));
    }

    // A wrong figure is told in the dialog itself, and nothing is added.
    void wrongFigureStaysInTheDialog()
    {
        QTest::mouseClick(find<QPushButton>(QStringLiteral("pushButtonCustomLine")),
                          Qt::LeftButton);
        auto *dialog = window->findChild<CustomLineDialog *>();
        QVERIFY(dialog && dialog->isVisible());
        type(dialog, "lineEditCustomDescription", QStringLiteral("Макет"));
        type(dialog, "lineEditCustomPrice", QStringLiteral("сто"));
        QTest::keyClick(dialog->findChild<QLineEdit *>(QStringLiteral("lineEditCustomPrice")),
                        Qt::Key_Return);
        QVERIFY(dialog->isVisible());
        QCOMPARE(rows(), 0);
        const auto *problem = dialog->findChild<QLabel *>(QStringLiteral("labelCustomProblem"));
        QVERIFY2(problem->isVisible() && problem->text().contains(QStringLiteral("«сто»")),
                 qPrintable(problem->text()));
    }

    void pageChoicesStartTheDescription_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("toolPage");
        QTest::addColumn<QString>("starts");
        QTest::newRow("design") << 3 << -1 << "Дизайн";
        QTest::newRow("engraving") << 2 << 1 << "Гравировка";
        QTest::newRow("sheet products: as typed") << 0 << 0 << "Макет";
    }
    void pageChoicesStartTheDescription()
    {
        QFETCH(int, tab);
        QFETCH(int, toolPage);
        QFETCH(QString, starts);
        auto *tabs = find<QTabWidget>(QStringLiteral("tabWidget"));
        tabs->setCurrentIndex(tab);
        if (toolPage >= 0)
            tabs->currentWidget()->findChild<QToolBox *>()->setCurrentIndex(toolPage);
        CustomLineDialog *dialog = openByKey();
        QVERIFY(dialog);
        type(dialog, "lineEditCustomDescription", QStringLiteral("Макет"));
        type(dialog, "lineEditCustomPrice", QStringLiteral("500"));
        QTest::keyClick(dialog->findChild<QLineEdit *>(QStringLiteral("lineEditCustomPrice")),
                        Qt::Key_Return);
        QCOMPARE(rows(), 1);
        const QString description = window->orderLine(0).description;
        QVERIFY2(description.startsWith(starts), qPrintable(description));
        QVERIFY2(description.endsWith(QStringLiteral("Макет")), qPrintable(description));
    }

    // The design page's ticked services: one line each, each with the price typed for it; a
    // slip in one keeps them all in the dialog.
    void designServicesEachALine_data()
    {
        QTest::addColumn<QString>("ticked"); // the boxes' names
        QTest::addColumn<QString>("prices"); // typed in the lines' order, ";" between
        QTest::addColumn<QString>("lines"); // description|quantity|price, a line each
        QTest::addColumn<QString>("problem");
        QTest::newRow("two services")
            << "checkBox_124 checkBox_120"
            << "500;1200,50"
            << "Дизайн — Макет визитки|1|500\nДизайн — Макет листовки|1|1200.50"
            << "";
        QTest::newRow("a price missing") << "checkBox_120 checkBox_124"
                                         << "500;"
                                         << ""
                                         << "«Макет листовки»: Цена «» не понята";
    }
    void designServicesEachALine()
    {
        QFETCH(QString, ticked);
        QFETCH(QString, prices);
        QFETCH(QString, lines);
        QFETCH(QString, problem);
        find<QTabWidget>(QStringLiteral("tabWidget"))->setCurrentIndex(3);
        for (const QString &name : ticked.split(QLatin1Char(' ')))
            find<QAbstractButton>(name)->setChecked(true);
        CustomLineDialog *dialog = openByKey();
        QVERIFY(dialog);
        const QStringList typed = prices.split(QLatin1Char(';'));
        for (int row = 0; row < typed.size(); ++row)
            type(dialog, qPrintable(QStringLiteral("lineEditServicePrice%1").arg(row + 1)),
                 typed.at(row));
        QTest::keyClick(dialog->findChild<QLineEdit *>(QStringLiteral("lineEditServicePrice1")),
                        Qt::Key_Return);
        QStringList added;
        for (int row = 0; row < rows(); ++row) {
            const OrderLine line = window->orderLine(row);
            added << QStringList {line.description, line.quantity, line.unitPrice}.join(
                QLatin1Char('|'));
        }
        QCOMPARE(added.join(QLatin1Char('\n')), lines);
        const auto *told = dialog->findChild<QLabel *>(QStringLiteral("labelCustomProblem"));
        QCOMPARE(told->text().left(problem.size()), problem);
        QCOMPARE(dialog->isVisible(), !problem.isEmpty());
    }
};

QTEST_MAIN(CustomLineTest)
#include "test_custom_line.moc"
