// Painting helpers shared by every picture.
#include "painting.h"

#include <QLinearGradient>
#include <QRadialGradient>

#include <cmath>

namespace pictures {

// Paints at twice the size and scales down smoothly: cheap supersampling for crisp small
// details such as stitching and puzzle cuts.
QImage paintPicture(int width, int height, const Scene &scene, bool opaque)
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

QFont font(double pixelSize, bool bold)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(qRound(pixelSize));
    f.setBold(bold);
    return f;
}

void text(QPainter &p, const QRectF &r, const QString &s, const QColor &c, double size, bool bold)
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

void contactShadow(QPainter &p, QPointF centre, double rx, double ry, int alpha)
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
void softShadow(QPainter &p, const QPainterPath &shape, QPointF offset, int alpha)
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

QPainterPath star(QPointF c, double outer, double inner, int points)
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

} // namespace pictures
