// Requests from the website in the shop's database: stored with status "Заявка" under a number
// of their own, listed for the counter, confirmed into an order (which then takes its invoice
// number, source "сайт") or cancelled. Works on one open connection in the calling thread.
#pragma once

#include "order/order_line.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVector>

class Connection;
class OrderBook;

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
};

// Stores the request as waiting and gives its number; 0 on failure (the connection tells why).
qint64 storeWebRequest(Connection &connection, const WebRequestRecord &request);
bool loadWebRequest(Connection &connection, qint64 number, WebRequestRecord *request);
// The waiting requests, oldest first.
QVector<WebRequestRecord> waitingWebRequests(Connection &connection, bool *ok = nullptr);
// The request taken as an order with status Принят: its lines, contact, wish and comment, source
// "сайт"; gives the invoice number. Confirming it again gives the same number; a cancelled one is
// refused (0, with the reason).
qint64 confirmWebRequest(Connection &connection, OrderBook &book, qint64 number,
                         const QString &counter, qint64 lowestNumber, QString *error);
bool cancelWebRequest(Connection &connection, qint64 number, QString *error);
