// The database thread's waits: a call waits for its turn only so long and is then dropped for
// good, and the thread's end waits only so long for a task that holds it (a frozen server).
#include "storage/database_thread.h"

#include <QElapsedTimer>
#include <QSemaphore>
#include <QtTest>

#include <atomic>

class DatabaseThreadTest : public QObject
{
    Q_OBJECT

private slots:
    void runWaitsForItsTurnSoLong_data()
    {
        QTest::addColumn<bool>("held");
        QTest::addColumn<bool>("answered");
        QTest::addColumn<bool>("ran");
        QTest::newRow("a free thread") << false << true << true;
        QTest::newRow("a thread held past the limit") << true << false << false;
    }
    void runWaitsForItsTurnSoLong()
    {
        QFETCH(bool, held);
        QFETCH(bool, answered);
        QFETCH(bool, ran);
        DatabaseThread thread(QStringLiteral("test-run"));
        QSemaphore holding, letGo;
        if (held) {
            thread.post([&] {
                holding.release();
                letGo.acquire();
            });
            QVERIFY(holding.tryAcquire(1, 5000));
        }
        bool didRun = false;
        QElapsedTimer waited;
        waited.start();
        QCOMPARE(thread.run([&] { didRun = true; }, 200), answered);
        QVERIFY2(waited.elapsed() < 2000, qPrintable(QString::number(waited.elapsed())));
        letGo.release();
        QVERIFY(thread.waitIdle(5000));
        // A call given up never runs later: it may have taken the caller's locals.
        QCOMPARE(didRun, ran);
        QVERIFY(thread.finish(5000));
    }

    void endWaitsForAHeldThreadSoLong()
    {
        DatabaseThread thread(QStringLiteral("test-end"));
        std::atomic_bool closed {false};
        thread.setFinalTask([&] { closed = true; });
        QSemaphore holding, letGo;
        thread.post([&] {
            holding.release();
            letGo.acquire();
        });
        QVERIFY(holding.tryAcquire(1, 5000));
        QElapsedTimer waited;
        waited.start();
        QVERIFY(!thread.finish(200));
        QVERIFY2(waited.elapsed() < 2000, qPrintable(QString::number(waited.elapsed())));
        QVERIFY(!closed);
        // Let go, the thread runs its final task and ends by itself.
        letGo.release();
        QVERIFY(thread.finish(5000));
        QVERIFY(closed);
    }
};

QTEST_GUILESS_MAIN(DatabaseThreadTest)
#include "test_database_thread.moc"
