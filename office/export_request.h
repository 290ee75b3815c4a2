// What "Экспорт" hands the office layer, and the checks that come before anything opens: the
// template path as the operator typed it, and every quantity and price read as a number.
#pragma once

#include "order/invoice.h"
#include "order/order_line.h"

#include <QByteArray>
#include <QDate>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

// The shop's lines at the top of the invoice, for the cells the template names (the sample:
// "ShopName" B2, "ShopAddress" B3, "ShopTaxNumbers" B4, "ShopBank" B6, "ShopAccount" B7), as the
// PDF invoice of the same order prints them. While none is given (the settings describe no shop)
// the template keeps its own texts; once one is, a line left empty clears its cell.
struct ShopLines
{
    QString name;
    QString address;
    QString taxNumbers; // "ИНН 7707083893, КПП 770701001"
    QString bank; // "Банк получателя: ПАО Сбербанк, БИК 044525225"
    QString account; // "Р/с 40702810938000012345, к/с 30101810400000000225"

    bool isEmpty() const;
    // The cells' names and their texts, none while every line is empty.
    QVector<QPair<QString, QString>> namedTexts() const;
};

struct ExportRequest
{
    QString typedPath; // as in the field: blanks around, "~/…" or "file:///…" allowed
    QVector<OrderLine> lines;
    QString number; // the invoice's number and date, written where the template names cells
    QDate date;
    InvoiceSigners signers; // the names after the signature lines, from the settings
    Customer payer; // the order's customer: the discount and the cell "Покупатель"
    TaxSettings tax; // the shop's, from the settings
    ShopLines shop; // the shop's requisites, from the settings
    // The operator chose to go on with prices that are no number: they go into the sheet as the
    // table shows them, and their lines sum to 0.
    bool textPricesAccepted = false;
};

// The export ready to run: the template's local path and the invoice's cells.
struct PreparedExport
{
    QString path;
    QVector<InvoiceBlock> blocks;
    int lastRow = 0; // the last sheet row the invoice writes
    QString number;
    QDate date;
    QString payer; // for the cell named "Покупатель"; empty leaves the template's text
    ShopLines shop;
    // What the blocks are laid out from, again once the number gives the invoice its date.
    QVector<OrderLine> lines; // read as numbers
    InvoiceSigners signers;
    int discountHundredths = 0;
    TaxSettings tax;
    // The payment QR code as a PNG picture for the cell named "QR", drawn by the window once the
    // invoice has its number; empty: no picture.
    QByteArray paymentQrPicture;
};

// The sample template's cell for the payment QR code, and the code's side on the sheet: 42 mm, so
// that a sheet printed to the page's width still gives a phone at arm's length 35 mm or more.
namespace invoice {
inline const QString &qrCellName()
{
    static const QString name = QStringLiteral("QR");
    return name;
}
constexpr int QrSideHundredthsMm = 4200;
// The names of the cells for the shop's lines (ShopLines), in its order.
const QStringList &shopCellNames();
} // namespace invoice

// The blocks for the export's lines and its date (the tax in force on it; today without one).
void layOutInvoice(PreparedExport *prepared);

// The local file a typed template path names: blanks around it dropped, "~" for the home
// folder, a file URL decoded. Empty for an empty field.
QString templatePathFromTyped(const QString &typed);

// Reads the lines and the path; false with a message for the operator when the export cannot go
// on (a quantity or price that is no number unless accepted, a sum too large, no template file).
bool prepareExport(const ExportRequest &request, PreparedExport *prepared, QString *message);
