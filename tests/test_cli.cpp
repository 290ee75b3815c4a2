// `printcalc --journal ...` and `--check` run as the administrator runs them: the real program,
// no display, a journal filled beforehand; output, files, exit status and messages read back.
#include "storage/connection.h"
#include "storage/journal.h"
#include "tests/program_run.h"

#include <QTemporaryDir>
#include <QtTest>

class CliTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString url;

    using Run = ProgramRun;
    Run run(const QStringList &arguments) const
    {
        return runProgram(arguments, dir.path() + QStringLiteral("/config"), 30000);
    }

private slots:
    void initTestCase()
    {
        url = QStringLiteral("sqlite://") + dir.path() + QStringLiteral("/shop.sqlite");
        Connection connection;
        QVERIFY(connection.open(DatabaseUrl::parse(url), QStringLiteral("fill")));
        Journal journal(connection);
        const auto line
            = [](const QString &description, const QString &quantity, const QString &price) {
                  OrderLine result;
                  result.description = description;
                  result.quantity = quantity;
                  result.unitPrice = price;
                  return result;
              };
        const auto at
            = [](int day, int hour) { return QDateTime(QDate(2026, 3, day), QTime(hour, 15)); };
        QCOMPARE(journal.storeInvoice({QStringLiteral("a"),
                                       at(1, 9),
                                       QStringLiteral("окно"),
                                       QString(),
                                       {line(QStringLiteral("Визитки; 90×50"),
                                             QStringLiteral("100"), QStringLiteral("4.5"))},
                                       {}},
                                      1),
                 1);
        QCOMPARE(journal.storeInvoice({QStringLiteral("b"),
                                       at(2, 10),
                                       QStringLiteral("зал"),
                                       QString(),
                                       {line(QStringLiteral("Баннер \"Скидки\""),
                                             QStringLiteral("2"), QStringLiteral("1 000")),
                                        line(QStringLiteral("Две\nстроки"), QStringLiteral("3"),
                                             QStringLiteral("0,25"))},
                                       {}},
                                      1),
                 2);
        QCOMPARE(journal.storeInvoice(
                     {QStringLiteral("c"),
                      at(3, 11),
                      QStringLiteral("окно"),
                      QString(),
                      {line(QStringLiteral("Листовки"), QStringLiteral("10"), QStringLiteral("3"))},
                      {{QStringLiteral("export"), at(3, 11), false}}},
                     1),
                 3);
    }

    void commands_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("out");
        QTest::newRow("list, newest first")
            << QStringList {"--journal", "list"}
            << "3\t2026-03-03 11:15\tокно\t1\t35.40\tаннулирован\n"
               "2\t2026-03-02 10:15\tзал\t2\t2360.89\tдействителен\n"
               "1\t2026-03-01 09:15\tокно\t1\t531.00\tдействителен\n";
        QTest::newRow("list of dates")
            << QStringList {"--journal", "list", "--from", "2026-03-02", "--to", "2026-03-02"}
            << "2\t2026-03-02 10:15\tзал\t2\t2360.89\tдействителен\n";
        QTest::newRow("show") << QStringList {
            "--journal", "show",
            "2"} << "Баннер \"Скидки\"\t2\t1 000\t2000.00\nДве строки\t3\t0,25\t0.75\n";
        QTest::newRow("check")
            << QStringList {"--check"}
            << "База данных: %1\nВыбрана: --database\nВерсия схемы: 3 (программа знает 3)\n"
               "Счетов: 3 (аннулировано: 1)\nСтрок в счетах: 4\nДокументов: 1\n"
               "Незавершённых заказов: 0\nЗаказов ждут номера: 0\n";
    }
    void commands()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, out);
        const Run result = run(arguments << QStringLiteral("--database") << url);
        QVERIFY2(result.status == 0, qPrintable(result.err));
        QCOMPARE(result.out, out.contains(QLatin1String("%1")) ? out.arg(url) : out);
        QCOMPARE(result.err, QString());
    }

    void exportsCsv()
    {
        const QString file = dir.path() + QStringLiteral("/journal.csv");
        const Run result = run({QStringLiteral("--database=") + url, QStringLiteral("--journal"),
                                QStringLiteral("export"), file, QStringLiteral("--to"),
                                QStringLiteral("2026-03-02")});
        QVERIFY2(result.status == 0, qPrintable(result.err));
        QFile csv(file);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(csv.readAll()),
                 QStringLiteral("Номер;Дата;Стойка;Описание;Количество;Цена;Сумма\n"
                                "1;2026-03-01;окно;\"Визитки; 90×50\";100;4.5;450.00\n"
                                "2;2026-03-02;зал;\"Баннер \"\"Скидки\"\"\";2;1 000;2000.00\n"
                                "2;2026-03-02;зал;\"Две\nстроки\";3;0,25;0.75\n"));
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("URL of no known form")
            << QStringList {"--database", "mysql://h/db", "--check"} << "не понят";
        QTest::newRow("no URL after the option")
            << QStringList {"--check", "--database"} << "нужен адрес";
        QTest::newRow("no such invoice")
            << QStringList {"--journal", "show", "99"} << "№ 99 в журнале нет";
        QTest::newRow("no number") << QStringList {"--journal", "show"} << "Нужен номер";
        QTest::newRow("malformed date")
            << QStringList {"--journal", "list", "--from", "03.02.2026"} << "ГГГГ-ММ-ДД";
        QTest::newRow("unknown action") << QStringList {"--journal", "delete"} << "не известна";
        QTest::newRow("unwritable file")
            << QStringList {"--journal", "export", "/proc/nope/x.csv"} << "не открыть";
        QTest::newRow("server not there")
            << QStringList {"--database", "postgresql:///shop?host=/nonexistent", "--check"}
            << "Нет связи";
    }
    void failures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        if (!arguments.contains(QLatin1String("--database")))
            arguments << QStringLiteral("--database") << url;
        const Run result = run(arguments);
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.contains(message, Qt::CaseInsensitive), qPrintable(result.err));
        QCOMPARE(result.out, QString());
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "test_cli.moc"
