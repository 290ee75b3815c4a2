// SHA-256 over each record's fields, length-prefixed so that no two contents read alike.
#include "operators/audit_chain.h"

#include <QCryptographicHash>
#include <QStringList>

#include <thread>
#include <vector>

namespace {

void addField(QCryptographicHash &hash, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    hash.addData(QByteArray::number(bytes.size()) + ':');
    hash.addData(bytes);
}

} // namespace

QByteArray auditHash(const AuditRecord &record, const QByteArray &previousHash)
{
    return auditHash(record, record.time.toUTC().toString(Qt::ISODateWithMs), previousHash);
}

QByteArray auditHash(const AuditRecord &record, const QString &timeText,
                     const QByteArray &previousHash)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(previousHash + '|');
    addField(hash, QString::number(record.id));
    addField(hash, timeText);
    addField(hash, record.counter);
    addField(hash, record.operatorName);
    addField(hash, record.approver);
    addField(hash, record.what);
    addField(hash, record.oldValue);
    addField(hash, record.newValue);
    return hash.result().toHex();
}

AuditRecord sealedAuditRecord(AuditRecord record, const QByteArray &previousHash)
{
    record.previousHash = previousHash;
    record.hash = auditHash(record, previousHash);
    return record;
}

AuditChainCheck::AuditChainCheck(const AuditHead &head)
    : head(head)
{ }

bool AuditChainCheck::add(const AuditRecord &record, const QString &timeText)
{
    // A record that does not continue the chain is told so before its own hash is looked at.
    const QByteArray &base = record.previousHash == previous ? previous : record.previousHash;
    return addHashed(
        record, timeText.isNull() ? auditHash(record, base) : auditHash(record, timeText, base));
}

bool AuditChainCheck::addPage(const QVector<AuditRecord> &records, const QStringList &timeTexts)
{
    // Each hash needs only its own record (the previous hash it carries), so the page is shared
    // out; whether the records link up is checked in order after.
    QVector<QByteArray> hashes(records.size());
    const auto work = [&](int from, int step) {
        for (int i = from; i < records.size(); i += step)
            hashes[i] = auditHash(records.at(i), timeTexts.at(i), records.at(i).previousHash);
    };
    const int workers = int(qBound(1u, std::thread::hardware_concurrency(), 8u));
    std::vector<std::thread> threads;
    for (int w = 1; w < workers; ++w)
        threads.emplace_back(work, w, workers);
    work(0, workers);
    for (std::thread &thread : threads)
        thread.join();
    for (int i = 0; i < records.size(); ++i)
        if (!addHashed(records.at(i), hashes.at(i)))
            return false;
    return true;
}

bool AuditChainCheck::addComposedPage(const QVector<AuditRecord> &records,
                                      const QVector<QByteArray> &contents)
{
    QVector<QByteArray> hashes(records.size());
    const auto work = [&](int from, int step) {
        for (int i = from; i < records.size(); i += step)
            hashes[i]
                = QCryptographicHash::hash(contents.at(i), QCryptographicHash::Sha256).toHex();
    };
    const int workers = int(qBound(1u, std::thread::hardware_concurrency(), 8u));
    std::vector<std::thread> threads;
    for (int w = 1; w < workers; ++w)
        threads.emplace_back(work, w, workers);
    work(0, workers);
    for (std::thread &thread : threads)
        thread.join();
    for (int i = 0; i < records.size(); ++i)
        if (!addHashed(records.at(i), hashes.at(i)))
            return false;
    return true;
}

bool AuditChainCheck::addHashed(const AuditRecord &record, const QByteArray &ownHash)
{
    if (!verdict.intact)
        return false;
    const AuditBreak kind = record.previousHash != previous ? AuditBreak::NotFollowing
        : record.hash != ownHash                            ? AuditBreak::Changed
                                                            : AuditBreak::OutOfPlace;
    if (kind != AuditBreak::OutOfPlace || record.id <= lastId) {
        verdict = auditBreakVerdict(int(count), record.id, kind);
        return false;
    }
    previous = record.hash;
    lastId = record.id;
    ++count;
    if (count == head.count)
        hashAtHead = record.hash;
    return true;
}

AuditVerdict AuditChainCheck::finish()
{
    if (verdict.intact)
        verdict = auditEndVerdict(head, count, lastId, hashAtHead);
    return verdict;
}

AuditVerdict auditBreakVerdict(int index, qint64 id, AuditBreak kind)
{
    QString problem;
    switch (kind) {
    case AuditBreak::NotFollowing:
        problem = QStringLiteral("запись %1 не продолжает предыдущую (вставлена или удалена "
                                 "запись перед ней).");
        break;
    case AuditBreak::Changed:
        problem = QStringLiteral("запись %1 изменена.");
        break;
    case AuditBreak::OutOfPlace:
        problem = QStringLiteral("запись %1 стоит не на своём месте.");
        break;
    }
    return {false, index, problem.arg(id)};
}

AuditVerdict auditEndVerdict(const AuditHead &head, qint64 count, qint64 lastId,
                             const QByteArray &hashAtHead)
{
    if (head.count > 0 && (head.count > count || hashAtHead != head.lastHash))
        return {false, int(count),
                QStringLiteral("после записи %1 недостаёт записей: их было %2.")
                    .arg(lastId)
                    .arg(head.count)};
    return AuditVerdict();
}

AuditVerdict verifyAuditChain(const QVector<AuditRecord> &records, const AuditHead &head)
{
    AuditChainCheck check(head);
    for (const AuditRecord &record : records)
        if (!check.add(record))
            break;
    return check.finish();
}
