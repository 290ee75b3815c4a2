// "Экспорт": the order as an invoice in the shop's spreadsheet template, opened in LibreOffice
// Calc as a new untitled document. The work itself is the export panel's (order/export_panel.cpp).
#include "app/mainwindow.h"

#include "dialogs/prompts.h"
#include "form/mainwindow_form.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <memory>

#ifdef PRINTCALC_HAVE_OFFICE
#include "app/export_panel.h"

void MainWindow::exportInit()
{
    auto *panel = new ExportPanel(this, form->tableWidget, form->pushButton_6);
    // The invoice's number in the shop's journal (app/order_storage.cpp): taken once the order
    // passed its checks, reported back when the export ended.
    auto number = std::make_shared<DocumentNumber>();
    panel->numberInvoice = [this, number](PreparedExport *prepared) {
        *number = DocumentNumber();
        if (orderLines().isEmpty())
            return;
        *number = numberForDocument(QStringLiteral("export"));
        if (number->ok) {
            prepared->number = QString::number(number->number);
            prepared->date = number->date.date();
        }
    };
    panel->invoiceEnded = [this, number](bool made) {
        if (orderLines().isEmpty() && number->number == 0 && number->reason.isEmpty())
            return;
        documentFinished(number->number, QStringLiteral("export"), made);
        if (made && !number->ok)
            prompts().tell(QStringLiteral("Экспорт"), number->reason);
    };
}

void MainWindow::exportToExcel()
{
    auto *panel = findChild<ExportPanel *>(QString(), Qt::FindDirectChildrenOnly);
    if (!panel || panel->isRunning())
        return;
    ExportRequest request;
    request.typedPath = form->lineEdit_11->text();
    request.lines = orderLines();
    panel->exportOrder(request);
}
#else
void MainWindow::exportInit() { }

void MainWindow::exportToExcel()
{
    prompts().tell(QStringLiteral("Экспорт"),
                   QStringLiteral("Экспорт в LibreOffice Calc недоступен в этой сборке "
                                  "программы: она собрана без поддержки LibreOffice. Установите "
                                  "сборку с экспортом или перенесите заказ вручную."));
}
#endif
