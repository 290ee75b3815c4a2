// Storing and reading price list versions, and the window's link that keeps them in step.
#include "storage/price_store.h"

#include "prices/extras_catalogue.h"
#include "storage/connection.h"
#include "storage/database_thread.h"
#include "storage/records.h"
#include "storage/settings.h"
#include "storage/sql_lines.h"
#include "storage/transaction.h"

#include <QLocale>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

// Rows per INSERT: four values each, under SQLite's oldest limit of 999 bound values.
constexpr int RowsPerInsert = 240;

// The shortest decimal that reads back as the price: what is stored, and what is read.
QString exactText(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// The stored text, or for a row it does not read from, the stored number.
double storedPrice(const QVariant &text, const QVariant &number)
{
    bool ok = false;
    const double value = text.toString().toDouble(&ok);
    return ok ? value : number.toDouble();
}

bool insertRows(QSqlQuery &query, const QString &table, const QString &columns, int number,
                const QVector<std::pair<QString, double>> &rows)
{
    QString fullStatement;
    for (int first = 0; first < rows.size(); first += RowsPerInsert) {
        const int count = std::min(RowsPerInsert, int(rows.size()) - first);
        QStringList values;
        for (int i = 0; i < count; ++i)
            values << QStringLiteral("(?, ?, ?, ?)");
        const QString statement = QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (")
            + columns + QStringLiteral(") VALUES ") + values.join(QStringLiteral(", "));
        // Full chunks share one prepared statement.
        if (statement != fullStatement) {
            if (!query.prepare(statement))
                return false;
            fullStatement = statement;
        }
        for (int i = first; i < first + count; ++i) {
            query.addBindValue(number);
            query.addBindValue(rows.at(i).first);
            query.addBindValue(rows.at(i).second);
            query.addBindValue(exactText(rows.at(i).second));
        }
        if (!query.exec())
            return false;
    }
    return true;
}

} // namespace

QString priceLoaderName()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    const QString counter = Settings().counterName();
    return user.isEmpty() ? counter : user + QLatin1Char('@') + counter;
}

PriceVersionTables::PriceVersionTables(Connection &c)
    : connection(c)
{ }

bool PriceVersionTables::infos(QVector<PriceVersionInfo> *infos)
{
    infos->clear();
    QSqlQuery query(connection.database());
    if (!query.exec(QStringLiteral("SELECT number, effective_from, note, loaded_by, loaded_at "
                                   "FROM price_version ORDER BY number"))) {
        connection.noteError(query.lastError());
        return false;
    }
    while (query.next()) {
        PriceVersionInfo info;
        info.number = query.value(0).toInt();
        info.from = QDate::fromString(query.value(1).toString(), Qt::ISODate);
        info.note = query.value(2).toString();
        info.loadedBy = query.value(3).toString();
        info.loadedAt = readStoredTime(query.value(4).toString());
        infos->append(info);
    }
    return true;
}

bool PriceVersionTables::load(QVector<PriceVersion> *versions, const QSet<int> &known)
{
    versions->clear();
    QVector<PriceVersionInfo> stored;
    if (!infos(&stored))
        return false;
    QSqlQuery prices(connection.database());
    QSqlQuery extras(connection.database());
    if (!prices.prepare(QStringLiteral("SELECT price_key, price_text, price, shop_set FROM "
                                       "price_version_price WHERE version = ?"))
        || !extras.prepare(QStringLiteral("SELECT extra_key, amount_text, amount FROM "
                                          "price_version_extra WHERE version = ?"))) {
        connection.noteError(prices.lastError().isValid() ? prices.lastError()
                                                          : extras.lastError());
        return false;
    }
    for (const PriceVersionInfo &info : qAsConst(stored)) {
        if (known.contains(info.number))
            continue;
        QHash<QString, double> priceOf;
        QHash<QString, double> amountOf;
        QSet<QString> shopKeys;
        for (auto [query, into] : {std::pair {&prices, &priceOf}, std::pair {&extras, &amountOf}}) {
            query->addBindValue(info.number);
            if (!query->exec()) {
                connection.noteError(query->lastError());
                return false;
            }
            while (query->next()) {
                into->insert(query->value(0).toString(),
                             storedPrice(query->value(1), query->value(2)));
                if (query == &prices && query->value(3).toInt() != 0)
                    shopKeys.insert(query->value(0).toString());
            }
        }
        // The built-in list gives the order of the keys; a version never adds or drops one.
        PriceVersion version = changedVersion(builtInVersion(), priceOf, amountOf, info);
        QVector<PriceEntry> entries = version.prices.entries();
        for (PriceEntry &entry : entries)
            entry.shopSet = shopKeys.contains(entry.key);
        version.prices = PriceTable(entries, info.number);
        versions->append(version);
    }
    return true;
}

