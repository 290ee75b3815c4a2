// The number fields' validator.
#include "calculators/whole_number_validator.h"

WholeNumberValidator::WholeNumberValidator(int bottom, int top, QObject *parent)
    : QIntValidator(bottom, top, parent)
{ }

QValidator::State WholeNumberValidator::validate(QString &input, int &pos) const
{
    for (const QChar c : input)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return Invalid;
    bool ok = false;
    const qlonglong value = input.toLongLong(&ok);
    if (!input.isEmpty() && (!ok || value > top()))
        return Invalid;
    return QIntValidator::validate(input, pos);
}
