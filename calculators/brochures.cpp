// The "Брошюры" page: a cover and inner sheets priced per copy.
#include "app/mainwindow.h"

#include "form/mainwindow_form.h"

void MainWindow::page1_2_init()
{
}

void MainWindow::page1_2_answer()
{
}

void MainWindow::page1_2_answer2()
{
}

void MainWindow::page1_2_answer3()
{
}

void MainWindow::page1_2_showDim(bool /*toggled*/)
{
}
