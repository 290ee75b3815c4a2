// The souvenir "Печать" page driven like the operator does: its form, its answers in the order
// table and the gallery of sample pictures.
#include "tests/page_driver.h"

#include <QCheckBox>
#include <QPointer>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

const QString StandardTitles = QStringLiteral(
    "Размер изображения Размер изображения Цветность Тип материала Цвет материала ");

// The picture a label shows, or a null pixmap.
QPixmap shownPicture(const QLabel *label)
{
#if QT_VERSION >= QT_VERSION_CHECK(5, 15, 0)
    return label->pixmap(Qt::ReturnByValue);
#else
    return label->pixmap() ? *label->pixmap() : QPixmap();
#endif
}

} // namespace

class SouvenirTest : public QObject, private PageDriver
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void groupsAndDefaults();
    void materialGroupOrder();
    void imageSizeGroupOrder();
    void galleryFrame();
    void numberFieldsRefuseNonNumbers_data();
    void numberFieldsRefuseNonNumbers();

    void answer_data();
    void answer();
    void answerKeepsChoicesAndClearsColours();
    void otherAndNoMaterialPriceAlike();
    void sizeToggleEmptiesFields();

    void galleryOfPens();
    void galleryPrices_data();
    void galleryPrices();
    void materialWithoutPicturesEmptiesGallery();
    void rightColumnMaterialLeavesGallery();
    void repeatedClicksDoNotLeak();
    void unloadablePictureGivesEmptyRow();

private:
    QGridLayout *galleryGrid() { return find<QGridLayout>(QStringLiteral("gridLayout_38")); }
};

void SouvenirTest::init()
{
    QVERIFY(openWindow());
    answerButton = QStringLiteral("pushButton_15");
    showPage(QStringLiteral("page_5"));
}

void SouvenirTest::cleanup()
{
    closeWindow();
}

void SouvenirTest::groupsAndDefaults()
{
    auto *page = find<QWidget>(QStringLiteral("page_5"));
    const QStringList groups
        = {QStringLiteral("groupBoxListType_2"), QStringLiteral("groupBoxListColor_4"),
           QStringLiteral("groupBoxListFormat_2"), QStringLiteral("checkboxGroupPrint"),
           QStringLiteral("groupBox")};
    for (const QString &name : groups) {
        auto *group = page->findChild<QGroupBox *>(name);
        QVERIFY2(group && group->parentWidget() == page,
                 qPrintable(name + QStringLiteral(" is not on page_5")));
    }
    QCOMPARE(find<QGroupBox>(QStringLiteral("groupBoxListSize_4"))->parentWidget(),
             find<QGroupBox>(QStringLiteral("groupBoxListFormat_2")));
    QCOMPARE(find<QGroupBox>(QStringLiteral("groupBoxListType_2"))->title(),
             QStringLiteral("Тип материала"));
    QCOMPARE(find<QGroupBox>(QStringLiteral("groupBox"))->title(),
             QStringLiteral("Плотность гр/м2"));
    QCOMPARE(find<QLineEdit>(QStringLiteral("lineEdit_9"))->text(), QStringLiteral("...+1,2,3,4"));
    QCOMPARE(find<QLineEdit>(QStringLiteral("lineEdit_16"))->text(), QStringLiteral("1"));
    QCOMPARE(find<QLabel>(QStringLiteral("label_14"))->text(), QStringLiteral("Кол-во"));
    QCOMPARE(find<QPushButton>(QStringLiteral("pushButton_15"))->text(), QStringLiteral("Ответ"));
    QVERIFY2(find<QGroupBox>(QStringLiteral("groupBoxListSize_4"))->isHidden(),
             "custom size shown at start");

    QStringList checked = checkedButtons(page);
    checked.sort();
    QCOMPARE(checked,
             (QStringList {QStringLiteral("radioButton_59"), QStringLiteral("radioButton_69")}));
    QCOMPARE(find<QRadioButton>(QStringLiteral("radioButton_69"))->text(),
             QStringLiteral("А7 (74х105 мм.)"));
    QCOMPARE(find<QRadioButton>(QStringLiteral("radioButton_59"))->text(), QStringLiteral("1+0"));

    // Check boxes of the material colour stand one under the other, the lighter first.
    auto *light = find<QCheckBox>(QStringLiteral("checkBox_116"));
    auto *dark = find<QCheckBox>(QStringLiteral("checkBox_117"));
    QCOMPARE(light->text(), QStringLiteral("Светлый"));
    QCOMPARE(dark->text(), QStringLiteral("Темный"));
    QVERIFY2(light->y() + light->height() <= dark->y(), "material colours overlap");
}

