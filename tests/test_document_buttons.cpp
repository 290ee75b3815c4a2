// "PDF", "Печать" and "Настройки" on the real window: where they sit, the PDF written without a
// dialog and read back, an empty order refused, printing through the print dialog in Russian,
// and settings edited in the file or the dialog taking effect in a new window.
#include "app/document_actions.h"
#include "dialogs/settings_dialog.h"
#include "documents/document_settings.h"
#include "order/order.h"
#include "tests/page_driver.h"
#include "tests/pdf_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

#include <csignal>
#include <sys/resource.h>

class DocumentButtonsTest : public QObject, private PageDriver
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home;
    DocumentActions *actions = nullptr;
    QStringList warnings;
    // The document services as the window was given them (tests/document_recorder.h).
    QStringList &informed = documents.informed;
    QStringList &opened = documents.opened;
    // The numbers asked for by kind, and the documents reported: "57 pdf made".
    QStringList &taken = documents.taken;
    QStringList &reports = documents.reports;
    DocumentActions::Number &nextNumber = documents.nextNumber;
    std::function<bool(QPrinter *)> &printerChoice = documents.printerChoice;
    int &printerAsked = documents.printerAsked;

    // A fresh window whose numbers are the test's and whose print dialog the test answers.
    bool open()
    {
        documents.fromJournal = false;
        documents.realPrintDialog = false;
        if (!openWindow())
            return false;
        actions = window->findChild<DocumentActions *>();
        if (!actions)
            return false;
        prompts.onTell = [this](const QString &message, const QString &) { warnings << message; };
        return true;
    }

    // The window closed and opened again, as the operator restarts the program.
    bool restart()
    {
        closeWindow();
        return open();
    }

    void addTwoLines()
    {
        window->appendOrderLine(QStringLiteral("Визитки"), QStringLiteral("100"),
                                QStringLiteral("2.675"), QStringLiteral("значение=1"), QString(),
                                false);
        window->appendOrderLine(QStringLiteral("Баннер"), QStringLiteral("2"),
                                QStringLiteral("0.25"), QStringLiteral("значение=2"), QString(),
                                true);
    }

    static QString today(int days = 0)
    {
        return QDate::currentDate().addDays(days).toString(QStringLiteral("dd.MM.yyyy"));
    }

    QString defaultPdf(const QString &suffix = QString()) const
    {
        return home->filePath(QStringLiteral("Documents/printcalc/Счёт-б-н-")
                              + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) + suffix
                              + QStringLiteral(".pdf"));
    }

    // The office is not started in the background for these tests unless the text says so.
    static void writeSettingsFile(QByteArray text)
    {
        if (!text.contains("[office]"))
            text += "[office]\nwarmup=false\n";
        QDir().mkpath(QFileInfo(settingsFilePath()).path());
        QFile file(settingsFilePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    // The two lines of addTwoLines() with their sums, and the totals, each in one row.
    static void verifyInvoiceOfTwoLines(const QString &path)
    {
        const QString table = pdfText(path, true);
        const QList<QStringList> rows
            = {{QStringLiteral("1"), QStringLiteral("Визитки"), QStringLiteral("100"),
                QStringLiteral("2,675"), QStringLiteral("267,50")},
               {QStringLiteral("2"), QStringLiteral("Баннер"), QStringLiteral("2"),
                QStringLiteral("0,25"), QStringLiteral("0,50")},
               {QStringLiteral("Итого"), QStringLiteral("268,00")},
               {QStringLiteral("18%"), QStringLiteral("48,24")},
               {QStringLiteral("Всего"), QStringLiteral("316,24")}};
        for (const QStringList &row : rows)
            QVERIFY2(!rowWith(table, row).isEmpty(),
                     qPrintable(QStringLiteral("no row reads \"%1\" in:\n%2")
                                    .arg(row.join(QStringLiteral(" | ")), table)));
    }

private slots:
    void initTestCase()
    {
        useDesktopFont();
        QVERIFY2(DocumentActions::installQtTranslations(),
                 "Qt's Russian translations did not load (qttranslations5-l10n)");
    }

    void init()
    {
        home = std::make_unique<QTemporaryDir>();
        QVERIFY(home->isValid());
        qputenv("HOME", QFile::encodeName(home->path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home->filePath(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(home->filePath(QStringLiteral("data"))));
        qunsetenv("PRINTCALC_DATABASE");
        writeSettingsFile(QByteArray());
        informed.clear();
        opened.clear();
        warnings.clear();
        taken.clear();
        reports.clear();
        nextNumber = DocumentActions::Number();
        printerChoice = nullptr;
        printerAsked = 0;
        QVERIFY2(open(), "the window did not come up with its document buttons");
    }
    void cleanup() { closeWindow(); }

    // Beside "Экспорт" and under "Очистка" in the free places, clear of every other widget; the
    // settings with the window's buttons in the tab widget's corner.
    void buttonsInPlace()
    {
        auto *pdf = find<QPushButton>(QStringLiteral("pushButtonPdf"));
        auto *print = find<QPushButton>(QStringLiteral("pushButtonPrint"));
        auto *settings = find<QPushButton>(QStringLiteral("pushButtonSettings"));
        QCOMPARE(pdf->text(), QStringLiteral("PDF"));
        QCOMPARE(print->text(), QStringLiteral("Печать"));
        QCOMPARE(settings->text(), QStringLiteral("Настройки"));
        // The style asks 80 pixels of any button, the form's own have 75: what counts is that the
        // caption fits inside the button's frame.
        for (QPushButton *button : {pdf, print, settings}) {
            QStyleOptionButton option;
            option.initFrom(button);
            const QRect inside
                = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            QVERIFY2(button->isVisible()
                         && inside.width()
                             >= button->fontMetrics().horizontalAdvance(button->text()),
                     qPrintable(button->objectName() + QStringLiteral(" is hidden or clipped")));
        }
        QWidget *area = find<QWidget>(QStringLiteral("centralwidget"));
        QCOMPARE(pdf->parentWidget(), area);
        QCOMPARE(print->parentWidget(), area);
        QVERIFY2(QRect(QPoint(1219, 706), QPoint(1281, 737)).contains(pdf->geometry()),
                 "PDF is not right of Экспорт");
        QVERIFY2(QRect(QPoint(1060, 537), QPoint(1137, 770)).contains(print->geometry()),
                 "Печать is not under Очистка");
        for (const QWidget *other :
             area->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            for (const QPushButton *button : {pdf, print})
                QVERIFY2(other == button || !other->geometry().intersects(button->geometry()),
                         qPrintable(button->objectName() + QStringLiteral(" lies on ")
                                    + other->objectName()));
        QWidget *corner
            = find<QTabWidget>(QStringLiteral("tabWidget"))->cornerWidget(Qt::TopRightCorner);
        QVERIFY2(corner && corner->isAncestorOf(settings),
                 "Настройки is not in the tab widget's corner");
    }

    // Written at once into the documents folder, named by number and date, told and opened.
    void pdfWithoutDialog()
    {
        addTwoLines();
        click(QStringLiteral("pushButtonPdf"));
        const QString path = defaultPdf();
        QVERIFY2(QFileInfo::exists(path), qPrintable(path + QStringLiteral(" was not written")));
        QCOMPARE(warnings, QStringList());
        QCOMPARE(opened, QStringList {path});
        QCOMPARE(informed.size(), 1);
        QVERIFY2(
            informed.first().contains(path),
            qPrintable(QStringLiteral("the message does not name the file: ") + informed.first()));
        verifyInvoiceOfTwoLines(path);
        const QString text = pdfText(path);
        QVERIFY2(text.contains(QStringLiteral("Счёт б/н от ") + today()), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Счёт действителен до ") + today(5)),
                 qPrintable(text));
        QVERIFY2(text.contains(ShopRequisites::sample().name), qPrintable(text));
    }

    // The PDF's "Итого" and the total under the order table agree to the kopeck.
    void sameTotalOnScreenAndInPdf_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("0.25 × 0.18") << QStringList {QStringLiteral("0.25|0.18")};
        QTest::newRow("2.675") << QStringList {QStringLiteral("1|2.675")};
        QTest::newRow("three thirds") << QStringList {
            QStringLiteral("1|0.333"), QStringLiteral("1|0.333"), QStringLiteral("1|0.333")};
        QTest::newRow("thousands")
            << QStringList {QStringLiteral("1000|13203.15"), QStringLiteral("7|0.07")};
    }
    void sameTotalOnScreenAndInPdf()
    {
        QFETCH(QStringList, lines);
        for (const QString &row : lines)
            window->appendOrderLine(QStringLiteral("Строка"), row.section(QLatin1Char('|'), 0, 0),
                                    row.section(QLatin1Char('|'), 1, 1), QString(), QString(),
                                    false);
        auto *label = find<QLabel>(QStringLiteral("labelOrderTotal"));
        QTRY_VERIFY(label->text().contains(QStringLiteral("строк: %1").arg(lines.size())));
        click(QStringLiteral("pushButtonPdf"));
        const auto kopecks = [](const QRegularExpression &pattern, const QString &text) {
            QString figure = pattern.match(text).captured(1);
            figure.remove(QLatin1Char(' '))
                .remove(QChar(0x00A0))
                .replace(QLatin1Char(','), QLatin1Char('.'));
            bool ok = false;
            const double value = figure.toDouble(&ok);
            return ok ? qRound64(value * 100) : -1;
        };
        const qint64 onScreen = kopecks(
            QRegularExpression(QStringLiteral("Итого: ([\\d \\x{00A0}]+(,\\d+)?) ₽")),
            label->text());
        const qint64 inPdf
            = kopecks(QRegularExpression(QStringLiteral("Итого\\s+([\\d ]+,\\d\\d)")),
                      pdfText(defaultPdf(), true));
        QVERIFY2(onScreen >= 0 && inPdf >= 0, qPrintable(label->text()));
        QCOMPARE(inPdf, onScreen);
    }

    // The customer's discount under the table, in the PDF and in the printout, to the kopeck,
    // for each tax mode; a customer at 0 % and an order without one read as they always did.
    void discountOnScreenAndInDocuments_data()
    {
        QTest::addColumn<QByteArray>("taxSection");
        QTest::addColumn<int>("discount"); // -1: no customer
        QTest::addColumn<QString>("onScreen");
        QTest::addColumn<QList<QStringList>>("foot");
        QTest::newRow("no customer, on top 22")
            << QByteArray("[tax]\nmode=on-top\nrate=22\n") << -1
            << "Итого: 13 200 ₽ · строк: 1"
            << QList<QStringList> {{QStringLiteral("Итого"), QStringLiteral("13 200,00")},
                                   {QStringLiteral("НДС 22 %"), QStringLiteral("2 904,00")},
                                   {QStringLiteral("Всего"), QStringLiteral("16 104,00")}};
        QTest::newRow("a customer at 0 %, no tax set")
            << QByteArray() << 0 << "Итого: 13 200 ₽ · строк: 1"
            << QList<QStringList> {{QStringLiteral("Итого"), QStringLiteral("13 200,00")},
                                   {QStringLiteral("18%"), QStringLiteral("2 376,00")},
                                   {QStringLiteral("Всего"), QStringLiteral("15 576,00")}};
        QTest::newRow("5 %, no tax set")
            << QByteArray() << 500
            << QStringLiteral("Итого: 13 200 ₽ · скидка 5 %: −660 ₽ · "
                              "к оплате 14 797,20 ₽ с НДС 18 % · строк: 1")
            << QList<QStringList> {{QStringLiteral("Итого"), QStringLiteral("13 200,00")},
                                   {QStringLiteral("Скидка 5 %"), QStringLiteral("−660,00")},
                                   {QStringLiteral("18%"), QStringLiteral("2 257,20")},
                                   {QStringLiteral("Всего"), QStringLiteral("14 797,20")}};
        QTest::newRow("5 %, on top 22")
            << QByteArray("[tax]\nmode=on-top\nrate=22\n") << 500
            << QStringLiteral("Итого: 13 200 ₽ · скидка 5 %: −660 ₽ · "
                              "к оплате 15 298,80 ₽ с НДС 22 % · строк: 1")
            << QList<QStringList> {{QStringLiteral("Итого"), QStringLiteral("13 200,00")},
                                   {QStringLiteral("Скидка 5 %"), QStringLiteral("−660,00")},
                                   {QStringLiteral("НДС 22 %"), QStringLiteral("2 758,80")},
                                   {QStringLiteral("Всего"), QStringLiteral("15 298,80")}};
        QTest::newRow("5,25 %, included 22")
            << QByteArray("[tax]\nmode=included\nrate=22\n") << 525
            << QStringLiteral("Итого: 13 200 ₽ · скидка 5,25 %: −693 ₽ · "
                              "к оплате 12 507 ₽ · строк: 1")
            << QList<QStringList> {
                   {QStringLiteral("Итого"), QStringLiteral("13 200,00")},
                   {QStringLiteral("Скидка 5,25 %"), QStringLiteral("−693,00")},
                   {QStringLiteral("В том числе НДС 22 %"), QStringLiteral("2 255,36")},
                   {QStringLiteral("Всего"), QStringLiteral("12 507,00")}};
        QTest::newRow("5,25 %, none")
            << QByteArray("[tax]\nmode=none\n") << 525
            << QStringLiteral("Итого: 13 200 ₽ · скидка 5,25 %: −693 ₽ · "
                              "к оплате 12 507 ₽ · строк: 1")
            << QList<QStringList> {{QStringLiteral("Итого"), QStringLiteral("13 200,00")},
                                   {QStringLiteral("Скидка 5,25 %"), QStringLiteral("−693,00")},
                                   {QStringLiteral("Без налога (НДС)"), QStringLiteral("-")},
                                   {QStringLiteral("Всего"), QStringLiteral("12 507,00")}};
        QTest::newRow("5 %, a change to none from today")
            << QByteArray("[tax]\nmode=on-top\nrate=20\nchangeFrom="
                          + QDate::currentDate().toString(Qt::ISODate).toLatin1()
                          + "\nchangeMode=none\n")
            << 500
            << QStringLiteral("Итого: 13 200 ₽ · скидка 5 %: −660 ₽ · "
                              "к оплате 12 540 ₽ · строк: 1")
            << QList<QStringList> {{QStringLiteral("Итого"), QStringLiteral("13 200,00")},
                                   {QStringLiteral("Скидка 5 %"), QStringLiteral("−660,00")},
                                   {QStringLiteral("Без налога (НДС)"), QStringLiteral("-")},
                                   {QStringLiteral("Всего"), QStringLiteral("12 540,00")}};
        QTest::newRow("5 %, a change to none from tomorrow")
            << QByteArray("[tax]\nmode=on-top\nrate=20\nchangeFrom="
                          + QDate::currentDate().addDays(1).toString(Qt::ISODate).toLatin1()
                          + "\nchangeMode=none\n")
            << 500
            << QStringLiteral("Итого: 13 200 ₽ · скидка 5 %: −660 ₽ · "
                              "к оплате 15 048 ₽ с НДС 20 % · строк: 1")
            << QList<QStringList> {{QStringLiteral("Итого"), QStringLiteral("13 200,00")},
                                   {QStringLiteral("Скидка 5 %"), QStringLiteral("−660,00")},
                                   {QStringLiteral("НДС 20 %"), QStringLiteral("2 508,00")},
                                   {QStringLiteral("Всего"), QStringLiteral("15 048,00")}};
    }
    void discountOnScreenAndInDocuments()
    {
        QFETCH(QByteArray, taxSection);
        QFETCH(int, discount);
        QFETCH(QString, onScreen);
        QFETCH(QList<QStringList>, foot);
        writeSettingsFile(taxSection);
        window->appendOrderLine(QStringLiteral("Буклеты"), QStringLiteral("1000"),
                                QStringLiteral("13.2"), QString(), QString(), false);
        if (discount >= 0) {
            Customer customer;
            customer.id = 7;
            customer.shortName = QStringLiteral("Ромашка");
            customer.fullName = QStringLiteral("ООО «Ромашка»");
            customer.inn = QStringLiteral("7707083893");
            customer.kpp = QStringLiteral("770701001");
            customer.address = QStringLiteral("123456, г. Москва, ул. Ленина, д. 1");
            customer.discountHundredths = discount;
            window->order()->setCustomer(customer);
        }
        auto *label = find<QLabel>(QStringLiteral("labelOrderTotal"));
        QString expected = onScreen;
        expected.replace(QRegularExpression(QStringLiteral("(?<=\\d) (?=\\d)")),
                         QString(QChar(0x00A0)));
        QTRY_COMPARE(label->text(), expected);

        click(QStringLiteral("pushButtonPdf"));
        const QString printed = home->filePath(QStringLiteral("printed.pdf"));
        printerChoice = [&](QPrinter *printer) {
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(printed);
            return true;
        };
        click(QStringLiteral("pushButtonPrint"));
        const QString payer = discount >= 0
            ? QStringLiteral("Плательщик: ООО «Ромашка», ИНН 7707083893, КПП 770701001")
            : QStringLiteral("Плательщик: ") + QString(48, QLatin1Char('_'));
        for (const QString &path : {defaultPdf(), printed}) {
            const QString table = pdfText(path, true);
            QVERIFY2(!table.isEmpty(), qPrintable(path + QStringLiteral(" came back empty")));
            for (const QStringList &row : foot + QList<QStringList> {{payer}})
                QVERIFY2(!rowWith(table, row).isEmpty(),
                         qPrintable(QStringLiteral("no row reads \"%1\" in %2:\n%3")
                                        .arg(row.join(QStringLiteral(" | ")), path, table)));
        }
    }

    // A second invoice without a number on the same day does not overwrite the first.
    void secondPdfOfTheDayKeepsTheFirst()
    {
        addTwoLines();
        click(QStringLiteral("pushButtonPdf"));
        window->appendOrderLine(QStringLiteral("Третья"), QStringLiteral("1"), QStringLiteral("10"),
                                QString(), QString(), false);
        click(QStringLiteral("pushButtonPdf"));
        QCOMPARE(opened, (QStringList {defaultPdf(), defaultPdf(QStringLiteral(" (2)"))}));
        QVERIFY(!pdfText(defaultPdf()).contains(QStringLiteral("Третья")));
        QVERIFY(pdfText(defaultPdf(QStringLiteral(" (2)"))).contains(QStringLiteral("Третья")));
    }

    void emptyOrderRefused_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("title");
        QTest::newRow("PDF") << "pushButtonPdf"
                             << "PDF";
        QTest::newRow("Печать") << "pushButtonPrint"
                                << "Печать";
#ifdef PRINTCALC_HAVE_OFFICE
        // The spreadsheet invoice in LibreOffice Calc: no office is asked, no number taken.
        QTest::newRow("Экспорт") << "pushButton_6"
                                 << "Экспорт";
#endif
    }
    void emptyOrderRefused()
    {
        QFETCH(QString, button);
        QFETCH(QString, title);
        click(button);
        QCOMPARE(warnings.size(), 1);
        // Titled by the document it is about, not by another button.
        QCOMPARE(prompts.titles, QStringList {title});
        QVERIFY2(warnings.first().startsWith(QStringLiteral("Заказ пуст")),
                 qPrintable(warnings.first()));
        QVERIFY(!window->exportRunning());
        QVERIFY(window->findChild<QPushButton *>(QStringLiteral("pushButton_6"))->isEnabled());
        QCOMPARE(informed, QStringList());
        QCOMPARE(opened, QStringList());
        QCOMPARE(printerAsked, 0);
        QCOMPARE(taken, QStringList());
        QVERIFY(!QFileInfo::exists(home->filePath(QStringLiteral("Documents/printcalc"))));
    }

    // A line without a price is named before any document, and the operator's answer decides:
    // the lines go out of the order (and come back with Ctrl+Z), the document goes on as the
    // order stands, or nothing is made and no number is taken.
    void unpricedLinesAskedFirst_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("answer"); // QStringLiteral("") closes the question
        QTest::addColumn<QString>("left"); // the order's descriptions afterwards
        QTest::addColumn<QStringList>("documents"); // numbers taken, or the print dialog shown
        QTest::newRow("PDF, lines removed")
            << QStringLiteral("pushButtonPdf") << QStringLiteral("Убрать строки")
            << QStringLiteral("Визитки") << QStringList {QStringLiteral("pdf")};
        QTest::newRow("PDF, gone on with")
            << QStringLiteral("pushButtonPdf") << QStringLiteral("Оставить")
            << QStringLiteral("Визитки Тираж Баннер") << QStringList {QStringLiteral("pdf")};
        QTest::newRow("PDF, cancelled") << "pushButtonPdf"
                                        << "Отменить"
                                        << "Визитки Тираж Баннер" << QStringList();
        QTest::newRow("PDF, question closed") << "pushButtonPdf"
                                              << ""
                                              << "Визитки Тираж Баннер" << QStringList();
        QTest::newRow("print, lines removed")
            << QStringLiteral("pushButtonPrint") << QStringLiteral("Убрать строки")
            << QStringLiteral("Визитки") << QStringList {QStringLiteral("print dialog")};
        QTest::newRow("print, cancelled") << "pushButtonPrint"
                                          << "Отменить"
                                          << "Визитки Тираж Баннер" << QStringList();
#ifdef PRINTCALC_HAVE_OFFICE
        QTest::newRow("export, cancelled") << "pushButton_6"
                                           << "Отменить"
                                           << "Визитки Тираж Баннер" << QStringList();
#endif
    }
    void unpricedLinesAskedFirst()
    {
        QFETCH(QString, button);
        QFETCH(QString, answer);
        QFETCH(QString, left);
        QFETCH(QStringList, documents);
        window->appendOrderLine(QStringLiteral("Визитки"), QStringLiteral("100"),
                                QStringLiteral("2.675"), QString(), QString(), false);
        OrderLine tier;
        tier.description = QStringLiteral("Тираж");
        tier.quantity = QStringLiteral("1000");
        tier.unitPrice = QStringLiteral("0");
        tier.missingPrice = true;
        window->appendOrderLine(tier);
        window->appendOrderLine(QStringLiteral("Баннер"), QStringLiteral("2"),
                                QStringLiteral("abc"), QString(), QString(), false);
        prompts.answer = answer;
        click(button);
        QCOMPARE(prompts.questions.size(), 1);
        const QString question = prompts.questions.first();
        for (const QString &named : {QStringLiteral("Строка 2: нет цены в прайс-листе"),
                                     QStringLiteral("Строка 3: цена «abc» не число")})
            QVERIFY2(question.contains(named), qPrintable(question));
        QVERIFY2(!question.contains(QStringLiteral("Строка 1")), qPrintable(question));
        QCOMPARE(prompts.offered,
                 (QStringList {QStringLiteral("Убрать строки"), QStringLiteral("Оставить"),
                               QStringLiteral("Отменить")}));
        QStringList descriptions;
        for (const OrderLine &line : window->orderLines())
            descriptions << line.description;
        QCOMPARE(descriptions.join(QLatin1Char(' ')), left);
        QStringList made = taken;
        if (printerAsked > 0)
            made << QStringLiteral("print dialog");
        QCOMPARE(made, documents);
        if (answer == QLatin1String("Оставить"))
            QVERIFY2(pdfText(defaultPdf()).contains(QStringLiteral("abc")),
                     "the price that is no number is not in the PDF as it stands");
        if (answer == QLatin1String("Убрать строки")) {
            QVERIFY(window->undoOrderChange());
            QCOMPARE(window->orderLines().size(), 3);
        }
    }

    // A line priced from the built-in sample is asked about as one without a price.
    void sampleLinesAskedFirst_data()
    {
        QTest::addColumn<QString>("marks"); // per line: s sample, m missing, - the shop's
        QTest::addColumn<QString>("question");
        QTest::newRow("one sample") << "-s"
                                    << "В счёт попадёт строка с ценой-образцом:\n"
                                       "Строка 2: цена-образец, магазин её не задал";
        QTest::newRow("two samples") << "ss"
                                     << "В счёт попадут строки с ценами-образцами:\n"
                                        "Строка 1: цена-образец, магазин её не задал\n"
                                        "Строка 2: цена-образец, магазин её не задал";
        QTest::newRow("sample and missing") << "sm"
                                            << "В счёт попадут строки без цены или с "
                                               "ценой-образцом:\n"
                                               "Строка 1: цена-образец, магазин её не задал\n"
                                               "Строка 2: нет цены в прайс-листе";
        QTest::newRow("the shop's prices") << "--"
                                           << "";
    }
    void sampleLinesAskedFirst()
    {
        QFETCH(QString, marks);
        QFETCH(QString, question);
        for (const QChar mark : marks) {
            OrderLine line;
            line.description = QStringLiteral("Кружка");
            line.quantity = QStringLiteral("10");
            line.unitPrice = QStringLiteral("350");
            line.samplePrice = mark == QLatin1Char('s');
            line.missingPrice = mark == QLatin1Char('m');
            window->appendOrderLine(line);
        }
        prompts.answer = QStringLiteral("Отменить");
        click(QStringLiteral("pushButtonPdf"));
        QCOMPARE(prompts.questions.value(0).section(QStringLiteral("\n\n"), 0, 0), question);
        QCOMPARE(taken.size(), question.isEmpty() ? 1 : 0);
    }

    // A price typed over one the list lacked is the operator's own: nothing is asked.
    void typedPriceAsksNothing()
    {
        OrderLine tier;
        tier.description = QStringLiteral("Тираж");
        tier.quantity = QStringLiteral("1000");
        tier.unitPrice = QStringLiteral("0");
        tier.missingPrice = true;
        window->appendOrderLine(tier);
        orderTable()->item(0, OrderLine::UnitPrice)->setText(QStringLiteral("0,5"));
        click(QStringLiteral("pushButtonPdf"));
        QCOMPARE(prompts.questions, QStringList());
        QCOMPARE(taken, QStringList {QStringLiteral("pdf")});
        QVERIFY(orderTable()->item(0, OrderLine::UnitPrice)->background().style() == Qt::NoBrush);
    }

    // A folder that cannot be made (a file stands in its way) is told, with its path.
    void pdfFolderCannotBeMade()
    {
        QFile blocker(home->filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString folder = home->filePath(QStringLiteral("blocker/pdf"));
        writeSettingsFile("[documents]\npdfFolder=" + folder.toUtf8() + "\n");
        QVERIFY(restart());
        addTwoLines();
        click(QStringLiteral("pushButtonPdf"));
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(warnings.first().contains(folder), qPrintable(warnings.first()));
        QCOMPARE(informed, QStringList());
        QCOMPARE(opened, QStringList());
    }

    // The shop's requisites as fields of their own: the bank form with its payment code, or
    // without it and the operator told which requisite failed.
    void pdfOfTheBankForm_data()
    {
        QTest::addColumn<QByteArray>("account");
        QTest::addColumn<QString>("told"); // after the file's name; empty: nothing more
        QTest::newRow("requisites that pass") << QByteArray("40702810938000012345") << "";
        QTest::newRow("an account off by a digit")
            << QByteArray("40702810938000012346")
            << "QR-код для оплаты не добавлен: расчётный счёт «40702810938000012346» не сходится "
               "с БИК.";
    }
    void pdfOfTheBankForm()
    {
        QFETCH(QByteArray, account);
        QFETCH(QString, told);
        writeSettingsFile("[requisites]\nname=ООО «Ясный лист»\ninn=7707083893\n"
                          "bankName=АО «Банк Энска»\nbik=044525225\n"
                          "corrAccount=30101810400000000225\nsettlementAccount="
                          + account + "\n");
        QVERIFY(restart());
        addTwoLines();
        click(QStringLiteral("pushButtonPdf"));
        const QString path = defaultPdf();
        QCOMPARE(informed.size(), 1);
        QCOMPARE(informed.first().section(path, 1),
                 told.isEmpty() ? told : QStringLiteral("\n") + told);
        const QString text = pdfText(path);
        QVERIFY2(text.contains(QStringLiteral("Счёт на оплату б/н от ")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Банк получателя")), qPrintable(text));
    }

    // The settings file edited by hand, then the program started again.
    void editedSettingsTakeEffectAfterRestart()
    {
        writeSettingsFile("[requisites]\n"
                          "name=Типография «Новый лист»\n"
                          "director=Иванов И. И.\n"
                          "[documents]\n"
                          "pdfFolder="
                          + home->filePath(QStringLiteral("Счета")).toUtf8()
                          + "\n"
                            "validityDays=10\n");
        QVERIFY(restart());
        addTwoLines();
        click(QStringLiteral("pushButtonPdf"));
        const QString path = home->filePath(
            QStringLiteral("Счета/Счёт-б-н-")
            + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".pdf"));
        QCOMPARE(opened, QStringList {path});
        const QString text = pdfText(path);
        for (const QString &expected :
             {QStringLiteral("Типография «Новый лист»"), QStringLiteral("/ Иванов И. И. /"),
              QString(QStringLiteral("Счёт действителен до ") + today(10))})
            QVERIFY2(text.contains(expected),
                     qPrintable(QStringLiteral("\"%1\" is missing from:\n%2").arg(expected, text)));
    }

    // "Печать" paints the same invoice on the printer the dialog gives; a cancelled dialog
    // prints nothing and says nothing.
    void printThroughTheDialog()
    {
        addTwoLines();
        const QString output = home->filePath(QStringLiteral("printed.pdf"));
        printerChoice = [](QPrinter *) { return false; };
        click(QStringLiteral("pushButtonPrint"));
        QCOMPARE(printerAsked, 1);
        QCOMPARE(warnings, QStringList());
        QCOMPARE(taken, QStringList());

        QPageSize::PageSizeId paper = QPageSize::Custom;
        printerChoice = [&](QPrinter *printer) {
            paper = printer->pageLayout().pageSize().id();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(output);
            return true;
        };
        nextNumber = {QStringLiteral("61"), QDate::currentDate(), QString()};
        click(QStringLiteral("pushButtonPrint"));
        QCOMPARE(printerAsked, 2);
        QCOMPARE(paper, QPageSize::A4);
        QCOMPARE(warnings, QStringList());
        QCOMPARE(taken, QStringList {QStringLiteral("print")});
        QCOMPARE(reports, QStringList {QStringLiteral("61 print made")});
        verifyInvoiceOfTwoLines(output);
        QVERIFY(pdfText(output).contains(QStringLiteral("Счёт № 61 от ") + today()));
    }

    // The journal's number and date name the file and head the invoice; the unchanged order's
    // next PDF under the same number goes beside it, never over it.
    void numberedPdf()
    {
        nextNumber = {QStringLiteral("57"), QDate(2026, 12, 1), QString()};
        addTwoLines();
        click(QStringLiteral("pushButtonPdf"));
        click(QStringLiteral("pushButtonPdf"));
        const QString path
            = home->filePath(QStringLiteral("Documents/printcalc/Счёт-57-2026-12-01.pdf"));
        QCOMPARE(opened, (QStringList {path, path.chopped(4) + QStringLiteral(" (2).pdf")}));
        QCOMPARE(taken, (QStringList {QStringLiteral("pdf"), QStringLiteral("pdf")}));
        QCOMPARE(reports,
                 (QStringList {QStringLiteral("57 pdf made"), QStringLiteral("57 pdf made")}));
        const QString text = pdfText(path);
        QVERIFY2(text.contains(QStringLiteral("Счёт № 57 от 01.12.2026"))
                     && text.contains(QStringLiteral("Счёт действителен до 06.12.2026")),
                 qPrintable(text));
    }

    // With the journal: every document of the unchanged order carries its number, a changed
    // order takes a new one.
    void numbersFromTheJournal()
    {
        documents.fromJournal = true;
        const QString printed = home->filePath(QStringLiteral("printed.pdf"));
        printerChoice = [&](QPrinter *printer) {
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(printed);
            return true;
        };
        const QRegularExpression named(
            QStringLiteral("/Счёт-(\\d+)-%1\\.pdf$")
                .arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))));
        const QList<QPushButton *> buttons = {find<QPushButton>(QStringLiteral("pushButtonPdf")),
                                              find<QPushButton>(QStringLiteral("pushButtonPrint")),
                                              find<QPushButton>(QStringLiteral("pushButton_6"))};
        const auto enabled = [&] {
            QStringList states;
            for (QPushButton *button : buttons)
                states << QString::number(button->isEnabled());
            return states.join(QLatin1Char(' '));
        };
        // The press returns before the journal answers: the three buttons wait disabled, and
        // take presses again once the document is made. A numbered order answers at once.
        const auto press = [&](const QString &name, bool asksJournal) {
            click(name);
            if (asksJournal)
                QCOMPARE(enabled(), QStringLiteral("0 0 0"));
            QTRY_COMPARE(enabled(), QStringLiteral("1 1 1"));
        };
        addTwoLines();
        press(QStringLiteral("pushButtonPdf"), true);
        press(QStringLiteral("pushButtonPrint"), false);
        press(QStringLiteral("pushButtonPdf"), false);
        window->appendOrderLine(QStringLiteral("Третья"), QStringLiteral("1"), QStringLiteral("10"),
                                QString(), QString(), false);
        press(QStringLiteral("pushButtonPdf"), true);
        QCOMPARE(warnings, QStringList());
        QCOMPARE(opened.size(), 3);
        const int first = named.match(opened.at(0)).captured(1).toInt();
        const int changed = named.match(opened.at(2)).captured(1).toInt();
        QVERIFY2(first > 0, qPrintable(opened.at(0)));
        // The same number again, in a file of its own: the first one is never written over.
        QCOMPARE(opened.at(1), opened.at(0).chopped(4) + QStringLiteral(" (2).pdf"));
        QVERIFY2(changed > first, qPrintable(opened.at(2)));
        QVERIFY(pdfText(printed).contains(QStringLiteral("Счёт № %1 от ").arg(first) + today()));
        QVERIFY(pdfText(opened.at(2)).contains(QStringLiteral("Счёт № %1 от ").arg(changed)));
    }

    // Whatever stands at the invoice's name (another order's file after numbering started
    // again, a folder) stays; the invoice takes the next free name.
    void pdfNeverReplacesAFile_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("written");
        QTest::newRow("a file") << false << QStringList {} << "Счёт-58-2026-12-02 (2).pdf";
        QTest::newRow("a folder") << true << QStringList {} << "Счёт-58-2026-12-02 (2).pdf";
        QTest::newRow("two taken")
            << false << QStringList {QStringLiteral("Счёт-58-2026-12-02 (2).pdf")}
            << QStringLiteral("Счёт-58-2026-12-02 (3).pdf");
    }
    void pdfNeverReplacesAFile()
    {
        QFETCH(bool, folder);
        QFETCH(QStringList, present);
        QFETCH(QString, written);
        nextNumber = {QStringLiteral("58"), QDate(2026, 12, 2), QString()};
        const QDir pdfs(home->filePath(QStringLiteral("Documents/printcalc")));
        QVERIFY(pdfs.mkpath(QStringLiteral(".")));
        const QString standing = pdfs.filePath(QStringLiteral("Счёт-58-2026-12-02.pdf"));
        for (const QString &name : QStringList {standing} + present) {
            if (folder && name == standing) {
                QVERIFY(pdfs.mkpath(name));
                continue;
            }
            QFile other(pdfs.filePath(name));
            QVERIFY(other.open(QIODevice::WriteOnly));
            other.write("другой заказ");
        }
        addTwoLines();
        click(QStringLiteral("pushButtonPdf"));
        QCOMPARE(reports, QStringList {QStringLiteral("58 pdf made")});
        QCOMPARE(opened, QStringList {pdfs.filePath(written)});
        if (!folder) {
            QFile other(standing);
            QVERIFY(other.open(QIODevice::ReadOnly));
            QCOMPARE(other.readAll(), QByteArray("другой заказ"));
        }
    }

    // A PDF that cannot be written once its number is in it is reported failed, so that its
    // number is marked void; no half file is left under its name.
    void failedPdfReported()
    {
        nextNumber = {QStringLiteral("58"), QDate(2026, 12, 2), QString()};
        addTwoLines();
        // Files of this process may not grow past a few bytes while the PDF is written.
        const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit old {};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit tiny = old;
        tiny.rlim_cur = 512;
        setrlimit(RLIMIT_FSIZE, &tiny);
        click(QStringLiteral("pushButtonPdf"));
        setrlimit(RLIMIT_FSIZE, &old);
        signal(SIGXFSZ, oldHandler);
        QCOMPARE(reports, QStringList {QStringLiteral("58 pdf failed")});
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(warnings.first().contains(QStringLiteral("Счёт-58-2026-12-02.pdf")),
                 qPrintable(warnings.first()));
        // In Russian first, with what to do; the system's words only after, in parentheses.
        QVERIFY2(warnings.first().contains(QStringLiteral(": файл больше допустимого размера ("))
                     && warnings.first().contains(QStringLiteral("выберите другую папку")),
                 qPrintable(warnings.first()));
        QCOMPARE(informed, QStringList());
        QCOMPARE(opened, QStringList());
        const QDir pdfs(home->filePath(QStringLiteral("Documents/printcalc")));
        QCOMPARE(pdfs.entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // "…" beside the template path puts the chosen file into it; a cancelled choice leaves it.
    void templateChosenThroughTheButton_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("shown");
        QTest::newRow("a file") << "/home/kassa/Шаблоны/счёт.xlsx"
                                << "/home/kassa/Шаблоны/счёт.xlsx";
        QTest::newRow("cancelled") << ""
                                   << "D:/999.xlsx";
    }
    void templateChosenThroughTheButton()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, shown);
        prompts.chosenFile = chosen;
        click(QStringLiteral("pushButtonChooseTemplate"));
        QCOMPARE(find<QLineEdit>(QStringLiteral("lineEdit_11"))->text(), shown);
        QCOMPARE(prompts.titles, QStringList {QStringLiteral("Шаблон счёта")});
    }

    // A folder typed without its root would land wherever the program was started from.
    void relativeFolderRefused()
    {
        writeSettingsFile("[documents]\npdfFolder=Счета/декабрь\n");
        QVERIFY(restart());
        addTwoLines();
        click(QStringLiteral("pushButtonPdf"));
        QCOMPARE(taken, QStringList());
        QCOMPARE(opened, QStringList());
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(
            warnings.first().contains(QStringLiteral("«Счета/декабрь» задана не полным путём")),
            qPrintable(warnings.first()));
    }

    // A folder nobody can write into is refused before a number is taken.
    void unwritableFolderTakesNoNumber()
    {
        const QString folder = home->filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(folder));
        if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), folder}) != 0)
            QSKIP("chattr +i is not available here: no folder can be made unwritable for root");
        writeSettingsFile("[documents]\npdfFolder=" + folder.toUtf8() + "\n");
        const bool restarted = restart();
        if (restarted) {
            addTwoLines();
            click(QStringLiteral("pushButtonPdf"));
        }
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), folder});
        QVERIFY(restarted);
        QCOMPARE(taken, QStringList());
        QCOMPARE(reports, QStringList());
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(warnings.first().contains(QStringLiteral("нельзя записать"))
                     && warnings.first().contains(folder),
                 qPrintable(warnings.first()));
    }

    // Without the journal the document goes out without a number, and the operator is told why.
    void noNumberToldWhy()
    {
        nextNumber.reason = QStringLiteral("база данных магазина недоступна");
        addTwoLines();
        click(QStringLiteral("pushButtonPdf"));
        QCOMPARE(opened, QStringList {defaultPdf()});
        QCOMPARE(informed.size(), 1);
        QVERIFY2(informed.first().contains(nextNumber.reason), qPrintable(informed.first()));
        QVERIFY(pdfText(defaultPdf()).contains(QStringLiteral("Счёт б/н от ") + today()));
    }

    // Qt's print dialog speaks Russian; the form's own captions stay as they are.
    void printDialogInRussian()
    {
        addTwoLines();
        documents.realPrintDialog = true;
        QString title;
        QStringList buttons;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            title = dialog->windowTitle();
            for (const QPushButton *button : dialog->findChildren<QPushButton *>())
                buttons << button->text().remove(QLatin1Char('&'));
            dialog->reject();
        });
        poll.start(50);
        click(QStringLiteral("pushButtonPrint"));
        poll.stop();
        QCOMPARE(title, QStringLiteral("Печать"));
        QVERIFY2(buttons.contains(QStringLiteral("Отмена")),
                 qPrintable(buttons.join(QLatin1Char(','))));
        QCOMPARE(warnings, QStringList());
        QCOMPARE(find<QPushButton>(QStringLiteral("pushButton_6"))->text(),
                 QStringLiteral("Экспорт"));
        QCOMPARE(find<QTabWidget>(QStringLiteral("tabWidget"))->tabText(0),
                 QStringLiteral("Лазерная печать"));
        QCOMPARE(orderTable()->horizontalHeaderItem(0)->text(), QStringLiteral("Описание"));
    }

    // The dialog shows what the file holds, writes what is typed on "OK", and a new window
    // prints with it.
    void settingsDialogEditsTheFile()
    {
        const QString url
            = QStringLiteral("sqlite://") + home->filePath(QStringLiteral("shop.sqlite"));
        writeSettingsFile("[requisites]\nname=Старое имя\n"
                          "[counter]\nname=Касса 2\n"
                          "[database]\nurl="
                          + url.toUtf8() + "\n");
        click(QStringLiteral("pushButtonSettings"));
        SettingsDialog *dialog = nullptr;
        QTRY_VERIFY((dialog = window->findChild<SettingsDialog *>()) && dialog->isVisible());
        const auto field = [dialog](const char *name) {
            return dialog->findChild<QLineEdit *>(QLatin1String(name));
        };
        QCOMPARE(field("lineEditShopName")->text(), QStringLiteral("Старое имя"));
        // The sample's address is a hint only, never the field's text.
        QCOMPARE(field("lineEditAddress")->text(), QString());
        QCOMPARE(field("lineEditAddress")->placeholderText(), ShopRequisites::sample().address);
        QCOMPARE(field("lineEditCounterName")->text(), QStringLiteral("Касса 2"));
        QCOMPARE(field("lineEditDatabaseUrl")->text(), url);
        auto *warmup = dialog->findChild<QCheckBox *>(QStringLiteral("checkBoxOfficeWarmup"));
        auto *days = dialog->findChild<QSpinBox *>(QStringLiteral("spinBoxValidityDays"));
        QVERIFY(!warmup->isChecked());
        QCOMPARE(days->value(), 5);
        auto *box = dialog->findChild<QDialogButtonBox *>();
        QCOMPARE(box->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Отмена"));

        field("lineEditShopName")->setText(QStringLiteral("Печатный двор"));
        field("lineEditCounterName")->clear();
        days->setValue(7);
        warmup->setChecked(true);
        QTest::mouseClick(box->button(QDialogButtonBox::Ok), Qt::LeftButton);
        QTRY_VERIFY(!window->findChild<SettingsDialog *>());

        const auto settings = openSettingsFile();
        QCOMPARE(settings->value(QStringLiteral("requisites/name")).toString(),
                 QStringLiteral("Печатный двор"));
        QCOMPARE(settings->value(QStringLiteral("documents/validityDays")).toInt(), 7);
        QVERIFY2(!settings->contains(QStringLiteral("counter/name")),
                 "an emptied counter name stays in the file");
        QCOMPARE(settings->value(QStringLiteral("database/url")).toString(), url);
        QCOMPARE(settings->value(QStringLiteral("office/warmup")).toBool(), true);

        // The new window needs no office in the background.
        settings->setValue(QStringLiteral("office/warmup"), false);
        settings->sync();
        QVERIFY(restart());
        addTwoLines();
        click(QStringLiteral("pushButtonPdf"));
        const QString text = pdfText(defaultPdf());
        QVERIFY2(!text.isEmpty() && text.contains(QStringLiteral("Печатный двор"))
                     && text.contains(QStringLiteral("Счёт действителен до ") + today(7)),
                 qPrintable(text));
    }

    // "Отмена" leaves the file as it was.
    // The tax in the dialog: a file without a tax section keeps none when only other fields
    // change; a mode, a rate and a dated change chosen there are written and read back.
    void settingsDialogTax_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("mode"); // empty: the fields left as shown
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("changeFrom"); // empty: no change
        QTest::addColumn<QString>("shown"); // mode and rate the dialog opens with
        QTest::addColumn<QStringList>("written"); // the tax keys afterwards
        QTest::newRow("no section, left alone") << QByteArray() << ""
                                                << ""
                                                << ""
                                                << "НДС сверху 18 %" << QStringList {};
        QTest::newRow("no section, included 22 chosen")
            << QByteArray() << QStringLiteral("НДС в том числе") << QStringLiteral("22 %")
            << QStringLiteral("") << QStringLiteral("НДС сверху 18 %")
            << QStringList {QStringLiteral("mode=included"), QStringLiteral("rate=22")};
        QTest::newRow("a section, a change to none from the new year")
            << QByteArray("[tax]\nmode=on-top\nrate=20\n") << QStringLiteral("")
            << QStringLiteral("") << QStringLiteral("01.01.2027")
            << QStringLiteral("НДС сверху 20 %")
            << QStringList {QStringLiteral("mode=on-top"), QStringLiteral("rate=20"),
                            QStringLiteral("changeFrom=2027-01-01"),
                            QStringLiteral("changeMode=none"), QStringLiteral("changeRate=20")};
        QTest::newRow("a section with a change, the change dropped")
            << QByteArray("[tax]\nmode=none\nchangeFrom=2027-01-01\nchangeMode=included\n"
                          "changeRate=5\n")
            << QStringLiteral("") << QStringLiteral("") << QStringLiteral("-")
            << QStringLiteral("без НДС 22 %")
            << QStringList {QStringLiteral("mode=none"), QStringLiteral("rate=22")};
    }
    void settingsDialogTax()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, mode);
        QFETCH(QString, rate);
        QFETCH(QString, changeFrom);
        QFETCH(QString, shown);
        QFETCH(QStringList, written);
        writeSettingsFile(file);
        click(QStringLiteral("pushButtonSettings"));
        SettingsDialog *dialog = nullptr;
        QTRY_VERIFY((dialog = window->findChild<SettingsDialog *>()) && dialog->isVisible());
        const auto box = [dialog](const char *name) {
            return dialog->findChild<QComboBox *>(QLatin1String(name));
        };
        QCOMPARE(box("comboBoxTaxMode")->currentText() + QLatin1Char(' ')
                     + box("comboBoxTaxRate")->currentText(),
                 shown);
        QCOMPARE(box("comboBoxTaxRate")->isEnabled(), !shown.startsWith(QStringLiteral("без")));
        if (!mode.isEmpty())
            box("comboBoxTaxMode")->setCurrentText(mode);
        if (!rate.isEmpty())
            box("comboBoxTaxRate")->setCurrentText(rate);
        auto *change = dialog->findChild<QCheckBox *>(QStringLiteral("checkBoxTaxChange"));
        auto *from = dialog->findChild<QDateEdit *>(QStringLiteral("dateEditTaxChange"));
        if (changeFrom == QLatin1String("-")) {
            QVERIFY(change->isChecked());
            change->setChecked(false);
        } else if (!changeFrom.isEmpty()) {
            QVERIFY(!change->isChecked() && !from->isEnabled());
            change->setChecked(true);
            QVERIFY(from->isEnabled());
            from->setDate(QDate::fromString(changeFrom, QStringLiteral("dd.MM.yyyy")));
            box("comboBoxTaxChangeMode")->setCurrentText(QStringLiteral("без НДС"));
            QVERIFY(!box("comboBoxTaxChangeRate")->isEnabled());
        }
        dialog->findChild<QSpinBox *>(QStringLiteral("spinBoxValidityDays"))->setValue(9);
        QTest::mouseClick(dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok),
                          Qt::LeftButton);
        QTRY_VERIFY(!window->findChild<SettingsDialog *>());
        const auto settings = openSettingsFile();
        settings->beginGroup(QStringLiteral("tax"));
        QStringList keys;
        for (const QString &key : settings->childKeys())
            keys << key + QLatin1Char('=') + settings->value(key).toString();
        keys.sort();
        written.sort();
        QCOMPARE(keys, written);
    }

    void settingsDialogCancelled()
    {
        writeSettingsFile("[documents]\nvalidityDays=3\n");
        QFile file(settingsFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        click(QStringLiteral("pushButtonSettings"));
        SettingsDialog *dialog = nullptr;
        QTRY_VERIFY((dialog = window->findChild<SettingsDialog *>()) && dialog->isVisible());
        dialog->findChild<QSpinBox *>(QStringLiteral("spinBoxValidityDays"))->setValue(30);
        dialog->findChild<QLineEdit *>(QStringLiteral("lineEditBank"))->clear();
        QTest::mouseClick(dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel),
                          Qt::LeftButton);
        QTRY_VERIFY(!window->findChild<SettingsDialog *>());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }
};

QTEST_MAIN(DocumentButtonsTest)
#include "test_document_buttons.moc"
