// The settings dialog: fields laid out by group, read from the file when it opens, written back
// on "OK".
#include "dialogs/settings_dialog.h"

#include "customers/requisites.h"
#include "dialogs/colours.h"
#include "dialogs/screen_fit.h"
#include "documents/document_settings.h"
#include "order/payment_qr.h"
#include "storage/database_password.h"
#include "storage/database_url.h"
#include "storage/settings_file.h"

#include "ui_settings_dialog.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QScrollBar>
#include <QSysInfo>

#include <algorithm>
#include <iterator>

const char *const SettingsDialog::CounterNameKey = "counter/name";
const char *const SettingsDialog::DatabaseUrlKey = "database/url";
const char *const SettingsDialog::OfficeWarmupKey = "office/warmup";
const char *const SettingsDialog::OpeningHoursKey = "requisites/hours";

namespace {

// The field a mistake belongs to, by the caption the checks name it with.
enum class Requisite { Inn, Kpp, Ogrn, Bik, Settlement, Corr };

struct RequisiteProblem
{
    Requisite field;
    QString message;
};

// The shop's requisites checked with the customers' rules. The shop is an organisation or a sole
// trader: the ИНН's length says which (a ОГРН is judged by its own length), so that each number is
// checked by the rule of its kind.
QVector<RequisiteProblem> shopProblems(const ShopRequisites &shop)
{
    QVector<RequisiteProblem> problems;
    const bool innDigits = !shop.inn.isEmpty()
        && std::all_of(shop.inn.begin(), shop.inn.end(), [](QChar c) { return c.isDigit(); });
    Customer byInn;
    byInn.shortName = shop.name.isEmpty() ? QStringLiteral("-") : shop.name;
    byInn.kind = shop.inn.size() == 12 ? Customer::SoleTrader : Customer::Organisation;
    if (innDigits && shop.inn.size() != 10 && shop.inn.size() != 12)
        problems.append({Requisite::Inn,
                         QStringLiteral("ИНН: 10 цифр у организации или 12 у ИП, введено цифр: %1")
                             .arg(shop.inn.size())});
    else
        byInn.inn = shop.inn;
    byInn.kpp = shop.kpp;
    byInn.bik = shop.bik;
    byInn.account = shop.settlementAccount;
    byInn.correspondentAccount = shop.corrAccount;
    Customer byOgrn;
    byOgrn.shortName = byInn.shortName;
    byOgrn.kind = shop.ogrn.size() == 15 ? Customer::SoleTrader : Customer::Organisation;
    byOgrn.ogrn = shop.ogrn;
    const QVector<CustomerProblem> found = customerProblems(byInn) + customerProblems(byOgrn);
    const QHash<QString, Requisite> fields = {
        {QStringLiteral("ИНН"), Requisite::Inn},
        {QStringLiteral("КПП"), Requisite::Kpp},
        {QStringLiteral("ОГРН"), Requisite::Ogrn},
        {QStringLiteral("ОГРНИП"), Requisite::Ogrn},
        {QStringLiteral("БИК"), Requisite::Bik},
        {QStringLiteral("Расчётный счёт"), Requisite::Settlement},
        {QStringLiteral("Корр. счёт"), Requisite::Corr},
    };
    for (const CustomerProblem &problem : found)
        if (fields.contains(problem.field))
            problems.append({fields.value(problem.field), problem.message});
    return problems;
}

// Why the invoices will carry no payment QR code with these requisites, or empty.
QString qrLeftOffReason(const ShopRequisites &shop)
{
    PaymentRequest request;
    request.payee
        = {shop.name,       shop.inn, shop.kpp, shop.bankName, shop.bik, shop.settlementAccount,
           shop.corrAccount};
    request.sumKopecks = 100; // any sum: only the shop's fields are in question here
    QString problem;
    if (!paymentQrText(request, &problem).isEmpty())
        return QString();
    const QString told = QStringLiteral("QR-код для оплаты не добавлен: ");
    return problem.startsWith(told) ? problem.mid(told.size()) : problem;
}

} // namespace

