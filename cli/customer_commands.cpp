// `--customers list|show|import|export`: the shop's customers read and brought in from the
// command line.
#include "cli/cli.h"

#include "customers/customer_file.h"
#include "order/money.h"
#include "order/visible_text.h"
#include "storage/connection.h"
#include "storage/customer_import.h"
#include "storage/customer_store.h"
#include "storage/settings.h"
#include "storage/transaction.h"

#include <QFileInfo>

#include <algorithm>
#include <limits>

#ifdef PRINTCALC_HAVE_OFFICE
#include "cli/command_office.h"
#include "office/customer_sheets.h"
#endif

namespace {

// A stored text on one line of the output, with nothing a terminal would act on.
QString field(QString text)
{
    return visibleText(text.replace(QLatin1Char('\t'), QLatin1Char(' '))
                           .replace(QLatin1Char('\n'), QLatin1Char(' '))
                           .replace(QLatin1Char('\r'), QLatin1Char(' ')));
}

bool isSpreadsheet(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("ods") || suffix == QLatin1String("xlsx")
        || suffix == QLatin1String("xls");
}

#ifndef PRINTCALC_HAVE_OFFICE
const QString NoOffice = QStringLiteral(
    "Таблицы .ods и .xlsx читаются и пишутся через LibreOffice Calc, а эта сборка программы "
    "собрана без него: сохраните таблицу в Calc как «Текст CSV» (UTF-8, разделитель «;»).");
#endif

// The spreadsheet's rows read and checked through the command's own office.
bool readSpreadsheet(const QString &path, CustomerFileRead *read, QString *error)
{
#ifdef PRINTCALC_HAVE_OFFICE
    CommandOffice office;
    return readCustomerSheet(office.get(), path, read, error);
#else
    Q_UNUSED(path)
    Q_UNUSED(read)
    *error = NoOffice;
    return false;
#endif
}

bool writeSpreadsheet(const QString &path, const QVector<Customer> &customers, QString *error)
{
#ifdef PRINTCALC_HAVE_OFFICE
    CommandOffice office;
    return writeCustomerSheet(office.get(), path, customers, error);
#else
    Q_UNUSED(path)
    Q_UNUSED(customers)
    *error = NoOffice;
    return false;
#endif
}

int list(CliContext &context, const QCommandLineParser &parser, const QStringList &)
{
    const QString text = parser.value(QStringLiteral("find"));
    if (parser.isSet(QStringLiteral("find")) && text.trimmed().size() < 2)
        return context.usage(QStringLiteral("Для --find нужно не меньше двух знаков."));
    Connection connection;
    if (!context.open(connection))
        return CliFailed;
    bool ok = false;
    const QVector<Customer> found = CustomerStore(connection).list(text, &ok);
    if (!ok)
        return context.fail(connection.errorText());
    // Standard output stays the list alone, empty or not.
    if (found.isEmpty())
        context.err << (text.isEmpty() ? QStringLiteral("Клиентов в базе нет.")
                                       : QStringLiteral("Клиентов по «%1» не найдено.").arg(text))
                    << '\n';
    for (const Customer &customer : found)
        context.out << customer.id << '\t' << customerKindWord(customer.kind) << '\t'
                    << field(customer.name()) << '\t' << field(customer.inn) << '\t'
                    << field(customer.kpp) << '\t' << field(customer.phone) << '\t'
                    << field(customer.email) << '\t' << discountFigure(customer.discountHundredths)
                    << '\n';
    return 0;
}

int show(CliContext &context, const QCommandLineParser &, const QStringList &words)
{
    int status = 0;
    qint64 id = 0;
    if (!context.readNumber(words.first(), QStringLiteral("Номер клиента"),
                            std::numeric_limits<qint64>::max(), &id, &status))
        return status;
    Connection connection;
    if (!context.open(connection))
        return CliFailed;
    CustomerStore store(connection);
    Customer customer;
    if (!store.load(id, &customer))
        return context.fail(connection.fault() == StorageFault::None
                                ? QStringLiteral("Клиента № %1 в базе нет.").arg(id)
                                : connection.errorText());
    bool ok = false;
    const QVector<CustomerInvoice> invoices = store.invoices(id, &ok);
    if (!ok)
        return context.fail(connection.errorText());
    const QString ogrn = ogrnCaption(customer.kind);
    const std::pair<QString, QString> card[] = {
        {QStringLiteral("Номер"), QString::number(customer.id)},
        {QStringLiteral("Вид"), customerKindWord(customer.kind)},
        {QStringLiteral("Наименование"), customer.shortName},
        {QStringLiteral("Полное наименование"), customer.fullName},
        {QStringLiteral("ИНН"), customer.inn},
        {QStringLiteral("КПП"), customer.kpp},
        {ogrn, customer.ogrn},
        {QStringLiteral("Адрес"), customer.address},
        {QStringLiteral("Телефон"), customer.phone},
        {QStringLiteral("E-mail"), customer.email},
        {QStringLiteral("Контакт"), customer.contact},
        {QStringLiteral("БИК"), customer.bik},
        {QStringLiteral("Расчётный счёт"), customer.account},
        {QStringLiteral("Корр. счёт"), customer.correspondentAccount},
        {QStringLiteral("Банк"), customer.bankName},
        {QStringLiteral("Скидка"),
         customer.discountHundredths == 0
             ? QString()
             : discountText(customer.discountHundredths) + QStringLiteral(" %")},
        {QStringLiteral("Заметка"), customer.note},
        {QStringLiteral("Создан"),
         customer.created.toString(QStringLiteral("yyyy-MM-dd HH:mm")) + QStringLiteral(", ")
             + customer.createdAt},
        {QStringLiteral("Изменён"),
         customer.changed.toString(QStringLiteral("yyyy-MM-dd HH:mm")) + QStringLiteral(", ")
             + customer.changedAt},
    };
    // The number, the kind and the name always; the rest where filled.
    int shown = 0;
    for (const auto &[caption, value] : card)
        if (shown++ < 3 || !value.isEmpty())
            context.out << caption << QStringLiteral(": ") << field(value) << '\n';
    if (customer.personalDataCleared)
        context.out << QStringLiteral("Персональные данные удалены.\n");
    if (invoices.isEmpty())
        context.err << QStringLiteral("Счетов у клиента нет.") << '\n';
    for (const CustomerInvoice &invoice : invoices)
        context.out << invoice.number << '\t'
                    << invoice.created.toString(QStringLiteral("yyyy-MM-dd HH:mm")) << '\t'
                    << QString::number(calcRounded(invoice.total), 'f', 2) << '\t'
                    << (invoice.isVoid ? QStringLiteral("аннулирован")
                                       : QStringLiteral("действителен"))
                    << '\n';
    return 0;
}

int importFile(CliContext &context, const QCommandLineParser &, const QStringList &words)
{
    int status = 0;
    const QString path = words.first();
    CustomerFileRead read;
    if (isSpreadsheet(path)) {
        if (!QFileInfo(path).isFile())
            return context.fail(QStringLiteral("Файл %1 не найден.").arg(path));
        QString error;
        if (!readSpreadsheet(path, &read, &error))
            return context.fail(QStringLiteral("Клиенты из %1 не загружены: %2").arg(path, error));
    } else {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return context.fail(
                QStringLiteral("Файл %1 не открыть: %2").arg(path, file.errorString()));
        // A list of customers is far below this; a larger file is no such list.
        if (file.size() > 64 * 1024 * 1024)
            return context.fail(
                QStringLiteral("Файл %1 слишком велик для списка клиентов.").arg(path));
        read = readCustomerCsv(file.readAll());
    }
    Connection connection;
    if (!context.open(connection))
        return CliFailed;
    // A discount above the cap is a manager's right, whichever way it comes in.
    const int capHundredths = Settings().discountCap() * 100;
    const bool aboveCap = std::any_of(read.rows.cbegin(), read.rows.cend(), [&](const auto &row) {
        return row.filled.contains(CustomerColumn::Discount)
            && row.customer.discountHundredths > capHundredths;
    });
    if (aboveCap ? !context.authorise(connection, Action::DiscountAboveCap, &status)
                 : !context.authorise(connection, &status))
        return status;
    CustomerStore store(connection);
    Transaction transaction(connection);
    const CustomerImport imported = importCustomers(store, read, Settings().counterName());
    if (imported.stored
        && (!context.audit(connection, QStringLiteral("клиенты загружены"), QString(), path)
            || !context.commitChange(connection, transaction)))
        return CliFailed;
    context.out << imported.report() << '\n';
    if (!imported.stored && connection.fault() != StorageFault::None)
        context.err << connection.errorText() << '\n';
    return imported.stored ? 0 : CliFailed;
}

int exportFile(CliContext &context, const QCommandLineParser &, const QStringList &words)
{
    const QString path = words.first();
    Connection connection;
    if (!context.open(connection))
        return CliFailed;
    bool ok = false;
    const QVector<Customer> customers = CustomerStore(connection).list(QString(), &ok);
    if (!ok)
        return context.fail(connection.errorText());
    if (isSpreadsheet(path)) {
        QString error;
        if (!writeSpreadsheet(path, customers, &error))
            return context.fail(QStringLiteral("Клиенты в %1 не выгружены: %2").arg(path, error));
        context.out << QStringLiteral("Выгружены клиенты в %1: %2.").arg(path).arg(customers.size())
                    << '\n';
        return 0;
    }
    CliOutputFile file(path);
    QString error;
    if (!file.open(&error))
        return context.fail(QStringLiteral("Файл %1 не открыть для записи: %2").arg(path, error));
    file.write(customerFileCsv(customers));
    if (!file.commit(&error))
        return context.fail(QStringLiteral("Файл %1 не записан: %2").arg(path, error));
    context.confirm(file,
                    QStringLiteral("Выгружены клиенты в %1: %2.").arg(path).arg(customers.size()));
    return 0;
}

} // namespace

