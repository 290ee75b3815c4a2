// Which database the program uses, and how it is named: `sqlite:///absolute/path/file.sqlite` or a
// libpq connection URI (`postgresql://[user[:password]@][host][:port]/dbname[?host=/socket/dir]`).
// Chosen by --database, else PRINTCALC_DATABASE, else the settings file, else the default file.
#pragma once

#include <QString>
#include <QStringList>

class Settings;

struct DatabaseUrl
{
    enum Kind { Invalid, Sqlite, Postgres };

    Kind kind = Invalid;
    QString text; // as given
    QString error; // why it is not understood, for the operator (Russian)

    QString path; // SQLite: the file
    // PostgreSQL: what libpq takes; empty host means its default socket folder.
    QString host;
    int port = -1;
    QString user;
    QString password;
    QString database;
    QStringList options; // further "key=value" connection parameters, values as decoded

    static DatabaseUrl parse(const QString &text);
    static DatabaseUrl sqliteFile(const QString &path);

    bool isValid() const { return kind != Invalid; }
    // The URL with *** for its password, for messages, `--check` and the settings dialog; a text
    // that is no URL is masked as well as it can be read.
    QString display() const;
    // The further parameters for QSqlDatabase::setConnectOptions, each value quoted for libpq, so
    // that no value can bring a keyword of its own.
    QString connectOptions() const;
    bool hasOption(const QString &key) const;

    // The settings dialog's halves of a URL: the text with *** for its password, and the
    // password; joined again, a *** or a missing password takes the password given.
    static QString withoutPassword(const QString &text, QString *password);
    static QString withPassword(const QString &shown, const QString &password);
};

// A value as libpq's connection strings take it: in single quotes, with backslash and quote
// escaped by a backslash.
QString libpqQuoted(const QString &value);

// $XDG_DATA_HOME/printcalc/printcalc.sqlite, or ~/.local/share/... when the variable is unset.
QString defaultDatabasePath();

// Why the program has nowhere to keep its settings and the counter's order (no home folder and
// no XDG folders in its stead), in Russian; empty when it has.
QString homeProblem();

struct DatabaseChoice
{
    DatabaseUrl url;
    QString source; // "--database", "PRINTCALC_DATABASE", the settings file's path, or "" (default)
};

// The command line's `--database URL` or `--database=URL`; empty when not given. A `--database`
// without a value gives "--database" itself back so that the caller reports it.
QString databaseArgument(const QStringList &arguments, bool *given = nullptr);

DatabaseChoice chooseDatabase(const QStringList &arguments, const Settings &settings);

// Where the counter keeps its current order: the shop's SQLite file when the shop uses one, the
// default file otherwise (always local, never over the network).
QString localOrderPath(const DatabaseUrl &shop);
