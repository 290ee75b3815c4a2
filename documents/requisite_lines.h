// The shop's old free-text requisite lines (ИНН and КПП, bank, accounts) read into the fields of
// their own where a part is plainly one of them; whatever is not understood stays in its line for
// the operator.
#pragma once

#include "documents/invoice_document.h"

#include <QString>

struct RequisiteLinesSplit
{
    // The fields of their own as given, with what the lines named: inn, kpp, ogrn, bankName,
    // bik, settlementAccount, corrAccount.
    ShopRequisites fields;
    QString phone;
    // What is left of each line once the parts taken are cut out; empty when all was taken.
    QString taxNumbers;
    QString bank;
    QString account;
};

// Parts are separated by commas or semicolons: "ИНН 7707083893", "КПП 770701001", "ОГРН …",
// "тел. …", "БИК 044525225", "Р/с …", "к/с …", and in the bank line the bank's name ("Банк
// получателя: ПАО Банк"). A number of zeros only is the sample template's filler: dropped, never
// taken. Fields already set (have, havePhone) are kept: a part naming another value stays in its
// line for the operator to decide.
RequisiteLinesSplit splitRequisiteLines(const QString &taxNumbers, const QString &bank,
                                        const QString &account,
                                        const ShopRequisites &have = ShopRequisites(),
                                        const QString &havePhone = QString());
