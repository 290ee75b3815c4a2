// The busy cursor for as long as the guard lives: the arrow with a clock while the window still
// answers (an export beside it), the hourglass while it does not (a PDF painted on its thread).
#pragma once

#include <QApplication>

class BusyCursor
{
public:
    explicit BusyCursor(Qt::CursorShape shape = Qt::BusyCursor)
    {
        QApplication::setOverrideCursor(shape);
    }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};
