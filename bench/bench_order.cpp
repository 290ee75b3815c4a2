// Order figures: the memory 1000 priced lines take in the order (the lines, the table that shows
// them, the undo and the counter's file), as the heap in use and as the process's resident set,
// each set against the older build when one is given (bench_support.h). A fresh window per round,
// its order and settings in a temporary home. Prints; checks nothing.
#include "app/mainwindow.h"
#include "bench/bench_support.h"
#include "pricing/page_pricing.h"

#include <QApplication>
#include <QFile>

#include <malloc.h>
#include <unistd.h>

#include <cstdio>

namespace {

const int Lines = 1000;

// Bytes the program holds on the heap, over every arena.
double heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks) + double(info.hblkhd);
}

// The resident set as the kernel counts it.
double residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0.0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * double(sysconf(_SC_PAGESIZE));
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const TemporaryHome home;
    quietOffscreenNotes();
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Sans Serif"), 9));
    Comparison comparison(QApplication::arguments(), 5);
    if (!comparison.quiet())
        std::printf("memory of %d priced lines in the order, the table and its file:\n", Lines);

    comparison.run([] {
        Figures figures;
        auto *window = new MainWindow;
        window->show();
        QApplication::processEvents();
        const OrderLine priced
            = priceSheetProducts(window->sheetProductsJob(), window->prices()).first().line;
        // The first line brings what any order needs; the figure is what the others add.
        window->appendOrderLine(priced);
        QApplication::processEvents();
        malloc_trim(0);
        const double heapBefore = heapInUse();
        const double residentBefore = residentBytes();
        for (int i = 0; i < Lines; ++i)
            window->appendOrderLine(priced);
        QApplication::processEvents();
        malloc_trim(0);
        figures.add(QStringLiteral("heap per 1000 lines"),
                    (heapInUse() - heapBefore) * 1000.0 / Lines / 1024.0, QStringLiteral("KiB"));
        figures.add(QStringLiteral("resident set per 1000 lines"),
                    (residentBytes() - residentBefore) * 1000.0 / Lines / 1024.0,
                    QStringLiteral("KiB"));
        delete window;
        QApplication::processEvents();
        return figures;
    });
    return 0;
}
