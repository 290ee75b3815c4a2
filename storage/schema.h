// The database schema and its upgrades, in one place for SQLite and PostgreSQL alike. The
// database holds its version in `schema_version`; each step brings it one version up inside one
// transaction and keeps every row.
#pragma once

#include "storage/connection.h"

#include <QSqlDatabase>
#include <QStringList>
#include <QVector>

#include <functional>

struct SchemaStep
{
    int version; // the version the database has after this step
    QStringList statements; // for both databases
    QStringList sqliteOnly;
    QStringList postgresOnly;
    // Row by row work that SQL alone cannot do, run after the statements in the same transaction;
    // false with the error.
    std::function<bool(QSqlDatabase db, QSqlError *error)> rewrite;
};

// The triggers that keep audit_log append-only, on either database.
const QStringList &auditTriggerNames();

// Every step since the first, in order.
const QVector<SchemaStep> &schemaSteps();
int latestSchemaVersion();

struct SchemaState
{
    int version = 0; // what the database holds now
    StorageFault fault = StorageFault::None;
    QString detail;
};

// Reads the version and runs the missing steps. A newer version than this program knows is left
// alone and reported as NewerSchema.
SchemaState prepareSchema(QSqlDatabase db, bool sqlite);
// -1 when it cannot be read; 0 for a database without the program's tables.
int readSchemaVersion(QSqlDatabase db, bool sqlite);
