// QR codes for the documents (the payment code of an invoice, the order's number on a job ticket),
// encoded by libqrencode as UTF-8 with error correction level M, drawn with their quiet zone.
#pragma once

#include <QImage>
#include <QRectF>
#include <QString>
#include <QVector>

class QPainter;

class QrCode
{
public:
    // Four light modules around the code, as readers expect.
    static constexpr int QuietZone = 4;

    QrCode() = default;
    // Null when the text cannot be encoded (too long for any version).
    explicit QrCode(const QString &text);

    bool isNull() const { return width == 0; }
    // Modules along one side, without the quiet zone.
    int size() const { return width; }
    bool isDark(int x, int y) const { return modules.at(y * width + x); }

    // Drawn into the square, quiet zone included, modules aligned to whole device pixels where the
    // square allows.
    void paint(QPainter &painter, const QRectF &square) const;
    QImage image(int pixelsPerModule) const;

private:
    int width = 0;
    QVector<bool> modules;
};
