// "Смена": the counter's shift — opened with the float, cash put in and taken out, the X report at
// any time, closed with the counted cash into the Z report — and the report as a PDF or on paper.
// The rights and the audit trail are the window's: the dialog asks through the seams it is given.
#pragma once

#include "operators/rights.h"
#include "order/shift_report.h"

#include <QDialog>
#include <QScopedPointer>

#include <functional>

namespace Ui {
class ShiftDialog;
}
class Prompts;
class QPrinter;
class ShiftLink;
struct ShiftAnswer;

class ShiftDialog : public QDialog
{
    Q_OBJECT

public:
    ShiftDialog(ShiftLink *link, Prompts *prompts, const QString &shopName, QWidget *parent);
    ~ShiftDialog() override;

    // Runs go once the operator holds the right (the approver's name given, empty for none).
    std::function<void(Action, const QString &what, std::function<void(const QString &)> go)> guard;
    // What was done, for the audit trail.
    std::function<void(const QString &what, const QString &oldValue, const QString &newValue,
                       const QString &approver)>
        record;
    // Who works at the counter now; empty while operators are off.
    std::function<QString()> operatorName;
    // Qt's print dialog unless replaced.
    std::function<bool(QPrinter *)> choosePrinter;

    const ShiftReport &shownReport() const { return report; }
    bool hasOpenShift() const { return shiftOpen; }

    void openShift();
    void putCash(bool in);
    void closeShift();
    void refresh();
    // The report shown: PDF into the settings' folder, or the printer. The path, empty on failure.
    QString writePdf();
    bool print();

signals:
    // Every answer from the store ends so, with what the status line says.
    void answered(bool done, const QString &message);

private:
    bool readAmount(qint64 *kopecks);
    void showReport(const ShiftAnswer &answer);
    void tell(bool done, const QString &message);
    void setBusy(bool busy);

    const QScopedPointer<Ui::ShiftDialog> ui;
    ShiftLink *link;
    Prompts *prompts;
    QString shopName;
    ShiftReport report;
    bool shiftOpen = false;
    bool hasReport = false;
};
