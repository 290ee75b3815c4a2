// Writing the order's changes and reading orders back.
#include "storage/order_store.h"

#include "storage/connection.h"
#include "storage/sql_lines.h"
#include "storage/transaction.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QVariant>

namespace {

const QString LineColumns = QStringLiteral(
    "description, quantity, unit_price, key_text, titles, removal_marker, job, explanation, "
    "missing_price, price_version");

QString jobText(const QJsonObject &job)
{
    return job.isEmpty() ? QString()
                         : QString::fromUtf8(QJsonDocument(job).toJson(QJsonDocument::Compact));
}

QJsonArray documentsJson(const QString &text)
{
    return QJsonDocument::fromJson(text.toUtf8()).array();
}

} // namespace

// Binds an order line's columns in the order of LineColumns; shared with the journal.
void bindLine(QSqlQuery &query, const OrderLine &line)
{
    query.addBindValue(notNull(line.description));
    query.addBindValue(notNull(line.quantity));
    query.addBindValue(notNull(line.unitPrice));
    query.addBindValue(notNull(line.keyText));
    query.addBindValue(notNull(line.titles));
    query.addBindValue(int(line.removalMarker));
    query.addBindValue(notNull(jobText(line.job)));
    query.addBindValue(notNull(line.explanation));
    query.addBindValue(int(line.missingPrice));
    query.addBindValue(line.priceVersion);
}

// Reads the columns of LineColumns starting at the given field.
OrderLine readLine(const QSqlQuery &query, int first)
{
    OrderLine line;
    line.description = query.value(first).toString();
    line.quantity = query.value(first + 1).toString();
    line.unitPrice = query.value(first + 2).toString();
    line.keyText = query.value(first + 3).toString();
    line.titles = query.value(first + 4).toString();
    line.removalMarker = query.value(first + 5).toInt() != 0;
    line.job = QJsonDocument::fromJson(query.value(first + 6).toString().toUtf8()).object();
    line.explanation = query.value(first + 7).toString();
    line.missingPrice = query.value(first + 8).toInt() != 0;
    line.priceVersion = query.value(first + 9).toInt();
    return line;
}

QVector<DocumentRecord> readDocuments(const QString &text)
{
    QVector<DocumentRecord> documents;
    for (const QJsonValue &value : documentsJson(text)) {
        const QJsonObject object = value.toObject();
        documents.append({object.value(QLatin1String("kind")).toString(),
                          readStoredTime(object.value(QLatin1String("made")).toString()),
                          object.value(QLatin1String("succeeded")).toBool()});
    }
    return documents;
}

OrderStore::OrderStore(Connection &c)
    : connection(c)
{ }

bool OrderStore::prepare()
{
    if (prepared)
        return true;
    const QSqlDatabase db = connection.database();
    upsertLine = QSqlQuery(db);
    deleteLine = QSqlQuery(db);
    moveLine = QSqlQuery(db);
    touchOrder = QSqlQuery(db);
    prepared
        = upsertLine.prepare(QStringLiteral("INSERT INTO local_line (order_uid, line_id, "
                                            "position, %1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, "
                                            "?, ?, ?, ?) ON CONFLICT (order_uid, line_id) DO "
                                            "UPDATE SET position = excluded.position, "
                                            "description = excluded.description, quantity = "
                                            "excluded.quantity, unit_price = "
                                            "excluded.unit_price, key_text = "
                                            "excluded.key_text, titles = excluded.titles, "
                                            "removal_marker = excluded.removal_marker, job = "
                                            "excluded.job, explanation = excluded.explanation, "
                                            "missing_price = excluded.missing_price, "
                                            "price_version = excluded.price_version")
                                 .arg(LineColumns))
        && deleteLine.prepare(
            QStringLiteral("DELETE FROM local_line WHERE order_uid = ? AND line_id = ?"))
        && moveLine.prepare(QStringLiteral(
            "UPDATE local_line SET position = ? WHERE order_uid = ? AND line_id = ?"))
        && touchOrder.prepare(
            QStringLiteral("UPDATE local_order SET changed = ?, template_path = ? WHERE uid = ?"));
    if (!prepared)
        connection.noteError(upsertLine.lastError().isValid() ? upsertLine.lastError()
                                                              : db.lastError());
    return prepared;
}

