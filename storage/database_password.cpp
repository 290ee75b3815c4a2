// The password file written as libpq reads it, and the settings file's password moved there.
#include "storage/database_password.h"

#include "storage/mail_password.h"

#include "storage/settings_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QUrlQuery>

#include <pwd.h>
#include <unistd.h>

namespace {

const QString UrlKey = QStringLiteral("database/url");

QString systemUser()
{
    const passwd *entry = getpwuid(geteuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString::fromLocal8Bit(qgetenv("USER"));
}

} // namespace

QString passwordFilePath()
{
    const QString given = QString::fromLocal8Bit(qgetenv("PGPASSFILE"));
    return given.isEmpty() ? QDir::homePath() + QStringLiteral("/.pgpass") : given;
}

QString passwordFileLine(const DatabaseUrl &url, const QString &password)
{
    const QStringList fields {url.host.isEmpty() ? QStringLiteral("localhost") : url.host,
                              url.port > 0 ? QString::number(url.port) : QStringLiteral("*"),
                              url.database, url.user.isEmpty() ? systemUser() : url.user};
    QStringList line;
    for (const QString &field : fields)
        line.append(field == QLatin1String("*") ? field : passwordFileField(field));
    line.append(passwordFileField(password));
    return line.join(QLatin1Char(':'));
}

bool keepDatabasePassword(const DatabaseUrl &url, QString *error)
{
    const QString path = passwordFilePath();
    const QString line = passwordFileLine(url, url.password);
    // The four fields before the password, with their colon.
    const QString key = line.left(line.size() - passwordFileField(url.password).size());
    QStringList lines;
    QFile current(path);
    if (current.exists()) {
        if (!current.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("Файл паролей %1 не прочитать: %2")
                         .arg(QDir::toNativeSeparators(path), current.errorString());
            return false;
        }
        lines = QString::fromUtf8(current.readAll()).split(QLatin1Char('\n'));
        current.close();
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
    }
    bool placed = false;
    QStringList out;
    for (const QString &existing : qAsConst(lines)) {
        // libpq takes the first line that matches: an older password must not stay before.
        if (existing.startsWith(key) && existing != line) {
            if (!placed)
                out.append(line);
            placed = true;
            continue;
        }
        if (existing == line) {
            if (placed)
                continue;
            placed = true;
        }
        out.append(existing);
    }
    if (!placed)
        out.append(line);
    if (out == lines
        && QFileInfo(path).permissions()
            == (QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
                | QFileDevice::WriteUser))
        return true;
    // libpq ignores a password file that others may read.
    return writeOwnerOnlyLines(path, out, QStringLiteral("Файл паролей"), error);
}

QString urlWithoutPassword(const QString &text)
{
    QUrl url(text.trimmed(), QUrl::StrictMode);
    url.setPassword(QString());
    QUrlQuery query(url);
    if (query.hasQueryItem(QStringLiteral("password"))) {
        query.removeAllQueryItems(QStringLiteral("password"));
        url.setQuery(query.isEmpty() ? QString() : query.query(QUrl::FullyEncoded),
                     QUrl::StrictMode);
    }
    return url.toString(QUrl::EncodeSpaces);
}

QString movePasswordOutOfSettings(const QString &settingsPath)
{
    SettingsFile settings(settingsPath);
    if (!settings.problem().isEmpty() || !settings.contains(UrlKey))
        return QString();
    const QString text = settings.value(UrlKey).toString();
    const DatabaseUrl url = DatabaseUrl::parse(text);
    if (url.kind != DatabaseUrl::Postgres || url.password.isEmpty())
        return QString();
    QString error;
    if (!keepDatabasePassword(url, &error))
        return error;
    settings.setValue(UrlKey, urlWithoutPassword(text));
    if (!settings.save())
        return QStringLiteral("Файл настроек %1 не записан: пароль базы остался в нём.")
            .arg(QDir::toNativeSeparators(settingsPath));
    return QString();
}
