// What the documents take from the settings file: the shop's requisites, where PDFs go and how
// long an invoice is valid. The file is the program's one settings file, shared with storage and
// the office; each part reads and writes only its own keys.
#pragma once

#include "documents/invoice_document.h"

#include <QString>

#include <memory>

class QSettings;

// ~/.config/printcalc/printcalc.ini, or under $XDG_CONFIG_HOME when it is set.
QString settingsFilePath();
// The settings file, its Cyrillic values kept readable as UTF-8 for whoever edits it by hand.
std::unique_ptr<QSettings> openSettingsFile();

struct DocumentSettings
{
    ShopRequisites requisites = ShopRequisites::sample();
    QString pdfFolder; // empty: "printcalc" in the user's documents folder
    int validityDays = 5;
    static constexpr int MaxValidityDays = 365;

    static DocumentSettings load();
    // False if the file could not be written.
    bool save() const;

    // Where PDFs are written now: the chosen folder, else the default.
    QString effectivePdfFolder() const;
    static QString defaultPdfFolder();
};
