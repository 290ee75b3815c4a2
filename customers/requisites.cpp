// Requisite checks with their control digits, and the Russian words for each mistake.
#include "customers/requisites.h"

#include <QRegularExpression>
#include <QUrl>

namespace {

bool allDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

int digitAt(const QString &text, int index)
{
    return text.at(index).unicode() - '0';
}

// Σ digit × weight, mod 11, mod 10: the ИНН's control digit over the first weights.size() digits.
int innControl(const QString &inn, std::initializer_list<int> weights)
{
    int sum = 0;
    int index = 0;
    for (int weight : weights)
        sum += digitAt(inn, index++) * weight;
    return sum % 11 % 10;
}

// The number made of the first `length` digits, mod `modulus`, without overflowing: the digits
// are folded one by one.
int numberModulo(const QString &digits, int length, int modulus)
{
    int rest = 0;
    for (int i = 0; i < length; ++i)
        rest = (rest * 10 + digitAt(digits, i)) % modulus;
    return rest;
}

// The accounts' key: 23 digits weighted 7, 1, 3 repeated; the sum is divisible by 10.
bool accountKeyHolds(const QString &digits)
{
    static const int weights[] = {7, 1, 3};
    int sum = 0;
    for (int i = 0; i < digits.size(); ++i)
        sum += digitAt(digits, i) * weights[i % 3];
    return sum % 10 == 0;
}

QString digitsWord(int count)
{
    const int lastTwo = count % 100;
    const int last = count % 10;
    if (lastTwo >= 11 && lastTwo <= 14)
        return QStringLiteral("цифр");
    if (last == 1)
        return QStringLiteral("цифра");
    if (last >= 2 && last <= 4)
        return QStringLiteral("цифры");
    return QStringLiteral("цифр");
}

// "введено 9 цифр" with the count's own ending.
QString typedCount(const QString &text)
{
    return QStringLiteral("введено ") + QString::number(text.size()) + QLatin1Char(' ')
        + digitsWord(text.size());
}

QString kindGenitive(Customer::Kind kind)
{
    switch (kind) {
    case Customer::Organisation:
        return QStringLiteral("организации");
    case Customer::SoleTrader:
        return QStringLiteral("ИП");
    case Customer::Person:
        return QStringLiteral("частного лица");
    }
    return QString();
}

const QString notDigits = QStringLiteral("только цифры, без пробелов и других знаков");
const QString wrongControl = QStringLiteral("не сходится контрольная цифра — проверьте номер");

} // namespace

bool innValid(const QString &inn, Customer::Kind kind)
{
    if (!allDigits(inn))
        return false;
    if (kind == Customer::Organisation)
        return inn.size() == 10 && innControl(inn, {2, 4, 10, 3, 5, 9, 4, 6, 8}) == digitAt(inn, 9);
    return inn.size() == 12 && innControl(inn, {7, 2, 4, 10, 3, 5, 9, 4, 6, 8}) == digitAt(inn, 10)
        && innControl(inn, {3, 7, 2, 4, 10, 3, 5, 9, 4, 6, 8}) == digitAt(inn, 11);
}

bool kppValid(const QString &kpp)
{
    static const QRegularExpression form(QStringLiteral("^[0-9]{4}[0-9A-Z]{2}[0-9]{3}$"));
    return form.match(kpp).hasMatch();
}

bool ogrnValid(const QString &ogrn, Customer::Kind kind)
{
    if (!allDigits(ogrn))
        return false;
    if (kind == Customer::Organisation)
        return ogrn.size() == 13 && numberModulo(ogrn, 12, 11) % 10 == digitAt(ogrn, 12);
    if (kind == Customer::SoleTrader)
        return ogrn.size() == 15 && numberModulo(ogrn, 14, 13) % 10 == digitAt(ogrn, 14);
    return false;
}

bool bikValid(const QString &bik)
{
    return bik.size() == 9 && allDigits(bik) && bik.startsWith(QLatin1String("04"));
}

bool accountValid(const QString &account, const QString &bik)
{
    return bikValid(bik) && account.size() == 20 && allDigits(account)
        && accountKeyHolds(bik.right(3) + account);
}

