// Drives a page of the real window as the operator does: clicks on the boxes' captions, typed
// text, "Ответ", and the order line read back from the table.
#pragma once

#include "app/mainwindow.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTableWidget>
#include <QtTest>

struct OrderLine
{
    QString description, quantity, price, keyText, titles;
    bool marker = false;
};

class WideFormatPage
{
public:
    MainWindow *window = nullptr;

    template<class T> T *find(const QString &name) const
    {
        T *widget = window->findChild<T *>(name);
        if (!widget)
            qFatal("the window has no %s", qPrintable(name));
        return widget;
    }

    // A grid stretches its buttons; a click takes only on the box and its caption.
    void click(const QString &name) const
    {
        auto *button = find<QAbstractButton>(name);
        QRect area = button->rect();
        if (!qobject_cast<QPushButton *>(button)) {
            QStyleOptionButton option;
            option.initFrom(button);
            const auto element = qobject_cast<QRadioButton *>(button)
                ? QStyle::SE_RadioButtonClickRect
                : QStyle::SE_CheckBoxClickRect;
            area = button->style()->subElementRect(element, &option, button);
        }
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, area.center());
    }

    void type(const QString &field, const QString &text) const
    {
        auto *edit = find<QLineEdit>(field);
        edit->clear();
        QTest::keyClicks(edit, text);
    }

    // Presses the answer button; an empty line if it did not append exactly one.
    OrderLine answer(const QString &button) const
    {
        auto *table = find<QTableWidget>(QStringLiteral("tableWidget"));
        const int row = table->rowCount();
        click(button);
        if (table->rowCount() != row + 1)
            return {};
        auto text = [&](int column) {
            const QTableWidgetItem *item = table->item(row, column);
            return item ? item->text() : QString();
        };
        return {text(0), text(1), text(2), text(3), text(4), table->item(row, 5) != nullptr};
    }

    // Every caption readable: nothing reaches out of its parent, no sibling lies on another,
    // no button or label is narrower than its text, no group smaller than its contents.
    static void verifyTidy(QWidget *page)
    {
        const auto widgets = page->findChildren<QWidget *>();
        for (QWidget *widget : widgets) {
            if (!widget->isVisible())
                continue;
            const QString name = widget->objectName();
            QVERIFY2(widget->parentWidget()->rect().contains(widget->geometry()),
                     qPrintable(name + " reaches out of " + widget->parentWidget()->objectName()));
            const bool group = qobject_cast<QGroupBox *>(widget);
            if (group || qobject_cast<QAbstractButton *>(widget)
                || qobject_cast<QLabel *>(widget)) {
                const QSize needed = group ? widget->minimumSizeHint() : widget->sizeHint();
                QVERIFY2(widget->width() >= needed.width()
                             && (!group || widget->height() >= needed.height()),
                         qPrintable(name + " is clipped"));
                QVERIFY2(widget->height() >= widget->fontMetrics().height(),
                         qPrintable(name + " is too low for its text"));
            }
            for (QWidget *other : widgets) {
                if (other != widget && other->parentWidget() == widget->parentWidget()
                    && other->isVisible())
                    QVERIFY2(!other->geometry().intersects(widget->geometry()),
                             qPrintable(name + " overlaps " + other->objectName()));
            }
        }
    }
};
