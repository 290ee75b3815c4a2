// The accept button and the change notice in the order area, the dialog's result handed to the
// shop's thread, and the window's order emptied once the shop has taken it.
#include "app/order_taking.h"

#include "app/customer_field.h"
#include "app/mainwindow.h"
#include "app/order_storage.h"
#include "dialogs/accept_order_dialog.h"
#include "dialogs/prompts.h"
#include "documents/document_settings.h"
#include "order/invoice_foot.h"
#include "order/order.h"
#include "storage/order_book.h"
#include "storage/settings.h"
#include "storage/shop_link.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

const QString Title = QStringLiteral("Принять заказ");

} // namespace

OrderTaking::OrderTaking(MainWindow *w)
    : QObject(w)
    , window(w)
{
    setObjectName(QStringLiteral("orderTaking"));
    // The free place of the order area's right column, under "Очистка" and left of the restore
    // notice; the change notice under it.
    QWidget *area = window->findChild<QWidget *>(QStringLiteral("centralwidget"));
    button = new QPushButton(QStringLiteral("Принять\nзаказ"), area);
    button->setObjectName(QStringLiteral("pushButtonAccept"));
    button->setGeometry(1060, 540, 75, 40);
    button->setToolTip(QStringLiteral("Принять заказ: срок, предоплата, клиент, заметка для "
                                      "производства; окно начнёт следующий заказ"));
    connect(button, &QPushButton::clicked, this, [this] { acceptOrder(); });

    state = new QLabel(area);
    state->setObjectName(QStringLiteral("labelAcceptState"));
    state->setGeometry(1058, 584, 80, 62);
    state->setWordWrap(true);
    state->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cancelButton = new QPushButton(QStringLiteral("Отмена"), area);
    cancelButton->setObjectName(QStringLiteral("pushButtonCancelRevising"));
    cancelButton->setGeometry(1060, 650, 75, 23);
    cancelButton->setToolTip(QStringLiteral("Не сохранять изменение заказа и очистить окно"));
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancelRevising(); });

    // Any change of the order on screen while it is being changed: its documents wait for the
    // change to be stored.
    Order *order = window->order();
    const auto touched = [this] {
        if (revising.number > 0 && !filling && !revising.changed) {
            revising.changed = true;
            showState();
        }
    };
    connect(order, &Order::linesInserted, this, touched);
    connect(order, &Order::linesRemoved, this, touched);
    connect(order, &Order::lineChanged, this, touched);
    connect(order, &Order::cleared, this, touched);
    connect(order, &Order::customerChanged, this, touched);

    // The news of a taken order goes at the next change of the window's order, or in a while.
    newsTimer = new QTimer(this);
    newsTimer->setSingleShot(true);
    newsTimer->setInterval(NewsShownMs);
    const auto forget = [this] {
        if (news.isEmpty())
            return;
        news.clear();
        showState();
    };
    connect(newsTimer, &QTimer::timeout, this, forget);
    connect(order, &Order::linesInserted, this, forget);
    connect(order, &Order::linesRemoved, this, forget);
    connect(order, &Order::lineChanged, this, forget);
    connect(order, &Order::customerChanged, this, forget);
    showState();
}

void OrderTaking::setNewsShown(int msecs)
{
    newsTimer->setInterval(msecs);
}

void OrderTaking::showState()
{
    cancelButton->setVisible(revising.number > 0);
    button->setEnabled(!taking && !loading);
    if (revising.number > 0) {
        // The number never parted from its sign at a line's end.
        state->setText(QStringLiteral("Изменение заказа №\u00a0%1").arg(revising.number));
        state->setToolTip(revising.changed
                              ? QStringLiteral("Изменение не сохранено: «Принять заказ» сохранит "
                                               "его как изм. %1")
                                    .arg(revising.revision + 1)
                              : QStringLiteral("Заказ № %1 как он сохранён (изм. %2)")
                                    .arg(revising.number)
                                    .arg(revising.revision));
        state->setStyleSheet(QStringLiteral("QLabel { color: #0050a0; }"));
    } else if (!news.isEmpty()) {
        state->setText(news);
        state->setToolTip(QString());
        state->setStyleSheet(QString());
    } else {
        state->clear();
        state->setToolTip(QString());
    }
    state->setVisible(!state->text().isEmpty());
}

void OrderTaking::refuse(const QString &message)
{
    window->prompts().tell(Title, message);
    emit takingRefused(message);
}

