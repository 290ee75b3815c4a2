// Start-up and price lookup figures: how long the window takes to come up (offscreen), and how
// many price lookups per second the index and the plain slot scan manage. Prints; checks nothing.
#include "app/mainwindow.h"
#include "bench/bench_support.h"
#include "tests/price_scan.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QVector>

#include <algorithm>
#include <cstdio>

namespace {

// Construct, show and let the first paint happen; milliseconds.
double windowUpMs()
{
    QElapsedTimer timer;
    timer.start();
    auto *window = new MainWindow;
    window->show();
    QApplication::processEvents();
    const double ms = timer.nsecsElapsed() / 1e6;
    delete window;
    QApplication::processEvents();
    return ms;
}

// Lookups per second of one lookup function over the key mix, run for at least minMs.
template<typename Lookup>
double lookupsPerSecond(const QStringList &keys, Lookup lookup, double minMs, double *sink)
{
    QElapsedTimer timer;
    timer.start();
    qint64 done = 0;
    double sum = 0;
    do {
        for (const QString &key : keys)
            sum += lookup(key);
        done += keys.size();
    } while (timer.nsecsElapsed() < minMs * 1e6);
    *sink += sum;
    return done / (timer.nsecsElapsed() / 1e9);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    quietOffscreenNotes();
    QApplication app(argc, argv);

    const double first = windowUpMs();
    QVector<double> runs;
    for (int i = 0; i < 9; ++i)
        runs << windowUpMs();
    std::printf("window up (construct + show + first paint, %s):\n",
                qPrintable(QApplication::platformName()));
    std::printf("  first in this process   %8.1f ms\n", first);
    std::printf("  median of %d more       %8.1f ms  (min %.1f, max %.1f)   goal < 150 ms: %s\n",
                runs.size(), median(runs), *std::min_element(runs.begin(), runs.end()),
                *std::max_element(runs.begin(), runs.end()),
                std::max(first, median(runs)) < 150 ? "met" : "NOT met");

    MainWindow window;
    QFile file(QStringLiteral(":/prices/price_list.tsv"));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "the price list is not compiled in\n");
        return 1;
    }
    // Every listed key, and after each fourth one an absent key of the same shape: a
    // combination outside the list, or the key with a trailing blank.
    QStringList keys;
    int absent = 0;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const int tab = line.indexOf('\t');
        if (tab <= 0)
            continue;
        const QString key = QString::fromLatin1(line.left(tab));
        keys << key;
        if (keys.size() % 5 == 4) {
            keys << (absent % 2 ? key + QLatin1Char(' ') : key + QLatin1String("9"));
            ++absent;
        }
    }

    double sink = 0;
    const double indexed = lookupsPerSecond(
        keys, [&](const QString &k) { return window.lookupPrice(k); }, 500, &sink);
    const PriceScan scan(window.prices());
    const double scanned = lookupsPerSecond(
        keys, [&](const QString &k) { return scan.price(k); }, 1500, &sink);
    std::printf("price lookups over %d keys (%d of them absent):\n", int(keys.size()), absent);
    std::printf("  index (lookupPrice)     %12.0f per second  (%.0f ns each)\n", indexed,
                1e9 / indexed);
    std::printf("  plain scan (scanPrice)  %12.0f per second  (%.0f ns each)\n", scanned,
                1e9 / scanned);
    std::printf("  index / scan            %12.0f x   goal >= 200 x: %s\n", indexed / scanned,
                indexed / scanned >= 200 ? "met" : "NOT met");
    if (sink < 0) // keeps the lookups from being optimised away
        std::printf("%f\n", sink);
    return 0;
}
