// Price list version figures, as ratios measured in one run: checking and importing the full
// list from a file, switching the version in force at midnight, and pricing and looking up with a
// loaded version against the built-in list. Prints; checks nothing.
#include "app/mainwindow.h"
#include "bench/bench_support.h"
#include "prices/key_meanings.h"
#include "prices/price_file_check.h"
#include "prices/price_versions.h"
#include "pricing/page_pricing.h"
#include "storage/connection.h"
#include "storage/price_store.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

qint64 clockNow = 0;

template<typename Work> double medianMs(int runs, Work work)
{
    QVector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times << timer.nsecsElapsed() / 1e6;
    }
    return median(times);
}

// Operations per second of `work`, run for at least minMs.
template<typename Work> double perSecond(Work work, double minMs = 300)
{
    QElapsedTimer timer;
    timer.start();
    qint64 done = 0;
    do {
        done += work();
    } while (timer.nsecsElapsed() < minMs * 1e6);
    return done / (timer.nsecsElapsed() / 1e9);
}

OptionGroup chose(const char *name, double value, const char *caption)
{
    return {QString(), {{QLatin1String(name), value, QString::fromUtf8(caption), true}}};
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QDate today = QDate::currentDate();
    clockNow = QDateTime(today, QTime(23, 59, 59)).toMSecsSinceEpoch();
    setPriceClock([] { return clockNow; });

    const PriceVersion &builtIn = builtInVersion();
    QElapsedTimer first;
    first.start();
    describeKey(QStringLiteral("002428"));
    const QByteArray file = [&] {
        // Every price and amount raised by a few per cent to whole roubles, so every row counts
        // and the prices stay of the kind the built-in list holds (a fractional price takes longer
        // to write into a line, which would be no fault of the version).
        QByteArray csv = priceFileCsv(builtIn);
        QList<QByteArray> lines = csv.split('\n');
        for (QByteArray &line : lines) {
            const int at = line.lastIndexOf(';');
            if (at > 0 && !line.startsWith("\xEF\xBB\xBF"))
                line = line.left(at + 1)
                    + QByteArray::number(
                           qRound(line.mid(at + 1).replace(',', '.').toDouble() * 1.04) + 1);
        }
        return lines.join('\n');
    }();
    const double exportMs = first.nsecsElapsed() / 1e6;

    PriceFileCheck check;
    const double checkMs = medianMs(7, [&] { check = checkPriceCsv(file, builtIn); });
    int added = 0;
    const double importMs = medianMs(7, [&] {
        const PriceFileCheck checked = checkPriceCsv(file, builtIn);
        PriceVersionInfo info;
        info.from = today.addDays(1);
        info.note = QStringLiteral("бенчмарк");
        PriceBook::shared().add(changedVersion(builtIn, checked.prices, checked.extras, info),
                                [&added](int number, const QString &) { added += number > 0; });
    });
    // The same into the database the program keeps its versions in (SQLite, WAL, synchronous).
    QTemporaryDir folder;
    Connection database;
    database.open(DatabaseUrl::sqliteFile(folder.filePath(QStringLiteral("bench.sqlite"))),
                  QStringLiteral("bench"));
    int stored = 0;
    if (!database.isOpen())
        std::printf("database: %s\n", qPrintable(database.errorText()));
    const double sqliteMs = medianMs(7, [&] {
        const PriceFileCheck checked = checkPriceCsv(file, builtIn);
        PriceVersionInfo info;
        info.from = today.addDays(1);
        info.loadedAt = QDateTime::currentDateTime();
        const int number = PriceVersionTables(database).store(
            changedVersion(builtIn, checked.prices, checked.extras, info));
        if (number == 0)
            std::printf("not stored: %s\n", qPrintable(database.errorText()));
        stored += number > 0;
    });
    // A file far past the row limit: refused before any row is read as a price.
    QByteArray huge = "ключ;цена\n";
    huge.reserve(11000000);
    for (int i = 0; i < 1000000; ++i)
        huge += "002428;66\n";
    bool hugeRefused = false;
    const double hugeMs
        = medianMs(3, [&] { hugeRefused = !checkPriceCsv(huge, builtIn).accepted(); });
    QVector<PriceVersion> read;
    const double loadMs = medianMs(7, [&] { PriceVersionTables(database).load(&read); });
    std::printf("price file of the whole list (%d rows, %d changed, %s):\n", check.rows,
                check.changed, check.accepted() ? "accepted" : "refused");
    std::printf("  export to CSV, first in process  %8.1f ms\n", exportMs);
    std::printf("  check                            %8.1f ms\n", checkMs);
    std::printf("  check + import (in memory)       %8.1f ms\n", importMs);
    std::printf(
        "  check + import into SQLite       %8.1f ms   goal 300 ms: %.2f of it (%d stored)\n",
        sqliteMs, sqliteMs / 300.0, stored);
    std::printf("  reading %d stored versions        %8.1f ms\n", int(read.size()), loadMs);
    std::printf("  a file of 1,000,000 rows %s in %.1f ms, %.2f times the whole list's check\n",
                hugeRefused ? "refused" : "NOT refused", hugeMs, hugeMs / checkMs);

    // Switching: the window reads a job just before and just after midnight.
    MainWindow window;
    window.show();
    QApplication::processEvents();
    const double readMs = medianMs(21, [&] { window.sheetProductsJob(); });
    clockNow += 2000;
    QElapsedTimer switching;
    switching.start();
    window.sheetProductsJob();
    const double switchMs = switching.nsecsElapsed() / 1e6;
    PricesInForce follower;
    clockNow -= 2000;
    follower.update();
    clockNow += 2000;
    const double coreSwitchMs = medianMs(1, [&] { follower.update(); });
    std::printf("switching the version in force at midnight (version %d):\n",
                window.prices().version());
    std::printf("  first job read after midnight    %8.3f ms   goal 20 ms: %.3f of it\n", switchMs,
                switchMs / 20.0);
    std::printf("  of which the version's choice    %8.3f ms (index built at import, not here)\n",
                coreSwitchMs);
    std::printf("  an ordinary job read             %8.3f ms\n", readMs);

    // Pricing and lookups: the loaded version against the built-in list.
    const PriceTable &loaded = follower.version().prices;
    SheetProductsJob job;
    job.format = chose("radioButton_3", 2, "А4 (210х297 мм.)");
    job.colour = chose("radioButton_28", 4, "4+4");
    job.type = chose("radioButton_49", 2, "Матовая");
    job.density = chose("radioButton_78", 8, "350");
    job.quantity = QStringLiteral("100");
    double sink = 0;
    const auto pricing = [&](const PriceTable &table) {
        return perSecond([&] {
            sink += priceSheetProducts(job, table).first().unitPrice;
            return 1;
        });
    };
    QStringList keys;
    // Copies, as a page composes its keys afresh.
    for (const PriceEntry &entry : builtIn.prices.entries())
        keys << QString(entry.key.constData(), entry.key.size());
    const auto lookups = [&](const PriceTable &table) {
        return perSecond([&] {
            for (const QString &key : qAsConst(keys))
                sink += table.price(key);
            return keys.size();
        });
    };
    // Alternated and the best of five taken, so that neither side gains from going first.
    double pricedBuiltIn = 0, pricedLoaded = 0, lookedBuiltIn = 0, lookedLoaded = 0;
    for (int round = 0; round < 5; ++round) {
        pricedLoaded = std::max(pricedLoaded, pricing(loaded));
        pricedBuiltIn = std::max(pricedBuiltIn, pricing(builtIn.prices));
        lookedLoaded = std::max(lookedLoaded, lookups(loaded));
        lookedBuiltIn = std::max(lookedBuiltIn, lookups(builtIn.prices));
    }
    std::printf("with a loaded version (%d) against the built-in list:\n", loaded.version());
    std::printf("  sheet products jobs priced    %10.0f /s vs %10.0f /s   ratio %.2f\n",
                pricedLoaded, pricedBuiltIn, pricedLoaded / pricedBuiltIn);
    std::printf("  lookups                       %10.0f /s vs %10.0f /s   ratio %.2f\n",
                lookedLoaded, lookedBuiltIn, lookedLoaded / lookedBuiltIn);
    std::printf("(versions added: %d; checksum %.0f)\n", added, sink > 0 ? 1.0 : 0.0);
    return 0;
}
