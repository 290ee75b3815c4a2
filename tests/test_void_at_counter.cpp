// Voiding an invoice in the journal as the counter does: on the window's real SQLite file, by
// whoever signed in (a manager's PIN asked of an operator), the list showing it void at once and
// the trail naming both; then on a throwaway PostgreSQL cluster that asks passwords, where a
// counter's login is refused by the database and a manager's database login, asked once, does it
// for the rest of the session.
#include "tests/page_driver.h"
#include "tests/pg_cluster.h"

#include "app/operators.h"
#include "dialogs/journal_dialog.h"
#include "dialogs/manager_login_dialog.h"
#include "dialogs/sign_in_dialog.h"
#include "order/order.h"
#include "storage/audit_log.h"
#include "storage/connection.h"
#include "storage/database_roles.h"
#include "storage/journal.h"
#include "storage/pin_hash.h"
#include "storage/price_store.h"
#include "storage/settings.h"
#include "storage/shop_link.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

const QDateTime Made(QDate(2026, 3, 2), QTime(9, 30));

// An invoice that went out: its PDF made.
InvoiceDraft issued(const QString &uid)
{
    OrderLine line;
    line.description = QStringLiteral("Визитки");
    line.quantity = QStringLiteral("2");
    line.unitPrice = QStringLiteral("100");
    return {uid,       Made,   QStringLiteral("стойка-1"),
            QString(), {line}, {{QStringLiteral("pdf"), Made, true}}};
}

bool isVoid(Connection &connection, qint64 number)
{
    InvoiceRecord record;
    return Journal(connection).load(number, &record) && record.summary.isVoid;
}

} // namespace

class VoidAtCounterTest : public QObject, private PageDriver
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home;

    QString databasePath() const
    {
        return home->path() + QStringLiteral("/data/printcalc/printcalc.sqlite");
    }
    void fill(bool withOperators)
    {
        Connection connection;
        QVERIFY(connection.open(DatabaseUrl::sqliteFile(databasePath()), QStringLiteral("t")));
        QCOMPARE(Journal(connection).storeInvoice(issued(QStringLiteral("a")), 1), 1);
        if (!withOperators)
            return;
        OperatorStore store(connection);
        const AuditSigner by {QStringLiteral("стойка-1"), QString(), QString()};
        for (const auto &[name, role, pin] : {std::tuple {"Ольга", Role::Owner, "4321"},
                                              std::tuple {"Борис", Role::Manager, "2222"},
                                              std::tuple {"Анна", Role::Operator, "1111"}})
            QCOMPARE(store.add(QString::fromUtf8(name), role, hashPin(QLatin1String(pin)), by),
                     OperatorChange::Done);
    }
    // Asks passwords; its groups set up with a counter's login and a manager's.
    PgCluster cluster {QStringLiteral("OwnerPw1")};
    bool clusterStarted = false;
    DatabaseUrl ownerUrl() const
    {
        return DatabaseUrl::parse(
            cluster.url(QStringLiteral("printcalc"), QStringLiteral("OwnerPw1")));
    }
    DatabaseUrl counterUrl() const
    {
        return DatabaseUrl::parse(cluster.url(QStringLiteral("kassa"), QStringLiteral("KassaPw1")));
    }
    bool startCluster()
    {
        if (clusterStarted)
            return true;
        if (!cluster.start()) {
            qWarning("%s", qPrintable(cluster.error));
            return false;
        }
        clusterStarted = true;
        Connection owner;
        QString error;
        bool ready = owner.open(ownerUrl(), QStringLiteral("owner"))
            && setUpShopRoles(owner.database(), &error);
        for (const auto &[name, role, password] :
             {std::tuple {"kassa", ShopRole::Counter, "KassaPw1"},
              std::tuple {"boss", ShopRole::Manager, "BossPw1"}})
            ready = ready
                && addShopLogin(owner.database(), QLatin1String(name), role,
                                QLatin1String(password), &error);
        if (!ready)
            qWarning("%s %s", qPrintable(owner.errorText()), qPrintable(error));
        return ready;
    }
    void typePin(QDialog *dialog, const QString &name, const QString &pin)
    {
        dialog->findChild<QComboBox *>(QStringLiteral("comboBoxOperator"))->setCurrentText(name);
        auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("lineEditPin"));
        field->insert(pin);
        QTest::keyClick(field, Qt::Key_Return);
    }
    // The journal open on invoice 1, its reason answered with the one given.
    JournalDialog *openJournal(const QString &reason)
    {
        click(QStringLiteral("pushButtonJournal"));
        auto *dialog = window->findChild<JournalDialog *>();
        if (!dialog)
            return nullptr;
        dialog->askReason = [reason](const QString &, const QString &, QString *given) {
            *given = reason;
            return true;
        };
        auto *invoices = dialog->findChild<QTableWidget *>(QStringLiteral("tableJournalInvoices"));
        if (!QTest::qWaitFor([invoices] { return invoices->rowCount() == 1; }, 5000))
            return nullptr;
        invoices->selectRow(0);
        if (!QTest::qWaitFor([dialog] { return dialog->shown().summary.number == 1; }, 5000))
            return nullptr;
        return dialog;
    }
    QString mark(JournalDialog *dialog) const
    {
        return dialog->findChild<QTableWidget *>(QStringLiteral("tableJournalInvoices"))
            ->item(0, 6)
            ->text();
    }
    QString statusText(QWidget *dialog) const
    {
        return dialog->findChild<QLabel *>(QStringLiteral("labelJournalStatus"))->text();
    }

