// The program's office profile: its registrymodifications.xcu, where the office keeps the
// settings a user changed, one <item> a line.
#include "office/office_profile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUrl>

namespace officeprofile {

namespace {

const QString Head = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                    "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
                                    "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
                                    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n");
const QString Foot = QStringLiteral("</oor:items>");

// Every item that sets the same property (or removes or changes the same set member), whatever
// the value, with the blanks and the line's end around it.
QRegularExpression sameSetting(const Setting &setting)
{
    const QString element
        = setting.value.isEmpty() ? QStringLiteral("node") : QStringLiteral("prop");
    return QRegularExpression(QStringLiteral("[ \\t]*<item oor:path=\"%1\">\\s*<%2 oor:name=\"%3\""
                                             "[^>]*>.*?</item>[ \\t]*\\r?\\n?")
                                  .arg(QRegularExpression::escape(setting.path), element,
                                       QRegularExpression::escape(setting.name)),
                              QRegularExpression::DotMatchesEverythingOption);
}

// The properties of a removed set member, which the office wrote while the member was there
// ("…/Factories/org.openoffice.Setup:Factory['com.sun.star.frame.StartModule']").
QRegularExpression memberProperties(const Setting &setting)
{
    return QRegularExpression(QStringLiteral("[ \\t]*<item oor:path=\"%1/[^\"]*\\['%2'\\][^\"]*\">"
                                             ".*?</item>[ \\t]*\\r?\\n?")
                                  .arg(QRegularExpression::escape(setting.path),
                                       QRegularExpression::escape(setting.name)),
                              QRegularExpression::DotMatchesEverythingOption);
}

// Whether the text holds each setting once, as the office writes it, and nothing against it.
bool holdsSettings(const QString &text)
{
    for (const Setting &setting : settings()) {
        int found = 0;
        auto matches = sameSetting(setting).globalMatch(text);
        while (matches.hasNext()) {
            if (matches.next().captured().trimmed() != setting.item())
                return false;
            ++found;
        }
        if (found != 1)
            return false;
        if (setting.value.isEmpty() && memberProperties(setting).match(text).hasMatch())
            return false;
    }
    return true;
}

} // namespace

QString Setting::item() const
{
    if (value.isEmpty())
        return QStringLiteral("<item oor:path=\"%1\"><node oor:name=\"%2\" oor:op=\"remove\"/>"
                              "</item>")
            .arg(path.toHtmlEscaped(), name.toHtmlEscaped());
    return QStringLiteral("<item oor:path=\"%1\"><prop oor:name=\"%2\" oor:op=\"fuse\"><value>%3"
                          "</value></prop></item>")
        .arg(path.toHtmlEscaped(), name.toHtmlEscaped(), value.toHtmlEscaped());
}

QString programFolder()
{
    // Beside the counter's own SQLite file (storage/database_url.cpp), by the same rule.
    QString base = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"));
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/printcalc/office-profile");
}

const QVector<Setting> &settings()
{
    static const QVector<Setting> all = {
        // The language of the menus and dialogs the operator chose (the office writes the one it
        // then uses as /org.openoffice.Setup/L10N/ooLocale itself).
        {QStringLiteral("/org.openoffice.Office.Linguistic/General"), QStringLiteral("UILocale"),
         QStringLiteral("ru-RU")},
        // The locale of numbers and dates: "13 203,15", whatever the machine's own locale.
        {QStringLiteral("/org.openoffice.Setup/L10N"), QStringLiteral("ooSetupSystemLocale"),
         QStringLiteral("ru-RU")},
        // "Did you know?" on the first document of a day.
        {QStringLiteral("/org.openoffice.Office.Common/Misc"), QStringLiteral("ShowTipOfTheDay"),
         QStringLiteral("false")},
        // The bars over a document: "what's new" after an upgrade, donations, getting involved.
        {QStringLiteral("/org.openoffice.Office.UI.Infobar/Enabled"), QStringLiteral("WhatsNew"),
         QStringLiteral("false")},
        {QStringLiteral("/org.openoffice.Office.UI.Infobar/Enabled"), QStringLiteral("Donate"),
         QStringLiteral("false")},
        {QStringLiteral("/org.openoffice.Office.UI.Infobar/Enabled"), QStringLiteral("GetInvolved"),
         QStringLiteral("false")},
        // Without the Start Center's module, closing the last document leaves no Start Center:
        // the office stays without a window while the program holds it, and ends otherwise.
        {QStringLiteral("/org.openoffice.Setup/Office/Factories"),
         QStringLiteral("com.sun.star.frame.StartModule"), QString()},
    };
    return all;
}

QString withSettings(const QString &text)
{
    if (holdsSettings(text))
        return text;
    // A file that is no list of items (none yet, or cut short) is begun afresh.
    const int foot = text.lastIndexOf(Foot);
    QString kept
        = foot < 0 || !text.contains(QStringLiteral("<oor:items")) ? Head : text.left(foot);
    for (const Setting &setting : settings()) {
        kept.remove(sameSetting(setting));
        if (setting.value.isEmpty())
            kept.remove(memberProperties(setting));
    }
    if (!kept.endsWith(QLatin1Char('\n')))
        kept += QLatin1Char('\n');
    for (const Setting &setting : settings())
        kept += setting.item() + QLatin1Char('\n');
    return kept + Foot + QLatin1Char('\n');
}

bool prepare(const QString &folder, QString *error)
{
    const QString user = QDir(folder).filePath(QStringLiteral("user"));
    const QString path = QDir(user).filePath(QStringLiteral("registrymodifications.xcu"));
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (!QDir().mkpath(user))
        return fail(QStringLiteral("папку профиля LibreOffice «%1» не удалось создать")
                        .arg(QDir::toNativeSeparators(user)));
    QString text;
    QFile existing(path);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly))
            return fail(existing.errorString());
        text = QString::fromUtf8(existing.readAll());
        existing.close();
    }
    const QString wanted = withSettings(text);
    if (wanted == text)
        return true;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(wanted.toUtf8()) < 0 || !file.commit())
        return fail(file.errorString());
    return true;
}

QString installationArgument(const QString &folder)
{
    // Cyrillic letters and blanks in the path reach the office percent-encoded.
    return QStringLiteral("-env:UserInstallation=")
        + QUrl::fromLocalFile(QDir::cleanPath(folder)).toString(QUrl::FullyEncoded);
}

} // namespace officeprofile
