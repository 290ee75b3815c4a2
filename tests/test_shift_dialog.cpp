// "Смена" driven as the operator drives it, on a real SQLite shop: opened with the float, cash in
// and out (out asking its right), the X report in the table, closed into the Z report, each
// action recorded once with its figures; the report written as a PDF and read back.
#include "dialogs/prompts.h"
#include "dialogs/shift_dialog.h"
#include "documents/document_settings.h"
#include "storage/connection.h"
#include "storage/shift_link.h"
#include "tests/pdf_text.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

class ShiftDialogTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<ShiftLink> link;
    std::unique_ptr<ShiftDialog> dialog;
    QStringList asked; // the rights asked, by action
    QStringList recorded;
    int databases = 0;

    // Waits for the store's answer; the X report answers in the table only.
    void press(const char *name, const QString &amount, const QString &reason = QString(),
               bool answers = true)
    {
        auto *amountField = dialog->findChild<QLineEdit *>(QStringLiteral("lineEditShiftAmount"));
        auto *reasonField = dialog->findChild<QLineEdit *>(QStringLiteral("lineEditShiftReason"));
        amountField->clear();
        amountField->insert(amount);
        reasonField->clear();
        reasonField->insert(reason);
        auto *button = dialog->findChild<QPushButton *>(QLatin1String(name));
        QVERIFY2(button && button->isEnabled(), name);
        QSignalSpy answered(dialog.get(), &ShiftDialog::answered);
        QTest::mouseClick(button, Qt::LeftButton);
        if (answers) {
            QVERIFY(answered.wait(10000));
            QVERIFY2(answered.first().at(0).toBool(),
                     qPrintable(answered.first().at(1).toString()));
        }
        QVERIFY(link->waitIdle(10000));
        QTRY_VERIFY(
            dialog->findChild<QPushButton *>(QStringLiteral("pushButtonShiftDone"))->isEnabled());
        QCoreApplication::processEvents();
    }

    QString cell(const QString &label) const
    {
        auto *table = dialog->findChild<QTableWidget *>(QStringLiteral("tableShiftReport"));
        for (int row = 0; row < table->rowCount(); ++row)
            if (table->item(row, 0)->text() == label)
                return table->item(row, 1)->text();
        return QStringLiteral("(нет)");
    }

