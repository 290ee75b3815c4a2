// The shop's tax keys of the settings file.
#include "storage/tax_settings.h"

#include "storage/settings_file.h"

#include <QDate>

namespace {

const char taxModeKey[] = "tax/mode";
const char taxRateKey[] = "tax/rate";
const char changeFromKey[] = "tax/changeFrom";
const char changeModeKey[] = "tax/changeMode";
const char changeRateKey[] = "tax/changeRate";

// A mode or rate left out or mistyped: the general rule of the shop's tax since 2026, on top at
// 22 %; a change without its own mode or rate keeps the one in force before it.
TaxRule readRule(const SettingsFile &settings, const char *modeKey, const char *rateKey,
                 const TaxRule &fallback)
{
    TaxRule rule = fallback;
    TaxMode mode = TaxMode::OnTop;
    if (taxModeFromWord(settings.value(QLatin1String(modeKey)).toString(), &mode))
        rule.mode = mode;
    bool ok = false;
    const int rate = settings.value(QLatin1String(rateKey)).toString().trimmed().toInt(&ok);
    if (ok && isTaxRate(rate))
        rule.rate = rate;
    return rule;
}

} // namespace

TaxSettings readTaxSettings(const SettingsFile &settings)
{
    TaxSettings tax;
    for (const char *key : {taxModeKey, taxRateKey, changeFromKey, changeModeKey, changeRateKey})
        tax.given = tax.given || settings.contains(QLatin1String(key));
    if (!tax.given)
        return tax;
    tax.rule = readRule(settings, taxModeKey, taxRateKey, TaxRule {TaxMode::OnTop, 22});
    tax.changeFrom = QDate::fromString(
        settings.value(QLatin1String(changeFromKey)).toString().trimmed(), Qt::ISODate);
    tax.change = readRule(settings, changeModeKey, changeRateKey, tax.rule);
    return tax;
}

void storeTaxSettings(SettingsFile &settings, const TaxSettings &tax)
{
    if (!tax.given)
        return;
    settings.setValue(QLatin1String(taxModeKey), taxModeWord(tax.rule.mode));
    settings.setValue(QLatin1String(taxRateKey), tax.rule.rate);
    if (tax.changeFrom.isValid()) {
        settings.setValue(QLatin1String(changeFromKey), tax.changeFrom.toString(Qt::ISODate));
        settings.setValue(QLatin1String(changeModeKey), taxModeWord(tax.change.mode));
        settings.setValue(QLatin1String(changeRateKey), tax.change.rate);
    } else {
        for (const char *key : {changeFromKey, changeModeKey, changeRateKey})
            settings.remove(QLatin1String(key));
    }
}
