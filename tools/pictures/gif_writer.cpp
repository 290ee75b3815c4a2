// GIF writer: palette, dithering and LZW encoding of one frame.
#include "gif_writer.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QPair>
#include <QVector>

#include <algorithm>
#include <climits>
#include <cmath>

namespace pictures {

namespace {

// Qt reads GIF but cannot write it, so the one GIF picture is encoded here. The palette holds
// the 256 most used colour buckets, each represented by its most frequent exact colour, so the
// flat areas of an illustration keep their colour exactly; gradients are error-diffused.
QVector<QRgb> gifPalette(const QImage &rgb)
{
    struct Bucket
    {
        int pixels = 0;
        QHash<QRgb, int> exact;
    };
    QHash<QRgb, Bucket> buckets;
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            Bucket &b = buckets[line[x] & 0xfff8f8f8u];
            ++b.pixels;
            ++b.exact[line[x] | 0xff000000u];
        }
    }
    QVector<QPair<int, QRgb>> byUse;
    for (auto it = buckets.cbegin(); it != buckets.cend(); ++it) {
        QRgb best = 0;
        int bestCount = -1;
        for (auto e = it->exact.cbegin(); e != it->exact.cend(); ++e)
            if (e.value() > bestCount || (e.value() == bestCount && e.key() < best)) {
                best = e.key();
                bestCount = e.value();
            }
        byUse.push_back({it->pixels, best});
    }
    std::sort(byUse.begin(), byUse.end(), [](const auto &a, const auto &b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    QVector<QRgb> palette;
    for (int i = 0; i < byUse.size() && i < 256; ++i)
        palette << byUse[i].second;
    while (palette.size() < 256)
        palette << qRgb(0, 0, 0);
    return palette;
}

// Floyd-Steinberg onto the palette.
QImage quantise(const QImage &rgb, const QVector<QRgb> &palette)
{
    QImage out(rgb.size(), QImage::Format_Indexed8);
    out.setColorTable(palette);
    QHash<QRgb, int> nearest;
    auto closest = [&](int r, int g, int b) {
        const QRgb key = qRgb(r, g, b);
        const auto found = nearest.constFind(key);
        if (found != nearest.cend())
            return found.value();
        int best = 0;
        int bestDistance = INT_MAX;
        for (int i = 0; i < palette.size(); ++i) {
            const int dr = qRed(palette[i]) - r;
            const int dg = qGreen(palette[i]) - g;
            const int db = qBlue(palette[i]) - b;
            const int distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
            if (distance < bestDistance) {
                best = i;
                bestDistance = distance;
            }
        }
        nearest.insert(key, best);
        return best;
    };
    const int w = rgb.width();
    QVector<float> here((w + 2) * 3, 0.f);
    QVector<float> below((w + 2) * 3, 0.f);
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        uchar *target = out.scanLine(y);
        std::fill(below.begin(), below.end(), 0.f);
        for (int x = 0; x < w; ++x) {
            const int want[3] = {qRed(line[x]), qGreen(line[x]), qBlue(line[x])};
            int c[3];
            for (int k = 0; k < 3; ++k)
                c[k] = std::clamp(int(std::lround(want[k] + here[(x + 1) * 3 + k])), 0, 255);
            const int index = closest(c[0], c[1], c[2]);
            target[x] = uchar(index);
            const QRgb chosen = palette[index];
            const int got[3] = {qRed(chosen), qGreen(chosen), qBlue(chosen)};
            for (int k = 0; k < 3; ++k) {
                const float e = float(c[k] - got[k]);
                here[(x + 2) * 3 + k] += e * 7 / 16;
                below[x * 3 + k] += e * 3 / 16;
                below[(x + 1) * 3 + k] += e * 5 / 16;
                below[(x + 2) * 3 + k] += e * 1 / 16;
            }
        }
        std::swap(here, below);
    }
    return out;
}

QByteArray encodeGif(const QImage &source, QImage *quantised)
{
    const QImage rgb = source.convertToFormat(QImage::Format_RGB32);
    const QImage indexed = quantise(rgb, gifPalette(rgb));
    *quantised = indexed;

    QByteArray out("GIF89a");
    auto word = [&out](int v) {
        out.append(char(v & 0xff));
        out.append(char((v >> 8) & 0xff));
    };
    word(indexed.width());
    word(indexed.height());
    out.append(char(0xf7)); // global colour table of 256 entries, 8 bits per primary
    out.append(char(0));
    out.append(char(0));
    for (QRgb c : indexed.colorTable()) {
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    for (int i = indexed.colorCount(); i < 256; ++i)
        out.append(QByteArray(3, '\0'));
    out.append(char(0x2c));
    word(0);
    word(0);
    word(indexed.width());
    word(indexed.height());
    out.append(char(0));
    const int minCodeSize = 8;
    out.append(char(minCodeSize));

    QByteArray packed;
    quint32 bits = 0;
    int bitCount = 0;
    auto put = [&](int code, int size) {
        bits |= quint32(code) << bitCount;
        bitCount += size;
        while (bitCount >= 8) {
            packed.append(char(bits & 0xff));
            bits >>= 8;
            bitCount -= 8;
        }
    };
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    QHash<quint32, int> table;
    int nextCode = endCode + 1;
    int codeSize = minCodeSize + 1;
    put(clearCode, codeSize);
    int prefix = -1;
    for (int y = 0; y < indexed.height(); ++y) {
        const uchar *line = indexed.constScanLine(y);
        for (int x = 0; x < indexed.width(); ++x) {
            const int k = line[x];
            if (prefix < 0) {
                prefix = k;
                continue;
            }
            const quint32 key = (quint32(prefix) << 8) | quint32(k);
            const auto found = table.constFind(key);
            if (found != table.cend()) {
                prefix = found.value();
                continue;
            }
            put(prefix, codeSize);
            const int code = nextCode++;
            table.insert(key, code);
            if (code >= (1 << codeSize) && codeSize < 12)
                ++codeSize;
            if (code == 4095) {
                put(clearCode, codeSize);
                table.clear();
                nextCode = endCode + 1;
                codeSize = minCodeSize + 1;
            }
            prefix = k;
        }
    }
    put(prefix, codeSize);
    put(endCode, codeSize);
    if (bitCount > 0)
        packed.append(char(bits & 0xff));
    for (int i = 0; i < packed.size(); i += 255) {
        const int n = std::min(255, int(packed.size()) - i);
        out.append(char(n));
        out.append(packed.mid(i, n));
    }
    out.append(char(0));
    out.append(char(0x3b));
    return out;
}

} // namespace

bool writeGif(const QImage &image, const QString &file)
{
    QImage quantised;
    const QByteArray gif = encodeGif(image, &quantised);
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly) || f.write(gif) != gif.size())
        return false;
    f.close();
    // read it back: a broken encoder must not slip into the program unnoticed
    const QImage back(file);
    return back.convertToFormat(QImage::Format_RGB32)
        == quantised.convertToFormat(QImage::Format_RGB32);
}

} // namespace pictures
