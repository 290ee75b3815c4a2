// The shift's buttons, each answer shown in the status line and the report table.
#include "dialogs/shift_dialog.h"

#include "dialogs/prompts.h"
#include "documents/document_settings.h"
#include "documents/invoice_painter.h"
#include "documents/shift_report_painter.h"
#include "storage/shift_link.h"

#include <QBoxLayout>
#include <QDesktopServices>
#include <QDir>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>

#include <memory>

namespace {

QPushButton *button(const QString &caption, const char *name)
{
    auto *result = new QPushButton(caption);
    result->setObjectName(QLatin1String(name));
    result->setAutoDefault(false);
    return result;
}

} // namespace

ShiftDialog::ShiftDialog(ShiftLink *link, Prompts *prompts, const QString &shopName,
                         QWidget *parent)
    : QDialog(parent)
    , link(link)
    , prompts(prompts)
    , shopName(shopName)
    , state(new QLabel)
    , status(new QLabel)
    , amount(new QLineEdit)
    , reason(new QLineEdit)
    , openButton(button(QStringLiteral("Открыть смену"), "pushButtonOpenShift"))
    , inButton(button(QStringLiteral("Внести"), "pushButtonCashIn"))
    , outButton(button(QStringLiteral("Изъять"), "pushButtonCashOut"))
    , xButton(button(QStringLiteral("X-отчёт"), "pushButtonXReport"))
    , closeButton(button(QStringLiteral("Закрыть смену (Z-отчёт)"), "pushButtonCloseShift"))
    , pdfButton(button(QStringLiteral("PDF"), "pushButtonShiftPdf"))
    , printButton(button(QStringLiteral("Печать"), "pushButtonShiftPrint"))
    , table(new QTableWidget(0, 2))
{
    setObjectName(QStringLiteral("ShiftDialog"));
    setWindowTitle(QStringLiteral("Смена — касса «%1»").arg(link->counter()));
    choosePrinter = [this](QPrinter *printer) {
        QPrintDialog dialog(printer, this);
        return dialog.exec() == QDialog::Accepted;
    };
    state->setObjectName(QStringLiteral("labelShiftState"));
    state->setWordWrap(true);
    status->setObjectName(QStringLiteral("labelShiftStatus"));
    status->setWordWrap(true);
    amount->setObjectName(QStringLiteral("lineEditShiftAmount"));
    amount->setPlaceholderText(QStringLiteral("например 5000,00"));
    reason->setObjectName(QStringLiteral("lineEditShiftReason"));
    reason->setPlaceholderText(QStringLiteral("для внесения и изъятия"));
    table->setObjectName(QStringLiteral("tableShiftReport"));
    table->setHorizontalHeaderLabels({QStringLiteral("Показатель"), QStringLiteral("Значение")});
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);

    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("Сумма:"), amount);
    fields->addRow(QStringLiteral("Причина:"), reason);
    auto *actions = new QHBoxLayout;
    for (QPushButton *each : {openButton, inButton, outButton, xButton, closeButton})
        actions->addWidget(each);
    actions->addStretch();
    auto *documents = new QHBoxLayout;
    documents->addWidget(status, 1);
    documents->addWidget(pdfButton);
    documents->addWidget(printButton);
    auto *done = button(QStringLiteral("Закрыть"), "pushButtonShiftDone");
    documents->addWidget(done);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(state);
    layout->addLayout(fields);
    layout->addLayout(actions);
    layout->addWidget(table, 1);
    layout->addLayout(documents);
    resize(640, 600);

    connect(openButton, &QPushButton::clicked, this, &ShiftDialog::openShift);
    connect(inButton, &QPushButton::clicked, this, [this] { putCash(true); });
    connect(outButton, &QPushButton::clicked, this, [this] { putCash(false); });
    connect(xButton, &QPushButton::clicked, this, &ShiftDialog::refresh);
    connect(closeButton, &QPushButton::clicked, this, &ShiftDialog::closeShift);
    connect(pdfButton, &QPushButton::clicked, this, &ShiftDialog::writePdf);
    connect(printButton, &QPushButton::clicked, this, &ShiftDialog::print);
    connect(done, &QPushButton::clicked, this, &QDialog::reject);
    setBusy(true);
    refresh();
}

bool ShiftDialog::readAmount(qint64 *kopecks)
{
    if (!readKopecks(amount->text(), kopecks) || *kopecks < 0) {
        tell(false,
             QStringLiteral("Сумма «%1» не понята: нужно число с копейками, например "
                            "5000,00.")
                 .arg(amount->text()));
        amount->setFocus();
        return false;
    }
    return true;
}

void ShiftDialog::setBusy(bool busy)
{
    openButton->setEnabled(!busy && !shiftOpen);
    for (QPushButton *each : {inButton, outButton, xButton, closeButton})
        each->setEnabled(!busy && shiftOpen);
    pdfButton->setEnabled(!busy && hasReport);
    printButton->setEnabled(!busy && hasReport);
}

void ShiftDialog::tell(bool done, const QString &message)
{
    status->setText(message);
    emit answered(done, message);
}

void ShiftDialog::showReport(const ShiftAnswer &answer)
{
    report = answer.report;
    hasReport = !report.lines.isEmpty();
    table->setRowCount(report.lines.size());
    for (int row = 0; row < report.lines.size(); ++row) {
        table->setItem(row, 0, new QTableWidgetItem(report.lines.at(row).label));
        auto *value = new QTableWidgetItem(report.lines.at(row).value);
        table->setItem(row, 1, value);
    }
    table->resizeRowsToContents();
}

void ShiftDialog::refresh()
{
    setBusy(true);
    link->xReport(this, [this](const ShiftAnswer &answer) {
        shiftOpen = answer.done();
        if (answer.done()) {
            showReport(answer);
            state->setText(QStringLiteral("Смена № %1 открыта. Ожидается в кассе %2.")
                               .arg(answer.number)
                               .arg(kopecksText(answer.report.expectedCash)));
        } else if (answer.outcome == ShiftOutcome::NotFound) {
            state->setText(QStringLiteral("Смена не открыта: введите размен в кассе и нажмите "
                                          "«Открыть смену»."));
        } else {
            state->setText(answer.message);
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
                           amount->clear();
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
    if (!in && reason->text().trimmed().isEmpty()) {
        reason->setFocus();
        return tell(false, QStringLiteral("Для изъятия нужна причина."));
    }
    const Action action = in ? Action::CashIn : Action::CashOut;
    const QString why = reason->text().trimmed();
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
                              amount->clear();
                              reason->clear();
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
                      amount->clear();
                      record(QStringLiteral("смена закрыта"),
                             QStringLiteral("смена № %1").arg(answer.number),
                             QStringLiteral("пересчитано %1, расхождение %2")
                                 .arg(kopecksText(kopecks), kopecksText(answer.report.difference)),
                             approver);
                      shiftOpen = false;
                      showReport(answer);
                      state->setText(QStringLiteral("Смена № %1 закрыта. Z-отчёт № %1 "
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
