// Storage figures, as ratios measured in one run: appending a line with its storing at a
// 1000-line order against the same append with storage switched off, restoring a 1000-line
// order, and the journal's search over 100,000 generated invoices by words and by number, on
// SQLite and on a throwaway PostgreSQL cluster beside it. Prints; checks nothing.
#include "bench/bench_support.h"
#include "tests/pg_cluster.h"

#include "app/mainwindow.h"
#include "app/order_storage.h"
#include "storage/connection.h"
#include "storage/journal.h"
#include "storage/order_writer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

const int Invoices = 100000;

OrderLine sample(int i)
{
    OrderLine line;
    line.description = QStringLiteral("Визитки 90×50; 4+4; Матовая; 350; строка %1").arg(i);
    line.quantity = QStringLiteral("100");
    line.unitPrice = QStringLiteral("4.5");
    line.keyText = QStringLiteral("значение=00240813");
    line.titles = QStringLiteral("Формат Цветность Тип Бумаги Плотность ");
    line.job = QJsonObject {{QStringLiteral("page"), QStringLiteral("sheetProducts")},
                            {QStringLiteral("quantity"), QStringLiteral("100")}};
    line.explanation = QStringLiteral("ключ 00240813: 4,5 за лист");
    return line;
}

// Milliseconds per append at an order of 1000 lines, each measured alone: `finish` is what
// follows the append (the hand-over to the writer, the wait for the disk, or nothing).
template<typename Finish> QVector<double> appendTimes(MainWindow &window, int count, Finish finish)
{
    QVector<double> times;
    for (int i = 0; i < count; ++i) {
        QElapsedTimer timer;
        timer.start();
        window.appendOrderLine(sample(i));
        finish();
        times.append(timer.nsecsElapsed() / 1e6);
    }
    return times;
}

bool exec(QSqlQuery &query, const QString &sql)
{
    if (query.exec(sql))
        return true;
    std::fprintf(stderr, "%s\n  %s\n", qPrintable(sql), qPrintable(query.lastError().text()));
    return false;
}

// 100,000 invoices of three lines, the words drawn from small lists by the number, made by the
// database itself.
bool generate(Connection &connection)
{
    QSqlQuery query(connection.database());
    const QString products = QStringLiteral(
        "'Визитки','Листовки','Буклеты','Баннер','Наклейки','Календари','Плакаты','Брошюры',"
        "'Открытки','Меню','Бланки','Конверты','Пакеты','Блокноты','Грамоты','Сертификаты',"
        "'Вымпелы','Таблички','Стенды','Кружки'");
    const QString papers = QStringLiteral(
        "'матовая','глянцевая','дизайнерская','офсетная','самоклеящаяся','текстурная','плайк'");
    if (connection.isSqlite()) {
        const QString word = QStringLiteral("(SELECT w FROM %1 WHERE id = %2)");
        return exec(query, QStringLiteral("CREATE TEMP TABLE product (id INTEGER, w TEXT)"))
            && exec(query, QStringLiteral("CREATE TEMP TABLE paper (id INTEGER, w TEXT)"))
            && exec(
                   query,
                   QStringLiteral(
                       "WITH RECURSIVE w(id, list) AS (SELECT 0, json_array(%1)) "
                       "INSERT INTO product SELECT key, value FROM json_each((SELECT list FROM w))")
                       .arg(products))
            && exec(query,
                    QStringLiteral(
                        "INSERT INTO paper SELECT key, value FROM json_each(json_array(%1))")
                        .arg(papers))
            && exec(query, QStringLiteral("BEGIN"))
            && exec(
                   query,
                   QStringLiteral(
                       "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                       "%1) "
                       "INSERT INTO invoice SELECT i, 'bench-' || i, "
                       "strftime('%Y-%m-%d %H:%M:%S', '2024-01-01', '+' || (i * 7) || ' minutes'), "
                       "'стойка-' || (i % 3), 3, 1000, 180, 1180, '', 0, "
                       "%2 || ' 90×50 ' || %3 || char(10) || %4 || ' A4 ' || %5 || char(10) || %6 "
                       "|| ' тираж ' || (i % 997) FROM n")
                       .arg(Invoices)
                       .arg(word.arg(QStringLiteral("product"), QStringLiteral("i % 20")),
                            word.arg(QStringLiteral("paper"), QStringLiteral("i % 7")),
                            word.arg(QStringLiteral("product"), QStringLiteral("(i / 20) % 20")),
                            word.arg(QStringLiteral("paper"), QStringLiteral("(i / 7) % 7")),
                            word.arg(QStringLiteral("product"), QStringLiteral("(i / 400) % 20"))))
            && exec(query,
                    QStringLiteral("INSERT INTO invoice_line SELECT number, p.value, 'строка', "
                                   "'100', '10', '', '', 0, '', '', 0, 0, 1 "
                                   "FROM invoice, json_each('[0,1,2]') p"))
            && exec(query,
                    QStringLiteral("INSERT INTO invoice_search(invoice_search) VALUES ('rebuild')"))
            && exec(query,
                    QStringLiteral("UPDATE invoice_counter SET next_number = %1").arg(Invoices + 1))
            && exec(query, QStringLiteral("COMMIT")) && exec(query, QStringLiteral("ANALYZE"));
    }
    const QString pick = QStringLiteral("(ARRAY[%1])[1 + %2]");
    return exec(query,
                QStringLiteral("INSERT INTO invoice SELECT i, 'bench-' || i, "
                               "to_char(timestamp '2024-01-01' + i * interval '7 minutes', "
                               "'YYYY-MM-DD HH24:MI:SS'), "
                               "'стойка-' || (i % 3), 3, 1000, 180, 1180, '', 0, "
                               "%2 || ' 90×50 ' || %3 || chr(10) || %4 || ' A4 ' || %5 || chr(10) "
                               "|| %6 || ' тираж ' || (i % 997) "
                               "FROM generate_series(1, %1) i")
                    .arg(Invoices)
                    .arg(pick.arg(products, QStringLiteral("i % 20")),
                         pick.arg(papers, QStringLiteral("i % 7")),
                         pick.arg(products, QStringLiteral("(i / 20) % 20")),
                         pick.arg(papers, QStringLiteral("(i / 7) % 7")),
                         pick.arg(products, QStringLiteral("(i / 400) % 20"))))
        && exec(query,
                QStringLiteral("INSERT INTO invoice_line SELECT number, p, 'строка', '100', '10', "
                               "'', '', 0, '', '', 0, 0, 1 "
                               "FROM invoice, generate_series(0, 2) p"))
        && exec(query,
                QStringLiteral("UPDATE invoice_counter SET next_number = %1").arg(Invoices + 1))
        && exec(query, QStringLiteral("ANALYZE"));
}