// The form lists the modes and the rates in these orders, their captions set as it is built, so
// that the boxes are measured with them; each item carries its value.
static void giveTaxValues(QComboBox *mode, QComboBox *rate)
{
    const TaxMode modes[] = {TaxMode::OnTop, TaxMode::Included, TaxMode::None};
    const int rates[] = {0, 5, 7, 10, 18, 20, 22};
    for (int i = 0; i < qMin(mode->count(), int(std::size(modes))); ++i)
        mode->setItemData(i, int(modes[i]));
    for (int i = 0; i < qMin(rate->count(), int(std::size(rates))); ++i)
        rate->setItemData(i, rates[i]);
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

SettingsDialog::SettingsDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::SettingsDialog)
{
    ui->setupUi(this);
    // A checked field carries its mark under it, shown while the field holds a mistake.
    marks = {
        {ui->lineEditInn, ui->labelInnProblem},
        {ui->lineEditKpp, ui->labelKppProblem},
        {ui->lineEditOgrn, ui->labelOgrnProblem},
        {ui->lineEditBik, ui->labelBikProblem},
        {ui->lineEditSettlementAccount, ui->labelSettlementAccountProblem},
        {ui->lineEditCorrAccount, ui->labelCorrAccountProblem},
    };
    for (QLabel *mark : qAsConst(marks))
        mark->setStyleSheet(labelColourStyle(ProblemColour));
    for (QLineEdit *edit : {ui->lineEditShopName, ui->lineEditInn, ui->lineEditKpp,
                            ui->lineEditOgrn, ui->lineEditBankName, ui->lineEditBik,
                            ui->lineEditSettlementAccount, ui->lineEditCorrAccount})
        connect(edit, &QLineEdit::textChanged, this, &SettingsDialog::checkRequisites);
    ui->labelQrNote->setStyleSheet(labelColourStyle(SampleNoticeColour));

    ui->lineEditPdfFolder->setPlaceholderText(
        QDir::toNativeSeparators(DocumentSettings::defaultPdfFolder()));
    connect(ui->pushButtonPdfFolder, &QPushButton::clicked, this, &SettingsDialog::choosePdfFolder);
    ui->spinBoxValidityDays->setRange(0, DocumentSettings::MaxValidityDays);
    giveTaxValues(ui->comboBoxTaxMode, ui->comboBoxTaxRate);
    // One change prepared ahead, from a day on: the invoice's date decides which applies.
    giveTaxValues(ui->comboBoxTaxChangeMode, ui->comboBoxTaxChangeRate);
    connect(ui->comboBoxTaxMode, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SettingsDialog::enableTaxFields);
    connect(ui->comboBoxTaxChangeMode, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SettingsDialog::enableTaxFields);
    connect(ui->checkBoxTaxChange, &QCheckBox::toggled, this, &SettingsDialog::enableTaxFields);

    ui->lineEditCounterName->setPlaceholderText(QSysInfo::machineHostName());
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);
    ui->labelSettingsProblem->setStyleSheet(labelColourStyle(ProblemColour));

    load();
    // The form measures itself before its captions are in, and a layout inside another keeps what
    // it measured then: the groups are measured afresh.
    for (QLayout *layout : ui->widgetSettingsGroups->findChildren<QLayout *>())
        layout->invalidate();
    for (QGroupBox *group :
         {ui->groupBoxShop, ui->groupBoxRequisiteLines, ui->groupBoxDocuments, ui->groupBoxCounter})
        group->updateGeometry();
    // The scroll area holding the fields comes before them in the focus chain.
    ui->lineEditShopName->setFocus();
    // Room for every group and a few marks, the scroll bar's width beside them. On a low screen
    // the groups scroll; the file's problem and the buttons stay in sight.
    const QSize content = ui->widgetSettingsGroups->sizeHint();
    resizeWithinScreen(this,
                       QSize(content.width()
                                 + ui->scrollAreaSettings->verticalScrollBar()->sizeHint().width()
                                 + 30,
                             content.height() + ui->buttonBox->sizeHint().height() + 160));
}

SettingsDialog::~SettingsDialog() = default;

