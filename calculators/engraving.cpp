// The "Гравировка" page: plotter cutting and engraving options. Nothing here is priced yet: the
// page only carries the codes of the character sizes and film colours for a later calculation.
#include "app/mainwindow.h"

#include "calculators/page_parts.h"
#include "form/mainwindow_form.h"

void MainWindow::page3_2_init()
{
    setOptionValues({{form->radioButton_18, 20},
                     {form->radioButton_90, 17},
                     {form->radioButton_91, 15},
                     {form->radioButton_92, 12},
                     {form->radioButton_98, 1},
                     {form->radioButton_99, 9},
                     {form->radioButton_100, 14},
                     {form->radioButton_101, 0}});
}

// No price rows exist for this page yet; its "Ответ" stays unconnected.
void MainWindow::page3_2_answer() { }

void MainWindow::page3_2_showDim(bool /*toggled*/) { }
