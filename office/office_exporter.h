// The export as the window runs it: every office call on a worker thread, a time limit on every
// step, and a way out for the operator (cancel, keep waiting, restart the office). A call the
// office never answers is abandoned: its thread ends on its own, and a document it opens late is
// closed before anyone sees it. Also starts the office ahead of the first export, and closes the
// office the program started when the program ends.
#pragma once

#include "office/export_request.h"
#include "office/office_session.h"

#include <QObject>
#include <QTimer>

#include <memory>

class ExportJob;

class OfficeExporter : public QObject
{
    Q_OBJECT

public:
    enum Step { Starting, Opening, Checking, Writing, Showing };

    struct TimeLimits
    {
        int startMs = 30000;
        int openMs = 20000;
        int checkMs = 10000;
        int writeMs = 15000; // plus writePerLineMs for every line
        int writePerLineMs = 10;
        int showMs = 10000;
        int noticeMs = 500; // the waiting notice shows after this
    };

    struct Outcome
    {
        bool done = false;
        bool cancelled = false;
        QString message; // for people, Russian
        QString details; // the office's own text
    };

    explicit OfficeExporter(OfficeSession &session, QObject *parent = nullptr);
    ~OfficeExporter() override;

    OfficeSession &session() const { return m_session; }
    void setTimeLimits(const TimeLimits &limits) { m_limits = limits; }
    TimeLimits timeLimits() const { return m_limits; }

    bool isRunning() const { return bool(m_job); }
    // Worker threads still running, abandoned ones included.
    static int workersRunning();
    bool isStalled() const { return m_stalled; }
    // Starts the export; false (and nothing happens) while another one runs.
    bool start(const PreparedExport &prepared);
    // The operator gives up waiting: the window is free at once.
    void cancel();
    // The operator waits: the step gets its time again.
    void keepWaiting();
    // The operator restarts the office: it is ended, and the same export starts again.
    void restartOffice();

    // Starts the office in the background, with its spreadsheet part and the template's filter
    // loaded, so that the first export does not wait for it.
    void warmUp(const QString &templatePath = QString());
    bool isWarmingUp() const { return m_warming; }
    // At the program's end: closes the office this program started, unless the operator still
    // has a document open in it. Waits at most timeLimitMs for the office.
    void closeStartedOffice(int timeLimitMs);

signals:
    void waitingNoticeDue();
    void stalled(const QString &question);
    void stallOver();
    void finished(const OfficeExporter::Outcome &outcome);
    void warmUpFinished(bool reached);

private:
    void launch();
    void stepStarted(int step);
    void stepTimedOut();
    void jobDone(const Outcome &outcome);
    void abandon();
    int limitFor(int step) const;

    OfficeSession &m_session;
    TimeLimits m_limits;
    PreparedExport m_prepared;
    std::shared_ptr<ExportJob> m_job;
    int m_step = Starting;
    bool m_stalled = false;
    bool m_warming = false;
    bool m_exported = false; // an export was started: the office may hold the operator's invoice
    QTimer m_deadline;
    QTimer m_notice;
};

Q_DECLARE_METATYPE(OfficeExporter::Outcome)
