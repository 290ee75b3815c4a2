// The settings dialog: fields laid out by group, read from the file when it opens, written back
// on "OK".
#include "dialogs/settings_dialog.h"

#include "dialogs/colours.h"
#include "documents/document_settings.h"
#include "storage/database_url.h"
#include "storage/settings_file.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QSysInfo>
#include <QVBoxLayout>

const char *const SettingsDialog::CounterNameKey = "counter/name";
const char *const SettingsDialog::DatabaseUrlKey = "database/url";
const char *const SettingsDialog::OfficeWarmupKey = "office/warmup";

static QComboBox *taxModeBox(const char *name, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItem(QStringLiteral("НДС сверху"), int(TaxMode::OnTop));
    box->addItem(QStringLiteral("НДС в том числе"), int(TaxMode::Included));
    box->addItem(QStringLiteral("без НДС"), int(TaxMode::None));
    return box;
}

static QComboBox *taxRateBox(const char *name, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    for (const int rate : {0, 5, 7, 10, 18, 20, 22})
        box->addItem(QString::number(rate) + QStringLiteral(" %"), rate);
    return box;
}

static void showRule(QComboBox *mode, QComboBox *rate, const TaxRule &rule)
{
    mode->setCurrentIndex(mode->findData(int(rule.mode)));
    rate->setCurrentIndex(rate->findData(rule.rate));
}

static TaxRule ruleOf(const QComboBox *mode, const QComboBox *rate)
{
    return {TaxMode(mode->currentData().toInt()), rate->currentData().toInt()};
}

static QLineEdit *field(const char *name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMinimumWidth(420);
    return edit;
}

