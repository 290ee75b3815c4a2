// Jobs without their extras, and their stored form.
#include "pricing/jobs.h"

#include <QJsonArray>

#include <utility>

SheetProductsJob withoutExtras(SheetProductsJob job)
{
    for (OptionGroup *group :
         {&job.lamination, &job.binding, &job.varnish, &job.creasing, &job.other})
        *group = group->cleared();
    return job;
}

BrochureJob withoutExtras(BrochureJob job)
{
    for (OptionGroup *group :
         {&job.bindingKind, &job.binding, &job.coverLamination, &job.innerLamination,
          &job.coverVarnish, &job.innerVarnish, &job.other})
        *group = group->cleared();
    return job;
}

namespace {

// The members of a job that its stored form names, one list per page, read and written alike.
struct Fields
{
    QVector<std::pair<const char *, OptionGroup *>> groups;
    QVector<std::pair<const char *, QString *>> texts;
    bool *customSize = nullptr;
};

Fields fieldsOf(SheetProductsJob &job)
{
    return {{{"format", &job.format},
             {"colour", &job.colour},
             {"type", &job.type},
             {"density", &job.density},
             {"lamination", &job.lamination},
             {"binding", &job.binding},
             {"varnish", &job.varnish},
             {"creasing", &job.creasing},
             {"other", &job.other}},
            {{"width", &job.width}, {"height", &job.height}, {"quantity", &job.quantity}},
            &job.customSize};
}

Fields fieldsOf(BrochureJob &job)
{
    return {{{"format", &job.format},
             {"innerColour", &job.innerColour},
             {"innerType", &job.innerType},
             {"innerDensity", &job.innerDensity},
             {"coverColour", &job.coverColour},
             {"coverType", &job.coverType},
             {"coverDensity", &job.coverDensity},
             {"bindingKind", &job.bindingKind},
             {"binding", &job.binding},
             {"coverLamination", &job.coverLamination},
             {"innerLamination", &job.innerLamination},
             {"coverVarnish", &job.coverVarnish},
             {"innerVarnish", &job.innerVarnish},
             {"other", &job.other}},
            {{"width", &job.width},
             {"height", &job.height},
             {"quantity", &job.quantity},
             {"innerSheets", &job.innerSheets}},
            &job.customSize};
}

Fields fieldsOf(StreetJob &job)
{
    return {{{"size", &job.size},
             {"material", &job.material},
             {"quality", &job.quality},
             {"film", &job.film},
             {"base", &job.base},
             {"postPress", &job.postPress},
             {"stand", &job.stand},
             {"pocketSizes", &job.pocketSizes}},
            {{"width", &job.width}, {"height", &job.height}, {"quantity", &job.quantity}},
            nullptr};
}

Fields fieldsOf(InteriorJob &job)
{
    return {{{"format", &job.format},
             {"colour", &job.colour},
             {"paper", &job.paper},
             {"density", &job.density},
             {"base", &job.base},
             {"folding", &job.folding},
             {"binding", &job.binding},
             {"lamination", &job.lamination},
             {"other", &job.other}},
            {{"width", &job.width}, {"height", &job.height}, {"quantity", &job.quantity}},
            &job.customSize};
}

Fields fieldsOf(SouvenirJob &job)
{
    return {{{"size", &job.size},
             {"colours", &job.colours},
             {"material", &job.material},
             {"materialColour", &job.materialColour}},
            {{"width", &job.width}, {"height", &job.height}, {"quantity", &job.quantity}},
            &job.customSize};
}

const char *const PageNames[] = {"sheet_products", "brochures", "street", "interior", "souvenir"};

QJsonObject write(PricingPage page, const Fields &fields)
{
    QJsonObject object {{QStringLiteral("page"), pageName(page)}};
    for (const auto &[name, group] : fields.groups)
        object.insert(QLatin1String(name), group->toJson());
    for (const auto &[name, text] : fields.texts)
        object.insert(QLatin1String(name), *text);
    if (fields.customSize)
        object.insert(QStringLiteral("customSize"), *fields.customSize);
    return object;
}

bool read(const QJsonObject &object, PricingPage page, const Fields &fields)
{
    PricingPage stored;
    if (!pageOf(object, &stored) || stored != page)
        return false;
    for (const auto &[name, group] : fields.groups)
        *group = OptionGroup::fromJson(object.value(QLatin1String(name)).toObject());
    for (const auto &[name, text] : fields.texts)
        *text = object.value(QLatin1String(name)).toString();
    if (fields.customSize)
        *fields.customSize = object.value(QStringLiteral("customSize")).toBool();
    return true;
}

template<typename Job> QJsonObject writeJob(PricingPage page, Job job)
{
    return write(page, fieldsOf(job));
}

} // namespace

QString pageName(PricingPage page)
{
    return QLatin1String(PageNames[int(page)]);
}

bool pageOf(const QJsonObject &object, PricingPage *page)
{
    const QString name = object.value(QStringLiteral("page")).toString();
    for (int i = 0; i < int(std::size(PageNames)); ++i) {
        if (name == QLatin1String(PageNames[i])) {
            *page = PricingPage(i);
            return true;
        }
    }
    return false;
}

QJsonObject toJson(const SheetProductsJob &job)
{
    return writeJob(PricingPage::SheetProducts, job);
}

QJsonObject toJson(const BrochureJob &job)
{
    return writeJob(PricingPage::Brochures, job);
}

QJsonObject toJson(const StreetJob &job)
{
    QJsonObject object = writeJob(PricingPage::Street, job);
    QJsonArray pockets;
    for (const StandPocket &pocket : job.pockets) {
        OptionGroup box {QString(), {pocket.box}};
        QJsonObject stored = box.toJson();
        stored.insert(QStringLiteral("count"), pocket.count);
        pockets.append(stored);
    }
    object.insert(QStringLiteral("pockets"), pockets);
    return object;
}

QJsonObject toJson(const InteriorJob &job)
{
    return writeJob(PricingPage::Interior, job);
}

QJsonObject toJson(const SouvenirJob &job)
{
    return writeJob(PricingPage::Souvenir, job);
}

bool fromJson(const QJsonObject &object, SheetProductsJob *job)
{
    return read(object, PricingPage::SheetProducts, fieldsOf(*job));
}

bool fromJson(const QJsonObject &object, BrochureJob *job)
{
    return read(object, PricingPage::Brochures, fieldsOf(*job));
}

bool fromJson(const QJsonObject &object, StreetJob *job)
{
    if (!read(object, PricingPage::Street, fieldsOf(*job)))
        return false;
    job->pockets.clear();
    for (const QJsonValue &value : object.value(QStringLiteral("pockets")).toArray()) {
        const OptionGroup box = OptionGroup::fromJson(value.toObject());
        if (!box.checked.isEmpty())
            job->pockets.append(
                {box.checked.first(), value.toObject().value(QStringLiteral("count")).toString()});
    }
    return true;
}

bool fromJson(const QJsonObject &object, InteriorJob *job)
{
    return read(object, PricingPage::Interior, fieldsOf(*job));
}

bool fromJson(const QJsonObject &object, SouvenirJob *job)
{
    return read(object, PricingPage::Souvenir, fieldsOf(*job));
}
