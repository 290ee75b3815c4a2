// The shift's buttons, each answer shown in the status line and the report table.
#include "dialogs/shift_dialog.h"

#include "dialogs/prompts.h"
#include "documents/document_settings.h"
#include "documents/invoice_painter.h"
#include "documents/shift_report_painter.h"
#include "storage/shift_link.h"

#include "ui_shift_dialog.h"

#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>

#include <memory>

ShiftDialog::ShiftDialog(ShiftLink *link, Prompts *prompts, const QString &shopName,
                         QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ShiftDialog)
    , link(link)
    , prompts(prompts)
    , shopName(shopName)
{
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("Смена — касса «%1»").arg(link->counter()));
    choosePrinter = [this](QPrinter *printer) {
        QPrintDialog dialog(printer, this);
        return dialog.exec() == QDialog::Accepted;
    };
    ui->tableShiftReport->horizontalHeader()->setSectionResizeMode(0,
                                                                   QHeaderView::ResizeToContents);

    connect(ui->pushButtonOpenShift, &QPushButton::clicked, this, &ShiftDialog::openShift);
    connect(ui->pushButtonCashIn, &QPushButton::clicked, this, [this] { putCash(true); });
    connect(ui->pushButtonCashOut, &QPushButton::clicked, this, [this] { putCash(false); });
    connect(ui->pushButtonXReport, &QPushButton::clicked, this, &ShiftDialog::refresh);
    connect(ui->pushButtonCloseShift, &QPushButton::clicked, this, &ShiftDialog::closeShift);
    connect(ui->pushButtonShiftPdf, &QPushButton::clicked, this, &ShiftDialog::writePdf);
    connect(ui->pushButtonShiftPrint, &QPushButton::clicked, this, &ShiftDialog::print);
    connect(ui->pushButtonShiftDone, &QPushButton::clicked, this, &QDialog::reject);
    setBusy(true);
    refresh();
}

ShiftDialog::~ShiftDialog() = default;

bool ShiftDialog::readAmount(qint64 *kopecks)
{
    if (!readKopecks(ui->lineEditShiftAmount->text(), kopecks) || *kopecks < 0) {
        tell(false,
             QStringLiteral("Сумма «%1» не понята: нужно число с копейками, например "
                            "5000,00.")
                 .arg(ui->lineEditShiftAmount->text()));
        ui->lineEditShiftAmount->setFocus();
        return false;
    }
    return true;
}

void ShiftDialog::setBusy(bool busy)
{
    ui->pushButtonOpenShift->setEnabled(!busy && !shiftOpen);
    for (QPushButton *each : {ui->pushButtonCashIn, ui->pushButtonCashOut, ui->pushButtonXReport,
                              ui->pushButtonCloseShift})
        each->setEnabled(!busy && shiftOpen);
    ui->pushButtonShiftPdf->setEnabled(!busy && hasReport);
    ui->pushButtonShiftPrint->setEnabled(!busy && hasReport);
}

void ShiftDialog::tell(bool done, const QString &message)
{
    ui->labelShiftStatus->setText(message);
    emit answered(done, message);
}

void ShiftDialog::showReport(const ShiftAnswer &answer)
{
    report = answer.report;
    hasReport = !report.lines.isEmpty();
    ui->tableShiftReport->setRowCount(report.lines.size());
    for (int row = 0; row < report.lines.size(); ++row) {
        ui->tableShiftReport->setItem(row, 0, new QTableWidgetItem(report.lines.at(row).label));
        auto *value = new QTableWidgetItem(report.lines.at(row).value);
        ui->tableShiftReport->setItem(row, 1, value);
    }
    ui->tableShiftReport->resizeRowsToContents();
}

void ShiftDialog::refresh()
{
    setBusy(true);
    link->xReport(this, [this](const ShiftAnswer &answer) {
        shiftOpen = answer.done();
        if (answer.done()) {
            showReport(answer);
            ui->labelShiftState->setText(QStringLiteral("Смена № %1 открыта. Ожидается в кассе %2.")
                                             .arg(answer.number)
                                             .arg(kopecksText(answer.report.expectedCash)));
        } else if (answer.outcome == ShiftOutcome::NotFound) {
            ui->labelShiftState->setText(
                QStringLiteral("Смена не открыта: введите размен в кассе и нажмите "
                               "«Открыть смену»."));
        } else {
            ui->labelShiftState->setText(answer.message);
        }
        setBusy(false);
    });
}

void ShiftDialog::openShift()
{
    qint64 kopecks = 0;
    if (!readAmount(&kopecks))
        return;
    const QString what = actionCaption(Action::OpenCloseShift);
    guard(Action::OpenCloseShift, what, [this, kopecks](const QString &approver) {
        setBusy(true);
        link->open(kopecks, operatorName ? operatorName() : QString(), this,
                   [this, kopecks, approver](const ShiftAnswer &answer) {
                       tell(answer.done(), answer.message);
                       if (answer.done()) {
                           ui->lineEditShiftAmount->clear();
                           record(QStringLiteral("смена открыта"), QString(),
                                  QStringLiteral("смена № %1, размен %2")
                                      .arg(answer.number)
                                      .arg(kopecksText(kopecks)),
                                  approver);
                       }
                       refresh();
                   });
    });
}

