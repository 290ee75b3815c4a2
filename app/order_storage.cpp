// The order kept and numbered: the keeper, the restore notice above the template path, the shop's
// state beside the window buttons, and MainWindow's side of it.
#include "app/order_storage.h"

#include "app/mainwindow.h"
#include "app/operators.h"
#include "app/order_taking.h"
#include "dialogs/colours.h"
#include "dialogs/journal_dialog.h"
#include "dialogs/prompts.h"
#include "documents/document_settings.h"
#include "form/mainwindow_form.h"
#include "order/order.h"
#include "storage/database_thread.h"
#include "storage/order_writer.h"
#include "storage/settings.h"
#include "storage/shop_link.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QUuid>
#include <QVBoxLayout>

namespace {

// How long an input event may wait for the disk (a flush takes a few milliseconds) and a
// document for its number (a network server that does not answer).
const int StoreWaitMs = 3000;
const int NumberWaitMs = 4000;

QString linesText(int count)
{
    const int lastTwo = count % 100;
    const int last = count % 10;
    if (lastTwo >= 11 && lastTwo <= 14)
        return QStringLiteral("%1 строк").arg(count);
    if (last == 1)
        return QStringLiteral("%1 строка").arg(count);
    if (last >= 2 && last <= 4)
        return QStringLiteral("%1 строки").arg(count);
    return QStringLiteral("%1 строк").arg(count);
}

// What the operator can do when the counter's file is not written, and whether storing then
// resumes by itself: said only where it does.
QString storingAdvice(StorageFault fault)
{
    switch (fault) {
    case StorageFault::NotWritable:
        return QStringLiteral("Заказ остаётся в окне: разрешите запись в файл и его папку, "
                              "сохранение продолжится само, как только это станет возможно.");
    case StorageFault::DiskFull:
        return QStringLiteral("Заказ остаётся в окне: освободите место на диске, сохранение "
                              "продолжится само.");
    case StorageFault::NewerSchema:
        return QStringLiteral("Заказ не сохраняется и есть только в окне: обновите программу или "
                              "укажите ей другой файл базы данных и перезапустите её.");
    default:
        return QStringLiteral("Заказ остаётся в окне; программа пробует сохранить его снова, "
                              "пока это не удастся.");
    }
}

// The reason a document went out without a number, with what happens to the order next.
QString noNumberReason(const QString &shopError, StorageFault shopFault, bool stored,
                       StorageFault storeFault, const QString &storeError)
{
    const QString text = shopError + QStringLiteral(" Документ сделан без номера");
    if (!stored)
        return text
            + QStringLiteral(", и заказ не сохранён: %1 Номер он получит, только когда будет "
                             "сохранён. ")
                  .arg(storeError)
            + storingAdvice(storeFault);
    const QString saved = QStringLiteral("; заказ сохранён, но номер получит, только когда ");
    switch (shopFault) {
    case StorageFault::BadUrl:
        return text + saved
            + QStringLiteral("адрес базы магазина будет исправлен: исправьте его в «Настройки» и "
                             "перезапустите программу.");
    case StorageFault::NoDriver:
        return text + saved
            + QStringLiteral("будет установлен драйвер базы: установите пакет и перезапустите "
                             "программу.");
    case StorageFault::WrongPassword:
        return text + saved
            + QStringLiteral("база примет вход: исправьте имя пользователя или пароль в "
                             "«Настройки» и перезапустите программу.");
    case StorageFault::NoDatabase:
        return text + saved
            + QStringLiteral("база найдётся: создайте её на сервере или исправьте адрес в "
                             "«Настройки» и перезапустите программу.");
    case StorageFault::NewerSchema:
        return text + saved + QStringLiteral("программа будет обновлена: обновите её.");
    case StorageFault::OlderSchema:
        return text + saved
            + QStringLiteral("владелец базы обновит её командой printcalc --admin upgrade; "
                             "затем перезапустите программу.");
    default:
        return text
            + QStringLiteral("; заказ сохранён и получит номер, когда база магазина снова станет "
                             "доступна.");
    }
}

bool isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

} // namespace

