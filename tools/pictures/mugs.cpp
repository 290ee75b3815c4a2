// Mugs: body, handle, rim and the print under the body's roundness.
#include "mugs.h"

#include "painting.h"

#include <QLinearGradient>
#include <QPainterPath>

#include <algorithm>

namespace pictures {

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

} // namespace pictures
