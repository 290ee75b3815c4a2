// Versions, the version in force, the clock it follows, and the book the program prices from.
#include "prices/price_versions.h"

#include "prices/composable_keys.h"
#include "prices/extras_catalogue.h"
#include "prices/key_meanings.h"

#include <algorithm>

QString PriceVersionInfo::title() const
{
    if (number == 0)
        return QStringLiteral("встроенный (версия 0)");
    return QStringLiteral("версия ") + QString::number(number) + QStringLiteral(" (действует с ")
        + from.toString(QStringLiteral("dd.MM.yyyy")) + QLatin1Char(')');
}

double PriceVersion::extra(const QString &key) const
{
    const auto at = extras.constFind(key);
    if (at != extras.constEnd())
        return *at;
    const ExtraOption *option = findExtra(key);
    return option ? option->amount : 0.0;
}

const PriceVersion &builtInVersion()
{
    static const PriceVersion version = [] {
        PriceVersion builtIn;
        builtIn.info.note = QStringLiteral("Встроенный прайс-лист");
        builtIn.prices = PriceTable::shared();
        for (const ExtraOption &option : extrasCatalogue())
            builtIn.extras.insert(option.key, option.amount);
        return builtIn;
    }();
    return version;
}

double optionValue(const PriceVersion &version, const QString &objectName, QString *extraKey)
{
    if (const ExtraOption *extra = findExtraByObjectName(objectName)) {
        if (extraKey)
            *extraKey = extra->key;
        return version.extra(extra->key);
    }
    if (extraKey)
        extraKey->clear();
    const KeyOption *option = findKeyOption(objectName);
    return option ? option->code : 0.0;
}

PriceVersion changedVersion(const PriceVersion &base, const QHash<QString, double> &prices,
                            const QHash<QString, double> &extras, const PriceVersionInfo &info)
{
    QVector<PriceEntry> entries = base.prices.entries();
    for (PriceEntry &entry : entries) {
        const auto change = prices.constFind(entry.key);
        if (change != prices.constEnd()) {
            entry.price = *change;
            entry.shopSet = true;
        }
    }
    // A key some page composes and the base has no price for gets one, in the list's order. Most
    // versions only change prices the base has: the composable keys are not looked for then.
    bool anyNewKey = false;
    for (auto it = prices.constBegin(); it != prices.constEnd() && !anyNewKey; ++it)
        anyNewKey = !base.prices.contains(it.key());
    if (anyNewKey) {
        for (const QString &key : listedPriceKeys()) {
            const auto change = prices.constFind(key);
            if (change != prices.constEnd() && !base.prices.contains(key))
                entries.append({key, *change, true});
        }
    }
    PriceVersion version;
    version.info = info;
    version.prices = PriceTable(entries, info.number);
    version.extras = base.extras;
    for (auto it = extras.constBegin(); it != extras.constEnd(); ++it) {
        if (version.extras.contains(it.key()))
            version.extras.insert(it.key(), it.value());
    }
    return version;
}

PriceVersion confirmedVersion(const PriceVersion &base, const PriceVersionInfo &info)
{
    QVector<PriceEntry> entries = base.prices.entries();
    for (PriceEntry &entry : entries)
        entry.shopSet = true;
    PriceVersion version = base;
    version.info = info;
    version.prices = PriceTable(entries, info.number);
    return version;
}

int samplePriceCount(const PriceTable &prices, int *priced)
{
    int samples = 0, all = 0;
    for (const PriceEntry &entry : prices.entries()) {
        if (!isComposableKey(entry.key))
            continue;
        ++all;
        if (!entry.shopSet)
            ++samples;
    }
    if (priced)
        *priced = all;
    return samples;
}

PriceVersionList::PriceVersionList()
    : m_versions {builtInVersion()}
{ }

const PriceVersion *PriceVersionList::find(int number) const
{
    for (const PriceVersion &version : m_versions) {
        if (version.info.number == number)
            return &version;
    }
    return nullptr;
}

const PriceVersion &PriceVersionList::inForce(const QDate &day) const
{
    const PriceVersion *best = &m_versions.first();
    for (const PriceVersion &version : m_versions) {
        if (version.info.number == 0 || version.info.from > day)
            continue;
        const PriceVersionInfo &held = best->info;
        if (held.number == 0 || version.info.from > held.from
            || (version.info.from == held.from && version.info.number > held.number))
            best = &version;
    }
    return *best;
}

int PriceVersionList::nextNumber() const
{
    int highest = 0;
    for (const PriceVersion &version : m_versions)
        highest = std::max(highest, version.info.number);
    return highest + 1;
}

void PriceVersionList::put(const PriceVersion &version)
{
    for (PriceVersion &held : m_versions) {
        if (held.info.number == version.info.number) {
            held = version;
            return;
        }
    }
    m_versions.append(version);
    std::sort(
        m_versions.begin(), m_versions.end(),
        [](const PriceVersion &a, const PriceVersion &b) { return a.info.number < b.info.number; });
}

namespace {

std::function<qint64()> &clockFunction()
{
    static std::function<qint64()> clock;
    return clock;
}

} // namespace

qint64 priceClockMSecs()
{
    const std::function<qint64()> &clock = clockFunction();
    return clock ? clock() : QDateTime::currentMSecsSinceEpoch();
}

QDate priceClockToday()
{
    return QDateTime::fromMSecsSinceEpoch(priceClockMSecs()).date();
}

void setPriceClock(std::function<qint64()> msecsSinceEpoch)
{
    clockFunction() = std::move(msecsSinceEpoch);
}

PriceBook &PriceBook::shared()
{
    static PriceBook book;
    return book;
}

void PriceBook::take(const QVector<PriceVersion> &versions)
{
    if (versions.isEmpty())
        return;
    for (const PriceVersion &version : versions) {
        if (version.info.number > 0)
            m_list.put(version);
    }
    ++m_revision;
    emit changed();
}

void PriceBook::hold(PriceVersion version, int number)
{
    version.info.number = number;
    // The table carries the number its quotes will record.
    version.prices = PriceTable(version.prices.entries(), number);
    m_list.put(version);
    ++m_revision;
    emit changed();
}

void PriceBook::add(const PriceVersion &version,
                    std::function<void(int number, const QString &error)> done)
{
    if (!m_store) {
        const int number = m_list.nextNumber();
        hold(version, number);
        if (done)
            done(number, QString());
        return;
    }
    m_store->save(version, [this, version, done](int number, const QString &error) {
        if (number > 0)
            hold(version, number);
        if (done)
            done(number, error);
    });
}

void PriceBook::reset()
{
    m_store = nullptr;
    m_list = PriceVersionList();
    ++m_revision;
    emit changed();
}

PricesInForce::PricesInForce(const PriceBook &book)
    : m_book(book)
{ }

bool PricesInForce::update()
{
    const qint64 now = priceClockMSecs();
    if (m_started && now < m_validUntil && m_book.revision() == m_revision)
        return false;
    const QDateTime moment = QDateTime::fromMSecsSinceEpoch(now);
    const PriceVersion &inForce = m_book.list().inForce(moment.date());
    m_validUntil = QDateTime(moment.date().addDays(1), QTime(0, 0)).toMSecsSinceEpoch();
    m_revision = m_book.revision();
    const bool changed = !m_started || inForce.info.number != m_version.info.number;
    m_started = true;
    if (changed)
        m_version = inForce;
    return changed;
}
