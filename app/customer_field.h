// The counter's customer field: what is typed asks the shop for matches (never waiting for the
// database on the window's thread), the completer lists them best first, Enter takes the first
// (or the one picked in the list), Escape or an emptied field leaves the order without a
// customer; the line beside it names the chosen one.
#pragma once

#include "customers/customer.h"

#include <QObject>
#include <QString>
#include <QVector>

class Order;
class ShopLink;
class QCompleter;
class QLabel;
class QLineEdit;
class QStandardItemModel;

// "Ромашка · +7 912 345-67-89 · скидка 5 %": the chosen customer as the counter names them.
QString customerLine(const Customer &customer, qint64 owedKopecks = 0);

class CustomerField : public QObject
{
    Q_OBJECT

public:
    // How many matches the list shows.
    static constexpr int MatchLimit = 10;

    CustomerField(Order *order, ShopLink *shop, QLineEdit *field, QLabel *label, QObject *parent);

    // The matches listed now, best first, and the text they were found for.
    const QVector<Customer> &matches() const { return found; }
    QString matchesFor() const { return foundFor; }
    QCompleter *completer() const { return list; }
    // What the field holds when it is not the chosen customer's name: the start of a new card.
    QString typed() const;

    void takeFirst();
    void take(const Customer &customer);
    // No customer, the field emptied.
    void leave();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ask(const QString &text);
    void showMatches(const QVector<Customer> &customers, const QString &text);
    void showChosen();

    Order *order;
    ShopLink *shop;
    QLineEdit *field;
    QLabel *label;
    QCompleter *list;
    QStandardItemModel *model;
    QVector<Customer> found;
    QString foundFor;
    QString asked; // the text of the latest question, answered or not
    int serial = 0;
    // What the chosen customer owes over their orders, asked of the shop when they are chosen.
    void askOwed(qint64 id);
    qint64 owedFor = 0;
    qint64 owed = 0;
    int owedSerial = 0;
    bool takeWhenFound = false;
};
