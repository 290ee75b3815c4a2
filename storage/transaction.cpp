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
    : reportTo(&connection)
    , db(connection.database())
    , sqlite(db.driverName() == QLatin1String("QSQLITE"))
{
    outer = connection.openTransaction();
    if (outer) {
        active = outer->active;
        if (!active)
            lastError = outer->lastError;
        return;
    }
    if (sqlite) {
        active = run(QStringLiteral("BEGIN IMMEDIATE"));
    } else {
        active = db.transaction();
        if (!active)
            lastError = db.lastError();
    }
    if (active)
        connection.setOpenTransaction(this);
    else
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
    if (reportTo && reportTo->openTransaction() == this)
        reportTo->setOpenTransaction(nullptr);
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
    if (outer) {
        active = false;
        return outer->active;
    }
    if (partFailed) {
        lastError = QSqlError(QStringLiteral("часть изменения не записана"), QString(),
                              QSqlError::TransactionError);
        note();
        rollback();
        return false;
    }
    const bool done = sqlite ? run(QStringLiteral("COMMIT")) : db.commit();
    if (!done && !sqlite)
        lastError = db.lastError();
    if (done) {
        active = false;
        if (reportTo && reportTo->openTransaction() == this)
            reportTo->setOpenTransaction(nullptr);
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
    if (outer) {
        outer->partFailed = true;
        return;
    }
    if (reportTo && reportTo->openTransaction() == this)
        reportTo->setOpenTransaction(nullptr);
    if (sqlite) {
        QSqlQuery query(db);
        query.exec(QStringLiteral("ROLLBACK"));
    } else {
        db.rollback();
    }
}
