// The shop database's password kept out of the settings file: in libpq's password file
// (`$PGPASSFILE`, else `~/.pgpass`, mode 0600), where libpq finds it by itself on connecting.
#pragma once

#include "storage/database_url.h"

#include <QString>
#include <QStringList>

// Where libpq reads passwords.
QString passwordFilePath();
// host:port:database:user:password as libpq matches it (":" and "\" escaped); a field the URL
// leaves out is what libpq would use: localhost, any port, the system's user name.
QString passwordFileLine(const DatabaseUrl &url, const QString &password);
// Keeps the URL's password in the password file: a line for the same host, port, database and
// user is replaced, the same line is not written twice. False with the reason in Russian.
bool keepDatabasePassword(const DatabaseUrl &url, QString *error);
// The URL's text without its password, in the user part or in the query.
QString urlWithoutPassword(const QString &text);
// A settings file's database URL that holds a password: the password goes to the password file
// and the file keeps the URL without it, every other line as it was. Empty when nothing had to
// move or it moved; otherwise why not (nothing is changed then).
QString movePasswordOutOfSettings(const QString &settingsPath);
