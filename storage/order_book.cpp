// Taken orders in SQL: every write in one transaction with what depends on it (the invoice and
// the order, the status and its mail, a statement and all its payments).
#include "storage/order_book.h"

#include "customers/requisites.h"
#include "order/bank_statement.h"
#include "order/money.h"
#include "storage/connection.h"
#include "storage/customer_store.h"
#include "storage/journal.h"
#include "storage/mail_queue.h"
#include "storage/sql_lines.h"
#include "storage/transaction.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

const QString OrderColumns = QStringLiteral(
    "o.invoice_number, i.revision, o.status, o.due, o.note, o.source, o.created, o.counter, "
    "o.changed, o.customer_phone, o.customer_email, CAST(round(i.total * 100) AS BIGINT), "
    "o.paid_kopecks, i.customer_id, "
    "i.customer_name, i.customer_full_name, i.customer_inn, i.customer_kpp, i.customer_address, "
    "i.customer_discount, i.customer_kind");
// What the board shows of thousands of orders at a time, and no more: each value read costs.
const QString ListColumns = QStringLiteral(
    "o.invoice_number, o.status, o.due, o.customer_phone, CAST(round(i.total * 100) AS BIGINT), "
    "o.paid_kopecks, CASE WHEN i.customer_name <> '' THEN i.customer_name ELSE "
    "i.customer_full_name END, o.source");
// What was paid is kept on the order with each payment, in its transaction: the board lists
// thousands of orders, and the statement's import reads one per document.
const QString OrderTables
    = QStringLiteral("taken_order o JOIN invoice i ON i.number = o.invoice_number");

OrderStatus statusOf(int value)
{
    return value >= 0 && value <= int(OrderStatus::Cancelled) ? OrderStatus(value)
                                                              : OrderStatus::Accepted;
}

QueuedMail::State mailStateOf(int value)
{
    return value == QueuedMail::Sent   ? QueuedMail::Sent
        : value == QueuedMail::Failed  ? QueuedMail::Failed
        : value == QueuedMail::GivenUp ? QueuedMail::GivenUp
                                       : QueuedMail::Waiting;
}

PaymentMethod methodOf(int value)
{
    return value == int(PaymentMethod::Card)    ? PaymentMethod::Card
        : value == int(PaymentMethod::Transfer) ? PaymentMethod::Transfer
                                                : PaymentMethod::Cash;
}

// A stored local time without a time-zone lookup for each: the offset is looked up once per hour
// of a day and kept, since the board reads thousands of these at a time.
QDateTime listedTime(const QString &text, QHash<qint64, int> *offsets)
{
    if (text.size() != 19)
        return QDateTime();
    const auto part = [&](int from, int length) { return text.midRef(from, length).toInt(); };
    const QDate date(part(0, 4), part(5, 2), part(8, 2));
    const QTime time(part(11, 2), part(14, 2), part(17, 2));
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    const qint64 hour = date.toJulianDay() * 24 + time.hour();
    auto offset = offsets->constFind(hour);
    if (offset == offsets->constEnd())
        offset = offsets->insert(hour, QDateTime(date, QTime(time.hour(), 0)).offsetFromUtc());
    return QDateTime(date, time, Qt::OffsetFromUTC, offset.value());
}

TakenOrder readOrderRow(const QSqlQuery &query, QHash<qint64, int> *offsets)
{
    TakenOrder order;
    order.number = query.value(0).toLongLong();
    order.revision = query.value(1).toInt();
    order.status = statusOf(query.value(2).toInt());
    order.due = listedTime(query.value(3).toString(), offsets);
    order.note = query.value(4).toString();
    order.source = query.value(5).toString();
    order.created = listedTime(query.value(6).toString(), offsets);
    order.counter = query.value(7).toString();
    order.changed = listedTime(query.value(8).toString(), offsets);
    order.phone = query.value(9).toString();
    order.email = query.value(10).toString();
    // The journal stores its totals rounded to kopecks already.
    order.totalKopecks = query.value(11).toLongLong();
    order.paidKopecks = query.value(12).toLongLong();
    Customer &customer = order.customer;
    customer.id = query.value(13).toLongLong();
    customer.shortName = query.value(14).toString();
    customer.fullName = query.value(15).toString();
    customer.inn = query.value(16).toString();
    customer.kpp = query.value(17).toString();
    customer.address = query.value(18).toString();
    customer.discountHundredths = query.value(19).toInt();
    const int kind = query.value(20).toInt();
    customer.kind = kind == Customer::SoleTrader ? Customer::SoleTrader
        : kind == Customer::Person               ? Customer::Person
                                                 : Customer::Organisation;
    customer.phone = order.phone;
    customer.email = order.email;
    return order;
}

// Texts that repeat from row to row (the source, a regular's name) are shared, not kept once
// per order.
struct ListedTexts
{
    QHash<qint64, int> offsets;
    QString source;
    QString name;

    void share(QString *text, QString *last)
    {
        if (*text == *last)
            *text = *last;
        else
            *last = *text;
    }
};

TakenOrder readListedRow(const QSqlQuery &query, ListedTexts *texts)
{
    TakenOrder order;
    order.number = query.value(0).toLongLong();
    order.status = statusOf(query.value(1).toInt());
    order.due = listedTime(query.value(2).toString(), &texts->offsets);
    order.phone = query.value(3).toString();
    order.totalKopecks = query.value(4).toLongLong();
    order.paidKopecks = query.value(5).toLongLong();
    order.customer.shortName = query.value(6).toString();
    texts->share(&order.customer.shortName, &texts->name);
    order.customer.phone = order.phone;
    order.source = query.value(7).toString();
    texts->share(&order.source, &texts->source);
    return order;
}

