// The shifts of each counter in the shop's database: opened with the float in the drawer, money
// put in and taken out, closed with the counted cash and its Z report kept as it was printed. A
// closed shift is never changed: the store refuses it, and so do the database's triggers. Works
// on one open connection in the calling thread, like the order book.
#pragma once

#include "order/shift_report.h"

class Connection;

enum class ShiftOutcome { Done, Refused, NotFound, Failed };

struct ShiftAnswer
{
    ShiftOutcome outcome = ShiftOutcome::Failed;
    QString message; // in Russian: why refused, or the fault
    int number = 0; // the shift opened or closed
    ShiftReport report; // the Z report of a close

    bool done() const { return outcome == ShiftOutcome::Done; }
};

class ShiftStore
{
public:
    explicit ShiftStore(Connection &connection);

    // A new shift at the counter, numbered after its last; refused while one is open. The time
    // is now when unset.
    ShiftAnswer open(const QString &counter, qint64 floatKopecks, const QString &operatorName,
                     const QDateTime &when = QDateTime());
    // Money into the drawer (above zero) or out of it (below zero) of the open shift; a sum out
    // needs a reason and no more than the drawer should hold.
    ShiftAnswer addCash(const QString &counter, const CashEntry &entry);
    // Where each Z report's head of the audit trail is mailed (`[mail] owner`), queued with the
    // close; none when empty.
    void setOwnerMail(const QString &address) { ownerMail = address.trimmed(); }
    // The open shift closed with the counted cash; its Z report made and kept.
    ShiftAnswer close(const QString &counter, qint64 countedKopecks, const QString &operatorName,
                      const QDateTime &when = QDateTime());

    // The counter's open shift; false with found false when there is none.
    bool current(const QString &counter, ShiftFacts *facts, bool *found);
    // The X report of the open shift as of now (or the time given).
    ShiftAnswer xReport(const QString &counter, const QDateTime &when = QDateTime());
    // The Z report numbered so at the counter, as it was kept at the close.
    ShiftAnswer zReport(const QString &counter, int number);

private:
    bool readShift(const QString &counter, int number, ShiftFacts *facts, qint64 *id, bool *found);
    bool readFigures(qint64 id, ShiftFacts *facts, const QDateTime &until);
    ShiftAnswer fault();

    Connection &connection;
    QString ownerMail;
};
