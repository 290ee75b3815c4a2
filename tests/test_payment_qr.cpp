// The payment QR code's text: the fields banking apps read, and no code where one would mislead.
#include "order/payment_qr.h"

#include <QtTest>

namespace {

// A bank's published БИК and к/с; the account's key digit (the 9th) computed by hand against it.
PaymentRequest shopRequest()
{
    PaymentRequest request;
    request.payee = {QStringLiteral("ООО «Типография»"),    QStringLiteral("7707083893"),
                     QStringLiteral("770701001"),           QStringLiteral("ПАО Банк"),
                     QStringLiteral("044525225"),           QStringLiteral("40702810200000000001"),
                     QStringLiteral("30101810400000000225")};
    request.sumKopecks = 1320000;
    request.purpose = invoicePaymentPurpose(1042, QDate(2026, 12, 9), true, 0, 0);
    return request;
}

} // namespace

Q_DECLARE_METATYPE(PaymentRequest)

class TestPaymentQr : public QObject
{
    Q_OBJECT

private slots:
    void text_data();
    void text();
    void purpose_data();
    void purpose();
};

void TestPaymentQr::text_data()
{
    QTest::addColumn<PaymentRequest>("request");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("problem");
    const QString head = QStringLiteral(
        "ST00012|Name=ООО «Типография»|PersonalAcc=40702810200000000001|BankName=ПАО Банк"
        "|BIC=044525225|CorrespAcc=30101810400000000225|PayeeINN=7707083893|KPP=770701001");
    PaymentRequest request = shopRequest();
    QTest::newRow("exempt invoice")
        << request
        << head
            + QStringLiteral(
                "|Sum=1320000|Purpose=Оплата по счёту № 1042 от 09.12.2026, НДС не облагается")
        << QString();
    request.payerInn = QStringLiteral("500100732259");
    request.payee.name = QStringLiteral("ИП Печатник | Копии");
    QTest::newRow("payer named, separator in a name")
        << request
        << QString(head).replace(QStringLiteral("ООО «Типография»"),
                                 QStringLiteral("ИП Печатник / Копии"))
            + QStringLiteral(
                "|Sum=1320000|Purpose=Оплата по счёту № 1042 от 09.12.2026, НДС не облагается"
                "|PayerINN=500100732259")
        << QString();
    request = shopRequest();
    request.payee.corrAccount.clear();
    request.payee.kpp.clear();
    request.purpose.clear();
    QTest::newRow("no correspondent account, no КПП")
        << request
        << "ST00012|Name=ООО «Типография»|PersonalAcc=40702810200000000001|BankName=ПАО Банк"
           "|BIC=044525225|CorrespAcc=0|PayeeINN=7707083893|Sum=1320000"
        << QString();
    request = shopRequest();
    request.payee.settlementAccount = QStringLiteral("40702810300000000001");
    QTest::newRow("account's key wrong") << request << QString()
                                         << "QR-код для оплаты не добавлен: расчётный счёт "
                                            "«40702810300000000001» не сходится с БИК.";
    request = shopRequest();
    request.payee.settlementAccount.clear();
    QTest::newRow("no account") << request << QString()
                                << "QR-код для оплаты не добавлен: не указан расчётный счёт.";
    request = shopRequest();
    request.payee.bik = QStringLiteral("04452522");
    QTest::newRow("short БИК") << request << QString()
                               << "QR-код для оплаты не добавлен: БИК «04452522» неверен.";
    request = shopRequest();
    request.sumKopecks = 0;
    QTest::newRow("nothing to pay")
        << request << QString() << "QR-код для оплаты не добавлен: сумма к оплате не больше нуля.";
}

void TestPaymentQr::text()
{
    QFETCH(PaymentRequest, request);
    QFETCH(QString, text);
    QFETCH(QString, problem);
    QString told = QStringLiteral("left over");
    QCOMPARE(paymentQrText(request, &told), text);
    QCOMPARE(told, problem);
}

void TestPaymentQr::purpose_data()
{
    QTest::addColumn<bool>("exempt");
    QTest::addColumn<int>("rate");
    QTest::addColumn<qint64>("tax");
    QTest::addColumn<QString>("purpose");
    QTest::newRow("exempt") << true << 0 << qint64(0)
                            << "Оплата по счёту № 7 от 01.01.2027, НДС не облагается";
    QTest::newRow("22 %") << false << 22 << qint64(123456)
                          << "Оплата по счёту № 7 от 01.01.2027, в т.ч. НДС 22 % — 1 234,56 руб.";
    QTest::newRow("whole roubles keep their kopecks")
        << false << 22 << qint64(290400)
        << "Оплата по счёту № 7 от 01.01.2027, в т.ч. НДС 22 % — 2 904,00 руб.";
    QTest::newRow("5 %, kopecks")
        << false << 5 << qint64(5)
        << "Оплата по счёту № 7 от 01.01.2027, в т.ч. НДС 5 % — 0,05 руб.";
}

void TestPaymentQr::purpose()
{
    QFETCH(bool, exempt);
    QFETCH(int, rate);
    QFETCH(qint64, tax);
    QFETCH(QString, purpose);
    QCOMPARE(invoicePaymentPurpose(7, QDate(2027, 1, 1), exempt, rate, tax), purpose);
}

QTEST_GUILESS_MAIN(TestPaymentQr)
#include "test_payment_qr.moc"
