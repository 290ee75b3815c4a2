// The price list editor: a table model over one version's prices and amounts, a word filter, and
// the dialog around them.
#include "dialogs/price_list_dialog.h"

#include "dialogs/screen_fit.h"
#include "prices/composable_keys.h"
#include "prices/extras_catalogue.h"
#include "prices/key_meanings.h"
#include "prices/price_file_check.h"
#include "prices/price_versions.h"
#include "prices/sample_prices.h"
#include "storage/price_store.h"

#include "dialogs/file_pool.h"

#include "ui_price_list_dialog.h"

#ifdef PRINTCALC_HAVE_OFFICE
#include "office/office_pool.h"
#include "office/office_session.h"
#include "office/price_sheets.h"
#endif

#include <QAbstractTableModel>
#include <QApplication>
#include <QBrush>
#include <QCloseEvent>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QFutureWatcher>
#include <QHeaderView>
#include <QMessageBox>
#include <QPointer>
#include <QSaveFile>
#include <QSortFilterProxyModel>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QtConcurrent>

#include <cmath>
#include <limits>
#include <memory>

namespace {

// Spreadsheets go through the office where the build has one.
PriceSheetReader spreadsheetReader()
{
#ifdef PRINTCALC_HAVE_OFFICE
    return [](const QString &path, PriceFileRows *rows, QString *error) {
        return readPriceSheet(OfficeSession::shared(), path, rows, error);
    };
#else
    return {};
#endif
}

// A spreadsheet waits for the office; any other file only for its disk.
QThreadPool *poolFor(const QString &fileName)
{
#ifdef PRINTCALC_HAVE_OFFICE
    if (isPriceSpreadsheet(fileName))
        return officePool();
#else
    Q_UNUSED(fileName)
#endif
    return filePool();
}

PriceSheetWriter spreadsheetWriter()
{
#ifdef PRINTCALC_HAVE_OFFICE
    return [](const QString &path, const PriceFileRows &rows, QString *error) {
        return writePriceSheet(OfficeSession::shared(), path, rows, error);
    };
#else
    return {};
#endif
}

enum Column { KeyColumn, MeaningColumn, PerColumn, PriceColumn, ColumnCount };
constexpr int SearchRole = Qt::UserRole + 1;
// The price cells of sample amounts and odd units: a warm tint and a warning sign, the note in the
// tooltip.
const QColor SamplePriceTint(0xff, 0xe8, 0xc2);
// A key the pages compose that the version has no price for.
const QColor NoPriceGrey(0x80, 0x80, 0x80);

// One row of the table: a price key or an extra. Every version has the same rows.
struct PriceRow
{
    QString key;
    QString meaning;
    QString per;
    QString search; // key, meaning and per as the filter compares them
    bool extra = false;
};

// Lower case, with the Cyrillic letters that look like Latin ones written as those, so that "a4"
// typed on a Latin keyboard finds "А4".
QString folded(const QString &text)
{
    static const QHash<QChar, QChar> lookAlikes = [] {
        QHash<QChar, QChar> map;
        const QString cyrillic = QStringLiteral("авекмнорстухё");
        const QString latin = QStringLiteral("abekmhopctyxe");
        for (int i = 0; i < cyrillic.size(); ++i)
            map.insert(cyrillic.at(i), latin.at(i));
        return map;
    }();
    QString result = text.toLower();
    for (QChar &c : result)
        c = lookAlikes.value(c, c);
    return result;
}

const QVector<PriceRow> &priceRows()
{
    static const QVector<PriceRow> rows = [] {
        QVector<PriceRow> all;
        for (const QString &key : listedPriceKeys()) {
            const KeyDescription description = describeKey(key);
            all.append({key, description.meaning, description.per, QString(), false});
        }
        for (const ExtraOption &option : extrasCatalogue())
            all.append({option.key, option.meaning(), option.per, QString(), true});
        for (PriceRow &row : all) {
            row.search
                = folded(row.key + QLatin1Char(' ') + row.meaning + QLatin1Char(' ') + row.per);
            // An extra is still found by the name older files gave it.
            if (const ExtraOption *extra = row.extra ? findExtra(row.key) : nullptr)
                row.search += QLatin1Char(' ') + folded(extra->formerName);
        }
        return all;
    }();
    return rows;
}

QString versionLine(const PriceVersionInfo &info, int inForce, const QDate &today)
{
    if (info.number == 0) {
        return QStringLiteral("0 · встроенный прайс-лист")
            + (inForce == 0 ? QStringLiteral(" — действует") : QString());
    }
    QString line = QString::number(info.number) + QStringLiteral(" · с ")
        + info.from.toString(QStringLiteral("dd.MM.yyyy"));
    if (!info.note.isEmpty())
        line += QStringLiteral(" · ") + info.note;
    line += QStringLiteral(" · ") + info.loadedBy + QLatin1Char(' ')
        + info.loadedAt.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
    if (info.number == inForce)
        line += QStringLiteral(" — действует");
    else if (info.from > today)
        line += QStringLiteral(" — вступит в силу ")
            + info.from.toString(QStringLiteral("dd.MM.yyyy"));
    return line;
}

double rounded(double price, bool toHalf)
{
    return toHalf ? std::round(price * 2.0) / 2.0 : std::round(price);
}

} // namespace

