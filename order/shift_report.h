// The shift's report at one counter: what was taken by each method, what was refunded, what went
// into and out of the drawer, the cash that should be there, what was counted, who worked and the
// audit trail's head at that moment. An X report at any time; the Z report closes the shift.
#pragma once

#include "order/order_status.h"

#include <QDateTime>
#include <QStringList>
#include <QVector>

// Money put into the drawer (above zero) or taken out of it (below zero), with why and by whom.
struct CashEntry
{
    qint64 kopecks = 0;
    QString reason;
    QString operatorName;
    QDateTime time;
};

// What the report is made from, as stored.
struct ShiftFacts
{
    QString counter;
    int number = 0; // per counter; the Z report's number too
    QDateTime opened;
    QString openedBy;
    qint64 floatKopecks = 0; // in the drawer at the opening
    bool closed = false;
    QDateTime closedAt;
    QString closedBy;
    qint64 countedKopecks = 0; // counted at the close
    QVector<Payment> payments; // taken at this counter while the shift was open
    QVector<CashEntry> entries;
    QStringList operators; // who worked, as the trail and the entries name them
    qint64 auditCount = 0;
    QByteArray auditHash;
    QDateTime at; // when the report is made
};

struct ShiftReportLine
{
    QString label;
    QString value;
};

struct ShiftReport
{
    bool closing = false; // Z, else X
    int number = 0;
    QString counter;
    qint64 cash = 0;
    qint64 card = 0;
    qint64 transfer = 0;
    qint64 cashRefunds = 0; // given back, as positive sums
    qint64 cardRefunds = 0;
    qint64 transferRefunds = 0;
    qint64 cashIn = 0;
    qint64 cashOut = 0;
    qint64 expectedCash = 0;
    qint64 counted = 0;
    qint64 difference = 0; // counted less expected: below zero a shortage
    QVector<ShiftReportLine> lines; // as printed, the sums with a decimal point

    // "Z-отчёт № 3, касса «стойка-1»".
    QString title() const;
    QString fileName() const;
    // One line per figure: label, a tab, the value.
    QString text() const;
};

ShiftReport shiftReport(const ShiftFacts &facts);
// A report's text back (as the Z report is kept); false for a text that is not one.
bool readShiftReportText(const QString &text, ShiftReport *report);
