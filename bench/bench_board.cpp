// The orders board's figures, as ratios to their goals measured in one run: the board over 10,000
// open orders opened and filtered through its link (goal 100 ms each), where a list's time goes
// (the query, the rows read, the table filled), a status change seen on a second counter's board
// (goal 1 s) and a statement of 10,000 documents imported from the board (goal 2 s), on SQLite and
// on a throwaway PostgreSQL cluster. Prints; checks nothing.
#include "bench/bench_orders_data.h"
#include "bench/bench_support.h"
#include "tests/pg_cluster.h"
#include "tests/prompt_recorder.h"

#include "dialogs/orders_dialog.h"
#include "dialogs/orders_model.h"
#include "order/bank_statement.h"
#include "storage/connection.h"
#include "storage/order_book.h"
#include "storage/orders_link.h"
#include "storage/records.h"
#include "storage/transaction.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>

#include <cstdio>

namespace {

using namespace benchorders;

bool waitFor(const std::function<bool()> &done, int msecs = 30000)
{
    return QTest::qWaitFor(done, msecs);
}

// Where a list's time goes: the statement alone, the rows read as orders, the latest mails, the
// board's table filled.
void listParts(Connection &connection, const OrderQuery &query)
{
    OrderBook book(connection);
    OrdersModel model;
    QVector<double> sql, read, mails, filled;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer timer;
        timer.start();
        QSqlQuery raw(connection.database());
        raw.setForwardOnly(true);
        // The board's own columns, fetched and not kept.
        raw.exec(QStringLiteral(
            "SELECT o.invoice_number, o.status, o.due, o.customer_phone, CAST(round(i.total * 100) "
            "AS BIGINT), o.paid_kopecks, CASE WHEN i.customer_name <> '' THEN i.customer_name ELSE "
            "i.customer_full_name END, o.source FROM taken_order o JOIN invoice i ON i.number = "
            "o.invoice_number WHERE o.status IN (0, 1, 2) ORDER BY o.due, o.invoice_number"));
        int rows = 0;
        while (raw.next())
            ++rows;
        sql.append(timer.nsecsElapsed() / 1e6);
        timer.restart();
        BoardList list;
        list.orders = book.list(query);
        read.append(timer.nsecsElapsed() / 1e6);
        timer.restart();
        list.mails = book.latestMails();
        mails.append(timer.nsecsElapsed() / 1e6);
        timer.restart();
        model.setOrders(list, Now);
        filled.append(timer.nsecsElapsed() / 1e6);
    }
    std::printf("  where the open list's time goes: the statement and its rows fetched %.1f ms, "
                "OrderBook::list whole %.1f ms, the latest mails %.1f ms, the table filled "
                "%.1f ms\n",
                median(sql), median(read), median(mails), median(filled));
}

