// Reading, checking and writing price files.
#include "prices/price_file_check.h"

#include "prices/composable_keys.h"
#include "prices/extras_catalogue.h"
#include "prices/file_problem.h"
#include "prices/key_meanings.h"
#include "prices/price_versions.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace {

const QString KeyHeader = QStringLiteral("ключ");
const QString PriceHeader = QStringLiteral("цена");
// A price below a kopeck prices a line as 0 would, and is warned about as 0 is.
constexpr double Kopeck = 0.01;

// Lines that hold more than blanks and separators: blank lines are no rows.
qsizetype filledLines(const QByteArray &data)
{
    qsizetype count = 0;
    bool filled = false;
    for (const char c : data) {
        if (c == '\n') {
            count += filled ? 1 : 0;
            filled = false;
        } else if (!filled && c != ' ' && c != '\t' && c != '\r' && c != ';' && c != ','
                   && c != '"') {
            filled = true;
        }
    }
    return count + (filled ? 1 : 0);
}

// The offset of the first byte that is no part of well-formed UTF-8, or -1.
qsizetype firstBadUtf8(const QByteArray &data)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(data.constData());
    const qsizetype size = data.size();
    qsizetype i = 0;
    while (i < size) {
        const unsigned char lead = bytes[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        int follow = 0;
        unsigned int lowest = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            follow = 1;
            lowest = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            follow = 2;
            lowest = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            follow = 3;
            lowest = 0x10000;
        } else {
            return i;
        }
        if (i + follow >= size)
            return i;
        unsigned int code = lead & (0x3F >> follow);
        for (int k = 1; k <= follow; ++k) {
            const unsigned char next = bytes[i + k];
            if ((next & 0xC0) != 0x80)
                return i;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return i;
        i += follow + 1;
    }
    return -1;
}

// What a file that is no UTF-8 probably is, for the message.
QString guessEncoding(const QByteArray &data)
{
    if (data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF"))
        return QStringLiteral("похоже на UTF-16");
    int cyrillic1251 = 0;
    int high = 0;
    for (const char c : data) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            ++high;
            if (byte >= 0xC0)
                ++cyrillic1251;
        }
    }
    if (high > 0 && cyrillic1251 * 2 >= high)
        return QStringLiteral("похоже на Windows-1251");
    return QStringLiteral("кодировка не распознана");
}

QString rowsText(qsizetype count)
{
    QString digits = QString::number(count);
    for (int at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(' '));
    return digits;
}

enum class PriceReading { Number, Empty, NotNumber, NotFinite };

PriceReading readPrice(const QString &text, double *value)
{
    QString plain;
    plain.reserve(text.size());
    for (const QChar c : text) {
        if (c.isSpace() || c == QChar(0x00A0) || c == QChar(0x202F) || c == QChar(0x20BD))
            continue;
        plain += c;
    }
    if (plain.isEmpty())
        return PriceReading::Empty;
    const QString lower = plain.toLower();
    static const QStringList infinite
        = {QStringLiteral("inf"),      QStringLiteral("+inf"),      QStringLiteral("-inf"),
           QStringLiteral("infinity"), QStringLiteral("-infinity"), QStringLiteral("nan"),
           QStringLiteral("∞"),        QStringLiteral("-∞"),        QStringLiteral("#num!"),
           QStringLiteral("#div/0!")};
    if (infinite.contains(lower))
        return PriceReading::NotFinite;
    if (plain.contains(QLatin1Char(',')) && plain.contains(QLatin1Char('.')))
        return PriceReading::NotNumber;
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    for (const QChar c : qAsConst(plain)) {
        if (!c.isDigit() && c != QLatin1Char('.') && c != QLatin1Char('-') && c != QLatin1Char('+')
            && c != QLatin1Char('e') && c != QLatin1Char('E'))
            return PriceReading::NotNumber;
    }
    bool ok = false;
    const double number = plain.toDouble(&ok);
    const bool exponent = plain.contains(QLatin1Char('e'), Qt::CaseInsensitive);
    if ((!ok && exponent) || (ok && !std::isfinite(number)))
        return PriceReading::NotFinite;
    if (!ok)
        return PriceReading::NotNumber;
    *value = number;
    return PriceReading::Number;
}

