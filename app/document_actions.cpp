// "PDF", "Печать" and "Настройки": the buttons, where the PDF goes, the print dialog, the
// settings dialog and Qt's translations of its own dialogs.
#include "app/document_actions.h"

#include "app/busy_cursor.h"
#include "app/mainwindow.h"
#include "dialogs/prompts.h"
#include "dialogs/settings_dialog.h"
#include "documents/invoice_painter.h"
#include "mail/smtp_sender.h"
#include "order/order.h"
#include "order/unpriced_lines.h"
#include "storage/settings.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryFile>
#include <QTranslator>
#include <QUrl>

namespace {
// Whether a file can be made in the folder: asked before a number is taken, so that a folder
// nobody can write into spends no invoice number.
bool folderWritable(const QString &folder, QString *why)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".printcalc-XXXXXX")));
    if (probe.open())
        return true;
    *why = probe.errorString();
    return false;
}
} // namespace

void WindowDocumentServices::takeNumber(const QString &kind, QObject *context,
                                        std::function<void(const Number &number)> done)
{
    // The order's number from the journal (app/order_storage.cpp): the same for every document
    // of the unchanged order, none while the shop's database is out of reach.
    window->numberForDocument(kind, context, [done](const DocumentNumber &taken) {
        Number number;
        if (taken.ok && taken.number > 0)
            number.number = QString::number(taken.number);
        number.date = taken.date.date();
        number.reason = taken.reason;
        number.orderUid = taken.orderUid;
        number.revision = taken.revision;
        done(number);
    });
}

void WindowDocumentServices::reportDocument(const Number &number, const QString &kind, bool made)
{
    window->documentFinished(number.number.toLongLong(), kind, made, number.orderUid);
}

void WindowDocumentServices::inform(const QString &message)
{
    QMessageBox::information(window, QStringLiteral("Счёт"), message);
}

