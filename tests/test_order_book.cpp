// The taken orders in the shop's database: taking, revising, the status rules with their history
// and the "ready" mail, payments and the balance to the kopeck, the board's filters and search,
// the bank statement in each encoding imported twice, the upgrade of a database of the version
// before, and two counters sharing one PostgreSQL cluster.
#include "tests/older_database.h"
#include "tests/pg_cluster.h"

#include "customers/customer.h"
#include "storage/connection.h"
#include "storage/customer_store.h"
#include "storage/journal.h"
#include "storage/order_book.h"
#include "storage/records.h"
#include "storage/schema.h"
#include "storage/settings.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

using Steps = QVector<QPair<qint64, QString>>; // an amount in kopecks and a refund's reason
Q_DECLARE_METATYPE(Steps)
Q_DECLARE_METATYPE(QVector<qint64>)

namespace {

const QString ShopAccount = QStringLiteral("40702810900000000001");
const QDateTime Taken(QDate(2026, 3, 2), QTime(10, 0));

OrderLine line(const QString &description, const QString &quantity, const QString &price)
{
    OrderLine result;
    result.description = description;
    result.quantity = quantity;
    result.unitPrice = price;
    return result;
}

Customer firm()
{
    Customer customer;
    customer.kind = Customer::Organisation;
    customer.shortName = QStringLiteral("ООО «Ромашка»");
    customer.inn = QStringLiteral("7707083893");
    customer.phone = QStringLiteral("+7 912 345-67-89");
    return customer;
}

Customer walkIn(const QString &name)
{
    Customer customer;
    customer.kind = Customer::Person;
    customer.shortName = name;
    return customer;
}

// An order of one line: 1000 × 1 is 1180.00 with the tax.
OrderIntake intake(const QString &uid, const QVector<OrderLine> &lines,
                   const Customer &customer = Customer(), const QDateTime &due = Taken.addDays(1))
{
    OrderIntake order;
    order.draft.orderUid = uid;
    order.draft.created = Taken;
    order.draft.counter = QStringLiteral("стойка-1");
    order.draft.lines = lines;
    order.draft.customer = customer;
    order.due = due;
    order.note = QStringLiteral("ламинация с двух сторон");
    return order;
}

QStringList statusWords(const QVector<StatusChange> &changes)
{
    QStringList words;
    for (const StatusChange &change : changes)
        words << (change.taking ? QStringLiteral("—") : statusWord(change.from))
                + QStringLiteral("→") + statusWord(change.to);
    return words;
}

QVector<qint64> numbers(const QVector<TakenOrder> &orders)
{
    QVector<qint64> result;
    for (const TakenOrder &order : orders)
        result << order.number;
    return result;
}

// One document of a statement, as a bank writes its keys.
QString document(const QString &number, const QString &sum, const QString &payerInn,
                 const QString &recipient, const QString &purpose, bool incoming = true)
{
    return QStringLiteral("СекцияДокумент=Платежное поручение\nНомер=%1\nДата=03.03.2026\n"
                          "Сумма=%2\nПлательщикСчет=40702810400000000002\nПлательщик1=Плательщик "
                          "%3\nПлательщикИНН=%3\nПолучательСчет=%4\n%5\nНазначениеПлатежа=%6\n"
                          "КонецДокумента\n")
        .arg(number, sum, payerInn, recipient,
             incoming ? QStringLiteral("ДатаПоступило=03.03.2026")
                      : QStringLiteral("ДатаСписано=03.03.2026"),
             purpose);
}

} // namespace

class OrderBookTest : public QObject
{
    Q_OBJECT

    PgCluster cluster;
    QTemporaryDir dir;
    int databases = 0;

