// A customer's requisites without a window: the control digits, the accounts' keys against the
// bank, phones by their digits, e-mails, discounts, and the card's mistakes in Russian.
#include "customers/customer_file.h"
#include "customers/requisites.h"
#include "order/visible_text.h"

#include <QtTest>

Q_DECLARE_METATYPE(Customer)
Q_DECLARE_METATYPE(Customer::Kind)

namespace {

enum Requisite { Inn, Kpp, Ogrn, Bik, Account, CorrespondentAccount };

} // namespace

Q_DECLARE_METATYPE(Requisite)

class CustomersTest : public QObject
{
    Q_OBJECT

private slots:
    // Text from outside shown on a terminal or in an exported file: control characters as marks.
    void shownText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("terminal");
        QTest::addColumn<QString>("csv");
        const struct
        {
            const char *row;
            QString text, terminal, csv;
        } rows[] = {
            {"plain", QStringLiteral("Иван «Ромашка»"), QStringLiteral("Иван «Ромашка»"),
             QStringLiteral("Иван «Ромашка»")},
            {"clear the screen", QStringLiteral("\x1b[2J\x1b[31mRED"),
             QStringLiteral("␛[2J␛[31mRED"), QStringLiteral("␛[2J␛[31mRED")},
            {"overwrite the line", QStringLiteral("Иван\r\nЗаявка"), QStringLiteral("Иван␍␊Заявка"),
             QStringLiteral("\"Иван␍\nЗаявка\"")},
            {"a tab", QStringLiteral("a\tb"), QStringLiteral("a␉b"), QStringLiteral("a\tb")},
            {"NUL and DEL", QString(QChar(0)) + QStringLiteral("x\x7f"), QStringLiteral("␀x␡"),
             QStringLiteral("␀x␡")},
            {"C1 and the separators", QStringLiteral("a\u009bb\u2028c\u2029"),
             QStringLiteral("a�b�c�"), QStringLiteral("a�b�c�")},
        };
        for (const auto &row : rows)
            QTest::newRow(row.row) << row.text << row.terminal << row.csv;
    }

    void shownText()
    {
        QFETCH(QString, text);
        QFETCH(QString, terminal);
        QFETCH(QString, csv);
        QCOMPARE(visibleText(text), terminal);
        QCOMPARE(csvTextField(text), csv);
    }

    // Valid values are published requisites or have their control digits worked out here by
    // hand, digit × weight, never by the code under test.
    void requisites_data()
    {
        QTest::addColumn<Requisite>("requisite");
        QTest::addColumn<Customer::Kind>("kind");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("bik");
        QTest::addColumn<bool>("valid");
        const Customer::Kind org = Customer::Organisation;
        const Customer::Kind ip = Customer::SoleTrader;
        const Customer::Kind person = Customer::Person;
        const QString bank = QStringLiteral("044525225");

        QTest::newRow("ИНН org published") << Inn << org << "7707083893"
                                           << "" << true;
        // 7·2+7·4+0·10+7·3+0·5+8·9+3·4+8·6+3·8 = 219 = 19·11+10 → 10 mod 10 = 0
        QTest::newRow("ИНН org control 10 gives 0") << Inn << org << "7707083830"
                                                    << "" << true;
        QTest::newRow("ИНН org control 10 kept as 10") << Inn << org << "7707083831"
                                                       << "" << false;
        QTest::newRow("ИНН org last digit off") << Inn << org << "7707083894"
                                                << "" << false;
        QTest::newRow("ИНН org 9 digits") << Inn << org << "770708389"
                                          << "" << false;
        QTest::newRow("ИНН org letter") << Inn << org << "77070838a3"
                                        << "" << false;
        QTest::newRow("ИНН org of 12 digits") << Inn << org << "500100732259"
                                              << "" << false;
        // d11: 5·7+0·2+0·4+1·10+0·3+0·5+7·9+3·4+2·6+2·8 = 148 = 13·11+5 → 5;
        // d12: 5·3+0·7+0·2+1·4+0·10+0·3+7·5+3·9+2·4+2·6+5·8 = 141 = 12·11+9 → 9
        QTest::newRow("ИНН ИП") << Inn << ip << "500100732259"
                                << "" << true;
        QTest::newRow("ИНН person") << Inn << person << "500100732259"
                                    << "" << true;
        QTest::newRow("ИНН ИП d11 wrong") << Inn << ip << "500100732269"
                                          << "" << false;
        QTest::newRow("ИНН ИП d12 wrong") << Inn << ip << "500100732258"
                                          << "" << false;
        QTest::newRow("ИНН ИП of 10 digits") << Inn << ip << "7707083893"
                                             << "" << false;
        QTest::newRow("ИНН person blank inside") << Inn << person << "5001 0073225"
                                                 << "" << false;

        QTest::newRow("КПП digits") << Kpp << org << "770701001"
                                    << "" << true;
        QTest::newRow("КПП letters in 5-6") << Kpp << org << "7707AB001"
                                            << "" << true;
        QTest::newRow("КПП small letters") << Kpp << org << "7707ab001"
                                           << "" << false;
        QTest::newRow("КПП Cyrillic letters") << Kpp << org << "7707АВ001"
                                              << "" << false;
        QTest::newRow("КПП letter in 1-4") << Kpp << org << "77A701001"
                                           << "" << false;
        QTest::newRow("КПП 8 characters") << Kpp << org << "77070100"
                                          << "" << false;
        QTest::newRow("КПП 10 characters") << Kpp << org << "7707010010"
                                           << "" << false;

        QTest::newRow("ОГРН published") << Ogrn << org << "1027700132195"
                                        << "" << true;
        QTest::newRow("ОГРН last digit off") << Ogrn << org << "1027700132196"
                                             << "" << false;
        // 103773901089 mod 11 = 1 (11·9433990917 = 103773900087, rest 1002 = 91·11+1)
        QTest::newRow("ОГРН second") << Ogrn << org << "1037739010891"
                                     << "" << true;
        // 102770013213 = 11·9342728473 + 10 → 10 mod 10 = 0
        QTest::newRow("ОГРН control 10 gives 0") << Ogrn << org << "1027700132130"
                                                 << "" << true;
        QTest::newRow("ОГРН 12 digits") << Ogrn << org << "102770013219"
                                        << "" << false;
        QTest::newRow("ОГРН for ИП") << Ogrn << ip << "1027700132195"
                                     << "" << false;
        // 30477010000001 = 13·2344385384615 + 6 → 6
        QTest::newRow("ОГРНИП") << Ogrn << ip << "304770100000016"
                                << "" << true;
        // 30477010000005 = 13·2344385384615 + 10 → 10 mod 10 = 0
        QTest::newRow("ОГРНИП control 10 gives 0") << Ogrn << ip << "304770100000050"
                                                   << "" << true;
        QTest::newRow("ОГРНИП last digit off") << Ogrn << ip << "304770100000017"
                                               << "" << false;
        QTest::newRow("ОГРНИП for organisation") << Ogrn << org << "304770100000016"
                                                 << "" << false;
        QTest::newRow("ОГРН of a person") << Ogrn << person << "1027700132195"
                                          << "" << false;

        QTest::newRow("БИК") << Bik << org << "044525225"
                             << "" << true;
        QTest::newRow("БИК 8 digits") << Bik << org << "04452522"
                                      << "" << false;
        QTest::newRow("БИК not 04") << Bik << org << "144525225"
                                    << "" << false;
        QTest::newRow("БИК letter") << Bik << org << "04452522O"
                                    << "" << false;

        QTest::newRow("к/с published")
            << CorrespondentAccount << org << "30101810400000000225" << bank << true;
        QTest::newRow("к/с last digit off")
            << CorrespondentAccount << org << "30101810400000000226" << bank << false;
        // "0" + "30" + account gives 96, not divisible by 10
        QTest::newRow("к/с other bank") << CorrespondentAccount << org << "30101810400000000225"
                                        << "044030653" << false;
        QTest::newRow("к/с not 301")
            << CorrespondentAccount << org << "40101810400000000225" << bank << false;
        QTest::newRow("к/с without БИК") << CorrespondentAccount << org << "30101810400000000225"
                                         << "" << false;
        // "225" + account, weights 7,1,3…: 14+2+15 + 28+0+21 + 0+2+24 + 7+0+27 + 56+0+0 + 0+0+0
        // + 0+0+0 + 0+0+3 = 170, divisible by 10
        QTest::newRow("р/с") << Account << org << "40702810938000000001" << bank << true;
        QTest::newRow("р/с key digit off")
            << Account << org << "40702810838000000001" << bank << false;
        QTest::newRow("р/с checked against other bank") << Account << org << "40702810938000000001"
                                                        << "044525226" << false;
        QTest::newRow("р/с 19 digits") << Account << org << "4070281093800000000" << bank << false;
        QTest::newRow("р/с with invalid БИК") << Account << org << "40702810938000000001"
                                              << "144525225" << false;
    }
    void requisites()
    {
        QFETCH(Requisite, requisite);
        QFETCH(Customer::Kind, kind);
        QFETCH(QString, value);
        QFETCH(QString, bik);
        QFETCH(bool, valid);
        bool result = false;
        switch (requisite) {
        case Inn:
            result = innValid(value, kind);
            break;
        case Kpp:
            result = kppValid(value);
            break;
        case Ogrn:
            result = ogrnValid(value, kind);
            break;
        case Bik:
            result = bikValid(value);
            break;
        case Account:
            result = accountValid(value, bik);
            break;
        case CorrespondentAccount:
            result = correspondentAccountValid(value, bik);
            break;
        }
        QCOMPARE(result, valid);
    }

    void phones_data()
    {
        QTest::addColumn<QString>("phone");
        QTest::addColumn<QString>("digits");
        QTest::newRow("8 with brackets") << "8 (912) 345-67-89"
                                         << "79123456789";
        QTest::newRow("+7 with blanks") << "+7 912 345 67 89"
                                        << "79123456789";
        QTest::newRow("7 without plus") << "79123456789"
                                        << "79123456789";
        QTest::newRow("ten digits") << "912 345-67-89"
                                    << "79123456789";
        QTest::newRow("foreign with plus") << "+375 29 123 45 67"
                                           << "375291234567";
        QTest::newRow("short city number") << "23-45-67"
                                           << "234567";
        QTest::newRow("no digits") << "нет"
                                   << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void phones()
    {
        QFETCH(QString, phone);
        QFETCH(QString, digits);
        QCOMPARE(phoneDigits(phone), digits);
    }

    void emails_data()
    {
        QTest::addColumn<QString>("email");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "info@romashka.ru" << true;
        QTest::newRow("dots and plus") << "ivan.petrov+print@mail.example.com" << true;
        QTest::newRow("Cyrillic domain") << "zakaz@типография.рф" << true;
        // The sender refuses these for good: refused where they are typed.
        QTest::newRow("Cyrillic name") << "заказ@типография.рф" << false;
        QTest::newRow("quoted name") << "\"ab\"@example.ru" << false;
        QTest::newRow("no at") << "info.romashka.ru" << false;
        QTest::newRow("two at") << "info@@romashka.ru" << false;
        QTest::newRow("no domain dot") << "info@romashka" << false;
        QTest::newRow("blank inside") << "info @romashka.ru" << false;
        QTest::newRow("nothing before at") << "@romashka.ru" << false;
        QTest::newRow("dot at the end") << "info@romashka." << false;
        QTest::newRow("two dots in domain") << "info@romashka..ru" << false;
    }
    void emails()
    {
        QFETCH(QString, email);
        QFETCH(bool, valid);
        QCOMPARE(emailLooksValid(email), valid);
    }

    void discounts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("hundredths");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("figure");
        QTest::newRow("whole") << "5" << true << 500 << "5"
                               << "5";
        QTest::newRow("comma") << "5,25" << true << 525 << "5,25"
                               << "5.25";
        QTest::newRow("point") << "5.25" << true << 525 << "5,25"
                               << "5.25";
        QTest::newRow("one decimal") << "7,5" << true << 750 << "7,5"
                                     << "7.5";
        QTest::newRow("hundredths only") << "0,05" << true << 5 << "0,05"
                                         << "0.05";
        QTest::newRow("zero") << "0" << true << 0 << "0"
                              << "0";
        QTest::newRow("empty is none") << "" << true << 0 << "0"
                                       << "0";
        QTest::newRow("fifty") << "50" << true << 5000 << "50"
                               << "50";
        QTest::newRow("with percent") << "10 %" << true << 1000 << "10"
                                      << "10";
        QTest::newRow("fifty and a hundredth") << "50,01" << false << -1 << ""
                                               << "";
        QTest::newRow("sixty") << "60" << false << -1 << ""
                               << "";
        QTest::newRow("three decimals") << "5,255" << false << -1 << ""
                                        << "";
        QTest::newRow("negative") << "-5" << false << -1 << ""
                                  << "";
        QTest::newRow("word") << "пять" << false << -1 << ""
                              << "";
        QTest::newRow("hundred") << "100" << false << -1 << ""
                                 << "";
    }
    void discounts()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, hundredths);
        QFETCH(QString, shown);
        QFETCH(QString, figure);
        int read = -1;
        QCOMPARE(readDiscount(text, &read), ok);
        QCOMPARE(read, hundredths);
        if (ok) {
            QCOMPARE(discountText(read), shown);
            QCOMPARE(discountFigure(read), figure);
        }
    }

    // The card's mistakes: each names its field, in the card's order.
    void problems_data()
    {
        QTest::addColumn<Customer>("customer");
        QTest::addColumn<QStringList>("messages");
        Customer good;
        good.kind = Customer::Organisation;
        good.shortName = QStringLiteral("ООО «Ромашка»");
        good.inn = QStringLiteral("7707083893");
        good.kpp = QStringLiteral("770701001");
        good.ogrn = QStringLiteral("1027700132195");
        good.phone = QStringLiteral("+7 495 123-45-67");
        good.email = QStringLiteral("info@romashka.ru");
        good.bik = QStringLiteral("044525225");
        good.account = QStringLiteral("40702810938000000001");
        good.correspondentAccount = QStringLiteral("30101810400000000225");
        good.discountHundredths = 525;
        QTest::newRow("every requisite right") << good << QStringList();

        Customer named;
        named.shortName = QStringLiteral("ООО «Ромашка»");
        QTest::newRow("name alone") << named << QStringList();

        Customer c = good;
        c.inn = QStringLiteral("770708389");
        QTest::newRow("short ИНН")
            << c << QStringList {QStringLiteral("ИНН: 10 цифр для организации, введено 9 цифр")};
        c = good;
        c.kind = Customer::SoleTrader;
        c.kpp.clear();
        c.ogrn = QStringLiteral("304770100000016");
        QTest::newRow("ИП with an organisation's ИНН")
            << c << QStringList {QStringLiteral("ИНН: 12 цифр для ИП, введено 10 цифр")};
        c = good;
        c.kind = Customer::SoleTrader;
        c.inn = QStringLiteral("500100732259");
        QTest::newRow("ИП with КПП and ОГРН")
            << c
            << QStringList {QStringLiteral("КПП: бывает только у организации"),
                            QStringLiteral("ОГРНИП: 15 цифр для ИП, введено 13 цифр")};
        c = good;
        c.inn = QStringLiteral("7707083894");
        c.ogrn = QStringLiteral("1027700132196");
        QTest::newRow("control digits")
            << c
            << QStringList {
                   QStringLiteral("ИНН: не сходится контрольная цифра — проверьте номер"),
                   QStringLiteral("ОГРН: не сходится контрольная цифра — проверьте номер")};
        c = good;
        c.shortName.clear();
        c.kpp = QStringLiteral("7707ab001");
        c.email = QStringLiteral("info@romashka");
        c.phone = QStringLiteral("12");
        c.discountHundredths = 5001;
        QTest::newRow("name, КПП, phone, e-mail, discount")
            << c
            << QStringList {
                   QStringLiteral("Наименование: не заполнено"),
                   QStringLiteral("КПП: 9 знаков: 4 цифры, 2 цифры или заглавные латинские "
                                  "буквы, 3 цифры"),
                   QStringLiteral("Телефон: слишком мало цифр для номера"),
                   QStringLiteral("E-mail: не похож на адрес почты (ожидается вида "
                                  "name@example.ru)"),
                   QStringLiteral("Скидка: от 0 до 50 %")};
        c = good;
        c.bik = QStringLiteral("04452522");
        QTest::newRow("short БИК leaves accounts unchecked")
            << c
            << QStringList {QStringLiteral("БИК: 9 цифр, введено 8 цифр"),
                            QStringLiteral("Расчётный счёт: не проверить, пока неверен БИК"),
                            QStringLiteral("Корр. счёт: не проверить, пока неверен БИК")};
        c = good;
        c.bik.clear();
        QTest::newRow("accounts without БИК")
            << c
            << QStringList {
                   QStringLiteral("Расчётный счёт: без БИК банка его не проверить — укажите БИК"),
                   QStringLiteral("Корр. счёт: без БИК банка его не проверить — укажите БИК")};
        c = good;
        c.account = QStringLiteral("40702810838000000001");
        c.correspondentAccount = QStringLiteral("3010181040000000022");
        QTest::newRow("account keys")
            << c
            << QStringList {
                   QStringLiteral("Расчётный счёт: не сходится с БИК — проверьте счёт и БИК"),
                   QStringLiteral("Корр. счёт: 20 цифр, введено 19 цифр")};
        c = named;
        c.kind = Customer::Person;
        c.inn = QStringLiteral("50010073225");
        c.ogrn = QStringLiteral("1027700132195");
        QTest::newRow("person with ОГРН")
            << c
            << QStringList {QStringLiteral("ИНН: 12 цифр для частного лица, введено 11 цифр"),
                            QStringLiteral("ОГРН: у частного лица его нет")};
    }
    void problems()
    {
        QFETCH(Customer, customer);
        QFETCH(QStringList, messages);
        QStringList found;
        for (const CustomerProblem &problem : customerProblems(customer)) {
            QVERIFY2(problem.message.startsWith(problem.field + QStringLiteral(": ")),
                     qPrintable(problem.message));
            found << problem.message;
        }
        QCOMPARE(found, messages);
    }

    // A file's header read by its names, in any spelling people type: the row lands in the
    // card's fields, or the file is told what is wrong with it.
    void fileColumns_data()
    {
        QTest::addColumn<QString>("csv");
        QTest::addColumn<QStringList>("fields"); // short name, ИНН, КПП, ОГРН, e-mail, к/с
        QTest::addColumn<QStringList>("told"); // errors, then notes
        const QString row
            = QStringLiteral("ООО «Ромашка»;7707083893;770701001;1027700132195;info@romashka.ru;"
                             "30101810400000000225;044525225\n");
        const QStringList romashka {
            QStringLiteral("ООО «Ромашка»"),    QStringLiteral("7707083893"),
            QStringLiteral("770701001"),        QStringLiteral("1027700132195"),
            QStringLiteral("info@romashka.ru"), QStringLiteral("30101810400000000225")};
        QTest::newRow("Russian, as the export writes")
            << QStringLiteral("наименование;инн;кпп;огрн;email;корсчёт;бик\n") + row << romashka
            << QStringList();
        QTest::newRow("English, any case")
            << QStringLiteral("Name;INN;KPP;OGRN;Email;Corr Account;BIK\n") + row << romashka
            << QStringList();
        QTest::newRow("other spellings")
            << QStringLiteral("Наименование ;ИНН;КПП;ОГРНИП;E-mail;Корр. счёт;БИК\n") + row
            << romashka << QStringList();
        QTest::newRow("ё as е, underscores as blanks")
            << QStringLiteral("наименование;инн;кпп;огрн;email;корсчет;бик\n") + row << romashka
            << QStringList();
        QTest::newRow("unknown column left out")
            << QStringLiteral("наименование;инн;кпп;огрн;email;корсчёт;бик;менеджер\n")
                + row.trimmed() + QStringLiteral(";Оля\n")
            << romashka
            << QStringList {QStringLiteral("Строка 1: столбец «менеджер» не известен и пропущен.")};
        QTest::newRow("a column twice")
            << "наименование;инн;ИНН\nА;7707083893;7707083893\n"
            << QStringList()
            << QStringList {QStringLiteral("Строка 1: столбец «ИНН» встречается дважды.")};
        QTest::newRow("an apostrophe kept a formula-like text")
            << "наименование;телефон\n'=Ромашка;'+7 495 500-55-50\n"
            << QStringList {QStringLiteral("=Ромашка"), QStringLiteral(""), QStringLiteral(""),
                            QStringLiteral(""),         QStringLiteral(""), QStringLiteral("")}
            << QStringList {
                   QStringLiteral("Строка 2: ИНН: не заполнен — он обязателен для организации.")};
        QTest::newRow("a row without its name")
            << "наименование;инн\n;7707083893\n"
            << QStringList()
            << QStringList {QStringLiteral("Строка 2: Наименование: не заполнено.")};
        QTest::newRow("empty file")
            << "" << QStringList()
            << QStringList {QStringLiteral("Файл пуст: нет даже строки с названиями столбцов.")};
    }
    void fileColumns()
    {
        QFETCH(QString, csv);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, told);
        const CustomerFileRead read = readCustomerCsv(csv.toUtf8());
        QCOMPARE(read.errors + read.notes, told);
        if (fields.isEmpty())
            return;
        QCOMPARE(read.rows.size(), 1);
        const Customer &customer = read.rows.first().customer;
        QCOMPARE((QStringList {customer.shortName, customer.inn, customer.kpp, customer.ogrn,
                               customer.email, customer.correspondentAccount}),
                 fields);
    }
};

QTEST_GUILESS_MAIN(CustomersTest)
#include "test_customers.moc"
