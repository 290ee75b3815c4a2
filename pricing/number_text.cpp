// Number reading and writing shared by every calculator.
#include "pricing/number_text.h"

QString numberText(double value)
{
    return QString::number(value, 'g', 6);
}

int wholeNumber(const QString &text)
{
    bool ok = false;
    const int number = text.toInt(&ok, 10);
    return ok ? number : 0;
}

double fieldNumber(const QString &text)
{
    bool ok = false;
    const double number = text.toDouble(&ok);
    return ok ? number : 0.0;
}
