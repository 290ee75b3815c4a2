// Where a workbook may be written, without the office: the reasons told in Russian before the
// office is asked, so that no device, folder or file of the wrong kind is ever written over.
#include "office/sheet_rows.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class SheetTargetTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        QFile file(dir.filePath(QStringLiteral("plain.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QFile old(dir.filePath(QStringLiteral("old.ods")));
        QVERIFY(old.open(QIODevice::WriteOnly));
    }

    void problems_data()
    {
        QTest::addColumn<QString>("path"); // "@" is the test's folder
        QTest::addColumn<QString>("problem"); // the same
        QTest::newRow("a new file in a folder") << "@/prices.ods"
                                                << "";
        QTest::newRow("an existing file") << "@/old.ods"
                                          << "";
        QTest::newRow("a device") << "/dev/full"
                                  << "«/dev/full» — не обычный файл, таблица в "
                                     "него не записывается.";
        QTest::newRow("a folder") << "@/folder"
                                  << "«@/folder» — не обычный файл, таблица в него не "
                                     "записывается.";
        QTest::newRow("the parent is a file")
            << "@/plain.txt/prices.ods"
            << "«@/plain.txt» — файл, а не папка: таблицу в нём не "
               "сохранить.";
        QTest::newRow("no such folder") << "@/gone/prices.xlsx"
                                        << "Папки «@/gone» нет.";
    }
    void problems()
    {
        QFETCH(QString, path);
        QFETCH(QString, problem);
        path.replace(QLatin1Char('@'), dir.path());
        problem.replace(QLatin1Char('@'), dir.path());
        QCOMPARE(sheetTargetProblem(path), problem);
    }
};

QTEST_GUILESS_MAIN(SheetTargetTest)
#include "test_sheet_target.moc"
