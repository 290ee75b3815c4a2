// The operators' list as a table, the changes asked in small dialogs of their own, each stored on
// the dialog's thread and told under the list.
#include "dialogs/operators_dialog.h"

#include "dialogs/colours.h"
#include "dialogs/prompts.h"
#include "storage/connection.h"
#include "storage/pin_hash.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

struct OperatorsDialog::Link
{
    DatabaseUrl url;
    Connection connection;

    bool open()
    {
        return connection.isOpen() || connection.open(url, QStringLiteral("operators dialog"));
    }
};

namespace {

QString stateText(const OperatorAccount &account)
{
    if (account.disabled)
        return QStringLiteral("отключён");
    if (account.lockedUntil.isValid() && account.lockedUntil > QDateTime::currentDateTimeUtc())
        return QStringLiteral("заблокирован до ")
            + account.lockedUntil.toLocalTime().toString(QStringLiteral("HH:mm"));
    return QStringLiteral("действует");
}

QString pinProblem(const QString &pin, const QString &again)
{
    if (pin.size() < MinimumPinLength)
        return QStringLiteral("PIN — не короче %1 знаков.").arg(MinimumPinLength);
    if (pin != again)
        return QStringLiteral("PIN и повтор не совпадают.");
    return QString();
}

} // namespace

