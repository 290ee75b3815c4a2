// The settings dialog: fields laid out by group, read from the file when it opens, written back
// on "OK".
#include "dialogs/settings_dialog.h"

#include "customers/requisites.h"
#include "dialogs/colours.h"
#include "dialogs/prompts.h"
#include "dialogs/screen_fit.h"
#include "documents/document_settings.h"
#include "documents/requisite_lines.h"
#include "order/order_status.h"
#include "order/payment_qr.h"
#include "storage/database_password.h"
#include "storage/database_url.h"
#include "storage/mail_password.h"
#include "storage/settings_file.h"
#include "storage/shop_week.h"

#include "ui_settings_dialog.h"

#include <QComboBox>
#include <QDir>
#include <QScrollBar>
#include <QSysInfo>
#include <QtConcurrent>

#include <algorithm>
#include <iterator>

const char *const SettingsDialog::CounterNameKey = "counter/name";
const char *const SettingsDialog::DatabaseUrlKey = "database/url";
const char *const SettingsDialog::OfficeWarmupKey = "office/warmup";
const char *const SettingsDialog::OpeningHoursKey = "requisites/hours";
const char *const SettingsDialog::ShopPhoneKey = "requisites/phone";
const char *const SettingsDialog::MailOwnerKey = "mail/owner";

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

// The security's words in the order of the box: none, starttls, ssl.
static const char *const SecurityWords[] = {"none", "starttls", "ssl"};

