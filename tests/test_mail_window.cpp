// The window's sender of customers' mail: started with the window when the settings name a
// server, sending what waits in the queue at once and a new mail as soon as it is queued, and
// closing with the window even while a server keeps it waiting.
#include "tests/page_driver.h"
#include "tests/smtp_servers.h"

#include "mail/mail_outbox.h"
#include "storage/connection.h"
#include "storage/order_book.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <memory>

class MailWindowTest : public QObject, private PageDriver
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home;
    QString url;

    void writeSettings(const QString &mail)
    {
        QVERIFY(QDir().mkpath(home->path() + QStringLiteral("/config/printcalc")));
        QFile settings(home->path() + QStringLiteral("/config/printcalc/printcalc.ini"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write(QStringLiteral("[office]\nwarmup=false\n[database]\nurl=%1\n%2")
                           .arg(url, mail)
                           .toUtf8());
    }
    // An order made Готов, its mail queued, as the board or the command line leaves it.
    qint64 readyOrder(qint64 lowest)
    {
        Connection connection;
        if (!connection.open(DatabaseUrl::parse(url), QStringLiteral("test")))
            return 0;
        OrderLine line;
        line.description = QStringLiteral("Листовки А5");
        line.quantity = QStringLiteral("100");
        line.unitPrice = QStringLiteral("5");
        OrderIntake intake;
        intake.draft.orderUid = QUuid::createUuid().toString();
        intake.draft.created = QDateTime::currentDateTime();
        intake.draft.lines = {line};
        intake.email = QStringLiteral("anna@example.ru");
        intake.due = QDateTime::currentDateTime().addDays(1);
        OrderBook book(connection);
        const qint64 number = book.take(intake, lowest);
        const OrderAnswer answer = book.changeStatus(number, OrderStatus::Ready, QString(), false,
                                                     QStringLiteral("стойка"), QDateTime());
        return answer.mailQueued ? number : 0;
    }
    QueuedMail::State stateOf(qint64 number)
    {
        Connection connection;
        connection.open(DatabaseUrl::parse(url), QStringLiteral("test"));
        const QVector<QueuedMail> mails = OrderBook(connection).mails(number);
        return mails.size() == 1 ? mails.first().state : QueuedMail::Failed;
    }

private slots:
    void init()
    {
        home = std::make_unique<QTemporaryDir>();
        qputenv("HOME", home->path().toUtf8());
        qputenv("XDG_DATA_HOME", (home->path() + QStringLiteral("/data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", (home->path() + QStringLiteral("/config")).toUtf8());
        qunsetenv("PRINTCALC_DATABASE");
        url = QStringLiteral("sqlite://") + home->path() + QStringLiteral("/shop.sqlite");
    }
    void cleanup()
    {
        closeWindow();
        home.reset();
    }

    void sendsWhatWaitsAndWhatIsQueued()
    {
        SmtpSink sink;
        QVERIFY2(sink.port > 0, "the SMTP server did not start");
        writeSettings(QStringLiteral("[mail]\nhost=127.0.0.1\nport=%1\nsender=shop@example.ru\n")
                          .arg(sink.port));
        const qint64 waiting = readyOrder(100);
        QVERIFY(waiting > 0);
        QVERIFY(openWindow());
        QVERIFY(window->mailOutbox());
        QSignalSpy changed(window->mailOutbox(), &MailOutbox::mailChanged);
        QTRY_COMPARE_WITH_TIMEOUT(sink.received().size(), 1, 10000);
        QCOMPARE(sink.received().first().value(QLatin1String("subject")).toString(),
                 QStringLiteral("Заказ № %1 готов").arg(waiting));
        QTRY_COMPARE(changed.count(), 1);
        QCOMPARE(changed.first().value(0).toLongLong(), waiting);
        QCOMPARE(changed.first().value(1).toBool(), true);
        QCOMPARE(stateOf(waiting), QueuedMail::Sent);

        // Told of a new mail, the sender goes at once, long before its next look.
        const qint64 queued = readyOrder(200);
        QElapsedTimer clock;
        clock.start();
        window->mailQueued();
        QTRY_COMPARE_WITH_TIMEOUT(sink.received().size(), 2, 10000);
        QVERIFY2(clock.elapsed() < MailOutbox::CheckIntervalMs / 2,
                 qPrintable(QString::number(clock.elapsed())));
        QTRY_COMPARE(changed.count(), 2);
        QCOMPARE(changed.last().value(0).toLongLong(), queued);
    }

    void noServerNoSender()
    {
        writeSettings(QString());
        const qint64 waiting = readyOrder(100);
        QVERIFY(openWindow());
        QVERIFY(!window->mailOutbox());
        window->mailQueued(); // nothing to tell, nothing to break
        QCOMPARE(stateOf(waiting), QueuedMail::Waiting);
    }

    // Settings that make no server are said in the order area, where they stay in sight.
    void settingsThatMakeNoServerAreSaid()
    {
        writeSettings(
            QStringLiteral("[mail]\nhost=127.0.0.1\nsecurity=tls\nsender=shop@example.ru\n"));
        QVERIFY(openWindow());
        QVERIFY(!window->mailOutbox());
        QVERIFY(find<QWidget>(QStringLiteral("frameStorageNotice"))->isVisible());
        QCOMPARE(find<QLabel>(QStringLiteral("labelStorageNotice"))->text(),
                 QStringLiteral("Письма покупателям не отправляются: Защита почты «tls» ([mail] "
                                "security) не понята: есть none, starttls и ssl."));
    }

    void closesWhileTheServerSaysNothing()
    {
        SilentServer silent;
        writeSettings(QStringLiteral("[mail]\nhost=127.0.0.1\nport=%1\nsender=shop@example.ru\n"
                                     "timeout=120\n")
                          .arg(silent.port));
        const qint64 waiting = readyOrder(100);
        QVERIFY(openWindow());
        QVERIFY2(silent.knockedWithin(10000), "the window's sender never came to the server");
        QElapsedTimer clock;
        clock.start();
        closeWindow();
        // Far below the attempt's two minutes, with room for a sanitizer's slow window.
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(stateOf(waiting), QueuedMail::Waiting);
    }
};

QTEST_MAIN(MailWindowTest)
#include "test_mail_window.moc"
