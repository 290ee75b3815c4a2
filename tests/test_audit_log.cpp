// The audit trail and the operators on real databases: the chain found broken after edits made
// straight in the file around the program, the triggers refusing changes, a missing trigger told,
// the lock after five wrong PINs, the upgrade of a database from before operators.
#include "storage/audit_log.h"
#include "storage/connection.h"
#include "storage/journal.h"
#include "storage/operator_store.h"
#include "storage/order_book.h"
#include "storage/orders_link.h"
#include "storage/pin_hash.h"
#include "storage/schema.h"
#include "storage/settings.h"
#include "storage/shift_store.h"
#include "storage/transaction.h"
#include "tests/older_database.h"
#include "tests/pg_cluster.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

Q_DECLARE_METATYPE(SignInOutcome)

namespace {

const QDateTime Start(QDate(2026, 12, 9), QTime(10, 0), Qt::UTC);

// Five records of one day: four payments and a status moved.
void fillTrail(Connection &connection)
{
    AuditLog log(connection);
    for (int i = 1; i <= 5; ++i) {
        AuditRecord record;
        record.time = Start.addSecs(60 * i);
        record.counter = QStringLiteral("стойка-1");
        record.operatorName = i % 2 ? QStringLiteral("Анна") : QStringLiteral("Борис");
        record.what = i == 4 ? QStringLiteral("Смена статуса") : QStringLiteral("оплата");
        record.newValue = QString::number(i * 100);
        QVERIFY2(log.add(&record), qPrintable(connection.errorText()));
        QCOMPARE(record.id, qint64(i));
    }
}

} // namespace

class AuditLogTest : public QObject
{
    Q_OBJECT

    PgCluster cluster;
    QTemporaryDir dir;
    int databases = 0;
    bool haveServer = false;

    DatabaseUrl freshDatabase(const QString &kind)
    {
        const QString name = QStringLiteral("a%1").arg(++databases);
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
        QTest::newRow("SQLite") << "sqlite";
        QTest::newRow("PostgreSQL") << "postgres";
    }

private slots:
    void initTestCase() { haveServer = cluster.start(); }

