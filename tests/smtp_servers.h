// SMTP servers on loopback for the mail suites, started and stopped by the test that uses them:
// Debian's aiosmtpd through tests/smtp_sink.py (accepting and keeping, or refusing; plain, STARTTLS
// or TLS from the start, with a throwaway authority's certificate made by openssl), and one that
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

// A throwaway certificate authority and a server certificate it signed for localhost and
// 127.0.0.1, made with openssl in a folder of its own; and a second authority that signed nothing.
class TestAuthority
{
public:
    TestAuthority()
    {
        QFile extensions(filePath(QStringLiteral("server.ext")));
        if (!extensions.open(QIODevice::WriteOnly))
            return;
        extensions.write("subjectAltName=DNS:localhost,IP:127.0.0.1\n"
                         "basicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n");
        extensions.close();
        const auto key = [](const QString &name) {
            return QStringList {QStringLiteral("-newkey"),
                                QStringLiteral("ec"),
                                QStringLiteral("-pkeyopt"),
                                QStringLiteral("ec_paramgen_curve:prime256v1"),
                                QStringLiteral("-nodes"),
                                QStringLiteral("-keyout"),
                                name};
        };
        made = openssl(QStringList {QStringLiteral("req"), QStringLiteral("-x509")}
                       + key(filePath(QStringLiteral("ca.key")))
                       + QStringList {QStringLiteral("-out"), caFile(), QStringLiteral("-days"),
                                      QStringLiteral("2"), QStringLiteral("-subj"),
                                      QStringLiteral("/CN=Test shop CA")})
            && openssl(QStringList {QStringLiteral("req"), QStringLiteral("-x509")}
                       + key(filePath(QStringLiteral("other.key")))
                       + QStringList {QStringLiteral("-out"), otherCaFile(),
                                      QStringLiteral("-days"), QStringLiteral("2"),
                                      QStringLiteral("-subj"), QStringLiteral("/CN=Other CA")})
            && openssl(QStringList {QStringLiteral("req")} + key(keyFile())
                       + QStringList {QStringLiteral("-out"),
                                      filePath(QStringLiteral("server.csr")),
                                      QStringLiteral("-subj"), QStringLiteral("/CN=localhost")})
            && openssl({QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                        filePath(QStringLiteral("server.csr")), QStringLiteral("-CA"), caFile(),
                        QStringLiteral("-CAkey"), filePath(QStringLiteral("ca.key")),
                        QStringLiteral("-CAcreateserial"), QStringLiteral("-out"), certFile(),
                        QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-extfile"),
                        filePath(QStringLiteral("server.ext"))});
    }
    bool made = false;
    QString error;
    QString caFile() const { return filePath(QStringLiteral("ca.pem")); }
    QString otherCaFile() const { return filePath(QStringLiteral("other.pem")); }
    QString certFile() const { return filePath(QStringLiteral("server.pem")); }
    QString keyFile() const { return filePath(QStringLiteral("server.key")); }

private:
    QString filePath(const QString &name) const { return folder.filePath(name); }
    bool openssl(const QStringList &arguments)
    {
        QProcess run;
        run.start(QStringLiteral("openssl"), arguments);
        if (run.waitForFinished(30000) && run.exitStatus() == QProcess::NormalExit
            && run.exitCode() == 0)
            return true;
        error = QString::fromLocal8Bit(run.readAllStandardError());
        return false;
    }
    QTemporaryDir folder;
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
