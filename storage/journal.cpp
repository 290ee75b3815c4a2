// Invoices in SQL: numbering under the write lock, the word index kept in the same transaction.
#include "storage/journal.h"

#include "storage/connection.h"
#include "storage/customer_store.h"
#include "storage/sql_lines.h"
#include "storage/transaction.h"

#include <QSqlError>
#include <QVariant>

namespace {

const QString SummaryColumns = QStringLiteral(
    "i.number, i.created, i.counter, i.line_count, i.subtotal, i.tax, i.total, i.template_path, "
    "i.is_void, i.customer_id, i.customer_name, i.customer_full_name, i.customer_inn, "
    "i.customer_kpp, i.customer_address, i.customer_discount, i.customer_kind, i.revision, "
    "i.tax_mode, i.tax_rate, i.tax_given, i.tax_stored, i.void_reason, i.voided_at, "
    "i.voided_counter, i.voided_by, i.voided_approver");
const int SummaryColumnCount = 27;

InvoiceSummary readSummary(const QSqlQuery &query)
{
    InvoiceSummary summary;
    summary.number = query.value(0).toLongLong();
    summary.created = readStoredTime(query.value(1).toString());
    summary.counter = query.value(2).toString();
    summary.lineCount = query.value(3).toInt();
    summary.subtotal = query.value(4).toDouble();
    summary.tax = query.value(5).toDouble();
    summary.total = query.value(6).toDouble();
    summary.templatePath = query.value(7).toString();
    summary.isVoid = query.value(8).toInt() != 0;
    Customer &customer = summary.customer;
    customer.id = query.value(9).toLongLong();
    customer.shortName = query.value(10).toString();
    customer.fullName = query.value(11).toString();
    customer.inn = query.value(12).toString();
    customer.kpp = query.value(13).toString();
    customer.address = query.value(14).toString();
    customer.discountHundredths = query.value(15).toInt();
    const int kind = query.value(16).toInt();
    customer.kind = kind == Customer::SoleTrader ? Customer::SoleTrader
        : kind == Customer::Person               ? Customer::Person
                                                 : Customer::Organisation;
    summary.revision = query.value(17).toInt();
    summary.taxStored = query.value(21).toInt() != 0;
    if (summary.taxStored) {
        summary.taxGiven = query.value(20).toInt() != 0;
        TaxMode mode = TaxMode::OnTop;
        if (taxModeFromWord(query.value(18).toString(), &mode))
            summary.taxRule.mode = mode;
        summary.taxRule.rate = query.value(19).toInt();
    }
    summary.voidReason = query.value(22).toString();
    summary.voidedAt = readStoredTime(query.value(23).toString());
    summary.voidedCounter = query.value(24).toString();
    summary.voidedBy = query.value(25).toString();
    summary.voidedApprover = query.value(26).toString();
    return summary;
}

// The day after, as stored text: dates are compared as text.
QString dayStart(const QDate &date)
{
    return storedTime(QDateTime(date, QTime(0, 0)));
}

// The customer's columns of an invoice, bound in the order of SummaryColumns.
void bindCustomer(QSqlQuery &query, const Customer &customer)
{
    query.addBindValue(customer.id);
    query.addBindValue(notNull(customer.shortName));
    query.addBindValue(notNull(customer.fullName));
    query.addBindValue(notNull(customer.inn));
    query.addBindValue(notNull(customer.kpp));
    query.addBindValue(notNull(customer.address));
    query.addBindValue(customer.discountHundredths);
    query.addBindValue(int(customer.kind));
}

// The tax's columns, bound in the order of SummaryColumns.
void bindTax(QSqlQuery &query, const InvoiceDraft &draft)
{
    query.addBindValue(notNull(draft.taxGiven ? taxModeWord(draft.taxRule.mode) : QString()));
    query.addBindValue(draft.taxGiven ? draft.taxRule.rate : 0);
    query.addBindValue(int(draft.taxGiven));
    query.addBindValue(1);
}

const QString DocumentInsert = QStringLiteral(
    "INSERT INTO invoice_document (invoice_number, kind, made, succeeded, path, counter, "
    "operator_name, act_date) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");

void bindDocument(QSqlQuery &query, qint64 number, const DocumentRecord &document)
{
    query.addBindValue(number);
    query.addBindValue(notNull(document.kind));
    query.addBindValue(storedTime(document.made));
    query.addBindValue(int(document.succeeded));
    query.addBindValue(notNull(document.path));
    query.addBindValue(notNull(document.counter));
    query.addBindValue(notNull(document.operatorName));
    query.addBindValue(notNull(document.actDate.toString(Qt::ISODate)));
}

} // namespace

