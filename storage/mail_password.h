// The mail server's password kept out of the settings file, as the database's is kept out of it:
// in a file of its own beside the settings file (`mail-passwords`, mode 0600), one line
// `host:user:password` per server and login, ":" and "\" escaped with "\".
#pragma once

#include <QString>
#include <QStringList>

QString mailPasswordFilePath(const QString &settingsPath);
// Empty when the file has no line for the server and login.
QString readMailPassword(const QString &settingsPath, const QString &host, const QString &user);
// Replaces the line of the server and login (an empty password removes it); the file stays its
// owner's alone. False with the reason in Russian.
bool keepMailPassword(const QString &settingsPath, const QString &host, const QString &user,
                      const QString &password, QString *error);

// Shared with the database's password file: a field of a line, its ':' and '\' escaped as libpq
// reads them, and the lines written whole into an owner-only file (its mode set before a byte is
// written), false with "<what> <path> не записан: <why>".
QString passwordFileField(QString field);
bool writeOwnerOnlyLines(const QString &path, const QStringList &lines, const QString &what,
                         QString *error);
