// The invoice, the act of the work done and the job ticket painted page by page on a PDF writer
// or a printer: requisites and title on the first page (the invoice's bank table with its payment
// code when the requisites are fields of their own), the table flowing over as many pages as it
// needs with its column headers repeated, the totals, validity and signatures after it.
#pragma once

#include "documents/invoice_document.h"

#include <QPageLayout>
#include <QString>

#include <functional>

class QPagedPaintDevice;

// A4 upright, a wider margin on the left for filing; the PDF and the printer alike.
QPageLayout invoicePageLayout();

// The pages painted, or 0 if the device could not be painted on.
int paintInvoice(QPagedPaintDevice *device, const InvoiceDocument &document);
// "Акт выполненных работ": the executor and the customer, the lines, the foot in the invoice's
// tax, the customer's acceptance, both signatures.
int paintAct(QPagedPaintDevice *device, const InvoiceDocument &document);
// "Заказ-наряд": the number as text and as a QR code, customer, phone, due time, the lines with
// their options and keys, the note.
int paintTicket(QPagedPaintDevice *device, const JobTicket &ticket);

// The invoice as an A4 PDF file. A file of the same name is replaced only by a complete new one;
// on failure `error` says why, in the system's words.
bool writeInvoicePdf(const InvoiceDocument &document, const QString &path, QString *error);
bool writeActPdf(const InvoiceDocument &document, const QString &path, QString *error);
bool writeTicketPdf(const JobTicket &ticket, const QString &path, QString *error);

// Any document painted so, as an A4 PDF written the same safe way.
bool writePaintedPdf(const QString &title, const std::function<int(QPagedPaintDevice *)> &paint,
                     const QString &path, QString *error);

// The invoice's typeface: DejaVu Sans, loaded from its file so that the PDF embeds that very font
// whatever the desktop would substitute.
QString invoiceFontFamily();
