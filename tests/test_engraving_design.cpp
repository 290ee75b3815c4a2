// The two pages that price nothing yet: "Гравировка" on the souvenir tab and the "Дизайн" tab.
// They must hold their options, keep their codes and leave the order alone.
#include "tests/page_driver.h"

#include <QCheckBox>

class EngravingDesignTest : public QObject, private PageDriver
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void engravingGroups_data();
    void engravingGroups();
    void engravingStartState();
    void engravingCodes();
    void engravingAnswerChangesNothing();
    void cuttingCannotBeUnchecked();

    void designBoxes_data();
    void designBoxes();
    void designColumnsDoNotOverlap();
    void designQuantityOutOfSight();
    void designChangesNothing();

private:
    // Puts one souvenir line into the order, so "nothing changes" has something to keep.
    QStringList orderWithOneLine();
};

void EngravingDesignTest::init()
{
    QVERIFY(openWindow());
    answerButton = QStringLiteral("pushButton_15");
}

void EngravingDesignTest::cleanup()
{
    closeWindow();
}

QStringList EngravingDesignTest::orderWithOneLine()
{
    showPage(QStringLiteral("page_5"));
    click(QStringLiteral("radioButton_68"));
    if (!answerAdds(1))
        return {};
    return orderTexts();
}

void EngravingDesignTest::engravingGroups_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("options");

    QTest::newRow("plotter cutting") << "groupBox_15"
                                     << "page_6"
                                     << "Плоттерная резка" << QStringList();
    QTest::newRow("engraving") << "groupBox_16"
                               << "page_6"
                               << "Гравировка" << QStringList();
    QTest::newRow("cutting size") << "groupBox_2"
                                  << "groupBox_15"
                                  << "Размер" << QStringList();
    QTest::newRow("cutting characters")
        << QStringLiteral("groupBox_13") << QStringLiteral("groupBox_15")
        << QStringLiteral("Размер символов")
        << QStringList {QStringLiteral("до 60 мм."), QStringLiteral("до 120 мм."),
                        QStringLiteral("до 300 мм."), QStringLiteral("более 300 мм.")};
    QTest::newRow("film colour") << QStringLiteral("groupBox_14") << QStringLiteral("groupBox_15")
                                 << QStringLiteral("Цвет пленки")
                                 << QStringList {QStringLiteral("Белая"), QStringLiteral("Черная"),
                                                 QStringLiteral("Цветная"),
                                                 QStringLiteral("Золотая"),
                                                 QStringLiteral("Серебряная")};
    QTest::newRow("works") << QStringLiteral("groupBox_20") << QStringLiteral("groupBox_15")
                           << QStringLiteral("Стоимость")
                           << QStringList {QStringLiteral("Резка"), QStringLiteral("Монтажка"),
                                           QStringLiteral("Выборка"), QStringLiteral("Монтаж")};
    QTest::newRow("finish") << QStringLiteral("groupBox_4") << QStringLiteral("groupBox_15")
                            << QStringLiteral("GroupBox")
                            << QStringList {QStringLiteral("Матовая"), QStringLiteral("Глянцевая")};
    QTest::newRow("engraving size") << "groupBox_17"
                                    << "groupBox_16"
                                    << "Размер" << QStringList();
    QTest::newRow("engraving characters")
        << QStringLiteral("groupBox_18") << QStringLiteral("groupBox_16")
        << QStringLiteral("Размер символов")
        << QStringList {QStringLiteral("до 60 мм."), QStringLiteral("до 120 мм."),
                        QStringLiteral("до 300 мм."), QStringLiteral("более 300 мм.")};
    QTest::newRow("engraving material")
        << QStringLiteral("groupBox_19") << QStringLiteral("groupBox_16")
        << QStringLiteral("Тип материала")
        << QStringList {QStringLiteral("Пластик"), QStringLiteral("Металл"),
                        QStringLiteral("Дерево"), QStringLiteral("Стекло")};
}

void EngravingDesignTest::engravingGroups()
{
    QFETCH(QString, group);
    QFETCH(QString, parent);
    QFETCH(QString, title);
    QFETCH(QStringList, options);
    auto *box = find<QGroupBox>(group);
    QCOMPARE(box->parentWidget()->objectName(), parent);
    QCOMPARE(box->title(), title);
    QStringList captions;
    for (QObject *child : box->children()) {
        if (auto *button = qobject_cast<QAbstractButton *>(child))
            captions << button->text();
    }
    QCOMPARE(captions, options);
}

