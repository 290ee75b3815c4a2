// The counter's file on a thread of its own: the window hands over each change of its order and
// goes on, the thread writes it with a flush to the disk. A change that cannot be written (the
// file not writable, the disk full) is kept and written again later, in order; the window is told
// once when storing stops and once when it resumes.
#pragma once

#include "storage/connection.h"
#include "storage/order_store.h"

#include <QObject>
#include <QSqlDatabase>

#include <functional>
#include <memory>

class OrderWriter : public QObject
{
    Q_OBJECT

public:
    // Opens the file at once (waiting for it). A damaged file is moved aside and a new one made.
    explicit OrderWriter(const QString &path, QObject *parent = nullptr);
    ~OrderWriter() override;

    // How the opening went: false when the file could not be opened (changes are kept and the
    // opening is tried again); the path a damaged file was moved to.
    bool isOpen() const { return opened; }
    QString openingError() const { return openError; }
    // None when the file opened for writing.
    StorageFault openingFault() const { return openFault; }
    QString movedAsideTo() const { return movedAside; }

    void submit(const OrderChange &change);
    // Waits until every change handed over so far was written or failed.
    bool waitStored(int msecs);
    bool isIdle() const;
    // How long a failed change waits before it is written again.
    void setRetryInterval(int msecs);

    // Reads, waiting for the answer.
    QVector<StoredOrder> unfinished(const QString &counter, const QStringList &except);
    // The same, answered on the context's thread once the changes before it are written.
    void unfinishedLater(const QString &counter, const QStringList &except, QObject *context,
                         std::function<void(const QVector<StoredOrder> &)> done);
    bool load(const QString &uid, StoredOrder *order);
    // What the file said last time a read or write failed.
    QString lastError();
    // Whether every change handed over so far is written; if not, why not.
    bool allStored(StorageFault *fault, QString *error);
    // Runs a task with the connection on its thread, waiting for it (tools and tests).
    void runWithDatabase(const std::function<void(QSqlDatabase)> &task);

signals:
    // A change could not be written (told once, a file not writable at opening counts as told);
    // every change is written again.
    void storingFailed(const QString &message);
    void storingResumed();

private:
    void drain();

    struct State;
    std::unique_ptr<State> state;
    bool opened = false;
    QString openError;
    StorageFault openFault = StorageFault::None;
    QString movedAside;
};
