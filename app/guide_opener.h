// "Справка" and F1: the staff's guide (guide/guide.md, rendered to HTML at build time) opened in
// the desktop's browser. Gets the window it listens on and the prompts, never the main window.
// The button sits in the window's status bar: the window buttons' corner has no room left beside
// the tabs, and the menu bar stays empty.
#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class Prompts;
class QToolButton;
class QUrl;
class QWidget;

class GuideOpener : public QObject
{
    Q_OBJECT

public:
    // F1 is heard anywhere in the window; the "Справка" button is made for its status bar.
    GuideOpener(QWidget *window, Prompts &prompts);

    QToolButton *button() const { return guideButton; }

    // Where the guide may be, first found first: installed with the package (share/printcalc/
    // guide beside the program's bin folder), then the build's own rendering.
    static QStringList places();
    // Opens the first guide of the places, or tells the operator where it should be.
    void open();

    // Where to look; places() unless a test gives its own.
    QStringList lookIn = places();
    // What opens the guide: the desktop's browser unless a test gives its own; false when it
    // could not.
    std::function<bool(const QUrl &url)> openUrl;

private:
    Prompts &prompts;
    QToolButton *guideButton;
};