void EngravingDesignTest::engravingStartState()
{
    auto *page = find<QWidget>(QStringLiteral("page_6"));
    QCOMPARE(checkedButtons(page), QStringList {QStringLiteral("checkBox_26")});
    for (const QString &name : QStringList {QStringLiteral("label_51"), QStringLiteral("label_52"),
                                            QStringLiteral("label_61"), QStringLiteral("label_53")})
        QCOMPARE(find<QLabel>(name)->text(), QStringLiteral("ОТВЕТ"));
    for (QLineEdit *field : page->findChildren<QLineEdit *>())
        QVERIFY2(!field->validator(),
                 qPrintable(field->objectName() + QStringLiteral(" has a validator")));
    QCOMPARE(find<QLabel>(QStringLiteral("label_16"))->text(), QStringLiteral("Кол-во"));
    QCOMPARE(find<QPushButton>(QStringLiteral("pushButton_18"))->text(), QStringLiteral("Ответ"));
    // Each work check box has its answer label beside it, in the grid's second column.
    auto *grid
        = qobject_cast<QGridLayout *>(find<QGroupBox>(QStringLiteral("groupBox_20"))->layout());
    QVERIFY2(grid, "the works are not laid out in a grid");
    const QStringList works = {QStringLiteral("checkBox_26"),  QStringLiteral("label_51"),
                               QStringLiteral("checkBox_153"), QStringLiteral("label_52"),
                               QStringLiteral("checkBox_158"), QStringLiteral("label_61"),
                               QStringLiteral("checkBox_157"), QStringLiteral("label_53")};
    for (int i = 0; i < works.size(); ++i) {
        QVERIFY2(gridCell(grid, i / 2, i % 2) == works.at(i),
                 qPrintable(works.at(i) + QStringLiteral(" not in its grid cell")));
    }
}

void EngravingDesignTest::engravingCodes()
{
    const QList<QPair<QString, int>> codes
        = {{QStringLiteral("radioButton_18"), 20},  {QStringLiteral("radioButton_90"), 17},
           {QStringLiteral("radioButton_91"), 15},  {QStringLiteral("radioButton_92"), 12},
           {QStringLiteral("radioButton_98"), 1},   {QStringLiteral("radioButton_99"), 9},
           {QStringLiteral("radioButton_100"), 14}, {QStringLiteral("radioButton_101"), 0}};
    for (const auto &code : codes) {
        const QVariant value = find<QRadioButton>(code.first)->property("value");
        QVERIFY2(value.isValid(), qPrintable(code.first + QStringLiteral(" has no code")));
        QCOMPARE(value.toInt(), code.second);
    }
    // Nothing else on the page carries a code.
    for (QAbstractButton *button :
         find<QWidget>(QStringLiteral("page_6"))->findChildren<QAbstractButton *>()) {
        const bool coded = std::any_of(codes.begin(), codes.end(), [&](const auto &code) {
            return code.first == button->objectName();
        });
        if (!coded)
            QVERIFY2(!button->property("value").isValid(),
                     qPrintable(button->objectName() + QStringLiteral(" has a code")));
    }
    // Choosing here leaves the printing page's choice alone.
    showPage(QStringLiteral("page_6"));
    click(QStringLiteral("radioButton_110"));
    QVERIFY(find<QRadioButton>(QStringLiteral("radioButton_69"))->isChecked());
    QVERIFY(find<QRadioButton>(QStringLiteral("radioButton_59"))->isChecked());
}

void EngravingDesignTest::engravingAnswerChangesNothing()
{
    const QStringList before = orderWithOneLine();
    QCOMPARE(before.size(), 6);
    showPage(QStringLiteral("page_6"));
    clickAll({QStringLiteral("radioButton_91"), QStringLiteral("radioButton_100"),
              QStringLiteral("checkBox_158")});
    type(QStringLiteral("lineEdit_18"), QStringLiteral("10"));
    click(QStringLiteral("pushButton_18"));
    QCOMPARE(orderTexts(), before);
    QCOMPARE(find<QLabel>(QStringLiteral("label_61"))->text(), QStringLiteral("ОТВЕТ"));
    QVERIFY(find<QCheckBox>(QStringLiteral("checkBox_158"))->isChecked());
    QCOMPARE(find<QLineEdit>(QStringLiteral("lineEdit_18"))->text(), QStringLiteral("10"));
}