// "1 200 ₽", "1 200,50 ₽": as the window and the customer read a sum.
QString roublesText(qint64 kopecks)
{
    return moneyText(double(kopecks) / 100.0);
}

QString likePattern(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('%'), QStringLiteral("\\%"))
        .replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

QString statementDate(const QDate &date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

QString statementPaymentReason(const StatementLine &line)
{
    return QStringLiteral("Выписка банка: № %1 от %2, %3")
        .arg(line.documentNumber, statementDate(line.date), line.payer);
}

} // namespace

bool TakenOrder::isOverdue(const QDateTime &now) const
{
    return (status == OrderStatus::Accepted || status == OrderStatus::InWork) && due.isValid()
        && due < now;
}

int StatementReport::count(StatementLine::Kind kind) const
{
    int found = 0;
    for (const StatementLine &line : lines)
        found += line.kind == kind ? 1 : 0;
    return found;
}

QString statementLineText(const StatementLine &line)
{
    QString text
        = QStringLiteral("Строка %1: № %2 от %3 на %4")
              .arg(line.line)
              .arg(line.documentNumber, statementDate(line.date), kopecksText(line.kopecks));
    if (!line.payer.isEmpty())
        text += QStringLiteral(" от ") + line.payer;
    text += QStringLiteral(" — ");
    switch (line.kind) {
    case StatementLine::PaidInFull:
        return text + QStringLiteral("счёт № %1 оплачен полностью.").arg(line.invoiceNumber);
    case StatementLine::PartlyPaid:
        return text
            + QStringLiteral("счёт № %1 оплачен частично, осталось %2.")
                  .arg(line.invoiceNumber)
                  .arg(kopecksText(line.balanceKopecks));
    case StatementLine::Overpaid:
        return text
            + QStringLiteral("счёт № %1 переплачен на %2.")
                  .arg(line.invoiceNumber)
                  .arg(kopecksText(-line.balanceKopecks));
    case StatementLine::NotMatched:
        return text
            + QStringLiteral("не сопоставлен (%1): «%2».").arg(line.why, line.purpose.left(200));
    case StatementLine::AlreadyImported:
        return text + QStringLiteral("уже загружен, повторно не учтён.");
    case StatementLine::NotIncoming:
        return text + QStringLiteral("не поступление на счёт магазина, пропущен.");
    case StatementLine::ZeroAmount:
        return text + QStringLiteral("сумма нулевая, пропущен.");
    }
    return text;
}

QString statementSummaryText(const StatementReport &report)
{
    QString text
        = QStringLiteral("Документов: %1. Оплачено полностью: %2, частично: %3, переплата: %4, "
                         "не сопоставлено: %5, уже загружено: %6, пропущено: %7")
              .arg(report.lines.size())
              .arg(report.count(StatementLine::PaidInFull))
              .arg(report.count(StatementLine::PartlyPaid))
              .arg(report.count(StatementLine::Overpaid))
              .arg(report.count(StatementLine::NotMatched))
              .arg(report.count(StatementLine::AlreadyImported))
              .arg(report.count(StatementLine::NotIncoming));
    // Only when there are some, so that the usual summary reads as it always did.
    if (const int zero = report.count(StatementLine::ZeroAmount); zero > 0)
        text += QStringLiteral(", с нулевой суммой пропущено: %1").arg(zero);
    return text + QLatin1Char('.');
}

OrderBook::OrderBook(Connection &c)
    : connection(c)
{ }

InvoiceDraft OrderBook::withTax(const InvoiceDraft &draft) const
{
    InvoiceDraft filled = draft;
    if (hasTax)
        setTaxOfItsDay(&filled, tax);
    return filled;
}

bool OrderBook::readOrder(qint64 number, bool forUpdate, TakenOrder *order, bool *found)
{
    QSqlQuery query(connection.database());
    // PostgreSQL locks the order's row; SQLite's writer already holds the whole file.
    if (forUpdate && !connection.isSqlite()) {
        query.prepare(
            QStringLiteral("SELECT 1 FROM taken_order WHERE invoice_number = ? FOR UPDATE"));
        query.addBindValue(number);
        if (!query.exec()) {
            connection.noteError(query.lastError());
            return false;
        }
    }
    query.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE o.invoice_number = ?")
                      .arg(OrderColumns, OrderTables));
    query.addBindValue(number);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return false;
    }
    *found = query.next();
    QHash<qint64, int> offsets;
    if (*found)
        *order = readOrderRow(query, &offsets);
    return true;
}

