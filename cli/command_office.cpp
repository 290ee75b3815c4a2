// Starting and ending a command's office.
#include "cli/command_office.h"

#include <QCoreApplication>
#include <QDir>
#include <QThread>
#include <QUrl>

CommandOffice::~CommandOffice()
{
    if (!session || session->startedProcessId() == 0)
        return;
    // Asked to close, the office takes a moment to go; one that stays is ended.
    const bool gone = session->terminate();
    for (int waited = 0; gone && waited < 10000 && !session->processIds().isEmpty(); waited += 100)
        QThread::msleep(100);
    if (!gone || !session->processIds().isEmpty())
        session->kill();
}

OfficeSession &CommandOffice::get()
{
    if (!session) {
        const QString name
            = QStringLiteral("printcalc-cli-%1").arg(QCoreApplication::applicationPid());
        session = std::make_unique<OfficeSession>(name);
        const QString profile = QDir::temp().filePath(QStringLiteral("printcalc-cli-office"));
        session->setStartArguments(
            {QStringLiteral("--headless"),
             QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile).toString()});
    }
    return *session;
}
