// The audit trail as the owner's view lists it: one record a row, its time in local time, and
// what a reading of the trail brought (the records filtered, the chain's check).
#pragma once

#include "storage/audit_log.h"

#include <QAbstractTableModel>

#include <functional>

class QObject;

// One reading of the trail for the view.
struct AuditReading
{
    bool read = false;
    QVector<AuditRecord> records;
    QString chain; // "цепочка цела" or what is broken first
    QString error; // why the trail was not read
};

// Reads the trail with the filter away from the window and answers on the context's thread.
using AuditReader = std::function<void(const AuditFilter &filter, QObject *context,
                                       std::function<void(const AuditReading &)> done)>;

class AuditModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Time, Counter, Operator, Approver, What, OldValue, NewValue, ColumnCount };

    explicit AuditModel(QObject *parent = nullptr);

    void setRecords(const QVector<AuditRecord> &records);
    const AuditRecord &record(int row) const { return records.at(row); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QVector<AuditRecord> records;
};
