// How the program tells the operator something: a message titled by what it is about, with a
// system's own words under "Подробнее" where there are any. The window and its parts are given
// one; the tests give a recorder, so that nothing modal waits.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

class Prompts
{
public:
    virtual ~Prompts() = default;
    virtual void tell(const QString &title, const QString &message,
                      const QString &details = QString())
        = 0;
    // A file to open, chosen by the operator; empty when the choice was cancelled.
    virtual QString chooseFile(const QString &title, const QString &start, const QString &filter)
        = 0;
    // A folder, chosen by the operator; empty when the choice was cancelled.
    virtual QString chooseFolder(const QString &title, const QString &start) = 0;
    // A question with the answers offered, as buttons in this order; the one chosen, or -1 when
    // the question was closed without an answer (Esc, its close button): the callers take that
    // as the answer that changes nothing. The default answer is what Enter gives.
    virtual int ask(const QString &title, const QString &question, const QStringList &answers,
                    int defaultAnswer)
        = 0;
};

// Warning boxes over a window.
class MessageBoxes : public Prompts
{
public:
    explicit MessageBoxes(QWidget *parent)
        : parent(parent)
    { }
    void tell(const QString &title, const QString &message, const QString &details) override;
    QString chooseFile(const QString &title, const QString &start, const QString &filter) override;
    QString chooseFolder(const QString &title, const QString &start) override;
    int ask(const QString &title, const QString &question, const QStringList &answers,
            int defaultAnswer) override;

private:
    QPointer<QWidget> parent;
};
