// The owner's sales reports over a generated journal, on SQLite and PostgreSQL, against sums
// worked out by hand: sixty invoices of five lines over eight days, every family, two operators
// and invoices taken by nobody, four customers, one void invoice, one cancelled order, some
// orders paid in full and some in part.
#include "tests/pg_cluster.h"
#include "tests/program_run.h"

#include "pricing/jobs.h"
#include "storage/connection.h"
#include "storage/journal.h"
#include "storage/order_book.h"
#include "storage/sales_reports.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QJsonObject jobOn(int page, bool tier)
{
    QJsonObject job;
    switch (page) {
    case 0:
        job = toJson(SheetProductsJob());
        break;
    case 1:
        job = toJson(BrochureJob());
        break;
    case 2:
        job = toJson(StreetJob());
        break;
    case 3:
        job = toJson(InteriorJob());
        break;
    case 4:
        job = toJson(SouvenirJob());
        break;
    default:
        return job; // a line priced on no page
    }
    if (tier)
        job.insert(QStringLiteral("family"), QStringLiteral("50"));
    return job;
}

// Invoice i: dated 2026-02-26 plus i % 8 days; line j priced on page (i + j) % 6 (5: none),
// quantity 10 × (j + 1), price (i % 5 + 1) × 10, the last line (i % 7 + 1),50 typed with a comma;
// customer 1 + i % 4 unless i % 5 is 0; taken as an order unless i % 3 is 2, by Анна for even i
// and Борис for odd; 8 void, 10 cancelled; orders with i % 4 = 0 paid in full, 1 paid 10 roubles.
QString generate(Connection &connection)
{
    for (int i = 0; i < 60; ++i) {
        InvoiceDraft draft;
        draft.orderUid = QStringLiteral("report-%1").arg(i);
        draft.created = QDateTime(QDate(2026, 2, 26).addDays(i % 8), QTime(10, i));
        draft.counter = QStringLiteral("стойка-1");
        draft.taxGiven = true;
        draft.taxRule = {TaxMode::None, 0};
        qint64 kopecks = 0;
        for (int j = 0; j < 5; ++j) {
            OrderLine line;
            const int page = (i + j) % 6;
            line.description = QStringLiteral("Строка %1.%2").arg(i).arg(j);
            line.quantity = QString::number(10 * (j + 1));
            line.unitPrice = j == 4 ? QStringLiteral("%1,50").arg(i % 7 + 1)
                                    : QString::number((i % 5 + 1) * 10);
            line.job = jobOn(page, page == 0 && i % 2 == 1);
            line.readNumbers();
            kopecks += j == 4 ? 50 * (2 * (i % 7) + 3) * 50 : 10 * (j + 1) * (i % 5 + 1) * 1000;
            draft.lines.append(line);
        }
        if (i % 5 != 0) {
            draft.customer.id = 1 + i % 4;
            draft.customer.shortName = QStringLiteral("Покупатель %1").arg(draft.customer.id);
        }
        qint64 number = 0;
        if (i % 3 == 2) {
            number = Journal(connection).storeInvoice(draft, 1);
        } else {
            OrderBook book(connection);
            book.setOperatorName(i % 2 == 0 ? QStringLiteral("Анна") : QStringLiteral("Борис"));
            OrderIntake intake;
            intake.draft = draft;
            intake.due = draft.created.addDays(2);
            intake.prepaymentKopecks = i % 4 == 0 ? kopecks : i % 4 == 1 ? 1000 : 0;
            number = book.take(intake, 1);
            if (number != 0 && i == 10
                && !book.changeStatus(number, OrderStatus::Cancelled, QStringLiteral("отказ"),
                                      false, draft.counter, draft.created.addSecs(60))
                        .done())
                return QStringLiteral("order 10 not cancelled: ") + connection.errorText();
        }
        if (number == 0)
            return QStringLiteral("invoice %1 not stored: %2").arg(i).arg(connection.errorText());
        if (i == 8
            && !Journal(connection)
                    .addDocument(number, {QStringLiteral("pdf"), draft.created, false}))
            return QStringLiteral("invoice 8 not voided");
    }
    return QString();
}