QVector<CliCommand> customerCommands()
{
    return {
        {QStringLiteral("--customers"),
         {QCommandLineOption(QStringLiteral("find"), QString(), QStringLiteral("text"))},
         {{QStringLiteral("list"),
           QStringLiteral("  printcalc --customers list [--find ТЕКСТ]     клиенты по "
                          "наименованию (поиск — как в поле «Клиент»)"),
           {QStringLiteral("find")},
           0,
           {},
           0,
           {},
           list},
          {QStringLiteral("show"),
           QStringLiteral("  printcalc --customers show ID                 карточка клиента и "
                          "его счета"),
           {},
           1,
           QStringLiteral("Нужен номер клиента: printcalc --customers show ID"),
           1,
           {},
           show},
          {QStringLiteral("import"),
           QStringLiteral("  printcalc --customers import ФАЙЛ             загрузить клиентов "
                          "из .csv, .ods или .xlsx (при ошибках ничего не сохраняется)"),
           {},
           1,
           QStringLiteral("Нужно имя файла: printcalc --customers import ФАЙЛ"),
           1,
           Action::TakeOrder,
           importFile},
          {QStringLiteral("export"),
           QStringLiteral("  printcalc --customers export ФАЙЛ             выгрузить всех "
                          "клиентов в .csv, .ods или .xlsx"),
           {},
           1,
           QStringLiteral("Нужно имя файла: printcalc --customers export ФАЙЛ"),
           1,
           {},
           exportFile}}},
    };
}
