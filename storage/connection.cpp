// Opening SQLite and PostgreSQL through Qt SQL, and telling their faults apart.
#include "storage/connection.h"

#include "storage/database_roles.h"
#include "storage/schema.h"
#include "storage/transaction.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <unistd.h>

namespace {

QAtomicInt connectionCount;

// SQLite makes the write-ahead companions with the file's own rights. Made while the file was
// read-only, they would stay so once it is writable again and keep every connection of the
// program from writing: the shared index is made writable beforehand, and read-only companions
// left by an earlier run take the rights to write. Only for the file's owner, whose they are.
void prepareCompanions(const QString &path)
{
    const QFileInfo file(path);
    if (!file.exists() || file.ownerId() != ::geteuid())
        return;
    const QFile::Permissions rights = file.permissions() | QFile::WriteOwner | QFile::WriteUser;
    for (const QString &suffix : {QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        const QString companion = path + suffix;
        if (QFileInfo::exists(companion)) {
            if (!QFileInfo(companion).isWritable())
                QFile::setPermissions(companion, rights);
            continue;
        }
        QFile index(companion);
        if (suffix == QLatin1String("-shm") && !file.isWritable()
            && index.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            index.close();
            QFile::setPermissions(companion, rights);
        }
    }
}

// The shop's file and its companions are the counter user's alone: rights for the group and
// others are taken away (never given to the owner: a file kept read-only stays so).
void keepToOwner(const QString &path)
{
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup
        | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    for (const QString &each :
         QStringList {path, path + QStringLiteral("-wal"), path + QStringLiteral("-shm")}) {
        const QFileInfo file(each);
        if (file.exists() && file.ownerId() == ::geteuid() && (file.permissions() & others))
            // The "User" flags say what this process may do; only the owner's are the file's.
            QFile::setPermissions(
                each,
                file.permissions()
                    & ~(others | QFile::ReadUser | QFile::WriteUser | QFile::ExeUser));
    }
}

// SQLite's primary result codes, as Qt's driver reports them in nativeErrorCode().
enum SqliteCode { Corrupt = 11, Full = 13, CantOpen = 14, ReadOnly = 8, NotADatabase = 26 };

} // namespace

StorageFault faultOf(const QSqlError &error, bool sqlite)
{
    if (error.type() == QSqlError::NoError)
        return StorageFault::None;
    if (sqlite) {
        switch (error.nativeErrorCode().toInt() & 0xff) {
        case Corrupt:
        case NotADatabase:
            return StorageFault::Corrupt;
        case Full:
            return StorageFault::DiskFull;
        case ReadOnly:
        case CantOpen:
            return StorageFault::NotWritable;
        default:
            return StorageFault::Other;
        }
    }
    // insufficient_privilege: a grant or a row policy refused the statement.
    if (error.nativeErrorCode() == QLatin1String("42501"))
        return StorageFault::NotPermitted;
    const QString text = error.text().toLower();
    if (text.contains(QLatin1String("password")) || text.contains(QLatin1String("authentication"))
        || (text.contains(QLatin1String("role")) && text.contains(QLatin1String("does not exist"))))
        return StorageFault::WrongPassword;
    if (text.contains(QLatin1String("database")) && text.contains(QLatin1String("does not exist")))
        return StorageFault::NoDatabase;
    if (error.type() == QSqlError::ConnectionError || text.contains(QLatin1String("connection"))
        || text.contains(QLatin1String("server")) || text.contains(QLatin1String("socket")))
        return StorageFault::Unreachable;
    return StorageFault::Other;
}

Connection::~Connection()
{
    close();
}

QSqlDatabase Connection::database() const
{
    return QSqlDatabase::database(name, false);
}

void Connection::close()
{
    if (name.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    name.clear();
}

QString Connection::faultText(StorageFault fault, const QString &detail) const
{
    const QString where = target.display();
    const QString tail = detail.trimmed().isEmpty()
        ? QString()
        : QStringLiteral(" (%1)").arg(
            detail.trimmed().replace(QLatin1Char('\n'), QLatin1Char(' ')));
    switch (fault) {
    case StorageFault::None:
        return QString();
    case StorageFault::BadUrl:
        return target.error;
    case StorageFault::NoDriver:
        return target.kind == DatabaseUrl::Postgres
            ? QStringLiteral("Нет драйвера PostgreSQL для Qt: установите пакет libqt5sql5-psql.")
            : QStringLiteral("Нет драйвера SQLite для Qt: установите пакет libqt5sql5-sqlite.");
    case StorageFault::Unreachable:
        return QStringLiteral("Нет связи с базой магазина %1: проверьте сеть и что сервер базы "
                              "работает%2.")
            .arg(where, tail);
    case StorageFault::WrongPassword:
        return QStringLiteral("База магазина %1 не приняла имя пользователя или пароль%2.")
            .arg(where, tail);
    case StorageFault::NoDatabase:
        return QStringLiteral("На сервере нет базы %1%2.").arg(where, tail);
    case StorageFault::NotWritable:
        return QStringLiteral("Файл базы данных %1 или его папка недоступны для записи%2.")
            .arg(isSqlite() ? target.path : where, tail);
    case StorageFault::DiskFull:
        return QStringLiteral("Диск заполнен: в базу %1 больше ничего не записать%2.")
            .arg(isSqlite() ? target.path : where, tail);
    case StorageFault::Corrupt:
        return QStringLiteral("Файл базы данных %1 повреждён: восстановите его из резервной "
                              "копии%2.")
            .arg(isSqlite() ? target.path : where, tail);
    case StorageFault::NewerSchema:
        return QStringLiteral("База %1 создана более новой версией программы (версия схемы %2, "
                              "эта программа знает версию %3): запись в неё запрещена, обновите "
                              "программу.")
            .arg(where)
            .arg(version)
            .arg(latestSchemaVersion());
    case StorageFault::OlderSchema:
        return QStringLiteral("База данных старой версии: обновите её командой printcalc --admin "
                              "upgrade от имени владельца базы (%1, версия схемы %2, программа "
                              "знает %3).")
            .arg(where)
            .arg(version)
            .arg(latestSchemaVersion());
    case StorageFault::NotPermitted:
        return QStringLiteral("База магазина %1 не разрешает это входу «%2»: нужен вход "
                              "менеджера%3.")
            .arg(where, target.user, tail);
    case StorageFault::Other:
        break;
    }
    return QStringLiteral("Ошибка базы данных %1: повторите действие, а если ошибка останется, "
                          "покажите это сообщение администратору%2.")
        .arg(where, tail);
}

bool Connection::fail(StorageFault fault, const QString &detail)
{
    lastFault = fault;
    lastError = faultText(fault, detail);
    close();
    return false;
}

void Connection::clearFault()
{
    lastFault = isOpen() && !canWrite ? StorageFault::NewerSchema : StorageFault::None;
    lastError = faultText(lastFault, QString());
}

StorageFault Connection::noteError(const QSqlError &error)
{
    lastFault = faultOf(error, isSqlite());
    lastError = faultText(lastFault, error.text());
    return lastFault;
}

bool Connection::open(const DatabaseUrl &url, const QString &purpose)
{
    close();
    target = url;
    version = 0;
    canWrite = false;
    lastFault = StorageFault::None;
    lastError.clear();
    if (!url.isValid())
        return fail(StorageFault::BadUrl, QString());

    const QString driver = isSqlite() ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL");
    if (!QSqlDatabase::isDriverAvailable(driver))
        return fail(StorageFault::NoDriver, QString());
    name
        = QStringLiteral("printcalc-%1-%2").arg(purpose).arg(connectionCount.fetchAndAddRelaxed(1));
    StorageFault fault = StorageFault::None;
    QString detail;
    // The handle goes out of scope before a failure removes the connection.
    [&] {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
        if (isSqlite()) {
            const QFileInfo file(url.path);
            if (!QDir().mkpath(file.absolutePath())) {
                fault = StorageFault::NotWritable;
                detail = QStringLiteral("не создать папку %1").arg(file.absolutePath());
                return;
            }
            prepareCompanions(url.path);
            db.setDatabaseName(url.path);
            // Another counter window or the journal's thread may hold the write lock a moment.
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        } else {
            db.setHostName(url.host);
            if (url.port > 0)
                db.setPort(url.port);
            db.setUserName(url.user);
            db.setPassword(url.password);
            db.setDatabaseName(url.database);
            // Qt quotes the four fields above for libpq but hands the further parameters over
            // as they are, joined by blanks: they go quoted already.
            QStringList options;
            if (!url.options.isEmpty())
                options.append(url.connectOptions());
            // An unreachable server must not hold a thread for the system's two minutes.
            if (!url.hasOption(QStringLiteral("connect_timeout")))
                options.append(QStringLiteral("connect_timeout=5"));
            db.setConnectOptions(options.join(QLatin1Char(';')));
        }
        if (!db.open()) {
            fault = faultOf(db.lastError(), isSqlite());
            detail = db.lastError().text();
            return;
        }
        if (isSqlite()) {
            keepToOwner(url.path);
            // WAL: readers never wait for the writer; FULL: a commit is on the disk when it
            // returns.
            for (const QString &pragma : {QStringLiteral("PRAGMA journal_mode=WAL"),
                                          QStringLiteral("PRAGMA synchronous=FULL")}) {
                QSqlQuery query(db);
                if (!query.exec(pragma)) {
                    fault = faultOf(query.lastError(), true);
                    detail = query.lastError().text();
                    return;
                }
            }
        }
    }();
    if (fault != StorageFault::None)
        return fail(fault, detail);

    // A counter's login has no right to the steps: it says so and the counter works locally.
    const int found = isSqlite() ? 0 : readSchemaVersion(database(), false);
    if (!isSqlite() && found >= 0 && found < latestSchemaVersion() && !ownsSchema(database())) {
        version = found;
        return fail(StorageFault::OlderSchema, QString());
    }
    const SchemaState state = prepareSchema(database(), isSqlite());
    version = state.version;
    if (state.fault == StorageFault::NewerSchema) {
        lastFault = state.fault;
        lastError = faultText(state.fault, QString());
        return true;
    }
    if (state.fault != StorageFault::None)
        return fail(state.fault, state.detail);
    // Tables the steps just made are closed to the groups until granted.
    if (!isSqlite() && state.version > found && shopRolesExist(database())) {
        QString error;
        Transaction transaction(database());
        if (!transaction.isActive() || !grantShopRoles(database(), &error) || !transaction.commit())
            return fail(StorageFault::Other, error.isEmpty() ? transaction.error().text() : error);
    }
    canWrite = true;
    return true;
}

QString moveAsideDamagedFile(const QString &path)
{
    const QFileInfo file(path);
    const QString stamp
        = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    const QString aside = file.absolutePath() + QLatin1Char('/') + file.completeBaseName()
        + QStringLiteral("-повреждён-") + stamp + QLatin1Char('.') + file.suffix();
    if (!QFile::rename(path, aside))
        return QString();
    for (const QString &suffix : {QStringLiteral("-wal"), QStringLiteral("-shm")})
        if (QFile::exists(path + suffix))
            QFile::rename(path + suffix, aside + suffix);
    return aside;
}
