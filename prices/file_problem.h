// Why a file could not be read or written, said in Russian first, with the system's own words
// after it in parentheses: the price files, the PDF and the command line's files all say it so.
#pragma once

#include <QFileDevice>
#include <QString>

// "на диске нет места (No space left on device)"; code is errno as the failed call left it.
QString fileWriteProblem(int code, QFileDevice::FileError kind, const QString &detail);
// "нет прав на чтение (Permission denied)".
QString fileReadProblem(int code, QFileDevice::FileError kind, const QString &detail);
