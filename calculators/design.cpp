// The "Дизайн" tab: the list of design services. Nothing here is priced yet, and its "Ответ"
// (placed below the visible part of the tab) stays unconnected.
#include "app/mainwindow.h"

#include "form/mainwindow_form.h"

void MainWindow::page4_1_answer() { }

void MainWindow::page4_1_showDim(bool /*toggled*/) { }