bool correspondentAccountValid(const QString &account, const QString &bik)
{
    return bikValid(bik) && account.size() == 20 && allDigits(account)
        && account.startsWith(QLatin1String("301"))
        && accountKeyHolds(QLatin1Char('0') + bik.mid(4, 2) + account);
}

QString phoneDigits(const QString &phone)
{
    QString digits;
    for (const QChar c : phone)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
    // A Russian number is written with 8, +7 or neither: all three are one number.
    if (digits.size() == 11 && digits.startsWith(QLatin1Char('8')))
        digits[0] = QLatin1Char('7');
    else if (digits.size() == 10 && !phone.trimmed().startsWith(QLatin1Char('+')))
        digits.prepend(QLatin1Char('7'));
    return digits;
}

bool emailLooksValid(const QString &email)
{
    static const QRegularExpression form(QStringLiteral("^[^\\s@]+@[^\\s@.]+(\\.[^\\s@.]+)+$"));
    return form.match(email).hasMatch() && mailAddressProblem(email).isEmpty();
}

QString serverAddress(const QString &address)
{
    const int at = address.lastIndexOf(QLatin1Char('@'));
    if (at < 0)
        return address;
    const QByteArray domain = QUrl::toAce(address.mid(at + 1));
    return domain.isEmpty() ? address : address.left(at + 1) + QString::fromLatin1(domain);
}

QString mailAddressProblem(const QString &address)
{
    static const QRegularExpression plain(
        QStringLiteral("^[A-Za-z0-9!#$%&'*+/=?^_`{|}~.-]+@[A-Za-z0-9-]+(\\.[A-Za-z0-9-]+)*$"));
    if (address.isEmpty())
        return QStringLiteral("адрес не указан");
    if (plain.match(serverAddress(address)).hasMatch())
        return QString();
    QString shown = address;
    shown.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar &c : shown)
        if (c.unicode() < 0x20)
            c = QLatin1Char(' ');
    const int at = address.lastIndexOf(QLatin1Char('@'));
    for (int i = 0; i < at; ++i)
        if (address.at(i).unicode() > 0x7f)
            return QStringLiteral("адрес «%1»: имя до @ пишется латиницей, на такой адрес "
                                  "письмо не отправить")
                .arg(shown);
    return QStringLiteral("адрес «%1» не похож на адрес электронной почты").arg(shown);
}

bool readDiscount(const QString &text, int *hundredths)
{
    QString value = text.trimmed();
    if (value.endsWith(QLatin1Char('%')))
        value = value.left(value.size() - 1).trimmed();
    if (value.isEmpty()) {
        *hundredths = 0;
        return true;
    }
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,2})(?:[.,]([0-9]{1,2}))?$"));
    const QRegularExpressionMatch match = form.match(value);
    if (!match.hasMatch())
        return false;
    const QString fraction = match.captured(2);
    const int whole = match.captured(1).toInt();
    const int part = fraction.isEmpty() ? 0 : fraction.toInt() * (fraction.size() == 1 ? 10 : 1);
    const int result = whole * 100 + part;
    if (result > 5000)
        return false;
    *hundredths = result;
    return true;
}

QString discountFigure(int hundredths)
{
    QString text = QString::number(hundredths / 100);
    const int part = hundredths % 100;
    if (part != 0) {
        text += QLatin1Char('.');
        text += part % 10 == 0 ? QString::number(part / 10)
                               : QString::number(part).rightJustified(2, QLatin1Char('0'));
    }
    return text;
}

QString discountText(int hundredths)
{
    return discountFigure(hundredths).replace(QLatin1Char('.'), QLatin1Char(','));
}

QString ogrnCaption(Customer::Kind kind)
{
    return kind == Customer::SoleTrader ? QStringLiteral("ОГРНИП") : QStringLiteral("ОГРН");
}

