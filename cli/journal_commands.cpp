// `--journal list|show|export` and `--check`: the journal read from the command line.
#include "cli/cli.h"

#include "customers/customer_file.h"
#include "order/money.h"
#include "order/visible_text.h"
#include "storage/connection.h"
#include "storage/database_roles.h"
#include "storage/journal.h"
#include "storage/schema.h"
#include "storage/settings.h"
#include "storage/transaction.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <limits>

namespace {

// A stored text on one line of the output, with nothing a terminal would act on.
QString field(QString text)
{
    return visibleText(text.replace(QLatin1Char('\t'), QLatin1Char(' '))
                           .replace(QLatin1Char('\n'), QLatin1Char(' '))
                           .replace(QLatin1Char('\r'), QLatin1Char(' ')));
}

QString pointNumber(double value)
{
    return QString::number(calcRounded(value), 'f', 2);
}

// Every field given here is text somebody typed; one that a spreadsheet would take for a formula
// is kept as text by a leading apostrophe.
QString csvField(const QString &text)
{
    return csvTextField(text);
}

int list(CliContext &context, const QCommandLineParser &parser, const QStringList &)
{
    int status = 0;
    QDate from, to;
    if (!context.dateRange(parser, &from, &to, &status))
        return status;
    Connection connection;
    if (!context.open(connection))
        return CliFailed;
    bool ok = false;
    JournalQuery query;
    query.from = from;
    query.to = to;
    query.limit = 0;
    const QVector<InvoiceSummary> found = Journal(connection).find(query, &ok);
    if (!ok)
        return context.fail(connection.errorText());
    // Standard output stays the list alone, empty or not.
    if (found.isEmpty()) {
        context.err << (from.isValid() || to.isValid()
                            ? QStringLiteral("Счетов за эти дни не найдено.")
                            : QStringLiteral("Счетов в журнале нет."))
                    << '\n';
    }
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

int show(CliContext &context, const QCommandLineParser &, const QStringList &words)
{
    int status = 0;
    qint64 number = 0;
    if (!context.readNumber(words.first(), QStringLiteral("Номер счёта"),
                            std::numeric_limits<qint64>::max(), &number, &status))
        return status;
    if (number == 0)
        return context.usage(QStringLiteral("Номера счетов начинаются с 1."));
    Connection connection;
    if (!context.open(connection))
        return CliFailed;
    InvoiceRecord invoice;
    if (!Journal(connection).load(number, &invoice))
        return context.fail(connection.fault() == StorageFault::None
                                ? QStringLiteral("Счёта № %1 в журнале нет.").arg(number)
                                : connection.errorText());
    for (const OrderLine &line : qAsConst(invoice.lines))
        context.out << field(line.description) << '\t' << field(line.quantity) << '\t'
                    << field(line.unitPrice) << '\t' << pointNumber(lineSum(line)) << '\n';
    // A void invoice says so after its lines: when, where, by whom and why (by hand), or that
    // its documents failed.
    const InvoiceSummary &summary = invoice.summary;
    if (summary.isVoid)
        context.out << QStringLiteral("аннулирован\t")
                    << summary.voidedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm")) << '\t'
                    << field(summary.voidedCounter) << '\t' << field(summary.voidedBy) << '\t'
                    << field(summary.voidedApprover) << '\t'
                    << (summary.voidReason.isEmpty() ? QStringLiteral("документы счёта не удались")
                                                     : field(summary.voidReason))
                    << '\n';
    // Then each act made of the invoice, in the order made: its number and date, how, when,
    // where, by whom and the file.
    for (const DocumentRecord &document : qAsConst(invoice.documents)) {
        if (!document.isAct() || !document.succeeded)
            continue;
        const bool pdf = document.kind == QLatin1String("act-pdf");
        context.out << QStringLiteral("акт\t") << number << '\t'
                    << document.actDate.toString(Qt::ISODate) << '\t'
                    << (pdf ? QStringLiteral("PDF") : QStringLiteral("печать")) << '\t'
                    << document.made.toString(QStringLiteral("yyyy-MM-dd HH:mm")) << '\t'
                    << field(document.counter) << '\t' << field(document.operatorName) << '\t'
                    << field(document.path) << '\n';
    }
    return 0;
}

// `--journal void N --reason TEXT`: a manager's void by hand, recorded with its reason.
int voidInvoice(CliContext &context, const QCommandLineParser &parser, const QStringList &words)
{
    int status = 0;
    qint64 number = 0;
    const QString form = QStringLiteral("printcalc --journal void N --reason ПРИЧИНА");
    if (!context.readNumber(words.first(), QStringLiteral("Номер счёта"),
                            std::numeric_limits<qint64>::max(), &number, &status))
        return status;
    if (number == 0)
        return context.usage(QStringLiteral("Номера счетов начинаются с 1."));
    const QString reason = parser.value(QStringLiteral("reason")).trimmed();
    if (reason.isEmpty())
        return context.usage(QStringLiteral("Нужна причина аннулирования: ") + form);
    Connection connection;
    if (!context.open(connection))
        return CliFailed;
    if (!context.authorise(connection, &status))
        return status;
    HandVoid mark;
    mark.reason = reason;
    mark.counter = Settings().counterName();
    mark.operatorName = context.operatorName;
    Transaction transaction(connection);
    if (!transaction.isActive())
        return context.fail(connection.errorText());
    const VoidOutcome outcome = Journal(connection).voidByHandWithin(number, mark);
    if (outcome != VoidOutcome::Done)
        return context.fail(voidOutcomeText(outcome, number, connection.errorText()));
    if (!context.audit(connection, actionCaption(Action::VoidInvoice), voidAuditOldValue(number),
                       voidAuditNewValue(reason))
        || !context.commitChange(connection, transaction))
        return CliFailed;
    context.out << voidOutcomeText(outcome, number, QString()) << '\n';
    return 0;
}

int exportCsv(CliContext &context, const QCommandLineParser &parser, const QStringList &words)
{
    int status = 0;
    QDate from, to;
    if (!context.dateRange(parser, &from, &to, &status))
        return status;
    const QString path = words.first();
    Connection connection;
    if (!context.open(connection))
        return CliFailed;
    CliOutputFile file(path);
    QString error;
    if (!file.open(&error))
        return context.fail(QStringLiteral("Файл %1 не открыть для записи: %2").arg(path, error));
    // Written a block at a time: a journal of years is too large to build whole.
    QString csv = QStringLiteral("Номер;Дата;Стойка;Описание;Количество;Цена;Сумма\n");
    int invoices = 0;
    int lines = 0;
    qint64 last = 0;
    const bool read
        = Journal(connection)
              .forEachLine(from, to, [&](const InvoiceSummary &invoice, const OrderLine &line) {
                  // Appended as a string, which grows the block geometrically.
                  csv.append(QString::number(invoice.number) + QLatin1Char(';')
                             + invoice.created.toString(QStringLiteral("yyyy-MM-dd"))
                             + QLatin1Char(';') + csvField(invoice.counter) + QLatin1Char(';')
                             + csvField(line.description) + QLatin1Char(';')
                             + csvField(line.quantity) + QLatin1Char(';') + csvField(line.unitPrice)
                             + QLatin1Char(';') + pointNumber(lineSum(line)) + QLatin1Char('\n'));
                  invoices += invoice.number != last ? 1 : 0;
                  last = invoice.number;
                  ++lines;
                  if (csv.size() > 65536) {
                      file.write(csv.toUtf8());
                      csv.clear();
                  }
              });
    if (!read)
        return context.fail(connection.errorText());
    file.write(csv.toUtf8());
    if (!file.commit(&error))
        return context.fail(QStringLiteral("Файл %1 не записан: %2").arg(path, error));
    context.confirm(file,
                    QStringLiteral("Выгружен журнал в %1: счетов — %2, строк — %3.")
                        .arg(path)
                        .arg(invoices)
                        .arg(lines));
    return 0;
}

// A write the database refuses, undone at once: what the window would meet at its first
// invoice. Opening alone does not tell, since SQLite opens a file it cannot write for reading.
bool probeWrite(Connection &connection)
{
    QSqlDatabase database = connection.database();
    if (!database.transaction()) {
        connection.noteError(database.lastError());
        return false;
    }
    QSqlQuery query(database);
    // A counter's login may not touch the schema's version: it probes the number it takes.
    const bool owner = connection.isSqlite() || ownsSchema(database);
    const bool wrote = query.exec(
        owner ? QStringLiteral("UPDATE schema_version SET version = version")
              : QStringLiteral("UPDATE invoice_counter SET next_number = next_number"));
    const QSqlError error = query.lastError();
    query.finish();
    database.rollback();
    if (!wrote)
        connection.noteError(error);
    return wrote;
}

int check(CliContext &context, const QCommandLineParser &, const QStringList &)
{
    // Opening makes a missing file; a mistyped address must not leave one behind.
    const DatabaseUrl &url = context.database.url;
    if (url.kind == DatabaseUrl::Sqlite && !QFileInfo::exists(url.path))
        return context.fail(QStringLiteral("Файла базы данных %1 нет: проверьте адрес "
                                           "(--check базу не создаёт).")
                                .arg(url.path));
    Connection connection;
    if (!context.open(connection))
        return CliFailed;
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
    context.out.flush();
    if (!connection.writable() || !probeWrite(connection))
        return context.fail(connection.errorText());
    return 0;
}

} // namespace

QVector<CliCommand> journalCommands()
{
    const QStringList dates {QStringLiteral("from"), QStringLiteral("to")};
    return {
        {QStringLiteral("--journal"),
         {QCommandLineOption(QStringLiteral("from"), QString(), QStringLiteral("date")),
          QCommandLineOption(QStringLiteral("to"), QString(), QStringLiteral("date")),
          QCommandLineOption(QStringLiteral("reason"), QString(), QStringLiteral("text"))},
         {{QStringLiteral("list"),
           QStringLiteral("  printcalc --journal list [--from ГГГГ-ММ-ДД] [--to ГГГГ-ММ-ДД]  "
                          "счета, новые первыми"),
           dates,
           0,
           {},
           0,
           {},
           list},
          {QStringLiteral("show"),
           QStringLiteral("  printcalc --journal show N                    строки счёта N"),
           {},
           1,
           QStringLiteral("Нужен номер счёта: printcalc --journal show N"),
           1,
           {},
           show},
          {QStringLiteral("export"),
           QStringLiteral("  printcalc --journal export ФАЙЛ.csv [--from ...] [--to ...]  строки "
                          "счетов в CSV"),
           dates,
           1,
           QStringLiteral("Нужно имя файла: printcalc --journal export ФАЙЛ.csv"),
           1,
           {},
           exportCsv},
          {QStringLiteral("void"),
           QStringLiteral("  printcalc --journal void N --reason ПРИЧИНА   аннулировать счёт N "
                          "(менеджер)"),
           {QStringLiteral("reason")},
           1,
           QStringLiteral("Нужен номер счёта: printcalc --journal void N --reason ПРИЧИНА"),
           1,
           Action::VoidInvoice,
           voidInvoice}}},
        {QStringLiteral("--check"),
         {},
         {{QString(),
           QStringLiteral("  printcalc --check                             связь с базой, схема, "
                          "счётчики, запись"),
           {},
           0,
           {},
           0,
           {},
           check}}},
    };
}
