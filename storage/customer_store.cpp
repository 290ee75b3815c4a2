// Customers in SQL. The search reads customer_word, where every beginning the counter may type is
// a range of the index (rank, word): the folded whole names (rank 0), each word of the names (1),
// the ИНН (2), the phone's digits with and without the country's 7 (3), the e-mail (4). Each rank
// is read in the index's order up to the limit, so a search costs the same over a hundred cards
// or a hundred thousand.
#include "storage/customer_store.h"

#include "storage/connection.h"
#include "storage/records.h"
#include "storage/sql_lines.h"
#include "storage/transaction.h"

#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace {

enum Rank { WholeName = 0, NameWord = 1, InnRank = 2, PhoneRank = 3, EmailRank = 4 };

const QString CustomerColumns = QStringLiteral(
    "id, kind, short_name, full_name, inn, kpp, ogrn, address, phone, email, contact, bik, "
    "account, correspondent_account, bank_name, discount, note, created, created_at, changed, "
    "changed_at, personal_data_cleared");

Customer readCustomer(const QSqlQuery &query)
{
    Customer customer;
    customer.id = query.value(0).toLongLong();
    const int kind = query.value(1).toInt();
    customer.kind = kind == Customer::SoleTrader ? Customer::SoleTrader
        : kind == Customer::Person               ? Customer::Person
                                                 : Customer::Organisation;
    QString *texts[] = {&customer.shortName, &customer.fullName, &customer.inn,
                        &customer.kpp,       &customer.ogrn,     &customer.address,
                        &customer.phone,     &customer.email,    &customer.contact,
                        &customer.bik,       &customer.account,  &customer.correspondentAccount,
                        &customer.bankName};
    int field = 2;
    for (QString *text : texts)
        *text = query.value(field++).toString();
    customer.discountHundredths = query.value(15).toInt();
    customer.note = query.value(16).toString();
    customer.created = readStoredTime(query.value(17).toString());
    customer.createdAt = query.value(18).toString();
    customer.changed = readStoredTime(query.value(19).toString());
    customer.changedAt = query.value(20).toString();
    customer.personalDataCleared = query.value(21).toInt() != 0;
    return customer;
}

// kind … note, in the order of CustomerColumns after the id.
void bindCard(QSqlQuery &query, const Customer &customer)
{
    query.addBindValue(int(customer.kind));
    for (const QString &text :
         {customer.shortName, customer.fullName, customer.inn, customer.kpp, customer.ogrn,
          customer.address, customer.phone, customer.email, customer.contact, customer.bik,
          customer.account, customer.correspondentAccount, customer.bankName})
        query.addBindValue(notNull(text));
    query.addBindValue(customer.discountHundredths);
    query.addBindValue(notNull(customer.note));
}

QStringList foldedWords(const QString &text)
{
    QString lower = text.toLower();
    lower.replace(QChar(0x0451), QChar(0x0435)); // ё as е
    static const QRegularExpression separators(QStringLiteral("[^\\p{L}\\p{N}]+"));
    return lower.split(separators, Qt::SkipEmptyParts);
}

// The least text above every text that begins with the prefix: its last character one up.
QString prefixEnd(const QString &prefix)
{
    QString end = prefix;
    end[end.size() - 1] = QChar(end.at(end.size() - 1).unicode() + 1);
    return end;
}

struct Word
{
    int rank;
    QString word;
};

QVector<Word> wordsOf(const Customer &customer)
{
    QVector<Word> words;
    QSet<QString> seen;
    for (const QString &name : {customer.shortName, customer.fullName}) {
        const QStringList parts = foldedWords(name);
        if (parts.isEmpty())
            continue;
        const QString whole = parts.join(QLatin1Char(' '));
        if (!seen.contains(whole)) {
            words.append({WholeName, whole});
            seen.insert(whole);
        }
        for (const QString &part : parts)
            if (!seen.contains(QLatin1Char('\1') + part)) {
                words.append({NameWord, part});
                seen.insert(QLatin1Char('\1') + part);
            }
    }
    if (!customer.inn.isEmpty())
        words.append({InnRank, customer.inn});
    const QString digits = phoneDigits(customer.phone);
    if (!digits.isEmpty()) {
        words.append({PhoneRank, digits});
        if (digits.size() == 11 && digits.startsWith(QLatin1Char('7')))
            words.append({PhoneRank, digits.mid(1)});
    }
    const QString email = customer.email.trimmed().toLower();
    if (!email.isEmpty())
        words.append({EmailRank, email});
    return words;
}

// What a search looks for in each rank.
struct Probe
{
    int rank;
    QString prefix;
};

