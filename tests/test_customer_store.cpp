// The customers in the shop's database, on SQLite and on a throwaway PostgreSQL cluster alike:
// the card kept whole, duplicates refused, the counter's search, merging, clearing a person's
// data, the invoice's snapshot of its customer, the counter's order with its customer, the
// upgrade of a database made before customers, and two counters sharing one cluster.
#include "tests/older_database.h"
#include "tests/pg_cluster.h"

#include "storage/connection.h"
#include "storage/customer_store.h"
#include "storage/journal.h"
#include "storage/order_store.h"
#include "storage/schema.h"
#include "storage/settings.h"
#include "storage/shop_link.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(Customer)

namespace {

Customer organisation(const QString &name, const QString &inn, const QString &kpp)
{
    Customer customer;
    customer.kind = Customer::Organisation;
    customer.shortName = name;
    customer.inn = inn;
    customer.kpp = kpp;
    return customer;
}

Customer person(const QString &name, const QString &phone)
{
    Customer customer;
    customer.kind = Customer::Person;
    customer.shortName = name;
    customer.phone = phone;
    return customer;
}

InvoiceDraft invoiceFor(const QString &uid, const Customer &customer, const QDateTime &created)
{
    OrderLine line;
    line.description = QStringLiteral("Визитки");
    line.quantity = QStringLiteral("100");
    line.unitPrice = QStringLiteral("3");
    InvoiceDraft draft;
    draft.orderUid = uid;
    draft.created = created;
    draft.counter = QStringLiteral("стойка-1");
    draft.lines = {line};
    draft.customer = customer;
    return draft;
}

QStringList names(const QVector<Customer> &customers)
{
    QStringList result;
    for (const Customer &customer : customers)
        result << customer.name();
    return result;
}

} // namespace

class CustomerStoreTest : public QObject
{
    Q_OBJECT

    PgCluster cluster;
    QTemporaryDir dir;
    int databases = 0;

    // A fresh database of the kind named: a SQLite file or a new database on the cluster.
    DatabaseUrl freshDatabase(const QString &kind)
    {
        const QString name = QStringLiteral("c%1").arg(++databases);
        if (kind == QLatin1String("sqlite"))
            return DatabaseUrl::sqliteFile(dir.filePath(name + QStringLiteral(".sqlite")));
        Connection server;
        if (server.open(DatabaseUrl::parse(cluster.url()), QStringLiteral("server")))
            QSqlQuery(server.database()).exec(QStringLiteral("CREATE DATABASE ") + name);
        return DatabaseUrl::parse(
            QStringLiteral("postgresql://printcalc@/%1?host=%2").arg(name, cluster.dir));
    }

    static void bothDatabases()
    {
        QTest::addColumn<QString>("database");
        QTest::newRow("SQLite") << "sqlite";
        QTest::newRow("PostgreSQL") << "postgres";
    }

private slots:
    void initTestCase() { QVERIFY2(cluster.start(), qPrintable(cluster.error)); }
    void cleanupTestCase() { cluster.stop(); }

