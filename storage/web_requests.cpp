// The website's requests: their own table and sequence; a confirmed one becomes an order through
// the order book, keyed so that a retry takes the same order.
#include "storage/web_requests.h"

#include "customers/requisites.h"
#include "order/money.h"
#include "storage/connection.h"
#include "storage/customer_store.h"
#include "storage/mail_queue.h"
#include "storage/transaction.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

// Bound as text even when empty: the columns take no NULL.
QString asText(const QString &text)
{
    return text.isNull() ? QString(QLatin1String("")) : text;
}

QString linesText(const QVector<OrderLine> &lines)
{
    QJsonArray stored;
    for (const OrderLine &line : lines) {
        stored.append(QJsonObject {{QStringLiteral("description"), line.description},
                                   {QStringLiteral("quantity"), line.quantity},
                                   {QStringLiteral("unitPrice"), line.unitPrice},
                                   {QStringLiteral("keyText"), line.keyText},
                                   {QStringLiteral("titles"), line.titles},
                                   {QStringLiteral("removalMarker"), line.removalMarker},
                                   {QStringLiteral("job"), line.job},
                                   {QStringLiteral("explanation"), line.explanation},
                                   {QStringLiteral("missingPrice"), line.missingPrice},
                                   {QStringLiteral("priceVersion"), line.priceVersion}});
    }
    return QString::fromUtf8(QJsonDocument(stored).toJson(QJsonDocument::Compact));
}

QVector<OrderLine> linesOf(const QString &text)
{
    QVector<OrderLine> lines;
    for (const QJsonValue &value : QJsonDocument::fromJson(text.toUtf8()).array()) {
        const QJsonObject item = value.toObject();
        OrderLine line;
        line.description = item.value(QStringLiteral("description")).toString();
        line.quantity = item.value(QStringLiteral("quantity")).toString();
        line.unitPrice = item.value(QStringLiteral("unitPrice")).toString();
        line.keyText = item.value(QStringLiteral("keyText")).toString();
        line.titles = item.value(QStringLiteral("titles")).toString();
        line.removalMarker = item.value(QStringLiteral("removalMarker")).toBool();
        line.job = item.value(QStringLiteral("job")).toObject();
        line.explanation = item.value(QStringLiteral("explanation")).toString();
        line.missingPrice = item.value(QStringLiteral("missingPrice")).toBool();
        line.priceVersion = item.value(QStringLiteral("priceVersion")).toInt();
        line.readNumbers();
        lines.append(line);
    }
    return lines;
}

const QString Columns = QStringLiteral("number, status, created, name, phone, email, comment, due, "
                                       "lines, price_version, total_kopecks, invoice_number, "
                                       "cancel_reason");

WebRequestRecord recordOf(const QSqlQuery &query)
{
    WebRequestRecord request;
    request.number = query.value(0).toLongLong();
    request.state = WebRequestRecord::State(query.value(1).toInt());
    request.created = QDateTime::fromString(query.value(2).toString(), Qt::ISODate);
    request.name = query.value(3).toString();
    request.phone = query.value(4).toString();
    request.email = query.value(5).toString();
    request.comment = query.value(6).toString();
    request.due = QDate::fromString(query.value(7).toString(), Qt::ISODate);
    request.lines = linesOf(query.value(8).toString());
    request.priceVersion = query.value(9).toInt();
    request.totalKopecks = query.value(10).toLongLong();
    request.invoiceNumber = query.value(11).toLongLong();
    request.cancelReason = query.value(12).toString();
    return request;
}

// The boards of the other counters follow a request as they follow an order.
bool announce(Connection &connection)
{
    if (connection.isSqlite())
        return true;
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("SELECT pg_notify(?, '')"));
    query.addBindValue(OrderBook::changeChannel());
    if (query.exec())
        return true;
    connection.noteError(query.lastError());
    return false;
}

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

