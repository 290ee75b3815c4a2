// "Экспорт": the order as an invoice in the shop's spreadsheet template, opened in LibreOffice
// Calc as a new untitled document. Every check comes before the first write, so a failed export
// leaves nothing half done.
#include "app/mainwindow.h"

#include "form/mainwindow_form.h"
#include "office/office_session.h"
#include "order/invoice.h"

#include <QApplication>
#include <QLineEdit>
#include <QTableWidget>

void MainWindow::exportToExcel()
{
    const QString path = form->lineEdit_11->text();
    const QVector<InvoiceBlock> blocks = invoiceFor(orderLines());
    const QString sheetName = QStringLiteral("Лист1");
    // The invoice's number in the shop's journal (app/order_storage.cpp).
    const bool numbered = !orderLines().isEmpty();
    const DocumentNumber number
        = numbered ? numberForDocument(QStringLiteral("export")) : DocumentNumber();

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
    if (numbered)
        documentFinished(number.number, QStringLiteral("export"), done);
    if (!done && showMessage)
        showMessage(office.lastError());
    else if (numbered && !number.ok && showMessage)
        showMessage(number.reason);
}
