// The owner's reports over 1,000,000 journal lines (250,000 invoices of four lines over a year),
// each report's time as a ratio to its 500 ms goal, on SQLite and on a throwaway PostgreSQL
// cluster. The journal is written in one transaction through the schema's triggers, as the
// counters write it. Prints; checks nothing.
#include "bench/bench_support.h"
#include "tests/pg_cluster.h"

#include "pricing/jobs.h"
#include "storage/connection.h"
#include "storage/records.h"
#include "storage/sales_reports.h"
#include "storage/transaction.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

namespace {

const int Invoices = 250000;
const int LinesEach = 4;
const QDate FirstDay(2025, 3, 1);

QString compact(const QJsonObject &job)
{
    return QString::fromUtf8(QJsonDocument(job).toJson(QJsonDocument::Compact));
}

// Rows of one table, all inside the caller's transaction, through one prepared statement reused:
// a row a statement on SQLite, whose statements cost little, many rows a statement on
// PostgreSQL, where each statement is a round trip. The constant columns' values are written
// into each row after the bound ones.
bool insertRows(QSqlDatabase db, bool sqlite, const QString &table, const QString &columns,
                int width, const QString &constants, const QVector<QVariant> &values)
{
    const int rowsEach = sqlite ? 1 : 1000 / width;
    const QString row = QStringLiteral("(?") + QStringLiteral(", ?").repeated(width - 1)
        + QStringLiteral(", ") + constants + QLatin1Char(')');
    QSqlQuery query(db);
    int prepared = 0;
    for (int from = 0; from < values.size(); from += rowsEach * width) {
        const int rows = qMin(rowsEach, (int(values.size()) - from) / width);
        if (rows != prepared) {
            QStringList marks;
            for (int i = 0; i < rows; ++i)
                marks << row;
            query.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(table, columns)
                          + marks.join(QLatin1Char(',')));
            prepared = rows;
        }
        for (int i = from; i < from + rows * width; ++i)
            query.addBindValue(values.at(i));
        if (!query.exec()) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(table),
                         qPrintable(query.lastError().text()));
            return false;
        }
    }
    return true;
}

double processCpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

bool generate(Connection &connection)
{
    // The half gigabyte written in one transaction stays in SQLite's cache instead of spilling
    // to the log page by page; the reports are then read with the default cache again.
    const bool sqlite = connection.isSqlite();
    if (sqlite)
        QSqlQuery(connection.database()).exec(QStringLiteral("PRAGMA cache_size = -1048576"));
    const auto defaultCache = qScopeGuard([&] {
        if (sqlite)
            QSqlQuery(connection.database()).exec(QStringLiteral("PRAGMA cache_size = -2000"));
    });
    Transaction transaction(connection);
    QSqlDatabase db = connection.database();
    const QStringList jobs {compact(toJson(SheetProductsJob())), compact(toJson(BrochureJob())),
                            compact(toJson(StreetJob())),        compact(toJson(InteriorJob())),
                            compact(toJson(SouvenirJob())),      QStringLiteral("")};
    const QStringList operators {QStringLiteral("Анна"), QStringLiteral("Борис"),
                                 QStringLiteral("Вера")};
    QVector<QVariant> invoices, lines, orders, changes;
    invoices.reserve(Invoices * 8);
    lines.reserve(Invoices * LinesEach * 6);
    for (int i = 0; i < Invoices; ++i) {
        const qint64 number = i + 1;
        const QString created
            = storedTime(QDateTime(FirstDay.addDays(i % 365), QTime(9, 0).addSecs(i % 30000)));
        const int customer = i % 7 == 0 ? 0 : 1 + i % 5000;
        invoices << number << QStringLiteral("bench-%1").arg(i) << created << LinesEach << 4000.0
                 << (i % 500 == 0 ? 1 : 0) << customer
                 << (customer ? QStringLiteral("Покупатель %1").arg(customer) : QStringLiteral(""));
        for (int j = 0; j < LinesEach; ++j)
            lines << number << j << QString::number(100 * (j + 1)) << QStringLiteral("10")
                  << jobs.at((i + j) % jobs.size());
        if (i % 3 != 0) {
            orders << number << (i % 50 == 0 ? 4 : 3) << created << created << (i % 4) * 1000;
            changes << number << created << operators.at(i % operators.size());
        }
    }
    return insertRows(db, sqlite, QStringLiteral("invoice"),
                      QStringLiteral("number, order_uid, created, line_count, subtotal, is_void, "
                                     "customer_id, customer_name, counter, tax, total, "
                                     "template_path, search_text"),
                      8, QStringLiteral("'стойка-1', 0, 4000, '', ''"), invoices)
        && insertRows(db, sqlite, QStringLiteral("invoice_line"),
                      QStringLiteral("invoice_number, position, quantity, unit_price, job, "
                                     "description, key_text, titles, removal_marker, "
                                     "explanation, missing_price"),
                      5, QStringLiteral("'Листовки А4', '002428', '', 0, '', 0"), lines)
        && insertRows(db, sqlite, QStringLiteral("taken_order"),
                      QStringLiteral("invoice_number, status, created, changed, "
                                     "paid_kopecks, due, note, source, counter, "
                                     "customer_phone, customer_email, phone_digits, "
                                     "search_name"),
                      5, QStringLiteral("'', '', 'стойка', 'стойка-1', '', '', '', ''"), orders)
        && insertRows(db, sqlite, QStringLiteral("order_status_change"),
                      QStringLiteral("invoice_number, changed_at, operator_name, counter, "
                                     "from_status, to_status, reason"),
                      3, QStringLiteral("'стойка-1', NULL, 0, ''"), changes)
        && transaction.commit();
}

