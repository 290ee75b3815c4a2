// The two pages that price nothing yet: "Гравировка" on the souvenir tab and the "Дизайн" tab.
// They must hold their options, keep their codes and leave the order alone.
#include "app/mainwindow.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBox>
#include <QtTest>

class EngravingDesignTest : public QObject
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
    template<typename T> T *widget(const QString &name)
    {
        T *found = window->findChild<T *>(name);
        if (!found)
            qFatal("widget %s missing", qPrintable(name));
        return found;
    }
    void click(QAbstractButton *button)
    {
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(8, button->height() / 2));
    }
    // Puts one souvenir line into the order, so "nothing changes" has something to keep.
    QStringList orderWithOneLine();
    QStringList orderTexts();

    MainWindow *window = nullptr;
};

void EngravingDesignTest::init()
{
    window = new MainWindow;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void EngravingDesignTest::cleanup()
{
    delete window;
    window = nullptr;
}

QStringList EngravingDesignTest::orderTexts()
{
    auto *table = widget<QTableWidget>("tableWidget");
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row) {
        for (int column = 0; column < table->columnCount(); ++column) {
            const QTableWidgetItem *item = table->item(row, column);
            texts << (item ? item->text() : QStringLiteral("<none>"));
        }
    }
    return texts;
}

QStringList EngravingDesignTest::orderWithOneLine()
{
    click(widget<QRadioButton>("radioButton_68"));
    QTest::mouseClick(widget<QPushButton>("pushButton_15"), Qt::LeftButton);
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
        << "groupBox_13"
        << "groupBox_15"
        << "Размер символов"
        << QStringList {"до 60 мм.", "до 120 мм.", "до 300 мм.", "более 300 мм."};
    QTest::newRow("film colour") << "groupBox_14"
                                 << "groupBox_15"
                                 << "Цвет пленки"
                                 << QStringList {"Белая", "Черная", "Цветная", "Золотая",
                                                 "Серебряная"};
    QTest::newRow("works") << "groupBox_20"
                           << "groupBox_15"
                           << "Стоимость" << QStringList {"Резка", "Монтажка", "Выборка", "Монтаж"};
    QTest::newRow("finish") << "groupBox_4"
                            << "groupBox_15"
                            << "GroupBox" << QStringList {"Матовая", "Глянцевая"};
    QTest::newRow("engraving size") << "groupBox_17"
                                    << "groupBox_16"
                                    << "Размер" << QStringList();
    QTest::newRow("engraving characters")
        << "groupBox_18"
        << "groupBox_16"
        << "Размер символов"
        << QStringList {"до 60 мм.", "до 120 мм.", "до 300 мм.", "более 300 мм."};
    QTest::newRow("engraving material")
        << "groupBox_19"
        << "groupBox_16"
        << "Тип материала" << QStringList {"Пластик", "Металл", "Дерево", "Стекло"};
}

void EngravingDesignTest::engravingGroups()
{
    QFETCH(QString, group);
    QFETCH(QString, parent);
    QFETCH(QString, title);
    QFETCH(QStringList, options);
    auto *box = widget<QGroupBox>(group);
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
    auto *page = widget<QWidget>("page_6");
    QStringList checked;
    for (const QAbstractButton *button : page->findChildren<QAbstractButton *>()) {
        if (button->isCheckable() && button->isChecked())
            checked << button->objectName();
    }
    QCOMPARE(checked, QStringList {"checkBox_26"});
    for (const QString &name : QStringList {"label_51", "label_52", "label_61", "label_53"})
        QCOMPARE(widget<QLabel>(name)->text(), QStringLiteral("ОТВЕТ"));
    for (QLineEdit *field : page->findChildren<QLineEdit *>())
        QVERIFY2(!field->validator(), qPrintable(field->objectName() + " has a validator"));
    QCOMPARE(widget<QLabel>("label_16")->text(), QStringLiteral("Кол-во"));
    QCOMPARE(widget<QPushButton>("pushButton_18")->text(), QStringLiteral("Ответ"));
    // Each work check box has its answer label beside it, in the grid's second column.
    auto *grid = qobject_cast<QGridLayout *>(widget<QGroupBox>("groupBox_20")->layout());
    QVERIFY2(grid, "the works are not laid out in a grid");
    const QStringList works = {"checkBox_26",  "label_51", "checkBox_153", "label_52",
                               "checkBox_158", "label_61", "checkBox_157", "label_53"};
    for (int i = 0; i < works.size(); ++i) {
        QLayoutItem *item = grid->itemAtPosition(i / 2, i % 2);
        QVERIFY2(item && item->widget() && item->widget()->objectName() == works.at(i),
                 qPrintable(works.at(i) + " not in its grid cell"));
    }
}

