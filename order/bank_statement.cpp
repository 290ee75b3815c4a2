// Reading the bank's accounting export: its encoding from its header, its sections line by line.
#include "order/bank_statement.h"

#include "order/order_status.h"

#include <QHash>
#include <QRegularExpression>
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
    // "сч", "сч.", "счёт", "счет", "счету", "счета" as a word of its own, then "№" or "N" if any.
    static const QRegularExpression form(
        QStringLiteral(
            "(?<![а-яёa-z])сч(?:[её]т(?:у|а|е)?)?\\.?\\s*(?:№|n|#)?\\s*(\\d{1,18})(?!\\d)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    const QRegularExpressionMatch match = form.match(purpose);
    return match.hasMatch() ? match.captured(1).toLongLong() : 0;
}
