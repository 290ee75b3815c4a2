// `printcalc --reports sales|average|owed`: the owner's reports as tab-separated lines, one group
// a line. Once operators exist they are the owner's, as in the window.
#include "cli/cli.h"

#include "order/money.h"
#include "order/order_status.h"
#include "order/visible_text.h"
#include "storage/connection.h"
#include "storage/sales_reports.h"

namespace {

QString money(double sum)
{
    return QString::number(calcRounded(sum, 2), 'f', 2);
}

// Both ends of the period are needed: a report over the whole journal is asked for in so many
// words.
bool period(CliContext &context, const QCommandLineParser &parser, QDate *from, QDate *to,
            int *status)
{
    for (const char *name : {"from", "to"}) {
        if (!parser.isSet(QLatin1String(name))) {
            *status = context.usage(
                QStringLiteral("Для отчёта нужен период: --from ДАТА и --to ДАТА."));
            return false;
        }
    }
    return context.dateRange(parser, from, to, status);
}

bool openAsOwner(CliContext &context, Connection &connection, int *status)
{
    if (!context.open(connection)) {
        *status = CliFailed;
        return false;
    }
    return context.authorise(connection, status);
}

int sales(CliContext &context, const QCommandLineParser &parser, const QStringList &)
{
    int status = 0;
    QDate from, to;
    SalesGrouping by = SalesGrouping::Day;
    if (!period(context, parser, &from, &to, &status))
        return status;
    if (!groupingFromWord(parser.value(QStringLiteral("by")), &by))
        return context.usage(
            QStringLiteral("После --by нужно одно из: day, week, month, family, operator, "
                           "customer."));
    Connection connection;
    if (!openAsOwner(context, connection, &status))
        return status;
    QVector<SalesRow> rows;
    if (!SalesReports(connection).sales(from, to, by, &rows))
        return context.fail(connection.errorText());
    for (const SalesRow &row : qAsConst(rows))
        context.out << visibleText(row.group) << '\t' << row.invoices << '\t' << row.lines << '\t'
                    << money(row.sum) << '\n';
    return 0;
}

int average(CliContext &context, const QCommandLineParser &parser, const QStringList &)
{
    int status = 0;
    QDate from, to;
    if (!period(context, parser, &from, &to, &status))
        return status;
    Connection connection;
    if (!openAsOwner(context, connection, &status))
        return status;
    AverageOrder average;
    if (!SalesReports(connection).average(from, to, &average))
        return context.fail(connection.errorText());
    context.out << average.invoices << '\t' << money(average.sum) << '\t'
                << money(average.average()) << '\n';
    return 0;
}

int owed(CliContext &context, const QCommandLineParser &parser, const QStringList &)
{
    int status = 0;
    QDate on = QDate::currentDate();
    if (parser.isSet(QStringLiteral("on"))
        && !context.readDate(parser.value(QStringLiteral("on")), QStringLiteral("--on"), &on,
                             &status))
        return status;
    Connection connection;
    if (!openAsOwner(context, connection, &status))
        return status;
    QVector<OwedRow> rows;
    if (!SalesReports(connection).owed(on, &rows))
        return context.fail(connection.errorText());
    for (const OwedRow &row : qAsConst(rows))
        context.out << row.age << '\t' << row.invoices << '\t' << kopecksText(row.owedKopecks)
                    << '\n';
    return 0;
}

} // namespace

QVector<CliCommand> reportCommands()
{
    const auto valued = [](const char *name, const char *value) {
        return QCommandLineOption(QLatin1String(name), QString(), QLatin1String(value));
    };
    const QStringList period {QStringLiteral("from"), QStringLiteral("to")};
    return {{QStringLiteral("--reports"),
             {valued("from", "date"), valued("to", "date"), valued("on", "date"),
              valued("by", "grouping")},
             {{QStringLiteral("sales"),
               QStringLiteral("  printcalc --reports sales --from ДАТА --to ДАТА --by "
                              "day|week|month|family|operator|customer\n"
                              "                                                продажи за период: "
                              "группа, счетов, строк,\n"
                              "                                                сумма (количество "
                              "× цена до скидки и налога)"),
               period + QStringList {QStringLiteral("by")},
               0,
               {},
               0,
               Action::ViewReports,
               sales},
              {QStringLiteral("average"),
               QStringLiteral("  printcalc --reports average --from ДАТА --to ДАТА\n"
                              "                                                счетов, сумма, "
                              "средний заказ"),
               period,
               0,
               {},
               0,
               Action::ViewReports,
               average},
              {QStringLiteral("owed"),
               QStringLiteral("  printcalc --reports owed [--on ДАТА]          неоплаченные "
                              "заказы по возрасту: 0–30, 31–60,\n"
                              "                                                более 60 дней; "
                              "заказов, долг"),
               {QStringLiteral("on")},
               0,
               {},
               0,
               Action::ViewReports,
               owed}},
             QStringLiteral("После --reports нужен отчёт: %1."),
             QStringLiteral("Отчёт «--reports %1» не известен: есть %2.")}};
}