bool OrderBook::insertPayment(qint64 number, const Payment &payment,
                              const QString &statementDocument, const QDateTime &changedAt)
{
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("INSERT INTO order_payment (invoice_number, kopecks, method, "
                                 "paid_at, counter, reason, statement_document, operator_name, "
                                 "approver) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    // No one named is stored as null: the payments of a shop without operators.
    const auto nullable = [](const QString &name) {
        return name.isEmpty() ? QVariant(QVariant::String) : QVariant(name);
    };
    for (const QVariant &value :
         {QVariant(number), QVariant(payment.kopecks), QVariant(int(payment.method)),
          QVariant(storedTime(payment.time)), QVariant(notNull(payment.counter)),
          QVariant(notNull(payment.reason)), QVariant(notNull(statementDocument)),
          nullable(payment.operatorName), nullable(payment.approver)})
        query.addBindValue(value);
    bool done = query.exec();
    if (done) {
        query.prepare(QStringLiteral("UPDATE taken_order SET paid_kopecks = paid_kopecks + ?, "
                                     "changed = ? WHERE invoice_number = ?"));
        query.addBindValue(payment.kopecks);
        query.addBindValue(storedTime(changedAt));
        query.addBindValue(number);
        done = query.exec();
    }
    if (!done)
        connection.noteError(query.lastError());
    return done;
}

bool OrderBook::insertChange(qint64 number, const StatusChange &change)
{
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("INSERT INTO order_status_change (invoice_number, changed_at, "
                                 "counter, operator_name, from_status, to_status, reason) VALUES "
                                 "(?, ?, ?, ?, ?, ?, ?)"));
    for (const QVariant &value :
         {QVariant(number), QVariant(storedTime(change.time)), QVariant(notNull(change.counter)),
          QVariant(notNull(change.operatorName)),
          change.taking ? QVariant(QVariant::Int) : QVariant(int(change.from)),
          QVariant(int(change.to)), QVariant(notNull(change.reason))})
        query.addBindValue(value);
    bool done = query.exec();
    if (done) {
        query.prepare(
            QStringLiteral("UPDATE taken_order SET changed = ? WHERE invoice_number = ?"));
        query.addBindValue(storedTime(change.time));
        query.addBindValue(number);
        done = query.exec();
    }
    if (!done)
        connection.noteError(query.lastError());
    return done;
}

bool OrderBook::cashRefusal(const QString &counter, const QDateTime &time, QString *reason)
{
    reason->clear();
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("SELECT count(*), coalesce(sum(CASE WHEN closed_at = '' AND "
                                 "opened_at <= ? THEN 1 ELSE 0 END), 0) FROM shift WHERE "
                                 "counter = ?"));
    query.addBindValue(storedTime(time));
    query.addBindValue(notNull(counter));
    if (!query.exec() || !query.next()) {
        connection.noteError(query.lastError());
        return false;
    }
    if (query.value(0).toLongLong() > 0 && query.value(1).toLongLong() == 0)
        *reason = shiftRefusalStart()
            + QStringLiteral(": откройте смену кассы «%1» («Смена» → «Открыть смену») или примите "
                             "оплату картой или безналичным.")
                  .arg(counter);
    return true;
}

QString OrderBook::shiftRefusalStart()
{
    return QStringLiteral("Наличные принимаются только в открытой смене");
}

qint64 OrderBook::take(const OrderIntake &intake, qint64 lowestNumber)
{
    refused.clear();
    if (!connection.isOpen() || !connection.writable())
        return 0;
    Transaction transaction(connection);
    if (!transaction.isActive())
        return 0;
    QSqlQuery query(connection.database());
    // A retry after a lost answer: the order is taken already.
    query.prepare(QStringLiteral("SELECT o.invoice_number FROM invoice i JOIN taken_order o ON "
                                 "o.invoice_number = i.number WHERE i.order_uid = ?"));
    query.addBindValue(intake.draft.orderUid);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return 0;
    }
    if (query.next())
        return query.value(0).toLongLong();
    // Cash with no shift open is refused before a number is taken for it.
    const QDateTime created
        = intake.draft.created.isValid() ? intake.draft.created : QDateTime::currentDateTime();
    if (intake.prepaymentKopecks > 0 && intake.prepaymentMethod == PaymentMethod::Cash
        && (!cashRefusal(intake.draft.counter, created, &refused) || !refused.isEmpty()))
        return 0;
    const qint64 number
        = Journal(connection).storeInvoiceWithin(withTax(intake.draft), lowestNumber);
    if (number == 0)
        return 0;
    const QString phone = intake.phone.isEmpty() ? intake.draft.customer.phone : intake.phone;
    const QString email = intake.email.isEmpty() ? intake.draft.customer.email : intake.email;
    query.prepare(QStringLiteral("INSERT INTO taken_order (invoice_number, status, due, note, "
                                 "source, created, counter, changed, customer_phone, "
                                 "customer_email, phone_digits, search_name) VALUES "
                                 "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const QVariant &value :
         {QVariant(number), QVariant(int(OrderStatus::Accepted)),
          // An order without a promised time (a website's request with no wish) stores none.
          QVariant(notNull(storedTime(intake.due))), QVariant(notNull(intake.note)),
          QVariant(notNull(intake.source)), QVariant(storedTime(created)),
          QVariant(notNull(intake.draft.counter)), QVariant(storedTime(created)),
          QVariant(notNull(phone)), QVariant(notNull(email)), QVariant(notNull(phoneDigits(phone))),
          QVariant(notNull(foldedSearchText(intake.draft.customer.legalName() + QLatin1Char(' ')
                                            + intake.draft.customer.name())))})
        query.addBindValue(value);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return 0;
    }
    StatusChange first;
    first.time = created;
    first.counter = intake.draft.counter;
    first.operatorName = operatorName;
    first.taking = true;
    first.to = OrderStatus::Accepted;
    if (!insertChange(number, first))
        return 0;
    if (intake.prepaymentKopecks > 0) {
        Payment prepayment;
        prepayment.kopecks = intake.prepaymentKopecks;
        prepayment.method = intake.prepaymentMethod;
        prepayment.time = created;
        prepayment.counter = intake.draft.counter;
        prepayment.reason = QStringLiteral("Предоплата");
        prepayment.operatorName = operatorName;
        if (!insertPayment(number, prepayment, QString(), created))
            return 0;
    }
    if (!announce(number))
        return 0;
    return transaction.commit() ? number : 0;
}