void SettingsDialog::load()
{
    const SettingsFile settings(settingsFilePath());
    fileProblem = settings.problem();
    ui->labelSettingsProblem->setText(fileProblem);
    ui->labelSettingsProblem->setVisible(!fileProblem.isEmpty());

    const DocumentSettings documents = DocumentSettings::read(settings);
    const ShopRequisites &shop = documents.requisites;
    ui->lineEditShopName->setText(shop.name);
    ui->lineEditInn->setText(shop.inn);
    ui->lineEditKpp->setText(shop.kpp);
    ui->lineEditOgrn->setText(shop.ogrn);
    ui->lineEditBankName->setText(shop.bankName);
    ui->lineEditBik->setText(shop.bik);
    ui->lineEditSettlementAccount->setText(shop.settlementAccount);
    ui->lineEditCorrAccount->setText(shop.corrAccount);
    ui->lineEditHours->setText(settings.text(QLatin1String(OpeningHoursKey)));
    ui->lineEditAddress->setText(shop.address);
    ui->lineEditTaxNumbers->setText(shop.taxNumbers);
    ui->lineEditBank->setText(shop.bank);
    ui->lineEditAccount->setText(shop.account);
    ui->lineEditDirector->setText(shop.director);
    ui->lineEditAccountant->setText(shop.accountant);
    ui->lineEditPdfFolder->setText(QDir::toNativeSeparators(documents.pdfFolder));
    ui->spinBoxValidityDays->setValue(documents.validityDays);
    checkRequisites();
    loadedTax = documents.tax;
    showRule(ui->comboBoxTaxMode, ui->comboBoxTaxRate, loadedTax.rule);
    ui->checkBoxTaxChange->setChecked(loadedTax.changeFrom.isValid());
    // Without a change the fields offer the next new year with the rule in force.
    ui->dateEditTaxChange->setDate(loadedTax.changeFrom.isValid()
                                       ? loadedTax.changeFrom
                                       : QDate(QDate::currentDate().year() + 1, 1, 1));
    showRule(ui->comboBoxTaxChangeMode, ui->comboBoxTaxChangeRate,
             loadedTax.changeFrom.isValid() ? loadedTax.change : loadedTax.rule);
    enableTaxFields();

    ui->lineEditCounterName->setText(settings.value(QLatin1String(CounterNameKey)).toString());
    storedUrl = settings.value(QLatin1String(DatabaseUrlKey)).toString();
    shownUrl = DatabaseUrl::withoutPassword(storedUrl, &shownPassword);
    ui->lineEditDatabaseUrl->setText(shownUrl);
    ui->lineEditDatabasePassword->setText(shownPassword);
    ui->checkBoxOfficeWarmup->setChecked(
        settings.value(QLatin1String(OfficeWarmupKey), true).toBool());
}

bool SettingsDialog::save() const
{
    SettingsFile settings(settingsFilePath());
    if (!settings.problem().isEmpty())
        return false;
    DocumentSettings documents;
    documents.requisites = requisitesFromFields();
    documents.pdfFolder = QDir::fromNativeSeparators(ui->lineEditPdfFolder->text().trimmed());
    documents.validityDays = ui->spinBoxValidityDays->value();
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
    keep(OpeningHoursKey, ui->lineEditHours->text().trimmed());
    keep(CounterNameKey, ui->lineEditCounterName->text().trimmed());
    const bool urlEdited = ui->lineEditDatabaseUrl->text() != shownUrl
        || ui->lineEditDatabasePassword->text() != shownPassword;
    QString url = urlEdited ? DatabaseUrl::withPassword(ui->lineEditDatabaseUrl->text(),
                                                        ui->lineEditDatabasePassword->text())
                            : storedUrl.trimmed();
    // The password goes to the password file; the settings keep the URL without it.
    const DatabaseUrl parsed = DatabaseUrl::parse(url);
    if (parsed.kind == DatabaseUrl::Postgres && !parsed.password.isEmpty()) {
        QString error;
        if (!keepDatabasePassword(parsed, &error))
            return false;
        url = urlWithoutPassword(url);
    }
    keep(DatabaseUrlKey, url);
    settings.setValue(QLatin1String(OfficeWarmupKey), ui->checkBoxOfficeWarmup->isChecked());
    return settings.save();
}

void SettingsDialog::accept()
{
    const QString folderProblem = DocumentSettings::pdfFolderProblem(
        QDir::fromNativeSeparators(ui->lineEditPdfFolder->text().trimmed()));
    if (!folderProblem.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), folderProblem);
        ui->lineEditPdfFolder->setFocus();
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

