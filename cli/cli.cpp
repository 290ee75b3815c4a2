// The dispatcher: finds the command's row, chooses the database, runs it; the command line's
// rules shared by every command; the files they write.
#include "cli/cli.h"

#include "prices/file_problem.h"
#include "storage/audit_log.h"
#include "storage/connection.h"
#include "storage/operator_store.h"
#include "storage/settings.h"
#include "storage/transaction.h"

#include <QCoreApplication>
#include <QDate>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextCodec>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <sys/stat.h>

namespace {

const QString HelpPointer = QStringLiteral(" Справка: printcalc --help");

// Qt's own options of a window program, single dash, with whether a value follows.
bool isWindowOption(const QString &argument, bool *takesValue)
{
    static const QStringList withValue {QStringLiteral("-platform"),
                                        QStringLiteral("-platformpluginpath"),
                                        QStringLiteral("-platformtheme"),
                                        QStringLiteral("-plugin"),
                                        QStringLiteral("-qwindowgeometry"),
                                        QStringLiteral("-qwindowicon"),
                                        QStringLiteral("-qwindowtitle"),
                                        QStringLiteral("-session"),
                                        QStringLiteral("-style"),
                                        QStringLiteral("-stylesheet"),
                                        QStringLiteral("-display"),
                                        QStringLiteral("-geometry"),
                                        QStringLiteral("-name"),
                                        QStringLiteral("-title"),
                                        QStringLiteral("-visual")};
    static const QStringList flags {QStringLiteral("-reverse"), QStringLiteral("-widgetcount"),
                                    QStringLiteral("-nograb"), QStringLiteral("-dograb"),
                                    QStringLiteral("-sync")};
    const QString name = argument.section(QLatin1Char('='), 0, 0);
    *takesValue = withValue.contains(name) && !argument.contains(QLatin1Char('='));
    return withValue.contains(name) || flags.contains(argument);
}

QString spelled(const QString &name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// The option's name as an argument gives it: "--from=x" → "from".
QString optionName(const QString &argument)
{
    int start = 0;
    while (start < argument.size() && start < 2 && argument.at(start) == QLatin1Char('-'))
        ++start;
    return argument.mid(start).section(QLatin1Char('='), 0, 0);
}

// Qt's parser tells its errors in English; the administrator is told in Russian.
QString parseError(const QCommandLineParser &parser, const QStringList &arguments,
                   const QList<QCommandLineOption> &options)
{
    // Qt counts a value given to a flag ("--check=1") among the unknown options.
    for (const QString &argument : arguments.mid(1)) {
        if (argument == QLatin1String("--"))
            break;
        if (!argument.startsWith(QLatin1Char('-')) || !argument.contains(QLatin1Char('=')))
            continue;
        for (const QCommandLineOption &option : options) {
            if (option.valueName().isEmpty() && option.names().contains(optionName(argument)))
                return QStringLiteral("Параметр «%1» пишется без значения.")
                    .arg(argument.section(QLatin1Char('='), 0, 0));
        }
    }
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        QString given = spelled(unknown.first());
        for (const QString &argument : arguments.mid(1)) {
            if (argument.startsWith(QLatin1Char('-')) && optionName(argument) == unknown.first()) {
                given = argument.section(QLatin1Char('='), 0, 0);
                break;
            }
        }
        return QStringLiteral("Неизвестный параметр «%1».").arg(given);
    }
    const auto takesValue = [&](const QString &name, bool *known) {
        for (const QCommandLineOption &option : options) {
            if (option.names().contains(name)) {
                *known = true;
                return !option.valueName().isEmpty();
            }
        }
        *known = false;
        return false;
    };
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--"))
            break;
        if (!argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-"))
            continue;
        bool known = false;
        const bool value = takesValue(optionName(argument), &known);
        if (!known)
            continue;
        if (value && !argument.contains(QLatin1Char('='))) {
            if (i + 1 >= arguments.size())
                return QStringLiteral("После «%1» нужно значение.").arg(argument);
            ++i;
        }
    }
    return QStringLiteral("Команда не понята (%1).").arg(parser.errorText());
}

QString helpText()
{
    QString text = QStringLiteral(
        "printcalc — калькулятор типографии. Без параметров (или с --database АДРЕС) открывает "
        "окно.\n\nКоманды без окна:\n");
    for (const CliCommand &command : cliCommands()) {
        for (const CliAction &action : command.actions)
            if (!action.help.isEmpty())
                text += action.help + QLatin1Char('\n');
    }
    text += QStringLiteral(
        "  printcalc --help, -h                          эта справка\n"
        "  printcalc --version                           версия программы\n\n"
        "Каждая команда принимает --database АДРЕС (sqlite:///путь/файл.sqlite или "
        "postgresql://...);\nбез него — PRINTCALC_DATABASE, настройки или файл по умолчанию.\n"
        "Когда заведены операторы, команды, меняющие данные, пишутся с --operator ИМЯ,\n"
        "а PIN оператора подаётся первой строкой на стандартный вход.\n"
        "Даты пишутся как ГГГГ-ММ-ДД. Имя файла, начинающееся с «-», пишется после «--».\n\n"
        "Код выхода: 0 — выполнено, 1 — отказ или ошибка (сообщение на stderr),\n"
        "2 — команда записана неверно.\n");
    return text;
}

// The action words a family offers in its usage errors: "list, show или export".
QString offeredWords(const CliCommand &command, const QString &last)
{
    QStringList words;
    for (const CliAction &action : command.actions)
        if (!action.help.isEmpty())
            words << action.word;
    if (words.size() < 2)
        return words.join(QString());
    return words.mid(0, words.size() - 1).join(QStringLiteral(", ")) + last + words.last();
}

QString missingWordText(const CliCommand &command)
{
    const QString offered = offeredWords(command, QStringLiteral(" или "));
    if (command.missing.isEmpty())
        return QStringLiteral("После %1 нужно действие: %2.").arg(command.option, offered);
    // A family may show its command's form instead of listing its words.
    return command.missing.contains(QLatin1String("%1")) ? command.missing.arg(offered)
                                                         : command.missing;
}

QString unknownWordText(const CliCommand &command, const QString &given)
{
    const QString offered = offeredWords(command, QStringLiteral(" и "));
    if (command.unknown.isEmpty())
        return QStringLiteral("Команда «%1 %2» не известна: есть %3.")
            .arg(command.option, given, offered);
    return command.unknown.arg(given, offered);
}

bool sameFile(const struct stat &file, int descriptor)
{
    struct stat other;
    return ::fstat(descriptor, &other) == 0 && other.st_dev == file.st_dev
        && other.st_ino == file.st_ino;
}

// `printcalc` with options but no command: the help, the version, or a usage error.
int withoutCommand(CliContext &context)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QList<QCommandLineOption> options {
        QCommandLineOption(QStringList {QStringLiteral("h"), QStringLiteral("help")}),
        QCommandLineOption(QStringLiteral("version")),
        QCommandLineOption(QStringLiteral("database"), QString(), QStringLiteral("url"))};
    parser.addOptions(options);
    if (!parser.parse(context.arguments))
        return context.usage(parseError(parser, context.arguments, options));
    if (parser.isSet(QStringLiteral("help"))) {
        context.out << helpText();
        return 0;
    }
    const QStringList words = parser.positionalArguments();
    if (parser.isSet(QStringLiteral("version"))) {
        if (parser.optionNames().size() > 1 || !words.isEmpty())
            return context.usage(QStringLiteral("«--version» пишется без других параметров."));
        context.out << QStringLiteral("printcalc ") << QStringLiteral(PRINTCALC_VERSION) << '\n';
        return 0;
    }
    if (!words.isEmpty())
        return context.usage(QStringLiteral("«%1» — не команда printcalc.").arg(words.first()));
    return context.usage(
        QStringLiteral("Нет команды: --journal, --check, --prices, --customers, --orders, "
                       "--payments, --pdf или --admin."));
}

} // namespace

