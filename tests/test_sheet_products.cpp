// The "Листовая продукция" page driven through its widgets: lines, extras, sizes and tiers.
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
    "Формат Цветность Плотность (гр./м2) Тип Бумаги Ламинация Брошюровка Шелкография "
    "Биговка / Фальцовка Прочие работы ");
const QStringList ExtrasGroups = {"checkboxGroupList", "checkboxGroupList_1", "checkboxGroupList_2",
                                  "checkboxGroupList_3", "checkboxGroupList_4"};
const QStringList KeyGroups
    = {"groupBoxListFormat", "groupBoxListColor", "groupBoxListType", "groupBoxListDensity"};
} // namespace

class SheetProductsTest : public QObject
{
    Q_OBJECT

private:
    MainWindow *window = nullptr;
    QTableWidget *table = nullptr;

    template<typename T> T *widget(const QString &name) { return window->findChild<T *>(name); }

    void answer(int expectedRows)
    {
        QTest::mouseClick(widget<QPushButton>("pushButton"), Qt::LeftButton);
        QTRY_COMPARE(table->rowCount(), expectedRows);
    }

private slots:
    void init()
    {
        window = new MainWindow;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        table = widget<QTableWidget>("tableWidget");
        QCOMPARE(widget<QToolBox>("toolBox")->currentIndex(), 0);
    }

    void cleanup()
    {
        delete window;
        window = nullptr;
    }

    void pageAtStart()
    {
        for (const char *name :
             {"radioButton", "radioButton_24", "radioButton_47", "radioButton_70"})
            QVERIFY2(widget<QRadioButton>(name)->isChecked(), name);
        for (const QString &group : ExtrasGroups)
            QVERIFY2(checkedOptionNames(widget<QGroupBox>(group)).isEmpty(), qPrintable(group));
        auto *sizeGroup = widget<QGroupBox>("groupBoxListSize");
        QCOMPARE(sizeGroup->parentWidget(), widget<QGroupBox>("groupBoxListFormat"));
        QVERIFY2(sizeGroup->isHidden(), "the custom size shows before \"Другой\" is chosen");
        QCOMPARE(widget<QLineEdit>("lineEdit")->text(), QStringLiteral("1"));
        QCOMPARE(widget<QLabel>("label_6")->text(), QStringLiteral("Кол-во"));
        QCOMPARE(widget<QPushButton>("pushButton")->text(), QStringLiteral("Ответ"));
        for (int i = 0; i < 4; ++i) {
            auto *creasing = widget<QRadioButton>(QStringLiteral("radioButton_%1").arg(154 + i));
            QCOMPARE(creasing->text(), QStringLiteral("Биговка / Фальцовка"));
            QCOMPARE(creasing->iconSize(), QSize(75, 75));
        }
        auto *line = widget<QFrame>("line_2");
        QCOMPARE(line->geometry(), QRect(580, 10, 41, 381));
        QCOMPARE(line->frameShape(), QFrame::VLine);
        QCOMPARE(line->frameShadow(), QFrame::Sunken);
        const QString fault = placementFault(widget<QWidget>("page"), QSize(1251, 397));
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }

    void startUpLine()
    {
        answer(1);
        const OrderLine line = orderLine(table, 0);
        QCOMPARE(line.description,
                 QStringLiteral("А6 (105х148 мм.); Формат 1+0; Простая; 80; ; ; "));
        QCOMPARE(line.quantity, QStringLiteral("1"));
        QCOMPARE(line.price, QStringLiteral("1.5"));
        QCOMPARE(line.keyText, QStringLiteral("значение=000000"));
        QCOMPARE(line.titles, StandardTitles);
        QVERIFY2(line.marker, "the sheet products line lacks its red removal marker");
    }

    void job_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("keyText");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("description");

