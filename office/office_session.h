// Our small layer over LibreOffice Calc: reach the office on its pipe (starting it when nothing
// listens), detect a template's type and open it as a new hidden document, check the invoice
// sheet, write blocks of cells in bulk, show or close the document. The UNO side stays in the .cpp
// files of this folder; every call here may block, so the window calls them from a worker thread.
#pragma once

#include "order/invoice.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// What went wrong, for people: the message in Russian, the office's own text apart.
struct OfficeFailure
{
    QString message;
    QString details;

    bool isEmpty() const { return message.isEmpty(); }
};

// A document the office opened for us. Copies share the document; a null one holds none.
class OfficeDocument
{
public:
    struct Data;

    OfficeDocument();
    explicit OfficeDocument(std::shared_ptr<Data> data);
    bool isNull() const;
    friend bool operator==(const OfficeDocument &a, const OfficeDocument &b);
    friend bool operator!=(const OfficeDocument &a, const OfficeDocument &b) { return !(a == b); }
    Data *data() const { return d.get(); }

private:
    std::shared_ptr<Data> d;
};

class OfficeSession
{
public:
    explicit OfficeSession(const QString &pipeName);
    ~OfficeSession();
    OfficeSession(const OfficeSession &) = delete;
    OfficeSession &operator=(const OfficeSession &) = delete;

    // The program's office on the pipe of the user's home (pipeNameFor). It is never destroyed:
    // the office and its documents may outlive the program, and remote references must not be
    // released while the process tears down its statics.
    static OfficeSession &shared();
    // "printcalc-office-kassa-1f3a09c2": the home's last folder name and a digest of its whole
    // path, so that a program started with another home never reuses this one's office (with
    // that home's profile and files).
    static QString pipeNameFor(const QString &home);

    QString pipeName() const;
    // Arguments for an office this session starts, before "--norestore" and the pipe (tests: a
    // profile of their own, "--headless"). By default the office starts "--invisible"; the
    // program's session (shared()) also gives it the program's own profile, whose settings are
    // made sure of before each start (office/office_profile.h). Arguments set here replace both.
    void setStartArguments(const QStringList &arguments);
    // Process id of the last office this session started, 0 when it started none.
    qint64 startedProcessId() const;
    // The processes that serve this session's pipe (the launcher and the office itself).
    QList<qint64> processIds() const;

    // Connects to the office, starting it when nothing listens on the pipe and waiting at most
    // timeLimitMs. A connection whose office went away meanwhile is replaced.
    bool reach(OfficeFailure *failure, int timeLimitMs = 30000);
    // Loads the spreadsheet part of the office and the template's import filter ahead of the first
    // export: the template (when the path names one) or an empty sheet, opened hidden and closed.
    void preload(const QString &templatePath);

    // True when connected and the office answers; never starts one.
    bool isConnected();

    // A new untitled hidden document based on the template at the local path; the file is never
    // written. Its type is detected first, so a file the office would ask about is refused
    // without a dialog; macros never run and links are not updated.
    OfficeDocument openTemplate(const QString &path, OfficeFailure *failure);

    // Before writing: the sheet exists, is not protected, and rows firstRow..lastRow hold nothing
    // in columns B to F (no value, text or formula, no merged cells).
    bool checkInvoiceSheet(const OfficeDocument &document, const QString &sheetName, int firstRow,
                           int lastRow, OfficeFailure *failure);

    // Each block with one data call per chunk of lines, formulas one call per cell, formats one
    // call per block; the document's views are locked meanwhile.
    bool writeBlocks(const OfficeDocument &document, const QString &sheetName,
                     const QVector<InvoiceBlock> &blocks, OfficeFailure *failure);

    // The cells named "НомерСчёта", "ДатаСчёта" and "Покупатель", where the template has them, get
    // the number, the date and the payer; empty values and missing names are skipped.
    bool writeNumberAndDate(const OfficeDocument &document, const QString &number,
                            const QDate &date, const QString &payer, OfficeFailure *failure);

    // Each cell the template names gets its text as it stands (an empty one clears the cell);
    // names the template lacks are skipped. For the shop's requisites (ShopLines).
    bool writeNamedTexts(const OfficeDocument &document,
                         const QVector<QPair<QString, QString>> &texts, OfficeFailure *failure);

    // The picture (PNG bytes) over the cell the template names, its top left corner at the
    // cell's, `side` hundredths of a millimetre square and anchored to the cell, so that it moves
    // with the cell. A template without the name gets none; false only when the office refused.
    bool placePicture(const OfficeDocument &document, const QString &cellName,
                      const QByteArray &png, int side, OfficeFailure *failure);

    // Makes the document's window visible and brings it to the front with the sheet active.
    void show(const OfficeDocument &document, const QString &sheetName);

    // Closes a document without saving it: one opened for an export that then stopped.
    void discard(const OfficeDocument &document);

    // Documents open in the office, or -1 when it does not answer.
    int openDocumentCount();
    // Documents the operator can see (a hidden one is still being written or is abandoned).
    int visibleDocumentCount();

    // Ends the office at once (it does not answer, or the operator asked to restart it).
    void kill();
    // Ends the office's processes at once, leaving the connection as it is: for a program on its
    // way out while another thread may still be in a call to the office.
    void endProcesses();
    // Asks the office to close; false when a document in it refused. May block: call it from a
    // thread the caller can leave waiting.
    bool terminate();

    // Tests: called on the worker thread just before the template is loaded ("load") and before
    // each chunk of lines is written ("write 0", "write 1", …), to stop or slow the office there.
    void setTestHook(std::function<void(const QString &point)> hook);

    // Tests and the benchmark: the most recently opened document that is still open.
    OfficeDocument lastDocument() const;

private:
    friend struct OfficeSessionAccess; // the office folder's own .cpp files
    struct Private;
    const std::unique_ptr<Private> d;
};
