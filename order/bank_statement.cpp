// Reading the bank's accounting export: its encoding from its header, its sections line by line.
#include "order/bank_statement.h"

#include "order/order_status.h"

#include <QHash>
#include <QTextCodec>

namespace {

const QString HeaderLine = QStringLiteral("1CClientBankExchange");

QString decoded(const QByteArray &bytes, const char *codecName)
{
    QTextCodec *codec = QTextCodec::codecForName(codecName);
    return codec ? codec->toUnicode(bytes) : QString();
}

// The text in the encoding the file names. Banks write Windows-1251 or CP866 as the header says,
// some UTF-8 with a byte-order mark; the key naming the encoding is itself in that encoding.
QString statementText(const QByteArray &bytes, QString *encoding)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        *encoding = QStringLiteral("UTF-8");
        return QString::fromUtf8(bytes.mid(3));
    }
    const QByteArray head = bytes.left(4096);
    struct Candidate
    {
        const char *codec;
        const char *declared;
    };
    for (const Candidate &candidate : {Candidate {"Windows-1251", "Windows"},
                                       Candidate {"IBM866", "DOS"}, Candidate {"UTF-8", nullptr}}) {
        const QString text = decoded(head, candidate.codec);
        const int at = text.indexOf(QStringLiteral("Кодировка="));
        if (at < 0)
            continue;
        const QString value = text.mid(at + 10).section(QLatin1Char('\n'), 0, 0).trimmed();
        if (candidate.declared
            && value.compare(QLatin1String(candidate.declared), Qt::CaseInsensitive) != 0)
            continue;
        *encoding = value;
        return decoded(bytes, candidate.codec);
    }
    // No encoding named: the format's own default.
    *encoding = QStringLiteral("Windows");
    return decoded(bytes, "Windows-1251");
}

bool readStatementDate(const QString &text, QDate *date)
{
    if (text.isEmpty()) {
        *date = QDate();
        return true;
    }
    // Read by hand: QDate::fromString with a format makes a parser per call, and a statement
    // has two dates in each of its thousands of documents.
    const auto digits = [&](int from, int count) {
        int value = 0;
        for (int i = from; i < from + count; ++i) {
            const QChar c = text.at(i);
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return -1;
            value = value * 10 + (c.unicode() - '0');
        }
        return value;
    };
    if (text.size() != 10 || text.at(2) != QLatin1Char('.') || text.at(5) != QLatin1Char('.'))
        return false;
    const int day = digits(0, 2), month = digits(3, 2), year = digits(6, 4);
    if (day < 0 || month < 0 || year < 0)
        return false;
    *date = QDate(year, month, day);
    return date->isValid();
}

// A purpose cut into what matters for finding the invoice number in it.
struct PurposeToken
{
    enum Kind {
        Word, // letters, in lower case with "ё" as "е"
        Mark, // "№", "#" or a lone Latin "N"
        Number, // 1–18 digits
        Date, // ДД.ММ.ГГГГ or ДД.ММ.ГГ
        Gap, // spaces, "." and ":"
        Other // anything else: a comma, a longer number, digits with dots that are no date
    };
    Kind kind = Other;
    QString text;
    qint64 number = 0;
};

QVector<PurposeToken> purposeTokens(const QString &purpose)
{
    QVector<PurposeToken> tokens;
    const int size = purpose.size();
    const auto isDigit = [&](int at) {
        return at < size && purpose.at(at) >= QLatin1Char('0')
            && purpose.at(at) <= QLatin1Char('9');
    };
    for (int i = 0; i < size;) {
        PurposeToken token;
        const QChar c = purpose.at(i);
        int end = i + 1;
        if (c.isLetter()) {
            while (end < size && purpose.at(end).isLetter())
                ++end;
            token.text = purpose.mid(i, end - i).toLower().replace(QChar(0x0451), QChar(0x0435));
            token.kind = token.text == QLatin1String("n") ? PurposeToken::Mark : PurposeToken::Word;
        } else if (isDigit(i)) {
            // Digits joined by dots are one token, so that no part of a date is read alone.
            QVector<int> lengths; // of each run of digits
            for (end = i;;) {
                const int start = end;
                while (isDigit(end))
                    ++end;
                lengths.append(end - start);
                if (end + 1 < size && purpose.at(end) == QLatin1Char('.') && isDigit(end + 1))
                    ++end;
                else
                    break;
            }
            if (lengths.size() == 1 && lengths.first() <= 18) {
                token.kind = PurposeToken::Number;
                token.number = purpose.mid(i, end - i).toLongLong();
            } else if (lengths.size() == 3 && lengths.at(0) <= 2 && lengths.at(1) <= 2
                       && (lengths.at(2) == 2 || lengths.at(2) == 4)) {
                token.kind = PurposeToken::Date;
            }
        } else if (c.isSpace() || c == QLatin1Char('.') || c == QLatin1Char(':')) {
            while (end < size
                   && (purpose.at(end).isSpace() || purpose.at(end) == QLatin1Char('.')
                       || purpose.at(end) == QLatin1Char(':')))
                ++end;
            token.kind = PurposeToken::Gap;
        } else if (c == QChar(0x2116) || c == QLatin1Char('#')) {
            token.kind = PurposeToken::Mark;
        }
        tokens.append(token);
        i = end;
    }
    return tokens;
}

