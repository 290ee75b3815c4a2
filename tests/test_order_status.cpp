// The order's life after the quote without a window: status rules, payments, the default due
// time, and the bank's statement read in each of its encodings.
#include "order/bank_statement.h"
#include "order/order_status.h"

#include <QTextCodec>
#include <QtTest>

Q_DECLARE_METATYPE(OrderStatus)

namespace {

// A statement as a bank writes it, with every kind of document the import meets.
const char *const StatementText
    = "1CClientBankExchange\n"
      "ВерсияФормата=1.03\n"
      "Кодировка=%1\n"
      "Отправитель=Банк-клиент\n"
      "ДатаНачала=01.12.2026\n"
      "ДатаКонца=09.12.2026\n"
      "РасчСчет=40702810900000000001\n"
      "СекцияРасчСчет\n"
      "ДатаНачала=01.12.2026\n"
      "НачальныйОстаток=0.00\n"
      "КонецРасчСчет\n"
      "СекцияДокумент=Платежное поручение\n"
      "Номер=127\n"
      "Дата=08.12.2026\n"
      "Сумма=13200.00\n"
      "ПлательщикСчет=40702810400000000002\n"
      "ДатаСписано=\n"
      "Плательщик=ИНН 7707083893 ООО \"Ромашка\"\n"
      "ПлательщикИНН=7707083893\n"
      "Плательщик1=ООО \"Ромашка\"\n"
      "ПолучательСчет=40702810900000000001\n"
      "ДатаПоступило=09.12.2026\n"
      "НазначениеПлатежа=Оплата по счету № 1042 от 05.12.2026. Сумма 13200-00\n"
      "НовыйКлюч=что угодно\n"
      "КонецДокумента\n"
      "СекцияДокумент=Банковский ордер\n"
      "Номер=5\n"
      "Дата=09.12.2026\n"
      "Сумма=1500\n"
      "ПолучательРасчСчет=40702810900000000001\n"
      "ДатаПоступило=09.12.2026\n"
      "НазначениеПлатежа=сч.1043\n"
      "КонецДокумента\n"
      "СекцияДокумент=Платежное поручение\n"
      "Номер=9\n"
      "Дата=09.12.2026\n"
      "Сумма=700.50\n"
      "ПлательщикСчет=40702810900000000001\n"
      "ПолучательСчет=40702810400000000002\n"
      "ДатаСписано=09.12.2026\n"
      "НазначениеПлатежа=Расчет за бумагу\n"
      "КонецДокумента\n"
      "КонецФайла\n";

} // namespace

class TestOrderStatus : public QObject
{
    Q_OBJECT

private slots:
    void statusChange_data();
    void statusChange();
    void statusWords_data();
    void statusWords();
    void paymentStates_data();
    void paymentStates();
    void amounts_data();
    void amounts();
    void due_data();
    void due();
    void hoursText_data();
    void hoursText();
    void purposes_data();
    void purposes();
    void statementEncodings_data();
    void statementEncodings();
    void brokenStatements_data();
    void brokenStatements();
};

void TestOrderStatus::statusChange_data()
{
    QTest::addColumn<OrderStatus>("from");
    QTest::addColumn<OrderStatus>("to");
    QTest::addColumn<QString>("problem");
    using S = OrderStatus;
    QTest::newRow("taken → in work") << S::Accepted << S::InWork << QString();
    QTest::newRow("taken → ready, skipping") << S::Accepted << S::Ready << QString();
    QTest::newRow("taken → handed over at once") << S::Accepted << S::HandedOver << QString();
    QTest::newRow("ready → handed over") << S::Ready << S::HandedOver << QString();
    QTest::newRow("one step back") << S::Ready << S::InWork << QString();
    QTest::newRow("in work back to taken") << S::InWork << S::Accepted << QString();
    QTest::newRow("two steps back")
        << S::Ready << S::Accepted << "Назад можно только на один шаг («Готов» → «Принят»).";
    QTest::newRow("back from handed over")
        << S::HandedOver << S::Ready
        << "Заказ выдан: его статус больше не меняется («Выдан» → «Готов»).";
    QTest::newRow("cancel when taken") << S::Accepted << S::Cancelled << QString();
    QTest::newRow("cancel when ready") << S::Ready << S::Cancelled << QString();
    QTest::newRow("cancel when handed over")
        << S::HandedOver << S::Cancelled
        << "Заказ выдан: его статус больше не меняется («Выдан» → «Отменён»).";
    QTest::newRow("nothing after cancel")
        << S::Cancelled << S::Accepted << "Заказ отменён: его статус больше не меняется.";
    QTest::newRow("same status") << S::InWork << S::InWork << "Заказ уже в статусе «В работе».";
}

