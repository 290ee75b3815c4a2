// `printcalc --journal ...`, `--check` and the command line's rules run as the administrator runs
// them: the real program, no display, a journal filled beforehand; output, files, exit status and
// messages read back.
#include "cli/cli.h"
#include "storage/connection.h"
#include "storage/customer_store.h"
#include "storage/journal.h"
#include "storage/schema.h"
#include "tests/exact_prices.h"
#include "tests/program_run.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

class CliTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString url;
    int customerDatabases = 0;

    using Run = ProgramRun;
    Run run(const QStringList &arguments) const
    {
        return runProgram(arguments, dir.path() + QStringLiteral("/config"), 30000);
    }
    // A line of shell for what QProcess cannot give: bytes that are no UTF-8, a size limit, a
    // redirection. $P is the program, $U the database, $D the folder.
    Run runShell(const QString &script) const
    {
        QProcess shell;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "QT_QPA_PLATFORM", "PRINTCALC_DATABASE"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           dir.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        environment.insert(QStringLiteral("P"), QStringLiteral(PRINTCALC_PROGRAM));
        environment.insert(QStringLiteral("U"), url);
        environment.insert(QStringLiteral("D"), dir.path());
        shell.setProcessEnvironment(environment);
        shell.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script});
        const bool ended = shell.waitForFinished(30000);
        return {ended && shell.exitStatus() == QProcess::NormalExit ? shell.exitCode() : -1,
                QString::fromUtf8(shell.readAllStandardOutput()),
                QString::fromUtf8(shell.readAllStandardError())};
    }
    static bool chattr(const QString &flag, const QString &path)
    {
        return QProcess::execute(QStringLiteral("chattr"), {flag, path}) == 0;
    }
    // A usage error is one line on standard error that points to the help.
    static void verifyUsageError(const Run &result, const QString &message)
    {
        QCOMPARE(result.status, 2);
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
        QVERIFY2(result.err.endsWith(QStringLiteral(" Справка: printcalc --help\n"))
                     && result.err.count(QLatin1Char('\n')) == 1,
                 qPrintable(result.err));
        QCOMPARE(result.out, QString());
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
        // Texts a spreadsheet would take for formulas.
        QCOMPARE(
            journal.storeInvoice(
                {QStringLiteral("d"),
                 at(4, 12),
                 QStringLiteral("+угол"),
                 QString(),
                 {line(QStringLiteral("=1+1"), QStringLiteral("@2"), QStringLiteral("3")),
                  line(QStringLiteral("\tТабуляция"), QStringLiteral("1"), QStringLiteral("=2")),
                  line(QStringLiteral("\rВозврат"), QStringLiteral("1"), QStringLiteral("1")),
                  line(QStringLiteral("-скидка"), QStringLiteral("1"), QStringLiteral("1"))},
                 {}},
                1),
            4);
    }

    void commands_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("list, newest first")
            << QStringList {QStringLiteral("--journal"), QStringLiteral("list")}
            << QStringLiteral("4\t2026-03-04 12:15\t+угол\t4\t2.36\tдействителен\n"
                              "3\t2026-03-03 11:15\tокно\t1\t35.40\tаннулирован\n"
                              "2\t2026-03-02 10:15\tзал\t2\t2360.89\tдействителен\n"
                              "1\t2026-03-01 09:15\tокно\t1\t531.00\tдействителен\n")
            << QStringLiteral("");
        QTest::newRow("list of dates")
            << QStringList {QStringLiteral("--journal"), QStringLiteral("list"),
                            QStringLiteral("--from"),    QStringLiteral("2026-03-02"),
                            QStringLiteral("--to"),      QStringLiteral("2026-03-02")}
            << QStringLiteral("2\t2026-03-02 10:15\tзал\t2\t2360.89\tдействителен\n")
            << QStringLiteral("");
        // Standard output stays an empty list; the word for a person goes to standard error.
        QTest::newRow("list of days without invoices")
            << QStringList {QStringLiteral("--journal"), QStringLiteral("list"),
                            QStringLiteral("--from"), QStringLiteral("2026-04-01")}
            << QStringLiteral("") << QStringLiteral("Счетов за эти дни не найдено.\n");
        QTest::newRow("show")
            << QStringList {QStringLiteral("--journal"), QStringLiteral("show"),
                            QStringLiteral("2")}
            << QStringLiteral("Баннер \"Скидки\"\t2\t1 000\t2000.00\nДве строки\t3\t0,25\t0.75\n")
            << QStringLiteral("");
        QTest::newRow("check")
            << QStringList {QStringLiteral("--check")}
            << QStringLiteral(
                   "База данных: %1\nВыбрана: --database\nВерсия схемы: %2 (программа знает %2)\n"
                   "Счетов: 4 (аннулировано: 1)\nСтрок в счетах: 8\nДокументов: 1\n"
                   "Незавершённых заказов: 0\nЗаказов ждут номера: 0\n")
            << QStringLiteral("");
    }
    void commands()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const Run result = run(arguments << QStringLiteral("--database") << url);
        QVERIFY2(result.status == 0, qPrintable(result.err));
        QCOMPARE(result.out,
                 out.contains(QLatin1String("%1"))
                     ? out.arg(url, QString::number(latestSchemaVersion()))
                     : out);
        QCOMPARE(result.err, err);
    }

    // Lines priced from prices of seven to nine digits, in the journal and shown from it.
    void showsPricesToTheKopeck_data()
    {
        QTest::addColumn<QString>("job");
        QTest::addColumn<double>("price");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("shown");
        QTest::newRow("7 digits") << "sheet" << 12345.67 << "3"
                                  << "3\t12345.67\t37037.01";
        QTest::newRow("9 digits") << "sheet" << 1234567.89 << "3"
                                  << "3\t1234567.89\t3703703.67";
        QTest::newRow("9 digits at the limit") << "sheet" << 9999999.99 << "1"
                                               << "1\t9999999.99\t9999999.99";
        QTest::newRow("exact in six digits") << "sheet" << 1620000.0 << "2"
                                             << "2\t1.62e+06\t3240000.00";
        QTest::newRow("computed, rounded to kopecks") << "street" << 1234.57 << "2"
                                                      << "2\t136900.23\t273800.46";
    }
    void showsPricesToTheKopeck()
    {
        QFETCH(QString, job);
        QFETCH(double, price);
        QFETCH(QString, quantity);
        QFETCH(QString, shown);
        const QString shop = QStringLiteral("sqlite://") + dir.path() + QStringLiteral("/exact-")
            + QString::fromLatin1(QTest::currentDataTag())
                  .replace(QLatin1Char(' '), QLatin1Char('-'))
            + QStringLiteral(".sqlite");
        OrderLine line = exact::quote(job, price, quantity).orderLine();
        line.description = QStringLiteral("Строка");
        {
            Connection connection;
            QVERIFY(connection.open(DatabaseUrl::parse(shop), QStringLiteral("exact")));
            QCOMPARE(Journal(connection)
                         .storeInvoice({QStringLiteral("exact"),
                                        QDateTime::currentDateTime(),
                                        QStringLiteral("окно"),
                                        QString(),
                                        {line},
                                        {}},
                                       1),
                     1);
        }
        const Run result = run({QStringLiteral("--journal"), QStringLiteral("show"),
                                QStringLiteral("1"), QStringLiteral("--database"), shop});
        QVERIFY2(result.status == 0, qPrintable(result.err));
        QCOMPARE(result.out, QStringLiteral("Строка\t") + shown + QLatin1Char('\n'));
    }

    // The journal's list shows the invoice's "Всего" as its foot computed it: the customer's
    // discount, then the tax it was made with; numbers past 32 bits are shown too.
    void listsTheInvoicesFoot_data()
    {
        QTest::addColumn<qint64>("lowest");
        QTest::addColumn<int>("discount"); // hundredths of a percent
        QTest::addColumn<QString>("mode"); // empty: no tax in the settings
        QTest::addColumn<int>("rate");
        QTest::addColumn<QString>("listed");
        QTest::newRow("5 % off, then the old 18 %")
            << 7LL << 500 << "" << 0 << "7\t2026-03-05 10:00\tокно\t1\t1121.00\tдействителен\n";
        QTest::newRow("10 % off, 20 % included")
            << 1LL << 1000 << "included" << 20
            << "1\t2026-03-05 10:00\tокно\t1\t900.00\tдействителен\n";
        QTest::newRow("22 % on top, past 32 bits")
            << 3000000000LL << 0 << "on-top" << 22
            << "3000000000\t2026-03-05 10:00\tокно\t1\t1220.00\tдействителен\n";
    }
    void listsTheInvoicesFoot()
    {
        QFETCH(qint64, lowest);
        QFETCH(int, discount);
        QFETCH(QString, mode);
        QFETCH(int, rate);
        QFETCH(QString, listed);
        const QString shop = QStringLiteral("sqlite://") + dir.path() + QStringLiteral("/foot-")
            + QString::number(lowest) + QStringLiteral(".sqlite");
        OrderLine line;
        line.description = QStringLiteral("Визитки");
        line.quantity = QStringLiteral("1");
        line.unitPrice = QStringLiteral("1000");
        InvoiceDraft draft;
        draft.orderUid = QStringLiteral("foot");
        draft.created = QDateTime(QDate(2026, 3, 5), QTime(10, 0));
        draft.counter = QStringLiteral("окно");
        draft.lines = {line};
        draft.customer.shortName = QStringLiteral("ООО «Ромашка»");
        draft.customer.discountHundredths = discount;
        draft.taxGiven = taxModeFromWord(mode, &draft.taxRule.mode);
        draft.taxRule.rate = rate;
        {
            Connection connection;
            QVERIFY(connection.open(DatabaseUrl::parse(shop), QStringLiteral("foot")));
            QCOMPARE(Journal(connection).storeInvoice(draft, lowest), lowest);
        }
        Run result = run({QStringLiteral("--journal"), QStringLiteral("list"),
                          QStringLiteral("--database"), shop});
        QVERIFY2(result.status == 0, qPrintable(result.err));
        QCOMPARE(result.out, listed);
        result = run({QStringLiteral("--journal"), QStringLiteral("show"), QString::number(lowest),
                      QStringLiteral("--database"), shop});
        QVERIFY2(result.status == 0, qPrintable(result.err));
        QCOMPARE(result.out, QStringLiteral("Визитки\t1\t1000\t1000.00\n"));
    }

    void helpAndVersion_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("lines"); // lines standard output must hold
        const QStringList help {
            QStringLiteral("  printcalc --journal show N                    строки счёта N"),
            QStringLiteral("  printcalc --check                             связь с базой, "
                           "схема, счётчики, запись"),
            QStringLiteral("  printcalc --prices at ГГГГ-ММ-ДД              какая версия "
                           "действует в этот день"),
            QStringLiteral("  printcalc --customers show ID                 карточка клиента "
                           "и его счета"),
            QStringLiteral("2 — команда записана неверно.")};
        QTest::newRow("--help") << QStringList {QStringLiteral("--help")} << help;
        QTest::newRow("-h") << QStringList {QStringLiteral("-h")} << help;
        QTest::newRow("help of a command")
            << QStringList {QStringLiteral("--prices"), QStringLiteral("--help")} << help;
        QTest::newRow("--version")
            << QStringList {QStringLiteral("--version")}
            << QStringList {QStringLiteral("printcalc ") + QStringLiteral(PRINTCALC_VERSION)};
    }
    void helpAndVersion()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, lines);
        const Run result = run(arguments);
        QCOMPARE(result.status, 0);
        QCOMPARE(result.err, QString());
        const QStringList out = result.out.split(QLatin1Char('\n'));
        for (const QString &line : lines)
            QVERIFY2(out.contains(line), qPrintable(result.out));
    }

    // Every action the dispatcher runs is in the help, under its own words.
    void helpNamesEveryAction()
    {
        const Run result = run({QStringLiteral("--help")});
        QCOMPARE(result.status, 0);
        QStringList missing;
        for (const CliCommand &command : cliCommands())
            for (const CliAction &action : command.actions) {
                const QString usage = QStringLiteral("  printcalc ") + command.option
                    + (action.word.isEmpty() ? QString() : QLatin1Char(' ') + action.word);
                if (action.help.isEmpty() || !result.out.contains(usage))
                    missing << usage.trimmed();
            }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
    }

    void exportsCsv_data()
    {
        QTest::addColumn<QStringList>("dates");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("csv");
        QTest::newRow("quoting")
            << QStringList {QStringLiteral("--to"), QStringLiteral("2026-03-02")}
            << QStringLiteral("Выгружен журнал в %1: счетов — 2, строк — 3.\n")
            << QStringLiteral("Номер;Дата;Стойка;Описание;Количество;Цена;Сумма\n"
                              "1;2026-03-01;окно;\"Визитки; 90×50\";100;4.5;450.00\n"
                              "2;2026-03-02;зал;\"Баннер \"\"Скидки\"\"\";2;1 000;2000.00\n"
                              "2;2026-03-02;зал;\"Две\nстроки\";3;0,25;0.75\n");
        QTest::newRow("texts that look like formulas")
            << QStringList {QStringLiteral("--from"), QStringLiteral("2026-03-04")}
            << QStringLiteral("Выгружен журнал в %1: счетов — 1, строк — 4.\n")
            << QStringLiteral("Номер;Дата;Стойка;Описание;Количество;Цена;Сумма\n"
                              "4;2026-03-04;'+угол;'=1+1;'@2;3;0.00\n"
                              "4;2026-03-04;'+угол;'\tТабуляция;1;'=2;0.00\n"
                              // A carriage return would overwrite the line on a terminal.
                              "4;2026-03-04;'+угол;␍Возврат;1;1;1.00\n"
                              "4;2026-03-04;'+угол;'-скидка;1;1;1.00\n");
    }
    void exportsCsv()
    {
        QFETCH(QStringList, dates);
        QFETCH(QString, out);
        QFETCH(QString, csv);
        const QString file = dir.path() + QStringLiteral("/journal.csv");
        const Run result
            = run(QStringList {QStringLiteral("--database=") + url, QStringLiteral("--journal"),
                               QStringLiteral("export"), file}
                  + dates);
        QVERIFY2(result.status == 0, qPrintable(result.err));
        QCOMPARE(result.out, out.arg(file));
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(written.readAll()), csv);
    }

    // A device node of the folder's own, the same device as /dev/full or /dev/null: a program
    // that replaced its target by a file would not take the system's. Without root /dev cannot be
    // replaced, and the system's is used.
    QString device(const QString &name, unsigned minor) const
    {
        const QString path = dir.filePath(name);
        if (::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, minor)) == 0
            || errno == EEXIST)
            return path;
        return ::geteuid() == 0 ? QString() : QStringLiteral("/dev/") + name;
    }

    // Devices, FIFOs and standard output are written into, never replaced by a file.
    void exportTargets_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("target"); // "full", "null": devices; "fifo": read by cat
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const QStringList journal {QStringLiteral("--journal"), QStringLiteral("export")};
        const QStringList prices {QStringLiteral("--prices"), QStringLiteral("export")};
        QTest::newRow("journal to the null device")
            << journal << "null" << 0 << "Выгружен журнал в %1: счетов — 4, строк — 8.\n"
            << "";
        QTest::newRow("journal to the full device") << journal << "full" << 1 << ""
                                                    << "Файл %1 не записан: на диске нет места";
        QTest::newRow("price list to the full device") << prices << "full" << 1 << ""
                                                       << "Файл %1 не записан: на диске нет места";
        QTest::newRow("journal to standard output")
            << journal << "/dev/stdout" << 0 << "4;2026-03-04;'+угол;'-скидка;1;1;1.00\n"
            << "Выгружен журнал в /dev/stdout: счетов — 4, строк — 8.\n";
        QTest::newRow("journal to a FIFO")
            << journal << "fifo" << 0 << "Выгружен журнал в %1: счетов — 4, строк — 8.\n"
            << "";
    }
    void exportTargets()
    {
        QFETCH(QStringList, command);
        QFETCH(QString, target);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QProcess reader;
        if (target == QLatin1String("fifo")) {
            target = dir.filePath(QStringLiteral("fifo.csv"));
            QCOMPARE(QProcess::execute(QStringLiteral("mkfifo"), {target}), 0);
            reader.start(QStringLiteral("cat"), {target});
            QVERIFY(reader.waitForStarted());
        } else if (!target.startsWith(QLatin1Char('/'))) {
            target = device(target, target == QLatin1String("full") ? 7 : 3);
            if (target.isEmpty())
                QSKIP("no device node can be made here, and as root the system's could be lost");
        }
        const Run result = run(command << target << QStringLiteral("--database") << url);
        QVERIFY2(result.status == status, qPrintable(result.err));
        QVERIFY2(result.out.contains(out.contains(QLatin1String("%1")) ? out.arg(target) : out),
                 qPrintable(result.out));
        QVERIFY2(result.err.contains(err.contains(QLatin1String("%1")) ? err.arg(target) : err),
                 qPrintable(result.err));
        struct stat kind;
        QVERIFY(::stat(QFile::encodeName(target).constData(), &kind) == 0);
        if (target.startsWith(dir.path()) && !reader.processId())
            QVERIFY2(S_ISCHR(kind.st_mode), "the device was replaced by a file");
        if (reader.processId()) {
            QVERIFY(reader.waitForFinished(10000));
            QVERIFY2(S_ISFIFO(kind.st_mode), "the FIFO was replaced by a file");
            QVERIFY(reader.readAllStandardOutput().startsWith("Номер;Дата;Стойка"));
        }
    }

    // Through the shell: what a failed or refused write leaves behind.
    void writesThroughShell_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("files"); // a pattern in the folder
        QTest::addColumn<QStringList>("found"); // what it must match afterwards
        QTest::addColumn<QString>("content"); // of the first one found
        QTest::newRow("file name not in the locale's encoding")
            << "exec \"$P\" --database \"$U\" --journal export \"$D/$(printf '\\377')x.csv\"" << 2
            << "не в кодировке системы (UTF-8)"
            << "*x.csv" << QStringList() << "";
        // The limit stops the write midway, as a full disk does.
        QTest::newRow("size limit reached midway")
            << QStringLiteral("echo old >\"$D/limited.csv\"; ulimit -f 256; trap '' XFSZ; "
                              "exec \"$P\" --database \"$U\" --prices export \"$D/limited.csv\"")
            << 1
            << QStringLiteral("Файл ") + dir.filePath(QStringLiteral("limited.csv"))
                + QStringLiteral(" не записан: файл больше допустимого размера")
            << QStringLiteral("limited.csv*") << QStringList {QStringLiteral("limited.csv")}
            << QStringLiteral("old\n");
        // Without a home nothing may land under "/": the command says so and stops.
        QTest::newRow("no home folder")
            << "unset HOME XDG_CONFIG_HOME XDG_DATA_HOME; exec \"$P\" --journal list" << 1
            << "Не задана домашняя папка"
            << "" << QStringList() << "";
        QTest::newRow("no home, XDG folders given")
            << "unset HOME; export XDG_CONFIG_HOME=\"$D/c\" XDG_DATA_HOME=\"$D/d\"; "
               "exec \"$P\" --journal list"
            << 0 << ""
            << "" << QStringList() << "";
        QTest::newRow("listing into a full disk")
            << "exec \"$P\" --database \"$U\" --journal list >/dev/full" << 1
            << "Стандартный вывод не записан: на диске нет места"
            << "" << QStringList() << "";
    }
    void writesThroughShell()
    {
        QFETCH(QString, script);
        QFETCH(int, status);
        QFETCH(QString, message);
        QFETCH(QString, files);
        QFETCH(QStringList, found);
        QFETCH(QString, content);
        const Run result = runShell(script);
        QVERIFY2(result.status == status, qPrintable(result.err));
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
        if (files.isEmpty())
            return;
        const QStringList names = QDir(dir.path()).entryList({files}, QDir::Files | QDir::System);
        QCOMPARE(names, found);
        if (!found.isEmpty()) {
            QFile file(dir.filePath(found.first()));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(QString::fromUtf8(file.readAll()), content);
        }
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown option") << QStringList {QStringLiteral("--bogus")}
                                        << QStringLiteral("Неизвестный параметр «--bogus»");
        QTest::newRow("unknown short option")
            << QStringList {QStringLiteral("-x")} << QStringLiteral("Неизвестный параметр «-x»");
        QTest::newRow("unknown option of a command")
            << QStringList {QStringLiteral("--journal"), QStringLiteral("list"),
                            QStringLiteral("--bogus")}
            << QStringLiteral("Неизвестный параметр «--bogus»");
        QTest::newRow("version beside a command")
            << QStringList {QStringLiteral("--check"), QStringLiteral("--version")}
            << QStringLiteral("Неизвестный параметр «--version»");
        QTest::newRow("a lone dash")
            << QStringList {QStringLiteral("-")} << QStringLiteral("«-» — не команда printcalc");
        QTest::newRow("price version not a number")
            << QStringList {QStringLiteral("--prices"), QStringLiteral("export"),
                            QStringLiteral("v.csv"), QStringLiteral("--version"),
                            QStringLiteral("abc")}
            << QStringLiteral("Номер версии «abc» не понят");
        QTest::newRow("price version with letters")
            << QStringList {QStringLiteral("--prices"), QStringLiteral("export"),
                            QStringLiteral("v.csv"), QStringLiteral("--version"),
                            QStringLiteral("2x")}
            << QStringLiteral("Номер версии «2x» не понят");
        QTest::newRow("price version too large")
            << QStringList {QStringLiteral("--prices"), QStringLiteral("export"),
                            QStringLiteral("v.csv"), QStringLiteral("--version"),
                            QStringLiteral("99999999999")}
            << QStringLiteral("Номер версии «99999999999» не понят");
        QTest::newRow("price version below zero")
            << QStringList {QStringLiteral("--prices"), QStringLiteral("export"),
                            QStringLiteral("v.csv"), QStringLiteral("--version"),
                            QStringLiteral("-1")}
            << QStringLiteral("Номер версии «-1» не понят");
        QTest::newRow("no price version after the option")
            << QStringList {QStringLiteral("--prices"), QStringLiteral("export"),
                            QStringLiteral("v.csv"), QStringLiteral("--version")}
            << QStringLiteral("После «--version» нужно значение");
        QTest::newRow("invoice number with letters")
            << QStringList {QStringLiteral("--journal"), QStringLiteral("show"),
                            QStringLiteral("12abc")}
            << QStringLiteral("Номер счёта «12abc» не понят");
        QTest::newRow("invoice number too large")
            << QStringList {QStringLiteral("--journal"), QStringLiteral("show"),
                            QStringLiteral("99999999999999999999")}
            << QStringLiteral("Номер счёта «99999999999999999999» не понят");
        QTest::newRow("no number")
            << QStringList {QStringLiteral("--journal"), QStringLiteral("show")}
            << QStringLiteral("Нужен номер");
        QTest::newRow("malformed date")
            << QStringList {QStringLiteral("--journal"), QStringLiteral("list"),
                            QStringLiteral("--from"), QStringLiteral("03.02.2026")}
            << QStringLiteral("ГГГГ-ММ-ДД");
        QTest::newRow("impossible date")
            << QStringList {QStringLiteral("--journal"), QStringLiteral("export"),
                            QStringLiteral("j.csv"), QStringLiteral("--to"),
                            QStringLiteral("2026-13-45")}
            << QStringLiteral("Дата «2026-13-45» после --to не понята");
        QTest::newRow("reversed range")
            << QStringList {QStringLiteral("--journal"),  QStringLiteral("export"),
                            QStringLiteral("j.csv"),      QStringLiteral("--from"),
                            QStringLiteral("2026-03-03"), QStringLiteral("--to"),
                            QStringLiteral("2026-03-01")}
            << QStringLiteral("Начало периода --from 2026-03-03 позже его конца --to 2026-03-01");
        QTest::newRow("repeated option")
            << QStringList {QStringLiteral("--journal"), QStringLiteral("list"),
                            QStringLiteral("--to"),      QStringLiteral("2026-03-01"),
                            QStringLiteral("--to"),      QStringLiteral("2026-03-02")}
            << QStringLiteral("Параметр «--to» дан дважды");
        QTest::newRow("no date after the option")
            << QStringList {QStringLiteral("--journal"), QStringLiteral("list"),
                            QStringLiteral("--from")}
            << QStringLiteral("После «--from» нужно значение");
        QTest::newRow("option of another command")
            << QStringList {QStringLiteral("--journal"), QStringLiteral("show"),
                            QStringLiteral("1"), QStringLiteral("--from"),
                            QStringLiteral("2026-03-01")}
            << QStringLiteral("Параметр «--from» не подходит к «--journal show»");
        QTest::newRow("value given to a flag")
            << QStringList {QStringLiteral("--check=yes")}
            << QStringLiteral("Параметр «--check» пишется без значения");
        QTest::newRow("extra word")
            << QStringList {QStringLiteral("--check"), QStringLiteral("extra")}
            << QStringLiteral("Лишнее в команде: extra.");
        QTest::newRow("second file")
            << QStringList {QStringLiteral("--journal"), QStringLiteral("export"),
                            QStringLiteral("a.csv"), QStringLiteral("b.csv")}
            << QStringLiteral("Лишнее в команде: ");
        QTest::newRow("no action") << QStringList {QStringLiteral("--journal")}
                                   << QStringLiteral("После --journal нужно действие");
        QTest::newRow("unknown action")
            << QStringList {QStringLiteral("--journal"), QStringLiteral("delete")}
            << QStringLiteral("не известна");
        QTest::newRow("no URL after the option")
            << QStringList {QStringLiteral("--check"), QStringLiteral("--database")}
            << QStringLiteral("После «--database» нужно значение");
        QTest::newRow("URL of no known form")
            << QStringList {QStringLiteral("--database"), QStringLiteral("mysql://h/db"),
                            QStringLiteral("--check")}
            << QStringLiteral("не понят");
    }
    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        // Before the rest, so that an option missing its value stays the last word.
        if (!arguments.contains(QLatin1String("--database")) && arguments.size() > 1)
            arguments = QStringList {QStringLiteral("--database"), url} + arguments;
        for (QString &argument : arguments) {
            if (argument.endsWith(QLatin1String(".csv")))
                argument = dir.filePath(argument);
        }
        verifyUsageError(run(arguments), message);
        for (const QString &argument : qAsConst(arguments))
            QVERIFY2(!argument.endsWith(QLatin1String(".csv")) || !QFile::exists(argument),
                     qPrintable(argument + QStringLiteral(" was written")));
    }

    // Every family's action words as the administrator mistypes them: the whole line told.
    void actionWords_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("line"); // standard error, before the pointer to the help
        const auto row = [](const char *name, const QStringList &arguments, const QString &line) {
            QTest::newRow(name) << arguments << line;
        };
        row("no journal action", {QStringLiteral("--journal")},
            QStringLiteral("После --journal нужно действие: list, show, export или void."));
        row("unknown price action", {QStringLiteral("--prices"), QStringLiteral("drop")},
            QStringLiteral("Команда «--prices drop» не известна: есть list, export, check, "
                           "import, confirm и at."));
        row("no customers action", {QStringLiteral("--customers")},
            QStringLiteral("После --customers нужно действие: list, show, import или export."));
        // The website's requests are decided on the board: the lists leave them out.
        row("unknown orders action", {QStringLiteral("--orders"), QStringLiteral("drop")},
            QStringLiteral(
                "Команда «--orders drop» не известна: есть list, show, status, confirm и "
                "decline."));
        row("no payments action", {QStringLiteral("--payments")},
            QStringLiteral("После --payments нужно действие: add или import."));
        row("no audit action", {QStringLiteral("--audit")},
            QStringLiteral("После --audit нужно действие: verify или list."));
        row("unknown operators action", {QStringLiteral("--operators"), QStringLiteral("drop")},
            QStringLiteral("Команда «--operators drop» не известна: есть add, list и disable."));
        row("no admin action", {QStringLiteral("--admin")},
            QStringLiteral("После --admin нужно действие: setup-roles, add-login или upgrade."));
        row("unknown shift action", {QStringLiteral("--shift"), QStringLiteral("reopen")},
            QStringLiteral("Команда «--shift reopen» не известна: есть report, open и close."));
        row("no report", {QStringLiteral("--reports")},
            QStringLiteral("После --reports нужен отчёт: sales, average или owed."));
        row("unknown report", {QStringLiteral("--reports"), QStringLiteral("profit")},
            QStringLiteral("Отчёт «--reports profit» не известен: есть sales, average и owed."));
        row("no document", {QStringLiteral("--pdf")},
            QStringLiteral("После --pdf нужен документ: printcalc --pdf invoice|act|ticket N "
                           "[ФАЙЛ]"));
        row("unknown document", {QStringLiteral("--pdf"), QStringLiteral("receipt")},
            QStringLiteral("Документ «receipt» не известен: есть invoice, act и ticket."));
        row("an option of another action",
            {QStringLiteral("--orders"), QStringLiteral("list"), QStringLiteral("--reason"),
             QStringLiteral("x")},
            QStringLiteral("Параметр «--reason» не подходит к «--orders list»."));
        row("an option a request's confirmation does not take",
            {QStringLiteral("--orders"), QStringLiteral("confirm"), QStringLiteral("5"),
             QStringLiteral("--reason"), QStringLiteral("x")},
            QStringLiteral("Параметр «--reason» не подходит к «--orders confirm»."));
        row("no operator's name", {QStringLiteral("--operators"), QStringLiteral("add")},
            QStringLiteral("Нужно имя оператора: printcalc --operators add ИМЯ --role "
                           "operator|manager|owner"));
        row("no sum to open with", {QStringLiteral("--shift"), QStringLiteral("open")},
            QStringLiteral("Нужна сумма: printcalc --shift open СУММА"));
        row("no sum to close with", {QStringLiteral("--shift"), QStringLiteral("close")},
            QStringLiteral("Нужна сумма: printcalc --shift close СУММА"));
        row("no order number to pay", {QStringLiteral("--payments"), QStringLiteral("add")},
            QStringLiteral("Нужен номер заказа: printcalc --payments add N СУММА СПОСОБ"));
        row("a refund without its method",
            {QStringLiteral("--payments"), QStringLiteral("add"), QStringLiteral("5"),
             QStringLiteral("-300")},
            QStringLiteral("Нужны сумма и способ оплаты: printcalc --payments add N СУММА "
                           "СПОСОБ"));
        row("a word past the payment's method",
            {QStringLiteral("--payments"), QStringLiteral("add"), QStringLiteral("5"),
             QStringLiteral("-300"), QStringLiteral("наличные"), QStringLiteral("сдача")},
            QStringLiteral("Лишнее в команде: сдача."));
        row("a status in two words",
            {QStringLiteral("--orders"), QStringLiteral("status"), QStringLiteral("5"),
             QStringLiteral("в"), QStringLiteral("печати")},
            QStringLiteral("Статус «в печати» не понят: есть принят, в работе, готов, выдан, "
                           "отменён."));
        // A reason written without --reason would be lost.
        row("a decline's reason without its option",
            {QStringLiteral("--orders"), QStringLiteral("decline"), QStringLiteral("5"),
             QStringLiteral("не"), QStringLiteral("нужно")},
            QStringLiteral("Лишнее в команде: не нужно."));
        row("a second request number",
            {QStringLiteral("--orders"), QStringLiteral("confirm"), QStringLiteral("5"),
             QStringLiteral("6")},
            QStringLiteral("Лишнее в команде: 6."));
        row("a file past the PDF's",
            {QStringLiteral("--pdf"), QStringLiteral("act"), QStringLiteral("5"),
             QStringLiteral("a.pdf"), QStringLiteral("b.pdf")},
            QStringLiteral("Лишнее в команде: b.pdf."));
        row("no login name", {QStringLiteral("--admin"), QStringLiteral("add-login"), QString()},
            QStringLiteral("После «--admin add-login» нужно имя входа."));
        row("a word after --check", {QStringLiteral("--check"), QString()},
            QStringLiteral("Лишнее в команде: ."));
    }
    void actionWords()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, line);
        const Run result = run(QStringList {QStringLiteral("--database"), url} + arguments);
        QCOMPARE(result.err, line + QStringLiteral(" Справка: printcalc --help\n"));
        QCOMPARE(result.status, 2);
        QCOMPARE(result.out, QString());
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("no such invoice")
            << QStringList {QStringLiteral("--journal"), QStringLiteral("show"),
                            QStringLiteral("99")}
            << QStringLiteral("№ 99 в журнале нет");
        QTest::newRow("number beyond 32 bits")
            << QStringList {QStringLiteral("--journal"), QStringLiteral("show"),
                            QStringLiteral("3000000000")}
            << QStringLiteral("Счёта № 3000000000 в журнале нет.");
        QTest::newRow("folder that is not there")
            << QStringList {QStringLiteral("--journal"), QStringLiteral("export"),
                            QStringLiteral("/proc/nope/x.csv")}
            << QStringLiteral("Файл /proc/nope/x.csv не открыть для записи: папки /proc/nope нет");
        QTest::newRow("folder that takes no files")
            << QStringList {QStringLiteral("--prices"), QStringLiteral("export"),
                            QStringLiteral("/proc/x.csv")}
            << QStringLiteral("Файл /proc/x.csv не открыть для записи: ");
        QTest::newRow("a folder as the file")
            << QStringList {QStringLiteral("--journal"), QStringLiteral("export"),
                            QStringLiteral("/tmp")}
            << QStringLiteral("это папка, а не файл");
        QTest::newRow("server not there") << QStringList {
            QStringLiteral("--database"), QStringLiteral("postgresql:///shop?host=/nonexistent"),
            QStringLiteral("--check")} << QStringLiteral("Нет связи");
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

    // `--customers ...` on a database of two customers, one with two invoices: what the
    // command writes, and the list afterwards (an import refused stores nothing).
    void customers_data()
    {
        QTest::addColumn<QStringList>("arguments"); // FILE: the file of the input
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::addColumn<QString>("listAfter");
        const QString ivan
            = QStringLiteral("2\tчастное лицо\tИван Петров\t\t\t8 (912) 345-67-89\t\t0\n");
        const QString romashka
            = QStringLiteral("1\tорганизация\tООО «Ромашка»\t7707083893\t770701001\t"
                             "+7 495 500-55-50\tinfo@romashka.ru\t5.25\n");
        const QString both = ivan + romashka;
        QTest::newRow("list by name") << QStringList {QStringLiteral("list")} << QStringLiteral("")
                                      << 0 << both << QStringLiteral("") << both;
        QTest::newRow("find by the phone with 8")
            << QStringList {QStringLiteral("list"), QStringLiteral("--find"),
                            QStringLiteral("8495")}
            << QStringLiteral("") << 0 << romashka << QStringLiteral("") << both;
        QTest::newRow("find by the phone with +7")
            << QStringList {QStringLiteral("list"), QStringLiteral("--find"),
                            QStringLiteral("+7 912")}
            << QStringLiteral("") << 0 << ivan << QStringLiteral("") << both;
        QTest::newRow("find by ИНН, name and e-mail")
            << QStringList {QStringLiteral("list"), QStringLiteral("--find"),
                            QStringLiteral("7707")}
            << QStringLiteral("") << 0 << romashka << QStringLiteral("") << both;
        QTest::newRow("find by a later word")
            << QStringList {QStringLiteral("list"), QStringLiteral("--find"), QStringLiteral("РОМ")}
            << QStringLiteral("") << 0 << romashka << QStringLiteral("") << both;
        QTest::newRow("find nothing")
            << QStringList {QStringLiteral("list"), QStringLiteral("--find"),
                            QStringLiteral("типография")}
            << QStringLiteral("") << 0 << QStringLiteral("")
            << QStringLiteral("Клиентов по «типография» не найдено.\n") << both;
        QTest::newRow("show, invoices newest first")
            << QStringList {QStringLiteral("show"), QStringLiteral("1")} << QStringLiteral("") << 0
            << QStringLiteral(
                   "Номер: 1\nВид: организация\nНаименование: ООО «Ромашка»\nИНН: 7707083893\n"
                   "КПП: 770701001\nТелефон: +7 495 500-55-50\nE-mail: info@romashka.ru\n"
                   "Скидка: 5,25 %\nСоздан: 2026-03-01 09:00, стойка\n"
                   "Изменён: 2026-03-01 09:00, стойка\n"
                   // The customer's 5,25 % off before the tax, as the invoices printed it.
                   "2\t2026-03-05 17:15\t670.83\tдействителен\n"
                   "1\t2026-03-01 09:15\t335.42\tдействителен\n")
            << QStringLiteral("") << both;
        QTest::newRow("show without invoices")
            << QStringList {QStringLiteral("show"), QStringLiteral("2")} << QStringLiteral("") << 0
            << QStringLiteral("Номер: 2\nВид: частное лицо\nНаименование: Иван Петров\n"
                              "Телефон: 8 (912) 345-67-89\nСоздан: 2026-03-01 09:00, стойка\n"
                              "Изменён: 2026-03-01 09:00, стойка\n")
            << QStringLiteral("Счетов у клиента нет.\n") << both;
        QTest::newRow("import: one new, one by ИНН and КПП, one by the person's phone")
            << QStringList {QStringLiteral("import"), QStringLiteral("FILE")}
            << QStringLiteral("Name;INN;KPP;Kind;Phone;Discount;Примечание\n"
                              "ИП Сидоров;500100732259;;ип;;10;новый\n"
                              "Ромашка;7707083893;770701001;организация;;7,5;\n"
                              "И. Петров;;;частное лицо;+7 912 345 67 89;;\n")
            << 0
            << QStringLiteral("Клиенты загружены: добавлено — 1, обновлено — 2.\n"
                              "Строка 3: Ромашка — обновлён.\nСтрока 4: И. Петров — обновлён.\n"
                              "Строка 1: столбец «Примечание» не известен и пропущен.\n")
            << QStringLiteral("")
            << QStringLiteral("2\tчастное лицо\tИ. Петров\t\t\t+7 912 345 67 89\t\t0\n"
                              "3\tип\tИП Сидоров\t500100732259\t\t\t\t10\n"
                              "1\tорганизация\tРомашка\t7707083893\t770701001\t+7 495 500-55-50\t"
                              "info@romashka.ru\t7.5\n");
        QTest::newRow("import refused: a bad row stores nothing")
            << QStringList {QStringLiteral("import"), QStringLiteral("FILE")}
            << QStringLiteral("наименование;инн;вид;скидка\n"
                              "ИП Сидоров;500100732259;ип;10\n"
                              "ООО «Лютик»;770708389;организация;5\n"
                              "\"Рога; и копыта\";7707083830;организация;60\n"
                              ";;;\n"
                              "ИП Петров;;ип;\n"
                              "Петрова;;лицо;\n")
            << 1
            << QStringLiteral(
                   "Файл отклонён, ничего не сохранено: ошибок — 4.\n"
                   "Строка 3: ИНН: 10 цифр для организации, введено 9 цифр\n"
                   "Строка 4: Скидка: «60» — нужно число от 0 до 50, не больше двух знаков после "
                   "запятой.\n"
                   "Строка 6: ИНН: не заполнен — он обязателен для ИП.\n"
                   "Строка 7: вид «лицо» не известен: бывает организация, ип или частное лицо.\n")
            << QStringLiteral("") << both;
        QTest::newRow("import refused: the same requisites twice")
            << QStringList {QStringLiteral("import"), QStringLiteral("FILE")}
            << QStringLiteral(
                   "наименование;инн;кпп\nА;7707083893;770701001\nБ;7707083893;770701001\n")
            << 1
            << QStringLiteral("Файл отклонён, ничего не сохранено: ошибок — 1.\n"
                              "Строка 3: тот же ИНН и КПП, что в строке 2.\n")
            << QStringLiteral("") << both;
        QTest::newRow("import without the name column")
            << QStringList {QStringLiteral("import"), QStringLiteral("FILE")}
            << QStringLiteral("инн;кпп\n7707083893;770701001\n") << 1
            << QStringLiteral(
                   "Файл отклонён, ничего не сохранено: ошибок — 1.\n"
                   "Строка 1: нет столбца «наименование» — он обязателен (названия столбцов в "
                   "первой строке).\n")
            << QStringLiteral("") << both;
        QTest::newRow("export, formulas kept as text")
            << QStringList {QStringLiteral("export"), QStringLiteral("FILE")} << QStringLiteral("")
            << 0 << QStringLiteral("Выгружены клиенты в FILE: 2.\n") << QStringLiteral("") << both;
    }
    void customers()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, input);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(QString, listAfter);
        const QString database
            = dir.filePath(QStringLiteral("customers-%1.sqlite").arg(++customerDatabases));
        const QString file
            = dir.filePath(QStringLiteral("customers-%1.csv").arg(customerDatabases));
        {
            Connection connection;
            QVERIFY(connection.open(DatabaseUrl::sqliteFile(database), QStringLiteral("fill")));
            CustomerStore store(connection);
            Customer firm;
            firm.shortName = QStringLiteral("ООО «Ромашка»");
            firm.inn = QStringLiteral("7707083893");
            firm.kpp = QStringLiteral("770701001");
            firm.phone = QStringLiteral("+7 495 500-55-50");
            firm.email = QStringLiteral("info@romashka.ru");
            firm.discountHundredths = 525;
            Customer ivan;
            ivan.kind = Customer::Person;
            ivan.shortName = QStringLiteral("Иван Петров");
            ivan.phone = QStringLiteral("8 (912) 345-67-89");
            for (Customer *customer : {&firm, &ivan})
                QCOMPARE(store.save(customer, QStringLiteral("стойка")), CustomerSaveResult::Saved);
            QSqlQuery stamp(connection.database());
            QVERIFY(
                stamp.exec(QStringLiteral("UPDATE customer SET created = '2026-03-01 09:00:00', "
                                          "changed = '2026-03-01 09:00:00'")));
            OrderLine line;
            line.description = QStringLiteral("Листовки");
            line.quantity = QStringLiteral("100");
            line.unitPrice = QStringLiteral("3");
            Journal journal(connection);
            for (const int day : {1, 5})
                QVERIFY(
                    journal.storeInvoice({QStringLiteral("o%1").arg(day),
                                          QDateTime(QDate(2026, 3, day), QTime(day * 2 + 7, 15)),
                                          QStringLiteral("стойка"),
                                          QString(),
                                          QVector<OrderLine>(day == 1 ? 1 : 2, line),
                                          {},
                                          firm},
                                         1)
                    > 0);
        }
        if (!input.isEmpty()) {
            QFile written(file);
            QVERIFY(written.open(QIODevice::WriteOnly));
            written.write(input.toUtf8());
        }
        arguments.replaceInStrings(QStringLiteral("FILE"), file);
        const QString databaseUrl = QStringLiteral("sqlite://") + database;
        const Run result = run(QStringList {QStringLiteral("--customers")} + arguments
                               + QStringList {QStringLiteral("--database"), databaseUrl});
        QCOMPARE(result.out, QString(out).replace(QStringLiteral("FILE"), file));
        QCOMPARE(result.err, err);
        QCOMPARE(result.status, status);
        const Run after = run({QStringLiteral("--customers"), QStringLiteral("list"),
                               QStringLiteral("--database"), databaseUrl});
        QCOMPARE(after.out, listAfter);
        if (arguments.first() == QLatin1String("export")) {
            QFile exported(file);
            QVERIFY(exported.open(QIODevice::ReadOnly));
            QCOMPARE(QString::fromUtf8(exported.readAll()),
                     QStringLiteral(
                         "вид;наименование;полное наименование;инн;кпп;огрн;адрес;телефон;email;"
                         "контакт;бик;счёт;корсчёт;банк;скидка;заметка\n"
                         "частное лицо;Иван Петров;;;;;;8 (912) 345-67-89;;;;;;;0;\n"
                         "организация;ООО «Ромашка»;;7707083893;770701001;;;'+7 495 500-55-50;"
                         "info@romashka.ru;;;;;;5,25;\n"));
            // What was written comes in again as the same customers, each one updated.
            const Run again = run({QStringLiteral("--customers"), QStringLiteral("import"), file,
                                   QStringLiteral("--database"), databaseUrl});
            QCOMPARE(again.out,
                     QStringLiteral("Клиенты загружены: добавлено — 0, обновлено — 2.\n"
                                    "Строка 2: Иван Петров — обновлён.\n"
                                    "Строка 3: ООО «Ромашка» — обновлён.\n"));
            QCOMPARE(run({QStringLiteral("--customers"), QStringLiteral("list"),
                          QStringLiteral("--database"), databaseUrl})
                         .out,
                     listAfter);
        }
    }

    // `--check` tells what the window would meet at its first invoice, and creates nothing.
    void checkRefuses_data()
    {
        QTest::addColumn<QString>("immutable"); // "file", "folder" or "" for none
        QTest::addColumn<QString>("path"); // under the temporary folder
        QTest::addColumn<QString>("message");
        QTest::newRow("file that cannot be written") << "file"
                                                     << "ro/shop.sqlite"
                                                     << "недоступны для записи";
        QTest::newRow("folder that cannot be written") << "folder"
                                                       << "ro/shop.sqlite"
                                                       << "недоступны для записи";
        QTest::newRow("mistyped path") << ""
                                       << "mistyped/path/x.sqlite"
                                       << "Файла базы данных %1 нет: проверьте адрес";
    }
    void checkRefuses()
    {
        QFETCH(QString, immutable);
        QFETCH(QString, path);
        QFETCH(QString, message);
        const QString file = dir.filePath(path);
        const QString folder = QFileInfo(file).absolutePath();
        if (!immutable.isEmpty()) {
            QVERIFY(QDir().mkpath(folder));
            Connection connection;
            QVERIFY(connection.open(DatabaseUrl::sqliteFile(file), QStringLiteral("ro")));
        }
        const QString locked = immutable == QLatin1String("file") ? file : folder;
        if (!immutable.isEmpty() && !chattr(QStringLiteral("+i"), locked))
            QSKIP("chattr +i is not available here: root writes any file that is only read-only");
        const Run result = run({QStringLiteral("--check"), QStringLiteral("--database"),
                                QStringLiteral("sqlite://") + file});
        if (!immutable.isEmpty())
            chattr(QStringLiteral("-i"), locked);
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.contains(message.contains(QLatin1String("%1")) ? message.arg(file)
                                                                           : message),
                 qPrintable(result.err));
        if (immutable.isEmpty())
            QVERIFY2(!QFileInfo::exists(dir.filePath(QStringLiteral("mistyped"))),
                     "the mistyped path was created");
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "test_cli.moc"
