// The shift dialog's way to the shift store: a connection of its own on a thread of its own, each
// call answering through a callback on the caller's thread, so the window never waits on the
// disk or the network.
#pragma once

#include "storage/database_url.h"
#include "storage/shift_store.h"

#include <QObject>

#include <functional>
#include <memory>

class ShiftLink : public QObject
{
    Q_OBJECT

public:
    ShiftLink(const DatabaseUrl &shop, const QString &counter, QObject *parent = nullptr);
    ~ShiftLink() override;

    QString counter() const { return counterName; }

    // The open shift as an X report now; NotFound when there is none.
    void xReport(QObject *context, std::function<void(const ShiftAnswer &)> done);
    void open(qint64 floatKopecks, const QString &operatorName, QObject *context,
              std::function<void(const ShiftAnswer &)> done);
    void addCash(const CashEntry &entry, QObject *context,
                 std::function<void(const ShiftAnswer &)> done);
    void close(qint64 countedKopecks, const QString &operatorName, QObject *context,
               std::function<void(const ShiftAnswer &)> done);

    bool waitIdle(int msecs);
    bool finish(int msecs);

private:
    struct State;
    void call(QObject *context, std::function<ShiftAnswer(ShiftStore &)> work,
              std::function<void(const ShiftAnswer &)> done);

    std::unique_ptr<State> state;
    QString counterName;
};
