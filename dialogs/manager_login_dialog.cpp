// The manager's database login: two fields, the check's answer shown in place.
#include "dialogs/manager_login_dialog.h"

#include "dialogs/colours.h"

#include "ui_manager_login_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

ManagerLoginDialog::ManagerLoginDialog(const QString &question, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ManagerLoginDialog)
{
    ui->setupUi(this);
    user = ui->lineEditManagerUser;
    password = ui->lineEditManagerPassword;
    message = ui->labelManagerLoginMessage;
    run = ui->pushButtonManagerLogin;
    ui->labelManagerLoginQuestion->setText(question);
    connect(run, &QPushButton::clicked, this, &ManagerLoginDialog::submit);
    connect(password, &QLineEdit::returnPressed, this, &ManagerLoginDialog::submit);
    user->setFocus();
}

ManagerLoginDialog::~ManagerLoginDialog() = default;

void ManagerLoginDialog::submit()
{
    if (!run->isEnabled())
        return;
    const QString name = user->text().trimmed();
    message->setStyleSheet(labelColourStyle(ProblemColour));
    if (name.isEmpty() || password->text().isEmpty()) {
        message->setText(QStringLiteral("Введите имя входа менеджера и его пароль."));
        adjustSize();
        return;
    }
    run->setEnabled(false);
    message->setStyleSheet(QString());
    message->setText(QStringLiteral("Проверка входа…"));
    emit loginGiven(name, password->text());
}

void ManagerLoginDialog::showOutcome(bool done, const QString &text)
{
    run->setEnabled(true);
    password->clear();
    if (done) {
        accept();
        return;
    }
    message->setStyleSheet(labelColourStyle(ProblemColour));
    message->setText(text);
    // The wrapped lines need more height than the dialog was opened with.
    adjustSize();
    password->setFocus();
}

ManagerLoginDialog *
ManagerLoginDialog::ask(QWidget *parent, const QString &question,
                        std::function<void(const DatabaseLogin &, Reply)> attempt,
                        std::function<void()> gaveUp)
{
    auto *dialog = new ManagerLoginDialog(question, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    connect(dialog, &ManagerLoginDialog::loginGiven, dialog,
            [dialog = QPointer<ManagerLoginDialog>(dialog), attempt](const QString &user,
                                                                     const QString &password) {
                attempt({user, password}, [dialog](bool done, const QString &message) {
                    if (dialog)
                        dialog->showOutcome(done, message);
                });
            });
    if (gaveUp)
        connect(dialog, &QDialog::rejected, dialog, gaveUp);
    dialog->open();
    return dialog;
}
