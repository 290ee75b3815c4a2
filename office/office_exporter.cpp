// Worker threads for the office calls and the time limits the window keeps on them.
#include "office/office_exporter.h"

#include <QElapsedTimer>
#include <QThread>

#include <atomic>
#include <memory>

// One export's worker: it reports each step it starts and how it ended; once abandoned, it
// reports nothing and closes whatever document it still opens.
class ExportJob : public QObject
{
    Q_OBJECT

public:
    std::atomic_bool abandoned {false};

signals:
    void stepStarted(int step);
    void done(bool ok, const QString &message, const QString &details);
};

// Carries the warm-up's result back to the window's thread.
class WarmUpRelay : public QObject
{
    Q_OBJECT

signals:
    void finished(bool reached);
};

namespace {

// How long reach() itself tries: past the window's own limit, so the operator decides first.
constexpr int ReachLimitMs = 120000;

void runExport(OfficeSession &session, const PreparedExport &prepared, ExportJob *job)
{
    const QString &sheetName = invoice::sheetName();
    OfficeFailure failure;
    OfficeDocument document;
    const auto carryOn = [job](OfficeExporter::Step step) {
        if (job->abandoned)
            return false;
        emit job->stepStarted(step);
        return true;
    };
    // Any failure after the document opened closes it: no half-written invoice stays.
    const auto fail = [&]() {
        if (!document.isNull())
            session.discard(document);
        if (!job->abandoned)
            emit job->done(false, failure.message, failure.details);
    };
    if (!carryOn(OfficeExporter::Starting))
        return;
    if (!session.reach(&failure, ReachLimitMs))
        return fail();
    if (!carryOn(OfficeExporter::Opening))
        return;
    document = session.openTemplate(prepared.path, &failure);
    if (job->abandoned) {
        // The operator stopped waiting meanwhile: the late document was never shown.
        if (!document.isNull())
            session.discard(document);
        return;
    }
    if (document.isNull())
        return fail();
    if (!carryOn(OfficeExporter::Checking))
        return fail();
    if (!session.checkInvoiceSheet(document, sheetName, invoice::FirstLineRow, prepared.lastRow,
                                   &failure))
        return fail();
    if (!carryOn(OfficeExporter::Writing))
        return fail();
    if (!session.writeBlocks(document, sheetName, prepared.blocks, &failure)
        || !session.writeNumberAndDate(document, prepared.number, prepared.date, prepared.payer,
                                       &failure))
        return fail();
    if (!carryOn(OfficeExporter::Showing))
        return fail();
    session.show(document, sheetName);
    if (!job->abandoned)
        emit job->done(true, QString(), QString());
}

QString stepText(int step)
{
    switch (step) {
    case OfficeExporter::Starting:
        return QStringLiteral("запуск LibreOffice Calc");
    case OfficeExporter::Opening:
        return QStringLiteral("открытие шаблона");
    case OfficeExporter::Checking:
        return QStringLiteral("проверка шаблона");
    case OfficeExporter::Writing:
        return QStringLiteral("запись счёта");
    default:
        return QStringLiteral("показ счёта");
    }
}

std::atomic_int workers {0};

// A thread that deletes itself when its work ends; one that never ends is left behind.
void runDetached(std::function<void()> work)
{
    ++workers;
    QThread *thread = QThread::create([work = std::move(work)] {
        work();
        --workers;
    });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

} // namespace

OfficeExporter::OfficeExporter(OfficeSession &session, QObject *parent)
    : QObject(parent)
    , m_session(session)
{
    qRegisterMetaType<OfficeExporter::Outcome>();
    m_deadline.setSingleShot(true);
    m_notice.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &OfficeExporter::stepTimedOut);
    connect(&m_notice, &QTimer::timeout, this, &OfficeExporter::waitingNoticeDue);
}

OfficeExporter::~OfficeExporter()
{
    abandon();
}

int OfficeExporter::workersRunning()
{
    return workers;
}

int OfficeExporter::limitFor(int step) const
{
    switch (step) {
    case Starting:
        return m_limits.startMs;
    case Opening:
        return m_limits.openMs;
    case Checking:
        return m_limits.checkMs;
    case Writing: {
        int lines = 0;
        for (const InvoiceBlock &block : m_prepared.blocks)
            lines += block.rowCount();
        return m_limits.writeMs + m_limits.writePerLineMs * lines;
    }
    default:
        return m_limits.showMs;
    }
}

bool OfficeExporter::start(const PreparedExport &prepared)
{
    if (m_job)
        return false;
    m_prepared = prepared;
    m_notice.start(m_limits.noticeMs);
    launch();
    return true;
}