        QTest::newRow("A4 4+4 matte 350 with varnish and corner cutting")
            << QStringList {"radioButton_3",  "radioButton_28", "radioButton_49",
                            "radioButton_78", "checkBox_161",   "checkBox_34"}
            << "100"
            << "значение=002428"
            << "132"
            << "А4 (210х297 мм.); Формат 4+4; Матовая; 350; ; ; 1+0 лак; ; Обрезка углов 4 шт.";
        QTest::newRow("euro business card, seven-character key")
            << QStringList {"radioButton_8"} << "1"
            << "значение=0010000"
            << "2"
            << "Визитки евро (85х55 мм.); Формат 1+0; Простая; 80; ; ; ";
        QTest::newRow("SRA3 4+4 synthetic 350")
            << QStringList {"radioButton_5", "radioButton_28", "radioButton_55", "radioButton_78"}
            << "10"
            << "значение=004488"
            << "97"
            << "SRA3 (320х450 мм.); Формат 4+4; Синтетическая; 350; ; ; ";
        QTest::newRow("lamination, binding and creasing together")
            << QStringList {"radioButton_134", "radioButton_147", "radioButton_156"} << "1"
            << "значение=000000"
            << "161.5"
            << "А6 (105х148 мм.); Формат 1+0; Простая; 80175 мкм Глянцевая; Пластик до 50 стр.; "
               "Биговка / Фальцовка; ";
        QTest::newRow("other works in child order, clicked backwards")
            << QStringList {"checkBox_28", "checkBox_27"} << "1"
            << "значение=000000"
            << "1133.5"
            << "А6 (105х148 мм.); Формат 1+0; Простая; 80; ; ; ; Обрезка по изображению; "
               "Тиснение фольгой";
        QTest::newRow("both varnishes")
            << QStringList {"checkBox_162", "checkBox_161"} << "1"
            << "значение=000000"
            << "77.5"
            << "А6 (105х148 мм.); Формат 1+0; Простая; 80; ; ; 1+0 лак; 0+1 лак; ";
        QTest::newRow("business cards on self-adhesive paper: no price, extras only")
            << QStringList {"radioButton_7", "radioButton_54", "checkBox_34"} << "50"
            << "значение=009070"
            << "23"
            << "Визитки (90х50 мм.); Формат 1+0; Самоклеющаяся; 80; ; ; ; Обрезка углов 4 шт.";
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

        for (const QString &option : options)
            clickOption(window, option);
        typeInto(window, "lineEdit", quantity);
        answer(1);

        const OrderLine line = orderLine(table, 0);
        QCOMPARE(line.description, description);
        QCOMPARE(line.quantity, quantity.isEmpty() ? QStringLiteral("0") : quantity);
        QCOMPARE(line.price, price);
        QCOMPARE(line.keyText, keyText);
        QCOMPARE(line.titles, StandardTitles);
        QVERIFY2(line.marker, "the line lacks its red removal marker");

        for (const QString &group : ExtrasGroups)
            QVERIFY2(checkedOptionNames(widget<QGroupBox>(group)).isEmpty(),
                     qPrintable(group + " keeps a checked option after the answer"));
        for (const QString &option : options) {
            const QWidget *group = widget<QAbstractButton>(option)->parentWidget();
            if (KeyGroups.contains(group->objectName()))
                QVERIFY2(widget<QAbstractButton>(option)->isChecked(),
                         qPrintable(option + " lost its choice after the answer"));
        }
        QCOMPARE(widget<QLineEdit>("lineEdit")->text(), quantity);

