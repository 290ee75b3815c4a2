// The program's own LibreOffice profile: its registrymodifications.xcu made and mended before the
// office starts (the settings replaced, everything else the office wrote kept, a right file left
// unwritten), and a real office started on it reading the settings as meant: the interface in
// Russian, no tip of the day, no Start Center.
#include "office/office_profile.h"
#include "office/office_testkit.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <unistd.h>

namespace {

const QString Head = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                    "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
                                    "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
                                    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n");

// Lines as the office writes them.
const QString FirstRun = QStringLiteral(
    "<item oor:path=\"/org.openoffice.Office.Common/Misc\"><prop oor:name=\"FirstRun\" "
    "oor:op=\"fuse\"><value>false</value></prop></item>");
const QString TipOn = QStringLiteral(
    "<item oor:path=\"/org.openoffice.Office.Common/Misc\"><prop oor:name=\"ShowTipOfTheDay\" "
    "oor:op=\"fuse\"><value>true</value></prop></item>");
const QString English = QStringLiteral(
    "<item oor:path=\"/org.openoffice.Office.Linguistic/General\"><prop oor:name=\"UILocale\" "
    "oor:op=\"fuse\"><value>en-US</value></prop></item>");
const QString StartCenterWindow = QStringLiteral(
    "<item oor:path=\"/org.openoffice.Setup/Office/Factories/"
    "org.openoffice.Setup:Factory['com.sun.star.frame.StartModule']\"><prop "
    "oor:name=\"ooSetupFactoryWindowAttributes\" oor:op=\"fuse\"><value>0,0,1366,768;</value>"
    "</prop></item>");
const QString CalcWindow = QStringLiteral(
    "<item oor:path=\"/org.openoffice.Setup/Office/Factories/"
    "org.openoffice.Setup:Factory['com.sun.star.sheet.SpreadsheetDocument']\"><prop "
    "oor:name=\"ooSetupFactoryWindowAttributes\" oor:op=\"fuse\"><value>0,0,1366,768;</value>"
    "</prop></item>");

QString fileText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool writeText(const QString &path, const QString &text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text.toUtf8()) >= 0;
}

// Every setting's line stands in the text exactly once.
QString missingSetting(const QString &text)
{
    for (const officeprofile::Setting &setting : officeprofile::settings())
        if (text.count(setting.item()) != 1)
            return setting.item();
    return QString();
}

} // namespace

class OfficeProfileTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString xcu(const QString &folder) const
    {
        return dir.filePath(folder + QStringLiteral("/user/registrymodifications.xcu"));
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void programFolderUnderTheDataHome()
    {
        const QByteArray before = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", "/srv/kassa/data");
        QCOMPARE(officeprofile::programFolder(),
                 QStringLiteral("/srv/kassa/data/printcalc/office-profile"));
        qputenv("XDG_DATA_HOME", before);
        QCOMPARE(officeprofile::installationArgument(QStringLiteral("/home/Кассир 2/profile")),
                 QStringLiteral("-env:UserInstallation=file:///home/"
                                "%D0%9A%D0%B0%D1%81%D1%81%D0%B8%D1%80%202/profile"));
    }

    // The file before and what must and must not stand in it after.
    void prepared_data()
    {
        QTest::addColumn<QString>("before"); // "-": no file at all
        QTest::addColumn<QStringList>("kept");
        QTest::addColumn<QStringList>("gone");
        QTest::newRow("a new profile") << "-" << QStringList() << QStringList();
        QTest::newRow("the office's own file: its settings kept, ours put right")
            << Head + FirstRun + QLatin1Char('\n') + TipOn + QLatin1Char('\n') + English
                + QLatin1Char('\n') + CalcWindow + QStringLiteral("\n</oor:items>\n")
            << QStringList {FirstRun, CalcWindow} << QStringList {TipOn, English};
        QTest::newRow("the Start Center's window, left from before")
            << Head + StartCenterWindow + QLatin1Char('\n') + CalcWindow
                + QStringLiteral("\n</oor:items>\n")
            << QStringList {CalcWindow} << QStringList {StartCenterWindow};
        QTest::newRow("cut short") << Head + FirstRun << QStringList() << QStringList {FirstRun};
    }
    void prepared()
    {
        QFETCH(QString, before);
        QFETCH(QStringList, kept);
        QFETCH(QStringList, gone);
        const QString folder = dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        const QString path
            = QDir(folder).filePath(QStringLiteral("user/registrymodifications.xcu"));
        if (before != QLatin1String("-"))
            QVERIFY(writeText(path, before));
        QString error;
        QVERIFY2(officeprofile::prepare(folder, &error), qPrintable(error));
        const QString after = fileText(path);
        QVERIFY2(after.startsWith(Head), qPrintable(after));
        QVERIFY2(after.trimmed().endsWith(QStringLiteral("</oor:items>")), qPrintable(after));
        QVERIFY2(missingSetting(after).isEmpty(), qPrintable(missingSetting(after) + after));
        for (const QString &line : kept)
            QVERIFY2(after.count(line) == 1, qPrintable(line + QStringLiteral(" in ") + after));
        for (const QString &line : gone)
            QVERIFY2(!after.contains(line), qPrintable(line + QStringLiteral(" in ") + after));
        QCOMPARE(officeprofile::withSettings(after), after);
    }

    // A profile that holds the settings already is not written again.
    void rightFileLeftAlone()
    {
        const QString folder = dir.filePath(QStringLiteral("right"));
        QVERIFY(officeprofile::prepare(folder));
        const QString path
            = QDir(folder).filePath(QStringLiteral("user/registrymodifications.xcu"));
        const QDateTime old = QDateTime::currentDateTime().addDays(-3);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(old, QFileDevice::FileModificationTime));
        file.close();
        QVERIFY(officeprofile::prepare(folder));
        QCOMPARE(QFileInfo(path).lastModified().toSecsSinceEpoch(), old.toSecsSinceEpoch());
    }

    void unwritableFolderTold()
    {
        const QString blocker = dir.filePath(QStringLiteral("blocker"));
        QVERIFY(writeText(blocker, QStringLiteral("a file where the folder would be")));
        QString error;
        QVERIFY(!officeprofile::prepare(blocker + QStringLiteral("/profile"), &error));
        QVERIFY2(error.contains(QStringLiteral("не удалось создать")), qPrintable(error));
    }

    // A real office on the prepared profile reads each setting as meant, speaks Russian (the
    // language pack libreoffice-l10n-ru is there) and knows no Start Center; the file it writes
    // on its way out still holds the settings, so the next start leaves it as it is.
    void officeReadsTheSettings()
    {
        const QString folder = dir.filePath(QStringLiteral("office"));
        QString error;
        QVERIFY2(officeprofile::prepare(folder, &error), qPrintable(error));
        OfficeSession session(
            QStringLiteral("printcalc-profile-test-%1").arg(QCoreApplication::applicationPid()));
        session.setStartArguments(
            {QStringLiteral("--headless"), officeprofile::installationArgument(folder)});
        OfficeFailure failure;
        QVERIFY2(session.reach(&failure), qPrintable(failure.message + failure.details));
        const qint64 pid = session.startedProcessId();

        const auto value = [&session](const char *path, const char *name) {
            QString why;
            const QString read = officetest::configurationValue(session, QLatin1String(path),
                                                                QLatin1String(name), &why);
            return read.isEmpty() ? QStringLiteral("(%1)").arg(why) : read;
        };
        QCOMPARE(value("/org.openoffice.Office.Linguistic/General", "UILocale"),
                 QStringLiteral("ru-RU"));
        QCOMPARE(value("/org.openoffice.Setup/L10N", "ooSetupSystemLocale"),
                 QStringLiteral("ru-RU"));
        const QString used = value("/org.openoffice.Setup/L10N", "ooLocale");
        QVERIFY2(used.startsWith(QLatin1String("ru")),
                 qPrintable(QStringLiteral("the office speaks %1: is libreoffice-l10n-ru "
                                           "installed?")
                                .arg(used)));
        QCOMPARE(value("/org.openoffice.Office.Common/Misc", "ShowTipOfTheDay"),
                 QStringLiteral("false"));
        for (const char *bar : {"WhatsNew", "Donate", "GetInvolved"})
            QCOMPARE(value("/org.openoffice.Office.UI.Infobar/Enabled", bar),
                     QStringLiteral("false"));
        QVERIFY2(officetest::configurationHas(
                     session, QStringLiteral("/org.openoffice.Setup/Office/Factories"),
                     QStringLiteral("com.sun.star.sheet.SpreadsheetDocument")),
                 "the configuration's factories are not read");
        QVERIFY2(!officetest::configurationHas(
                     session, QStringLiteral("/org.openoffice.Setup/Office/Factories"),
                     QStringLiteral("com.sun.star.frame.StartModule")),
                 "the Start Center's module is still there");

        session.terminate();
        QTRY_VERIFY_WITH_TIMEOUT(!officetest::processRunning(pid), 20000);
        if (officetest::processRunning(pid))
            ::kill(pid_t(pid), SIGKILL);
        const QString written = fileText(xcu(QStringLiteral("office")));
        QVERIFY2(written.contains(QStringLiteral("ooLocale")),
                 "the office did not write its profile on the way out");
        QCOMPARE(officeprofile::withSettings(written), written);
    }
};

QTEST_GUILESS_MAIN(OfficeProfileTest)
#include "test_office_profile.moc"