    void cardKeptWhole_data() { bothDatabases(); }
    void cardKeptWhole()
    {
        QFETCH(QString, database);
        Connection connection;
        QVERIFY2(connection.open(freshDatabase(database), QStringLiteral("t")),
                 qPrintable(connection.errorText()));
        CustomerStore store(connection);
        Customer card = organisation(QStringLiteral(" ООО «Ромашка» "),
                                     QStringLiteral("7707083893"), QStringLiteral("770701001"));
        card.fullName = QStringLiteral("Общество с ограниченной ответственностью «Ромашка»");
        card.ogrn = QStringLiteral("1027700132195");
        card.address = QStringLiteral("117997, Москва, ул. Вавилова, 19");
        card.phone = QStringLiteral("8 (495) 500-55-50");
        card.email = QStringLiteral("info@romashka.ru");
        card.contact = QStringLiteral("Иванова Анна");
        card.bik = QStringLiteral("044525225");
        card.account = QStringLiteral("40702810938000000001");
        card.correspondentAccount = QStringLiteral("30101810400000000225");
        card.bankName = QStringLiteral("ПАО Сбербанк");
        card.discountHundredths = 525;
        card.note = QStringLiteral("платит в срок");
        QCOMPARE(store.save(&card, QStringLiteral("стойка-1")), CustomerSaveResult::Saved);
        QVERIFY(card.id > 0);
        QCOMPARE(card.shortName, QStringLiteral("ООО «Ромашка»"));
        QCOMPARE(card.createdAt, QStringLiteral("стойка-1"));
        QVERIFY(card.created.isValid());

        Customer read;
        QVERIFY(store.load(card.id, &read));
        QCOMPARE(read, card);
        QCOMPARE(read.created, card.created);
        QCOMPARE(read.changedAt, QStringLiteral("стойка-1"));

        read.discountHundredths = 1000;
        QCOMPARE(store.save(&read, QStringLiteral("стойка-2")), CustomerSaveResult::Saved);
        Customer again;
        QVERIFY(store.load(card.id, &again));
        QCOMPARE(again.discountHundredths, 1000);
        QCOMPARE(again.createdAt, QStringLiteral("стойка-1"));
        QCOMPARE(again.changedAt, QStringLiteral("стойка-2"));
        QCOMPARE(again.created, card.created);

        // A wrong requisite: nothing stored, the mistakes told.
        Customer wrong
            = organisation(QStringLiteral("ООО «Лютик»"), QStringLiteral("770708389"), QString());
        QVector<CustomerProblem> problems;
        QCOMPARE(store.save(&wrong, QStringLiteral("стойка-1"), &problems),
                 CustomerSaveResult::Invalid);
        QCOMPARE(problems.size(), 1);
        QCOMPARE(problems.first().field, QStringLiteral("ИНН"));
        QCOMPARE(store.list(QString()).size(), 1);
    }