OrderKeeper::OrderKeeper(Order *o, QObject *parent, NumberingSteps *numberingSteps)
    : QObject(parent)
    , order(o)
    , steps(numberingSteps)
{
    const Settings settings;
    counterName = settings.counterName();
    const DatabaseChoice choice = chooseDatabase(QCoreApplication::arguments(), settings);
    localPath = localOrderPath(choice.url);
    orderWriter = new OrderWriter(localPath, this);
    claims = std::make_unique<OrderClaims>(localPath);
    if (!orderWriter->movedAsideTo().isEmpty())
        startProblem = QStringLiteral("Файл базы данных %1 был повреждён: он отложен как %2, "
                                      "создан новый. Нумерация счетов продолжится с %3.")
                           .arg(localPath, orderWriter->movedAsideTo())
                           .arg(qMax(settings.nextInvoiceNumber(),
                                     ProgramState(localPath).nextInvoiceNumber()));
    else if (orderWriter->openingFault() != StorageFault::None) {
        startProblem = orderWriter->openingError() + QLatin1Char(' ')
            + storingAdvice(orderWriter->openingFault());
        toldFailure = true;
    }
    connect(orderWriter, &OrderWriter::storingFailed, this, [this](const QString &message) {
        if (toldFailure)
            return;
        toldFailure = true;
        StorageFault fault = StorageFault::None;
        QString error;
        orderWriter->allStored(&fault, &error);
        emit storingProblem(message + QLatin1Char(' ') + storingAdvice(fault));
    });
    connect(orderWriter, &OrderWriter::storingResumed, this, [this] {
        toldFailure = false;
        emit storingRecovered();
    });

    shopLink = new ShopLink(choice.url, localPath, settings.path(), this);
    connect(shopLink, &ShopLink::waitingOrderEntered, this,
            [this](const QString &entered, qint64 enteredNumber) {
                if (entered == order->uid() && finished && order->number() == 0) {
                    order->setNumber(enteredNumber);
                    numberedAt = QDateTime::currentDateTime();
                    hasGoodDocument = true;
                }
            });
    watchOrder();
    qApp->installEventFilter(this);
    refreshOffer();
}

OrderKeeper::~OrderKeeper()
{
    // The window is going: its order goes with it, which is no change of the stored order.
    order->disconnect(this);
    flush();
    orderWriter->waitStored(StoreWaitMs);
    // A server that does not answer holds the shop's thread: the window closes all the same,
    // and the order is in the counter's own file.
    endOrLetGo(shopLink);
    shopLink = nullptr;
    endOrLetGo(orderWriter);
    orderWriter = nullptr;
}

QString OrderKeeper::currentOrder() const
{
    return order->uid();
}

void OrderKeeper::watchOrder()
{
    connect(order, &Order::linesInserted, this, [this](int first, int last) {
        if (first != rows.size())
            moved = true;
        for (int row = first; row <= last; ++row)
            rows.insert(row, {nextId++, true});
        firstDirty = qMin(firstDirty, first);
        changed();
    });
    connect(order, &Order::linesRemoved, this, [this](int first, int last) {
        if (last + 1 != rows.size())
            moved = true;
        for (int row = first; row <= last && row < rows.size(); ++row)
            removed.append(rows.at(row).id);
        rows.remove(first, qMin(last + 1, int(rows.size())) - first);
        firstDirty = qMin(firstDirty, first);
        changed();
    });
    connect(order, &Order::lineChanged, this, [this](int row) {
        markDirty(row);
        changed();
    });
    // Choosing another customer changes the order: a numbered one goes on as a new order.
    connect(order, &Order::customerChanged, this, [this] {
        customerDirty = true;
        changed();
    });
    connect(order, &Order::cleared, this, [this] {
        cleared = true;
        for (const Row &row : qAsConst(rows))
            removed.append(row.id);
        rows.clear();
        firstDirty = 0;
        changed();
    });
}

void OrderKeeper::markDirty(int row)
{
    if (row < 0 || row >= rows.size())
        return;
    rows[row].dirty = true;
    firstDirty = qMin(firstDirty, row);
}

void OrderKeeper::changed()
{
    if (finished)
        startNewOrder();
    if (flushPosted)
        return;
    flushPosted = true;
    QMetaObject::invokeMethod(this, &OrderKeeper::flush, Qt::QueuedConnection);
}