QStringList texts(const QVector<SalesRow> &rows)
{
    QStringList lines;
    for (const SalesRow &row : rows)
        lines << QStringLiteral("%1\t%2\t%3\t%4")
                     .arg(row.group)
                     .arg(row.invoices)
                     .arg(row.lines)
                     .arg(row.sum, 0, 'f', 2);
    return lines;
}

} // namespace

class SalesReportsTest : public QObject
{
    Q_OBJECT

    PgCluster cluster;
    QTemporaryDir dir;
    Connection sqlite;
    Connection postgres;

    Connection &database(const QString &kind)
    {
        return kind == QLatin1String("sqlite") ? sqlite : postgres;
    }

    static void bothDatabases(const char *name, const QVariantList &row)
    {
        for (const char *kind : {"sqlite", "postgres"}) {
            QTest::newRow(qPrintable(QLatin1String(kind) + QLatin1Char(' ') + QLatin1String(name)))
                << QString::fromLatin1(kind) << row.at(0).toDate() << row.at(1).toDate()
                << row.at(2).toString() << row.at(3).toStringList();
        }
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(cluster.start(), qPrintable(cluster.error));
        QVERIFY(sqlite.open(DatabaseUrl::sqliteFile(dir.filePath(QStringLiteral("shop.sqlite"))),
                            QStringLiteral("sqlite")));
        {
            Connection server;
            QVERIFY(server.open(DatabaseUrl::parse(cluster.url()), QStringLiteral("server")));
            QVERIFY(QSqlQuery(server.database()).exec(QStringLiteral("CREATE DATABASE reports")));
        }
        QVERIFY(
            postgres.open(DatabaseUrl::parse(QStringLiteral("postgresql://printcalc@/reports?host=")
                                             + cluster.dir),
                          QStringLiteral("postgres")));
        for (Connection *connection : {&sqlite, &postgres}) {
            const QString problem = generate(*connection);
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
        }
    }

