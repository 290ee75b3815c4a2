// The office calls on the office's threads, and the time limits the window keeps on them.
#include "office/office_exporter.h"

#include "office/office_pool.h"

#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QSemaphore>
#include <QThread>
#include <QtConcurrent>

#include <atomic>
#include <memory>

// One export's worker: it reports each step it starts (its result comes with its future); once
// abandoned, it reports nothing and closes whatever document it still opens.
class ExportJob : public QObject
{
    Q_OBJECT

public:
    std::atomic_bool abandoned {false};

signals:
    void stepStarted(int step);
};

namespace {

// How long reach() itself tries: past the window's own limit, so the operator decides first.
constexpr int ReachLimitMs = 120000;

OfficeExporter::Outcome runExport(OfficeSession &session, const PreparedExport &prepared,
                                  ExportJob *job)
{
    OfficeExporter::Outcome outcome;
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
        outcome.message = failure.message;
        outcome.details = failure.details;
        return outcome;
    };
    if (!carryOn(OfficeExporter::Starting))
        return outcome;
    if (!session.reach(&failure, ReachLimitMs))
        return fail();
    if (!carryOn(OfficeExporter::Opening))
        return outcome;
    document = session.openTemplate(prepared.path, &failure);
    if (job->abandoned) {
        // The operator stopped waiting meanwhile: the late document was never shown.
        if (!document.isNull())
            session.discard(document);
        return outcome;
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
                                       &failure)
        || !session.writeNamedTexts(document, prepared.shop.namedTexts(), &failure))
        return fail();
    // The invoice stands without its QR code: a picture the office refuses leaves it out.
    if (!prepared.paymentQrPicture.isEmpty()) {
        OfficeFailure ignored;
        session.placePicture(document, invoice::qrCellName(), prepared.paymentQrPicture,
                             invoice::QrSideHundredthsMm, &ignored);
    }
    if (!carryOn(OfficeExporter::Showing))
        return fail();
    session.show(document, sheetName);
    outcome.done = true;
    return outcome;
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
    return officePool()->activeThreadCount();
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
    m_exported = true;
    ExportJob *raw = job.get();
    connect(raw, &ExportJob::stepStarted, this, [this, raw](int step) {
        if (m_job.get() == raw)
            stepStarted(step);
    });
    m_step = Starting;
    m_deadline.start(limitFor(Starting));
    OfficeSession *session = &m_session;
    const PreparedExport prepared = m_prepared;
    // The watcher goes with the job: an abandoned call's late result reaches nobody.
    auto *watcher = new QFutureWatcher<Outcome>(raw);
    connect(watcher, &QFutureWatcher<Outcome>::finished, this, [this, raw, watcher] {
        if (m_job.get() == raw)
            jobDone(watcher->result());
    });
    watcher->setFuture(QtConcurrent::run(officePool(), [session, prepared, job] {
        return runExport(*session, prepared, job.get());
    }));
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
        for (QObject *watcher : m_job->children())
            watcher->disconnect(this);
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

void OfficeExporter::jobDone(const Outcome &outcome)
{
    const bool wasStalled = m_stalled;
    m_job.reset();
    m_deadline.stop();
    m_notice.stop();
    m_stalled = false;
    if (wasStalled)
        emit stallOver();
    emit finished(outcome);
}

void OfficeExporter::warmUp(const QString &templatePath)
{
    if (m_warming)
        return;
    m_warming = true;
    OfficeSession *session = &m_session;
    auto *watcher = new QFutureWatcher<bool>(this);
    connect(watcher, &QFutureWatcher<bool>::finished, this, [this, watcher] {
        m_warming = false;
        watcher->deleteLater();
        emit warmUpFinished(watcher->result());
    });
    watcher->setFuture(QtConcurrent::run(officePool(), [session, templatePath] {
        const bool reached = session->reach(nullptr, ReachLimitMs);
        if (reached)
            session->preload(templatePath);
        return reached;
    }));
}

void OfficeExporter::closeStartedOffice(int timeLimitMs)
{
    if (m_session.startedProcessId() == 0)
        return;
    OfficeSession *session = &m_session;
    auto ending = std::make_shared<std::atomic_bool>(false);
    auto ended = std::make_shared<QSemaphore>();
    // An office still starting for the warm-up, with no export under way, holds nothing of the
    // operator's yet; before any export, nothing at all, even while its hidden warm-up document
    // keeps it from telling what it holds.
    const bool starting = m_warming && !isRunning();
    const bool untouched = starting && !m_exported;
    // Decided before the office is asked anything: one busy with its warm-up may not answer in
    // time.
    *ending = untouched;
    QtConcurrent::run(officePool(), [session, ending, ended, starting, untouched] {
        const bool connected = session->isConnected();
        if ((connected && session->visibleDocumentCount() == 0) || (!connected && starting)
            || untouched) {
            *ending = true;
            if (connected)
                session->terminate();
        }
        ended->release();
    });
    QElapsedTimer waited;
    waited.start();
    if (!ended->tryAcquire(1, timeLimitMs)) {
        // One that did not answer at all may hold an invoice, and is left as it is; the pool's
        // thread returns to the pool once the office lets it go. One asked to end with nothing of
        // the operator's open is ended.
        if (*ending)
            session->endProcesses();
        return;
    }
    if (!*ending)
        return;
    // An office asked to end may refuse without saying why (a freshly started one does, with
    // nothing open): given a moment to go, it is ended all the same.
    while (!session->processIds().isEmpty() && waited.elapsed() < timeLimitMs)
        QThread::msleep(100);
    session->endProcesses();
}

#include "office_exporter.moc"
