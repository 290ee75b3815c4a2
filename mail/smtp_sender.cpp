// libcurl's SMTP with the easy interface, one handle per message: mail goes out a few times a day.
#include "mail/smtp_sender.h"

#include "storage/settings.h"

#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <curl/curl.h>

#include <mutex>

namespace {

struct Upload
{
    const QByteArray *message;
    qsizetype sent = 0;
    const std::atomic<bool> *stop;
    QByteArray lastReply; // the server's last line of refusal (4xx, 5xx)
    QByteArray lastCommand; // the verb last sent
    bool recipientRefused = false; // a 5xx answered RCPT
};

size_t readMessage(char *buffer, size_t size, size_t count, void *data)
{
    auto *upload = static_cast<Upload *>(data);
    const qsizetype room = qsizetype(size * count);
    const qsizetype left = upload->message->size() - upload->sent;
    const qsizetype part = qMin(room, left);
    memcpy(buffer, upload->message->constData() + upload->sent, size_t(part));
    upload->sent += part;
    return size_t(part);
}

int progress(void *data, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto *upload = static_cast<Upload *>(data);
    return upload->stop && upload->stop->load() ? 1 : 0;
}

// The server's replies come as incoming header data: the refusal's own words are kept from them.
int watchReplies(CURL *, curl_infotype type, char *data, size_t size, void *context)
{
    auto *upload = static_cast<Upload *>(context);
    if (type == CURLINFO_HEADER_OUT) {
        const QByteArray command(data, int(size));
        upload->lastCommand = command.left(command.indexOf(' ')).trimmed().toUpper();
        return 0;
    }
    if (type != CURLINFO_HEADER_IN)
        return 0;
    const QByteArray lines(data, int(size));
    for (const QByteArray &line : lines.split('\n')) {
        const QByteArray reply = line.trimmed();
        if (reply.size() >= 3 && (reply.at(0) == '4' || reply.at(0) == '5'))
            upload->lastReply = reply;
        if (reply.size() >= 3 && reply.at(0) == '5' && upload->lastCommand == "RCPT")
            upload->recipientRefused = true;
    }
    return 0;
}

void initialiseCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

QString secondsText(int msecs)
{
    return QString::number((msecs + 999) / 1000);
}

} // namespace

int MailServer::effectivePort() const
{
    if (port > 0)
        return port;
    return security == Ssl ? 465 : security == StartTls ? 587 : 25;
}

MailServer mailServerFrom(const std::function<QString(const QString &key)> &value,
                          const QString &shopName, QString *problem)
{
    MailServer server;
    problem->clear();
    server.host = value(QStringLiteral("host")).trimmed();
    if (server.host.isEmpty())
        return server;
    const QString port = value(QStringLiteral("port")).trimmed();
    bool ok = true;
    if (!port.isEmpty())
        server.port = port.toInt(&ok);
    if (!ok || server.port < 0 || server.port > 65535)
        *problem = QStringLiteral("Порт почтового сервера «%1» ([mail] port) — не номер порта.")
                       .arg(port);
    const QString security = value(QStringLiteral("security")).trimmed().toLower();
    if (security == QLatin1String("starttls"))
        server.security = MailServer::StartTls;
    else if (security == QLatin1String("ssl"))
        server.security = MailServer::Ssl;
    else if (!security.isEmpty() && security != QLatin1String("none"))
        *problem = QStringLiteral("Защита почты «%1» ([mail] security) не понята: есть none, "
                                  "starttls и ssl.")
                       .arg(security);
    server.user = value(QStringLiteral("user")).trimmed();
    server.password = value(QStringLiteral("password"));
    server.sender = parseMailAddress(value(QStringLiteral("sender")));
    if (server.sender.name.isEmpty())
        server.sender.name = shopName;
    if (const QString why = mailAddressProblem(server.sender.address); !why.isEmpty())
        *problem = QStringLiteral("Адрес отправителя ([mail] sender): %1.").arg(why);
    const QString timeout = value(QStringLiteral("timeout")).trimmed();
    if (!timeout.isEmpty()) {
        const int seconds = timeout.toInt(&ok);
        if (!ok || seconds < 1 || seconds > 600)
            *problem = QStringLiteral("Время ожидания почтового сервера «%1» ([mail] timeout) — "
                                      "не число секунд от 1 до 600.")
                           .arg(timeout);
        else
            server.totalTimeoutMs = seconds * 1000;
    }
    server.caFile = value(QStringLiteral("caFile")).trimmed();
    if (!server.caFile.isEmpty() && !QFileInfo(server.caFile).isReadable())
        *problem = QStringLiteral("Файл сертификата почтового сервера «%1» ([mail] caFile) не "
                                  "найден или не читается.")
                       .arg(server.caFile);
    server.connectTimeoutMs = qMin(server.connectTimeoutMs, server.totalTimeoutMs);
    return server;
}

MailServer mailServerFrom(const Settings &settings, QString *problem)
{
    return mailServerFrom(
        [&settings](const QString &key) {
            return key == QLatin1String("password") ? settings.mailPassword()
                                                    : settings.mailValue(key);
        },
        settings.shopName(), problem);
}

