// JSON text written straight into bytes, exactly as Qt's compact QJsonDocument writes the same
// values, for answers sent many times a second where building a QJsonObject is the cost.
#pragma once

#include <QByteArray>
#include <QString>

// The string quoted: `"` and `\` escaped, control characters as \b \f \n \r \t or \u00xx,
// everything else as UTF-8 (a lone surrogate as \uxxxx).
void appendJsonString(QByteArray *out, const QString &text);
// A whole number below 2^64 as its digits ("1000000"), any other finite number in the shortest
// form that reads back the same ("0.1", "1e+20"), infinity and NaN as null.
void appendJsonNumber(QByteArray *out, double value);