private slots:
    void init()
    {
        const DatabaseUrl url = DatabaseUrl::sqliteFile(
            dir.filePath(QStringLiteral("shop%1.sqlite").arg(++databases)));
        link = std::make_unique<ShiftLink>(url, QStringLiteral("стойка-1"));
        dialog = std::make_unique<ShiftDialog>(link.get(), nullptr, QStringLiteral("Типография"),
                                               nullptr);
        asked.clear();
        recorded.clear();
        dialog->guard
            = [this](Action action, const QString &what, std::function<void(const QString &)> go) {
                  asked << what;
                  go(action == Action::CashOut ? QStringLiteral("Менеджер Борис") : QString());
              };
        dialog->record = [this](const QString &what, const QString &oldValue,
                                const QString &newValue, const QString &approver) {
            recorded << QStringList {what, oldValue, newValue, approver}.join(QLatin1Char('|'));
        };
        dialog->operatorName = [] { return QStringLiteral("Анна"); };
        dialog->show();
        QVERIFY(link->waitIdle(10000));
        QTRY_VERIFY(
            dialog->findChild<QPushButton *>(QStringLiteral("pushButtonOpenShift"))->isEnabled());
    }

    void cleanup()
    {
        dialog.reset();
        link.reset();
    }

    void wholeShift()
    {
        press("pushButtonOpenShift", QStringLiteral("5 000,00"));
        QCOMPARE(cell(QStringLiteral("Размен в кассе")), QStringLiteral("5000.00"));
        press("pushButtonCashIn", QStringLiteral("200"), QStringLiteral("размен"));
        press("pushButtonCashOut", QStringLiteral("1500,50"), QStringLiteral("инкассация"));
        press("pushButtonXReport", QString(), QString(), false);
        QCOMPARE(cell(QStringLiteral("Отчёт")), QStringLiteral("X"));
        QCOMPARE(cell(QStringLiteral("Ожидается в кассе")), QStringLiteral("3699.50"));
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("labelShiftState"))->text(),
                 QStringLiteral("Смена № 1 открыта. Ожидается в кассе 3699.50."));
        press("pushButtonCloseShift", QStringLiteral("3700"));
        QCOMPARE(cell(QStringLiteral("Отчёт")), QStringLiteral("Z"));
        QCOMPARE(cell(QStringLiteral("Расхождение")), QStringLiteral("0.50"));
        QCOMPARE(cell(QStringLiteral("Работали")), QStringLiteral("Анна"));
        QVERIFY(!dialog->hasOpenShift());
        QVERIFY(!dialog->findChild<QPushButton *>(QStringLiteral("pushButtonCashIn"))->isEnabled());

        const QStringList rights {QStringLiteral("открытие или закрытие смены"),
                                  QStringLiteral("внесение в кассу 200.00"),
                                  QStringLiteral("изъятие из кассы 1500.50"),
                                  QStringLiteral("открытие или закрытие смены")};
        QCOMPARE(asked, rights);
        const QStringList trail {
            QStringLiteral("смена открыта||смена № 1, размен 5000.00|"),
            QStringLiteral("внесение в кассу|размен|200.00|"),
            QStringLiteral("изъятие из кассы|инкассация|1500.50|Менеджер Борис"),
            QStringLiteral("смена закрыта|смена № 1|пересчитано 3700.00, расхождение 0.50|")};
        QCOMPARE(recorded, trail);

        // The Z report on paper: every figure on its line, the sums as the documents print money.
        DocumentSettings settings = DocumentSettings::load();
        settings.pdfFolder = dir.filePath(QStringLiteral("pdf"));
        QVERIFY(settings.save());
        const QString path = dialog->writePdf();
        QVERIFY2(
            !path.isEmpty(),
            qPrintable(dialog->findChild<QLabel *>(QStringLiteral("labelShiftStatus"))->text()));
        const QStringList pages = pdfPages(path, true);
        QCOMPARE(pages.size(), 1);
        const QString page = pages.first().simplified();
        for (const QString &expected :
             {QStringLiteral("Типография"), QStringLiteral("Z-отчёт смены № 1, касса «стойка-1»"),
              QStringLiteral("Размен в кассе 5 000,00"), QStringLiteral("Внесено 200,00"),
              QStringLiteral("Изъято 1 500,50"), QStringLiteral("Ожидается в кассе 3 699,50"),
              QStringLiteral("Пересчитано 3 700,00"), QStringLiteral("Расхождение 0,50"),
              QStringLiteral("Кассир")})
            QVERIFY2(page.contains(expected), qPrintable(expected + QStringLiteral(" in ") + page));

        // Printing cancelled at the printer's dialog prints nothing and says so.
        dialog->choosePrinter = [](QPrinter *) { return false; };
        QVERIFY(!dialog->print());
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("labelShiftStatus"))->text(),
                 QStringLiteral("Печать отменена."));
    }

    // A refused sum is said and nothing is asked nor recorded.
    void wrongSums_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("message");
        QTest::newRow("not a number") << QStringLiteral("пять")
                                      << QStringLiteral("Сумма «пять» не понята: нужно число с "
                                                        "копейками, например 5000,00.");
        QTest::newRow("below zero") << QStringLiteral("-1")
                                    << QStringLiteral("Сумма «-1» не понята: нужно число с "
                                                      "копейками, например 5000,00.");
        QTest::newRow("three decimals") << QStringLiteral("1,005")
                                        << QStringLiteral("Сумма «1,005» не понята: нужно число "
                                                          "с копейками, например 5000,00.");
    }

    void wrongSums()
    {
        QFETCH(QString, amount);
        QFETCH(QString, message);
        auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("lineEditShiftAmount"));
        field->insert(amount);
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("pushButtonOpenShift")),
                          Qt::LeftButton);
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("labelShiftStatus"))->text(), message);
        QVERIFY(asked.isEmpty());
        QVERIFY(recorded.isEmpty());
    }

    // Every question of the program: Esc and the close button leave it unanswered (-1, the
    // answer that changes nothing), Enter takes the default, a click its answer.
    void questionsLeftByKey_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("answer");
        QTest::newRow("Esc") << "Esc" << -1;
        QTest::newRow("the close button") << "close" << -1;
        QTest::newRow("Enter") << "Enter" << 1;
        QTest::newRow("the first answer clicked") << "click" << 0;
    }
    void questionsLeftByKey()
    {
        QFETCH(QString, how);
        QFETCH(int, answer);
        QWidget parent;
        parent.show();
        MessageBoxes boxes(&parent);
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen = true;
            if (how == QLatin1String("Esc"))
                QTest::keyClick(box, Qt::Key_Escape);
            else if (how == QLatin1String("Enter"))
                QTest::keyClick(box, Qt::Key_Return);
            else if (how == QLatin1String("close"))
                box->close();
            else
                for (QAbstractButton *button : box->buttons())
                    if (button->text() == QStringLiteral("Закрыть смену"))
                        button->click();
        });
        const int chosen
            = boxes.ask(QStringLiteral("Закрытие смены"), QStringLiteral("Закрыть смену?"),
                        {QStringLiteral("Закрыть смену"), QStringLiteral("Отмена")}, 1);
        QVERIFY2(seen, "the question was never shown");
        QCOMPARE(chosen, answer);
    }
};

QTEST_MAIN(ShiftDialogTest)
#include "test_shift_dialog.moc"
