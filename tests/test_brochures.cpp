// The "Брошюры" page driven through its widgets: cover and inner sheets, extras, sizes and tiers.
#include "laser_page.h"

#include "app/mainwindow.h"

#include <QIntValidator>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBox>
#include <QtTest>

namespace {
const QString StandardTitles = QStringLiteral(
    "Формат Формат Цветность внутри Тип бумаги Плотность (гр./м2) Цветность Обложки Тип бумаги "
    "Плотность (гр./м2) Ламинация вутриБрошюровкаШелкография внутриПрочиеПереплет");
const QString StartUpDescription
    = QStringLiteral("А6 (105х148 мм.); Формат 1+0; Простая; 80; 1+0; Простая; 80; ; ; ; ");
const QStringList KeyGroups
    = {"groupBoxBroshFormat",       "groupBoxBroshInnerColor", "groupBoxBroshInnerType",
       "groupBoxBroshInnerDensity", "groupBoxBroshOuterColor", "groupBoxBroshOuterType",
       "groupBoxBroshOuterDensity"};
const QStringList ExtrasGroups
    = {"checkboxGroupBrosh_4", "checkboxGroupBrosh_1", "checkboxGroupBrosh_5", "checkboxGroupBrosh",
       "checkboxGroupBrosh_6", "checkboxGroupBrosh_2", "checkboxGroupBrosh_3"};
} // namespace

class BrochuresTest : public QObject
{
    Q_OBJECT

private:
    MainWindow *window = nullptr;
    QTableWidget *table = nullptr;

    template<typename T> T *widget(const QString &name) { return window->findChild<T *>(name); }

    void answer(int expectedRows)
    {
        QTest::mouseClick(widget<QPushButton>("pushButton_2"), Qt::LeftButton);
        QTRY_COMPARE(table->rowCount(), expectedRows);
    }

private slots:
    void init()
    {
        window = new MainWindow;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        table = widget<QTableWidget>("tableWidget");
        widget<QToolBox>("toolBox")->setCurrentIndex(1);
        QTRY_VERIFY(widget<QWidget>("page_2")->isVisible());
    }

    void cleanup()
    {
        delete window;
        window = nullptr;
    }

    void pageAtStart()
    {
        for (const QString &group : KeyGroups) {
            const QStringList checked = checkedOptionNames(widget<QGroupBox>(group));
            QVERIFY2(checked.size() == 1, qPrintable(group + " has no single choice at start"));
            // The first option of each group, in child order, is the default.
            const auto buttons = widget<QGroupBox>(group)->findChildren<QRadioButton *>(
                QString(), Qt::FindDirectChildrenOnly);
            QCOMPARE(checked.first(), buttons.first()->objectName());
        }
        for (const QString &group : ExtrasGroups)
            QVERIFY2(checkedOptionNames(widget<QGroupBox>(group)).isEmpty(), qPrintable(group));
        auto *sizeGroup = widget<QGroupBox>("groupBoxBroshSize");
        QCOMPARE(sizeGroup->parentWidget(), widget<QGroupBox>("groupBoxBroshFormat"));
        QVERIFY2(sizeGroup->isHidden(), "the custom size shows before \"Другой\" is chosen");
        QCOMPARE(widget<QLineEdit>("lineEdit_10")->text(), QStringLiteral("1"));
        QCOMPARE(widget<QLineEdit>("lineEdit_21")->text(), QStringLiteral("1"));
        QCOMPARE(widget<QLabel>("label_7")->text(), QStringLiteral("Кол-во"));
        QCOMPARE(widget<QLabel>("label_58")->text(), QStringLiteral("Кол-во листов внутри"));
        QCOMPARE(widget<QPushButton>("pushButton_2")->text(), QStringLiteral("Ответ"));
        auto *line = widget<QFrame>("line_3");
        QCOMPARE(line->geometry(), QRect(590, 10, 20, 371));
        QCOMPARE(line->frameShape(), QFrame::VLine);
        QCOMPARE(line->frameShadow(), QFrame::Sunken);
        const QString fault = placementFault(widget<QWidget>("page_2"), QSize(1251, 397));
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }

    void startUpLine()
    {
        answer(1);
        const OrderLine line = orderLine(table, 0);
        QCOMPARE(line.description, StartUpDescription);
        QCOMPARE(line.quantity, QStringLiteral("1"));
        QCOMPARE(line.price, QStringLiteral("3"));
        QCOMPARE(line.keyText, QStringLiteral("значение=010000"));
        QCOMPARE(line.titles, StandardTitles);
        QVERIFY2(!table->item(0, 5), "a brochure line carries a removal marker");
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
            << QStringList {"radioButton_95",  "radioButton_117", "radioButton_141",
                            "radioButton_164", "radioButton_419", "radioButton_441",
                            "radioButton_467", "radioButton_180", "radioButton_186"}
            << "10"
            << "20"
            << "значение=012436"
            << "194"
            << "А4 (210х297 мм.); Формат 1+1; Матовая; 120; 4+4; Глянцевая; 300На скрепке; ; "
               "30 мкм Глянцевая; ; ";
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
            << QStringList {"checkBox_13", "checkBox_17"} << "1"
            << "1"
            << "значение=010000"
            << "34" << StartUpDescription + "; Обрезка углов 4 шт.; Обрезка по изображению";
        QTest::newRow("both varnishes on both sides")
            << QStringList {"checkBox_16", "checkBox_14", "checkBox_19", "checkBox_18"} << "1"
            << "1"
            << "значение=010000"
            << "53" << StartUpDescription + "; 1+0 лак; 0+1 лак; 0+1 лак; 1+0 лак";
        QTest::newRow("binding kind, binding and both laminations")
            << QStringList {"radioButton_179", "radioButton_175", "radioButton_189",
                            "radioButton_169", "checkBox_15"}
            << "1"
            << "1"
            << "значение=010000"
            << "180"
            << "А6 (105х148 мм.); Формат 1+0; Простая; 80; 1+0; Простая; 80Клеевой; "
               "Пластик до 50 стр.; 250 мкм Глянцевая; 30 мкм Глянцевая; ; Биг";
    }