// One version's prices and amounts, with the operator's changes on top.
class PriceListModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setVersion(const PriceVersion &version)
    {
        beginResetModel();
        m_version = version;
        m_base.clear();
        m_base.reserve(priceRows().size());
        m_notes.clear();
        for (const PriceRow &row : priceRows()) {
            bool priced = true;
            const double price
                = row.extra ? version.extra(row.key) : version.prices.price(row.key, &priced);
            m_base.append(priced ? price : NoPrice);
        }
        m_edits.clear();
        endResetModel();
    }
    const PriceVersion &version() const { return m_version; }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : priceRows().size();
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : ColumnCount;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        static const char *const titles[] = {"Ключ", "Что это", "За что", "Цена"};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return QString::fromUtf8(titles[section]);
        return QAbstractTableModel::headerData(section, orientation, role);
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        const PriceRow &row = priceRows().at(index.row());
        const bool edited = m_edits.contains(index.row());
        switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
            case KeyColumn:
                return row.key;
            case MeaningColumn:
                return row.meaning;
            case PerColumn:
                return row.per;
            default:
                return priced(index.row()) ? priceFileNumber(price(index.row())) : noPriceText();
            }
        case Qt::EditRole:
            if (index.column() != PriceColumn)
                return {};
            return priced(index.row()) ? price(index.row()) : 0.0;
        case Qt::BackgroundRole:
            if (index.column() == PriceColumn && !sampleNote(index.row()).isEmpty())
                return QBrush(SamplePriceTint);
            return {};
        case Qt::ForegroundRole:
            if (index.column() == PriceColumn && !priced(index.row()))
                return QBrush(NoPriceGrey);
            return {};
        case Qt::DecorationRole:
            if (index.column() == PriceColumn && !sampleNote(index.row()).isEmpty())
                return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
            return {};
        case Qt::TextAlignmentRole:
            return index.column() == PriceColumn ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                 : QVariant();
        case Qt::FontRole:
            if (edited && index.column() == PriceColumn) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            return {};
        case Qt::ToolTipRole:
            if (index.column() == MeaningColumn)
                return row.meaning;
            if (index.column() == PriceColumn)
                return priceTip(index.row(), edited);
            return {};
        case SearchRole:
            return row.search;
        default:
            return {};
        }
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
        return index.column() == PriceColumn ? flags | Qt::ItemIsEditable : flags;
    }

    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        if (role != Qt::EditRole || index.column() != PriceColumn)
            return false;
        bool ok = false;
        const double price = value.toDouble(&ok);
        if (!ok || !std::isfinite(price) || price < 0.0 || price > PriceFileMaxPrice)
            return false;
        setPrice(index.row(), price);
        emit dataChanged(index, index);
        return true;
    }

    double price(int row) const { return m_edits.value(row, m_base.at(row)); }
    bool priced(int row) const { return !std::isnan(price(row)); }
    // Why the price reads as a sample, or empty; found once a row is shown.
    QString sampleNote(int row) const
    {
        const double shown = price(row);
        const auto known = m_notes.constFind(row);
        if (known != m_notes.constEnd() && known->first == shown)
            return known->second;
        const PriceRow &priceRow = priceRows().at(row);
        QString note;
        if (priceRow.extra) {
            if (const ExtraOption *extra = findExtra(priceRow.key))
                note = sampleAmountNote(*extra, shown);
        } else {
            note = samplePriceNote(priceRow.key, shown, !std::isnan(shown));
        }
        m_notes.insert(row, {shown, note});
        return note;
    }
    QString priceTip(int row, bool edited) const
    {
        QStringList tips;
        if (!priced(row)) {
            tips << QStringLiteral("Нет цены: такой ключ страница составляет, но цены у него ещё "
                                   "нет. Впишите цену двойным щелчком или в файле.");
        }
        if (edited) {
            tips << QStringLiteral("Было: ")
                    + (std::isnan(m_base.at(row)) ? noPriceText()
                                                  : priceFileNumber(m_base.at(row)));
        }
        const QString note = sampleNote(row);
        if (!note.isEmpty())
            tips << note;
        return tips.join(QLatin1Char('\n'));
    }
    double basePrice(int row) const { return m_base.at(row); }
    void setPrice(int row, double price)
    {
        if (price == m_base.at(row) || std::isnan(price))
            m_edits.remove(row);
        else
            m_edits.insert(row, price);
    }
    void priceRowsChanged(int first, int last)
    {
        emit dataChanged(index(first, PriceColumn), index(last, PriceColumn));
    }
    int editCount() const { return m_edits.size(); }
    const QHash<int, double> &edits() const { return m_edits; }

    static constexpr double NoPrice = std::numeric_limits<double>::quiet_NaN();

