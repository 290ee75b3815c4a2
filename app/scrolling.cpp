// The scrolling window.
#include "app/scrolling.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>

void scrollContents(QMainWindow *window)
{
    const QSize designed = window->size()
        - QSize(0,
                window->menuBar()->sizeHint().height() + window->statusBar()->sizeHint().height());
    QWidget *contents = window->takeCentralWidget();
    contents->setMinimumSize(designed);
    auto *area = new QScrollArea(window);
    area->setObjectName(QStringLiteral("scrollAreaWindow"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(contents);
    window->setCentralWidget(area);
}

void fitToScreen(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The frame is not known before the window is shown: room for a title bar and borders.
    const QSize frame(8, 38);
    const QRect free = screen->availableGeometry();
    const QSize room = free.size() - frame;
    QSize fits = window->size();
    if (fits.height() > room.height()) {
        // The contents will scroll up and down: room for the scroll bar beside them.
        fits.rwidth() += window->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    }
    fits = fits.boundedTo(room);
    if (fits == window->size())
        return;
    window->resize(fits);
    window->move(free.topLeft());
}