void EngravingDesignTest::engravingCodes()
{
    const QList<QPair<QString, int>> codes
        = {{"radioButton_18", 20},  {"radioButton_90", 17}, {"radioButton_91", 15},
           {"radioButton_92", 12},  {"radioButton_98", 1},  {"radioButton_99", 9},
           {"radioButton_100", 14}, {"radioButton_101", 0}};
    for (const auto &code : codes) {
        const QVariant value = widget<QRadioButton>(code.first)->property("value");
        QVERIFY2(value.isValid(), qPrintable(code.first + " has no code"));
        QCOMPARE(value.toInt(), code.second);
    }
    // Nothing else on the page carries a code.
    for (QAbstractButton *button : widget<QWidget>("page_6")->findChildren<QAbstractButton *>()) {
        const bool coded = std::any_of(codes.begin(), codes.end(), [&](const auto &code) {
            return code.first == button->objectName();
        });
        if (!coded)
            QVERIFY2(!button->property("value").isValid(),
                     qPrintable(button->objectName() + " has a code"));
    }
    // Choosing here leaves the printing page's choice alone.
    click(widget<QRadioButton>("radioButton_110"));
    QVERIFY(widget<QRadioButton>("radioButton_69")->isChecked());
    QVERIFY(widget<QRadioButton>("radioButton_59")->isChecked());
}

void EngravingDesignTest::engravingAnswerChangesNothing()
{
    const QStringList before = orderWithOneLine();
    QCOMPARE(before.size(), 6);
    widget<QTabWidget>("tabWidget")->setCurrentIndex(2);
    widget<QToolBox>("toolBox_3")->setCurrentIndex(1);
    click(widget<QRadioButton>("radioButton_91"));
    click(widget<QRadioButton>("radioButton_100"));
    click(widget<QCheckBox>("checkBox_158"));
    QTest::keyClicks(widget<QLineEdit>("lineEdit_18"), "10");
    QTest::mouseClick(widget<QPushButton>("pushButton_18"), Qt::LeftButton);
    QCOMPARE(orderTexts(), before);
    QCOMPARE(widget<QLabel>("label_61")->text(), QStringLiteral("ОТВЕТ"));
    QVERIFY(widget<QCheckBox>("checkBox_158")->isChecked());
    QCOMPARE(widget<QLineEdit>("lineEdit_18")->text(), QStringLiteral("10"));
}

void EngravingDesignTest::cuttingCannotBeUnchecked()
{
    auto *cutting = widget<QCheckBox>("checkBox_26");
    QVERIFY2(!cutting->isEnabled(), "Резка can be changed");
    click(cutting);
    QVERIFY2(cutting->isChecked(), "Резка unchecked by a click");
    for (const QString &name : QStringList {"checkBox_153", "checkBox_158", "checkBox_157"}) {
        auto *box = widget<QCheckBox>(name);
        click(box);
        QVERIFY2(box->isChecked(), qPrintable(name + " not checked by a click"));
        click(box);
        QVERIFY2(!box->isChecked(), qPrintable(name + " not unchecked by a click"));
    }
}