QVector<Probe> probesFor(const QString &text, QStringList *typedWords)
{
    QVector<Probe> probes;
    const QString trimmed = text.trimmed();
    *typedWords = foldedWords(trimmed);
    if (!typedWords->isEmpty()) {
        probes.append({WholeName, typedWords->join(QLatin1Char(' '))});
        QString longest;
        for (const QString &word : qAsConst(*typedWords))
            if (word.size() > longest.size())
                longest = word;
        probes.append({NameWord, longest});
    }
    static const QRegularExpression digitsOnly(QStringLiteral("^[0-9]+$"));
    if (digitsOnly.match(trimmed).hasMatch())
        probes.append({InnRank, trimmed});
    static const QRegularExpression phoneLike(QStringLiteral("^[0-9+()\\-\\s]+$"));
    if (phoneLike.match(trimmed).hasMatch()) {
        QString digits;
        for (const QChar c : trimmed)
            if (c.isDigit())
                digits += c;
        // 8 and +7 alike, as the phones are kept.
        if (digits.size() > 1 && digits.startsWith(QLatin1Char('8'))
            && !trimmed.startsWith(QLatin1Char('+')))
            digits[0] = QLatin1Char('7');
        if (!digits.isEmpty())
            probes.append({PhoneRank, digits});
    }
    if (!trimmed.contains(QLatin1Char(' ')) && !trimmed.isEmpty())
        probes.append({EmailRank, trimmed.toLower()});
    return probes;
}

// Every typed word begins a word of the names (a search of several words).
bool namesBeginWith(const Customer &customer, const QStringList &typedWords)
{
    const QStringList words
        = foldedWords(customer.shortName + QLatin1Char(' ') + customer.fullName);
    for (const QString &typed : typedWords) {
        bool found = false;
        for (const QString &word : words)
            found = found || word.startsWith(typed);
        if (!found)
            return false;
    }
    return true;
}

QString nowText()
{
    return storedTime(QDateTime::currentDateTime());
}

} // namespace

QString clearedText()
{
    return QStringLiteral("удалено");
}

QString foldedSearchText(const QString &text)
{
    return foldedWords(text).join(QLatin1Char(' '));
}

CustomerStore::CustomerStore(Connection &c)
    : connection(c)
{ }

bool CustomerStore::failed(const QSqlQuery &query)
{
    connection.noteError(query.lastError());
    return false;
}

QVector<Customer> CustomerStore::matches(const QString &text, int limit, bool *ok)
{
    if (ok)
        *ok = connection.isOpen();
    QStringList typedWords;
    const QVector<Probe> probes = probesFor(text, &typedWords);
    if (!connection.isOpen() || text.trimmed().size() < 2)
        return {};
    const bool severalWords = typedWords.size() > 1;
    if (probes.isEmpty())
        return {};
    // Every rank read in one statement, each in its index's order up to its limit: a single
    // round trip to a server on the network.
    QStringList parts;
    for (int i = 0; i < probes.size(); ++i) {
        // One word of several finds candidates that the other words may rule out.
        const int wanted = limit <= 0                       ? 0
            : probes.at(i).rank == NameWord && severalWords ? limit * 20
                                                            : limit;
        parts << QStringLiteral("SELECT * FROM (SELECT customer_id, %1 AS probe, word FROM "
                                "customer_word WHERE rank = ? AND word >= ? AND word < ? ORDER "
                                "BY word, customer_id%2) p%1")
                     .arg(i)
                     .arg(wanted > 0 ? QStringLiteral(" LIMIT %1").arg(wanted) : QString());
    }
    static const QString columns = QStringLiteral("c.")
        + QString(CustomerColumns).replace(QStringLiteral(", "), QStringLiteral(", c."));
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1, m.probe FROM (%2) m JOIN customer c ON c.id = "
                                 "m.customer_id ORDER BY m.probe, m.word, c.id")
                      .arg(columns, parts.join(QStringLiteral(" UNION ALL "))));
    for (const Probe &probe : probes) {
        query.addBindValue(probe.rank);
        query.addBindValue(probe.prefix);
        query.addBindValue(prefixEnd(probe.prefix));
    }
    if (!query.exec()) {
        failed(query);
        if (ok)
            *ok = false;
        return {};
    }
    QVector<Customer> found;
    QSet<qint64> seen;
    QSet<qint64> byNameWord; // found by one word of several typed: the others are checked after
    while (query.next()) {
        const qint64 id = query.value(0).toLongLong();
        if (seen.contains(id))
            continue;
        seen.insert(id);
        found.append(readCustomer(query));
        if (probes.at(query.value(22).toInt()).rank == NameWord && severalWords)
            byNameWord.insert(id);
    }
    if (!byNameWord.isEmpty())
        found.erase(std::remove_if(found.begin(), found.end(),
                                   [&](const Customer &customer) {
                                       return byNameWord.contains(customer.id)
                                           && !namesBeginWith(customer, typedWords);
                                   }),
                    found.end());
    if (limit > 0 && found.size() > limit)
        found.resize(limit);
    return found;
}

