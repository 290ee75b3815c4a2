// The alternatives table and how the window opens it.
#include "dialogs/alternatives_dialog.h"

#include "app/mainwindow.h"
#include "dialogs/screen_fit.h"
#include "form/mainwindow_form.h"
#include "order/money.h"
#include "order/order_cells.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolBox>
#include <QVBoxLayout>

#include <algorithm>

AlternativesDialog::AlternativesDialog(const QString &pageTitle, const QString &firstTitle,
                                       const QString &secondTitle,
                                       const QVector<Alternative> &alternatives,
                                       const QHash<QString, QString> &captions, QWidget *parent)
    : QDialog(parent)
    , offered(alternatives)
    , view(new QTableWidget(alternatives.size(), ColumnCount, this))
{
    setObjectName(QStringLiteral("alternativesDialog"));
    setWindowTitle(QStringLiteral("Варианты: ") + pageTitle);
    view->setObjectName(QStringLiteral("tableAlternatives"));

    bool tiers = false;
    for (const Alternative &alternative : alternatives)
        tiers = tiers || alternative.quotes.size() > 1;
    view->setHorizontalHeaderLabels(
        {QString(), firstTitle, secondTitle, QStringLiteral("Цена за шт."),
         tiers ? QStringLiteral("Сумма с тиражом") : QStringLiteral("Сумма")});
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->verticalHeader()->hide();
    view->setWordWrap(false);
    const QFontMetrics metrics(view->font());
    view->verticalHeader()->setDefaultSectionSize(metrics.height() + 8);

    // Each cell is made whole before it goes into the table, so the table hears of it once.
    int currentRow = 0;
    int widths[ColumnCount] = {};
    QFont bold = view->font();
    bold.setBold(true);
    for (int row = 0; row < alternatives.size(); ++row) {
        const Alternative &alternative = alternatives.at(row);
        const QString texts[]
            = {alternative.current ? QStringLiteral("▶") : QString(),
               captions.value(alternative.first.name, alternative.first.caption),
               captions.value(alternative.second.name, alternative.second.caption),
               moneyText(alternative.unitPrice()), moneyText(alternative.sum())};
        QStringList explanations;
        for (const Quote &quote : alternative.quotes)
            explanations << quote.explanation();
        for (int column = 0; column < ColumnCount; ++column) {
            auto *cell = new QTableWidgetItem(texts[column]);
            if (column >= UnitPrice)
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (alternative.current) {
                cell->setFont(bold);
                cell->setToolTip(QStringLiteral("Выбрано на странице сейчас"));
            }
            if (column == First || column == Second)
                cell->setData(Qt::UserRole,
                              column == First ? alternative.first.name : alternative.second.name);
            if (column == UnitPrice)
                cell->setToolTip(explanations.join(QStringLiteral("\n\n")));
            if (column == Sum && alternative.missingPrice())
                cell->setBackground(MissingPriceColour);
            widths[column] = qMax(widths[column], metrics.horizontalAdvance(texts[column]));
            view->setItem(row, column, cell);
        }
        if (alternative.current)
            currentRow = row;
    }
    // Sized by the texts themselves: measuring the cells through the view costs more.
    const int padding = 3 * metrics.averageCharWidth();
    int tableWidth = 2 * view->frameWidth() + view->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < ColumnCount; ++column) {
        const QString caption = view->horizontalHeaderItem(column)->text();
        QFont headerFont = view->horizontalHeader()->font();
        headerFont.setBold(true);
        const int width
            = qMax(widths[column], QFontMetrics(headerFont).horizontalAdvance(caption)) + padding;
        view->setColumnWidth(column, width);
        tableWidth += width;
    }
    view->horizontalHeader()->setStretchLastSection(true);
    if (!alternatives.isEmpty())
        view->setCurrentCell(currentRow, First);

    auto *hint = new QLabel(alternatives.isEmpty()
                                ? QStringLiteral("В прайс-листе нет других вариантов.")
                                : QStringLiteral("Дешёвые сверху. Enter или двойной щелчок — "
                                                 "выбрать вариант, Esc — закрыть."),
                            this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(view);
    layout->addWidget(hint);
    // The whole width of the columns and up to sixteen rows, within the screen.
    const int visibleRows = qBound(4, int(alternatives.size()), 16);
    QSize wanted(tableWidth + 24,
                 view->verticalHeader()->defaultSectionSize() * (visibleRows + 1)
                     + 4 * metrics.height());
    resizeWithinScreen(this, wanted);

    connect(view, &QAbstractItemView::activated, this,
            [this](const QModelIndex &index) { choose(index.row()); });
}

void AlternativesDialog::choose(int row)
{
    if (row < 0 || row >= offered.size())
        return;
    if (apply)
        apply(offered.at(row));
    accept();
}

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
