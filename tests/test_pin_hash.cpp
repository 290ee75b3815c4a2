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
    void proofs_data();
    void proofs();
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

// The proof made at the counter from the setting matches the kept hash only for its PIN; a
// setting that is not one of ours makes none.
void TestPinHash::proofs_data()
{
    QTest::addColumn<QByteArray>("hash");
    QTest::addColumn<QByteArray>("setting");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("match");
    const QByteArray kept = hashPin(QStringLiteral("4711"));
    QTest::newRow("the PIN") << kept << pinSetting(kept) << "4711" << true;
    QTest::newRow("another PIN") << kept << pinSetting(kept) << "4712" << false;
    QTest::newRow("empty PIN") << kept << pinSetting(kept) << "" << false;
    QTest::newRow("the hash of another salt")
        << kept << pinSetting(hashPin(QStringLiteral("4711"))) << "4711" << false;
    QTest::newRow("Cyrillic") << hashPin(QStringLiteral("пароль-1")) << QByteArray() << "пароль-1"
                              << true;
    QTest::newRow("two lanes") << kept
                               << QByteArray(
                                      "$argon2id$v=19$m=65536,t=2,p=2$c2FsdHNhbHRzYWx0c2FsdA")
                               << "4711" << false;
    QTest::newRow("argon2i") << kept
                             << QByteArray("$argon2i$v=19$m=65536,t=2,p=1$c2FsdHNhbHRzYWx0c2FsdA")
                             << "4711" << false;
    QTest::newRow("a short salt") << kept << QByteArray("$argon2id$v=19$m=65536,t=2,p=1$c2FsdA")
                                  << "4711" << false;
    QTest::newRow("costs not numbers")
        << kept << QByteArray("$argon2id$v=19$m=x,t=2,p=1$c2FsdHNhbHRzYWx0c2FsdA") << "4711"
        << false;
    QTest::newRow("no setting") << kept << QByteArray("") << "4711" << false;
}

void TestPinHash::proofs()
{
    QFETCH(QByteArray, hash);
    QFETCH(QByteArray, setting);
    QFETCH(QString, typed);
    QFETCH(bool, match);
    const QByteArray from = setting.isNull() ? pinSetting(hash) : setting;
    // The setting leaves out the hash's 32 bytes, which are 43 characters and their "$".
    QCOMPARE(hash.size() - pinSetting(hash).size(), 44);
    QCOMPARE(proofMatches(hash, pinProof(from, typed)), match);
}

QTEST_GUILESS_MAIN(TestPinHash)
#include "test_pin_hash.moc"