void measure(const char *name, const DatabaseUrl &url, QTemporaryDir &dir)
{
    Connection connection;
    if (!connection.open(url, QStringLiteral("bench"))) {
        std::printf("%s: %s\n", name, qPrintable(connection.errorText()));
        return;
    }
    QElapsedTimer made;
    made.start();
    if (!generate(connection)) {
        std::printf("%s: the orders could not be generated\n", name);
        return;
    }
    std::printf("%s: %d open orders generated in %.1f s\n", name, Orders, made.elapsed() / 1e3);
    OrderQuery open;
    open.openOnly = true;
    open.now = Now;
    listParts(connection, open);

    PromptRecorder prompts;
    OrdersLink link(url, QStringLiteral("стойка-1"), ShopContacts());
    link.waitIdle(10000);
    std::printf("  the board (median of 5; goal 100 ms)   shown      ms   ratio\n");
    QVector<double> opening;
    std::unique_ptr<OrdersDialog> board;
    for (int round = 0; round < 5; ++round) {
        board.reset();
        QElapsedTimer timer;
        timer.start();
        board.reset(new OrdersDialog(&link, &prompts, ShopAccount, QString(), nullptr));
        board->clock = [] { return Now; };
        board->show();
        waitFor([&] { return board->listsShown() > 0 && !board->isListing(); });
        opening.append(timer.nsecsElapsed() / 1e6);
    }
    std::printf("  %s %7d %7.1f %7.2f\n",
                qPrintable(QStringLiteral("opened on Открытые").leftJustified(36)),
                board->orders()->rowCount(), median(opening), median(opening) / 100.0);
    for (BoardView view : BoardViews) {
        QVector<double> times;
        for (int round = 0; round < 5; ++round) {
            board->setView(view == BoardView::Open ? BoardView::All : BoardView::Open);
            waitFor([&] { return !board->isListing(); });
            const int before = board->listsShown();
            QElapsedTimer timer;
            timer.start();
            board->setView(view);
            waitFor([&] { return board->listsShown() > before && !board->isListing(); });
            times.append(timer.nsecsElapsed() / 1e6);
        }
        std::printf("  %s %7d %7.1f %7.2f\n", qPrintable(boardViewCaption(view).leftJustified(36)),
                    board->orders()->rowCount(), median(times), median(times) / 100.0);
    }
    board->setView(BoardView::Open);
    waitFor([&] { return !board->isListing(); });
    auto *search = board->findChild<QLineEdit *>(QStringLiteral("lineEditOrdersSearch"));
    for (const QString &text :
         {QStringLiteral("букл"), QStringLiteral("0004242"), QStringLiteral("покупатель 42")}) {
        QVector<double> times;
        for (int round = 0; round < 5; ++round) {
            search->clear();
            board->refresh();
            waitFor([&] { return !board->isListing(); });
            const int before = board->listsShown();
            search->setText(text);
            QElapsedTimer timer;
            timer.start();
            board->refresh();
            waitFor([&] { return board->listsShown() > before && !board->isListing(); });
            times.append(timer.nsecsElapsed() / 1e6);
        }
        std::printf("  %s %7d %7.1f %7.2f\n",
                    qPrintable(QStringLiteral("search «%1»").arg(text).leftJustified(36)),
                    board->orders()->rowCount(), median(times), median(times) / 100.0);
    }
    search->clear();

    if (!connection.isSqlite()) {
        OrdersLink second(url, QStringLiteral("стойка-2"), ShopContacts());
        PromptRecorder secondPrompts;
        OrdersDialog follower(&second, &secondPrompts, ShopAccount, QString(), nullptr);
        follower.clock = [] { return Now; };
        follower.show();
        waitFor([&] { return follower.listsShown() > 0 && !follower.isListing(); });
        QVector<double> times;
        for (int round = 0; round < 5; ++round) {
            const qint64 number = FirstNumber + 3 * round + 1; // В работе
            const OrderStatus to = OrderStatus::Ready;
            QElapsedTimer timer;
            timer.start();
            link.changeStatus(number, to, QString(), false, board.get(),
                              [](const OrderAnswer &) {});
            const bool seen = waitFor([&] {
                const int row = follower.orders()->rowOf(number);
                return row >= 0 && follower.orders()->order(row).status == to;
            });
            times.append(seen ? timer.nsecsElapsed() / 1e6 : 1e9);
        }
        std::printf("  a status change seen on the second counter's board (median of 5): %.0f ms,"
                    " %.2f of the 1 s goal\n",
                    median(times), median(times) / 1000.0);
    }

    const QString path = dir.filePath(QStringLiteral("statement-%1.txt").arg(QLatin1String(name)));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(statement());
    file.close();
    {
        const QByteArray bytes = statement();
        QElapsedTimer timer;
        timer.start();
        BankStatement read;
        QString problem;
        readBankStatement(bytes, &read, &problem);
        const double reading = timer.nsecsElapsed() / 1e6;
        timer.restart();
        qint64 named = 0;
        for (const StatementDocument &document : qAsConst(read.documents))
            named += invoiceNumberInPurpose(document.purpose) > 0 ? 1 : 0;
        std::printf("  where the statement's time goes: the file read %.0f ms, the invoice numbers "
                    "found in %lld purposes %.0f ms\n",
                    reading, named, timer.nsecsElapsed() / 1e6);
    }
    for (const char *round : {"first import", "imported again"}) {
        StatementReport report;
        bool answered = false;
        QElapsedTimer timer;
        timer.start();
        link.importStatement(path, ShopAccount, board.get(), [&](const StatementReport &got) {
            report = got;
            answered = true;
        });
        waitFor([&] { return answered; }, 120000);
        const double ms = timer.nsecsElapsed() / 1e6;
        std::printf("  statement of %d documents from the board, %-14s %6.0f ms  %.2f of the 2 s "
                    "goal (%s)\n",
                    Orders, round, ms, ms / 2000.0,
                    report.read ? qPrintable(statementSummaryText(report))
                                : qPrintable(report.problem));
    }
    board.reset();
}

} // namespace

int main(int argc, char *argv[])
{
    quietOffscreenNotes();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    measure("SQLite", DatabaseUrl::sqliteFile(dir.filePath(QStringLiteral("orders.sqlite"))), dir);
    PgCluster cluster;
    if (cluster.start())
        measure("PostgreSQL", DatabaseUrl::parse(cluster.url()), dir);
    else
        std::printf("PostgreSQL: no throwaway cluster: %s\n", qPrintable(cluster.error));
    return 0;
}
