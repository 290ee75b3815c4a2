// The customer's card: its fields and their checks, saving, history, repeat, personal data.
#include "dialogs/customer_card_dialog.h"

#include "dialogs/journal_dialog.h"
#include "dialogs/screen_fit.h"
#include "order/money.h"
#include "order/order.h"
#include "storage/shop_link.h"

#include "ui_customer_card_dialog.h"

#include <QHeaderView>
#include <QMessageBox>

namespace {

QString timeText(const QDateTime &time)
{
    return time.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
}

QTableWidgetItem *cell(const QString &text, Qt::Alignment alignment = Qt::AlignLeft)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

} // namespace

CustomerCardDialog::CustomerCardDialog(Order *o, std::function<PriceTable()> prices, ShopLink *link,
                                       QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CustomerCardDialog)
    , order(o)
    , pricesInForce(std::move(prices))
    , shop(link)
{
    ui->setupUi(this);
    resizeWithinScreen(this, size());
    confirm = [this](const QString &question) {
        return QMessageBox::question(this, windowTitle(), question) == QMessageBox::Yes;
    };
    ui->lineEditCustomerDiscount->setPlaceholderText(QStringLiteral("0"));
    ui->tableCustomerInvoices->horizontalHeader()->setSectionResizeMode(
        QHeaderView::ResizeToContents);
    ui->tableCustomerInvoices->horizontalHeader()->setStretchLastSection(true);

    for (QLineEdit *edit : findChildren<QLineEdit *>()) {
        const QString name = edit->objectName();
        if (!name.startsWith(QLatin1String("lineEditCustomer")))
            continue;
        auto *problem = findChild<QLabel *>(QStringLiteral("labelCustomerProblem")
                                            + name.mid(int(qstrlen("lineEditCustomer"))));
        if (!problem)
            continue;
        problem->hide();
        problemLabels.insert(edit, problem);
        connect(edit, &QLineEdit::textEdited, this, [this] { showProblems(false); });
        // A field's mistake is told once the operator leaves it, then follows the typing.
        connect(edit, &QLineEdit::editingFinished, this, [this, edit] {
            if (filling)
                return;
            touched.insert(edit);
            showProblems(false);
        });
    }
    connect(ui->comboBoxCustomerKind, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this] {
                followKind();
                if (!filling)
                    showProblems(false);
            });
    connect(ui->pushButtonCustomerSave, &QPushButton::clicked, this, [this] { save(); });
    connect(ui->pushButtonCustomerChoose, &QPushButton::clicked, this, &CustomerCardDialog::choose);
    connect(ui->pushButtonCustomerClose, &QPushButton::clicked, this, &QDialog::close);
    connect(ui->pushButtonRepeat, &QPushButton::clicked, this, &CustomerCardDialog::repeatSelected);
    connect(ui->pushButtonClearPersonalData, &QPushButton::clicked, this,
            &CustomerCardDialog::clearPersonalData);
    connect(ui->tableCustomerInvoices, &QTableWidget::itemSelectionChanged, this, [this] {
        ui->pushButtonRepeat->setEnabled(!ui->tableCustomerInvoices->selectedItems().isEmpty());
    });
    connect(ui->tableCustomerInvoices, &QTableWidget::cellDoubleClicked, this,
            &CustomerCardDialog::repeatSelected);
    fill(Customer());
}

CustomerCardDialog::~CustomerCardDialog() = default;

void CustomerCardDialog::showCustomer(const Customer &customer)
{
    current = customer;
    fill(customer);
    showInvoices({});
    if (customer.id == 0) {
        setStatus(QString());
        return;
    }
    setStatus(QStringLiteral("Чтение карточки…"));
    const int serial = ++loadSerial;
    shop->loadCustomer(
        customer.id, this,
        [this, serial](bool found, const Customer &loaded, const QVector<CustomerInvoice> &invoices,
                       const QString &error) {
            if (serial != loadSerial)
                return;
            if (!found) {
                setStatus(error.isEmpty() ? QStringLiteral("Этого клиента в базе больше нет.")
                                          : error,
                          true);
                return;
            }
            current = loaded;
            fill(loaded);
            showInvoices(invoices);
            setStatus(QString());
        });
}