qint64 storeWebRequest(Connection &connection, const WebRequestRecord &request,
                       const QDeadlineTimer &storeBy, const std::function<bool()> &wanted,
                       const RequestMail &mail)
{
    if (storeBy.hasExpired())
        return 0;
    Transaction transaction(connection);
    // A server that answered the transaction's start late leaves no time to store it in.
    if (!transaction.isActive() || storeBy.hasExpired())
        return 0;
    QSqlQuery query(connection.database());
    const bool sqlite = connection.isSqlite();
    if (!sqlite && !storeBy.isForever()) {
        // The server refuses the commit itself once this is spent, counted from the start of the
        // transaction by its own clock: a commit held up by a frozen server is never kept late.
        query.prepare(QStringLiteral("SELECT set_config('printcalc.commit_within_ms', ?, true)"));
        query.addBindValue(QString::number(storeBy.remainingTime()));
        if (!query.exec()) {
            connection.noteError(query.lastError());
            return 0;
        }
    }
    query.prepare(QStringLiteral("INSERT INTO web_request (status, created, name, phone, email, "
                                 "comment, due, lines, price_version, total_kopecks) VALUES "
                                 "(0, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                  + (sqlite ? QString() : QStringLiteral(" RETURNING number")));
    query.addBindValue(request.created.toString(Qt::ISODate));
    query.addBindValue(asText(request.name));
    query.addBindValue(asText(request.phone));
    query.addBindValue(asText(request.email));
    query.addBindValue(asText(request.comment));
    query.addBindValue(asText(request.due.toString(Qt::ISODate)));
    query.addBindValue(linesText(request.lines));
    query.addBindValue(request.priceVersion);
    query.addBindValue(request.totalKopecks);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return 0;
    }
    const qint64 number = sqlite ? query.lastInsertId().toLongLong()
                                 : (query.next() ? query.value(0).toLongLong() : 0);
    query.finish();
    if (number <= 0)
        return 0;
    if (mail && !request.email.trimmed().isEmpty()) {
        const MailText text = mail(number, request);
        if (!queueMail(connection, 0, request.email.trimmed(), text.subject, text.body,
                       request.created))
            return 0;
    }
    if (!announce(connection) || storeBy.hasExpired() || (wanted && !wanted()))
        return 0;
    return transaction.commit() ? number : 0;
}

namespace {

// The request read; under its row's lock when asked (SQLite's writer holds the whole file), so
// that a confirm and a decline of it at once find each other's outcome.
bool readRequest(Connection &connection, qint64 number, bool forUpdate, WebRequestRecord *request,
                 bool *found)
{
    QSqlQuery query(connection.database());
    query.prepare(
        QStringLiteral("SELECT ") + Columns + QStringLiteral(" FROM web_request WHERE number = ?")
        + (forUpdate && !connection.isSqlite() ? QStringLiteral(" FOR UPDATE") : QString()));
    query.addBindValue(number);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return false;
    }
    *found = query.next();
    if (*found)
        *request = recordOf(query);
    return true;
}

} // namespace

bool loadWebRequest(Connection &connection, qint64 number, WebRequestRecord *request)
{
    bool found = false;
    return readRequest(connection, number, false, request, &found) && found;
}

QVector<WebRequestRecord> waitingWebRequests(Connection &connection, bool *ok)
{
    QVector<WebRequestRecord> requests;
    QSqlQuery query(connection.database());
    const bool done = query.exec(QStringLiteral("SELECT ") + Columns
                                 + QStringLiteral(" FROM web_request WHERE status = 0 ORDER BY "
                                                  "number"));
    while (done && query.next())
        requests.append(recordOf(query));
    if (ok)
        *ok = done;
    return requests;
}

