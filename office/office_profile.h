// The program's own LibreOffice profile. The office the window starts never uses the operator's
// own LibreOffice profile: it has one of its own, in which the invoice opens in Russian, with no
// tip of the day, no "what's new", donation or get-involved bars, and no Start Center once the
// last invoice is closed. Its settings are made sure of each time the program starts that office
// (Qt Core only, no UNO: the file is the office's registrymodifications.xcu).
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace officeprofile {

// One setting of the office's configuration: a property set to a value, or (value empty) a member
// of a set removed.
struct Setting
{
    QString path; // "/org.openoffice.Office.Common/Misc"
    QString name; // "ShowTipOfTheDay"
    QString value; // "false"; empty: the member `name` of the set at `path` is removed
    // The line the office itself writes for it in registrymodifications.xcu.
    QString item() const;
};

// ~/.local/share/printcalc/office-profile (under $XDG_DATA_HOME where that is set).
QString programFolder();

// The settings the program's office is started with: the user interface and the locale of
// numbers and dates in Russian (ru-RU), ShowTipOfTheDay off, the "what's new", donation and
// get-involved bars off, and the Start Center's module removed, so that closing the last
// document never leaves the Start Center on the screen.
const QVector<Setting> &settings();

// Makes sure the profile in the folder holds the settings: a new profile gets a
// registrymodifications.xcu with them alone; in one the office has written, the same settings
// are replaced and everything else is kept; a file that holds them already is not written.
// False, with the reason, when the file cannot be written.
bool prepare(const QString &folder, QString *error = nullptr);

// registrymodifications.xcu's text with the settings made sure of (what prepare() writes).
QString withSettings(const QString &text);

// The office's argument that names the profile: "-env:UserInstallation=file:///…".
QString installationArgument(const QString &folder);

} // namespace officeprofile
