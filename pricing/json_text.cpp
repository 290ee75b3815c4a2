// The escaping and the numbers of Qt's JSON writer, reproduced: the answers stay the same bytes.
#include "pricing/json_text.h"

#include <QLocale>

#include <cmath>

namespace {

// The letter after the backslash for the characters JSON escapes by a letter, else 0.
char shortEscape(ushort u)
{
    switch (u) {
    case '"':
        return '"';
    case '\\':
        return '\\';
    case '\b':
        return 'b';
    case '\f':
        return 'f';
    case '\n':
        return 'n';
    case '\r':
        return 'r';
    case '\t':
        return 't';
    default:
        return 0;
    }
}

} // namespace

void appendJsonString(QByteArray *out, const QString &text)
{
    static const char hex[] = "0123456789abcdef";
    // Room for every character as three bytes of UTF-8 and three more for each \uxxxx, counted
    // first; then written through a pointer and cut to what was written. Growing the bytes as
    // they come is the cost otherwise.
    const ushort *const begin = text.utf16();
    int hexEscapes = 0;
    for (const ushort *c = begin; c != begin + text.size(); ++c)
        hexEscapes += (*c < 0x20 && !shortEscape(*c)) || QChar::isSurrogate(*c);
    const int start = out->size();
    out->resize(start + text.size() * 3 + hexEscapes * 3 + 2);
    char *to = out->data() + start;
    *to++ = '"';
    const ushort *c = begin;
    const ushort *const end = c + text.size();
    const auto escaped = [&to](ushort u) {
        *to++ = '\\';
        *to++ = 'u';
        *to++ = hex[u >> 12];
        *to++ = hex[(u >> 8) & 0xf];
        *to++ = hex[(u >> 4) & 0xf];
        *to++ = hex[u & 0xf];
    };
    while (c != end) {
        const ushort u = *c++;
        if (u < 0x80) {
            if (u >= 0x20 && u != '"' && u != '\\') {
                *to++ = char(u);
                continue;
            }
            if (const char letter = shortEscape(u)) {
                *to++ = '\\';
                *to++ = letter;
            } else {
                escaped(u);
            }
        } else if (u < 0x800) {
            *to++ = char(0xc0 | (u >> 6));
            *to++ = char(0x80 | (u & 0x3f));
        } else if (QChar::isHighSurrogate(u) && c != end && QChar::isLowSurrogate(*c)) {
            const uint code = QChar::surrogateToUcs4(u, *c++);
            *to++ = char(0xf0 | (code >> 18));
            *to++ = char(0x80 | ((code >> 12) & 0x3f));
            *to++ = char(0x80 | ((code >> 6) & 0x3f));
            *to++ = char(0x80 | (code & 0x3f));
        } else if (QChar::isSurrogate(u)) {
            escaped(u);
        } else {
            *to++ = char(0xe0 | (u >> 12));
            *to++ = char(0x80 | ((u >> 6) & 0x3f));
            *to++ = char(0x80 | (u & 0x3f));
        }
    }
    *to++ = '"';
    out->resize(int(to - out->constData()));
}

void appendJsonNumber(QByteArray *out, double value)
{
    if (!std::isfinite(value)) {
        out->append("null", 4);
        return;
    }
    // Qt keeps a whole double up to 2^53 as an integer (1000000, where the shortest form of the
    // double is 1e+06), and writes a larger whole one that fits 64 bits without an exponent.
    const double magnitude = std::fabs(value);
    const bool whole = value == std::floor(value);
    if (whole && magnitude <= 9007199254740992.0)
        out->append(QByteArray::number(qint64(value)));
    else
        out->append(QByteArray::number(value,
                                       whole && magnitude < 18446744073709551616.0 ? 'f' : 'g',
                                       QLocale::FloatingPointShortest));
}
