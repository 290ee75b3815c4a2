// PDF benchmark (not a test): the invoice of 10, 100 and 1000 lines written as a PDF, the first
// document of a run (the font loaded) against later ones, the 1000-line invoice of the bank form
// with its payment code against without, and the 1000-line PDF through the window's "PDF" button
// against the writer alone. Writes into a temporary home and settings.
#include "app/document_actions.h"
#include "app/mainwindow.h"
#include "bench/bench_support.h"
#include "bench/printed_prompts.h"
#include "documents/invoice_painter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QMap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <memory>

static QTextStream out(stdout);

// The journal's numbers as the window takes them; nothing shown or opened.
class QuietDocuments : public DocumentServices
{
public:
    std::unique_ptr<WindowDocumentServices> own;
    void takeNumber(const QString &kind, QObject *context,
                    std::function<void(const Number &number)> done) override
    {
        own->takeNumber(kind, context, std::move(done));
    }
    void reportDocument(const Number &number, const QString &kind, bool made) override
    {
        own->reportDocument(number, kind, made);
    }
    void inform(const QString &) override { }
    void openDocument(const QString &) override { }
    bool choosePrinter(QPrinter *) override { return false; }
};

static QVector<OrderLine> sampleLines(int count)
{
    QVector<OrderLine> lines;
    for (int i = 0; i < count; ++i)
        lines.append(
            {QStringLiteral("А4 (210х297 мм.) 4+4 Матовая 350, ламинация 1+1, заказ %1").arg(i + 1),
             QString::number(100 + i), QStringLiteral("2.675")});
    return lines;
}

int main(int argc, char **argv)
{
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    QApplication app(argc, argv);
    out.setCodec("UTF-8");

    const QString path = home.filePath(QStringLiteral("bench.pdf"));
    InvoiceDocument document;
    document.shop = ShopRequisites::sample();
    document.number = QStringLiteral("1");
    document.date = QDate::currentDate();
    QElapsedTimer timer;
    QString error;

    document.lines = sampleLines(10);
    timer.start();
    writeInvoicePdf(document, path, &error);
    const double first = timer.nsecsElapsed() / 1e6;

    const int runs = 5;
    QMap<int, double> times;
    out << "PDF invoice written by the documents library (median of " << runs << "):\n";
    for (const int count : {10, 100, 1000}) {
        document.lines = sampleLines(count);
        QVector<double> samples;
        for (int run = 0; run < runs; ++run) {
            timer.restart();
            if (!writeInvoicePdf(document, path, &error)) {
                out << "  not written: " << error << "\n";
                return 1;
            }
            samples << timer.nsecsElapsed() / 1e6;
        }
        times[count] = median(samples);
        out << QStringLiteral("  %1 lines: %2 ms, %3 ms a line, %4 KB\n")
                   .arg(count, 4)
                   .arg(times[count], 7, 'f', 1)
                   .arg(times[count] / count, 0, 'f', 3)
                   .arg(QFileInfo(path).size() / 1024);
    }
    out << QStringLiteral("first PDF of the run (font loaded): %1 ms, %2 times a later 10-line "
                          "PDF\n")
               .arg(first, 0, 'f', 1)
               .arg(first / times[10], 0, 'f', 1);
    out << QStringLiteral("1000 lines against 100: %1 times the time for 10 times the lines\n")
               .arg(times[1000] / times[100], 0, 'f', 1);
    out << QStringLiteral("1000-line PDF: %1 % of the 1 s goal\n")
               .arg(100.0 * times[1000] / 1000.0, 0, 'f', 0);

    // The Russian form with its payment code against the same form whose account fails its
    // check, so that only the code differs; turns alternate so that a drift spreads evenly.
    {
        InvoiceDocument coded = document;
        coded.lines = sampleLines(1000);
        coded.shop.name = QStringLiteral("ООО «Ясный лист»");
        coded.shop.inn = QStringLiteral("7707083893");
        coded.shop.kpp = QStringLiteral("770701001");
        coded.shop.bankName = QStringLiteral("АО «Банк Энска»");
        coded.shop.bik = QStringLiteral("044525225");
        coded.shop.settlementAccount = QStringLiteral("40702810938000012345");
        coded.shop.corrAccount = QStringLiteral("30101810400000000225");
        InvoiceDocument plain = coded;
        plain.shop.settlementAccount = QStringLiteral("40702810938000012346");
        if (coded.paymentCode().isEmpty() || !plain.paymentCode().isEmpty()) {
            out << "  the payment code's requisites are not as the benchmark expects\n";
            return 1;
        }
        QVector<double> with, without;
        for (int run = 0; run < 2 * runs + 1; ++run) {
            for (const auto &[shown, samples] :
                 {std::pair {&coded, &with}, std::pair {&plain, &without}}) {
                timer.restart();
                if (!writeInvoicePdf(*shown, path, &error)) {
                    out << "  not written: " << error << "\n";
                    return 1;
                }
                *samples << timer.nsecsElapsed() / 1e6;
            }
        }
        out << QStringLiteral("1000-line PDF of the bank form: %1 ms with the payment code, %2 ms "
                              "without, %3 times (goal under 1.05)\n")
                   .arg(median(with), 0, 'f', 1)
                   .arg(median(without), 0, 'f', 1)
                   .arg(median(with) / median(without), 0, 'f', 3);
    }

    // The operator's way: the window reads its table and the settings, then writes.
    PrintedPrompts printed;
    QuietDocuments documents;
    MainWindow window(nullptr, &printed, &documents);
    documents.own = std::make_unique<WindowDocumentServices>(&window);
    auto *actions = window.findChild<DocumentActions *>();
    bool written = false;
    QObject::connect(actions, &DocumentActions::pdfWritten, [&written] { written = true; });
    for (const OrderLine &line : sampleLines(1000))
        window.appendOrderLine(line);
    auto *button = window.findChild<QPushButton *>(QStringLiteral("pushButtonPdf"));
    QVector<double> clicks;
    for (int run = 0; run < runs; ++run) {
        // From the press until the PDF is written: the number comes through the event loop.
        written = false;
        timer.restart();
        button->click();
        while (!written)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        clicks << timer.nsecsElapsed() / 1e6;
    }
    const double clicked = median(clicks);
    out << QStringLiteral("1000 lines through \"PDF\" in the window: %1 ms, %2 times the writer "
                          "alone\n")
               .arg(clicked, 0, 'f', 1)
               .arg(clicked / times[1000], 0, 'f', 2);
    return 0;
}
