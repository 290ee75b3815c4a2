// `--prices list|export|check|import|at`: the shop's price list versions from the command line.
#include "cli/cli.h"

#include "prices/price_file_check.h"
#include "prices/price_versions.h"
#include "storage/connection.h"
#include "storage/price_store.h"
#include "storage/transaction.h"

#include <limits>

#ifdef PRINTCALC_HAVE_OFFICE
#include "cli/command_office.h"
#include "office/price_sheets.h"
#endif

namespace {

#ifdef PRINTCALC_HAVE_OFFICE
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

int list(CliContext &context, const QCommandLineParser &parser, const QStringList &words)
{
    int status = 0;
    if (!context.onlyOptions(parser, QStringLiteral("list"), {}, &status)
        || !context.noMoreWords(words, 0, &status))
        return status;
    Connection connection;
    PriceVersionList versions;
    if (!readVersions(context, connection, &versions))
        return CliFailed;
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

int exportFile(CliContext &context, const QCommandLineParser &parser, const QStringList &words)
{
    int status = 0;
    if (!context.onlyOptions(parser, QStringLiteral("export"), {QStringLiteral("version")},
                             &status))
        return status;
    if (words.isEmpty())
        return context.usage(QStringLiteral("Нужно имя файла: printcalc --prices export ФАЙЛ"));
    qint64 number = -1;
    if (!context.noMoreWords(words, 1, &status)
        || (parser.isSet(QStringLiteral("version"))
            && !context.readNumber(parser.value(QStringLiteral("version")),
                                   QStringLiteral("Номер версии"), std::numeric_limits<int>::max(),
                                   &number, &status)))
        return status;
    const QString path = words.first();
    Connection connection;
    PriceVersionList versions;
    if (!readVersions(context, connection, &versions))
        return CliFailed;
    const PriceVersion *version = &versions.inForce(priceClockToday());
    if (number >= 0) {
        version = versions.find(int(number));
        if (!version)
            return context.fail(QStringLiteral("Версии «%1» нет.").arg(number));
    }
    const QString confirmation = QStringLiteral("Выгружен прайс-лист: ") + version->info.title()
        + QStringLiteral(" в ") + path;
    QString error;
    if (isPriceSpreadsheet(path)) {
        if (!writePriceFile(path, *version, &error, sheetWriter()))
            return context.fail(QStringLiteral("Файл %1 не записан: %2").arg(path, error));
        context.out << confirmation << '\n';
        return 0;
    }
    CliOutputFile file(path);
    if (!file.open(&error))
        return context.fail(QStringLiteral("Файл %1 не открыть для записи: %2").arg(path, error));
    file.write(priceFileCsv(*version));
    if (!file.commit(&error))
        return context.fail(QStringLiteral("Файл %1 не записан: %2").arg(path, error));
    context.confirm(file, confirmation);
    return 0;
}

int checkOrImport(CliContext &context, const QCommandLineParser &parser, const QStringList &words,
                  bool import)
{
    int status = 0;
    if (!context.onlyOptions(parser, import ? QStringLiteral("import") : QStringLiteral("check"),
                             import ? QStringList {QStringLiteral("from"), QStringLiteral("note")}
                                    : QStringList(),
                             &status))
        return status;
    if (words.isEmpty())
        return context.usage(
            import ? QStringLiteral("Нужно имя файла: printcalc --prices import "
                                    "ФАЙЛ --from ГГГГ-ММ-ДД [--note ТЕКСТ]")
                   : QStringLiteral("Нужно имя файла: printcalc --prices check ФАЙЛ"));
    if (!context.noMoreWords(words, 1, &status))
        return status;
    QDate from;
    if (import) {
        if (!parser.isSet(QStringLiteral("from")))
            return context.usage(QStringLiteral("Нужна дата, с которой версия действует: --from "
                                                "ГГГГ-ММ-ДД."));
        const QString fromText = parser.value(QStringLiteral("from"));
        if (!context.readDate(fromText, QStringLiteral("--from"), &from, &status))
            return status;
        if (from < priceClockToday())
            return context.fail(QStringLiteral("Дата %1 раньше сегодняшней: версия не вступает в "
                                               "силу задним числом.")
                                    .arg(fromText));
    }
    Connection connection;
    PriceVersionList versions;
    if (!readVersions(context, connection, &versions))
        return CliFailed;
    const PriceVersion &inForce = versions.inForce(priceClockToday());
    const PriceFileCheck check = checkPriceFile(words.first(), inForce, sheetReader());
    context.out << check.report() << '\n';
    if (!check.accepted() || !import)
        return check.accepted() ? 0 : CliFailed;
    if (!connection.writable())
        return context.fail(connection.errorText());
    if (!context.authorise(connection, Action::SavePriceVersion, &status))
        return status;

    PriceVersionInfo info;
    info.from = from;
    info.note = parser.value(QStringLiteral("note"));
    info.loadedBy = priceLoaderName();
    info.loadedAt = QDateTime::fromMSecsSinceEpoch(priceClockMSecs());
    PriceVersion version = changedVersion(inForce, check.prices, check.extras, info);
    Transaction transaction(connection);
    const int number = PriceVersionTables(connection).store(version);
    if (number == 0)
        return context.fail(QStringLiteral("Версия не сохранена: ") + connection.errorText());
    version.info.number = number;
    if (!context.audit(connection, QStringLiteral("версия прайс-листа загружена"),
                       inForce.info.title(), version.info.title())
        || !context.commitChange(connection, transaction))
        return CliFailed;
    context.out << QStringLiteral("Сохранён прайс-лист: ") << version.info.title() << '\n';
    return 0;
}

int at(CliContext &context, const QCommandLineParser &parser, const QStringList &words)
{
    int status = 0;
    QDate day;
    if (!context.onlyOptions(parser, QStringLiteral("at"), {}, &status))
        return status;
    if (words.isEmpty())
        return context.usage(QStringLiteral("Нужна дата: printcalc --prices at ГГГГ-ММ-ДД"));
    if (!context.noMoreWords(words, 1, &status)
        || !context.readDate(words.first(), QStringLiteral("--prices at"), &day, &status))
        return status;
    Connection connection;
    PriceVersionList versions;
    if (!readVersions(context, connection, &versions))
        return CliFailed;
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
    QCommandLineParser parser;
    int status = 0;
    const auto valued = [](const char *name, const char *value) {
        return QCommandLineOption(QString::fromLatin1(name), QString(), QString::fromLatin1(value));
    };
    if (!context.parse(parser,
                       {valued("version", "n"), valued("from", "date"), valued("note", "text")},
                       &status))
        return status;
    const QStringList words = parser.positionalArguments();
    const QString action = words.value(0);
    const QStringList rest = words.mid(1);
    if (action == QLatin1String("list"))
        return list(context, parser, rest);
    if (action == QLatin1String("export"))
        return exportFile(context, parser, rest);
    if (action == QLatin1String("check"))
        return checkOrImport(context, parser, rest, false);
    if (action == QLatin1String("import"))
        return checkOrImport(context, parser, rest, true);
    if (action == QLatin1String("at"))
        return at(context, parser, rest);
    if (action.isEmpty())
        return context.usage(
            QStringLiteral("После --prices нужно действие: list, export, check, import или at."));
    return context.usage(
        QStringLiteral("Команда «--prices %1» не известна: есть list, export, check, import и at.")
            .arg(action));
}

} // namespace

QVector<CliCommand> priceCommands()
{
    return {{QStringLiteral("--prices"), {}, {}, {}, {}, false, prices, Usage}};
}
