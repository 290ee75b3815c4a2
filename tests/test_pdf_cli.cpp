// `printcalc --pdf invoice|act|ticket N [FILE]` run as the administrator runs it: the real
// program with no display, invoices and orders stored beforehand; each document read back.
#include "storage/connection.h"
#include "storage/journal.h"
#include "storage/order_book.h"
#include "tests/pdf_text.h"
#include "tests/program_run.h"

#include <QTemporaryDir>
#include <QtTest>

class PdfCliTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString url;

    QString folder() const { return dir.filePath(QStringLiteral("pdf")); }

private slots:
    void initTestCase()
    {
        url = QStringLiteral("sqlite://") + dir.filePath(QStringLiteral("shop.sqlite"));
        QDir().mkpath(dir.filePath(QStringLiteral("config/printcalc")));
        QFile config(dir.filePath(QStringLiteral("config/printcalc/printcalc.ini")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(QStringLiteral("[counter]\nname=стойка-7\n[documents]\npdfFolder=%1\n"
                                    "[tax]\nmode=included\nrate=22\n[requisites]\n"
                                    "name=ООО «Ясный лист»\ninn=7707083893\nkpp=770701001\n"
                                    "bankName=АО «Банк Энска»\nbik=044525225\n"
                                    "settlementAccount=40702810938000012345\n"
                                    "corrAccount=30101810400000000225\n")
                         .arg(folder())
                         .toUtf8());
        config.close();

        Connection connection;
        QVERIFY(connection.open(DatabaseUrl::parse(url), QStringLiteral("fill")));
        OrderLine cards {QStringLiteral("Визитки 90х50 4+4"), QStringLiteral("1000"),
                         QStringLiteral("1.32"), QStringLiteral("vz-90x50-44")};
        OrderIntake order;
        order.draft.orderUid = QStringLiteral("a");
        order.draft.created = QDateTime(QDate(2026, 3, 2), QTime(9, 30));
        order.draft.counter = QStringLiteral("стойка-1");
        order.draft.lines = {cards};
        order.draft.customer.shortName = QStringLiteral("ООО «Ромашка»");
        order.draft.customer.inn = QStringLiteral("5001007329");
        order.due = QDateTime(QDate(2026, 3, 3), QTime(12, 0));
        order.note = QStringLiteral("без обрезки");
        order.phone = QStringLiteral("8 (903) 111-22-33");
        // Stored, as the program stores them, with the settings' tax of their day.
        TaxSettings tax;
        tax.given = true;
        tax.rule = {TaxMode::Included, 22};
        OrderBook book(connection);
        book.setTaxSettings(tax);
        QCOMPARE(book.take(order, 1042), 1042);
        // An invoice of the journal that was never taken as an order.
        InvoiceDraft plain;
        plain.orderUid = QStringLiteral("b");
        plain.created = QDateTime(QDate(2026, 3, 4), QTime(11, 0));
        plain.counter = QStringLiteral("стойка-1");
        plain.lines = {cards};
        setTaxOfItsDay(&plain, tax);
        QCOMPARE(Journal(connection).storeInvoice(plain, 1), 1043);
        // Its act was made before, on a later day: a copy is that same act.
        DocumentRecord act;
        act.kind = QStringLiteral("act-print");
        act.made = QDateTime(QDate(2026, 3, 10), QTime(16, 0));
        act.succeeded = true;
        act.counter = QStringLiteral("стойка-1");
        act.actDate = QDate(2026, 3, 10);
        QVERIFY(Journal(connection).addDocument(1043, act));
        // An invoice stored with no lines (by hand, or by a program of old): no document of it.
        InvoiceDraft empty = plain;
        empty.orderUid = QStringLiteral("c");
        empty.lines.clear();
        QCOMPARE(Journal(connection).storeInvoice(empty, 1), 1044);
    }

    // In order: the second act into the folder finds the first one's name taken.
    void script_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("file"); // written, under the test's folder; empty: none
        QTest::addColumn<QString>("err");
        QTest::addColumn<QStringList>("words"); // on the document's pages
        QTest::newRow("invoice into a named file")
            << QStringList {QStringLiteral("--pdf"), QStringLiteral("invoice"),
                            QStringLiteral("1042"), QStringLiteral("@/счёт.pdf")}
            << 0 << QStringLiteral("счёт.pdf") << QStringLiteral("")
            << QStringList {QStringLiteral("Счёт на оплату № 1042 от 02 марта 2026 г."),
                            QStringLiteral("Банк получателя"),
                            QStringLiteral("Покупатель: ООО «Ромашка», ИНН 5001007329"),
                            QStringLiteral("В том числе НДС 22 % 238,03"),
                            QStringLiteral("Всего 1 320,00")};
        QTest::newRow("act into the settings' folder")
            << QStringList {QStringLiteral("--pdf"), QStringLiteral("act"), QStringLiteral("1042")}
            << 0 << QStringLiteral("pdf/Акт-1042-2026-03-02.pdf") << QStringLiteral("")
            << QStringList {QStringLiteral("Акт выполненных работ № 1042 от 02 марта 2026 г."),
                            QStringLiteral("Заказчик: ООО «Ромашка», ИНН 5001007329"),
                            QStringLiteral(
                                "Заказчик претензий по объёму, качеству и срокам оказания услуг не "
                                "имеет.")};
        QTest::newRow("the same act again: a name of its own")
            << QStringList {QStringLiteral("--pdf"), QStringLiteral("act"), QStringLiteral("1042")}
            << 0 << QStringLiteral("pdf/Акт-1042-2026-03-02 (2).pdf") << QStringLiteral("")
            << QStringList {QStringLiteral("Акт выполненных работ № 1042")};
        QTest::newRow("ticket") << QStringList {QStringLiteral("--pdf"), QStringLiteral("ticket"),
                                                QStringLiteral("1042")}
                                << 0 << QStringLiteral("pdf/Заказ-наряд-1042.pdf")
                                << QStringLiteral("")
                                << QStringList {QStringLiteral("Заказ-наряд № 1042"),
                                                QStringLiteral("Срок: 03.03.2026 12:00"),
                                                QStringLiteral("Клиент: ООО «Ромашка»"),
                                                QStringLiteral("Телефон: 8 (903) 111-22-33"),
                                                QStringLiteral("vz-90x50-44"),
                                                QStringLiteral("Примечание: без обрезки")};
        QTest::newRow("invoice of the journal only")
            << QStringList {QStringLiteral("--pdf"), QStringLiteral("invoice"),
                            QStringLiteral("1043")}
            << 0 << QStringLiteral("pdf/Счёт-1043-2026-03-04.pdf") << QStringLiteral("")
            << QStringList {QStringLiteral("Счёт на оплату № 1043 от 04 марта 2026 г.")};
        QTest::newRow("unknown invoice")
            << QStringList {QStringLiteral("--pdf"), QStringLiteral("invoice"),
                            QStringLiteral("999")}
            << 1 << QStringLiteral("") << QStringLiteral("Счёта № 999 в журнале нет.\n")
            << QStringList();
        QTest::newRow("unknown act")
            << QStringList {QStringLiteral("--pdf"), QStringLiteral("act"), QStringLiteral("999")}
            << 1 << QStringLiteral("") << QStringLiteral("Счёта № 999 в журнале нет.\n")
            << QStringList();
        QTest::newRow("ticket of an invoice never taken as an order")
            << QStringList {QStringLiteral("--pdf"), QStringLiteral("ticket"),
                            QStringLiteral("1043")}
            << 1 << QStringLiteral("")
            << QStringLiteral(
                   "Счёт № 1043 не принят как заказ: заказ-наряд делается только для принятого "
                   "заказа. Примите заказ по счёту или сделайте акт.\n")
            << QStringList();
        QTest::newRow("ticket of a number never given")
            << QStringList {QStringLiteral("--pdf"), QStringLiteral("ticket"),
                            QStringLiteral("999")}
            << 1 << QStringLiteral("") << QStringLiteral("Заказа № 999 нет.\n") << QStringList();
        QTest::newRow("a copy of an act made on a later day keeps its date")
            << QStringList {QStringLiteral("--pdf"), QStringLiteral("act"), QStringLiteral("1043")}
            << 0 << QStringLiteral("pdf/Акт-1043-2026-03-10.pdf") << QStringLiteral("")
            << QStringList {QStringLiteral("Акт выполненных работ № 1043 от 10 марта 2026 г.")};
        for (const char *kind : {"invoice", "act"})
            QTest::newRow(
                qPrintable(QStringLiteral("%1 of an empty invoice").arg(QLatin1String(kind))))
                << QStringList {QStringLiteral("--pdf"), QLatin1String(kind),
                                QStringLiteral("1044")}
                << 1 << QStringLiteral("")
                << QStringLiteral("Заказ пуст: в счёте № 1044 нет ни одной строки, документ не "
                                  "составлен.\n")
                << QStringList();
        QTest::newRow("unknown document")
            << QStringList {QStringLiteral("--pdf"), QStringLiteral("bill"), QStringLiteral("1042")}
            << 2 << QStringLiteral("")
            << QStringLiteral(
                   "Документ «bill» не известен: есть invoice, act и ticket. Справка: printcalc "
                   "--help\n")
            << QStringList();
        QTest::newRow("no number") << QStringList {QStringLiteral("--pdf"), QStringLiteral("act")}
                                   << 2 << QStringLiteral("")
                                   << "Нужен номер: printcalc --pdf invoice|act|ticket N [ФАЙЛ] "
                                      "Справка: printcalc --help\n"
                                   << QStringList();
    }
    void script()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, file);
        QFETCH(QString, err);
        QFETCH(QStringList, words);
        arguments.replaceInStrings(QStringLiteral("@"), dir.path());
        const ProgramRun run
            = runProgram(arguments + QStringList {QStringLiteral("--database"), url},
                         dir.filePath(QStringLiteral("config")));
        QCOMPARE(run.err, err);
        QCOMPARE(run.status, status);
        if (file.isEmpty()) {
            QCOMPARE(run.out, QString());
            return;
        }
        const QString path = dir.filePath(file);
        QCOMPARE(run.out, path + QLatin1Char('\n'));
        const QString text = pdfText(path, true).simplified();
        for (const QString &expected : words)
            QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral("\n") + text));
    }

    // After the script: each act made is in the journal beside its invoice, in the order made,
    // with the file it wrote and the counter of the settings.
    void actsInTheJournal_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QStringList>("shown"); // the made time as "T"
        QTest::newRow("two PDFs of one act")
            << QStringLiteral("1042")
            << QStringList {QStringLiteral("Визитки 90х50 4+4\t1000\t1.32\t1320.00"),
                            QStringLiteral("акт\t1042\t2026-03-02\tPDF\tT\tстойка-7\t\t@/pdf/"
                                           "Акт-1042-2026-03-02.pdf"),
                            QStringLiteral("акт\t1042\t2026-03-02\tPDF\tT\tстойка-7\t\t@/pdf/"
                                           "Акт-1042-2026-03-02 (2).pdf")};
        QTest::newRow("printed, then a PDF of the same date")
            << QStringLiteral("1043")
            << QStringList {QStringLiteral("Визитки 90х50 4+4\t1000\t1.32\t1320.00"),
                            QStringLiteral("акт\t1043\t2026-03-10\tпечать\tT\tстойка-1\t\t"),
                            QStringLiteral("акт\t1043\t2026-03-10\tPDF\tT\tстойка-7\t\t@/pdf/"
                                           "Акт-1043-2026-03-10.pdf")};
    }
    void actsInTheJournal()
    {
        QFETCH(QString, number);
        QFETCH(QStringList, shown);
        const ProgramRun run = runProgram({QStringLiteral("--journal"), QStringLiteral("show"),
                                           number, QStringLiteral("--database"), url},
                                          dir.filePath(QStringLiteral("config")));
        QCOMPARE(run.err, QString());
        QCOMPARE(run.status, 0);
        QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (QString &line : lines) {
            QStringList fields = line.split(QLatin1Char('\t'));
            if (fields.size() > 4)
                fields[4] = QStringLiteral("T");
            line = fields.join(QLatin1Char('\t'));
        }
        shown.replaceInStrings(QStringLiteral("@"), dir.path());
        QCOMPARE(lines, shown);
    }
};

QTEST_GUILESS_MAIN(PdfCliTest)
#include "test_pdf_cli.moc"
