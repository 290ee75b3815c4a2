// Option groups: what a page learns from a group box's direct radio buttons and check boxes.
#include "app/mainwindow.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

class OptionGroupsTest : public QObject
{
    Q_OBJECT

private:
    MainWindow *window = nullptr;
    QGroupBox *group = nullptr;

    template<typename Button>
    Button *add(const QString &caption, const QVariant &value = QVariant())
    {
        auto *button = new Button(caption, group);
        if (value.isValid())
            button->setProperty("value", value);
        group->layout()->addWidget(button);
        return button;
    }

private slots:
    void initTestCase() { window = new MainWindow; }
    void cleanupTestCase() { delete window; }

    void init()
    {
        group = new QGroupBox(QStringLiteral("Группа"));
        new QGridLayout(group);
    }
    void cleanup() { delete group; }

    void emptyGroupGivesNothing()
    {
        add<QCheckBox>(QStringLiteral("1+0 лак"), 43);
        add<QRadioButton>(QStringLiteral("80"), 0);
        QCOMPARE(window->sumCheckedValues(group), 0.0);
        QCOMPARE(window->checkedCaptions(group), QString());
        const OptionChoice choice = window->checkedOption(group);
        QCOMPARE(choice.value, 0.0);
        QVERIFY(choice.caption.isEmpty());
    }

    // An extra's choice carries the catalogue's key, found by the button's object name.
    void choicesCarryTheExtrasKey_data()
    {
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<bool>("exclusive");
        QTest::addColumn<QString>("key");
        QTest::newRow("lamination") << "radioButton_145" << true << "sheet.lamination.matte-250";
        QTest::newRow("pocket") << "checkBox_60" << false << "street.pocket.a4";
        QTest::newRow("a format is no extra") << "radioButton_3" << true << "";
        QTest::newRow("a name the catalogue lacks") << "radioButton_145_1" << true << "";
    }
    void choicesCarryTheExtrasKey()
    {
        QFETCH(QString, objectName);
        QFETCH(bool, exclusive);
        QFETCH(QString, key);
        QAbstractButton *button = exclusive
            ? static_cast<QAbstractButton *>(add<QRadioButton>(QStringLiteral("250"), 80))
            : add<QCheckBox>(QStringLiteral("А4"), 20);
        button->setObjectName(objectName);
        button->setChecked(true);
        const OptionGroup options = window->optionGroup(group);
        QCOMPARE(options.checked.size(), 1);
        QCOMPARE(options.checked.first().name, objectName);
        QCOMPARE(options.checked.first().key, key);
        QCOMPARE(options.checked.first().exclusive, exclusive);
        if (exclusive)
            QCOMPARE(window->checkedOption(group).key, key);
    }

    void twoCheckedBoxesSumAndCaptionsInChildOrder()
    {
        auto *first = add<QCheckBox>(QStringLiteral("1+0 лак"), 43);
        auto *second = add<QCheckBox>(QStringLiteral("0+1 лак"), 33);
        // Checked in reverse: the captions follow child order, not click order.
        second->setChecked(true);
        first->setChecked(true);
        QCOMPARE(window->sumCheckedValues(group), 76.0);
        QCOMPARE(window->checkedCaptions(group), QStringLiteral("; 1+0 лак; 0+1 лак"));
    }

    void singleCaptionHasLeadingSeparator()
    {
        add<QCheckBox>(QStringLiteral("Тиснение фольгой"), 566)->setChecked(true);
        QCOMPARE(window->checkedCaptions(group), QStringLiteral("; Тиснение фольгой"));
    }

    void mixedGroupKeepsKindsApart()
    {
        auto *radio = add<QRadioButton>(QStringLiteral("Матовая"), 2);
        auto *box = add<QCheckBox>(QStringLiteral("Обрезка углов 4 шт."), 23);
        radio->setChecked(true);
        box->setChecked(true);
        const OptionChoice choice = window->checkedOption(group);
        QCOMPARE(choice.value, 2.0);
        QCOMPARE(choice.caption, QStringLiteral("Матовая"));
        QCOMPARE(window->sumCheckedValues(group), 23.0);
        QCOMPARE(window->checkedCaptions(group), QStringLiteral("; Обрезка углов 4 шт."));

        window->clearGroup(group);
        QVERIFY2(!radio->isChecked(), "clearGroup left the radio button checked");
        QVERIFY2(!box->isChecked(), "clearGroup left the check box checked");
    }

