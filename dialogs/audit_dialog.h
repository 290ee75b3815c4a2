// "Журнал действий": the owner's view of the audit trail, filtered by days, by who and by what
// was done, with the chain's check of the whole trail beside it. Reads through the reader it is
// given, so the window never waits on the database.
#pragma once

#include "dialogs/audit_model.h"

#include <QDialog>
#include <QScopedPointer>

namespace Ui {
class AuditDialog;
}

class AuditDialog : public QDialog
{
    Q_OBJECT

public:
    AuditDialog(AuditReader reader, QWidget *parent);
    ~AuditDialog() override;

    // The filter as the fields give it.
    AuditFilter filter() const;
    // Reads the trail again with the filter.
    void refresh();
    const AuditModel *records() const { return model; }
    // How many readings have been shown; the tests wait on it.
    int readingsShown() const { return shown; }

private:
    void showReading(const AuditReading &reading);

    const QScopedPointer<Ui::AuditDialog> ui;
    AuditReader reader;
    AuditModel *model;
    int asked = 0;
    int shown = 0;
};
