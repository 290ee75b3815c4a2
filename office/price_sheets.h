// The price list as a spreadsheet (.ods, .xlsx) through the office: written with the key column
// formatted as text, so that Calc keeps the leading zeros of keys, and the prices as numbers; read
// back as the first sheet's cells in text. Each call may block: call it off the window's thread.
#pragma once

#include "prices/price_file_check.h"

class OfficeSession;

// Saves the rows as a new workbook at the path (.ods, or .xlsx by the suffix); false with the
// reason in Russian.
bool writePriceSheet(OfficeSession &session, const QString &path, const PriceFileRows &rows,
                     QString *error);

// The first sheet's used cells, row by row: texts as they are, numbers as the file would write
// them (a key that lost its zeros reads "2428", so that the check can say so).
bool readPriceSheet(OfficeSession &session, const QString &path, PriceFileRows *rows,
                    QString *error);