// The order on screen was finished: what is on screen now is a new order, every line of it new.
void OrderKeeper::startNewOrder()
{
    finished = false;
    order->setNumber(0);
    hasGoodDocument = false;
    order->setUid(QString());
    removed.clear();
    for (Row &row : rows)
        row.dirty = true;
    firstDirty = 0;
}

void OrderKeeper::flush()
{
    flushPosted = false;
    const bool create = order->uid().isEmpty();
    const bool anyDirty = firstDirty < rows.size();
    if (!anyDirty && removed.isEmpty() && !moved && !cleared && pendingStates.isEmpty()
        && !customerDirty)
        return;
    if (create && rows.isEmpty() && pendingStates.isEmpty()) {
        // Nothing to keep yet: an empty order is no order. Its customer goes with its first line.
        cleared = moved = customerDirty = false;
        removed.clear();
        firstDirty = 0;
        return;
    }
    OrderChange change;
    if (create) {
        order->setUid(QUuid::createUuid().toString(QUuid::WithoutBraces));
        claims->claim(order->uid());
    }
    change.uid = order->uid();
    change.create = create;
    change.counter = counterName;
    change.at = QDateTime::currentDateTime();
    change.templatePath = templatePath;
    change.clearLines = cleared && !create;
    change.setCustomer = create || customerDirty;
    change.customer = order->customer();
    customerDirty = false;
    if (!create && !cleared)
        change.removals = removed;
    const bool renumber = moved || cleared;
    for (int row = renumber ? 0 : firstDirty; row < rows.size(); ++row) {
        Row &item = rows[row];
        if (item.dirty)
            change.writes.append({item.id, row, order->line(row)});
        else if (renumber)
            change.positions.append({item.id, row});
        item.dirty = false;
    }
    change.states = pendingStates;
    pendingStates.clear();
    removed.clear();
    firstDirty = rows.size();
    moved = cleared = false;
    orderWriter->submit(change);
}

bool OrderKeeper::waitStored(int msecs)
{
    flush();
    return orderWriter->waitStored(msecs);
}

bool OrderKeeper::eventFilter(QObject *watched, QEvent *event)
{
    if (isInput(event->type()) && (flushPosted || !orderWriter->isIdle()))
        waitStored(StoreWaitMs);
    return QObject::eventFilter(watched, event);
}

void OrderKeeper::refreshOffer()
{
    const QVector<StoredOrder> orders = orderWriter->unfinished(
        counterName, order->uid().isEmpty() ? QStringList() : QStringList {order->uid()});
    offer = firstFree(orders);
    emit offerChanged();
}

StoredOrder OrderKeeper::firstFree(const QVector<StoredOrder> &orders) const
{
    for (const StoredOrder &order : orders)
        if (!claims->claimedElsewhere(order.uid))
            return order;
    return StoredOrder();
}

// The notice goes at once; an older unfinished order, if any, is offered once the writer has
// stored what came before, without the window waiting for it.
void OrderKeeper::offerNext()
{
    offer = StoredOrder();
    emit offerChanged();
    orderWriter->unfinishedLater(
        counterName, order->uid().isEmpty() ? QStringList() : QStringList {order->uid()}, this,
        [this](const QVector<StoredOrder> &orders) {
            offer = firstFree(orders);
            emit offerChanged();
        });
}

// The restored order goes on under its own uid: a number the journal gave it before a crash
// is found again by that uid and never taken twice.
void OrderKeeper::restoreOffered()
{
    if (offer.uid.isEmpty())
        return;
    const QString when = offer.changed.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
    // Claimed at the press, then read: a second window pressing at the same moment finds the
    // lock taken, a later one finds the order no longer open.
    if (!claims->claim(offer.uid)) {
        emit restoreRefused(QStringLiteral("Заказ от %1 уже открыт в другом окне программы: здесь "
                                           "он не восстановлен.")
                                .arg(when));
        offerNext();
        return;
    }
    StoredOrder stored;
    const bool loaded = orderWriter->load(offer.uid, &stored);
    if (!loaded || stored.state != OrderState::Open || stored.lines.isEmpty()) {
        claims->claim(order->uid());
        emit restoreRefused(
            loaded ? QStringLiteral("Заказ от %1 уже восстановлен, отброшен или оформлен в другом "
                                    "окне программы: восстанавливать нечего.")
                         .arg(when)
                   : QStringLiteral("Заказ от %1 не прочитать из файла базы данных (%2): он не "
                                    "восстановлен.")
                         .arg(when, orderWriter->lastError()));
        offerNext();
        return;
    }
    flush();
    // Lines already on screen join the restored order; an unfinished order of them is done with.
    if (!order->uid().isEmpty() && !finished)
        pendingStates.append({order->uid(), OrderState::Restored, 0});
    order->setUid(stored.uid);
    finished = false;
    order->setNumber(0);
    hasGoodDocument = false;
    order->insert(order->size(), stored.lines);
    if (!stored.customer.isNull())
        order->setCustomer(stored.customer);
    // Every line is written again under the restored uid, in the same write as the states.
    cleared = true;
    removed.clear();
    for (Row &row : rows)
        row.dirty = true;
    firstDirty = 0;
    flush();
    offerNext();
}