bool PriceVersionTables::write(const PriceVersion &version, int number)
{
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("INSERT INTO price_version (number, effective_from, note, "
                                 "loaded_by, loaded_at) VALUES (?, ?, ?, ?, ?)"));
    query.addBindValue(number);
    query.addBindValue(notNull(version.info.from.toString(Qt::ISODate)));
    query.addBindValue(notNull(version.info.note));
    query.addBindValue(notNull(version.info.loadedBy));
    query.addBindValue(notNull(storedTime(version.info.loadedAt)));
    if (!query.exec()) {
        connection.noteError(query.lastError());
        return false;
    }
    QVector<std::pair<QString, double>> prices;
    prices.reserve(version.prices.size());
    for (const PriceEntry &entry : version.prices.entries())
        prices.append({entry.key, entry.price});
    QVector<std::pair<QString, double>> amounts;
    for (const ExtraOption &option : extrasCatalogue())
        amounts.append({option.key, version.extra(option.key)});
    if (!insertRows(query, QStringLiteral("price_version_price"),
                    QStringLiteral("version, price_key, price, price_text"), number, prices)
        || !insertRows(query, QStringLiteral("price_version_extra"),
                       QStringLiteral("version, extra_key, amount, amount_text"), number,
                       amounts)) {
        connection.noteError(query.lastError());
        return false;
    }
    QVariantList versions, keys;
    for (const PriceEntry &entry : version.prices.entries())
        if (entry.shopSet) {
            versions << number;
            keys << entry.key;
        }
    if (keys.isEmpty())
        return true;
    // A version all the shop's is marked at once rather than key by key.
    const bool whole = keys.size() == version.prices.size();
    query.prepare(QStringLiteral("UPDATE price_version_price SET shop_set = 1 WHERE version = ?")
                  + (whole ? QString() : QStringLiteral(" AND price_key = ?")));
    if (whole)
        query.addBindValue(number);
    else {
        query.addBindValue(versions);
        query.addBindValue(keys);
    }
    if (!(whole ? query.exec() : query.execBatch())) {
        connection.noteError(query.lastError());
        return false;
    }
    return true;
}

int PriceVersionTables::store(const PriceVersion &version)
{
    QSqlDatabase db = connection.database();
    Transaction transaction(connection);
    if (!transaction.isActive())
        return 0;
    QSqlQuery query(db);
    // Two counters saving at the same moment: the second waits and takes the next number.
    if (!connection.isSqlite()
        && !query.exec(QStringLiteral("SELECT pg_advisory_xact_lock(7302)"))) {
        connection.noteError(query.lastError());
        return 0;
    }
    if (!query.exec(QStringLiteral("SELECT COALESCE(MAX(number), 0) + 1 FROM price_version"))
        || !query.next()) {
        connection.noteError(query.lastError());
        return 0;
    }
    const int number = query.value(0).toInt();
    query.finish();
    if (!write(version, number))
        return 0;
    if (!transaction.commit())
        return 0;
    return number;
}

bool PriceVersionTables::copy(const PriceVersion &version)
{
    QSqlDatabase db = connection.database();
    Transaction transaction(connection);
    if (!transaction.isActive())
        return false;
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT count(*) FROM price_version WHERE number = ?"));
    query.addBindValue(version.info.number);
    if (!query.exec() || !query.next()) {
        connection.noteError(query.lastError());
        return false;
    }
    const bool there = query.value(0).toInt() > 0;
    query.finish();
    if (!there && !write(version, version.info.number))
        return false;
    if (!transaction.commit())
        return false;
    return true;
}

struct PriceLink::State
{
    State()
        : thread(QStringLiteral("printcalc-prices"))
    { }

    // Touched on the thread only.
    DatabaseUrl url;
    QString localPath;
    bool separateLocal = true; // false when the shop's database is the counter's file
    Connection shop;
    Connection local;
    QSet<int> known;
    DatabaseLogin manager; // given at the counter, for the session only
    // Last, so that it ends first: its final task closes the connections on the thread.
    DatabaseThread thread;
};

PriceLink::PriceLink(const DatabaseUrl &shop, const QString &localPath, PriceBook &book,
                     QObject *parent)
    : QObject(parent)
    , state(new State)
    , book(book)
{
    State *s = state.get();
    // The counter's own file answers at once: the window prices with the shop's versions from its
    // first job, whether the shop's server answers or not.
    QSet<int> known;
    {
        Connection local;
        QVector<PriceVersion> versions;
        if (local.open(DatabaseUrl::sqliteFile(localPath), QStringLiteral("prices-start"))
            && PriceVersionTables(local).load(&versions)) {
            for (const PriceVersion &version : qAsConst(versions))
                known.insert(version.info.number);
            book.take(versions);
        }
    }
    book.setStore(this);
    const bool separate = !(shop.kind == DatabaseUrl::Sqlite && shop.path == localPath);
    s->thread.run([this, s, shop, localPath, known, separate] {
        s->url = shop;
        s->localPath = localPath;
        s->separateLocal = separate;
        s->known = known;
    });
    s->thread.repeat(60000, [this] { check(); });
    s->thread.setFinalTask([s] {
        s->shop.close();
        s->local.close();
    });
    checkNow();
}

PriceLink::~PriceLink()
{
    if (book.store() == this)
        book.setStore(nullptr);
}

