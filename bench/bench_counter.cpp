// Counter figures: the live price per option change and per keystroke with 1000 lines in the
// order, opening the alternatives table, and Ctrl+Z of an "Очистка" of 1000 lines, each set
// against the older build when one is given (bench_support.h). The order and settings in a
// temporary home. Prints; checks nothing.
#include "app/mainwindow.h"
#include "bench/bench_support.h"
#include "dialogs/alternatives_dialog.h"
#include "pricing/page_pricing.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBox>

#include <algorithm>
#include <cstdio>

namespace {

template<typename Work> double msOf(Work work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

bool detailed = true; // the first round of a run that is not the older build's

// The median against the goal; the minimum shows the cost on a quiet machine, the first run
// the cost of a cold start. The median is the round's figure.
void report(Figures &figures, const char *what, const QVector<double> &runs, double goalMs)
{
    const double typical = median(runs);
    figures.add(QString::fromUtf8(what), typical, QStringLiteral("ms"));
    if (!detailed)
        return;
    std::printf("  %-36s %8.3f ms  (min %.3f, first %.3f, max %.3f; %d runs)"
                "   goal < %g ms: %s, %.1f x under\n",
                what, typical, *std::min_element(runs.begin(), runs.end()), runs.first(),
                *std::max_element(runs.begin(), runs.end()), int(runs.size()), goalMs,
                typical < goalMs ? "met" : "NOT met", goalMs / typical);
}

template<typename T> T *named(const QWidget &window, const char *name)
{
    return window.findChild<T *>(QLatin1String(name));
}

void typeKey(QWidget *field, Qt::Key key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(field, &press);
    QApplication::sendEvent(field, &release);
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
    Comparison comparison(QApplication::arguments(), 3);
    detailed = !comparison.quiet();

    MainWindow window;
    window.show();
    QApplication::processEvents();

    // A 1000-line order of priced lines, each with its job and breakdown.
    const OrderLine priced
        = priceSheetProducts(window.sheetProductsJob(), window.prices()).first().line;
    for (int i = 0; i < 1000; ++i)
        window.appendOrderLine(priced);
    QApplication::processEvents();
    auto *tabs = named<QTabWidget>(window, "tabWidget");
    auto *table = named<QTableWidget>(window, "tableWidget");

    comparison.run([&] {
        Figures figures;
        tabs->setCurrentIndex(0);
        tabs->currentWidget()->findChild<QToolBox *>()->setCurrentIndex(0);
        QApplication::processEvents();
        if (detailed)
            std::printf("live price with %d lines in the order (%s):\n", table->rowCount(),
                        qPrintable(QApplication::platformName()));
        // Option changes: the type of paper back and forth, each handled and painted.
        const QList<QRadioButton *> types = {named<QRadioButton>(window, "radioButton_49"),
                                             named<QRadioButton>(window, "radioButton_47")};
        QVector<double> options;
        QVector<double> optionsPainted;
        for (int i = 0; i < 400; ++i) {
            QRadioButton *type = types.at(i % 2);
            options << msOf([&] { type->click(); });
            optionsPainted << msOf([] { QApplication::processEvents(); });
        }
        for (int i = 0; i < options.size(); ++i)
            optionsPainted[i] += options[i];
        report(figures, "per option change", options, 1.0);
        report(figures, "per option change, label painted", optionsPainted, 1.0);

        // Keystrokes in the quantity field: a digit typed, then taken back.
        auto *quantity = named<QLineEdit>(window, "lineEdit");
        quantity->setFocus();
        quantity->end(false);
        QVector<double> keys;
        QVector<double> keysPainted;
        for (int i = 0; i < 400; ++i) {
            const bool digit = i % 2 == 0;
            keys << msOf([&] {
                typeKey(quantity, digit ? Qt::Key_7 : Qt::Key_Backspace,
                        digit ? QStringLiteral("7") : QString());
            });
            keysPainted << keys.last() + msOf([] { QApplication::processEvents(); });
        }
        report(figures, "per keystroke", keys, 1.0);
        report(figures, "per keystroke, label painted", keysPainted, 1.0);

        // The alternatives table of each page that has one, opened and shown with its first
        // paint.
        if (detailed)
            std::printf("alternatives table, open + first paint:\n");
        const struct
        {
            const char *name;
            int tab, page;
        } pages[] = {{"sheet products (90 pairings)", 0, 0},
                     {"brochures (30 pairings)", 0, 1},
                     {"street (70 pairings)", 1, 0},
                     {"interior (16 pairings)", 1, 1}};
        for (const auto &page : pages) {
            tabs->setCurrentIndex(page.tab);
            tabs->currentWidget()->findChild<QToolBox *>()->setCurrentIndex(page.page);
            QApplication::processEvents();
            QVector<double> opens;
            for (int i = 0; i < 15; ++i) {
                AlternativesDialog *dialog = nullptr;
                opens << msOf([&] {
                    dialog = window.openAlternatives();
                    QApplication::processEvents();
                });
                dialog->close();
                // The closed table deletes itself once the event loop comes round.
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                QApplication::processEvents();
            }
            report(figures, page.name, opens, 30.0);
        }

        // "Очистка" of 1000 lines, then Ctrl+Z: the lines back, laid out, the total counted.
        if (detailed)
            std::printf("Ctrl+Z of an \"Очистка\" of 1000 lines:\n");
        auto *clear = named<QPushButton>(window, "pushButton_4");
        QVector<double> undos;
        for (int i = 0; i < 7; ++i) {
            clear->click();
            QApplication::processEvents();
            undos << msOf([&] {
                window.undoOrderChange();
                QApplication::processEvents();
            });
        }
        report(figures, "lines back in place", undos, 100.0);
        detailed = false;
        return figures;
    });
    return 0;
}
