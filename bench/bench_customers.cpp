// Customer figures, as ratios of their goals measured in one run, on SQLite and on a throwaway
// PostgreSQL cluster beside it, each holding 100,000 generated customers: the counter's matches
// for two, four and eight typed characters, opening a card with 1,000 invoices, and importing
// 10,000 rows with their check. Prints; checks nothing.
#include "bench/bench_support.h"
#include "tests/pg_cluster.h"

#include "customers/customer_file.h"
#include "storage/connection.h"
#include "storage/customer_import.h"
#include "storage/customer_store.h"
#include "storage/transaction.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <cstdio>
#include <ctime>

namespace {

const int Customers = 100000;
const int ImportRows = 10000;
const int CardInvoices = 1000;

const char *const firstWords[]
    = {"Ромашка", "Роза",     "Рассвет", "Радуга",  "Ресурс",   "Север",  "Сфера",   "Стандарт",
       "Альфа",   "Авангард", "Астра",   "Вектор",  "Восток",   "Гарант", "Гранит",  "Дельта",
       "Заря",    "Импульс",  "Квадрат", "Лидер",   "Меридиан", "Мир",    "Надежда", "Олимп",
       "Орион",   "Прогресс", "Полюс",   "Партнёр", "Техно",    "Форум",  "Эталон",  "Юг"};
const char *const secondWords[] = {"Принт", "Строй", "Торг", "Сервис", "Групп",  "Трейд",
                                   "Медиа", "Плюс",  "Про",  "Центр",  "Маркет", "Лайн"};
const char *const surnames[]
    = {"Иванов",   "Петров",  "Сидоров", "Смирнов", "Кузнецов", "Попов",    "Васильев", "Соколов",
       "Михайлов", "Новиков", "Фёдоров", "Морозов", "Волков",   "Алексеев", "Лебедев"};
const char *const givenNames[] = {"Иван",  "Пётр",    "Анна",  "Мария",   "Сергей",
                                  "Ольга", "Дмитрий", "Елена", "Алексей", "Наталья"};

// An organisation's ИНН from a nine-digit base, with its control digit.
QString organisationInn(int base)
{
    const QString digits = QStringLiteral("%1").arg(base, 9, 10, QLatin1Char('0'));
    static const int weights[] = {2, 4, 10, 3, 5, 9, 4, 6, 8};
    int sum = 0;
    for (int i = 0; i < 9; ++i)
        sum += (digits.at(i).unicode() - '0') * weights[i];
    return digits + QString::number(sum % 11 % 10);
}

QString utf8(const char *text)
{
    return QString::fromUtf8(text);
}

// Customer i: three in four an organisation, the rest private persons with a phone.
Customer generated(int i)
{
    Customer customer;
    if (i % 4 == 3) {
        customer.kind = Customer::Person;
        customer.shortName
            = utf8(surnames[i % 15]) + QLatin1Char(' ') + utf8(givenNames[i / 15 % 10]);
        customer.phone = QStringLiteral("+7 9%1").arg(i, 9, 10, QLatin1Char('0'));
        customer.email = QStringLiteral("client%1@mail.example").arg(i);
        return customer;
    }
    customer.kind = Customer::Organisation;
    customer.shortName = QStringLiteral("ООО «") + utf8(firstWords[i % 32])
        + utf8(secondWords[i / 32 % 12]) + QLatin1Char(' ') + QString::number(i)
        + QStringLiteral("»");
    customer.inn = organisationInn(100000000 + i);
    customer.kpp = QStringLiteral("770101001");
    customer.phone = QStringLiteral("8 (495) %1").arg(i, 7, 10, QLatin1Char('0'));
    customer.email = QStringLiteral("office%1@firm.example").arg(i);
    customer.discountHundredths = i % 11 * 50;
    return customer;
}

bool fill(Connection &connection, qint64 *cardId)
{
    CustomerStore store(connection);
    for (int first = 0; first < Customers; first += 10000) {
        QVector<Customer> batch;
        for (int i = first; i < first + 10000; ++i)
            batch.append(generated(i));
        if (!store.saveAll(&batch, QStringLiteral("bench"))) {
            std::printf("    not stored: %s\n", qPrintable(connection.errorText()));
            return false;
        }
        if (first == 0)
            *cardId = batch.first().id;
    }
    // The card's invoices, written as the journal keeps them.
    Transaction transaction(connection);
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("INSERT INTO invoice (number, order_uid, created, counter, "
                                 "line_count, subtotal, tax, total, template_path, is_void, "
                                 "search_text, customer_id, customer_name) VALUES (?, ?, ?, "
                                 "'bench', 1, 100, 18, 118, '', 0, 'Визитки', ?, 'bench')"));
    for (int n = 1; n <= CardInvoices; ++n) {
        query.addBindValue(n);
        query.addBindValue(QStringLiteral("bench-%1").arg(n));
        query.addBindValue(QDateTime(QDate(2026, 1, 1), QTime(9, 0))
                               .addSecs(n * 3600)
                               .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        query.addBindValue(*cardId);
        if (!query.exec()) {
            std::printf("    invoices not stored: %s\n", qPrintable(query.lastError().text()));
            return false;
        }
    }
    return transaction.commit() && query.exec(QStringLiteral("ANALYZE"));
}

struct CustomerFigures
{
    bool ran = false;
    double fillSeconds = 0;
    double typed[3] = {0, 0, 0}; // 2, 4, 8 characters
    double phone = 0;
    double card = 0;
    double import = 0;
    double check = 0; // of which the file read and checked, before the database
    double importCpu = 0; // the program's own processor time for it (a busy machine shares it)
    int found[3] = {0, 0, 0};
    QString importVerdict;
};

// The median of a search over several texts typed at the counter, each a few times.
double matchesMs(CustomerStore &store, const QStringList &texts, int *found)
{
    QVector<double> times;
    for (int round = 0; round < 5; ++round)
        for (const QString &text : texts) {
            QElapsedTimer timer;
            timer.start();
            *found = store.matches(text, 10).size();
            times.append(timer.nsecsElapsed() / 1e6);
        }
    return median(times);
}

CustomerFigures measure(const DatabaseUrl &url)
{
    CustomerFigures figures;
    Connection connection;
    if (!connection.open(url, QStringLiteral("bench"))) {
        std::printf("    %s\n", qPrintable(connection.errorText()));
        return figures;
    }
    QElapsedTimer timer;
    timer.start();
    qint64 cardId = 0;
    if (!fill(connection, &cardId))
        return figures;
    figures.fillSeconds = timer.nsecsElapsed() / 1e9;
    CustomerStore store(connection);
    const QStringList typed[3]
        = {{QStringLiteral("ро"), QStringLiteral("се"), QStringLiteral("ив"), QStringLiteral("ор"),
            QStringLiteral("оо"), QStringLiteral("77")},
           {QStringLiteral("рома"), QStringLiteral("петр"), QStringLiteral("техн"),
            QStringLiteral("offi"), QStringLiteral("ооо "), QStringLiteral("1000")},
           {QStringLiteral("ромашкап"), QStringLiteral("петров п"), QStringLiteral("меридиан"),
            QStringLiteral("client12"), QStringLiteral("ооо «аль"), QStringLiteral("10000123")}};
    for (int i = 0; i < 3; ++i)
        figures.typed[i] = matchesMs(store, typed[i], &figures.found[i]);
    int phones = 0;
    figures.phone = matchesMs(store,
                              {QStringLiteral("8495"), QStringLiteral("+7 900"),
                               QStringLiteral("8 (495) 000"), QStringLiteral("900000")},
                              &phones);
    QVector<double> cards;
    for (int round = 0; round < 15; ++round) {
        timer.restart();
        Customer card;
        store.load(cardId, &card);
        const int invoices = store.invoices(cardId).size();
        cards.append(timer.nsecsElapsed() / 1e6);
        if (invoices != CardInvoices)
            std::printf("    the card has %d invoices, not %d\n", invoices, CardInvoices);
    }
    figures.card = median(cards);

    QString csv = QStringLiteral("вид;наименование;инн;кпп;телефон;email;скидка\n");
    for (int i = Customers; i < Customers + ImportRows; ++i) {
        const Customer customer = generated(i);
        csv += customerKindWord(customer.kind) + QLatin1Char(';') + csvTextField(customer.shortName)
            + QLatin1Char(';') + customer.inn + QLatin1Char(';') + customer.kpp + QLatin1Char(';')
            + csvTextField(customer.phone) + QLatin1Char(';') + customer.email + QLatin1Char(';')
            + discountText(customer.discountHundredths) + QLatin1Char('\n');
    }
    const QByteArray data = csv.toUtf8();
    timer.restart();
    const CustomerFileRead read = readCustomerCsv(data);
    figures.check = timer.nsecsElapsed() / 1e6;
    const std::clock_t cpu = std::clock();
    const CustomerImport imported = importCustomers(store, read, QStringLiteral("bench"));
    figures.import = timer.nsecsElapsed() / 1e6;
    figures.importCpu = figures.check + (std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC;
    figures.importVerdict = imported.report().section(QLatin1Char('\n'), 0, 0);
    figures.ran = true;
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    std::printf("customers: %d generated on each database\n", Customers);
    std::printf("  SQLite\n");
    const CustomerFigures lite
        = measure(DatabaseUrl::sqliteFile(dir.filePath(QStringLiteral("customers.sqlite"))));
    CustomerFigures pg;
    PgCluster cluster;
    std::printf("  PostgreSQL\n");
    if (cluster.start())
        pg = measure(DatabaseUrl::parse(cluster.url()));
    else
        std::printf("    no throwaway cluster: %s\n", qPrintable(cluster.error));

    const auto cell = [](const CustomerFigures &f, double value, double goal) {
        return f.ran ? QStringLiteral("%1 ms = %2 of goal")
                           .arg(value, 8, 'f', 2)
                           .arg(value / goal, 5, 'f', 2)
                     : QStringLiteral("-");
    };
    const auto row = [&](const char *what, double a, double b, double goal) {
        std::printf("  %-36s %-26s %-26s\n", what, qPrintable(cell(lite, a, goal)),
                    qPrintable(cell(pg, b, goal)));
    };
    std::printf("\n  %-36s %-26s %-26s\n", "(figure / goal)", "SQLite", "PostgreSQL");
    std::printf("  %-36s %23.1f s %23.1f s\n", "generating 100,000 (not a goal)", lite.fillSeconds,
                pg.fillSeconds);
    row("matches, 2 typed (goal 5 ms)", lite.typed[0], pg.typed[0], 5);
    row("matches, 4 typed (goal 5 ms)", lite.typed[1], pg.typed[1], 5);
    row("matches, 8 typed (goal 5 ms)", lite.typed[2], pg.typed[2], 5);
    row("matches, a phone's digits (goal 5 ms)", lite.phone, pg.phone, 5);
    row("a card with 1,000 invoices (goal 50 ms)", lite.card, pg.card, 50);
    row("import of 10,000 rows (goal 2000 ms)", lite.import, pg.import, 2000);
    std::printf("  of which reading and checking the file: SQLite %.0f ms, PostgreSQL %.0f ms\n",
                lite.check, pg.check);
    std::printf(
        "  the import's own processor time: SQLite %.0f ms, PostgreSQL %.0f ms (the server's "
        "not counted)\n",
        lite.importCpu, pg.importCpu);
    std::printf("  import: SQLite «%s»; PostgreSQL «%s»\n", qPrintable(lite.importVerdict),
                qPrintable(pg.importVerdict));
    return 0;
}
