// SMTP servers on loopback for the mail suites, started and stopped by the test that uses them:
// Debian's aiosmtpd through tests/smtp_sink.py (accepting and keeping, or refusing), and one that
// takes the connection and never says a word.
#pragma once

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QVector>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

// The aiosmtpd script in tests/, keeping what it accepts in a folder of its own.
class SmtpSink
{
public:
    explicit SmtpSink(const QStringList &options = {})
    {
        process.start(QStringLiteral("/usr/bin/python3"),
                      QStringList {QStringLiteral(PRINTCALC_SMTP_SINK), folder.path()} + options);
        if (process.waitForReadyRead(15000))
            port = process.readLine().trimmed().toInt();
    }
    ~SmtpSink()
    {
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    int port = 0;
    // The messages received so far, oldest first.
    QVector<QJsonObject> received() const
    {
        QVector<QJsonObject> messages;
        for (int n = 1;; ++n) {
            QFile file(folder.filePath(QStringLiteral("%1.json").arg(n)));
            if (!file.open(QIODevice::ReadOnly))
                return messages;
            messages.append(QJsonDocument::fromJson(file.readAll()).object());
        }
    }

private:
    QTemporaryDir folder;
    QProcess process;
};

// Listens and never accepts: the system completes the connection, and nobody ever answers.
class SilentServer
{
public:
    SilentServer()
    {
        socketFd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (socketFd >= 0 && ::bind(socketFd, reinterpret_cast<sockaddr *>(&address), length) == 0
            && ::listen(socketFd, 8) == 0
            && ::getsockname(socketFd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
            port = ntohs(address.sin_port);
    }
    ~SilentServer()
    {
        if (socketFd >= 0)
            ::close(socketFd);
    }
    // A connection waits in the backlog: a sender is at the door.
    bool knockedWithin(int msecs) const
    {
        pollfd watched {socketFd, POLLIN, 0};
        return ::poll(&watched, 1, msecs) == 1;
    }
    int port = 0;

private:
    int socketFd = -1;
};
