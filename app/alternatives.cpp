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
QVector<OptionChoice> groupChoices(const QGroupBox *group)
{
    QVector<OptionChoice> choices;
    for (const QObject *child : group->children()) {
        if (const auto *radio = qobject_cast<const QRadioButton *>(child))
            choices.append(
                {radio->objectName(), radio->property("value").toDouble(), radio->text(), true});
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
    MainWindowForm *f = form.data();
    QGroupBox *first = nullptr;
    QGroupBox *second = nullptr;
    QString pageTitle;
    QVector<Alternative> alternatives;
    const auto choices = [&](QGroupBox *a, QGroupBox *b) {
        first = a;
        second = b;
        return AlternativeChoices {groupChoices(a), groupChoices(b)};
    };
    const auto *box = f->tabWidget->currentWidget()->findChild<QToolBox *>();
    const QWidget *page = box ? box->currentWidget() : nullptr;
    if (page == f->page) {
        pageTitle = f->toolBox->itemText(0);
        alternatives = sheetProductsAlternatives(
            sheetProductsJob(), choices(f->groupBoxListType, f->groupBoxListDensity), priceTable);
    } else if (page == f->page_2) {
        pageTitle = f->toolBox->itemText(1);
        alternatives = brochureAlternatives(
            brochureJob(), choices(f->groupBoxBroshInnerType, f->groupBoxBroshInnerDensity),
            priceTable);
    } else if (page == f->page_3) {
        pageTitle = f->toolBox_2->itemText(0);
        alternatives = streetAlternatives(
            streetJob(), choices(f->groupBoxListStreetMaterial, f->groupBoxListStreetColor),
            priceTable);
    } else if (page == f->page_4) {
        pageTitle = f->toolBox_2->itemText(1);
        alternatives = interiorAlternatives(
            interiorJob(), choices(f->groupBoxIntererType, f->groupBoxIntererDensity), priceTable);
    } else {
        return nullptr;
    }
    // One table at a time: a new one replaces one still open.
    if (auto *open = findChild<AlternativesDialog *>(QString(), Qt::FindDirectChildrenOnly))
        open->close();
    QHash<QString, QString> captions;
    nameApart(first, &captions);
    nameApart(second, &captions);
    auto *dialog = new AlternativesDialog(pageTitle, first->title(), second->title(), alternatives,
                                          captions, this);
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
    MainWindowForm *f = form.data();
    const struct
    {
        QWidget *page;
        const char *name;
        QPoint place;
        const char *what;
    } buttons[] = {
        {f->page, "pushButtonCompare_1_1", {394, 212}, "бумагах и плотностях"},
        {f->page_2, "pushButtonCompare_1_2", {390, 352}, "бумагах и плотностях внутренних листов"},
        {f->page_3, "pushButtonCompare_2_1", {310, 315}, "материалах и качествах печати"},
        {f->page_4, "pushButtonCompare_2_2", {370, 305}, "бумагах и плотностях"},
    };
    for (const auto &button : buttons) {
        auto *compare = new QPushButton(QStringLiteral("Варианты (F3)"), button.page);
        compare->setObjectName(QLatin1String(button.name));
        compare->setToolTip(QStringLiteral("Та же работа на всех ") + QString::fromUtf8(button.what)
                            + QStringLiteral(" из прайс-листа, по цене"));
        compare->setGeometry(
            QRect(button.place, QSize(qMax(120, compare->sizeHint().width()), 25)));
        connect(compare, &QPushButton::clicked, this, [this] { openAlternatives(); });
    }
}
