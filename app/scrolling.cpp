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

QSize sizeOnScreen(const QWidget *window, const QSize &available)
{
    // The frame is not known before the window is shown: room for a title bar and borders.
    const QSize room = available - QSize(8, 38);
    QSize fits = window->size();
    if (fits.height() > room.height()) {
        // The contents will scroll up and down: room for the scroll bar beside them.
        fits.rwidth() += window->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    }
    return fits.boundedTo(room);
}

void fitToScreen(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect free = screen->availableGeometry();
    const QSize fits = sizeOnScreen(window, free.size());
    if (fits == window->size())
        return;
    window->resize(fits);
    window->move(free.topLeft());
}
