// The program's commands without a window, for the shop's administrator: `printcalc --journal
// list|show|export`, `printcalc --check`, `printcalc --prices ...`, `printcalc --customers ...`,
// `printcalc --orders ...`, `printcalc --payments ...`, `printcalc --pdf ...`, `printcalc
// --operators ...`, `printcalc --audit ...`, each honouring `--database URL` (and `--operator
// NAME` once operators exist), and
// `--help`, `--version`. They need no display. A family of commands is one row of cliCommands()
// (cli/cli.cpp) with a row for each of its action words; a new family adds its rows there from
// its own file.
//
// Exit status: 0 done, 1 refused or failed (told on standard error), 2 the command line is wrong
// (one line on standard error pointing to `--help`).
#pragma once

#include "operators/audit_chain.h"
#include "operators/rights.h"
#include "storage/database_url.h"

#include <QCommandLineParser>
#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>
#include <QVector>

#include <functional>
#include <optional>

class CliOutputFile;
struct CliCommand;
class Connection;
class Transaction;

constexpr int CliFailed = 1;
constexpr int CliUsage = 2;

struct CliContext
{
    QStringList arguments; // the whole command line, the program's name first
    QString command; // the command's option without its dashes: "journal"
    DatabaseChoice database;
    QTextStream &out;
    QTextStream &err;
    // `--operator NAME`, taken off the command line before the command reads it.
    QString operatorName;
    QString action; // the action word being run: "show"; empty for a command that takes none
    std::optional<Action> right; // what the running action needs, from its row
    bool operatorsOn = false; // known once authorise ran: the shop has operators
    AuditHead sealedHead; // the record sealed in the command's transaction

    // Opens the chosen database, or tells why not on standard error and returns false.
    bool open(Connection &connection);
    // Tells the error on standard error; returns the failure status 1 for `return fail(...)`.
    int fail(const QString &message);
    // Tells what is wrong with the command line, pointing to the help; returns 2.
    int usage(const QString &message);

    // `--from DATE` and `--to DATE`: false (told, status 2) when one is malformed or the range is
    // reversed.
    bool dateRange(const QCommandLineParser &parser, QDate *from, QDate *to, int *status);
    // A date as ГГГГ-ММ-ДД; false (told, status 2) otherwise.
    bool readDate(const QString &text, const QString &what, QDate *date, int *status);
    // A whole number from 0 to `largest` written in digits only; false (told, status 2) otherwise.
    bool readNumber(const QString &text, const QString &what, qint64 largest, qint64 *number,
                    int *status);

    // A command that changes data asks here first. With no operator defined it goes on at once;
    // otherwise the operator named by --operator signs in with the PIN on the next line of
    // standard input and must hold the right. False (told, status 1) when refused.
    bool authorise(Connection &connection, Action action, int *status);
    // The same for the right the running action's row names.
    bool authorise(Connection &connection, int *status);
    // The change's record in the audit trail under the signed-in operator's name, sealed inside
    // the transaction the command began before the change, so that a failure leaves neither;
    // nothing while no operator is defined. False (told, nothing kept) when it was not written.
    bool audit(Connection &connection, const QString &what, const QString &oldValue,
               const QString &newValue);
    // The change and its record committed, and the chain's head kept in the counter's state file;
    // false (told) when the commit failed.
    bool commitChange(Connection &connection, Transaction &transaction);
    // The head of the chain just sealed, into this counter's state file.
    // Moves the counter's anchor on to head once the records since it still hold; a break is
    // kept and told on the error stream.
    void keepAuditHead(Connection &connection, const AuditHead &head);
    // The next line of standard input, without its line end: a PIN.
    static QString readInputLine();

    // Tells what was written: on standard output, or on standard error when the file written is
    // standard output itself.
    void confirm(const CliOutputFile &file, const QString &text);

