// Pens: the barrel built from shaded cylinder sections, the clip, the print.
#include "pens.h"

#include "painting.h"

#include <QLinearGradient>
#include <QPolygonF>
#include <QTransform>

#include <algorithm>

namespace pictures {

const QColor chromeColour("#c9cfd6");
const QColor goldColour("#d8b45a");

namespace {

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

} // namespace

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

} // namespace pictures
