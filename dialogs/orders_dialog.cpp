// The board's widgets, its views and keys, and the answers of the orders link.
#include "dialogs/orders_dialog.h"

#include "dialogs/manager_login_dialog.h"
#include "dialogs/payment_dialog.h"
#include "dialogs/prompts.h"
#include "dialogs/screen_fit.h"
#include "dialogs/statement_dialog.h"
#include "order/money.h"
#include "storage/orders_link.h"

#include "ui_orders_dialog.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QRegularExpression>
#include <QShortcut>
#include <QTimer>

namespace {

QString roubles(qint64 kopecks)
{
    return moneyText(double(kopecks) / 100.0);
}

QString minute(const QDateTime &time)
{
    return time.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
}

void fillTable(QTableWidget *table, const QVector<QStringList> &rows)
{
    table->setRowCount(rows.size());
    for (int row = 0; row < rows.size(); ++row)
        for (int column = 0; column < rows.at(row).size(); ++column)
            table->setItem(row, column, new QTableWidgetItem(rows.at(row).at(column)));
    table->resizeColumnsToContents();
}

} // namespace

OrdersDialog::OrdersDialog(OrdersLink *l, Prompts *p, const QString &shopAccount,
                           const QString &shopAccountProblem, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::OrdersDialog)
    , link(l)
    , prompts(p)
    , account(shopAccount)
    , accountProblem(shopAccountProblem)
{
    ui->setupUi(this);
    resizeWithinScreen(this, QSize(1180, 680));
    askReason = [this](const QString &title, const QString &label, QString *reason) {
        bool given = false;
        *reason = QInputDialog::getText(this, title, label, QLineEdit::Normal, QString(), &given);
        return given;
    };

    for (BoardView each : BoardViews)
        ui->comboBoxOrdersView->addItem(boardViewCaption(each), int(each));
    model = new OrdersModel(this);
    QTableView *table = ui->tableViewOrders;
    table->setModel(model);
    // Widths of their own: measuring ten thousand rows' contents would hold the window.
    QHeaderView *header = table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    const int widths[OrdersModel::ColumnCount] = {70, 80, 130, 165, 130, 95, 95, 95, 90, 100, 80};
    for (int column = 0; column < OrdersModel::ColumnCount; ++column)
        header->resizeSection(column, widths[column]);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 8);
    ui->splitterOrders->setStretchFactor(0, 3);
    ui->splitterOrders->setStretchFactor(1, 2);

    typing = new QTimer(this);
    typing->setSingleShot(true);
    typing->setInterval(200);
    connect(typing, &QTimer::timeout, this, &OrdersDialog::refresh);
    // A statement or another counter's burst of changes is listed once.
    following = new QTimer(this);
    following->setSingleShot(true);
    following->setInterval(30);
    connect(following, &QTimer::timeout, this, &OrdersDialog::refresh);
    const auto changed = [this] {
        readListCurrent = false;
        following->start();
    };
    connect(link, &OrdersLink::ordersChanged, this, changed);
    // Listening again after the connection was lost: what changed meanwhile went unheard.
    connect(link, &OrdersLink::listening, this, changed);
    opening = new QTimer(this);
    opening->setSingleShot(true);
    opening->setInterval(120);
    connect(opening, &QTimer::timeout, this, &OrdersDialog::openSelected);

    connect(ui->comboBoxOrdersView, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &OrdersDialog::showView);
    connect(ui->lineEditOrdersSearch, &QLineEdit::textChanged, typing, qOverload<>(&QTimer::start));
    connect(ui->lineEditOrdersSearch, &QLineEdit::returnPressed, this, &OrdersDialog::refresh);
    connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        updateButtons();
        if (selectedNumber() != 0 && selectedNumber() != opened.order.number)
            opening->start();
        const int request = model->rowOfRequest(selectedRequest());
        if (request >= 0)
            showRequest(model->order(request));
    });
    connect(table, &QTableView::doubleClicked, this, &OrdersDialog::openSelected);
    connect(ui->pushButtonNextStatus, &QPushButton::clicked, this, &OrdersDialog::nextStatus);
    connect(ui->pushButtonStepBack, &QPushButton::clicked, this, &OrdersDialog::stepBack);
    connect(ui->pushButtonCancelOrder, &QPushButton::clicked, this, &OrdersDialog::cancelOrder);
    connect(ui->pushButtonTakePayment, &QPushButton::clicked, this, &OrdersDialog::takePayment);
    connect(ui->pushButtonOpenOrder, &QPushButton::clicked, this, &OrdersDialog::openSelected);
    const auto emitFor = [this](void (OrdersDialog::*signal)(qint64)) {
        return [this, signal] {
            if (const qint64 number = selectedNumber())
                emit(this->*signal)(number);
        };
    };
    connect(ui->pushButtonReviseOrder, &QPushButton::clicked, this,
            emitFor(&OrdersDialog::reviseRequested));
    connect(ui->pushButtonTicket, &QPushButton::clicked, this,
            emitFor(&OrdersDialog::ticketRequested));
    connect(ui->pushButtonAct, &QPushButton::clicked, this, emitFor(&OrdersDialog::actRequested));
    connect(ui->pushButtonConfirmRequest, &QPushButton::clicked, this,
            &OrdersDialog::confirmRequest);
    connect(ui->pushButtonDeclineRequest, &QPushButton::clicked, this,
            &OrdersDialog::declineRequest);
    connect(ui->pushButtonStatement, &QPushButton::clicked, this, [this] {
        if (!accountProblem.isEmpty()) {
            prompts->tell(QStringLiteral("Выписка банка"),
                          QStringLiteral("Выписка не загружается: ") + accountProblem);
            return;
        }
        const QString path = prompts->chooseFile(QStringLiteral("Выписка банка"), QString(),
                                                 QStringLiteral("Выписка (*.txt);;Все файлы (*)"));
        if (!path.isEmpty())
            importStatementFile(path);
    });
    connect(ui->pushButtonOrdersClose, &QPushButton::clicked, this, &QDialog::close);

    const auto key = [this](QKeySequence sequence, QWidget *where, void (OrdersDialog::*work)()) {
        auto *shortcut
            = new QShortcut(sequence, where, nullptr, nullptr,
                            where == this ? Qt::WidgetWithChildrenShortcut : Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, work);
    };
    key(QKeySequence(Qt::Key_F2), this, &OrdersDialog::nextStatus);
    key(QKeySequence(Qt::Key_F3), this, &OrdersDialog::takePayment);
    key(QKeySequence(Qt::Key_Return), table, &OrdersDialog::openSelected);
    key(QKeySequence(Qt::Key_Enter), table, &OrdersDialog::openSelected);
    auto *revise = new QShortcut(QKeySequence(Qt::Key_F4), this, nullptr, nullptr,
                                 Qt::WidgetWithChildrenShortcut);
    connect(revise, &QShortcut::activated, ui->pushButtonReviseOrder, &QPushButton::click);
    // A caption is never cut: the board gets no narrower than its buttons.
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setMinimumWidth(button->sizeHint().width());
    // Enter in the search field lists at once; it never closes the board.
    ui->lineEditOrdersSearch->setFocus();
    updateButtons();
    refresh();
}

