// The "Брошюры" page driven through its widgets: cover and inner sheets, extras, sizes and tiers.
#include "tests/page_driver.h"

namespace {
const QString StandardTitles = QStringLiteral(
    "Формат Формат Цветность внутри Тип бумаги Плотность (гр./м2) Цветность Обложки Тип бумаги "
    "Плотность (гр./м2) Ламинация вутриБрошюровкаШелкография внутриПрочиеПереплет");
const QString StartUpDescription
    = QStringLiteral("А6 (105х148 мм.); Формат 1+0; Простая; 80; 1+0; Простая; 80; ; ; ; ");
const QStringList KeyGroups
    = {QStringLiteral("groupBoxBroshFormat"),      QStringLiteral("groupBoxBroshInnerColor"),
       QStringLiteral("groupBoxBroshInnerType"),   QStringLiteral("groupBoxBroshInnerDensity"),
       QStringLiteral("groupBoxBroshOuterColor"),  QStringLiteral("groupBoxBroshOuterType"),
       QStringLiteral("groupBoxBroshOuterDensity")};
const QStringList ExtrasGroups
    = {QStringLiteral("checkboxGroupBrosh_4"), QStringLiteral("checkboxGroupBrosh_1"),
       QStringLiteral("checkboxGroupBrosh_5"), QStringLiteral("checkboxGroupBrosh"),
       QStringLiteral("checkboxGroupBrosh_6"), QStringLiteral("checkboxGroupBrosh_2"),
       QStringLiteral("checkboxGroupBrosh_3")};
} // namespace

