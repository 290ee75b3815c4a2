// The pricing pages without their widgets: each page's option groups, options and number fields
// with the form's captions and object names, and the translation of a job as a client names it
// ({"page", "options": [...], "fields": {...}}) into the page's job, priced like a press of
// "Ответ".
#pragma once

#include "order/invoice_foot.h"
#include "pricing/job_request.h"
#include "pricing/jobs.h"
#include "pricing/quote.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QVector>

#include <memory>

struct PriceVersion;
class PriceTable;

struct CatalogueOption
{
    QString id; // the button's object name
    QString caption;
    bool checked = false; // as the form opens
};

struct CatalogueGroup
{
    QString id; // the group box's object name
    QString title;
    bool multiple = false; // check boxes; otherwise one radio button at most
    QVector<CatalogueOption> options;
};

struct CatalogueField
{
    QString id; // the line edit's object name
    QString title;
    int min = 0;
    int max = 0;
    QString initial; // the text the form opens with
    QString option; // the check box the field counts for (a stand's pockets), else empty
};

struct CataloguePage
{
    PricingPage page = PricingPage::SheetProducts;
    QString title;
    QString customSize; // the option that makes the size the typed one, empty when none does
    QVector<CatalogueGroup> groups; // every group the job names, buttons or not
    QVector<CatalogueField> fields;

    const CatalogueGroup *groupOf(const QString &optionId) const;
    const CatalogueField *field(const QString &id) const;
};

// The five pricing pages in the form's order.
const QVector<CataloguePage> &catalogue();
const CataloguePage *cataloguePage(PricingPage page);

// {"version", "pages": [{"id", "title", "groups": [...], "fields": [...]}]}: groups without
// buttons are left out.
QJsonObject catalogueJson(const PriceVersion &version);

// The job a client's object names; false with a Russian message naming the field that is wrong.
bool jobFromRequest(const QJsonValue &request, const PriceVersion &version, PricedJob *job,
                    QString *error);

// The pages made ready for many requests with one version: each option's place and value found
// by hash. Made once per version; copies share it.
class CatalogueIndex
{
public:
    explicit CatalogueIndex(const PriceVersion &version);
    // jobFromRequest's answer with the index's version.
    bool jobFrom(const QJsonValue &request, PricedJob *job, QString *error) const;
    bool jobFrom(const JobRequest &request, PricedJob *job, QString *error) const;

private:
    struct Pages;
    std::shared_ptr<const Pages> d;
};

// The lines a press of the page's "Ответ" appends for the job, the tier line included.
QVector<Quote> priceJob(const PricedJob &job, const PriceTable &prices);

// {"lines": [{"description", "quantity", "unitPrice", "sum", "missingPrice", "explanation"}],
// "tax": {"mode", "rate", "amount", "total"}, "total", "version"}: money as decimal strings to the
// kopeck ("782.55"), each sum as the invoice shows it, the tax and the total to pay as the
// invoice's foot computes them under the terms (by default the documents' old 18 % on top).
QJsonObject quoteJson(const QVector<Quote> &quotes, int version,
                      const FootTerms &terms = FootTerms());
// quoteJson's compact JSON text, byte for byte, written without building the object.
QByteArray quoteAnswer(const QVector<Quote> &quotes, int version,
                       const FootTerms &terms = FootTerms());
// One line as the answer gives it.
QJsonObject lineJson(const OrderLine &line);

// Why a line cannot be quoted or taken: its price or its sum past MaxKopecks, the line called by
// name ("Строка 2"); empty when both are within.
QString lineAmountProblem(const OrderLine &line, const QString &name);
// The same for the lines' total and for the total to pay under the terms; when both are within,
// linesKopecks gets the lines' sums added up in kopecks.
QString totalAmountProblem(const QVector<OrderLine> &lines, const FootTerms &terms,
                           qint64 *linesKopecks = nullptr);
