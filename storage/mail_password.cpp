// The password file's lines, written whole beside the old file and put in its place.
#include "storage/mail_password.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

namespace {

// The fields of a line, the escapes undone.
QStringList fieldsOf(const QString &line)
{
    QStringList fields {QString()};
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == QLatin1Char('\\') && i + 1 < line.size())
            fields.last().append(line.at(++i));
        else if (c == QLatin1Char(':') && fields.size() < 3)
            fields.append(QString());
        else
            fields.last().append(c);
    }
    return fields;
}

QStringList linesOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

QString mailPasswordFilePath(const QString &settingsPath)
{
    return QFileInfo(settingsPath).absolutePath() + QStringLiteral("/mail-passwords");
}

QString readMailPassword(const QString &settingsPath, const QString &host, const QString &user)
{
    for (const QString &line : linesOf(mailPasswordFilePath(settingsPath))) {
        const QStringList fields = fieldsOf(line);
        if (fields.size() == 3 && fields.at(0) == host.trimmed() && fields.at(1) == user.trimmed())
            return fields.at(2);
    }
    return QString();
}

bool keepMailPassword(const QString &settingsPath, const QString &host, const QString &user,
                      const QString &password, QString *error)
{
    const QString path = mailPasswordFilePath(settingsPath);
    const QStringList lines = linesOf(path);
    QStringList out;
    for (const QString &line : lines) {
        const QStringList fields = fieldsOf(line);
        if (fields.size() == 3 && fields.at(0) == host.trimmed() && fields.at(1) == user.trimmed())
            continue;
        out.append(line);
    }
    if (!password.isEmpty())
        out.append(passwordFileField(host.trimmed()) + QLatin1Char(':')
                   + passwordFileField(user.trimmed()) + QLatin1Char(':')
                   + passwordFileField(password));
    if (out == lines)
        return true;
    QDir().mkpath(QFileInfo(path).absolutePath());
    return writeOwnerOnlyLines(path, out, QStringLiteral("Файл паролей почты"), error);
}

QString passwordFileField(QString field)
{
    field.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    field.replace(QLatin1Char(':'), QLatin1String("\\:"));
    return field;
}

bool writeOwnerOnlyLines(const QString &path, const QStringList &lines, const QString &what,
                         QString *error)
{
    QSaveFile file(path);
    const QByteArray data = lines.isEmpty()
        ? QByteArray()
        : (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    if (!file.open(QIODevice::WriteOnly)
        || !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        || file.write(data) != data.size() || !file.commit()) {
        *error = QStringLiteral("%1 %2 не записан: %3")
                     .arg(what, QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    return QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}
