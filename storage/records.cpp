// Stored times and search words.
#include "storage/records.h"

#include <QRegularExpression>

QString storedTime(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QDateTime readStoredTime(const QString &text)
{
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QStringList searchWords(const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[^\\p{L}\\p{N}]+"));
    return text.toLower().split(separators, Qt::SkipEmptyParts);
}
