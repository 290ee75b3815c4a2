// The reports' window over a small journal: each report chosen and shown as its table, then saved
// as CSV and read back.
#include "tests/prompt_recorder.h"

#include "dialogs/reports_dialog.h"
#include "pricing/jobs.h"
#include "storage/connection.h"
#include "storage/journal.h"
#include "storage/order_book.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

OrderLine lineOn(const QJsonObject &job, const QString &quantity, const QString &price)
{
    OrderLine line;
    line.description = QStringLiteral("Строка");
    line.quantity = quantity;
    line.unitPrice = price;
    line.job = job;
    line.readNumbers();
    return line;
}

InvoiceDraft draftOf(const QString &uid, const QDateTime &created, qint64 customer,
                     const QVector<OrderLine> &lines)
{
    InvoiceDraft draft;
    draft.orderUid = uid;
    draft.created = created;
    draft.counter = QStringLiteral("стойка-1");
    draft.taxGiven = true;
    draft.taxRule = {TaxMode::None, 0};
    draft.lines = lines;
    if (customer != 0) {
        draft.customer.id = customer;
        // The second customer's name would be a formula in a spreadsheet.
        draft.customer.shortName
            = (customer == 2 ? QStringLiteral("=Покупатель %1") : QStringLiteral("Покупатель %1"))
                  .arg(customer);
    }
    return draft;
}

// Four invoices: 2 March an order of Анна's for customer 1 (sheet 10 × 100, brochure 2 × 250,
// 500 paid) and a plain one (souvenir 3 × 100); 10 March an order of Борис's for customer 2
// (street 1 × 2000, nothing paid); 1 April a plain one for customer 1 (interior 2 × 150 and a
// line of no page 1 × 50).
QString generate(Connection &connection)
{
    const QDate march(2026, 3, 2);
    struct Taken
    {
        InvoiceDraft draft;
        QString operatorName;
        qint64 paid;
    };
    const Taken orders[] = {
        {draftOf(QStringLiteral("r1"), QDateTime(march, QTime(10, 0)), 1,
                 {lineOn(toJson(SheetProductsJob()), QStringLiteral("10"), QStringLiteral("100")),
                  lineOn(toJson(BrochureJob()), QStringLiteral("2"), QStringLiteral("250"))}),
         QStringLiteral("Анна"), 50000},
        {draftOf(QStringLiteral("r3"), QDateTime(march.addDays(8), QTime(12, 0)), 2,
                 {lineOn(toJson(StreetJob()), QStringLiteral("1"), QStringLiteral("2000"))}),
         QStringLiteral("Борис"), 0}};
    for (const Taken &order : orders) {
        OrderBook book(connection);
        book.setOperatorName(order.operatorName);
        OrderIntake intake;
        intake.draft = order.draft;
        intake.due = order.draft.created.addDays(2);
        intake.prepaymentKopecks = order.paid;
        if (book.take(intake, 1) == 0)
            return connection.errorText();
    }
    const InvoiceDraft plain[]
        = {draftOf(QStringLiteral("r2"), QDateTime(march, QTime(11, 0)), 0,
                   {lineOn(toJson(SouvenirJob()), QStringLiteral("3"), QStringLiteral("100"))}),
           draftOf(QStringLiteral("r4"), QDateTime(QDate(2026, 4, 1), QTime(9, 0)), 1,
                   {lineOn(toJson(InteriorJob()), QStringLiteral("2"), QStringLiteral("150")),
                    lineOn(QJsonObject(), QStringLiteral("1"), QStringLiteral("50"))})};
    for (const InvoiceDraft &draft : plain)
        if (Journal(connection).storeInvoice(draft, 1) == 0)
            return connection.errorText();
    return QString();
}

