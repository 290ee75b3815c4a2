// Parsing database URLs and choosing the database.
#include "storage/database_url.h"

#include "storage/settings.h"

#include <QDir>
#include <QUrl>
#include <QUrlQuery>

namespace {

DatabaseUrl invalid(const QString &text, const QString &why)
{
    DatabaseUrl url;
    url.text = text;
    url.error = QStringLiteral("Адрес базы данных «%1» не понят: %2. Нужен вид "
                               "sqlite:///полный/путь/файл.sqlite или "
                               "postgresql://пользователь@сервер/база.")
                    .arg(text, why);
    return url;
}

} // namespace

DatabaseUrl DatabaseUrl::sqliteFile(const QString &path)
{
    DatabaseUrl url;
    url.kind = Sqlite;
    url.path = QDir::cleanPath(path);
    url.text = QStringLiteral("sqlite://") + url.path;
    return url;
}

DatabaseUrl DatabaseUrl::parse(const QString &given)
{
    const QString text = given.trimmed();
    if (text.isEmpty())
        return invalid(text, QStringLiteral("адрес пуст"));
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid())
        return invalid(text, QStringLiteral("в нём ошибка (%1)").arg(url.errorString()));
    const QString scheme = url.scheme().toLower();

    if (scheme == QLatin1String("sqlite")) {
        if (!url.host().isEmpty() || url.hasQuery() || url.hasFragment())
            return invalid(text,
                           QStringLiteral("после «sqlite://» идёт сразу полный путь к файлу, "
                                          "например sqlite:///home/user/printcalc.sqlite"));
        const QString path = url.path(QUrl::FullyDecoded);
        if (!QDir::isAbsolutePath(path) || path.endsWith(QLatin1Char('/')))
            return invalid(text, QStringLiteral("путь к файлу должен быть полным"));
        DatabaseUrl result = sqliteFile(path);
        result.text = text;
        return result;
    }

    if (scheme != QLatin1String("postgresql") && scheme != QLatin1String("postgres"))
        return invalid(text,
                       scheme.isEmpty()
                           ? QStringLiteral("нет вида базы в начале")
                           : QStringLiteral("вид базы «%1» не поддерживается").arg(scheme));

    DatabaseUrl result;
    result.kind = Postgres;
    result.text = text;
    result.host = url.host(QUrl::FullyDecoded);
    result.port = url.port(-1);
    result.user = url.userName(QUrl::FullyDecoded);
    result.password = url.password(QUrl::FullyDecoded);
    result.database = url.path(QUrl::FullyDecoded).mid(1);
    if (result.database.contains(QLatin1Char('/')))
        return invalid(text, QStringLiteral("имя базы не может содержать «/»"));
    const QUrlQuery query(url);
    for (const auto &item : query.queryItems(QUrl::FullyDecoded)) {
        const QString key = item.first;
        const QString value = item.second;
        if (key.isEmpty() || key.contains(QLatin1Char(' ')))
            return invalid(text, QStringLiteral("параметр «%1» не понят").arg(key));
        if (key == QLatin1String("host"))
            result.host = value;
        else if (key == QLatin1String("port")) {
            bool ok = false;
            result.port = value.toInt(&ok);
            if (!ok || result.port <= 0 || result.port > 65535)
                return invalid(text, QStringLiteral("порт «%1» не число от 1 до 65535").arg(value));
        } else if (key == QLatin1String("user"))
            result.user = value;
        else if (key == QLatin1String("password"))
            result.password = value;
        else if (key == QLatin1String("dbname"))
            result.database = value;
        else
            result.options.append(key + QLatin1Char('=') + value);
    }
    if (result.database.isEmpty())
        return invalid(text, QStringLiteral("не указано имя базы"));
    return result;
}

QString DatabaseUrl::display() const
{
    if (kind == Sqlite)
        return QStringLiteral("sqlite://") + path;
    if (kind == Invalid || password.isEmpty())
        return text;
    QUrl url(text);
    if (!url.password().isEmpty())
        url.setPassword(QStringLiteral("***"));
    QUrlQuery query(url);
    if (query.hasQueryItem(QStringLiteral("password"))) {
        query.removeAllQueryItems(QStringLiteral("password"));
        query.addQueryItem(QStringLiteral("password"), QStringLiteral("***"));
        url.setQuery(query);
    }
    return url.toString();
}

QString defaultDatabasePath()
{
    QString base = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"));
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/printcalc/printcalc.sqlite");
}

QString databaseArgument(const QStringList &arguments, bool *given)
{
    const QString option = QStringLiteral("--database");
    QString value;
    bool found = false;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == option) {
            found = true;
            value = i + 1 < arguments.size() ? arguments.at(i + 1) : QString();
            ++i;
        } else if (argument.startsWith(option + QLatin1Char('='))) {
            found = true;
            value = argument.mid(option.size() + 1);
        }
    }
    if (given)
        *given = found;
    return value;
}

DatabaseChoice chooseDatabase(const QStringList &arguments, const Settings &settings)
{
    DatabaseChoice choice;
    bool given = false;
    const QString argument = databaseArgument(arguments, &given);
    if (given) {
        choice.source = QStringLiteral("--database");
        choice.url = DatabaseUrl::parse(argument);
        return choice;
    }
    const QString environment = QString::fromLocal8Bit(qgetenv("PRINTCALC_DATABASE")).trimmed();
    if (!environment.isEmpty()) {
        choice.source = QStringLiteral("PRINTCALC_DATABASE");
        choice.url = DatabaseUrl::parse(environment);
        return choice;
    }
    const QString configured = settings.databaseUrl();
    if (!configured.isEmpty()) {
        choice.source = settings.path();
        choice.url = DatabaseUrl::parse(configured);
        return choice;
    }
    choice.url = DatabaseUrl::sqliteFile(defaultDatabasePath());
    return choice;
}

QString localOrderPath(const DatabaseUrl &shop)
{
    return shop.kind == DatabaseUrl::Sqlite ? shop.path : defaultDatabasePath();
}
