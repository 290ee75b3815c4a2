// The program's tables. To add a table or a column: append a step with the next version number
// at the end of schemaSteps(); never edit a step that has shipped.
//
// Shop journal:   invoice_counter (the next number), invoice, invoice_line, invoice_document,
//                 and a word index over the descriptions (FTS5 on SQLite, GIN on PostgreSQL).
// Counter's file: local_order and local_line, the order being built and orders waiting for a
//                 number. Both sets exist in every database, so a file can serve either role.
// Price list:     price_version with price_version_price and price_version_extra (by the extra's
//                 key); the shop's versions, and in the counter's file a copy of them. Prices and
//                 amounts are read from their decimal texts (price_text, amount_text), exact to
//                 the kopeck.
// Customers:      customer (the card, with its name folded for sorting and its phone's digits)
//                 and customer_word (rank, word, customer): every beginning a search may type,
//                 ranked; each invoice keeps the customer's id and what it printed of them, the
//                 counter's order keeps its customer as a whole.
// Orders:         taken_order (one per invoice taken as an order: status, due, note, source),
//                 order_status_change, order_payment, mail_queue; invoice_line keeps every
//                 revision of an invoice's lines, invoice.revision names the latest.
// Documents:      invoice_document: each invoice's documents and acts, with the file written,
//                 the counter, the operator and an act's date.
// Invoice's tax:  invoice.tax_mode, tax_rate, tax_given, tax_stored: the rule its foot was
//                 computed with, which re-printing it or making its act keeps.
// Operators:      operator (name, role, PIN hash, lockout) and audit_log, append-only: every
//                 row chained to the one before it by hashes; triggers refuse changing rows.
// Reports:        sale, one row per invoice that is a sale, with its sums by family, kept by
//                 triggers from the invoice, its lines, its order and who took it.
#include "storage/schema.h"

#include "prices/extras_catalogue.h"
#include "prices/price_table.h"
#include "storage/audit_log.h"
#include "storage/operator_store.h"
#include "storage/transaction.h"

#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <iterator>
#include <tuple>

