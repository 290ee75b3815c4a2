// The built-in price list: keys and prices compiled in from price_list.tsv.
#include "prices/price_table.h"

#include <QFile>

PriceTable::PriceTable(const QVector<PriceEntry> &entries, int version)
    : m_version(version)
{
    int capacity = 16;
    while (capacity < 2 * entries.size())
        capacity *= 2;
    m_slots.resize(capacity);
    m_entries.reserve(entries.size());
    const uint mask = uint(capacity - 1);
    for (const PriceEntry &entry : entries) {
        if (entry.key.isEmpty())
            continue;
        const uint hash = qHash(entry.key);
        uint at = hash & mask;
        bool known = false;
        for (; m_slots.at(int(at)).entry >= 0; at = (at + 1) & mask) {
            const Slot &slot = m_slots.at(int(at));
            // The first occurrence answers, as the slot scan always did.
            if (slot.hash == hash && m_entries.at(slot.entry).key == entry.key) {
                known = true;
                break;
            }
        }
        if (known)
            continue;
        m_slots[int(at)] = {hash, m_entries.size()};
        m_entries.append(entry);
    }
}

int PriceTable::find(const QString &key) const
{
    if (m_slots.isEmpty())
        return -1;
    const uint hash = qHash(key);
    const uint mask = uint(m_slots.size() - 1);
    for (uint at = hash & mask;; at = (at + 1) & mask) {
        const Slot &slot = m_slots.at(int(at));
        if (slot.entry < 0)
            return -1;
        if (slot.hash == hash && m_entries.at(slot.entry).key == key)
            return slot.entry;
    }
}

PriceTable PriceTable::builtIn(QString *error)
{
    Q_INIT_RESOURCE(prices);
    QFile file(QStringLiteral(":/prices/price_list.tsv"));
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Встроенный прайс-лист не читается: ") + file.errorString();
        return {};
    }
    const QByteArray data = file.readAll();
    QVector<PriceEntry> entries;
    entries.reserve(5300);
    for (const QByteArray &line : data.split('\n')) {
        const int tab = line.indexOf('\t');
        if (tab <= 0)
            continue;
        entries.append(
            {QString::fromLatin1(line.left(tab)), line.mid(tab + 1).trimmed().toDouble()});
    }
    if (entries.isEmpty() && error)
        *error = QStringLiteral("Встроенный прайс-лист пуст.");
    return PriceTable(entries, 0);
}

const PriceTable &PriceTable::shared()
{
    static const PriceTable table = builtIn();
    return table;
}

double PriceTable::price(const QString &key, bool *found, bool *sample) const
{
    const int at = find(key);
    if (found)
        *found = at >= 0;
    *sample = at >= 0 && !m_entries.at(at).shopSet;
    return at >= 0 ? m_entries.at(at).price : 0.0;
}

double PriceTable::price(const QString &key, bool *found) const
{
    const int at = find(key);
    if (found)
        *found = at >= 0;
    return at >= 0 ? m_entries.at(at).price : 0.0;
}
