// The service's settings: the [web] section of the settings file, a limit of 0 turning it off.
#pragma once

#include <QString>
#include <QStringList>

class SettingsFile;

struct WebSettings
{
    QString listen;
    QStringList origins; // the pages on other sites allowed to call the API from a browser
    int quotePerMinute = 600; // per client address
    int requestsPerMinute = 10;
    qint64 maxBody = 65536; // bytes
    QStringList trustedProxies; // addresses whose X-Forwarded-For names the client

    static WebSettings read(const SettingsFile &file);
};
