// Group roles, grants and row policies on PostgreSQL, made and renewed by the database's owner.
#include "storage/database_roles.h"

#include "storage/audit_log.h"
#include "storage/operator_store.h"
#include "storage/transaction.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QVariant>

namespace {

// What the journal rewrites of an invoice while it is a draft, on a new revision, on a customer
// merge, and its void mark after a failed document (the row policy bounds the mark).
const QString InvoiceUpdates = QStringLiteral(
    "SELECT, INSERT, UPDATE (line_count, subtotal, tax, total, template_path, is_void, "
    "search_text, customer_id, customer_name, customer_full_name, customer_inn, customer_kpp, "
    "customer_address, customer_discount, customer_kind, tax_mode, tax_rate, tax_given, "
    "tax_stored, revision)");
// A manager also voids an invoice by hand, with the reason and who did it.
const QString ManagerInvoiceUpdates = QStringLiteral(
    "SELECT, INSERT, UPDATE (line_count, subtotal, tax, total, template_path, is_void, "
    "search_text, customer_id, customer_name, customer_full_name, customer_inn, customer_kpp, "
    "customer_address, customer_discount, customer_kind, tax_mode, tax_rate, tax_given, "
    "tax_stored, revision, void_reason, voided_at, voided_counter, voided_by, voided_approver)");
const QString TakenOrderUpdates
    = QStringLiteral("SELECT, INSERT, UPDATE (status, due, note, changed, customer_phone, "
                     "customer_email, phone_digits, search_name, paid_kopecks)");
const QString LocalOrderUpdates = QStringLiteral(
    "SELECT, INSERT, UPDATE (changed, template_path, customer, documents, state, invoice_number)");
const QString MailUpdates
    = QStringLiteral("SELECT, INSERT, UPDATE (state, attempts, next_try, last_error)");
const QString ShiftUpdates
    = QStringLiteral("SELECT, INSERT, UPDATE (closed_at, closed_by, counted_kopecks, z_report)");
const QString OperatorColumns
    = QStringLiteral("SELECT (id, name, role, disabled, failed_count, locked_until, created)");
const QString Read = QStringLiteral("SELECT");
const QString Add = QStringLiteral("SELECT, INSERT");
const QString AddPrices = QStringLiteral("SELECT, INSERT");

bool run(QSqlQuery &query, const QString &statement, QString *error)
{
    if (query.exec(statement))
        return true;
    *error = query.lastError().text().trimmed();
    return false;
}

QString quotedName(QSqlDatabase db, const QString &name)
{
    return db.driver()->escapeIdentifier(name, QSqlDriver::TableName);
}

QString roleList(const QVector<ShopRole> &roles)
{
    QStringList names;
    for (const ShopRole role : roles)
        names.append(shopRoleName(role));
    return names.join(QStringLiteral(", "));
}

} // namespace

QString shopRoleName(ShopRole role)
{
    switch (role) {
    case ShopRole::Counter:
        return QStringLiteral("printcalc_counter");
    case ShopRole::Manager:
        return QStringLiteral("printcalc_manager");
    case ShopRole::Web:
        return QStringLiteral("printcalc_web");
    }
    return QString();
}

bool shopRoleFromWord(const QString &word, ShopRole *role)
{
    for (const ShopRole each : {ShopRole::Counter, ShopRole::Manager, ShopRole::Web})
        if (shopRoleName(each) == QStringLiteral("printcalc_") + word) {
            *role = each;
            return true;
        }
    return false;
}