    DatabaseUrl freshDatabase(const QString &kind = QStringLiteral("sqlite"))
    {
        const QString name = QStringLiteral("b%1").arg(++databases);
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

    static OrderStatus statusNamed(const QString &word)
    {
        OrderStatus found = OrderStatus::Accepted;
        if (!statusFromWord(word, &found))
            qFatal("no status %s", qPrintable(word));
        return found;
    }

private slots:
    // A customer's card lists each of their orders with its status and payment, and what they
    // owe of the orders neither cancelled nor void.
    void customerHistory_data()
    {
        QTest::addColumn<QString>("status");
        QTest::addColumn<qint64>("paid");
        QTest::addColumn<bool>("voided");
        QTest::addColumn<QString>("mark");
        QTest::addColumn<qint64>("owed");
        const auto row = [](const char *tag, const char *status, qint64 paid, bool voided,
                            const char *mark, qint64 owed) {
            QTest::newRow(tag) << QString::fromUtf8(status) << paid << voided
                               << QString::fromUtf8(mark) << owed;
        };
        row("taken, nothing paid", "", 0, false, "Принят · не оплачен", 118000);
        row("in work, partly paid", "в работе", 50000, false, "В работе · частично", 68000);
        row("handed over, paid", "выдан", 118000, false, "Выдан · оплачен", 0);
        row("more than owed: refused at the counter", "", 120000, false, "Принят · не оплачен",
            118000);
        row("cancelled owes nothing", "отменён", 0, false, "Отменён", 0);
        row("void owes nothing", "", 0, true, "аннулирован", 0);
    }

    void customerHistory()
    {
        QFETCH(QString, status);
        QFETCH(qint64, paid);
        QFETCH(bool, voided);
        QFETCH(QString, mark);
        QFETCH(qint64, owed);
        Connection connection;
        QVERIFY(connection.open(freshDatabase(), QStringLiteral("t")));
        CustomerStore customers(connection);
        Customer customer = firm();
        QCOMPARE(customers.save(&customer, QStringLiteral("t")), CustomerSaveResult::Saved);
        OrderBook book(connection);
        // A plain invoice of theirs beside the order: listed, owing nothing.
        InvoiceDraft plain;
        plain.orderUid = QStringLiteral("plain");
        plain.created = Taken;
        plain.counter = QStringLiteral("стойка-1");
        plain.lines = {line(QStringLiteral("Листовки"), QStringLiteral("1"), QStringLiteral("10"))};
        plain.customer = customer;
        QCOMPARE(Journal(connection).storeInvoice(plain, 1), 1);
        const qint64 number = book.take(
            intake(QStringLiteral("o"),
                   {line(QStringLiteral("Визитки"), QStringLiteral("1"), QStringLiteral("1000"))},
                   customer),
            1);
        QCOMPARE(number, 2);
        if (paid > 0) {
            Payment payment;
            payment.kopecks = paid;
            QCOMPARE(book.addPayment(number, payment).done(), paid <= 118000);
        }
        if (!status.isEmpty())
            QVERIFY(book.changeStatus(number, statusNamed(status), QStringLiteral("причина"), true,
                                      QStringLiteral("стойка-1"), Taken.addSecs(60))
                        .done());
        if (voided) {
            QSqlQuery query(connection.database());
            QVERIFY(query.exec(QStringLiteral("UPDATE invoice SET is_void = 1 WHERE number = 2")));
        }
        const QVector<CustomerInvoice> history = customers.invoices(customer.id);
        QCOMPARE(history.size(), 2);
        QCOMPARE(history.at(0).mark(), mark);
        QCOMPARE(history.at(1).mark(), QString());
        QCOMPARE(owedKopecks(history), owed);
    }

    void initTestCase() { QVERIFY2(cluster.start(), qPrintable(cluster.error)); }
    void cleanupTestCase() { cluster.stop(); }

    // Taking twice gives one number; the prepayment is the first payment, the first status has
    // nothing before it; the invoice is the journal's.
    void takeOnce()
    {
        Connection connection;
        QVERIFY(connection.open(freshDatabase(), QStringLiteral("t")));
        OrderBook book(connection);
        OrderIntake order = intake(
            QStringLiteral("u1"),
            {line(QStringLiteral("Визитки"), QStringLiteral("1"), QStringLiteral("1000"))}, firm());
        order.prepaymentKopecks = 50000;
        order.prepaymentMethod = PaymentMethod::Card;
        QCOMPARE(book.take(order, 1042), 1042);
        QCOMPARE(book.take(order, 1042), 1042);
        QCOMPARE(book.take(intake(QStringLiteral("u2"),
                                  {line(QStringLiteral("Листовки"), QStringLiteral("1"),
                                        QStringLiteral("10"))}),
                           1),
                 1043);
        OrderDetails details;
        QVERIFY(book.load(1042, &details));
        QCOMPARE(details.order.status, OrderStatus::Accepted);
        QCOMPARE(details.order.due, QDateTime(QDate(2026, 3, 3), QTime(10, 0)));
        QCOMPARE(details.order.note, QStringLiteral("ламинация с двух сторон"));
        QCOMPARE(details.order.source, QStringLiteral("стойка"));
        QCOMPARE(details.order.phone, QStringLiteral("+7 912 345-67-89"));
        QCOMPARE(details.order.totalKopecks, 118000);
        QCOMPARE(details.order.paidKopecks, 50000);
        QCOMPARE(details.payments.size(), 1);
        QCOMPARE(details.payments.first().method, PaymentMethod::Card);
        QCOMPARE(details.payments.first().reason, QStringLiteral("Предоплата"));
        QCOMPARE(statusWords(details.changes), QStringList {QStringLiteral("—→принят")});
        QCOMPARE(details.invoice.summary.customer.name(), QStringLiteral("ООО «Ромашка»"));
        JournalCounts counts;
        QVERIFY(Journal(connection).counts(&counts));
        QCOMPARE(counts.invoices, 2);
    }

    void statusRules_data()
    {
        QTest::addColumn<QStringList>("before"); // reached first, forced where needed
        QTest::addColumn<qint64>("paid");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("force");
        QTest::addColumn<bool>("done");
        QTest::addColumn<qint64>("owed");
        QTest::addColumn<QString>("status"); // after the attempt
        QTest::newRow("forward, skipping") << QStringList {} << 0LL << "готов"
                                           << "" << false << true << 0LL << "готов";
        QTest::newRow("back one step")
            << QStringList {QStringLiteral("в работе"), QStringLiteral("готов")} << 0LL
            << QStringLiteral("в работе") << "" << false << true << 0LL << "в работе";
        QTest::newRow("back two steps")
            << QStringList {QStringLiteral("в работе"), QStringLiteral("готов")} << 0LL
            << QStringLiteral("принят") << "" << false << false << 0LL << "готов";
        QTest::newRow("cancelled without a reason") << QStringList {} << 0LL << "отменён"
                                                    << " " << false << false << 0LL << "принят";
        QTest::newRow("cancelled with a reason")
            << QStringList {QStringLiteral("в работе")} << 0LL << QStringLiteral("отменен")
            << "передумал" << false << true << 0LL << "отменён";
        QTest::newRow("nothing after cancelled")
            << QStringList {QStringLiteral("отменён")} << 0LL << QStringLiteral("принят") << ""
            << false << false << 0LL << "отменён";
        QTest::newRow("handed over owing")
            << QStringList {QStringLiteral("готов")} << 100050LL << QStringLiteral("выдан") << ""
            << false << false << 17950LL << "готов";
        QTest::newRow("handed over owing, forced")
            << QStringList {QStringLiteral("готов")} << 100050LL << QStringLiteral("выдан") << ""
            << true << true << 0LL << "выдан";
        QTest::newRow("handed over paid") << QStringList {} << 118000LL << "выдан"
                                          << "" << false << true << 0LL << "выдан";
        QTest::newRow("more than owed refused, handed over with the debt")
            << QStringList {} << 120000LL << "выдан"
            << "" << false << false << 118000LL << "принят";
        QTest::newRow("nothing after handed over")
            << QStringList {QStringLiteral("выдан")} << 0LL << QStringLiteral("готов") << "" << true
            << false << 0LL << "выдан";
    }
    void statusRules()
    {
        QFETCH(QStringList, before);
        QFETCH(qint64, paid);
        QFETCH(QString, to);
        QFETCH(QString, reason);
        QFETCH(bool, force);
        QFETCH(bool, done);
        QFETCH(qint64, owed);
        QFETCH(QString, status);
        Connection connection;
        QVERIFY(connection.open(freshDatabase(), QStringLiteral("t")));
        OrderBook book(connection);
        const qint64 number = book.take(
            intake(QStringLiteral("s"),
                   {line(QStringLiteral("Визитки"), QStringLiteral("1"), QStringLiteral("1000"))}),
            1);
        QVERIFY(number > 0);
        if (paid > 0) {
            Payment payment;
            payment.kopecks = paid;
            QCOMPARE(book.addPayment(number, payment).done(), paid <= 118000);
        }
        const QDateTime at = Taken.addSecs(60);
        for (const QString &step : before)
            QVERIFY(book.changeStatus(number, statusNamed(step), QStringLiteral("причина"), true,
                                      QStringLiteral("стойка-2"), at)
                        .done());
        const OrderAnswer answer = book.changeStatus(number, statusNamed(to), reason, force,
                                                     QStringLiteral("стойка-2"), at);
        QCOMPARE(answer.done(), done);
        QCOMPARE(answer.owedKopecks, owed);
        QVERIFY2(done == answer.message.isEmpty(), qPrintable(answer.message));
        OrderDetails details;
        QVERIFY(book.load(number, &details));
        QCOMPARE(statusWord(details.order.status), status);
        // Every change kept, and only the ones made.
        QCOMPARE(details.changes.size(), 1 + before.size() + (done ? 1 : 0));
        if (done) {
            QCOMPARE(details.changes.last().counter, QStringLiteral("стойка-2"));
            QCOMPARE(details.changes.last().time, at);
            QCOMPARE(details.changes.last().reason, reason.trimmed());
        }
    }

    void paymentsAndBalance_data()
    {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("price");
        QTest::addColumn<Steps>("payments");
        QTest::addColumn<int>("refused"); // how many of them
        QTest::addColumn<qint64>("total");
        QTest::addColumn<qint64>("paid");
        QTest::addColumn<QString>("state");
        QTest::newRow("nothing paid") << "1"
                                      << "1000" << Steps {} << 0 << 118000LL << 0LL << "не оплачен";
        QTest::newRow("partly, in two")
            << "1" << QStringLiteral("1000")
            << Steps {{50000, QStringLiteral("")}, {10050, QStringLiteral("")}} << 0 << 118000LL
            << 60050LL << QStringLiteral("частично");
        QTest::newRow("to the kopeck")
            << "3" << QStringLiteral("333.33")
            << Steps {{100000, QStringLiteral("")}, {17999, QStringLiteral("")}} << 0 << 117999LL
            << 117999LL << "оплачен";
        QTest::newRow("more than owed")
            << "1" << QStringLiteral("1000") << Steps {{120000, QStringLiteral("")}} << 1
            << 118000LL << 0LL << "не оплачен";
        QTest::newRow("a kopeck past the balance after a part")
            << "1" << QStringLiteral("1000")
            << Steps {{100000, QStringLiteral("")}, {18001, QStringLiteral("")}} << 1 << 118000LL
            << 100000LL << "частично";
        QTest::newRow("the balance to the kopeck, then a refund")
            << "1" << QStringLiteral("1000")
            << Steps {{100000, QStringLiteral("")},
                      {18000, QStringLiteral("")},
                      {-2000, QStringLiteral("брак")}}
            << 0 << 118000LL << 116000LL << "частично";
        QTest::newRow("past the largest sum") << "1" << QStringLiteral("1000")
                                              << Steps {{10000000000000LL, QStringLiteral("")},
                                                        {-10000000000000LL, QStringLiteral("брак")}}
                                              << 2 << 118000LL << 0LL << "не оплачен";
        QTest::newRow("refund without a reason")
            << "1" << QStringLiteral("1000")
            << Steps {{50000, QStringLiteral("")}, {-2000, QStringLiteral("")}} << 1 << 118000LL
            << 50000LL << QStringLiteral("частично");
        QTest::newRow("refund beyond what was paid")
            << "1" << QStringLiteral("1000")
            << Steps {{1000, QStringLiteral("")}, {-2000, QStringLiteral("брак")}} << 1 << 118000LL
            << 1000LL << "частично";
        QTest::newRow("nothing") << "1" << QStringLiteral("1000") << Steps {{0, QStringLiteral("")}}
                                 << 1 << 118000LL << 0LL << "не оплачен";
    }
    void paymentsAndBalance()
    {
        QFETCH(QString, quantity);
        QFETCH(QString, price);
        QFETCH(Steps, payments);
        QFETCH(int, refused);
        QFETCH(qint64, total);
        QFETCH(qint64, paid);
        QFETCH(QString, state);
        Connection connection;
        QVERIFY(connection.open(freshDatabase(), QStringLiteral("t")));
        OrderBook book(connection);
        const qint64 number = book.take(
            intake(QStringLiteral("p"), {line(QStringLiteral("Листовки"), quantity, price)}), 1);
        int refusals = 0;
        for (const auto &[kopecks, reason] : payments) {
            Payment payment;
            payment.kopecks = kopecks;
            payment.reason = reason;
            payment.method = PaymentMethod::Cash;
            const OrderAnswer answer = book.addPayment(number, payment);
            refusals += answer.outcome == OrderOutcome::Refused ? 1 : 0;
        }
        QCOMPARE(refusals, refused);
        const QVector<TakenOrder> listed = book.list(OrderQuery());
        QCOMPARE(listed.size(), 1);
        QCOMPARE(listed.first().totalKopecks, total);
        QCOMPARE(listed.first().paidKopecks, paid);
        QCOMPARE(listed.first().balanceKopecks(), total - paid);
        QCOMPARE(paymentStateWord(listed.first().paymentState()), state);
        // Paid only by payments: the database refuses a paid sum set by hand.
        QSqlQuery query(connection.database());
        QVERIFY(
            !query.exec(QStringLiteral("UPDATE taken_order SET paid_kopecks = paid_kopecks + 1")));
    }

    // An order paid before its payments were kept one by one keeps what it was paid, and its
    // next payments add to it.
    void paidBeforeTheUpgradeKept_data() { bothDatabases(); }
    void paidBeforeTheUpgradeKept()
    {
        QFETCH(QString, database);
        const DatabaseUrl url = freshDatabase(database);
        const QString problem = makeDatabaseBefore(
            url, 17,
            {QStringLiteral("INSERT INTO invoice (number, order_uid, created, counter, line_count, "
                            "subtotal, tax, total, template_path, is_void, search_text) VALUES "
                            "(5, 'o5', '2026-11-30 15:00:00', 'стойка-1', 1, 1000, 180, 1180, "
                            "'', 0, 'Визитки')"),
             QStringLiteral("INSERT INTO taken_order (invoice_number, status, due, note, source, "
                            "created, counter, changed, customer_phone, customer_email, "
                            "phone_digits, search_name, paid_kopecks) VALUES (5, 0, "
                            "'2026-12-02 12:00:00', '', 'стойка', '2026-11-30 15:00:00', "
                            "'стойка-1', '2026-11-30 15:00:00', '', '', '', '', 30000)")});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        Connection connection;
        QVERIFY2(connection.open(url, QStringLiteral("t")), qPrintable(connection.errorText()));
        OrderBook book(connection);
        Payment payment;
        payment.kopecks = 10000;
        QVERIFY2(book.addPayment(5, payment).done(), qPrintable(connection.errorText()));
        OrderDetails details;
        QVERIFY(book.load(5, &details));
        QCOMPARE(details.order.paidKopecks, 40000LL);
        QCOMPARE(details.order.balanceKopecks(), 78000LL);
    }

    // A change is the next revision: number, payments and status kept, the earlier lines still
    // there, the journal's load and search the latest.
    void revisions()
    {
        Connection connection;
        QVERIFY(connection.open(freshDatabase(), QStringLiteral("t")));
        OrderBook book(connection);
        OrderIntake order = intake(
            QStringLiteral("r"),
            {line(QStringLiteral("Визитки"), QStringLiteral("1"), QStringLiteral("1000"))});
        order.prepaymentKopecks = 30000;
        const qint64 number = book.take(order, 7);
        QVERIFY(book.changeStatus(number, OrderStatus::InWork, QString(), false,
                                  QStringLiteral("стойка-1"), Taken)
                    .done());
        OrderIntake change
            = intake(QStringLiteral("r"),
                     {line(QStringLiteral("Баннер"), QStringLiteral("2"), QStringLiteral("500")),
                      line(QStringLiteral("Люверсы"), QStringLiteral("8"), QStringLiteral("25"))},
                     walkIn(QStringLiteral("Иван Петров")), Taken.addDays(3));
        change.note = QStringLiteral("срочно");
        change.phone = QStringLiteral("8 (903) 111-22-33");
        QVERIFY(book.revise(number, change).done());
        QVERIFY(book.revise(number, change).done());
        OrderDetails details;
        QVERIFY(book.load(number, &details));
        QCOMPARE(details.order.number, 7);
        QCOMPARE(details.order.revision, 3);
        QCOMPARE(details.order.status, OrderStatus::InWork);
        QCOMPARE(details.order.paidKopecks, 30000);
        QCOMPARE(details.order.totalKopecks, 141600);
        QCOMPARE(details.order.due, Taken.addDays(3));
        QCOMPARE(details.order.note, QStringLiteral("срочно"));
        QCOMPARE(details.invoice.lines.size(), 2);
        QCOMPARE(details.invoice.summary.customer.name(), QStringLiteral("Иван Петров"));
        Journal journal(connection);
        QVector<OrderLine> first;
        QVERIFY(journal.loadLines(number, 1, &first));
        QCOMPARE(first.size(), 1);
        QCOMPARE(first.first().description, QStringLiteral("Визитки"));
        JournalQuery words;
        words.words = QStringLiteral("люверс");
        QCOMPARE(journal.find(words).size(), 1);
        words.words = QStringLiteral("визитки");
        QCOMPARE(journal.find(words).size(), 0);
        OrderQuery phone;
        phone.text = QStringLiteral("111-22");
        QCOMPARE(numbers(book.list(phone)), QVector<qint64> {7});
        JournalCounts counts;
        QVERIFY(journal.counts(&counts));
        QCOMPARE(counts.lines, 2);
        // Taking it again after the change is a retry: nothing is replaced.
        QCOMPARE(book.take(order, 1), 7);
        QVERIFY(book.load(number, &details));
        QCOMPARE(details.order.revision, 3);
        QCOMPARE(details.invoice.lines.size(), 2);

        QVERIFY(book.changeStatus(number, OrderStatus::Cancelled, QStringLiteral("передумал"),
                                  false, QStringLiteral("стойка-1"), Taken)
                    .done());
        QCOMPARE(book.revise(number, change).outcome, OrderOutcome::Refused);
        QCOMPARE(book.revise(99, change).outcome, OrderOutcome::NotFound);
    }

    void readyMail_data()
    {
        QTest::addColumn<QString>("orderEmail");
        QTest::addColumn<QString>("cardEmail");
        QTest::addColumn<QString>("recipient"); // empty: no mail
        QTest::newRow("no e-mail") << ""
                                   << ""
                                   << "";
        QTest::newRow("typed at the counter") << "ivan@example.ru"
                                              << ""
                                              << "ivan@example.ru";
        QTest::newRow("the card's, as it is now") << "old@example.ru"
                                                  << "new@example.ru"
                                                  << "new@example.ru";
    }
    void readyMail()
    {
        QFETCH(QString, orderEmail);
        QFETCH(QString, cardEmail);
        QFETCH(QString, recipient);
        Connection connection;
        QVERIFY(connection.open(freshDatabase(), QStringLiteral("t")));
        Customer customer = firm();
        if (!cardEmail.isEmpty()) {
            customer.email = QStringLiteral("old@example.ru");
            QCOMPARE(CustomerStore(connection).save(&customer, QStringLiteral("t")),
                     CustomerSaveResult::Saved);
            customer.email = cardEmail;
            QCOMPARE(CustomerStore(connection).save(&customer, QStringLiteral("t")),
                     CustomerSaveResult::Saved);
        }
        OrderBook book(connection);
        book.setShopContacts({QStringLiteral("Типография «Оттиск»"),
                              QStringLiteral("ул. Ленина, 1"), QStringLiteral("пн–пт 9–19")});
        OrderIntake order
            = intake(QStringLiteral("m"),
                     {line(QStringLiteral("Визитки"), QStringLiteral("1"), QStringLiteral("1000"))},
                     customer);
        order.email = orderEmail;
        order.prepaymentKopecks = 18000;
        const qint64 number = book.take(order, 1042);
        const OrderAnswer answer = book.changeStatus(number, OrderStatus::Ready, QString(), false,
                                                     QStringLiteral("стойка-1"), Taken);
        QVERIFY(answer.done());
        QCOMPARE(answer.mailQueued, !recipient.isEmpty());
        const QVector<QueuedMail> mails = book.mails(number);
        QCOMPARE(mails.size(), recipient.isEmpty() ? 0 : 1);
        if (recipient.isEmpty())
            return;
        QCOMPARE(mails.first().recipient, recipient);
        QCOMPARE(mails.first().subject, QStringLiteral("Заказ № 1042 готов"));
        QCOMPARE(mails.first().state, QueuedMail::Waiting);
        QCOMPARE(
            mails.first().body,
            QStringLiteral(
                "Здравствуйте!\n\nВаш заказ № 1042 готов.\nК оплате при "
                "получении: 1\u00A0000 ₽.\nАдрес: ул. Ленина, 1\nЧасы "
                "работы: "
                "пн–пт 9–19\n\nТипография «Оттиск»\n"));
    }

    void listFilters_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVector<qint64>>("found");
        // 1 принят, due 2 March; 2 в работе, 3 March 12:00, partly paid; 3 готов, 3 March 18:00,
        // paid; 4 выдан, 1 March; 5 отменён, 4 March; 6 принят, 5 March, its invoice voided by
        // hand (nothing owed). Now is 3 March 13:00.
        using N = QVector<qint64>;
        QTest::newRow("all, by due time") << ""
                                          << "" << N {4, 1, 2, 3, 5, 6};
        QTest::newRow("open") << "open"
                              << "" << N {1, 2, 3, 6};
        QTest::newRow("one status") << "in work"
                                    << "" << N {2};
        QTest::newRow("due on a day") << "due"
                                      << "" << N {2, 3};
        QTest::newRow("overdue") << "overdue"
                                 << "" << N {1, 2};
        QTest::newRow("unpaid") << "unpaid"
                                << "" << N {1, 2};
        QTest::newRow("number") << ""
                                << "3" << N {3};
        QTest::newRow("customer's name") << ""
                                         << "ромаш" << N {1};
        QTest::newRow("customer's full name") << ""
                                              << "общество" << N {1};
        QTest::newRow("phone's tail") << ""
                                      << "111-22" << N {2};
        QTest::newRow("phone with 8") << ""
                                      << "8 903 111 22 33" << N {2};
        QTest::newRow("words of the lines") << ""
                                            << "банн" << N {2};
        QTest::newRow("words, open only") << "open"
                                          << "визит" << N {1};
        QTest::newRow("nothing") << ""
                                 << "самокат" << N {};
    }
    void listFilters()
    {
        QFETCH(QString, view);
        QFETCH(QString, text);
        QFETCH(QVector<qint64>, found);
        static Connection connection;
        if (!connection.isOpen()) {
            QVERIFY(connection.open(freshDatabase(), QStringLiteral("t")));
            OrderBook book(connection);
            Customer named = firm();
            named.fullName = QStringLiteral("Общество с ограниченной ответственностью «Ромашка»");
            Customer ivan = walkIn(QStringLiteral("Иван Петров"));
            ivan.phone = QStringLiteral("8 (903) 111-22-33");
            const QDate march(2026, 3, 1);
            const struct
            {
                const char *line;
                Customer customer;
                QDateTime due;
                qint64 paid;
                const char *status;
                bool voided = false;
            } orders[]
                = {{"Визитки", named, QDateTime(march.addDays(1), QTime(12, 0)), 0, ""},
                   {"Баннер", ivan, QDateTime(march.addDays(2), QTime(12, 0)), 10000, "в работе"},
                   {"Листовки", Customer(), QDateTime(march.addDays(2), QTime(18, 0)), 118000,
                    "готов"},
                   {"Визитки", Customer(), QDateTime(march, QTime(10, 0)), 118000, "выдан"},
                   {"Буклеты", Customer(), QDateTime(march.addDays(3), QTime(12, 0)), 0, "отменён"},
                   {"Плакаты", Customer(), QDateTime(march.addDays(4), QTime(12, 0)), 0, "", true}};
            int uid = 0;
            for (const auto &order : orders) {
                const qint64 number
                    = book.take(intake(QString::number(++uid),
                                       {line(QString::fromUtf8(order.line), QStringLiteral("1"),
                                             QStringLiteral("1000"))},
                                       order.customer, order.due),
                                1);
                QVERIFY(number > 0);
                Payment payment;
                payment.kopecks = order.paid;
                if (order.paid > 0)
                    QVERIFY(book.addPayment(number, payment).done());
                if (*order.status)
                    QVERIFY(book.changeStatus(number, statusNamed(QString::fromUtf8(order.status)),
                                              QStringLiteral("причина"), false,
                                              QStringLiteral("стойка-1"), Taken)
                                .done());
                if (order.voided)
                    QCOMPARE(Journal(connection).voidByHand(number, {QStringLiteral("ошибка")}),
                             VoidOutcome::Done);
            }
        }
        OrderQuery query;
        query.now = QDateTime(QDate(2026, 3, 3), QTime(13, 0));
        query.text = text;
        query.openOnly = view == QLatin1String("open");
        query.overdueOnly = view == QLatin1String("overdue");
        query.unpaidOnly = view == QLatin1String("unpaid");
        if (view == QLatin1String("due"))
            query.dueDay = QDate(2026, 3, 3);
        if (view == QLatin1String("in work")) {
            query.anyStatus = false;
            query.status = OrderStatus::InWork;
        }
        bool ok = false;
        QCOMPARE(numbers(OrderBook(connection).list(query, &ok)), found);
        QVERIFY(ok);
    }