private slots:
    void initTestCase() { useDesktopFont(); }
    void init()
    {
        home = std::make_unique<QTemporaryDir>();
        qputenv("HOME", home->path().toUtf8());
        qputenv("XDG_DATA_HOME", (home->path() + QStringLiteral("/data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", (home->path() + QStringLiteral("/config")).toUtf8());
        qunsetenv("PRINTCALC_DATABASE");
        QVERIFY(QDir().mkpath(home->path() + QStringLiteral("/config/printcalc")));
        QFile settings(home->path() + QStringLiteral("/config/printcalc/printcalc.ini"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[office]\nwarmup=false\n[counter]\nname=стойка-7\n");
    }
    void cleanup() { closeWindow(); }
    void cleanupTestCase() { cluster.stop(); }

    // Who signed in × who approves: the void done at once, after a manager's PIN, or not at all.
    void whoVoids_data()
    {
        QTest::addColumn<QString>("who");
        QTest::addColumn<QString>("pin");
        QTest::addColumn<QString>("approver");
        QTest::addColumn<QString>("approverPin");
        QTest::addColumn<bool>("voided");
        QTest::addColumn<QString>("told"); // the approval's answer when refused
        QTest::newRow("no operators: at once") << ""
                                               << ""
                                               << ""
                                               << "" << true << "";
        QTest::newRow("a manager: at once") << "Борис"
                                            << "2222"
                                            << ""
                                            << "" << true << "";
        QTest::newRow("the owner: at once") << "Ольга"
                                            << "4321"
                                            << ""
                                            << "" << true << "";
        QTest::newRow("an operator: the manager approves") << "Анна"
                                                           << "1111"
                                                           << "Борис"
                                                           << "2222" << true << "";
        QTest::newRow("an operator: a wrong PIN")
            << "Анна"
            << "1111"
            << "Борис"
            << "0000" << false << "Неверный PIN. Осталось попыток: 4.";
    }
    void whoVoids()
    {
        QFETCH(QString, who);
        QFETCH(QString, pin);
        QFETCH(QString, approver);
        QFETCH(QString, approverPin);
        QFETCH(bool, voided);
        QFETCH(QString, told);
        fill(!who.isEmpty());
        QVERIFY(openWindow());
        if (!who.isEmpty()) {
            QTRY_VERIFY(window->findChild<SignInDialog *>());
            typePin(window->findChild<SignInDialog *>(), who, pin);
            QTRY_VERIFY(!window->findChild<SignInDialog *>());
        }
        prompts.answer = QStringLiteral("Аннулировать");
        JournalDialog *dialog = openJournal(QStringLiteral("ошибка в реквизитах"));
        QVERIFY(dialog);
        QCOMPARE(mark(dialog), QString());
        dialog->findChild<QPushButton *>(QStringLiteral("pushButtonJournalVoid"))->click();
        QCOMPARE(prompts.questions.size(), 1);
        QVERIFY2(prompts.questions.first().contains(QStringLiteral("Причина: ошибка в реквизитах")),
                 qPrintable(prompts.questions.first()));
        QPointer<ApprovalDialog> approval
            = window->findChild<ApprovalDialog *>(QStringLiteral("ApprovalDialog"));
        QCOMPARE(!approval.isNull(), !approver.isEmpty());
        if (approval) {
            QCOMPARE(approval->parentWidget(), window);
            typePin(approval, approver, approverPin);
        }
        if (!voided) {
            QTRY_COMPARE(
                approval->findChild<QLabel *>(QStringLiteral("labelSignInMessage"))->text(), told);
            QCOMPARE(mark(dialog), QString());
            Connection connection;
            QVERIFY(connection.open(DatabaseUrl::sqliteFile(databasePath()), QStringLiteral("t")));
            QVERIFY(!isVoid(connection, 1));
            return;
        }
        QTRY_COMPARE(mark(dialog), QStringLiteral("аннулирован"));
        QTRY_VERIFY2(statusText(dialog).startsWith(
                         QStringLiteral("Счёт № 1 аннулирован: ошибка в реквизитах (")),
                     qPrintable(statusText(dialog)));
        QVERIFY(!dialog->findChild<QPushButton *>(QStringLiteral("pushButtonJournalVoid"))
                     ->isEnabled());
        window->operators()->waitIdle(5000);
        Connection connection;
        QVERIFY(connection.open(DatabaseUrl::sqliteFile(databasePath()), QStringLiteral("t")));
        InvoiceRecord record;
        QVERIFY(Journal(connection).load(1, &record));
        QCOMPARE(record.summary.voidedBy, who);
        QCOMPARE(record.summary.voidedApprover, approver);
        QCOMPARE(record.summary.voidedCounter, QStringLiteral("стойка-7"));
        AuditFilter filter;
        filter.what = QStringLiteral("аннулирование");
        const QVector<AuditRecord> trail = AuditLog(connection).list(filter);
        // No operators, no trail: the program works as it did before them.
        QCOMPARE(trail.size(), who.isEmpty() ? 0 : 1);
        if (trail.isEmpty())
            return;
        QCOMPARE(trail.first().operatorName, who);
        QCOMPARE(trail.first().approver, approver);
        QCOMPARE(trail.first().oldValue, QStringLiteral("счёт № 1: действителен"));
        QCOMPARE(trail.first().newValue, QStringLiteral("аннулирован: ошибка в реквизитах"));
    }

    // A blank reason, a declined confirmation, a second void: nothing changes, each says why.
    void nothingVoided_data()
    {
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("questions");
        QTest::addColumn<QString>("told");
        QTest::newRow("a blank reason")
            << "   "
            << "Аннулировать" << 0 << "Счёт № 1 не аннулирован: укажите причину аннулирования.";
        QTest::newRow("declined") << "дубль"
                                  << "Не аннулировать" << 1
                                  << "Счёт № 1 от 02.03.2026 09:30, итого ";
    }
    void nothingVoided()
    {
        QFETCH(QString, reason);
        QFETCH(QString, answer);
        QFETCH(int, questions);
        QFETCH(QString, told);
        fill(false);
        QVERIFY(openWindow());
        prompts.answer = answer;
        JournalDialog *dialog = openJournal(reason);
        QVERIFY(dialog);
        QString message;
        prompts.onTell = [&message](const QString &text, const QString &) { message = text; };
        dialog->findChild<QPushButton *>(QStringLiteral("pushButtonJournalVoid"))->click();
        QCOMPARE(prompts.questions.size(), questions);
        QVERIFY2(statusText(dialog).startsWith(told), qPrintable(statusText(dialog)));
        QCOMPARE(message, questions == 0 ? told : QString());
        QTest::qWait(100);
        QCOMPARE(mark(dialog), QString());
        Connection connection;
        QVERIFY(connection.open(DatabaseUrl::sqliteFile(databasePath()), QStringLiteral("t")));
        QVERIFY(!isVoid(connection, 1));
    }

    // The database refuses the counter's login; a manager's database login, asked over the
    // window, voids; wrong ones change nothing; the next void of the session asks nothing.
    void managerLoginAtTheCounter()
    {
        QVERIFY(startCluster());
        Connection owner;
        QVERIFY2(owner.open(ownerUrl(), QStringLiteral("owner")), qPrintable(owner.errorText()));
        Journal journal(owner);
        for (const char *uid : {"a", "b"})
            QVERIFY(journal.storeInvoice(issued(QLatin1String(uid)), 1) > 0);

        QWidget counter;
        counter.show();
        ShopLink link(
            DatabaseUrl::parse(cluster.url(QStringLiteral("kassa"), QStringLiteral("KassaPw1"))),
            home->path() + QStringLiteral("/local.sqlite"),
            home->path() + QStringLiteral("/none.ini"));
        Order order;
        JournalDialog dialog(
            &order, [] { return PriceTable(); }, &link, &counter);
        PromptRecorder asked;
        asked.answer = QStringLiteral("Аннулировать");
        dialog.setPrompts(&asked);
        dialog.askReason = [](const QString &, const QString &, QString *given) {
            *given = QStringLiteral("ошибка в сумме");
            return true;
        };
        dialog.show();
        auto *voidButton = dialog.findChild<QPushButton *>(QStringLiteral("pushButtonJournalVoid"));

        dialog.openInvoice(1);
        QTRY_VERIFY(voidButton->isEnabled());
        voidButton->click();
        QTRY_VERIFY(counter.findChild<ManagerLoginDialog *>(QStringLiteral("ManagerLoginDialog")));
        QPointer<ManagerLoginDialog> login
            = counter.findChild<ManagerLoginDialog *>(QStringLiteral("ManagerLoginDialog"));
        QCOMPARE(login->parentWidget(), &counter);
        QVERIFY2(!isVoid(owner, 1), "the counter's login voided by itself");
        auto *user = login->findChild<QLineEdit *>(QStringLiteral("lineEditManagerUser"));
        auto *password = login->findChild<QLineEdit *>(QStringLiteral("lineEditManagerPassword"));
        auto *message = login->findChild<QLabel *>(QStringLiteral("labelManagerLoginMessage"));
        const struct
        {
            const char *user;
            const char *password;
            QString told;
        } refused[] = {
            {"boss", "wrong",
             QStringLiteral("Неверное имя входа или пароль «boss»: ничего не "
                            "изменено.")},
            {"kassa", "KassaPw1",
             QStringLiteral("Вход «kassa» не менеджерский: база не разрешает ему аннулировать "
                            "счёт. Ничего не изменено.")},
            {"", "", QStringLiteral("Введите имя входа менеджера и его пароль.")},
        };
        for (const auto &each : refused) {
            user->setText(QLatin1String(each.user));
            password->setText(QLatin1String(each.password));
            login->findChild<QPushButton *>(QStringLiteral("pushButtonManagerLogin"))->click();
            QTRY_COMPARE(message->text(), each.told);
            QVERIFY(login->isVisible());
            QVERIFY(!isVoid(owner, 1));
        }
        user->setText(QStringLiteral("boss"));
        password->setText(QStringLiteral("BossPw1"));
        QTest::keyClick(password, Qt::Key_Return);
        QTRY_VERIFY(!login);
        QTRY_VERIFY(isVoid(owner, 1));
        QTRY_VERIFY(!voidButton->isEnabled());
        QVERIFY(link.hasManagerLogin());

        dialog.openInvoice(2);
        QTRY_VERIFY(voidButton->isEnabled());
        voidButton->click();
        QTRY_VERIFY(isVoid(owner, 2));
        QVERIFY2(!counter.findChild<ManagerLoginDialog *>(),
                 "the login was asked again in the same session");
        QVERIFY(link.finish(10000));
    }

    // A new price version, refused to the counter's login by the database, saved with the
    // manager's login asked on the spot; the session's next version asks nothing.
    void priceVersionWithTheManagersLogin()
    {
        QVERIFY(startCluster());
        PriceBook book;
        PriceLink link(counterUrl(), home->path() + QStringLiteral("/prices.sqlite"), book);
        QStringList replies;
        int asked = 0;
        // The logins offered in turn: a wrong password, then the manager's own.
        const QVector<DatabaseLogin> offered
            = {{QStringLiteral("boss"), QStringLiteral("nope")},
               {QStringLiteral("boss"), QStringLiteral("BossPw1")}};
        link.askManagerLogin = [&](auto attempt, auto) {
            ++asked;
            for (const DatabaseLogin &login : offered)
                attempt(login, [&replies](bool saved, const QString &message) {
                    replies << (saved ? QStringLiteral("сохранено") : message);
                });
        };
        QVector<int> numbers;
        for (int day = 1; day <= 2; ++day) {
            PriceVersionInfo info;
            info.from = QDate(2027, 1, day);
            info.loadedBy = QStringLiteral("менеджер");
            link.save(changedVersion(builtInVersion(), {}, {}, info),
                      [&numbers](int number, const QString &error) {
                          QVERIFY2(number > 0, qPrintable(error));
                          numbers << number;
                      });
            QTRY_COMPARE(numbers.size(), day);
        }
        QCOMPARE(asked, 1);
        QCOMPARE(replies,
                 QStringList({QStringLiteral("Неверное имя входа или пароль «boss»: ничего не "
                                             "изменено."),
                              QStringLiteral("сохранено")}));
        QCOMPARE(numbers, QVector<int>({1, 2}));
        QVERIFY(link.finish(10000));
    }
};

QTEST_MAIN(VoidAtCounterTest)
#include "test_void_at_counter.moc"
