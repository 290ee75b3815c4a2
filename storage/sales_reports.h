// The owner's sales reports, added up in the database: a period's sales by day, week, month,
// product family, operator or customer, the average order, and what is owed by the age of the
// invoice. A sale is an invoice's latest revision, neither void nor a cancelled order; its sum is
// quantity × unit price over its lines, before discount and tax.
#pragma once

#include <QDate>
#include <QString>
#include <QVector>

class Connection;

enum class SalesGrouping { Day, Week, Month, Family, Operator, Customer };

// "day", "week", "month", "family", "operator", "customer" as the command line writes them.
QString groupingWord(SalesGrouping grouping);
bool groupingFromWord(const QString &word, SalesGrouping *grouping);
// "По дням", "По неделям", ... as the window offers them.
QString groupingCaption(SalesGrouping grouping);

struct SalesRow
{
    QString group; // "2026-03-09", "2026-W11", "2026-03", "Брошюры", an operator, a customer
    qint64 invoices = 0;
    qint64 lines = 0;
    double sum = 0.0;
};

struct AverageOrder
{
    qint64 invoices = 0;
    double sum = 0.0;
    double average() const { return invoices > 0 ? sum / double(invoices) : 0.0; }
};

// The invoices still owed on, by their age on a day: "0–30", "31–60", "более 60" days.
struct OwedRow
{
    QString age;
    qint64 invoices = 0;
    qint64 owedKopecks = 0;
};

// The families named as the pages, and the lines priced on no page.
const QStringList &familyNames();
QString noOperatorName();

class SalesReports
{
public:
    explicit SalesReports(Connection &connection);

    // The sales from `from` to `to`, both included. Days, weeks and months in time order, only
    // those with sales; the families in the pages' order, only those with sales; operators by
    // sum; the 20 customers who bought most. False when the database fails (the connection
    // tells why).
    bool sales(const QDate &from, const QDate &to, SalesGrouping by, QVector<SalesRow> *rows);
    bool average(const QDate &from, const QDate &to, AverageOrder *average);
    // Orders neither paid in full nor cancelled, by the invoice's age on the day.
    bool owed(const QDate &on, QVector<OwedRow> *rows);

private:
    bool byDay(const QDate &from, const QDate &to, QVector<SalesRow> *rows);

    Connection &connection;
};
