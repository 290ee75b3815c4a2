// The sign-in and the approval: a name, a PIN, and the answer shown once the check is back.
#include "dialogs/sign_in_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit *pinField(QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QStringLiteral("lineEditPin"));
    field->setEchoMode(QLineEdit::Password);
    field->setMinimumWidth(180);
    return field;
}

QLabel *messageLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QStringLiteral("labelSignInMessage"));
    label->setWordWrap(true);
    label->setStyleSheet(QStringLiteral("QLabel { color: #a00000; }"));
    return label;
}

} // namespace

SignInDialog::SignInDialog(const QStringList &operatorNames, const QString &preferred,
                           QWidget *parent)
    : QDialog(parent)
    , names(new QComboBox(this))
    , pin(pinField(this))
    , message(messageLabel(this))
    , signIn(new QPushButton(QStringLiteral("Войти"), this))
{
    setObjectName(QStringLiteral("SignInDialog"));
    setWindowTitle(QStringLiteral("Вход оператора"));
    names->setObjectName(QStringLiteral("comboBoxOperator"));
    QStringList ordered = operatorNames;
    if (ordered.removeAll(preferred) > 0)
        ordered.prepend(preferred);
    names->addItems(ordered);
    signIn->setObjectName(QStringLiteral("pushButtonSignIn"));
    signIn->setDefault(true);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Оператор:"), names);
    form->addRow(QStringLiteral("PIN:"), pin);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(message);
    layout->addWidget(signIn, 0, Qt::AlignRight);
    connect(signIn, &QPushButton::clicked, this, &SignInDialog::ask);
    connect(pin, &QLineEdit::returnPressed, this, &SignInDialog::ask);
    pin->setFocus();
}

QString SignInDialog::chosenName() const
{
    return names->currentText();
}

void SignInDialog::ask()
{
    if (!signIn->isEnabled())
        return;
    signIn->setEnabled(false);
    pin->setEnabled(false);
    message->setStyleSheet(QString());
    message->setText(QStringLiteral("Проверка PIN…"));
    emit signInAsked(names->currentText(), pin->text());
}

void SignInDialog::showOutcome(bool signedIn, const QString &text)
{
    signIn->setEnabled(true);
    pin->setEnabled(true);
    pin->clear();
    if (signedIn) {
        message->clear();
        accept();
        return;
    }
    message->setStyleSheet(QStringLiteral("QLabel { color: #a00000; }"));
    message->setText(text);
    pin->setFocus();
}

void SignInDialog::reject()
{
    // Escape or the close button leave the window locked: only a sign-in opens it.
}

ApprovalDialog::ApprovalDialog(const QString &question, const QStringList &approvers,
                               QWidget *parent)
    : QDialog(parent)
    , names(new QComboBox(this))
    , pin(pinField(this))
    , message(messageLabel(this))
    , approve(new QPushButton(QStringLiteral("Разрешить"), this))
{
    setObjectName(QStringLiteral("ApprovalDialog"));
    setWindowTitle(QStringLiteral("Нужно разрешение"));
    names->setObjectName(QStringLiteral("comboBoxOperator"));
    names->addItems(approvers);
    approve->setObjectName(QStringLiteral("pushButtonApprove"));
    approve->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Отмена"), this);
    cancel->setObjectName(QStringLiteral("pushButtonCancel"));
    auto *questionLabel = new QLabel(question, this);
    questionLabel->setWordWrap(true);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Кто разрешает:"), names);
    form->addRow(QStringLiteral("PIN:"), pin);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(approve);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(questionLabel);
    layout->addLayout(form);
    layout->addWidget(message);
    layout->addLayout(buttons);
    connect(approve, &QPushButton::clicked, this, &ApprovalDialog::ask);
    connect(pin, &QLineEdit::returnPressed, this, &ApprovalDialog::ask);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    pin->setFocus();
}

QString ApprovalDialog::chosenName() const
{
    return names->currentText();
}

void ApprovalDialog::ask()
{
    if (!approve->isEnabled())
        return;
    approve->setEnabled(false);
    pin->setEnabled(false);
    message->setStyleSheet(QString());
    message->setText(QStringLiteral("Проверка PIN…"));
    emit approvalAsked(names->currentText(), pin->text());
}

void ApprovalDialog::showOutcome(bool approved, const QString &text)
{
    approve->setEnabled(true);
    pin->setEnabled(true);
    pin->clear();
    if (approved) {
        accept();
        return;
    }
    message->setStyleSheet(QStringLiteral("QLabel { color: #a00000; }"));
    message->setText(text);
    pin->setFocus();
}
