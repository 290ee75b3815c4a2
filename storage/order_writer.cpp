// The writer's thread: the connection, the backlog of changes, the retry timer.
#include "storage/order_writer.h"

#include "storage/connection.h"
#include "storage/database_thread.h"

#include <QPointer>
#include <QTimer>

struct OrderWriter::State
{
    explicit State(const QString &file)
        : path(file)
        , thread(QStringLiteral("printcalc-order"))
    { }

    QString path;
    // Touched on the thread only, from here on.
    Connection connection;
    std::unique_ptr<OrderStore> store;
    QVector<OrderChange> backlog;
    QTimer *retry = nullptr;
    int retryMs = 3000;
    bool failing = false;
    // Last, so that it ends first: its final task closes the connection on the thread.
    DatabaseThread thread;
};

OrderWriter::OrderWriter(const QString &path, QObject *parent)
    : QObject(parent)
    , state(new State(path))
{
    State *s = state.get();
    s->thread.run([this, s] {
        const DatabaseUrl url = DatabaseUrl::sqliteFile(s->path);
        opened = s->connection.open(url, QStringLiteral("order"));
        if (!opened && s->connection.fault() == StorageFault::Corrupt) {
            movedAside = moveAsideDamagedFile(s->path);
            if (!movedAside.isEmpty())
                opened = s->connection.open(url, QStringLiteral("order"));
        }
        openError = s->connection.errorText();
        openFault = s->connection.fault();
        // A file that could not be opened for writing is a failure already told: the first
        // write that succeeds reports storing resumed.
        s->failing = openFault != StorageFault::None;
        s->store.reset(new OrderStore(s->connection));
        s->retry = new QTimer(s->thread.context());
        s->retry->setSingleShot(true);
        QObject::connect(s->retry, &QTimer::timeout, s->thread.context(), [this] { drain(); });
    });
    s->thread.setFinalTask([s] {
        // A last try for changes that waited for room or for write access.
        while (!s->backlog.isEmpty() && s->connection.isOpen()
               && s->store->apply(s->backlog.first()))
            s->backlog.removeFirst();
        delete s->retry;
        s->store.reset();
        s->connection.close();
    });
}

OrderWriter::~OrderWriter() = default;

// On the thread: writes the backlog in order until one change fails.
void OrderWriter::drain()
{
    State *s = state.get();
    if (!s->connection.isOpen()) {
        const DatabaseUrl url = DatabaseUrl::sqliteFile(s->path);
        s->store.reset();
        s->connection.open(url, QStringLiteral("order"));
        s->store.reset(new OrderStore(s->connection));
    }
    while (!s->backlog.isEmpty()) {
        if (!s->connection.isOpen() || !s->store->apply(s->backlog.first())) {
            if (!s->failing) {
                s->failing = true;
                emit storingFailed(s->connection.errorText());
            }
            // A connection that failed to write is opened afresh next time: the folder may have
            // been made writable, or the file replaced, meanwhile.
            if (s->connection.fault() != StorageFault::DiskFull) {
                s->store.reset();
                s->connection.close();
                s->store.reset(new OrderStore(s->connection));
            }
            s->retry->start(s->retryMs);
            return;
        }
        s->backlog.removeFirst();
    }
    if (s->failing) {
        s->failing = false;
        emit storingResumed();
    }
}

void OrderWriter::submit(const OrderChange &change)
{
    State *s = state.get();
    s->thread.post([this, s, change] {
        s->backlog.append(change);
        if (!s->retry->isActive())
            drain();
    });
}

bool OrderWriter::waitStored(int msecs)
{
    return state->thread.waitIdle(msecs);
}

bool OrderWriter::isIdle() const
{
    return state->thread.isIdle();
}

void OrderWriter::setRetryInterval(int msecs)
{
    State *s = state.get();
    s->thread.run([s, msecs] { s->retryMs = msecs; });
}

QVector<StoredOrder> OrderWriter::unfinished(const QString &counter, const QStringList &except)
{
    QVector<StoredOrder> orders;
    State *s = state.get();
    s->thread.run([&] {
        if (s->connection.isOpen())
            orders = s->store->unfinished(counter, except);
    });
    return orders;
}

void OrderWriter::unfinishedLater(const QString &counter, const QStringList &except,
                                  QObject *context,
                                  std::function<void(const QVector<StoredOrder> &)> done)
{
    State *s = state.get();
    s->thread.post([s, counter, except, context = QPointer<QObject>(context), done] {
        const QVector<StoredOrder> orders = s->connection.isOpen()
            ? s->store->unfinished(counter, except)
            : QVector<StoredOrder>();
        replyTo(context, [done, orders] { done(orders); });
    });
}

bool OrderWriter::load(const QString &uid, StoredOrder *order)
{
    bool done = false;
    State *s = state.get();
    s->thread.run([&] { done = s->connection.isOpen() && s->store->load(uid, order); });
    return done;
}

QString OrderWriter::lastError()
{
    QString text;
    State *s = state.get();
    s->thread.run([&] { text = s->connection.errorText(); });
    return text;
}

bool OrderWriter::allStored(StorageFault *fault, QString *error)
{
    bool stored = false;
    State *s = state.get();
    s->thread.run([&] {
        stored = s->backlog.isEmpty();
        *fault = s->connection.fault();
        if (!stored && *fault == StorageFault::None && !s->connection.writable())
            *fault = s->connection.isOpen() ? StorageFault::NewerSchema : StorageFault::Other;
        *error = s->connection.errorText();
    });
    return stored;
}

void OrderWriter::runWithDatabase(const std::function<void(QSqlDatabase)> &task)
{
    State *s = state.get();
    s->thread.run([&] { task(s->connection.database()); });
}
