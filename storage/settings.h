// The program's settings file, ~/.config/printcalc/printcalc.ini (honouring XDG_CONFIG_HOME), in
// INI form so that an administrator can edit it by hand. The file is the shop's: the program reads
// it and writes it only when the operator saves the settings dialog. What the program keeps for
// itself goes to ProgramState, beside the counter's database file.
#pragma once

#include "operators/audit_chain.h"
#include "order/invoice_foot.h"
#include "storage/settings_file.h"

#include <QString>
#include <QVector>

class Settings
{
public:
    // The user's settings file.
    Settings();
    // Another file, for tests and tools.
    explicit Settings(const QString &path);

    // $XDG_CONFIG_HOME/printcalc/printcalc.ini, or ~/.config/... when the variable is unset.
    static QString defaultPath();
    QString path() const { return file.path(); }
    // Empty when the file was read as it is; otherwise what the window should tell, naming the
    // line (a file not in UTF-8 is not used at all, a next number that is none is left out).
    QString problem() const;

    // The shop database (a URL as --database takes it); empty when the file names none.
    QString databaseUrl() const;
    void setDatabaseUrl(const QString &url);

    // The name this counter PC goes by in the journal: the host name unless the file names one.
    QString counterName() const;
    void setCounterName(const QString &name);

    // `[invoices] next_number`: the lowest number the next invoice may take, 1 when absent.
    qint64 nextInvoiceNumber() const;
    void setNextInvoiceNumber(qint64 number);

    // `[requisites] settlementAccount`: the shop's account that bank payments come to; empty
    // when the file names none.
    QString settlementAccount() const;
    // Empty when the account is 20 digits and, where `[requisites] bik` is set, its key holds
    // against the bank; otherwise the sentence for the administrator.
    QString settlementAccountProblem() const;
    // `[requisites] name`, `address` and `hours` (free text, else made of the working days and
    // `[orders] opensAt`, `closesAt`): what a customer's mail names.
    QString shopName() const;
    QString shopAddress() const;
    QString shopHours() const;
    // Section "tax": the shop's tax, with a change from a day; given false without the section.
    TaxSettings tax() const;

    // `[orders] workingDays` ("1,2,3,4,5", Monday 1 to Sunday 7) and `dueHour` (0 to 23): when an
    // order is promised by default. Monday to Friday at 12 when absent or not readable.
    QVector<int> workingDays() const;
    int dueHour() const;

    // `[mail]` `host`, `port`, `security`, `user`, `password`, `sender`, `timeout`: the shop's
    // SMTP server for customers' mail, as the file spells it (the mail library reads the words).
    QString mailValue(const QString &key) const;
    // The login's password: `[mail] password` where the file still holds one (written by hand),
    // else the mail password file's line for the host and login.
    QString mailPassword() const;
    // `[mail] owner`: where each Z report's head of the audit trail goes; empty: nowhere.
    QString ownerMail() const { return mailValue(QStringLiteral("owner")).trimmed(); }

    // `[operators] idleMinutes`: the window locks after this many minutes without input (10 when
    // absent or no whole number above zero); `[operators] discountCap`: the percent of a
    // customer's discount an operator gives without a manager (10 when absent).
    int idleMinutes() const;
    int discountCap() const;

    // Writes the keys set here into the file; false if the file cannot be written.
    bool sync();

private:
    SettingsFile file;
};

// What the program keeps for itself: `state.ini` in the folder of the counter's SQLite file.
// Holds the copy of the next invoice number, so that numbering goes on after a database file is
// lost or replaced.
class ProgramState
{
public:
    explicit ProgramState(const QString &localDatabasePath);

    QString path() const { return filePath; }
    // 1 when nothing is kept yet.
    qint64 nextInvoiceNumber() const;
    // Raises the kept number to next; a lower one changes nothing.
    bool keepNextInvoiceNumber(qint64 next);
    // The template the last export that succeeded was made from; empty when none was.
    QString templatePath() const;
    bool keepTemplatePath(const QString &path);
    // The audit trail's head this counter saw last in the database named (its URL without the
    // password): count 0 when none is kept. A head is only ever moved on.
    AuditHead auditHead(const QString &database) const;
    bool keepAuditHead(const QString &database, const AuditHead &head);
    // What was found broken when the head was to move on: kept from the first time, never
    // overwritten, so that the next records cannot cover it up. Empty while nothing was.
    QString auditBreak(const QString &database) const;
    bool keepAuditBreak(const QString &database, const QString &problem);
    // The operator who signed in last at this counter; empty when none did.
    QString lastOperator() const;
    bool keepLastOperator(const QString &name);

private:
    QString filePath;
};

// The highest invoice number that may be issued; one more still fits in 64 bits.
constexpr qint64 MaxInvoiceNumber = 9223372036854775806LL;
