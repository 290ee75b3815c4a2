// Pens: a ballpoint pen lying on a table, plain, metal, capped or with a stylus.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QString>

namespace pictures {

struct Pen
{
    QColor barrel;
    QColor grip;
    QColor trim; // clip and push button
    bool metalTrim = false;
    bool rubberGrip = false;
    bool stylus = false;
    bool capped = false;
    bool translucent = false;
    QString print;
    QColor printColour;
};

extern const QColor chromeColour;
extern const QColor goldColour;

QPainterPath penSilhouette(const Pen &pen);
// Pen lying along the x axis, tip at x = -128, end at x = +124.
void drawPen(QPainter &p, const Pen &pen);
void drawPenPicture(QPainter &p, const QColor &surface, const Pen &pen, double angle);

} // namespace pictures
