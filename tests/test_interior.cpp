// The "Интерьерная" page driven as the operator does: sheet or custom size, colouring, paper and
// extras clicked, "Ответ" pressed, the order line read back from the table.
#include "tests/page_driver.h"

#include <QCheckBox>

namespace {
const QString groupTitles = QStringLiteral("Формат Цветность Тип бумаги Плотность бумаги гр./м2 "
                                           "Основа Фальцовка Брошюровка Ламинация Прочие работы ");
}

class InteriorTest : public QObject, private PageDriver
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startState();
    void untouchedAnswer();
    void sheetPrice_data();
    void sheetPrice();
    void customSizeShowsAndEmpties();
    void extrasAddedAndCleared();
    void extrasInGroupOrder();
    void otherWorksInChildOrder();
    void validators_data();
    void validators();
    void pageIsTidy();
};

void InteriorTest::initTestCase()
{
    useDesktopFont();
}

void InteriorTest::init()
{
    QVERIFY(openWindow());
    answerButton = QStringLiteral("pushButton_9");
    // Only the tab: the tool box must open on this page by itself.
    showPage("tab_2");
    QTRY_VERIFY(find<QWidget>("page_4")->isVisible());
}

void InteriorTest::cleanup()
{
    closeWindow();
}

void InteriorTest::startState()
{
    QCOMPARE(find<QToolBox>("toolBox_2")->currentWidget(), find<QWidget>("page_4"));
    QCOMPARE(checkedButtons(find<QWidget>("page_4")), QStringList {"radioButton_34"});
    QVERIFY2(find<QGroupBox>("groupBoxIntererSize")->isHidden(), "the custom size starts hidden");
    QCOMPARE(find<QGroupBox>("groupBoxIntererSize")->parentWidget(),
             find<QWidget>("groupBoxIntererFormat"));
    QCOMPARE(find<QLineEdit>("lineEdit_12")->text(), QStringLiteral("1"));
}

void InteriorTest::untouchedAnswer()
{
    QCOMPARE(answerLine(),
             (TableRow {"; Формат 1+0; ; ", "1", "0", "значение=130000", "Формат " + groupTitles,
                        Marker::None}));
}

void InteriorTest::sheetPrice_data()
{
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("sizeText");

    QTest::newRow("A2 1+0 plain 80")
        << QStringList {"radioButton_15", "radioButton_40", "radioButton_45"} << QString()
        << QString() << "135000"
        << "0.03"
        << "А2 (420х594 мм.); Формат 1+0; Простая; 80"
        << "Формат";
    QTest::newRow("A0 fill 100 % self-adhesive 200")
        << QStringList {"radioButton_17", "radioButton_38", "radioButton_43", "radioButton_58"}
        << QString() << QString() << "137774"
        << "0.05"
        << "А0 (841х1189 мм.); Формат Заливка 100 %; Самоклеющаяся; 200"
        << "Формат";
    QTest::newRow("A1 1+0 matte 120")
        << QStringList {"radioButton_16", "radioButton_41", "radioButton_46"} << QString()
        << QString() << "136022"
        << "0.05"
        << "А1 (594х841 мм.); Формат 1+0; Матовая; 120"
        << "Формат";
    QTest::newRow("custom 1000 x 1000")
        << QStringList {"radioButtonOtherInterer", "radioButton_40", "radioButton_45"} << "1000"
        << "1000"
        << "1312000"
        << "30000"
        << "Другой; 1000x1000 1+0; Простая; 80"
        << "1000x1000";
    QTest::newRow("custom 500 x 300, fill 50 %")
        << QStringList {"radioButtonOtherInterer", "radioButton_37", "radioButton_42",
                        "radioButton_58"}
        << "500"
        << "300"
        << "1312634"
        << "6000"
        << "Другой; 500x300 Заливка 50 %; Глянцевая; 200"
        << "500x300";
    QTest::newRow("custom size left empty")
        << QStringList {"radioButtonOtherInterer", "radioButton_40", "radioButton_45"} << QString()
        << QString() << "1312000"
        << "0"
        << "Другой; x 1+0; Простая; 80"
        << "x";
    QTest::newRow("custom width only")
        << QStringList {"radioButtonOtherInterer", "radioButton_40", "radioButton_45"} << "1000"
        << QString() << "1312000"
        << "0"
        << "Другой; 1000x 1+0; Простая; 80"
        << "1000x";
    QTest::newRow("4+0 is never priced")
        << QStringList {"radioButton_15", "radioButton_35", "radioButton_40", "radioButton_45"}
        << QString() << QString() << "135200"
        << "0"
        << "А2 (420х594 мм.); Формат 4+0; Простая; 80"
        << "Формат";
    QTest::newRow("4+0 custom size") << QStringList {"radioButtonOtherInterer", "radioButton_35",
                                                     "radioButton_43", "radioButton_46"}
                                     << "1000"
                                     << "1000"
                                     << "1312272"
                                     << "0"
                                     << "Другой; 1000x1000 4+0; Самоклеющаяся; 120"
                                     << "1000x1000";
    QTest::newRow("plain paper at 120 has no price")
        << QStringList {"radioButton_16", "radioButton_40", "radioButton_46"} << QString()
        << QString() << "136002"
        << "0"
        << "А1 (594х841 мм.); Формат 1+0; Простая; 120"
        << "Формат";
    QTest::newRow("no format chosen")
        << QStringList {"radioButton_40", "radioButton_45"} << QString() << QString() << "130000"
        << "0"
        << "; Формат 1+0; Простая; 80"
        << "Формат";
}

