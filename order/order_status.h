// What became of an order after the quote: its status and the rules for changing it, its
// payments and what they leave to pay, and when it is promised by default.
#pragma once

#include <QDateTime>
#include <QString>
#include <QTime>
#include <QVector>

enum class OrderStatus { Accepted, InWork, Ready, HandedOver, Cancelled };

// "Принят", "В работе", "Готов", "Выдан", "Отменён": as the board shows them.
QString statusCaption(OrderStatus status);
// The same in lower case, as the command line writes and reads them.
QString statusWord(OrderStatus status);
// A status as typed: any case, "е" for "ё"; false for any other word.
bool statusFromWord(const QString &word, OrderStatus *status);

// Why the rules refuse the change, in Russian; empty when it is allowed. Forward may skip steps,
// back goes one step only and never from Выдан; Отменён from anything but Выдан, nothing after it.
QString statusChangeProblem(OrderStatus from, OrderStatus to);
// Still on the board: neither handed over nor cancelled.
bool statusIsOpen(OrderStatus status);

enum class PaymentMethod { Cash, Card, Transfer };

// "наличные", "карта", "безналичный".
QString paymentMethodWord(PaymentMethod method);
bool paymentMethodFromWord(const QString &word, PaymentMethod *method);

struct Payment
{
    qint64 id = 0;
    qint64 kopecks = 0; // below zero for a refund
    PaymentMethod method = PaymentMethod::Cash;
    QDateTime time;
    QString counter;
    QString reason; // why a refund was made; the bank document a payment came from
    // Who took it and who approved it; empty where no operators exist, or for a payment stored
    // before they were kept.
    QString operatorName;
    QString approver;
};

enum class PaymentState { Unpaid, Partly, Paid, Overpaid };

// "не оплачен", "частично", "оплачен", "переплата".
QString paymentStateWord(PaymentState state);
PaymentState paymentState(qint64 totalKopecks, qint64 paidKopecks);
qint64 paidKopecks(const QVector<Payment> &payments);

// A sum as the documents show it (two decimals, Calc's rounding) in whole kopecks.
qint64 kopecksOf(double roubles);
// An amount as typed ("1 200,50", "1200.5", "-300"): false for anything else or more than two
// decimals.
bool readKopecks(const QString &text, qint64 *kopecks);
// "1200.50": the command line's and the statement's form.
QString kopecksText(qint64 kopecks);
// A website's request as lists and messages name it, apart from the orders: "З-5376".
QString requestNumberText(qint64 number);
// "З-5376", "з-5376" or "5376": false for anything else.
bool readRequestNumber(const QString &text, qint64 *number);

// "1 200,50 ₽" with the kopecks always shown, as a balance is told.
QString roublesAndKopecks(qint64 kopecks);

// The largest sum the shop's records take: 99 999 999 999,99 ₽. Anything beyond is refused where
// it enters, before it is stored.
constexpr qint64 MaxKopecks = Q_INT64_C(9999999999999);
// kopecksOf for an amount of at most MaxKopecks either way; false for any other, checked on the
// double before it is converted, so that no sum too large for 64 bits wraps round.
bool boundedKopecks(double roubles, qint64 *kopecks);

// The promise made by default: the next working day after now at the hour given. Working days
// are numbered as Qt does, Monday 1 to Sunday 7; none given means Monday to Friday.
QDateTime defaultDue(const QDateTime &now, const QVector<int> &workingDays, int hour);
// "1,2,3,4,5" as the settings write it: false for a day outside 1..7 or an empty list.
bool readWorkingDays(const QString &text, QVector<int> *days);
// The days as the settings write them, in the week's order: "1,2,3,4,5".
QString workingDaysText(const QVector<int> &days);
// The hours as a customer reads them: "пн–пт 09:00–19:00", "пн, ср, пт 10:00–18:00",
// "ежедневно 09:00–21:00"; empty without days or with a time missing.
QString openingHoursText(const QVector<int> &days, const QTime &opens, const QTime &closes);