void EngravingDesignTest::cuttingCannotBeUnchecked()
{
    showPage(QStringLiteral("page_6"));
    auto *cutting = find<QCheckBox>(QStringLiteral("checkBox_26"));
    QVERIFY2(!cutting->isEnabled(), "Резка can be changed");
    click(cutting);
    QVERIFY2(cutting->isChecked(), "Резка unchecked by a click");
    for (const QString &name :
         QStringList {QStringLiteral("checkBox_153"), QStringLiteral("checkBox_158"),
                      QStringLiteral("checkBox_157")}) {
        auto *box = find<QCheckBox>(name);
        click(box);
        QVERIFY2(box->isChecked(), qPrintable(name + QStringLiteral(" not checked by a click")));
        click(box);
        QVERIFY2(!box->isChecked(), qPrintable(name + QStringLiteral(" not unchecked by a click")));
    }
}

void EngravingDesignTest::designBoxes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("column");

    const QList<QStringList> columns = {
        {QStringLiteral("118 Набор текста"), QStringLiteral("119 Набор текста А4"),
         QStringLiteral("120 Макет визитки"), QStringLiteral("121 Макет бейджа"),
         QStringLiteral("122 Макет календаря квартального"),
         QStringLiteral("123 Вёрстка календарной сетки"), QStringLiteral("124 Макет листовки"),
         QStringLiteral("125 Макет афиши"), QStringLiteral("126 Макет банера 3х6 м.")},
        {QStringLiteral("146 Вёрстака меню (без учета обработки фотографий)"),
         QStringLiteral("137 Обработка фото (ретушь)"),
         QStringLiteral("140 Обработка фото (цветокоррекция)"),
         QStringLiteral("144 Макет на сувенирную продукцию"), QStringLiteral("145 Нумерация карт"),
         QStringLiteral("142 Сканирование А4 (300 dpi)"),
         QStringLiteral("141 Сканирование А3 (300 dpi)"),
         QStringLiteral("139 Сканирование А2 (300 dpi)"),
         QStringLiteral("135 Сканирование А1 (300 dpi)")},
        {QStringLiteral("127 Макет штендера"), QStringLiteral("128 Макет буклета (4 полосы)"),
         QStringLiteral("129 Макет буклета (6 полос)"), QStringLiteral("130 Макет банера на сайт"),
         QStringLiteral("131 Макет открытки"), QStringLiteral("132 Макет грамоты, диплома")},
        {QStringLiteral("143 Сканирование А0 (300 dpi)"),
         QStringLiteral("136 Отрисовка логотипа (маленький)"),
         QStringLiteral("138 Отрисовка логотипа (средний)"),
         QStringLiteral("147 Отрисовка логотипа (большой)"),
         QStringLiteral("134 Макет для изготовления печати"),
         QStringLiteral("133 Макет для изготовления печати по оттиску")}};
    for (int column = 0; column < columns.size(); ++column) {
        for (const QString &entry : columns.at(column)) {
            const QString number = entry.section(QLatin1Char(' '), 0, 0);
            const QString caption = entry.section(QLatin1Char(' '), 1);
            QTest::newRow(qPrintable(caption))
                << QStringLiteral("checkBox_") + number << caption << column;
        }
    }
}

void EngravingDesignTest::designBoxes()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(int, column);
    static const int columnX[] = {20, 290, 640, 910};
    auto *box = find<QCheckBox>(name);
    QCOMPARE(box->parentWidget()->objectName(), QStringLiteral("tab_4"));
    QCOMPARE(box->text(), caption);
    QCOMPARE(box->x(), columnX[column]);
    QVERIFY2(!box->isChecked(), "checked at start");
    QVERIFY2(!box->property("value").isValid(), "a design service carries a code");
}