const QVector<CliCommand> &cliCommands()
{
    // One line per family of commands.
    static const QVector<CliCommand> commands = journalCommands() + priceCommands()
        + customerCommands() + orderCommands() + documentCommands() + operatorCommands()
        + adminCommands() + shiftCommands() + reportCommands();
    return commands;
}

bool isCliInvocation(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument == QLatin1String("--database")) {
            // Without its value the command line tells what is missing.
            if (i + 1 >= argc)
                return true;
            ++i;
            continue;
        }
        if (argument.startsWith(QLatin1String("--database=")))
            continue;
        bool takesValue = false;
        if (isWindowOption(argument, &takesValue)) {
            i += takesValue ? 1 : 0;
            continue;
        }
        if (argument.startsWith(QLatin1Char('-')))
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
    return CliFailed;
}

int CliContext::usage(const QString &message)
{
    QString line = message;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    err << line << HelpPointer << '\n';
    err.flush();
    return CliUsage;
}

// The family's action named by the first word, its options and words checked, then run.
int CliContext::run(const CliCommand &command)
{
    // An option never starts with a digit: "-300" is a refund's amount. Qt's parser would take
    // it for options, so it passes the parser under a minus sign of its own.
    const QChar minus(0x2212);
    for (int i = 1; command.negativeWords && i < arguments.size(); ++i) {
        QString &argument = arguments[i];
        if (argument.size() > 1 && argument.at(0) == QLatin1Char('-') && argument.at(1).isDigit())
            argument[0] = minus;
    }
    QCommandLineParser parser;
    int status = 0;
    if (!parse(parser, command.options, &status))
        return status;
    QStringList words = parser.positionalArguments();
    for (QString &word : words)
        if (command.negativeWords && word.startsWith(minus))
            word[0] = QLatin1Char('-');
    // A family that takes no action word has one row without one.
    const bool wordless = command.actions.size() == 1 && command.actions.first().word.isEmpty();
    const QString word = wordless ? QString() : words.value(0);
    if (!wordless && word.isEmpty())
        return usage(missingWordText(command));
    const auto found
        = std::find_if(command.actions.cbegin(), command.actions.cend(),
                       [&word](const CliAction &action) { return action.word == word; });
    if (found == command.actions.cend())
        return usage(unknownWordText(command, word));
    const CliAction &row = *found;
    const QStringList rest = wordless ? words : words.mid(1);
    if (!onlyOptions(parser, word, row.options, &status))
        return status;
    if (rest.size() < row.least)
        return usage(row.missing);
    if (row.most != CliAnyWords && !noMoreWords(rest, row.most, &status))
        return status;
    action = word;
    if (row.right.choice)
        right = row.right.choice(parser, rest);
    return row.run(*this, parser, rest);
}

