// The section "tax" of the settings file, read and written in one place: the documents print
// with it, and storage fills each invoice with the rule of its day from it.
#pragma once

#include "order/invoice_foot.h"

class SettingsFile;

// Mode (on-top, included, none), rate, and one change from a day (changeFrom as YYYY-MM-DD,
// changeMode, changeRate). Without the section, given is false: the old "18%" rows.
TaxSettings readTaxSettings(const SettingsFile &settings);
// Sets the keys; a file without the section keeps having none while the tax is not given.
void storeTaxSettings(SettingsFile &settings, const TaxSettings &tax);
