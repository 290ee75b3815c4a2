// `--admin setup-roles|add-login|upgrade`: the shop database's owner sets up the groups, the
// logins of the counters and the website, and runs the schema's steps.
#include "cli/cli.h"

#include "storage/connection.h"
#include "storage/database_roles.h"

#include <QCommandLineParser>

namespace {

const QString AdminUsage = QStringLiteral(
    "  printcalc --admin setup-roles --database URL  группы printcalc_counter, "
    "printcalc_manager,\n"
    "                                                printcalc_web (URL владельца базы)\n"
    "  printcalc --admin add-login ИМЯ --role counter|manager|web  вход в группу (пароль — "
    "строка\n"
    "                                                стандартного ввода)\n"
    "  printcalc --admin upgrade                     шаги схемы (только владелец базы)");

// Opens the database as its owner; false (told, *status) otherwise.
bool openAsOwner(CliContext &context, Connection &connection, int *status)
{
    if (context.database.url.kind != DatabaseUrl::Postgres) {
        *status = context.fail(QStringLiteral("Группы и входы есть только у базы PostgreSQL, а "
                                              "выбрана %1.")
                                   .arg(context.database.url.display()));
        return false;
    }
    if (!context.open(connection)) {
        *status = CliFailed;
        return false;
    }
    if (!ownsSchema(connection.database())) {
        *status = context.fail(
            QStringLiteral("Вход «%1» не владелец базы %2: эту команду выполняет владелец.")
                .arg(context.database.url.user, connection.url().display()));
        return false;
    }
    return true;
}

int setupRoles(CliContext &context, const QCommandLineParser &parser, const QStringList &words)
{
    int status = 0;
    if (!context.onlyOptions(parser, QStringLiteral("setup-roles"), {}, &status)
        || !context.noMoreWords(words, 0, &status))
        return status;
    Connection connection;
    if (!openAsOwner(context, connection, &status))
        return status;
    QString error;
    if (!setUpShopRoles(connection.database(), &error))
        return context.fail(QStringLiteral("Группы не созданы: %1").arg(error));
    context.out << QStringLiteral("Группы printcalc_counter, printcalc_manager и printcalc_web "
                                  "готовы в базе ")
                << connection.url().display() << '\n';
    return 0;
}

int addLogin(CliContext &context, const QCommandLineParser &parser, const QStringList &words)
{
    int status = 0;
    if (!context.onlyOptions(parser, QStringLiteral("add-login"), {QStringLiteral("role")}, &status)
        || !context.noMoreWords(words, 1, &status))
        return status;
    const QString name = words.value(0);
    if (name.isEmpty())
        return context.usage(QStringLiteral("После «--admin add-login» нужно имя входа."));
    ShopRole role = ShopRole::Counter;
    if (!shopRoleFromWord(parser.value(QStringLiteral("role")), &role))
        return context.usage(QStringLiteral("Нужен «--role counter», «--role manager» или "
                                            "«--role web»."));
    const QString password = CliContext::readInputLine();
    if (password.isEmpty())
        return context.fail(QStringLiteral("Пароль не дан: напишите его строкой на стандартный "
                                           "ввод."));
    Connection connection;
    if (!openAsOwner(context, connection, &status))
        return status;
    if (!shopRolesExist(connection.database()))
        return context.fail(QStringLiteral("Групп ещё нет: сначала выполните printcalc --admin "
                                           "setup-roles."));
    QString error;
    if (!addShopLogin(connection.database(), name, role, password, &error))
        return context.fail(QStringLiteral("Вход «%1» не создан: %2").arg(name, error));
    context.out << QStringLiteral("Вход «%1» в группе %2 готов.").arg(name, shopRoleName(role))
                << '\n';
    return 0;
}

int upgrade(CliContext &context, const QCommandLineParser &parser, const QStringList &words)
{
    int status = 0;
    if (!context.onlyOptions(parser, QStringLiteral("upgrade"), {}, &status)
        || !context.noMoreWords(words, 0, &status))
        return status;
    Connection connection;
    if (context.database.url.kind == DatabaseUrl::Postgres) {
        // Opening as the owner runs the steps, and grants the groups the tables they made.
        if (!openAsOwner(context, connection, &status))
            return status;
    } else if (!context.open(connection)) {
        return CliFailed;
    }
    if (!connection.writable())
        return context.fail(connection.errorText());
    context.out << QStringLiteral("Схема базы %1: версия %2.")
                       .arg(connection.url().display())
                       .arg(connection.schemaVersion())
                << '\n';
    return 0;
}

int admin(CliContext &context)
{
    QCommandLineParser parser;
    int status = 0;
    if (!context.parse(
            parser, {QCommandLineOption(QStringLiteral("role"), QString(), QStringLiteral("role"))},
            &status))
        return status;
    const QStringList words = parser.positionalArguments();
    const QString action = words.value(0);
    if (action == QLatin1String("setup-roles"))
        return setupRoles(context, parser, words.mid(1));
    if (action == QLatin1String("add-login"))
        return addLogin(context, parser, words.mid(1));
    if (action == QLatin1String("upgrade"))
        return upgrade(context, parser, words.mid(1));
    if (action.isEmpty())
        return context.usage(
            QStringLiteral("После --admin нужно действие: setup-roles, add-login или upgrade."));
    return context.usage(
        QStringLiteral("Команда «--admin %1» не известна: есть setup-roles, add-login и upgrade.")
            .arg(action));
}

} // namespace

QVector<CliCommand> adminCommands()
{
    return {{QStringLiteral("--admin"), {}, {}, {}, {}, false, admin, AdminUsage}};
}
