// Where each control of the order area goes in a larger window.
#include "app/order_area.h"

#include <QEvent>
#include <QWidget>

namespace {

// How a control follows the room gained: to the right edge, to the bottom edge, wider, taller.
struct Anchor
{
    const char *name;
    bool right;
    bool down;
    bool wider;
    bool taller;
};

// The form's controls and those made in code beside them. The table takes all the room; the
// column right of it moves with the right edge, its lower part (the template and the documents)
// with the bottom, as the line under the table does.
const Anchor Anchors[] = {
    {"tabWidget", false, false, true, false},
    {"tableWidget", false, false, true, true},
    {"frameStorageNotice", false, true, true, false},
    {"pushButton_4", true, false, false, false},
    {"frameRestoreNotice", true, false, false, false},
    {"pushButtonAccept", true, false, false, false},
    {"labelAcceptState", true, false, false, false},
    {"pushButtonCancelRevising", true, false, false, false},
    {"label_9", true, true, false, false},
    {"lineEdit_11", true, true, false, false},
    {"pushButtonChooseTemplate", true, true, false, false},
    {"pushButton_6", true, true, false, false},
    {"pushButtonPrint", true, true, false, false},
    {"pushButtonPdf", true, true, false, false},
    {"labelOrderTotal", false, true, true, false},
    {"pushButtonCustomLine", true, true, false, false},
    {"labelCustomer", true, true, false, false},
    {"lineEditCustomer", true, true, false, false},
    {"pushButtonCustomer", true, true, false, false},
};

} // namespace

OrderArea::OrderArea(QWidget *contents)
    : QObject(contents)
    , contents(contents)
    , designed(contents->minimumSize())
{
    setObjectName(QStringLiteral("orderArea"));
    contents->installEventFilter(this);
}

bool OrderArea::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((watched == contents && type == QEvent::Resize)
        || (watched != contents && (type == QEvent::Show || type == QEvent::Hide)))
        place();
    return QObject::eventFilter(watched, event);
}

void OrderArea::place()
{
    const int dx = qMax(0, contents->width() - designed.width());
    const int dy = qMax(0, contents->height() - designed.height());
    QWidget *notice = nullptr;
    QWidget *table = nullptr;
    for (const Anchor &anchor : Anchors) {
        auto *widget = contents->findChild<QWidget *>(QLatin1String(anchor.name),
                                                      Qt::FindDirectChildrenOnly);
        if (!widget)
            continue;
        const QString name = widget->objectName();
        if (!designedPlaces.contains(name)) {
            designedPlaces.insert(name, widget->geometry());
            if (name == QLatin1String("frameStorageNotice"))
                widget->installEventFilter(this);
        }
        QRect place = designedPlaces.value(name);
        place.translate(anchor.right ? dx : 0, anchor.down ? dy : 0);
        place.setSize(place.size() + QSize(anchor.wider ? dx : 0, anchor.taller ? dy : 0));
        widget->setGeometry(place);
        if (name == QLatin1String("frameStorageNotice"))
            notice = widget;
        else if (name == QLatin1String("tableWidget"))
            table = widget;
    }
    // A notice shown lies at the foot of the table, which gives up that room.
    if (notice && table && notice->isVisibleTo(contents)) {
        const QRect room = table->geometry();
        const int height
            = qMin(room.height() / 2,
                   notice->heightForWidth(room.width()) > 0 ? notice->heightForWidth(room.width())
                                                            : notice->sizeHint().height());
        table->setGeometry(room.adjusted(0, 0, 0, -height - 4));
        notice->setGeometry(room.left(), room.bottom() + 1 - height, room.width(), height);
        notice->raise();
    }
}
