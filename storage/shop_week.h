// The shop's week in the settings file, read and written in one place: the days an order may be
// promised for and the usual hour of the promise (`[orders] workingDays`, `dueHour`), the opening
// and closing times (`[orders] opensAt`, `closesAt`, "09:00") and the hours as free text
// (`[requisites] hours`), which the customers' mail and the website's page show.
#pragma once

#include <QString>
#include <QTime>
#include <QVector>

class SettingsFile;

struct ShopWeek
{
    QVector<int> workingDays {1, 2, 3, 4, 5}; // Monday 1 to Sunday 7
    int dueHour = 12;
    QTime opensAt; // invalid: not given
    QTime closesAt;
    QString hoursText;

    // The free text, else the hours made of the days and times ("пн–пт 09:00–19:00"); empty when
    // neither is given.
    QString hoursShown() const;
};

// Monday to Friday, 12 o'clock and no hours where a key is absent or not readable.
ShopWeek readShopWeek(const SettingsFile &file);
// A value equal to what its absence means is written only where the file has the key already.
void storeShopWeek(SettingsFile &file, const ShopWeek &week);
