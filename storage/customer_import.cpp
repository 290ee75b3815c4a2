// Matching the file's rows with the stored cards, then storing them all at once.
#include "storage/customer_import.h"

#include "storage/customer_store.h"

namespace {

QString lineText(int line)
{
    return QStringLiteral("Строка ") + QString::number(line) + QStringLiteral(": ");
}

} // namespace

QString CustomerImport::report() const
{
    QStringList lines;
    if (stored)
        lines << QStringLiteral("Клиенты загружены: добавлено — %1, обновлено — %2.")
                     .arg(added)
                     .arg(updated);
    else
        lines << QStringLiteral("Файл отклонён, ничего не сохранено: ошибок — %1.")
                     .arg(errors.size());
    lines += stored ? updates : errors;
    lines += notes;
    return lines.join(QLatin1Char('\n'));
}

CustomerImport importCustomers(CustomerStore &store, const CustomerFileRead &read,
                               const QString &counter)
{
    CustomerImport result;
    result.errors = read.errors;
    result.notes = read.notes;
    if (!result.errors.isEmpty())
        return result;
    QVector<Customer> cards;
    cards.reserve(read.rows.size());
    for (const CustomerFileRow &row : read.rows)
        cards.append(row.customer);
    QVector<Customer> stored;
    if (!store.findSameAll(cards, &stored)) {
        result.errors << QStringLiteral("База не прочитана: клиенты не сравнены с файлом.");
        return result;
    }
    for (int i = 0; i < cards.size(); ++i) {
        const CustomerFileRow &row = read.rows.at(i);
        if (stored.at(i).id == 0) {
            ++result.added;
            continue;
        }
        const Customer before = stored.at(i);
        cards[i] = updatedByRow(before, row);
        // The row may change what the card had: the card as it would be is checked again.
        for (const CustomerProblem &problem : customerProblems(cards.at(i)))
            result.errors << lineText(row.line) + problem.message
                    + QStringLiteral(" (с карточкой клиента %1).").arg(before.name());
        ++result.updated;
        result.updates << lineText(row.line)
                + QStringLiteral("%1 — обновлён.").arg(cards.at(i).name());
    }
    if (!result.errors.isEmpty())
        return result;
    CustomerSaveResult failure = CustomerSaveResult::Failed;
    int failedAt = -1;
    Customer other;
    if (!store.saveAll(&cards, counter, &failure, &failedAt, &other)) {
        const QString where = failedAt >= 0 ? lineText(read.rows.at(failedAt).line) : QString();
        if (failure == CustomerSaveResult::Duplicate)
            result.errors << where
                    + QStringLiteral("тот же ИНН и КПП или телефон, что у клиента %1.")
                          .arg(other.name());
        else
            result.errors << where
                    + QStringLiteral("клиенты не сохранены: база отказала в записи.");
        return result;
    }
    result.stored = true;
    return result;
}
