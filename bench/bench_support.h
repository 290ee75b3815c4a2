// What every benchmark needs: the median of its runs, and quiet from the offscreen platform.
#pragma once

#include <QString>
#include <QVector>
#include <QtGlobal>

#include <algorithm>

inline double median(QVector<double> values)
{
    if (values.isEmpty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const int n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The offscreen platform notes on every shown window that it cannot pass size hints on; that
// says nothing about the figures.
inline void quietOffscreenNotes()
{
    static QtMessageHandler standard = nullptr;
    standard = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (!message.contains(QLatin1String("propagateSizeHints")))
                standard(type, context, message);
        });
}