Journal::Journal(Connection &c)
    : connection(c)
{ }

qint64 Journal::storeInvoice(const InvoiceDraft &draft, qint64 lowestNumber)
{
    if (!connection.isOpen())
        return 0;
    if (!connection.writable())
        return 0; // the connection already tells why: a newer program's database
    Transaction transaction(connection);
    if (!transaction.isActive())
        return 0;
    const qint64 number = storeInvoiceWithin(draft, lowestNumber);
    if (number == 0 || !transaction.commit())
        return 0;
    return number;
}

qint64 Journal::storeInvoiceWithin(const InvoiceDraft &draft, qint64 lowestNumber)
{
    QSqlDatabase db = connection.database();
    QSqlQuery query(db);
    const auto failed = [&](const QSqlQuery &q) {
        connection.noteError(q.lastError());
        return 0;
    };
    query.prepare(QStringLiteral("SELECT number, revision FROM invoice WHERE order_uid = ?%1")
                      .arg(connection.isSqlite() ? QString() : QStringLiteral(" FOR UPDATE")));
    query.addBindValue(draft.orderUid);
    if (!query.exec())
        return failed(query);
    const bool storedBefore = query.next();
    const qint64 storedNumber = storedBefore ? query.value(0).toLongLong() : 0;
    const int revision = storedBefore ? query.value(1).toInt() : 1;
    // The figures the invoice's documents print: the customer's discount, then the tax.
    const InvoiceFoot foot = invoiceFoot(draft.lines, footTerms(draft));
    QStringList descriptions;
    for (const OrderLine &line : draft.lines)
        descriptions.append(line.description);
    const QString searchText = descriptions.join(QLatin1Char('\n'));
    bool isVoid = !draft.documents.isEmpty();
    for (const DocumentRecord &document : draft.documents)
        isVoid = isVoid && !document.succeeded;

    qint64 number = storedNumber;
    if (storedBefore) {
        // Stored before: a retry after a lost answer, or an order restored after a crash. The
        // number stays the order's, the counter is not touched.
        query.prepare(
            QStringLiteral("SELECT count(*) FROM invoice_document WHERE invoice_number = ?"));
        query.addBindValue(number);
        if (!query.exec() || !query.next())
            return failed(query);
        if (query.value(0).toInt() > 0)
            return number;
        // No document carries the number yet: the document about to be made is the invoice, so
        // the invoice takes the order as it stands now.
        if (connection.isSqlite()) {
            query.prepare(QStringLiteral("INSERT INTO invoice_search (invoice_search, rowid, "
                                         "search_text) SELECT 'delete', number, search_text FROM "
                                         "invoice WHERE number = ?"));
            query.addBindValue(number);
            if (!query.exec())
                return failed(query);
        }
        // Only the latest revision is the draft's to replace; earlier ones stay as they were.
        query.prepare(
            QStringLiteral("DELETE FROM invoice_line WHERE invoice_number = ? AND revision = ?"));
        query.addBindValue(number);
        query.addBindValue(revision);
        if (!query.exec())
            return failed(query);
        query.prepare(QStringLiteral("UPDATE invoice SET line_count = ?, subtotal = ?, tax = ?, "
                                     "total = ?, template_path = ?, is_void = CASE WHEN "
                                     "void_reason <> '' THEN 1 ELSE ? END, search_text = ?, "
                                     "customer_id = ?, customer_name = ?, customer_full_name = ?, "
                                     "customer_inn = ?, customer_kpp = ?, customer_address = ?, "
                                     "customer_discount = ?, customer_kind = ?, tax_mode = ?, "
                                     "tax_rate = ?, tax_given = ?, tax_stored = ? WHERE "
                                     "number = ?"));
        for (const QVariant &value :
             {QVariant(draft.lines.size()), QVariant(foot.subtotal), QVariant(foot.tax),
              QVariant(foot.total), QVariant(notNull(draft.templatePath)), QVariant(int(isVoid)),
              QVariant(notNull(searchText))})
            query.addBindValue(value);
        bindCustomer(query, draft.customer);
        bindTax(query, draft);
        query.addBindValue(number);
        if (!query.exec())
            return failed(query);
    } else {
        // The counter row is the lock: a second counter's update waits here until this commits.
        query.prepare(
            QStringLiteral("UPDATE invoice_counter SET next_number = CASE WHEN "
                           "next_number < ? THEN ? ELSE next_number END + 1 WHERE id = 1"));
        query.addBindValue(lowestNumber);
        query.addBindValue(lowestNumber);
        if (!query.exec())
            return failed(query);
        if (!query.exec(QStringLiteral("SELECT next_number - 1 FROM invoice_counter WHERE id = 1"))
            || !query.next())
            return failed(query);
        number = query.value(0).toLongLong();
        query.prepare(QStringLiteral("INSERT INTO invoice (number, order_uid, created, counter, "
                                     "line_count, subtotal, tax, total, template_path, is_void, "
                                     "search_text, customer_id, customer_name, "
                                     "customer_full_name, customer_inn, customer_kpp, "
                                     "customer_address, customer_discount, customer_kind, "
                                     "tax_mode, tax_rate, tax_given, tax_stored) VALUES "
                                     "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                                     "?, ?, ?, ?)"));
        for (const QVariant &value :
             {QVariant(number), QVariant(notNull(draft.orderUid)),
              QVariant(storedTime(draft.created)), QVariant(notNull(draft.counter)),
              QVariant(draft.lines.size()), QVariant(foot.subtotal), QVariant(foot.tax),
              QVariant(foot.total), QVariant(notNull(draft.templatePath)), QVariant(int(isVoid)),
              QVariant(notNull(searchText))})
            query.addBindValue(value);
        bindCustomer(query, draft.customer);
        bindTax(query, draft);
        if (!query.exec())
            return failed(query);
    }
    if (connection.isSqlite()) {
        query.prepare(
            QStringLiteral("INSERT INTO invoice_search (rowid, search_text) VALUES (?, ?)"));
        query.addBindValue(number);
        query.addBindValue(notNull(searchText));
        if (!query.exec())
            return failed(query);
    }
    if (!insertLines(number, revision, draft.lines))
        return 0;
    query.prepare(DocumentInsert);
    for (const DocumentRecord &document : draft.documents) {
        bindDocument(query, number, document);
        if (!query.exec())
            return failed(query);
    }
    return number;
}

bool Journal::insertLines(qint64 number, int revision, const QVector<OrderLine> &lines)
{
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("INSERT INTO invoice_line (invoice_number, position, "
                                 "description, quantity, unit_price, key_text, titles, "
                                 "removal_marker, job, explanation, missing_price, price_version, "
                                 "revision) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (int i = 0; i < lines.size(); ++i) {
        query.addBindValue(number);
        query.addBindValue(i);
        bindLine(query, lines.at(i));
        query.addBindValue(revision);
        if (!query.exec()) {
            connection.noteError(query.lastError());
            return false;
        }
    }
    return true;
}

int Journal::storeRevisionWithin(qint64 number, const InvoiceDraft &draft)
{
    QSqlQuery query(connection.database());
    const auto failed = [&](const QSqlQuery &q) {
        connection.noteError(q.lastError());
        return 0;
    };
    query.prepare(QStringLiteral("SELECT revision FROM invoice WHERE number = ?%1")
                      .arg(connection.isSqlite() ? QString() : QStringLiteral(" FOR UPDATE")));
    query.addBindValue(number);
    if (!query.exec())
        return failed(query);
    if (!query.next())
        return 0;
    const int revision = query.value(0).toInt() + 1;
    const InvoiceFoot foot = invoiceFoot(draft.lines, footTerms(draft));
    QStringList descriptions;
    for (const OrderLine &line : draft.lines)
        descriptions.append(line.description);
    const QString searchText = descriptions.join(QLatin1Char('\n'));
    if (connection.isSqlite()) {
        query.prepare(QStringLiteral("INSERT INTO invoice_search (invoice_search, rowid, "
                                     "search_text) SELECT 'delete', number, search_text FROM "
                                     "invoice WHERE number = ?"));
        query.addBindValue(number);
        if (!query.exec())
            return failed(query);
    }
    query.prepare(QStringLiteral("UPDATE invoice SET line_count = ?, subtotal = ?, tax = ?, "
                                 "total = ?, search_text = ?, customer_id = ?, customer_name = ?, "
                                 "customer_full_name = ?, customer_inn = ?, customer_kpp = ?, "
                                 "customer_address = ?, customer_discount = ?, customer_kind = ?, "
                                 "tax_mode = ?, tax_rate = ?, tax_given = ?, tax_stored = ?, "
                                 "revision = ? WHERE number = ?"));
    for (const QVariant &value :
         {QVariant(draft.lines.size()), QVariant(foot.subtotal), QVariant(foot.tax),
          QVariant(foot.total), QVariant(notNull(searchText))})
        query.addBindValue(value);
    bindCustomer(query, draft.customer);
    bindTax(query, draft);
    query.addBindValue(revision);
    query.addBindValue(number);
    if (!query.exec())
        return failed(query);
    if (connection.isSqlite()) {
        query.prepare(
            QStringLiteral("INSERT INTO invoice_search (rowid, search_text) VALUES (?, ?)"));
        query.addBindValue(number);
        query.addBindValue(notNull(searchText));
        if (!query.exec())
            return failed(query);
    }
    return insertLines(number, revision, draft.lines) ? revision : 0;
}

bool Journal::addDocument(qint64 number, const DocumentRecord &document)
{
    if (!connection.isOpen())
        return false;
    QSqlDatabase db = connection.database();
    Transaction transaction(connection);
    if (!transaction.isActive())
        return false;
    QSqlQuery query(db);
    query.prepare(DocumentInsert);
    bindDocument(query, number, document);
    bool done = query.exec();
    // An act is made of an invoice and says nothing of whether the invoice itself went out.
    if (done && !document.isAct()) {
        // A void by hand stands whatever document follows.
        query.prepare(QStringLiteral("UPDATE invoice SET is_void = CASE WHEN void_reason <> '' "
                                     "THEN 1 WHEN EXISTS (SELECT 1 FROM invoice_document WHERE "
                                     "invoice_number = ? AND succeeded = 1 AND kind NOT LIKE "
                                     "'act-%') THEN 0 ELSE 1 END WHERE number = ?"));
        query.addBindValue(number);
        query.addBindValue(number);
        done = query.exec();
    }
    if (!done) {
        connection.noteError(query.lastError());
        return false;
    }
    if (!transaction.commit())
        return false;
    return true;
}

VoidOutcome Journal::voidByHand(qint64 number, const HandVoid &mark)
{
    if (!connection.isOpen() || !connection.writable())
        return VoidOutcome::Failed;
    Transaction transaction(connection);
    if (!transaction.isActive())
        return VoidOutcome::Failed;
    const VoidOutcome outcome = voidByHandWithin(number, mark);
    if (outcome == VoidOutcome::Done && !transaction.commit())
        return VoidOutcome::Failed;
    return outcome;
}

VoidOutcome Journal::voidByHandWithin(qint64 number, const HandVoid &mark)
{
    if (mark.reason.trimmed().isEmpty())
        return VoidOutcome::NoReason;
    QSqlQuery query(connection.database());
    const auto failed = [&] {
        connection.noteError(query.lastError());
        return VoidOutcome::Failed;
    };
    query.prepare(QStringLiteral("SELECT is_void FROM invoice WHERE number = ?%1")
                      .arg(connection.isSqlite() ? QString() : QStringLiteral(" FOR UPDATE")));
    query.addBindValue(number);
    if (!query.exec())
        return failed();
    if (!query.next())
        return VoidOutcome::NoSuchInvoice;
    if (query.value(0).toInt() != 0)
        return VoidOutcome::AlreadyVoid;
    query.prepare(QStringLiteral("UPDATE invoice SET is_void = 1, void_reason = ?, voided_at = ?, "
                                 "voided_counter = ?, voided_by = ?, voided_approver = ? WHERE "
                                 "number = ?"));
    query.addBindValue(mark.reason.trimmed());
    query.addBindValue(storedTime(mark.at.isValid() ? mark.at : QDateTime::currentDateTime()));
    query.addBindValue(notNull(mark.counter));
    query.addBindValue(notNull(mark.operatorName));
    query.addBindValue(notNull(mark.approver));
    query.addBindValue(number);
    if (!query.exec())
        return failed();
    return VoidOutcome::Done;
}

QString voidOutcomeText(VoidOutcome outcome, qint64 number, const QString &error)
{
    switch (outcome) {
    case VoidOutcome::Done:
        return QStringLiteral("Счёт № %1 аннулирован.").arg(number);
    case VoidOutcome::NoReason:
        return QStringLiteral("Укажите причину аннулирования счёта № %1.").arg(number);
    case VoidOutcome::NoSuchInvoice:
        return QStringLiteral("Счёта № %1 в журнале нет.").arg(number);
    case VoidOutcome::AlreadyVoid:
        return QStringLiteral("Счёт %1 уже аннулирован").arg(number);
    case VoidOutcome::Failed:
        break;
    }
    return error;
}

QString voidAuditOldValue(qint64 number)
{
    return QStringLiteral("счёт № %1: действителен").arg(number);
}

QString voidAuditNewValue(const QString &reason)
{
    return QStringLiteral("аннулирован: ") + reason.trimmed();
}

QVector<InvoiceSummary> Journal::find(const JournalQuery &search, bool *ok)
{
    QVector<InvoiceSummary> found;
    QStringList conditions;
    QVariantList values;
    const QStringList words = searchWords(search.words);
    QString from = QStringLiteral("invoice i");
    QString order = QStringLiteral("i.number DESC");
    if (!words.isEmpty()) {
        // A word finds the lines' texts, or the customer's name or ИНН on its card or on the
        // order: every word in one of the two.
        QStringList terms;
        QString inLines;
        if (connection.isSqlite()) {
            for (const QString &word : words)
                terms.append(QLatin1Char('"') + word + QStringLiteral("\"*"));
            inLines = QStringLiteral(
                "i.number IN (SELECT rowid FROM invoice_search WHERE invoice_search MATCH ?)");
            values.append(terms.join(QLatin1Char(' ')));
        } else {
            for (const QString &word : words)
                terms.append(QLatin1Char('\'') + word + QStringLiteral("':*"));
            inLines = QStringLiteral("i.search_words @@ to_tsquery('simple', ?)");
            values.append(terms.join(QStringLiteral(" & ")));
        }
        QStringList onCard;
        QStringList onOrder;
        QVariantList cardValues;
        QVariantList orderValues;
        for (const QString &word : words) {
            const QString start = foldedSearchText(word) + QLatin1Char('%');
            const QString later = QStringLiteral("% ") + start;
            onCard.append(
                QStringLiteral("(search_name LIKE ? OR search_name LIKE ? OR inn LIKE ?)"));
            cardValues << QVariant(start) << QVariant(later)
                       << QVariant(QString(word + QLatin1Char('%')));
            onOrder.append(QStringLiteral("(search_name LIKE ? OR search_name LIKE ?)"));
            orderValues << QVariant(start) << QVariant(later);
        }
        conditions.append(
            QStringLiteral("(%1 OR i.customer_id IN (SELECT id FROM customer WHERE %2) "
                           "OR i.number IN (SELECT invoice_number FROM taken_order "
                           "WHERE %3))")
                .arg(inLines, onCard.join(QStringLiteral(" AND ")),
                     onOrder.join(QStringLiteral(" AND "))));
        values << cardValues << orderValues;
    }
    if (search.customerId > 0) {
        conditions.append(QStringLiteral("i.customer_id = ?"));
        values.append(search.customerId);
    }
    if (search.number > 0) {
        conditions.append(QStringLiteral("i.number = ?"));
        values.append(search.number);
    }
    if (search.from.isValid()) {
        conditions.append(QStringLiteral("i.created >= ?"));
        values.append(dayStart(search.from));
    }
    if (search.to.isValid()) {
        conditions.append(QStringLiteral("i.created < ?"));
        values.append(dayStart(search.to.addDays(1)));
    }
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(SummaryColumns, from);
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY ") + order;
    if (search.limit > 0)
        sql += QStringLiteral(" LIMIT %1").arg(search.limit);

    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    bool done = connection.isOpen() && query.prepare(sql);
    for (const QVariant &value : qAsConst(values))
        query.addBindValue(value);
    done = done && query.exec();
    if (!done)
        connection.noteError(query.lastError());
    while (done && query.next())
        found.append(readSummary(query));
    if (ok)
        *ok = done;
    return found;
}

bool Journal::load(qint64 number, InvoiceRecord *record)
{
    if (!connection.isOpen())
        return false;
    QSqlQuery query(connection.database());
    query.prepare(
        QStringLiteral("SELECT %1 FROM invoice i WHERE i.number = ?").arg(SummaryColumns));
    query.addBindValue(number);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return false;
    }
    if (!query.next())
        return false;
    record->summary = readSummary(query);
    record->customer = record->summary.customer;
    record->lines.clear();
    record->documents.clear();
    if (!loadLines(number, record->summary.revision, &record->lines))
        return false;
    query.prepare(QStringLiteral("SELECT kind, made, succeeded, path, counter, operator_name, "
                                 "act_date FROM invoice_document WHERE invoice_number = ? "
                                 "ORDER BY made"));
    query.addBindValue(number);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return false;
    }
    while (query.next())
        record->documents.append(
            {query.value(0).toString(), readStoredTime(query.value(1).toString()),
             query.value(2).toInt() != 0, query.value(3).toString(), query.value(4).toString(),
             query.value(5).toString(), QDate::fromString(query.value(6).toString(), Qt::ISODate)});
    return true;
}

