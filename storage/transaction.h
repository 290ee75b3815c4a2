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
    // which tells the window. Begun while another transaction of the connection is open, it is a
    // part of that one: its commit only says the part is done, and a part rolled back makes the
    // whole one fail at its commit, so that a change and its record are kept together or not at
    // all.
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
    Transaction *outer = nullptr;
    bool partFailed = false;
    QSqlDatabase db;
    bool sqlite = false;
    bool active = false;
    QSqlError lastError;
};