    void unsetOrNonNumericValueReadsZero()
    {
        add<QCheckBox>(QStringLiteral("без кода"))->setChecked(true);
        add<QCheckBox>(QStringLiteral("текст"), QStringLiteral("abc"))->setChecked(true);
        add<QCheckBox>(QStringLiteral("дробь"), 0.5)->setChecked(true);
        QCOMPARE(window->sumCheckedValues(group), 0.5);
        auto *radio = add<QRadioButton>(QStringLiteral("Другой"));
        radio->setChecked(true);
        QCOMPARE(window->checkedOption(group).value, 0.0);
        QCOMPARE(window->checkedOption(group).caption, QStringLiteral("Другой"));
    }

    void nestedGroupIsNeverEntered()
    {
        auto *nested = new QGroupBox(QStringLiteral("Размер"), group);
        group->layout()->addWidget(nested);
        auto *inner = new QRadioButton(QStringLiteral("внутри"), nested);
        inner->setProperty("value", 7);
        inner->setChecked(true);
        auto *innerBox = new QCheckBox(QStringLiteral("внутри"), nested);
        innerBox->setProperty("value", 9);
        innerBox->setChecked(true);
        // Other direct children are ignored as well.
        group->layout()->addWidget(new QLabel(QStringLiteral("мм."), group));
        group->layout()->addWidget(new QLineEdit(QStringLiteral("100"), group));

        QCOMPARE(window->checkedOption(group).value, 0.0);
        QCOMPARE(window->sumCheckedValues(group), 0.0);
        QCOMPARE(window->checkedCaptions(group), QString());
        window->clearGroup(group);
        QVERIFY2(inner->isChecked() && innerBox->isChecked(),
                 "clearGroup reached into a nested group box");
    }

    void firstCheckedRadioInChildOrderWins()
    {
        auto *a = add<QRadioButton>(QStringLiteral("А"), 1);
        auto *b = add<QRadioButton>(QStringLiteral("Б"), 2);
        a->setAutoExclusive(false);
        b->setAutoExclusive(false);
        b->setChecked(true);
        a->setChecked(true);
        QCOMPARE(window->checkedOption(group).caption, QStringLiteral("А"));
    }

    void clickAfterClearChecksExactlyOne()
    {
        group->show();
        auto *a = add<QRadioButton>(QStringLiteral("30 мкм Глянцевая"), 20);
        auto *b = add<QRadioButton>(QStringLiteral("100 мкм Глянцевая"), 40);
        QTest::mouseClick(a, Qt::LeftButton);
        QVERIFY(a->isChecked());
        window->clearGroup(group);
        QVERIFY2(!a->isChecked() && !b->isChecked(), "the checked radio button stayed checked");
        QVERIFY2(a->autoExclusive() && b->autoExclusive(), "exclusivity was not restored");

        QTest::mouseClick(b, Qt::LeftButton);
        QVERIFY(b->isChecked());
        QTest::mouseClick(a, Qt::LeftButton);
        QVERIFY2(a->isChecked() && !b->isChecked(), "two radio buttons checked after clearGroup");
        QCOMPARE(window->checkedOption(group).value, 20.0);
    }

    void clearingEmitsToggled()
    {
        auto *box = add<QCheckBox>(QStringLiteral("Монтаж"), 60);
        box->setChecked(true);
        QSignalSpy toggled(box, &QCheckBox::toggled);
        window->clearGroup(group);
        QCOMPARE(toggled.count(), 1);
        QCOMPARE(toggled.first().first().toBool(), false);
    }
};

QTEST_MAIN(OptionGroupsTest)
#include "test_option_groups.moc"
