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
    showPage(QStringLiteral("tab_2"));
    QTRY_VERIFY(find<QWidget>(QStringLiteral("page_4"))->isVisible());
}

void InteriorTest::cleanup()
{
    closeWindow();
}

void InteriorTest::startState()
{
    QCOMPARE(find<QToolBox>(QStringLiteral("toolBox_2"))->currentWidget(),
             find<QWidget>(QStringLiteral("page_4")));
    QCOMPARE(checkedButtons(find<QWidget>(QStringLiteral("page_4"))),
             QStringList {QStringLiteral("radioButton_34")});
    QVERIFY2(find<QGroupBox>(QStringLiteral("groupBoxIntererSize"))->isHidden(),
             "the custom size starts hidden");
    QCOMPARE(find<QGroupBox>(QStringLiteral("groupBoxIntererSize"))->parentWidget(),
             find<QWidget>(QStringLiteral("groupBoxIntererFormat")));
    QCOMPARE(find<QLineEdit>(QStringLiteral("lineEdit_12"))->text(), QStringLiteral("1"));
}

void InteriorTest::untouchedAnswer()
{
    QCOMPARE(answerLine(),
             (TableRow {QStringLiteral("; Формат 1+0; ; "), QStringLiteral("1"),
                        QStringLiteral("0"), QStringLiteral("значение=130000"),
                        QStringLiteral("Формат ") + groupTitles, Marker::None}));
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
        << QStringList {QStringLiteral("radioButton_15"), QStringLiteral("radioButton_40"),
                        QStringLiteral("radioButton_45")}
        << QString() << QString() << QStringLiteral("135000") << QStringLiteral("0.03")
        << QStringLiteral("А2 (420х594 мм.); Формат 1+0; Простая; 80") << QStringLiteral("Формат");
    QTest::newRow("A0 fill 100 % self-adhesive 200")
        << QStringList {QStringLiteral("radioButton_17"), QStringLiteral("radioButton_38"),
                        QStringLiteral("radioButton_43"), QStringLiteral("radioButton_58")}
        << QString() << QString() << QStringLiteral("137774") << QStringLiteral("0.05")
        << QStringLiteral("А0 (841х1189 мм.); Формат Заливка 100 %; Самоклеющаяся; 200")
        << QStringLiteral("Формат");
    QTest::newRow("A1 1+0 matte 120")
        << QStringList {QStringLiteral("radioButton_16"), QStringLiteral("radioButton_41"),
                        QStringLiteral("radioButton_46")}
        << QString() << QString() << QStringLiteral("136022") << QStringLiteral("0.05")
        << QStringLiteral("А1 (594х841 мм.); Формат 1+0; Матовая; 120") << QStringLiteral("Формат");
    QTest::newRow("custom 1000 x 1000")
        << QStringList {QStringLiteral("radioButtonOtherInterer"), QStringLiteral("radioButton_40"),
                        QStringLiteral("radioButton_45")}
        << QStringLiteral("1000") << QStringLiteral("1000") << QStringLiteral("1312000")
        << QStringLiteral("30000") << QStringLiteral("Другой; 1000x1000 1+0; Простая; 80")
        << QStringLiteral("1000x1000");
    QTest::newRow("custom 500 x 300, fill 50 %")
        << QStringList {QStringLiteral("radioButtonOtherInterer"), QStringLiteral("radioButton_37"),
                        QStringLiteral("radioButton_42"), QStringLiteral("radioButton_58")}
        << QStringLiteral("500") << QStringLiteral("300") << QStringLiteral("1312634")
        << QStringLiteral("6000") << QStringLiteral("Другой; 500x300 Заливка 50 %; Глянцевая; 200")
        << QStringLiteral("500x300");
    QTest::newRow("custom size left empty")
        << QStringList {QStringLiteral("radioButtonOtherInterer"), QStringLiteral("radioButton_40"),
                        QStringLiteral("radioButton_45")}
        << QString() << QString() << QStringLiteral("1312000") << QStringLiteral("0")
        << QStringLiteral("Другой; x 1+0; Простая; 80") << QStringLiteral("x");
    QTest::newRow("custom width only")
        << QStringList {QStringLiteral("radioButtonOtherInterer"), QStringLiteral("radioButton_40"),
                        QStringLiteral("radioButton_45")}
        << QStringLiteral("1000") << QString() << QStringLiteral("1312000") << QStringLiteral("0")
        << QStringLiteral("Другой; 1000x 1+0; Простая; 80") << QStringLiteral("1000x");
    QTest::newRow("4+0 is never priced")
        << QStringList {QStringLiteral("radioButton_15"), QStringLiteral("radioButton_35"),
                        QStringLiteral("radioButton_40"), QStringLiteral("radioButton_45")}
        << QString() << QString() << QStringLiteral("135200") << QStringLiteral("0")
        << QStringLiteral("А2 (420х594 мм.); Формат 4+0; Простая; 80") << QStringLiteral("Формат");
    QTest::newRow("4+0 custom size")
        << QStringList {QStringLiteral("radioButtonOtherInterer"), QStringLiteral("radioButton_35"),
                        QStringLiteral("radioButton_43"), QStringLiteral("radioButton_46")}
        << QStringLiteral("1000") << QStringLiteral("1000") << QStringLiteral("1312272")
        << QStringLiteral("0") << QStringLiteral("Другой; 1000x1000 4+0; Самоклеющаяся; 120")
        << QStringLiteral("1000x1000");
    QTest::newRow("plain paper at 120 has no price")
        << QStringList {QStringLiteral("radioButton_16"), QStringLiteral("radioButton_40"),
                        QStringLiteral("radioButton_46")}
        << QString() << QString() << QStringLiteral("136002") << QStringLiteral("0")
        << QStringLiteral("А1 (594х841 мм.); Формат 1+0; Простая; 120") << QStringLiteral("Формат");
    QTest::newRow("no format chosen")
        << QStringList {QStringLiteral("radioButton_40"), QStringLiteral("radioButton_45")}
        << QString() << QString() << QStringLiteral("130000") << QStringLiteral("0")
        << QStringLiteral("; Формат 1+0; Простая; 80") << QStringLiteral("Формат");
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
    if (find<QRadioButton>(QStringLiteral("radioButtonOtherInterer"))->isChecked()) {
        type(QStringLiteral("lineEditWidthInterer"), width);
        type(QStringLiteral("lineEditHeightInterer"), height);
    }
    type(QStringLiteral("lineEdit_12"), QStringLiteral("40"));

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
    auto *size = find<QGroupBox>(QStringLiteral("groupBoxIntererSize"));
    click(QStringLiteral("radioButtonOtherInterer"));
    QVERIFY2(size->isVisible(), "\"Другой\" shows the size fields");
    type(QStringLiteral("lineEditWidthInterer"), QStringLiteral("700"));
    type(QStringLiteral("lineEditHeightInterer"), QStringLiteral("500"));
    click(QStringLiteral("radioButton_16"));
    QVERIFY2(size->isHidden(), "a standard sheet hides the size fields");
    QVERIFY2(find<QLineEdit>(QStringLiteral("lineEditWidthInterer"))->text().isEmpty()
                 && find<QLineEdit>(QStringLiteral("lineEditHeightInterer"))->text().isEmpty(),
             "a standard sheet empties the size fields");
    click(QStringLiteral("radioButtonOtherInterer"));
    QVERIFY(size->isVisible());
    QVERIFY(find<QLineEdit>(QStringLiteral("lineEditWidthInterer"))->text().isEmpty());
}