void OrderKeeper::discardOffered()
{
    if (offer.uid.isEmpty())
        return;
    OrderChange change;
    change.at = QDateTime::currentDateTime();
    change.states.append({offer.uid, OrderState::Discarded, 0});
    orderWriter->submit(change);
    offerNext();
}

// One question to the journal: the order it is for and who waits for the answer.
struct OrderKeeper::NumberRequest
{
    QString uid;
    QDateTime at;
    bool wasFinished = false;
    QVector<std::function<void(const DocumentNumber &)>> waiting;
};

void OrderKeeper::numberForDocument(const QString &kind, const QString &path, QObject *context,
                                    std::function<void(const DocumentNumber &)> done)
{
    Q_UNUSED(kind)
    const QPointer<QObject> receiver(context);
    auto answer = [receiver, done = std::move(done)](const DocumentNumber &number) {
        if (receiver)
            done(number);
    };
    templatePath = path;
    flush();
    DocumentNumber result;
    result.date = QDateTime::currentDateTime();
    if (rows.isEmpty()) {
        result.reason = QStringLiteral("В заказе нет строк: документ без номера.");
        answer(result);
        return;
    }
    if (finished && order->number() > 0) {
        result.ok = true;
        result.number = order->number();
        result.date = numberedAt;
        result.orderUid = order->uid();
        answer(result);
        return;
    }
    if (asking) {
        // The same order asked again before the answer: the same answer.
        asking->waiting.append(std::move(answer));
        return;
    }
    if (order->uid().isEmpty())
        changed();
    flush();

    InvoiceDraft draft;
    draft.orderUid = order->uid();
    draft.created = result.date;
    draft.counter = counterName;
    draft.templatePath = path;
    draft.lines = order->lines();
    draft.customer = order->customer();
    // The rule the documents made with this number print with: the settings' on its day.
    setTaxOfItsDay(&draft, DocumentSettings::load().tax);

    auto request = std::make_shared<NumberRequest>();
    request->uid = order->uid();
    request->at = result.date;
    request->wasFinished = finished;
    request->waiting.append(std::move(answer));
    asking = request;
    // The order is numbered as it is now: a change while the journal answers is a new order.
    finished = true;
    emit askingForNumber(true);
    shopLink->storeInvoice(draft, this, [this, request](qint64 taken, const QString &why) {
        numberAnswered(request, taken, why, true);
    });
    QTimer::singleShot(NumberWaitMs, this, [this, request] {
        numberAnswered(request, 0, QStringLiteral("База магазина не ответила вовремя."), false);
    });
}

