// The invoice as a plain function of the order lines: which sheet cell gets which number, text or
// formula, and which cells are framed. The office layer only applies what this computes.
#pragma once

#include "customers/customer.h"
#include "order/invoice_foot.h"
#include "order/order_line.h"

#include <QString>
#include <QVector>

struct InvoiceCell
{
    enum Kind { Number, Text, Formula };

    Kind kind = Text;
    double number = 0.0;
    // The text as it must show, or the formula as Calc reads it (English names, A1 references).
    QString text;

    static InvoiceCell numberCell(double value);
    static InvoiceCell textCell(const QString &text);
    static InvoiceCell formulaCell(const QString &formula);
};

// A rectangle of cells written at once and formatted alike.
struct InvoiceBlock
{
    int top = 0; // sheet row of the first line, numbered from 1 as the sheet shows it
    int left = 0; // column of the first cell, 0 = A
    // Framed: wrapped, centred, a line on every edge. Plain: wrap off, nothing else touched.
    bool framed = false;
    QVector<QVector<InvoiceCell>> rows;

    int rowCount() const { return rows.size(); }
    int columnCount() const { return rows.isEmpty() ? 0 : rows.first().size(); }
};

namespace invoice {
constexpr int FirstLineRow = 17;
constexpr int ColumnB = 1;
constexpr int ColumnC = 2;
constexpr int ColumnE = 4;
constexpr int ColumnF = 5;
constexpr double TaxRate = 0.18;
// The template's sheet the invoice is written into.
inline const QString &sheetName()
{
    static const QString name = QStringLiteral("Лист1");
    return name;
}
} // namespace invoice

// The blocks of the invoice for these lines, in writing order.
// Who signs the invoice, as the settings name them; a name left empty keeps the sheet's
// placeholder text after its line.
struct InvoiceSigners
{
    QString director;
    QString accountant;
};

// The foot's rows follow the terms: as always without a discount or a tax in the settings, else
// with live formulas for the discount and the tax.
QVector<InvoiceBlock> invoiceFor(const QVector<OrderLine> &lines,
                                 const InvoiceSigners &signers = InvoiceSigners(),
                                 const FootTerms &terms = FootTerms());

// The payer as the documents name them: the legal name, ИНН and КПП ("ООО «Ромашка», ИНН
// 7707083893, КПП 770701001"), and the address apart; empty without a customer.
QString payerNameLine(const Customer &customer);
QString payerAddress(const Customer &customer);
// Both in one text, for the sheet's cell "Покупатель".
QString payerText(const Customer &customer);

// The cell at a sheet position (row from 1, column from 0), or null where the invoice writes none.
const InvoiceCell *invoiceCellAt(const QVector<InvoiceBlock> &blocks, int row, int column);

// "F17" for row 17, column 5.
QString cellName(int row, int column);

// A quantity or price text as a number: decimal with a point, exponent form allowed. Texts that
// are not a finite number give false.
bool readDecimal(const QString &text, double *value);
