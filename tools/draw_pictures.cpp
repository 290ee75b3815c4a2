// Draws every picture compiled into the program: the souvenir gallery samples (320 x 240 JPEG,
// one GIF) and the four creasing/folding icons (150 x 150 PNG, shown at 75 x 75).
//
// Redraw after changing a picture:
//     cmake --build build --target draw_pictures && build/tools/draw_pictures
// The optional argument is the output folder (default: resources/images of this source tree).
// Output is deterministic, so unchanged pictures come out byte for byte the same.
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QVector>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

constexpr double W = 320;
constexpr double H = 240;

// ---------------------------------------------------------------- painting helpers

using Scene = std::function<void(QPainter &)>;

// Paints at twice the size and scales down smoothly: cheap supersampling for crisp small
// details such as stitching and puzzle cuts.
QImage paintPicture(int width, int height, const Scene &scene, bool opaque = true)
{
    const int factor = 2;
    QImage big(width * factor, height * factor, QImage::Format_ARGB32_Premultiplied);
    big.fill(opaque ? Qt::white : Qt::transparent);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.scale(factor, factor);
        scene(p);
    }
    QImage small = big.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return small.convertToFormat(opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32);
}

// Mixes towards white (k > 0) or black (k < 0); unlike QColor::lighter it also lifts black.
QColor shade(const QColor &c, double k)
{
    const QColor target = k > 0 ? QColor(255, 255, 255) : QColor(0, 0, 0);
    const double t = std::fabs(k);
    return QColor::fromRgbF(c.redF() + (target.redF() - c.redF()) * t,
                            c.greenF() + (target.greenF() - c.greenF()) * t,
                            c.blueF() + (target.blueF() - c.blueF()) * t, c.alphaF());
}

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

QFont font(double pixelSize, bool bold = true)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(qRound(pixelSize));
    f.setBold(bold);
    return f;
}

void text(QPainter &p, const QRectF &r, const QString &s, const QColor &c, double size,
          bool bold = true)
{
    p.save();
    p.setFont(font(size, bold));
    p.setPen(c);
    p.drawText(r, Qt::AlignCenter, s);
    p.restore();
}

// A product photographed standing: a light wall that runs softly into the table.
void studio(QPainter &p, const QColor &wall, const QColor &table)
{
    QLinearGradient g(0, 0, 0, H);
    g.setColorAt(0, shade(wall, 0.35));
    g.setColorAt(0.55, wall);
    g.setColorAt(0.78, table);
    g.setColorAt(1, shade(table, -0.05));
    p.fillRect(QRectF(0, 0, W, H), g);
}

// A product photographed from above, lying on a plain surface.
void tabletop(QPainter &p, const QColor &c)
{
    QRadialGradient g(QPointF(W * 0.45, H * 0.35), W * 0.8);
    g.setColorAt(0, shade(c, 0.45));
    g.setColorAt(1, shade(c, -0.06));
    p.fillRect(QRectF(0, 0, W, H), g);
}

void contactShadow(QPainter &p, QPointF centre, double rx, double ry, int alpha = 90)
{
    p.save();
    p.translate(centre);
    p.scale(rx, ry);
    QRadialGradient g(QPointF(0, 0), 1);
    g.setColorAt(0, QColor(0, 0, 0, alpha));
    g.setColorAt(0.55, QColor(0, 0, 0, alpha / 2));
    g.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(QPointF(0, 0), 1, 1);
    p.restore();
}

