// `--orders list|show|status` and `--payments add|import`: the taken orders from the command line.
#include "cli/cli.h"

#include "mail/mail_outbox.h"
#include "mail/smtp_sender.h"
#include "order/money.h"
#include "order/visible_text.h"
#include "storage/connection.h"
#include "storage/mail_queue.h"
#include "storage/order_book.h"
#include "storage/settings.h"
#include "storage/transaction.h"
#include "storage/web_requests.h"

#include <QElapsedTimer>
#include <QFile>

#include <limits>

namespace {

// A stored text on one line of the output, with nothing a terminal would act on.
QString field(QString text)
{
    return visibleText(text.replace(QLatin1Char('\t'), QLatin1Char(' '))
                           .replace(QLatin1Char('\n'), QLatin1Char(' '))
                           .replace(QLatin1Char('\r'), QLatin1Char(' ')));
}

QString minute(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

OrderBook orderBook(Connection &connection, const Settings &settings)
{
    OrderBook book(connection);
    book.setShopContacts({settings.shopName(), settings.shopAddress(), settings.shopHours()});
    book.setTaxSettings(settings.tax());
    return book;
}

// The order's number, the action's first word.
bool readOrderNumber(CliContext &context, const QStringList &words, qint64 *number, int *status)
{
    if (!context.readNumber(words.first(), QStringLiteral("Номер заказа"),
                            std::numeric_limits<qint64>::max(), number, status))
        return false;
    if (*number == 0) {
        *status = context.usage(QStringLiteral("Номера заказов начинаются с 1."));
        return false;
    }
    return true;
}

int answered(CliContext &context, Connection &connection, const OrderAnswer &answer)
{
    return context.fail(answer.message.isEmpty() ? connection.errorText() : answer.message);
}

int list(CliContext &context, const QCommandLineParser &parser, const QStringList &)
{
    int status = 0;
    OrderQuery query;
    // The website's requests wait before Принят: "заявка" lists them alone.
    const bool requestsOnly = parser.isSet(QStringLiteral("status"))
        && parser.value(QStringLiteral("status")).trimmed().toLower() == QStringLiteral("заявка");
    if (parser.isSet(QStringLiteral("status")) && !requestsOnly) {
        query.anyStatus = false;
        if (!statusFromWord(parser.value(QStringLiteral("status")), &query.status))
            return context.usage(QStringLiteral("Статус «%1» не понят: есть принят, в работе, "
                                                "готов, выдан, отменён.")
                                     .arg(parser.value(QStringLiteral("status"))));
    }
    if (parser.isSet(QStringLiteral("due"))
        && !context.readDate(parser.value(QStringLiteral("due")), QStringLiteral("--due"),
                             &query.dueDay, &status))
        return status;
    query.unpaidOnly = parser.isSet(QStringLiteral("unpaid"));
    Connection connection;
    if (!context.open(connection))
        return CliFailed;
    bool ok = true;
    QVector<WebRequestRecord> requests;
    if (query.anyStatus && !query.unpaidOnly)
        requests = waitingWebRequests(connection, &ok);
    if (!ok)
        return context.fail(connection.errorText());
    for (const WebRequestRecord &request : qAsConst(requests)) {
        if (query.dueDay.isValid() && request.due != query.dueDay)
            continue;
        context.out << requestNumberText(request.number) << '\t' << QStringLiteral("заявка") << '\t'
                    << (request.due.isValid() ? request.due.toString(Qt::ISODate) : QString())
                    << '\t' << field(request.name) << '\t' << kopecksText(request.totalKopecks)
                    << '\t' << kopecksText(0) << '\t' << kopecksText(request.totalKopecks) << '\n';
    }
    const QVector<TakenOrder> found
        = requestsOnly ? QVector<TakenOrder>() : OrderBook(connection).list(query, &ok);
    if (!ok)
        return context.fail(connection.errorText());
    if (found.isEmpty() && requests.isEmpty())
        context.err << QStringLiteral("Заказов не найдено.") << '\n';
    for (const TakenOrder &order : found)
        context.out << order.number << '\t' << statusWord(order.status) << '\t' << minute(order.due)
                    << '\t' << field(order.customer.name()) << '\t'
                    << kopecksText(order.totalKopecks) << '\t' << kopecksText(order.paidKopecks)
                    << '\t' << kopecksText(order.balanceKopecks()) << '\n';
    return 0;
}

int show(CliContext &context, const QCommandLineParser &, const QStringList &words)
{
    int status = 0;
    qint64 number = 0;
    if (!readOrderNumber(context, words, &number, &status))
        return status;
    Connection connection;
    if (!context.open(connection))
        return CliFailed;
    OrderDetails details;
    if (!OrderBook(connection).load(number, &details))
        return context.fail(connection.fault() == StorageFault::None
                                ? QStringLiteral("Заказа № %1 нет.").arg(number)
                                : connection.errorText());
    const TakenOrder &order = details.order;
    QTextStream &out = context.out;
    out << QStringLiteral("Заказ № ") << order.number;
    if (order.revision > 1)
        out << QStringLiteral(" (изм. ") << order.revision << ')';
    out << '\n'
        << QStringLiteral("Статус: ") << statusWord(order.status) << '\n'
        << QStringLiteral("Срок: ") << minute(order.due) << '\n'
        << QStringLiteral("Покупатель: ") << field(order.customer.name()) << '\n'
        << QStringLiteral("Телефон: ") << field(order.phone) << '\n'
        << QStringLiteral("E-mail: ") << field(order.email) << '\n'
        << QStringLiteral("Принят: ") << minute(order.created) << ", " << field(order.counter)
        << " (" << field(order.source) << ")\n"
        << QStringLiteral("Для производства: ") << field(order.note) << '\n'
        << QStringLiteral("Сумма: ") << kopecksText(order.totalKopecks) << '\n'
        << QStringLiteral("Оплачено: ") << kopecksText(order.paidKopecks) << " ("
        << paymentStateWord(order.paymentState()) << ")\n"
        << QStringLiteral("Остаток: ") << kopecksText(order.balanceKopecks()) << '\n'
        << QStringLiteral("Строки:\n");
    for (const OrderLine &line : qAsConst(details.invoice.lines))
        out << field(line.description) << '\t' << field(line.quantity) << '\t'
            << field(line.unitPrice) << '\t' << kopecksText(kopecksOf(lineSum(line))) << '\n';
    out << QStringLiteral("Оплаты:\n");
    for (const Payment &payment : qAsConst(details.payments))
        out << minute(payment.time) << '\t' << kopecksText(payment.kopecks) << '\t'
            << paymentMethodWord(payment.method) << '\t' << field(payment.counter) << '\t'
            << field(payment.reason) << '\n';
    out << QStringLiteral("Статусы:\n");
    for (const StatusChange &change : qAsConst(details.changes))
        out << minute(change.time) << '\t'
            << (change.taking ? QStringLiteral("—") : statusWord(change.from)) << '\t'
            << statusWord(change.to) << '\t' << field(change.counter) << '\t'
            << field(change.reason) << '\n';
    for (const QueuedMail &mail : qAsConst(details.mails))
        out << QStringLiteral("Письмо: ") << field(mail.recipient) << '\t' << field(mail.subject)
            << '\t' << field(mailStateText(mail)) << '\n';
    return 0;
}

// The mail the change queued goes before the command ends, within MailWaitMs; what is not sent
// by then stays queued for the window's sender. The status change stands either way.
void sendReadyMail(CliContext &context, Connection &connection, const Settings &settings,
                   qint64 number)
{
    const int MailWaitMs = 30000;
    const QString queued = QStringLiteral("Письмо покупателю «Заказ № %1 готов»").arg(number);
    QString problem;
    MailServer server = mailServerFrom(settings, &problem);
    if (!server.configured()) {
        context.out << queued
                    << QStringLiteral(" поставлено в очередь: почтовый сервер не "
                                      "указан ([mail] host в файле настроек).")
                    << '\n';
        return;
    }
    if (!problem.isEmpty()) {
        context.err << queued << QStringLiteral(" не отправлено и осталось в очереди. ") << problem
                    << '\n';
        return;
    }
    QElapsedTimer waited;
    waited.start();
    MailQueue queue(connection);
    for (;;) {
        const int left = MailWaitMs - int(waited.elapsed());
        bool ok = false;
        const QVector<QueuedMail> due = left > 0
            ? queue.claimDue(QDateTime::currentDateTime(), 1, left / 1000 + 60, number, &ok)
            : QVector<QueuedMail>();
        if (left > 0 && !ok) {
            context.err << queued << QStringLiteral(" осталось в очереди: ")
                        << connection.errorText() << '\n';
            return;
        }
        if (due.isEmpty())
            return;
        server.totalTimeoutMs = qMin(server.totalTimeoutMs, left);
        server.connectTimeoutMs = qMin(server.connectTimeoutMs, left);
        const SendResult result = sendQueuedMail(queue, due.first(), server);
        if (result.sent())
            context.out << queued << QStringLiteral(" отправлено на ") << due.first().recipient
                        << '.' << '\n';
        else if (result.permanent) {
            context.err << queued << QStringLiteral(" не будет отправлено: ") << result.error << '.'
                        << '\n';
            return;
        } else {
            context.err << queued << QStringLiteral(" не отправлено: ") << result.error
                        << QStringLiteral(". Оно осталось в очереди, попытка повторится позже.")
                        << '\n';
            return;
        }
    }
}

const QString StatusForm = QStringLiteral("printcalc --orders status N СТАТУС");

// The status asked for: "в работе" may come as one word or two.
QString statusWords(const QStringList &words)
{
    return words.mid(1).join(QLatin1Char(' '));
}

// Cancelling and handing over with a debt need more than moving an order on.
Action statusRight(const QCommandLineParser &parser, const QStringList &words)
{
    OrderStatus to = OrderStatus::Accepted;
    statusFromWord(statusWords(words), &to);
    return to == OrderStatus::Cancelled ? Action::CancelOrder
        : parser.isSet(QStringLiteral("force")) && to == OrderStatus::HandedOver
        ? Action::HandOverOwing
        : Action::MoveStatus;
}

int changeStatus(CliContext &context, const QCommandLineParser &parser, const QStringList &words)
{
    int status = 0;
    qint64 number = 0;
    if (!readOrderNumber(context, words, &number, &status))
        return status;
    const QString word = statusWords(words);
    if (word.isEmpty())
        return context.usage(QStringLiteral("Нужен статус: ") + StatusForm);
    OrderStatus to = OrderStatus::Accepted;
    if (!statusFromWord(word, &to))
        return context.usage(
            QStringLiteral("Статус «%1» не понят: есть принят, в работе, готов, выдан, отменён.")
                .arg(word));
    Connection connection;
    if (!context.open(connection))
        return CliFailed;
    const bool force = parser.isSet(QStringLiteral("force"));
    const Action right = *context.right;
    if (!context.authorise(connection, &status))
        return status;
    const Settings settings;
    OrderBook book = orderBook(connection, settings);
    book.setOperatorName(context.operatorName);
    Transaction transaction(connection);
    const OrderAnswer answer = book.changeStatus(number, to, parser.value(QStringLiteral("reason")),
                                                 force, settings.counterName(), QDateTime());
    if (answer.owedKopecks > 0)
        return context.fail(answer.message + QStringLiteral(" Выдать с долгом: добавьте --force."));
    if (!answer.done())
        return answered(context, connection, answer);
    if (!context.audit(connection, actionCaption(right), QStringLiteral("заказ № %1").arg(number),
                       statusCaption(to))
        || !context.commitChange(connection, transaction))
        return CliFailed;
    context.out << QStringLiteral("Заказ № %1: %2.").arg(number).arg(statusCaption(to)) << '\n';
    if (answer.mailQueued)
        sendReadyMail(context, connection, settings, number);
    return 0;
}

// `--orders confirm З-N` (or N): the website's request N taken as an order; `--orders decline`.
int decideRequest(CliContext &context, const QCommandLineParser &parser, const QStringList &words)
{
    int status = 0;
    qint64 number = 0;
    const bool confirm = context.action == QLatin1String("confirm");
    if (!readRequestNumber(words.first(), &number))
        return context.usage(
            QStringLiteral("Номер заявки «%1» не понят: нужен номер вида З-5376 или 5376.")
                .arg(words.first()));
    const QString named = requestNumberText(number);
    Connection connection;
    if (!context.open(connection))
        return CliFailed;
    if (!context.authorise(connection, &status))
        return status;
    const Settings settings;
    QString error;
    Transaction transaction(connection);
    if (!confirm) {
        const QString reason = parser.value(QStringLiteral("reason")).trimmed();
        if (!cancelWebRequest(connection, number, &error, reason))
            return context.fail(error);
        if (!context.audit(connection, QStringLiteral("заявка отклонена"),
                           QStringLiteral("заявка № %1").arg(named), reason)
            || !context.commitChange(connection, transaction))
            return CliFailed;
        context.out << QStringLiteral("Заявка № %1 отменена.").arg(named) << '\n';
        return 0;
    }
    OrderBook book = orderBook(connection, settings);
    book.setOperatorName(context.operatorName);
    const qint64 invoice = confirmWebRequest(connection, book, number, settings.counterName(),
                                             settings.nextInvoiceNumber(), &error);
    if (invoice == 0)
        return context.fail(error);
    if (!context.audit(connection, QStringLiteral("заявка принята"),
                       QStringLiteral("заявка № %1").arg(named),
                       QStringLiteral("заказ № %1").arg(invoice))
        || !context.commitChange(connection, transaction))
        return CliFailed;
    context.out << QStringLiteral("Заявка № %1 принята: заказ № %2.").arg(named).arg(invoice)
                << '\n';
    return 0;
}

const QString PaymentForm = QStringLiteral("printcalc --payments add N СУММА СПОСОБ");

// Money paid back needs more than money taken.
Action paymentRight(const QCommandLineParser &, const QStringList &words)
{
    qint64 kopecks = 0;
    return readKopecks(words.value(1), &kopecks) && kopecks < 0 ? Action::Refund
                                                                : Action::TakePayment;
}

int addPayment(CliContext &context, const QCommandLineParser &parser, const QStringList &words)
{
    int status = 0;
    qint64 number = 0;
    if (!readOrderNumber(context, words, &number, &status))
        return status;
    if (words.size() < 3)
        return context.usage(QStringLiteral("Нужны сумма и способ оплаты: ") + PaymentForm);
    Payment payment;
    if (!readKopecks(words.at(1), &payment.kopecks))
        return context.usage(
            QStringLiteral("Сумма «%1» не понята: нужно число с копейками, например 1200.50 "
                           "(возврат — со знаком минус).")
                .arg(words.at(1)));
    if (!paymentMethodFromWord(words.at(2), &payment.method))
        return context.usage(
            QStringLiteral("Способ оплаты «%1» не понят: есть наличные, карта, безналичный.")
                .arg(words.at(2)));
    Connection connection;
    if (!context.open(connection))
        return CliFailed;
    const Action right = *context.right;
    if (!context.authorise(connection, &status))
        return status;
    const Settings settings;
    payment.counter = settings.counterName();
    payment.reason = parser.value(QStringLiteral("reason"));
    // The command line asks no one's approval: it refuses instead.
    if (context.operatorsOn)
        payment.operatorName = context.operatorName;
    OrderBook book = orderBook(connection, settings);
    Transaction transaction(connection);
    const OrderAnswer answer = book.addPayment(number, payment);
    if (!answer.done())
        return answered(context, connection, answer);
    if (!context.audit(connection, actionCaption(right), QStringLiteral("заказ № %1").arg(number),
                       kopecksText(payment.kopecks) + QLatin1Char(' ')
                           + paymentMethodWord(payment.method))
        || !context.commitChange(connection, transaction))
        return CliFailed;
    OrderDetails details;
    if (!book.load(number, &details))
        return context.fail(connection.errorText());
    const TakenOrder &order = details.order;
    context.out << QStringLiteral("Заказ № %1: %2 %3 (%4). Оплачено %5 из %6, остаток %7.")
                       .arg(number)
                       .arg(payment.kopecks < 0 ? QStringLiteral("возврат")
                                                : QStringLiteral("оплата"),
                            kopecksText(qAbs(payment.kopecks)), paymentMethodWord(payment.method),
                            kopecksText(order.paidKopecks), kopecksText(order.totalKopecks),
                            kopecksText(order.balanceKopecks()))
                << '\n';
    return 0;
}

int importStatement(CliContext &context, const QCommandLineParser &, const QStringList &words)
{
    int status = 0;
    const Settings settings;
    const QString accountProblem = settings.settlementAccountProblem();
    if (!accountProblem.isEmpty())
        return context.fail(QStringLiteral("Выписка не загружена: ") + accountProblem);
    QFile file(words.first());
    if (!file.open(QIODevice::ReadOnly))
        return context.fail(QStringLiteral("Файл выписки %1 не открыть: %2")
                                .arg(words.first(), file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return context.fail(QStringLiteral("Файл выписки %1 не прочитан: %2")
                                .arg(words.first(), file.errorString()));
    Connection connection;
    if (!context.open(connection))
        return CliFailed;
    if (!context.authorise(connection, &status))
        return status;
    Transaction transaction(connection);
    const StatementReport report = orderBook(connection, settings)
                                       .importStatement(bytes, settings.settlementAccount(),
                                                        settings.counterName(), QDateTime());
    if (!report.read)
        return context.fail(QStringLiteral("Выписка %1 не загружена, ничего не изменено. %2")
                                .arg(words.first(), report.problem));
    if (!context.audit(connection, QStringLiteral("выписка банка"), QString(),
                       statementSummaryText(report))
        || !context.commitChange(connection, transaction))
        return CliFailed;
    for (const StatementLine &line : report.lines)
        context.out << statementLineText(line) << '\n';
    context.out << statementSummaryText(report) << '\n';
    return 0;
}

} // namespace

QVector<CliCommand> orderCommands()
{
    const auto valued = [](const char *name, const char *value) {
        return QCommandLineOption(QLatin1String(name), QString(), QLatin1String(value));
    };
    const QString needsNumber = QStringLiteral("Нужен номер заказа: ");
    return {
        {QStringLiteral("--orders"),
         {valued("status", "status"), valued("due", "date"),
          QCommandLineOption(QStringLiteral("unpaid")), valued("reason", "text"),
          QCommandLineOption(QStringLiteral("force"))},
         {{QStringLiteral("list"),
           QStringLiteral("  printcalc --orders list [--status С] [--due ГГГГ-ММ-ДД] [--unpaid]  "
                          "заказы по сроку:\n"
                          "                                                номер, статус, срок, "
                          "покупатель, сумма, оплачено, остаток"),
           {QStringLiteral("status"), QStringLiteral("due"), QStringLiteral("unpaid")},
           0,
           {},
           0,
           {},
           list},
          {QStringLiteral("show"),
           QStringLiteral("  printcalc --orders show N                     заказ N: строки, "
                          "оплаты, статусы"),
           {},
           1,
           needsNumber + QStringLiteral("printcalc --orders show N"),
           1,
           {},
           show},
          {QStringLiteral("status"),
           QStringLiteral("  printcalc --orders status N СТАТУС [--reason ТЕКСТ] [--force]  "
                          "принят, в работе, готов,\n"
                          "                                                выдан, отменён "
                          "(отмена — с причиной,\n"
                          "                                                выдача с долгом — с "
                          "--force)"),
           {QStringLiteral("reason"), QStringLiteral("force")},
           1,
           needsNumber + StatusForm,
           CliAnyWords,
           statusRight,
           changeStatus},
          // The website's requests, taken as orders or declined, from the board's buttons.
          {QStringLiteral("confirm"),
           QStringLiteral("  printcalc --orders confirm З-N                заявка с сайта принята: "
                          "заказ с её строками"),
           {},
           1,
           QStringLiteral("Нужен номер заявки: printcalc --orders confirm З-N"),
           1,
           Action::TakeOrder,
           decideRequest},
          {QStringLiteral("decline"),
           QStringLiteral("  printcalc --orders decline З-N [--reason ТЕКСТ]  заявка с сайта "
                          "отклонена"),
           {QStringLiteral("reason")},
           1,
           QStringLiteral("Нужен номер заявки: printcalc --orders decline З-N"),
           1,
           Action::TakeOrder,
           decideRequest}}},
        {QStringLiteral("--payments"),
         {valued("reason", "text")},
         {{QStringLiteral("add"),
           QStringLiteral("  printcalc --payments add N СУММА СПОСОБ [--reason ТЕКСТ]  оплата "
                          "заказа N: наличные,\n"
                          "                                                карта, безналичный "
                          "(возврат — минус и причина)"),
           {QStringLiteral("reason")},
           1,
           needsNumber + PaymentForm,
           3,
           paymentRight,
           addPayment},
          {QStringLiteral("import"),
           QStringLiteral("  printcalc --payments import ФАЙЛ              выписка банка: оплаты "
                          "по номерам счетов"),
           {},
           1,
           QStringLiteral("Нужно имя файла выписки: printcalc --payments import ФАЙЛ"),
           1,
           Action::TakePayment,
           importStatement}},
         {},
         {},
         true},
    };
}
