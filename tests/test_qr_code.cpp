// QR codes drawn for the documents, read back by a real scanner (zbarimg) byte for byte.
#include "documents/qr_code.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestQrCode : public QObject
{
    Q_OBJECT

private slots:
    void readBack_data();
    void readBack();
    void tooLong();
};

void TestQrCode::readBack_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pixels");
    QTest::newRow("an order number") << "1042" << 4;
    QTest::newRow("payment, Cyrillic in UTF-8")
        << "ST00012|Name=ООО «Типография»|PersonalAcc=40702810900000000001|BankName=ПАО Банк"
           "|BIC=044525225|CorrespAcc=30101810400000000225|PayeeINN=7707083893|KPP=770701001"
           "|Sum=1320000|Purpose=Оплата по счёту № 1042 от 09.12.2026, НДС не облагается"
        << 3;
    QTest::newRow("one pixel a module") << "ST00012|Name=Ъ" << 1;
}

void TestQrCode::readBack()
{
    QFETCH(QString, text);
    QFETCH(int, pixels);
    const QrCode code(text);
    QVERIFY(!code.isNull());
    const QImage picture = code.image(pixels);
    QCOMPARE(picture.width(), (code.size() + 2 * QrCode::QuietZone) * pixels);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("code.png"));
    // Scanners need a light margin around the picture and more than one pixel a module.
    QImage framed = picture.scaled(picture.size() * (pixels == 1 ? 4 : 1));
    QVERIFY(framed.save(path));
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"),
               {QStringLiteral("--raw"), QStringLiteral("-q"), QStringLiteral("-Sbinary"), path});
    QVERIFY(zbar.waitForFinished(20000));
    QCOMPARE(zbar.exitCode(), 0);
    QByteArray read = zbar.readAllStandardOutput();
    if (read.endsWith('\n'))
        read.chop(1);
    QCOMPARE(QString::fromUtf8(read), text);
}

void TestQrCode::tooLong()
{
    QVERIFY(QrCode(QString(3000, QLatin1Char('x'))).isNull());
    QVERIFY(QrCode().image(4).isNull());
}

QTEST_GUILESS_MAIN(TestQrCode)
#include "test_qr_code.moc"
