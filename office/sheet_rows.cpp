// Rows of texts written to and read from a workbook's first sheet over UNO.
#include "office/sheet_rows.h"

#include "prices/price_file_check.h"

#include "office/uno_support.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XUsedAreaCursor.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

using namespace com::sun::star;
using uno::Any;
using uno::Reference;
using uno::Sequence;
using uno::UNO_QUERY;
using uno::UNO_QUERY_THROW;

namespace {

Reference<sheet::XSpreadsheet> firstSheet(const Reference<sheet::XSpreadsheetDocument> &document)
{
    const Reference<container::XIndexAccess> sheets(document->getSheets(), UNO_QUERY_THROW);
    return Reference<sheet::XSpreadsheet>(sheets->getByIndex(0), UNO_QUERY_THROW);
}

void closeQuietly(const Reference<uno::XInterface> &component)
{
    try {
        const Reference<util::XCloseable> closeable(component, UNO_QUERY);
        if (closeable.is())
            closeable->close(true);
    } catch (const uno::Exception &) {
        // Closing a document the office dropped: nothing is left to close.
    }
}

// A number as the file would write it: whole numbers without a decimal part.
QString numberText(double value)
{
    if (std::isfinite(value) && value == std::floor(value) && std::abs(value) < 1e15)
        return QString::number(qint64(value));
    return priceFileNumber(value);
}

} // namespace

