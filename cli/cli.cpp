// The dispatcher: finds the command's row, chooses the database, runs it.
#include "cli/cli.h"

#include "storage/connection.h"
#include "storage/settings.h"

#include <QCoreApplication>
#include <QDate>

#include <cstdio>

const QVector<CliCommand> &cliCommands()
{
    // One line per family of commands.
    static const QVector<CliCommand> commands = journalCommands() + priceCommands();
    return commands;
}

bool isCliInvocation(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument == QLatin1String("--help"))
            return true;
        for (const CliCommand &command : cliCommands())
            if (argument == command.option)
                return true;
    }
    return false;
}

bool CliContext::open(Connection &connection)
{
    if (!database.url.isValid()) {
        fail(database.url.error);
        return false;
    }
    if (!connection.open(database.url, QStringLiteral("cli"))) {
        fail(connection.errorText());
        return false;
    }
    return true;
}

int CliContext::fail(const QString &message)
{
    err << message << '\n';
    err.flush();
    return 1;
}

bool CliContext::dateRange(QDate *from, QDate *to)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        QDate *date = argument == QLatin1String("--from") ? from
            : argument == QLatin1String("--to")           ? to
                                                          : nullptr;
        if (!date)
            continue;
        const QString text = arguments.value(i + 1);
        *date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
        if (!date->isValid()) {
            fail(QStringLiteral("Дата «%1» после %2 не понята: нужен вид ГГГГ-ММ-ДД, например "
                                "2026-12-09.")
                     .arg(text, argument));
            return false;
        }
        arguments.removeAt(i + 1);
        arguments.removeAt(i);
        --i;
    }
    return true;
}

int runCli(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setCodec("UTF-8");
    err.setCodec("UTF-8");

    QStringList arguments = QCoreApplication::arguments();
    bool databaseGiven = false;
    const QString database = databaseArgument(arguments, &databaseGiven);
    const Settings settings;
    CliContext context {QStringList(), chooseDatabase(arguments, settings), out, err};
    if (databaseGiven && database.isEmpty())
        return context.fail(QStringLiteral("После --database нужен адрес базы данных."));
    // The rest, without the program's name and the database's option.
    QStringList rest;
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments.at(i) == QLatin1String("--database"))
            ++i;
        else if (!arguments.at(i).startsWith(QLatin1String("--database=")))
            rest.append(arguments.at(i));
    }
    for (const CliCommand &command : cliCommands()) {
        const int at = rest.indexOf(command.option);
        if (at < 0)
            continue;
        context.arguments = rest.mid(at + 1) + rest.mid(0, at);
        const int status = command.run(context);
        out.flush();
        err.flush();
        return status;
    }
    QString usage = QStringLiteral("Команды printcalc без окна:\n");
    for (const CliCommand &command : cliCommands())
        usage += command.usage + QLatin1Char('\n');
    usage += QStringLiteral("Каждая принимает --database АДРЕС (sqlite:///путь/файл.sqlite или "
                            "postgresql://...).\n");
    out << usage;
    return rest.contains(QLatin1String("--help")) ? 0 : 1;
}
