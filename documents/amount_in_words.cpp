// Numbers in Russian words: groups of three digits, each with its own gender and counted noun.
#include "documents/amount_in_words.h"

#include "order/money.h"

#include <QStringList>

#include <cmath>

QString countedForm(qint64 count, const QString &one, const QString &few, const QString &many)
{
    const qint64 lastTwo = count % 100;
    const qint64 last = count % 10;
    if (lastTwo >= 11 && lastTwo <= 14)
        return many;
    if (last == 1)
        return one;
    if (last >= 2 && last <= 4)
        return few;
    return many;
}

// 1–999 in words; thousands are feminine ("одна тысяча", "две тысячи"), the rest masculine.
static QStringList hundredsInWords(int number, bool feminine)
{
    static const char *const hundreds[]
        = {"",        "сто",      "двести",  "триста",    "четыреста",
           "пятьсот", "шестьсот", "семьсот", "восемьсот", "девятьсот"};
    static const char *const tens[]
        = {"",          "",           "двадцать",  "тридцать",    "сорок",
           "пятьдесят", "шестьдесят", "семьдесят", "восемьдесят", "девяносто"};
    static const char *const teens[]
        = {"десять",     "одиннадцать", "двенадцать", "тринадцать",   "четырнадцать",
           "пятнадцать", "шестнадцать", "семнадцать", "восемнадцать", "девятнадцать"};
    static const char *const units[]
        = {"", "один", "два", "три", "четыре", "пять", "шесть", "семь", "восемь", "девять"};
    QStringList words;
    const auto add = [&words](const char *word) {
        if (*word)
            words << QString::fromUtf8(word);
    };
    add(hundreds[number / 100]);
    const int rest = number % 100;
    if (rest >= 10 && rest < 20) {
        add(teens[rest - 10]);
        return words;
    }
    add(tens[rest / 10]);
    const int unit = rest % 10;
    if (feminine && unit == 1)
        words << QStringLiteral("одна");
    else if (feminine && unit == 2)
        words << QStringLiteral("две");
    else
        add(units[unit]);
    return words;
}

QString roublesInWords(double amount)
{
    const double rounded = calcRounded(amount, 2);
    const qint64 cents = qint64(std::llround(std::fabs(rounded) * 100.0));
    const qint64 roubles = cents / 100;
    const int kopecks = int(cents % 100);

    struct Group
    {
        qint64 scale;
        bool feminine;
        const char *one, *few, *many;
    };
    static const Group groups[] = {
        {1000000000000LL, false, "триллион", "триллиона", "триллионов"},
        {1000000000LL, false, "миллиард", "миллиарда", "миллиардов"},
        {1000000LL, false, "миллион", "миллиона", "миллионов"},
        {1000LL, true, "тысяча", "тысячи", "тысяч"},
    };
    QStringList words;
    if (rounded < 0)
        words << QStringLiteral("минус");
    for (const Group &group : groups) {
        const int count = int((roubles / group.scale) % 1000);
        if (count > 0)
            words << hundredsInWords(count, group.feminine)
                  << countedForm(count, QString::fromUtf8(group.one), QString::fromUtf8(group.few),
                                 QString::fromUtf8(group.many));
    }
    words << hundredsInWords(int(roubles % 1000), false);
    if (roubles == 0)
        words << QStringLiteral("ноль");
    words << countedForm(roubles, QStringLiteral("рубль"), QStringLiteral("рубля"),
                         QStringLiteral("рублей"));
    words << QStringLiteral("%1").arg(kopecks, 2, 10, QLatin1Char('0'))
          << countedForm(kopecks, QStringLiteral("копейка"), QStringLiteral("копейки"),
                         QStringLiteral("копеек"));
    QString text = words.join(QLatin1Char(' '));
    text[0] = text.at(0).toUpper();
    return text;
}
