// For the export's tests and benchmark only: reads an exported document back and makes the odd
// templates a shop will meet sooner or later, through the same office, UNO kept inside.
#pragma once

#include "office/office_session.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace officetest {

// One cell as the sheet holds it.
struct Cell
{
    enum Kind { Empty, Value, Text, Formula };
    Kind kind = Empty;
    QString text; // as shown
    double value = 0.0;
    QString formula;
    bool wrapped = false;
    bool centred = false; // horizontally and vertically
    bool leftAligned = false; // the standard alignment, untouched
    int borderEdges = 0; // edges with a line, 0 to 4
    int numberFormat = 0;
    int rowHeight = 0; // the cell's row, in hundredths of a millimetre
};

Cell cell(const OfficeDocument &document, const char *name, const QString &sheet = QString());
void setCellValue(const OfficeDocument &document, const char *name, double value);
QString documentUrl(const OfficeDocument &document);
bool isVisible(const OfficeDocument &document);
// The format code of a cell's number format ("DD.MM.YYYY").
QString formatCode(const OfficeDocument &document, const char *name);

// What a test template changes in a copy of the sample template.
enum class Change {
    RenameSheet, // "Лист1" becomes "Данные"
    ProtectSheet,
    ProtectAllButFirstRows, // rows 1 to 20 stay writable
    TextBelow, // a text in C20
    FormulaBelow, // a formula in F25
    MergedBelow, // C18:D18 merged, empty
    DropNames, // no cells named for the number and the date
    DropShopNames, // no cells named for the shop's lines (a shop's own template of old)
    Macro, // a Basic macro bound to opening and to new documents writes into H1
};
// A picture on a sheet: the cell it is anchored to ("E2", empty when anchored to the page) and its
// size in hundredths of a millimetre.
struct Picture
{
    QString name;
    QString anchorCell;
    int width = 0;
    int height = 0;
};
QVector<Picture> pictures(const OfficeDocument &document, const QString &sheet = QString());
// Writes the sheet's picture at that index as a PNG file; false with the reason.
bool savePicture(OfficeSession &session, const OfficeDocument &document, int index,
                 const QString &path, QString *error);

// Writes the changed copy to target (.xlsx or .ods, by its suffix); false with the reason.
bool makeTemplate(OfficeSession &session, const QString &source, const QString &target,
                  Change change, QString *error);
// Opens a file as the office would by default, macros allowed without asking, to show that a
// macro template's macro does run when nothing forbids it. The caller discards the document.
OfficeDocument openWithMacros(OfficeSession &session, const QString &path);

// Opens a workbook as a person at Calc would, types the value into a cell of its first sheet and
// saves it in place; false with the reason.
bool typeIntoFile(OfficeSession &session, const QString &path, const char *cellName, double value,
                  QString *error);

// The benchmark's yardstick: the invoice written the way of one call per value and property
// (range, value, wrap, two alignments, four borders), as automation scripts usually do.
void writeCellByCell(const OfficeDocument &document, const QVector<InvoiceBlock> &blocks);

// Whether the process still runs: a killed office whose parent has gone stays a zombie until
// the machine's first process reaps it, and a zombie no longer runs.
bool processRunning(qint64 pid);

// A value of the running office's configuration as text ("ru-RU", "false"), read through its
// configuration provider; empty with the reason in `error` when it cannot be read.
QString configurationValue(OfficeSession &session, const QString &path, const QString &name,
                           QString *error = nullptr);
// Whether the set at `path` of the running office's configuration has the member `name`.
bool configurationHas(OfficeSession &session, const QString &path, const QString &name);

// A fresh office profile in the folder: macro security Low (a bound macro runs silently unless
// the export forbids it), no tip of the day. The office arguments to use it.
QStringList prepareProfile(const QString &folder, bool headless);

} // namespace officetest
