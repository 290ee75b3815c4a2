// A benchmark's messages printed on standard output instead of shown in a box.
#pragma once

#include "dialogs/prompts.h"

#include <QTextStream>

#include <cstdio>

class PrintedPrompts : public Prompts
{
public:
    void tell(const QString &title, const QString &message, const QString &details) override
    {
        QTextStream out(stdout);
        out << "  " << title << ": " << message;
        if (!details.isEmpty())
            out << " (" << details << ')';
        out << '\n';
    }
    QString chooseFile(const QString &, const QString &, const QString &) override
    {
        return QString();
    }
    QString chooseFolder(const QString &, const QString &) override { return QString(); }
    // A benchmark goes on as the order stands.
    int ask(const QString &title, const QString &question, const QStringList &answers,
            int defaultAnswer) override
    {
        QTextStream(stdout) << "  " << title << ": " << question << '\n';
        return answers.isEmpty() ? -1 : defaultAnswer;
    }
};