void EngravingDesignTest::designBoxes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("column");

    const QList<QStringList> columns
        = {{"118 Набор текста", "119 Набор текста А4", "120 Макет визитки", "121 Макет бейджа",
            "122 Макет календаря квартального", "123 Вёрстка календарной сетки",
            "124 Макет листовки", "125 Макет афиши", "126 Макет банера 3х6 м."},
           {"146 Вёрстака меню (без учета обработки фотографий)", "137 Обработка фото (ретушь)",
            "140 Обработка фото (цветокоррекция)", "144 Макет на сувенирную продукцию",
            "145 Нумерация карт", "142 Сканирование А4 (300 dpi)", "141 Сканирование А3 (300 dpi)",
            "139 Сканирование А2 (300 dpi)", "135 Сканирование А1 (300 dpi)"},
           {"127 Макет штендера", "128 Макет буклета (4 полосы)", "129 Макет буклета (6 полос)",
            "130 Макет банера на сайт", "131 Макет открытки", "132 Макет грамоты, диплома"},
           {"143 Сканирование А0 (300 dpi)", "136 Отрисовка логотипа (маленький)",
            "138 Отрисовка логотипа (средний)", "147 Отрисовка логотипа (большой)",
            "134 Макет для изготовления печати", "133 Макет для изготовления печати по оттиску"}};
    for (int column = 0; column < columns.size(); ++column) {
        for (const QString &entry : columns.at(column)) {
            const QString number = entry.section(' ', 0, 0);
            const QString caption = entry.section(' ', 1);
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
    auto *box = widget<QCheckBox>(name);
    QCOMPARE(box->parentWidget()->objectName(), QStringLiteral("tab_4"));
    QCOMPARE(box->text(), caption);
    QCOMPARE(box->x(), columnX[column]);
    QVERIFY2(!box->isChecked(), "checked at start");
    QVERIFY2(!box->property("value").isValid(), "a design service carries a code");
}

void EngravingDesignTest::designColumnsDoNotOverlap()
{
    auto *tab = widget<QWidget>("tab_4");
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
            QVERIFY2(
                !boxes.at(i)->geometry().intersects(boxes.at(j)->geometry()),
                qPrintable(boxes.at(i)->objectName() + " overlaps " + boxes.at(j)->objectName()));
    }
}

void EngravingDesignTest::designQuantityOutOfSight()
{
    auto *tabs = widget<QTabWidget>("tabWidget");
    tabs->setCurrentIndex(3);
    auto *tab = widget<QWidget>("tab_4");
    QCOMPARE(widget<QLabel>("label_50")->pos(), QPoint(10, 660));
    QCOMPARE(widget<QLineEdit>("lineEdit_20")->pos(), QPoint(10, 680));
    QCOMPARE(widget<QPushButton>("pushButton_21")->pos(), QPoint(140, 680));
    QCOMPARE(widget<QLabel>("label_50")->text(), QStringLiteral("Кол-во"));
    QCOMPARE(widget<QPushButton>("pushButton_21")->text(), QStringLiteral("Ответ"));
    QVERIFY2(!widget<QLineEdit>("lineEdit_20")->validator(), "design quantity has a validator");
    QVERIFY2(widget<QLineEdit>("lineEdit_20")->text().isEmpty(), "design quantity not empty");
    for (const QString &name : QStringList {"label_50", "lineEdit_20", "pushButton_21"}) {
        auto *hidden = widget<QWidget>(name);
        QVERIFY2(hidden->y() >= tab->height(), qPrintable(name + " lies in sight"));
        QVERIFY2(hidden->visibleRegion().isEmpty(), qPrintable(name + " can be seen"));
    }
}

void EngravingDesignTest::designChangesNothing()
{
    const QStringList before = orderWithOneLine();
    widget<QTabWidget>("tabWidget")->setCurrentIndex(3);
    for (QCheckBox *box : widget<QWidget>("tab_4")->findChildren<QCheckBox *>())
        click(box);
    for (QCheckBox *box : widget<QWidget>("tab_4")->findChildren<QCheckBox *>())
        QVERIFY2(box->isChecked(), qPrintable(box->objectName() + " not checked by a click"));
    QTest::mouseClick(widget<QPushButton>("pushButton_21"), Qt::LeftButton);
    QCOMPARE(orderTexts(), before);
    for (QCheckBox *box : widget<QWidget>("tab_4")->findChildren<QCheckBox *>())
        click(box);
    QCOMPARE(orderTexts(), before);
    // The souvenir page is untouched as well: its colours were not checked by anything here.
    QVERIFY(!widget<QCheckBox>("checkBox_116")->isChecked());
}

QTEST_MAIN(EngravingDesignTest)
#include "test_engraving_design.moc"