    void statement_data()
    {
        QTest::addColumn<QByteArray>("codec"); // empty: UTF-8 with its byte-order mark
        QTest::addColumn<QString>("declared");
        QTest::newRow("Windows-1251") << QByteArray("Windows-1251") << "Windows";
        QTest::newRow("CP866") << QByteArray("IBM866") << "DOS";
        QTest::newRow("UTF-8 with a BOM") << QByteArray() << "UTF-8";
    }
    void statement()
    {
        QFETCH(QByteArray, codec);
        QFETCH(QString, declared);
        Connection connection;
        QVERIFY(connection.open(freshDatabase(), QStringLiteral("t")));
        OrderBook book(connection);
        // 1042 for the firm, 1043 and 1044 for nobody in particular; each 1180.00.
        QCOMPARE(book.take(intake(QStringLiteral("a"),
                                  {line(QStringLiteral("Визитки"), QStringLiteral("1"),
                                        QStringLiteral("1000"))},
                                  firm()),
                           1042),
                 1042);
        QCOMPARE(book.take(intake(QStringLiteral("b"),
                                  {line(QStringLiteral("Баннер"), QStringLiteral("1"),
                                        QStringLiteral("1000"))}),
                           1),
                 1043);
        QCOMPARE(book.take(intake(QStringLiteral("c"),
                                  {line(QStringLiteral("Листовки"), QStringLiteral("1"),
                                        QStringLiteral("1000"))}),
                           1),
                 1044);
        const QString text
            = QStringLiteral("1CClientBankExchange\nВерсияФормата=1.03\nКодировка=%1\n"
                             "РасчСчет=%2\nСекцияРасчСчет\nНачальныйОстаток=0.00\nКонецРасчСчет\n")
                  .arg(declared, ShopAccount)
            + document(QStringLiteral("11"), QStringLiteral("1180.00"),
                       QStringLiteral("7707083893"), ShopAccount,
                       QStringLiteral("Оплата по счёту № 1042 от 02.03.2026"))
            + document(QStringLiteral("12"), QStringLiteral("500.00"),
                       QStringLiteral("500100732259"), ShopAccount,
                       QStringLiteral("по сч. 1043, без НДС"))
            + document(QStringLiteral("13"), QStringLiteral("1200.00"), QStringLiteral(""),
                       ShopAccount, QStringLiteral("Оплата счета 1044"))
            + document(QStringLiteral("14"), QStringLiteral("300.00"), QStringLiteral("7707083893"),
                       ShopAccount, QStringLiteral("Оплата по договору 5"))
            + document(QStringLiteral("15"), QStringLiteral("100.00"), QStringLiteral("7736207543"),
                       ShopAccount, QStringLiteral("Оплата по счету 1042"))
            + document(QStringLiteral("16"), QStringLiteral("700.50"), QStringLiteral("7707083893"),
                       QStringLiteral("40702810000000000099"), QStringLiteral("Оплата сч 1042"),
                       false)
            + document(QStringLiteral("11"), QStringLiteral("1180.00"),
                       QStringLiteral("7707083893"), ShopAccount,
                       QStringLiteral("Оплата по счёту № 1042 от 02.03.2026"))
            + QStringLiteral("КонецФайла\n");
        const QByteArray bytes = codec.isEmpty()
            ? QByteArray("\xEF\xBB\xBF") + text.toUtf8()
            : QTextCodec::codecForName(codec)->fromUnicode(text);
        const QStringList first {
            QStringLiteral(
                "Строка 8: № 11 от 03.03.2026 на 1180.00 от Плательщик 7707083893 — счёт № 1042 "
                "оплачен полностью."),
            QStringLiteral(
                "Строка 19: № 12 от 03.03.2026 на 500.00 от Плательщик 500100732259 — счёт № 1043 "
                "оплачен частично, осталось 680.00."),
            QStringLiteral(
                "Строка 30: № 13 от 03.03.2026 на 1200.00 от Плательщик — счёт № 1044 переплачен "
                "на 20.00."),
            QStringLiteral(
                "Строка 41: № 14 от 03.03.2026 на 300.00 от Плательщик 7707083893 — не сопоставлен "
                "(в назначении нет номера счёта): «Оплата по договору 5»."),
            QStringLiteral(
                "Строка 52: № 15 от 03.03.2026 на 100.00 от Плательщик 7736207543 — не сопоставлен "
                "(ИНН плательщика 7736207543 — не ИНН покупателя по счёту № 1042 (7707083893)): "
                "«Оплата по счету 1042»."),
            QStringLiteral(
                "Строка 63: № 16 от 03.03.2026 на 700.50 от Плательщик 7707083893 — не поступление "
                "на счёт магазина, пропущен."),
            QStringLiteral(
                "Строка 74: № 11 от 03.03.2026 на 1180.00 от Плательщик 7707083893 — уже загружен, "
                "повторно не учтён.")};
        for (int round = 1; round <= 2; ++round) {
            const StatementReport report
                = book.importStatement(bytes, ShopAccount, QStringLiteral("стойка-1"), Taken);
            QVERIFY2(report.read, qPrintable(report.problem));
            QStringList told;
            for (const StatementLine &each : report.lines)
                told << statementLineText(each);
            QStringList expected = first;
            // Imported again: what was counted is not counted twice.
            if (round == 2)
                for (int i : {0, 1, 2})
                    expected[i] = expected.at(i).section(QStringLiteral(" — "), 0, 0)
                        + QStringLiteral(" — уже загружен, повторно не учтён.");
            QCOMPARE(told, expected);
            const QVector<TakenOrder> orders = book.list(OrderQuery());
            QCOMPARE(orders.size(), 3);
            QCOMPARE(orders.at(0).paidKopecks, 118000);
            QCOMPARE(orders.at(1).paidKopecks, 50000);
            QCOMPARE(orders.at(2).paidKopecks, 120000);
        }
        OrderDetails details;
        QVERIFY(book.load(1043, &details));
        QCOMPARE(details.payments.size(), 1);
        QCOMPARE(details.payments.first().method, PaymentMethod::Transfer);
        QCOMPARE(details.payments.first().time, QDateTime(QDate(2026, 3, 3), QTime(0, 0)));
        QCOMPARE(details.payments.first().reason,
                 QStringLiteral("Выписка банка: № 12 от 03.03.2026, Плательщик 500100732259"));
    }

