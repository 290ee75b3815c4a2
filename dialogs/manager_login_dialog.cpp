// The manager's database login: two fields, the check's answer shown in place.
#include "dialogs/manager_login_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

ManagerLoginDialog::ManagerLoginDialog(const QString &question, QWidget *parent)
    : QDialog(parent)
    , user(new QLineEdit(this))
    , password(new QLineEdit(this))
    , message(new QLabel(this))
    , run(new QPushButton(QStringLiteral("Выполнить"), this))
{
    setObjectName(QStringLiteral("ManagerLoginDialog"));
    setWindowTitle(QStringLiteral("Вход менеджера в базу"));
    setMinimumWidth(420);
    user->setObjectName(QStringLiteral("lineEditManagerUser"));
    user->setMinimumWidth(200);
    password->setObjectName(QStringLiteral("lineEditManagerPassword"));
    password->setEchoMode(QLineEdit::Password);
    message->setObjectName(QStringLiteral("labelManagerLoginMessage"));
    message->setWordWrap(true);
    run->setObjectName(QStringLiteral("pushButtonManagerLogin"));
    run->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Отмена"), this);
    cancel->setObjectName(QStringLiteral("pushButtonCancel"));
    auto *questionLabel = new QLabel(question, this);
    questionLabel->setWordWrap(true);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Вход менеджера:"), user);
    form->addRow(QStringLiteral("Пароль:"), password);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(run);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(questionLabel);
    layout->addLayout(form);
    layout->addWidget(message);
    layout->addLayout(buttons);
    connect(run, &QPushButton::clicked, this, &ManagerLoginDialog::submit);
    connect(password, &QLineEdit::returnPressed, this, &ManagerLoginDialog::submit);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    user->setFocus();
}

void ManagerLoginDialog::submit()
{
    if (!run->isEnabled())
        return;
    const QString name = user->text().trimmed();
    message->setStyleSheet(QStringLiteral("QLabel { color: #a00000; }"));
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
    message->setStyleSheet(QStringLiteral("QLabel { color: #a00000; }"));
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
