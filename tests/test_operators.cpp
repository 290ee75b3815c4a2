// Rights of each role and the audit trail's chain, without a window or a database.
#include "operators/audit_chain.h"
#include "operators/rights.h"

#include <QtTest>

Q_DECLARE_METATYPE(Role)
Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(Decision)

namespace {

QVector<AuditRecord> sampleChain(int count)
{
    QVector<AuditRecord> records;
    QByteArray previous;
    for (int i = 1; i <= count; ++i) {
        AuditRecord record;
        record.id = i;
        record.time = QDateTime(QDate(2026, 12, 9), QTime(10, i), Qt::UTC);
        record.counter = QStringLiteral("Стойка 1");
        record.operatorName = QStringLiteral("Анна");
        record.what = QStringLiteral("оплата");
        record.newValue = QString::number(i * 100);
        records.append(sealedAuditRecord(record, previous));
        previous = records.last().hash;
    }
    return records;
}

} // namespace

class TestOperators : public QObject
{
    Q_OBJECT

private slots:
    void rights_data();
    void rights();
    void knownHash();
    void tampering_data();
    void tampering();
};

void TestOperators::rights_data()
{
    QTest::addColumn<Role>("role");
    QTest::addColumn<Action>("action");
    QTest::addColumn<Decision>("decision");
    QTest::newRow("operator prices") << Role::Operator << Action::Price << Decision::Allowed;
    QTest::newRow("operator takes payment")
        << Role::Operator << Action::TakePayment << Decision::Allowed;
    QTest::newRow("operator moves status")
        << Role::Operator << Action::MoveStatus << Decision::Allowed;
    QTest::newRow("operator refunds") << Role::Operator << Action::Refund << Decision::AsksManager;
    QTest::newRow("operator voids")
        << Role::Operator << Action::VoidInvoice << Decision::AsksManager;
    QTest::newRow("operator below list")
        << Role::Operator << Action::PriceBelowList << Decision::AsksManager;
    QTest::newRow("operator settings")
        << Role::Operator << Action::ChangeSettings << Decision::AsksManager;
    QTest::newRow("operator reports")
        << Role::Operator << Action::ViewReports << Decision::AsksOwner;
    QTest::newRow("manager refunds") << Role::Manager << Action::Refund << Decision::Allowed;
    QTest::newRow("manager voids") << Role::Manager << Action::VoidInvoice << Decision::Allowed;
    QTest::newRow("owner voids") << Role::Owner << Action::VoidInvoice << Decision::Allowed;
    QTest::newRow("manager discount above cap")
        << Role::Manager << Action::DiscountAboveCap << Decision::Allowed;
    QTest::newRow("manager saves prices")
        << Role::Manager << Action::SavePriceVersion << Decision::Allowed;
    QTest::newRow("manager operators")
        << Role::Manager << Action::ManageOperators << Decision::AsksOwner;
    QTest::newRow("manager audit") << Role::Manager << Action::ViewAudit << Decision::AsksOwner;
    QTest::newRow("owner audit") << Role::Owner << Action::ViewAudit << Decision::Allowed;
    QTest::newRow("owner hands over owing")
        << Role::Owner << Action::HandOverOwing << Decision::Allowed;
    QTest::newRow("operator opens a shift")
        << Role::Operator << Action::OpenCloseShift << Decision::Allowed;
    QTest::newRow("operator puts cash in") << Role::Operator << Action::CashIn << Decision::Allowed;
    QTest::newRow("operator takes cash out")
        << Role::Operator << Action::CashOut << Decision::AsksManager;
    QTest::newRow("manager takes cash out")
        << Role::Manager << Action::CashOut << Decision::Allowed;
}

void TestOperators::rights()
{
    QFETCH(Role, role);
    QFETCH(Action, action);
    QFETCH(Decision, decision);
    QCOMPARE(decisionFor(role, action), decision);
}

void TestOperators::knownHash()
{
    // The first record's hash, computed once with sha256sum over the documented layout.
    AuditRecord record;
    record.id = 1;
    record.time = QDateTime(QDate(2026, 12, 9), QTime(10, 0), Qt::UTC);
    record.what = QStringLiteral("вход");
    QCOMPARE(auditHash(record, QByteArray()),
             QByteArray("f40889829b8830a9a727567bb990f456af6a9e176c0eb60df19bb1ba8b977ab4"));
}

void TestOperators::tampering_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<qint64>("headCount");
    QTest::addColumn<bool>("intact");
    QTest::addColumn<QString>("problem");
    QTest::newRow("untouched") << "none" << qint64(5) << true << QString();
    QTest::newRow("grown since the head") << "none" << qint64(3) << true << QString();
    QTest::newRow("a value changed") << "change 3" << qint64(5) << false << "запись 3 изменена.";
    QTest::newRow("a row removed")
        << "remove 2" << qint64(5) << false
        << "запись 3 не продолжает предыдущую (вставлена или удалена запись перед ней).";
    QTest::newRow("a row inserted")
        << "insert 2" << qint64(5) << false
        << "запись 3 не продолжает предыдущую (вставлена или удалена запись перед ней).";
    QTest::newRow("last rows removed")
        << "drop last" << qint64(5) << false << "после записи 3 недостаёт записей: их было 5.";
    QTest::newRow("last rows removed, no head") << "drop last" << qint64(0) << true << QString();
    QTest::newRow("resealed after a change")
        << "reseal 4" << qint64(5) << false << "после записи 5 недостаёт записей: их было 5.";
}

void TestOperators::tampering()
{
    QFETCH(QString, edit);
    QFETCH(qint64, headCount);
    QFETCH(bool, intact);
    QFETCH(QString, problem);
    QVector<AuditRecord> records = sampleChain(5);
    const AuditHead head {headCount,
                          headCount > 0 ? records.at(int(headCount) - 1).hash : QByteArray()};
    if (edit == QLatin1String("change 3")) {
        records[2].newValue = QStringLiteral("1");
    } else if (edit == QLatin1String("remove 2")) {
        records.remove(1);
    } else if (edit == QLatin1String("insert 2")) {
        AuditRecord forged = records.at(1);
        forged.id = 99;
        records.insert(2, sealedAuditRecord(forged, records.at(1).hash));
    } else if (edit == QLatin1String("drop last")) {
        records.resize(3);
    } else if (edit == QLatin1String("reseal 4")) {
        // Whoever edits around the program can recompute every hash after the change; the head
        // kept elsewhere still tells.
        records[3].newValue = QStringLiteral("1");
        for (int i = 3; i < records.size(); ++i)
            records[i] = sealedAuditRecord(records.at(i), records.at(i - 1).hash);
    }
    const AuditVerdict verdict = verifyAuditChain(records, head);
    QCOMPARE(verdict.intact, intact);
    QCOMPARE(verdict.problem, problem);
}

QTEST_GUILESS_MAIN(TestOperators)
#include "test_operators.moc"
