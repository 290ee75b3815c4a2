// The act and the job ticket made by number through the shop link, as the journal's buttons and
// the orders board make them: the PDF in the settings' folder read back, the printout (to a PDF
// printer) read back, unknown numbers told.
#include "dialogs/journal_dialog.h"
#include "dialogs/order_documents.h"
#include "order/order.h"
#include "storage/connection.h"
#include "storage/order_book.h"
#include "storage/shop_link.h"
#include "tests/pdf_text.h"

#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

class OrderDocumentsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<ShopLink> link;

    QString file(const QString &name) const { return dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(file(QStringLiteral("config/printcalc"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(file(QStringLiteral("config"))));
        QFile config(file(QStringLiteral("config/printcalc/printcalc.ini")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(QStringLiteral("[office]\nwarmup=false\n[documents]\npdfFolder=%1\n"
                                    "[tax]\nmode=none\n[requisites]\nname=ООО «Ясный лист»\n"
                                    "inn=7707083893\ndirector=Иванов И. И.\n")
                         .arg(file(QStringLiteral("pdf")))
                         .toUtf8());
        config.close();
        const QString shop = file(QStringLiteral("shop.sqlite"));
        {
            Connection connection;
            QVERIFY(connection.open(DatabaseUrl::sqliteFile(shop), QStringLiteral("fill")));
            OrderIntake order;
            order.draft.orderUid = QStringLiteral("a");
            order.draft.created = QDateTime(QDate(2026, 12, 9), QTime(10, 15));
            order.draft.counter = QStringLiteral("стойка-1");
            order.draft.lines = {{QStringLiteral("Визитки 90х50 4+4"), QStringLiteral("1000"),
                                  QStringLiteral("1.32"), QStringLiteral("vz-90x50-44")}};
            order.draft.customer.shortName = QStringLiteral("ООО «Ромашка»");
            order.due = QDateTime(QDate(2026, 12, 10), QTime(15, 0));
            order.phone = QStringLiteral("+7 903 111-22-33");
            order.note = QStringLiteral("упаковать по 100");
            // Stored, as the program stores it, with the settings' tax of its day.
            TaxSettings tax;
            tax.given = true;
            tax.rule = {TaxMode::None, 22};
            OrderBook book(connection);
            book.setTaxSettings(tax);
            QCOMPARE(book.take(order, 1042), 1042);
        }
        link = std::make_unique<ShopLink>(DatabaseUrl::sqliteFile(shop), shop,
                                          file(QStringLiteral("config/printcalc/printcalc.ini")));
    }
    void cleanupTestCase() { link.reset(); }

    void byNumber_data()
    {
        QTest::addColumn<bool>("act");
        QTest::addColumn<bool>("print");
        QTest::addColumn<qint64>("number");
        QTest::addColumn<bool>("made");
        QTest::addColumn<QString>("path"); // under the test's folder; empty: no file
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("words");
        const QStringList act
            = {QStringLiteral("Акт выполненных работ № 1042 от 09 декабря 2026 г."),
               QStringLiteral("Заказчик: ООО «Ромашка»"), QStringLiteral("Без налога (НДС)"),
               QStringLiteral("Всего оказано услуг 1, на сумму 1 320,00 руб.")};
        const QStringList ticket
            = {QStringLiteral("Заказ-наряд № 1042"), QStringLiteral("Срок: 10.12.2026 15:00"),
               QStringLiteral("Телефон: +7 903 111-22-33"), QStringLiteral("vz-90x50-44"),
               QStringLiteral("Примечание: упаковать по 100")};
        QTest::newRow("act as PDF")
            << true << false << qint64(1042) << true << "pdf/Акт-1042-2026-12-09.pdf"
            << "Акт записан в PDF:\n@" << act;
        QTest::newRow("act printed") << true << true << qint64(1042) << true << "printed.pdf"
                                     << "Акт выполненных работ № 1042 от 09 декабря 2026 г. "
                                        "отправлен на печать."
                                     << act;
        QTest::newRow("ticket as PDF")
            << false << false << qint64(1042) << true << "pdf/Заказ-наряд-1042.pdf"
            << "Заказ-наряд записан в PDF:\n@" << ticket;
        QTest::newRow("ticket printed") << false << true << qint64(1042) << true << "printed.pdf"
                                        << "Заказ-наряд № 1042 отправлен на печать." << ticket;
        QTest::newRow("unknown invoice's act") << true << false << qint64(77) << false << ""
                                               << "Счёта № 77 в журнале нет." << QStringList();
        QTest::newRow("unknown order's ticket") << false << true << qint64(77) << false << ""
                                                << "Заказа № 77 нет." << QStringList();
    }
    void byNumber()
    {
        QFETCH(bool, act);
        QFETCH(bool, print);
        QFETCH(qint64, number);
        QFETCH(bool, made);
        QFETCH(QString, path);
        QFETCH(QString, message);
        QFETCH(QStringList, words);
        const QString written = path.isEmpty() ? QString() : file(path);
        if (!written.isEmpty())
            QFile::remove(written);
        OrderDocuments documents(link.get(), nullptr, nullptr);
        documents.setPrinterChoice([&](QPrinter *printer) {
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(file(QStringLiteral("printed.pdf")));
            return true;
        });
        QSignalSpy finished(&documents, &OrderDocuments::finished);
        if (act)
            print ? documents.printAct(number) : documents.writeActPdf(number);
        else
            print ? documents.printTicket(number) : documents.writeTicketPdf(number);
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.first().at(0).toBool(), made);
        QCOMPARE(finished.first().at(1).toString(), print ? QString() : written);
        QCOMPARE(finished.first().at(2).toString(),
                 QString(message).replace(QStringLiteral("@"), written));
        const QString text = written.isEmpty() ? QString() : pdfText(written, true).simplified();
        for (const QString &expected : words)
            QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral("\n") + text));
    }

    // The journal's button makes the act of the invoice shown.
    void journalButton()
    {
        Order order;
        JournalDialog dialog(
            &order, [] { return PriceTable(); }, link.get(), nullptr);
        auto *act = dialog.findChild<QPushButton *>(QStringLiteral("pushButtonJournalActPdf"));
        QVERIFY(act);
        QVERIFY(!act->isEnabled());
        auto *invoices = dialog.findChild<QTableWidget *>(QStringLiteral("tableJournalInvoices"));
        QTRY_COMPARE(invoices->rowCount(), 1);
        invoices->selectRow(0);
        QTRY_VERIFY(act->isEnabled());
        const QString path = file(QStringLiteral("pdf/Акт-1042-2026-12-09 (2).pdf"));
        QFile::remove(path);
        QFile::remove(file(QStringLiteral("pdf/Акт-1042-2026-12-09.pdf")));
        QVERIFY(
            QFile(file(QStringLiteral("pdf/Акт-1042-2026-12-09.pdf"))).open(QIODevice::WriteOnly));
        act->click();
        auto *status = dialog.findChild<QLabel *>(QStringLiteral("labelJournalStatus"));
        QTRY_COMPARE(status->text(), QStringLiteral("Акт записан в PDF:\n") + path);
        QVERIFY(pdfText(path).contains(QStringLiteral("Акт выполненных работ № 1042")));
        // The act just made is listed beside the invoice, with the file it wrote.
        auto *made = dialog.findChild<QLabel *>(QStringLiteral("labelJournalDocuments"));
        QVERIFY(made);
        QTRY_VERIFY2(
            made->text().split(QLatin1Char('\n')).last().endsWith(QStringLiteral(": ") + path),
            qPrintable(made->text()));
        QVERIFY2(made->text().startsWith(QStringLiteral("Акт № 1042 от 09.12.2026 в PDF, ")),
                 qPrintable(made->text()));
    }

    // A ticket asked for an invoice of the journal that was never taken as an order.
    void ticketOfAnInvoiceNeverTaken()
    {
        {
            Connection connection;
            QVERIFY(connection.open(DatabaseUrl::sqliteFile(file(QStringLiteral("shop.sqlite"))),
                                    QStringLiteral("plain")));
            InvoiceDraft plain;
            plain.orderUid = QStringLiteral("plain");
            plain.created = QDateTime(QDate(2026, 12, 9), QTime(11, 0));
            plain.counter = QStringLiteral("стойка-1");
            plain.lines = {
                {QStringLiteral("Бланки"), QStringLiteral("10"), QStringLiteral("5"), QString()}};
            QCOMPARE(Journal(connection).storeInvoice(plain, 1), 1043);
        }
        OrderDocuments documents(link.get(), nullptr, nullptr);
        QSignalSpy finished(&documents, &OrderDocuments::finished);
        documents.writeTicketPdf(1043);
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.first().at(0).toBool(), false);
        QCOMPARE(finished.first().at(2).toString(),
                 QStringLiteral("Счёт № 1043 не принят как заказ: заказ-наряд делается только для "
                                "принятого заказа. Примите заказ по счёту или сделайте акт."));
    }
};

QTEST_MAIN(OrderDocumentsTest)
#include "test_order_documents.moc"
