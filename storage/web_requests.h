// Requests from the website in the shop's database: stored with status "Заявка" under a number
// of their own, listed for the counter and on its board, confirmed into an order (which then takes
// its invoice number, source "сайт") or cancelled with a reason. Works on one open connection in
// the calling thread; on PostgreSQL each change is announced on the orders' channel.
#pragma once

#include "order/order_line.h"
#include "storage/order_book.h"

#include <QDate>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class Connection;

struct WebRequestRecord
{
    enum State { Waiting = 0, Confirmed = 1, Cancelled = 2 };

    qint64 number = 0;
    State state = Waiting;
    QDateTime created;
    QString name;
    QString phone;
    QString email;
    QString comment;
    QDate due; // null: no wish
    QVector<OrderLine> lines;
    int priceVersion = 0;
    qint64 totalKopecks = 0;
    qint64 invoiceNumber = 0; // once confirmed
    QString cancelReason;
};

// A mail's subject and lines.
struct MailText
{
    QString subject;
    QStringList body;
};
// The mail telling the customer their request arrived, made once its number is known.
using RequestMail = std::function<MailText(qint64 number, const WebRequestRecord &request)>;

// Stores the request as waiting and gives its number; 0 on failure (the connection tells why).
// Nothing is kept once storeBy has passed: on PostgreSQL not even a commit the server reaches late.
// wanted, asked just before the commit, may still give the request up. Given a mail and an
// e-mail in the request, the mail is queued in the same transaction: no mail of a request not
// kept, no request kept without its mail.
qint64 storeWebRequest(Connection &connection, const WebRequestRecord &request,
                       const QDeadlineTimer &storeBy = QDeadlineTimer(QDeadlineTimer::Forever),
                       const std::function<bool()> &wanted = {}, const RequestMail &mail = {});
bool loadWebRequest(Connection &connection, qint64 number, WebRequestRecord *request);
// The waiting requests, oldest first.
QVector<WebRequestRecord> waitingWebRequests(Connection &connection, bool *ok = nullptr);
// The request taken as an order with status Принят: its lines, contact, wish and comment, source
// "сайт"; gives the invoice number. Confirming it again gives the same number; a cancelled one is
// refused (0, with the reason).
// Whose order it becomes: the request's contact alone, a stored card, or a new card of a person
// made of the contact (the stored card with the same phone, if one came meanwhile).
struct RequestCard
{
    enum Choice { ContactOnly, Existing, New };
    Choice choice = ContactOnly;
    qint64 id = 0; // Existing
};
qint64 confirmWebRequest(Connection &connection, OrderBook &book, qint64 number,
                         const QString &counter, qint64 lowestNumber, QString *error,
                         const RequestCard &card = RequestCard());
// The stored cards the request's phone or e-mail names, oldest first (a few at most).
bool requestCards(Connection &connection, const WebRequestRecord &request,
                  QVector<Customer> *cards);
bool cancelWebRequest(Connection &connection, qint64 number, QString *error,
                      const QString &reason = QString());
// The waiting requests as the board lists them (requestNumber set, number 0, source "сайт"),
// oldest first, with only the columns it shows; text finds the request's number, the name, the
// e-mail or the phone's digits as the board's search does.
QVector<TakenOrder> waitingRequestRows(Connection &connection, const QString &text,
                                       bool *ok = nullptr);