OrderAnswer OrderBook::revise(qint64 number, const OrderIntake &change)
{
    OrderAnswer answer;
    if (!connection.isOpen() || !connection.writable()) {
        answer.message = connection.errorText();
        return answer;
    }
    Transaction transaction(connection);
    if (!transaction.isActive()) {
        answer.message = connection.errorText();
        return answer;
    }
    TakenOrder order;
    bool found = false;
    if (!readOrder(number, true, &order, &found)) {
        answer.message = connection.errorText();
        return answer;
    }
    if (!found) {
        answer.outcome = OrderOutcome::NotFound;
        answer.message = QStringLiteral("Заказа № %1 нет.").arg(number);
        return answer;
    }
    if (!statusIsOpen(order.status)) {
        answer.outcome = OrderOutcome::Refused;
        answer.message
            = QStringLiteral("Заказ № %1 %2: его уже не изменить.")
                  .arg(number)
                  .arg(order.status == OrderStatus::HandedOver ? QStringLiteral("выдан")
                                                               : QStringLiteral("отменён"));
        return answer;
    }
    if (Journal(connection).storeRevisionWithin(number, withTax(change.draft)) == 0) {
        answer.message = connection.errorText();
        return answer;
    }
    const QString phone = change.phone.isEmpty() ? change.draft.customer.phone : change.phone;
    const QString email = change.email.isEmpty() ? change.draft.customer.email : change.email;
    const QDateTime now
        = change.draft.created.isValid() ? change.draft.created : QDateTime::currentDateTime();
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("UPDATE taken_order SET due = ?, note = ?, changed = ?, "
                                 "customer_phone = ?, customer_email = ?, phone_digits = ?, "
                                 "search_name = ? WHERE invoice_number = ?"));
    for (const QVariant &value :
         {QVariant(notNull(storedTime(change.due.isValid() ? change.due : order.due))),
          QVariant(notNull(change.note)), QVariant(storedTime(now)), QVariant(notNull(phone)),
          QVariant(notNull(email)), QVariant(notNull(phoneDigits(phone))),
          QVariant(notNull(foldedSearchText(change.draft.customer.legalName() + QLatin1Char(' ')
                                            + change.draft.customer.name()))),
          QVariant(number)})
        query.addBindValue(value);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        answer.message = connection.errorText();
        return answer;
    }
    if (!announce(number) || !transaction.commit()) {
        answer.message = connection.errorText();
        return answer;
    }
    answer.outcome = OrderOutcome::Done;
    return answer;
}

QVector<TakenOrder> OrderBook::list(const OrderQuery &search, bool *ok)
{
    QVector<TakenOrder> found;
    QStringList conditions;
    QVariantList values;
    const QDateTime now = search.now.isValid() ? search.now : QDateTime::currentDateTime();
    if (!search.anyStatus) {
        conditions.append(QStringLiteral("o.status = ?"));
        values.append(int(search.status));
    }
    // Statuses are stored as OrderStatus numbers: 0 Принят, 1 В работе, 2 Готов, 3 Выдан, 4
    // Отменён.
    if (search.openOnly)
        conditions.append(QStringLiteral("o.status IN (0, 1, 2)"));
    if (search.overdueOnly) {
        conditions.append(QStringLiteral("o.status IN (0, 1) AND o.due < ?"));
        values.append(storedTime(now));
    }
    // An invoice voided by hand asks for nothing.
    if (search.unpaidOnly)
        conditions.append(QStringLiteral("o.status <> 4 AND i.void_reason = '' AND o.paid_kopecks "
                                         "< CAST(round(i.total * 100) AS BIGINT)"));
    if (search.dueDay.isValid()) {
        conditions.append(QStringLiteral("o.due >= ? AND o.due < ?"));
        values.append(storedTime(QDateTime(search.dueDay, QTime(0, 0))));
        values.append(storedTime(QDateTime(search.dueDay.addDays(1), QTime(0, 0))));
    }
    const QString text = search.text.simplified();
    if (!text.isEmpty()) {
        QStringList any;
        bool digitsOnly = true;
        for (const QChar c : text)
            digitsOnly = digitsOnly && (c.isDigit() || QStringLiteral(" +-()").contains(c));
        const QString digits = phoneDigits(text);
        if (digitsOnly && !digits.isEmpty()) {
            bool isNumber = false;
            const qint64 number = QString(text).remove(QLatin1Char(' ')).toLongLong(&isNumber);
            if (isNumber) {
                any.append(QStringLiteral("o.invoice_number = ?"));
                values.append(number);
            }
            // The digits as typed: a phone's tail is typed without its 7.
            QString typed = text;
            typed.remove(QRegularExpression(QStringLiteral("\\D")));
            if (typed.size() >= 3) {
                any.append(QStringLiteral("o.phone_digits LIKE ? ESCAPE '\\'"));
                values.append(likePattern(typed.size() >= 10 ? digits : typed));
            }
        }
        const QString folded = foldedSearchText(text);
        if (!folded.isEmpty()) {
            any.append(QStringLiteral("o.search_name LIKE ? ESCAPE '\\'"));
            values.append(likePattern(folded));
        }
        const QStringList words = searchWords(text);
        if (!words.isEmpty()) {
            QStringList terms;
            if (connection.isSqlite()) {
                for (const QString &word : words)
                    terms.append(QLatin1Char('"') + word + QStringLiteral("\"*"));
                any.append(QStringLiteral("o.invoice_number IN (SELECT rowid FROM invoice_search "
                                          "WHERE invoice_search MATCH ?)"));
                values.append(terms.join(QLatin1Char(' ')));
            } else {
                for (const QString &word : words)
                    terms.append(QLatin1Char('\'') + word + QStringLiteral("':*"));
                any.append(QStringLiteral("i.search_words @@ to_tsquery('simple', ?)"));
                values.append(terms.join(QStringLiteral(" & ")));
            }
        }
        if (!any.isEmpty())
            conditions.append(QLatin1Char('(') + any.join(QStringLiteral(" OR "))
                              + QLatin1Char(')'));
    }
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(ListColumns, OrderTables);
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY o.due, o.invoice_number");
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    bool done = connection.isOpen() && query.prepare(sql);
    for (const QVariant &value : qAsConst(values))
        query.addBindValue(value);
    done = done && query.exec();
    if (!done)
        connection.noteError(query.lastError());
    ListedTexts texts;
    // PostgreSQL says how many rows came; SQLite does not, and the list grows.
    if (done && query.size() > 0)
        found.reserve(query.size());
    while (done && query.next())
        found.append(readListedRow(query, &texts));
    if (ok)
        *ok = done;
    return found;
}