    // The same ИНН and КПП, or a person's phone however written, is one customer.
    void duplicates_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<Customer>("first");
        QTest::addColumn<Customer>("second");
        QTest::addColumn<bool>("duplicate");
        const Customer romashka
            = organisation(QStringLiteral("ООО «Ромашка»"), QStringLiteral("7707083893"),
                           QStringLiteral("770701001"));
        const Customer branch
            = organisation(QStringLiteral("Ромашка, филиал"), QStringLiteral("7707083893"),
                           QStringLiteral("773601001"));
        const Customer renamed = organisation(
            QStringLiteral("Ромашка"), QStringLiteral("7707083893"), QStringLiteral("770701001"));
        const Customer unnamedInn
            = organisation(QStringLiteral("ООО «Ромашка»"), QString(), QString());
        const Customer ivan
            = person(QStringLiteral("Иван Петров"), QStringLiteral("8 (912) 345-67-89"));
        const Customer ivanAgain
            = person(QStringLiteral("Петров И."), QStringLiteral("+7 912 345 67 89"));
        Customer office = ivanAgain;
        office.kind = Customer::Organisation;
        office.shortName = QStringLiteral("ООО «Петров и сын»");
        for (const QString &database : {QStringLiteral("sqlite"), QStringLiteral("postgres")}) {
            const QByteArray on = database == QLatin1String("sqlite") ? ", SQLite" : ", PG";
            QTest::newRow(QByteArray("same ИНН and КПП" + on))
                << database << romashka << renamed << true;
            QTest::newRow(QByteArray("same ИНН, other КПП" + on))
                << database << romashka << branch << false;
            QTest::newRow(QByteArray("same name, no ИНН" + on))
                << database << unnamedInn << unnamedInn << false;
            QTest::newRow(QByteArray("person's phone, 8 and +7" + on))
                << database << ivan << ivanAgain << true;
            QTest::newRow(QByteArray("organisation with a person's phone" + on))
                << database << ivan << office << false;
        }
    }
    void duplicates()
    {
        QFETCH(QString, database);
        QFETCH(Customer, first);
        QFETCH(Customer, second);
        QFETCH(bool, duplicate);
        Connection connection;
        QVERIFY2(connection.open(freshDatabase(database), QStringLiteral("t")),
                 qPrintable(connection.errorText()));
        CustomerStore store(connection);
        QCOMPARE(store.save(&first, QStringLiteral("a")), CustomerSaveResult::Saved);
        Customer existing;
        const CustomerSaveResult result
            = store.save(&second, QStringLiteral("b"), nullptr, &existing);
        QCOMPARE(result, duplicate ? CustomerSaveResult::Duplicate : CustomerSaveResult::Saved);
        QCOMPARE(store.list(QString()).size(), duplicate ? 1 : 2);
        if (duplicate) {
            QCOMPARE(existing.id, first.id);
            QCOMPARE(existing.name(), first.name());
        }
    }

    // What the counter's field lists for what is typed, best first.
    void matches_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QStringList>("found");
        const QList<std::tuple<const char *, QString, int, QStringList>> cases = {
            {"name's beginning first, then a later word",
             QStringLiteral("ро"),
             10,
             {QStringLiteral("Роза ветров"), QStringLiteral("Ромашка"),
              QStringLiteral("ООО «Ромашка»")}},
            {"any case, ё as е", QStringLiteral("ЁЛКА"), 10, {QStringLiteral("Ёлка и палка")}},
            {"several words, any order",
             QStringLiteral("ромашка ооо"),
             10,
             {QStringLiteral("ООО «Ромашка»")}},
            {"a word's beginning only, not its middle", QStringLiteral("машка"), 10, {}},
            {"ИНН's beginning", QStringLiteral("770708"), 10, {QStringLiteral("ООО «Ромашка»")}},
            {"phone typed with 8", QStringLiteral("8912"), 10, {QStringLiteral("Иван Петров")}},
            {"phone typed with +7 and blanks",
             QStringLiteral("+7 912 345"),
             10,
             {QStringLiteral("Иван Петров")}},
            {"phone without the country",
             QStringLiteral("912-34"),
             10,
             {QStringLiteral("Иван Петров")}},
            {"e-mail", QStringLiteral("Zakaz@"), 10, {QStringLiteral("Роза ветров")}},
            {"one character lists nothing", QStringLiteral("р"), 10, {}},
            {"limit",
             QStringLiteral("ро"),
             2,
             {QStringLiteral("Роза ветров"), QStringLiteral("Ромашка")}},
            {"nothing like it", QStringLiteral("типография"), 10, {}},
        };
        for (const QString &database : {QStringLiteral("sqlite"), QStringLiteral("postgres")})
            for (const auto &[name, typed, limit, found] : cases)
                QTest::newRow(QByteArray(
                    QByteArray(name) + (database == QLatin1String("sqlite") ? ", SQLite" : ", PG")))
                    << database << typed << limit << found;
    }
    void matches()
    {
        QFETCH(QString, database);
        QFETCH(QString, typed);
        QFETCH(int, limit);
        QFETCH(QStringList, found);
        Connection connection;
        QVERIFY2(connection.open(freshDatabase(database), QStringLiteral("t")),
                 qPrintable(connection.errorText()));
        CustomerStore store(connection);
        Customer rose = organisation(QStringLiteral("Роза ветров"), QString(), QString());
        rose.email = QStringLiteral("zakaz@roza.ru");
        Customer romashka = organisation(QStringLiteral("ООО «Ромашка»"),
                                         QStringLiteral("7707083893"), QStringLiteral("770701001"));
        Customer plain = organisation(QStringLiteral("Ромашка"), QString(), QString());
        Customer tree = organisation(QStringLiteral("Ёлка и палка"), QString(), QString());
        Customer ivan = person(QStringLiteral("Иван Петров"), QStringLiteral("+7 912 345-67-89"));
        for (Customer *customer : {&romashka, &rose, &plain, &tree, &ivan})
            QCOMPARE(store.save(customer, QStringLiteral("t")), CustomerSaveResult::Saved);
        bool ok = false;
        QCOMPARE(names(store.matches(typed, limit, &ok)), found);
        QVERIFY2(ok, qPrintable(connection.errorText()));
    }

    // The second card's invoices go to the first, which takes what only the second had.
    void mergeMovesInvoices_data() { bothDatabases(); }
    void mergeMovesInvoices()
    {
        QFETCH(QString, database);
        Connection connection;
        QVERIFY2(connection.open(freshDatabase(database), QStringLiteral("t")),
                 qPrintable(connection.errorText()));
        CustomerStore store(connection);
        Journal journal(connection);
        Customer kept = organisation(QStringLiteral("ООО «Ромашка»"), QString(), QString());
        Customer gone = organisation(QStringLiteral("Ромашка"), QString(), QString());
        gone.phone = QStringLiteral("+7 495 123-45-67");
        QCOMPARE(store.save(&kept, QStringLiteral("t")), CustomerSaveResult::Saved);
        QCOMPARE(store.save(&gone, QStringLiteral("t")), CustomerSaveResult::Saved);
        const QDateTime day(QDate(2026, 12, 1), QTime(10, 0));
        QCOMPARE(journal.storeInvoice(invoiceFor(QStringLiteral("a"), kept, day), 1), 1);
        QCOMPARE(journal.storeInvoice(invoiceFor(QStringLiteral("b"), gone, day.addDays(1)), 1), 2);
        QCOMPARE(journal.storeInvoice(invoiceFor(QStringLiteral("c"), kept, day.addDays(2)), 1), 3);
        QVERIFY2(store.merge(kept.id, gone.id), qPrintable(connection.errorText()));
        QList<qint64> numbers;
        for (const CustomerInvoice &invoice : store.invoices(kept.id))
            numbers << invoice.number;
        QCOMPARE(numbers, (QList<qint64> {3, 2, 1}));
        Customer read;
        QVERIFY(!store.load(gone.id, &read));
        QVERIFY(store.load(kept.id, &read));
        QCOMPARE(read.phone, QStringLiteral("+7 495 123-45-67"));
        QCOMPARE(names(store.matches(QStringLiteral("8495"), 10)),
                 QStringList {QStringLiteral("ООО «Ромашка»")});
        // The invoice keeps the name it printed.
        InvoiceRecord record;
        QVERIFY(journal.load(2, &record));
        QCOMPARE(record.customer.id, kept.id);
        QCOMPARE(record.customer.shortName, QStringLiteral("Ромашка"));
        QVERIFY(!store.merge(kept.id, gone.id));
    }

    // A person's data cleared: the card and the search say "удалено"; the invoice keeps what it
    // printed and its sum.
    void clearedPersonalData_data() { bothDatabases(); }
    void clearedPersonalData()
    {
        QFETCH(QString, database);
        Connection connection;
        QVERIFY2(connection.open(freshDatabase(database), QStringLiteral("t")),
                 qPrintable(connection.errorText()));
        CustomerStore store(connection);
        Customer ivan = person(QStringLiteral("Иван Петров"), QStringLiteral("+7 912 345-67-89"));
        ivan.email = QStringLiteral("ivan@mail.ru");
        ivan.address = QStringLiteral("Пермь, ул. Ленина, 1");
        Customer firm = organisation(QStringLiteral("ООО «Ромашка»"), QStringLiteral("7707083893"),
                                     QString());
        QCOMPARE(store.save(&ivan, QStringLiteral("t")), CustomerSaveResult::Saved);
        QCOMPARE(store.save(&firm, QStringLiteral("t")), CustomerSaveResult::Saved);
        Journal journal(connection);
        QCOMPARE(journal.storeInvoice(invoiceFor(QStringLiteral("p"), ivan,
                                                 QDateTime(QDate(2026, 12, 1), QTime(9, 0))),
                                      1),
                 1);
        QVERIFY(store.clearPersonalData(ivan.id));
        QVERIFY(!store.clearPersonalData(firm.id));
        Customer read;
        QVERIFY(store.load(ivan.id, &read));
        QVERIFY(read.personalDataCleared);
        const QString cleared = QStringLiteral("удалено");
        QCOMPARE((QStringList {read.shortName, read.phone, read.email, read.address}),
                 (QStringList {cleared, cleared, cleared, cleared}));
        QVERIFY(store.matches(QStringLiteral("иван"), 10).isEmpty());
        QVERIFY(store.matches(QStringLiteral("8912"), 10).isEmpty());
        QVERIFY(store.matches(QStringLiteral("ivan@"), 10).isEmpty());
        QCOMPARE(names(store.matches(QStringLiteral("удал"), 10)), QStringList {cleared});
        // The phone no longer holds the number: the same person may come again.
        Customer again = person(QStringLiteral("Иван Петров"), QStringLiteral("89123456789"));
        QCOMPARE(store.save(&again, QStringLiteral("t")), CustomerSaveResult::Saved);
        InvoiceRecord record;
        QVERIFY(journal.load(1, &record));
        QCOMPARE(record.customer.shortName, QStringLiteral("Иван Петров"));
        QCOMPARE(record.customer.address, QStringLiteral("Пермь, ул. Ленина, 1"));
        QCOMPARE(record.summary.total, 354.0);
        const QVector<CustomerInvoice> history = store.invoices(ivan.id);
        QCOMPARE(history.size(), 1);
        QCOMPARE(history.first().total, 354.0);
    }

    // The invoice keeps what it printed of its customer, and the journal finds by the card.
    void invoiceKeepsItsCustomer_data() { bothDatabases(); }
    void invoiceKeepsItsCustomer()
    {
        QFETCH(QString, database);
        Connection connection;
        QVERIFY2(connection.open(freshDatabase(database), QStringLiteral("t")),
                 qPrintable(connection.errorText()));
        CustomerStore store(connection);
        Customer firm = organisation(QStringLiteral("ООО «Ромашка»"), QStringLiteral("7707083893"),
                                     QStringLiteral("770701001"));
        firm.fullName = QStringLiteral("Общество с ограниченной ответственностью «Ромашка»");
        firm.address = QStringLiteral("Москва, ул. Вавилова, 19");
        firm.discountHundredths = 500;
        QCOMPARE(store.save(&firm, QStringLiteral("t")), CustomerSaveResult::Saved);
        Journal journal(connection);
        const QDateTime day(QDate(2026, 12, 2), QTime(11, 0));
        QCOMPARE(journal.storeInvoice(invoiceFor(QStringLiteral("n"), Customer(), day), 1), 1);
        QCOMPARE(journal.storeInvoice(invoiceFor(QStringLiteral("f"), firm, day), 1), 2);
        firm.fullName = QStringLiteral("АО «Ромашка»");
        QCOMPARE(store.save(&firm, QStringLiteral("t")), CustomerSaveResult::Saved);
        InvoiceRecord record;
        QVERIFY(journal.load(2, &record));
        const Customer &printed = record.customer;
        QCOMPARE(printed.id, firm.id);
        QCOMPARE((QStringList {printed.shortName, printed.fullName, printed.inn, printed.kpp,
                               printed.address}),
                 (QStringList {QStringLiteral("ООО «Ромашка»"),
                               QStringLiteral("Общество с ограниченной ответственностью «Ромашка»"),
                               QStringLiteral("7707083893"), QStringLiteral("770701001"),
                               QStringLiteral("Москва, ул. Вавилова, 19")}));
        QCOMPARE(printed.discountHundredths, 500);
        QVERIFY(journal.load(1, &record));
        QVERIFY(record.customer.isNull());
        JournalQuery query;
        query.customerId = firm.id;
        const QVector<InvoiceSummary> found = journal.find(query);
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first().number, 2);
        QCOMPARE(found.first().customer.shortName, QStringLiteral("ООО «Ромашка»"));
    }

    // The counter's order keeps its customer, changed or taken away.
    void storedOrderKeepsItsCustomer()
    {
        Connection connection;
        QVERIFY(connection.open(freshDatabase(QStringLiteral("sqlite")), QStringLiteral("t")));
        OrderStore store(connection);
        Customer ivan = person(QStringLiteral("Иван Петров"), QStringLiteral("+7 912 345-67-89"));
        ivan.id = 7;
        ivan.discountHundredths = 250;
        OrderChange change;
        change.uid = QStringLiteral("o1");
        change.counter = QStringLiteral("стойка");
        change.at = QDateTime(QDate(2026, 12, 3), QTime(12, 0));
        change.create = true;
        change.setCustomer = true;
        change.customer = ivan;
        QVERIFY(store.apply(change));
        StoredOrder order;
        QVERIFY(store.load(QStringLiteral("o1"), &order));
        QCOMPARE(order.customer, ivan);
        OrderChange other;
        other.uid = QStringLiteral("o1");
        other.at = change.at;
        other.setCustomer = true;
        QVERIFY(store.apply(other));
        QVERIFY(store.load(QStringLiteral("o1"), &order));
        QVERIFY(order.customer.isNull());
    }

    // A database as the previous version left it, with an invoice and an order in it: after the
    // upgrade every row is there, without a customer, and customers can be stored.
    void upgradeFromTheVersionBefore_data() { bothDatabases(); }
    void upgradeFromTheVersionBefore()
    {
        QFETCH(QString, database);
        const bool sqlite = database == QLatin1String("sqlite");
        const DatabaseUrl url = freshDatabase(database);
        // Version 5, the last without customers; rows as its journal and order store wrote them.
        QStringList rows {
            QStringLiteral("UPDATE invoice_counter SET next_number = 43"),
            QStringLiteral("INSERT INTO invoice (number, order_uid, created, counter, line_count, "
                           "subtotal, tax, total, template_path, is_void, search_text) VALUES "
                           "(42, 'old-order', '2026-11-30 15:00:00', 'стойка-1', 1, 300, 54, 354, "
                           "'/tmp/t.xlsx', 0, 'Визитки')"),
            QStringLiteral("INSERT INTO invoice_line VALUES (42, 0, 'Визитки', '100', '3', "
                           "'00-1-2', 'Формат', 0, '', '', 0, 0)"),
            QStringLiteral("INSERT INTO local_order (uid, counter, started, changed, state, "
                           "invoice_number, template_path, documents) VALUES ('open-order', "
                           "'стойка-1', '2026-11-30 16:00:00', '2026-11-30 16:05:00', 0, NULL, '', "
                           "'')"),
            QStringLiteral("INSERT INTO local_line VALUES ('open-order', 1, 0, 'Листовки', '500', "
                           "'2', '', '', 0, '', '', 0, 0)")};
        if (sqlite)
            rows << QStringLiteral(
                "INSERT INTO invoice_search (rowid, search_text) VALUES (42, 'Визитки')");
        const QString problem = makeDatabaseBefore(url, 6, rows);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));

        Connection connection;
        QVERIFY2(connection.open(url, QStringLiteral("t")), qPrintable(connection.errorText()));
        QCOMPARE(connection.schemaVersion(), latestSchemaVersion());
        Journal journal(connection);
        InvoiceRecord record;
        QVERIFY(journal.load(42, &record));
        QCOMPARE(record.summary.total, 354.0);
        QCOMPARE(record.lines.size(), 1);
        QCOMPARE(record.lines.first().description, QStringLiteral("Визитки"));
        QVERIFY(record.customer.isNull());
        JournalQuery words;
        words.words = QStringLiteral("визит");
        QCOMPARE(journal.find(words).size(), 1);
        StoredOrder order;
        QVERIFY(OrderStore(connection).load(QStringLiteral("open-order"), &order));
        QCOMPARE(order.lines.size(), 1);
        QVERIFY(order.customer.isNull());

        CustomerStore store(connection);
        Customer firm = organisation(QStringLiteral("ООО «Ромашка»"), QStringLiteral("7707083893"),
                                     QString());
        QCOMPARE(store.save(&firm, QStringLiteral("t")), CustomerSaveResult::Saved);
        QCOMPARE(journal.storeInvoice(
                     invoiceFor(QStringLiteral("new"), firm, QDateTime::currentDateTime()), 1),
                 43);
        QCOMPARE(store.invoices(firm.id).size(), 1);
    }

    // Two counters on one cluster, each through its own link: what one stores the other finds,
    // and the same customer stored at the second is offered as the first one's card.
    void twoCountersShareTheCustomers()
    {
        const DatabaseUrl url = freshDatabase(QStringLiteral("postgres"));
        QTemporaryDir home;
        QVector<ShopLink *> links;
        for (const QString &counter : {QStringLiteral("стойка-1"), QStringLiteral("стойка-2")}) {
            const QString settings = home.filePath(counter + QStringLiteral(".ini"));
            Settings written(settings);
            written.setCounterName(counter);
            QVERIFY(written.sync());
            links.append(new ShopLink(url, home.filePath(counter + QStringLiteral(".sqlite")),
                                      settings, this));
        }
        QTRY_VERIFY(links.at(0)->reachable() && links.at(1)->reachable());

        Customer firm = organisation(QStringLiteral("ООО «Ромашка»"), QStringLiteral("7707083893"),
                                     QStringLiteral("770701001"));
        CustomerSaveResult result = CustomerSaveResult::Failed;
        Customer saved;
        bool answered = false;
        links.at(0)->saveCustomer(firm, this,
                                  [&](CustomerSaveResult r, const Customer &s,
                                      const QVector<CustomerProblem> &, const Customer &,
                                      const QString &) {
                                      result = r;
                                      saved = s;
                                      answered = true;
                                  });
        QTRY_VERIFY(answered);
        QCOMPARE(result, CustomerSaveResult::Saved);
        QCOMPARE(saved.createdAt, QStringLiteral("стойка-1"));

        QVector<Customer> seen;
        answered = false;
        links.at(1)->findCustomers(QStringLiteral("ром"), 10, this,
                                   [&](const QVector<Customer> &found, const QString &) {
                                       seen = found;
                                       answered = true;
                                   });
        QTRY_VERIFY(answered);
        QCOMPARE(names(seen), QStringList {QStringLiteral("ООО «Ромашка»")});

        Customer existing;
        answered = false;
        Customer again = firm;
        again.shortName = QStringLiteral("Ромашка");
        links.at(1)->saveCustomer(again, this,
                                  [&](CustomerSaveResult r, const Customer &,
                                      const QVector<CustomerProblem> &, const Customer &e,
                                      const QString &) {
                                      result = r;
                                      existing = e;
                                      answered = true;
                                  });
        QTRY_VERIFY(answered);
        QCOMPARE(result, CustomerSaveResult::Duplicate);
        QCOMPARE(existing.id, saved.id);

        bool found = false;
        QVector<CustomerInvoice> history {{1, {}, 0.0, false}};
        answered = false;
        links.at(1)->loadCustomer(saved.id, this,
                                  [&](bool f, const Customer &c,
                                      const QVector<CustomerInvoice> &invoices, const QString &) {
                                      found = f && c.id == saved.id;
                                      history = invoices;
                                      answered = true;
                                  });
        QTRY_VERIFY(answered);
        QVERIFY(found);
        QVERIFY(history.isEmpty());
        qDeleteAll(links);
    }
};

QTEST_GUILESS_MAIN(CustomerStoreTest)
#include "test_customer_store.moc"