SendResult sendMail(const MailServer &server, const QString &recipient, const QByteArray &message,
                    const std::atomic<bool> *stop)
{
    SendResult result;
    if (const QString why = mailAddressProblem(recipient); !why.isEmpty()) {
        result.outcome = SendResult::Refused;
        result.error = why;
        result.permanent = true;
        return result;
    }
    initialiseCurl();
    CURL *curl = curl_easy_init();
    if (!curl) {
        result.error = QStringLiteral("почтовая библиотека не запустилась");
        return result;
    }
    Upload upload {&message, 0, stop, QByteArray(), QByteArray(), false};
    char errorText[CURL_ERROR_SIZE] = {};
    QString host = server.host;
    if (host.contains(QLatin1Char(':')) && !host.startsWith(QLatin1Char('[')))
        host = QLatin1Char('[') + host + QLatin1Char(']');
    const QByteArray url = (server.security == MailServer::Ssl ? QByteArrayLiteral("smtps://")
                                                               : QByteArrayLiteral("smtp://"))
        + host.toUtf8() + ':' + QByteArray::number(server.effectivePort());
    const QByteArray from = '<' + serverAddress(server.sender.address).toUtf8() + '>';
    const QByteArray to = '<' + serverAddress(recipient).toUtf8() + '>';
    const QByteArray user = server.user.toUtf8();
    const QByteArray password = server.password.toUtf8();
    const QByteArray caFile = QFile::encodeName(server.caFile);
    curl_slist *recipients = curl_slist_append(nullptr, to.constData());

    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    // Worker threads: no signals for the resolver's timeouts.
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(server.connectTimeoutMs));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, long(server.totalTimeoutMs));
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &upload);
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L); // for the replies' words; printed nowhere
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, watchReplies);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &upload);
    if (server.security == MailServer::StartTls)
        curl_easy_setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    if (!caFile.isEmpty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.constData());
    if (!server.user.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    }
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readMessage);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);

    const CURLcode code = curl_easy_perform(curl);
    long reply = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply);
    curl_slist_free_all(recipients);
    curl_easy_cleanup(curl);

    const QString where = QStringLiteral("%1:%2").arg(server.host).arg(server.effectivePort());
    const QString detail = QString::fromUtf8(errorText).trimmed();
    switch (code) {
    case CURLE_OK:
        result.outcome = SendResult::Sent;
        return result;
    case CURLE_OPERATION_TIMEDOUT:
        result.outcome = SendResult::TimedOut;
        result.error = QStringLiteral("почтовый сервер %1 не ответил за %2 с")
                           .arg(where, secondsText(server.totalTimeoutMs));
        return result;
    case CURLE_ABORTED_BY_CALLBACK:
        result.outcome = SendResult::Stopped;
        result.error = QStringLiteral("отправка прервана: программа закрывается");
        return result;
    case CURLE_COULDNT_RESOLVE_HOST:
        result.error = QStringLiteral("почтовый сервер %1 не найден").arg(server.host);
        return result;
    case CURLE_COULDNT_CONNECT:
        result.error = QStringLiteral("нет связи с почтовым сервером %1 (%2)").arg(where, detail);
        return result;
    case CURLE_LOGIN_DENIED:
        result.outcome = SendResult::Refused;
        result.error = QStringLiteral("почтовый сервер %1 не принял имя или пароль ([mail] user, "
                                      "password)")
                           .arg(where);
        if (!upload.lastReply.isEmpty())
            result.error += QStringLiteral(": ") + QString::fromUtf8(upload.lastReply);
        return result;
    case CURLE_PEER_FAILED_VERIFICATION:
        result.error = QStringLiteral("почтовый сервер %1 предъявил сертификат, которому нет "
                                      "доверия: проверьте имя сервера ([mail] host) и сертификат "
                                      "центра ([mail] caFile) (%2)")
                           .arg(where, detail);
        return result;
    case CURLE_SSL_CACERT_BADFILE:
        result.error = QStringLiteral("файл сертификата «%1» ([mail] caFile) не прочитан (%2)")
                           .arg(server.caFile, detail);
        return result;
    case CURLE_USE_SSL_FAILED:
    case CURLE_SSL_CONNECT_ERROR:
        result.error
            = QStringLiteral("защищённое соединение с %1 не установлено (%2)").arg(where, detail);
        return result;
    default:
        break;
    }
    if (!upload.lastReply.isEmpty() || reply >= 400) {
        result.outcome = SendResult::Refused;
        result.permanent = upload.recipientRefused;
        result.error = QStringLiteral("почтовый сервер отказал: ")
            + (upload.lastReply.isEmpty() ? QString::number(reply)
                                          : QString::fromUtf8(upload.lastReply));
        return result;
    }
    result.error
        = QStringLiteral("письмо не отправлено через %1 (%2)")
              .arg(where, detail.isEmpty() ? QString::fromUtf8(curl_easy_strerror(code)) : detail);
    return result;
}

QString sendTestLetter(const std::function<QString(const QString &key)> &value,
                       const QString &shopName, const std::atomic<bool> *stop)
{
    QString problem;
    const MailServer server = mailServerFrom(value, shopName, &problem);
    if (!problem.isEmpty())
        return problem;
    OutgoingMail mail;
    mail.from = server.sender;
    mail.to = {QString(), value(QStringLiteral("owner")).trimmed()};
    mail.subject = QStringLiteral("Проверка почты");
    mail.body = QStringLiteral("Это проверочное письмо из настроек программы на стойке «%1».\n"
                               "Раз оно пришло, письма клиентам тоже дойдут.\n")
                    .arg(QSysInfo::machineHostName());
    mail.date = QDateTime::currentDateTime();
    mail.messageId = messageIdFor(0, mail.date, server.sender.address);
    const SendResult result = sendMail(server, mail.to.address, composedMail(mail), stop);
    return result.sent() ? QString() : result.error;
}
