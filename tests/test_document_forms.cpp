// The invoice of the Russian form (the bank table, the payment code beside it) for every tax mode,
// the act of the work done and the job ticket, each written as a PDF and read back: the text with
// pdftotext, the code from the rendered page with zbarimg.
#include "documents/invoice_painter.h"
#include "tests/pdf_text.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Account = QStringLiteral("40702810938000012345");

ShopRequisites structuredShop()
{
    ShopRequisites shop;
    shop.name = QStringLiteral("ООО «Ясный лист»");
    shop.address = QStringLiteral("000000, г. Энск, ул. Печатников, д. 1");
    shop.inn = QStringLiteral("7707083893");
    shop.kpp = QStringLiteral("770701001");
    shop.ogrn = QStringLiteral("1027700132195");
    shop.bankName = QStringLiteral("АО «Банк Энска»");
    shop.bik = QStringLiteral("044525225");
    shop.settlementAccount = Account;
    shop.corrAccount = QStringLiteral("30101810400000000225");
    shop.director = QStringLiteral("Иванов И. И.");
    return shop;
}

Customer payer()
{
    Customer customer;
    customer.id = 7;
    customer.shortName = QStringLiteral("ООО «Ромашка»");
    customer.inn = QStringLiteral("5001007329");
    customer.kpp = QStringLiteral("500101001");
    return customer;
}

// 1000 × 1,32 and 2 × 450: 2 220,00 before tax.
InvoiceDocument invoice(const QString &mode)
{
    InvoiceDocument document;
    document.shop = structuredShop();
    document.number = QStringLiteral("1042");
    document.date = QDate(2026, 12, 9);
    document.payer = payer();
    OrderLine cards {QStringLiteral("Визитки 90х50 4+4"), QStringLiteral("1000"),
                     QStringLiteral("1.32"), QStringLiteral("vz-90x50-44")};
    OrderLine banner {QStringLiteral("Баннер 3х1 м"), QStringLiteral("2"), QStringLiteral("450"),
                      QStringLiteral("bn-3x1")};
    document.lines = {cards, banner};
    if (!mode.isEmpty()) {
        document.tax.given = true;
        if (!taxModeFromWord(mode, &document.tax.rule.mode))
            qFatal("no tax mode %s", qPrintable(mode));
        document.tax.rule.rate = 22;
    }
    return document;
}

// The first page rendered and scanned; empty when no code is found on it.
QString codeOnPage(const QString &pdf)
{
    const QString stem = pdf.chopped(4);
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("150"), QStringLiteral("-f"),
                  QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                  QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, stem});
    if (!render.waitForFinished(60000) || render.exitCode() != 0) {
        qWarning("pdftoppm failed: %s", render.readAllStandardError().constData());
        return QString();
    }
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"),
               {QStringLiteral("--raw"), QStringLiteral("-q"), QStringLiteral("-Sbinary"),
                stem + QStringLiteral(".png")});
    if (!zbar.waitForFinished(60000) || zbar.exitCode() != 0)
        return QString();
    QByteArray read = zbar.readAllStandardOutput();
    if (read.endsWith('\n'))
        read.chop(1);
    return QString::fromUtf8(read);
}

} // namespace

class DocumentFormsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString written(const QString &name,
                    const std::function<bool(const QString &, QString *)> &write)
    {
        const QString path = dir.filePath(name);
        QString error;
        if (!write(path, &error))
            qWarning("not written: %s", qPrintable(error));
        return path;
    }

