// The audit trail's chain: each record carries the hash of the one before it and of its own
// content, so a record changed, inserted or removed anywhere (the last ones included, once the
// chain's head is kept elsewhere) shows where the chain breaks.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

struct AuditRecord
{
    qint64 id = 0;
    QDateTime time; // UTC, to the millisecond
    QString counter;
    QString operatorName;
    QString approver;
    QString what;
    QString oldValue;
    QString newValue;
    QByteArray previousHash; // hex SHA-256 of the record before, empty for the first
    QByteArray hash; // hex SHA-256 of previousHash and this record's content
};

// The hash a record must carry after the given previous one.
QByteArray auditHash(const AuditRecord &record, const QByteArray &previousHash);
// The same with the time as the trail stores it ("2026-12-09T10:00:00.000Z"), for reading a long
// trail without making each time again.
QByteArray auditHash(const AuditRecord &record, const QString &timeText,
                     const QByteArray &previousHash);
// The record sealed onto the chain whose last hash is given.
AuditRecord sealedAuditRecord(AuditRecord record, const QByteArray &previousHash);

// The head kept beside the trail: how many records, and the last one's hash.
struct AuditHead
{
    qint64 count = 0;
    QByteArray lastHash;
};

struct AuditVerdict
{
    bool intact = true;
    int brokenIndex = -1; // the first record that does not hold, or records.size() for the end
    QString problem; // Russian, naming the record
};

// How a record does not hold, in the order it is looked at: not carrying the hash of the record
// before it, not matching its own hash, an id not after the one before (the first one's from 1).
enum class AuditBreak { NotFollowing, Changed, OutOfPlace };
// The verdict on a trail's first record that does not hold, at index (0-based) with its id.
AuditVerdict auditBreakVerdict(int index, qint64 id, AuditBreak kind);
// The verdict on the end of an intact trail of count records, the last with lastId, whose record
// at the kept head's count carries hashAtHead.
AuditVerdict auditEndVerdict(const AuditHead &head, qint64 count, qint64 lastId,
                             const QByteArray &hashAtHead);

// The records in order of their ids; a known head (count 0: none kept) also catches records
// removed from the end.
AuditVerdict verifyAuditChain(const QVector<AuditRecord> &records,
                              const AuditHead &head = AuditHead());

// The same check one record at a time, for a trail too long to hold in memory.
class AuditChainCheck
{
public:
    explicit AuditChainCheck(const AuditHead &head = AuditHead());
    // False from the first record that does not hold; the verdict then names it. A time text
    // given is hashed instead of the record's time.
    bool add(const AuditRecord &record, const QString &timeText = QString());
    // A page of records with their stored times, their hashes made on every core first.
    bool addPage(const QVector<AuditRecord> &records, const QStringList &timeTexts);
    // A page of records (id and both hashes) with the bytes each own hash is taken over, as the
    // database composed them: what auditHash() hashes after the previous hash's bytes.
    bool addComposedPage(const QVector<AuditRecord> &records, const QVector<QByteArray> &contents);
    // Once every record is added: the end checked against the head.
    AuditVerdict finish();
    // The chain's head as read so far.
    AuditHead readHead() const { return {count, previous}; }

private:
    bool addHashed(const AuditRecord &record, const QByteArray &ownHash);

    AuditHead head;
    AuditVerdict verdict;
    QByteArray previous;
    QByteArray hashAtHead;
    qint64 lastId = 0;
    qint64 count = 0;
};
