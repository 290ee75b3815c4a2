// Parsing database URLs and choosing the database.
#include "storage/database_url.h"

#include "storage/settings.h"

#include <QDir>
#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

namespace {

const QString Mask = QStringLiteral("***");
const QString PasswordKey = QStringLiteral("password");

// A text that did not parse: whatever may be a password goes, a little more rather than less.
QString maskedLoosely(const QString &text)
{
    QString masked = text;
    const int authority = masked.indexOf(QLatin1String("://"));
    if (authority >= 0) {
        const int colon = masked.indexOf(QLatin1Char(':'), authority + 3);
        const int at = masked.lastIndexOf(QLatin1Char('@'));
        if (colon >= 0 && at > colon + 1)
            masked.replace(colon + 1, at - colon - 1, Mask);
    }
    static const QRegularExpression query(QStringLiteral("([?&]password=)[^&#]*"),
                                          QRegularExpression::CaseInsensitiveOption);
    masked.replace(query, QStringLiteral("\\1***"));
    return masked;
}

// A URL that parsed, with *** for its password in the user part and in the query.
QString masked(const QString &text, QString *password)
{
    QUrl url(text, QUrl::StrictMode);
    QString found;
    if (!url.password().isEmpty()) {
        found = url.password(QUrl::FullyDecoded);
        url.setPassword(Mask);
    }
    QUrlQuery query(url);
    if (query.hasQueryItem(PasswordKey)) {
        auto items = query.queryItems(QUrl::FullyEncoded);
        for (auto &item : items)
            if (QUrl::fromPercentEncoding(item.first.toUtf8()) == PasswordKey) {
                found = QUrl::fromPercentEncoding(item.second.toUtf8());
                item.second = Mask;
            }
        query.setQueryItems(items);
        url.setQuery(query);
    }
    if (password)
        *password = found;
    // Blanks decoded would make the text no URL the next time it is read.
    return url.toString(QUrl::EncodeSpaces);
}

DatabaseUrl invalid(const QString &text, const QString &why)
{
    DatabaseUrl url;
    url.text = text;
    url.error = QStringLiteral("Адрес базы данных «%1» не понят: %2. Нужен вид "
                               "sqlite:///полный/путь/файл.sqlite или "
                               "postgresql://пользователь@сервер/база.")
                    .arg(maskedLoosely(text), why);
    return url;
}

// libpq's keywords are lower-case words joined by underscores.
bool isKeyword(const QString &key)
{
    static const QRegularExpression word(QStringLiteral("^[a-z_]+$"));
    return word.match(key).hasMatch();
}

} // namespace

QString libpqQuoted(const QString &value)
{
    QString quoted = value;
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    quoted.replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

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
    // Qt's own words end with the whole text, password and all.
    if (!url.isValid())
        return invalid(text,
                       QStringLiteral("в нём ошибка (%1)")
                           .arg(url.errorString().section(QStringLiteral("; source was"), 0, 0)));
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
        if (!isKeyword(key))
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
        else if (value.contains(QLatin1Char(';')))
            // Qt's driver turns every ";" of the further parameters into a blank.
            return invalid(text,
                           QStringLiteral("в значении параметра «%1» не может быть «;»").arg(key));
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
    if (kind == Invalid)
        return maskedLoosely(text);
    if (password.isEmpty())
        return text;
    return masked(text, nullptr);
}

bool DatabaseUrl::hasOption(const QString &key) const
{
    for (const QString &option : options)
        if (option.section(QLatin1Char('='), 0, 0) == key)
            return true;
    return false;
}

QString DatabaseUrl::connectOptions() const
{
    QStringList quoted;
    for (const QString &option : options) {
        const int equals = option.indexOf(QLatin1Char('='));
        quoted.append(option.left(equals) + QLatin1Char('=') + libpqQuoted(option.mid(equals + 1)));
    }
    return quoted.join(QLatin1Char(';'));
}

QString DatabaseUrl::withoutPassword(const QString &given, QString *password)
{
    const QString text = given.trimmed();
    password->clear();
    const DatabaseUrl url = parse(text);
    if (url.kind == Sqlite || text.isEmpty())
        return text;
    if (url.kind == Invalid)
        return maskedLoosely(text);
    return masked(text, password);
}

QString DatabaseUrl::withPassword(const QString &given, const QString &password)
{
    const QString shown = given.trimmed();
    QUrl url(shown, QUrl::StrictMode);
    if (parse(shown).kind != Postgres)
        return shown;
    bool placed = false;
    bool typed = false;
    if (!url.password().isEmpty()) {
        if (url.password(QUrl::FullyDecoded) == Mask) {
            url.setPassword(password.isEmpty() ? QString() : password, QUrl::DecodedMode);
            placed = true;
        } else {
            typed = true; // typed into the URL itself: kept as typed
        }
    }
    QUrlQuery query(url);
    if (query.hasQueryItem(PasswordKey)) {
        QList<QPair<QString, QString>> items;
        for (const auto &item : query.queryItems(QUrl::FullyEncoded)) {
            if (QUrl::fromPercentEncoding(item.first.toUtf8()) != PasswordKey) {
                items.append(item);
            } else if (QUrl::fromPercentEncoding(item.second.toUtf8()) != Mask) {
                typed = true;
                items.append(item);
            } else {
                placed = true;
                if (!password.isEmpty())
                    items.append(
                        {item.first, QString::fromLatin1(QUrl::toPercentEncoding(password))});
            }
        }
        query.setQueryItems(items);
    }
    if (!placed && !typed && !password.isEmpty()) {
        if (!url.userName().isEmpty())
            url.setPassword(password, QUrl::DecodedMode);
        else
            query.addQueryItem(PasswordKey, QString::fromLatin1(QUrl::toPercentEncoding(password)));
    }
    url.setQuery(query.isEmpty() ? QString() : query.query(QUrl::FullyEncoded), QUrl::StrictMode);
    return url.toString(QUrl::EncodeSpaces);
}

QString defaultDatabasePath()
{
    QString base = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"));
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/printcalc/printcalc.sqlite");
}

QString homeProblem()
{
    const auto absolute = [](const char *name) {
        const QString value = QString::fromLocal8Bit(qgetenv(name));
        return !value.isEmpty() && QDir::isAbsolutePath(value);
    };
    if (absolute("HOME") || (absolute("XDG_CONFIG_HOME") && absolute("XDG_DATA_HOME")))
        return QString();
    return QStringLiteral("Не задана домашняя папка (переменная HOME): программе негде хранить "
                          "настройки и заказ стойки. Запустите её от пользователя с домашней "
                          "папкой или задайте HOME (либо XDG_CONFIG_HOME и XDG_DATA_HOME).");
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
