// The sign-in and the approval: a name, a PIN, and the answer shown once the check is back.
#include "dialogs/sign_in_dialog.h"

#include "ui_approval_dialog.h"
#include "ui_sign_in_dialog.h"

namespace {

const QString MessageStyle = QStringLiteral("QLabel { color: #a00000; }");

} // namespace

SignInDialog::SignInDialog(const QStringList &operatorNames, const QString &preferred,
                           QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::SignInDialog)
{
    ui->setupUi(this);
    QStringList ordered = operatorNames;
    if (ordered.removeAll(preferred) > 0)
        ordered.prepend(preferred);
    ui->comboBoxOperator->addItems(ordered);
    connect(ui->pushButtonSignIn, &QPushButton::clicked, this, &SignInDialog::ask);
    connect(ui->lineEditPin, &QLineEdit::returnPressed, this, &SignInDialog::ask);
    ui->lineEditPin->setFocus();
}

SignInDialog::~SignInDialog() = default;

QString SignInDialog::chosenName() const
{
    return ui->comboBoxOperator->currentText();
}

void SignInDialog::ask()
{
    if (!ui->pushButtonSignIn->isEnabled())
        return;
    ui->pushButtonSignIn->setEnabled(false);
    ui->lineEditPin->setEnabled(false);
    ui->labelSignInMessage->setStyleSheet(QString());
    ui->labelSignInMessage->setText(QStringLiteral("Проверка PIN…"));
    emit signInAsked(ui->comboBoxOperator->currentText(), ui->lineEditPin->text());
}

void SignInDialog::showOutcome(bool signedIn, const QString &text)
{
    ui->pushButtonSignIn->setEnabled(true);
    ui->lineEditPin->setEnabled(true);
    ui->lineEditPin->clear();
    if (signedIn) {
        ui->labelSignInMessage->clear();
        accept();
        return;
    }
    ui->labelSignInMessage->setStyleSheet(MessageStyle);
    ui->labelSignInMessage->setText(text);
    ui->lineEditPin->setFocus();
}

void SignInDialog::reject()
{
    // Escape or the close button leave the window locked: only a sign-in opens it.
}

ApprovalDialog::ApprovalDialog(const QString &question, const QStringList &approvers,
                               QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ApprovalDialog)
{
    ui->setupUi(this);
    ui->labelApprovalQuestion->setText(question);
    ui->comboBoxOperator->addItems(approvers);
    connect(ui->pushButtonApprove, &QPushButton::clicked, this, &ApprovalDialog::ask);
    connect(ui->lineEditPin, &QLineEdit::returnPressed, this, &ApprovalDialog::ask);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
    ui->lineEditPin->setFocus();
}

ApprovalDialog::~ApprovalDialog() = default;

QString ApprovalDialog::chosenName() const
{
    return ui->comboBoxOperator->currentText();
}

void ApprovalDialog::ask()
{
    if (!ui->pushButtonApprove->isEnabled())
        return;
    ui->pushButtonApprove->setEnabled(false);
    ui->lineEditPin->setEnabled(false);
    ui->labelSignInMessage->setStyleSheet(QString());
    ui->labelSignInMessage->setText(QStringLiteral("Проверка PIN…"));
    emit approvalAsked(ui->comboBoxOperator->currentText(), ui->lineEditPin->text());
}

void ApprovalDialog::showOutcome(bool approved, const QString &text)
{
    ui->pushButtonApprove->setEnabled(true);
    ui->lineEditPin->setEnabled(true);
    ui->lineEditPin->clear();
    if (approved) {
        accept();
        return;
    }
    ui->labelSignInMessage->setStyleSheet(MessageStyle);
    ui->labelSignInMessage->setText(text);
    ui->lineEditPin->setFocus();
}