void CustomerCardDialog::fill(const Customer &customer)
{
    filling = true;
    ui->comboBoxCustomerKind->setCurrentIndex(int(customer.kind));
    ui->lineEditCustomerShortName->setText(customer.shortName);
    ui->lineEditCustomerFullName->setText(customer.fullName);
    ui->lineEditCustomerInn->setText(customer.inn);
    ui->lineEditCustomerKpp->setText(customer.kpp);
    ui->lineEditCustomerOgrn->setText(customer.ogrn);
    ui->lineEditCustomerAddress->setText(customer.address);
    ui->lineEditCustomerPhone->setText(customer.phone);
    ui->lineEditCustomerEmail->setText(customer.email);
    ui->lineEditCustomerContact->setText(customer.contact);
    ui->lineEditCustomerBik->setText(customer.bik);
    ui->lineEditCustomerAccount->setText(customer.account);
    ui->lineEditCustomerCorrespondentAccount->setText(customer.correspondentAccount);
    ui->lineEditCustomerBankName->setText(customer.bankName);
    ui->lineEditCustomerDiscount->setText(
        customer.discountHundredths == 0 ? QString() : discountText(customer.discountHundredths));
    ui->lineEditCustomerNote->setText(customer.note);
    filling = false;
    touched.clear();
    followKind();
    showProblems(false);

    QStringList stamps;
    if (customer.created.isValid())
        stamps
            << QStringLiteral("Создан %1 (%2)").arg(timeText(customer.created), customer.createdAt);
    if (customer.changed.isValid() && customer.changed != customer.created)
        stamps << QStringLiteral("изменён %1 (%2)")
                      .arg(timeText(customer.changed), customer.changedAt);
    if (customer.personalDataCleared)
        stamps << QStringLiteral("персональные данные удалены");
    ui->labelCustomerStamps->setText(stamps.join(QStringLiteral(" · ")));
    ui->labelCustomerStamps->setVisible(!stamps.isEmpty());
    setWindowTitle(customer.id == 0 ? QStringLiteral("Новый клиент")
                                    : QStringLiteral("Клиент: ") + customer.name());
}

void CustomerCardDialog::followKind()
{
    const auto kind = Customer::Kind(ui->comboBoxCustomerKind->currentIndex());
    // КПП belongs to an organisation, ОГРНИП to a sole trader; a private person has neither.
    for (QWidget *widget : {static_cast<QWidget *>(ui->labelCustomerKpp),
                            static_cast<QWidget *>(ui->lineEditCustomerKpp)})
        widget->setVisible(kind == Customer::Organisation);
    for (QWidget *widget : {static_cast<QWidget *>(ui->labelCustomerOgrn),
                            static_cast<QWidget *>(ui->lineEditCustomerOgrn)})
        widget->setVisible(kind != Customer::Person);
    ui->labelCustomerOgrn->setText(ogrnCaption(kind));
    ui->lineEditCustomerOgrn->setMaxLength(kind == Customer::SoleTrader ? 15 : 13);
    ui->pushButtonClearPersonalData->setVisible(kind == Customer::Person);
    ui->pushButtonClearPersonalData->setEnabled(current.id > 0 && current.kind == Customer::Person
                                                && !current.personalDataCleared);
}

Customer CustomerCardDialog::edited() const
{
    Customer customer = current;
    customer.kind = Customer::Kind(ui->comboBoxCustomerKind->currentIndex());
    customer.shortName = ui->lineEditCustomerShortName->text().trimmed();
    customer.fullName = ui->lineEditCustomerFullName->text().trimmed();
    customer.inn = ui->lineEditCustomerInn->text().trimmed();
    customer.kpp = customer.kind == Customer::Organisation
        ? ui->lineEditCustomerKpp->text().trimmed()
        : QString();
    customer.ogrn = customer.kind == Customer::Person ? QString()
                                                      : ui->lineEditCustomerOgrn->text().trimmed();
    customer.address = ui->lineEditCustomerAddress->text().trimmed();
    customer.phone = ui->lineEditCustomerPhone->text().trimmed();
    customer.email = ui->lineEditCustomerEmail->text().trimmed();
    customer.contact = ui->lineEditCustomerContact->text().trimmed();
    customer.bik = ui->lineEditCustomerBik->text().trimmed();
    customer.account = ui->lineEditCustomerAccount->text().trimmed();
    customer.correspondentAccount = ui->lineEditCustomerCorrespondentAccount->text().trimmed();
    customer.bankName = ui->lineEditCustomerBankName->text().trimmed();
    const QString discount = ui->lineEditCustomerDiscount->text().trimmed();
    int hundredths = 0;
    if (discount.isEmpty() || readDiscount(discount, &hundredths))
        customer.discountHundredths = hundredths;
    customer.note = ui->lineEditCustomerNote->text().trimmed();
    return customer;
}

