// `printcalc --operators add|list|disable` and `printcalc --audit verify|list`: the shop's
// operators and the audit trail, from the command line.
#include "cli/cli.h"

#include "order/visible_text.h"
#include "storage/audit_log.h"
#include "storage/connection.h"
#include "storage/operator_store.h"
#include "storage/pin_hash.h"
#include "storage/settings.h"

#include <QRegularExpression>

namespace {

const QString AddForm
    = QStringLiteral("printcalc --operators add ИМЯ --role operator|manager|owner");

// A value on one line of a tab-separated listing.
QString cell(const QString &text)
{
    QString value = text;
    for (QChar &c : value)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    return visibleText(value);
}

int addOperator(CliContext &context, const QCommandLineParser &parser, const QStringList &words)
{
    int status = 0;
    if (!parser.isSet(QStringLiteral("role")))
        return context.usage(QStringLiteral("Нужна роль: ") + AddForm);
    Role role = Role::Operator;
    if (!roleFromWord(parser.value(QStringLiteral("role")), &role))
        return context.usage(QStringLiteral("Роль «%1» не понята: есть operator, manager, owner.")
                                 .arg(parser.value(QStringLiteral("role"))));
    Connection connection;
    if (!context.open(connection))
        return CliFailed;
    if (!connection.writable())
        return context.fail(connection.errorText());
    // The first operator is made by whoever holds the database; later ones by an owner.
    if (!context.authorise(connection, &status))
        return status;
    const QString pin = CliContext::readInputLine();
    if (pin.size() < MinimumPinLength)
        return context.fail(QStringLiteral("PIN нового оператора короче %1 знаков: оператор не "
                                           "заведён.")
                                .arg(MinimumPinLength));
    const QByteArray hash = hashPin(pin);
    if (hash.isEmpty())
        return context.fail(QStringLiteral("PIN не защищён: не хватает памяти для его хеша."));
    OperatorStore store(connection);
    const QString name = words.first();
    const OperatorChange change
        = store.add(name, role, hash, {Settings().counterName(), context.operatorName, QString()});
    if (change != OperatorChange::Done) {
        const QString text = operatorChangeText(change, name);
        return context.fail(change == OperatorChange::Failed
                                ? text + QLatin1Char(' ') + connection.errorText()
                                : text);
    }
    context.keepAuditHead(connection, store.lastHead());
    context.out << QStringLiteral("Оператор «%1» (%2) заведён.").arg(name, roleCaption(role))
                << '\n';
    return 0;
}

int listOperators(CliContext &context, const QCommandLineParser &, const QStringList &)
{
    Connection connection;
    if (!context.open(connection))
        return CliFailed;
    bool ok = false;
    const QVector<OperatorAccount> accounts = OperatorStore(connection).list(&ok);
    if (!ok)
        return context.fail(connection.errorText());
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const OperatorAccount &account : accounts) {
        const QString state = account.disabled ? QStringLiteral("отключён")
            : account.lockedUntil.isValid() && account.lockedUntil > now
            ? QStringLiteral("заблокирован до ")
                + account.lockedUntil.toLocalTime().toString(QStringLiteral("HH:mm"))
            : QStringLiteral("действует");
        context.out << cell(account.name) << '\t' << roleCaption(account.role).toLower() << '\t'
                    << state << '\n';
    }
    return 0;
}

int disableOperator(CliContext &context, const QCommandLineParser &, const QStringList &words)
{
    int status = 0;
    Connection connection;
    if (!context.open(connection))
        return CliFailed;
    if (!context.authorise(connection, &status))
        return status;
    OperatorStore store(connection);
    const OperatorChange change
        = store.disable(words.first(), {Settings().counterName(), context.operatorName, QString()});
    if (change != OperatorChange::Done)
        return context.fail(operatorChangeText(change, words.first())
                            + (change == OperatorChange::Failed
                                   ? QLatin1Char(' ') + connection.errorText()
                                   : QString()));
    context.keepAuditHead(connection, store.lastHead());
    context.out << QStringLiteral("Оператор «%1» отключён.").arg(words.first()) << '\n';
    return 0;
}

