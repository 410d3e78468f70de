#pragma once
// Administration of the enterprise database: its schema, users, groups,
// group queries, rights and categories. What qs-dbadmin, qs-install and the
// tests use; the program itself only reads these tables.
//
// On PostgreSQL a user is a role the server authenticates: adding a user
// makes the role (without a password; set one with the server's own tools,
// or use peer or certificate authentication) and grants it the tables,
// read-only for the administration tables. The administering connection
// needs a role that may create roles and owns the schema.
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

namespace qs::db {

class DatabaseManager;

class DatabaseAdmin {
public:
    explicit DatabaseAdmin(DatabaseManager& manager) : m_manager(manager) {}
    QString LastError() const { return m_error; }

    bool AddUser(const QString& login, const QString& fullName, std::int32_t* id = nullptr);
    bool RemoveUser(const QString& login);
    bool AddGroup(const QString& name, std::int32_t* id = nullptr);
    bool RemoveGroup(const QString& name);
    // An empty text removes the group's query.
    bool SetGroupQuery(const QString& group, const QString& query);
    bool AddMember(const QString& login, const QString& group);
    bool RemoveMember(const QString& login, const QString& group);
    // The group the user logs in to (empty: none); the user must belong to it.
    bool SetActiveGroup(const QString& login, const QString& group);
    bool SetLoginValues(const QString& login, std::uint16_t first, std::uint16_t second);
    // The permission word of a group on one object of a kind (object 0: every object of it).
    bool Grant(const QString& group, int kind, int permission, int objectId = 0);
    bool Revoke(const QString& group, int kind, int objectId = 0);
    bool SetAccessLevel(const QString& login, int kind, int level);
    bool AddCategory(const QString& name);
    // A database without users gets the connecting account as its first
    // user, in the group "Analysts" (logged in to it, every right on
    // templates, user tables and profile data, no group query yet).
    // Nothing changes when the database has users.
    bool EnsureFirstUser();
    // Re-grants the tables to every user's role (after a schema upgrade on PostgreSQL).
    bool GrantTablesToAll();

    // One line per user / group, for the tool.
    QStringList ListUsers();
    QStringList ListGroups();

    // Component kinds by name ("templates", "tables", "profiles") or number; -1 unknown.
    static int KindFromText(const QString& text);
    // Permission words as "read,update,delete" or a number; -1 unknown.
    static int PermissionFromText(const QString& text);

private:
    bool Fail(const QString& why);
    bool IdOf(const QString& table, const QString& idColumn, const QString& nameColumn, const QString& name,
              std::int32_t& id);
    bool GrantTables(const QString& role);
    DatabaseManager& m_manager;
    QString m_error;
};

}  // namespace qs::db
