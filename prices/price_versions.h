// Versions of the price list. A version is a complete key → price list with the extras' amounts,
// a date from which it is in force, a note, and who loaded it and when. Version 0 is the built-in
// list, always there and never changed. The version in force on a day is the one with the latest
// date not after that day (of two with the same date, the later loaded).
#pragma once

#include "prices/price_table.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QString>
#include <QVector>

#include <functional>

struct PriceVersionInfo
{
    int number = 0;
    QDate from; // null for version 0, in force before any other
    QString note;
    QString loadedBy;
    QDateTime loadedAt;

    // "версия 3 (действует с 01.07.2026)", "встроенный (версия 0)"
    QString title() const;
};

struct PriceVersion
{
    PriceVersionInfo info;
    PriceTable prices; // its version() is info.number
    QHash<QString, double> extras; // extra's key → amount, one for every catalogue option

    // The amount of an extra by its key; the built-in amount for an option this version does not
    // list.
    double extra(const QString &key) const;
};

// Version 0: the built-in list and the form's amounts.
const PriceVersion &builtInVersion();

// What the form's button with this object name stands for in a version: the code it puts into
// keys (the key meanings), or the amount it adds (the extras catalogue, at this version's amount),
// with the extra's key; 0 and no key for a button neither names.
double optionValue(const PriceVersion &version, const QString &objectName,
                   QString *extraKey = nullptr);

// A new version: the base version's prices and amounts with the given ones put in their place,
// and a price for a key some page composes that the base lacks. Keys no page composes and options
// the base does not know are ignored: a version never drops a key.
PriceVersion changedVersion(const PriceVersion &base, const QHash<QString, double> &prices,
                            const QHash<QString, double> &extras, const PriceVersionInfo &info);

// The base's prices and amounts with every price the shop's: its owner's word that the list is
// its own, sample prices included.
PriceVersion confirmedVersion(const PriceVersion &base, const PriceVersionInfo &info);

// Of the prices the pages can compose, how many are still the sample's; *priced gets how many
// there are.
int samplePriceCount(const PriceTable &prices, int *priced = nullptr);

// The versions known to a program session, version 0 first.
class PriceVersionList
{
public:
    PriceVersionList();

    const QVector<PriceVersion> &versions() const { return m_versions; }
    const PriceVersion *find(int number) const;
    const PriceVersion &inForce(const QDate &day) const;
    int nextNumber() const;
    // Adds the version, or replaces the one with its number.
    void put(const PriceVersion &version);

private:
    QVector<PriceVersion> m_versions;
};

// The clock the version in force follows. Tests move it; an empty function restores the system
// clock.
qint64 priceClockMSecs();
QDate priceClockToday();
void setPriceClock(std::function<qint64()> msecsSinceEpoch);

// Where versions are kept beyond the session: the shop's database.
class PriceVersionStore
{
public:
    virtual ~PriceVersionStore() = default;
    // Stores the version under a new number and calls done with it, or with 0 and the reason;
    // on the caller's thread, at once or later.
    virtual void save(const PriceVersion &version,
                      std::function<void(int number, const QString &error)> done)
        = 0;
};

// The versions the program prices with. One per process; the window, the dialog and the command
// line share it.
class PriceBook : public QObject
{
    Q_OBJECT

public:
    static PriceBook &shared();

    const PriceVersionList &list() const { return m_list; }
    const PriceVersion &inForce() const { return m_list.inForce(priceClockToday()); }
    // Rises with every change, so a follower knows when to look again.
    int revision() const { return m_revision; }

    // New versions are saved there from now on; null keeps them in this session only.
    void setStore(PriceVersionStore *store) { m_store = store; }
    PriceVersionStore *store() const { return m_store; }
    // Versions the store holds (read at start, or added by another counter).
    void take(const QVector<PriceVersion> &versions);

    // Saves a new version: the store gives its number (without a store, the next free one), then
    // the book holds it and done is called with the number, or with 0 and the reason.
    void add(const PriceVersion &version,
             std::function<void(int number, const QString &error)> done = {});

    // Back to version 0 alone, without a store (tests).
    void reset();

signals:
    void changed();

private:
    void hold(PriceVersion version, int number);

    PriceVersionList m_list;
    PriceVersionStore *m_store = nullptr;
    int m_revision = 0;
};

// Follows the version in force of a book: cheap to ask before every job (a clock read and two
// comparisons), and says when the version changed (at midnight, or when the book did).
class PricesInForce
{
public:
    explicit PricesInForce(const PriceBook &book = PriceBook::shared());

    // True when the version in force is another one than at the last call.
    bool update();
    const PriceVersion &version() const { return m_version; }

private:
    const PriceBook &m_book;
    PriceVersion m_version; // a copy: the book's list may grow meanwhile
    bool m_started = false;
    int m_revision = -1;
    qint64 m_validUntil = 0; // the next midnight
};
