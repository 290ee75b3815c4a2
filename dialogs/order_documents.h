// The act of the work done and the job ticket, made from a stored invoice or order by its number
// (the journal's button, the orders board, anywhere that knows a number): read through the shop
// link's thread, written as a PDF into the settings' folder and opened, or sent to a printer.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class Prompts;
class QPrinter;
class QWidget;
class ShopLink;

class OrderDocuments : public QObject
{
    Q_OBJECT

public:
    // Without prompts the outcome is only signalled (a dialog shows it in its own status line).
    OrderDocuments(ShopLink *shop, Prompts *prompts, QWidget *parent);

    // The act takes the invoice's number, date and tax; the ticket is of a taken order.
    void writeActPdf(qint64 number);
    void printAct(qint64 number);
    void writeTicketPdf(qint64 number);
    void printTicket(qint64 number);

    // Who signed in at the counter, for the journal's record of each act; none by default.
    void setOperatorName(std::function<QString()> name) { operatorName = std::move(name); }

    // Qt's print dialog unless replaced (a test's printer, a default printer).
    void setPrinterChoice(std::function<bool(QPrinter *)> choose) { choosePrinter = choose; }

signals:
    // Every request ends so: whether the document was made, the PDF written (empty when printed
    // or not made) and what the operator is told.
    void finished(bool made, const QString &path, const QString &message);

private:
    enum Kind { Act, Ticket };
    void make(Kind kind, qint64 number, bool print);
    void end(bool made, const QString &path, const QString &message);

    ShopLink *shop;
    Prompts *prompts;
    QWidget *parentWidget;
    std::function<bool(QPrinter *)> choosePrinter;
    std::function<QString()> operatorName;
};
