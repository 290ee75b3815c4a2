// "Заказы": the taken orders by view ("Открытые" first, by due time), searched by number,
// customer, phone or words of the lines; keys move the selected order to its next status, take a
// payment or a refund, open it (lines, payments, changes, mails) or hand it to the window to
// change; the website's waiting requests are listed first on "Открытые" and "Все", as "Заявка",
// confirmed into an order or declined with a reason; "Выписка банка" imports a bank statement and
// lets the operator match by hand what did not match. Every read and write goes through the orders
// link's thread; the board follows the link's news of changes, its own and (on PostgreSQL) the
// other counters'.
#pragma once

#include "dialogs/orders_model.h"
#include "operators/rights.h"
#include "storage/orders_link.h"

#include <QDialog>
#include <QPointer>
#include <QScopedPointer>

#include <functional>

namespace Ui {
class OrdersDialog;
}
class OrdersLink;
class PaymentDialog;
class Prompts;
class StatementDialog;
class QTimer;

class OrdersDialog : public QDialog
{
    Q_OBJECT

public:
    // account: the shop's settlement account the statement's payments come to (its problem, when
    // the settings' account is not usable, refuses the import with that sentence).
    OrdersDialog(OrdersLink *link, Prompts *prompts, const QString &account,
                 const QString &accountProblem, QWidget *parent);
    ~OrdersDialog() override;

    // The time the views count from; the current time unless a test sets it.
    std::function<QDateTime()> clock;
    // Asks for a reason (a cancellation's, a refund's); false when the operator gave up. The
    // tests answer instead of the input box.
    std::function<bool(const QString &title, const QString &label, QString *reason)> askReason;
    // What a confirmed request's order takes from the settings (its number's start, the tax).
    std::function<RequestTerms()> requestTerms;
    // The window's rights: the action goes on once the signed-in operator may take it (a manager
    // approving on the spot where needed), its record stored with the change; unset, everything
    // goes on at once and unrecorded.
    RightGuard guard;

    void setView(BoardView view);
    BoardView view() const;
    // Lists the view again with what the search field holds, from the database; the selection
    // stays on its order.
    void refresh();
    // The selected order's number; 0 for none or a request.
    qint64 selectedNumber() const;
    void selectNumber(qint64 number);
    // The selected website's request's number; 0 for none or an order.
    qint64 selectedRequest() const;
    void selectRequest(qint64 request);

    // The keys' work on the selected order.
    void nextStatus();
    void stepBack();
    void cancelOrder();
    void takePayment();
    void openSelected();
    void confirmRequest();
    void declineRequest();
    // Reads and imports the statement, showing its report.
    void importStatementFile(const QString &path);

    const OrdersModel *orders() const { return model; }
    // The order opened in the details, 0 before any.
    qint64 openedNumber() const { return opened.order.number; }
    const OrderDetails &openedOrder() const { return opened; }
    // How many lists have been shown; the tests wait on it.
    int listsShown() const { return shownLists; }
    // A list is asked for, or will be once the one asked for is in.
    bool isListing() const;
    // How many lists were read from the database; a view narrowed from the list shown reads none.
    int listsRead() const { return readLists; }

signals:
    // The window puts the order back into the counter's table to change it.
    void reviseRequested(qint64 number);
    void ticketRequested(qint64 number);
    void actRequested(qint64 number);
    // A change queued the customer's "ready" mail: the sender may take it at once.
    void mailQueued();

private:
    void showList(const BoardList &list, const QString &error, qint64 keep);
    // The view chosen: filtered from the list read last when that one holds all it shows, read
    // otherwise.
    void showView();
    void showDetails(const OrderDetails &details);
    void showRequest(const TakenOrder &request);
    // Asks whose order the request becomes; false when the question was cancelled.
    bool chooseCard(const WebRequestRecord &request, const QVector<Customer> &cards,
                    RequestCard *card);
    void takeRequest(qint64 request, const RequestCard &card);
    void moveTo(qint64 number, OrderStatus to, const QString &reason, bool force);
    void sendMove(qint64 number, OrderStatus to, const QString &reason, bool force,
                  const AuditRecord &record);
    void sendPayment(qint64 number, const Payment &taken, const AuditRecord &record);
    void withRight(Action action, const QString &what,
                   std::function<void(const AuditRecord &record)> go);
    void answered(const OrderAnswer &answer, const QString &done);
    using Answered = std::function<void(const OrderAnswer &)>;
    // Sends the change; when the database keeps it to a manager's login, asks for one (the
    // link keeps it for the session) and sends it again. what: "отменить заказ".
    void sendAsManagerIfNeeded(const QString &what, const std::function<void(Answered)> &send,
                               const Answered &finish);
    void updateButtons();
    QDateTime now() const;

    const QScopedPointer<Ui::OrdersDialog> ui;
    OrdersLink *link;
    Prompts *prompts;
    QString account;
    QString accountProblem;
    OrdersModel *model;
    QTimer *typing;
    QTimer *following;
    QTimer *opening;
    QPointer<PaymentDialog> payment;
    QPointer<StatementDialog> statement;
    OrderDetails opened;
    int serial = 0;
    bool listing = false; // a list is asked for and not answered
    bool listAgain = false; // something changed meanwhile
    int shownLists = 0;
    qint64 selectAfterList = 0; // a request's new order, selected once listed
    int readLists = 0;
    // The last list read without a search, while nothing has changed since.
    BoardList readList;
    BoardView readView = BoardView::All;
    bool readListCurrent = false;
};
