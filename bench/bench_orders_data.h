// The orders the board and order book benchmarks work over: 10,000 open orders written straight
// into the tables, and a bank statement paying them.
#pragma once

#include "storage/connection.h"
#include "storage/records.h"
#include "storage/transaction.h"

#include <QByteArray>
#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QTextCodec>
#include <QVariant>
#include <QVector>

#include <cstdio>

namespace benchorders {

const int Orders = 10000;
const qint64 FirstNumber = 100001;
const QString ShopAccount = QStringLiteral("40702810900000000001");
const QDateTime Now(QDate(2026, 3, 10), QTime(13, 0));

// Orders as the counters leave them, written straight into the tables in one transaction: every
// one open, due over twenty days around now, a third of them partly paid.
inline bool generate(Connection &connection)
{
    Transaction transaction(connection);
    QSqlDatabase db = connection.database();
    QVector<QVariantList> invoices, lines, words, orders, changes, payments;
    const QStringList products {QStringLiteral("Визитки"), QStringLiteral("Листовки"),
                                QStringLiteral("Баннер"), QStringLiteral("Буклеты"),
                                QStringLiteral("Наклейки")};
    for (int i = 0; i < Orders; ++i) {
        const qint64 number = FirstNumber + i;
        const QString text = products.at(i % products.size()) + QStringLiteral(" тираж %1").arg(i);
        const QString created = storedTime(Now.addDays(-20).addSecs(i * 60));
        const QString customer = QStringLiteral("Покупатель %1").arg(i % 997);
        const QString phone = QStringLiteral("7912%1").arg(i, 7, 10, QLatin1Char('0'));
        invoices.append({number, QStringLiteral("bench-%1").arg(i), created, text, customer});
        lines.append({number, text});
        words.append({number, text});
        orders.append({number, i % 3, storedTime(Now.addDays(-10).addSecs(i * 173)), created,
                       created, phone, phone, customer.toLower(), i % 3 == 0 ? 50000 : 0});
        changes.append({number, created});
        if (i % 3 == 0)
            payments.append({number, created});
    }
    // Each table's columns with the constants beside the values given.
    const auto rows = [&](const QString &table, const QString &columns, const QString &values,
                          const QVector<QVariantList> &data) {
        const int Batch = 400;
        for (int from = 0; from < data.size(); from += Batch) {
            const int count = qMin(Batch, int(data.size()) - from);
            QStringList marks;
            for (int i = 0; i < count; ++i)
                marks << QLatin1Char('(') + values + QLatin1Char(')');
            QSqlQuery query(db);
            query.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(table, columns)
                          + marks.join(QLatin1Char(',')));
            for (int i = from; i < from + count; ++i)
                for (const QVariant &value : data.at(i))
                    query.addBindValue(value);
            if (!query.exec()) {
                std::fprintf(stderr, "%s: %s\n", qPrintable(table),
                             qPrintable(query.lastError().text()));
                return false;
            }
        }
        return true;
    };
    if (!rows(QStringLiteral("invoice"),
              QStringLiteral("number, order_uid, created, counter, line_count, subtotal, tax, "
                             "total, template_path, is_void, search_text, customer_name"),
              QStringLiteral("?, ?, ?, 'стойка-1', 1, 1000, 180, 1180, '', 0, ?, ?"), invoices)
        || !rows(QStringLiteral("invoice_line"),
                 QStringLiteral("invoice_number, position, description, quantity, unit_price, "
                                "key_text, titles, removal_marker, job, explanation, "
                                "missing_price, price_version, revision"),
                 QStringLiteral("?, 0, ?, '1', '1000', '', '', 0, '', '', 0, 0, 1"), lines)
        || (connection.isSqlite()
            && !rows(QStringLiteral("invoice_search"), QStringLiteral("rowid, search_text"),
                     QStringLiteral("?, ?"), words))
        || !rows(QStringLiteral("taken_order"),
                 QStringLiteral("invoice_number, status, due, note, source, created, counter, "
                                "changed, customer_phone, customer_email, phone_digits, "
                                "search_name, paid_kopecks"),
                 QStringLiteral("?, ?, ?, '', 'стойка', ?, 'стойка-1', ?, ?, '', ?, ?, ?"), orders)
        || !rows(QStringLiteral("order_status_change"),
                 QStringLiteral("invoice_number, changed_at, counter, from_status, to_status, "
                                "reason"),
                 QStringLiteral("?, ?, 'стойка-1', NULL, 0, ''"), changes)
        || !rows(QStringLiteral("order_payment"),
                 QStringLiteral("invoice_number, kopecks, method, paid_at, counter, reason"),
                 QStringLiteral("?, 50000, 0, ?, 'стойка-1', 'Предоплата'"), payments))
        return false;
    QSqlQuery(db).exec(
        QStringLiteral("UPDATE invoice_counter SET next_number = %1").arg(FirstNumber + Orders));
    return transaction.commit();
}

// Ten thousand payments: most pay their order in full, some part, some name no invoice.
inline QByteArray statement()
{
    QString text = QStringLiteral("1CClientBankExchange\nВерсияФормата=1.03\nКодировка=Windows\n");
    for (int i = 0; i < Orders; ++i) {
        const QString sum = i % 5 == 0 ? QStringLiteral("100.00") : QStringLiteral("1180.00");
        const QString purpose = i % 50 == 0
            ? QStringLiteral("Оплата по договору %1").arg(i)
            : QStringLiteral("Оплата по счёту № %1 от 01.03.2026").arg(FirstNumber + i);
        text += QStringLiteral("СекцияДокумент=Платежное поручение\nНомер=%1\nДата=09.03.2026\n"
                               "Сумма=%2\nПлательщикСчет=40702810400000000002\n"
                               "Плательщик1=Плательщик %3\nПолучательСчет=%4\n"
                               "ДатаПоступило=09.03.2026\nНазначениеПлатежа=%5\nКонецДокумента\n")
                    .arg(QString::number(i + 1), sum, QString::number(i), ShopAccount, purpose);
    }
    text += QStringLiteral("КонецФайла\n");
    return QTextCodec::codecForName("Windows-1251")->fromUnicode(text);
}

} // namespace benchorders
