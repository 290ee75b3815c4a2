// Customers at the counter, driven as the operator does, on the real SQLite file through the
// window's real shop link: the field's matches and keys, a new card prefilled by what was typed,
// the card's checks, a customer chosen after a document, the history's repeat, the merge of two
// duplicates and the deletion of a private person's data.
#include "tests/document_number.h"
#include "tests/page_driver.h"

#include "app/document_actions.h"
#include "app/order_storage.h"
#include "dialogs/customer_card_dialog.h"
#include "dialogs/customers_dialog.h"
#include "dialogs/journal_dialog.h"
#include "order/order.h"
#include "pricing/page_pricing.h"
#include "storage/order_book.h"
#include "storage/shop_link.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolButton>

#include <memory>

class CustomerCounterTest : public QObject, private PageDriver
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home;

    ShopLink *shop() const { return window->orderKeeper()->shop(); }
    QLineEdit *field() const { return find<QLineEdit>(QStringLiteral("lineEditCustomer")); }
    QAbstractItemView *matchList() const
    {
        return window->findChild<QCompleter *>(QStringLiteral("completerCustomer"))->popup();
    }

    // A card stored through the window's link, as the card's "Сохранить" stores it.
    Customer stored(Customer customer) const
    {
        bool answered = false;
        Customer saved;
        shop()->saveCustomer(customer, window,
                             [&](CustomerSaveResult result, const Customer &kept,
                                 const QVector<CustomerProblem> &, const Customer &,
                                 const QString &) {
                                 answered = true;
                                 if (result == CustomerSaveResult::Saved)
                                     saved = kept;
                             });
        if (!QTest::qWaitFor([&] { return answered; }, 5000))
            qWarning("the shop never answered the save");
        return saved;
    }

    QVector<Customer> listed(const QString &text) const
    {
        bool answered = false;
        QVector<Customer> found;
        shop()->listCustomers(text, window,
                              [&](const QVector<Customer> &customers, const QString &) {
                                  answered = true;
                                  found = customers;
                              });
        if (!QTest::qWaitFor([&] { return answered; }, 5000))
            qWarning("the shop never answered the list");
        return found;
    }

    static Customer customer(Customer::Kind kind, const QString &name, const QString &inn,
                             const QString &phone, const QString &email)
    {
        Customer made;
        made.kind = kind;
        made.shortName = name;
        made.inn = inn;
        made.phone = phone;
        made.email = email;
        return made;
    }

    // Three customers to be found by a name, an ИНН, a phone or an e-mail.
    void storeThree() const
    {
        Customer romashka
            = customer(Customer::Organisation, QStringLiteral("Ромашка"),
                       QStringLiteral("7707083893"), QStringLiteral("+7 495 111-22-33"), QString());
        romashka.kpp = QStringLiteral("770701001");
        romashka.discountHundredths = 500;
        QVERIFY(stored(romashka).id > 0);
        QVERIFY(stored(customer(Customer::Person, QStringLiteral("Иванов Иван"), QString(),
                                QStringLiteral("8 (912) 345-67-89"),
                                QStringLiteral("ivanov@example.ru")))
                    .id
                > 0);
        QVERIFY(stored(customer(Customer::Organisation, QStringLiteral("Лютик"), QString(),
                                QString(), QStringLiteral("lyutik@example.com")))
                    .id
                > 0);
    }

    // Typed into the customer field as the keyboard would; the list shows the answer.
    void typeCustomer(const QString &text) const
    {
        field()->setFocus();
        field()->insert(text);
    }

    // The customer taken with Enter once the list shows them.
    void chooseCustomer(const QString &text) const
    {
        typeCustomer(text);
        QTRY_VERIFY(matchList()->isVisible());
        QTest::keyClick(matchList(), Qt::Key_Return);
    }

    CustomerCardDialog *card() const
    {
        auto *dialog = window->findChild<CustomerCardDialog *>();
        if (!dialog)
            qWarning("no customer card is open");
        return dialog;
    }

    // The number a "PDF" press gave, through the real numbering.
    QString pdfNumber()
    {
        documents.reports.clear();
        click(QStringLiteral("pushButtonPdf"));
        if (!QTest::qWaitFor([this] { return !documents.reports.isEmpty(); }, 10000))
            return QStringLiteral("no answer");
        const QString report = documents.reports.last();
        return report.endsWith(QLatin1String(" made")) ? report.section(QLatin1Char(' '), 0, 0)
                                                       : QStringLiteral("failed");
    }

    // One invoice of the customer now chosen: a line, a number, the document reported.
    qint64 invoiceFor(const QString &description)
    {
        window->appendOrderLine(description, QStringLiteral("10"), QStringLiteral("2"),
                                QStringLiteral("значение=1"), QString(), false);
        const DocumentNumber number = numberNow(window, QStringLiteral("pdf"));
        window->documentFinished(number.number, QStringLiteral("pdf"), true);
        shop()->waitIdle(5000);
        return number.number;
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
        // No office warmed up behind the window's back: nothing of this suite may outlive it.
        QVERIFY(QDir().mkpath(home->path() + QStringLiteral("/config/printcalc")));
        QFile settings(home->path() + QStringLiteral("/config/printcalc/printcalc.ini"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[office]\nwarmup=false\n");
        settings.close();
        QVERIFY(openWindow());
        window->activateWindow();
        QApplication::setActiveWindow(window);
    }
    void cleanup() { closeWindow(); }

    // The field, its button and line lie clear of the order area's controls; "Клиенты" stands
    // after "Журнал" and the window buttons leave the tabs their room.
    void theCustomerControlsFitTheirPlaces()
    {
        QWidget *area = find<QWidget>(QStringLiteral("centralwidget"));
        for (const char *name : {"lineEditCustomer", "pushButtonCustomer", "labelCustomer"}) {
            auto *control = find<QWidget>(QLatin1String(name));
            QCOMPARE(control->parentWidget(), area);
            QVERIFY2(control->isVisible() && area->rect().contains(control->geometry()), name);
            for (const QWidget *other :
                 area->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
                QVERIFY2(other == control || !other->isVisible()
                             || !other->geometry().intersects(control->geometry()),
                         qPrintable(QLatin1String(name) + QStringLiteral(" overlaps ")
                                    + other->objectName()));
        }
        auto *tabs = find<QTabWidget>(QStringLiteral("tabWidget"));
        const QTabBar *bar = tabs->findChild<QTabBar *>();
        QVERIFY2(bar->width() >= bar->sizeHint().width(), "the window buttons squeeze the tabs");
        QLayout *corner = tabs->cornerWidget(Qt::TopRightCorner)->layout();
        const int journal = corner->indexOf(find<QWidget>(QStringLiteral("pushButtonJournal")));
        QVERIFY(journal >= 0);
        QCOMPARE(corner->itemAt(journal + 1)->widget()->objectName(),
                 QStringLiteral("pushButtonCustomers"));
    }

    void typingListsMatchesAndEnterTakesTheFirst_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("enter"); // "list open", "list closed", "at once"
        QTest::addColumn<QString>("firstMatch");
        QTest::addColumn<QString>("chosenLine");
        QTest::newRow("a name's beginning, the list open")
            << "Ром"
            << "list open"
            << "Ромашка · ИНН 7707083893 · +7 495 111-22-33"
            << "Ромашка · +7 495 111-22-33 · скидка 5 %";
        QTest::newRow("the ИНН's beginning, the list closed")
            << "7707"
            << "list closed"
            << "Ромашка · ИНН 7707083893 · +7 495 111-22-33"
            << "Ромашка · +7 495 111-22-33 · скидка 5 %";
        QTest::newRow("a phone typed with +7 for one kept with 8")
            << "+7 912"
            << "list open"
            << "Иванов Иван · 8 (912) 345-67-89"
            << "Иванов Иван · 8 (912) 345-67-89";
        QTest::newRow("a phone typed with 8, Enter before the answer")
            << "8912"
            << "at once"
            << "Иванов Иван · 8 (912) 345-67-89"
            << "Иванов Иван · 8 (912) 345-67-89";
        QTest::newRow("an e-mail") << "lyutik"
                                   << "list closed"
                                   << "Лютик · lyutik@example.com"
                                   << "Лютик";
    }
    void typingListsMatchesAndEnterTakesTheFirst()
    {
        QFETCH(QString, typed);
        QFETCH(QString, enter);
        QFETCH(QString, firstMatch);
        QFETCH(QString, chosenLine);
        storeThree();
        typeCustomer(typed);
        if (enter == QLatin1String("at once")) {
            QTest::keyClick(field(), Qt::Key_Return);
        } else {
            QTRY_VERIFY2(matchList()->isVisible(), "no list of matches");
            QCOMPARE(matchList()->model()->index(0, 0).data().toString(), firstMatch);
            if (enter == QLatin1String("list open")) {
                QTest::keyClick(matchList(), Qt::Key_Return);
            } else {
                matchList()->hide();
                QTest::keyClick(field(), Qt::Key_Return);
            }
        }
        QTRY_COMPARE(window->order()->customer().name(),
                     chosenLine.section(QStringLiteral(" · "), 0, 0));
        QVERIFY(window->order()->customer().id > 0);
        QCOMPARE(field()->text(), window->order()->customer().name());
        // The line beside the total says it whole, or cut with "…" and whole in its tooltip.
        auto *label = find<QLabel>(QStringLiteral("labelCustomer"));
        QCOMPARE(label->toolTip().section(QLatin1Char('\n'), 0, 0), chosenLine);
        QVERIFY2(label->text() == chosenLine
                     || (label->text().endsWith(QStringLiteral("…"))
                         && chosenLine.startsWith(label->text().chopped(1))),
                 qPrintable(label->text()));
        QVERIFY2(!matchList()->isVisible(), "the list stays open after Enter");
    }

    // Once the shop has said, the line names what the customer still owes over their orders.
    void theLineTellsWhatIsOwed()
    {
        const Customer ivanov
            = stored(customer(Customer::Person, QStringLiteral("Иванов Иван"), QString(),
                              QStringLiteral("8 (912) 345-67-89"), QString()));
        QVERIFY(ivanov.id > 0);
        OrderIntake intake;
        intake.draft.orderUid = QStringLiteral("owed");
        intake.draft.created = QDateTime::currentDateTime();
        intake.draft.counter = QStringLiteral("стойка");
        intake.draft.lines
            = {{QStringLiteral("Визитки"), QStringLiteral("1"), QStringLiteral("1000"), QString()}};
        intake.draft.customer = ivanov;
        intake.due = QDateTime::currentDateTime().addDays(1);
        intake.prepaymentKopecks = 18000; // of 1180.00 with the tax on top
        qint64 number = 0;
        shop()->takeOrder(intake, window, [&](qint64 taken, const QString &) { number = taken; });
        QTRY_VERIFY(number > 0);
        chooseCustomer(QStringLiteral("Иванов"));
        QTRY_COMPARE(find<QLabel>(QStringLiteral("labelCustomer"))
                         ->toolTip()
                         .section(QLatin1Char('\n'), 0, 0),
                     QStringLiteral(
                         "Иванов Иван · 8 (912) 345-67-89 · долг 1\u00A0000 ₽"));
    }

    void escapeOrAnEmptyFieldLeavesNoCustomer_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Escape in the field") << "escape";
        QTest::newRow("Escape in the list") << "escape in the list";
        QTest::newRow("the field's clear button") << "clear button";
        QTest::newRow("every character deleted") << "backspace";
    }
    void escapeOrAnEmptyFieldLeavesNoCustomer()
    {
        QFETCH(QString, how);
        storeThree();
        chooseCustomer(QStringLiteral("Лют"));
        QTRY_COMPARE(window->order()->customer().name(), QStringLiteral("Лютик"));
        if (how == QLatin1String("escape")) {
            QTest::keyClick(field(), Qt::Key_Escape);
        } else if (how == QLatin1String("escape in the list")) {
            field()->end(false);
            QTest::keyClick(field(), Qt::Key_Backspace);
            QTRY_VERIFY(matchList()->isVisible());
            QTest::keyClick(matchList(), Qt::Key_Escape);
        } else if (how == QLatin1String("clear button")) {
            auto *clear = field()->findChild<QToolButton *>();
            QVERIFY(clear);
            clear->click();
        } else {
            field()->end(false);
            for (int i = field()->text().size(); i > 0; --i)
                QTest::keyClick(field(), Qt::Key_Backspace);
        }
        QVERIFY(window->order()->customer().isNull());
        QCOMPARE(field()->text(), QString());
        QCOMPARE(find<QLabel>(QStringLiteral("labelCustomer"))->text(), QString());
        QVERIFY(!matchList()->isVisible());
    }

    void aNewCardHoldsWhatWasTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("kind");
        QTest::newRow("an organisation's ИНН") << "7707083893"
                                               << "lineEditCustomerInn"
                                               << "организация";
        QTest::newRow("a sole trader's ИНН") << "500100732259"
                                             << "lineEditCustomerInn"
                                             << "ИП";
        QTest::newRow("a phone with +7") << "+7 912 345-67-89"
                                         << "lineEditCustomerPhone"
                                         << "частное лицо";
        QTest::newRow("a phone with 8") << "89123456789"
                                        << "lineEditCustomerPhone"
                                        << "частное лицо";
        QTest::newRow("a name") << "Ромашка"
                                << "lineEditCustomerShortName"
                                << "организация";
        QTest::newRow("eleven digits are no ИНН") << "77070838931"
                                                  << "lineEditCustomerShortName"
                                                  << "организация";
    }
    void aNewCardHoldsWhatWasTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QString, field);
        QFETCH(QString, kind);
        typeCustomer(typed);
        click(QStringLiteral("pushButtonCustomer"));
        CustomerCardDialog *dialog = card();
        QVERIFY(dialog);
        QCOMPARE(dialog->parentWidget(), window);
        QCOMPARE(dialog->objectName(), QStringLiteral("CustomerCardDialog"));
        QCOMPARE(
            dialog->findChild<QComboBox *>(QStringLiteral("comboBoxCustomerKind"))->currentText(),
            kind);
        for (QLineEdit *edit : dialog->findChildren<QLineEdit *>())
            QCOMPARE(edit->text(), edit->objectName() == field ? typed : QString());
        QVERIFY2(window->order()->customer().isNull(), "a card opened is a customer chosen");
    }

    void aCardWithAWrongRequisiteIsRefused_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("problem");
        QTest::newRow("ИНН with a wrong control digit")
            << "Inn"
            << "7707083894"
            << "Карточка не сохранена, исправьте: ИНН."
            << "ИНН: не сходится контрольная цифра — проверьте номер";
        QTest::newRow("КПП of eight characters") << "Kpp"
                                                 << "77070100"
                                                 << "Карточка не сохранена, исправьте: КПП."
                                                 << "КПП: 9 знаков";
        QTest::newRow("ОГРН with a wrong control digit")
            << "Ogrn"
            << "1027700132196"
            << "Карточка не сохранена, исправьте: ОГРН."
            << "ОГРН: ";
        QTest::newRow("БИК of eight digits")
            << "Bik"
            << "04452522"
            << "Карточка не сохранена, исправьте: БИК, Расчётный счёт, Корр. счёт."
            << "БИК: 9 цифр";
        QTest::newRow("an account that does not match the bank")
            << "Account"
            << "40702810000000000001"
            << "Карточка не сохранена, исправьте: Расчётный счёт."
            << "Расчётный счёт: не сходится с БИК";
        QTest::newRow("an e-mail without its domain") << "Email"
                                                      << "ivanov@"
                                                      << "Карточка не сохранена, исправьте: E-mail."
                                                      << "E-mail: не похож на адрес почты";
        QTest::newRow("a discount over 50 %") << "Discount"
                                              << "60"
                                              << "Карточка не сохранена, исправьте: Скидка."
                                              << "Скидка";
        QTest::newRow("a discount with three decimals")
            << "Discount"
            << "5,255"
            << "Карточка не сохранена, исправьте: Скидка."
            << "Скидка";
        QTest::newRow("no name") << "ShortName"
                                 << ""
                                 << "Карточка не сохранена, исправьте: Наименование."
                                 << "Наименование: не заполнено";
        QTest::newRow("every requisite right is saved") << "Account"
                                                        << "40702810000000000007"
                                                        << "Сохранено."
                                                        << "";
    }
    void aCardWithAWrongRequisiteIsRefused()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, status);
        QFETCH(QString, problem);
        CustomerCardDialog *dialog = window->openCustomerCard(Customer());
        const auto edit = [dialog](const QString &name) {
            return dialog->findChild<QLineEdit *>(QStringLiteral("lineEditCustomer") + name);
        };
        const QStringList good {QStringLiteral("ShortName=Ромашка"),
                                QStringLiteral("Inn=7707083893"),
                                QStringLiteral("Kpp=770701001"),
                                QStringLiteral("Ogrn=1027700132195"),
                                QStringLiteral("Bik=044525225"),
                                QStringLiteral("CorrespondentAccount=30101810400000000225"),
                                QStringLiteral("Account=40702810000000000007"),
                                QStringLiteral("Email=info@romashka.ru"),
                                QStringLiteral("Discount=5,25")};
        for (const QString &pair : good)
            edit(pair.section(QLatin1Char('='), 0, 0))->setText(pair.section(QLatin1Char('='), 1));
        edit(field)->setText(typed);
        click(dialog->findChild<QPushButton *>(QStringLiteral("pushButtonCustomerSave")));
        auto *statusLabel = dialog->findChild<QLabel *>(QStringLiteral("labelCustomerStatus"));
        QTRY_COMPARE(statusLabel->text(), status);
        auto *problemLabel
            = dialog->findChild<QLabel *>(QStringLiteral("labelCustomerProblem") + field);
        QCOMPARE(problemLabel->isVisible(), !problem.isEmpty());
        QCOMPARE(problemLabel->text().left(problem.size()), problem);
        const QVector<Customer> kept = listed(QString());
        QCOMPARE(kept.size(), problem.isEmpty() ? 1 : 0);
        if (problem.isEmpty())
            QCOMPARE(kept.first().discountHundredths, 525);
    }

    void aDuplicateIsOfferedForOpening()
    {
        storeThree();
        CustomerCardDialog *dialog
            = window->openCustomerCard(customer(Customer::Person, QStringLiteral("Ваня"), QString(),
                                                QStringLiteral("+7 912 345 67 89"), QString()));
        QStringList asked;
        dialog->confirm = [&asked](const QString &question) {
            asked << question;
            return true;
        };
        click(dialog->findChild<QPushButton *>(QStringLiteral("pushButtonCustomerSave")));
        QTRY_COMPARE(asked.size(), 1);
        QVERIFY2(asked.first().contains(QStringLiteral("«Иванов Иван»")),
                 qPrintable(asked.first()));
        QTRY_COMPARE(
            dialog->findChild<QLineEdit *>(QStringLiteral("lineEditCustomerShortName"))->text(),
            QStringLiteral("Иванов Иван"));
        QVERIFY(dialog->stored().id > 0);
        QCOMPARE(listed(QString()).size(), 3);
    }

    void choosingACustomerAfterADocumentIsAChange_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("newNumber");
        QTest::newRow("nothing changed") << "" << false;
        QTest::newRow("a customer chosen") << "Лют" << true;
        QTest::newRow("the customer left (Escape)") << "escape" << true;
        QTest::newRow("another customer chosen") << "Ром" << true;
        QTest::newRow("the same customer taken again") << "Ива" << false;
        QTest::newRow("chosen on the card") << "card" << true;
    }
    void choosingACustomerAfterADocumentIsAChange()
    {
        QFETCH(QString, change);
        QFETCH(bool, newNumber);
        storeThree();
        if (change != QLatin1String("Лют")) {
            chooseCustomer(QStringLiteral("Ива"));
            QTRY_VERIFY(!window->order()->customer().isNull());
        }
        window->appendOrderLine(QStringLiteral("Визитки"), QStringLiteral("100"),
                                QStringLiteral("2.5"), QStringLiteral("значение=1"), QString(),
                                false);
        const QString first = pdfNumber();
        QCOMPARE(first, QStringLiteral("1"));
        if (change == QLatin1String("escape")) {
            QTest::keyClick(field(), Qt::Key_Escape);
        } else if (change == QLatin1String("card")) {
            CustomerCardDialog *dialog
                = window->openCustomerCard(listed(QStringLiteral("Ромашка")).value(0));
            QTRY_COMPARE(dialog->stored().inn, QStringLiteral("7707083893"));
            click(dialog->findChild<QPushButton *>(QStringLiteral("pushButtonCustomerChoose")));
            QCOMPARE(window->order()->customer().name(), QStringLiteral("Ромашка"));
        } else if (!change.isEmpty()) {
            field()->clear();
            chooseCustomer(change);
            QTRY_VERIFY(field()->text().startsWith(change));
        }
        QCOMPARE(pdfNumber(), newNumber ? QStringLiteral("2") : QStringLiteral("1"));
    }

    // The counter's file keeps the order's customer: a crash and a restore give it back.
    void aRestoredOrderBringsBackItsCustomer_data()
    {
        QTest::addColumn<QStringList>("chosen"); // typed before the line, then after it stored
        QTest::addColumn<QString>("line");
        QTest::newRow("chosen before the first line")
            << QStringList {QStringLiteral("Ром"), QStringLiteral("")}
            << QStringLiteral("Ромашка · +7 495 111-22-33 · скидка 5 %");
        QTest::newRow("chosen once the lines were stored")
            << QStringList {QStringLiteral(""), QStringLiteral("Ром")}
            << QStringLiteral("Ромашка · +7 495 111-22-33 · скидка 5 %");
        QTest::newRow("another chosen after")
            << QStringList {QStringLiteral("Ром"), QStringLiteral("Ива")}
            << QStringLiteral("Иванов Иван · 8 (912) 345-67-89");
        QTest::newRow("left after")
            << QStringList {QStringLiteral("Ром"), QStringLiteral("escape")} << QStringLiteral("");
    }
    void aRestoredOrderBringsBackItsCustomer()
    {
        QFETCH(QStringList, chosen);
        QFETCH(QString, line);
        storeThree();
        const auto choose = [this](const QString &typed) {
            if (typed == QLatin1String("escape")) {
                QTest::keyClick(field(), Qt::Key_Escape);
            } else if (!typed.isEmpty()) {
                field()->clear();
                chooseCustomer(typed);
                QTRY_VERIFY(field()->text().startsWith(typed));
            }
        };
        choose(chosen.at(0));
        window->appendOrderLine(QStringLiteral("Визитки"), QStringLiteral("100"),
                                QStringLiteral("2.5"), QStringLiteral("значение=1"), QString(),
                                false);
        QVERIFY(window->orderKeeper()->waitStored());
        choose(chosen.at(1));
        QVERIFY(window->orderKeeper()->waitStored());
        closeWindow(); // as a crash leaves it
        QVERIFY(openWindow());
        QVERIFY(window->order()->customer().isNull());
        click(QStringLiteral("pushButtonRestore"));
        QCOMPARE(window->orderLines().size(), 1);
        QCOMPARE(find<QLabel>(QStringLiteral("labelCustomer"))
                     ->toolTip()
                     .section(QLatin1Char('\n'), 0, 0),
                 line);
        QCOMPARE(field()->text(), line.section(QStringLiteral(" · "), 0, 0));
    }

    // "Повторить" on the card: the invoice's lines in the order at today's price, the old one
    // beside it in the journal.
    void repeatPutsAnInvoiceIntoTheOrderAtTodaysPrices()
    {
        storeThree();
        chooseCustomer(QStringLiteral("Ром"));
        QTRY_VERIFY(!window->order()->customer().isNull());
        find<QLineEdit>(QStringLiteral("lineEdit"))->setText(QStringLiteral("100"));
        const QVector<Quote> quotes
            = priceSheetProducts(window->sheetProductsJob(), window->prices());
        QVERIFY(!quotes.isEmpty());
        OrderLine cheap = quotes.first().orderLine();
        cheap.unitPrice = QStringLiteral("1");
        window->appendOrderLine(cheap);
        QCOMPARE(invoiceFor(QStringLiteral("Календарь")), 1);
        click(QStringLiteral("pushButton_4")); // "Очистка"
        QTest::keyClick(field(), Qt::Key_Escape);
        QCOMPARE(invoiceFor(QStringLiteral("Без клиента")), 2);
        click(QStringLiteral("pushButton_4"));
        QTest::keyClick(field(), Qt::Key_Escape);
        QCOMPARE(window->orderLines().size(), 0);

        CustomerCardDialog *dialog
            = window->openCustomerCard(listed(QStringLiteral("Ромашка")).value(0));
        auto *invoices = dialog->findChild<QTableWidget *>(QStringLiteral("tableCustomerInvoices"));
        QTRY_COMPARE(invoices->rowCount(), 1);
        QCOMPARE(invoices->item(0, 0)->text(), QStringLiteral("1"));
        invoices->selectRow(0);
        click(dialog->findChild<QPushButton *>(QStringLiteral("pushButtonRepeat")));
        QTRY_COMPARE(window->orderLines().size(), 2);
        const QString today = quotes.first().line.unitPrice;
        QCOMPARE(window->orderLines().at(0).unitPrice, today);
        QCOMPARE(window->orderLines().at(1).unitPrice, QStringLiteral("2")); // no job: as it was
        QCOMPARE(window->order()->customer().name(), QStringLiteral("Ромашка"));
        auto *journal = window->findChild<JournalDialog *>();
        QVERIFY(journal && journal->isVisible());
        auto *lines = journal->findChild<QTableWidget *>(QStringLiteral("tableJournalLines"));
        QCOMPARE(lines->item(0, 2)->text(), QStringLiteral("1"));
        QCOMPARE(lines->item(0, 4)->text(), today);
        auto *list = journal->findChild<QTableWidget *>(QStringLiteral("tableJournalInvoices"));
        QTRY_COMPARE(list->rowCount(), 1);
        QCOMPARE(list->horizontalHeaderItem(5)->text(), QStringLiteral("Клиент"));
        QCOMPARE(list->item(0, 5)->text(), QStringLiteral("Ромашка"));
    }

    void mergeMovesTheInvoices()
    {
        const Customer first
            = stored(customer(Customer::Organisation, QStringLiteral("ООО Ромашка"), QString(),
                              QString(), QString()));
        const Customer second
            = stored(customer(Customer::Organisation, QStringLiteral("ООО Ромашка"), QString(),
                              QString(), QStringLiteral("info@romashka.ru")));
        QVERIFY(first.id > 0 && second.id > 0 && first.id != second.id);
        window->order()->setCustomer(second);
        QCOMPARE(invoiceFor(QStringLiteral("Листовки")), 1);
        window->order()->setCustomer(first);
        QCOMPARE(invoiceFor(QStringLiteral("Визитки")), 2);
        window->order()->setCustomer(second); // the order on screen follows the merge

        click(QStringLiteral("pushButtonCustomers"));
        auto *dialog = window->findChild<CustomersDialog *>();
        QVERIFY(dialog);
        auto *table = dialog->findChild<QTableWidget *>(QStringLiteral("tableCustomers"));
        QTRY_COMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("ООО Ромашка"));
        table->selectAll();
        QVector<qint64> offered;
        dialog->chooseKept = [&offered](const Customer &a, const Customer &b) {
            offered << a.id << b.id;
            return a.id == 0 ? 0 : qMin(a.id, b.id);
        };
        click(dialog->findChild<QPushButton *>(QStringLiteral("pushButtonCustomersMerge")));
        QCOMPARE(offered.size(), 2);
        QTRY_COMPARE(table->rowCount(), 1);
        QCOMPARE(dialog->shown().first().id, first.id);
        QCOMPARE(window->order()->customer().id, first.id);

        table->selectRow(0);
        click(dialog->findChild<QPushButton *>(QStringLiteral("pushButtonCustomerOpen")));
        CustomerCardDialog *opened = card();
        QVERIFY(opened);
        QTRY_COMPARE(opened->invoices().size(), 2);
        QCOMPARE(opened->invoices().at(0).number, 2); // newest first
        QCOMPARE(opened->invoices().at(1).number, 1);
    }

    void clearingPersonalDataShowsDeleted()
    {
        storeThree();
        CustomerCardDialog *dialog
            = window->openCustomerCard(listed(QStringLiteral("Иванов")).value(0));
        auto *clear
            = dialog->findChild<QPushButton *>(QStringLiteral("pushButtonClearPersonalData"));
        QTRY_VERIFY(clear->isEnabled());
        QStringList asked;
        dialog->confirm = [&asked](const QString &question) {
            asked << question;
            return asked.size() > 1; // the first time the operator says no
        };
        click(clear);
        QTest::qWait(200);
        QCOMPARE(listed(QStringLiteral("Иванов")).size(), 1);
        click(clear);
        QCOMPARE(asked.size(), 2);
        const auto text = [dialog](const QString &name) {
            return dialog->findChild<QLineEdit *>(QStringLiteral("lineEditCustomer") + name)
                ->text();
        };
        QTRY_COMPARE(text(QStringLiteral("ShortName")), QStringLiteral("удалено"));
        for (const char *name : {"Phone", "Email"})
            QCOMPARE(text(QLatin1String(name)), QStringLiteral("удалено"));
        QVERIFY(!clear->isEnabled());
        QCOMPARE(listed(QStringLiteral("Иванов")).size(), 0);
        QCOMPARE(listed(QStringLiteral("удалено")).size(), 1);
        typeCustomer(QStringLiteral("8912"));
        QTest::keyClick(field(), Qt::Key_Return);
        QTest::qWait(300);
        QVERIFY2(window->order()->customer().isNull(), "the deleted phone is still found");
    }
};

QTEST_MAIN(CustomerCounterTest)
#include "test_customer_counter.moc"
