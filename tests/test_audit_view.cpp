// The owner's view of the audit trail on a real SQLite file: the filter's fields as a person sets
// them, the records shown, and the chain's check beside them, broken after an edit around the
// program.
#include "dialogs/audit_dialog.h"
#include "storage/connection.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

const QDateTime Start(QDate(2026, 12, 9), QTime(10, 0), Qt::UTC);

} // namespace

class AuditViewTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    int files = 0;

private slots:
    void filters_data()
    {
        QTest::addColumn<QString>("from"); // ГГГГ-ММ-ДД, empty: open
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("who");
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("shown"); // the ids, then what each was
        QTest::addColumn<QString>("chain");
        const QString intact = QStringLiteral("цепочка цела");
        QTest::newRow("everything")
            << QString() << QString() << QString() << QString() << QString()
            << QStringLiteral("1 вход|2 оплата|3 отмена заказа|4 вход") << intact;
        QTest::newRow("from the second day")
            << QStringLiteral("2026-12-10") << QString() << QString() << QString() << QString()
            << QStringLiteral("3 отмена заказа|4 вход") << intact;
        QTest::newRow("until the first day")
            << QString() << QStringLiteral("2026-12-09") << QString() << QString() << QString()
            << QStringLiteral("1 вход|2 оплата") << intact;
        QTest::newRow("the approver counts as who")
            << QString() << QString() << QStringLiteral("Ольга") << QString() << QString()
            << QStringLiteral("3 отмена заказа") << intact;
        QTest::newRow("who and what")
            << QString() << QString() << QStringLiteral("Анна") << QStringLiteral("ВХОД")
            << QString() << QStringLiteral("1 вход|4 вход") << intact;
        QTest::newRow("a day with nothing")
            << QStringLiteral("2026-12-12") << QStringLiteral("2026-12-12") << QString()
            << QString() << QString() << QString() << intact;
        QTest::newRow("a value changed around the program")
            << QString() << QString() << QString() << QStringLiteral("оплата")
            << QStringLiteral("UPDATE audit_log SET new_value = '1' WHERE id = 2")
            << QStringLiteral("2 оплата") << QStringLiteral("Цепочка нарушена: запись 2 изменена.");
    }
    void filters()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, who);
        QFETCH(QString, what);
        QFETCH(QString, edit);
        QFETCH(QString, shown);
        QFETCH(QString, chain);
        Connection connection;
        QVERIFY(connection.open(
            DatabaseUrl::sqliteFile(dir.filePath(QStringLiteral("a%1.sqlite").arg(++files))),
            QStringLiteral("t")));
        AuditLog log(connection);
        const struct
        {
            int day;
            const char *who, *approver, *what;
        } rows[] = {{0, "Анна", "", "вход"},
                    {0, "Борис", "", "оплата"},
                    {1, "Борис", "Ольга", "отмена заказа"},
                    {2, "Анна", "", "вход"}};
        for (const auto &row : rows) {
            AuditRecord record;
            // Midday, so that the local day is the same whatever the test machine's zone.
            record.time = Start.addDays(row.day).addSecs(2 * 3600);
            record.counter = QStringLiteral("стойка-1");
            record.operatorName = QString::fromUtf8(row.who);
            record.approver = QString::fromUtf8(row.approver);
            record.what = QString::fromUtf8(row.what);
            QVERIFY2(log.add(&record), qPrintable(connection.errorText()));
        }
        if (!edit.isEmpty()) {
            QSqlQuery query(connection.database());
            QVERIFY(query.exec(QStringLiteral("DROP TRIGGER audit_log_no_update")));
            QVERIFY2(query.exec(edit), qPrintable(query.lastError().text()));
            QVERIFY(query.exec(QStringLiteral(
                "CREATE TRIGGER audit_log_no_update BEFORE UPDATE ON audit_log BEGIN SELECT "
                "RAISE(ABORT, 'no'); END")));
        }
        // The reader answers later, as the gate's thread does.
        AuditDialog view(
            [&connection](const AuditFilter &filter, QObject *context,
                          std::function<void(const AuditReading &)> done) {
                AuditReading reading;
                AuditLog trail(connection);
                reading.records = trail.list(filter, &reading.read);
                reading.chain = trail.verify(AuditHead()).text();
                QTimer::singleShot(10, context, [done, reading] { done(reading); });
            },
            nullptr);
        view.show();
        const auto setDay = [&view](const char *box, const char *edit, const QString &day) {
            if (day.isEmpty())
                return;
            view.findChild<QCheckBox *>(QLatin1String(box))->setChecked(true);
            view.findChild<QDateEdit *>(QLatin1String(edit))
                ->setDate(QDate::fromString(day, Qt::ISODate));
        };
        setDay("checkBoxAuditFrom", "dateEditAuditFrom", from);
        setDay("checkBoxAuditTo", "dateEditAuditTo", to);
        view.findChild<QLineEdit *>(QStringLiteral("lineEditAuditWho"))->insert(who);
        view.findChild<QLineEdit *>(QStringLiteral("lineEditAuditWhat"))->insert(what);
        view.findChild<QPushButton *>(QStringLiteral("pushButtonAuditShow"))->click();
        QTRY_COMPARE(view.readingsShown(), 1);
        QStringList seen;
        const AuditModel *model = view.records();
        for (int row = 0; row < model->rowCount(); ++row)
            seen << QString::number(model->record(row).id) + QLatin1Char(' ')
                    + model->data(model->index(row, AuditModel::What)).toString();
        QCOMPARE(seen.join(QLatin1Char('|')), shown);
        QCOMPARE(view.findChild<QLabel *>(QStringLiteral("labelAuditChain"))->text(), chain);
    }
};

QTEST_MAIN(AuditViewTest)
#include "test_audit_view.moc"