bool CliContext::parse(QCommandLineParser &parser, const QList<QCommandLineOption> &options,
                       int *status)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    QList<QCommandLineOption> all = options;
    all << QCommandLineOption(command)
        << QCommandLineOption(QStringLiteral("database"), QString(), QStringLiteral("url"))
        << QCommandLineOption(QStringList {QStringLiteral("h"), QStringLiteral("help")});
    parser.addOptions(all);
    if (!parser.parse(arguments)) {
        *status = usage(parseError(parser, arguments, all));
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        out << helpText();
        *status = 0;
        return false;
    }
    const QStringList given = parser.optionNames();
    for (const QString &name : given) {
        if (given.count(name) > 1) {
            *status = usage(QStringLiteral("Параметр «%1» дан дважды.").arg(spelled(name)));
            return false;
        }
    }
    // A URL given here is the administrator's typing; one from elsewhere is a refusal at open.
    if (parser.isSet(QStringLiteral("database")) && !database.url.isValid()) {
        *status = usage(database.url.error);
        return false;
    }
    return true;
}

bool CliContext::onlyOptions(const QCommandLineParser &parser, const QString &action,
                             const QStringList &allowed, int *status)
{
    const QStringList common {command, QStringLiteral("database")};
    for (const QString &name : parser.optionNames()) {
        if (!allowed.contains(name) && !common.contains(name)) {
            *status = usage(QStringLiteral("Параметр «%1» не подходит к «--%2 %3».")
                                .arg(spelled(name), command, action));
            return false;
        }
    }
    return true;
}