private:
    PriceVersion m_version;
    QVector<double> m_base; // NoPrice for a key the version has no price for
    QHash<int, double> m_edits;
    mutable QHash<int, std::pair<double, QString>> m_notes;
};

// Rows whose key, meaning or per hold every word typed, in any order and case.
class PriceFilterModel : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setWords(const QString &text)
    {
        m_words = folded(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override
    {
        if (m_words.isEmpty())
            return true;
        const QString search
            = sourceModel()->index(sourceRow, 0, sourceParent).data(SearchRole).toString();
        for (const QString &word : m_words) {
            if (!search.contains(word))
                return false;
        }
        return true;
    }

private:
    QStringList m_words;
};

namespace {

// Prices are typed in roubles, up to the list's limit.
class PriceDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &) const override
    {
        auto *editor = new QDoubleSpinBox(parent);
        editor->setRange(0.0, PriceFileMaxPrice);
        editor->setDecimals(2);
        editor->setLocale(QLocale(QLocale::Russian, QLocale::Russia));
        return editor;
    }
};

} // namespace

PriceListDialog::PriceListDialog(PriceBook &book, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::PriceListDialog)
    , book(book)
    , model(new PriceListModel(this))
    , filter(new PriceFilterModel(this))
{
    ui->setupUi(this);
    resizeWithinScreen(this, QSize(1180, 720));

    chooseOpenFile = [this](const QString &caption, const QString &filterText) {
        return QFileDialog::getOpenFileName(this, caption, QString(), filterText);
    };
    chooseSaveFile
        = [this](const QString &caption, const QString &filterText, const QString &name) {
              return QFileDialog::getSaveFileName(this, caption, name, filterText);
          };
    confirm = [this](const QString &question) {
        return QMessageBox::question(this, QStringLiteral("Прайс-лист"), question)
            == QMessageBox::Yes;
    };

    filter->setSourceModel(model);
    QTableView *table = ui->tableViewPrices;
    table->setModel(filter);
    table->setItemDelegateForColumn(PriceColumn, new PriceDelegate(table));
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setSectionResizeMode(MeaningColumn, QHeaderView::Stretch);
    table->setColumnWidth(KeyColumn, 130);
    table->setColumnWidth(PerColumn, 150);
    table->setColumnWidth(PriceColumn, 90);

    ui->dateEditPricesFrom->setMinimumDate(priceClockToday());
    ui->dateEditPricesFrom->setDate(priceClockToday());
    ui->pushButtonCancelPriceFile->hide();
    fileDeadline = new QTimer(this);
    fileDeadline->setSingleShot(true);
    ui->labelPriceFileFormat->setText(
        spreadsheetWriter()
            ? QStringLiteral("Таблица .ods, .xlsx или CSV: ключ; что это; за что; цена")
            : QStringLiteral("Файл CSV (UTF-8, «;»): ключ; что это; за что; цена"));
    ui->splitterPrices->setStretchFactor(1, 1);
    ui->splitterPrices->setSizes({300, 880});

    connect(ui->lineEditPriceFilter, &QLineEdit::textChanged, this,
            [this](const QString &text) { filter->setWords(text); });
    connect(model, &QAbstractItemModel::dataChanged, this, [this] { updateEditCount(); });
    connect(model, &QAbstractItemModel::modelReset, this, [this] { updateEditCount(); });
    connect(ui->pushButtonChangeSelected, &QPushButton::clicked, this,
            [this] { changeSelectedByPercent(); });
    connect(ui->pushButtonSaveVersion, &QPushButton::clicked, this, [this] { saveAsNewVersion(); });
    connect(ui->pushButtonConfirmPrices, &QPushButton::clicked, this,
            [this] { confirmAllPrices(); });
    connect(ui->pushButtonExportPrices, &QPushButton::clicked, this, [this] { exportFile(); });
    connect(ui->pushButtonImportPrices, &QPushButton::clicked, this, [this] { importFile(); });
    connect(ui->pushButtonClosePrices, &QPushButton::clicked, this, &QDialog::close);
    connect(ui->listWidgetPriceVersions, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem *current, QListWidgetItem *previous) {
                if (!current)
                    return;
                const int number = current->data(Qt::UserRole).toInt();
                if (number == shownVersion())
                    return;
                if (!dropEditsAllowed()) {
                    const QSignalBlocker blocker(ui->listWidgetPriceVersions);
                    ui->listWidgetPriceVersions->setCurrentItem(previous);
                    return;
                }
                showVersion(number);
            });
    connect(&book, &PriceBook::changed, this, [this] { fillVersions(); });

    fillVersions();
    showVersion(book.inForce().info.number);
}

