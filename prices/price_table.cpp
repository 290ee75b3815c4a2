// The built-in price list: keys and prices compiled in from price_list.tsv.
#include "prices/price_table.h"

#include <QFile>

PriceTable::PriceTable(const QVector<PriceEntry> &entries, int version)
    : m_version(version)
{
    m_entries.reserve(entries.size());
    m_index.reserve(entries.size());
    for (const PriceEntry &entry : entries) {
        if (entry.key.isEmpty())
            continue;
        const double price = double(float(entry.price));
        if (m_index.contains(entry.key)) {
            // The first occurrence answers, as the slot scan always did.
            continue;
        }
        m_index.insert(entry.key, m_entries.size());
        m_entries.append({entry.key, price});
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
        entries.append({QString::fromLatin1(line.left(tab)), double(line.mid(tab + 1).trimmed().toFloat())});
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

double PriceTable::price(const QString &key, bool *found) const
{
    const auto at = m_index.constFind(key);
    const bool known = at != m_index.constEnd();
    if (found)
        *found = known;
    return known ? m_entries.at(*at).price : 0.0;
}
