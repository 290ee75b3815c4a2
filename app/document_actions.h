// The window's documents without the office: "PDF" and "Печать" beside "Экспорт", "Настройки" in
// the window's corner. Built on the window's public face only; a child of the window, so tests
// find it with findChild<DocumentActions *>().
#pragma once

#include "documents/document_settings.h"
#include "documents/invoice_document.h"

#include <QObject>
#include <QString>
#include <QVector>

#include <functional>

class MainWindow;
class QPrinter;
class QWidget;

class DocumentActions : public QObject
{
    Q_OBJECT

public:
    explicit DocumentActions(MainWindow *window);

    // "PDF": the invoice written without a dialog into the PDF folder of the settings. The path
    // written, or empty when the order is empty or the file could not be written (the operator
    // is told why).
    QString writePdf();
    // "Печать": the same invoice through the print dialog; true once it went to the printer.
    bool print();
    // "Настройки": the settings dialog, saved to the settings file when accepted.
    void editSettings();

    // The invoice of these lines as the settings describe the shop, dated today, to the payer.
    static InvoiceDocument documentFor(const QVector<OrderLine> &lines,
                                       const DocumentSettings &settings,
                                       const Customer &payer = Customer());

    // Qt's own texts (print and file dialogs, standard buttons) in Russian, from Qt's
    // translations; the form's captions are not translated and stay as they are.
    static bool installQtTranslations();

    // The invoice number a document carries, with the date it was given; without one, the
    // reason the operator is told.
    struct Number
    {
        QString number;
        QDate date;
        QString reason;
    };
    // Asked once a document of this kind ("pdf", "print") is sure to be attempted, so that an
    // empty order or a cancelled print dialog takes no number; told afterwards whether the
    // document was made.
    std::function<Number(const QString &kind)> takeNumber;
    std::function<void(const Number &number, const QString &kind, bool made)> reportDocument;

    // Seams the tests replace, so that nothing modal or outside the program waits: the message
    // naming the written file, the desktop's viewer, the print dialog.
    std::function<void(const QString &message)> inform;
    std::function<void(const QString &path)> openDocument;
    std::function<bool(QPrinter *printer)> choosePrinter;

private:
    // The lines of the order, or none after telling the operator the order is empty; messages
    // are titled by the document ("PDF", "Печать").
    QVector<OrderLine> linesToDocument(const QString &title) const;
    void warn(const QString &title, const QString &message) const;
    // The number of a document about to be made, put into it.
    Number numberInto(InvoiceDocument *document, const QString &kind);

    MainWindow *window;
};
