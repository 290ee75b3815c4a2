// The eliding label's smallest size and its painting.
#include "app/eliding_label.h"

#include <QPainter>
#include <QStyle>

QSize ElidingLabel::minimumSizeHint() const
{
    const int few = fontMetrics().horizontalAdvance(text().left(12) + QStringLiteral("…"));
    return QSize(qMin(few, QLabel::minimumSizeHint().width()), QLabel::minimumSizeHint().height());
}

void ElidingLabel::paintEvent(QPaintEvent *event)
{
    if (fontMetrics().horizontalAdvance(text()) <= contentsRect().width()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
    style()->drawItemText(&painter, contentsRect(), int(alignment()), palette(), isEnabled(), shown,
                          foregroundRole());
}
