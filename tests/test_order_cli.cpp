// `printcalc --orders ...` and `--payments ...` run as the administrator runs them: the real
// program, no display, orders taken beforehand through the storage; one script of commands in
// order, each with its output, messages and exit status.
#include "storage/connection.h"
#include "storage/order_book.h"
#include "storage/web_requests.h"
#include "tests/program_run.h"

#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

namespace {

const QString ShopAccount = QStringLiteral("40702810900000000001");

OrderIntake intake(const QString &uid, const QString &description, const QString &price,
                   const QString &customer, const QDateTime &due)
{
    OrderLine line;
    line.description = description;
    line.quantity = QStringLiteral("1");
    line.unitPrice = price;
    OrderIntake order;
    order.draft.orderUid = uid;
    order.draft.created = QDateTime(QDate(2026, 3, 2), QTime(9, 30));
    order.draft.counter = QStringLiteral("стойка-1");
    order.draft.lines = {line};
    order.draft.customer.shortName = customer;
    order.due = due;
    return order;
}

QString document(const QString &number, const QString &sum, const QString &payer,
                 const QString &inn, const QString &purpose)
{
    return QStringLiteral("СекцияДокумент=Платежное поручение\nНомер=%1\nДата=03.03.2026\n"
                          "Сумма=%2\nПлательщикСчет=40702810400000000002\nПлательщик1=%3\n"
                          "ПлательщикИНН=%4\nПолучательСчет=%5\nДатаПоступило=03.03.2026\n"
                          "НазначениеПлатежа=%6\nКонецДокумента\n")
        .arg(number, sum, payer, inn, ShopAccount, purpose);
}

} // namespace

class OrderCliTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString url;

    ProgramRun run(const QStringList &arguments, const QString &config = QStringLiteral("config"))
    {
        return runProgram(arguments, dir.filePath(config), 30000);
    }
    void writeConfig(const QString &name, const QByteArray &text)
    {
        QDir().mkpath(dir.filePath(name + QStringLiteral("/printcalc")));
        QFile file(dir.filePath(name + QStringLiteral("/printcalc/printcalc.ini")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

private slots:
    void initTestCase()
    {
        url = QStringLiteral("sqlite://") + dir.filePath(QStringLiteral("shop.sqlite"));
        writeConfig(QStringLiteral("config"),
                    QStringLiteral("[counter]\nname=стойка-7\n[requisites]\nsettlementAccount=%1\n")
                        .arg(ShopAccount)
                        .toUtf8());
        writeConfig(QStringLiteral("bare"), "[counter]\nname=стойка-7\n");
        Connection connection;
        QVERIFY(connection.open(DatabaseUrl::parse(url), QStringLiteral("fill")));
        OrderBook book(connection);
        OrderIntake firm
            = intake(QStringLiteral("a"), QStringLiteral("Визитки"), QStringLiteral("1000"),
                     QStringLiteral("ООО «Ромашка»"), QDateTime(QDate(2026, 3, 3), QTime(12, 0)));
        firm.draft.customer.inn = QStringLiteral("7707083893");
        firm.prepaymentKopecks = 50000;
        QCOMPARE(book.take(firm, 1042), 1042);
        QCOMPARE(book.take(intake(QStringLiteral("b"), QStringLiteral("Баннер"),
                                  QStringLiteral("500"), QStringLiteral("Иван Петров"),
                                  QDateTime(QDate(2026, 3, 2), QTime(18, 0))),
                           1),
                 1043);
        OrderIntake kept
            = intake(QStringLiteral("c"), QStringLiteral("Листовки\tА5"), QStringLiteral("2,5"),
                     QString(), QDateTime(QDate(2026, 3, 10), QTime(12, 0)));
        kept.note = QStringLiteral("без обрезки");
        kept.phone = QStringLiteral("8 (903) 111-22-33");
        QCOMPARE(book.take(kept, 1), 1044);

        const QString statement = QStringLiteral("1CClientBankExchange\nКодировка=Windows\n")
            + document(QStringLiteral("1"), QStringLiteral("680.00"), QStringLiteral("ООО Ромашка"),
                       QStringLiteral("7707083893"), QStringLiteral("Оплата по счёту № 1042"))
            + document(QStringLiteral("2"), QStringLiteral("100.00"), QStringLiteral("Иван"),
                       QStringLiteral(""), QStringLiteral("сч. 1043"))
            + document(QStringLiteral("3"), QStringLiteral("50.00"), QStringLiteral("Аренда"),
                       QStringLiteral(""), QStringLiteral("Аренда за март"))
            + QStringLiteral("КонецФайла\n");
        const QString zero = QStringLiteral("1CClientBankExchange\nКодировка=Windows\n")
            + document(QStringLiteral("4"), QStringLiteral("0.00"), QStringLiteral("Иван"),
                       QStringLiteral(""), QStringLiteral("Оплата по счёту № 1044"))
            + QStringLiteral("КонецФайла\n");
        for (const auto &[name, text] :
             {std::pair {"statement.txt", statement}, std::pair {"zero.txt", zero},
              std::pair {"broken.txt",
                         QStringLiteral("1CClientBankExchange\nСекцияДокумент=Платежное "
                                        "поручение\nСумма=1.00\n")}}) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QTextCodec::codecForName("Windows-1251")->fromUnicode(text));
        }
    }

    // In order: each row works on what the rows before it left.
    void script_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const QString help = QStringLiteral(" Справка: printcalc --help\n");
        QTest::newRow("list, by due time")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("list")} << 0
            << QStringLiteral(
                   "1043\tпринят\t2026-03-02 18:00\tИван Петров\t590.00\t0.00\t590.00\n"
                   "1042\tпринят\t2026-03-03 12:00\tООО «Ромашка»\t1180.00\t500.00\t680.00\n"
                   "1044\tпринят\t2026-03-10 12:00\t\t2.95\t0.00\t2.95\n")
            << QStringLiteral("");
        QTest::newRow("unpaid, due on a day")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("list"),
                            QStringLiteral("--due"), QStringLiteral("2026-03-03"),
                            QStringLiteral("--unpaid")}
            << 0
            << QStringLiteral(
                   "1042\tпринят\t2026-03-03 12:00\tООО «Ромашка»\t1180.00\t500.00\t680.00\n")
            << QStringLiteral("");
        QTest::newRow("a status in two words")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("status"),
                            QStringLiteral("1042"), QStringLiteral("в"), QStringLiteral("работе")}
            << 0 << QStringLiteral("Заказ № 1042: В работе.\n") << QStringLiteral("");
        QTest::newRow("list of a status")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("list"),
                            QStringLiteral("--status"), QStringLiteral("В работе")}
            << 0
            << QStringLiteral(
                   "1042\tв работе\t2026-03-03 12:00\tООО «Ромашка»\t1180.00\t500.00\t680.00\n")
            << QStringLiteral("");
        QTest::newRow("nothing of a status")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("list"),
                            QStringLiteral("--status"), QStringLiteral("выдан")}
            << 0 << QStringLiteral("") << QStringLiteral("Заказов не найдено.\n");
        QTest::newRow("forward, skipping")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("status"),
                            QStringLiteral("1043"), QStringLiteral("готов")}
            << 0 << QStringLiteral("Заказ № 1043: Готов.\n") << QStringLiteral("");
        QTest::newRow("back two steps")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("status"),
                            QStringLiteral("1043"), QStringLiteral("принят")}
            << 1 << QStringLiteral("")
            << QStringLiteral("Назад можно только на один шаг («Готов» → «Принят»).\n");
        QTest::newRow("handed over owing")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("status"),
                            QStringLiteral("1043"), QStringLiteral("выдан")}
            << 1 << QStringLiteral("")
            << QStringLiteral(
                   "Заказ № 1043 не оплачен полностью: долг 590 ₽."
                   " Выдать с долгом: добавьте --force.\n");
        QTest::newRow("payment")
            << QStringList {QStringLiteral("--payments"), QStringLiteral("add"),
                            QStringLiteral("1043"), QStringLiteral("500"),
                            QStringLiteral("наличные")}
            << 0
            << QStringLiteral("Заказ № 1043: оплата 500.00 (наличные). Оплачено 500.00 из "
                              "590.00, остаток 90.00.\n")
            << QStringLiteral("");
        QTest::newRow("refund without a reason")
            << QStringList {QStringLiteral("--payments"), QStringLiteral("add"),
                            QStringLiteral("1043"), QStringLiteral("-90"), QStringLiteral("карта")}
            << 1 << QStringLiteral("") << QStringLiteral("Возврат требует причины.\n");
        QTest::newRow("refund") << QStringList {QStringLiteral("--payments"),
                                                QStringLiteral("add"),
                                                QStringLiteral("1043"),
                                                QStringLiteral("-0.50"),
                                                QStringLiteral("карта"),
                                                QStringLiteral("--reason"),
                                                QStringLiteral("сдача")}
                                << 0
                                << QStringLiteral("Заказ № 1043: возврат 0.50 (карта). Оплачено "
                                                  "499.50 из 590.00, остаток 90.50.\n")
                                << QStringLiteral("");
        QTest::newRow("handed over owing, forced")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("status"),
                            QStringLiteral("1043"), QStringLiteral("выдан"),
                            QStringLiteral("--force")}
            << 0 << QStringLiteral("Заказ № 1043: Выдан.\n") << QStringLiteral("");
        QTest::newRow("cancelled without a reason")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("status"),
                            QStringLiteral("1042"), QStringLiteral("отменен")}
            << 1 << QStringLiteral("") << QStringLiteral("Отмена заказа № 1042 требует причины.\n");
        QTest::newRow("statement")
            << QStringList {QStringLiteral("--payments"), QStringLiteral("import"),
                            QStringLiteral("%1/statement.txt")}
            << 0
            << QStringLiteral(
                   "Строка 3: № 1 от 03.03.2026 на 680.00 от ООО Ромашка — счёт № 1042 оплачен "
                   "полностью.\n"
                   "Строка 14: № 2 от 03.03.2026 на 100.00 от Иван — счёт № 1043 переплачен на "
                   "9.50.\n"
                   "Строка 25: № 3 от 03.03.2026 на 50.00 от Аренда — не сопоставлен (в назначении "
                   "нет номера счёта): «Аренда за март».\n"
                   "Документов: 3. Оплачено полностью: 1, частично: 0, переплата: 1, не "
                   "сопоставлено: 1, уже загружено: 0, пропущено: 0.\n")
            << QStringLiteral("");
        QTest::newRow("statement again")
            << QStringList {QStringLiteral("--payments"), QStringLiteral("import"),
                            QStringLiteral("%1/statement.txt")}
            << 0
            << QStringLiteral(
                   "Строка 3: № 1 от 03.03.2026 на 680.00 от ООО Ромашка — уже загружен, повторно "
                   "не учтён.\n"
                   "Строка 14: № 2 от 03.03.2026 на 100.00 от Иван — уже загружен, повторно не "
                   "учтён.\n"
                   "Строка 25: № 3 от 03.03.2026 на 50.00 от Аренда — не сопоставлен (в назначении "
                   "нет номера счёта): «Аренда за март».\n"
                   "Документов: 3. Оплачено полностью: 0, частично: 0, переплата: 0, не "
                   "сопоставлено: 1, уже загружено: 2, пропущено: 0.\n")
            << QStringLiteral("");
        // Not stored: "show" below finds no payment for 1044.
        QTest::newRow("statement with a zero amount")
            << QStringList {QStringLiteral("--payments"), QStringLiteral("import"),
                            QStringLiteral("%1/zero.txt")}
            << 0
            << QStringLiteral("Строка 3: № 4 от 03.03.2026 на 0.00 от Иван — сумма нулевая, "
                              "пропущен.\n"
                              "Документов: 1. Оплачено полностью: 0, частично: 0, переплата: 0, не "
                              "сопоставлено: 0, уже загружено: 0, пропущено: 0, с нулевой суммой "
                              "пропущено: 1.\n")
            << QStringLiteral("");
        QTest::newRow("broken statement")
            << QStringList {QStringLiteral("--payments"), QStringLiteral("import"),
                            QStringLiteral("%1/broken.txt")}
            << 1 << QStringLiteral("")
            << QStringLiteral("Выписка %1/broken.txt не загружена, ничего не изменено. Строка 4: "
                              "файл оборван: "
                              "нет «КонецФайла».\n");
        QTest::newRow("paid by the statement")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("list"),
                            QStringLiteral("--status"), QStringLiteral("в работе")}
            << 0
            << QStringLiteral(
                   "1042\tв работе\t2026-03-03 12:00\tООО «Ромашка»\t1180.00\t1180.00\t0.00\n")
            << QStringLiteral("");
        QTest::newRow("show")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("show"),
                            QStringLiteral("1044")}
            << 0
            << QStringLiteral(
                   "Заказ № 1044\nСтатус: принят\nСрок: 2026-03-10 12:00\nПокупатель: \n"
                   "Телефон: 8 (903) 111-22-33\nE-mail: \nПринят: 2026-03-02 09:30, стойка-1 "
                   "(стойка)\nДля производства: без обрезки\nСумма: 2.95\nОплачено: 0.00 (не "
                   "оплачен)\nОстаток: 2.95\nСтроки:\nЛистовки А5\t1\t2,5\t2.50\nОплаты:\n"
                   "Статусы:\n2026-03-02 09:30\t—\tпринят\tстойка-1\t\n")
            << QStringLiteral("");
        QTest::newRow("no such order")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("show"), QStringLiteral("7")}
            << 1 << QStringLiteral("") << QStringLiteral("Заказа № 7 нет.\n");
        QTest::newRow("unknown status")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("status"),
                            QStringLiteral("1042"), QStringLiteral("потерян")}
            << 2 << QStringLiteral("")
            << QStringLiteral(
                   "Статус «потерян» не понят: есть принят, в работе, готов, выдан, отменён.")
                + help;
        QTest::newRow("unknown method")
            << QStringList {QStringLiteral("--payments"), QStringLiteral("add"),
                            QStringLiteral("1042"), QStringLiteral("10"), QStringLiteral("бартер")}
            << 2 << QStringLiteral("")
            << QStringLiteral("Способ оплаты «бартер» не понят: есть наличные, карта, безналичный.")
                + help;
        QTest::newRow("three decimals")
            << QStringList {QStringLiteral("--payments"), QStringLiteral("add"),
                            QStringLiteral("1042"), QStringLiteral("10,555"),
                            QStringLiteral("карта")}
            << 2 << QStringLiteral("")
            << QStringLiteral(
                   "Сумма «10,555» не понята: нужно число с копейками, например 1200.50 (возврат — "
                   "со знаком минус).")
                + help;
        QTest::newRow("an option of another action")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("list"),
                            QStringLiteral("--force")}
            << 2 << QStringLiteral("")
            << QStringLiteral("Параметр «--force» не подходит к «--orders list».") + help;
        QTest::newRow("no action")
            << QStringList {QStringLiteral("--payments")} << 2 << QStringLiteral("")
            << QStringLiteral("После --payments нужно действие: add или import.") + help;
    }
    void script()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        for (QString &argument : arguments)
            argument = argument.replace(QStringLiteral("%1"), dir.path());
        const ProgramRun result = run(arguments << QStringLiteral("--database") << url);
        QCOMPARE(result.err, err.replace(QStringLiteral("%1"), dir.path()));
        QCOMPARE(result.out, out);
        QCOMPARE(result.status, status);
    }

    // The order's sum and balance are the invoice's "Всего": 1000 less 5,25 % is 947.50, with
    // 22 % on top 1155.95.
    void listsTheInvoicesFoot()
    {
        const QString shop
            = QStringLiteral("sqlite://") + dir.filePath(QStringLiteral("foot.sqlite"));
        {
            Connection connection;
            QVERIFY(connection.open(DatabaseUrl::parse(shop), QStringLiteral("fill")));
            OrderBook book(connection);
            TaxSettings tax;
            tax.given = true;
            tax.rule = {TaxMode::OnTop, 22};
            book.setTaxSettings(tax);
            OrderIntake order = intake(QStringLiteral("f"), QStringLiteral("Визитки"),
                                       QStringLiteral("1000"), QStringLiteral("ООО «Ромашка»"),
                                       QDateTime(QDate(2026, 3, 3), QTime(12, 0)));
            order.draft.customer.discountHundredths = 525;
            order.prepaymentKopecks = 50000;
            QCOMPARE(book.take(order, 1), 1);
        }
        const ProgramRun result = run({QStringLiteral("--orders"), QStringLiteral("list"),
                                       QStringLiteral("--database"), shop});
        QCOMPARE(result.err, QString());
        QCOMPARE(result.out,
                 QStringLiteral("1\tпринят\t2026-03-03 12:00\tООО «Ромашка»\t1155.95\t500.00\t"
                                "655.95\n"));
    }

    // The website's requests: listed as заявка before the orders, confirmed into one, or declined.
    void webRequests_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("a request waits")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("list")}
            << 0
            // What would clear the screen or overwrite the line shows as marks.
            << QStringLiteral("З-1\tзаявка\t2026-12-12\tИван <b>\t1000.00\t0.00\t1000.00\n"
                              "З-2\tзаявка\t\tПётр␛[2J␛[31m  Заявка № 999\t1000.00\t0.00\t"
                              "1000.00\n")
            << QStringLiteral("");
        QTest::newRow("confirmed into an order")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("confirm"),
                            QStringLiteral("З-1")}
            << 0 << QStringLiteral("Заявка № З-1 принята: заказ № 1.\n") << QStringLiteral("");
        QTest::newRow("declined with a reason")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("decline"),
                            QStringLiteral("2"), QStringLiteral("--reason"),
                            QStringLiteral("нет макета")}
            << 0 << QStringLiteral("Заявка № З-2 отменена.\n") << QStringLiteral("");
        QTest::newRow("a confirmed request is no longer one to decline")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("decline"),
                            QStringLiteral("1")}
            << 1 << QStringLiteral("") << QStringLiteral("Заявка № З-1 уже принята: заказ № 1\n");
        QTest::newRow("a confirmed request confirmed again: the same order")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("confirm"),
                            QStringLiteral("з-1")}
            << 0 << QStringLiteral("Заявка № З-1 принята: заказ № 1.\n") << QStringLiteral("");
        QTest::newRow("a request number not understood")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("confirm"),
                            QStringLiteral("З-")}
            << 2 << QStringLiteral("")
            << QStringLiteral("Номер заявки «З-» не понят: нужен номер вида З-5376 или 5376. "
                              "Справка: printcalc --help\n");
        QTest::newRow("a declined request is not confirmed")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("confirm"),
                            QStringLiteral("2")}
            << 1 << QStringLiteral("") << QStringLiteral("Заявка № З-2 уже отклонена\n");
        QTest::newRow("the order from the website")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("list")} << 0
            << QStringLiteral("1\tпринят\t2026-12-12 18:00\tИван <b>\t1180.00\t0.00\t1180.00\n")
            << QStringLiteral("");
        QTest::newRow("no request waits")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("list"),
                            QStringLiteral("--status"), QStringLiteral("заявка")}
            << 0 << QStringLiteral("") << QStringLiteral("Заказов не найдено.\n");
    }

    void webRequests()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const QString shop
            = QStringLiteral("sqlite://") + dir.filePath(QStringLiteral("web.sqlite"));
        if (QLatin1String(QTest::currentDataTag()) == QLatin1String("a request waits")) {
            Connection connection;
            QVERIFY(connection.open(DatabaseUrl::parse(shop), QStringLiteral("fill")));
            for (const char *name : {"Иван <b>", "Пётр\x1b[2J\x1b[31m\r\nЗаявка № 999"}) {
                WebRequestRecord request;
                request.created = QDateTime(QDate(2026, 12, 9), QTime(21, 0));
                request.name = QString::fromUtf8(name);
                request.email = QStringLiteral("a@b.ru");
                if (request.name.startsWith(QStringLiteral("Иван")))
                    request.due = QDate(2026, 12, 12);
                OrderLine banner;
                banner.description = QStringLiteral("Баннер");
                banner.quantity = QStringLiteral("2");
                banner.unitPrice = QStringLiteral("500");
                request.lines = {banner};
                request.totalKopecks = 100000;
                QVERIFY(storeWebRequest(connection, request) > 0);
            }
        }
        const ProgramRun result = run(arguments << QStringLiteral("--database") << shop);
        QCOMPARE(result.err, err);
        QCOMPARE(result.out, out);
        QCOMPARE(result.status, status);
    }

    void importNeedsTheShopsAccount()
    {
        const ProgramRun result = run({QStringLiteral("--payments"), QStringLiteral("import"),
                                       dir.filePath(QStringLiteral("statement.txt")),
                                       QStringLiteral("--database"), url},
                                      QStringLiteral("bare"));
        QCOMPARE(result.status, 1);
        QCOMPARE(result.out, QString());
        QVERIFY2(result.err.startsWith(QStringLiteral("Выписка не загружена: В файле настроек "))
                     && result.err.contains(QStringLiteral("settlementAccount в [requisites]")),
                 qPrintable(result.err));
    }

    void helpNamesTheCommands()
    {
        const ProgramRun result = run({QStringLiteral("--help")});
        QCOMPARE(result.status, 0);
        for (const char *form :
             {"printcalc --orders list [--status С] [--due ГГГГ-ММ-ДД] [--unpaid]",
              "printcalc --orders show N",
              "printcalc --orders status N СТАТУС [--reason ТЕКСТ] [--force]",
              "printcalc --payments add N СУММА СПОСОБ [--reason ТЕКСТ]",
              "printcalc --payments import ФАЙЛ"})
            QVERIFY2(result.out.contains(QString::fromUtf8(form)), form);
    }
};

QTEST_GUILESS_MAIN(OrderCliTest)
#include "test_order_cli.moc"
