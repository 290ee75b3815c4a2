// "Настройки": every setting of the program in one dialog over the settings file. The shop's
// requisites (each checked as it is typed, a mistake told at its field; the note under them says
// when the invoices' payment QR code is left off, and why), the PDF folder, the validity days and
// the tax through the documents' settings; the counter's name, the database URL and the office
// warm-up under the keys storage and the office read. The URL's password is edited in a field of
// its own that shows no text; the URL field shows
// ***.
#pragma once

#include "documents/invoice_document.h"
#include "order/invoice_foot.h"

#include <QDialog>
#include <QHash>
#include <QScopedPointer>

namespace Ui {
class SettingsDialog;
}
class QLabel;
class QLineEdit;

class SettingsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SettingsDialog(QWidget *parent = nullptr);
    ~SettingsDialog() override;

    // Keys of the settings file read by other parts of the program.
    static const char *const CounterNameKey; // "counter/name", the host name when empty
    static const char *const DatabaseUrlKey; // "database/url", the local SQLite file when empty
    static const char *const OfficeWarmupKey; // "office/warmup", true when absent
    static const char *const OpeningHoursKey; // "requisites/hours", free text, left out when empty

    // Writes the fields to the settings file, owner-only; false if the file could not be written
    // or is not used (problem() says why).
    bool save() const;
    // Why the settings file is not used (not UTF-8); empty when it is.
    QString problem() const { return fileProblem; }

public slots:
    void accept() override;

private:
    void load();
    void choosePdfFolder();
    // The tax as the fields give it; a file without a tax section keeps none until they differ
    // from what it means (18 % on top, no change).
    TaxSettings taxFromFields() const;
    void enableTaxFields();
    ShopRequisites requisitesFromFields() const;
    // Marks every requisite field that fails its check and tells whether the QR code can be made.
    void checkRequisites();

    const QScopedPointer<Ui::SettingsDialog> ui;
    // The mark under each checked field, by the field.
    QHash<QLineEdit *, QLabel *> marks;
    TaxSettings loadedTax;
    QString fileProblem;
    // The URL as the file holds it, and its two halves as shown: written back unchanged when
    // neither half is edited.
    QString storedUrl, shownUrl, shownPassword;
};
