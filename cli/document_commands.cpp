// `--pdf invoice|act|ticket N [FILE]`: a journal invoice, its act of the work done, or an order's
// job ticket written as a PDF, into the settings' PDF folder unless a file is named.
#include "cli/cli.h"

#include "documents/document_settings.h"
#include "documents/invoice_painter.h"
#include "storage/connection.h"
#include "storage/journal.h"
#include "storage/order_book.h"
#include "storage/settings.h"

#include <QDir>
#include <QFileInfo>

#include <limits>

namespace {

const QString Form = QStringLiteral("printcalc --pdf invoice|act|ticket N [ФАЙЛ]");

// The folder of the settings, made if need be, or empty after telling why not.
QString pdfFolder(CliContext &context, const DocumentSettings &settings)
{
    const QString problem = DocumentSettings::pdfFolderProblem(settings.pdfFolder);
    if (!problem.isEmpty()) {
        context.fail(problem);
        return QString();
    }
    const QString folder = settings.effectivePdfFolder();
    if (!QDir().mkpath(folder)) {
        context.fail(QStringLiteral("Не удалось создать папку для PDF «%1».")
                         .arg(QDir::toNativeSeparators(folder)));
        return QString();
    }
    return folder;
}

// A journal's invoice or order with no lines (stored so by hand or by an older program) makes no
// document, as the window makes none of an empty order.
QString emptyOrder(qint64 number)
{
    return QStringLiteral("Заказ пуст: в счёте № %1 нет ни одной строки, документ не составлен.")
        .arg(number);
}

// The document named by the action word, of the number after it, into the file after that.
int pdf(CliContext &context, const QCommandLineParser &, const QStringList &words)
{
    int status = 0;
    const QString &kind = context.action;
    qint64 number = 0;
    if (!context.readNumber(words.first(), QStringLiteral("Номер"),
                            std::numeric_limits<qint64>::max(), &number, &status))
        return status;
    if (number == 0)
        return context.usage(QStringLiteral("Номера начинаются с 1."));

    const DocumentSettings settings = DocumentSettings::load();
    Connection connection;
    if (!context.open(connection))
        return CliFailed;
    // A document recorded under an operator's name is theirs only with their PIN.
    if (!context.operatorName.isEmpty()
        && !context.authorise(connection, Action::MakeDocument, &status))
        return status;
    QString fileName;
    std::function<bool(const QString &, QString *)> write;
    InvoiceDocument document;
    JobTicket ticket;
    bool act = false;
    if (kind == QLatin1String("ticket")) {
        OrderDetails details;
        if (!OrderBook(connection).load(number, &details)) {
            if (connection.fault() != StorageFault::None)
                return context.fail(connection.errorText());
            // An invoice of the journal that was never taken: say so rather than "no order".
            InvoiceRecord invoice;
            const bool stored = number <= std::numeric_limits<int>::max()
                && Journal(connection).load(number, &invoice);
            if (connection.fault() != StorageFault::None)
                return context.fail(connection.errorText());
            return context.fail(ticketRefusal(number, stored));
        }
        if (details.invoice.lines.isEmpty())
            return context.fail(emptyOrder(number));
        ticket.number = number;
        ticket.created = details.order.created;
        ticket.due = details.order.due;
        ticket.customer = details.order.customer.name();
        ticket.phone = details.order.phone;
        ticket.note = details.order.note;
        ticket.shopName = settings.requisites.name;
        ticket.lines = details.invoice.lines;
        fileName = ticket.fileName();
        write = [&ticket](const QString &path, QString *error) {
            return writeTicketPdf(ticket, path, error);
        };
    } else {
        InvoiceRecord record;
        // The journal's numbers fit an int today; a larger one names no invoice yet.
        const bool stored = number <= std::numeric_limits<int>::max()
            && Journal(connection).load(number, &record);
        if (!stored)
            return context.fail(connection.fault() == StorageFault::None
                                    ? QStringLiteral("Счёта № %1 в журнале нет.").arg(number)
                                    : connection.errorText());
        if (record.lines.isEmpty())
            return context.fail(emptyOrder(number));
        const InvoiceSummary &summary = record.summary;
        document
            = settings.journalInvoice(number, summary.created.date(), record.lines, record.customer,
                                      {summary.taxStored, summary.taxGiven, summary.taxRule});
        if (kind == QLatin1String("act")) {
            // A copy of an act made before is the same act: its number and date.
            document.actDate = record.actDate();
            act = true;
            fileName = document.actFileName();
            write = [&document](const QString &path, QString *error) {
                return writeActPdf(document, path, error);
            };
        } else {
            fileName = document.fileName();
            QString problem;
            document.paymentCode(&problem);
            // The invoice goes out without its code; the administrator learns why.
            if (!problem.isEmpty())
                context.err << problem << '\n';
            write = [&document](const QString &path, QString *error) {
                return writeInvoicePdf(document, path, error);
            };
        }
    }

    QString path = words.value(1);
    if (path.isEmpty()) {
        const QString folder = pdfFolder(context, settings);
        if (folder.isEmpty())
            return CliFailed;
        path = freePdfPath(folder, fileName);
    }
    QString error;
    if (!write(path, &error))
        return context.fail(
            QStringLiteral("PDF «%1» не записан: %2").arg(QDir::toNativeSeparators(path), error));
    context.out << QDir::toNativeSeparators(path) << '\n';
    if (act) {
        DocumentRecord made;
        made.kind = QStringLiteral("act-pdf");
        made.made = QDateTime::currentDateTime();
        made.succeeded = true;
        made.path = QFileInfo(path).absoluteFilePath();
        made.counter = Settings().counterName();
        made.operatorName = context.operatorName;
        made.actDate = document.actDay();
        if (!Journal(connection).addDocument(number, made))
            return context.fail(QStringLiteral("Акт записан, но в журнал не внесён: ")
                                + connection.errorText());
    }
    return 0;
}

} // namespace

QVector<CliCommand> documentCommands()
{
    const QString needsNumber = QStringLiteral("Нужен номер: ") + Form;
    return {
        {QStringLiteral("--pdf"),
         {},
         {{QStringLiteral("invoice"),
           QStringLiteral(
               "  printcalc --pdf invoice N [ФАЙЛ]              счёт N из журнала в PDF"),
           {},
           1,
           needsNumber,
           2,
           {},
           pdf},
          {QStringLiteral("act"),
           QStringLiteral("  printcalc --pdf act N [ФАЙЛ]                  акт выполненных работ "
                          "по счёту N"),
           {},
           1,
           needsNumber,
           2,
           {},
           pdf},
          {QStringLiteral("ticket"),
           QStringLiteral("  printcalc --pdf ticket N [ФАЙЛ]               заказ-наряд заказа N\n"
                          "                                                (без ФАЙЛА — в папку "
                          "PDF из настроек)"),
           {},
           1,
           needsNumber,
           2,
           {},
           pdf}},
         QStringLiteral("После --pdf нужен документ: ") + Form,
         QStringLiteral("Документ «%1» не известен: есть %2.")},
    };
}