QVector<Customer> CustomerStore::list(const QString &text, bool *ok)
{
    if (ok)
        *ok = false;
    if (!connection.isOpen())
        return {};
    if (!text.trimmed().isEmpty()) {
        bool done = false;
        QVector<Customer> found = matches(text, 0, &done);
        std::stable_sort(found.begin(), found.end(), [](const Customer &a, const Customer &b) {
            const QString first = foldedSearchText(a.name());
            const QString second = foldedSearchText(b.name());
            return first != second ? first < second : a.id < b.id;
        });
        if (ok)
            *ok = done;
        return found;
    }
    QVector<Customer> found;
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT %1 FROM customer ORDER BY search_name, id")
                        .arg(CustomerColumns))) {
        failed(query);
        return found;
    }
    while (query.next())
        found.append(readCustomer(query));
    if (ok)
        *ok = true;
    return found;
}

bool CustomerStore::load(qint64 id, Customer *customer)
{
    if (!connection.isOpen())
        return false;
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("SELECT %1 FROM customer WHERE id = ?").arg(CustomerColumns));
    query.addBindValue(id);
    if (!query.exec())
        return failed(query);
    if (!query.next())
        return false;
    *customer = readCustomer(query);
    return true;
}

bool CustomerStore::findSame(const Customer &customer, Customer *existing)
{
    if (!connection.isOpen())
        return false;
    QSqlQuery query(connection.database());
    const QString digits = phoneDigits(customer.phone);
    if (!customer.inn.isEmpty()) {
        query.prepare(
            QStringLiteral(
                "SELECT %1 FROM customer WHERE inn <> '' AND inn = ? AND kpp = ? AND id <> "
                "? ORDER BY id")
                .arg(CustomerColumns));
        query.addBindValue(customer.inn);
        query.addBindValue(notNull(customer.kpp));
        query.addBindValue(customer.id);
        if (!query.exec())
            return failed(query);
        if (query.next()) {
            *existing = readCustomer(query);
            return true;
        }
    }
    if (customer.kind == Customer::Person && !digits.isEmpty()) {
        query.prepare(QStringLiteral("SELECT %1 FROM customer WHERE kind = 2 AND phone_digits <> "
                                     "'' AND phone_digits = ? "
                                     "AND id <> ? ORDER BY id")
                          .arg(CustomerColumns));
        query.addBindValue(digits);
        query.addBindValue(customer.id);
        if (!query.exec())
            return failed(query);
        if (query.next()) {
            *existing = readCustomer(query);
            return true;
        }
    }
    return false;
}

bool CustomerStore::findByContact(const QString &phone, const QString &email, int limit,
                                  QVector<Customer> *found)
{
    found->clear();
    if (!connection.isOpen())
        return false;
    const QString digits = phoneDigits(phone);
    const QString address = email.trimmed().toLower();
    if (digits.isEmpty() && address.isEmpty())
        return true;
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("SELECT %1 FROM customer WHERE personal_data_cleared = 0 AND "
                                 "((phone_digits <> '' AND phone_digits = ?) OR (email <> '' AND "
                                 "lower(email) = ?)) ORDER BY id LIMIT ?")
                      .arg(CustomerColumns));
    query.addBindValue(digits.isEmpty() ? QStringLiteral("-") : digits);
    query.addBindValue(address.isEmpty() ? QStringLiteral("-") : address);
    query.addBindValue(limit);
    if (!query.exec())
        return failed(query);
    while (query.next())
        found->append(readCustomer(query));
    return true;
}

bool CustomerStore::writeWords(const Customer &customer)
{
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("DELETE FROM customer_word WHERE customer_id = ?"));
    query.addBindValue(customer.id);
    if (!query.exec())
        return failed(query);
    query.prepare(
        QStringLiteral("INSERT INTO customer_word (rank, word, customer_id) VALUES (?, ?, ?)"));
    for (const Word &word : wordsOf(customer)) {
        query.addBindValue(word.rank);
        query.addBindValue(word.word);
        query.addBindValue(customer.id);
        if (!query.exec())
            return failed(query);
    }
    return true;
}

