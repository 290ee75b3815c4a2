// "Отчёты": the owner's sales for a period, grouped as chosen, as a table and a chart (bars for
// groups, a line over the days), with the average order and what is owed by age; saved as CSV,
// a workbook (through the window's office) or a PDF of the table and the chart. The reports are
// added up by the shop's database on a thread of their own, so the window never waits.
#pragma once

#include "storage/database_url.h"
#include "storage/sales_reports.h"

#include <QDialog>
#include <QScopedPointer>
#include <QSet>
#include <QStringList>
#include <QVector>

#include <functional>

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTableWidget;
class QThreadPool;
class QwtPlot;
class Prompts;

namespace Ui {
class ReportsDialog;
}

// One report as shown: its columns, its rows as texts, and the chart's figure per row.
struct ReportTable
{
    QString title;
    QStringList headers;
    QVector<QStringList> rows;
    QVector<double> figures; // one a row, in roubles
    bool overTime = false; // days: a line, not bars
    QString summary; // the period's invoices, sum and average order
    QString error;
};

// The report of the combo's index (the six groupings, then what is owed by age) over the period,
// read from the database at url; blocks, call it off the window's thread.
ReportTable readReport(const DatabaseUrl &url, int report, const QDate &from, const QDate &to);
// The table as CSV: semicolons, a decimal point, UTF-8.
QByteArray reportCsv(const ReportTable &table);

class ReportsDialog : public QDialog
{
    Q_OBJECT

public:
    ReportsDialog(const DatabaseUrl &shop, Prompts *prompts, QWidget *parent = nullptr);
    ~ReportsDialog() override;

    // A workbook written through the office; unset without one (the choice is then not offered).
    std::function<bool(const QString &path, const QVector<QStringList> &rows,
                       const QSet<int> &numbers, QString *error)>
        writeSheet;
    QThreadPool *sheetPool = nullptr; // the office's threads, where writeSheet runs
    // The file to save to, asked of the operator; empty when cancelled. Tests give their own.
    std::function<QString(const QString &filter, const QString &name)> chooseFile;

    const ReportTable &shown() const { return table; }
    bool isReading() const { return reading; }
    // Saves what is shown, by the path's suffix: .csv, .ods, .xlsx or .pdf.
    void save(const QString &path);
    bool writePdf(const QString &path, QString *error);

private:
    void read(int report);
    void showTable(const ReportTable &result);

    const QScopedPointer<Ui::ReportsDialog> ui;
    DatabaseUrl shop;
    Prompts *prompts;
    QDateEdit *from;
    QDateEdit *to;
    QComboBox *grouping;
    QPushButton *showButton;
    QPushButton *saveButton;
    QLabel *summary;
    QTableWidget *grid;
    QwtPlot *plot;
    ReportTable table;
    bool reading = false;
    int serial = 0;
};
