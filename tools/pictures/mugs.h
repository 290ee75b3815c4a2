// Mugs: a mug standing in the studio with a print wrapped round it, and the prints of the
// mug pictures.
#pragma once

#include "scenery.h"

#include <QColor>
#include <QPainter>
#include <QString>

namespace pictures {

struct Mug
{
    QColor body;
    QColor inside;
    QColor handle;
    double topWidth = 122;
    double bottomWidth = 122;
    double height = 130;
    Print print;
};

void drawMug(QPainter &p, QPointF base, const Mug &m);
void drawMugPicture(QPainter &p, const QColor &wall, const Mug &m);
Print heartPrint(const QColor &c);
Print logoPrint(const QColor &c, const QString &word);

} // namespace pictures