SettingsDialog::SettingsDialog(QWidget *parent, Prompts *given)
    : QDialog(parent)
    , ui(new Ui::SettingsDialog)
    , ownPrompts(given ? nullptr : std::make_unique<MessageBoxes>(this))
    , prompts(given ? given : ownPrompts.get())
    , mailStop(std::make_shared<std::atomic<bool>>(false))
{
    ui->setupUi(this);
    dayBoxes
        = {ui->checkBoxMonday, ui->checkBoxTuesday,  ui->checkBoxWednesday, ui->checkBoxThursday,
           ui->checkBoxFriday, ui->checkBoxSaturday, ui->checkBoxSunday};
    for (QCheckBox *day : qAsConst(dayBoxes))
        connect(day, &QCheckBox::toggled, this, &SettingsDialog::enableWeekFields);
    connect(ui->checkBoxOpeningTimes, &QCheckBox::toggled, this, &SettingsDialog::enableWeekFields);
    connect(ui->timeEditOpensAt, &QTimeEdit::timeChanged, this, &SettingsDialog::enableWeekFields);
    connect(ui->timeEditClosesAt, &QTimeEdit::timeChanged, this, &SettingsDialog::enableWeekFields);
    connect(ui->pushButtonMoveRequisiteLines, &QPushButton::clicked, this,
            &SettingsDialog::moveRequisiteLines);
    connect(ui->pushButtonMailCheck, &QPushButton::clicked, this, &SettingsDialog::checkMail);
    connect(&mailCheck, &QFutureWatcher<QString>::finished, this, [this] {
        ui->pushButtonMailCheck->setEnabled(true);
        const QString error = mailCheck.result();
        showMailCheck(error.isEmpty() ? QStringLiteral("Письмо отправлено на %1: проверьте ящик.")
                                            .arg(ui->lineEditMailOwner->text().trimmed())
                                      : QStringLiteral("Письмо не отправлено: %1").arg(error),
                      error.isEmpty());
    });
    ui->pushButtonMailCheck->hide();
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

SettingsDialog::~SettingsDialog()
{
    // The letter on its way is stopped; its thread ends within a second or so.
    mailStop->store(true);
    mailCheck.waitForFinished();
}

void SettingsDialog::load()
{
    const SettingsFile settings(settingsFilePath());
    fileProblem = settings.problem();
    ui->labelSettingsProblem->setText(fileProblem);
    ui->labelSettingsProblem->setVisible(!fileProblem.isEmpty());

    const DocumentSettings documents = DocumentSettings::read(settings);
    const ShopRequisites shop = DocumentSettings::storedRequisites(settings);
    const ShopRequisites sample = ShopRequisites::sample();
    ui->lineEditShopName->setPlaceholderText(sample.name);
    ui->lineEditAddress->setPlaceholderText(sample.address);
    ui->lineEditTaxNumbers->setPlaceholderText(sample.taxNumbers);
    ui->lineEditBank->setPlaceholderText(sample.bank);
    ui->lineEditAccount->setPlaceholderText(sample.account);
    ui->lineEditShopName->setText(shop.name);
    ui->lineEditInn->setText(shop.inn);
    ui->lineEditKpp->setText(shop.kpp);
    ui->lineEditOgrn->setText(shop.ogrn);
    ui->lineEditBankName->setText(shop.bankName);
    ui->lineEditBik->setText(shop.bik);
    ui->lineEditSettlementAccount->setText(shop.settlementAccount);
    ui->lineEditCorrAccount->setText(shop.corrAccount);
    ui->lineEditPhone->setText(settings.text(QLatin1String(ShopPhoneKey)).trimmed());
    ui->lineEditAddress->setText(shop.address);
    ui->lineEditTaxNumbers->setText(shop.taxNumbers);
    ui->lineEditBank->setText(shop.bank);
    ui->lineEditAccount->setText(shop.account);
    // The old lines only where the file has them as the shop's.
    ui->groupBoxRequisiteLines->setVisible(
        !(shop.taxNumbers.isEmpty() && shop.bank.isEmpty() && shop.account.isEmpty()));
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
    loadMail(settings);
    loadWeek(settings);
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
    keep(ShopPhoneKey, ui->lineEditPhone->text().trimmed());
    storeShopWeek(settings, weekFromFields());
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
    // Warm-up on is what no key means.
    if (!ui->checkBoxOfficeWarmup->isChecked() || settings.contains(QLatin1String(OfficeWarmupKey)))
        settings.setValue(QLatin1String(OfficeWarmupKey), ui->checkBoxOfficeWarmup->isChecked());
    if (!saveMail(settings))
        return false;
    return settings.save();
}

void SettingsDialog::accept()
{
    const QString folderProblem = DocumentSettings::pdfFolderProblem(
        QDir::fromNativeSeparators(ui->lineEditPdfFolder->text().trimmed()));
    if (!folderProblem.isEmpty()) {
        prompts->tell(windowTitle(), folderProblem);
        ui->tabWidgetSettings->setCurrentWidget(ui->tabShop);
        ui->lineEditPdfFolder->setFocus();
        return;
    }
    const QString week = weekProblem();
    if (!week.isEmpty()) {
        prompts->tell(windowTitle(), week);
        ui->tabWidgetSettings->setCurrentWidget(ui->tabWeek);
        return;
    }
    if (!save()) {
        const QString problem = SettingsFile(settingsFilePath()).problem();
        prompts->tell(windowTitle(),
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
    const QString chosen = prompts->chooseFolder(QStringLiteral("Папка для PDF"), start);
    if (!chosen.isEmpty())
        ui->lineEditPdfFolder->setText(QDir::toNativeSeparators(chosen));
}

void SettingsDialog::moveRequisiteLines()
{
    ShopRequisites have = requisitesFromFields();
    const RequisiteLinesSplit split = splitRequisiteLines(
        have.taxNumbers, have.bank, have.account, have, ui->lineEditPhone->text().trimmed());
    const QVector<QPair<QLineEdit *, QString>> fields = {
        {ui->lineEditInn, split.fields.inn},
        {ui->lineEditKpp, split.fields.kpp},
        {ui->lineEditOgrn, split.fields.ogrn},
        {ui->lineEditBankName, split.fields.bankName},
        {ui->lineEditBik, split.fields.bik},
        {ui->lineEditSettlementAccount, split.fields.settlementAccount},
        {ui->lineEditCorrAccount, split.fields.corrAccount},
        {ui->lineEditPhone, split.phone},
    };
    for (const auto &field : fields)
        if (field.first->text().trimmed() != field.second)
            field.first->setText(field.second);
    ui->lineEditTaxNumbers->setText(split.taxNumbers);
    ui->lineEditBank->setText(split.bank);
    ui->lineEditAccount->setText(split.account);
    const bool allTaken
        = split.taxNumbers.isEmpty() && split.bank.isEmpty() && split.account.isEmpty();
    ui->labelRequisiteLinesNote->setText(
        allTaken ? QStringLiteral("Строки разобраны по полям; после «OK» их в файле не будет.")
                 : QStringLiteral("Что осталось в строках, программа не поняла или это поле уже "
                                  "заполнено другим значением: перенесите вручную и очистите "
                                  "строки."));
}

void SettingsDialog::loadMail(const SettingsFile &settings)
{
    const auto text = [&settings](const char *key) {
        return settings.text(QStringLiteral("mail/") + QLatin1String(key));
    };
    loadedMailHost = text("host").trimmed();
    loadedMailUser = text("user").trimmed();
    mailPasswordInFile = settings.contains(QStringLiteral("mail/password"));
    loadedMailPassword = mailPasswordInFile
        ? text("password")
        : readMailPassword(settings.path(), loadedMailHost, loadedMailUser);
    mailTimeout = text("timeout");
    mailCaFile = text("caFile");
    ui->lineEditMailHost->setText(loadedMailHost);
    bool ok = false;
    const int port = text("port").trimmed().toInt(&ok);
    ui->spinBoxMailPort->setValue(ok ? port : 0);
    const QString security = text("security").trimmed().toLower();
    for (int i = 0; i < int(std::size(SecurityWords)); ++i)
        if (security == QLatin1String(SecurityWords[i]))
            ui->comboBoxMailSecurity->setCurrentIndex(i);
    ui->lineEditMailUser->setText(loadedMailUser);
    ui->lineEditMailPassword->setText(loadedMailPassword);
    ui->lineEditMailSender->setText(text("sender").trimmed());
    ui->lineEditMailOwner->setText(text("owner").trimmed());
    ui->labelMailCheck->clear();
}

QString SettingsDialog::mailField(const QString &key) const
{
    if (key == QLatin1String("host"))
        return ui->lineEditMailHost->text().trimmed();
    if (key == QLatin1String("port"))
        return ui->spinBoxMailPort->value() == 0 ? QString()
                                                 : QString::number(ui->spinBoxMailPort->value());
    if (key == QLatin1String("security"))
        return QLatin1String(SecurityWords[qBound(0, ui->comboBoxMailSecurity->currentIndex(),
                                                  int(std::size(SecurityWords)) - 1)]);
    if (key == QLatin1String("user"))
        return ui->lineEditMailUser->text().trimmed();
    if (key == QLatin1String("password"))
        return ui->lineEditMailPassword->text();
    if (key == QLatin1String("sender"))
        return ui->lineEditMailSender->text().trimmed();
    if (key == QLatin1String("owner"))
        return ui->lineEditMailOwner->text().trimmed();
    if (key == QLatin1String("timeout"))
        return mailTimeout;
    if (key == QLatin1String("caFile"))
        return mailCaFile;
    return QString();
}

bool SettingsDialog::saveMail(SettingsFile &settings) const
{
    for (const char *key : {"host", "port", "user", "sender", "owner"}) {
        const QString value = mailField(QLatin1String(key));
        const QString name = QStringLiteral("mail/") + QLatin1String(key);
        if (value.isEmpty())
            settings.remove(name);
        else
            settings.setValue(name, value);
    }
    const QString security = mailField(QStringLiteral("security"));
    if (security != QLatin1String("none") || settings.contains(QStringLiteral("mail/security")))
        settings.setValue(QStringLiteral("mail/security"), security);
    // The password lives in the mail password file, under the server and login it is for.
    const QString host = mailField(QStringLiteral("host"));
    const QString user = mailField(QStringLiteral("user"));
    const QString password = mailField(QStringLiteral("password"));
    if (!mailPasswordInFile && host == loadedMailHost && user == loadedMailUser
        && password == loadedMailPassword)
        return true;
    QString error;
    if ((host != loadedMailHost || user != loadedMailUser)
        && !keepMailPassword(settings.path(), loadedMailHost, loadedMailUser, QString(), &error))
        return false;
    if (!keepMailPassword(settings.path(), host, user, host.isEmpty() ? QString() : password,
                          &error))
        return false;
    settings.remove(QStringLiteral("mail/password"));
    return true;
}

void SettingsDialog::showMailCheck(const QString &text, bool good)
{
    ui->labelMailCheck->setText(text);
    ui->labelMailCheck->setStyleSheet(good ? QString() : labelColourStyle(ProblemColour));
}

void SettingsDialog::setOperatorsOpener(std::function<void()> open)
{
    QPushButton *button
        = ui->buttonBox->addButton(QStringLiteral("Операторы…"), QDialogButtonBox::ActionRole);
    button->setObjectName(QStringLiteral("pushButtonOperators"));
    button->setToolTip(QStringLiteral("Операторы программы: добавить, сменить роль, новый PIN, "
                                      "отключить (право владельца)"));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, std::move(open));
}

void SettingsDialog::setLetterSender(LetterSender sender)
{
    letterSender = std::move(sender);
    ui->pushButtonMailCheck->setVisible(bool(letterSender));
}

void SettingsDialog::checkMail()
{
    if (mailCheck.isRunning() || !letterSender)
        return;
    const QString owner = mailField(QStringLiteral("owner"));
    QString problem;
    if (mailField(QStringLiteral("host")).isEmpty())
        problem = QStringLiteral("Укажите почтовый сервер.");
    else if (owner.isEmpty())
        problem = QStringLiteral("Укажите адрес владельца: проверочное письмо уходит на него.");
    else if (const QString why = mailAddressProblem(owner); !why.isEmpty())
        problem = QStringLiteral("Адрес владельца: %1.").arg(why);
    if (!problem.isEmpty()) {
        showMailCheck(problem, false);
        return;
    }
    // The words as typed now: the letter's thread never reads a widget.
    QHash<QString, QString> words;
    for (const char *key :
         {"host", "port", "security", "user", "password", "sender", "owner", "timeout", "caFile"})
        words.insert(QLatin1String(key), mailField(QLatin1String(key)));
    const QString shopName = ui->lineEditShopName->text().trimmed();
    ui->pushButtonMailCheck->setEnabled(false);
    showMailCheck(QStringLiteral("Отправляю письмо на %1…").arg(owner), true);
    const std::shared_ptr<std::atomic<bool>> stop = mailStop;
    const LetterSender send = letterSender;
    mailCheck.setFuture(QtConcurrent::run([send, words, shopName, stop] {
        return send([&words](const QString &key) { return words.value(key); }, shopName,
                    stop.get());
    }));
}

void SettingsDialog::loadWeek(const SettingsFile &settings)
{
    const ShopWeek week = readShopWeek(settings);
    for (int day = 1; day <= 7; ++day)
        dayBoxes.at(day - 1)->setChecked(week.workingDays.contains(day));
    ui->checkBoxOpeningTimes->setChecked(week.opensAt.isValid() && week.closesAt.isValid());
    // Without times of the shop's the fields offer a usual day.
    ui->timeEditOpensAt->setTime(week.opensAt.isValid() ? week.opensAt : QTime(9, 0));
    ui->timeEditClosesAt->setTime(week.closesAt.isValid() ? week.closesAt : QTime(19, 0));
    ui->spinBoxDueHour->setValue(week.dueHour);
    ui->lineEditHours->setText(week.hoursText);
    enableWeekFields();
}

ShopWeek SettingsDialog::weekFromFields() const
{
    ShopWeek week;
    week.workingDays.clear();
    for (int day = 1; day <= 7; ++day)
        if (dayBoxes.at(day - 1)->isChecked())
            week.workingDays.append(day);
    if (ui->checkBoxOpeningTimes->isChecked()) {
        week.opensAt = ui->timeEditOpensAt->time();
        week.closesAt = ui->timeEditClosesAt->time();
    }
    week.dueHour = ui->spinBoxDueHour->value();
    week.hoursText = ui->lineEditHours->text().trimmed();
    return week;
}

void SettingsDialog::enableWeekFields()
{
    const bool times = ui->checkBoxOpeningTimes->isChecked();
    ui->timeEditOpensAt->setEnabled(times);
    ui->timeEditClosesAt->setEnabled(times);
    ui->labelClosesAt->setEnabled(times);
    // The hint says what the mail and the website show while the field is empty.
    const ShopWeek week = weekFromFields();
    const QString made = openingHoursText(week.workingDays, week.opensAt, week.closesAt);
    ui->lineEditHours->setPlaceholderText(
        made.isEmpty() ? QStringLiteral("например: пн–пт 9:00–19:00, сб 10:00–16:00")
                       : QStringLiteral("пусто: «%1»").arg(made));
}

QString SettingsDialog::weekProblem() const
{
    const ShopWeek week = weekFromFields();
    if (week.workingDays.isEmpty())
        return QStringLiteral("Отметьте хотя бы один рабочий день: на него обещают заказы.");
    if (week.opensAt.isValid() && week.closesAt <= week.opensAt)
        return QStringLiteral("Время закрытия (%1) должно быть позже открытия (%2).")
            .arg(week.closesAt.toString(QStringLiteral("HH:mm")),
                 week.opensAt.toString(QStringLiteral("HH:mm")));
    return QString();
}
