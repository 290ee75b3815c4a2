// The built-in price list: 5279 keys and prices compiled in from price_list.tsv.
#include "app/mainwindow.h"

#include <QFile>

void MainWindow::fillPriceTable()
{
    QFile file(QStringLiteral(":/prices/price_list.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray data = file.readAll();
    priceIndex.reserve(PriceSlots);
    int slot = 0;
    for (const QByteArray &line : data.split('\n')) {
        const int tab = line.indexOf('\t');
        if (tab <= 0 || slot >= PriceSlots)
            continue;
        priceKeys[slot] = QString::fromLatin1(line.left(tab));
        prices[slot] = line.mid(tab + 1).trimmed().toFloat();
        priceIndex.insert(priceKeys[slot], slot);
        ++slot;
    }
}

double MainWindow::lookupPrice(const QString &key) const
{
    const auto found = priceIndex.constFind(key);
    return found == priceIndex.constEnd() ? 0.0 : double(prices[*found]);
}

// The plain scan over all slots; kept as the reference the index is measured and tested against.
double MainWindow::scanPrice(const QString &key) const
{
    for (int slot = 0; slot < PriceSlots; ++slot) {
        // An unfilled slot holds the null string, which Qt counts equal to the empty key.
        if (!priceKeys[slot].isNull() && priceKeys[slot] == key)
            return double(prices[slot]);
    }
    return 0.0;
}