void OrderKeeper::numberAnswered(const std::shared_ptr<NumberRequest> &request, qint64 taken,
                                 const QString &error, bool answered)
{
    // A late answer is dropped: the order waits in the counter's file, and the journal finds the
    // number it gave by the order's uid when the order is entered.
    if (asking != request)
        return;
    asking.reset();
    const bool onScreen = order->uid() == request->uid;
    DocumentNumber result;
    result.date = request->at;
    result.orderUid = request->uid;
    if (taken > 0) {
        if (steps)
            steps->numberTaken(request->uid, taken);
        if (onScreen) {
            order->setNumber(taken);
            numberedAt = request->at;
            hasGoodDocument = false;
        }
        // Still open in the counter's file until a document carries the number: a crash before
        // that offers the order again, with its number.
        pendingStates.append({request->uid, OrderState::Open, taken});
        waitStored(StoreWaitMs);
        if (steps)
            steps->numberRecorded(request->uid, taken);
        result.ok = true;
        result.number = taken;
    } else {
        if (onScreen)
            finished = request->wasFinished;
        if (!answered)
            shopLink->noteNoAnswer(error); // the notice shows as when the server is away
        StorageFault storeFault = StorageFault::None;
        QString storeError;
        orderWriter->waitStored(StoreWaitMs);
        const bool stored = orderWriter->allStored(&storeFault, &storeError);
        result.reason
            = noNumberReason(error, answered ? shopLink->lastNumberFault() : StorageFault::None,
                             stored, storeFault, storeError);
    }
    emit askingForNumber(false);
    for (const auto &done : qAsConst(request->waiting))
        done(result);
}

void OrderKeeper::documentFinished(qint64 documentNumber, const QString &kind, bool succeeded,
                                   const QString &forUid)
{
    const DocumentRecord document {kind, QDateTime::currentDateTime(), succeeded};
    const QString uid = forUid.isEmpty() ? order->uid() : forUid;
    if (uid != order->uid()) {
        // The order changed while its document was made: that order is done with, the one on
        // screen goes on as it is.
        OrderChange change;
        change.at = document.made;
        if (documentNumber > 0) {
            shopLink->addDocument(documentNumber, document);
            change.states.append({uid, OrderState::Numbered, documentNumber});
        } else {
            change.documents.append({uid, document});
            change.states.append({uid, OrderState::Waiting, 0});
        }
        orderWriter->submit(change);
        if (documentNumber == 0)
            shopLink->checkNow();
        return;
    }
    if (documentNumber > 0) {
        shopLink->addDocument(documentNumber, document);
        if (documentNumber != order->number() || hasGoodDocument)
            return;
        hasGoodDocument = succeeded;
        // A document carries the number, or the number is void: the stored order is done with.
        pendingStates.append({order->uid(), OrderState::Numbered, order->number()});
        if (!hasGoodDocument) {
            // The number stays in the journal, void; the order on screen goes on as a new one.
            startNewOrder();
            changed();
        } else {
            flush();
        }
        return;
    }
    if (rows.isEmpty())
        return;
    if (order->uid().isEmpty() || (finished && order->number() > 0))
        changed();
    flush();
    // No number came: the order waits in the counter's file and enters the journal later.
    OrderChange change;
    change.uid = order->uid();
    change.at = document.made;
    change.templatePath = templatePath;
    change.documents.append({order->uid(), document});
    change.states.append({order->uid(), OrderState::Waiting, 0});
    orderWriter->submit(change);
    finished = true;
    order->setNumber(0);
    shopLink->checkNow();
}

InvoiceDraft OrderKeeper::beginTaking(const QString &path)
{
    templatePath = path;
    if (order->uid().isEmpty() && !rows.isEmpty())
        changed();
    flush();
    InvoiceDraft draft;
    draft.orderUid = order->uid();
    draft.created = QDateTime::currentDateTime();
    draft.counter = counterName;
    draft.templatePath = path;
    draft.lines = order->lines();
    draft.customer = order->customer();
    takingWasFinished = finished;
    finished = true;
    return draft;
}

void OrderKeeper::takingFailed(const QString &uid)
{
    if (uid == order->uid())
        finished = takingWasFinished;
}

void OrderKeeper::orderTaken(const QString &uid, qint64 number)
{
    if (uid != order->uid()) {
        // Changed while the shop answered: that order is done with, the one on screen goes on.
        OrderChange change;
        change.at = QDateTime::currentDateTime();
        change.states.append({uid, OrderState::Numbered, number});
        orderWriter->submit(change);
        return;
    }
    pendingStates.append({uid, OrderState::Numbered, number});
    finished = true;
    order->setNumber(number);
    numberedAt = QDateTime::currentDateTime();
    hasGoodDocument = true;
    flush();
}

void OrderKeeper::putAside()
{
    if (order->uid().isEmpty() || finished)
        return;
    flush();
    finished = true;
    order->setNumber(0);
}

void OrderKeeper::offerLater()
{
    offerNext();
}

