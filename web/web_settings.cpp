// The [web] section read with its defaults.
#include "web/web_settings.h"

#include "storage/settings_file.h"
#include "storage/shop_week.h"
#include "storage/tax_settings.h"

namespace {

QStringList listOf(const QVariant &value)
{
    // QSettings' INI reading gives a comma-separated value as a list already.
    QStringList items = value.type() == QVariant::StringList
        ? value.toStringList()
        : value.toString().split(QLatin1Char(','));
    QStringList trimmed;
    for (const QString &item : qAsConst(items)) {
        if (!item.trimmed().isEmpty())
            trimmed << item.trimmed();
    }
    return trimmed;
}

} // namespace

WebSettings WebSettings::read(const SettingsFile &file)
{
    WebSettings settings;
    settings.listen = file.value(QStringLiteral("web/listen")).toString();
    settings.origins = listOf(file.value(QStringLiteral("web/origins")));
    settings.trustedProxies = listOf(file.value(QStringLiteral("web/trustedProxies")));
    const auto number = [&file](const char *key, qint64 fallback) {
        bool ok = false;
        const qint64 value = file.value(QLatin1String(key)).toLongLong(&ok);
        return ok && value >= 0 ? value : fallback;
    };
    settings.quotePerMinute = int(number("web/quotePerMinute", settings.quotePerMinute));
    settings.requestsPerMinute = int(number("web/requestsPerMinute", settings.requestsPerMinute));
    settings.maxBody = number("web/maxBody", settings.maxBody);
    settings.connectionsPerAddress = int(
        qMin<qint64>(number("web/connectionsPerAddress", settings.connectionsPerAddress), 1 << 20));
    settings.tax = readTaxSettings(file);
    settings.shopName = file.text(QStringLiteral("requisites/name")).trimmed();
    settings.shopAddress = file.text(QStringLiteral("requisites/address")).trimmed();
    settings.shopPhone = file.text(QStringLiteral("requisites/phone")).trimmed();
    settings.shopHours = readShopWeek(file).hoursShown();
    settings.mailSetUp = !file.text(QStringLiteral("mail/host")).trimmed().isEmpty();
    return settings;
}
