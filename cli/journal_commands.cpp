// `--journal list|show|export` and `--check`: the journal read from the command line.
#include "cli/cli.h"

#include "order/money.h"
#include "storage/connection.h"
#include "storage/journal.h"
#include "storage/schema.h"

#include <QFile>
#include <QSaveFile>

namespace {

// Tabs and line breaks inside a field would break the one-line-per-record output.
QString field(QString text)
{
    return text.replace(QLatin1Char('\t'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
}

QString pointNumber(double value)
{
    return QString::number(calcRounded(value), 'f', 2);
}

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"'))
        && !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\""))
        + QLatin1Char('"');
}

int list(CliContext &context)
{
    QDate from, to;
    if (!context.dateRange(&from, &to))
        return 1;
    if (!context.arguments.isEmpty())
        return context.fail(
            QStringLiteral("Лишнее в команде: %1").arg(context.arguments.join(QLatin1Char(' '))));
    Connection connection;
    if (!context.open(connection))
        return 1;
    bool ok = false;
    JournalQuery query;
    query.from = from;
    query.to = to;
    query.limit = 0;
    const QVector<InvoiceSummary> found = Journal(connection).find(query, &ok);
    if (!ok)
        return context.fail(connection.errorText());
    for (const InvoiceSummary &invoice : found)
        context.out << invoice.number << '\t'
                    << invoice.created.toString(QStringLiteral("yyyy-MM-dd HH:mm")) << '\t'
                    << field(invoice.counter) << '\t' << invoice.lineCount << '\t'
                    << pointNumber(invoice.total) << '\t'
                    << (invoice.isVoid ? QStringLiteral("аннулирован")
                                       : QStringLiteral("действителен"))
                    << '\n';
    return 0;
}

int show(CliContext &context)
{
    bool isNumber = false;
    const int number = context.arguments.value(0).toInt(&isNumber);
    if (context.arguments.size() != 1 || !isNumber || number <= 0)
        return context.fail(QStringLiteral("Нужен номер счёта: printcalc --journal show N"));
    Connection connection;
    if (!context.open(connection))
        return 1;
    InvoiceRecord invoice;
    if (!Journal(connection).load(number, &invoice))
        return context.fail(connection.fault() == StorageFault::None
                                ? QStringLiteral("Счёта № %1 в журнале нет.").arg(number)
                                : connection.errorText());
    for (const OrderLine &line : qAsConst(invoice.lines))
        context.out << field(line.description) << '\t' << field(line.quantity) << '\t'
                    << field(line.unitPrice) << '\t' << pointNumber(lineSum(line)) << '\n';
    return 0;
}

int exportCsv(CliContext &context)
{
    QDate from, to;
    if (!context.dateRange(&from, &to))
        return 1;
    if (context.arguments.size() != 1)
        return context.fail(QStringLiteral("Нужно имя файла: printcalc --journal export ФАЙЛ.csv"));
    const QString path = context.arguments.first();
    Connection connection;
    if (!context.open(connection))
        return 1;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return context.fail(
            QStringLiteral("Файл %1 не открыть для записи: %2").arg(path, file.errorString()));
    QTextStream csv(&file);
    csv.setCodec("UTF-8");
    csv << QStringLiteral("Номер;Дата;Стойка;Описание;Количество;Цена;Сумма\n");
    const bool read
        = Journal(connection)
              .forEachLine(from, to, [&](const InvoiceSummary &invoice, const OrderLine &line) {
                  csv << invoice.number << ';'
                      << invoice.created.toString(QStringLiteral("yyyy-MM-dd")) << ';'
                      << csvField(invoice.counter) << ';' << csvField(line.description) << ';'
                      << csvField(line.quantity) << ';' << csvField(line.unitPrice) << ';'
                      << pointNumber(lineSum(line)) << '\n';
              });
    if (!read)
        return context.fail(connection.errorText());
    csv.flush();
    if (!file.commit())
        return context.fail(QStringLiteral("Файл %1 не записан: %2").arg(path, file.errorString()));
    return 0;
}

int journal(CliContext &context)
{
    const QString action = context.arguments.value(0);
    context.arguments = context.arguments.mid(1);
    if (action == QLatin1String("list"))
        return list(context);
    if (action == QLatin1String("show"))
        return show(context);
    if (action == QLatin1String("export"))
        return exportCsv(context);
    return context.fail(
        QStringLiteral("Команда «--journal %1» не известна: есть list, show и export.")
            .arg(action));
}

int check(CliContext &context)
{
    Connection connection;
    if (!context.open(connection))
        return 1;
    context.out << QStringLiteral("База данных: ") << connection.url().display() << '\n'
                << QStringLiteral("Выбрана: ")
                << (context.database.source.isEmpty() ? QStringLiteral("по умолчанию")
                                                      : context.database.source)
                << '\n'
                << QStringLiteral("Версия схемы: ") << connection.schemaVersion()
                << QStringLiteral(" (программа знает ") << latestSchemaVersion()
                << QStringLiteral(")\n");
    JournalCounts counts;
    if (!Journal(connection).counts(&counts))
        return context.fail(connection.errorText());
    context.out << QStringLiteral("Счетов: ") << counts.invoices
                << QStringLiteral(" (аннулировано: ") << counts.voided << QStringLiteral(")\n")
                << QStringLiteral("Строк в счетах: ") << counts.lines << '\n'
                << QStringLiteral("Документов: ") << counts.documents << '\n'
                << QStringLiteral("Незавершённых заказов: ") << counts.openOrders << '\n'
                << QStringLiteral("Заказов ждут номера: ") << counts.waitingOrders << '\n';
    if (!connection.writable())
        return context.fail(connection.errorText());
    return 0;
}

} // namespace

QVector<CliCommand> journalCommands()
{
    return {
        {QStringLiteral("--journal"),
         QStringLiteral("  printcalc --journal list [--from ГГГГ-ММ-ДД] [--to ГГГГ-ММ-ДД]\n"
                        "  printcalc --journal show N\n"
                        "  printcalc --journal export ФАЙЛ.csv [--from ...] [--to ...]"),
         journal},
        {QStringLiteral("--check"), QStringLiteral("  printcalc --check"), check},
    };
}
