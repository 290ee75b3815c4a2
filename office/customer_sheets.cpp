// The customers' workbook through the rows of a sheet.
#include "office/customer_sheets.h"

#include "office/sheet_rows.h"

bool writeCustomerSheet(OfficeSession &session, const QString &path,
                        const QVector<Customer> &customers, QString *error)
{
    const QVector<QStringList> rows = customerFileRows(customers);
    const QStringList header = rows.value(0);
    SheetColumns columns;
    // The discount is the one column to calculate with.
    const int discount = header.indexOf(QStringLiteral("скидка"));
    for (int c = 0; c < header.size(); ++c)
        (c == discount ? columns.numbers : columns.text).insert(c);
    return writeSheetRows(session, path, rows, columns, error);
}

bool readCustomerSheet(OfficeSession &session, const QString &path, CustomerFileRead *read,
                       QString *error)
{
    QVector<QStringList> rows;
    if (!readSheetRows(session, path, CustomerFileMaxRows, &rows, error))
        return false;
    *read = readCustomerRows(rows);
    return true;
}