bool CliContext::noMoreWords(const QStringList &words, int most, int *status)
{
    if (words.size() <= most)
        return true;
    *status = usage(QStringLiteral("Лишнее в команде: ") + words.mid(most).join(QLatin1Char(' '))
                    + QLatin1Char('.'));
    return false;
}

bool CliContext::dateRange(const QCommandLineParser &parser, QDate *from, QDate *to, int *status)
{
    for (const auto &[name, date] :
         {std::pair {QStringLiteral("from"), from}, std::pair {QStringLiteral("to"), to}}) {
        if (parser.isSet(name)
            && !readDate(parser.value(name), QStringLiteral("--") + name, date, status))
            return false;
    }
    if (from->isValid() && to->isValid() && *from > *to) {
        *status = usage(QStringLiteral("Начало периода --from %1 позже его конца --to %2.")
                            .arg(from->toString(Qt::ISODate), to->toString(Qt::ISODate)));
        return false;
    }
    return true;
}

bool CliContext::readDate(const QString &text, const QString &what, QDate *date, int *status)
{
    *date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (date->isValid())
        return true;
    *status = usage(QStringLiteral("Дата «%1» после %2 не понята: нужен вид ГГГГ-ММ-ДД, например "
                                   "2026-12-09.")
                        .arg(text, what));
    return false;
}

bool CliContext::readNumber(const QString &text, const QString &what, qint64 largest,
                            qint64 *number, int *status)
{
    bool digits = !text.isEmpty();
    for (const QChar c : text)
        digits = digits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    bool ok = false;
    *number = digits ? text.toLongLong(&ok) : 0;
    if (ok && *number <= largest)
        return true;
    *status = usage(QStringLiteral("%1 «%2» не понят: нужно целое число из цифр, не больше %3.")
                        .arg(what, text)
                        .arg(largest));
    return false;
}

bool CliContext::authorise(Connection &connection, Action action, int *status)
{
    OperatorStore store(connection);
    const int count = store.count();
    if (count < 0) {
        *status = fail(connection.errorText());
        return false;
    }
    operatorsOn = count > 0;
    if (!operatorsOn)
        return true;
    if (operatorName.isEmpty()) {
        // Said for what the command does, reading or changing: whose right it is and how to sign.
        *status = fail(QStringLiteral("В программе заведены операторы: %1 — право роли «%2»; "
                                      "команда пишется с --operator ИМЯ, а PIN подаётся первой "
                                      "строкой на стандартный вход.")
                           .arg(actionCaption(action), roleCaption(roleNeeded(action))));
        return false;
    }
    const SignInAnswer answer
        = store.signIn(operatorName, readInputLine(), Settings().counterName());
    keepAuditHead(connection, store.lastHead());
    if (!answer.signedIn()) {
        *status = fail(answer.message);
        return false;
    }
    const Decision decision = decisionFor(answer.account.role, action);
    if (decision != Decision::Allowed) {
        *status
            = fail(QStringLiteral("Оператору «%1» (%2) это не разрешено: %3. Нужен %4.")
                       .arg(operatorName, roleCaption(answer.account.role), actionCaption(action),
                            decision == Decision::AsksOwner ? QStringLiteral("владелец")
                                                            : QStringLiteral("менеджер")));
        return false;
    }
    return true;
}

bool CliContext::authorise(Connection &connection, int *status)
{
    // An action that asks without naming its right is refused rather than let through.
    if (!right) {
        *status = fail(QStringLiteral("Право на «--%1 %2» не задано: команда не выполнена.")
                           .arg(command, action));
        return false;
    }
    return authorise(connection, *right, status);
}

