// A dialog's designed size, cut down to the screen it opens on, so that a counter with a small
// display still sees its buttons.
#pragma once

#include <QSize>

class QWidget;

void resizeWithinScreen(QWidget *dialog, QSize designed);