QVector<CustomerProblem> customerProblems(const Customer &customer)
{
    QVector<CustomerProblem> problems;
    const auto add = [&](const QString &field, const QString &what) {
        problems.append({field, field + QStringLiteral(": ") + what});
    };
    const Customer::Kind kind = customer.kind;

    if (customer.shortName.trimmed().isEmpty() && customer.fullName.trimmed().isEmpty())
        add(QStringLiteral("Наименование"), QStringLiteral("не заполнено"));

    const QString inn = customer.inn;
    if (!inn.isEmpty()) {
        const int length = kind == Customer::Organisation ? 10 : 12;
        if (!allDigits(inn))
            add(QStringLiteral("ИНН"), notDigits);
        else if (inn.size() != length)
            add(QStringLiteral("ИНН"),
                QString::number(length) + QLatin1Char(' ') + digitsWord(length)
                    + QStringLiteral(" для ") + kindGenitive(kind) + QStringLiteral(", ")
                    + typedCount(inn));
        else if (!innValid(inn, kind))
            add(QStringLiteral("ИНН"), wrongControl);
    }

    if (!customer.kpp.isEmpty()) {
        if (kind != Customer::Organisation)
            add(QStringLiteral("КПП"), QStringLiteral("бывает только у организации"));
        else if (!kppValid(customer.kpp))
            add(QStringLiteral("КПП"),
                QStringLiteral("9 знаков: 4 цифры, 2 цифры или заглавные латинские буквы, "
                               "3 цифры"));
    }

    if (!customer.ogrn.isEmpty()) {
        const QString field = ogrnCaption(kind);
        const int length = kind == Customer::SoleTrader ? 15 : 13;
        if (kind == Customer::Person)
            add(field, QStringLiteral("у частного лица его нет"));
        else if (!allDigits(customer.ogrn))
            add(field, notDigits);
        else if (customer.ogrn.size() != length)
            add(field,
                QString::number(length) + QLatin1Char(' ') + digitsWord(length)
                    + QStringLiteral(" для ") + kindGenitive(kind) + QStringLiteral(", ")
                    + typedCount(customer.ogrn));
        else if (!ogrnValid(customer.ogrn, kind))
            add(field, wrongControl);
    }

    if (!customer.phone.trimmed().isEmpty() && phoneDigits(customer.phone).size() < 5)
        add(QStringLiteral("Телефон"), QStringLiteral("слишком мало цифр для номера"));

    if (!customer.email.trimmed().isEmpty() && !emailLooksValid(customer.email.trimmed())) {
        const QString why = mailAddressProblem(customer.email.trimmed());
        add(QStringLiteral("E-mail"),
            why.contains(QStringLiteral("латиницей"))
                ? QStringLiteral("имя до @ пишется латиницей: на такой адрес письмо не отправить")
                : QStringLiteral("не похож на адрес почты (ожидается вида name@example.ru)"));
    }

    const QString bik = customer.bik;
    const bool bikChecked = !bik.isEmpty() && bikValid(bik);
    if (!bik.isEmpty() && !bikChecked) {
        if (!allDigits(bik))
            add(QStringLiteral("БИК"), notDigits);
        else if (bik.size() != 9)
            add(QStringLiteral("БИК"), QStringLiteral("9 цифр, ") + typedCount(bik));
        else
            add(QStringLiteral("БИК"), QStringLiteral("российский БИК начинается с 04"));
    }

    const auto checkAccount = [&](const QString &field, const QString &account, bool settlement) {
        if (account.isEmpty())
            return;
        if (!allDigits(account))
            add(field, notDigits);
        else if (account.size() != 20)
            add(field, QStringLiteral("20 цифр, ") + typedCount(account));
        else if (!settlement && !account.startsWith(QLatin1String("301")))
            add(field, QStringLiteral("начинается с 301"));
        else if (bik.isEmpty())
            add(field, QStringLiteral("без БИК банка его не проверить — укажите БИК"));
        else if (!bikChecked)
            add(field, QStringLiteral("не проверить, пока неверен БИК"));
        else if (settlement ? !accountValid(account, bik)
                            : !correspondentAccountValid(account, bik))
            add(field, QStringLiteral("не сходится с БИК — проверьте счёт и БИК"));
    };
    checkAccount(QStringLiteral("Расчётный счёт"), customer.account, true);
    checkAccount(QStringLiteral("Корр. счёт"), customer.correspondentAccount, false);

    if (customer.discountHundredths < 0 || customer.discountHundredths > 5000)
        add(QStringLiteral("Скидка"), QStringLiteral("от 0 до 50 %"));
    return problems;
}