// Inside the caller's transaction.
CustomerSaveResult CustomerStore::store(Customer *customer, const QString &counter,
                                        Customer *existing)
{
    Customer found;
    if (findSame(*customer, &found)) {
        if (existing)
            *existing = found;
        return CustomerSaveResult::Duplicate;
    }
    if (connection.fault() != StorageFault::None)
        return CustomerSaveResult::Failed;
    const QString at = nowText();
    QSqlQuery query(connection.database());
    const QString searchName = foldedSearchText(customer->name());
    const QString digits = phoneDigits(customer->phone);
    if (customer->id == 0) {
        query.prepare(
            QStringLiteral("INSERT INTO customer (kind, short_name, full_name, inn, kpp, "
                           "ogrn, address, phone, email, contact, bik, account, "
                           "correspondent_account, bank_name, discount, note, created, "
                           "created_at, changed, changed_at, personal_data_cleared, "
                           "search_name, phone_digits) VALUES (?, ?, ?, ?, ?, ?, ?, ?, "
                           "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)%1")
                .arg(connection.isSqlite() ? QString() : QStringLiteral(" RETURNING id")));
        bindCard(query, *customer);
        for (const QVariant &value :
             {QVariant(at), QVariant(notNull(counter)), QVariant(at), QVariant(notNull(counter)),
              QVariant(int(customer->personalDataCleared)), QVariant(notNull(searchName)),
              QVariant(notNull(digits))})
            query.addBindValue(value);
        if (!query.exec()) {
            failed(query);
            return CustomerSaveResult::Failed;
        }
        const qint64 id = connection.isSqlite() ? query.lastInsertId().toLongLong()
                                                : (query.next() ? query.value(0).toLongLong() : 0);
        if (id == 0)
            return CustomerSaveResult::Failed;
        customer->id = id;
        customer->created = readStoredTime(at);
        customer->createdAt = counter;
    } else {
        query.prepare(QStringLiteral("UPDATE customer SET kind = ?, short_name = ?, full_name = ?, "
                                     "inn = ?, kpp = ?, ogrn = ?, address = ?, phone = ?, email = "
                                     "?, contact = ?, bik = ?, account = ?, "
                                     "correspondent_account = ?, bank_name = ?, discount = ?, "
                                     "note = ?, changed = ?, changed_at = ?, "
                                     "personal_data_cleared = ?, search_name = ?, phone_digits = "
                                     "? WHERE id = ?"));
        bindCard(query, *customer);
        for (const QVariant &value :
             {QVariant(at), QVariant(notNull(counter)),
              QVariant(int(customer->personalDataCleared)), QVariant(notNull(searchName)),
              QVariant(notNull(digits)), QVariant(customer->id)})
            query.addBindValue(value);
        if (!query.exec()) {
            failed(query);
            return CustomerSaveResult::Failed;
        }
        if (query.numRowsAffected() != 1)
            return CustomerSaveResult::Failed; // gone meanwhile: merged into another
        Customer stored;
        if (load(customer->id, &stored)) {
            customer->created = stored.created;
            customer->createdAt = stored.createdAt;
        }
    }
    customer->changed = readStoredTime(at);
    customer->changedAt = counter;
    return writeWords(*customer) ? CustomerSaveResult::Saved : CustomerSaveResult::Failed;
}

namespace {

// Blanks around what was typed are no part of it.
void trimCard(Customer *customer)
{
    for (QString *text : {&customer->shortName, &customer->fullName, &customer->inn, &customer->kpp,
                          &customer->ogrn, &customer->address, &customer->phone, &customer->email,
                          &customer->contact, &customer->bik, &customer->account,
                          &customer->correspondentAccount, &customer->bankName, &customer->note})
        *text = text->trimmed();
}

} // namespace

CustomerSaveResult CustomerStore::save(Customer *customer, const QString &counter,
                                       QVector<CustomerProblem> *problems, Customer *existing)
{
    trimCard(customer);
    const QVector<CustomerProblem> found = customerProblems(*customer);
    if (problems)
        *problems = found;
    if (!found.isEmpty())
        return CustomerSaveResult::Invalid;
    if (!connection.isOpen() || !connection.writable())
        return CustomerSaveResult::Failed;
    Customer changed = *customer;
    CustomerSaveResult result = CustomerSaveResult::Failed;
    {
        Transaction transaction(connection);
        if (!transaction.isActive())
            return CustomerSaveResult::Failed;
        result = store(&changed, counter, existing);
        if (result == CustomerSaveResult::Saved && !transaction.commit())
            result = CustomerSaveResult::Failed;
    }
    if (result == CustomerSaveResult::Failed) {
        // Another counter may have stored the same customer at the same moment: the unique
        // index refused this one, and the other is the one to offer.
        const StorageFault fault = connection.fault();
        const QString error = connection.errorText();
        Customer other;
        connection.clearFault();
        if (findSame(*customer, &other)) {
            if (existing)
                *existing = other;
            return CustomerSaveResult::Duplicate;
        }
        if (fault != StorageFault::None)
            connection.noteError(QSqlError(error, QString(), QSqlError::StatementError));
        return result;
    }
    if (result == CustomerSaveResult::Saved)
        *customer = changed;
    return result;
}

