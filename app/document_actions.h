// The window's documents without the office: "PDF" and "Печать" beside "Экспорт", "Настройки" in
// the window's corner. Built on the window's public face only; a child of the window, so tests
// find it with findChild<DocumentActions *>().
#pragma once

#include "documents/document_settings.h"
#include "documents/invoice_document.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>

class MainWindow;
class QPrinter;
class QPushButton;
class QWidget;

// What the document buttons use outside the documents: the journal's numbers, the message naming
// the written file, the desktop's viewer and the print dialog. The window's own are
// WindowDocumentServices; a test gives its own, so that nothing modal or outside the program
// waits.
class DocumentServices
{
public:
    // The invoice number a document carries, with the date it was given; without one, the
    // reason the operator is told.
    struct Number
    {
        QString number;
        QDate date;
        QString reason;
        QString orderUid; // the order it was asked for; empty for the order on screen
        int revision = 1; // the journal's revision of a taken order's lines
    };

    virtual ~DocumentServices() = default;
    // Asked once a document of this kind ("pdf", "print") is sure to be attempted, so that an
    // empty order or a cancelled print dialog takes no number. done gets the number on the
    // window's thread, at once or later, and not at all once the context is gone.
    virtual void takeNumber(const QString &kind, QObject *context,
                            std::function<void(const Number &number)> done)
        = 0;
    // Told afterwards whether the document was made.
    virtual void reportDocument(const Number &number, const QString &kind, bool made) = 0;
    virtual void inform(const QString &message) = 0;
    virtual void openDocument(const QString &path) = 0;
    virtual bool choosePrinter(QPrinter *printer) = 0;
};

// The window's own: numbers from the shop's journal, a message box, the desktop's viewer and
// Qt's print dialog.
class WindowDocumentServices : public DocumentServices
{
public:
    explicit WindowDocumentServices(MainWindow *window)
        : window(window)
    { }
    void takeNumber(const QString &kind, QObject *context,
                    std::function<void(const Number &number)> done) override;
    void reportDocument(const Number &number, const QString &kind, bool made) override;
    void inform(const QString &message) override;
    void openDocument(const QString &path) override;
    bool choosePrinter(QPrinter *printer) override;

private:
    MainWindow *window;
};

class DocumentActions : public QObject
{
    Q_OBJECT

public:
    using Number = DocumentServices::Number;

    // Without services of its own it uses the window's.
    explicit DocumentActions(MainWindow *window, DocumentServices *services = nullptr);
    ~DocumentActions() override;

    // "PDF": the invoice written without a dialog into the PDF folder of the settings, once its
    // number is there; pdfWritten tells how it ended. An empty order or a folder that cannot be
    // written is refused at once (the operator is told why).
    void writePdf();
    // "Печать": the same invoice through the print dialog.
    void print();
    // "Настройки": the settings dialog, saved to the settings file when accepted.
    void editSettings();
    // Whether a document waits for its number.
    bool isWaiting() const { return waiting; }

    // What the operator is told when "PDF", "Печать" or "Экспорт" is pressed on an empty order.
    static QString emptyOrderMessage();

    // The invoice of these lines as the settings describe the shop, dated today, to the payer.
    static InvoiceDocument documentFor(const QVector<OrderLine> &lines,
                                       const DocumentSettings &settings,
                                       const Customer &payer = Customer());

    // Qt's own texts (print and file dialogs, standard buttons) in Russian, from Qt's
    // translations; the form's captions are not translated and stay as they are.
    static bool installQtTranslations();

signals:
    // The PDF a press of "PDF" wrote, or empty when it was not written.
    void pdfWritten(const QString &path);
    // A press of "Печать" ended: whether the invoice went to the printer.
    void printed(bool sent);

private:
    // The lines of the order, or none after telling the operator the order is empty; messages
    // are titled by the document ("PDF", "Печать").
    QVector<OrderLine> linesToDocument(const QString &title) const;
    void warn(const QString &title, const QString &message) const;
    // Asks for the number of a document about to be made; made gets the document with it.
    void
    numberThen(const InvoiceDocument &document, const QString &kind,
               std::function<void(const InvoiceDocument &document, const Number &number)> made);
    void pdfNumbered(InvoiceDocument document, const QString &folder, const Number &number);

    MainWindow *window;
    std::unique_ptr<DocumentServices> ownServices;
    DocumentServices *services;
    bool waiting = false;
};
