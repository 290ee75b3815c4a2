// "Операторы" over a real SQLite file: each change asked as the owner asks it, the list after it,
// and the audit trail's records, which are the command line's for the same change.
#include "dialogs/operators_dialog.h"
#include "storage/audit_log.h"
#include "storage/connection.h"
#include "storage/pin_hash.h"
#include "tests/prompt_recorder.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// "a|b|c" as a list of texts.
QStringList texts(const char *joined)
{
    return QString::fromUtf8(joined).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}
} // namespace

class OperatorsDialogTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    int files = 0;

private slots:
    // Steps from a shop with the owner Ольга and the operator Анна, each "verb name [words]":
    // add NAME ROLE PIN AGAIN, role NAME ROLE, pin NAME PIN AGAIN, toggle NAME. The list after
    // ("name role state" by name), the records added (what: old → new), what the dialog said last.
    void changes_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QStringList>("records");
        QTest::addColumn<QString>("told");
        QTest::newRow("a manager added")
            << texts("add Борис 1 2468 2468")
            << texts("Анна Оператор действует|Борис Менеджер действует|Ольга Владелец действует")
            << texts("оператор добавлен:  → Борис (Менеджер)")
            << "Оператор «Борис» (Менеджер) заведён.";
        QTest::newRow("a name taken") << texts("add Анна 0 2468 2468")
                                      << texts("Анна Оператор действует|Ольга Владелец действует")
                                      << QStringList() << "Оператор «Анна» уже есть.";
        QTest::newRow("PINs that differ are asked again, Esc leaves")
            << texts("add Борис 0 2468 2469")
            << texts("Анна Оператор действует|Ольга Владелец действует") << QStringList() << "";
        QTest::newRow("a new role")
            << texts("role Анна 1") << texts("Анна Менеджер действует|Ольга Владелец действует")
            << texts("роль оператора изменена: Анна (Оператор) → Анна (Менеджер)")
            << "Оператор «Анна» теперь: Менеджер.";
        QTest::newRow("the last owner keeps the role")
            << texts("role Ольга 0") << texts("Анна Оператор действует|Ольга Владелец действует")
            << QStringList()
            << "«Ольга» — последний действующий владелец: сначала назначьте другого.";
        QTest::newRow("a new PIN")
            << texts("pin Анна 9753 9753")
            << texts("Анна Оператор действует|Ольга Владелец действует")
            << texts("PIN оператора сброшен: Анна → ") << "PIN оператора «Анна» сброшен.";
        QTest::newRow("disabled, then enabled")
            << texts("toggle Анна|toggle Анна")
            << texts("Анна Оператор действует|Ольга Владелец действует")
            << texts("оператор отключён: Анна → |оператор включён:  → Анна")
            << "Оператор «Анна» включён.";
        QTest::newRow("the last owner is not disabled")
            << texts("toggle Ольга") << texts("Анна Оператор действует|Ольга Владелец действует")
            << QStringList()
            << "«Ольга» — последний действующий владелец: сначала назначьте другого.";
    }
    void changes()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, list);
        QFETCH(QStringList, records);
        QFETCH(QString, told);
        const DatabaseUrl url
            = DatabaseUrl::sqliteFile(dir.filePath(QStringLiteral("o%1.sqlite").arg(++files)));
        Connection connection;
        QVERIFY(connection.open(url, QStringLiteral("test")));
        {
            OperatorStore store(connection);
            const AuditSigner shop {QStringLiteral("стойка"), QString(), QString()};
            QCOMPARE(store.add(QStringLiteral("Ольга"), Role::Owner,
                               hashPin(QStringLiteral("4321")), shop),
                     OperatorChange::Done);
            QCOMPARE(store.add(QStringLiteral("Анна"), Role::Operator,
                               hashPin(QStringLiteral("1111")), shop),
                     OperatorChange::Done);
        }
        const int before = AuditLog(connection).list(AuditFilter()).size();

        PromptRecorder prompts;
        prompts.answer = QStringLiteral("Отключить");
        OperatorsDialog dialog(url, {QStringLiteral("стойка"), QStringLiteral("Ольга"), QString()},
                               &prompts);
        QSignalSpy changed(&dialog, &OperatorsDialog::changed);
        dialog.show();
        auto *table = dialog.findChild<QTableWidget *>(QStringLiteral("tableWidgetOperators"));
        QTRY_COMPARE(table->rowCount(), 2);
        const auto press = [&dialog](const char *name) {
            QTest::mouseClick(dialog.findChild<QPushButton *>(QLatin1String(name)), Qt::LeftButton);
        };
        const auto entry = [&dialog]() -> OperatorEntryDialog * {
            OperatorEntryDialog *found = dialog.findChild<OperatorEntryDialog *>();
            return found && found->isVisible() ? found : nullptr;
        };
        const auto type = [](OperatorEntryDialog *asked, const char *name, const QString &text) {
            // Cyrillic has no key code of QtTest's own.
            asked->findChild<QLineEdit *>(QLatin1String(name))->insert(text);
        };
        for (const QString &step : qAsConst(steps)) {
            const QStringList words = step.split(QLatin1Char(' '));
            if (words.first() != QLatin1String("add")) {
                const QList<QTableWidgetItem *> rows
                    = table->findItems(words.at(1), Qt::MatchExactly);
                QVERIFY(!rows.isEmpty());
                table->selectRow(rows.first()->row());
            }
            if (words.first() == QLatin1String("toggle")) {
                press("pushButtonOperatorDisable");
            } else {
                press(words.first() == QLatin1String("add")        ? "pushButtonAddOperator"
                          : words.first() == QLatin1String("role") ? "pushButtonOperatorRole"
                                                                   : "pushButtonOperatorPin");
                OperatorEntryDialog *asked = nullptr;
                QTRY_VERIFY((asked = entry()));
                int next = 2;
                if (words.first() == QLatin1String("add"))
                    type(asked, "lineEditOperatorName", words.at(1));
                if (words.first() != QLatin1String("pin")) {
                    auto *role = asked->findChild<QComboBox *>();
                    role->setCurrentIndex(role->findData(words.at(next++).toInt()));
                }
                if (words.first() != QLatin1String("role")) {
                    type(asked, "lineEditOperatorPin", words.at(next));
                    type(asked, "lineEditOperatorPinAgain", words.at(next + 1));
                }
                QTest::keyClick(asked, Qt::Key_Return);
                if (entry()) {
                    // Still asking: the mistake is shown, and Esc leaves without a change.
                    QVERIFY(asked->findChild<QLabel *>(QStringLiteral("labelOperatorProblem"))
                                ->isVisible());
                    QTest::keyClick(asked, Qt::Key_Escape);
                    QVERIFY(!entry());
                }
            }
            QTRY_VERIFY(!dialog.isBusy());
        }

        QStringList shown;
        for (int row = 0; row < table->rowCount(); ++row)
            shown << table->item(row, 0)->text() + QLatin1Char(' ') + table->item(row, 1)->text()
                    + QLatin1Char(' ') + table->item(row, 2)->text();
        QCOMPARE(shown, list);
        QStringList added;
        QVector<AuditRecord> trail = AuditLog(connection).list(AuditFilter());
        std::sort(trail.begin(), trail.end(),
                  [](const AuditRecord &a, const AuditRecord &b) { return a.id < b.id; });
        for (const AuditRecord &record : trail) {
            if (record.id <= before)
                continue;
            QCOMPARE(record.operatorName, QStringLiteral("Ольга"));
            QCOMPARE(record.counter, QStringLiteral("стойка"));
            added << record.what + QStringLiteral(": ") + record.oldValue + QStringLiteral(" → ")
                    + record.newValue;
        }
        QCOMPARE(added, records);
        QCOMPARE(changed.size(), records.size());
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("labelOperatorsStatus"))->text(), told);
        // A new PIN signs in, the old one no longer.
        if (steps.first().startsWith(QLatin1String("pin"))) {
            OperatorStore store(connection);
            QVERIFY(!store
                         .signIn(QStringLiteral("Анна"), QStringLiteral("1111"),
                                 QStringLiteral("стойка"))
                         .signedIn());
            QVERIFY(store
                        .signIn(QStringLiteral("Анна"), QStringLiteral("9753"),
                                QStringLiteral("стойка"))
                        .signedIn());
        }
    }
};

QTEST_MAIN(OperatorsDialogTest)
#include "test_operators_dialog.moc"
