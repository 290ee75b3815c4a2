// "Журнал": the shop's invoices, newest first, searched by number, dates and words; one opened
// shows its lines; "В заказ" puts them into the order table (replacing it or after it, as chosen
// here); "По сегодняшним ценам" prices each stored job again and lets the operator take the new
// price per line or keep the old; "Акт в PDF" and "Печать акта" make the act of the work done for
// the invoice shown; "Аннулировать счёт…" voids it by hand with a reason, a manager's right (and,
// where the database keeps it to its managers, a manager's database login asked on the spot).
// Every read and write goes through the shop link's thread.
#pragma once

#include "operators/rights.h"
#include "prices/price_table.h"
#include "storage/shop_link.h"

#include <QDialog>
#include <QScopedPointer>
#include <QVector>

#include <functional>
#include <memory>

class Order;
class OrderDocuments;
class Prompts;
class MessageBoxes;
class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QTimer;

namespace Ui {
class JournalDialog;
}

class JournalDialog : public QDialog
{
    Q_OBJECT

public:
    // The order its lines go into, the prices in force when it compares, the shop's journal.
    JournalDialog(Order *order, std::function<PriceTable()> pricesInForce, ShopLink *shop,
                  QWidget *parent);
    ~JournalDialog() override;

    // Starts a search with what the fields hold now.
    void search();
    // Shows the invoice's lines.
    void openInvoice(qint64 number);
    void compareWithToday();
    void putIntoOrder();
    // Opens the invoice, prices it again at today's list and puts it into the order, the old and
    // the new prices shown side by side.
    void repeatInvoice(qint64 number);

    // The invoice shown, with today's price per line once compared (NaN where there is none).
    const InvoiceRecord &shown() const { return current; }
    // Who signed in at the counter, named in the journal's record of each act made here.
    void setOperatorName(std::function<QString()> name);
    // Where the questions and messages of a void go; message boxes over the dialog when unset.
    void setPrompts(Prompts *prompts);

    // Voids the invoice shown by hand: the reason asked, the void confirmed, the right checked,
    // then the list shows it void.
    void voidShown();
    // Asks the reason (the tests answer instead of the input box); false when given up.
    std::function<bool(const QString &title, const QString &label, QString *reason)> askReason;
    // The window's rights: the action goes on, with the name of the manager who approved it on
    // the spot (empty when none was needed); unset, it goes on at once.
    std::function<void(Action action, const QString &what,
                       std::function<void(const QString &approver)> go)>
        guard;
    // The void's record in the audit trail: what, the old and the new value, the approver.
    std::function<void(const QString &what, const QString &oldValue, const QString &newValue,
                       const QString &approver)>
        record;

private:
    void showFound(const QVector<InvoiceSummary> &found, const QString &error);
    void showInvoice(bool found, const InvoiceRecord &record, const QString &error);
    void fillLines();
    void showDocuments(const InvoiceRecord &record);
    void showVoidState();
    void runVoid(qint64 number, const HandVoid &mark, const DatabaseLogin &login);
    void askManagerLogin(qint64 number, const HandVoid &mark);
    void voidDone(qint64 number, const HandVoid &mark, const VoidAnswer &answer);
    Prompts &prompter();

    Order *order;
    std::function<PriceTable()> pricesInForce;
    ShopLink *shop;
    QLineEdit *words;
    QLineEdit *number;
    QCheckBox *fromUsed;
    QDateEdit *from;
    QCheckBox *toUsed;
    QDateEdit *to;
    QTableWidget *invoices;
    QTableWidget *lines;
    QLabel *status;
    QLabel *madeDocuments; // the invoice's documents and acts, one a line
    QLabel *difference;
    QRadioButton *replace;
    QRadioButton *append;
    QPushButton *toOrder;
    QPushButton *today;
    QPushButton *actPdf;
    QPushButton *actPrint;
    QPushButton *voidButton;
    Prompts *prompts = nullptr;
    std::unique_ptr<MessageBoxes> ownPrompts;
    std::function<QString()> operatorName;
    OrderDocuments *documents;
    QTimer *typing;
    InvoiceRecord current;
    QVector<OrderLine> todayLines; // one per stored line; empty description: no price today
    int searchSerial = 0;
    qint64 repeating = 0; // the invoice to put into the order once it is shown
    const QScopedPointer<Ui::JournalDialog> ui;
};
