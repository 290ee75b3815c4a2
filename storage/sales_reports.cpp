// The reports' statements: each adds up the sales the schema keeps beside the invoices (one row
// a sale, with its sums by family) and hands back one row a group, so that a report over a
// million lines reads neither the lines nor the invoices. Days are compared as the stored text,
// which sorts as time does.
#include "storage/sales_reports.h"

#include "storage/connection.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <iterator>
#include <map>

namespace {

// The families' columns of a sale, in the order of familyNames().
const char *const FamilyColumns[]
    = {"sheet_products", "brochures", "street", "interior", "souvenir", "other"};

const int TopCustomers = 20;

QString dayText(const QDate &day)
{
    return day.toString(QStringLiteral("yyyy-MM-dd"));
}

// A sale in the period, by the day of its invoice.
const QString InPeriod = QStringLiteral("day >= ? AND day < ?");

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
             QStringLiteral("SELECT day, count(*), sum(line_count), sum(subtotal) FROM sale WHERE ")
                 + InPeriod + QStringLiteral(" GROUP BY day ORDER BY 1"),
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
        // One row of sums, a family's invoices being the sales with a line of it.
        QString columns;
        for (const char *family : FamilyColumns)
            columns += QStringLiteral("%1count(CASE WHEN %2_lines > 0 THEN 1 END), "
                                      "coalesce(sum(%2_lines), 0), coalesce(sum(%2_sum), 0)")
                           .arg(columns.isEmpty() ? QString() : QStringLiteral(", "),
                                QLatin1String(family));
        if (!run(connection, query,
                 QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM sale WHERE ")
                     + InPeriod,
                 period)
            || !query.next())
            return false;
        for (int i = 0; i < int(std::size(FamilyColumns)); ++i)
            if (query.value(3 * i).toLongLong() > 0)
                rows->append({familyNames().at(i), query.value(3 * i).toLongLong(),
                              query.value(3 * i + 1).toLongLong(),
                              query.value(3 * i + 2).toDouble()});
        return true;
    }
    case SalesGrouping::Operator:
        // Who took the order; an invoice never taken as an order, or taken before operators
        // existed, names nobody.
        if (!run(connection, query,
                 QStringLiteral("SELECT operator_name, count(*), sum(line_count), sum(subtotal) "
                                "FROM sale WHERE ")
                     + InPeriod + QStringLiteral(" GROUP BY operator_name ORDER BY 4 DESC, 1"),
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
                                "g.lines, g.total FROM (SELECT customer_id AS id, "
                                "max(customer_name) AS name, count(*) AS invoices, "
                                "sum(line_count) AS lines, sum(subtotal) AS total "
                                "FROM sale WHERE customer_id <> 0 AND ")
                     + InPeriod
                     + QStringLiteral(" GROUP BY customer_id ORDER BY 5 DESC, 1 LIMIT %1) g "
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
             QStringLiteral("SELECT count(*), coalesce(sum(subtotal), 0) FROM sale WHERE ")
                 + InPeriod,
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
    QSqlQuery query(connection.database());
    if (!run(connection, query,
             QStringLiteral("SELECT CASE WHEN day >= ? THEN 0 WHEN day >= ? THEN 1 ELSE 2 END, "
                            "count(*), sum(owed_kopecks) FROM sale WHERE owed_kopecks > 0 AND "
                            "day < ? GROUP BY 1 ORDER BY 1"),
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
