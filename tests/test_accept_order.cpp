// Taking an order at the counter, driven as the operator does on the window's real SQLite file:
// the dialog's defaults and keys and its refusals, the order stored as taken with its prepayment
// and number, a taken order changed as its next revision, and the documents of a changed order.
#include "tests/document_number.h"
#include "tests/page_driver.h"
#include "tests/pdf_text.h"

#include "app/document_actions.h"
#include "app/order_storage.h"
#include "app/order_taking.h"
#include "dialogs/accept_order_dialog.h"
#include "dialogs/shift_dialog.h"
#include "documents/document_settings.h"
#include "documents/invoice_document.h"
#include "order/order.h"
#include "storage/connection.h"
#include "storage/journal.h"
#include "storage/order_book.h"
#include "storage/settings.h"
#include "storage/shift_store.h"
#include "storage/shop_link.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <memory>

namespace {

// Messages name sums with no-break spaces; the tables write plain ones.
QString plain(QString text)
{
    return text.replace(QChar(0x00A0), QLatin1Char(' '));
}

QString paymentsText(const QVector<Payment> &payments)
{
    QStringList texts;
    for (const Payment &payment : payments)
        texts << QStringLiteral("%1 %2 %3")
                     .arg(kopecksText(payment.kopecks), paymentMethodWord(payment.method),
                          payment.reason);
    return texts.join(QStringLiteral("; "));
}

} // namespace

class AcceptOrderTest : public QObject, private PageDriver
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home;

    ShopLink *shop() const { return window->orderKeeper()->shop(); }
    OrderTaking *taking() const { return window->findChild<OrderTaking *>(); }
    QString settingsPath() const
    {
        return home->path() + QStringLiteral("/config/printcalc/printcalc.ini");
    }

    // The settings file of the next window: no office behind the window's back, and the lines
    // given.
    void writeSettings(const QByteArray &extra) const
    {
        QVERIFY(QDir().mkpath(QFileInfo(settingsPath()).path()));
        QFile settings(settingsPath());
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[office]\nwarmup=false\n" + extra);
    }

    void reopen(const QByteArray &extra)
    {
        closeWindow();
        writeSettings(extra);
        QVERIFY(openWindow());
        window->activateWindow();
        QApplication::setActiveWindow(window);
    }

    void addLine(const QString &description, const QString &quantity, const QString &price)
    {
        window->appendOrderLine(description, quantity, price, QStringLiteral("значение=1"),
                                QString(), false);
    }

    AcceptOrderDialog *dialog() const { return window->findChild<AcceptOrderDialog *>(); }
    template<class T> T *inDialog(const char *name) const
    {
        T *widget = dialog()->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("the dialog has no %s", name);
        return widget;
    }

    // "Принять заказ", the dialog filled, Enter in the due time; the number the shop gave.
    qint64 accept(const std::function<void()> &fill = {})
    {
        QSignalSpy taken(taking(), &OrderTaking::orderAccepted);
        QSignalSpy revised(taking(), &OrderTaking::revisionStored);
        click(QStringLiteral("pushButtonAccept"));
        if (!dialog()) {
            qWarning("no dialog opened");
            return 0;
        }
        if (fill)
            fill();
        QTest::keyClick(inDialog<QDateTimeEdit>("dateTimeEditDue"), Qt::Key_Return);
        if (!QTest::qWaitFor([&] { return !taken.isEmpty() || !revised.isEmpty(); }, 10000))
            return 0;
        return (taken.isEmpty() ? revised : taken).first().first().toLongLong();
    }

    // The shop's file opened beside the window, as a second program would.
    bool openShop(Connection *connection) const
    {
        shop()->waitIdle(5000);
        return connection->open(shop()->url(), QStringLiteral("test"));
    }

    // The organisation "Ромашка" with what the card gives, stored through the window's shop.
    Customer savedCard(Customer card)
    {
        card.kind = Customer::Organisation;
        card.shortName = QStringLiteral("Ромашка");
        bool saved = false;
        shop()->saveCustomer(card, window,
                             [&](CustomerSaveResult, const Customer &kept,
                                 const QVector<CustomerProblem> &, const Customer &,
                                 const QString &) {
                                 card = kept;
                                 saved = true;
                             });
        // Not saved in time: the card has no id, which the caller checks.
        if (!QTest::qWaitFor([&] { return saved; }, 5000))
            return Customer();
        return card;
    }

    static AcceptOrderSetup setupOf(qint64 totalKopecks)
    {
        AcceptOrderSetup setup;
        setup.lineCount = 1;
        setup.totalKopecks = totalKopecks;
        setup.now = QDateTime(QDate(2026, 12, 9), QTime(9, 0));
        return setup;
    }