namespace {

// Version 4: the extras' amounts and the stored jobs' choices named by the extras' keys instead of
// the object names they had until then. A choice keeps its name beside the key, so that every line
// prices again as before.
bool keyTheExtras(QSqlDatabase db, QSqlError *error)
{
    QSqlQuery query(db);
    const auto fail = [&](const QSqlQuery &failed) {
        *error = failed.lastError();
        return false;
    };
    if (!query.prepare(
            QStringLiteral("UPDATE price_version_extra SET extra_key = ? WHERE extra_key = ?")))
        return fail(query);
    for (const ExtraOption &option : extrasCatalogue()) {
        query.addBindValue(option.key);
        query.addBindValue(option.formerName);
        if (!query.exec())
            return fail(query);
    }
    const std::pair<const char *, const char *> tables[]
        = {{"invoice_line", "invoice_number, position"}, {"local_line", "order_uid, line_id"}};
    for (const auto &[table, keyColumns] : tables) {
        const QString name = QLatin1String(table);
        const QStringList columns = QString::fromLatin1(keyColumns).split(QStringLiteral(", "));
        QSqlQuery rows(db);
        rows.setForwardOnly(true);
        if (!rows.exec(QStringLiteral("SELECT ") + QLatin1String(keyColumns)
                       + QStringLiteral(", job FROM ") + name + QStringLiteral(" WHERE job <> ''")))
            return fail(rows);
        // Read first, written after: SQLite must not walk a table it is changing.
        QVector<std::tuple<QVariant, QVariant, QString>> changed;
        while (rows.next()) {
            int added = 0;
            const QJsonObject job = withExtraKeys(
                QJsonDocument::fromJson(rows.value(2).toString().toUtf8()).object(), &added);
            if (added > 0)
                changed.append(
                    {rows.value(0), rows.value(1),
                     QString::fromUtf8(QJsonDocument(job).toJson(QJsonDocument::Compact))});
        }
        rows.finish();
        if (!query.prepare(QStringLiteral("UPDATE ") + name + QStringLiteral(" SET job = ? WHERE ")
                           + columns.at(0) + QStringLiteral(" = ? AND ") + columns.at(1)
                           + QStringLiteral(" = ?")))
            return fail(query);
        for (const auto &[first, second, job] : qAsConst(changed)) {
            query.addBindValue(job);
            query.addBindValue(first);
            query.addBindValue(second);
            if (!query.exec())
                return fail(query);
        }
    }
    return true;
}

// The card's columns as version 6 made them.
QString customerColumns()
{
    return QStringLiteral(
        "kind INTEGER NOT NULL, short_name TEXT NOT NULL, full_name TEXT NOT NULL, "
        "inn TEXT NOT NULL, kpp TEXT NOT NULL, ogrn TEXT NOT NULL, address TEXT NOT NULL, "
        "phone TEXT NOT NULL, email TEXT NOT NULL, contact TEXT NOT NULL, bik TEXT NOT NULL, "
        "account TEXT NOT NULL, correspondent_account TEXT NOT NULL, bank_name TEXT NOT NULL, "
        "discount INTEGER NOT NULL, note TEXT NOT NULL, created TEXT NOT NULL, "
        "created_at TEXT NOT NULL, changed TEXT NOT NULL, changed_at TEXT NOT NULL, "
        "personal_data_cleared INTEGER NOT NULL DEFAULT 0");
}

// Made after the tables, which differ between the databases. A requisite pair or a person's
// phone is one customer even when two counters store it at the same moment.
QStringList customerIndexes()
{
    return {QStringLiteral("CREATE INDEX customer_name ON customer (search_name, id)"),
            QStringLiteral("CREATE UNIQUE INDEX customer_requisites ON customer (inn, kpp) "
                           "WHERE inn <> ''"),
            QStringLiteral("CREATE UNIQUE INDEX customer_person_phone ON customer (phone_digits) "
                           "WHERE kind = 2 AND phone_digits <> ''"),
            QStringLiteral("CREATE INDEX customer_word_customer ON customer_word (customer_id)")};
}

// The columns of version 7's order tables after their ids, which differ between the databases.
// The first change of an order (its taking) has no status before it.
QString orderChangeColumns()
{
    return QStringLiteral(
        "invoice_number BIGINT NOT NULL REFERENCES taken_order (invoice_number), "
        "changed_at TEXT NOT NULL, counter TEXT NOT NULL, operator_name TEXT NOT NULL DEFAULT '', "
        "from_status INTEGER, to_status INTEGER NOT NULL, reason TEXT NOT NULL");
}

QString orderPaymentColumns()
{
    return QStringLiteral(
        "invoice_number BIGINT NOT NULL REFERENCES taken_order (invoice_number), "
        "kopecks BIGINT NOT NULL, method INTEGER NOT NULL, paid_at TEXT NOT NULL, "
        "counter TEXT NOT NULL, reason TEXT NOT NULL, statement_document TEXT NOT NULL DEFAULT ''");
}

// The mail is only queued here; state 0 waiting, 1 sent, 2 failed for now.
QString mailQueueColumns()
{
    return QStringLiteral(
        "invoice_number BIGINT NOT NULL, recipient TEXT NOT NULL, subject TEXT NOT NULL, "
        "body TEXT NOT NULL, state INTEGER NOT NULL, attempts INTEGER NOT NULL, "
        "next_try TEXT NOT NULL, last_error TEXT NOT NULL, created TEXT NOT NULL");
}

// A statement imported twice pays once, even from two counters at the same moment.
QStringList orderIndexes()
{
    return {QStringLiteral("CREATE INDEX order_status_change_order ON order_status_change "
                           "(invoice_number, id)"),
            QStringLiteral("CREATE INDEX order_payment_order ON order_payment (invoice_number)"),
            QStringLiteral("CREATE UNIQUE INDEX order_payment_statement ON order_payment "
                           "(statement_document) WHERE statement_document <> ''"),
            QStringLiteral("CREATE INDEX mail_queue_state ON mail_queue (state, next_try)")};
}

// Version 9's operator table after its id; the lock's end is empty when not locked.
QString operatorColumns()
{
    return QStringLiteral(
        "name TEXT NOT NULL UNIQUE, role INTEGER NOT NULL, pin_hash TEXT NOT NULL, "
        "disabled INTEGER NOT NULL DEFAULT 0, failed_count INTEGER NOT NULL DEFAULT 0, "
        "locked_until TEXT NOT NULL DEFAULT '', created TEXT NOT NULL)");
}

// The ids are the chain's own (each hash covers its id), given by the program, not the database.
QStringList auditTables()
{
    return {QStringLiteral(
                "CREATE TABLE audit_log (id BIGINT PRIMARY KEY, logged_at TEXT NOT NULL, "
                "counter TEXT NOT NULL, operator_name TEXT NOT NULL, approver TEXT NOT NULL, "
                "what TEXT NOT NULL, old_value TEXT NOT NULL, new_value TEXT NOT NULL, "
                "previous_hash TEXT NOT NULL, own_hash TEXT NOT NULL)"),
            QStringLiteral("CREATE INDEX audit_log_time ON audit_log (logged_at)"),
            QStringLiteral("CREATE INDEX audit_log_operator ON audit_log (operator_name, id)")};
}

// The step that adds the website's requests; a single number to change when steps are merged.
const int WebRequestStep = 10;
// The step that keeps why the counter declined a website's request.
const int BoardMoreStep = 12;

// The step that records each document's file, counter and operator, and an act's date.
const int DocumentsStep = 13;

// The step that keeps why, when and by whom an invoice was voided by hand.
const int HandVoidStep = 14;
// The step that keeps who took each payment and who approved it.
const int PaymentOperatorStep = 16;

// The step after which the database holds the rights itself.
const int TrustStep = 17;

// The step after which a counter's login alone cannot cancel, refund, hand over with a debt, or
// change an invoice that went out: those take a manager's login.
const int ManagerLimitsStep = 18;

// A manager's deed refused to a counter's login is told apart from other faults by its code.
QStringList managerLimitStatements()
{
    const QString refuse
        = QStringLiteral("RAISE EXCEPTION '%1' USING ERRCODE = 'insufficient_privilege'; END IF; ");
    return {
        // Logins outside the shop's groups (the owner, a single counter's own login) keep all.
        QStringLiteral(
            "CREATE FUNCTION counter_login_only() RETURNS boolean LANGUAGE plpgsql STABLE AS "
            "$$BEGIN IF (SELECT count(*) FROM pg_roles WHERE rolname IN ('printcalc_counter', "
            "'printcalc_manager')) < 2 THEN RETURN false; END IF; RETURN "
            "pg_has_role(session_user, 'printcalc_counter', 'MEMBER') AND NOT "
            "pg_has_role(session_user, 'printcalc_manager', 'MEMBER'); END$$"),
        QStringLiteral("CREATE FUNCTION taken_order_manager_moves() RETURNS trigger LANGUAGE "
                       "plpgsql AS $$BEGIN IF NEW.status = OLD.status OR NOT "
                       "counter_login_only() THEN RETURN NEW; END IF; IF NEW.status = 4 THEN ")
            + refuse.arg(QStringLiteral("cancelling an order takes a manager''s login"))
            + QStringLiteral("IF NEW.status = 3 AND NEW.paid_kopecks < (SELECT "
                             "CAST(round(i.total * 100) AS BIGINT) FROM invoice i WHERE i.number "
                             "= NEW.invoice_number) THEN ")
            + refuse.arg(QStringLiteral("handing over with a debt takes a manager''s login"))
            + QStringLiteral("RETURN NEW; END$$"),
        QStringLiteral("CREATE TRIGGER taken_order_manager_moves BEFORE UPDATE OF status ON "
                       "taken_order FOR EACH ROW EXECUTE FUNCTION taken_order_manager_moves()"),
        QStringLiteral("CREATE FUNCTION order_payment_refund() RETURNS trigger LANGUAGE plpgsql "
                       "AS $$BEGIN IF NEW.kopecks < 0 AND counter_login_only() THEN ")
            + refuse.arg(QStringLiteral("a refund takes a manager''s login"))
            + QStringLiteral("RETURN NEW; END$$"),
        QStringLiteral("CREATE TRIGGER order_payment_refund BEFORE INSERT ON order_payment FOR "
                       "EACH ROW EXECUTE FUNCTION order_payment_refund()"),
        // An invoice that went out keeps its sums and its customer: a counter changes it only
        // by a new revision of an order still open, the old revision's lines kept beside it.
        QStringLiteral(
            "CREATE FUNCTION invoice_sent_kept() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN IF "
            "NOT counter_login_only() OR NOT EXISTS (SELECT 1 FROM invoice_document d WHERE "
            "d.invoice_number = OLD.number AND d.succeeded = 1) THEN RETURN NEW; END IF; IF "
            "NEW.revision = OLD.revision + 1 AND EXISTS (SELECT 1 FROM taken_order o WHERE "
            "o.invoice_number = OLD.number AND o.status IN (0, 1, 2)) THEN RETURN NEW; END IF; "
            "IF NEW.revision <> OLD.revision OR (NEW.line_count, NEW.subtotal, NEW.tax, "
            "NEW.total, NEW.search_text, NEW.customer_id, NEW.customer_name, "
            "NEW.customer_full_name, NEW.customer_inn, NEW.customer_kpp, NEW.customer_address, "
            "NEW.customer_discount, NEW.customer_kind, NEW.tax_mode, NEW.tax_rate, "
            "NEW.tax_given, NEW.tax_stored) IS DISTINCT FROM (OLD.line_count, OLD.subtotal, "
            "OLD.tax, OLD.total, OLD.search_text, OLD.customer_id, OLD.customer_name, "
            "OLD.customer_full_name, OLD.customer_inn, OLD.customer_kpp, OLD.customer_address, "
            "OLD.customer_discount, OLD.customer_kind, OLD.tax_mode, OLD.tax_rate, "
            "OLD.tax_given, OLD.tax_stored) THEN ")
            + refuse.arg(QStringLiteral("an invoice that went out is changed by a manager''s "
                                        "login or a new revision"))
            + QStringLiteral("RETURN NEW; END$$"),
        QStringLiteral("CREATE TRIGGER invoice_sent_kept BEFORE UPDATE ON invoice FOR EACH ROW "
                       "EXECUTE FUNCTION invoice_sent_kept()"),
        // Lines are added to an invoice that went out only as a new revision's, all in the
        // transaction that raised it: a revision with lines written before is never added to.
        QStringLiteral(
            "CREATE FUNCTION invoice_line_sent_kept() RETURNS trigger LANGUAGE plpgsql AS "
            "$$BEGIN IF NOT counter_login_only() OR NOT EXISTS (SELECT 1 FROM invoice_document "
            "d WHERE d.invoice_number = NEW.invoice_number AND d.succeeded = 1) THEN RETURN "
            "NEW; END IF; IF NEW.revision <> (SELECT i.revision FROM invoice i WHERE i.number = "
            "NEW.invoice_number) OR EXISTS (SELECT 1 FROM invoice_line l WHERE "
            "l.invoice_number = NEW.invoice_number AND l.revision = NEW.revision AND "
            "l.xmin::text <> (pg_current_xact_id()::text::bigint % 4294967296)::text) THEN ")
            + refuse.arg(QStringLiteral("the lines of an invoice that went out stay as they "
                                        "were"))
            + QStringLiteral("RETURN NEW; END$$"),
        QStringLiteral("CREATE TRIGGER invoice_line_sent_kept BEFORE INSERT ON invoice_line FOR "
                       "EACH ROW EXECUTE FUNCTION invoice_line_sent_kept()"),
    };
}

// The stored prices that differ from the built-in list's marked as the shop's, version by version.
bool markShopPrices(QSqlDatabase db, QSqlError *error)
{
    const PriceTable &sample = PriceTable::shared();
    QSqlQuery read(db);
    QSqlQuery mark(db);
    if (!read.exec(QStringLiteral("SELECT version, price_key, price_text, price FROM "
                                  "price_version_price"))
        || !mark.prepare(QStringLiteral("UPDATE price_version_price SET shop_set = 1 WHERE "
                                        "version = ? AND price_key = ?"))) {
        *error = read.lastError().isValid() ? read.lastError() : mark.lastError();
        return false;
    }
    QVariantList versions, keys;
    while (read.next()) {
        bool ok = false;
        double price = read.value(2).toString().toDouble(&ok);
        if (!ok)
            price = read.value(3).toDouble();
        bool found = false;
        const double samplePrice = sample.price(read.value(1).toString(), &found);
        if (found && qAbs(price - samplePrice) <= 1e-9 * qMax(1.0, qAbs(samplePrice)))
            continue;
        versions << read.value(0);
        keys << read.value(1);
    }
    read.finish();
    if (keys.isEmpty())
        return true;
    mark.addBindValue(versions);
    mark.addBindValue(keys);
    if (!mark.execBatch()) {
        *error = mark.lastError();
        return false;
    }
    return true;
}

// Made with the schema's name, so that a login's own objects of the same names are never used.
bool trustFunctions(QSqlDatabase db, QSqlError *error)
{
    if (db.driverName() == QLatin1String("QSQLITE"))
        return true;
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT quote_ident(current_schema())")) || !query.next()) {
        *error = query.lastError();
        return false;
    }
    const QString schema = query.value(0).toString();
    // The sale summary is the triggers' to write, whoever changes its invoice: the counters'
    // logins only read it.
    QStringList saleWriters;
    for (const char *function : {"sale_refresh(bigint)", "sale_invoice_changed()",
                                 "sale_row_changed()", "sale_line_added()"})
        saleWriters << QStringLiteral("ALTER FUNCTION %1 SECURITY DEFINER SET search_path = %2, "
                                      "pg_temp")
                           .arg(QLatin1String(function), schema);
    saleWriters << QStringLiteral("REVOKE ALL ON FUNCTION sale_refresh(bigint) FROM PUBLIC");
    for (const QString &statement :
         signInFunctionStatements(schema) + auditAppendStatements(schema) + saleWriters)
        if (!query.exec(statement)) {
            *error = query.lastError();
            return false;
        }
    return true;
}

