// `printcalc --operators ...`, `--audit ...` and the rights of every command that changes data,
// run as the administrator runs them: the real program, PINs on its standard input, one script of
// commands in order; then the trail edited straight in the file and found broken.
#include "order/order_status.h"
#include "storage/connection.h"
#include "storage/order_book.h"
#include "tests/program_run.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

class OperatorCliTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString url;

    ProgramRun run(const QStringList &arguments, const QByteArray &input)
    {
        return runProgram(QStringList {QStringLiteral("--database"), url} + arguments,
                          dir.filePath(QStringLiteral("config")), 30000, input);
    }
    // Edits the shop's file around the program.
    void edit(const QStringList &statements)
    {
        {
            QSqlDatabase db
                = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("edit"));
            db.setDatabaseName(dir.filePath(QStringLiteral("shop.sqlite")));
            QVERIFY(db.open());
            QSqlQuery query(db);
            for (const QString &statement : statements)
                QVERIFY2(query.exec(statement), qPrintable(query.lastError().text()));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("edit"));
    }

private slots:
    void initTestCase()
    {
        url = QStringLiteral("sqlite://") + dir.filePath(QStringLiteral("shop.sqlite"));
        QDir().mkpath(dir.filePath(QStringLiteral("config/printcalc")));
        QFile config(dir.filePath(QStringLiteral("config/printcalc/printcalc.ini")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(QStringLiteral("[counter]\nname=стойка-7\n").toUtf8());
        config.close();
        Connection connection;
        QVERIFY(connection.open(DatabaseUrl::parse(url), QStringLiteral("fill")));
        OrderLine line;
        line.description = QStringLiteral("Визитки");
        line.quantity = QStringLiteral("1");
        line.unitPrice = QStringLiteral("1000");
        OrderIntake order;
        order.draft.orderUid = QStringLiteral("a");
        order.draft.created = QDateTime(QDate(2026, 3, 2), QTime(9, 30));
        order.draft.counter = QStringLiteral("стойка-1");
        order.draft.lines = {line};
        order.draft.customer.shortName = QStringLiteral("Иван Петров");
        order.due = QDateTime(QDate(2026, 3, 3), QTime(12, 0));
        QCOMPARE(OrderBook(connection).take(order, 1), 1);
    }

    // In order: each row works on what the rows before it left. An out of "*" is not compared.
    void script_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        // Whose right the command is, reading or changing, and how to sign it.
        const auto needed = [](const char *what, const char *role) {
            return QStringLiteral("В программе заведены операторы: %1 — право роли «%2»; команда "
                                  "пишется с --operator ИМЯ, а PIN подаётся первой строкой на "
                                  "стандартный вход.\n")
                .arg(QString::fromUtf8(what), QString::fromUtf8(role));
        };
        QTest::newRow("a change before any operator")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("status"),
                            QStringLiteral("1"), QStringLiteral("в работе")}
            << QByteArray() << 0 << QStringLiteral("Заказ № 1: В работе.\n") << QStringLiteral("");
        QTest::newRow("the first is no owner")
            << QStringList {QStringLiteral("--operators"), QStringLiteral("add"),
                            QStringLiteral("Анна"), QStringLiteral("--role"),
                            QStringLiteral("operator")}
            << QByteArray("1111\n") << 1 << QStringLiteral("")
            << QStringLiteral("Первым заводится владелец: --role owner.\n");
        QTest::newRow("a PIN too short")
            << QStringList {QStringLiteral("--operators"), QStringLiteral("add"),
                            QStringLiteral("Ольга"), QStringLiteral("--role"),
                            QStringLiteral("owner")}
            << QByteArray("123\n") << 1 << QStringLiteral("")
            << QStringLiteral("PIN нового оператора короче 4 знаков: оператор не заведён.\n");
        QTest::newRow("a role not known")
            << QStringList {QStringLiteral("--operators"), QStringLiteral("add"),
                            QStringLiteral("Ольга"), QStringLiteral("--role"),
                            QStringLiteral("boss")}
            << QByteArray("4321\n") << 2 << QStringLiteral("")
            << QStringLiteral("Роль «boss» не понята: есть operator, manager, owner. Справка: "
                              "printcalc --help\n");
        QTest::newRow("the owner first")
            << QStringList {QStringLiteral("--operators"), QStringLiteral("add"),
                            QStringLiteral("Ольга"), QStringLiteral("--role"),
                            QStringLiteral("owner")}
            << QByteArray("4321\n") << 0 << QStringLiteral("Оператор «Ольга» (Владелец) заведён.\n")
            << QStringLiteral("");
        QTest::newRow("the next without who adds")
            << QStringList {QStringLiteral("--operators"), QStringLiteral("add"),
                            QStringLiteral("Анна"), QStringLiteral("--role"),
                            QStringLiteral("operator")}
            << QByteArray("1111\n") << 1 << QStringLiteral("") << needed("операторы", "Владелец");
        QTest::newRow("the owner adds an operator")
            << QStringList {QStringLiteral("--operators"), QStringLiteral("add"),
                            QStringLiteral("Анна"),        QStringLiteral("--role"),
                            QStringLiteral("operator"),    QStringLiteral("--operator"),
                            QStringLiteral("Ольга")}
            << QByteArray("4321\n1111\n") << 0
            << QStringLiteral("Оператор «Анна» (Оператор) заведён.\n") << QStringLiteral("");
        QTest::newRow("a name twice") << QStringList {QStringLiteral("--operator=Ольга"),
                                                      QStringLiteral("--operators"),
                                                      QStringLiteral("add"),
                                                      QStringLiteral("Анна"),
                                                      QStringLiteral("--role"),
                                                      QStringLiteral("manager")}
                                      << QByteArray("4321\n9999\n") << 1 << QStringLiteral("")
                                      << QStringLiteral("Оператор «Анна» уже есть.\n");
        QTest::newRow("an operator adds none")
            << QStringList {QStringLiteral("--operators"), QStringLiteral("add"),
                            QStringLiteral("Борис"),       QStringLiteral("--role"),
                            QStringLiteral("manager"),     QStringLiteral("--operator"),
                            QStringLiteral("Анна")}
            << QByteArray("1111\n2222\n") << 1 << QStringLiteral("")
            << QStringLiteral(
                   "Оператору «Анна» (Оператор) это не разрешено: операторы. Нужен владелец.\n");
        QTest::newRow("the owner adds a manager")
            << QStringList {QStringLiteral("--operators"), QStringLiteral("add"),
                            QStringLiteral("Борис"),       QStringLiteral("--role"),
                            QStringLiteral("manager"),     QStringLiteral("--operator"),
                            QStringLiteral("Ольга")}
            << QByteArray("4321\n2222\n") << 0
            << QStringLiteral("Оператор «Борис» (Менеджер) заведён.\n") << QStringLiteral("");
        QTest::newRow("list, reading, no one needed")
            << QStringList {QStringLiteral("--operators"), QStringLiteral("list")} << QByteArray()
            << 0
            << QStringLiteral(
                   "Анна\tоператор\tдействует\nБорис\tменеджер\tдействует\nОльга\tвладелец\t"
                   "действует\n")
            << QStringLiteral("");
        QTest::newRow("a status change without who")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("status"),
                            QStringLiteral("1"), QStringLiteral("готов")}
            << QByteArray() << 1 << QStringLiteral("") << needed("смена статуса", "Оператор");
        QTest::newRow("an operator moves the status")
            << QStringList {QStringLiteral("--orders"),   QStringLiteral("status"),
                            QStringLiteral("1"),          QStringLiteral("готов"),
                            QStringLiteral("--operator"), QStringLiteral("Анна")}
            << QByteArray("1111\n") << 0 << QStringLiteral("Заказ № 1: Готов.\n")
            << QStringLiteral("");
        QTest::newRow("an operator cancels not")
            << QStringList {QStringLiteral("--orders"),   QStringLiteral("status"),
                            QStringLiteral("1"),          QStringLiteral("отменён"),
                            QStringLiteral("--reason"),   QStringLiteral("передумал"),
                            QStringLiteral("--operator"), QStringLiteral("Анна")}
            << QByteArray("1111\n") << 1 << QStringLiteral("")
            << QStringLiteral("Оператору «Анна» (Оператор) это не разрешено: отмена заказа. Нужен "
                              "менеджер.\n");
        QTest::newRow("an operator takes a payment")
            << QStringList {QStringLiteral("--payments"), QStringLiteral("add"),
                            QStringLiteral("1"),          QStringLiteral("100"),
                            QStringLiteral("наличные"),   QStringLiteral("--operator"),
                            QStringLiteral("Анна")}
            << QByteArray("1111\n") << 0 << QStringLiteral("*") << QStringLiteral("");
        QTest::newRow("an operator refunds not")
            << QStringList {QStringLiteral("--payments"), QStringLiteral("add"),
                            QStringLiteral("1"),          QStringLiteral("-50"),
                            QStringLiteral("наличные"),   QStringLiteral("--reason"),
                            QStringLiteral("брак"),       QStringLiteral("--operator"),
                            QStringLiteral("Анна")}
            << QByteArray("1111\n") << 1 << QStringLiteral("")
            << QStringLiteral("Оператору «Анна» (Оператор) это не разрешено: возврат денег. Нужен "
                              "менеджер.\n");
        QTest::newRow("a manager refunds")
            << QStringList {QStringLiteral("--payments"), QStringLiteral("add"),
                            QStringLiteral("1"),          QStringLiteral("-50"),
                            QStringLiteral("наличные"),   QStringLiteral("--reason"),
                            QStringLiteral("брак"),       QStringLiteral("--operator"),
                            QStringLiteral("Борис")}
            << QByteArray("2222\n") << 0 << QStringLiteral("*") << QStringLiteral("");
        QTest::newRow("a wrong PIN")
            << QStringList {QStringLiteral("--orders"),   QStringLiteral("status"),
                            QStringLiteral("1"),          QStringLiteral("выдан"),
                            QStringLiteral("--operator"), QStringLiteral("Анна")}
            << QByteArray("0000\n") << 1 << QStringLiteral("")
            << QStringLiteral("Неверный PIN. Осталось попыток: 4.\n");
        QTest::newRow("no PIN at all")
            << QStringList {QStringLiteral("--orders"),   QStringLiteral("status"),
                            QStringLiteral("1"),          QStringLiteral("выдан"),
                            QStringLiteral("--operator"), QStringLiteral("Анна")}
            << QByteArray() << 1 << QStringLiteral("")
            << QStringLiteral("Неверный PIN. Осталось попыток: 3.\n");
        QTest::newRow("someone unknown")
            << QStringList {QStringLiteral("--orders"),   QStringLiteral("status"),
                            QStringLiteral("1"),          QStringLiteral("выдан"),
                            QStringLiteral("--operator"), QStringLiteral("Пётр")}
            << QByteArray("1111\n") << 1 << QStringLiteral("")
            << QStringLiteral("Оператора «Пётр» нет.\n");
        QTest::newRow("a manager disables not")
            << QStringList {QStringLiteral("--operators"), QStringLiteral("disable"),
                            QStringLiteral("Анна"), QStringLiteral("--operator"),
                            QStringLiteral("Борис")}
            << QByteArray("2222\n") << 1 << QStringLiteral("")
            << QStringLiteral(
                   "Оператору «Борис» (Менеджер) это не разрешено: операторы. Нужен владелец.\n");
        QTest::newRow("the owner disables")
            << QStringList {QStringLiteral("--operators"), QStringLiteral("disable"),
                            QStringLiteral("Анна"), QStringLiteral("--operator"),
                            QStringLiteral("Ольга")}
            << QByteArray("4321\n") << 0 << QStringLiteral("Оператор «Анна» отключён.\n")
            << QStringLiteral("");
        QTest::newRow("disabled") << QStringList {QStringLiteral("--orders"),
                                                  QStringLiteral("status"),
                                                  QStringLiteral("1"),
                                                  QStringLiteral("выдан"),
                                                  QStringLiteral("--operator"),
                                                  QStringLiteral("Анна")}
                                  << QByteArray("1111\n") << 1 << QStringLiteral("")
                                  << QStringLiteral("Оператор «Анна» отключён.\n");
        QTest::newRow("listed disabled")
            << QStringList {QStringLiteral("--operators"), QStringLiteral("list")} << QByteArray()
            << 0
            << QStringLiteral("Анна\tоператор\tотключён\nБорис\tменеджер\tдействует\nОльга\tвладеле"
                              "ц\tдействует\n")
            << QStringLiteral("");
        QTest::newRow("--operator without a name")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("list"),
                            QStringLiteral("--operator")}
            << QByteArray() << 2 << QStringLiteral("")
            << QStringLiteral(
                   "После «--operator» нужно имя оператора. Справка: printcalc --help\n");
        QTest::newRow("verified") << QStringList {QStringLiteral("--audit"),
                                                  QStringLiteral("verify")}
                                  << QByteArray() << 0 << QStringLiteral("цепочка цела\n")
                                  << QStringLiteral("");
        const QString zeros(64, QLatin1Char('0'));
        QTest::newRow("a head from a Z report not in the trail")
            << QStringList {QStringLiteral("--audit"), QStringLiteral("verify"),
                            QStringLiteral("--head"), QStringLiteral("2:") + zeros}
            << QByteArray() << 1 << QStringLiteral("")
            << QStringLiteral("Голова 2: запись 2 с хешем 00000000… в журнале изменена.\n");
        QTest::newRow("a head past the trail's end")
            << QStringList {QStringLiteral("--audit"), QStringLiteral("verify"),
                            QStringLiteral("--head"), QStringLiteral("99999:") + zeros}
            << QByteArray() << 1 << QStringLiteral("")
            << QStringLiteral("Голова 99999: запись 99999 с хешем 00000000… в журнале "
                              "отсутствует.\n");
        QTest::newRow("a head not understood")
            << QStringList {QStringLiteral("--audit"), QStringLiteral("verify"),
                            QStringLiteral("--head"), QStringLiteral("2:381e")}
            << QByteArray() << 2 << QStringLiteral("")
            << QStringLiteral("Голова «2:381e» не понята: нужно ЧИСЛО:ХЕШ, как в Z-отчёте (хеш "
                              "из 64 знаков). Справка: printcalc --help\n");
        // Times aside (made now), every record of Анна's, in order.
        QTest::newRow("a manager may not read the trail")
            << QStringList {QStringLiteral("--audit"), QStringLiteral("list"),
                            QStringLiteral("--operator"), QStringLiteral("Борис")}
            << QByteArray("2222\n") << 1 << QStringLiteral("")
            << QStringLiteral("Оператору «Борис» (Менеджер) это не разрешено: журнал действий. "
                              "Нужен владелец.\n");
        QTest::newRow("the trail with nobody signed in")
            << QStringList {QStringLiteral("--audit"), QStringLiteral("list")} << QByteArray() << 1
            << QStringLiteral("")
            << QStringLiteral("В программе заведены операторы: журнал действий — право роли "
                              "«Владелец»; команда пишется с --operator ИМЯ, а PIN подаётся "
                              "первой строкой на стандартный вход.\n");
        QTest::newRow("Анна's records")
            << QStringList {QStringLiteral("--audit"),    QStringLiteral("list"),
                            QStringLiteral("--who"),      QStringLiteral("Анна"),
                            QStringLiteral("--operator"), QStringLiteral("Ольга")}
            << QByteArray("4321\n") << 0
            << QStringLiteral("5\tВРЕМЯ\tстойка-7\tАнна\t\tвход\t\t\n"
                              "8\tВРЕМЯ\tстойка-7\tАнна\t\tвход\t\t\n"
                              "9\tВРЕМЯ\tстойка-7\tАнна\t\tсмена статуса\tзаказ № 1\tГотов\n"
                              "10\tВРЕМЯ\tстойка-7\tАнна\t\tвход\t\t\n"
                              "11\tВРЕМЯ\tстойка-7\tАнна\t\tвход\t\t\n"
                              "12\tВРЕМЯ\tстойка-7\tАнна\t\tоплата\tзаказ № 1\t100.00 наличные\n"
                              "13\tВРЕМЯ\tстойка-7\tАнна\t\tвход\t\t\n"
                              "16\tВРЕМЯ\tстойка-7\tАнна\t\tнеудачный вход\t\t\n"
                              "17\tВРЕМЯ\tстойка-7\tАнна\t\tнеудачный вход\t\t\n")
            << QStringLiteral("");
        QTest::newRow("a day with nothing")
            << QStringList {QStringLiteral("--audit"),    QStringLiteral("list"),
                            QStringLiteral("--to"),       QStringLiteral("2020-01-01"),
                            QStringLiteral("--operator"), QStringLiteral("Ольга")}
            << QByteArray("4321\n") << 0 << QStringLiteral("") << QStringLiteral("");
        QTest::newRow("a date not understood")
            << QStringList {QStringLiteral("--audit"), QStringLiteral("list"),
                            QStringLiteral("--from"), QStringLiteral("2026-13-01")}
            << QByteArray() << 2 << QStringLiteral("")
            << QStringLiteral(
                   "Дата «2026-13-01» после --from не понята: нужен вид ГГГГ-ММ-ДД, например "
                   "2026-12-09. Справка: printcalc --help\n");
    }
    void script()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        ProgramRun result = run(arguments, input);
        result.out.replace(QRegularExpression(QStringLiteral("\\t\\d{4}-\\d\\d-\\d\\d "
                                                             "\\d\\d:\\d\\d:\\d\\d\\t")),
                           QStringLiteral("\tВРЕМЯ\t"));
        QCOMPARE(result.err, err);
        QCOMPARE(result.status, status);
        if (out != QLatin1String("*"))
            QCOMPARE(result.out, out);
    }

    // The status change is kept under the operator's name.
    void statusChangeNamesTheOperator()
    {
        Connection connection;
        QVERIFY(connection.open(DatabaseUrl::parse(url), QStringLiteral("t")));
        QSqlQuery query(connection.database());
        QVERIFY(query.exec(QStringLiteral("SELECT to_status, operator_name FROM "
                                          "order_status_change ORDER BY id")));
        QStringList changes;
        while (query.next())
            changes << statusCaption(OrderStatus(query.value(0).toInt())) + QLatin1Char(':')
                    + query.value(1).toString();
        QCOMPARE(changes,
                 QStringList({QStringLiteral("Принят:"), QStringLiteral("В работе:"),
                              QStringLiteral("Готов:Анна")}));
    }

    // A change whose record the trail refuses is not made either: both are one transaction.
    void changeWithoutItsRecord_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("before");
        QTest::newRow("a status move")
            << QStringList {QStringLiteral("--orders"), QStringLiteral("status"),
                            QStringLiteral("1"),        QStringLiteral("выдан"),
                            QStringLiteral("--force"),  QStringLiteral("--operator"),
                            QStringLiteral("Ольга")}
            << QStringLiteral("SELECT status FROM taken_order WHERE invoice_number = 1")
            << QStringLiteral("2");
        QTest::newRow("a payment")
            << QStringList {QStringLiteral("--payments"), QStringLiteral("add"),
                            QStringLiteral("1"),          QStringLiteral("300"),
                            QStringLiteral("карта"),      QStringLiteral("--operator"),
                            QStringLiteral("Ольга")}
            << QStringLiteral("SELECT count(*) FROM order_payment") << QStringLiteral("2");
    }
    void changeWithoutItsRecord()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, count);
        QFETCH(QString, before);
        edit({QStringLiteral("CREATE TRIGGER refuse_record BEFORE INSERT ON audit_log WHEN "
                             "NEW.what NOT IN ('вход', 'неудачный вход') BEGIN SELECT "
                             "RAISE(ABORT, 'refused'); END")});
        const ProgramRun result = run(arguments, QByteArrayLiteral("4321\n"));
        edit({QStringLiteral("DROP TRIGGER refuse_record")});
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.startsWith(QStringLiteral("Ничего не изменено: запись в журнал "
                                                      "действий не удалась.")),
                 qPrintable(result.err));
        Connection connection;
        QVERIFY(connection.open(DatabaseUrl::parse(url), QStringLiteral("t")));
        QSqlQuery query(connection.database());
        QVERIFY(query.exec(count) && query.next());
        QCOMPARE(query.value(0).toString(), before);
    }

    // Edits made straight in the file: the last row removed is found by the head the counter
    // kept; a dropped trigger is told and not made again.
    void tamperedFile_data()
    {
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<QString>("err");
        QTest::newRow("the last row removed")
            << QStringList {QStringLiteral("DROP TRIGGER audit_log_no_delete"),
                            QStringLiteral(
                                "DELETE FROM audit_log WHERE id = (SELECT max(id) FROM audit_log)"),
                            QStringLiteral(
                                "CREATE TRIGGER audit_log_no_delete BEFORE DELETE ON audit_log "
                                "BEGIN SELECT RAISE(ABORT, 'no'); END")}
            << QStringLiteral("Цепочка нарушена: после записи 24 недостаёт записей: их было 25.\n");
        QTest::newRow("a trigger dropped")
            << QStringList {QStringLiteral("DROP TRIGGER audit_log_no_update")}
            << QStringLiteral(
                   "Журнал действий не защищён от правки: нет триггера audit_log_no_update. "
                   "Цепочка нарушена: после записи 24 недостаёт записей: их было 25.\n");
    }
    void tamperedFile()
    {
        QFETCH(QStringList, statements);
        QFETCH(QString, err);
        edit(statements);
        const ProgramRun result = run({QStringLiteral("--audit"), QStringLiteral("verify")}, {});
        QCOMPARE(result.err, err);
        QCOMPARE(result.status, 1);
        QCOMPARE(result.out, QString());
    }
};

QTEST_GUILESS_MAIN(OperatorCliTest)
#include "test_operator_cli.moc"
