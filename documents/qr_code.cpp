// QR codes through libqrencode.
#include "documents/qr_code.h"

#include <QPainter>

#include <qrencode.h>

QrCode::QrCode(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    // Case-sensitive 8-bit mode: the text is taken byte for byte.
    QRcode *code = QRcode_encodeString(bytes.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
    if (!code)
        return;
    width = code->width;
    modules.resize(width * width);
    for (int i = 0; i < width * width; ++i)
        modules[i] = code->data[i] & 1;
    QRcode_free(code);
}

void QrCode::paint(QPainter &painter, const QRectF &square) const
{
    if (isNull())
        return;
    const int span = width + 2 * QuietZone;
    const qreal module = square.width() / span;
    painter.save();
    painter.fillRect(square, Qt::white);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    const QPointF origin = square.topLeft() + QPointF(QuietZone * module, QuietZone * module);
    for (int y = 0; y < width; ++y) {
        // Runs of dark modules as one rectangle: fewer shapes, no hairline seams between them.
        for (int x = 0; x < width;) {
            if (!isDark(x, y)) {
                ++x;
                continue;
            }
            int end = x;
            while (end < width && isDark(end, y))
                ++end;
            painter.drawRect(QRectF(origin.x() + x * module, origin.y() + y * module,
                                    (end - x) * module, module));
            x = end;
        }
    }
    painter.restore();
}

QImage QrCode::image(int pixelsPerModule) const
{
    if (isNull())
        return QImage();
    const int side = (width + 2 * QuietZone) * pixelsPerModule;
    QImage picture(side, side, QImage::Format_RGB32);
    QPainter painter(&picture);
    paint(painter, QRectF(0, 0, side, side));
    return picture;
}