bool OrderBook::load(qint64 number, OrderDetails *details)
{
    if (!connection.isOpen())
        return false;
    bool found = false;
    if (!readOrder(number, false, &details->order, &found) || !found)
        return false;
    if (!Journal(connection).load(number, &details->invoice))
        return false;
    details->payments.clear();
    details->changes.clear();
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("SELECT id, kopecks, method, paid_at, counter, reason, "
                                 "operator_name, approver FROM order_payment WHERE "
                                 "invoice_number = ? ORDER BY id"));
    query.addBindValue(number);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return false;
    }
    while (query.next()) {
        Payment payment;
        payment.id = query.value(0).toLongLong();
        payment.kopecks = query.value(1).toLongLong();
        payment.method = methodOf(query.value(2).toInt());
        payment.time = readStoredTime(query.value(3).toString());
        payment.counter = query.value(4).toString();
        payment.reason = query.value(5).toString();
        payment.operatorName = query.value(6).toString();
        payment.approver = query.value(7).toString();
        details->payments.append(payment);
    }
    query.prepare(QStringLiteral("SELECT changed_at, counter, operator_name, from_status, "
                                 "to_status, reason FROM order_status_change WHERE "
                                 "invoice_number = ? ORDER BY id"));
    query.addBindValue(number);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return false;
    }
    while (query.next()) {
        StatusChange change;
        change.time = readStoredTime(query.value(0).toString());
        change.counter = query.value(1).toString();
        change.operatorName = query.value(2).toString();
        change.taking = query.value(3).isNull();
        change.from = statusOf(query.value(3).toInt());
        change.to = statusOf(query.value(4).toInt());
        change.reason = query.value(5).toString();
        details->changes.append(change);
    }
    bool read = false;
    details->mails = mails(number, &read);
    return read;
}

OrderAnswer OrderBook::changeStatus(qint64 number, OrderStatus to, const QString &reason,
                                    bool force, const QString &counter, const QDateTime &when)
{
    OrderAnswer answer;
    const auto fault = [&]() {
        answer.outcome = OrderOutcome::Failed;
        answer.message = connection.errorText();
        return answer;
    };
    const auto refuse = [&](const QString &message) {
        answer.outcome = OrderOutcome::Refused;
        answer.message = message;
        return answer;
    };
    if (!connection.isOpen() || !connection.writable())
        return fault();
    Transaction transaction(connection);
    if (!transaction.isActive())
        return fault();
    TakenOrder order;
    bool found = false;
    if (!readOrder(number, true, &order, &found))
        return fault();
    if (!found) {
        answer.outcome = OrderOutcome::NotFound;
        answer.message = QStringLiteral("Заказа № %1 нет.").arg(number);
        return answer;
    }
    const QString problem = statusChangeProblem(order.status, to);
    if (!problem.isEmpty())
        return refuse(problem);
    if (to == OrderStatus::Cancelled && reason.trimmed().isEmpty())
        return refuse(QStringLiteral("Отмена заказа № %1 требует причины.").arg(number));
    if (to == OrderStatus::HandedOver && order.balanceKopecks() > 0 && !force) {
        answer.owedKopecks = order.balanceKopecks();
        return refuse(QStringLiteral("Заказ № %1 не оплачен полностью: долг %2.")
                          .arg(number)
                          .arg(roublesText(order.balanceKopecks())));
    }
    const QDateTime time = when.isValid() ? when : QDateTime::currentDateTime();
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("UPDATE taken_order SET status = ? WHERE invoice_number = ?"));
    query.addBindValue(int(to));
    query.addBindValue(number);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return fault();
    }
    StatusChange change;
    change.time = time;
    change.counter = counter;
    change.operatorName = operatorName;
    change.from = order.status;
    change.to = to;
    change.reason = reason.trimmed();
    if (!insertChange(number, change))
        return fault();
    if (to == OrderStatus::Ready) {
        // The card's address where there is a card: it may have changed since the order.
        QString recipient = order.email;
        if (order.customer.id > 0) {
            query.prepare(QStringLiteral("SELECT email FROM customer WHERE id = ?"));
            query.addBindValue(order.customer.id);
            if (!query.exec()) {
                connection.noteError(query.lastError());
                return fault();
            }
            if (query.next() && !query.value(0).toString().trimmed().isEmpty())
                recipient = query.value(0).toString().trimmed();
        }
        if (!recipient.isEmpty()) {
            QStringList body {QStringLiteral("Здравствуйте!"), QString(),
                              QStringLiteral("Ваш заказ № %1 готов.").arg(number)};
            body.append(order.balanceKopecks() > 0 ? QStringLiteral("К оплате при получении: %1.")
                                                         .arg(roublesText(order.balanceKopecks()))
                                                   : QStringLiteral("Заказ оплачен."));
            if (!shop.address.isEmpty())
                body.append(QStringLiteral("Адрес: %1").arg(shop.address));
            if (!shop.hours.isEmpty())
                body.append(QStringLiteral("Часы работы: %1").arg(shop.hours));
            if (!shop.name.isEmpty())
                body << QString() << shop.name;
            if (!queueMail(connection, number, recipient,
                           QStringLiteral("Заказ № %1 готов").arg(number), body, time))
                return fault();
            answer.mailQueued = true;
        }
    }
    if (!announce(number) || !transaction.commit())
        return fault();
    answer.outcome = OrderOutcome::Done;
    return answer;
}

