// Drives the laser printing pages of a live window as the operator does, and reads the order
// table back. Shared by the sheet products and brochures tests.
#pragma once

#include "app/mainwindow.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLineEdit>
#include <QTableWidget>
#include <QtTest>

struct OrderLine
{
    QString description, quantity, price, keyText, titles;
    bool marker = false; // a red, text-less item in column 5
};

inline OrderLine orderLine(const QTableWidget *table, int row)
{
    const auto text = [&](int column) {
        const QTableWidgetItem *item = table->item(row, column);
        return item ? item->text() : QStringLiteral("<no item>");
    };
    const QTableWidgetItem *marker = table->item(row, 5);
    return {text(0), text(1),
            text(2), text(3),
            text(4), marker && marker->text().isEmpty() && marker->background().color() == Qt::red};
}

// Clicks an option button on its indicator: a click on the blank right of a short caption
// would miss the button, as it would for the operator.
inline void clickOption(QWidget *window, const QString &name)
{
    auto *button = window->findChild<QAbstractButton *>(name);
    QVERIFY2(button, qPrintable(QStringLiteral("no option button ") + name));
    QVERIFY2(button->isVisible(), qPrintable(name + QStringLiteral(" is not visible")));
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(8, button->height() / 2));
}

// Empties a field and types the text key by key, so that the field's validator judges it.
inline void typeInto(QWidget *window, const QString &name, const QString &text)
{
    auto *field = window->findChild<QLineEdit *>(name);
    QVERIFY2(field, qPrintable(QStringLiteral("no line edit ") + name));
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

inline QStringList checkedOptionNames(const QGroupBox *group)
{
    QStringList names;
    for (const QObject *child : group->children()) {
        const auto *button = qobject_cast<const QAbstractButton *>(child);
        if (button && button->isChecked())
            names << button->objectName();
    }
    return names;
}

// Every direct child of a page lies inside the page area and clear of its siblings.
inline QString placementFault(const QWidget *page, const QSize &area)
{
    QList<const QWidget *> widgets;
    for (const QObject *child : page->children())
        if (const auto *widget = qobject_cast<const QWidget *>(child))
            widgets << widget;
    for (const QWidget *widget : widgets) {
        if (!QRect(QPoint(0, 0), area).contains(widget->geometry()))
            return widget->objectName() + QStringLiteral(" leaves the page area");
        for (const QWidget *other : widgets)
            if (other != widget && widget->geometry().intersects(other->geometry()))
                return widget->objectName() + QStringLiteral(" overlaps ") + other->objectName();
    }
    return {};
}
