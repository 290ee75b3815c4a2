// Start-up of the window program.
#include "app/application.h"

#include "app/document_actions.h"
#include "app/mainwindow.h"
#include "app/scrolling.h"
#include "prices/price_table.h"
#include "storage/database_url.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include <cstdio>

int runWindow(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(icons);
    DocumentActions::installQtTranslations();
    // The same picture the desktop menu shows for the program.
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/icons/printcalc-%1.png").arg(size));
    app.setWindowIcon(icon);

    // Without a home the order would be kept nowhere (or under "/"): said, not started.
    if (const QString problem = homeProblem(); !problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(problem));
        QMessageBox::critical(nullptr, QStringLiteral("Калькулятор типографии"), problem);
        return 1;
    }

    // A list that does not load would price everything at 0: the program refuses to start.
    QString error;
    if (PriceTable::builtIn(&error).isEmpty()) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(error));
        QMessageBox::critical(
            nullptr, QStringLiteral("Калькулятор типографии"),
            error + QStringLiteral("\nПрограмма не может считать цены и будет закрыта."));
        return 1;
    }

    MainWindow window;
    fitToScreen(&window);
    window.show();
    return app.exec();
}
