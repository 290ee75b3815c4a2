// The figures of the shift and their printed lines.
#include "order/shift_report.h"

namespace {

QString timeText(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

QString ShiftReport::title() const
{
    return QStringLiteral("%1-отчёт смены № %2, касса «%3»")
        .arg(closing ? QStringLiteral("Z") : QStringLiteral("X"))
        .arg(number)
        .arg(counter);
}

QString ShiftReport::fileName() const
{
    QString safe = counter;
    for (QChar &c : safe)
        if (!c.isLetterOrNumber())
            c = QLatin1Char('-');
    return QStringLiteral("%1-отчёт %2 смена %3.pdf")
        .arg(closing ? QStringLiteral("Z") : QStringLiteral("X"), safe)
        .arg(number);
}

QString ShiftReport::text() const
{
    QString result;
    for (const ShiftReportLine &line : lines)
        result += line.label + QLatin1Char('\t') + line.value + QLatin1Char('\n');
    return result;
}

ShiftReport shiftReport(const ShiftFacts &facts)
{
    ShiftReport report;
    report.closing = facts.closed;
    report.number = facts.number;
    report.counter = facts.counter;
    for (const Payment &payment : facts.payments) {
        const bool refund = payment.kopecks < 0;
        const qint64 sum = qAbs(payment.kopecks);
        switch (payment.method) {
        case PaymentMethod::Cash:
            (refund ? report.cashRefunds : report.cash) += sum;
            break;
        case PaymentMethod::Card:
            (refund ? report.cardRefunds : report.card) += sum;
            break;
        case PaymentMethod::Transfer:
            (refund ? report.transferRefunds : report.transfer) += sum;
            break;
        }
    }
    for (const CashEntry &entry : facts.entries)
        (entry.kopecks < 0 ? report.cashOut : report.cashIn) += qAbs(entry.kopecks);
    report.expectedCash
        = facts.floatKopecks + report.cash - report.cashRefunds + report.cashIn - report.cashOut;
    report.counted = facts.countedKopecks;
    report.difference = facts.closed ? facts.countedKopecks - report.expectedCash : 0;

    QVector<ShiftReportLine> &lines = report.lines;
    const auto add = [&lines](const QString &label, const QString &value) {
        lines.append({label, value});
    };
    add(QStringLiteral("Отчёт"), facts.closed ? QStringLiteral("Z") : QStringLiteral("X"));
    add(QStringLiteral("Смена"), QString::number(facts.number));
    add(QStringLiteral("Касса"), facts.counter);
    add(QStringLiteral("Открыта"), timeText(facts.opened));
    add(QStringLiteral("Открыл"), facts.openedBy);
    if (facts.closed) {
        add(QStringLiteral("Закрыта"), timeText(facts.closedAt));
        add(QStringLiteral("Закрыл"), facts.closedBy);
    } else {
        add(QStringLiteral("Отчёт на"), timeText(facts.at));
    }
    add(QStringLiteral("Размен в кассе"), kopecksText(facts.floatKopecks));
    add(QStringLiteral("Наличные"), kopecksText(report.cash));
    add(QStringLiteral("Карта"), kopecksText(report.card));
    add(QStringLiteral("Безналичный"), kopecksText(report.transfer));
    add(QStringLiteral("Возвраты наличными"), kopecksText(report.cashRefunds));
    add(QStringLiteral("Возвраты картой"), kopecksText(report.cardRefunds));
    add(QStringLiteral("Возвраты безналичным"), kopecksText(report.transferRefunds));
    add(QStringLiteral("Внесено"), kopecksText(report.cashIn));
    add(QStringLiteral("Изъято"), kopecksText(report.cashOut));
    add(QStringLiteral("Ожидается в кассе"), kopecksText(report.expectedCash));
    if (facts.closed) {
        add(QStringLiteral("Пересчитано"), kopecksText(report.counted));
        add(QStringLiteral("Расхождение"), kopecksText(report.difference));
    }
    add(QStringLiteral("Работали"), facts.operators.join(QStringLiteral(", ")));
    add(QStringLiteral("Записей в журнале действий"), QString::number(facts.auditCount));
    add(QStringLiteral("Последний хеш журнала"), QString::fromLatin1(facts.auditHash));
    return report;
}

bool readShiftReportText(const QString &text, ShiftReport *report)
{
    ShiftReport read;
    const QStringList rows = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &row : rows) {
        const int tab = row.indexOf(QLatin1Char('\t'));
        if (tab < 0)
            return false;
        read.lines.append({row.left(tab), row.mid(tab + 1)});
    }
    if (read.lines.size() < 3 || read.lines.at(0).label != QStringLiteral("Отчёт"))
        return false;
    read.closing = read.lines.at(0).value == QLatin1String("Z");
    read.number = read.lines.at(1).value.toInt();
    read.counter = read.lines.at(2).value;
    const auto figure = [&read](const char *label, qint64 *value) {
        for (const ShiftReportLine &line : qAsConst(read.lines))
            if (line.label == QString::fromUtf8(label))
                readKopecks(line.value, value);
    };
    figure("Наличные", &read.cash);
    figure("Карта", &read.card);
    figure("Безналичный", &read.transfer);
    figure("Возвраты наличными", &read.cashRefunds);
    figure("Возвраты картой", &read.cardRefunds);
    figure("Возвраты безналичным", &read.transferRefunds);
    figure("Внесено", &read.cashIn);
    figure("Изъято", &read.cashOut);
    figure("Ожидается в кассе", &read.expectedCash);
    figure("Пересчитано", &read.counted);
    figure("Расхождение", &read.difference);
    *report = read;
    return true;
}
