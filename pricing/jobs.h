// One job per pricing page: the options chosen on it (codes, amounts and captions, with their
// groups' titles) and the sizes and quantity as typed. A job is a plain value: it can be priced
// without a window, stored with its order line and priced again later.
#pragma once

#include "pricing/option_group.h"

#include <QJsonObject>
#include <QString>
#include <QVector>

enum class PricingPage { SheetProducts, Brochures, Street, Interior, Souvenir };

struct SheetProductsJob
{
    OptionGroup format, colour, type, density;
    OptionGroup lamination, binding, varnish, creasing, other;
    bool customSize = false;
    QString width, height, quantity;
};

struct BrochureJob
{
    OptionGroup format, innerColour, innerType, innerDensity, coverColour, coverType, coverDensity;
    OptionGroup bindingKind, binding, coverLamination, innerLamination, coverVarnish, innerVarnish,
        other;
    bool customSize = false;
    QString width, height, quantity, innerSheets;
};

// A pocket of an information stand: its check box and the count typed beside it.
struct StandPocket
{
    OptionChoice box;
    QString count;
};

struct StreetJob
{
    OptionGroup size, material, quality, film, base, postPress, stand, pocketSizes;
    QVector<StandPocket> pockets; // the checked ones, in the page's order
    QString width, height, quantity;
};

struct InteriorJob
{
    OptionGroup format, colour, paper, density;
    OptionGroup base, folding, binding, lamination, other;
    bool customSize = false;
    QString width, height, quantity;
};

struct SouvenirJob
{
    OptionGroup size, colours, material, materialColour;
    bool customSize = false;
    QString width, height, quantity;
};

// The job with its extras unchecked: what the page holds after a press clears them, and so what a
// quantity tier line is priced from.
SheetProductsJob withoutExtras(SheetProductsJob job);
BrochureJob withoutExtras(BrochureJob job);

// Stored form of a job: {"page": "sheet_products", ...}. fromJson answers false for an object that
// is no job of a known page.
QJsonObject toJson(const SheetProductsJob &job);
QJsonObject toJson(const BrochureJob &job);
QJsonObject toJson(const StreetJob &job);
QJsonObject toJson(const InteriorJob &job);
QJsonObject toJson(const SouvenirJob &job);
bool fromJson(const QJsonObject &object, SheetProductsJob *job);
bool fromJson(const QJsonObject &object, BrochureJob *job);
bool fromJson(const QJsonObject &object, StreetJob *job);
bool fromJson(const QJsonObject &object, InteriorJob *job);
bool fromJson(const QJsonObject &object, SouvenirJob *job);
QString pageName(PricingPage page);
bool pageOf(const QJsonObject &object, PricingPage *page);
