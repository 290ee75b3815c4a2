// The price list as a value: keys and prices in the list's order, with an index for lookups.
// Version 0 is the list compiled into the program; later versions come from the shop.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

struct PriceEntry
{
    QString key;
    double price = 0.0;
    // Set by the shop (typed, loaded from its file, or confirmed as its own); otherwise still the
    // built-in sample, which is never quoted as a real price.
    bool shopSet = false;
};

class PriceTable
{
public:
    PriceTable() = default;
    // Prices are held as given: a loaded version's 123,45 stays 123.45 (single precision, as
    // the list was once held, turned it into 123.449996948242).
    PriceTable(const QVector<PriceEntry> &entries, int version);

    // The list compiled into the program. Loading it can only fail in a broken build; the caller
    // must treat an empty table with an error as fatal, never price with it.
    static PriceTable builtIn(QString *error = nullptr);
    // The built-in list, loaded once per process.
    static const PriceTable &shared();

    double price(const QString &key) const { return price(key, nullptr); }
    double price(const QString &key, bool *found) const;
    // The same, telling whether the price is still the built-in sample's.
    double price(const QString &key, bool *found, bool *sample) const;
    bool contains(const QString &key) const { return find(key) >= 0; }

    const QVector<PriceEntry> &entries() const { return m_entries; }
    int size() const { return m_entries.size(); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    int version() const { return m_version; }

private:
    // The entry holding the key, or -1.
    int find(const QString &key) const;

    QVector<PriceEntry> m_entries;
    // The index: open addressing in one block, so that a table built late in a long session (a
    // loaded version) looks up as fast as the one built at start, whatever the heap looks like.
    struct Slot
    {
        uint hash = 0;
        int entry = -1; // -1: empty
    };
    QVector<Slot> m_slots;
    int m_version = 0;
};
