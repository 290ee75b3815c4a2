#include "order/visible_text.h"

QString visibleText(const QString &text, const QString &keep)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const ushort code = c.unicode();
        if (code < 0x20 && !keep.contains(c))
            shown.append(QChar(ushort(0x2400 + code)));
        else if (code == 0x7f)
            shown.append(QChar(ushort(0x2421)));
        else if ((code >= 0x80 && code < 0xa0) || code == 0x2028 || code == 0x2029)
            shown.append(QChar(ushort(0xfffd)));
        else
            shown.append(c);
    }
    return shown;
}