QString webRequestColumns()
{
    return QStringLiteral("status INTEGER NOT NULL DEFAULT 0, created TEXT NOT NULL, "
                          "name TEXT NOT NULL, phone TEXT NOT NULL, email TEXT NOT NULL, "
                          "comment TEXT NOT NULL, due TEXT NOT NULL, lines TEXT NOT NULL, "
                          "price_version INTEGER NOT NULL, total_kopecks BIGINT NOT NULL, "
                          "invoice_number BIGINT");
}

// The step that adds the counters' shifts; a single number to change when steps are merged.
const int ShiftStep = 11;

QString shiftColumns()
{
    return QStringLiteral("counter TEXT NOT NULL, number INTEGER NOT NULL, "
                          "opened_at TEXT NOT NULL, opened_by TEXT NOT NULL, "
                          "float_kopecks BIGINT NOT NULL, closed_at TEXT NOT NULL DEFAULT '', "
                          "closed_by TEXT NOT NULL DEFAULT '', "
                          "counted_kopecks BIGINT NOT NULL DEFAULT 0, "
                          "z_report TEXT NOT NULL DEFAULT '', UNIQUE (counter, number))");
}

QString shiftCashColumns()
{
    return QStringLiteral("shift_id BIGINT NOT NULL REFERENCES shift (id), "
                          "kopecks BIGINT NOT NULL, reason TEXT NOT NULL, "
                          "operator_name TEXT NOT NULL, entered_at TEXT NOT NULL)");
}

// One open shift per counter at most.
QStringList shiftIndexes()
{
    return {QStringLiteral("CREATE UNIQUE INDEX shift_one_open ON shift (counter) "
                           "WHERE closed_at = ''"),
            QStringLiteral("CREATE INDEX shift_cash_shift ON shift_cash (shift_id)"),
            QStringLiteral("CREATE INDEX order_payment_counter ON order_payment (counter, "
                           "paid_at)")};
}

QStringList sqliteShiftTriggers()
{
    const QString refuse = QStringLiteral(" BEGIN SELECT RAISE(ABORT, 'a closed shift never "
                                          "changes'); END");
    const QString closedOld
        = QStringLiteral("(SELECT closed_at FROM shift WHERE id = OLD.shift_id) <> ''");
    const QString closedNew
        = QStringLiteral("(SELECT closed_at FROM shift WHERE id = NEW.shift_id) <> ''");
    return {QStringLiteral("CREATE TRIGGER shift_closed_no_update BEFORE UPDATE ON shift "
                           "WHEN OLD.closed_at <> ''")
                + refuse,
            QStringLiteral("CREATE TRIGGER shift_closed_no_delete BEFORE DELETE ON shift "
                           "WHEN OLD.closed_at <> ''")
                + refuse,
            QStringLiteral("CREATE TRIGGER shift_cash_closed_no_insert BEFORE INSERT ON "
                           "shift_cash WHEN ")
                + closedNew + refuse,
            QStringLiteral("CREATE TRIGGER shift_cash_closed_no_update BEFORE UPDATE ON "
                           "shift_cash WHEN ")
                + closedOld + QStringLiteral(" OR ") + closedNew + refuse,
            QStringLiteral("CREATE TRIGGER shift_cash_closed_no_delete BEFORE DELETE ON "
                           "shift_cash WHEN ")
                + closedOld + refuse};
}

QStringList postgresShiftTriggers()
{
    return {QStringLiteral(
                "CREATE FUNCTION shift_keep_closed() RETURNS trigger LANGUAGE plpgsql AS 'BEGIN "
                "IF OLD.closed_at <> '''' THEN RAISE EXCEPTION ''a closed shift never changes''; "
                "END IF; IF TG_OP = ''DELETE'' THEN RETURN OLD; END IF; RETURN NEW; END'"),
            QStringLiteral(
                "CREATE FUNCTION shift_cash_keep_closed() RETURNS trigger LANGUAGE plpgsql AS "
                "'BEGIN IF (TG_OP <> ''INSERT'' AND EXISTS (SELECT 1 FROM shift WHERE id = "
                "OLD.shift_id AND closed_at <> '''')) OR (TG_OP <> ''DELETE'' AND EXISTS (SELECT 1 "
                "FROM shift WHERE id = NEW.shift_id AND closed_at <> '''')) THEN RAISE EXCEPTION "
                "''a closed shift never changes''; END IF; IF TG_OP = ''DELETE'' THEN RETURN OLD; "
                "END IF; RETURN NEW; END'"),
            QStringLiteral("CREATE FUNCTION shift_refuse_truncate() RETURNS trigger LANGUAGE "
                           "plpgsql AS 'BEGIN RAISE EXCEPTION ''a closed shift never changes''; "
                           "END'"),
            QStringLiteral("CREATE TRIGGER shift_closed_no_change BEFORE UPDATE OR DELETE ON shift "
                           "FOR EACH ROW EXECUTE FUNCTION shift_keep_closed()"),
            QStringLiteral("CREATE TRIGGER shift_cash_closed_no_change BEFORE INSERT OR UPDATE OR "
                           "DELETE ON shift_cash FOR EACH ROW EXECUTE FUNCTION "
                           "shift_cash_keep_closed()"),
            QStringLiteral("CREATE TRIGGER shift_no_truncate BEFORE TRUNCATE ON shift "
                           "FOR EACH STATEMENT EXECUTE FUNCTION shift_refuse_truncate()"),
            QStringLiteral("CREATE TRIGGER shift_cash_no_truncate BEFORE TRUNCATE ON shift_cash "
                           "FOR EACH STATEMENT EXECUTE FUNCTION shift_refuse_truncate()")};
}

// The step that keeps each sale's figures for the reports; a single number to change when steps
// are merged.
const int SalesSummaryStep = 15;

// A sale's families as its columns name them, in the pages' order; a line priced on no page is
// "other". The stored job names its page; the tier line's job names the page of the line it
// follows.
const char *const SaleFamilies[]
    = {"sheet_products", "brochures", "street", "interior", "souvenir", "other"};
const int PagedFamilies = 5;

// A line's family as its number in SaleFamilies, from the line's row named by `row` ("l", "NEW").
QString saleFamilyOf(const QString &row, bool sqlite)
{
    QString text = QStringLiteral("CASE");
    for (int i = 0; i < PagedFamilies; ++i) {
        const QString needle
            = QStringLiteral("'\"page\":\"%1\"'").arg(QLatin1String(SaleFamilies[i]));
        text += sqlite
            ? QStringLiteral(" WHEN instr(%1.job, %2) > 0 THEN %3").arg(row, needle).arg(i)
            : QStringLiteral(" WHEN strpos(%1.job, %2) > 0 THEN %3").arg(row, needle).arg(i);
    }
    return text + QStringLiteral(" ELSE %1 END").arg(PagedFamilies);
}

// A quantity or price text as the program reads it ("1 250,50" is 1250.5), 0 for what is no
// number; PostgreSQL's cast would fail the whole statement on such a text.
QString saleAmountOf(const QString &column, bool sqlite)
{
    if (sqlite)
        return QStringLiteral("CAST(replace(replace(replace(replace(%1, ' ', ''), char(160), ''), "
                              "char(8239), ''), ',', '.') AS REAL)")
            .arg(column);
    const QString plain
        = QStringLiteral("translate(%1, ', ' || chr(160) || chr(8239), '.')").arg(column);
    return QStringLiteral("CASE WHEN %1 ~ '^[-+]?([0-9]+[.]?[0-9]*|[.][0-9]+)([eE][-+]?[0-9]+)?$' "
                          "THEN CAST(%1 AS double precision) ELSE 0 END")
        .arg(plain);
}

QString saleLineAmount(const QString &row, bool sqlite)
{
    return saleAmountOf(row + QStringLiteral(".quantity"), sqlite) + QStringLiteral(" * ")
        + saleAmountOf(row + QStringLiteral(".unit_price"), sqlite);
}

QString saleColumns()
{
    QString columns = QStringLiteral("number, day, operator_name, customer_id, customer_name, "
                                     "line_count, subtotal, owed_kopecks");
    for (const char *family : SaleFamilies)
        columns += QStringLiteral(", %1_lines, %1_sum").arg(QLatin1String(family));
    return columns;
}