AcceptOrderDialog *OrderTaking::acceptOrder()
{
    if (taking || loading)
        return nullptr;
    if (auto *open = window->findChild<AcceptOrderDialog *>(); open && open->isVisible()) {
        open->raise();
        open->activateWindow();
        return open;
    }
    Order *order = window->order();
    if (order->isEmpty()) {
        refuse(QStringLiteral("В заказе нет ни одной строки: принимать нечего."));
        return nullptr;
    }
    if (!window->unpricedLinesSettled(Title) || order->isEmpty())
        return nullptr;
    const Settings settings;
    AcceptOrderSetup setup;
    setup.chosen = order->customer();
    setup.lineCount = order->size();
    // The total the invoice will show, in the shop's tax mode and with the customer's discount.
    const FootTerms terms = FootTerms::on(DocumentSettings::load().tax, QDate::currentDate(),
                                          order->customer().discountHundredths);
    setup.totalKopecks = kopecksOf(invoiceFoot(order->lines(), terms).total);
    setup.now = QDateTime::currentDateTime();
    setup.workingDays = settings.workingDays();
    setup.dueHour = settings.dueHour();
    setup.revising = revising.number;
    setup.due = revising.due;
    setup.note = revising.note;
    setup.paidKopecks = revising.paidKopecks;
    auto *dialog = new AcceptOrderDialog(setup, window->prompts(), window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] { accepted(dialog); });
    dialog->open();
    return dialog;
}

void OrderTaking::accepted(AcceptOrderDialog *dialog)
{
    const AcceptedOrder chosen = dialog->accepted();
    // Another customer named here is a change of the order, as in the window: an order that had
    // a document already goes on under a number of its own.
    const Customer &shown = window->order()->customer();
    if (chosen.customer.id != shown.id || chosen.customer.name() != shown.name()
        || chosen.customer.phone != shown.phone)
        window->order()->setCustomer(chosen.customer);
    const QString what = revising.number > 0
        ? QStringLiteral("изменение заказа № %1").arg(revising.number)
        : QStringLiteral("приём заказа");
    window->rightGuard()(Action::TakeOrder, what,
                         [this, chosen](const AuditRecord &record) { store(chosen, record); });
}

void OrderTaking::store(const AcceptedOrder &chosen, const AuditRecord &record)
{
    if (taking)
        return;
    const auto *path = window->findChild<QLineEdit *>(QStringLiteral("lineEdit_11"));
    OrderKeeper *keeper = window->orderKeeper();
    OrderIntake intake;
    intake.draft = keeper->beginTaking(path ? path->text() : QString());
    intake.draft.customer = chosen.customer;
    intake.due = chosen.due;
    intake.note = chosen.note;
    intake.phone = chosen.phone;
    intake.email = chosen.customer.email;
    intake.prepaymentKopecks = chosen.prepaymentKopecks;
    intake.prepaymentMethod = chosen.prepaymentMethod;

    auto request = std::make_shared<Taking>();
    request->uid = intake.draft.orderUid;
    request->revising = revising.number;
    taking = request;
    showState();
    ShopLink *shop = keeper->shop();
    if (request->revising > 0)
        shop->reviseOrder(
            request->revising, intake, this,
            [this, request](const OrderAnswer &answer) {
                answered(request, answer.done() ? request->revising : 0, answer.message);
            },
            record);
    else
        shop->takeOrder(
            intake, this,
            [this, request](qint64 number, const QString &error) {
                answered(request, number, error);
            },
            record);
    QTimer::singleShot(answerWaitMs, this, [this, request] {
        if (taking != request)
            return;
        taking.reset();
        window->orderKeeper()->takingFailed(request->uid);
        showState();
        refuse(QStringLiteral("База магазина не ответила вовремя: заказ пока не принят и "
                              "остаётся в окне. Если ответ придёт позже, заказ будет принят; "
                              "можно нажать «Принять заказ» ещё раз: дважды он не примется."));
    });
}

void OrderTaking::answered(const std::shared_ptr<Taking> &request, qint64 number,
                           const QString &error)
{
    OrderKeeper *keeper = window->orderKeeper();
    const bool current = taking == request;
    if (current)
        taking.reset();
    if (number == 0) {
        // A late failure after the time ran out was told already.
        if (current) {
            keeper->takingFailed(request->uid);
            showState();
            if (error.startsWith(OrderBook::shiftRefusalStart()))
                return offerShift(error);
            refuse((request->revising > 0
                        ? QStringLiteral("Изменение заказа № %1 не сохранено и остаётся в окне: ")
                              .arg(request->revising)
                        : QStringLiteral("Заказ не принят и остаётся в окне: "))
                   + (error.isEmpty() ? QStringLiteral("база магазина не ответила.") : error));
        }
        return;
    }
    const bool onScreen = window->order()->uid() == request->uid;
    keeper->orderTaken(request->uid, number);
    if (onScreen) {
        if (request->revising > 0 && request->revising == revising.number)
            endRevising();
        startEmpty();
    }
    news = request->revising > 0 ? QStringLiteral("Изменение заказа № %1 сохранено").arg(number)
                                 : QStringLiteral("Заказ № %1 принят").arg(number);
    newsTimer->start();
    showState();
    if (request->revising > 0)
        emit revisionStored(number);
    else
        emit orderAccepted(number);
}

