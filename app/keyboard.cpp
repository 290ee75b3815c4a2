// The window without a mouse: Enter presses the page's "Ответ", Ctrl+1…Ctrl+4 open the tabs,
// Ctrl+PgUp/Ctrl+PgDn turn a tab's tool box, Delete removes the selected order lines, Ctrl+Z
// brings back removed lines, Ctrl+E exports, F3 opens the alternatives; and each pricing page's
// tab order.
#include "app/mainwindow.h"

#include "form/mainwindow_form.h"
#include "order/order.h"

#include <QAction>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolBox>

#include <algorithm>

namespace {

QAction *addKeys(QWidget *owner, const QList<QKeySequence> &keys, Qt::ShortcutContext context)
{
    auto *action = new QAction(owner);
    action->setShortcuts(keys);
    action->setShortcutContext(context);
    owner->addAction(action);
    return action;
}

// The platform reads Ctrl+E in a field as "end of line"; at this counter it means "Экспорт",
// wherever the focus is.
class ExportKeyInFields : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_E && key->modifiers() == Qt::ControlModifier) {
                event->ignore();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// Widgets in reading order: by rows (centres less than a few pixels apart share a row), then
// left to right.
void sortInRows(QList<QWidget *> &widgets, const QWidget *page)
{
    const auto centre
        = [page](const QWidget *widget) { return widget->mapTo(page, widget->rect().center()); };
    std::stable_sort(widgets.begin(), widgets.end(), [&](const QWidget *a, const QWidget *b) {
        const QPoint ca = centre(a);
        const QPoint cb = centre(b);
        if (qAbs(ca.y() - cb.y()) > 6)
            return ca.y() < cb.y();
        return ca.x() < cb.x();
    });
}

// The page's groups left to right and top to bottom within a column, each group's options in
// reading order; then the number fields, then the buttons.
QList<QWidget *> tabChain(QWidget *page, const QList<QWidget *> &numberFields,
                          const QList<QWidget *> &buttons)
{
    QList<QGroupBox *> groups
        = page->findChildren<QGroupBox *>(QString(), Qt::FindDirectChildrenOnly);
    std::stable_sort(groups.begin(), groups.end(), [](const QGroupBox *a, const QGroupBox *b) {
        return a->x() != b->x() ? a->x() < b->x() : a->y() < b->y();
    });
    QList<QWidget *> chain;
    for (QGroupBox *group : qAsConst(groups)) {
        QList<QWidget *> options;
        for (QWidget *widget : group->findChildren<QWidget *>()) {
            if ((widget->focusPolicy() & Qt::TabFocus) && !numberFields.contains(widget))
                options << widget;
        }
        sortInRows(options, page);
        chain << options;
    }
    return chain << numberFields << buttons;
}

void setTabChain(const QList<QWidget *> &chain)
{
    for (int i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain.at(i - 1), chain.at(i));
}

// Puts the focus on the first option of a page the keyboard brought up: the checked one of its
// group, as Tab would.
void focusPage(QWidget *page)
{
    QWidget *first = nullptr;
    for (QWidget *widget = page->nextInFocusChain(); widget != page;
         widget = widget->nextInFocusChain()) {
        if (page->isAncestorOf(widget) && (widget->focusPolicy() & Qt::TabFocus)
            && widget->isVisible() && widget->isEnabled()) {
            first = widget;
            break;
        }
    }
    if (!first)
        return;
    if (qobject_cast<QRadioButton *>(first)) {
        for (auto *sibling : first->parentWidget()->findChildren<QRadioButton *>(
                 QString(), Qt::FindDirectChildrenOnly)) {
            if (sibling->isChecked()) {
                first = sibling;
                break;
            }
        }
    }
    first->setFocus(Qt::ShortcutFocusReason);
}

} // namespace

void MainWindow::initKeyboard()
{
    MainWindowForm *f = form.data();
    for (const PricingPageParts &page : qAsConst(pricingPages)) {
        QList<QWidget *> buttons {page.answer};
        if (page.hasAlternatives())
            buttons << findChild<QPushButton *>(page.compareName);
        setTabChain(tabChain(page.page, page.numberFields, buttons));
        QAction *enter
            = addKeys(page.page, {Qt::Key_Return, Qt::Key_Enter}, Qt::WidgetWithChildrenShortcut);
        QPushButton *answer = page.answer;
        connect(enter, &QAction::triggered, this, [this, answer] {
            // A focused push button of the page (the alternatives) answers Enter itself.
            auto *focused = qobject_cast<QPushButton *>(focusWidget());
            (focused && focused != answer ? focused : answer)->click();
        });
    }

    const QList<QKeySequence> tabKeys
        = {Qt::CTRL | Qt::Key_1, Qt::CTRL | Qt::Key_2, Qt::CTRL | Qt::Key_3, Qt::CTRL | Qt::Key_4};
    const auto pageOfTab = [f](int tab) -> QWidget * {
        QWidget *page = f->tabWidget->widget(tab);
        const auto *box = page->findChild<QToolBox *>();
        return box ? box->currentWidget() : page;
    };
    for (int tab = 0; tab < f->tabWidget->count() && tab < tabKeys.size(); ++tab) {
        connect(addKeys(this, {tabKeys.at(tab)}, Qt::WindowShortcut), &QAction::triggered, this,
                [f, tab, pageOfTab] {
                    f->tabWidget->setCurrentIndex(tab);
                    focusPage(pageOfTab(tab));
                });
    }
    for (const int step : {-1, 1}) {
        const QKeySequence key = Qt::CTRL | (step < 0 ? Qt::Key_PageUp : Qt::Key_PageDown);
        connect(addKeys(this, {key}, Qt::WindowShortcut), &QAction::triggered, this, [f, step] {
            auto *box = f->tabWidget->currentWidget()->findChild<QToolBox *>();
            if (!box || box->count() < 2)
                return;
            box->setCurrentIndex((box->currentIndex() + step + box->count()) % box->count());
            focusPage(box->currentWidget());
        });
    }

    connect(addKeys(f->tableWidget, {QKeySequence::Delete}, Qt::WidgetShortcut),
            &QAction::triggered, this, [this] { removeSelectedOrderLines(); });
    // A text field keeps Ctrl+Z for its own undo: it claims the key before the window sees it.
    connect(addKeys(this, {QKeySequence::Undo}, Qt::WindowShortcut), &QAction::triggered, this,
            [this] { undoOrderChange(); });
    connect(addKeys(this, {Qt::CTRL | Qt::Key_E}, Qt::WindowShortcut), &QAction::triggered,
            f->pushButton_6, &QPushButton::click);
    auto *exportKey = new ExportKeyInFields(this);
    for (QLineEdit *field : f->centralwidget->findChildren<QLineEdit *>())
        field->installEventFilter(exportKey);
    connect(addKeys(this, {Qt::Key_F3}, Qt::WindowShortcut), &QAction::triggered, this,
            [this] { openAlternatives(); });
}

void MainWindow::removeSelectedOrderLines()
{
    QTableWidget *table = form->tableWidget;
    QVector<int> rows;
    for (const QModelIndex &index : table->selectionModel()->selectedIndexes())
        rows << index.row();
    orderModel->removeRows(rows);
}

bool MainWindow::undoOrderChange()
{
    const int row = orderModel->undo();
    if (row < 0)
        return false;
    // Once the table has laid out the lines put back.
    QTableWidget *table = form->tableWidget;
    QTimer::singleShot(0, table, [table, row] {
        if (row < table->rowCount())
            table->scrollTo(table->model()->index(row, OrderLine::Description));
    });
    return true;
}
