// Reading and writing the list of customers as a file.
#include "customers/customer_file.h"

#include "order/visible_text.h"
#include "prices/price_file_check.h"

#include <QHash>

namespace {

struct ColumnName
{
    CustomerColumn column;
    const char *russian; // as the export writes it
    const char *english;
    const char *other; // another spelling people type, or nullptr
};

const ColumnName columnNames[] = {
    {CustomerColumn::Kind, "вид", "kind", nullptr},
    {CustomerColumn::ShortName, "наименование", "name", nullptr},
    {CustomerColumn::FullName, "полное наименование", "full name", nullptr},
    {CustomerColumn::Inn, "инн", "inn", nullptr},
    {CustomerColumn::Kpp, "кпп", "kpp", nullptr},
    {CustomerColumn::Ogrn, "огрн", "ogrn", "огрнип"},
    {CustomerColumn::Address, "адрес", "address", nullptr},
    {CustomerColumn::Phone, "телефон", "phone", nullptr},
    {CustomerColumn::Email, "email", "email", "e-mail"},
    {CustomerColumn::Contact, "контакт", "contact", nullptr},
    {CustomerColumn::Bik, "бик", "bik", nullptr},
    {CustomerColumn::Account, "счёт", "account", "счет"},
    {CustomerColumn::CorrespondentAccount, "корсчёт", "corr account", "корсчет"},
    {CustomerColumn::BankName, "банк", "bank", nullptr},
    {CustomerColumn::Discount, "скидка", "discount", nullptr},
    {CustomerColumn::Note, "заметка", "note", nullptr},
};

QString *textOf(Customer &customer, CustomerColumn column)
{
    switch (column) {
    case CustomerColumn::ShortName:
        return &customer.shortName;
    case CustomerColumn::FullName:
        return &customer.fullName;
    case CustomerColumn::Inn:
        return &customer.inn;
    case CustomerColumn::Kpp:
        return &customer.kpp;
    case CustomerColumn::Ogrn:
        return &customer.ogrn;
    case CustomerColumn::Address:
        return &customer.address;
    case CustomerColumn::Phone:
        return &customer.phone;
    case CustomerColumn::Email:
        return &customer.email;
    case CustomerColumn::Contact:
        return &customer.contact;
    case CustomerColumn::Bik:
        return &customer.bik;
    case CustomerColumn::Account:
        return &customer.account;
    case CustomerColumn::CorrespondentAccount:
        return &customer.correspondentAccount;
    case CustomerColumn::BankName:
        return &customer.bankName;
    case CustomerColumn::Note:
        return &customer.note;
    case CustomerColumn::Kind:
    case CustomerColumn::Discount:
        break;
    }
    return nullptr;
}

// A header's name folded: case, blanks, "ё" and the dot of "корр." alike.
QString foldedHeader(const QString &text)
{
    QString name = text.simplified().toLower();
    name.replace(QChar(0x0451), QChar(0x0435));
    name.remove(QLatin1Char('.'));
    name.replace(QLatin1Char('_'), QLatin1Char(' '));
    return name;
}

bool columnNamed(const QString &text, CustomerColumn *column)
{
    const QString name = foldedHeader(text);
    for (const ColumnName &known : columnNames)
        for (const char *each : {known.russian, known.english, known.other})
            if (each && name == foldedHeader(QString::fromUtf8(each))) {
                *column = known.column;
                return true;
            }
    // "корр счёт", "корр счет", "correspondent account" and the like.
    if (name == QStringLiteral("корр счет") || name == QLatin1String("correspondent account")) {
        *column = CustomerColumn::CorrespondentAccount;
        return true;
    }
    return false;
}

// What the export's apostrophe kept as text comes back without it.
QString cellText(const QString &cell)
{
    const QString text = cell.trimmed();
    if (text.size() > 1 && text.at(0) == QLatin1Char('\'')
        && QStringLiteral("=+-@").contains(text.at(1)))
        return text.mid(1);
    return text;
}

QString lineText(int line)
{
    return QStringLiteral("Строка ") + QString::number(line) + QStringLiteral(": ");
}

} // namespace

