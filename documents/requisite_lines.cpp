// Each part of a line is matched whole, so that a part that merely mentions a number is left as
// it was.
#include "documents/requisite_lines.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

enum class Part { Inn, Kpp, Ogrn, Phone, Bik, Settlement, Corr, Other };

struct Taken
{
    Part part = Part::Other;
    QString value;
};

Taken partOf(const QString &text)
{
    static const struct
    {
        Part part;
        QRegularExpression form;
    } forms[] = {
        {Part::Inn, QRegularExpression(QStringLiteral("^ИНН\\s*[:№]?\\s*(\\d{10}|\\d{12})$"),
                                       QRegularExpression::CaseInsensitiveOption)},
        {Part::Kpp, QRegularExpression(QStringLiteral("^КПП\\s*[:№]?\\s*(\\d{4}[\\dA-Z]{2}\\d{3})$"),
                                       QRegularExpression::CaseInsensitiveOption)},
        {Part::Ogrn,
         QRegularExpression(QStringLiteral("^ОГРН(?:ИП)?\\s*[:№]?\\s*(\\d{13}|\\d{15})$"),
                            QRegularExpression::CaseInsensitiveOption)},
        {Part::Phone, QRegularExpression(QStringLiteral("^(?:тел\\.?|телефон)\\s*:?\\s*(\\+?[\\d\\s()-]{5,})$"),
                                         QRegularExpression::CaseInsensitiveOption)},
        {Part::Bik, QRegularExpression(QStringLiteral("^БИК\\s*[:№]?\\s*(\\d{9})$"),
                                       QRegularExpression::CaseInsensitiveOption)},
        {Part::Settlement,
         QRegularExpression(
             QStringLiteral("^(?:р/с|р/сч\\.?|расч[её]тный\\s+сч[её]т)\\s*[:№]?\\s*(\\d{20})$"),
             QRegularExpression::CaseInsensitiveOption)},
        {Part::Corr,
         QRegularExpression(
             QStringLiteral(
                 "^(?:к/с|к/сч\\.?|корр?\\.?\\s*сч[её]т|корреспондентский\\s+сч[её]т)\\s*[:№]?\\s*(\\d{20})$"),
             QRegularExpression::CaseInsensitiveOption)},
    };
    for (const auto &entry : forms) {
        const QRegularExpressionMatch match = entry.form.match(text);
        if (match.hasMatch())
            return {entry.part, match.captured(1).trimmed()};
    }
    return {};
}

bool sampleFiller(const QString &number)
{
    static const QRegularExpression zeros(QStringLiteral("^[0\\s()+-]+$"));
    return zeros.match(number).hasMatch();
}

} // namespace

RequisiteLinesSplit splitRequisiteLines(const QString &taxNumbers, const QString &bank,
                                        const QString &account, const ShopRequisites &have,
                                        const QString &havePhone)
{
    RequisiteLinesSplit split;
    split.fields = have;
    split.phone = havePhone;
    static const QRegularExpression separator(QStringLiteral("[,;]"));
    static const QRegularExpression bankCaption(
        QStringLiteral("^(?:банк\\s+получателя|банк)\\s*:\\s*"),
        QRegularExpression::CaseInsensitiveOption);
    const auto take = [&split](const QString &line, bool bankLine) {
        QStringList left;
        QStringList bankName;
        for (const QString &raw : line.split(separator)) {
            const QString text = raw.trimmed();
            if (text.isEmpty())
                continue;
            const Taken taken = partOf(text);
            QString *field = nullptr;
            switch (taken.part) {
            case Part::Inn:
                field = &split.fields.inn;
                break;
            case Part::Kpp:
                field = &split.fields.kpp;
                break;
            case Part::Ogrn:
                field = &split.fields.ogrn;
                break;
            case Part::Phone:
                field = &split.phone;
                break;
            case Part::Bik:
                field = &split.fields.bik;
                break;
            case Part::Settlement:
                field = &split.fields.settlementAccount;
                break;
            case Part::Corr:
                field = &split.fields.corrAccount;
                break;
            case Part::Other:
                break;
            }
            if (field && sampleFiller(taken.value))
                continue;
            if (field && (field->isEmpty() || *field == taken.value)) {
                *field = taken.value;
                continue;
            }
            // The bank's name is what the bank line says besides its numbers; its own commas kept.
            if (!field && bankLine) {
                bankName.append(QString(text).remove(bankCaption).trimmed());
                continue;
            }
            left.append(text);
        }
        const QString named = bankName.join(QStringLiteral(", "));
        if (!named.isEmpty()) {
            if (split.fields.bankName.isEmpty())
                split.fields.bankName = named;
            else if (split.fields.bankName != named)
                left = bankName + left;
        }
        return left.join(QStringLiteral(", "));
    };
    split.taxNumbers = take(taxNumbers, false);
    split.bank = take(bank, true);
    split.account = take(account, false);
    return split;
}
