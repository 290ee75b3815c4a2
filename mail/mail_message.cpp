// Mail text by hand rather than through a library: a few headers, one plain text part.
#include "mail/mail_message.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QUrl>

namespace {

const QByteArray Crlf = QByteArrayLiteral("\r\n");

bool isPlainAscii(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    // Plain text that looks like an encoded word would be decoded by the reader.
    return !text.contains(QLatin1String("=?"));
}

QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar &c : text)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t'))
            c = QLatin1Char(' ');
    return text;
}

// Encoded words for the text, the first fitting after `used` characters of its line.
QByteArray encodedWords(const QString &text, int used)
{
    const QByteArray utf8 = text.toUtf8();
    const QByteArray open = QByteArrayLiteral("=?UTF-8?B?");
    const QByteArray close = QByteArrayLiteral("?=");
    QByteArray out;
    int from = 0;
    while (from < utf8.size()) {
        // A word of at most 75, a line of at most 76; base64 takes 3 bytes to 4 characters.
        // Every word after the first starts a continuation line of its own.
        const int lineUsed = out.isEmpty() ? used : 1;
        const int room = qMin(75, 76 - lineUsed) - open.size() - close.size();
        const int bytes = qMax(1, room / 4) * 3;
        int end = qMin(int(utf8.size()), from + bytes);
        const auto inside
            = [&](int at) { return at < utf8.size() && (uchar(utf8.at(at)) & 0xc0) == 0x80; };
        while (end > from && inside(end))
            --end;
        // No room for even one character: it takes a word of its own.
        if (end == from)
            for (end = from + 1; inside(end); ++end) { }
        if (!out.isEmpty())
            out += Crlf + ' ';
        out += open + utf8.mid(from, end - from).toBase64() + close;
        from = end;
    }
    return out;
}

QByteArray quotedPhrase(const QString &name)
{
    static const QRegularExpression atom(QStringLiteral("^[A-Za-z0-9!#$%&'*+/=?^_`{|}~ -]*$"));
    if (atom.match(name).hasMatch())
        return name.toLatin1();
    QByteArray quoted = "\"";
    for (const QChar c : name) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            quoted += '\\';
        quoted += char(c.unicode());
    }
    return quoted + '"';
}

} // namespace

MailAddress parseMailAddress(const QString &text)
{
    const QString trimmed = text.trimmed();
    const int open = trimmed.lastIndexOf(QLatin1Char('<'));
    if (open < 0 || !trimmed.endsWith(QLatin1Char('>')))
        return {QString(), trimmed};
    QString name = trimmed.left(open).trimmed();
    if (name.size() >= 2 && name.startsWith(QLatin1Char('"')) && name.endsWith(QLatin1Char('"')))
        name = name.mid(1, name.size() - 2);
    return {name, trimmed.mid(open + 1, trimmed.size() - open - 2).trimmed()};
}

QByteArray encodedHeader(const QByteArray &name, const QString &value)
{
    const QString text = oneLine(value);
    const QByteArray start = name + ": ";
    if (isPlainAscii(text))
        return start + text.toLatin1();
    return start + encodedWords(text, start.size());
}

QByteArray mailboxHeader(const QByteArray &name, const MailAddress &mailbox)
{
    const QByteArray address = '<' + serverAddress(oneLine(mailbox.address)).toLatin1() + '>';
    const QString phrase = oneLine(mailbox.name).trimmed();
    const QByteArray start = name + ": ";
    if (phrase.isEmpty())
        return start + address;
    if (isPlainAscii(phrase))
        return start + quotedPhrase(phrase) + ' ' + address;
    QByteArray words = encodedWords(phrase, start.size());
    const int lastLine = words.size() - words.lastIndexOf('\n') - 1;
    const bool firstLine = !words.contains('\n');
    const int used = (firstLine ? start.size() : 0) + lastLine;
    return start + words
        + (used + 1 + address.size() > 76 ? QByteArray(Crlf + ' ') : QByteArray(" ")) + address;
}

QByteArray mailDate(const QDateTime &time)
{
    static const char *const days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char *const months[]
        = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QDate date = time.date();
    const int offset = time.offsetFromUtc() / 60;
    const int minutes = qAbs(offset);
    return QStringLiteral("%1, %2 %3 %4 %5 %6%7%8")
        .arg(QLatin1String(days[date.dayOfWeek() - 1]))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(QLatin1String(months[date.month() - 1]))
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(time.time().toString(QStringLiteral("HH:mm:ss")))
        .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'))
        .toLatin1();
}

QByteArray messageIdFor(qint64 queueId, const QDateTime &time, const QString &senderAddress)
{
    const QString address = serverAddress(senderAddress);
    QString domain = address.mid(address.lastIndexOf(QLatin1Char('@')) + 1);
    if (!senderAddress.contains(QLatin1Char('@')) || !mailAddressProblem(senderAddress).isEmpty())
        domain = QStringLiteral("localhost");
    return QStringLiteral("<%1.%2.%3@%4>")
        .arg(time.toUTC().toString(QStringLiteral("yyyyMMddHHmmss")))
        .arg(queueId)
        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))
        .arg(domain)
        .toLatin1();
}

QByteArray composedMail(const OutgoingMail &mail)
{
    QString body = mail.body;
    body.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    body.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    const QByteArray encoded = body.toUtf8().toBase64();
    QByteArray text;
    for (const QByteArray &header :
         {QByteArray(QByteArray("Date: ") + mailDate(mail.date)), mailboxHeader("From", mail.from),
          mailboxHeader("To", mail.to), encodedHeader("Subject", mail.subject),
          QByteArray(QByteArray("Message-ID: ") + mail.messageId), QByteArray("MIME-Version: 1.0"),
          QByteArray("Content-Type: text/plain; charset=UTF-8"),
          QByteArray("Content-Transfer-Encoding: base64")})
        text += header + Crlf;
    text += Crlf;
    for (int from = 0; from < encoded.size(); from += 76)
        text += encoded.mid(from, 76) + Crlf;
    return text;
}