// "сч", "счёт", "заказ" and their cases.
bool namesInvoice(const QString &word)
{
    static const QStringList stems {QStringLiteral("счет"), QStringLiteral("заказ")};
    static const QStringList endings {
        QString(),           QStringLiteral("а"),  QStringLiteral("у"),
        QStringLiteral("е"), QStringLiteral("ом"), QStringLiteral("ов"),
        QStringLiteral("ам")};
    if (word == QStringLiteral("сч"))
        return true;
    for (const QString &stem : stems)
        if (word.startsWith(stem) && endings.contains(word.mid(stem.size())))
            return true;
    return false;
}

// The number the tokens from `from` lead to. A date with its "от" and "г" may stand before it;
// other words (as in "по заказу клиента № 9614") only after a keyword and before a "№".
qint64 numberAfter(const QVector<PurposeToken> &tokens, int from, bool wordsAllowed)
{
    const int MostWords = 3;
    int words = 0;
    bool marked = false;
    for (int i = from; i < tokens.size(); ++i) {
        const PurposeToken &token = tokens.at(i);
        switch (token.kind) {
        case PurposeToken::Gap:
        case PurposeToken::Date:
            continue;
        case PurposeToken::Mark:
            marked = true;
            continue;
        case PurposeToken::Word:
            if (token.text == QStringLiteral("от") || token.text == QStringLiteral("г"))
                continue;
            if (wordsAllowed && !marked && ++words <= MostWords)
                continue;
            return 0;
        case PurposeToken::Number:
            return marked || words == 0 ? token.number : 0;
        case PurposeToken::Other:
            return 0;
        }
    }
    return 0;
}

QString lineProblem(int line, const QString &what)
{
    return QStringLiteral("Строка %1: %2").arg(line).arg(what);
}

} // namespace

bool StatementDocument::isIncomingTo(const QString &account) const
{
    return received.isValid() && !account.isEmpty() && recipientAccount == account;
}

QString StatementDocument::identity() const
{
    return QStringLiteral("%1|%2|%3|%4|%5")
        .arg(number, date.toString(Qt::ISODate))
        .arg(kopecks)
        .arg(payerInn, payerAccount);
}