QString saleTable(bool sqlite)
{
    const QString integer = sqlite ? QStringLiteral("INTEGER") : QStringLiteral("BIGINT");
    const QString real = sqlite ? QStringLiteral("REAL") : QStringLiteral("DOUBLE PRECISION");
    QString table = QStringLiteral("CREATE TABLE sale (number %1 NOT NULL, day TEXT%2 NOT NULL, "
                                   "operator_name TEXT NOT NULL, customer_id %1 NOT NULL, "
                                   "customer_name TEXT NOT NULL, line_count %1 NOT NULL, "
                                   "subtotal %3 NOT NULL, owed_kopecks %1 NOT NULL")
                        .arg(integer, sqlite ? QString() : QStringLiteral(" COLLATE \"C\""), real);
    for (const char *family : SaleFamilies)
        table += QStringLiteral(", %1_lines %2 NOT NULL, %1_sum %3 NOT NULL")
                     .arg(QLatin1String(family), integer, real);
    // SQLite keeps the rows in the order of the day: a period is one range of the table.
    return table
        + (sqlite ? QStringLiteral(", PRIMARY KEY (day, number)) WITHOUT ROWID")
                  : QStringLiteral(", PRIMARY KEY (number))"));
}

// The sale rows of the invoices that are sales: every invoice, or the one `number` names. A sale
// is an invoice neither void nor a cancelled order's; its lines are its latest revision's; its
// operator took the order; what is owed is its total less what was paid on its order.
QString saleRows(bool sqlite, const QString &number = QString())
{
    QString sums, groups;
    for (int i = 0; i < int(std::size(SaleFamilies)); ++i) {
        sums += QStringLiteral(", coalesce(f.lines_%1, 0), coalesce(f.sum_%1, 0)").arg(i);
        groups += QStringLiteral(", sum(CASE WHEN family = %1 THEN 1 END) AS lines_%1, "
                                 "sum(CASE WHEN family = %1 THEN amount END) AS sum_%1")
                      .arg(i);
    }
    return QStringLiteral(
               "SELECT i.number, substr(i.created, 1, 10), coalesce((SELECT c.operator_name "
               "FROM order_status_change c WHERE c.invoice_number = i.number AND "
               "c.from_status IS NULL ORDER BY c.id LIMIT 1), ''), i.customer_id, "
               "i.customer_name, i.line_count, i.subtotal, coalesce((SELECT "
               "CAST(round(i.total * 100) AS BIGINT) - o.paid_kopecks FROM taken_order o WHERE "
               "o.invoice_number = i.number), 0)")
        + sums + QStringLiteral(" FROM invoice i LEFT JOIN (SELECT invoice_number") + groups
        + QStringLiteral(" FROM (SELECT l.invoice_number, ")
        + saleFamilyOf(QStringLiteral("l"), sqlite) + QStringLiteral(" AS family, ")
        + saleLineAmount(QStringLiteral("l"), sqlite)
        + QStringLiteral(" AS amount FROM invoice_line l JOIN invoice j ON j.number = "
                         "l.invoice_number AND j.revision = l.revision")
        + (number.isEmpty() ? QString() : QStringLiteral(" WHERE l.invoice_number = ") + number)
        + QStringLiteral(") x GROUP BY invoice_number) f ON f.invoice_number = i.number WHERE "
                         "i.is_void = 0 AND NOT EXISTS (SELECT 1 FROM taken_order o WHERE "
                         "o.invoice_number = i.number AND o.status = 4)")
        + (number.isEmpty() ? QString() : QStringLiteral(" AND i.number = ") + number);
}

// The sale of one invoice made again from its rows; each statement ends with ';'.
QString refreshSale(bool sqlite, const QString &number)
{
    return QStringLiteral("DELETE FROM sale WHERE number = %1; INSERT INTO sale (").arg(number)
        + saleColumns() + QStringLiteral(") ") + saleRows(sqlite, number) + QStringLiteral(";");
}

// A line added to an invoice's latest revision adds to its sale's family, in the lines' order as
// the sale made again adds them; every other change makes the sale again from its rows.
QString addSaleLine(bool sqlite)
{
    QString sets;
    for (int i = 0; i < int(std::size(SaleFamilies)); ++i)
        sets += QStringLiteral("%1%2_lines = %2_lines + CASE WHEN v.family = %3 THEN 1 ELSE 0 END, "
                               "%2_sum = %2_sum + CASE WHEN v.family = %3 THEN v.amount ELSE 0 END")
                    .arg(i == 0 ? QString() : QStringLiteral(", "))
                    .arg(QLatin1String(SaleFamilies[i]))
                    .arg(i);
    return QStringLiteral("UPDATE sale SET ") + sets + QStringLiteral(" FROM (SELECT ")
        + saleFamilyOf(QStringLiteral("NEW"), sqlite) + QStringLiteral(" AS family, ")
        + saleLineAmount(QStringLiteral("NEW"), sqlite)
        + QStringLiteral(" AS amount) v WHERE sale.number = NEW.invoice_number AND "
                         "NEW.revision = (SELECT revision FROM invoice WHERE number = "
                         "NEW.invoice_number);");
}

// The invoice's columns its sale is made of; besides them its lines, its order's status and
// payments, and who took the order.
const QString SaleInvoiceColumns = QStringLiteral(
    "created, is_void, customer_id, customer_name, line_count, subtotal, total, revision");

QStringList sqliteSaleSummary()
{
    const auto trigger = [](const QString &name, const QString &event, const QString &body) {
        return QStringLiteral("CREATE TRIGGER %1 AFTER %2 BEGIN %3 END").arg(name, event, body);
    };
    const QString fill = QStringLiteral("INSERT INTO sale (") + saleColumns() + QStringLiteral(") ")
        + saleRows(true);
    return {saleTable(true),
            QStringLiteral("CREATE UNIQUE INDEX sale_number ON sale (number)"),
            QStringLiteral("CREATE INDEX sale_owed ON sale (day, owed_kopecks) "
                           "WHERE owed_kopecks > 0"),
            fill,
            trigger(QStringLiteral("sale_invoice_added"), QStringLiteral("INSERT ON invoice"),
                    refreshSale(true, QStringLiteral("NEW.number"))),
            trigger(QStringLiteral("sale_invoice_changed"),
                    QStringLiteral("UPDATE OF %1 ON invoice").arg(SaleInvoiceColumns),
                    refreshSale(true, QStringLiteral("NEW.number"))),
            trigger(QStringLiteral("sale_invoice_removed"), QStringLiteral("DELETE ON invoice"),
                    QStringLiteral("DELETE FROM sale WHERE number = OLD.number;")),
            trigger(QStringLiteral("sale_line_added"), QStringLiteral("INSERT ON invoice_line"),
                    addSaleLine(true)),
            trigger(QStringLiteral("sale_line_changed"), QStringLiteral("UPDATE ON invoice_line"),
                    refreshSale(true, QStringLiteral("OLD.invoice_number"))
                        + refreshSale(true, QStringLiteral("NEW.invoice_number"))),
            trigger(QStringLiteral("sale_line_removed"), QStringLiteral("DELETE ON invoice_line"),
                    refreshSale(true, QStringLiteral("OLD.invoice_number"))),
            trigger(QStringLiteral("sale_order_added"), QStringLiteral("INSERT ON taken_order"),
                    refreshSale(true, QStringLiteral("NEW.invoice_number"))),
            trigger(QStringLiteral("sale_order_changed"),
                    QStringLiteral("UPDATE OF status, paid_kopecks ON taken_order"),
                    refreshSale(true, QStringLiteral("NEW.invoice_number"))),
            trigger(QStringLiteral("sale_order_removed"), QStringLiteral("DELETE ON taken_order"),
                    refreshSale(true, QStringLiteral("OLD.invoice_number"))),
            trigger(QStringLiteral("sale_taker_added"),
                    QStringLiteral("INSERT ON order_status_change WHEN NEW.from_status IS NULL"),
                    refreshSale(true, QStringLiteral("NEW.invoice_number"))),
            trigger(QStringLiteral("sale_taker_removed"),
                    QStringLiteral("DELETE ON order_status_change WHEN OLD.from_status IS NULL"),
                    refreshSale(true, QStringLiteral("OLD.invoice_number")))};
}