namespace {

// Chunks of a list for statements with many values: each database limits them.
// Values to a statement: a few hundred save round trips to a server; SQLite has none to save,
// and its driver looks each value's place up anew, so there few are quicker.
int valuesPerStatement(const Connection &connection, int forServer)
{
    return connection.isSqlite() ? qMin(forServer, 25) : forServer;
}

template<class T, class Visit> bool inChunks(const QVector<T> &items, int size, Visit visit)
{
    for (int first = 0; first < items.size(); first += size)
        if (!visit(items.mid(first, size)))
            return false;
    return true;
}

// Prepares the statement unless the query holds it already: chunks of one size share one
// statement, parsed once by SQLite and prepared once on the server, not once a chunk.
bool prepareOnce(QSqlQuery &query, const QString &statement, QString *prepared)
{
    if (*prepared == statement)
        return true;
    prepared->clear();
    if (!query.prepare(statement))
        return false;
    *prepared = statement;
    return true;
}

// "(?,?),(?,?)" for rows of columns; "?,?,?" for a list of values when columns is 0.
QString marks(int rows, int columns = 0)
{
    if (columns == 0)
        return QString(QStringLiteral("?,")).repeated(rows).chopped(1);
    QStringList row;
    for (int i = 0; i < columns; ++i)
        row << QStringLiteral("?");
    const QString one = QLatin1Char('(') + row.join(QLatin1Char(',')) + QLatin1Char(')');
    QStringList all;
    for (int i = 0; i < rows; ++i)
        all << one;
    return all.join(QLatin1Char(','));
}

QString requisiteKey(const Customer &customer)
{
    return customer.inn + QLatin1Char('/') + customer.kpp;
}

} // namespace

bool CustomerStore::findSameAll(const QVector<Customer> &customers, QVector<Customer> *existing)
{
    existing->fill(Customer(), customers.size());
    if (!connection.isOpen())
        return false;
    QVector<QString> inns;
    QVector<QString> phones;
    QSet<QString> seenInns;
    QSet<QString> seenPhones;
    for (const Customer &customer : customers) {
        if (!customer.inn.isEmpty() && !seenInns.contains(customer.inn)) {
            seenInns.insert(customer.inn);
            inns.append(customer.inn);
        }
        const QString digits = phoneDigits(customer.phone);
        if (customer.kind == Customer::Person && !digits.isEmpty()
            && !seenPhones.contains(digits)) {
            seenPhones.insert(digits);
            phones.append(digits);
        }
    }
    QHash<QString, Customer> byRequisites;
    QHash<QString, Customer> byPhone;
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    const auto read
        = [&](const QString &condition, const QVector<QString> &values, bool requisites) {
              QString prepared;
              return inChunks(
                  values, valuesPerStatement(connection, 500), [&](const QVector<QString> &chunk) {
                      if (!prepareOnce(query,
                                       QStringLiteral("SELECT %1 FROM customer WHERE %2 IN (%3)")
                                           .arg(CustomerColumns, condition, marks(chunk.size())),
                                       &prepared))
                          return failed(query);
                      for (const QString &value : chunk)
                          query.addBindValue(value);
                      if (!query.exec())
                          return failed(query);
                      while (query.next()) {
                          const Customer customer = readCustomer(query);
                          if (requisites)
                              byRequisites.insert(requisiteKey(customer), customer);
                          else
                              byPhone.insert(phoneDigits(customer.phone), customer);
                      }
                      return true;
                  });
          };
    // The conditions of the partial indexes written out, so that both databases use them.
    if (!read(QStringLiteral("inn <> '' AND inn"), inns, true)
        || !read(QStringLiteral("kind = 2 AND phone_digits <> '' AND phone_digits"), phones, false))
        return false;
    for (int i = 0; i < customers.size(); ++i) {
        const Customer &customer = customers.at(i);
        Customer found;
        if (!customer.inn.isEmpty())
            found = byRequisites.value(requisiteKey(customer));
        if (found.id == 0 && customer.kind == Customer::Person)
            found = byPhone.value(phoneDigits(customer.phone));
        if (found.id != customer.id)
            (*existing)[i] = found;
    }
    return true;
}