private slots:
    void dates_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("text");
        QTest::newRow("first of January") << QDate(2027, 1, 1) << "01 января 2027 г.";
        QTest::newRow("May") << QDate(2026, 5, 31) << "31 мая 2026 г.";
        QTest::newRow("December") << QDate(2026, 12, 9) << "09 декабря 2026 г.";
    }
    void dates()
    {
        QFETCH(QDate, date);
        QFETCH(QString, text);
        QCOMPARE(longDateText(date), text);
    }

    // Each mode's foot on the page and in the code, field by field; the code's sum is the
    // "Всего" and its purpose names the tax as the foot does.
    void invoiceModes_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QStringList>("foot"); // caption|amount as the layout text lines them
        QTest::addColumn<QStringList>("code");
        const QStringList head = {QStringLiteral("ST00012"),
                                  QStringLiteral("Name=ООО «Ясный лист»"),
                                  QStringLiteral("PersonalAcc=40702810938000012345"),
                                  QStringLiteral("BankName=АО «Банк Энска»"),
                                  QStringLiteral("BIC=044525225"),
                                  QStringLiteral("CorrespAcc=30101810400000000225"),
                                  QStringLiteral("PayeeINN=7707083893"),
                                  QStringLiteral("KPP=770701001")};
        const QStringList tail
            = {QStringLiteral("PayerINN=5001007329"), QStringLiteral("DocNo=1042"),
               QStringLiteral("DocDate=09.12.2026")};
        QTest::newRow("on top") << "on-top"
                                << QStringList {QStringLiteral("Итого|2 220,00"),
                                                QStringLiteral("НДС 22 %|488,40"),
                                                QStringLiteral("Всего|2 708,40")}
                                << head
                + QStringList {QStringLiteral("Sum=270840"),
                               QStringLiteral(
                                   "Purpose=Оплата по счёту № 1042 от 09.12.2026, в т.ч. НДС 22 % "
                                   "— 488,40 руб.")}
                + tail;
        QTest::newRow("included") << "included"
                                  << QStringList {QStringLiteral("Итого|2 220,00"),
                                                  QStringLiteral("В том числе НДС 22 %|400,33"),
                                                  QStringLiteral("Всего|2 220,00")}
                                  << head
                + QStringList {QStringLiteral("Sum=222000"),
                               QStringLiteral(
                                   "Purpose=Оплата по счёту № 1042 от 09.12.2026, в т.ч. НДС 22 % "
                                   "— 400,33 руб.")}
                + tail;
        QTest::newRow("none") << "none"
                              << QStringList {QStringLiteral("Итого|2 220,00"),
                                              QStringLiteral("Без налога (НДС)|-"),
                                              QStringLiteral("Всего|2 220,00")}
                              << head
                + QStringList {QStringLiteral("Sum=222000"),
                               QStringLiteral("Purpose=Оплата по счёту № 1042 от 09.12.2026, НДС "
                                              "не облагается")}
                + tail;
        QTest::newRow("no tax section: the old 18 % on top")
            << QStringLiteral("")
            << QStringList {QStringLiteral("Итого|2 220,00"), QStringLiteral("18%|399,60"),
                            QStringLiteral("Всего|2 619,60")}
            << head
                + QStringList {QStringLiteral("Sum=261960"),
                               QStringLiteral(
                                   "Purpose=Оплата по счёту № 1042 от 09.12.2026, в т.ч. НДС 18 % "
                                   "— 399,60 руб.")}
                + tail;
    }
    void invoiceModes()
    {
        QFETCH(QString, mode);
        QFETCH(QStringList, foot);
        QFETCH(QStringList, code);
        const InvoiceDocument document = invoice(mode);
        const QString path = written(
            QStringLiteral("invoice-%1.pdf").arg(QString::fromUtf8(QTest::currentDataTag())),
            [&](const QString &p, QString *e) { return writeInvoicePdf(document, p, e); });
        const QString layout = pdfText(path, true);
        for (const QStringList &cells :
             {QStringList {QStringLiteral("АО «Банк Энска»"), QStringLiteral("БИК"),
                           QStringLiteral("044525225")},
              QStringList {QStringLiteral("Банк получателя"), QStringLiteral("Сч. №"),
                           QStringLiteral("30101810400000000225")},
              QStringList {QStringLiteral("ИНН 7707083893"), QStringLiteral("КПП 770701001"),
                           QStringLiteral("Сч. №"), Account},
              QStringList {QStringLiteral("Получатель")},
              QStringList {QStringLiteral("Счёт на оплату № 1042 от 09 декабря 2026 г.")},
              QStringList {QStringLiteral("Поставщик:"),
                           QStringLiteral("ООО «Ясный лист», ИНН 7707083893, КПП 770701001")},
              QStringList {QStringLiteral("Покупатель:"),
                           QStringLiteral("ООО «Ромашка», ИНН 5001007329, КПП 500101001")},
              QStringList {QStringLiteral("1"), QStringLiteral("Визитки 90х50 4+4"),
                           QStringLiteral("1 000"), QStringLiteral("1,32"),
                           QStringLiteral("1 320,00")}})
            QVERIFY2(!rowWith(layout, cells).isEmpty(),
                     qPrintable(cells.join(QStringLiteral(" … "))));
        for (const QString &row : foot)
            QVERIFY2(!rowWith(layout, row.split(QLatin1Char('|'))).isEmpty(), qPrintable(row));
        QCOMPARE(codeOnPage(path).split(QLatin1Char('|')), code);
    }

    // The code's fields as the invoice's foot and payer give them.
    void paymentCodeFields_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("discount"); // hundredths of a percent; -1: no payer
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("varying"); // Name, then Sum and what follows
        QTest::newRow("discount before the tax")
            << "on-top" << 500 << "1042"
            << "ООО «Ясный лист»"
            << QStringList {
                   QStringLiteral("Name=ООО «Ясный лист»"),
                   QStringLiteral("Sum=257298"),
                   QStringLiteral("Purpose=Оплата по счёту № 1042 от 09.12.2026, в т.ч. НДС 22 % — "
                                  "463,98 руб."),
                   QStringLiteral("PayerINN=5001007329"),
                   QStringLiteral("DocNo=1042"),
                   QStringLiteral("DocDate=09.12.2026")};
        QTest::newRow("unnumbered")
            << "none" << 0 << ""
            << "ООО «Ясный лист»"
            << QStringList {QStringLiteral("Name=ООО «Ясный лист»"), QStringLiteral("Sum=222000"),
                            QStringLiteral("Purpose=Оплата по счёту б/н от 09.12.2026, "
                                           "НДС не облагается"),
                            QStringLiteral("PayerINN=5001007329"),
                            QStringLiteral("DocDate=09.12.2026")};
        QTest::newRow("walk-in: no payer's ИНН")
            << "none" << -1 << "7"
            << "ООО «Ясный лист»"
            << QStringList {
                   QStringLiteral("Name=ООО «Ясный лист»"), QStringLiteral("Sum=222000"),
                   QStringLiteral("Purpose=Оплата по счёту № 7 от 09.12.2026, НДС не облагается"),
                   QStringLiteral("DocNo=7"), QStringLiteral("DocDate=09.12.2026")};
        QTest::newRow("the separator in the name")
            << "none" << -1 << "7"
            << "ИП Петров | печать"
            << QStringList {
                   QStringLiteral("Name=ИП Петров / печать"), QStringLiteral("Sum=222000"),
                   QStringLiteral("Purpose=Оплата по счёту № 7 от 09.12.2026, НДС не облагается"),
                   QStringLiteral("DocNo=7"), QStringLiteral("DocDate=09.12.2026")};
    }
    void paymentCodeFields()
    {
        QFETCH(QString, mode);
        QFETCH(int, discount);
        QFETCH(QString, number);
        QFETCH(QString, name);
        QFETCH(QStringList, varying);
        InvoiceDocument document = invoice(mode);
        document.number = number;
        document.shop.name = name;
        if (discount < 0)
            document.payer = Customer();
        else
            document.payer.discountHundredths = discount;
        const QStringList expected
            = QStringList {QStringLiteral("ST00012"),
                           varying.first(),
                           QStringLiteral("PersonalAcc=40702810938000012345"),
                           QStringLiteral("BankName=АО «Банк Энска»"),
                           QStringLiteral("BIC=044525225"),
                           QStringLiteral("CorrespAcc=30101810400000000225"),
                           QStringLiteral("PayeeINN=7707083893"),
                           QStringLiteral("KPP=770701001")}
            + varying.mid(1);
        QCOMPARE(document.paymentCode().split(QLatin1Char('|')), expected);
    }

    // The invoice is made whatever the requisites; the code only when every one passes.
    void codeLeftOff_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("problem");
        QTest::newRow("account off by a digit")
            << "settlementAccount"
            << "40702810938000012346"
            << "QR-код для оплаты не добавлен: расчётный счёт «40702810938000012346» не сходится "
               "с БИК.";
        QTest::newRow("no bank name") << "bankName"
                                      << ""
                                      << "QR-код для оплаты не добавлен: не указан банк.";
        QTest::newRow("БИК too short") << "bik"
                                       << "04452522"
                                       << "QR-код для оплаты не добавлен: БИК «04452522» неверен.";
        QTest::newRow("ИНН with a wrong check digit")
            << "inn"
            << "7707083894"
            << "QR-код для оплаты не добавлен: ИНН «7707083894» неверен.";
    }
    void codeLeftOff()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, problem);
        InvoiceDocument document = invoice(QStringLiteral("none"));
        ShopRequisites &shop = document.shop;
        for (auto [name, member] : {std::pair {"settlementAccount", &shop.settlementAccount},
                                    std::pair {"bankName", &shop.bankName},
                                    std::pair {"bik", &shop.bik}, std::pair {"inn", &shop.inn}})
            if (field == QLatin1String(name))
                *member = value;
        QString why;
        QCOMPARE(document.paymentCode(&why), QString());
        QCOMPARE(why, problem);
        const QString path
            = written(QStringLiteral("broken.pdf"), [&](const QString &p, QString *e) {
                  return writeInvoicePdf(document, p, e);
              });
        const QString text = pdfText(path);
        QVERIFY2(text.contains(QStringLiteral("Счёт на оплату № 1042 от 09 декабря 2026 г.")),
                 qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Банк получателя")));
        QCOMPARE(codeOnPage(path), QString());
    }

    // A file of free-text lines prints them as before: no bank table, no code.
    void freeTextRequisites()
    {
        InvoiceDocument document = invoice(QStringLiteral("none"));
        document.shop = ShopRequisites::sample();
        QVERIFY(!document.shop.structured());
        QCOMPARE(document.paymentCode(), QString());
        const QString path = written(QStringLiteral("free.pdf"), [&](const QString &p, QString *e) {
            return writeInvoicePdf(document, p, e);
        });
        const QString text = pdfText(path);
        QVERIFY(text.contains(QStringLiteral("Счёт № 1042 от 09.12.2026")));
        QVERIFY(text.contains(QStringLiteral("Банк получателя: АО «Банк Энска», БИК 000000000")));
        QVERIFY(!text.contains(QStringLiteral("Счёт на оплату")));
        QCOMPARE(codeOnPage(path), QString());
    }

    void act_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QStringList>("foot");
        QTest::addColumn<QString>("count");
        QTest::newRow("on top") << "on-top"
                                << QStringList {QStringLiteral("Итого|2 220,00"),
                                                QStringLiteral("НДС 22 %|488,40"),
                                                QStringLiteral("Всего|2 708,40")}
                                << "Всего оказано услуг 2, на сумму 2 708,40 руб.";
        QTest::newRow("none") << "none"
                              << QStringList {QStringLiteral("Итого|2 220,00"),
                                              QStringLiteral("Без налога (НДС)|-"),
                                              QStringLiteral("Всего|2 220,00")}
                              << "Всего оказано услуг 2, на сумму 2 220,00 руб.";
    }
    void act()
    {
        QFETCH(QString, mode);
        QFETCH(QStringList, foot);
        QFETCH(QString, count);
        const InvoiceDocument document = invoice(mode);
        QCOMPARE(document.actFileName(), QStringLiteral("Акт-1042-2026-12-09.pdf"));
        const QString path = written(document.actFileName(), [&](const QString &p, QString *e) {
            return writeActPdf(document, p, e);
        });
        const QString layout = pdfText(path, true);
        const QString flowing = pdfText(path).simplified();
        for (const QString &words :
             {QStringLiteral("Акт выполненных работ № 1042 от 09 декабря 2026 г."),
              QStringLiteral("Исполнитель: ООО «Ясный лист», ИНН 7707083893, КПП 770701001, ОГРН "
                             "1027700132195, 000000, г. Энск, ул. Печатников, д. 1, р/с "
                             "40702810938000012345, в АО «Банк Энска», БИК 044525225, к/с "
                             "30101810400000000225"),
              QStringLiteral("Заказчик: ООО «Ромашка», ИНН 5001007329, КПП 500101001"),
              QStringLiteral("Основание: счёт № 1042"), count,
              QStringLiteral("Вышеперечисленные работы выполнены полностью и в срок. Заказчик "
                             "претензий по объёму, качеству и срокам оказания услуг не имеет."),
              QStringLiteral("/ Иванов И. И. /")})
            QVERIFY2(flowing.contains(words), qPrintable(words + QStringLiteral("\n") + flowing));
        for (const QStringList &cells :
             {QStringList {QStringLiteral("2"), QStringLiteral("Баннер 3х1 м"), QStringLiteral("2"),
                           QStringLiteral("450,00"), QStringLiteral("900,00")},
              QStringList {QStringLiteral("Исполнитель"), QStringLiteral("Заказчик")},
              QStringList {QStringLiteral("ООО «Ясный лист»"), QStringLiteral("ООО «Ромашка»")}})
            QVERIFY2(!rowWith(layout, cells).isEmpty(),
                     qPrintable(cells.join(QStringLiteral(" … "))));
        for (const QString &row : foot)
            QVERIFY2(!rowWith(layout, row.split(QLatin1Char('|'))).isEmpty(), qPrintable(row));
        QCOMPARE(codeOnPage(path), QString());
    }

    void ticket()
    {
        JobTicket ticket;
        ticket.number = 1042;
        ticket.created = QDateTime(QDate(2026, 12, 9), QTime(10, 15));
        ticket.due = QDateTime(QDate(2026, 12, 10), QTime(15, 0));
        ticket.customer = QStringLiteral("ООО «Ромашка»");
        ticket.phone = QStringLiteral("+7 903 111-22-33");
        ticket.note = QStringLiteral("без обрезки, упаковать по 100");
        ticket.shopName = QStringLiteral("ООО «Ясный лист»");
        ticket.lines = invoice(QString()).lines;
        ticket.lines[1].titles = QStringLiteral("Весна; Лето");
        QCOMPARE(ticket.fileName(), QStringLiteral("Заказ-наряд-1042.pdf"));
        const QString path = written(ticket.fileName(), [&](const QString &p, QString *e) {
            return writeTicketPdf(ticket, p, e);
        });
        const QString layout = pdfText(path, true);
        const QString flowing = pdfText(path).simplified();
        for (const QString &words :
             {QStringLiteral("Заказ-наряд № 1042"), QStringLiteral("Принят: 09.12.2026 10:15"),
              QStringLiteral("Срок: 10.12.2026 15:00"), QStringLiteral("Клиент: ООО «Ромашка»"),
              QStringLiteral("Телефон: +7 903 111-22-33"), QStringLiteral("Названия: Весна; Лето"),
              QStringLiteral("Примечание: без обрезки, упаковать по 100"),
              QStringLiteral("Позиций: 2")})
            QVERIFY2(flowing.contains(words), qPrintable(words + QStringLiteral("\n") + flowing));
        for (const QStringList &cells :
             {QStringList {QStringLiteral("№"), QStringLiteral("Наименование и параметры"),
                           QStringLiteral("Кол-во"), QStringLiteral("Ключ")},
              QStringList {QStringLiteral("1"), QStringLiteral("Визитки 90х50 4+4"),
                           QStringLiteral("1 000"), QStringLiteral("vz-90x50-44")},
              QStringList {QStringLiteral("Баннер 3х1 м")},
              QStringList {QStringLiteral("2"), QStringLiteral("2"), QStringLiteral("bn-3x1")},
              QStringList {QStringLiteral("Названия: Весна; Лето")}})
            QVERIFY2(!rowWith(layout, cells).isEmpty(),
                     qPrintable(cells.join(QStringLiteral(" … ")) + layout));
        QVERIFY(!flowing.contains(QStringLiteral("Сумма")));
        QCOMPARE(codeOnPage(path), QStringLiteral("1042"));
    }
};

QTEST_MAIN(DocumentFormsTest)
#include "test_document_forms.moc"
