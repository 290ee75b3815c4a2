// The window as it opens: slot table, frame, captions and start state.
#include "tests/page_driver.h"

#include <QMenuBar>
#include <QMetaMethod>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>

class StartupTest : public QObject, private PageDriver
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(openWindow()); }
    void cleanup() { closeWindow(); }

    // Connections are made by name, so the slot table's order and signatures are part of the
    // program's interface.
    void slotTableInDeclaredOrder()
    {
        const QStringList expected = {QStringLiteral("removeRow(int)"),
                                      QStringLiteral("page1_1_answer()"),
                                      QStringLiteral("page1_1_answer2()"),
                                      QStringLiteral("page1_1_answer3()"),
                                      QStringLiteral("page1_1_showDim(bool)"),
                                      QStringLiteral("page1_2_answer()"),
                                      QStringLiteral("page1_2_answer2()"),
                                      QStringLiteral("page1_2_answer3()"),
                                      QStringLiteral("page1_2_showDim(bool)"),
                                      QStringLiteral("page2_1_answer()"),
                                      QStringLiteral("page2_1_showDim(bool)"),
                                      QStringLiteral("page2_2_answer()"),
                                      QStringLiteral("page2_2_showDim(bool)"),
                                      QStringLiteral("page3_1_answer()"),
                                      QStringLiteral("page3_1_showDim(bool)"),
                                      QStringLiteral("page3_2_answer()"),
                                      QStringLiteral("page3_2_showDim(bool)"),
                                      QStringLiteral("page4_1_answer()"),
                                      QStringLiteral("page4_1_showDim(bool)"),
                                      QStringLiteral("exportToExcel()"),
                                      QStringLiteral("clearTable()"),
                                      QStringLiteral("showImage()"),
                                      QStringLiteral("slotCellClicked(int,int)")};
        const QMetaObject *meta = window->metaObject();
        QCOMPARE(meta->className(), "MainWindow");
        QCOMPARE(meta->methodCount() - meta->methodOffset(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            const QMetaMethod method = meta->method(meta->methodOffset() + i);
            QCOMPARE(QString::fromLatin1(method.methodSignature()), expected.at(i));
            QCOMPARE(method.methodType(), i == 0 ? QMetaMethod::Signal : QMetaMethod::Slot);
            if (i > 0)
                QCOMPARE(method.access(), QMetaMethod::Private);
        }
        QCOMPARE(meta->method(meta->methodOffset()).parameterNames().value(0),
                 QByteArray("rowNum"));
    }

    void frameAtStart()
    {
        QCOMPARE(window->size(), QSize(1289, 792));
        QCOMPARE(window->windowTitle(), QStringLiteral("MainWindow"));
        QCOMPARE(window->objectName(), QStringLiteral("MainWindow"));
        QVERIFY(window->menuBar());
        QVERIFY(window->menuBar()->actions().isEmpty());
        QVERIFY(window->statusBar());
        QCOMPARE(window->statusBar()->currentMessage(), QString());

        auto *tabs = find<QTabWidget>(QStringLiteral("tabWidget"));
        QCOMPARE(tabs->geometry(), QRect(10, 10, 1271, 491));
        const QStringList tabTexts
            = {QStringLiteral("Лазерная печать"), QStringLiteral("Широкий формат"),
               QStringLiteral("Сувенирная продукция"), QStringLiteral("Дизайн")};
        QCOMPARE(tabs->count(), tabTexts.size());
        for (int i = 0; i < tabs->count(); ++i)
            QCOMPARE(tabs->tabText(i), tabTexts.at(i));
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(tabs->widget(3)->objectName(), QStringLiteral("tab_4"));
        QVERIFY2(!tabs->widget(3)->findChild<QToolBox *>(), "the design tab has no tool box");
    }

    void toolBoxPages_data()
    {
        QTest::addColumn<QString>("toolBox");
        QTest::addColumn<int>("current");
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("laser") << QStringLiteral("toolBox") << 0
                               << QStringList {QStringLiteral("page"), QStringLiteral("page_2")}
                               << QStringList {QStringLiteral("Листовая продукция"),
                                               QStringLiteral("Брошюры")};
        QTest::newRow("wide format")
            << QStringLiteral("toolBox_2") << 1
            << QStringList {QStringLiteral("page_3"), QStringLiteral("page_4")}
            << QStringList {QStringLiteral("Уличная"), QStringLiteral("Интерьерная")};
        QTest::newRow("souvenirs")
            << QStringLiteral("toolBox_3") << 0
            << QStringList {QStringLiteral("page_5"), QStringLiteral("page_6")}
            << QStringList {QStringLiteral("Печать"), QStringLiteral("Гравировка")};
    }
    void toolBoxPages()
    {
        QFETCH(QString, toolBox);
        QFETCH(int, current);
        QFETCH(QStringList, pages);
        QFETCH(QStringList, captions);
        auto *box = find<QToolBox>(toolBox);
        QCOMPARE(box->geometry(), QRect(10, 10, 1251, 451));
        QCOMPARE(box->count(), pages.size());
        for (int i = 0; i < box->count(); ++i) {
            QCOMPARE(box->widget(i)->objectName(), pages.at(i));
            QCOMPARE(box->itemText(i), captions.at(i));
        }
        QCOMPARE(box->currentIndex(), current);
    }

    void orderArea()
    {
        auto *table = find<QTableWidget>(QStringLiteral("tableWidget"));
        QCOMPARE(table->geometry(), QRect(10, 510, 1041, 231));
        QCOMPARE(table->rowCount(), 0);
        QCOMPARE(table->columnCount(), 6);
        auto *clear = find<QPushButton>(QStringLiteral("pushButton_4"));
        QCOMPARE(clear->text(), QStringLiteral("Очистка"));
        QCOMPARE(clear->geometry(), QRect(1060, 510, 75, 23));
        auto *label = find<QLabel>(QStringLiteral("label_9"));
        QCOMPARE(label->text(), QStringLiteral("Путь к файлу шаблону"));
        // The caption is wider than its column at the usual desktop font, so it wraps onto two
        // lines that end right above the path field.
        QCOMPARE(label->x(), 1140);
        QCOMPARE(label->width(), 141);
        QVERIFY2(label->heightForWidth(label->width()) <= label->height(),
                 "the caption of the template path is clipped");
        QVERIFY(label->geometry().bottom() < 680);
        auto *path = find<QLineEdit>(QStringLiteral("lineEdit_11"));
        QCOMPARE(path->text(), QStringLiteral("D:/999.xlsx"));
        QCOMPARE(path->geometry(), QRect(1140, 680, 131, 20));
        QVERIFY2(!path->validator(), "the template path takes any text");
        auto *exportButton = find<QPushButton>(QStringLiteral("pushButton_6"));
        QCOMPARE(exportButton->text(), QStringLiteral("Экспорт"));
        QCOMPARE(exportButton->geometry(), QRect(1140, 710, 75, 23));

        // The form's central widget is held by a scroll area, which scrolls nothing at the
        // designed size.
        auto *area = qobject_cast<QScrollArea *>(window->centralWidget());
        QVERIFY2(area, "the window's central widget is no scroll area");
        QCOMPARE(area->widget(), find<QWidget>(QStringLiteral("centralwidget")));
        QCOMPARE(area->widget()->size(), area->viewport()->size());

        // Creation order of the order area; widgets made in code come after the form's.
        const QObjectList children = area->widget()->children();
        QStringList names;
        for (const QObject *child : children) {
            if (child->isWidgetType())
                names << child->objectName();
        }
        QCOMPARE(names.mid(0, 6),
                 (QStringList {QStringLiteral("tabWidget"), QStringLiteral("tableWidget"),
                               QStringLiteral("pushButton_6"), QStringLiteral("label_9"),
                               QStringLiteral("lineEdit_11"), QStringLiteral("pushButton_4")}));
    }

    void closingEndsWithExitCodeZero()
    {
        QTimer::singleShot(0, window, &QWidget::close);
        QCOMPARE(qApp->exec(), 0);
    }
};

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
