// The window's order kept in the counter's file and numbered by the shop's journal. The keeper
// follows the order (appends, removals, cell edits, "Очистка", undo alike), copies each changed
// line, and hands the change to the writer's thread before the next input event is handled; it
// offers an unfinished order for restoring and takes invoice numbers for documents.
#pragma once

#include "storage/order_claims.h"
#include "storage/order_store.h"
#include "storage/records.h"

#include <QFrame>
#include <QMap>
#include <QObject>
#include <QVector>

#include <functional>
#include <memory>

class Order;
class OrderWriter;
class QLabel;
class QPushButton;
class ShopLink;

// The storage warnings shown in the order area (frameStorageNotice, its text labelStorageNotice).
class StorageNotice : public QFrame
{
public:
    enum Kind {
        Opening, // the counter's file could not be opened for writing at start
        Storing, // a change could not be written
        Repaired, // a damaged file was moved aside
        Settings // the settings file was not used
    };
    explicit StorageNotice(QWidget *area);
    void put(Kind kind, const QString &message);
    void remove(Kind kind);

private:
    void showMessages();
    QMap<Kind, QString> messages;
    QLabel *text;
    QPushButton *hideButton;
};

// The moments of numbering a document between which a crash may fall; a test stops the program
// there as a kill would.
class NumberingSteps
{
public:
    virtual ~NumberingSteps() = default;
    // The journal gave the number; the counter's file does not know it yet.
    virtual void numberTaken(const QString &uid, qint64 number) = 0;
    // The counter's file knows it too; the document is not made yet.
    virtual void numberRecorded(const QString &uid, qint64 number) = 0;
};

class OrderKeeper : public QObject
{
    Q_OBJECT

public:
    OrderKeeper(Order *order, QObject *parent, NumberingSteps *steps = nullptr);
    ~OrderKeeper() override;

    // Hands what changed to the writer now; waitStored also waits until it is written.
    void flush();
    bool waitStored(int msecs = 5000);

    // The file's or the shop's trouble at start, told once the window is up; whether it lasts
    // until storing works (the file could not be opened for writing) rather than being news of
    // something already done (a damaged file moved aside).
    QString startupProblem() const { return startProblem; }
    bool startupProblemLasts() const { return toldFailure && !startProblem.isEmpty(); }
    QString counter() const { return counterName; }
    // The counter's own SQLite file, beside which the program keeps its state.
    QString localFile() const { return localPath; }
    QString currentOrder() const;
    OrderWriter *writer() const { return orderWriter; }
    ShopLink *shop() const { return shopLink; }

    // The newest unfinished order of this counter other than the window's own, if any.
    const StoredOrder &offered() const { return offer; }
    void refreshOffer();
    void restoreOffered();
    void discardOffered();

    // The number of a document about to be made, handed to done on this thread: at once when
    // the order has one or can have none, else once the journal answers, within NumberWaitMs
    // (without a number when it does not: the notice shows as when the shop is away). The order
    // as it is now is the one numbered; a change made meanwhile starts a new order.
    void numberForDocument(const QString &kind, const QString &templatePath, QObject *context,
                           std::function<void(const DocumentNumber &)> done);
    bool isAskingForNumber() const { return bool(asking); }
    // The document of that number (0 for none) is made or failed; orderUid, when given, names
    // the order it was asked for, else it is the order on screen.
    void documentFinished(qint64 number, const QString &kind, bool succeeded,
                          const QString &orderUid = QString());

    // Taking the order at the counter: the order as it is now as a draft for the journal (stored
    // first, under its uid). From then on a change makes a new order, unless takingFailed gives
    // the order back. Once taken it is done with in the counter's file; an order put aside stays
    // open there and is offered for restoring; a dropped one is discarded.
    InvoiceDraft beginTaking(const QString &templatePath);
    void takingFailed(const QString &uid);
    void orderTaken(const QString &uid, qint64 number);
    void putAside();
    void dropOrder();
    // The newest unfinished order offered again, once what was handed over is stored.
    void offerLater();

signals:
    void offerChanged();
    // The offered order could not be restored: open in another program, or no longer open.
    void restoreRefused(const QString &message);
    // Storing stopped working: told once, until it works again; and when it works again.
    void storingProblem(const QString &message);
    void storingRecovered();
    // A document's number was asked for, and the answer came (or the time ran out).
    void askingForNumber(bool asking);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Row
    {
        int id;
        bool dirty;
    };
    void watchOrder();
    void changed();
    void markDirty(int row);
    void startNewOrder();
    void offerNext();
    struct NumberRequest;
    void numberAnswered(const std::shared_ptr<NumberRequest> &request, qint64 taken,
                        const QString &error, bool answered);
    // The newest of the orders that no other running program has on screen.
    StoredOrder firstFree(const QVector<StoredOrder> &orders) const;

    Order *order;
    NumberingSteps *steps;
    OrderWriter *orderWriter = nullptr;
    ShopLink *shopLink = nullptr;
    QString counterName;
    QString localPath;
    QString templatePath;
    StoredOrder offer;

    // The order's lines as ids, and what changed since the last hand-over. A changed line is
    // copied once, when it is handed over.
    QVector<Row> rows;
    int firstDirty = 0; // no dirty row before this one
    QVector<int> removed;
    QVector<OrderStateChange> pendingStates; // handed over with the next change
    bool moved = false;
    bool cleared = false;
    bool customerDirty = false; // the order's customer changed since the last hand-over
    bool flushPosted = false;
    int nextId = 1;

    // The order's uid and number are the Order's own; a new order starts at the first change after
    // one is finished (numbered, waiting for a number, or voided).
    std::unique_ptr<OrderClaims> claims;
    bool finished = false;
    bool takingWasFinished = false;
    QDateTime numberedAt;
    bool hasGoodDocument = false;
    bool toldFailure = false;
    QString startProblem;
    std::shared_ptr<NumberRequest> asking; // while the journal is asked for a number
};
