// The bank statement's report: every document with what became of it, the totals above; a
// document that matched no order is paid to the order whose number the operator types.
#pragma once

#include "storage/order_book.h"

#include <QDialog>
#include <QScopedPointer>
#include <QSet>

namespace Ui {
class StatementDialog;
}
class OrdersLink;

class StatementDialog : public QDialog
{
    Q_OBJECT

public:
    StatementDialog(OrdersLink *link, const QString &fileName, const StatementReport &report,
                    QWidget *parent);
    ~StatementDialog() override;

    const StatementReport &report() const { return shown; }
    // The report's lines matched by hand since it was shown.
    const QSet<int> &matched() const { return handMatched; }
    // Pays the selected not matched document to the order of that number.
    void matchSelected(qint64 number);

private:
    void fill();
    int selectedLine() const;

    const QScopedPointer<Ui::StatementDialog> ui;
    OrdersLink *link;
    StatementReport shown;
    QSet<int> handMatched;
};
