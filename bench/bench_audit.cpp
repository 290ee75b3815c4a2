// The audit trail's figures, as ratios to their goals measured in one run: the chain of 1,000,000
// records verified (goal 5 s) on SQLite and on a throwaway PostgreSQL cluster beside it, and an
// operator's sign-in through the database (the hash tuned to about 100 ms). Prints; checks nothing.
#include "bench/bench_support.h"
#include "tests/pg_cluster.h"

#include "storage/audit_log.h"
#include "storage/connection.h"
#include "storage/operator_store.h"
#include "storage/pin_hash.h"
#include "storage/transaction.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

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
    measure("PostgreSQL",
            DatabaseUrl::parse(
                QStringLiteral("postgresql://printcalc@/shop?host=%1").arg(cluster.dir)));
    return 0;
}
