// Caps: a baseball cap seen from the front left, with a logo on the front panels.
#pragma once

#include "scenery.h"

#include <QColor>
#include <QPainter>

namespace pictures {

struct Cap
{
    QColor crown;
    QColor front; // front panels; differs from the crown on a trucker cap
    QColor visor;
    QColor button;
    bool mesh = false;
    Print logo;
};

void drawCap(QPainter &p, const Cap &cap);

} // namespace pictures
