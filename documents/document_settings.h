// What the documents take from the settings file: the shop's requisites, where PDFs go and how
// long an invoice is valid. The file is the program's one settings file, shared with storage and
// the office; each part reads and writes only its own keys, and only the settings dialog writes.
#pragma once

#include "documents/invoice_document.h"
#include "order/invoice_foot.h"

#include <QString>

#include <memory>

class QSettings;
class SettingsFile;

// ~/.config/printcalc/printcalc.ini, or under $XDG_CONFIG_HOME when it is set.
QString settingsFilePath();
// The settings file for reading, its Cyrillic values read as UTF-8. Writes go through
// SettingsFile, which keeps the administrator's lines.
std::unique_ptr<QSettings> openSettingsFile();

// The tax an invoice was made with, as the journal keeps it; not stored for invoices older than
// that, whose documents take the settings' rule of their day.
struct StoredTax
{
    bool stored = false;
    bool given = false;
    TaxRule rule;
};

struct DocumentSettings
{
    ShopRequisites requisites = ShopRequisites::sample();
    QString pdfFolder; // empty: "printcalc" in the user's documents folder
    int validityDays = 5;
    static constexpr int MaxValidityDays = 365;
    // Section "tax": mode (on-top, included, none), rate, and one change from a day
    // (changeFrom as YYYY-MM-DD, changeMode, changeRate). Without the section the documents keep
    // their old "18%" rows.
    TaxSettings tax;

    // The built-in settings when the file is not UTF-8 (SettingsFile::problem() tells).
    static DocumentSettings load();
    static DocumentSettings read(const SettingsFile &file);
    // False if the file could not be written.
    bool save() const;
    // Sets the documents' keys, for the file's owner to save. A requisite equal to the sample's
    // text, and a validity equal to the default, are left out where the file has no key of its
    // own for them.
    void store(SettingsFile &file) const;
    // The requisites as the file itself gives them: empty where it has no key, or only the
    // sample's text (written there by an older version of the dialog).
    static ShopRequisites storedRequisites(const SettingsFile &file);

    // Where PDFs are written now: the chosen folder, else the default.
    QString effectivePdfFolder() const;
    // Why a folder as typed cannot be used (a relative path would depend on where the program
    // was started), or empty.
    static QString pdfFolderProblem(const QString &folder);
    static QString defaultPdfFolder();

    // An invoice of the journal as its documents show it again: its number, its day, its lines
    // and payer, the tax it was made with when the journal kept that (else the rule these settings
    // give for its day), and the shop as these settings describe it.
    InvoiceDocument journalInvoice(qint64 number, const QDate &day, const QVector<OrderLine> &lines,
                                   const Customer &payer, const StoredTax &tax) const;
};

// A PDF never replaces a file: the next free name gets " (2)", " (3)"... (a numbering started
// again after a database was moved aside must not write over another order's invoice).
QString freePdfPath(const QString &folder, const QString &fileName);
