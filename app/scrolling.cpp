// The scrolling window.
#include "app/scrolling.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>

void scrollContents(QMainWindow *window)
{
    const QSize designed = window->size()
        - QSize(0, window->menuBar()->sizeHint().height() + window->statusBar()->sizeHint().height());
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
    const QSize fits = window->size().boundedTo(free.size() - frame);
    if (fits == window->size())
        return;
    window->resize(fits);
    window->move(free.topLeft());
}
