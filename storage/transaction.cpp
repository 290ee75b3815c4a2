// Begin, commit and roll back as each driver wants them.
#include "storage/transaction.h"

#include "storage/connection.h"

#include <QSqlDriver>
#include <QSqlQuery>

Transaction::Transaction(QSqlDatabase database)
    : db(database)
    , sqlite(database.driverName() == QLatin1String("QSQLITE"))
{
    if (sqlite) {
        active = run(QStringLiteral("BEGIN IMMEDIATE"));
    } else {
        active = db.transaction();
        if (!active)
            lastError = db.lastError();
    }
}

Transaction::Transaction(Connection &connection)
    : Transaction(connection.database())
{
    reportTo = &connection;
    if (!active)
        note();
}

void Transaction::note()
{
    if (reportTo)
        reportTo->noteError(lastError);
}

Transaction::~Transaction()
{
    rollback();
}

bool Transaction::run(const QString &statement)
{
    QSqlQuery query(db);
    if (query.exec(statement))
        return true;
    lastError = query.lastError();
    return false;
}

bool Transaction::commit()
{
    if (!active)
        return false;
    const bool done = sqlite ? run(QStringLiteral("COMMIT")) : db.commit();
    if (!done && !sqlite)
        lastError = db.lastError();
    if (done) {
        active = false;
        return true;
    }
    note();
    rollback();
    return false;
}

void Transaction::rollback()
{
    if (!active)
        return;
    active = false;
    if (sqlite) {
        QSqlQuery query(db);
        query.exec(QStringLiteral("ROLLBACK"));
    } else {
        db.rollback();
    }
}
