// `--prices list|export|check|import|at`: the shop's price list versions from the command line.
#include "cli/cli.h"

#include "prices/price_file_check.h"
#include "prices/price_versions.h"
#include "storage/connection.h"
#include "storage/price_store.h"

#ifdef PRINTCALC_HAVE_OFFICE
#include "office/office_session.h"
#include "office/price_sheets.h"

#include <QCoreApplication>
#include <QDir>
#include <QThread>
#include <QUrl>

#include <memory>
#endif

namespace {

#ifdef PRINTCALC_HAVE_OFFICE
// The command's own office for spreadsheets: headless, with a profile and a pipe of its own so
// that it never meets the counter's office, and ended with the command.
class CommandOffice
{
public:
    ~CommandOffice()
    {
        if (!session || session->startedProcessId() == 0)
            return;
        // Asked to close, the office takes a moment to go; one that stays is ended.
        bool gone = session->terminate();
        for (int waited = 0; gone && waited < 10000 && !session->processIds().isEmpty();
             waited += 100)
            QThread::msleep(100);
        if (!gone || !session->processIds().isEmpty())
            session->kill();
    }
    OfficeSession &get()
    {
        if (!session) {
            const QString name
                = QStringLiteral("printcalc-cli-%1").arg(QCoreApplication::applicationPid());
            session = std::make_unique<OfficeSession>(name);
            const QString profile = QDir::temp().filePath(QStringLiteral("printcalc-cli-office"));
            session->setStartArguments({QStringLiteral("--headless"),
                                        QStringLiteral("-env:UserInstallation=")
                                            + QUrl::fromLocalFile(profile).toString()});
        }
        return *session;
    }

private:
    std::unique_ptr<OfficeSession> session;
};

// The office of the command running now; it ends before the program does.
CommandOffice *runningOffice = nullptr;

CommandOffice &commandOffice()
{
    return *runningOffice;
}
#endif

PriceSheetReader sheetReader()
{
#ifdef PRINTCALC_HAVE_OFFICE
    return [](const QString &path, PriceFileRows *rows, QString *error) {
        return readPriceSheet(commandOffice().get(), path, rows, error);
    };
#else
    return {};
#endif
}

PriceSheetWriter sheetWriter()
{
#ifdef PRINTCALC_HAVE_OFFICE
    return [](const QString &path, const PriceFileRows &rows, QString *error) {
        return writePriceSheet(commandOffice().get(), path, rows, error);
    };
#else
    return {};
#endif
}

const QString Usage = QStringLiteral(
    "  printcalc --prices list                       версии прайс-листа\n"
    "  printcalc --prices export ФАЙЛ [--version N]  выгрузить версию (по умолчанию действующую)\n"
    "  printcalc --prices check ФАЙЛ                 проверить файл, ничего не меняя\n"
    "  printcalc --prices import ФАЙЛ --from ГГГГ-ММ-ДД [--note ТЕКСТ]  загрузить новую версию\n"
    "  printcalc --prices at ГГГГ-ММ-ДД              какая версия действует в этот день");

QString field(QString text)
{
    return text.replace(QLatin1Char('\t'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
}

// The value after an option, both taken out of the arguments; empty when the option is absent,
// the option's own name when its value is missing.
QString takeOption(QStringList &arguments, const QString &option)
{
    const int at = arguments.indexOf(option);
    if (at < 0)
        return QString();
    if (at + 1 >= arguments.size()) {
        arguments.removeAt(at);
        return option;
    }
    const QString value = arguments.at(at + 1);
    arguments.removeAt(at + 1);
    arguments.removeAt(at);
    return value;
}

bool readDate(CliContext &context, const QString &text, const QString &option, QDate *date)
{
    *date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (date->isValid())
        return true;
    context.fail(QStringLiteral("Дата «%1» после %2 не понята: нужен вид ГГГГ-ММ-ДД, например "
                                "2026-12-09.")
                     .arg(text, option));
    return false;
}

// The versions the database holds, version 0 first.
bool readVersions(CliContext &context, Connection &connection, PriceVersionList *list)
{
    if (!context.open(connection))
        return false;
    QVector<PriceVersion> versions;
    if (!PriceVersionTables(connection).load(&versions)) {
        context.fail(connection.errorText());
        return false;
    }
    for (const PriceVersion &version : qAsConst(versions))
        list->put(version);
    return true;
}

bool noMore(CliContext &context, const QStringList &arguments)
{
    if (arguments.isEmpty())
        return true;
    context.fail(QStringLiteral("Лишнее в команде: ") + arguments.join(QLatin1Char(' ')));
    return false;
}

int list(CliContext &context, QStringList arguments)
{
    if (!noMore(context, arguments))
        return 1;
    Connection connection;
    PriceVersionList versions;
    if (!readVersions(context, connection, &versions))
        return 1;
    const QDate today = priceClockToday();
    const int inForce = versions.inForce(today).info.number;
    for (const PriceVersion &version : versions.versions()) {
        const PriceVersionInfo &info = version.info;
        const QString state = info.number == inForce ? QStringLiteral("действует")
            : info.from > today                      ? QStringLiteral("вступит в силу")
                                                     : QStringLiteral("заменена");
        context.out << info.number << '\t'
                    << (info.number == 0 ? QStringLiteral("—")
                                         : info.from.toString(QStringLiteral("yyyy-MM-dd")))
                    << '\t'
                    << (info.number == 0
                            ? QStringLiteral("—")
                            : info.loadedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
                    << '\t' << field(info.loadedBy) << '\t' << field(info.note) << '\t' << state
                    << '\n';
    }
    return 0;
}

int exportFile(CliContext &context, QStringList arguments)
{
    const QString number = takeOption(arguments, QStringLiteral("--version"));
    if (arguments.size() != 1)
        return context.fail(QStringLiteral("Нужно имя файла: printcalc --prices export ФАЙЛ"));
    Connection connection;
    PriceVersionList versions;
    if (!readVersions(context, connection, &versions))
        return 1;
    const PriceVersion *version = &versions.inForce(priceClockToday());
    if (!number.isEmpty()) {
        version = versions.find(number.toInt());
        if (!version)
            return context.fail(QStringLiteral("Версии «%1» нет.").arg(number));
    }
    QString error;
    if (!writePriceFile(arguments.first(), *version, &error, sheetWriter()))
        return context.fail(QStringLiteral("Файл %1 не записан: %2").arg(arguments.first(), error));
    context.out << QStringLiteral("Выгружен прайс-лист: ") << version->info.title() << QStringLiteral(" в ")
                << arguments.first() << '\n';
    return 0;
}

int checkOrImport(CliContext &context, QStringList arguments, bool import)
{
    const QString fromText = takeOption(arguments, QStringLiteral("--from"));
    const QString note = takeOption(arguments, QStringLiteral("--note"));
    for (const QString &option : {QStringLiteral("--from"), QStringLiteral("--note")}) {
        if (fromText == option || note == option)
            return context.fail(QStringLiteral("После %1 нужно значение.").arg(option));
    }
    if (arguments.size() != 1)
        return context.fail(import
                                ? QStringLiteral("Нужно имя файла: printcalc --prices import "
                                                 "ФАЙЛ --from ГГГГ-ММ-ДД [--note ТЕКСТ]")
                                : QStringLiteral("Нужно имя файла: printcalc --prices check ФАЙЛ"));
    QDate from;
    if (import) {
        if (fromText.isEmpty())
            return context.fail(QStringLiteral("Нужна дата, с которой версия действует: --from "
                                               "ГГГГ-ММ-ДД."));
        if (!readDate(context, fromText, QStringLiteral("--from"), &from))
            return 1;
        if (from < priceClockToday())
            return context.fail(QStringLiteral("Дата %1 раньше сегодняшней: версия не вступает в "
                                               "силу задним числом.")
                                    .arg(fromText));
    }
    Connection connection;
    PriceVersionList versions;
    if (!readVersions(context, connection, &versions))
        return 1;
    const PriceVersion &inForce = versions.inForce(priceClockToday());
    const PriceFileCheck check = checkPriceFile(arguments.first(), inForce, sheetReader());
    context.out << check.report() << '\n';
    if (!check.accepted() || !import)
        return check.accepted() ? 0 : 1;
    if (!connection.writable())
        return context.fail(connection.errorText());

    PriceVersionInfo info;
    info.from = from;
    info.note = note;
    info.loadedBy = priceLoaderName();
    info.loadedAt = QDateTime::fromMSecsSinceEpoch(priceClockMSecs());
    PriceVersion version = changedVersion(inForce, check.prices, check.extras, info);
    const int number = PriceVersionTables(connection).store(version);
    if (number == 0)
        return context.fail(QStringLiteral("Версия не сохранена: ") + connection.errorText());
    version.info.number = number;
    context.out << QStringLiteral("Сохранён прайс-лист: ") << version.info.title() << '\n';
    return 0;
}

int at(CliContext &context, QStringList arguments)
{
    QDate day;
    if (arguments.size() != 1)
        return context.fail(QStringLiteral("Нужна дата: printcalc --prices at ГГГГ-ММ-ДД"));
    if (!readDate(context, arguments.first(), QStringLiteral("at"), &day))
        return 1;
    Connection connection;
    PriceVersionList versions;
    if (!readVersions(context, connection, &versions))
        return 1;
    const PriceVersionInfo &info = versions.inForce(day).info;
    context.out << info.number << '\t'
                << (info.number == 0 ? QStringLiteral("—")
                                     : info.from.toString(QStringLiteral("yyyy-MM-dd")))
                << '\t'
                << field(info.number == 0 ? QStringLiteral("встроенный прайс-лист") : info.note)
                << '\n';
    return 0;
}

int action(CliContext &context);

int prices(CliContext &context)
{
#ifdef PRINTCALC_HAVE_OFFICE
    CommandOffice office;
    runningOffice = &office;
    const int status = action(context);
    runningOffice = nullptr;
    return status;
#else
    return action(context);
#endif
}

int action(CliContext &context)
{
    const QString action = context.arguments.value(0);
    const QStringList rest = context.arguments.mid(1);
    if (action == QLatin1String("list"))
        return list(context, rest);
    if (action == QLatin1String("export"))
        return exportFile(context, rest);
    if (action == QLatin1String("check"))
        return checkOrImport(context, rest, false);
    if (action == QLatin1String("import"))
        return checkOrImport(context, rest, true);
    if (action == QLatin1String("at"))
        return at(context, rest);
    return context.fail(QStringLiteral("Команда «--prices %1» не известна; есть:\n").arg(action)
                        + Usage);
}

} // namespace

QVector<CliCommand> priceCommands()
{
    return {{QStringLiteral("--prices"), Usage, prices}};
}