void SouvenirTest::materialGroupOrder()
{
    auto *group = find<QGroupBox>(QStringLiteral("groupBoxListType_2"));
    QStringList order;
    QStringList captions;
    for (QObject *child : group->children()) {
        if (auto *radio = qobject_cast<QRadioButton *>(child)) {
            order << radio->objectName().mid(QStringLiteral("radioButton_").size());
            captions << radio->text();
        }
    }
    QCOMPARE(order,
             (QStringList {QStringLiteral("68"), QStringLiteral("32"), QStringLiteral("79"),
                           QStringLiteral("44"), QStringLiteral("80"), QStringLiteral("83"),
                           QStringLiteral("81"), QStringLiteral("85"), QStringLiteral("82"),
                           QStringLiteral("87"), QStringLiteral("84"), QStringLiteral("86"),
                           QStringLiteral("88"), QStringLiteral("89")}));
    QCOMPARE(captions,
             (QStringList {QStringLiteral("Кружки"), QStringLiteral("Матовая"),
                           QStringLiteral("Ручки"), QStringLiteral("Глянцевая"),
                           QStringLiteral("Футболки"), QStringLiteral("Текстурная"),
                           QStringLiteral("Бейсболки"), QStringLiteral("Плайк"),
                           QStringLiteral("Паззл"), QStringLiteral("Дизайнерская"),
                           QStringLiteral("Диски"), QStringLiteral("Костеры"),
                           QStringLiteral("Другое"), QStringLiteral("Без материала")}));

    auto *grid = qobject_cast<QGridLayout *>(group->layout());
    QVERIFY2(grid, "material group is not laid out in a grid");
    const QStringList left = {QStringLiteral("68"), QStringLiteral("79"), QStringLiteral("80"),
                              QStringLiteral("81"), QStringLiteral("82"), QStringLiteral("84"),
                              QStringLiteral("86"), QStringLiteral("88"), QStringLiteral("89")};
    const QStringList right = {QStringLiteral("32"), QStringLiteral("44"), QStringLiteral("83"),
                               QStringLiteral("85"), QStringLiteral("87")};
    for (int column = 0; column < 2; ++column) {
        const QStringList &names = column == 0 ? left : right;
        for (int row = 0; row < names.size(); ++row) {
            const QString expected = QStringLiteral("radioButton_") + names.at(row);
            QVERIFY2(gridCell(grid, row, column) == expected,
                     qPrintable(QStringLiteral("%1 not at row %2, column %3")
                                    .arg(expected)
                                    .arg(row)
                                    .arg(column)));
        }
    }
}

void SouvenirTest::imageSizeGroupOrder()
{
    auto *group = find<QGroupBox>(QStringLiteral("groupBoxListFormat_2"));
    QStringList order;
    for (QObject *child : group->children()) {
        if (qobject_cast<QRadioButton *>(child))
            order << child->objectName();
    }
    QCOMPARE(order,
             (QStringList {QStringLiteral("radioButton_65"), QStringLiteral("radioButton_66"),
                           QStringLiteral("radioButton_67"), QStringLiteral("radioButton_69"),
                           QStringLiteral("radioButton_60"), QStringLiteral("radioButtonOther_2"),
                           QStringLiteral("radioButton_131"), QStringLiteral("radioButton_130")}));

    auto *grid = qobject_cast<QGridLayout *>(group->layout());
    QVERIFY2(grid, "image size group is not laid out in a grid");
    const QStringList rowsTopDown
        = {QStringLiteral("radioButton_131"),   QStringLiteral("radioButton_130"),
           QStringLiteral("radioButton_69"),    QStringLiteral("radioButton_65"),
           QStringLiteral("radioButton_60"),    QStringLiteral("radioButton_67"),
           QStringLiteral("radioButton_66"),    QStringLiteral("radioButtonOther_2"),
           QStringLiteral("groupBoxListSize_4")};
    for (int row = 0; row < rowsTopDown.size(); ++row) {
        QVERIFY2(gridCell(grid, row, 0) == rowsTopDown.at(row),
                 qPrintable(rowsTopDown.at(row) + QStringLiteral(" not in row %1").arg(row)));
    }
    QCOMPARE(find<QRadioButton>(QStringLiteral("radioButtonOther_2"))->text(),
             QStringLiteral("Другой"));
    QCOMPARE(find<QRadioButton>(QStringLiteral("radioButton_131"))->text(),
             QStringLiteral("Визитки евро (85х55 мм.)"));
}

