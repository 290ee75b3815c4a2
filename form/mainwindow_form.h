// The form record: one pointer per widget of the form, named by its object name.
#pragma once

#include "ui_mainwindow.h"

class MainWindowForm : public Ui::MainWindow
{
public:
    // Builds every widget on the window, sets the captions and the start state.
    void setupForm(QMainWindow *window);
    void retranslateForm(QMainWindow *window) { retranslateUi(window); }
};