CustomerFileRead readCustomerRows(const QVector<QStringList> &rows)
{
    CustomerFileRead read;
    if (rows.isEmpty()) {
        read.errors << QStringLiteral("Файл пуст: нет даже строки с названиями столбцов.");
        return read;
    }
    if (rows.size() > CustomerFileMaxRows + 1) {
        read.errors << QStringLiteral("В файле больше %1 строк: такой файл не загружается.")
                           .arg(CustomerFileMaxRows);
        return read;
    }
    QHash<int, CustomerColumn> columnAt;
    QSet<CustomerColumn> present;
    const QStringList &header = rows.first();
    for (int i = 0; i < header.size(); ++i) {
        const QString name = header.at(i).trimmed();
        if (name.isEmpty())
            continue;
        CustomerColumn column = CustomerColumn::Note;
        if (!columnNamed(name, &column)) {
            read.notes << lineText(1)
                    + QStringLiteral("столбец «%1» не известен и пропущен.").arg(name);
            continue;
        }
        if (present.contains(column)) {
            read.errors << lineText(1)
                    + QStringLiteral("столбец «%1» встречается дважды.").arg(name);
            continue;
        }
        present.insert(column);
        columnAt.insert(i, column);
    }
    if (!present.contains(CustomerColumn::ShortName))
        read.errors << lineText(1)
                + QStringLiteral("нет столбца «наименование» — он обязателен (названия "
                                 "столбцов в первой строке).");
    if (!read.errors.isEmpty())
        return read;

    QHash<QString, int> requisitesAt;
    QHash<QString, int> phonesAt;
    for (int r = 1; r < rows.size(); ++r) {
        const QStringList &cells = rows.at(r);
        const int line = r + 1;
        CustomerFileRow row;
        row.line = line;
        QStringList problems;
        QString kindWord;
        QString discount;
        for (auto it = columnAt.constBegin(); it != columnAt.constEnd(); ++it) {
            const QString text = cellText(cells.value(it.key()));
            if (text.isEmpty())
                continue;
            row.filled.insert(it.value());
            if (it.value() == CustomerColumn::Kind)
                kindWord = text;
            else if (it.value() == CustomerColumn::Discount)
                discount = text;
            else
                *textOf(row.customer, it.value()) = text;
        }
        if (row.filled.isEmpty())
            continue; // a blank row
        Customer &customer = row.customer;
        const bool kindKnown = kindWord.isEmpty() || customerKindFromWord(kindWord, &customer.kind);
        if (!kindKnown)
            problems << QStringLiteral("вид «%1» не известен: бывает организация, ип или "
                                       "частное лицо.")
                            .arg(kindWord);
        if (!readDiscount(discount, &customer.discountHundredths))
            problems << QStringLiteral("Скидка: «%1» — нужно число от 0 до 50, не больше двух "
                                       "знаков после запятой.")
                            .arg(discount);
        if (customer.shortName.isEmpty())
            problems << QStringLiteral("Наименование: не заполнено.");
        if (kindKnown && customer.inn.isEmpty() && customer.kind != Customer::Person)
            problems << QStringLiteral("ИНН: не заполнен — он обязателен для %1.")
                            .arg(customer.kind == Customer::SoleTrader
                                     ? QStringLiteral("ИП")
                                     : QStringLiteral("организации"));
        for (const CustomerProblem &problem : customerProblems(customer))
            if (problem.field != QStringLiteral("Наименование")
                && problem.field != QStringLiteral("Скидка"))
                problems << problem.message;
        // One customer, one row.
        const QString digits = phoneDigits(customer.phone);
        const QString requisites = customer.inn + QLatin1Char('/') + customer.kpp;
        if (!customer.inn.isEmpty() && requisitesAt.contains(requisites))
            problems << QStringLiteral("тот же ИНН и КПП, что в строке %1.")
                            .arg(requisitesAt.value(requisites));
        else if (customer.inn.isEmpty() && customer.kind == Customer::Person && !digits.isEmpty()
                 && phonesAt.contains(digits))
            problems
                << QStringLiteral("тот же телефон, что в строке %1.").arg(phonesAt.value(digits));
        if (!customer.inn.isEmpty())
            requisitesAt.insert(requisites, line);
        else if (customer.kind == Customer::Person && !digits.isEmpty())
            phonesAt.insert(digits, line);
        for (const QString &problem : qAsConst(problems))
            read.errors << lineText(line) + problem;
        read.rows.append(row);
    }
    return read;
}

CustomerFileRead readCustomerCsv(const QByteArray &data)
{
    QVector<QStringList> rows;
    PriceFileIssue problem;
    if (!readPriceCsv(data, &rows, &problem)) {
        CustomerFileRead read;
        read.errors << (problem.row > 0 ? lineText(problem.row) + problem.text : problem.text);
        return read;
    }
    return readCustomerRows(rows);
}

Customer updatedByRow(const Customer &stored, const CustomerFileRow &row)
{
    Customer customer = stored;
    for (const CustomerColumn column : row.filled) {
        if (column == CustomerColumn::Kind)
            customer.kind = row.customer.kind;
        else if (column == CustomerColumn::Discount)
            customer.discountHundredths = row.customer.discountHundredths;
        else
            *textOf(customer, column) = *textOf(const_cast<Customer &>(row.customer), column);
    }
    return customer;
}

QVector<QStringList> customerFileRows(const QVector<Customer> &customers)
{
    QVector<QStringList> rows;
    QStringList header;
    for (const ColumnName &known : columnNames)
        header << QString::fromUtf8(known.russian);
    rows.append(header);
    for (const Customer &each : customers) {
        Customer customer = each;
        QStringList row;
        for (const ColumnName &known : columnNames) {
            if (known.column == CustomerColumn::Kind)
                row << customerKindWord(customer.kind);
            else if (known.column == CustomerColumn::Discount)
                row << discountText(customer.discountHundredths);
            else
                row << *textOf(customer, known.column);
        }
        rows.append(row);
    }
    return rows;
}

QString csvTextField(const QString &text)
{
    // A tab and a quoted line break are the file's; a carriage return or an escape is not.
    QString field = visibleText(text, QStringLiteral("\t\n"));
    if (!field.isEmpty() && QStringLiteral("=+-@\t\r").contains(field.at(0)))
        field.prepend(QLatin1Char('\''));
    if (!field.contains(QLatin1Char(';')) && !field.contains(QLatin1Char('"'))
        && !field.contains(QLatin1Char('\n')) && !field.contains(QLatin1Char('\r')))
        return field;
    return QLatin1Char('"') + field.replace(QLatin1Char('"'), QStringLiteral("\"\""))
        + QLatin1Char('"');
}

QByteArray customerFileCsv(const QVector<Customer> &customers)
{
    QString csv;
    for (const QStringList &row : customerFileRows(customers)) {
        QStringList fields;
        for (const QString &cell : row)
            fields << csvTextField(cell);
        csv.append(fields.join(QLatin1Char(';')) + QLatin1Char('\n'));
    }
    return csv.toUtf8();
}