QString sheetTargetProblem(const QString &path)
{
    const QFileInfo target(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (target.exists() && !target.isFile())
        return QStringLiteral("«%1» — не обычный файл, таблица в него не записывается.").arg(shown);
    const QFileInfo folder(target.absolutePath());
    const QString folderShown = QDir::toNativeSeparators(folder.filePath());
    if (folder.exists() && !folder.isDir())
        return QStringLiteral("«%1» — файл, а не папка: таблицу в нём не сохранить.")
            .arg(folderShown);
    if (!folder.exists())
        return QStringLiteral("Папки «%1» нет.").arg(folderShown);
    if (!folder.isWritable())
        return QStringLiteral("В папку «%1» нельзя записывать: нет прав на запись.")
            .arg(folderShown);
    return QString();
}

bool writeSheetRows(OfficeSession &session, const QString &path, const QVector<QStringList> &rows,
                    const SheetColumns &columnsAs, QString *error)
{
    const QString problem = sheetTargetProblem(path);
    if (!problem.isEmpty()) {
        *error = problem;
        return false;
    }
    // The office writes into a folder of the program's own beside the target, its lock and
    // temporary files too, so that a failed write leaves nothing behind; the workbook then takes
    // the target's place in one rename.
    const QFileInfo target(path);
    QTemporaryDir folder(target.absolutePath() + QStringLiteral("/.printcalc-XXXXXX"));
    if (!folder.isValid()) {
        *error = QStringLiteral("Не удалось начать запись в папку «%1»: %2")
                     .arg(QDir::toNativeSeparators(target.absolutePath()), folder.errorString());
        return false;
    }
    const QString written = folder.filePath(QStringLiteral("sheet.") + target.suffix());
    OfficeFailure failure;
    if (!session.reach(&failure)) {
        *error = failure.message;
        return false;
    }
    const Reference<frame::XDesktop2> desktop = OfficeSessionAccess::desktop(session);
    Reference<lang::XComponent> component;
    try {
        const beans::PropertyValue hidden = unoProperty("Hidden", Any(true));
        component = desktop->loadComponentFromURL("private:factory/scalc", "_blank", 0,
                                                  Sequence<beans::PropertyValue>(&hidden, 1));
        const Reference<sheet::XSpreadsheetDocument> document(component, UNO_QUERY_THROW);
        const Reference<sheet::XSpreadsheet> sheet = firstSheet(document);
        const int columns = rows.isEmpty() ? 0 : int(rows.first().size());
        if (columns > 0) {
            // Text columns as text: typed or pasted, "002428" keeps its zeros.
            const Reference<util::XNumberFormats> formats
                = Reference<util::XNumberFormatsSupplier>(document, UNO_QUERY_THROW)
                      ->getNumberFormats();
            lang::Locale russian;
            russian.Language = "ru";
            russian.Country = "RU";
            sal_Int32 textFormat = formats->queryKey("@", russian, false);
            if (textFormat < 0)
                textFormat = formats->addNew("@", russian);
            for (const int column : columnsAs.text)
                Reference<beans::XPropertySet>(
                    sheet->getCellRangeByPosition(column, 0, column, rows.size() - 1),
                    UNO_QUERY_THROW)
                    ->setPropertyValue("NumberFormat", Any(textFormat));

            Sequence<Sequence<Any>> data(rows.size());
            Sequence<Any> *out = data.getArray();
            for (int r = 0; r < rows.size(); ++r) {
                Sequence<Any> row(columns);
                Any *cells = row.getArray();
                for (int c = 0; c < columns; ++c) {
                    const QString text = rows.at(r).value(c);
                    // Number columns hold numbers, so that the shop can calculate with them.
                    bool isNumber = false;
                    const double value = QString(text)
                                             .replace(QLatin1Char(','), QLatin1Char('.'))
                                             .toDouble(&isNumber);
                    cells[c] = (r > 0 && columnsAs.numbers.contains(c) && isNumber)
                        ? Any(value)
                        : Any(toOUString(text));
                }
                out[r] = row;
            }
            Reference<sheet::XCellRangeData>(
                sheet->getCellRangeByPosition(0, 0, columns - 1, rows.size() - 1), UNO_QUERY_THROW)
                ->setDataArray(data);
            Reference<beans::XPropertySet>(
                Reference<table::XColumnRowRange>(sheet, UNO_QUERY_THROW)->getColumns(),
                UNO_QUERY_THROW)
                ->setPropertyValue("OptimalWidth", Any(true));
        }
        const bool ods
            = QFileInfo(path).suffix().compare(QLatin1String("ods"), Qt::CaseInsensitive) == 0;
        const beans::PropertyValue store[] = {
            unoProperty(
                "FilterName",
                Any(rtl::OUString::createFromAscii(ods ? "calc8" : "Calc MS Excel 2007 XML"))),
            unoProperty("Overwrite", Any(true)),
        };
        Reference<frame::XStorable>(component, UNO_QUERY_THROW)
            ->storeToURL(toOUString(QUrl::fromLocalFile(written).toString(QUrl::FullyEncoded)),
                         Sequence<beans::PropertyValue>(store, 2));
    } catch (const uno::Exception &e) {
        closeQuietly(component);
        const QString details = exceptionText(e);
        // A lost bridge is the office gone, not the disk.
        *error = details.contains(QLatin1String("bridge"), Qt::CaseInsensitive)
            ? QStringLiteral("Связь с LibreOffice Calc прервалась: программа закрылась или "
                             "перестала отвечать. Файл «%1» не записан, прежний остался как был; "
                             "повторите выгрузку (%2).")
                  .arg(path, details)
            : QStringLiteral("LibreOffice Calc не записал файл «%1» (возможно, диск заполнен "
                             "или нет прав на запись): %2")
                  .arg(path, details);
        return false;
    }
    closeQuietly(component);
    if (QFileInfo(written).size() == 0) {
        *error = QStringLiteral("LibreOffice Calc не записал файл «%1»: записано 0 байт, "
                                "возможно, диск заполнен.")
                     .arg(path);
        return false;
    }
    // A temporary file is its owner's alone; the workbook gets the old file's rights, or the
    // usual ones of a new file.
    QFile::setPermissions(written,
                          target.exists() ? target.permissions()
                                          : QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                  | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    if (std::rename(QFile::encodeName(written).constData(),
                    QFile::encodeName(target.absoluteFilePath()).constData())
        != 0) {
        const int code = errno;
        *error = QStringLiteral("Файл «%1» не заменён записанной таблицей: %2")
                     .arg(path, QString::fromLocal8Bit(std::strerror(code)));
        return false;
    }
    return true;
}

bool readSheetRows(OfficeSession &session, const QString &path, int maxRows,
                   QVector<QStringList> *rows, QString *error)
{
    rows->clear();
    OfficeFailure failure;
    if (!session.reach(&failure)) {
        *error = failure.message;
        return false;
    }
    // Opened as the export opens its template: the type detected first, no macro, no question.
    const OfficeDocument document
        = session.openTemplate(QFileInfo(path).absoluteFilePath(), &failure);
    if (document.isNull()) {
        *error = QStringLiteral("LibreOffice Calc не открыл «%1» как таблицу .ods или .xlsx (%2).")
                     .arg(path, failure.details.isEmpty() ? failure.message : failure.details);
        return false;
    }
    try {
        const Reference<sheet::XSpreadsheet> sheet = firstSheet(unoDocument(document));
        const Reference<sheet::XSheetCellCursor> cursor = sheet->createCursor();
        Reference<sheet::XUsedAreaCursor>(cursor, UNO_QUERY_THROW)->gotoEndOfUsedArea(false);
        const table::CellRangeAddress used
            = Reference<sheet::XCellRangeAddressable>(cursor, UNO_QUERY_THROW)->getRangeAddress();
        if (used.EndRow >= maxRows + 1) {
            session.discard(document);
            *error = QStringLiteral("в таблице %1 строк, больше допустимых %2.")
                         .arg(used.EndRow + 1)
                         .arg(maxRows);
            return false;
        }
        const Sequence<Sequence<Any>> data
            = Reference<sheet::XCellRangeData>(
                  sheet->getCellRangeByPosition(0, 0, used.EndColumn, used.EndRow), UNO_QUERY_THROW)
                  ->getDataArray();
        rows->reserve(data.getLength());
        for (const Sequence<Any> &row : data) {
            QStringList cells;
            for (const Any &cell : row) {
                double value = 0;
                rtl::OUString text;
                if (cell >>= text)
                    cells << toQString(text);
                else if (cell >>= value)
                    cells << numberText(value);
                else
                    cells << QString();
            }
            rows->append(cells);
        }
    } catch (const uno::Exception &e) {
        session.discard(document);
        *error = QStringLiteral("LibreOffice Calc не прочитал файл «%1»: %2")
                     .arg(path, exceptionText(e));
        return false;
    }
    session.discard(document);
    return true;
}