QVector<CustomerProblem> CustomerCardDialog::problems() const
{
    const QString discount = ui->lineEditCustomerDiscount->text().trimmed();
    int hundredths = 0;
    const bool discountRead = discount.isEmpty() || readDiscount(discount, &hundredths);
    QVector<CustomerProblem> found;
    for (const CustomerProblem &problem : customerProblems(edited()))
        if (discountRead || problem.field != QLatin1String("Скидка"))
            found.append(problem);
    if (!discountRead)
        found.append({QStringLiteral("Скидка"),
                      QStringLiteral("Скидка — число от 0 до 50, не больше двух знаков после "
                                     "запятой.")});
    return found;
}

QLineEdit *CustomerCardDialog::fieldOf(const QString &caption) const
{
    static const QHash<QString, QString> names {
        {QStringLiteral("Наименование"), QStringLiteral("ShortName")},
        {QStringLiteral("ИНН"), QStringLiteral("Inn")},
        {QStringLiteral("КПП"), QStringLiteral("Kpp")},
        {QStringLiteral("ОГРН"), QStringLiteral("Ogrn")},
        {QStringLiteral("ОГРНИП"), QStringLiteral("Ogrn")},
        {QStringLiteral("Адрес"), QStringLiteral("Address")},
        {QStringLiteral("Телефон"), QStringLiteral("Phone")},
        {QStringLiteral("E-mail"), QStringLiteral("Email")},
        {QStringLiteral("БИК"), QStringLiteral("Bik")},
        {QStringLiteral("Расчётный счёт"), QStringLiteral("Account")},
        {QStringLiteral("Корр. счёт"), QStringLiteral("CorrespondentAccount")},
        {QStringLiteral("Скидка"), QStringLiteral("Discount")}};
    const QString name = names.value(caption);
    return name.isEmpty() ? nullptr
                          : findChild<QLineEdit *>(QStringLiteral("lineEditCustomer") + name);
}

void CustomerCardDialog::showProblems(bool all)
{
    if (filling)
        return;
    QHash<QLabel *, QStringList> messages;
    QStringList elsewhere;
    for (const CustomerProblem &problem : problems()) {
        QLineEdit *edit = fieldOf(problem.field);
        if (edit && !edit->isHidden()) {
            if (all || touched.contains(edit))
                messages[problemLabels.value(edit)] << problem.message;
        } else if (all) {
            elsewhere << problem.message;
        }
    }
    for (QLabel *label : qAsConst(problemLabels)) {
        const QStringList text = messages.value(label);
        label->setText(text.join(QLatin1Char(' ')));
        label->setVisible(!text.isEmpty());
    }
    if (all && !elsewhere.isEmpty())
        setStatus(elsewhere.join(QLatin1Char(' ')), true);
}

void CustomerCardDialog::setStatus(const QString &text, bool bad)
{
    ui->labelCustomerStatus->setText(text);
    ui->labelCustomerStatus->setStyleSheet(bad ? QStringLiteral("color: #b00000;") : QString());
}

void CustomerCardDialog::save(std::function<void()> then)
{
    const QVector<CustomerProblem> found = problems();
    if (!found.isEmpty()) {
        QStringList fields;
        for (const CustomerProblem &problem : found)
            if (!fields.contains(problem.field))
                fields << problem.field;
        setStatus(QStringLiteral("Карточка не сохранена, исправьте: %1.")
                      .arg(fields.join(QStringLiteral(", "))),
                  true);
        showProblems(true);
        return;
    }
    const int discount = edited().discountHundredths;
    if (guard && discountCapHundredths >= 0 && discount > discountCapHundredths
        && discount != current.discountHundredths) {
        guard(Action::DiscountAboveCap,
              QStringLiteral("скидка %1 % выше предела %2 %")
                  .arg(QString::number(discount / 100.0),
                       QString::number(discountCapHundredths / 100.0)),
              [this, then](const AuditRecord &record) { store(then, record); });
        return;
    }
    store(then);
}

