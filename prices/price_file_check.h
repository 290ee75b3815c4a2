// The price list as a file, and the check a file passes before it becomes a version. A file holds
// rows of key and price (the export adds what the key means and what the price is per); it may
// hold only the rows that change. Errors refuse the whole file; warnings only tell.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

struct PriceVersion;

// More rows than this are refused before they are read one by one.
constexpr int PriceFileMaxRows = 100000;
// A price above this is an error.
constexpr double PriceFileMaxPrice = 10000000.0;

struct PriceFileIssue
{
    int row = 0; // 1 for the first row of the file; 0 for the file as a whole
    bool error = true;
    QString text;
};

struct PriceFileCheck
{
    QVector<PriceFileIssue> issues;
    QHash<QString, double> prices; // price keys the file sets
    QHash<QString, double> extras; // extras (by their keys) the file sets
    QHash<QString, int> rowOf; // the row each key and extra (by its key) was read from
    int rows = 0; // rows with a key
    int changed = 0; // prices and amounts that differ from the version in force
    int kept = 0; // keys and extras the file leaves out: they keep the version in force's price
    int formerNames = 0; // extras named as files before keys named them, read as their keys
    int unpriced = 0; // rows of keys without a price that the file leaves without one
    QString baseTitle; // the version in force the file was checked against

    int errors() const;
    int warnings() const;
    bool accepted() const { return errors() == 0; }
    // The report for a person, in Russian: a verdict, one line per issue with its row, the counts.
    QString report() const;
    // The same for prices edited in the price-list window, where no file is involved: the verdict
    // on the edits, each issue by its key.
    QString editsReport() const;
};

// A file's rows as text: what a CSV file or a spreadsheet's first sheet holds, row 1 first.
using PriceFileRows = QVector<QStringList>;

// Reads a CSV file: UTF-8 (a byte order mark is fine), ";" between fields (a tab or "," when the
// first row has no ";"), '"' around a field that holds one, CRLF or LF line ends. False with the
// problem for a file that is no such text or has more than PriceFileMaxRows rows.
bool readPriceCsv(const QByteArray &data, PriceFileRows *rows, PriceFileIssue *problem);

// Checks rows against the version in force. An extra is named by its key, or by the object name
// a file written before keys gave it.
PriceFileCheck checkPriceRows(const PriceFileRows &rows, const PriceVersion &inForce);
PriceFileCheck checkPriceCsv(const QByteArray &data, const PriceVersion &inForce);

// A version as a file: the header, then one row per listed key in the list's order ("нет цены" for
// a key the version has no price for), then one row per extra: key, what it means, what the price
// is per, price.
PriceFileRows priceFileRows(const PriceVersion &version);
QByteArray priceFileCsv(const PriceVersion &version);

// Spreadsheets (.ods, .xlsx) go through the office: the reader gives the first sheet's cells as
// text, the writer saves rows as a spreadsheet with the first column as text. False with the
// reason.
using PriceSheetReader
    = std::function<bool(const QString &path, PriceFileRows *rows, QString *error)>;
using PriceSheetWriter
    = std::function<bool(const QString &path, const PriceFileRows &rows, QString *error)>;

// Whether the file name asks for a spreadsheet rather than CSV.
bool isPriceSpreadsheet(const QString &path);

// Reads and checks a file: CSV here, a spreadsheet through the reader (refused without one). A
// file larger than any price list could be is refused unread.
PriceFileCheck checkPriceFile(const QString &path, const PriceVersion &inForce,
                              const PriceSheetReader &readSheet = {});
// Writes a version as CSV, or as a spreadsheet through the writer; false with the reason.
bool writePriceFile(const QString &path, const PriceVersion &version, QString *error,
                    const PriceSheetWriter &writeSheet = {});

// A price as the file writes it: the shortest decimal that reads back as the same price, with a
// decimal comma ("1,5", "66").
QString priceFileNumber(double price);
