// "Экспорт": the order as an invoice in the shop's spreadsheet template.
#include "app/mainwindow.h"

void MainWindow::exportToExcel()
{
}
