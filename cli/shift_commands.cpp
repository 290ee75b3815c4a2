// `printcalc --shift report [N]|open СУММА|close СУММА`: the counter's shift from the command
// line, the report one figure a line.
#include "cli/cli.h"

#include "storage/connection.h"
#include "storage/settings.h"
#include "storage/shift_store.h"

namespace {

int report(CliContext &context, const QCommandLineParser &, const QStringList &words)
{
    int status = 0;
    qint64 number = 0;
    if (!words.isEmpty()
        && !context.readNumber(words.first(), QStringLiteral("Номер Z-отчёта"), 1000000000, &number,
                               &status))
        return status;
    Connection connection;
    if (!context.open(connection))
        return CliFailed;
    ShiftStore shifts(connection);
    shifts.setOwnerMail(Settings().ownerMail());
    const QString counter = Settings().counterName();
    const ShiftAnswer answer
        = words.isEmpty() ? shifts.xReport(counter) : shifts.zReport(counter, int(number));
    if (!answer.done())
        return context.fail(answer.message);
    context.out << answer.report.text();
    return 0;
}

int change(CliContext &context, const QCommandLineParser &, const QStringList &words)
{
    int status = 0;
    qint64 kopecks = 0;
    if (!readKopecks(words.first(), &kopecks) || kopecks < 0)
        return context.usage(QStringLiteral("Сумма «%1» не понята: нужно число с копейками, "
                                            "например 5000.00.")
                                 .arg(words.first()));
    Connection connection;
    if (!context.open(connection))
        return CliFailed;
    if (!context.authorise(connection, &status))
        return status;
    ShiftStore shifts(connection);
    shifts.setOwnerMail(Settings().ownerMail());
    const QString counter = Settings().counterName();
    const bool opening = context.action == QLatin1String("open");
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

} // namespace

QVector<CliCommand> shiftCommands()
{
    const auto needsSum = [](const char *action) {
        return QStringLiteral("Нужна сумма: printcalc --shift %1 СУММА").arg(QLatin1String(action));
    };
    return {{QStringLiteral("--shift"),
             {},
             {{QStringLiteral("report"),
               QStringLiteral("  printcalc --shift report [N]                  Z-отчёт N этой "
                              "кассы (без N — X-отчёт\n"
                              "                                                открытой смены), "
                              "показатель в строке"),
               {},
               0,
               {},
               1,
               {},
               report},
              {QStringLiteral("open"),
               QStringLiteral("  printcalc --shift open СУММА                  открыть смену с "
                              "разменом в кассе"),
               {},
               1,
               needsSum("open"),
               1,
               Action::OpenCloseShift,
               change},
              {QStringLiteral("close"),
               QStringLiteral("  printcalc --shift close СУММА                 закрыть смену с "
                              "пересчитанной суммой"),
               {},
               1,
               needsSum("close"),
               1,
               Action::OpenCloseShift,
               change}}}};
}
