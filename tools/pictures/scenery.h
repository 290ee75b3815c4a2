// Printed scenery: small illustrations that fill a rectangle, printed on mugs, shirts,
// puzzles and coasters, and the print types the products take.
#pragma once

#include <QPainter>
#include <QRectF>

#include <functional>

namespace pictures {

// What is printed on a product, painted into the rectangle it is given.
using Print = std::function<void(QPainter &, const QRectF &)>;
using Scenery = void (*)(QPainter &, const QRectF &);

void meadow(QPainter &p, const QRectF &r);
void sunsetSea(QPainter &p, const QRectF &r);
void nightCity(QPainter &p, const QRectF &r);
void mountains(QPainter &p, const QRectF &r);
void blossom(QPainter &p, const QRectF &r);

// A scenery as a photo with rounded corners; a negative inset lets it overflow the print area.
Print photoPrint(Scenery scenery, double inset = 0);

} // namespace pictures
