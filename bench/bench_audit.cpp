// The audit trail's figures, as ratios to their goals measured in one run: the chain of 1,000,000
// records verified (goal 5 s) with the heads of 100 closed shifts' Z reports, on SQLite and on a
// throwaway PostgreSQL cluster beside it; an operator's sign-in through the database (the hash
// tuned to about 100 ms); and on PostgreSQL 100 payments made at once from 100 connections onto
// 10 orders, each under its order's row lock (goal: none lost, p99 under 50 ms). Built also on
// the code before, to be set against it. Prints; checks nothing.
#include "bench/bench_support.h"
#include "tests/pg_cluster.h"

#include "storage/audit_log.h"
#include "storage/connection.h"
#include "storage/operator_store.h"
#include "storage/order_book.h"
#include "storage/pin_hash.h"
#include "storage/shift_store.h"
#include "storage/transaction.h"

#include <QVector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

namespace {

const int Records = 1000000;
const int Batch = 1000;

// A day's records of a shop, sealed as the program seals them, written in batches of literal rows
// (the values hold no quote).
bool generate(Connection &connection)
{
    Transaction transaction(connection);
    QSqlQuery query(connection.database());
    const QDateTime start(QDate(2026, 1, 1), QTime(9, 0), Qt::UTC);
    const QStringList what {QStringLiteral("вход"), QStringLiteral("оплата"),
                            QStringLiteral("смена статуса"),
                            QStringLiteral("цена ниже прайс-листа")};
    QByteArray previous;
    QString sql;
    for (int i = 1; i <= Records; ++i) {
        AuditRecord record;
        record.id = i;
        record.time = start.addMSecs(qint64(i) * 1500);
        record.counter = QStringLiteral("стойка-%1").arg(i % 3 + 1);
        record.operatorName = QStringLiteral("Оператор %1").arg(i % 7);
        record.what = what.at(i % what.size());
        record.oldValue = QStringLiteral("заказ № %1").arg(i / 4);
        record.newValue = QString::number(i % 5000) + QStringLiteral(".00");
        record = sealedAuditRecord(record, previous);
        previous = record.hash;
        if (sql.isEmpty())
            sql = QStringLiteral("INSERT INTO audit_log VALUES ");
        else
            sql += QLatin1Char(',');
        sql += QStringLiteral("(%1,'%2','%3','%4','','%5','%6','%7','%8','%9')")
                   .arg(QString::number(record.id), auditTimeText(record.time), record.counter,
                        record.operatorName, record.what, record.oldValue, record.newValue,
                        QString::fromLatin1(record.previousHash), QString::fromLatin1(record.hash));
        if (i % Batch == 0 || i == Records) {
            if (!query.exec(sql)) {
                std::fprintf(stderr, "%s\n", qPrintable(query.lastError().text()));
                return false;
            }
            sql.clear();
        }
    }
    return transaction.commit();
}

void measure(const char *name, const DatabaseUrl &url)
{
    Connection connection;
    if (!connection.open(url, QStringLiteral("bench"))) {
        std::printf("%s: not opened: %s\n", name, qPrintable(connection.errorText()));
        return;
    }
    QElapsedTimer timer;
    timer.start();
    if (!generate(connection))
        return;
    std::printf("%s: %d records written in %.1f s\n", name, Records, timer.elapsed() / 1000.0);
    // The Z reports of 100 shifts closed over the trail.
    ShiftStore shifts(connection);
    for (int shift = 0; shift < 100; ++shift) {
        shifts.open(QStringLiteral("стойка-1"), 0, QString());
        shifts.close(QStringLiteral("стойка-1"), 0, QString());
    }
    // The head as a counter keeps it, so that the end is checked too.
    const AuditHead head = AuditLog(connection).verify(AuditHead()).head;
    QVector<double> runs;
    AuditCheck check;
    for (int run = 0; run < 3; ++run) {
        timer.start();
        check = AuditLog(connection).verify(head);
        runs.append(timer.elapsed());
    }
    const double ms = median(runs);
    std::printf("%s: --audit verify over %d records: %.0f ms, %.2f of the 5 s goal (%s)\n", name,
                Records, ms, ms / 5000.0,
                check.verdict.problem.isEmpty() ? "intact" : qPrintable(check.text()));

    OperatorStore store(connection);
    store.add(QStringLiteral("Анна"), Role::Owner, hashPin(QStringLiteral("4711")),
              {QStringLiteral("стойка-1"), QString(), QString()});
    QVector<double> signIns;
    for (int run = 0; run < 5; ++run) {
        timer.start();
        store.signIn(QStringLiteral("Анна"), QStringLiteral("4711"), QStringLiteral("стойка-1"));
        signIns.append(timer.nsecsElapsed() / 1e6);
    }
    const double signInMs = median(signIns);
    std::printf("%s: sign-in (hash, lock count and record): %.0f ms, %.2f of the 100 ms aim\n",
                name, signInMs, signInMs / 100.0);
}

// 100 connections each paying 50.00 at once on one of 10 orders of 1180.00: the payments of an
// order wait for each other's row lock; the time each took, from the common start.
void payments(const DatabaseUrl &url)
{
    const int Orders = 10, Payers = 100;
    QVector<qint64> numbers;
    {
        Connection connection;
        if (!connection.open(url, QStringLiteral("orders")))
            return;
        OrderBook book(connection);
        for (int i = 0; i < Orders; ++i) {
            OrderIntake intake;
            intake.draft.orderUid = QStringLiteral("bench-payments-%1").arg(i);
            intake.draft.created = QDateTime::currentDateTime();
            intake.draft.counter = QStringLiteral("стойка-1");
            OrderLine line;
            line.description = QStringLiteral("Визитки");
            line.quantity = QStringLiteral("1");
            line.unitPrice = QStringLiteral("1000");
            intake.draft.lines = {line};
            intake.due = intake.draft.created.addDays(1);
            numbers.append(book.take(intake, 1));
        }
    }
    std::atomic<int> ready {0};
    std::atomic<bool> go {false};
    QVector<double> took(Payers);
    QVector<int> done(Payers);
    std::vector<std::thread> payers;
    for (int i = 0; i < Payers; ++i)
        payers.emplace_back([&, i] {
            Connection connection;
            const bool open = connection.open(url, QStringLiteral("payer%1").arg(i));
            ++ready;
            while (!go)
                std::this_thread::yield();
            QElapsedTimer timer;
            timer.start();
            Payment payment;
            payment.kopecks = 5000;
            payment.counter = QStringLiteral("стойка-1");
            done[i]
                = open && OrderBook(connection).addPayment(numbers.at(i % Orders), payment).done();
            took[i] = timer.nsecsElapsed() / 1e6;
        });
    while (ready < Payers)
        std::this_thread::yield();
    go = true;
    for (std::thread &payer : payers)
        payer.join();
    std::sort(took.begin(), took.end());
    const int stored = int(std::count(done.cbegin(), done.cend(), 1));
    const double p99 = took.at(Payers * 99 / 100 - 1);
    std::printf(
        "PostgreSQL: %d payments at once on %d orders: %d stored, p50 %.1f ms, p99 %.1f ms, "
        "%.2f of the 50 ms goal\n",
        Payers, Orders, stored, took.at(Payers / 2), p99, p99 / 50.0);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    measure("SQLite", DatabaseUrl::sqliteFile(dir.filePath(QStringLiteral("audit.sqlite"))));
    PgCluster cluster;
    if (!cluster.start()) {
        std::printf("PostgreSQL: no cluster: %s\n", qPrintable(cluster.error));
        return 0;
    }
    const DatabaseUrl shop = DatabaseUrl::parse(
        QStringLiteral("postgresql://printcalc@/shop?host=%1").arg(cluster.dir));
    measure("PostgreSQL", shop);
    payments(shop);
    return 0;
}