void CustomerCardDialog::store(std::function<void()> then, const AuditRecord &record)
{
    setStatus(QStringLiteral("Сохранение…"));
    ui->pushButtonCustomerSave->setEnabled(false);
    ui->pushButtonCustomerChoose->setEnabled(false);
    shop->saveCustomer(
        edited(), this,
        [this, then](CustomerSaveResult result, const Customer &saved,
                     const QVector<CustomerProblem> &refused, const Customer &existing,
                     const QString &error) {
            ui->pushButtonCustomerSave->setEnabled(true);
            ui->pushButtonCustomerChoose->setEnabled(true);
            switch (result) {
            case CustomerSaveResult::Saved:
                current = saved;
                fill(saved);
                setStatus(QStringLiteral("Сохранено."));
                // The order's copy of the card follows it: its next document names it as saved.
                if (order->customer().id == saved.id)
                    order->setCustomer(saved);
                emit customerStored(saved.id);
                if (then)
                    then();
                return;
            case CustomerSaveResult::Invalid: {
                QStringList messages;
                for (const CustomerProblem &problem : refused)
                    messages << problem.message;
                setStatus(QStringLiteral("Карточка не сохранена: ")
                              + messages.join(QLatin1Char(' ')),
                          true);
                return;
            }
            case CustomerSaveResult::Duplicate: {
                const QString same = existing.kind == Customer::Person
                    ? QStringLiteral("с тем же телефоном")
                    : QStringLiteral("с теми же ИНН и КПП");
                setStatus(QStringLiteral("Карточка не сохранена: клиент %1 уже есть — «%2».")
                              .arg(same, existing.name()),
                          true);
                if (confirm(QStringLiteral("Клиент %1 уже есть: «%2». Открыть его карточку? "
                                           "Набранное здесь не сохранится.")
                                .arg(same, existing.name())))
                    showCustomer(existing);
                return;
            }
            case CustomerSaveResult::Failed:
                setStatus(QStringLiteral("Карточка не сохранена: ") + error, true);
                return;
            }
        },
        record);
}

void CustomerCardDialog::choose()
{
    const auto take = [this] {
        order->setCustomer(current);
        close();
    };
    if (current.id == 0 || edited() != current)
        save(take);
    else
        take();
}

void CustomerCardDialog::showInvoices(const QVector<CustomerInvoice> &invoices)
{
    history = invoices;
    QTableWidget *table = ui->tableCustomerInvoices;
    table->setRowCount(invoices.size());
    for (int row = 0; row < invoices.size(); ++row) {
        const CustomerInvoice &invoice = invoices.at(row);
        table->setItem(row, 0, cell(QString::number(invoice.number), Qt::AlignRight));
        table->setItem(row, 1, cell(invoice.created.toString(QStringLiteral("dd.MM.yyyy"))));
        table->setItem(row, 2, cell(moneyText(invoice.total), Qt::AlignRight));
        table->setItem(row, 3, cell(invoice.mark()));
    }
    ui->pushButtonRepeat->setEnabled(false);
    ui->labelCustomerInvoicesStatus->setText(
        current.id == 0          ? QString()
            : invoices.isEmpty() ? QStringLiteral("Счетов пока нет.")
                                 : QStringLiteral("Счетов: %1").arg(invoices.size())
                + (owedKopecks(invoices) > 0
                       ? QStringLiteral(" · долг %1")
                             .arg(moneyText(double(owedKopecks(invoices)) / 100.0))
                       : QString()));
}

void CustomerCardDialog::repeatSelected()
{
    const QList<QTableWidgetItem *> selected = ui->tableCustomerInvoices->selectedItems();
    if (selected.isEmpty())
        return;
    const qint64 number = history.value(selected.first()->row()).number;
    if (number == 0)
        return;
    // The journal's own comparison with today's prices, in the journal's window.
    QWidget *window = parentWidget() ? parentWidget() : this;
    auto *journal = window->findChild<JournalDialog *>(QString(), Qt::FindDirectChildrenOnly);
    if (!journal) {
        journal = new JournalDialog(order, pricesInForce, shop, window);
        journal->setAttribute(Qt::WA_DeleteOnClose);
    }
    if (order->customer().isNull() && current.id > 0)
        order->setCustomer(current);
    journal->show();
    journal->raise();
    journal->activateWindow();
    journal->repeatInvoice(number);
}

void CustomerCardDialog::clearPersonalData()
{
    if (current.id == 0 || current.kind != Customer::Person || current.personalDataCleared)
        return;
    if (!confirm(QStringLiteral("Удалить персональные данные «%1»? Имя, телефон, e-mail и адрес "
                                "заменятся словом «удалено» в карточке и в поиске; выставленные "
                                "счета останутся как были напечатаны.")
                     .arg(current.name())))
        return;
    const qint64 id = current.id;
    const auto go = [this, id](const AuditRecord &record) {
        shop->clearPersonalData(
            id, this,
            [this, id](bool ok, const QString &error) {
                if (!ok) {
                    setStatus(QStringLiteral("Персональные данные не удалены: ") + error, true);
                    return;
                }
                emit customerStored(id);
                if (current.id == id)
                    showCustomer(current);
            },
            record);
    };
    if (guard)
        guard(Action::MergeOrClearCustomers,
              QStringLiteral("удаление персональных данных клиента № %1").arg(id), go);
    else
        go(AuditRecord());
}