OrdersDialog::~OrdersDialog() = default;

QDateTime OrdersDialog::now() const
{
    return clock ? clock() : QDateTime::currentDateTime();
}

bool OrdersDialog::isListing() const
{
    return listing || listAgain || following->isActive() || typing->isActive();
}

void OrdersDialog::setView(BoardView view)
{
    ui->comboBoxOrdersView->setCurrentIndex(ui->comboBoxOrdersView->findData(int(view)));
}

BoardView OrdersDialog::view() const
{
    return BoardView(ui->comboBoxOrdersView->currentData().toInt());
}

void OrdersDialog::refresh()
{
    typing->stop();
    following->stop();
    // One list at a time: what changes meanwhile is listed once the answer is in.
    if (listing) {
        listAgain = true;
        return;
    }
    listing = true;
    const int asked = ++serial;
    ++readLists;
    const BoardView listed = view();
    const bool whole = ui->lineEditOrdersSearch->text().trimmed().isEmpty();
    readListCurrent = false;
    link->list(boardQuery(listed, ui->lineEditOrdersSearch->text(), now()), this,
               [this, asked, listed, whole](const BoardList &list, const QString &error) {
                   listing = false;
                   if (asked == serial) {
                       // Kept for the views narrowed from it, unless something changed meanwhile.
                       readListCurrent
                           = whole && error.isEmpty() && !listAgain && !following->isActive();
                       if (readListCurrent) {
                           readList = list;
                           readView = listed;
                       }
                       showList(list, error, selectedNumber());
                   }
                   if (listAgain) {
                       listAgain = false;
                       refresh();
                   }
               });
}

