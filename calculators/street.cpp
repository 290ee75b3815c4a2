// The "Уличная" page: outdoor wide-format prints priced by area, material and quality.
#include "app/mainwindow.h"

#include "form/mainwindow_form.h"

void MainWindow::page2_1_init()
{
}

void MainWindow::page2_1_answer()
{
}

void MainWindow::page2_1_showDim(bool /*toggled*/)
{
}