void InteriorTest::sheetPrice()
{
    QFETCH(QStringList, buttons);
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QString, key);
    QFETCH(QString, price);
    QFETCH(QString, description);
    QFETCH(QString, sizeText);

    for (const QString &button : buttons)
        click(button);
    if (find<QRadioButton>("radioButtonOtherInterer")->isChecked()) {
        type("lineEditWidthInterer", width);
        type("lineEditHeightInterer", height);
    }
    type("lineEdit_12", "40");

    const TableRow line = answerLine();
    QCOMPARE(line.keyText, QStringLiteral("значение=") + key);
    QCOMPARE(line.price, price);
    QCOMPARE(line.description, description);
    QCOMPARE(line.titles, sizeText + QLatin1Char(' ') + groupTitles);
    QVERIFY2(line.quantity == QStringLiteral("40"),
             "the quantity goes to its own column, unpriced");
}

void InteriorTest::customSizeShowsAndEmpties()
{
    auto *size = find<QGroupBox>("groupBoxIntererSize");
    click("radioButtonOtherInterer");
    QVERIFY2(size->isVisible(), "\"Другой\" shows the size fields");
    type("lineEditWidthInterer", "700");
    type("lineEditHeightInterer", "500");
    click("radioButton_16");
    QVERIFY2(size->isHidden(), "a standard sheet hides the size fields");
    QVERIFY2(find<QLineEdit>("lineEditWidthInterer")->text().isEmpty()
                 && find<QLineEdit>("lineEditHeightInterer")->text().isEmpty(),
             "a standard sheet empties the size fields");
    click("radioButtonOtherInterer");
    QVERIFY(size->isVisible());
    QVERIFY(find<QLineEdit>("lineEditWidthInterer")->text().isEmpty());
}

void InteriorTest::extrasAddedAndCleared()
{
    for (const char *button : {"radioButton_15", "radioButton_40", "radioButton_45"})
        click(button);
    click("checkBox_71");
    const TableRow first = answerLine();
    QCOMPARE(first.price, QStringLiteral("100500")); // 100500.03 in six digits
    QCOMPARE(first.description,
             QStringLiteral("А2 (420х594 мм.); Формат 1+0; Простая; 80; Пластик 4 мм."));
    QVERIFY2(!find<QCheckBox>("checkBox_71")->isChecked(), "the base is cleared after the answer");
    QVERIFY2(find<QRadioButton>("radioButton_15")->isChecked()
                 && find<QRadioButton>("radioButton_40")->isChecked()
                 && find<QRadioButton>("radioButton_45")->isChecked(),
             "the key choices stay");

    const TableRow second = answerLine();
    QCOMPARE(second.price, QStringLiteral("0.03"));
    QCOMPARE(find<QTableWidget>("tableWidget")->rowCount(), 2);
}

void InteriorTest::extrasInGroupOrder()
{
    // One box of each group, clicked in reverse: the captions follow the groups' order.
    for (const char *box :
         {"checkBox_152", "checkBox_112", "checkBox_88", "checkBox_81", "checkBox_70"})
        click(box);
    const TableRow line = answerLine();
    QCOMPARE(line.price, QStringLiteral("49"));
    QCOMPARE(line.description,
             QStringLiteral("; Формат 1+0; ; ; Пластик 2 мм.; А0; Метал до 20 стр.; "
                            "250 мкм Матовая; Обрезка углов 4 шт."));
    const auto boxes = find<QWidget>("page_4")->findChildren<QCheckBox *>();
    for (const QCheckBox *box : boxes)
        QVERIFY2(!box->isChecked(), qPrintable(box->objectName() + " is left checked"));
}

void InteriorTest::otherWorksInChildOrder()
{
    // On the form the boxes stand bottom-up...
    const int cornersY = find<QCheckBox>("checkBox_152")->y();
    const int foilY = find<QCheckBox>("checkBox_148")->y();
    const int outlineY = find<QCheckBox>("checkBox_107")->y();
    QVERIFY2(cornersY < foilY && foilY < outlineY,
             "\"Обрезка углов 4 шт.\" stands at the top, \"Обрезка по изображению\" at the bottom");

    // ...while their captions follow the child order.
    click("checkBox_152");
    click("checkBox_107");
    const TableRow line = answerLine();
    QCOMPARE(line.price, QStringLiteral("26"));
    QVERIFY2(
        line.description.endsWith(QStringLiteral("; Обрезка по изображению; Обрезка углов 4 шт.")),
        qPrintable(line.description));
}

void InteriorTest::validators_data()
{
    QTest::addColumn<QString>("field");
    for (const char *name : {"lineEditWidthInterer", "lineEditHeightInterer", "lineEdit_12"})
        QTest::newRow(name) << name;
}

void InteriorTest::validators()
{
    QFETCH(QString, field);
    click("radioButtonOtherInterer");
    QVERIFY(intValidator(field));

    QCOMPARE(shownAfterTyping(field, "-12"), QStringLiteral("12"));
    QCOMPARE(shownAfterTyping(field, "7.5e3"), QStringLiteral("753"));
    QCOMPARE(shownAfterTyping(field, "1005009"), QStringLiteral("100500"));
    QCOMPARE(shownAfterTyping(field, "100501"), QStringLiteral("10050"));
}

void InteriorTest::pageIsTidy()
{
    verifyTidy(find<QWidget>("page_4"));
    if (QTest::currentTestFailed())
        return;
    click("radioButtonOtherInterer");
    QVERIFY(find<QGroupBox>("groupBoxIntererSize")->isVisible());
    verifyTidy(find<QWidget>("page_4"));
}

QTEST_MAIN(InteriorTest)
#include "test_interior.moc"
