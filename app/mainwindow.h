// The calculator's one window: it owns the form, the price list and the order, and carries every
// slot. Member functions live with the page they serve (calculators/, prices/, order/).
#pragma once

#include "calculators/page_table.h"
#include "operators/rights.h"
#include "prices/price_table.h"
#include "prices/price_versions.h"
#include "pricing/jobs.h"
#include "pricing/option_group.h"
#include "pricing/quote.h"
#include "storage/records.h"

#include <QList>
#include <QMainWindow>
#include <QPair>
#include <QPointer>
#include <QScopedPointer>
#include <QString>

#include <functional>
#include <memory>

class AlternativesDialog;
class CustomLineDialog;
class CustomerCardDialog;
class CustomerField;
class CustomersDialog;
struct Customer;
class LivePrice;
class MailOutbox;
class Order;
class OrderTableMirror;
class OrderTaking;
class OrdersDialog;
class ShiftDialog;
class OrdersLink;
class DocumentServices;
class Prompts;
class QAbstractButton;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class MainWindowForm;
class OperatorGate;
class ReportsDialog;
class OperatorsDialog;
class SignInDialog;
class QTimer;
class OrderKeeper;
struct OrderKeeperDeleter
{
    void operator()(OrderKeeper *keeper) const;
};
class PriceVersionState;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Messages go to the prompts given (a test's recorder), or to message boxes over the window.
    // Without prompts or document services of their own, the window uses message boxes and the
    // journal, the desktop's viewer and the print dialog.
    explicit MainWindow(QWidget *parent = nullptr, Prompts *prompts = nullptr,
                        DocumentServices *documents = nullptr);
    ~MainWindow() override;

    // Price list (app/mainwindow.cpp): the version every page prices with, as last followed.
    void fillPriceTable();
    double lookupPrice(const QString &key) const;
    const PriceVersion &priceVersion() const { return pricesInForce.version(); }
    const PriceTable &prices() const { return priceVersion().prices; }

    // Option groups (calculators/option_groups.cpp)
    // A button as a choice: object name, its code or amount in the version, caption, and an
    // extra's key.
    static OptionChoice buttonChoice(const QAbstractButton *button, const PriceVersion &version);
    // The group as a value: its title and its checked options, with their codes or amounts in the
    // version followed.
    OptionGroup optionGroup(const QGroupBox *group) const;
    // The form's own figures (the "value" properties the initialisers set): what the form keeps,
    // never what a page prices with.
    OptionChoice checkedOption(const QGroupBox *group) const;
    double sumCheckedValues(const QGroupBox *group) const;
    QString checkedCaptions(const QGroupBox *group) const;
    void clearGroup(QGroupBox *group);

    // The pages' jobs as the widgets hold them now (calculators/*.cpp)
    SheetProductsJob sheetProductsJob() const;
    BrochureJob brochureJob() const;
    StreetJob streetJob() const;
    InteriorJob interiorJob() const;
    SouvenirJob souvenirJob() const;

    // The order the table shows (app/order_table.cpp); everything that counts, keeps or prints the
    // order reads it from here, never from the cells.
    Order *order() const { return orderModel.get(); }
    // One line, in the columns the header names.
    void appendOrderLine(const OrderLine &line);
    void appendOrderLine(const QString &description, const QString &quantity,
                         const QString &unitPrice, const QString &keyText, const QString &titles,
                         bool removalMarker);
    QVector<OrderLine> orderLines() const;

    // Buttons that belong to the whole window (journal, price list, settings) sit together in the
    // tab widget's top-right corner, in the order they are added.
    void addWindowButton(QWidget *button);

    // Price list versions (app/price_versions_window.cpp): the version in force gives the
    // prices and the options' codes and amounts. Every pricing follows it first and then reads
    // the one version, so a version dated tomorrow takes over at the first pricing after midnight
    // and no job mixes two.
    void initPriceVersions();
    void followPriceVersion();
    // The price list's dialog, the versions it saves recorded with the approver given.
    void showPriceList(const QString &approver = QString());

    // Tells the operator what went wrong, titled by what it is about.
    Prompts &prompts() const { return *prompter; }

    // Customers' mail (app/mail.cpp): the queue's sender beside the window, running while the
    // settings name a server (`[mail] host`); null without one. Whatever queues a mail calls
    // mailQueued() so that it goes at once rather than at the sender's next look.
    MailOutbox *mailOutbox() const { return outbox; }
    void mailQueued();

    // The order kept and numbered (app/order_storage.cpp). Every change of the order table is
    // stored in the counter's file before the next input event is handled. A document (kind
    // "export", "pdf" or "print") asks for its invoice number before it is made: the same number
    // while the order is unchanged since its first document, a new one after a change. ok false
    // (number 0, reason for the operator) when the shop's journal is out of reach: the document
    // then carries no number and the order waits to be numbered. Once made, the document reports
    // back; a failed one keeps its number, void in the journal, and the next takes a new number.
    // The number comes to done on the window's thread, maybe after the press has returned (the
    // journal may be a server on the network); the document buttons wait disabled meanwhile.
    void numberForDocument(const QString &kind, QObject *context,
                           std::function<void(const DocumentNumber &)> done);
    // Before a document, titled by it ("PDF", "Печать", "Экспорт"): the lines without a price (none
    // in the list, or no number in the price cell) are named, and the operator takes them out of
    // the order (one step of undo), goes on with them, or cancels. False when the document is not
    // to be made; textPrices tells whether a price that is no number goes with it.
    bool unpricedLinesSettled(const QString &title, bool *textPrices = nullptr);
    void documentFinished(qint64 number, const QString &kind, bool succeeded,
                          const QString &orderUid = QString());
    OrderKeeper *orderKeeper() const;
    // "PDF", "Печать" and "Экспорт" together: disabled while a document waits for its number.
    void setDocumentButtonsEnabled(bool enabled);
    bool exportRunning() const;

    // Taking the order (app/order_taking.cpp): "Принять заказ", and a taken order put back into
    // the window to be changed (the orders board's "Изменить" calls reviseTakenOrder).
    OrderTaking *orderTaking() const { return taking; }
    // Not a slot: the window's slot table is connected by name and stays as it is.
    void reviseTakenOrder(qint64 number);

signals:
    void removeRow(int rowNum);

private slots:
    void page1_1_answer();
    void page1_1_answer2();
    void page1_1_answer3();
    void page1_1_showDim(bool toggled);
    void page1_2_answer();
    void page1_2_answer2();
    void page1_2_answer3();
    void page1_2_showDim(bool toggled);
    void page2_1_answer();
    void page2_1_showDim(bool toggled);
    void page2_2_answer();
    void page2_2_showDim(bool toggled);
    void page3_1_answer();
    void page3_1_showDim(bool toggled);
    void page3_2_answer();
    void page3_2_showDim(bool toggled);
    void page4_1_answer();
    void page4_1_showDim(bool toggled);
    void exportToExcel();
    void clearTable();
    void showImage();
    void slotCellClicked(int row, int column);

private:
    // Page initialisers, one per calculator page (calculators/*.cpp)
    void page1_1_init();
    void page1_2_init();
    void page2_1_init();
    void page2_2_init();
    void page3_1_init();
    void page3_2_init();

    // Laser printing pages: one priced line of a family (calculators/sheet_products.cpp,
    // brochures.cpp) and the second line of a large run (calculators/page_parts.cpp)
    void appendSheetProductsLine(const QString &family);
    void appendBrochureLine(const QString &family);
    void appendQuantityTierLine(int quantity, void (MainWindow::*from500)(),
                                void (MainWindow::*from1000)());

    // The pricing pages described once (calculators/page_table.cpp); the extras of a page cleared
    // after its "Ответ".
    void initPricingPages();
    const PricingPageParts *pricingPageOf(const QWidget *page) const;
    void clearExtras(const QWidget *page);
    QVector<PricingPageParts> pricingPages;

    // Every page with a custom size (calculators/page_parts.cpp)
    void showCustomSize(QGroupBox *sizeGroup, QLineEdit *width, QLineEdit *height, bool shown);

    // The export's notice, questions and office warm-up (order/export.cpp)
    void exportInit();

    std::unique_ptr<Prompts> ownPrompts;
    Prompts *prompter = nullptr;
    PricesInForce pricesInForce;
    PriceVersionState *priceVersionState = nullptr;
    const QScopedPointer<MainWindowForm> form;
    QList<QPair<QLabel *, QRadioButton *>> galleryWidgets;
    QList<QPair<QCheckBox *, QLineEdit *>> pocketFields;

    // At the counter: live prices, the order's total and undo, keys, alternatives, a window that
    // scrolls (app/counter.cpp and the files named below).
public:
    // A line put in at a given row as appended ones are, and one read back (app/order_table.cpp).
    void insertOrderLine(int row, const OrderLine &line);
    OrderLine orderLine(int row) const;
    // The live price labels priced again, after the price list changed (live_price.cpp).
    void refreshLivePrices();
    // Delete and Ctrl+Z on the order table (app/keyboard.cpp); false when nothing came back.
    void removeSelectedOrderLines();
    bool undoOrderChange();
    // F3: the alternatives of the page in front, null on a page without them
    // (dialogs/alternatives_dialog.cpp).
    AlternativesDialog *openAlternatives();
    // Ctrl+N: a line typed by hand (app/custom_line.cpp); the dialog open, or the one already open.
    CustomLineDialog *openCustomLine();
    // Operators (app/operators.cpp): once the shop has any, the sign-in over the window, locked
    // again after the idle minutes and on Ctrl+L; the dialog open, or the one already open.
    SignInDialog *lockCounter();
    QString signedInOperator() const;
    OperatorGate *operators() const;
    // "Операторы": the owner's list of operators, the one already open if there is one; null,
    // the refusal told, when the one signed in is not the owner. With no operator yet it opens,
    // as the command line lets whoever holds the database make the first one.
    OperatorsDialog *showOperators(QWidget *over = nullptr);
    // Runs go at once when the operator signed in holds the right (or no operator is defined);
    // otherwise once a manager (or the owner) approves with a PIN, go getting their name; never
    // when refused, refused running instead. what names the action in the question.
    void withRight(Action action, const QString &what,
                   std::function<void(const QString &approver)> go,
                   std::function<void()> refused = nullptr);
    // The dialogs' seam to withRight: the action goes on with the record it is to write with its
    // change.
    RightGuard rightGuard();
    // What the window did, in the audit trail under the operator signed in; nothing while
    // operators are off.
    void recordAudit(const QString &what, const QString &oldValue, const QString &newValue,
                     const QString &approver = QString());
    // Customers (app/customers.cpp): a customer's card (a new one for an unstored customer, the
    // open one for a customer already shown), and "Клиенты".
    CustomerCardDialog *openCustomerCard(const Customer &customer);
    CustomersDialog *showCustomers();
    // "Заказы" (app/orders.cpp): the orders board, the one already open if there is one.
    OrdersDialog *showOrders();
    // "Смена" (app/shift.cpp): the shift dialog, the one already open if there is one.
    ShiftDialog *showShift();
    // "Отчёты" (app/reports.cpp): the owner's reports, the dialog already open if there is one;
    // null when the operator signed in may not see them.
    ReportsDialog *showReports();

private:
    void initCounter();
    void initLivePrices();
    void initTakeBack();
    void initAlternatives();
    void initKeyboard();
    void initCustomLine();
    QList<LivePrice *> livePrices;

    // The order, and the table that mirrors it; the keeper below follows the order, so it is
    // declared after it and goes first.
    const std::unique_ptr<Order> orderModel;
    std::unique_ptr<OrderTableMirror> tableMirror;

    // Storage (app/order_storage.cpp).
    void initOrderStorage();
    // The template path (app/export.cpp): the one that exported last, else the sample where the
    // package installed it; "…" picks a file.
    void initTemplatePath();
    void showJournal();
    std::unique_ptr<OrderKeeper, OrderKeeperDeleter> keeper;

    // Started from initOrderStorage, which shows a problem of the settings' `[mail]` (returned).
    QString initMail();
    MailOutbox *outbox = nullptr;

    // The order's customer at the counter (app/customers.cpp, app/customer_field.cpp).
    void initCustomers();
    CustomerField *customerField = nullptr;
    OrderTaking *taking = nullptr;

    // "Заказы" beside "Журнал" (app/orders.cpp); the board's link lives as long as the window,
    // so that a board opened again is listening already.
    void initOrders();
    OrdersLink *ordersLink = nullptr;
    void initShift();
    // "Отчёты" beside "Заказы", the owner's once operators exist (app/reports.cpp).
    void initReports();

    void initOperators();
    // A price typed into a line the list priced: below the list asks for a manager and is put
    // back when refused; recorded either way.
    void checkTypedPrice(int row);
    OperatorGate *operatorGate = nullptr;
    QTimer *idleTimer = nullptr;
    QPointer<SignInDialog> signInDialog;
    bool signInWanted = false; // operators are on: the sign-in opens once the window shows
    bool restoringPrice = false; // a price below the list refused, the list's put back
};
