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
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QSysInfo>
#include <QVBoxLayout>

#include <algorithm>

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
    inn = field("lineEditInn", shop);
    kpp = field("lineEditKpp", shop);
    ogrn = field("lineEditOgrn", shop);
    bankName = field("lineEditBankName", shop);
    bik = field("lineEditBik", shop);
    settlementAccount = field("lineEditSettlementAccount", shop);
    corrAccount = field("lineEditCorrAccount", shop);
    address = field("lineEditAddress", shop);
    director = field("lineEditDirector", shop);
    accountant = field("lineEditAccountant", shop);
    hours = field("lineEditHours", shop);
    director->setPlaceholderText(QStringLiteral("пусто: строка для подписи от руки"));
    accountant->setPlaceholderText(director->placeholderText());
    hours->setPlaceholderText(QStringLiteral("например: пн–пт 9:00–19:00, сб 10:00–16:00"));
    // A checked field carries its mark under it, shown while the field holds a mistake.
    const auto checkedRow
        = [this, shop, shopForm](const QString &caption, QLineEdit *edit, const char *markName) {
              auto *mark = new QLabel(shop);
              mark->setObjectName(QLatin1String(markName));
              mark->setWordWrap(true);
              mark->setStyleSheet(labelColourStyle(ProblemColour));
              mark->hide();
              auto *column = new QVBoxLayout;
              column->setSpacing(2);
              column->addWidget(edit);
              column->addWidget(mark);
              shopForm->addRow(caption, column);
              marks.insert(edit, mark);
              connect(edit, &QLineEdit::textChanged, this, &SettingsDialog::checkRequisites);
          };
    shopForm->addRow(QStringLiteral("Название:"), shopName);
    connect(shopName, &QLineEdit::textChanged, this, &SettingsDialog::checkRequisites);
    checkedRow(QStringLiteral("ИНН:"), inn, "labelInnProblem");
    checkedRow(QStringLiteral("КПП:"), kpp, "labelKppProblem");
    checkedRow(QStringLiteral("ОГРН / ОГРНИП:"), ogrn, "labelOgrnProblem");
    shopForm->addRow(QStringLiteral("Банк:"), bankName);
    connect(bankName, &QLineEdit::textChanged, this, &SettingsDialog::checkRequisites);
    checkedRow(QStringLiteral("БИК:"), bik, "labelBikProblem");
    checkedRow(QStringLiteral("Расчётный счёт:"), settlementAccount,
               "labelSettlementAccountProblem");
    checkedRow(QStringLiteral("Корр. счёт:"), corrAccount, "labelCorrAccountProblem");
    shopForm->addRow(QStringLiteral("Организация и адрес:"), address);
    shopForm->addRow(QStringLiteral("Руководитель:"), director);
    shopForm->addRow(QStringLiteral("Главный бухгалтер:"), accountant);
    shopForm->addRow(QStringLiteral("Часы работы:"), hours);
    qrNote = new QLabel(shop);
    qrNote->setObjectName(QStringLiteral("labelQrNote"));
    qrNote->setWordWrap(true);
    qrNote->setStyleSheet(labelColourStyle(SampleNoticeColour));
    shopForm->addRow(qrNote);

    // An older file's one-line requisites: printed as they are while the fields above are empty.
    auto *lines = new QGroupBox(QStringLiteral("Реквизиты строками (прежние настройки)"), this);
    auto *linesForm = new QFormLayout(lines);
    taxNumbers = field("lineEditTaxNumbers", lines);
    bank = field("lineEditBank", lines);
    account = field("lineEditAccount", lines);
    linesForm->addRow(QStringLiteral("ИНН, КПП, телефон:"), taxNumbers);
    linesForm->addRow(QStringLiteral("Банк:"), bank);
    linesForm->addRow(QStringLiteral("Счета:"), account);

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

    // The groups scroll on a low screen; the file's problem and the buttons stay in sight.
    auto *groups = new QWidget(this);
    auto *groupsLayout = new QVBoxLayout(groups);
    groupsLayout->setContentsMargins(0, 0, 0, 0);
    groupsLayout->addWidget(shop);
    groupsLayout->addWidget(lines);
    groupsLayout->addWidget(documents);
    groupsLayout->addWidget(counter);
    groupsLayout->addStretch();
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scrollAreaSettings"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(groups);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(problemNote);
    layout->addWidget(scroll, 1);
    layout->addWidget(buttons);
    load();
    // Room for every group and a few marks; the scroll bar's width beside them.
    const QSize content = groups->sizeHint();
    resizeWithinScreen(this,
                       QSize(content.width() + scroll->verticalScrollBar()->sizeHint().width() + 30,
                             content.height() + buttons->sizeHint().height() + 160));
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
    inn->setText(shop.inn);
    kpp->setText(shop.kpp);
    ogrn->setText(shop.ogrn);
    bankName->setText(shop.bankName);
    bik->setText(shop.bik);
    settlementAccount->setText(shop.settlementAccount);
    corrAccount->setText(shop.corrAccount);
    hours->setText(settings.text(QLatin1String(OpeningHoursKey)));
    address->setText(shop.address);
    taxNumbers->setText(shop.taxNumbers);
    bank->setText(shop.bank);
    account->setText(shop.account);
    director->setText(shop.director);
    accountant->setText(shop.accountant);
    pdfFolder->setText(QDir::toNativeSeparators(documents.pdfFolder));
    validityDays->setValue(documents.validityDays);
    checkRequisites();
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
    documents.requisites = requisitesFromFields();
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
    keep(OpeningHoursKey, hours->text().trimmed());
    keep(CounterNameKey, counterName->text().trimmed());
    const bool urlEdited
        = databaseUrl->text() != shownUrl || databasePassword->text() != shownPassword;
    QString url = urlEdited
        ? DatabaseUrl::withPassword(databaseUrl->text(), databasePassword->text())
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

ShopRequisites SettingsDialog::requisitesFromFields() const
{
    ShopRequisites shop;
    shop.name = shopName->text().trimmed();
    shop.address = address->text().trimmed();
    shop.taxNumbers = taxNumbers->text().trimmed();
    shop.bank = bank->text().trimmed();
    shop.account = account->text().trimmed();
    shop.director = director->text().trimmed();
    shop.accountant = accountant->text().trimmed();
    shop.inn = inn->text().trimmed();
    shop.kpp = kpp->text().trimmed();
    shop.ogrn = ogrn->text().trimmed();
    shop.bankName = bankName->text().trimmed();
    shop.bik = bik->text().trimmed();
    shop.settlementAccount = settlementAccount->text().trimmed();
    shop.corrAccount = corrAccount->text().trimmed();
    return shop;
}

void SettingsDialog::checkRequisites()
{
    const ShopRequisites shop = requisitesFromFields();
    const QHash<int, QLineEdit *> edits = {
        {int(Requisite::Inn), inn},
        {int(Requisite::Kpp), kpp},
        {int(Requisite::Ogrn), ogrn},
        {int(Requisite::Bik), bik},
        {int(Requisite::Settlement), settlementAccount},
        {int(Requisite::Corr), corrAccount},
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
    qrNote->setText(reason.isEmpty()
                        ? QString()
                        : QStringLiteral("В счетах не будет QR-кода для оплаты: %1 Сохранить "
                                         "настройки можно и так.")
                              .arg(reason));
    qrNote->setVisible(!reason.isEmpty());
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