void SouvenirTest::galleryFrame()
{
    auto *area = find<QScrollArea>(QStringLiteral("scrollArea"));
    QCOMPARE(area->geometry(), QRect(610, 10, 641, 291));
    QVERIFY2(area->widgetResizable(), "the gallery does not follow the scroll area's size");
    QVERIFY2(area->isHidden(), "gallery shown before any material was clicked");
    QCOMPARE(area->widget()->objectName(), QStringLiteral("scrollAreaWidgetContents_2"));
    auto *column = qobject_cast<QVBoxLayout *>(area->widget()->layout());
    QVERIFY2(column && column->objectName() == QLatin1String("verticalLayout_2"),
             "gallery content has no verticalLayout_2");
    QCOMPARE(column->itemAt(0)->layout(), static_cast<QLayout *>(galleryGrid()));
    QCOMPARE(galleryGrid()->count(), 0);
}

void SouvenirTest::numberFieldsRefuseNonNumbers_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("acceptable");
    QTest::newRow("width: minus and letters") << "lineEditWidth_7"
                                              << "-1a2"
                                              << "12" << true;
    QTest::newRow("height: seven digits") << "lineEditHeight_4"
                                          << "1005000"
                                          << "100500" << true;
    QTest::newRow("height: just above the top") << "lineEditHeight_4"
                                                << "100501"
                                                << "10050" << true;
    QTest::newRow("quantity: top itself") << "lineEdit_16"
                                          << "100500"
                                          << "100500" << true;
    QTest::newRow("quantity: decimal point") << "lineEdit_16"
                                             << "2.5"
                                             << "25" << true;
    QTest::newRow("colour note: no validator") << "lineEdit_9"
                                               << "-x"
                                               << "-x" << true;
    QTest::newRow("colour note: Russian words") << "lineEdit_9"
                                                << "Пантон 2+0, золото"
                                                << "Пантон 2+0, золото" << true;
}

void SouvenirTest::numberFieldsRefuseNonNumbers()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, acceptable);
    click(QStringLiteral("radioButtonOther_2"));
    QCOMPARE(shownAfterTyping(field, typed), shown);
    QCOMPARE(find<QLineEdit>(field)->hasAcceptableInput(), acceptable);
}