bool Journal::loadLines(qint64 number, int revision, QVector<OrderLine> *lines)
{
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("SELECT description, quantity, unit_price, key_text, titles, "
                                 "removal_marker, job, explanation, missing_price, price_version "
                                 "FROM invoice_line WHERE invoice_number = ? AND revision = ? "
                                 "ORDER BY position"));
    query.addBindValue(number);
    query.addBindValue(revision);
    if (!connection.isOpen() || !query.exec()) {
        connection.noteError(query.lastError());
        return false;
    }
    lines->clear();
    while (query.next())
        lines->append(readLine(query, 0));
    return true;
}

bool Journal::forEachLine(
    const QDate &from, const QDate &to,
    const std::function<void(const InvoiceSummary &, const OrderLine &)> &visit)
{
    QStringList conditions;
    QVariantList values;
    if (from.isValid()) {
        conditions.append(QStringLiteral("i.created >= ?"));
        values.append(dayStart(from));
    }
    if (to.isValid()) {
        conditions.append(QStringLiteral("i.created < ?"));
        values.append(dayStart(to.addDays(1)));
    }
    QString sql
        = QStringLiteral("SELECT %1, l.description, l.quantity, l.unit_price, l.key_text, "
                         "l.titles, l.removal_marker, l.job, l.explanation, "
                         "l.missing_price, l.price_version FROM invoice i JOIN invoice_line l ON "
                         "l.invoice_number = i.number AND l.revision = i.revision")
              .arg(SummaryColumns);
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY i.number, l.position");
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    bool done = connection.isOpen() && query.prepare(sql);
    for (const QVariant &value : qAsConst(values))
        query.addBindValue(value);
    if (!done || !query.exec()) {
        connection.noteError(query.lastError());
        return false;
    }
    while (query.next())
        visit(readSummary(query), readLine(query, SummaryColumnCount));
    return true;
}

bool Journal::counts(JournalCounts *counts)
{
    QSqlQuery query(connection.database());
    const bool done = connection.isOpen()
        && query.exec(QStringLiteral(
            "SELECT (SELECT count(*) FROM invoice), (SELECT count(*) FROM invoice WHERE is_void "
            "<> 0), (SELECT count(*) FROM invoice_line l JOIN invoice i ON i.number = "
            "l.invoice_number AND l.revision = i.revision), (SELECT count(*) FROM "
            "invoice_document), "
            "(SELECT count(*) FROM local_order o WHERE state = 0 AND EXISTS (SELECT 1 FROM "
            "local_line l WHERE l.order_uid = o.uid)), (SELECT count(*) FROM local_order WHERE "
            "state = 3)"))
        && query.next();
    if (!done) {
        connection.noteError(query.lastError());
        return false;
    }
    counts->invoices = query.value(0).toInt();
    counts->voided = query.value(1).toInt();
    counts->lines = query.value(2).toInt();
    counts->documents = query.value(3).toInt();
    counts->openOrders = query.value(4).toInt();
    counts->waitingOrders = query.value(5).toInt();
    return true;
}
