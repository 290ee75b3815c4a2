// The order's figures at the counter, each set against the older build when one is given
// (bench_support.h): one "Ответ" on sheet products at an empty and at a 1000-line order, a
// 1000-line order left by a window that went away restored by the next, and the window from
// construction to its first paint. A fresh home per round. Prints; checks nothing.
#include "app/mainwindow.h"
#include "app/order_storage.h"
#include "bench/bench_support.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTableWidget>
#include <QVector>

#include <algorithm>
#include <cstdio>

namespace {

const int Lines = 1000;

void fill(MainWindow &window, int lines)
{
    for (int row = 0; row < lines; ++row)
        window.appendOrderLine(QStringLiteral("Строка %1").arg(row), QStringLiteral("1"),
                               QStringLiteral("10"), QStringLiteral("значение=000000"), QString(),
                               false);
}

// Median microseconds of one "Ответ" press with `lines` lines already in the order.
double answerMicroseconds(int lines)
{
    MainWindow window;
    window.show();
    QApplication::processEvents();
    auto *answer = window.findChild<QPushButton *>(QStringLiteral("pushButton"));
    auto *table = window.findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    if (answer == nullptr || table == nullptr)
        return 0.0;
    fill(window, lines);
    window.orderKeeper()->waitStored(10000);
    QVector<double> times;
    for (int i = 0; i < 21; ++i) {
        QElapsedTimer timer;
        timer.start();
        answer->click();
        times << timer.nsecsElapsed() / 1e3;
        window.orderKeeper()->waitStored(10000);
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

double restoreMs()
{
    {
        MainWindow left;
        fill(left, Lines);
        left.orderKeeper()->waitStored(10000);
    }
    MainWindow window;
    QElapsedTimer timer;
    timer.start();
    window.orderKeeper()->restoreOffered();
    const double ms = timer.nsecsElapsed() / 1e6;
    window.orderKeeper()->waitStored(10000);
    return ms;
}

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

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    quietOffscreenNotes();
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Sans Serif"), 9));
    Comparison comparison(QApplication::arguments(), 5);
    if (!comparison.quiet())
        std::printf("\"Ответ\", restoring and the window's start, against the older build:\n");
    comparison.run([] {
        const TemporaryHome home;
        Figures figures;
        figures.add(QStringLiteral("window up, first paint"), windowUpMs(), QStringLiteral("ms"));
        figures.add(QStringLiteral("\"Ответ\" at an empty order"), answerMicroseconds(0),
                    QStringLiteral("us"));
        figures.add(QStringLiteral("\"Ответ\" at a 1000-line order"), answerMicroseconds(Lines),
                    QStringLiteral("us"));
        figures.add(QStringLiteral("restoring 1000 lines"), restoreMs(), QStringLiteral("ms"));
        return figures;
    });
    return 0;
}
