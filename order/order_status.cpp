// The rules of an order's status, its payments and its default due time.
#include "order/order_status.h"

#include "order/money.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

constexpr OrderStatus AllStatuses[]
    = {OrderStatus::Accepted, OrderStatus::InWork, OrderStatus::Ready, OrderStatus::HandedOver,
       OrderStatus::Cancelled};

// Ё and Е are one letter to an operator typing a status.
QString folded(const QString &word)
{
    QString text = word.simplified().toLower();
    text.replace(QChar(0x0451), QChar(0x0435));
    return text;
}

int rank(OrderStatus status)
{
    return static_cast<int>(status);
}

} // namespace

QString statusCaption(OrderStatus status)
{
    switch (status) {
    case OrderStatus::Accepted:
        return QStringLiteral("Принят");
    case OrderStatus::InWork:
        return QStringLiteral("В работе");
    case OrderStatus::Ready:
        return QStringLiteral("Готов");
    case OrderStatus::HandedOver:
        return QStringLiteral("Выдан");
    case OrderStatus::Cancelled:
        return QStringLiteral("Отменён");
    }
    return QString();
}

QString statusWord(OrderStatus status)
{
    return statusCaption(status).toLower();
}

bool statusFromWord(const QString &word, OrderStatus *status)
{
    const QString text = folded(word);
    for (OrderStatus each : AllStatuses) {
        if (text == folded(statusCaption(each))) {
            *status = each;
            return true;
        }
    }
    return false;
}

QString statusChangeProblem(OrderStatus from, OrderStatus to)
{
    const QString pair = QStringLiteral("«%1» → «%2»").arg(statusCaption(from), statusCaption(to));
    if (from == to)
        return QStringLiteral("Заказ уже в статусе «%1».").arg(statusCaption(to));
    if (from == OrderStatus::Cancelled)
        return QStringLiteral("Заказ отменён: его статус больше не меняется.");
    if (from == OrderStatus::HandedOver)
        return QStringLiteral("Заказ выдан: его статус больше не меняется (%1).").arg(pair);
    if (to == OrderStatus::Cancelled || rank(to) > rank(from))
        return QString();
    if (rank(to) == rank(from) - 1)
        return QString();
    return QStringLiteral("Назад можно только на один шаг (%1).").arg(pair);
}

bool statusIsOpen(OrderStatus status)
{
    return status != OrderStatus::HandedOver && status != OrderStatus::Cancelled;
}

QString paymentMethodWord(PaymentMethod method)
{
    switch (method) {
    case PaymentMethod::Cash:
        return QStringLiteral("наличные");
    case PaymentMethod::Card:
        return QStringLiteral("карта");
    case PaymentMethod::Transfer:
        return QStringLiteral("безналичный");
    }
    return QString();
}

bool paymentMethodFromWord(const QString &word, PaymentMethod *method)
{
    const QString text = folded(word);
    for (PaymentMethod each : {PaymentMethod::Cash, PaymentMethod::Card, PaymentMethod::Transfer}) {
        if (text == paymentMethodWord(each)) {
            *method = each;
            return true;
        }
    }
    return false;
}

QString paymentStateWord(PaymentState state)
{
    switch (state) {
    case PaymentState::Unpaid:
        return QStringLiteral("не оплачен");
    case PaymentState::Partly:
        return QStringLiteral("частично");
    case PaymentState::Paid:
        return QStringLiteral("оплачен");
    case PaymentState::Overpaid:
        return QStringLiteral("переплата");
    }
    return QString();
}

PaymentState paymentState(qint64 totalKopecks, qint64 paidKopecks)
{
    if (paidKopecks > totalKopecks)
        return PaymentState::Overpaid;
    if (paidKopecks == totalKopecks)
        return PaymentState::Paid;
    return paidKopecks > 0 ? PaymentState::Partly : PaymentState::Unpaid;
}

qint64 paidKopecks(const QVector<Payment> &payments)
{
    qint64 sum = 0;
    for (const Payment &payment : payments)
        sum += payment.kopecks;
    return sum;
}

qint64 kopecksOf(double roubles)
{
    return std::llround(calcRounded(roubles, 2) * 100.0);
}

bool boundedKopecks(double roubles, qint64 *kopecks)
{
    // Far above the bound, yet well inside what llround turns into 64 bits.
    if (!std::isfinite(roubles) || std::fabs(roubles) >= 1e15)
        return false;
    const qint64 rounded = kopecksOf(roubles);
    if (qAbs(rounded) > MaxKopecks)
        return false;
    *kopecks = rounded;
    return true;
}