void OrderTaking::offerShift(const QString &refusal)
{
    const QString message = QStringLiteral("Заказ не принят и остаётся в окне. ") + refusal;
    emit takingRefused(message);
    // The drawer's float is counted in the shift's dialog; the order waits for the next press.
    if (window->prompts().ask(Title, message,
                              {QStringLiteral("Открыть смену…"), QStringLiteral("Не сейчас")}, 0)
        == 0)
        window->showShift();
}

void OrderTaking::startEmpty()
{
    window->order()->clear();
    if (auto *field = window->findChild<CustomerField *>())
        field->leave();
    else
        window->order()->setCustomer(Customer());
}

void OrderTaking::endRevising()
{
    revising = Revising();
    emit revisingChanged(0);
}

void OrderTaking::cancelRevising()
{
    if (revising.number == 0 || taking)
        return;
    window->orderKeeper()->dropOrder();
    endRevising();
    startEmpty();
    showState();
}

void OrderTaking::reviseTakenOrder(qint64 number)
{
    if (number <= 0)
        return;
    if (taking || loading) {
        refuse(QStringLiteral("Подождите: предыдущий заказ ещё сохраняется."));
        return;
    }
    // The dialog open takes the order on screen: it is not replaced under it.
    if (const auto *open = window->findChild<AcceptOrderDialog *>(); open && open->isVisible()) {
        refuse(QStringLiteral("Сначала закройте окно «Принять заказ»: заказ № %1 откроется "
                              "после этого.")
                   .arg(number));
        return;
    }
    if (number == revising.number) {
        window->raise();
        window->activateWindow();
        return;
    }
    loading = true;
    showState();
    window->orderKeeper()->shop()->loadOrder(
        number, this,
        [this, number](bool found, const OrderDetails &details, const QString &error) {
            loading = false;
            loaded(number, found, details, error);
            showState();
        });
}

void OrderTaking::loaded(qint64 number, bool found, const OrderDetails &details,
                         const QString &error)
{
    const QString title = QStringLiteral("Изменение заказа");
    if (!found) {
        window->prompts().tell(
            title,
            error.isEmpty() ? QStringLiteral("Заказа № %1 нет в базе магазина.").arg(number)
                            : QStringLiteral("Заказ № %1 не прочитан: %2").arg(number).arg(error));
        return;
    }
    if (!statusIsOpen(details.order.status)) {
        window->prompts().tell(title,
                               QStringLiteral("Заказ № %1 %2: его уже не изменить.")
                                   .arg(number)
                                   .arg(statusCaption(details.order.status).toLower()));
        return;
    }
    Order *order = window->order();
    if (!order->isEmpty()) {
        const QString question = revising.number > 0
            ? QStringLiteral("Изменение заказа № %1 не сохранено. Отбросить его и открыть заказ "
                             "№ %2?")
                  .arg(revising.number)
                  .arg(number)
            : QStringLiteral("В окне есть заказ, ещё не принятый. Отложить его (его можно будет "
                             "восстановить) и открыть заказ № %1?")
                  .arg(number);
        const QStringList answers {revising.number > 0 ? QStringLiteral("Отбросить и открыть")
                                                       : QStringLiteral("Отложить и открыть"),
                                   QStringLiteral("Отмена")};
        if (window->prompts().ask(title, question, answers, 1) != 0)
            return;
    }
    OrderKeeper *keeper = window->orderKeeper();
    if (revising.number > 0)
        keeper->dropOrder();
    else
        keeper->putAside();
    filling = true;
    order->clear();
    order->insert(0, details.invoice.lines);
    if (auto *field = window->findChild<CustomerField *>();
        field && details.order.customer.isNull())
        field->leave();
    else
        order->setCustomer(details.order.customer);
    filling = false;
    keeper->offerLater();
    revising.number = number;
    revising.revision = details.invoice.summary.revision;
    revising.due = details.order.due;
    revising.note = details.order.note;
    revising.paidKopecks = details.order.paidKopecks;
    revising.changed = false;
    news.clear();
    emit revisingChanged(number);
}

void OrderTaking::numberForRevision(std::function<void(const DocumentNumber &)> done) const
{
    DocumentNumber number;
    number.date = QDateTime::currentDateTime();
    number.orderUid = window->order()->uid();
    if (revising.changed) {
        number.reason = QStringLiteral("изменение заказа № %1 ещё не сохранено: нажмите «Принять "
                                       "заказ», и документы получат его номер.")
                            .arg(revising.number);
    } else {
        number.ok = true;
        number.number = revising.number;
        number.revision = revising.revision;
    }
    done(number);
}

void OrderTaking::revisionDocumentFinished(qint64 number, const QString &kind, bool succeeded)
{
    // A document of the order as stored; one without a number belongs to no invoice.
    if (number > 0)
        window->orderKeeper()->shop()->addDocument(number,
                                                   {kind, QDateTime::currentDateTime(), succeeded});
}

void MainWindow::reviseTakenOrder(qint64 number)
{
    taking->reviseTakenOrder(number);
}
