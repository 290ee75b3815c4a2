// "Экспорт": the order as an invoice in the shop's spreadsheet template, opened in LibreOffice
// Calc as a new untitled document. The work itself is the export panel's (order/export_panel.cpp).
#include "app/mainwindow.h"

#include "app/order_storage.h"
#include "dialogs/prompts.h"
#include "documents/document_settings.h"
#include "form/mainwindow_form.h"
#include "order/order.h"
#include "storage/settings.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <memory>

// Where the package puts the sample template.
static const char SampleTemplate[] = "/usr/share/printcalc/invoice.xlsx";

void MainWindow::initTemplatePath()
{
    QLineEdit *path = form->lineEdit_11;
    const QString remembered = ProgramState(keeper->localFile()).templatePath();
    if (!remembered.isEmpty())
        path->setText(remembered);
    else if (QFileInfo(QLatin1String(SampleTemplate)).isFile())
        path->setText(QLatin1String(SampleTemplate));
    // Left of the field: its own geometry stays as the form has it.
    auto *choose = new QPushButton(QStringLiteral("…"), form->centralwidget);
    choose->setObjectName(QStringLiteral("pushButtonChooseTemplate"));
    choose->setToolTip(QStringLiteral("Выбрать файл шаблона"));
    choose->setGeometry(1108, 680, 28, 20);
    connect(choose, &QPushButton::clicked, this, [this, path] {
        const QFileInfo current(path->text().trimmed());
        const QString chosen = prompts().chooseFile(
            QStringLiteral("Шаблон счёта"),
            current.absoluteDir().exists() ? current.absolutePath() : QDir::homePath(),
            QStringLiteral("Таблицы (*.xlsx *.ods *.xls);;Все файлы (*)"));
        if (!chosen.isEmpty())
            path->setText(QDir::toNativeSeparators(chosen));
    });
}

#ifdef PRINTCALC_HAVE_OFFICE
#include "app/export_panel.h"
#include "documents/qr_code.h"

#include <QBuffer>

// The code the PDF of the same invoice carries (the shop's requisites, the foot's "Всего", the
// number and the tax), as a PNG picture for the sheet; empty when it cannot be made.
static QByteArray paymentQrPicture(const PreparedExport &numbered, const Customer &customer)
{
    InvoiceDocument document;
    document.shop = DocumentSettings::load().requisites;
    document.number = numbered.number;
    document.date = numbered.date.isValid() ? numbered.date : QDate::currentDate();
    document.lines = numbered.lines;
    document.payer = customer;
    document.tax = numbered.tax;
    const QrCode code(document.paymentCode());
    QByteArray png;
    if (code.isNull())
        return png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    code.image(8).save(&buffer, "PNG");
    return png;
}

void MainWindow::exportInit()
{
    auto *panel = new ExportPanel(this, form->tableWidget, form->pushButton_6);
    // The invoice's number in the shop's journal (app/order_storage.cpp): taken once the order
    // passed its checks, reported back when the export ended.
    auto number = std::make_shared<DocumentNumber>();
    panel->numberInvoice = [this, number](const PreparedExport &prepared, ExportPanel::Go go) {
        *number = DocumentNumber();
        if (orderLines().isEmpty())
            return go(prepared);
        const Customer customer = order()->customer();
        numberForDocument(QStringLiteral("export"), this,
                          [number, prepared, go, customer](const DocumentNumber &taken) {
                              *number = taken;
                              PreparedExport numbered = prepared;
                              if (taken.ok) {
                                  numbered.number = QString::number(taken.number);
                                  numbered.date = taken.date.date();
                              }
                              numbered.paymentQrPicture = paymentQrPicture(numbered, customer);
                              go(numbered);
                          });
    };
    panel->invoiceEnded = [this, number](bool made) {
        if (orderLines().isEmpty() && number->number == 0 && number->reason.isEmpty())
            return;
        documentFinished(number->number, QStringLiteral("export"), made, number->orderUid);
        // The template that made an invoice is the one the next start offers.
        if (made)
            ProgramState(keeper->localFile()).keepTemplatePath(form->lineEdit_11->text().trimmed());
        if (made && !number->ok)
            prompts().tell(QStringLiteral("Экспорт"), number->reason);
    };
}

void MainWindow::exportToExcel()
{
    auto *panel = findChild<ExportPanel *>(QString(), Qt::FindDirectChildrenOnly);
    if (!panel || panel->isRunning())
        return;
    ExportRequest request;
    if (!unpricedLinesSettled(QStringLiteral("Экспорт"), &request.textPricesAccepted))
        return;
    request.typedPath = form->lineEdit_11->text();
    request.lines = orderLines();
    // Signed as the PDF is: the names the settings give, else the template's placeholder.
    const DocumentSettings settings = DocumentSettings::load();
    request.signers = {settings.requisites.director, settings.requisites.accountant};
    request.payer = order()->customer();
    request.tax = settings.tax;
    panel->exportOrder(request);
}

bool MainWindow::exportRunning() const
{
    const auto *panel = findChild<ExportPanel *>(QString(), Qt::FindDirectChildrenOnly);
    return panel && panel->isRunning();
}
#else
void MainWindow::exportInit() { }

bool MainWindow::exportRunning() const
{
    return false;
}

void MainWindow::exportToExcel()
{
    prompts().tell(QStringLiteral("Экспорт"),
                   QStringLiteral("Экспорт в LibreOffice Calc недоступен в этой сборке "
                                  "программы: она собрана без поддержки LibreOffice. Установите "
                                  "сборку с экспортом или перенесите заказ вручную."));
}
#endif