    void job()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, innerSheets);
        QFETCH(QString, quantity);
        QFETCH(QString, keyText);
        QFETCH(QString, price);
        QFETCH(QString, description);

        for (const QString &option : options)
            clickOption(window, option);
        typeInto(window, "lineEdit_21", innerSheets);
        typeInto(window, "lineEdit_10", quantity);
        answer(1);

        const OrderLine line = orderLine(table, 0);
        QCOMPARE(line.description, description);
        QCOMPARE(line.quantity, quantity.isEmpty() ? QStringLiteral("0") : quantity);
        QCOMPARE(line.price, price);
        QCOMPARE(line.keyText, keyText);
        QCOMPARE(line.titles, StandardTitles);
        QVERIFY2(!table->item(0, 5), "a brochure line carries a removal marker");

        for (const QString &group : ExtrasGroups)
            QVERIFY2(checkedOptionNames(widget<QGroupBox>(group)).isEmpty(),
                     qPrintable(group + " keeps a checked option after the answer"));
        for (const QString &option : options) {
            auto *button = widget<QAbstractButton>(option);
            if (KeyGroups.contains(button->parentWidget()->objectName()))
                QVERIFY2(button->isChecked(), qPrintable(option + " lost its choice"));
        }
        QCOMPARE(widget<QLineEdit>("lineEdit_21")->text(), innerSheets);
        QCOMPARE(widget<QLineEdit>("lineEdit_10")->text(), quantity);

        clickOption(window, "radioButton_181");
        clickOption(window, "radioButton_179");
        QCOMPARE(checkedOptionNames(widget<QGroupBox>("checkboxGroupBrosh_4")),
                 QStringList {"radioButton_179"});
    }

    void customSize()
    {
        auto *sizeGroup = widget<QGroupBox>("groupBoxBroshSize");
        clickOption(window, "radioButtonOtherBrosh");
        QVERIFY2(sizeGroup->isVisible(), "\"Другой\" does not show the size fields");
        typeInto(window, "lineEditWidthBrosh", "100");
        typeInto(window, "lineEditHeightBrosh", "200");
        typeInto(window, "lineEdit_21", "4");
        answer(1);
        const OrderLine line = orderLine(table, 0);
        QCOMPARE(line.keyText, QStringLiteral("значение=0115000"));
        QCOMPARE(line.price, QStringLiteral("1000"));
        QCOMPARE(line.description,
                 QStringLiteral("Другой; 100x200 1+0; Простая; 80; 1+0; Простая; 80; ; ; ; "));
        QCOMPARE(line.titles, QString(StandardTitles).replace(0, 6, "100x200"));

        clickOption(window, "radioButton_94");
        QVERIFY2(sizeGroup->isHidden(), "leaving \"Другой\" keeps the size fields shown");
        QCOMPARE(widget<QLineEdit>("lineEditWidthBrosh")->text(), QString());
        QCOMPARE(widget<QLineEdit>("lineEditHeightBrosh")->text(), QString());
        clickOption(window, "radioButtonOtherBrosh");
        QVERIFY(sizeGroup->isVisible());
        QCOMPARE(widget<QLineEdit>("lineEditWidthBrosh")->text(), QString());
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
            << "500" << QStringList {"radioButton_181", "checkBox_15"} << "значение=510000"
            << "20" << StartUpDescription;
        QTest::newRow("1000 in A4: the tier has no A4 price")
            << "1000" << QStringList {"radioButton_95"} << "значение=612000"
            << "0"
            << "А4 (210х297 мм.); Формат 1+0; Простая; 80; 1+0; Простая; 80; ; ; ; ";
    }

    void quantityTiers()
    {
        QFETCH(QString, quantity);
        QFETCH(QStringList, options);
        QFETCH(QString, tierKeyText);
        QFETCH(QString, tierPrice);
        QFETCH(QString, tierDescription);

        for (const QString &option : options)
            clickOption(window, option);
        typeInto(window, "lineEdit_10", quantity);
        answer(tierKeyText.isEmpty() ? 1 : 2);
        QVERIFY2(orderLine(table, 0).keyText.startsWith("значение=01"),
                 "the first line is not the brochure price");
        if (tierKeyText.isEmpty())
            return;

        const OrderLine tier = orderLine(table, 1);
        QCOMPARE(tier.keyText, tierKeyText);
        QCOMPARE(tier.price, tierPrice);
        QCOMPARE(tier.quantity, quantity);
        QCOMPARE(tier.description, tierDescription);
        QCOMPARE(tier.titles, StandardTitles);
        QVERIFY2(!table->item(1, 5), "a brochure tier line carries a removal marker");
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
        clickOption(window, "radioButtonOtherBrosh"); // shows the size fields
        typeInto(window, field, typed);
        auto *edit = widget<QLineEdit>(field);
        QCOMPARE(edit->text(), kept);
        const auto *validator = qobject_cast<const QIntValidator *>(edit->validator());
        QVERIFY2(validator, "the field has no integer validator");
        QCOMPARE(validator->parent(), window);
        QCOMPARE(validator->bottom(), 0);
        QCOMPARE(validator->top(), top);
    }
};

QTEST_MAIN(BrochuresTest)
#include "test_brochures.moc"
