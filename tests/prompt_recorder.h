// The operator's messages recorded instead of shown, so that no test waits on a modal box.
#pragma once

#include "dialogs/prompts.h"

#include <QStringList>

#include <functional>

class PromptRecorder : public Prompts
{
public:
    void tell(const QString &title, const QString &message, const QString &details) override
    {
        titles << title;
        if (onTell)
            onTell(message, details);
    }

    QString chooseFile(const QString &title, const QString &, const QString &) override
    {
        titles << title;
        return chosenFile;
    }

    QString chooseFolder(const QString &title, const QString &) override
    {
        titles << title;
        return chosenFile;
    }

    int ask(const QString &title, const QString &question, const QStringList &answers, int) override
    {
        titles << title;
        questions << question;
        offered = answers;
        return answers.indexOf(answer);
    }

    QStringList titles;
    std::function<void(const QString &message, const QString &details)> onTell;
    QString chosenFile; // what the file and folder choosers give back
    QString answer; // the answer a question gets, by its caption; none closes the question
    QStringList questions; // every question asked
    QStringList offered; // the answers the last question offered
};