OrderAnswer OrderBook::addPayment(qint64 number, const Payment &payment)
{
    OrderAnswer answer;
    const auto fault = [&]() {
        answer.outcome = OrderOutcome::Failed;
        answer.message = connection.errorText();
        return answer;
    };
    const auto refuse = [&](const QString &message) {
        answer.outcome = OrderOutcome::Refused;
        answer.message = message;
        return answer;
    };
    if (payment.kopecks == 0)
        return refuse(QStringLiteral("Сумма оплаты не может быть нулевой."));
    if (qAbs(payment.kopecks) > MaxKopecks)
        return refuse(QStringLiteral("Сумма %1 больше наибольшей возможной (%2).")
                          .arg(roublesAndKopecks(payment.kopecks), roublesAndKopecks(MaxKopecks)));
    if (payment.kopecks < 0 && payment.reason.trimmed().isEmpty())
        return refuse(QStringLiteral("Возврат требует причины."));
    if (!connection.isOpen() || !connection.writable())
        return fault();
    Transaction transaction(connection);
    if (!transaction.isActive())
        return fault();
    TakenOrder order;
    bool found = false;
    if (!readOrder(number, true, &order, &found))
        return fault();
    if (!found) {
        answer.outcome = OrderOutcome::NotFound;
        answer.message = QStringLiteral("Заказа № %1 нет.").arg(number);
        return answer;
    }
    if (payment.kopecks > 0 && order.status == OrderStatus::Cancelled)
        return refuse(
            QStringLiteral("Заказ № %1 отменён: оплата по нему не принимается.").arg(number));
    // Read under the order's row lock: two counters taking the same balance at once cannot
    // both get it. Overpayments come only from the bank's statement.
    if (payment.kopecks > 0 && payment.kopecks > order.balanceKopecks())
        return refuse(order.balanceKopecks() > 0
                          ? QStringLiteral("Оплата %1 больше остатка по заказу № %2. Остаток к "
                                           "оплате %3.")
                                .arg(roublesAndKopecks(payment.kopecks))
                                .arg(number)
                                .arg(roublesAndKopecks(order.balanceKopecks()))
                          : QStringLiteral("Заказ № %1 уже оплачен: остаток к оплате 0,00 "
                                           "₽.")
                                .arg(number));
    if (payment.kopecks < 0 && -payment.kopecks > order.paidKopecks)
        return refuse(QStringLiteral("Возврат %1 больше оплаченного по заказу № %2 (%3).")
                          .arg(roublesText(-payment.kopecks))
                          .arg(number)
                          .arg(roublesText(order.paidKopecks)));
    Payment stored = payment;
    if (!stored.time.isValid())
        stored.time = QDateTime::currentDateTime();
    stored.reason = stored.reason.trimmed();
    if (stored.method == PaymentMethod::Cash) {
        QString reason;
        if (!cashRefusal(stored.counter, stored.time, &reason))
            return fault();
        if (!reason.isEmpty())
            return refuse(reason);
    }
    if (!insertPayment(number, stored, QString(), stored.time))
        return fault();
    if (!announce(number) || !transaction.commit())
        return fault();
    answer.outcome = OrderOutcome::Done;
    return answer;
}

