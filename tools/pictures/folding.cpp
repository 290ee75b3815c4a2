// Folding icons: the sheet projected in panels lit from the upper left, creases and arrows.
#include "folding.h"

#include "painting.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace pictures {

namespace {

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

} // namespace

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

namespace {

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

} // namespace

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

} // namespace pictures
