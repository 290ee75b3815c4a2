#include "dialogs/screen_fit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void resizeWithinScreen(QWidget *dialog, QSize designed)
{
    const QWidget *owner = dialog->parentWidget() ? dialog->parentWidget() : dialog;
    const QScreen *screen = owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    // A tenth of the screen is left for the window frame and the desktop's panels.
    if (screen)
        designed = designed.boundedTo(screen->availableGeometry().size() * 9 / 10);
    dialog->resize(designed);
}