        // The cleared groups take a new choice with a single click.
        clickOption(window, "radioButton_132");
        clickOption(window, "radioButton_133");
        QCOMPARE(checkedOptionNames(widget<QGroupBox>("checkboxGroupList")),
                 QStringList {"radioButton_133"});
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
        clickOption(window, format);
        answer(1);
        clickOption(window, sharing);
        answer(2);
        const OrderLine first = orderLine(table, 0);
        const OrderLine second = orderLine(table, 1);
        QCOMPARE(second.keyText, first.keyText);
        QCOMPARE(second.price, first.price);
        QVERIFY2(first.price != "0", "the shared key finds no price");
        QVERIFY2(second.description != first.description, "both lines name the same format");
    }

    void customSize()
    {
        auto *sizeGroup = widget<QGroupBox>("groupBoxListSize");
        clickOption(window, "radioButtonOther");
        QVERIFY2(sizeGroup->isVisible(), "\"Другой\" does not show the size fields");
        typeInto(window, "lineEditWidth", "100");
        typeInto(window, "lineEditHeight", "200");
        answer(1);
        OrderLine line = orderLine(table, 0);
        QCOMPARE(line.keyText, QStringLiteral("значение=0015000"));
        QCOMPARE(line.price, QStringLiteral("200"));
        QCOMPARE(line.description, QStringLiteral("Другой; 100x200 1+0; Простая; 80; ; ; "));
        QCOMPARE(line.titles, QString(StandardTitles).replace("Формат", "100x200"));

        // The same size on coloured print matches no key: only the extras are priced.
        clickOption(window, "radioButton_28");
        clickOption(window, "checkBox_34");
        answer(2);
        line = orderLine(table, 1);
        QCOMPARE(line.keyText, QStringLiteral("значение=0015400"));
        QCOMPARE(line.price, QStringLiteral("23"));

        clickOption(window, "radioButton_2");
        QVERIFY2(sizeGroup->isHidden(), "leaving \"Другой\" keeps the size fields shown");
        QCOMPARE(widget<QLineEdit>("lineEditWidth")->text(), QString());
        QCOMPARE(widget<QLineEdit>("lineEditHeight")->text(), QString());

        // Back on "Другой" with no size typed: a size factor of 0, the line is still appended.
        clickOption(window, "radioButton_24");
        clickOption(window, "radioButtonOther");
        QVERIFY(sizeGroup->isVisible());
        answer(3);
        line = orderLine(table, 2);
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

        const QString plainA6 = "А6 (105х148 мм.); Формат 1+0; Простая; 80; ; ; ";
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
            << "500" << QStringList {"checkBox_34", "radioButton_132"} << "значение=500000"
            << "10" << plainA6;
        QTest::newRow("1000 of A4: the tier has no A4 price")
            << "1000" << QStringList {"radioButton_3"} << "значение=602000"
            << "0"
            << "А4 (210х297 мм.); Формат 1+0; Простая; 80; ; ; ";
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
        typeInto(window, "lineEdit", quantity);
        answer(tierKeyText.isEmpty() ? 1 : 2);
        QVERIFY2(orderLine(table, 0).keyText.startsWith("значение=00"),
                 "the first line is not the sheet price");
        if (tierKeyText.isEmpty())
            return;

        const OrderLine tier = orderLine(table, 1);
        QCOMPARE(tier.keyText, tierKeyText);
        QCOMPARE(tier.price, tierPrice);
        QCOMPARE(tier.quantity, quantity);
        QCOMPARE(tier.description, tierDescription);
        QCOMPARE(tier.titles, StandardTitles);
        QVERIFY2(tier.marker, "the tier line lacks its red removal marker");
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
        clickOption(window, "radioButtonOther"); // shows the size fields
        typeInto(window, field, typed);
        auto *edit = widget<QLineEdit>(field);
        QCOMPARE(edit->text(), kept);
        const auto *validator = qobject_cast<const QIntValidator *>(edit->validator());
        QVERIFY2(validator, "the field has no integer validator");
        QCOMPARE(validator->parent(), window);
        QCOMPARE(validator->bottom(), 0);
        QCOMPARE(validator->top(), 100500);
        for (const char *other : {"lineEdit", "lineEditWidth", "lineEditHeight"})
            if (field != other)
                QVERIFY2(widget<QLineEdit>(other)->validator() != validator,
                         "two fields share one validator");
    }
};

QTEST_MAIN(SheetProductsTest)
#include "test_sheet_products.moc"
