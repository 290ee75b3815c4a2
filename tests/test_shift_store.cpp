// The counters' shifts in the shop's database, on SQLite and PostgreSQL: a day's shift with every
// kind of payment and drawer entry reported as X and closed as Z, the numbering per counter, the
// refusals, a closed shift refused any change by the program and by the database itself, and the
// upgrade of a database of the version before.
#include "tests/pg_cluster.h"

#include "storage/audit_log.h"
#include "storage/connection.h"
#include "storage/order_book.h"
#include "storage/schema.h"
#include "storage/shift_store.h"
#include "tests/older_database.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Counter = QStringLiteral("стойка-1");
const QDate Day(2026, 3, 2);

QDateTime at(int hour, int minute = 0)
{
    return QDateTime(Day, QTime(hour, minute));
}

OrderIntake intake(const QString &uid, const QString &price)
{
    OrderLine line;
    line.description = QStringLiteral("Визитки");
    line.quantity = QStringLiteral("1");
    line.unitPrice = price;
    OrderIntake order;
    order.draft.orderUid = uid;
    order.draft.created = at(8);
    order.draft.counter = Counter;
    order.draft.lines = {line};
    order.due = at(18);
    return order;
}

Payment payment(qint64 kopecks, PaymentMethod method, const QDateTime &time,
                const QString &counter = Counter)
{
    Payment result;
    result.kopecks = kopecks;
    result.method = method;
    result.time = time;
    result.counter = counter;
    if (kopecks < 0)
        result.reason = QStringLiteral("брак");
    return result;
}

CashEntry cash(qint64 kopecks, const QString &reason, const QString &who, const QDateTime &time)
{
    CashEntry entry;
    entry.kopecks = kopecks;
    entry.reason = reason;
    entry.operatorName = who;
    entry.time = time;
    return entry;
}

Payment takenBy(qint64 kopecks, const QDateTime &time, const QString &who, const QString &approver)
{
    Payment result = payment(kopecks, PaymentMethod::Cash, time);
    result.operatorName = who;
    result.approver = approver;
    return result;
}

QString figure(const ShiftReport &report, const QString &label)
{
    for (const ShiftReportLine &line : report.lines)
        if (line.label == label)
            return line.value;
    return QStringLiteral("(нет)");
}

} // namespace

class ShiftStoreTest : public QObject
{
    Q_OBJECT

    PgCluster cluster;
    QTemporaryDir dir;
    int databases = 0;

    DatabaseUrl freshDatabase(const QString &kind)
    {
        const QString name = QStringLiteral("s%1").arg(++databases);
        if (kind == QLatin1String("sqlite"))
            return DatabaseUrl::sqliteFile(dir.filePath(name + QStringLiteral(".sqlite")));
        Connection server;
        if (server.open(DatabaseUrl::parse(cluster.url()), QStringLiteral("server")))
            QSqlQuery(server.database()).exec(QStringLiteral("CREATE DATABASE ") + name);
        return DatabaseUrl::parse(
            QStringLiteral("postgresql://printcalc@/%1?host=%2").arg(name, cluster.dir));
    }

    static void bothDatabases()
    {
        QTest::addColumn<QString>("database");
        QTest::newRow("SQLite") << QStringLiteral("sqlite");
        QTest::newRow("PostgreSQL") << QStringLiteral("postgres");
    }

    // Two orders of 1298.00 and 2360.00 with the tax; payments of the day at this counter, one
    // before the shift and one at another counter that the report must leave out.
    static void dayOfPayments(Connection &connection)
    {
        OrderBook book(connection);
        const qint64 first = book.take(intake(QStringLiteral("a"), QStringLiteral("1100")), 1);
        const qint64 second = book.take(intake(QStringLiteral("b"), QStringLiteral("2000")), 1);
        QVERIFY(first > 0 && second > 0);
        const QVector<QPair<qint64, Payment>> paid {
            {first, payment(10000, PaymentMethod::Cash, at(8, 30))},
            {first, payment(100000, PaymentMethod::Cash, at(10))},
            {first, payment(18000, PaymentMethod::Card, at(11))},
            {second, payment(200000, PaymentMethod::Transfer, at(12))},
            {second, payment(36000, PaymentMethod::Card, at(12, 30), QStringLiteral("стойка-2"))},
            {first, payment(-30000, PaymentMethod::Cash, at(13))},
            {second, payment(-5000, PaymentMethod::Card, at(13, 30))},
        };
        for (const auto &each : paid)
            QVERIFY2(book.addPayment(each.first, each.second).done(),
                     qPrintable(connection.errorText()));
    }

private slots:
    void initTestCase() { QVERIFY2(cluster.start(), qPrintable(cluster.error)); }
    void cleanupTestCase() { cluster.stop(); }

