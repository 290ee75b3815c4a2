// A file of customers brought into the shop's database: every row checked first, a row that
// matches a stored customer (ИНН and КПП, or a person's phone) updating that card, and the whole
// file stored in one transaction or not at all.
#pragma once

#include "customers/customer_file.h"

class CustomerStore;

struct CustomerImport
{
    bool stored = false;
    int added = 0;
    int updated = 0;
    QStringList errors; // "Строка N: …"
    QStringList updates; // "Строка N: … — обновлён."
    QStringList notes;

    // The verdict, then the errors or the updated rows, then the notes, one a line.
    QString report() const;
};

CustomerImport importCustomers(CustomerStore &store, const CustomerFileRead &read,
                               const QString &counter);
