// T-shirts: outline, cloth shading, seams and the round, V or polo neck.
#include "shirts.h"

#include "painting.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace pictures {

namespace {

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

} // namespace

void drawShirtPicture(QPainter &p, const QColor &wall, const QColor &c, Neck neck,
                      const QColor &trim, const Print &print)
{
    tabletop(p, wall);
    drawShirt(p, c, neck, trim, print);
}

} // namespace pictures
