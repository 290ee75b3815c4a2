// The "Уличная" page driven as the operator does: choices clicked, sizes and counts typed, "Ответ"
// pressed, the order line read back from the table.
#include "tests/page_driver.h"

#include <QCheckBox>

namespace {
const QString untouchedTitles = QStringLiteral(
    "Размер Качество печати Материал Тип плёнки Основа Постпечатка Размер карманов ");
}

class StreetTest : public QObject, private PageDriver
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startState();
    void untouchedAnswer();
    void printPrice_data();
    void printPrice();
    void filmAndBase();
    void postPressCaptionsAndEyelets();
    void pocketSum_data();
    void pocketSum();
    void checkingHidesItsField_data();
    void checkingHidesItsField();
    void clearedBoxKeepsItsFieldHidden();
    void secondAnswerWithoutExtras();
    void validators_data();
    void validators();
    void fieldsWithoutValidator();
    void standSizeSlot();
    void pageIsTidy();
};

void StreetTest::initTestCase()
{
    useDesktopFont();
}

void StreetTest::init()
{
    QVERIFY(openWindow());
    answerButton = QStringLiteral("pushButton_12");
    showPage(QStringLiteral("page_3"));
}

void StreetTest::cleanup()
{
    closeWindow();
}

void StreetTest::startState()
{
    QVERIFY2(checkedButtons(find<QWidget>(QStringLiteral("page_3"))).isEmpty(),
             qPrintable(
                 checkedButtons(find<QWidget>(QStringLiteral("page_3"))).join(QStringLiteral(", "))
                 + QStringLiteral(" checked at start")));
    QCOMPARE(find<QLineEdit>(QStringLiteral("lineEdit_14"))->text(), QStringLiteral("1"));
    QCOMPARE(find<QLineEdit>(QStringLiteral("lineEditWidth_4"))->text(), QStringLiteral("1"));
    for (const char *count :
         {"lineEdit_3", "lineEdit_4", "lineEdit_5", "lineEdit_6", "lineEdit_7", "lineEdit_8",
          "lineEdit_23", "lineEdit_24", "lineEdit_25", "lineEdit_26"}) {
        QVERIFY2(find<QLineEdit>(QLatin1String(count))->text().isEmpty(), count);
        QVERIFY2(find<QLineEdit>(QLatin1String(count))->isVisible(), count);
    }
    QVERIFY(find<QGroupBox>(QStringLiteral("groupBoxSizeInfStend"))->isVisible());
    // The nesting decides what the option-group sums see.
    QCOMPARE(find<QGroupBox>(QStringLiteral("groupBox_8"))->parentWidget(),
             find<QWidget>(QStringLiteral("checkboxGroupStreet_2")));
    QCOMPARE(find<QGroupBox>(QStringLiteral("checkboxGroupStreet_3"))->parentWidget(),
             find<QWidget>(QStringLiteral("groupBox_9")));
    QCOMPARE(find<QGroupBox>(QStringLiteral("groupBoxSizeInfStend"))->parentWidget(),
             find<QWidget>(QStringLiteral("checkboxGroupStreet_3")));
    QCOMPARE(find<QCheckBox>(QStringLiteral("checkBox_57"))->parentWidget(),
             find<QWidget>(QStringLiteral("groupBox_8")));
}

void StreetTest::untouchedAnswer()
{
    QCOMPARE(
        answerLine(),
        (TableRow {QStringLiteral("Другой; Другой; ; ; "), QStringLiteral("1"), QStringLiteral("0"),
                   QStringLiteral("значение=12111100"), untouchedTitles, Marker::None}));
}