bool CustomerStore::saveAll(QVector<Customer> *customers, const QString &counter,
                            CustomerSaveResult *failure, int *failedAt, Customer *existing)
{
    const auto fail = [&](CustomerSaveResult result, int at, const Customer &other) {
        if (failure)
            *failure = result;
        if (failedAt)
            *failedAt = at;
        if (existing)
            *existing = other;
        return false;
    };
    if (!connection.isOpen() || !connection.writable())
        return fail(CustomerSaveResult::Failed, -1, Customer());
    QVector<Customer> changed = *customers;
    // One card for each requisite pair and person's phone, in the batch as in the database.
    QHash<QString, int> requisites;
    QHash<QString, int> phones;
    for (int i = 0; i < changed.size(); ++i) {
        Customer &customer = changed[i];
        trimCard(&customer);
        if (!customerProblems(customer).isEmpty())
            return fail(CustomerSaveResult::Invalid, i, Customer());
        const QString digits = phoneDigits(customer.phone);
        const int before = !customer.inn.isEmpty() ? requisites.value(requisiteKey(customer), -1)
            : customer.kind == Customer::Person && !digits.isEmpty() ? phones.value(digits, -1)
                                                                     : -1;
        if (before >= 0)
            return fail(CustomerSaveResult::Duplicate, i, changed.at(before));
        if (!customer.inn.isEmpty())
            requisites.insert(requisiteKey(customer), i);
        else if (customer.kind == Customer::Person && !digits.isEmpty())
            phones.insert(digits, i);
    }
    // Thousands of cards touch pages all over the word index: SQLite is given the room to keep
    // them in memory until the commit, instead of writing them out and reading them back.
    const bool roomy = connection.isSqlite() && changed.size() > 100;
    if (roomy)
        QSqlQuery(connection.database()).exec(QStringLiteral("PRAGMA cache_size = -65536"));
    const auto back = qScopeGuard([&] {
        if (roomy)
            QSqlQuery(connection.database()).exec(QStringLiteral("PRAGMA cache_size = -2000"));
    });
    Transaction transaction(connection);
    if (!transaction.isActive())
        return fail(CustomerSaveResult::Failed, -1, Customer());
    QVector<Customer> stored;
    if (!findSameAll(changed, &stored))
        return fail(CustomerSaveResult::Failed, -1, Customer());
    for (int i = 0; i < changed.size(); ++i)
        if (stored.at(i).id != 0)
            return fail(CustomerSaveResult::Duplicate, i, stored.at(i));

    const QString at = nowText();
    const QDateTime stamp = readStoredTime(at);
    QSqlQuery query(connection.database());
    QVector<int> fresh;
    QVector<qint64> updated;
    QVector<bool> isFresh(changed.size(), false);
    for (int i = 0; i < changed.size(); ++i) {
        isFresh[i] = changed.at(i).id == 0;
        if (isFresh.at(i))
            fresh.append(i);
        else
            updated.append(changed.at(i).id);
    }
    const auto bindRest = [&](QSqlQuery &q, const Customer &customer) {
        bindCard(q, customer);
        for (const QVariant &value :
             {QVariant(at), QVariant(notNull(counter)), QVariant(at), QVariant(notNull(counter)),
              QVariant(int(customer.personalDataCleared)),
              QVariant(notNull(foldedSearchText(customer.name()))),
              QVariant(notNull(phoneDigits(customer.phone)))})
            q.addBindValue(value);
    };
    const QString insertColumns = QStringLiteral(
        "kind, short_name, full_name, inn, kpp, ogrn, address, phone, email, contact, bik, "
        "account, correspondent_account, bank_name, discount, note, created, created_at, changed, "
        "changed_at, personal_data_cleared, search_name, phone_digits");
    if (connection.isSqlite()) {
        // SQLite's statements cost no round trip: one a card, each id as it comes.
        query.prepare(
            QStringLiteral("INSERT INTO customer (%1) VALUES %2").arg(insertColumns, marks(1, 23)));
        for (const int i : qAsConst(fresh)) {
            bindRest(query, changed.at(i));
            if (!query.exec()) {
                failed(query);
                return fail(CustomerSaveResult::Failed, i, Customer());
            }
            changed[i].id = query.lastInsertId().toLongLong();
        }
    } else if (!fresh.isEmpty()) {
        // The ids taken first, then the cards a few hundred to a statement.
        query.prepare(QStringLiteral("SELECT nextval(pg_get_serial_sequence('customer', 'id')) "
                                     "FROM generate_series(1, ?)"));
        query.addBindValue(fresh.size());
        if (!query.exec()) {
            failed(query);
            return fail(CustomerSaveResult::Failed, -1, Customer());
        }
        for (const int i : qAsConst(fresh))
            if (query.next())
                changed[i].id = query.value(0).toLongLong();
        QString prepared;
        const bool inserted = inChunks(fresh, 200, [&](const QVector<int> &chunk) {
            if (!prepareOnce(query,
                             QStringLiteral("INSERT INTO customer (id, %1) VALUES %2")
                                 .arg(insertColumns, marks(chunk.size(), 24)),
                             &prepared))
                return failed(query);
            for (const int i : chunk) {
                query.addBindValue(changed.at(i).id);
                bindRest(query, changed.at(i));
            }
            return query.exec() || failed(query);
        });
        if (!inserted)
            return fail(CustomerSaveResult::Failed, -1, Customer());
    }
    for (const int i : qAsConst(fresh)) {
        changed[i].created = stamp;
        changed[i].createdAt = counter;
    }
    if (!updated.isEmpty()) {
        query.prepare(QStringLiteral("UPDATE customer SET kind = ?, short_name = ?, full_name = ?, "
                                     "inn = ?, kpp = ?, ogrn = ?, address = ?, phone = ?, email = "
                                     "?, contact = ?, bik = ?, account = ?, "
                                     "correspondent_account = ?, bank_name = ?, discount = ?, "
                                     "note = ?, changed = ?, changed_at = ?, "
                                     "personal_data_cleared = ?, search_name = ?, phone_digits = "
                                     "? WHERE id = ?"));
        for (int i = 0; i < changed.size(); ++i) {
            const Customer &customer = changed.at(i);
            if (isFresh.at(i))
                continue;
            bindCard(query, customer);
            for (const QVariant &value :
                 {QVariant(at), QVariant(notNull(counter)),
                  QVariant(int(customer.personalDataCleared)),
                  QVariant(notNull(foldedSearchText(customer.name()))),
                  QVariant(notNull(phoneDigits(customer.phone))), QVariant(customer.id)})
                query.addBindValue(value);
            if (!query.exec()) {
                failed(query);
                return fail(CustomerSaveResult::Failed, i, Customer());
            }
            if (query.numRowsAffected() != 1)
                return fail(CustomerSaveResult::Failed, i, Customer());
        }
        const bool deleted = inChunks(
            updated, valuesPerStatement(connection, 500), [&](const QVector<qint64> &chunk) {
                query.prepare(QStringLiteral("DELETE FROM customer_word WHERE customer_id IN (%1)")
                                  .arg(marks(chunk.size())));
                for (const qint64 id : chunk)
                    query.addBindValue(id);
                return query.exec() || failed(query);
            });
        if (!deleted)
            return fail(CustomerSaveResult::Failed, -1, Customer());
    }
    struct Row
    {
        Word word;
        qint64 id;
    };
    QVector<Row> rows;
    for (Customer &customer : changed) {
        customer.changed = stamp;
        customer.changedAt = counter;
        for (const Word &word : wordsOf(customer))
            rows.append({word, customer.id});
    }
    QString prepared;
    const bool wrote
        = inChunks(rows, valuesPerStatement(connection, 300), [&](const QVector<Row> &chunk) {
              if (!prepareOnce(query,
                               QStringLiteral(
                                   "INSERT INTO customer_word (rank, word, customer_id) VALUES %1")
                                   .arg(marks(chunk.size(), 3)),
                               &prepared))
                  return failed(query);
              for (const Row &row : chunk) {
                  query.addBindValue(row.word.rank);
                  query.addBindValue(row.word.word);
                  query.addBindValue(row.id);
              }
              return query.exec() || failed(query);
          });
    if (!wrote || !transaction.commit())
        return fail(CustomerSaveResult::Failed, -1, Customer());
    *customers = changed;
    return true;
}

