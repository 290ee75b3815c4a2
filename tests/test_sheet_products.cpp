// The "Листовая продукция" page driven through its widgets: lines, extras, sizes and tiers.
#include "tests/page_driver.h"

namespace {
const QString StandardTitles = QStringLiteral(
    "Формат Цветность Плотность (гр./м2) Тип Бумаги Ламинация Брошюровка Шелкография "
    "Биговка / Фальцовка Прочие работы ");
const QStringList ExtrasGroups
    = {QStringLiteral("checkboxGroupList"), QStringLiteral("checkboxGroupList_1"),
       QStringLiteral("checkboxGroupList_2"), QStringLiteral("checkboxGroupList_3"),
       QStringLiteral("checkboxGroupList_4")};
const QStringList KeyGroups
    = {QStringLiteral("groupBoxListFormat"), QStringLiteral("groupBoxListColor"),
       QStringLiteral("groupBoxListType"), QStringLiteral("groupBoxListDensity")};
} // namespace

class SheetProductsTest : public QObject, private PageDriver
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(openWindow());
        answerButton = QStringLiteral("pushButton");
        QCOMPARE(find<QToolBox>(QStringLiteral("toolBox"))->currentIndex(), 0);
    }

    void cleanup() { closeWindow(); }

    void pageAtStart()
    {
        for (const QString &name :
             {QStringLiteral("radioButton"), QStringLiteral("radioButton_24"),
              QStringLiteral("radioButton_47"), QStringLiteral("radioButton_70")})
            QVERIFY2(find<QRadioButton>(name)->isChecked(), qPrintable(name));
        for (const QString &group : ExtrasGroups)
            QVERIFY2(checkedOptions(group).isEmpty(), qPrintable(group));
        auto *sizeGroup = find<QGroupBox>(QStringLiteral("groupBoxListSize"));
        QCOMPARE(sizeGroup->parentWidget(), find<QGroupBox>(QStringLiteral("groupBoxListFormat")));
        QVERIFY2(sizeGroup->isHidden(), "the custom size shows before \"Другой\" is chosen");
        QCOMPARE(find<QLineEdit>(QStringLiteral("lineEdit"))->text(), QStringLiteral("1"));
        QCOMPARE(find<QLabel>(QStringLiteral("label_6"))->text(), QStringLiteral("Кол-во"));
        QCOMPARE(find<QPushButton>(QStringLiteral("pushButton"))->text(), QStringLiteral("Ответ"));
        for (int i = 0; i < 4; ++i) {
            auto *creasing = find<QRadioButton>(QStringLiteral("radioButton_%1").arg(154 + i));
            QCOMPARE(creasing->text(), QStringLiteral("Биговка / Фальцовка"));
            QCOMPARE(creasing->iconSize(), QSize(75, 75));
        }
        auto *line = find<QFrame>(QStringLiteral("line_2"));
        QCOMPARE(line->geometry(), QRect(580, 10, 41, 381));
        QCOMPARE(line->frameShape(), QFrame::VLine);
        QCOMPARE(line->frameShadow(), QFrame::Sunken);
        verifyPlacedByHand(find<QWidget>(QStringLiteral("page")), QSize(1251, 397));
    }

    void startUpLine()
    {
        QVERIFY(answerAdds(1));
        QCOMPARE(orderLine(0),
                 (TableRow {QStringLiteral("А6 (105х148 мм.); Формат 1+0; Простая; 80; ; ; "),
                            QStringLiteral("1"), QStringLiteral("1.5"),
                            QStringLiteral("значение=000000"), StandardTitles, Marker::Red}));
    }

    void job_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("keyText");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("description");

        QTest::newRow("A4 4+4 matte 350 with varnish and corner cutting")
            << QStringList {QStringLiteral("radioButton_3"),  QStringLiteral("radioButton_28"),
                            QStringLiteral("radioButton_49"), QStringLiteral("radioButton_78"),
                            QStringLiteral("checkBox_161"),   QStringLiteral("checkBox_34")}
            << QStringLiteral("100") << QStringLiteral("значение=002428") << QStringLiteral("132")
            << QStringLiteral("А4 (210х297 мм.); Формат 4+4; Матовая; 350; ; ; 1+0 лак; ; Обрезка "
                              "углов 4 шт.");
        QTest::newRow("euro business card, seven-character key")
            << QStringList {QStringLiteral("radioButton_8")} << QStringLiteral("1")
            << QStringLiteral("значение=0010000") << QStringLiteral("2")
            << QStringLiteral("Визитки евро (85х55 мм.); Формат 1+0; Простая; 80; ; ; ");
        QTest::newRow("SRA3 4+4 synthetic 350")
            << QStringList {QStringLiteral("radioButton_5"), QStringLiteral("radioButton_28"),
                            QStringLiteral("radioButton_55"), QStringLiteral("radioButton_78")}
            << QStringLiteral("10") << QStringLiteral("значение=004488") << QStringLiteral("97")
            << QStringLiteral("SRA3 (320х450 мм.); Формат 4+4; Синтетическая; 350; ; ; ");
        QTest::newRow("lamination, binding and creasing together")
            << QStringList {QStringLiteral("radioButton_134"), QStringLiteral("radioButton_147"),
                            QStringLiteral("radioButton_156")}
            << QStringLiteral("1") << QStringLiteral("значение=000000") << QStringLiteral("161.5")
            << QStringLiteral("А6 (105х148 мм.); Формат 1+0; Простая; 80175 мкм Глянцевая; Пластик "
                              "до 50 стр.; "
                              "Биговка / Фальцовка; ");
        QTest::newRow("other works in child order, clicked backwards")
            << QStringList {QStringLiteral("checkBox_28"), QStringLiteral("checkBox_27")}
            << QStringLiteral("1") << QStringLiteral("значение=000000") << QStringLiteral("1133.5")
            << QStringLiteral(
                   "А6 (105х148 мм.); Формат 1+0; Простая; 80; ; ; ; Обрезка по изображению; "
                   "Тиснение фольгой");
        QTest::newRow("both varnishes")
            << QStringList {QStringLiteral("checkBox_162"), QStringLiteral("checkBox_161")}
            << QStringLiteral("1") << QStringLiteral("значение=000000") << QStringLiteral("77.5")
            << QStringLiteral("А6 (105х148 мм.); Формат 1+0; Простая; 80; ; ; 1+0 лак; 0+1 лак; ");
        QTest::newRow("business cards on self-adhesive paper: no price, extras only")
            << QStringList {QStringLiteral("radioButton_7"), QStringLiteral("radioButton_54"),
                            QStringLiteral("checkBox_34")}
            << QStringLiteral("50") << QStringLiteral("значение=009070") << QStringLiteral("23")
            << QStringLiteral(
                   "Визитки (90х50 мм.); Формат 1+0; Самоклеющаяся; 80; ; ; ; Обрезка углов 4 шт.");
        QTest::newRow("empty quantity still prices")
            << QStringList {} << ""
            << "значение=000000"
            << "1.5"
            << "А6 (105х148 мм.); Формат 1+0; Простая; 80; ; ; ";
    }

    void job()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, quantity);
        QFETCH(QString, keyText);
        QFETCH(QString, price);
        QFETCH(QString, description);

        clickAll(options);
        type(QStringLiteral("lineEdit"), quantity);
        QVERIFY(answerAdds(1));

        const QString quantityText = quantity.isEmpty() ? QStringLiteral("0") : quantity;
        QCOMPARE(
            orderLine(0),
            (TableRow {description, quantityText, price, keyText, StandardTitles, Marker::Red}));
        verifyAnswerReset(ExtrasGroups, KeyGroups, options);
        QCOMPARE(find<QLineEdit>(QStringLiteral("lineEdit"))->text(), quantity);

        // The cleared groups take a new choice with a single click.
        click(QStringLiteral("radioButton_132"));
        click(QStringLiteral("radioButton_133"));
        QCOMPARE(checkedOptions(QStringLiteral("checkboxGroupList")),
                 QStringList {QStringLiteral("radioButton_133")});
    }

    void sharedFormatCodes_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("sharing");
        QTest::newRow("envelopes price as euro leaflets") << "radioButton_6"
                                                          << "radioButton_9";
        QTest::newRow("bags price as business cards") << "radioButton_7"
                                                      << "radioButton_10";
    }

    void sharedFormatCodes()
    {
        QFETCH(QString, format);
        QFETCH(QString, sharing);
        click(format);
        QVERIFY(answerAdds(1));
        click(sharing);
        QVERIFY(answerAdds(1));
        const TableRow first = orderLine(0);
        const TableRow second = orderLine(1);
        QCOMPARE(second.keyText, first.keyText);
        QCOMPARE(second.price, first.price);
        QVERIFY2(first.price != QStringLiteral("0"), "the shared key finds no price");
        QVERIFY2(second.description != first.description, "both lines name the same format");
    }

    void customSize()
    {
        auto *sizeGroup = find<QGroupBox>(QStringLiteral("groupBoxListSize"));
        click(QStringLiteral("radioButtonOther"));
        QVERIFY2(sizeGroup->isVisible(), "\"Другой\" does not show the size fields");
        type(QStringLiteral("lineEditWidth"), QStringLiteral("100"));
        type(QStringLiteral("lineEditHeight"), QStringLiteral("200"));
        QVERIFY(answerAdds(1));
        TableRow line = orderLine(0);
        QCOMPARE(line.keyText, QStringLiteral("значение=0015000"));
        QCOMPARE(line.price, QStringLiteral("200"));
        QCOMPARE(line.description, QStringLiteral("Другой; 100x200 1+0; Простая; 80; ; ; "));
        QCOMPARE(
            line.titles,
            QString(StandardTitles).replace(QStringLiteral("Формат"), QStringLiteral("100x200")));

        // The same size on coloured print matches no key: only the extras are priced.
        click(QStringLiteral("radioButton_28"));
        click(QStringLiteral("checkBox_34"));
        QVERIFY(answerAdds(1));
        line = orderLine(1);
        QCOMPARE(line.keyText, QStringLiteral("значение=0015400"));
        QCOMPARE(line.price, QStringLiteral("23"));

        click(QStringLiteral("radioButton_2"));
        QVERIFY2(sizeGroup->isHidden(), "leaving \"Другой\" keeps the size fields shown");
        QCOMPARE(find<QLineEdit>(QStringLiteral("lineEditWidth"))->text(), QString());
        QCOMPARE(find<QLineEdit>(QStringLiteral("lineEditHeight"))->text(), QString());

        // Back on QStringLiteral("Другой") with no size typed: a size factor of 0, the line is
        // still appended.
        click(QStringLiteral("radioButton_24"));
        click(QStringLiteral("radioButtonOther"));
        QVERIFY(sizeGroup->isVisible());
        QVERIFY(answerAdds(1));
        line = orderLine(2);
        QCOMPARE(line.price, QStringLiteral("0"));
        QCOMPARE(line.description, QStringLiteral("Другой; x 1+0; Простая; 80; ; ; "));
    }

    void quantityTiers_data()
    {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("tierKeyText"); // empty: no second line
        QTest::addColumn<QString>("tierPrice");
        QTest::addColumn<QString>("tierDescription");

        const QString plainA6 = QStringLiteral("А6 (105х148 мм.); Формат 1+0; Простая; 80; ; ; ");
        QTest::newRow("499") << "499" << QStringList {} << ""
                             << ""
                             << "";
        QTest::newRow("500") << "500" << QStringList {} << "значение=500000"
                             << "10" << plainA6;
        QTest::newRow("999") << "999" << QStringList {} << "значение=500000"
                             << "10" << plainA6;
        QTest::newRow("1000") << "1000" << QStringList {} << "значение=600000"
                              << "20" << plainA6;
        QTest::newRow("3000") << "3000" << QStringList {} << "значение=600000"
                              << "20" << plainA6;
        QTest::newRow("3001") << "3001" << QStringList {} << ""
                              << ""
                              << "";
        QTest::newRow("500 with extras: the tier line comes after they were cleared")
            << QStringLiteral("500")
            << QStringList {QStringLiteral("checkBox_34"), QStringLiteral("radioButton_132")}
            << QStringLiteral("значение=500000") << QStringLiteral("10") << plainA6;
        QTest::newRow("1000 of A4: the tier has no A4 price")
            << QStringLiteral("1000") << QStringList {QStringLiteral("radioButton_3")}
            << QStringLiteral("значение=602000") << QStringLiteral("0")
            << QStringLiteral("А4 (210х297 мм.); Формат 1+0; Простая; 80; ; ; ");
    }

    void quantityTiers()
    {
        QFETCH(QString, quantity);
        QFETCH(QStringList, options);
        QFETCH(QString, tierKeyText);
        QFETCH(QString, tierPrice);
        QFETCH(QString, tierDescription);

        clickAll(options);
        type(QStringLiteral("lineEdit"), quantity);
        QVERIFY(answerAdds(tierKeyText.isEmpty() ? 1 : 2));
        QVERIFY2(orderLine(0).keyText.startsWith(QStringLiteral("значение=00")),
                 "the first line is not the sheet price");
        if (tierKeyText.isEmpty())
            return;

        QCOMPARE(orderLine(1),
                 (TableRow {tierDescription, quantity, tierPrice, tierKeyText, StandardTitles,
                            Marker::Red}));
    }

    void validators_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");

        for (const char *field : {"lineEdit", "lineEditWidth", "lineEditHeight"}) {
            const QString name = QString::fromLatin1(field);
            QTest::addRow("%s refuses a minus sign", field) << name << "-5"
                                                            << "5";
            QTest::addRow("%s refuses letters", field) << name << "1a2b"
                                                       << "12";
            QTest::addRow("%s refuses group separators", field) << name << "1,000"
                                                                << "1000";
            QTest::addRow("%s refuses more than 100500", field) << name << "100501"
                                                                << "10050";
            QTest::addRow("%s takes 100500", field) << name << "100500"
                                                    << "100500";
        }
    }

    void validators()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        click(QStringLiteral("radioButtonOther")); // shows the size fields
        QCOMPARE(shownAfterTyping(field, typed), kept);
        const QIntValidator *validator = intValidator(field);
        QVERIFY(validator);
        QCOMPARE(validator->bottom(), 0);
        QCOMPARE(validator->top(), 100500);
        for (const QString &other : {QStringLiteral("lineEdit"), QStringLiteral("lineEditWidth"),
                                     QStringLiteral("lineEditHeight")})
            if (field != other)
                QVERIFY2(find<QLineEdit>(other)->validator() != validator,
                         "two fields share one validator");
    }
};

QTEST_MAIN(SheetProductsTest)
#include "test_sheet_products.moc"
