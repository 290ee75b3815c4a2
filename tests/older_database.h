// A SQLite file as a shop upgrading to a step has it on disk: the program's own steps up to the
// one before, its version recorded, then the older program's rows.
#pragma once

#include "storage/schema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

// Empty when made; otherwise the statement that failed and why.
inline QString makeDatabaseBefore(const QString &path, int step, const QStringList &rows = {})
{
    int before = 0;
    for (const SchemaStep &each : schemaSteps())
        if (each.version < step)
            before = each.version;
    QString problem;
    {
        QSqlDatabase db
            = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("older"));
        db.setDatabaseName(path);
        if (!db.open())
            return db.lastError().text();
        QSqlQuery query(db);
        const auto run = [&query, &problem](const QString &statement) {
            if (problem.isEmpty() && !query.exec(statement))
                problem = statement + QStringLiteral(": ") + query.lastError().text();
        };
        for (const SchemaStep &each : schemaSteps()) {
            if (each.version > before)
                break;
            for (const QString &statement : each.statements + each.sqliteOnly)
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
