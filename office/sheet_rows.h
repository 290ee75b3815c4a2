// Rows of texts as a workbook (.ods, .xlsx by the suffix) through the office: the price list and
// the customers' list are written and read with it. Each call may block: call it off the window's
// thread.
#pragma once

#include <QSet>
#include <QStringList>
#include <QVector>

class OfficeSession;

// How the columns are written: as text (Calc keeps leading zeros and long digit strings), or as
// numbers where the text reads as one (below the header row); any other column as the office
// takes the text.
struct SheetColumns
{
    QSet<int> text;
    QSet<int> numbers;
};

// Why no workbook can be written at the path, in Russian; empty when it can be tried: a regular
// file or none yet, in a folder that exists and takes files.
QString sheetTargetProblem(const QString &path);

// Saves the rows as a new workbook at the path; false with the reason in Russian. The workbook
// is written beside the path and put in its place whole: a failure leaves the file there as it
// was and no part of the new one.
bool writeSheetRows(OfficeSession &session, const QString &path, const QVector<QStringList> &rows,
                    const SheetColumns &columns, QString *error);

// The first sheet's used cells, row by row: texts as they are, numbers as a file would write them
// (whole ones without a decimal part). More than maxRows rows below the header are refused.
bool readSheetRows(OfficeSession &session, const QString &path, int maxRows,
                   QVector<QStringList> *rows, QString *error);
