// Stored times and search words.
#include "storage/records.h"

#include <QRegularExpression>

QString storedTime(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QDateTime readStoredTime(const QString &text)
{
    // By hand: QDateTime::fromString with a format costs tens of microseconds, and a journal
    // page reads hundreds of these.
    if (text.size() != 19)
        return QDateTime();
    const auto part = [&](int from, int length) { return text.midRef(from, length).toInt(); };
    return QDateTime(QDate(part(0, 4), part(5, 2), part(8, 2)),
                     QTime(part(11, 2), part(14, 2), part(17, 2)));
}

QStringList searchWords(const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[^\\p{L}\\p{N}]+"));
    return text.toLower().split(separators, Qt::SkipEmptyParts);
}
