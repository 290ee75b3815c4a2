// "Клиенты": every customer of the shop by name, narrowed by what is typed as the counter's field
// narrows its matches; a customer opens in a card, and two selected duplicates become one (the
// operator says which stays; the other's invoices follow it). Every read goes through the shop's
// link.
#pragma once

#include "customers/customer.h"
#include "customers/customer_file.h"
#include "operators/rights.h"

#include <QDialog>
#include <QScopedPointer>
#include <QVector>

#include <functional>

namespace Ui {
class CustomersDialog;
}
class ShopLink;
class QThreadPool;
class QTimer;

class CustomersDialog : public QDialog
{
    Q_OBJECT

public:
    // openCard shows a customer's card (a new one for a null customer).
    CustomersDialog(ShopLink *shop, std::function<void(const Customer &)> openCard,
                    QWidget *parent);
    ~CustomersDialog() override;

    // Reads the list again with what the search field holds.
    void search();
    void openSelected();
    void mergeSelected();
    // The customers listed, in the table's order.
    const QVector<Customer> &shown() const { return listed; }

    // Which of two to keep: its id, or 0 when the operator changed their mind. The tests answer
    // instead of a message box.
    std::function<qint64(const Customer &first, const Customer &second)> chooseKept;
    // Asked before an action that needs a right (the window's operators): calls go when it may
    // be done, at once or once approved; never when refused. Unset, everything goes on at once.
    RightGuard guard;
    // A discount above it, by card or file, needs a manager's right; below 0: no cap.
    int discountCapHundredths = -1;

    // "Загрузить…" and "Выгрузить…": the file to read or write (empty: the operator changed their
    // mind); the tests answer instead of a file dialog.
    std::function<QString(bool forWriting)> chooseFile;
    // Workbooks (.ods, .xlsx) go through the office where the build has one: these are called on
    // the pool's thread, never on the window's. Without them a workbook is refused with a word on
    // CSV.
    std::function<bool(const QString &path, CustomerFileRead *read, QString *error)> readSheet;
    std::function<bool(const QString &path, const QVector<Customer> &, QString *error)> writeSheet;
    QThreadPool *sheetPool = nullptr;
    void importFile(const QString &path);
    void exportFile(const QString &path);
    // The last import's report, or what the last export did.
    QString lastReport() const { return report; }

signals:
    // Two became one: the one kept, and the id of the one that is gone.
    void merged(const Customer &kept, qint64 goneId);
    // An import or export ended (its report in lastReport()).
    void fileDone(bool ok);

private:
    QVector<Customer> selected() const;
    void showList(const QVector<Customer> &customers, const QString &error);

    const QScopedPointer<Ui::CustomersDialog> ui;
    ShopLink *shop;
    std::function<void(const Customer &)> openCard;
    QTimer *typing;
    QVector<Customer> listed;
    int serial = 0;
    QString done; // what the last merge did, told with the list read again
    QString report;
    bool fileBusy = false;
    void fileEnded(bool ok, const QString &text);
};
