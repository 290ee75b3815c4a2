// "Настройки": every setting of the program in one dialog over the settings file, on three pages.
// The shop's requisites (each checked as it is typed, a mistake told at its field; the note under
// them says when the invoices' payment QR code is left off, and why), the PDF folder, the validity
// days and the tax through the documents' settings; the counter's name, the database URL and the
// office warm-up under the keys storage and the office read. The URL's password is edited in a
// field of its own that shows no text; the URL field shows ***. The sample's texts are hints in
// empty fields, never values: only what the operator typed is written. The old free-text lines
// are shown only where the file has them, with a move into the fields of their own.
// "Почта": the shop's SMTP server, its password kept in the mail password file, and a test letter
// to the owner's address sent beside the window. "Рабочие дни и часы": the shop's week.
#pragma once

#include "documents/invoice_document.h"
#include "order/invoice_foot.h"

#include <QDialog>
#include <QFutureWatcher>
#include <QHash>
#include <QScopedPointer>
#include <QVector>

#include <atomic>
#include <functional>
#include <memory>

namespace Ui {
class SettingsDialog;
}
class QCheckBox;
class QLabel;
class QLineEdit;
class Prompts;
class SettingsFile;
struct ShopWeek;

class SettingsDialog : public QDialog
{
    Q_OBJECT

public:
    // Messages go through prompts; without one, through boxes of the dialog's own.
    explicit SettingsDialog(QWidget *parent = nullptr, Prompts *prompts = nullptr);
    ~SettingsDialog() override;

    // Keys of the settings file read by other parts of the program.
    static const char *const CounterNameKey; // "counter/name", the host name when empty
    static const char *const DatabaseUrlKey; // "database/url", the local SQLite file when empty
    static const char *const OfficeWarmupKey; // "office/warmup", true when absent
    static const char *const OpeningHoursKey; // "requisites/hours", free text, left out when empty
    static const char *const ShopPhoneKey; // "requisites/phone", for the website's page
    static const char *const MailOwnerKey; // "mail/owner": the test letter, the Z reports' heads

    // Writes the fields to the settings file, owner-only; false if the file could not be written
    // or is not used (problem() says why).
    bool save() const;
    // Why the settings file is not used (not UTF-8); empty when it is.
    QString problem() const { return fileProblem; }

    // Sends the test letter (the mail's words by their settings' names, the shop's name, a flag
    // that stops it): empty when sent, else why not. Called beside the window; the window gives
    // the mail library's. Unset, "Проверить" is not shown.
    using LetterSender
        = std::function<QString(const std::function<QString(const QString &key)> &value,
                                const QString &shopName, const std::atomic<bool> *stop)>;
    void setLetterSender(LetterSender sender);

    // "Операторы…" under the pages, opening the owner's list of operators; unset, not shown.
    void setOperatorsOpener(std::function<void()> open);

    // Whether the test letter is on its way.
    bool isCheckingMail() const { return mailCheck.isRunning(); }

public slots:
    void accept() override;

private:
    void load();
    void loadMail(const SettingsFile &settings);
    bool saveMail(SettingsFile &settings) const;
    // The mail's words as typed, by the settings' names (host, port, security, ...).
    QString mailField(const QString &key) const;
    void checkMail();
    void showMailCheck(const QString &text, bool good);
    void loadWeek(const SettingsFile &settings);
    ShopWeek weekFromFields() const;
    void enableWeekFields();
    // Why the week as typed cannot be saved, or empty.
    QString weekProblem() const;
    // Moves what the old lines say into the fields of their own, leaving what is not understood.
    void moveRequisiteLines();
    void choosePdfFolder();
    // The tax as the fields give it; a file without a tax section keeps none until they differ
    // from what it means (18 % on top, no change).
    TaxSettings taxFromFields() const;
    void enableTaxFields();
    ShopRequisites requisitesFromFields() const;
    // Marks every requisite field that fails its check and tells whether the QR code can be made.
    void checkRequisites();

    const QScopedPointer<Ui::SettingsDialog> ui;
    std::unique_ptr<Prompts> ownPrompts;
    Prompts *prompts;
    QVector<QCheckBox *> dayBoxes; // Monday first
    // The mark under each checked field, by the field.
    QHash<QLineEdit *, QLabel *> marks;
    TaxSettings loadedTax;
    QString fileProblem;
    // The URL as the file holds it, and its two halves as shown: written back unchanged when
    // neither half is edited.
    QString storedUrl, shownUrl, shownPassword;
    // The mail's login as loaded: its password line is replaced when any of them changes; the
    // words the dialog does not edit, for the test letter.
    QString loadedMailHost, loadedMailUser, loadedMailPassword, mailTimeout, mailCaFile;
    bool mailPasswordInFile = false;
    LetterSender letterSender;
    QFutureWatcher<QString> mailCheck;
    std::shared_ptr<std::atomic<bool>> mailStop;
};
