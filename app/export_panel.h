// The export's part of the window: it reads the order, hands it to the office layer off the GUI
// thread, shows the waiting notice in the order area with a cancel button, asks what to do when
// LibreOffice does not answer, and tells how the export ended. It also starts the office ahead of
// the first export once the window is shown, and closes it when the program ends.
#pragma once

#include "office/export_request.h"
#include "office/office_exporter.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QFrame;
class QMessageBox;
class QPushButton;
class QWidget;
class MainWindow;

class BusyCursor;

class ExportPanel : public QObject
{
    Q_OBJECT

public:
    ExportPanel(MainWindow *window, QWidget *orderTable, QPushButton *exportButton);
    ~ExportPanel() override;

    OfficeExporter *exporter() const { return m_exporter; }
    // From the press until the export ended: the invoice's number on its way, then the office.
    bool isRunning() const { return m_numbering || m_exporter->isRunning(); }
    // Checks the order and starts the export; a press while one runs is ignored.
    void exportOrder(const ExportRequest &request);

    // Called once an order passed its checks and before the office is asked, to give the invoice
    // its number and date: the export goes on when go is called with the numbered invoice. And
    // once the export ended, with whether the invoice was made.
    using Go = std::function<void(const PreparedExport &numbered)>;
    std::function<void(const PreparedExport &prepared, Go go)> numberInvoice;
    std::function<void(bool made)> invoiceEnded;

    // The setting "warmup" in the section [office] of the settings file (on by default).
    static bool warmUpWanted();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void finished(const OfficeExporter::Outcome &outcome);
    void askWhenStalled(const QString &question);
    void closeQuestion();
    void placeNotice();

    MainWindow *m_window;
    QWidget *m_orderTable;
    QPushButton *m_exportButton;
    OfficeExporter *m_exporter;
    QFrame *m_notice;
    QPointer<QMessageBox> m_question;
    std::unique_ptr<BusyCursor> m_busy;
    bool m_painted = false;
    bool m_numbering = false;
};