SettingsDialog::SettingsDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("settingsDialog"));
    setWindowTitle(QStringLiteral("Настройки"));

    auto *shop = new QGroupBox(QStringLiteral("Реквизиты в счёте"), this);
    auto *shopForm = new QFormLayout(shop);
    shopName = field("lineEditShopName", shop);
    address = field("lineEditAddress", shop);
    taxNumbers = field("lineEditTaxNumbers", shop);
    bank = field("lineEditBank", shop);
    account = field("lineEditAccount", shop);
    director = field("lineEditDirector", shop);
    accountant = field("lineEditAccountant", shop);
    director->setPlaceholderText(QStringLiteral("пусто: строка для подписи от руки"));
    accountant->setPlaceholderText(director->placeholderText());
    shopForm->addRow(QStringLiteral("Название:"), shopName);
    shopForm->addRow(QStringLiteral("Организация и адрес:"), address);
    shopForm->addRow(QStringLiteral("ИНН, КПП, телефон:"), taxNumbers);
    shopForm->addRow(QStringLiteral("Банк:"), bank);
    shopForm->addRow(QStringLiteral("Счета:"), account);
    shopForm->addRow(QStringLiteral("Руководитель:"), director);
    shopForm->addRow(QStringLiteral("Главный бухгалтер:"), accountant);

    auto *documents = new QGroupBox(QStringLiteral("Документы"), this);
    auto *documentsForm = new QFormLayout(documents);
    pdfFolder = field("lineEditPdfFolder", documents);
    pdfFolder->setPlaceholderText(QDir::toNativeSeparators(DocumentSettings::defaultPdfFolder()));
    auto *browse = new QPushButton(QStringLiteral("Выбрать…"), documents);
    browse->setObjectName(QStringLiteral("pushButtonPdfFolder"));
    connect(browse, &QPushButton::clicked, this, &SettingsDialog::choosePdfFolder);
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(pdfFolder);
    folderRow->addWidget(browse);
    documentsForm->addRow(QStringLiteral("Папка для PDF:"), folderRow);
    validityDays = new QSpinBox(documents);
    validityDays->setObjectName(QStringLiteral("spinBoxValidityDays"));
    validityDays->setRange(0, DocumentSettings::MaxValidityDays);
    validityDays->setSuffix(QStringLiteral(" дн."));
    documentsForm->addRow(QStringLiteral("Счёт действителен:"), validityDays);
    taxMode = taxModeBox("comboBoxTaxMode", documents);
    taxRate = taxRateBox("comboBoxTaxRate", documents);
    auto *taxRow = new QHBoxLayout;
    taxRow->addWidget(taxMode);
    taxRow->addWidget(taxRate);
    taxRow->addStretch();
    documentsForm->addRow(QStringLiteral("Налог:"), taxRow);
    // One change prepared ahead, from a day on: the invoice's date decides which applies.
    taxChange = new QCheckBox(QStringLiteral("с"), documents);
    taxChange->setObjectName(QStringLiteral("checkBoxTaxChange"));
    taxChangeFrom = new QDateEdit(documents);
    taxChangeFrom->setObjectName(QStringLiteral("dateEditTaxChange"));
    taxChangeFrom->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    taxChangeFrom->setCalendarPopup(true);
    taxChangeMode = taxModeBox("comboBoxTaxChangeMode", documents);
    taxChangeRate = taxRateBox("comboBoxTaxChangeRate", documents);
    auto *changeRow = new QHBoxLayout;
    changeRow->addWidget(taxChange);
    changeRow->addWidget(taxChangeFrom);
    changeRow->addWidget(taxChangeMode);
    changeRow->addWidget(taxChangeRate);
    changeRow->addStretch();
    documentsForm->addRow(QStringLiteral("Смена налога:"), changeRow);
    connect(taxMode, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SettingsDialog::enableTaxFields);
    connect(taxChangeMode, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SettingsDialog::enableTaxFields);
    connect(taxChange, &QCheckBox::toggled, this, &SettingsDialog::enableTaxFields);

    auto *counter = new QGroupBox(QStringLiteral("Рабочее место"), this);
    auto *counterForm = new QFormLayout(counter);
    counterName = field("lineEditCounterName", counter);
    counterName->setPlaceholderText(QSysInfo::machineHostName());
    databaseUrl = field("lineEditDatabaseUrl", counter);
    databaseUrl->setPlaceholderText(QStringLiteral("пусто: файл SQLite на этом компьютере"));
    databasePassword = field("lineEditDatabasePassword", counter);
    databasePassword->setEchoMode(QLineEdit::Password);
    databasePassword->setPlaceholderText(QStringLiteral("пусто: без пароля"));
    counterForm->addRow(QStringLiteral("Стойка:"), counterName);
    counterForm->addRow(QStringLiteral("База данных (URL):"), databaseUrl);
    counterForm->addRow(QStringLiteral("Пароль базы данных:"), databasePassword);
    officeWarmup = new QCheckBox(
        QStringLiteral("Запускать офис заранее, чтобы первый экспорт не ждал"), counter);
    officeWarmup->setObjectName(QStringLiteral("checkBoxOfficeWarmup"));
    counterForm->addRow(officeWarmup);
    auto *restartNote = new QLabel(
        QStringLiteral("Имя стойки, база данных и запуск офиса действуют после перезапуска "
                       "программы."),
        counter);
    restartNote->setWordWrap(true);
    counterForm->addRow(restartNote);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttonBox"));
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);

    problemNote = new QLabel(this);
    problemNote->setObjectName(QStringLiteral("labelSettingsProblem"));
    problemNote->setWordWrap(true);
    problemNote->setStyleSheet(labelColourStyle(ProblemColour));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(problemNote);
    layout->addWidget(shop);
    layout->addWidget(documents);
    layout->addWidget(counter);
    layout->addWidget(buttons);
    load();
}

void SettingsDialog::load()
{
    const SettingsFile settings(settingsFilePath());
    fileProblem = settings.problem();
    problemNote->setText(fileProblem);
    problemNote->setVisible(!fileProblem.isEmpty());

    const DocumentSettings documents = DocumentSettings::read(settings);
    const ShopRequisites &shop = documents.requisites;
    shopName->setText(shop.name);
    address->setText(shop.address);
    taxNumbers->setText(shop.taxNumbers);
    bank->setText(shop.bank);
    account->setText(shop.account);
    director->setText(shop.director);
    accountant->setText(shop.accountant);
    pdfFolder->setText(QDir::toNativeSeparators(documents.pdfFolder));
    validityDays->setValue(documents.validityDays);
    loadedTax = documents.tax;
    showRule(taxMode, taxRate, loadedTax.rule);
    taxChange->setChecked(loadedTax.changeFrom.isValid());
    // Without a change the fields offer the next new year with the rule in force.
    taxChangeFrom->setDate(loadedTax.changeFrom.isValid()
                               ? loadedTax.changeFrom
                               : QDate(QDate::currentDate().year() + 1, 1, 1));
    showRule(taxChangeMode, taxChangeRate,
             loadedTax.changeFrom.isValid() ? loadedTax.change : loadedTax.rule);
    enableTaxFields();

    counterName->setText(settings.value(QLatin1String(CounterNameKey)).toString());
    storedUrl = settings.value(QLatin1String(DatabaseUrlKey)).toString();
    shownUrl = DatabaseUrl::withoutPassword(storedUrl, &shownPassword);
    databaseUrl->setText(shownUrl);
    databasePassword->setText(shownPassword);
    officeWarmup->setChecked(settings.value(QLatin1String(OfficeWarmupKey), true).toBool());
}

