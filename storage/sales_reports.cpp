// The reports' statements: each adds up in the database and hands back one row a group, so that
// a report over a million lines reads a few hundred rows. Dates are compared as the stored text,
// which sorts as time does.
#include "storage/sales_reports.h"

#include "storage/connection.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <map>

namespace {

// The stored job names its page; the tier line's job names the page of the line it follows.
const char *const PageWords[] = {"sheet_products", "brochures", "street", "interior", "souvenir"};

const int TopCustomers = 20;

QString dayText(const QDate &day)
{
    return day.toString(QStringLiteral("yyyy-MM-dd"));
}

// A sale in the period: the invoice neither void nor a cancelled order's.
QString saleFilter()
{
    return QStringLiteral("i.is_void = 0 AND i.created >= ? AND i.created < ? AND NOT EXISTS "
                          "(SELECT 1 FROM taken_order o WHERE o.invoice_number = i.number "
                          "AND o.status = 4)");
}

// A quantity or price text as the program reads it ("1 250,50" is 1250.5), 0 for what is no
// number; PostgreSQL's cast would fail the whole statement on such a text.
QString amountOf(const QString &column, bool sqlite)
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

QString familyOf(bool sqlite)
{
    QString text = QStringLiteral("CASE");
    for (int i = 0; i < int(std::size(PageWords)); ++i) {
        const QString needle = QStringLiteral("'\"page\":\"%1\"'").arg(QLatin1String(PageWords[i]));
        text += sqlite ? QStringLiteral(" WHEN instr(l.job, %1) > 0 THEN %2").arg(needle).arg(i)
                       : QStringLiteral(" WHEN strpos(l.job, %1) > 0 THEN %2").arg(needle).arg(i);
    }
    return text + QStringLiteral(" ELSE %1 END").arg(int(std::size(PageWords)));
}

bool run(Connection &connection, QSqlQuery &query, const QString &statement,
         const QVariantList &values)
{
    query.setForwardOnly(true);
    if (!query.prepare(statement)) {
        connection.noteError(query.lastError());
        return false;
    }
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return false;
    }
    return true;
}

} // namespace

QString groupingWord(SalesGrouping grouping)
{
    static const char *const words[] = {"day", "week", "month", "family", "operator", "customer"};
    return QLatin1String(words[int(grouping)]);
}

bool groupingFromWord(const QString &word, SalesGrouping *grouping)
{
    for (int i = 0; i <= int(SalesGrouping::Customer); ++i) {
        if (word == groupingWord(SalesGrouping(i))) {
            *grouping = SalesGrouping(i);
            return true;
        }
    }
    return false;
}

QString groupingCaption(SalesGrouping grouping)
{
    switch (grouping) {
    case SalesGrouping::Day:
        return QStringLiteral("По дням");
    case SalesGrouping::Week:
        return QStringLiteral("По неделям");
    case SalesGrouping::Month:
        return QStringLiteral("По месяцам");
    case SalesGrouping::Family:
        return QStringLiteral("По видам продукции");
    case SalesGrouping::Operator:
        return QStringLiteral("По операторам");
    case SalesGrouping::Customer:
        return QStringLiteral("По покупателям (20 лучших)");
    }
    return QString();
}

const QStringList &familyNames()
{
    static const QStringList names {QStringLiteral("Листовая продукция"),
                                    QStringLiteral("Брошюры"),
                                    QStringLiteral("Уличная"),
                                    QStringLiteral("Интерьерная"),
                                    QStringLiteral("Сувенирная продукция"),
                                    QStringLiteral("Прочее")};
    return names;
}

QString noOperatorName()
{
    return QStringLiteral("без оператора");
}

SalesReports::SalesReports(Connection &connection)
    : connection(connection)
{ }

bool SalesReports::byDay(const QDate &from, const QDate &to, QVector<SalesRow> *rows)
{
    QSqlQuery query(connection.database());
    if (!run(connection, query,
             QStringLiteral("SELECT substr(i.created, 1, 10), count(*), sum(i.line_count), "
                            "sum(i.subtotal) FROM invoice i WHERE ")
                 + saleFilter() + QStringLiteral(" GROUP BY substr(i.created, 1, 10) ORDER BY 1"),
             {dayText(from), dayText(to.addDays(1))}))
        return false;
    while (query.next())
        rows->append({query.value(0).toString(), query.value(1).toLongLong(),
                      query.value(2).toLongLong(), query.value(3).toDouble()});
    return true;
}