void SouvenirTest::answer_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("keyText");
    QTest::addColumn<QString>("titles");

    QTest::newRow("mugs alone at start, key absent")
        << QStringList {QStringLiteral("radioButton_68")} << QString() << QString() << QString()
        << QStringLiteral("А7 (74х105 мм.); Размер изображения 1+0; Кружки; 0")
        << QStringLiteral("0") << QStringLiteral("значение=2514000") << StandardTitles;
    QTest::newRow("A4 4+0 mugs") << QStringList {QStringLiteral("radioButton_67"),
                                                 QStringLiteral("radioButton_62"),
                                                 QStringLiteral("radioButton_68")}
                                 << QString() << QString() << QStringLiteral("40")
                                 << QStringLiteral(
                                        "А4 (210х297 мм.); Размер изображения 4+0; Кружки; 0")
                                 << QStringLiteral("0.03") << QStringLiteral("значение=252200")
                                 << StandardTitles;
    QTest::newRow("euro cards 4+4 without material")
        << QStringList {QStringLiteral("radioButton_131"), QStringLiteral("radioButton_64"),
                        QStringLiteral("radioButton_89")}
        << QString() << QString() << QStringLiteral("2")
        << QStringLiteral("Визитки евро (85х55 мм.); Размер изображения 4+4; Без материала; 0")
        << QStringLiteral("0")
        << QStringLiteral("значение=251049"
                          "0")
        << StandardTitles;
    QTest::newRow("custom 100 x 50, 1+0 mugs")
        << QStringList {QStringLiteral("radioButtonOther_2"), QStringLiteral("radioButton_68")}
        << QStringLiteral("100") << QStringLiteral("50") << QStringLiteral("3")
        << QStringLiteral("Другой; 100x50 1+0; Кружки; 0") << QStringLiteral("50")
        << QStringLiteral("значение=2515000")
        << QStringLiteral("100x50 Размер изображения Цветность Тип материала Цвет материала ");
    QTest::newRow("custom with an empty height")
        << QStringList {QStringLiteral("radioButtonOther_2"), QStringLiteral("radioButton_68")}
        << QStringLiteral("100") << QString() << QStringLiteral("3")
        << QStringLiteral("Другой; 100x 1+0; Кружки; 0") << QStringLiteral("0")
        << QStringLiteral("значение=2515000")
        << QStringLiteral("100x Размер изображения Цветность Тип материала Цвет материала ");
    QTest::newRow("light material colour")
        << QStringList {QStringLiteral("radioButton_67"), QStringLiteral("radioButton_62"),
                        QStringLiteral("radioButton_68"), QStringLiteral("checkBox_116")}
        << QString() << QString() << QStringLiteral("1")
        << QStringLiteral("А4 (210х297 мм.); Размер изображения 4+0; Кружки; 0; Светлый")
        << QStringLiteral("100500") << QStringLiteral("значение=252200") << StandardTitles;
    QTest::newRow("both material colours, custom size")
        << QStringList {QStringLiteral("radioButtonOther_2"), QStringLiteral("radioButton_68"),
                        QStringLiteral("checkBox_117"), QStringLiteral("checkBox_116")}
        << QStringLiteral("100") << QStringLiteral("50") << QStringLiteral("1")
        << QStringLiteral("Другой; 100x50 1+0; Кружки; 0; Светлый; Темный")
        << QStringLiteral("201051") << QStringLiteral("значение=2515000")
        << QStringLiteral("100x50 Размер изображения Цветность Тип материала Цвет материала ");
    QTest::newRow("right-column material reads as mugs")
        << QStringList {QStringLiteral("radioButton_67"), QStringLiteral("radioButton_62"),
                        QStringLiteral("radioButton_32")}
        << QString() << QString() << QStringLiteral("5")
        << QStringLiteral("А4 (210х297 мм.); Размер изображения 4+0; Матовая; 0")
        << QStringLiteral("0.03") << QStringLiteral("значение=252200") << StandardTitles;
    QTest::newRow("no material chosen")
        << QStringList {QStringLiteral("radioButton_65"), QStringLiteral("radioButton_61")}
        << QString() << QString() << QStringLiteral("7")
        << QStringLiteral("А6 (105х148 мм.); Размер изображения 1+1; ; 0")
        << QStringLiteral("0.003")
        << QStringLiteral("значение=25010"
                          "0")
        << StandardTitles;
}

void SouvenirTest::answer()
{
    QFETCH(QStringList, options);
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QString, quantity);
    QFETCH(QString, description);
    QFETCH(QString, price);
    QFETCH(QString, keyText);
    QFETCH(QString, titles);

    clickAll(options);
    if (!width.isNull())
        type(QStringLiteral("lineEditWidth_7"), width);
    if (!height.isNull())
        type(QStringLiteral("lineEditHeight_4"), height);
    if (!quantity.isNull())
        type(QStringLiteral("lineEdit_16"), quantity);
    const QString quantityText = quantity.isNull() ? QStringLiteral("1") : quantity;
    QCOMPARE(answerLine(),
             (TableRow {description, quantityText, price, keyText, titles, Marker::None}));
}

