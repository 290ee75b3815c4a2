// The sales the reports read, kept beside the journal: a shop database upgraded with its invoices
// already in it reports what they sum to, and a void, a cancellation, a new revision or a payment
// made after the sale was summed shows in the reports at once, on SQLite and PostgreSQL.
#include "tests/older_database.h"
#include "tests/pg_cluster.h"

#include "pricing/jobs.h"
#include "storage/connection.h"
#include "storage/journal.h"
#include "storage/order_book.h"
#include "storage/sales_reports.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Every report over a period as lines of text: by day, by family, by operator, by customer, the
// average, then what is owed on `on`.
QStringList allReports(Connection &connection, const QDate &from, const QDate &to, const QDate &on)
{
    SalesReports reports(connection);
    QStringList lines;
    for (const SalesGrouping by : {SalesGrouping::Day, SalesGrouping::Family,
                                   SalesGrouping::Operator, SalesGrouping::Customer}) {
        QVector<SalesRow> rows;
        if (!reports.sales(from, to, by, &rows))
            return {QStringLiteral("failed: ") + connection.errorText()};
        for (const SalesRow &row : qAsConst(rows))
            lines << QStringLiteral("%1 %2\t%3\t%4\t%5")
                         .arg(groupingWord(by), row.group)
                         .arg(row.invoices)
                         .arg(row.lines)
                         .arg(row.sum, 0, 'f', 2);
    }
    AverageOrder average;
    QVector<OwedRow> owed;
    if (!reports.average(from, to, &average) || !reports.owed(on, &owed))
        return {QStringLiteral("failed: ") + connection.errorText()};
    lines << QStringLiteral("average\t%1\t%2\t%3")
                 .arg(average.invoices)
                 .arg(average.sum, 0, 'f', 2)
                 .arg(average.average(), 0, 'f', 2);
    for (const OwedRow &row : qAsConst(owed))
        lines << QStringLiteral("owed %1\t%2\t%3")
                     .arg(row.age)
                     .arg(row.invoices)
                     .arg(row.owedKopecks);
    return lines;
}

OrderLine lineOn(const QJsonObject &job, const QString &quantity, const QString &price)
{
    OrderLine line;
    line.description = QStringLiteral("Строка");
    line.quantity = quantity;
    line.unitPrice = price;
    line.job = job;
    line.readNumbers();
    return line;
}

InvoiceDraft draftOf(const QString &uid, const QVector<OrderLine> &lines)
{
    InvoiceDraft draft;
    draft.orderUid = uid;
    draft.created = QDateTime(QDate(2026, 4, 1), QTime(10, 0));
    draft.counter = QStringLiteral("стойка-1");
    draft.taxGiven = true;
    draft.taxRule = {TaxMode::None, 0};
    draft.lines = lines;
    return draft;
}

// A PostgreSQL database as the program of the version before `step` left it, with `rows`, as
// makeDatabaseBefore makes a SQLite file. Empty when made; otherwise what failed.
QString makePostgresBefore(const QString &host, const QString &name, int step,
                           const QStringList &rows)
{
    int before = 0;
    for (const SchemaStep &each : schemaSteps())
        if (each.version < step)
            before = each.version;
    QString problem;
    {
        QSqlDatabase db
            = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("older-pg"));
        db.setHostName(host);
        db.setUserName(QStringLiteral("printcalc"));
        db.setDatabaseName(name);
        if (!db.open())
            return db.lastError().text();
        QSqlQuery query(db);
        const auto run = [&query, &problem](const QString &statement) {
            if (problem.isEmpty() && !query.exec(statement))
                problem = statement + QStringLiteral(": ") + query.lastError().text();
        };
        for (const SchemaStep &each : schemaSteps()) {
            if (each.version > before)
                break;
            for (const QString &statement : each.statements + each.postgresOnly)
                run(statement);
            QSqlError error;
            if (problem.isEmpty() && each.rewrite && !each.rewrite(db, &error))
                problem = QStringLiteral("step %1: %2").arg(each.version).arg(error.text());
        }
        run(QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)"));
        run(QStringLiteral("INSERT INTO schema_version (version) VALUES (%1)").arg(before));
        for (const QString &row : rows)
            run(row);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("older-pg"));
    return problem;
}

enum class Change { None, Void, Cancel, Revise, Pay };

} // namespace

class SalesSummaryTest : public QObject
{
    Q_OBJECT

    PgCluster cluster;
    QTemporaryDir dir;
    int databases = 0;

private slots:
    void initTestCase() { QVERIFY2(cluster.start(), qPrintable(cluster.error)); }

    // A version-14 database as an older program left it: five invoices, one with two revisions,
    // one void, one a cancelled order, a tier line, prices typed with a comma and a space.
    void upgraded_data()
    {
        QTest::addColumn<QString>("database");
        QTest::newRow("sqlite") << QStringLiteral("sqlite");
        QTest::newRow("postgres") << QStringLiteral("postgres");
    }

