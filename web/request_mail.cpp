// The acknowledgement's wording; the sums come from the stored lines to the kopeck.
#include "web/request_mail.h"

#include "order/money.h"
#include "order/order_status.h"
#include "pricing/line_wording.h"

MailText requestAcknowledgement(qint64 number, const WebRequestRecord &request,
                                const WebSettings &shop)
{
    const QString named = requestNumberText(number);
    MailText mail;
    mail.subject = QStringLiteral("Заявка № %1 получена").arg(named);
    QStringList &body = mail.body;
    body << QStringLiteral("Здравствуйте!") << QString()
         << QStringLiteral("Ваша заявка № %1 получена. Мы свяжемся с вами, чтобы подтвердить "
                           "заказ; цены окончательны после подтверждения.")
                .arg(named)
         << QString();
    qint64 linesKopecks = 0;
    for (int i = 0; i < request.lines.size(); ++i) {
        const OrderLine &line = request.lines.at(i);
        const qint64 kopecks = kopecksOf(lineSum(line));
        linesKopecks += kopecks;
        body << QStringLiteral("%1. %2 — %3 шт. — %4")
                    .arg(i + 1)
                    .arg(customerWording(line), line.quantity, roublesAndKopecks(kopecks));
    }
    if (linesKopecks != request.totalKopecks)
        body << QStringLiteral("Налог: %1")
                    .arg(roublesAndKopecks(request.totalKopecks - linesKopecks));
    body << QStringLiteral("Итого: %1").arg(roublesAndKopecks(request.totalKopecks));
    if (request.due.isValid())
        body << QStringLiteral("Желаемая дата: %1")
                    .arg(request.due.toString(QStringLiteral("dd.MM.yyyy")));
    QStringList contacts;
    if (!shop.shopAddress.isEmpty())
        contacts << QStringLiteral("Адрес: %1").arg(shop.shopAddress);
    if (!shop.shopPhone.isEmpty())
        contacts << QStringLiteral("Телефон: %1").arg(shop.shopPhone);
    if (!shop.shopHours.isEmpty())
        contacts << QStringLiteral("Часы работы: %1").arg(shop.shopHours);
    if (!contacts.isEmpty())
        body << QString() << contacts;
    if (!shop.shopName.isEmpty())
        body << QString() << shop.shopName;
    return mail;
}
