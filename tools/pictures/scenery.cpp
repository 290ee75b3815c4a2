// Printed scenery: a meadow, a sunset over the sea, a night city, mountains and blossom.
#include "scenery.h"

#include "painting.h"

#include <QLinearGradient>
#include <QVector>

#include <algorithm>
#include <cmath>

namespace pictures {

namespace {

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

} // namespace

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

Print photoPrint(Scenery scenery, double inset)
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

} // namespace pictures
