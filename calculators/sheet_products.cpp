// The "Листовая продукция" page: leaflets, cards, envelopes and bags priced per sheet.
#include "app/mainwindow.h"

#include "form/mainwindow_form.h"

void MainWindow::page1_1_init()
{
}

void MainWindow::page1_1_answer()
{
}

void MainWindow::page1_1_answer2()
{
}

void MainWindow::page1_1_answer3()
{
}

void MainWindow::page1_1_showDim(bool /*toggled*/)
{
}