void OrdersDialog::showView()
{
    const BoardView shown = view();
    if (listing || typing->isActive() || following->isActive() || !readListCurrent
        || !ui->lineEditOrdersSearch->text().trimmed().isEmpty()
        || !boardViewWithin(shown, readView)) {
        refresh();
        return;
    }
    const QDateTime at = boardTime(now());
    BoardList narrowed;
    narrowed.mails = readList.mails;
    narrowed.orders.reserve(readList.orders.size());
    for (const TakenOrder &order : qAsConst(readList.orders))
        if (boardViewShows(shown, order, at))
            narrowed.orders.append(order);
    showList(narrowed, QString(), selectedNumber());
}

void OrdersDialog::showList(const BoardList &list, const QString &error, qint64 keep)
{
    if (!error.isEmpty()) {
        ui->labelOrdersStatus->setText(QStringLiteral("Заказы не получены: ") + error);
        return;
    }
    const qint64 keepRequest = selectedRequest();
    model->setOrders(list, now());
    // The requests come first.
    int requests = 0;
    while (requests < list.orders.size() && list.orders.at(requests).requestNumber != 0)
        ++requests;
    const int orders = list.orders.size() - requests;
    ui->labelOrdersCount->setText(
        requests > 0 ? QStringLiteral("Заказов: %1, заявок: %2").arg(orders).arg(requests)
                     : QStringLiteral("Заказов: %1").arg(orders));
    if (selectAfterList != 0 && model->rowOf(selectAfterList) >= 0) {
        selectNumber(selectAfterList);
        selectAfterList = 0;
    } else if (keep != 0) {
        selectNumber(keep);
    } else if (keepRequest != 0) {
        selectRequest(keepRequest);
    }
    // The order open below the list follows its row (what the list reads of it): a change made
    // here or at another counter.
    const int openRow = model->rowOf(opened.order.number);
    if (opened.order.number != 0 && openRow >= 0 && selectedNumber() == opened.order.number) {
        const TakenOrder &listed = model->order(openRow);
        const TakenOrder &shown = opened.order;
        if (listed.status != shown.status || listed.paidKopecks != shown.paidKopecks
            || listed.totalKopecks != shown.totalKopecks || listed.due != shown.due)
            opening->start();
    }
    updateButtons();
    ++shownLists;
}

qint64 OrdersDialog::selectedNumber() const
{
    const QModelIndexList rows = ui->tableViewOrders->selectionModel()->selectedRows();
    return rows.isEmpty() ? 0 : model->order(rows.first().row()).number;
}

void OrdersDialog::selectNumber(qint64 number)
{
    const int row = model->rowOf(number);
    if (row < 0)
        return;
    ui->tableViewOrders->selectRow(row);
    ui->tableViewOrders->scrollTo(model->index(row, 0));
}

qint64 OrdersDialog::selectedRequest() const
{
    const QModelIndexList rows = ui->tableViewOrders->selectionModel()->selectedRows();
    return rows.isEmpty() ? 0 : model->order(rows.first().row()).requestNumber;
}

void OrdersDialog::selectRequest(qint64 request)
{
    const int row = model->rowOfRequest(request);
    if (row < 0)
        return;
    ui->tableViewOrders->selectRow(row);
    ui->tableViewOrders->scrollTo(model->index(row, 0));
}