void InteriorTest::extrasAddedAndCleared()
{
    for (const QString &button :
         {QStringLiteral("radioButton_15"), QStringLiteral("radioButton_40"),
          QStringLiteral("radioButton_45")})
        click(button);
    click(QStringLiteral("checkBox_71"));
    const TableRow first = answerLine();
    QCOMPARE(first.price, QStringLiteral("100500")); // 100500.03 in six digits
    QCOMPARE(first.description,
             QStringLiteral("А2 (420х594 мм.); Формат 1+0; Простая; 80; Пластик 4 мм."));
    QVERIFY2(!find<QCheckBox>(QStringLiteral("checkBox_71"))->isChecked(),
             "the base is cleared after the answer");
    QVERIFY2(find<QRadioButton>(QStringLiteral("radioButton_15"))->isChecked()
                 && find<QRadioButton>(QStringLiteral("radioButton_40"))->isChecked()
                 && find<QRadioButton>(QStringLiteral("radioButton_45"))->isChecked(),
             "the key choices stay");

    const TableRow second = answerLine();
    QCOMPARE(second.price, QStringLiteral("0.03"));
    QCOMPARE(find<QTableWidget>(QStringLiteral("tableWidget"))->rowCount(), 2);
}

void InteriorTest::extrasInGroupOrder()
{
    // One box of each group, clicked in reverse: the captions follow the groups' order.
    for (const QString &box : {QStringLiteral("checkBox_152"), QStringLiteral("checkBox_112"),
                               QStringLiteral("checkBox_88"), QStringLiteral("checkBox_81"),
                               QStringLiteral("checkBox_70")})
        click(box);
    const TableRow line = answerLine();
    QCOMPARE(line.price, QStringLiteral("49"));
    QCOMPARE(line.description,
             QStringLiteral("; Формат 1+0; ; ; Пластик 2 мм.; А0; Метал до 20 стр.; "
                            "250 мкм Матовая; Обрезка углов 4 шт."));
    const auto boxes = find<QWidget>(QStringLiteral("page_4"))->findChildren<QCheckBox *>();
    for (const QCheckBox *box : boxes)
        QVERIFY2(!box->isChecked(),
                 qPrintable(box->objectName() + QStringLiteral(" is left checked")));
}

