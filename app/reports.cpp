// The window's "Отчёты": the owner's reports over the shop's database. Once the shop has
// operators the button is only enabled for the owner signed in, and opening still checks the
// right as every action does.
#include "app/mainwindow.h"

#include "app/operators.h"
#include "app/order_storage.h"
#include "dialogs/reports_dialog.h"
#include "storage/shop_link.h"

#ifdef PRINTCALC_HAVE_OFFICE
#include "office/office_pool.h"
#include "office/office_session.h"
#include "office/sheet_rows.h"
#endif

#include <QEvent>
#include <QPushButton>

namespace {

// The sign-in happens over the window: each time the window comes back to the front the button
// follows who is signed in.
class OwnerOnly : public QObject
{
public:
    OwnerOnly(QPushButton *button, std::function<bool()> allowed, QObject *parent)
        : QObject(parent)
        , button(button)
        , allowed(std::move(allowed))
    {
        follow();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
            follow();
        return QObject::eventFilter(watched, event);
    }

private:
    void follow()
    {
        const bool may = allowed();
        button->setEnabled(may);
        button->setToolTip(may ? QStringLiteral("Продажи за период, средний заказ, долги")
                               : QStringLiteral("Отчёты видит только владелец"));
    }

    QPushButton *button;
    std::function<bool()> allowed;
};

} // namespace

void MainWindow::initReports()
{
    auto *reports = new QPushButton(QStringLiteral("Отчёты"));
    reports->setObjectName(QStringLiteral("pushButtonReports"));
    // At the row's end: "Заказы" keeps "Журнал" beside it.
    addWindowButton(reports);
    installEventFilter(new OwnerOnly(
        reports,
        [this] {
            return !operatorGate || !operatorGate->isOn()
                || decisionFor(operatorGate->currentRole(), Action::ViewReports)
                == Decision::Allowed;
        },
        this));
    connect(reports, &QPushButton::clicked, this, [this] {
        withRight(Action::ViewReports, actionCaption(Action::ViewReports),
                  [this](const QString &) { showReports(); });
    });
}

ReportsDialog *MainWindow::showReports()
{
    if (operatorGate && operatorGate->isOn()
        && decisionFor(operatorGate->currentRole(), Action::ViewReports) != Decision::Allowed)
        return nullptr;
    auto *dialog = findChild<ReportsDialog *>(QString(), Qt::FindDirectChildrenOnly);
    if (!dialog) {
        dialog = new ReportsDialog(keeper->shop()->url(), &prompts(), this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
#ifdef PRINTCALC_HAVE_OFFICE
        dialog->writeSheet = [](const QString &path, const QVector<QStringList> &rows,
                                const QSet<int> &numbers, QString *error) {
            SheetColumns columns;
            columns.numbers = numbers;
            columns.text.insert(0);
            return writeSheetRows(OfficeSession::shared(), path, rows, columns, error);
        };
        dialog->sheetPool = officePool();
#endif
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}
