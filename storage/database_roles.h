// The shop's rights on PostgreSQL, held by the database: three group roles and, in one table, what
// each may do with each table. A counter's login adds and narrowly changes; it never rewrites an
// invoice that went out, its lines, the audit trail or the price versions.
#pragma once

#include "storage/connection.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

enum class ShopRole { Counter, Manager, Web };

// "printcalc_counter", "printcalc_manager", "printcalc_web".
QString shopRoleName(ShopRole role);
// "counter", "manager" or "web" as `--role` takes them; false for any other word.
bool shopRoleFromWord(const QString &word, ShopRole *role);

// One table's privileges per group, as GRANT spells them; empty: none.
struct TableGrant
{
    QString table;
    QString counter;
    QString manager;
    QString web;
};
const QVector<TableGrant> &tableGrants();

// Which rows a group may touch where its column grants are not narrow enough (row security).
struct RowPolicy
{
    QString table;
    QString name;
    QString command; // SELECT, INSERT, UPDATE or DELETE
    QVector<ShopRole> roles;
    QString rowsUsing; // empty: none (INSERT)
    QString rowsChecked; // empty: none (SELECT, DELETE)
};
const QVector<RowPolicy> &rowPolicies();

// Whether the login may run the schema's steps: it holds the rights of the tables' owner (or of
// the database's owner on an empty database).
bool ownsSchema(QSqlDatabase db);
// Whether the groups have been made in this cluster.
bool shopRolesExist(QSqlDatabase db);
// Makes the groups when missing and gives them exactly the rights of the tables above; run again,
// it sets the same rights. False with the server's words in *error.
bool setUpShopRoles(QSqlDatabase db, QString *error);
// The grants and row policies alone, in the caller's transaction (after new tables were made).
bool grantShopRoles(QSqlDatabase db, QString *error);
// A login in one group (a login that exists gets the new password and only that group).
bool addShopLogin(QSqlDatabase db, const QString &name, ShopRole role, const QString &password,
                  QString *error);

// A login given at the counter for the actions the database keeps to its managers, held in
// memory for the session and never written anywhere.
struct DatabaseLogin
{
    QString user;
    QString password;

    bool isSet() const { return !user.isEmpty(); }
};

// Runs the work on a connection of its own to the shop, opened with the login in place of the
// shop address's own, in the calling thread; closed after. False with the fault and its text when
// the login was refused or the work failed.
bool runWithLogin(const DatabaseUrl &shop, const DatabaseLogin &login,
                  const std::function<bool(Connection &)> &work, StorageFault *fault,
                  QString *error);
// Why a login given for a manager's action did not do it, in Russian: a wrong name or password,
// or a login not in the managers' group ("what": the action, "аннулировать счёт").
QString managerLoginProblem(const DatabaseLogin &login, StorageFault fault, const QString &what);
