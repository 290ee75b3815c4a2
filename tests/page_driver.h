// Drives the real window as the operator does: finds widgets by name, clicks option buttons on
// their boxes, types key by key, presses "Ответ" and reads the order table back. Every page test
// derives from it (after QObject) and opens a fresh window per test function.
#pragma once

#include "app/mainwindow.h"
#include "tests/document_recorder.h"
#include "tests/prompt_recorder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBox>
#include <QtTest>

// What column 5 of an order line holds: nothing, the red text-less removal marker, or some
// other item.
enum class Marker { None, Red, Other };

// One row of the order table, read back column by column as the operator sees it.
struct TableRow
{
    QString description, quantity, price, keyText, titles;
    Marker marker = Marker::None;
};

inline bool operator==(const TableRow &a, const TableRow &b)
{
    return a.description == b.description && a.quantity == b.quantity && a.price == b.price
        && a.keyText == b.keyText && a.titles == b.titles && a.marker == b.marker;
}

// Lets QCOMPARE show both lines whole when they differ.
inline char *toString(const TableRow &line)
{
    static const char *const markers[] = {"no marker", "red marker", "another item"};
    const QString text = QStringLiteral("\"%1\" | %2 | %3 | %4 | \"%5\" | %6")
                             .arg(line.description, line.quantity, line.price, line.keyText,
                                  line.titles, QLatin1String(markers[int(line.marker)]));
    return qstrdup(text.toUtf8().constData());
}

class PageDriver
{
public:
    MainWindow *window = nullptr;
    PromptRecorder prompts; // what the window told the operator, with the titles
    DocumentRecorder documents; // what the document buttons would show or open
    QString answerButton; // the page's "Ответ"

    // A fresh window, shown; false if it never reached the screen.
    bool openWindow()
    {
        prompts.titles.clear();
        prompts.onTell = nullptr;
        prompts.chosenFile.clear();
        prompts.answer.clear();
        prompts.questions.clear();
        prompts.offered.clear();
        window = new MainWindow(nullptr, &prompts, &documents);
        documents.attach(window);
        window->show();
        return QTest::qWaitForWindowExposed(window);
    }

    void closeWindow()
    {
        delete window;
        window = nullptr;
    }

    // The pages are laid out for the desktop's ordinary font; the headless platform would
    // otherwise pick a larger one.
    static void useDesktopFont() { QApplication::setFont(QFont(QStringLiteral("Sans Serif"), 9)); }

    // A missing widget is a broken form: stop with its name rather than crash on a null pointer.
    template<class T> T *find(const QString &name) const
    {
        T *widget = window->findChild<T *>(name);
        if (!widget)
            qFatal("the window has no %s named %s", T::staticMetaObject.className(),
                   qPrintable(name));
        return widget;
    }

    // Brings a tab or tool box page to the front, with every tab and tool box around it.
    void showPage(const QString &name) const
    {
        QWidget *page = find<QWidget>(name);
        const auto holds
            = [page](QWidget *item) { return item == page || item->isAncestorOf(page); };
        for (QWidget *outer = page->parentWidget(); outer; outer = outer->parentWidget()) {
            if (auto *tabs = qobject_cast<QTabWidget *>(outer)) {
                for (int i = 0; i < tabs->count(); ++i)
                    if (holds(tabs->widget(i)))
                        tabs->setCurrentIndex(i);
            } else if (auto *box = qobject_cast<QToolBox *>(outer)) {
                for (int i = 0; i < box->count(); ++i)
                    if (holds(box->widget(i)))
                        box->setCurrentIndex(i);
            }
        }
        QTRY_VERIFY2(page->isVisible(),
                     qPrintable(name + QStringLiteral(" does not come into view")));
    }