void WindowDocumentServices::openDocument(const QString &path)
{
    // Without a display (the offscreen platform of a server or a test) there is no viewer.
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"))
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool WindowDocumentServices::choosePrinter(QPrinter *printer)
{
    QPrintDialog dialog(printer, window);
    return dialog.exec() == QDialog::Accepted;
}

DocumentActions::DocumentActions(MainWindow *window, DocumentServices *given)
    : QObject(window)
    , window(window)
    , ownServices(given ? nullptr : std::make_unique<WindowDocumentServices>(window))
    , services(given ? given : ownServices.get())
{
    setObjectName(QStringLiteral("documentActions"));

    // Free places of the order area: right of "Экспорт", and under "Очистка" in line with it.
    QWidget *area = window->findChild<QWidget *>(QStringLiteral("centralwidget"));
    auto *pdf = new QPushButton(QStringLiteral("PDF"), area);
    pdf->setObjectName(QStringLiteral("pushButtonPdf"));
    pdf->setGeometry(1220, 710, 60, 23);
    pdf->setToolTip(QStringLiteral("Счёт в PDF без офиса, в папку из настроек"));
    connect(pdf, &QPushButton::clicked, this, [this] { writePdf(); });

    auto *printButton = new QPushButton(QStringLiteral("Печать"), area);
    printButton->setObjectName(QStringLiteral("pushButtonPrint"));
    printButton->setGeometry(1060, 710, 75, 23);
    printButton->setToolTip(QStringLiteral("Напечатать счёт"));
    connect(printButton, &QPushButton::clicked, this, [this] { print(); });

    auto *settings = new QPushButton(QStringLiteral("Настройки"));
    settings->setObjectName(QStringLiteral("pushButtonSettings"));
    window->addWindowButton(settings);
    connect(settings, &QPushButton::clicked, this, [this] { editSettings(); });
}

DocumentActions::~DocumentActions() = default;

InvoiceDocument DocumentActions::documentFor(const QVector<OrderLine> &lines,
                                             const DocumentSettings &settings,
                                             const Customer &payer)
{
    InvoiceDocument document;
    document.payer = payer;
    document.tax = settings.tax;
    document.shop = settings.requisites;
    document.date = QDate::currentDate();
    document.validityDays = settings.validityDays;
    document.lines = lines;
    return document;
}

void DocumentActions::warn(const QString &title, const QString &message) const
{
    window->prompts().tell(title, message);
}

void DocumentActions::numberThen(
    const InvoiceDocument &document, const QString &kind,
    std::function<void(const InvoiceDocument &document, const Number &number)> made)
{
    waiting = true;
    window->setDocumentButtonsEnabled(false);
    services->takeNumber(kind, this, [this, document, made](const Number &number) {
        waiting = false;
        window->setDocumentButtonsEnabled(true);
        InvoiceDocument numbered = document;
        numbered.number = number.number;
        numbered.revision = number.number.isEmpty() ? 1 : number.revision;
        if (number.date.isValid())
            numbered.date = number.date;
        made(numbered, number);
    });
}

// What the operator is told of a document that went out without a number.
static QString withoutNumber(const DocumentActions::Number &number)
{
    if (!number.number.isEmpty() || number.reason.isEmpty())
        return QString();
    return QStringLiteral("\nСчёт без номера: ") + number.reason;
}

QVector<OrderLine> DocumentActions::linesToDocument(const QString &title) const
{
    if (!window->unpricedLinesSettled(title))
        return {};
    const QVector<OrderLine> lines = window->orderLines();
    if (lines.isEmpty())
        warn(title, emptyOrderMessage());
    return lines;
}

QString DocumentActions::emptyOrderMessage()
{
    return QStringLiteral("Заказ пуст: в нём нет ни одной строки, счёт составлять не из чего.");
}

void DocumentActions::writePdf()
{
    if (waiting)
        return;
    const QVector<OrderLine> lines = linesToDocument(QStringLiteral("PDF"));
    if (lines.isEmpty())
        return emit pdfWritten(QString());
    const DocumentSettings settings = DocumentSettings::load();
    const QString folderProblem = DocumentSettings::pdfFolderProblem(settings.pdfFolder);
    if (!folderProblem.isEmpty()) {
        warn(QStringLiteral("PDF"),
             folderProblem + QStringLiteral(" Папку можно выбрать в настройках."));
        return emit pdfWritten(QString());
    }
    const QString folder = settings.effectivePdfFolder();
    if (!QDir().mkpath(folder)) {
        warn(QStringLiteral("PDF"),
             QStringLiteral("Не удалось создать папку для PDF «%1». Другую папку можно выбрать "
                            "в настройках.")
                 .arg(QDir::toNativeSeparators(folder)));
        return emit pdfWritten(QString());
    }
    QString why;
    if (!folderWritable(folder, &why)) {
        warn(QStringLiteral("PDF"),
             QStringLiteral("В папку для PDF «%1» нельзя записать: счёт не составлен, номер не "
                            "взят. Другую папку можно выбрать в настройках. (%2)")
                 .arg(QDir::toNativeSeparators(folder), why));
        return emit pdfWritten(QString());
    }
    numberThen(documentFor(lines, settings, window->order()->customer()), QStringLiteral("pdf"),
               [this, folder](const InvoiceDocument &document, const Number &number) {
                   pdfNumbered(document, folder, number);
               });
}

void DocumentActions::pdfNumbered(InvoiceDocument document, const QString &folder,
                                  const Number &number)
{
    const QString path = freePdfPath(folder, document.fileName());
    QString error;
    bool written = false;
    {
        const BusyCursor wait(Qt::WaitCursor);
        written = writeInvoicePdf(document, path, &error);
    }
    services->reportDocument(number, QStringLiteral("pdf"), written);
    if (!written) {
        warn(QStringLiteral("PDF"),
             QStringLiteral("Не удалось записать PDF «%1»: %2. Освободите место на диске или "
                            "выберите другую папку для PDF в настройках и повторите.")
                 .arg(QDir::toNativeSeparators(path), error));
        return emit pdfWritten(QString());
    }
    services->openDocument(path);
    // The invoice went out without its payment code: the operator learns which requisite to mend.
    QString codeProblem;
    document.paymentCode(&codeProblem);
    services->inform(QStringLiteral("Счёт записан в PDF:\n") + QDir::toNativeSeparators(path)
                     + withoutNumber(number)
                     + (codeProblem.isEmpty() ? QString() : QLatin1Char('\n') + codeProblem));
    emit pdfWritten(path);
}

void DocumentActions::print()
{
    if (waiting)
        return;
    const QVector<OrderLine> lines = linesToDocument(QStringLiteral("Печать"));
    if (lines.isEmpty())
        return emit printed(false);
    const InvoiceDocument document
        = documentFor(lines, DocumentSettings::load(), window->order()->customer());
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    printer->setPageLayout(invoicePageLayout());
    printer->setDocName(QStringLiteral("Счёт"));
    if (!services->choosePrinter(printer.get()))
        return emit printed(false);
    numberThen(document, QStringLiteral("print"),
               [this, printer](const InvoiceDocument &numbered, const Number &number) {
                   printer->setDocName(numbered.title());
                   int pages = 0;
                   {
                       const BusyCursor wait(Qt::WaitCursor);
                       pages = paintInvoice(printer.get(), numbered);
                   }
                   services->reportDocument(number, QStringLiteral("print"), pages > 0);
                   if (pages == 0) {
                       warn(QStringLiteral("Печать"),
                            QStringLiteral("Не удалось напечатать счёт: принтер «%1» не принял "
                                           "документ.")
                                .arg(printer->printerName()));
                       return emit printed(false);
                   }
                   const QString note = withoutNumber(number);
                   if (!note.isEmpty())
                       services->inform(QStringLiteral("Счёт отправлен на печать.") + note);
                   emit printed(true);
               });
}

void DocumentActions::editSettings()
{
    const QString what = actionCaption(Action::ChangeSettings);
    window->withRight(Action::ChangeSettings, what, [this, what](const QString &approver) {
        auto *dialog = new SettingsDialog(window, &window->prompts());
        dialog->setLetterSender(sendTestLetter);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        MainWindow *owner = window;
        dialog->setOperatorsOpener([owner, dialog] { owner->showOperators(dialog); });
        connect(dialog, &QDialog::accepted, owner, [owner, what, approver] {
            owner->recordAudit(what, QString(), Settings::defaultPath(), approver);
        });
        dialog->open();
    });
}

bool MainWindow::unpricedLinesSettled(const QString &title, bool *textPrices)
{
    const QVector<UnpricedLine> unpriced = unpricedLines(orderLines());
    if (textPrices)
        *textPrices = false;
    if (unpriced.isEmpty())
        return true;
    // A long list is cut: the operator sees the first lines and how many more there are.
    const int shown = 10;
    QStringList named;
    QVector<int> rows;
    bool anyText = false;
    int samples = 0;
    for (const UnpricedLine &line : unpriced) {
        if (named.size() < shown)
            named << unpricedLineText(line);
        rows << line.row;
        anyText = anyText || line.reason == UnpricedLine::PriceNotNumber;
        samples += line.reason == UnpricedLine::SamplePrice ? 1 : 0;
    }
    if (unpriced.size() > shown)
        named << QStringLiteral("и ещё строк: %1").arg(unpriced.size() - shown);
    const bool one = unpriced.size() == 1;
    QString heading;
    if (samples == 0)
        heading = one ? QStringLiteral("В счёт попадёт строка без цены:\n")
                      : QStringLiteral("В счёт попадут строки без цены:\n");
    else if (samples == unpriced.size())
        heading = one ? QStringLiteral("В счёт попадёт строка с ценой-образцом:\n")
                      : QStringLiteral("В счёт попадут строки с ценами-образцами:\n");
    else
        heading = QStringLiteral("В счёт попадут строки без цены или с ценой-образцом:\n");
    const QString question = heading + named.join(QLatin1Char('\n'))
        + QStringLiteral("\n\nУбрать их из заказа (вернуть можно через Ctrl+Z), оставить как есть "
                         "или отменить?");
    const QStringList answers
        = {QStringLiteral("Убрать строки"), QStringLiteral("Оставить"), QStringLiteral("Отменить")};
    // Enter alone makes nothing: the question may meet a key press meant for the window.
    switch (prompts().ask(title, question, answers, 2)) {
    case 0:
        order()->removeRows(rows);
        return true;
    case 1:
        if (textPrices)
            *textPrices = anyText;
        return true;
    default:
        return false;
    }
}

bool DocumentActions::installQtTranslations()
{
    static bool installed = false;
    if (installed)
        return true;
    // The program speaks Russian whatever the desktop's language; so do Qt's own dialogs.
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_ru"),
                          QLibraryInfo::location(QLibraryInfo::TranslationsPath))
        || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    installed = true;
    return true;
}