bool CustomerStore::merge(qint64 keptId, qint64 goneId)
{
    if (!connection.isOpen() || !connection.writable() || keptId == goneId)
        return false;
    Transaction transaction(connection);
    if (!transaction.isActive())
        return false;
    Customer kept;
    Customer gone;
    if (!load(keptId, &kept) || !load(goneId, &gone))
        return false;
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("UPDATE invoice SET customer_id = ? WHERE customer_id = ?"));
    query.addBindValue(keptId);
    query.addBindValue(goneId);
    if (!query.exec())
        return failed(query);
    for (const char *table : {"customer_word WHERE customer_id", "customer WHERE id"}) {
        query.prepare(QStringLiteral("DELETE FROM ") + QLatin1String(table)
                      + QStringLiteral(" = ?"));
        query.addBindValue(goneId);
        if (!query.exec())
            return failed(query);
    }
    // The kept card takes what only the other had.
    bool filled = false;
    const auto fill = [&](QString &mine, const QString &theirs) {
        if (mine.isEmpty() && !theirs.isEmpty()) {
            mine = theirs;
            filled = true;
        }
    };
    fill(kept.fullName, gone.fullName);
    if (kept.kind == gone.kind) {
        fill(kept.inn, gone.inn);
        if (kept.inn == gone.inn)
            fill(kept.kpp, gone.kpp);
        fill(kept.ogrn, gone.ogrn);
    }
    fill(kept.address, gone.address);
    fill(kept.phone, gone.phone);
    fill(kept.email, gone.email);
    fill(kept.contact, gone.contact);
    if (kept.bik.isEmpty() && kept.account.isEmpty()) {
        fill(kept.bik, gone.bik);
        fill(kept.account, gone.account);
        fill(kept.correspondentAccount, gone.correspondentAccount);
        fill(kept.bankName, gone.bankName);
    }
    if (!gone.note.isEmpty() && !kept.note.contains(gone.note)) {
        kept.note = kept.note.isEmpty() ? gone.note : kept.note + QLatin1Char('\n') + gone.note;
        filled = true;
    }
    if (filled && customerProblems(kept).isEmpty()
        && store(&kept, kept.changedAt, nullptr) != CustomerSaveResult::Saved)
        return false;
    return transaction.commit();
}

