// Folding icons: a sheet on a tile with red crease lines and blue arrows showing how its
// panels turn.
#pragma once

#include <QPainter>
#include <QPointF>
#include <QVector>

namespace pictures {

// A sheet seen from above at an angle. The profile lists the sheet's cross-section as
// (x along the table, height above it); the sheet runs back into the picture by `depth`.
struct Sheet
{
    QVector<QPointF> profile;
    double depth = 64;
};

struct Turn
{
    QPointF hinge;
    double radius;
    double fromDeg;
    double toDeg;
};

void foldingTile(QPainter &p);
// Draws the sheet scaled to fill the icon, with red crease lines and blue turn arrows.
void drawFolding(QPainter &p, const Sheet &sheet, const QVector<int> &creases,
                 const QVector<Turn> &turns);

} // namespace pictures