bool allDigits(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
}

bool blankRow(const QStringList &row)
{
    return std::all_of(row.begin(), row.end(),
                       [](const QString &field) { return field.trimmed().isEmpty(); });
}

int columnOf(const QStringList &header, std::initializer_list<const char *> names)
{
    for (int i = 0; i < header.size(); ++i) {
        const QString name = header.at(i).trimmed().toLower();
        for (const char *candidate : names) {
            if (name == QString::fromUtf8(candidate))
                return i;
        }
    }
    return -1;
}

QString percent(double from, double to)
{
    const long change = std::lround((to - from) / from * 100.0);
    return (change > 0 ? QStringLiteral("+") : QString()) + QString::number(change)
        + QStringLiteral(" %");
}

// Two keys of one family that differ in one rising position: the heavier is expected to cost at
// least what the lighter does.
struct RisingPair
{
    QString lighter;
    QString heavier;
    QString label;
    QString lighterCaption;
    QString heavierCaption;
};

QVector<RisingPair> makeRisingPairs(const PriceTable &prices)
{
    QVector<RisingPair> pairs;
    QSet<QString> seen;
    for (const PriceEntry &entry : prices.entries()) {
        for (const KeyReading &reading : readKey(entry.key)) {
            if (reading.unknown != 0)
                continue;
            const KeyGrammar &grammar = *reading.grammar;
            for (int p = 0; p < grammar.parts.size(); ++p) {
                const KeyPart &part = grammar.parts.at(p);
                const int code = reading.codes.at(p);
                for (const QVector<int> &chain : part.rising) {
                    const int at = chain.indexOf(code);
                    if (at < 0 || at + 1 >= chain.size())
                        continue;
                    QString neighbour = grammar.family;
                    for (int q = 0; q < grammar.parts.size(); ++q)
                        neighbour
                            += QString::number(q == p ? chain.at(at + 1) : reading.codes.at(q));
                    const QString pairKey = entry.key + QLatin1Char('|') + neighbour;
                    if (!prices.contains(neighbour) || seen.contains(pairKey))
                        continue;
                    seen.insert(pairKey);
                    pairs.append({entry.key, neighbour, part.label, part.option(code)->caption,
                                  part.option(chain.at(at + 1))->caption});
                }
            }
        }
    }
    return pairs;
}

// Every version holds the built-in list's keys, so the pairs are found once.
const QVector<RisingPair> &risingPairs()
{
    static const QVector<RisingPair> pairs = makeRisingPairs(builtInVersion().prices);
    return pairs;
}

// A leading apostrophe keeps a text that starts like a formula a text in a spreadsheet.
QString asText(const QString &text)
{
    if (text.isEmpty() || !QStringLiteral("=+-@\t\r").contains(text.at(0)))
        return text;
    return QLatin1Char('\'') + text;
}

