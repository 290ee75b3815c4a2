// Each part of a line is matched whole, so that a part that merely mentions a number is left as
// it was.
#include "documents/requisite_lines.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

enum class Piece { Inn, Kpp, Ogrn, Phone, Bik, Settlement, Corr, Other };

struct Taken
{
    Piece part = Piece::Other;
    QString value;
};

Taken partOf(const QString &text)
{
    static const struct
    {
        Piece part;
        QRegularExpression form;
    } forms[] = {
        {Piece::Inn,
         QRegularExpression(QStringLiteral("^ИНН\\s*[:№]?\\s*(\\d{10}|\\d{12})$"),
                            QRegularExpression::CaseInsensitiveOption)},
        {Piece::Kpp,
         QRegularExpression(QStringLiteral("^КПП\\s*[:№]?\\s*(\\d{4}[\\dA-Z]{2}\\d{3})$"),
                            QRegularExpression::CaseInsensitiveOption)},
        {Piece::Ogrn,
         QRegularExpression(QStringLiteral("^ОГРН(?:ИП)?\\s*[:№]?\\s*(\\d{13}|\\d{15})$"),
                            QRegularExpression::CaseInsensitiveOption)},
        {Piece::Phone,
         QRegularExpression(QStringLiteral("^(?:тел\\.?|телефон)\\s*:?\\s*(\\+?[\\d\\s()-]{5,})$"),
                            QRegularExpression::CaseInsensitiveOption)},
        {Piece::Bik,
         QRegularExpression(QStringLiteral("^БИК\\s*[:№]?\\s*(\\d{9})$"),
                            QRegularExpression::CaseInsensitiveOption)},
        {Piece::Settlement,
         QRegularExpression(
             QStringLiteral("^(?:р/с|р/сч\\.?|расч[её]тный\\s+сч[её]т)\\s*[:№]?\\s*(\\d{20})$"),
             QRegularExpression::CaseInsensitiveOption)},
        {Piece::Corr,
         QRegularExpression(QStringLiteral("^(?:к/с|к/"
                                           "сч\\.?|корр?\\.?\\s*сч[её]т|корреспондентский\\s+сч[её]"
                                           "т)\\s*[:№]?\\s*(\\d{20})$"),
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
            case Piece::Inn:
                field = &split.fields.inn;
                break;
            case Piece::Kpp:
                field = &split.fields.kpp;
                break;
            case Piece::Ogrn:
                field = &split.fields.ogrn;
                break;
            case Piece::Phone:
                field = &split.phone;
                break;
            case Piece::Bik:
                field = &split.fields.bik;
                break;
            case Piece::Settlement:
                field = &split.fields.settlementAccount;
                break;
            case Piece::Corr:
                field = &split.fields.corrAccount;
                break;
            case Piece::Other:
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
