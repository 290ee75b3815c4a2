// `printcalc --shift report [N]|open СУММА|close СУММА`: the counter's shift from the command
// line, the report one figure a line.
#include "cli/cli.h"

#include "storage/connection.h"
#include "storage/settings.h"
#include "storage/shift_store.h"

namespace {

int report(CliContext &context, const QCommandLineParser &parser, const QStringList &words)
{
    int status = 0;
    if (!context.onlyOptions(parser, QStringLiteral("report"), {}, &status)
        || !context.noMoreWords(words, 1, &status))
        return status;
    qint64 number = 0;
    if (!words.isEmpty()
        && !context.readNumber(words.first(), QStringLiteral("Номер Z-отчёта"), 1000000000, &number,
                               &status))
        return status;
    Connection connection;
    if (!context.open(connection))
        return CliFailed;
    ShiftStore shifts(connection);
    const QString counter = Settings().counterName();
    const ShiftAnswer answer
        = words.isEmpty() ? shifts.xReport(counter) : shifts.zReport(counter, int(number));
    if (!answer.done())
        return context.fail(answer.message);
    context.out << answer.report.text();
    return 0;
}

int change(CliContext &context, const QCommandLineParser &parser, const QString &action,
           const QStringList &words)
{
    int status = 0;
    const QString form = QStringLiteral("printcalc --shift %1 СУММА").arg(action);
    if (!context.onlyOptions(parser, action, {}, &status))
        return status;
    if (words.isEmpty())
        return context.usage(QStringLiteral("Нужна сумма: ") + form);
    if (!context.noMoreWords(words, 1, &status))
        return status;
    qint64 kopecks = 0;
    if (!readKopecks(words.first(), &kopecks) || kopecks < 0)
        return context.usage(QStringLiteral("Сумма «%1» не понята: нужно число с копейками, "
                                            "например 5000.00.")
                                 .arg(words.first()));
    Connection connection;
    if (!context.open(connection))
        return CliFailed;
    if (!context.authorise(connection, Action::OpenCloseShift, &status))
        return status;
    ShiftStore shifts(connection);
    const QString counter = Settings().counterName();
    const bool opening = action == QLatin1String("open");
    const ShiftAnswer answer = opening ? shifts.open(counter, kopecks, context.operatorName)
                                       : shifts.close(counter, kopecks, context.operatorName);
    if (!answer.done())
        return context.fail(answer.message);
    context.audit(connection,
                  opening ? QStringLiteral("смена открыта") : QStringLiteral("смена закрыта"),
                  QStringLiteral("смена № %1").arg(answer.number), kopecksText(kopecks));
    context.out << answer.message << '\n';
    if (!opening)
        context.out << answer.report.text();
    return 0;
}

int shift(CliContext &context)
{
    QCommandLineParser parser;
    int status = 0;
    if (!context.parse(parser, {}, &status))
        return status;
    const QStringList words = parser.positionalArguments();
    const QString action = words.value(0);
    if (action == QLatin1String("report"))
        return report(context, parser, words.mid(1));
    if (action == QLatin1String("open") || action == QLatin1String("close"))
        return change(context, parser, action, words.mid(1));
    if (action.isEmpty())
        return context.usage(
            QStringLiteral("После --shift нужно действие: report, open или close."));
    return context.usage(
        QStringLiteral("Команда «--shift %1» не известна: есть report, open и close.").arg(action));
}

} // namespace

QVector<CliCommand> shiftCommands()
{
    return {
        {QStringLiteral("--shift"),
         QStringLiteral(
             "  printcalc --shift report [N]                  Z-отчёт N этой кассы (без N — "
             "X-отчёт\n"
             "                                                открытой смены), показатель "
             "в строке\n"
             "  printcalc --shift open СУММА                  открыть смену с разменом в "
             "кассе\n"
             "  printcalc --shift close СУММА                 закрыть смену с пересчитанной "
             "суммой"),
         shift},
    };
}
