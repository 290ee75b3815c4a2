// Puzzles: a jigsaw cut over a scenery, holes where pieces are missing and loose pieces.
#pragma once

#include "scenery.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QVector>

namespace pictures {

struct Jigsaw
{
    QRectF area;
    int columns;
    int rows;
    QVector<int> across; // knob direction of the horizontal cuts, row-major, rows - 1 lines
    QVector<int> down; // knob direction of the vertical cuts, columns - 1 per row

    Jigsaw(const QRectF &a, int c, int r, quint32 seed);
    QPointF corner(int col, int row) const;
    QPainterPath piece(int col, int row) const;
    void drawCuts(QPainter &p, const QPainterPath &clip) const;

private:
    static void edge(QPainterPath &path, QPointF a, QPointF b, int bulge);
};

// A piece lifted out of the puzzle and laid down elsewhere.
void loosePiece(QPainter &p, const Jigsaw &jig, int col, int row, Scenery scenery, QPointF to,
                double angle);
void hole(QPainter &p, const Jigsaw &jig, int col, int row, const QColor &backing);
void puzzleBoard(QPainter &p, const Jigsaw &jig, Scenery scenery);

} // namespace pictures
