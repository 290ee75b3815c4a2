// The shop's rights held by PostgreSQL: on a throwaway cluster the owner sets up the groups and
// one login in each; each login then tries statements the program never runs for it (refused)
// and walks the program's own storing paths (allowed where its group holds the right).
#include "tests/older_database.h"
#include "tests/pg_cluster.h"
#include "tests/program_run.h"

#include "prices/price_versions.h"
#include "storage/audit_log.h"
#include "storage/connection.h"
#include "storage/customer_store.h"
#include "storage/database_roles.h"
#include "storage/journal.h"
#include "storage/mail_queue.h"
#include "storage/operator_store.h"
#include "storage/order_book.h"
#include "storage/pin_hash.h"
#include "storage/price_store.h"
#include "storage/schema.h"
#include "storage/transaction.h"
#include "storage/web_requests.h"

#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QDateTime Taken(QDate(2026, 12, 9), QTime(10, 0));

OrderLine line(const QString &description)
{
    OrderLine result;
    result.description = description;
    result.quantity = QStringLiteral("2");
    result.unitPrice = QStringLiteral("100");
    return result;
}

InvoiceDraft draft(const QString &uid)
{
    return {uid, Taken, QStringLiteral("стойка-1"), QString(), {line(QStringLiteral("Визитки"))},
            {}};
}

OrderIntake intake(const QString &uid)
{
    OrderIntake order;
    order.draft = draft(uid);
    order.due = Taken.addDays(1);
    return order;
}

PriceVersion nextPrices(const QDate &from)
{
    PriceVersionInfo info;
    info.from = from;
    info.loadedBy = QStringLiteral("менеджер");
    info.loadedAt = Taken;
    return changedVersion(builtInVersion(), {}, {}, info);
}

WebRequestRecord webRequest()
{
    WebRequestRecord request;
    request.created = Taken;
    request.name = QStringLiteral("Ира");
    request.due = Taken.date().addDays(2);
    request.lines = {line(QStringLiteral("Визитки"))};
    return request;
}

} // namespace

class DatabaseRolesTest : public QObject
{
    Q_OBJECT

    PgCluster cluster;
    int uid = 0;

    // A raw statement in a transaction rolled back after: allowed when it ran and reached a row.
    bool statementAllowed(const QString &login, const QString &statement, QString *why)
    {
        Connection connection;
        if (!connection.open(DatabaseUrl::parse(cluster.url(login)), QStringLiteral("raw"))) {
            *why = connection.errorText();
            return false;
        }
        QSqlDatabase db = connection.database();
        db.transaction();
        QSqlQuery query(db);
        bool reached = query.exec(statement);
        *why = query.lastError().text();
        if (reached)
            reached = query.isSelect() ? query.next() : query.numRowsAffected() > 0;
        query.finish();
        db.rollback();
        return reached;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(cluster.start(), qPrintable(cluster.error));
        Connection owner;
        QVERIFY2(owner.open(DatabaseUrl::parse(cluster.url()), QStringLiteral("owner")),
                 qPrintable(owner.errorText()));
        QVERIFY(ownsSchema(owner.database()));
        QString error;
        // Twice: the second run finds the groups and sets the same rights.
        for (int run = 0; run < 2; ++run)
            QVERIFY2(setUpShopRoles(owner.database(), &error), qPrintable(error));
        QVERIFY(shopRolesExist(owner.database()));
        const std::pair<const char *, ShopRole> logins[]
            = {{"kassa", ShopRole::Counter}, {"boss", ShopRole::Manager}, {"site", ShopRole::Web}};
        for (const auto &[name, role] : logins)
            QVERIFY2(addShopLogin(owner.database(), QLatin1String(name), role,
                                  QStringLiteral("пароль'1"), &error),
                     qPrintable(error));
        // Invoice 1 went out (a document succeeded); a price version and an audit row exist.
        Journal journal(owner);
        QCOMPARE(journal.storeInvoice(draft(QStringLiteral("seed")), 1), 1);
        QVERIFY(journal.addDocument(1, {QStringLiteral("pdf"), Taken, true}));
        QCOMPARE(PriceVersionTables(owner).store(nextPrices(QDate(2026, 1, 1))), 1);
        AuditRecord record;
        record.counter = QStringLiteral("стойка-1");
        record.what = QStringLiteral("проверка");
        QVERIFY(AuditLog(owner).add(&record));
        QVERIFY(storeWebRequest(owner, webRequest()) > 0);
        QVERIFY(OrderBook(owner).take(intake(QStringLiteral("seed-order")), 1) > 0);
        Customer card;
        card.shortName = QStringLiteral("ООО Ромашка");
        QCOMPARE(CustomerStore(owner).save(&card, QStringLiteral("стойка-1")),
                 CustomerSaveResult::Saved);
        QSqlQuery shift(owner.database());
        QVERIFY2(shift.exec(QStringLiteral(
                     "INSERT INTO shift (counter, number, opened_at, opened_by, float_kopecks) "
                     "VALUES ('стойка-1', 1, '2026-12-09T10:00:00', 'Ольга', 0)")),
                 qPrintable(shift.lastError().text()));
    }
    void cleanupTestCase() { cluster.stop(); }

