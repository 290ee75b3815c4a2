// The "Гравировка" page: plotter cutting and engraving options, not priced yet.
#include "app/mainwindow.h"

#include "form/mainwindow_form.h"

void MainWindow::page3_2_init()
{
}

void MainWindow::page3_2_answer()
{
}

void MainWindow::page3_2_showDim(bool /*toggled*/)
{
}