void TestOrderStatus::statusChange()
{
    QFETCH(OrderStatus, from);
    QFETCH(OrderStatus, to);
    QFETCH(QString, problem);
    QCOMPARE(statusChangeProblem(from, to), problem);
}

void TestOrderStatus::statusWords_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("known");
    QTest::addColumn<QString>("caption");
    QTest::newRow("lower case") << "в работе" << true << "В работе";
    QTest::newRow("spaces and case") << "  ГОТОВ " << true << "Готов";
    QTest::newRow("е for ё") << "отменен" << true << "Отменён";
    QTest::newRow("with ё") << "отменён" << true << "Отменён";
    QTest::newRow("handed over") << "выдан" << true << "Выдан";
    QTest::newRow("unknown") << "сделан" << false << QString();
    QTest::newRow("empty") << "" << false << QString();
}

void TestOrderStatus::statusWords()
{
    QFETCH(QString, word);
    QFETCH(bool, known);
    QFETCH(QString, caption);
    OrderStatus status = OrderStatus::Accepted;
    QCOMPARE(statusFromWord(word, &status), known);
    if (known)
        QCOMPARE(statusCaption(status), caption);
}

void TestOrderStatus::paymentStates_data()
{
    QTest::addColumn<qint64>("total");
    QTest::addColumn<QList<qint64>>("payments");
    QTest::addColumn<QString>("state");
    QTest::newRow("nothing paid") << qint64(1320000) << QList<qint64>() << "не оплачен";
    QTest::newRow("prepayment") << qint64(1320000) << QList<qint64> {500000} << "частично";
    QTest::newRow("paid in two") << qint64(1320000) << QList<qint64> {500000, 820000} << "оплачен";
    QTest::newRow("a kopeck short") << qint64(1320000) << QList<qint64> {1319999} << "частично";
    QTest::newRow("a kopeck over") << qint64(1320000) << QList<qint64> {1320001} << "переплата";
    QTest::newRow("refunded overpayment")
        << qint64(1320000) << QList<qint64> {1400000, -80000} << "оплачен";
    QTest::newRow("refunded all") << qint64(1320000) << QList<qint64> {500000, -500000}
                                  << "не оплачен";
}

void TestOrderStatus::paymentStates()
{
    QFETCH(qint64, total);
    QFETCH(QList<qint64>, payments);
    QFETCH(QString, state);
    QVector<Payment> made;
    for (qint64 kopecks : payments) {
        Payment payment;
        payment.kopecks = kopecks;
        made.append(payment);
    }
    QCOMPARE(paymentStateWord(paymentState(total, paidKopecks(made))), state);
}

void TestOrderStatus::amounts_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("kopecks");
    QTest::newRow("whole") << "1200" << true << "1200.00";
    QTest::newRow("comma and groups") << "1 200,5" << true << "1200.50";
    QTest::newRow("no-break space") << "13\u00a0200.00" << true << "13200.00";
    QTest::newRow("refund") << "-300" << true << "-300.00";
    QTest::newRow("kopecks only") << "0.07" << true << "0.07";
    QTest::newRow("three decimals") << "1.005" << false << QString();
    QTest::newRow("words") << "тысяча" << false << QString();
    QTest::newRow("exponent") << "1e3" << false << QString();
    QTest::newRow("empty") << "" << false << QString();
}

