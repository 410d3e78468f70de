#include "DatabaseAdmin.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

#include "DatabaseManager.h"

namespace qs::db {

namespace {

// Tables users only read; the others they change through the program.
const QStringList kAdministrationTables = {"SYSTEM_INFO_TBL", "GROUP_TBL", "USER_TBL", "USER_GROUP_TBL",
                                           "ACCESS_LEVEL_TBL", "PERMISSION_TBL", "CATEGORIES_TBL"};
const QStringList kDataTables = {"TEMPLATE_TBL", "PROFILE_DATA_TBL", "UDO_TBL", "GRAPH_TBL", "GRAPH_STYLE_TBL",
                                 "PRINT_LIST_TBL", "SUMMARY_EXPORT_LIST_TBL", "SUMMARY_EXPORT_ITEM_TBL",
                                 "EXPORT_DATA_TBL", "DFL_TBL", "FACTOR_SET_TBL", "SCRIPT_TBL"};

// A role name goes into DDL, where nothing can be bound: only plain names
// are accepted, and they are quoted.
bool PlainRoleName(const QString& name) {
    static const QRegularExpression plain(R"(^[A-Za-z_][A-Za-z0-9_.\-]{0,62}$)");
    return plain.match(name).hasMatch();
}
QString Quoted(const QString& name) { return '"' + name + '"'; }

}  // namespace

bool DatabaseAdmin::Fail(const QString& why) {
    m_error = why;
    return false;
}

bool DatabaseAdmin::IdOf(const QString& table, const QString& idColumn, const QString& nameColumn, const QString& name,
                         std::int32_t& id) {
    QSqlQuery q;
    if (!m_manager.Exec(q, QString("SELECT %1 FROM %2 WHERE %3 = ?").arg(idColumn, table, nameColumn), {name}))
        return Fail(m_manager.LastError());
    if (!q.next()) return Fail(QString("There is no %1 \"%2\".").arg(table == "USER_TBL" ? "user" : "group", name));
    id = q.value(0).toInt();
    return true;
}

bool DatabaseAdmin::GrantTables(const QString& role) {
    if (m_manager.GetEngine() != Engine::PostgreSQL) return true;
    QSqlQuery q(m_manager.Database());
    const QString r = Quoted(role);
    for (const QString& t : kAdministrationTables)
        if (!q.exec(QString("GRANT SELECT ON %1 TO %2").arg(t, r))) return Fail(q.lastError().text());
    for (const QString& t : kDataTables)
        if (!q.exec(QString("GRANT SELECT, INSERT, UPDATE, DELETE ON %1 TO %2").arg(t, r)))
            return Fail(q.lastError().text());
    if (!q.exec(QString("GRANT SELECT, UPDATE ON PRIMARY_KEY_STORAGE_TBL TO %1").arg(r))) return Fail(q.lastError().text());
    return true;
}

bool DatabaseAdmin::AddUser(const QString& login, const QString& fullName, std::int32_t* idOut) {
    if (login.trimmed().isEmpty()) return Fail("A user needs a login name.");
    const bool server = m_manager.GetEngine() == Engine::PostgreSQL;
    if (server && !PlainRoleName(login))
        return Fail(QString("\"%1\" is not a plain role name (letters, digits, _ . -).").arg(login));
    if (m_manager.BeginTransaction() < 0) return Fail(m_manager.LastError());
    auto fail = [this](const QString& why) {
        m_manager.RollbackTransaction();
        return Fail(why);
    };
    QSqlQuery q;
    if (server) {
        if (!m_manager.Exec(q, "SELECT 1 FROM pg_roles WHERE rolname = ?", {login})) return fail(m_manager.LastError());
        if (!q.next() && !q.exec(QString("CREATE ROLE %1 LOGIN").arg(Quoted(login))))
            return fail(q.lastError().text());
        if (!GrantTables(login)) return fail(m_error);
    }
    std::int32_t id = 0;
    if (!m_manager.NextId("USER_TBL", id) ||
        !m_manager.Exec(q, "INSERT INTO USER_TBL (USER_ID, LOGIN_NAME, FULL_NAME) VALUES (?, ?, ?)",
                        {id, login, fullName}))
        return fail(m_manager.LastError());
    if (m_manager.CommitTransaction() < 0) return Fail(m_manager.LastError());
    if (idOut) *idOut = id;
    return true;
}

bool DatabaseAdmin::RemoveUser(const QString& login) {
    std::int32_t id = 0;
    if (!IdOf("USER_TBL", "USER_ID", "LOGIN_NAME", login, id)) return false;
    QSqlQuery q;
    // The role stays: it may be used elsewhere on the server.
    if (m_manager.BeginTransaction() < 0) return Fail(m_manager.LastError());
    const bool ok = m_manager.Exec(q, "DELETE FROM USER_GROUP_TBL WHERE USER_ID = ?", {id}) &&
                    m_manager.Exec(q, "DELETE FROM ACCESS_LEVEL_TBL WHERE USER_ID = ?", {id}) &&
                    m_manager.Exec(q, "DELETE FROM USER_TBL WHERE USER_ID = ?", {id});
    if (!ok) {
        const QString why = m_manager.LastError();
        m_manager.RollbackTransaction();
        return Fail(why);
    }
    return m_manager.CommitTransaction() >= 0 || Fail(m_manager.LastError());
}

bool DatabaseAdmin::AddGroup(const QString& name, std::int32_t* idOut) {
    if (name.trimmed().isEmpty()) return Fail("A group needs a name.");
    std::int32_t id = 0;
    QSqlQuery q;
    if (m_manager.BeginTransaction() < 0) return Fail(m_manager.LastError());
    if (!m_manager.NextId("GROUP_TBL", id) ||
        !m_manager.Exec(q, "INSERT INTO GROUP_TBL (GROUP_ID, GROUP_NAME) VALUES (?, ?)", {id, name})) {
        const QString why = m_manager.LastError();
        m_manager.RollbackTransaction();
        return Fail(why);
    }
    if (m_manager.CommitTransaction() < 0) return Fail(m_manager.LastError());
    if (idOut) *idOut = id;
    return true;
}

bool DatabaseAdmin::RemoveGroup(const QString& name) {
    std::int32_t id = 0;
    if (!IdOf("GROUP_TBL", "GROUP_ID", "GROUP_NAME", name, id)) return false;
    QSqlQuery q;
    if (m_manager.BeginTransaction() < 0) return Fail(m_manager.LastError());
    const bool ok = m_manager.Exec(q, "UPDATE USER_TBL SET ACTIVE_GROUP_ID = NULL WHERE ACTIVE_GROUP_ID = ?", {id}) &&
                    m_manager.Exec(q, "DELETE FROM USER_GROUP_TBL WHERE GROUP_ID = ?", {id}) &&
                    m_manager.Exec(q, "DELETE FROM PERMISSION_TBL WHERE GROUP_ID = ?", {id}) &&
                    m_manager.Exec(q, "DELETE FROM GROUP_TBL WHERE GROUP_ID = ?", {id});
    if (!ok) {
        const QString why = m_manager.LastError();
        m_manager.RollbackTransaction();
        return Fail(why);
    }
    return m_manager.CommitTransaction() >= 0 || Fail(m_manager.LastError());
}

bool DatabaseAdmin::SetGroupQuery(const QString& group, const QString& query) {
    std::int32_t id = 0;
    if (!IdOf("GROUP_TBL", "GROUP_ID", "GROUP_NAME", group, id)) return false;
    QSqlQuery q;
    const QVariant queryId = query.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(QString("Q%1").arg(id));
    const QVariant text = query.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(query);
    return m_manager.Exec(q, "UPDATE GROUP_TBL SET QUERY_ID = ?, GROUP_QUERY = ? WHERE GROUP_ID = ?", {queryId, text, id}) ||
           Fail(m_manager.LastError());
}

bool DatabaseAdmin::AddMember(const QString& login, const QString& group) {
    std::int32_t user = 0, g = 0;
    if (!IdOf("USER_TBL", "USER_ID", "LOGIN_NAME", login, user) || !IdOf("GROUP_TBL", "GROUP_ID", "GROUP_NAME", group, g))
        return false;
    QSqlQuery q;
    if (!m_manager.Exec(q, "SELECT 1 FROM USER_GROUP_TBL WHERE USER_ID = ? AND GROUP_ID = ?", {user, g}))
        return Fail(m_manager.LastError());
    if (q.next()) return true;
    return m_manager.Exec(q, "INSERT INTO USER_GROUP_TBL (USER_ID, GROUP_ID) VALUES (?, ?)", {user, g}) ||
           Fail(m_manager.LastError());
}

bool DatabaseAdmin::RemoveMember(const QString& login, const QString& group) {
    std::int32_t user = 0, g = 0;
    if (!IdOf("USER_TBL", "USER_ID", "LOGIN_NAME", login, user) || !IdOf("GROUP_TBL", "GROUP_ID", "GROUP_NAME", group, g))
        return false;
    QSqlQuery q;
    return m_manager.Exec(q, "DELETE FROM USER_GROUP_TBL WHERE USER_ID = ? AND GROUP_ID = ?", {user, g}) ||
           Fail(m_manager.LastError());
}

bool DatabaseAdmin::SetActiveGroup(const QString& login, const QString& group) {
    std::int32_t user = 0, g = 0;
    if (!IdOf("USER_TBL", "USER_ID", "LOGIN_NAME", login, user)) return false;
    QSqlQuery q;
    if (group.isEmpty() || group == "-")
        return m_manager.Exec(q, "UPDATE USER_TBL SET ACTIVE_GROUP_ID = NULL WHERE USER_ID = ?", {user}) ||
               Fail(m_manager.LastError());
    if (!IdOf("GROUP_TBL", "GROUP_ID", "GROUP_NAME", group, g)) return false;
    if (!m_manager.Exec(q, "SELECT 1 FROM USER_GROUP_TBL WHERE USER_ID = ? AND GROUP_ID = ?", {user, g}))
        return Fail(m_manager.LastError());
    if (!q.next()) return Fail(QString("\"%1\" is not a member of \"%2\".").arg(login, group));
    return m_manager.Exec(q, "UPDATE USER_TBL SET ACTIVE_GROUP_ID = ? WHERE USER_ID = ?", {g, user}) ||
           Fail(m_manager.LastError());
}

bool DatabaseAdmin::SetLoginValues(const QString& login, std::uint16_t first, std::uint16_t second) {
    std::int32_t user = 0;
    if (!IdOf("USER_TBL", "USER_ID", "LOGIN_NAME", login, user)) return false;
    QSqlQuery q;
    return m_manager.Exec(q, "UPDATE USER_TBL SET LOGIN_VALUE_1 = ?, LOGIN_VALUE_2 = ? WHERE USER_ID = ?",
                          {int(first), int(second), user}) ||
           Fail(m_manager.LastError());
}

bool DatabaseAdmin::Grant(const QString& group, int kind, int permission, int objectId) {
    std::int32_t g = 0;
    if (!IdOf("GROUP_TBL", "GROUP_ID", "GROUP_NAME", group, g)) return false;
    QSqlQuery q;
    if (m_manager.BeginTransaction() < 0) return Fail(m_manager.LastError());
    const bool ok =
        m_manager.Exec(q, "DELETE FROM PERMISSION_TBL WHERE GROUP_ID = ? AND COMPONENT_KIND = ? AND OBJECT_ID = ?",
                       {g, kind, objectId}) &&
        m_manager.Exec(q, "INSERT INTO PERMISSION_TBL (GROUP_ID, COMPONENT_KIND, OBJECT_ID, PERMISSION) VALUES (?, ?, ?, ?)",
                       {g, kind, objectId, permission});
    if (!ok) {
        const QString why = m_manager.LastError();
        m_manager.RollbackTransaction();
        return Fail(why);
    }
    return m_manager.CommitTransaction() >= 0 || Fail(m_manager.LastError());
}

bool DatabaseAdmin::Revoke(const QString& group, int kind, int objectId) {
    std::int32_t g = 0;
    if (!IdOf("GROUP_TBL", "GROUP_ID", "GROUP_NAME", group, g)) return false;
    QSqlQuery q;
    return m_manager.Exec(q, "DELETE FROM PERMISSION_TBL WHERE GROUP_ID = ? AND COMPONENT_KIND = ? AND OBJECT_ID = ?",
                          {g, kind, objectId}) ||
           Fail(m_manager.LastError());
}

bool DatabaseAdmin::SetAccessLevel(const QString& login, int kind, int level) {
    std::int32_t user = 0;
    if (!IdOf("USER_TBL", "USER_ID", "LOGIN_NAME", login, user)) return false;
    QSqlQuery q;
    if (m_manager.BeginTransaction() < 0) return Fail(m_manager.LastError());
    const bool ok =
        m_manager.Exec(q, "DELETE FROM ACCESS_LEVEL_TBL WHERE USER_ID = ? AND COMPONENT_KIND = ?", {user, kind}) &&
        m_manager.Exec(q, "INSERT INTO ACCESS_LEVEL_TBL (USER_ID, COMPONENT_KIND, ACCESS_LEVEL) VALUES (?, ?, ?)",
                       {user, kind, level});
    if (!ok) {
        const QString why = m_manager.LastError();
        m_manager.RollbackTransaction();
        return Fail(why);
    }
    return m_manager.CommitTransaction() >= 0 || Fail(m_manager.LastError());
}

bool DatabaseAdmin::AddCategory(const QString& name) {
    std::int32_t id = 0;
    QSqlQuery q;
    if (m_manager.BeginTransaction() < 0) return Fail(m_manager.LastError());
    if (!m_manager.NextId("CATEGORIES_TBL", id) ||
        !m_manager.Exec(q, "INSERT INTO CATEGORIES_TBL (CATEGORY_ID, CATEGORY_NAME) VALUES (?, ?)", {id, name})) {
        const QString why = m_manager.LastError();
        m_manager.RollbackTransaction();
        return Fail(why);
    }
    return m_manager.CommitTransaction() >= 0 || Fail(m_manager.LastError());
}

bool DatabaseAdmin::EnsureFirstUser() {
    QSqlQuery q;
    if (!m_manager.Exec(q, "SELECT COUNT(*) FROM USER_TBL") || !q.next()) return Fail(m_manager.LastError());
    if (q.value(0).toInt() > 0) return true;
    const QString login = m_manager.AccountName();
    if (login.isEmpty()) return Fail("The connecting account has no name.");
    std::int32_t group = 0;
    if (!IdOf("GROUP_TBL", "GROUP_ID", "GROUP_NAME", "Analysts", group) && !AddGroup("Analysts")) return false;
    m_error.clear();
    if (!AddUser(login, login) || !AddMember(login, "Analysts") || !SetActiveGroup(login, "Analysts")) return false;
    for (const int kind : {kKindTemplates, kKindUserTables, kKindProfileData})
        if (!Grant("Analysts", kind, kPermissionRead | kPermissionUpdate | kPermissionDelete)) return false;
    return true;
}

bool DatabaseAdmin::GrantTablesToAll() {
    QSqlQuery q;
    if (!m_manager.Exec(q, "SELECT LOGIN_NAME FROM USER_TBL")) return Fail(m_manager.LastError());
    QStringList roles;
    while (q.next()) roles << q.value(0).toString();
    for (const QString& r : roles)
        if (PlainRoleName(r) && !GrantTables(r)) return false;
    return true;
}

QStringList DatabaseAdmin::ListUsers() {
    QStringList out;
    QSqlQuery q;
    if (!m_manager.Exec(q, "SELECT u.USER_ID, u.LOGIN_NAME, u.FULL_NAME, g.GROUP_NAME FROM USER_TBL u "
                           "LEFT JOIN GROUP_TBL g ON g.GROUP_ID = u.ACTIVE_GROUP_ID ORDER BY u.USER_ID"))
        return out;
    while (q.next())
        out << QString("%1\t%2\t%3\tactive group: %4")
                   .arg(q.value(0).toInt())
                   .arg(q.value(1).toString(), q.value(2).toString(),
                        q.value(3).isNull() ? QString("(none)") : q.value(3).toString());
    return out;
}

QStringList DatabaseAdmin::ListGroups() {
    QStringList out;
    QSqlQuery q;
    if (!m_manager.Exec(q, "SELECT GROUP_ID, GROUP_NAME, GROUP_QUERY FROM GROUP_TBL ORDER BY GROUP_ID")) return out;
    while (q.next())
        out << QString("%1\t%2\tquery: %3").arg(q.value(0).toInt()).arg(q.value(1).toString(), q.value(2).toString());
    return out;
}

int DatabaseAdmin::KindFromText(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t == "templates" || t == "template") return kKindTemplates;
    if (t == "tables" || t == "user-tables" || t == "graphs") return kKindUserTables;
    if (t == "profiles" || t == "profile-data") return kKindProfileData;
    bool ok = false;
    const int n = t.toInt(&ok);
    return ok && n >= 0 ? n : -1;
}

int DatabaseAdmin::PermissionFromText(const QString& text) {
    bool ok = false;
    const int n = text.toInt(&ok);
    if (ok) return n >= 0 && n <= 0xFFFF ? n : -1;
    int word = 0;
    for (const QString& part : text.toLower().split(',', Qt::SkipEmptyParts)) {
        const QString p = part.trimmed();
        if (p == "read") word |= kPermissionRead;
        else if (p == "update") word |= kPermissionUpdate;
        else if (p == "delete") word |= kPermissionDelete;
        else if (p == "none") continue;
        else return -1;
    }
    return word;
}

}  // namespace qs::db
