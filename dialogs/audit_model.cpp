// The trail's rows with their captions; the time shown in the counter's local time.
#include "dialogs/audit_model.h"

AuditModel::AuditModel(QObject *parent)
    : QAbstractTableModel(parent)
{ }

void AuditModel::setRecords(const QVector<AuditRecord> &shown)
{
    beginResetModel();
    records = shown;
    endResetModel();
}

int AuditModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : records.size();
}

int AuditModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant AuditModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= records.size()
        || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return QVariant();
    const AuditRecord &record = records.at(index.row());
    switch (index.column()) {
    case Time:
        return record.time.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    case Counter:
        return record.counter;
    case Operator:
        return record.operatorName;
    case Approver:
        return record.approver;
    case What:
        return record.what;
    case OldValue:
        return record.oldValue;
    case NewValue:
        return record.newValue;
    default:
        return QVariant();
    }
}

QVariant AuditModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Time:
        return QStringLiteral("Время");
    case Counter:
        return QStringLiteral("Стойка");
    case Operator:
        return QStringLiteral("Оператор");
    case Approver:
        return QStringLiteral("Разрешил");
    case What:
        return QStringLiteral("Что");
    case OldValue:
        return QStringLiteral("Было");
    case NewValue:
        return QStringLiteral("Стало");
    default:
        return QVariant();
    }
}
