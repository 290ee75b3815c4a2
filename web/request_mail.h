// The mail a customer gets once the website's request is stored: its number, each line in words
// with its sum, the total, and how to reach the shop.
#pragma once

#include "storage/web_requests.h"
#include "web/web_settings.h"

MailText requestAcknowledgement(qint64 number, const WebRequestRecord &request,
                                const WebSettings &shop);
