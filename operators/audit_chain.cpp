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
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(previousHash + '|');
    addField(hash, QString::number(record.id));
    addField(hash, record.time.toUTC().toString(Qt::ISODateWithMs));
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

AuditVerdict verifyAuditChain(const QVector<AuditRecord> &records, const AuditHead &head)
{
    AuditVerdict verdict;
    QByteArray previous;
    qint64 lastId = 0;
    for (int i = 0; i < records.size(); ++i) {
        const AuditRecord &record = records.at(i);
        QString problem;
        if (record.previousHash != previous)
            problem = QStringLiteral("запись %1 не продолжает предыдущую (вставлена или удалена "
                                     "запись перед ней)");
        else if (record.hash != auditHash(record, previous))
            problem = QStringLiteral("запись %1 изменена");
        else if (record.id <= lastId)
            problem = QStringLiteral("запись %1 стоит не на своём месте");
        if (!problem.isEmpty()) {
            verdict = {false, i, problem.arg(record.id) + QLatin1Char('.')};
            return verdict;
        }
        previous = record.hash;
        lastId = record.id;
    }
    if (head.count > 0
        && (head.count > records.size() || records.at(int(head.count) - 1).hash != head.lastHash)) {
        verdict = {false, int(records.size()),
                   QStringLiteral("после записи %1 недостаёт записей: их было %2.")
                       .arg(records.isEmpty() ? 0 : records.last().id)
                       .arg(head.count)};
    }
    return verdict;
}
