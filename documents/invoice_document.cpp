// The invoice's texts: title, file name, table rows and summary.
#include "documents/invoice_document.h"

#include "documents/amount_in_words.h"
#include "order/invoice.h"
#include "order/money.h"
#include "pricing/line_wording.h"

#include <QChar>
#include <QStringList>

ShopRequisites ShopRequisites::sample()
{
    ShopRequisites shop;
    shop.name = QStringLiteral("Типография «Ясный лист»");
    shop.address = QStringLiteral("ООО «Ясный лист», 000000, г. Энск, ул. Печатников, д. 1");
    shop.taxNumbers = QStringLiteral("ИНН 0000000000, КПП 000000000, тел. +7 (000) 000-00-00");
    shop.bank = QStringLiteral("Банк получателя: АО «Банк Энска», БИК 000000000");
    shop.account = QStringLiteral("Р/с 00000000000000000000, к/с 00000000000000000000");
    return shop;
}

bool ShopRequisites::structured() const
{
    for (const QString *field :
         {&inn, &kpp, &ogrn, &bankName, &bik, &settlementAccount, &corrAccount})
        if (!field->trimmed().isEmpty())
            return true;
    return false;
}

Payee ShopRequisites::payee() const
{
    return {name.trimmed(),       inn.trimmed(), kpp.trimmed(),
            bankName.trimmed(),   bik.trimmed(), settlementAccount.trimmed(),
            corrAccount.trimmed()};
}

bool operator==(const ShopRequisites &a, const ShopRequisites &b)
{
    return a.name == b.name && a.address == b.address && a.taxNumbers == b.taxNumbers
        && a.bank == b.bank && a.account == b.account && a.director == b.director
        && a.accountant == b.accountant && a.inn == b.inn && a.kpp == b.kpp && a.ogrn == b.ogrn
        && a.bankName == b.bankName && a.bik == b.bik && a.settlementAccount == b.settlementAccount
        && a.corrAccount == b.corrAccount;
}

QString InvoiceDocument::numberText() const
{
    if (number.isEmpty() || revision <= 1)
        return number;
    return number + QStringLiteral(" (изм. %1)").arg(revision);
}

QString InvoiceDocument::title() const
{
    const QString day = date.toString(QStringLiteral("dd.MM.yyyy"));
    if (number.isEmpty())
        return QStringLiteral("Счёт б/н от ") + day;
    return QStringLiteral("Счёт № ") + numberText() + QStringLiteral(" от ") + day;
}

QString InvoiceDocument::fileName() const
{
    // A number is the journal's, but a file name must not be cut by a slash whatever it holds.
    QString shown = number.isEmpty() ? QStringLiteral("б-н") : number;
    shown.replace(QLatin1Char('/'), QLatin1Char('-'));
    if (!number.isEmpty() && revision > 1)
        shown += QStringLiteral("-изм-%1").arg(revision);
    return QStringLiteral("Счёт-") + shown + QLatin1Char('-')
        + date.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".pdf");
}

QString longDateText(const QDate &date)
{
    static const char *const months[]
        = {"января", "февраля", "марта",    "апреля",  "мая",    "июня",
           "июля",   "августа", "сентября", "октября", "ноября", "декабря"};
    if (!date.isValid())
        return QString();
    return date.toString(QStringLiteral("dd ")) + QString::fromUtf8(months[date.month() - 1])
        + date.toString(QStringLiteral(" yyyy")) + QStringLiteral(" г.");
}

static QString numbered(const QString &number)
{
    return number.isEmpty() ? QStringLiteral("б/н") : QStringLiteral("№ ") + number;
}

QString InvoiceDocument::formTitle() const
{
    return QStringLiteral("Счёт на оплату ") + numbered(number) + QStringLiteral(" от ")
        + longDateText(date);
}

QString InvoiceDocument::actTitle() const
{
    return QStringLiteral("Акт выполненных работ ") + numbered(number) + QStringLiteral(" от ")
        + longDateText(actDay());
}

QString InvoiceDocument::actFileName() const
{
    InvoiceDocument act = *this;
    act.date = actDay();
    return QStringLiteral("Акт") + act.fileName().mid(4);
}

QString ticketRefusal(qint64 number, bool invoiceStored)
{
    if (!invoiceStored)
        return QStringLiteral("Заказа № %1 нет.").arg(number);
    return QStringLiteral("Счёт № %1 не принят как заказ: заказ-наряд делается только для "
                          "принятого заказа. Примите заказ по счёту или сделайте акт.")
        .arg(number);
}

QString InvoiceDocument::paymentCode(QString *problem) const
{
    if (problem)
        problem->clear();
    if (!shop.structured())
        return QString();
    const InvoiceFoot foot = invoiceFoot(lines, footTerms());
    const TaxRule &rule = foot.terms.tax;
    // Without a tax section the foot charges its old 18 % on top, and the purpose says so.
    const bool exempt = foot.terms.taxGiven && rule.mode == TaxMode::None;
    const qint64 taxKopecks = qRound64(foot.tax * 100);
    PaymentRequest request;
    request.payee = shop.payee();
    request.sumKopecks = qRound64(foot.total * 100);
    request.payerInn = payer.isNull() ? QString() : payer.inn.trimmed();
    request.documentNumber = number;
    request.documentDate = date;
    request.purpose = invoicePaymentPurpose(number.toLongLong(), date, exempt,
                                            foot.terms.taxGiven ? rule.rate : 18, taxKopecks);
    if (number.isEmpty())
        request.purpose.replace(QStringLiteral("№ 0 "), QStringLiteral("б/н "));
    return paymentQrText(request, problem);
}

