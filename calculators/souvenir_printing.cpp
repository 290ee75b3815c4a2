// The souvenir "Печать" page: printing on mugs, pens, textiles and more, with its gallery.
#include "app/mainwindow.h"

#include "form/mainwindow_form.h"

void MainWindow::page3_1_init()
{
}

void MainWindow::page3_1_answer()
{
}

void MainWindow::page3_1_showDim(bool /*toggled*/)
{
}

void MainWindow::showImage()
{
}