    // The dispatcher's: it runs the command's action, checked against its row.
    int run(const CliCommand &command);

private:
    // Parses the command line with the command's options; the command's own option, --database
    // and --help are added here. False when the command ends now with *status: 2 after a usage
    // error (unknown or repeated option, missing value, a --database not understood), 0 after
    // the help.
    bool parse(QCommandLineParser &parser, const QList<QCommandLineOption> &options, int *status);
    // False (told, status 2) when an option of the command other than the allowed ones was given
    // to this action.
    bool onlyOptions(const QCommandLineParser &parser, const QString &action,
                     const QStringList &allowed, int *status);
    // The words after the action: false (told, status 2) when there are more than `most`.
    bool noMoreWords(const QStringList &words, int most, int *status);
};

// A file a command writes. A regular or new file is written beside its place and put there only
// when complete, so a failure leaves no half file and the old one stays; anything else (a
// device, a FIFO, the terminal, standard output) is written into as it is and never replaced.
class CliOutputFile
{
public:
    explicit CliOutputFile(const QString &path);
    // False with the reason in Russian.
    bool open(QString *error);
    // False once any part of the data could not be written; commit then tells why.
    bool write(const QByteArray &data);
    // Everything written reached the file; false with the reason, and no half file left.
    bool commit(QString *error);
    bool isStandardOutput() const { return standardOutput; }

private:
    QFileDevice &device();

    QString path;
    bool direct = false;
    bool standardOutput = false;
    bool failed = false;
    int failure = 0; // errno of the failed write
    QSaveFile saved;
    QFile plain;
};

// What an action needs the operator to be allowed once operators exist: one right, or one chosen
// from the words (cancelling an order needs more than moving it on); none for anybody's.
struct CliRight
{
    using Choice = std::function<Action(const QCommandLineParser &, const QStringList &)>;
    CliRight() = default;
    CliRight(Action action)
        : choice([action](const QCommandLineParser &, const QStringList &) { return action; })
    { }
    CliRight(Action (*choose)(const QCommandLineParser &, const QStringList &))
        : choice(choose)
    { }
    Choice choice;
};

constexpr int CliAnyWords = -1;

// One action word of a family: "show" in `printcalc --customers show ID`. The dispatcher checks
// its options and its words before it runs.
struct CliAction
{
    QString word; // empty in a family that takes no action word (`--check`)
    QString help; // its lines of the help text; an action without them is not offered in the lists
    QStringList options; // the family's options this action allows
    int least; // the words after the action word it needs...
    QString missing; // ...and the usage error when fewer are given
    int most; // the words it takes at most, or CliAnyWords
    CliRight right;
    std::function<int(CliContext &, const QCommandLineParser &, const QStringList &)> run;
};

// A family of commands: its option, its own options, its actions. Its usage errors for a missing
// or unknown action word say "действие" unless the family names its words otherwise: `missing`
// with %1 for the words offered ("sales, average или owed"), `unknown` with %1 for the word given
// and %2 for the words offered.
struct CliCommand
{
    QString option; // "--journal"
    QList<QCommandLineOption> options; // beside its own option, --database and --help
    QVector<CliAction> actions;
    QString missing;
    QString unknown;
    bool negativeWords = false; // a word may be a negative amount ("-300"), not an option
};

const QVector<CliCommand> &cliCommands();
// The rows of each family, defined in its own file.
QVector<CliCommand> journalCommands();
QVector<CliCommand> priceCommands();
QVector<CliCommand> customerCommands();
QVector<CliCommand> orderCommands();
QVector<CliCommand> documentCommands();
QVector<CliCommand> operatorCommands();
QVector<CliCommand> adminCommands();
QVector<CliCommand> shiftCommands();
QVector<CliCommand> reportCommands();

// Whether the command line asks for the commands instead of the window: a command, or any
// option the window does not take (the window takes --database URL and Qt's own options).
bool isCliInvocation(int argc, char *argv[]);
// Whether the command paints a document: it then runs on Qt's offscreen platform, which needs no
// display and opens no window.
bool cliNeedsPainting(int argc, char *argv[]);
int runCli(int argc, char *argv[]);