bool CliContext::audit(Connection &connection, const QString &what, const QString &oldValue,
                       const QString &newValue)
{
    if (!operatorsOn)
        return true;
    AuditRecord record;
    record.counter = Settings().counterName();
    record.operatorName = operatorName;
    record.what = what;
    record.oldValue = oldValue;
    record.newValue = newValue;
    if (!AuditLog(connection).append(&record)) {
        fail(QStringLiteral("Ничего не изменено: запись в журнал действий не удалась. ")
             + connection.errorText());
        return false;
    }
    sealedHead = {record.id, record.hash};
    return true;
}

bool CliContext::commitChange(Connection &connection, Transaction &transaction)
{
    if (!transaction.commit()) {
        fail(QStringLiteral("Ничего не изменено: ") + connection.errorText());
        return false;
    }
    keepAuditHead(connection, sealedHead);
    sealedHead = AuditHead();
    return true;
}

void CliContext::keepAuditHead(Connection &connection, const AuditHead &head)
{
    if (head.count <= 0)
        return;
    const QString problem = advanceAuditAnchor(connection, localOrderPath(database.url),
                                               database.url.display(), head);
    if (!problem.isEmpty())
        err << problem << '\n';
}

QString CliContext::readInputLine()
{
    static QTextStream input(stdin);
    input.setCodec("UTF-8");
    QString line = input.readLine();
    if (line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    return line;
}

void CliContext::confirm(const CliOutputFile &file, const QString &text)
{
    QTextStream &stream = file.isStandardOutput() ? err : out;
    stream << text << '\n';
    stream.flush();
}

CliOutputFile::CliOutputFile(const QString &path)
    : path(path)
    , saved(path)
    , plain(path)
{ }

bool CliOutputFile::open(QString *error)
{
    struct stat target;
    const bool exists = ::stat(QFile::encodeName(path).constData(), &target) == 0;
    if (exists && S_ISDIR(target.st_mode)) {
        *error = QStringLiteral("это папка, а не файл");
        return false;
    }
    standardOutput = exists && sameFile(target, 1);
    // Replacing a device, a FIFO or the file standard output goes to would break it.
    direct = exists && (!S_ISREG(target.st_mode) || standardOutput || sameFile(target, 2));
    if (direct) {
        const bool opened = standardOutput ? plain.open(1, QIODevice::WriteOnly)
            : sameFile(target, 2)          ? plain.open(2, QIODevice::WriteOnly)
                                           : plain.open(QIODevice::WriteOnly);
        if (!opened)
            *error = fileWriteProblem(errno, plain.error(), plain.errorString());
        return opened;
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isDir()) {
        *error = QStringLiteral("папки %1 нет").arg(folder);
        return false;
    }
    if (saved.open(QIODevice::WriteOnly))
        return true;
    *error = fileWriteProblem(errno, saved.error(), saved.errorString());
    return false;
}

QFileDevice &CliOutputFile::device()
{
    return direct ? static_cast<QFileDevice &>(plain) : saved;
}

bool CliOutputFile::write(const QByteArray &data)
{
    // A write may take only part of the data without an error (a full disk, a size limit); the
    // rest is written again until the error shows.
    qint64 done = 0;
    while (!failed && done < data.size()) {
        const qint64 written = device().write(data.constData() + done, data.size() - done);
        if (written <= 0) {
            failure = errno;
            failed = true;
        }
        done += written > 0 ? written : 0;
    }
    return !failed;
}

bool CliOutputFile::commit(QString *error)
{
    if (!failed && !device().flush()) {
        failure = errno;
        failed = true;
    }
    if (failed) {
        *error = fileWriteProblem(failure, device().error(), device().errorString());
        if (direct) {
            plain.close();
        } else {
            // Given up, the commit only removes what was written beside.
            saved.cancelWriting();
            saved.commit();
        }
        return false;
    }
    if (direct) {
        plain.close();
        return true;
    }
    if (saved.commit())
        return true;
    *error = fileWriteProblem(errno, saved.error(), saved.errorString());
    return false;
}

bool cliNeedsPainting(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--")
            return false;
        if (argument == "--database") {
            ++i;
            continue;
        }
        if (argument == "--pdf" || argument.startsWith("--pdf="))
            return true;
    }
    return false;
}

