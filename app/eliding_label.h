// A label that gives up room when its row is short: its text is cut with "…" at the width it
// gets (the whole text stays in text() and is shown once there is room).
#pragma once

#include <QLabel>

class ElidingLabel : public QLabel
{
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};
