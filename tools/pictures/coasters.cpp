// Coasters: the tilted coaster with its edge, the glass of juice, the cork face.
#include "coasters.h"

#include "painting.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <QTransform>

namespace pictures {

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

} // namespace pictures