    void statements_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<bool>("allowed");
        const QString voidIssued
            = QStringLiteral("UPDATE invoice SET is_void = 1 WHERE number = 1");
        const QString addVersion
            = QStringLiteral("INSERT INTO price_version (number, effective_from, note, loaded_by, "
                             "loaded_at) VALUES (50, '2027-01-01', '', 'x', '2026-12-09')");
        const QString addRequest = QStringLiteral(
            "INSERT INTO web_request (created, name, phone, email, comment, due, lines, "
            "price_version, total_kopecks) VALUES ('2026-12-09', 'Ира', '', '', '', '', '[]', 0, "
            "100) RETURNING number");
        const QString refund = QStringLiteral(
            "INSERT INTO order_payment (invoice_number, kopecks, method, paid_at, counter, reason) "
            "SELECT min(invoice_number), -50000, 0, '2026-12-09', 'x', 'x' FROM taken_order");
        const QString moveTo
            = QStringLiteral("UPDATE taken_order SET status = %1 WHERE invoice_number = (SELECT "
                             "min(invoice_number) FROM taken_order)");
        const QString cashOut = QStringLiteral(
            "INSERT INTO shift_cash (shift_id, kopecks, reason, operator_name, entered_at) "
            "SELECT id, -100, 'x', 'x', '' FROM shift WHERE closed_at = ''");
        const struct
        {
            const char *row;
            const char *login;
            QString statement;
            bool allowed;
        } rows[] = {
            {"counter reads prices", "kassa", QStringLiteral("SELECT number FROM price_version"),
             true},
            {"counter changes an invoice's date", "kassa",
             QStringLiteral("UPDATE invoice SET created = '2020-01-01' WHERE number = 1"), false},
            {"counter voids an invoice that went out", "kassa", voidIssued, false},
            {"counter deletes an invoice", "kassa",
             QStringLiteral("DELETE FROM invoice WHERE number = 1"), false},
            {"counter changes invoice lines", "kassa",
             QStringLiteral("UPDATE invoice_line SET description = 'x' WHERE invoice_number = 1"),
             false},
            {"counter deletes lines of an invoice that went out", "kassa",
             QStringLiteral("DELETE FROM invoice_line WHERE invoice_number = 1"), false},
            {"counter deletes a document record", "kassa",
             QStringLiteral("DELETE FROM invoice_document WHERE invoice_number = 1"), false},
            {"counter changes the audit trail", "kassa",
             QStringLiteral("UPDATE audit_log SET what = 'x'"), false},
            {"counter deletes the audit trail", "kassa", QStringLiteral("DELETE FROM audit_log"),
             false},
            {"counter changes a price version", "kassa",
             QStringLiteral("UPDATE price_version SET note = 'x'"), false},
            {"counter changes a price", "kassa",
             QStringLiteral("UPDATE price_version_price SET price_text = '1'"), false},
            {"counter deletes prices", "kassa", QStringLiteral("DELETE FROM price_version_price"),
             false},
            {"counter adds a price version", "kassa", addVersion, false},
            {"counter adds an operator", "kassa",
             QStringLiteral("INSERT INTO operator (name, role, pin_hash, created) VALUES ('x', "
                            "2, '', '')"),
             false},
            {"counter pays an order without a payment", "kassa",
             QStringLiteral("UPDATE taken_order SET paid_kopecks = paid_kopecks + 100"), false},
            {"manager pays an order without a payment", "boss",
             QStringLiteral("UPDATE taken_order SET paid_kopecks = paid_kopecks + 100"), false},
            {"counter rewinds the invoice numbers", "kassa",
             QStringLiteral("UPDATE invoice_counter SET next_number = 1"), false},
            {"manager rewinds the invoice numbers", "boss",
             QStringLiteral("UPDATE invoice_counter SET next_number = 1"), false},
            {"counter changes a sale's figures", "kassa",
             QStringLiteral("UPDATE sale SET owed_kopecks = 1"), false},
            {"counter removes a sale", "kassa", QStringLiteral("DELETE FROM sale"), false},
            {"counter sets the schema version", "kassa",
             QStringLiteral("UPDATE schema_version SET version = 1"), false},
            {"counter lowers the total of an invoice that went out", "kassa",
             QStringLiteral("UPDATE invoice SET total = 1 WHERE number = 1"), false},
            {"counter renames the customer of an invoice that went out", "kassa",
             QStringLiteral("UPDATE invoice SET customer_inn = '7707083893', customer_name = "
                            "'x' WHERE number = 1"),
             false},
            {"counter adds a line to an invoice that went out", "kassa",
             QStringLiteral("INSERT INTO invoice_line SELECT invoice_number, 9, description, "
                            "quantity, unit_price, key_text, titles, removal_marker, job, "
                            "explanation, missing_price, price_version, revision FROM "
                            "invoice_line WHERE invoice_number = 1"),
             false},
            {"counter raises the revision of an invoice that went out with no order", "kassa",
             QStringLiteral("UPDATE invoice SET revision = 2, total = 1 WHERE number = 1"), false},
            {"manager lowers the total of an invoice that went out", "boss",
             QStringLiteral("UPDATE invoice SET total = 1 WHERE number = 1"), true},
            {"counter refunds", "kassa", refund, false},
            {"manager refunds", "boss", refund, true},
            {"counter cancels an order", "kassa", moveTo.arg(4), false},
            {"manager cancels an order", "boss", moveTo.arg(4), true},
            {"counter hands over an unpaid order", "kassa", moveTo.arg(3), false},
            {"manager hands over an unpaid order", "boss", moveTo.arg(3), true},
            {"counter starts work on an order", "kassa", moveTo.arg(1), true},
            // Cash out is the window's to ask a manager's PIN for, kept with its name.
            {"counter takes cash out", "kassa", cashOut, true},
            {"counter deletes a customer", "kassa", QStringLiteral("DELETE FROM customer"), false},
            {"manager deletes a customer", "boss", QStringLiteral("DELETE FROM customer"), true},
            {"manager adds a price version", "boss", addVersion, true},
            {"manager voids an invoice by hand", "boss", voidIssued, true},
            {"manager deletes an invoice", "boss",
             QStringLiteral("DELETE FROM invoice WHERE number = 1"), false},
            {"manager changes the audit trail", "boss",
             QStringLiteral("UPDATE audit_log SET what = 'x'"), false},
            {"manager changes a price version", "boss",
             QStringLiteral("UPDATE price_version SET note = 'x'"), false},
            {"web reads prices", "site", QStringLiteral("SELECT number FROM price_version"), true},
            {"web adds a request", "site", addRequest, true},
            {"web reads requests", "site", QStringLiteral("SELECT name FROM web_request"), false},
            {"web changes a request", "site", QStringLiteral("UPDATE web_request SET status = 1"),
             false},
            {"web reads invoices", "site", QStringLiteral("SELECT number FROM invoice"), false},
            {"web reads the invoice counter", "site",
             QStringLiteral("SELECT next_number FROM invoice_counter"), false},
            {"web adds a price version", "site", addVersion, false},
            {"web adds to the audit trail", "site",
             QStringLiteral("INSERT INTO audit_log (id, logged_at, counter, operator_name, "
                            "approver, what, old_value, new_value, previous_hash, own_hash) "
                            "VALUES (99, '', '', '', '', '', '', '', '', '')"),
             false},
        };
        for (const auto &row : rows)
            QTest::newRow(row.row) << QString::fromUtf8(row.login) << row.statement << row.allowed;
    }

    void statements()
    {
        QFETCH(QString, login);
        QFETCH(QString, statement);
        QFETCH(bool, allowed);
        QString why;
        QCOMPARE(statementAllowed(login, statement, &why), allowed);
        // The owner reaches every row tried (but the trail's and the numbers' going back, which
        // the database refuses everyone, and an invoice's, which its lines hold), so a refusal
        // is the group's, not an empty table.
        if (!statement.contains(QLatin1String("audit_log"))
            && !statement.startsWith(QLatin1String("DELETE FROM invoice WHERE"))
            && !statement.contains(QLatin1String("next_number = 1"))
            && !statement.contains(QLatin1String("paid_kopecks + 100")))
            QVERIFY2(statementAllowed(QStringLiteral("printcalc"), statement, &why),
                     qPrintable(why));
    }

    // Every table against every login and statement kind: what the grants let through
    // (S select whole rows, I insert, U update the column named, D delete, T truncate; '-'
    // refused). Rows are held beyond this by the triggers the statements above try.
    void tableRights_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("rights");
        const struct
        {
            const char *table, *column, *counter, *manager, *web;
        } rows[] = {
            {"schema_version", "version", "S----", "S----", "S----"},
            {"invoice_counter", "next_number", "S-U--", "S-U--", "-----"},
            {"invoice", "total", "SIU--", "SIU--", "-----"},
            {"invoice", "created", "SI---", "SI---", "-----"},
            {"invoice", "voided_by", "SI---", "SIU--", "-----"},
            {"invoice_line", "description", "SI-D-", "SI-D-", "-----"},
            {"invoice_document", "succeeded", "SI---", "SI---", "-----"},
            {"local_order", "state", "SIU--", "SIU--", "-----"},
            {"local_line", "order_uid", "SIUD-", "SIUD-", "-----"},
            {"price_version", "note", "S----", "SI---", "S----"},
            {"price_version_price", "price", "S----", "SI---", "S----"},
            {"price_version_extra", "version", "S----", "SI---", "S----"},
            {"customer", "short_name", "SIU--", "SIUD-", "-----"},
            {"customer_word", "rank", "SI-D-", "SI-D-", "-----"},
            {"taken_order", "status", "SIU--", "SIU--", "-----"},
            {"taken_order", "created", "SI---", "SI---", "-----"},
            {"order_status_change", "id", "SI---", "SI---", "-----"},
            {"order_payment", "kopecks", "SI---", "SI---", "-----"},
            {"mail_queue", "state", "SIU--", "SIU--", "-----"},
            {"operator", "failed_count", "-----", "-----", "-----"},
            {"audit_log", "what", "S----", "S----", "-----"},
            {"web_request", "status", "S-U--", "S-U--", "-I---"},
            {"web_request", "total_kopecks", "S----", "S----", "-I---"},
            {"shift", "closed_at", "SIU--", "SIU--", "-----"},
            {"shift", "float_kopecks", "SI---", "SI---", "-----"},
            {"shift_cash", "reason", "SI---", "SI---", "-----"},
            {"sale", "owed_kopecks", "S----", "S----", "-----"},
        };
        for (const auto &row : rows)
            for (const auto &[login, rights] :
                 {std::pair {"kassa", row.counter}, std::pair {"boss", row.manager},
                  std::pair {"site", row.web}})
                QTest::newRow(qPrintable(QStringLiteral("%1.%2 %3")
                                             .arg(QLatin1String(row.table),
                                                  QLatin1String(row.column), QLatin1String(login))))
                    << QString::fromLatin1(row.table) << QString::fromLatin1(row.column)
                    << QString::fromLatin1(login) << QString::fromLatin1(rights);
    }

    void tableRights()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QString, login);
        QFETCH(QString, rights);
        Connection connection;
        QVERIFY(connection.open(DatabaseUrl::parse(cluster.url(login)), QStringLiteral("rights")));
        QSqlDatabase db = connection.database();
        const QString statements[] = {
            QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(table),
            QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table),
            QStringLiteral("UPDATE %1 SET %2 = %2 WHERE false").arg(table, column),
            QStringLiteral("DELETE FROM %1 WHERE false").arg(table),
            QStringLiteral("TRUNCATE %1").arg(table),
        };
        QString found;
        for (int kind = 0; kind < 5; ++kind) {
            QVERIFY(db.transaction());
            QSqlQuery query(db);
            const bool ran = query.exec(statements[kind]);
            const QString code = ran ? QString() : query.lastError().nativeErrorCode();
            query.finish();
            db.rollback();
            // Nothing but a refusal may stop what reaches no row: a typo here is no refusal.
            if (kind != 1 && kind != 4)
                QVERIFY2(code.isEmpty() || code == QLatin1String("42501"),
                         qPrintable(statements[kind] + QLatin1Char(' ') + code));
            found += code == QLatin1String("42501") ? QLatin1Char('-') : QLatin1Char("SIUDT"[kind]);
        }
        QCOMPARE(found, rights);
    }

    // A table no row above names would be closed to the counters unseen, or open unchecked.
    void everyTableHasItsRights()
    {
        Connection owner;
        QVERIFY(owner.open(DatabaseUrl::parse(cluster.url()), QStringLiteral("owner")));
        QSqlQuery query(owner.database());
        QVERIFY(query.exec(QStringLiteral("SELECT tablename FROM pg_tables WHERE schemaname = "
                                          "current_schema() ORDER BY tablename")));
        QStringList tables;
        while (query.next())
            tables << query.value(0).toString();
        QStringList granted;
        for (const TableGrant &grant : tableGrants())
            granted << grant.table;
        granted.sort();
        QCOMPARE(tables, granted);
    }

    void programPaths_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("allowed");
        const struct
        {
            const char *login;
            const char *path;
            bool allowed;
        } rows[] = {
            {"kassa", "take a number", true},
            {"kassa", "store again before a document", true},
            {"kassa", "void a failed document's number", true},
            {"kassa", "take an order", true},
            {"kassa", "revise an order", true},
            {"kassa", "change a status", true},
            {"kassa", "add a payment", true},
            {"kassa", "add an audit row", true},
            {"kassa", "confirm a web request", true},
            {"kassa", "confirm a web request without a due wish", true},
            {"kassa", "import customers", true},
            {"kassa", "revise an order that went out", true},
            {"kassa", "refund", false},
            {"boss", "refund", true},
            {"kassa", "cancel an order", false},
            {"boss", "cancel an order", true},
            {"kassa", "merge customers", false},
            {"boss", "merge customers", true},
            {"kassa", "add a price version", false},
            {"kassa", "void by hand", false},
            {"kassa", "add a document after a manager's void", true},
            {"boss", "void by hand", true},
            {"boss", "add a price version", true},
            {"boss", "take an order", true},
            {"site", "load prices", true},
            {"site", "add a web request", true},
            // Its one mail: the request's acknowledgement, to the request's address.
            {"site", "add a web request with its acknowledgement", true},
            {"site", "queue a mail of its own", false},
            {"site", "queue a request's acknowledgement elsewhere", false},
            {"kassa", "confirm a web request onto a new card", true},
            {"site", "take a number", false},
            {"site", "add an audit row", false},
        };
        for (const auto &row : rows)
            QTest::newRow(qPrintable(
                QStringLiteral("%1: %2").arg(QLatin1String(row.login), QLatin1String(row.path))))
                << QString::fromUtf8(row.login) << QString::fromUtf8(row.path) << row.allowed;
    }

    void programPaths()
    {
        QFETCH(QString, login);
        QFETCH(QString, path);
        QFETCH(bool, allowed);
        Connection connection;
        QVERIFY2(connection.open(DatabaseUrl::parse(cluster.url(login)), QStringLiteral("path")),
                 qPrintable(connection.errorText()));
        const QString order = QStringLiteral("o%1").arg(++uid);
        Journal journal(connection);
        OrderBook book(connection);
        bool done = false;
        if (path == QLatin1String("take a number")) {
            done = journal.storeInvoice(draft(order), 1) > 0;
        } else if (path == QLatin1String("store again before a document")) {
            const qint64 number = journal.storeInvoice(draft(order), 1);
            InvoiceDraft again = draft(order);
            again.lines.append(line(QStringLiteral("Листовки")));
            done = number > 0 && journal.storeInvoice(again, 1) == number;
        } else if (path == QLatin1String("void a failed document's number")) {
            const qint64 number = journal.storeInvoice(draft(order), 1);
            InvoiceRecord record;
            done = number > 0 && journal.addDocument(number, {QStringLiteral("pdf"), Taken, false})
                && journal.load(number, &record) && record.summary.isVoid;
        } else if (path == QLatin1String("take an order")) {
            done = book.take(intake(order), 1) > 0;
        } else if (path == QLatin1String("revise an order")) {
            const qint64 number = book.take(intake(order), 1);
            OrderIntake change = intake(order);
            change.draft.lines.append(line(QStringLiteral("Листовки")));
            done = number > 0 && book.revise(number, change).done();
        } else if (path == QLatin1String("revise an order that went out")) {
            const qint64 number = book.take(intake(order), 1);
            QVERIFY(number > 0
                    && journal.addDocument(number, {QStringLiteral("pdf"), Taken, true}));
            OrderIntake change = intake(order);
            change.draft.lines.append(line(QStringLiteral("Листовки")));
            done = book.revise(number, change).done();
            InvoiceRecord record;
            QVERIFY(journal.load(number, &record));
            QCOMPARE(record.lines.size(), done ? 2 : 1);
        } else if (path == QLatin1String("refund") || path == QLatin1String("cancel an order")) {
            const qint64 number = book.take(intake(order), 1);
            Payment payment;
            payment.kopecks = 5000;
            payment.time = Taken;
            payment.counter = QStringLiteral("стойка-1");
            payment.method = PaymentMethod::Card; // the shifts of the rows above hold cash
            QVERIFY(number > 0 && book.addPayment(number, payment).done());
            payment.kopecks = -5000;
            payment.reason = QStringLiteral("брак");
            const OrderAnswer answer = path == QLatin1String("refund")
                ? book.addPayment(number, payment)
                : book.changeStatus(number, OrderStatus::Cancelled, QStringLiteral("передумал"),
                                    false, QStringLiteral("стойка-1"), Taken);
            done = answer.done();
            if (!allowed)
                QCOMPARE(connection.fault(), StorageFault::NotPermitted);
        } else if (path == QLatin1String("merge customers")) {
            QVector<Customer> cards(2);
            for (int i = 0; i < cards.size(); ++i) {
                cards[i].kind = Customer::Person;
                cards[i].shortName = QStringLiteral("Двойник %1-%2").arg(uid).arg(i);
            }
            QVERIFY(CustomerStore(connection).saveAll(&cards, QStringLiteral("стойка-1")));
            done = CustomerStore(connection).merge(cards[0].id, cards[1].id);
        } else if (path == QLatin1String("change a status")) {
            const qint64 number = book.take(intake(order), 1);
            done = number > 0
                && book.changeStatus(number, OrderStatus::InWork, QString(), false,
                                     QStringLiteral("стойка-1"), Taken)
                       .done();
        } else if (path == QLatin1String("add a payment")) {
            const qint64 number = book.take(intake(order), 1);
            Payment payment;
            payment.kopecks = 5000;
            payment.time = Taken;
            payment.counter = QStringLiteral("стойка-1");
            payment.method = PaymentMethod::Card;
            done = number > 0 && book.addPayment(number, payment).done();
        } else if (path == QLatin1String("add an audit row")) {
            AuditRecord record;
            record.counter = QStringLiteral("стойка-1");
            record.what = QStringLiteral("вход");
            done = AuditLog(connection).add(&record);
            // The row names the login it came over, whatever the program said.
            QSqlQuery row(connection.database());
            if (done)
                QVERIFY(row.exec(QStringLiteral("SELECT counter FROM audit_log WHERE id = %1")
                                     .arg(record.id))
                        && row.next());
            if (done)
                QCOMPARE(row.value(0).toString(), QStringLiteral("стойка-1 (вход %1)").arg(login));
        } else if (path == QLatin1String("import customers")) {
            QVector<Customer> cards(2);
            for (int i = 0; i < cards.size(); ++i) {
                cards[i].kind = Customer::Person;
                cards[i].shortName = QStringLiteral("Покупатель %1-%2").arg(uid).arg(i);
                cards[i].fullName = cards[i].shortName;
            }
            done = CustomerStore(connection).saveAll(&cards, QStringLiteral("стойка-1"));
        } else if (path == QLatin1String("add a price version")) {
            done = PriceVersionTables(connection).store(nextPrices(QDate(2027, 1, uid))) > 0;
        } else if (path == QLatin1String("void by hand")
                   || path == QLatin1String("add a document after a manager's void")) {
            // The invoice went out, stored by the owner's login.
            Connection owner;
            QVERIFY(owner.open(DatabaseUrl::parse(cluster.url()), QStringLiteral("owner")));
            Journal issued(owner);
            const qint64 number = issued.storeInvoice(draft(order), 1);
            QVERIFY(number > 0 && issued.addDocument(number, {QStringLiteral("pdf"), Taken, true}));
            HandVoid mark;
            mark.reason = QStringLiteral("ошибка в реквизитах");
            if (path == QLatin1String("void by hand")) {
                done = journal.voidByHand(number, mark) == VoidOutcome::Done;
                // Refused by the database, and said to be for want of a manager's login.
                if (!allowed)
                    QCOMPARE(connection.fault(), StorageFault::NotPermitted);
            } else {
                QCOMPARE(int(issued.voidByHand(number, mark)), int(VoidOutcome::Done));
                InvoiceRecord record;
                done = journal.addDocument(number, {QStringLiteral("pdf"), Taken, true})
                    && journal.load(number, &record) && record.summary.isVoid;
            }
        } else if (path == QLatin1String("load prices")) {
            QVector<PriceVersion> versions;
            done = PriceVersionTables(connection).load(&versions) && !versions.isEmpty();
        } else if (path == QLatin1String("add a web request")) {
            done = storeWebRequest(connection, webRequest()) > 0;
        } else if (path.startsWith(QLatin1String("add a web request with"))) {
            WebRequestRecord request = webRequest();
            request.email = QStringLiteral("ira%1@example.ru").arg(uid);
            const qint64 number = storeWebRequest(
                connection, request, QDeadlineTimer(QDeadlineTimer::Forever), {},
                [](qint64 n, const WebRequestRecord &) {
                    return MailText {QStringLiteral("Заявка № %1 получена").arg(n), {}};
                });
            done = number > 0;
            Connection owner;
            QVERIFY(owner.open(DatabaseUrl::parse(cluster.url()), QStringLiteral("owner")));
            QSqlQuery mail(owner.database());
            QVERIFY(
                mail.exec(QStringLiteral("SELECT subject FROM mail_queue WHERE recipient = '%1'")
                              .arg(request.email)));
            QCOMPARE(mail.next() ? mail.value(0).toString() : QString(),
                     done ? QStringLiteral("Заявка № %1 получена").arg(number) : QString());
        } else if (path.startsWith(QLatin1String("queue a"))) {
            Transaction transaction(connection);
            WebRequestRecord request = webRequest();
            request.email = QStringLiteral("ira@example.ru");
            done = (path.endsWith(QLatin1String("own")) || storeWebRequest(connection, request) > 0)
                && queueMail(connection, 0, QStringLiteral("spam@example.ru"),
                             QStringLiteral("Скидки"), {QStringLiteral("…")}, Taken)
                && transaction.commit();
            QCOMPARE(connection.fault(), StorageFault::NotPermitted);
        } else if (path.startsWith(QLatin1String("confirm a web request"))) {
            Connection site;
            QVERIFY(site.open(DatabaseUrl::parse(cluster.url(QStringLiteral("site"))),
                              QStringLiteral("site")));
            WebRequestRecord request = webRequest();
            if (path.endsWith(QLatin1String("without a due wish")))
                request.due = QDate();
            RequestCard card;
            if (path.endsWith(QLatin1String("onto a new card"))) {
                card.choice = RequestCard::New;
                request.phone = QStringLiteral("+7 900 000-%1").arg(uid, 4, 10, QLatin1Char('0'));
            }
            const qint64 number = storeWebRequest(site, request);
            QVERIFY(number > 0);
            QString error;
            const qint64 invoice = confirmWebRequest(connection, book, number,
                                                     QStringLiteral("стойка-1"), 1, &error, card);
            done = invoice > 0;
            // The card made with the order is the order's customer.
            OrderDetails taken;
            Customer made;
            if (done && card.choice == RequestCard::New)
                QVERIFY(book.load(invoice, &taken)
                        && CustomerStore(connection).load(taken.invoice.summary.customer.id, &made)
                        && made.phone == request.phone && made.shortName == request.name);
        } else {
            QFAIL(qPrintable(QStringLiteral("no path %1").arg(path)));
        }
        QVERIFY2(done == allowed, qPrintable(connection.errorText()));
    }

    // A counter's login on a schema older than the program's does not try the steps: it says so.
    void olderSchemaIsLeftToTheOwner()
    {
        Connection owner;
        QVERIFY(owner.open(DatabaseUrl::parse(cluster.url()), QStringLiteral("owner")));
        QSqlQuery query(owner.database());
        QVERIFY(query.exec(QStringLiteral("UPDATE schema_version SET version = version - 1")));
        Connection counter;
        QVERIFY(!counter.open(DatabaseUrl::parse(cluster.url(QStringLiteral("kassa"))),
                              QStringLiteral("counter")));
        QCOMPARE(counter.fault(), StorageFault::OlderSchema);
        QVERIFY2(counter.errorText().startsWith(
                     QStringLiteral("База данных старой версии: обновите её командой printcalc "
                                    "--admin upgrade от имени владельца базы")),
                 qPrintable(counter.errorText()));
        QVERIFY(query.exec(
            QStringLiteral("UPDATE schema_version SET version = %1").arg(latestSchemaVersion())));
        QVERIFY2(counter.open(DatabaseUrl::parse(cluster.url(QStringLiteral("kassa"))),
                              QStringLiteral("counter")),
                 qPrintable(counter.errorText()));
    }

    // A shop's database of the version before, upgraded by its owner and given the groups'
    // rights again: what it stored is kept, and the counter's login can no longer refund.
    void refundsKeptToManagersAfterTheUpgrade()
    {
        {
            Connection owner;
            QVERIFY(owner.open(DatabaseUrl::parse(cluster.url()), QStringLiteral("owner")));
            QSqlQuery(owner.database()).exec(QStringLiteral("CREATE DATABASE upgraded"));
        }
        const auto url = [this](const char *login) {
            return DatabaseUrl::parse(
                cluster.url(QLatin1String(login))
                    .replace(QStringLiteral("/shop?"), QStringLiteral("/upgraded?")));
        };
        const QString problem = makeDatabaseBefore(
            url("printcalc"), 18,
            {QStringLiteral("INSERT INTO invoice (number, order_uid, created, counter, "
                            "line_count, subtotal, tax, total, template_path, is_void, "
                            "search_text) VALUES (7, 'old', '2026-12-01 10:00:00', 'стойка-1', "
                            "1, 1000, 0, 1000, '', 0, 'Визитки')"),
             QStringLiteral("INSERT INTO taken_order (invoice_number, status, due, note, source, "
                            "created, counter, changed, customer_phone, customer_email, "
                            "phone_digits, search_name, paid_kopecks, paid_before) VALUES (7, 1, "
                            "'', '', '', '', '', '', '', '', '', '', 50000, 50000)")});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        Connection owner;
        QVERIFY2(owner.open(url("printcalc"), QStringLiteral("owner")),
                 qPrintable(owner.errorText()));
        QCOMPARE(owner.schemaVersion(), latestSchemaVersion());
        QString error;
        QVERIFY2(setUpShopRoles(owner.database(), &error), qPrintable(error));
        Payment refund;
        refund.kopecks = -10000;
        refund.time = Taken;
        refund.reason = QStringLiteral("брак");
        for (const auto &[login, allowed, paid] :
             {std::tuple {"kassa", false, 50000}, std::tuple {"boss", true, 40000}}) {
            Connection connection;
            QVERIFY2(connection.open(url(login), QStringLiteral("path")),
                     qPrintable(connection.errorText()));
            QCOMPARE(OrderBook(connection).addPayment(7, refund).done(), allowed);
            OrderDetails details;
            QVERIFY(OrderBook(owner).load(7, &details));
            QCOMPARE(details.order.paidKopecks, qint64(paid));
        }
    }

    // A version-19 database: its queued mail kept by the upgrade, and the website's login then
    // queues its request's acknowledgement and nothing else.
    void acknowledgementsAfterTheUpgrade()
    {
        {
            Connection owner;
            QVERIFY(owner.open(DatabaseUrl::parse(cluster.url()), QStringLiteral("owner")));
            QSqlQuery(owner.database()).exec(QStringLiteral("CREATE DATABASE before_mail"));
        }
        const auto url = [this](const char *login) {
            return DatabaseUrl::parse(
                cluster.url(QLatin1String(login))
                    .replace(QStringLiteral("/shop?"), QStringLiteral("/before_mail?")));
        };
        const QString problem = makeDatabaseBefore(
            url("printcalc"), 20,
            {QStringLiteral("INSERT INTO mail_queue (invoice_number, recipient, subject, body, "
                            "state, attempts, next_try, last_error, created) VALUES (7, "
                            "'old@example.ru', 'Заказ № 7 готов', '…', 0, 0, "
                            "'2026-12-01T10:00:00', '', '2026-12-01T10:00:00')")});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        Connection owner;
        QVERIFY2(owner.open(url("printcalc"), QStringLiteral("owner")),
                 qPrintable(owner.errorText()));
        QString error;
        QVERIFY2(setUpShopRoles(owner.database(), &error), qPrintable(error));
        Connection site;
        QVERIFY2(site.open(url("site"), QStringLiteral("site")), qPrintable(site.errorText()));
        WebRequestRecord request = webRequest();
        request.email = QStringLiteral("ira@example.ru");
        QVERIFY(storeWebRequest(site, request, QDeadlineTimer(QDeadlineTimer::Forever), {},
                                [](qint64, const WebRequestRecord &) {
                                    return MailText {QStringLiteral("получена"), {}};
                                })
                > 0);
        QVERIFY(!queueMail(site, 0, QStringLiteral("spam@example.ru"), QStringLiteral("Скидки"), {},
                           Taken));
        QSqlQuery query(owner.database());
        QVERIFY(query.exec(
            QStringLiteral("SELECT string_agg(recipient, ' ' ORDER BY id) FROM mail_queue")));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(), QStringLiteral("old@example.ru ira@example.ru"));
    }

    // The administrator's commands, in order: each row's login runs it (its --database).
    void adminCommands_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("told");
        const auto row = [](const char *name, const char *login, QStringList arguments,
                            const char *input, int status, const QString &told) {
            QTest::newRow(name) << QString::fromLatin1(login) << arguments << QByteArray(input)
                                << status << told;
        };
        const QString ready = QStringLiteral("Группы printcalc_counter, printcalc_manager и "
                                             "printcalc_web готовы");
        const QString notOwner = QStringLiteral("не владелец базы");
        row("setup-roles again", "printcalc", {QStringLiteral("setup-roles")}, "", 0, ready);
        row("setup-roles by a counter", "kassa", {QStringLiteral("setup-roles")}, "", 1, notOwner);
        row("add-login", "printcalc",
            {QStringLiteral("add-login"), QStringLiteral("kassa2"), QStringLiteral("--role"),
             QStringLiteral("counter")},
            "секрет\n", 0, QStringLiteral("Вход «kassa2» в группе printcalc_counter готов."));
        row("add-login without a password", "printcalc",
            {QStringLiteral("add-login"), QStringLiteral("kassa3"), QStringLiteral("--role"),
             QStringLiteral("counter")},
            "", 1, QStringLiteral("Пароль не дан"));
        row("add-login with an unknown role", "printcalc",
            {QStringLiteral("add-login"), QStringLiteral("x"), QStringLiteral("--role"),
             QStringLiteral("owner")},
            "Zq7-пароль\n", 2, QStringLiteral("Нужен «--role counter»"));
        row("add-login by a manager", "boss",
            {QStringLiteral("add-login"), QStringLiteral("x"), QStringLiteral("--role"),
             QStringLiteral("manager")},
            "Zq7-пароль\n", 1, notOwner);
        row("upgrade by the owner", "printcalc", {QStringLiteral("upgrade")}, "", 0,
            QStringLiteral("версия %1.").arg(latestSchemaVersion()));
        row("upgrade by a counter", "kassa2", {QStringLiteral("upgrade")}, "", 1, notOwner);
        row("unknown action", "printcalc", {QStringLiteral("drop")}, "", 2,
            QStringLiteral("Команда «--admin drop» не известна"));
    }
    void adminCommands()
    {
        QFETCH(QString, login);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(int, status);
        QFETCH(QString, told);
        const ProgramRun run
            = runProgram(QStringList {QStringLiteral("--admin")} + arguments
                             + QStringList {QStringLiteral("--database"), cluster.url(login)},
                         QString(), 60000, input);
        const QString said = run.out + run.err;
        QVERIFY2(run.status == status, qPrintable(said));
        QVERIFY2(said.contains(told), qPrintable(said));
        const QString password = QString::fromUtf8(input).trimmed();
        QVERIFY2(password.isEmpty() || !said.contains(password), "the password was printed");
    }

    // A counter's login checks the database as the counters use it: reads, and takes numbers.
    void counterLoginPassesTheCheck()
    {
        const ProgramRun run = runProgram({QStringLiteral("--check"), QStringLiteral("--database"),
                                           cluster.url(QStringLiteral("kassa"))});
        QVERIFY2(run.status == 0, qPrintable(run.out + run.err));
    }

    // A request confirmed and declined at once from two counters, and confirmed twice at once:
    // exactly one decision wins and the other is told what happened; two confirms give one order.
    void requestDecidedAtOnce_data() { counterDatabases(); }
    void requestDecidedAtOnce()
    {
        QFETCH(bool, sqlite);
        QTemporaryDir dir;
        const QString url = counterUrl(sqlite, dir);
        Connection site;
        QVERIFY(site.open(DatabaseUrl::parse(sqlite ? url : cluster.url(QStringLiteral("site"))),
                          QStringLiteral("site")));
        const auto start = [&](QProcess *program, const QStringList &words) {
            startProgram(program, dir,
                         QStringList {QStringLiteral("--database"), url, QStringLiteral("--orders")}
                             + words);
        };
        for (int round = 0; round < 20; ++round) {
            const qint64 number = storeWebRequest(site, webRequest());
            QVERIFY(number > 0);
            const QString named = QStringLiteral("З-%1").arg(number);
            const bool twoConfirms = round % 2 == 1;
            QProcess confirm, other;
            start(&confirm, {QStringLiteral("confirm"), named});
            start(&other,
                  twoConfirms ? QStringList {QStringLiteral("confirm"), named}
                              : QStringList {QStringLiteral("decline"), named,
                                             QStringLiteral("--reason"), QStringLiteral("дубль")});
            QVERIFY(confirm.waitForFinished(60000) && other.waitForFinished(60000));
            const QString confirmed = QString::fromUtf8(confirm.readAllStandardOutput());
            const QString otherOut = QString::fromUtf8(other.readAllStandardOutput());
            const QString told = QString::fromUtf8(confirm.readAllStandardError())
                + QString::fromUtf8(other.readAllStandardError());
            if (twoConfirms) {
                QVERIFY2(confirm.exitCode() == 0 && other.exitCode() == 0, qPrintable(told));
                QCOMPARE(otherOut, confirmed);
                continue;
            }
            QVERIFY2((confirm.exitCode() == 0) != (other.exitCode() == 0),
                     qPrintable(confirmed + otherOut + told));
            QVERIFY2(told.startsWith(QStringLiteral("Заявка № %1 уже ").arg(named)),
                     qPrintable(told));
        }
    }

    // Made last: with operators the administrator's commands above would ask for one.
    void signInRights_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<bool>("allowed");
        const QString clear
            = QStringLiteral("UPDATE operator SET failed_count = 0, locked_until = ''");
        const QString signIn = QStringLiteral("SELECT outcome FROM operator_sign_in('Гость', 'x')");
        const QString setting = QStringLiteral("SELECT operator_pin_setting('Гость')");
        // A row with the hashes a counter can compute itself, for the record after the last.
        const QString forged = QStringLiteral(
            "INSERT INTO audit_log SELECT max(id) + 1, '', '', '', '', 'возврат денег', '', '', "
            "'', '' FROM audit_log");
        const QString sealed = QStringLiteral(
            "SELECT new_id FROM audit_append('2026-12-09T10:00:00.000Z', 'стойка-1', '', '', "
            "'вход', '', '')");
        const struct
        {
            const char *row;
            const char *login;
            QString statement;
            bool allowed;
        } rows[] = {
            {"counter reads names and locks", "kassa",
             QStringLiteral("SELECT name, role, failed_count, locked_until FROM operator"), true},
            {"counter reads the hashes", "kassa", QStringLiteral("SELECT pin_hash FROM operator"),
             false},
            {"counter reads every column", "kassa", QStringLiteral("SELECT * FROM operator"),
             false},
            {"counter clears a lock", "kassa", clear, false},
            {"counter signs in through the server", "kassa", signIn, true},
            {"counter reads a hash's setting", "kassa", setting, true},
            {"counter adds an audit row past the server", "kassa", forged, false},
            {"manager adds an audit row past the server", "boss", forged, false},
            {"counter seals an audit row through the server", "kassa", sealed, true},
            {"web seals an audit row through the server", "site", sealed, false},
            {"manager reads the hashes", "boss", QStringLiteral("SELECT pin_hash FROM operator"),
             false},
            {"manager clears a lock", "boss", clear, false},
            {"web reads the names", "site", QStringLiteral("SELECT name FROM operator"), false},
            {"web signs in", "site", signIn, false},
            {"web reads a hash's setting", "site", setting, false},
        };
        for (const auto &row : rows)
            QTest::newRow(row.row) << QString::fromUtf8(row.login) << row.statement << row.allowed;
    }
    void signInRights()
    {
        QFETCH(QString, login);
        QFETCH(QString, statement);
        QFETCH(bool, allowed);
        Connection owner;
        QVERIFY(owner.open(DatabaseUrl::parse(cluster.url()), QStringLiteral("owner")));
        addOperators(owner);
        QString why;
        QCOMPARE(statementAllowed(login, statement, &why), allowed);
        QVERIFY2(statementAllowed(QStringLiteral("printcalc"), statement, &why), qPrintable(why));
    }

    // Wrong PINs typed at once from many counters: each attempt is counted under the row's lock
    // before its PIN is compared, so five are compared, the rest find the lock, and the right
    // PIN after them is refused while it lasts.
    void guessesAtOnce_data() { counterDatabases(); }
    void guessesAtOnce()
    {
        QFETCH(bool, sqlite);
        QTemporaryDir dir;
        const QString url = counterUrl(sqlite, dir);
        {
            Connection owner;
            QVERIFY(owner.open(DatabaseUrl::parse(sqlite ? url : cluster.url()),
                               QStringLiteral("owner")));
            addOperators(owner);
        }
        const auto start = [&](QProcess *program, const QByteArray &pin) {
            startProgram(program, dir,
                         {QStringLiteral("--database"), url, QStringLiteral("--operator"),
                          QStringLiteral("Гость"), QStringLiteral("--operators"),
                          QStringLiteral("disable"), QStringLiteral("Никто")},
                         pin + '\n');
        };
        std::vector<std::unique_ptr<QProcess>> guesses;
        for (int i = 0; i < 39; ++i) {
            guesses.push_back(std::make_unique<QProcess>());
            start(guesses.back().get(), QByteArray::number(1000 + i));
        }
        int compared = 0, locked = 0;
        for (const auto &guess : guesses) {
            QVERIFY(guess->waitForFinished(120000));
            const QString told = QString::fromUtf8(guess->readAllStandardError());
            if (told.contains(QStringLiteral("Неверный PIN")))
                ++compared;
            else if (told.contains(QStringLiteral("заблокирован")))
                ++locked;
            else
                QFAIL(qPrintable(told));
        }
        QCOMPARE(compared, 5);
        QCOMPARE(locked, 34);
        QProcess right;
        start(&right, "4711");
        QVERIFY(right.waitForFinished(60000));
        const QString told = QString::fromUtf8(right.readAllStandardError());
        QVERIFY2(told.startsWith(QStringLiteral("Оператор «Гость» заблокирован до ")),
                 qPrintable(told));
        Connection owner;
        QVERIFY(
            owner.open(DatabaseUrl::parse(sqlite ? url : cluster.url()), QStringLiteral("owner")));
        QSqlQuery query(owner.database());
        QVERIFY(query.exec(QStringLiteral("SELECT count(*) FROM audit_log WHERE operator_name = "
                                          "'Гость' AND what = 'неудачный вход'")));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toInt(), 5);
    }

