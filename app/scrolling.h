// A window that fits smaller screens: its contents scroll instead of being cut.
#pragma once

#include <QSize>

class QMainWindow;
class QWidget;

// Makes a scroll area the window's central widget, holding the former central widget at the
// size it has in the designed window; at that size and above nothing scrolls.
void scrollContents(QMainWindow *window);

// Shrinks a window larger than its screen's free area (a taskbar takes part of it) so that it
// opens whole; a window that fits keeps its size.
void fitToScreen(QWidget *window);

// The size fitToScreen gives a window on a screen with that much free room.
QSize sizeOnScreen(const QWidget *window, const QSize &available);
