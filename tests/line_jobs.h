// Stored jobs of every pricing page, with the options and extras the form names: for the tests
// of the words a line is given on a customer's documents.
#pragma once

#include "prices/extras_catalogue.h"
#include "prices/key_meanings.h"
#include "pricing/jobs.h"

#include <QJsonObject>
#include <QtGlobal>

#include <algorithm>

namespace jobs {

// The key option with this object name, as its page reads it.
inline OptionGroup option(const char *objectName)
{
    for (const KeyGrammar &grammar : keyGrammars()) {
        for (const KeyPart &part : grammar.parts) {
            if (const auto *found = std::find_if(
                    part.options.begin(), part.options.end(),
                    [&](const KeyOption &o) { return o.objectName == QLatin1String(objectName); });
                found != part.options.end())
                return {part.group,
                        {{found->objectName, double(found->code), found->caption, true}}};
        }
    }
    qFatal("no key option %s", objectName);
}

// Extras by their keys, checked as the form would check them.
inline OptionGroup extras(std::initializer_list<const char *> keys)
{
    OptionGroup group;
    for (const char *key : keys) {
        const ExtraOption *extra = findExtra(QLatin1String(key));
        if (!extra)
            qFatal("no extra %s", key);
        group.title = extra->group;
        group.checked.append({extra->objectName, extra->amount, extra->caption,
                              extra->objectName.startsWith(QStringLiteral("radioButton")),
                              extra->key});
    }
    return group;
}

inline SheetProductsJob a4Matte350()
{
    SheetProductsJob job;
    job.format = option("radioButton_3"), job.colour = option("radioButton_28");
    job.type = option("radioButton_49"), job.density = option("radioButton_78");
    job.quantity = QStringLiteral("100");
    return job;
}

inline QJsonObject sheetWithExtras()
{
    SheetProductsJob job = a4Matte350();
    job.lamination = extras({"sheet.lamination.matte-30"});
    job.varnish = extras({"sheet.varnish.1-0"});
    job.other = extras({"sheet.other.contour-cut"});
    return toJson(job);
}

inline QJsonObject sheetCustomSize()
{
    SheetProductsJob job;
    job.format = option("radioButtonOther"), job.colour = option("radioButton_24");
    job.type = option("radioButton_47"), job.density = option("radioButton_70");
    job.customSize = true;
    job.width = QStringLiteral("100"), job.height = QStringLiteral("200");
    job.binding = extras({"sheet.binding.metal-20"});
    job.creasing = extras({"sheet.folding.2"});
    return toJson(job);
}

inline QJsonObject envelopes()
{
    SheetProductsJob job = a4Matte350();
    job.format = option("radioButton_9");
    return toJson(job);
}

inline QJsonObject sheetTier()
{
    SheetProductsJob job = a4Matte350();
    job.quantity = QStringLiteral("1500");
    QJsonObject stored = toJson(job);
    stored.insert(QStringLiteral("family"), QStringLiteral("60"));
    return stored;
}

inline QJsonObject brochure()
{
    BrochureJob job;
    job.format = option("radioButton_94");
    job.coverColour = option("radioButton_419"), job.coverType = option("radioButton_441");
    job.coverDensity = option("radioButton_466");
    job.innerColour = option("radioButton_117"), job.innerType = option("radioButton_139");
    job.innerDensity = option("radioButton_162");
    job.innerSheets = QStringLiteral("12");
    job.bindingKind = extras({"brochure.binding-kind.staple"});
    job.coverLamination = extras({"brochure.cover-lamination.gloss-30"});
    job.innerVarnish = extras({"brochure.inner-varnish.0-1"});
    job.quantity = QStringLiteral("10");
    return toJson(job);
}

inline QJsonObject banner()
{
    StreetJob job;
    job.material = option("radioButton_13"), job.quality = option("radioButton_114");
    job.width = QStringLiteral("3000"), job.height = QStringLiteral("1000");
    job.film = extras({"street.film.matte"});
    job.base = extras({"street.base.plastic-2"});
    job.postPress = extras({"street.post-press.gluing", "street.post-press.mounting"});
    job.pocketSizes = extras({"street.pocket.a4"});
    job.pockets = {{job.pocketSizes.checked.first(), QStringLiteral("3")}};
    job.pocketSizes.checked.clear();
    job.quantity = QStringLiteral("1");
    return toJson(job);
}

inline QJsonObject interiorPoster()
{
    InteriorJob job;
    job.format = option("radioButton_16"), job.colour = option("radioButton_37");
    job.paper = option("radioButton_41"), job.density = option("radioButton_46");
    job.folding = extras({"interior.folding.a1"});
    job.lamination = extras({"interior.lamination.matte-30"});
    job.quantity = QStringLiteral("2");
    return toJson(job);
}

inline QJsonObject mug()
{
    SouvenirJob job;
    job.material = option("radioButton_68"), job.size = option("radioButton_65");
    job.colours = option("radioButton_62");
    job.materialColour = extras({"souvenir.material-colour.light"});
    job.quantity = QStringLiteral("5");
    return toJson(job);
}

inline QJsonObject noMaterialCustom()
{
    SouvenirJob job;
    job.material = option("radioButton_89"), job.size = option("radioButtonOther_2");
    job.colours = option("radioButton_59");
    job.customSize = true;
    job.width = QStringLiteral("50"), job.height = QStringLiteral("50");
    return toJson(job);
}

} // namespace jobs
