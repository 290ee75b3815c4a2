// The program's settings file, ~/.config/printcalc/printcalc.ini (honouring XDG_CONFIG_HOME), in
// INI form so that an administrator can edit it by hand. One small class that every part of the
// program extends with its own keys.
#pragma once

#include <QSettings>
#include <QString>

class Settings
{
public:
    // The user's settings file.
    Settings();
    // Another file, for tests and tools.
    explicit Settings(const QString &path);

    // $XDG_CONFIG_HOME/printcalc/printcalc.ini, or ~/.config/... when the variable is unset.
    static QString defaultPath();
    QString path() const { return settings.fileName(); }

    // The shop database (a URL as --database takes it); empty when the file names none.
    QString databaseUrl() const;
    void setDatabaseUrl(const QString &url);

    // The name this counter PC goes by in the journal: the host name unless the file names one.
    QString counterName() const;
    void setCounterName(const QString &name);

    // The lowest number the next invoice may take. Kept here as well as in the database, so that
    // numbering goes on after a database file is lost or replaced.
    int nextInvoiceNumber() const;
    void setNextInvoiceNumber(int number);

    // Writes pending changes to the file; false if the file cannot be written.
    bool sync();

protected:
    mutable QSettings settings;
};
