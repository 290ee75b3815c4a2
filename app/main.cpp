// Start-up: the administrator's commands without a window, or one application, one window, the
// event loop.
#include "app/mainwindow.h"
#include "cli/cli.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    if (isCliInvocation(argc, argv))
        return runCli(argc, argv);
    QApplication app(argc, argv);
    // The same picture the desktop menu shows for the program.
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/icons/printcalc-%1.png").arg(size));
    app.setWindowIcon(icon);

    MainWindow window;
    window.show();
    return app.exec();
}