PriceListDialog::~PriceListDialog() = default;

int PriceListDialog::shownVersion() const
{
    return model->version().info.number;
}

void PriceListDialog::closeEvent(QCloseEvent *event)
{
    if (dropEditsAllowed())
        event->accept();
    else
        event->ignore();
}

bool PriceListDialog::dropEditsAllowed()
{
    if (model->editCount() == 0)
        return true;
    return confirm(QStringLiteral("Изменённые цены (") + QString::number(model->editCount())
                   + QStringLiteral(") не сохранены. Отбросить их?"));
}

void PriceListDialog::fillVersions()
{
    const QSignalBlocker blocker(ui->listWidgetPriceVersions);
    const QDate today = priceClockToday();
    const int inForce = book.list().inForce(today).info.number;
    ui->listWidgetPriceVersions->clear();
    const QVector<PriceVersion> &all = book.list().versions();
    // Newest first.
    for (auto it = all.crbegin(); it != all.crend(); ++it) {
        auto *item = new QListWidgetItem(versionLine(it->info, inForce, today),
                                         ui->listWidgetPriceVersions);
        item->setData(Qt::UserRole, it->info.number);
        item->setToolTip(item->text());
        if (it->info.number == inForce) {
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
        }
        if (it->info.number == shownVersion())
            ui->listWidgetPriceVersions->setCurrentItem(item);
    }
}