void StreetTest::printPrice_data()
{
    QTest::addColumn<QString>("material");
    QTest::addColumn<QString>("quality");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("captions");

    const QString film = QStringLiteral("Самоклеющаяся плёнка");
    QTest::newRow("film 360 dpi 1000 x 2000")
        << QStringLiteral("radioButton_11") << QStringLiteral("radioButton_112")
        << QStringLiteral("1000") << QStringLiteral("2000") << QString()
        << QStringLiteral("121111109") << QStringLiteral("540000")
        << film + QStringLiteral("; 360 dpi");
    QTest::newRow("film 360 dpi 1000 x 2000 on plastic 2 mm")
        << QStringLiteral("radioButton_11") << QStringLiteral("radioButton_112")
        << QStringLiteral("1000") << QStringLiteral("2000") << QStringLiteral("radioButton_122")
        << QStringLiteral("121111109") << QStringLiteral("5.40001e+07")
        << film + QStringLiteral("; 360 dpiПластик 2 мм.");
    QTest::newRow("width without height")
        << QStringLiteral("radioButton_11") << QStringLiteral("radioButton_112")
        << QStringLiteral("1000") << QString() << QString() << QStringLiteral("121111109")
        << QStringLiteral("0") << film + QStringLiteral("; 360 dpi");
    QTest::newRow("height without width")
        << QStringLiteral("radioButton_11") << QStringLiteral("radioButton_112") << QString()
        << QStringLiteral("2000") << QString() << QStringLiteral("121111109") << QStringLiteral("0")
        << film + QStringLiteral("; 360 dpi");
    QTest::newRow("mesh at 540 dpi has no price") << "radioButton_21"
                                                  << "radioButton_113"
                                                  << "1000"
                                                  << "1000" << QString() << "1211111610"
                                                  << "0"
                                                  << "Баннерная сетка; 540 dpi";
    QTest::newRow("mesh at 360 dpi") << "radioButton_21"
                                     << "radioButton_112"
                                     << "1000"
                                     << "1000" << QString() << "121111169"
                                     << "315000"
                                     << "Баннерная сетка; 360 dpi";
    QTest::newRow("wide-format 720 dpi")
        << QStringLiteral("radioButton_11") << QStringLiteral("radioButton_114")
        << QStringLiteral("1000") << QStringLiteral("1000") << QString()
        << QStringLiteral("1211111011") << QStringLiteral("315000")
        << film + QStringLiteral("; 720 dpi");
    QTest::newRow("interior 720 dpi")
        << QStringLiteral("radioButton_11") << QStringLiteral("radioButton_115")
        << QStringLiteral("1000") << QStringLiteral("1000") << QString()
        << QStringLiteral("1211111013") << QStringLiteral("300000")
        << film + QStringLiteral("; 720 dpi");
    QTest::newRow("canvas 1140 dpi, small print on foam board 4 mm")
        << "radioButton_39"
        << "radioButton_121"
        << "100"
        << "30"
        << "radioButton_129"
        << "1211112414"
        << "150241"
        << "Холст; 1140 dpiПенокартон 4 мм.";
    QTest::newRow("base alone, no material") << QString() << "radioButton_112"
                                             << "1000"
                                             << "1000"
                                             << "radioButton_123"
                                             << "12111109"
                                             << "50"
                                             << "; 360 dpiПластик 4 мм.";
}

void StreetTest::printPrice()
{
    QFETCH(QString, material);
    QFETCH(QString, quality);
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QString, base);
    QFETCH(QString, key);
    QFETCH(QString, price);
    QFETCH(QString, captions);

    for (const QString &button : {material, quality, base}) {
        if (!button.isEmpty())
            click(button);
    }
    type(QStringLiteral("lineEditWidthStreet"), width);
    type(QStringLiteral("lineEditHeightStreet"), height);
    type(QStringLiteral("lineEdit_14"), QStringLiteral("25"));

    const TableRow line = answerLine();
    QCOMPARE(line.keyText, QStringLiteral("значение=") + key);
    QCOMPARE(line.price, price);
    QCOMPARE(line.description,
             QStringLiteral("Другой; Другой; ") + captions + QStringLiteral("; "));
    QVERIFY2(line.quantity == QStringLiteral("25"),
             "the quantity goes to its own column, unpriced");
    QCOMPARE(line.titles, untouchedTitles);
}

