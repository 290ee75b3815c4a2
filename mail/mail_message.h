// The "ready" mail as the SMTP server receives it: UTF-8 text, headers that are not plain ASCII
// as encoded words, every line ending CRLF, the body in base64 so that no server's rules on 8-bit
// text matter.
#pragma once

#include "customers/requisites.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

struct MailAddress
{
    QString name; // may be empty
    QString address;
};

// "Печатный двор <shop@example.ru>", "<shop@example.ru>" or "shop@example.ru".
MailAddress parseMailAddress(const QString &text);

// The whole header, "Name: value", with the value as encoded words where it is not plain
// printable ASCII: each word at most 75 characters, never splitting a character, the words on
// continuation lines of at most 76. Line breaks in the value become spaces.
QByteArray encodedHeader(const QByteArray &name, const QString &value);
// "From: =?UTF-8?B?…?= <shop@example.ru>"; a plain ASCII name is quoted.
QByteArray mailboxHeader(const QByteArray &name, const MailAddress &mailbox);
// "Mon, 02 Mar 2026 09:05:07 +0300": English names, whatever the locale.
QByteArray mailDate(const QDateTime &time);
// "<20260302090507.17.5f3a9c01@example.ru>": unique by the queue's id, the time and a random part.
QByteArray messageIdFor(qint64 queueId, const QDateTime &time, const QString &senderAddress);

struct OutgoingMail
{
    MailAddress from;
    MailAddress to;
    QString subject;
    QString body; // lines ending "\n"
    QDateTime date;
    QByteArray messageId;
};

// Headers and body, as DATA carries them (the server's dot rule is the transport's).
QByteArray composedMail(const OutgoingMail &mail);
