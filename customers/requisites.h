// The checks of a customer's requisites: control digits of ИНН, ОГРН and ОГРНИП, the form of КПП
// and БИК, the accounts' keys against the bank, phones by their digits, e-mails and discounts.
// Each mistake is told in Russian and names the field.
#pragma once

#include "customers/customer.h"

#include <QString>
#include <QVector>

// One mistake in a customer's card: the field's caption as the card shows it ("ИНН", "КПП",
// "ОГРН", "ОГРНИП", "БИК", "Расчётный счёт", "Корр. счёт", "Телефон", "E-mail", "Скидка",
// "Наименование") and the Russian sentence naming it.
struct CustomerProblem
{
    QString field;
    QString message;
};

// Every mistake of the card, in the order the card shows the fields; empty when it may be stored.
// An empty requisite is no mistake here (a walk-in organisation may be noted by name first); the
// import asks for more.
QVector<CustomerProblem> customerProblems(const Customer &customer);
// Single checks, for the card's fields as they are typed.
bool innValid(const QString &inn, Customer::Kind kind);
bool kppValid(const QString &kpp);
bool ogrnValid(const QString &ogrn, Customer::Kind kind);
bool bikValid(const QString &bik);
bool accountValid(const QString &account, const QString &bik);
bool correspondentAccountValid(const QString &account, const QString &bik);
// A phone's digits as compared: "8 (912) 345-67-89" and "+7 912 345 67 89" both give
// "79123456789"; empty when there are no digits.
QString phoneDigits(const QString &phone);
// An address the shop's mail can be sent to, as typed at the counter or on the website.
bool emailLooksValid(const QString &email);
// The address as the server takes it: a domain in Cyrillic (почта.рф) in its ASCII form.
QString serverAddress(const QString &address);
// Empty when the address can go to the server (in its server form); otherwise why not, in
// Russian. Nothing but a plain address passes: a line break in it would be a command to the
// server, and a name before @ in Cyrillic or in quotes is refused by the sender for good. The
// one rule of the counter, the website and the sender.
QString mailAddressProblem(const QString &address);
// "5", "5,25", "5.25" → 525; false outside 0..50 or with more than two decimals. An empty text
// is no discount.
bool readDiscount(const QString &text, int *hundredths);
QString discountText(int hundredths); // 525 → "5,25", 500 → "5"
// The same with a decimal point, for files and the command line: 525 → "5.25", 0 → "0".
QString discountFigure(int hundredths);
// The field's caption for the kind's state registration number: "ОГРН" or "ОГРНИП".
QString ogrnCaption(Customer::Kind kind);