namespace {

// What the request is now, when it no longer waits for a decision.
QString decidedText(const WebRequestRecord &request)
{
    return request.state == WebRequestRecord::Cancelled
        ? QStringLiteral("Заявка № %1 уже отклонена").arg(requestNumberText(request.number))
        : QStringLiteral("Заявка № %1 уже принята: заказ № %2")
              .arg(requestNumberText(request.number))
              .arg(request.invoiceNumber);
}

// The card the order is made for, stored in the caller's transaction when new; false with the
// reason.
bool cardOfRequest(Connection &connection, const WebRequestRecord &request, const RequestCard &card,
                   const QString &counter, Customer *customer, QString *error)
{
    CustomerStore cards(connection);
    if (card.choice == RequestCard::Existing) {
        if (cards.load(card.id, customer))
            return true;
        return fail(error,
                    connection.fault() == StorageFault::None
                        ? QStringLiteral("карточки клиента № %1 больше нет").arg(card.id)
                        : connection.errorText());
    }
    Customer made;
    made.kind = Customer::Person;
    made.shortName = request.name.trimmed();
    made.phone = request.phone.trimmed();
    made.email = request.email.trimmed();
    // Another counter may have made the same person's card meanwhile: that one is taken.
    if (cards.findSame(made, customer))
        return true;
    if (connection.fault() != StorageFault::None)
        return fail(error, connection.errorText());
    QVector<CustomerProblem> problems;
    switch (cards.save(&made, counter, &problems, customer)) {
    case CustomerSaveResult::Saved:
        *customer = made;
        return true;
    case CustomerSaveResult::Invalid: {
        QStringList told;
        for (const CustomerProblem &problem : qAsConst(problems))
            told << problem.message;
        return fail(
            error,
            QStringLiteral("карточка клиента не создана: %1").arg(told.join(QStringLiteral("; "))));
    }
    case CustomerSaveResult::Duplicate:
    case CustomerSaveResult::Failed:
        break;
    }
    return fail(error,
                QStringLiteral("карточка клиента не создана: %1").arg(connection.errorText()));
}

} // namespace

bool requestCards(Connection &connection, const WebRequestRecord &request, QVector<Customer> *cards)
{
    return CustomerStore(connection).findByContact(request.phone, request.email, 5, cards);
}

qint64 confirmWebRequest(Connection &connection, OrderBook &book, qint64 number,
                         const QString &counter, qint64 lowestNumber, QString *error,
                         const RequestCard &card)
{
    const QString named = requestNumberText(number);
    Transaction transaction(connection);
    if (!transaction.isActive())
        return fail(error, connection.errorText()), 0;
    WebRequestRecord request;
    bool found = false;
    if (!readRequest(connection, number, true, &request, &found))
        return fail(error, connection.errorText()), 0;
    if (!found)
        return fail(error, QStringLiteral("Заявки № %1 нет").arg(named)), 0;
    if (request.state == WebRequestRecord::Cancelled)
        return fail(error, decidedText(request)), 0;
    // Confirmed by another counter meanwhile: the same order for both.
    if (request.state == WebRequestRecord::Confirmed)
        return transaction.commit() ? request.invoiceNumber
                                    : (fail(error, connection.errorText()), 0);
    OrderIntake intake;
    // One order per request: a confirmation repeated after a failure takes the same order.
    intake.draft.orderUid = QStringLiteral("web-request-") + QString::number(number);
    intake.draft.created = QDateTime::currentDateTime();
    intake.draft.counter = counter;
    intake.draft.lines = request.lines;
    intake.draft.customer.kind = Customer::Person;
    intake.draft.customer.shortName = request.name;
    intake.draft.customer.fullName = request.name;
    intake.draft.customer.phone = request.phone;
    intake.draft.customer.email = request.email;
    if (card.choice != RequestCard::ContactOnly) {
        QString problem;
        if (!cardOfRequest(connection, request, card, counter, &intake.draft.customer, &problem))
            return fail(error, problem), 0;
    }
    if (request.due.isValid())
        intake.due = QDateTime(request.due, QTime(18, 0));
    intake.note = request.comment;
    intake.source = QStringLiteral("сайт");
    intake.phone = request.phone;
    intake.email = request.email;
    const qint64 invoice = book.take(intake, lowestNumber);
    if (invoice == 0)
        return fail(error, connection.errorText()), 0;
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("UPDATE web_request SET status = 1, invoice_number = ? WHERE "
                                 "number = ? AND status = 0"));
    query.addBindValue(invoice);
    query.addBindValue(number);
    if (!query.exec() || query.numRowsAffected() != 1) {
        connection.noteError(query.lastError());
        return fail(error,
                    QStringLiteral("Заявка № %1 не отмечена принятой в базе: %2")
                        .arg(named, connection.errorText())),
               0;
    }
    if (!transaction.commit())
        return fail(error, connection.errorText()), 0;
    return invoice;
}

