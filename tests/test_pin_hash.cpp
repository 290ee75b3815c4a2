// Operators' PINs: only Argon2id hashes are kept, each with a salt of its own.
#include "storage/pin_hash.h"

#include <QtTest>

class TestPinHash : public QObject
{
    Q_OBJECT

private slots:
    void matches_data();
    void matches();
    void saltedAndArgon2id();
};

void TestPinHash::matches_data()
{
    QTest::addColumn<QString>("pin");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("match");
    QTest::newRow("same PIN") << "4711"
                              << "4711" << true;
    QTest::newRow("one digit off") << "4711"
                                   << "4712" << false;
    QTest::newRow("prefix") << "47111"
                            << "4711" << false;
    QTest::newRow("Cyrillic password") << "пароль-1"
                                       << "пароль-1" << true;
    QTest::newRow("case matters") << "Пароль"
                                  << "пароль" << false;
    QTest::newRow("empty typed") << "4711"
                                 << "" << false;
}

void TestPinHash::matches()
{
    QFETCH(QString, pin);
    QFETCH(QString, typed);
    QFETCH(bool, match);
    const QByteArray hash = hashPin(pin);
    QVERIFY(!hash.isEmpty());
    QCOMPARE(pinMatches(hash, typed), match);
}

void TestPinHash::saltedAndArgon2id()
{
    const QByteArray first = hashPin(QStringLiteral("4711"));
    const QByteArray second = hashPin(QStringLiteral("4711"));
    QVERIFY2(first.startsWith("$argon2id$"), first.constData());
    QVERIFY(first != second);
    QVERIFY(!first.contains("4711"));
    QVERIFY(!pinNeedsRehash(first));
    QVERIFY(!pinMatches(QByteArray("$argon2id$broken"), QStringLiteral("4711")));
    QVERIFY(!pinMatches(QByteArray(), QStringLiteral("4711")));
}

QTEST_GUILESS_MAIN(TestPinHash)
#include "test_pin_hash.moc"
