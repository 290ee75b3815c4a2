// The window as it opens: frame, captions and start state.
#include "app/mainwindow.h"

#include <QLineEdit>
#include <QTableWidget>
#include <QTabWidget>
#include <QToolBox>
#include <QtTest>

class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void frameAtStart()
    {
        MainWindow window;
        window.show();
        QCOMPARE(window.size(), QSize(1289, 792));
        QCOMPARE(window.windowTitle(), QStringLiteral("MainWindow"));
        auto *tabs = window.findChild<QTabWidget *>("tabWidget");
        QVERIFY(tabs);
        QCOMPARE(tabs->count(), 4);
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Лазерная печать"));
        QCOMPARE(tabs->tabText(3), QStringLiteral("Дизайн"));
        QCOMPARE(window.findChild<QToolBox *>("toolBox")->currentIndex(), 0);
        QCOMPARE(window.findChild<QToolBox *>("toolBox_2")->currentIndex(), 1);
        QCOMPARE(window.findChild<QToolBox *>("toolBox_3")->currentIndex(), 0);
        auto *table = window.findChild<QTableWidget *>("tableWidget");
        QCOMPARE(table->rowCount(), 0);
        QCOMPARE(table->columnCount(), 6);
        QCOMPARE(window.findChild<QLineEdit *>("lineEdit_11")->text(), QStringLiteral("D:/999.xlsx"));
    }
};

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
