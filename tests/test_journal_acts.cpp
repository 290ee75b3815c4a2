// The acts of the work done in the journal, on real SQLite files: each recorded against its
// invoice with its file, counter, operator and date, a copy keeping the first one's date, the
// invoice's void mark untouched by them, the lines the journal shows, and a file of the version
// before upgraded with its documents kept.
#include "storage/connection.h"
#include "storage/journal.h"
#include "storage/schema.h"
#include "tests/older_database.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

InvoiceDraft invoiceOf(const QString &uid)
{
    OrderLine line;
    line.description = QStringLiteral("Визитки");
    line.quantity = QStringLiteral("100");
    line.unitPrice = QStringLiteral("2");
    InvoiceDraft draft;
    draft.orderUid = uid;
    draft.created = QDateTime(QDate(2026, 3, 2), QTime(9, 30));
    draft.counter = QStringLiteral("стойка-1");
    draft.lines = {line};
    return draft;
}

DocumentRecord document(const QString &kind, bool succeeded, const QDate &actDate = QDate(),
                        const QString &path = QString())
{
    DocumentRecord made;
    made.kind = kind;
    made.made = QDateTime(QDate(2026, 3, 12), QTime(10, 15));
    made.succeeded = succeeded;
    made.path = path;
    made.counter = QStringLiteral("стойка-2");
    made.operatorName = QStringLiteral("Иванова");
    made.actDate = actDate;
    return made;
}

} // namespace

class JournalActsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    int files = 0;
    DatabaseUrl freshDatabase()
    {
        return DatabaseUrl::sqliteFile(dir.filePath(QStringLiteral("shop-%1.sqlite").arg(++files)));
    }