    // Clicks where the operator would. A grid stretches its option buttons, and a click on the
    // blank right of a short caption misses, so radio buttons and check boxes are clicked in the
    // middle of their box and caption.
    void click(QAbstractButton *button) const
    {
        QVERIFY2(button->isVisible(),
                 qPrintable(button->objectName() + QStringLiteral(" is not visible")));
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

    void click(const QString &name) const { click(find<QAbstractButton>(name)); }

    void clickAll(const QStringList &names) const
    {
        for (const QString &name : names)
            click(name);
    }

    // Empties a field and types the text key by key, so that the field's validator judges it.
    // QTest::keyClicks knows only Latin-1, so other letters go as the text of an unknown key, as
    // a keyboard layout delivers them.
    void type(const QString &name, const QString &text) const
    {
        auto *field = find<QLineEdit>(name);
        QVERIFY2(field->isVisible(), qPrintable(name + QStringLiteral(" is not visible")));
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QVERIFY2(field->text().isEmpty(), qPrintable(name + QStringLiteral(" cannot be emptied")));
        for (const QChar letter : text) {
            if (letter.unicode() < 0x80)
                QTest::keyClick(field, letter.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(letter),
                                    Qt::NoModifier);
        }
    }

    // What a field shows after the text was typed into it.
    QString shownAfterTyping(const QString &name, const QString &text) const
    {
        type(name, text);
        return find<QLineEdit>(name)->text();
    }

    QTableWidget *orderTable() const { return find<QTableWidget>(QStringLiteral("tableWidget")); }
    int rows() const { return orderTable()->rowCount(); }

    TableRow orderLine(int row) const
    {
        const QTableWidget *table = orderTable();
        const auto text = [&](int column) {
            const QTableWidgetItem *item = table->item(row, column);
            return item ? item->text() : QStringLiteral("<no item>");
        };
        const QTableWidgetItem *item = table->item(row, 5);
        Marker marker = Marker::None;
        if (item)
            marker = item->text().isEmpty() && item->background().color() == Qt::red
                ? Marker::Red
                : Marker::Other;
        return {text(0), text(1), text(2), text(3), text(4), marker};
    }

    // Presses the page's answer button; true if it appended exactly that many lines, else false
    // with a warning that says how many it did append.
    bool answerAdds(int lines) const
    {
        const int before = rows();
        click(answerButton);
        if (QTest::qWaitFor([&] { return rows() >= before + lines; }) && rows() == before + lines)
            return true;
        qWarning("%s appended %d lines, not %d", qPrintable(answerButton), rows() - before, lines);
        return false;
    }

    // Presses the page's answer button and returns the one line it appended (empty if it did not).
    TableRow answerLine() const { return answerAdds(1) ? orderLine(rows() - 1) : TableRow {}; }

    // After an answer the extras groups are empty again, while the options clicked in the key
    // groups are still chosen.
    void verifyAnswerReset(const QStringList &extrasGroups, const QStringList &keyGroups,
                           const QStringList &clicked) const
    {
        for (const QString &group : extrasGroups)
            QVERIFY2(
                checkedOptions(group).isEmpty(),
                qPrintable(group + QStringLiteral(" keeps a checked option after the answer")));
        for (const QString &option : clicked) {
            const auto *button = find<QAbstractButton>(option);
            if (keyGroups.contains(button->parentWidget()->objectName()))
                QVERIFY2(button->isChecked(),
                         qPrintable(option + QStringLiteral(" lost its choice after the answer")));
        }
    }

    // Every text of the order, row by row.
    QStringList orderTexts() const
    {
        const QTableWidget *table = orderTable();
        QStringList texts;
        for (int row = 0; row < table->rowCount(); ++row)
            for (int column = 0; column < table->columnCount(); ++column) {
                const QTableWidgetItem *item = table->item(row, column);
                texts << (item ? item->text() : QStringLiteral("<no item>"));
            }
        return texts;
    }

    // The checked buttons anywhere inside a widget.
    static QStringList checkedButtons(const QWidget *parent,
                                      Qt::FindChildOptions depth = Qt::FindChildrenRecursively)
    {
        QStringList names;
        const auto buttons = parent->findChildren<QAbstractButton *>(QString(), depth);
        for (const QAbstractButton *button : buttons)
            if (button->isChecked())
                names << button->objectName();
        return names;
    }

    // The checked options of a group: its own buttons, not those of groups nested in it.
    QStringList checkedOptions(const QString &group) const
    {
        return checkedButtons(find<QGroupBox>(group), Qt::FindDirectChildrenOnly);
    }

    // What stands in a grid cell, by name.
    static QString gridCell(const QGridLayout *grid, int row, int column)
    {
        QLayoutItem *item = grid->itemAtPosition(row, column);
        if (!item)
            return QStringLiteral("<empty>");
        return item->widget() ? item->widget()->objectName() : QStringLiteral("<no widget>");
    }

    // A field's whole-number validator if it has one of its own, owned by the window; else null,
    // with a warning that says what is wrong.
    const QIntValidator *intValidator(const QString &field) const
    {
        const auto *validator
            = qobject_cast<const QIntValidator *>(find<QLineEdit>(field)->validator());
        if (!validator)
            qWarning("%s has no whole-number validator", qPrintable(field));
        else if (validator->parent() != window)
            qWarning("the validator of %s does not belong to the window", qPrintable(field));
        else
            return validator;
        return nullptr;
    }

    // The first of the widgets that reaches out of `bounds` (of its parent, where no bounds are
    // given) or lies on a sibling among them; empty if none does.
    static QString placementFault(const QList<QWidget *> &widgets, const QRect &bounds = QRect())
    {
        for (const QWidget *widget : widgets) {
            const QWidget *parent = widget->parentWidget();
            if (!(bounds.isNull() ? parent->rect() : bounds).contains(widget->geometry()))
                return widget->objectName() + QStringLiteral(" reaches out of ")
                    + (bounds.isNull() ? parent->objectName() : QStringLiteral("the page area"));
            for (const QWidget *other : widgets)
                if (other != widget && other->parentWidget() == parent
                    && other->geometry().intersects(widget->geometry()))
                    return widget->objectName() + QStringLiteral(" overlaps ")
                        + other->objectName();
        }
        return {};
    }

    // A page placed by hand at fixed positions: its own widgets, shown or hidden, lie within the
    // area the page has on screen and clear of each other.
    static void verifyPlacedByHand(QWidget *page, const QSize &area)
    {
        const QString fault
            = placementFault(page->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly),
                             QRect(QPoint(), area));
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }

    // A page laid out by layouts, every caption readable: nothing shown reaches out of its parent
    // or lies on a shown sibling, no button or label is narrower than its text, no group smaller
    // than its contents.
    static void verifyTidy(QWidget *page)
    {
        QList<QWidget *> shown;
        const auto widgets = page->findChildren<QWidget *>();
        for (QWidget *widget : widgets)
            if (widget->isVisible())
                shown << widget;
        const QString fault = placementFault(shown);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        for (QWidget *widget : shown) {
            const bool group = qobject_cast<QGroupBox *>(widget);
            if (!group && !qobject_cast<QAbstractButton *>(widget)
                && !qobject_cast<QLabel *>(widget))
                continue;
            const QString name = widget->objectName();
            const QSize needed = group ? widget->minimumSizeHint() : widget->sizeHint();
            QVERIFY2(widget->width() >= needed.width()
                         && (!group || widget->height() >= needed.height()),
                     qPrintable(name + QStringLiteral(" is clipped")));
            QVERIFY2(widget->height() >= widget->fontMetrics().height(),
                     qPrintable(name + QStringLiteral(" is too low for its text")));
        }
    }
};
