// "Экспорт": the order as an invoice in the shop's spreadsheet template, opened in LibreOffice
// Calc as a new untitled document. Every check comes before the first write, so a failed export
// leaves nothing half done.
#include "app/mainwindow.h"

#include "form/mainwindow_form.h"
#include "order/invoice.h"
#ifdef PRINTCALC_HAVE_OFFICE
#include "office/office_session.h"
#endif

#include <QApplication>
#include <QLineEdit>
#include <QTableWidget>

void MainWindow::exportToExcel()
{
#ifndef PRINTCALC_HAVE_OFFICE
    if (showMessage)
        showMessage(QStringLiteral("Экспорт в LibreOffice Calc недоступен в этой сборке программы."));
    return;
#else
    const QString path = form->lineEdit_11->text();
    const QVector<InvoiceBlock> blocks = invoiceFor(orderLines());
    const QString sheetName = QStringLiteral("Лист1");

    OfficeSession &office = OfficeSession::shared();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool done = false;
    if (office.reach()) {
        const auto document = office.openTemplate(path);
        if (document.is()) {
            const auto sheet = office.sheetByName(document, sheetName, path);
            if (!sheet.is()) {
                // The new document is ours alone, untouched: close it rather than leave it about.
                office.discard(document);
            } else if (office.writeBlocks(document, sheet, blocks)) {
                office.show(document, sheet);
                done = true;
            }
        }
    }
    QApplication::restoreOverrideCursor();
    if (!done && showMessage)
        showMessage(office.lastError());
#endif
}
