// The invoice's cell layout: line rows from 17 on, the three summary rows, signatures and stamp.
#include "order/invoice.h"

#include <QtMath>

InvoiceCell InvoiceCell::numberCell(double value)
{
    InvoiceCell cell;
    cell.kind = Number;
    cell.number = value;
    return cell;
}

InvoiceCell InvoiceCell::textCell(const QString &text)
{
    InvoiceCell cell;
    cell.kind = Text;
    cell.text = text;
    return cell;
}

InvoiceCell InvoiceCell::formulaCell(const QString &formula)
{
    InvoiceCell cell;
    cell.kind = Formula;
    cell.text = formula;
    return cell;
}

QString cellName(int row, int column)
{
    QString letters;
    for (int rest = column + 1; rest > 0; rest = (rest - 1) / 26)
        letters.prepend(QChar('A' + (rest - 1) % 26));
    return letters + QString::number(row);
}

bool readDecimal(const QString &text, double *value)
{
    bool ok = false;
    // QString::toDouble reads the C locale whatever the desktop's: "0.03", "5.40001e+07".
    const double number = text.toDouble(&ok);
    if (!ok || !qIsFinite(number))
        return false;
    *value = number;
    return true;
}

// A quantity or price goes in as a number when it reads as one, else as the text the table holds.
static InvoiceCell amountCell(const QString &text)
{
    double number = 0.0;
    return readDecimal(text, &number) ? InvoiceCell::numberCell(number)
                                      : InvoiceCell::textCell(text);
}

static double amountOf(const QString &text)
{
    double number = 0.0;
    return readDecimal(text, &number) ? number : 0.0;
}

static InvoiceBlock singleCell(int row, int column, const InvoiceCell &cell, bool framed)
{
    InvoiceBlock block;
    block.top = row;
    block.left = column;
    block.framed = framed;
    block.rows = {{cell}};
    return block;
}

QVector<InvoiceBlock> invoiceFor(const QVector<OrderLine> &lines, const InvoiceSigners &signers)
{
    using namespace invoice;
    const int n = lines.size();
    QVector<InvoiceBlock> blocks;

    if (n > 0) {
        InvoiceBlock items;
        items.top = FirstLineRow;
        items.left = ColumnB;
        items.framed = true;
        items.rows.reserve(n);
        for (int i = 0; i < n; ++i) {
            const OrderLine &line = lines.at(i);
            items.rows.append(
                {InvoiceCell::numberCell(i + 1), InvoiceCell::textCell(line.description),
                 amountCell(line.quantity), amountCell(line.unitPrice),
                 InvoiceCell::numberCell(amountOf(line.quantity) * amountOf(line.unitPrice))});
        }
        blocks.append(items);
    }

    // SUM over no rows would point at the subtotal cell itself: an empty order sums to 0.
    const int subtotalRow = FirstLineRow + n;
    const QString subtotal = cellName(subtotalRow, ColumnF);
    InvoiceBlock summary;
    summary.top = subtotalRow;
    summary.left = ColumnE;
    summary.framed = true;
    summary.rows = {
        {InvoiceCell::textCell(QStringLiteral("Итого")),
         n > 0 ? InvoiceCell::formulaCell(
             QStringLiteral("=SUM(%1:%2)")
                 .arg(cellName(FirstLineRow, ColumnF), cellName(subtotalRow - 1, ColumnF)))
               : InvoiceCell::numberCell(0)},
        {InvoiceCell::textCell(QStringLiteral("18%")),
         InvoiceCell::formulaCell(QStringLiteral("=%1*%2").arg(subtotal).arg(TaxRate))},
        {InvoiceCell::textCell(QStringLiteral("Всего")),
         InvoiceCell::formulaCell(
             QStringLiteral("=%1+%2").arg(subtotal, cellName(subtotalRow + 1, ColumnF)))},
    };
    blocks.append(summary);

    // The signature lines end with the signer's name where the settings give one.
    const QString placeholder = QStringLiteral("Берется из проги где то");
    const auto signer = [&placeholder](const QString &name) {
        const QString given = name.trimmed();
        return given.isEmpty() ? placeholder : given;
    };
    blocks.append(singleCell(
        22 + n, ColumnB,
        InvoiceCell::textCell(QStringLiteral("Руководитель предприятия_____________________")
                              + signer(signers.director)),
        false));
    blocks.append(singleCell(
        24 + n, ColumnB,
        InvoiceCell::textCell(QStringLiteral("Главный бухгалтер____________________________")
                              + signer(signers.accountant)),
        false));
    blocks.append(
        singleCell(26 + n, ColumnC, InvoiceCell::textCell(QStringLiteral("М.П.")), false));
    return blocks;
}

const InvoiceCell *invoiceCellAt(const QVector<InvoiceBlock> &blocks, int row, int column)
{
    for (const InvoiceBlock &block : blocks) {
        const int r = row - block.top;
        const int c = column - block.left;
        if (r >= 0 && r < block.rowCount() && c >= 0 && c < block.columnCount())
            return &block.rows.at(r).at(c);
    }
    return nullptr;
}