    // A file broken after a good document changes nothing, and says where it broke.
    void malformedStatement()
    {
        Connection connection;
        QVERIFY(connection.open(freshDatabase(), QStringLiteral("t")));
        OrderBook book(connection);
        QCOMPARE(book.take(intake(QStringLiteral("a"),
                                  {line(QStringLiteral("Визитки"), QStringLiteral("1"),
                                        QStringLiteral("1000"))}),
                           1042),
                 1042);
        const QString text = QStringLiteral("1CClientBankExchange\nКодировка=Windows\n")
            + document(QStringLiteral("11"), QStringLiteral("1180.00"), QStringLiteral(""),
                       ShopAccount, QStringLiteral("счёт 1042"))
            + QStringLiteral("СекцияДокумент=Платежное поручение\nСумма=много\nКонецФайла\n");
        const StatementReport report
            = book.importStatement(QTextCodec::codecForName("Windows-1251")->fromUnicode(text),
                                   ShopAccount, QStringLiteral("стойка-1"), Taken);
        QVERIFY(!report.read);
        QCOMPARE(report.problem, QStringLiteral("Строка 15: сумма «много» не число с копейками."));
        QVERIFY(report.lines.isEmpty());
        QCOMPARE(book.list(OrderQuery()).first().paidKopecks, 0);
    }

