// One open database for one purpose on one thread: SQLite in WAL mode with synchronous=FULL, or
// PostgreSQL through libpq; the schema brought up to date on opening. What went wrong is kept as a
// kind and as a message for the operator.
#pragma once

#include "storage/database_url.h"

#include <QSqlDatabase>
#include <QString>

class QSqlError;
class Transaction;

enum class StorageFault {
    None,
    BadUrl,
    NoDriver,
    Unreachable,
    WrongPassword,
    NoDatabase,
    NotWritable,
    DiskFull,
    Corrupt,
    NewerSchema,
    // A login that may not run the schema's steps found an older schema.
    OlderSchema,
    // The login's group lacks the right for the statement (a counter's login voiding by hand).
    NotPermitted,
    Other
};

// The kind of fault a failed statement or connection attempt tells of.
StorageFault faultOf(const QSqlError &error, bool sqlite);

class Connection
{
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Connects and prepares the schema. False when nothing can be read; a database made by a newer
    // program opens for reading only (writable() false, fault() NewerSchema). On PostgreSQL only
    // the tables' owner runs the steps; another login finding an older schema gets OlderSchema.
    bool open(const DatabaseUrl &url, const QString &purpose);
    void close();

    bool isOpen() const { return !name.isEmpty(); }
    bool isSqlite() const { return target.kind == DatabaseUrl::Sqlite; }
    bool writable() const { return canWrite; }
    int schemaVersion() const { return version; }
    QSqlDatabase database() const;
    const DatabaseUrl &url() const { return target; }

    StorageFault fault() const { return lastFault; }
    // Forgets the last statement's fault before the next call; a newer program's database stays
    // refused.
    void clearFault();
    QString errorText() const { return lastError; }
    // Records a failed statement's fault, with its text for the operator.
    StorageFault noteError(const QSqlError &error);
    // The message for a fault of this database, with the driver's words as detail.
    QString faultText(StorageFault fault, const QString &detail) const;
    // The transaction open on this connection, which a transaction begun meanwhile joins.
    Transaction *openTransaction() const { return joinable; }
    void setOpenTransaction(Transaction *transaction) { joinable = transaction; }

private:
    bool fail(StorageFault fault, const QString &detail);

    QString name;
    DatabaseUrl target;
    int version = 0;
    bool canWrite = false;
    StorageFault lastFault = StorageFault::None;
    QString lastError;
    Transaction *joinable = nullptr;
};

// Moves a damaged SQLite file (with its -wal and -shm) aside under a name with the date and time;
// returns the new name of the file, or an empty string if it could not be moved.
QString moveAsideDamagedFile(const QString &path);
