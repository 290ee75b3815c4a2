// The payment code's fields in the order and with the limits banking apps expect.
#include "order/payment_qr.h"

#include "customers/requisites.h"
#include "order/money.h"

#include <QStringList>

namespace {

// A value may not hold the separator; the fields with a length limit are cut to it.
QString field(const QString &key, QString value, int limit = 0)
{
    value.replace(QLatin1Char('|'), QLatin1Char('/'));
    value = value.simplified();
    if (limit > 0 && value.size() > limit)
        value.truncate(limit);
    return key + QLatin1Char('=') + value;
}

bool refuse(QString *problem, const QString &why)
{
    if (problem)
        *problem = QStringLiteral("QR-код для оплаты не добавлен: %1.").arg(why);
    return false;
}

bool payeeUsable(const PaymentRequest &request, QString *problem)
{
    const Payee &payee = request.payee;
    if (payee.name.trimmed().isEmpty())
        return refuse(problem, QStringLiteral("не указано наименование магазина"));
    if (payee.settlementAccount.isEmpty())
        return refuse(problem, QStringLiteral("не указан расчётный счёт"));
    if (payee.bankName.trimmed().isEmpty())
        return refuse(problem, QStringLiteral("не указан банк"));
    if (!bikValid(payee.bik))
        return refuse(problem, QStringLiteral("БИК «%1» неверен").arg(payee.bik));
    if (!accountValid(payee.settlementAccount, payee.bik))
        return refuse(
            problem,
            QStringLiteral("расчётный счёт «%1» не сходится с БИК").arg(payee.settlementAccount));
    if (!payee.corrAccount.isEmpty() && !correspondentAccountValid(payee.corrAccount, payee.bik))
        return refuse(problem,
                      QStringLiteral("корр. счёт «%1» не сходится с БИК").arg(payee.corrAccount));
    if (!payee.inn.isEmpty() && !innValid(payee.inn, Customer::Organisation)
        && !innValid(payee.inn, Customer::SoleTrader))
        return refuse(problem, QStringLiteral("ИНН «%1» неверен").arg(payee.inn));
    if (!payee.kpp.isEmpty() && !kppValid(payee.kpp))
        return refuse(problem, QStringLiteral("КПП «%1» неверен").arg(payee.kpp));
    if (request.sumKopecks <= 0)
        return refuse(problem, QStringLiteral("сумма к оплате не больше нуля"));
    return true;
}

} // namespace

QString paymentQrText(const PaymentRequest &request, QString *problem)
{
    if (!payeeUsable(request, problem))
        return QString();
    const Payee &payee = request.payee;
    QStringList fields {
        QStringLiteral("ST00012"),
        field(QStringLiteral("Name"), payee.name, 160),
        field(QStringLiteral("PersonalAcc"), payee.settlementAccount),
        field(QStringLiteral("BankName"), payee.bankName, 45),
        field(QStringLiteral("BIC"), payee.bik),
        field(QStringLiteral("CorrespAcc"),
              payee.corrAccount.isEmpty() ? QStringLiteral("0") : payee.corrAccount)};
    if (!payee.inn.isEmpty())
        fields << field(QStringLiteral("PayeeINN"), payee.inn);
    if (!payee.kpp.isEmpty())
        fields << field(QStringLiteral("KPP"), payee.kpp);
    fields << field(QStringLiteral("Sum"), QString::number(request.sumKopecks));
    if (!request.purpose.isEmpty())
        fields << field(QStringLiteral("Purpose"), request.purpose, 210);
    if (!request.payerInn.isEmpty())
        fields << field(QStringLiteral("PayerINN"), request.payerInn);
    if (!request.documentNumber.isEmpty())
        fields << field(QStringLiteral("DocNo"), request.documentNumber);
    if (request.documentDate.isValid())
        fields << field(QStringLiteral("DocDate"),
                        request.documentDate.toString(QStringLiteral("dd.MM.yyyy")));
    if (problem)
        problem->clear();
    return fields.join(QLatin1Char('|'));
}

QString invoicePaymentPurpose(qint64 number, const QDate &date, bool taxExempt, int ratePercent,
                              qint64 taxKopecks)
{
    const QString head = QStringLiteral("Оплата по счёту № %1 от %2")
                             .arg(number)
                             .arg(date.toString(QStringLiteral("dd.MM.yyyy")));
    if (taxExempt)
        return head + QStringLiteral(", НДС не облагается");
    // As the documents print a sum: kopecks always, "2 904,00".
    QString tax = moneyNumber(double(taxKopecks) / 100.0).replace(QChar(0x00A0), QLatin1Char(' '));
    if (!tax.contains(QLatin1Char(',')))
        tax += QStringLiteral(",00");
    return head + QStringLiteral(", в т.ч. НДС %1 % — %2 руб.").arg(ratePercent).arg(tax);
}