bool readKopecks(const QString &text, qint64 *kopecks)
{
    static const QRegularExpression form(QStringLiteral("^([+-]?)(\\d{1,13})(?:[.,](\\d{1,2}))?$"));
    const QRegularExpressionMatch match = form.match(plainAmount(text));
    if (!match.hasMatch())
        return false;
    const QString fraction = match.captured(3).leftJustified(2, QLatin1Char('0'));
    const qint64 value = match.captured(2).toLongLong() * 100 + fraction.toLongLong();
    *kopecks = match.captured(1) == QLatin1String("-") ? -value : value;
    return true;
}

QString kopecksText(qint64 kopecks)
{
    const qint64 whole = qAbs(kopecks);
    return QStringLiteral("%1%2.%3")
        .arg(kopecks < 0 ? QStringLiteral("-") : QString())
        .arg(whole / 100)
        .arg(whole % 100, 2, 10, QLatin1Char('0'));
}

QString requestNumberText(qint64 number)
{
    return QStringLiteral("З-") + QString::number(number);
}

bool readRequestNumber(const QString &text, qint64 *number)
{
    QString digits = text.trimmed();
    if (digits.startsWith(QStringLiteral("З-"), Qt::CaseInsensitive))
        digits = digits.mid(2);
    if (digits.isEmpty() || digits.size() > 18
        || !std::all_of(digits.cbegin(), digits.cend(),
                        [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }))
        return false;
    *number = digits.toLongLong();
    return *number > 0;
}

QString roublesAndKopecks(qint64 kopecks)
{
    const qint64 whole = qAbs(kopecks);
    QString digits = QString::number(whole / 100);
    for (int at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QChar(0x00A0));
    return QStringLiteral("%1%2,%3 ₽")
        .arg(kopecks < 0 ? QStringLiteral("-") : QString(), digits)
        .arg(whole % 100, 2, 10, QLatin1Char('0'));
}

QDateTime defaultDue(const QDateTime &now, const QVector<int> &workingDays, int hour)
{
    static const QVector<int> weekdays {1, 2, 3, 4, 5};
    const QVector<int> &days = workingDays.isEmpty() ? weekdays : workingDays;
    QDate day = now.date().addDays(1);
    for (int tried = 0; tried < 7 && !days.contains(day.dayOfWeek()); ++tried)
        day = day.addDays(1);
    return QDateTime(day, QTime(qBound(0, hour, 23), 0), now.timeSpec());
}

bool readWorkingDays(const QString &text, QVector<int> *days)
{
    QVector<int> read;
    for (const QString &part : text.split(QLatin1Char(','))) {
        bool ok = false;
        const int day = part.trimmed().toInt(&ok);
        if (!ok || day < 1 || day > 7)
            return false;
        if (!read.contains(day))
            read.append(day);
    }
    if (read.isEmpty())
        return false;
    *days = read;
    return true;
}

QString workingDaysText(const QVector<int> &days)
{
    QStringList words;
    for (int day = 1; day <= 7; ++day)
        if (days.contains(day))
            words.append(QString::number(day));
    return words.join(QLatin1Char(','));
}

QString openingHoursText(const QVector<int> &days, const QTime &opens, const QTime &closes)
{
    static const QString names[]
        = {QStringLiteral("пн"), QStringLiteral("вт"), QStringLiteral("ср"), QStringLiteral("чт"),
           QStringLiteral("пт"), QStringLiteral("сб"), QStringLiteral("вс")};
    if (days.isEmpty() || !opens.isValid() || !closes.isValid())
        return QString();
    // Runs of three days or more read as a span ("пн–пт"), shorter ones day by day.
    QStringList parts;
    for (int day = 1; day <= 7; ++day) {
        if (!days.contains(day))
            continue;
        int last = day;
        while (last < 7 && days.contains(last + 1))
            ++last;
        if (last - day >= 2) {
            parts.append(names[day - 1] + QChar(0x2013) + names[last - 1]);
            day = last;
        } else {
            parts.append(names[day - 1]);
        }
    }
    const QString when = parts.size() == 1 && parts.first() == names[0] + QChar(0x2013) + names[6]
        ? QStringLiteral("ежедневно")
        : parts.join(QStringLiteral(", "));
    return when + QLatin1Char(' ') + opens.toString(QStringLiteral("HH:mm")) + QChar(0x2013)
        + closes.toString(QStringLiteral("HH:mm"));
}