int verify(CliContext &context, const QCommandLineParser &parser, const QStringList &)
{
    // A head read off a printed or mailed Z report: "14:381e…", the whole hash.
    QVector<QPair<QString, AuditHead>> typed;
    if (parser.isSet(QStringLiteral("head"))) {
        const QString text = parser.value(QStringLiteral("head")).trimmed();
        const int colon = text.indexOf(QLatin1Char(':'));
        bool ok = false;
        const AuditHead head {text.left(colon).toLongLong(&ok), text.mid(colon + 1).toLatin1()};
        static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{64}$"));
        if (colon < 0 || !ok || head.count <= 0
            || !hex.match(QString::fromLatin1(head.lastHash)).hasMatch())
            return context.usage(QStringLiteral("Голова «%1» не понята: нужно ЧИСЛО:ХЕШ, как в "
                                                "Z-отчёте (хеш из 64 знаков).")
                                     .arg(text));
        typed.append({QStringLiteral("Голова %1").arg(text.left(colon)), head});
    }
    Connection connection;
    if (!context.open(connection))
        return CliFailed;
    ProgramState state(localOrderPath(context.database.url));
    const QString database = context.database.url.display();
    AuditCheck check = AuditLog(connection).verify(state.auditHead(database));
    check.anchorBreak = state.auditBreak(database);
    if (check.read)
        check.read = AuditLog(connection).checkHeads(typed, &check.headProblems);
    if (!check.read)
        return context.fail(check.text() + QLatin1Char(' ') + connection.errorText());
    if (!check.intact())
        return context.fail(check.text());
    // What this counter has seen intact is kept, so that rows removed later show.
    state.keepAuditHead(database, check.head);
    context.out << check.text() << '\n';
    return 0;
}

int listAudit(CliContext &context, const QCommandLineParser &parser, const QStringList &)
{
    int status = 0;
    AuditFilter filter;
    if (!context.dateRange(parser, &filter.from, &filter.to, &status))
        return status;
    filter.who = parser.value(QStringLiteral("who"));
    Connection connection;
    if (!context.open(connection))
        return CliFailed;
    // The trail is the owner's to read once operators exist.
    if (!context.authorise(connection, &status))
        return status;
    bool ok = false;
    const QVector<AuditRecord> records = AuditLog(connection).list(filter, &ok);
    if (!ok)
        return context.fail(connection.errorText());
    for (const AuditRecord &record : records)
        context.out << record.id << '\t'
                    << record.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                    << '\t' << cell(record.counter) << '\t' << cell(record.operatorName) << '\t'
                    << cell(record.approver) << '\t' << cell(record.what) << '\t'
                    << cell(record.oldValue) << '\t' << cell(record.newValue) << '\n';
    return 0;
}

} // namespace

QVector<CliCommand> operatorCommands()
{
    const auto valued = [](const char *name, const char *value) {
        return QCommandLineOption(QLatin1String(name), QString(), QLatin1String(value));
    };
    return {
        {QStringLiteral("--operators"),
         {valued("role", "role")},
         {{QStringLiteral("add"),
           QStringLiteral("  printcalc --operators add ИМЯ --role operator|manager|owner\n"
                          "                                                завести оператора "
                          "(PIN со стандартного входа,\n"
                          "                                                не короче 4 знаков; "
                          "первым — владелец)"),
           {QStringLiteral("role")},
           1,
           QStringLiteral("Нужно имя оператора: ") + AddForm,
           1,
           Action::ManageOperators,
           addOperator},
          {QStringLiteral("list"),
           QStringLiteral("  printcalc --operators list                    операторы: имя, роль, "
                          "состояние"),
           {},
           0,
           {},
           0,
           {},
           listOperators},
          {QStringLiteral("disable"),
           QStringLiteral("  printcalc --operators disable ИМЯ             отключить оператора"),
           {},
           1,
           QStringLiteral("Нужно имя оператора: printcalc --operators disable ИМЯ"),
           1,
           Action::ManageOperators,
           disableOperator}}},
        {QStringLiteral("--audit"),
         {valued("from", "date"), valued("to", "date"), valued("who", "name"),
          valued("head", "count:hash")},
         {{QStringLiteral("verify"),
           QStringLiteral("  printcalc --audit verify [--head N:ХЕШ]       проверить цепочку "
                          "журнала действий\n"
                          "                                                (и голову из Z-отчёта)"),
           {QStringLiteral("head")},
           0,
           {},
           0,
           {},
           verify},
          {QStringLiteral("list"),
           QStringLiteral("  printcalc --audit list [--from ДАТА] [--to ДАТА] [--who ИМЯ]\n"
                          "                                                журнал действий, "
                          "запись в строке через табуляцию"),
           {QStringLiteral("from"), QStringLiteral("to"), QStringLiteral("who")},
           0,
           {},
           0,
           Action::ViewAudit,
           listAudit}}},
    };
}
