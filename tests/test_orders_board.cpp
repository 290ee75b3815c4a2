// The orders board driven as the operator does, over real databases through its real link: the
// views and the search against a generated set, the keys moving statuses by the rules, payments
// and refunds changing the balance, the bank statement with a match by hand, the window's button,
// the website's requests listed as "Заявка", confirmed into an order or cancelled, and two
// counters on one PostgreSQL cluster, each board following the other's changes and the website's
// requests.
#include "tests/document_recorder.h"
#include "tests/pg_cluster.h"
#include "tests/prompt_recorder.h"

#include "app/mainwindow.h"
#include "dialogs/manager_login_dialog.h"
#include "dialogs/orders_dialog.h"
#include "dialogs/payment_dialog.h"
#include "dialogs/statement_dialog.h"
#include "storage/connection.h"
#include "storage/customer_store.h"
#include "storage/database_roles.h"
#include "storage/order_book.h"
#include "storage/orders_link.h"
#include "storage/web_requests.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(BoardView)

namespace {

const QDateTime Now(QDate(2026, 3, 10), QTime(13, 0));
const QString Account = QStringLiteral("40702810900000000001");

struct Made
{
    QString line;
    QString customer;
    QString phone;
    QDateTime due;
    OrderStatus status;
    qint64 paidKopecks;
};

// Numbers 1001 onwards, in this order; each one line of 1000 × 1, 1180.00 with the tax.
const Made Generated[] = {
    {QStringLiteral("Визитки"), QStringLiteral("Иванов Пётр"), QStringLiteral("+7 912 111-22-33"),
     Now.addSecs(-3600), OrderStatus::Accepted, 0},
    {QStringLiteral("Листовки А5"), QStringLiteral("ООО «Ромашка»"),
     QStringLiteral("+7 495 555-00-11"), Now.addSecs(5 * 3600), OrderStatus::InWork, 50000},
    {QStringLiteral("Баннер 3×1"), QStringLiteral("Сидорова"), QStringLiteral("8 900 123-45-67"),
     Now.addSecs(-20 * 3600), OrderStatus::Ready, 118000},
    {QStringLiteral("Буклеты"), QStringLiteral("Петров"), QStringLiteral(""), Now.addDays(2),
     OrderStatus::HandedOver, 118000},
    {QStringLiteral("Наклейки"), QStringLiteral("Орлов"), QStringLiteral(""),
     Now.addDays(1).addSecs(2 * 3600), OrderStatus::Cancelled, 0},
    {QStringLiteral("Календари"), QStringLiteral("Кузнецов"), QStringLiteral(""), Now.addDays(-2),
     OrderStatus::InWork, 0},
    {QStringLiteral("Визитки ламинированные"), QStringLiteral("Лебедев"), QStringLiteral(""),
     Now.addSecs(21 * 3600), OrderStatus::HandedOver, 0},
};

OrderIntake intake(int i, const Made &made)
{
    OrderIntake order;
    order.draft.orderUid = QStringLiteral("board-%1").arg(i);
    order.draft.created = Now.addDays(-3);
    order.draft.counter = QStringLiteral("стойка-1");
    OrderLine line;
    line.description = made.line;
    line.quantity = QStringLiteral("1");
    line.unitPrice = QStringLiteral("1000");
    order.draft.lines = {line};
    order.draft.customer.kind = Customer::Person;
    order.draft.customer.shortName = made.customer;
    order.phone = made.phone;
    order.due = made.due;
    return order;
}

// Takes the order and brings it to the status and payment given, as counters would have.
qint64 make(OrderBook &book, int i, const Made &made)
{
    const qint64 number = book.take(intake(i, made), 1001);
    if (made.paidKopecks > 0) {
        Payment paid;
        paid.kopecks = made.paidKopecks;
        paid.time = Now.addDays(-3);
        book.addPayment(number, paid);
    }
    if (made.status != OrderStatus::Accepted)
        book.changeStatus(number, made.status, QStringLiteral("клиент передумал"), true,
                          QStringLiteral("стойка-1"), Now.addDays(-1));
    return number;
}

QVector<qint64> shownNumbers(const OrdersDialog *board)
{
    QVector<qint64> numbers;
    for (int row = 0; row < board->orders()->rowCount(); ++row)
        numbers << board->orders()->order(row).number;
    return numbers;
}

// A website's request as the web service stores it: a name with markup, a comment with a script.
WebRequestRecord webRequest(const QString &name, const QString &phone)
{
    WebRequestRecord request;
    request.created = Now.addSecs(-600);
    request.name = name;
    request.phone = phone;
    request.email = QStringLiteral("client@example.ru");
    request.comment = QStringLiteral("<script>alert(1)</script>\nдо пятницы");
    request.due = QDate(2026, 3, 12);
    OrderLine line;
    line.description = QStringLiteral("Листовки А6");
    line.quantity = QStringLiteral("100");
    line.unitPrice = QStringLiteral("5");
    line.setNumbers(100, 5);
    request.lines = {line};
    request.totalKopecks = 50000;
    return request;
}

QString requestCell(const OrdersDialog *board, qint64 request, OrdersModel::Column column,
                    int role = Qt::DisplayRole)
{
    const OrdersModel *model = board->orders();
    const int row = model->rowOfRequest(request);
    return row < 0 ? QStringLiteral("(нет в списке)")
                   : model->data(model->index(row, column), role).toString();
}

QString cell(const OrdersDialog *board, qint64 number, OrdersModel::Column column)
{
    const OrdersModel *model = board->orders();
    const int row = model->rowOf(number);
    return row < 0 ? QStringLiteral("(нет в списке)")
                   : model->data(model->index(row, column)).toString();
}

} // namespace

class OrdersBoardTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    DatabaseUrl url;
    std::unique_ptr<Connection> connection;
    std::unique_ptr<OrdersLink> link;
    PromptRecorder prompts;
    OrdersDialog *board = nullptr;

    // A board on the database, its list shown.
    OrdersDialog *open(OrdersLink *over, PromptRecorder *told)
    {
        auto *made = new OrdersDialog(over, told, Account, QString(), nullptr);
        made->clock = [] { return Now; };
        made->refresh();
        made->show();
        if (!QTest::qWaitFor([&] { return made->listsShown() > 0 && !made->isListing(); }, 5000))
            qWarning("the board never showed its list");
        return made;
    }

    // Lists again and waits for the answer.
    void relist()
    {
        const int before = board->listsShown();
        board->refresh();
        QTRY_VERIFY2(board->listsShown() > before && !board->isListing(),
                     "the board never listed again");
    }

    void select(qint64 number)
    {
        board->selectNumber(number);
        QCOMPARE(board->selectedNumber(), number);
        board->activateWindow();
        QApplication::setActiveWindow(board);
        board->findChild<QTableView *>(QStringLiteral("tableViewOrders"))->setFocus();
    }