void SouvenirTest::answerKeepsChoicesAndClearsColours()
{
    click(QStringLiteral("radioButtonOther_2"));
    click(QStringLiteral("radioButton_63"));
    click(QStringLiteral("radioButton_68"));
    type(QStringLiteral("lineEditWidth_7"), QStringLiteral("20"));
    type(QStringLiteral("lineEditHeight_4"), QStringLiteral("30"));
    type(QStringLiteral("lineEdit_16"), QStringLiteral("12"));
    click(QStringLiteral("checkBox_116"));
    click(QStringLiteral("checkBox_117"));
    QVERIFY(answerAdds(1));

    QVERIFY2(!find<QCheckBox>(QStringLiteral("checkBox_116"))->isChecked(),
             "Светлый still checked");
    QVERIFY2(!find<QCheckBox>(QStringLiteral("checkBox_117"))->isChecked(), "Темный still checked");
    QVERIFY(find<QRadioButton>(QStringLiteral("radioButtonOther_2"))->isChecked());
    QVERIFY(find<QRadioButton>(QStringLiteral("radioButton_63"))->isChecked());
    QVERIFY(find<QRadioButton>(QStringLiteral("radioButton_68"))->isChecked());
    QCOMPARE(find<QLineEdit>(QStringLiteral("lineEditWidth_7"))->text(), QStringLiteral("20"));
    QCOMPARE(find<QLineEdit>(QStringLiteral("lineEditHeight_4"))->text(), QStringLiteral("30"));
    QCOMPARE(find<QLineEdit>(QStringLiteral("lineEdit_16"))->text(), QStringLiteral("12"));

    // The same job again, now without the colours: a second line, amounts gone.
    QVERIFY(answerAdds(1));
    QCOMPARE(rows(), 2);
    QCOMPARE(orderLine(1).description, QStringLiteral("Другой; 20x30 4+1; Кружки; 0"));
    QCOMPARE(orderLine(1).price, QStringLiteral("0"));
    QCOMPARE(orderLine(0).price, QStringLiteral("201001"));
}

void SouvenirTest::otherAndNoMaterialPriceAlike()
{
    const char *sizes[] = {"radioButton_65", "radioButton_60", "radioButton_67", "radioButton_66"};
    const char *colours[] = {"radioButton_59", "radioButton_61", "radioButton_62", "radioButton_63",
                             "radioButton_64"};
    for (const char *size : sizes) {
        for (const char *colour : colours) {
            click(QLatin1String(size));
            click(QLatin1String(colour));
            click(QStringLiteral("radioButton_88"));
            QVERIFY(answerAdds(1));
            click(QStringLiteral("radioButton_89"));
            QVERIFY(answerAdds(1));
        }
    }
    QCOMPARE(rows(), 40);
    for (int row = 0; row < rows(); row += 2) {
        const TableRow other = orderLine(row);
        const TableRow none = orderLine(row + 1);
        QVERIFY2(other.description.endsWith(QStringLiteral("; Другое; 0")),
                 qPrintable(other.description));
        QVERIFY2(none.description.endsWith(QStringLiteral("; Без материала; 0")),
                 qPrintable(none.description));
        QCOMPARE(other.keyText, none.keyText);
        QVERIFY2(other.keyText.endsWith(QStringLiteral("90")), qPrintable(other.keyText));
        QCOMPARE(other.price, none.price);
        QVERIFY2(other.price != QLatin1String("0"),
                 qPrintable(QStringLiteral("no price for ") + other.keyText));
    }
    // A5 1+1 is one of the rows where code 9 differs from mugs (5 against 4).
    QCOMPARE(orderLine(2 * (5 * 1 + 1)).price, QStringLiteral("0.005"));
}

void SouvenirTest::sizeToggleEmptiesFields()
{
    auto *sizeGroup = find<QGroupBox>(QStringLiteral("groupBoxListSize_4"));
    click(QStringLiteral("radioButtonOther_2"));
    QVERIFY2(!sizeGroup->isHidden(), "custom size not shown for Другой");
    type(QStringLiteral("lineEditWidth_7"), QStringLiteral("100"));
    type(QStringLiteral("lineEditHeight_4"), QStringLiteral("50"));
    click(QStringLiteral("radioButton_60"));
    QVERIFY2(sizeGroup->isHidden(), "custom size still shown after А5");
    QCOMPARE(find<QLineEdit>(QStringLiteral("lineEditWidth_7"))->text(), QString());
    QCOMPARE(find<QLineEdit>(QStringLiteral("lineEditHeight_4"))->text(), QString());
    click(QStringLiteral("radioButtonOther_2"));
    QVERIFY2(!sizeGroup->isHidden(), "custom size not shown again");
}