bool CustomerStore::clearPersonalData(qint64 id)
{
    if (!connection.isOpen() || !connection.writable())
        return false;
    Transaction transaction(connection);
    if (!transaction.isActive())
        return false;
    Customer customer;
    if (!load(id, &customer) || customer.kind != Customer::Person)
        return false;
    const QString cleared = clearedText();
    customer.shortName = cleared;
    customer.fullName = customer.fullName.isEmpty() ? QString() : cleared;
    customer.phone = cleared;
    customer.email = cleared;
    customer.address = cleared;
    customer.personalDataCleared = true;
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("UPDATE customer SET short_name = ?, full_name = ?, phone = ?, "
                                 "email = ?, address = ?, personal_data_cleared = 1, "
                                 "search_name = ?, phone_digits = '', changed = ? WHERE id = ?"));
    for (const QVariant &value :
         {QVariant(customer.shortName), QVariant(notNull(customer.fullName)),
          QVariant(customer.phone), QVariant(customer.email), QVariant(customer.address),
          QVariant(foldedSearchText(cleared)), QVariant(nowText()), QVariant(id)})
        query.addBindValue(value);
    if (!query.exec())
        return failed(query);
    // The e-mail "удалено" is no address: it is not searched as one.
    customer.email.clear();
    return writeWords(customer) && transaction.commit();
}

QVector<CustomerInvoice> CustomerStore::invoices(qint64 id, bool *ok)
{
    QVector<CustomerInvoice> found;
    if (ok)
        *ok = false;
    if (!connection.isOpen())
        return found;
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral(
        "SELECT i.number, i.created, i.total, i.is_void, o.status, o.paid_kopecks FROM invoice i "
        "LEFT JOIN taken_order o ON o.invoice_number = i.number WHERE i.customer_id = ? "
        "ORDER BY i.number DESC"));
    query.addBindValue(id);
    if (!query.exec()) {
        failed(query);
        return found;
    }
    while (query.next()) {
        CustomerInvoice invoice;
        invoice.number = query.value(0).toLongLong();
        invoice.created = readStoredTime(query.value(1).toString());
        invoice.total = query.value(2).toDouble();
        invoice.isVoid = query.value(3).toInt() != 0;
        invoice.taken = !query.value(4).isNull();
        if (invoice.taken) {
            const int status = query.value(4).toInt();
            if (status >= 0 && status <= int(OrderStatus::Cancelled))
                invoice.status = OrderStatus(status);
            invoice.paidKopecks = query.value(5).toLongLong();
        }
        found.append(invoice);
    }
    if (ok)
        *ok = true;
    return found;
}

qint64 CustomerInvoice::owedKopecks() const
{
    if (!taken || isVoid || status == OrderStatus::Cancelled)
        return 0;
    return qMax<qint64>(0, totalKopecks() - paidKopecks);
}

QString CustomerInvoice::mark() const
{
    if (isVoid)
        return QStringLiteral("аннулирован");
    if (!taken)
        return QString();
    if (status == OrderStatus::Cancelled)
        return statusCaption(status);
    return statusCaption(status) + QStringLiteral(" · ")
        + paymentStateWord(paymentState(totalKopecks(), paidKopecks));
}

qint64 owedKopecks(const QVector<CustomerInvoice> &invoices)
{
    qint64 owed = 0;
    for (const CustomerInvoice &invoice : invoices)
        owed += invoice.owedKopecks();
    return owed;
}
