// Price list versions in the database: each version with its prices and amounts, numbered by the
// shop's database so that every counter on it sees the same versions under the same numbers. The
// counter's own file keeps a copy, so that a counter prices with the shop's versions even while
// the shop's server is out of reach.
#pragma once

#include "prices/price_versions.h"
#include "storage/database_roles.h"
#include "storage/database_url.h"

#include <QObject>
#include <QSet>

#include <functional>
#include <memory>

class Connection;

// Who loads a version: the person (when the system names one) and the counter they sit at.
QString priceLoaderName();

// The version tables of one open database; each call runs on the connection's thread.
class PriceVersionTables
{
public:
    explicit PriceVersionTables(Connection &connection);

    // The stored versions whose numbers are not among `known`, in number order.
    bool load(QVector<PriceVersion> *versions, const QSet<int> &known = {});
    // The stored versions' numbers, dates and notes, without their prices.
    bool infos(QVector<PriceVersionInfo> *infos);
    // Stores the version under the next free number, taken under a lock, and returns that number;
    // 0 when it was not stored (the connection tells why).
    int store(const PriceVersion &version);
    // Stores a copy under the version's own number, unless one is there already.
    bool copy(const PriceVersion &version);

private:
    bool write(const PriceVersion &version, int number);

    Connection &connection;
};

// The window's price versions: read from the counter's file at start, kept in step with the
// shop's database on a thread of its own (another counter may add a version), and saved there.
class PriceLink : public QObject, public PriceVersionStore
{
    Q_OBJECT

public:
    // Puts the versions the counter's file holds into the book at once and becomes its store.
    PriceLink(const DatabaseUrl &shop, const QString &localPath, PriceBook &book,
              QObject *parent = nullptr);
    ~PriceLink() override;

    void save(const PriceVersion &version,
              std::function<void(int number, const QString &error)> done) override;
    // The database keeps new versions to its managers: a save it refuses for want of the right
    // asks here for a manager's database login (attempt tries one, its reply says how it went);
    // a login that saved is kept in memory for the session's further saves. Unset, the refusal
    // is told as it is.
    using LoginReply = std::function<void(bool saved, const QString &message)>;
    std::function<void(std::function<void(const DatabaseLogin &, LoginReply)> attempt,
                       std::function<void()> gaveUp)>
        askManagerLogin;
    // Reads the shop's versions now rather than at the next check.
    void checkNow();
    void setCheckInterval(int msecs);
    bool waitIdle(int msecs);
    // Ends the link's thread within msecs; false while a server that does not answer holds it.
    bool finish(int msecs);
    // Why the shop's versions could not be read at the last attempt; empty when they could.
    QString problem() const { return lastProblem; }

signals:
    // After each attempt to read the shop's versions.
    void shopChecked(const QString &problem);

private:
    struct State;

    void check();
    bool ensureShop();
    // On the thread: stores the version over the shop's connection, or over one of its own with
    // the login; the number, or 0 with the fault and why.
    int store(const PriceVersion &version, const DatabaseLogin &login, StorageFault *fault,
              QString *error);
    void told(const QString &problem);

    std::unique_ptr<State> state;
    PriceBook &book;
    QString lastProblem;
    bool letGo = false;
};
