// An invoice voided by hand: what the journal answers, that the void stands whatever follows and
// leaves the sales and the debts, a journal of the version before taking it, and the command line
// run as the manager runs it (the real program, PINs on its standard input).
#include "tests/older_database.h"
#include "tests/program_run.h"

#include "storage/audit_log.h"
#include "storage/connection.h"
#include "storage/journal.h"
#include "storage/operator_store.h"
#include "storage/order_book.h"
#include "storage/pin_hash.h"
#include "storage/sales_reports.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QDateTime Made(QDate(2026, 3, 2), QTime(9, 30));

InvoiceDraft draft(const QString &uid, bool documentSucceeded)
{
    OrderLine line;
    line.description = QStringLiteral("Визитки");
    line.quantity = QStringLiteral("2");
    line.unitPrice = QStringLiteral("100");
    return {uid,       Made,   QStringLiteral("стойка-1"),
            QString(), {line}, {{QStringLiteral("pdf"), Made, documentSucceeded}}};
}

HandVoid mark(const QString &reason)
{
    HandVoid result;
    result.reason = reason;
    result.at = QDateTime(QDate(2026, 3, 3), QTime(11, 15));
    result.counter = QStringLiteral("стойка-2");
    result.operatorName = QStringLiteral("Анна");
    result.approver = QStringLiteral("Борис");
    return result;
}

} // namespace

class JournalVoidTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> own; // each test function's
    QTemporaryDir script; // the command line table's, one for all its rows
    bool scriptFilled = false;
    QTemporaryDir *dir = nullptr;

    QString path() const { return dir->filePath(QStringLiteral("shop.sqlite")); }
    QString url() const { return QStringLiteral("sqlite://") + path(); }
    void writeConfig()
    {
        QVERIFY(QDir().mkpath(dir->filePath(QStringLiteral("config/printcalc"))));
        QFile config(dir->filePath(QStringLiteral("config/printcalc/printcalc.ini")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(QStringLiteral("[counter]\nname=стойка-7\n").toUtf8());
    }

    // A fresh file: invoice 1 went out, invoice 2's documents failed, order 3 taken and owed.
    void fill(Connection &connection)
    {
        QVERIFY2(connection.open(DatabaseUrl::sqliteFile(path()), QStringLiteral("t")),
                 qPrintable(connection.errorText()));
        Journal journal(connection);
        QCOMPARE(journal.storeInvoice(draft(QStringLiteral("a"), true), 1), 1);
        QCOMPARE(journal.storeInvoice(draft(QStringLiteral("b"), false), 1), 2);
        OrderIntake order;
        order.draft = draft(QStringLiteral("c"), true);
        order.draft.documents.clear();
        order.due = Made.addDays(1);
        QCOMPARE(OrderBook(connection).take(order, 1), 3);
    }
    void addOperators(Connection &connection)
    {
        OperatorStore store(connection);
        const AuditSigner by {QStringLiteral("стойка-1"), QString(), QString()};
        for (const auto &[name, role, pin] : {std::tuple {"Ольга", Role::Owner, "4321"},
                                              std::tuple {"Борис", Role::Manager, "2222"},
                                              std::tuple {"Анна", Role::Operator, "1111"}})
            QCOMPARE(store.add(QString::fromUtf8(name), role, hashPin(QLatin1String(pin)), by),
                     OperatorChange::Done);
    }
    ProgramRun run(const QStringList &arguments, const QByteArray &input = QByteArray())
    {
        return runProgram(QStringList {QStringLiteral("--database"), url()} + arguments,
                          dir->filePath(QStringLiteral("config")), 30000, input);
    }

private slots:
    void init()
    {
        own = std::make_unique<QTemporaryDir>();
        dir = own.get();
        writeConfig();
    }

    void outcomes_data()
    {
        QTest::addColumn<qint64>("number");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("text");
        QTest::newRow("an invoice that went out")
            << qint64(1) << "ошибка в реквизитах" << int(VoidOutcome::Done)
            << "Счёт № 1 аннулирован.";
        QTest::newRow("a taken order's invoice")
            << qint64(3) << "клиент отказался" << int(VoidOutcome::Done) << "Счёт № 3 аннулирован.";
        QTest::newRow("its documents failed")
            << qint64(2) << "дубль" << int(VoidOutcome::AlreadyVoid) << "Счёт 2 уже аннулирован";
        QTest::newRow("no reason") << qint64(1) << "  " << int(VoidOutcome::NoReason)
                                   << "Укажите причину аннулирования счёта № 1.";
        QTest::newRow("no such invoice") << qint64(9) << "дубль" << int(VoidOutcome::NoSuchInvoice)
                                         << "Счёта № 9 в журнале нет.";
    }
    void outcomes()
    {
        QFETCH(qint64, number);
        QFETCH(QString, reason);
        QFETCH(int, outcome);
        QFETCH(QString, text);
        Connection connection;
        fill(connection);
        Journal journal(connection);
        const VoidOutcome first = journal.voidByHand(number, mark(reason));
        QCOMPARE(int(first), outcome);
        QCOMPARE(voidOutcomeText(first, number, QString()), text);
        InvoiceRecord record;
        const bool found = journal.load(number, &record);
        QCOMPARE(found, number != 9);
        // Voided or not, the invoice stays with its lines.
        if (found)
            QCOMPARE(record.lines.size(), 1);
        if (first != VoidOutcome::Done)
            return;
        QVERIFY(record.summary.isVoid);
        QCOMPARE(record.summary.voidReason, reason);
        QCOMPARE(record.summary.voidedAt, QDateTime(QDate(2026, 3, 3), QTime(11, 15)));
        QCOMPARE(record.summary.voidedCounter, QStringLiteral("стойка-2"));
        QCOMPARE(record.summary.voidedBy, QStringLiteral("Анна"));
        QCOMPARE(record.summary.voidedApprover, QStringLiteral("Борис"));
        QCOMPARE(int(journal.voidByHand(number, mark(reason))), int(VoidOutcome::AlreadyVoid));
    }

    // A document made after the void (a copy printed, the order stored again) leaves it void; its
    // order keeps its status; the sales and the debts leave it out.
    void theVoidStands()
    {
        Connection connection;
        fill(connection);
        Journal journal(connection);
        SalesReports reports(connection);
        AverageOrder before;
        QVERIFY(reports.average(Made.date(), Made.date(), &before));
        QCOMPARE(before.invoices, qint64(2)); // 1 and 3; 2 is void
        QVector<OwedRow> owed;
        QVERIFY(reports.owed(Made.date(), &owed));
        QCOMPARE(owed.first().invoices, qint64(1));

        for (const qint64 number : {qint64(1), qint64(3)})
            QCOMPARE(int(journal.voidByHand(number, mark(QStringLiteral("ошибка")))),
                     int(VoidOutcome::Done));
        QVERIFY(journal.addDocument(1, {QStringLiteral("pdf"), Made.addDays(2), true}));
        QCOMPARE(journal.storeInvoice(draft(QStringLiteral("a"), true), 1), 1);
        // The taken order's invoice has no document yet: stored again, it takes the order's
        // lines as they are now, and stays void.
        InvoiceDraft again = draft(QStringLiteral("c"), true);
        again.documents.clear();
        QCOMPARE(journal.storeInvoice(again, 1), 3);
        InvoiceRecord record;
        for (const qint64 number : {qint64(1), qint64(3)}) {
            QVERIFY(journal.load(number, &record));
            QVERIFY2(record.summary.isVoid,
                     qPrintable(QStringLiteral("invoice %1 valid again").arg(number)));
        }

        AverageOrder after;
        QVERIFY(reports.average(Made.date(), Made.date(), &after));
        QCOMPARE(after.invoices, qint64(0));
        QVERIFY(reports.owed(Made.date(), &owed));
        QCOMPARE(owed.first().invoices, qint64(0));
        OrderDetails order;
        QVERIFY(OrderBook(connection).load(3, &order));
        QCOMPARE(order.order.status, OrderStatus::Accepted);
        JournalCounts counts;
        QVERIFY(journal.counts(&counts));
        QCOMPARE(counts.invoices, 3);
        QCOMPARE(counts.voided, 3);
    }

    // A journal of the version before: its invoices, void or not, carry no reason, and one is
    // voided by hand after the upgrade.
    void upgradesTheVersionBefore()
    {
        const QString problem = makeDatabaseBefore(
            path(), 14,
            {QStringLiteral("INSERT INTO invoice (number, order_uid, created, counter, "
                            "line_count, subtotal, tax, total, template_path, is_void, "
                            "search_text) VALUES (7, 'old', '2026-03-02 09:30:00', "
                            "'стойка-1', 0, 0, 0, 0, '', 1, ''), (8, 'older', "
                            "'2026-03-02 09:40:00', 'стойка-1', 0, 0, 0, 0, '', 0, '')")});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        Connection connection;
        QVERIFY2(connection.open(DatabaseUrl::sqliteFile(path()), QStringLiteral("t")),
                 qPrintable(connection.errorText()));
        QCOMPARE(connection.schemaVersion(), latestSchemaVersion());
        Journal journal(connection);
        InvoiceRecord record;
        QVERIFY(journal.load(7, &record));
        QVERIFY(record.summary.isVoid);
        QCOMPARE(record.summary.voidReason, QString());
        QCOMPARE(int(journal.voidByHand(8, mark(QStringLiteral("дубль")))), int(VoidOutcome::Done));
        QVERIFY(journal.load(8, &record));
        QCOMPARE(record.summary.voidReason, QStringLiteral("дубль"));
    }

    // Without operators, in order on one file: each row works on what the rows before it left.
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const QString help = QStringLiteral(" Справка: printcalc --help\n");
        const auto row = [](const char *name, QStringList arguments, int status, const QString &out,
                            const QString &err) {
            QTest::newRow(name) << (QStringList {QStringLiteral("--journal")} + arguments) << status
                                << out << err;
        };
        const QString reason = QStringLiteral("--reason=ошибка в реквизитах");
        row("no reason", {QStringLiteral("void"), QStringLiteral("1")}, 2, QString(),
            QStringLiteral("Нужна причина аннулирования: printcalc --journal void N --reason "
                           "ПРИЧИНА")
                + help);
        row("a blank reason",
            {QStringLiteral("void"), QStringLiteral("1"), QStringLiteral("--reason= ")}, 2,
            QString(),
            QStringLiteral("Нужна причина аннулирования: printcalc --journal void N --reason "
                           "ПРИЧИНА")
                + help);
        row("no number", {QStringLiteral("void"), reason}, 2, QString(),
            QStringLiteral("Нужен номер счёта: printcalc --journal void N --reason ПРИЧИНА")
                + help);
        row("number zero", {QStringLiteral("void"), QStringLiteral("0"), reason}, 2, QString(),
            QStringLiteral("Номера счетов начинаются с 1.") + help);
        row("a date option",
            {QStringLiteral("void"), QStringLiteral("1"), reason,
             QStringLiteral("--from=2026-03-02")},
            2, QString(), QStringLiteral("*"));
        row("no such invoice", {QStringLiteral("void"), QStringLiteral("99"), reason}, 1, QString(),
            QStringLiteral("Счёта № 99 в журнале нет.\n"));
        row("voided", {QStringLiteral("void"), QStringLiteral("1"), reason}, 0,
            QStringLiteral("Счёт № 1 аннулирован.\n"), QString());
        row("twice", {QStringLiteral("void"), QStringLiteral("1"), reason}, 1, QString(),
            QStringLiteral("Счёт 1 уже аннулирован\n"));
        row("its documents failed", {QStringLiteral("void"), QStringLiteral("2"), reason}, 1,
            QString(), QStringLiteral("Счёт 2 уже аннулирован\n"));
        row("the list", {QStringLiteral("list")}, 0,
            QStringLiteral("3\t2026-03-02 09:30\tстойка-1\t1\t236.00\tдействителен\n"
                           "2\t2026-03-02 09:30\tстойка-1\t1\t236.00\tаннулирован\n"
                           "1\t2026-03-02 09:30\tстойка-1\t1\t236.00\tаннулирован\n"),
            QString());
        row("the failed one shown", {QStringLiteral("show"), QStringLiteral("2")}, 0,
            QStringLiteral("Визитки\t2\t100\t200.00\n"
                           "аннулирован\t\t\t\t\tдокументы счёта не удались\n"),
            QString());
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        dir = &script;
        if (!scriptFilled) {
            writeConfig();
            Connection connection;
            fill(connection);
            scriptFilled = true;
        }
        const ProgramRun result = run(arguments);
        // "*": a usage error whose words are the parser's.
        QCOMPARE(err == QLatin1String("*") ? err : result.err, err);
        QCOMPARE(result.out, out);
        QCOMPARE(result.status, status);
    }

    // Who shows the void by hand: when, where, who and why after the lines.
    void theVoidShown()
    {
        Connection connection;
        fill(connection);
        QCOMPARE(int(Journal(connection).voidByHand(1, mark(QStringLiteral("ошибка\tв счёте")))),
                 int(VoidOutcome::Done));
        const ProgramRun result
            = run({QStringLiteral("--journal"), QStringLiteral("show"), QStringLiteral("1")});
        QCOMPARE(result.err, QString());
        QCOMPARE(result.out,
                 QStringLiteral("Визитки\t2\t100\t200.00\n"
                                "аннулирован\t2026-03-03 11:15\tстойка-2\tАнна\tБорис\tошибка в "
                                "счёте\n"));
        QCOMPARE(result.status, 0);
    }

    // Once operators exist: each role with its PIN, and what the trail keeps of a void.
    void rights_data()
    {
        QTest::addColumn<QStringList>("who");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("an operator is refused")
            << QStringList {QStringLiteral("--operator"), QStringLiteral("Анна")}
            << QByteArray("1111\n") << 1 << QString()
            << QStringLiteral("Оператору «Анна» (Оператор) это не разрешено: аннулирование "
                              "счёта. Нужен менеджер.\n");
        QTest::newRow("a manager voids")
            << QStringList {QStringLiteral("--operator"), QStringLiteral("Борис")}
            << QByteArray("2222\n") << 0 << QStringLiteral("Счёт № 1 аннулирован.\n") << QString();
        QTest::newRow("the owner voids")
            << QStringList {QStringLiteral("--operator"), QStringLiteral("Ольга")}
            << QByteArray("4321\n") << 0 << QStringLiteral("Счёт № 1 аннулирован.\n") << QString();
        QTest::newRow("a manager's wrong PIN")
            << QStringList {QStringLiteral("--operator"), QStringLiteral("Борис")}
            << QByteArray("0000\n") << 1 << QString()
            << QStringLiteral("Неверный PIN. Осталось попыток: 4.\n");
        QTest::newRow("nobody named")
            << QStringList() << QByteArray("2222\n") << 1 << QString()
            << QStringLiteral("В программе заведены операторы: аннулирование счёта — право "
                              "роли «Менеджер»; команда пишется с --operator ИМЯ, а PIN "
                              "подаётся первой строкой на стандартный вход.\n");
    }
    void rights()
    {
        QFETCH(QStringList, who);
        QFETCH(QByteArray, input);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        {
            Connection connection;
            fill(connection);
            addOperators(connection);
        }
        const ProgramRun result = run(
            QStringList {QStringLiteral("--journal"), QStringLiteral("void"), QStringLiteral("1"),
                         QStringLiteral("--reason"), QStringLiteral("клиент передумал")}
                + who,
            input);
        QCOMPARE(result.err, err);
        QCOMPARE(result.out, out);
        QCOMPARE(result.status, status);
        Connection connection;
        QVERIFY(connection.open(DatabaseUrl::sqliteFile(path()), QStringLiteral("t")));
        InvoiceRecord record;
        QVERIFY(Journal(connection).load(1, &record));
        QCOMPARE(record.summary.isVoid, status == 0);
        AuditFilter filter;
        filter.what = QStringLiteral("аннулирование");
        const QVector<AuditRecord> trail = AuditLog(connection).list(filter);
        QCOMPARE(trail.size(), status == 0 ? 1 : 0);
        if (status != 0)
            return;
        QCOMPARE(trail.first().operatorName, who.last());
        QCOMPARE(trail.first().counter, QStringLiteral("стойка-7"));
        QCOMPARE(trail.first().what, QStringLiteral("аннулирование счёта"));
        QCOMPARE(trail.first().oldValue, QStringLiteral("счёт № 1: действителен"));
        QCOMPARE(trail.first().newValue, QStringLiteral("аннулирован: клиент передумал"));
        QCOMPARE(record.summary.voidedBy, who.last());
        QCOMPARE(record.summary.voidedCounter, QStringLiteral("стойка-7"));
    }
};

QTEST_GUILESS_MAIN(JournalVoidTest)
#include "test_journal_void.moc"
