// Who works at the counter: the operator chosen and the PIN typed, Enter signs in. The PIN is
// checked elsewhere (it takes a tenth of a second): the dialog asks, stays answering meanwhile,
// and is told the outcome. It does not close without a sign-in, so a locked window stays locked.
#pragma once

#include <QDialog>
#include <QScopedPointer>

namespace Ui {
class SignInDialog;
class ApprovalDialog;
} // namespace Ui

class SignInDialog : public QDialog
{
    Q_OBJECT

public:
    // names by name; the preferred one (who signed in last at this counter) first.
    SignInDialog(const QStringList &names, const QString &preferred, QWidget *parent = nullptr);
    ~SignInDialog() override;

    QString chosenName() const;
    // The outcome of the check asked for: signed in closes the dialog, otherwise the message.
    void showOutcome(bool signedIn, const QString &message);

signals:
    void signInAsked(const QString &name, const QString &pin);

protected:
    void reject() override;

private:
    void ask();

    const QScopedPointer<Ui::SignInDialog> ui;
};

// A manager's (or the owner's) PIN for an action the operator at the counter may not take alone.
class ApprovalDialog : public QDialog
{
    Q_OBJECT

public:
    ApprovalDialog(const QString &question, const QStringList &approvers,
                   QWidget *parent = nullptr);
    ~ApprovalDialog() override;

    QString chosenName() const;
    void showOutcome(bool approved, const QString &message);

signals:
    void approvalAsked(const QString &name, const QString &pin);

private:
    void ask();

    const QScopedPointer<Ui::ApprovalDialog> ui;
};
