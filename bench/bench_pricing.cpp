// Pricing figures: jobs priced per second through the core for each page, and one "Ответ" press
// (read the widgets, price, append) at an empty and at a 1000-line order. Prints; checks nothing.
#include "app/mainwindow.h"
#include "prices/price_table.h"
#include "pricing/page_pricing.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

// Jobs per second of one pricing call: the best of seven rounds of about minMs / 7 each, so that
// the other work of a shared machine counts as little as it can.
double jobsPerSecond(const std::function<int()> &price, double minMs)
{
    double best = 0;
    int sink = 0;
    for (int round = 0; round < 7; ++round) {
        QElapsedTimer timer;
        timer.start();
        qint64 done = 0;
        do {
            for (int i = 0; i < 100; ++i)
                sink += price();
            done += 100;
        } while (timer.nsecsElapsed() < minMs / 7 * 1e6);
        best = std::max(best, done / (timer.nsecsElapsed() / 1e9));
    }
    return sink < 0 ? 0 : best;
}

// Median microseconds of one press of the page's "Ответ", each press timed alone.
double pressMicroseconds(MainWindow &window, QPushButton *answer, QTableWidget *table,
                         int tableRows)
{
    QVector<double> times;
    for (int i = 0; i < 41; ++i) {
        table->setRowCount(0);
        for (int row = 0; row < tableRows; ++row)
            window.appendOrderLine(QStringLiteral("Строка %1").arg(row), QStringLiteral("1"),
                                   QStringLiteral("10"), QStringLiteral("значение=000000"),
                                   QString(), false);
        QElapsedTimer timer;
        timer.start();
        answer->click();
        times << timer.nsecsElapsed() / 1e3;
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MainWindow window;
    const PriceTable &prices = window.prices();

    // The jobs as the window holds them at start, the sheet job with extras and a tier run.
    SheetProductsJob sheet = window.sheetProductsJob();
    sheet.quantity = QStringLiteral("100");
    const BrochureJob brochure = window.brochureJob();
    const StreetJob street = window.streetJob();
    const InteriorJob interior = window.interiorJob();
    const SouvenirJob souvenir = window.souvenirJob();
    SheetProductsJob tiered = sheet;
    tiered.quantity = QStringLiteral("700");

    const struct
    {
        const char *page;
        std::function<int()> price;
    } pages[] = {
        {"sheet products", [&] { return priceSheetProducts(sheet, prices).size(); }},
        {"sheet products + tier", [&] { return priceSheetProducts(tiered, prices).size(); }},
        {"brochures", [&] { return priceBrochures(brochure, prices).size(); }},
        {"street", [&] { return priceStreet(street, prices).size(); }},
        {"interior", [&] { return priceInterior(interior, prices).size(); }},
        {"souvenir printing", [&] { return priceSouvenir(souvenir, prices).size(); }},
    };
    std::printf("jobs priced through the core (goal for sheet products >= 500,000 a second):\n");
    double sheetRate = 0;
    for (const auto &page : pages) {
        const double rate = jobsPerSecond(page.price, 300);
        if (sheetRate == 0)
            sheetRate = rate;
        std::printf("  %-24s %10.0f a second  %6.2f us a job  (%.2f x sheet products)\n", page.page,
                    rate, 1e6 / rate, rate / sheetRate);
    }
    std::printf("  sheet products goal: %s\n", sheetRate >= 500000 ? "met" : "NOT met");

    // The reading of the widgets alone, to tell what dominates a press.
    const double readRate
        = jobsPerSecond([&] { return window.sheetProductsJob().quantity.size(); }, 300);

    auto *answer = window.findChild<QPushButton *>(QStringLiteral("pushButton"));
    auto *table = window.findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    const double empty = pressMicroseconds(window, answer, table, 0);
    const double full = pressMicroseconds(window, answer, table, 1000);
    std::printf(
        "one \"Ответ\" press on sheet products (read, price, append, clear; goal < 500 us):\n");
    std::printf("  at an empty order      %8.1f us\n", empty);
    std::printf("  at a 1000-line order   %8.1f us  (%.2f x the empty order)\n", full,
                full / empty);
    std::printf("  of which reading the widgets %.1f us, pricing %.1f us\n", 1e6 / readRate,
                1e6 / sheetRate);
    std::printf("  goal: %s\n", std::max(empty, full) < 500 ? "met" : "NOT met");
    return 0;
}
