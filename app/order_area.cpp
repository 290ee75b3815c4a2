// Where each control of the order area goes in a larger window.
#include "app/order_area.h"

#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableView>
#include <QToolBox>

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

// A shorter window than designed (a laptop's screen, a taskbar) first gives up the margins above
// the pages, then order table rows down to a few, then the pages' own height: they scroll inside
// their tool box while the order area stays in sight.
const int MarginRoom = 12;
const int TableRowsKept = 3;
const int PagesRoom = 200; // below that the whole window scrolls

} // namespace

OrderArea::OrderArea(QWidget *contents)
    : QObject(contents)
    , contents(contents)
    , designed(contents->minimumSize())
{
    setObjectName(QStringLiteral("orderArea"));
    contents->installEventFilter(this);
    // A page shorter than its controls scrolls in its tool box rather than cutting them off (its
    // width stays the tool box's: a second scroll bar would take more height still).
    for (QToolBox *box : contents->findChildren<QToolBox *>())
        for (int i = 0; i < box->count(); ++i) {
            QRect used;
            for (QWidget *child :
                 box->widget(i)->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
                // A dividing line may run on into the margin.
                const auto *frame = qobject_cast<QFrame *>(child);
                if (!frame || frame->frameShape() != QFrame::VLine)
                    used |= child->geometry();
            }
            box->widget(i)->setMinimumHeight(used.bottom() + 2);
        }
    remember();
    contents->setMinimumHeight(designed.height() - MarginRoom - PagesRoom - tableRoom(false));
}

int OrderArea::tableRoom(bool shown) const
{
    const auto place
        = [this](const char *name) { return designedPlaces.value(QLatin1String(name)); };
    const auto visible = [this, shown](const char *name) {
        const QWidget *widget = contents->findChild<QWidget *>(QLatin1String(name));
        return shown && widget && widget->isVisibleTo(contents);
    };
    const auto *table = contents->findChild<QTableView *>(QStringLiteral("tableWidget"));
    const int kept = table->horizontalHeader()->sizeHint().height() + 2 * table->frameWidth()
        + TableRowsKept * table->verticalHeader()->defaultSectionSize();
    int room = place("tableWidget").height() - kept;
    // The column right of the table: what is stacked from its top must stay clear of what rises
    // with its foot (the template's "…" and "Печать" under "Принять заказ" and the revision's
    // notice, the template's caption under the restore notice).
    const int print = place("pushButtonPrint").top();
    if (place("pushButtonChooseTemplate").isValid() && place("pushButtonAccept").isValid())
        room = qMin(
            room, place("pushButtonChooseTemplate").top() - place("pushButtonAccept").bottom() - 3);
    if (visible("pushButtonCancelRevising"))
        room = qMin(room, print - place("pushButtonCancelRevising").bottom() - 3);
    else if (visible("labelAcceptState"))
        room = qMin(room, print - place("labelAcceptState").bottom() - 3);
    if (visible("frameRestoreNotice"))
        room = qMin(room, templateCaption().top() - place("frameRestoreNotice").bottom() - 3);
    return qMax(0, room);
}

QRect OrderArea::templateCaption() const
{
    // Its two lines right above the path, rather than centred in the designed height.
    const QRect designedCaption = designedPlaces.value(QStringLiteral("label_9"));
    const auto *caption = contents->findChild<QWidget *>(QStringLiteral("label_9"));
    const int height = caption ? caption->heightForWidth(designedCaption.width()) : -1;
    if (height <= 0 || height >= designedCaption.height())
        return designedCaption;
    return designedCaption.adjusted(0, designedCaption.height() - height, 0, 0);
}

bool OrderArea::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((watched == contents && type == QEvent::Resize)
        || (watched != contents && (type == QEvent::Show || type == QEvent::Hide) && !placing))
        place();
    return QObject::eventFilter(watched, event);
}

void OrderArea::remember()
{
    // First met, every control is where the form or its maker put it.
    for (const Anchor &anchor : Anchors) {
        QWidget *widget = contents->findChild<QWidget *>(QLatin1String(anchor.name),
                                                         Qt::FindDirectChildrenOnly);
        if (widget && !designedPlaces.contains(widget->objectName())) {
            designedPlaces.insert(widget->objectName(), widget->geometry());
            widget->installEventFilter(this);
        }
    }
}

void OrderArea::place()
{
    remember();
    placing = true;
    const int dx = qMax(0, contents->width() - designed.width());
    const int dy = qMax(0, contents->height() - designed.height());
    const int shortBy = qMax(0, designed.height() - contents->height());
    const int margins = qMin(shortBy, MarginRoom);
    const int tableShrinks = qMin(shortBy - margins, tableRoom(true));
    const int pagesShrink = shortBy - margins - tableShrinks;
    // The tabs rise by half the margins, the tool boxes in them by the other half.
    const int tabsRise = margins / 2;
    const int boxesRise = margins - tabsRise;
    QWidget *notice = nullptr;
    QWidget *table = nullptr;
    for (const Anchor &anchor : Anchors) {
        auto *widget = contents->findChild<QWidget *>(QLatin1String(anchor.name),
                                                      Qt::FindDirectChildrenOnly);
        if (!widget)
            continue;
        const QString name = widget->objectName();
        QRect place = name == QLatin1String("label_9") && shortBy > 0 ? templateCaption()
                                                                      : designedPlaces.value(name);
        place.translate(anchor.right ? dx : 0, anchor.down ? dy : 0);
        place.setSize(place.size() + QSize(anchor.wider ? dx : 0, anchor.taller ? dy : 0));
        if (name == QLatin1String("tabWidget"))
            place.adjust(0, -tabsRise, 0, -tabsRise - boxesRise - pagesShrink);
        else if (anchor.down)
            place.translate(0, -shortBy);
        else
            place.translate(0, -margins - pagesShrink);
        if (anchor.taller)
            place.setHeight(place.height() - tableShrinks);
        widget->setGeometry(place);
        if (name == QLatin1String("frameStorageNotice"))
            notice = widget;
        else if (name == QLatin1String("tableWidget"))
            table = widget;
    }
    for (QToolBox *box : contents->findChildren<QToolBox *>()) {
        if (!designedPlaces.contains(box->objectName()))
            designedPlaces.insert(box->objectName(), box->geometry());
        box->setGeometry(designedPlaces.value(box->objectName())
                             .adjusted(0, -boxesRise, 0, -boxesRise - pagesShrink));
    }
    placing = false;
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