void PriceListDialog::showVersion(int number)
{
    const PriceVersion *version = book.list().find(number);
    if (!version)
        version = &book.inForce();
    model->setVersion(*version);
    loadedFrom.clear();
    ui->labelPriceVersion->setText(
        QStringLiteral("Прайс-лист: ") + version->info.title() + QStringLiteral(" — ")
        + QString::number(version->prices.size()) + QStringLiteral(" цен и ")
        + QString::number(extrasCatalogue().size()) + QStringLiteral(" надбавок; без цены — ")
        + QString::number(listedPriceKeys().size() - version->prices.size())
        + QStringLiteral(" сочетаний, которые составляют страницы. Цену меняют "
                         "двойным щелчком; ключи не удаляются."));
    const QSignalBlocker blocker(ui->listWidgetPriceVersions);
    for (int i = 0; i < ui->listWidgetPriceVersions->count(); ++i) {
        if (ui->listWidgetPriceVersions->item(i)->data(Qt::UserRole).toInt() == number)
            ui->listWidgetPriceVersions->setCurrentRow(i);
    }
}

void PriceListDialog::updateEditCount()
{
    const int count = model->editCount();
    ui->labelPriceEdits->setText(
        count == 0 ? QString() : QStringLiteral("Изменено: ") + QString::number(count));
}

void PriceListDialog::changeSelectedByPercent()
{
    const QModelIndexList selected = ui->tableViewPrices->selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        ui->plainTextEditPriceReport->setPlainText(
            QStringLiteral("Выберите строки, цены которых изменить."));
        return;
    }
    const double factor = 1.0 + ui->doubleSpinBoxPercent->value() / 100.0;
    const bool toHalf = ui->comboBoxRounding->currentIndex() == 1;
    int first = model->rowCount();
    int last = -1;
    for (const QModelIndex &index : selected) {
        const int row = filter->mapToSource(index).row();
        // A key without a price has nothing to change by a percentage.
        if (!model->priced(row))
            continue;
        model->setPrice(row, std::max(0.0, rounded(model->price(row) * factor, toHalf)));
        first = std::min(first, row);
        last = std::max(last, row);
    }
    model->priceRowsChanged(first, last);
    ui->plainTextEditPriceReport->setPlainText(
        QStringLiteral("Изменено строк: ") + QString::number(selected.size())
        + QStringLiteral(" на ") + ui->doubleSpinBoxPercent->text()
        + QStringLiteral(". Сохраните как новую версию, чтобы цены вступили в силу."));
}

PriceVersion PriceListDialog::draft() const
{
    QHash<QString, double> prices;
    QHash<QString, double> extras;
    const QHash<int, double> &edits = model->edits();
    for (auto it = edits.constBegin(); it != edits.constEnd(); ++it) {
        const PriceRow &row = priceRows().at(it.key());
        (row.extra ? extras : prices).insert(row.key, it.value());
    }
    return changedVersion(model->version(), prices, extras, model->version().info);
}