void OrdersDialog::updateButtons()
{
    const bool request = selectedRequest() != 0;
    ui->pushButtonConfirmRequest->setEnabled(request);
    ui->pushButtonDeclineRequest->setEnabled(request);
    const int row = model->rowOf(selectedNumber());
    const bool any = row >= 0;
    const OrderStatus status = any ? model->order(row).status : OrderStatus::Cancelled;
    const bool open = any && statusIsOpen(status);
    ui->pushButtonNextStatus->setEnabled(open);
    ui->pushButtonNextStatus->setToolTip(
        open ? QStringLiteral("Перевести в «%1»").arg(statusCaption(OrderStatus(int(status) + 1)))
             : QString());
    ui->pushButtonStepBack->setEnabled(open && status != OrderStatus::Accepted);
    ui->pushButtonCancelOrder->setEnabled(open);
    for (QPushButton *button : {ui->pushButtonTakePayment, ui->pushButtonOpenOrder,
                                ui->pushButtonTicket, ui->pushButtonAct})
        button->setEnabled(any);
    ui->pushButtonReviseOrder->setEnabled(open);
}

void OrdersDialog::withRight(Action action, const QString &what,
                             std::function<void(const AuditRecord &)> go)
{
    if (!guard) {
        go(AuditRecord());
        return;
    }
    // The approval may come after the board is closed.
    QPointer<OrdersDialog> self(this);
    guard(action, what, [self, go](const AuditRecord &record) {
        if (self)
            go(record);
    });
}

void OrdersDialog::moveTo(qint64 number, OrderStatus to, const QString &reason, bool force)
{
    const int row = model->rowOf(number);
    const Action action = to == OrderStatus::Cancelled ? Action::CancelOrder
        : force && to == OrderStatus::HandedOver       ? Action::HandOverOwing
                                                       : Action::MoveStatus;
    QString what = QStringLiteral("заказ № %1: %2 → %3")
                       .arg(number)
                       .arg(row < 0 ? QString() : statusCaption(model->order(row).status),
                            statusCaption(to));
    if (action == Action::HandOverOwing && row >= 0)
        what += QStringLiteral(", долг %1").arg(roubles(model->order(row).balanceKopecks()));
    if (!reason.isEmpty())
        what += QStringLiteral(", причина: %1").arg(reason);
    withRight(action, what, [this, number, to, reason, force](const AuditRecord &record) {
        sendMove(number, to, reason, force, record);
    });
}

void OrdersDialog::sendMove(qint64 number, OrderStatus to, const QString &reason, bool force,
                            const AuditRecord &record)
{
    ui->labelOrdersStatus->setText(
        QStringLiteral("Заказ № %1: «%2»…").arg(number).arg(statusCaption(to)));
    const Answered finish = [this, number, to, reason, force](const OrderAnswer &answer) {
        // The board's row said paid, the order says otherwise: asked now.
        if (!answer.done() && answer.owedKopecks > 0 && !force) {
            if (prompts->ask(QStringLiteral("Выдача заказа № %1").arg(number),
                             QStringLiteral("Выдать с долгом %1?").arg(roubles(answer.owedKopecks)),
                             {QStringLiteral("Выдать"), QStringLiteral("Не выдавать")}, 1)
                == 0)
                moveTo(number, to, reason, true);
            else
                ui->labelOrdersStatus->setText(QStringLiteral("Заказ № %1 не выдан.").arg(number));
            return;
        }
        if (answer.done() && answer.mailQueued)
            emit mailQueued();
        answered(
            answer,
            QStringLiteral("Заказ № %1 теперь «%2».%3")
                .arg(number)
                .arg(statusCaption(to),
                     answer.mailQueued ? QStringLiteral(" Письмо клиенту в очереди.") : QString()));
    };
    sendAsManagerIfNeeded(
        to == OrderStatus::Cancelled ? QStringLiteral("отменять заказы")
                                     : QStringLiteral("выдавать заказы с долгом"),
        [this, number, to, reason, force, record](const Answered &done) {
            link->changeStatus(number, to, reason, force, this, done, record);
        },
        finish);
}

