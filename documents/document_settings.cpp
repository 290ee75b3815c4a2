// The documents' keys in the settings file.
#include "documents/document_settings.h"

#include "storage/settings_file.h"
#include "storage/tax_settings.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {
// Section "requisites": the shop's texts; section "documents": the PDF folder and validity.
struct RequisiteKey
{
    const char *key;
    QString ShopRequisites::*field;
    bool keptWhenEmpty = true; // the fields of their own are left out of a file while empty
};
const RequisiteKey requisiteKeys[] = {
    {"requisites/name", &ShopRequisites::name},
    {"requisites/address", &ShopRequisites::address},
    {"requisites/taxNumbers", &ShopRequisites::taxNumbers},
    {"requisites/bank", &ShopRequisites::bank},
    {"requisites/account", &ShopRequisites::account},
    {"requisites/director", &ShopRequisites::director},
    {"requisites/accountant", &ShopRequisites::accountant},
    {"requisites/inn", &ShopRequisites::inn, false},
    {"requisites/kpp", &ShopRequisites::kpp, false},
    {"requisites/ogrn", &ShopRequisites::ogrn, false},
    {"requisites/bankName", &ShopRequisites::bankName, false},
    {"requisites/bik", &ShopRequisites::bik, false},
    {"requisites/settlementAccount", &ShopRequisites::settlementAccount, false},
    {"requisites/corrAccount", &ShopRequisites::corrAccount, false},
};
const char folderKey[] = "documents/pdfFolder";
const char validityKey[] = "documents/validityDays";
} // namespace

QString settingsFilePath()
{
    // GenericConfigLocation is $XDG_CONFIG_HOME, or ~/.config when that is unset.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/printcalc/printcalc.ini");
}

std::unique_ptr<QSettings> openSettingsFile()
{
    auto settings = std::make_unique<QSettings>(settingsFilePath(), QSettings::IniFormat);
    settings->setIniCodec("UTF-8");
    return settings;
}

DocumentSettings DocumentSettings::load()
{
    return read(SettingsFile(settingsFilePath()));
}

DocumentSettings DocumentSettings::read(const SettingsFile &settings)
{
    DocumentSettings loaded;
    for (const RequisiteKey &entry : requisiteKeys) {
        const QString key = QLatin1String(entry.key);
        if (settings.contains(key))
            loaded.requisites.*entry.field = settings.text(key);
    }
    loaded.pdfFolder = settings.value(QLatin1String(folderKey)).toString().trimmed();
    bool ok = false;
    const int days = settings.value(QLatin1String(validityKey)).toInt(&ok);
    if (ok && days >= 0 && days <= MaxValidityDays)
        loaded.validityDays = days;
    loaded.tax = readTaxSettings(settings);
    return loaded;
}

bool DocumentSettings::save() const
{
    SettingsFile settings(settingsFilePath());
    store(settings);
    return settings.save();
}

void DocumentSettings::store(SettingsFile &settings) const
{
    const ShopRequisites sample = ShopRequisites::sample();
    for (const RequisiteKey &entry : requisiteKeys) {
        const QString key = QLatin1String(entry.key);
        const QString &value = requisites.*entry.field;
        const QString &sampleValue = sample.*entry.field;
        // The sample's text is what an absent key means: it is never written as the shop's. An
        // emptied line the shop had is kept empty, so that the documents print nothing there;
        // the old lines are not printed at all once the fields of their own are set.
        const bool shopsOwn = settings.contains(key) && settings.text(key) != sampleValue;
        const bool oldLine = entry.field == &ShopRequisites::taxNumbers
            || entry.field == &ShopRequisites::bank || entry.field == &ShopRequisites::account;
        if (!value.isEmpty() && value != sampleValue)
            settings.setValue(key, value);
        else if (value.isEmpty() && !sampleValue.isEmpty() && entry.keptWhenEmpty && shopsOwn
                 && !(oldLine && requisites.structured()))
            settings.setValue(key, value);
        else
            settings.remove(key);
    }
    if (pdfFolder.isEmpty())
        settings.remove(QLatin1String(folderKey));
    else
        settings.setValue(QLatin1String(folderKey), pdfFolder);
    if (validityDays != DocumentSettings().validityDays
        || settings.contains(QLatin1String(validityKey)))
        settings.setValue(QLatin1String(validityKey), validityDays);
    storeTaxSettings(settings, tax);
}

ShopRequisites DocumentSettings::storedRequisites(const SettingsFile &settings)
{
    const ShopRequisites sample = ShopRequisites::sample();
    ShopRequisites stored;
    for (const RequisiteKey &entry : requisiteKeys) {
        const QString text = settings.text(QLatin1String(entry.key));
        if (text != sample.*entry.field)
            stored.*entry.field = text;
    }
    return stored;
}

QString DocumentSettings::effectivePdfFolder() const
{
    if (pdfFolder.isEmpty())
        return defaultPdfFolder();
    // Written by hand in the file, "~/Счета" means the home folder, as in a shell.
    if (pdfFolder == QLatin1String("~") || pdfFolder.startsWith(QLatin1String("~/")))
        return QDir::cleanPath(QDir::homePath() + pdfFolder.mid(1));
    return QDir::cleanPath(pdfFolder);
}

QString DocumentSettings::pdfFolderProblem(const QString &folder)
{
    if (folder.isEmpty() || folder == QLatin1String("~") || folder.startsWith(QLatin1String("~/"))
        || QDir::isAbsolutePath(folder))
        return QString();
    return QStringLiteral("Папка для PDF «%1» задана не полным путём. Укажите её от корня "
                          "(например, /home/kassa/Счета) или от домашней папки (~/Счета).")
        .arg(folder);
}

QString DocumentSettings::defaultPdfFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
        + QStringLiteral("/printcalc");
}

InvoiceDocument DocumentSettings::journalInvoice(qint64 number, const QDate &day,
                                                 const QVector<OrderLine> &lines,
                                                 const Customer &payer, const StoredTax &tax) const
{
    InvoiceDocument document;
    document.shop = requisites;
    document.number = number > 0 ? QString::number(number) : QString();
    document.date = day;
    document.validityDays = validityDays;
    document.lines = lines;
    document.payer = payer;
    document.tax = this->tax;
    if (tax.stored) {
        // Kept as made: a change in the settings since never alters an issued invoice.
        document.tax = TaxSettings();
        document.tax.given = tax.given;
        document.tax.rule = tax.rule;
    }
    return document;
}

QString freePdfPath(const QString &folder, const QString &fileName)
{
    const QString path = QDir(folder).filePath(fileName);
    if (!QFileInfo::exists(path))
        return path;
    const QString stem = path.chopped(4); // ".pdf"
    for (int copy = 2;; ++copy) {
        const QString candidate = stem + QStringLiteral(" (%1).pdf").arg(copy);
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}
