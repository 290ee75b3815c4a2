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
#include "app/document_actions.h"
#include "app/export_panel.h"
#include "documents/qr_code.h"

#include <QBuffer>

// The shop's lines at the top of the sheet, as the PDF invoice of the same order prints the shop
// (documents/invoice_painter.cpp). Requisites kept only as free-text lines go as they are, as the
// PDF's free-text header prints them. Requisites as fields of their own make the lines: the ИНН
// and КПП as the PDF's "Поставщик" line writes them (supplierText), the bank with the captions of
// its bank table ("Банк получателя", "БИК"), the accounts as the act names them ("р/с", "к/с") in
// the form of the sample's line. The sample's own texts are placeholders and never written: with
// nothing else left, the template keeps its texts.
static ShopLines shopLines(const ShopRequisites &shop)
{
    const ShopRequisites sample = ShopRequisites::sample();
    const auto real = [](const QString &text, const QString &placeholder) {
        const QString trimmed = text.trimmed();
        return trimmed == placeholder ? QString() : trimmed;
    };
    ShopLines lines;
    lines.name = real(shop.name, sample.name);
    lines.address = real(shop.address, sample.address);
    if (!shop.structured()) {
        lines.taxNumbers = real(shop.taxNumbers, sample.taxNumbers);
        lines.bank = real(shop.bank, sample.bank);
        lines.account = real(shop.account, sample.account);
        return lines;
    }
    ShopRequisites numbers;
    numbers.inn = shop.inn;
    numbers.kpp = shop.kpp;
    lines.taxNumbers = supplierText(numbers);
    // A number is never parted from its caption, as on the PDF.
    const auto joined = [](const QVector<QPair<QString, QString>> &parts) {
        QStringList texts;
        for (const auto &part : parts)
            if (!part.second.trimmed().isEmpty())
                texts << (part.first.isEmpty()
                              ? part.second.trimmed()
                              : part.first + QChar(0x00A0) + part.second.trimmed());
        return texts.join(QStringLiteral(", "));
    };
    const QString bank = joined({{QString(), shop.bankName}, {QStringLiteral("БИК"), shop.bik}});
    if (!bank.isEmpty())
        lines.bank = QStringLiteral("Банк получателя: ") + bank;
    lines.account = joined({{QStringLiteral("Р/с"), shop.settlementAccount},
                            {QStringLiteral("к/с"), shop.corrAccount}});
    return lines;
}

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
        // "Экспорт" refuses an empty order; a request handed to the panel with the window's order
        // empty (tests) goes out as it is, with the number and date it carries.
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
    request.lines = orderLines();
    // An empty order makes no invoice, as "PDF" and "Печать" make none: no number, no office.
    if (request.lines.isEmpty()) {
        prompts().tell(QStringLiteral("Экспорт"), DocumentActions::emptyOrderMessage());
        return;
    }
    request.typedPath = form->lineEdit_11->text();
    // Signed as the PDF is: the names the settings give, else the template's placeholder; the
    // shop's lines at the top as the PDF prints them.
    const DocumentSettings settings = DocumentSettings::load();
    request.signers = {settings.requisites.director, settings.requisites.accountant};
    request.shop = shopLines(settings.requisites);
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