void OrdersDialog::sendAsManagerIfNeeded(const QString &what,
                                         const std::function<void(Answered)> &send,
                                         const Answered &finish)
{
    send([this, what, send, finish](const OrderAnswer &answer) {
        if (!answer.needsManagerLogin()) {
            finish(answer);
            return;
        }
        ui->labelOrdersStatus->setText(
            QStringLiteral("Не сохранено: нужен вход менеджера в базу."));
        QPointer<OrdersDialog> self(this);
        OrdersLink *orders = link;
        ManagerLoginDialog::ask(
            this,
            QStringLiteral("База магазина разрешает %1 только входу менеджера. Введите вход "
                           "менеджера в базу: программа будет помнить его до закрытия.")
                .arg(what),
            [self, orders, what, send, finish](const DatabaseLogin &login,
                                               ManagerLoginDialog::Reply reply) {
                orders->setManagerLogin(login);
                send([self, orders, login, what, reply, finish](const OrderAnswer &again) {
                    if (again.fault == StorageFault::WrongPassword || again.needsManagerLogin()) {
                        orders->setManagerLogin(DatabaseLogin());
                        reply(false, managerLoginProblem(login, again.fault, what));
                        return;
                    }
                    reply(true, QString());
                    if (self)
                        finish(again);
                });
            },
            [self] {
                if (self)
                    self->ui->labelOrdersStatus->setText(
                        QStringLiteral("Ничего не изменено: вход менеджера не введён."));
            });
    });
}

void OrdersDialog::answered(const OrderAnswer &answer, const QString &done)
{
    if (answer.done()) {
        ui->labelOrdersStatus->setText(done);
        return;
    }
    ui->labelOrdersStatus->setText(answer.message);
    if (answer.outcome == OrderOutcome::Refused || answer.outcome == OrderOutcome::NotFound)
        prompts->tell(QStringLiteral("Заказы"), answer.message);
    else
        prompts->tell(QStringLiteral("Заказы"),
                      QStringLiteral("Изменение не сохранено: база магазина не ответила."),
                      answer.message);
}

void OrdersDialog::nextStatus()
{
    const int row = model->rowOf(selectedNumber());
    if (row < 0)
        return;
    const TakenOrder &order = model->order(row);
    if (!statusIsOpen(order.status)) {
        prompts->tell(QStringLiteral("Заказы"),
                      QStringLiteral("Заказ № %1 %2: его статус больше не меняется.")
                          .arg(order.number)
                          .arg(order.status == OrderStatus::HandedOver
                                   ? QStringLiteral("выдан")
                                   : QStringLiteral("отменён")));
        return;
    }
    const OrderStatus next = OrderStatus(int(order.status) + 1);
    bool force = false;
    if (next == OrderStatus::HandedOver && order.balanceKopecks() > 0) {
        if (prompts->ask(QStringLiteral("Выдача заказа № %1").arg(order.number),
                         QStringLiteral("Выдать с долгом %1?").arg(roubles(order.balanceKopecks())),
                         {QStringLiteral("Выдать"), QStringLiteral("Не выдавать")}, 1)
            != 0)
            return;
        force = true;
    }
    moveTo(order.number, next, QString(), force);
}

void OrdersDialog::stepBack()
{
    const int row = model->rowOf(selectedNumber());
    if (row < 0)
        return;
    const TakenOrder &order = model->order(row);
    const OrderStatus back = order.status == OrderStatus::Accepted
        ? OrderStatus::Accepted
        : OrderStatus(int(order.status) - 1);
    const QString problem = order.status == OrderStatus::Accepted
        ? QStringLiteral("Заказ только принят: назад некуда.")
        : statusChangeProblem(order.status, back);
    if (!problem.isEmpty()) {
        prompts->tell(QStringLiteral("Заказы"), problem);
        return;
    }
    moveTo(order.number, back, QString(), false);
}

void OrdersDialog::cancelOrder()
{
    const int row = model->rowOf(selectedNumber());
    if (row < 0)
        return;
    const TakenOrder &order = model->order(row);
    const QString problem = statusChangeProblem(order.status, OrderStatus::Cancelled);
    if (!problem.isEmpty()) {
        prompts->tell(QStringLiteral("Заказы"), problem);
        return;
    }
    const qint64 number = order.number;
    QString reason;
    if (!askReason(QStringLiteral("Отмена заказа № %1").arg(number),
                   QStringLiteral("Причина отмены:"), &reason))
        return;
    if (reason.trimmed().isEmpty()) {
        prompts->tell(QStringLiteral("Заказы"),
                      QStringLiteral("Отмена заказа № %1 требует причины.").arg(number));
        return;
    }
    moveTo(number, OrderStatus::Cancelled, reason.trimmed(), false);
}

