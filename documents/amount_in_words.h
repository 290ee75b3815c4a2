// A sum of money in Russian words, as an invoice states its total.
#pragma once

#include <QString>

// "Тринадцать тысяч двести три рубля 15 копеек": roubles in words, kopecks in two digits, after
// the sum is rounded as the sheet shows it.
QString roublesInWords(double amount);

// The form of a counted noun: one (1, 21), few (2–4, 22–24) or many (0, 5–20, 25…).
QString countedForm(qint64 count, const QString &one, const QString &few, const QString &many);
