// Coasters: a coaster lying on the table in perspective, its shapes and faces, and a glass
// to stand on it.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace pictures {

// Draws a coaster lying on the table: the shape is given flat, centred at the origin, and
// squashed into perspective; thick is the visible edge in pixels.
void drawCoaster(QPainter &p, QPointF centre, double tilt, double turn, const QPainterPath &shape,
                 const QColor &edge, double thick, const std::function<void(QPainter &)> &face);
QPainterPath circleShape(double radius);
QPainterPath squareShape(double side, double corner);
// A tumbler of juice standing on a coaster.
void drawGlass(QPainter &p, QPointF base, double width, double height);
// A cork face filling a circle of the given radius.
void cork(QPainter &p, double radius);

} // namespace pictures
