// The service's settings: the [web] section of the settings file, a limit of 0 turning it off,
// and the shop's tax from its [tax] section.
#pragma once

#include "order/invoice_foot.h"

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
    // Open connections one address may hold at once; not counted behind a trusted proxy, whose
    // own address carries every client.
    int connectionsPerAddress = 32;
    TaxSettings tax; // the shop's, as its invoices charge it: every quote tells it
    // Who the page is, from the shop's [requisites]: shown on it and in the catalogue.
    QString shopName, shopAddress, shopPhone, shopHours;
    // A mail server is named in [mail]: a request with an e-mail queues the customer's
    // acknowledgement, sent by the counters' sender.
    bool mailSetUp = false;

    static WebSettings read(const SettingsFile &file);
};