void EngravingDesignTest::designColumnsDoNotOverlap()
{
    auto *tab = find<QWidget>(QStringLiteral("tab_4"));
    QStringList order;
    QList<QCheckBox *> boxes;
    for (QObject *child : tab->children()) {
        if (auto *box = qobject_cast<QCheckBox *>(child)) {
            order << box->objectName();
            boxes << box;
        }
    }
    QStringList expected;
    for (int number = 118; number <= 147; ++number)
        expected << QStringLiteral("checkBox_%1").arg(number);
    QCOMPARE(order, expected);

    // One box every 30 pixels down each column, and no two boxes on the same spot.
    QMap<int, QList<int>> columnRows;
    for (QCheckBox *box : boxes)
        columnRows[box->x()] << box->y();
    QCOMPARE(columnRows.keys(), (QList<int> {20, 290, 640, 910}));
    for (auto it = columnRows.begin(); it != columnRows.end(); ++it) {
        QList<int> ys = it.value();
        std::sort(ys.begin(), ys.end());
        for (int i = 1; i < ys.size(); ++i)
            QVERIFY2(ys.at(i) - ys.at(i - 1) == 30,
                     qPrintable(QStringLiteral("column %1 not spaced by 30").arg(it.key())));
    }
    for (int i = 0; i < boxes.size(); ++i) {
        for (int j = i + 1; j < boxes.size(); ++j)
            QVERIFY2(!boxes.at(i)->geometry().intersects(boxes.at(j)->geometry()),
                     qPrintable(boxes.at(i)->objectName() + QStringLiteral(" overlaps ")
                                + boxes.at(j)->objectName()));
    }
}

void EngravingDesignTest::designQuantityOutOfSight()
{
    showPage(QStringLiteral("tab_4"));
    auto *tab = find<QWidget>(QStringLiteral("tab_4"));
    QCOMPARE(find<QLabel>(QStringLiteral("label_50"))->pos(), QPoint(10, 660));
    QCOMPARE(find<QLineEdit>(QStringLiteral("lineEdit_20"))->pos(), QPoint(10, 680));
    QCOMPARE(find<QPushButton>(QStringLiteral("pushButton_21"))->pos(), QPoint(140, 680));
    QCOMPARE(find<QLabel>(QStringLiteral("label_50"))->text(), QStringLiteral("Кол-во"));
    QCOMPARE(find<QPushButton>(QStringLiteral("pushButton_21"))->text(), QStringLiteral("Ответ"));
    QVERIFY2(!find<QLineEdit>(QStringLiteral("lineEdit_20"))->validator(),
             "design quantity has a validator");
    QVERIFY2(find<QLineEdit>(QStringLiteral("lineEdit_20"))->text().isEmpty(),
             "design quantity not empty");
    for (const QString &name :
         QStringList {QStringLiteral("label_50"), QStringLiteral("lineEdit_20"),
                      QStringLiteral("pushButton_21")}) {
        auto *hidden = find<QWidget>(name);
        QVERIFY2(hidden->y() >= tab->height(), qPrintable(name + QStringLiteral(" lies in sight")));
        QVERIFY2(hidden->visibleRegion().isEmpty(),
                 qPrintable(name + QStringLiteral(" can be seen")));
    }
}

void EngravingDesignTest::designChangesNothing()
{
    const QStringList before = orderWithOneLine();
    QCOMPARE(before.size(), 6);
    showPage(QStringLiteral("tab_4"));
    for (QCheckBox *box : find<QWidget>(QStringLiteral("tab_4"))->findChildren<QCheckBox *>())
        click(box);
    for (QCheckBox *box : find<QWidget>(QStringLiteral("tab_4"))->findChildren<QCheckBox *>())
        QVERIFY2(box->isChecked(),
                 qPrintable(box->objectName() + QStringLiteral(" not checked by a click")));
    click(QStringLiteral("pushButton_21"));
    QCOMPARE(orderTexts(), before);
    for (QCheckBox *box : find<QWidget>(QStringLiteral("tab_4"))->findChildren<QCheckBox *>())
        click(box);
    QCOMPARE(orderTexts(), before);
    // The souvenir page is untouched as well: its colours were not checked by anything here.
    QVERIFY(!find<QCheckBox>(QStringLiteral("checkBox_116"))->isChecked());
}

QTEST_MAIN(EngravingDesignTest)
#include "test_engraving_design.moc"