bool SalesReports::sales(const QDate &from, const QDate &to, SalesGrouping by,
                         QVector<SalesRow> *rows)
{
    rows->clear();
    if (!connection.isOpen())
        return false;
    const QVariantList period {dayText(from), dayText(to.addDays(1))};
    QSqlQuery query(connection.database());
    switch (by) {
    case SalesGrouping::Day:
        return byDay(from, to, rows);
    case SalesGrouping::Week:
    case SalesGrouping::Month: {
        // An invoice has one day, so the days' counts add up into weeks and months.
        QVector<SalesRow> days;
        if (!byDay(from, to, &days))
            return false;
        std::map<QString, SalesRow> folded;
        for (const SalesRow &day : qAsConst(days)) {
            const QDate date = QDate::fromString(day.group, QStringLiteral("yyyy-MM-dd"));
            int year = date.year();
            const int week = date.weekNumber(&year);
            const QString group = by == SalesGrouping::Week
                ? QStringLiteral("%1-W%2").arg(year).arg(week, 2, 10, QLatin1Char('0'))
                : day.group.left(7);
            SalesRow &row = folded[group];
            row.group = group;
            row.invoices += day.invoices;
            row.lines += day.lines;
            row.sum += day.sum;
        }
        for (const auto &[group, row] : folded)
            rows->append(row);
        return true;
    }
    case SalesGrouping::Family: {
        const bool sqlite = connection.isSqlite();
        if (!run(connection, query,
                 QStringLiteral("SELECT f, count(DISTINCT n), count(*), sum(s) FROM (SELECT ")
                     + familyOf(sqlite) + QStringLiteral(" AS f, l.invoice_number AS n, ")
                     + amountOf(QStringLiteral("l.quantity"), sqlite) + QStringLiteral(" * ")
                     + amountOf(QStringLiteral("l.unit_price"), sqlite)
                     + QStringLiteral(" AS s FROM invoice i JOIN invoice_line l ON "
                                      "l.invoice_number = i.number AND l.revision = i.revision "
                                      "WHERE ")
                     + saleFilter() + QStringLiteral(") lines GROUP BY f ORDER BY f"),
                 period))
            return false;
        while (query.next())
            rows->append({familyNames().value(query.value(0).toInt(), familyNames().last()),
                          query.value(1).toLongLong(), query.value(2).toLongLong(),
                          query.value(3).toDouble()});
        return true;
    }
    case SalesGrouping::Operator:
        // Who took the order; an invoice never taken as an order, or taken before operators
        // existed, names nobody.
        if (!run(connection, query,
                 QStringLiteral("SELECT coalesce(c.operator_name, ''), count(*), "
                                "sum(i.line_count), sum(i.subtotal) FROM invoice i "
                                "LEFT JOIN order_status_change c ON c.invoice_number = i.number "
                                "AND c.from_status IS NULL WHERE ")
                     + saleFilter()
                     + QStringLiteral(" GROUP BY coalesce(c.operator_name, '') "
                                      "ORDER BY 4 DESC, 1"),
                 period))
            return false;
        while (query.next()) {
            const QString name = query.value(0).toString();
            rows->append({name.isEmpty() ? noOperatorName() : name, query.value(1).toLongLong(),
                          query.value(2).toLongLong(), query.value(3).toDouble()});
        }
        return true;
    case SalesGrouping::Customer:
        // Named as the card names the customer now, or as the latest invoice printed them.
        if (!run(connection, query,
                 QStringLiteral("SELECT coalesce(nullif(c.short_name, ''), g.name), g.invoices, "
                                "g.lines, g.total FROM (SELECT i.customer_id AS id, "
                                "max(i.customer_name) AS name, count(*) AS invoices, "
                                "sum(i.line_count) AS lines, sum(i.subtotal) AS total "
                                "FROM invoice i WHERE i.customer_id <> 0 AND ")
                     + saleFilter()
                     + QStringLiteral(" GROUP BY i.customer_id ORDER BY 5 DESC, 1 LIMIT %1) g "
                                      "LEFT JOIN customer c ON c.id = g.id "
                                      "ORDER BY g.total DESC, g.id")
                           .arg(TopCustomers),
                 period))
            return false;
        while (query.next())
            rows->append({query.value(0).toString(), query.value(1).toLongLong(),
                          query.value(2).toLongLong(), query.value(3).toDouble()});
        return true;
    }
    return false;
}

bool SalesReports::average(const QDate &from, const QDate &to, AverageOrder *average)
{
    *average = AverageOrder();
    if (!connection.isOpen())
        return false;
    QSqlQuery query(connection.database());
    if (!run(connection, query,
             QStringLiteral("SELECT count(*), coalesce(sum(i.subtotal), 0) FROM invoice i WHERE ")
                 + saleFilter(),
             {dayText(from), dayText(to.addDays(1))})
        || !query.next())
        return false;
    average->invoices = query.value(0).toLongLong();
    average->sum = query.value(1).toDouble();
    return true;
}

bool SalesReports::owed(const QDate &on, QVector<OwedRow> *rows)
{
    rows->clear();
    if (!connection.isOpen())
        return false;
    const QString owing = QStringLiteral("CAST(round(i.total * 100) AS BIGINT) - o.paid_kopecks");
    QSqlQuery query(connection.database());
    if (!run(connection, query,
             QStringLiteral("SELECT CASE WHEN i.created >= ? THEN 0 WHEN i.created >= ? THEN 1 "
                            "ELSE 2 END AS age, count(*), sum(")
                 + owing
                 + QStringLiteral(") FROM taken_order o JOIN invoice i ON i.number = "
                                  "o.invoice_number WHERE o.status <> 4 AND i.is_void = 0 AND ")
                 + owing + QStringLiteral(" > 0 AND i.created < ? GROUP BY 1 ORDER BY 1"),
             {dayText(on.addDays(-30)), dayText(on.addDays(-60)), dayText(on.addDays(1))}))
        return false;
    const QString ages[]
        = {QStringLiteral("0–30"), QStringLiteral("31–60"), QStringLiteral("более 60")};
    QVector<OwedRow> all {{ages[0]}, {ages[1]}, {ages[2]}};
    while (query.next()) {
        OwedRow &row = all[qBound(0, query.value(0).toInt(), 2)];
        row.invoices = query.value(1).toLongLong();
        row.owedKopecks = query.value(2).toLongLong();
    }
    *rows = all;
    return true;
}
