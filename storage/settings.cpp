// Settings in an INI file under the XDG configuration folder.
#include "storage/settings.h"

#include <QDir>
#include <QSysInfo>

namespace {

const QString DatabaseKey = QStringLiteral("database/url");
const QString CounterKey = QStringLiteral("counter/name");
const QString NextNumberKey = QStringLiteral("invoices/next_number");

} // namespace

Settings::Settings()
    : Settings(defaultPath())
{ }

Settings::Settings(const QString &path)
    : settings(path, QSettings::IniFormat)
{
    // Counter names and paths are Russian text; the file stays readable in any editor.
    settings.setIniCodec("UTF-8");
}

QString Settings::defaultPath()
{
    QString base = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/printcalc/printcalc.ini");
}

QString Settings::databaseUrl() const
{
    return settings.value(DatabaseKey).toString().trimmed();
}

void Settings::setDatabaseUrl(const QString &url)
{
    settings.setValue(DatabaseKey, url);
}

QString Settings::counterName() const
{
    const QString name = settings.value(CounterKey).toString().trimmed();
    return name.isEmpty() ? QSysInfo::machineHostName() : name;
}

void Settings::setCounterName(const QString &name)
{
    settings.setValue(CounterKey, name);
}

int Settings::nextInvoiceNumber() const
{
    return qMax(1, settings.value(NextNumberKey, 1).toInt());
}

void Settings::setNextInvoiceNumber(int number)
{
    settings.setValue(NextNumberKey, number);
}

bool Settings::sync()
{
    settings.sync();
    return settings.status() == QSettings::NoError;
}