    // Each Z report's head of the audit trail is queued to the owner with the close, where the
    // settings name the owner's mail.
    void headMailedToTheOwner_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("owner");
        for (const char *database : {"sqlite", "postgres"}) {
            QTest::newRow(qPrintable(QStringLiteral("%1, an owner").arg(QLatin1String(database))))
                << QString::fromLatin1(database) << QStringLiteral(" owner@shop.example ");
            QTest::newRow(qPrintable(QStringLiteral("%1, none").arg(QLatin1String(database))))
                << QString::fromLatin1(database) << QString();
        }
    }
    void headMailedToTheOwner()
    {
        QFETCH(QString, database);
        QFETCH(QString, owner);
        Connection connection;
        QVERIFY(connection.open(freshDatabase(database), QStringLiteral("t")));
        AuditRecord record;
        record.counter = Counter;
        record.what = QStringLiteral("вход");
        QVERIFY(AuditLog(connection).add(&record));
        ShiftStore shifts(connection);
        shifts.setOwnerMail(owner);
        QVERIFY(shifts.open(Counter, 0, QString(), at(9)).done());
        QVERIFY(shifts.close(Counter, 0, QString(), at(20)).done());
        QSqlQuery query(connection.database());
        QVERIFY(query.exec(QStringLiteral("SELECT recipient, subject, body FROM mail_queue")));
        if (owner.isEmpty()) {
            QVERIFY(!query.next());
            return;
        }
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(), QStringLiteral("owner@shop.example"));
        QCOMPARE(query.value(1).toString(),
                 QStringLiteral("Z-отчёт смены № 1, касса «стойка-1»: голова журнала"));
        QCOMPARE(query.value(2).toString(),
                 QStringLiteral("Z-отчёт смены № 1, касса «стойка-1»\n\nЗаписей в журнале "
                                "действий: 1\nПоследний хеш журнала: %1\n\nПроверка: printcalc "
                                "--audit verify --head 1:%1\n")
                     .arg(QString::fromLatin1(record.hash)));
        QVERIFY(!query.next());
    }

    void dayAtTheCounter_data() { bothDatabases(); }

    void dayAtTheCounter()
    {
        QFETCH(QString, database);
        Connection connection;
        QVERIFY2(connection.open(freshDatabase(database), QStringLiteral("t")),
                 qPrintable(connection.errorText()));
        dayOfPayments(connection);
        AuditRecord signIn;
        signIn.time = at(9, 5).toUTC();
        signIn.counter = Counter;
        signIn.operatorName = QStringLiteral("Вера");
        signIn.what = QStringLiteral("вход");
        QVERIFY(AuditLog(connection).add(&signIn));
        AuditRecord elsewhere = signIn;
        elsewhere.counter = QStringLiteral("стойка-2");
        elsewhere.operatorName = QStringLiteral("Гоша");
        QVERIFY(AuditLog(connection).add(&elsewhere));

        ShiftStore shifts(connection);
        QCOMPARE(shifts.open(Counter, 500000, QStringLiteral("Анна"), at(9)).number, 1);
        QCOMPARE(shifts.open(QStringLiteral("стойка-2"), 0, QString(), at(9)).number, 1);
        QVERIFY(
            shifts
                .addCash(Counter,
                         cash(20000, QStringLiteral("размен"), QStringLiteral("Анна"), at(9, 10)))
                .done());
        QVERIFY(shifts
                    .addCash(Counter,
                             cash(-150000, QStringLiteral("инкассация"), QStringLiteral("Борис"),
                                  at(14)))
                    .done());

        const ShiftAnswer x = shifts.xReport(Counter, at(15));
        QVERIFY2(x.done(), qPrintable(x.message));
        QCOMPARE(x.report.closing, false);
        QCOMPARE(x.report.cash, 100000);
        QCOMPARE(x.report.card, 18000);
        QCOMPARE(x.report.transfer, 200000);
        QCOMPARE(x.report.cashRefunds, 30000);
        QCOMPARE(x.report.cardRefunds, 5000);
        QCOMPARE(x.report.expectedCash, 440000); // 5000 + 1000 − 300 + 200 − 1500
        QCOMPARE(figure(x.report, QStringLiteral("Работали")), QStringLiteral("Анна, Борис, Вера"));
        QCOMPARE(figure(x.report, QStringLiteral("Записей в журнале действий")),
                 QStringLiteral("2"));
        QCOMPARE(figure(x.report, QStringLiteral("Последний хеш журнала")),
                 QString::fromLatin1(elsewhere.hash));

        const ShiftAnswer z = shifts.close(Counter, 439000, QStringLiteral("Борис"), at(20));
        QVERIFY2(z.done(), qPrintable(z.message));
        QCOMPARE(z.number, 1);
        QCOMPARE(z.report.difference, -1000);
        QCOMPARE(z.message, QStringLiteral("Смена № 1 закрыта, расхождение -10.00."));
        // Cash after the close is refused; a card payment then belongs to no Z report of the day.
        QVERIFY(!OrderBook(connection)
                     .addPayment(1, payment(1000, PaymentMethod::Cash, at(21)))
                     .done());
        QVERIFY(
            OrderBook(connection).addPayment(1, payment(1000, PaymentMethod::Card, at(21))).done());
        const ShiftAnswer kept = shifts.zReport(Counter, 1);
        QVERIFY2(kept.done(), qPrintable(kept.message));
        QCOMPARE(kept.report.text(), z.report.text());
        QCOMPARE(kept.report.counted, 439000);

        // The next shift is numbered after it, and starts from nothing taken.
        QCOMPARE(shifts.open(Counter, 439000, QStringLiteral("Анна"), at(21, 30)).number, 2);
        const ShiftAnswer next = shifts.xReport(Counter, at(22));
        QCOMPARE(next.report.cash, 0);
        QCOMPARE(next.report.expectedCash, 439000);
    }

    // Cash goes into a shift: through each path, at a counter that keeps shifts, it is taken only
    // while one is open; the Z report then holds exactly the cash the payments table has.
    void cashOnlyInAShift_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("path"); // how the money comes
        QTest::addColumn<QString>("shift"); // open, closed (kept before), never
        QTest::addColumn<bool>("taken");
        const struct
        {
            const char *path, *shift;
            bool taken;
        } rows[] = {
            {"prepayment", "open", true},    {"board", "open", true},
            {"prepayment", "closed", false}, {"board", "closed", false},
            {"by SQL", "closed", false},     {"card on the board", "closed", true},
            {"board", "never", true},        {"by SQL", "open", true},
        };
        for (const char *database : {"sqlite", "postgres"})
            for (const auto &row : rows)
                QTest::newRow(qPrintable(QStringLiteral("%1, %2, shift %3")
                                             .arg(QLatin1String(database), QLatin1String(row.path),
                                                  QLatin1String(row.shift))))
                    << QString::fromLatin1(database) << QString::fromLatin1(row.path)
                    << QString::fromLatin1(row.shift) << row.taken;
    }
    void cashOnlyInAShift()
    {
        QFETCH(QString, database);
        QFETCH(QString, path);
        QFETCH(QString, shift);
        QFETCH(bool, taken);
        Connection connection;
        QVERIFY2(connection.open(freshDatabase(database), QStringLiteral("t")),
                 qPrintable(connection.errorText()));
        OrderBook book(connection);
        const qint64 first = book.take(intake(QStringLiteral("a"), QStringLiteral("1000")), 1);
        QVERIFY(first > 0);
        ShiftStore shifts(connection);
        if (shift != QLatin1String("never"))
            QVERIFY(shifts.open(Counter, 10000, QStringLiteral("Анна"), at(9)).done());
        if (shift == QLatin1String("closed"))
            QVERIFY(shifts.close(Counter, 10000, QStringLiteral("Анна"), at(10)).done());
        const QString told = QStringLiteral(
            "Наличные принимаются только в открытой смене: откройте смену кассы «стойка-1» "
            "(«Смена» → «Открыть смену») или примите оплату картой или безналичным.");
        bool done = false;
        QString message;
        if (path == QLatin1String("prepayment")) {
            OrderIntake order = intake(QStringLiteral("b"), QStringLiteral("500"));
            order.draft.created = at(11);
            order.prepaymentKopecks = 20000;
            order.prepaymentMethod = PaymentMethod::Cash;
            done = book.take(order, 1) > 0;
            message = book.refusal();
        } else if (path.endsWith(QLatin1String("board"))) {
            const OrderAnswer answer = book.addPayment(
                first,
                payment(20000,
                        path.startsWith(QLatin1String("card")) ? PaymentMethod::Card
                                                               : PaymentMethod::Cash,
                        at(11)));
            done = answer.done();
            message = answer.message;
        } else {
            QSqlQuery query(connection.database());
            done = query.exec(
                QStringLiteral(
                    "INSERT INTO order_payment (invoice_number, kopecks, method, paid_at, counter, "
                    "reason, statement_document) VALUES (%1, 20000, 0, '2026-03-02 11:00:00', "
                    "'стойка-1', '', '')")
                    .arg(first));
        }
        QCOMPARE(done, taken);
        if (!taken && path != QLatin1String("by SQL"))
            QCOMPARE(message, told);
        QSqlQuery sum(connection.database());
        QVERIFY(sum.exec(QStringLiteral("SELECT coalesce(sum(kopecks), 0) FROM order_payment "
                                        "WHERE method = 0")));
        QVERIFY(sum.next());
        QCOMPARE(sum.value(0).toLongLong(),
                 taken && !path.startsWith(QLatin1String("card")) ? 20000 : 0);
        if (shift == QLatin1String("open")) {
            const ShiftAnswer z = shifts.close(Counter, 30000, QStringLiteral("Анна"), at(12));
            QVERIFY2(z.done(), qPrintable(z.message));
            QCOMPARE(z.report.cash, sum.value(0).toLongLong());
            QCOMPARE(z.report.difference, 0);
        }
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("step"); // what is tried after a shift opened with 100.00
        QTest::addColumn<QString>("message");
        QTest::newRow("opened twice")
            << QStringLiteral("open")
            << QStringLiteral("На кассе «стойка-1» уже открыта смена № 1.");
        QTest::newRow("out above the drawer")
            << QStringLiteral("out 100.01")
            << QStringLiteral("В кассе должно быть 100.00: изъять 100.01 нельзя.");
        QTest::newRow("out without a reason")
            << QStringLiteral("out-noreason") << QStringLiteral("Для изъятия нужна причина.");
        QTest::newRow("cash at another counter")
            << QStringLiteral("other") << QStringLiteral("На кассе «стойка-2» нет открытой смены.");
        QTest::newRow("unknown Z")
            << QStringLiteral("z 7") << QStringLiteral("Z-отчёта № 7 на кассе «стойка-1» нет.");
        QTest::newRow("the open shift has no Z yet")
            << QStringLiteral("z 1") << QStringLiteral("Z-отчёта № 1 на кассе «стойка-1» нет.");
        QTest::newRow("cash after the close")
            << QStringLiteral("closed")
            << QStringLiteral("На кассе «стойка-1» нет открытой смены.");
    }

    void refusals()
    {
        QFETCH(QString, step);
        QFETCH(QString, message);
        Connection connection;
        QVERIFY(connection.open(freshDatabase(QStringLiteral("sqlite")), QStringLiteral("t")));
        ShiftStore shifts(connection);
        QVERIFY(shifts.open(Counter, 10000, QStringLiteral("Анна"), at(9)).done());
        ShiftAnswer answer;
        if (step == QLatin1String("open"))
            answer = shifts.open(Counter, 0, QStringLiteral("Анна"), at(10));
        else if (step == QLatin1String("out 100.01"))
            answer = shifts.addCash(Counter, cash(-10001, QStringLiteral("сдача"), {}, at(10)));
        else if (step == QLatin1String("out-noreason"))
            answer = shifts.addCash(Counter, cash(-100, QStringLiteral(" "), {}, at(10)));
        else if (step == QLatin1String("other"))
            answer = shifts.addCash(QStringLiteral("стойка-2"), cash(100, {}, {}, at(10)));
        else if (step.startsWith(QLatin1String("z ")))
            answer = shifts.zReport(Counter, step.mid(2).toInt());
        else if (step == QLatin1String("closed")) {
            QVERIFY(shifts.close(Counter, 10000, QStringLiteral("Анна"), at(11)).done());
            answer = shifts.addCash(Counter, cash(100, {}, {}, at(12)));
        }
        QVERIFY(!answer.done());
        QCOMPARE(answer.message, message);
        // Nothing of it stored: the drawer still holds the float.
        bool found = false;
        ShiftFacts facts;
        QVERIFY(shifts.current(Counter, &facts, &found));
        if (found)
            QCOMPARE(shifts.xReport(Counter, at(12)).report.expectedCash, 10000);
    }

    // Straight through SQL, as anyone with the file or the server could: a closed shift and its
    // entries stay as they are; the open one may still change.
    void closedShiftRefusedByTheDatabase_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<bool>("allowed");
        const QVector<QPair<QString, bool>> statements {
            {QStringLiteral("UPDATE shift SET counted_kopecks = 1 WHERE number = 1"), false},
            {QStringLiteral("UPDATE shift SET z_report = '' WHERE number = 1"), false},
            {QStringLiteral("DELETE FROM shift WHERE number = 1"), false},
            {QStringLiteral("UPDATE shift_cash SET kopecks = 1 WHERE shift_id = 1"), false},
            {QStringLiteral("DELETE FROM shift_cash WHERE shift_id = 1"), false},
            {QStringLiteral("INSERT INTO shift_cash (shift_id, kopecks, reason, operator_name, "
                            "entered_at) VALUES (1, 5, '', '', '')"),
             false},
            {QStringLiteral("UPDATE shift_cash SET shift_id = 1 WHERE shift_id = 2"), false},
            {QStringLiteral("UPDATE shift SET float_kopecks = 7 WHERE number = 2"), true},
            {QStringLiteral("UPDATE shift_cash SET kopecks = 7 WHERE shift_id = 2"), true},
        };
        for (const QString &database : {QStringLiteral("sqlite"), QStringLiteral("postgres")})
            for (const auto &each : statements)
                QTest::newRow(qPrintable(database + QLatin1Char(' ') + each.first))
                    << database << each.first << each.second;
        QTest::newRow("postgres TRUNCATE")
            << QStringLiteral("postgres") << QStringLiteral("TRUNCATE shift_cash") << false;
    }

    void closedShiftRefusedByTheDatabase()
    {
        QFETCH(QString, database);
        QFETCH(QString, statement);
        QFETCH(bool, allowed);
        Connection connection;
        QVERIFY(connection.open(freshDatabase(database), QStringLiteral("t")));
        ShiftStore shifts(connection);
        QVERIFY(shifts.open(Counter, 10000, QStringLiteral("Анна"), at(9)).done());
        QVERIFY(shifts.addCash(Counter, cash(500, QString(), {}, at(10))).done());
        QVERIFY(shifts.close(Counter, 10500, QStringLiteral("Анна"), at(11)).done());
        QVERIFY(shifts.open(Counter, 10500, QStringLiteral("Анна"), at(12)).done());
        QVERIFY(shifts.addCash(Counter, cash(500, QString(), {}, at(13))).done());
        const QString before = shifts.zReport(Counter, 1).report.text();
        QSqlQuery query(connection.database());
        QCOMPARE(query.exec(statement), allowed);
        if (!allowed)
            QVERIFY2(
                query.lastError().text().contains(QLatin1String("a closed shift never changes")),
                qPrintable(query.lastError().text()));
        QCOMPARE(shifts.zReport(Counter, 1).report.text(), before);
        QVERIFY(query.exec(QStringLiteral("SELECT COUNT(*) FROM shift_cash WHERE shift_id = 1")));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toInt(), 1);
    }

    // Who took each payment is kept with it, null where no one is named; the shift's "who
    // worked" names the takers the trail does not.
    void whoTookPayments_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("operatorName");
        QTest::addColumn<QString>("approver");
        QTest::addColumn<QString>("storedOperator"); // "NULL" for null
        QTest::addColumn<QString>("storedApprover");
        QTest::addColumn<QString>("worked");
        for (const QString &database : {QStringLiteral("sqlite"), QStringLiteral("postgres")}) {
            const QByteArray prefix = database.toLatin1() + ": ";
            QTest::newRow(QByteArray(prefix + "operator alone").constData())
                << database << QStringLiteral("Вера") << QString() << QStringLiteral("Вера")
                << QStringLiteral("NULL") << QStringLiteral("Анна, Вера");
            QTest::newRow(QByteArray(prefix + "refund approved by a manager").constData())
                << database << QStringLiteral("Гоша") << QStringLiteral("Борис")
                << QStringLiteral("Гоша") << QStringLiteral("Борис")
                << QStringLiteral("Анна, Гоша");
            QTest::newRow(QByteArray(prefix + "no operators").constData())
                << database << QString() << QString() << QStringLiteral("NULL")
                << QStringLiteral("NULL") << QStringLiteral("Анна");
        }
    }

    void whoTookPayments()
    {
        QFETCH(QString, database);
        QFETCH(QString, operatorName);
        QFETCH(QString, approver);
        QFETCH(QString, storedOperator);
        QFETCH(QString, storedApprover);
        QFETCH(QString, worked);
        Connection connection;
        QVERIFY2(connection.open(freshDatabase(database), QStringLiteral("t")),
                 qPrintable(connection.errorText()));
        OrderBook book(connection);
        const qint64 number = book.take(intake(QStringLiteral("w"), QStringLiteral("1000")), 1);
        QVERIFY(number > 0);
        ShiftStore shifts(connection);
        QVERIFY(shifts.open(Counter, 0, QStringLiteral("Анна"), at(9)).done());
        QVERIFY2(book.addPayment(number, takenBy(50000, at(10), operatorName, QString())).done(),
                 qPrintable(connection.errorText()));
        QVERIFY2(book.addPayment(number, takenBy(-20000, at(11), operatorName, approver)).done(),
                 qPrintable(connection.errorText()));

        QSqlQuery query(connection.database());
        QVERIFY(query.exec(QStringLiteral("SELECT COALESCE(operator_name, 'NULL'), "
                                          "COALESCE(approver, 'NULL') FROM order_payment "
                                          "ORDER BY id")));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(), storedOperator);
        QCOMPARE(query.value(1).toString(), QStringLiteral("NULL"));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(), storedOperator);
        QCOMPARE(query.value(1).toString(), storedApprover);

        OrderDetails details;
        QVERIFY(book.load(number, &details));
        QCOMPARE(details.payments.size(), 2);
        QCOMPARE(details.payments.at(1).operatorName, operatorName);
        QCOMPARE(details.payments.at(1).approver, approver);
        const ShiftAnswer x = shifts.xReport(Counter, at(12));
        QVERIFY2(x.done(), qPrintable(x.message));
        QCOMPARE(figure(x.report, QStringLiteral("Работали")), worked);
    }

    // A version-15 file with payments: they are kept, name no one, and the shift's "who worked"
    // still comes from the trail for them.
    void paymentsFromTheVersionBeforeTheirOperator()
    {
        const DatabaseUrl url = freshDatabase(QStringLiteral("sqlite"));
        const QString problem = makeDatabaseBefore(
            url.path, 16,
            {QStringLiteral("INSERT INTO shift (counter, number, opened_at, opened_by, "
                            "float_kopecks) VALUES ('стойка-1', 1, '2026-03-02 09:00:00', "
                            "'Анна', 0)"),
             QStringLiteral("INSERT INTO order_payment (invoice_number, kopecks, method, "
                            "paid_at, counter, reason) VALUES (1, 77700, 0, "
                            "'2026-03-02 10:00:00', 'стойка-1', '')"),
             QStringLiteral("INSERT INTO order_payment (invoice_number, kopecks, method, "
                            "paid_at, counter, reason) VALUES (1, -700, 0, "
                            "'2026-03-02 10:30:00', 'стойка-1', 'брак')")});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));

        Connection connection;
        QVERIFY2(connection.open(url, QStringLiteral("t")), qPrintable(connection.errorText()));
        QCOMPARE(connection.schemaVersion(), latestSchemaVersion());
        QSqlQuery query(connection.database());
        QVERIFY(query.exec(QStringLiteral("SELECT kopecks, operator_name IS NULL, approver IS "
                                          "NULL FROM order_payment ORDER BY id")));
        for (const qint64 kopecks : {77700, -700}) {
            QVERIFY(query.next());
            QCOMPARE(query.value(0).toLongLong(), kopecks);
            QCOMPARE(query.value(1).toInt(), 1);
            QCOMPARE(query.value(2).toInt(), 1);
        }
        AuditRecord signIn;
        signIn.time = at(9, 5).toUTC();
        signIn.counter = Counter;
        signIn.operatorName = QStringLiteral("Вера");
        signIn.what = QStringLiteral("вход");
        QVERIFY(AuditLog(connection).add(&signIn));
        const ShiftAnswer x = ShiftStore(connection).xReport(Counter, at(11));
        QVERIFY2(x.done(), qPrintable(x.message));
        QCOMPARE(x.report.cash, 77700);
        QCOMPARE(figure(x.report, QStringLiteral("Работали")), QStringLiteral("Анна, Вера"));
    }

    // A database of the version before the shifts: made step by step, upgraded in place, its
    // payments kept and reported by the first shift.
    void upgradeFromTheVersionBefore()
    {
        const DatabaseUrl url = freshDatabase(QStringLiteral("sqlite"));
        const QString problem = makeDatabaseBefore(url.path, 11);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        {
            // The older program's rows: an order paid in cash at 10:00.
            QSqlDatabase db
                = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("old2"));
            db.setDatabaseName(url.path);
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY2(query.exec(QStringLiteral(
                         "INSERT INTO order_payment (invoice_number, kopecks, method, paid_at, "
                         "counter, reason) VALUES (1, 77700, 0, '2026-03-02 10:00:00', "
                         "'стойка-1', '')")),
                     qPrintable(query.lastError().text()));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("old2"));

        Connection connection;
        QVERIFY2(connection.open(url, QStringLiteral("t")), qPrintable(connection.errorText()));
        QCOMPARE(connection.schemaVersion(), latestSchemaVersion());
        ShiftStore shifts(connection);
        QVERIFY(shifts.open(Counter, 0, QString(), at(9)).done());
        QCOMPARE(shifts.xReport(Counter, at(11)).report.cash, 77700);
    }

    // A version-20 file whose counter took cash after its shift closed: the payment kept by the
    // upgrade, and the next such one refused by the database.
    void cashOutsideAShiftKeptByTheUpgrade()
    {
        const DatabaseUrl url = freshDatabase(QStringLiteral("sqlite"));
        const QString problem = makeDatabaseBefore(
            url.path, 21,
            {QStringLiteral("INSERT INTO shift (counter, number, opened_at, opened_by, "
                            "float_kopecks, closed_at, closed_by) VALUES ('стойка-1', 1, "
                            "'2026-03-02 09:00:00', 'Анна', 0, '2026-03-02 10:00:00', 'Анна')"),
             QStringLiteral("INSERT INTO order_payment (invoice_number, kopecks, method, paid_at, "
                            "counter, reason, statement_document) VALUES (1, 300000, 0, "
                            "'2026-03-02 11:00:00', 'стойка-1', '', '')")});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        Connection connection;
        QVERIFY2(connection.open(url, QStringLiteral("t")), qPrintable(connection.errorText()));
        QSqlQuery query(connection.database());
        QVERIFY(query.exec(QStringLiteral("SELECT sum(kopecks) FROM order_payment"))
                && query.next());
        QCOMPARE(query.value(0).toLongLong(), 300000);
        QVERIFY(!query.exec(QStringLiteral(
            "INSERT INTO order_payment (invoice_number, kopecks, method, paid_at, counter, reason, "
            "statement_document) VALUES (1, 100, 0, '2026-03-02 12:00:00', 'стойка-1', '', '')")));
    }
};

QTEST_GUILESS_MAIN(ShiftStoreTest)
#include "test_shift_store.moc"