    void upgraded()
    {
        QFETCH(QString, database);
        const QString invoice = QStringLiteral(
            "INSERT INTO invoice (number, order_uid, created, counter, line_count, subtotal, tax, "
            "total, template_path, is_void, search_text, customer_id, customer_name, revision) "
            "VALUES ");
        const QString line = QStringLiteral(
            "INSERT INTO invoice_line (invoice_number, revision, position, quantity, unit_price, "
            "job, description, key_text, titles, removal_marker, explanation, missing_price) "
            "VALUES ");
        const QString order = QStringLiteral(
            "INSERT INTO taken_order (invoice_number, status, due, note, source, created, counter, "
            "changed, customer_phone, customer_email, phone_digits, search_name, paid_kopecks) "
            "VALUES ");
        const QString taking = QStringLiteral(
            "INSERT INTO order_status_change (invoice_number, changed_at, counter, operator_name, "
            "from_status, to_status, reason) VALUES ");
        const QString rest = QStringLiteral(", 'Строка', '', '', 0, '', 0)");
        const QStringList rows {
            invoice
                + QStringLiteral("(1, 'u1', '2026-03-02T10:00:00', 'c', 2, 1500, 0, 1500, '', 0, "
                                 "'', 1, 'Покупатель 1', 1)"),
            line + QStringLiteral("(1, 1, 0, '10', '100', '{\"page\":\"sheet_products\"}'") + rest,
            line
                + QStringLiteral("(1, 1, 1, '5', '100', "
                                 "'{\"family\":\"50\",\"page\":\"sheet_products\"}'")
                + rest,
            order
                + QStringLiteral("(1, 0, '', '', 'стойка', '2026-03-02T10:00:00', 'c', '', '', '', "
                                 "'', '', 50000)"),
            taking + QStringLiteral("(1, '2026-03-02T10:00:00', 'c', 'Анна', NULL, 0, '')"),
            invoice
                + QStringLiteral("(2, 'u2', '2026-03-02T11:00:00', 'c', 2, 801, 0, 801, '', 0, "
                                 "'', 0, '', 2)"),
            line + QStringLiteral("(2, 1, 0, '1', '999', '{\"page\":\"street\"}'") + rest,
            line + QStringLiteral("(2, 2, 0, '2', '250,50', '{\"page\":\"brochures\"}'") + rest,
            line + QStringLiteral("(2, 2, 1, '3', '100', ''") + rest,
            invoice
                + QStringLiteral("(3, 'u3', '2026-03-03T10:00:00', 'c', 1, 700, 0, 700, '', 1, "
                                 "'', 0, '', 1)"),
            line + QStringLiteral("(3, 1, 0, '1', '700', '{\"page\":\"souvenir\"}'") + rest,
            invoice
                + QStringLiteral("(4, 'u4', '2026-03-03T11:00:00', 'c', 1, 600, 0, 600, '', 0, "
                                 "'', 1, 'Покупатель 1', 1)"),
            line + QStringLiteral("(4, 1, 0, '2', '300', '{\"page\":\"interior\"}'") + rest,
            order
                + QStringLiteral("(4, 4, '', '', 'стойка', '2026-03-03T11:00:00', 'c', '', '', '', "
                                 "'', '', 0)"),
            taking + QStringLiteral("(4, '2026-03-03T11:00:00', 'c', 'Анна', NULL, 0, '')"),
            invoice
                + QStringLiteral("(5, 'u5', '2026-03-09T10:00:00', 'c', 2, 1000, 0, 1000, '', 0, "
                                 "'', 2, 'Покупатель 2', 1)"),
            line + QStringLiteral("(5, 1, 0, '4', '125', '{\"page\":\"interior\"}'") + rest,
            line + QStringLiteral("(5, 1, 1, '1 000', '0,5', '{\"page\":\"souvenir\"}'") + rest,
            order
                + QStringLiteral("(5, 0, '', '', 'стойка', '2026-03-09T10:00:00', 'c', '', '', '', "
                                 "'', '', 0)"),
            taking + QStringLiteral("(5, '2026-03-09T10:00:00', 'c', 'Борис', NULL, 0, '')")};
        DatabaseUrl url;
        QString problem;
        if (database == QLatin1String("sqlite")) {
            const QString path = dir.filePath(QStringLiteral("older.sqlite"));
            problem = makeDatabaseBefore(path, 15, rows);
            url = DatabaseUrl::sqliteFile(path);
        } else {
            Connection server;
            QVERIFY(server.open(DatabaseUrl::parse(cluster.url()), QStringLiteral("server")));
            QVERIFY(QSqlQuery(server.database()).exec(QStringLiteral("CREATE DATABASE older")));
            problem = makePostgresBefore(cluster.dir, QStringLiteral("older"), 15, rows);
            url = DatabaseUrl::parse(QStringLiteral("postgresql://printcalc@/older?host=")
                                     + cluster.dir);
        }
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        Connection connection;
        QVERIFY2(connection.open(url, QStringLiteral("upgraded")),
                 qPrintable(connection.errorText()));
        QCOMPARE(connection.schemaVersion(), latestSchemaVersion());
        QCOMPARE(allReports(connection, QDate(2026, 3, 1), QDate(2026, 3, 31), QDate(2026, 3, 31)),
                 (QStringList {QStringLiteral("day 2026-03-02\t2\t4\t2301.00"),
                               QStringLiteral("day 2026-03-09\t1\t2\t1000.00"),
                               QStringLiteral("family Листовая продукция\t1\t2\t1500.00"),
                               QStringLiteral("family Брошюры\t1\t1\t501.00"),
                               QStringLiteral("family Интерьерная\t1\t1\t500.00"),
                               QStringLiteral("family Сувенирная продукция\t1\t1\t500.00"),
                               QStringLiteral("family Прочее\t1\t1\t300.00"),
                               QStringLiteral("operator Анна\t1\t2\t1500.00"),
                               QStringLiteral("operator Борис\t1\t2\t1000.00"),
                               QStringLiteral("operator без оператора\t1\t2\t801.00"),
                               QStringLiteral("customer Покупатель 1\t1\t2\t1500.00"),
                               QStringLiteral("customer Покупатель 2\t1\t2\t1000.00"),
                               QStringLiteral("average\t3\t3301.00\t1100.33"),
                               QStringLiteral("owed 0–30\t2\t200000"),
                               QStringLiteral("owed 31–60\t0\t0"),
                               QStringLiteral("owed более 60\t0\t0")}));
    }

