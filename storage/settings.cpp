// Settings in an INI file under the XDG configuration folder; the program's own state beside its
// database file.
#include "storage/settings.h"

#include "customers/requisites.h"
#include "order/order_status.h"
#include "storage/mail_password.h"
#include "storage/shop_week.h"
#include "storage/tax_settings.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSysInfo>

namespace {

// The counter's own state (its anchor of the audit trail among it) is its user's alone.
bool keptPrivate(QSettings &state)
{
    state.sync();
    if (state.status() != QSettings::NoError)
        return false;
    QFile::setPermissions(state.fileName(), QFile::ReadOwner | QFile::WriteOwner);
    return true;
}

} // namespace

namespace {

const QString DatabaseKey = QStringLiteral("database/url");
const QString CounterKey = QStringLiteral("counter/name");
const QString NextNumberKey = QStringLiteral("invoices/next_number");

// A number from 1 to MaxInvoiceNumber, else 0.
qint64 invoiceNumber(const QVariant &value)
{
    bool ok = false;
    const qint64 number = value.toString().trimmed().toLongLong(&ok);
    return ok && number >= 1 && number <= MaxInvoiceNumber ? number : 0;
}

} // namespace

Settings::Settings()
    : Settings(defaultPath())
{ }

Settings::Settings(const QString &path)
    : file(path)
{ }

QString Settings::defaultPath()
{
    QString base = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/printcalc/printcalc.ini");
}

QString Settings::problem() const
{
    if (!file.problem().isEmpty())
        return file.problem();
    if (file.contains(NextNumberKey) && invoiceNumber(file.value(NextNumberKey)) == 0)
        return QStringLiteral("В файле настроек %1 next_number в [invoices] «%2» — не номер от 1 "
                              "до %3: он не учитывается.")
            .arg(QDir::toNativeSeparators(path()), file.value(NextNumberKey).toString())
            .arg(MaxInvoiceNumber);
    return QString();
}

QString Settings::databaseUrl() const
{
    return file.text(DatabaseKey).trimmed();
}

void Settings::setDatabaseUrl(const QString &url)
{
    file.setValue(DatabaseKey, url);
}

QString Settings::counterName() const
{
    const QString name = file.text(CounterKey).trimmed();
    return name.isEmpty() ? QSysInfo::machineHostName() : name;
}

void Settings::setCounterName(const QString &name)
{
    file.setValue(CounterKey, name);
}

qint64 Settings::nextInvoiceNumber() const
{
    return qMax<qint64>(1, invoiceNumber(file.value(NextNumberKey)));
}

void Settings::setNextInvoiceNumber(qint64 number)
{
    file.setValue(NextNumberKey, number);
}

QString Settings::settlementAccount() const
{
    return file.text(QStringLiteral("requisites/settlementAccount")).trimmed();
}

QString Settings::settlementAccountProblem() const
{
    const QString account = settlementAccount();
    const QString bik = file.text(QStringLiteral("requisites/bik")).trimmed();
    bool digits = account.size() == 20;
    for (const QChar c : account)
        digits = digits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (account.isEmpty())
        return QStringLiteral("В файле настроек %1 не указан расчётный счёт магазина "
                              "(settlementAccount в [requisites]).")
            .arg(QDir::toNativeSeparators(path()));
    if (!digits)
        return QStringLiteral("Расчётный счёт магазина «%1» в файле настроек — не 20 цифр.")
            .arg(account);
    if (!bik.isEmpty() && !accountValid(account, bik))
        return QStringLiteral("Расчётный счёт магазина %1 не сходится с БИК %2: проверьте оба "
                              "в [requisites] файла настроек.")
            .arg(account, bik);
    return QString();
}

int Settings::idleMinutes() const
{
    bool ok = false;
    const int minutes = file.value(QStringLiteral("operators/idleMinutes")).toString().toInt(&ok);
    return ok && minutes > 0 ? minutes : 10;
}

int Settings::discountCap() const
{
    bool ok = false;
    const int percent = file.value(QStringLiteral("operators/discountCap")).toString().toInt(&ok);
    return ok && percent >= 0 && percent <= 100 ? percent : 10;
}

QString Settings::shopName() const
{
    return file.text(QStringLiteral("requisites/name")).trimmed();
}

QString Settings::shopAddress() const
{
    return file.text(QStringLiteral("requisites/address")).trimmed();
}

