// `--prices list|export|check|import|at`: the shop's price list versions from the command line.
#include "cli/cli.h"

#include "order/visible_text.h"
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

// The command's office, started only when a spreadsheet is read or written, and ended with the
// command.
class SheetOffice
{
public:
    PriceSheetReader reader()
    {
#ifdef PRINTCALC_HAVE_OFFICE
        return [this](const QString &path, PriceFileRows *rows, QString *error) {
            return readPriceSheet(office.get(), path, rows, error);
        };
#else
        return {};
#endif
    }
    PriceSheetWriter writer()
    {
#ifdef PRINTCALC_HAVE_OFFICE
        return [this](const QString &path, const PriceFileRows &rows, QString *error) {
            return writePriceSheet(office.get(), path, rows, error);
        };
#else
        return {};
#endif
    }

private:
#ifdef PRINTCALC_HAVE_OFFICE
    CommandOffice office;
#endif
};

// A stored text on one line of the output, with nothing a terminal would act on.
QString field(QString text)
{
    return visibleText(text.replace(QLatin1Char('\t'), QLatin1Char(' '))
                           .replace(QLatin1Char('\n'), QLatin1Char(' '))
                           .replace(QLatin1Char('\r'), QLatin1Char(' ')));
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

int list(CliContext &context, const QCommandLineParser &, const QStringList &)
{
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
    qint64 number = -1;
    if (parser.isSet(QStringLiteral("version"))
        && !context.readNumber(parser.value(QStringLiteral("version")),
                               QStringLiteral("Номер версии"), std::numeric_limits<int>::max(),
                               &number, &status))
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
        SheetOffice office;
        if (!writePriceFile(path, *version, &error, office.writer()))
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

// `check` reads the file against the version in force; `import` then stores it.
int checkOrImport(CliContext &context, const QCommandLineParser &parser, const QStringList &words)
{
    int status = 0;
    const bool import = context.action == QLatin1String("import");
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
    SheetOffice office;
    const PriceFileCheck check = checkPriceFile(words.first(), inForce, office.reader());
    context.out << check.report() << '\n';
    if (!check.accepted() || !import)
        return check.accepted() ? 0 : CliFailed;
    if (!connection.writable())
        return context.fail(connection.errorText());
    if (!context.authorise(connection, &status))
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

// The version in force saved again as the shop's own, every sample price included.
int confirm(CliContext &context, const QCommandLineParser &parser, const QStringList &)
{
    int status = 0;
    QDate from;
    const QString fromText = parser.value(QStringLiteral("from"));
    if (fromText.isEmpty())
        from = priceClockToday();
    else if (!context.readDate(fromText, QStringLiteral("--from"), &from, &status))
        return status;
    if (from < priceClockToday())
        return context.fail(QStringLiteral("Дата %1 раньше сегодняшней: версия не вступает в силу "
                                           "задним числом.")
                                .arg(fromText));
    Connection connection;
    PriceVersionList versions;
    if (!readVersions(context, connection, &versions))
        return CliFailed;
    if (!connection.writable())
        return context.fail(connection.errorText());
    if (!context.authorise(connection, &status))
        return status;
    const PriceVersion &inForce = versions.inForce(priceClockToday());
    int priced = 0;
    const int samples = samplePriceCount(inForce.prices, &priced);
    PriceVersionInfo info;
    info.from = from;
    info.note = parser.isSet(QStringLiteral("note"))
        ? parser.value(QStringLiteral("note"))
        : QStringLiteral("все цены подтверждены магазином");
    info.loadedBy = priceLoaderName();
    info.loadedAt = QDateTime::fromMSecsSinceEpoch(priceClockMSecs());
    PriceVersion version = confirmedVersion(inForce, info);
    Transaction transaction(connection);
    const int number = PriceVersionTables(connection).store(version);
    if (number == 0)
        return context.fail(QStringLiteral("Версия не сохранена: ") + connection.errorText());
    version.info.number = number;
    if (!context.audit(connection, QStringLiteral("цены-образцы подтверждены как цены магазина"),
                       inForce.info.title(), version.info.title())
        || !context.commitChange(connection, transaction))
        return CliFailed;
    context.out << QStringLiteral("Сохранён прайс-лист: %1; подтверждено цен-образцов: %2 из %3.")
                       .arg(version.info.title())
                       .arg(samples)
                       .arg(priced)
                << '\n';
    return 0;
}

int at(CliContext &context, const QCommandLineParser &, const QStringList &words)
{
    int status = 0;
    QDate day;
    if (!context.readDate(words.first(), QStringLiteral("--prices at"), &day, &status))
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

} // namespace

QVector<CliCommand> priceCommands()
{
    const auto valued = [](const char *name, const char *value) {
        return QCommandLineOption(QLatin1String(name), QString(), QLatin1String(value));
    };
    return {
        {QStringLiteral("--prices"),
         {valued("version", "n"), valued("from", "date"), valued("note", "text")},
         {{QStringLiteral("list"),
           QStringLiteral("  printcalc --prices list                       версии прайс-листа"),
           {},
           0,
           {},
           0,
           {},
           list},
          {QStringLiteral("export"),
           QStringLiteral("  printcalc --prices export ФАЙЛ [--version N]  выгрузить версию (по "
                          "умолчанию действующую)"),
           {QStringLiteral("version")},
           1,
           QStringLiteral("Нужно имя файла: printcalc --prices export ФАЙЛ"),
           1,
           {},
           exportFile},
          {QStringLiteral("check"),
           QStringLiteral("  printcalc --prices check ФАЙЛ                 проверить файл, ничего "
                          "не меняя"),
           {},
           1,
           QStringLiteral("Нужно имя файла: printcalc --prices check ФАЙЛ"),
           1,
           {},
           checkOrImport},
          {QStringLiteral("import"),
           QStringLiteral("  printcalc --prices import ФАЙЛ --from ГГГГ-ММ-ДД [--note ТЕКСТ]  "
                          "загрузить новую версию"),
           {QStringLiteral("from"), QStringLiteral("note")},
           1,
           QStringLiteral("Нужно имя файла: printcalc --prices import ФАЙЛ --from ГГГГ-ММ-ДД "
                          "[--note ТЕКСТ]"),
           1,
           Action::SavePriceVersion,
           checkOrImport},
          {QStringLiteral("confirm"),
           QStringLiteral("  printcalc --prices confirm [--from ГГГГ-ММ-ДД] [--note ТЕКСТ]  все "
                          "цены действующей версии — цены магазина"),
           {QStringLiteral("from"), QStringLiteral("note")},
           0,
           {},
           0,
           Action::SavePriceVersion,
           confirm},
          {QStringLiteral("at"),
           QStringLiteral("  printcalc --prices at ГГГГ-ММ-ДД              какая версия действует "
                          "в этот день"),
           {},
           1,
           QStringLiteral("Нужна дата: printcalc --prices at ГГГГ-ММ-ДД"),
           1,
           {},
           at}}},
    };
}