void StreetTest::filmAndBase()
{
    click(QStringLiteral("radioButton_11"));
    click(QStringLiteral("radioButton_112"));
    type(QStringLiteral("lineEditWidthStreet"), QStringLiteral("1000"));
    type(QStringLiteral("lineEditHeightStreet"), QStringLiteral("1000"));
    click(QStringLiteral("checkBox_40"));
    click(QStringLiteral("radioButton_127"));

    const TableRow line = answerLine();
    // The base multiplies the print (1000 x 52 x 270) and is charged once more (52).
    QCOMPARE(line.price, QStringLiteral("1.40401e+07"));
    QCOMPARE(line.description,
             QStringLiteral("Другой; Другой; Самоклеющаяся плёнка; 360 dpi; ГлянцеваяКомпозит; "));

    QVERIFY2(!find<QCheckBox>(QStringLiteral("checkBox_40"))->isChecked(),
             "the film finish is cleared");
    QVERIFY2(!find<QRadioButton>(QStringLiteral("radioButton_127"))->isChecked(),
             "the base is cleared");
    QVERIFY2(find<QRadioButton>(QStringLiteral("radioButton_11"))->isChecked(),
             "the material stays");
    QVERIFY2(find<QRadioButton>(QStringLiteral("radioButton_112"))->isChecked(),
             "the quality stays");
    QCOMPARE(find<QLineEdit>(QStringLiteral("lineEditWidthStreet"))->text(),
             QStringLiteral("1000"));

    // The cleared base group still takes exactly one choice.
    click(QStringLiteral("radioButton_128"));
    click(QStringLiteral("radioButton_122"));
    QVERIFY(find<QRadioButton>(QStringLiteral("radioButton_122"))->isChecked());
    QVERIFY(!find<QRadioButton>(QStringLiteral("radioButton_128"))->isChecked());
}

void StreetTest::postPressCaptionsAndEyelets()
{
    click(QStringLiteral("checkBox_56"));
    click(QStringLiteral("checkBox_50"));
    // The eyelets are for the operator's notes only: neither priced nor described.
    click(QStringLiteral("checkBox_57"));
    type(QStringLiteral("lineEditWidth_4"), QStringLiteral("12"));

    const TableRow line = answerLine();
    QCOMPARE(line.price, QStringLiteral("120"));
    QCOMPARE(line.description, QStringLiteral("Другой; Другой; ; ; ; Проклейка; Монтаж"));
    QVERIFY2(!find<QCheckBox>(QStringLiteral("checkBox_50"))->isChecked()
                 && !find<QCheckBox>(QStringLiteral("checkBox_56"))->isChecked(),
             "post-press is cleared after the answer");
    QVERIFY2(find<QCheckBox>(QStringLiteral("checkBox_57"))->isChecked(),
             "the eyelet choice stays");
    QCOMPARE(find<QLineEdit>(QStringLiteral("lineEditWidth_4"))->text(), QStringLiteral("12"));
}

void StreetTest::pocketSum_data()
{
    QTest::addColumn<QString>("a4Count");
    QTest::addColumn<QString>("cardCount");
    QTest::addColumn<QString>("price");

    QTest::newRow("A4 x 3, business cards empty") << "3" << QString() << "60";
    QTest::newRow("A4 x 3, business cards x 2") << "3"
                                                << "2"
                                                << "160";
    QTest::newRow("negative A4 count") << "-5" << QString() << "0";
    QTest::newRow("negative card count beside A4 x 3") << "3"
                                                       << "-2"
                                                       << "60";
    QTest::newRow("letters") << "abc"
                             << "2"
                             << "100";
    QTest::newRow("inf") << "inf" << QString() << "0";
    QTest::newRow("minus inf") << "-inf"
                               << "1"
                               << "50";
    QTest::newRow("nan") << "nan" << QString() << "0";
    QTest::newRow("overflowing 1e999") << "1e999" << QString() << "0";
}

