// The invoice's cell layout, computed from order lines without any office.
#include "order/invoice.h"

#include <QtTest>

Q_DECLARE_METATYPE(InvoiceCell::Kind)

static QVector<OrderLine> linesOf(int count)
{
    QVector<OrderLine> lines;
    for (int i = 0; i < count; ++i)
        lines.append(
            {QStringLiteral("Визитки %1").arg(i), QStringLiteral("100"), QStringLiteral("2.5")});
    return lines;
}

static QString describe(const InvoiceCell *cell)
{
    if (!cell)
        return QStringLiteral("no cell");
    switch (cell->kind) {
    case InvoiceCell::Number:
        return QStringLiteral("number %1").arg(cell->number);
    case InvoiceCell::Text:
        return QStringLiteral("text \"%1\"").arg(cell->text);
    case InvoiceCell::Formula:
        return QStringLiteral("formula %1").arg(cell->text);
    }
    return QString();
}

class InvoiceTest : public QObject
{
    Q_OBJECT

private slots:
    void cellNames_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("name");
        QTest::newRow("first cell") << 1 << 0 << "A1";
        QTest::newRow("first line sum") << 17 << 5 << "F17";
        QTest::newRow("last single letter") << 3 << 25 << "Z3";
        QTest::newRow("first double letter") << 1016 << 26 << "AA1016";
        QTest::newRow("AZ to BA") << 2 << 52 << "BA2";
    }
    void cellNames()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, name);
        QCOMPARE(cellName(row, column), name);
    }

    // Where every part of the invoice lands, for orders of several sizes.
    void layout_data()
    {
        QTest::addColumn<int>("lines");
        QTest::newRow("empty order") << 0;
        QTest::newRow("one line") << 1;
        QTest::newRow("three lines") << 3;
        QTest::newRow("a thousand lines") << 1000;
    }
    void layout()
    {
        QFETCH(int, lines);
        const QVector<InvoiceBlock> blocks = invoiceFor(linesOf(lines));

        for (int i = 0; i < lines; ++i) {
            const int row = 17 + i;
            const InvoiceCell *number = invoiceCellAt(blocks, row, invoice::ColumnB);
            QVERIFY2(number && number->kind == InvoiceCell::Number && number->number == i + 1,
                     qPrintable(QStringLiteral("B%1 is %2").arg(row).arg(describe(number))));
            const InvoiceCell *description = invoiceCellAt(blocks, row, invoice::ColumnC);
            QVERIFY2(description && description->text == QStringLiteral("Визитки %1").arg(i),
                     qPrintable(QStringLiteral("C%1 is %2").arg(row).arg(describe(description))));
            QVERIFY2(invoiceCellAt(blocks, row, 0) == nullptr
                         && invoiceCellAt(blocks, row, 6) == nullptr,
                     "the invoice writes beside columns B to F");
        }

        const char *const labels[] = {"Итого", "18%", "Всего"};
        for (int k = 0; k < 3; ++k) {
            const InvoiceCell *label = invoiceCellAt(blocks, 17 + lines + k, invoice::ColumnE);
            QVERIFY2(
                label && label->kind == InvoiceCell::Text
                    && label->text == QString::fromUtf8(labels[k]),
                qPrintable(QStringLiteral("E%1 is %2").arg(17 + lines + k).arg(describe(label))));
            QVERIFY2(invoiceCellAt(blocks, 17 + lines + k, invoice::ColumnB) == nullptr,
                     "the summary rows write only E and F");
        }

        const InvoiceCell *head = invoiceCellAt(blocks, 22 + lines, invoice::ColumnB);
        const InvoiceCell *accountant = invoiceCellAt(blocks, 24 + lines, invoice::ColumnB);
        const InvoiceCell *stamp = invoiceCellAt(blocks, 26 + lines, invoice::ColumnC);
        QVERIFY2(head && accountant && stamp, "a signature line or the stamp mark is missing");
        QCOMPARE(
            head->text,
            QStringLiteral("Руководитель предприятия_____________________Берется из проги где то"));
        QCOMPARE(
            accountant->text,
            QStringLiteral("Главный бухгалтер____________________________Берется из проги где то"));
        QCOMPARE(stamp->text, QStringLiteral("М.П."));
        for (int row : {20 + lines, 21 + lines, 23 + lines, 25 + lines})
            for (int column = 0; column < 7; ++column)
                QVERIFY2(!invoiceCellAt(blocks, row, column),
                         qPrintable(QStringLiteral("%1 should stay the template's")
                                        .arg(cellName(row, column))));

        // Lines and summary framed, signatures plain.
        for (const InvoiceBlock &block : blocks)
            QCOMPARE(block.framed, block.top < 20 + lines);
    }

    // Quantity and unit price are decimal numbers; texts that are not go in as they are.
    void lineAmounts_data()
    {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("unitPrice");
        QTest::addColumn<InvoiceCell::Kind>("quantityKind");
        QTest::addColumn<InvoiceCell::Kind>("priceKind");
        QTest::addColumn<double>("sum");
        const auto N = InvoiceCell::Number;
        const auto T = InvoiceCell::Text;
        QTest::newRow("whole numbers") << "100"
                                       << "132" << N << N << 13200.0;
        QTest::newRow("fraction of a rouble, interior page") << "2"
                                                             << "0.03" << N << N << 0.06;
        QTest::newRow("sheet price 1.5") << "1000"
                                         << "1.5" << N << N << 1500.0;
        QTest::newRow("exponent form") << "1"
                                       << "5.40001e+07" << N << N << 54000100.0;
        QTest::newRow("zero price") << "10"
                                    << "0" << N << N << 0.0;
        QTest::newRow("quantity edited to a word") << "много"
                                                   << "10" << T << N << 0.0;
        QTest::newRow("empty price") << "5"
                                     << "" << N << T << 0.0;
        QTest::newRow("decimal comma is not read") << "2"
                                                   << "1,5" << N << T << 0.0;
        QTest::newRow("infinity is not a price") << "2"
                                                 << "inf" << N << T << 0.0;
        QTest::newRow("formula as quantity") << "=1+1"
                                             << "3" << T << N << 0.0;
    }
    void lineAmounts()
    {
        QFETCH(QString, quantity);
        QFETCH(QString, unitPrice);
        QFETCH(InvoiceCell::Kind, quantityKind);
        QFETCH(InvoiceCell::Kind, priceKind);
        QFETCH(double, sum);
        const QVector<InvoiceBlock> blocks
            = invoiceFor({{QStringLiteral("Первая"), QStringLiteral("1"), QStringLiteral("1")},
                          {QStringLiteral("Строка"), quantity, unitPrice}});
        const InvoiceCell *d = invoiceCellAt(blocks, 18, 3);
        const InvoiceCell *e = invoiceCellAt(blocks, 18, 4);
        const InvoiceCell *f = invoiceCellAt(blocks, 18, 5);
        QVERIFY2(d && e && f, "a line cell is missing");
        QCOMPARE(d->kind, quantityKind);
        QCOMPARE(e->kind, priceKind);
        if (quantityKind == InvoiceCell::Text)
            QCOMPARE(d->text, quantity);
        else
            QCOMPARE(d->number, quantity.toDouble());
        if (priceKind == InvoiceCell::Text)
            QCOMPARE(e->text, unitPrice);
        else
            QCOMPARE(e->number, unitPrice.toDouble());
        QVERIFY2(f->kind == InvoiceCell::Number && qAbs(f->number - sum) < 1e-9,
                 qPrintable(QStringLiteral("F18 is %1, expected %2").arg(describe(f)).arg(sum)));
    }

    // The subtotal sums exactly the line sums above it; an empty order has nothing to sum.
    void summaryFormulas_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("subtotal");
        QTest::addColumn<QString>("tax");
        QTest::addColumn<QString>("total");
        QTest::newRow("empty order") << 0 << ""
                                     << "=F17*0.18"
                                     << "=F17+F18";
        QTest::newRow("one line") << 1 << "=SUM(F17:F17)"
                                  << "=F18*0.18"
                                  << "=F18+F19";
        QTest::newRow("three lines") << 3 << "=SUM(F17:F19)"
                                     << "=F20*0.18"
                                     << "=F20+F21";
        QTest::newRow("a thousand lines") << 1000 << "=SUM(F17:F1016)"
                                          << "=F1017*0.18"
                                          << "=F1017+F1018";
    }
    void summaryFormulas()
    {
        QFETCH(int, lines);
        QFETCH(QString, subtotal);
        QFETCH(QString, tax);
        QFETCH(QString, total);
        const QVector<InvoiceBlock> blocks = invoiceFor(linesOf(lines));
        const InvoiceCell *sub = invoiceCellAt(blocks, 17 + lines, invoice::ColumnF);
        QVERIFY(sub);
        if (subtotal.isEmpty()) {
            QVERIFY2(sub->kind == InvoiceCell::Number && sub->number == 0.0,
                     qPrintable(QStringLiteral("empty subtotal is %1").arg(describe(sub))));
        } else {
            QCOMPARE(sub->kind, InvoiceCell::Formula);
            QCOMPARE(sub->text, subtotal);
        }
        const InvoiceCell *taxCell = invoiceCellAt(blocks, 18 + lines, invoice::ColumnF);
        const InvoiceCell *totalCell = invoiceCellAt(blocks, 19 + lines, invoice::ColumnF);
        QVERIFY(taxCell && totalCell);
        QCOMPARE(taxCell->kind, InvoiceCell::Formula);
        QCOMPARE(taxCell->text, tax);
        QCOMPARE(totalCell->kind, InvoiceCell::Formula);
        QCOMPARE(totalCell->text, total);
    }

    // Whatever the operator typed into a description stays a text, never a formula.
    // The sheet is signed as the PDF is: a name from the settings replaces the placeholder after
    // its line; one left empty (or blank) keeps the placeholder.
    void signersAfterTheLines_data()
    {
        QTest::addColumn<QString>("director");
        QTest::addColumn<QString>("accountant");
        QTest::addColumn<QString>("directorCell");
        QTest::addColumn<QString>("accountantCell");
        QTest::newRow("none named")
            << ""
            << ""
            << "Руководитель предприятия_____________________Берется из проги где то"
            << "Главный бухгалтер____________________________Берется из проги где то";
        QTest::newRow("both named") << "Иванов И. И."
                                    << "Петрова А. С."
                                    << "Руководитель предприятия_____________________Иванов И. И."
                                    << "Главный бухгалтер____________________________Петрова А. С.";
        QTest::newRow("director only, blanks around")
            << "  Иванов И. И. "
            << "   "
            << "Руководитель предприятия_____________________Иванов И. И."
            << "Главный бухгалтер____________________________Берется из проги где то";
    }
    void signersAfterTheLines()
    {
        QFETCH(QString, director);
        QFETCH(QString, accountant);
        QFETCH(QString, directorCell);
        QFETCH(QString, accountantCell);
        const QVector<OrderLine> lines(
            3, {QStringLiteral("строка"), QStringLiteral("1"), QStringLiteral("1")});
        const QVector<InvoiceBlock> blocks = invoiceFor(lines, {director, accountant});
        const InvoiceCell *first = invoiceCellAt(blocks, 25, invoice::ColumnB);
        const InvoiceCell *second = invoiceCellAt(blocks, 27, invoice::ColumnB);
        QVERIFY(first && second);
        QCOMPARE(first->text, directorCell);
        QCOMPARE(second->text, accountantCell);
    }

    void descriptionsStayTexts_data()
    {
        QTest::addColumn<QString>("description");
        QTest::newRow("sum formula") << "=1+1";
        QTest::newRow("hyperlink") << "=HYPERLINK(\"http://example.invalid\";\"x\")";
        QTest::newRow("leading minus") << "-1-1";
        QTest::newRow("at sign") << "@SUM(1)";
        QTest::newRow("number-like") << "42";
        QTest::newRow("empty") << "";
    }
    void descriptionsStayTexts()
    {
        QFETCH(QString, description);
        const QVector<InvoiceBlock> blocks
            = invoiceFor({{description, QStringLiteral("1"), QStringLiteral("1")}});
        const InvoiceCell *c = invoiceCellAt(blocks, 17, invoice::ColumnC);
        QVERIFY(c);
        QCOMPARE(c->kind, InvoiceCell::Text);
        QCOMPARE(c->text, description);
    }
};

QTEST_GUILESS_MAIN(InvoiceTest)
#include "test_invoice.moc"