StatementReport OrderBook::importStatement(const QByteArray &bytes, const QString &account,
                                           const QString &counter, const QDateTime &when)
{
    StatementReport report;
    BankStatement statement;
    if (!readBankStatement(bytes, &statement, &report.problem))
        return report;
    if (!connection.isOpen() || !connection.writable()) {
        report.problem = connection.errorText();
        return report;
    }
    Transaction transaction(connection);
    if (!transaction.isActive()) {
        report.problem = connection.errorText();
        return report;
    }
    const auto fault = [&]() {
        report.problem = connection.errorText();
        report.lines.clear();
        return report;
    };
    const QDateTime now = when.isValid() ? when : QDateTime::currentDateTime();
    // Everything the documents name is read in a few queries first, so that a statement of
    // thousands of documents costs no more than a few hundred statements to the server.
    QVector<QVariant> numbers, identities;
    for (const StatementDocument &document : qAsConst(statement.documents)) {
        if (!document.isIncomingTo(account) || document.kopecks == 0)
            continue;
        identities.append(document.identity());
        if (const qint64 number = invoiceNumberInPurpose(document.purpose); number > 0)
            numbers.append(number);
    }
    struct Known
    {
        OrderStatus status;
        qint64 totalKopecks;
        qint64 paidKopecks;
        QString inn;
    };
    QHash<qint64, Known> orders;
    QSet<QString> imported;
    const int Chunk = 500;
    QSqlQuery query(connection.database());
    const auto placeholders = [](int count) {
        QStringList marks;
        for (int i = 0; i < count; ++i)
            marks.append(QStringLiteral("?"));
        return marks.join(QLatin1Char(','));
    };
    for (int from = 0; from < numbers.size(); from += Chunk) {
        const QVector<QVariant> part = numbers.mid(from, Chunk);
        // PostgreSQL locks the orders paid; SQLite's writer holds the whole file already.
        query.prepare(
            QStringLiteral("SELECT o.invoice_number, o.status, i.total, o.paid_kopecks, "
                           "i.customer_inn FROM taken_order o JOIN invoice i ON "
                           "i.number = o.invoice_number WHERE o.invoice_number IN (%1)%2")
                .arg(placeholders(part.size()),
                     connection.isSqlite() ? QString() : QStringLiteral(" FOR UPDATE OF o")));
        for (const QVariant &number : part)
            query.addBindValue(number);
        if (!query.exec()) {
            connection.noteError(query.lastError());
            return fault();
        }
        while (query.next())
            orders.insert(query.value(0).toLongLong(),
                          {statusOf(query.value(1).toInt()), kopecksOf(query.value(2).toDouble()),
                           query.value(3).toLongLong(), query.value(4).toString()});
    }
    for (int from = 0; from < identities.size(); from += Chunk) {
        const QVector<QVariant> part = identities.mid(from, Chunk);
        // The partial index's own condition, spelled out for SQLite to use it.
        query.prepare(QStringLiteral("SELECT statement_document FROM order_payment WHERE "
                                     "statement_document <> '' AND statement_document IN (%1)")
                          .arg(placeholders(part.size())));
        for (const QVariant &identity : part)
            query.addBindValue(identity);
        if (!query.exec()) {
            connection.noteError(query.lastError());
            return fault();
        }
        while (query.next())
            imported.insert(query.value(0).toString());
    }

    QVector<QVariantList> payments;
    QSet<qint64> paid;
    for (const StatementDocument &document : qAsConst(statement.documents)) {
        StatementLine line;
        line.line = document.line;
        line.documentNumber = document.number;
        line.date = document.date;
        line.kopecks = document.kopecks;
        line.payer = document.payerName;
        line.purpose = document.purpose;
        line.received = document.received;
        line.identity = document.identity();
        line.invoiceNumber = invoiceNumberInPurpose(document.purpose);
        const auto add = [&](StatementLine::Kind kind, const QString &why = QString()) {
            line.kind = kind;
            line.why = why;
            report.lines.append(line);
        };
        if (!document.isIncomingTo(account)) {
            add(StatementLine::NotIncoming);
            continue;
        }
        // A payment of nothing would only clutter the order's payments.
        if (document.kopecks == 0) {
            add(StatementLine::ZeroAmount);
            continue;
        }
        const QString &identity = line.identity;
        if (imported.contains(identity)) {
            add(StatementLine::AlreadyImported);
            continue;
        }
        if (line.invoiceNumber == 0) {
            add(StatementLine::NotMatched, QStringLiteral("в назначении нет номера счёта"));
            continue;
        }
        const auto found = orders.find(line.invoiceNumber);
        if (found == orders.end()) {
            add(StatementLine::NotMatched,
                QStringLiteral("заказа по счёту № %1 нет").arg(line.invoiceNumber));
            continue;
        }
        Known &order = found.value();
        if (order.status == OrderStatus::Cancelled) {
            add(StatementLine::NotMatched,
                QStringLiteral("заказ № %1 отменён").arg(line.invoiceNumber));
            continue;
        }
        if (!order.inn.isEmpty() && document.payerInn != order.inn) {
            add(StatementLine::NotMatched,
                QStringLiteral("ИНН плательщика %1 — не ИНН покупателя по счёту № %2 (%3)")
                    .arg(document.payerInn.isEmpty() ? QStringLiteral("не указан")
                                                     : document.payerInn)
                    .arg(line.invoiceNumber)
                    .arg(order.inn));
            continue;
        }
        imported.insert(identity); // the same document twice in one file counts once
        payments.append({line.invoiceNumber, document.kopecks, int(PaymentMethod::Transfer),
                         storedTime(QDateTime(document.received, QTime(0, 0))), notNull(counter),
                         statementPaymentReason(line), identity});
        paid.insert(line.invoiceNumber);
        order.paidKopecks += document.kopecks;
        line.balanceKopecks = order.totalKopecks - order.paidKopecks;
        add(line.balanceKopecks == 0      ? StatementLine::PaidInFull
                : line.balanceKopecks > 0 ? StatementLine::PartlyPaid
                                          : StatementLine::Overpaid);
    }
    // A hundred payments a statement; then each order's sum read again from its payments.
    const int Rows = 100;
    for (int from = 0; from < payments.size(); from += Rows) {
        const int count = qMin(Rows, int(payments.size()) - from);
        QStringList rows;
        for (int i = 0; i < count; ++i)
            rows.append(QStringLiteral("(?, ?, ?, ?, ?, ?, ?)"));
        query.prepare(QStringLiteral("INSERT INTO order_payment (invoice_number, kopecks, method, "
                                     "paid_at, counter, reason, statement_document) VALUES ")
                      + rows.join(QLatin1Char(',')));
        for (int i = from; i < from + count; ++i)
            for (const QVariant &value : payments.at(i))
                query.addBindValue(value);
        if (!query.exec()) {
            connection.noteError(query.lastError());
            return fault();
        }
    }
    const QVector<qint64> changed(paid.begin(), paid.end());
    for (int from = 0; from < changed.size(); from += Chunk) {
        const QVector<qint64> part = changed.mid(from, Chunk);
        query.prepare(QStringLiteral("UPDATE taken_order SET paid_kopecks = (SELECT "
                                     "COALESCE(sum(p.kopecks), 0) FROM order_payment p WHERE "
                                     "p.invoice_number = taken_order.invoice_number), changed = ? "
                                     "WHERE invoice_number IN (%1)")
                          .arg(placeholders(part.size())));
        query.addBindValue(storedTime(now));
        for (const qint64 number : part)
            query.addBindValue(number);
        if (!query.exec()) {
            connection.noteError(query.lastError());
            return fault();
        }
    }
    if (!paid.isEmpty() && !announce(0))
        return fault();
    if (!transaction.commit())
        return fault();
    report.read = true;
    return report;
}

