// The words of a line for a customer: captions tidied (a multiplication sign in sizes, no stray
// full stops, ordinary words in lower case), the extras named by their group.
#include "pricing/line_wording.h"

#include "prices/extras_catalogue.h"
#include "prices/key_meanings.h"
#include "prices/price_table.h"
#include "pricing/number_text.h"
#include "pricing/page_pricing.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>

namespace {

const QString Parts = QStringLiteral("; ");
const QString Items = QStringLiteral(", ");

// "А4 (210х297 мм.)" → "А4 (210×297 мм)"; "Конверты *" → "Конверты"; "440 гр." → "440 г/м²".
QString tidy(QString caption)
{
    static const QRegularExpression times(QStringLiteral("(\\d)\\s*[хx]\\s*(\\d)"));
    static const QRegularExpression millimetres(QStringLiteral("мм\\.(?=\\)|$|\\s)"));
    static const QRegularExpression grams(QStringLiteral("(\\d) гр\\.(?=$|\\s)"));
    static const QRegularExpression metal(QStringLiteral("(^|\\s)Метал(?=\\s)"));
    caption.replace(times, QStringLiteral("\\1×\\2"));
    caption.replace(millimetres, QStringLiteral("мм"));
    caption.replace(grams, QStringLiteral("\\1 г/м²"));
    caption.replace(metal, QStringLiteral("\\1Металл"));
    if (caption.endsWith(QStringLiteral(" *")))
        caption.chop(2);
    return caption.trimmed();
}

// Ordinary Cyrillic words start in lower case mid-sentence; "А4", "SRA3", "Backlit" and a name in
// brackets stay as they are.
QString lowered(const QString &caption)
{
    QStringList words = tidy(caption).split(QLatin1Char(' '));
    for (QString &word : words) {
        if (word.size() < 2 || !word.at(0).isUpper()
            || word.at(0).script() != QChar::Script_Cyrillic)
            continue;
        bool ordinary = true;
        for (int i = 1; i < word.size(); ++i)
            ordinary = ordinary && !word.at(i).isUpper() && !word.at(i).isDigit();
        if (ordinary)
            word[0] = word.at(0).toLower();
    }
    return words.join(QLatin1Char(' '));
}

QString customerHead(PricingPage page)
{
    switch (page) {
    case PricingPage::SheetProducts:
        return QStringLiteral("Листовая продукция");
    case PricingPage::Brochures:
        return QStringLiteral("Брошюры");
    case PricingPage::Street:
        return QStringLiteral("Уличная печать");
    case PricingPage::Interior:
        return QStringLiteral("Интерьерная печать");
    case PricingPage::Souvenir:
        return QStringLiteral("Сувенирная печать");
    }
    return QString();
}

// The run a tier line stands for, as the price list's key meanings name it.
QString headFor(PricingPage page, const QString &family)
{
    QString head = customerHead(page);
    for (const KeyGrammar &grammar : keyGrammars()) {
        if (grammar.page == page && grammar.family == family && !grammar.tier.isEmpty()) {
            head += Items + grammar.tier + QStringLiteral(" шт.");
            break;
        }
    }
    return head;
}

QString sizeWords(const QString &width, const QString &height)
{
    return width.trimmed() + QStringLiteral("×") + height.trimmed() + QStringLiteral(" мм");
}

QString formatWords(const OptionGroup &format, bool customSize, const QString &width,
                    const QString &height)
{
    if (customSize)
        return sizeWords(width, height);
    return tidy(format.chosen().caption);
}

// "матовая 350 г/м²"
QString paperWords(const OptionGroup &type, const OptionGroup &density)
{
    QStringList words;
    if (!type.chosen().caption.isEmpty())
        words << lowered(type.chosen().caption);
    if (!density.chosen().caption.isEmpty())
        words << density.chosen().caption + QStringLiteral(" г/м²");
    return words.join(QLatin1Char(' '));
}

QString joined(QStringList items, const QString &separator)
{
    items.removeAll(QString());
    return items.join(separator);
}

// The word a customer reads before an extra's caption, by the catalogue group's key.
QString extraGroupWord(const QString &group)
{
    static const QHash<QString, QString> words = {
        {QStringLiteral("sheet.lamination"), QStringLiteral("ламинация")},
        {QStringLiteral("sheet.binding"), QStringLiteral("брошюровка")},
        {QStringLiteral("sheet.varnish"), QStringLiteral("лак")},
        {QStringLiteral("brochure.cover-lamination"), QStringLiteral("ламинация обложки")},
        {QStringLiteral("brochure.inner-lamination"),
         QStringLiteral("ламинация внутренних листов")},
        {QStringLiteral("brochure.binding"), QStringLiteral("брошюровка")},
        {QStringLiteral("brochure.binding-kind"), QStringLiteral("переплёт")},
        {QStringLiteral("brochure.cover-varnish"), QStringLiteral("лак обложки")},
        {QStringLiteral("brochure.inner-varnish"), QStringLiteral("лак внутренних листов")},
        {QStringLiteral("street.base"), QStringLiteral("основа")},
        {QStringLiteral("street.film"), QStringLiteral("плёнка")},
        {QStringLiteral("street.pocket"), QStringLiteral("карманы")},
        {QStringLiteral("interior.base"), QStringLiteral("основа")},
        {QStringLiteral("interior.folding"), QStringLiteral("фальцовка")},
        {QStringLiteral("interior.binding"), QStringLiteral("брошюровка")},
        {QStringLiteral("interior.lamination"), QStringLiteral("ламинация")},
        {QStringLiteral("souvenir.material-colour"), QStringLiteral("цвет изделия")},
    };
    return words.value(group);
}

QString extraWords(const OptionGroup &group, const OptionChoice &choice)
{
    const ExtraOption *extra = findExtra(choice.key);
    if (!extra)
        extra = findExtraByObjectName(choice.name);
    if (!extra)
        extra = findExtraByFormerName(choice.name);
    QString caption = choice.caption.isEmpty() && extra ? extra->caption : choice.caption;
    if (caption.endsWith(QStringLiteral(" лак")))
        caption.chop(4);
    caption = lowered(caption);
    if (!extra)
        return joined({lowered(group.title), caption}, QStringLiteral(" "));
    const QString word = extraGroupWord(extra->key.left(extra->key.lastIndexOf(QLatin1Char('.'))));
    return word.isEmpty() ? caption : word + QLatin1Char(' ') + caption;
}

QStringList extrasWords(std::initializer_list<const OptionGroup *> groups)
{
    QStringList words;
    for (const OptionGroup *group : groups) {
        for (const OptionChoice &choice : group->checked)
            words << extraWords(*group, choice);
    }
    return words;
}

QString sheetsWord(int count)
{
    const int tens = count % 100;
    const int ones = count % 10;
    if (tens >= 11 && tens <= 14)
        return QStringLiteral(" листов");
    if (ones == 1)
        return QStringLiteral(" лист");
    if (ones >= 2 && ones <= 4)
        return QStringLiteral(" листа");
    return QStringLiteral(" листов");
}

QString sentence(const QString &head, const QString &options, const QStringList &extras)
{
    return joined(QStringList {head + QStringLiteral(": ") + options} + extras, Parts);
}

QString words(const SheetProductsJob &job, const QString &family)
{
    const QString options = joined({formatWords(job.format, job.customSize, job.width, job.height),
                                    job.colour.chosen().caption, paperWords(job.type, job.density)},
                                   Items);
    return sentence(
        headFor(PricingPage::SheetProducts, family), options,
        extrasWords({&job.lamination, &job.binding, &job.varnish, &job.creasing, &job.other}));
}

QString words(const BrochureJob &job, const QString &family)
{
    const QString cover = joined(
        {job.coverColour.chosen().caption, paperWords(job.coverType, job.coverDensity)}, Items);
    QString inner = joined(
        {job.innerColour.chosen().caption, paperWords(job.innerType, job.innerDensity)}, Items);
    const int sheets = wholeNumber(job.innerSheets);
    if (sheets > 0)
        inner = joined({inner, QString::number(sheets) + sheetsWord(sheets)}, Items);
    QStringList parts {formatWords(job.format, job.customSize, job.width, job.height)};
    if (!cover.isEmpty())
        parts << QStringLiteral("обложка ") + cover;
    if (!inner.isEmpty())
        parts << QStringLiteral("внутренние листы ") + inner;
    const QString head = headFor(PricingPage::Brochures, family) + QStringLiteral(": ");
    return joined(
        QStringList {head + joined(parts, Parts)}
            + extrasWords({&job.bindingKind, &job.binding, &job.coverLamination,
                           &job.innerLamination, &job.coverVarnish, &job.innerVarnish, &job.other}),
        Parts);
}

QString words(const StreetJob &job)
{
    const QString options = joined({lowered(job.material.chosen().caption),
                                    job.quality.chosen().caption, sizeWords(job.width, job.height)},
                                   Items);
    QStringList extras = extrasWords({&job.film, &job.base, &job.postPress, &job.stand});
    for (const StandPocket &pocket : job.pockets) {
        const int count = wholeNumber(pocket.count);
        extras << extraWords(job.pocketSizes, pocket.box) + QStringLiteral(": ")
                + QString::number(count > 0 ? count : 0) + QStringLiteral(" шт.");
    }
    return sentence(customerHead(PricingPage::Street), options, extras);
}

QString words(const InteriorJob &job)
{
    const QString options
        = joined({formatWords(job.format, job.customSize, job.width, job.height),
                  lowered(job.colour.chosen().caption), paperWords(job.paper, job.density)},
                 Items);
    return sentence(
        customerHead(PricingPage::Interior), options,
        extrasWords({&job.base, &job.folding, &job.binding, &job.lamination, &job.other}));
}

QString words(const SouvenirJob &job)
{
    const QString options = joined({lowered(job.material.chosen().caption),
                                    formatWords(job.size, job.customSize, job.width, job.height),
                                    job.colours.chosen().caption},
                                   Items);
    return sentence(customerHead(PricingPage::Souvenir), options,
                    extrasWords({&job.materialColour}));
}

QString wordsOf(const QJsonObject &object)
{
    PricingPage page;
    if (!pageOf(object, &page))
        return QString();
    const QString family = object.value(QStringLiteral("family")).toString();
    switch (page) {
    case PricingPage::SheetProducts: {
        SheetProductsJob job;
        return fromJson(object, &job) ? words(job, family) : QString();
    }
    case PricingPage::Brochures: {
        BrochureJob job;
        return fromJson(object, &job) ? words(job, family) : QString();
    }
    case PricingPage::Street: {
        StreetJob job;
        return fromJson(object, &job) ? words(job) : QString();
    }
    case PricingPage::Interior: {
        InteriorJob job;
        return fromJson(object, &job) ? words(job) : QString();
    }
    case PricingPage::Souvenir: {
        SouvenirJob job;
        return fromJson(object, &job) ? words(job) : QString();
    }
    }
    return QString();
}

} // namespace

QString customerWording(const OrderLine &line)
{
    if (line.job.isEmpty())
        return line.description;
    // The job composes the table's text again: a description typed over is the operator's word.
    static const PriceTable noPrices;
    const QVector<Quote> quotes = priceStoredJob(line.job, noPrices);
    if (quotes.isEmpty() || quotes.first().line.description != line.description)
        return line.description;
    const QString words = wordsOf(line.job);
    return words.isEmpty() ? line.description : words;
}