OperatorEntryDialog::OperatorEntryDialog(Asks asks, const QString &title, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(title);
    auto *form = new QFormLayout;
    if (asks == NameRoleAndPin) {
        nameEdit = new QLineEdit;
        nameEdit->setObjectName(QStringLiteral("lineEditOperatorName"));
        form->addRow(QStringLiteral("Имя:"), nameEdit);
    }
    if (asks != Pin) {
        roleBox = new QComboBox;
        roleBox->setObjectName(QStringLiteral("comboBoxOperatorRole"));
        for (const ::Role role : {::Role::Operator, ::Role::Manager, ::Role::Owner})
            roleBox->addItem(roleCaption(role), int(role));
        form->addRow(QStringLiteral("Роль:"), roleBox);
    }
    if (asks != Role) {
        pinEdit = new QLineEdit;
        pinEdit->setObjectName(QStringLiteral("lineEditOperatorPin"));
        pinEdit->setEchoMode(QLineEdit::Password);
        pinEdit->setPlaceholderText(QStringLiteral("не короче %1 знаков").arg(MinimumPinLength));
        againEdit = new QLineEdit;
        againEdit->setObjectName(QStringLiteral("lineEditOperatorPinAgain"));
        againEdit->setEchoMode(QLineEdit::Password);
        form->addRow(QStringLiteral("PIN:"), pinEdit);
        form->addRow(QStringLiteral("PIN ещё раз:"), againEdit);
    }
    problem = new QLabel;
    problem->setObjectName(QStringLiteral("labelOperatorProblem"));
    problem->setStyleSheet(labelColourStyle(ProblemColour));
    problem->setWordWrap(true);
    problem->hide();
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    connect(buttons, &QDialogButtonBox::accepted, this, &OperatorEntryDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(problem);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

QString OperatorEntryDialog::name() const
{
    return nameEdit ? nameEdit->text().trimmed() : QString();
}

Role OperatorEntryDialog::role() const
{
    return roleBox ? ::Role(roleBox->currentData().toInt()) : ::Role::Operator;
}

void OperatorEntryDialog::setRole(::Role role)
{
    if (roleBox)
        roleBox->setCurrentIndex(roleBox->findData(int(role)));
}

QString OperatorEntryDialog::pin() const
{
    return pinEdit ? pinEdit->text() : QString();
}

void OperatorEntryDialog::accept()
{
    QString why;
    if (nameEdit && name().isEmpty())
        why = QStringLiteral("Введите имя оператора.");
    else if (pinEdit)
        why = pinProblem(pinEdit->text(), againEdit->text());
    problem->setText(why);
    problem->setVisible(!why.isEmpty());
    if (why.isEmpty())
        QDialog::accept();
}

OperatorsDialog::OperatorsDialog(const DatabaseUrl &shop, const AuditSigner &signer,
                                 Prompts *prompts, QWidget *parent)
    : QDialog(parent)
    , link(std::make_shared<Link>())
    , thread(QStringLiteral("operators dialog"))
    , signer(signer)
    , prompts(prompts)
{
    setWindowTitle(QStringLiteral("Операторы"));
    link->url = shop;
    std::shared_ptr<Link> kept = link;
    thread.setFinalTask([kept] { kept->connection.close(); });

    table = new QTableWidget(0, 3);
    table->setObjectName(QStringLiteral("tableWidgetOperators"));
    table->setHorizontalHeaderLabels(
        {QStringLiteral("Имя"), QStringLiteral("Роль"), QStringLiteral("Состояние")});
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    table->verticalHeader()->hide();
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(table, &QTableWidget::itemSelectionChanged, this, &OperatorsDialog::enableButtons);

    const auto button = [this](const char *name, const QString &text) {
        auto *made = new QPushButton(text);
        made->setObjectName(QLatin1String(name));
        made->setAutoDefault(false);
        return made;
    };
    addButton = button("pushButtonAddOperator", QStringLiteral("Добавить…"));
    roleButton = button("pushButtonOperatorRole", QStringLiteral("Роль…"));
    pinButton = button("pushButtonOperatorPin", QStringLiteral("Сбросить PIN…"));
    disableButton = button("pushButtonOperatorDisable", QStringLiteral("Отключить"));
    connect(addButton, &QPushButton::clicked, this, &OperatorsDialog::addOperator);
    connect(roleButton, &QPushButton::clicked, this, &OperatorsDialog::changeRole);
    connect(pinButton, &QPushButton::clicked, this, &OperatorsDialog::resetPin);
    connect(disableButton, &QPushButton::clicked, this, &OperatorsDialog::toggleDisabled);
    auto *buttons = new QVBoxLayout;
    for (QPushButton *each : {addButton, roleButton, pinButton, disableButton})
        buttons->addWidget(each);
    buttons->addStretch();

    status = new QLabel;
    status->setObjectName(QStringLiteral("labelOperatorsStatus"));
    status->setWordWrap(true);
    auto *close = new QDialogButtonBox(QDialogButtonBox::Close);
    close->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *middle = new QHBoxLayout;
    middle->addWidget(table, 1);
    middle->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(middle, 1);
    layout->addWidget(status);
    layout->addWidget(close);
    resize(560, 360);
    enableButtons();
    refresh();
}

OperatorsDialog::~OperatorsDialog()
{
    thread.finish(DatabaseThread::EndWaitMs);
}

void OperatorsDialog::refresh()
{
    ++busy;
    std::shared_ptr<Link> kept = link;
    QPointer<QObject> receiver(this);
    thread.post([this, kept, receiver] {
        bool ok = false;
        QVector<OperatorAccount> accounts;
        if (kept->open())
            accounts = OperatorStore(kept->connection).list(&ok);
        const QString error = ok ? QString() : kept->connection.errorText();
        replyTo(receiver, [this, ok, accounts, error] {
            --busy;
            if (!ok)
                tell(QStringLiteral("Список операторов не прочитан: %1").arg(error), false);
            showAccounts(accounts);
        });
    });
}

void OperatorsDialog::showAccounts(const QVector<OperatorAccount> &accounts)
{
    const QString keep = selectedName();
    listed = accounts;
    table->setRowCount(accounts.size());
    for (int row = 0; row < accounts.size(); ++row) {
        const OperatorAccount &account = accounts.at(row);
        const QStringList cells {account.name, roleCaption(account.role), stateText(account)};
        for (int column = 0; column < cells.size(); ++column) {
            auto *item = new QTableWidgetItem(cells.at(column));
            if (account.disabled)
                item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
            table->setItem(row, column, item);
        }
        if (account.name == keep)
            table->selectRow(row);
    }
    if (accounts.isEmpty() && status->text().isEmpty())
        tell(QStringLiteral("Операторов пока нет. Первым заводится владелец; после этого в "
                            "программу входят по PIN."),
             true);
    enableButtons();
}

QString OperatorsDialog::selectedName() const
{
    const OperatorAccount *account = selected();
    return account ? account->name : QString();
}

const OperatorAccount *OperatorsDialog::selected() const
{
    const QList<QTableWidgetItem *> items = table->selectedItems();
    if (items.isEmpty())
        return nullptr;
    const int row = items.first()->row();
    return row >= 0 && row < listed.size() ? &listed.at(row) : nullptr;
}

void OperatorsDialog::enableButtons()
{
    const OperatorAccount *account = selected();
    for (QPushButton *each : {roleButton, pinButton, disableButton})
        each->setEnabled(account != nullptr);
    disableButton->setText(account && account->disabled ? QStringLiteral("Включить")
                                                        : QStringLiteral("Отключить"));
}

void OperatorsDialog::tell(const QString &text, bool good)
{
    status->setText(text);
    status->setStyleSheet(good ? QString() : labelColourStyle(ProblemColour));
}

void OperatorsDialog::run(const QString &name, const QString &doneText,
                          std::function<OperatorChange(OperatorStore &store)> change)
{
    ++busy;
    std::shared_ptr<Link> kept = link;
    QPointer<QObject> receiver(this);
    thread.post([this, kept, receiver, change, name, doneText] {
        OperatorChange outcome = OperatorChange::Failed;
        AuditHead head;
        if (kept->open()) {
            OperatorStore store(kept->connection);
            outcome = change(store);
            head = store.lastHead();
        }
        QString error = outcome == OperatorChange::FirstMustBeOwner
            ? QStringLiteral("Первым заводится владелец: выберите роль «Владелец».")
            : operatorChangeText(outcome, name);
        if (outcome == OperatorChange::Failed)
            error += QLatin1Char(' ') + kept->connection.errorText();
        replyTo(receiver, [this, outcome, error, head, doneText] {
            --busy;
            if (outcome == OperatorChange::Done) {
                tell(doneText, true);
                if (head.count > 0)
                    emit changed(head);
            } else {
                tell(error, false);
            }
            refresh();
        });
    });
}

void OperatorsDialog::addOperator()
{
    auto *entry = new OperatorEntryDialog(OperatorEntryDialog::NameRoleAndPin,
                                          QStringLiteral("Новый оператор"), this);
    entry->setAttribute(Qt::WA_DeleteOnClose);
    // The first operator must be the owner: offered so.
    if (listed.isEmpty())
        entry->setRole(Role::Owner);
    connect(entry, &QDialog::accepted, this, [this, entry] {
        const QString name = entry->name();
        const Role role = entry->role();
        const QString pin = entry->pin();
        const AuditSigner by = signer;
        run(name, QStringLiteral("Оператор «%1» (%2) заведён.").arg(name, roleCaption(role)),
            [name, role, pin, by](OperatorStore &store) {
                // The hash takes a tenth of a second: made here, off the window's thread.
                return store.add(name, role, hashPin(pin), by);
            });
    });
    entry->open();
}

void OperatorsDialog::changeRole()
{
    const OperatorAccount *account = selected();
    if (!account)
        return;
    const QString name = account->name;
    auto *entry = new OperatorEntryDialog(OperatorEntryDialog::Role,
                                          QStringLiteral("Роль оператора «%1»").arg(name), this);
    entry->setAttribute(Qt::WA_DeleteOnClose);
    entry->setRole(account->role);
    connect(entry, &QDialog::accepted, this, [this, entry, name] {
        const Role role = entry->role();
        const AuditSigner by = signer;
        run(name, QStringLiteral("Оператор «%1» теперь: %2.").arg(name, roleCaption(role)),
            [name, role, by](OperatorStore &store) { return store.setRole(name, role, by); });
    });
    entry->open();
}

void OperatorsDialog::resetPin()
{
    const OperatorAccount *account = selected();
    if (!account)
        return;
    const QString name = account->name;
    auto *entry = new OperatorEntryDialog(
        OperatorEntryDialog::Pin, QStringLiteral("Новый PIN оператора «%1»").arg(name), this);
    entry->setAttribute(Qt::WA_DeleteOnClose);
    connect(entry, &QDialog::accepted, this, [this, entry, name] {
        const QString pin = entry->pin();
        const AuditSigner by = signer;
        run(name, QStringLiteral("PIN оператора «%1» сброшен.").arg(name),
            [name, pin, by](OperatorStore &store) {
                const QByteArray hash = hashPin(pin);
                return store.resetPin(name, hash, by);
            });
    });
    entry->open();
}

void OperatorsDialog::toggleDisabled()
{
    const OperatorAccount *account = selected();
    if (!account)
        return;
    const QString name = account->name;
    const AuditSigner by = signer;
    if (account->disabled) {
        run(name, QStringLiteral("Оператор «%1» включён.").arg(name),
            [name, by](OperatorStore &store) { return store.enable(name, by); });
        return;
    }
    // The shop keeps an owner who may sign in.
    const bool lastOwner
        = account->role == Role::Owner
        && std::none_of(listed.begin(), listed.end(), [&name](const OperatorAccount &other) {
               return other.name != name && other.role == Role::Owner && !other.disabled;
           });
    if (lastOwner) {
        tell(operatorChangeText(OperatorChange::LastOwner, name), false);
        return;
    }
    if (prompts->ask(windowTitle(),
                     QStringLiteral("Отключить оператора «%1»? Войти он больше не сможет, пока его "
                                    "не включат снова.")
                         .arg(name),
                     {QStringLiteral("Отключить"), QStringLiteral("Отмена")}, 1)
        != 0)
        return;
    run(name, QStringLiteral("Оператор «%1» отключён.").arg(name),
        [name, by](OperatorStore &store) { return store.disable(name, by); });
}