void InteriorTest::otherWorksInChildOrder()
{
    // On the form the boxes stand bottom-up...
    const int cornersY = find<QCheckBox>(QStringLiteral("checkBox_152"))->y();
    const int foilY = find<QCheckBox>(QStringLiteral("checkBox_148"))->y();
    const int outlineY = find<QCheckBox>(QStringLiteral("checkBox_107"))->y();
    QVERIFY2(cornersY < foilY && foilY < outlineY,
             "\"Обрезка углов 4 шт.\" stands at the top, \"Обрезка по изображению\" at the bottom");

    // ...while their captions follow the child order.
    click(QStringLiteral("checkBox_152"));
    click(QStringLiteral("checkBox_107"));
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
    click(QStringLiteral("radioButtonOtherInterer"));
    QVERIFY(intValidator(field));

    QCOMPARE(shownAfterTyping(field, QStringLiteral("-12")), QStringLiteral("12"));
    QCOMPARE(shownAfterTyping(field, QStringLiteral("7.5e3")), QStringLiteral("753"));
    QCOMPARE(shownAfterTyping(field, QStringLiteral("1005009")), QStringLiteral("100500"));
    QCOMPARE(shownAfterTyping(field, QStringLiteral("100501")), QStringLiteral("10050"));
}

void InteriorTest::pageIsTidy()
{
    verifyTidy(find<QWidget>(QStringLiteral("page_4")));
    if (QTest::currentTestFailed())
        return;
    click(QStringLiteral("radioButtonOtherInterer"));
    QVERIFY(find<QGroupBox>(QStringLiteral("groupBoxIntererSize"))->isVisible());
    verifyTidy(find<QWidget>(QStringLiteral("page_4")));
}

QTEST_MAIN(InteriorTest)
#include "test_interior.moc"