void StreetTest::pocketSum()
{
    QFETCH(QString, a4Count);
    QFETCH(QString, cardCount);
    QFETCH(QString, price);

    // Counts are typed before the box is checked, since checking hides the field.
    type(QStringLiteral("lineEdit_4"), a4Count);
    type(QStringLiteral("lineEdit_7"), cardCount);
    type(QStringLiteral("lineEdit_3"),
         QStringLiteral("7")); // А3 stays unchecked: its count must not count
    click(QStringLiteral("checkBox_60"));
    click(QStringLiteral("checkBox_63"));
    QVERIFY2(find<QLineEdit>(QStringLiteral("lineEdit_4"))->isHidden(),
             "checking the pocket hides its count");

    const TableRow line = answerLine();
    QCOMPARE(line.price, price);
    QVERIFY2(!line.price.contains(QLatin1String("inf"))
                 && !line.price.contains(QLatin1String("nan")),
             qPrintable(QStringLiteral("price text ") + line.price));
    // Pockets are not described: their group's captions are never direct children of groupBox_9.
    QCOMPARE(line.description, QStringLiteral("Другой; Другой; ; ; "));
    QVERIFY2(find<QCheckBox>(QStringLiteral("checkBox_60"))->isChecked(),
             "pocket choices stay after the answer");
    QCOMPARE(find<QLineEdit>(QStringLiteral("lineEdit_4"))->text(), a4Count);
}

void StreetTest::checkingHidesItsField_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("unit");

    QTest::newRow("А3") << "checkBox_59"
                        << "lineEdit_3"
                        << "label_39";
    QTest::newRow("А4") << "checkBox_60"
                        << "lineEdit_4"
                        << "label_40";
    QTest::newRow("А5") << "checkBox_61"
                        << "lineEdit_5"
                        << "label_41";
    QTest::newRow("А6") << "checkBox_62"
                        << "lineEdit_6"
                        << "label_42";
    QTest::newRow("Визитки") << "checkBox_63"
                             << "lineEdit_7"
                             << "label_43";
    QTest::newRow("Другой") << "checkBox_64"
                            << "lineEdit_8"
                            << "label_44";
    QTest::newRow("Проклейка") << "checkBox_50"
                               << "lineEdit_23"
                               << "label_49";
    QTest::newRow("Прошивка") << "checkBox_51"
                              << "lineEdit_25"
                              << "label_62";
    QTest::newRow("Проклейка карманов") << "checkBox_53"
                                        << "lineEdit_24"
                                        << "label_64";
    QTest::newRow("Прошивка карманов") << "checkBox_54"
                                       << "lineEdit_26"
                                       << "label_65";
}

void StreetTest::checkingHidesItsField()
{
    QFETCH(QString, box);
    QFETCH(QString, field);
    QFETCH(QString, unit);

    auto *fieldWidget = find<QLineEdit>(field);
    auto *unitLabel = find<QLabel>(unit);
    QVERIFY(fieldWidget->isVisible() && unitLabel->isVisible());
    click(box);
    QVERIFY2(find<QCheckBox>(box)->isChecked(), "the click checks the box");
    QVERIFY2(fieldWidget->isHidden() && unitLabel->isHidden(), "checking hides field and unit");
    click(box);
    QVERIFY2(!fieldWidget->isHidden() && !unitLabel->isHidden(), "unchecking shows them again");
}

void StreetTest::clearedBoxKeepsItsFieldHidden()
{
    click(QStringLiteral("checkBox_50"));
    QVERIFY(answerAdds(1));
    QVERIFY(!find<QCheckBox>(QStringLiteral("checkBox_50"))->isChecked());
    QVERIFY2(find<QLineEdit>(QStringLiteral("lineEdit_23"))->isHidden()
                 && find<QLabel>(QStringLiteral("label_49"))->isHidden(),
             "clearing the box from the program does not show its field");
}