// The triggers' functions run with the rights of whoever writes: the counter's and the
// manager's groups write the sale as they write its invoice.
QStringList postgresSaleSummary()
{
    const auto function = [](const QString &name, const QString &body) {
        return QStringLiteral("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS "
                              "$$BEGIN %2 RETURN NULL; END$$")
            .arg(name, body);
    };
    const auto refreshOf = [](const QString &column) {
        return QStringLiteral("IF TG_OP = 'DELETE' THEN PERFORM sale_refresh(OLD.%1); ELSE "
                              "PERFORM sale_refresh(NEW.%1); END IF;")
            .arg(column);
    };
    return {
        saleTable(false),
        QStringLiteral("CREATE INDEX sale_day ON sale (day)"),
        QStringLiteral("CREATE INDEX sale_owed ON sale (day, owed_kopecks) "
                       "WHERE owed_kopecks > 0"),
        QStringLiteral("INSERT INTO sale (") + saleColumns() + QStringLiteral(") ")
            + saleRows(false),
        QStringLiteral("CREATE FUNCTION sale_refresh(refreshed bigint) RETURNS void LANGUAGE "
                       "plpgsql AS $$BEGIN ")
            + refreshSale(false, QStringLiteral("refreshed")) + QStringLiteral(" END$$"),
        function(QStringLiteral("sale_invoice_changed"), refreshOf(QStringLiteral("number"))),
        function(QStringLiteral("sale_row_changed"), refreshOf(QStringLiteral("invoice_number"))),
        function(QStringLiteral("sale_line_added"), addSaleLine(false)),
        QStringLiteral("CREATE TRIGGER sale_invoice_changed AFTER INSERT OR DELETE OR UPDATE "
                       "OF %1 ON invoice FOR EACH ROW EXECUTE FUNCTION "
                       "sale_invoice_changed()")
            .arg(SaleInvoiceColumns),
        QStringLiteral("CREATE TRIGGER sale_line_added AFTER INSERT ON invoice_line FOR EACH "
                       "ROW EXECUTE FUNCTION sale_line_added()"),
        QStringLiteral("CREATE TRIGGER sale_line_changed AFTER UPDATE OR DELETE ON "
                       "invoice_line FOR EACH ROW EXECUTE FUNCTION sale_row_changed()"),
        QStringLiteral("CREATE TRIGGER sale_order_changed AFTER INSERT OR DELETE OR UPDATE OF "
                       "status, paid_kopecks ON taken_order FOR EACH ROW EXECUTE FUNCTION "
                       "sale_row_changed()"),
        QStringLiteral("CREATE TRIGGER sale_taker_added AFTER INSERT ON order_status_change "
                       "FOR EACH ROW WHEN (NEW.from_status IS NULL) EXECUTE FUNCTION "
                       "sale_row_changed()"),
        QStringLiteral("CREATE TRIGGER sale_taker_removed AFTER DELETE ON order_status_change "
                       "FOR EACH ROW WHEN (OLD.from_status IS NULL) EXECUTE FUNCTION "
                       "sale_row_changed()")};
}

} // namespace

const QStringList &auditTriggerNames()
{
    static const QStringList names {QStringLiteral("audit_log_no_update"),
                                    QStringLiteral("audit_log_no_delete")};
    return names;
}

