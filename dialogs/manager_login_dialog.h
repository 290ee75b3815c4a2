// A manager's database login asked at the counter when the database keeps an action to its
// managers: a name and a password, checked elsewhere (the server may be on the network); the
// dialog stays answering meanwhile and is told the outcome. The password goes nowhere but to the
// check.
#pragma once

#include "storage/database_roles.h"

#include <QDialog>
#include <QScopedPointer>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace Ui {
class ManagerLoginDialog;
}

class ManagerLoginDialog : public QDialog
{
    Q_OBJECT

public:
    ManagerLoginDialog(const QString &question, QWidget *parent = nullptr);
    ~ManagerLoginDialog() override;

    // Opens the dialog over the parent (window modal, gone once closed): each login given goes to
    // attempt, whose reply closes it (done) or shows why not and asks again; closed without a
    // login that did it, gaveUp is called.
    using Reply = std::function<void(bool done, const QString &message)>;
    static ManagerLoginDialog *ask(QWidget *parent, const QString &question,
                                   std::function<void(const DatabaseLogin &, Reply)> attempt,
                                   std::function<void()> gaveUp);

    // The outcome of the check asked for: done closes the dialog, otherwise the message shows
    // and the password is asked again.
    void showOutcome(bool done, const QString &message);

signals:
    void loginGiven(const QString &user, const QString &password);

private:
    void submit();

    const QScopedPointer<Ui::ManagerLoginDialog> ui;
    QLineEdit *user;
    QLineEdit *password;
    QLabel *message;
    QPushButton *run;
};
