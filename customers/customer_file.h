// The shop's list of customers as a file: the columns found by their header (Russian or English
// names, any order), each row read into a card and checked, every mistake told with its line;
// and the list written back with the same columns.
#pragma once

#include "customers/requisites.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <QVector>

// More rows than this are refused before they are read one by one.
constexpr int CustomerFileMaxRows = 100000;

enum class CustomerColumn {
    Kind,
    ShortName,
    FullName,
    Inn,
    Kpp,
    Ogrn,
    Address,
    Phone,
    Email,
    Contact,
    Bik,
    Account,
    CorrespondentAccount,
    BankName,
    Discount,
    Note
};

inline uint qHash(CustomerColumn column, uint seed = 0)
{
    return ::qHash(int(column), seed);
}

// One row of the file as a card, with the columns it fills (a blank cell fills none).
struct CustomerFileRow
{
    int line = 0; // the file's line: the header is line 1
    Customer customer;
    QSet<CustomerColumn> filled;
};

struct CustomerFileRead
{
    QVector<CustomerFileRow> rows;
    QStringList errors; // "Строка N: …", in the file's order; any refuses the whole file
    QStringList notes; // told, refusing nothing: columns not known and left out
};

// Reads rows as a CSV file or a spreadsheet's first sheet gives them, the header first. A row
// repeating an earlier one's ИНН and КПП (or a person's phone) is an error.
CustomerFileRead readCustomerRows(const QVector<QStringList> &rows);
// The same from a CSV file: UTF-8, ";" between fields, '"' around a field that holds one.
CustomerFileRead readCustomerCsv(const QByteArray &data);

// The card as it stands after the row: the row's filled columns over the stored card's.
Customer updatedByRow(const Customer &stored, const CustomerFileRow &row);

// The header and one row per customer, in the order given.
QVector<QStringList> customerFileRows(const QVector<Customer> &customers);
QByteArray customerFileCsv(const QVector<Customer> &customers);

// A CSV field: quoted when it holds ";", '"' or a line break; a text a spreadsheet would take
// for a formula (=, +, -, @ first) kept as text by a leading apostrophe.
QString csvTextField(const QString &text);
