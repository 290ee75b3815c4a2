// The order book's figures, as ratios to their goals measured in one run: 10,000 open orders
// listed and filtered (goal 100 ms each), and a bank statement of 10,000 documents matched and
// imported (goal 2 s), then imported again; on SQLite and on a throwaway PostgreSQL cluster beside
// it. Prints; checks nothing.
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

const int Orders = 10000;
const qint64 FirstNumber = 100001;
const QString ShopAccount = QStringLiteral("40702810900000000001");
const QDateTime Now(QDate(2026, 3, 10), QTime(13, 0));

bool run(QSqlQuery &query)
{
    if (query.exec())
        return true;
    std::fprintf(stderr, "%s\n", qPrintable(query.lastError().text()));
    return false;
}

// Orders as the counters leave them, written straight into the tables in one transaction: every
// one open, due over twenty days around now, a third of them partly paid.
bool generate(Connection &connection)
{
    Transaction transaction(connection);
    QSqlDatabase db = connection.database();
    QSqlQuery invoice(db), line(db), search(db), order(db), change(db), payment(db);
    invoice.prepare(QStringLiteral(
        "INSERT INTO invoice (number, order_uid, created, counter, line_count, subtotal, tax, "
        "total, template_path, is_void, search_text, customer_name) VALUES "
        "(?, ?, ?, 'стойка-1', 1, 1000, 180, 1180, '', 0, ?, ?)"));
    line.prepare(QStringLiteral(
        "INSERT INTO invoice_line (invoice_number, position, description, quantity, unit_price, "
        "key_text, titles, removal_marker, job, explanation, missing_price, price_version, "
        "revision) VALUES (?, 0, ?, '1', '1000', '', '', 0, '', '', 0, 0, 1)"));
    if (connection.isSqlite())
        search.prepare(
            QStringLiteral("INSERT INTO invoice_search (rowid, search_text) VALUES (?, ?)"));
    order.prepare(QStringLiteral(
        "INSERT INTO taken_order (invoice_number, status, due, note, source, created, counter, "
        "changed, customer_phone, customer_email, phone_digits, search_name) VALUES "
        "(?, ?, ?, '', 'стойка', ?, 'стойка-1', ?, ?, '', ?, ?)"));
    change.prepare(QStringLiteral(
        "INSERT INTO order_status_change (invoice_number, changed_at, counter, from_status, "
        "to_status, reason) VALUES (?, ?, 'стойка-1', NULL, 0, '')"));
    payment.prepare(QStringLiteral(
        "INSERT INTO order_payment (invoice_number, kopecks, method, paid_at, counter, reason) "
        "VALUES (?, 50000, 0, ?, 'стойка-1', 'Предоплата')"));
    QSqlQuery paid(db);
    paid.prepare(
        QStringLiteral("UPDATE taken_order SET paid_kopecks = 50000 WHERE invoice_number = ?"));
    const QStringList products {QStringLiteral("Визитки"), QStringLiteral("Листовки"),
                                QStringLiteral("Баннер"), QStringLiteral("Буклеты"),
                                QStringLiteral("Наклейки")};
    for (int i = 0; i < Orders; ++i) {
        const qint64 number = FirstNumber + i;
        const QString text = products.at(i % products.size()) + QStringLiteral(" тираж %1").arg(i);
        const QString created = storedTime(Now.addDays(-20).addSecs(i * 60));
        const QString customer = QStringLiteral("Покупатель %1").arg(i % 997);
        const QString phone = QStringLiteral("7912%1").arg(i, 7, 10, QLatin1Char('0'));
        invoice.addBindValue(number);
        invoice.addBindValue(QStringLiteral("bench-%1").arg(i));
        invoice.addBindValue(created);
        invoice.addBindValue(text);
        invoice.addBindValue(customer);
        line.addBindValue(number);
        line.addBindValue(text);
        order.addBindValue(number);
        order.addBindValue(i % 3);
        order.addBindValue(storedTime(Now.addDays(-10).addSecs(i * 173)));
        order.addBindValue(created);
        order.addBindValue(created);
        order.addBindValue(phone);
        order.addBindValue(phone);
        order.addBindValue(customer.toLower());
        change.addBindValue(number);
        change.addBindValue(created);
        if (!run(invoice) || !run(line) || !run(order) || !run(change))
            return false;
        if (connection.isSqlite()) {
            search.addBindValue(number);
            search.addBindValue(text);
            if (!run(search))
                return false;
        }
        if (i % 3 == 0) {
            payment.addBindValue(number);
            payment.addBindValue(created);
            paid.addBindValue(number);
            if (!run(payment) || !run(paid))
                return false;
        }
    }
    QSqlQuery(db).exec(
        QStringLiteral("UPDATE invoice_counter SET next_number = %1").arg(FirstNumber + Orders));
    return transaction.commit();
}

// Ten thousand payments: most pay their order in full, some part, some name no invoice.
QByteArray statement()
{
    QString text = QStringLiteral("1CClientBankExchange\nВерсияФормата=1.03\nКодировка=Windows\n");
    for (int i = 0; i < Orders; ++i) {
        const QString sum = i % 5 == 0 ? QStringLiteral("100.00") : QStringLiteral("1180.00");
        const QString purpose = i % 50 == 0
            ? QStringLiteral("Оплата по договору %1").arg(i)
            : QStringLiteral("Оплата по счёту № %1 от 01.03.2026").arg(FirstNumber + i);
        text += QStringLiteral("СекцияДокумент=Платежное поручение\nНомер=%1\nДата=09.03.2026\n"
                               "Сумма=%2\nПлательщикСчет=40702810400000000002\n"
                               "Плательщик1=Плательщик %3\nПолучательСчет=%4\n"
                               "ДатаПоступило=09.03.2026\nНазначениеПлатежа=%5\nКонецДокумента\n")
                    .arg(QString::number(i + 1), sum, QString::number(i), ShopAccount, purpose);
    }
    text += QStringLiteral("КонецФайла\n");
    return QTextCodec::codecForName("Windows-1251")->fromUnicode(text);
}

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