void OrdersDialog::takePayment()
{
    const int row = model->rowOf(selectedNumber());
    if (row < 0)
        return;
    const TakenOrder &order = model->order(row);
    delete payment;
    payment = new PaymentDialog(order.number, order.balanceKopecks(), this);
    payment->setAttribute(Qt::WA_DeleteOnClose);
    connect(payment, &QDialog::accepted, this, [this, dialog = payment.data()] {
        const qint64 number = dialog->number();
        const Payment taken = dialog->payment();
        QString what = QStringLiteral("заказ № %1: %2 %3")
                           .arg(number)
                           .arg(roubles(taken.kopecks), paymentMethodWord(taken.method));
        if (!taken.reason.isEmpty())
            what += QStringLiteral(", причина: %1").arg(taken.reason);
        withRight(taken.kopecks < 0 ? Action::Refund : Action::TakePayment, what,
                  [this, number, taken](const AuditRecord &record) {
                      sendPayment(number, taken, record);
                  });
    });
    payment->open();
}

void OrdersDialog::sendPayment(qint64 number, const Payment &given, const AuditRecord &record)
{
    // Who took it, and who approved it, stay with the payment.
    Payment taken = given;
    taken.operatorName = record.operatorName;
    taken.approver = record.approver;
    const Answered finish = [this, number, taken](const OrderAnswer &answer) {
        answered(answer,
                 taken.kopecks > 0
                     ? QStringLiteral("По заказу № %1 принято %2 (%3).")
                           .arg(number)
                           .arg(roubles(taken.kopecks), paymentMethodWord(taken.method))
                     : QStringLiteral("По заказу № %1 возвращено %2.")
                           .arg(number)
                           .arg(roubles(-taken.kopecks)));
        if (answer.done() && opened.order.number == number)
            openSelected();
    };
    sendAsManagerIfNeeded(
        QStringLiteral("возвращать деньги"),
        [this, number, taken, record](const Answered &done) {
            link->addPayment(number, taken, this, done, record);
        },
        finish);
}

void OrdersDialog::openSelected()
{
    opening->stop();
    const qint64 number = selectedNumber();
    if (number == 0)
        return;
    link->load(
        number, this,
        [this, number](bool found, const OrderDetails &details, const QString &error) {
            // Another order was chosen meanwhile: its own answer follows.
            if (selectedNumber() != number && selectedNumber() != 0)
                return;
            if (!found) {
                ui->labelOrdersStatus->setText(
                    error.isEmpty()
                        ? QStringLiteral("Заказа № %1 нет.").arg(number)
                        : QStringLiteral("Заказ № %1 не получен: %2").arg(number).arg(error));
                return;
            }
            showDetails(details);
        });
}

void OrdersDialog::confirmRequest()
{
    const qint64 request = selectedRequest();
    if (request == 0)
        return;
    const QString named = requestNumberText(request);
    ui->labelOrdersStatus->setText(
        QStringLiteral("Заявка № %1: поиск карточки клиента…").arg(named));
    link->requestCards(
        request, this,
        [this, request, named](bool found, const WebRequestRecord &record,
                               const QVector<Customer> &cards, const QString &error) {
            if (!found) {
                const QString text = QStringLiteral("Заявка № %1 не принята: %2").arg(named, error);
                ui->labelOrdersStatus->setText(text);
                prompts->tell(QStringLiteral("Заявки"), text);
                return;
            }
            RequestCard card;
            if (!chooseCard(record, cards, &card)) {
                ui->labelOrdersStatus->setText(
                    QStringLiteral("Заявка № %1 ждёт решения.").arg(named));
                return;
            }
            takeRequest(request, card);
        });
}

