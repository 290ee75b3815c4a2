// Runs this test program again as the unprivileged `nobody` user, for faults that root does not
// meet (root writes anything). The program is copied to a folder that user may read, since the
// build folder may sit where `nobody` cannot reach. Without root, it runs as the user it is.
#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <unistd.h>

class AsNobody
{
public:
    // Starts the copy with the environment given; false when it could not be prepared.
    bool start(QProcess &process, QProcessEnvironment environment)
    {
        // Under the sanitizer build Qt's offscreen platform leaves its screen behind at exit; the
        // child's status must tell its own checks only.
        environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        const QString self = QCoreApplication::applicationFilePath();
        if (geteuid() != 0) {
            process.start(self, QStringList());
            return true;
        }
        const QString copy = folder.path() + QStringLiteral("/child");
        const QFile::Permissions open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
            | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        if (!folder.isValid() || !QFile::copy(self, copy) || !QFile::setPermissions(copy, open)
            || !QFile::setPermissions(folder.path(), open))
            return false;
        process.start(QStringLiteral("/sbin/runuser"),
                      {QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--"), copy});
        return true;
    }

private:
    QTemporaryDir folder;
};