private slots:
    // The invoice's own documents decide whether it is void; acts never do.
    void actsLeaveTheVoidMark_data()
    {
        QTest::addColumn<QStringList>("kinds"); // in order; a leading "-" marks a failure
        QTest::addColumn<bool>("isVoid");
        QTest::addColumn<QDate>("actDate"); // what a copy of the act takes
        QTest::newRow("a failed PDF, then an act")
            << QStringList {QStringLiteral("-pdf"), QStringLiteral("act-pdf")} << true
            << QDate(2026, 3, 2);
        QTest::newRow("a PDF, then an act printed")
            << QStringList {QStringLiteral("pdf"), QStringLiteral("act-print")} << false
            << QDate(2026, 3, 2);
        QTest::newRow("no act yet") << QStringList {QStringLiteral("pdf")} << false << QDate();
        QTest::newRow("an act that failed leaves no date")
            << QStringList {QStringLiteral("pdf"), QStringLiteral("-act-pdf")} << false << QDate();
    }
    void actsLeaveTheVoidMark()
    {
        QFETCH(QStringList, kinds);
        QFETCH(bool, isVoid);
        QFETCH(QDate, actDate);
        Connection connection;
        QVERIFY(connection.open(freshDatabase(), QStringLiteral("t")));
        Journal journal(connection);
        const qint64 number = journal.storeInvoice(invoiceOf(QStringLiteral("o")), 12);
        QCOMPARE(number, 12);
        for (QString kind : qAsConst(kinds)) {
            const bool failed = kind.startsWith(QLatin1Char('-'));
            kind.remove(0, failed ? 1 : 0);
            QVERIFY2(
                journal.addDocument(
                    number,
                    document(kind, !failed,
                             kind.startsWith(QLatin1String("act-")) ? QDate(2026, 3, 2) : QDate())),
                qPrintable(connection.errorText()));
        }
        InvoiceRecord record;
        QVERIFY(journal.load(number, &record));
        QCOMPARE(record.summary.isVoid, isVoid);
        QCOMPARE(record.actDate(), actDate);
        QCOMPARE(record.documents.size(), kinds.size());
    }

    // Every field comes back as stored; the first act's date holds however many follow.
    void actKeepsItsRecord()
    {
        Connection connection;
        QVERIFY(connection.open(freshDatabase(), QStringLiteral("t")));
        Journal journal(connection);
        const qint64 number = journal.storeInvoice(invoiceOf(QStringLiteral("o")), 1042);
        const QString path = QStringLiteral("/pdf/Акт-1042-2026-03-10.pdf");
        QVERIFY(journal.addDocument(
            number, document(QStringLiteral("act-pdf"), true, QDate(2026, 3, 10), path)));
        DocumentRecord copy = document(QStringLiteral("act-print"), true, QDate(2026, 3, 15));
        copy.made = copy.made.addDays(3);
        QVERIFY(journal.addDocument(number, copy));
        InvoiceRecord record;
        QVERIFY(journal.load(number, &record));
        QCOMPARE(record.documents.size(), 2);
        const DocumentRecord &first = record.documents.first();
        QCOMPARE(first.kind, QStringLiteral("act-pdf"));
        QCOMPARE(first.path, path);
        QCOMPARE(first.counter, QStringLiteral("стойка-2"));
        QCOMPARE(first.operatorName, QStringLiteral("Иванова"));
        QCOMPARE(first.made, QDateTime(QDate(2026, 3, 12), QTime(10, 15)));
        QCOMPARE(record.actDate(), QDate(2026, 3, 10));
    }

    void documentTexts_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("succeeded");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("operatorName");
        QTest::addColumn<QString>("text");
        QTest::newRow("act into a PDF")
            << QStringLiteral("act-pdf") << true << QStringLiteral("/pdf/Акт-12-2026-03-10.pdf")
            << QStringLiteral("Иванова")
            << QStringLiteral("Акт № 12 от 10.03.2026 в PDF, 12.03.2026 10:15, стойка-2, "
                              "Иванова: /pdf/Акт-12-2026-03-10.pdf");
        QTest::newRow("act printed, no operators")
            << QStringLiteral("act-print") << true << QString() << QString()
            << QStringLiteral("Акт № 12 от 10.03.2026 на печать, 12.03.2026 10:15, стойка-2");
        QTest::newRow("the invoice's PDF that failed")
            << QStringLiteral("pdf") << false << QString() << QString()
            << QStringLiteral("Счёт в PDF, 12.03.2026 10:15, стойка-2 — не удалось");
        QTest::newRow("the invoice into the spreadsheet")
            << QStringLiteral("export") << true << QString() << QString()
            << QStringLiteral("Счёт в таблицу, 12.03.2026 10:15, стойка-2");
    }
    void documentTexts()
    {
        QFETCH(QString, kind);
        QFETCH(bool, succeeded);
        QFETCH(QString, path);
        QFETCH(QString, operatorName);
        QFETCH(QString, text);
        DocumentRecord made
            = document(kind, succeeded,
                       kind.startsWith(QLatin1String("act-")) ? QDate(2026, 3, 10) : QDate(), path);
        made.operatorName = operatorName;
        QCOMPARE(documentText(12, made), text);
    }

    // A journal of the version before: its documents stay, with no file nor act date, and the
    // acts recorded after the upgrade carry theirs.
    void upgradesTheVersionBefore()
    {
        const DatabaseUrl url = freshDatabase();
        const QString problem = makeDatabaseBefore(
            url.path, 13,
            {QStringLiteral("INSERT INTO invoice (number, order_uid, created, counter, "
                            "line_count, subtotal, tax, total, template_path, is_void, "
                            "search_text) VALUES (7, 'old', '2026-03-02 09:30:00', "
                            "'стойка-1', 0, 0, 0, 0, '', 0, '')"),
             QStringLiteral("INSERT INTO invoice_document (invoice_number, kind, made, "
                            "succeeded) VALUES (7, 'pdf', '2026-03-02 09:31:00', 1)")});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));

        Connection connection;
        QVERIFY2(connection.open(url, QStringLiteral("t")), qPrintable(connection.errorText()));
        QCOMPARE(connection.schemaVersion(), latestSchemaVersion());
        Journal journal(connection);
        QVERIFY(journal.addDocument(7,
                                    document(QStringLiteral("act-pdf"), true, QDate(2026, 3, 2),
                                             QStringLiteral("/pdf/Акт-7-2026-03-02.pdf"))));
        InvoiceRecord record;
        QVERIFY(journal.load(7, &record));
        QCOMPARE(record.documents.size(), 2);
        QCOMPARE(record.documents.at(0).kind, QStringLiteral("pdf"));
        QCOMPARE(record.documents.at(0).path, QString());
        QCOMPARE(record.documents.at(0).actDate, QDate());
        QCOMPARE(record.documents.at(1).path, QStringLiteral("/pdf/Акт-7-2026-03-02.pdf"));
        QCOMPARE(record.actDate(), QDate(2026, 3, 2));
        QVERIFY(!record.summary.isVoid);
    }
};

QTEST_GUILESS_MAIN(JournalActsTest)
#include "test_journal_acts.moc"