void PriceListDialog::saveAsNewVersion()
{
    const PriceVersion &inForce = book.inForce();
    const PriceVersion changed = draft();
    // The new version is checked as a file of the rows that differ from the version in force.
    PriceFileRows rows {{QStringLiteral("ключ"), QStringLiteral("цена")}};
    for (const PriceEntry &entry : changed.prices.entries()) {
        bool priced = false;
        const double inForcePrice = inForce.prices.price(entry.key, &priced);
        if (!priced || entry.price != inForcePrice)
            rows.append({entry.key, priceFileNumber(entry.price)});
    }
    for (const ExtraOption &option : extrasCatalogue()) {
        if (changed.extra(option.key) != inForce.extra(option.key))
            rows.append({option.key, priceFileNumber(changed.extra(option.key))});
    }
    if (rows.size() == 1) {
        ui->plainTextEditPriceReport->setPlainText(
            QStringLiteral("Цены те же, что в действующей версии: сохранять нечего."));
        return;
    }
    const PriceFileCheck check = checkPriceRows(rows, inForce);
    ui->plainTextEditPriceReport->setPlainText(check.editsReport());
    if (!check.accepted())
        return;
    if (ui->dateEditPricesFrom->date() < priceClockToday()) {
        ui->plainTextEditPriceReport->appendPlainText(
            QStringLiteral("Дата раньше сегодняшней: версия не вступает в силу задним числом."));
        return;
    }
    if (check.warnings() > 0
        && !confirm(QStringLiteral("Есть предупреждения (") + QString::number(check.warnings())
                    + QStringLiteral("), они показаны под таблицей. Сохранить версию всё равно?")))
        return;
    PriceVersionInfo info;
    info.from = ui->dateEditPricesFrom->date();
    info.note = ui->lineEditPricesNote->text().trimmed();
    info.loadedBy = priceLoaderName();
    info.loadedAt = QDateTime::fromMSecsSinceEpoch(priceClockMSecs());
    const int changedCount = check.changed;
    // Where the prices came from: a file loaded into the ui->tableViewPrices, or the
    // ui->tableViewPrices's own edits.
    const QString source = loadedFrom.isEmpty()
        ? QStringLiteral("цены, изменённые в этом окне")
        : QStringLiteral("цены из файла ") + QDir::toNativeSeparators(loadedFrom);
    store(changedVersion(inForce, check.prices, check.extras, info),
          QStringLiteral(" — ") + source + QStringLiteral(". Изменено цен и надбавок: ")
              + QString::number(changedCount) + QLatin1Char('.'));
}

void PriceListDialog::store(const PriceVersion &version, const QString &told)
{
    setBusy(true);
    ui->plainTextEditPriceReport->appendPlainText(QStringLiteral("Сохранение…"));
    QPointer<PriceListDialog> alive(this);
    book.add(version, [alive, told](int number, const QString &error) {
        if (!alive)
            return;
        alive->setBusy(false);
        if (number == 0) {
            alive->ui->plainTextEditPriceReport->appendPlainText(
                QStringLiteral("Версия не сохранена: ") + error);
            return;
        }
        alive->showVersion(number);
        alive->ui->lineEditPricesNote->clear();
        alive->loadedFrom.clear();
        alive->ui->plainTextEditPriceReport->appendPlainText(
            QStringLiteral("Сохранён прайс-лист: ") + alive->model->version().info.title() + told);
        emit alive->versionSaved(number);
    });
}

void PriceListDialog::confirmAllPrices()
{
    const PriceVersion &inForce = book.inForce();
    int priced = 0;
    const int samples = samplePriceCount(inForce.prices, &priced);
    if (samples == 0) {
        ui->plainTextEditPriceReport->setPlainText(
            QStringLiteral("Все цены действующей версии — цены типографии: подтверждать нечего."));
        return;
    }
    if (ui->dateEditPricesFrom->date() < priceClockToday()) {
        ui->plainTextEditPriceReport->setPlainText(
            QStringLiteral("Дата раньше сегодняшней: версия не вступает в силу задним числом."));
        return;
    }
    if (!confirm(QStringLiteral("Цен-образцов в действующей версии: %1 из %2. Отметить все её "
                                "цены как цены типографии? Сами цены не изменятся; сохранится "
                                "новая версия с %3, и сайт станет называть эти цены.")
                     .arg(samples)
                     .arg(priced)
                     .arg(ui->dateEditPricesFrom->date().toString(QStringLiteral("dd.MM.yyyy")))))
        return;
    PriceVersionInfo info;
    info.from = ui->dateEditPricesFrom->date();
    const QString note = ui->lineEditPricesNote->text().trimmed();
    info.note = note.isEmpty() ? QStringLiteral("все цены подтверждены магазином") : note;
    info.loadedBy = priceLoaderName();
    info.loadedAt = QDateTime::fromMSecsSinceEpoch(priceClockMSecs());
    ui->plainTextEditPriceReport->clear();
    store(confirmedVersion(inForce, info),
          QStringLiteral(" — подтверждено цен-образцов: %1 из %2.").arg(samples).arg(priced));
}

