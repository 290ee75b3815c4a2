// Reads a PDF back as poppler-utils does: its text page by page (pdftotext) and its fonts
// (pdffonts). A missing tool fails the test that needs it, with the package to install.
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QtTest>

// The text of each page, no-break spaces read as plain ones; empty if the tool failed (with a
// warning that says why). In layout form a table row stands on one line, its cells in order.
inline QStringList pdfPages(const QString &path, bool layout = false)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
        qWarning("pdftotext is missing: install poppler-utils");
        return {};
    }
    QProcess tool;
    QStringList arguments
        = {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")};
    if (layout)
        arguments.prepend(QStringLiteral("-layout"));
    tool.start(QStringLiteral("pdftotext"), arguments);
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0) {
        qWarning("pdftotext could not read %s: %s", qPrintable(path),
                 tool.readAllStandardError().constData());
        return {};
    }
    QString text = QString::fromUtf8(tool.readAllStandardOutput());
    text.replace(QChar(0x00A0), QLatin1Char(' '));
    QStringList pages = text.split(QLatin1Char('\f'));
    if (pages.size() > 1 && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

inline QString pdfText(const QString &path, bool layout = false)
{
    return pdfPages(path, layout).join(QLatin1Char('\n'));
}

// The line of a layout text where the cells stand in this order, blanks between them; empty if
// none does.
inline QString rowWith(const QString &layoutText, const QStringList &cells)
{
    QStringList parts;
    for (const QString &cell : cells)
        parts << QRegularExpression::escape(cell);
    const QRegularExpression row(QStringLiteral("^.*") + parts.join(QStringLiteral("\\s+"))
                                     + QStringLiteral(".*$"),
                                 QRegularExpression::MultilineOption);
    return row.match(layoutText).captured(0);
}

// pdffonts' table: one line per font, "name type encoding emb sub uni ...".
inline QString pdfFonts(const QString &path)
{
    QProcess tool;
    tool.start(QStringLiteral("pdffonts"), {path});
    if (!tool.waitForFinished(60000))
        return {};
    return QString::fromUtf8(tool.readAllStandardOutput());
}