const QVector<SchemaStep> &schemaSteps()
{
    static const QVector<SchemaStep> steps = {
        {1,
         {QStringLiteral("CREATE TABLE invoice_counter (id INTEGER PRIMARY KEY, "
                         "next_number INTEGER NOT NULL)"),
          QStringLiteral("INSERT INTO invoice_counter (id, next_number) VALUES (1, 1)"),
          QStringLiteral("CREATE TABLE invoice (number INTEGER PRIMARY KEY, "
                         "order_uid TEXT NOT NULL UNIQUE, created TEXT NOT NULL, "
                         "counter TEXT NOT NULL, line_count INTEGER NOT NULL, "
                         "subtotal DOUBLE PRECISION NOT NULL, tax DOUBLE PRECISION NOT NULL, "
                         "total DOUBLE PRECISION NOT NULL, template_path TEXT NOT NULL, "
                         "is_void INTEGER NOT NULL DEFAULT 0, search_text TEXT NOT NULL)"),
          QStringLiteral("CREATE INDEX invoice_created ON invoice (created)"),
          QStringLiteral("CREATE TABLE invoice_line (invoice_number INTEGER NOT NULL "
                         "REFERENCES invoice (number), position INTEGER NOT NULL, "
                         "description TEXT NOT NULL, quantity TEXT NOT NULL, "
                         "unit_price TEXT NOT NULL, key_text TEXT NOT NULL, titles TEXT NOT NULL, "
                         "removal_marker INTEGER NOT NULL, job TEXT NOT NULL, "
                         "explanation TEXT NOT NULL, missing_price INTEGER NOT NULL, "
                         "PRIMARY KEY (invoice_number, position))"),
          QStringLiteral("CREATE TABLE invoice_document (invoice_number INTEGER NOT NULL "
                         "REFERENCES invoice (number), kind TEXT NOT NULL, made TEXT NOT NULL, "
                         "succeeded INTEGER NOT NULL)"),
          QStringLiteral("CREATE INDEX invoice_document_number ON invoice_document "
                         "(invoice_number)"),
          QStringLiteral("CREATE TABLE local_order (uid TEXT PRIMARY KEY, counter TEXT NOT NULL, "
                         "started TEXT NOT NULL, changed TEXT NOT NULL, state INTEGER NOT NULL, "
                         "invoice_number INTEGER, template_path TEXT NOT NULL DEFAULT '', "
                         "documents TEXT NOT NULL DEFAULT '')"),
          QStringLiteral("CREATE INDEX local_order_state ON local_order (counter, state)"),
          QStringLiteral("CREATE TABLE local_line (order_uid TEXT NOT NULL, "
                         "line_id INTEGER NOT NULL, position INTEGER NOT NULL, "
                         "description TEXT NOT NULL, quantity TEXT NOT NULL, "
                         "unit_price TEXT NOT NULL, key_text TEXT NOT NULL, titles TEXT NOT NULL, "
                         "removal_marker INTEGER NOT NULL, job TEXT NOT NULL, "
                         "explanation TEXT NOT NULL, missing_price INTEGER NOT NULL, "
                         "PRIMARY KEY (order_uid, line_id))")},
         {QStringLiteral("CREATE VIRTUAL TABLE invoice_search USING fts5(search_text, "
                         "content='invoice', content_rowid='number')")},
         // The words kept as a column: a search that walks the newest invoices need not split
         // each text again.
         {QStringLiteral("ALTER TABLE invoice ADD COLUMN search_words tsvector GENERATED ALWAYS "
                         "AS (to_tsvector('simple', search_text)) STORED"),
          QStringLiteral("CREATE INDEX invoice_words ON invoice USING gin (search_words)")}},
        // Price list versions: each with every price and amount; each order line names the
        // version that priced it (0: the built-in list).
        {2,
         {QStringLiteral("CREATE TABLE price_version (number INTEGER PRIMARY KEY, "
                         "effective_from TEXT NOT NULL, note TEXT NOT NULL, "
                         "loaded_by TEXT NOT NULL, loaded_at TEXT NOT NULL)"),
          QStringLiteral("CREATE TABLE price_version_price (version INTEGER NOT NULL "
                         "REFERENCES price_version (number), price_key TEXT NOT NULL, "
                         "price DOUBLE PRECISION NOT NULL, PRIMARY KEY (version, price_key))"),
          QStringLiteral("CREATE TABLE price_version_extra (version INTEGER NOT NULL "
                         "REFERENCES price_version (number), object_name TEXT NOT NULL, "
                         "amount DOUBLE PRECISION NOT NULL, PRIMARY KEY (version, object_name))"),
          QStringLiteral("ALTER TABLE invoice_line ADD COLUMN price_version INTEGER NOT NULL "
                         "DEFAULT 0"),
          QStringLiteral("ALTER TABLE local_line ADD COLUMN price_version INTEGER NOT NULL "
                         "DEFAULT 0")},
         {},
         {}},
        // Invoice numbers past 2^31: SQLite's INTEGER holds 64 bits already, PostgreSQL's
        // integer does not. The columns are widened in place, every row kept.
        {3,
         {},
         {},
         {QStringLiteral("ALTER TABLE invoice_counter ALTER COLUMN next_number TYPE bigint"),
          QStringLiteral("ALTER TABLE invoice ALTER COLUMN number TYPE bigint"),
          QStringLiteral("ALTER TABLE invoice_line ALTER COLUMN invoice_number TYPE bigint"),
          QStringLiteral("ALTER TABLE invoice_document ALTER COLUMN invoice_number TYPE bigint"),
          QStringLiteral("ALTER TABLE local_order ALTER COLUMN invoice_number TYPE bigint")}},
        // Price list versions to the kopeck: each price and amount also as its decimal text, which
        // is what is read. Prices were held in single precision before, so the old rows' texts are
        // their single-precision readings (123.449996948242 gives "123.45"); amounts were not.
        {4,
         {QStringLiteral("ALTER TABLE price_version_price ADD COLUMN price_text TEXT NOT NULL "
                         "DEFAULT ''"),
          QStringLiteral("ALTER TABLE price_version_extra ADD COLUMN amount_text TEXT NOT NULL "
                         "DEFAULT ''")},
         {QStringLiteral("UPDATE price_version_price SET price_text = printf('%.7g', price)"),
          QStringLiteral("UPDATE price_version_extra SET amount_text = CAST(amount AS TEXT)")},
         {QStringLiteral("UPDATE price_version_price SET price_text = CAST(CAST(price AS real) "
                         "AS text)"),
          QStringLiteral("UPDATE price_version_extra SET amount_text = CAST(amount AS text)")}},
        // Extras by their own keys rather than the form's object names, which a rename in the
        // form would orphan: in the versions' amounts and in every stored job.
        {5,
         {QStringLiteral("ALTER TABLE price_version_extra RENAME COLUMN object_name TO extra_key")},
         {},
         {},
         keyTheExtras},
        // Customers, shared by every counter of the shop: the card, its search words (a word's
        // beginning found by an index range), the customer with the counter's order, and on each
        // invoice the customer's id with what the invoice printed of them.
        {6,
         {QStringLiteral("ALTER TABLE invoice ADD COLUMN customer_id BIGINT NOT NULL DEFAULT 0"),
          QStringLiteral("ALTER TABLE invoice ADD COLUMN customer_name TEXT NOT NULL DEFAULT ''"),
          QStringLiteral("ALTER TABLE invoice ADD COLUMN customer_full_name TEXT NOT NULL "
                         "DEFAULT ''"),
          QStringLiteral("ALTER TABLE invoice ADD COLUMN customer_inn TEXT NOT NULL DEFAULT ''"),
          QStringLiteral("ALTER TABLE invoice ADD COLUMN customer_kpp TEXT NOT NULL DEFAULT ''"),
          QStringLiteral("ALTER TABLE invoice ADD COLUMN customer_address TEXT NOT NULL "
                         "DEFAULT ''"),
          QStringLiteral("ALTER TABLE invoice ADD COLUMN customer_discount INTEGER NOT NULL "
                         "DEFAULT 0"),
          QStringLiteral("ALTER TABLE invoice ADD COLUMN customer_kind INTEGER NOT NULL "
                         "DEFAULT 0"),
          QStringLiteral("CREATE INDEX invoice_customer ON invoice (customer_id, number)"),
          QStringLiteral("ALTER TABLE local_order ADD COLUMN customer TEXT NOT NULL DEFAULT ''")},
         // An id never comes back after a merge: an order on screen may still name the gone one.
         QStringList {
             QStringLiteral("CREATE TABLE customer (id INTEGER PRIMARY KEY AUTOINCREMENT, ")
                 + customerColumns()
                 + QStringLiteral(", search_name TEXT NOT NULL, phone_digits TEXT NOT NULL)"),
             QStringLiteral(
                 "CREATE TABLE customer_word (rank INTEGER NOT NULL, word TEXT NOT NULL, "
                 "customer_id INTEGER NOT NULL, PRIMARY KEY (rank, word, customer_id)) "
                 "WITHOUT ROWID")}
             + customerIndexes(),
         // Byte order for the search columns, so that a prefix is a range of the index whatever
         // the cluster's locale.
         QStringList {
             QStringLiteral("CREATE TABLE customer (id BIGINT GENERATED BY DEFAULT AS IDENTITY "
                            "PRIMARY KEY, ")
                 + customerColumns()
                 + QStringLiteral(", search_name TEXT COLLATE \"C\" NOT NULL, phone_digits TEXT "
                                  "COLLATE \"C\" NOT NULL)"),
             QStringLiteral("CREATE TABLE customer_word (rank INTEGER NOT NULL, word TEXT COLLATE "
                            "\"C\" NOT NULL, customer_id BIGINT NOT NULL, "
                            "PRIMARY KEY (rank, word, customer_id))")}
             + customerIndexes()},
        // Orders taken after the quote: each on its journal invoice, with its status changes,
        // its payments (a bank document's identity at most once), the mails it queued, and the
        // invoice's lines kept per revision, the earlier ones beside the latest. SQLite cannot
        // change a primary key in place: its line table is made again, every row copied.
        {7,
         {QStringLiteral("ALTER TABLE invoice ADD COLUMN revision INTEGER NOT NULL DEFAULT 1"),
          QStringLiteral("CREATE TABLE taken_order (invoice_number BIGINT PRIMARY KEY REFERENCES "
                         "invoice (number), status INTEGER NOT NULL, due TEXT NOT NULL, "
                         "note TEXT NOT NULL, source TEXT NOT NULL, created TEXT NOT NULL, "
                         "counter TEXT NOT NULL, changed TEXT NOT NULL, "
                         "customer_phone TEXT NOT NULL, customer_email TEXT NOT NULL, "
                         "phone_digits TEXT NOT NULL, search_name TEXT NOT NULL, "
                         "paid_kopecks BIGINT NOT NULL DEFAULT 0)"),
          QStringLiteral("CREATE INDEX taken_order_status ON taken_order (status, due)"),
          QStringLiteral("CREATE INDEX taken_order_due ON taken_order (due)")},
         QStringList {
             QStringLiteral(
                 "CREATE TABLE invoice_line_revised (invoice_number INTEGER NOT NULL "
                 "REFERENCES invoice (number), position INTEGER NOT NULL, "
                 "description TEXT NOT NULL, quantity TEXT NOT NULL, "
                 "unit_price TEXT NOT NULL, key_text TEXT NOT NULL, titles TEXT NOT NULL, "
                 "removal_marker INTEGER NOT NULL, job TEXT NOT NULL, "
                 "explanation TEXT NOT NULL, missing_price INTEGER NOT NULL, "
                 "price_version INTEGER NOT NULL DEFAULT 0, "
                 "revision INTEGER NOT NULL DEFAULT 1, "
                 "PRIMARY KEY (invoice_number, revision, position))"),
             QStringLiteral("INSERT INTO invoice_line_revised SELECT invoice_number, position, "
                            "description, quantity, unit_price, key_text, titles, "
                            "removal_marker, job, explanation, missing_price, price_version, 1 "
                            "FROM invoice_line"),
             QStringLiteral("DROP TABLE invoice_line"),
             QStringLiteral("ALTER TABLE invoice_line_revised RENAME TO invoice_line"),
             QStringLiteral("CREATE TABLE order_status_change (id INTEGER PRIMARY KEY "
                            "AUTOINCREMENT, ")
                 + orderChangeColumns() + QLatin1Char(')'),
             QStringLiteral("CREATE TABLE order_payment (id INTEGER PRIMARY KEY AUTOINCREMENT, ")
                 + orderPaymentColumns() + QLatin1Char(')'),
             QStringLiteral("CREATE TABLE mail_queue (id INTEGER PRIMARY KEY AUTOINCREMENT, ")
                 + mailQueueColumns() + QLatin1Char(')')}
             + orderIndexes(),
         QStringList {
             QStringLiteral("ALTER TABLE invoice_line ADD COLUMN revision INTEGER NOT NULL "
                            "DEFAULT 1"),
             QStringLiteral("ALTER TABLE invoice_line DROP CONSTRAINT invoice_line_pkey"),
             QStringLiteral("ALTER TABLE invoice_line ADD PRIMARY KEY (invoice_number, revision, "
                            "position)"),
             QStringLiteral("CREATE TABLE order_status_change (id BIGINT GENERATED BY DEFAULT AS "
                            "IDENTITY PRIMARY KEY, ")
                 + orderChangeColumns() + QLatin1Char(')'),
             QStringLiteral("CREATE TABLE order_payment (id BIGINT GENERATED BY DEFAULT AS "
                            "IDENTITY PRIMARY KEY, ")
                 + orderPaymentColumns() + QLatin1Char(')'),
             QStringLiteral("CREATE TABLE mail_queue (id BIGINT GENERATED BY DEFAULT AS "
                            "IDENTITY PRIMARY KEY, ")
                 + mailQueueColumns() + QLatin1Char(')')}
             + orderIndexes()},
        // Each invoice keeps the tax it was made with (its mode as the settings word, its rate,
        // whether the settings named one), and its stored totals are the foot's: discount first,
        // then that tax. The invoices stored before keep their totals, and tax_stored 0.
        {8,
         {QStringLiteral("ALTER TABLE invoice ADD COLUMN tax_mode TEXT NOT NULL DEFAULT ''"),
          QStringLiteral("ALTER TABLE invoice ADD COLUMN tax_rate INTEGER NOT NULL DEFAULT 0"),
          QStringLiteral("ALTER TABLE invoice ADD COLUMN tax_given INTEGER NOT NULL DEFAULT 0"),
          QStringLiteral("ALTER TABLE invoice ADD COLUMN tax_stored INTEGER NOT NULL DEFAULT 0")},
         {},
         {}},
        // Operators and the audit trail. A row of the trail is never changed nor removed by the
        // program; the triggers refuse it to anyone else who writes through SQL.
        {9,
         auditTables(),
         {QStringLiteral("CREATE TABLE operator (id INTEGER PRIMARY KEY AUTOINCREMENT, ")
              + operatorColumns(),
          QStringLiteral("CREATE TRIGGER audit_log_no_update BEFORE UPDATE ON audit_log BEGIN "
                         "SELECT RAISE(ABORT, 'audit_log is append-only'); END"),
          QStringLiteral("CREATE TRIGGER audit_log_no_delete BEFORE DELETE ON audit_log BEGIN "
                         "SELECT RAISE(ABORT, 'audit_log is append-only'); END")},
         {QStringLiteral("CREATE TABLE operator (id BIGINT GENERATED BY DEFAULT AS IDENTITY "
                         "PRIMARY KEY, ")
              + operatorColumns(),
          QStringLiteral("CREATE FUNCTION audit_log_refuse() RETURNS trigger LANGUAGE plpgsql AS "
                         "'BEGIN RAISE EXCEPTION ''audit_log is append-only''; END'"),
          QStringLiteral("CREATE TRIGGER audit_log_no_update BEFORE UPDATE ON audit_log "
                         "FOR EACH ROW EXECUTE FUNCTION audit_log_refuse()"),
          QStringLiteral("CREATE TRIGGER audit_log_no_delete BEFORE DELETE ON audit_log "
                         "FOR EACH ROW EXECUTE FUNCTION audit_log_refuse()"),
          QStringLiteral("CREATE TRIGGER audit_log_no_truncate BEFORE TRUNCATE ON audit_log "
                         "FOR EACH STATEMENT EXECUTE FUNCTION audit_log_refuse()")}},
        // Requests from the website, numbered by a sequence of their own so that a flood of them
        // spends no invoice numbers; the counter confirms one into an order or cancels it.
        {WebRequestStep,
         {},
         {QStringLiteral("CREATE TABLE web_request (number INTEGER PRIMARY KEY AUTOINCREMENT, ")
              + webRequestColumns() + QLatin1Char(')'),
          QStringLiteral("CREATE INDEX web_request_status ON web_request (status, created)")},
         {QStringLiteral("CREATE TABLE web_request (number BIGINT GENERATED BY DEFAULT AS "
                         "IDENTITY PRIMARY KEY, ")
              + webRequestColumns() + QLatin1Char(')'),
          QStringLiteral("CREATE INDEX web_request_status ON web_request (status, created)")}},
        // The counters' shifts with the money put into and taken out of the drawer; a closed
        // shift and its entries are refused any change by triggers, as the audit trail is.
        {ShiftStep,
         {},
         QStringList {QStringLiteral("CREATE TABLE shift (id INTEGER PRIMARY KEY AUTOINCREMENT, ")
                          + shiftColumns(),
                      QStringLiteral("CREATE TABLE shift_cash (id INTEGER PRIMARY KEY "
                                     "AUTOINCREMENT, ")
                          + shiftCashColumns()}
             + shiftIndexes() + sqliteShiftTriggers(),
         QStringList {QStringLiteral("CREATE TABLE shift (id BIGINT GENERATED BY DEFAULT AS "
                                     "IDENTITY PRIMARY KEY, ")
                          + shiftColumns(),
                      QStringLiteral("CREATE TABLE shift_cash (id BIGINT GENERATED BY DEFAULT AS "
                                     "IDENTITY PRIMARY KEY, ")
                          + shiftCashColumns()}
             + shiftIndexes() + postgresShiftTriggers()},
        {BoardMoreStep,
         {QStringLiteral(
             "ALTER TABLE web_request ADD COLUMN cancel_reason TEXT NOT NULL DEFAULT ''")}},
        // Each document with the file it wrote, the counter and operator that made it; an act
        // with its date, so that a copy printed later is the same act. Rows before have none.
        {DocumentsStep,
         {QStringLiteral("ALTER TABLE invoice_document ADD COLUMN path TEXT NOT NULL DEFAULT ''"),
          QStringLiteral("ALTER TABLE invoice_document ADD COLUMN counter TEXT NOT NULL "
                         "DEFAULT ''"),
          QStringLiteral("ALTER TABLE invoice_document ADD COLUMN operator_name TEXT NOT NULL "
                         "DEFAULT ''"),
          QStringLiteral("ALTER TABLE invoice_document ADD COLUMN act_date TEXT NOT NULL "
                         "DEFAULT ''")},
         {},
         {}},
        // An invoice voided by hand stays void whatever documents follow; one voided because its
        // documents failed has no reason.
        {HandVoidStep,
         {QStringLiteral("ALTER TABLE invoice ADD COLUMN void_reason TEXT NOT NULL DEFAULT ''"),
          QStringLiteral("ALTER TABLE invoice ADD COLUMN voided_at TEXT NOT NULL DEFAULT ''"),
          QStringLiteral("ALTER TABLE invoice ADD COLUMN voided_counter TEXT NOT NULL "
                         "DEFAULT ''"),
          QStringLiteral("ALTER TABLE invoice ADD COLUMN voided_by TEXT NOT NULL DEFAULT ''"),
          QStringLiteral("ALTER TABLE invoice ADD COLUMN voided_approver TEXT NOT NULL "
                         "DEFAULT ''")},
         {},
         {}},
        // Each sale's figures kept beside its invoice for the owner's reports, which would
        // otherwise read every line: its day, operator, customer, lines, sum, what is owed and
        // its sums by family. Triggers keep it in the transaction of whatever changed it; the
        // invoices stored before are summed here.
        {SalesSummaryStep, {}, sqliteSaleSummary(), postgresSaleSummary()},
        // Who took each payment and who approved it; null for the payments stored before, and
        // where no operators exist.
        {PaymentOperatorStep,
         {QStringLiteral("ALTER TABLE order_payment ADD COLUMN operator_name TEXT"),
          QStringLiteral("ALTER TABLE order_payment ADD COLUMN approver TEXT")},
         {},
         {}},
        // The rights the database holds: on PostgreSQL the server's own functions alone read
        // the PIN hashes and count the wrong PINs.
        {TrustStep,
         // What an order was paid before its payments were kept one by one (or set by hand)
         // stays as it was; from now on its paid sum is that plus its payments, held by a
         // trigger, so that no login pays an order without a payment.
         {QStringLiteral("ALTER TABLE taken_order ADD COLUMN paid_before BIGINT NOT NULL "
                         "DEFAULT 0"),
          QStringLiteral("UPDATE taken_order SET paid_before = paid_kopecks - coalesce((SELECT "
                         "sum(p.kopecks) FROM order_payment p WHERE p.invoice_number = "
                         "taken_order.invoice_number), 0)")},
         {QStringLiteral("CREATE TRIGGER taken_order_paid_by_payments BEFORE UPDATE OF "
                         "paid_kopecks, paid_before ON taken_order WHEN NEW.paid_before <> "
                         "OLD.paid_before OR NEW.paid_kopecks <> NEW.paid_before + coalesce(("
                         "SELECT sum(p.kopecks) FROM order_payment p WHERE p.invoice_number = "
                         "NEW.invoice_number), 0) BEGIN SELECT RAISE(ABORT, 'an order is paid "
                         "by its payments'); END"),
          QStringLiteral("CREATE TRIGGER invoice_counter_forward BEFORE UPDATE OF next_number ON "
                         "invoice_counter WHEN NEW.next_number < OLD.next_number BEGIN SELECT "
                         "RAISE(ABORT, 'invoice numbers only go forward'); END")},
         {QStringLiteral("CREATE FUNCTION taken_order_paid_by_payments() RETURNS trigger "
                         "LANGUAGE plpgsql AS $$BEGIN IF NEW.paid_before <> OLD.paid_before OR "
                         "NEW.paid_kopecks <> NEW.paid_before + coalesce((SELECT "
                         "sum(p.kopecks) FROM order_payment p WHERE p.invoice_number = "
                         "NEW.invoice_number), 0) THEN RAISE EXCEPTION 'an order is paid by its "
                         "payments'; END IF; RETURN NEW; END$$"),
          QStringLiteral("CREATE TRIGGER taken_order_paid_by_payments BEFORE UPDATE OF "
                         "paid_kopecks, paid_before ON taken_order FOR EACH ROW EXECUTE FUNCTION "
                         "taken_order_paid_by_payments()"),
          QStringLiteral("CREATE FUNCTION invoice_counter_forward() RETURNS trigger LANGUAGE "
                         "plpgsql AS 'BEGIN IF NEW.next_number < OLD.next_number THEN RAISE "
                         "EXCEPTION ''invoice numbers only go forward''; END IF; RETURN NEW; "
                         "END'"),
          QStringLiteral("CREATE TRIGGER invoice_counter_forward BEFORE UPDATE OF next_number ON "
                         "invoice_counter FOR EACH ROW EXECUTE FUNCTION "
                         "invoice_counter_forward()")},
         trustFunctions},
        // A manager's deeds held by the database for every login the counters use.
        // The audit rows a shop's login appends carry that login, taken by the server.
        {ManagerLimitsStep, {}, {}, managerLimitStatements(), trustFunctions},
        // A website's request whose answer the service gave up waiting for is never kept: the
        // commit is refused once the time the service set for it (counted by the server's clock
        // from the transaction's start) is spent.
        {ManagerLimitsStep + 1,
         {},
         {},
         {QStringLiteral(
              "CREATE FUNCTION web_request_in_time() RETURNS trigger LANGUAGE plpgsql AS $$"
              "DECLARE budget text := current_setting('printcalc.commit_within_ms', true); BEGIN "
              "IF coalesce(budget, '') <> '' AND clock_timestamp() > now() + budget::bigint * "
              "interval '1 millisecond' THEN RAISE EXCEPTION 'the request came too late to be "
              "kept' USING ERRCODE = 'query_canceled'; END IF; RETURN NULL; END$$"),
          QStringLiteral("CREATE CONSTRAINT TRIGGER web_request_in_time AFTER INSERT ON "
                         "web_request DEFERRABLE INITIALLY DEFERRED FOR EACH ROW EXECUTE "
                         "FUNCTION web_request_in_time()")}},
        // The website's login queues one mail only: the acknowledgement of the request it added
        // in the same transaction, to that request's address, so that a service taken over
        // cannot send the shop's mail to anyone it likes.
        {ManagerLimitsStep + 2,
         {},
         {},
         {QStringLiteral(
              "CREATE FUNCTION mail_queue_web_only_acknowledges() RETURNS trigger LANGUAGE "
              "plpgsql AS $$BEGIN IF (SELECT count(*) FROM pg_roles WHERE rolname IN "
              "('printcalc_web', 'printcalc_counter', 'printcalc_manager')) < 3 THEN RETURN NEW; "
              "END IF; IF NOT pg_has_role(session_user, 'printcalc_web', 'MEMBER') OR "
              "pg_has_role(session_user, 'printcalc_counter', 'MEMBER') OR "
              "pg_has_role(session_user, 'printcalc_manager', 'MEMBER') THEN RETURN NEW; END IF; "
              "IF NEW.invoice_number = 0 AND NEW.state = 0 AND NEW.attempts = 0 AND EXISTS "
              "(SELECT 1 FROM web_request r WHERE r.email <> '' AND r.email = NEW.recipient AND "
              "r.xmin::text = (pg_current_xact_id()::text::bigint % 4294967296)::text) THEN "
              "RETURN NEW; END IF; RAISE EXCEPTION 'the website queues only the acknowledgement "
              "of its request' USING ERRCODE = 'insufficient_privilege'; END$$"),
          QStringLiteral("CREATE TRIGGER mail_queue_web_only_acknowledges BEFORE INSERT ON "
                         "mail_queue FOR EACH ROW EXECUTE FUNCTION "
                         "mail_queue_web_only_acknowledges()")},
         [](QSqlDatabase db, QSqlError *error) {
             if (db.driverName() == QLatin1String("QSQLITE"))
                 return true;
             // It reads the requests' addresses, which the website's login may not.
             QSqlQuery query(db);
             if (query.exec(QStringLiteral("SELECT quote_ident(current_schema())")) && query.next()
                 && query.exec(QStringLiteral("ALTER FUNCTION mail_queue_web_only_acknowledges() "
                                              "SECURITY DEFINER SET search_path = %1, pg_temp")
                                   .arg(query.value(0).toString())))
                 return true;
             *error = query.lastError();
             return false;
         }},
        // Cash goes into a shift's drawer: at a counter that keeps shifts, a cash payment is
        // taken only while one is open there, so that every one is in an X and a Z report.
        {ManagerLimitsStep + 3,
         {},
         {QStringLiteral(
             "CREATE TRIGGER order_payment_cash_in_shift BEFORE INSERT ON order_payment WHEN "
             "NEW.method = 0 AND EXISTS (SELECT 1 FROM shift WHERE counter = NEW.counter) AND NOT "
             "EXISTS (SELECT 1 FROM shift WHERE counter = NEW.counter AND closed_at = '' AND "
             "opened_at <= NEW.paid_at) BEGIN SELECT RAISE(ABORT, 'cash is taken only in an open "
             "shift'); END")},
         {QStringLiteral(
              "CREATE FUNCTION order_payment_cash_in_shift() RETURNS trigger LANGUAGE plpgsql AS "
              "$$BEGIN IF NEW.method = 0 AND EXISTS (SELECT 1 FROM shift WHERE counter = "
              "NEW.counter) AND NOT EXISTS (SELECT 1 FROM shift WHERE counter = NEW.counter AND "
              "closed_at = '' AND opened_at <= NEW.paid_at) THEN RAISE EXCEPTION 'cash is taken "
              "only in an open shift'; END IF; RETURN NEW; END$$"),
          QStringLiteral("CREATE TRIGGER order_payment_cash_in_shift BEFORE INSERT ON "
                         "order_payment FOR EACH ROW EXECUTE FUNCTION "
                         "order_payment_cash_in_shift()")}},
        // Each price of a version says whether the shop set it or it is still the built-in
        // sample's. A stored price that differs from the sample's is the shop's; one equal to it
        // is taken as the sample's until the shop confirms it.
        {ManagerLimitsStep + 4,
         {QStringLiteral("ALTER TABLE price_version_price ADD COLUMN shop_set INTEGER NOT NULL "
                         "DEFAULT 0")},
         {},
         {},
         markShopPrices},
    };
    return steps;
}

