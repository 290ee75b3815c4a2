// The invoice's cell layout: line rows from 17 on, the three summary rows, signatures and stamp.
#include "order/invoice.h"

#include <QStringList>
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

QVector<InvoiceBlock> invoiceFor(const QVector<OrderLine> &lines, const InvoiceSigners &signers,
                                 const FootTerms &terms)
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
    const QString linesSum = n > 0
        ? QStringLiteral("SUM(%1:%2)")
              .arg(cellName(FirstLineRow, ColumnF), cellName(subtotalRow - 1, ColumnF))
        : QString();
    InvoiceBlock summary;
    summary.top = subtotalRow;
    summary.left = ColumnE;
    summary.framed = true;
    if (terms.asBefore()) {
        summary.rows = {
            {InvoiceCell::textCell(QStringLiteral("Итого")),
             n > 0 ? InvoiceCell::formulaCell(QLatin1Char('=') + linesSum)
                   : InvoiceCell::numberCell(0)},
            {InvoiceCell::textCell(QStringLiteral("18%")),
             InvoiceCell::formulaCell(QStringLiteral("=%1*%2").arg(subtotal).arg(TaxRate))},
            {InvoiceCell::textCell(QStringLiteral("Всего")),
             InvoiceCell::formulaCell(
                 QStringLiteral("=%1+%2").arg(subtotal, cellName(subtotalRow + 1, ColumnF)))},
        };
    } else {
        // The rows and their rounding as invoiceFoot computes them, live in the sheet: a line
        // edited there carries through the discount, the tax and the total.
        const InvoiceFoot foot = invoiceFoot(0.0, terms);
        QString base = subtotal; // what the tax is counted on: the sum less the discount
        QString taxCell;
        for (const FootRow &row : foot.rows) {
            const QString here = cellName(subtotalRow + summary.rowCount(), ColumnF);
            InvoiceCell amount;
            switch (row.kind) {
            case FootRow::Subtotal:
                amount = n > 0
                    ? InvoiceCell::formulaCell(QStringLiteral("=ROUND(%1;2)").arg(linesSum))
                    : InvoiceCell::numberCell(0);
                break;
            case FootRow::Discount:
                amount = InvoiceCell::formulaCell(
                    QStringLiteral("=-ROUND(%1*%2/100;2)")
                        .arg(subtotal, percentNumber(terms.discountHundredths)));
                base = QStringLiteral("(%1+%2)").arg(subtotal, here);
                break;
            case FootRow::Tax: {
                const int rate = terms.taxGiven ? terms.tax.rate : 18;
                const TaxMode mode = terms.taxGiven ? terms.tax.mode : TaxMode::OnTop;
                if (mode == TaxMode::None) {
                    amount = InvoiceCell::textCell(QStringLiteral("-"));
                } else {
                    amount = InvoiceCell::formulaCell(
                        QStringLiteral("=ROUND(%1*%2/%3;2)")
                            .arg(base)
                            .arg(rate)
                            .arg(mode == TaxMode::OnTop ? 100 : 100 + rate));
                    if (mode == TaxMode::OnTop)
                        taxCell = here;
                }
                break;
            }
            case FootRow::Total: {
                QString sum = base.startsWith(QLatin1Char('(')) ? base.mid(1).chopped(1) : base;
                if (!taxCell.isEmpty())
                    sum += QLatin1Char('+') + taxCell;
                amount = InvoiceCell::formulaCell(QLatin1Char('=') + sum);
                break;
            }
            }
            summary.rows.append({InvoiceCell::textCell(row.caption), amount});
        }
    }
    blocks.append(summary);
    // Signatures keep two rows free under the foot, however many rows it has.
    const int below = n + summary.rowCount() - 3;

    // The signature lines end with the signer's name where the settings give one.
    const QString placeholder = QStringLiteral("Берется из проги где то");
    const auto signer = [&placeholder](const QString &name) {
        const QString given = name.trimmed();
        return given.isEmpty() ? placeholder : given;
    };
    blocks.append(singleCell(
        22 + below, ColumnB,
        InvoiceCell::textCell(QStringLiteral("Руководитель предприятия_____________________")
                              + signer(signers.director)),
        false));
    blocks.append(singleCell(
        24 + below, ColumnB,
        InvoiceCell::textCell(QStringLiteral("Главный бухгалтер____________________________")
                              + signer(signers.accountant)),
        false));
    blocks.append(
        singleCell(26 + below, ColumnC, InvoiceCell::textCell(QStringLiteral("М.П.")), false));
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

QString payerNameLine(const Customer &customer)
{
    if (customer.isNull())
        return QString();
    QStringList parts = {customer.legalName().trimmed()};
    if (!customer.inn.trimmed().isEmpty())
        parts << QStringLiteral("ИНН ") + customer.inn.trimmed();
    if (!customer.kpp.trimmed().isEmpty())
        parts << QStringLiteral("КПП ") + customer.kpp.trimmed();
    parts.removeAll(QString());
    return parts.join(QStringLiteral(", "));
}

QString payerAddress(const Customer &customer)
{
    return customer.isNull() ? QString() : customer.address.trimmed();
}

QString payerText(const Customer &customer)
{
    QStringList parts = {payerNameLine(customer), payerAddress(customer)};
    parts.removeAll(QString());
    return parts.join(QStringLiteral(", "));
}
