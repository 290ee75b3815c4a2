// "Своя строка" (Ctrl+N) in the order area: a line typed by hand; on the engraving and design
// pages it starts with what the page has chosen.
#include "app/mainwindow.h"

#include "dialogs/custom_line_dialog.h"
#include "form/mainwindow_form.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBox>

#include <algorithm>

namespace {

// "Гравировка: 20 мм; Чёрная": the page's title, then every checked option, group by group as
// the page reads (left to right, top to bottom).
QString chosenOptions(const QString &title, const QWidget *page)
{
    QList<QGroupBox *> groups = page->findChildren<QGroupBox *>();
    std::stable_sort(groups.begin(), groups.end(), [page](const QGroupBox *a, const QGroupBox *b) {
        const QPoint pa = a->mapTo(page, QPoint());
        const QPoint pb = b->mapTo(page, QPoint());
        return pa.x() != pb.x() ? pa.x() < pb.x() : pa.y() < pb.y();
    });
    QStringList chosen;
    for (const QGroupBox *group : qAsConst(groups)) {
        for (const QAbstractButton *button :
             group->findChildren<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (button->isCheckable() && button->isChecked() && !button->text().isEmpty())
                chosen << button->text();
        }
    }
    return chosen.isEmpty() ? title
                            : title + QStringLiteral(": ") + chosen.join(QStringLiteral("; "));
}

// The services ticked on a page that lists them as boxes of its own (the design page), in the
// order the page reads.
QStringList tickedServices(const QWidget *page)
{
    QList<QAbstractButton *> boxes
        = page->findChildren<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly);
    std::stable_sort(boxes.begin(), boxes.end(),
                     [](const QAbstractButton *a, const QAbstractButton *b) {
                         return a->x() != b->x() ? a->x() < b->x() : a->y() < b->y();
                     });
    QStringList ticked;
    for (const QAbstractButton *box : qAsConst(boxes))
        if (box->isCheckable() && box->isChecked() && !box->text().isEmpty())
            ticked << box->text();
    return ticked;
}

} // namespace

void MainWindow::initCustomLine()
{
    auto *button = new QPushButton(QStringLiteral("Своя строка"), form->centralwidget);
    button->setObjectName(QStringLiteral("pushButtonCustomLine"));
    button->setToolTip(QStringLiteral("Строка с описанием и ценой, набранными вручную (Ctrl+N)"));
    // Under the order table, at its right edge; the total holds the left part.
    const int width = qMax(90, button->sizeHint().width());
    button->setGeometry(1051 - width, 745, width, 23);
    connect(button, &QPushButton::clicked, this, [this] { openCustomLine(); });
    auto *key = new QAction(this);
    key->setShortcut(Qt::CTRL | Qt::Key_N);
    key->setShortcutContext(Qt::WindowShortcut);
    addAction(key);
    connect(key, &QAction::triggered, this, [this] { openCustomLine(); });
}

CustomLineDialog *MainWindow::openCustomLine()
{
    if (auto *open = findChild<CustomLineDialog *>(QString(), Qt::FindDirectChildrenOnly)) {
        open->raise();
        open->activateWindow();
        return open;
    }
    MainWindowForm *f = form.data();
    QString prefix;
    QStringList services;
    const QWidget *tab = f->tabWidget->currentWidget();
    if (tab == f->tab_4) {
        prefix = chosenOptions(f->tabWidget->tabText(f->tabWidget->currentIndex()), tab);
        services = tickedServices(tab);
    } else if (const auto *box = tab->findChild<QToolBox *>();
               box && box->currentWidget() == f->page_6)
        prefix = chosenOptions(box->itemText(box->currentIndex()), f->page_6);
    auto *dialog = new CustomLineDialog(
        prefix, [this](const OrderLine &line) { appendOrderLine(line); }, this, services);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}