void PriceListDialog::setBusy(bool busy)
{
    for (QPushButton *button :
         {ui->pushButtonImportPrices, ui->pushButtonSaveVersion, ui->pushButtonConfirmPrices,
          ui->pushButtonExportPrices, ui->pushButtonChangeSelected})
        button->setEnabled(!busy);
}

void PriceListDialog::exportFile()
{
    const QString name = QStringLiteral("прайс-лист-версия-") + QString::number(shownVersion())
        + (spreadsheetWriter() ? QStringLiteral(".ods") : QStringLiteral(".csv"));
    const QString filters = spreadsheetWriter()
        ? QStringLiteral("Таблица LibreOffice (*.ods);;Книга Excel (*.xlsx);;Текст CSV (*.csv)")
        : QStringLiteral("Текст CSV (*.csv)");
    QString fileName = chooseSaveFile(QStringLiteral("Выгрузить прайс-лист"), filters, name);
    if (fileName.isEmpty())
        return;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += spreadsheetWriter() ? QStringLiteral(".ods") : QStringLiteral(".csv");
    setBusy(true);
    ui->plainTextEditPriceReport->setPlainText(
        QStringLiteral("Выгрузка в ") + QDir::toNativeSeparators(fileName) + QStringLiteral("…"));
    // A spreadsheet is written by the office, which may take its time to start.
    const PriceVersion version = draft();
    const auto write = [fileName, version] {
        QString error;
        if (!writePriceFile(fileName, version, &error, spreadsheetWriter()) && error.isEmpty())
            error = QStringLiteral("неизвестная ошибка");
        return error;
    };
    const auto written = [this, fileName](const QString &error) {
        if (!error.isEmpty()) {
            ui->plainTextEditPriceReport->setPlainText(
                QStringLiteral("Файл %1 не записан: %2. Выберите другую папку "
                               "или освободите место и выгрузите снова.")
                    .arg(QDir::toNativeSeparators(fileName), error));
            emit fileWritten(false);
            return;
        }
        QString text = QStringLiteral("Выгружено в ") + QDir::toNativeSeparators(fileName)
            + QLatin1Char('.');
        if (!isPriceSpreadsheet(fileName)) {
            text += QStringLiteral(" Открывая файл в Calc, задайте столбцу «ключ» тип «Текст» (или "
                                   "отметьте «Поля в кавычках как текст»), иначе ведущие нули "
                                   "ключей пропадут.");
        }
        ui->plainTextEditPriceReport->setPlainText(text);
        emit fileWritten(true);
    };
    const auto stopped = [this](const QString &why) {
        ui->plainTextEditPriceReport->setPlainText(QStringLiteral("Файл не записан: ") + why);
        emit fileWritten(false);
    };
    runFileWork<QString>(fileName, write, written, stopped);
}