void OrderKeeper::dropOrder()
{
    if (order->uid().isEmpty() || finished)
        return;
    pendingStates.append({order->uid(), OrderState::Discarded, 0});
    flush();
    finished = true;
    order->setNumber(0);
}

void OrderKeeperDeleter::operator()(OrderKeeper *keeper) const
{
    delete keeper;
}

// The storage warnings in the order area, at the foot of the table, in the red of the shop's
// "недоступна": each stays until its problem is gone; news of something done, or of settings that
// only a restart mends, until "Скрыть". The button never takes the focus, so no Enter meant for
// the window closes the notice.
StorageNotice::StorageNotice(QWidget *area)
    : QFrame(area)
{
    setObjectName(QStringLiteral("frameStorageNotice"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette shade = palette();
    shade.setColor(QPalette::Window, QColor(255, 236, 236));
    setPalette(shade);
    // Under the table, where the order area's layout gives it room (app/order_area.cpp).
    setGeometry(10, 701, 1041, 40);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    text = new QLabel(this);
    text->setObjectName(QStringLiteral("labelStorageNotice"));
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text->setStyleSheet(QStringLiteral("QLabel { color: #b00000; font-weight: bold; }"));
    hideButton = new QPushButton(QStringLiteral("Скрыть"), this);
    hideButton->setObjectName(QStringLiteral("pushButtonHideStorageNotice"));
    hideButton->setFocusPolicy(Qt::NoFocus);
    hideButton->setToolTip(QStringLiteral("Убрать сообщение: оно прочитано"));
    layout->addWidget(text, 1);
    layout->addWidget(hideButton, 0, Qt::AlignTop);
    connect(hideButton, &QPushButton::clicked, this, [this] {
        remove(Repaired);
        remove(Settings);
    });
    hide();
}

void StorageNotice::put(Kind kind, const QString &message)
{
    messages.insert(kind, message);
    showMessages();
}

void StorageNotice::remove(Kind kind)
{
    if (messages.remove(kind))
        showMessages();
}

void StorageNotice::showMessages()
{
    QStringList shown;
    for (auto it = messages.constBegin(); it != messages.constEnd(); ++it)
        shown << it.value();
    text->setText(shown.join(QLatin1Char('\n')));
    hideButton->setVisible(messages.contains(Repaired) || messages.contains(Settings));
    // Hidden first, so that the order area gives the new text its room when it shows.
    hide();
    setVisible(!messages.isEmpty());
}

// ---- MainWindow's side ----

void MainWindow::initOrderStorage()
{
    keeper.reset(new OrderKeeper(orderModel.get(), this));
    OrderKeeper *k = keeper.get();
    initTemplatePath();
    auto *warnings = new StorageNotice(form->centralwidget);
    connect(k, &OrderKeeper::storingProblem, warnings,
            [warnings](const QString &message) { warnings->put(StorageNotice::Storing, message); });
    connect(k, &OrderKeeper::storingRecovered, warnings, [warnings] {
        warnings->remove(StorageNotice::Storing);
        warnings->remove(StorageNotice::Opening);
    });
    connect(k, &OrderKeeper::askingForNumber, this,
            [this](bool asking) { setDocumentButtonsEnabled(!asking); });

    // The free space above the template path's caption.
    auto *notice = new QFrame(form->centralwidget);
    notice->setObjectName(QStringLiteral("frameRestoreNotice"));
    notice->setGeometry(1140, 510, 141, 114);
    auto *layout = new QVBoxLayout(notice);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    auto *text = new QLabel(notice);
    text->setObjectName(QStringLiteral("labelRestoreNotice"));
    text->setWordWrap(true);
    auto *restore = new QPushButton(QStringLiteral("Восстановить"), notice);
    restore->setObjectName(QStringLiteral("pushButtonRestore"));
    auto *discard = new QPushButton(QStringLiteral("Отбросить"), notice);
    discard->setObjectName(QStringLiteral("pushButtonDiscard"));
    layout->addWidget(text);
    layout->addWidget(restore);
    layout->addWidget(discard);
    layout->addStretch();
    const auto showOffer = [notice, text, k] {
        const StoredOrder &offer = k->offered();
        notice->setVisible(!offer.uid.isEmpty());
        text->setText(QStringLiteral("Незавершённый заказ от %1, %2")
                          .arg(offer.changed.toString(QStringLiteral("dd.MM.yyyy HH:mm")),
                               linesText(offer.lineCount)));
    };
    connect(k, &OrderKeeper::offerChanged, notice, showOffer);
    connect(restore, &QPushButton::clicked, k, &OrderKeeper::restoreOffered);
    connect(k, &OrderKeeper::restoreRefused, this, [this](const QString &message) {
        prompts().tell(QStringLiteral("Восстановление заказа"), message);
    });
    connect(discard, &QPushButton::clicked, k, &OrderKeeper::discardOffered);
    showOffer();

    // The shop's journal out of reach: said beside the window buttons, where it stays in sight.
    auto *shopState = new QLabel(QStringLiteral("База магазина недоступна"));
    shopState->setObjectName(QStringLiteral("labelShopState"));
    shopState->setStyleSheet(labelColourStyle(ProblemColour, true));
    shopState->hide();
    auto *journal = new QPushButton(QStringLiteral("Журнал"));
    journal->setObjectName(QStringLiteral("pushButtonJournal"));
    addWindowButton(shopState);
    addWindowButton(journal);
    shopState->setVisible(false);
    connect(k->shop(), &ShopLink::reachabilityChanged, shopState,
            [shopState](bool reachable, const QString &problem) {
                shopState->setToolTip(problem);
                shopState->setVisible(!reachable);
            });
    connect(journal, &QPushButton::clicked, this, [this] { showJournal(); });

    // Trouble at start stays in sight in the order area, never as a box that holds the start or
    // that the next Enter closes unread.
    QStringList settingsProblems {Settings().problem(), initMail()};
    settingsProblems.removeAll(QString());
    if (!settingsProblems.isEmpty())
        warnings->put(StorageNotice::Settings, settingsProblems.join(QLatin1Char('\n')));
    if (!k->startupProblem().isEmpty())
        warnings->put(k->startupProblemLasts() ? StorageNotice::Opening : StorageNotice::Repaired,
                      k->startupProblem());
}

void MainWindow::setDocumentButtonsEnabled(bool enabled)
{
    // Held while a document waits for its number: no second press asks again.
    const bool free = enabled && !keeper->isAskingForNumber();
    for (const char *name : {"pushButtonPdf", "pushButtonPrint"})
        if (auto *button = findChild<QPushButton *>(QLatin1String(name)))
            button->setEnabled(free);
    form->pushButton_6->setEnabled(free && !exportRunning());
}

OrderKeeper *MainWindow::orderKeeper() const
{
    return keeper.get();
}

void MainWindow::numberForDocument(const QString &kind, QObject *context,
                                   std::function<void(const DocumentNumber &)> done)
{
    // A taken order being changed has its number already; it never takes a new one.
    if (taking && taking->revisingNumber() > 0) {
        const QPointer<QObject> receiver(context);
        taking->numberForRevision([receiver, done](const DocumentNumber &number) {
            if (receiver)
                done(number);
        });
        return;
    }
    keeper->numberForDocument(kind, form->lineEdit_11->text(), context, std::move(done));
}

void MainWindow::documentFinished(qint64 number, const QString &kind, bool succeeded,
                                  const QString &orderUid)
{
    if (taking && taking->revisingNumber() > 0
        && (number == taking->revisingNumber() || (number == 0 && orderUid == orderModel->uid())))
        return taking->revisionDocumentFinished(number, kind, succeeded);
    keeper->documentFinished(number, kind, succeeded, orderUid);
}

void MainWindow::showJournal()
{
    auto *dialog = findChild<JournalDialog *>();
    if (!dialog) {
        dialog = new JournalDialog(
            orderModel.get(), [this] { return prices(); }, keeper->shop(), this);
        dialog->setOperatorName(
            [this] { return operators() ? operators()->current() : QString(); });
        dialog->setPrompts(&prompts());
        dialog->guard = [this](Action action, const QString &what,
                               std::function<void(const QString &approver)> go) {
            withRight(action, what, std::move(go));
        };
        dialog->record
            = [this](const QString &what, const QString &oldValue, const QString &newValue,
                     const QString &approver) { recordAudit(what, oldValue, newValue, approver); };
        dialog->setAttribute(Qt::WA_DeleteOnClose);
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}
