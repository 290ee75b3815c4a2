// The causes of file errors in the operator's words.
#include "prices/file_problem.h"

#include <cerrno>

namespace {

QString withDetail(const QString &cause, const QString &detail)
{
    const QString own = detail.trimmed();
    return own.isEmpty() ? cause : cause + QStringLiteral(" (") + own + QLatin1Char(')');
}

} // namespace

QString fileWriteProblem(int code, QFileDevice::FileError kind, const QString &detail)
{
    QString cause;
    if (kind == QFileDevice::ResourceError || code == ENOSPC)
        cause = QStringLiteral("на диске нет места");
    else if (code == EDQUOT)
        cause = QStringLiteral("исчерпана квота на диске");
    else if (code == EFBIG)
        cause = QStringLiteral("файл больше допустимого размера");
    else if (code == EACCES || code == EPERM)
        cause = QStringLiteral("нет прав на запись");
    else if (code == EROFS)
        cause = QStringLiteral("диск только для чтения");
    else if (code == ENOENT || code == ENOTDIR)
        cause = QStringLiteral("такой папки нет или в неё нельзя писать");
    else if (code == EIO)
        cause = QStringLiteral("ошибка ввода-вывода");
    else if (code == ENAMETOOLONG)
        cause = QStringLiteral("слишком длинное имя");
    else
        cause = QStringLiteral("ошибка записи");
    return withDetail(cause, detail);
}

QString fileReadProblem(int code, QFileDevice::FileError kind, const QString &detail)
{
    QString cause;
    if (code == ENOENT || code == ENOTDIR)
        cause = QStringLiteral("такого файла нет");
    else if (code == EACCES || code == EPERM || kind == QFileDevice::PermissionsError)
        cause = QStringLiteral("нет прав на чтение");
    else if (code == EISDIR)
        cause = QStringLiteral("это папка, а не файл");
    else if (code == EIO)
        cause = QStringLiteral("ошибка ввода-вывода");
    else
        cause = QStringLiteral("ошибка чтения");
    return withDetail(cause, detail);
}
