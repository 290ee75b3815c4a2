// The week's keys; a day list QSettings read as a list (an unquoted "1,2,3") is joined back.
#include "storage/shop_week.h"

#include "order/order_status.h"
#include "storage/settings_file.h"

namespace {
const QString DaysKey = QStringLiteral("orders/workingDays");
const QString DueKey = QStringLiteral("orders/dueHour");
const QString OpensKey = QStringLiteral("orders/opensAt");
const QString ClosesKey = QStringLiteral("orders/closesAt");
const QString HoursKey = QStringLiteral("requisites/hours");
const QString TimeForm = QStringLiteral("HH:mm");

QTime timeOf(const QString &text)
{
    const QTime time = QTime::fromString(text.trimmed(), TimeForm);
    return time.isValid() ? time : QTime::fromString(text.trimmed(), QStringLiteral("H:mm"));
}
} // namespace

QString ShopWeek::hoursShown() const
{
    return hoursText.isEmpty() ? openingHoursText(workingDays, opensAt, closesAt) : hoursText;
}

ShopWeek readShopWeek(const SettingsFile &file)
{
    ShopWeek week;
    const QString days = file.text(DaysKey);
    if (!days.trimmed().isEmpty())
        readWorkingDays(days, &week.workingDays);
    bool ok = false;
    const int hour = file.value(DueKey).toString().trimmed().toInt(&ok);
    if (ok && hour >= 0 && hour <= 23)
        week.dueHour = hour;
    week.opensAt = timeOf(file.text(OpensKey));
    week.closesAt = timeOf(file.text(ClosesKey));
    week.hoursText = file.text(HoursKey).trimmed();
    return week;
}

void storeShopWeek(SettingsFile &file, const ShopWeek &week)
{
    const ShopWeek absent;
    const auto keep = [&file](const QString &key, const QString &value, bool meansAbsent) {
        if (meansAbsent && !file.contains(key))
            return;
        if (value.isEmpty())
            file.remove(key);
        else
            file.setValue(key, value);
    };
    const QString days = workingDaysText(week.workingDays);
    // The same days as the file gives them leave its line as written ("1, 2, 3" or "1,2,3").
    if (!file.contains(DaysKey) || workingDaysText(readShopWeek(file).workingDays) != days)
        keep(DaysKey, days, days == workingDaysText(absent.workingDays));
    keep(DueKey, QString::number(week.dueHour), week.dueHour == absent.dueHour);
    keep(OpensKey, week.opensAt.isValid() ? week.opensAt.toString(TimeForm) : QString(),
         !week.opensAt.isValid());
    keep(ClosesKey, week.closesAt.isValid() ? week.closesAt.toString(TimeForm) : QString(),
         !week.closesAt.isValid());
    keep(HoursKey, week.hoursText.trimmed(), week.hoursText.trimmed().isEmpty());
}