// A blurred drop shadow of a shape: strokes of falling width pile up towards the outline.
void softShadow(QPainter &p, const QPainterPath &shape, QPointF offset, int alpha = 70)
{
    p.save();
    p.translate(offset);
    p.setBrush(Qt::NoBrush);
    for (int i = 5; i >= 1; --i) {
        p.setPen(
            QPen(QColor(0, 0, 0, alpha / 6), i * 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(shape);
    }
    p.fillPath(shape, QColor(0, 0, 0, alpha));
    p.restore();
}

QPainterPath star(QPointF c, double outer, double inner, int points = 5)
{
    QPainterPath path;
    for (int i = 0; i < points * 2; ++i) {
        const double a = -M_PI / 2 + i * M_PI / points;
        const double r = i % 2 ? inner : outer;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    return path;
}

QPainterPath heart(QPointF c, double size)
{
    // size is the width; the point of the heart sits at c.y() + 0.45 * size
    const double s = size / 2;
    QPainterPath path;
    path.moveTo(c.x(), c.y() + 0.9 * s);
    path.cubicTo(c.x() - 0.2 * s, c.y() + 0.65 * s, c.x() - 1.0 * s, c.y() + 0.25 * s,
                 c.x() - 1.0 * s, c.y() - 0.3 * s);
    path.cubicTo(c.x() - 1.0 * s, c.y() - 0.85 * s, c.x() - 0.25 * s, c.y() - 1.05 * s, c.x(),
                 c.y() - 0.5 * s);
    path.cubicTo(c.x() + 0.25 * s, c.y() - 1.05 * s, c.x() + 1.0 * s, c.y() - 0.85 * s,
                 c.x() + 1.0 * s, c.y() - 0.3 * s);
    path.cubicTo(c.x() + 1.0 * s, c.y() + 0.25 * s, c.x() + 0.2 * s, c.y() + 0.65 * s, c.x(),
                 c.y() + 0.9 * s);
    path.closeSubpath();
    return path;
}

// Small deterministic generator, so that redrawn pictures do not change.
struct Dice
{
    quint32 state;
    double next()
    {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / double(1 << 24);
    }
};

// ---------------------------------------------------------------- printed scenery

using Print = std::function<void(QPainter &, const QRectF &)>;

QPointF at(const QRectF &r, double fx, double fy)
{
    return QPointF(r.left() + fx * r.width(), r.top() + fy * r.height());
}

void cloud(QPainter &p, QPointF c, double s)
{
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawEllipse(c, 1.0 * s, 0.45 * s);
    p.drawEllipse(c + QPointF(-0.45 * s, 0.05 * s), 0.55 * s, 0.35 * s);
    p.drawEllipse(c + QPointF(0.1 * s, -0.25 * s), 0.5 * s, 0.4 * s);
}

void meadow(QPainter &p, const QRectF &r)
{
    p.save();
    p.setClipRect(r, Qt::IntersectClip);
    p.setPen(Qt::NoPen);
    const double s = std::min(r.width(), r.height());
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, QColor("#5fb8f0"));
    sky.setColorAt(0.6, QColor("#d8f0ff"));
    p.fillRect(r, sky);
    p.setBrush(QColor("#ffe066"));
    p.drawEllipse(at(r, 0.8, 0.2), 0.11 * s, 0.11 * s);
    cloud(p, at(r, 0.3, 0.2), 0.13 * s);
    cloud(p, at(r, 0.58, 0.32), 0.08 * s);
    QPainterPath far;
    far.moveTo(at(r, 0, 0.6));
    far.cubicTo(at(r, 0.2, 0.42), at(r, 0.45, 0.48), at(r, 0.65, 0.56));
    far.cubicTo(at(r, 0.8, 0.6), at(r, 0.92, 0.46), at(r, 1, 0.5));
    far.lineTo(at(r, 1, 1));
    far.lineTo(at(r, 0, 1));
    p.fillPath(far, QColor("#8fd16f"));
    QPainterPath near;
    near.moveTo(at(r, 0, 0.8));
    near.cubicTo(at(r, 0.3, 0.6), at(r, 0.6, 0.78), at(r, 1, 0.66));
    near.lineTo(at(r, 1, 1));
    near.lineTo(at(r, 0, 1));
    p.fillPath(near, QColor("#4caf50"));
    QPainterPath road;
    road.moveTo(at(r, 0.55, 0.72));
    road.cubicTo(at(r, 0.5, 0.8), at(r, 0.7, 0.88), at(r, 0.62, 1.0));
    road.lineTo(at(r, 0.78, 1.0));
    road.cubicTo(at(r, 0.82, 0.88), at(r, 0.58, 0.8), at(r, 0.58, 0.72));
    p.fillPath(road, QColor("#f1d9a0"));
    // tree
    p.setBrush(QColor("#7a5232"));
    p.drawRect(QRectF(at(r, 0.2, 0.5), QSizeF(0.035 * s, 0.22 * s)));
    p.setBrush(QColor("#2e7d32"));
    p.drawEllipse(at(r, 0.21, 0.47), 0.12 * s, 0.13 * s);
    p.setBrush(QColor("#43a047"));
    p.drawEllipse(at(r, 0.19, 0.44), 0.07 * s, 0.07 * s);
    Dice dice {7};
    const QColor petals[]
        = {QColor("#e53935"), QColor("#fdd835"), QColor("#ffffff"), QColor("#ab47bc")};
    for (int i = 0; i < 26; ++i) {
        const QPointF f = at(r, dice.next(), 0.8 + 0.2 * dice.next());
        p.setBrush(petals[i % 4]);
        p.drawEllipse(f, 0.012 * s, 0.012 * s);
    }
    p.restore();
}

void sunsetSea(QPainter &p, const QRectF &r)
{
    p.save();
    p.setClipRect(r, Qt::IntersectClip);
    p.setPen(Qt::NoPen);
    const double s = std::min(r.width(), r.height());
    QLinearGradient sky(r.topLeft(), at(r, 0, 0.58));
    sky.setColorAt(0, QColor("#6a4c93"));
    sky.setColorAt(0.45, QColor("#f07f6a"));
    sky.setColorAt(1, QColor("#ffd27a"));
    p.fillRect(r, sky);
    p.setBrush(QColor("#fff3b0"));
    p.drawEllipse(at(r, 0.5, 0.58), 0.17 * s, 0.17 * s);
    QLinearGradient sea(at(r, 0, 0.58), r.bottomLeft());
    sea.setColorAt(0, QColor("#2f6690"));
    sea.setColorAt(1, QColor("#14304f"));
    p.fillRect(QRectF(at(r, 0, 0.58), r.bottomRight()), sea);
    p.setBrush(QColor(255, 222, 140, 200));
    for (int i = 0; i < 6; ++i) {
        const double w = 0.22 - i * 0.03;
        const QPointF left = at(r, 0.5 - w / 2, 0.62 + i * 0.06);
        p.drawRoundedRect(QRectF(left, QSizeF(w * r.width(), 0.012 * s)), 2, 2);
    }
    // sailboat
    const QColor silhouette("#2b1d35");
    QPainterPath hull;
    hull.moveTo(at(r, 0.14, 0.66));
    hull.lineTo(at(r, 0.34, 0.66));
    hull.lineTo(at(r, 0.31, 0.7));
    hull.lineTo(at(r, 0.17, 0.7));
    hull.closeSubpath();
    p.fillPath(hull, silhouette);
    QPainterPath sail;
    sail.moveTo(at(r, 0.245, 0.34));
    sail.lineTo(at(r, 0.245, 0.64));
    sail.lineTo(at(r, 0.15, 0.64));
    sail.closeSubpath();
    sail.moveTo(at(r, 0.26, 0.38));
    sail.lineTo(at(r, 0.33, 0.64));
    sail.lineTo(at(r, 0.26, 0.64));
    sail.closeSubpath();
    p.fillPath(sail, silhouette);
    p.setPen(QPen(silhouette, 0.01 * s, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        const QPointF b = at(r, 0.68 + i * 0.07, 0.2 + (i % 2) * 0.06);
        QPainterPath bird;
        bird.moveTo(b + QPointF(-0.03 * s, -0.015 * s));
        bird.quadTo(b + QPointF(-0.012 * s, -0.02 * s), b);
        bird.quadTo(b + QPointF(0.012 * s, -0.02 * s), b + QPointF(0.03 * s, -0.015 * s));
        p.setBrush(Qt::NoBrush);
        p.drawPath(bird);
    }
    p.restore();
}

void nightCity(QPainter &p, const QRectF &r)
{
    p.save();
    p.setClipRect(r, Qt::IntersectClip);
    p.setPen(Qt::NoPen);
    const double s = std::min(r.width(), r.height());
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, QColor("#0b1633"));
    sky.setColorAt(0.7, QColor("#43306e"));
    p.fillRect(r, sky);
    Dice dice {11};
    p.setBrush(QColor(255, 255, 240, 220));
    for (int i = 0; i < 40; ++i)
        p.drawEllipse(at(r, dice.next(), 0.55 * dice.next()), 0.006 * s, 0.006 * s);
    QPainterPath moon;
    moon.addEllipse(at(r, 0.8, 0.2), 0.1 * s, 0.1 * s);
    QPainterPath bite;
    bite.addEllipse(at(r, 0.8, 0.2) + QPointF(0.05 * s, -0.03 * s), 0.09 * s, 0.09 * s);
    p.fillPath(moon.subtracted(bite), QColor("#fff3c4"));
    // two rows of houses, the far one paler
    for (int row = 0; row < 2; ++row) {
        double x = -0.02;
        Dice d {quint32(23 + row)};
        while (x < 1.0) {
            const double bw = 0.07 + 0.07 * d.next();
            const double top = (row ? 0.55 : 0.38) + 0.2 * d.next();
            const QRectF b(at(r, x, top), at(r, x + bw, 1.0));
            p.setBrush(row ? QColor("#1a1c34") : QColor("#2c2f55"));
            p.drawRect(b);
            p.setBrush(QColor(255, 214, 102, row ? 255 : 170));
            const double win = 0.018 * s;
            for (double wy = b.top() + win; wy < b.bottom() - win; wy += win * 2.2)
                for (double wx = b.left() + win * 0.8; wx < b.right() - win; wx += win * 2)
                    if (d.next() < 0.45)
                        p.drawRect(QRectF(wx, wy, win, win * 1.1));
            x += bw + 0.01;
        }
    }
    p.restore();
}

void mountains(QPainter &p, const QRectF &r)
{
    p.save();
    p.setClipRect(r, Qt::IntersectClip);
    p.setPen(Qt::NoPen);
    const double s = std::min(r.width(), r.height());
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, QColor("#7cc4f5"));
    sky.setColorAt(0.6, QColor("#eaf7ff"));
    p.fillRect(r, sky);
    cloud(p, at(r, 0.78, 0.18), 0.1 * s);
    auto range = [&](const QVector<QPointF> &peaks, double base, const QColor &rock, bool snow) {
        QPainterPath m;
        m.moveTo(at(r, 0, base));
        for (const QPointF &pk : peaks)
            m.lineTo(at(r, pk.x(), pk.y()));
        m.lineTo(at(r, 1, base));
        m.lineTo(at(r, 1, 1));
        m.lineTo(at(r, 0, 1));
        m.closeSubpath();
        p.fillPath(m, rock);
        if (!snow)
            return;
        for (const QPointF &pk : peaks) {
            QPainterPath cap;
            const double dh = 0.09;
            cap.moveTo(at(r, pk.x(), pk.y()));
            cap.lineTo(at(r, pk.x() + dh * 0.75, pk.y() + dh));
            cap.lineTo(at(r, pk.x() + 0.015, pk.y() + dh * 0.75));
            cap.lineTo(at(r, pk.x() - 0.02, pk.y() + dh));
            cap.lineTo(at(r, pk.x() - dh * 0.75, pk.y() + dh));
            cap.closeSubpath();
            p.fillPath(cap, QColor("#ffffff"));
        }
    };
    range({{0.12, 0.3}, {0.3, 0.52}, {0.48, 0.22}, {0.7, 0.5}, {0.86, 0.32}}, 0.6,
          QColor("#7f9cc4"), true);
    range({{0.22, 0.5}, {0.4, 0.62}, {0.62, 0.44}, {0.85, 0.64}}, 0.7, QColor("#4f6f9a"), false);
    QLinearGradient lake(at(r, 0, 0.72), r.bottomLeft());
    lake.setColorAt(0, QColor("#5fb0e0"));
    lake.setColorAt(1, QColor("#3a86c0"));
    p.fillRect(QRectF(at(r, 0, 0.72), r.bottomRight()), lake);
    p.setBrush(QColor(255, 255, 255, 120));
    p.drawRect(QRectF(at(r, 0.3, 0.78), QSizeF(0.3 * r.width(), 0.01 * s)));
    p.drawRect(QRectF(at(r, 0.45, 0.84), QSizeF(0.25 * r.width(), 0.01 * s)));
    p.fillRect(QRectF(at(r, 0, 0.9), r.bottomRight()), QColor("#3e8e41"));
    for (double fx : {0.06, 0.13, 0.88, 0.95}) {
        QPainterPath pine;
        pine.moveTo(at(r, fx, 0.62));
        pine.lineTo(at(r, fx + 0.05, 0.93));
        pine.lineTo(at(r, fx - 0.05, 0.93));
        pine.closeSubpath();
        p.fillPath(pine, QColor("#1f5e2e"));
    }
    p.restore();
}

void blossom(QPainter &p, const QRectF &r)
{
    p.save();
    p.setClipRect(r, Qt::IntersectClip);
    p.setPen(Qt::NoPen);
    const double s = std::min(r.width(), r.height());
    QLinearGradient bg(r.topLeft(), r.bottomRight());
    bg.setColorAt(0, QColor("#ffe0ec"));
    bg.setColorAt(1, QColor("#ff9fc3"));
    p.fillRect(r, bg);
    Dice dice {5};
    const QColor petals[]
        = {QColor("#ffffff"), QColor("#ff6f9f"), QColor("#ffd1e1"), QColor("#e0407a")};
    for (int i = 0; i < 14; ++i) {
        const QPointF c = at(r, dice.next(), dice.next());
        const double size = (0.07 + 0.07 * dice.next()) * s;
        p.setBrush(QColor("#6abf69"));
        p.drawEllipse(c + QPointF(size * 0.9, size * 0.6), size * 0.55, size * 0.25);
        p.setBrush(petals[i % 4]);
        for (int k = 0; k < 5; ++k) {
            const double a = k * 2 * M_PI / 5 + i;
            p.drawEllipse(c + QPointF(std::cos(a), std::sin(a)) * size * 0.55, size * 0.45,
                          size * 0.45);
        }
        p.setBrush(QColor("#ffc928"));
        p.drawEllipse(c, size * 0.28, size * 0.28);
    }
    p.restore();
}

// ---------------------------------------------------------------- mugs

struct Mug
{
    QColor body;
    QColor inside;
    QColor handle;
    double topWidth = 122;
    double bottomWidth = 122;
    double height = 130;
    Print print;
};

void drawMug(QPainter &p, QPointF base, const Mug &m)
{
    const double cx = base.x();
    const double top = base.y() - m.height;
    const double bottom = base.y();
    const double e = m.topWidth * 0.12;
    const double eb = m.bottomWidth * 0.12;
    const QRectF rim(cx - m.topWidth / 2, top - e, m.topWidth, 2 * e);
    const QRectF foot(cx - m.bottomWidth / 2, bottom - eb, m.bottomWidth, 2 * eb);

    contactShadow(p, QPointF(cx + 18, bottom + 2), m.bottomWidth * 0.85, eb * 1.7, 80);

    // handle, drawn first so that the body hides its ends
    const double sideTop = cx + m.topWidth / 2;
    const double sideBottom = cx + m.bottomWidth / 2;
    auto sideAt = [&](double f) { return sideTop + (sideBottom - sideTop) * f; };
    const double hy0 = top + m.height * 0.2;
    const double hy1 = top + m.height * 0.72;
    QPainterPath handle;
    handle.moveTo(sideAt(0.2) - 6, hy0);
    handle.cubicTo(sideAt(0.2) + 56, hy0 - 12, sideAt(0.72) + 56, hy1 + 8, sideAt(0.72) - 6, hy1);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(shade(m.handle, -0.3), 19, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(handle);
    p.setPen(QPen(m.handle, 15, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(handle);
    p.setPen(QPen(withAlpha(shade(m.handle, 0.6), 170), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(handle.translated(-1.5, -3));

    QPainterPath body;
    body.moveTo(rim.left(), top);
    body.lineTo(foot.left(), bottom);
    body.arcTo(foot, 180, 180);
    body.lineTo(rim.right(), top);
    body.arcTo(rim, 0, -180);
    body.closeSubpath();
    QLinearGradient g(rim.left(), 0, rim.right(), 0);
    g.setColorAt(0, shade(m.body, -0.18));
    g.setColorAt(0.25, shade(m.body, 0.2));
    g.setColorAt(0.5, m.body);
    g.setColorAt(1, shade(m.body, -0.3));
    p.setPen(Qt::NoPen);
    p.fillPath(body, g);

    if (m.print) {
        const double w = std::min(m.topWidth, m.bottomWidth);
        p.save();
        p.setClipPath(body, Qt::IntersectClip);
        m.print(p, QRectF(cx - w * 0.36, top + m.height * 0.2, w * 0.72, m.height * 0.6));
        p.restore();
    }

    // roundness over body and print alike: shadow at the sides, a soft gloss on the left
    QLinearGradient wrap(rim.left(), 0, rim.right(), 0);
    wrap.setColorAt(0, QColor(0, 0, 0, 70));
    wrap.setColorAt(0.12, QColor(0, 0, 0, 0));
    wrap.setColorAt(0.2, QColor(255, 255, 255, 0));
    wrap.setColorAt(0.27, QColor(255, 255, 255, 120));
    wrap.setColorAt(0.34, QColor(255, 255, 255, 0));
    wrap.setColorAt(0.7, QColor(0, 0, 0, 0));
    wrap.setColorAt(1, QColor(0, 0, 0, 90));
    p.fillPath(body, wrap);
    p.setPen(QPen(withAlpha(shade(m.body, -0.5), 120), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(body);

    // rim and the inside seen over it
    p.setPen(QPen(withAlpha(shade(m.body, -0.4), 150), 1));
    p.setBrush(shade(m.body, 0.15));
    p.drawEllipse(rim);
    const QRectF inner = rim.adjusted(6, 3.5, -6, -3.5);
    QLinearGradient in(0, inner.top(), 0, inner.bottom());
    in.setColorAt(0, shade(m.inside, -0.45));
    in.setColorAt(0.6, shade(m.inside, -0.1));
    in.setColorAt(1, m.inside);
    p.setPen(Qt::NoPen);
    p.setBrush(in);
    p.drawEllipse(inner);
}

void drawMugPicture(QPainter &p, const QColor &wall, const Mug &m)
{
    studio(p, wall, shade(wall, -0.06));
    drawMug(p, QPointF(146, 206), m);
}

Print heartPrint(const QColor &c)
{
    return [c](QPainter &p, const QRectF &r) {
        p.setPen(Qt::NoPen);
        p.fillPath(heart(r.center() + QPointF(0, -6), r.width() * 0.55), c);
        text(p, QRectF(r.left(), r.bottom() - 22, r.width(), 18), QStringLiteral("LOVE"),
             shade(c, -0.2), 13);
    };
}

Print logoPrint(const QColor &c, const QString &word)
{
    return [c, word](QPainter &p, const QRectF &r) {
        const QPointF centre = r.center() + QPointF(0, -8);
        p.setPen(Qt::NoPen);
        p.fillPath(star(centre, r.width() * 0.3, r.width() * 0.13, 8), c);
        p.setBrush(Qt::white);
        p.drawEllipse(centre, r.width() * 0.1, r.width() * 0.1);
        text(p, QRectF(r.left() - 10, r.bottom() - 20, r.width() + 20, 18), word, c, 13);
    };
}

Print photoPrint(void (*scenery)(QPainter &, const QRectF &), double inset = 0)
{
    return [scenery, inset](QPainter &p, const QRectF &r) {
        const QRectF photo = r.adjusted(inset, inset, -inset, -inset);
        QPainterPath frame;
        frame.addRoundedRect(photo, 6, 6);
        p.save();
        p.setClipPath(frame, Qt::IntersectClip);
        scenery(p, photo);
        p.restore();
    };
}

// ---------------------------------------------------------------- pens

struct Pen
{
    QColor barrel;
    QColor grip;
    QColor trim; // clip and push button
    bool metalTrim = false;
    bool rubberGrip = false;
    bool stylus = false;
    bool capped = false;
    bool translucent = false;
    QString print;
    QColor printColour;
};

const QColor chromeColour("#c9cfd6");
const QColor goldColour("#d8b45a");

QLinearGradient cylinder(const QColor &c, double r, bool metal)
{
    QLinearGradient g(0, -r, 0, r);
    if (metal) {
        g.setColorAt(0, shade(c, -0.55));
        g.setColorAt(0.2, shade(c, 0.85));
        g.setColorAt(0.36, c);
        g.setColorAt(0.62, shade(c, -0.35));
        g.setColorAt(0.84, shade(c, 0.35));
        g.setColorAt(1, shade(c, -0.6));
    } else {
        g.setColorAt(0, shade(c, -0.35));
        g.setColorAt(0.22, shade(c, 0.45));
        g.setColorAt(0.4, c);
        g.setColorAt(0.85, shade(c, -0.25));
        g.setColorAt(1, shade(c, -0.5));
    }
    return g;
}

void section(QPainter &p, double x0, double x1, double r0, double r1, const QColor &c, bool metal,
             int alpha = 255)
{
    QPolygonF poly;
    poly << QPointF(x0, -r0) << QPointF(x1, -r1) << QPointF(x1, r1) << QPointF(x0, r0);
    QLinearGradient g = cylinder(c, std::max(r0, r1), metal);
    if (alpha < 255) {
        QGradientStops stops = g.stops();
        for (auto &stop : stops)
            stop.second.setAlpha(alpha);
        g.setStops(stops);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPolygon(poly);
}

QPainterPath penSilhouette(const Pen &pen)
{
    QPainterPath s;
    if (pen.capped)
        s.addRoundedRect(QRectF(-130, -9.5, 254, 19), 8, 8);
    else {
        s.moveTo(-128, 0);
        s.lineTo(-112, -4);
        s.lineTo(-92, -8.5);
        s.lineTo(118, -8.5);
        s.lineTo(124, -5);
        s.lineTo(124, 5);
        s.lineTo(118, 8.5);
        s.lineTo(-92, 8.5);
        s.lineTo(-112, 4);
        s.closeSubpath();
    }
    return s;
}

// Pen lying along the x axis, tip at x = -128, end at x = +124.
void drawPen(QPainter &p, const Pen &pen)
{
    const double r = 8.5;
    const QColor trim = pen.trim;
    if (!pen.capped) {
        section(p, -128, -112, 0.8, 3.2, chromeColour, true);
        p.setBrush(QColor("#333"));
        p.drawEllipse(QPointF(-128, 0), 1.2, 1.2);
        section(p, -112, -92, 3.8, 7.8, pen.grip, pen.metalTrim);
        section(p, -92, -50, 7.8, 8.0, pen.grip, pen.metalTrim && !pen.rubberGrip);
        if (pen.rubberGrip) {
            p.setPen(QPen(withAlpha(shade(pen.grip, -0.6), 160), 1.2));
            for (double x = -88; x < -52; x += 4)
                p.drawLine(QPointF(x, -7.6), QPointF(x, 7.6));
        }
    }
    if (pen.translucent) {
        // the refill shows through a tinted barrel
        section(p, -50, 112, 2.4, 2.4, QColor("#e6e6e6"), true);
        p.fillRect(QRectF(-50, -1.2, 110, 2.4), QColor("#1f4fb0"));
        section(p, -50, 112, r, r, pen.barrel, false, 150);
    } else {
        section(p, -50, 112, r, r, pen.barrel, false);
    }
    section(p, -52, -48, r + 0.4, r + 0.4, pen.metalTrim ? trim : chromeColour, true);
    section(p, 96, 100, r + 0.4, r + 0.4, pen.metalTrim ? trim : chromeColour, true);
    section(p, 112, 118, r, 7.2, pen.barrel, false);
    if (pen.stylus) {
        p.setPen(Qt::NoPen);
        p.setBrush(cylinder(QColor("#3a3a3a"), 6, false));
        p.drawRoundedRect(QRectF(116, -6, 10, 12), 5, 5);
    } else {
        section(p, 118, 123, 5.2, 5.2, trim, pen.metalTrim);
        p.setBrush(cylinder(trim, 5.2, pen.metalTrim));
        p.drawEllipse(QPointF(123, 0), 1.6, 5.2);
    }
    if (!pen.print.isEmpty()) {
        p.save();
        p.setFont(font(9));
        p.setPen(pen.printColour);
        p.drawText(QRectF(-36, -7, 120, 14), Qt::AlignCenter, pen.print);
        p.restore();
    }
    if (pen.capped) {
        section(p, -130, -56, 9.6, 9.6, pen.grip, false);
        p.setBrush(cylinder(pen.grip, 9.6, false));
        p.drawEllipse(QPointF(-130, 0), 3, 9.6);
        section(p, -58, -55, 9.9, 9.9, chromeColour, true);
    }
    // clip, on the cap when there is one
    const double clipX = pen.capped ? -118 : 50;
    const double clipLen = pen.capped ? 58 : 62;
    QPainterPath clip;
    clip.addRoundedRect(QRectF(clipX, -r - 5.5, clipLen, 5), 2.5, 2.5);
    clip.addEllipse(QPointF(clipX + 3, -r - 2.8), 3.6, 3.6);
    QLinearGradient cg(0, -r - 6.5, 0, -r + 1);
    cg.setColorAt(0, shade(trim, pen.metalTrim ? 0.7 : 0.35));
    cg.setColorAt(1, shade(trim, -0.3));
    p.setPen(QPen(withAlpha(shade(trim, -0.5), 160), 0.6));
    p.setBrush(cg);
    p.drawPath(clip.simplified());
}

void drawPenPicture(QPainter &p, const QColor &surface, const Pen &pen, double angle)
{
    tabletop(p, surface);
    p.save();
    p.translate(W / 2, H / 2 + 4);
    p.scale(1.12, 1.12);
    p.rotate(angle);
    // the light comes from the upper left, so the shadow falls down and to the right
    QTransform undo;
    undo.rotate(-angle);
    softShadow(p, penSilhouette(pen), undo.map(QPointF(5, 9)), 60);
    drawPen(p, pen);
    p.restore();
}

// ---------------------------------------------------------------- T-shirts

enum class Neck { Round, Vee, Polo };

QPainterPath shirtOutline()
{
    QPainterPath s;
    s.moveTo(138, 34);
    s.quadTo(160, 29, 182, 34);
    s.lineTo(214, 44);
    s.cubicTo(234, 52, 252, 70, 268, 92);
    s.lineTo(242, 114);
    s.quadTo(232, 104, 224, 98);
    s.cubicTo(221, 140, 222, 180, 226, 222);
    s.quadTo(160, 228, 94, 222);
    s.cubicTo(98, 180, 99, 140, 96, 98);
    s.quadTo(88, 104, 78, 114);
    s.lineTo(52, 92);
    s.cubicTo(68, 70, 86, 52, 106, 44);
    s.closeSubpath();
    return s;
}

void drawShirt(QPainter &p, const QColor &c, Neck neck, const QColor &trim, const Print &print)
{
    const QPainterPath outline = shirtOutline();
    softShadow(p, outline, QPointF(4, 6), 45);
    p.fillPath(outline, c);

    if (print) {
        p.save();
        p.setClipPath(outline, Qt::IntersectClip);
        print(p, QRectF(116, 78, 88, 96));
        p.restore();
    }

    // cloth: light from the upper left, folds at the arms and hem
    p.save();
    p.setClipPath(outline, Qt::IntersectClip);
    QLinearGradient light(60, 30, 260, 230);
    light.setColorAt(0, QColor(255, 255, 255, 50));
    light.setColorAt(0.5, QColor(255, 255, 255, 0));
    light.setColorAt(1, QColor(0, 0, 0, 45));
    p.fillRect(QRectF(0, 0, W, H), light);
    const QColor fold = withAlpha(shade(c, -0.5), 28);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(fold, 6, Qt::SolidLine, Qt::RoundCap));
    QPainterPath folds;
    folds.moveTo(100, 102);
    folds.quadTo(108, 116, 112, 134);
    folds.moveTo(220, 102);
    folds.quadTo(212, 116, 208, 134);
    p.drawPath(folds);
    const QColor seam = withAlpha(shade(c, -0.45), 150);
    p.setPen(QPen(seam, 1.2));
    QPainterPath sleeves;
    sleeves.moveTo(214, 44);
    sleeves.quadTo(216, 74, 224, 98);
    sleeves.moveTo(106, 44);
    sleeves.quadTo(104, 74, 96, 98);
    p.drawPath(sleeves);
    p.setPen(QPen(seam, 1, Qt::DashLine));
    p.drawLine(QPointF(96, 215), QPointF(224, 215));
    p.drawLine(QPointF(262, 97), QPointF(239, 116));
    p.drawLine(QPointF(58, 97), QPointF(81, 116));
    p.restore();

    // neck: the inside of the back shows above the front neckline
    QPainterPath front;
    front.moveTo(138, 34);
    if (neck == Neck::Vee) {
        front.lineTo(160, 66);
        front.lineTo(182, 34);
    } else {
        front.quadTo(160, neck == Neck::Polo ? 62 : 60, 182, 34);
    }
    QPainterPath back;
    back.moveTo(182, 34);
    back.quadTo(160, 29, 138, 34);
    QPainterPath opening = front;
    opening.connectPath(back);
    p.fillPath(opening, shade(c, -0.28));
    p.setBrush(Qt::NoBrush);
    if (neck == Neck::Polo) {
        p.setPen(QPen(shade(trim, -0.2), 1));
        p.setBrush(trim);
        p.drawRect(QRectF(153, 50, 14, 50));
        p.setBrush(QColor("#f4f4f4"));
        for (double y : {62.0, 80.0})
            p.drawEllipse(QPointF(160, y), 2.6, 2.6);
        QPainterPath collar;
        collar.moveTo(137, 30);
        collar.lineTo(159, 54);
        collar.lineTo(146, 66);
        collar.quadTo(130, 52, 120, 40);
        collar.closeSubpath();
        collar.moveTo(183, 30);
        collar.lineTo(161, 54);
        collar.lineTo(174, 66);
        collar.quadTo(190, 52, 200, 40);
        collar.closeSubpath();
        p.setPen(QPen(shade(trim, -0.35), 1));
        p.setBrush(trim);
        p.drawPath(collar);
    } else {
        p.setPen(QPen(trim, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(front);
        p.setPen(QPen(withAlpha(shade(trim, -0.35), 140), 1));
        p.drawPath(front.translated(0, 3));
    }
}

void drawShirtPicture(QPainter &p, const QColor &wall, const QColor &c, Neck neck,
                      const QColor &trim, const Print &print)
{
    tabletop(p, wall);
    drawShirt(p, c, neck, trim, print);
}

// ---------------------------------------------------------------- caps

struct Cap
{
    QColor crown;
    QColor front; // front panels; differs from the crown on a trucker cap
    QColor visor;
    QColor button;
    bool mesh = false;
    Print logo;
};

void drawCap(QPainter &p, const Cap &cap)
{
    contactShadow(p, QPointF(170, 190), 120, 16, 85);

    QPainterPath crown;
    crown.moveTo(98, 164);
    crown.cubicTo(88, 98, 130, 50, 184, 50);
    crown.cubicTo(240, 50, 262, 104, 256, 160);
    crown.quadTo(178, 184, 98, 164);
    crown.closeSubpath();

    // the sweatband shows at the back under the crown edge
    p.setPen(Qt::NoPen);
    p.setBrush(shade(cap.crown, -0.45));
    p.drawEllipse(QRectF(150, 150, 110, 22));

    QRadialGradient g(QPointF(150, 80), 170);
    g.setColorAt(0, shade(cap.crown, 0.3));
    g.setColorAt(0.6, cap.crown);
    g.setColorAt(1, shade(cap.crown, -0.3));
    p.fillPath(crown, g);

    QPainterPath frontPanel;
    frontPanel.moveTo(98, 164);
    frontPanel.cubicTo(88, 98, 130, 50, 184, 50);
    frontPanel.cubicTo(178, 90, 186, 130, 200, 172);
    frontPanel.quadTo(146, 174, 98, 164);
    frontPanel.closeSubpath();
    if (cap.mesh) {
        // trucker cap: foam front, mesh behind it
        p.save();
        p.setClipPath(crown.subtracted(frontPanel), Qt::IntersectClip);
        p.setPen(Qt::NoPen);
        p.setBrush(withAlpha(shade(cap.crown, 0.35), 170));
        for (double y = 48; y < 190; y += 4.2)
            for (double x = 150 + (int(y) % 2) * 2; x < 265; x += 4.2)
                p.drawEllipse(QPointF(x, y), 1.1, 1.1);
        p.restore();
        QRadialGradient fg(QPointF(140, 90), 130);
        fg.setColorAt(0, shade(cap.front, 0.3));
        fg.setColorAt(1, shade(cap.front, -0.12));
        p.fillPath(frontPanel, fg);
    }

    if (cap.logo) {
        p.save();
        p.setClipPath(frontPanel, Qt::IntersectClip);
        cap.logo(p, QRectF(106, 84, 74, 62));
        p.restore();
    }

    // seams with stitching
    QPainterPath seams;
    seams.moveTo(184, 50);
    seams.cubicTo(178, 90, 186, 130, 200, 172);
    seams.moveTo(184, 50);
    seams.cubicTo(220, 70, 240, 110, 244, 164);
    seams.moveTo(184, 50);
    seams.cubicTo(150, 64, 124, 110, 126, 168);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(withAlpha(shade(cap.crown, -0.55), 170), 1.4));
    p.drawPath(seams);
    p.setPen(QPen(withAlpha(shade(cap.crown, 0.5), 160), 0.8, Qt::DashLine));
    p.drawPath(seams.translated(3, 0));
    p.setPen(QPen(withAlpha(shade(cap.crown, -0.5), 120), 1));
    p.drawPath(crown);

    // eyelets
    p.setPen(QPen(shade(cap.crown, -0.5), 1));
    p.setBrush(shade(cap.crown, -0.25));
    p.drawEllipse(QPointF(214, 92), 2.4, 2.4);
    p.drawEllipse(QPointF(150, 84), 2.4, 2.4);

    // visor: top side, with the darker underside showing along its edge
    QPainterPath visor;
    visor.moveTo(102, 158);
    visor.cubicTo(72, 156, 40, 166, 24, 186);
    visor.cubicTo(60, 200, 150, 194, 200, 170);
    visor.quadTo(146, 174, 102, 158);
    visor.closeSubpath();
    p.setPen(Qt::NoPen);
    p.fillPath(visor.translated(0, 4), shade(cap.visor, -0.45));
    QLinearGradient vg(30, 160, 180, 190);
    vg.setColorAt(0, shade(cap.visor, 0.25));
    vg.setColorAt(1, shade(cap.visor, -0.15));
    p.fillPath(visor, vg);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(withAlpha(shade(cap.visor, 0.55), 170), 0.9, Qt::DashLine));
    QPainterPath stitch;
    stitch.moveTo(40, 182);
    stitch.cubicTo(70, 190, 140, 186, 186, 170);
    stitch.moveTo(52, 176);
    stitch.cubicTo(80, 182, 140, 178, 176, 168);
    p.drawPath(stitch);

    // button on top
    p.setPen(QPen(shade(cap.button, -0.4), 1));
    p.setBrush(cap.button);
    p.drawEllipse(QRectF(176, 44, 16, 9));
}

// ---------------------------------------------------------------- coasters

// Draws a coaster lying on the table: the shape is given flat, centred at the origin, and
// squashed into perspective; thick is the visible edge in pixels.
void drawCoaster(QPainter &p, QPointF centre, double tilt, double turn, const QPainterPath &shape,
                 const QColor &edge, double thick, const std::function<void(QPainter &)> &face)
{
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.scale(1, tilt);
    t.rotate(turn);
    const QPainterPath top = t.map(shape);
    softShadow(p, top.translated(0, thick), QPointF(4, 5), 55);
    p.setPen(Qt::NoPen);
    for (double d = thick; d > 0; d -= 0.5)
        p.fillPath(top.translated(0, d), d > thick - 1 ? shade(edge, -0.3) : edge);
    p.save();
    p.setClipPath(top, Qt::IntersectClip);
    p.setTransform(t, true);
    face(p);
    p.restore();
    p.setPen(QPen(withAlpha(shade(edge, -0.3), 120), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(top);
}

QPainterPath circleShape(double radius)
{
    QPainterPath s;
    s.addEllipse(QPointF(0, 0), radius, radius);
    return s;
}

QPainterPath squareShape(double side, double corner)
{
    QPainterPath s;
    s.addRoundedRect(QRectF(-side / 2, -side / 2, side, side), corner, corner);
    return s;
}

// A tumbler of juice standing on a coaster.
void drawGlass(QPainter &p, QPointF base, double width, double height)
{
    const double e = width * 0.16;
    const double top = base.y() - height;
    const QRectF rim(base.x() - width / 2, top - e, width, 2 * e);
    const QRectF foot(base.x() - width * 0.42, base.y() - e * 0.84, width * 0.84, 1.68 * e);
    QPainterPath body;
    body.moveTo(rim.left(), top);
    body.lineTo(foot.left(), base.y());
    body.arcTo(foot, 180, 180);
    body.lineTo(rim.right(), top);
    body.arcTo(rim, 0, -180);
    body.closeSubpath();
    contactShadow(p, base + QPointF(8, 2), width * 0.6, e * 1.2, 60);
    // juice up to two thirds, its surface an ellipse like the rim
    const double level = base.y() - height * 0.66;
    const double lw = width * (0.84 + 0.16 * 0.66);
    QPainterPath juice;
    juice.moveTo(base.x() - lw / 2, level);
    juice.lineTo(foot.left() + 2, base.y() - 2);
    juice.arcTo(foot.adjusted(2, -2, -2, -2), 180, 180);
    juice.lineTo(base.x() + lw / 2, level);
    juice.closeSubpath();
    QLinearGradient jg(rim.left(), 0, rim.right(), 0);
    jg.setColorAt(0, QColor(255, 170, 40, 230));
    jg.setColorAt(0.4, QColor(255, 196, 70, 230));
    jg.setColorAt(1, QColor(230, 130, 20, 230));
    p.fillPath(juice, jg);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 214, 120));
    p.drawEllipse(QRectF(base.x() - lw / 2 + 1, level - e * 0.9, lw - 2, e * 1.8));
    QLinearGradient gg(rim.left(), 0, rim.right(), 0);
    gg.setColorAt(0, QColor(255, 255, 255, 90));
    gg.setColorAt(0.2, QColor(255, 255, 255, 150));
    gg.setColorAt(0.3, QColor(255, 255, 255, 30));
    gg.setColorAt(1, QColor(120, 140, 160, 70));
    p.fillPath(body, gg);
    p.setPen(QPen(QColor(140, 160, 180, 200), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(body);
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawEllipse(rim);
}

void cork(QPainter &p, double radius)
{
    QRadialGradient g(QPointF(-radius * 0.3, -radius * 0.3), radius * 1.6);
    g.setColorAt(0, QColor("#e2b882"));
    g.setColorAt(1, QColor("#c0904f"));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(QPointF(0, 0), radius * 1.5, radius * 1.5);
    Dice dice {3};
    for (int i = 0; i < 420; ++i) {
        const QPointF pt((dice.next() - 0.5) * radius * 2.2, (dice.next() - 0.5) * radius * 2.2);
        p.setBrush(i % 3 ? QColor(120, 72, 30, 90) : QColor(255, 236, 200, 110));
        p.drawEllipse(pt, 0.6 + dice.next() * 1.2, 0.6 + dice.next() * 1.0);
    }
}

// ---------------------------------------------------------------- puzzles

struct Jigsaw
{
    QRectF area;
    int columns;
    int rows;
    QVector<int> across; // knob direction of the horizontal cuts, row-major, rows - 1 lines
    QVector<int> down; // knob direction of the vertical cuts, columns - 1 per row

    Jigsaw(const QRectF &a, int c, int r, quint32 seed)
        : area(a)
        , columns(c)
        , rows(r)
    {
        Dice dice {seed};
        for (int i = 0; i < (rows - 1) * columns; ++i)
            across << (dice.next() < 0.5 ? 1 : -1);
        for (int i = 0; i < rows * (columns - 1); ++i)
            down << (dice.next() < 0.5 ? 1 : -1);
    }

    QPointF corner(int col, int row) const
    {
        return QPointF(area.left() + area.width() * col / columns,
                       area.top() + area.height() * row / rows);
    }

    // Edge from a to b; a knob bulges to the left of the travel direction when bulge > 0
    // (screen coordinates, y down), so both neighbours trace the very same curve.
    static void edge(QPainterPath &path, QPointF a, QPointF b, int bulge)
    {
        if (!bulge) {
            path.lineTo(b);
            return;
        }
        const QPointF d = b - a;
        const QPointF n = QPointF(d.y(), -d.x()) * bulge;
        auto pt = [&](double t, double s) { return a + d * t + n * s; };
        path.lineTo(pt(0.36, 0));
        path.cubicTo(pt(0.44, 0.0), pt(0.34, 0.2), pt(0.5, 0.22));
        path.cubicTo(pt(0.66, 0.2), pt(0.56, 0.0), pt(0.64, 0));
        path.lineTo(b);
    }

    QPainterPath piece(int col, int row) const
    {
        const int top = row > 0 ? across[(row - 1) * columns + col] : 0;
        const int bottom = row < rows - 1 ? across[row * columns + col] : 0;
        const int left = col > 0 ? down[row * (columns - 1) + col - 1] : 0;
        const int right = col < columns - 1 ? down[row * (columns - 1) + col] : 0;
        // across > 0: the knob points down; down > 0: the knob points right
        QPainterPath path;
        path.moveTo(corner(col, row));
        edge(path, corner(col, row), corner(col + 1, row), -top);
        edge(path, corner(col + 1, row), corner(col + 1, row + 1), -right);
        edge(path, corner(col + 1, row + 1), corner(col, row + 1), bottom);
        edge(path, corner(col, row + 1), corner(col, row), left);
        path.closeSubpath();
        return path;
    }

    void drawCuts(QPainter &p, const QPainterPath &clip) const
    {
        p.save();
        p.setClipPath(clip, Qt::IntersectClip);
        p.setBrush(Qt::NoBrush);
        for (int row = 0; row < rows; ++row)
            for (int col = 0; col < columns; ++col) {
                const QPainterPath pc = piece(col, row);
                p.setPen(QPen(QColor(255, 255, 255, 70), 1.0));
                p.drawPath(pc.translated(0.7, 0.7));
                p.setPen(QPen(QColor(0, 0, 0, 110), 0.9));
                p.drawPath(pc);
            }
        p.restore();
    }
};

using Scenery = void (*)(QPainter &, const QRectF &);

// A piece lifted out of the puzzle and laid down elsewhere.
void loosePiece(QPainter &p, const Jigsaw &jig, int col, int row, Scenery scenery, QPointF to,
                double angle)
{
    const QPainterPath pc = jig.piece(col, row);
    const QPointF centre = pc.boundingRect().center();
    QTransform t;
    t.translate(to.x(), to.y());
    t.rotate(angle);
    t.translate(-centre.x(), -centre.y());
    const QPainterPath placed = t.map(pc);
    softShadow(p, placed, QPointF(3, 5), 70);
    p.save();
    p.setClipPath(placed, Qt::IntersectClip);
    p.setTransform(t, true);
    scenery(p, jig.area);
    p.restore();
    p.setPen(QPen(QColor(0, 0, 0, 120), 0.9));
    p.setBrush(Qt::NoBrush);
    p.drawPath(placed);
}

void hole(QPainter &p, const Jigsaw &jig, int col, int row, const QColor &backing)
{
    const QPainterPath pc = jig.piece(col, row);
    p.fillPath(pc, backing);
    p.save();
    p.setClipPath(pc, Qt::IntersectClip);
    p.setPen(QPen(QColor(0, 0, 0, 90), 4));
    p.setBrush(Qt::NoBrush);
    p.drawPath(pc.translated(1.5, 2));
    p.restore();
}

void puzzleBoard(QPainter &p, const Jigsaw &jig, Scenery scenery)
{
    QPainterPath outline;
    outline.addRect(jig.area);
    softShadow(p, outline, QPointF(4, 6), 70);
    scenery(p, jig.area);
    jig.drawCuts(p, outline);
}

// ---------------------------------------------------------------- folding icons

// A sheet seen from above at an angle. The profile lists the sheet's cross-section as
// (x along the table, height above it); the sheet runs back into the picture by `depth`.
struct Sheet
{
    QVector<QPointF> profile;
    double depth = 64;
};

// Seen from the front, above and a little to the right: going back into the picture moves up
// and slightly right. Panels rising at about 68 degrees would be seen edge-on; the profiles
// below keep away from that slope.
QPointF project(QPointF xh, double d)
{
    return QPointF(xh.x() + 0.25 * d, -0.8 * xh.y() - 0.5 * d);
}

void drawSheet(QPainter &p, const Sheet &sheet, const QVector<int> &creaseAt = {})
{
    const QPointF towardsViewer(0.25, 0.625);
    const QPointF light = QPointF(-0.45, 0.9) / std::hypot(0.45, 0.9);
    struct Panel
    {
        QPolygonF quad;
        double nearness;
        double light;
    };
    QVector<Panel> panels;
    double minX = 1e9, maxX = -1e9;
    for (int i = 0; i + 1 < sheet.profile.size(); ++i) {
        const QPointF a = sheet.profile[i];
        const QPointF b = sheet.profile[i + 1];
        QPolygonF quad;
        quad << project(a, 0) << project(b, 0) << project(b, sheet.depth)
             << project(a, sheet.depth);
        const QPointF dir = (b - a) / std::hypot(b.x() - a.x(), b.y() - a.y());
        QPointF normal(-dir.y(), dir.x());
        if (QPointF::dotProduct(normal, towardsViewer) < 0)
            normal = -normal;
        const QPointF mid = (a + b) / 2;
        panels.push_back({quad, QPointF::dotProduct(mid, towardsViewer),
                          0.72 + 0.28 * QPointF::dotProduct(normal, light)});
        minX = std::min({minX, a.x(), b.x()});
        maxX = std::max({maxX, a.x(), b.x()});
    }
    QPolygonF ground;
    ground << project({minX, 0}, 0) << project({maxX, 0}, 0) << project({maxX, 0}, sheet.depth)
           << project({minX, 0}, sheet.depth);
    QPainterPath footprint;
    footprint.addPolygon(ground);
    footprint.closeSubpath();
    softShadow(p, footprint, QPointF(3, 3), 28);

    // far panels first
    std::sort(panels.begin(), panels.end(),
              [](const Panel &a, const Panel &b) { return a.nearness < b.nearness; });
    for (const Panel &panel : panels) {
        const double l = std::clamp(panel.light, 0.5, 1.0);
        const QColor face = QColor::fromRgbF(0.96 * l + 0.02, 0.97 * l + 0.02, l);
        QLinearGradient g(panel.quad[0], panel.quad[2]);
        g.setColorAt(0, face);
        g.setColorAt(1, shade(face, -0.06));
        p.setPen(QPen(QColor("#4d5d73"), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(g);
        p.drawPolygon(panel.quad);
    }
    for (int i : creaseAt) {
        const QPointF a = project(sheet.profile[i], 0);
        const QPointF b = project(sheet.profile[i], sheet.depth);
        p.setPen(QPen(QColor("#d0463b"), 3.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(a, b);
    }
}

void foldingTile(QPainter &p)
{
    QPainterPath tile;
    tile.addRoundedRect(QRectF(2, 2, 146, 146), 18, 18);
    QLinearGradient g(0, 0, 0, 150);
    g.setColorAt(0, QColor("#eef4fb"));
    g.setColorAt(1, QColor("#d6e2f0"));
    p.fillPath(tile, g);
    p.setPen(QPen(QColor("#b4c3d6"), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tile);
}

// Arrow showing which way a panel turns over: an arc round the fold at `hinge` (profile
// coordinates), drawn on the front edge of the sheet.
void turnArrow(QPainter &p, QPointF hinge, double radius, double fromDeg, double toDeg)
{
    QPainterPath arc;
    const int steps = 24;
    QPointF last, beforeLast;
    for (int i = 0; i <= steps; ++i) {
        const double a = (fromDeg + (toDeg - fromDeg) * i / steps) * M_PI / 180;
        const QPointF pt = project(hinge + QPointF(std::cos(a), std::sin(a)) * radius, 0);
        if (i == 0)
            arc.moveTo(pt);
        else
            arc.lineTo(pt);
        beforeLast = last;
        last = pt;
    }
    const QColor blue("#2f6fd0");
    p.setPen(QPen(blue, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    const QPointF d = last - beforeLast;
    const QPointF u = d / std::hypot(d.x(), d.y());
    const QPointF n(-u.y(), u.x());
    QPolygonF head;
    head << last + u * 6 << last - u * 4 + n * 6 << last - u * 4 - n * 6;
    p.setPen(Qt::NoPen);
    p.setBrush(blue);
    p.drawPolygon(head);
}

struct Turn
{
    QPointF hinge;
    double radius;
    double fromDeg;
    double toDeg;
};

// Draws the sheet scaled to fill the icon, with red crease lines and blue turn arrows.
void drawFolding(QPainter &p, const Sheet &sheet, const QVector<int> &creases,
                 const QVector<Turn> &turns)
{
    QRectF bounds;
    for (const QPointF &pt : sheet.profile)
        bounds = bounds.united(QRectF(project(pt, 0), QSizeF(0.01, 0.01)))
                     .united(QRectF(project(pt, sheet.depth), QSizeF(0.01, 0.01)));
    for (const Turn &t : turns)
        bounds = bounds.united(QRectF(project(t.hinge, 0) - QPointF(t.radius, t.radius * 0.75),
                                      QSizeF(2 * t.radius, 1.5 * t.radius)));
    const QRectF target(10, 14, 130, 122);
    const double k = std::min(target.width() / bounds.width(), target.height() / bounds.height());
    p.save();
    p.translate(target.center());
    p.scale(k, k);
    p.translate(-bounds.center());
    drawSheet(p, sheet, creases);
    for (const Turn &t : turns)
        turnArrow(p, t.hinge, t.radius, t.fromDeg, t.toDeg);
    p.restore();
}

// ---------------------------------------------------------------- the pictures

struct Picture
{
    QString path;
    int width;
    int height;
    Scene scene;
};

QVector<Picture> pictures()
{
    QVector<Picture> list;
    auto gallery = [&](const QString &path, const Scene &scene) {
        list.push_back({path, int(W), int(H), scene});
    };

    // ---- folding icons: one crease, one fold, two parallel folds, a Z fold
    auto icon = [&](const QString &path, const Scene &scene) {
        list.push_back({path, 150, 150, [scene](QPainter &p) {
                            foldingTile(p);
                            scene(p);
                        }});
    };
    icon("Falc/1.png", [](QPainter &p) {
        // a pressed groove: the sheet stays open and only bends a little along it
        drawFolding(p, Sheet {{{0, 0}, {50, 5}, {100, 0}}, 70}, {1}, {});
    });
    icon("Falc/2.png", [](QPainter &p) {
        drawFolding(p, Sheet {{{0, 0}, {56, 0}, {28, 46}}, 64}, {}, {{{56, 0}, 40, 8, 105}});
    });
    icon("Falc/3.png", [](QPainter &p) {
        // letter fold opening: both outer thirds turn up the same way
        drawFolding(p, Sheet {{{-6, 26}, {24, 0}, {64, 0}, {94, 26}}, 64}, {},
                    {{{24, 0}, 34, 186, 140}, {{64, 0}, 34, -6, 40}});
    });
    icon("Falc/4.png", [](QPainter &p) {
        // Z fold: the folds turn opposite ways, like an accordion
        drawFolding(p, Sheet {{{0, 0}, {32, 30}, {64, 0}, {96, 30}}, 60}, {}, {});
    });

    // ---- mugs
    gallery("Kruzhki/1.jpg", [](QPainter &p) {
        drawMugPicture(p, QColor("#f3e9e1"),
                       {QColor("#fbfbfb"), QColor("#f2f2f2"), QColor("#fbfbfb"), 122, 122, 130,
                        heartPrint(QColor("#e53950"))});
    });
    gallery("Kruzhki/2.gif", [](QPainter &p) {
        drawMugPicture(p, QColor("#e6eef6"),
                       {QColor("#fbfbfb"), QColor("#2f7fd8"), QColor("#2f7fd8"), 122, 122, 130,
                        logoPrint(QColor("#2f7fd8"), QStringLiteral("LOGO"))});
    });
    gallery("Kruzhki/3.jpg", [](QPainter &p) {
        // colour-change mug: the black coating clears where the mug is hot
        Print reveal = [](QPainter &p, const QRectF &r) {
            const QRectF photo(r.left() - 14, r.top() - 6, r.width() + 28, r.height() + 12);
            mountains(p, photo);
            QLinearGradient fade(photo.left(), 0, photo.right(), 0);
            fade.setColorAt(0, QColor(26, 26, 30, 0));
            fade.setColorAt(0.55, QColor(26, 26, 30, 0));
            fade.setColorAt(0.9, QColor(26, 26, 30, 255));
            p.fillRect(photo.adjusted(-1, -1, 80, 1), fade);
        };
        Mug m {QColor("#1e1e22"), QColor("#2a2a2e"), QColor("#1e1e22"), 122, 122, 130, reveal};
        drawMugPicture(p, QColor("#ece7f3"), m);
        // steam over the hot mug
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(150, 150, 170, 120), 3, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 3; ++i) {
            QPainterPath steam;
            const double x = 122 + i * 22;
            steam.moveTo(x, 58);
            steam.cubicTo(x - 10, 46, x + 10, 36, x, 22);
            p.drawPath(steam);
        }
    });
    gallery("Kruzhki/4.jpg", [](QPainter &p) {
        Print leaf = [](QPainter &p, const QRectF &r) {
            const QPointF c = r.center() + QPointF(0, -6);
            p.setPen(QPen(Qt::white, 3));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(c, r.width() * 0.3, r.width() * 0.3);
            QPainterPath leafShape;
            leafShape.moveTo(c + QPointF(-12, 12));
            leafShape.cubicTo(c + QPointF(-14, -8), c + QPointF(4, -16), c + QPointF(14, -14));
            leafShape.cubicTo(c + QPointF(14, 4), c + QPointF(2, 14), c + QPointF(-12, 12));
            p.setPen(Qt::NoPen);
            p.fillPath(leafShape, Qt::white);
            p.setPen(QPen(QColor("#3f9b55"), 1.5));
            p.drawLine(c + QPointF(-10, 10), c + QPointF(10, -10));
            text(p, QRectF(r.left() - 10, r.bottom() - 20, r.width() + 20, 18),
                 QStringLiteral("ECO"), Qt::white, 13);
        };
        drawMugPicture(
            p, QColor("#eef3e6"),
            {QColor("#43a35a"), QColor("#f5f5f2"), QColor("#43a35a"), 122, 122, 130, leaf});
    });
    gallery("Kruzhki/5.jpg", [](QPainter &p) {
        // tall latte mug, wider at the top
        Print dots = [](QPainter &p, const QRectF &r) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 255, 255, 235));
            for (int row = 0; row < 6; ++row)
                for (int col = -1; col < 7; ++col)
                    p.drawEllipse(
                        QPointF(r.left() + col * 16 + (row % 2) * 8, r.top() - 6 + row * 16), 3.5,
                        3.5);
            p.setBrush(QColor("#c0392b"));
            p.drawRoundedRect(QRectF(r.left() + 4, r.center().y() - 12, r.width() - 8, 24), 6, 6);
            text(p, QRectF(r.left(), r.center().y() - 12, r.width(), 24), QStringLiteral("COFFEE"),
                 Qt::white, 12);
        };
        drawMugPicture(
            p, QColor("#f6efdc"),
            {QColor("#f2b632"), QColor("#fbf6ea"), QColor("#f2b632"), 118, 92, 150, dots});
    });
    gallery("Kruzhki/6.jpg", [](QPainter &p) {
        drawMugPicture(p, QColor("#e3ecf2"),
                       {QColor("#fbfbfb"), QColor("#f2f2f2"), QColor("#fbfbfb"), 122, 122, 130,
                        photoPrint(sunsetSea, -4)});
    });

    // ---- pens
    gallery("Ruchki/1.jpg", [](QPainter &p) {
        drawPenPicture(p, QColor("#dfe8f2"),
                       {QColor("#2466c8"), QColor("#2466c8"), QColor("#f4f4f4"), false, false,
                        false, false, false, QStringLiteral("LOGO"), Qt::white},
                       -14);
    });
    gallery("Ruchki/2.jpg", [](QPainter &p) {
        drawPenPicture(p, QColor("#efe6e3"),
                       {QColor("#d7263d"), QColor("#2b2b2b"), QColor("#d7263d"), false, true, false,
                        false, false, QStringLiteral("PRINT"), Qt::white},
                       -8);
    });
    gallery("Ruchki/3.jpg", [](QPainter &p) {
        // silver pen in a gift case
        tabletop(p, QColor("#e7e3dc"));
        QPainterPath box;
        box.addRoundedRect(QRectF(22, 62, 276, 126), 10, 10);
        softShadow(p, box, QPointF(5, 8), 80);
        p.fillPath(box, QColor("#222838"));
        QPainterPath lining;
        lining.addRoundedRect(QRectF(32, 72, 256, 106), 6, 6);
        QLinearGradient lg(0, 72, 0, 178);
        lg.setColorAt(0, QColor("#3c4666"));
        lg.setColorAt(1, QColor("#2a3150"));
        p.fillPath(lining, lg);
        p.setPen(QPen(QColor(0, 0, 0, 90), 10, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(50, 128), QPointF(270, 128));
        // lid, open, seen from its edge at the top
        p.setPen(Qt::NoPen);
        p.fillRect(QRectF(22, 40, 276, 24), QColor("#1a1f2c"));
        p.fillRect(QRectF(32, 46, 256, 14), QColor("#323a56"));
        text(p, QRectF(22, 40, 276, 24), QStringLiteral("PREMIUM"), goldColour, 11);
        p.save();
        p.translate(160, 125);
        p.scale(0.97, 0.97);
        Pen pen {QColor("#aeb5bd"),
                 chromeColour,
                 goldColour,
                 true,
                 false,
                 false,
                 false,
                 false,
                 QStringLiteral("ВАШЕ ИМЯ"),
                 QColor("#6b7280")};
        softShadow(p, penSilhouette(pen), QPointF(2, 6), 90);
        drawPen(p, pen);
        p.restore();
    });
    gallery("Ruchki/4.jpg", [](QPainter &p) {
        drawPenPicture(p, QColor("#e9e9e6"),
                       {QColor("#1f1f22"), chromeColour, chromeColour, true, false, false, false,
                        false, QStringLiteral("LASER"), QColor("#c9cfd6")},
                       -18);
    });
    gallery("Ruchki/5.jpg", [](QPainter &p) {
        drawPenPicture(p, QColor("#e4eaf0"),
                       {QColor("#1d3461"), chromeColour, chromeColour, true, false, false, false,
                        false, QStringLiteral("METAL"), QColor("#d6dbe2")},
                       -10);
    });
    gallery("Ruchki/6.jpg", [](QPainter &p) {
        drawPenPicture(p, QColor("#e5efe4"),
                       {QColor("#3cb371"), QColor("#2e8b57"), QColor("#2e8b57"), false, false,
                        false, false, true, QStringLiteral("FRESH"), QColor("#145a32")},
                       -16);
    });
    gallery("Ruchki/7.jpg", [](QPainter &p) {
        drawPenPicture(p, QColor("#f2ebe2"),
                       {QColor("#f7f7f7"), QColor("#f28c28"), QColor("#f28c28"), false, true, false,
                        false, false, QStringLiteral("SUN"), QColor("#f28c28")},
                       -12);
    });
    gallery("Ruchki/8.jpg", [](QPainter &p) {
        drawPenPicture(p, QColor("#ebe6f2"),
                       {QColor("#7b3fb5"), QColor("#7b3fb5"), chromeColour, true, false, true,
                        false, false, QStringLiteral("TOUCH"), Qt::white},
                       -20);
    });
    gallery("Ruchki/9.jpg", [](QPainter &p) {
        drawPenPicture(p, QColor("#e6e9ee"),
                       {QColor("#fafafa"), QColor("#1c1c1c"), QColor("#1c1c1c"), false, false,
                        false, true, false, QStringLiteral("OFFICE"), QColor("#1c1c1c")},
                       -9);
    });

    // ---- T-shirts
    gallery("Tekstil/1.jpg", [](QPainter &p) {
        Print emblem = [](QPainter &p, const QRectF &r) {
            const QPointF c = r.center() + QPointF(0, -4);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor("#1f6fd1"));
            p.drawEllipse(c, 30, 30);
            p.fillPath(star(c, 20, 8.5), QColor("#ffffff"));
            text(p, QRectF(r.left(), c.y() + 32, r.width(), 16), QStringLiteral("TEAM"),
                 QColor("#1f6fd1"), 13);
        };
        drawShirtPicture(p, QColor("#dde6ee"), QColor("#fafafa"), Neck::Round, QColor("#f0f0f0"),
                         emblem);
    });
    gallery("Tekstil/2.jpg", [](QPainter &p) {
        Print bigStar = [](QPainter &p, const QRectF &r) {
            p.setPen(Qt::NoPen);
            p.fillPath(star(r.center() + QPointF(0, -8), 36, 15), QColor("#fff4e0"));
            text(p, QRectF(r.left() - 20, r.bottom() - 28, r.width() + 40, 20),
                 QStringLiteral("STAR"), QColor("#fff4e0"), 16);
        };
        drawShirtPicture(p, QColor("#f1e4e0"), QColor("#d62839"), Neck::Round, QColor("#c21f30"),
                         bigStar);
    });
    gallery("Tekstil/3.jpg", [](QPainter &p) {
        Print badge = [](QPainter &p, const QRectF &r) {
            // small embroidered badge on the left breast
            const QPointF c(r.right() - 8, r.top() + 4);
            p.setPen(QPen(QColor("#f2c14e"), 1.5));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(c, 11, 11);
            p.setPen(Qt::NoPen);
            p.fillPath(star(c, 7, 3), QColor("#f2c14e"));
        };
        drawShirtPicture(p, QColor("#e2e6ea"), QColor("#1f2f57"), Neck::Polo, QColor("#233766"),
                         badge);
    });
    gallery("Tekstil/4.jpg", [](QPainter &p) {
        Print stripes = [](QPainter &p, const QRectF &r) {
            const QColor bands[]
                = {QColor("#e63946"), QColor("#f4a261"), QColor("#2a9d8f"), QColor("#264653")};
            p.setPen(Qt::NoPen);
            for (int i = 0; i < 4; ++i)
                p.fillRect(QRectF(r.left() - 6, r.top() + 30 + i * 9, r.width() + 12, 7), bands[i]);
            text(p, QRectF(r.left() - 30, r.top() - 2, r.width() + 60, 30), QStringLiteral("PRINT"),
                 QColor("#264653"), 24);
        };
        drawShirtPicture(p, QColor("#ecece6"), QColor("#b9bcc2"), Neck::Round, QColor("#a9adb4"),
                         stripes);
    });
    gallery("Tekstil/5.jpg", [](QPainter &p) {
        drawShirtPicture(p, QColor("#e4e9f1"), QColor("#f6d743"), Neck::Vee, QColor("#e8c52f"),
                         photoPrint(mountains, 4));
    });

    // ---- caps
    gallery("Beisbolki/1.jpg", [](QPainter &p) {
        studio(p, QColor("#ece4e0"), QColor("#ddd3cd"));
        Print logo = [](QPainter &p, const QRectF &r) {
            const QPointF c = r.center();
            p.setPen(QPen(Qt::white, 3));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(c, 24, 24);
            text(p, QRectF(c.x() - 24, c.y() - 24, 48, 48), QStringLiteral("A"), Qt::white, 30);
        };
        drawCap(p,
                {QColor("#d32f2f"), QColor("#d32f2f"), QColor("#c62828"), QColor("#d32f2f"), false,
                 logo});
    });
    gallery("Beisbolki/2.jpg", [](QPainter &p) {
        studio(p, QColor("#e2e9ef"), QColor("#d2dbe3"));
        Print wave = [](QPainter &p, const QRectF &r) {
            p.setPen(Qt::NoPen);
            for (int i = 0; i < 3; ++i) {
                QPainterPath w;
                const double y = r.top() + 20 + i * 12;
                w.moveTo(r.left(), y);
                w.cubicTo(r.left() + 25, y - 14, r.left() + 45, y + 14, r.right(), y - 2);
                w.lineTo(r.right(), y + 6);
                w.cubicTo(r.left() + 45, y + 22, r.left() + 25, y - 6, r.left(), y + 8);
                w.closeSubpath();
                p.fillPath(w, i == 1 ? QColor("#4aa3df") : QColor("#1b4f8a"));
            }
        };
        drawCap(p,
                {QColor("#1b3a6b"), QColor("#fbfbfb"), QColor("#1b3a6b"), QColor("#1b3a6b"), true,
                 wave});
    });
    gallery("Beisbolki/3.jpg", [](QPainter &p) {
        studio(p, QColor("#efeadb"), QColor("#e0d9c6"));
        Print embroidery = [](QPainter &p, const QRectF &r) {
            const QPointF c = r.center() + QPointF(2, 2);
            const QPainterPath s = star(c, 24, 10);
            p.setPen(Qt::NoPen);
            p.fillPath(s, QColor("#f5c518"));
            p.setPen(QPen(QColor("#b58b00"), 0.8, Qt::DotLine));
            p.setBrush(Qt::NoBrush);
            p.drawPath(star(c, 20, 8));
        };
        drawCap(p,
                {QColor("#222226"), QColor("#222226"), QColor("#f5c518"), QColor("#f5c518"), false,
                 embroidery});
    });

    // ---- puzzles
    gallery("Pazzl/1.jpg", [](QPainter &p) {
        tabletop(p, QColor("#e8e2d6"));
        const Jigsaw jig(QRectF(36, 32, 200, 150), 5, 4, 1);
        puzzleBoard(p, jig, meadow);
        hole(p, jig, 3, 2, QColor("#c9b99a"));
        loosePiece(p, jig, 3, 2, meadow, QPointF(272, 190), 24);
    });
    gallery("Pazzl/2.jpg", [](QPainter &p) {
        // heart-shaped puzzle
        tabletop(p, QColor("#f1e3ea"));
        const QPainterPath shape = heart(QPointF(160, 110), 210);
        softShadow(p, shape, QPointF(4, 6), 70);
        const QRectF box = shape.boundingRect();
        p.save();
        p.setClipPath(shape, Qt::IntersectClip);
        blossom(p, box);
        p.restore();
        const Jigsaw jig(box, 5, 4, 9);
        jig.drawCuts(p, shape);
        p.setPen(QPen(QColor(0, 0, 0, 110), 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(shape);
    });
    gallery("Pazzl/3.jpg", [](QPainter &p) {
        tabletop(p, QColor("#dfe6ea"));
        const Jigsaw jig(QRectF(24, 44, 216, 144), 6, 4, 4);
        puzzleBoard(p, jig, sunsetSea);
        hole(p, jig, 5, 0, QColor("#b9c4cc"));
        hole(p, jig, 4, 0, QColor("#b9c4cc"));
        hole(p, jig, 5, 1, QColor("#b9c4cc"));
        loosePiece(p, jig, 5, 0, sunsetSea, QPointF(276, 60), -18);
        loosePiece(p, jig, 4, 0, sunsetSea, QPointF(282, 130), 30);
        loosePiece(p, jig, 5, 1, sunsetSea, QPointF(264, 198), 8);
    });
    gallery("Pazzl/4.jpg", [](QPainter &p) {
        // framed puzzle
        tabletop(p, QColor("#e9e4dc"));
        QPainterPath frame;
        frame.addRect(QRectF(24, 20, 232, 192));
        softShadow(p, frame, QPointF(5, 7), 90);
        QLinearGradient wood(24, 20, 256, 212);
        wood.setColorAt(0, QColor("#b07a45"));
        wood.setColorAt(1, QColor("#7a4d26"));
        p.fillPath(frame, wood);
        p.setPen(QPen(QColor(60, 35, 15, 120), 1));
        for (int i = 0; i < 9; ++i)
            p.drawLine(QPointF(28, 24 + i * 22), QPointF(252, 28 + i * 22));
        p.fillRect(QRectF(36, 32, 208, 168), QColor("#5a3a1e"));
        const Jigsaw jig(QRectF(38, 34, 204, 164), 6, 5, 21);
        nightCity(p, jig.area);
        QPainterPath area;
        area.addRect(jig.area);
        jig.drawCuts(p, area);
        hole(p, jig, 2, 4, QColor("#4a3018"));
        loosePiece(p, jig, 2, 4, nightCity, QPointF(286, 196), -28);
    });

    // ---- coasters
    gallery("Kosteri/1.jpg", [](QPainter &p) {
        tabletop(p, QColor("#e4e9e6"));
        drawCoaster(
            p, QPointF(160, 112), 0.55, 0, circleShape(100), QColor("#a8773f"), 7, [](QPainter &p) {
                cork(p, 100);
                p.setPen(QPen(QColor("#8e1b2b"), 5));
                p.setBrush(Qt::NoBrush);
                p.drawEllipse(QPointF(0, 0), 70, 70);
                p.setPen(QPen(QColor("#8e1b2b"), 1.6));
                p.drawEllipse(QPointF(0, 0), 62, 62);
                // cup on the print
                p.setPen(Qt::NoPen);
                p.setBrush(QColor("#8e1b2b"));
                p.drawRoundedRect(QRectF(-24, -20, 40, 34), 6, 6);
                p.setPen(QPen(QColor("#8e1b2b"), 5));
                p.setBrush(Qt::NoBrush);
                p.drawEllipse(QPointF(20, -4), 9, 9);
                text(p, QRectF(-60, 22, 120, 26), QStringLiteral("CAFE"), QColor("#8e1b2b"), 20);
            });
    });
    gallery("Kosteri/2.jpg", [](QPainter &p) {
        tabletop(p, QColor("#ece7df"));
        auto face = [](QColor ink) {
            return [ink](QPainter &p) {
                p.fillRect(QRectF(-80, -80, 160, 160), QColor("#fbfbf8"));
                p.setPen(Qt::NoPen);
                for (int i = 0; i < 4; ++i) {
                    QPainterPath w;
                    const double y = -46 + i * 26;
                    w.moveTo(-80, y);
                    w.cubicTo(-40, y - 16, -20, y + 16, 20, y);
                    w.cubicTo(40, y - 8, 60, y - 10, 80, y);
                    w.lineTo(80, y + 9);
                    w.cubicTo(60, y - 1, 40, y + 1, 20, y + 9);
                    w.cubicTo(-20, y + 25, -40, y - 7, -80, y + 9);
                    w.closeSubpath();
                    p.fillPath(w, i % 2 ? shade(ink, 0.35) : ink);
                }
            };
        };
        drawCoaster(p, QPointF(120, 104), 0.55, 30, squareShape(120, 14), QColor("#d9d4c8"), 5,
                    face(QColor("#1f6fb2")));
        drawCoaster(p, QPointF(206, 146), 0.55, 18, squareShape(120, 14), QColor("#d9d4c8"), 5,
                    face(QColor("#e07a1f")));
        drawGlass(p, QPointF(122, 116), 52, 78);
    });
    gallery("Kosteri/3.jpg", [](QPainter &p) {
        // a set: a stack of coasters and one in use under a mug
        tabletop(p, QColor("#e9e5ef"));
        const QColor prints[]
            = {QColor("#6a4c93"), QColor("#1982c4"), QColor("#8ac926"), QColor("#ff595e")};
        for (int i = 0; i < 4; ++i) {
            const QColor ink = prints[i];
            drawCoaster(p, QPointF(88, 176 - i * 10), 0.5, 0, circleShape(62), shade(ink, -0.2), 4,
                        [ink](QPainter &p) {
                            p.fillRect(QRectF(-70, -70, 140, 140), QColor("#fbfbfb"));
                            p.setPen(QPen(ink, 8));
                            p.setBrush(Qt::NoBrush);
                            p.drawEllipse(QPointF(0, 0), 52, 52);
                            p.setPen(Qt::NoPen);
                            p.fillPath(heart(QPointF(0, -4), 46), ink);
                        });
        }
        drawCoaster(p, QPointF(226, 188), 0.5, 0, circleShape(70), QColor("#d14d54"), 4,
                    [](QPainter &p) {
                        p.fillRect(QRectF(-80, -80, 160, 160), QColor("#fbfbfb"));
                        blossom(p, QRectF(-70, -70, 140, 140));
                    });
        Mug m {QColor("#fbfbfb"), QColor("#6b3e26"), QColor("#fbfbfb"), 72, 72, 78, {}};
        drawMug(p, QPointF(218, 188), m);
    });

    return list;
}

// ---------------------------------------------------------------- GIF writer

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

bool save(const QImage &image, const QString &file)
{
    if (file.endsWith(QLatin1String(".gif"))) {
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
    if (file.endsWith(QLatin1String(".png")))
        return image.save(file, "PNG");
    return image.save(file, "JPEG", 85);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString outDir
        = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(PICTURES_DIR);
    int failures = 0;
    for (const Picture &pic : pictures()) {
        const QString file = QDir(outDir).filePath(pic.path);
        QDir().mkpath(QFileInfo(file).absolutePath());
        const bool opaque = !pic.path.endsWith(QLatin1String(".png"));
        const QImage image = paintPicture(pic.width, pic.height, pic.scene, opaque);
        if (save(image, file)) {
            std::printf("%s\n", qPrintable(file));
        } else {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            ++failures;
        }
    }
    return failures ? 1 : 0;
}