void PriceLink::setCheckInterval(int msecs)
{
    state->thread.setRepeatInterval(msecs);
}

void PriceLink::checkNow()
{
    state->thread.post([this] { check(); });
}

bool PriceLink::waitIdle(int msecs)
{
    return state->thread.waitIdle(msecs);
}

bool PriceLink::finish(int msecs)
{
    if (state->thread.finish(msecs))
        return true;
    // Let go with its thread: what that thread still reads goes into no book.
    letGo = true;
    if (book.store() == this)
        book.setStore(nullptr);
    return false;
}

// On the thread.
bool PriceLink::ensureShop()
{
    State *s = state.get();
    if (s->shop.isOpen())
        s->shop.clearFault();
    return s->shop.isOpen() || s->shop.open(s->url, QStringLiteral("prices"));
}

// On the thread: the window hears how the last attempt went.
void PriceLink::told(const QString &problem)
{
    QMetaObject::invokeMethod(
        this,
        [this, problem] {
            lastProblem = problem;
            emit shopChecked(problem);
        },
        Qt::QueuedConnection);
}

// On the thread: versions another counter added come into the counter's file and the book.
void PriceLink::check()
{
    State *s = state.get();
    QVector<PriceVersion> fresh;
    if (!ensureShop() || !PriceVersionTables(s->shop).load(&fresh, s->known)) {
        const QString problem = s->shop.errorText();
        s->shop.close();
        told(problem);
        return;
    }
    if (s->separateLocal && !fresh.isEmpty()
        && (s->local.isOpen()
            || s->local.open(DatabaseUrl::sqliteFile(s->localPath), QStringLiteral("prices")))) {
        for (const PriceVersion &version : qAsConst(fresh))
            PriceVersionTables(s->local).copy(version);
    }
    for (const PriceVersion &version : qAsConst(fresh))
        s->known.insert(version.info.number);
    if (!fresh.isEmpty()) {
        QMetaObject::invokeMethod(
            this,
            [this, fresh] {
                if (!letGo)
                    book.take(fresh);
            },
            Qt::QueuedConnection);
    }
    told(QString());
}

int PriceLink::store(const PriceVersion &version, const DatabaseLogin &login, StorageFault *fault,
                     QString *error)
{
    State *s = state.get();
    int number = 0;
    *fault = StorageFault::None;
    if (login.isSet()) {
        runWithLogin(
            s->url, login,
            [&](Connection &connection) {
                number = PriceVersionTables(connection).store(version);
                return number > 0;
            },
            fault, error);
    } else if (!ensureShop()) {
        *fault = s->shop.fault();
        *error = s->shop.errorText();
    } else if (!s->shop.writable()) {
        *fault = s->shop.fault();
        *error = QStringLiteral("база магазина открыта только для чтения: ") + s->shop.errorText();
    } else {
        number = PriceVersionTables(s->shop).store(version);
        if (number == 0) {
            *fault = s->shop.fault();
            *error = s->shop.errorText();
            s->shop.close();
        }
    }
    if (number > 0) {
        PriceVersion stored = version;
        stored.info.number = number;
        s->known.insert(number);
        if (s->separateLocal
            && (s->local.isOpen()
                || s->local.open(DatabaseUrl::sqliteFile(s->localPath), QStringLiteral("prices"))))
            PriceVersionTables(s->local).copy(stored);
    }
    return number;
}

void PriceLink::save(const PriceVersion &version,
                     std::function<void(int number, const QString &error)> done)
{
    State *s = state.get();
    s->thread.post([this, s, version, done] {
        StorageFault fault = StorageFault::None;
        QString error;
        const int number = store(version, s->manager, &fault, &error);
        if (fault == StorageFault::WrongPassword && s->manager.isSet())
            s->manager = DatabaseLogin(); // its password changed meanwhile: asked again next time
        QMetaObject::invokeMethod(
            this,
            [this, s, version, done, number, error, fault] {
                if (fault != StorageFault::NotPermitted || !askManagerLogin) {
                    done(number, error);
                    return;
                }
                askManagerLogin(
                    [this, s, version, done](const DatabaseLogin &login, LoginReply reply) {
                        s->thread.post([this, s, version, done, login, reply] {
                            StorageFault tried = StorageFault::None;
                            QString why;
                            const int saved = store(version, login, &tried, &why);
                            if (saved > 0)
                                s->manager = login;
                            QMetaObject::invokeMethod(
                                this,
                                [done, login, reply, saved, tried, why] {
                                    if (saved == 0
                                        && (tried == StorageFault::WrongPassword
                                            || tried == StorageFault::NotPermitted)) {
                                        reply(false,
                                              managerLoginProblem(
                                                  login, tried,
                                                  QStringLiteral("сохранять версии прайс-листа")));
                                        return;
                                    }
                                    reply(true, QString());
                                    done(saved, why);
                                },
                                Qt::QueuedConnection);
                        });
                    },
                    [done, error] { done(0, error); });
            },
            Qt::QueuedConnection);
    });
}
