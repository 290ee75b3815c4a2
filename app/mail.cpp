// The window's side of customers' mail: the sender started with the window when a server is set,
// and ended with it.
#include "app/mainwindow.h"

#include "mail/mail_outbox.h"
#include "storage/settings.h"

#include <QCoreApplication>
#include <QtDebug>

void MainWindow::initMail()
{
    const Settings settings;
    QString problem;
    const MailServer server = mailServerFrom(settings, &problem);
    if (!server.configured())
        return;
    if (!problem.isEmpty()) {
        // The mails wait in the queue, and the board shows them waiting.
        qWarning().noquote() << "Письма покупателям не отправляются:" << problem;
        return;
    }
    outbox
        = new MailOutbox(chooseDatabase(QCoreApplication::arguments(), settings).url, server, this);
}

void MainWindow::mailQueued()
{
    if (outbox)
        outbox->sendSoon();
}