bool OrderStore::apply(const OrderChange &change)
{
    if (!connection.isOpen() || !connection.writable() || !prepare())
        return false;
    QSqlDatabase db = connection.database();
    Transaction transaction(connection);
    if (!transaction.isActive())
        return false;
    QSqlQuery query(db);
    const auto failed = [&](const QSqlQuery &q) {
        connection.noteError(q.lastError());
        return false;
    };
    const QString at = storedTime(change.at);
    if (change.create) {
        query.prepare(QStringLiteral("INSERT INTO local_order (uid, counter, started, changed, "
                                     "state, template_path, customer) VALUES (?, ?, ?, ?, 0, ?, "
                                     "?)"));
        for (const QVariant &value :
             {QVariant(notNull(change.uid)), QVariant(notNull(change.counter)), QVariant(at),
              QVariant(at), QVariant(notNull(change.templatePath)),
              QVariant(notNull(customerText(change.customer)))})
            query.addBindValue(value);
        if (!query.exec())
            return failed(query);
    }
    if (change.setCustomer && !change.create) {
        query.prepare(QStringLiteral("UPDATE local_order SET customer = ? WHERE uid = ?"));
        query.addBindValue(notNull(customerText(change.customer)));
        query.addBindValue(change.uid);
        if (!query.exec())
            return failed(query);
    }
    if (change.clearLines) {
        query.prepare(QStringLiteral("DELETE FROM local_line WHERE order_uid = ?"));
        query.addBindValue(change.uid);
        if (!query.exec())
            return failed(query);
    }
    for (const int id : change.removals) {
        deleteLine.addBindValue(change.uid);
        deleteLine.addBindValue(id);
        if (!deleteLine.exec())
            return failed(deleteLine);
    }
    for (const LineWrite &write : change.writes) {
        upsertLine.addBindValue(change.uid);
        upsertLine.addBindValue(write.id);
        upsertLine.addBindValue(write.position);
        bindLine(upsertLine, write.line);
        if (!upsertLine.exec())
            return failed(upsertLine);
    }
    for (const auto &position : change.positions) {
        moveLine.addBindValue(position.second);
        moveLine.addBindValue(change.uid);
        moveLine.addBindValue(position.first);
        if (!moveLine.exec())
            return failed(moveLine);
    }
    if (!change.uid.isEmpty() && !change.create) {
        touchOrder.addBindValue(at);
        touchOrder.addBindValue(notNull(change.templatePath));
        touchOrder.addBindValue(change.uid);
        if (!touchOrder.exec())
            return failed(touchOrder);
    }
    for (const auto &document : change.documents) {
        query.prepare(QStringLiteral("SELECT documents FROM local_order WHERE uid = ?"));
        query.addBindValue(document.first);
        if (!query.exec())
            return failed(query);
        QJsonArray list = query.next() ? documentsJson(query.value(0).toString()) : QJsonArray();
        list.append(QJsonObject {{QStringLiteral("kind"), document.second.kind},
                                 {QStringLiteral("made"), storedTime(document.second.made)},
                                 {QStringLiteral("succeeded"), document.second.succeeded}});
        query.prepare(QStringLiteral("UPDATE local_order SET documents = ? WHERE uid = ?"));
        query.addBindValue(QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact)));
        query.addBindValue(document.first);
        if (!query.exec())
            return failed(query);
    }
    for (const OrderStateChange &state : change.states) {
        query.prepare(QStringLiteral("UPDATE local_order SET state = ?, invoice_number = ? "
                                     "WHERE uid = ?"));
        query.addBindValue(int(state.state));
        query.addBindValue(state.invoiceNumber > 0 ? QVariant(state.invoiceNumber)
                                                   : QVariant(QVariant::LongLong));
        query.addBindValue(state.uid);
        if (!query.exec())
            return failed(query);
    }
    if (!transaction.commit())
        return false;
    return true;
}

namespace {

StoredOrder readOrder(const QSqlQuery &query)
{
    StoredOrder order;
    order.uid = query.value(0).toString();
    order.counter = query.value(1).toString();
    order.started = readStoredTime(query.value(2).toString());
    order.changed = readStoredTime(query.value(3).toString());
    order.state = OrderState(query.value(4).toInt());
    order.invoiceNumber = query.value(5).toLongLong();
    order.templatePath = query.value(6).toString();
    order.documents = readDocuments(query.value(7).toString());
    order.lineCount = query.value(8).toInt();
    order.customer = readCustomerText(query.value(9).toString());
    return order;
}

const QString OrderColumns = QStringLiteral(
    "o.uid, o.counter, o.started, o.changed, o.state, o.invoice_number, o.template_path, "
    "o.documents, (SELECT count(*) FROM local_line l WHERE l.order_uid = o.uid), o.customer");

} // namespace

QVector<StoredOrder> OrderStore::unfinished(const QString &counter, const QStringList &except,
                                            bool *ok)
{
    QVector<StoredOrder> orders;
    QSqlQuery query(connection.database());
    // Times are kept to the second; among orders of the same second the later made comes first.
    query.prepare(QStringLiteral("SELECT %1 FROM local_order o WHERE o.counter = ? AND o.state = 0 "
                                 "ORDER BY o.changed DESC, o.started DESC%2")
                      .arg(OrderColumns,
                           connection.isSqlite() ? QStringLiteral(", o.rowid DESC") : QString()));
    query.addBindValue(counter);
    const bool done = connection.isOpen() && query.exec();
    if (!done)
        connection.noteError(query.lastError());
    while (done && query.next()) {
        StoredOrder order = readOrder(query);
        if (order.lineCount > 0 && !except.contains(order.uid))
            orders.append(order);
    }
    if (ok)
        *ok = done;
    return orders;
}

bool OrderStore::load(const QString &uid, StoredOrder *order)
{
    if (!connection.isOpen())
        return false;
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("SELECT %1 FROM local_order o WHERE o.uid = ?").arg(OrderColumns));
    query.addBindValue(uid);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return false;
    }
    if (!query.next())
        return false;
    *order = readOrder(query);
    query.prepare(QStringLiteral("SELECT %1 FROM local_line WHERE order_uid = ? ORDER BY position")
                      .arg(LineColumns));
    query.addBindValue(uid);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return false;
    }
    order->lines.clear();
    while (query.next())
        order->lines.append(readLine(query, 0));
    return true;
}

QVector<StoredOrder> OrderStore::waiting(bool *ok)
{
    QVector<StoredOrder> orders;
    QStringList uids;
    QSqlQuery query(connection.database());
    bool done = connection.isOpen()
        && query.exec(QStringLiteral("SELECT uid FROM local_order WHERE state = 3 "
                                     "ORDER BY changed, started"));
    if (!done)
        connection.noteError(query.lastError());
    while (done && query.next())
        uids.append(query.value(0).toString());
    for (const QString &uid : qAsConst(uids)) {
        StoredOrder order;
        if (!load(uid, &order)) {
            done = false;
            break;
        }
        orders.append(order);
    }
    if (ok)
        *ok = done;
    return orders;
}