void SouvenirTest::galleryOfPens()
{
    click(QStringLiteral("radioButton_79"));
    QVERIFY2(find<QScrollArea>(QStringLiteral("scrollArea"))->isVisible(),
             "gallery not shown for Ручки");
    QGridLayout *grid = galleryGrid();
    QCOMPARE(grid->count(), 18);
    const double prices[] = {28, 41, 366, 266, 166, 26, 28, 30, 31};
    QList<QRadioButton *> choices;
    for (int row = 0; row < 9; ++row) {
        QLayoutItem *left = grid->itemAtPosition(row, 0);
        QLayoutItem *right = grid->itemAtPosition(row, 1);
        QVERIFY2(left && right, qPrintable(QStringLiteral("row %1 incomplete").arg(row)));
        auto *choice = qobject_cast<QRadioButton *>(left->widget());
        auto *picture = qobject_cast<QLabel *>(right->widget());
        QVERIFY2(choice && picture, qPrintable(QStringLiteral("row %1 mixed up").arg(row)));
        QVERIFY2(left->alignment() & Qt::AlignRight, "picture button not right-aligned");
        QVERIFY(choice->text().isEmpty());
        QVERIFY2(!choice->isChecked(), "a new picture comes checked");
        const QVariant value = choice->property("value");
        QCOMPARE(value.userType(), int(QMetaType::Double));
        QCOMPARE(value.toDouble(), prices[row]);
        QVERIFY2(!shownPicture(picture).isNull(),
                 qPrintable(QStringLiteral("picture %1 not loaded").arg(row + 1)));
        QCOMPARE(shownPicture(picture).size(), QSize(320, 240));
        choices << choice;
    }
    QCOMPARE(choices.at(4)->property("value").toDouble(), 166.0);

    // The picture buttons choose one picture among them, and touch nothing else.
    // Rows go downwards once the gallery has been laid out.
    QTRY_VERIFY2(choices.at(4)->y() > choices.at(2)->y(), "gallery rows not stacked");
    click(choices.at(2));
    click(choices.at(4));
    QVERIFY(choices.at(4)->isChecked());
    QVERIFY2(!choices.at(2)->isChecked(), "two pictures checked at once");
    QVERIFY2(find<QRadioButton>(QStringLiteral("radioButton_79"))->isChecked(),
             "the material lost its check");
    QCOMPARE(rows(), 0);
}

void SouvenirTest::galleryPrices_data()
{
    QTest::addColumn<QString>("material");
    QTest::addColumn<QList<double>>("prices");

    QTest::newRow("Кружки") << "radioButton_68" << QList<double> {27, 49, 666, 23, 25, 28};
    QTest::newRow("Ручки") << "radioButton_79"
                           << QList<double> {28, 41, 366, 266, 166, 26, 28, 30, 31};
    QTest::newRow("Текстиль") << "radioButton_80" << QList<double> {29, 44, 66, 47, 48};
    QTest::newRow("Бейсболки") << "radioButton_81" << QList<double> {22, 49, 50};
    QTest::newRow("Пазлы") << "radioButton_82" << QList<double> {29, 46, 76, 86};
    QTest::newRow("Костеры") << "radioButton_86" << QList<double> {20, 35, 86};
}

// Each material's gallery: a loaded picture in every row and the price beside it.
void SouvenirTest::galleryPrices()
{
    QFETCH(QString, material);
    QFETCH(QList<double>, prices);
    click(material);
    QCOMPARE(galleryGrid()->count(), 2 * prices.size());
    QList<double> shown;
    for (int row = 0; row < prices.size(); ++row) {
        auto *choice
            = qobject_cast<QRadioButton *>(galleryGrid()->itemAtPosition(row, 0)->widget());
        auto *picture = qobject_cast<QLabel *>(galleryGrid()->itemAtPosition(row, 1)->widget());
        QVERIFY2(choice && picture, qPrintable(QStringLiteral("row %1 mixed up").arg(row)));
        QVERIFY2(!shownPicture(picture).isNull(),
                 qPrintable(QStringLiteral("picture %1 not loaded").arg(row + 1)));
        shown << choice->property("value").toDouble();
    }
    QCOMPARE(shown, prices);
}

