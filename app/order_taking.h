// "Принять заказ" at the counter: the dialog, then the order taken in the shop's database through
// the shop's thread (the window never waits), and the next order started empty; and a taken
// order brought back into the window to be changed, stored as its next revision at the next
// "Принять заказ". Built on the window's public face; a child of the window, so tests and the
// orders board find it with findChild<OrderTaking *>().
#pragma once

#include "storage/records.h"

#include <QDateTime>
#include <QObject>

#include <functional>
#include <memory>

class AcceptOrderDialog;
struct AcceptedOrder;
struct AuditRecord;
class MainWindow;
class QLabel;
class QPushButton;
class QTimer;
class QWidget;
struct OrderDetails;

class OrderTaking : public QObject
{
    Q_OBJECT

public:
    // How long the button waits for the shop before it may be pressed again (the answer, when
    // it comes, still counts: the order is taken once whatever the presses).
    static constexpr int AnswerWaitMs = 15000;

    explicit OrderTaking(MainWindow *window);
    void setAnswerWait(int msecs) { answerWaitMs = msecs; }
    // How long "Заказ № N принят" stays when nothing else happens.
    static constexpr int NewsShownMs = 10000;
    void setNewsShown(int msecs);

    // "Принять заказ": the dialog opened over the window (null when the order cannot be taken:
    // the operator is told why).
    AcceptOrderDialog *acceptOrder();
    bool isTaking() const { return bool(taking); }

    // The taken order's latest lines and customer put into the window to be changed: the
    // order on screen is put aside first (offered for restoring), when the operator agrees.
    void reviseTakenOrder(qint64 number);
    // Leaves the change unsaved: the window starts an empty order.
    void cancelRevising();
    qint64 revisingNumber() const { return revising.number; }
    bool revisionUnsaved() const { return revising.changed; }

    // The documents of an order being changed: its number and revision while the window shows it
    // as stored; no number once it was changed and the change is not yet stored.
    void numberForRevision(std::function<void(const DocumentNumber &)> done) const;
    // The document made for the order being changed, recorded in the journal.
    void revisionDocumentFinished(qint64 number, const QString &kind, bool succeeded);

signals:
    void orderAccepted(qint64 number);
    void revisionStored(qint64 number);
    void revisingChanged(qint64 number); // 0: no longer revising
    // Taking or changing failed; the order stays on screen.
    void takingRefused(const QString &message);

private:
    struct Revising
    {
        qint64 number = 0;
        int revision = 1;
        QDateTime due;
        QString note;
        qint64 paidKopecks = 0;
        bool changed = false;
    };
    struct Taking
    {
        QString uid;
        qint64 revising = 0;
    };

    void accepted(AcceptOrderDialog *dialog);
    void store(const AcceptedOrder &chosen, const AuditRecord &record);
    void offerShift(const QString &refusal);
    void answered(const std::shared_ptr<Taking> &request, qint64 number, const QString &error);
    void startEmpty();
    void loaded(qint64 number, bool found, const OrderDetails &details, const QString &error);
    void endRevising();
    void showState();
    void refuse(const QString &message);

    MainWindow *window;
    QPushButton *button;
    QLabel *state;
    QPushButton *cancelButton;
    Revising revising;
    std::shared_ptr<Taking> taking;
    int answerWaitMs = AnswerWaitMs;
    bool loading = false;
    bool filling = false; // the window's order is being filled from the journal
    QString news; // how the last taking ended, shown until the next change or for a while
    QTimer *newsTimer = nullptr;
};
