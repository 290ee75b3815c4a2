// The shift's figures from its payments and drawer entries: by method, refunds, cash in and out,
// the cash expected, counted and the difference; the printed lines and the kept text read back.
#include "order/shift_report.h"

#include <QtTest>

Q_DECLARE_METATYPE(QVector<qint64>)

namespace {

// Payments as [kopecks, method] pairs flattened: 0 cash, 1 card, 2 transfer.
QVector<Payment> payments(const QVector<qint64> &pairs)
{
    QVector<Payment> result;
    for (int i = 0; i + 1 < pairs.size(); i += 2) {
        Payment payment;
        payment.kopecks = pairs.at(i);
        payment.method = PaymentMethod(pairs.at(i + 1));
        result.append(payment);
    }
    return result;
}

QVector<CashEntry> entries(const QVector<qint64> &sums)
{
    QVector<CashEntry> result;
    for (qint64 sum : sums) {
        CashEntry entry;
        entry.kopecks = sum;
        result.append(entry);
    }
    return result;
}

ShiftFacts facts(bool closed)
{
    ShiftFacts facts;
    facts.counter = QStringLiteral("стойка-1");
    facts.number = 3;
    facts.opened = QDateTime(QDate(2026, 3, 2), QTime(9, 0));
    facts.openedBy = QStringLiteral("Анна");
    facts.closed = closed;
    facts.closedAt = QDateTime(QDate(2026, 3, 2), QTime(20, 0));
    facts.closedBy = QStringLiteral("Борис");
    facts.at = QDateTime(QDate(2026, 3, 2), QTime(14, 30));
    facts.operators = QStringList {QStringLiteral("Анна"), QStringLiteral("Борис")};
    facts.auditCount = 12;
    facts.auditHash = "ab12";
    return facts;
}

} // namespace

class ShiftReportTest : public QObject
{
    Q_OBJECT

private slots:
    void figures_data()
    {
        QTest::addColumn<qint64>("floatKopecks");
        QTest::addColumn<QVector<qint64>>("paid"); // kopecks, method
        QTest::addColumn<QVector<qint64>>("drawer");
        QTest::addColumn<qint64>("counted");
        // cash, card, transfer, cash refunds, card refunds, transfer refunds, in, out, expected,
        // difference
        QTest::addColumn<QVector<qint64>>("expected");
        QTest::newRow("every kind, 50.50 short")
            << qint64(500000)
            << QVector<qint64> {120000, 0, 30050, 0, 250000, 1, 1180000, 2, -20000, 0, -5000, 1}
            << QVector<qint64> {100000, -50000} << qint64(675000)
            << QVector<qint64> {150050, 250000, 1180000, 20000,  5000,
                                0,      100000, 50000,   680050, -5050};
        QTest::newRow("nothing taken, the float counted")
            << qint64(300000) << QVector<qint64> {} << QVector<qint64> {} << qint64(300000)
            << QVector<qint64> {0, 0, 0, 0, 0, 0, 0, 0, 300000, 0};
        QTest::newRow("card refund leaves the drawer, cash over")
            << qint64(0) << QVector<qint64> {10000, 0, -10000, 1, -500, 2}
            << QVector<qint64> {-2000, 5000, -1000} << qint64(13000)
            << QVector<qint64> {10000, 0, 0, 0, 10000, 500, 5000, 3000, 12000, 1000};
    }