void ShiftDialog::putCash(bool in)
{
    qint64 kopecks = 0;
    if (!readAmount(&kopecks))
        return;
    if (kopecks == 0)
        return tell(false, QStringLiteral("Сумма не может быть нулевой."));
    if (!in && ui->lineEditShiftReason->text().trimmed().isEmpty()) {
        ui->lineEditShiftReason->setFocus();
        return tell(false, QStringLiteral("Для изъятия нужна причина."));
    }
    const Action action = in ? Action::CashIn : Action::CashOut;
    const QString why = ui->lineEditShiftReason->text().trimmed();
    const QString what = QStringLiteral("%1 %2").arg(actionCaption(action), kopecksText(kopecks));
    guard(action, what, [this, in, kopecks, why, action](const QString &approver) {
        CashEntry entry;
        entry.kopecks = in ? kopecks : -kopecks;
        entry.reason = why;
        entry.operatorName = operatorName ? operatorName() : QString();
        setBusy(true);
        link->addCash(entry, this,
                      [this, action, kopecks, why, approver](const ShiftAnswer &answer) {
                          tell(answer.done(), answer.message);
                          if (answer.done()) {
                              ui->lineEditShiftAmount->clear();
                              ui->lineEditShiftReason->clear();
                              record(actionCaption(action), why, kopecksText(kopecks), approver);
                          }
                          refresh();
                      });
    });
}

void ShiftDialog::closeShift()
{
    qint64 kopecks = 0;
    if (!readAmount(&kopecks))
        return;
    if (prompts
        && prompts->ask(QStringLiteral("Закрытие смены"),
                        QStringLiteral("Закрыть смену с пересчитанной суммой %1? Закрытую смену "
                                       "изменить нельзя.")
                            .arg(kopecksText(kopecks)),
                        {QStringLiteral("Закрыть смену"), QStringLiteral("Отмена")}, 1)
            != 0)
        return;
    guard(Action::OpenCloseShift, actionCaption(Action::OpenCloseShift),
          [this, kopecks](const QString &approver) {
              setBusy(true);
              link->close(
                  kopecks, operatorName ? operatorName() : QString(), this,
                  [this, kopecks, approver](const ShiftAnswer &answer) {
                      tell(answer.done(), answer.message);
                      if (!answer.done())
                          return refresh();
                      ui->lineEditShiftAmount->clear();
                      record(QStringLiteral("смена закрыта"),
                             QStringLiteral("смена № %1").arg(answer.number),
                             QStringLiteral("пересчитано %1, расхождение %2")
                                 .arg(kopecksText(kopecks), kopecksText(answer.report.difference)),
                             approver);
                      shiftOpen = false;
                      showReport(answer);
                      ui->labelShiftState->setText(
                          QStringLiteral("Смена № %1 закрыта. Z-отчёт № %1 "
                                         "ниже.")
                              .arg(answer.number));
                      setBusy(false);
                  });
          });
}

QString ShiftDialog::writePdf()
{
    if (!hasReport)
        return QString();
    const DocumentSettings settings = DocumentSettings::load();
    const QString folderProblem = DocumentSettings::pdfFolderProblem(settings.pdfFolder);
    if (!folderProblem.isEmpty()) {
        tell(false, folderProblem + QStringLiteral(" Папку можно выбрать в настройках."));
        return QString();
    }
    const QString folder = settings.effectivePdfFolder();
    if (!QDir().mkpath(folder)) {
        tell(false,
             QStringLiteral("Не удалось создать папку для PDF «%1».")
                 .arg(QDir::toNativeSeparators(folder)));
        return QString();
    }
    const QString path = freePdfPath(folder, report.fileName());
    QString error;
    if (!writeShiftReportPdf(report, shopName, path, &error)) {
        tell(false,
             QStringLiteral("Не удалось записать PDF «%1»: %2.")
                 .arg(QDir::toNativeSeparators(path), error));
        return QString();
    }
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"))
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    tell(true, QStringLiteral("Отчёт записан в PDF: ") + QDir::toNativeSeparators(path));
    return path;
}

bool ShiftDialog::print()
{
    if (!hasReport)
        return false;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setPageLayout(invoicePageLayout());
    printer->setDocName(report.title());
    if (!choosePrinter(printer.get())) {
        tell(false, QStringLiteral("Печать отменена."));
        return false;
    }
    if (paintShiftReport(printer.get(), report, shopName) == 0) {
        tell(false,
             QStringLiteral("Не удалось напечатать: принтер «%1» не принял документ.")
                 .arg(printer->printerName()));
        return false;
    }
    tell(true, QStringLiteral("Отчёт отправлен на печать."));
    return true;
}
