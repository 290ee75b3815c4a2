// The document buttons' services recorded instead of shown: the message naming the file and the
// viewer are noted, the print dialog is answered by the test; the numbers come from the journal
// as in the window, unless the test gives them.
#pragma once

#include "app/document_actions.h"

#include <QStringList>

#include <functional>
#include <memory>

class DocumentRecorder : public DocumentServices
{
public:
    // The window's own services, for the journal's numbers and Qt's print dialog.
    void attach(MainWindow *window) { own = std::make_unique<WindowDocumentServices>(window); }

    void takeNumber(const QString &kind, QObject *context,
                    std::function<void(const Number &number)> done) override
    {
        taken << kind;
        if (fromJournal)
            own->takeNumber(kind, context, std::move(done));
        else
            done(nextNumber);
    }
    void reportDocument(const Number &number, const QString &kind, bool made) override
    {
        reports << QStringLiteral("%1 %2 %3")
                       .arg(number.number, kind,
                            made ? QStringLiteral("made") : QStringLiteral("failed"));
        if (fromJournal)
            own->reportDocument(number, kind, made);
    }
    void inform(const QString &message) override { informed << message; }
    void openDocument(const QString &path) override { opened << path; }
    bool choosePrinter(QPrinter *printer) override
    {
        ++printerAsked;
        if (realPrintDialog)
            return own->choosePrinter(printer);
        return printerChoice ? printerChoice(printer) : false;
    }

    void clear()
    {
        taken.clear();
        reports.clear();
        informed.clear();
        opened.clear();
        nextNumber = Number();
        printerChoice = nullptr;
        printerAsked = 0;
    }

    bool fromJournal = true;
    bool realPrintDialog = false;
    Number nextNumber; // given when not from the journal
    std::function<bool(QPrinter *printer)> printerChoice;
    // The numbers asked for by kind, and the documents reported: "57 pdf made".
    QStringList taken, reports, informed, opened;
    int printerAsked = 0;

private:
    std::unique_ptr<WindowDocumentServices> own;
};