void measure(const char *name, const DatabaseUrl &url)
{
    Connection connection;
    if (!connection.open(url, QStringLiteral("bench"))) {
        std::printf("%s: %s\n", name, qPrintable(connection.errorText()));
        return;
    }
    QElapsedTimer made;
    made.start();
    if (!generate(connection)) {
        std::printf("%s: the journal could not be generated\n", name);
        return;
    }
    QSqlQuery(connection.database()).exec(QStringLiteral("ANALYZE"));
    std::printf("%s: %d journal lines generated in %.1f s\n", name, Invoices * LinesEach,
                made.elapsed() / 1e3);
    // On a machine shared with other work the clock's time includes the waits for a core; SQLite
    // reports in this process, so its CPU time is the report's own.
    const bool sqlite = connection.isSqlite();
    std::printf("  report over the year (median of 3; goal 500 ms)   rows      ms   ratio%s\n",
                sqlite ? "  cpu ms   ratio" : "");
    SalesReports reports(connection);
    const QDate last = FirstDay.addDays(364);
    const auto time = [&](const QString &what, const std::function<int()> &report) {
        QVector<double> runs, cpu;
        int rows = 0;
        for (int round = 0; round < 3; ++round) {
            const double cpuBefore = processCpuMs();
            QElapsedTimer timer;
            timer.start();
            rows = report();
            runs.append(timer.nsecsElapsed() / 1e6);
            cpu.append(processCpuMs() - cpuBefore);
        }
        std::printf("  %s %6d %7.1f %7.2f", qPrintable(what.leftJustified(48)), rows, median(runs),
                    median(runs) / 500.0);
        if (sqlite)
            std::printf(" %7.1f %7.2f", median(cpu), median(cpu) / 500.0);
        std::printf("\n");
    };
    for (int by = 0; by <= int(SalesGrouping::Customer); ++by) {
        time(QStringLiteral("sales by ") + groupingWord(SalesGrouping(by)), [&] {
            QVector<SalesRow> rows;
            if (!reports.sales(FirstDay, last, SalesGrouping(by), &rows))
                std::printf("  failed: %s\n", qPrintable(connection.errorText()));
            return int(rows.size());
        });
    }
    time(QStringLiteral("average order"), [&] {
        AverageOrder average;
        reports.average(FirstDay, last, &average);
        return 1;
    });
    time(QStringLiteral("owed by age"), [&] {
        QVector<OwedRow> rows;
        if (!reports.owed(last, &rows))
            std::printf("  failed: %s\n", qPrintable(connection.errorText()));
        return int(rows.size());
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // Each figure shown as it is measured, also when the output goes to a file.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QTemporaryDir dir;
    measure("SQLite", DatabaseUrl::sqliteFile(dir.filePath(QStringLiteral("reports.sqlite"))));
    PgCluster cluster;
    if (!cluster.start()) {
        std::printf("PostgreSQL: no cluster: %s\n", qPrintable(cluster.error));
        return 0;
    }
    measure("PostgreSQL",
            DatabaseUrl::parse(
                QStringLiteral("postgresql://printcalc@/shop?host=%1").arg(cluster.dir)));
    return 0;
}
