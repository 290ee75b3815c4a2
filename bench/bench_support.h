// What every benchmark needs: the median of its runs, quiet from the offscreen platform, and the
// figures set against the same benchmark built on older code in the same run.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVector>
#include <QtGlobal>

#include <algorithm>
#include <cstdio>
#include <functional>

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

// The order and settings of a benchmark's windows in a folder of its own, never the user's: a
// counter's file another program holds would stall the window. Made before the application.
class TemporaryHome
{
public:
    TemporaryHome()
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(folder.filePath(QStringLiteral("data"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder.filePath(QStringLiteral("config"))));
    }

private:
    QTemporaryDir folder;
};

// Named figures of one round, in the order they were measured: "per option change" → 0.035.
struct Figures
{
    QStringList names;
    QMap<QString, QString> units;
    QMap<QString, double> values;

    void add(const QString &name, double value, const QString &unit)
    {
        if (!values.contains(name))
            names << name;
        values.insert(name, value);
        units.insert(name, unit);
    }
};

// A benchmark that compares itself: given --figures it measures one round and prints only its
// figures, one "figure<TAB>name<TAB>value<TAB>unit" line each. Otherwise it measures `rounds`
// rounds and, when PRINTCALC_BENCH_BASELINE names the folder of the same benchmark built on the
// older code, runs that one before each of its own rounds, so that both meet the same machine;
// then prints each figure's median over the rounds, the old one's and their ratio.
class Comparison
{
public:
    Comparison(const QStringList &arguments, int rounds)
        : figuresOnly(arguments.contains(QStringLiteral("--figures")))
        , rounds(figuresOnly ? 1 : rounds)
        , program(arguments.value(0).section(QLatin1Char('/'), -1))
        , baseline(qEnvironmentVariable("PRINTCALC_BENCH_BASELINE"))
    { }

    // Measures: one call is one round.
    void run(const std::function<Figures()> &round)
    {
        for (int i = 0; i < rounds; ++i) {
            if (!figuresOnly && !baseline.isEmpty())
                collect(runBaseline(), older);
            collect(round(), ours);
        }
        if (figuresOnly) {
            for (const QString &name : qAsConst(order))
                std::printf("figure\t%s\t%.6g\t%s\n", qPrintable(name), ours.value(name).first(),
                            qPrintable(unit.value(name)));
            return;
        }
        std::printf("medians of %d rounds%s:\n", rounds,
                    baseline.isEmpty() ? "" : ", against the older build, round by round");
        for (const QString &name : qAsConst(order)) {
            const double now = median(ours.value(name));
            std::printf("  %-44s %10.3f %s", qPrintable(name), now, qPrintable(unit.value(name)));
            if (older.contains(name)) {
                const double before = median(older.value(name));
                std::printf("   older %10.3f %s   ratio %.2f x", before,
                            qPrintable(unit.value(name)), before > 0 ? now / before : 0.0);
            }
            std::printf("\n");
        }
        if (!baseline.isEmpty() && older.isEmpty())
            std::printf("  (the older build at %s gave no figures)\n", qPrintable(baseline));
    }

    bool quiet() const { return figuresOnly; }

private:
    void collect(const Figures &figures, QMap<QString, QVector<double>> &into)
    {
        for (const QString &name : figures.names) {
            if (!order.contains(name))
                order << name;
            unit.insert(name, figures.units.value(name));
            into[name] << figures.values.value(name);
        }
    }

    Figures runBaseline() const
    {
        Figures figures;
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(baseline + QLatin1Char('/') + program, {QStringLiteral("--figures")});
        if (!process.waitForFinished(600000))
            return figures;
        const QList<QByteArray> lines = process.readAllStandardOutput().split('\n');
        for (const QByteArray &line : lines) {
            const QList<QByteArray> fields = line.split('\t');
            if (fields.size() == 4 && fields.first() == "figure")
                figures.add(QString::fromUtf8(fields.at(1)), fields.at(2).toDouble(),
                            QString::fromUtf8(fields.at(3)));
        }
        return figures;
    }

    const bool figuresOnly;
    const int rounds;
    const QString program;
    const QString baseline;
    QStringList order;
    QMap<QString, QString> unit;
    QMap<QString, QVector<double>> ours, older;
};
