// Operators at the window, driven as the counter does on the real SQLite file: nothing asked while
// the shop has none; once it has, the sign-in over the shown window with the last operator of
// this counter first, wrong PINs told while the dialog keeps answering, Ctrl+L and another
// operator taking over the same order, and a manager's PIN for what an operator may not do.
#include "tests/page_driver.h"

#include "app/operators.h"
#include "app/order_storage.h"
#include "app/order_taking.h"
#include "dialogs/accept_order_dialog.h"
#include "dialogs/price_list_dialog.h"
#include "dialogs/sign_in_dialog.h"
#include "storage/audit_log.h"
#include "storage/connection.h"
#include "storage/order_book.h"
#include "storage/pin_hash.h"
#include "storage/settings.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>

class SignInTest : public QObject, private PageDriver
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home;

    QString databasePath() const
    {
        return home->path() + QStringLiteral("/data/printcalc/printcalc.sqlite");
    }
    void addOperators()
    {
        Connection connection;
        QVERIFY(connection.open(DatabaseUrl::sqliteFile(databasePath()), QStringLiteral("t")));
        OperatorStore store(connection);
        const AuditSigner by {QStringLiteral("стойка-1"), QString(), QString()};
        for (const auto &[name, role, pin] : {std::tuple {"Ольга", Role::Owner, "4321"},
                                              std::tuple {"Борис", Role::Manager, "2222"},
                                              std::tuple {"Анна", Role::Operator, "1111"}})
            QCOMPARE(store.add(QString::fromUtf8(name), role, hashPin(QLatin1String(pin)), by),
                     OperatorChange::Done);
    }
    SignInDialog *signIn() const
    {
        return window->findChild<SignInDialog *>(QStringLiteral("SignInDialog"));
    }
    // The name chosen and the PIN typed, Enter pressed; the outcome not waited for.
    void typePin(QDialog *dialog, const QString &name, const QString &pin)
    {
        auto *names = dialog->findChild<QComboBox *>(QStringLiteral("comboBoxOperator"));
        names->setCurrentText(name);
        auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("lineEditPin"));
        field->insert(pin);
        QTest::keyClick(field, Qt::Key_Return);
    }
    QString message(QDialog *dialog) const
    {
        return dialog->findChild<QLabel *>(QStringLiteral("labelSignInMessage"))->text();
    }
    QVector<AuditRecord> trail()
    {
        window->operators()->waitIdle(5000);
        Connection connection;
        connection.open(DatabaseUrl::sqliteFile(databasePath()), QStringLiteral("t"));
        return AuditLog(connection).list(AuditFilter());
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

    void withoutOperatorsNothingIsAsked()
    {
        QVERIFY(openWindow());
        window->operators()->waitIdle(5000);
        QTest::qWait(50);
        QVERIFY2(!signIn(), "a sign-in was asked with no operator defined");
        window->activateWindow();
        QApplication::setActiveWindow(window);
        QTest::keyClick(window, Qt::Key_L, Qt::ControlModifier);
        QTest::qWait(50);
        QVERIFY2(!signIn(), "Ctrl+L locked a counter without operators");
        // The manager's rights are nobody's business: the price list opens at once.
        click(QStringLiteral("pushButtonPrices"));
        QTRY_VERIFY(window->findChild<PriceListDialog *>());
        QVERIFY(!window->findChild<ApprovalDialog *>());
    }

    void theChoiceComesFirst_data()
    {
        QTest::addColumn<QString>("last");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("a new counter: by name")
            << QStringLiteral("")
            << QStringList {QStringLiteral("Анна"), QStringLiteral("Борис"),
                            QStringLiteral("Ольга")};
        QTest::newRow("the last of this counter first")
            << QStringLiteral("Ольга")
            << QStringList {QStringLiteral("Ольга"), QStringLiteral("Анна"),
                            QStringLiteral("Борис")};
        QTest::newRow("the last one gone")
            << QStringLiteral("Пётр")
            << QStringList {QStringLiteral("Анна"), QStringLiteral("Борис"),
                            QStringLiteral("Ольга")};
    }
    void theChoiceComesFirst()
    {
        QFETCH(QString, last);
        QFETCH(QStringList, names);
        addOperators();
        if (!last.isEmpty())
            QVERIFY(ProgramState(databasePath()).keepLastOperator(last));
        QVERIFY(openWindow());
        QTRY_VERIFY(signIn());
        QCOMPARE(signIn()->parentWidget(), window);
        QVERIFY(signIn()->isVisible());
        auto *combo = signIn()->findChild<QComboBox *>(QStringLiteral("comboBoxOperator"));
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i)
            shown << combo->itemText(i);
        QCOMPARE(shown, names);
    }

    void wrongThenRight()
    {
        addOperators();
        QVERIFY(openWindow());
        QTRY_VERIFY(signIn());
        QPointer<SignInDialog> dialog = signIn();
        typePin(dialog, QStringLiteral("Анна"), QStringLiteral("9999"));
        // Asked, not yet answered: the check runs beside the window.
        QCOMPARE(message(dialog), QStringLiteral("Проверка PIN…"));
        QTRY_COMPARE(message(dialog), QStringLiteral("Неверный PIN. Осталось попыток: 4."));
        QVERIFY(dialog->isVisible());
        QTest::keyClick(dialog, Qt::Key_Escape);
        QVERIFY2(dialog && dialog->isVisible(), "Escape opened a locked counter");
        typePin(dialog, QStringLiteral("Анна"), QStringLiteral("1111"));
        QTRY_VERIFY(!dialog);
        QCOMPARE(window->signedInOperator(), QStringLiteral("Анна"));
        QCOMPARE(ProgramState(databasePath()).lastOperator(), QStringLiteral("Анна"));
        QStringList whats;
        for (const AuditRecord &record : trail())
            if (record.operatorName == QStringLiteral("Анна"))
                whats << record.counter + QLatin1Char(' ') + record.what;
        QCOMPARE(whats,
                 QStringList(
                     {QStringLiteral("стойка-7 неудачный вход"), QStringLiteral("стойка-7 вход")}));
    }

    // Ctrl+L locks; another signs in and the order stays as it was.
    void anotherTakesOverTheOrder()
    {
        addOperators();
        QVERIFY(openWindow());
        QTRY_VERIFY(signIn());
        typePin(signIn(), QStringLiteral("Анна"), QStringLiteral("1111"));
        QTRY_VERIFY(!signIn());
        window->appendOrderLine(QStringLiteral("Визитки"), QStringLiteral("100"),
                                QStringLiteral("2"), QString(), QString(), false);
        window->activateWindow();
        QApplication::setActiveWindow(window);
        QTest::keyClick(window, Qt::Key_L, Qt::ControlModifier);
        QTRY_VERIFY(signIn());
        QCOMPARE(signIn()->findChild<QComboBox *>(QStringLiteral("comboBoxOperator"))->itemText(0),
                 QStringLiteral("Анна"));
        typePin(signIn(), QStringLiteral("Борис"), QStringLiteral("2222"));
        QTRY_VERIFY(!signIn());
        QCOMPARE(window->signedInOperator(), QStringLiteral("Борис"));
        QCOMPARE(window->orderLines().size(), 1);
        QCOMPARE(window->orderLines().first().description, QStringLiteral("Визитки"));
    }

    // An operator opens the price list (its versions are a manager's) with a manager's PIN.
    void aManagerApproves_data()
    {
        QTest::addColumn<QString>("approver");
        QTest::addColumn<QString>("pin");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QString>("told");
        QTest::newRow("the manager") << "Борис"
                                     << "2222" << true << "";
        QTest::newRow("the owner") << "Ольга"
                                   << "4321" << true << "";
        QTest::newRow("a wrong PIN") << "Борис"
                                     << "0000" << false << "Неверный PIN. Осталось попыток: 4.";
    }
    void aManagerApproves()
    {
        QFETCH(QString, approver);
        QFETCH(QString, pin);
        QFETCH(bool, opened);
        QFETCH(QString, told);
        addOperators();
        QVERIFY(openWindow());
        QTRY_VERIFY(signIn());
        typePin(signIn(), QStringLiteral("Анна"), QStringLiteral("1111"));
        QTRY_VERIFY(!signIn());
        click(QStringLiteral("pushButtonPrices"));
        QTRY_VERIFY(window->findChild<ApprovalDialog *>(QStringLiteral("ApprovalDialog")));
        QPointer<ApprovalDialog> dialog
            = window->findChild<ApprovalDialog *>(QStringLiteral("ApprovalDialog"));
        QCOMPARE(dialog->parentWidget(), window);
        auto *names = dialog->findChild<QComboBox *>(QStringLiteral("comboBoxOperator"));
        QCOMPARE(names->count(), 2); // Борис and Ольга, not Анна
        QVERIFY(!window->findChild<PriceListDialog *>());
        typePin(dialog, approver, pin);
        if (opened) {
            QTRY_VERIFY(!dialog);
            QTRY_VERIFY(window->findChild<PriceListDialog *>());
        } else {
            QTRY_COMPARE(message(dialog), told);
            QVERIFY(!window->findChild<PriceListDialog *>());
        }
        QCOMPARE(window->signedInOperator(), QStringLiteral("Анна"));
    }

    // Taking an order is in the audit trail with its number and prepayment, in the order's own
    // transaction, and its status history and payment name who took it.
    void takingTheOrderIsRecorded_data()
    {
        QTest::addColumn<double>("prepayment");
        QTest::addColumn<QString>("recorded");
        QTest::newRow("by card") << 300.0 << "заказ № 1 принят: строк 1, предоплата 300.00 карта";
        QTest::newRow("nothing paid") << 0.0 << "заказ № 1 принят: строк 1";
    }
    void takingTheOrderIsRecorded()
    {
        QFETCH(double, prepayment);
        QFETCH(QString, recorded);
        addOperators();
        QVERIFY(openWindow());
        QTRY_VERIFY(signIn());
        typePin(signIn(), QStringLiteral("Анна"), QStringLiteral("1111"));
        QTRY_VERIFY(!signIn());
        window->appendOrderLine(QStringLiteral("Визитки"), QStringLiteral("10"),
                                QStringLiteral("100"), QStringLiteral("значение=1"), QString(),
                                false);
        QSignalSpy taken(window->findChild<OrderTaking *>(), &OrderTaking::orderAccepted);
        click(QStringLiteral("pushButtonAccept"));
        QTRY_VERIFY(window->findChild<AcceptOrderDialog *>());
        auto *dialog = window->findChild<AcceptOrderDialog *>();
        dialog->findChild<QDoubleSpinBox *>(QStringLiteral("doubleSpinBoxPrepayment"))
            ->setValue(prepayment);
        dialog->findChild<QComboBox *>(QStringLiteral("comboBoxPrepaymentMethod"))
            ->setCurrentIndex(1);
        QTest::keyClick(dialog->findChild<QDateTimeEdit *>(QStringLiteral("dateTimeEditDue")),
                        Qt::Key_Return);
        QTRY_COMPARE(taken.size(), 1);
        const qint64 number = taken.first().first().toLongLong();

        const QVector<AuditRecord> records = trail();
        const auto record
            = std::find_if(records.cbegin(), records.cend(), [](const AuditRecord &each) {
                  return each.what == QStringLiteral("приём заказа");
              });
        QVERIFY(record != records.cend());
        QCOMPARE(record->newValue, recorded);
        QCOMPARE(record->operatorName, QStringLiteral("Анна"));
        QCOMPARE(record->counter, QStringLiteral("стойка-7"));
        Connection connection;
        QVERIFY(connection.open(DatabaseUrl::sqliteFile(databasePath()), QStringLiteral("t")));
        OrderDetails details;
        QVERIFY(OrderBook(connection).load(number, &details));
        QCOMPARE(details.changes.value(0).operatorName, QStringLiteral("Анна"));
        QCOMPARE(details.payments.size(), prepayment > 0 ? 1 : 0);
        for (const Payment &payment : details.payments)
            QCOMPARE(payment.operatorName, QStringLiteral("Анна"));
    }
};

QTEST_MAIN(SignInTest)
#include "test_sign_in.moc"
