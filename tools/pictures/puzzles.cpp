// Puzzles: jigsaw cuts whose neighbouring pieces share one curve, holes and loose pieces.
#include "puzzles.h"

#include "painting.h"

#include <QTransform>

namespace pictures {

Jigsaw::Jigsaw(const QRectF &a, int c, int r, quint32 seed)
    : area(a)
    , columns(c)
    , rows(r)
{
    Dice dice {seed};
    for (int i = 0; i < (rows - 1) * columns; ++i)
        across << (dice.next() < 0.5 ? 1 : -1);
    for (int i = 0; i < rows * (columns - 1); ++i)
        down << (dice.next() < 0.5 ? 1 : -1);
}

QPointF Jigsaw::corner(int col, int row) const
{
    return QPointF(area.left() + area.width() * col / columns,
                   area.top() + area.height() * row / rows);
}

// Edge from a to b; a knob bulges to the left of the travel direction when bulge > 0
// (screen coordinates, y down), so both neighbours trace the very same curve.
void Jigsaw::edge(QPainterPath &path, QPointF a, QPointF b, int bulge)
{
    if (!bulge) {
        path.lineTo(b);
        return;
    }
    const QPointF d = b - a;
    const QPointF n = QPointF(d.y(), -d.x()) * bulge;
    auto pt = [&](double t, double s) { return a + d * t + n * s; };
    path.lineTo(pt(0.36, 0));
    path.cubicTo(pt(0.44, 0.0), pt(0.34, 0.2), pt(0.5, 0.22));
    path.cubicTo(pt(0.66, 0.2), pt(0.56, 0.0), pt(0.64, 0));
    path.lineTo(b);
}

QPainterPath Jigsaw::piece(int col, int row) const
{
    const int top = row > 0 ? across[(row - 1) * columns + col] : 0;
    const int bottom = row < rows - 1 ? across[row * columns + col] : 0;
    const int left = col > 0 ? down[row * (columns - 1) + col - 1] : 0;
    const int right = col < columns - 1 ? down[row * (columns - 1) + col] : 0;
    // across > 0: the knob points down; down > 0: the knob points right
    QPainterPath path;
    path.moveTo(corner(col, row));
    edge(path, corner(col, row), corner(col + 1, row), -top);
    edge(path, corner(col + 1, row), corner(col + 1, row + 1), -right);
    edge(path, corner(col + 1, row + 1), corner(col, row + 1), bottom);
    edge(path, corner(col, row + 1), corner(col, row), left);
    path.closeSubpath();
    return path;
}

void Jigsaw::drawCuts(QPainter &p, const QPainterPath &clip) const
{
    p.save();
    p.setClipPath(clip, Qt::IntersectClip);
    p.setBrush(Qt::NoBrush);
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < columns; ++col) {
            const QPainterPath pc = piece(col, row);
            p.setPen(QPen(QColor(255, 255, 255, 70), 1.0));
            p.drawPath(pc.translated(0.7, 0.7));
            p.setPen(QPen(QColor(0, 0, 0, 110), 0.9));
            p.drawPath(pc);
        }
    p.restore();
}

void loosePiece(QPainter &p, const Jigsaw &jig, int col, int row, Scenery scenery, QPointF to,
                double angle)
{
    const QPainterPath pc = jig.piece(col, row);
    const QPointF centre = pc.boundingRect().center();
    QTransform t;
    t.translate(to.x(), to.y());
    t.rotate(angle);
    t.translate(-centre.x(), -centre.y());
    const QPainterPath placed = t.map(pc);
    softShadow(p, placed, QPointF(3, 5), 70);
    p.save();
    p.setClipPath(placed, Qt::IntersectClip);
    p.setTransform(t, true);
    scenery(p, jig.area);
    p.restore();
    p.setPen(QPen(QColor(0, 0, 0, 120), 0.9));
    p.setBrush(Qt::NoBrush);
    p.drawPath(placed);
}

void hole(QPainter &p, const Jigsaw &jig, int col, int row, const QColor &backing)
{
    const QPainterPath pc = jig.piece(col, row);
    p.fillPath(pc, backing);
    p.save();
    p.setClipPath(pc, Qt::IntersectClip);
    p.setPen(QPen(QColor(0, 0, 0, 90), 4));
    p.setBrush(Qt::NoBrush);
    p.drawPath(pc.translated(1.5, 2));
    p.restore();
}

void puzzleBoard(QPainter &p, const Jigsaw &jig, Scenery scenery)
{
    QPainterPath outline;
    outline.addRect(jig.area);
    softShadow(p, outline, QPointF(4, 6), 70);
    scenery(p, jig.area);
    jig.drawCuts(p, outline);
}

} // namespace pictures