const QVector<TableGrant> &tableGrants()
{
    // A table another part adds gets its row here; a table missing here is closed to the groups.
    static const QVector<TableGrant> grants = {
        {QStringLiteral("schema_version"), Read, Read, Read},
        {QStringLiteral("invoice_counter"), QStringLiteral("SELECT, UPDATE (next_number)"),
         QStringLiteral("SELECT, UPDATE (next_number)"), QString()},
        {QStringLiteral("invoice"), InvoiceUpdates, ManagerInvoiceUpdates, QString()},
        // A draft's lines are replaced while no document carries its number (row policy).
        {QStringLiteral("invoice_line"), QStringLiteral("SELECT, INSERT, DELETE"),
         QStringLiteral("SELECT, INSERT, DELETE"), QString()},
        {QStringLiteral("invoice_document"), Add, Add, QString()},
        {QStringLiteral("local_order"), LocalOrderUpdates, LocalOrderUpdates, QString()},
        {QStringLiteral("local_line"), QStringLiteral("SELECT, INSERT, UPDATE, DELETE"),
         QStringLiteral("SELECT, INSERT, UPDATE, DELETE"), QString()},
        {QStringLiteral("price_version"), Read, AddPrices, Read},
        {QStringLiteral("price_version_price"), Read, AddPrices, Read},
        {QStringLiteral("price_version_extra"), Read, AddPrices, Read},
        // A card is removed only by a merge, a manager's.
        {QStringLiteral("customer"), QStringLiteral("SELECT, INSERT, UPDATE"),
         QStringLiteral("SELECT, INSERT, UPDATE, DELETE"), QString()},
        {QStringLiteral("customer_word"), QStringLiteral("SELECT, INSERT, DELETE"),
         QStringLiteral("SELECT, INSERT, DELETE"), QString()},
        {QStringLiteral("taken_order"), TakenOrderUpdates, TakenOrderUpdates, QString()},
        {QStringLiteral("order_status_change"), Add, Add, QString()},
        // A payment is added with who took and approved it, and never changed.
        {QStringLiteral("order_payment"), Add, Add, QString()},
        // The website adds its requests' acknowledgements and reads no mail (a trigger holds
        // what it may add).
        {QStringLiteral("mail_queue"), MailUpdates, MailUpdates, QStringLiteral("INSERT")},
        // Signing in counts failed PINs; operators are added and disabled by the owner.
        // Signing in goes through the server's functions: no login reads a PIN's hash or
        // changes a lock.
        {QStringLiteral("operator"), OperatorColumns, OperatorColumns, QString()},
        // Records are added by the server's function alone, which seals them itself.
        {QStringLiteral("audit_log"), Read, Read, QString()},
        // The service is told the number of the request it added, and sees no other.
        {QStringLiteral("web_request"),
         QStringLiteral("SELECT, UPDATE (status, invoice_number, cancel_reason)"),
         QStringLiteral("SELECT, UPDATE (status, invoice_number, cancel_reason)"),
         QStringLiteral("INSERT, SELECT (number)")},
        // A shift is opened, given its cash entries and closed once; the triggers keep a closed
        // one as it was.
        {QStringLiteral("shift"), ShiftUpdates, ShiftUpdates, QString()},
        {QStringLiteral("shift_cash"), Add, Add, QString()},
        // Each sale's figures for the reports, rewritten by triggers with the owner's rights
        // whoever writes its invoice, its lines or its order.
        {QStringLiteral("sale"), Read, Read, QString()},
    };
    return grants;
}

const QVector<RowPolicy> &rowPolicies()
{
    const QVector<ShopRole> staff {ShopRole::Counter, ShopRole::Manager};
    static const QVector<RowPolicy> policies = {
        {QStringLiteral("invoice"), QStringLiteral("printcalc_read"), QStringLiteral("SELECT"),
         staff, QStringLiteral("true"), QString()},
        {QStringLiteral("invoice"), QStringLiteral("printcalc_add"), QStringLiteral("INSERT"),
         staff, QString(), QStringLiteral("true")},
        // A counter marks void only a number whose documents all failed, or keeps the mark a
        // manager's void by hand set (a document made after it).
        {QStringLiteral("invoice"),
         QStringLiteral("printcalc_counter_change"),
         QStringLiteral("UPDATE"),
         {ShopRole::Counter},
         QStringLiteral("true"),
         QStringLiteral("is_void = 0 OR void_reason <> '' OR NOT EXISTS (SELECT 1 FROM "
                        "invoice_document d WHERE d.invoice_number = invoice.number AND "
                        "d.succeeded = 1)")},
        {QStringLiteral("invoice"),
         QStringLiteral("printcalc_manager_change"),
         QStringLiteral("UPDATE"),
         {ShopRole::Manager},
         QStringLiteral("true"),
         QStringLiteral("true")},
        {QStringLiteral("invoice_line"), QStringLiteral("printcalc_read"), QStringLiteral("SELECT"),
         staff, QStringLiteral("true"), QString()},
        {QStringLiteral("invoice_line"), QStringLiteral("printcalc_add"), QStringLiteral("INSERT"),
         staff, QString(), QStringLiteral("true")},
        {QStringLiteral("invoice_line"), QStringLiteral("printcalc_draft_lines"),
         QStringLiteral("DELETE"), staff,
         QStringLiteral("NOT EXISTS (SELECT 1 FROM invoice_document d WHERE d.invoice_number = "
                        "invoice_line.invoice_number)"),
         QString()},
    };
    return policies;
}