struct SearchFigures
{
    double common = 0; // a word in a fifth of the invoices, the newest 500 shown
    double rare = 0; // three words that meet in a few dozen invoices
    double none = 0; // a word in none
    double number = 0;
    int commonFound = 0;
    int rareFound = 0;
};

double searchMs(Journal &journal, const JournalQuery &query, int *found = nullptr)
{
    QVector<double> times;
    for (int i = 0; i < 15; ++i) {
        QElapsedTimer timer;
        timer.start();
        const int n = journal.find(query).size();
        times.append(timer.nsecsElapsed() / 1e6);
        if (found)
            *found = n;
    }
    return median(times);
}

bool searchFigures(Connection &connection, SearchFigures *figures)
{
    QElapsedTimer timer;
    timer.start();
    if (!generate(connection))
        return false;
    std::printf("  %-10s %d invoices generated in %.1f s\n",
                connection.isSqlite() ? "SQLite" : "PostgreSQL", Invoices,
                timer.elapsed() / 1000.0);
    Journal journal(connection);
    JournalQuery query; // as the dialog asks: at most 500, newest first
    query.words = QStringLiteral("визит");
    figures->common = searchMs(journal, query, &figures->commonFound);
    query.words = QStringLiteral("календари глянц меню");
    figures->rare = searchMs(journal, query, &figures->rareFound);
    query.words = QStringLiteral("фотообои");
    figures->none = searchMs(journal, query);
    query.words.clear();
    query.number = 73519;
    figures->number = searchMs(journal, query);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    quietOffscreenNotes();
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qunsetenv("PRINTCALC_DATABASE");
    QApplication app(argc, argv);

    // Two windows at 1000 lines: one storing, one with its keeper cut off from the table.
    const int rounds = 200;
    QVector<double> handOver, durable, bare, pressStored, pressPlain;
    {
        MainWindow stored;
        MainWindow plain;
        for (MainWindow *window : {&stored, &plain})
            window->findChild<QLineEdit *>(QStringLiteral("lineEdit"))
                ->setText(QStringLiteral("100"));
        plain.findChild<QTableWidget *>(QStringLiteral("tableWidget"))
            ->model()
            ->disconnect(plain.orderKeeper());
        for (int i = 0; i < 1000; ++i) {
            stored.appendOrderLine(sample(i));
            plain.appendOrderLine(sample(i));
        }
        OrderKeeper *keeper = stored.orderKeeper();
        keeper->waitStored(10000);
        bare = appendTimes(plain, rounds, [] {});
        handOver = appendTimes(stored, rounds, [keeper] { keeper->flush(); });
        keeper->waitStored(10000);
        durable = appendTimes(stored, rounds, [keeper] { keeper->waitStored(10000); });
        // The operator's append: "Ответ" on the sheet products page (read, price, append, clear).
        const auto press = [&](MainWindow &window, bool storing) {
            QVector<double> times;
            for (int i = 0; i < rounds; ++i) {
                QElapsedTimer timer;
                timer.start();
                QMetaObject::invokeMethod(&window, "page1_1_answer");
                if (storing)
                    keeper->flush();
                times.append(timer.nsecsElapsed() / 1e6);
            }
            return times;
        };
        keeper->waitStored(10000);
        pressPlain = press(plain, false);
        pressStored = press(stored, true);
        keeper->waitStored(10000);
    }
    const double bareMs = median(bare);
    const double handOverMs = median(handOver);
    const double durableMs = median(durable);
    std::printf("append one line at a 1000-line order (median of %d):\n", rounds);
    std::printf("  without storage                      %7.3f ms\n", bareMs);
    std::printf("  with storing handed to the writer    %7.3f ms  (%.1f x the bare table append)\n",
                handOverMs, handOverMs / bareMs);
    std::printf("  with storing until on disk (fsync)   %7.3f ms  (%.1f x)   the disk's flush, off "
                "the window's thread\n",
                durableMs, durableMs / bareMs);
    const double pressPlainMs = median(pressPlain);
    const double pressStoredMs = median(pressStored);
    std::printf("\"Ответ\" on sheet products at a 1000-line order (median of %d):\n", rounds);
    std::printf("  without storage                      %7.3f ms\n", pressPlainMs);
    std::printf(
        "  with storing handed to the writer    %7.3f ms  (%.2f x)   goal < 2 ms and <= 3 x: %s\n",
        pressStoredMs, pressStoredMs / pressPlainMs,
        pressStoredMs < 2 && pressStoredMs <= 3 * pressPlainMs ? "met" : "NOT met");

    // Restore: a 1000-line order left by a window that went away, brought back by another.
    {
        MainWindow left;
        for (int i = 0; i < 1000; ++i)
            left.appendOrderLine(sample(i));
        left.orderKeeper()->waitStored(10000);
    }
    {
        MainWindow window;
        QElapsedTimer timer;
        timer.start();
        window.orderKeeper()->restoreOffered();
        const double ms = timer.nsecsElapsed() / 1e6;
        window.orderKeeper()->waitStored(10000);
        const double onDisk = timer.nsecsElapsed() / 1e6;
        std::printf(
            "restore a 1000-line order (read, 1000 lines into the table, handed to the writer):\n");
        std::printf(
            "  %.1f ms   goal < 100 ms: %s   (%d lines back; %.1f ms until stored again on disk)\n",
            ms, ms < 100 ? "met" : "NOT met", int(window.orderLines().size()), onDisk);
    }

    std::printf(
        "journal search over %d invoices (at most 500 shown, newest first; median of 15):\n",
        Invoices);
    SearchFigures lite, pg;
    bool haveLite = false, havePg = false;
    {
        Connection connection;
        if (connection.open(
                DatabaseUrl::sqliteFile(home.path() + QStringLiteral("/journal.sqlite")),
                QStringLiteral("bench")))
            haveLite = searchFigures(connection, &lite);
        else
            std::printf("  SQLite: %s\n", qPrintable(connection.errorText()));
    }
    {
        PgCluster cluster;
        if (cluster.start()) {
            Connection connection;
            if (connection.open(DatabaseUrl::parse(cluster.url()), QStringLiteral("bench")))
                havePg = searchFigures(connection, &pg);
            else
                std::printf("  PostgreSQL: %s\n", qPrintable(connection.errorText()));
        } else {
            std::printf("  PostgreSQL: no throwaway cluster: %s\n", qPrintable(cluster.error));
        }
    }
    const auto row = [&](const char *what, double a, double b, double goal) {
        std::printf("  %-42s %8.2f ms %s  %8.2f ms %s\n", what, a,
                    haveLite ? (a < goal ? "met" : "NOT met") : "-", b,
                    havePg ? (b < goal ? "met" : "NOT met") : "-");
    };
    std::printf("  %-42s %15s  %18s\n", "", "SQLite (FTS5)", "PostgreSQL (GIN)");
    row("words, common (goal < 50 ms)", lite.common, pg.common, 50);
    row("words, three that rarely meet (< 50 ms)", lite.rare, pg.rare, 50);
    row("a word in no invoice (< 50 ms)", lite.none, pg.none, 50);
    row("by number (goal < 10 ms)", lite.number, pg.number, 10);
    std::printf("  found: common %d / %d, rare %d / %d\n", lite.commonFound, pg.commonFound,
                lite.rareFound, pg.rareFound);
    return 0;
}
