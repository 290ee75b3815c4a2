// The trail's view: the filter's fields over the table, the chain's check under it.
#include "dialogs/audit_dialog.h"

#include <QCheckBox>
#include <QDate>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

AuditDialog::AuditDialog(AuditReader reader, QWidget *parent)
    : QDialog(parent)
    , reader(std::move(reader))
    , model(new AuditModel(this))
{
    setObjectName(QStringLiteral("AuditDialog"));
    setWindowTitle(QStringLiteral("Журнал действий"));
    const QDate today = QDate::currentDate();
    const auto dateEdit = [this, today](const QString &name) {
        auto *edit = new QDateEdit(today, this);
        edit->setObjectName(name);
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        edit->setEnabled(false);
        return edit;
    };
    fromOn = new QCheckBox(QStringLiteral("с"), this);
    fromOn->setObjectName(QStringLiteral("checkBoxAuditFrom"));
    from = dateEdit(QStringLiteral("dateEditAuditFrom"));
    toOn = new QCheckBox(QStringLiteral("по"), this);
    toOn->setObjectName(QStringLiteral("checkBoxAuditTo"));
    to = dateEdit(QStringLiteral("dateEditAuditTo"));
    who = new QLineEdit(this);
    who->setObjectName(QStringLiteral("lineEditAuditWho"));
    who->setPlaceholderText(QStringLiteral("кто (оператор или разрешивший)"));
    what = new QLineEdit(this);
    what->setObjectName(QStringLiteral("lineEditAuditWhat"));
    what->setPlaceholderText(QStringLiteral("что сделано"));
    showButton = new QPushButton(QStringLiteral("Показать"), this);
    showButton->setObjectName(QStringLiteral("pushButtonAuditShow"));
    showButton->setDefault(true);
    table = new QTableView(this);
    table->setObjectName(QStringLiteral("tableViewAudit"));
    table->setModel(model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    chain = new QLabel(this);
    chain->setObjectName(QStringLiteral("labelAuditChain"));
    chain->setWordWrap(true);
    status = new QLabel(this);
    status->setObjectName(QStringLiteral("labelAuditStatus"));

    auto *filters = new QHBoxLayout;
    filters->addWidget(fromOn);
    filters->addWidget(from);
    filters->addWidget(toOn);
    filters->addWidget(to);
    filters->addWidget(who, 1);
    filters->addWidget(what, 1);
    filters->addWidget(showButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(table, 1);
    layout->addWidget(chain);
    layout->addWidget(status);
    resize(1000, 560);

    connect(fromOn, &QCheckBox::toggled, from, &QWidget::setEnabled);
    connect(toOn, &QCheckBox::toggled, to, &QWidget::setEnabled);
    connect(showButton, &QPushButton::clicked, this, [this] { refresh(); });
    connect(who, &QLineEdit::returnPressed, this, [this] { refresh(); });
    connect(what, &QLineEdit::returnPressed, this, [this] { refresh(); });
}

AuditFilter AuditDialog::filter() const
{
    AuditFilter filter;
    if (fromOn->isChecked())
        filter.from = from->date();
    if (toOn->isChecked())
        filter.to = to->date();
    filter.who = who->text().trimmed();
    filter.what = what->text().trimmed();
    return filter;
}

void AuditDialog::refresh()
{
    const AuditFilter wanted = filter();
    if (wanted.from.isValid() && wanted.to.isValid() && wanted.from > wanted.to) {
        status->setText(QStringLiteral("Первый день позже последнего: ничего не показано."));
        return;
    }
    status->setText(QStringLiteral("Читается журнал…"));
    const int serial = ++asked;
    QPointer<AuditDialog> self(this);
    reader(wanted, this, [self, serial](const AuditReading &reading) {
        // Only the last reading asked for is shown.
        if (self && serial == self->asked)
            self->showReading(reading);
    });
}

void AuditDialog::showReading(const AuditReading &reading)
{
    ++shown;
    if (!reading.read) {
        status->setText(QStringLiteral("Журнал действий не прочитан: ") + reading.error);
        return;
    }
    model->setRecords(reading.records);
    table->resizeColumnsToContents();
    chain->setText(reading.chain);
    status->setText(QStringLiteral("Записей: %1").arg(reading.records.size()));
}