bool ownsSchema(QSqlDatabase db)
{
    QSqlQuery query(db);
    return query.exec(QStringLiteral(
               "SELECT COALESCE((SELECT pg_has_role(current_user, c.relowner, 'USAGE') FROM "
               "pg_class c WHERE c.oid = to_regclass('schema_version')), "
               "has_schema_privilege(current_schema(), 'CREATE'))"))
        && query.next() && query.value(0).toBool();
}

bool shopRolesExist(QSqlDatabase db)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT count(*) FROM pg_roles WHERE rolname IN (?, ?, ?)"));
    for (const ShopRole role : {ShopRole::Counter, ShopRole::Manager, ShopRole::Web})
        query.addBindValue(shopRoleName(role));
    return query.exec() && query.next() && query.value(0).toInt() == 3;
}

bool grantShopRoles(QSqlDatabase db, QString *error)
{
    QSqlQuery query(db);
    if (!run(query, QStringLiteral("SELECT current_schema()"), error) || !query.next())
        return false;
    const QString schema = quotedName(db, query.value(0).toString());
    const QString all = roleList({ShopRole::Counter, ShopRole::Manager, ShopRole::Web});
    if (!run(query, QStringLiteral("GRANT USAGE ON SCHEMA %1 TO %2").arg(schema, all), error))
        return false;
    for (const TableGrant &grant : tableGrants()) {
        // Revoking the table's rights takes its columns' rights too: a second run sets the same.
        if (!run(query, QStringLiteral("REVOKE ALL ON %1 FROM %2").arg(grant.table, all), error))
            return false;
        for (const auto &[role, privileges] :
             {std::pair {ShopRole::Counter, grant.counter},
              std::pair {ShopRole::Manager, grant.manager}, std::pair {ShopRole::Web, grant.web}})
            if (!privileges.isEmpty()
                && !run(query,
                        QStringLiteral("GRANT %1 ON %2 TO %3")
                            .arg(privileges, grant.table, shopRoleName(role)),
                        error))
                return false;
    }
    const QString staff = roleList({ShopRole::Counter, ShopRole::Manager});
    // An import takes the cards' ids ahead, a few hundred at once, from the cards' sequence.
    if (!run(query, QStringLiteral("SELECT pg_get_serial_sequence('customer', 'id')"), error)
        || !query.next())
        return false;
    const QString cardIds = query.value(0).toString();
    if (!cardIds.isEmpty()
        && !run(query, QStringLiteral("GRANT USAGE ON SEQUENCE %1 TO %2").arg(cardIds, staff),
                error))
        return false;
    if (!run(query,
             QStringLiteral("REVOKE ALL ON FUNCTION %1 FROM PUBLIC, %2")
                 .arg(auditAppendFunction(), all),
             error)
        || !run(
            query,
            QStringLiteral("GRANT EXECUTE ON FUNCTION %1 TO %2").arg(auditAppendFunction(), staff),
            error))
        return false;
    for (const QString &function : signInFunctions())
        if (!run(query,
                 QStringLiteral("REVOKE ALL ON FUNCTION %1 FROM PUBLIC, %2").arg(function, all),
                 error)
            || !run(query,
                    QStringLiteral("GRANT EXECUTE ON FUNCTION %1 TO %2").arg(function, staff),
                    error))
            return false;
    for (const RowPolicy &policy : rowPolicies()) {
        QString statement
            = QStringLiteral("CREATE POLICY %1 ON %2 FOR %3 TO %4")
                  .arg(policy.name, policy.table, policy.command, roleList(policy.roles));
        if (!policy.rowsUsing.isEmpty())
            statement += QStringLiteral(" USING (%1)").arg(policy.rowsUsing);
        if (!policy.rowsChecked.isEmpty())
            statement += QStringLiteral(" WITH CHECK (%1)").arg(policy.rowsChecked);
        if (!run(query,
                 QStringLiteral("ALTER TABLE %1 ENABLE ROW LEVEL SECURITY").arg(policy.table),
                 error)
            || !run(query,
                    QStringLiteral("DROP POLICY IF EXISTS %1 ON %2").arg(policy.name, policy.table),
                    error)
            || !run(query, statement, error))
            return false;
    }
    return true;
}

