// "Экспорт": the order as an invoice in the shop's spreadsheet template, opened in LibreOffice
// Calc as a new untitled document. The work itself is the export panel's (order/export_panel.cpp).
#include "app/mainwindow.h"

#include "form/mainwindow_form.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#ifdef PRINTCALC_HAVE_OFFICE
#include "order/export_panel.h"

void MainWindow::exportInit()
{
    new ExportPanel(this, form->tableWidget, form->pushButton_6);
}

void MainWindow::exportToExcel()
{
    auto *panel = findChild<ExportPanel *>(QString(), Qt::FindDirectChildrenOnly);
    if (!panel || panel->isRunning())
        return;
    ExportRequest request;
    request.typedPath = form->lineEdit_11->text();
    request.lines = orderLines();
    // The invoice's number and date come from the order journal once it hands them out.
    panel->exportOrder(request);
}
#else
void MainWindow::exportInit() { }

void MainWindow::exportToExcel()
{
    if (showMessage)
        showMessage(QStringLiteral("Экспорт в LibreOffice Calc недоступен в этой сборке "
                                   "программы: она собрана без поддержки LibreOffice. Установите "
                                   "сборку с экспортом или перенесите заказ вручную."));
}
#endif
