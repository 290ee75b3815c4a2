// The "Интерьерная" page: indoor wide-format prints on paper.
#include "app/mainwindow.h"

#include "form/mainwindow_form.h"

void MainWindow::page2_2_init()
{
}

void MainWindow::page2_2_answer()
{
}

void MainWindow::page2_2_showDim(bool /*toggled*/)
{
}