    void upgradeFromTheVersionBefore_data() { bothDatabases(); }
    void upgradeFromTheVersionBefore()
    {
        QFETCH(QString, database);
        const bool sqlite = database == QLatin1String("sqlite");
        if (!sqlite && !haveServer)
            QFAIL(qPrintable(cluster.error));
        const DatabaseUrl url = freshDatabase(database);
        // Version 8, the last without operators.
        const QString problem = makeDatabaseBefore(
            url, 9,
            {QStringLiteral("INSERT INTO invoice (number, order_uid, created, counter, line_count, "
                            "subtotal, tax, total, template_path, is_void, search_text) VALUES "
                            "(42, 'old-order', '2026-11-30 15:00:00', 'стойка-1', 1, 300, 0, "
                            "300, '', 0, 'Визитки')")});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));

        Connection connection;
        QVERIFY2(connection.open(url, QStringLiteral("t")), qPrintable(connection.errorText()));
        QCOMPARE(connection.schemaVersion(), latestSchemaVersion());
        InvoiceRecord invoice;
        QVERIFY(Journal(connection).load(42, &invoice));
        QCOMPARE(invoice.summary.total, 300.0);
        OperatorStore store(connection);
        QCOMPARE(store.count(), 0);
        QCOMPARE(store.add(QStringLiteral("Ольга"), Role::Owner, hashPin(QStringLiteral("4321")),
                           {QStringLiteral("стойка-1"), QString(), QString()}),
                 OperatorChange::Done);
        QStringList missing {QStringLiteral("not read")};
        QVERIFY(AuditLog(connection).missingTriggers(&missing));
        QCOMPARE(missing, QStringList());
        QVERIFY(AuditLog(connection).verify(AuditHead()).intact());
    }

    // The counter's anchor moves on only while the records since it hold: records removed and
    // new ones sealed in their place are told at once, kept, and never covered up by the next.
    void anchorMovesOnlyOverAnIntactChain_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("edit"); // made with the guards off, after 5 records
        QTest::addColumn<int>("added"); // records sealed after it, each moving the anchor
        QTest::addColumn<QString>("told"); // by the last
        QTest::addColumn<qint64>("anchor");
        for (const QString &database : {QStringLiteral("sqlite"), QStringLiteral("postgres")}) {
            const QByteArray tag = database.toLatin1() + ": ";
            const auto row = [&](const char *name, const char *edit, int added, const char *told,
                                 qint64 anchor) {
                QTest::newRow(QByteArray(tag + name)) << database << QString::fromUtf8(edit)
                                                      << added << QString::fromUtf8(told) << anchor;
            };
            row("untouched", "", 2, "", 7);
            row("the last two removed, one sealed", "DELETE FROM audit_log WHERE id >= 4", 1,
                "Журнал действий изменён: после записи 3 недостаёт 2 записей", 5);
            row("the last two removed, two sealed over them", "DELETE FROM audit_log WHERE id >= 4",
                2, "Журнал действий изменён: после записи 3 недостаёт 2 записей", 5);
            row("the last two removed, three sealed past them",
                "DELETE FROM audit_log WHERE id >= 4", 3,
                "Журнал действий изменён: после записи 3 недостаёт 2 записей", 5);
            row("the anchor's record changed", "UPDATE audit_log SET new_value = '1' WHERE id = 5",
                1, "Журнал действий изменён: запись 5 изменена", 5);
            row("everything removed", "DELETE FROM audit_log", 1,
                "Журнал действий изменён: после записи 0 недостаёт 5 записей", 5);
        }
    }
    void anchorMovesOnlyOverAnIntactChain()
    {
        QFETCH(QString, database);
        QFETCH(QString, edit);
        QFETCH(int, added);
        QFETCH(QString, told);
        QFETCH(qint64, anchor);
        const bool sqlite = database == QLatin1String("sqlite");
        if (!sqlite && !haveServer)
            QFAIL(qPrintable(cluster.error));
        const DatabaseUrl url = freshDatabase(database);
        const QString local = dir.filePath(QStringLiteral("counter%1/local.sqlite").arg(databases));
        Connection connection;
        QVERIFY(connection.open(url, QStringLiteral("t")));
        fillTrail(connection);
        const QString name = url.display();
        ProgramState state(local);
        QVERIFY(state.keepAuditHead(name, AuditLog(connection).verify(AuditHead()).head));
        QSqlQuery query(connection.database());
        if (!edit.isEmpty()) {
            const QStringList off = sqlite
                ? QStringList {QStringLiteral("DROP TRIGGER audit_log_no_update"),
                               QStringLiteral("DROP TRIGGER audit_log_no_delete")}
                : QStringList {QStringLiteral("ALTER TABLE audit_log DISABLE TRIGGER USER")};
            for (const QString &statement : off + QStringList {edit})
                QVERIFY2(query.exec(statement), qPrintable(query.lastError().text()));
        }
        QString last;
        for (int i = 0; i < added; ++i) {
            AuditRecord record;
            record.counter = QStringLiteral("стойка-1");
            record.what = QStringLiteral("оплата");
            QVERIFY(AuditLog(connection).add(&record));
            last = advanceAuditAnchor(connection, local, name, {record.id, record.hash});
        }
        QCOMPARE(last, told);
        QCOMPARE(state.auditHead(name).count, anchor);
        // The check of the whole trail tells the break kept, whatever the chain now says.
        AuditCheck check = AuditLog(connection).verify(state.auditHead(name));
        check.anchorBreak = state.auditBreak(name);
        QCOMPARE(check.intact(), told.isEmpty());
        if (!told.isEmpty())
            QVERIFY2(check.text().startsWith(told + QLatin1Char('.')), qPrintable(check.text()));
    }

    // Each closed shift's Z report printed the trail's head: a trail cut or rewritten under it
    // is told with the report's name, even by a counter that kept no head of its own.
    void zReportHeads_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("told"); // %1: the first 8 of the head's hash
        for (const QString &database : {QStringLiteral("sqlite"), QStringLiteral("postgres")}) {
            const QByteArray tag = database.toLatin1() + ": ";
            QTest::newRow(QByteArray(tag + "untouched")) << database << ""
                                                         << "цепочка цела";
            QTest::newRow(QByteArray(tag + "emptied"))
                << database << "DELETE FROM audit_log"
                << "Z-отчёт смены № 1, касса «стойка-1»: запись 5 с хешем %1… в журнале "
                   "отсутствует.";
            QTest::newRow(QByteArray(tag + "the head's record sealed anew"))
                << database << "UPDATE audit_log SET own_hash = 'x' || own_hash WHERE id = 5"
                << "Z-отчёт смены № 1, касса «стойка-1»: запись 5 с хешем %1… в журнале изменена. "
                   "Цепочка нарушена: запись 5 изменена.";
        }
    }
    void zReportHeads()
    {
        QFETCH(QString, database);
        QFETCH(QString, edit);
        QFETCH(QString, told);
        const bool sqlite = database == QLatin1String("sqlite");
        if (!sqlite && !haveServer)
            QFAIL(qPrintable(cluster.error));
        Connection connection;
        QVERIFY(connection.open(freshDatabase(database), QStringLiteral("t")));
        fillTrail(connection);
        ShiftStore shifts(connection);
        QVERIFY(shifts.open(QStringLiteral("стойка-1"), 0, QString()).outcome
                == ShiftOutcome::Done);
        QVERIFY(shifts.close(QStringLiteral("стойка-1"), 0, QString()).outcome
                == ShiftOutcome::Done);
        const QByteArray hash = AuditLog(connection).verify(AuditHead()).head.lastHash;
        QSqlQuery query(connection.database());
        if (!edit.isEmpty())
            for (const QString &statement :
                 (sqlite
                      ? QStringList {QStringLiteral("DROP TRIGGER audit_log_no_update"),
                                     QStringLiteral("DROP TRIGGER audit_log_no_delete")}
                      : QStringList {QStringLiteral("ALTER TABLE audit_log DISABLE TRIGGER USER")})
                     + QStringList {edit})
                QVERIFY2(query.exec(statement), qPrintable(query.lastError().text()));
        const AuditCheck check = AuditLog(connection).verify(AuditHead());
        QVERIFY(check.read);
        const QString text = check.text().replace(
            QStringLiteral("Журнал действий не защищён от правки: нет триггера "
                           "audit_log_no_update, audit_log_no_delete%1. ")
                .arg(sqlite || edit.isEmpty() ? QString()
                                              : QStringLiteral(", audit_log_no_truncate")),
            QString());
        QCOMPARE(text,
                 told.contains(QLatin1String("%1")) ? told.arg(QString::fromLatin1(hash.left(8)))
                                                    : told);
    }

    // Operators kept before the server checked PINs itself: after the upgrade their PINs still
    // sign in, through the server's functions on PostgreSQL, and a wrong one is counted.
    void signInAfterTheUpgrade_data() { bothDatabases(); }
    void signInAfterTheUpgrade()
    {
        QFETCH(QString, database);
        if (database == QLatin1String("postgres") && !haveServer)
            QFAIL(qPrintable(cluster.error));
        const DatabaseUrl url = freshDatabase(database);
        const QString hash = QString::fromLatin1(hashPin(QStringLiteral("4321")));
        const QString problem = makeDatabaseBefore(
            url, 17,
            {QStringLiteral("INSERT INTO operator (name, role, pin_hash, failed_count, created) "
                            "VALUES ('Ольга', 1, '%1', 3, '2026-12-01T10:00:00.000Z')")
                 .arg(hash)});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        Connection connection;
        QVERIFY2(connection.open(url, QStringLiteral("t")), qPrintable(connection.errorText()));
        QCOMPARE(connection.schemaVersion(), latestSchemaVersion());
        OperatorStore store(connection);
        const SignInAnswer wrong
            = store.signIn(QStringLiteral("Ольга"), QStringLiteral("1234"), QStringLiteral("с"));
        QCOMPARE(wrong.message, QStringLiteral("Неверный PIN. Осталось попыток: 1."));
        const SignInAnswer right
            = store.signIn(QStringLiteral("Ольга"), QStringLiteral("4321"), QStringLiteral("с"));
        QVERIFY2(right.signedIn(), qPrintable(right.message));
        QCOMPARE(right.account.failedCount, 0);
        QSqlQuery query(connection.database());
        QVERIFY(query.exec(QStringLiteral("SELECT pin_hash FROM operator")) && query.next());
        QCOMPARE(query.value(0).toString(), hash);
    }

    // Each edit made as someone around the program would: the trigger in the way dropped, the
    // rows changed, the trigger made again.
    void tampering_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<bool>("headKept");
        QTest::addColumn<QString>("text");
        const QString notFollowing
            = QStringLiteral("не продолжает предыдущую (вставлена или удалена запись перед ней).");
        for (const QString &database : {QStringLiteral("sqlite"), QStringLiteral("postgres")}) {
            const QByteArray tag = database.toLatin1() + ": ";
            QTest::newRow(QByteArray(tag + "untouched"))
                << database << QStringLiteral("") << true << QStringLiteral("цепочка цела");
            QTest::newRow(QByteArray(tag + "a value changed"))
                << database << "UPDATE audit_log SET new_value = '1' WHERE id = 3" << true
                << "Цепочка нарушена: запись 3 изменена.";
            QTest::newRow(QByteArray(tag + "an operator's name changed"))
                << database << "UPDATE audit_log SET operator_name = 'Анна' WHERE id = 2" << true
                << "Цепочка нарушена: запись 2 изменена.";
            QTest::newRow(QByteArray(tag + "a row removed"))
                << database << "DELETE FROM audit_log WHERE id = 2" << true
                << QStringLiteral("Цепочка нарушена: запись 3 ") + notFollowing;
            QTest::newRow(QByteArray(tag + "a row inserted before the first"))
                << database << "insert first" << true
                << "Цепочка нарушена: запись 0 стоит не на своём месте.";
            QTest::newRow(QByteArray(tag + "a row sealed in between, the rest renumbered"))
                << database << "insert middle" << true
                << QStringLiteral("Цепочка нарушена: запись 4 ") + notFollowing;
            QTest::newRow(QByteArray(tag + "the last row removed"))
                << database << "DELETE FROM audit_log WHERE id = 5" << true
                << "Цепочка нарушена: после записи 4 недостаёт записей: их было 5.";
            QTest::newRow(QByteArray(tag + "the last two removed"))
                << database << "DELETE FROM audit_log WHERE id >= 4" << true
                << "Цепочка нарушена: после записи 3 недостаёт записей: их было 5.";
            // What the head outside the database is for.
            QTest::newRow(QByteArray(tag + "the last row removed, no head kept"))
                << database << "DELETE FROM audit_log WHERE id = 5" << false << "цепочка цела";
            // Edits left unguarded: the check still names the row.
            const bool sqlite = database == QLatin1String("sqlite");
            const QString change
                = QStringLiteral("UPDATE audit_log SET new_value = '1' WHERE id = 3");
            QTest::newRow(QByteArray(tag + "triggers dropped, a value changed"))
                << database
                << QStringLiteral("raw:")
                    + (sqlite ? QStringLiteral("DROP TRIGGER audit_log_no_update|DROP TRIGGER "
                                               "audit_log_no_delete|")
                              : QStringLiteral("DROP TRIGGER audit_log_no_update ON audit_log|"
                                               "DROP TRIGGER audit_log_no_delete ON audit_log|"
                                               "DROP TRIGGER audit_log_no_truncate ON "
                                               "audit_log|"))
                    + change
                << true
                << QStringLiteral("Журнал действий не защищён от правки: нет триггера "
                                  "audit_log_no_update, audit_log_no_delete%1. Цепочка нарушена: "
                                  "запись 3 изменена.")
                       .arg(sqlite ? QString() : QStringLiteral(", audit_log_no_truncate"));
            QTest::newRow(QByteArray(tag + "same-named triggers that refuse nothing"))
                << database
                << QStringLiteral("raw:")
                    + (sqlite ? QStringLiteral(
                           "DROP TRIGGER audit_log_no_update|CREATE TRIGGER "
                           "audit_log_no_update BEFORE UPDATE ON audit_log BEGIN SELECT 1; END|")
                              : QStringLiteral(
                                  "CREATE OR REPLACE FUNCTION audit_log_refuse() RETURNS "
                                  "trigger LANGUAGE plpgsql AS 'BEGIN RETURN NEW; END'|"))
                    + change
                << true
                << (sqlite ? QStringLiteral("Журнал действий не защищён от правки: нет триггера "
                                            "audit_log_no_update (есть, но ничего не запрещает). "
                                            "Цепочка нарушена: запись 3 изменена.")
                           : QStringLiteral(
                               "Журнал действий не защищён от правки: нет триггера "
                               "audit_log_no_update (есть, но ничего не запрещает), "
                               "audit_log_no_delete (есть, но ничего не запрещает), "
                               "audit_log_no_truncate (есть, но ничего не запрещает). Цепочка "
                               "нарушена: запись 3 изменена."));
        }
    }
    void tampering()
    {
        QFETCH(QString, database);
        QFETCH(QString, edit);
        QFETCH(bool, headKept);
        QFETCH(QString, text);
        const bool sqlite = database == QLatin1String("sqlite");
        if (!sqlite && !haveServer)
            QFAIL(qPrintable(cluster.error));
        const DatabaseUrl url = freshDatabase(database);
        AuditHead head;
        {
            Connection connection;
            QVERIFY(connection.open(url, QStringLiteral("t")));
            fillTrail(connection);
            AuditCheck check = AuditLog(connection).verify(AuditHead());
            QVERIFY(check.intact());
            QCOMPARE(check.head.count, qint64(5));
            head = check.head;
        }
        if (!edit.isEmpty()) {
            const QString name = QStringLiteral("edit-%1").arg(databases);
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(
                    sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"), name);
                db.setDatabaseName(sqlite ? url.path : url.database);
                db.setHostName(url.host);
                db.setUserName(url.user);
                QVERIFY(db.open());
                QSqlQuery query(db);
                QString statement = edit;
                if (edit == QLatin1String("insert first")) {
                    AuditRecord forged;
                    forged.id = 0;
                    forged.time = Start;
                    forged.what = QStringLiteral("вход");
                    forged = sealedAuditRecord(forged, QByteArray());
                    statement = QStringLiteral(
                                    "INSERT INTO audit_log VALUES (0, '%1', '', '', '', 'вход', "
                                    "'', '', '', '%2')")
                                    .arg(auditTimeText(Start), QString::fromLatin1(forged.hash));
                }
                QStringList statements {statement};
                if (edit.startsWith(QLatin1String("raw:"))) {
                    for (const QString &each : edit.mid(4).split(QLatin1Char('|')))
                        QVERIFY2(query.exec(each), qPrintable(query.lastError().text()));
                    statements.clear();
                    statement.clear();
                }
                if (edit == QLatin1String("insert middle")) {
                    QVERIFY(
                        query.exec(QStringLiteral("SELECT own_hash FROM audit_log WHERE id = 2")));
                    QVERIFY(query.next());
                    AuditRecord forged;
                    forged.id = 3;
                    forged.time = Start.addSecs(150);
                    forged.what = QStringLiteral("оплата");
                    forged.newValue = QStringLiteral("1");
                    forged = sealedAuditRecord(forged, query.value(0).toString().toLatin1());
                    query.finish();
                    statements = QStringList {
                        QStringLiteral("UPDATE audit_log SET id = -id WHERE id >= 3"),
                        QStringLiteral("UPDATE audit_log SET id = 1 - id WHERE id < 0"),
                        QStringLiteral("INSERT INTO audit_log VALUES (3, '%1', '', '', '', "
                                       "'оплата', '', '1', '%2', '%3')")
                            .arg(auditTimeText(forged.time),
                                 QString::fromLatin1(forged.previousHash),
                                 QString::fromLatin1(forged.hash))};
                    statement = statements.first();
                }
                // The triggers refuse the edit as long as they are there.
                if (!statement.isEmpty() && !statement.startsWith(QLatin1String("INSERT")))
                    QVERIFY2(!query.exec(statement), "the trail took an edit past its triggers");
                const QStringList around = statements.isEmpty() ? QStringList()
                    : sqlite
                    ? QStringList {QStringLiteral("DROP TRIGGER audit_log_no_update"),
                                   QStringLiteral("DROP TRIGGER audit_log_no_delete")}
                        + statements
                        + QStringList {QStringLiteral(
                                           "CREATE TRIGGER audit_log_no_update BEFORE "
                                           "UPDATE ON audit_log BEGIN SELECT RAISE(ABORT, "
                                           "'no'); END"),
                                       QStringLiteral(
                                           "CREATE TRIGGER audit_log_no_delete BEFORE "
                                           "DELETE ON audit_log BEGIN SELECT RAISE(ABORT, "
                                           "'no'); END")}
                    : QStringList {QStringLiteral("ALTER TABLE audit_log DISABLE TRIGGER USER")}
                        + statements
                        + QStringList {QStringLiteral("ALTER TABLE audit_log ENABLE TRIGGER USER")};
                for (const QString &each : around)
                    QVERIFY2(query.exec(each), qPrintable(query.lastError().text()));
                db.close();
            }
            QSqlDatabase::removeDatabase(name);
        }
        Connection connection;
        QVERIFY(connection.open(url, QStringLiteral("t")));
        const AuditCheck check = AuditLog(connection).verify(headKept ? head : AuditHead());
        QVERIFY(check.read);
        QCOMPARE(check.text(), text);
    }

    // Rows sealed by the program before its check was made quicker, stored as they were: they
    // still verify, byte for byte, whatever their fields hold.
    void storedRowsStillVerify_data() { bothDatabases(); }
    void storedRowsStillVerify()
    {
        QFETCH(QString, database);
        if (database != QLatin1String("sqlite") && !haveServer)
            QFAIL(qPrintable(cluster.error));
        struct Row
        {
            qint64 id;
            const char *time, *counter, *who, *approver, *what, *oldValue, *newValue, *hash;
        };
        const Row rows[] = {
            {1, "2026-12-09T10:00:00.000Z", "стойка-1", "Анна", "", "вход", "", "",
             "68c3704b4ba83f0fe03886024c72981c98c355aa27f3853c502ec81885697563"},
            {2, "2026-12-09T10:05:30.250Z", "стойка-2", "Борис", "Ольга", "цена ниже прайс-листа",
             "132", "99,50", "439e23df9b1f96a0c3cf23ae885a886ac6ab0234c899d86490c9c9d932839c7d"},
            {10, "2026-12-31T23:59:59.999Z", "к|1", "a:b", "", "смена статуса", "заказ № 7",
             "Готов 🎉", "00f9505b8a607e8056e2583a303eaa910791f11bf1e7dedbcc2d1e5b2a50726d"}};
        Connection connection;
        QVERIFY(connection.open(freshDatabase(database), QStringLiteral("t")));
        QSqlQuery query(connection.database());
        QByteArray previous(""); // stored as an empty text, not as NULL
        for (const Row &row : rows) {
            AuditRecord record;
            record.id = row.id;
            record.counter = QString::fromUtf8(row.counter);
            record.operatorName = QString::fromUtf8(row.who);
            record.approver = QString::fromUtf8(row.approver);
            record.what = QString::fromUtf8(row.what);
            record.oldValue = QString::fromUtf8(row.oldValue);
            record.newValue = QString::fromUtf8(row.newValue);
            QCOMPARE(auditHash(record, QString::fromLatin1(row.time), previous),
                     QByteArray(row.hash));
            QVERIFY(query.prepare(QStringLiteral("INSERT INTO audit_log VALUES (?, ?, ?, ?, ?, "
                                                 "?, ?, ?, ?, ?)")));
            for (const QVariant &value :
                 {QVariant(record.id), QVariant(QString::fromLatin1(row.time)),
                  QVariant(record.counter), QVariant(record.operatorName),
                  QVariant(record.approver), QVariant(record.what), QVariant(record.oldValue),
                  QVariant(record.newValue), QVariant(QString::fromLatin1(previous)),
                  QVariant(QString::fromLatin1(row.hash))})
                query.addBindValue(value);
            QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
            previous = row.hash;
        }
        const AuditCheck check = AuditLog(connection).verify({3, previous});
        QCOMPARE(check.text(), QStringLiteral("цепочка цела"));
        QCOMPARE(check.head.count, qint64(3));
        QVERIFY(
            query.exec(QStringLiteral("DROP TRIGGER audit_log_no_update")
                       + (connection.isSqlite() ? QString() : QStringLiteral(" ON audit_log"))));
        QVERIFY(
            query.exec(QStringLiteral("UPDATE audit_log SET new_value = 'Готов 🎊' WHERE id = 10")));
        QCOMPARE(AuditLog(connection).verify({3, previous}).verdict.problem,
                 QStringLiteral("запись 10 изменена."));
    }

    // A change and its record in one transaction that the change's own joins: kept together or
    // not at all, whichever of the two fails.
    void changeAndRecordTogether_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("recordRefused");
        QTest::addColumn<bool>("committed");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("records");
        for (const QString &database : {QStringLiteral("sqlite"), QStringLiteral("postgres")}) {
            const QByteArray tag = database.toLatin1() + ": ";
            QTest::newRow(QByteArray(tag + "both written"))
                << database << QStringLiteral("брак") << false << true << 4 << 1;
            QTest::newRow(QByteArray(tag + "the record refused"))
                << database << QStringLiteral("брак") << true << false << 0 << 0;
            QTest::newRow(QByteArray(tag + "the change refused, the record written"))
                << database << QString() << false << false << 0 << 0;
        }
    }
    void changeAndRecordTogether()
    {
        QFETCH(QString, database);
        QFETCH(QString, reason);
        QFETCH(bool, recordRefused);
        QFETCH(bool, committed);
        QFETCH(int, status);
        QFETCH(int, records);
        if (database != QLatin1String("sqlite") && !haveServer)
            QFAIL(qPrintable(cluster.error));
        Connection connection;
        QVERIFY(connection.open(freshDatabase(database), QStringLiteral("t")));
        OrderLine line;
        line.description = QStringLiteral("Визитки");
        line.quantity = QStringLiteral("1");
        line.unitPrice = QStringLiteral("1000");
        OrderIntake order;
        order.draft.orderUid = QStringLiteral("a");
        order.draft.created = Start;
        order.draft.counter = QStringLiteral("стойка-1");
        order.draft.lines = {line};
        order.due = Start.addDays(1);
        OrderBook book(connection);
        QCOMPARE(book.take(order, 1), qint64(1));
        QSqlQuery query(connection.database());
        if (recordRefused)
            QVERIFY(query.exec(connection.isSqlite()
                                   ? QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON "
                                                    "audit_log BEGIN SELECT RAISE(ABORT, 'no'); "
                                                    "END")
                                   : QStringLiteral("ALTER TABLE audit_log ADD CHECK (id < 0) "
                                                    "NOT VALID")));
        {
            Transaction transaction(connection);
            QVERIFY(transaction.isActive());
            const bool changed = book.changeStatus(1, OrderStatus::Cancelled, reason, false,
                                                   QStringLiteral("с"), Start)
                                     .done();
            QCOMPARE(changed, !reason.isEmpty());
            AuditRecord record;
            record.what = QStringLiteral("отмена заказа");
            QCOMPARE(AuditLog(connection).append(&record), !recordRefused);
            if (!recordRefused)
                QCOMPARE(transaction.commit(), committed);
        }
        QVERIFY(query.exec(QStringLiteral("SELECT status FROM taken_order")) && query.next());
        QCOMPARE(query.value(0).toInt(), status);
        QVERIFY(query.exec(QStringLiteral("SELECT count(*) FROM audit_log")) && query.next());
        QCOMPARE(query.value(0).toInt(), records);
        // The connection takes the next transaction as its own again.
        Transaction next(connection);
        QVERIFY(next.isActive());
        QVERIFY(next.commit());
    }

    // The board's changes through its link, each with the right's record: a change that fails,
    // whoever refuses it, leaves no record; one that is kept leaves exactly one, naming the
    // operator and the approver, and the payment names them too.
    void boardChangeWithItsRecord_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("change"); // "payment", "refund" or "cancel"
        QTest::addColumn<QString>("refusal"); // what the database refuses: "", "payment", "record"
        QTest::addColumn<bool>("done");
        QTest::addColumn<int>("payments");
        QTest::addColumn<int>("records");
        for (const QString &database : {QStringLiteral("sqlite"), QStringLiteral("postgres")}) {
            const QByteArray tag = database.toLatin1() + ": ";
            QTest::newRow(QByteArray(tag + "payment kept").constData())
                << database << QStringLiteral("payment") << QString() << true << 1 << 1;
            QTest::newRow(QByteArray(tag + "payment refused by the database").constData())
                << database << QStringLiteral("payment") << QStringLiteral("payment") << false << 0
                << 0;
            QTest::newRow(QByteArray(tag + "payment whose record is refused").constData())
                << database << QStringLiteral("payment") << QStringLiteral("record") << false << 0
                << 0;
            QTest::newRow(QByteArray(tag + "refund of more than was paid").constData())
                << database << QStringLiteral("refund") << QString() << false << 0 << 0;
            QTest::newRow(QByteArray(tag + "cancel kept").constData())
                << database << QStringLiteral("cancel") << QString() << true << 0 << 1;
            QTest::newRow(QByteArray(tag + "cancel whose record is refused").constData())
                << database << QStringLiteral("cancel") << QStringLiteral("record") << false << 0
                << 0;
        }
    }
    void boardChangeWithItsRecord()
    {
        QFETCH(QString, database);
        QFETCH(QString, change);
        QFETCH(QString, refusal);
        QFETCH(bool, done);
        QFETCH(int, payments);
        QFETCH(int, records);
        if (database != QLatin1String("sqlite") && !haveServer)
            QFAIL(qPrintable(cluster.error));
        const DatabaseUrl url = freshDatabase(database);
        Connection connection;
        QVERIFY(connection.open(url, QStringLiteral("t")));
        OrderLine line;
        line.description = QStringLiteral("Визитки");
        line.quantity = QStringLiteral("1");
        line.unitPrice = QStringLiteral("1000");
        OrderIntake order;
        order.draft.orderUid = QStringLiteral("a");
        order.draft.created = Start;
        order.draft.counter = QStringLiteral("стойка-1");
        order.draft.lines = {line};
        order.due = Start.addDays(1);
        QCOMPARE(OrderBook(connection).take(order, 1), qint64(1));
        QSqlQuery query(connection.database());
        const QString table = refusal == QLatin1String("record") ? QStringLiteral("audit_log")
                                                                 : QStringLiteral("order_payment");
        if (!refusal.isEmpty())
            QVERIFY2(
                query.exec(
                    connection.isSqlite()
                        ? QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON %1 "
                                         "BEGIN SELECT RAISE(ABORT, 'no'); END")
                              .arg(table)
                        : QStringLiteral("ALTER TABLE %1 ADD CHECK (id < 0) NOT VALID").arg(table)),
                qPrintable(query.lastError().text()));

        AuditRecord record;
        record.operatorName = QStringLiteral("Вера");
        record.approver = change == QLatin1String("payment") ? QString() : QStringLiteral("Борис");
        record.what = QStringLiteral("оплата");
        record.newValue = QStringLiteral("заказ № 1");
        OrdersLink link(url, QStringLiteral("стойка-2"), ShopContacts());
        qint64 sealed = 0; // the head's count the counter is told to keep
        connect(&link, &OrdersLink::auditSealed, this,
                [&sealed](const AuditHead &head) { sealed = head.count; });
        QObject context;
        bool answered = false;
        OrderAnswer answer;
        const auto take = [&](const OrderAnswer &given) {
            answer = given;
            answered = true;
        };
        if (change == QLatin1String("cancel")) {
            link.changeStatus(1, OrderStatus::Cancelled, QStringLiteral("передумал"), false,
                              &context, take, record);
        } else {
            Payment payment;
            payment.kopecks = change == QLatin1String("refund") ? -50000 : 50000;
            payment.reason = QStringLiteral("брак");
            payment.operatorName = record.operatorName;
            payment.approver = record.approver;
            link.addPayment(1, payment, &context, take, record);
        }
        QTRY_VERIFY(answered);
        QCOMPARE(answer.done(), done);
        QVERIFY(!answer.message.isEmpty() || done);
        QVERIFY(query.exec(QStringLiteral("SELECT count(*) FROM order_payment")) && query.next());
        QCOMPARE(query.value(0).toInt(), payments);
        QVERIFY(query.exec(QStringLiteral("SELECT counter, operator_name, approver FROM "
                                          "audit_log")));
        int rows = 0;
        while (query.next()) {
            ++rows;
            QCOMPARE(query.value(0).toString(), QStringLiteral("стойка-2"));
            QCOMPARE(query.value(1).toString(), QStringLiteral("Вера"));
            QCOMPARE(query.value(2).toString(), record.approver);
        }
        QCOMPARE(rows, records);
        QTRY_COMPARE(sealed, qint64(records));
        if (payments > 0) {
            QVERIFY(query.exec(QStringLiteral("SELECT operator_name FROM order_payment")));
            QVERIFY(query.next());
            QCOMPARE(query.value(0).toString(), QStringLiteral("Вера"));
        }
        if (change == QLatin1String("cancel")) {
            QVERIFY(query.exec(QStringLiteral("SELECT status FROM taken_order")) && query.next());
            QCOMPARE(query.value(0).toInt(), done ? 4 : 0);
        }
        QVERIFY(AuditLog(connection).verify(AuditHead()).intact());
    }

    void missingTrigger_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("text");
        QTest::newRow("SQLite, update trigger dropped")
            << "sqlite"
            << "DROP TRIGGER audit_log_no_update"
            << "Журнал действий не защищён от правки: нет триггера audit_log_no_update.";
        QTest::newRow("SQLite, delete trigger dropped")
            << "sqlite"
            << "DROP TRIGGER audit_log_no_delete"
            << "Журнал действий не защищён от правки: нет триггера audit_log_no_delete.";
        QTest::newRow("PostgreSQL, delete trigger dropped")
            << "postgres"
            << "DROP TRIGGER audit_log_no_delete ON audit_log"
            << "Журнал действий не защищён от правки: нет триггера audit_log_no_delete.";
        QTest::newRow("PostgreSQL, triggers disabled")
            << "postgres"
            << "ALTER TABLE audit_log DISABLE TRIGGER USER"
            << "Журнал действий не защищён от правки: нет триггера audit_log_no_update, "
               "audit_log_no_delete, audit_log_no_truncate.";
    }
    void missingTrigger()
    {
        QFETCH(QString, database);
        QFETCH(QString, statement);
        QFETCH(QString, text);
        if (database == QLatin1String("postgres") && !haveServer)
            QFAIL(qPrintable(cluster.error));
        const DatabaseUrl url = freshDatabase(database);
        Connection connection;
        QVERIFY(connection.open(url, QStringLiteral("t")));
        fillTrail(connection);
        QSqlQuery query(connection.database());
        QVERIFY2(query.exec(statement), qPrintable(query.lastError().text()));
        QCOMPARE(AuditLog(connection).verify(AuditHead()).text(), text);
        // Told, not made again: a second look finds it missing still.
        connection.close();
        QVERIFY(connection.open(url, QStringLiteral("t")));
        QCOMPARE(AuditLog(connection).verify(AuditHead()).text(), text);
    }

    // Two counters sealing at once on the shop's server: one chain, no id twice.
    void concurrentCounters()
    {
        if (!haveServer)
            QFAIL(qPrintable(cluster.error));
        const DatabaseUrl url = freshDatabase(QStringLiteral("postgres"));
        {
            Connection connection;
            QVERIFY(connection.open(url, QStringLiteral("t")));
        }
        std::atomic<int> failures {0};
        const auto counter = [&](int which) {
            Connection connection;
            if (!connection.open(url, QStringLiteral("counter-%1").arg(which))) {
                ++failures;
                return;
            }
            AuditLog log(connection);
            for (int i = 0; i < 40; ++i) {
                AuditRecord record;
                record.counter = QStringLiteral("стойка-%1").arg(which);
                record.what = QStringLiteral("оплата");
                if (!log.add(&record))
                    ++failures;
            }
        };
        std::thread first(counter, 1);
        std::thread second(counter, 2);
        first.join();
        second.join();
        QCOMPARE(failures.load(), 0);
        Connection connection;
        QVERIFY(connection.open(url, QStringLiteral("t")));
        const AuditCheck check = AuditLog(connection).verify(AuditHead());
        QCOMPARE(check.text(), QStringLiteral("цепочка цела"));
        QCOMPARE(check.head.count, qint64(80));
    }

    // One operator's attempts in order, each a minute apart unless the row says otherwise.
    void lockout_data()
    {
        QTest::addColumn<QStringList>("attempts"); // "PIN" or "PIN@minutes after the start"
        QTest::addColumn<QList<SignInOutcome>>("outcomes");
        QTest::addColumn<QString>("lastMessage");
        QTest::addColumn<int>("failedRecorded");
        using O = SignInOutcome;
        QTest::newRow("right at once") << QStringList {QStringLiteral("2468")}
                                       << QList<O> {O::SignedIn} << QStringLiteral("") << 0;
        QTest::newRow("four wrong, then right")
            << QStringList {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                            QStringLiteral("4"), QStringLiteral("2468")}
            << QList<O> {O::WrongPin, O::WrongPin, O::WrongPin, O::WrongPin, O::SignedIn} << ""
            << 4;
        QTest::newRow("five wrong lock out the right PIN")
            << QStringList {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                            QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("2468")}
            << QList<O> {O::WrongPin, O::WrongPin, O::WrongPin, O::WrongPin, O::Locked, O::Locked}
            << "Оператор «Анна» заблокирован до %1 после 5 неверных PIN подряд." << 5;
        QTest::newRow("the lock ends after five minutes")
            << QStringList {QStringLiteral("1"),      QStringLiteral("2"), QStringLiteral("3"),
                            QStringLiteral("4"),      QStringLiteral("5"), QStringLiteral("2468@8"),
                            QStringLiteral("2468@11")}
            << QList<O> {O::WrongPin, O::WrongPin, O::WrongPin, O::WrongPin,
                         O::Locked,   O::Locked,   O::SignedIn}
            << "" << 5;
        QTest::newRow("a right PIN starts the count again")
            << QStringList {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                            QStringLiteral("2468"), QStringLiteral("4")}
            << QList<O> {O::WrongPin, O::WrongPin, O::WrongPin, O::SignedIn, O::WrongPin}
            << "Неверный PIN. Осталось попыток: 4." << 4;
        QTest::newRow("after the lock, five more")
            << QStringList {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                            QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6@11")}
            << QList<O> {O::WrongPin, O::WrongPin, O::WrongPin, O::WrongPin, O::Locked, O::WrongPin}
            << "Неверный PIN. Осталось попыток: 4." << 6;
        QTest::newRow("unknown name")
            << QStringList {QStringLiteral("Пётр:2468")} << QList<O> {O::Unknown}
            << QStringLiteral("Оператора «Пётр» нет.") << 0;
    }
    void lockout()
    {
        QFETCH(QStringList, attempts);
        QFETCH(QList<SignInOutcome>, outcomes);
        QFETCH(QString, lastMessage);
        QFETCH(int, failedRecorded);
        const DatabaseUrl url = freshDatabase(QStringLiteral("sqlite"));
        {
            Connection connection;
            QVERIFY(connection.open(url, QStringLiteral("t")));
            QCOMPARE(OperatorStore(connection)
                         .add(QStringLiteral("Анна"), Role::Owner, hashPin(QStringLiteral("2468")),
                              {QStringLiteral("стойка-1"), QString(), QString()}),
                     OperatorChange::Done);
        }
        SignInAnswer answer;
        for (int i = 0; i < attempts.size(); ++i) {
            QString pin = attempts.at(i);
            QString name = QStringLiteral("Анна");
            int minutes = i;
            if (pin.contains(QLatin1Char(':'))) {
                name = pin.section(QLatin1Char(':'), 0, 0);
                pin = pin.section(QLatin1Char(':'), 1);
            }
            if (pin.contains(QLatin1Char('@'))) {
                minutes = pin.section(QLatin1Char('@'), 1).toInt();
                pin = pin.section(QLatin1Char('@'), 0, 0);
            }
            // A connection of its own each time, as another counter: the count is the database's.
            Connection connection;
            QVERIFY(connection.open(url, QStringLiteral("t")));
            answer = OperatorStore(connection)
                         .signIn(name, pin, QStringLiteral("стойка-%1").arg(i % 2 + 1),
                                 Start.addSecs(60 * minutes));
            QVERIFY2(answer.outcome == outcomes.at(i),
                     qPrintable(QStringLiteral("attempt %1: %2").arg(i + 1).arg(answer.message)));
        }
        if (lastMessage.contains(QLatin1String("%1")))
            lastMessage = lastMessage.arg(
                Start.addSecs(60 * 9).toLocalTime().toString(QStringLiteral("HH:mm")));
        QCOMPARE(answer.message, lastMessage);
        Connection connection;
        QVERIFY(connection.open(url, QStringLiteral("t")));
        bool ok = false;
        const QVector<AuditRecord> trail = AuditLog(connection).list(AuditFilter(), &ok);
        QVERIFY(ok);
        int failed = 0;
        for (const AuditRecord &record : trail)
            failed += record.what == QStringLiteral("неудачный вход");
        // Every wrong PIN checked is recorded; one refused by the lock before any check is not.
        QCOMPARE(failed, failedRecorded);
    }

    void listFilters_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("who");
        QTest::addColumn<QString>("what");
        QTest::addColumn<QList<qint64>>("ids");
        QTest::newRow("everything") << QDate() << QDate() << ""
                                    << "" << QList<qint64> {1, 2, 3, 4, 5};
        QTest::newRow("Борис") << QDate() << QDate() << "Борис"
                               << "" << QList<qint64> {2, 4};
        QTest::newRow("that day") << QDate(2026, 12, 9) << QDate(2026, 12, 9) << ""
                                  << "" << QList<qint64> {1, 2, 3, 4, 5};
        QTest::newRow("the day after") << QDate(2026, 12, 10) << QDate() << ""
                                       << "" << QList<qint64> {};
        QTest::newRow("until the day before") << QDate() << QDate(2026, 12, 8) << ""
                                              << "" << QList<qint64> {};
        QTest::newRow("nobody") << QDate() << QDate() << "Пётр"
                                << "" << QList<qint64> {};
        QTest::newRow("a word of what, in another case") << QDate() << QDate() << ""
                                                         << "СТАТУС" << QList<qint64> {4};
        QTest::newRow("what and who") << QDate() << QDate() << "Борис"
                                      << " оплата " << QList<qint64> {2};
        QTest::newRow("what and the day after") << QDate(2026, 12, 10) << QDate() << ""
                                                << "оплата" << QList<qint64> {};
    }
    void listFilters()
    {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QString, who);
        QFETCH(QString, what);
        QFETCH(QList<qint64>, ids);
        Connection connection;
        QVERIFY(connection.open(freshDatabase(QStringLiteral("sqlite")), QStringLiteral("t")));
        fillTrail(connection);
        bool ok = false;
        QList<qint64> found;
        for (const AuditRecord &record : AuditLog(connection).list({from, to, who, what}, &ok))
            found.append(record.id);
        QVERIFY(ok);
        QCOMPARE(found, ids);
    }
};

QTEST_GUILESS_MAIN(AuditLogTest)
#include "test_audit_log.moc"
