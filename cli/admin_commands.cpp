// `--admin setup-roles|add-login|upgrade`: the shop database's owner sets up the groups, the
// logins of the counters and the website, and runs the schema's steps.
#include "cli/cli.h"

#include "storage/connection.h"
#include "storage/database_roles.h"

#include <QCommandLineParser>

namespace {

const QString NoLoginName = QStringLiteral("После «--admin add-login» нужно имя входа.");

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

int setupRoles(CliContext &context, const QCommandLineParser &, const QStringList &)
{
    int status = 0;
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
    const QString name = words.first();
    if (name.isEmpty())
        return context.usage(NoLoginName);
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

int upgrade(CliContext &context, const QCommandLineParser &, const QStringList &)
{
    int status = 0;
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

} // namespace

QVector<CliCommand> adminCommands()
{
    return {
        {QStringLiteral("--admin"),
         {QCommandLineOption(QStringLiteral("role"), QString(), QStringLiteral("role"))},
         {{QStringLiteral("setup-roles"),
           QStringLiteral("  printcalc --admin setup-roles --database URL  группы "
                          "printcalc_counter, printcalc_manager,\n"
                          "                                                printcalc_web (URL "
                          "владельца базы)"),
           {},
           0,
           {},
           0,
           {},
           setupRoles},
          {QStringLiteral("add-login"),
           QStringLiteral("  printcalc --admin add-login ИМЯ --role counter|manager|web  вход "
                          "в группу (пароль — строка\n"
                          "                                                стандартного ввода)"),
           {QStringLiteral("role")},
           1,
           NoLoginName,
           1,
           {},
           addLogin},
          {QStringLiteral("upgrade"),
           QStringLiteral("  printcalc --admin upgrade                     шаги схемы (только "
                          "владелец базы)"),
           {},
           0,
           {},
           0,
           {},
           upgrade}}},
    };
}
