// T-shirts: a shirt laid flat with a print on the chest.
#pragma once

#include "scenery.h"

#include <QColor>
#include <QPainter>

namespace pictures {

enum class Neck { Round, Vee, Polo };

void drawShirtPicture(QPainter &p, const QColor &wall, const QColor &c, Neck neck,
                      const QColor &trim, const Print &print);

} // namespace pictures