bool SettingsDialog::save() const
{
    SettingsFile settings(settingsFilePath());
    if (!settings.problem().isEmpty())
        return false;
    DocumentSettings documents;
    documents.requisites
        = {shopName->text().trimmed(),  address->text().trimmed(), taxNumbers->text().trimmed(),
           bank->text().trimmed(),      account->text().trimmed(), director->text().trimmed(),
           accountant->text().trimmed()};
    documents.pdfFolder = QDir::fromNativeSeparators(pdfFolder->text().trimmed());
    documents.validityDays = validityDays->value();
    documents.tax = taxFromFields();
    documents.store(settings);

    // An empty field leaves the key out, so that its default (the host name, the local file)
    // holds rather than an empty text.
    const auto keep = [&settings](const char *key, const QString &value) {
        if (value.isEmpty())
            settings.remove(QLatin1String(key));
        else
            settings.setValue(QLatin1String(key), value);
    };
    keep(CounterNameKey, counterName->text().trimmed());
    const bool urlEdited
        = databaseUrl->text() != shownUrl || databasePassword->text() != shownPassword;
    keep(DatabaseUrlKey,
         urlEdited ? DatabaseUrl::withPassword(databaseUrl->text(), databasePassword->text())
                   : storedUrl.trimmed());
    settings.setValue(QLatin1String(OfficeWarmupKey), officeWarmup->isChecked());
    return settings.save();
}

void SettingsDialog::accept()
{
    const QString folderProblem = DocumentSettings::pdfFolderProblem(
        QDir::fromNativeSeparators(pdfFolder->text().trimmed()));
    if (!folderProblem.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), folderProblem);
        pdfFolder->setFocus();
        return;
    }
    if (!save()) {
        const QString problem = SettingsFile(settingsFilePath()).problem();
        QMessageBox::warning(this, windowTitle(),
                             problem.isEmpty()
                                 ? QStringLiteral("Не удалось записать настройки в файл «%1».")
                                       .arg(QDir::toNativeSeparators(settingsFilePath()))
                                 : problem + QStringLiteral(" Настройки не сохранены."));
        return;
    }
    QDialog::accept();
}

void SettingsDialog::enableTaxFields()
{
    // Without tax there is no rate; without a change its fields wait.
    taxRate->setEnabled(taxMode->currentData().toInt() != int(TaxMode::None));
    taxChangeFrom->setEnabled(taxChange->isChecked());
    taxChangeMode->setEnabled(taxChange->isChecked());
    taxChangeRate->setEnabled(taxChange->isChecked()
                              && taxChangeMode->currentData().toInt() != int(TaxMode::None));
}

TaxSettings SettingsDialog::taxFromFields() const
{
    TaxSettings tax;
    tax.rule = ruleOf(taxMode, taxRate);
    if (taxChange->isChecked()) {
        tax.changeFrom = taxChangeFrom->date();
        tax.change = ruleOf(taxChangeMode, taxChangeRate);
    }
    const TaxSettings unset;
    tax.given = loadedTax.given || !(tax.rule == unset.rule) || tax.changeFrom.isValid();
    return tax;
}

void SettingsDialog::choosePdfFolder()
{
    const QString start
        = pdfFolder->text().isEmpty() ? DocumentSettings::defaultPdfFolder() : pdfFolder->text();
    const QString chosen
        = QFileDialog::getExistingDirectory(this, QStringLiteral("Папка для PDF"), start);
    if (!chosen.isEmpty())
        pdfFolder->setText(QDir::toNativeSeparators(chosen));
}