// The table's header and rows, cells separated by "|".
QStringList gridTexts(const QTableWidget *grid)
{
    QStringList rows;
    QStringList cells;
    for (int c = 0; c < grid->columnCount(); ++c)
        cells << grid->horizontalHeaderItem(c)->text();
    rows << cells.join(QLatin1Char('|'));
    for (int r = 0; r < grid->rowCount(); ++r) {
        cells.clear();
        for (int c = 0; c < grid->columnCount(); ++c)
            cells << (grid->item(r, c) ? grid->item(r, c)->text() : QString());
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

} // namespace

class ReportsDialogTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    DatabaseUrl shop;

private slots:
    void initTestCase()
    {
        shop = DatabaseUrl::sqliteFile(dir.filePath(QStringLiteral("shop.sqlite")));
        Connection connection;
        QVERIFY2(connection.open(shop, QStringLiteral("generate")),
                 qPrintable(connection.errorText()));
        const QString problem = generate(connection);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void chosenReport_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<QStringList>("expected");
        // The CSV's rows where they differ from the table's.
        QTest::addColumn<QStringList>("csvRows");
        QTest::newRow("by day")
            << QStringLiteral("По дням")
            << QStringList {QStringLiteral("День|Счетов|Строк|Сумма, ₽"),
                            QStringLiteral("2026-03-02|2|3|1800.00"),
                            QStringLiteral("2026-03-10|1|1|2000.00"),
                            QStringLiteral("2026-04-01|1|2|350.00")}
            << QStringList();
        QTest::newRow("by week")
            << QStringLiteral("По неделям")
            << QStringList {QStringLiteral("Неделя|Счетов|Строк|Сумма, ₽"),
                            QStringLiteral("2026-W10|2|3|1800.00"),
                            QStringLiteral("2026-W11|1|1|2000.00"),
                            QStringLiteral("2026-W14|1|2|350.00")}
            << QStringList();
        QTest::newRow("by month")
            << QStringLiteral("По месяцам")
            << QStringList {QStringLiteral("Месяц|Счетов|Строк|Сумма, ₽"),
                            QStringLiteral("2026-03|3|4|3800.00"),
                            QStringLiteral("2026-04|1|2|350.00")}
            << QStringList();
        QTest::newRow("by family")
            << QStringLiteral("По видам продукции")
            << QStringList {QStringLiteral("Вид продукции|Счетов|Строк|Сумма, "
                                           "₽"),
                            QStringLiteral("Листовая продукция|1|1|1000.00"),
                            QStringLiteral("Брошюры|1|1|500.00"),
                            QStringLiteral("Уличная|1|1|2000.00"),
                            QStringLiteral("Интерьерная|1|1|300.00"),
                            QStringLiteral("Сувенирная продукция|1|1|300.00"),
                            QStringLiteral("Прочее|1|1|50.00")}
            << QStringList();
        QTest::newRow("by operator")
            << QStringLiteral("По операторам")
            << QStringList {QStringLiteral(
                                "Оператор|Счетов|Строк|Сумма, ₽"),
                            QStringLiteral("Борис|1|1|2000.00"), QStringLiteral("Анна|1|2|1500.00"),
                            QStringLiteral("без оператора|2|3|650.00")}
            << QStringList();
        QTest::newRow("by customer")
            << QStringLiteral("По покупателям (20 лучших)")
            << QStringList {QStringLiteral(
                                "Покупатель|Счетов|Строк|Сумма, ₽"),
                            QStringLiteral("=Покупатель 2|1|1|2000.00"),
                            QStringLiteral("Покупатель 1|2|4|1850.00")}
            << QStringList {
                   QStringLiteral("Покупатель|Счетов|Строк|Сумма, ₽"),
                   QStringLiteral("'=Покупатель 2|1|1|2000.00"),
                   QStringLiteral("Покупатель 1|2|4|1850.00")};
        QTest::newRow("owed on the period's last day, 2 March 34 days old")
            << QStringLiteral("Неоплаченные по возрасту")
            << QStringList {QStringLiteral("Возраст, дней|Заказов|Долг, ₽"),
                            QStringLiteral("0–30|1|2000.00"), QStringLiteral("31–60|1|1000.00"),
                            QStringLiteral("более 60|0|0.00")}
            << QStringList();
    }

    void chosenReport()
    {
        QFETCH(QString, report);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, csvRows);
        PromptRecorder prompts;
        ReportsDialog dialog(shop, &prompts);
        const QString saved = dir.filePath(QStringLiteral("отчёт.csv"));
        QFile::remove(saved);
        QString filter;
        dialog.chooseFile = [&](const QString &offered, const QString &) {
            filter = offered;
            return saved;
        };
        dialog.show();
        auto *from = dialog.findChild<QDateEdit *>(QStringLiteral("dateEditFrom"));
        auto *to = dialog.findChild<QDateEdit *>(QStringLiteral("dateEditTo"));
        auto *combo = dialog.findChild<QComboBox *>(QStringLiteral("comboBoxReport"));
        auto *show = dialog.findChild<QPushButton *>(QStringLiteral("pushButtonReportShow"));
        auto *save = dialog.findChild<QPushButton *>(QStringLiteral("pushButtonReportSave"));
        auto *grid = dialog.findChild<QTableWidget *>(QStringLiteral("tableReport"));
        auto *summary = dialog.findChild<QLabel *>(QStringLiteral("labelReportSummary"));
        QVERIFY(from && to && combo && show && save && grid && summary);
        QVERIFY2(!save->isEnabled(), "nothing shown yet, nothing to save");
        from->setDate(QDate(2026, 3, 1));
        to->setDate(QDate(2026, 4, 5));
        const int index = combo->findText(report);
        QVERIFY2(index >= 0, qPrintable(report));
        combo->setCurrentIndex(index);
        QTest::mouseClick(show, Qt::LeftButton);
        QTRY_VERIFY2(!dialog.isReading() && save->isEnabled(), qPrintable(summary->text()));
        QCOMPARE(gridTexts(grid), expected);
        QVERIFY2(summary->text().endsWith(
                     QStringLiteral("Счетов: 4, продано на 4\u00a0150 ₽, "
                                    "средний заказ 1\u00a0037,50 ₽")),
                 qPrintable(summary->text()));

        QTest::mouseClick(save, Qt::LeftButton);
        QCOMPARE(filter, QStringLiteral("CSV (*.csv);;PDF (*.pdf)"));
        QFile file(saved);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(saved));
        QString csv = QString::fromUtf8(file.readAll());
        QVERIFY2(csv.endsWith(QStringLiteral("\r\n")), "every row ends with CR LF");
        QCOMPARE(csv.replace(QLatin1Char(';'), QLatin1Char('|'))
                     .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts),
                 csvRows.isEmpty() ? expected : csvRows);
        QVERIFY2(prompts.titles.isEmpty(), qPrintable(prompts.titles.join(QLatin1Char(','))));
    }

    // A period that ends before it starts is said so, and nothing is read.
    void periodBackwards()
    {
        PromptRecorder prompts;
        ReportsDialog dialog(shop, &prompts);
        dialog.show();
        dialog.findChild<QDateEdit *>(QStringLiteral("dateEditFrom"))->setDate(QDate(2026, 4, 5));
        dialog.findChild<QDateEdit *>(QStringLiteral("dateEditTo"))->setDate(QDate(2026, 3, 1));
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("pushButtonReportShow")),
                          Qt::LeftButton);
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("labelReportSummary"))->text(),
                 QStringLiteral("Начало периода позже его конца."));
        QVERIFY(!dialog.isReading());
        QCOMPARE(dialog.findChild<QTableWidget *>(QStringLiteral("tableReport"))->rowCount(), 0);
    }
};

QTEST_MAIN(ReportsDialogTest)
#include "test_reports_dialog.moc"
