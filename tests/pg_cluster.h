// A throwaway PostgreSQL cluster for a test: initdb and pg_ctl on a Unix socket in a temporary
// folder, no TCP port, stopped by the destructor whatever the outcome. The server tools refuse to
// run as root, so as root they run as the `postgres` user.
#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <unistd.h>

class PgCluster
{
public:
    // With a password, the cluster asks for it (scram-sha-256) instead of trusting every local
    // user.
    explicit PgCluster(const QString &password = QString())
        : password(password)
    { }
    ~PgCluster() { stop(); }

    bool start()
    {
        if (!folder.isValid())
            return fail(QStringLiteral("no temporary folder"));
        dir = folder.path();
        if (geteuid() == 0 && !run(QStringLiteral("/bin/chown"), {QStringLiteral("postgres"), dir}))
            return false;
        QStringList init = {QStringLiteral("-D"), dataDir(), QStringLiteral("-U"),
                            QStringLiteral("printcalc"), QStringLiteral("--no-sync")};
        if (password.isEmpty()) {
            init << QStringLiteral("-A") << QStringLiteral("trust");
        } else {
            QFile file(dir + QStringLiteral("/pw"));
            if (!file.open(QIODevice::WriteOnly) || file.write(password.toUtf8()) < 0)
                return fail(QStringLiteral("no password file"));
            file.close();
            if (geteuid() == 0)
                run(QStringLiteral("/bin/chown"), {QStringLiteral("postgres"), file.fileName()});
            init << QStringLiteral("-A") << QStringLiteral("scram-sha-256")
                 << QStringLiteral("--pwfile=") + file.fileName();
        }
        if (!tool(QStringLiteral("initdb"), init))
            return false;
        if (!resume())
            return false;
        QStringList create = {QStringLiteral("-h"), dir, QStringLiteral("-U"),
                              QStringLiteral("printcalc"), QStringLiteral("shop")};
        return tool(QStringLiteral("createdb"), create);
    }

    // Starts the stopped server again, keeping its data.
    bool resume()
    {
        running = tool(
            QStringLiteral("pg_ctl"),
            {QStringLiteral("-D"), dataDir(), QStringLiteral("-o"),
             QStringLiteral("-k %1 -c listen_addresses='' -c fsync=off -c max_connections=150")
                 .arg(dir),
             QStringLiteral("-l"), dir + QStringLiteral("/log"), QStringLiteral("-w"),
             QStringLiteral("start")});
        return running;
    }

    void stop()
    {
        if (running)
            tool(QStringLiteral("pg_ctl"),
                 {QStringLiteral("-D"), dataDir(), QStringLiteral("-m"),
                  QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")});
        running = false;
    }

    // Sends a signal to the server and each of its processes, by their ids (SIGSTOP freezes the
    // server as a hung machine would, SIGCONT lets it go on); false when none was found.
    bool signalServer(int signal) const
    {
        QFile pidFile(dataDir() + QStringLiteral("/postmaster.pid"));
        if (!running || !pidFile.open(QIODevice::ReadOnly))
            return false;
        const qint64 server = pidFile.readLine().trimmed().toLongLong();
        if (server <= 0)
            return false;
        QList<qint64> ids {server};
        for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            QFile status(QStringLiteral("/proc/%1/status").arg(entry));
            if (entry.toLongLong() <= 0 || !status.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray &line : status.readAll().split('\n'))
                if (line.startsWith("PPid:") && line.mid(5).trimmed().toLongLong() == server)
                    ids.append(entry.toLongLong());
        }
        bool sent = true;
        for (const qint64 id : ids)
            sent = ::kill(pid_t(id), signal) == 0 && sent;
        return sent;
    }

    QString url(const QString &user = QStringLiteral("printcalc"),
                const QString &pass = QString()) const
    {
        const QString who = pass.isEmpty() ? user : user + QLatin1Char(':') + pass;
        return QStringLiteral("postgresql://%1@/shop?host=%2").arg(who, dir);
    }

    QString dir;
    QString error;

private:
    QString dataDir() const { return dir + QStringLiteral("/data"); }

    bool fail(const QString &why)
    {
        error = why;
        return false;
    }

    bool tool(const QString &name, QStringList arguments)
    {
        const QString program = QStringLiteral("/usr/lib/postgresql/15/bin/") + name;
        if (geteuid() != 0)
            return run(program, arguments);
        arguments.prepend(program);
        arguments.prepend(QStringLiteral("--"));
        arguments.prepend(QStringLiteral("postgres"));
        arguments.prepend(QStringLiteral("-u"));
        return run(QStringLiteral("/sbin/runuser"), arguments);
    }

    bool run(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        if (!password.isEmpty()) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("PGPASSWORD"), password);
            process.setProcessEnvironment(environment);
        }
        process.setWorkingDirectory(QDir::tempPath());
        process.start(program, arguments);
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit
            || process.exitCode() != 0)
            return fail(program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '))
                        + QStringLiteral(": ") + QString::fromLocal8Bit(process.readAll()));
        return true;
    }

    QString password;
    QTemporaryDir folder;
    bool running = false;
};