private slots:
    void init()
    {
        dir.reset(new QTemporaryDir);
        url = DatabaseUrl::sqliteFile(dir->filePath(QStringLiteral("shop.sqlite")));
        connection.reset(new Connection);
        QVERIFY(connection->open(url, QStringLiteral("test")));
        prompts = PromptRecorder();
    }

    void cleanup()
    {
        delete board;
        board = nullptr;
        link.reset();
        connection.reset();
        dir.reset();
    }

    // The views and the search over the generated set, as their numbers in the board's order.
    void viewsAndSearch_data()
    {
        QTest::addColumn<BoardView>("view");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVector<qint64>>("numbers");
        QTest::newRow("open, by due time")
            << BoardView::Open << "" << QVector<qint64> {1006, 1003, 1001, 1002};
        QTest::newRow("to hand over today")
            << BoardView::HandOverToday << "" << QVector<qint64> {1001, 1002};
        QTest::newRow("overdue: neither made nor closed")
            << BoardView::Overdue << "" << QVector<qint64> {1006, 1001};
        QTest::newRow("ready") << BoardView::Ready << "" << QVector<qint64> {1003};
        QTest::newRow("in work") << BoardView::InWork << "" << QVector<qint64> {1006, 1002};
        QTest::newRow("unpaid, handed over with a debt too")
            << BoardView::Unpaid << "" << QVector<qint64> {1006, 1001, 1002, 1007};
        QTest::newRow("all") << BoardView::All << ""
                             << QVector<qint64> {1006, 1003, 1001, 1002, 1007, 1005, 1004};
        QTest::newRow("number") << BoardView::All << "1003" << QVector<qint64> {1003};
        QTest::newRow("customer's name, any case")
            << BoardView::All << "ромаш" << QVector<qint64> {1002};
        QTest::newRow("phone's digits as typed")
            << BoardView::All << "123-45" << QVector<qint64> {1003};
        QTest::newRow("phone's tail") << BoardView::All << "1112233" << QVector<qint64> {1001};
        QTest::newRow("a word of the lines")
            << BoardView::All << "визит" << QVector<qint64> {1001, 1007};
        QTest::newRow("a word within a view")
            << BoardView::Open << "визит" << QVector<qint64> {1001};
        QTest::newRow("nothing found") << BoardView::All << "плакат" << QVector<qint64> {};
    }

    void viewsAndSearch()
    {
        QFETCH(BoardView, view);
        QFETCH(QString, text);
        QFETCH(QVector<qint64>, numbers);
        OrderBook book(*connection);
        for (int i = 0; i < int(std::size(Generated)); ++i)
            QCOMPARE(make(book, i, Generated[i]), 1001 + i);
        link.reset(new OrdersLink(url, QStringLiteral("стойка-1"), ShopContacts()));
        board = open(link.get(), &prompts);
        board->findChild<QLineEdit *>(QStringLiteral("lineEditOrdersSearch"))->insert(text);
        board->setView(view);
        relist();
        QCOMPARE(shownNumbers(board), numbers);
        QCOMPARE(board->findChild<QLabel *>(QStringLiteral("labelOrdersCount"))->text(),
                 QStringLiteral("Заказов: %1").arg(numbers.size()));
    }

    // A row's cells, and red for the overdue only.
    void rowCells()
    {
        OrderBook book(*connection);
        for (int i = 0; i < int(std::size(Generated)); ++i)
            make(book, i, Generated[i]);
        link.reset(new OrdersLink(url, QStringLiteral("стойка-1"), ShopContacts()));
        board = open(link.get(), &prompts);
        const QStringList expected {QStringLiteral("1002"),
                                    QStringLiteral("В работе"),
                                    QStringLiteral("10.03.2026 18:00"),
                                    QStringLiteral("ООО «Ромашка»"),
                                    QStringLiteral("+7 495 555-00-11"),
                                    QStringLiteral("1 180 ₽"),
                                    QStringLiteral("500 ₽"),
                                    QStringLiteral("680 ₽"),
                                    QStringLiteral("частично"),
                                    QStringLiteral(""),
                                    QStringLiteral("стойка")};
        for (int column = 0; column < OrdersModel::ColumnCount; ++column)
            QCOMPARE(cell(board, 1002, OrdersModel::Column(column))
                         .replace(QChar::Nbsp, QLatin1Char(' ')),
                     expected.at(column));
        const OrdersModel *model = board->orders();
        for (const qint64 number : {1006, 1003, 1001, 1002}) {
            const QVariant colour
                = model->data(model->index(model->rowOf(number), 0), Qt::ForegroundRole);
            QCOMPARE(colour.isValid(), number == 1006 || number == 1001);
        }
    }

    // The website's requests on the board: first on "Открытые" and "Все", never on the views of
    // orders' statuses, found by the search; their texts shown as typed.
    void requestsListed_data()
    {
        QTest::addColumn<BoardView>("view");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVector<qint64>>("requests");
        QTest::addColumn<int>("orders");
        QTest::addColumn<QString>("count");
        QTest::newRow("open") << BoardView::Open << "" << QVector<qint64> {1, 2} << 4
                              << "Заказов: 4, заявок: 2";
        QTest::newRow("all") << BoardView::All << "" << QVector<qint64> {1, 2} << 7
                             << "Заказов: 7, заявок: 2";
        QTest::newRow("ready: orders only")
            << BoardView::Ready << "" << QVector<qint64> {} << 1 << "Заказов: 1";
        QTest::newRow("overdue: orders only")
            << BoardView::Overdue << "" << QVector<qint64> {} << 2 << "Заказов: 2";
        QTest::newRow("the request's number")
            << BoardView::Open << "2" << QVector<qint64> {2} << 0 << "Заказов: 0, заявок: 1";
        QTest::newRow("the name, any case")
            << BoardView::All << "анна" << QVector<qint64> {2} << 0 << "Заказов: 0, заявок: 1";
        QTest::newRow("the phone's digits")
            << BoardView::Open << "777-66" << QVector<qint64> {1} << 0 << "Заказов: 0, заявок: 1";
        QTest::newRow("the phone whole, with 8")
            << BoardView::Open << "8 926 777-66-55" << QVector<qint64> {1} << 0
            << "Заказов: 0, заявок: 1";
        QTest::newRow("an order's customer: no request")
            << BoardView::Open << "ромаш" << QVector<qint64> {} << 1 << "Заказов: 1";
    }
    void requestsListed()
    {
        QFETCH(BoardView, view);
        QFETCH(QString, text);
        QFETCH(QVector<qint64>, requests);
        QFETCH(int, orders);
        QFETCH(QString, count);
        OrderBook book(*connection);
        for (int i = 0; i < int(std::size(Generated)); ++i)
            make(book, i, Generated[i]);
        QCOMPARE(storeWebRequest(
                     *connection,
                     webRequest(QStringLiteral("<b>Иван</b>"), QStringLiteral("+7 926 777-66-55"))),
                 1);
        QCOMPARE(storeWebRequest(*connection, webRequest(QStringLiteral("Анна"), QString())), 2);
        link.reset(new OrdersLink(url, QStringLiteral("стойка-1"), ShopContacts()));
        board = open(link.get(), &prompts);
        board->findChild<QLineEdit *>(QStringLiteral("lineEditOrdersSearch"))->insert(text);
        board->setView(view);
        relist();
        QVector<qint64> shown;
        int ordersShown = 0;
        for (int row = 0; row < board->orders()->rowCount(); ++row) {
            const TakenOrder &order = board->orders()->order(row);
            if (order.requestNumber != 0) {
                QVERIFY2(ordersShown == 0, "a request listed after an order");
                shown << order.requestNumber;
            } else {
                ++ordersShown;
            }
        }
        QCOMPARE(shown, requests);
        QCOMPARE(ordersShown, orders);
        QCOMPARE(board->findChild<QLabel *>(QStringLiteral("labelOrdersCount"))->text(), count);
    }

    // A view narrowed from the list shown is filtered from it, by the same rules, without reading
    // the database again; one that needs more is read.
    void viewNarrowed_data()
    {
        QTest::addColumn<BoardView>("from");
        QTest::addColumn<BoardView>("to");
        QTest::addColumn<bool>("read");
        QTest::addColumn<QVector<qint64>>("numbers");
        QTest::newRow("open to ready")
            << BoardView::Open << BoardView::Ready << false << QVector<qint64> {1003};
        QTest::newRow("open to overdue")
            << BoardView::Open << BoardView::Overdue << false << QVector<qint64> {1006, 1001};
        QTest::newRow("open to today")
            << BoardView::Open << BoardView::HandOverToday << false << QVector<qint64> {1001, 1002};
        QTest::newRow("ready to in work, from the open list")
            << BoardView::Ready << BoardView::InWork << false << QVector<qint64> {1006, 1002};
        QTest::newRow("open to unpaid: handed over ones are read")
            << BoardView::Open << BoardView::Unpaid << true
            << QVector<qint64> {1006, 1001, 1002, 1007};
        QTest::newRow("open to all: read")
            << BoardView::Open << BoardView::All << true
            << QVector<qint64> {1006, 1003, 1001, 1002, 1007, 1005, 1004};
        QTest::newRow("all to unpaid") << BoardView::All << BoardView::Unpaid << false
                                       << QVector<qint64> {1006, 1001, 1002, 1007};
        QTest::newRow("all to open") << BoardView::All << BoardView::Open << false
                                     << QVector<qint64> {1006, 1003, 1001, 1002};
    }
    void viewNarrowed()
    {
        QFETCH(BoardView, from);
        QFETCH(BoardView, to);
        QFETCH(bool, read);
        QFETCH(QVector<qint64>, numbers);
        OrderBook book(*connection);
        for (int i = 0; i < int(std::size(Generated)); ++i)
            make(book, i, Generated[i]);
        link.reset(new OrdersLink(url, QStringLiteral("стойка-1"), ShopContacts()));
        board = open(link.get(), &prompts);
        const auto choose = [&](BoardView view) {
            const int before = board->listsShown();
            board->setView(view);
            QTRY_VERIFY2(board->listsShown() > before && !board->isListing(),
                         "the view was never shown");
        };
        if (from != BoardView::Open)
            choose(from);
        const int reads = board->listsRead();
        choose(to);
        QCOMPARE(shownNumbers(board), numbers);
        QCOMPARE(board->listsRead() - reads, read ? 1 : 0);
        // A change read again: the next narrowing filters the new list.
        select(numbers.value(0, 1001));
        QVERIFY(book.changeStatus(1002, OrderStatus::Ready, QString(), false,
                                  QStringLiteral("стойка-1"), Now)
                    .done());
        relist();
        const int again = board->listsRead();
        const BoardView next = to == BoardView::Ready ? BoardView::InWork : BoardView::Ready;
        choose(next);
        QCOMPARE(board->listsRead() - again, boardViewWithin(next, to) ? 0 : 1);
        const QVector<qint64> ready {1003, 1002}, inWork {1006};
        QCOMPARE(shownNumbers(board), next == BoardView::Ready ? ready : inWork);
    }

    // A request's row: its own number, "Заявка", "сайт"; nothing paid, never red; the name and
    // the comment shown as typed, in the cell, the tooltip and the details.
    void requestRow()
    {
        QCOMPARE(storeWebRequest(
                     *connection,
                     webRequest(QStringLiteral("<b>Иван</b>"), QStringLiteral("+7 926 777-66-55"))),
                 1);
        link.reset(new OrdersLink(url, QStringLiteral("стойка-1"), ShopContacts()));
        board = open(link.get(), &prompts);
        const QStringList expected {QStringLiteral("З-1"), QStringLiteral("Заявка"),
                                    // the day wished, with no time made up
                                    QStringLiteral("12.03.2026"), QStringLiteral("<b>Иван</b>"),
                                    QStringLiteral("+7 926 777-66-55"), QStringLiteral("500 ₽"),
                                    QStringLiteral(""), QStringLiteral(""), QStringLiteral(""),
                                    QStringLiteral(""), QStringLiteral("сайт")};
        for (int column = 0; column < OrdersModel::ColumnCount; ++column)
            QCOMPARE(requestCell(board, 1, OrdersModel::Column(column))
                         .replace(QChar::Nbsp, QLatin1Char(' ')),
                     expected.at(column));
        QCOMPARE(requestCell(board, 1, OrdersModel::Customer, Qt::ToolTipRole),
                 QStringLiteral("<p>&lt;b&gt;Иван&lt;/b&gt;<br>+7 926 777-66-55<br>"
                                "client@example.ru</p>"));
        const OrdersModel *model = board->orders();
        QVERIFY(
            !model->data(model->index(model->rowOfRequest(1), 0), Qt::ForegroundRole).isValid());
        board->selectRequest(1);
        QCOMPARE(board->selectedRequest(), 1);
        QCOMPARE(board->selectedNumber(), 0);
        QCOMPARE(
            board->findChild<QLabel *>(QStringLiteral("labelOrderHeader"))
                ->text()
                .replace(QChar::Nbsp, QLatin1Char(' ')),
            QStringLiteral("<b>Заявка № З-1</b> — с сайта, к 12.03.2026 — &lt;b&gt;Иван&lt;/"
                           "b&gt;, +7 926 777-66-55, client@example.ru — сумма 500 ₽<br>"
                           "Комментарий: &lt;script&gt;alert(1)&lt;/script&gt;\nдо пятницы"));
        // The lines the website priced.
        auto *lines = board->findChild<QTableWidget *>(QStringLiteral("tableOrderLines"));
        QTRY_COMPARE(lines->rowCount(), 1);
        QCOMPARE(lines->item(0, 0)->text(), QStringLiteral("Листовки А6"));
        QCOMPARE(lines->item(0, 3)->text().replace(QChar::Nbsp, QLatin1Char(' ')),
                 QStringLiteral("500 ₽"));
        for (const char *name : {"pushButtonConfirmRequest", "pushButtonDeclineRequest"})
            QVERIFY2(board->findChild<QPushButton *>(QLatin1String(name))->isEnabled(), name);
        for (const char *name : {"pushButtonNextStatus", "pushButtonTakePayment",
                                 "pushButtonCancelOrder", "pushButtonReviseOrder"})
            QVERIFY2(!board->findChild<QPushButton *>(QLatin1String(name))->isEnabled(), name);
    }

    // The board's buttons on a request: confirmed, it is the order "Принят" with the next invoice
    // number, source "сайт", selected; cancelled, it leaves the board with its reason kept.
    void requestDecided_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("reason"); // what the operator gives when asked
        QTest::addColumn<QString>("stored"); // a card already in the list, with the phone
        QTest::addColumn<QString>("answer"); // to the question of the card
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("told");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("customer"); // the order's, and its card's phone
        const auto row = [](const char *name, const char *button, const char *reason,
                            const char *stored, const char *answer, WebRequestRecord::State state,
                            const char *told, const char *status, const char *customer) {
            QTest::newRow(name) << button << reason << stored << answer << int(state) << told
                                << status << customer;
        };
        const auto *confirm = "pushButtonConfirmRequest";
        const auto *decline = "pushButtonDeclineRequest";
        row("confirmed without a card", confirm, "", "", "Без карточки",
            WebRequestRecord::Confirmed, "", "Заявка № З-1 принята: заказ № 1008.", "Иван");
        row("confirmed with a new card", confirm, "", "", "Создать карточку",
            WebRequestRecord::Confirmed, "", "Заявка № З-1 принята: заказ № 1008.",
            "Иван +7 926 777-66-55");
        row("confirmed onto the card with the phone", confirm, "", "Иван Петров",
            "Карточка «Иван Петров»", WebRequestRecord::Confirmed, "",
            "Заявка № З-1 принята: заказ № 1008.", "Иван Петров 8 (926) 777-66-55");
        row("the card's question cancelled: it waits", confirm, "", "Иван Петров", "",
            WebRequestRecord::Waiting, "", "Заявка № З-1 ждёт решения.", "");
        row("cancelled with a reason", decline, "  клиент не отвечает ", "", "",
            WebRequestRecord::Cancelled, "", "Заявка № З-1 отменена.", "");
        row("no reason, nothing cancelled", decline, " ", "", "", WebRequestRecord::Waiting,
            "Отмена заявки № З-1 требует причины.", "", "");
    }
    void requestDecided()
    {
        QFETCH(QString, button);
        QFETCH(QString, reason);
        QFETCH(QString, stored);
        QFETCH(QString, answer);
        QFETCH(int, state);
        QFETCH(QString, told);
        QFETCH(QString, status);
        QFETCH(QString, customer);
        OrderBook book(*connection);
        for (int i = 0; i < int(std::size(Generated)); ++i)
            make(book, i, Generated[i]);
        if (!stored.isEmpty()) {
            Customer card;
            card.kind = Customer::Person;
            card.shortName = stored;
            card.phone = QStringLiteral("8 (926) 777-66-55");
            QCOMPARE(int(CustomerStore(*connection).save(&card, QStringLiteral("стойка-1"))),
                     int(CustomerSaveResult::Saved));
        }
        QCOMPARE(
            storeWebRequest(*connection,
                            webRequest(QStringLiteral("Иван"), QStringLiteral("+7 926 777-66-55"))),
            1);
        link.reset(new OrdersLink(url, QStringLiteral("стойка-1"), ShopContacts()));
        board = open(link.get(), &prompts);
        QStringList messages;
        prompts.onTell = [&](const QString &message, const QString &) { messages << message; };
        prompts.answer = answer;
        board->askReason = [&](const QString &, const QString &, QString *given) {
            *given = reason;
            return true;
        };
        // Numbers go on from the settings' start, past what the journal has.
        board->requestTerms = [] {
            RequestTerms terms;
            terms.lowestNumber = 1001;
            return terms;
        };
        board->selectRequest(1);
        QTest::mouseClick(board->findChild<QPushButton *>(button), Qt::LeftButton);
        auto *label = board->findChild<QLabel *>(QStringLiteral("labelOrdersStatus"));
        if (!status.isEmpty())
            QTRY_COMPARE(label->text(), status);
        QTRY_VERIFY(!board->isListing());
        QTRY_VERIFY(link->waitIdle(5000) && !board->isListing());
        QCOMPARE(messages.join(QLatin1Char('|')), told);

        WebRequestRecord request;
        QVERIFY(loadWebRequest(*connection, 1, &request));
        QCOMPARE(int(request.state), state);
        QCOMPARE(board->orders()->rowOfRequest(1) >= 0, state == WebRequestRecord::Waiting);
        if (state == WebRequestRecord::Cancelled)
            QCOMPARE(request.cancelReason, QStringLiteral("клиент не отвечает"));
        if (state != WebRequestRecord::Confirmed) {
            QCOMPARE(book.list(OrderQuery()).size(), int(std::size(Generated)));
            return;
        }
        QCOMPARE(request.invoiceNumber, 1008);
        QTRY_COMPARE(board->selectedNumber(), 1008);
        QCOMPARE(cell(board, 1008, OrdersModel::Status), QStringLiteral("Принят"));
        QCOMPARE(cell(board, 1008, OrdersModel::Source), QStringLiteral("сайт"));
        QCOMPARE(cell(board, 1008, OrdersModel::Due), QStringLiteral("12.03.2026 18:00"));
        OrderDetails details;
        QVERIFY(book.load(1008, &details));
        Customer card;
        const qint64 id = details.invoice.summary.customer.id;
        QCOMPARE(id > 0 ? (CustomerStore(*connection).load(id, &card),
                           card.shortName + QLatin1Char(' ') + card.phone)
                        : cell(board, 1008, OrdersModel::Customer),
                 customer);
        // Only the card asked for: none made beside the one chosen.
        QCOMPARE(CustomerStore(*connection).list(QString()).size(),
                 stored.isEmpty() && id == 0 ? 0 : 1);
    }

    // The keys on one order: the status it ends in, and what the operator was asked or told.
    void keysMoveStatuses_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<qint64>("paid");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("told");
        const auto row = [](const char *name, const char *from, qint64 paid, const char *action,
                            const char *answer, const char *status, const char *asked,
                            const char *told) {
            QTest::newRow(name) << QString::fromUtf8(from) << paid << QString::fromUtf8(action)
                                << QString::fromUtf8(answer) << QString::fromUtf8(status)
                                << QString::fromUtf8(asked) << QString::fromUtf8(told);
        };
        // clang-format off
        row("F2: Принят → В работе", "принят", 0, "F2", "", "В работе", "", "");
        row("F2: В работе → Готов", "в работе", 0, "F2", "", "Готов", "", "");
        row("F2: Готов and paid → Выдан, nothing asked", "готов", 118000, "F2", "", "Выдан", "", "");
        row("F2: Готов with a debt, handed over", "готов", 0, "F2", "Выдать", "Выдан",
            "Выдать с долгом 1 180 ₽?", "");
        row("F2: Готов with part of a debt, kept", "готов", 100050, "F2", "Не выдавать", "Готов",
            "Выдать с долгом 179,50 ₽?", "");
        row("F2 on Выдан: refused", "выдан", 118000, "F2", "", "Выдан", "",
            "Заказ № 1001 выдан: его статус больше не меняется.");
        row("F2 on Отменён: refused", "отменён", 0, "F2", "", "Отменён", "",
            "Заказ № 1001 отменён: его статус больше не меняется.");
        row("a step back: Готов → В работе", "готов", 0, "back", "", "В работе", "", "");
        row("a step back from Принят: its button off", "принят", 0, "back", "", "Принят", "", "");
        row("cancelled with a reason", "в работе", 0, "cancel", "клиент отказался", "Отменён", "",
            "");
        row("cancelled without a reason: refused", "принят", 0, "cancel", "  ", "Принят", "",
            "Отмена заказа № 1001 требует причины.");
        // clang-format on
    }

    void keysMoveStatuses()
    {
        QFETCH(QString, from);
        QFETCH(qint64, paid);
        QFETCH(QString, action);
        QFETCH(QString, answer);
        QFETCH(QString, status);
        QFETCH(QString, asked);
        QFETCH(QString, told);
        OrderStatus start = OrderStatus::Accepted;
        QVERIFY(statusFromWord(from, &start));
        OrderBook book(*connection);
        QCOMPARE(make(book, 0,
                      {QStringLiteral("Визитки"), QStringLiteral("Иванов"), QStringLiteral(""),
                       Now.addDays(1), start, paid}),
                 1001);
        link.reset(new OrdersLink(url, QStringLiteral("стойка-1"), ShopContacts()));
        board = open(link.get(), &prompts);
        board->setView(BoardView::All);
        relist();
        select(1001);
        prompts.answer = answer;
        QStringList messages;
        prompts.onTell = [&](const QString &message, const QString &) { messages << message; };
        board->askReason = [&](const QString &, const QString &, QString *given) {
            *given = answer;
            return true;
        };
        const auto *header = board->findChild<QLabel *>(QStringLiteral("labelOrderHeader"));
        QTRY_VERIFY(header->text().contains(statusCaption(start) + QStringLiteral(", срок")));
        const int before = board->listsShown();
        if (action == QLatin1String("F2"))
            QTest::keyClick(board->findChild<QTableView *>(QStringLiteral("tableViewOrders")),
                            Qt::Key_F2);
        else if (action == QLatin1String("back"))
            board->findChild<QPushButton *>(QStringLiteral("pushButtonStepBack"))->click();
        else
            board->findChild<QPushButton *>(QStringLiteral("pushButtonCancelOrder"))->click();
        // The board's own change shows without a refresh asked for.
        if (status != statusCaption(start))
            QTRY_COMPARE(cell(board, 1001, OrdersModel::Status), status);
        QVERIFY(link->waitIdle(5000));
        QTRY_VERIFY(!board->isListing());
        QCOMPARE(cell(board, 1001, OrdersModel::Status), status);
        QCOMPARE(board->listsShown() > before, status != statusCaption(start));
        QCOMPARE(prompts.questions.join(QLatin1Char('|')).replace(QChar::Nbsp, QLatin1Char(' ')),
                 asked);
        QCOMPARE(messages.join(QLatin1Char('|')), told);
        OrderDetails details;
        QVERIFY(book.load(1001, &details));
        QCOMPARE(statusCaption(details.order.status), status);
        // The order open below the list follows it.
        QTRY_VERIFY2(header->text().contains(status + QStringLiteral(", срок")),
                     qPrintable(header->text()));
        if (status == QLatin1String("Отменён"))
            QCOMPARE(details.changes.last().reason, QStringLiteral("клиент отказался"));
    }

    // Payments typed into the board's payment window, one after another: the order's sums after
    // them, the last payment's method, and what stopped a payment (in the window or by the book).
    void paymentsAndRefunds_data()
    {
        QTest::addColumn<QStringList>("steps"); // amount|method|reason
        QTest::addColumn<QString>("paid");
        QTest::addColumn<QString>("balance");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("stopped");
        const auto row
            = [](const char *name, const QStringList &steps, const char *paid, const char *balance,
                 const char *state, const char *method, const char *stopped) {
                  QTest::newRow(name) << steps << QString::fromUtf8(paid)
                                      << QString::fromUtf8(balance) << QString::fromUtf8(state)
                                      << QString::fromUtf8(method) << QString::fromUtf8(stopped);
              };
        // clang-format off
        row("in full, in cash", {QStringLiteral("1180")}, "1 180 ₽", "0 ₽", "оплачен", "наличные", "");
        row("in part, by card, with kopecks", {QStringLiteral("500,50|карта")}, "500,50 ₽", "679,50 ₽", "частично",
            "карта", "");
        row("more than owed: refused", {QStringLiteral("1 200|безналичный")}, "0 ₽", "1 180 ₽", "не оплачен", "",
            "Оплата 1\u00a0200,00 ₽ больше остатка по заказу № 1001. Остаток к оплате 1\u00a0180,00 ₽.");
        row("paid, then a part refunded", {QStringLiteral("1180"), QStringLiteral("-180|наличные|брак на резке")}, "1 000 ₽",
            "180 ₽", "частично", "наличные", "");
        row("a refund without a reason: stopped in the window", {QStringLiteral("1180"), QStringLiteral("-180")}, "1 180 ₽", "0 ₽",
            "оплачен", "наличные", "Возврат требует причины.");
        row("a refund above what was paid: refused", {QStringLiteral("100"), QStringLiteral("-200|наличные|ошибка")}, "100 ₽",
            "1 080 ₽", "частично", "наличные",
            "Возврат 200 ₽ больше оплаченного по заказу № 1001 (100 ₽).");
        row("three decimals: stopped in the window", {QStringLiteral("12,345")}, "0 ₽", "1 180 ₽", "не оплачен", "",
            "Сумма — число с двумя знаками после запятой, не ноль: «1 200,50», для возврата «-300».");
        // clang-format on
    }

    void paymentsAndRefunds()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, paid);
        QFETCH(QString, balance);
        QFETCH(QString, state);
        QFETCH(QString, method);
        QFETCH(QString, stopped);
        OrderBook book(*connection);
        make(book, 0,
             {QStringLiteral("Визитки"), QStringLiteral("Иванов"), QStringLiteral(""),
              Now.addDays(1), OrderStatus::InWork, 0});
        link.reset(new OrdersLink(url, QStringLiteral("стойка-1"), ShopContacts()));
        board = open(link.get(), &prompts);
        QStringList told;
        prompts.onTell = [&](const QString &message, const QString &) { told << message; };
        for (const QString &step : steps) {
            const QStringList parts = step.split(QLatin1Char('|'));
            select(1001);
            QTest::keyClick(board->findChild<QTableView *>(QStringLiteral("tableViewOrders")),
                            Qt::Key_F3);
            PaymentDialog *payment = nullptr;
            QTRY_VERIFY((payment = board->findChild<PaymentDialog *>()) && payment->isVisible());
            auto *amount = payment->findChild<QLineEdit *>(QStringLiteral("lineEditPaymentAmount"));
            amount->clear();
            amount->insert(parts.at(0));
            if (parts.size() > 1) {
                auto *methods
                    = payment->findChild<QComboBox *>(QStringLiteral("comboBoxPaymentMethod"));
                methods->setCurrentIndex(methods->findText(parts.at(1)));
            }
            if (parts.size() > 2)
                payment->findChild<QLineEdit *>(QStringLiteral("lineEditPaymentReason"))
                    ->insert(parts.at(2));
            auto *status = board->findChild<QLabel *>(QStringLiteral("labelOrdersStatus"));
            status->clear();
            payment->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
            if (payment->isVisible()) {
                told << payment->findChild<QLabel *>(QStringLiteral("labelPaymentProblem"))->text();
                payment->reject();
                continue;
            }
            // The answer comes after the news of the change, which lists the board again.
            QTRY_VERIFY(!status->text().isEmpty());
            QTRY_VERIFY(!board->isListing());
        }
        const auto plain = [](QString text) { return text.replace(QChar::Nbsp, QLatin1Char(' ')); };
        QCOMPARE(plain(cell(board, 1001, OrdersModel::Paid)), paid);
        QCOMPARE(plain(cell(board, 1001, OrdersModel::Balance)), balance);
        QCOMPARE(cell(board, 1001, OrdersModel::PaymentStateColumn), state);
        QCOMPARE(told.join(QLatin1Char('|')), stopped);
        OrderDetails details;
        QVERIFY(book.load(1001, &details));
        QCOMPARE(details.payments.isEmpty() ? QString()
                                            : paymentMethodWord(details.payments.last().method),
                 method);
    }

    // Role × the board's actions through the window's seam: what the seam is asked, and the order
    // after it (an action the role may not take alone is not approved here).
    void rightsOnTheBoard_data()
    {
        QTest::addColumn<QString>("role");
        QTest::addColumn<QString>("from");
        QTest::addColumn<qint64>("paid");
        QTest::addColumn<QString>("action"); // F2, cancel, or an amount|method|reason paid
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("paidAfter");
        const auto row
            = [](const char *name, const char *role, const char *from, qint64 paid,
                 const char *action, const char *asked, const char *status, const char *paidAfter) {
                  QTest::newRow(name) << QString::fromUtf8(role) << QString::fromUtf8(from) << paid
                                      << QString::fromUtf8(action) << QString::fromUtf8(asked)
                                      << QString::fromUtf8(status) << QString::fromUtf8(paidAfter);
              };
        // clang-format off
        const char *owing = "выдача с долгом: заказ № 1001: Готов → Выдан, долг 1 180 ₽";
        const char *cancel = "отмена заказа: заказ № 1001: В работе → Отменён, причина: клиент отказался";
        const char *refund = "возврат денег: заказ № 1001: -180 ₽ наличные, причина: брак";
        row("operator: a status move, allowed", "operator", "в работе", 0, "F2",
            "смена статуса: заказ № 1001: В работе → Готов", "Готов", "0 ₽");
        row("operator: handing over owing asks", "operator", "готов", 0, "F2", owing, "Готов",
            "0 ₽");
        row("manager: handing over owing", "manager", "готов", 0, "F2", owing, "Выдан", "0 ₽");
        row("operator: a cancellation asks", "operator", "в работе", 0, "cancel", cancel,
            "В работе", "0 ₽");
        row("manager: a cancellation", "manager", "в работе", 0, "cancel", cancel, "Отменён",
            "0 ₽");
        row("owner: a cancellation", "owner", "в работе", 0, "cancel", cancel, "Отменён", "0 ₽");
        row("operator: a payment, allowed", "operator", "в работе", 0, "500|карта",
            "оплата: заказ № 1001: 500 ₽ карта", "В работе", "500 ₽");
        row("operator: a refund asks", "operator", "в работе", 118000, "-180|наличные|брак",
            refund, "В работе", "1 180 ₽");
        row("manager: a refund", "manager", "в работе", 118000, "-180|наличные|брак", refund,
            "В работе", "1 000 ₽");
        // clang-format on
    }

    void rightsOnTheBoard()
    {
        QFETCH(QString, role);
        QFETCH(QString, from);
        QFETCH(qint64, paid);
        QFETCH(QString, action);
        QFETCH(QString, asked);
        QFETCH(QString, status);
        QFETCH(QString, paidAfter);
        Role signedIn = Role::Operator;
        QVERIFY(roleFromWord(role, &signedIn));
        OrderStatus start = OrderStatus::Accepted;
        QVERIFY(statusFromWord(from, &start));
        OrderBook book(*connection);
        QCOMPARE(make(book, 0,
                      {QStringLiteral("Визитки"), QStringLiteral("Иванов"), QStringLiteral(""),
                       Now.addDays(1), start, paid}),
                 1001);
        link.reset(new OrdersLink(url, QStringLiteral("стойка-1"), ShopContacts()));
        board = open(link.get(), &prompts);
        board->setView(BoardView::All);
        relist();
        QStringList seen;
        board->guard
            = [&](Action right, const QString &what, std::function<void(const AuditRecord &)> go) {
                  seen << actionCaption(right) + QStringLiteral(": ") + what;
                  if (decisionFor(signedIn, right) == Decision::Allowed)
                      go(AuditRecord());
              };
        prompts.answer = QStringLiteral("Выдать");
        board->askReason = [](const QString &, const QString &, QString *given) {
            *given = QStringLiteral("клиент отказался");
            return true;
        };
        select(1001);
        auto *table = board->findChild<QTableView *>(QStringLiteral("tableViewOrders"));
        if (action == QLatin1String("F2")) {
            QTest::keyClick(table, Qt::Key_F2);
        } else if (action == QLatin1String("cancel")) {
            board->findChild<QPushButton *>(QStringLiteral("pushButtonCancelOrder"))->click();
        } else {
            const QStringList parts = action.split(QLatin1Char('|'));
            QTest::keyClick(table, Qt::Key_F3);
            PaymentDialog *payment = nullptr;
            QTRY_VERIFY((payment = board->findChild<PaymentDialog *>()) && payment->isVisible());
            payment->findChild<QLineEdit *>(QStringLiteral("lineEditPaymentAmount"))
                ->insert(parts.at(0));
            auto *methods
                = payment->findChild<QComboBox *>(QStringLiteral("comboBoxPaymentMethod"));
            methods->setCurrentIndex(methods->findText(parts.at(1)));
            if (parts.size() > 2)
                payment->findChild<QLineEdit *>(QStringLiteral("lineEditPaymentReason"))
                    ->insert(parts.at(2));
            payment->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        }
        QTRY_COMPARE(seen.size(), 1);
        QVERIFY(link->waitIdle(5000));
        QTRY_VERIFY(!board->isListing());
        const auto plain = [](QString text) { return text.replace(QChar::Nbsp, QLatin1Char(' ')); };
        QCOMPARE(plain(seen.first()), asked);
        OrderDetails details;
        QVERIFY(book.load(1001, &details));
        QCOMPARE(statusCaption(details.order.status), status);
        QTRY_COMPARE(plain(cell(board, 1001, OrdersModel::Paid)), paidAfter);
    }

    // A statement through the board: its report, a not matched payment paid by hand to an order,
    // and the same file again counting nothing twice.
    void statementWithAMatchByHand()
    {
        OrderBook book(*connection);
        make(book, 0,
             {QStringLiteral("Визитки"), QStringLiteral("Иванов"), QStringLiteral(""),
              Now.addDays(1), OrderStatus::Ready, 0});
        make(book, 1,
             {QStringLiteral("Листовки"), QStringLiteral("Петров"), QStringLiteral(""),
              Now.addDays(1), OrderStatus::Accepted, 0});
        const QString path = dir->filePath(QStringLiteral("statement.txt"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QString text
                = QStringLiteral("1CClientBankExchange\nВерсияФормата=1.03\nКодировка=Windows\n");
            const auto document
                = [&](const QString &number, const QString &sum, const QString &purpose) {
                      text += QStringLiteral("СекцияДокумент=Платежное поручение\nНомер=%1\n"
                                             "Дата=09.03.2026\nСумма=%2\nПлательщикСчет="
                                             "40702810400000000002\nПлательщик1=Плательщик %1\n"
                                             "ПолучательСчет=%3\nДатаПоступило=09.03.2026\n"
                                             "НазначениеПлатежа=%4\nКонецДокумента\n")
                                  .arg(number, sum, Account, purpose);
                  };
            document(QStringLiteral("11"), QStringLiteral("1180.00"),
                     QStringLiteral("Оплата по счёту № 1001 от 02.03.2026"));
            document(QStringLiteral("12"), QStringLiteral("500.00"),
                     QStringLiteral("За листовки, Петров"));
            text += QStringLiteral("КонецФайла\n");
            file.write(QByteArray("\xEF\xBB\xBF") + text.toUtf8());
        }
        link.reset(new OrdersLink(url, QStringLiteral("стойка-1"), ShopContacts()));
        board = open(link.get(), &prompts);
        board->importStatementFile(path);
        StatementDialog *report = nullptr;
        QTRY_VERIFY((report = board->findChild<StatementDialog *>()) && report->isVisible());
        QCOMPARE(report->findChild<QLabel *>(QStringLiteral("labelStatementSummary"))->text(),
                 QStringLiteral("Документов: 2. Оплачено полностью: 1, частично: 0, переплата: 0, "
                                "не сопоставлено: 1, уже загружено: 0, пропущено: 0."));
        auto *table = report->findChild<QTableWidget *>(QStringLiteral("tableStatement"));
        QCOMPARE(table->item(1, 0)->text(), QStringLiteral("не сопоставлен"));
        table->selectRow(1);
        report->findChild<QLineEdit *>(QStringLiteral("lineEditStatementOrder"))
            ->insert(QStringLiteral("1002"));
        auto *match = report->findChild<QPushButton *>(QStringLiteral("pushButtonStatementMatch"));
        QVERIFY(match->isEnabled());
        match->click();
        QTRY_COMPARE(report->findChild<QLabel *>(QStringLiteral("labelStatementStatus"))->text(),
                     QStringLiteral("Платёж № 12 зачтён в заказ № 1002."));
        QVERIFY(!match->isEnabled());
        QTRY_COMPARE(cell(board, 1002, OrdersModel::Paid).replace(QChar::Nbsp, QLatin1Char(' ')),
                     QStringLiteral("500 ₽"));
        QCOMPARE(cell(board, 1001, OrdersModel::PaymentStateColumn), QStringLiteral("оплачен"));

        // Again: both known, nothing paid twice, the hand's match included.
        board->importStatementFile(path);
        QTRY_VERIFY(board->findChild<StatementDialog *>() != report
                    && board->findChild<StatementDialog *>());
        report = board->findChild<StatementDialog *>();
        QCOMPARE(report->report().count(StatementLine::AlreadyImported), 2);
        QVERIFY(link->waitIdle(5000));
        QTRY_VERIFY(!board->isListing());
        QCOMPARE(cell(board, 1002, OrdersModel::Paid).replace(QChar::Nbsp, QLatin1Char(' ')),
                 QStringLiteral("500 ₽"));
        OrderDetails details;
        QVERIFY(book.load(1002, &details));
        QCOMPARE(details.payments.size(), 1);
        QCOMPARE(details.payments.first().reason,
                 QStringLiteral("Выписка банка: № 12 от 09.03.2026, Плательщик 12"));
    }

    // On a cluster whose rights keep refunds and cancels to managers, the board's counter login
    // is refused; the manager's login, asked over the board, does it; the session's next
    // manager's deed asks nothing.
    void refundAndCancelWithTheManagersLogin()
    {
        PgCluster cluster {QStringLiteral("OwnerPw1")};
        QVERIFY2(cluster.start(), qPrintable(cluster.error));
        Connection owner;
        QVERIFY(owner.open(DatabaseUrl::parse(cluster.url(QStringLiteral("printcalc"),
                                                          QStringLiteral("OwnerPw1"))),
                           QStringLiteral("owner")));
        QString error;
        QVERIFY2(setUpShopRoles(owner.database(), &error), qPrintable(error));
        for (const auto &[name, role] :
             {std::pair {"kassa", ShopRole::Counter}, std::pair {"boss", ShopRole::Manager}})
            QVERIFY2(addShopLogin(owner.database(), QLatin1String(name), role,
                                  QStringLiteral("Pw-1"), &error),
                     qPrintable(error));
        OrderBook book(owner);
        QCOMPARE(make(book, 0,
                      {QStringLiteral("Визитки"), QStringLiteral("Иванов"), QString(),
                       Now.addDays(1), OrderStatus::InWork, 118000}),
                 1001);
        link.reset(new OrdersLink(
            DatabaseUrl::parse(cluster.url(QStringLiteral("kassa"), QStringLiteral("Pw-1"))),
            QStringLiteral("стойка-1"), ShopContacts()));
        board = open(link.get(), &prompts);
        select(1001);
        QTest::keyClick(board->findChild<QTableView *>(QStringLiteral("tableViewOrders")),
                        Qt::Key_F3);
        PaymentDialog *payment = nullptr;
        QTRY_VERIFY((payment = board->findChild<PaymentDialog *>()) && payment->isVisible());
        payment->findChild<QLineEdit *>(QStringLiteral("lineEditPaymentAmount"))
            ->setText(QStringLiteral("-180"));
        payment->findChild<QLineEdit *>(QStringLiteral("lineEditPaymentReason"))
            ->setText(QStringLiteral("брак"));
        payment->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        QTRY_VERIFY(board->findChild<ManagerLoginDialog *>());
        QPointer<ManagerLoginDialog> login = board->findChild<ManagerLoginDialog *>();
        const auto paid = [&] {
            OrderDetails details;
            return book.load(1001, &details) ? details.order.paidKopecks : -1;
        };
        QCOMPARE(paid(), 118000);
        auto *message = login->findChild<QLabel *>(QStringLiteral("labelManagerLoginMessage"));
        const struct
        {
            const char *user, *password;
            QString told;
        } tried[] = {
            {"boss", "wrong",
             QStringLiteral("Неверное имя входа или пароль «boss»: ничего не изменено.")},
            {"kassa", "Pw-1",
             QStringLiteral("Вход «kassa» не менеджерский: база не разрешает ему возвращать "
                            "деньги. Ничего не изменено.")},
            {"boss", "Pw-1", QString()},
        };
        for (const auto &each : tried) {
            QVERIFY(login);
            login->findChild<QLineEdit *>(QStringLiteral("lineEditManagerUser"))
                ->setText(QLatin1String(each.user));
            login->findChild<QLineEdit *>(QStringLiteral("lineEditManagerPassword"))
                ->setText(QLatin1String(each.password));
            login->findChild<QPushButton *>(QStringLiteral("pushButtonManagerLogin"))->click();
            if (each.told.isEmpty())
                break;
            QTRY_COMPARE(message->text(), each.told);
            QCOMPARE(paid(), 118000);
        }
        QTRY_COMPARE(paid(), 100000);
        QTRY_VERIFY(!board->findChild<ManagerLoginDialog *>());

        board->askReason = [](const QString &, const QString &, QString *given) {
            *given = QStringLiteral("клиент отказался");
            return true;
        };
        board->findChild<QPushButton *>(QStringLiteral("pushButtonCancelOrder"))->click();
        const auto status = [&] {
            OrderDetails details;
            return book.load(1001, &details) ? statusCaption(details.order.status) : QString();
        };
        QTRY_COMPARE(status(), QStringLiteral("Отменён"));
        QVERIFY2(!board->findChild<ManagerLoginDialog *>(), "the login was asked again");
        QVERIFY(link->waitIdle(5000));
        delete board;
        board = nullptr;
        link.reset();
    }

    // Two counters' boards on one PostgreSQL cluster, and a third program (the command line's
    // book): each change shows on the other board within a second, without a key pressed there.
    void twoCountersOnOneCluster()
    {
        PgCluster cluster;
        QVERIFY2(cluster.start(), qPrintable(cluster.error));
        const DatabaseUrl shop = DatabaseUrl::parse(cluster.url());
        Connection other;
        QVERIFY2(other.open(shop, QStringLiteral("cli")), qPrintable(other.errorText()));
        OrderBook book(other);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(make(book, i, Generated[i]), 1001 + i);
        OrdersLink first(shop, QStringLiteral("стойка-1"), ShopContacts());
        OrdersLink second(shop, QStringLiteral("стойка-2"), ShopContacts());
        QSignalSpy firstListening(&first, &OrdersLink::listening);
        QSignalSpy secondListening(&second, &OrdersLink::listening);
        PromptRecorder secondPrompts;
        board = open(&first, &prompts);
        std::unique_ptr<OrdersDialog> follower(open(&second, &secondPrompts));
        QTRY_COMPARE(firstListening.count(), 1);
        QTRY_COMPARE(secondListening.count(), 1);
        QCOMPARE(shownNumbers(follower.get()), (QVector<qint64> {1003, 1001, 1002}));

        // The first board moves an order on; the second follows.
        select(1001);
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(board->findChild<QTableView *>(QStringLiteral("tableViewOrders")),
                        Qt::Key_F2);
        QTRY_COMPARE_WITH_TIMEOUT(cell(follower.get(), 1001, OrdersModel::Status),
                                  QStringLiteral("В работе"), 1000);
        qInfo("a status change seen on the second counter after %lld ms", timer.elapsed());

        // A payment on the second shows on the first.
        Payment paid;
        paid.kopecks = 50000;
        second.addPayment(1002, paid, this, [](const OrderAnswer &) {});
        QTRY_COMPARE_WITH_TIMEOUT(
            cell(board, 1002, OrdersModel::Paid).replace(QChar::Nbsp, QLatin1Char(' ')),
            QStringLiteral("1 000 ₽"), 1000);

        // The third program hands an order over: it leaves both open views.
        QVERIFY(book.changeStatus(1003, OrderStatus::HandedOver, QString(), false,
                                  QStringLiteral("стойка-3"), QDateTime())
                    .done());
        QTRY_COMPARE_WITH_TIMEOUT(shownNumbers(board), (QVector<qint64> {1001, 1002}), 1000);
        QTRY_COMPARE_WITH_TIMEOUT(shownNumbers(follower.get()), (QVector<qint64> {1001, 1002}),
                                  1000);

        // The web service stores a request: both boards list it within a second.
        QCOMPARE(storeWebRequest(other, webRequest(QStringLiteral("Иван"), QString())), 1);
        QTRY_VERIFY_WITH_TIMEOUT(board->orders()->rowOfRequest(1) >= 0, 1000);
        QTRY_VERIFY_WITH_TIMEOUT(follower->orders()->rowOfRequest(1) >= 0, 1000);
        // The second confirms it: the first sees the order in its place.
        RequestTerms terms;
        terms.lowestNumber = 1001;
        second.confirmRequest(1, terms, this, [](qint64, const QString &) {});
        QTRY_COMPARE_WITH_TIMEOUT(shownNumbers(board), (QVector<qint64> {1001, 1002, 1004}), 1000);
        QCOMPARE(board->orders()->rowOfRequest(1), -1);
        follower.reset();
        delete board;
        board = nullptr;
    }

    // "Заказы" just before "Журнал" opens the board as a window of its own beside the window,
    // which stays usable; pressed again, the same board comes to the front.
    void windowButton()
    {
        PromptRecorder told;
        DocumentRecorder documents;
        std::unique_ptr<MainWindow> window(new MainWindow(nullptr, &told, &documents));
        documents.attach(window.get());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        auto *tabs = window->findChild<QTabWidget *>(QStringLiteral("tabWidget"));
        QLayout *corner = tabs->cornerWidget(Qt::TopRightCorner)->layout();
        auto *orders = window->findChild<QPushButton *>(QStringLiteral("pushButtonOrders"));
        QVERIFY(orders);
        QCOMPARE(corner->itemAt(corner->indexOf(orders) + 1)->widget()->objectName(),
                 QStringLiteral("pushButtonJournal"));
        orders->click();
        auto *opened = window->findChild<OrdersDialog *>(QStringLiteral("OrdersDialog"));
        QVERIFY(opened);
        QVERIFY(opened->isVisible() && opened->isWindow() && !opened->isModal());
        QCOMPARE(opened->windowTitle(), QStringLiteral("Заказы"));
        QTRY_VERIFY(opened->listsShown() > 0);
        orders->click();
        QCOMPARE(window->findChildren<OrdersDialog *>().size(), 1);
        QVERIFY(window->isEnabled());
    }

    // Each order's latest "ready" mail as the sender leaves it, in the board's column.
    void mailStates_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("shown");
        QTest::newRow("queued") << 0 << ""
                                << "в очереди";
        QTest::newRow("sent") << 1 << ""
                              << "отправлено";
        QTest::newRow("failed, tried again later") << 2 << "421 try later"
                                                   << "в очереди, повтор позже: 421 try later";
        QTest::newRow("given up") << 3 << "550 mailbox unavailable — письмо больше не отправляется"
                                  << "письмо не будет отправлено: 550 mailbox unavailable";
    }

    void mailStates()
    {
        QFETCH(int, state);
        QFETCH(QString, error);
        QFETCH(QString, shown);
        OrderBook book(*connection);
        OrderIntake order = intake(0, Generated[0]);
        order.email = QStringLiteral("ivanov@example.ru");
        QCOMPARE(book.take(order, 1001), 1001);
        QVERIFY(book.changeStatus(1001, OrderStatus::Ready, QString(), false,
                                  QStringLiteral("стойка-1"), Now)
                    .mailQueued);
        QSqlQuery query(connection->database());
        query.prepare(QStringLiteral("UPDATE mail_queue SET state = ?, last_error = ?"));
        query.addBindValue(state);
        query.addBindValue(error);
        QVERIFY(query.exec());
        link.reset(new OrdersLink(url, QStringLiteral("стойка-1"), ShopContacts()));
        board = open(link.get(), &prompts);
        QCOMPARE(cell(board, 1001, OrdersModel::Mail), shown);
        select(1001);
        QTRY_COMPARE(board->openedNumber(), 1001);
        QCOMPARE(board->openedOrder().mails.size(), 1);
        auto *mails = board->findChild<QTableWidget *>(QStringLiteral("tableOrderMails"));
        QCOMPARE(mails->item(0, 0)->text(), QStringLiteral("ivanov@example.ru"));
        QCOMPARE(mails->item(0, 1)->text(), QStringLiteral("Заказ № 1001 готов"));
        QCOMPARE(mails->item(0, 2)->text(), shown);
    }
};

QTEST_MAIN(OrdersBoardTest)
#include "test_orders_board.moc"
