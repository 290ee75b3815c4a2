// F3 on a page: its job priced on every pairing of two option groups, and the pairing chosen
// taken over to the page.
#include "app/mainwindow.h"

#include "dialogs/alternatives_dialog.h"
#include "form/mainwindow_form.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBox>

namespace {

// Every radio button of a group as the pages' option reading sees it.
QVector<OptionChoice> groupChoices(const QGroupBox *group, const PriceVersion &version)
{
    QVector<OptionChoice> choices;
    for (const QObject *child : group->children()) {
        if (const auto *radio = qobject_cast<const QRadioButton *>(child))
            choices.append(MainWindow::buttonChoice(radio, version));
    }
    return choices;
}

// Options of a group that share a caption ("720 dpi" for wide-format and for interior print) are
// named with the heading above them in the group.
void nameApart(const QGroupBox *group, QHash<QString, QString> *captions)
{
    const auto radios = group->findChildren<QRadioButton *>(QString(), Qt::FindDirectChildrenOnly);
    const auto headings = group->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
    for (const QRadioButton *radio : radios) {
        const bool shared = std::count_if(radios.cbegin(), radios.cend(),
                                          [radio](const QRadioButton *other) {
                                              return other->text() == radio->text();
                                          })
            > 1;
        const QLabel *heading = nullptr;
        for (const QLabel *label : headings) {
            if (label->y() <= radio->y() && (!heading || label->y() > heading->y()))
                heading = label;
        }
        if (shared && heading)
            captions->insert(radio->objectName(),
                             radio->text() + QStringLiteral(" (") + heading->text()
                                 + QLatin1Char(')'));
    }
}

void checkOption(QGroupBox *group, const QString &name)
{
    if (auto *radio = group->findChild<QRadioButton *>(name, Qt::FindDirectChildrenOnly))
        radio->setChecked(true);
}

} // namespace

AlternativesDialog *MainWindow::openAlternatives()
{
    const auto *box = form->tabWidget->currentWidget()->findChild<QToolBox *>();
    const PricingPageParts *page = box ? pricingPageOf(box->currentWidget()) : nullptr;
    if (!page || !page->hasAlternatives())
        return nullptr;
    QGroupBox *first = page->compareFirst;
    QGroupBox *second = page->compareSecond;
    followPriceVersion();
    const QVector<Alternative> alternatives = page->alternatives(AlternativeChoices {
        groupChoices(first, priceVersion()), groupChoices(second, priceVersion())});
    // One table at a time: a new one replaces one still open.
    if (auto *open = findChild<AlternativesDialog *>(QString(), Qt::FindDirectChildrenOnly))
        open->close();
    QHash<QString, QString> captions;
    nameApart(first, &captions);
    nameApart(second, &captions);
    auto *dialog = new AlternativesDialog(page->title, first->title(), second->title(),
                                          alternatives, captions, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->apply = [first, second](const Alternative &chosen) {
        checkOption(first, chosen.first.name);
        checkOption(second, chosen.second.name);
    };
    dialog->show();
    return dialog;
}

void MainWindow::initAlternatives()
{
    for (const PricingPageParts &page : qAsConst(pricingPages)) {
        if (!page.hasAlternatives())
            continue;
        auto *compare = new QPushButton(QStringLiteral("Варианты (F3)"), page.page);
        compare->setObjectName(page.compareName);
        compare->setToolTip(QStringLiteral("Та же работа на всех ") + page.compareWhat
                            + QStringLiteral(" из прайс-листа, по цене"));
        compare->setGeometry(
            QRect(page.comparePlace, QSize(qMax(120, compare->sizeHint().width()), 25)));
        connect(compare, &QPushButton::clicked, this, [this] { openAlternatives(); });
    }
}