bool OrdersDialog::chooseCard(const WebRequestRecord &request, const QVector<Customer> &cards,
                              RequestCard *card)
{
    const QString title = QStringLiteral("Заявка № %1").arg(requestNumberText(request.number));
    QStringList contact;
    for (const QString &part : {request.phone.trimmed(), request.email.trimmed()})
        if (!part.isEmpty())
            contact << part;
    if (contact.isEmpty())
        return true; // nothing to match or keep: the name alone goes on the order
    const QString noCard = QStringLiteral("Без карточки");
    if (cards.isEmpty()) {
        const int chosen
            = prompts->ask(title,
                           QStringLiteral("Карточки клиента с телефоном или e-mail заявки нет.\n"
                                          "Создать карточку «%1» (%2)?")
                               .arg(request.name.trimmed(), contact.join(QStringLiteral(", "))),
                           {QStringLiteral("Создать карточку"), noCard}, 0);
        if (chosen < 0)
            return false;
        card->choice = chosen == 0 ? RequestCard::New : RequestCard::ContactOnly;
        return true;
    }
    QStringList answers, described;
    for (const Customer &stored : cards) {
        answers << QStringLiteral("Карточка «%1»").arg(stored.name());
        QStringList parts {stored.name()};
        for (const QString &part : {stored.phone, stored.email})
            if (!part.isEmpty())
                parts << part;
        described << parts.join(QStringLiteral(", "));
    }
    answers << noCard;
    const int chosen = prompts->ask(
        title,
        QStringLiteral("Телефон или e-mail заявки (%1) есть в карточках:\n%2\n"
                       "Оформить заказ на карточку?")
            .arg(contact.join(QStringLiteral(", ")), described.join(QLatin1Char('\n'))),
        answers, 0);
    if (chosen < 0)
        return false;
    if (chosen < cards.size()) {
        card->choice = RequestCard::Existing;
        card->id = cards.at(chosen).id;
    }
    return true;
}

void OrdersDialog::takeRequest(qint64 request, const RequestCard &card)
{
    const QString named = requestNumberText(request);
    withRight(
        Action::TakeOrder, QStringLiteral("заявка № %1 принята").arg(named),
        [this, request, named, card](const AuditRecord &record) {
            ui->labelOrdersStatus->setText(QStringLiteral("Заявка № %1 принимается…").arg(named));
            RequestTerms terms = requestTerms ? requestTerms() : RequestTerms();
            terms.card = card;
            link->confirmRequest(
                request, terms, this,
                [this, named](qint64 invoice, const QString &error) {
                    if (invoice == 0) {
                        const QString text
                            = QStringLiteral("Заявка № %1 не принята: %2").arg(named, error);
                        ui->labelOrdersStatus->setText(text);
                        prompts->tell(QStringLiteral("Заявки"), text);
                        return;
                    }
                    ui->labelOrdersStatus->setText(
                        QStringLiteral("Заявка № %1 принята: заказ № %2.").arg(named).arg(invoice));
                    selectAfterList = invoice;
                    if (model->rowOf(invoice) >= 0)
                        selectNumber(invoice);
                },
                record);
        });
}

void OrdersDialog::declineRequest()
{
    const qint64 request = selectedRequest();
    if (request == 0)
        return;
    const QString named = requestNumberText(request);
    QString reason;
    if (!askReason(QStringLiteral("Отмена заявки № %1").arg(named),
                   QStringLiteral("Причина отмены:"), &reason))
        return;
    if (reason.trimmed().isEmpty()) {
        prompts->tell(QStringLiteral("Заявки"),
                      QStringLiteral("Отмена заявки № %1 требует причины.").arg(named));
        return;
    }
    withRight(Action::TakeOrder,
              QStringLiteral("заявка № %1 отклонена: %2").arg(named, reason.trimmed()),
              [this, request, named, reason](const AuditRecord &record) {
                  link->cancelRequest(
                      request, reason.trimmed(), this,
                      [this, named](bool cancelled, const QString &error) {
                          const QString text = cancelled
                              ? QStringLiteral("Заявка № %1 отменена.").arg(named)
                              : QStringLiteral("Заявка № %1 не отменена: %2").arg(named, error);
                          ui->labelOrdersStatus->setText(text);
                          if (!cancelled)
                              prompts->tell(QStringLiteral("Заявки"), text);
                      },
                      record);
              });
}