QString csvField(const QString &text, bool quote)
{
    if (!quote && !text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"'))
        && !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

int PriceFileCheck::errors() const
{
    return int(std::count_if(issues.begin(), issues.end(),
                             [](const PriceFileIssue &issue) { return issue.error; }));
}

int PriceFileCheck::warnings() const
{
    return issues.size() - errors();
}

QString PriceFileCheck::report() const
{
    QStringList lines;
    if (accepted()) {
        lines << QStringLiteral("Файл можно загрузить: ошибок нет, предупреждений — ")
                + QString::number(warnings()) + QLatin1Char('.');
    } else {
        lines << QStringLiteral("Файл отклонён, ничего не изменено: ошибок — ")
                + QString::number(errors()) + QStringLiteral(", предупреждений — ")
                + QString::number(warnings()) + QLatin1Char('.');
    }
    for (const PriceFileIssue &issue : issues) {
        const QString kind
            = issue.error ? QStringLiteral("ошибка") : QStringLiteral("предупреждение");
        if (issue.row > 0) {
            lines << QStringLiteral("Строка ") + QString::number(issue.row) + QStringLiteral(": ")
                    + kind + QStringLiteral(" — ") + issue.text;
        } else {
            lines << kind.left(1).toUpper() + kind.mid(1) + QStringLiteral(" — ") + issue.text;
        }
    }
    if (formerNames > 0) {
        lines << QStringLiteral("Надбавок под прежними именами (radioButton_…, checkBox_…): ")
                + QString::number(formerNames)
                + QStringLiteral(" — прочитаны по их ключам; выгрузка пишет новые ключи.");
    }
    if (unpriced > 0) {
        lines << QStringLiteral("Ключей без цены: ") + QString::number(unpriced)
                + QStringLiteral(" — остаются без цены.");
    }
    if (rows > 0) {
        lines << QStringLiteral("Строк с ключами: ") + QString::number(rows)
                + QStringLiteral("; изменено цен и надбавок: ") + QString::number(changed)
                + QStringLiteral("; не указано в файле: ") + QString::number(kept)
                + QStringLiteral(" — у них остаются цены действующего прайс-листа: ") + baseTitle
                + QLatin1Char('.');
    }
    return lines.join(QLatin1Char('\n'));
}

QString PriceFileCheck::editsReport() const
{
    QStringList lines;
    if (accepted())
        lines << QStringLiteral("Изменения можно сохранить: ошибок нет, предупреждений — ")
                + QString::number(warnings()) + QLatin1Char('.');
    else
        lines << QStringLiteral("Изменения не сохранены: ошибок — ") + QString::number(errors())
                + QStringLiteral(", предупреждений — ") + QString::number(warnings())
                + QLatin1Char('.');
    QHash<int, QString> keyOf;
    for (auto it = rowOf.constBegin(); it != rowOf.constEnd(); ++it)
        keyOf.insert(it.value(), it.key());
    for (const PriceFileIssue &issue : issues) {
        const QString kind
            = issue.error ? QStringLiteral("Ошибка — ") : QStringLiteral("Предупреждение — ");
        const QString key = keyOf.value(issue.row);
        const bool named = key.isEmpty() || issue.text.startsWith(key);
        lines << kind + (named ? QString() : key + QStringLiteral(": ")) + issue.text;
    }
    if (rows > 0)
        lines << QStringLiteral("Изменено цен и надбавок: ") + QString::number(changed)
                + QStringLiteral("; остальные — как в действующем прайс-листе: ") + baseTitle
                + QLatin1Char('.');
    return lines.join(QLatin1Char('\n'));
}

bool readPriceCsv(const QByteArray &data, PriceFileRows *rows, PriceFileIssue *problem)
{
    rows->clear();
    const qsizetype lineCount = filledLines(data);
    if (lineCount > PriceFileMaxRows + 1) {
        *problem = {0, true,
                    QStringLiteral("в файле ") + rowsText(lineCount)
                        + QStringLiteral(" строк, больше допустимых ") + rowsText(PriceFileMaxRows)
                        + QStringLiteral(": это не прайс-лист (в нём ")
                        + QString::number(builtInVersion().prices.size())
                        + QStringLiteral(" цен и ") + QString::number(extrasCatalogue().size())
                        + QStringLiteral(" надбавок). Файл не читался.")};
        return false;
    }
    QByteArray bytes = data;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    // A NUL is valid UTF-8 but never text: said as such rather than met as a strange key.
    const qsizetype nul
        = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") ? -1 : bytes.indexOf('\0');
    if (nul >= 0) {
        const int row = int(bytes.left(nul).count('\n')) + 1;
        *problem = {row, true,
                    QStringLiteral("в файле нулевой байт (NUL): это не текст CSV, а, например, "
                                   "текст в UTF-16 без метки или двоичный файл. Сохраните его как "
                                   "текст CSV в кодировке «Юникод (UTF-8)» и загрузите снова.")};
        return false;
    }
    const qsizetype bad = firstBadUtf8(bytes);
    if (bad >= 0) {
        const int row = int(bytes.left(bad).count('\n')) + 1;
        *problem = {row, true,
                    QStringLiteral("файл не в кодировке UTF-8 (") + guessEncoding(bytes)
                        + QStringLiteral("). Сохраните его как текст CSV в кодировке «Юникод "
                                         "(UTF-8)» и загрузите снова.")};
        return false;
    }
    const QString text = QString::fromUtf8(bytes);
    // The separator is the one the first row that is not blank uses.
    QStringView firstLine;
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        end = end < 0 ? text.size() : end;
        firstLine = QStringView(text).mid(start, end - start).trimmed();
        if (!firstLine.isEmpty())
            break;
        start = end + 1;
    }
    QChar separator = QLatin1Char(';');
    if (!firstLine.contains(separator))
        separator = firstLine.contains(QLatin1Char('\t')) ? QLatin1Char('\t') : QLatin1Char(',');

    rows->reserve(int(std::min<qsizetype>(lineCount, PriceFileMaxRows + 1)));
    QStringList row;
    QString field;
    bool quoted = false;
    const auto endField = [&] {
        row << field;
        field.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"') && field.isEmpty()) {
            quoted = true;
        } else if (c == separator) {
            endField();
        } else if (c == QLatin1Char('\n')) {
            endField();
            rows->append(row);
            row.clear();
        } else if (c != QLatin1Char('\r')) {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty()) {
        endField();
        rows->append(row);
    }
    return true;
}

PriceFileCheck checkPriceRows(const PriceFileRows &rows, const PriceVersion &inForce)
{
    PriceFileCheck check;
    check.baseTitle = inForce.info.title();
    const auto fileError = [&](const QString &text) { check.issues.append({0, true, text}); };
    const qsizetype filled = std::count_if(rows.begin(), rows.end(),
                                           [](const QStringList &row) { return !blankRow(row); });
    if (filled > PriceFileMaxRows + 1) {
        fileError(QStringLiteral("в файле ") + rowsText(filled)
                  + QStringLiteral(" строк, больше допустимых ") + rowsText(PriceFileMaxRows)
                  + QLatin1Char('.'));
        return check;
    }
    int headerIndex = 0;
    while (headerIndex < rows.size() && blankRow(rows.at(headerIndex)))
        ++headerIndex;
    if (headerIndex == rows.size()) {
        fileError(QStringLiteral("файл пуст: в нём нет ни одной строки с ключом и ценой."));
        return check;
    }
    const QStringList &header = rows.at(headerIndex);
    const int keyColumn = columnOf(header, {"ключ", "key", "код"});
    const int priceColumn = columnOf(header, {"цена", "price", "стоимость"});
    if (keyColumn < 0) {
        check.issues.append(
            {headerIndex + 1, true,
             QStringLiteral("нет столбца «ключ»: первая строка файла называет "
                            "столбцы, как в выгрузке (ключ; что это; за что; цена).")});
        return check;
    }
    if (priceColumn < 0) {
        check.issues.append(
            {headerIndex + 1, true,
             QStringLiteral("нет столбца «цена»: первая строка файла называет "
                            "столбцы, как в выгрузке (ключ; что это; за что; цена).")});
        return check;
    }

    const PriceTable &table = inForce.prices;
    QHash<QString, double> firstPrice;
    for (int index = headerIndex + 1; index < rows.size(); ++index) {
        const QStringList &row = rows.at(index);
        const int number = index + 1;
        if (blankRow(row))
            continue;
        const auto rowError = [&](const QString &text) {
            check.issues.append({number, true, text});
        };
        const auto rowWarning = [&](const QString &text) {
            check.issues.append({number, false, text});
        };
        const QString key = row.value(keyColumn).trimmed();
        // What the version knows the row by; the report names the key as the file wrote it.
        QString id = key;
        const QString priceText = row.value(priceColumn).trimmed();
        if (key.isEmpty()) {
            rowError(QStringLiteral("нет ключа."));
            continue;
        }
        ++check.rows;
        const ExtraOption *extra = nullptr;
        // A key some page composes may be priced though the version has no price for it yet.
        const auto known = [&table](const QString &candidate) {
            return table.contains(candidate) || isComposableKey(candidate);
        };
        bool unpricedKey = false;
        if (allDigits(key)) {
            unpricedKey = !table.contains(key);
            if (!known(key)) {
                QStringList padded;
                for (QString candidate = QLatin1Char('0') + key; candidate.size() <= 10;
                     candidate.prepend(QLatin1Char('0'))) {
                    if (known(candidate))
                        padded << candidate;
                }
                if (!padded.isEmpty()) {
                    rowError(key + QStringLiteral(" — возможно, ")
                             + padded.join(QStringLiteral(" или "))
                             + QStringLiteral(": ведущие нули потеряны."));
                } else if (key.size() < 6 || key.size() > 10) {
                    rowError(QStringLiteral("«") + key
                             + QStringLiteral("» — не ключ: ключ прайс-листа — от 6 до 10 цифр."));
                } else {
                    rowError(QStringLiteral("ключа ") + key
                             + QStringLiteral(" нет в прайс-листе: новые ключи не добавляются."));
                }
                continue;
            }
        } else {
            extra = findExtra(key);
            if (!extra && (extra = findExtraByFormerName(key))) {
                ++check.formerNames;
                id = extra->key;
            }
            if (!extra) {
                rowError(QStringLiteral("«") + key
                         + QStringLiteral("» — не ключ: ключ — это от 6 до 10 цифр или ключ "
                                          "надбавки из выгрузки (например, "
                                          "sheet.lamination.matte-250)."));
                continue;
            }
        }
        // Left without a price, as the export writes such a key.
        if (unpricedKey
            && (priceText.isEmpty()
                || priceText.compare(noPriceText(), Qt::CaseInsensitive) == 0)) {
            --check.rows;
            ++check.unpriced;
            continue;
        }
        double price = 0.0;
        switch (readPrice(priceText, &price)) {
        case PriceReading::Empty:
            rowError(QStringLiteral("у ключа ") + key + QStringLiteral(" нет цены."));
            continue;
        case PriceReading::NotNumber:
            rowError(QStringLiteral("цена «") + priceText + QStringLiteral("» — не число."));
            continue;
        case PriceReading::NotFinite:
            rowError(QStringLiteral("цена «") + priceText
                     + QStringLiteral("» — не конечное число."));
            continue;
        case PriceReading::Number:
            break;
        }
        // Told as read: "10000000,01" must not show as a rounded 10000000.
        if (price < 0.0) {
            rowError(QStringLiteral("цена ") + priceText + QStringLiteral(" меньше нуля."));
            continue;
        }
        if (price > PriceFileMaxPrice) {
            rowError(QStringLiteral("цена ") + priceText + QStringLiteral(" больше 10 000 000."));
            continue;
        }
        const auto seen = firstPrice.constFind(id);
        if (seen != firstPrice.constEnd()) {
            if (*seen != price) {
                const QString named
                    = id == key ? key : QString(key + QStringLiteral(" (") + id + QLatin1Char(')'));
                rowError(QStringLiteral("ключ ") + named + QStringLiteral(" уже был в строке ")
                         + QString::number(check.rowOf.value(id)) + QStringLiteral(" с ценой ")
                         + priceFileNumber(*seen) + QStringLiteral(", здесь ")
                         + priceFileNumber(price) + QLatin1Char('.'));
            }
            continue;
        }
        firstPrice.insert(id, price);
        check.rowOf.insert(id, number);
        const double old = extra ? inForce.extra(id) : table.price(key);
        if (old != price)
            ++check.changed;
        if (extra) {
            check.extras.insert(id, price);
        } else {
            check.prices.insert(key, price);
            if (price == 0.0)
                rowWarning(QStringLiteral("цена ключа ") + key
                           + QStringLiteral(" — 0: такая строка заказа выйдет без цены."));
            else if (price < Kopeck)
                rowWarning(QStringLiteral("цена ключа ") + key + QStringLiteral(" — ")
                           + priceFileNumber(price)
                           + QStringLiteral(", меньше копейки: такая строка заказа выйдет почти "
                                            "без цены."));
        }
        if (old > 0.0 && std::abs(price - old) > old / 2.0) {
            rowWarning(key + QStringLiteral(": цена ") + priceFileNumber(old)
                       + QStringLiteral(" → ") + priceFileNumber(price) + QStringLiteral(" (")
                       + percent(old, price)
                       + QStringLiteral("), изменение больше чем наполовину."));
        }
    }

    for (const RisingPair &pair : risingPairs()) {
        const bool lighterRead = check.prices.contains(pair.lighter);
        const bool heavierRead = check.prices.contains(pair.heavier);
        if (!lighterRead && !heavierRead)
            continue;
        const double oldLighter = table.price(pair.lighter);
        const double oldHeavier = table.price(pair.heavier);
        const double lighter = check.prices.value(pair.lighter, oldLighter);
        const double heavier = check.prices.value(pair.heavier, oldHeavier);
        if (lighter < Kopeck || heavier < Kopeck || !(heavier < lighter) || oldHeavier < oldLighter)
            continue;
        const int row = check.rowOf.value(heavierRead ? pair.heavier : pair.lighter);
        check.issues.append({row, false,
                             pair.heavier + QStringLiteral(" (") + pair.label + QLatin1Char(' ')
                                 + pair.heavierCaption + QStringLiteral(") — ")
                                 + priceFileNumber(heavier) + QStringLiteral(", дешевле, чем ")
                                 + pair.lighter + QStringLiteral(" (") + pair.label
                                 + QLatin1Char(' ') + pair.lighterCaption + QStringLiteral(") — ")
                                 + priceFileNumber(lighter)
                                 + QStringLiteral("; в действующей версии было не так.")});
    }
    if (check.rows == 0 && check.issues.isEmpty())
        fileError(QStringLiteral("пустой файл: под строкой заголовка нет ни одной строки с "
                                 "ключом и ценой."));
    std::stable_sort(
        check.issues.begin(), check.issues.end(),
        [](const PriceFileIssue &a, const PriceFileIssue &b) { return a.row < b.row; });
    int pricedRead = 0;
    for (auto it = check.prices.constBegin(); it != check.prices.constEnd(); ++it)
        pricedRead += table.contains(it.key()) ? 1 : 0;
    check.kept = table.size() + extrasCatalogue().size() - pricedRead - check.extras.size();
    return check;
}

PriceFileCheck checkPriceCsv(const QByteArray &data, const PriceVersion &inForce)
{
    PriceFileRows rows;
    PriceFileIssue problem;
    if (!readPriceCsv(data, &rows, &problem)) {
        PriceFileCheck check;
        check.baseTitle = inForce.info.title();
        check.issues.append(problem);
        return check;
    }
    return checkPriceRows(rows, inForce);
}

PriceFileRows priceFileRows(const PriceVersion &version)
{
    PriceFileRows rows;
    rows.reserve(listedPriceKeys().size() + extrasCatalogue().size() + 1);
    rows.append({KeyHeader, QStringLiteral("что это"), QStringLiteral("за что"), PriceHeader});
    for (const QString &key : listedPriceKeys()) {
        const KeyDescription description = describeKey(key);
        bool priced = false;
        const double price = version.prices.price(key, &priced);
        rows.append({key, description.meaning, description.per,
                     priced ? priceFileNumber(price) : noPriceText()});
    }
    for (const ExtraOption &option : extrasCatalogue()) {
        rows.append(
            {option.key, option.meaning(), option.per, priceFileNumber(version.extra(option.key))});
    }
    return rows;
}

QByteArray priceFileCsv(const PriceVersion &version)
{
    QString text;
    text.reserve(version.prices.size() * 80);
    bool header = true;
    for (const QStringList &row : priceFileRows(version)) {
        // The key is quoted so that a spreadsheet told to keep quoted fields as text keeps its
        // leading zeros.
        // The reader takes only the key and the price; the texts between are kept from being
        // taken for formulas by a spreadsheet.
        // Appended as a string: a builder added to a string reserves its exact length each time,
        // which copies the whole text once per row wherever the allocator cannot grow in place.
        text.append(csvField(row.at(0), !header) + QLatin1Char(';')
                    + csvField(asText(row.at(1)), false) + QLatin1Char(';')
                    + csvField(asText(row.at(2)), false) + QLatin1Char(';') + row.at(3)
                    + QLatin1Char('\n'));
        header = false;
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

bool isPriceSpreadsheet(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("ods") || suffix == QLatin1String("xlsx")
        || suffix == QLatin1String("xls");
}

PriceFileCheck checkPriceFile(const QString &path, const PriceVersion &inForce,
                              const PriceSheetReader &readSheet)
{
    PriceFileCheck check;
    check.baseTitle = inForce.info.title();
    const auto refuse = [&](const QString &text) {
        check.issues.append({0, true, text});
        return check;
    };
    QFile file(path);
    // The whole list as CSV is under a megabyte; a file this large is no price list.
    constexpr qint64 largest = 64 * 1024 * 1024;
    if (!file.exists())
        return refuse(QStringLiteral("файла ") + path + QStringLiteral(" нет."));
    if (file.size() > largest) {
        return refuse(QStringLiteral("файл слишком велик (") + QString::number(file.size() >> 20)
                      + QStringLiteral(" МБ) для прайс-листа. Файл не читался."));
    }
    if (isPriceSpreadsheet(path)) {
        if (!readSheet)
            return refuse(QStringLiteral("таблицы .ods и .xlsx читаются через LibreOffice, а "
                                         "его в этой сборке нет. Сохраните файл как CSV."));
        PriceFileRows rows;
        QString error;
        if (!readSheet(path, &rows, &error))
            return refuse(QStringLiteral("таблица не читается: ") + error);
        return checkPriceRows(rows, inForce);
    }
    if (!file.open(QIODevice::ReadOnly))
        return refuse(QStringLiteral("файл не открывается: ")
                      + fileReadProblem(errno, file.error(), file.errorString()));
    return checkPriceCsv(file.readAll(), inForce);
}

bool writePriceFile(const QString &path, const PriceVersion &version, QString *error,
                    const PriceSheetWriter &writeSheet)
{
    if (isPriceSpreadsheet(path)) {
        if (!writeSheet) {
            *error = QStringLiteral("таблицы .ods и .xlsx пишутся через LibreOffice, а его в этой "
                                    "сборке нет. Выгрузите в CSV.");
            return false;
        }
        return writeSheet(path, priceFileRows(version), error);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(priceFileCsv(version)) < 0
        || !file.commit()) {
        *error = fileWriteProblem(errno, file.error(), file.errorString());
        return false;
    }
    return true;
}

QString priceFileNumber(double price)
{
    // The shortest digits that read back as the price; plain unless that would run long.
    const QString scientific = QString::number(price, 'e', QLocale::FloatingPointShortest);
    const int e = scientific.indexOf(QLatin1Char('e'));
    const int exponent = e < 0 ? 0 : scientific.mid(e + 1).toInt();
    QString text;
    if (!std::isfinite(price) || e < 0 || (exponent >= -6 && exponent < 16))
        text = QString::number(price, 'f', QLocale::FloatingPointShortest);
    else
        text = scientific.left(e + 1) + QString::number(exponent);
    return text.replace(QLatin1Char('.'), QLatin1Char(','));
}
