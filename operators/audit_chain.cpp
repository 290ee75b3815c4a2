// SHA-256 over each record's fields, length-prefixed so that no two contents read alike.
#include "operators/audit_chain.h"

#include <QCryptographicHash>

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
    if (!verdict.intact)
        return false;
    QString problem;
    if (record.previousHash != previous)
        problem = QStringLiteral("запись %1 не продолжает предыдущую (вставлена или удалена "
                                 "запись перед ней)");
    else if (record.hash
             != (timeText.isNull() ? auditHash(record, previous)
                                   : auditHash(record, timeText, previous)))
        problem = QStringLiteral("запись %1 изменена");
    else if (record.id <= lastId)
        problem = QStringLiteral("запись %1 стоит не на своём месте");
    if (!problem.isEmpty()) {
        verdict = {false, int(count), problem.arg(record.id) + QLatin1Char('.')};
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
    if (verdict.intact && head.count > 0 && (head.count > count || hashAtHead != head.lastHash)) {
        verdict = {false, int(count),
                   QStringLiteral("после записи %1 недостаёт записей: их было %2.")
                       .arg(lastId)
                       .arg(head.count)};
    }
    return verdict;
}

AuditVerdict verifyAuditChain(const QVector<AuditRecord> &records, const AuditHead &head)
{
    AuditChainCheck check(head);
    for (const AuditRecord &record : records)
        if (!check.add(record))
            break;
    return check.finish();
}