private:
    // A counter's own database: a SQLite file in dir, or the cluster's as the counter's login.
    static void counterDatabases()
    {
        QTest::addColumn<bool>("sqlite");
        QTest::newRow("SQLite") << true;
        QTest::newRow("PostgreSQL") << false;
    }
    QString counterUrl(bool sqlite, const QTemporaryDir &dir) const
    {
        return sqlite ? QStringLiteral("sqlite://") + dir.filePath(QStringLiteral("shop.sqlite"))
                      : cluster.url(QStringLiteral("kassa"));
    }
    // The program started as a counter's command, its settings in dir, not waited for.
    static void startProgram(QProcess *program, const QTemporaryDir &dir,
                             const QStringList &arguments, const QByteArray &input = QByteArray())
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
        program->setProcessEnvironment(environment);
        program->start(QStringLiteral(PRINTCALC_PROGRAM), arguments);
        program->write(input);
        program->closeWriteChannel();
    }

    static void addOperators(Connection &owner)
    {
        OperatorStore store(owner);
        for (const auto &[name, role] :
             {std::pair {"Ольга", Role::Owner}, std::pair {"Гость", Role::Operator}}) {
            const OperatorChange change
                = store.add(QString::fromUtf8(name), role, hashPin(QStringLiteral("4711")), {});
            QVERIFY(change == OperatorChange::Done || change == OperatorChange::Exists);
        }
    }
};

QTEST_GUILESS_MAIN(DatabaseRolesTest)
#include "test_database_roles.moc"
