// Loading, then writing or printing, each request on its own; nothing waits on the window's thread.
#include "dialogs/order_documents.h"

#include "dialogs/prompts.h"
#include "documents/document_settings.h"
#include "documents/invoice_painter.h"
#include "storage/shop_link.h"

#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>

#include <memory>

namespace {

JobTicket ticketOf(const OrderDetails &details, const QString &shopName)
{
    JobTicket ticket;
    ticket.number = details.order.number;
    ticket.created = details.order.created;
    ticket.due = details.order.due;
    ticket.customer = details.order.customer.name();
    ticket.phone = details.order.phone;
    ticket.note = details.order.note;
    ticket.shopName = shopName;
    ticket.lines = details.invoice.lines;
    return ticket;
}

} // namespace

OrderDocuments::OrderDocuments(ShopLink *shop, Prompts *prompts, QWidget *parent)
    : QObject(parent)
    , shop(shop)
    , prompts(prompts)
    , parentWidget(parent)
    , choosePrinter([this](QPrinter *printer) {
        QPrintDialog dialog(printer, parentWidget);
        return dialog.exec() == QDialog::Accepted;
    })
{ }

void OrderDocuments::writeActPdf(qint64 number)
{
    make(Act, number, false);
}

void OrderDocuments::printAct(qint64 number)
{
    make(Act, number, true);
}

void OrderDocuments::writeTicketPdf(qint64 number)
{
    make(Ticket, number, false);
}

void OrderDocuments::printTicket(qint64 number)
{
    make(Ticket, number, true);
}

void OrderDocuments::end(bool made, const QString &path, const QString &message)
{
    if (prompts)
        prompts->tell(QStringLiteral("Документы"), message);
    emit finished(made, path, message);
}

void OrderDocuments::make(Kind kind, qint64 number, bool print)
{
    const QString what = kind == Act ? QStringLiteral("Акт") : QStringLiteral("Заказ-наряд");
    // Both kinds end in the same steps once the document is known.
    // `made` hears of each document that came out: the file written, empty when printed.
    const auto produce = [this, what,
                          print](const QString &title, const QString &fileName,
                                 const std::function<int(QPagedPaintDevice *)> &paint,
                                 const std::function<bool(const QString &, QString *)> &write,
                                 const std::function<void(const QString &)> &made) {
        if (print) {
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setPageLayout(invoicePageLayout());
            printer->setDocName(title);
            if (!choosePrinter(printer.get()))
                return end(false, QString(), QStringLiteral("Печать отменена."));
            if (paint(printer.get()) == 0)
                return end(false, QString(),
                           QStringLiteral("Не удалось напечатать: принтер «%1» не принял документ.")
                               .arg(printer->printerName()));
            made(QString());
            return end(true, QString(), title + QStringLiteral(" отправлен на печать."));
        }
        const DocumentSettings settings = DocumentSettings::load();
        const QString folderProblem = DocumentSettings::pdfFolderProblem(settings.pdfFolder);
        if (!folderProblem.isEmpty())
            return end(false, QString(),
                       folderProblem + QStringLiteral(" Папку можно выбрать в настройках."));
        const QString folder = settings.effectivePdfFolder();
        if (!QDir().mkpath(folder))
            return end(false, QString(),
                       QStringLiteral("Не удалось создать папку для PDF «%1».")
                           .arg(QDir::toNativeSeparators(folder)));
        const QString path = freePdfPath(folder, fileName);
        QString error;
        if (!write(path, &error))
            return end(false, QString(),
                       QStringLiteral("Не удалось записать PDF «%1»: %2.")
                           .arg(QDir::toNativeSeparators(path), error));
        made(path);
        // Without a display (the offscreen platform of a test) there is no viewer.
        const QString platform = QGuiApplication::platformName();
        if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"))
            QDesktopServices::openUrl(QUrl::fromLocalFile(path));
        end(true, path,
            what + QStringLiteral(" записан в PDF:\n") + QDir::toNativeSeparators(path));
    };

    if (kind == Act) {
        shop->load(
            number, this,
            [this, number, produce](bool found, const InvoiceRecord &record, const QString &error) {
                if (!found)
                    return end(false, QString(),
                               error.isEmpty()
                                   ? QStringLiteral("Счёта № %1 в журнале нет.").arg(number)
                                   : error);
                const InvoiceSummary &summary = record.summary;
                InvoiceDocument document = DocumentSettings::load().journalInvoice(
                    number, summary.created.date(), record.lines, record.customer,
                    {summary.taxStored, summary.taxGiven, summary.taxRule});
                // A copy of an act made before is the same act: its number and date.
                document.actDate = record.actDate();
                const auto recordAct = [this, number, &document](const QString &path) {
                    DocumentRecord act;
                    act.kind
                        = path.isEmpty() ? QStringLiteral("act-print") : QStringLiteral("act-pdf");
                    act.made = QDateTime::currentDateTime();
                    act.succeeded = true;
                    act.path = path;
                    act.operatorName = operatorName ? operatorName() : QString();
                    act.actDate = document.actDay();
                    shop->addDocument(number, act);
                };
                produce(
                    document.actTitle(), document.actFileName(),
                    [&document](QPagedPaintDevice *device) { return paintAct(device, document); },
                    [&document](const QString &path, QString *problem) {
                        return ::writeActPdf(document, path, problem);
                    },
                    recordAct);
            });
        return;
    }
    shop->loadOrder(
        number, this,
        [this, number, produce](bool found, const OrderDetails &details, const QString &error) {
            if (!found && !error.isEmpty())
                return end(false, QString(), error);
            if (!found) {
                // An invoice never taken as an order is told apart from a number never given.
                shop->load(number, this,
                           [this, number](bool stored, const InvoiceRecord &, const QString &) {
                               end(false, QString(), ticketRefusal(number, stored));
                           });
                return;
            }
            const JobTicket ticket = ticketOf(details, DocumentSettings::load().requisites.name);
            produce(
                ticket.title(), ticket.fileName(),
                [&ticket](QPagedPaintDevice *device) { return paintTicket(device, ticket); },
                [&ticket](const QString &path, QString *problem) {
                    return ::writeTicketPdf(ticket, path, problem);
                },
                [](const QString &) {});
        });
}