void TestOrderStatus::amounts()
{
    QFETCH(QString, typed);
    QFETCH(bool, valid);
    QFETCH(QString, kopecks);
    qint64 read = 0;
    QCOMPARE(readKopecks(typed, &read), valid);
    if (valid)
        QCOMPARE(kopecksText(read), kopecks);
}

void TestOrderStatus::due_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("days");
    QTest::addColumn<QDateTime>("due");
    const QTime evening(18, 30);
    QTest::newRow("Wednesday → Thursday") << QDateTime(QDate(2026, 12, 9), evening) << "1,2,3,4,5"
                                          << QDateTime(QDate(2026, 12, 10), QTime(12, 0));
    QTest::newRow("Friday → Monday") << QDateTime(QDate(2026, 12, 11), evening) << "1,2,3,4,5"
                                     << QDateTime(QDate(2026, 12, 14), QTime(12, 0));
    QTest::newRow("Friday, Saturday works")
        << QDateTime(QDate(2026, 12, 11), evening) << "1,2,3,4,5,6"
        << QDateTime(QDate(2026, 12, 12), QTime(12, 0));
    QTest::newRow("Sunday → Monday") << QDateTime(QDate(2026, 12, 13), QTime(9, 0)) << "1,2,3,4,5"
                                     << QDateTime(QDate(2026, 12, 14), QTime(12, 0));
    QTest::newRow("open Tuesdays only") << QDateTime(QDate(2026, 12, 8), evening) << "2"
                                        << QDateTime(QDate(2026, 12, 15), QTime(12, 0));
    QTest::newRow("over the new year") << QDateTime(QDate(2026, 12, 31), evening) << "1,2,3,4,5"
                                       << QDateTime(QDate(2027, 1, 1), QTime(12, 0));
}

void TestOrderStatus::due()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, days);
    QFETCH(QDateTime, due);
    QVector<int> working;
    QVERIFY(readWorkingDays(days, &working));
    QCOMPARE(defaultDue(now, working, 12), due);
}

// The days as the settings give them, the times, and the hours as a customer reads them.
void TestOrderStatus::hoursText_data()
{
    QTest::addColumn<QString>("days");
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QString>("written");
    QTest::newRow("a working week") << "1,2,3,4,5"
                                    << "пн–пт 09:00–19:00"
                                    << "1,2,3,4,5";
    QTest::newRow("a day and a span") << "6,1,3,4,5"
                                      << "пн, ср–сб 09:00–19:00"
                                      << "1,3,4,5,6";
    QTest::newRow("short runs day by day") << "1,2,7"
                                           << "пн, вт, вс 09:00–19:00"
                                           << "1,2,7";
    QTest::newRow("every day") << "7,6,5,4,3,2,1"
                               << "ежедневно 09:00–19:00"
                               << "1,2,3,4,5,6,7";
}

void TestOrderStatus::hoursText()
{
    QFETCH(QString, days);
    QFETCH(QString, hours);
    QFETCH(QString, written);
    QVector<int> working;
    QVERIFY(readWorkingDays(days, &working));
    QCOMPARE(openingHoursText(working, QTime(9, 0), QTime(19, 0)), hours);
    QCOMPARE(workingDaysText(working), written);
    QCOMPARE(openingHoursText(working, QTime(9, 0), QTime()), QString());
}

