// Warning boxes, their "Подробнее" in Russian whatever translations are installed.
#include "dialogs/prompts.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

void russianDetailsButton(QMessageBox *box)
{
    for (QAbstractButton *button : box->buttons()) {
        if (box->buttonRole(button) != QMessageBox::ActionRole)
            continue;
        button->setText(QStringLiteral("Подробнее…"));
        // The box renames the button when it is pressed; rename it back after that.
        QObject::connect(button, &QAbstractButton::clicked, box, [box, button] {
            QTimer::singleShot(0, box, [box, button] {
                const bool shown
                    = box->findChild<QWidget *>(QStringLiteral("qt_msgbox_detailedtext"))
                    && button->text().contains(QLatin1String("Hide"));
                button->setText(shown ? QStringLiteral("Скрыть подробности")
                                      : QStringLiteral("Подробнее…"));
            });
        });
    }
}

} // namespace

QString MessageBoxes::chooseFile(const QString &title, const QString &start, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, start, filter);
}

QString MessageBoxes::chooseFolder(const QString &title, const QString &start)
{
    return QFileDialog::getExistingDirectory(parent, title, start);
}

int MessageBoxes::ask(const QString &title, const QString &question, const QStringList &answers,
                      int defaultAnswer)
{
    QMessageBox box(QMessageBox::Question, title, question, QMessageBox::NoButton, parent);
    QList<QAbstractButton *> buttons;
    for (const QString &answer : answers)
        buttons << box.addButton(answer, QMessageBox::ActionRole);
    if (defaultAnswer >= 0 && defaultAnswer < buttons.size())
        box.setDefaultButton(qobject_cast<QPushButton *>(buttons.at(defaultAnswer)));
    // Esc and the close button leave the question unanswered (-1), which every caller takes as
    // changing nothing. The box needs an escape button for either to act, and none of the
    // answers may be it: a hidden one stands in.
    QPushButton *unanswered = box.addButton(QMessageBox::Cancel);
    unanswered->hide();
    box.setEscapeButton(unanswered);
    box.exec();
    return int(buttons.indexOf(box.clickedButton()));
}

void MessageBoxes::tell(const QString &title, const QString &message, const QString &details)
{
    QMessageBox box(QMessageBox::Warning, title, message, QMessageBox::Ok, parent);
    if (!details.isEmpty()) {
        box.setDetailedText(details);
        russianDetailsButton(&box);
    }
    box.exec();
}
