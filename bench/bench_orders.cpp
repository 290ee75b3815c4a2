// The order book's figures, as ratios to their goals measured in one run: 10,000 open orders
// listed and filtered (goal 100 ms each), and a bank statement of 10,000 documents matched and
// imported (goal 2 s), then imported again; on SQLite and on a throwaway PostgreSQL cluster beside
// it. Prints; checks nothing.
#include "bench/bench_orders_data.h"
#include "bench/bench_support.h"
#include "tests/pg_cluster.h"

#include "storage/connection.h"
#include "storage/order_book.h"
#include "storage/records.h"
#include "storage/transaction.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextCodec>

#include <cstdio>

namespace {

using namespace benchorders;

double listMs(OrderBook &book, const OrderQuery &query, int *found)
{
    QVector<double> times;
    for (int round = 0; round < 7; ++round) {
        QElapsedTimer timer;
        timer.start();
        *found = book.list(query).size();
        times.append(timer.nsecsElapsed() / 1e6);
    }
    return median(times);
}

void measure(const char *name, const DatabaseUrl &url)
{
    Connection connection;
    if (!connection.open(url, QStringLiteral("bench"))) {
        std::printf("  %s: %s\n", name, qPrintable(connection.errorText()));
        return;
    }
    QElapsedTimer made;
    made.start();
    if (!generate(connection)) {
        std::printf("  %s: the orders could not be generated\n", name);
        return;
    }
    std::printf("%s: %d open orders generated in %.1f s\n", name, Orders, made.elapsed() / 1e3);
    OrderBook book(connection);
    struct View
    {
        const char *what;
        OrderQuery query;
    };
    OrderQuery open, overdue, unpaid, words, phone, ready;
    open.openOnly = true;
    overdue.overdueOnly = true;
    unpaid.unpaidOnly = true;
    unpaid.openOnly = true;
    words.openOnly = true;
    words.text = QStringLiteral("букл");
    phone.text = QStringLiteral("0004242");
    ready.anyStatus = false;
    ready.status = OrderStatus::Ready;
    for (OrderQuery *query : {&open, &overdue, &unpaid, &words, &phone, &ready})
        query->now = Now;
    const View views[]
        = {{"open, by due time", open},   {"overdue", overdue},      {"unpaid", unpaid},
           {"words of the lines", words}, {"phone's digits", phone}, {"one status", ready}};
    std::printf("  list (median of 7; goal 100 ms)        found      ms   ratio\n");
    for (const View &view : views) {
        int found = 0;
        const double ms = listMs(book, view.query, &found);
        std::printf("  %-36s %7d %7.1f %7.2f\n", view.what, found, ms, ms / 100.0);
    }
    const QByteArray bytes = statement();
    for (const char *round : {"first import", "imported again"}) {
        QElapsedTimer timer;
        timer.start();
        const StatementReport report
            = book.importStatement(bytes, ShopAccount, QStringLiteral("стойка-1"), Now);
        const double ms = timer.nsecsElapsed() / 1e6;
        std::printf("  statement of %d documents, %-14s %7.0f ms  %.2f of the 2 s goal  (%s)\n",
                    Orders, round, ms, ms / 2000.0,
                    report.read ? qPrintable(statementSummaryText(report))
                                : qPrintable(report.problem));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    measure("SQLite", DatabaseUrl::sqliteFile(dir.filePath(QStringLiteral("orders.sqlite"))));
    PgCluster cluster;
    if (cluster.start())
        measure("PostgreSQL", DatabaseUrl::parse(cluster.url()));
    else
        std::printf("PostgreSQL: no throwaway cluster: %s\n", qPrintable(cluster.error));
    return 0;
}
