// The program's commands without a window, for the shop's administrator: `printcalc --journal
// list|show|export`, `printcalc --check`, each honouring `--database URL`. They need no display.
// A command is one row of cliCommands() (cli/cli.cpp); a new family of commands adds its rows
// there from its own file.
#pragma once

#include "storage/database_url.h"

#include <QStringList>
#include <QTextStream>
#include <QVector>

#include <functional>

class Connection;

struct CliContext
{
    QStringList arguments; // after the command's option, without `--database URL`
    DatabaseChoice database;
    QTextStream &out;
    QTextStream &err;

    // Opens the chosen database, or tells why not on standard error and returns false.
    bool open(Connection &connection);
    // Tells the error on standard error; returns the failure status 1 for `return fail(...)`.
    int fail(const QString &message);
    // `--from DATE` and `--to DATE` among the arguments; false (told) when one is malformed.
    bool dateRange(QDate *from, QDate *to);
};

struct CliCommand
{
    QString option; // "--journal"
    QString usage; // one or more lines for the help text
    std::function<int(CliContext &)> run; // the exit status
};

const QVector<CliCommand> &cliCommands();
// The rows of each family, defined in its own file.
QVector<CliCommand> journalCommands();
QVector<CliCommand> priceCommands();

// Whether the command line asks for one of the commands instead of the window.
bool isCliInvocation(int argc, char *argv[]);
int runCli(int argc, char *argv[]);