class BrochuresTest : public QObject, private PageDriver
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(openWindow());
        answerButton = QStringLiteral("pushButton_2");
        showPage(QStringLiteral("page_2"));
    }

    void cleanup() { closeWindow(); }

    void pageAtStart()
    {
        for (const QString &group : KeyGroups) {
            const QStringList checked = checkedOptions(group);
            QVERIFY2(checked.size() == 1,
                     qPrintable(group + QStringLiteral(" has no single choice at start")));
            // The first option of each group, in child order, is the default.
            const auto buttons = find<QGroupBox>(group)->findChildren<QRadioButton *>(
                QString(), Qt::FindDirectChildrenOnly);
            QCOMPARE(checked.first(), buttons.first()->objectName());
        }
        for (const QString &group : ExtrasGroups)
            QVERIFY2(checkedOptions(group).isEmpty(), qPrintable(group));
        auto *sizeGroup = find<QGroupBox>(QStringLiteral("groupBoxBroshSize"));
        QCOMPARE(sizeGroup->parentWidget(), find<QGroupBox>(QStringLiteral("groupBoxBroshFormat")));
        QVERIFY2(sizeGroup->isHidden(), "the custom size shows before \"Другой\" is chosen");
        QCOMPARE(find<QLineEdit>(QStringLiteral("lineEdit_10"))->text(), QStringLiteral("1"));
        QCOMPARE(find<QLineEdit>(QStringLiteral("lineEdit_21"))->text(), QStringLiteral("1"));
        QCOMPARE(find<QLabel>(QStringLiteral("label_7"))->text(), QStringLiteral("Кол-во"));
        QCOMPARE(find<QLabel>(QStringLiteral("label_58"))->text(),
                 QStringLiteral("Кол-во листов внутри"));
        QCOMPARE(find<QPushButton>(QStringLiteral("pushButton_2"))->text(),
                 QStringLiteral("Ответ"));
        auto *line = find<QFrame>(QStringLiteral("line_3"));
        QCOMPARE(line->geometry(), QRect(590, 10, 20, 371));
        QCOMPARE(line->frameShape(), QFrame::VLine);
        QCOMPARE(line->frameShadow(), QFrame::Sunken);
        verifyPlacedByHand(find<QWidget>(QStringLiteral("page_2")), QSize(1251, 397));
    }

    void startUpLine()
    {
        QVERIFY(answerAdds(1));
        QCOMPARE(orderLine(0),
                 (TableRow {StartUpDescription, QStringLiteral("1"), QStringLiteral("3"),
                            QStringLiteral("значение=010000"), StandardTitles, Marker::None}));
    }

    void job_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("innerSheets");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("keyText");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("description");

        QTest::newRow("A4, 10 matte sheets inside, glossy cover, stapled, laminated: 194")
            << QStringList {QStringLiteral("radioButton_95"),  QStringLiteral("radioButton_117"),
                            QStringLiteral("radioButton_141"), QStringLiteral("radioButton_164"),
                            QStringLiteral("radioButton_419"), QStringLiteral("radioButton_441"),
                            QStringLiteral("radioButton_467"), QStringLiteral("radioButton_180"),
                            QStringLiteral("radioButton_186")}
            << QStringLiteral("10") << QStringLiteral("20") << QStringLiteral("значение=012436")
            << QStringLiteral("194")
            << QStringLiteral(
                   "А4 (210х297 мм.); Формат 1+1; Матовая; 120; 4+4; Глянцевая; 300На скрепке; ; "
                   "30 мкм Глянцевая; ; ");
        QTest::newRow("five inner sheets") << QStringList {} << "5"
                                           << "1"
                                           << "значение=010000"
                                           << "9" << StartUpDescription;
        QTest::newRow("no inner sheets: cover only") << QStringList {} << "0"
                                                     << "1"
                                                     << "значение=010000"
                                                     << "1.5" << StartUpDescription;
        QTest::newRow("empty inner sheets and quantity: cover only") << QStringList {} << ""
                                                                     << ""
                                                                     << "значение=010000"
                                                                     << "1.5" << StartUpDescription;
        QTest::newRow("two \"Прочие\" in child order, clicked backwards")
            << QStringList {QStringLiteral("checkBox_13"), QStringLiteral("checkBox_17")}
            << QStringLiteral("1") << QStringLiteral("1") << QStringLiteral("значение=010000")
            << QStringLiteral("34")
            << StartUpDescription + QStringLiteral("; Обрезка углов 4 шт.; Обрезка по изображению");
        QTest::newRow("both varnishes on both sides")
            << QStringList {QStringLiteral("checkBox_16"), QStringLiteral("checkBox_14"),
                            QStringLiteral("checkBox_19"), QStringLiteral("checkBox_18")}
            << QStringLiteral("1") << QStringLiteral("1") << QStringLiteral("значение=010000")
            << QStringLiteral("53")
            << StartUpDescription + QStringLiteral("; 1+0 лак; 0+1 лак; 0+1 лак; 1+0 лак");
        QTest::newRow("binding kind, binding and both laminations")
            << QStringList {QStringLiteral("radioButton_179"), QStringLiteral("radioButton_175"),
                            QStringLiteral("radioButton_189"), QStringLiteral("radioButton_169"),
                            QStringLiteral("checkBox_15")}
            << QStringLiteral("1") << QStringLiteral("1") << QStringLiteral("значение=010000")
            << QStringLiteral("180")
            << QStringLiteral("А6 (105х148 мм.); Формат 1+0; Простая; 80; 1+0; Простая; 80Клеевой; "
                              "Пластик до 50 стр.; 250 мкм Глянцевая; 30 мкм Глянцевая; ; Биг");
    }

    void job()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, innerSheets);
        QFETCH(QString, quantity);
        QFETCH(QString, keyText);
        QFETCH(QString, price);
        QFETCH(QString, description);

        clickAll(options);
        type(QStringLiteral("lineEdit_21"), innerSheets);
        type(QStringLiteral("lineEdit_10"), quantity);
        QVERIFY(answerAdds(1));

        const QString quantityText = quantity.isEmpty() ? QStringLiteral("0") : quantity;
        QCOMPARE(
            orderLine(0),
            (TableRow {description, quantityText, price, keyText, StandardTitles, Marker::None}));
        verifyAnswerReset(ExtrasGroups, KeyGroups, options);
        QCOMPARE(find<QLineEdit>(QStringLiteral("lineEdit_21"))->text(), innerSheets);
        QCOMPARE(find<QLineEdit>(QStringLiteral("lineEdit_10"))->text(), quantity);

        click(QStringLiteral("radioButton_181"));
        click(QStringLiteral("radioButton_179"));
        QCOMPARE(checkedOptions(QStringLiteral("checkboxGroupBrosh_4")),
                 QStringList {QStringLiteral("radioButton_179")});
    }

    void customSize()
    {
        auto *sizeGroup = find<QGroupBox>(QStringLiteral("groupBoxBroshSize"));
        click(QStringLiteral("radioButtonOtherBrosh"));
        QVERIFY2(sizeGroup->isVisible(), "\"Другой\" does not show the size fields");
        type(QStringLiteral("lineEditWidthBrosh"), QStringLiteral("100"));
        type(QStringLiteral("lineEditHeightBrosh"), QStringLiteral("200"));
        type(QStringLiteral("lineEdit_21"), QStringLiteral("4"));
        QVERIFY(answerAdds(1));
        const TableRow line = orderLine(0);
        QCOMPARE(line.keyText, QStringLiteral("значение=0115000"));
        QCOMPARE(line.price, QStringLiteral("1000"));
        QCOMPARE(line.description,
                 QStringLiteral("Другой; 100x200 1+0; Простая; 80; 1+0; Простая; 80; ; ; ; "));
        QCOMPARE(line.titles, QString(StandardTitles).replace(0, 6, QStringLiteral("100x200")));

        click(QStringLiteral("radioButton_94"));
        QVERIFY2(sizeGroup->isHidden(), "leaving \"Другой\" keeps the size fields shown");
        QCOMPARE(find<QLineEdit>(QStringLiteral("lineEditWidthBrosh"))->text(), QString());
        QCOMPARE(find<QLineEdit>(QStringLiteral("lineEditHeightBrosh"))->text(), QString());
        click(QStringLiteral("radioButtonOtherBrosh"));
        QVERIFY(sizeGroup->isVisible());
        QCOMPARE(find<QLineEdit>(QStringLiteral("lineEditWidthBrosh"))->text(), QString());
    }

    void quantityTiers_data()
    {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("tierKeyText"); // empty: no second line
        QTest::addColumn<QString>("tierPrice");
        QTest::addColumn<QString>("tierDescription");

        QTest::newRow("499") << "499" << QStringList {} << ""
                             << ""
                             << "";
        QTest::newRow("500") << "500" << QStringList {} << "значение=510000"
                             << "20" << StartUpDescription;
        QTest::newRow("999") << "999" << QStringList {} << "значение=510000"
                             << "20" << StartUpDescription;
        QTest::newRow("1000") << "1000" << QStringList {} << "значение=610000"
                              << "40" << StartUpDescription;
        QTest::newRow("3000") << "3000" << QStringList {} << "значение=610000"
                              << "40" << StartUpDescription;
        QTest::newRow("3001") << "3001" << QStringList {} << ""
                              << ""
                              << "";
        QTest::newRow("500 with extras: the tier line comes after they were cleared")
            << QStringLiteral("500")
            << QStringList {QStringLiteral("radioButton_181"), QStringLiteral("checkBox_15")}
            << QStringLiteral("значение=510000") << QStringLiteral("20") << StartUpDescription;
        QTest::newRow("1000 in A4: the tier has no A4 price")
            << QStringLiteral("1000") << QStringList {QStringLiteral("radioButton_95")}
            << QStringLiteral("значение=612000") << QStringLiteral("0")
            << QStringLiteral(
                   "А4 (210х297 мм.); Формат 1+0; Простая; 80; 1+0; Простая; 80; ; ; ; ");
    }

    void quantityTiers()
    {
        QFETCH(QString, quantity);
        QFETCH(QStringList, options);
        QFETCH(QString, tierKeyText);
        QFETCH(QString, tierPrice);
        QFETCH(QString, tierDescription);

        clickAll(options);
        type(QStringLiteral("lineEdit_10"), quantity);
        QVERIFY(answerAdds(tierKeyText.isEmpty() ? 1 : 2));
        QVERIFY2(orderLine(0).keyText.startsWith(QStringLiteral("значение=01")),
                 "the first line is not the brochure price");
        if (tierKeyText.isEmpty())
            return;

        QCOMPARE(orderLine(1),
                 (TableRow {tierDescription, quantity, tierPrice, tierKeyText, StandardTitles,
                            Marker::None}));
    }

    void validators_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("top");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");

        QTest::newRow("inner sheets refuse 1001") << "lineEdit_21" << 1000 << "1001"
                                                  << "100";
        QTest::newRow("inner sheets take 1000") << "lineEdit_21" << 1000 << "1000"
                                                << "1000";
        QTest::newRow("inner sheets refuse a minus sign") << "lineEdit_21" << 1000 << "-7"
                                                          << "7";
        QTest::newRow("inner sheets refuse 5000") << "lineEdit_21" << 1000 << "5000"
                                                  << "500";
        QTest::newRow("inner sheets refuse a decimal point") << "lineEdit_21" << 1000 << "2.5"
                                                             << "25";
        for (const char *field : {"lineEdit_10", "lineEditWidthBrosh", "lineEditHeightBrosh"}) {
            const QString name = QString::fromLatin1(field);
            QTest::addRow("%s refuses a minus sign", field) << name << 100500 << "-5"
                                                            << "5";
            QTest::addRow("%s refuses letters", field) << name << 100500 << "x1y2"
                                                       << "12";
            QTest::addRow("%s refuses more than 100500", field) << name << 100500 << "100501"
                                                                << "10050";
        }
    }

    void validators()
    {
        QFETCH(QString, field);
        QFETCH(int, top);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        click(QStringLiteral("radioButtonOtherBrosh")); // shows the size fields
        QCOMPARE(shownAfterTyping(field, typed), kept);
        const QIntValidator *validator = intValidator(field);
        QVERIFY(validator);
        QCOMPARE(validator->bottom(), 0);
        QCOMPARE(validator->top(), top);
    }
};

QTEST_MAIN(BrochuresTest)
#include "test_brochures.moc"
