// The window's contents follow a window larger than designed (a maximised one): the order table
// takes the room, the controls beside and under it keep to its edges, the pages keep their
// designed geometry. A shorter one (a laptop, a taskbar) keeps the order area in sight: the
// margins, then table rows, then the pages' height give way. A notice in the order area (a storage
// warning) takes its room from the table.
#pragma once

#include <QHash>
#include <QObject>
#include <QRect>
#include <QSize>

class QWidget;

class OrderArea : public QObject
{
public:
    // contents: the window's central widget at its designed size (its minimum size).
    explicit OrderArea(QWidget *contents);

    // Places every control for the contents' size now.
    void place();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // How many pixels the order table may give up with the controls beside it shown now (or
    // with none of those that come and go).
    int tableRoom(bool shown) const;
    void remember();
    QRect templateCaption() const;

    QWidget *contents;
    bool placing = false;
    QSize designed;
    QHash<QString, QRect> designedPlaces; // by object name, as first met
};
