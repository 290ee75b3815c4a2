// The price list's workbook: the key column as text, the price column as numbers.
#include "office/price_sheets.h"

#include "office/sheet_rows.h"

bool writePriceSheet(OfficeSession &session, const QString &path, const PriceFileRows &rows,
                     QString *error)
{
    const int columns = rows.isEmpty() ? 0 : int(rows.first().size());
    return writeSheetRows(session, path, rows, {{0}, {columns - 1}}, error);
}

bool readPriceSheet(OfficeSession &session, const QString &path, PriceFileRows *rows,
                    QString *error)
{
    return readSheetRows(session, path, PriceFileMaxRows, rows, error);
}