bool readBankStatement(const QByteArray &bytes, BankStatement *statement, QString *problem)
{
    BankStatement read;
    const QString text = statementText(bytes, &read.encoding);
    const QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.isEmpty() || lines.first().trimmed() != HeaderLine) {
        *problem = lineProblem(1,
                               QStringLiteral("это не выписка банка для бухгалтерии "
                                              "(первая строка должна быть «%1»).")
                                   .arg(HeaderLine));
        return false;
    }
    enum Place { Header, Account, Document, Ended } place = Header;
    StatementDocument document;
    for (int i = 1; i < lines.size(); ++i) {
        const int number = i + 1;
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty())
            continue;
        if (place == Ended) {
            *problem = lineProblem(number, QStringLiteral("текст после «КонецФайла»."));
            return false;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        const QString key = equals < 0 ? line : line.left(equals).trimmed();
        const QString value = equals < 0 ? QString() : line.mid(equals + 1).trimmed();
        if (key == QStringLiteral("СекцияДокумент")) {
            if (place == Document) {
                *problem = lineProblem(number,
                                       QStringLiteral("новый документ до «КонецДокумента» "
                                                      "предыдущего (строка %1).")
                                           .arg(document.line));
                return false;
            }
            place = Document;
            document = StatementDocument();
            document.line = number;
            document.kind = value;
            continue;
        }
        if (key == QStringLiteral("КонецДокумента")) {
            if (place != Document) {
                *problem
                    = lineProblem(number, QStringLiteral("«КонецДокумента» без начала документа."));
                return false;
            }
            read.documents.append(document);
            place = Header;
            continue;
        }
        if (key == QStringLiteral("СекцияРасчСчет")) {
            place = Account;
            continue;
        }
        if (key == QStringLiteral("КонецРасчСчет")) {
            place = Header;
            continue;
        }
        if (key == QStringLiteral("КонецФайла")) {
            if (place == Document) {
                *problem = lineProblem(number,
                                       QStringLiteral("документ со строки %1 не закрыт "
                                                      "(нет «КонецДокумента»).")
                                           .arg(document.line));
                return false;
            }
            place = Ended;
            continue;
        }
        if (equals < 0) {
            *problem = lineProblem(
                number, QStringLiteral("ожидалось «Ключ=значение», а не «%1».").arg(line.left(60)));
            return false;
        }
        if (place == Header && key == QStringLiteral("ВерсияФормата"))
            read.version = value;
        if (place != Document)
            continue;
        if (key == QStringLiteral("Номер")) {
            document.number = value;
        } else if (key == QStringLiteral("Дата") || key == QStringLiteral("ДатаПоступило")
                   || key == QStringLiteral("ДатаСписано")) {
            QDate *date = key == QStringLiteral("Дата")  ? &document.date
                : key == QStringLiteral("ДатаПоступило") ? &document.received
                                                         : &document.writtenOff;
            if (!readStatementDate(value, date)) {
                *problem = lineProblem(
                    number, QStringLiteral("дата «%1» не в виде ДД.ММ.ГГГГ.").arg(value));
                return false;
            }
        } else if (key == QStringLiteral("Сумма")) {
            if (!readKopecks(value, &document.kopecks) || document.kopecks < 0) {
                *problem = lineProblem(
                    number, QStringLiteral("сумма «%1» не число с копейками.").arg(value));
                return false;
            }
        } else if (key == QStringLiteral("Плательщик1")
                   || (key == QStringLiteral("Плательщик") && document.payerName.isEmpty())) {
            document.payerName = value;
        } else if (key == QStringLiteral("ПлательщикИНН")) {
            document.payerInn = value;
        } else if (key == QStringLiteral("ПлательщикКПП")) {
            document.payerKpp = value;
        } else if (key == QStringLiteral("ПлательщикСчет")
                   || (key == QStringLiteral("ПлательщикРасчСчет")
                       && document.payerAccount.isEmpty())) {
            document.payerAccount = value;
        } else if (key == QStringLiteral("ПолучательСчет")
                   || (key == QStringLiteral("ПолучательРасчСчет")
                       && document.recipientAccount.isEmpty())) {
            document.recipientAccount = value;
        } else if (key == QStringLiteral("ПолучательИНН")) {
            document.recipientInn = value;
        } else if (key == QStringLiteral("НазначениеПлатежа")) {
            document.purpose = value;
        }
    }
    if (place != Ended) {
        *problem
            = lineProblem(int(lines.size()), QStringLiteral("файл оборван: нет «КонецФайла»."));
        return false;
    }
    *statement = read;
    return true;
}

qint64 invoiceNumberInPurpose(const QString &purpose)
{
    const QVector<PurposeToken> tokens = purposeTokens(purpose);
    // "счёт" and "заказ" first: a bare "№" before them may be a contract's.
    for (int i = 0; i < tokens.size(); ++i)
        if (tokens.at(i).kind == PurposeToken::Word && namesInvoice(tokens.at(i).text))
            if (const qint64 number = numberAfter(tokens, i + 1, true); number > 0)
                return number;
    for (int i = 0; i < tokens.size(); ++i)
        if (tokens.at(i).kind == PurposeToken::Mark)
            if (const qint64 number = numberAfter(tokens, i + 1, false); number > 0)
                return number;
    return 0;
}