void OrdersDialog::showRequest(const TakenOrder &request)
{
    opened = OrderDetails();
    QStringList header;
    header << QStringLiteral("<b>Заявка № %1</b>").arg(requestNumberText(request.requestNumber))
           << (request.due.isValid() ? QStringLiteral("с сайта, к %1")
                                           .arg(request.due.toString(QStringLiteral("dd.MM.yyyy")))
                                     : QStringLiteral("с сайта"));
    const QStringList contact = QStringList({request.customer.name(), request.phone, request.email})
                                    .filter(QRegularExpression(QStringLiteral("\\S")));
    if (!contact.isEmpty())
        header << contact.join(QStringLiteral(", ")).toHtmlEscaped();
    header << QStringLiteral("сумма %1").arg(roubles(request.totalKopecks));
    QString text = header.join(QStringLiteral(" — "));
    if (!request.note.isEmpty())
        text += QStringLiteral("<br>Комментарий: ") + request.note.toHtmlEscaped();
    ui->labelOrderHeader->setText(text);
    for (QTableWidget *table :
         {ui->tableOrderLines, ui->tableOrderPayments, ui->tableOrderChanges, ui->tableOrderMails})
        table->setRowCount(0);
    const qint64 number = request.requestNumber;
    link->loadRequest(number, this, [this, number](bool found, const WebRequestRecord &record) {
        if (!found || selectedRequest() != number)
            return;
        QVector<QStringList> rows;
        for (const OrderLine &line : record.lines)
            rows << QStringList {line.description, line.quantity, line.unitPrice,
                                 moneyText(lineSum(line))};
        fillTable(ui->tableOrderLines, rows);
    });
}

void OrdersDialog::showDetails(const OrderDetails &details)
{
    opened = details;
    const TakenOrder &order = details.order;
    QStringList header;
    header << (order.revision > 1 ? QStringLiteral("<b>Заказ № %1 (изм. %2)</b>")
                                        .arg(order.number)
                                        .arg(order.revision)
                                  : QStringLiteral("<b>Заказ № %1</b>").arg(order.number))
           << QStringLiteral("%1, срок %2").arg(statusCaption(order.status), minute(order.due));
    const QString customer = order.customer.name();
    QStringList whom {customer, order.phone};
    whom.removeAll(QString());
    if (!whom.isEmpty())
        header << whom.join(QStringLiteral(", ")).toHtmlEscaped();
    header << QStringLiteral("сумма %1, оплачено %2, остаток %3 (%4)")
                  .arg(roubles(order.totalKopecks), roubles(order.paidKopecks),
                       roubles(order.balanceKopecks()), paymentStateWord(order.paymentState()));
    QString text = header.join(QStringLiteral(" — "));
    if (!order.note.isEmpty())
        text += QStringLiteral("<br>Для производства: ") + order.note.toHtmlEscaped();
    ui->labelOrderHeader->setText(text);

    QVector<QStringList> rows;
    for (const OrderLine &line : details.invoice.lines)
        rows << QStringList {line.description, line.quantity, line.unitPrice,
                             moneyText(lineSum(line))};
    fillTable(ui->tableOrderLines, rows);
    rows.clear();
    for (const Payment &paid : details.payments)
        rows << QStringList {minute(paid.time), roubles(paid.kopecks),
                             paymentMethodWord(paid.method), paid.counter, paid.reason};
    fillTable(ui->tableOrderPayments, rows);
    rows.clear();
    for (const StatusChange &change : details.changes)
        rows << QStringList {minute(change.time),
                             change.taking ? QStringLiteral("—") : statusCaption(change.from),
                             statusCaption(change.to),
                             change.counter,
                             change.operatorName,
                             change.reason};
    fillTable(ui->tableOrderChanges, rows);
    rows.clear();
    for (const QueuedMail &mail : details.mails)
        rows << QStringList {mail.recipient, mail.subject, mailStateText(mail),
                             QString::number(mail.attempts)};
    fillTable(ui->tableOrderMails, rows);
}

void OrdersDialog::importStatementFile(const QString &path)
{
    ui->pushButtonStatement->setEnabled(false);
    ui->labelOrdersStatus->setText(QStringLiteral("Выписка загружается…"));
    link->importStatement(path, account, this, [this, path](const StatementReport &report) {
        ui->pushButtonStatement->setEnabled(true);
        ui->labelOrdersStatus->setText(
            report.read
                ? QStringLiteral("Выписка загружена. ") + statementSummaryText(report)
                : QStringLiteral("Выписка не загружена, ничего не изменено. ") + report.problem);
        if (statement)
            statement->close();
        statement = new StatementDialog(link, QFileInfo(path).fileName(), report, this);
        statement->setAttribute(Qt::WA_DeleteOnClose);
        statement->show();
    });
}
