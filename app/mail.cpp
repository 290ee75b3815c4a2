// The window's side of customers' mail: the sender started with the window when a server is set,
// and ended with it.
#include "app/mainwindow.h"

#include "mail/mail_outbox.h"
#include "storage/settings.h"

#include <QCoreApplication>

QString MainWindow::initMail()
{
    const Settings settings;
    QString problem;
    const MailServer server = mailServerFrom(settings, &problem);
    if (!server.configured())
        return QString();
    // The mails wait in the queue meanwhile, and the board shows them waiting.
    if (!problem.isEmpty())
        return QStringLiteral("Письма покупателям не отправляются: ") + problem;
    outbox
        = new MailOutbox(chooseDatabase(QCoreApplication::arguments(), settings).url, server, this);
    return QString();
}

void MainWindow::mailQueued()
{
    if (outbox)
        outbox->sendSoon();
}