    // Two invoices of 1 April: order A taken by Анна (sheet 10 × 100, brochure 2 × 250,
    // customer 7) and a plain invoice B (souvenir 1 × 300); then one change after both were
    // summed. Owed on 30 April.
    void changeAfterSumming_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<int>("change");
        QTest::addColumn<QStringList>("expected");
        const QStringList owedNone {QStringLiteral("owed 31–60\t0\t0"),
                                    QStringLiteral("owed более 60\t0\t0")};
        const struct
        {
            const char *name;
            Change change;
            QStringList expected;
        } rows[] = {
            {"nothing changed", Change::None,
             QStringList {QStringLiteral("day 2026-04-01\t2\t3\t1800.00"),
                          QStringLiteral("family Листовая продукция\t1\t1\t1000.00"),
                          QStringLiteral("family Брошюры\t1\t1\t500.00"),
                          QStringLiteral("family Сувенирная продукция\t1\t1\t300.00"),
                          QStringLiteral("operator Анна\t1\t2\t1500.00"),
                          QStringLiteral("operator без оператора\t1\t1\t300.00"),
                          QStringLiteral("customer Покупатель 7\t1\t2\t1500.00"),
                          QStringLiteral("average\t2\t1800.00\t900.00"),
                          QStringLiteral("owed 0–30\t1\t150000")}
                 + owedNone},
            {"B void: its only document failed", Change::Void,
             QStringList {QStringLiteral("day 2026-04-01\t1\t2\t1500.00"),
                          QStringLiteral("family Листовая продукция\t1\t1\t1000.00"),
                          QStringLiteral("family Брошюры\t1\t1\t500.00"),
                          QStringLiteral("operator Анна\t1\t2\t1500.00"),
                          QStringLiteral("customer Покупатель 7\t1\t2\t1500.00"),
                          QStringLiteral("average\t1\t1500.00\t1500.00"),
                          QStringLiteral("owed 0–30\t1\t150000")}
                 + owedNone},
            {"A cancelled", Change::Cancel,
             QStringList {QStringLiteral("day 2026-04-01\t1\t1\t300.00"),
                          QStringLiteral("family Сувенирная продукция\t1\t1\t300.00"),
                          QStringLiteral("operator без оператора\t1\t1\t300.00"),
                          QStringLiteral("average\t1\t300.00\t300.00"),
                          QStringLiteral("owed 0–30\t0\t0")}
                 + owedNone},
            {"A revised to street 3 × 100 and interior 1,5 × 200: only the new lines count",
             Change::Revise,
             QStringList {QStringLiteral("day 2026-04-01\t2\t3\t900.00"),
                          QStringLiteral("family Уличная\t1\t1\t300.00"),
                          QStringLiteral("family Интерьерная\t1\t1\t300.00"),
                          QStringLiteral("family Сувенирная продукция\t1\t1\t300.00"),
                          QStringLiteral("operator Анна\t1\t2\t600.00"),
                          QStringLiteral("operator без оператора\t1\t1\t300.00"),
                          QStringLiteral("customer Покупатель 7\t1\t2\t600.00"),
                          QStringLiteral("average\t2\t900.00\t450.00"),
                          QStringLiteral("owed 0–30\t1\t60000")}
                 + owedNone},
            {"A paid 1000 of 1500", Change::Pay,
             QStringList {QStringLiteral("day 2026-04-01\t2\t3\t1800.00"),
                          QStringLiteral("family Листовая продукция\t1\t1\t1000.00"),
                          QStringLiteral("family Брошюры\t1\t1\t500.00"),
                          QStringLiteral("family Сувенирная продукция\t1\t1\t300.00"),
                          QStringLiteral("operator Анна\t1\t2\t1500.00"),
                          QStringLiteral("operator без оператора\t1\t1\t300.00"),
                          QStringLiteral("customer Покупатель 7\t1\t2\t1500.00"),
                          QStringLiteral("average\t2\t1800.00\t900.00"),
                          QStringLiteral("owed 0–30\t1\t50000")}
                 + owedNone},
        };
        for (const char *kind : {"sqlite", "postgres"})
            for (const auto &row : rows)
                QTest::newRow(
                    qPrintable(QLatin1String(kind) + QLatin1Char(' ') + QLatin1String(row.name)))
                    << QString::fromLatin1(kind) << int(row.change) << row.expected;
    }

    void changeAfterSumming()
    {
        QFETCH(QString, database);
        QFETCH(int, change);
        QFETCH(QStringList, expected);
        const QString name = QStringLiteral("summary%1").arg(++databases);
        DatabaseUrl url = DatabaseUrl::sqliteFile(dir.filePath(name + QStringLiteral(".sqlite")));
        if (database == QLatin1String("postgres")) {
            Connection server;
            QVERIFY(server.open(DatabaseUrl::parse(cluster.url()), name + QStringLiteral("s")));
            QVERIFY(QSqlQuery(server.database()).exec(QStringLiteral("CREATE DATABASE ") + name));
            url = DatabaseUrl::parse(
                QStringLiteral("postgresql://printcalc@/%1?host=%2").arg(name, cluster.dir));
        }
        Connection connection;
        QVERIFY2(connection.open(url, name), qPrintable(connection.errorText()));

        InvoiceDraft ordered = draftOf(
            QStringLiteral("a"),
            {lineOn(toJson(SheetProductsJob()), QStringLiteral("10"), QStringLiteral("100")),
             lineOn(toJson(BrochureJob()), QStringLiteral("2"), QStringLiteral("250"))});
        ordered.customer.id = 7;
        ordered.customer.shortName = QStringLiteral("Покупатель 7");
        OrderBook book(connection);
        book.setOperatorName(QStringLiteral("Анна"));
        OrderIntake intake;
        intake.draft = ordered;
        intake.due = ordered.created.addDays(2);
        const qint64 a = book.take(intake, 1);
        QVERIFY2(a != 0, qPrintable(connection.errorText()));
        const qint64 b
            = Journal(connection)
                  .storeInvoice(draftOf(QStringLiteral("b"),
                                        {lineOn(toJson(SouvenirJob()), QStringLiteral("1"),
                                                QStringLiteral("300"))}),
                                1);
        QVERIFY2(b != 0, qPrintable(connection.errorText()));

        const QDateTime later(QDate(2026, 4, 2), QTime(12, 0));
        switch (Change(change)) {
        case Change::None:
            break;
        case Change::Void:
            QVERIFY(Journal(connection).addDocument(b, {QStringLiteral("pdf"), later, false}));
            break;
        case Change::Cancel:
            QVERIFY(book.changeStatus(a, OrderStatus::Cancelled, QStringLiteral("отказ"), false,
                                      ordered.counter, later)
                        .done());
            break;
        case Change::Revise: {
            OrderIntake revised = intake;
            revised.draft.lines
                = {lineOn(toJson(StreetJob()), QStringLiteral("3"), QStringLiteral("100")),
                   lineOn(toJson(InteriorJob()), QStringLiteral("1,5"), QStringLiteral("200"))};
            QVERIFY2(book.revise(a, revised).done(), qPrintable(connection.errorText()));
            break;
        }
        case Change::Pay: {
            Payment payment;
            payment.kopecks = 100000;
            payment.time = later;
            payment.counter = ordered.counter;
            QVERIFY2(book.addPayment(a, payment).done(), qPrintable(connection.errorText()));
            break;
        }
        }
        QCOMPARE(allReports(connection, QDate(2026, 4, 1), QDate(2026, 4, 30), QDate(2026, 4, 30)),
                 expected);
    }
};

QTEST_GUILESS_MAIN(SalesSummaryTest)
#include "test_sales_summary.moc"