QString Settings::shopHours() const
{
    return readShopWeek(file).hoursShown();
}

QVector<int> Settings::workingDays() const
{
    return readShopWeek(file).workingDays;
}

int Settings::dueHour() const
{
    return readShopWeek(file).dueHour;
}

TaxSettings Settings::tax() const
{
    return readTaxSettings(file);
}

QString Settings::mailValue(const QString &key) const
{
    // Untrimmed: a password may end in a space.
    return file.text(QStringLiteral("mail/") + key);
}

QString Settings::mailPassword() const
{
    if (file.contains(QStringLiteral("mail/password")))
        return mailValue(QStringLiteral("password"));
    return readMailPassword(path(), mailValue(QStringLiteral("host")).trimmed(),
                            mailValue(QStringLiteral("user")).trimmed());
}

bool Settings::sync()
{
    return file.save();
}

namespace {
const QString StateNextNumberKey = QStringLiteral("invoices/next_number");
}

ProgramState::ProgramState(const QString &localDatabasePath)
    : filePath(QFileInfo(localDatabasePath).absolutePath() + QStringLiteral("/state.ini"))
{ }

qint64 ProgramState::nextInvoiceNumber() const
{
    const QSettings state(filePath, QSettings::IniFormat);
    return qMax<qint64>(1, invoiceNumber(state.value(StateNextNumberKey)));
}

const QString StateTemplateKey = QStringLiteral("export/template");

QString ProgramState::templatePath() const
{
    const QSettings state(filePath, QSettings::IniFormat);
    return state.value(StateTemplateKey).toString();
}

bool ProgramState::keepTemplatePath(const QString &path)
{
    if (path == templatePath())
        return true;
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    QSettings state(filePath, QSettings::IniFormat);
    state.setValue(StateTemplateKey, path);
    return keptPrivate(state);
}

bool ProgramState::keepNextInvoiceNumber(qint64 next)
{
    if (next <= nextInvoiceNumber())
        return true;
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    QSettings state(filePath, QSettings::IniFormat);
    state.setValue(StateNextNumberKey, next);
    return keptPrivate(state);
}

namespace {

QString auditGroup(const QString &database)
{
    return QStringLiteral("audit/")
        + QString::fromLatin1(
               QCryptographicHash::hash(database.toUtf8(), QCryptographicHash::Sha1).toHex());
}

const QString StateLastOperatorKey = QStringLiteral("operators/last");

} // namespace

AuditHead ProgramState::auditHead(const QString &database) const
{
    const QSettings state(filePath, QSettings::IniFormat);
    const QString group = auditGroup(database);
    return {state.value(group + QStringLiteral("/count")).toLongLong(),
            state.value(group + QStringLiteral("/last_hash")).toString().toLatin1()};
}

bool ProgramState::keepAuditHead(const QString &database, const AuditHead &head)
{
    if (head.count <= auditHead(database).count)
        return true;
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    QSettings state(filePath, QSettings::IniFormat);
    const QString group = auditGroup(database);
    state.setValue(group + QStringLiteral("/database"), database);
    state.setValue(group + QStringLiteral("/count"), head.count);
    state.setValue(group + QStringLiteral("/last_hash"), QString::fromLatin1(head.lastHash));
    return keptPrivate(state);
}

QString ProgramState::auditBreak(const QString &database) const
{
    const QSettings state(filePath, QSettings::IniFormat);
    return state.value(auditGroup(database) + QStringLiteral("/broken")).toString();
}

bool ProgramState::keepAuditBreak(const QString &database, const QString &problem)
{
    if (!auditBreak(database).isEmpty())
        return true;
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    QSettings state(filePath, QSettings::IniFormat);
    const QString group = auditGroup(database);
    state.setValue(group + QStringLiteral("/database"), database);
    state.setValue(group + QStringLiteral("/broken"), problem);
    return keptPrivate(state);
}

QString ProgramState::lastOperator() const
{
    const QSettings state(filePath, QSettings::IniFormat);
    return state.value(StateLastOperatorKey).toString();
}

bool ProgramState::keepLastOperator(const QString &name)
{
    if (name == lastOperator())
        return true;
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    QSettings state(filePath, QSettings::IniFormat);
    state.setValue(StateLastOperatorKey, name);
    return keptPrivate(state);
}
