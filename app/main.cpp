// Start-up: one application, one window, the event loop.
#include "app/document_actions.h"
#include "app/mainwindow.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    DocumentActions::installQtTranslations();
    // The same picture the desktop menu shows for the program.
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/icons/printcalc-%1.png").arg(size));
    app.setWindowIcon(icon);

    MainWindow window;
    window.show();
    return app.exec();
}