void TestOrderStatus::purposes_data()
{
    QTest::addColumn<QString>("purpose");
    QTest::addColumn<qint64>("number");
    QTest::newRow("счету №") << "Оплата по счету № 1042 от 05.12.2026. Сумма 13200-00"
                             << qint64(1042);
    QTest::newRow("счёт №") << "Оплата, счёт №1042" << qint64(1042);
    QTest::newRow("сч.") << "сч. 1042 от 01.12.2026" << qint64(1042);
    QTest::newRow("сч. glued") << "сч.1043" << qint64(1043);
    QTest::newRow("capitals") << "ОПЛАТА ПО СЧЕТУ 77" << qint64(77);
    QTest::newRow("Latin N") << "по счету N 15" << qint64(15);
    QTest::newRow("счета") << "оплата счета 2048, без НДС" << qint64(2048);
    QTest::newRow("word containing счет") << "Расчет за бумагу 15" << qint64(0);
    QTest::newRow("no number") << "Оплата по договору" << qint64(0);
    QTest::newRow("date is no number") << "по счету от 05.12.2026" << qint64(0);
    QTest::newRow("date glued before №") << "Оплата по сч.05.12.2026 №1006" << qint64(1006);
    QTest::newRow("от date before №") << "Оплата по счёту от 05.12.2026 № 1006" << qint64(1006);
    QTest::newRow("date after") << "счет 1006 от 05.12.2026" << qint64(1006);
    QTest::newRow("short year, no №") << "сч. от 5.12.26 1006" << qint64(1006);
    QTest::newRow("date with г") << "по счёту от 05.12.2026г. 1006" << qint64(1006);
    QTest::newRow("заказу №") << "Оплата по заказу № 1006" << qint64(1006);
    QTest::newRow("заказа, no №") << "ЗАКАЗА 31" << qint64(31);
    QTest::newRow("word before №") << "Оплата по заказу клиента №9614" << qint64(9614);
    QTest::newRow("keyword before a bare №") << "по договору № 12 по счету 1042" << qint64(1042);
    QTest::newRow("bare №") << "Оплата № 1006 за печать" << qint64(1006);
    QTest::newRow("bare N") << "Оплата N 1006" << qint64(1006);
    QTest::newRow("bare № of a date") << "Оплата № 05.12.2026" << qint64(0);
    QTest::newRow("number after words without №") << "по счету на сумму 500" << qint64(0);
    QTest::newRow("amount with kopecks") << "счет 1500.00" << qint64(0);
    QTest::newRow("INN without keyword") << "ИНН 7707083893 оплата" << qint64(0);
    QTest::newRow("account of 20 digits") << "р/сч 40702810900000000001" << qint64(0);
    QTest::newRow("18 digits") << "счёт 123456789012345678" << qint64(123456789012345678);
    QTest::newRow("N inside a word") << "INN 7707083893" << qint64(0);
    QTest::newRow("заказчик is no keyword") << "заказчик 15" << qint64(0);
}

void TestOrderStatus::purposes()
{
    QFETCH(QString, purpose);
    QFETCH(qint64, number);
    QCOMPARE(invoiceNumberInPurpose(purpose), number);
}

void TestOrderStatus::statementEncodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QString windows = QString::fromUtf8(StatementText).arg(QStringLiteral("Windows"));
    const QString dos = QString::fromUtf8(StatementText).arg(QStringLiteral("DOS"));
    QTest::newRow("Windows-1251") << QTextCodec::codecForName("Windows-1251")->fromUnicode(windows);
    QTest::newRow("CP866") << QTextCodec::codecForName("IBM866")->fromUnicode(dos);
    QTest::newRow("UTF-8 with a mark") << QByteArray("\xEF\xBB\xBF") + windows.toUtf8();
    QTest::newRow("Windows-1251, CRLF")
        << QTextCodec::codecForName("Windows-1251")->fromUnicode(windows).replace("\n", "\r\n");
}

