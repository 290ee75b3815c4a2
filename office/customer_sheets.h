// The shop's list of customers as a workbook (.ods, .xlsx): the columns of the CSV file, every
// requisite kept as text (an ИНН or an account keeps its zeros), the discount a number. Each call
// may block: call it off the window's thread.
#pragma once

#include "customers/customer_file.h"

class OfficeSession;

bool writeCustomerSheet(OfficeSession &session, const QString &path,
                        const QVector<Customer> &customers, QString *error);
// The first sheet read and checked as a CSV file is; false with the reason in Russian when the
// office cannot read it.
bool readCustomerSheet(OfficeSession &session, const QString &path, CustomerFileRead *read,
                       QString *error);