void PriceListDialog::importFile()
{
    if (!dropEditsAllowed())
        return;
    const QString fileName = chooseOpenFile(
        QStringLiteral("Загрузить прайс-лист"),
        spreadsheetReader() ? QStringLiteral("Прайс-лист (*.ods *.xlsx *.csv *.txt)")
                            : QStringLiteral("Текст CSV (*.csv *.txt)"));
    if (fileName.isEmpty())
        return;
    setBusy(true);
    ui->plainTextEditPriceReport->setPlainText(QStringLiteral("Проверка файла ")
                                               + QDir::toNativeSeparators(fileName)
                                               + QStringLiteral("…"));

    // Reading and checking a large file must not freeze the window.
    const PriceVersion inForce = book.inForce();
    runFileWork<PriceFileCheck>(
        fileName,
        [fileName, inForce] { return checkPriceFile(fileName, inForce, spreadsheetReader()); },
        [this, fileName](const PriceFileCheck &check) { takeCheckedFile(fileName, check); },
        [this](const QString &why) {
            ui->plainTextEditPriceReport->setPlainText(
                QStringLiteral("Файл не загружен: ") + why
                + QStringLiteral(" Цены в таблице прежние."));
            emit fileChecked(false);
        });
}

template<class Result>
void PriceListDialog::runFileWork(const QString &fileName, std::function<Result()> work,
                                  std::function<void(const Result &)> done,
                                  std::function<void(const QString &why)> stopped)
{
    auto *watcher = new QFutureWatcher<Result>(this);
    fileWork = watcher;
    fileWorkStopped = std::move(stopped);
    connect(watcher, &QFutureWatcher<Result>::finished, this, [this, watcher, done] {
        fileWork = nullptr;
        fileDeadline->stop();
        ui->pushButtonCancelPriceFile->hide();
        setBusy(false);
        watcher->deleteLater();
        done(watcher->result());
    });
    const int seconds = fileTimeLimitMs / 1000;
    fileDeadline->disconnect();
    connect(fileDeadline, &QTimer::timeout, this, [this, seconds] {
        stopFileWork(QStringLiteral("за %1\u00a0с ответа нет (файл на недоступном диске, или "
                                    "LibreOffice не отвечает).")
                         .arg(seconds));
    });
    ui->pushButtonCancelPriceFile->disconnect();
    connect(ui->pushButtonCancelPriceFile, &QPushButton::clicked, this,
            [this] { stopFileWork(QStringLiteral("ожидание отменено.")); });
    ui->pushButtonCancelPriceFile->show();
    fileDeadline->start(fileTimeLimitMs);
    watcher->setFuture(QtConcurrent::run(poolFor(fileName), std::move(work)));
}

void PriceListDialog::stopFileWork(const QString &why)
{
    if (!fileWork)
        return;
    // The work goes on by itself on its pool; what it brings later is dropped with its watcher.
    fileWork->disconnect(this);
    fileWork->deleteLater();
    fileWork = nullptr;
    fileDeadline->stop();
    ui->pushButtonCancelPriceFile->hide();
    setBusy(false);
    fileWorkStopped(why);
}

void PriceListDialog::takeCheckedFile(const QString &fileName, const PriceFileCheck &check)
{
    ui->plainTextEditPriceReport->setPlainText(check.report());
    if (check.accepted()) {
        // The file's prices go onto the version in force, ready to be saved with a date.
        showVersion(book.inForce().info.number);
        for (int row = 0; row < priceRows().size(); ++row) {
            const PriceRow &priceRow = priceRows().at(row);
            const QHash<QString, double> &read = priceRow.extra ? check.extras : check.prices;
            const auto price = read.constFind(priceRow.key);
            if (price != read.constEnd())
                model->setPrice(row, *price);
        }
        model->priceRowsChanged(0, model->rowCount() - 1);
        ui->lineEditPricesNote->setText(QStringLiteral("Из файла ")
                                        + QFileInfo(fileName).fileName());
        loadedFrom = fileName;
        ui->plainTextEditPriceReport->appendPlainText(
            QStringLiteral("Цены из файла в таблице: выберите дату и нажмите "
                           "«Сохранить как новую версию»."));
    }
    emit fileChecked(check.accepted());
}
