// The audit trail in the shop's database: who did what, when and at which counter, each row
// chained to the one before it. Rows are only added; checking the chain names the first row that
// does not hold, and a trigger that keeps the rows unchanged being gone is itself a fault.
#pragma once

#include "operators/audit_chain.h"

#include <QDate>
#include <QPair>
#include <QStringList>
#include <QVector>

#include <functional>

class Connection;

struct AuditFilter
{
    QDate from; // local days, both included; invalid: open
    QDate to;
    QString who; // the operator or the approver; empty: anyone
    QString what; // a part of what was done, in any case; empty: anything
};

struct AuditCheck
{
    bool read = false; // false: the trail could not be read (the connection tells why)
    AuditVerdict verdict;
    QStringList missingTriggers;
    AuditHead head; // the chain's head as read, when intact
    QString anchorBreak; // what this counter found broken before, kept since
    QStringList headProblems; // heads printed elsewhere (Z reports, one typed) the trail lacks

    bool intact() const
    {
        return read && verdict.intact && missingTriggers.isEmpty() && anchorBreak.isEmpty()
            && headProblems.isEmpty();
    }
    // "цепочка цела", or what is broken first, in Russian.
    QString text() const;
};

class AuditLog
{
public:
    explicit AuditLog(Connection &connection);

    // Seals the record onto the chain inside the caller's transaction: its id and the previous
    // hash read there, counters on PostgreSQL queued by a lock. The time is now when unset.
    // Fills in the id and hashes; false on failure (the connection tells why).
    bool append(AuditRecord *record);
    // The same in a transaction of its own.
    bool add(AuditRecord *record);

    AuditCheck verify(const AuditHead &kept);
    // Whether the records from the anchor this counter kept up to the head just sealed still
    // hold: read, linked and hashed as they were sealed. Empty when they do, else what is wrong
    // ("Журнал действий изменён: после записи 12 недостаёт 2 записей"); false when the trail
    // could not be read.
    bool checkSinceAnchor(const AuditHead &anchor, const AuditHead &head, QString *problem);
    // Each head named (where it was printed: "Z-отчёт № 3, касса «стойка-1»") against the trail:
    // its record must be there with its hash. What does not hold goes into problems; false when
    // the trail could not be read. Every closed shift's Z report gives one.
    bool checkHeads(const QVector<QPair<QString, AuditHead>> &heads, QStringList *problems);
    bool zReportHeads(QVector<QPair<QString, AuditHead>> *heads);
    QVector<AuditRecord> list(const AuditFilter &filter, bool *ok = nullptr);
    // The triggers refusing changes that are not there; false when they could not be read.
    bool missingTriggers(QStringList *missing);

private:
    // The chain checked: read and hashed here on SQLite, by the server on PostgreSQL. False
    // when it could not be read.
    bool verifySqlite(const AuditHead &kept, AuditCheck *check);
    bool verifyPostgres(const AuditHead &kept, AuditCheck *check);

    Connection &connection;
};

// The change and its record in one transaction, so that both are kept or neither: the record is
// sealed once the change returned true, and only then is the transaction committed. A record
// naming nothing done (operators off) is not written. True when the change is kept; *sealed
// then holds the chain's new head, count 0 when nothing was recorded.
bool changeWithRecord(Connection &connection, const AuditRecord &record,
                      const std::function<bool()> &change, AuditHead *sealed);

// Moves the counter's anchor (in the state file beside localPath) on to head, only once the
// records since the anchor still hold; otherwise the anchor stays, the problem is kept for every
// later check and returned. Empty when all is well or the trail could not be read.
QString advanceAuditAnchor(Connection &connection, const QString &localPath,
                           const QString &database, const AuditHead &head);

// On PostgreSQL the trail is written only by this server function, run with the rights of the
// schema's owner: it takes the last record under the trail's lock, seals the new one onto it and
// answers with its id and hashes. No login of the shop's inserts, changes or removes a record
// itself. Made by the schema's upgrade; its name is for the grants.
QStringList auditAppendStatements(const QString &schema);
QString auditAppendFunction();

// A record's time as the trail keeps it: UTC to the millisecond, e.g. "2026-12-09T10:00:00.000Z".
QString auditTimeText(const QDateTime &time);