bool setUpShopRoles(QSqlDatabase db, QString *error)
{
    Transaction transaction(db);
    if (!transaction.isActive()) {
        *error = transaction.error().text();
        return false;
    }
    QSqlQuery query(db);
    for (const ShopRole role : {ShopRole::Counter, ShopRole::Manager, ShopRole::Web}) {
        query.prepare(QStringLiteral("SELECT count(*) FROM pg_roles WHERE rolname = ?"));
        query.addBindValue(shopRoleName(role));
        if (!query.exec() || !query.next()) {
            *error = query.lastError().text();
            return false;
        }
        if (query.value(0).toInt() == 0
            && !run(query, QStringLiteral("CREATE ROLE %1 NOLOGIN").arg(shopRoleName(role)), error))
            return false;
    }
    if (!grantShopRoles(db, error))
        return false;
    if (!transaction.commit()) {
        *error = transaction.error().text();
        return false;
    }
    return true;
}

bool addShopLogin(QSqlDatabase db, const QString &name, ShopRole role, const QString &password,
                  QString *error)
{
    Transaction transaction(db);
    if (!transaction.isActive()) {
        *error = transaction.error().text();
        return false;
    }
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT count(*) FROM pg_roles WHERE rolname = ?"));
    query.addBindValue(name);
    if (!query.exec() || !query.next()) {
        *error = query.lastError().text();
        return false;
    }
    const bool exists = query.value(0).toInt() > 0;
    // A role statement takes no bound values: the driver quotes the password as libpq does.
    QSqlField secret(QStringLiteral("password"), QVariant::String);
    secret.setValue(password);
    const QString literal = db.driver()->formatValue(secret);
    const QString login = quotedName(db, name);
    if (!run(query,
             QStringLiteral("%1 ROLE %2 LOGIN PASSWORD %3")
                 .arg(exists ? QStringLiteral("ALTER") : QStringLiteral("CREATE"), login, literal),
             error))
        return false;
    for (const ShopRole other : {ShopRole::Counter, ShopRole::Manager, ShopRole::Web})
        if (other != role
            && !run(query, QStringLiteral("REVOKE %1 FROM %2").arg(shopRoleName(other), login),
                    error))
            return false;
    if (!run(query, QStringLiteral("GRANT %1 TO %2").arg(shopRoleName(role), login), error))
        return false;
    if (!transaction.commit()) {
        *error = transaction.error().text();
        return false;
    }
    return true;
}

bool runWithLogin(const DatabaseUrl &shop, const DatabaseLogin &login,
                  const std::function<bool(Connection &)> &work, StorageFault *fault,
                  QString *error)
{
    DatabaseUrl url = shop;
    url.user = login.user;
    url.password = login.password;
    Connection connection;
    const bool done = connection.open(url, QStringLiteral("login")) && work(connection);
    *fault = done ? StorageFault::None : connection.fault();
    *error = done ? QString() : connection.errorText();
    return done;
}

QString managerLoginProblem(const DatabaseLogin &login, StorageFault fault, const QString &what)
{
    if (fault == StorageFault::NotPermitted)
        return QStringLiteral("Вход «%1» не менеджерский: база не разрешает ему %2. Ничего не "
                              "изменено.")
            .arg(login.user, what);
    return QStringLiteral("Неверное имя входа или пароль «%1»: ничего не изменено.")
        .arg(login.user);
}
