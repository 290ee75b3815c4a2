// A database as a shop upgrading to a step has it: the program's own steps up to the one before,
// its version recorded, then the older program's rows. A SQLite file, or an empty PostgreSQL
// database of a throwaway cluster.
#pragma once

#include "storage/database_url.h"
#include "storage/schema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

// Empty when made; otherwise the statement that failed and why.
inline QString makeDatabaseBefore(const DatabaseUrl &url, int step, const QStringList &rows = {})
{
    const bool sqlite = url.kind == DatabaseUrl::Sqlite;
    int before = 0;
    for (const SchemaStep &each : schemaSteps())
        if (each.version < step)
            before = each.version;
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(
            sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"), QStringLiteral("older"));
        db.setDatabaseName(sqlite ? url.path : url.database);
        db.setHostName(url.host);
        db.setUserName(url.user);
        db.setPassword(url.password);
        if (url.port > 0)
            db.setPort(url.port);
        if (!sqlite)
            db.setConnectOptions(url.connectOptions());
        if (!db.open())
            problem = db.lastError().text();
        QSqlQuery query(db);
        const auto run = [&query, &problem](const QString &statement) {
            if (problem.isEmpty() && !query.exec(statement))
                problem = statement + QStringLiteral(": ") + query.lastError().text();
        };
        for (const SchemaStep &each : schemaSteps()) {
            if (each.version > before)
                break;
            for (const QString &statement :
                 each.statements + (sqlite ? each.sqliteOnly : each.postgresOnly))
                run(statement);
            QSqlError error;
            if (problem.isEmpty() && each.rewrite && !each.rewrite(db, &error))
                problem = QStringLiteral("step %1: %2").arg(each.version).arg(error.text());
        }
        run(QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)"));
        run(QStringLiteral("INSERT INTO schema_version (version) VALUES (%1)").arg(before));
        for (const QString &row : rows)
            run(row);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("older"));
    return problem;
}

inline QString makeDatabaseBefore(const QString &path, int step, const QStringList &rows = {})
{
    return makeDatabaseBefore(DatabaseUrl::sqliteFile(path), step, rows);
}