private slots:
    void initTestCase() { useDesktopFont(); }
    void init()
    {
        home = std::make_unique<QTemporaryDir>();
        qputenv("HOME", home->path().toUtf8());
        qputenv("XDG_DATA_HOME", (home->path() + QStringLiteral("/data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", (home->path() + QStringLiteral("/config")).toUtf8());
        qunsetenv("PRINTCALC_DATABASE");
        writeSettings("[invoices]\nnext_number=1042\n");
        QVERIFY(openWindow());
        window->activateWindow();
        QApplication::setActiveWindow(window);
    }
    void cleanup() { closeWindow(); }

    // The button and the change notice lie in the order area clear of every other control, their
    // captions whole.
    void theControlsFitTheirPlaces()
    {
        QWidget *area = find<QWidget>(QStringLiteral("centralwidget"));
        // Shown as an order being changed shows them.
        addLine(QStringLiteral("Визитки"), QStringLiteral("10"), QStringLiteral("100"));
        QCOMPARE(accept(), qint64(1042));
        window->reviseTakenOrder(1042);
        QTRY_COMPARE(taking()->revisingNumber(), qint64(1042));
        auto *notice = find<QLabel>(QStringLiteral("labelAcceptState"));
        QVERIFY(notice->isVisible());
        for (const QString &word : notice->text().split(QLatin1Char(' ')))
            QVERIFY2(notice->fontMetrics().horizontalAdvance(word) <= notice->width(),
                     qPrintable(QStringLiteral("%1 is wider than the change notice: %2 in %3")
                                    .arg(word)
                                    .arg(notice->fontMetrics().horizontalAdvance(word))
                                    .arg(notice->width())));
        for (const char *name :
             {"pushButtonAccept", "labelAcceptState", "pushButtonCancelRevising"}) {
            auto *control = find<QWidget>(QLatin1String(name));
            QCOMPARE(control->parentWidget(), area);
            QVERIFY2(area->rect().contains(control->geometry()), name);
            // A button's caption, line by line, within its frame (the style asks for at least
            // 80 pixels of every button with a caption, whatever the caption needs).
            if (auto *button = qobject_cast<QPushButton *>(control))
                for (const QString &line : button->text().split(QLatin1Char('\n')))
                    QVERIFY2(button->fontMetrics().horizontalAdvance(line) + 8 <= button->width()
                                 && button->fontMetrics().height()
                                             * (button->text().count(QLatin1Char('\n')) + 1)
                                         + 4
                                     <= button->height(),
                             qPrintable(QStringLiteral("%1 cuts its caption: %2 (%3×%4 in %5×%6)")
                                            .arg(QLatin1String(name), line)
                                            .arg(button->fontMetrics().horizontalAdvance(line))
                                            .arg(button->fontMetrics().height())
                                            .arg(button->width())
                                            .arg(button->height())));
            for (const QWidget *other :
                 area->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
                QVERIFY2(other == control || !other->isVisible()
                             || !other->geometry().intersects(control->geometry()),
                         qPrintable(QLatin1String(name) + QStringLiteral(" overlaps ")
                                    + other->objectName()));
        }
        QVERIFY2(notice->heightForWidth(notice->width()) <= notice->height(),
                 "the change notice is cut");
    }

    // The promise by default, from the settings' [orders]; the focus on it.
    void dialogDefaults_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QByteArray>("orders");
        QTest::addColumn<QDateTime>("due");
        const QByteArray weekdays = "workingDays=1,2,3,4,5\ndueHour=12\n";
        QTest::newRow("Friday afternoon: Monday at noon")
            << QDateTime(QDate(2026, 12, 4), QTime(15, 30)) << weekdays
            << QDateTime(QDate(2026, 12, 7), QTime(12, 0));
        QTest::newRow("Saturday: Monday") << QDateTime(QDate(2026, 12, 5), QTime(10, 0)) << weekdays
                                          << QDateTime(QDate(2026, 12, 7), QTime(12, 0));
        QTest::newRow("Wednesday morning: Thursday")
            << QDateTime(QDate(2026, 12, 9), QTime(9, 0)) << weekdays
            << QDateTime(QDate(2026, 12, 10), QTime(12, 0));
        QTest::newRow("no [orders] at all: the same")
            << QDateTime(QDate(2026, 12, 4), QTime(15, 30)) << QByteArray()
            << QDateTime(QDate(2026, 12, 7), QTime(12, 0));
        QTest::newRow("a shop open on Saturdays, Friday")
            << QDateTime(QDate(2026, 12, 4), QTime(15, 30))
            << QByteArray("workingDays=1,2,3,4,5,6\n")
            << QDateTime(QDate(2026, 12, 5), QTime(12, 0));
        QTest::newRow("Tuesday, Thursday and Saturday, from Thursday")
            << QDateTime(QDate(2026, 12, 10), QTime(18, 0)) << QByteArray("workingDays=2,4,6\n")
            << QDateTime(QDate(2026, 12, 12), QTime(12, 0));
        QTest::newRow("Sundays only") << QDateTime(QDate(2026, 12, 9), QTime(9, 0))
                                      << QByteArray("workingDays=7\ndueHour=17\n")
                                      << QDateTime(QDate(2026, 12, 13), QTime(17, 0));
        QTest::newRow("at ten") << QDateTime(QDate(2026, 12, 4), QTime(8, 0))
                                << QByteArray("dueHour=10\n")
                                << QDateTime(QDate(2026, 12, 7), QTime(10, 0));
        QTest::newRow("a day that is none: Monday to Friday")
            << QDateTime(QDate(2026, 12, 4), QTime(8, 0))
            << QByteArray("workingDays=1,8\ndueHour=25\n")
            << QDateTime(QDate(2026, 12, 7), QTime(12, 0));
    }
    void dialogDefaults()
    {
        QFETCH(QDateTime, now);
        QFETCH(QByteArray, orders);
        QFETCH(QDateTime, due);
        writeSettings(orders.isEmpty() ? QByteArray() : "[orders]\n" + orders);
        const Settings settings(settingsPath());
        AcceptOrderSetup setup = setupOf(100);
        setup.now = now;
        setup.workingDays = settings.workingDays();
        setup.dueHour = settings.dueHour();
        AcceptOrderDialog opened(setup, prompts, window);
        opened.show();
        QCOMPARE(opened.findChild<QDateTimeEdit *>(QStringLiteral("dateTimeEditDue"))->dateTime(),
                 due);
        QCOMPARE(opened.focusWidget()->objectName(), QStringLiteral("dateTimeEditDue"));
        QCOMPARE(opened.accepted().due, due);
    }

    // The window's dialog reads the same settings.
    void theWindowsDialogTakesTheSettings()
    {
        reopen("[orders]\nworkingDays=3\ndueHour=9\n");
        addLine(QStringLiteral("Визитки"), QStringLiteral("10"), QStringLiteral("100"));
        click(QStringLiteral("pushButtonAccept"));
        QVERIFY(dialog());
        const QDateTime due = inDialog<QDateTimeEdit>("dateTimeEditDue")->dateTime();
        QCOMPARE(due.date().dayOfWeek(), 3);
        QCOMPARE(due.time(), QTime(9, 0));
        QVERIFY(due > QDateTime::currentDateTime());
        QVERIFY(due.date() <= QDate::currentDate().addDays(7));
        QCOMPARE(plain(inDialog<QLabel>("labelOrderSummary")->text()),
                 QStringLiteral("Заказ: 1 строка на 1 180 ₽."));
    }

    // Enter accepts wherever the operator is, except in the note, where it starts a new line.
    void enterAccepts_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("accepts");
        QTest::newRow("the due time") << "dateTimeEditDue" << true;
        QTest::newRow("the prepayment") << "doubleSpinBoxPrepayment" << true;
        QTest::newRow("the method") << "comboBoxPrepaymentMethod" << true;
        QTest::newRow("a walk-in's phone") << "lineEditWalkInPhone" << true;
        QTest::newRow("the customer's choice") << "radioButtonNoCustomer" << true;
        QTest::newRow("the note") << "plainTextEditOrderNote" << false;
    }
    void enterAccepts()
    {
        QFETCH(QString, field);
        QFETCH(bool, accepts);
        AcceptOrderDialog opened(setupOf(118000), prompts, window);
        opened.show();
        QVERIFY(QTest::qWaitForWindowExposed(&opened));
        auto *widget = opened.findChild<QWidget *>(field);
        QVERIFY(widget);
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key_Return);
        QCOMPARE(opened.result() == QDialog::Accepted, accepts);
        QCOMPARE(opened.isVisible(), !accepts);
        if (!accepts)
            QCOMPARE(opened.accepted().note, QString());
        QVERIFY2(prompts.titles.isEmpty(), "Enter was refused");
    }

    // What the dialog refuses or asks before it closes, and what it hands back.
    void refusals_data()
    {
        QTest::addColumn<double>("prepayment");
        QTest::addColumn<int>("dueMinutes"); // from the dialog's moment
        QTest::addColumn<QString>("walkIn"); // "name|phone", or empty for nobody
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("said");
        QTest::newRow("a prepayment above the total")
            << 1180.01 << 60 << ""
            << "" << false
            << "Предоплата 1 180,01 ₽ больше суммы заказа 1 180 ₽: "
               "исправьте "
               "её.";
        QTest::newRow("the whole total paid ahead") << 1180.0 << 60 << ""
                                                    << "" << true << "";
        QTest::newRow("a promise already past, taken all the same")
            << 0.0 << -60 << ""
            << "Принять" << true
            << "Срок 09.12.2026 08:00 уже прошёл. Принять заказ с этим сроком?";
        QTest::newRow("a promise already past, changed")
            << 0.0 << -60 << ""
            << "Изменить срок" << false
            << "Срок 09.12.2026 08:00 уже прошёл. Принять заказ с этим сроком?";
        QTest::newRow("a walk-in without name or phone")
            << 0.0 << 60 << "|"
            << "" << false
            << "Для клиента без карточки впишите имя или телефон, либо выберите «Без клиента».";
        QTest::newRow("a walk-in with a phone only") << 0.0 << 60 << "|+7 900 000-00-01"
                                                     << "" << true << "";
    }
    void refusals()
    {
        QFETCH(double, prepayment);
        QFETCH(int, dueMinutes);
        QFETCH(QString, walkIn);
        QFETCH(QString, answer);
        QFETCH(bool, accepted);
        QFETCH(QString, said);
        const AcceptOrderSetup setup = setupOf(118000);
        AcceptOrderDialog opened(setup, prompts, window);
        opened.show();
        QString told;
        prompts.onTell = [&](const QString &message, const QString &) { told = message; };
        prompts.answer = answer;
        opened.findChild<QDoubleSpinBox *>(QStringLiteral("doubleSpinBoxPrepayment"))
            ->setValue(prepayment);
        opened.findChild<QDateTimeEdit *>(QStringLiteral("dateTimeEditDue"))
            ->setDateTime(setup.now.addSecs(dueMinutes * 60));
        if (!walkIn.isEmpty()) {
            opened.findChild<QRadioButton *>(QStringLiteral("radioButtonWalkIn"))->setChecked(true);
            opened.findChild<QLineEdit *>(QStringLiteral("lineEditWalkInName"))
                ->insert(walkIn.section(QLatin1Char('|'), 0, 0));
            opened.findChild<QLineEdit *>(QStringLiteral("lineEditWalkInPhone"))
                ->insert(walkIn.section(QLatin1Char('|'), 1));
        }
        opened.accept();
        QCOMPARE(opened.result() == QDialog::Accepted, accepted);
        QCOMPARE(plain(told.isEmpty() ? prompts.questions.value(0) : told), said);
        if (accepted)
            QCOMPARE(opened.accepted().prepaymentKopecks, qint64(qRound64(prepayment * 100)));
    }

    // A walk-in's phone typed selects the walk-in; the card chosen in the window is offered first.
    void theCustomerOffered()
    {
        AcceptOrderSetup setup = setupOf(118000);
        AcceptOrderDialog nobody(setup, prompts, window);
        QVERIFY(
            nobody.findChild<QRadioButton *>(QStringLiteral("radioButtonNoCustomer"))->isChecked());
        QVERIFY(!nobody.findChild<QRadioButton *>(QStringLiteral("radioButtonChosenCustomer"))
                     ->isEnabled());
        QTest::keyClicks(nobody.findChild<QLineEdit *>(QStringLiteral("lineEditWalkInPhone")),
                         QStringLiteral("89001234567"));
        QCOMPARE(nobody.accepted().phone, QStringLiteral("89001234567"));
        QCOMPARE(nobody.accepted().customer.phone, QStringLiteral("89001234567"));

        setup.chosen.id = 7;
        setup.chosen.shortName = QStringLiteral("Ромашка");
        setup.chosen.phone = QStringLiteral("+7 495 111-22-33");
        AcceptOrderDialog chosen(setup, prompts, window);
        auto *radio = chosen.findChild<QRadioButton *>(QStringLiteral("radioButtonChosenCustomer"));
        QVERIFY(radio->isChecked());
        QCOMPARE(radio->text(), QStringLiteral("Выбранный в окне: Ромашка · +7 495 111-22-33"));
        QCOMPARE(chosen.accepted().customer.id, qint64(7));
        QCOMPARE(chosen.accepted().phone, QStringLiteral("+7 495 111-22-33"));
    }

    // An empty order is refused before any dialog.
    void anEmptyOrderIsRefused()
    {
        QString told;
        prompts.onTell = [&](const QString &message, const QString &) { told = message; };
        click(QStringLiteral("pushButtonAccept"));
        QVERIFY(!dialog());
        QCOMPARE(told, QStringLiteral("В заказе нет ни одной строки: принимать нечего."));
    }

    // "Заказ № N принят" goes at the next change of the order, or after a while by itself.
    void newsFades_data()
    {
        QTest::addColumn<bool>("lineAdded");
        QTest::newRow("a line added") << true;
        QTest::newRow("time passes") << false;
    }
    void newsFades()
    {
        QFETCH(bool, lineAdded);
        taking()->setNewsShown(lineAdded ? 60000 : 300);
        addLine(QStringLiteral("Визитки"), QStringLiteral("10"), QStringLiteral("100"));
        const qint64 number = accept();
        auto *state = find<QLabel>(QStringLiteral("labelAcceptState"));
        QCOMPARE(state->text(), QStringLiteral("Заказ № %1 принят").arg(number));
        QTest::qWait(100);
        QVERIFY(state->isVisible());
        if (lineAdded)
            addLine(QStringLiteral("Листовки"), QStringLiteral("1"), QStringLiteral("10"));
        QTRY_VERIFY_WITH_TIMEOUT(!state->isVisible(), 2000);
        QCOMPARE(state->text(), QString());
    }

    // One order, one total: the dialog, the board and the invoice agree in every tax mode, with
    // and without the customer's discount.
    void oneTotalInEveryTaxMode_data()
    {
        QTest::addColumn<QByteArray>("tax");
        QTest::addColumn<int>("discount");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("invoiceTotal");
        QTest::addColumn<qint64>("stored");
        QTest::newRow("no tax set: 18 % on top") << QByteArray() << 0 << "7 764,40 ₽"
                                                 << "7 764,40" << qint64(776440);
        QTest::newRow("без НДС") << QByteArray("[tax]\nmode=none\n") << 0 << "6 580 ₽"
                                 << "6 580,00" << qint64(658000);
        QTest::newRow("22 % included")
            << QByteArray("[tax]\nmode=included\nrate=22\n") << 0 << "6 580 ₽"
            << "6 580,00" << qint64(658000);
        QTest::newRow("22 % on top")
            << QByteArray("[tax]\nmode=on-top\nrate=22\n") << 0 << "8 027,60 ₽"
            << "8 027,60" << qint64(802760);
        QTest::newRow("20 % on top, 5 % off")
            << QByteArray("[tax]\nmode=on-top\nrate=20\n") << 500 << "7 501,20 ₽"
            << "7 501,20" << qint64(750120);
        QTest::newRow("без НДС, 5,25 % off")
            << QByteArray("[tax]\nmode=none\n") << 525 << "6 234,55 ₽"
            << "6 234,55" << qint64(623455);
    }
    void oneTotalInEveryTaxMode()
    {
        QFETCH(QByteArray, tax);
        QFETCH(int, discount);
        QFETCH(QString, summary);
        QFETCH(QString, invoiceTotal);
        QFETCH(qint64, stored);
        reopen("[invoices]\nnext_number=1042\n" + tax);
        if (discount > 0) {
            Customer card;
            card.discountHundredths = discount;
            card = savedCard(card);
            QVERIFY(card.id > 0);
            window->order()->setCustomer(card);
        }
        for (const auto &[what, quantity, price] :
             {std::tuple {"Визитки", "10", "100"}, std::tuple {"Листовки", "2", "1290"},
              std::tuple {"Баннер", "1", "2000"}, std::tuple {"Кружки", "10", "100"}})
            addLine(QString::fromUtf8(what), QLatin1String(quantity), QLatin1String(price));
        const InvoiceDocument document = DocumentActions::documentFor(
            window->order()->lines(), DocumentSettings::load(), window->order()->customer());
        QCOMPARE(plain(invoiceTexts(document).total), invoiceTotal);
        const qint64 number = accept([&] {
            QCOMPARE(plain(inDialog<QLabel>("labelOrderSummary")->text()),
                     QStringLiteral("Заказ: 4 строки на ") + summary + QLatin1Char('.'));
        });
        QVERIFY(number > 0);
        Connection connection;
        QVERIFY(openShop(&connection));
        OrderDetails details;
        QVERIFY(OrderBook(connection).load(number, &details));
        QCOMPARE(details.order.totalKopecks, stored);
    }

    // Cash with no shift open at a counter that keeps shifts: the order stays, and the shift's
    // dialog is offered to count the float in.
    void cashWithoutAShiftOffersOne_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("shiftShown");
        QTest::newRow("opened") << "Открыть смену…" << true;
        QTest::newRow("not now") << "Не сейчас" << false;
        QTest::newRow("Esc") << "" << false;
    }
    void cashWithoutAShiftOffersOne()
    {
        QFETCH(QString, answer);
        QFETCH(bool, shiftShown);
        reopen("[counter]\nname=стойка-3\n");
        {
            Connection connection;
            QVERIFY(openShop(&connection));
            ShiftStore shifts(connection);
            const QDateTime morning = QDateTime::currentDateTime().addSecs(-3600);
            QVERIFY(shifts.open(QStringLiteral("стойка-3"), 0, QString(), morning).done());
            QVERIFY(
                shifts.close(QStringLiteral("стойка-3"), 0, QString(), morning.addSecs(60)).done());
        }
        addLine(QStringLiteral("Визитки"), QStringLiteral("10"), QStringLiteral("100"));
        prompts.answer = answer;
        QSignalSpy refused(taking(), &OrderTaking::takingRefused);
        click(QStringLiteral("pushButtonAccept"));
        QVERIFY(dialog());
        inDialog<QDoubleSpinBox>("doubleSpinBoxPrepayment")->setValue(300);
        inDialog<QComboBox>("comboBoxPrepaymentMethod")->setCurrentIndex(0);
        QTest::keyClick(inDialog<QDateTimeEdit>("dateTimeEditDue"), Qt::Key_Return);
        QTRY_COMPARE(refused.size(), 1);
        QVERIFY(refused.first().first().toString().contains(
            QStringLiteral("Наличные принимаются только в открытой смене")));
        QCOMPARE(prompts.offered,
                 QStringList({QStringLiteral("Открыть смену…"), QStringLiteral("Не сейчас")}));
        QCOMPARE(rows(), 1);
        auto *shift = window->findChild<ShiftDialog *>();
        QCOMPARE(shift && shift->isVisible(), shiftShown);
    }

    // Accepted: stored as taken with the prepayment as its payment and the journal's number (the
    // one a document gave it already, if any); the window starts the next order empty.
    void acceptStoresTheOrder_data()
    {
        QTest::addColumn<QString>("customer"); // "card", "walk-in", "none"
        QTest::addColumn<double>("prepayment");
        QTest::addColumn<int>("method");
        QTest::addColumn<bool>("pdfFirst");
        QTest::addColumn<qint64>("number");
        QTest::addColumn<int>("invoices");
        QTest::addColumn<QString>("payments");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("phone");
        QTest::newRow("a card's customer, by card")
            << "card" << 500.0 << 1 << false << qint64(1042) << 1 << "500.00 карта Предоплата"
            << "Ромашка"
            << "+7 495 111-22-33";
        // Naming another customer changes the order the PDF was made of.
        QTest::newRow("a walk-in, in cash, after a PDF")
            << "walk-in" << 1180.0 << 0 << true << qint64(1043) << 2
            << "1180.00 наличные Предоплата"
            << "Пётр"
            << "+7 900 555-44-33";
        QTest::newRow("a card's customer, by card, after a PDF")
            << "card" << 100.0 << 1 << true << qint64(1042) << 1 << "100.00 карта Предоплата"
            << "Ромашка"
            << "+7 495 111-22-33";
        QTest::newRow("nobody, nothing paid")
            << "none" << 0.0 << 2 << false << qint64(1042) << 1 << ""
            << ""
            << "";
        QTest::newRow("nobody, by transfer, after a PDF")
            << "none" << 0.5 << 2 << true << qint64(1042) << 1 << "0.50 безналичный Предоплата"
            << ""
            << "";
    }
    void acceptStoresTheOrder()
    {
        QFETCH(QString, customer);
        QFETCH(double, prepayment);
        QFETCH(int, method);
        QFETCH(bool, pdfFirst);
        QFETCH(qint64, number);
        QFETCH(int, invoices);
        QFETCH(QString, payments);
        QFETCH(QString, name);
        QFETCH(QString, phone);
        if (customer == QLatin1String("card")) {
            Customer card;
            card.phone = QStringLiteral("+7 495 111-22-33");
            card = savedCard(card);
            QVERIFY(card.id > 0);
            window->order()->setCustomer(card);
        }
        addLine(QStringLiteral("Визитки"), QStringLiteral("10"), QStringLiteral("100"));
        if (pdfFirst) {
            const DocumentNumber number = numberNow(window, QStringLiteral("pdf"));
            QCOMPARE(number.number, qint64(1042));
            window->documentFinished(number.number, QStringLiteral("pdf"), true);
        }
        QDateTime due;
        const qint64 taken = accept([&] {
            if (customer == QLatin1String("walk-in")) {
                inDialog<QRadioButton>("radioButtonWalkIn")->setChecked(true);
                inDialog<QLineEdit>("lineEditWalkInName")->insert(QStringLiteral("Пётр"));
                inDialog<QLineEdit>("lineEditWalkInPhone")
                    ->insert(QStringLiteral("+7 900 555-44-33"));
            }
            inDialog<QDoubleSpinBox>("doubleSpinBoxPrepayment")->setValue(prepayment);
            inDialog<QComboBox>("comboBoxPrepaymentMethod")->setCurrentIndex(method);
            inDialog<QPlainTextEdit>("plainTextEditOrderNote")
                ->setPlainText(QStringLiteral("резать по меткам"));
            due = inDialog<QDateTimeEdit>("dateTimeEditDue")->dateTime();
        });
        QCOMPARE(taken, number);
        QCOMPARE(rows(), 0);
        QVERIFY(window->order()->customer().isNull());
        QCOMPARE(find<QLineEdit>(QStringLiteral("lineEditCustomer"))->text(), QString());
        QCOMPARE(find<QLabel>(QStringLiteral("labelAcceptState"))->text(),
                 QStringLiteral("Заказ № %1 принят").arg(number));

        Connection connection;
        QVERIFY(openShop(&connection));
        OrderDetails details;
        QVERIFY(OrderBook(connection).load(number, &details));
        QCOMPARE(statusWord(details.order.status), QStringLiteral("принят"));
        QCOMPARE(paymentsText(details.payments), payments);
        QCOMPARE(details.order.totalKopecks, qint64(118000));
        QCOMPARE(details.order.due, due);
        QCOMPARE(details.order.note, QStringLiteral("резать по меткам"));
        QCOMPARE(details.order.customer.name(), name);
        QCOMPARE(details.order.phone, phone);
        JournalCounts counts;
        QVERIFY(Journal(connection).counts(&counts));
        QCOMPARE(counts.invoices, invoices);

        // The next order is a new one, with a number of its own.
        addLine(QStringLiteral("Листовки"), QStringLiteral("1"), QStringLiteral("10"));
        QCOMPARE(numberNow(window, QStringLiteral("pdf")).number, number + 1);
    }

    // The shop out of reach: the order stays on screen and the operator is told why.
    void aFailureKeepsTheOrder()
    {
        reopen("[database]\nurl=postgresql://printcalc@127.0.0.1:1/nowhere\n");
        addLine(QStringLiteral("Визитки"), QStringLiteral("10"), QStringLiteral("100"));
        QString told;
        prompts.onTell = [&](const QString &message, const QString &) { told = message; };
        click(QStringLiteral("pushButtonAccept"));
        QVERIFY(dialog());
        QTest::keyClick(inDialog<QDateTimeEdit>("dateTimeEditDue"), Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(!told.isEmpty(), 10000);
        QVERIFY2(told.startsWith(QStringLiteral("Заказ не принят и остаётся в окне: ")),
                 qPrintable(told));
        QCOMPARE(rows(), 1);
        QVERIFY(find<QPushButton>(QStringLiteral("pushButtonAccept"))->isEnabled());
        QVERIFY(find<QLabel>(QStringLiteral("labelAcceptState"))->text().isEmpty());
    }

    // A shop that answers late: the window is told and goes on at once; the answer, when it
    // comes, takes the order all the same, once.
    void aLateAnswerHoldsNothing()
    {
        addLine(QStringLiteral("Визитки"), QStringLiteral("10"), QStringLiteral("100"));
        taking()->setAnswerWait(300);
        Connection holder;
        QVERIFY(openShop(&holder));
        QSqlQuery lock(holder.database());
        QVERIFY2(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")), qPrintable(lock.lastError().text()));
        QString told;
        prompts.onTell = [&](const QString &message, const QString &) { told = message; };
        QSignalSpy taken(taking(), &OrderTaking::orderAccepted);
        click(QStringLiteral("pushButtonAccept"));
        QVERIFY(dialog());
        QTest::keyClick(inDialog<QDateTimeEdit>("dateTimeEditDue"), Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(!told.isEmpty(), 2000);
        QVERIFY2(told.startsWith(QStringLiteral("База магазина не ответила вовремя: заказ пока не "
                                                "принят и остаётся в окне.")),
                 qPrintable(told));
        QCOMPARE(rows(), 1);
        QVERIFY(find<QPushButton>(QStringLiteral("pushButtonAccept"))->isEnabled());
        QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
        QTRY_COMPARE_WITH_TIMEOUT(taken.count(), 1, 6000);
        QCOMPARE(taken.first().first().toLongLong(), qint64(1042));
        QCOMPARE(rows(), 0);
        QCOMPARE(find<QLabel>(QStringLiteral("labelAcceptState"))->text(),
                 QStringLiteral("Заказ № 1042 принят"));
    }

    // Changed through the window: the next revision in the journal, the earlier one kept;
    // number, payments and status as they were; the order that was on screen put aside.
    void aRevisionKeepsNumberPaymentsAndStatus()
    {
        addLine(QStringLiteral("Визитки"), QStringLiteral("10"), QStringLiteral("100"));
        QCOMPARE(accept([&] {
                     inDialog<QDoubleSpinBox>("doubleSpinBoxPrepayment")->setValue(300);
                     inDialog<QPlainTextEdit>("plainTextEditOrderNote")
                         ->setPlainText(QStringLiteral("срочно"));
                 }),
                 qint64(1042));
        Connection connection;
        QVERIFY(openShop(&connection));
        OrderBook book(connection);
        QVERIFY(book.changeStatus(1042, OrderStatus::InWork, QString(), false,
                                  QStringLiteral("цех"), QDateTime::currentDateTime())
                    .done());
        Payment more;
        more.kopecks = 20000;
        more.method = PaymentMethod::Card;
        more.time = QDateTime::currentDateTime();
        QVERIFY(book.addPayment(1042, more).done());
        OrderDetails before;
        QVERIFY(book.load(1042, &before));

        addLine(QStringLiteral("Черновик"), QStringLiteral("1"), QStringLiteral("1"));
        prompts.answer = QStringLiteral("Отложить и открыть");
        QSignalSpy revising(taking(), &OrderTaking::revisingChanged);
        window->reviseTakenOrder(1042);
        QTRY_COMPARE(revising.count(), 1);
        QCOMPARE(prompts.questions.size(), 1);
        QCOMPARE(rows(), 1);
        QCOMPARE(orderLine(0).description, QStringLiteral("Визитки"));
        QCOMPARE(plain(find<QLabel>(QStringLiteral("labelAcceptState"))->text()),
                 QStringLiteral("Изменение заказа № 1042"));
        QVERIFY(find<QWidget>(QStringLiteral("pushButtonCancelRevising"))->isVisible());
        QTRY_VERIFY2(find<QWidget>(QStringLiteral("frameRestoreNotice"))->isVisible(),
                     "the order put aside is not offered back");

        addLine(QStringLiteral("Ламинация"), QStringLiteral("10"), QStringLiteral("5"));
        QDateTime due;
        QString note;
        bool prepaymentOffered = true;
        QCOMPARE(accept([&] {
                     due = inDialog<QDateTimeEdit>("dateTimeEditDue")->dateTime();
                     note = inDialog<QPlainTextEdit>("plainTextEditOrderNote")->toPlainText();
                     prepaymentOffered
                         = inDialog<QDoubleSpinBox>("doubleSpinBoxPrepayment")->isEnabled();
                 }),
                 qint64(1042));
        QCOMPARE(due, before.order.due);
        QCOMPARE(note, QStringLiteral("срочно"));
        QVERIFY2(!prepaymentOffered, "a change takes a prepayment again");
        QCOMPARE(rows(), 0);
        QCOMPARE(taking()->revisingNumber(), qint64(0));
        QCOMPARE(find<QLabel>(QStringLiteral("labelAcceptState"))->text(),
                 QStringLiteral("Изменение заказа № 1042 сохранено"));

        OrderDetails after;
        QVERIFY(book.load(1042, &after));
        QCOMPARE(after.invoice.summary.revision, 2);
        QCOMPARE(statusWord(after.order.status), QStringLiteral("в работе"));
        QCOMPARE(paymentsText(after.payments),
                 QStringLiteral("300.00 наличные Предоплата; "
                                "200.00 карта "));
        QCOMPARE(after.order.paidKopecks, qint64(50000));
        QCOMPARE(after.order.totalKopecks, qint64(123900));
        QCOMPARE(after.invoice.lines.size(), 2);
        QVector<OrderLine> first;
        QVERIFY(Journal(connection).loadLines(1042, 1, &first));
        QCOMPARE(first.size(), 1);
        QCOMPARE(first.first().description, QStringLiteral("Визитки"));
        JournalCounts counts;
        QVERIFY(Journal(connection).counts(&counts));
        QCOMPARE(counts.invoices, 1);
    }

    // The documents of a changed order read "№ 1042 (изм. 2)"; changed again and not yet stored,
    // they take no number (and no new invoice); "Отменить" leaves the change unsaved.
    void theDocumentsOfAChangedOrder()
    {
        addLine(QStringLiteral("Визитки"), QStringLiteral("10"), QStringLiteral("100"));
        QCOMPARE(accept(), qint64(1042));
        window->reviseTakenOrder(1042);
        QTRY_COMPARE(taking()->revisingNumber(), qint64(1042));
        addLine(QStringLiteral("Ламинация"), QStringLiteral("10"), QStringLiteral("5"));
        QCOMPARE(accept(), qint64(1042));
        window->reviseTakenOrder(1042);
        QTRY_COMPARE(rows(), 2);

        QSignalSpy written(window->findChild<DocumentActions *>(), &DocumentActions::pdfWritten);
        click(QStringLiteral("pushButtonPdf"));
        QTRY_COMPARE(written.count(), 1);
        const QString path = written.first().first().toString();
        QCOMPARE(QFileInfo(path).fileName(),
                 QStringLiteral("Счёт-1042-изм-2-%1.pdf")
                     .arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))));
        const QString title = QStringLiteral("Счёт № 1042 (изм. 2) от ")
            + QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
        QVERIFY2(pdfText(path).contains(title), qPrintable(pdfText(path)));

        addLine(QStringLiteral("Пакет"), QStringLiteral("1"), QStringLiteral("3"));
        documents.informed.clear();
        click(QStringLiteral("pushButtonPdf"));
        QTRY_COMPARE(written.count(), 2);
        QVERIFY2(written.last().first().toString().contains(QStringLiteral("Счёт-б-н-")),
                 qPrintable(written.last().first().toString()));
        QVERIFY2(documents.informed.value(0).contains(
                     QStringLiteral("изменение заказа № 1042 ещё не сохранено")),
                 qPrintable(documents.informed.value(0)));

        click(QStringLiteral("pushButtonCancelRevising"));
        QCOMPARE(rows(), 0);
        QCOMPARE(taking()->revisingNumber(), qint64(0));
        QVERIFY(!find<QWidget>(QStringLiteral("pushButtonCancelRevising"))->isVisible());
        Connection connection;
        QVERIFY(openShop(&connection));
        OrderDetails details;
        QVERIFY(OrderBook(connection).load(1042, &details));
        QCOMPARE(details.invoice.summary.revision, 2);
        QCOMPARE(details.invoice.lines.size(), 2);
        JournalCounts counts;
        QVERIFY(Journal(connection).counts(&counts));
        QCOMPARE(counts.invoices, 1);
        QCOMPARE(counts.documents, 1);
    }

    // Orders that are closed are not changed; the window keeps what it shows.
    void aClosedOrderIsNotChanged_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::newRow("handed over")
            << int(OrderStatus::HandedOver) << "Заказ № 1042 выдан: его уже не изменить.";
        QTest::newRow("cancelled")
            << int(OrderStatus::Cancelled) << "Заказ № 1042 отменён: его уже не изменить.";
        QTest::newRow("no such order") << -1 << "Заказа № 1043 нет в базе магазина.";
        QTest::newRow("the accept dialog open over another order")
            << -2 << "Сначала закройте окно «Принять заказ»: заказ № 1042 откроется после этого.";
    }
    void aClosedOrderIsNotChanged()
    {
        QFETCH(int, status);
        QFETCH(QString, said);
        addLine(QStringLiteral("Визитки"), QStringLiteral("10"), QStringLiteral("100"));
        QCOMPARE(accept(), qint64(1042));
        if (status >= 0) {
            Connection connection;
            QVERIFY(openShop(&connection));
            QVERIFY(OrderBook(connection)
                        .changeStatus(1042, OrderStatus(status), QStringLiteral("передумали"), true,
                                      QStringLiteral("цех"), QDateTime::currentDateTime())
                        .done());
        }
        addLine(QStringLiteral("Листовки"), QStringLiteral("1"), QStringLiteral("10"));
        QString told;
        prompts.onTell = [&](const QString &message, const QString &) { told = message; };
        if (status == -2) {
            click(QStringLiteral("pushButtonAccept"));
            QVERIFY(dialog());
        }
        window->reviseTakenOrder(status == -1 ? 1043 : 1042);
        QTRY_COMPARE(told, said);
        QCOMPARE(rows(), 1);
        QCOMPARE(orderLine(0).description, QStringLiteral("Листовки"));
        QCOMPARE(taking()->revisingNumber(), qint64(0));
    }
};

QTEST_MAIN(AcceptOrderTest)
#include "test_accept_order.moc"