    // A shop database as version 6 left it: its invoice and lines are there after the upgrade,
    // revision 1 of themselves, and the invoice can be taken as an order and revised.
    void upgradeFromTheVersionBefore_data() { bothDatabases(); }
    void upgradeFromTheVersionBefore()
    {
        QFETCH(QString, database);
        const bool sqlite = database == QLatin1String("sqlite");
        const DatabaseUrl url = freshDatabase(database);
        // Version 6, the last before orders were taken.
        QVERIFY(latestSchemaVersion() > 6);
        QStringList rows {
            QStringLiteral("UPDATE invoice_counter SET next_number = 43"),
            QStringLiteral("INSERT INTO invoice (number, order_uid, created, counter, line_count, "
                           "subtotal, tax, total, template_path, is_void, search_text, "
                           "customer_id, customer_name, customer_inn) VALUES (42, 'old-order', "
                           "'2026-11-30 15:00:00', 'стойка-1', 2, 300, 54, 354, '', 0, "
                           "'Визитки\nБланки', 0, 'ООО «Ромашка»', '7707083893')"),
            QStringLiteral("INSERT INTO invoice_line VALUES (42, 0, 'Визитки', '100', '2', "
                           "'00-1-2', 'Формат', 0, '{}', '', 0, 3)"),
            QStringLiteral("INSERT INTO invoice_line VALUES (42, 1, 'Бланки', '10', '10', '', '', "
                           "0, '', '', 0, 0)"),
            QStringLiteral("INSERT INTO invoice_document VALUES (42, 'pdf', '2026-11-30 15:01:00', "
                           "1)")};
        if (sqlite)
            rows << QStringLiteral("INSERT INTO invoice_search (rowid, search_text) VALUES (42, "
                                   "'Визитки Бланки')");
        const QString problem = makeDatabaseBefore(url, 7, rows);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));

        Connection connection;
        QVERIFY2(connection.open(url, QStringLiteral("t")), qPrintable(connection.errorText()));
        QCOMPARE(connection.schemaVersion(), latestSchemaVersion());
        Journal journal(connection);
        InvoiceRecord record;
        QVERIFY(journal.load(42, &record));
        QCOMPARE(record.summary.revision, 1);
        QCOMPARE(record.summary.total, 354.0);
        QCOMPARE(record.documents.size(), 1);
        QCOMPARE(record.lines.size(), 2);
        QCOMPARE(record.lines.at(0).keyText, QStringLiteral("00-1-2"));
        QCOMPARE(record.lines.at(0).priceVersion, 3);
        QCOMPARE(record.lines.at(1).description, QStringLiteral("Бланки"));
        JournalQuery words;
        words.words = QStringLiteral("бланк");
        QCOMPARE(journal.find(words).size(), 1);

        // The issued invoice taken as an order keeps its lines; its change is revision 2.
        OrderBook book(connection);
        OrderIntake order
            = intake(QStringLiteral("old-order"),
                     {line(QStringLiteral("Другое"), QStringLiteral("1"), QStringLiteral("1"))});
        QCOMPARE(book.take(order, 1), 42);
        OrderDetails details;
        QVERIFY(book.load(42, &details));
        QCOMPARE(details.invoice.lines.size(), 2);
        QCOMPARE(details.order.totalKopecks, 35400);
        QVERIFY(book.revise(42, order).done());
        QVERIFY(journal.load(42, &record));
        QCOMPARE(record.summary.revision, 2);
        QCOMPARE(record.lines.size(), 1);
        QVector<OrderLine> first;
        QVERIFY(journal.loadLines(42, 1, &first));
        QCOMPARE(first.size(), 2);
        QCOMPARE(journal.storeInvoice(intake(QStringLiteral("new"),
                                             {line(QStringLiteral("Бланки"), QStringLiteral("1"),
                                                   QStringLiteral("1"))})
                                          .draft,
                                      1),
                 43);
    }

    // What the journal stores is the invoice's foot: the customer's discount first, then the
    // settings' tax of the order's day; the balance follows that "Всего". Lines: 3 × 333,33 and
    // 7 × 12,5 are 1087.49; 500.00 paid beforehand.
    void footOfTheInvoice_data()
    {
        QTest::addColumn<QString>("settings"); // the settings file's tax section
        QTest::addColumn<int>("discount"); // hundredths of a percent
        QTest::addColumn<QString>("rule"); // as stored; empty: no tax in the settings
        QTest::addColumn<double>("subtotal");
        QTest::addColumn<double>("tax");
        QTest::addColumn<double>("total");
        QTest::addColumn<qint64>("balance");
        QTest::addColumn<qint64>("revised"); // 1 × 1000 under settings without the section
        QTest::newRow("no tax section, no discount: the old 18 %")
            << "" << 0 << "" << 1087.49 << 195.75 << 1283.24 << 78324LL << 118000LL;
        QTest::newRow("no tax section, 5 % off, then 18 %")
            << "" << 500 << "" << 1087.49 << 185.96 << 1219.08 << 71908LL << 112100LL;
        QTest::newRow("on top 22 %")
            << "[tax]\nmode=on-top\nrate=22\n"
            << 0 << "on-top 22" << 1087.49 << 239.25 << 1326.74 << 82674LL << 118000LL;
        QTest::newRow("on top 22 %, 5,25 % off")
            << "[tax]\nmode=on-top\nrate=22\n"
            << 525 << "on-top 22" << 1087.49 << 226.69 << 1257.09 << 75709LL << 111805LL;
        QTest::newRow("included 20 %, 10 % off")
            << "[tax]\nmode=included\nrate=20\n"
            << 1000 << "included 20" << 1087.49 << 163.12 << 978.74 << 47874LL << 106200LL;
        QTest::newRow("included 5 %")
            << "[tax]\nmode=included\nrate=5\n"
            << 0 << "included 5" << 1087.49 << 51.79 << 1087.49 << 58749LL << 118000LL;
        QTest::newRow("none, 12,5 % off")
            << "[tax]\nmode=none\nrate=22\n"
            << 1250 << "none 22" << 1087.49 << 0.0 << 951.55 << 45155LL << 103250LL;
        QTest::newRow("changed from the order's day")
            << "[tax]\nmode=on-top\nrate=20\nchangeFrom=2026-03-02\nchangeMode=included\n"
               "changeRate=22\n"
            << 0 << "included 22" << 1087.49 << 196.1 << 1087.49 << 58749LL << 118000LL;
        QTest::newRow("changed from the day after")
            << "[tax]\nmode=on-top\nrate=20\nchangeFrom=2026-03-03\nchangeMode=included\n"
               "changeRate=22\n"
            << 0 << "on-top 20" << 1087.49 << 217.5 << 1304.99 << 80499LL << 118000LL;
    }
    void footOfTheInvoice()
    {
        QFETCH(QString, settings);
        QFETCH(int, discount);
        QFETCH(QString, rule);
        QFETCH(double, subtotal);
        QFETCH(double, tax);
        QFETCH(double, total);
        QFETCH(qint64, balance);
        QFETCH(qint64, revised);
        const QString path = dir.filePath(QStringLiteral("tax-%1.ini").arg(++databases));
        QFile written(path);
        QVERIFY(written.open(QIODevice::WriteOnly));
        written.write(settings.toUtf8());
        written.close();
        Customer customer = firm();
        customer.discountHundredths = discount;
        for (const QString &database : {QStringLiteral("sqlite"), QStringLiteral("postgres")}) {
            Connection connection;
            QVERIFY2(connection.open(freshDatabase(database), QStringLiteral("t")),
                     qPrintable(connection.errorText()));
            OrderBook book(connection);
            book.setTaxSettings(Settings(path).tax());
            OrderIntake order = intake(
                QStringLiteral("f"),
                {line(QStringLiteral("Визитки"), QStringLiteral("3"), QStringLiteral("333,33")),
                 line(QStringLiteral("Бланки"), QStringLiteral("7"), QStringLiteral("12,5"))},
                customer);
            order.prepaymentKopecks = 50000;
            const qint64 number = book.take(order, 1);
            QVERIFY2(number > 0, qPrintable(connection.errorText()));
            OrderDetails details;
            QVERIFY(book.load(number, &details));
            const InvoiceSummary &stored = details.invoice.summary;
            QVERIFY(stored.taxStored);
            QCOMPARE(stored.taxGiven, !rule.isEmpty());
            if (stored.taxGiven)
                QCOMPARE(taxModeWord(stored.taxRule.mode) + QLatin1Char(' ')
                             + QString::number(stored.taxRule.rate),
                         rule);
            QCOMPARE(stored.subtotal, subtotal);
            QCOMPARE(stored.tax, tax);
            QCOMPARE(stored.total, total);
            QCOMPARE(details.order.balanceKopecks(), balance);
            QCOMPARE(book.list(OrderQuery()).first().balanceKopecks(), balance);
            // What the documents print with the same terms.
            QCOMPARE(
                invoiceFoot(details.invoice.lines, footTerms(stored, Settings(path).tax())).total,
                total);

            // Revised under other settings: the revision takes the rule of its own day.
            book.setTaxSettings(TaxSettings());
            OrderIntake change = order;
            change.draft.lines
                = {line(QStringLiteral("Визитки"), QStringLiteral("1"), QStringLiteral("1000"))};
            QVERIFY(book.revise(number, change).done());
            QVERIFY(book.load(number, &details));
            QCOMPARE(details.invoice.summary.taxGiven, false);
            QCOMPARE(details.order.totalKopecks, revised);
            QCOMPARE(details.order.balanceKopecks(), revised - 50000);
        }
    }

    // An invoice keeps the rule it was made with when the settings change after it; one stored
    // before the journal kept rules takes the settings' rule of its own day.
    void rereadAfterTheSettingsChanged()
    {
        Connection connection;
        QVERIFY(connection.open(freshDatabase(), QStringLiteral("t")));
        Journal journal(connection);
        InvoiceDraft draft
            = intake(QStringLiteral("k"),
                     {line(QStringLiteral("Визитки"), QStringLiteral("1"), QStringLiteral("1000"))})
                  .draft;
        TaxSettings then;
        then.given = true;
        then.rule = {TaxMode::Included, 20};
        setTaxOfItsDay(&draft, then);
        const qint64 number = journal.storeInvoice(draft, 1);
        QVERIFY(number > 0);
        TaxSettings now;
        now.given = true;
        now.rule = {TaxMode::OnTop, 22};
        InvoiceRecord record;
        QVERIFY(journal.load(number, &record));
        const FootTerms kept = footTerms(record.summary, now);
        QCOMPARE(kept.tax.mode, TaxMode::Included);
        QCOMPARE(kept.tax.rate, 20);
        QCOMPARE(invoiceFoot(record.lines, kept).total, 1000.0);
        QCOMPARE(journal.find(JournalQuery()).first().taxRule.rate, 20);

        InvoiceSummary before = record.summary;
        before.taxStored = false;
        now.changeFrom = QDate(2026, 3, 3);
        now.change = {TaxMode::None, 0};
        QCOMPARE(footTerms(before, now).tax.rate, 22); // made on 2026-03-02, before the change
        before.created = QDateTime(QDate(2026, 3, 3), QTime(9, 0));
        QCOMPARE(footTerms(before, now).tax.mode, TaxMode::None);
    }

    // A shop database as version 7 left it: every invoice, line, order and payment is there
    // after the upgrade, with its stored totals as they were (the old 18 % on top, the discount
    // ignored) and no rule of its own; the order's balance is the one it had.
    void upgradeFromVersionSeven_data() { bothDatabases(); }
    void upgradeFromVersionSeven()
    {
        QFETCH(QString, database);
        const bool sqlite = database == QLatin1String("sqlite");
        const DatabaseUrl url = freshDatabase(database);
        // Version 7, the last before the tax rules.
        QVERIFY(latestSchemaVersion() > 7);
        QStringList rows {
            QStringLiteral("UPDATE invoice_counter SET next_number = 12"),
            QStringLiteral("INSERT INTO invoice (number, order_uid, created, counter, line_count, "
                           "subtotal, tax, total, template_path, is_void, search_text, "
                           "customer_id, customer_name, customer_inn, customer_discount, "
                           "revision) VALUES (10, 'o10', '2026-11-30 15:00:00', 'стойка-1', 1, "
                           "1000, 180, 1180, '', 0, 'Визитки', 3, 'ООО «Ромашка»', "
                           "'7707083893', 500, 2)"),
            QStringLiteral("INSERT INTO invoice (number, order_uid, created, counter, line_count, "
                           "subtotal, tax, total, template_path, is_void, search_text) VALUES "
                           "(11, 'o11', '2026-12-01 10:00:00', 'стойка-2', 1, 2.5, 0.45, 2.95, "
                           "'', 1, 'Листовки')"),
            QStringLiteral("INSERT INTO invoice_line VALUES (10, 0, 'Визитки', '1', '800', '', '', "
                           "0, '', '', 0, 0, 1)"),
            QStringLiteral("INSERT INTO invoice_line VALUES (10, 0, 'Визитки', '1', '1000', '', "
                           "'', 0, '', '', 0, 0, 2)"),
            QStringLiteral("INSERT INTO invoice_line VALUES (11, 0, 'Листовки', '1', '2,5', '', "
                           "'', 0, '', '', 0, 0, 1)"),
            QStringLiteral("INSERT INTO taken_order (invoice_number, status, due, note, source, "
                           "created, counter, changed, customer_phone, customer_email, "
                           "phone_digits, search_name, paid_kopecks) VALUES (10, 1, "
                           "'2026-12-02 12:00:00', '', 'стойка', '2026-11-30 15:00:00', "
                           "'стойка-1', '2026-11-30 15:00:00', '', '', '', 'ромашка', 30000)"),
            QStringLiteral("INSERT INTO order_payment (invoice_number, kopecks, method, paid_at, "
                           "counter, reason) VALUES (10, 30000, 0, '2026-11-30 15:00:00', "
                           "'стойка-1', 'Предоплата')")};
        if (sqlite)
            rows << QStringLiteral("INSERT INTO invoice_search (rowid, search_text) SELECT number, "
                                   "search_text FROM invoice");
        const QString problem = makeDatabaseBefore(url, 8, rows);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));

        Connection connection;
        QVERIFY2(connection.open(url, QStringLiteral("t")), qPrintable(connection.errorText()));
        QCOMPARE(connection.schemaVersion(), latestSchemaVersion());
        Journal journal(connection);
        const QVector<InvoiceSummary> found = journal.find(JournalQuery());
        QCOMPARE(found.size(), 2);
        for (const InvoiceSummary &invoice : found)
            QVERIFY(!invoice.taxStored && !invoice.taxGiven);
        QCOMPARE(found.at(0).total, 2.95);
        QCOMPARE(found.at(0).isVoid, true);
        QCOMPARE(found.at(1).subtotal, 1000.0);
        QCOMPARE(found.at(1).tax, 180.0);
        QCOMPARE(found.at(1).total, 1180.0);
        QCOMPARE(found.at(1).customer.discountHundredths, 500);
        QVector<OrderLine> first;
        QVERIFY(journal.loadLines(10, 1, &first));
        QCOMPARE(first.value(0).unitPrice, QStringLiteral("800"));
        JournalCounts counts;
        QVERIFY(journal.counts(&counts));
        QCOMPARE(counts.lines, 2);
        OrderBook book(connection);
        OrderDetails details;
        QVERIFY(book.load(10, &details));
        QCOMPARE(details.order.revision, 2);
        QCOMPARE(details.order.status, OrderStatus::InWork);
        QCOMPARE(details.order.totalKopecks, 118000);
        QCOMPARE(details.order.balanceKopecks(), 88000);
        QCOMPARE(details.payments.size(), 1);

        // Its next revision is stored with the rule of its day and the discount it had.
        TaxSettings tax;
        tax.given = true;
        tax.rule = {TaxMode::OnTop, 22};
        book.setTaxSettings(tax);
        OrderIntake change
            = intake(QStringLiteral("o10"),
                     {line(QStringLiteral("Визитки"), QStringLiteral("1"), QStringLiteral("1000"))},
                     details.order.customer);
        const OrderAnswer revised = book.revise(10, change);
        QVERIFY2(revised.done(), qPrintable(revised.message));
        QVERIFY(book.load(10, &details));
        QVERIFY(details.invoice.summary.taxStored);
        QCOMPARE(details.invoice.summary.revision, 3);
        QCOMPARE(details.order.totalKopecks, 115900); // 1000 − 50 = 950, + 209 tax
        QCOMPARE(details.order.balanceKopecks(), 85900);
        QCOMPARE(journal.storeInvoice(intake(QStringLiteral("new"),
                                             {line(QStringLiteral("Бланки"), QStringLiteral("1"),
                                                   QStringLiteral("1"))})
                                          .draft,
                                      1),
                 12);
    }

    // The shop's account from the settings file: 20 digits, its key checked where a БИК is set.
    void settlementAccount_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("problem"); // its beginning; empty: none
        QTest::newRow("absent") << "[requisites]\nname=Оттиск\n"
                                << ""
                                << "В файле настроек %1 не указан расчётный счёт";
        QTest::newRow("without a БИК") << "[requisites]\nsettlementAccount= 40702810900000000001\n"
                                       << "40702810900000000001"
                                       << "";
        QTest::newRow("19 digits") << "[requisites]\nsettlementAccount=4070281093800000000\n"
                                   << "4070281093800000000"
                                   << "Расчётный счёт магазина «4070281093800000000» в файле "
                                      "настроек — не 20 цифр.";
        QTest::newRow("its key holds") << "[requisites]\nsettlementAccount=40702810938000000001\n"
                                          "bik=044525225\n"
                                       << "40702810938000000001"
                                       << "";
        QTest::newRow("its key fails")
            << "[requisites]\nsettlementAccount=40702810838000000001\n"
               "bik=044525225\n"
            << "40702810838000000001"
            << "Расчётный счёт магазина 40702810838000000001 не сходится "
               "с БИК 044525225";
    }
    void settlementAccount()
    {
        QFETCH(QString, file);
        QFETCH(QString, account);
        QFETCH(QString, problem);
        const QString path = dir.filePath(QStringLiteral("settings-%1.ini").arg(++databases));
        QFile written(path);
        QVERIFY(written.open(QIODevice::WriteOnly));
        written.write(file.toUtf8());
        written.close();
        const Settings settings(path);
        QCOMPARE(settings.settlementAccount(), account);
        const QString told = settings.settlementAccountProblem();
        QVERIFY2(problem.isEmpty() ? told.isEmpty() : told.startsWith(problem.arg(path)),
                 qPrintable(told));
    }

    // Two counters on one cluster: what one does to an order the other's list shows.
    void twoCountersOnOneCluster()
    {
        const DatabaseUrl url = freshDatabase(QStringLiteral("postgres"));
        Connection first, second;
        QVERIFY2(first.open(url, QStringLiteral("стойка-1")), qPrintable(first.errorText()));
        QVERIFY2(second.open(url, QStringLiteral("стойка-2")), qPrintable(second.errorText()));
        OrderBook one(first), two(second);
        const qint64 number = one.take(
            intake(QStringLiteral("x"),
                   {line(QStringLiteral("Визитки"), QStringLiteral("1"), QStringLiteral("1000"))}),
            1);
        QCOMPARE(numbers(two.list(OrderQuery())), QVector<qint64> {number});
        QVERIFY(one.changeStatus(number, OrderStatus::Ready, QString(), false,
                                 QStringLiteral("стойка-1"), Taken)
                    .done());
        QCOMPARE(two.list(OrderQuery()).first().status, OrderStatus::Ready);
        Payment payment;
        payment.kopecks = 118000;
        QVERIFY(two.addPayment(number, payment).done());
        QVERIFY(two.changeStatus(number, OrderStatus::HandedOver, QString(), false,
                                 QStringLiteral("стойка-2"), Taken.addSecs(60))
                    .done());
        // The first counter's step back from Готов comes too late: the order is handed over.
        QCOMPARE(one.changeStatus(number, OrderStatus::InWork, QString(), false,
                                  QStringLiteral("стойка-1"), Taken.addSecs(90))
                     .outcome,
                 OrderOutcome::Refused);
        OrderDetails details;
        QVERIFY(one.load(number, &details));
        QCOMPARE(statusWords(details.changes),
                 (QStringList {QStringLiteral("—→принят"), QStringLiteral("принят→готов"),
                               QStringLiteral("готов→выдан")}));
        QCOMPARE(details.changes.last().counter, QStringLiteral("стойка-2"));
        QCOMPARE(details.order.balanceKopecks(), 0);
    }
};

QTEST_GUILESS_MAIN(OrderBookTest)
#include "test_order_book.moc"
