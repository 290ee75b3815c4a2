// The shop's customers in its database: the card stored after its checks and never twice for the
// same requisites or the same person's phone, the counter's search by the beginnings of what is
// typed, merging two cards, clearing a person's data, and the card's invoices. Works on one open
// connection in the calling thread (the window goes through ShopLink's thread).
#pragma once

#include "customers/requisites.h"
#include "order/order_status.h"

#include <QDateTime>
#include <QVector>

class Connection;
class QSqlQuery;

// One invoice of a customer's history.
struct CustomerInvoice
{
    qint64 number = 0;
    QDateTime created;
    double total = 0.0;
    bool isVoid = false;
    // Taken as an order: its status and what was paid of it.
    bool taken = false;
    OrderStatus status = OrderStatus::Accepted;
    qint64 paidKopecks = 0;

    qint64 totalKopecks() const { return kopecksOf(total); }
    // What is left to pay of an order neither cancelled nor void; 0 for a plain invoice.
    qint64 owedKopecks() const;
    // "аннулирован", "Выдан · оплачен", or nothing for a plain invoice.
    QString mark() const;
};

// What the customer still owes over all their orders.
qint64 owedKopecks(const QVector<CustomerInvoice> &invoices);

enum class CustomerSaveResult { Saved, Invalid, Duplicate, Failed };

class CustomerStore
{
public:
    explicit CustomerStore(Connection &connection);

    // Best matches first for text typed at the counter (two characters or more): the names'
    // beginnings of words, the ИНН's beginning, the e-mail, the phone's digits (8 and +7 alike).
    // A limit of 0 gives every match.
    QVector<Customer> matches(const QString &text, int limit, bool *ok = nullptr);
    // Every customer, by name; text narrows as matches does (empty: all).
    QVector<Customer> list(const QString &text, bool *ok = nullptr);
    bool load(qint64 id, Customer *customer);
    // New (id 0) or changed; stamps created/changed and the counter. On Duplicate, *existing is
    // the customer with the same ИНН+КПП or the same person's phone.
    CustomerSaveResult save(Customer *customer, const QString &counter,
                            QVector<CustomerProblem> *problems = nullptr,
                            Customer *existing = nullptr);
    // Several cards in one transaction, as an import stores them: all stored, or none (false,
    // with the result for the card at *failedAt, -1 when no one card is to blame; on Duplicate,
    // *existing is the stored card or the earlier card of the batch with the same requisites).
    bool saveAll(QVector<Customer> *customers, const QString &counter,
                 CustomerSaveResult *failure = nullptr, int *failedAt = nullptr,
                 Customer *existing = nullptr);
    // For each card the stored customer it repeats (id 0: none), read a few hundred at a time.
    bool findSameAll(const QVector<Customer> &customers, QVector<Customer> *existing);
    // The stored customer with the same ИНН+КПП, or the same phone for a person, other than the
    // customer itself; false when there is none (or it cannot be read: the connection tells).
    bool findSame(const Customer &customer, Customer *existing);
    // The cards a contact names: the same phone's digits or the same e-mail, oldest first, at
    // most limit; cleared cards never. False when they cannot be read.
    bool findByContact(const QString &phone, const QString &email, int limit,
                       QVector<Customer> *found);
    // The second one's invoices go to the first; the second is gone. What the first lacks (a
    // phone, an ИНН…) is taken from the second.
    bool merge(qint64 keptId, qint64 goneId);
    // A private person's name, phone, e-mail and address become "удалено", in the card and in
    // the search; issued invoices keep what they printed. False for an organisation or an ИП.
    bool clearPersonalData(qint64 id);
    QVector<CustomerInvoice> invoices(qint64 id, bool *ok = nullptr); // newest first

private:
    bool failed(const QSqlQuery &query);
    CustomerSaveResult store(Customer *customer, const QString &counter, Customer *existing);
    bool writeWords(const Customer &customer);

    Connection &connection;
};

// The word "удалено" that replaces a person's cleared data.
QString clearedText();
// Text folded for the search: lower case, "ё" as "е", words separated by one blank.
QString foldedSearchText(const QString &text);
