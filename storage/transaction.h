// A transaction that rolls back unless committed: every write of the program goes through one.
#pragma once

#include <QSqlDatabase>
#include <QSqlError>

class Connection;

class Transaction
{
public:
    // Begins at once. On SQLite the write lock is taken at the start (BEGIN IMMEDIATE), so two
    // writers queue up instead of failing half way.
    explicit Transaction(QSqlDatabase db);
    // The same on the connection's database; a failed begin or commit is noted on the connection,
    // which tells the window.
    explicit Transaction(Connection &connection);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool isActive() const { return active; }
    bool commit();
    void rollback();
    QSqlError error() const { return lastError; }

private:
    bool run(const QString &statement);

    void note();

    Connection *reportTo = nullptr;
    QSqlDatabase db;
    bool sqlite = false;
    bool active = false;
    QSqlError lastError;
};