int runCli(int argc, char *argv[])
{
    // Fonts and painting need a GUI application; offscreen, so that a server or a terminal with
    // no display runs it too and no window can open.
    const bool painting = cliNeedsPainting(argc, argv);
    if (painting) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // A login without a session (cron, ssh) has no runtime folder; Qt makes one of its own
        // and says so, which is no message for the administrator.
        static QtMessageHandler standard = nullptr;
        standard = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
                if (!message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
                    standard(type, context, message);
            });
    }
    const std::unique_ptr<QCoreApplication> app = painting
        ? std::make_unique<QGuiApplication>(argc, argv)
        : std::make_unique<QCoreApplication>(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setCodec("UTF-8");
    err.setCodec("UTF-8");
    CliContext context {QCoreApplication::arguments(), QString(), DatabaseChoice(), out, err};

    // A name that does not decode would be written, or looked for, under another name.
    for (int i = 1; i < argc; ++i) {
        const QByteArray given(argv[i]);
        if (QString::fromLocal8Bit(given).toLocal8Bit() != given)
            return context.usage(
                QStringLiteral("Параметр «%1» не в кодировке системы (%2): имя файла было бы "
                               "искажено.")
                    .arg(QString::fromLocal8Bit(given),
                         QString::fromLatin1(QTextCodec::codecForLocale()->name())));
    }

    // The command: the first argument naming one, the database's value aside.
    const CliCommand *found = nullptr;
    const QStringList &arguments = context.arguments;
    for (int i = 1; i < arguments.size() && !found; ++i) {
        if (arguments.at(i) == QLatin1String("--"))
            break;
        if (arguments.at(i) == QLatin1String("--database")
            || arguments.at(i) == QLatin1String("--operator")) {
            ++i;
            continue;
        }
        for (const CliCommand &command : cliCommands())
            if (arguments.at(i).section(QLatin1Char('='), 0, 0) == command.option)
                found = &command;
    }
    int status = 0;
    // Who acts is the dispatcher's: every command takes it, and the reading ones need it not.
    for (int i = 1; found && i < context.arguments.size(); ++i) {
        const QString argument = context.arguments.at(i);
        if (argument == QLatin1String("--"))
            break;
        if (argument == QLatin1String("--operator")) {
            if (i + 1 >= context.arguments.size())
                return context.usage(QStringLiteral("После «--operator» нужно имя оператора."));
            if (!context.operatorName.isEmpty())
                return context.usage(QStringLiteral("Параметр «--operator» дан дважды."));
            context.operatorName = context.arguments.at(i + 1);
            context.arguments.erase(context.arguments.begin() + i,
                                    context.arguments.begin() + i + 2);
            --i;
        } else if (argument.startsWith(QLatin1String("--operator="))) {
            if (!context.operatorName.isEmpty())
                return context.usage(QStringLiteral("Параметр «--operator» дан дважды."));
            context.operatorName = argument.mid(11);
            context.arguments.removeAt(i);
            --i;
        }
    }
    if (!found) {
        status = withoutCommand(context);
    } else if (const QString problem = homeProblem(); !problem.isEmpty()) {
        status = context.fail(problem);
    } else {
        const Settings settings;
        context.command = found->option.mid(2);
        context.database = chooseDatabase(arguments, settings);
        status = context.run(*found);
    }
    out.flush();
    // A listing that did not reach its reader is no success.
    if (out.status() != QTextStream::Ok) {
        const int code = errno;
        err << QStringLiteral("Стандартный вывод не записан: ")
            << fileWriteProblem(code, QFileDevice::WriteError,
                                QString::fromLocal8Bit(std::strerror(code)))
            << '\n';
        status = status == 0 ? CliFailed : status;
    }
    err.flush();
    return status;
}