void StreetTest::secondAnswerWithoutExtras()
{
    click(QStringLiteral("checkBox_41"));
    click(QStringLiteral("checkBox_52"));
    click(QStringLiteral("radioButton_122"));
    const TableRow first = answerLine();
    QCOMPARE(first.price, QStringLiteral("160"));
    QCOMPARE(first.description,
             QStringLiteral("Другой; Другой; ; ; МатоваяПластик 2 мм.; ; Перфорация"));
    const TableRow second = answerLine();
    QCOMPARE(second.price, QStringLiteral("0"));
    QCOMPARE(second.description, QStringLiteral("Другой; Другой; ; ; "));
    QCOMPARE(find<QTableWidget>(QStringLiteral("tableWidget"))->rowCount(), 2);
}

void StreetTest::validators_data()
{
    QTest::addColumn<QString>("field");
    for (const char *name : {"lineEditWidthStreet", "lineEditHeightStreet", "lineEditWidth_6",
                             "lineEditHeight_5", "lineEdit_14", "lineEditWidth_4"})
        QTest::newRow(name) << name;
}

void StreetTest::validators()
{
    QFETCH(QString, field);
    QVERIFY(intValidator(field));

    QCOMPARE(shownAfterTyping(field, QStringLiteral("-12")), QStringLiteral("12"));
    QCOMPARE(shownAfterTyping(field, QStringLiteral("4x5")), QStringLiteral("45"));
    QCOMPARE(shownAfterTyping(field, QStringLiteral("100500")), QStringLiteral("100500"));
    QCOMPARE(shownAfterTyping(field, QStringLiteral("1005009")), QStringLiteral("100500"));
    QCOMPARE(shownAfterTyping(field, QStringLiteral("100501")), QStringLiteral("10050"));
}

void StreetTest::fieldsWithoutValidator()
{
    for (const char *name :
         {"lineEdit_3", "lineEdit_4", "lineEdit_5", "lineEdit_6", "lineEdit_7", "lineEdit_8",
          "lineEdit_23", "lineEdit_24", "lineEdit_25", "lineEdit_26"}) {
        QVERIFY2(!find<QLineEdit>(QLatin1String(name))->validator(), name);
        QCOMPARE(shownAfterTyping(QLatin1String(name), QStringLiteral("-5")), QStringLiteral("-5"));
    }
}

void StreetTest::standSizeSlot()
{
    // Nothing connects the slot: the stand size stays on view whatever is clicked.
    auto *size = find<QGroupBox>(QStringLiteral("groupBoxSizeInfStend"));
    for (const QString &box : {QStringLiteral("checkBox_59"), QStringLiteral("checkBox_64"),
                               QStringLiteral("checkBox_50")})
        click(box);
    QVERIFY(size->isVisible());

    type(QStringLiteral("lineEditWidth_6"), QStringLiteral("600"));
    type(QStringLiteral("lineEditHeight_5"), QStringLiteral("900"));
    QVERIFY(QMetaObject::invokeMethod(window, "page2_1_showDim", Q_ARG(bool, false)));
    QVERIFY(size->isHidden());
    QVERIFY(find<QLineEdit>(QStringLiteral("lineEditWidth_6"))->text().isEmpty());
    QVERIFY(find<QLineEdit>(QStringLiteral("lineEditHeight_5"))->text().isEmpty());
    QVERIFY(QMetaObject::invokeMethod(window, "page2_1_showDim", Q_ARG(bool, true)));
    QVERIFY(!size->isHidden());
}

void StreetTest::pageIsTidy()
{
    for (const QString &box : {QStringLiteral("checkBox_59"), QStringLiteral("checkBox_50")})
        click(box); // with some fields hidden the page must hold together as well
    verifyTidy(find<QWidget>(QStringLiteral("page_3")));
}

QTEST_MAIN(StreetTest)
#include "test_street.moc"
