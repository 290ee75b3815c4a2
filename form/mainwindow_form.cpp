// Building the form on the window.
#include "form/mainwindow_form.h"

void MainWindowForm::setupForm(QMainWindow *window)
{
    setupUi(window);
    // Columns sized for what they hold: at the default width a description shows only its first
    // dozen letters. The last column is just the red removal marker.
    const int widths[] = {420, 60, 70, 150, 250, 27};
    for (int column = 0; column < 6; ++column)
        tableWidget->setColumnWidth(column, widths[column]);
}
