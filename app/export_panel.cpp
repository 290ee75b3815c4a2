// The export's widgets, created in code beside the order table, and its messages.
#include "app/export_panel.h"

#include "app/busy_cursor.h"

#include "app/mainwindow.h"
#include "dialogs/prompts.h"
#include "documents/document_settings.h"
#include "storage/settings_file.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

ExportPanel::ExportPanel(MainWindow *window, QWidget *orderTable, QPushButton *exportButton)
    : QObject(window)
    , m_window(window)
    , m_orderTable(orderTable)
    , m_exportButton(exportButton)
    , m_exporter(new OfficeExporter(OfficeSession::shared(), this))
{
    setObjectName(QStringLiteral("exportPanel"));

    // The waiting notice lies over the foot of the order table, as its child, so that the window's
    // own widgets stay as the form made them; the order stays in view above it.
    m_notice = new QFrame(orderTable);
    m_notice->setObjectName(QStringLiteral("exportWaitNotice"));
    m_notice->setFrameShape(QFrame::StyledPanel);
    m_notice->setAutoFillBackground(true);
    auto *layout = new QHBoxLayout(m_notice);
    layout->setContentsMargins(8, 4, 8, 4);
    auto *label = new QLabel(QStringLiteral("Идёт экспорт: ждём LibreOffice Calc…"), m_notice);
    auto *progress = new QProgressBar(m_notice);
    progress->setRange(0, 0);
    progress->setMaximumWidth(160);
    progress->setTextVisible(false);
    auto *cancel = new QPushButton(QStringLiteral("Отменить экспорт"), m_notice);
    cancel->setObjectName(QStringLiteral("pushButtonCancelExport"));
    layout->addWidget(label);
    layout->addWidget(progress);
    layout->addStretch();
    layout->addWidget(cancel);
    m_notice->hide();
    connect(cancel, &QPushButton::clicked, m_exporter, &OfficeExporter::cancel);

    connect(m_exporter, &OfficeExporter::waitingNoticeDue, this, [this] {
        placeNotice();
        m_notice->show();
        m_notice->raise();
    });
    connect(m_exporter, &OfficeExporter::stalled, this, &ExportPanel::askWhenStalled);
    connect(m_exporter, &OfficeExporter::stallOver, this, &ExportPanel::closeQuestion);
    connect(m_exporter, &OfficeExporter::finished, this, &ExportPanel::finished);

    // The office the program started goes when the program ends (not when a window closes).
    connect(qApp, &QCoreApplication::aboutToQuit, this,
            [this] { m_exporter->closeStartedOffice(3000); });
    window->installEventFilter(this);
    // The table grows with the window: the notice stays at its foot.
    orderTable->installEventFilter(this);
}

ExportPanel::~ExportPanel() = default;

bool ExportPanel::warmUpWanted()
{
    // The one settings file, read as UTF-8; a file in another encoding leaves the default.
    return SettingsFile(settingsFilePath()).value(QStringLiteral("office/warmup"), true).toBool();
}

bool ExportPanel::eventFilter(QObject *watched, QEvent *event)
{
    // The office starts once the window has painted and the event loop is idle, so that its
    // start never delays the first paint.
    if (watched == m_window && event->type() == QEvent::Paint && !m_painted) {
        m_painted = true;
        if (warmUpWanted())
            QTimer::singleShot(200, m_exporter, [this] {
                if (m_exporter->isRunning())
                    return;
                const auto *field = m_window->findChild<QLineEdit *>(QStringLiteral("lineEdit_11"));
                m_exporter->warmUp(field ? templatePathFromTyped(field->text()) : QString());
            });
    }
    if (watched == m_orderTable && event->type() == QEvent::Resize)
        placeNotice();
    return QObject::eventFilter(watched, event);
}

void ExportPanel::placeNotice()
{
    const int height = 40;
    m_notice->setGeometry(2, m_orderTable->height() - height - 2, m_orderTable->width() - 4,
                          height);
}

void ExportPanel::exportOrder(const ExportRequest &request)
{
    if (m_exporter->isRunning())
        return;
    PreparedExport prepared;
    QString message;
    if (!prepareExport(request, &prepared, &message)) {
        m_window->prompts().tell(QStringLiteral("Экспорт"), message);
        return;
    }
    if (numberInvoice) {
        numberInvoice(&prepared);
        // The number brings the invoice's date, and the date the tax in force.
        layOutInvoice(&prepared);
    }
    m_exportButton->setEnabled(false);
    m_busy.reset(new BusyCursor);
    m_exporter->start(prepared);
}

void ExportPanel::askWhenStalled(const QString &question)
{
    closeQuestion();
    // Not modal: the window keeps answering, and the box goes by itself when the office answers.
    auto *box = new QMessageBox(QMessageBox::Warning, QStringLiteral("LibreOffice не отвечает"),
                                question, QMessageBox::NoButton, m_window);
    box->setObjectName(QStringLiteral("officeStallQuestion"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    QPushButton *wait = box->addButton(QStringLiteral("Подождать"), QMessageBox::AcceptRole);
    wait->setObjectName(QStringLiteral("buttonWaitForOffice"));
    QPushButton *restart
        = box->addButton(QStringLiteral("Перезапустить LibreOffice"), QMessageBox::ResetRole);
    restart->setObjectName(QStringLiteral("buttonRestartOffice"));
    QPushButton *cancel
        = box->addButton(QStringLiteral("Отменить экспорт"), QMessageBox::RejectRole);
    cancel->setObjectName(QStringLiteral("buttonCancelExport"));
    box->setDefaultButton(wait);
    connect(wait, &QPushButton::clicked, m_exporter, &OfficeExporter::keepWaiting);
    connect(restart, &QPushButton::clicked, m_exporter, &OfficeExporter::restartOffice);
    connect(cancel, &QPushButton::clicked, m_exporter, &OfficeExporter::cancel);
    m_question = box;
    box->show();
}

void ExportPanel::closeQuestion()
{
    if (m_question)
        m_question->close();
}

void ExportPanel::finished(const OfficeExporter::Outcome &outcome)
{
    closeQuestion();
    m_notice->hide();
    m_exportButton->setEnabled(true);
    m_busy.reset();
    if (invoiceEnded)
        invoiceEnded(outcome.done);
    if (!outcome.done && !outcome.cancelled)
        m_window->prompts().tell(QStringLiteral("Экспорт"), outcome.message, outcome.details);
}
