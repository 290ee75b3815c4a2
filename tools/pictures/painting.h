// Painting helpers every picture uses: supersampled painting, colour mixing, captions, the
// studio and tabletop backdrops, shadows, a few shapes and a deterministic random source.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace pictures {

// Size of a souvenir gallery sample.
constexpr double W = 320;
constexpr double H = 240;

using Scene = std::function<void(QPainter &)>;

QImage paintPicture(int width, int height, const Scene &scene, bool opaque = true);
QColor shade(const QColor &c, double k);
QColor withAlpha(QColor c, int alpha);
QFont font(double pixelSize, bool bold = true);
void text(QPainter &p, const QRectF &r, const QString &s, const QColor &c, double size,
          bool bold = true);
void studio(QPainter &p, const QColor &wall, const QColor &table);
void tabletop(QPainter &p, const QColor &c);
void contactShadow(QPainter &p, QPointF centre, double rx, double ry, int alpha = 90);
void softShadow(QPainter &p, const QPainterPath &shape, QPointF offset, int alpha = 70);
QPainterPath star(QPointF c, double outer, double inner, int points = 5);
QPainterPath heart(QPointF c, double size);

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

} // namespace pictures