void SouvenirTest::materialWithoutPicturesEmptiesGallery()
{
    click(QStringLiteral("radioButton_68"));
    QCOMPARE(galleryGrid()->count(), 12);
    auto *mug = qobject_cast<QLabel *>(galleryGrid()->itemAtPosition(1, 1)->widget());
    QVERIFY2(mug && shownPicture(mug).size() == QSize(320, 240),
             "the animated mug picture did not load");
    click(QStringLiteral("radioButton_84"));
    QCOMPARE(galleryGrid()->count(), 0);
    QVERIFY2(find<QScrollArea>(QStringLiteral("scrollArea"))->isVisible(), "gallery hidden again");
    click(QStringLiteral("radioButton_88"));
    QCOMPARE(galleryGrid()->count(), 0);
    click(QStringLiteral("radioButton_86"));
    QCOMPARE(galleryGrid()->count(), 6);
}

void SouvenirTest::rightColumnMaterialLeavesGallery()
{
    click(QStringLiteral("radioButton_81"));
    QCOMPARE(galleryGrid()->count(), 6);
    QPointer<QWidget> first = galleryGrid()->itemAtPosition(0, 1)->widget();
    click(QStringLiteral("radioButton_32"));
    QVERIFY(find<QRadioButton>(QStringLiteral("radioButton_32"))->isChecked());
    QVERIFY2(!find<QRadioButton>(QStringLiteral("radioButton_81"))->isChecked(),
             "materials not exclusive");
    QCOMPARE(galleryGrid()->count(), 6);
    QVERIFY2(first, "the caps gallery was rebuilt by Матовая");
}

void SouvenirTest::repeatedClicksDoNotLeak()
{
    auto *contents = find<QWidget>(QStringLiteral("scrollAreaWidgetContents_2"));
    const int childrenBefore = contents->children().size();
    click(QStringLiteral("radioButton_80"));
    QList<QPointer<QWidget>> previous;
    for (int i = 0; i < galleryGrid()->count(); ++i)
        previous << galleryGrid()->itemAt(i)->widget();
    QCOMPARE(previous.size(), 10);
    for (int repeat = 0; repeat < 5; ++repeat)
        click(QStringLiteral("radioButton_80"));
    for (const QPointer<QWidget> &old : previous)
        QVERIFY2(old.isNull(), "a widget of an earlier gallery survived");
    QCOMPARE(galleryGrid()->count(), 10);
    QCOMPARE(contents->children().size(), childrenBefore + 10);
    click(QStringLiteral("radioButton_84"));
    QCOMPARE(contents->children().size(), childrenBefore);
}

void SouvenirTest::unloadablePictureGivesEmptyRow()
{
    auto *caps = find<QRadioButton>(QStringLiteral("radioButton_81"));
    caps->setProperty("imageAddresses",
                      QStringList {QStringLiteral("Beisbolki/1.jpg"),
                                   QStringLiteral("Beisbolki/missing.jpg"),
                                   QStringLiteral("Beisbolki/3.jpg")});
    click(QStringLiteral("radioButton_81"));
    QCOMPARE(galleryGrid()->count(), 6);
    auto *missing = qobject_cast<QLabel *>(galleryGrid()->itemAtPosition(1, 1)->widget());
    QVERIFY(missing);
    QVERIFY2(shownPicture(missing).isNull(), "a missing picture shows something");
    QCOMPARE(qobject_cast<QRadioButton *>(galleryGrid()->itemAtPosition(1, 0)->widget())
                 ->property("value")
                 .toDouble(),
             49.0);
    auto *last = qobject_cast<QLabel *>(galleryGrid()->itemAtPosition(2, 1)->widget());
    QVERIFY2(last && shownPicture(last).size() == QSize(320, 240),
             "the picture after the missing one is not shown");
    click(QStringLiteral("radioButton_68"));
    QVERIFY(answerAdds(1));
    QCOMPARE(rows(), 1);
}

QTEST_MAIN(SouvenirTest)
#include "test_souvenir.moc"
