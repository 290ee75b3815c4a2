// "Операторы": the owner's list of the shop's operators (name, role, whether they may sign in)
// with adding one (name, role, PIN twice), a new role, a new PIN, disabling and enabling. Each
// change goes through the operators' store, as the command line's do, so that it leaves the same
// record in the audit trail, under the owner signed in. The database is worked on a thread of the
// dialog's own: the window never waits on it, nor on a PIN's hash.
#pragma once

#include "operators/audit_chain.h"
#include "storage/database_thread.h"
#include "storage/database_url.h"
#include "storage/operator_store.h"

#include <QDialog>
#include <QVector>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class Prompts;

// The questions of a change: a new operator's name, role and PIN twice; a role; a PIN twice.
// Enter accepts once what is asked is filled in, Esc cancels.
class OperatorEntryDialog : public QDialog
{
    Q_OBJECT

public:
    enum Asks { NameRoleAndPin, Role, Pin };
    OperatorEntryDialog(Asks asks, const QString &title, QWidget *parent = nullptr);

    QString name() const;
    ::Role role() const;
    void setRole(::Role role);
    QString pin() const;

    void accept() override;

private:
    QLineEdit *nameEdit = nullptr;
    QComboBox *roleBox = nullptr;
    QLineEdit *pinEdit = nullptr;
    QLineEdit *againEdit = nullptr;
    QLabel *problem = nullptr;
};

class OperatorsDialog : public QDialog
{
    Q_OBJECT

public:
    // signer: this counter and the owner signed in, whom every record names.
    OperatorsDialog(const DatabaseUrl &shop, const AuditSigner &signer, Prompts *prompts,
                    QWidget *parent = nullptr);
    ~OperatorsDialog() override;

    const QVector<OperatorAccount> &accounts() const { return listed; }
    // Whether a read or a change is still on its way.
    bool isBusy() const { return busy > 0; }

signals:
    // A change was stored; head is the audit trail's after its record.
    void changed(const AuditHead &head);

private:
    struct Link;

    void refresh();
    void showAccounts(const QVector<OperatorAccount> &accounts);
    // The operator of the selected row; empty when none is selected.
    QString selectedName() const;
    const OperatorAccount *selected() const;
    void enableButtons();
    void addOperator();
    void changeRole();
    void resetPin();
    void toggleDisabled();
    // Runs the change on the dialog's thread, then tells its outcome and lists again.
    void run(const QString &name, const QString &doneText,
             std::function<OperatorChange(OperatorStore &store)> change);
    void tell(const QString &text, bool good);

    std::shared_ptr<Link> link;
    DatabaseThread thread;
    AuditSigner signer;
    Prompts *prompts;
    QVector<OperatorAccount> listed;
    int busy = 0;
    QTableWidget *table;
    QPushButton *addButton;
    QPushButton *roleButton;
    QPushButton *pinButton;
    QPushButton *disableButton;
    QLabel *status;
};