ShopRequisites SettingsDialog::requisitesFromFields() const
{
    ShopRequisites shop;
    shop.name = ui->lineEditShopName->text().trimmed();
    shop.address = ui->lineEditAddress->text().trimmed();
    shop.taxNumbers = ui->lineEditTaxNumbers->text().trimmed();
    shop.bank = ui->lineEditBank->text().trimmed();
    shop.account = ui->lineEditAccount->text().trimmed();
    shop.director = ui->lineEditDirector->text().trimmed();
    shop.accountant = ui->lineEditAccountant->text().trimmed();
    shop.inn = ui->lineEditInn->text().trimmed();
    shop.kpp = ui->lineEditKpp->text().trimmed();
    shop.ogrn = ui->lineEditOgrn->text().trimmed();
    shop.bankName = ui->lineEditBankName->text().trimmed();
    shop.bik = ui->lineEditBik->text().trimmed();
    shop.settlementAccount = ui->lineEditSettlementAccount->text().trimmed();
    shop.corrAccount = ui->lineEditCorrAccount->text().trimmed();
    return shop;
}

void SettingsDialog::checkRequisites()
{
    const ShopRequisites shop = requisitesFromFields();
    const QHash<int, QLineEdit *> edits = {
        {int(Requisite::Inn), ui->lineEditInn},
        {int(Requisite::Kpp), ui->lineEditKpp},
        {int(Requisite::Ogrn), ui->lineEditOgrn},
        {int(Requisite::Bik), ui->lineEditBik},
        {int(Requisite::Settlement), ui->lineEditSettlementAccount},
        {int(Requisite::Corr), ui->lineEditCorrAccount},
    };
    QHash<QLineEdit *, QString> told;
    for (const RequisiteProblem &problem : shopProblems(shop)) {
        QString &text = told[edits.value(int(problem.field))];
        if (text.isEmpty())
            text = problem.message;
    }
    for (auto it = marks.cbegin(); it != marks.cend(); ++it) {
        const QString text = told.value(it.key());
        it.value()->setText(text);
        it.value()->setVisible(!text.isEmpty());
        it.key()->setStyleSheet(
            text.isEmpty()
                ? QString()
                : QStringLiteral("QLineEdit { border: 1px solid %1; }").arg(ProblemColour.name()));
        it.key()->setToolTip(text);
    }
    const QString reason = qrLeftOffReason(shop);
    ui->labelQrNote->setText(
        reason.isEmpty() ? QString()
                         : QStringLiteral("В счетах не будет QR-кода для оплаты: %1 Сохранить "
                                          "настройки можно и так.")
                               .arg(reason));
    ui->labelQrNote->setVisible(!reason.isEmpty());
}

void SettingsDialog::enableTaxFields()
{
    // Without tax there is no rate; without a change its fields wait.
    ui->comboBoxTaxRate->setEnabled(ui->comboBoxTaxMode->currentData().toInt()
                                    != int(TaxMode::None));
    ui->dateEditTaxChange->setEnabled(ui->checkBoxTaxChange->isChecked());
    ui->comboBoxTaxChangeMode->setEnabled(ui->checkBoxTaxChange->isChecked());
    ui->comboBoxTaxChangeRate->setEnabled(ui->checkBoxTaxChange->isChecked()
                                          && ui->comboBoxTaxChangeMode->currentData().toInt()
                                              != int(TaxMode::None));
}

TaxSettings SettingsDialog::taxFromFields() const
{
    TaxSettings tax;
    tax.rule = ruleOf(ui->comboBoxTaxMode, ui->comboBoxTaxRate);
    if (ui->checkBoxTaxChange->isChecked()) {
        tax.changeFrom = ui->dateEditTaxChange->date();
        tax.change = ruleOf(ui->comboBoxTaxChangeMode, ui->comboBoxTaxChangeRate);
    }
    const TaxSettings unset;
    tax.given = loadedTax.given || !(tax.rule == unset.rule) || tax.changeFrom.isValid();
    return tax;
}

void SettingsDialog::choosePdfFolder()
{
    const QString start = ui->lineEditPdfFolder->text().isEmpty()
        ? DocumentSettings::defaultPdfFolder()
        : ui->lineEditPdfFolder->text();
    const QString chosen
        = QFileDialog::getExistingDirectory(this, QStringLiteral("Папка для PDF"), start);
    if (!chosen.isEmpty())
        ui->lineEditPdfFolder->setText(QDir::toNativeSeparators(chosen));
}