bool cancelWebRequest(Connection &connection, qint64 number, QString *error, const QString &reason)
{
    const QString named = requestNumberText(number);
    Transaction transaction(connection);
    if (!transaction.isActive())
        return fail(error, connection.errorText());
    WebRequestRecord request;
    bool found = false;
    if (!readRequest(connection, number, true, &request, &found))
        return fail(error, connection.errorText());
    if (!found)
        return fail(error, QStringLiteral("Заявки № %1 нет").arg(named));
    if (request.state != WebRequestRecord::Waiting)
        return fail(error, decidedText(request));
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral(
        "UPDATE web_request SET status = 2, cancel_reason = ? WHERE number = ? AND status = 0"));
    query.addBindValue(asText(reason.trimmed()));
    query.addBindValue(number);
    if (!query.exec())
        return fail(error,
                    QStringLiteral("Заявку № %1 не удалось отменить в базе: %2")
                        .arg(named, query.lastError().text()));
    if (query.numRowsAffected() != 1)
        return fail(error, QStringLiteral("Заявка № %1 не ждёт решения").arg(named));
    if (!announce(connection) || !transaction.commit())
        return fail(error, connection.errorText());
    return true;
}

QVector<TakenOrder> waitingRequestRows(Connection &connection, const QString &text, bool *ok)
{
    QVector<TakenOrder> rows;
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    const bool done = connection.isOpen()
        && query.exec(QStringLiteral("SELECT number, created, name, phone, email, due, "
                                     "total_kopecks, comment FROM web_request WHERE status = 0 "
                                     "ORDER BY number"));
    if (!done)
        connection.noteError(query.lastError());
    const QString typed = text.simplified();
    const QString folded = foldedSearchText(typed);
    QString digits = typed;
    digits.remove(QRegularExpression(QStringLiteral("\\D")));
    // A phone typed whole is compared as stored, its 8 read as 7.
    if (digits.size() >= 10)
        digits = phoneDigits(typed);
    qint64 asNumber = 0;
    const bool isNumber = readRequestNumber(QString(typed).remove(QLatin1Char(' ')), &asNumber);
    const QString source = QStringLiteral("сайт");
    while (done && query.next()) {
        TakenOrder row;
        row.requestNumber = query.value(0).toLongLong();
        row.created = QDateTime::fromString(query.value(1).toString(), Qt::ISODate);
        row.customer.kind = Customer::Person;
        row.customer.shortName = query.value(2).toString();
        row.phone = query.value(3).toString();
        row.email = query.value(4).toString();
        row.customer.phone = row.phone;
        row.customer.email = row.email;
        const QDate due = QDate::fromString(query.value(5).toString(), Qt::ISODate);
        // The wish is a day: the order takes it as the day's evening when confirmed.
        if (due.isValid())
            row.due = QDateTime(due, QTime(18, 0));
        row.totalKopecks = query.value(6).toLongLong();
        row.note = query.value(7).toString();
        row.source = source;
        if (!typed.isEmpty()) {
            const bool found = (isNumber && asNumber == row.requestNumber)
                || (!folded.isEmpty()
                    && (foldedSearchText(row.customer.shortName).contains(folded)
                        || foldedSearchText(row.email).contains(folded)))
                || (digits.size() >= 3 && phoneDigits(row.phone).contains(digits));
            if (!found)
                continue;
        }
        rows.append(row);
    }
    if (ok)
        *ok = done;
    return rows;
}