int latestSchemaVersion()
{
    return schemaSteps().last().version;
}

int readSchemaVersion(QSqlDatabase db, bool sqlite)
{
    QSqlQuery query(db);
    const QString exists = sqlite
        ? QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                         "AND name = 'schema_version'")
        : QStringLiteral("SELECT count(*) FROM pg_catalog.pg_tables WHERE tablename = "
                         "'schema_version' AND schemaname = current_schema()");
    if (!query.exec(exists) || !query.next())
        return -1;
    if (query.value(0).toInt() == 0)
        return 0;
    if (!query.exec(QStringLiteral("SELECT version FROM schema_version")))
        return -1;
    return query.next() ? query.value(0).toInt() : 0;
}

namespace {

SchemaState failed(int version, const QSqlError &error, bool sqlite)
{
    SchemaState state;
    state.version = version;
    state.fault = faultOf(error, sqlite);
    if (state.fault == StorageFault::None)
        state.fault = StorageFault::Other;
    state.detail = error.text();
    return state;
}

} // namespace

SchemaState prepareSchema(QSqlDatabase db, bool sqlite)
{
    SchemaState state;
    QSqlQuery probe(db);
    state.version = readSchemaVersion(db, sqlite);
    if (state.version < 0) {
        probe.exec(QStringLiteral("SELECT 1 FROM schema_version"));
        return failed(
            0, probe.lastError().type() != QSqlError::NoError ? probe.lastError() : db.lastError(),
            sqlite);
    }
    if (state.version > latestSchemaVersion()) {
        state.fault = StorageFault::NewerSchema;
        return state;
    }
    if (state.version == latestSchemaVersion())
        return state;

    Transaction transaction(db);
    if (!transaction.isActive())
        return failed(state.version, transaction.error(), sqlite);
    QSqlQuery query(db);
    if (!sqlite) {
        // Two counters starting on an empty shop database: the second waits for the first.
        if (!query.exec(QStringLiteral("SELECT pg_advisory_xact_lock(7301)")))
            return failed(state.version, query.lastError(), sqlite);
    }
    // Read again under the lock: another program may have upgraded meanwhile.
    int version = readSchemaVersion(db, sqlite);
    if (version < 0)
        return failed(state.version, db.lastError(), sqlite);
    if (version == 0) {
        if (!query.exec(QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)"))
            || !query.exec(QStringLiteral("INSERT INTO schema_version (version) VALUES (0)")))
            return failed(0, query.lastError(), sqlite);
    }
    for (const SchemaStep &step : schemaSteps()) {
        if (step.version <= version)
            continue;
        QStringList statements = step.statements;
        statements += sqlite ? step.sqliteOnly : step.postgresOnly;
        for (const QString &statement : qAsConst(statements))
            if (!query.exec(statement))
                return failed(version, query.lastError(), sqlite);
        QSqlError error;
        if (step.rewrite && !step.rewrite(db, &error))
            return failed(version, error, sqlite);
        version = step.version;
    }
    query.prepare(QStringLiteral("UPDATE schema_version SET version = ?"));
    query.addBindValue(version);
    if (!query.exec())
        return failed(state.version, query.lastError(), sqlite);
    if (!transaction.commit())
        return failed(state.version, transaction.error(), sqlite);
    state.version = version;
    return state;
}