QString supplierText(const ShopRequisites &shop, bool registration)
{
    QStringList parts;
    if (!shop.name.trimmed().isEmpty())
        parts << shop.name.trimmed();
    // A number is never parted from its caption at a line's end.
    const auto numberOf = [&parts](const QString &caption, const QString &value) {
        if (!value.trimmed().isEmpty())
            parts << caption + QChar(0x00A0) + value.trimmed();
    };
    numberOf(QStringLiteral("ИНН"), shop.inn);
    numberOf(QStringLiteral("КПП"), shop.kpp);
    if (registration)
        numberOf(shop.ogrn.trimmed().size() == 15 ? QStringLiteral("ОГРНИП")
                                                  : QStringLiteral("ОГРН"),
                 shop.ogrn);
    if (!shop.address.trimmed().isEmpty())
        parts << shop.address.trimmed();
    if (registration) {
        numberOf(QStringLiteral("р/с"), shop.settlementAccount);
        if (!shop.bankName.trimmed().isEmpty())
            parts << QStringLiteral("в ") + shop.bankName.trimmed();
        numberOf(QStringLiteral("БИК"), shop.bik);
        numberOf(QStringLiteral("к/с"), shop.corrAccount);
    }
    return parts.join(QStringLiteral(", "));
}

QString JobTicket::title() const
{
    return QStringLiteral("Заказ-наряд № ") + QString::number(number);
}

QString JobTicket::fileName() const
{
    return QStringLiteral("Заказ-наряд-") + QString::number(number) + QStringLiteral(".pdf");
}

// "1234567.5" as "1 234 567,5": no-break spaces between groups, a decimal comma.
static QString russianDigits(const QString &plain)
{
    const bool negative = plain.startsWith(QLatin1Char('-'));
    QString digits = negative ? plain.mid(1) : plain;
    const int point = digits.indexOf(QLatin1Char('.'));
    if (point >= 0)
        digits[point] = QLatin1Char(',');
    for (int at = (point >= 0 ? point : digits.size()) - 3; at > 0; at -= 3)
        digits.insert(at, QChar(0x00A0));
    return negative ? QLatin1Char('-') + digits : digits;
}

QString invoiceSum(double value)
{
    const QString shown = moneyNumber(value);
    // The sheet's money format keeps ",00" where the on-screen total leaves the kopecks out.
    return shown.contains(QLatin1Char(',')) ? shown : shown + QStringLiteral(",00");
}

QString invoiceAmount(const QString &text, int minDecimals)
{
    double value = 0.0;
    if (!readAmount(text, &value))
        return text;
    // Prices carry six significant digits or kopecks; more decimals would only show binary noise.
    QString plain = QString::number(calcRounded(value, 6), 'f', 6);
    while (plain.endsWith(QLatin1Char('0'))
           && plain.size() - plain.indexOf(QLatin1Char('.')) - 1 > minDecimals)
        plain.chop(1);
    if (plain.endsWith(QLatin1Char('.')))
        plain.chop(1);
    return russianDigits(plain == QLatin1String("-0") ? QStringLiteral("0") : plain);
}

FootTerms InvoiceDocument::footTerms() const
{
    return FootTerms::on(tax, date, payer.isNull() ? 0 : payer.discountHundredths);
}

QString payerLineText(const Customer &payer)
{
    const QString name = payerNameLine(payer);
    return QStringLiteral("Плательщик: ") + (name.isEmpty() ? QString(48, QLatin1Char('_')) : name);
}

InvoiceTexts invoiceTexts(const InvoiceDocument &document)
{
    return invoiceTexts(document.lines, document.footTerms());
}

InvoiceTexts invoiceTexts(const QVector<OrderLine> &lines, const FootTerms &terms)
{
    InvoiceTexts texts;
    texts.rows.reserve(lines.size());
    for (int i = 0; i < lines.size(); ++i) {
        const OrderLine &line = lines.at(i);
        // The customer reads the options in words; the sheet export keeps the table's texts.
        texts.rows.append({QString::number(i + 1), customerWording(line),
                           invoiceAmount(line.quantity, 0), invoiceAmount(line.unitPrice, 2),
                           invoiceSum(lineSum(line))});
    }
    const InvoiceFoot foot = invoiceFoot(lines, terms);
    for (const FootRow &row : foot.rows) {
        QString amount = QStringLiteral("-");
        if (row.hasAmount)
            // The discount with a true minus, as the screen writes it.
            amount
                = row.amount < 0 ? QChar(0x2212) + invoiceSum(-row.amount) : invoiceSum(row.amount);
        texts.foot.append({row.caption, amount, row.kind == FootRow::Total});
    }
    texts.subtotal = invoiceSum(foot.subtotal);
    texts.tax = invoiceSum(foot.tax);
    texts.total = invoiceSum(foot.total);
    texts.countLine = QStringLiteral("Всего наименований %1, на сумму %2 руб.")
                          .arg(lines.size())
                          .arg(texts.total);
    texts.totalInWords = roublesInWords(foot.total);
    return texts;
}