void TestOrderStatus::statementEncodings()
{
    QFETCH(QByteArray, bytes);
    BankStatement statement;
    QString problem;
    QVERIFY2(readBankStatement(bytes, &statement, &problem), qPrintable(problem));
    QCOMPARE(statement.version, QStringLiteral("1.03"));
    QCOMPARE(statement.documents.size(), 3);
    const StatementDocument &order = statement.documents.at(0);
    QCOMPARE(order.kind, QStringLiteral("Платежное поручение"));
    QCOMPARE(order.line, 12);
    QCOMPARE(order.kopecks, qint64(1320000));
    QCOMPARE(order.payerName, QStringLiteral("ООО \"Ромашка\""));
    QCOMPARE(order.payerInn, QStringLiteral("7707083893"));
    QCOMPARE(order.received, QDate(2026, 12, 9));
    QCOMPARE(invoiceNumberInPurpose(order.purpose), qint64(1042));
    const QString shop = QStringLiteral("40702810900000000001");
    QVERIFY(order.isIncomingTo(shop));
    QVERIFY(statement.documents.at(1).isIncomingTo(shop));
    QCOMPARE(statement.documents.at(1).kopecks, qint64(150000));
    QVERIFY(!statement.documents.at(2).isIncomingTo(shop));
    QCOMPARE(statement.documents.at(2).writtenOff, QDate(2026, 12, 9));
    QVERIFY(order.identity() != statement.documents.at(1).identity());
}

void TestOrderStatus::brokenStatements_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("problem");
    const QString head = QStringLiteral("1CClientBankExchange\nКодировка=Windows\n");
    QTest::newRow("not a statement") << "Дата;Сумма\n"
                                     << "Строка 1: это не выписка банка для бухгалтерии (первая "
                                        "строка должна быть «1CClientBankExchange»).";
    QTest::newRow("cut short") << head
            + QStringLiteral("СекцияДокумент=Платежное поручение\nСумма=1.00\n")
                               << "Строка 5: файл оборван: нет «КонецФайла».";
    QTest::newRow("document not closed")
        << head + QStringLiteral("СекцияДокумент=Платежное поручение\nСумма=1.00\nКонецФайла\n")
        << "Строка 5: документ со строки 3 не закрыт (нет «КонецДокумента»).";
    QTest::newRow("two documents open")
        << head
            + QStringLiteral(
                "СекцияДокумент=Платежное поручение\nСекцияДокумент=Банковский ордер\n")
        << "Строка 4: новый документ до «КонецДокумента» предыдущего (строка 3).";
    QTest::newRow("bad sum") << head
            + QStringLiteral("СекцияДокумент=Платежное поручение\nСумма=13 200 руб\n")
                             << "Строка 4: сумма «13 200 руб» не число с копейками.";
    QTest::newRow("bad date") << head
            + QStringLiteral("СекцияДокумент=Платежное поручение\nДата=2026-12-09\n")
                              << "Строка 4: дата «2026-12-09» не в виде ДД.ММ.ГГГГ.";
    QTest::newRow("no such day") << head
            + QStringLiteral("СекцияДокумент=Платежное поручение\nДатаПоступило=30.02.2026\n")
                                 << "Строка 4: дата «30.02.2026» не в виде ДД.ММ.ГГГГ.";
    QTest::newRow("a day of one digit")
        << head + QStringLiteral("СекцияДокумент=Платежное поручение\nДата=9.03.2026\n")
        << "Строка 4: дата «9.03.2026» не в виде ДД.ММ.ГГГГ.";
    QTest::newRow("a sign in the year")
        << head + QStringLiteral("СекцияДокумент=Платежное поручение\nДата=09.03.+026\n")
        << "Строка 4: дата «09.03.+026» не в виде ДД.ММ.ГГГГ.";
    QTest::newRow("no key") << head + QStringLiteral("просто текст\n")
                            << "Строка 3: ожидалось «Ключ=значение», а не «просто текст».";
    QTest::newRow("after the end")
        << head + QStringLiteral("КонецФайла\nНомер=1\n") << "Строка 4: текст после «КонецФайла».";
}

void TestOrderStatus::brokenStatements()
{
    QFETCH(QString, text);
    QFETCH(QString, problem);
    BankStatement statement;
    statement.version = QStringLiteral("untouched");
    QString told;
    QVERIFY(!readBankStatement(QTextCodec::codecForName("Windows-1251")->fromUnicode(text),
                               &statement, &told));
    QCOMPARE(told, problem);
    QCOMPARE(statement.version, QStringLiteral("untouched"));
}

QTEST_GUILESS_MAIN(TestOrderStatus)
#include "test_order_status.moc"