    void figures()
    {
        QFETCH(qint64, floatKopecks);
        QFETCH(QVector<qint64>, paid);
        QFETCH(QVector<qint64>, drawer);
        QFETCH(qint64, counted);
        QFETCH(QVector<qint64>, expected);
        ShiftFacts shift = facts(true);
        shift.floatKopecks = floatKopecks;
        shift.payments = payments(paid);
        shift.entries = entries(drawer);
        shift.countedKopecks = counted;
        const ShiftReport report = shiftReport(shift);
        const QVector<qint64> got {report.cash,        report.card,        report.transfer,
                                   report.cashRefunds, report.cardRefunds, report.transferRefunds,
                                   report.cashIn,      report.cashOut,     report.expectedCash,
                                   report.difference};
        QCOMPARE(got, expected);
        // What is kept at the close reads back to the same figures.
        ShiftReport read;
        QVERIFY(readShiftReportText(report.text(), &read));
        const QVector<qint64> back {read.cash,        read.card,        read.transfer,
                                    read.cashRefunds, read.cardRefunds, read.transferRefunds,
                                    read.cashIn,      read.cashOut,     read.expectedCash,
                                    read.difference};
        QCOMPARE(back, expected);
        QVERIFY(read.closing);
        QCOMPARE(read.number, 3);
        QCOMPARE(read.counter, QStringLiteral("стойка-1"));
    }

    // The printed lines: an X report has no count nor difference and says when it was made.
    void lines_data()
    {
        QTest::addColumn<bool>("closed");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("X") << false << QStringLiteral("X-отчёт смены № 3, касса «стойка-1»")
                           << QStringLiteral("Отчёт\tX\nСмена\t3\nКасса\tстойка-1\n"
                                             "Открыта\t2026-03-02 09:00:00\nОткрыл\tАнна\n"
                                             "Отчёт на\t2026-03-02 14:30:00\n"
                                             "Размен в кассе\t5000.00\nНаличные\t1200.00\n"
                                             "Карта\t0.00\nБезналичный\t0.00\n"
                                             "Возвраты наличными\t200.00\nВозвраты картой\t0.00\n"
                                             "Возвраты безналичным\t0.00\nВнесено\t0.00\n"
                                             "Изъято\t100.00\nОжидается в кассе\t5900.00\n"
                                             "Работали\tАнна, Борис\n"
                                             "Записей в журнале действий\t12\n"
                                             "Последний хеш журнала\tab12\n");
        QTest::newRow("Z") << true << QStringLiteral("Z-отчёт смены № 3, касса «стойка-1»")
                           << QStringLiteral("Отчёт\tZ\nСмена\t3\nКасса\tстойка-1\n"
                                             "Открыта\t2026-03-02 09:00:00\nОткрыл\tАнна\n"
                                             "Закрыта\t2026-03-02 20:00:00\nЗакрыл\tБорис\n"
                                             "Размен в кассе\t5000.00\nНаличные\t1200.00\n"
                                             "Карта\t0.00\nБезналичный\t0.00\n"
                                             "Возвраты наличными\t200.00\nВозвраты картой\t0.00\n"
                                             "Возвраты безналичным\t0.00\nВнесено\t0.00\n"
                                             "Изъято\t100.00\nОжидается в кассе\t5900.00\n"
                                             "Пересчитано\t5899.99\nРасхождение\t-0.01\n"
                                             "Работали\tАнна, Борис\n"
                                             "Записей в журнале действий\t12\n"
                                             "Последний хеш журнала\tab12\n");
    }

    void lines()
    {
        QFETCH(bool, closed);
        QFETCH(QString, title);
        QFETCH(QString, text);
        ShiftFacts shift = facts(closed);
        shift.floatKopecks = 500000;
        shift.payments = payments({120000, 0, -20000, 0});
        shift.entries = entries({-10000});
        shift.countedKopecks = 589999;
        const ShiftReport report = shiftReport(shift);
        QCOMPARE(report.title(), title);
        QCOMPARE(report.text(), text);
    }

    void notAReport_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("no tabs") << QStringLiteral("Отчёт Z\nСмена 3\nКасса к\n");
        QTest::newRow("another first line") << QStringLiteral("Смена\t3\nОтчёт\tZ\nКасса\tк\n");
    }

    void notAReport()
    {
        QFETCH(QString, text);
        ShiftReport report;
        QVERIFY(!readShiftReportText(text, &report));
    }
};

QTEST_GUILESS_MAIN(ShiftReportTest)
#include "test_shift_report.moc"
