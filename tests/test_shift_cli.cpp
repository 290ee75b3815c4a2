// `printcalc --shift ...` run as the administrator runs it: the real program, no display, a day's
// shift stored beforehand through the storage; one script of commands in order, each with its
// output, messages and exit status. Times of the shifts the script itself opens are "now": they
// show as ВРЕМЯ.
#include "storage/connection.h"
#include "storage/order_book.h"
#include "storage/shift_store.h"
#include "tests/program_run.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class ShiftCliTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString url;

private slots:
    void initTestCase()
    {
        url = QStringLiteral("sqlite://") + dir.filePath(QStringLiteral("shop.sqlite"));
        QDir().mkpath(dir.filePath(QStringLiteral("config/printcalc")));
        QFile config(dir.filePath(QStringLiteral("config/printcalc/printcalc.ini")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(QStringLiteral("[counter]\nname=стойка-7\n").toUtf8());
        config.close();

        Connection connection;
        QVERIFY(connection.open(DatabaseUrl::parse(url), QStringLiteral("fill")));
        const QDate day(2026, 3, 2);
        OrderLine line;
        line.description = QStringLiteral("Визитки");
        line.quantity = QStringLiteral("1");
        line.unitPrice = QStringLiteral("1000");
        OrderIntake order;
        order.draft.orderUid = QStringLiteral("a");
        order.draft.created = QDateTime(day, QTime(9, 30));
        order.draft.counter = QStringLiteral("стойка-7");
        order.draft.lines = {line};
        order.due = QDateTime(day, QTime(18, 0));
        OrderBook book(connection);
        QCOMPARE(book.take(order, 1), 1);
        ShiftStore shifts(connection);
        QVERIFY(shifts
                    .open(QStringLiteral("стойка-7"), 300000, QStringLiteral("Анна"),
                          QDateTime(day, QTime(9, 0)))
                    .done());
        const QVector<QPair<qint64, PaymentMethod>> paid {{50000, PaymentMethod::Cash},
                                                          {40000, PaymentMethod::Card},
                                                          {28000, PaymentMethod::Transfer},
                                                          {-10000, PaymentMethod::Cash}};
        int minute = 0;
        for (const auto &[kopecks, method] : paid) {
            Payment payment;
            payment.kopecks = kopecks;
            payment.method = method;
            payment.counter = QStringLiteral("стойка-7");
            payment.time = QDateTime(day, QTime(10, ++minute));
            payment.reason = QStringLiteral("брак");
            QVERIFY(book.addPayment(1, payment).done());
        }
        CashEntry out;
        out.kopecks = -20000;
        out.reason = QStringLiteral("на хозяйственные");
        out.operatorName = QStringLiteral("Анна");
        out.time = QDateTime(day, QTime(12, 0));
        QVERIFY(shifts.addCash(QStringLiteral("стойка-7"), out).done());
        QVERIFY(shifts
                    .close(QStringLiteral("стойка-7"), 320000, QStringLiteral("Анна"),
                           QDateTime(day, QTime(19, 0)))
                    .done());
    }

    // In order: each row works on what the rows before it left.
    void script_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const auto args = [](std::initializer_list<const char *> words) {
            QStringList list;
            for (const char *word : words)
                list << QString::fromUtf8(word);
            return list;
        };
        QTest::newRow("the day's Z report")
            << args({"--shift", "report", "1"}) << 0
            << QStringLiteral("Отчёт\tZ\nСмена\t1\nКасса\tстойка-7\nОткрыта\t2026-03-02 09:00:00\n"
                              "Открыл\tАнна\nЗакрыта\t2026-03-02 19:00:00\nЗакрыл\tАнна\n"
                              "Размен в кассе\t3000.00\nНаличные\t500.00\nКарта\t400.00\n"
                              "Безналичный\t280.00\nВозвраты наличными\t100.00\n"
                              "Возвраты картой\t0.00\nВозвраты безналичным\t0.00\n"
                              "Внесено\t0.00\nИзъято\t200.00\nОжидается в кассе\t3200.00\n"
                              "Пересчитано\t3200.00\nРасхождение\t0.00\nРаботали\tАнна\n"
                              "Записей в журнале действий\t0\nПоследний хеш журнала\t\n")
            << QString();
        QTest::newRow("an unknown number")
            << args({"--shift", "report", "9"}) << 1 << QString()
            << QStringLiteral("Z-отчёта № 9 на кассе «стойка-7» нет.\n");
        QTest::newRow("no open shift for an X report")
            << args({"--shift", "report"}) << 1 << QString()
            << QStringLiteral("На кассе «стойка-7» нет открытой смены.\n");
        QTest::newRow("not a number")
            << args({"--shift", "report", "первый"}) << 2 << QString() << QStringLiteral("unused");
        QTest::newRow("open") << args({"--shift", "open", "3200"}) << 0
                              << QStringLiteral("Смена № 2 открыта, размен 3200.00.\n")
                              << QString();
        QTest::newRow("opened twice")
            << args({"--shift", "open", "1,50"}) << 1 << QString()
            << QStringLiteral("На кассе «стойка-7» уже открыта смена № 2.\n");
        QTest::newRow("X report of the new shift")
            << args({"--shift", "report"}) << 0
            << QStringLiteral("Отчёт\tX\nСмена\t2\nКасса\tстойка-7\nОткрыта\tВРЕМЯ\nОткрыл\t\n"
                              "Отчёт на\tВРЕМЯ\nРазмен в кассе\t3200.00\nНаличные\t0.00\n"
                              "Карта\t0.00\nБезналичный\t0.00\nВозвраты наличными\t0.00\n"
                              "Возвраты картой\t0.00\nВозвраты безналичным\t0.00\n"
                              "Внесено\t0.00\nИзъято\t0.00\nОжидается в кассе\t3200.00\n"
                              "Работали\t\nЗаписей в журнале действий\t0\n"
                              "Последний хеш журнала\t\n")
            << QString();
        QTest::newRow("close without a sum")
            << args({"--shift", "close"}) << 2 << QString() << QStringLiteral("unused");
        QTest::newRow("close, 0.50 short")
            << args({"--shift", "close", "3199.50"}) << 0
            << QStringLiteral("Смена № 2 закрыта, расхождение -0.50.\n"
                              "Отчёт\tZ\nСмена\t2\nКасса\tстойка-7\nОткрыта\tВРЕМЯ\nОткрыл\t\n"
                              "Закрыта\tВРЕМЯ\nЗакрыл\t\nРазмен в кассе\t3200.00\n"
                              "Наличные\t0.00\nКарта\t0.00\nБезналичный\t0.00\n"
                              "Возвраты наличными\t0.00\nВозвраты картой\t0.00\n"
                              "Возвраты безналичным\t0.00\nВнесено\t0.00\nИзъято\t0.00\n"
                              "Ожидается в кассе\t3200.00\nПересчитано\t3199.50\n"
                              "Расхождение\t-0.50\nРаботали\t\nЗаписей в журнале действий\t0\n"
                              "Последний хеш журнала\t\n")
            << QString();
        QTest::newRow("closed twice")
            << args({"--shift", "close", "3199.50"}) << 1 << QString()
            << QStringLiteral("На кассе «стойка-7» нет открытой смены.\n");
        QTest::newRow("the first Z report stays")
            << args({"--shift", "report", "1"}) << 0
            << QStringLiteral("Отчёт\tZ\nСмена\t1\nКасса\tстойка-7\nОткрыта\t2026-03-02 09:00:00\n"
                              "Открыл\tАнна\nЗакрыта\t2026-03-02 19:00:00\nЗакрыл\tАнна\n"
                              "Размен в кассе\t3000.00\nНаличные\t500.00\nКарта\t400.00\n"
                              "Безналичный\t280.00\nВозвраты наличными\t100.00\n"
                              "Возвраты картой\t0.00\nВозвраты безналичным\t0.00\n"
                              "Внесено\t0.00\nИзъято\t200.00\nОжидается в кассе\t3200.00\n"
                              "Пересчитано\t3200.00\nРасхождение\t0.00\nРаботали\tАнна\n"
                              "Записей в журнале действий\t0\nПоследний хеш журнала\t\n")
            << QString();
    }

    void script()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const ProgramRun run
            = runProgram(arguments + QStringList {QStringLiteral("--database"), url},
                         dir.filePath(QStringLiteral("config")), 30000);
        // Only the shifts of the fixture's day keep their times.
        static const QRegularExpression now(
            QStringLiteral("(?!2026-03-02)\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d"));
        QString printed = run.out;
        printed.replace(now, QStringLiteral("ВРЕМЯ"));
        QCOMPARE(printed, out);
        if (status == 2)
            QVERIFY2(run.err.endsWith(QLatin1String("printcalc --help\n")), qPrintable(run.err));
        else
            QCOMPARE(run.err, err);
        QCOMPARE(run.status, status);
    }
};

QTEST_GUILESS_MAIN(ShiftCliTest)
#include "test_shift_cli.moc"
