// The settings file read through QSettings and changed line by line.
#include "storage/settings_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextCodec>

namespace {

const QByteArray Bom("\xEF\xBB\xBF");
const QString General = QStringLiteral("[General]");

// The first line (counted from 1) that is no UTF-8 text; 0 when every line is.
int firstLineNotUtf8(const QByteArray &data)
{
    QTextCodec *utf8 = QTextCodec::codecForName("UTF-8");
    const QList<QByteArray> lines = data.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        QTextCodec::ConverterState state;
        utf8->toUnicode(lines.at(i).constData(), lines.at(i).size(), &state);
        if (state.invalidChars > 0 || state.remainingChars > 0)
            return i + 1;
    }
    return 0;
}

QString notUtf8(const QString &path, int line)
{
    return QStringLiteral("Файл настроек %1 не в кодировке UTF-8 (строка %2): программа работает "
                          "с настройками по умолчанию и этот файл не меняет. Сохраните его в "
                          "UTF-8.")
        .arg(QDir::toNativeSeparators(path))
        .arg(line);
}

struct KeyLine
{
    QString section; // the header as written, "[General]" for keys outside any section
    QString key; // the key as written in its section
    QString line; // "key=value" as QSettings writes it
};

// How QSettings spells one key with its value, learnt from a scratch file of its own, so that
// the file reads back exactly as if QSettings had written it.
KeyLine spelled(const QString &key, const QVariant &value, const QString &scratch)
{
    {
        QSettings out(scratch, QSettings::IniFormat);
        out.setIniCodec("UTF-8");
        out.setValue(key, value.isValid() ? value : QVariant(QString()));
        out.sync();
    }
    QFile file(scratch);
    KeyLine result {General, QString(), QString()};
    if (!file.open(QIODevice::ReadOnly))
        return result;
    for (const QString &raw : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        const int equals = line.indexOf(QLatin1Char('='));
        if (line.startsWith(QLatin1Char('['))) {
            result.section = line;
        } else if (equals > 0) {
            result.key = line.left(equals).trimmed();
            result.line = line;
            break;
        }
    }
    return result;
}

// The file's lines with one key written (keep) or taken out. A key already there is written in
// its place; a new one at the end of its section, or in a new section at the end.
QStringList withKey(const QStringList &lines, const KeyLine &key, bool keep, const QString &eol)
{
    QStringList out;
    QString section = General;
    int sectionEnd = -1; // in out: the last line that is not blank of the key's section
    bool written = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            section = line;
            out.append(lines.at(i));
            if (section == key.section)
                sectionEnd = out.size() - 1;
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        const bool comment = line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#'));
        if (section != key.section || comment || equals <= 0
            || line.left(equals).trimmed() != key.key) {
            out.append(lines.at(i));
            if (section == key.section && !line.isEmpty())
                sectionEnd = out.size() - 1;
            continue;
        }
        // A value continued over lines ends each but its last with a backslash.
        while (lines.at(i).trimmed().endsWith(QLatin1Char('\\')) && i + 1 < lines.size())
            ++i;
        if (keep && !written) {
            out.append(key.line + eol);
            sectionEnd = out.size() - 1;
            written = true;
        }
    }
    if (keep && !written) {
        if (sectionEnd >= 0) {
            out.insert(sectionEnd + 1, key.line + eol);
        } else {
            if (!out.isEmpty() && !out.last().trimmed().isEmpty())
                out.append(eol);
            out.append(key.section + eol);
            out.append(key.line + eol);
        }
    }
    return out;
}

} // namespace

SettingsFile::SettingsFile(const QString &path)
    : filePath(path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return; // absent: the built-in settings
    const int bad = firstLineNotUtf8(file.readAll());
    if (bad > 0) {
        trouble = notUtf8(path, bad);
        return;
    }
    QSettings settings(path, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    const QStringList keys = settings.allKeys();
    for (const QString &key : keys)
        values.insert(key, settings.value(key));
}

bool SettingsFile::contains(const QString &key) const
{
    return values.contains(key);
}

QVariant SettingsFile::value(const QString &key, const QVariant &fallback) const
{
    return values.value(key, fallback);
}

QString SettingsFile::text(const QString &key) const
{
    const QVariant value = values.value(key);
    return value.type() == QVariant::StringList ? value.toStringList().join(QStringLiteral(", "))
                                                : value.toString();
}

void SettingsFile::setValue(const QString &key, const QVariant &value)
{
    // The same value again leaves the line as the administrator wrote it.
    const bool scalar = value.type() != QVariant::StringList && value.type() != QVariant::List
        && value.type() != QVariant::Map;
    if (scalar && !changes.contains(key) && values.contains(key)
        && values.value(key).toString() == value.toString())
        return;
    values.insert(key, value);
    changes.insert(key, value);
}

void SettingsFile::remove(const QString &key)
{
    if (!values.contains(key) && !changes.contains(key))
        return;
    values.remove(key);
    changes.insert(key, QVariant());
}

bool SettingsFile::save()
{
    if (!trouble.isEmpty())
        return false;
    QByteArray data;
    QFile current(filePath);
    if (current.exists()) {
        if (!current.open(QIODevice::ReadOnly))
            return false;
        data = current.readAll();
        current.close();
    }
    // Changed by hand since it was read: still never rewritten as anything but UTF-8.
    const int bad = firstLineNotUtf8(data);
    if (bad > 0) {
        trouble = notUtf8(filePath, bad);
        return false;
    }
    const bool bom = data.startsWith(Bom);
    const QString text = QString::fromUtf8(bom ? data.mid(Bom.size()) : data);
    const QString eol = text.contains(QLatin1String("\r\n")) ? QStringLiteral("\r") : QString();
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.last().isEmpty())
        lines.removeLast();

    QTemporaryDir scratch;
    if (!scratch.isValid())
        return false;
    int count = 0;
    for (auto it = changes.cbegin(); it != changes.cend(); ++it)
        lines
            = withKey(lines,
                      spelled(it.key(), it.value(),
                              scratch.filePath(QString::number(count++) + QStringLiteral(".ini"))),
                      it.value().isValid(), eol);
    QByteArray out = bom ? Bom : QByteArray();
    for (const QString &line : qAsConst(lines))
        out += line.toUtf8() + '\n';

    if (!QDir().mkpath(QFileInfo(filePath).absolutePath()))
        return false;
    const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    QSaveFile file(filePath);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // Before the first byte: the new file is never readable by others, not even for a moment.
    file.setPermissions(ownerOnly);
    if (file.write(out) != out.size() || !file.commit())
        return false;
    if (!QFile::setPermissions(filePath, ownerOnly))
        return false;
    changes.clear();
    return true;
}
