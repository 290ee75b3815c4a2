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
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalSockets[2] = {-1, -1};

void noteSignal(int)
{
    // All a signal handler may do: one byte to the event loop, which does the rest.
    const char byte = 1;
    const ssize_t written = ::write(signalSockets[1], &byte, 1);
    Q_UNUSED(written)
}

// SIGTERM (a logout, a shutdown) and SIGHUP (the terminal gone) end the program as closing its
// window does: the event loop ends, the office the program started is closed unless an invoice
// is open in it, the order is stored. No question is asked on the way out.
void quitOnSignals(QApplication *app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalSockets[0], QSocketNotifier::Read, app);
    QObject::connect(notifier, &QSocketNotifier::activated, app, [] {
        char byte = 0;
        const ssize_t read = ::read(signalSockets[0], &byte, 1);
        Q_UNUSED(read)
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
}

} // namespace

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
    quitOnSignals(&app);
    return app.exec();
}