void OfficeExporter::launch()
{
    // The job is deleted in this thread, whichever thread lets it go last.
    const std::shared_ptr<ExportJob> job(new ExportJob, [](ExportJob *j) { j->deleteLater(); });
    m_job = job;
    m_stalled = false;
    ExportJob *raw = job.get();
    connect(raw, &ExportJob::stepStarted, this, [this, raw](int step) {
        if (m_job.get() == raw)
            stepStarted(step);
    });
    connect(raw, &ExportJob::done, this,
            [this, raw](bool ok, const QString &message, const QString &details) {
                if (m_job.get() == raw)
                    jobDone(ok, message, details);
            });
    m_step = Starting;
    m_deadline.start(limitFor(Starting));
    OfficeSession *session = &m_session;
    const PreparedExport prepared = m_prepared;
    runDetached([session, prepared, job] { runExport(*session, prepared, job.get()); });
}

void OfficeExporter::stepStarted(int step)
{
    m_step = step;
    m_deadline.start(limitFor(step));
    if (m_stalled) {
        m_stalled = false;
        emit stallOver();
    }
}

void OfficeExporter::stepTimedOut()
{
    if (!m_job || m_stalled)
        return;
    m_stalled = true;
    emit stalled(
        QStringLiteral("LibreOffice не отвечает: %1 идёт дольше %2\u00a0с. Подождать ещё или "
                       "перезапустить LibreOffice? Таблица заказа не изменится.")
            .arg(stepText(m_step))
            .arg(limitFor(m_step) / 1000));
}

void OfficeExporter::keepWaiting()
{
    if (!m_job)
        return;
    m_stalled = false;
    m_deadline.start(limitFor(m_step));
}

void OfficeExporter::abandon()
{
    m_deadline.stop();
    m_notice.stop();
    if (m_job) {
        m_job->abandoned = true;
        disconnect(m_job.get(), nullptr, this, nullptr);
        m_job.reset();
    }
    m_stalled = false;
}

void OfficeExporter::cancel()
{
    if (!m_job)
        return;
    abandon();
    Outcome outcome;
    outcome.cancelled = true;
    emit finished(outcome);
}

void OfficeExporter::restartOffice()
{
    if (!m_job)
        return;
    abandon();
    // Ending the office frees every call still waiting on it; the same export then starts anew.
    m_session.kill();
    emit stallOver();
    m_notice.start(0);
    launch();
}

void OfficeExporter::jobDone(bool done, const QString &message, const QString &details)
{
    const bool wasStalled = m_stalled;
    m_job.reset();
    m_deadline.stop();
    m_notice.stop();
    m_stalled = false;
    if (wasStalled)
        emit stallOver();
    Outcome outcome;
    outcome.done = done;
    outcome.message = message;
    outcome.details = details;
    emit finished(outcome);
}

void OfficeExporter::warmUp(const QString &templatePath)
{
    if (m_warming)
        return;
    m_warming = true;
    OfficeSession *session = &m_session;
    auto *relay = new WarmUpRelay;
    connect(relay, &WarmUpRelay::finished, this, [this, relay](bool reached) {
        m_warming = false;
        relay->deleteLater();
        emit warmUpFinished(reached);
    });
    runDetached([session, relay, templatePath] {
        const bool reached = session->reach(nullptr, ReachLimitMs);
        if (reached)
            session->preload(templatePath);
        emit relay->finished(reached);
    });
}

void OfficeExporter::closeStartedOffice(int timeLimitMs)
{
    if (m_session.startedProcessId() == 0)
        return;
    OfficeSession *session = &m_session;
    auto ending = std::make_shared<std::atomic_bool>(false);
    // An office still starting for the warm-up, with no export under way, holds nothing of the
    // operator's yet.
    const bool starting = m_warming && !isRunning();
    QThread *thread = QThread::create([session, ending, starting] {
        const bool connected = session->isConnected();
        if ((connected && session->visibleDocumentCount() == 0) || (!connected && starting)) {
            *ending = true;
            if (connected)
                session->terminate();
        }
    });
    thread->start();
    QElapsedTimer waited;
    waited.start();
    if (!thread->wait(ulong(timeLimitMs))) {
        // One that did not answer at all may hold an invoice, and is left as it is; the thread
        // is left with it. One asked to end with nothing of the operator's open is ended.
        if (*ending)
            session->endProcesses();
        return;
    }
    delete thread;
    if (!*ending)
        return;
    // An office asked to end may refuse without saying why (a freshly started one does, with
    // nothing open): given a moment to go, it is ended all the same.
    while (!session->processIds().isEmpty() && waited.elapsed() < timeLimitMs)
        QThread::msleep(100);
    session->endProcesses();
}

#include "office_exporter.moc"
