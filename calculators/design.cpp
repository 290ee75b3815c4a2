// The "Дизайн" tab: the list of design services, not priced yet.
#include "app/mainwindow.h"

#include "form/mainwindow_form.h"

void MainWindow::page4_1_answer()
{
}

void MainWindow::page4_1_showDim(bool /*toggled*/)
{
}
