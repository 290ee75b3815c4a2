// "Настройки" over a real settings file: only what the operator typed is written (the sample's
// texts are hints), the old requisite lines moved into their fields, the mail page's test letter
// sent to a real SMTP server on loopback beside a window that keeps answering, its password kept
// out of the settings file, and the shop's week.
#include "dialogs/settings_dialog.h"
#include "documents/document_settings.h"
#include "mail/smtp_sender.h"
#include "storage/mail_password.h"
#include "storage/settings.h"
#include "tests/prompt_recorder.h"
#include "tests/smtp_servers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QtTest>

namespace {

// "a|b|c" as a list of texts.
QStringList texts(const char *joined)
{
    return QString::fromUtf8(joined).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every key of the file with its value, "section/key=value", sorted.
QStringList keysOf(const QString &path)
{
    QSettings settings(path, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    QStringList keys;
    for (const QString &key : settings.allKeys()) {
        const QVariant value = settings.value(key);
        keys << key + QLatin1Char('=')
                + (value.type() == QVariant::StringList
                       ? value.toStringList().join(QLatin1Char(','))
                       : value.toString());
    }
    keys.sort();
    return keys;
}

} // namespace

class SettingsPagesTest : public QObject
{
    Q_OBJECT

    PromptRecorder prompts;
    QScopedPointer<SettingsDialog> dialog;

    template<class T> T *field(const char *name)
    {
        T *found = dialog->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no %s in the dialog", name);
        return found;
    }
    void open(const QByteArray &file)
    {
        QFile::remove(mailPasswordFilePath(settingsFilePath()));
        QVERIFY(writeFile(settingsFilePath(), file));
        dialog.reset(new SettingsDialog(nullptr, &prompts));
        dialog->setLetterSender(sendTestLetter);
        dialog->show();
    }
    void pressOk()
    {
        QTest::mouseClick(dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok),
                          Qt::LeftButton);
        QVERIFY2(dialog->result() == QDialog::Accepted,
                 qPrintable(prompts.titles.join(QLatin1Char(','))));
    }

private slots:
    void cleanup() { dialog.reset(); }

    // A file opened and "OK" pressed, the old lines moved first where asked: the keys the file
    // holds after.
    void keysAfterOk_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("linesShown");
        QTest::addColumn<bool>("move");
        QTest::addColumn<QStringList>("keys");
        const ShopRequisites sample = ShopRequisites::sample();
        const QByteArray oldLines
            = "[requisites]\nname=Печатный двор\n"
              "taxNumbers=\"ИНН 7707083893, КПП 770701001, тел. +7 (495) 123-45-67\"\n"
              "bank=\"Банк получателя: ПАО Банк, БИК 044525225\"\n"
              "account=\"Р/с 40702810938000012345, к/с 30101810400000000225\"\n";
        QTest::newRow("a fresh file gets nothing")
            << QByteArray() << false << false << QStringList();
        QTest::newRow("the sample's lines an older dialog wrote are taken out")
            << ("[requisites]\nname=" + sample.name.toUtf8() + "\naddress=\""
                + sample.address.toUtf8() + "\"\ntaxNumbers=\"" + sample.taxNumbers.toUtf8()
                + "\"\nbank=\"" + sample.bank.toUtf8() + "\"\naccount=\"" + sample.account.toUtf8()
                + "\"\ndirector=\naccountant=\n[documents]\nvalidityDays=5\n"
                  "[office]\nwarmup=true\n")
            << false << false << texts("documents/validityDays=5|office/warmup=true");
        QTest::newRow("the old lines kept as they were")
            << oldLines << true << false
            << texts("requisites/account=Р/с 40702810938000012345, к/с "
                     "30101810400000000225|requisites/bank=Банк получателя: ПАО Банк, БИК "
                     "044525225|requisites/name=Печатный двор|requisites/taxNumbers=ИНН "
                     "7707083893, КПП 770701001, тел. +7 (495) 123-45-67");
        QTest::newRow("the old lines moved into the fields")
            << oldLines << true << true
            << texts("requisites/bankName=ПАО "
                     "Банк|requisites/bik=044525225|requisites/"
                     "corrAccount=30101810400000000225|requisites/inn=7707083893|requisites/"
                     "kpp=770701001|requisites/name=Печатный двор|requisites/phone=+7 (495) "
                     "123-45-67|requisites/settlementAccount=40702810938000012345");
        QTest::newRow("what is not understood stays in its line, zeros are dropped")
            << QByteArray("[requisites]\ntaxNumbers=\"ИНН 7707083893; ОКПО 12345678\"\n"
                          "account=\"Р/с 40702810938000012345, к/с 00000000000000000000\"\n"
                          "inn=7707083893\n")
            << true << true
            << texts("requisites/inn=7707083893|requisites/"
                     "settlementAccount=40702810938000012345|requisites/taxNumbers=ОКПО 12345678");
        QTest::newRow("a field already set keeps its value, the other one stays in the line")
            << QByteArray("[requisites]\ntaxNumbers=ИНН 500100732259\ninn=7707083893\n") << true
            << true << texts("requisites/inn=7707083893|requisites/taxNumbers=ИНН 500100732259");
        QTest::newRow("the new keys read back alike")
            << QByteArray("[requisites]\nname=Печатный двор\ninn=7707083893\nkpp=770701001\n"
                          "phone=+7 495 000\n[mail]\nhost=smtp.shop.lan\nsecurity=none\n")
            << false << false
            << texts("mail/host=smtp.shop.lan|mail/security=none|requisites/"
                     "inn=7707083893|requisites/kpp=770701001|requisites/name=Печатный "
                     "двор|requisites/phone=+7 495 000");
    }
    void keysAfterOk()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, linesShown);
        QFETCH(bool, move);
        QFETCH(QStringList, keys);
        open(file);
        auto *lines = field<QGroupBox>("groupBoxRequisiteLines");
        QCOMPARE(lines->isVisible(), linesShown);
        // The sample is a hint in the empty fields, never their text.
        QCOMPARE(field<QLineEdit>("lineEditAddress")->placeholderText(),
                 ShopRequisites::sample().address);
        if (move)
            QTest::mouseClick(field<QPushButton>("pushButtonMoveRequisiteLines"), Qt::LeftButton);
        pressOk();
        QCOMPARE(keysOf(settingsFilePath()), keys);
    }

    // "Проверить": the letter goes to the owner's address beside the dialog, which answers all
    // the while; the outcome in Russian under the button.
    void testLetter_data()
    {
        QTest::addColumn<QStringList>("sinkOptions");
        QTest::addColumn<QString>("owner");
        QTest::addColumn<QString>("told");
        QTest::addColumn<int>("received");
        QTest::newRow("sent") << QStringList() << "owner@example.ru"
                              << "Письмо отправлено на owner@example.ru: проверьте ящик." << 1;
        QTest::newRow("the server's refusal")
            << QStringList {QStringLiteral("--refuse-rcpt"),
                            QStringLiteral("550 5.1.1 No such mailbox")}
            << "owner@example.ru"
            << "Письмо не отправлено: почтовый сервер отказал: 550 5.1.1 No such mailbox" << 0;
        QTest::newRow("no owner's address") << QStringList() << ""
                                            << "Укажите адрес владельца: проверочное письмо "
                                               "уходит на него."
                                            << 0;
    }
    void testLetter()
    {
        QFETCH(QStringList, sinkOptions);
        QFETCH(QString, owner);
        QFETCH(QString, told);
        QFETCH(int, received);
        SmtpSink sink(sinkOptions);
        QVERIFY2(sink.port > 0, "the SMTP server did not start");
        open(QByteArray());
        field<QLineEdit>("lineEditMailHost")->setText(QStringLiteral("127.0.0.1"));
        field<QSpinBox>("spinBoxMailPort")->setValue(sink.port);
        field<QLineEdit>("lineEditMailSender")
            ->setText(QStringLiteral("Печатный двор <shop@example.ru>"));
        QTest::keyClicks(field<QLineEdit>("lineEditMailOwner"), owner);
        auto *check = field<QPushButton>("pushButtonMailCheck");
        QTest::mouseClick(check, Qt::LeftButton);
        if (received > 0 || told.startsWith(QStringLiteral("Письмо не")))
            QVERIFY2(dialog->isCheckingMail() && !check->isEnabled(),
                     "the letter is sent on the window's thread");
        QTRY_COMPARE(field<QLabel>("labelMailCheck")->text(), told);
        QVERIFY(check->isEnabled());
        QCOMPARE(sink.received().size(), received);
        if (received)
            QCOMPARE(sink.received().first().value(QStringLiteral("rcptTo")).toArray().first(),
                     QJsonValue(owner));
        // Nothing is saved by the check.
        QVERIFY(readFile(settingsFilePath()).isEmpty());
    }

    // The password goes to the mail password file, owner-only; the settings file holds none.
    void passwordKeptApart_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("typed"); // empty: the field left as shown
        QTest::addColumn<QString>("kept");
        QTest::newRow("typed into the field")
            << QByteArray("[mail]\nhost=smtp.shop.lan\nuser=kassa\n") << "пароль: с двоеточием"
            << "пароль: с двоеточием";
        QTest::newRow("moved out of a file written by hand")
            << QByteArray("[mail]\nhost=smtp.shop.lan\nuser=kassa\npassword=\"secret \"\n")
            << QString() << "secret ";
    }
    void passwordKeptApart()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        open(file);
        if (!typed.isEmpty())
            field<QLineEdit>("lineEditMailPassword")->setText(typed);
        QCOMPARE(field<QLineEdit>("lineEditMailPassword")->echoMode(), QLineEdit::Password);
        pressOk();
        QCOMPARE(keysOf(settingsFilePath()), (texts("mail/host=smtp.shop.lan|mail/user=kassa")));
        QCOMPARE(Settings(settingsFilePath()).mailPassword(), kept);
        const QString passwords = mailPasswordFilePath(settingsFilePath());
        QCOMPARE(QFile::permissions(passwords) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        // A new login: the old line goes, the password with it when emptied.
        dialog.reset(new SettingsDialog(nullptr, &prompts));
        QCOMPARE(field<QLineEdit>("lineEditMailPassword")->text(), kept);
        field<QLineEdit>("lineEditMailUser")->setText(QStringLiteral("zakaz"));
        field<QLineEdit>("lineEditMailPassword")->clear();
        pressOk();
        QCOMPARE(readFile(passwords), QByteArray());
    }

    // The week's page: days as boxes, the opening times, the usual promise; what is shown and
    // what the file holds after "OK".
    void week_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("edit"); // "+6" a day on, "-1" off, "10:00-18:00", "h15"
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("hours"); // as the mail and the website show them
        QTest::newRow("a fresh file, nothing changed")
            << QByteArray() << QString() << QStringList() << QString();
        QTest::newRow("Saturday and the times")
            << QByteArray() << "+6 10:00-18:00"
            << texts("orders/closesAt=18:00|orders/opensAt=10:00|orders/workingDays=1,2,3,4,5,6")
            << "пн–сб 10:00–18:00";
        QTest::newRow("the free text wins, the promise moves")
            << QByteArray("[orders]\nworkingDays=1, 3, 5\nopensAt=09:00\ncloseAt=x\n"
                          "closesAt=17:30\n[requisites]\nhours=по записи\n")
            << "h15"
            << texts("orders/closeAt=x|orders/closesAt=17:30|orders/dueHour=15|orders/"
                     "opensAt=09:00|orders/workingDays=1,3,5|requisites/hours=по записи")
            << "по записи";
        QTest::newRow("no times: the keys go")
            << QByteArray("[orders]\nopensAt=09:00\nclosesAt=19:00\nworkingDays=1,2,3,4,5\n")
            << "-5 notimes" << texts("orders/workingDays=1,2,3,4") << QString();
    }
    void week()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, edit);
        QFETCH(QStringList, keys);
        QFETCH(QString, hours);
        open(file);
        const char *const days[]
            = {"checkBoxMonday", "checkBoxTuesday",  "checkBoxWednesday", "checkBoxThursday",
               "checkBoxFriday", "checkBoxSaturday", "checkBoxSunday"};
        for (const QString &step : edit.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (step.startsWith(QLatin1Char('+')) || step.startsWith(QLatin1Char('-'))) {
                field<QCheckBox>(days[step.mid(1).toInt() - 1])
                    ->setChecked(step.startsWith(QLatin1Char('+')));
            } else if (step.startsWith(QLatin1Char('h'))) {
                field<QSpinBox>("spinBoxDueHour")->setValue(step.mid(1).toInt());
            } else if (step == QLatin1String("notimes")) {
                field<QCheckBox>("checkBoxOpeningTimes")->setChecked(false);
            } else {
                field<QCheckBox>("checkBoxOpeningTimes")->setChecked(true);
                field<QTimeEdit>("timeEditOpensAt")
                    ->setTime(QTime::fromString(step.section(QLatin1Char('-'), 0, 0)));
                field<QTimeEdit>("timeEditClosesAt")
                    ->setTime(QTime::fromString(step.section(QLatin1Char('-'), 1, 1)));
            }
        }
        pressOk();
        QCOMPARE(keysOf(settingsFilePath()), keys);
        QCOMPARE(Settings(settingsFilePath()).shopHours(), hours);
        if (edit.isEmpty())
            QCOMPARE(readFile(settingsFilePath()), file);
    }

    // A week that cannot be kept is told, and nothing is written.
    void weekRefused_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("told");
        QTest::newRow("no working day") << "nodays"
                                        << "Отметьте хотя бы один рабочий день: на него обещают "
                                           "заказы.";
        QTest::newRow("closing before opening")
            << "19:00-09:00"
            << "Время закрытия (09:00) должно быть позже открытия (19:00).";
    }
    void weekRefused()
    {
        QFETCH(QString, step);
        QFETCH(QString, told);
        open(QByteArray("[orders]\ndueHour=11\n"));
        QString message;
        prompts.onTell = [&message](const QString &text, const QString &) { message = text; };
        if (step == QLatin1String("nodays")) {
            for (QCheckBox *day : dialog->findChildren<QCheckBox *>())
                if (day->objectName().endsWith(QLatin1String("day")))
                    day->setChecked(false);
        } else {
            field<QCheckBox>("checkBoxOpeningTimes")->setChecked(true);
            field<QTimeEdit>("timeEditOpensAt")->setTime(QTime(19, 0));
            field<QTimeEdit>("timeEditClosesAt")->setTime(QTime(9, 0));
        }
        QTest::mouseClick(dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok),
                          Qt::LeftButton);
        prompts.onTell = nullptr;
        QCOMPARE(message, told);
        QVERIFY(dialog->isVisible());
        QCOMPARE(readFile(settingsFilePath()), QByteArray("[orders]\ndueHour=11\n"));
    }
};

QTEST_MAIN(SettingsPagesTest)
#include "test_settings_pages.moc"