    void sales_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("by");
        QTest::addColumn<QStringList>("expected");
        const QDate first(2026, 2, 26), last(2026, 3, 5), march(2026, 3, 1), second(2026, 3, 2);
        bothDatabases("by day, void and cancelled left out",
                      {first, last, QStringLiteral("day"),
                       QStringList {QStringLiteral("2026-02-26\t7\t35\t19525.00"),
                                    QStringLiteral("2026-02-27\t8\t40\t26700.00"),
                                    QStringLiteral("2026-02-28\t7\t35\t23525.00"),
                                    QStringLiteral("2026-03-01\t8\t40\t27800.00"),
                                    QStringLiteral("2026-03-02\t7\t35\t24575.00"),
                                    QStringLiteral("2026-03-03\t7\t35\t21575.00"),
                                    QStringLiteral("2026-03-04\t7\t35\t23575.00"),
                                    QStringLiteral("2026-03-05\t7\t35\t20575.00")}});
        bothDatabases("by ISO week, Sunday in the week before",
                      {first, last, QStringLiteral("week"),
                       QStringList {QStringLiteral("2026-W09\t30\t150\t97550.00"),
                                    QStringLiteral("2026-W10\t28\t140\t90300.00")}});
        bothDatabases("by week, two days",
                      {march, second, QStringLiteral("week"),
                       QStringList {QStringLiteral("2026-W09\t8\t40\t27800.00"),
                                    QStringLiteral("2026-W10\t7\t35\t24575.00")}});
        bothDatabases("by month",
                      {first, last, QStringLiteral("month"),
                       QStringList {QStringLiteral("2026-02\t22\t110\t69750.00"),
                                    QStringLiteral("2026-03\t36\t180\t118100.00")}});
        bothDatabases("by family, tier lines with theirs, comma prices read",
                      {first, last, QStringLiteral("family"),
                       QStringList {QStringLiteral("Листовая продукция\t48\t48\t31525.00"),
                                    QStringLiteral("Брошюры\t49\t49\t31700.00"),
                                    QStringLiteral("Уличная\t48\t48\t31625.00"),
                                    QStringLiteral("Интерьерная\t49\t49\t31600.00"),
                                    QStringLiteral("Сувенирная продукция\t48\t48\t31050.00"),
                                    QStringLiteral("Прочее\t48\t48\t30350.00")}});
        bothDatabases("by family, two days",
                      {march, second, QStringLiteral("family"),
                       QStringList {QStringLiteral("Листовая продукция\t13\t13\t9850.00"),
                                    QStringLiteral("Брошюры\t13\t13\t9875.00"),
                                    QStringLiteral("Уличная\t12\t12\t7675.00"),
                                    QStringLiteral("Интерьерная\t12\t12\t7375.00"),
                                    QStringLiteral("Сувенирная продукция\t12\t12\t8850.00"),
                                    QStringLiteral("Прочее\t13\t13\t8750.00")}});
        bothDatabases("by operator, most first",
                      {first, last, QStringLiteral("operator"),
                       QStringList {QStringLiteral("Борис\t20\t100\t64250.00"),
                                    QStringLiteral("Анна\t19\t95\t63375.00"),
                                    QStringLiteral("без оператора\t19\t95\t60225.00")}});
        bothDatabases("by customer, a tie by card",
                      {first, last, QStringLiteral("customer"),
                       QStringList {QStringLiteral("Покупатель 3\t12\t60\t44800.00"),
                                    QStringLiteral("Покупатель 4\t12\t60\t44800.00"),
                                    QStringLiteral("Покупатель 2\t12\t60\t44450.00"),
                                    QStringLiteral("Покупатель 1\t11\t55\t40325.00")}});
        bothDatabases("by customer, two days",
                      {march, second, QStringLiteral("customer"),
                       QStringList {QStringLiteral("Покупатель 4\t7\t35\t26725.00"),
                                    QStringLiteral("Покупатель 1\t6\t30\t23200.00")}});
        bothDatabases(
            "a period with no sales",
            {QDate(2026, 1, 1), QDate(2026, 1, 31), QStringLiteral("family"), QStringList()});
    }

    void sales()
    {
        QFETCH(QString, database);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QString, by);
        QFETCH(QStringList, expected);
        SalesGrouping grouping = SalesGrouping::Day;
        QVERIFY(groupingFromWord(by, &grouping));
        QVector<SalesRow> rows;
        QVERIFY2(SalesReports(this->database(database)).sales(from, to, grouping, &rows),
                 qPrintable(this->database(database).errorText()));
        QCOMPARE(texts(rows), expected);
    }

    void averageAndOwed_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("on");
        QTest::addColumn<QStringList>("expected");
        bothDatabases(
            "the whole period; owed on 31 March, 1 March is 30 days old",
            {QDate(2026, 2, 26), QDate(2026, 3, 5), QStringLiteral("2026-03-31"),
             QStringList {QStringLiteral("58\t187850.00\t3238.79"),
                          QStringLiteral("0–30\t19\t5738500"), QStringLiteral("31–60\t10\t3794000"),
                          QStringLiteral("более 60\t0\t0")}});
        bothDatabases(
            "two days; owed on 30 April, 26 February is 63 days old",
            {QDate(2026, 3, 1), QDate(2026, 3, 2), QStringLiteral("2026-04-30"),
             QStringList {QStringLiteral("15\t52375.00\t3491.67"), QStringLiteral("0–30\t0\t0"),
                          QStringLiteral("31–60\t19\t5738500"),
                          QStringLiteral("более 60\t10\t3794000")}});
    }

    void averageAndOwed()
    {
        QFETCH(QString, database);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QString, on);
        QFETCH(QStringList, expected);
        SalesReports reports(this->database(database));
        AverageOrder average;
        QVector<OwedRow> owed;
        QVERIFY(reports.average(from, to, &average));
        QVERIFY(reports.owed(QDate::fromString(on, Qt::ISODate), &owed));
        QStringList got {QStringLiteral("%1\t%2\t%3")
                             .arg(average.invoices)
                             .arg(average.sum, 0, 'f', 2)
                             .arg(average.average(), 0, 'f', 2)};
        for (const OwedRow &row : owed)
            got << QStringLiteral("%1\t%2\t%3").arg(row.age).arg(row.invoices).arg(row.owedKopecks);
        QCOMPARE(got, expected);
    }

    // The administrator's command line over the same SQLite journal: the lines as the issue's
    // columns give them, and the period and grouping refused in Russian with status 2.
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("errorStart");
        QTest::newRow("by operator")
            << QStringList {QStringLiteral("sales"),      QStringLiteral("--from"),
                            QStringLiteral("2026-02-26"), QStringLiteral("--to"),
                            QStringLiteral("2026-03-05"), QStringLiteral("--by"),
                            QStringLiteral("operator")}
            << 0
            << QStringLiteral("Борис\t20\t100\t64250.00\nАнна\t19\t95\t63375.00\n"
                              "без оператора\t19\t95\t60225.00\n")
            << QString();
        QTest::newRow("by family, two days")
            << QStringList {QStringLiteral("sales"),      QStringLiteral("--from"),
                            QStringLiteral("2026-03-01"), QStringLiteral("--to"),
                            QStringLiteral("2026-03-02"), QStringLiteral("--by"),
                            QStringLiteral("family")}
            << 0
            << QStringLiteral("Листовая продукция\t13\t13\t9850.00\nБрошюры\t13\t13\t9875.00\n"
                              "Уличная\t12\t12\t7675.00\nИнтерьерная\t12\t12\t7375.00\n"
                              "Сувенирная продукция\t12\t12\t8850.00\nПрочее\t13\t13\t8750.00\n")
            << QString();
        QTest::newRow("average") << QStringList {QStringLiteral("average"),
                                                 QStringLiteral("--from"),
                                                 QStringLiteral("2026-03-01"),
                                                 QStringLiteral("--to"),
                                                 QStringLiteral("2026-03-02")}
                                 << 0 << QStringLiteral("15\t52375.00\t3491.67\n") << QString();
        QTest::newRow("owed on a day")
            << QStringList {QStringLiteral("owed"), QStringLiteral("--on"),
                            QStringLiteral("2026-04-30")}
            << 0 << QStringLiteral("0–30\t0\t0.00\n31–60\t19\t57385.00\nболее 60\t10\t37940.00\n")
            << QString();
        QTest::newRow("no end of the period")
            << QStringList {QStringLiteral("sales"), QStringLiteral("--from"),
                            QStringLiteral("2026-03-01"), QStringLiteral("--by"),
                            QStringLiteral("day")}
            << 2 << QString()
            << QStringLiteral("Для отчёта нужен период: --from ДАТА и --to ДАТА.");
        QTest::newRow("an unknown grouping")
            << QStringList {QStringLiteral("sales"),      QStringLiteral("--from"),
                            QStringLiteral("2026-03-01"), QStringLiteral("--to"),
                            QStringLiteral("2026-03-02"), QStringLiteral("--by"),
                            QStringLiteral("year")}
            << 2 << QString()
            << QStringLiteral("После --by нужно одно из: day, week, month, family, operator, "
                              "customer.");
        QTest::newRow("an unknown report")
            << QStringList {QStringLiteral("profit")} << 2 << QString()
            << QStringLiteral("Отчёт «--reports profit» не известен: есть sales, average и owed.");
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, errorStart);
        const ProgramRun result
            = runProgram(QStringList {QStringLiteral("--reports")} + arguments
                             + QStringList {QStringLiteral("--database"),
                                            QStringLiteral("sqlite://")
                                                + dir.filePath(QStringLiteral("shop.sqlite"))},
                         dir.filePath(QStringLiteral("config")));
        QVERIFY2(result.err.startsWith(errorStart), qPrintable(result.err));
        QCOMPARE(result.out, out);
        QCOMPARE(result.status, status);
    }
};

QTEST_GUILESS_MAIN(SalesReportsTest)
#include "test_sales_reports.moc"
