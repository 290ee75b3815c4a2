// Runs the built program's command line as the shop's administrator would, with no display and
// no platform (these commands must not need one) and no database chosen by the environment.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

struct ProgramRun
{
    int status; // -1 when it crashed or did not end in time
    QString out;
    QString err;
};

// input: what the program reads on its standard input (PINs), closed after it.
inline ProgramRun runProgram(const QStringList &arguments, const QString &configHome = QString(),
                             int waitMs = 60000, const QByteArray &input = QByteArray())
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("PRINTCALC_DATABASE"));
    if (!configHome.isEmpty())
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(PRINTCALC_PROGRAM), arguments);
    if (!input.isEmpty())
        program.write(input);
    program.closeWriteChannel();
    const bool ended = program.waitForFinished(waitMs);
    return {ended && program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            QString::fromUtf8(program.readAllStandardOutput()),
            QString::fromUtf8(program.readAllStandardError())};
}
