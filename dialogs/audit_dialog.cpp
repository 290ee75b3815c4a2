// The trail's view: the filter's fields over the table, the chain's check under it.
#include "dialogs/audit_dialog.h"

#include "ui_audit_dialog.h"

#include <QDate>
#include <QPointer>

AuditDialog::AuditDialog(AuditReader reader, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::AuditDialog)
    , reader(std::move(reader))
    , model(new AuditModel(this))
{
    ui->setupUi(this);
    const QDate today = QDate::currentDate();
    ui->dateEditAuditFrom->setDate(today);
    ui->dateEditAuditTo->setDate(today);
    ui->tableViewAudit->setModel(model);

    connect(ui->checkBoxAuditFrom, &QCheckBox::toggled, ui->dateEditAuditFrom,
            &QWidget::setEnabled);
    connect(ui->checkBoxAuditTo, &QCheckBox::toggled, ui->dateEditAuditTo, &QWidget::setEnabled);
    connect(ui->pushButtonAuditShow, &QPushButton::clicked, this, [this] { refresh(); });
    connect(ui->lineEditAuditWho, &QLineEdit::returnPressed, this, [this] { refresh(); });
    connect(ui->lineEditAuditWhat, &QLineEdit::returnPressed, this, [this] { refresh(); });
}

AuditDialog::~AuditDialog() = default;

AuditFilter AuditDialog::filter() const
{
    AuditFilter filter;
    if (ui->checkBoxAuditFrom->isChecked())
        filter.from = ui->dateEditAuditFrom->date();
    if (ui->checkBoxAuditTo->isChecked())
        filter.to = ui->dateEditAuditTo->date();
    filter.who = ui->lineEditAuditWho->text().trimmed();
    filter.what = ui->lineEditAuditWhat->text().trimmed();
    return filter;
}

void AuditDialog::refresh()
{
    const AuditFilter wanted = filter();
    if (wanted.from.isValid() && wanted.to.isValid() && wanted.from > wanted.to) {
        ui->labelAuditStatus->setText(
            QStringLiteral("Первый день позже последнего: ничего не показано."));
        return;
    }
    ui->labelAuditStatus->setText(QStringLiteral("Читается журнал…"));
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
        ui->labelAuditStatus->setText(QStringLiteral("Журнал действий не прочитан: ")
                                      + reading.error);
        return;
    }
    model->setRecords(reading.records);
    ui->tableViewAudit->resizeColumnsToContents();
    ui->labelAuditChain->setText(reading.chain);
    ui->labelAuditStatus->setText(QStringLiteral("Записей: %1").arg(reading.records.size()));
}