QVector<QueuedMail> OrderBook::mails(qint64 number, bool *ok)
{
    QVector<QueuedMail> found;
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("SELECT id, invoice_number, recipient, subject, body, state, "
                                 "attempts, next_try, last_error FROM mail_queue WHERE "
                                 "invoice_number = ? ORDER BY id"));
    query.addBindValue(number);
    const bool done = connection.isOpen() && query.exec();
    if (!done)
        connection.noteError(query.lastError());
    while (done && query.next()) {
        QueuedMail mail;
        mail.id = query.value(0).toLongLong();
        mail.number = query.value(1).toLongLong();
        mail.recipient = query.value(2).toString();
        mail.subject = query.value(3).toString();
        mail.body = query.value(4).toString();
        mail.state = mailStateOf(query.value(5).toInt());
        mail.attempts = query.value(6).toInt();
        mail.nextTry = readStoredTime(query.value(7).toString());
        mail.lastError = query.value(8).toString();
        found.append(mail);
    }
    if (ok)
        *ok = done;
    return found;
}

bool OrderBook::announce(qint64 number)
{
    if (connection.isSqlite())
        return true;
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("SELECT pg_notify(?, ?)"));
    query.addBindValue(changeChannel());
    query.addBindValue(number > 0 ? QString::number(number) : QString());
    if (query.exec())
        return true;
    connection.noteError(query.lastError());
    return false;
}

OrderAnswer OrderBook::matchByHand(qint64 number, const StatementLine &line, const QString &counter,
                                   const QDateTime &when)
{
    OrderAnswer answer;
    const auto fault = [&]() {
        answer.outcome = OrderOutcome::Failed;
        answer.message = connection.errorText();
        return answer;
    };
    const auto refuse = [&](const QString &message) {
        answer.outcome = OrderOutcome::Refused;
        answer.message = message;
        return answer;
    };
    if (line.kopecks <= 0 || line.identity.isEmpty())
        return refuse(QStringLiteral("Это не поступление из выписки."));
    if (!connection.isOpen() || !connection.writable())
        return fault();
    Transaction transaction(connection);
    if (!transaction.isActive())
        return fault();
    TakenOrder order;
    bool found = false;
    if (!readOrder(number, true, &order, &found))
        return fault();
    if (!found) {
        answer.outcome = OrderOutcome::NotFound;
        answer.message = QStringLiteral("Заказа № %1 нет.").arg(number);
        return answer;
    }
    if (order.status == OrderStatus::Cancelled)
        return refuse(
            QStringLiteral("Заказ № %1 отменён: оплата по нему не принимается.").arg(number));
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("SELECT invoice_number FROM order_payment WHERE "
                                 "statement_document <> '' AND statement_document = ?"));
    query.addBindValue(line.identity);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return fault();
    }
    if (query.next())
        return refuse(QStringLiteral("Документ № %1 уже учтён в заказе № %2.")
                          .arg(line.documentNumber)
                          .arg(query.value(0).toLongLong()));
    Payment payment;
    payment.kopecks = line.kopecks;
    payment.method = PaymentMethod::Transfer;
    payment.time = QDateTime(line.received.isValid() ? line.received : line.date, QTime(0, 0));
    payment.counter = counter;
    payment.reason = statementPaymentReason(line);
    if (!insertPayment(number, payment, line.identity,
                       when.isValid() ? when : QDateTime::currentDateTime()))
        return fault();
    if (!announce(number) || !transaction.commit())
        return fault();
    answer.outcome = OrderOutcome::Done;
    return answer;
}

QHash<qint64, QueuedMail> OrderBook::latestMails(bool *ok)
{
    QHash<qint64, QueuedMail> found;
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    const bool done = connection.isOpen()
        && query.exec(QStringLiteral(
            "SELECT m.id, m.invoice_number, m.recipient, m.state, m.attempts, m.next_try, "
            "m.last_error FROM mail_queue m WHERE m.id IN (SELECT max(id) FROM mail_queue GROUP "
            "BY invoice_number)"));
    if (!done)
        connection.noteError(query.lastError());
    while (done && query.next()) {
        QueuedMail mail;
        mail.id = query.value(0).toLongLong();
        mail.number = query.value(1).toLongLong();
        mail.recipient = query.value(2).toString();
        mail.state = mailStateOf(query.value(3).toInt());
        mail.attempts = query.value(4).toInt();
        mail.nextTry = readStoredTime(query.value(5).toString());
        mail.lastError = query.value(6).toString();
        found.insert(mail.number, mail);
    }
    if (ok)
        *ok = done;
    return found;
}

QString mailStateText(const QueuedMail &mail)
{
    if (mail.id == 0)
        return QString();
    switch (mail.state) {
    case QueuedMail::Waiting:
        return QStringLiteral("в очереди");
    case QueuedMail::Sent:
        return QStringLiteral("отправлено");
    case QueuedMail::Failed:
        return QStringLiteral("в очереди, повтор позже: ") + mail.lastError;
    case QueuedMail::GivenUp: {
        QString reason = mail.lastError;
        reason.remove(QStringLiteral(" — письмо больше не отправляется"));
        return QStringLiteral("письмо не будет отправлено: ") + reason;
    }
    }
    return QString();
}
