// Caps: crown, mesh back of a trucker cap, seams, eyelets, visor and button.
#include "caps.h"

#include "painting.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace pictures {

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

} // namespace pictures
