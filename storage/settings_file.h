// The shop's settings file as the administrator keeps it: read once, used only when it is UTF-8
// text, and written key by key, so that comments, other keys, their order and their spelling stay
// as they were. It may hold the database's password: whenever it is written, only its owner may
// read it (mode 0600).
#pragma once

#include <QMap>
#include <QString>
#include <QVariant>

class SettingsFile
{
public:
    explicit SettingsFile(const QString &path);

    QString path() const { return filePath; }
    // Empty when the file is usable or absent; otherwise why it is not used, naming the line. Such
    // a file reads as empty (the built-in settings hold) and is never written.
    QString problem() const { return trouble; }

    bool contains(const QString &key) const;
    QVariant value(const QString &key, const QVariant &fallback = QVariant()) const;
    // A free text as the line holds it: a comma the administrator typed without quotes makes
    // QSettings read a list, which is joined back.
    QString text(const QString &key) const;
    void setValue(const QString &key, const QVariant &value);
    void remove(const QString &key);

    // Writes the keys changed since the file was read (QSettings' INI spelling, "section/key") and
    // leaves every other line alone. False when it cannot be written or is not used.
    bool save();

private:
    QString filePath;
    QString trouble;
    QMap<QString, QVariant> values;
    QMap<QString, QVariant> changes; // an invalid value: the key goes
};
