// Our small layer over LibreOffice Calc, driven over UNO: reach the office on its pipe (starting it
// when nothing listens), open a template as a new document, find a sheet, write blocks of cells in
// bulk and frame them. Every failure leaves one message for the operator, in Russian.
#pragma once

#include "order/invoice.h"

#include <QString>
#include <QStringList>

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/uno/Reference.hxx>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <rtl/ustring.hxx>

namespace css = com::sun::star;

inline rtl::OUString toOUString(const QString &text)
{
    return rtl::OUString(reinterpret_cast<const sal_Unicode *>(text.utf16()), text.size());
}

inline QString toQString(const rtl::OUString &text)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(text.getStr()), text.getLength());
}

class OfficeSession
{
public:
    // How long the window may wait for a starting office before the export gives up.
    static constexpr int StartTimeLimitMs = 20000;

    explicit OfficeSession(const QString &pipeName);
    OfficeSession(const OfficeSession &) = delete;
    OfficeSession &operator=(const OfficeSession &) = delete;

    // The program's office on the pipe "printcalc-office". It is never destroyed: the office and
    // its documents outlive the program, and remote references must not be released while the
    // process tears down its statics.
    static OfficeSession &shared();

    QString pipeName() const { return m_pipeName; }
    // Extra arguments for an office this session starts (tests: headless, a profile of their own).
    void setStartArguments(const QStringList &arguments) { m_startArguments = arguments; }
    // Process id of the last office this session started, 0 when it started none.
    qint64 startedProcessId() const { return m_startedProcessId; }

    // Connects to the office, starting it when nothing listens on the pipe and waiting at most
    // StartTimeLimitMs. A connection whose office was closed meanwhile is replaced.
    bool reach();

    // A new untitled document based on the template at the path as typed; the file is never
    // written. Null when it cannot be opened or is not a spreadsheet.
    css::uno::Reference<css::sheet::XSpreadsheetDocument> openTemplate(const QString &path);

    // The sheet of that name, or null; the path is only for the message.
    css::uno::Reference<css::sheet::XSpreadsheet>
    sheetByName(const css::uno::Reference<css::sheet::XSpreadsheetDocument> &document,
                const QString &name, const QString &path);

    // Each block with one data call, formulas one call per cell, formats one call per block.
    bool writeBlocks(const css::uno::Reference<css::sheet::XSpreadsheetDocument> &document,
                     const css::uno::Reference<css::sheet::XSpreadsheet> &sheet,
                     const QVector<InvoiceBlock> &blocks);

    // Brings the document's window to the front with the sheet active.
    void show(const css::uno::Reference<css::sheet::XSpreadsheetDocument> &document,
              const css::uno::Reference<css::sheet::XSpreadsheet> &sheet);

    // Closes a document without saving it: one opened for an export that then stopped.
    void discard(const css::uno::Reference<css::uno::XInterface> &document);

    QString lastError() const { return m_lastError; }
    css::uno::Reference<css::uno::XComponentContext> context() const { return m_context; }
    css::uno::Reference<css::frame::XDesktop2> desktop() const { return m_desktop; }
    // The document the last successful openTemplate made, while it is not discarded.
    css::uno::Reference<css::sheet::XSpreadsheetDocument> lastDocument() const
    {
        return m_lastDocument;
    }

private:
    bool connectOnce();
    bool alive();
    bool fail(const QString &message);

    QString m_pipeName;
    QStringList m_startArguments;
    qint64 m_startedProcessId = 0;
    QString m_lastError;
    css::uno::Reference<css::uno::XComponentContext> m_context;
    css::uno::Reference<css::frame::XDesktop2> m_desktop;
    css::uno::Reference<css::sheet::XSpreadsheetDocument> m_lastDocument;
};
