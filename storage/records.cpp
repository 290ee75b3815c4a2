// Stored times and search words.
#include "storage/records.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

QString storedTime(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QDateTime readStoredTime(const QString &text)
{
    // By hand: QDateTime::fromString with a format costs tens of microseconds, and a journal
    // page reads hundreds of these.
    if (text.size() != 19)
        return QDateTime();
    const auto part = [&](int from, int length) { return text.midRef(from, length).toInt(); };
    return QDateTime(QDate(part(0, 4), part(5, 2), part(8, 2)),
                     QTime(part(11, 2), part(14, 2), part(17, 2)));
}

QStringList searchWords(const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[^\\p{L}\\p{N}]+"));
    return text.toLower().split(separators, Qt::SkipEmptyParts);
}

namespace {

// The card's texts by their keys in the stored object.
const std::pair<const char *, QString Customer::*> customerTexts[] = {
    {"shortName", &Customer::shortName},
    {"fullName", &Customer::fullName},
    {"inn", &Customer::inn},
    {"kpp", &Customer::kpp},
    {"ogrn", &Customer::ogrn},
    {"address", &Customer::address},
    {"phone", &Customer::phone},
    {"email", &Customer::email},
    {"contact", &Customer::contact},
    {"bik", &Customer::bik},
    {"account", &Customer::account},
    {"correspondentAccount", &Customer::correspondentAccount},
    {"bankName", &Customer::bankName},
    {"note", &Customer::note},
    {"createdAt", &Customer::createdAt},
    {"changedAt", &Customer::changedAt},
};

} // namespace

QString customerText(const Customer &customer)
{
    if (customer.isNull())
        return QString();
    QJsonObject object;
    // As text: a JSON number is a double, an id need not be.
    object.insert(QStringLiteral("id"), QString::number(customer.id));
    object.insert(QStringLiteral("kind"), int(customer.kind));
    for (const auto &[key, member] : customerTexts)
        if (!(customer.*member).isEmpty())
            object.insert(QLatin1String(key), customer.*member);
    object.insert(QStringLiteral("discount"), customer.discountHundredths);
    object.insert(QStringLiteral("created"), storedTime(customer.created));
    object.insert(QStringLiteral("changed"), storedTime(customer.changed));
    object.insert(QStringLiteral("cleared"), customer.personalDataCleared);
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

Customer readCustomerText(const QString &text)
{
    Customer customer;
    if (text.isEmpty())
        return customer;
    const QJsonObject object = QJsonDocument::fromJson(text.toUtf8()).object();
    if (object.isEmpty())
        return customer;
    customer.id = object.value(QLatin1String("id")).toString().toLongLong();
    const int kind = object.value(QLatin1String("kind")).toInt();
    customer.kind = kind == Customer::SoleTrader ? Customer::SoleTrader
        : kind == Customer::Person               ? Customer::Person
                                                 : Customer::Organisation;
    for (const auto &[key, member] : customerTexts)
        customer.*member = object.value(QLatin1String(key)).toString();
    customer.discountHundredths = object.value(QLatin1String("discount")).toInt();
    customer.created = readStoredTime(object.value(QLatin1String("created")).toString());
    customer.changed = readStoredTime(object.value(QLatin1String("changed")).toString());
    customer.personalDataCleared = object.value(QLatin1String("cleared")).toBool();
    return customer;
}

void setTaxOfItsDay(InvoiceDraft *draft, const TaxSettings &settings)
{
    draft->taxGiven = settings.given;
    // A draft without its time is made now.
    const QDate day = draft->created.isValid() ? draft->created.date() : QDate::currentDate();
    draft->taxRule = settings.given ? settings.ruleOn(day) : TaxRule();
}

FootTerms footTerms(const InvoiceDraft &draft)
{
    FootTerms terms;
    terms.discountHundredths
        = draft.customer.isNull() ? 0 : qMax(0, draft.customer.discountHundredths);
    terms.taxGiven = draft.taxGiven;
    if (draft.taxGiven)
        terms.tax = draft.taxRule;
    return terms;
}

FootTerms footTerms(const InvoiceSummary &invoice, const TaxSettings &settings)
{
    const int discount = invoice.customer.isNull() ? 0 : invoice.customer.discountHundredths;
    if (!invoice.taxStored)
        return FootTerms::on(settings, invoice.created.date(), discount);
    FootTerms terms;
    terms.discountHundredths = qMax(0, discount);
    terms.taxGiven = invoice.taxGiven;
    if (invoice.taxGiven)
        terms.tax = invoice.taxRule;
    return terms;
}

bool DocumentRecord::isAct() const
{
    return kind.startsWith(QLatin1String("act-"));
}

QDate InvoiceRecord::actDate() const
{
    // The first act made fixes the date; documents are read in the order they were made.
    for (const DocumentRecord &document : documents)
        if (document.isAct() && document.succeeded && document.actDate.isValid())
            return document.actDate;
    return QDate();
}

QString documentText(qint64 number, const DocumentRecord &document)
{
    QString what;
    if (document.isAct())
        what = QStringLiteral("Акт № %1 от %2 ")
                   .arg(number)
                   .arg(document.actDate.toString(QStringLiteral("dd.MM.yyyy")));
    else
        what = QStringLiteral("Счёт ");
    if (document.kind.endsWith(QLatin1String("pdf")))
        what += QStringLiteral("в PDF");
    else if (document.kind.endsWith(QLatin1String("print")))
        what += QStringLiteral("на печать");
    else if (document.kind == QLatin1String("export"))
        what += QStringLiteral("в таблицу");
    else
        what += document.kind;
    QStringList parts {what, document.made.toString(QStringLiteral("dd.MM.yyyy HH:mm"))};
    for (const QString &who : {document.counter, document.operatorName})
        if (!who.isEmpty())
            parts.append(who);
    QString text = parts.join(QStringLiteral(", "));
    if (!document.succeeded)
        text += QStringLiteral(" — не удалось");
    else if (!document.path.isEmpty())
        text += QStringLiteral(": ") + document.path;
    return text;
}
