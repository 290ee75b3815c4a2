// One message to one recipient through the shop's SMTP server, by libcurl: plain, STARTTLS or
// SSL, with a login where one is set. Every step has a time limit and a flag that stops it, so a
// server that does not answer holds the sender no longer than it is allowed.
#pragma once

#include "mail/mail_message.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>

class Settings;

struct MailServer
{
    enum Security { Plain, StartTls, Ssl };
    QString host; // empty: no mail is sent
    int port = 0; // 0: the usual one for the security
    Security security = Plain;
    QString user;
    QString password;
    MailAddress sender; // the envelope's and the From header's address
    QString caFile; // PEM of the authority to trust (a shop's own server); empty: the system's
    int connectTimeoutMs = 10000;
    int totalTimeoutMs = 30000;

    bool configured() const { return !host.isEmpty(); }
    int effectivePort() const;
};

// `[mail]` from the settings; a sender without a name takes the shop's. Problem set (in
// Russian) when the words do not make a server to send through.
MailServer mailServerFrom(const Settings &settings, QString *problem);
// The same from the words as given (host, port, security, user, password, sender, timeout,
// caFile), before they are saved: the settings dialog's check.
MailServer mailServerFrom(const std::function<QString(const QString &key)> &value,
                          const QString &shopName, QString *problem);

struct SendResult
{
    enum Outcome { Sent, Refused, TimedOut, Stopped, Failed };
    Outcome outcome = Failed;
    QString error; // in Russian, with the server's own words where it gave them
    // Retrying cannot help: the address is malformed, or the server refused it for good (5xx at
    // RCPT).
    bool permanent = false;

    bool sent() const { return outcome == Sent; }
};

// The settings dialog's test letter through the server the words give (host, port, security,
// user, password, sender, timeout, caFile) to the address under "owner". Empty when sent;
// otherwise why not, in Russian, with the server's own words where it gave them. Blocks: run it
// beside the window.
QString sendTestLetter(const std::function<QString(const QString &key)> &value,
                       const QString &shopName, const std::atomic<bool> *stop = nullptr);

// Sends the message to recipient; stop, when set from another thread, ends the attempt within
// a second or so.
SendResult sendMail(const MailServer &server, const QString &recipient, const QByteArray &message,
                    const std::atomic<bool> *stop = nullptr);
